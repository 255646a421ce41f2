// Status panes on a form: the shared blink timer, text insets, loading,
// the field pane, and the frame controller that drives panes and any
// control that publishes its settings.
#include "panels/FrameController.h"
#include "panels/StatusPane.h"
#include "platform/FormResource.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <initializer_list>

using namespace testing_support;

namespace {

// A form on the virtual display holding the panes of one test.
class PaneForm : public ::testing::Test {
protected:
  void SetUp() override {
    Form = New<TForm>(nullptr);
    Form->SetBounds(40, 40, 360, 200);
    Form->SetColor(clBtnFace);
  }
  void TearDown() override { Free(Form); }
  template <class T>
  T* AddPane(int left, int top, int width = 100, int height = 20) {
    T* pane = New<T>(Form);
    pane->SetParent(Form);
    pane->SetBounds(left, top, width, height);
    return pane;
  }
  TForm* Form = nullptr;
};

TEST_F(PaneForm, BlinkingShowsTheNormalColourForIntervalOffThenTheBlinkColour) {
  auto* pane = AddPane<TRzStatusPane>(10, 10);
  auto* quiet = AddPane<TRzStatusPane>(10, 40);
  pane->Font()->SetColor(clBlack);
  pane->SetBlinkColor(clRed);
  pane->SetBlinkIntervalOff(300);
  pane->SetBlinkIntervalOn(700);
  pane->SetBlinking(true);
  ASSERT_NE(BlinkingControls, nullptr);
  EXPECT_EQ(BlinkingControls->BlinkState(), 1);
  EXPECT_EQ(pane->CurrentTextColor(), clBlack) << "blinking starts at the next tick";
  const struct {
    uint8_t State;
    unsigned Interval;
    TColor Color;
  } ticks[] = {{0, 300, clBlack}, {1, 700, clRed}, {0, 300, clBlack}, {1, 700, clRed}};
  for (const auto& t : ticks) {
    BlinkingControls->TimerFired(nullptr);
    EXPECT_EQ(BlinkingControls->BlinkState(), t.State);
    EXPECT_EQ(BlinkingControls->Timer()->Interval(), t.Interval);
    EXPECT_EQ(pane->CurrentTextColor(), t.Color);
    EXPECT_EQ(quiet->CurrentTextColor(), quiet->NormalTextColor());
  }
  pane->SetBlinking(false);
  EXPECT_EQ(pane->CurrentTextColor(), clBlack);
}

TEST_F(PaneForm, ThePaneLoadedLastSetsBothIntervals) {
  ReadComponentText(
      "object Host: TForm\n"
      "  object P1: TRzStatusPane\n"
      "    BlinkIntervalOff = 100\n"
      "    BlinkIntervalOn = 150\n"
      "  end\n"
      "  object P2: TRzStatusPane\n"
      "    BlinkIntervalOff = 200\n"
      "    BlinkIntervalOn = 250\n"
      "  end\n"
      "end\n",
      Form, "Host");
  auto* p1 = ObjectAs<TRzStatusPane>(Form->FindComponent("P1"));
  ASSERT_NE(p1, nullptr);
  EXPECT_EQ(p1->BlinkIntervalOff(), 200);
  EXPECT_EQ(p1->BlinkIntervalOn(), 250);
}

TEST(BlinkingList, TheLastPaneFreesListAndTimerAndANewOneStartsAt500) {
  const THandleCounts before = HandleCounts();
  auto* a = New<TRzStatusPane>(nullptr);
  auto* b = New<TRzStatusPane>(nullptr);
  a->SetBlinkIntervalOff(0);
  a->SetBlinkIntervalOn(0);
  Free(a);
  ASSERT_NE(BlinkingControls, nullptr);
  EXPECT_EQ(BlinkingControls->ControlCount(), 1);
  Free(b);
  EXPECT_EQ(BlinkingControls, nullptr);
  EXPECT_EQ(HandleCounts(), before) << "the timer's window went with the list";
  auto* c = New<TRzStatusPane>(nullptr);
  ASSERT_NE(BlinkingControls, nullptr);
  EXPECT_EQ(c->BlinkIntervalOff(), 500);
  EXPECT_EQ(c->BlinkIntervalOn(), 500);
  EXPECT_EQ(BlinkingControls->Timer()->Interval(), 500u);
  EXPECT_TRUE(BlinkingControls->Timer()->Enabled());
  Free(c);
}

// As on every form of the client: both intervals 0.
TEST(BlinkingList, IntervalsOfZeroTickOnceAndStop) {
  auto* pane = New<TRzStatusPane>(nullptr);
  pane->SetBlinkIntervalOff(0);
  pane->SetBlinkIntervalOn(0);
  ASSERT_EQ(BlinkingControls->BlinkState(), 1);
  ASSERT_TRUE(RunMessagesUntil([] { return BlinkingControls->BlinkState() == 0; }, 5000)) << "the first tick";
  EXPECT_EQ(BlinkingControls->Timer()->Interval(), 0u);
  // Longer than the 500 ms the timer was started with: no second tick.
  ASSERT_TRUE(RunTimerTicks(50, 14));
  EXPECT_EQ(BlinkingControls->BlinkState(), 0);
  Free(pane);
}

TEST_F(PaneForm, TextInsetsFollowTheFrameStyle) {
  auto* pane = AddPane<TRzStatusPane>(10, 10, 100, 20);
  const struct {
    TFrameStyle Style;
    int Inset;
  } cases[] = {{fsNone, 1},    {fsFlat, 2},       {fsGroove, 3},  {fsBump, 3},   {fsLowered, 3},
               {fsButtonDown, 3}, {fsRaised, 3}, {fsButtonUp, 3}, {fsStatus, 2}, {fsPopup, 2},
               {fsFlatBold, 3}, {fsFlatRounded, 1}};
  for (const auto& c : cases) {
    pane->SetFrameStyle(c.Style);
    const RECT r = pane->GetTextRect();
    EXPECT_EQ(r.left, c.Inset) << static_cast<int>(c.Style);
    EXPECT_EQ(r.top, c.Inset) << static_cast<int>(c.Style);
    EXPECT_EQ(r.right, 100 - c.Inset) << static_cast<int>(c.Style);
    EXPECT_EQ(r.bottom, 20 - c.Inset) << static_cast<int>(c.Style);
  }
}

TEST_F(PaneForm, OwnColourForcesAnOpaquePaneWhenLoaded) {
  ReadComponentText(
      "object Host: TForm\n"
      "  object Own: TRzStatusPane\n"
      "    Color = clRed\n"
      "    ParentColor = False\n"
      "    Transparent = True\n"
      "  end\n"
      "  object Shared: TRzStatusPane\n"
      "    Transparent = True\n"
      "  end\n"
      "end\n",
      Form, "Host");
  auto* own = ObjectAs<TRzStatusPane>(Form->FindComponent("Own"));
  auto* shared = ObjectAs<TRzStatusPane>(Form->FindComponent("Shared"));
  ASSERT_TRUE(own && shared);
  EXPECT_FALSE(own->Transparent());
  EXPECT_TRUE(own->ControlStyle().Contains(csOpaque));
  EXPECT_TRUE(shared->Transparent());
}

TEST_F(PaneForm, AFieldPaneWithoutLabelPaintsLikeAPlainPane) {
  auto* plain = AddPane<TRzStatusPane>(10, 10, 90, 22);
  auto* field = AddPane<TRzFieldStatus>(10, 50, 90, 22);
  for (TRzCustomStatusPane* pane : {static_cast<TRzCustomStatusPane*>(plain), static_cast<TRzCustomStatusPane*>(field)}) {
    pane->SetCaption("1/12");
    pane->SetFrameStyle(fsGroove);
    pane->SetAutoSize(true);
  }
  EXPECT_EQ(field->Width(), plain->Width());
  Form->Show();
  RunMessagesUntilIdle();
  TProbeDIB dib(360, 200);
  Form->PaintTo(dib.DC(), 0, 0);
  bool inked = false;
  for (int y = 0; y < 22; ++y)
    for (int x = 0; x < plain->Width(); ++x) {
      ASSERT_EQ(dib.At(10 + x, 50 + y), dib.At(10 + x, 10 + y)) << x << "," << y;
      inked = inked || dib.At(10 + x, 10 + y) == RGB(0, 0, 0);
    }
  EXPECT_TRUE(inked) << "the caption was drawn";
  // With a label the text moves right and the width grows.
  field->SetFieldLabel("Page:");
  EXPECT_GT(field->Width(), plain->Width());
  EXPECT_GT(field->GetTextRect().left, plain->GetTextRect().left);
}

// The columns a pane's pixels of one kind take, read back from the form.
struct InkSpan {
  int First = INT32_MAX, Last = -1;
};

template <class Pred>
InkSpan InkColumns(TProbeDIB& dib, const RECT& r, Pred is) {
  InkSpan span;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (is(dib.At(x, y))) {
        span.First = std::min(span.First, x);
        span.Last = std::max(span.Last, x);
      }
  return span;
}

bool IsDark(COLORREF c) { return GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100; }
bool IsRed(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 100 && GetBValue(c) < 100; }

// A pane that aligns right to left mirrors its alignment, and a field pane
// puts its label first in reading order: on the right.
TEST_F(PaneForm, RightToLeftPanesMirrorTheirAlignmentAndTheLabel) {
  auto* leftToRight = AddPane<TRzStatusPane>(10, 10, 160, 22);
  auto* rightToLeft = AddPane<TRzStatusPane>(10, 40, 160, 22);
  auto* field = AddPane<TRzFieldStatus>(10, 70, 160, 22);
  auto* fieldRtl = AddPane<TRzFieldStatus>(10, 100, 160, 22);
  for (TRzCustomStatusPane* pane : std::initializer_list<TRzCustomStatusPane*>{leftToRight, rightToLeft}) {
    pane->SetCaption("1/12");
    pane->SetFrameStyle(fsNone);
    pane->Font()->SetColor(clBlack);
  }
  for (TRzFieldStatus* pane : {field, fieldRtl}) {
    pane->SetCaption("77");
    pane->SetFieldLabel("Page");
    pane->SetFieldLabelColor(clRed);
    pane->SetFrameStyle(fsNone);
    pane->Font()->SetColor(clBlack);
  }
  rightToLeft->SetBiDiMode(bdRightToLeft);
  fieldRtl->SetBiDiMode(bdRightToLeft);
  ASSERT_TRUE(rightToLeft->UseRightToLeftAlignment());
  // The text rectangle gives the label's room on the right.
  EXPECT_EQ(fieldRtl->GetTextRect().left, 1);
  EXPECT_EQ(field->GetTextRect().right, 159);
  EXPECT_EQ(159 - fieldRtl->GetTextRect().right, field->GetTextRect().left - 1);

  Form->Show();
  RunMessagesUntilIdle();
  TProbeDIB dib(360, 200);
  Form->PaintTo(dib.DC(), 0, 0);
  // Text starts at border 1 + offset 2 + 1 from the left edge, or ends as far
  // from the right edge.
  const InkSpan ltr = InkColumns(dib, RECT{10, 10, 170, 32}, IsDark);
  const InkSpan rtl = InkColumns(dib, RECT{10, 40, 170, 62}, IsDark);
  ASSERT_GE(ltr.Last, 0);
  ASSERT_GE(rtl.Last, 0);
  EXPECT_GE(ltr.First, 10 + 4);
  EXPECT_LT(ltr.Last, 10 + 80);
  EXPECT_LE(rtl.Last, 170 - 4);
  EXPECT_GT(rtl.First, 10 + 80);
  EXPECT_EQ(ltr.Last - ltr.First, rtl.Last - rtl.First) << "the same text";

  const InkSpan label = InkColumns(dib, RECT{10, 70, 170, 92}, IsRed);
  const InkSpan text = InkColumns(dib, RECT{10, 70, 170, 92}, IsDark);
  const InkSpan labelRtl = InkColumns(dib, RECT{10, 100, 170, 122}, IsRed);
  const InkSpan textRtl = InkColumns(dib, RECT{10, 100, 170, 122}, IsDark);
  ASSERT_TRUE(label.Last >= 0 && text.Last >= 0 && labelRtl.Last >= 0 && textRtl.Last >= 0);
  EXPECT_LT(label.Last, text.First) << "label, then the text";
  EXPECT_GT(labelRtl.First, textRtl.Last) << "right to left: the label on the right";
  EXPECT_LE(labelRtl.Last, 170 - 4);
  EXPECT_EQ(label.Last - label.First, labelRtl.Last - labelRtl.First);
}

// The application's hint reaches a pane with AutoHint on the active form.
TEST_F(PaneForm, TheApplicationsHintReachesAnAutoHintPane) {
  auto* pane = AddPane<TRzStatusPane>(10, 10);
  pane->SetAutoHint(true);
  Form->Show();
  SetForegroundWindow(Form->Handle());
  ASSERT_TRUE(RunMessagesUntil([&] { return Form->Active(); }, 2000));
  Application->SetHint("新建文章");
  EXPECT_EQ(pane->Caption(), "新建文章");
  Application->SetHint("");
  EXPECT_EQ(pane->Caption(), "");
}

// -- Frame controller --------------------------------------------------------

// A control that only publishes the controller's property names.
class TFramedProbe : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TGraphicControl::TGraphicControl;
  TFrameStyle FrameStyle() const { return FStyle; }
  void SetFrameStyle(TFrameStyle value) {
    FStyle = value;
    ++Sets;
  }
  TSides FrameSides() const { return FSides; }
  void SetFrameSides(TSides value) { FSides = value; }
  TFrameStyle FStyle = fsNone;
  TSides FSides;
  int Sets = 0;
};
const TClassInfo TFramedProbe::ClassInfo{"TFramedProbe", &TGraphicControl::ClassInfo, nullptr};
const TPublishedRegistration probeRegistration(&TFramedProbe::ClassInfo, {
    Property<&TFramedProbe::FrameStyle, &TFramedProbe::SetFrameStyle>("FrameStyle", FrameStyleNames),
    Property<&TFramedProbe::FrameSides, &TFramedProbe::SetFrameSides>("FrameSides", SideNames),
});

// A pane that counts the settings it is given.
class TCountingPane : public TRzStatusPane {
public:
  using TRzStatusPane::TRzStatusPane;
  void UpdateFromFrameController() override {
    ++Applied;
    TRzStatusPane::UpdateFromFrameController();
  }
  int Applied = 0;
};

TEST_F(PaneForm, AControllerPushesItsSettingsToPanesAndNamedProperties) {
  auto* controller = New<TRzFrameController>(Form);
  auto* pane = AddPane<TCountingPane>(10, 10);
  auto* keeper = AddPane<TRzStatusPane>(10, 40);
  keeper->SetFillColor(clYellow);
  keeper->SetFrameControllerNotifications(fcpAllNotifications - fcpColor);
  auto* probe = New<TFramedProbe>(Form);
  probe->SetParent(Form);
  controller->SetFrameVisible(true);

  pane->SetFrameController(controller);
  pane->SetFrameController(nullptr);
  pane->Applied = 0;
  pane->SetFrameController(controller);
  EXPECT_EQ(pane->Applied, 1);
  controller->AddControl(pane);
  EXPECT_EQ(pane->Applied, 1) << "registering twice applies once";
  keeper->SetFrameController(controller);
  controller->AddControl(probe);
  EXPECT_EQ(probe->FrameStyle(), fsFlat) << "a control that only publishes the property gets it by name";
  EXPECT_EQ(probe->FrameSides(), sdAllSides);

  controller->SetColor(clAqua);
  EXPECT_EQ(pane->FillColor(), clAqua);
  EXPECT_EQ(keeper->FillColor(), clYellow) << "without fcpColor the pane keeps its colour";
  controller->SetFrameStyle(fsGroove);
  EXPECT_EQ(pane->FrameStyle(), fsGroove);
  EXPECT_EQ(probe->FrameStyle(), fsGroove);
  controller->SetFrameSides(TSides{sdTop, sdBottom});
  EXPECT_EQ(probe->FrameSides(), (TSides{sdTop, sdBottom}));

  // Changes between BeginUpdate and EndUpdate arrive once, as a full update.
  pane->Applied = 0;
  const int probeSets = probe->Sets;
  controller->BeginUpdate();
  controller->SetFrameStyle(fsLowered);
  controller->SetFrameColor(clRed);
  controller->SetColor(clLime);
  EXPECT_EQ(pane->Applied, 0);
  controller->EndUpdate();
  EXPECT_EQ(pane->Applied, 1);
  EXPECT_EQ(probe->Sets, probeSets + 1);
  EXPECT_EQ(pane->FrameStyle(), fsLowered);
  EXPECT_EQ(pane->FlatColor(), clRed);
  EXPECT_EQ(pane->FlatColorAdjustment(), 0);

  // With FrameVisible False the panes ignore every change.
  controller->SetFrameVisible(false);
  controller->SetFrameStyle(fsRaised);
  EXPECT_EQ(pane->FrameStyle(), fsLowered);
  EXPECT_EQ(probe->FrameStyle(), fsRaised) << "a plain control has no such rule";

  // A controller that goes leaves no dangling reference.
  Free(controller);
  EXPECT_EQ(pane->FrameController(), nullptr);
}

TEST_F(PaneForm, AnOldFrameFlatLoadsAsHotTrackingWithTheStatusLook) {
  ReadComponentText(
      "object Host: TForm\n"
      "  object Old: TRzFrameController\n"
      "    FrameFlat = True\n"
      "    FrameFlatStyle = fsButtonUp\n"
      "  end\n"
      "  object Older: TRzFrameController\n"
      "    FrameFocusStyle = fsRaised\n"
      "  end\n"
      "end\n",
      Form, "Host");
  auto* old = ObjectAs<TRzFrameController>(Form->FindComponent("Old"));
  auto* older = ObjectAs<TRzFrameController>(Form->FindComponent("Older"));
  ASSERT_TRUE(old && older);
  EXPECT_TRUE(old->FrameHotTrack());
  EXPECT_TRUE(old->FrameVisible());
  EXPECT_EQ(old->FrameStyle(), fsStatus);
  EXPECT_EQ(old->FrameHotStyle(), fsLowered);
  EXPECT_EQ(older->FrameHotStyle(), fsRaised);
  EXPECT_FALSE(older->FrameHotTrack());
  // Nothing obsolete is written back.
  const AnsiString text = WriteComponentText(old);
  EXPECT_EQ(text.find("FrameFlat"), AnsiString::npos) << text;
}

TEST_F(PaneForm, AutoHintShowsTheApplicationsHint) {
  auto* pane = AddPane<TRzStatusPane>(10, 10);
  pane->SetAutoHint(true);
  auto* action = New<THintAction>(nullptr);
  action->SetHint("打开管理界面");
  EXPECT_TRUE(pane->ExecuteAction(action));
  EXPECT_EQ(pane->Caption(), "打开管理界面");
  pane->SetAutoHint(false);
  action->SetHint("x");
  pane->ExecuteAction(action);
  EXPECT_EQ(pane->Caption(), "打开管理界面");
  Free(action);
}

}  // namespace
