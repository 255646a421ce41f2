// Colour reduction: lookups, palettes, the ditherers and ReduceBitmapColors.
#include "gif/GIFReduction.h"
#include "gif/GIFTypes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

namespace {

// A 24-bit bitmap whose rows (blue, green, red bytes) `fill` writes.
void Make24(TBitmap& b, int width, int height, const std::function<void(int y, uint8_t* row)>& fill) {
  b.SetPixelFormat(pf24bit);
  b.SetSize(width, height);
  for (int y = 0; y < height; ++y) fill(y, static_cast<uint8_t*>(b.ScanLine(y)));
}

struct LookupCase {
  uint8_t R, G, B;
  int Index;
  uint8_t OutR, OutG, OutB;
};

TEST(ColorLookup, CubeAndMonochromeGiveTheirNearestColours) {
  TNetscapeColorLookup cube;
  const LookupCase cubeCases[] = {{255, 255, 255, 215, 255, 255, 255}, {47, 47, 47, 0, 0, 0, 0},
                                  {48, 48, 48, 43, 51, 51, 51},         {255, 0, 0, 180, 255, 0, 0},
                                  {0, 0, 255, 5, 0, 0, 255}};
  for (const LookupCase& c : cubeCases) {
    uint8_t r, g, b;
    EXPECT_EQ(cube.NearestIndex(c.R, c.G, c.B, r, g, b), c.Index) << int(c.R);
    EXPECT_EQ(r, c.OutR);
    EXPECT_EQ(g, c.OutG);
    EXPECT_EQ(b, c.OutB);
  }
  TMonochromeLookup mono;
  uint8_t r, g, b;
  EXPECT_EQ(mono.NearestIndex(127, 127, 127, r, g, b), 0);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(mono.NearestIndex(128, 128, 128, r, g, b), 1);
  EXPECT_EQ(r, 255);
  TGrayScaleLookup gray;
  EXPECT_EQ(gray.NearestIndex(255, 255, 255, r, g, b), 255);
  EXPECT_EQ(gray.NearestIndex(100, 0, 0, r, g, b), (77 * 100) >> 8);
}

TEST(ColorLookup, CubePaletteEntriesMatchTheLookup) {
  TGdiObject palette(Cube216Palette());
  PALETTEENTRY e[256];
  ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(palette.Get()), 0, 256, e), 216u);
  TNetscapeColorLookup cube;
  for (int i = 0; i < 216; ++i) {
    uint8_t r, g, b;
    ASSERT_EQ(cube.NearestIndex(e[i].peRed, e[i].peGreen, e[i].peBlue, r, g, b), i);
    EXPECT_EQ(e[i].peRed, 51 * (i / 36));
    EXPECT_EQ(e[i].peBlue, 51 * (i % 6));
  }
  TSlowColorLookup slow(static_cast<HPALETTE>(palette.Get()));
  EXPECT_EQ(slow.Entries(), 216);
  uint8_t r, g, b;
  EXPECT_EQ(slow.NearestIndex(250, 250, 250, r, g, b), 215);
}

// A 3 x 2 grey image dithered to black and white by Floyd-Steinberg, worked
// by hand (all three channels carry the same error):
// row 0, left to right, 100 100 100:
//   x0: v 100 -> black, e 100; E[0] = 0 + 300, bp = 0 + 500, below 100, cur 700
//   x1: v 100 + (0 + 700 + 8)/16 = 144 -> white (>= 128), e -111;
//       E[1] = 500 - 333 = 167, bp = 100 - 555 = -455, below -111, cur -777
//   x2: v 100 + (-777 + 8)/16 = 52 -> black, e 52; E[2] = -455 + 156 = -299,
//       bp = -111 + 260 = 149, below 52, cur 364; end of row: E[3] = 149
// row 1, right to left from p = 4, 200 200 200:
//   p4: v 200 -> white, e -55; E[4] = -165, bp -275, below -55, cur -385
//   p3: v 200 + (149 - 385 + 8)/16 = 186 -> white, e -69; cur -483
//   p2: v 200 + (-299 - 483 + 8)/16 = 152 -> white
TEST(Ditherer, FloydSteinbergMatchesHandComputedPixels) {
  TBitmap source;
  Make24(source, 3, 2, [](int y, uint8_t* row) { std::fill(row, row + 9, y == 0 ? 100 : 200); });
  std::unique_ptr<TBitmap> out(ReduceBitmapColors(&source, rdBlackWhite, dkFloydSteinberg, nullptr, 8));
  ASSERT_EQ(out->BitsPerPixel(), 8);
  const auto* r0 = static_cast<uint8_t*>(out->ScanLine(0));
  const auto* r1 = static_cast<uint8_t*>(out->ScanLine(1));
  EXPECT_EQ((std::vector<int>{r0[0], r0[1], r0[2]}), (std::vector<int>{0, 1, 0}));
  EXPECT_EQ((std::vector<int>{r1[0], r1[1], r1[2]}), (std::vector<int>{1, 1, 1}));
}

TEST(Ditherer, EveryKindStaysInsideItsArraysAndPicksPaletteColours) {
  for (int kind = 0; kind <= 6; ++kind) {
    for (int width : {1, 2, 7}) {
      TBitmap source;
      Make24(source, width, 5, [width](int y, uint8_t* row) {
        for (int x = 0; x < 3 * width; ++x) row[x] = static_cast<uint8_t>(37 * x + 91 * y);
      });
      std::unique_ptr<TBitmap> out(
          ReduceBitmapColors(&source, rdCube216, static_cast<TGIFDitherKind>(kind), nullptr, 8));
      ASSERT_EQ(out->Width(), width) << kind;
      for (int y = 0; y < 5; ++y) {
        const auto* row = static_cast<uint8_t*>(out->ScanLine(y));
        for (int x = 0; x < width; ++x) EXPECT_LT(row[x], 216) << kind;
      }
    }
  }
}

TEST(ReduceBitmapColors, NearestCubeEqualsTheLookupPixelByPixel) {
  TBitmap source;
  std::vector<uint8_t> copy;
  Make24(source, 16, 4, [&](int y, uint8_t* row) {
    for (int x = 0; x < 48; ++x) row[x] = static_cast<uint8_t>(x * 5 + y * 60);
    copy.insert(copy.end(), row, row + 48);
  });
  std::unique_ptr<TBitmap> out(ReduceBitmapColors(&source, rdCube216, dkNearest, nullptr, 8));
  TNetscapeColorLookup cube;
  for (int y = 0; y < 4; ++y) {
    const auto* row = static_cast<uint8_t*>(out->ScanLine(y));
    for (int x = 0; x < 16; ++x) {
      const uint8_t* p = copy.data() + y * 48 + 3 * x;
      uint8_t r, g, b;
      EXPECT_EQ(row[x], cube.NearestIndex(p[2], p[1], p[0], r, g, b));
    }
  }
}

TEST(ReduceBitmapColors, UnusableRequestsAnswerAnEmptyBitmap) {
  TBitmap source;
  source.SetSize(4, 4);
  std::unique_ptr<TBitmap> noPalette(ReduceBitmapColors(&source, rdCustomPalette, dkNearest, nullptr, 8));
  EXPECT_TRUE(noPalette->Empty());
  std::unique_ptr<TBitmap> badKind(ReduceBitmapColors(&source, rdCube216, static_cast<TGIFDitherKind>(7), nullptr, 8));
  EXPECT_TRUE(badKind->Empty());
  std::unique_ptr<TBitmap> none(ReduceBitmapColors(&source, rdNone, dkNearest, nullptr, 8));
  EXPECT_EQ(none->BitsPerPixel(), 24);
}

TEST(Octree, TwoColoursComeFirstInTreeOrderAndTheRestIsBlack) {
  TBitmap source;
  Make24(source, 2, 2, [](int, uint8_t* row) {
    // Blue, green, red: a blue-ish and a red-ish pixel.
    const uint8_t px[6] = {10, 10, 200, 200, 10, 10};
    std::copy(px, px + 6, row);
  });
  TGdiObject palette(OctreePaletteFromBitmap(&source, 256, 8, false));
  PALETTEENTRY e[256];
  ASSERT_EQ(GetPaletteEntries(static_cast<HPALETTE>(palette.Get()), 0, 256, e), 256u);
  // Child index 0b001 (blue bit) comes before 0b100 (red bit).
  EXPECT_EQ(e[0].peBlue, 200);
  EXPECT_EQ(e[0].peRed, 10);
  EXPECT_EQ(e[1].peRed, 200);
  for (int i = 2; i < 256; ++i) EXPECT_EQ(e[i].peRed | e[i].peGreen | e[i].peBlue, 0) << i;
  // Folding keeps the leaf count within bounds.
  TColorQuantizer q(4, 8);
  for (int i = 0; i < 64; ++i) q.AddColor(static_cast<uint8_t>(i * 4), static_cast<uint8_t>(255 - i), 7);
  EXPECT_LE(q.LeafCount(), 4);
  EXPECT_LE(q.CollectColors().size(), 4u);
}

}  // namespace
