// The skin drawing primitives and the bitmap and colour helpers: pixel and
// value tables of their edge cases.
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "skin/ImgUtil.h"
#include "skin/SkinDraw.h"
#include "skin/SkinVersion.h"
#include "tests/skin/SkinTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace skin_tests;

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// A 9 x 9 frame of nine 3 x 3 zones, zone (col, row) coloured uniquely.
COLORREF Zone(int col, int row) { return RGB(40 + 60 * col, 40 + 60 * row, 7); }
std::unique_ptr<TBitmap> NineZones(int frames = 1, bool vertical = false) {
  return MakeBitmap(vertical ? 9 : 9 * frames, vertical ? 9 * frames : 9, [&](int x, int y) {
    const int frame = vertical ? y / 9 : x / 9;
    const COLORREF c = Zone((x % 9) / 3, (y % 9) / 3);
    return c + static_cast<COLORREF>(frame);  // frame k (from 0): red part + k
  });
}
constexpr RECT kMargins{3, 3, 3, 3};

struct NinePartCase {
  const char* Name;
  int Width, Height;
  struct Probe {
    int X, Y;
    COLORREF Expected;
  };
  std::vector<Probe> Probes;
};

TEST(SkinDrawTest, BuildNinePartKeepsCornersAndStretchesTheRest) {
  const NinePartCase cases[] = {
      {"same size", 9, 9, {{0, 0, Zone(0, 0)}, {4, 4, Zone(1, 1)}, {8, 8, Zone(2, 2)}, {8, 0, Zone(2, 0)}}},
      {"larger", 30, 20,
       {{2, 2, Zone(0, 0)}, {27, 2, Zone(2, 0)}, {2, 17, Zone(0, 2)}, {27, 17, Zone(2, 2)}, {15, 1, Zone(1, 0)},
        {1, 10, Zone(0, 1)}, {15, 10, Zone(1, 1)}, {28, 10, Zone(2, 1)}, {15, 18, Zone(1, 2)}}},
      // Narrower than both margins: no left or right parts at all.
      // Narrower than both margins: no left or right parts; the top edge and
      // the middle take the frame's whole width.
      {"margins wider than the target", 5, 20,
       {{0, 1, Zone(0, 0)}, {2, 1, Zone(1, 0)}, {4, 1, Zone(2, 0)}, {0, 10, Zone(0, 1)}, {4, 18, Zone(2, 2)}}},
      {"margins higher than the target", 20, 4,
       {{1, 0, Zone(0, 0)}, {10, 2, Zone(1, 1)}, {19, 3, Zone(2, 2)}}},
  };
  auto source = NineZones();
  for (const NinePartCase& c : cases) {
    std::unique_ptr<TBitmap> image = BuildNinePart({0, 0, c.Width, c.Height}, source.get(), kMargins, false, false, 1, 1);
    ASSERT_EQ(image->Width(), c.Width) << c.Name;
    ASSERT_EQ(image->Height(), c.Height) << c.Name;
    for (const auto& p : c.Probes)
      EXPECT_EQ(PixelOf(image.get(), p.X, p.Y), p.Expected) << c.Name << " at " << p.X << "," << p.Y;
  }
}

TEST(SkinDrawTest, FramesAreChosenSideBySideOrStackedAndKeptInRange) {
  struct Case {
    const char* Name;
    bool Vertical;
    int Count, Index, ExpectedFrame;
  };
  const Case cases[] = {
      {"second of three", false, 3, 2, 1},  {"third stacked", true, 3, 3, 2}, {"index past the count", false, 3, 7, 2},
      {"index 0", true, 3, 0, 0},           {"count 0: one frame", false, 0, 1, 0},
  };
  for (const Case& c : cases) {
    auto source = NineZones(c.Count > 0 ? c.Count : 1, c.Vertical);
    std::unique_ptr<TBitmap> image = BuildNinePart({0, 0, 9, 9}, source.get(), kMargins, c.Vertical, false, c.Count, c.Index);
    EXPECT_EQ(PixelOf(image.get(), 4, 4), Zone(1, 1) + static_cast<COLORREF>(c.ExpectedFrame)) << c.Name;
    EXPECT_EQ(PixelOf(image.get(), 0, 8), Zone(0, 2) + static_cast<COLORREF>(c.ExpectedFrame)) << c.Name;
  }
}

TEST(SkinDrawTest, TiledMiddleRepeatsAndTheEdgesCoverWhatRunsPast) {
  // The middle zone has one marked pixel at its centre.
  constexpr COLORREF kMark = RGB(1, 2, 3);
  auto source = MakeBitmap(9, 9, [](int x, int y) { return x == 4 && y == 4 ? kMark : Zone(x / 3, y / 3); });
  std::unique_ptr<TBitmap> tiled = BuildNinePart({0, 0, 17, 17}, source.get(), kMargins, false, true, 1, 1);
  for (int x : {4, 7, 10}) EXPECT_EQ(PixelOf(tiled.get(), x, 4), kMark) << x;
  EXPECT_EQ(PixelOf(tiled.get(), 5, 4), Zone(1, 1));
  // The middle is 11 wide: the fourth tile runs into the right edge, which covers it.
  EXPECT_EQ(PixelOf(tiled.get(), 14, 4), Zone(2, 1));
  EXPECT_EQ(PixelOf(tiled.get(), 13, 13), kMark);
  EXPECT_EQ(PixelOf(tiled.get(), 12, 13), Zone(1, 1));
  // Stretched twice as large, the mark covers two pixels each way.
  std::unique_ptr<TBitmap> stretched = BuildNinePart({0, 0, 12, 12}, source.get(), kMargins, false, false, 1, 1);
  for (int x : {5, 6}) EXPECT_EQ(PixelOf(stretched.get(), x, 5), kMark) << x;
  EXPECT_EQ(PixelOf(stretched.get(), 4, 5), Zone(1, 1));
}

TEST(SkinDrawTest, EmptyOrInvertedTargetsDrawNothing) {
  auto source = NineZones();
  auto target = SolidBitmap(10, 10, RGB(9, 9, 9));
  DrawSkinImage(target->Canvas()->Handle(), {8, 8, 2, 2}, source.get(), false, false, false, 1, 1, kMargins);
  DrawSkinImage(target->Canvas()->Handle(), {2, 2, 2, 8}, source.get(), false, false, false, 1, 1, kMargins);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) ASSERT_EQ(PixelOf(target.get(), x, y), RGB(9, 9, 9));
  EXPECT_TRUE(BuildNinePart({5, 5, 5, 9}, source.get(), kMargins, false, false, 1, 1)->Empty());
}

TEST(SkinDrawTest, TransparentDrawingLeavesMagentaOutOnBothFamilies) {
  auto source = MakeBitmap(4, 2, [](int x, int y) { return x == 1 || (x == 3 && y == 1) ? kMagenta : RGB(10 * x, 20, 30); });
  for (bool nt : {true, false}) {
    const TSkinWindowsVersion previous = SetSkinWindowsVersion({nt ? 6 : 4, nt ? 1 : 10, nt});
    auto target = SolidBitmap(6, 4, RGB(0, 0, 200));
    DrawTransparent(target->Canvas()->Handle(), {1, 1, 5, 3}, source.get(), kMagenta);
    EXPECT_EQ(PixelOf(target.get(), 1, 1), RGB(0, 20, 30)) << nt;
    EXPECT_EQ(PixelOf(target.get(), 2, 1), RGB(0, 0, 200)) << nt;
    EXPECT_EQ(PixelOf(target.get(), 4, 1), RGB(30, 20, 30)) << nt;
    EXPECT_EQ(PixelOf(target.get(), 4, 2), RGB(0, 0, 200)) << nt;
    EXPECT_EQ(PixelOf(target.get(), 0, 0), RGB(0, 0, 200)) << nt;
    SetSkinWindowsVersion(previous);
  }
  ResetSkinWindowsVersion();
}

TEST(SkinDrawTest, StripsFramesGlyphsAndThreeParts) {
  // A frame of 9 columns: 2 red, 5 with a mark in its first column, 2 blue;
  // two frames side by side, the second darker.
  auto strip = MakeBitmap(18, 3, [](int x, int) {
    const int k = x % 9;
    const COLORREF c = k < 2 ? RGB(200, 0, 0) : k >= 7 ? RGB(0, 0, 200) : (k == 2 ? RGB(0, 200, 0) : RGB(90, 90, 90));
    return x >= 9 ? RGB(GetRValue(c) / 2, GetGValue(c) / 2, GetBValue(c) / 2) : c;
  });
  auto target = SolidBitmap(30, 30, RGB(1, 1, 1));
  HDC dc = target->Canvas()->Handle();

  DrawSkinStrip(dc, {0, 0, 20, 6}, strip.get(), false, false, 2, 1, {2, 0, 2, 0});
  EXPECT_EQ(PixelOf(target.get(), 0, 5), RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(target.get(), 19, 0), RGB(0, 0, 200));
  for (int x : {2, 7, 12}) EXPECT_EQ(PixelOf(target.get(), x, 3), RGB(0, 200, 0)) << x;
  EXPECT_EQ(PixelOf(target.get(), 3, 3), RGB(90, 90, 90));

  // Narrower than a frame: the whole second frame stretched.
  StretchThreePart(dc, {0, 10, 6, 12}, strip.get(), false, 2, 2, {2, 0, 2, 0});
  EXPECT_EQ(PixelOf(target.get(), 0, 10), RGB(100, 0, 0));
  EXPECT_EQ(PixelOf(target.get(), 5, 11), RGB(0, 0, 100));
  // Wider: margins kept, the middle stretched.
  StretchThreePart(dc, {0, 14, 27, 15}, strip.get(), false, 2, 1, {2, 0, 2, 0});
  EXPECT_EQ(PixelOf(target.get(), 1, 14), RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(target.get(), 2, 14), RGB(0, 200, 0));
  EXPECT_EQ(PixelOf(target.get(), 26, 14), RGB(0, 0, 200));

  // One frame stretched over a rectangle; a glyph centred unstretched.
  DrawSkinFrame(dc, {0, 20, 18, 22}, strip.get(), false, 2, 2);
  EXPECT_EQ(PixelOf(target.get(), 0, 20), RGB(100, 0, 0));
  EXPECT_EQ(PixelOf(target.get(), 17, 21), RGB(0, 0, 100));
  auto glyph = MakeBitmap(4, 2, [](int x, int) { return x < 2 ? RGB(5, 6, 7) : RGB(8, 9, 10); });
  DrawSkinGlyphCentered(dc, {20, 20, 30, 30}, glyph.get(), false, 2, 2);
  EXPECT_EQ(PixelOf(target.get(), 24, 24), RGB(8, 9, 10));
  EXPECT_EQ(PixelOf(target.get(), 25, 25), RGB(8, 9, 10));
  EXPECT_EQ(PixelOf(target.get(), 23, 24), RGB(1, 1, 1));
  EXPECT_EQ(PixelOf(target.get(), 26, 25), RGB(1, 1, 1));

  // Tiles start at the target's corner and may run past it.
  auto tiles = SolidBitmap(30, 30, RGB(1, 1, 1));
  TileBitmapPart(tiles->Canvas()->Handle(), {3, 3, 10, 8}, strip.get(), {1, 0, 3, 2});
  EXPECT_EQ(PixelOf(tiles.get(), 3, 3), RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(tiles.get(), 4, 3), RGB(0, 200, 0));
  EXPECT_EQ(PixelOf(tiles.get(), 5, 5), RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(tiles.get(), 10, 8), RGB(0, 200, 0));
  EXPECT_EQ(PixelOf(tiles.get(), 10, 9), RGB(1, 1, 1));
  EXPECT_EQ(PixelOf(tiles.get(), 11, 3), RGB(1, 1, 1));
  EXPECT_EQ(PixelOf(tiles.get(), 3, 2), RGB(1, 1, 1));
}

TEST(SkinDrawTest, RegionFromBitmap) {
  // Wholly magenta: no region.
  auto magenta = SolidBitmap(8, 8, kMagenta);
  EXPECT_FALSE(RegionFromBitmap(magenta.get(), 0, 0, 1, 1, 1, SkinTransparentColor));

  // The transparent range runs from the colour up by the tolerances.
  auto edge = MakeBitmap(4, 1, [](int x, int) {
    const COLORREF cells[4] = {RGB(255, 1, 255), RGB(254, 0, 255), RGB(255, 2, 255), RGB(255, 0, 255)};
    return cells[x];
  });
  TGdiObject region = RegionFromBitmap(edge.get(), 10, 20, 1, 1, 1, SkinTransparentColor);
  ASSERT_TRUE(region);
  auto inside = [&](int x, int y) { return PtInRegion(static_cast<HRGN>(region.Get()), x, y) != FALSE; };
  EXPECT_FALSE(inside(10, 20));
  EXPECT_TRUE(inside(11, 20));
  EXPECT_TRUE(inside(12, 20));
  EXPECT_FALSE(inside(13, 20));
  EXPECT_FALSE(inside(11, 21));

  // Past 2,000 runs: 50 runs in each of 60 rows, combined in batches.
  auto stripes = MakeBitmap(100, 60, [](int x, int) { return x % 2 ? kMagenta : RGB(0, 0, 0); });
  TGdiObject many = RegionFromBitmap(stripes.get(), -1, 2, 1, 1, 1, SkinTransparentColor);
  ASSERT_TRUE(many);
  RECT box{};
  GetRgnBox(static_cast<HRGN>(many.Get()), &box);
  EXPECT_EQ(box.left, -1);
  EXPECT_EQ(box.top, 2);
  EXPECT_EQ(box.right, 98);
  EXPECT_EQ(box.bottom, 62);
  int in = 0;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x) {
      const bool expected = x % 2 == 0;
      if (PtInRegion(static_cast<HRGN>(many.Get()), x - 1, y + 2) != FALSE) ++in;
      ASSERT_EQ(PtInRegion(static_cast<HRGN>(many.Get()), x - 1, y + 2) != FALSE, expected) << x << "," << y;
    }
  EXPECT_EQ(in, 3000);
}

TEST(SkinDrawTest, PaintControlIntoShowsTheParentBehindTheControl) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(50, 50, 200, 150);
  form->SetColor(RGB(10, 120, 30));
  auto* panel = New<TPanel>(form);
  panel->SetParent(form);
  panel->SetBounds(20, 30, 60, 40);
  panel->SetColor(RGB(200, 200, 0));
  form->HandleNeeded();
  auto canvas = SolidBitmap(60, 40, RGB(0, 0, 0));
  PaintControlInto(panel, canvas->Canvas()->Handle());
  EXPECT_EQ(PixelOf(canvas.get(), 0, 0), RGB(10, 120, 30));
  EXPECT_EQ(PixelOf(canvas.get(), 59, 39), RGB(10, 120, 30));
  // Without a parent nothing is drawn.
  panel->SetParent(nullptr);
  auto untouched = SolidBitmap(8, 8, RGB(0, 0, 0));
  PaintControlInto(panel, untouched->Canvas()->Handle());
  EXPECT_EQ(PixelOf(untouched.get(), 3, 3), RGB(0, 0, 0));
  Free(panel);
  Free(form);
}

// -- Bitmap and colour helpers.

TEST(SkinImgUtilTest, MixColor) {
  struct Case {
    TColor C1, C2;
    int Weight;
    TColor Expected;
  };
  const Case cases[] = {
      {clWhite, clBlack, 50, 0x808080},   // (255 * 50 + 50) div 100 = 128
      {clWhite, clBlack, 150, 0x262626},  // (255 * 150 + 500) div 1000 = 38
      {clWhite, clBlack, 0, 0x000000},    {clWhite, clBlack, 100, 0x1A1A1A},
      {RGB(200, 100, 0), RGB(0, 100, 200), 25, RGB(50, 100, 150)},
  };
  for (const Case& c : cases) EXPECT_EQ(MixColor(c.C1, c.C2, c.Weight), c.Expected) << c.Weight;
  // System colours are resolved first.
  EXPECT_EQ(MixColor(clBtnFace, clBtnFace, 50), ColorToRGB(clBtnFace));
}

TEST(SkinImgUtilTest, ColorSaturation) {
  struct Case {
    COLORREF Color;
    int Expected;
  };
  const Case cases[] = {
      {RGB(255, 0, 0), 255}, {RGB(128, 128, 128), 200}, {RGB(200, 100, 50), 191}, {RGB(159, 0, 0), 200},
      {RGB(160, 160, 160), 0}, {RGB(0, 0, 160), 255},
  };
  for (const Case& c : cases) EXPECT_EQ(ColorSaturation(c.Color), c.Expected) << std::hex << c.Color;
}

TEST(SkinImgUtilTest, GradientsOfOneAnd256EntriesAndTheCache) {
  ClearGradientCache();
  const int one = MakeGradient(1, clBlack, clWhite);
  ASSERT_EQ(GradientColors(one).size(), 1u);
  EXPECT_EQ(GradientColors(one)[0], 0x7F7F7Fu);

  const int up = GetGradient(256, clBlack, clWhite);
  const std::vector<TColor>& g = GradientColors(up);
  ASSERT_EQ(g.size(), 256u);
  EXPECT_EQ(g[0], 0x000000u);
  EXPECT_EQ(g[1], 0x010101u);
  EXPECT_EQ(g[128], 0x808080u);
  EXPECT_EQ(g[255], 0xFFFFFFu);
  EXPECT_EQ(GetGradient(256, clBlack, clWhite), up) << "found again";

  // A falling channel ends one above its target, so the gradient is never
  // found again: every request computes it into the next slot.
  const int down = GetGradient(256, clWhite, clBlack);
  EXPECT_EQ(GradientColors(down)[255], 0x010101u);
  EXPECT_EQ(FindGradient(256, clWhite, clBlack), -1);
  EXPECT_NE(GetGradient(256, clWhite, clBlack), down);

  // The ring wraps after sixteen slots.
  ClearGradientCache();
  for (int i = 0; i < GradientSlots; ++i) EXPECT_EQ(MakeGradient(2, i, 255), i);
  EXPECT_EQ(MakeGradient(2, 0, 1), 0);
  ClearGradientCache();
}

TEST(SkinImgUtilTest, GradientFillDrawsOnlyTheClippedLinesWithTheFullFillsColours) {
  auto full = SolidBitmap(4, 100, RGB(1, 2, 3));
  GradientFill(full->Canvas()->Handle(), {0, 0, 4, 100}, RGB(0, 0, 0), true, RGB(0, 99, 198));
  auto half = SolidBitmap(4, 100, RGB(1, 2, 3));
  HDC dc = half->Canvas()->Handle();
  {
    TSavedDCGuard saved(dc);
    IntersectClipRect(dc, 0, 50, 4, 100);
    GradientFill(dc, {0, 0, 4, 100}, RGB(0, 0, 0), true, RGB(0, 99, 198));
  }
  for (int y = 0; y < 100; ++y)
    EXPECT_EQ(PixelOf(half.get(), 2, y), y < 50 ? RGB(1, 2, 3) : PixelOf(full.get(), 2, y)) << y;
  EXPECT_EQ(PixelOf(full.get(), 0, 99), RGB(0, 99, 198));
  EXPECT_EQ(PixelOf(full.get(), 3, 50), RGB(0, 50, 100));
  // Horizontal: columns.
  auto across = SolidBitmap(3, 2, RGB(1, 2, 3));
  GradientFill(across->Canvas()->Handle(), {0, 0, 3, 2}, RGB(0, 0, 0), false, RGB(200, 0, 0));
  EXPECT_EQ(PixelOf(across.get(), 0, 1), RGB(0, 0, 0));
  EXPECT_EQ(PixelOf(across.get(), 1, 1), RGB(100, 0, 0));
  EXPECT_EQ(PixelOf(across.get(), 2, 0), RGB(200, 0, 0));
}

TEST(SkinImgUtilTest, ReplaceColorUsesTheColoursRawBytes) {
  auto bitmap = MakeBitmap(3, 1, [](int x, int) { return x == 1 ? RGB(1, 2, 3) : RGB(255, 0, 255); });
  ReplaceColor(bitmap.get(), 0xFF00000F);
  EXPECT_EQ(bitmap->PixelFormat(), pf24bit);
  EXPECT_EQ(PixelOf(bitmap.get(), 0, 0), RGB(15, 0, 0));
  EXPECT_EQ(PixelOf(bitmap.get(), 1, 0), RGB(1, 2, 3));
  ReplaceColor(bitmap.get(), RGB(0, 0, 0));  // nothing magenta is left
  EXPECT_EQ(PixelOf(bitmap.get(), 2, 0), RGB(15, 0, 0));
}

TEST(SkinImgUtilTest, MirrorFlipAndQuarterTurns) {
  // 3 x 2, pixel (x, y) = RGB(x, y, 9).
  const auto source = [] { return MakeBitmap(3, 2, [](int x, int y) { return RGB(x, y, 9); }); };
  struct Case {
    const char* Name;
    void (*Turn)(TBitmap*);
    int Width, Height;
    // Where the old pixel (c, y) lands.
    int (*NewX)(int c, int y);
    int (*NewY)(int c, int y);
  };
  const Case cases[] = {
      {"mirror", &MirrorBitmap, 3, 2, [](int c, int) { return 2 - c; }, [](int, int y) { return y; }},
      {"flip", &FlipBitmap, 3, 2, [](int c, int) { return c; }, [](int, int y) { return 1 - y; }},
      {"left", &RotateBitmapLeft, 2, 3, [](int, int y) { return y; }, [](int c, int) { return 2 - c; }},
      {"right", &RotateBitmapRight, 2, 3, [](int, int y) { return 1 - y; }, [](int c, int) { return c; }},
  };
  for (const Case& c : cases) {
    auto bitmap = source();
    c.Turn(bitmap.get());
    ASSERT_EQ(bitmap->Width(), c.Width) << c.Name;
    ASSERT_EQ(bitmap->Height(), c.Height) << c.Name;
    EXPECT_EQ(bitmap->PixelFormat(), pf24bit) << c.Name;
    for (int y = 0; y < 2; ++y)
      for (int x = 0; x < 3; ++x)
        EXPECT_EQ(PixelOf(bitmap.get(), c.NewX(x, y), c.NewY(x, y)), RGB(x, y, 9)) << c.Name << " " << x << "," << y;
  }
}

}  // namespace
