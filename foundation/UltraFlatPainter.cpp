#include "foundation/UltraFlatPainter.h"

#include "foundation/Geometry.h"
#include "foundation/Graphics.h"

namespace {
RECT Deflate(const RECT& r, int d) { return GrowRect(r, -d, -d); }
}  // namespace

const TcxUltraFlatLookAndFeelPainter TcxUltraFlatLookAndFeelPainter::Instance{};

const char* TcxUltraFlatLookAndFeelPainter::PainterName() const { return "TcxUltraFlatLookAndFeelPainter"; }
TcxLookAndFeelPainterClass TcxUltraFlatLookAndFeelPainter::ParentPainter() const {
  return &TcxCustomLookAndFeelPainter::Instance;
}

uint8_t TcxUltraFlatLookAndFeelPainter::StyleCode() const { return cxStyleCodeUltraFlat; }
TColor TcxUltraFlatLookAndFeelPainter::PlannerFrameColor() const { return clBtnShadow; }
int TcxUltraFlatLookAndFeelPainter::FrameThickness() const { return 1; }

void TcxUltraFlatLookAndFeelPainter::PaintFrame(TcxCanvas* canvas, const RECT& r) const {
  FrameWithColor(canvas, r, clBtnShadow);
}

int TcxUltraFlatLookAndFeelPainter::ButtonFrameWidth(TcxButtonState state) const {
  return state == cxbsDefault ? 2 : 1;
}

TColor TcxUltraFlatLookAndFeelPainter::ButtonFillColor(TcxButtonState state) const {
  switch (state) {
    case cxbsHot: return HotHighlightColor();
    case cxbsPressed: return PressedHighlightColor();
    default: return clBtnFace;
  }
}

bool TcxUltraFlatLookAndFeelPainter::ButtonFocusRectangle(TcxCanvas*, const RECT& buttonRect,
                                                          RECT& focusRect) const {
  focusRect = Deflate(buttonRect, 3);
  if (!RectIsEmpty(focusRect)) return false;
  focusRect = buttonRect;
  return true;
}

RECT TcxUltraFlatLookAndFeelPainter::ButtonGroupFrameSizes(int count, int index) const {
  RECT sizes{1, 2, 1, 2};
  if (index == 0) ++sizes.left;
  if (index == count - 1) ++sizes.right;
  return sizes;
}

int TcxUltraFlatLookAndFeelPainter::ButtonTextIndent() const { return 2; }
int TcxUltraFlatLookAndFeelPainter::PressedTextShift() const { return 0; }

TColor TcxUltraFlatLookAndFeelPainter::ButtonSymbolColor(TcxButtonState state, TColor defaultColor) const {
  if (state == cxbsPressed) return clHighlightText;
  return TcxCustomLookAndFeelPainter::ButtonSymbolColor(state, defaultColor);
}

TcxButtonState TcxUltraFlatLookAndFeelPainter::ButtonSymbolState(TcxButtonState) const { return cxbsNormal; }

void TcxUltraFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const RECT& r,
                                                      TcxButtonState state) const {
  switch (state) {
    case cxbsDefault:
      FrameWithColor(canvas, r, clWindowFrame);
      FrameWithColor(canvas, Deflate(r, 1), clWindowFrame);
      break;
    case cxbsNormal: FrameWithColor(canvas, r, clBtnText); break;
    case cxbsDisabled: FrameWithColor(canvas, r, clBtnShadow); break;
    default: FrameWithColor(canvas, r, clHighlight); break;
  }
}

void TcxUltraFlatLookAndFeelPainter::PaintGroupedButton(TcxCanvas* canvas, const RECT& bounds,
                                                        TcxButtonState state, int count, int index,
                                                        TColor backgroundColor) const {
  RECT r = bounds;
  ++r.top;
  --r.bottom;
  if (index == 0) ++r.left;
  if (index == count - 1) --r.right;
  if (state == cxbsHot || state == cxbsPressed) {
    const TColor separator = FrameHighlightColor();
    if (index > 0) {
      canvas->FillWithColor(RECT{r.left, r.top, r.left + 1, r.bottom}, separator);
      ++r.left;
    }
    if (index != count - 1) {
      canvas->FillWithColor(RECT{r.right - 1, r.top, r.right, r.bottom}, separator);
      --r.right;
    }
  } else {
    FrameWithColor(canvas, r, backgroundColor);
    r = Deflate(r, 1);
  }
  canvas->FillWithColor(r, ButtonFillColor(state));
}

void TcxUltraFlatLookAndFeelPainter::PaintButtonGroupFrame(TcxCanvas* canvas, const RECT& r, bool first,
                                                           bool second) const {
  FrameWithColor(canvas, r, first ? clBtnText : second ? FrameHighlightColor() : clBtnShadow);
}

void TcxUltraFlatLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                       TColor color) const {
  FrameWithColor(canvas, r, clBtnShadow);
  canvas->FillWithColor(Deflate(r, 1), color == clDefault ? clBtnFace : color);
  PaintExpandSign(canvas, r, expanded, clBtnText);
  canvas->ExcludeRectFromClip(r);
}

int TcxUltraFlatLookAndFeelPainter::ExpandButtonExtent() const { return 11; }
bool TcxUltraFlatLookAndFeelPainter::ButtonHotTracks() const { return true; }

void TcxUltraFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const RECT& r,
                                                     TcxButtonState state) const {
  FrameWithColor(canvas, r, clBtnText);
  FrameWithColor(canvas, Deflate(r, 1), CheckFillColor(state));
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors,
                                                      TcxBorders borders) const {
  TcxBorders sides{bRight, bBottom};
  if (borders.Contains(bLeft)) sides += bLeft;
  if (borders.Contains(bTop)) sides += bTop;
  canvas->DrawSideFrame(r, clBtnText, 1, sides);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderCellFramed(TcxCanvas* canvas, const RECT& r, const RECT& textRect,
                                                           TcxNeighbors neighbors, TcxBorders borders,
                                                           TcxButtonState state, const TcxContentText& content,
                                                           const TcxCustomDrawBackgroundEvent& onCustomDraw,
                                                           bool) const {
  PaintContentArea(canvas, HeaderContentBounds(r, borders), Deflate(textRect, 1), state, content, onCustomDraw,
                   false);
  PaintHeaderFrame(canvas, Deflate(r, 1), neighbors, borders);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                             TcxButtonState state) const {
  canvas->DrawSideFrame(r, state == cxbsDisabled ? clBtnShadow : clBlack, 1, borders);
}

void TcxUltraFlatLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* canvas, const RECT& r,
                                                               TcxButtonState state,
                                                               const TcxContentText& content) const {
  TcxContentText own = content;
  if (state > cxbsNormal) own.FillColor = ButtonFillColor(state);
  TcxCustomLookAndFeelPainter::PaintHeaderSectionContent(canvas, r, state, own);
}

void TcxUltraFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const {
  PaintSortArrow(canvas, r, ascending, SortMarkSize(), clBtnShadow, clBtnShadow);
}

POINT TcxUltraFlatLookAndFeelPainter::SortMarkSize() const { return POINT{7, 8}; }

TcxBorders TcxUltraFlatLookAndFeelPainter::HeaderOpenSides(TcxNeighbors neighbors) const {
  TcxBorders sides = cxBordersAll;
  if (neighbors.Contains(nLeft)) sides -= bLeft;
  if (neighbors.Contains(nTop)) sides -= bTop;
  return sides;
}

int TcxUltraFlatLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
TcxBorders TcxUltraFlatLookAndFeelPainter::FooterSides() const { return TcxBorders{bRight, bBottom}; }
int TcxUltraFlatLookAndFeelPainter::FooterFrameWidth() const { return 1; }
int TcxUltraFlatLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
int TcxUltraFlatLookAndFeelPainter::FooterCellSpacing() const { return 2; }

void TcxUltraFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->DrawSideFrame(r, FooterSeparatorColor(), 1, {bRight, bBottom});
}

void TcxUltraFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* canvas, const RECT& r) const {
  FrameWithColor(canvas, r, FooterSeparatorColor());
}

void TcxUltraFlatLookAndFeelPainter::PaintFilterDropButton(TcxCanvas* canvas, const RECT& r,
                                                           TcxButtonState state) const {
  FrameWithColor(canvas, r, FilterButtonFrameColor(state));
  const RECT inner = Deflate(r, 1);
  canvas->FillWithColor(inner, ButtonFillColor(state));
  PaintDropArrowGlyph(canvas, inner, ButtonSymbolColor(state));
}

SIZE TcxUltraFlatLookAndFeelPainter::FilterCloseButtonSize() const { return SIZE{16, 15}; }

void TcxUltraFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool selected,
                                                   bool vertical) const {
  // The far edge of the selected tab is dark, the others light.
  const TColor light = TabEdgeLightColor();
  const TColor farEdge = selected ? TabEdgeDarkColor() : light;
  if (!vertical) {
    canvas->DrawSideFrame(r, light, 1, {bLeft, bTop});
    canvas->DrawSideFrame(r, farEdge, 1, {bRight});
  } else {
    canvas->DrawSideFrame(r, light, 1, {bLeft, bTop});
    canvas->DrawSideFrame(r, farEdge, 1, {bBottom});
  }
}

void TcxUltraFlatLookAndFeelPainter::PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const {
  canvas->FillWithColor(r, TabAreaFillColor());
  canvas->DrawSideFrame(r, TabEdgeLightColor(), 1, borders * TcxBorders{bLeft, bTop});
  canvas->DrawSideFrame(r, TabEdgeDarkColor(), 1, borders * TcxBorders{bRight, bBottom});
}

int TcxUltraFlatLookAndFeelPainter::TabFrameWidth() const { return 1; }

void TcxUltraFlatLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                        TcxScrollBarPart part, TcxButtonState state) const {
  PaintButtonScrollBarPart(canvas, horizontal, r, part, state, true, false);
}

void TcxUltraFlatLookAndFeelPainter::PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect,
                                                        bool isNext, TcxButtonState state) const {
  canvas->FillWithColor(r, clBtnFace);
  FrameWithColor(canvas, r, state == cxbsHot ? TabEdgeLightColor() : TabEdgeDarkColor());
  PaintNavButtonArrow(canvas, arrowRect, isNext, state);
}

void TcxUltraFlatLookAndFeelPainter::PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r,
                                                                 TcxButtonState state) const {
  PaintButton(canvas, r, "", state, state == cxbsHot || state == cxbsPressed);
}

void TcxUltraFlatLookAndFeelPainter::PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const {
  FrameWithColor(canvas, r, clBtnShadow);
}

TColor TcxUltraFlatLookAndFeelPainter::FilterButtonFrameColor(TcxButtonState state) const {
  return state == cxbsNormal ? clBtnShadow : clHighlight;
}

TColor TcxUltraFlatLookAndFeelPainter::TabEdgeLightColor() const { return clBtnShadow; }
TColor TcxUltraFlatLookAndFeelPainter::TabEdgeDarkColor() const { return clBtnText; }
TColor TcxUltraFlatLookAndFeelPainter::FrameHighlightColor() const { return clHighlight; }
