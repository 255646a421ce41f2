// The editors' paint helpers: the shared brush cache (eviction, system
// colours, palette changes, brushes that outlive their eviction until the
// paint ends), arrows, edges, poly-lines, button widths and text flags.
#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUtils.h"
#include "editors/framework/EditViewInfo.h"
#include "editors/framework/ExtEditUtils.h"
#include "foundation/LookAndFeel.h"
#include "platform/HandleCounts.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <map>
#include <vector>

using namespace lookandfeel_test;

namespace {

class EditPaint : public ::testing::Test {
protected:
  void SetUp() override {
    StartContainerUnits();
    cxEditPaintUtilsInit();
    DetectHotLightColor();
  }
  void TearDown() override {
    cxEditPaintUtilsDone();
    FinalizeUnits();
  }
};

constexpr TColor ColorNo(int i) { return static_cast<TColor>(0x100000 + i * 0x000103); }

bool BrushAlive(HBRUSH brush) { return GetObjectType(brush) == OBJ_BRUSH; }

TEST_F(EditPaint, TheColourAfterAFullCacheEvictsTheLeastUsedOne) {
  TcxSolidBrushCache cache;
  for (int i = 0; i < 128; ++i) cache.GetBrush(ColorNo(i));
  // Every colour but #5 used once more: #5 is the least used.
  for (int i = 0; i < 128; ++i)
    if (i != 5) cache.GetBrush(ColorNo(i));
  EXPECT_EQ(cache.Count(), 128);
  EXPECT_EQ(cache.UseCountOf(ColorNo(5)), 0);
  cache.GetBrush(ColorNo(200));
  EXPECT_EQ(cache.Count(), 128);
  EXPECT_EQ(cache.UseCountOf(ColorNo(5)), -1) << "evicted";
  EXPECT_EQ(cache.UseCountOf(ColorNo(200)), 0);
  EXPECT_EQ(cache.UseCountOf(ColorNo(6)), 1);
  // Asked again: a new brush with a use count of 0 (evicting the new least used).
  HBRUSH again = cache.GetBrush(ColorNo(5));
  EXPECT_TRUE(BrushAlive(again));
  EXPECT_EQ(cache.UseCountOf(ColorNo(5)), 0);
  EXPECT_EQ(cache.UseCountOf(ColorNo(200)), -1) << "the first of the least used went";
}

TEST_F(EditPaint, EqualUseCountsEvictTheFirstColour) {
  TcxSolidBrushCache cache(3);
  for (TColor c : {TColor{0x30}, TColor{0x10}, TColor{0x20}}) cache.GetBrush(c);
  cache.GetBrush(0x05);
  EXPECT_EQ(cache.UseCountOf(0x10), -1) << "lowest colour of the tie";
  EXPECT_EQ(cache.UseCountOf(0x05), 0);
  EXPECT_EQ(cache.UseCountOf(0x20), 0);
  EXPECT_EQ(cache.UseCountOf(0x30), 0);
}

TEST_F(EditPaint, SystemColoursNeverEnterTheCache) {
  struct TCase {
    const char* Name;
    TColor Color;
    int Index;
  };
  const TCase cases[] = {{"clBtnFace", clBtnFace, COLOR_BTNFACE},
                         {"clScrollBar", clScrollBar, 0},
                         {"clMenuBar", clMenuBar, 30},
                         {"clWindow", clWindow, COLOR_WINDOW}};
  TcxSolidBrushCache* cache = cxSolidBrushCache();
  ASSERT_NE(cache, nullptr);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(SolidBrushFor(c.Color), GetSysColorBrush(c.Index));
    EXPECT_EQ(cache->UseCountOf(c.Color), -1);
  }
  EXPECT_EQ(cache->Count(), 0);
}

TEST_F(EditPaint, APaletteChangeEmptiesTheCache) {
  TcxSolidBrushCache* cache = cxSolidBrushCache();
  HBRUSH red = SolidBrushFor(clRed);
  SolidBrushFor(clRed);
  EXPECT_EQ(cache->UseCountOf(clRed), 1);
  ASSERT_NE(SystemPaletteChangedListener(), nullptr);
  SendMessageA(SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(cache->Count(), 0);
  EXPECT_FALSE(BrushAlive(red)) << "deleted: no paint was open";
  HBRUSH fresh = SolidBrushFor(clRed);
  EXPECT_TRUE(BrushAlive(fresh));
  EXPECT_EQ(cache->UseCountOf(clRed), 0);
  EXPECT_EQ(SolidBrushFor(clBtnFace), GetSysColorBrush(COLOR_BTNFACE)) << "system brushes stay";
}

// Regression: a paint of more colours than the cache holds used to delete
// a brush a caller still held and then fill with a deleted brush.
TEST_F(EditPaint, AnEvictedBrushLivesUntilThePaintEnds) {
  TcxSolidBrushCache* cache = cxSolidBrushCache();
  HBRUSH first;
  {
    TcxBrushCachePaintScope paint;
    first = SolidBrushFor(ColorNo(0));
    for (int i = 1; i <= 128; ++i) SolidBrushFor(ColorNo(i));
    EXPECT_EQ(cache->UseCountOf(ColorNo(0)), -1) << "evicted";
    EXPECT_TRUE(BrushAlive(first)) << "still held by the paint";
    EXPECT_EQ(cache->PendingDeleteCount(), 1);
  }
  EXPECT_FALSE(BrushAlive(first)) << "deleted once the paint ended";
  EXPECT_EQ(cache->PendingDeleteCount(), 0);
}

TEST_F(EditPaint, OnePaintOfTwoHundredColoursDrawsEachInItsOwnColour) {
  TcxSolidBrushCache* cache = cxSolidBrushCache();
  constexpr int n = 200;
  TestSurface surface(n * 2, 2);
  surface.Canvas()->GetDeviceContext();  // the surface's own objects made first
  surface.Pixel(0, 0);
  const THandleCounts before = HandleCounts();
  std::vector<HBRUSH> brushes;
  std::vector<HBRUSH> all;
  {
    TcxBrushCachePaintScope paint;
    for (int i = 0; i < n; ++i) brushes.push_back(SolidBrushFor(RGB(i, 255 - i, (i * 7) & 0xFF)));
    // Every brush taken first, then all used: none may be deleted meanwhile.
    for (int i = 0; i < n; ++i) {
      const RECT r{i * 2, 0, i * 2 + 2, 2};
      FillRect(surface.Canvas()->GetDeviceContext(), &r, brushes[i]);
    }
    all = brushes;
  }
  for (int i = 0; i < n; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(surface.Pixel(i * 2 + 1, 1), static_cast<TColor>(RGB(i, 255 - i, (i * 7) & 0xFF)));
  }
  // GDI flat: exactly the cached brushes live, every evicted one is gone.
  int alive = 0;
  for (HBRUSH b : all) alive += BrushAlive(b) ? 1 : 0;
  EXPECT_EQ(alive, cache->Count());
  EXPECT_EQ(cache->Count(), 128);
  EXPECT_EQ(cache->PendingDeleteCount(), 0);
  cache->Clear();
  for (HBRUSH b : all) EXPECT_FALSE(BrushAlive(b));
  EXPECT_EQ(HandleCounts(), before) << "every brush of the paint given back";
}

TEST_F(EditPaint, OutsideAPaintEvictedBrushesAreBoundedByTheCapacity) {
  TcxSolidBrushCache cache(4);
  for (int i = 0; i < 40; ++i) cache.GetBrush(ColorNo(i));
  EXPECT_LE(cache.PendingDeleteCount(), 4);
}

// Rows (or columns) of ink from the first inked one.
std::vector<int> InkRuns(TestSurface& s, bool rows) {
  std::vector<int> runs;
  const int outer = rows ? s.Height() : s.Width(), inner = rows ? s.Width() : s.Height();
  for (int a = 0; a < outer; ++a) {
    int count = 0;
    for (int b = 0; b < inner; ++b)
      if (s.Pixel(rows ? b : a, rows ? a : b) == clBlack) ++count;
    if (count) runs.push_back(count);
  }
  return runs;
}

TEST_F(EditPaint, ArrowsAreTrianglesOfOnePixelRows) {
  struct TCase {
    const char* Name;
    TcxEditArrowDirection Direction;
    bool Two, Pressed;
    bool Rows;
    std::vector<int> Runs;
    RECT Ink;
  };
  // a = 4 in a 20 x 20 rectangle: a 7 x 4 block at (6, 8).
  const TCase cases[] = {
      {"up", eadUp, false, false, true, {1, 3, 5, 7}, {6, 8, 13, 12}},
      {"down", eadDown, false, false, true, {7, 5, 3, 1}, {6, 8, 13, 12}},
      {"left", eadLeft, false, false, false, {1, 3, 5, 7}, {8, 6, 12, 13}},
      {"right", eadRight, false, false, false, {7, 5, 3, 1}, {8, 6, 12, 13}},
      {"up pressed", eadUp, false, true, true, {1, 3, 5, 7}, {7, 9, 14, 13}},
      {"two down", eadDown, true, false, true, {7, 5, 3, 1, 7, 5, 3, 1}, {6, 6, 13, 14}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TestSurface s(20, 20);
    DrawArrows(s.Canvas(), 4, RECT{0, 0, 20, 20}, clBlack, c.Pressed, c.Two, c.Direction);
    EXPECT_EQ(InkRuns(s, c.Rows), c.Runs);
    const RECT ink = InkBounds(s, clWhite);
    EXPECT_EQ(ink.left, c.Ink.left);
    EXPECT_EQ(ink.top, c.Ink.top);
    EXPECT_EQ(ink.right, c.Ink.right);
    EXPECT_EQ(ink.bottom, c.Ink.bottom);
  }
}

TEST_F(EditPaint, ArrowGlyphSizes) {
  struct TCase {
    SIZE Area;
    TcxEditArrowDirection Direction;
    SIZE Expected;
  };
  const TCase cases[] = {{{10, 16}, eadUp, {5, 3}}, {{10, 16}, eadLeft, {3, 5}}, {{16, 10}, eadDown, {5, 3}},
                         {{12, 12}, eadRight, {3, 5}}, {{9, 9}, eadUp, {5, 3}}, {{3, 3}, eadUp, {1, 1}}};
  for (const TCase& c : cases) {
    const SIZE s = ArrowGlyphSize(c.Area, c.Direction);
    EXPECT_EQ(s.cx, c.Expected.cx) << c.Area.cx << "x" << c.Area.cy;
    EXPECT_EQ(s.cy, c.Expected.cy) << c.Area.cx << "x" << c.Area.cy;
  }
}

TEST_F(EditPaint, RectEdgesDrawTheChosenSidesAndShrink) {
  struct TCase {
    unsigned Edges;
    RECT After;
    std::vector<POINT> Inked, Clean;
  };
  const TCase cases[] = {
      {1 | 8, {1, 0, 10, 9}, {{0, 0}, {0, 9}, {9, 9}}, {{9, 0}, {5, 5}}},
      {2 | 4, {0, 1, 9, 10}, {{0, 0}, {9, 0}, {9, 9}}, {{0, 9}, {5, 5}}},
      {15, {1, 1, 9, 9}, {{0, 5}, {5, 0}, {9, 5}, {5, 9}}, {{5, 5}}},
      {0, {0, 0, 10, 10}, {}, {{0, 0}, {9, 9}}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Edges);
    TestSurface s(12, 12);
    RECT r{0, 0, 10, 10};
    DrawRectEdges(s.Canvas(), r, c.Edges, clRed);
    EXPECT_TRUE(EqualRect(&r, &c.After));
    for (POINT p : c.Inked) EXPECT_EQ(s.Pixel(p.x, p.y), clRed) << p.x << "," << p.y;
    for (POINT p : c.Clean) EXPECT_EQ(s.Pixel(p.x, p.y), clWhite) << p.x << "," << p.y;
  }
}

TEST_F(EditPaint, APolylinePaintsItsEndPointInBothModes) {
  const POINT points[] = {{1, 1}, {8, 1}, {8, 6}};
  for (bool brushMode : {false, true}) {
    SCOPED_TRACE(brushMode);
    TestSurface s(12, 12);
    DrawColoredPolyline(s.Canvas(), points, 2, brushMode, clBlue);
    EXPECT_EQ(s.Pixel(1, 1), clBlue);
    EXPECT_EQ(s.Pixel(8, 1), clBlue);
    EXPECT_EQ(s.Pixel(8, 6), clBlue) << "the end point";
    EXPECT_EQ(s.Pixel(8, 7), clWhite);
    EXPECT_EQ(s.Pixel(4, 4), clWhite);
  }
}

TEST_F(EditPaint, EditButtonWidths) {
  TBitmap glyph;
  glyph.SetSize(16, 12);
  const int arrow = GetSystemMetrics(SM_CYHSCROLL);
  TcxScreenCanvas screen;
  const int longText = screen.WidthOfText("A rather long caption");
  struct TCase {
    const char* Name;
    TcxEditButtonKind Kind;
    int Width;
    bool WithGlyph;
    const char* Caption;
    int Expected;
  };
  const TCase cases[] = {
      {"a fixed width below the margin", bkEllipsis, 2, false, "", 4},
      {"a fixed width", bkDown, 30, false, "", 30},
      {"a fixed width of a glyph button", bkGlyph, 9, true, "", 9},
      {"ellipsis", bkEllipsis, 0, false, "", arrow},
      {"down", bkDown, -3, false, "", arrow},
      {"glyph", bkGlyph, 0, true, "", 16 + 4},
      {"glyph without glyph", bkGlyph, 0, false, "", arrow},
      {"short text", bkText, 0, false, "", arrow},
      {"long text", bkText, 0, false, "A rather long caption", std::max(arrow, longText + 3 + 4)},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxEditButtonViewInfo button;
    button.Kind = c.Kind;
    button.Width = c.Width;
    button.Glyph = c.WithGlyph ? &glyph : nullptr;
    button.DisplayCaption = c.Caption;
    EXPECT_EQ(MeasureEditButton(&screen, button), c.Expected);
  }
}

TEST_F(EditPaint, TextFlagsInBothModes) {
  struct TCase {
    const char* Name;
    TAlignment Horz;
    TcxTextVertAlignment Vert;
    bool Ellipsis, Wrap;
    int Tabs;
    bool DrawText, Accel;
    unsigned Expected;
  };
  const TCase cases[] = {
      {"plain DrawText", taLeftJustify, tvaTop, false, false, 0, true, true, 0},
      {"no accelerator", taLeftJustify, tvaTop, false, false, 0, true, false, DT_NOPREFIX},
      {"right bottom", taRightJustify, tvaBottom, false, false, 0, true, true, DT_RIGHT | DT_BOTTOM},
      {"centre everything", taCenter, tvaCenter, true, true, 8, true, true,
       DT_CENTER | DT_VCENTER | DT_END_ELLIPSIS | DT_WORDBREAK | DT_EXPANDTABS | DT_TABSTOP},
      {"canvas left top", taLeftJustify, tvaTop, false, false, 0, false, false, cxAlignLeft | cxAlignTop},
      {"canvas all", taCenter, tvaCenter, true, true, 1, false, true,
       cxAlignHCenter | cxAlignVCenter | cxShowEndEllipsis | cxWordBreak | cxExpandTabs | cxShowPrefix},
      {"canvas right bottom", taRightJustify, tvaBottom, false, false, 0, false, false, cxAlignRight | cxAlignBottom},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(TextFlagsFor(0, c.Horz, c.Vert, c.Ellipsis, c.Wrap, c.Tabs, c.DrawText, c.Accel), c.Expected) << c.Name;
  EXPECT_EQ(TextFlagsFor(DT_SINGLELINE, taCenter, tvaTop, false, false, 0, true, true), DT_SINGLELINE | DT_CENTER);
}

TEST_F(EditPaint, OnlyATrueTypeFontIsRotated) {
  TBitmap bitmap;
  bitmap.SetSize(4, 4);
  TFont font;
  font.SetName("Arial");
  struct TCase {
    int Angle;
    LONG Escapement;
  };
  for (const TCase& c : {TCase{-90, 2700}, TCase{45, 450}, TCase{720, 0}, TCase{0, 0}}) {
    SCOPED_TRACE(c.Angle);
    ASSERT_TRUE(SelectRotatedFont(bitmap.Canvas(), &font, c.Angle));
    EXPECT_EQ(bitmap.Canvas()->Font()->LogFont().lfEscapement, c.Escapement);
  }
  // A raster font, where the system has one, stays upright.
  for (const char* name : {"System", "Fixedsys", "Terminal", "Courier", "MS Sans Serif"}) {
    TFont raster;
    raster.SetName(name);
    bitmap.Canvas()->SetFont(&raster);
    TEXTMETRICA metrics{};
    GetTextMetricsA(bitmap.Canvas()->Handle(), &metrics);
    if (metrics.tmPitchAndFamily & TMPF_TRUETYPE) continue;
    EXPECT_FALSE(SelectRotatedFont(bitmap.Canvas(), &raster, -90)) << name;
    EXPECT_EQ(bitmap.Canvas()->Font()->LogFont().lfEscapement, 0) << name;
    return;
  }
  GTEST_LOG_(INFO) << "no raster font on this system";
}

TEST_F(EditPaint, ColoursAndPainters) {
  EXPECT_EQ(ButtonHighlightColor(false), clHighlight);
  struct TCase {
    TcxLookAndFeelKind Kind;
    uint8_t Code;
  };
  for (const TCase& c : {TCase{lfFlat, cxStyleCodeFlat}, TCase{lfStandard, cxStyleCodeStandard},
                         TCase{lfUltraFlat, cxStyleCodeUltraFlat}, TCase{lfOffice11, cxStyleCodeOffice11}})
    EXPECT_EQ(PainterClassFor(false, c.Kind)->StyleCode(), c.Code) << int(c.Kind);
  EXPECT_EQ(EditVerticalPadding(nullptr, bts3D, false), 4);
  EXPECT_EQ(EditVerticalPadding(nullptr, btsDefault, false), 0);
  EXPECT_EQ(EditVerticalPadding(nullptr, btsOffice11, false), 2);
}

}  // namespace
