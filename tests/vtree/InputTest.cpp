// Mouse and keyboard input of the tree window: clicks, double clicks, the
// hot node, check boxes, the key table, incremental search and the edits a
// click or F2 starts. Messages are sent to the tree; timers are driven by
// sending their WM_TIMER.
#include "tests/vtree/TreeChecker.h"

#include "vtree/StringEditLink.h"
#include "vtree/StringTree.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using SO = TVTSelectionOption;
using MO = TVTMiscOption;
using TS = TVirtualTreeState;
using testing_support::RunMessagesUntil;

// Holds keys down in the thread's keyboard state.
class HeldKeys {
public:
  explicit HeldKeys(std::initializer_list<BYTE> keys) : FKeys(keys) { Set(0x80); }
  ~HeldKeys() { Set(0); }

private:
  void Set(BYTE value) {
    BYTE state[256];
    GetKeyboardState(state);
    for (BYTE key : FKeys) state[key] = value;
    SetKeyboardState(state);
  }
  std::vector<BYTE> FKeys;
};

class InputTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);
    Tree.SetRootNodeCount(0);
    Tree.OnGetText = TVSTGetTextEvent::Lambda(
        [this](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, TVSTTextType, std::wstring& text) {
          if (node->Parent == Tree.RootNode() && node->IndexInParent < Names.size()) text = Names[node->IndexInParent];
          else text = L"child";
        });
    Tree.OnChange = TVTChangeEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode) { ++Changes; });
    Tree.OnNewText = TVSTNewTextEvent::Lambda(
        [this](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, const std::wstring& text) { Names[node->IndexInParent] = text; });
  }
  void Fill(std::vector<std::wstring> names) {
    Names = std::move(names);
    Tree.SetRootNodeCount(static_cast<uint32_t>(Names.size()));
  }
  void Show() {
    Host.Place(Tree, 300, 200);
    ShowWindow(Host.Handle(), SW_SHOW);
    SetForegroundWindow(Host.Handle());
    Tree.SetFocus();
  }
  PVirtualNode Node(uint32_t index) {
    PVirtualNode node = Tree.FirstNode();
    while (node && index-- > 0) node = Tree.NextNode(node);
    return node;
  }
  POINT LabelPoint(PVirtualNode node) {
    const RECT r = Tree.NodeDisplayRect(node, NoColumn, true);
    return POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  }
  LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }
  void Click(POINT p, UINT down = WM_LBUTTONDOWN, UINT up = WM_LBUTTONUP, WPARAM keys = MK_LBUTTON) {
    SendMessageA(Tree.Handle(), down, keys, At(p));
    SendMessageA(Tree.Handle(), up, 0, At(p));
  }
  void Key(WORD vk) {
    SendMessageA(Tree.Handle(), WM_KEYDOWN, vk, 1);
    SendMessageA(Tree.Handle(), WM_KEYUP, vk, 0xC0000001);
  }
  void Type(char ch) {
    const WORD vk = static_cast<WORD>(VkKeyScanA(ch) & 0xFF);
    SendMessageA(Tree.Handle(), WM_KEYDOWN, vk, 1);
    SendMessageA(Tree.Handle(), WM_CHAR, static_cast<unsigned char>(ch), 1);
    SendMessageA(Tree.Handle(), WM_KEYUP, vk, 0xC0000001);
  }
  void Options(std::initializer_list<SO> selection, std::initializer_list<MO> misc = {}) {
    TVTSelectionOptions s = Tree.TreeOptions()->SelectionOptions();
    for (SO o : selection) s.Include(o);
    Tree.TreeOptions()->SetSelectionOptions(s);
    TVTMiscOptions m = Tree.TreeOptions()->MiscOptions();
    for (MO o : misc) m.Include(o);
    Tree.TreeOptions()->SetMiscOptions(m);
  }
  std::vector<uint32_t> Selected() {
    std::vector<uint32_t> out;
    for (PVirtualNode n = Tree.FirstSelectedNode(); n; n = Tree.NextSelectedNode(n)) out.push_back(n->IndexInParent);
    return out;
  }
  TreeHost Host;
  TVirtualStringTree Tree{nullptr};
  std::vector<std::wstring> Names;
  int Changes = 0;
};

TEST_F(InputTest, AClickSelectsAndReportsTheChangeAtOnce) {
  Fill({L"one", L"two", L"three"});
  Show();
  Click(LabelPoint(Node(1)));
  EXPECT_EQ(Tree.FocusedNode(), Node(1));
  EXPECT_EQ(Selected(), std::vector<uint32_t>{1});
  EXPECT_GE(Changes, 1);
  // A click below the last row leaves the focus where it was.
  Click(POINT{5, 190});
  EXPECT_EQ(Tree.FocusedNode(), Node(1));
  EXPECT_TRUE(TreeIsConsistent(Tree));
}

TEST_F(InputTest, ADoubleClickReportsThenTogglesWithToggleOnDblClick) {
  Fill({L"parent", L"other"});
  Tree.SetChildCount(Node(0), 2);
  Show();
  std::vector<std::string> log;
  Tree.OnDblClick = TNotifyEvent::Lambda([&](TObject*) { log.push_back(Tree.Expanded(Node(0)) ? "dbl expanded" : "dbl"); });
  Tree.OnExpanded = TVTChangeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode) { log.push_back("expanded"); });
  const POINT p = LabelPoint(Node(0));
  Click(p);
  SendMessageA(Tree.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(p));
  SendMessageA(Tree.Handle(), WM_LBUTTONUP, 0, At(p));
  EXPECT_EQ(log, (std::vector<std::string>{"dbl", "expanded"}));
  TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
  misc.Exclude(MO::toToggleOnDblClick);
  Tree.TreeOptions()->SetMiscOptions(misc);
  SendMessageA(Tree.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(p));
  EXPECT_TRUE(Tree.Expanded(Node(0)));
}

TEST_F(InputTest, TheHotNodeFollowsTheMouse) {
  Fill({L"one", L"two"});
  Show();
  SendMessageA(Tree.Handle(), WM_MOUSEMOVE, 0, At(LabelPoint(Node(1))));
  EXPECT_EQ(Tree.HotNode(), Node(1));
  SendMessageA(Tree.Handle(), WM_MOUSEMOVE, 0, At(LabelPoint(Node(0))));
  EXPECT_EQ(Tree.HotNode(), Node(0));
  SendMessageA(Tree.Handle(), WM_MOUSEMOVE, 0, At(POINT{5, 190}));
  EXPECT_EQ(Tree.HotNode(), nullptr);
}

TEST_F(InputTest, RightAndMiddleClicksSelectOnlyWithTheirOptions) {
  Fill({L"one", L"two", L"three"});
  Show();
  struct Case {
    const char* Name;
    UINT Down, Up;
    WPARAM Keys;
    SO Option;
  } cases[] = {{"right", WM_RBUTTONDOWN, WM_RBUTTONUP, MK_RBUTTON, SO::toRightClickSelect},
               {"middle", WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON, SO::toMiddleClickSelect}};
  for (const Case& c : cases) {
    Tree.ClearAllSelection();
    Click(LabelPoint(Node(2)), c.Down, c.Up, c.Keys);
    EXPECT_TRUE(Selected().empty()) << c.Name;
    Options({c.Option});
    Click(LabelPoint(Node(2)), c.Down, c.Up, c.Keys);
    EXPECT_EQ(Selected(), std::vector<uint32_t>{2}) << c.Name;
  }
}

// The middle button on a tree whose content fits shows no panning.
TEST_F(InputTest, AMiddleClickOnATreeThatFitsDoesNotPan) {
  Fill({L"one"});
  Options({}, {MO::toWheelPanning});
  Show();
  Click(LabelPoint(Node(0)), WM_MBUTTONDOWN, WM_MBUTTONUP, MK_MBUTTON);
  EXPECT_FALSE(Tree.TreeStates().Contains(TS::tsWheelPanning));
}

TEST_F(InputTest, ACheckBoxPressedLeftAndReleasedKeepsItsState) {
  Fill({L"one", L"two"});
  Options({}, {MO::toCheckSupport});
  Tree.SetCheckType(Node(0), TCheckType::ctCheckBox);
  Show();
  POINT box{-1, -1};
  const RECT row = Tree.NodeDisplayRect(Node(0), NoColumn, false);
  for (int x = row.left; x < row.right && box.x < 0; ++x) {
    const THitInfo hit = Tree.HitTestAt(x, (row.top + row.bottom) / 2, true);
    if (hit.HitPositions.Contains(THitPosition::hpOnCheckBox)) box = POINT{x + 2, (row.top + row.bottom) / 2};
  }
  ASSERT_GE(box.x, 0);
  SendMessageA(Tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, At(box));
  EXPECT_EQ(Tree.PendingCheckNode(), Node(0));
  SendMessageA(Tree.Handle(), WM_LBUTTONUP, 0, At(POINT{5, 190}));
  EXPECT_EQ(Tree.CheckState(Node(0)), TCheckState::csUncheckedNormal);
  EXPECT_EQ(Tree.PendingCheckNode(), nullptr);
  Click(box);
  EXPECT_EQ(Tree.CheckState(Node(0)), TCheckState::csCheckedNormal);
}

TEST_F(InputTest, NavigationKeysMoveTheFocusAndShiftExtendsTheRange) {
  Fill({L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7", L"8", L"9", L"10", L"11", L"12", L"13", L"14", L"15"});
  Options({SO::toMultiSelect});
  Show();
  struct Case {
    const char* Name;
    WORD Key;
    bool Shift;
    uint32_t Focus;
    std::vector<uint32_t> Selection;
  } cases[] = {
      {"down from nothing", VK_DOWN, false, 0, {0}},
      {"down", VK_DOWN, false, 1, {1}},
      {"shift down", VK_DOWN, true, 2, {1, 2}},
      {"shift down again", VK_DOWN, true, 3, {1, 2, 3}},
      {"shift up", VK_UP, true, 2, {1, 2}},
      {"end", VK_END, false, 15, {15}},
      {"home", VK_HOME, false, 0, {0}},
      {"shift end", VK_END, true, 15, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}},
      {"up", VK_UP, false, 14, {14}},
      // A page is as many rows as fit the 200-pixel client area whole.
      {"page up", VK_PRIOR, false, 3, {3}},
      {"page down", VK_NEXT, false, 14, {14}},
      {"shift page up", VK_PRIOR, true, 3, {3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}},
  };
  for (const Case& c : cases) {
    if (c.Shift) {
      HeldKeys shift{VK_SHIFT};
      Key(c.Key);
    } else {
      Key(c.Key);
    }
    ASSERT_NE(Tree.FocusedNode(), nullptr) << c.Name;
    EXPECT_EQ(Tree.FocusedNode()->IndexInParent, c.Focus) << c.Name;
    EXPECT_EQ(Selected(), c.Selection) << c.Name;
  }
  {
    HeldKeys ctrl{VK_CONTROL};
    Key('A');
  }
  EXPECT_EQ(Selected().size(), 16u);
  EXPECT_TRUE(TreeIsConsistent(Tree));
}

TEST_F(InputTest, SpaceThenAnArrowPutsTheCheckBack) {
  Fill({L"one", L"two"});
  Options({}, {MO::toCheckSupport});
  Tree.SetCheckType(Node(0), TCheckType::ctCheckBox);
  Show();
  Tree.SetFocusedNode(Node(0));
  SendMessageA(Tree.Handle(), WM_KEYDOWN, VK_SPACE, 1);
  EXPECT_EQ(Tree.CheckState(Node(0)), TCheckState::csUncheckedPressed);
  Key(VK_DOWN);
  SendMessageA(Tree.Handle(), WM_KEYUP, VK_SPACE, 0xC0000001);
  EXPECT_EQ(Tree.CheckState(Node(0)), TCheckState::csUncheckedNormal);
  Tree.SetFocusedNode(Node(0));
  Key(VK_SPACE);
  EXPECT_EQ(Tree.CheckState(Node(0)), TCheckState::csCheckedNormal);
}

TEST_F(InputTest, IncrementalSearchFindsByTypedLetters) {
  Fill({L"apple", L"avocado", L"banana"});
  Tree.SetIncrementalSearch(TVTIncrementalSearch::isAll);
  Show();
  struct Case {
    const char* Name;
    std::string Typed;
    uint32_t Focus;
  } cases[] = {{"a", "a", 0}, {"a again", "aa", 1}, {"a then v", "av", 1}, {"b", "b", 2}};
  for (const Case& c : cases) {
    SendMessageA(Tree.Handle(), WM_TIMER, 7, 0);  // the pause that ends a search
    Tree.SetFocusedNode(nullptr);
    for (char ch : c.Typed) Type(ch);
    ASSERT_NE(Tree.FocusedNode(), nullptr) << c.Name;
    EXPECT_EQ(Tree.FocusedNode()->IndexInParent, c.Focus) << c.Name;
    EXPECT_EQ(Selected(), std::vector<uint32_t>{c.Focus}) << c.Name;
  }
  // After the pause a new search starts from the focused node.
  SendMessageA(Tree.Handle(), WM_TIMER, 7, 0);
  EXPECT_TRUE(Tree.SearchBuffer().empty());
  Type('a');
  EXPECT_EQ(Tree.FocusedNode()->IndexInParent, 0u);
  // Backspace shortens the text and searches back.
  SendMessageA(Tree.Handle(), WM_TIMER, 7, 0);
  Tree.SetFocusedNode(nullptr);
  Type('a');
  Type('v');
  EXPECT_EQ(Tree.SearchBuffer(), L"av");
  Type('\b');
  EXPECT_EQ(Tree.SearchBuffer(), L"a");
  EXPECT_EQ(Tree.FocusedNode()->IndexInParent, 0u);
}

TEST_F(InputTest, WithoutIncrementalSearchLettersOnlyReachOnKeyPress) {
  Fill({L"apple", L"banana"});
  Show();
  int presses = 0;
  Tree.OnKeyPress = TKeyPressEvent::Lambda([&](TObject*, char&) { ++presses; });
  Type('b');
  EXPECT_EQ(presses, 1);
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
}

TEST_F(InputTest, WantTabsAddsTabToTheDialogCode) {
  Show();
  EXPECT_EQ(SendMessageA(Tree.Handle(), WM_GETDLGCODE, 0, 0), 129);
  Tree.SetWantTabs(true);
  EXPECT_EQ(SendMessageA(Tree.Handle(), WM_GETDLGCODE, 0, 0), 131);
}

TEST_F(InputTest, OnKeyActionMayChangeOrSwallowAKey) {
  Fill({L"one", L"two", L"three"});
  Show();
  Tree.OnKeyAction = TVTKeyActionEvent::Lambda([](TBaseVirtualTree*, WORD& key, TShiftState&, bool& doDefault) {
    if (key == VK_UP) doDefault = false;
    if (key == VK_LEFT) key = VK_END;
  });
  Key(VK_UP);
  EXPECT_EQ(Tree.FocusedNode(), nullptr);
  Key(VK_LEFT);
  EXPECT_EQ(Tree.FocusedNode(), Node(2));
}

TEST_F(InputTest, F2AndASecondClickStartAnEditADoubleClickCancelsIt) {
  Fill({L"one", L"two"});
  Options({}, {MO::toEditable});
  Show();
  Tree.SetFocusedNode(Node(0));
  Key(VK_F2);
  EXPECT_TRUE(Tree.IsEditing());
  Tree.CancelNodeEdit();
  ASSERT_TRUE(RunMessagesUntil([&] { return Tree.EditLink() == nullptr; }));
  Tree.SetFocus();
  const POINT p = LabelPoint(Node(1));
  Click(p);  // selects
  Click(p);  // a second click on the selected node waits for the edit delay
  EXPECT_TRUE(Tree.TreeStates().Contains(TS::tsEditPending));
  SendMessageA(Tree.Handle(), WM_TIMER, 2, 0);
  EXPECT_TRUE(Tree.IsEditing());
  Tree.CancelNodeEdit();
  ASSERT_TRUE(RunMessagesUntil([&] { return Tree.EditLink() == nullptr; }));
  Tree.SetFocus();
  Click(p);
  EXPECT_TRUE(Tree.TreeStates().Contains(TS::tsEditPending));
  SendMessageA(Tree.Handle(), WM_LBUTTONDBLCLK, MK_LBUTTON, At(p));
  EXPECT_FALSE(Tree.TreeStates().Contains(TS::tsEditPending));
  SendMessageA(Tree.Handle(), WM_TIMER, 2, 0);
  EXPECT_FALSE(Tree.IsEditing());
}

}  // namespace

namespace {
using HO = TVTHeaderOption;

// Three 80-pixel columns under a visible header that allows dragging and
// resizing. Header points are client points above 0.
class HeaderGestureTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);
    TVTHeader* header = Tree.Header();
    for (const wchar_t* caption : {L"zero", L"one", L"two"}) {
      TVirtualTreeColumn* column = header->Columns()->Add();
      column->SetText(caption);
      column->SetWidth(80);
    }
    TVTHeaderOptions options = header->Options();
    for (HO o : {HO::hoVisible, HO::hoDrag, HO::hoColumnResize, HO::hoHeightResize, HO::hoDblClickResize})
      options.Include(o);
    header->SetOptions(options);
    Tree.OnHeaderClick = TVTHeaderClickEvent::Lambda([this](TVTHeader*, TVTHeaderHitInfo& info) {
      Log.push_back("click " + std::to_string(info.Column));
    });
    Tree.OnHeaderDragged = TVTHeaderDraggedEvent::Lambda([this](TVTHeader*, TColumnIndex column, TColumnPosition from) {
      Log.push_back("dragged " + std::to_string(column) + " from " + std::to_string(from));
    });
    Tree.OnHeaderDraggedOut = TVTHeaderDraggedOutEvent::Lambda(
        [this](TVTHeader*, TColumnIndex column, POINT) { Log.push_back("out " + std::to_string(column)); });
    Tree.SetRootNodeCount(3);
    Host.Place(Tree, 300, 200);
  }
  LPARAM Screen(POINT p) {
    ClientToScreen(Tree.Handle(), &p);
    return MAKELPARAM(p.x, p.y);
  }
  void Press(POINT p) { SendMessageA(Tree.Handle(), WM_NCLBUTTONDOWN, HTBORDER, Screen(p)); }
  void Move(POINT p) { SendMessageA(Tree.Handle(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y)); }
  void Release(POINT p) { SendMessageA(Tree.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y)); }
  std::vector<TColumnIndex> Order() {
    const TIndexArray& order = Tree.Header()->Columns()->PositionToIndex();
    return std::vector<TColumnIndex>(order.begin(), order.end());
  }
  TreeHost Host;
  TVirtualStringTree Tree{nullptr};
  std::vector<std::string> Log;
};

TEST_F(HeaderGestureTest, AColumnDroppedOnTheRightHalfLandsThereOnTheLeftHalfBefore) {
  struct Case {
    const char* Name;
    int DropX;
    std::vector<TColumnIndex> Order;
    std::string Logged;
  } cases[] = {{"right half of position 2", 230, {1, 2, 0}, "dragged 0 from 0"},
               {"left half of position 2", 170, {1, 0, 2}, "dragged 0 from 0"}};
  for (const Case& c : cases) {
    Tree.Header()->Columns()->Items(0)->SetPosition(0);
    Tree.Header()->Columns()->Items(1)->SetPosition(1);
    Tree.Header()->Columns()->Items(2)->SetPosition(2);
    ASSERT_EQ(Order(), (std::vector<TColumnIndex>{0, 1, 2})) << c.Name;
    Log.clear();
    Press(POINT{30, -5});
    Move(POINT{60, -5});
    EXPECT_TRUE(Tree.Header()->Dragging()) << c.Name;
    Move(POINT{c.DropX, -5});
    Release(POINT{c.DropX, -5});
    EXPECT_FALSE(Tree.Header()->Dragging()) << c.Name;
    EXPECT_EQ(Order(), c.Order) << c.Name;
    EXPECT_EQ(Log, std::vector<std::string>{c.Logged}) << c.Name;
  }
}

TEST_F(HeaderGestureTest, OutOfTheWindowEscapeAndSmallMovesLeaveTheOrder) {
  Press(POINT{30, -5});
  Move(POINT{60, -5});
  Move(POINT{900, -5});
  Release(POINT{900, -5});
  EXPECT_EQ(Log, std::vector<std::string>{"out 0"});
  Log.clear();
  Press(POINT{30, -5});
  Move(POINT{60, -5});
  Move(POINT{230, -5});
  SendMessageA(Tree.Handle(), WM_KEYDOWN, VK_ESCAPE, 1);
  EXPECT_FALSE(Tree.Header()->Dragging());
  Release(POINT{230, -5});
  Log.clear();
  // Under the drag threshold it is a click.
  Press(POINT{110, -5});
  Move(POINT{111, -5});
  Release(POINT{111, -5});
  EXPECT_EQ(Log, std::vector<std::string>{"click 1"});
  EXPECT_EQ(Order(), (std::vector<TColumnIndex>{0, 1, 2}));
}

TEST_F(HeaderGestureTest, SplittersResizeColumnsAndTheBottomEdgeTheHeight) {
  TVirtualTreeColumns* columns = Tree.Header()->Columns();
  Press(POINT{80, -5});
  Move(POINT{100, -5});
  Release(POINT{100, -5});
  EXPECT_EQ(columns->Items(0)->Width(), 100);
  EXPECT_EQ(Log, std::vector<std::string>{});
  // A double click on the splitter fits the column to its content.
  const POINT edge{100, -5};
  SendMessageA(Tree.Handle(), WM_NCLBUTTONDBLCLK, HTBORDER, Screen(edge));
  EXPECT_TRUE(RunMessagesUntil([&] { return columns->Items(0)->Width() != 100; }));
  const int32_t height = Tree.Header()->Height();
  SendMessageA(Tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 0));
  Move(POINT{50, 10});
  Release(POINT{50, 10});
  EXPECT_EQ(Tree.Header()->Height(), height + 10);
}
}  // namespace
