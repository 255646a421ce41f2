#include "foundation/StandardPainter.h"

#include "foundation/FlatPainter.h"
#include "foundation/Geometry.h"

namespace {
RECT Deflate(const RECT& r, int d) { return GrowRect(r, -d, -d); }
}  // namespace

const TcxStandardLookAndFeelPainter TcxStandardLookAndFeelPainter::Instance{};

const char* TcxStandardLookAndFeelPainter::PainterName() const { return "TcxStandardLookAndFeelPainter"; }
TcxLookAndFeelPainterClass TcxStandardLookAndFeelPainter::ParentPainter() const {
  return &TcxCustomLookAndFeelPainter::Instance;
}

TColor TcxStandardLookAndFeelPainter::PlannerViewFillColor() const { return clWindow; }
int TcxStandardLookAndFeelPainter::FrameThickness() const { return 2; }

void TcxStandardLookAndFeelPainter::PaintFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->DrawTwoToneFrame(r, clBtnShadow, clBtnHighlight, cxBordersAll, 1);
  canvas->DrawTwoToneFrame(Deflate(r, 1), cl3DDkShadow, cl3DLight, cxBordersAll, 1);
}

int TcxStandardLookAndFeelPainter::ButtonFrameWidth(TcxButtonState state) const {
  return state == cxbsDefault ? 3 : 2;
}

int TcxStandardLookAndFeelPainter::ButtonTextIndent() const { return 1; }
int TcxStandardLookAndFeelPainter::PressedTextShift() const { return 1; }

void TcxStandardLookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const RECT& bounds,
                                                     TcxButtonState state) const {
  RECT r = bounds;
  if (state == cxbsPressed) {
    FrameWithColor(canvas, r, clBlack);
    FrameWithColor(canvas, Deflate(r, 1), clBtnShadow);
    return;
  }
  if (state == cxbsDefault) {
    FrameWithColor(canvas, r, clBlack);
    r = Deflate(r, 1);
  }
  canvas->DrawTwoToneFrame(r, clBtnHighlight, cl3DDkShadow, cxBordersAll, 1);
  canvas->DrawTwoToneFrame(Deflate(r, 1), cl3DLight, clBtnShadow, cxBordersAll, 1);
}

void TcxStandardLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                      TColor color) const {
  canvas->DrawTwoToneFrame(r, cl3DLight, cl3DDkShadow, cxBordersAll, 1);
  canvas->DrawTwoToneFrame(Deflate(r, 1), clBtnHighlight, clBtnShadow, cxBordersAll, 1);
  const RECT inner = Deflate(r, 2);
  canvas->FillWithColor(inner, color == clDefault ? clBtnFace : color);
  PaintExpandSign(canvas, inner, expanded, clBtnText);
  canvas->ExcludeRectFromClip(r);
}

void TcxStandardLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                           TcxButtonState state) const {
  TcxFlatLookAndFeelPainter::Instance.PaintGroupExpandButton(canvas, r, expanded, state);
}

int TcxStandardLookAndFeelPainter::ExpandButtonExtent() const { return 12; }
bool TcxStandardLookAndFeelPainter::ButtonHotTracks() const { return false; }

void TcxStandardLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState) const {
  canvas->Draw3DEdge(r, true, false);
  canvas->Draw3DEdge(Deflate(r, 1), true, true);
}

void TcxStandardLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors,
                                                     TcxBorders borders) const {
  canvas->Draw3DEdge(r, false, false);
  if (borders.Contains(bLeft)) {
    canvas->SetPixelColor(r.left, r.top + 1, clBtnFace);
    canvas->SetPixelColor(r.left, r.bottom - 2, clBtnFace);
  }
  if (borders.Contains(bRight)) {
    canvas->SetPixelColor(r.right - 1, r.top, clBtnHighlight);
    canvas->SetPixelColor(r.right - 1, r.top + 1, clBtnFace);
    canvas->SetPixelColor(r.right - 1, r.bottom - 2, clBtnFace);
  }
}

void TcxStandardLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                            TcxButtonState state) const {
  if (state == cxbsPressed) {
    canvas->DrawTwoToneFrame(r, clBtnShadow, clBtnShadow, borders, 1);
    return;
  }
  canvas->DrawTwoToneFrame(r, clBtnHighlight, cl3DDkShadow, borders, 1);
  canvas->DrawTwoToneFrame(Deflate(r, 1), cl3DLight, clBtnShadow, borders, 1);
}

void TcxStandardLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const {
  PaintSortArrow(canvas, r, ascending, SortMarkSize(), clBtnHighlight, clBtnShadow);
}

int TcxStandardLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
int TcxStandardLookAndFeelPainter::HeaderSectionFrameWidth(TcxButtonState state) const {
  return state == cxbsPressed ? 1 : 2;
}
POINT TcxStandardLookAndFeelPainter::SortMarkSize() const { return POINT{8, 7}; }
int TcxStandardLookAndFeelPainter::FooterFrameWidth() const { return 1; }
int TcxStandardLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
int TcxStandardLookAndFeelPainter::FooterCellSpacing() const { return 1; }

void TcxStandardLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->Draw3DEdge(r, false, false);
}

void TcxStandardLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->Draw3DEdge(r, true, true);
}

void TcxStandardLookAndFeelPainter::PaintFilterDropButton(TcxCanvas* canvas, const RECT& r,
                                                          TcxButtonState state) const {
  if (state == cxbsPressed) canvas->Draw3DEdge(r, true, true);
  else canvas->Draw3DEdge(r, false, false);
  const RECT inner = Deflate(r, 1);
  canvas->FillWithColor(inner, clBtnFace);
  PaintDropArrowGlyph(canvas, inner, ButtonSymbolColor(state));
}

void TcxStandardLookAndFeelPainter::PaintTab(TcxCanvas* canvas, const RECT& r, const AnsiString& caption,
                                             TcxButtonState state, bool selected, bool vertical) const {
  canvas->FillWithColor(r, TabFillColor());
  PaintTabFrame(canvas, r, selected, vertical);
  TcxContentText content;
  content.Text = caption;
  content.TextColor = TabTextColor();
  content.AlignHorz = TAlignment::taCenter;
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->GetFont()->SetColor(content.TextColor);
  canvas->DrawTextInState(caption, Deflate(r, TabFrameWidth() + 1),
                          cxAlignHCenter | cxAlignVCenter | cxSingleLine | cxShowPrefix, state != cxbsDisabled);
  canvas->GetBrush()->SetStyle(bsSolid);
}

void TcxStandardLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool, bool vertical) const {
  // The tab's rounded lit side faces away from the pane: the top of a
  // horizontal tab, the left of a vertical one.
  if (!vertical) {
    canvas->FillWithColor(RECT{r.left, r.top + 2, r.left + 1, r.bottom}, clBtnHighlight);
    canvas->SetPixelColor(r.left + 1, r.top + 1, clBtnHighlight);
    canvas->FillWithColor(RECT{r.left + 2, r.top, r.right - 2, r.top + 1}, clBtnHighlight);
    canvas->SetPixelColor(r.right - 2, r.top + 1, clBtnShadow);
    canvas->FillWithColor(RECT{r.right - 1, r.top + 2, r.right, r.bottom}, clBtnShadow);
  } else {
    canvas->FillWithColor(RECT{r.left + 2, r.top, r.right, r.top + 1}, clBtnHighlight);
    canvas->SetPixelColor(r.left + 1, r.top + 1, clBtnHighlight);
    canvas->FillWithColor(RECT{r.left, r.top + 2, r.left + 1, r.bottom - 2}, clBtnHighlight);
    canvas->SetPixelColor(r.left + 1, r.bottom - 2, clBtnShadow);
    canvas->FillWithColor(RECT{r.left + 2, r.bottom - 1, r.right, r.bottom}, clBtnShadow);
  }
}

void TcxStandardLookAndFeelPainter::PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const {
  canvas->FillWithColor(r, TabAreaFillColor());
  canvas->Draw3DEdge(r, false, false, borders);
  canvas->Draw3DEdge(Deflate(r, 1), false, true, borders);
}

int TcxStandardLookAndFeelPainter::TabFrameWidth() const { return 1; }

void TcxStandardLookAndFeelPainter::PaintScrollButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                            TcxScrollBarPart part) {
  if (state != cxbsPressed || part == sbpThumbnail) {
    canvas->DrawTwoToneFrame(r, clBtnFace, cl3DDkShadow, cxBordersAll, 1);
    canvas->DrawTwoToneFrame(Deflate(r, 1), clBtnHighlight, clBtnShadow, cxBordersAll, 1);
  } else {
    canvas->DrawTwoToneFrame(r, clBtnShadow, clBtnShadow, cxBordersAll, 1);
    canvas->DrawTwoToneFrame(Deflate(r, 1), clBtnFace, clBtnFace, cxBordersAll, 1);
  }
}

void TcxStandardLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& bounds,
                                                       TcxScrollBarPart part, TcxButtonState state) const {
  if (RectIsEmpty(bounds) || (part == sbpThumbnail && state == cxbsDisabled)) return;
  if (state == cxbsHot) state = cxbsNormal;
  switch (part) {
    case sbpPageUp:
    case sbpPageDown:
      PaintScrollBarPageArea(canvas, bounds, state == cxbsPressed);
      break;
    case sbpThumbnail:
      PaintScrollButtonBorder(canvas, bounds, state, part);
      canvas->FillWithColor(Deflate(bounds, ButtonFrameWidth(cxbsNormal)), clBtnFace);
      break;
    case sbpLineUp:
    case sbpLineDown: {
      RECT glyph = bounds;
      if (state == cxbsPressed) glyph = ShiftRect(glyph, 1, 1);
      UINT kind;
      if (horizontal) kind = part == sbpLineUp ? DFCS_SCROLLLEFT : DFCS_SCROLLRIGHT;
      else kind = part == sbpLineUp ? DFCS_SCROLLUP : DFCS_SCROLLDOWN;
      if (state == cxbsDisabled) kind |= DFCS_INACTIVE;
      if (state == cxbsPressed) kind |= DFCS_FLAT;
      DrawFrameControl(canvas->GetDeviceContext(), &glyph, DFC_SCROLL, kind);
      PaintScrollButtonBorder(canvas, bounds, state, part);
      break;
    }
    default:
      break;
  }
}

void TcxStandardLookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text,
                                                     TcxBorders borders, const TcxViewParams& viewParams,
                                                     TcxHeaderArrows arrows, int arrowAreaWidth,
                                                     const TcxCustomDrawBackgroundEvent& onCustomDraw) const {
  canvas->DrawSideFrame(r, clBlack, 1, borders);
  RECT inner = r;
  if (borders.Contains(bLeft)) ++inner.left;
  if (borders.Contains(bTop)) ++inner.top;
  if (borders.Contains(bRight)) --inner.right;
  if (borders.Contains(bBottom)) --inner.bottom;
  TcxCustomLookAndFeelPainter::PaintMonthHeader(canvas, inner, text, borders, viewParams, arrows, arrowAreaWidth,
                                                onCustomDraw);
}

void TcxStandardLookAndFeelPainter::PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->Draw3DEdge(r, false, false);
  canvas->Draw3DEdge(Deflate(r, 1), false, true);
}
