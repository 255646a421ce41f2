// The fader, stepped by hand (its timer never gets a message loop here):
// the blend of every frame in and out, turning round, the limit of running
// animations, the conditions that refuse fading, and the looks made from
// bitmaps without alpha.
#include "foundation/Bitmaps.h"
#include "foundation/FoundationUnits.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

class FadingUnits : public ::testing::Environment {
public:
  void SetUp() override { InitializeUnits({dxGDIPlusAPIUnit, dxGDIPlusClassesUnit, cxGraphicsUnit, dxFadingUnit}); }
  void TearDown() override { FinalizeUnits(); }
};
const auto* const unitEnvironment = ::testing::AddGlobalTestEnvironment(new FadingUnits);

// A new 32-bit bitmap of the pixels, row by row.
TBitmap* BitmapOf(int width, const TRGBColors& pixels, TPixelFormat format = pf32bit) {
  auto* bitmap = new TBitmap;
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(width, static_cast<int>(pixels.size()) / width);
  TRGBColors copy = pixels;
  StoreBitmapColors(bitmap, copy, true);
  if (format != pf32bit) bitmap->SetPixelFormat(format);
  return bitmap;
}

// A faded object whose normal look is opaque black and whose highlighted
// look is opaque white, so the blue byte of a frame is its blend's alpha.
class TFadedThing : public TObject, public IdxFadingObject {
public:
  // The fader must not outlive its objects' animations.
  ~TFadedThing() override {
    if (GlobalFader()) GlobalFader()->StopFading(this, true);
  }
  bool AllowsFading() override { return Allows; }
  void RepaintWithFade() override {
    TdxGPImage* frame = nullptr;
    if (Data && Data->CurrentFrame(frame) && frame->Pixels()) Frames.push_back((*frame->Pixels())[0] & 0xFF);
  }
  void FadingStarted(IdxFadingElementData* data) override { Data = data; }
  void FadingFinished() override {
    Data = nullptr;
    ++Finished;
  }
  void ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int&, int&, int&, int&) override {
    ++Asked;
    normal = BitmapOf(2, Normal, Format);
    highlighted = BitmapOf(2, Highlighted, Format);
  }

  bool Allows = true;
  TRGBColors Normal{0xFF000000u, 0xFF000000u};
  TRGBColors Highlighted{0xFFFFFFFFu, 0xFFFFFFFFu};
  TPixelFormat Format = pf32bit;
  IdxFadingElementData* Data = nullptr;
  std::vector<int> Frames;
  int Finished = 0;
  int Asked = 0;
};

class Fading : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_NE(GlobalFader(), nullptr);
    SavedGdiPlus = dxFadingGdiPlusAvailable;
    SavedBits = dxFadingScreenBitsPerPixel;
    dxFadingScreenBitsPerPixel = [] { return 32; };
    Fader()->SetMode(1);
  }
  void TearDown() override {
    Fader()->Clear();
    Fader()->SetMode(0);
    dxFadingGdiPlusAvailable = SavedGdiPlus;
    dxFadingScreenBitsPerPixel = SavedBits;
  }
  static TdxFader* Fader() { return GlobalFader(); }
  static void Step(int ticks) {
    for (int i = 0; i < ticks; ++i) Fader()->StepAll();
  }
  bool (*SavedGdiPlus)() = nullptr;
  int (*SavedBits)() = nullptr;
};

TEST_F(Fading, FadingInTakesFourFramesOfOneTick) {
  TFadedThing thing;
  Fader()->StartFadeIn(&thing);
  ASSERT_EQ(Fader()->ElementCount(), 1);
  EXPECT_TRUE(Fader()->TimerRunning());
  EXPECT_EQ(Fader()->Elements(0)->DelayCount(), 1);
  Step(4);
  EXPECT_EQ(thing.Frames, (std::vector<int>{0, 64, 128, 192, 255}));
  Step(1);
  EXPECT_EQ(thing.Frames, (std::vector<int>{0, 64, 128, 192, 255, 255})) << "the end look, then the element goes";
  EXPECT_EQ(Fader()->ElementCount(), 0);
  EXPECT_EQ(thing.Finished, 1);
  EXPECT_EQ(thing.Data, nullptr);
  EXPECT_FALSE(Fader()->TimerRunning());
}

TEST_F(Fading, FadingOutTakesTwelveFramesOfTwoTicks) {
  TFadedThing thing;
  Fader()->StartFadeOut(&thing);
  ASSERT_EQ(Fader()->ElementCount(), 1);
  EXPECT_EQ(Fader()->Elements(0)->DelayCount(), 2);
  std::vector<int> expected{255};
  for (int stage = 1; stage <= 12; ++stage) expected.push_back(255 - 21 * stage);
  Step(1);
  EXPECT_EQ(thing.Frames.size(), 1u) << "no frame on the first tick of two";
  Step(23);
  EXPECT_EQ(thing.Frames, expected);
  EXPECT_EQ(expected.back(), 3);
  Step(2);
  expected.push_back(0);
  EXPECT_EQ(thing.Frames, expected);
  EXPECT_EQ(Fader()->ElementCount(), 0);
}

TEST_F(Fading, TurningRoundCarriesTheStageOver) {
  TFadedThing thing;
  Fader()->StartFadeIn(&thing);
  Step(2);
  TdxFadingElement* element = Fader()->FindElement(&thing);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->Stage(), 2);
  Fader()->StartFadeOut(&thing);
  EXPECT_EQ(Fader()->ElementCount(), 1) << "the running element turns";
  EXPECT_EQ(element->Stage(), 7);
  EXPECT_EQ(element->Direction(), fdOut);
  thing.Frames.clear();
  Step(2);
  EXPECT_EQ(thing.Frames, (std::vector<int>{255 - 21 * 8}));
  // And back: (1 - 8 / 13) x 4 = 1.54, rounded to 2.
  Fader()->StartFadeIn(&thing);
  EXPECT_EQ(element->Stage(), 2);
  EXPECT_EQ(thing.Asked, 1);
}

TEST_F(Fading, AnEleventhAnimationFinishesTheOldest) {
  std::vector<std::unique_ptr<TFadedThing>> things;
  for (int i = 0; i < 11; ++i) {
    things.push_back(std::make_unique<TFadedThing>());
    Fader()->StartFadeIn(things.back().get());
  }
  EXPECT_EQ(Fader()->ElementCount(), 10);
  EXPECT_EQ(things[0]->Finished, 1);
  EXPECT_EQ(things[0]->Frames, (std::vector<int>{0, 255})) << "finished at once with the end look";
  EXPECT_EQ(Fader()->FindElement(things[0].get()), nullptr);
  EXPECT_EQ(Fader()->Elements(0)->FadedObject(), things[1].get());
  EXPECT_EQ(things[10]->Finished, 0);
}

TEST_F(Fading, StoppingDiscardsOrFinishes) {
  TFadedThing discarded, finished;
  Fader()->StartFadeIn(&discarded);
  Fader()->StartFadeIn(&finished);
  Step(1);
  Fader()->StopFading(&discarded, true);
  Fader()->StopFading(&finished, false);
  EXPECT_EQ(discarded.Frames, (std::vector<int>{0, 64}));
  EXPECT_EQ(finished.Frames, (std::vector<int>{0, 64, 255}));
  EXPECT_EQ(discarded.Finished, 1);
  EXPECT_EQ(finished.Finished, 1);
  EXPECT_EQ(Fader()->ElementCount(), 0);
}

TEST_F(Fading, NothingFadesWhereFadingIsNotPossible) {
  struct Case {
    const char* Name;
    uint8_t Mode;
    int Bits;
    bool GdiPlus;
    bool Allows;
  };
  const Case cases[] = {
      {"16-bit screen", 1, 16, true, true},
      {"no GDI+", 1, 32, false, true},
      {"mode off", 2, 32, true, true},
      {"object refuses", 1, 32, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    Fader()->SetMode(c.Mode);
    static int bits;
    static bool gdiPlus;
    bits = c.Bits;
    gdiPlus = c.GdiPlus;
    dxFadingScreenBitsPerPixel = [] { return bits; };
    dxFadingGdiPlusAvailable = [] { return gdiPlus; };
    TFadedThing thing;
    thing.Allows = c.Allows;
    Fader()->StartFadeIn(&thing);
    EXPECT_EQ(Fader()->ElementCount(), 0);
    EXPECT_EQ(thing.Asked, 0);
  }
  dxFadingScreenBitsPerPixel = [] { return 24; };
  dxFadingGdiPlusAvailable = SavedGdiPlus;
  Fader()->SetMode(1);
  EXPECT_TRUE(Fader()->CanFade());
  TObject plain;
  Fader()->StartFadeIn(&plain);
  EXPECT_EQ(Fader()->ElementCount(), 0) << "an object that is no fading object";
}

TEST_F(Fading, LooksWithoutAlphaKeepOnlyBlackTransparent) {
  struct Case {
    const char* Name;
    TPixelFormat Format;
    TRGBColors Pixels;
    TRGBColors Expected;
  };
  const Case cases[] = {
      {"32 bits, no alpha", pf32bit, {0x00000000u, 0x00FF8040u}, {0x00000000u, 0xFFFF8040u}},
      {"32 bits with alpha", pf32bit, {0x00000000u, 0x80402010u}, {0x00000000u, 0x80402010u}},
      {"24 bits", pf24bit, {0x00000000u, 0x00FF8040u}, {0xFF000000u, 0xFFFF8040u}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TFadedThing thing;
    thing.Format = c.Format;
    thing.Normal = c.Pixels;
    thing.Highlighted = c.Pixels;
    Fader()->StartFadeIn(&thing);
    TdxFadingElement* element = Fader()->FindElement(&thing);
    ASSERT_NE(element, nullptr);
    for (TdxGPImage* image : {element->FadeInImage(), element->FadeOutImage()}) {
      ASSERT_TRUE(image->Pixels());
      EXPECT_EQ(*image->Pixels(), c.Expected);
    }
    Fader()->Clear();
  }
}

// A helper that delegates to its test: fades a red look into a green one.
class TTestHelper : public TdxFadingObjectHelper {
public:
  bool AllowsFading() override { return true; }
  void RepaintWithFade() override { ++Repaints; }
  void ProvideFadeImages(TBitmap*& normal, TBitmap*& highlighted, int& fadeInCount, int&, int&, int&) override {
    normal = BitmapOf(4, TRGBColors(16, 0xFFFF0000u));
    highlighted = BitmapOf(4, TRGBColors(16, 0xFF00FF00u));
    fadeInCount = 99;  // capped at 32
  }
  int Repaints = 0;
};

TEST_F(Fading, TheHelperKeepsTheRunningAnimationAndDrawsItsFrame) {
  auto helper = std::make_unique<TTestHelper>();
  EXPECT_TRUE(helper->HasNoFadingElement());
  Fader()->StartFadeIn(helper.get());
  EXPECT_FALSE(helper->HasNoFadingElement());
  EXPECT_EQ(Fader()->FindElement(helper.get())->FrameCount(fdIn), 32);
  TcxBitmap target(4, 4);
  helper->DrawFadingStep(target.Canvas()->Handle(), RECT{0, 0, 4, 4});
  EXPECT_EQ(GetPixel(target.Canvas()->Handle(), 1, 1) & 0xFFFFFF, RGB(255, 0, 0)) << "the starting look";
  // A helper freed while it fades takes its animation with it.
  helper.reset();
  EXPECT_EQ(Fader()->ElementCount(), 0);
}

}  // namespace
