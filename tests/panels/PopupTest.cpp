// The popup panel: what ends its loop and what each answers, where it
// opens, the controls lent and given back, and closing messages that come
// twice or from elsewhere. The loop runs inside PopupAt, so each test acts
// from a timer while it runs.
#include "panels/Popups.h"
#include "platform/FormResource.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;
using namespace control_tests;

namespace {

class PopupForm : public ::testing::Test {
protected:
  void SetUp() override {
    Form = std::make_unique<ShownForm>(100, 100, 320, 240, "Popup");
    Anchor = Place<TButton>(Form->Form, 20, 20, 80, 24);
    Anchor->SetCaption("Anchor");
    Elsewhere = Place<TEdit>(Form->Form, 20, 150, 120, 21);
    Panel = New<TRzPopupPanel>(Form->Form);
    Panel->SetParent(Form->Form);
    Panel->SetBounds(0, 0, 150, 90);
    Panel->SetAutoSize(false);
    First = Place<TButton>(Panel, 8, 8, 60, 24);
    First->SetName("First");
    Second = Place<TEdit>(Panel, 8, 40, 100, 21);
    Second->SetName("Second");
    Third = Place<TButton>(Panel, 72, 8, 60, 24);
    Third->SetName("Third");
    Form->Show();
  }
  void TearDown() override { Form.reset(); }
  // The popup's window while it is shown, else null.
  HWND Shown() const {
    TRzPopup* popup = Panel->PopupWindow();
    return popup && popup->HandleAllocated() && IsWindowVisible(popup->Handle()) ? popup->Handle() : nullptr;
  }
  std::vector<TControl*> Children(TWinControl* parent) const {
    std::vector<TControl*> list;
    for (int i = 0; i < parent->ControlCount(); ++i) list.push_back(parent->Controls(i));
    return list;
  }
  std::unique_ptr<ShownForm> Form;
  TButton* Anchor = nullptr;
  TEdit* Elsewhere = nullptr;
  TRzPopupPanel* Panel = nullptr;
  TButton* First = nullptr;
  TEdit* Second = nullptr;
  TButton* Third = nullptr;
};

TEST_F(PopupForm, EscapeDismisses) {
  TimerSteps steps([&] {
    if (!Shown()) return false;
    PostMessageA(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    return true;
  });
  EXPECT_FALSE(Panel->Popup(Anchor));
  EXPECT_TRUE(steps.Done);
  EXPECT_FALSE(Panel->IsPoppedUp());
}

// The controls move into the popup last first, so they sit there in
// reverse, and come back in their order; a choice answers true.
TEST_F(PopupForm, ClosePopupChoosesAndTheControlsComeBackInOrder) {
  const std::vector<TControl*> before = Children(Panel);
  std::vector<TControl*> during;
  RECT placed{};
  bool second = true;
  TimerSteps steps([&] {
    if (!Shown()) return false;
    during = Children(Panel->PopupWindow());
    GetWindowRect(Shown(), &placed);
    second = Panel->PopupAt(Anchor, 0, 0);  // one at a time
    Panel->ClosePopup();
    return true;
  });
  EXPECT_TRUE(Panel->Popup(Anchor));
  EXPECT_FALSE(second);
  EXPECT_EQ(during, (std::vector<TControl*>{Third, Second, First}));
  EXPECT_EQ(Children(Panel), before);
  // Under the anchor, right-aligned with it.
  RECT anchor{};
  GetWindowRect(Anchor->Handle(), &anchor);
  EXPECT_EQ(placed.top, anchor.bottom);
  EXPECT_EQ(placed.right, anchor.right);
  EXPECT_EQ(placed.right - placed.left, 150);
  EXPECT_EQ(Panel->PopupWindow(), nullptr) << "the popup is gone";
}

TEST_F(PopupForm, NearTheBottomItOpensAbove) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  Form->Form->SetBounds(100, work.bottom - 120, 320, 110);
  RunMessagesUntilIdle();
  RECT placed{};
  TimerSteps steps([&] {
    if (!Shown()) return false;
    GetWindowRect(Shown(), &placed);
    Panel->ClosePopup();
    return true;
  });
  EXPECT_TRUE(Panel->Popup(Anchor));
  RECT anchor{};
  GetWindowRect(Anchor->Handle(), &anchor);
  EXPECT_EQ(placed.bottom, anchor.top);
  EXPECT_EQ(placed.top, anchor.top - 90);
}

// A click on another window closes the popup, and that window never
// hears of it.
TEST_F(PopupForm, AClickOutsideClosesAndIsSwallowed) {
  int outsideClicks = 0;
  TestWindow other(200, 100, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_LBUTTONDOWN) ++outsideClicks;
    return false;
  });
  RunMessagesUntilIdle();
  SetForegroundWindow(Form->Form->Handle());
  RunMessagesUntilIdle();
  int insideClicks = 0;
  First->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++insideClicks; });
  TimerSteps steps([&] {
    if (!Shown()) return false;
    if (insideClicks == 0) {
      PostClick(First->Handle(), 5, 5);  // inside: handled as usual
      return false;
    }
    PostMessageA(other.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    return true;
  });
  EXPECT_FALSE(Panel->Popup(Anchor));
  RunMessagesUntilIdle();
  EXPECT_EQ(insideClicks, 1);
  EXPECT_EQ(outsideClicks, 0);
}

// Sent, not posted: the window procedures close the popup themselves.
TEST_F(PopupForm, FocusLossAndDeactivationClose) {
  TimerSteps focus([&] {
    if (!Shown()) return false;
    Elsewhere->SetFocus();
    return true;
  });
  EXPECT_FALSE(Panel->Popup(Anchor));
  EXPECT_TRUE(focus.Done);

  TestWindow other(200, 100);
  SetForegroundWindow(Form->Form->Handle());
  RunMessagesUntilIdle();
  TimerSteps deactivate([&] {
    if (!Shown()) return false;
    SetForegroundWindow(other.Handle());
    SetActiveWindow(other.Handle());
    return true;
  });
  EXPECT_FALSE(Panel->Popup(Anchor));
  EXPECT_TRUE(deactivate.Done);
}

// A close that comes twice, or to another window, or after the popup went,
// does no harm; the panel pops up again afterwards.
TEST_F(PopupForm, StrayClosesAreHarmless) {
  TimerSteps twice([&] {
    if (!Shown()) return false;
    PostMessageA(Shown(), WM_POPUPCLOSE, 0, 0);
    PostMessageA(Shown(), WM_POPUPCLOSE, 0, 0);
    PostMessageA(Form->Form->Handle(), WM_POPUPCLOSE, 0, 0);
    return true;
  });
  EXPECT_FALSE(Panel->Popup(Anchor));
  RunMessagesUntilIdle();
  PostMessageA(Form->Form->Handle(), WM_POPUPCLOSE, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(Children(Panel).size(), 3u);
  TimerSteps again([&] {
    if (!Shown()) return false;
    Panel->ClosePopup();
    return true;
  });
  EXPECT_TRUE(Panel->Popup(Anchor));
}

TEST_F(PopupForm, AStyleOfExactlyAPopup) {
  DWORD style = 0;
  TimerSteps steps([&] {
    if (!Shown()) return false;
    style = static_cast<DWORD>(GetWindowLongA(Shown(), GWL_STYLE));
    Panel->ClosePopup();
    return true;
  });
  EXPECT_TRUE(Panel->Popup(Anchor));
  EXPECT_EQ(style & ~WS_VISIBLE & ~(WS_CLIPCHILDREN | WS_CLIPSIBLINGS), static_cast<DWORD>(WS_POPUP));
  EXPECT_EQ(Panel->BorderWidth(), 2);
}

TEST(PopupPanel, BorderWidthStoresItsZero) {
  ShownForm form(40, 40, 200, 100, "Popup border");
  auto* panel = New<TRzPopupPanel>(form.Form);
  panel->SetName("Pop");
  panel->SetParent(form.Form);
  EXPECT_EQ(panel->BorderWidth(), 2);
  panel->SetBorderWidth(0);
  const AnsiString text = WriteComponentText(form.Form);
  EXPECT_NE(text.find("BorderWidth = 0"), std::string::npos) << text;
  auto* copy = New<TRzPopupPanel>(nullptr);
  ReadComponentText("object Pop: TRzPopupPanel\n  BorderWidth = 0\nend\n", copy, "Pop");
  EXPECT_EQ(copy->BorderWidth(), 0);
  Free(copy);
}

}  // namespace
