// Selection and focus: the address-sorted array, the constraints, ranges,
// clicks and rectangles, change reports with and without delay, and focus
// changes with their veto.
#include "tests/vtree/TreeChecker.h"

#include <algorithm>

namespace {
using testing_support::RunMessagesUntil;
using NS = TVirtualNodeState;
using SO = TVTSelectionOption;

// A tree that lets tests reach the protected selection operations.
struct SelectingTree : TBaseVirtualTree {
  using TBaseVirtualTree::AddNodesToSelection;
  using TBaseVirtualTree::AddRangeToSelection;
  using TBaseVirtualTree::FDrawSelShiftState;
  using TBaseVirtualTree::HandleClickSelection;
  using TBaseVirtualTree::HandleDrawSelection;
  using TBaseVirtualTree::SelectNodeRange;
};

void Options(TBaseVirtualTree& tree, std::initializer_list<SO> add) {
  TVTSelectionOptions options = tree.TreeOptions()->SelectionOptions();
  for (SO o : add) options.Include(o);
  tree.TreeOptions()->SetSelectionOptions(options);
}

// Three top-level nodes with three expanded children each.
void Fill(TBaseVirtualTree& tree) {
  tree.SetRootNodeCount(3);
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) tree.SetChildCount(node, 3);
  ExpandAll(tree);
}

std::vector<std::string> Selection(TBaseVirtualTree& tree) {
  std::vector<std::string> paths;
  for (PVirtualNode node : tree.GetSortedSelection(false)) paths.push_back(NodePath(node, tree));
  return paths;
}

TEST(TreeSelection, ArrayStaysSortedByAddressInAnyOrder) {
  const std::vector<std::vector<uint32_t>> orders = {{0, 1, 2}, {2, 1, 0}, {1, 2, 0}, {2, 0, 1}};
  for (const auto& order : orders) {
    SelectingTree tree;
    Options(tree, {SO::toMultiSelect});
    Fill(tree);
    for (uint32_t i : order) tree.SetSelected(NodeAt(tree, {i, 1}), true);
    const TNodeArray& array = tree.SelectionArray();
    EXPECT_EQ(array.size(), 3u);
    EXPECT_TRUE(std::is_sorted(array.begin(), array.end(), [](PVirtualNode a, PVirtualNode b) {
      return reinterpret_cast<uintptr_t>(a) < reinterpret_cast<uintptr_t>(b);
    }));
    EXPECT_EQ(tree.SelectedCount(), 3u);
    tree.SetSelected(NodeAt(tree, {1, 1}), false);
    EXPECT_EQ(array.size(), 2u);
    EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.1", "2.1"}));
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

TEST(TreeSelection, WithoutMultiSelectOneNodeIsSelected) {
  TBaseVirtualTree tree;
  Fill(tree);
  tree.SetSelected(NodeAt(tree, {0}), true);
  tree.SetSelected(NodeAt(tree, {1, 2}), true);
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"1.2"}));
  tree.SelectAllNodes(false);
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"1.2"}));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeSelection, LevelAndSiblingConstraints) {
  {
    TBaseVirtualTree tree;
    Options(tree, {SO::toMultiSelect, SO::toLevelSelectConstraint});
    Fill(tree);
    tree.SetSelected(NodeAt(tree, {0, 1}), true);
    tree.SetSelected(NodeAt(tree, {2}), true);  // another level: refused
    tree.SetSelected(NodeAt(tree, {2, 0}), true);
    EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.1", "2.0"}));
    tree.ClearAllSelection();
    EXPECT_EQ(tree.LastSelectionLevel(), -1);
    tree.SetSelected(NodeAt(tree, {2}), true);
    EXPECT_EQ(Selection(tree), (std::vector<std::string>{"2"}));
  }
  TBaseVirtualTree tree;
  Options(tree, {SO::toMultiSelect, SO::toSiblingSelectConstraint});
  Fill(tree);
  tree.SetSelected(NodeAt(tree, {1, 0}), true);
  tree.SetSelected(NodeAt(tree, {1, 2}), true);
  tree.SetSelected(NodeAt(tree, {2, 2}), true);  // another parent: refused
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"1.0", "1.2"}));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeSelection, DisabledNodesOnlyByForcedInsert) {
  SelectingTree tree;
  Options(tree, {SO::toMultiSelect});
  Fill(tree);
  PVirtualNode disabled = NodeAt(tree, {1});
  disabled->StateBits.Include(NS::nsDisabled);
  tree.SetSelected(disabled, true);
  EXPECT_FALSE(tree.Selected(disabled));
  tree.SelectAllNodes(false);
  EXPECT_FALSE(tree.Selected(disabled));
  EXPECT_EQ(tree.SelectedCount(), 11u);
  tree.ClearAllSelection();
  PVirtualNode nodes[1] = {disabled};
  tree.AddNodesToSelection(nodes, 1, true);
  EXPECT_TRUE(tree.Selected(disabled));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeSelection, RangesAndToggledRanges) {
  SelectingTree tree;
  Options(tree, {SO::toMultiSelect});
  Fill(tree);
  tree.SelectNodeRange(NodeAt(tree, {0, 2}), NodeAt(tree, {1, 1}), false);
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.2", "1", "1.0", "1.1"}));
  // Ends in either order; AddOnly keeps what is there.
  tree.SelectNodeRange(NodeAt(tree, {2, 1}), NodeAt(tree, {2}), true);
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.2", "1", "1.0", "1.1", "2", "2.0", "2.1"}));
  EXPECT_TRUE(TreeIsConsistent(tree));
  // Toggling flips what lies strictly between the ends.
  tree.ClearAllSelection();
  tree.SetSelected(NodeAt(tree, {1, 0}), true);  // the anchor
  tree.SetSelected(NodeAt(tree, {1, 1}), true);
  tree.AddRangeToSelection(NodeAt(tree, {0, 1}), NodeAt(tree, {1, 2}));
  // 1.1 flips off; the anchor stays.
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.1", "0.2", "1", "1.0", "1.2"}));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeSelection, ClicksWithAndWithoutKeys) {
  SelectingTree tree;
  Options(tree, {SO::toMultiSelect});
  Fill(tree);
  tree.HandleClickSelection(NodeAt(tree, {0, 1}), {}, false);
  EXPECT_EQ(tree.RangeAnchor(), NodeAt(tree, {0, 1}));
  tree.HandleClickSelection(NodeAt(tree, {1}), {ssShift}, false);
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.1", "0.2", "1"}));
  tree.HandleClickSelection(NodeAt(tree, {0, 2}), {ssCtrl}, false);
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.1", "1"}));
  tree.HandleClickSelection(NodeAt(tree, {2}), {ssCtrl, ssShift}, false);
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.1", "0.2", "1", "1.0", "1.1", "1.2", "2"}));
  // With a drag still possible, the flip waits for the release.
  tree.HandleClickSelection(NodeAt(tree, {2}), {ssCtrl}, true);
  EXPECT_TRUE(tree.Selected(NodeAt(tree, {2})));
  EXPECT_TRUE(tree.TreeStates().Contains(TVirtualTreeState::tsToggleFocusedSelection));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// Rows of 18 pixels; nodes 30 pixels wide after their indent.
struct DrawingTree : SelectingTree {
  int32_t NodeContentWidth(PVirtualNode, TColumnIndex, TCanvas*) override { return 30; }
};

TEST(TreeSelection, RectanglesSelectWhatTheyCover) {
  DrawingTree tree;
  Options(tree, {SO::toMultiSelect});
  Fill(tree);
  // Rows 1..3 are 0.0..0.2 (content 40..70), row 4 is node 1 (content 22..52).
  EXPECT_TRUE(tree.HandleDrawSelection(RECT{0, 0, 0, 0}, RECT{45, 20, 60, 80}));
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.0", "0.1", "0.2", "1"}));
  // Narrower: node 1's content ends before x 55.
  EXPECT_TRUE(tree.HandleDrawSelection(RECT{45, 20, 60, 80}, RECT{55, 20, 60, 80}));
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.0", "0.1", "0.2"}));
  EXPECT_FALSE(tree.HandleDrawSelection(RECT{55, 20, 60, 80}, RECT{55, 20, 65, 80}));
  // With Ctrl the rectangle flips what it crosses.
  tree.FDrawSelShiftState = {ssCtrl};
  EXPECT_TRUE(tree.HandleDrawSelection(RECT{0, 0, 0, 0}, RECT{45, 40, 60, 62}));
  EXPECT_EQ(Selection(tree), (std::vector<std::string>{"0.0"}));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeSelection, RemovedNodesLeaveTheSelection) {
  TBaseVirtualTree tree;
  Options(tree, {SO::toMultiSelect});
  Fill(tree);
  tree.SelectAllNodes(false);
  tree.SetFocusedNode(NodeAt(tree, {1, 1}));
  std::vector<std::string> log;
  tree.OnFocusChanged = TVTFocusChangeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n, TColumnIndex) {
    log.push_back("FocusChanged " + NodePath(n, *t));
  });
  tree.RemoveNode(NodeAt(tree, {1}));
  EXPECT_EQ(tree.SelectedCount(), 8u);
  EXPECT_EQ(tree.FocusedNode(), nullptr);
  EXPECT_EQ(log, std::vector<std::string>{"FocusChanged nil"});
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.BeginTreeUpdate();
  tree.RemoveNode(NodeAt(tree, {0, 0}));
  tree.RemoveChildNodes(NodeAt(tree, {1}));
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.EndTreeUpdate();
  EXPECT_EQ(tree.SelectedCount(), 4u);
  EXPECT_EQ(tree.SelectionArray().size(), 4u);
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.SetSelected(NodeAt(tree, {0}), false);
  tree.RemoveSelectedNodes();
  EXPECT_EQ(Selection(tree), std::vector<std::string>{});
  EXPECT_EQ(tree.TotalCount(), 1u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeSelection, ChangesAreReportedAtOnceOrOnceAfterABurst) {
  TreeHost host;
  TBaseVirtualTree tree;
  Options(tree, {SO::toMultiSelect});
  Fill(tree);
  std::vector<std::string> changes;
  tree.OnChange = TVTChangeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n) { changes.push_back(NodePath(n, *t)); });
  tree.SetSelected(NodeAt(tree, {0}), true);
  EXPECT_EQ(changes, std::vector<std::string>{"0"});  // before the call returned
  // Inside a bracket: one report at its end.
  tree.BeginTreeUpdate();
  tree.SetSelected(NodeAt(tree, {1}), true);
  tree.SetSelected(NodeAt(tree, {2}), true);
  EXPECT_EQ(changes.size(), 1u);
  tree.EndTreeUpdate();
  EXPECT_EQ(changes, (std::vector<std::string>{"0", "2"}));
  // Delayed: a burst reports once, for its last node, when the timer fires.
  host.Place(tree, 200, 300);
  tree.SetChangeDelay(200);
  changes.clear();
  tree.SetSelected(NodeAt(tree, {0, 0}), true);
  tree.SetSelected(NodeAt(tree, {0, 1}), true);
  tree.SetSelected(NodeAt(tree, {0, 2}), false);
  tree.SetSelected(NodeAt(tree, {0, 2}), true);
  EXPECT_TRUE(changes.empty());
  ASSERT_TRUE(RunMessagesUntil([&] { return !changes.empty(); }));
  EXPECT_EQ(changes, std::vector<std::string>{"0.2"});
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsChangePending));
}

TEST(TreeSelection, FocusChangesCanBeRefused) {
  TBaseVirtualTree tree;
  Fill(tree);
  tree.Header()->Columns()->Add();
  tree.Header()->Columns()->Add()->SetOptions(tree.Header()->Columns()->Items(1)->Options() - TVTColumnOption::coAllowFocus);
  std::vector<std::string> log;
  bool allow = true;
  tree.OnFocusChanging = TVTFocusChangingEvent::Lambda(
      [&](TBaseVirtualTree* t, PVirtualNode from, PVirtualNode to, TColumnIndex, TColumnIndex, bool& allowed) {
        log.push_back("Changing " + NodePath(from, *t) + " " + NodePath(to, *t));
        allowed = allowed && allow;
      });
  tree.OnFocusChanged = TVTFocusChangeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n, TColumnIndex c) {
    log.push_back("Changed " + NodePath(n, *t) + " " + std::to_string(c));
  });
  tree.SetFocusedNode(NodeAt(tree, {1}));
  allow = false;
  tree.SetFocusedNode(NodeAt(tree, {2}));
  EXPECT_EQ(tree.FocusedNode(), NodeAt(tree, {1}));
  allow = true;
  tree.SetFocusedColumn(1);  // not focusable: the default verdict refuses
  EXPECT_EQ(tree.FocusedColumn(), NoColumn);
  tree.SetFocusedColumn(0);
  EXPECT_EQ(tree.FocusedColumn(), 0);
  EXPECT_EQ(log, (std::vector<std::string>{"Changing nil 1", "Changed 1 -1", "Changing 1 2", "Changing 1 1", "Changing 1 1",
                                           "Changed 1 0"}));
  EXPECT_TRUE(TreeIsConsistent(tree));
}
}  // namespace
