// The inner list box: incremental search as keys are typed (the tick
// count injected, so "within the delay" is decided by the test, never by
// the clock), double-byte characters searched whole, what goes on to the
// container (keys, clicks, the wheel), the own painter scroll bars that
// stand over the system's, and the drawing of items.
#include "foundation/InnerListBox.h"

#include "foundation/Container.h"
#include "platform/Forms.h"
#include "platform/Properties.h"
#include "platform/Seams.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <string>
#include <vector>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

class InnerListBoxTest : public ::testing::Test {
protected:
  void SetUp() override {
    StartContainerUnits();
    FOldTicks = SetTickSource([this] { return FTicks; });
  }
  void TearDown() override {
    SetTickSource(FOldTicks);
    if (GetCapture()) ReleaseCapture();
    FinalizeUnits();
  }

  // A shown form at (80, 80) with an auto-completing list of `items`.
  TcxCustomInnerListBox* MakeList(TForm*& form, const std::vector<const char*>& items) {
    form = New<TForm>(nullptr);
    form->SetBounds(80, 80, 360, 260);
    auto* list = New<TcxCustomInnerListBox>(form);
    list->SetParent(form);
    list->SetBounds(10, 10, 200, 120);
    list->SetAutoComplete(true);
    for (const char* item : items) list->Items()->Add(item);
    form->Show();
    RunMessagesUntilIdle();
    return list;
  }
  // A shown form with a container at (20, 20) whose inner control is a
  // list box of class L holding `items`.
  template <class L, class Items>
  L* MakeContainedList(TForm*& form, TcxContainer*& container, const Items& items) {
    form = New<TForm>(nullptr);
    form->SetBounds(80, 80, 360, 260);
    container = TcxContainer::CreateWithOwner(form);
    container->SetParent(form);
    container->SetBounds(20, 20, 200, 140);
    auto* list = New<L>(container);
    list->SetParent(container);
    list->SetContainer(container);
    container->AssignInnerControl(list);
    for (const auto& item : items) list->Items()->Add(item);
    form->Show();
    RunMessagesUntilIdle();
    return list;
  }
  template <class L>
  L* MakeContainedList(TForm*& form, TcxContainer*& container, std::initializer_list<const char*> items) {
    return MakeContainedList<L, std::initializer_list<const char*>>(form, container, items);
  }
  // A character typed at `tick`: the window's queue receives it as typing
  // would, and it is handled before the next one.
  void TypeAt(TWinControl* control, char ch, uint32_t tick) {
    FTicks = tick;
    PostChar(control->Handle(), ch);
    RunMessagesUntilIdle();
  }

  uint32_t FTicks = 10000;

private:
  TTickSource FOldTicks;
};

// A list box whose mouse and wheel handling a test watches: they stay
// overridable for the editors' list boxes.
class TWatchedListBox : public TcxCustomInnerListBox {
public:
  using TcxCustomInnerListBox::TcxCustomInnerListBox;
  void MouseMove(TShiftState Shift, int X, int Y) override {
    ++Moves;
    TcxCustomInnerListBox::MouseMove(Shift, X, Y);
  }
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override {
    ++Downs;
    TcxCustomInnerListBox::MouseDown(Button, Shift, X, Y);
  }
  bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) override {
    ++Wheels;
    return TcxCustomInnerListBox::DoMouseWheel(Shift, WheelDelta, MousePos);
  }
  int Moves = 0, Downs = 0, Wheels = 0;
};

TEST_F(InnerListBoxTest, ANewListBox) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {});
  EXPECT_EQ(list->AutoCompleteDelay(), 500);
  EXPECT_EQ(list->BorderStyle(), bsNone);
  EXPECT_FALSE(list->ParentColor());
  EXPECT_TRUE(list->ParentFont());
  ASSERT_NE(list->HScrollBar(), nullptr);
  ASSERT_NE(list->VScrollBar(), nullptr);
  EXPECT_EQ(list->HScrollBar()->Kind(), sbHorizontal);
  EXPECT_EQ(list->VScrollBar()->Kind(), sbVertical);
  EXPECT_FALSE(list->VScrollBar()->Visible()) << "an empty list shows no bar";
  EXPECT_EQ(list->HScrollBar()->LookAndFeel()->MasterLookAndFeel(), list->LookAndFeel());
  EXPECT_EQ(list->VScrollBar()->LookAndFeel()->MasterLookAndFeel(), list->LookAndFeel());
  const RECT corner = list->ScrollCornerRect();
  EXPECT_TRUE(IsRectEmpty(&corner));
  Free(form);
}

// The delay is published; a container freed first leaves the list box
// searching on its own.
TEST_F(InnerListBoxTest, ThePublishedDelayAndAFreedContainer) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {"apple", "b", "ab"});
  EXPECT_EQ(GetPropValue(list, "AutoCompleteDelay"), "500");
  SetPropValue(list, "AutoCompleteDelay", "100");
  EXPECT_EQ(list->AutoCompleteDelay(), 100);
  auto* container = TcxContainer::CreateWithOwner(form);
  container->SetParent(form);
  list->SetContainer(container);
  Free(container);
  EXPECT_EQ(list->Container(), nullptr);
  TypeAt(list, 'a', 1000);
  TypeAt(list, 'b', 1150);
  EXPECT_EQ(list->AutoCompleteFilter(), "b") << "150 ms is past a delay of 100";
  EXPECT_EQ(list->ItemIndex(), 1);
  Free(form);
}

// Keys typed within the delay of each other search together; a key after
// the delay starts over; Backspace takes back the last character.
TEST_F(InnerListBoxTest, KeysTypedWithinTheDelaySearchTogether) {
  struct Key { char ch; uint32_t after; };  // milliseconds after the previous key
  struct Case {
    const char* name;
    std::vector<Key> keys;
    int item;
    const char* filter;
  };
  const Case cases[] = {
      {"a, b within 500 ms", {{'a', 0}, {'b', 300}}, 3, "ab"},
      {"a, b 499 ms apart", {{'a', 0}, {'b', 499}}, 3, "ab"},
      {"b 600 ms after a", {{'a', 0}, {'b', 600}}, 1, "b"},
      {"b exactly the delay after a", {{'a', 0}, {'b', 500}}, 1, "b"},
      {"capitals find the same", {{'A', 0}, {'B', 100}}, 3, "AB"},
      {"a, b, c", {{'a', 0}, {'b', 100}, {'c', 100}}, 4, "abc"},
      {"nothing starts with abx: the selection stays", {{'a', 0}, {'b', 100}, {'x', 100}}, 3, "abx"},
      {"Backspace takes back x", {{'a', 0}, {'b', 100}, {'x', 100}, {'\b', 100}}, 3, "ab"},
      {"Backspace to nothing selects the first item", {{'b', 0}, {'\b', 100}}, 0, ""},
  };
  for (const Case& c : cases) {
    TForm* form = nullptr;
    TcxCustomInnerListBox* list = MakeList(form, {"apple", "b", "ba", "ab", "abc", "bb"});
    int clicks = 0;
    list->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
    std::vector<char> passed;
    list->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, char& key) { passed.push_back(key); });
    uint32_t tick = 50000;
    for (const Key& k : c.keys) {
      tick += k.after;
      TypeAt(list, k.ch, tick);
    }
    EXPECT_EQ(list->ItemIndex(), c.item) << c.name;
    EXPECT_EQ(list->AutoCompleteFilter(), c.filter) << c.name;
    EXPECT_GT(clicks, 0) << c.name;
    EXPECT_EQ(passed.size(), c.keys.size()) << c.name << ": the key event sees every key first";
    Free(form);
  }
}

// Without auto-complete the list box leaves typing to the system list.
TEST_F(InnerListBoxTest, WithoutAutoCompleteNothingIsSearched) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {"apple", "b", "ab"});
  list->SetAutoComplete(false);
  TypeAt(list, 'a', 1000);
  TypeAt(list, 'b', 1100);
  EXPECT_EQ(list->AutoCompleteFilter(), "");
  Free(form);
}

// A multi-select list keeps only the found item selected.
TEST_F(InnerListBoxTest, AMultiSelectListSelectsOnlyTheFoundItem) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {"apple", "b", "ab", "abc"});
  list->SetMultiSelect(true);
  list->SetSelected(0, true);
  list->SetSelected(1, true);
  TypeAt(list, 'a', 1000);
  TypeAt(list, 'b', 1200);
  EXPECT_EQ(list->SelCount(), 1);
  EXPECT_TRUE(list->Selected(2));
  EXPECT_EQ(list->ItemIndex(), 2);
  Free(form);
}

// A virtual list is searched through its data-find event.
TEST_F(InnerListBoxTest, AVirtualListIsSearchedThroughItsEvent) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {});
  list->SetStyle(lbVirtual);
  list->SetCount(100);
  std::vector<AnsiString> asked;
  list->OnDataFind = TLBFindDataEvent::Lambda([&](TWinControl*, const AnsiString& text) {
    asked.push_back(text);
    return text == "4" ? 40 : text == "42" ? 42 : -1;
  });
  TypeAt(list, '4', 1000);
  TypeAt(list, '2', 1100);
  EXPECT_EQ(asked, (std::vector<AnsiString>{"4", "42"}));
  EXPECT_EQ(list->ItemIndex(), 42);
  Free(form);
}

// Typed Chinese reaches the list as lead and trail bytes; the search takes
// the trail byte from the queue and searches whole characters, and
// Backspace takes a whole character back.
TEST_F(InnerListBoxTest, ADoubleByteSearch) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {"日本", "中文", "中国", "中国人"});
  SetForegroundWindow(form->Handle());
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == form->Handle(); }));
  list->SetFocus();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetFocus() == list->Handle(); }));
  std::vector<unsigned char> chars;
  list->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, char& key) { chars.push_back(static_cast<unsigned char>(key)); });
  FTicks = 2000;
  SendText(L"中国");
  ASSERT_TRUE(RunMessagesUntil([&] { return list->AutoCompleteFilter().size() >= 4; }));
  RunMessagesUntilIdle();
  EXPECT_EQ(list->AutoCompleteFilter(), AnsiString("中国"));
  EXPECT_EQ(list->ItemIndex(), 2);
  // Only the lead bytes reached the key event: the trail bytes were taken
  // from the queue with them.
  const AnsiString typed = "中国";
  EXPECT_EQ(chars, (std::vector<unsigned char>{static_cast<unsigned char>(typed[0]), static_cast<unsigned char>(typed[2])}));
  TypeAt(list, '\b', 2100);
  EXPECT_EQ(list->AutoCompleteFilter(), AnsiString("中"));
  EXPECT_EQ(list->ItemIndex(), 1) << "中 first finds 中文";
  // A lead byte with no character waiting after it is dropped, not
  // searched for half.
  FTicks = 2200;
  char lead = typed[0];
  list->IncrementalSearch(lead);
  EXPECT_EQ(lead, 0);
  EXPECT_EQ(list->AutoCompleteFilter(), AnsiString("中"));
  Free(form);
}

// The container hears the keys first, then the list box's own handling;
// Tab and Enter are dropped.
TEST_F(InnerListBoxTest, TheContainerHearsKeysFirst) {
  TForm* form = nullptr;
  TcxContainer* container = nullptr;
  auto* list = MakeContainedList<TcxCustomInnerListBox>(form, container, {"apple", "b", "ab"});
  list->SetAutoComplete(true);
  std::vector<char> containerKeys;
  container->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, char& key) {
    containerKeys.push_back(key);
    if (key == 'x') key = 0;
  });
  std::vector<char> listKeys;
  list->OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, char& key) { listKeys.push_back(key); });
  TypeAt(list, 'x', 1000);
  TypeAt(list, '\t', 5000);
  TypeAt(list, 'b', 9000);
  EXPECT_EQ(containerKeys, (std::vector<char>{'x', 'b'})) << "Tab goes to no one";
  EXPECT_EQ(listKeys, (std::vector<char>{'b'})) << "x was taken by the container";
  EXPECT_EQ(list->ItemIndex(), 1);
  const LRESULT code = SendMessageA(list->Handle(), WM_GETDLGCODE, 0, 0);
  EXPECT_TRUE(code & DLGC_WANTCHARS);
  EXPECT_TRUE(code & DLGC_WANTARROWS);
  Free(form);
}

// Mouse moves, presses and the wheel go through overridable handlers and on
// to the container, the position shifted into the container's client area.
TEST_F(InnerListBoxTest, MouseAndWheelReachTheContainer) {
  TForm* form = nullptr;
  TcxContainer* container = nullptr;
  std::vector<std::string> items;
  for (int i = 0; i < 30; ++i) items.push_back("item " + std::to_string(i));
  auto* list = MakeContainedList<TWatchedListBox>(form, container, items);
  std::vector<POINT> downs;
  container->OnMouseDown = TMouseEvent::Lambda(
      [&](TObject*, TMouseButton, TShiftState, int x, int y) { downs.push_back(POINT{x, y}); });
  int containerClicks = 0;
  container->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++containerClicks; });
  bool wheelTaken = true;
  int containerWheels = 0;
  container->OnMouseWheel = TMouseWheelEvent::Lambda([&](TObject*, TShiftState, int, POINT, bool& handled) {
    ++containerWheels;
    handled = wheelTaken;
  });

  PostMessageA(list->Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(12, 20));
  RunMessagesUntilIdle();
  EXPECT_GT(list->Moves, 0);
  PostClick(list->Handle(), 12, 20);
  RunMessagesUntilIdle();
  EXPECT_EQ(list->Downs, 1);
  ASSERT_EQ(downs.size(), 1u);
  EXPECT_EQ(downs[0].x, 12 + list->Left());
  EXPECT_EQ(downs[0].y, 20 + list->Top());
  EXPECT_EQ(list->ItemIndex(), list->ItemAtPos(POINT{12, 20}, true));
  EXPECT_EQ(containerClicks, 1) << "the selection change clicks the container";

  POINT screen{12, 20};
  ClientToScreen(list->Handle(), &screen);
  list->SetTopIndex(0);
  SendMessageA(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  EXPECT_EQ(list->Wheels, 1);
  EXPECT_EQ(containerWheels, 1);
  EXPECT_EQ(list->TopIndex(), 0) << "the container took the wheel";
  wheelTaken = false;
  SendMessageA(list->Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(screen.x, screen.y));
  RunMessagesUntilIdle();
  EXPECT_EQ(list->Wheels, 2);
  EXPECT_GT(list->TopIndex(), 0) << "the list scrolled";
  Free(form);
}

// With automatic dragging a press on the list starts the container's drag
// (once the mouse moves far enough); a press on an item already selected
// in a multi-select list drags the selection without changing it.
TEST_F(InnerListBoxTest, APressStartsTheContainersDrag) {
  struct Case { const char* name; bool multi; int press; std::vector<int> selected; };
  const Case cases[] = {
      {"single selection: the press selects, then the drag starts", false, 2, {2}},
      {"a selected item of a multi-select list", true, 1, {0, 1}},
      {"an unselected item of a multi-select list", true, 2, {0, 1, 2}},
  };
  for (const Case& c : cases) {
    TForm* form = nullptr;
    TcxContainer* container = nullptr;
    auto* list = MakeContainedList<TcxCustomInnerListBox>(form, container, {"zero", "one", "two", "three"});
    list->SetMultiSelect(c.multi);
    list->SetExtendedSelect(false);
    if (c.multi) {
      list->SetSelected(0, true);
      list->SetSelected(1, true);
    }
    list->SetDragMode(dmAutomatic);
    const RECT r = list->ItemRect(c.press);
    const LPARAM at = MAKELPARAM(r.left + 5, (r.top + r.bottom) / 2);
    PostMessageA(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    RunMessagesUntilIdle();
    EXPECT_TRUE(container->Dragging()) << c.name;
    EXPECT_FALSE(list->Dragging()) << c.name;
    EXPECT_EQ(list->DragMode(), dmAutomatic) << c.name << ": restored after the press";
    std::vector<int> selected;
    for (int i = 0; i < list->Count(); ++i)
      if (list->Selected(i)) selected.push_back(i);
    EXPECT_EQ(selected, c.selected) << c.name;
    PostMessageA(list->Handle(), WM_LBUTTONUP, 0, at);
    RunMessagesUntilIdle();
    container->EndDrag(false);
    Free(form);
  }
}

// A list longer than its height shows the painter's vertical bar in place
// of the system's, over it on the list's parent, with the system's range;
// moving the own bar scrolls the list.
TEST_F(InnerListBoxTest, OwnScrollBarsStandOverTheSystemBars) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {});
  for (int i = 0; i < 40; ++i) list->Items()->Add("item " + std::to_string(i));
  RunMessagesUntilIdle();
  TcxScrollBar* bar = list->VScrollBar();
  ASSERT_TRUE(bar->Visible());
  EXPECT_EQ(bar->Parent(), form);
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetScrollBarInfo(list->Handle(), OBJID_VSCROLL, &info));
  RECT barScreen = bar->BoundsRect();
  MapWindowPoints(form->Handle(), nullptr, reinterpret_cast<POINT*>(&barScreen), 2);
  EXPECT_TRUE(EqualRect(&barScreen, &info.rcScrollBar));
  SCROLLINFO si{};
  si.cbSize = sizeof si;
  si.fMask = SIF_ALL;
  GetScrollInfo(list->Handle(), SB_VERT, &si);
  EXPECT_EQ(bar->Max(), si.nMax);
  EXPECT_EQ(bar->PageSize(), static_cast<int>(si.nPage));
  EXPECT_FALSE(list->HScrollBar()->Visible());

  list->SetTopIndex(10);
  EXPECT_EQ(bar->Position(), 10) << "the bar follows the list";
  bar->Scroll(scLineDown);
  EXPECT_EQ(list->TopIndex(), 11);
  EXPECT_EQ(bar->Position(), 11);
  bar->Scroll(scPageDown);
  EXPECT_GT(list->TopIndex(), 11) << "a page goes through the system list";
  EXPECT_EQ(bar->Position(), list->TopIndex());
  list->Items()->Clear();
  RunMessagesUntilIdle();
  EXPECT_FALSE(bar->Visible());
  Free(form);
}

// Item drawing: the focus rectangle only when nobody draws the items.
TEST_F(InnerListBoxTest, TheFocusRectangleIsDrawnOnlyWithoutAnOwner) {
  TForm* form = nullptr;
  TcxCustomInnerListBox* list = MakeList(form, {"one", "two"});
  EXPECT_TRUE(list->DrawsFocusRect());
  list->OnDrawItem = TDrawItemEvent::Lambda([](TWinControl*, int, const RECT&, TOwnerDrawState) {});
  EXPECT_FALSE(list->DrawsFocusRect());
  list->KeepCanvasColors();
  list->OwnCanvas()->GetBrush()->SetColor(clRed);
  list->OwnCanvas()->GetFont()->SetColor(clBlue);
  list->RecallCanvasColors();
  EXPECT_NE(list->OwnCanvas()->GetBrush()->Color(), clRed);
  EXPECT_NE(list->OwnCanvas()->GetFont()->Color(), clBlue);
  Free(form);
}

}  // namespace
