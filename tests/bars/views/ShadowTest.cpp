// Drop shadows and the opening animation of popup bar windows: the strips round a popup and the
// button that opened it, the alpha of their images (the display composes
// no alpha, so the image bytes are the proof) and the solid 2-pixel shadow
// of an 8-bit screen.
#include "bars/views/BarAnimation.h"
#include "bars/views/BarShadow.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace testing_support;

namespace {

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

TEST(BarShadow, StripsRoundAPopupAndItsOwner) {
  struct Part {
    RECT Bounds;
    int Kind;
    unsigned Corners;
  };
  struct Case {
    const char* Name;
    RECT Owner, Control;
    std::vector<Part> Parts;
  } cases[] = {
      {"popup below its button",
       {100, 100, 160, 120},
       {100, 120, 300, 220},
       {{{160, 104, 164, 120}, 1, dxShadowFadeTop},
        {{104, 220, 304, 224}, 0, dxShadowFadeLeft | dxShadowFadeRight},
        {{300, 124, 304, 220}, 1, dxShadowFadeTop}}},
      {"popup above its button: the roles exchange",
       {100, 300, 160, 320},
       {100, 100, 300, 300},
       {{{300, 104, 304, 300}, 1, dxShadowFadeTop},
        {{104, 320, 164, 324}, 0, dxShadowFadeLeft | dxShadowFadeRight},
        {{160, 300, 304, 304}, 0, dxShadowFadeRight},
        {{160, 300, 164, 320}, 1, 0}}},
      {"popup without an owner",
       {0, 0, 0, 0},
       {10, 10, 110, 60},
       {{{14, 60, 114, 64}, 0, dxShadowFadeLeft | dxShadowFadeRight}, {{110, 14, 114, 60}, 1, dxShadowFadeTop}}},
      {"popup right of its item",
       {10, 10, 110, 30},
       {110, 10, 200, 100},
       {{{200, 14, 204, 100}, 1, dxShadowFadeTop},
        {{14, 30, 110, 34}, 0, dxShadowFadeLeft},
        {{114, 100, 204, 104}, 0, dxShadowFadeLeft | dxShadowFadeRight}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const std::vector<TdxBarShadowPartInfo> parts = dxBarShadowParts(c.Owner, c.Control, 4);
    ASSERT_EQ(parts.size(), c.Parts.size());
    for (size_t i = 0; i < parts.size(); ++i) {
      SCOPED_TRACE(i);
      EXPECT_TRUE(SameRect(parts[i].Bounds, c.Parts[i].Bounds));
      EXPECT_EQ(parts[i].Kind, c.Parts[i].Kind);
      EXPECT_EQ(parts[i].Corners, c.Parts[i].Corners);
    }
  }
}

TEST(BarShadow, AlphaFallsOutwardsAndFadesAtTheEnds) {
  // A strip right of something: 60, 45, 30, 15 from the inner edge.
  std::vector<uint8_t> right = dxBarShadowAlphas(4, 10, 1, 0, 4);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 4; ++x) EXPECT_EQ(right[static_cast<size_t>(y * 4 + x)], 15 * (4 - x));
  // Below something, fading at both ends over 4 × 4.
  std::vector<uint8_t> below = dxBarShadowAlphas(20, 4, 0, dxShadowFadeLeft | dxShadowFadeRight, 4);
  struct Pixel {
    int X, Y, Alpha;
  } pixels[] = {{0, 0, MulDiv(60, 1, 5)}, {1, 0, MulDiv(60, 2, 5)}, {3, 0, MulDiv(60, 4, 5)}, {4, 0, 60},
                {10, 3, 15},            {19, 0, MulDiv(60, 1, 5)}, {18, 1, MulDiv(45, 2, 5)}, {16, 2, MulDiv(30, 4, 5)}, {15, 2, 30}};
  for (const Pixel& p : pixels) {
    SCOPED_TRACE(p.X * 100 + p.Y);
    EXPECT_EQ(below[static_cast<size_t>(p.Y * 20 + p.X)], p.Alpha);
  }
  // A top fade on a right strip.
  std::vector<uint8_t> top = dxBarShadowAlphas(4, 10, 1, dxShadowFadeTop, 4);
  EXPECT_EQ(top[0], MulDiv(60, 1, 5));
  EXPECT_EQ(top[3 * 4 + 0], MulDiv(60, 4, 5));
  EXPECT_EQ(top[4 * 4 + 0], 60);
  // Ends that need more room than the strip has are not drawn.
  EXPECT_FALSE(dxBarShadowPartBigEnough({RECT{0, 0, 3, 4}, 0, dxShadowFadeLeft}, 4));
  EXPECT_TRUE(dxBarShadowPartBigEnough({RECT{0, 0, 3, 4}, 0, 0}, 4));
}

TEST(BarShadow, LayeredStripsCarryTheirAlphaInTheImage) {
  TestWindow owner(200, 100, {}, "Shadow owner", WS_POPUP | WS_VISIBLE);
  TdxBarShadow shadow(owner.Handle());
  shadow.SetTransparent(true);
  shadow.SetBounds(RECT{100, 100, 160, 120}, RECT{100, 120, 300, 220});
  shadow.SetVisible(true);
  RunMessagesUntilIdle();
  ASSERT_EQ(shadow.PartCount(), 3);
  for (int i = 0; i < shadow.PartCount(); ++i) {
    SCOPED_TRACE(i);
    HWND part = shadow.PartWindow(i);
    ASSERT_TRUE(IsWindow(part));
    EXPECT_TRUE(IsWindowVisible(part));
    EXPECT_TRUE(GetWindowLongA(part, GWL_EXSTYLE) & WS_EX_LAYERED);
    RECT w{};
    GetWindowRect(part, &w);
    EXPECT_TRUE(SameRect(w, shadow.PartInfo(i).Bounds));
    EXPECT_EQ(SendMessageA(part, WM_NCHITTEST, 0, MAKELPARAM(w.left, w.top)), HTTRANSPARENT);
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectA(shadow.PartImage(i), sizeof dib, &dib), static_cast<int>(sizeof dib));
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    const int width = w.right - w.left, height = w.bottom - w.top;
    const TdxBarShadowPartInfo& info = shadow.PartInfo(i);
    const std::vector<uint8_t> alpha = dxBarShadowAlphas(width, height, info.Kind, info.Corners, 4);
    for (int k = 0; k < width * height; ++k) ASSERT_EQ(bits[k], static_cast<uint32_t>(alpha[static_cast<size_t>(k)]) << 24);
  }
  shadow.SetVisible(false);
  for (int i = 0; i < shadow.PartCount(); ++i) EXPECT_FALSE(IsWindowVisible(shadow.PartWindow(i)));
}

TEST(BarShadow, AnEightBitScreenGetsTwoSolidPixels) {
  TestWindow owner(200, 100, {}, "Shadow owner", WS_POPUP | WS_VISIBLE);
  TdxBarShadow shadow(owner.Handle());
  shadow.SetTransparent(false);
  EXPECT_EQ(shadow.ShadowSize(), 2);
  shadow.SetBounds(RECT{}, RECT{300, 300, 400, 360});
  shadow.SetVisible(true);
  RunMessagesUntilIdle();
  ASSERT_EQ(shadow.PartCount(), 2);
  for (int i = 0; i < shadow.PartCount(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_FALSE(GetWindowLongA(shadow.PartWindow(i), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_EQ(shadow.PartImage(i), nullptr);
    RECT w{};
    GetWindowRect(shadow.PartWindow(i), &w);
    EXPECT_EQ(shadow.PartInfo(i).Kind == 1 ? w.right - w.left : w.bottom - w.top, 2);
    const Image pixels = ReadWindowPixels(shadow.PartWindow(i));
    ASSERT_GT(pixels.Width, 0);
    for (uint32_t p : pixels.Pixels) ASSERT_EQ(p, Rgb(GetSysColor(COLOR_BTNSHADOW)));
  }
}

}  // namespace

// --- The opening animation of a popup -------------------------------------------------


namespace {

std::atomic<DWORD> FakeTicks{0};
// Every look at the clock sees it move on: a step never waits.
DWORD NextTick() { return ++FakeTicks; }

struct TTickSeam {
  TTickSeam() { TdxBarAnimationThread::SetTickSource(&NextTick); }
  ~TTickSeam() { TdxBarAnimationThread::SetTickSource(nullptr); }
};

TdxBarAnimationRecord Record(HWND wnd, int kind, int first) {
  TdxBarAnimationRecord r;
  r.Window = wnd;
  r.Kind = kind;
  r.FinalLeft = 300;
  r.FinalTop = 200;
  r.ClientWidth = 200;
  r.ClientHeight = 100;
  r.BorderWidth = 2;
  r.BorderHeight = 2;
  r.FirstValue = first;
  r.Total = 100;
  r.Step = 10;
  return r;
}

TEST(BarAnimation, SlideKeepsTheWidthUnfoldGrowsBoth) {
  struct Case {
    const char* Name;
    int Kind, First, Step;
    bool FromRight, FromBottom;
    RECT Bounds;
    POINT Source;
  } cases[] = {
      {"slide", dxBarAnimationSlide, 0, 1, false, false, {300, 200, 502, 212}, {0, 90}},
      {"slide, step 5", dxBarAnimationSlide, 0, 5, false, false, {300, 200, 502, 252}, {0, 50}},
      {"unfold", dxBarAnimationUnfold, -20, 1, false, false, {300, 200, 332, 212}, {0, 90}},
      {"unfold, step 5", dxBarAnimationUnfold, -20, 5, false, false, {300, 200, 372, 252}, {0, 50}},
      {"unfold from the right", dxBarAnimationUnfold, -20, 1, true, false, {470, 200, 502, 212}, {170, 90}},
      {"unfold from the bottom", dxBarAnimationUnfold, -20, 1, false, true, {300, 290, 332, 302}, {0, 0}},
      {"unfold, last step", dxBarAnimationUnfold, -20, 10, false, false, {300, 200, 422, 302}, {0, 0}},
      {"slide, last step", dxBarAnimationSlide, 0, 10, false, false, {300, 200, 502, 302}, {0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TdxBarAnimationRecord r = Record(nullptr, c.Kind, c.First);
    r.FromRight = c.FromRight;
    r.FromBottom = c.FromBottom;
    const TdxBarAnimationStep s = dxBarAnimationStepAt(r, c.Step);
    EXPECT_TRUE(SameRect(s.Bounds, c.Bounds));
    EXPECT_EQ(s.Source.x, c.Source.x);
    EXPECT_EQ(s.Source.y, c.Source.y);
  }
}

TEST(BarAnimation, TenStepsThenTheFinalPlace) {
  TTickSeam seam;
  TestWindow popup(10, 10, {}, "Animated", WS_POPUP);
  int painted = 0;
  auto* thread = new TdxBarAnimationThread(
      Record(popup.Handle(), dxBarAnimationUnfold, -20), [&](HDC) { ++painted; }, [] { return false; });
  EXPECT_EQ(painted, 1);
  thread->Start();
  thread->WaitFor();
  EXPECT_EQ(thread->StepCount(), 10);
  EXPECT_TRUE(thread->PlacedAtEnd());
  RECT w{};
  GetWindowRect(popup.Handle(), &w);
  EXPECT_TRUE(SameRect(w, RECT{300, 200, 502, 302}));
  EXPECT_TRUE(IsWindowVisible(popup.Handle()));
  Free(thread);
  EXPECT_EQ(TdxBarAnimationThread::LiveCount(), 0);
}

TEST(BarAnimation, StoppedWhileClosingItLeavesNoThreadAndShowsNothingAgain) {
  TTickSeam seam;
  TestWindow popup(10, 10, {}, "Animated", WS_POPUP);
  for (int i = 0; i < 200; ++i) {
    bool closing = false;
    auto* thread = new TdxBarAnimationThread(
        Record(popup.Handle(), i % 2 ? dxBarAnimationSlide : dxBarAnimationUnfold, i % 2 ? 0 : -20), nullptr,
        [&closing] { return closing; });
    if (i % 3 != 2) thread->Start();
    // The popup closes mid-animation.
    closing = true;
    dxBarStopAnimation(thread);
    EXPECT_EQ(thread, nullptr);
    ShowWindow(popup.Handle(), SW_HIDE);
    RunMessagesUntilIdle();
    ASSERT_FALSE(IsWindowVisible(popup.Handle())) << i;
  }
  EXPECT_EQ(TdxBarAnimationThread::LiveCount(), 0);
}

}  // namespace
