// The marquee with its ticks driven directly: passes, captions changed
// between passes, restarts, resizes, the render bitmap's place, and the
// floating box's marquee as a screenshot.
#include "panels/MarqueeStatus.h"
#include "platform/Forms.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

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

TEST_F(MarqueeForm, FloatingBoxScreenshot) {
  Form->SetBounds(60, 60, 161, 99);
  Marquee->SetBounds(0, 0, 145, 60);
  Marquee->SetCaption(" 拖入保存");
  Marquee->Font()->SetName("宋体");
  Marquee->Font()->SetHeight(-14);
  Marquee->Font()->SetStyle(TFontStyles{fsBold});
  Marquee->SetFrameStyle(fsGroove);
  Marquee->SetFillColor(clSkyBlue);
  Marquee->SetScrollDelay(40);
  Form->Show();
  RunMessagesUntilIdle();
  // Mid-scroll: the text well inside the box.
  for (int i = 0; i < 110; ++i) Marquee->ScrollTick(nullptr);
  SaveScreenshot(Form->Handle(), "panels-marquee");
  TProbeDIB dib(145, 60);
  TWindowDC dc(Form->Handle());
  BitBlt(dib.DC(), 0, 0, 145, 60, dc.Get(), 0, 0, SRCCOPY);
  int ink = 0;
  for (int y = 3; y < 57; ++y)
    for (int x = 3; x < 142; ++x) ink += dib.At(x, y) != ColorToRGB(clSkyBlue);
  EXPECT_GT(ink, 40) << "the caption shows mid-scroll";
}

}  // namespace
