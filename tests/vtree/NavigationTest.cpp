// Walks in tree and display order, their initialising and raw flavours,
// levels, positions and row geometry.
#include "tests/vtree/TreeChecker.h"

namespace {
using NS = TVirtualNodeState;
using Lines = std::vector<std::string>;

// 0{0.0, 0.1{0.1.0}}, 1, 2{2.0}
void BuildSample(TBaseVirtualTree& tree) {
  tree.SetRootNodeCount(3);
  tree.SetChildCount(NodeAt(tree, {0}), 2);
  tree.SetChildCount(NodeAt(tree, {0, 1}), 1);
  tree.SetChildCount(NodeAt(tree, {2}), 1);
  ExpandAll(tree);
}

template <class Step>
Lines Walk(TBaseVirtualTree& tree, PVirtualNode start, Step step) {
  Lines out;
  for (PVirtualNode run = start; run && out.size() < 50; run = step(run)) out.push_back(NodePath(run, tree));
  return out;
}

void SetChildrenAbove(TBaseVirtualTree& tree, bool on) {
  TVTPaintOptions options = tree.TreeOptions()->PaintOptions();
  if (on) options.Include(TVTPaintOption::toChildrenAbove);
  else options.Exclude(TVTPaintOption::toChildrenAbove);
  tree.TreeOptions()->SetPaintOptions(options);
}

TEST(TreeNavigation, TreeOrderWithAndWithoutChildrenAbove) {
  TBaseVirtualTree tree;
  BuildSample(tree);
  const Lines pre{"0", "0.0", "0.1", "0.1.0", "1", "2", "2.0"};
  const Lines post{"0.0", "0.1.0", "0.1", "0", "1", "2.0", "2"};
  auto next = [&](bool flag) { return [&, flag](PVirtualNode n) { return tree.NextNode(n, flag); }; };
  auto previous = [&](bool flag) { return [&, flag](PVirtualNode n) { return tree.PreviousNode(n, flag); }; };
  EXPECT_EQ(Walk(tree, tree.FirstNode(true), next(true)), pre);  // the flag alone changes nothing
  SetChildrenAbove(tree, true);
  EXPECT_EQ(Walk(tree, tree.FirstNode(true), next(true)), post);
  EXPECT_EQ(Walk(tree, tree.FirstNode(false), next(false)), pre);
  EXPECT_EQ(Walk(tree, tree.LastNode(nullptr, true), previous(true)), Lines(post.rbegin(), post.rend()));
  EXPECT_EQ(Walk(tree, tree.LastNode(nullptr, false), previous(false)), Lines(pre.rbegin(), pre.rend()));
  EXPECT_TRUE(TreeIsConsistent(tree));
  EXPECT_EQ(Walk(tree, tree.FirstVisibleNode(), [&](PVirtualNode n) { return tree.NextVisibleNode(n, true); }), post);
}

TEST(TreeNavigation, InitialisingWalksInitialiseWhatTheyReturnOnce) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(3);
  Lines log;
  tree.OnInitNode = TVTInitNodeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode, PVirtualNode node, TVirtualNodeInitStates& s) {
    log.push_back("InitNode " + NodePath(node, *t));
    if (node->Parent == t->RootNode() && node->IndexInParent == 1) s.Include(TVirtualNodeInitState::ivsHasChildren);
  });
  tree.OnInitChildren = TVTInitChildrenEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode node, uint32_t& count) {
    log.push_back("InitChildren " + NodePath(node, *t));
    count = 1;
  });
  // Raw walks fire nothing.
  for (PVirtualNode run = tree.FirstNodeRaw(); run; run = tree.NextNodeRaw(run)) {}
  tree.FirstVisibleNodeRaw();
  tree.LastNodeRaw();
  EXPECT_TRUE(log.empty());

  PVirtualNode first = tree.FirstNode();
  EXPECT_EQ(log, (Lines{"InitNode 0"}));
  log.clear();
  for (PVirtualNode run = tree.NextNode(first); run; run = tree.NextNode(run)) {}
  EXPECT_EQ(log, (Lines{"InitNode 1", "InitChildren 1", "InitNode 1.0", "InitNode 2"}));
  log.clear();
  for (PVirtualNode run = tree.FirstNode(); run; run = tree.NextNode(run)) {}
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeNavigation, ChildAndSiblingOperations) {
  TBaseVirtualTree tree;
  BuildSample(tree);
  EXPECT_EQ(NodePath(tree.FirstChildNode(nullptr), tree), "0");
  EXPECT_EQ(NodePath(tree.LastChildNode(NodeAt(tree, {0})), tree), "0.1");
  EXPECT_EQ(NodePath(tree.LastNode(NodeAt(tree, {0})), tree), "0.1.0");
  EXPECT_EQ(NodePath(tree.NextSiblingNode(NodeAt(tree, {0})), tree), "1");
  EXPECT_EQ(tree.PreviousSiblingNode(NodeAt(tree, {0})), nullptr);
  EXPECT_EQ(tree.FirstChildNodeRaw(NodeAt(tree, {1})), nullptr);
  EXPECT_THROW(tree.NextNode(tree.RootNode()), EAssertionFailed);
  EXPECT_THROW(tree.NextVisibleSiblingNode(nullptr), EAssertionFailed);
}

TEST(TreeNavigation, VisibleWalksSkipHiddenFilteredAndCollapsed) {
  struct Case {
    const char* name;
    void (*change)(TBaseVirtualTree&);
    Lines rows;
  };
  const Case cases[] = {
      {"all shown", [](TBaseVirtualTree&) {}, {"0", "0.0", "0.1", "0.1.0", "1", "2", "2.0"}},
      {"collapsed", [](TBaseVirtualTree& t) { t.ChangeNodeExpanded(NodeAt(t, {0}), false); }, {"0", "1", "2", "2.0"}},
      {"hidden", [](TBaseVirtualTree& t) { t.ChangeNodeVisible(NodeAt(t, {0, 1}), false); }, {"0", "0.0", "1", "2", "2.0"}},
      {"filtered", [](TBaseVirtualTree& t) { t.ChangeNodeFiltered(NodeAt(t, {2}), true); }, {"0", "0.0", "0.1", "0.1.0", "1"}},
      {"filtered but shown",
       [](TBaseVirtualTree& t) {
         t.ChangeNodeFiltered(NodeAt(t, {2}), true);
         t.TreeOptions()->SetPaintOptions(t.TreeOptions()->PaintOptions() + TVTPaintOption::toShowHiddenNodes);
       },
       {"0", "0.0", "0.1", "0.1.0", "1", "2", "2.0"}},
      {"first hidden", [](TBaseVirtualTree& t) { t.ChangeNodeVisible(NodeAt(t, {0}), false); }, {"1", "2", "2.0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    BuildSample(tree);
    c.change(tree);
    EXPECT_EQ(Walk(tree, tree.FirstVisibleNode(), [&](PVirtualNode n) { return tree.NextVisibleNode(n); }), c.rows);
    EXPECT_EQ(tree.VisibleNodeCount(), c.rows.size());
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

// A walk started on a node that is not on display continues from its place
// in the tree, so it always moves on and ends.
TEST(TreeNavigation, VisibleWalksFromHiddenNodesMoveOn) {
  TBaseVirtualTree tree;
  BuildSample(tree);
  tree.ChangeNodeVisible(NodeAt(tree, {0, 1}), false);
  EXPECT_EQ(NodePath(tree.NextVisibleNodeRaw(NodeAt(tree, {0, 1, 0})), tree), "1");
  EXPECT_EQ(NodePath(tree.PreviousVisibleNodeRaw(NodeAt(tree, {0, 1, 0})), tree), "0.0");
  tree.ChangeNodeExpanded(NodeAt(tree, {0}), false);
  EXPECT_EQ(NodePath(tree.NextVisibleNodeRaw(NodeAt(tree, {0, 0})), tree), "1");
  EXPECT_EQ(NodePath(tree.PreviousVisibleNodeRaw(NodeAt(tree, {0, 0})), tree), "0");
  SetChildrenAbove(tree, true);
  EXPECT_EQ(NodePath(tree.NextVisibleNodeRaw(NodeAt(tree, {0, 0}), true), tree), "0");
  EXPECT_EQ(tree.PreviousVisibleNodeRaw(NodeAt(tree, {0, 0}), true), nullptr);
  EXPECT_EQ(NodePath(tree.VisibleAncestorNode(NodeAt(tree, {0, 1, 0})), tree), "0");
}

TEST(TreeNavigation, VisibleChildAndSiblingQueries) {
  TBaseVirtualTree tree;
  BuildSample(tree);
  tree.SetChildCount(NodeAt(tree, {1}), 3);
  tree.ChangeNodeExpanded(NodeAt(tree, {1}), true);
  PVirtualNode parent = NodeAt(tree, {1});
  tree.ChangeNodeVisible(NodeAt(tree, {1, 0}), false);
  tree.ChangeNodeFiltered(NodeAt(tree, {1, 2}), true);
  EXPECT_EQ(NodePath(tree.FirstVisibleChildNode(parent), tree), "1.1");
  EXPECT_EQ(NodePath(tree.LastVisibleChildNode(parent), tree), "1.1");
  EXPECT_EQ(NodePath(tree.LastVisibleChildNode(parent, true), tree), "1.2");
  EXPECT_EQ(NodePath(tree.NextVisibleSiblingNode(NodeAt(tree, {1, 0})), tree), "1.1");
  EXPECT_EQ(tree.NextVisibleSiblingNode(NodeAt(tree, {1, 1})), nullptr);
  EXPECT_EQ(tree.PreviousVisibleSiblingNode(NodeAt(tree, {1, 1})), nullptr);
  EXPECT_TRUE(tree.IsFirstVisibleChild(parent, NodeAt(tree, {1, 1})));
  EXPECT_TRUE(tree.IsLastVisibleChild(parent, NodeAt(tree, {1, 1})));
  EXPECT_FALSE(tree.HasVisibleNextSibling(NodeAt(tree, {1, 1})));
  EXPECT_TRUE(tree.HasVisibleNextSibling(NodeAt(tree, {1, 0})));
  EXPECT_FALSE(tree.HasVisiblePreviousSibling(NodeAt(tree, {1, 1})));
  EXPECT_TRUE(parent->StateBits.Contains(NS::nsHasChildren));
  tree.ChangeNodeVisible(NodeAt(tree, {1, 1}), false);
  EXPECT_TRUE(parent->StateBits.Contains(NS::nsAllChildrenHidden));
  EXPECT_FALSE(tree.IsLastVisibleChild(parent, NodeAt(tree, {1, 1})));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeNavigation, LevelsPositionsAndAncestry) {
  TBaseVirtualTree tree;
  BuildSample(tree);
  PVirtualNode parent = NodeAt(tree, {0, 1}), child = NodeAt(tree, {0, 1, 0});
  EXPECT_EQ(tree.NodeLevel(NodeAt(tree, {2})), 0u);
  EXPECT_EQ(tree.NodeLevel(child), 2u);
  EXPECT_EQ(tree.NodeLevel(nullptr), 0u);
  EXPECT_EQ(tree.AbsoluteIndex(NodeAt(tree, {2, 0})), 6u);
  EXPECT_TRUE(tree.IsAncestorOf(child, NodeAt(tree, {0})));
  EXPECT_FALSE(tree.IsAncestorOf(child, child));
  EXPECT_FALSE(tree.IsAncestorOf(nullptr, child));
  EXPECT_EQ(tree.CompareNodePositions(parent, child), -1);
  EXPECT_EQ(tree.CompareNodePositions(child, parent), 1);
  EXPECT_EQ(tree.CompareNodePositions(child, child), 0);
  EXPECT_LT(tree.CompareNodePositions(child, NodeAt(tree, {2, 0})), 0);
  EXPECT_GT(tree.CompareNodePositions(NodeAt(tree, {1}), NodeAt(tree, {0, 0})), 0);
  EXPECT_THROW(tree.CompareNodePositions(nullptr, child), EAssertionFailed);
  SetChildrenAbove(tree, true);
  EXPECT_EQ(tree.CompareNodePositions(parent, child, true), 1);
  EXPECT_EQ(tree.CompareNodePositions(parent, child, false), -1);
  EXPECT_TRUE(tree.IsFullyVisible(child));
  tree.ChangeNodeExpanded(parent, false);
  EXPECT_FALSE(tree.IsFullyVisible(child));
  EXPECT_THROW(tree.IsFullyVisible(nullptr), EAssertionFailed);
}

TEST(TreeNavigation, RowsByPosition) {
  TBaseVirtualTree tree;
  BuildSample(tree);
  uint32_t top = 99;
  EXPECT_EQ(NodePath(tree.NodeAtPosition(0, &top), tree), "0");
  EXPECT_EQ(top, 0u);
  EXPECT_EQ(NodePath(tree.NodeAtPosition(-20, &top), tree), "0");
  EXPECT_EQ(NodePath(tree.NodeAtPosition(18 * 3 + 17, &top), tree), "0.1.0");
  EXPECT_EQ(top, 54u);
  EXPECT_EQ(tree.NodeAtPosition(18 * 7), nullptr);
  SetChildrenAbove(tree, true);
  EXPECT_EQ(NodePath(tree.NodeAtPosition(0, &top), tree), "0.0");
  EXPECT_EQ(NodePath(tree.NodeAtPosition(18 * 3, &top), tree), "0");
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeNavigation, SelectedAndInitialisedWalks) {
  TBaseVirtualTree tree;
  BuildSample(tree);
  NodeAt(tree, {0, 1})->StateBits.Include(NS::nsSelected);
  NodeAt(tree, {2})->StateBits.Include(NS::nsSelected);
  PVirtualNode first = tree.FirstSelectedNode();
  EXPECT_EQ(NodePath(first, tree), "0.1");
  EXPECT_TRUE(first->StateBits.Contains(NS::nsInitialized));
  EXPECT_EQ(NodePath(tree.NextSelectedNode(first), tree), "2");
  EXPECT_EQ(NodePath(tree.FirstInitializedNode(), tree), "0.1");
  EXPECT_EQ(NodePath(tree.NextInitializedNode(first), tree), "2");
  EXPECT_EQ(tree.FirstMarkedNode(), nullptr);  // nothing on the clipboard
}
}  // namespace
