// Dragging nodes: the effect a drop proposes, a drag of the class library
// from an article list onto a category tree driven by posted mouse messages,
// an OLE drop through the drop target registered for the tree's window, and
// a real OLE drag started by the mouse that moves nodes into another tree.
// The OLE drags run the system's drag loop with the cursor placed over the
// target, so this program holds the "input" lock.
#include "tests/vtree/TreeChecker.h"

#include "tests/support/BlockDataObject.h"

#include "platform/DragManager.h"
#include "vtree/StringTree.h"
#include "vtree/TreeDataObject.h"
#include "vtree/TreeDragManager.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using AO = TVTAutoOption;
using MO = TVTMiscOption;
using TS = TVirtualTreeState;
using DM = TVTDropMode;
using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;

// A tree that inserts what is dropped on it the way an application does.
class DropTree : public TVirtualStringTree {
public:
  DropTree() : TVirtualStringTree(nullptr) {}
  using TBaseVirtualTree::InsertFromDataObject;
};

std::wstring TextOf(TBaseVirtualTree& tree, PVirtualNode node) {
  return static_cast<TCustomVirtualStringTree&>(tree).TextOfCell(node, NoColumn);
}

// Names each node by its path, and keeps a name given in its data.
void NameNodes(TVirtualStringTree& tree, const std::wstring& prefix) {
  tree.OnGetText = TVSTGetTextEvent::Lambda(
      [prefix](TBaseVirtualTree* sender, PVirtualNode node, TColumnIndex, TVSTTextType, std::wstring& text) {
        const std::string path = NodePath(node, *sender);
        text = prefix + std::wstring(path.begin(), path.end());
      });
}

TEST(TreeDropEffect, ProposalsFollowTheSourceAndTheKeys) {
  TVirtualStringTree tree(nullptr);
  TVirtualStringTree other(nullptr);
  constexpr DWORD C = DROPEFFECT_COPY, M = DROPEFFECT_MOVE, L = DROPEFFECT_LINK;
  struct Case {
    const char* name;
    bool fromSelf;
    TShiftState shift;
    DWORD allowed;
    DWORD proposed;
  } cases[] = {
      {"own tree moves", true, {}, C | M | L, M},
      {"own tree, move not allowed", true, {}, C | L, C | L},
      {"other source copies", false, {}, C | M | L, C},
      {"other source, copy not allowed", false, {}, M | L, M | L},
      {"Ctrl copies", true, {ssCtrl}, C | M | L, C},
      {"Ctrl, copy not allowed", true, {ssCtrl}, M | L, M},
      {"Shift moves", false, {ssShift}, C | M | L, M},
      {"Shift, move not allowed", false, {ssShift}, C | L, C},
      {"Ctrl+Shift links", false, {ssCtrl, ssShift}, C | M | L, L},
      {"Ctrl+Shift, link not allowed", false, {ssCtrl, ssShift}, C | M, C},
      {"Alt links", true, {ssAlt}, C | M | L, L},
      {"Alt, link not allowed", true, {ssAlt}, C | M, M},
      {"Ctrl+Alt copies", false, {ssCtrl, ssAlt}, C | M | L, C},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(tree.ProposeDropEffect(c.fromSelf ? &tree : static_cast<TObject*>(&other), c.shift, c.allowed),
              c.proposed);
  }
  EXPECT_EQ(tree.ProposeDropEffect(nullptr, {}, C | M), C);
}

TEST(TreeDragManager, QueryContinueDragAnswersByTheButtonsAndEscape) {
  TVirtualStringTree tree(nullptr);
  TVTDragManager* manager = tree.DragManager();
  struct Case {
    const char* name;
    BOOL escape;
    DWORD keys;
    HRESULT result;
  } cases[] = {
      {"left held", FALSE, MK_LBUTTON, S_OK},
      {"right held", FALSE, MK_RBUTTON, S_OK},
      {"both buttons cancel", FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
      {"escape cancels", TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
      {"released drops", FALSE, 0, DRAGDROP_S_DROP},
      {"released with Ctrl drops", FALSE, MK_CONTROL, DRAGDROP_S_DROP},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(manager->QueryContinueDrag(c.escape, c.keys), c.result);
  }
  EXPECT_EQ(manager->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
}

TEST(TreeDragManager, WithoutTheSystemImagesTheTreeDrawsNone) {
  TVTDragManager::SetSystemImagesAllowed(false);
  TVirtualStringTree tree(nullptr);
  EXPECT_FALSE(tree.DragManager()->HasDropImageObject());
  TVTDragManager::SetSystemImagesAllowed(true);
  // The manager's data object is a drag's (not the clipboard's) unless the
  // application gives its own.
  TComPtr<IDataObject> data = tree.DragManager()->ActiveDataObject();
  auto* own = dynamic_cast<TVTDataObject*>(data.Get());
  ASSERT_NE(own, nullptr);
  EXPECT_FALSE(own->ForClipboard());
  TVirtualStringTree other(nullptr);
  TComPtr<IDataObject> given(new TVTDataObject(&tree, true));
  other.OnCreateDataObject =
      TVTCreateDataObjectEvent::Lambda([&](TBaseVirtualTree*, TComPtr<IDataObject>& data) { data = given; });
  EXPECT_EQ(other.DragManager()->ActiveDataObject().Get(), given.Get());
}

// Two trees side by side in a topmost window at a known place.
class TreeDragTest : public ::testing::Test {
protected:
  void SetUp() override {
    SetWindowPos(Host.Handle(), HWND_TOPMOST, 100, 100, 700, 320, SWP_SHOWWINDOW);
    Host.Place(Source, 300, 260);
    Host.Place(Target, 300, 260);
    Target.SetBounds(340, 0, 300, 260);
    NameNodes(Source, L"a");
    NameNodes(Target, L"c");
    RunMessagesUntilIdle();
  }
  // A client point of `to` in the client co-ordinates of `from`.
  static POINT Across(TBaseVirtualTree& from, TBaseVirtualTree& to, POINT p) {
    return from.ScreenToClient(to.ClientToScreen(p));
  }
  static POINT LabelPoint(TBaseVirtualTree& tree, PVirtualNode node) {
    const RECT r = tree.NodeDisplayRect(node, NoColumn, true);
    return POINT{r.left + 4, (r.top + r.bottom) / 2};
  }
  static void Post(TBaseVirtualTree& tree, UINT msg, WPARAM keys, POINT p) {
    PostMessageA(tree.Handle(), msg, keys, MAKELPARAM(p.x, p.y));
    RunMessagesUntilIdle();
  }

  TreeHost Host{true};
  TVirtualStringTree Source{nullptr};
  DropTree Target;
};

struct OverCall {
  TObject* Source;
  TDragState State;
  DM Mode;
  PVirtualNode Node;
};

TEST_F(TreeDragTest, AClassLibraryDragFromTheArticlesOntoTheCategories) {
  Source.SetRootNodeCount(4);
  Source.SetDragType(TVTDragType::dtVCL);
  Target.SetRootNodeCount(3);
  Target.SetChildCount(NodeAt(Target, {0}), 2);
  Target.SetAutoExpandDelay(30);
  RunMessagesUntilIdle();

  std::vector<std::wstring> asked;
  Source.OnDragAllowed = TVTDragAllowedEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, bool& allowed) {
    asked.push_back(TextOf(Source, node));
    allowed = node->IndexInParent != 3;
  });
  std::vector<OverCall> overs;
  Target.OnDragOver = TVTDragOverEvent::Lambda([&](TBaseVirtualTree* sender, TObject* source, TShiftState, TDragState state,
                                                   POINT, DM mode, DWORD& effect, bool& accept) {
    overs.push_back({source, state, mode, sender->DropTargetNode()});
    // Only a drop onto a node is taken; above or below one is refused.
    accept = mode == DM::dmOnNode;
    (void)effect;
  });
  struct Drop {
    TObject* Source;
    IDataObject* Data;
    size_t Formats;
    DM Mode;
    PVirtualNode Node;
    DWORD Effect;
  };
  std::vector<Drop> drops;
  Target.OnDragDrop = TVTDragDropEvent::Lambda([&](TBaseVirtualTree* sender, TObject* source, IDataObject* data,
                                                   const TFormatArray& formats, TShiftState, POINT, DWORD& effect, DM mode) {
    drops.push_back({source, data, formats.size(), mode, sender->DropTargetNode(), effect});
  });

  // A press on an article that may not go starts nothing.
  Post(Source, WM_LBUTTONDOWN, MK_LBUTTON, LabelPoint(Source, NodeAt(Source, {3})));
  EXPECT_FALSE(Source.Dragging());
  Post(Source, WM_LBUTTONUP, 0, LabelPoint(Source, NodeAt(Source, {3})));
  ASSERT_EQ(asked, (std::vector<std::wstring>{L"a3"}));

  // The press on article 1 starts the class library's drag.
  Post(Source, WM_LBUTTONDOWN, MK_LBUTTON, LabelPoint(Source, NodeAt(Source, {1})));
  EXPECT_EQ(asked.back(), L"a1");
  ASSERT_TRUE(Source.Dragging());
  EXPECT_TRUE(Source.TreeStates().Contains(TS::tsVCLDragPending));

  // Over category 0's label: entered, on the node, accepted; it opens after the delay.
  PVirtualNode category = NodeAt(Target, {0});
  Post(Source, WM_MOUSEMOVE, MK_LBUTTON, Across(Source, Target, LabelPoint(Target, category)));
  ASSERT_FALSE(overs.empty());
  EXPECT_EQ(overs.front().State, dsDragEnter);
  EXPECT_EQ(overs.front().Source, &Source);
  EXPECT_EQ(overs.front().Mode, DM::dmOnNode);
  EXPECT_EQ(overs.front().Node, category);
  EXPECT_TRUE(Target.TreeStates().Contains(TS::tsVCLDragging));
  EXPECT_TRUE(RunMessagesUntil([&] { return Target.Expanded(category); }));

  // Far right in the lower half of category 2's row: below it, refused.
  PVirtualNode last = NodeAt(Target, {2});
  const RECT row = Target.NodeDisplayRect(last, NoColumn, false);
  Post(Source, WM_MOUSEMOVE, MK_LBUTTON, Across(Source, Target, POINT{row.right - 5, row.bottom - 2}));
  EXPECT_EQ(overs.back().State, dsDragMove);
  EXPECT_EQ(overs.back().Mode, DM::dmBelow);
  EXPECT_EQ(overs.back().Node, last);
  // And the upper half: above it.
  Post(Source, WM_MOUSEMOVE, MK_LBUTTON, Across(Source, Target, POINT{row.right - 5, row.top + 1}));
  EXPECT_EQ(overs.back().Mode, DM::dmAbove);
  // A release there drops nothing.
  // Onto the first child's label: accepted, and dropped there.
  PVirtualNode child = NodeAt(Target, {0, 0});
  const POINT onChild = Across(Source, Target, LabelPoint(Target, child));
  Post(Source, WM_MOUSEMOVE, MK_LBUTTON, onChild);
  EXPECT_EQ(overs.back().Mode, DM::dmOnNode);
  EXPECT_TRUE(drops.empty());
  Post(Source, WM_LBUTTONUP, 0, onChild);
  ASSERT_EQ(drops.size(), 1u);
  EXPECT_EQ(drops[0].Source, &Source);
  EXPECT_EQ(drops[0].Data, nullptr);
  EXPECT_EQ(drops[0].Formats, 0u);
  EXPECT_EQ(drops[0].Mode, DM::dmOnNode);
  EXPECT_EQ(drops[0].Node, child);
  EXPECT_NE(drops[0].Effect, DWORD(DROPEFFECT_NONE));
  // Both sides let go of the drag; the source's button is up again.
  EXPECT_FALSE(Source.Dragging());
  for (TS state : {TS::tsVCLDragPending, TS::tsVCLDragging, TS::tsUserDragObject, TS::tsLeftButtonDown})
    EXPECT_FALSE(Source.TreeStates().Contains(state));
  EXPECT_FALSE(Target.TreeStates().Contains(TS::tsVCLDragging));
  EXPECT_EQ(Target.DropTargetNode(), nullptr);
  EXPECT_TRUE(TreeIsConsistent(Source));
  EXPECT_TRUE(TreeIsConsistent(Target));
}

TEST_F(TreeDragTest, TheDropTargetIsRegisteredWithTheWindowAndRevokedWithTheOption) {
  // The tree holds the registration: a second one is refused.
  EXPECT_EQ(RegisterDragDrop(Target.Handle(), Target.DragManager()), DRAGDROP_E_ALREADYREGISTERED);
  Target.TreeOptions()->SetMiscOptions(Target.TreeOptions()->MiscOptions() - MO::toAcceptOLEDrop);
  EXPECT_EQ(RevokeDragDrop(Target.Handle()), DRAGDROP_E_NOTREGISTERED);
  Target.TreeOptions()->SetMiscOptions(Target.TreeOptions()->MiscOptions() + MO::toAcceptOLEDrop);
  EXPECT_EQ(RegisterDragDrop(Target.Handle(), Target.DragManager()), DRAGDROP_E_ALREADYREGISTERED);
  // A new window is registered anew.
  Target.RecreateWnd();
  RunMessagesUntilIdle();
  EXPECT_EQ(RegisterDragDrop(Target.Handle(), Target.DragManager()), DRAGDROP_E_ALREADYREGISTERED);
}

// Drops where the cursor is after a few rounds of the system's drag loop.
class DroppingSource : public TInterfacedObject<IDropSource> {
public:
  STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return ++Rounds < 3 ? S_OK : DRAGDROP_S_DROP;
  }
  STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
  int Rounds = 0;
};

TEST_F(TreeDragTest, AnOleDropArrivesThroughTheRegisteredDropTarget) {
  Source.SetRootNodeCount(3);
  Target.SetRootNodeCount(2);
  RunMessagesUntilIdle();
  Source.SetSelected(NodeAt(Source, {2}), true);
  std::vector<OverCall> overs;
  Target.OnDragOver = TVTDragOverEvent::Lambda([&](TBaseVirtualTree* sender, TObject* source, TShiftState, TDragState state,
                                                   POINT, DM mode, DWORD&, bool& accept) {
    overs.push_back({source, state, mode, sender->DropTargetNode()});
    accept = true;
  });
  TFormatArray formats;
  TObject* dropSource = nullptr;
  DWORD dropEffect = 0;
  Target.OnDragDrop = TVTDragDropEvent::Lambda([&](TBaseVirtualTree* sender, TObject* source, IDataObject* data,
                                                   const TFormatArray& offered, TShiftState, POINT, DWORD& effect, DM mode) {
    formats = offered;
    dropSource = source;
    dropEffect = effect;
    static_cast<DropTree*>(sender)->InsertFromDataObject(nullptr, data, false, TVTNodeAttachMode::amInsertAfter,
                                                         mode == DM::dmNowhere ? nullptr : sender->DropTargetNode());
  });

  const POINT screen = Target.ClientToScreen(LabelPoint(Target, NodeAt(Target, {0})));
  SetCursorPos(screen.x, screen.y);
  RunMessagesUntilIdle();
  ASSERT_EQ(WindowFromPoint(screen), Target.Handle()) << "another window covers the tree";

  // The source tree's own data object for a drag, handed to the system.
  TComPtr<IDataObject> data = Source.DragManager()->ActiveDataObject();
  TComPtr<DroppingSource> dropper(new DroppingSource);
  DWORD effect = DROPEFFECT_NONE;
  EXPECT_EQ(DoDragDrop(data.Get(), dropper.Get(), DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect), DRAGDROP_S_DROP);
  EXPECT_EQ(effect, DWORD(DROPEFFECT_COPY));
  ASSERT_FALSE(overs.empty());
  EXPECT_EQ(overs.front().State, dsDragEnter);
  // The data object names its tree: the drop knows where it came from.
  EXPECT_EQ(overs.front().Source, &Source);
  EXPECT_EQ(dropSource, &Source);
  EXPECT_EQ(dropEffect, DWORD(DROPEFFECT_COPY));
  ASSERT_FALSE(formats.empty());
  EXPECT_EQ(formats[0], VirtualTreeDataFormat());
  // The copy of article 2 follows category 0.
  ASSERT_EQ(Target.RootNodeCount(), 3u);
  EXPECT_EQ(Source.RootNodeCount(), 3u);
  EXPECT_EQ(Target.DropTargetNode(), nullptr);
  EXPECT_TRUE(TreeIsConsistent(Target));
}

// A drop from another program: the data object names no tree, the drop
// handler sees its formats and no source.
TEST_F(TreeDragTest, AForeignDataObjectDropsWithoutASourceTree) {
  Target.SetRootNodeCount(2);
  RunMessagesUntilIdle();
  std::vector<OverCall> overs;
  Target.OnDragOver = TVTDragOverEvent::Lambda([&](TBaseVirtualTree* sender, TObject* source, TShiftState, TDragState state,
                                                   POINT, DM mode, DWORD&, bool& accept) {
    overs.push_back({source, state, mode, sender->DropTargetNode()});
    accept = true;
  });
  TFormatArray formats;
  TObject* dropSource = &Source;
  IDataObject* dropped = nullptr;
  Target.OnDragDrop = TVTDragDropEvent::Lambda([&](TBaseVirtualTree*, TObject* source, IDataObject* data,
                                                   const TFormatArray& offered, TShiftState, POINT, DWORD&, DM) {
    formats = offered;
    dropSource = source;
    dropped = data;
  });
  const POINT screen = Target.ClientToScreen(LabelPoint(Target, NodeAt(Target, {1})));
  SetCursorPos(screen.x, screen.y);
  RunMessagesUntilIdle();
  ASSERT_EQ(WindowFromPoint(screen), Target.Handle()) << "another window covers the tree";

  TComPtr<testing_support::TBlockDataObject> data(new testing_support::TBlockDataObject);
  data->Blocks[CF_UNICODETEXT] = std::string("t\0e\0x\0t\0\0\0", 10);
  TComPtr<DroppingSource> dropper(new DroppingSource);
  DWORD effect = DROPEFFECT_NONE;
  EXPECT_EQ(DoDragDrop(data.Get(), dropper.Get(), DROPEFFECT_COPY, &effect), DRAGDROP_S_DROP);
  ASSERT_FALSE(overs.empty());
  EXPECT_EQ(overs.front().State, dsDragEnter);
  EXPECT_EQ(overs.front().Source, nullptr);
  EXPECT_EQ(dropSource, nullptr);
  EXPECT_EQ(dropped, data.Get());
  EXPECT_EQ(formats, TFormatArray{CF_UNICODETEXT});
  EXPECT_EQ(Target.RootNodeCount(), 2u);
  EXPECT_TRUE(TreeIsConsistent(Target));
}

// A press and a move past the drag distance start the OLE drag; the system's
// loop drops at once (no button is really down) over the other tree, which
// takes the nodes.
TEST_F(TreeDragTest, AnOleDragStartedByTheMouseMovesTheNodesIntoAnotherTree) {
  struct Case {
    const char* name;
    bool autoDelete;
    bool targetMoves;  // the target moves the nodes over instead of copying them
    uint32_t sourceLeft;
    uint32_t targetCount;
  } cases[] = {
      {"copied in, deleted by the source", true, false, 2, 4},
      {"copied in, kept without toAutoDeleteMovedNodes", false, false, 4, 4},
      {"moved over by the target", true, true, 2, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Source.ClearAllNodes();
    Target.ClearAllNodes();
    Source.SetRootNodeCount(4);
    Target.SetRootNodeCount(2);
    Source.SetDragMode(dmAutomatic);
    Source.SetDragType(TVTDragType::dtOLE);
    TVTAutoOptions autoOptions = Source.TreeOptions()->AutoOptions();
    if (c.autoDelete) autoOptions.Include(AO::toAutoDeleteMovedNodes);
    else autoOptions.Exclude(AO::toAutoDeleteMovedNodes);
    Source.TreeOptions()->SetAutoOptions(autoOptions);
    Source.TreeOptions()->SetSelectionOptions(Source.TreeOptions()->SelectionOptions() + TVTSelectionOption::toMultiSelect);
    RunMessagesUntilIdle();
    Source.SetSelected(NodeAt(Source, {1}), true);
    Source.SetSelected(NodeAt(Source, {2}), true);
    std::vector<std::wstring> carried;
    TObject* dropSource = nullptr;
    Target.OnDragOver = TVTDragOverEvent::Lambda(
        [&](TBaseVirtualTree*, TObject*, TShiftState, TDragState, POINT, DM, DWORD&, bool& accept) { accept = true; });
    Target.OnDragDrop = TVTDragDropEvent::Lambda([&](TBaseVirtualTree* sender, TObject* source, IDataObject* data,
                                                     const TFormatArray&, TShiftState, POINT, DWORD& effect, DM) {
      dropSource = source;
      for (PVirtualNode node : Source.DragSelection()) carried.push_back(TextOf(Source, node));
      effect = DROPEFFECT_MOVE;
      static_cast<DropTree*>(sender)->InsertFromDataObject(c.targetMoves ? &Source : nullptr, data, c.targetMoves,
                                                           TVTNodeAttachMode::amAddChildLast, nullptr);
    });
    const POINT screen = Target.ClientToScreen(POINT{150, 200});
    SetCursorPos(screen.x, screen.y);
    RunMessagesUntilIdle();
    ASSERT_EQ(WindowFromPoint(screen), Target.Handle()) << "another window covers the tree";

    const POINT press = LabelPoint(Source, NodeAt(Source, {1}));
    Post(Source, WM_LBUTTONDOWN, MK_LBUTTON, press);
    EXPECT_TRUE(Source.TreeStates().Contains(TS::tsOLEDragPending));
    // Less than the drag distance: still pending.
    Post(Source, WM_MOUSEMOVE, MK_LBUTTON, POINT{press.x + 1, press.y});
    EXPECT_TRUE(Source.TreeStates().Contains(TS::tsOLEDragPending));
    EXPECT_EQ(dropSource, nullptr);
    Post(Source, WM_MOUSEMOVE, MK_LBUTTON, POINT{press.x + Source.DragThreshold() + 2, press.y});
    EXPECT_EQ(dropSource, &Source);
    EXPECT_EQ(carried, (std::vector<std::wstring>{L"a1", L"a2"}));
    EXPECT_EQ(Source.RootNodeCount(), c.sourceLeft);
    EXPECT_EQ(Target.RootNodeCount(), c.targetCount);
    EXPECT_TRUE(Source.DragSelection().empty());
    for (TS state : {TS::tsOLEDragging, TS::tsOLEDragPending, TS::tsLeftButtonDown})
      EXPECT_FALSE(Source.TreeStates().Contains(state));
    EXPECT_TRUE(TreeIsConsistent(Source));
    EXPECT_TRUE(TreeIsConsistent(Target));
  }
}
}  // namespace
