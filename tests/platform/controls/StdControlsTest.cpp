// The standard controls beyond the first few, on real windows: radio
// buttons, scroll bars, the memo and its lines, list box selection, owner
// drawing and virtual lists, edit styles and input methods, the masked
// edit's base and the hint window's hooks.
#include "platform/HintWindow.h"
#include "platform/Memo.h"
#include "platform/Seams.h"
#include "platform/StdCtrls.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <vector>

namespace {

using namespace testing_support;
using namespace control_tests;

LONG_PTR StyleOf(TWinControl* control) { return GetWindowLongPtrA(control->Handle(), GWL_STYLE); }

AnsiString WindowText(HWND wnd) {
  const int length = GetWindowTextLengthA(wnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(wnd, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(0, static_cast<int>(strlen(text.c_str())))));
  return text;
}

// -- Radio buttons -------------------------------------------------------------------

TEST(StdControls, RadioButtonsOfOneParentAreExclusiveAndClickWhenChecked) {
  ShownForm form(40, 40, 360, 200);
  auto* group = Place<TGroupBox>(form.Form, 8, 8, 170, 110);
  group->SetCaption("Group");
  TRadioButton* radios[3];
  std::vector<std::string> clicks;
  for (int i = 0; i < 3; ++i) {
    radios[i] = Place<TRadioButton>(group, 10, 20 + i * 24, 140, 20);
    radios[i]->SetCaption(i == 1 ? "&Beta" : "Other");
    radios[i]->OnClick = TNotifyEvent::Lambda([&clicks, i](TObject*) { clicks.push_back("radio" + std::to_string(i)); });
  }
  // Another parent's radio button is another group.
  auto* outside = Place<TRadioButton>(form.Form, 190, 10, 140, 20);
  outside->SetChecked(true);
  form.Show();
  auto checks = [&] {
    std::string state;
    for (TRadioButton* r : radios)
      state += std::string(r->Checked() ? "1" : "0") + (SendMessageA(r->Handle(), BM_GETCHECK, 0, 0) ? "1" : "0");
    return state;
  };

  radios[0]->SetChecked(true);  // by code
  EXPECT_EQ(checks(), "110000");
  // A click of the system's button (its BN_CLICKED comes back reflected).
  SendMessageA(radios[2]->Handle(), BM_CLICK, 0, 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(checks(), "000011");
  // Clicking the checked one changes nothing and fires nothing.
  SendMessageA(radios[2]->Handle(), BM_CLICK, 0, 0);
  RunMessagesUntilIdle();
  // The accelerator checks and focuses.
  group->Perform(CM_DIALOGCHAR, 'b', 0);
  RunMessagesUntilIdle();
  EXPECT_EQ(checks(), "001100");
  EXPECT_EQ(GetFocus(), radios[1]->Handle());
  EXPECT_EQ(clicks, (std::vector<std::string>{"radio0", "radio2", "radio1"}));
  EXPECT_TRUE(outside->Checked());
  // The checked button is the group's tab stop.
  EXPECT_TRUE(radios[1]->TabStop());
  EXPECT_FALSE(radios[0]->TabStop());
  SaveScreenshot(form->Handle(), "stdcontrols-radio-group");
}

// -- Scroll bars ---------------------------------------------------------------------

TEST(StdControls, ScrollBarMessagesReachOnScrollAndMovePosition) {
  ShownForm form(40, 40, 300, 120);
  auto* bar = Place<TScrollBar>(form.Form, 8, 8, 200, 17);
  bar->SetParams(50, 0, 120);
  bar->SetPageSize(21);  // the thumb can reach 100
  bar->SetSmallChange(3);
  bar->SetLargeChange(20);
  std::vector<std::pair<TScrollCode, int>> scrolls;
  int changes = 0;
  bar->OnScroll = TScrollEvent::Lambda([&](TObject*, TScrollCode code, int& pos) { scrolls.emplace_back(code, pos); });
  bar->OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  form.Show();
  const struct {
    const char* Name;
    WORD Code;
    TScrollCode Expected;
    int Position;
  } cases[] = {
      {"line down", SB_LINEDOWN, scLineDown, 53},
      {"page down", SB_PAGEDOWN, scPageDown, 73},
      {"line up", SB_LINEUP, scLineUp, 70},
      {"page up", SB_PAGEUP, scPageUp, 50},
      {"bottom stops where the page ends", SB_BOTTOM, scBottom, 100},
      {"page down at the end stays", SB_PAGEDOWN, scPageDown, 100},
      {"top", SB_TOP, scTop, 0},
      {"line up at the start stays", SB_LINEUP, scLineUp, 0},
      {"end of scrolling", SB_ENDSCROLL, scEndScroll, 0},
  };
  int expectedChanges = 0;
  int last = bar->Position();
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    scrolls.clear();
    // As the system sends it: to the parent, naming the bar.
    SendMessageA(form->Handle(), WM_HSCROLL, MAKEWPARAM(c.Code, 0), reinterpret_cast<LPARAM>(bar->Handle()));
    ASSERT_EQ(scrolls.size(), 1u);
    EXPECT_EQ(scrolls[0].first, c.Expected);
    EXPECT_EQ(scrolls[0].second, c.Position);
    EXPECT_EQ(bar->Position(), c.Position);
    EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), c.Position);
    if (c.Position != last) ++expectedChanges;
    last = c.Position;
    EXPECT_EQ(changes, expectedChanges);
  }

  // The handler may send the scroll elsewhere.
  bar->OnScroll = TScrollEvent::Lambda([](TObject*, TScrollCode, int& pos) { pos = 42; });
  SendMessageA(form->Handle(), WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar->Handle()));
  EXPECT_EQ(bar->Position(), 42);

  // The keyboard on a focused bar goes the same way.
  scrolls.clear();
  bar->OnScroll = TScrollEvent::Lambda([&](TObject*, TScrollCode code, int& pos) { scrolls.emplace_back(code, pos); });
  bar->SetFocus();
  RunMessagesUntilIdle();
  PostKey(bar->Handle(), VK_RIGHT);
  RunMessagesUntilIdle();
  ASSERT_FALSE(scrolls.empty());
  EXPECT_EQ(scrolls[0].first, scLineDown);
  EXPECT_EQ(bar->Position(), 45);

  EXPECT_THROW(bar->SetParams(0, 10, 5), EInvalidOperation);
  EXPECT_EQ(bar->Max(), 120);
  // Turned on its side, the bar keeps its shape.
  bar->SetKind(sbVertical);
  EXPECT_EQ(bar->Width(), 17);
  EXPECT_EQ(bar->Height(), 200);
  EXPECT_EQ(GetScrollPos(bar->Handle(), SB_CTL), 45);
}

// -- Memo ----------------------------------------------------------------------------

TEST(StdControls, MemoLinesReadAndWriteTheWindowsLines) {
  ShownForm form(40, 40, 320, 220);
  auto* memo = Place<TMemo>(form.Form, 8, 8, 280, 150);
  memo->SetWordWrap(false);
  form.Show();
  TStrings* lines = memo->Lines();
  const struct {
    const char* Name;
    std::function<void()> Change;
    const char* Window;
    int Count;
  } steps[] = {
      {"text", [&] { lines->SetText("one\ntwo\r\nthree"); }, "one\r\ntwo\r\nthree", 3},
      {"put", [&] { lines->Put(1, "二"); }, "one\r\n二\r\nthree", 3},
      {"insert first", [&] { lines->Insert(0, "zero"); }, "zero\r\none\r\n二\r\nthree", 4},
      {"add after a last line", [&] { lines->Add("four"); }, "zero\r\none\r\n二\r\nthree\r\nfour", 5},
      {"delete", [&] { lines->Delete(2); }, "zero\r\none\r\nthree\r\nfour", 4},
      {"delete the last", [&] { lines->Delete(3); }, "zero\r\none\r\nthree\r\n", 3},
      {"add after a final break", [&] { lines->Add("五"); }, "zero\r\none\r\nthree\r\n五", 4},
      {"clear", [&] { lines->Clear(); }, "", 0},
      {"add to nothing", [&] { lines->Add("only"); }, "only", 1},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.Name);
    step.Change();
    EXPECT_EQ(WindowText(memo->Handle()), step.Window);
    EXPECT_EQ(lines->Text(), step.Window);
    EXPECT_EQ(lines->Count(), step.Count);
  }
  SetWindowTextA(memo->Handle(), "甲\r\n乙乙\r\n");
  ASSERT_EQ(lines->Count(), 2);
  EXPECT_EQ(lines->Get(0), "甲");
  EXPECT_EQ(lines->Get(1), "乙乙");
  EXPECT_THROW(lines->Get(2), EStringListError);

  // Without a window the kept text is the lines; the window gets it.
  auto* loose = New<TMemo>(form.Form);
  loose->Lines()->Add("a");
  loose->Lines()->Add("b");
  loose->Lines()->Insert(1, "mid");
  EXPECT_EQ(loose->Lines()->Count(), 3);
  loose->SetParent(form.Form);
  loose->SetBounds(8, 160, 100, 40);
  EXPECT_EQ(WindowText(loose->Handle()), "a\r\nmid\r\nb\r\n");
  EXPECT_EQ(loose->Lines()->Get(2), "b");
}

TEST(StdControls, MemoWrapsWordsAndShowsItsScrollBars) {
  ShownForm form(40, 40, 320, 220);
  auto* memo = Place<TMemo>(form.Form, 8, 8, 120, 150);
  form.Show();
  const AnsiString text = "alpha beta gamma delta epsilon zeta eta theta";
  memo->Lines()->SetText(text);
  // Wrapped: the lines are the lines shown, the text is what was set.
  EXPECT_GT(memo->Lines()->Count(), 2);
  EXPECT_EQ(memo->Lines()->Text(), text);
  EXPECT_EQ(StyleOf(memo) & ES_AUTOHSCROLL, 0);
  memo->SetWordWrap(false);
  EXPECT_EQ(memo->Lines()->Count(), 1);
  EXPECT_EQ(memo->Lines()->Get(0), text);
  EXPECT_EQ(StyleOf(memo) & ES_AUTOHSCROLL, ES_AUTOHSCROLL);
  memo->SetScrollBars(ssBoth);
  EXPECT_EQ(StyleOf(memo) & (WS_HSCROLL | WS_VSCROLL), WS_HSCROLL | WS_VSCROLL);
  EXPECT_EQ(memo->Lines()->Text(), text) << "the text survives a new window";
}

TEST(StdControls, MemoTakesReturnsAndTabsOnlyWhenItWantsThem) {
  ShownForm form(40, 40, 320, 220);
  auto* memo = Place<TMemo>(form.Form, 8, 8, 200, 100);
  auto* next = Place<TEdit>(form.Form, 8, 120, 100, 22);
  auto* button = Place<TButton>(form.Form, 120, 120, 80, 25);
  button->SetDefault(true);
  int clicks = 0;
  button->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  form.Show();
  const struct {
    const char* Name;
    bool WantReturns, WantTabs;
    UINT Key;
    const char* Text;
    bool FocusMoves;
    int Clicks;
  } cases[] = {
      {"return typed", true, false, VK_RETURN, "ab\r\n", false, 0},
      {"return to the default button", false, false, VK_RETURN, "ab", false, 1},
      {"tab moves on", false, false, VK_TAB, "ab", true, 0},
      {"tab typed", false, true, VK_TAB, "ab\t", false, 0},
      // The edit would close its parent on Escape if it took itself for a
      // dialog's control.
      {"escape does nothing here", true, true, VK_ESCAPE, "ab", false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    memo->SetWantReturns(c.WantReturns);
    memo->SetWantTabs(c.WantTabs);
    memo->SetText("ab");
    memo->SetFocus();
    RunMessagesUntilIdle();
    SendMessageA(memo->Handle(), EM_SETSEL, 2, 2);
    clicks = 0;
    PostKey(memo->Handle(), c.Key);
    RunMessagesUntilIdle();
    EXPECT_EQ(WindowText(memo->Handle()), c.Text);
    EXPECT_EQ(GetFocus(), c.FocusMoves ? next->Handle() : memo->Handle());
    EXPECT_EQ(clicks, c.Clicks);
    EXPECT_TRUE(IsWindowVisible(form->Handle()));
  }
}

// -- List boxes ----------------------------------------------------------------------

TStrings* Numbered(TListBox* list, int count) {
  for (int i = 0; i < count; ++i) list->Items()->Add("item " + std::to_string(i));
  return list->Items();
}

TEST(StdControls, ListBoxSelectsSeveralAndKeepsSelectionAndTopThroughANewWindow) {
  ShownForm form(40, 40, 320, 220);
  auto* list = Place<TListBox>(form.Form, 8, 8, 150, 100);
  Numbered(list, 40);
  form.Show();
  EXPECT_EQ(list->SelCount(), -1) << "one selection only";
  list->SetSelected(4, true);
  EXPECT_EQ(list->ItemIndex(), 4);

  list->SetMultiSelect(true);
  EXPECT_EQ(StyleOf(list) & LBS_EXTENDEDSEL, LBS_EXTENDEDSEL);
  list->ClearSelection();
  list->SetSelected(1, true);
  list->SetSelected(3, true);
  list->SetSelected(30, true);
  EXPECT_EQ(list->SelCount(), 3);
  list->SetTopIndex(20);
  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETTOPINDEX, 0, 0), 20);

  // Toggling clicks instead of the extended selection: a new window.
  list->SetExtendedSelect(false);
  EXPECT_EQ(StyleOf(list) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL), LBS_MULTIPLESEL);
  EXPECT_EQ(list->SelCount(), 3);
  std::vector<int> selected;
  for (int i = 0; i < list->Count(); ++i)
    if (list->Selected(i)) selected.push_back(i);
  EXPECT_EQ(selected, (std::vector<int>{1, 3, 30}));
  EXPECT_EQ(list->TopIndex(), 20);
  list->SetSelected(3, false);
  EXPECT_EQ(list->SelCount(), 2);
  // A new item keeps them too.
  list->Items()->Add("item 40");
  EXPECT_EQ(list->SelCount(), 2);
  EXPECT_TRUE(list->Selected(30));
  EXPECT_EQ(list->TopIndex(), 20);
  EXPECT_THROW(list->Selected(41), EListError);

  // A click on an item toggles it (and is a click of the list).
  int clicks = 0;
  list->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  list->SetTopIndex(0);
  const RECT r = list->ItemRect(2);
  PostClick(list->Handle(), r.left + 5, (r.top + r.bottom) / 2);
  RunMessagesUntilIdle();
  EXPECT_TRUE(list->Selected(2));
  EXPECT_EQ(list->SelCount(), 3);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(list->ItemAtPos(POINT{r.left + 5, r.top + 1}, true), 2);
}

TEST(StdControls, OwnerDrawnListBoxesAreMeasuredAndDrawnByTheirHandlers) {
  ShownForm form(40, 40, 360, 240);
  auto* fixed = Place<TListBox>(form.Form, 8, 8, 150, 120);
  fixed->SetStyle(lbOwnerDrawFixed);
  fixed->SetItemHeight(24);
  auto* variable = Place<TListBox>(form.Form, 170, 8, 150, 120);
  variable->SetStyle(lbOwnerDrawVariable);
  std::set<std::pair<TWinControl*, int>> drawn;
  std::vector<int> measured;
  auto draw = TDrawItemEvent::Lambda([&](TWinControl* control, int index, const RECT& rect, TOwnerDrawState) {
    drawn.insert({control, index});
    TCanvas* canvas = static_cast<TListBox*>(control)->Canvas();
    canvas->Brush()->SetColor(index == 1 ? clRed : clWhite);
    canvas->FillRect(rect);
  });
  fixed->OnDrawItem = draw;
  variable->OnDrawItem = draw;
  variable->OnMeasureItem = TMeasureItemEvent::Lambda([&](TWinControl*, int index, int& height) {
    measured.push_back(index);
    EXPECT_EQ(height, 16) << "starts as ItemHeight";
    height = 10 + index * 5;
  });
  Numbered(fixed, 3);
  Numbered(variable, 4);
  form.Show();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RunMessagesUntilIdle();

  EXPECT_EQ(SendMessageA(fixed->Handle(), LB_GETITEMHEIGHT, 0, 0), 24);
  EXPECT_EQ(measured, (std::vector<int>{0, 1, 2, 3}));
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(SendMessageA(variable->Handle(), LB_GETITEMHEIGHT, i, 0), 10 + i * 5) << i;
    EXPECT_TRUE(drawn.count({variable, i})) << i;
  }
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(drawn.count({fixed, i})) << i;
  // What the handler drew is on the screen: item 1 red.
  for (TListBox* list : {fixed, variable}) {
    const RECT r = list->ItemRect(1);
    const Image pixels = ReadClientPixels(list->Handle());
    EXPECT_EQ(pixels.At((r.left + r.right) / 2, (r.top + r.bottom) / 2), Rgb(RGB(255, 0, 0))) << list->Name();
  }
  SaveScreenshot(form->Handle(), "stdcontrols-owner-draw-lists");
}

TEST(StdControls, VirtualListBoxAsksOnDataForTheRowsItShows) {
  ShownForm form(40, 40, 360, 240);
  auto* list = Place<TListBox>(form.Form, 8, 8, 150, 120);
  list->SetStyle(lbVirtual);
  std::set<int> asked;
  list->OnData = TLBGetDataEvent::Lambda([&](TWinControl*, int index, AnsiString& data) {
    asked.insert(index);
    data = "row " + std::to_string(index);
  });
  list->SetCount(100000);
  auto* drawnList = Place<TListBox>(form.Form, 170, 8, 150, 120);
  drawnList->SetStyle(lbVirtualOwnerDraw);
  int drawnRows = 0, dataAsked = 0;
  drawnList->OnDrawItem = TDrawItemEvent::Lambda([&](TWinControl*, int, const RECT&, TOwnerDrawState) { ++drawnRows; });
  drawnList->OnData = TLBGetDataEvent::Lambda([&](TWinControl*, int, AnsiString&) { ++dataAsked; });
  drawnList->SetCount(50);
  form.Show();
  RedrawWindow(form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  RunMessagesUntilIdle();

  EXPECT_EQ(SendMessageA(list->Handle(), LB_GETCOUNT, 0, 0), 100000);
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(*asked.begin(), 0);
  EXPECT_LT(*asked.rbegin(), 20);
  asked.clear();
  list->SetTopIndex(90000);
  UpdateWindow(list->Handle());
  RunMessagesUntilIdle();
  ASSERT_FALSE(asked.empty());
  EXPECT_EQ(*asked.begin(), 90000);
  EXPECT_LT(*asked.rbegin(), 90020);
  list->SetItemIndex(90001);
  EXPECT_EQ(list->ItemIndex(), 90001);
  EXPECT_GT(drawnRows, 0);
  EXPECT_EQ(dataAsked, 0) << "an owner-drawn virtual list draws by itself";
  EXPECT_THROW(Place<TListBox>(form.Form, 0, 0, 10, 10)->SetCount(3), EInvalidOperation);
}

// Searching by prefix: the system's search for lists that hold their
// strings (with or without a window), OnDataFind for virtual ones.
TEST(StdControls, ListBoxFindsTheFirstItemStartingWithAPrefix) {
  ShownForm form(40, 40, 360, 240);
  auto* list = Place<TListBox>(form.Form, 8, 8, 150, 120);
  for (const char* s : {"beta", "Abc", "abd", "ab"}) list->Items()->Add(s);
  struct Case { const char* prefix; int found; };
  const Case cases[] = {{"ab", 1}, {"ABD", 2}, {"b", 0}, {"abx", -1}, {"z", -1}};
  for (const Case& c : cases) EXPECT_EQ(list->FindItemStartingWith(c.prefix), c.found) << c.prefix << " without a window";
  form.Show();
  for (const Case& c : cases) EXPECT_EQ(list->FindItemStartingWith(c.prefix), c.found) << c.prefix;

  auto* virtualList = Place<TListBox>(form.Form, 170, 8, 150, 120);
  virtualList->SetStyle(lbVirtual);
  virtualList->SetCount(10);
  EXPECT_EQ(virtualList->FindItemStartingWith("row"), -1) << "no search without OnDataFind";
  std::vector<AnsiString> asked;
  int answer = 7;
  virtualList->OnDataFind = TLBFindDataEvent::Lambda([&](TWinControl*, const AnsiString& text) {
    asked.push_back(text);
    return answer;
  });
  EXPECT_EQ(virtualList->FindItemStartingWith("row 7"), 7);
  EXPECT_EQ(asked, std::vector<AnsiString>{"row 7"});
  answer = 10;
  EXPECT_EQ(virtualList->FindItemStartingWith("row"), -1) << "an answer past the count finds nothing";
}

// -- Edits ---------------------------------------------------------------------------

TEST(StdControls, EditStylesForOemConversionAndKeptSelection) {
  ShownForm form(40, 40, 300, 120);
  auto* edit = Place<TEdit>(form.Form, 8, 8, 150, 22);
  form.Show();
  edit->SetText("keep");
  EXPECT_EQ(StyleOf(edit) & (ES_OEMCONVERT | ES_NOHIDESEL), 0);
  edit->SetOEMConvert(true);
  edit->SetHideSelection(false);
  EXPECT_EQ(StyleOf(edit) & (ES_OEMCONVERT | ES_NOHIDESEL), ES_OEMCONVERT | ES_NOHIDESEL);
  EXPECT_EQ(edit->Text(), "keep") << "the text survives the new window";
  edit->SetHideSelection(true);
  EXPECT_EQ(StyleOf(edit) & ES_NOHIDESEL, 0);
}

TEST(StdControls, EditImeModeIsAppliedWhileTheEditHasTheFocus) {
  ShownForm form(40, 40, 300, 120);
  auto* edit = Place<TEdit>(form.Form, 8, 8, 150, 22);
  auto* other = Place<TEdit>(form.Form, 8, 40, 150, 22);
  form.Show();
  auto hasContext = [](HWND wnd) {
    HIMC context = ImmGetContext(wnd);
    if (context) ImmReleaseContext(wnd, context);
    return context != nullptr;
  };
  ASSERT_TRUE(hasContext(edit->Handle())) << "the window's own input context";
  edit->SetImeMode(imDisable);
  edit->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_FALSE(hasContext(edit->Handle()));
  other->SetFocus();
  RunMessagesUntilIdle();
  EXPECT_TRUE(hasContext(edit->Handle())) << "given back as the focus leaves";

  // The mode changes while focused too.
  edit->SetImeMode(imOpen);
  edit->SetFocus();
  RunMessagesUntilIdle();
  HIMC context = ImmGetContext(edit->Handle());
  ASSERT_NE(context, nullptr);
  EXPECT_TRUE(ImmGetOpenStatus(context));
  ImmReleaseContext(edit->Handle(), context);
  edit->SetImeMode(imClose);
  context = ImmGetContext(edit->Handle());
  EXPECT_FALSE(ImmGetOpenStatus(context));
  ImmReleaseContext(edit->Handle(), context);
}

// A masked edit that refuses every changed text, as a mask would.
class RefusingMaskEdit : public TCustomMaskEdit {
public:
  using TCustomMaskEdit::TCustomMaskEdit;
  bool IsMasked() const override { return true; }

protected:
  bool IsTextRefused() const override { return true; }
};

TEST(StdControls, MaskEditBaseValidatesThroughItsDescendants) {
  ShownForm form(40, 40, 300, 120);
  auto* plain = Place<TMaskEdit>(form.Form, 8, 8, 150, 22);
  form.Show();
  plain->SetEditText("text");
  EXPECT_EQ(plain->Text(), "text");
  EXPECT_FALSE(plain->IsMasked());
  EXPECT_NO_THROW(plain->ValidateEdit());

  int beeps = 0;
  TBeepSink old = SetBeepSink([&](unsigned) { ++beeps; });
  auto* refusing = Place<RefusingMaskEdit>(form.Form, 8, 40, 150, 22);
  EXPECT_THROW(refusing->ValidateEdit(), EDBEditError);
  EXPECT_EQ(beeps, 1);
  SetBeepSink(old);
}

// -- Hint window ---------------------------------------------------------------------

TEST(StdControls, HintCancelMessages) {
  const struct {
    UINT Msg;
    bool Cancels;
  } cases[] = {
      {WM_KEYDOWN, true},       {WM_CHAR, true},          {WM_SYSKEYDOWN, true},   {WM_LBUTTONDOWN, true},
      {WM_RBUTTONUP, true},     {WM_MOUSEWHEEL, true},    {WM_NCMOUSEMOVE, true},  {WM_NCLBUTTONDOWN, true},
      {WM_ACTIVATEAPP, true},   {WM_COMMAND, true},       {CM_APPKEYDOWN, true},   {CM_APPSYSCOMMAND, true},
      {WM_MOUSEMOVE, false},    {WM_PAINT, false},        {WM_TIMER, false},       {WM_SETCURSOR, false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(THintWindow::IsStandardHintCancelMessage(c.Msg), c.Cancels) << std::hex << c.Msg;
}

// A hint window that stays through typing, in a window of its own making.
class TypingHint : public THintWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using THintWindow::THintWindow;
  bool IsHintCancelMessage(const TMessage& Message) override {
    if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) return false;
    return THintWindow::IsHintCancelMessage(Message);
  }

protected:
  void CreateParams(TCreateParams& Params) override {
    THintWindow::CreateParams(Params);
    Params.Style = WS_POPUP;
  }
};
const TClassInfo TypingHint::ClassInfo{"TTypingHint", &THintWindow::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TypingHint(static_cast<TComponent*>(owner));
                                       }};

TEST(StdControls, AHintWindowChoosesWhatCancelsItAndHowItsWindowIsMade) {
  SetCursorPos(1000, 900);  // the real cursor stays away from the form
  ShownForm form(40, 40, 240, 120);
  auto* edit = Place<TEdit>(form.Form, 10, 10, 120, 22);
  edit->SetHint("Name");
  edit->SetShowHint(true);
  form.Show();
  const int pause = Application->HintPause();
  Application->SetHintPause(1);
  auto hintShown = [] { return Application->HintWindow() && Application->HintWindow()->Showing(); };
  for (TClass windowClass : {static_cast<TClass>(&TypingHint::ClassInfo), &THintWindow::ClassInfo}) {
    SCOPED_TRACE(windowClass->Name);
    TWndMethod inherited = edit->WindowProc;
    edit->WindowProc = TWndMethod::Lambda([inherited, windowClass](TMessage& m) {
      inherited(m);
      if (m.Msg == CM_HINTSHOW) reinterpret_cast<THintInfo*>(m.LParam)->HintWindowClass = windowClass;
    });
    edit->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(edit));
    ASSERT_TRUE(RunMessagesUntil(hintShown, 2000));
    const bool typing = windowClass == &TypingHint::ClassInfo;
    const LONG_PTR style = GetWindowLongPtrA(Application->HintWindow()->Handle(), GWL_STYLE);
    EXPECT_EQ((style & WS_BORDER) != 0, !typing) << "the descendant's window parameters";
    // A key through the application's loop.
    PostMessageA(edit->Handle(), WM_KEYDOWN, 'A', 1);
    Application->ProcessMessages();
    EXPECT_EQ(hintShown(), typing);
    // A click ends both.
    PostMessageA(edit->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 3));
    PostMessageA(edit->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(3, 3));
    Application->ProcessMessages();
    EXPECT_FALSE(hintShown());
    edit->WindowProc = inherited;
    Application->CancelHint();
  }
  Application->SetHintPause(pause);
}

}  // namespace

TEST(StdControls, TheFocusedButtonOrElseTheDefaultOneLooksDefault) {
  ShownForm form(40, 40, 320, 200);
  auto* edit = Place<TEdit>(form.Form, 8, 8, 100, 22);
  auto* first = Place<TButton>(form.Form, 8, 60, 80, 25);
  auto* second = Place<TButton>(form.Form, 100, 60, 80, 25);
  first->SetDefault(true);
  form.Show();
  const auto looksDefault = [](TButton* button) {
    return (GetWindowLongA(button->Handle(), GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON;
  };
  const struct {
    const char* Name;
    int Focus;  // 0 the edit, 1 the first button, 2 the second
    bool FirstDefault, SecondDefault;
  } cases[] = {
      {"an edit: the Default button", 0, true, false},
      {"the other button", 2, false, true},
      {"the Default button itself", 1, true, false},
      {"back to the edit", 0, true, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TWinControl* targets[] = {edit, first, second};
    targets[c.Focus]->SetFocus();
    RunMessagesUntilIdle();
    EXPECT_EQ(looksDefault(first), c.FirstDefault);
    EXPECT_EQ(looksDefault(second), c.SecondDefault);
  }
}
