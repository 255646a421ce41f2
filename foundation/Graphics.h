// Glyph drawing and the graphics helpers of the control library: glyphs (a
// bitmap or an image-list entry) drawn over what is already painted in one
// of six looks with per-pixel alpha, bitmap copies that behave on palette
// and 32-bit displays, text measuring and layout, and painting a control's
// parent behind it. A few shared objects serve the work; the system's
// alpha blending is bound at unit start.
#pragma once

#include "foundation/Bitmaps.h"
#include "foundation/Canvas.h"
#include "platform/Control.h"
#include "platform/ImageList.h"
#include "platform/StringList.h"

// The shared screen canvas (created on first use) for measuring outside a
// control and for pixel transfers.
TcxScreenCanvas* SharedScreenCanvas();
// The shared work bitmaps: on first use new, later the same bitmap with its
// transparent colours emptied and its size set (which clears it).
TcxBitmap* BackgroundWorkBitmap(int width, int height);
TcxBitmap* GlyphWorkBitmap(int width, int height);
TcxBitmap* MaskWorkBitmap(int width, int height);

// The system's alpha blending (msimg32's AlphaBlend), bound at unit start;
// null selects the software path. Tests clear it.
using TAlphaBlendProc = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
extern TAlphaBlendProc cxAlphaBlend;

// The looks of DrawImageOverBackground.
enum TcxImageDrawMode : uint8_t { idmNormal, idmDisabled, idmFaded, idmGrayScale, idmDingy, idmShadowed };

// Draws a glyph (the bitmap, else the image list's entry) into `glyphRect`,
// composited over the background of `destRect` (the brush when given, else
// the device context's pixels); both rectangles in the device context's
// co-ordinates. Nothing when neither glyph source is usable.
void DrawImageOverBackground(HDC dc, const RECT& glyphRect, const RECT& destRect, TBitmap* glyph,
                             TCustomImageList* images, int imageIndex, uint8_t mode, bool smoothStretch = false,
                             HBRUSH backgroundBrush = nullptr, TColor transparentColor = clNone,
                             bool useBitmapTransparentColor = true);
// Composites `source` (its rectangle `sourceRect`) into `dest` at `destRect`
// with opacity `opacity` and per-pixel source alpha.
void AlphaBlendBitmap(TBitmap* dest, const RECT& destRect, TBitmap* source, const RECT& sourceRect,
                      uint8_t opacity, bool smooth);
// The glyph's shape (black in the mask) in `color`, `offset` pixels right
// and down, behind the glyph; with `enlarge` the glyph grows by the offset.
void AddOffsetShape(TcxBitmap* glyph, TcxBitmap* mask, int offset, TColor color, bool enlarge);
void OverlayCheckerPattern(HDC dc, const RECT& r, TColor first, TColor second, int cellSize, uint8_t firstAlpha,
                           uint8_t secondAlpha);
void RenderMaskBitmap(TcxBitmap* source, TBitmap* target);
void DrawBitmapToDC(HDC dc, TBitmap* bitmap, const RECT& destRect, POINT sourcePoint, DWORD rop = SRCCOPY);
int BitmapColorDepth(TBitmap* bitmap);

// The image and mask of a native image list's entry (-1: the whole list
// bitmaps), as copies; the list's own bitmaps stay untouched. Nothing when
// the system cannot describe the entry.
void ExtractImageAndMask(HIMAGELIST list, int index, TBitmap* mask, TBitmap* image);
// The bits per pixel of a native list's image bitmap; 0 when unreadable.
int NativePixelFormat(HIMAGELIST list);

// Bitmap and device-context helpers.
void BlitRect(HDC dest, HDC source, const RECT& destRect, POINT sourcePoint, DWORD rop = SRCCOPY);
// A new 32-bit bitmap of the rectangle's size holding that area of `source`.
TBitmap* CaptureDCArea(HDC source, const RECT& r);
void StretchCopyBitmap(TBitmap* target, TBitmap* source);
inline bool RectsSameSize(const RECT& a, const RECT& b) {
  return a.right - a.left == b.right - b.left && a.bottom - a.top == b.bottom - b.top;
}
TBitmap* CreateBitmapWithFormat(int width, int height, TPixelFormat format);
inline TBitmap* CreateBitmapOfSize(SIZE size, TPixelFormat format) {
  return CreateBitmapWithFormat(size.cx, size.cy, format);
}
inline TBitmap* CreateBitmapForRect(const RECT& r, TPixelFormat format) {
  return CreateBitmapWithFormat(r.right - r.left, r.bottom - r.top, format);
}
inline bool IsBitmapUsable(TBitmap* bitmap) { return bitmap && !bitmap->GetEmpty(); }
bool IsValidImageIndex(TCustomImageList* images, int index);
inline void DeflateRectByMargins(RECT& r, const RECT& margins) {
  r.left += margins.left;
  r.top += margins.top;
  r.right -= margins.right;
  r.bottom -= margins.bottom;
}
void SetImageListWithNotification(TCustomImageList* value, TCustomImageList*& field, TChangeLink* link,
                                  TComponent* notificator);
TColor NearestScreenColor(TColor color);
TColor MixSystemColors(int face, int highlight, int window);
inline TColor PressedHighlightColor() { return NearestScreenColor(MixSystemColors(14, 44, 40)); }
inline TColor HotHighlightColor() { return NearestScreenColor(MixSystemColors(-2, 30, 72)); }
// 0: vertical (LOGPIXELSY), 1: horizontal.
int ScreenPixelsPerInch(int index = 0);
bool QueryBitmapObject(HBITMAP handle, BITMAP& info);
bool QueryBrushObject(HBRUSH handle, LOGBRUSH& info);
bool QueryFontObject(HFONT handle, LOGFONTA& info);
bool QueryPenObject(HPEN handle, LOGPEN& info);
void InvalidateWindowRect(HWND wnd, const RECT& r, bool erase);
// The height of the current cursor's visible shape below its hot spot, and
// its width.
void GetCurrentCursorSize(SIZE& size);
// The same for a cursor's icon information (tests give their own).
SIZE CursorSizeFromIconInfo(const ICONINFO& info, SIZE systemSize);

// Text helpers (system DrawText flags).
bool MeasureTextExtent(HDC dc, const AnsiString& text, SIZE& size, int count = -1);
int DrawTextInRect(HDC dc, const AnsiString& text, RECT& r, UINT flags, int count = -1);
bool OutputTextAt(HDC dc, const AnsiString& text, POINT p, const RECT* r, UINT options, int count = -1);
void TextSizeInFont(TFont* font, const AnsiString& text, int pointSize, SIZE& size);
int TextWidthInFont(TFont* font, const AnsiString& text, int pointSize);
void MeasureSingleLine(HDC dc, const AnsiString& text, SIZE& size);
// The narrowest rectangle holding the text word-wrapped in `rows` rows.
RECT CalcTextRectForRows(HDC dc, const AnsiString& text, int rows, bool fixHeight = false);
// Breaks the text into lines no wider than the rectangle (a word wider
// than that stands alone) and adds them to `lines`.
void SplitTextIntoLines(const AnsiString& text, TcxCanvas* canvas, const RECT& r, TStrings* lines);
bool IsSpecialCharsetText(TFontCharset charset, const AnsiString& text);

// The parent's background behind a control.
void DrawParentBackground(TControl* control, TcxCanvas* canvas, const RECT& r);
void PaintParentInto(TControl* control, TcxCanvas* canvas, const RECT& r, bool withChildren);

// Unit start and end: binds and frees the system's alpha blending, frees
// the shared canvas and work bitmaps.
void cxGraphicsInit();
void cxGraphicsDone();
