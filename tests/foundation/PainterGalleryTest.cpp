// The painter gallery: every operation of every painter in every state
// (check states, scroll-bar parts, arrow directions, neighbours), drawn twice
// side by side, with the system's visual styles as the prefix has them and
// with visual styles switched off. One picture per painter and one sheet of
// every radio-button image go to the artefacts folder.
#include "foundation/FlatPainter.h"
#include "foundation/Office11Painter.h"
#include "foundation/WinXPPainter.h"
#include "platform/DateTime.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <functional>
#include <string>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

const TcxButtonState AllStates[] = {cxbsDefault, cxbsNormal, cxbsHot, cxbsPressed, cxbsDisabled};
const TcxArrowDirection AllDirections[] = {adUp, adDown, adLeft, adRight};

// Lays the samples out in rows under a label at the left.
class TGallery {
public:
  TGallery(TcxCanvas* canvas, int left, int width) : FCanvas(canvas), FLeft(left), FRight(left + width) {
    FY = 4;
  }
  // Starts a row named `label` whose samples are `height` high.
  void Row(const char* label, int height) {
    if (FX > FLeft) FY += FRowHeight + 4;
    FRowHeight = height;
    FX = FLeft + LabelWidth;
    FCanvas->GetBrush()->SetStyle(bsClear);
    FCanvas->GetFont()->SetColor(clBlack);
    FCanvas->DrawTextInState(label, RECT{FLeft + 2, FY, FLeft + LabelWidth - 4, FY + std::max(height, 14)},
                             cxAlignLeft | cxAlignTop | cxSingleLine, true);
    FCanvas->GetBrush()->SetStyle(bsSolid);
  }
  // The next sample's rectangle in the row (wrapping onto a new line).
  RECT Cell(int width, int height = -1) {
    if (height < 0) height = FRowHeight;
    if (FX + width > FRight) {
      FY += FRowHeight + 3;
      FX = FLeft + LabelWidth;
    }
    const RECT r{FX, FY, FX + width, FY + height};
    FX += width + 4;
    return r;
  }
  void Gap() { FX += 8; }
  int Bottom() const { return FY + FRowHeight + 4; }
  TcxCanvas* Canvas() const { return FCanvas; }

private:
  static constexpr int LabelWidth = 150;
  TcxCanvas* FCanvas;
  int FLeft, FRight;
  int FX = 0, FY = 0, FRowHeight = 0;
};

void DrawEveryOperation(TGallery& g, const TcxCustomLookAndFeelPainter& p) {
  TcxCanvas* c = g.Canvas();
  TcxContentText text;
  text.Text = "Text";
  text.FillColor = clBtnFace;
  text.TextColor = clBtnText;
  text.AlignHorz = TAlignment::taCenter;

  g.Row("PaintButton", 22);
  for (TcxButtonState s : AllStates) p.PaintButton(c, g.Cell(56), "&OK", s);
  p.PaintButton(c, g.Cell(56, 30), "Wrapped text", cxbsNormal, true, clDefault, clDefault, true);
  p.PaintButton(c, g.Cell(40), "", cxbsNormal, false, RGB(255, 220, 220));
  g.Row("PaintGroupedButton", 20);
  for (TcxButtonState s : AllStates)
    for (int i = 0; i < 3; ++i) p.PaintGroupedButton(c, g.Cell(18), s, 3, i, clWindow);
  g.Row("PaintButtonGroupFrame", 20);
  p.PaintButtonGroupFrame(c, g.Cell(40), false, false);
  p.PaintButtonGroupFrame(c, g.Cell(40), true, false);
  p.PaintButtonGroupFrame(c, g.Cell(40), false, true);
  g.Row("ButtonFocusRectangle", 22);
  for (int w : {40, 8}) {
    const RECT r = g.Cell(w);
    p.PaintButton(c, r, "", cxbsNormal);
    RECT focus;
    p.ButtonFocusRectangle(c, r, focus);
    c->PaintFocusRect(focus);
  }

  g.Row("PaintArrowGlyph", 15);
  for (TcxArrowDirection d : AllDirections) p.PaintArrowGlyph(c, g.Cell(15), d, clBtnText);
  g.Gap();
  p.PaintDropArrowGlyph(c, g.Cell(16), clBtnText);
  g.Row("PaintArrowWithFrame", 15);
  for (bool frame : {true, false})
    for (TcxButtonState s : AllStates)
      for (TcxArrowDirection d : AllDirections) p.PaintArrowWithFrame(c, g.Cell(15), s, d, frame);
  g.Row("PaintArrowFrame", 15);
  for (TcxButtonState s : AllStates) p.PaintArrowFrame(c, g.Cell(15), s);
  g.Row("PaintStateArrow", 15);
  for (TcxButtonState s : AllStates)
    for (TcxArrowDirection d : AllDirections) p.PaintStateArrow(c, g.Cell(15), s, d);

  g.Row("PaintFrame", 20);
  p.PaintFrame(c, g.Cell(40));
  p.PaintPlannerFrame(c, g.Cell(40));
  p.PaintPlannerSplitterFrame(c, g.Cell(40));
  p.PaintWindowArea(c, g.Cell(20));

  const int extent = std::max(p.ExpandButtonExtent(), 9);
  g.Row("PaintExpandButton", extent);
  for (bool expanded : {false, true}) {
    c->PushClipRegion();
    p.PaintExpandButton(c, g.Cell(extent), expanded);
    c->PopClipRegion();
  }
  for (bool expanded : {false, true}) {
    c->PushClipRegion();
    p.PaintSmallExpandButton(c, g.Cell(p.SmallExpandButtonExtent()), expanded, clBtnShadow, clWindow);
    c->PopClipRegion();
  }
  g.Row("PaintGroupExpandButton", p.GroupExpandButtonExtent());
  for (bool expanded : {false, true})
    for (TcxButtonState s : AllStates) p.PaintGroupExpandButton(c, g.Cell(p.GroupExpandButtonExtent()), expanded, s);

  const SIZE check = p.CheckBoxGlyphSize();
  g.Row("PaintCheckBox", check.cy);
  for (TcxCheckBoxState cs : {cbsUnchecked, cbsChecked, cbsGrayed})
    for (TcxButtonState s : AllStates) p.PaintCheckBox(c, g.Cell(check.cx), s, cs);
  g.Row("PaintFilterActivator", p.FilterActivatorSize().cy);
  for (bool checked : {false, true})
    for (TcxButtonState s : AllStates) p.PaintFilterActivator(c, g.Cell(p.FilterActivatorSize().cx), s, checked);
  const SIZE radio = p.RadioButtonExtent();
  g.Row("PaintRadioButton", radio.cy);
  for (bool focused : {false, true})
    for (bool checked : {false, true})
      for (TcxButtonState s : AllStates) {
        const RECT r = g.Cell(radio.cx);
        p.PaintRadioButton(c, r.left, r.top, s, checked, focused, clDefault);
      }

  g.Row("PaintHeaderCell", 20);
  for (TcxButtonState s : AllStates) {
    const RECT r = g.Cell(56);
    p.PaintHeaderCell(c, r, p.HeaderContentBounds(r, cxBordersAll), {}, cxBordersAll, s, text);
  }
  for (TcxNeighbors n : {TcxNeighbors{nLeft}, TcxNeighbors{nRight}, TcxNeighbors{nLeft, nRight}}) {
    const RECT r = g.Cell(40);
    p.PaintHeaderCell(c, r, r, n, cxBordersAll, cxbsNormal, text, {}, !n.Contains(nRight));
  }
  g.Row("PaintHeaderCellFramed", 20);
  for (TcxButtonState s : {cxbsNormal, cxbsHot, cxbsPressed}) {
    const RECT r = g.Cell(56);
    p.PaintHeaderCellFramed(c, r, r, {}, cxBordersAll, s, text);
  }
  g.Row("PaintHeaderSection", 20);
  for (TcxButtonState s : AllStates) p.PaintHeaderSection(c, g.Cell(56), cxBordersAll, s, text);
  g.Row("PaintSortMark", 16);
  for (bool ascending : {true, false}) p.PaintSortMark(c, g.Cell(16), ascending);
  {
    const RECT r = g.Cell(30);
    c->FillWithColor(r, clBtnFace);
    p.PaintHeaderPressed(c, r);
  }
  p.PaintHeaderSeparator(c, g.Cell(60, 4), 10, clBtnShadow, TcxViewParams{nullptr, clWindow});

  g.Row("PaintFooterCell", 18);
  p.PaintFooterFrame(c, g.Cell(60));
  p.PaintFooterCellFrame(c, g.Cell(60));
  p.PaintFooterCell(c, g.Cell(60), text);
  p.PaintFooterContent(c, g.Cell(30), TcxViewParams{nullptr, RGB(230, 240, 255)});
  p.PaintFooterSeparator(c, g.Cell(p.FooterSeparatorWidth() * 4));
  g.Row("PaintFilterCloseButton", p.FilterCloseButtonSize().cy);
  for (TcxButtonState s : AllStates) p.PaintFilterCloseButton(c, g.Cell(p.FilterCloseButtonSize().cx), s);
  g.Gap();
  for (TcxButtonState s : AllStates) p.PaintFilterDropButton(c, g.Cell(15, 17), s);
  g.Row("PaintFilterPanel", 16);
  p.PaintFilterPanel(c, g.Cell(40), false, p.FilterBarFillColor(), nullptr);
  p.PaintGroupingPanel(c, g.Cell(40), false, p.GroupingPanelFillColor(), nullptr);
  p.PaintBackdrop(c, g.Cell(40), false, p.ContentFillColor(), nullptr);
  p.PaintBackdrop(c, g.Cell(40), true, clRed, ScrollPageBitmap(false));

  g.Row("PaintTab", 20);
  for (bool selected : {false, true})
    for (TcxButtonState s : {cxbsNormal, cxbsHot, cxbsDisabled}) p.PaintTab(c, g.Cell(48), "Tab", s, selected, false);
  p.PaintTab(c, g.Cell(20, 40), "", cxbsNormal, false, true);
  p.PaintTab(c, g.Cell(20, 40), "", cxbsNormal, true, true);
  p.PaintTabArea(c, g.Cell(60, 30), cxBordersAll);
  p.PaintTabFrame(c, g.Cell(40), true, false);

  g.Row("PaintIndicatorGlyph", 16);
  for (int kind = 0; kind <= 6; ++kind) p.PaintIndicatorGlyph(c, g.Cell(16), kind);
  p.PaintIndicatorMark(c, g.Cell(12), clBtnText);
  p.PaintIndicatorCell(c, g.Cell(18), 1, {}, cxBordersAll, clBtnFace);
  p.PaintIndicatorCellFramed(c, g.Cell(18), 2, {}, cxBordersAll, clBtnFace);

  for (bool horizontal : {true, false}) {
    g.Row(horizontal ? "PaintScrollBarPart (h)" : "PaintScrollBarPart (v)", horizontal ? 17 : 24);
    for (TcxButtonState s : AllStates) {
      for (int part = sbpLineUp; part <= sbpPageDown; ++part)
        p.PaintScrollBarPart(c, horizontal, g.Cell(horizontal ? 24 : 17), static_cast<TcxScrollBarPart>(part), s);
      g.Gap();
    }
  }
  g.Row("PaintSizeGrip", p.SizeGripExtent().cy);
  p.PaintSizeGrip(c, g.Cell(p.SizeGripExtent().cx), p.SizeGripFillColor());

  g.Row("PaintContentArea", 20);
  for (TcxButtonState s : {cxbsNormal, cxbsHot}) {
    const RECT r = g.Cell(56);
    p.PaintContentArea(c, r, r, s, text, {}, false);
  }
  g.Row("PaintNavButtonFace", 24);
  for (TcxButtonState s : AllStates)
    for (bool next : {false, true}) {
      RECT button, arrow;
      p.PlannerNavButtonRects(g.Cell(15, 24), next, button, arrow);
      p.PaintNavButtonFace(c, button, arrow, next, s);
    }
  p.PaintNavButtonText(c, g.Cell(60), "Next");
  g.Row("PaintPlannerNavigatorButton", 20);
  for (TcxButtonState s : AllStates) p.PaintPlannerNavigatorButton(c, g.Cell(24), s);
  g.Row("PaintMonthHeader", 20);
  p.PaintMonthHeader(c, g.Cell(150), "March 2024", cxBordersAll, TcxViewParams{nullptr, p.CalendarHeaderFillColor()},
                     TcxHeaderArrows{adLeft, adRight}, 20);
  p.PaintMonthHeader(c, g.Cell(150), "April 2024", {bLeft, bTop, bBottom},
                     TcxViewParams{nullptr, p.CalendarHeaderFillColor()}, TcxHeaderArrows{adRight}, 20);
  g.Row("PaintProgressMark", 14);
  for (int percent : {0, 40, 100}) p.PaintProgressMark(c, g.Cell(60), percent);
  g.Row("PaintClockFace", 64);
  TDateTime time;
  TryEncodeTime(10, 8, 37, 0, time);
  p.PaintClockFace(c, g.Cell(64), time, clWindow);
  TryEncodeTime(12, 0, 0, 0, time);
  p.PaintClockFace(c, g.Cell(64), time, clWindow);
  g.Row("PaintPanelBackdrop", 20);
  p.PaintPanelBackdrop(c, nullptr, g.Cell(60), RGB(255, 255, 255), RGB(120, 160, 220));
  p.PaintPanelBackdrop(c, nullptr, g.Cell(60), RGB(220, 230, 240));
}

// Draws every operation into a panel of its own, copies it into the sheet at
// `left` and answers the panel's bottom.
int DrawPanel(TestSurface& sheet, int left, int width, const char* title,
              const TcxCustomLookAndFeelPainter& painter) {
  TestSurface panel(width, sheet.Height(), RGB(240, 240, 240));
  TGallery gallery(panel.Canvas(), 0, width - 8);
  gallery.Row(title, 14);
  DrawEveryOperation(gallery, painter);
  GdiFlush();
  BitBlt(sheet.Canvas()->GetDeviceContext(), left, 0, width, sheet.Height(), panel.Canvas()->GetDeviceContext(), 0,
         0, SRCCOPY);
  return gallery.Bottom();
}

// One painter, with visual styles as they are and switched off.
void DrawPainterSheet(const TcxCustomLookAndFeelPainter& painter, const char* fileName) {
  const int panelWidth = 760;
  TestSurface sheet(2 * panelWidth, 880);
  int bottom = 0;
  for (int panel = 0; panel < 2; ++panel) {
    if (panel == 1) SetVisualStyles(false);
    const char* title = panel == 1 ? "visual styles off" : VisualStylesActive() ? "visual styles on"
                                                                                : "visual styles (none)";
    // A first drawing makes what is made once and kept (the radio images,
    // the canvases of shared bitmaps); the second leaves nothing behind.
    {
      TestSurface scratch(panelWidth, sheet.Height());
      DrawPanel(scratch, 0, panelWidth, title, painter);
    }
    const THandleCounts before = HandleCounts();
    bottom = std::max(bottom, DrawPanel(sheet, panel * panelWidth, panelWidth, title, painter));
    EXPECT_EQ(HandleCounts(), before) << title;
  }
  EXPECT_LT(bottom, sheet.Height()) << "the sheet is too small";
  ::testing::Test::RecordProperty(fileName, SaveArtefact(sheet.Read(), fileName));
}

class PainterGallery : public PainterUnits {};

TEST_F(PainterGallery, EveryPainterDrawsEveryOperation) {
  struct TSheet {
    const TcxCustomLookAndFeelPainter* Painter;
    const char* File;
  };
  for (const TSheet& sheet : {TSheet{&TcxStandardLookAndFeelPainter::Instance, "painter-standard"},
                              TSheet{&TcxFlatLookAndFeelPainter::Instance, "painter-flat"},
                              TSheet{&TcxUltraFlatLookAndFeelPainter::Instance, "painter-ultraflat"},
                              TSheet{&TcxOffice11LookAndFeelPainter::Instance, "painter-office11"},
                              TSheet{&TcxWinXPLookAndFeelPainter::Instance, "painter-winxp"}}) {
    SCOPED_TRACE(sheet.Painter->PainterName());
    // Each sheet starts with the prefix's own theme state.
    FinalizeUnits();
    StartPainterUnits();
    DrawPainterSheet(*sheet.Painter, sheet.File);
  }
}

TEST_F(PainterGallery, TheRadioSheetShowsEveryImage) {
  TcxRadioButtonImageList* images = RadioButtonImageList();
  const SIZE size = images->GetSize();
  const int zoom = 4, cellW = size.cx * zoom + 6, cellH = size.cy * zoom + 6;
  // Rows: look x designing x focused; columns: checked x state.
  TestSurface surface(8 * cellW + 4, 16 * cellH + 4, RGB(250, 250, 250));
  TestSurface one(size.cx, size.cy);
  int row = 0;
  for (int focused = 0; focused < 2; ++focused)
    for (int designing = 0; designing < 2; ++designing)
      for (int kind = lfFlat; kind <= lfOffice11; ++kind, ++row) {
        int column = 0;
        for (int checked = 0; checked < 2; ++checked)
          for (int state = cxbsNormal; state <= cxbsDisabled; ++state, ++column) {
            one.Canvas()->FillWithColor(RECT{0, 0, size.cx, size.cy}, RGB(250, 250, 250));
            images->Draw(one.Canvas(), 0, 0, clDefault, static_cast<TcxLookAndFeelKind>(kind),
                         static_cast<TcxButtonState>(state), checked, focused, designing);
            GdiFlush();
            StretchBlt(surface.Canvas()->GetDeviceContext(), 2 + column * cellW, 2 + row * cellH, size.cx * zoom,
                       size.cy * zoom, one.Canvas()->GetDeviceContext(), 0, 0, size.cx, size.cy, SRCCOPY);
          }
      }
  EXPECT_EQ(images->ImageList()->Count(), 128);
  RecordProperty("radio-images", SaveArtefact(surface.Read(), "radio-images"));
  // The pattern itself, one colour per class.
  const TColor classColors[7] = {RGB(255, 255, 255), RGB(0, 0, 160), RGB(160, 0, 0), RGB(0, 160, 160),
                                 RGB(160, 160, 0), RGB(220, 220, 220), RGB(0, 0, 0)};
  TestSurface pattern(size.cx * 8, size.cy * 8);
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      pattern.Canvas()->FillWithColor(RECT{x * 8, y * 8, x * 8 + 8, y * 8 + 8}, classColors[images->PixelClass(x, y)]);
  SaveArtefact(pattern.Read(), "radio-pattern");
}

}  // namespace
