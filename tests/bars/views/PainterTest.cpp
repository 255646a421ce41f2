// The painters' rules read back from memory DCs: captions, check signs,
// glyph borders, combo arrows, marks, drag handles and chevrons, disabled
// glyphs; and the gallery of buttons, split buttons and sub-items.
#include "bars/model/BarRoutines.h"
#include "bars/views/BarPainter.h"
#include "foundation/Canvas.h"
#include "tests/bars/views/ViewsTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

#include <gtest/gtest.h>

#include <cstdio>

namespace {

const COLORREF Fill0 = RGB(1, 2, 3);

COLORREF Sys(int index) { return GetSysColor(index); }

int Count(TProbeDIB& dib, COLORREF color) {
  return CountPixels(dib, RECT{0, 0, dib.Width(), dib.Height()}, color);
}

// A bar with one button, shown, for operations that read the control.
struct TPainterFixture {
  explicit TPainterFixture(bool menu = false) : Owner(Host.Manager, menu) {
    RegisterTestItemClasses();
    Button = New<TdxBarButton>(Host.Form);
    Button->SetCaption("Item");
    Link = Owner.Links()->AddItem(Button);
    Bar = Owner.Bar();
    Bar->ShowAt(150, 150);
  }
  TdxBarItemControl* Control() { return ControlOf(Link); }
  THostedManager Host;
  TTestLinksOwner Owner;
  TdxBarButton* Button;
  TdxBarItemLink* Link;
  TTestBar* Bar;
};

TEST(PainterCaption, ADisabledCaptionIsEmbossedUnlessSelected) {
  struct Case {
    const char* Name;
    bool Enabled, Selected;
    bool Highlight;  // the emboss copy shows
    int Text;        // the system colour of the text
  } cases[] = {
      {"enabled", true, false, false, COLOR_BTNTEXT},
      {"disabled: highlight copy, then shadow", false, false, true, COLOR_BTNSHADOW},
      {"selected disabled: gray text once", false, true, false, COLOR_GRAYTEXT},
  };
  TdxBarPainter painter;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(60, 24, Fill0);
    painter.DrawItemCaption(nullptr, dib.DC(), "MW", RECT{2, 2, 58, 22}, 0, c.Enabled, c.Selected, false, false,
                            false, DT_SINGLELINE);
    EXPECT_EQ(Count(dib, Sys(COLOR_BTNHIGHLIGHT)) > 0, c.Highlight);
    EXPECT_GT(Count(dib, Sys(c.Text)), 0);
    if (c.Highlight) {
      // The emboss copy lies one pixel right and down of the text.
      bool shifted = false;
      for (int y = 0; y + 1 < 24 && !shifted; ++y)
        for (int x = 0; x + 1 < 60 && !shifted; ++x)
          shifted = dib.At(x, y) == Sys(c.Text) && dib.At(x + 1, y + 1) == Sys(COLOR_BTNHIGHLIGHT);
      EXPECT_TRUE(shifted);
    }
  }
}

// Records what the painter's drawing operations were asked.
class TRecordingPainter : public TdxBarStandardPainter {
public:
  mutable int SignX = -1, SignY = -1, SignSize = 0, Frames = 0, ArrowSize = 0;
  void DrawCheckSign(TdxBarItemControl* control, HDC dc, int y, int x, int size) const override {
    SignX = x, SignY = y, SignSize = size;
    TdxBarStandardPainter::DrawCheckSign(control, dc, y, x, size);
  }
  void DrawGlyphFrame(TdxBarItemControl* control, HDC dc, const TdxBarGlyphStates& states,
                      const RECT& r) const override {
    ++Frames;
    TdxBarStandardPainter::DrawGlyphFrame(control, dc, states, r);
  }
  void DrawLargeItemArrow(TdxBarItemControlDrawParams*, HDC, const RECT&, int size, TColor) const override {
    ArrowSize = size;
  }
};

TEST(PainterGlyphs, TheCheckCellFollowsTheFontSize) {
  struct Case {
    int Points, Size, CellW, CellH;
  } cases[] = {{15, 1, 9, 7}, {16, 2, 18, 14}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Points);
    TPainterFixture f;
    f.Bar->Font()->SetSize(c.Points);
    TRecordingPainter painter;
    TProbeDIB dib(40, 40, Fill0);
    const RECT r{0, 0, 40, 40};
    painter.DrawCheckMark(f.Control(), dib.DC(), r, true, true);
    EXPECT_EQ(painter.SignSize, c.Size);
    EXPECT_EQ(painter.SignX, (40 - c.CellW) / 2);
    EXPECT_EQ(painter.SignY, (40 - c.CellH) / 2);
    // The sign's strokes stay near the cell.
    int minX = 99, maxX = -1;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 40; ++x)
        if (dib.At(x, y) != Fill0) minX = std::min(minX, x), maxX = std::max(maxX, x);
    EXPECT_GE(minX, painter.SignX - 1);
    EXPECT_LE(maxX, painter.SignX + c.CellW);
  }
}

TEST(PainterGlyphs, AGlyphAreaOnePixelLargerGetsNoBorder) {
  struct Case {
    int Area;
    int Frames;
  } cases[] = {{17, 0}, {18, 1}, {24, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Area);
    TPainterFixture f;
    TRecordingPainter painter;
    TProbeDIB dib(30, 30, Fill0);
    TdxBarGlyphStates states;
    states.Down = true;
    painter.DrawGlyphImage(f.Control(), dib.DC(), states, nullptr, -1, nullptr, RECT{0, 0, c.Area, c.Area},
                           RECT{0, 0, 16, 16});
    EXPECT_EQ(painter.Frames, c.Frames);
  }
}

TEST(PainterCombo, TheArrowSizeOfTheComboButton) {
  struct Case {
    int Width, Size;
  } cases[] = {{12, 4}, {13, 4}, {14, 3}, {16, 5}, {10, 2}};
  TPainterFixture f;
  TRecordingPainter painter;
  TProbeDIB dib(30, 30, Fill0);
  TcxCanvas canvas(dib.Canvas());
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Width);
    TdxBarItemControlDrawParams params(f.Control());
    params.Canvas = &canvas;
    painter.DrawComboButton(&params, RECT{0, 0, c.Width, 20});
    EXPECT_EQ(painter.ArrowSize, c.Size);
  }
}

// The first row from the top holding the colour in the column.
int FirstRow(TProbeDIB& dib, int x, COLORREF color) {
  for (int y = 0; y < dib.Height(); ++y)
    if (dib.At(x, y) == color) return y;
  return -1;
}

TEST(PainterMark, TheDockedTriangleSitsOnePixelLowerOnShortBars) {
  TdxBarPainter base;
  TdxBarEnhancedPainter enhanced;
  struct Case {
    const char* Name;
    const TdxBarPainter* Painter;
    int Height;
    int Lift;  // the triangle's top relative to bottom - 7
  } cases[] = {{"base, 16", &base, 16, 1},
               {"base, 17", &base, 17, 0},
               {"base, 24", &base, 24, 0},
               {"enhanced (its arrows never move), 16", &enhanced, 16, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TPainterFixture f;
    f.Bar->SetDockingStyle(2);
    TProbeDIB dib(11, 30, Fill0);
    c.Painter->DrawMark(f.Bar, dib.DC(), RECT{0, 0, 11, c.Height});
    EXPECT_EQ(FirstRow(dib, 5, Sys(COLOR_BTNTEXT)), c.Height - 7 + c.Lift);
  }
}

TEST(PainterHandle, StandardHasTwoFingersAndEnhancedOne) {
  TPainterFixture f;
  f.Bar->SetDockingStyle(2);
  f.Bar->Dockable = true;
  const COLORREF light = Sys(COLOR_BTNHIGHLIGHT), dark = Sys(COLOR_BTNSHADOW);
  {
    TdxBarStandardPainter standard;
    TProbeDIB dib(40, 24, Fill0);
    standard.DrawDockedBarFrame(f.Bar, dib.DC(), RECT{0, 0, 40, 24}, nullptr);
    // Inner left 2, offset 2, grip 3: fingers at x 4..6 and 7..9, full height.
    const struct {
      int X;
      COLORREF Color;
    } table[] = {{4, light}, {6, dark}, {7, light}, {9, dark}};
    for (const auto& t : table) EXPECT_EQ(dib.At(t.X, 12), t.Color) << t.X;
    EXPECT_EQ(dib.At(4, 2), light);
    // The light corner pixel at the bottom left of each stripe.
    EXPECT_EQ(dib.At(7, 21), light);
  }
  {
    TdxBarEnhancedPainter enhanced;
    TProbeDIB dib(40, 24, Fill0);
    enhanced.DrawDockedBarFrame(f.Bar, dib.DC(), RECT{0, 0, 40, 24}, nullptr);
    // One finger at x 3..5, one pixel shorter at each end.
    EXPECT_EQ(dib.At(3, 12), light);
    EXPECT_EQ(dib.At(5, 12), dark);
    EXPECT_NE(dib.At(6, 12), light);
    EXPECT_NE(dib.At(7, 12), light);
    EXPECT_EQ(dib.At(3, 2), Fill0);
    EXPECT_EQ(dib.At(3, 3), light);
  }
}

TEST(PainterMark, StandardEmbossesItsChevronAndEnhancedDrawsOneColour) {
  TPainterFixture f;
  f.Bar->SetDockingStyle(2);
  TdxBarStandardPainter standard;
  TdxBarEnhancedPainter enhanced;
  TProbeDIB a(16, 16, Fill0), b(16, 16, Fill0);
  standard.DrawMarkChevron(f.Bar, a.DC(), 0, 4);
  enhanced.DrawMarkChevron(f.Bar, b.DC(), 0, 4);
  EXPECT_GT(Count(a, Sys(COLOR_BTNHIGHLIGHT)), 0);
  EXPECT_GT(Count(a, Sys(COLOR_BTNSHADOW)), 0);
  EXPECT_GT(Count(b, Sys(COLOR_BTNTEXT)), 0);
  EXPECT_EQ(Count(b, Sys(COLOR_BTNHIGHLIGHT)), 0);
}

TEST(PainterGlyphs, StandardDisabledShadowHasAWhiteCopy) {
  TdxBarPainter base;
  TdxBarStandardPainter standard;
  TProbeDIB a(10, 10, Fill0), b(10, 10, Fill0);
  base.DrawDisabledShadow(nullptr, a.DC(), RECT{2, 2, 6, 6});
  standard.DrawDisabledShadow(nullptr, b.DC(), RECT{2, 2, 6, 6});
  const struct {
    int X, Y;
    COLORREF Base, Standard;
  } table[] = {{2, 2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)},
               {5, 5, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)},
               {6, 6, Fill0, Sys(COLOR_BTNHIGHLIGHT)},
               {6, 3, Fill0, Sys(COLOR_BTNHIGHLIGHT)},
               {7, 7, Fill0, Fill0}};
  for (const auto& t : table) {
    EXPECT_EQ(a.At(t.X, t.Y), t.Base) << t.X << "," << t.Y;
    EXPECT_EQ(b.At(t.X, t.Y), t.Standard) << t.X << "," << t.Y;
  }
}

TEST(PainterMark, EnhancedFramesItsMarkByState) {
  struct Case {
    int State;
    COLORREF TopLeft, BottomRight;
  } cases[] = {{1, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)},
               {2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)},
               {0, Sys(COLOR_BTNFACE), Sys(COLOR_BTNFACE)}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.State);
    TPainterFixture f;
    f.Bar->SetMarkState(c.State);
    TdxBarEnhancedPainter painter;
    TProbeDIB dib(11, 20, Fill0);
    painter.DrawMarkBackground(f.Bar, dib.DC(), RECT{0, 0, 11, 20}, GetSysColorBrush(COLOR_BTNFACE));
    EXPECT_EQ(dib.At(0, 0), c.TopLeft);
    EXPECT_EQ(dib.At(10, 19), c.BottomRight);
    EXPECT_EQ(dib.At(5, 10), Sys(COLOR_BTNFACE));
  }
}

TEST(PainterMetrics, TheArrowPartSizeTakesItsArgumentsInOrder) {
  TdxBarPainter painter;
  const SIZE s = painter.GetArrowPartSize(16, 20);
  EXPECT_EQ(s.cx, 16 + 7);
  EXPECT_EQ(s.cy, 20 + 6);
}

// --- Gallery ----------------------------------------------------------------------------

TEST(PainterGallery, ButtonsSplitButtonsAndSubItemsInEveryState) {
  for (TdxBarManagerStyle style : {bmsStandard, bmsEnhanced}) {
    for (int kind = 0; kind < 3; ++kind) {  // bar, menu, vertical bar
      THostedManager host;
      host.Manager->SetStyle(style);
      RegisterTestItemClasses();
      TTestLinksOwner owner(host.Manager, kind == 1);
      auto* plain = New<TdxBarButton>(host.Form);
      plain->SetCaption("&Button");
      auto* split = New<TdxBarButton>(host.Form);
      split->SetCaption("&Split");
      split->SetButtonStyle(bsDropDown);
      split->SetDropDownMenu(New<TdxBarPopupMenu>(host.Form));
      auto* check = New<TdxBarButton>(host.Form);
      check->SetCaption("&Checked");
      check->SetButtonStyle(bsChecked);
      check->SetDown(true);
      auto* sub = New<TTestSubItem>(host.Form);
      sub->SetCaption("S&ub");
      auto* disabled = New<TdxBarButton>(host.Form);
      disabled->SetCaption("&Disabled");
      disabled->SetEnabled(false);
      for (TdxBarItem* item : std::initializer_list<TdxBarItem*>{plain, split, check, sub, disabled})
        owner.Links()->AddItem(item);
      TTestBar* bar = owner.Bar();
      bar->Vertical = kind == 2;
      if (kind == 1) bar->SetBounds(0, 0, 180, 140);
      if (kind == 2) bar->SetBounds(0, 0, 40, 360);
      bar->ShowAt(40, 40);
      const char* kinds[] = {"bar", "menu", "vertical"};
      const char* states[] = {"normal", "selected", "pressed"};
      for (int state = 0; state < 3; ++state) {
        for (int i = 0; i < 4; ++i) {
          TdxBarItemControl* control = ControlOf(owner.Links()->GetShownLink(i));
          if (state == 0) bar->SelectItemControl(nullptr);
          if (state >= 1) bar->SelectItemControl(control);
          control->SetPressed(state == 2);
          bar->Invalidate();
          UpdateWindow(bar->Handle());
          RunMessagesUntilIdle();
          char name[96];
          std::snprintf(name, sizeof name, "bars_gallery_%s_%s_%s_%d", style == bmsStandard ? "standard" : "enhanced",
                        kinds[kind], states[state], i);
          const Image image = ReadClientPixels(bar->Handle());
          EXPECT_FALSE(image.Pixels.empty());
          SaveArtefact(image, name);
          control->SetPressed(false);
        }
      }
      FocusedBarControlRef = nullptr;
    }
  }
}

}  // namespace
