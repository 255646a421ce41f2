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
#include <string>
#include <vector>

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

// A control that publishes some of the controller's names and records the
// order in which they are set.
class TOrderProbe : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TGraphicControl::TGraphicControl;
  TColor ProbeColor() const { return FProbeColor; }
  void SetProbeColor(TColor value) { FProbeColor = value, Sets.push_back("Color"); }
  bool ProbeParentColor() const { return FProbeParentColor; }
  void SetProbeParentColor(bool value) { FProbeParentColor = value, Sets.push_back("ParentColor"); }
  TColor FocusColor() const { return FFocusColor; }
  void SetFocusColor(TColor value) { FFocusColor = value, Sets.push_back("FocusColor"); }
  TFrameStyle FrameStyle() const { return FStyle; }
  void SetFrameStyle(TFrameStyle value) { FStyle = value, Sets.push_back("FrameStyle"); }
  bool FrameVisible() const { return FVisible; }
  void SetFrameVisible(bool value) { FVisible = value, Sets.push_back("FrameVisible"); }
  TColor FProbeColor = clNone, FFocusColor = clNone;
  bool FProbeParentColor = true, FVisible = false;
  TFrameStyle FStyle = fsNone;
  std::vector<std::string> Sets;
};
const TClassInfo TOrderProbe::ClassInfo{"TOrderProbe", &TGraphicControl::ClassInfo, nullptr};
const TPublishedRegistration orderProbeRegistration(&TOrderProbe::ClassInfo, {
    Property<&TOrderProbe::ProbeColor, &TOrderProbe::SetProbeColor>("Color", pkColor),
    Property<&TOrderProbe::ProbeParentColor, &TOrderProbe::SetProbeParentColor>("ParentColor"),
    Property<&TOrderProbe::FocusColor, &TOrderProbe::SetFocusColor>("FocusColor", pkColor),
    Property<&TOrderProbe::FrameStyle, &TOrderProbe::SetFrameStyle>("FrameStyle", FrameStyleNames),
    Property<&TOrderProbe::FrameVisible, &TOrderProbe::SetFrameVisible>("FrameVisible"),
});

using Names = std::vector<std::string>;

TEST_F(PaneForm, ControllerSettingsArriveInTheirOrderAndByTheirRules) {
  auto* controller = New<TRzFrameController>(Form);
  auto* probe = New<TOrderProbe>(Form);
  probe->SetParent(Form);
  controller->AddControl(probe);
  EXPECT_EQ(probe->Sets, (Names{"ParentColor", "Color", "FocusColor", "FrameStyle", "FrameVisible"}))
      << "a full update, in its order";
  EXPECT_EQ(probe->ProbeColor(), clWindow);
  EXPECT_FALSE(probe->ProbeParentColor());

  // Color: the focus colour follows while it was the same; ParentColor
  // goes False.
  probe->Sets.clear();
  controller->SetColor(clAqua);
  EXPECT_EQ(controller->FocusColor(), clAqua);
  EXPECT_EQ(probe->Sets, Names{"Color"});
  controller->SetFocusColor(clYellow);
  controller->SetColor(clLime);
  EXPECT_EQ(controller->FocusColor(), clYellow);
  controller->SetParentColor(true);
  controller->SetColor(clRed);
  EXPECT_FALSE(controller->ParentColor());

  // ParentColor: itself, and the colour again when it goes False; a full
  // update leaves the colour out while it is True.
  controller->SetParentColor(true);
  probe->Sets.clear();
  controller->SetParentColor(false);
  EXPECT_EQ(probe->Sets, (Names{"ParentColor", "Color"}));
  controller->SetParentColor(true);
  probe->Sets.clear();
  controller->BeginUpdate();
  controller->EndUpdate();
  EXPECT_EQ(probe->Sets, (Names{"ParentColor", "FocusColor", "FrameStyle", "FrameVisible"}));

  // Hot tracking shows the frame on all four sides.
  controller->SetFrameSides(TSides{sdTop});
  controller->SetFrameHotTrack(true);
  EXPECT_TRUE(controller->FrameVisible());
  EXPECT_EQ(controller->FrameSides(), sdAllSides);
}

// A control that registered itself directly and is freed without leaving:
// the controller forgets it, whoever owns it.
TEST_F(PaneForm, AControlFreedWhileRegisteredLeavesTheController) {
  auto* controller = New<TRzFrameController>(Form);
  auto* sibling = New<TOrderProbe>(Form);
  auto* stranger = New<TOrderProbe>(nullptr);
  for (TControl* control : {static_cast<TControl*>(sibling), static_cast<TControl*>(stranger)}) {
    control->SetParent(Form);
    controller->AddControl(control);
  }
  ASSERT_EQ(controller->ControlCount(), 2);
  Free(stranger);
  Free(sibling);
  EXPECT_EQ(controller->ControlCount(), 0);
  controller->SetFrameStyle(fsRaised);  // reaches no freed control
}

TEST_F(PaneForm, AssigningAControllerCopiesEverySettingAndDeliversOnce) {
  auto* source = New<TRzFrameController>(Form);
  auto* target = New<TRzFrameController>(Form);
  auto* pane = AddPane<TCountingPane>(10, 10);
  source->SetColor(clAqua);
  source->SetFocusColor(clYellow);
  source->SetDisabledColor(clGray);
  source->SetReadOnlyColor(clSilver);
  source->SetReadOnlyColorOnFocus(true);
  source->SetFlatButtonColor(clTeal);
  source->SetFlatButtons(false);
  source->SetFrameColor(clRed);
  source->SetFrameHotColor(clMaroon);
  source->SetFrameHotStyle(fsRaised);
  source->SetFrameStyle(fsGroove);
  source->SetFrameVisible(true);
  source->SetFrameSides(TSides{sdLeft, sdRight});
  source->SetFramingPreference(fpCustomFraming);
  source->SetParentColor(true);
  pane->SetFrameController(target);
  pane->Applied = 0;
  target->Assign(source);
  EXPECT_EQ(pane->Applied, 1);
  // Every published setting the same: the streams differ in the name only.
  const AnsiString written = WriteComponentText(target), expected = WriteComponentText(source);
  EXPECT_EQ(written.substr(written.find('\n')), expected.substr(expected.find('\n')));
  EXPECT_NE(expected.find("FramingPreference = fpCustomFraming"), AnsiString::npos) << expected;
  EXPECT_EQ(pane->FrameStyle(), fsGroove);
  EXPECT_EQ(pane->FlatColor(), clRed);
}

TEST_F(PaneForm, TheSettingsStoreStreamsItsPropertiesAndItsReferenceClearsWhenItGoes) {
  ReadComponentText(
      "object Host: TForm\n"
      "  object Store: TRzRegIniFile\n"
      "    Path = 'Software\\Mevra'\n"
      "    PathType = ptRegistry\n"
      "    RegKey = hkeyLocalMachine\n"
      "    RegAccess = [keyRead, keyWrite]\n"
      "    SpecialFolder = sfUserDocuments\n"
      "    FileEncoding = feUTF8\n"
      "  end\n"
      "  object Frames: TRzFrameController\n"
      "    RegIniFile = Store\n"
      "  end\n"
      "end\n",
      Form, "Host");
  auto* store = ObjectAs<TRzRegIniFile>(Form->FindComponent("Store"));
  auto* frames = ObjectAs<TRzFrameController>(Form->FindComponent("Frames"));
  ASSERT_TRUE(store && frames);
  EXPECT_EQ(store->Path(), "Software\\Mevra");
  EXPECT_EQ(store->PathType(), ptRegistry);
  EXPECT_EQ(store->RegKey(), hkeyLocalMachine);
  EXPECT_EQ(store->RegAccess(), (TRzRegAccess{keyRead, keyWrite}));
  EXPECT_EQ(store->SpecialFolder(), sfUserDocuments);
  EXPECT_EQ(store->FileEncoding(), feUTF8);
  EXPECT_TRUE(store->RefreshStorage());
  EXPECT_EQ(frames->RegIniFile(), store);
  const AnsiString text = WriteComponentText(store);
  EXPECT_NE(text.find("RegKey = hkeyLocalMachine"), AnsiString::npos) << text;
  EXPECT_EQ(text.find("FileEncoding = feDefault"), AnsiString::npos) << "defaults are not written";
  Free(store);
  EXPECT_EQ(frames->RegIniFile(), nullptr);
}

// Obsolete properties of every kind are read and dropped; what follows them
// still loads.
class TOldFormProbe : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;
  int Kept() const { return FKept; }
  void SetKept(int value) { FKept = value; }
  int FKept = 0;
};
const TClassInfo TOldFormProbe::ClassInfo{"TOldFormProbe", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                            return new TOldFormProbe(static_cast<TComponent*>(owner));
                                          }};
const TPublishedRegistration oldFormProbeRegistration(&TOldFormProbe::ClassInfo, {
    Property<&TOldFormProbe::Kept, &TOldFormProbe::SetKept>("Kept"),
});
struct TOldFormProbeProperties {
  TOldFormProbeProperties() {
    RegisterDefineProperties(&TOldFormProbe::ClassInfo, [](TPersistent*, TFiler* filer) {
      filer->DefineProperty("OldFlag", TReaderProc::Lambda(&TRzOldPropReader::ReadOldBooleanProp), TWriterProc(),
                            false);
      filer->DefineProperty("OldStyle", TReaderProc::Lambda(&TRzOldPropReader::ReadOldEnumProp), TWriterProc(),
                            false);
      filer->DefineProperty("OldCount", TReaderProc::Lambda(&TRzOldPropReader::ReadOldIntegerProp),
                            TWriterProc(), false);
      filer->DefineProperty("OldSides", TReaderProc::Lambda(&TRzOldPropReader::ReadOldSetProp), TWriterProc(),
                            false);
    });
  }
} const oldFormProbeProperties;

TEST_F(PaneForm, OldPropertiesOfEveryKindAreReadAndDropped) {
  ReadComponentText(
      "object Host: TForm\n"
      "  object Old: TOldFormProbe\n"
      "    OldFlag = True\n"
      "    OldStyle = fsRaised\n"
      "    OldCount = 42\n"
      "    OldSides = [sdLeft, sdBottom]\n"
      "    Kept = 7\n"
      "  end\n"
      "end\n",
      Form, "Host");
  auto* old = ObjectAs<TOldFormProbe>(Form->FindComponent("Old"));
  ASSERT_NE(old, nullptr);
  EXPECT_EQ(old->Kept(), 7);
  const AnsiString text = WriteComponentText(old);
  for (const char* name : {"OldFlag", "OldStyle", "OldCount", "OldSides"})
    EXPECT_EQ(text.find(name), AnsiString::npos) << name << " is not written back:\n" << text;
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
