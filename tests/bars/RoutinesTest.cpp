// The framework's free routines: accelerators, shortcuts, arrow sizes, and
// the shared drawing helpers read back from a memory bitmap.
#include "bars/model/BarRoutines.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(BarRoutines, FindAccelPosition) {
  struct Case {
    const char* Caption;
    bool Remove;
    int Position;
    const char* After;
  } cases[] = {
      {"&File", false, 2, "&File"},
      {"&File", true, 1, "File"},
      {"A&&B", false, 0, "A&&B"},
      {"A&&B", true, 0, "A&B"},
      {"AB&", false, 0, "AB&"},
      {"AB&", true, 0, "AB&"},
      {"A&&B&C", false, 6, "A&&B&C"},
      {"A&&B&C", true, 4, "A&BC"},
      {"&A&B", false, 4, "&A&B"},
      {"", false, 0, ""},
      {"Plain", true, 0, "Plain"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.Caption) + (c.Remove ? " removing" : ""));
    AnsiString caption = c.Caption;
    EXPECT_EQ(FindAccelPosition(caption, c.Remove), c.Position);
    EXPECT_EQ(caption, c.After);
  }
  EXPECT_EQ(StripAccelerators("A&&B&C"), "A&BC");
}

// Sets the thread's keyboard state of Shift and Ctrl, which GetKeyState reads.
void SetModifiers(bool shift, bool ctrl) {
  BYTE keys[256];
  GetKeyboardState(keys);
  keys[VK_SHIFT] = shift ? 0x80 : 0;
  keys[VK_CONTROL] = ctrl ? 0x80 : 0;
  SetKeyboardState(keys);
}

TEST(BarRoutines, KeyToShortCut) {
  struct Case {
    BYTE Key;
    bool Shift, Ctrl;
    LPARAM Flags;
    TShortCut Expected;
  } cases[] = {
      {0, false, true, 0, 0},
      {0, true, true, 0x20000000, 0},
      {0x53, false, true, 0, 0x4053},
      {0x53, true, false, 0, 0x2053},
      {0x53, false, false, 0x20000000, 0x8053},
      {VK_F2, true, true, 0x20000000, 0xE000 + VK_F2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Key);
    SetModifiers(c.Shift, c.Ctrl);
    EXPECT_EQ(KeyToShortCut(c.Key, c.Flags), c.Expected);
  }
  SetModifiers(false, false);
  EXPECT_EQ(ShortCutHintSuffix(0), "");
  EXPECT_EQ(ShortCutHintSuffix(0x4053), " (Ctrl+S)");
}

TEST(BarRoutines, ArrowSizeFromTheRectangle) {
  // F is the width less 8 (horizontal) or the height less 6.
  struct Case {
    int F, Size;
  } cases[] = {{4, 3}, {8, 3}, {9, 5}, {10, 4}, {11, 6}, {0, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.F);
    EXPECT_EQ(AutoArrowSize(RECT{0, 0, c.F + 8, 5}, true), c.Size);
    EXPECT_EQ(AutoArrowSize(RECT{0, 0, 5, c.F + 6}, false), c.Size);
  }
}

TEST(BarRoutines, SmallQueries) {
  EXPECT_EQ(HighestViewLevel(0), 255);
  EXPECT_EQ(HighestViewLevel((1u << 0) | (1u << 2)), 2);
  EXPECT_EQ(HighestViewLevel(1u << 3), 3);
  EXPECT_TRUE(IsForeignWindow(nullptr));
  EXPECT_TRUE(IsForeignWindow(GetDesktopWindow()));
  EXPECT_EQ(CheckedToStateCode(true), 2);
  EXPECT_EQ(CheckedToStateCode(false), 0);
  int width = 5;
  EnsureMinWidth(width, 9);
  EXPECT_EQ(width, 9);
  EnsureMinWidth(width, 3);
  EXPECT_EQ(width, 9);
  int mouseDowns = 0;
  for (UINT msg = WM_NCMOUSEMOVE; msg <= WM_MOUSEWHEEL; ++msg)
    if (IsMouseDownMsg(msg)) ++mouseDowns;
  EXPECT_EQ(mouseDowns, 12);
  EXPECT_FALSE(IsMouseDownMsg(WM_LBUTTONUP));
  // Without visual styles (the test prefix has none) the toolbar fill is
  // the button face.
  if (!UxIsThemeActive()) {
    EXPECT_EQ(ThemedWindowFillColor(), GetSysColor(COLOR_BTNFACE));
  }
}

TEST(BarRoutines, TheDropDownArrowAndItsEmbossedEdge) {
  const COLORREF back = RGB(10, 200, 30);
  const COLORREF red = RGB(255, 0, 0);
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  struct Case {
    const char* Name;
    bool Horizontal, Enabled, Flat;
  } cases[] = {
      {"down, enabled", true, true, false},
      {"down, disabled", true, false, false},
      {"down, disabled flat", true, false, true},
      {"right, disabled", false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(20, 20, back);
    // Size 4 centred in (0, 0, 20, 20): X = (20 - 7) / 2 = 6, Y = (20 - 4) / 2 = 8
    // down; transposed pointing right.
    DrawArrowGlyph(dib.DC(), RECT{0, 0, 20, 20}, c.Horizontal, 4, false, c.Enabled, c.Flat, clRed);
    const int x = c.Horizontal ? 6 : 8, y = c.Horizontal ? 8 : 6;
    auto at = [&](int along, int across) {
      return c.Horizontal ? dib.At(x + along, y + across) : dib.At(x + across, y + along);
    };
    // The triangle: the first row 7 wide, the tip one pixel at (X + 3, Y + 3).
    for (int i = 0; i < 7; ++i) EXPECT_EQ(at(i, 0), red) << i;
    EXPECT_EQ(at(3, 3), red);
    EXPECT_EQ(at(-1, 0), back);
    EXPECT_EQ(at(3, 4), back);
    EXPECT_EQ(CountPixels(dib, RECT{0, 0, 20, 20}, red), 7 + 5 + 3 + 1);
    // The emboss: from (X + S, Y + S - 1) up to the right, and a second line
    // one lower, only when disabled and not flat.
    const bool emboss = !c.Enabled && !c.Flat;
    EXPECT_EQ(at(4, 4) == light, emboss);
    EXPECT_EQ(at(7, 1) == light, emboss);
    EXPECT_EQ(CountPixels(dib, RECT{0, 0, 20, 20}, light) > 0, emboss);
    if (c.Name == std::string("down, disabled")) dib.Save("bars-arrow-disabled");
  }
}

TEST(BarRoutines, TheArrowColourByState) {
  TProbeDIB dib(12, 12, RGB(1, 2, 3));
  DrawArrowGlyph(dib.DC(), RECT{0, 0, 12, 12}, true, 3, false, false, true, clDefault);
  EXPECT_EQ(dib.At(5, 6), GetSysColor(COLOR_BTNSHADOW));
  DrawArrowGlyph(dib.DC(), RECT{0, 0, 12, 12}, true, 3, false, true, true, clDefault);
  EXPECT_EQ(dib.At(5, 6), GetSysColor(COLOR_BTNTEXT));
}

TEST(BarRoutines, TheDoubleFocusFrameInterlocks) {
  const COLORREF back = RGB(250, 250, 0);
  const COLORREF text = GetSysColor(COLOR_BTNTEXT);
  TProbeDIB dib(16, 12, back);
  const RECT r{2, 1, 13, 10};
  DrawDoubleFocusRect(dib.DC(), r);
  auto onFrame = [&](int x, int y) {
    for (int inset = 0; inset < 2; ++inset) {
      const int l = r.left + inset, t = r.top + inset, rt = r.right - 1 - inset, b = r.bottom - 1 - inset;
      if (((y == t || y == b) && x >= l && x <= rt) || ((x == l || x == rt) && y >= t && y <= b)) return true;
    }
    return false;
  };
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 16; ++x) {
      const COLORREF expected = onFrame(x, y) && (x + y) % 2 == 0 ? text : back;
      ASSERT_EQ(dib.At(x, y), expected) << x << "," << y;
    }
}

// A 4 x 3 bitmap whose pixels are all different.
TBitmap* NumberedBitmap() {
  auto* bitmap = new TBitmap;
  bitmap->SetSize(4, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 4; ++x) SetPixel(bitmap->Canvas()->Handle(), x, y, RGB(40 * x + 10, 60 * y + 10, 90));
  return bitmap;
}

TEST(BarRoutines, TiledBackgroundsOfNeighboursJoin) {
  TBitmap* bitmap = NumberedBitmap();
  TProbeDIB whole(30, 10, RGB(0, 0, 0)), split(30, 10, RGB(0, 0, 0));
  // One bar, and two neighbours passing consecutive tiling rectangles.
  TileBitmap(whole.DC(), RECT{0, 0, 30, 10}, RECT{5, 7, 35, 17}, bitmap);
  TileBitmap(split.DC(), RECT{0, 0, 13, 10}, RECT{5, 7, 18, 17}, bitmap);
  TileBitmap(split.DC(), RECT{13, 0, 30, 10}, RECT{18, 7, 35, 17}, bitmap);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 30; ++x) {
      // The tiling's point (x + 5, y + 7) of an endless tiling.
      const COLORREF expected = RGB(40 * ((x + 5) % 4) + 10, 60 * ((y + 7) % 3) + 10, 90);
      ASSERT_EQ(whole.At(x, y), expected) << x << "," << y;
      ASSERT_EQ(split.At(x, y), expected) << x << "," << y;
    }
  // Nothing beyond the destination.
  TProbeDIB clipped(10, 10, RGB(0, 0, 0));
  TileBitmap(clipped.DC(), RECT{2, 2, 5, 5}, RECT{0, 0, 3, 3}, bitmap);
  EXPECT_EQ(CountPixels(clipped, RECT{0, 0, 10, 10}, RGB(0, 0, 0)), 100 - 9);
  Free(bitmap);
}

TEST(BarRoutines, TilingNothingLeavesPixelsAndClipRegionAlone) {
  TBitmap* bitmap = NumberedBitmap();
  TBitmap empty;
  struct Case {
    const char* Name;
    TBitmap* Bitmap;
    RECT Tiling;
  } cases[] = {
      {"empty bitmap", &empty, RECT{0, 0, 10, 10}},
      {"no bitmap", nullptr, RECT{0, 0, 10, 10}},
      {"empty width", bitmap, RECT{4, 0, 4, 10}},
      {"empty height", bitmap, RECT{0, 3, 10, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(10, 10, RGB(7, 7, 7));
    HRGN clip = CreateRectRgn(1, 1, 6, 6);
    SelectClipRgn(dib.DC(), clip);
    TileBitmap(dib.DC(), RECT{0, 0, 10, 10}, c.Tiling, c.Bitmap);
    EXPECT_EQ(CountPixels(dib, RECT{0, 0, 10, 10}, RGB(7, 7, 7)), 100);
    HRGN after = CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(GetClipRgn(dib.DC(), after), 1);
    EXPECT_TRUE(EqualRgn(after, clip));
    DeleteObject(after);
    DeleteObject(clip);
  }
  // A real tiling puts the clip region back as it was.
  TProbeDIB dib(10, 10, RGB(7, 7, 7));
  TileBitmap(dib.DC(), RECT{0, 0, 10, 10}, RECT{0, 0, 10, 10}, bitmap);
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dib.DC(), after), 0);
  DeleteObject(after);
  Free(bitmap);
}

TEST(BarRoutines, TheSizeGripLeavesItsBackground) {
  const COLORREF back = RGB(200, 30, 40);
  TProbeDIB dib(40, 40, back);
  const RECT grip{10, 10, 30, 30};
  DrawTransparentSizeGrip(dib.DC(), grip);
  dib.Save("bars-size-grip");
  // The system grip's face shows the background; its lines are drawn.
  const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW), light = GetSysColor(COLOR_BTNHIGHLIGHT);
  EXPECT_EQ(dib.At(11, 11), back);
  EXPECT_GT(CountPixels(dib, grip, back), 20 * 20 / 2);
  EXPECT_GT(CountPixels(dib, grip, shadow) + CountPixels(dib, grip, light), 6);
  EXPECT_EQ(GetSysColor(COLOR_BTNFACE) == back, false);
  EXPECT_EQ(CountPixels(dib, grip, GetSysColor(COLOR_BTNFACE)), 0);
  // Outside the rectangle nothing changed.
  EXPECT_EQ(CountPixels(dib, RECT{0, 0, 40, 10}, back), 400);
}

}  // namespace
