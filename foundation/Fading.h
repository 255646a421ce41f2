// Cross-fading an element of the user interface between its normal and its
// highlighted look when the mouse enters or leaves it. One global fader runs
// every animation from a single 10 ms timer; each animation is a fading
// element holding both looks as GDI+ images, blending them a little more at
// every frame and asking the faded object to repaint with the blend. Fading
// needs GDI+ and a screen deeper than 16 bits per pixel, and by default
// follows the system's menu-animation setting.
#pragma once

#include "foundation/Classes.h"
#include "foundation/GdiPlusClasses.h"
#include "platform/Bitmap.h"

#include <memory>
#include <vector>

class TdxFader;
class TTimer;

// A running animation as the faded object sees it.
class IdxFadingElementData {
public:
  // Draws the current blend stretched into `r`; false when there is none.
  virtual bool DrawCurrentFrame(HDC dc, const RECT& r) = 0;
  // The current blend (not a copy); false when there is none.
  virtual bool CurrentFrame(TdxGPImage*& image) = 0;

protected:
  ~IdxFadingElementData() = default;
};

// What a faded object answers. A plain abstract class: the fader finds it
// on the object by the language's own cast, and nothing counts references.
class IdxFadingObject {
public:
  virtual bool AllowsFading() = 0;
  // The object repaints itself, drawing the current frame.
  virtual void RepaintWithFade() = 0;
  virtual void FadingStarted(IdxFadingElementData* data) = 0;
  virtual void FadingFinished() = 0;
  // Hands out new bitmaps of both looks (the fader frees them) and may
  // change the frame counts and delays (milliseconds) preset to the defaults.
  virtual void ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int& fadeInCount, int& fadeInDelay,
                                 int& fadeOutCount, int& fadeOutDelay) = 0;

protected:
  ~IdxFadingObject() = default;
};

// Defaults of an animation.
constexpr int dxFadeInFrameCount = 4;
constexpr int dxFadeInFrameDelay = 15;
constexpr int dxFadeOutFrameCount = 12;
constexpr int dxFadeOutFrameDelay = 20;
constexpr int dxMaxFadingElements = 10;

enum TdxFadingDirection : uint8_t { fdIn, fdOut };

class TdxFadingElement : public TObject, public IdxFadingElementData {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Takes both images over. Counts above 0 are capped at 32, else the
  // default; delays above 9 capped at 300, else the default.
  TdxFadingElement(TdxFader* fader, TObject* object, IdxFadingObject* fadingObject, TdxFadingDirection direction,
                   TdxGPImage* normal, TdxGPImage* highlighted, int fadeInCount, int fadeInDelay, int fadeOutCount,
                   int fadeOutDelay);
  // Leaves the fader's list, tells the object, frees the images.
  ~TdxFadingElement() override;

  bool DrawCurrentFrame(HDC dc, const RECT& r) override;
  bool CurrentFrame(TdxGPImage*& image) override;

  // Tells the object the animation started and shows the starting look.
  void Start();
  // One timer tick: a new frame every delay count ticks; past the last
  // frame the element finishes (and is freed).
  void Step();
  // Shows the end look, then frees the element.
  void Finish();
  // Turns round, carrying the stage over in proportion.
  void TurnTo(TdxFadingDirection direction);

  TObject* FadedObject() const { return FObject; }
  TdxFadingDirection Direction() const { return FDirection; }
  int Stage() const { return FStage; }
  int FrameCount(TdxFadingDirection direction) const { return direction == fdIn ? FFadeInCount : FFadeOutCount; }
  int DelayCount() const { return FDelayCount; }
  TdxGPImage* FadeInImage() const { return FFadeInImage.get(); }
  TdxGPImage* FadeOutImage() const { return FFadeOutImage.get(); }

private:
  void RestartDelay();
  void SetCurrentFrame(TdxGPImage* image);

  TdxFader* FFader;
  TObject* FObject;
  IdxFadingObject* FFadingObject;
  TdxFadingDirection FDirection;
  int FFadeInCount, FFadeInDelay, FFadeOutCount, FFadeOutDelay;
  int FStage = 0;
  int FDelayCount = 1;
  int FDelayIndex = 0;
  std::unique_ptr<TdxGPImage> FFadeInImage;   // the highlighted look
  std::unique_ptr<TdxGPImage> FFadeOutImage;  // the normal look
  std::unique_ptr<TdxGPImage> FCurrentFrame;
};

class TdxFader : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TdxFader();
  ~TdxFader() override;

  void StartFadeIn(TObject* object) { Fade(object, fdIn); }
  void StartFadeOut(TObject* object) { Fade(object, fdOut); }
  // When fading is possible and the object is a fading object that allows
  // it: its running element turns to `direction`, else a new one starts.
  void Fade(TObject* object, TdxFadingDirection direction);
  // With `discard` frees the object's element at once (the last frame
  // drawn stays); without, finishes it.
  void StopFading(TObject* object, bool discard);
  // Mode 0 follows the system's menu animation, 1 always, others never;
  // GDI+ and more than 16 bits per pixel are needed in every mode.
  bool CanFade() const;
  // Frees every element.
  void Clear();
  // One timer tick for every element, the last first.
  void StepAll();

  uint8_t Mode() const { return FMode; }
  void SetMode(uint8_t value) { FMode = value; }
  int ElementCount() const { return static_cast<int>(FElements.size()); }
  TdxFadingElement* Elements(int index) const { return FElements[static_cast<size_t>(index)]; }
  TdxFadingElement* FindElement(TObject* object) const;
  bool TimerRunning() const;

private:
  friend class TdxFadingElement;
  void AddElement(TdxFadingElement* element);
  void RemoveElement(TdxFadingElement* element);
  // Finishes the oldest while too many run; the timer runs while any does.
  void CheckElements();
  void TimerTick(TObject* sender);

  uint8_t FMode = 0;
  std::vector<TdxFadingElement*> FElements;  // owned, oldest first
  TTimer* FTimer;                            // owned
};

// The fader every animation runs on; exists between the unit's start and end.
TdxFader* GlobalFader();

// What the fader checks besides its mode; replaceable (tests give their own).
extern bool (*dxFadingGdiPlusAvailable)();
extern int (*dxFadingScreenBitsPerPixel)();

// A fading object for objects that delegate to it: keeps the running
// animation's data.
class TdxFadingObjectHelper : public TcxIUnknownObject<>, public IdxFadingObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Stops its own animation at once.
  ~TdxFadingObjectHelper() override;

  bool AllowsFading() override { return false; }
  void RepaintWithFade() override {}
  void ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int& fadeInCount, int& fadeInDelay,
                         int& fadeOutCount, int& fadeOutDelay) override;
  void FadingStarted(IdxFadingElementData* data) override { FElementData = data; }
  void FadingFinished() override { FElementData = nullptr; }

  bool HasNoFadingElement() const { return FElementData == nullptr; }
  // Draws the running animation's current frame, when there is one.
  void DrawFadingStep(HDC dc, const RECT& r);

private:
  IdxFadingElementData* FElementData = nullptr;
};

// Start-up and shut-down of the fading unit (see foundation/FoundationUnits.h).
void dxFadingInit();
void dxFadingDone();
