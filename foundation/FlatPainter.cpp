#include "foundation/FlatPainter.h"

#include "foundation/Geometry.h"
#include "foundation/StandardPainter.h"

namespace {
RECT Deflate(const RECT& r, int d) { return GrowRect(r, -d, -d); }
}  // namespace

const TcxFlatLookAndFeelPainter TcxFlatLookAndFeelPainter::Instance{};

const char* TcxFlatLookAndFeelPainter::PainterName() const { return "TcxFlatLookAndFeelPainter"; }
TcxLookAndFeelPainterClass TcxFlatLookAndFeelPainter::ParentPainter() const {
  return &TcxCustomLookAndFeelPainter::Instance;
}

uint8_t TcxFlatLookAndFeelPainter::StyleCode() const { return cxStyleCodeFlat; }
int TcxFlatLookAndFeelPainter::FrameThickness() const { return 1; }

void TcxFlatLookAndFeelPainter::PaintFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->Draw3DEdge(r, true, true);
}

int TcxFlatLookAndFeelPainter::ButtonFrameWidth(TcxButtonState state) const { return state == cxbsDefault ? 2 : 1; }
int TcxFlatLookAndFeelPainter::ButtonTextIndent() const { return 1; }
int TcxFlatLookAndFeelPainter::PressedTextShift() const { return 1; }

void TcxFlatLookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const RECT& bounds,
                                                 TcxButtonState state) const {
  RECT r = bounds;
  if (state == cxbsPressed) {
    canvas->DrawTwoToneFrame(r, clBtnShadow, clBtnHighlight, cxBordersAll, 1);
    return;
  }
  if (state == cxbsDefault) {
    FrameWithColor(canvas, r, clBlack);
    r = Deflate(r, 1);
  }
  canvas->DrawTwoToneFrame(r, clBtnHighlight, clBtnShadow, cxBordersAll, 1);
}

void TcxFlatLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                  TColor color) const {
  PaintButton(canvas, r, "", cxbsNormal, true, color);
  PaintExpandSign(canvas, Deflate(r, 1), expanded, clBtnText);
  canvas->ExcludeRectFromClip(r);
}

int TcxFlatLookAndFeelPainter::ExpandButtonExtent() const { return 11; }
bool TcxFlatLookAndFeelPainter::ButtonHotTracks() const { return false; }

void TcxFlatLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const {
  canvas->Draw3DEdge(r, true, true);
  FrameWithColor(canvas, Deflate(r, 1), CheckFillColor(state));
}

void TcxFlatLookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors,
                                                 TcxBorders borders) const {
  TcxStandardLookAndFeelPainter::Instance.PaintHeaderFrame(canvas, r, neighbors, borders);
}

void TcxFlatLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                        TcxButtonState state) const {
  if (state == cxbsPressed) canvas->DrawTwoToneFrame(r, clBtnShadow, clBtnHighlight, borders, 1);
  else canvas->DrawTwoToneFrame(r, clBtnHighlight, clBtnShadow, borders, 1);
}

void TcxFlatLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const {
  PaintSortArrow(canvas, r, ascending, SortMarkSize(), clBtnHighlight, clBtnShadow);
}

POINT TcxFlatLookAndFeelPainter::SortMarkSize() const { return POINT{8, 7}; }
int TcxFlatLookAndFeelPainter::HeaderFrameWidth() const { return 1; }
int TcxFlatLookAndFeelPainter::FooterFrameWidth() const { return 1; }
int TcxFlatLookAndFeelPainter::FooterCellFrameWidth() const { return 1; }
int TcxFlatLookAndFeelPainter::FooterCellSpacing() const { return 1; }

void TcxFlatLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->Draw3DEdge(r, false, false);
}

void TcxFlatLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->Draw3DEdge(r, true, true);
}

void TcxFlatLookAndFeelPainter::PaintFilterDropButton(TcxCanvas* canvas, const RECT& r,
                                                      TcxButtonState state) const {
  TcxStandardLookAndFeelPainter::Instance.PaintFilterDropButton(canvas, r, state);
}

void TcxFlatLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool, bool vertical) const {
  if (!vertical) {
    canvas->DrawTwoToneFrame(r, clBtnHighlight, clBtnShadow, {bLeft, bTop, bRight}, 1);
  } else {
    canvas->DrawTwoToneFrame(r, clBtnHighlight, clBtnShadow, {bLeft, bTop, bBottom}, 1);
  }
}

void TcxFlatLookAndFeelPainter::PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const {
  canvas->FillWithColor(r, TabAreaFillColor());
  canvas->Draw3DEdge(r, false, false, borders);
}

int TcxFlatLookAndFeelPainter::TabFrameWidth() const { return 1; }

void TcxFlatLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                   TcxScrollBarPart part, TcxButtonState state) const {
  PaintButtonScrollBarPart(canvas, horizontal, r, part, state, false, true);
}

void TcxFlatLookAndFeelPainter::PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const {
  canvas->DrawTwoToneFrame(r, clBtnHighlight, clBtnShadow, cxBordersAll, 1);
}
