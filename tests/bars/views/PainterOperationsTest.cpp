// The painters' operations for menus, edits, spin edits, progress bars and
// labels: their metrics as tables, their drawing read back from memory DCs.
#include "bars/views/BarPainter.h"
#include "bars/views/ItemControl.h"
#include "foundation/Canvas.h"
#include "tests/support/ProbeDIB.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace testing_support;

namespace {

const COLORREF Fill0 = RGB(1, 2, 3);

COLORREF Sys(int index) { return GetSysColor(index); }

bool SameBorders(const TdxBarBorders& a, const TdxBarBorders& b) {
  return a.Left == b.Left && a.Top == b.Top && a.Right == b.Right && a.Bottom == b.Bottom;
}

TEST(PainterOperations, MetricsOfMenusEditsSpinsAndLabels) {
  TdxBarPainter base;
  TdxBarStandardPainter standard;
  TdxBarEnhancedPainter enhanced;
  struct Case {
    const char* Name;
    std::function<int()> Value;
    int Expected;
  } cases[] = {
      {"scroll arrow of an 11-pixel button", [&] { return base.GetScrollArrowSize(11).cx; }, 2},
      {"its remainder", [&] { return base.GetScrollArrowSize(11).cy; }, 2},
      {"spin arrow half height for 20 pixels",
       [&] {
         int w = 0, a = 0;
         base.GetSpinArrowSize(20, w, a);
         return a;
       },
       4},
      {"spin arrow width for 20 pixels",
       [&] {
         int w = 0, a = 0;
         base.GetSpinArrowSize(20, w, a);
         return w;
       },
       7},
      {"spin button width for 20 pixels", [&] { return base.GetSpinButtonWidth(0, RECT{0, 0, 50, 20}); }, 17},
      {"edit window style", [&] { return static_cast<int>(base.GetEditWindowStyle()); }, 132},
      {"base edit text margins", [&] { return SameBorders(base.GetEditTextMargins(), {2, 2, 2, 3}) ? 1 : 0; }, 1},
      {"Standard edit text margins",
       [&] { return SameBorders(standard.GetEditTextMargins(), {2, 1, 2, 1}) ? 1 : 0; }, 1},
      {"edit frame margins", [&] { return SameBorders(base.GetEditFrameMargins(0), {1, 2, 1, 2}) ? 1 : 0; }, 1},
      {"no edit button spacing", [&] { return base.HasEditButtonSpacing() ? 1 : 0; }, 0},
      {"bar edit caption gap", [&] { return base.GetBarEditCaptionGap(); }, 2},
      {"edit caption right gap", [&] { return base.GetEditCaptionRightGap(); }, 4},
      {"base submenu border",
       [&] {
         TdxBarBorders b;
         base.GetSubMenuBorderRect(nullptr, b);
         return b.Left * 1000 + b.Top * 100 + b.Right * 10 + b.Bottom;
       },
       1111},
      {"Standard submenu border",
       [&] {
         TdxBarBorders b;
         standard.GetSubMenuBorderRect(nullptr, b);
         return b.Left * 1000 + b.Top * 100 + b.Right * 10 + b.Bottom;
       },
       2222},
      {"Enhanced keeps the Standard submenu border total", [&] { return enhanced.GetSubMenuBorderTotal(nullptr); }, 3},
      {"submenu arrow width for text size 19", [&] { return base.GetSubMenuArrowWidth(19); }, 13},
      {"submenu check size for 17", [&] { return base.GetSubMenuCheckSize(17); }, 5},
      {"label border style 0", [&] { return base.GetStaticBorderWidths(nullptr, 0).Left; }, 0},
      {"label border style 1", [&] { return base.GetStaticBorderWidths(nullptr, 1).Left; }, 1},
      {"label border style 2", [&] { return base.GetStaticBorderWidths(nullptr, 2).Top; }, 1},
      {"label border style 3", [&] { return base.GetStaticBorderWidths(nullptr, 3).Right; }, 2},
      {"label border style 4", [&] { return base.GetStaticBorderWidths(nullptr, 4).Bottom; }, 2},
      {"progress bar height", [&] { return base.GetProgressBarHeight(); }, 12},
      {"in-place caption indent", [&] { return base.GetInPlaceCaptionIndent(); }, 5},
      {"menu item brush is the face colour + 1",
       [&] { return static_cast<int>(reinterpret_cast<INT_PTR>(base.GetMenuItemBrush(nullptr))); }, 16},
      {"Standard paints menus without the menu item brush",
       [&] {
         HBRUSH b = nullptr;
         return standard.GetSubMenuItemBrush(nullptr, b) ? 1 : 0;
       },
       0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(c.Value(), c.Expected);
  }
}

TEST(PainterOperations, SpinStatesFollowTheHotAndPressedButton) {
  TdxBarPainter painter;
  struct Case {
    const char* Name;
    bool Enabled, Pressed;
    int Hot, Button, State;
  } cases[] = {
      {"disabled", false, false, 3, 3, dxBarStateDisabled},
      {"pressed upper", true, true, 3, 3, dxBarStatePressed},
      {"hot lower", true, false, 4, 4, dxBarStateHot},
      {"the other button stays normal", true, true, 3, 4, dxBarStateNormal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TdxBarItemControlDrawParams params(nullptr);
    params.Enabled = c.Enabled;
    params.IsPressed = c.Pressed;
    params.HotPartIndex = c.Hot;
    EXPECT_EQ(painter.GetSpinButtonState(&params, c.Button), c.State);
  }
}

TEST(PainterOperations, PartsThatWouldTakeHalfTheControlAreEmpty) {
  TdxBarPainter painter;
  TdxBarItemControlDrawParams params(nullptr);
  struct Case {
    const char* Name;
    RECT Bounds;
    bool Spin;
    RECT Part;       // the spin button (type 1) or the drop-down part
    LONG EditRight;  // the edit part's right edge (drop-down parts only)
  } cases[] = {
      {"narrow spin", {0, 0, 20, 20}, true, {19, 0, 19, 20}, 0},
      {"wide spin: the upper half less the margins", {0, 0, 100, 20}, true, {82, 0, 99, 10}, 0},
      {"narrow drop-down: the edit keeps the width", {0, 0, 20, 20}, false, {20, 0, 20, 20}, 18},
      {"wide drop-down less the frame margins", {0, 0, 100, 20}, false, {85, 2, 99, 18}, 82},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    RECT part{};
    if (c.Spin) {
      painter.CalcSpinButtonRect(&params, c.Bounds, 1, part);
      if (c.Part.left == c.Part.right) {
        EXPECT_EQ(part.left, part.right);
        continue;
      }
      EXPECT_TRUE(EqualRect(&part, &c.Part)) << part.left << "," << part.top << "," << part.right << ","
                                             << part.bottom;
    } else {
      RECT parts[2]{};
      painter.CalcDropDownEditParts(&params, parts, 2, 0, c.Bounds);
      EXPECT_EQ(parts[1].left == parts[1].right, c.Part.left == c.Part.right);
      if (c.Part.left != c.Part.right) {
        EXPECT_TRUE(EqualRect(&parts[1], &c.Part));
      }
      EXPECT_EQ(parts[0].right, c.EditRight);
    }
  }
}

TEST(PainterOperations, ProgressBlocksAreTwoThirdsOfTheThicknessWithTwoPixelGaps) {
  TdxBarPainter painter;
  TProbeDIB dib(100, 12, Fill0);
  TcxCanvas canvas(dib.Canvas());
  TdxBarItemControlDrawParams params(nullptr);
  params.Canvas = &canvas;
  const COLORREF red = RGB(255, 0, 0);
  // Half of 100 pixels: blocks 8 long at 0, 10, 20, 30, 40 (the last cut at 50).
  painter.DrawProgressBar(&params, RECT{0, 0, 100, 12}, 50, 0, 100, false, static_cast<TColor>(red));
  struct Case {
    int X;
    bool Filled;
  } cases[] = {{0, true}, {7, true}, {8, false}, {9, false}, {10, true}, {17, true}, {18, false},
               {40, true}, {47, true}, {48, false}, {49, false}, {50, false}, {60, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.X);
    EXPECT_EQ(dib.At(c.X, 6) == red, c.Filled);
  }
}

TEST(PainterOperations, AProgressBarWithAnEmptyRangeFillsNothing) {
  TdxBarPainter painter;
  struct Case {
    const char* Name;
    int Position, Minimum, Maximum;
    bool Smooth;
    int FilledColumns;
  } cases[] = {
      {"maximum equals minimum", 5, 5, 5, true, 0},
      {"maximum below minimum", 5, 10, 0, false, 0},
      {"position past the maximum is full", 200, 0, 100, true, 40},
      {"position below the minimum is empty", -5, 0, 100, true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(40, 12, Fill0);
    TcxCanvas canvas(dib.Canvas());
    TdxBarItemControlDrawParams params(nullptr);
    params.Canvas = &canvas;
    painter.DrawProgressBar(&params, RECT{0, 0, 40, 12}, c.Position, c.Minimum, c.Maximum, c.Smooth,
                            static_cast<TColor>(RGB(255, 0, 0)));
    int filled = 0;
    for (int x = 0; x < 40; ++x) filled += dib.At(x, 6) == RGB(255, 0, 0) ? 1 : 0;
    EXPECT_EQ(filled, c.FilledColumns);
  }
}

TEST(PainterOperations, ASubmenuBorderWithoutDetachCaptionHasFaceLinesAndARaisedOuterEdge) {
  TdxBarPainter painter;
  TProbeDIB dib(40, 30, Fill0);
  painter.DrawSubMenuBorder(nullptr, dib.DC(), RECT{0, 0, 40, 30});
  EXPECT_EQ(dib.At(0, 10), Sys(COLOR_BTNFACE));
  EXPECT_EQ(dib.At(10, 0), Sys(COLOR_BTNFACE));
  EXPECT_EQ(dib.At(39, 10), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(dib.At(10, 29), Sys(COLOR_3DDKSHADOW));
  // Nothing inside.
  EXPECT_EQ(dib.At(20, 15), Fill0);
  EXPECT_EQ(dib.At(1, 1), Fill0);
}

TEST(PainterOperations, LabelBordersDrawTheirStyleAndShrinkTheRectangle) {
  TdxBarPainter painter;
  struct Case {
    int Style, Width;
    bool Paints;
  } cases[] = {{0, 0, false}, {1, 1, true}, {2, 1, true}, {3, 2, true}, {4, 2, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Style);
    TProbeDIB dib(30, 20, Fill0);
    TcxCanvas canvas(dib.Canvas());
    TdxBarItemControlDrawParams params(nullptr);
    params.Canvas = &canvas;
    RECT r{0, 0, 30, 20};
    painter.DrawStaticBorder(&params, r, c.Style);
    EXPECT_EQ(r.left, c.Width);
    EXPECT_EQ(r.bottom, 20 - c.Width);
    EXPECT_EQ(dib.At(0, 10) != Fill0, c.Paints);
    EXPECT_EQ(dib.At(15, 10), Fill0);
  }
}

TEST(PainterOperations, AScrollArrowIsFilledThroughItsTriangleAndKeptFromLaterFilling) {
  TdxBarPainter painter;
  struct Case {
    const char* Name;
    bool Upper;
    int TipY, BaseY;  // rows of the tip and of the base at the centre column
  } cases[] = {{"upper points up", true, 8, 11}, {"lower points down", false, 10, 7}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(20, 18, Fill0);
    TcxCanvas canvas(dib.Canvas());
    const COLORREF blue = RGB(0, 0, 255);
    painter.DrawScrollButton(nullptr, &canvas, RECT{0, 0, 20, 18}, static_cast<TColor>(blue), c.Upper);
    // Later background filling leaves the arrow.
    HBRUSH green = CreateSolidBrush(RGB(0, 255, 0));
    RECT all{0, 0, 20, 18};
    FillRect(dib.DC(), &all, green);
    DeleteObject(green);
    EXPECT_EQ(dib.At(10, c.TipY), blue);
    EXPECT_EQ(dib.At(10, (c.TipY + c.BaseY) / 2), blue);
    EXPECT_EQ(dib.At(0, 0), RGB(0, 255, 0));
    // The base row is wider than the tip row.
    int tipWidth = 0, baseWidth = 0;
    for (int x = 0; x < 20; ++x) {
      tipWidth += dib.At(x, c.TipY) == blue ? 1 : 0;
      baseWidth += dib.At(x, c.BaseY) == blue ? 1 : 0;
    }
    EXPECT_LT(tipWidth, baseWidth);
  }
}

}  // namespace
