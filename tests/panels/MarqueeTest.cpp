// The marquee with its ticks driven directly: passes, captions changed
// between passes, restarts, resizes, the render bitmap's place, and the
// floating box's marquee as a screenshot.
#include "panels/MarqueeStatus.h"
#include "platform/Forms.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

using namespace testing_support;

namespace {

class MarqueeForm : public ::testing::Test {
protected:
  void SetUp() override {
    Form = New<TForm>(nullptr);
    Form->SetBounds(60, 60, 320, 120);
    Marquee = New<TRzMarqueeStatus>(Form);
    Marquee->SetParent(Form);
    Marquee->SetBounds(0, 0, 222, 24);
    Marquee->SetCaption("abc");
    // Ticks come from the test only.
    Marquee->ScrollTimer()->SetOnTimer(TNotifyEvent());
    Marquee->OnScrollComplete = TNotifyEvent::Lambda([this](TObject*) {
      ++Passes;
      if (OnComplete) OnComplete();
    });
  }
  void TearDown() override { Free(Form); }
  int TextWidth(const AnsiString& text) {
    TBitmap probe;
    probe.Canvas()->Font()->Assign(Marquee->Font());
    return probe.Canvas()->TextWidth(text);
  }
  // Ticks until a pass completes; answers the number of ticks.
  int RunPass(int limit = 5000) {
    const int before = Passes;
    int ticks = 0;
    while (Passes == before && ticks < limit) {
      Marquee->ScrollTick(nullptr);
      ++ticks;
    }
    return ticks;
  }
  TForm* Form = nullptr;
  TRzMarqueeStatus* Marquee = nullptr;
  int Passes = 0;
  std::function<void()> OnComplete;
};

TEST_F(MarqueeForm, APassTakesTheExtentOverTheStepInTicks) {
  ASSERT_TRUE(Marquee->ScrollTimer()->Enabled());
  const int extent = TextWidth("abc") + 222;
  EXPECT_EQ(Marquee->ScrollExtent(), extent);
  for (uint16_t size : {1, 3, 7}) {
    Marquee->SetScrollSize(size);
    EXPECT_EQ(RunPass(), (extent + size - 1) / size) << size;
    EXPECT_EQ(Marquee->ScrollOffset(), 0);
  }
  Marquee->SetScrollSize(0);
  EXPECT_EQ(Marquee->ScrollSize(), 1) << "a step of 0 becomes 1";
}

TEST_F(MarqueeForm, ACaptionSetWhenAPassCompletesAppliesAtOnce) {
  Marquee->SetScrollSize(5);
  OnComplete = [this] { Marquee->SetCaption("增加信息1条 and more"); };
  RunPass();
  EXPECT_EQ(Marquee->ScrollExtent(), TextWidth("增加信息1条 and more") + 222);
  EXPECT_EQ(Marquee->ScrollOffset(), 0);
  Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->ScrollOffset(), 5);
  OnComplete = nullptr;
  EXPECT_EQ(RunPass(), (Marquee->ScrollExtent() - 5 + 4) / 5);
}

TEST_F(MarqueeForm, ScrollingOffAndOnRestartsAtTheRightEdge) {
  for (int i = 0; i < 40; ++i) Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->ScrollOffset(), 40);
  Marquee->SetScrolling(false);
  EXPECT_FALSE(Marquee->ScrollTimer()->Enabled());
  EXPECT_EQ(Marquee->ScrollOffset(), 0);
  Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->ScrollOffset(), 0) << "a stopped marquee does not move";
  Marquee->SetScrolling(true);
  EXPECT_TRUE(Marquee->ScrollTimer()->Enabled());
  Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->ScrollOffset(), 1);
}

TEST_F(MarqueeForm, ALeftToRightTypeStartsTheTimerEvenWhenNotScrolling) {
  Marquee->SetScrolling(false);
  Marquee->SetScrollType(stNone);
  EXPECT_FALSE(Marquee->ScrollTimer()->Enabled());
  Marquee->SetScrollType(stLeftToRight);
  EXPECT_TRUE(Marquee->ScrollTimer()->Enabled());
  Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->ScrollOffset(), 1);
}

TEST_F(MarqueeForm, AResizeDuringAPassMovesTheEnd) {
  for (int i = 0; i < 60; ++i) Marquee->ScrollTick(nullptr);
  Marquee->SetWidth(100);
  EXPECT_EQ(Marquee->ScrollExtent(), TextWidth("abc") + 100);
  EXPECT_EQ(RunPass(), TextWidth("abc") + 100 - 60);
  // Past the new end already: the next tick completes the pass.
  for (int i = 0; i < 90; ++i) Marquee->ScrollTick(nullptr);
  Marquee->SetWidth(50);
  ASSERT_GT(Marquee->ScrollOffset(), Marquee->ScrollExtent());
  EXPECT_EQ(RunPass(), 1);
}

TEST_F(MarqueeForm, AHiddenMarqueeDoesNotMove) {
  Marquee->ScrollTick(nullptr);
  Marquee->SetVisible(false);
  Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->ScrollOffset(), 1);
  Marquee->SetVisible(true);
  Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->ScrollOffset(), 2);
}

TEST_F(MarqueeForm, AGrooveFrameRendersInsideAtTwoTwo) {
  Marquee->SetFrameStyle(fsGroove);
  Marquee->SetBorderWidth(1);
  Marquee->SetFillColor(clSkyBlue);
  Form->Show();
  RunMessagesUntilIdle();
  Marquee->ScrollTick(nullptr);
  EXPECT_EQ(Marquee->RenderBitmap()->GetWidth(), 222 - 6);
  EXPECT_EQ(Marquee->RenderBitmap()->GetHeight(), 24 - 6);
  const RECT r = Marquee->GetTextRect();
  EXPECT_EQ(r.left, 3);
  EXPECT_EQ(r.top, 3);
  TWindowDC dc(Form->Handle());
  // The bitmap's first column and row keep the fill at (2, 2); the groove's
  // outer line stays at (1, 1).
  EXPECT_EQ(GetPixel(dc.Get(), 2, 2), ColorToRGB(clSkyBlue));
  EXPECT_EQ(GetPixel(dc.Get(), 2 + 215, 2 + 17), ColorToRGB(clSkyBlue));
  EXPECT_EQ(GetPixel(dc.Get(), 1, 1), GetSysColor(COLOR_BTNSHADOW));
}

// The floating box: a borderless 145 x 60 window with a border width of 1,
// the marquee filling the rest.
TEST_F(MarqueeForm, FloatingBoxScreenshot) {
  Form->SetBorderStyle(bsNone);
  Form->SetBorderWidth(1);
  Form->SetBounds(60, 60, 145, 60);
  Marquee->SetAlign(alClient);
  Marquee->SetCaption(" 拖入保存");
  Marquee->Font()->SetName("宋体");
  Marquee->Font()->SetHeight(-14);
  Marquee->Font()->SetStyle(TFontStyles{fsBold});
  Marquee->SetFrameStyle(fsGroove);
  Marquee->SetFillColor(clSkyBlue);
  Marquee->SetScrollDelay(40);
  Form->Show();
  RunMessagesUntilIdle();
  ASSERT_EQ(Marquee->Width(), 143);
  ASSERT_EQ(Marquee->Height(), 58);
  // Mid-scroll: the text well inside the box.
  for (int i = 0; i < 90; ++i) Marquee->ScrollTick(nullptr);
  SaveScreenshot(Form->Handle(), "panels-marquee");
  const int w = Marquee->Width(), h = Marquee->Height();
  TProbeDIB dib(w, h);
  TWindowDC dc(Form->Handle());
  BitBlt(dib.DC(), 0, 0, w, h, dc.Get(), 0, 0, SRCCOPY);
  // The bitmap covers (2, 2) to (w - 4, h - 4); its first three columns and
  // rows are the text rectangle's margin.
  int ink = 0, inkLeft = w, inkRight = 0;
  for (int y = 5; y < h - 4; ++y)
    for (int x = 5; x < w - 4; ++x)
      if (dib.At(x, y) != ColorToRGB(clSkyBlue)) {
        ++ink;
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x);
      }
  EXPECT_GT(ink, 40) << "the caption shows mid-scroll";
  EXPECT_GT(inkLeft, 10) << "entered from the right, not yet at the left edge";
  EXPECT_LT(inkRight, w - 10) << "wholly inside";
  EXPECT_EQ(dib.At(1, 1), GetSysColor(COLOR_BTNSHADOW)) << "the groove";
}

// Where the text stands in the render bitmap after ten one-pixel ticks:
// right to left it entered at the right edge, left to right it is about to
// come in at the left.
TEST_F(MarqueeForm, TheTextEntersFromTheSideItsTypeNames) {
  Marquee->SetFrameStyle(fsFlat);  // text rectangle (2, 2, 220, 22): bitmap 218 x 20
  Marquee->SetFillColor(clWhite);
  Marquee->Font()->SetColor(clBlack);
  Marquee->SetCaption("WWWW");
  Form->Show();
  RunMessagesUntilIdle();
  const int textWidth = TextWidth("WWWW");
  auto inkColumns = [this] {
    TBitmap* bitmap = Marquee->RenderBitmap();
    const HDC dc = bitmap->Canvas()->Handle();
    std::pair<int, int> span{bitmap->GetWidth(), -1};
    for (int y = 0; y < bitmap->GetHeight(); ++y)
      for (int x = 0; x < bitmap->GetWidth(); ++x)
        if ((GetPixel(dc, x, y) & 0xFFFFFF) != RGB(255, 255, 255)) {
          span.first = std::min(span.first, x);
          span.second = std::max(span.second, x);
        }
    return span;
  };
  for (int i = 0; i < 10; ++i) Marquee->ScrollTick(nullptr);
  auto span = inkColumns();
  // x = Width - offset = 212, cut off at the bitmap's right edge.
  EXPECT_GE(span.first, 212);
  EXPECT_LE(span.first, 214);
  EXPECT_EQ(span.second, Marquee->RenderBitmap()->GetWidth() - 1);

  Marquee->SetScrollType(stLeftToRight);
  Marquee->SetScrolling(false);
  Marquee->SetScrolling(true);
  for (int i = 0; i < textWidth + 10; ++i) Marquee->ScrollTick(nullptr);
  // x = offset - text width = 10: the whole text from there (the first two
  // columns are the text rectangle's margin and stay background).
  span = inkColumns();
  EXPECT_GE(span.first, 10);
  EXPECT_LE(span.first, 12);
  EXPECT_LE(span.second, 10 + textWidth);
  EXPECT_GT(span.second, 10 + textWidth / 2);
}

}  // namespace
