// The library bitmaps: filters, transparent colours, rotation, resampling,
// batched changes and the packed stream form through the form writer and
// reader.
#include "foundation/Bitmaps.h"
#include "platform/FormResource.h"
#include "platform/Properties.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

TRGBColors Pixels(TcxBitmap& b) {
  TRGBColors c;
  b.GetPixels(c);
  return c;
}

TEST(CxBitmap, TransparentColourCompletesAlphaOfTheOthers) {
  TcxBitmap b(4, 1);
  // Row 0 of the array is the bottom row (here the only one).
  b.SetPixels({0x00FF00FFu, 0x80FF00FFu, 0x00FF0000u, 0x4D0000FFu});
  b.SetTransparentColor(clFuchsia);
  EXPECT_EQ(Pixels(b), (TRGBColors{0x00FF00FFu, 0x80FF00FFu, 0xFFFF0000u, 0x4D0000FFu}));
  EXPECT_TRUE(b.IsTransparentPixel(0x80FF00FFu)) << "magenta whatever its alpha";
  EXPECT_FALSE(b.IsTransparentPixel(0xFFFF0000u));
  EXPECT_TRUE(b.HasAlpha());
  b.ApplyFilter(cxfMask);
  EXPECT_EQ(Pixels(b), (TRGBColors{0xFFFFFFFFu, 0xFFFFFFFFu, 0, 0}));
}

TEST(CxBitmap, CheckerCellsCountFromTheBottomLeft) {
  TcxBitmap b(8, 8);
  b.SetCheckerParams(clRed, clBlue, 4, 255, 255);
  const TRGBColors c = Pixels(b);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool first = (x / 4 + y / 4) % 2 == 0;
      ASSERT_EQ(c[static_cast<size_t>(y) * 8 + x], first ? 0xFFFF0000u : 0xFF0000FFu) << x << "," << y;
    }
}

TEST(CxBitmap, CheckerWithCellSizeZeroUsesSinglePixels) {
  TcxBitmap b(2, 2);
  b.SetCheckerParams(clRed, clBlue, 0, 255, 255);
  EXPECT_EQ(Pixels(b), (TRGBColors{0xFFFF0000u, 0xFF0000FFu, 0xFF0000FFu, 0xFFFF0000u}));
}

TEST(CxBitmap, Filters) {
  const struct { const char* Name; int Code; TRGBQuad In; TRGBQuad Out; } cases[] = {
      {"lighten, opaque", cxfLighten, 0xFF000064u, 0xFF4C4C92u},
      {"lighten, translucent", cxfLighten, 0x80FFFFFFu, 0x64C8C8C8u},
      {"grey by average", cxfGreyAverage, 0x7F0A141Eu, 0x7F141414u},
      {"grey", cxfGrey, 0xFFFF0000u, 0xFF4C4C4Cu},
      {"grey weighted to green", cxfGreyGreen, 0xFF00FF00u, 0xFFB6B6B6u},
      {"opaque", cxfOpaque, 0x00123456u, 0xFF123456u},
      {"clear alpha", cxfClearAlpha, 0xFF123456u, 0x00123456u},
      {"complete alpha", cxfCompleteAlpha, 0x00123456u, 0xFF123456u},
      {"unknown code", 11, 0x01020304u, 0x01020304u},
  };
  for (const auto& c : cases) {
    TcxBitmap b(1, 1);
    b.SetPixels({c.In});
    b.ApplyFilter(c.Code);
    EXPECT_EQ(Pixels(b)[0], c.Out) << c.Name;
  }
}

TEST(CxBitmap, RotatesAndMirrors) {
  // 3 x 2, top-down: 1 2 3 / 4 5 6.
  const struct { const char* Name; int Code; bool Mirror; int W; int H; TRGBColors TopDown; } cases[] = {
      {"a quarter counter-clockwise", 1, false, 2, 3, {3, 6, 2, 5, 1, 4}},
      {"transposed", 1, true, 2, 3, {1, 4, 2, 5, 3, 6}},
      {"a quarter clockwise", 2, false, 2, 3, {4, 1, 5, 2, 6, 3}},
      {"half way", 3, false, 3, 2, {6, 5, 4, 3, 2, 1}},
      {"mirrored left to right", 3, true, 3, 2, {3, 2, 1, 6, 5, 4}},
      {"mirrored top to bottom", 0, true, 3, 2, {4, 5, 6, 1, 2, 3}},
      {"nothing", 0, false, 3, 2, {1, 2, 3, 4, 5, 6}},
  };
  for (const auto& c : cases) {
    TcxBitmap b(3, 2);
    TRGBColors source{1, 2, 3, 4, 5, 6};
    StoreBitmapColors(&b, source, true);
    b.RotateOrFlip(c.Code, c.Mirror);
    ASSERT_EQ(b.GetWidth(), c.W) << c.Name;
    ASSERT_EQ(b.GetHeight(), c.H) << c.Name;
    TRGBColors result;
    ReadBitmapPixels(&b, true, result);
    EXPECT_EQ(result, c.TopDown) << c.Name;
  }
}

TEST(CxBitmap, SmoothResampleOfTheSameSizeReproducesTheSource) {
  TcxBitmap source(16, 12), dest(16, 12);
  TRGBColors pixels(16 * 12);
  uint32_t seed = 12345;
  for (auto& p : pixels) {
    seed = seed * 1103515245u + 12345u;
    p = seed;
  }
  source.SetPixels(pixels);
  ResampleBitmap(&source, &dest, true);
  EXPECT_EQ(Pixels(dest), pixels);
  const TcxContributors same = BuildContributors(5, 5);
  for (const auto& list : same) {
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].Weight, 256);
  }
}

TEST(CxBitmap, ResamplesLargerSmoothly) {
  TcxBitmap source(2, 2), dest(8, 8);
  source.SetPixels({0xFF000000u, 0xFF000000u, 0xFFFFFFFFu, 0xFFFFFFFFu});  // bottom black, top white
  ResampleBitmap(&source, &dest, true);
  const TRGBColors c = Pixels(dest);
  EXPECT_EQ(PixelRed(c[0]), 0) << "bottom row stays black";
  EXPECT_EQ(PixelRed(c[7 * 8]), 255) << "top row stays white";
  EXPECT_GT(PixelRed(c[4 * 8]), 0);
  EXPECT_LT(PixelRed(c[4 * 8]), 255);
}

TEST(CxBitmap, BatchesChanges) {
  TcxCustomBitmap b(2, 2);
  int changes = 0;
  b.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  b.LockChanges();
  b.SetDimensions(3, 3);
  b.SetDimensions(4, 4);
  EXPECT_EQ(changes, 0);
  b.UnlockChanges();
  EXPECT_EQ(changes, 1);
  b.UnlockChanges();  // not locked: nothing
  b.LockChanges();
  b.UnlockChanges();
  EXPECT_EQ(changes, 1) << "nothing pending";
  b.LockChanges();
  b.UnlockChanges(true);
  EXPECT_EQ(changes, 2);
}

// A component holding a glyph, to stream it as forms do.
class TGlyphHolder : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TGlyphHolder(TComponent* owner) : TComponent(owner) {}
  TcxCustomBitmap* Glyph() { return &FGlyph; }
  void SetGlyph(TcxCustomBitmap* value) { FGlyph.Assign(value); }

private:
  TcxCustomBitmap FGlyph;
};
const TClassInfo TGlyphHolder::ClassInfo{"TGlyphHolder", &TComponent::ClassInfo,
                                         [](TObject* o) -> TObject* { return new TGlyphHolder(static_cast<TComponent*>(o)); }};
const TPublishedRegistration glyphHolderRegistration(&TGlyphHolder::ClassInfo,
                                                     {Property<&TGlyphHolder::Glyph, &TGlyphHolder::SetGlyph>("Glyph")});

TEST(CxBitmap, PackedFormRoundTripsThroughTheFormWriterAndReader) {
  for (bool compress : {true, false}) {
    TGlyphHolder written(nullptr);
    written.SetName("Holder");
    TcxCustomBitmap* glyph = written.Glyph();
    glyph->SetPixelFormat(pf24bit);
    glyph->SetSize(40, 10);
    glyph->Canvas()->Brush()->SetColor(clRed);
    glyph->Canvas()->FillRect(RECT{0, 0, 40, 10});
    glyph->Canvas()->Brush()->SetColor(clBlue);
    glyph->Canvas()->FillRect(RECT{10, 2, 20, 8});
    glyph->SetCompressData(compress);
    const AnsiString text = WriteComponentText(&written);
    // The header's magic "XDBM" shows in the hex block of the packed form.
    EXPECT_EQ(text.find("5844424D") != AnsiString::npos, compress) << text;

    TGlyphHolder read(nullptr);
    ReadComponentText(text, &read, "Glyphs");
    TcxCustomBitmap* back = read.Glyph();
    ASSERT_EQ(back->GetWidth(), 40);
    ASSERT_EQ(back->GetHeight(), 10);
    EXPECT_EQ(back->Canvas()->Pixels(0, 0), clRed);
    EXPECT_EQ(back->Canvas()->Pixels(15, 5), clBlue);
  }
}

TEST(CxBitmap, FilledBitmapsClearToTheirValue) {
  TcxBitmap filled(2, 1, 0x80102030u);
  EXPECT_EQ(Pixels(filled), (TRGBColors{0x80102030u, 0x80102030u}));
  filled.SetDimensions(3, 1);
  EXPECT_EQ(Pixels(filled), (TRGBColors(3, 0x80102030u))) << "a size change clears";
  TcxBitmap black(2, 1, 0x00FFFFFFu);
  EXPECT_EQ(Pixels(black), (TRGBColors{0, 0})) << "alpha 0: black";
  const THandleCounts before = HandleCounts();
  { TcxBitmap temporary(30, 30); temporary.ApplyFilter(cxfLighten); }
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
