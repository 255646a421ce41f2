// The editors' drawing primitives: cached-brush fills, arrow triangles,
// edges and poly-lines, glyphs, the width of an edit button, an edit's
// border and background, the vertical room a button style needs, a few
// colours, the painter of a look-and-feel kind and raw fonts.
#pragma once

#include "editors/framework/EditStyle.h"
#include "foundation/Canvas.h"
#include "foundation/LookAndFeelPainter.h"
#include "platform/Bitmap.h"
#include "platform/Win32.h"

#include <memory>

class TcxEditButtonViewInfo;
class TcxCustomEditViewInfo;
class TcxCustomEditViewData;
class TCustomImageList;
class TCollection;

void FillRectWithBrush(HDC dc, const RECT& r, HBRUSH brush);
// With the cached brush of the colour.
void FillRectWithColor(TcxCanvas* canvas, const RECT& r, TColor color);
// The band of `outer` outside `inner`.
void FillRectAround(TcxCanvas* canvas, const RECT& outer, const RECT& inner, HBRUSH brush);

// Arrow directions of DrawArrows and ArrowGlyphSize.
enum TcxEditArrowDirection : uint8_t { eadUp, eadDown, eadLeft, eadRight };
// One or two arrow triangles of `a` one-pixel rows (columns) centred in the
// rectangle, one pixel right and down when pressed.
void DrawArrows(TcxCanvas* canvas, int a, const RECT& r, TColor color, bool pressed, bool twoArrows,
                TcxEditArrowDirection direction);
// The width and height of an arrow that fits an area (swapped for left and right).
SIZE ArrowGlyphSize(SIZE area, TcxEditArrowDirection direction);
// Lines on the chosen edges (1 left, 2 top, 4 right, 8 bottom); the
// rectangle shrinks by one on each drawn side.
void DrawRectEdges(TcxCanvas* canvas, RECT& r, unsigned edges, TColor color);
// A poly-line through points[0..lastIndex] with its end point painted too;
// in brush mode every (horizontal or vertical) segment is a one-pixel fill.
void DrawColoredPolyline(TcxCanvas* canvas, const POINT* points, int lastIndex, bool brushMode, TColor color);

// A bitmap with pixels.
bool IsGlyphUsable(TBitmap* glyph);
// The glyph at (x, y), its transparent colour showing the background (the
// colour, or the canvas when clNone); disabled glyphs are drawn embossed.
// With a background bitmap the glyph goes into it and the bitmap is drawn.
void DrawGlyph(TCanvas* canvas, int x, int y, TBitmap* background, TColor backgroundColor, bool enabled,
               TBitmap* glyph);
void DrawGlyphOnCanvas(TcxCanvas* canvas, int x, int y, TBitmap* background, TColor backgroundColor, bool enabled,
                       TBitmap* glyph);
void DrawImageListImage(TcxCanvas* canvas, TCustomImageList* images, int index, TBitmap* work, bool enabled,
                        TColor backgroundColor, const RECT& r);

// The native painter when asked and visual styles serve, else the kind's.
TcxLookAndFeelPainterClass PainterClassFor(bool nativeStyle, TcxLookAndFeelKind kind);
// The width of one edit button; may turn its native flag off when no theme serves.
int MeasureEditButton(TcxCanvas* canvas, TcxEditButtonViewInfo& button);
// Border, shadow and background of an edit, then its buttons.
void PaintEditBackground(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, bool fillAll, int option = 0);
// The vertical room a button style adds to an edit's height (native: the theme's).
int EditVerticalPadding(TcxCanvas* canvas, TcxEditButtonStyle style, bool native);
bool EditShowsShadow(TcxCustomEditViewData* viewData);
bool HasItemsWhen(TCollection* owner, bool flag);

TColor HotLightColor();
TColor ButtonHighlightColor(bool office);
// The flat button face of the hot (or pressed) state.
TColor FlatButtonColor(bool hot, bool office);

void SelectLogFont(TcxCanvas* canvas, const LOGFONTA& font);
void ReadLogFont(TcxCanvas* canvas, LOGFONTA& font);

// Start-up: whether COLOR_HOTLIGHT exists on this system.
void DetectHotLightColor();

// A glyph property made on first use, its changes reported by `onChange`.
TBitmap* OwnedGlyph(std::unique_ptr<TBitmap>& glyph, const TNotifyEvent& onChange);
// Copies `value` into the glyph (made on first use); null frees it. Answers
// whether a glyph was freed, a change the caller reports itself.
bool AssignOwnedGlyph(std::unique_ptr<TBitmap>& glyph, TBitmap* value, const TNotifyEvent& onChange);
