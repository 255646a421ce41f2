// The GIF picture as the picture layer sees it (TGIFImage), the animation
// painter that plays it (TGIFPainter), and the codec's start-up.
#pragma once

#include "gif/GIFContainer.h"
#include "gif/GIFReduction.h"
#include "gif/GIFSubImage.h"
#include "platform/ResourceString.h"
#include "platform/Thread.h"

#include <vector>

enum class TGIFPaintOption {
  paThreaded, paTransparent, paAnimate, paLoop, paLoopForever, paCheckCanvas, paDirect, paClearOnPass, paTile,
  paDither, paDitherLowColor
};
using enum TGIFPaintOption;
using TGIFPaintOptions = TSet<TGIFPaintOption, 16>;

// Settings every new picture starts with.
extern TGIFPaintOptions DefaultPaintOptions;
extern TGIFReductionMethod DefaultReductionMethod;
extern int DefaultReductionDepth;
extern TGIFDitherKind DefaultDitherKind;
extern TGIFEncoding DefaultEncoding;
extern TThreadPriority DefaultPainterPriority;
extern int DefaultPlaybackSpeed;
// Frames are rendered as they are read (costly; off).
extern bool RenderOnLoad;
// Form data is optimized before it is written (off).
extern bool OptimizeOnFormSave;
// The screen has 8 bits per pixel or fewer (set at start-up).
extern bool LowColorDisplay;
// The clipboard format "GIF Image" (0 until start-up).
extern UINT GIFClipboardFormat;

inline constexpr TResourceString sGIFImageFile{0xE400, "GIF Image"};

// Milliseconds per unit of a frame's delay, the delay used when a frame
// gives none, and the bounds a delay is held to.
constexpr int FrameDelayScale = 12;
constexpr int FrameDelayDefault = 10;
constexpr int FrameDelayFloor = 3;
constexpr int FrameDelayCeiling = 1000;

// The painter's time: the real clock, or one a test steps by hand.
class TGIFPainterClock {
public:
  virtual ~TGIFPainterClock() = default;
  // Milliseconds, wrapping like timeGetTime.
  virtual DWORD Now();
  // Waits up to `ms` (INFINITE: no limit) for `wake`; true when woken.
  virtual bool Wait(HANDLE wake, DWORD ms);
};
// The clock new painters use; null means the real one.
extern TGIFPainterClock* GIFPainterClock;

class TGIFImage;
class TGIFPainter;

// Builds the bitmap, mask and palette of a frame and paints it.
class TGIFFrameRender;

class TGIFImage : public TGraphic, public TGIFContainer {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TGIFImage();
  ~TGIFImage() override;
  void BeforeDestruction() override;

  void Assign(TPersistent* source) override;
  void Draw(TCanvas* canvas, const RECT& r) override;
  bool Equals(TGraphic* other) override { return other == this; }
  bool GetEmpty() override { return Images().Count() == 0; }
  int GetWidth() override { return TGIFContainer::Width(); }
  int GetHeight() override { return TGIFContainer::Height(); }
  void SetWidth(int value) override;
  void SetHeight(int value) override;
  HPALETTE GetPalette() override;
  void SetPalette(HPALETTE value) override;
  void WriteData(TStream& stream) override;
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;
  void LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) override;
  void SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) override;

  void ReportIssue(TObject* sender, int severity, const AnsiString& message) override;
  void GlobalTableChanged() override;
  void LocalTableChanged(TGIFSubImage* frame) override;
  void FrameRead(TStream& stream) override;
  bool AssignFrame(TGIFSubImage* frame, TPersistent* source) override;
  bool AssignFrameTo(TGIFSubImage* frame, TPersistent* dest) override;
  void OptimizeProgress(int percent) override;

  // Stops painters, drops the buffer and every frame: an empty picture.
  void ResetPicture();
  // The picture as a bitmap: frame 0, or the painter's buffer while animating.
  TBitmap* CachedBitmap();
  TBitmap* MakeCachedBitmap();
  void DropCachedBitmap();
  // Appends a frame made from a graphic (or takes a frame as it is).
  int AddFrame(TPersistent* source);
  // Reshapes the frames (steps as OptimizeFrameList; 16 asks for colour
  // reduction, which comes last and only refuses rdCustomPalette), with
  // "Optimizing..." progress for every frame a step changed.
  void OptimizeFrames(int steps, TGIFReductionMethod method, int depth, TGIFDitherKind kind);

  // A painter for the canvas and rectangle, stored in `reference`; threaded
  // ones come back suspended, others have played already and answer null.
  TGIFPainter* StartPainter(TGIFPainter** reference, TCanvas* canvas, TGIFPaintOptions options, const RECT& r);
  void StopOwnPainter();
  void StopAllPainters();
  TGIFPainter* OwnPainter() const { return FPainter; }
  int PainterCount();

  // Frame rendering.
  TBitmap* FrameBitmap(TGIFSubImage* frame);
  bool HasFrameMask(TGIFSubImage* frame);
  HBITMAP FrameMask(TGIFSubImage* frame);
  HPALETTE FramePalette(TGIFSubImage* frame);
  // Gives the frame a palette of its own (the frame owns the handle); a
  // frame bitmap made with another palette is dropped.
  void SetFramePalette(TGIFSubImage* frame, HPALETTE value);
  RECT PlaceInRect(TGIFSubImage* frame, const RECT& r);
  void PaintFrame(TGIFSubImage* frame, TCanvas* canvas, const RECT& r, bool transparent, bool tile);
  void PaintFrameStretched(TGIFSubImage* frame, TCanvas* canvas, const RECT& r, bool transparent, bool tile);
  // Frames render dithered to the colour cube.
  bool DoDither() const;
  TColor BackgroundColor();

  TGIFPaintOptions PaintOptions;
  TGIFReductionMethod ReductionMethod;
  int ReductionDepth;
  TGIFDitherKind DitherKind;
  TThreadPriority PainterPriority;
  int PlaybackSpeed;
  int StillFrame = -1;
  TColor BackdropColor = clNone;
  TNotifyEvent OnPlayStart, OnFrameShow, OnFrameShown, OnPlayLoop, OnPlayEnd;

protected:
  // A bitmap receives the cached bitmap (frame 0, or the running buffer):
  // no painter is started for it.
  void AssignTo(TPersistent* dest) override;

private:
  friend class TGIFPainter;
  friend class TGIFFrameRender;
  TGIFFrameRender* Render(TGIFSubImage* frame);
  void FrameFromBitmap(TGIFSubImage* frame, TBitmap* bitmap);
  void ApplyMaskHandle(TGIFSubImage* frame, HBITMAP mask);
  void ApplyMaskBitmap(TGIFSubImage* frame, TBitmap* mask);
  void RemovePainter(TGIFPainter* painter, HANDLE thread);
  void FreeCachedBitmap();
  // Sets the logical screen; raises when a frame would not fit.
  void SetScreenSize(int width, int height);
  void WaitForEndedThreads();

  bool FDrawing = false;
  bool FPaletteGuard = false;
  TGdiObject FGlobalPalette;
  TCriticalSection FPainterLock;
  std::vector<TGIFPainter*> FPainters;
  // Threads of painters that have left the list but may still be ending.
  std::vector<HANDLE> FEndingThreads;
  TBitmap* FBitmap = nullptr;
  // The cached bitmap is a painter's buffer (not just frame 0).
  bool FBitmapAnimated = false;
  TGIFPainter* FPainter = nullptr;
};

// Plays an animation onto one canvas and rectangle. Threaded, it waits on
// its own thread and does every drawing step and event on the GUI thread
// through Synchronize; otherwise it plays in the caller's thread.
class TGIFPainter : public TThread {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TGIFPainter(TGIFImage* image, TGIFPaintOptions options, const RECT& r, TCanvas* canvas, TGIFPainter** reference);
  ~TGIFPainter() override;

  void StartPlaying();
  void StopPlaying();
  // Runs playback in the calling thread (painters without a thread).
  void Play() { Execute(); }

  TGIFImage* Image() const { return FImage; }
  TCanvas* Canvas() const { return FCanvas; }
  const RECT& Rect() const { return FRect; }
  TGIFPaintOptions Options() const { return FOptions; }
  int ActiveImage = -1;
  bool Started() const { return FStarted; }
  // The GDI objects the painter owns (its buffers), for leak checks.
  std::vector<HGDIOBJ> GdiObjects() const;
  TNotifyEvent OnPlayStart, OnFrameShow, OnFrameShown, OnPlayLoop, OnPlayEnd;

protected:
  void Execute() override;

private:
  friend class TGIFImage;
  void ReleasePainter(TObject* sender);
  bool WaitBeforeFrame();
  void OnUIThread(const TThreadMethod& step);
  void FireHandler(TNotifyEvent& handler);
  void PaintDirect();
  void PaintComposed();
  void ResetToBackground();

  TGIFImage* FImage;
  TCanvas* FCanvas;
  RECT FRect;
  TGIFPaintOptions FOptions;
  int FSpeed;
  int FDisposal = 1;
  int FPreviousDisposal = 1;
  TBitmap* FBuffer = nullptr;
  TBitmap* FFrameBuffer = nullptr;
  TBitmap* FBackground = nullptr;
  TColor FBackgroundColor = clWhite;
  HDC FTargetDC = nullptr;
  bool FStarted = false;
  TGIFPainter** FReference;
  HANDLE FWake = nullptr;
  TGIFPainterClock* FClock;
  std::exception_ptr FError;
  // Playback state.
  int FPendingDelay = 0;
  DWORD FTimeMark = 0;
  int FCarriedDelay = 0;
};

// The codec's start-up and shut-down (the program lists them in its unit order).
void GIFImageInit();
void GIFImageFinal();
