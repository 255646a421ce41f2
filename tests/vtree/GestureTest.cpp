// The tree's mouse and keys beyond clicks: context menus (right button, the
// context-menu message, the Apps key, the header), help with F1, Tab
// between cells, node heights dragged by a row's edge, panning with the
// middle button, the cursor, the decision to drag, and the header's hover.
#include "tests/vtree/TreeChecker.h"

#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Screen.h"
#include "vtree/StringTree.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using SO = TVTSelectionOption;
using MO = TVTMiscOption;
using TS = TVirtualTreeState;
using HO = TVTHeaderOption;
using testing_support::ReadPixels;
using testing_support::RunMessagesUntilIdle;

// A popup menu that notes where it would open instead of running the
// system's modal menu loop.
class RecordingMenu : public TPopupMenu {
public:
  using TPopupMenu::TPopupMenu;
  void Popup(int X, int Y) override {
    Shown.push_back(POINT{X, Y});
    Component = PopupComponent();
  }
  std::vector<POINT> Shown;
  TComponent* Component = nullptr;
};

class GestureTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);
    Tree.OnGetText = TVSTGetTextEvent::Lambda(
        [](TBaseVirtualTree*, PVirtualNode node, TColumnIndex column, TVSTTextType, std::wstring& text) {
          text = L"n" + std::to_wstring(node->IndexInParent) + L"c" + std::to_wstring(column);
        });
  }
  void Show(uint32_t rows, int width = 300, int height = 200) {
    Tree.SetRootNodeCount(rows);
    Host.Place(Tree, width, height);
    ShowWindow(Host.Handle(), SW_SHOW);
    SetForegroundWindow(Host.Handle());
    Tree.SetFocus();
  }
  void Columns(int count, int width = 80) {
    for (int i = 0; i < count; ++i) Tree.Header()->Columns()->Add()->SetWidth(width);
    Tree.Header()->SetOptions(Tree.Header()->Options() + HO::hoVisible);
  }
  void Options(std::initializer_list<SO> selection, std::initializer_list<MO> misc = {}) {
    TVTSelectionOptions s = Tree.TreeOptions()->SelectionOptions();
    for (SO o : selection) s.Include(o);
    Tree.TreeOptions()->SetSelectionOptions(s);
    TVTMiscOptions m = Tree.TreeOptions()->MiscOptions();
    for (MO o : misc) m.Include(o);
    Tree.TreeOptions()->SetMiscOptions(m);
  }
  PVirtualNode Node(uint32_t index) {
    PVirtualNode node = Tree.FirstNode();
    while (node && index-- > 0) node = Tree.NextNode(node);
    return node;
  }
  POINT LabelPoint(PVirtualNode node, TColumnIndex column = NoColumn) {
    const RECT r = Tree.NodeDisplayRect(node, column, true);
    return POINT{r.left + 3, (r.top + r.bottom) / 2};
  }
  LRESULT Send(UINT msg, WPARAM w, POINT p) { return SendMessageA(Tree.Handle(), msg, w, MAKELPARAM(p.x, p.y)); }
  void Key(WORD vk) {
    SendMessageA(Tree.Handle(), WM_KEYDOWN, vk, 1);
    SendMessageA(Tree.Handle(), WM_KEYUP, vk, 0xC0000001);
  }
  TreeHost Host;
  TVirtualStringTree Tree{nullptr};
};

// --- context menus --------------------------------------------------------------------------------

TEST_F(GestureTest, TheMenuOfANodeComesFromItOrItsParents) {
  RecordingMenu menu(nullptr);
  Show(2);
  Tree.SetChildCount(Node(0), 1);
  Tree.SetExpanded(Node(0), true);
  PVirtualNode child = Tree.FirstChildNode(Node(0));
  std::vector<std::string> asked;
  struct Case {
    const char* Name;
    bool ParentAnswers;  // else the child answers
    bool StopAtChild;    // the child's handler lets no parent be asked
    bool Shown;
    std::vector<std::string> Asked;
  } cases[] = {{"the child answers", false, false, true, {"child"}},
               {"the parent answers", true, false, true, {"child", "parent"}},
               {"the child keeps the question", true, true, false, {"child"}}};
  for (const Case& c : cases) {
    asked.clear();
    menu.Shown.clear();
    Tree.OnGetPopupMenu = TVTPopupEvent::Lambda(
        [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, POINT, bool& askParent, TPopupMenu*& popup) {
          const bool isChild = node == child;
          asked.push_back(isChild ? "child" : "parent");
          if (isChild && c.StopAtChild) askParent = false;
          if (isChild != c.ParentAnswers) popup = &menu;
        });
    const POINT at = LabelPoint(child);
    Send(WM_RBUTTONDOWN, MK_RBUTTON, at);
    Send(WM_RBUTTONUP, 0, at);
    EXPECT_EQ(asked, c.Asked) << c.Name;
    ASSERT_EQ(menu.Shown.size(), c.Shown ? 1u : 0u) << c.Name;
    if (c.Shown) {
      POINT screen = at;
      ClientToScreen(Tree.Handle(), &screen);
      EXPECT_EQ(menu.Shown[0].x, screen.x) << c.Name;
      EXPECT_EQ(menu.Shown[0].y, screen.y) << c.Name;
      EXPECT_EQ(menu.Component, &Tree) << c.Name;
    }
  }
  // Without a node the handler is asked once, for column -1.
  asked.clear();
  TColumnIndex column = 99;
  Tree.OnGetPopupMenu = TVTPopupEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex c, POINT, bool&, TPopupMenu*&) {
        asked.push_back(node ? "node" : "none");
        column = c;
      });
  Send(WM_RBUTTONUP, 0, POINT{100, 150});
  EXPECT_EQ(asked, std::vector<std::string>{"none"});
  EXPECT_EQ(column, NoColumn);
}

TEST_F(GestureTest, TheAppsKeyAndTheContextMenuMessage) {
  RecordingMenu nodeMenu(nullptr), treeMenu(nullptr);
  Show(3);
  Tree.OnGetPopupMenu = TVTPopupEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex, POINT, bool&, TPopupMenu*& popup) { popup = &nodeMenu; });
  // Without a focused node the key does nothing.
  Key(VK_APPS);
  EXPECT_TRUE(nodeMenu.Shown.empty());
  Tree.SetFocusedNode(Node(1));
  Key(VK_APPS);
  ASSERT_EQ(nodeMenu.Shown.size(), 1u);
  const RECT text = Tree.NodeDisplayRect(Node(1), NoColumn, true);
  POINT expected{text.left, (text.top + text.bottom) / 2};
  ClientToScreen(Tree.Handle(), &expected);
  EXPECT_GT(nodeMenu.Shown[0].x, expected.x) << "into the text";
  EXPECT_LT(nodeMenu.Shown[0].x, expected.x + (text.right - text.left)) << "within the text";
  EXPECT_EQ(nodeMenu.Shown[0].y, expected.y);
  // The keyboard's context-menu message (Shift+F10) opens the tree's own
  // menu at the middle of its client area, unless a node's menu was just shown.
  Tree.SetPopupMenu(&treeMenu);
  SendMessageA(Tree.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree.Handle()), -1);
  EXPECT_TRUE(treeMenu.Shown.empty()) << "a node's menu is still up";
  Send(WM_RBUTTONUP, 0, POINT{100, 150});  // the right button's release ends that
  treeMenu.Shown.clear();
  SendMessageA(Tree.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree.Handle()), -1);
  ASSERT_EQ(treeMenu.Shown.size(), 1u);
  POINT middle{Tree.ClientWidth() / 2, Tree.ClientHeight() / 2};
  ClientToScreen(Tree.Handle(), &middle);
  EXPECT_EQ(treeMenu.Shown[0].x, middle.x);
  EXPECT_EQ(treeMenu.Shown[0].y, middle.y);
  Tree.SetPopupMenu(nullptr);
}

TEST_F(GestureTest, TheContextMenuMessageEndsPendingClicks) {
  Options({}, {MO::toEditable, MO::toEditOnClick});
  Show(3);
  const POINT at = LabelPoint(Node(1));
  Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
  Send(WM_LBUTTONUP, 0, at);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
  Send(WM_LBUTTONUP, 0, at);
  ASSERT_TRUE(Tree.TreeStates().Contains(TS::tsEditPending));
  SendMessageA(Tree.Handle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree.Handle()), -1);
  EXPECT_FALSE(Tree.TreeStates().Contains(TS::tsEditPending));
  SendMessageA(Tree.Handle(), WM_TIMER, 2, 0);
  EXPECT_FALSE(Tree.IsEditing());
}

TEST_F(GestureTest, TheHeadersMenuOpensOnARightClickInTheHeader) {
  RecordingMenu menu(nullptr);
  Columns(3);
  Show(3);
  TColumnIndex asked = 99;
  Tree.OnGetPopupMenu = TVTPopupEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex column, POINT, bool&, TPopupMenu*& popup) {
        if (!node) asked = column;
        popup = &menu;
      });
  POINT at{100, -5};
  ClientToScreen(Tree.Handle(), &at);
  SendMessageA(Tree.Handle(), WM_NCRBUTTONUP, HTBORDER, MAKELPARAM(at.x, at.y));
  EXPECT_EQ(asked, 1);
  ASSERT_EQ(menu.Shown.size(), 1u);
  EXPECT_EQ(menu.Shown[0].x, at.x);
  EXPECT_EQ(menu.Shown[0].y, at.y);
  EXPECT_EQ(menu.Component, &Tree);
}

// --- help -----------------------------------------------------------------------------------------

TEST_F(GestureTest, F1AsksTheNodesThenTheControlsForAHelpContext) {
  Show(1);
  Tree.SetChildCount(Node(0), 1);
  Tree.SetExpanded(Node(0), true);
  PVirtualNode child = Tree.FirstChildNode(Node(0));
  std::vector<THelpContext> opened;
  // The help goes through the application object.
  const bool made = Application == nullptr;
  if (made) ApplicationInit();
  const THelpEvent previous = Application->OnHelp;
  Application->OnHelp = THelpEvent::Lambda([&](WORD command, LONG_PTR data, bool&) {
    if (command == HELP_CONTEXT) opened.push_back(static_cast<THelpContext>(data));
    return true;
  });
  struct Case {
    const char* Name;
    bool Handler;
    int ChildContext, ParentContext, TreeContext;
    std::vector<THelpContext> Opened;
  } cases[] = {{"no handler: the control's own, as any control", false, 0, 0, 7, {7}},
               {"the node's own", true, 11, 22, 7, {11}},
               {"its parent's", true, 0, 22, 7, {22}},
               {"the tree's", true, 0, 0, 7, {7}},
               {"none at all", true, 0, 0, 0, {}}};
  Tree.SetFocusedNode(child);
  for (const Case& c : cases) {
    opened.clear();
    Tree.SetHelpContext(c.TreeContext);
    if (c.Handler)
      Tree.OnGetHelpContext = TVTHelpContextEvent::Lambda(
          [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, int& context) {
            context = node == child ? c.ChildContext : c.ParentContext;
          });
    else
      Tree.OnGetHelpContext = nullptr;
    Key(VK_F1);
    EXPECT_EQ(opened, c.Opened) << c.Name;
  }
  Application->OnHelp = previous;
  if (made) ApplicationDone();
}

// --- Tab between cells ----------------------------------------------------------------------------

TEST_F(GestureTest, TabMovesBetweenCellsAndOnToTheNextRow) {
  Columns(3);
  Options({SO::toExtendedFocus});
  Tree.SetWantTabs(true);
  Show(2);
  Tree.SetFocusedNode(Node(0));
  Tree.SetFocusedColumn(0);
  struct Step {
    bool Back;
    uint32_t Node;
    TColumnIndex Column;
  } steps[] = {{false, 0, 1}, {false, 0, 2}, {false, 1, 0}, {false, 1, 1}, {true, 1, 0}, {true, 0, 2}};
  for (const Step& s : steps) {
    if (s.Back) {
      BYTE state[256];
      GetKeyboardState(state);
      state[VK_SHIFT] = 0x80;
      SetKeyboardState(state);
      Key(VK_TAB);
      state[VK_SHIFT] = 0;
      SetKeyboardState(state);
    } else {
      Key(VK_TAB);
    }
    EXPECT_EQ(Tree.FocusedNode(), Node(s.Node));
    EXPECT_EQ(Tree.FocusedColumn(), s.Column);
  }
  // A column OnFocusChanging refuses is passed over.
  Tree.OnFocusChanging = TVTFocusChangingEvent::Lambda(
      [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex, TColumnIndex column, bool& allowed) {
        allowed = column != 0;
      });
  Key(VK_TAB);
  EXPECT_EQ(Tree.FocusedNode(), Node(1));
  EXPECT_EQ(Tree.FocusedColumn(), 1);
  // At the last cell nothing moves.
  Key(VK_TAB);
  Key(VK_TAB);
  EXPECT_EQ(Tree.FocusedNode(), Node(1));
  EXPECT_EQ(Tree.FocusedColumn(), 2);
}

// --- node heights ----------------------------------------------------------------------------------

TEST_F(GestureTest, ARowsEdgeDragsItsHeightAndADoubleClickResetsIt) {
  Options({}, {MO::toNodeHeightResize, MO::toNodeHeightDblClickResize});
  Show(3);
  const int32_t row = static_cast<int32_t>(Tree.DefaultNodeHeight());
  std::vector<uint32_t> tracked;
  Tree.OnNodeHeightTracking = TVTNodeHeightTrackingEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, TShiftState, POINT&, POINT, bool&) {
        tracked.push_back(node->IndexInParent);
      });
  struct Case {
    const char* Name;
    uint32_t EdgeRow;  // the row whose edge is pressed
    bool Upper;
    int32_t MoveTo;    // from the tracked row's top
    uint32_t Node;     // the row whose height changes
    uint32_t Height;
  } cases[] = {{"lower edge of the first row", 0, false, row + 12, 0, uint32_t(row + 12)},
               {"upper edge of the third row drags the second", 2, true, 10, 1, 10},
               {"above its top: one pixel at least", 2, true, -30, 1, 1}};
  for (const Case& c : cases) {
    tracked.clear();
    const RECT edgeRow = Tree.NodeDisplayRect(Node(c.EdgeRow), NoColumn, false);
    const POINT press{100, c.Upper ? edgeRow.top : edgeRow.bottom - 2};
    const RECT trackedRow = Tree.NodeDisplayRect(Node(c.Node), NoColumn, false);
    const POINT to{100, trackedRow.top + c.MoveTo};
    Send(WM_LBUTTONDOWN, MK_LBUTTON, press);
    EXPECT_TRUE(Tree.TreeStates().Contains(TS::tsNodeHeightTrackPending)) << c.Name;
    Send(WM_MOUSEMOVE, MK_LBUTTON, to);
    EXPECT_TRUE(Tree.TreeStates().Contains(TS::tsNodeHeightTracking)) << c.Name;
    Send(WM_LBUTTONUP, 0, to);
    EXPECT_FALSE(Tree.TreeStates().Contains(TS::tsNodeHeightTracking)) << c.Name;
    EXPECT_EQ(Tree.NodeHeightOf(Node(c.Node)), c.Height) << c.Name;
    EXPECT_EQ(tracked, std::vector<uint32_t>{c.Node}) << c.Name;
    EXPECT_TRUE(TreeIsConsistent(Tree)) << c.Name;
  }
  // A double click on the lower edge puts the default height back.
  const RECT first = Tree.NodeDisplayRect(Node(0), NoColumn, false);
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, POINT{100, first.bottom - 2});
  EXPECT_EQ(Tree.NodeHeightOf(Node(0)), Tree.DefaultNodeHeight());
  // The vertical-split cursor shows over an edge, the tree's own elsewhere.
  EXPECT_EQ(Tree.CursorAt(POINT{100, row - 2}), Screen->Cursors(crVertSplit));
  EXPECT_EQ(Tree.CursorAt(POINT{100, row / 2}), Screen->Cursors(Tree.Cursor()));
  EXPECT_EQ(Tree.CursorAt(POINT{100, 0}), Screen->Cursors(Tree.Cursor())) << "no row above the first";
  TCursor asked = crNone;
  Tree.OnGetCursor = TVTGetCursorEvent::Lambda([&](TBaseVirtualTree*, TCursor& cursor) {
    asked = cursor;
    cursor = crHandPoint;
  });
  EXPECT_EQ(Tree.CursorAt(POINT{100, row / 2}), Screen->Cursors(crHandPoint));
  EXPECT_EQ(asked, Tree.Cursor());
}

// --- panning ---------------------------------------------------------------------------------------

TEST_F(GestureTest, TheMiddleButtonPansWithItsWindowAndCursors) {
  Options({}, {MO::toWheelPanning});
  struct Case {
    const char* Name;
    uint32_t Rows;
    int ColumnWidth;  // 0: no columns
    const char* Image;
  } cases[] = {{"taller", 100, 0, "VT_MOVENS"}, {"wider", 2, 400, "VT_MOVEEW"}, {"both", 100, 400, "VT_MOVEALL"}};
  for (const Case& c : cases) {
    TVirtualStringTree tree(nullptr);
    tree.SetBorderStyle(bsNone);
    tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + MO::toWheelPanning);
    if (c.ColumnWidth) {
      tree.Header()->Columns()->Add()->SetWidth(c.ColumnWidth);
      tree.Header()->SetOptions(tree.Header()->Options() + HO::hoVisible);
    }
    tree.SetRootNodeCount(c.Rows);
    Host.Place(tree, 300, 200);
    ShowWindow(Host.Handle(), SW_SHOW);
    const POINT press{150, 100};
    SendMessageA(tree.Handle(), WM_MBUTTONDOWN, MK_MBUTTON, MAKELPARAM(press.x, press.y));
    ASSERT_TRUE(tree.TreeStates().Contains(TS::tsWheelPanning)) << c.Name;
    EXPECT_STREQ(tree.PanningImageName(), c.Image) << c.Name;
    EXPECT_STREQ(tree.PanningCursorName(), c.Image) << c.Name << ": the resting cursor is the picture's";
    HWND window = tree.PanningWindow();
    ASSERT_TRUE(window) << c.Name;
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    EXPECT_STREQ(name, "VTPanningWindow") << c.Name;
    // A child window cannot own: the owner is the tree's top-level window.
    EXPECT_EQ(GetWindow(window, GW_OWNER), GetAncestor(tree.Handle(), GA_ROOT)) << c.Name;
    EXPECT_TRUE(IsWindowVisible(window)) << c.Name;
    RECT r;
    GetWindowRect(window, &r);
    POINT centre = press;
    ClientToScreen(tree.Handle(), &centre);
    EXPECT_EQ(r.left, centre.x - 16) << c.Name;
    EXPECT_EQ(r.top, centre.y - 16) << c.Name;
    EXPECT_EQ(r.right - r.left, 32) << c.Name;
    // The window is shaped by the picture: its magenta corners are cut off.
    HRGN region = CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(GetWindowRgn(window, region), ERROR) << c.Name;
    EXPECT_TRUE(PtInRegion(region, 16, 16)) << c.Name;
    EXPECT_FALSE(PtInRegion(region, 0, 0)) << c.Name;
    DeleteObject(region);
    // It shows the picture: white inside the ring, the black dot in the middle.
    if (std::string(c.Image) == "VT_MOVENS") {
      HDC screen = GetDC(nullptr);
      EXPECT_EQ(ReadPixels(screen, RECT{r.left + 5, r.top + 16, r.left + 6, r.top + 17}).At(0, 0), 0xFFFFFFu) << c.Name;
      EXPECT_EQ(ReadPixels(screen, RECT{r.left + 16, r.top + 16, r.left + 17, r.top + 17}).At(0, 0), 0u) << c.Name;
      ReleaseDC(nullptr, screen);
    }
    EXPECT_EQ(GetCapture(), tree.Handle()) << c.Name;
    // Released where it was pressed, the panning goes on until the next click.
    SendMessageA(tree.Handle(), WM_MBUTTONUP, 0, MAKELPARAM(press.x, press.y));
    EXPECT_TRUE(tree.TreeStates().Contains(TS::tsWheelScrolling)) << c.Name;
    EXPECT_TRUE(tree.PanningWindow()) << c.Name;
    SendMessageA(tree.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(press.x, press.y));
    SendMessageA(tree.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(press.x, press.y));
    EXPECT_FALSE(tree.TreeStates().Contains(TS::tsWheelScrolling)) << c.Name;
    EXPECT_FALSE(tree.PanningWindow()) << c.Name;
    EXPECT_FALSE(IsWindow(window)) << c.Name;
    EXPECT_NE(GetCapture(), tree.Handle()) << c.Name;
  }
}

TEST_F(GestureTest, PanningScrollsByTheDistanceFromThePressAndChoosesItsCursor) {
  Options({}, {MO::toWheelPanning});
  Columns(1, 600);
  Show(100);
  const POINT press{150, 100};
  Send(WM_MBUTTONDOWN, MK_MBUTTON, press);
  ASSERT_TRUE(Tree.TreeStates().Contains(TS::tsWheelPanning));
  struct Case {
    const char* Name;
    POINT At;  // from the press
    const char* Cursor;
    POINT Scroll;  // per tick
  } cases[] = {
      {"resting", {3, -4}, "VT_MOVEALL", {0, 0}},
      {"down", {0, 30}, "VT_MOVES", {0, -22}},
      {"up", {2, -20}, "VT_MOVEN", {0, 12}},
      {"right", {40, 0}, "VT_MOVEE", {-32, 0}},
      {"down and left", {-20, 20}, "VT_MOVESW", {12, -12}},
      {"up and right", {30, -30}, "VT_MOVENE", {-22, 22}},
  };
  for (const Case& c : cases) {
    Tree.SetOffsetXY(POINT{-100, -200});
    const POINT at{press.x + c.At.x, press.y + c.At.y};
    Send(WM_MOUSEMOVE, MK_MBUTTON, at);
    EXPECT_STREQ(Tree.PanningCursorName(), c.Cursor) << c.Name;
    SendMessageA(Tree.Handle(), WM_TIMER, 4, 0);
    EXPECT_EQ(Tree.OffsetX(), -100 + c.Scroll.x) << c.Name;
    EXPECT_EQ(Tree.OffsetY(), -200 + c.Scroll.y) << c.Name;
  }
  // Moved while held, the button's release ends the panning.
  Send(WM_MBUTTONUP, 0, POINT{press.x + 30, press.y - 30});
  EXPECT_FALSE(Tree.TreeStates().Contains(TS::tsWheelPanning));
  EXPECT_FALSE(Tree.PanningWindow());
}

// --- dragging ----------------------------------------------------------------------------------------

TEST_F(GestureTest, APressOnANodeBeginsADragAsTheTreeDecides) {
  Options({SO::toMultiSelect});
  Show(3);
  struct Case {
    const char* Name;
    TDragMode Mode;
    TVTDragType Type;
    bool Allow;
    TVirtualTreeStates Expected;
  } cases[] = {{"manual, refused", dmManual, TVTDragType::dtOLE, false, {}},
               {"manual, allowed: OLE pending", dmManual, TVTDragType::dtOLE, true, {TS::tsOLEDragPending}},
               {"automatic: OLE pending", dmAutomatic, TVTDragType::dtOLE, false, {TS::tsOLEDragPending}},
               {"automatic, the class library's drag", dmAutomatic, TVTDragType::dtVCL, false, {TS::tsVCLDragPending}}};
  std::vector<uint32_t> asked;
  for (const Case& c : cases) {
    asked.clear();
    Tree.SetDragMode(c.Mode);
    Tree.SetDragType(c.Type);
    Tree.OnDragAllowed = TVTDragAllowedEvent::Lambda(
        [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, bool& allowed) {
          asked.push_back(node->IndexInParent);
          allowed = c.Allow;
        });
    const POINT at = LabelPoint(Node(1));
    Send(WM_LBUTTONDOWN, MK_LBUTTON, at);
    const TVirtualTreeStates drag{TS::tsOLEDragPending, TS::tsVCLDragPending};
    EXPECT_EQ(Tree.TreeStates() * drag, c.Expected) << c.Name;
    EXPECT_EQ(asked.size(), c.Mode == dmManual ? 1u : 0u) << c.Name;
    EXPECT_TRUE(Tree.Selected(Node(1))) << c.Name << ": selected before the drag";
    if (c.Type == TVTDragType::dtOLE && c.Expected.Contains(TS::tsOLEDragPending)) {
      EXPECT_EQ(Tree.DragThreshold(), GetSystemMetrics(SM_CXDRAG)) << c.Name;
    }
    Send(WM_LBUTTONUP, 0, at);
    EXPECT_TRUE((Tree.TreeStates() * drag).Empty()) << c.Name << ": a release without a move is a click";
  }
  // A second selected node keeps the selection until the release: a drag
  // of several nodes may follow.
  Tree.SetDragMode(dmAutomatic);
  Tree.SetDragType(TVTDragType::dtOLE);
  Tree.ClearAllSelection();
  Tree.SetSelected(Node(0), true);
  Tree.SetSelected(Node(1), true);
  Send(WM_LBUTTONDOWN, MK_LBUTTON, LabelPoint(Node(1)));
  EXPECT_TRUE(Tree.TreeStates().Contains(TS::tsClearPending));
  EXPECT_EQ(Tree.SelectedCount(), 2u);
  Send(WM_LBUTTONUP, 0, LabelPoint(Node(1)));
  EXPECT_EQ(Tree.SelectedCount(), 1u);
  EXPECT_TRUE(Tree.Selected(Node(1)));
}

// --- the header's hover ----------------------------------------------------------------------------

TEST_F(GestureTest, TheHeadersHoverFollowsTheMouseAndEndsOnceItLeaves) {
  Columns(3);
  Tree.Header()->SetOptions(Tree.Header()->Options() + HO::hoHotTrack);
  Show(3);
  std::vector<std::string> moves;
  Tree.OnHeaderMouseMove = TVTHeaderMouseMoveEvent::Lambda(
      [&](TVTHeader*, TShiftState, int x, int) { moves.push_back(std::to_string(x)); });
  POINT over{100, -5};
  ClientToScreen(Tree.Handle(), &over);
  SetCursorPos(over.x, over.y);
  SendMessageA(Tree.Handle(), WM_NCMOUSEMOVE, HTBORDER, MAKELPARAM(over.x, over.y));
  EXPECT_EQ(Tree.Header()->Columns()->HoverIndex(), 1);
  EXPECT_EQ(moves, std::vector<std::string>{"100"});
  // The timer keeps the hover while the mouse stays over the header ...
  SendMessageA(Tree.Handle(), WM_TIMER, 3, 0);
  EXPECT_EQ(Tree.Header()->Columns()->HoverIndex(), 1);
  // ... and drops it once the mouse has gone.
  POINT away{100, 150};
  ClientToScreen(Tree.Handle(), &away);
  SetCursorPos(away.x, away.y);
  SendMessageA(Tree.Handle(), WM_TIMER, 3, 0);
  EXPECT_EQ(Tree.Header()->Columns()->HoverIndex(), NoColumn);
}
}  // namespace

namespace {
// OnCanSplitterResizeColumn decides whether a splitter takes a column; a
// refused one leaves the splitter to the column on its left.
TEST_F(GestureTest, ASplitterResizesOnlyWhatTheHandlerAllows) {
  Columns(3);
  Tree.Header()->SetOptions(Tree.Header()->Options() + HO::hoColumnResize);
  Show(3);
  struct Case {
    const char* Name;
    TColumnIndex Refused;
    int X;  // header co-ordinates
    TColumnIndex Tracked;
    std::vector<TColumnIndex> Asked;
  } cases[] = {{"allowed", NoColumn, 80, 0, {0}},
               {"refused", 0, 80, NoColumn, {0}},
               {"the second's edge", NoColumn, 161, 1, {1}},
               {"refused at the last column", 2, 240, NoColumn, {2}}};
  for (const Case& c : cases) {
    std::vector<TColumnIndex> asked;
    Tree.OnCanSplitterResizeColumn = TVTCanSplitterResizeColumnEvent::Lambda(
        [&](TVTHeader*, POINT, TColumnIndex column, bool& allowed) {
          asked.push_back(column);
          if (column == c.Refused) allowed = false;
        });
    EXPECT_EQ(Tree.Header()->FindSplitter(POINT{c.X, 5}), c.Tracked != NoColumn) << c.Name;
    EXPECT_EQ(Tree.Header()->Columns()->TrackIndex(), c.Tracked) << c.Name;
    EXPECT_EQ(asked, c.Asked) << c.Name;
  }
}
}  // namespace
