// The control library's drawing surface: TcxCanvas wraps a platform canvas
// and adds clip-region arithmetic with save and restore stacks, saved drawing
// states, frames and edges, tiled fills and text in an enabled or embossed
// state. TcxRegion owns one GDI region. TcxScreenCanvas measures text over
// the whole screen, outside any control.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Canvas.h"

#include <memory>
#include <vector>

// How a region joins another (TcxRegion::CombineWith, TcxCanvas::ApplyClipRegion).
enum class TcxRegionOperation { roSet, roAdd, roSubtract, roIntersect };
using enum TcxRegionOperation;

// The GDI combine mode of an operation.
int RegionOperationToCombineMode(TcxRegionOperation operation);

// One GDI region, owned: deleted with the object or by DestroyHandle.
class TcxRegion : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Takes ownership of `handle`.
  explicit TcxRegion(HRGN handle);
  explicit TcxRegion(const RECT& r);
  TcxRegion(int left, int top, int right, int bottom);
  // The empty rectangle (0, 0, 0, 0).
  TcxRegion();

  static TcxRegion* CreateFromHandle(HRGN handle) { return new TcxRegion(handle); }
  static TcxRegion* CreateFromRect(const RECT& r) { return new TcxRegion(r); }
  static TcxRegion* CreateFromBounds(int left, int top, int right, int bottom) {
    return new TcxRegion(left, top, right, bottom);
  }
  static TcxRegion* CreateEmpty() { return new TcxRegion(); }

  HRGN Handle() const { return static_cast<HRGN>(FHandle.Get()); }
  bool IsEmpty() const;
  // Copy replaces this shape by the other's; the others combine the other
  // into this one. With `freeOther` the other object is freed afterwards.
  void CombineWith(TcxRegion* other, TcxRegionOperation operation, bool freeOther = true);
  // False for null; true when both are empty or the system finds them equal.
  bool IsEqual(TcxRegion* other) const;
  bool IsEqualToHandle(HRGN handle) const;
  void OffsetBy(int dx, int dy);
  void DestroyHandle() { FHandle.Reset(); }

private:
  TGdiObject FHandle;
};

// Sides of a frame, as bits 1 left, 2 top, 4 right, 8 bottom.
enum class TcxBorder { bLeft, bTop, bRight, bBottom };
using enum TcxBorder;
using TcxBorders = TSet<TcxBorder, 4>;
inline const TcxBorders cxBordersAll{bLeft, bTop, bRight, bBottom};
// The sides of a bit mask (1 left, 2 top, 4 right, 8 bottom).
TcxBorders BordersFromBits(unsigned bits);

// The library's text flags: one set passed to every text operation of the
// canvas; TextFlagsToDrawTextFlags turns them into DrawText flags.
constexpr unsigned cxAlignLeft = 0x0001;
constexpr unsigned cxAlignRight = 0x0002;
constexpr unsigned cxAlignHCenter = 0x0004;
constexpr unsigned cxAlignTop = 0x0008;
constexpr unsigned cxAlignBottom = 0x0010;
constexpr unsigned cxAlignVCenter = 0x0020;
constexpr unsigned cxSingleLine = 0x0040;
constexpr unsigned cxDontClip = 0x0080;
constexpr unsigned cxExpandTabs = 0x0100;
constexpr unsigned cxShowPrefix = 0x0200;
constexpr unsigned cxWordBreak = 0x0400;
constexpr unsigned cxShowEndEllipsis = 0x0800;
constexpr unsigned cxDontPrint = 0x1000;
constexpr unsigned cxShowPathEllipsis = 0x2000;
constexpr unsigned cxDontBreakChars = 0x4000;
UINT TextFlagsToDrawTextFlags(unsigned flags);

// The appearance values of a style that a framed fill takes: a bitmap
// (may be null) and a colour.
struct TcxViewParams {
  TBitmap* Bitmap = nullptr;
  TColor Color = clDefault;
};

// A wrapper of a platform canvas (not owned). Clip regions are given and
// answered in the canvas's logical co-ordinates; the system keeps them in
// device co-ordinates, so they move by the drawing offset (viewport origin
// minus window origin) on the way.
class TcxCanvas : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxCanvas(TCanvas* canvas);
  ~TcxCanvas() override;
  static TcxCanvas* CreateWrapping(TCanvas* canvas) { return new TcxCanvas(canvas); }

  TCanvas* Canvas() const { return FCanvas; }
  HDC GetDeviceContext() { return FCanvas->Handle(); }
  TBrush* GetBrush() { return FCanvas->Brush(); }
  TFont* GetFont() { return FCanvas->Font(); }
  TPen* GetPen() { return FCanvas->Pen(); }
  void SetFont(TFont* font) { FCanvas->Font()->Assign(font); }
  // Leaves an equal colour alone, so no new brush handle is made.
  void SetBrushColor(TColor color);
  void SetPixelColor(int x, int y, TColor color) { FCanvas->SetPixels(x, y, color); }
  POINT GetWindowOrigin();
  void SetWindowOrigin(POINT p);
  POINT GetViewportOrigin();
  void SetViewportOrigin(POINT p);
  // Viewport origin minus window origin: logical to device co-ordinates.
  POINT GetDrawingOffset();
  void MovePenTo(int x, int y) { FCanvas->MoveTo(x, y); }
  void DrawLineTo(int x, int y) { FCanvas->LineTo(x, y); }
  void DrawPolygon(const POINT* points, int lastIndex) { FCanvas->Polygon(points, lastIndex + 1); }
  void DrawPolyline(const POINT* points, int lastIndex) { FCanvas->Polyline(points, lastIndex + 1); }
  void CopyRectFrom(const RECT& dest, TCanvas* source, const RECT& sourceRect) {
    FCanvas->CopyRect(dest, source, sourceRect);
  }
  void DrawGraphicAt(int x, int y, TGraphic* graphic) { FCanvas->Draw(x, y, graphic); }
  void InvertRect(const RECT& r);
  void ExcludeRectFromClip(const RECT& r);
  void IntersectClipWithRect(const RECT& r);
  void PaintFocusRect(const RECT& r);
  int MeasureFontHeight(TFont* font);
  // 0, 0 when the system cannot measure.
  void MeasureTextSize(const AnsiString& text, SIZE& size);
  int WidthOfText(const AnsiString& text);
  int HeightOfText(const AnsiString& text);
  void CopyFontBrushPenFromDC(HDC dc);

  // Clip regions. The caller owns the region CopyClipRegion answers: the
  // device context's clip region, or (0, 0, 30000, 30000) when it has none.
  TcxRegion* CopyClipRegion(bool considerOrigin = true);
  void ApplyClipRegion(TcxRegion* region, TcxRegionOperation operation = roSet, bool freeRegion = true,
                       bool considerOrigin = true);
  void PushClipRegion();
  void PopClipRegion();
  void PushSavedDC();
  void PopSavedDC();
  void PushState();
  void PopState();
  int SavedClipRegionCount() const { return static_cast<int>(FSavedRegions.size()); }

  // Fills, frames and edges.
  void FillWithColor(const RECT& r, TColor color);
  void FillRectOrTile(const RECT& r, TBitmap* bitmap = nullptr, bool excludeRect = false);
  void DrawSideFrame(const RECT& r, TColor color, int width, TcxBorders sides, bool excludeRect = false);
  void FrameAndFillWithParams(const RECT& r, const TcxViewParams& params, TcxBorders sides, TColor frameColor,
                              int width, bool excludeRect = false);
  void DrawTwoToneFrame(const RECT& r, TColor leftTopColor, TColor rightBottomColor, TcxBorders sides, int width);
  // Raised or sunken; the second pair is the inner one (3D light and dark
  // shadow when raised, button shadow and highlight when sunken).
  void Draw3DEdge(const RECT& r, bool sunken, bool secondPair, TcxBorders sides = cxBordersAll);

  // Text in the library's flags.
  void DrawTextInState(const AnsiString& text, RECT r, unsigned flags, bool enabled = true);
  void MeasureTextRect(const AnsiString& text, RECT& r, unsigned flags);
  // Moves r.Top for several lines aligned at the bottom (verticalAlign 1) or
  // centred (2).
  void AlignMultiLineText(RECT& r, const AnsiString& text, bool dontBreakChars, bool enabled, bool showPrefix,
                          bool wordBreak, int verticalAlign);

protected:
  // For canvases that lend themselves out in turn: the platform canvas the
  // operations draw on from now on (not owned).
  void SetCurrentCanvas(TCanvas* canvas) { FCanvas = canvas; }

private:
  struct TSavedState {
    std::unique_ptr<TFont> Font;
    std::unique_ptr<TBrush> Brush;
    std::unique_ptr<TPen> Pen;
  };
  void TileRect(const RECT& r, TBitmap* bitmap);

  TCanvas* FCanvas;  // not owned
  std::vector<int> FSavedDCs;
  std::vector<std::unique_ptr<TcxRegion>> FSavedRegions;
  std::vector<TSavedState> FSavedStates;
};

// A platform canvas over the desktop window's device context (DCX_CACHE |
// DCX_LOCKWINDOWUPDATE), taken on first use and released with the canvas.
class TScreenCanvas : public TCanvas {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TScreenCanvas() override { FreeHandle(); }
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  HDC FDC = nullptr;
};

// A TcxCanvas over a TScreenCanvas it owns.
class TcxScreenCanvas : public TcxCanvas {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxScreenCanvas();
  ~TcxScreenCanvas() override;
  static TcxScreenCanvas* CreateForScreen() { return new TcxScreenCanvas(); }

private:
  TScreenCanvas* FScreenCanvas;
};

// Floor division: cells of a grid anchored at 0 for negative co-ordinates too.
inline int FloorDiv(int a, int b) {
  const int q = a / b;
  return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}
