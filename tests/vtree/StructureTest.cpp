// Structure operations: counts, appends, inserts, removal, moves, copies,
// sorting, brackets and the order of their reports.
#include "tests/vtree/TreeChecker.h"

namespace {
using NS = TVirtualNodeState;
using AM = TVTNodeAttachMode;
using Lines = std::vector<std::string>;

TEST(TreeStructure, ShrinkingTheRootCountFreesTheLastNodes) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(5);
  tree.InitializeSubtree(NodeAt(tree, {4}), false);
  EventLog log(tree);
  tree.SetRootNodeCount(3);
  EXPECT_EQ(log.Lines, (Lines{"FreeNode 4", "StructureChange nil crAccumulated"}));
  EXPECT_EQ(tree.RootNodeCount(), 3u);
  EXPECT_EQ(tree.LastChildNodeRaw(nullptr)->IndexInParent, 2u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, AppendingBelowACollapsedNodeShowsNothing) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  PVirtualNode parent = NodeAt(tree, {0});
  const uint32_t visible = tree.VisibleNodeCount(), height = tree.RootNode()->SubtreeHeight;
  EventLog log(tree);
  PVirtualNode child = tree.AppendChildNode(parent);
  EXPECT_EQ(child, parent->LastChild);
  EXPECT_EQ(tree.VisibleNodeCount(), visible);
  EXPECT_EQ(tree.RootNode()->SubtreeHeight, height);
  EXPECT_TRUE(parent->StateBits.Contains(NS::nsHasChildren));
  EXPECT_EQ(log.Lines, (Lines{"InitNode 0", "StructureChange 0 crChildAdded"}));
  EXPECT_TRUE(TreeIsConsistent(tree));

  tree.ChangeNodeExpanded(parent, true);
  tree.AppendChildNode(parent);
  EXPECT_EQ(tree.VisibleNodeCount(), visible + 2);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, ChangesInsideABracketAreReportedOnceAtTheEnd) {
  TBaseVirtualTree tree;
  EventLog log(tree);
  std::vector<TVTUpdateState> updates;
  tree.OnUpdating = TVTUpdatingEvent::Lambda([&](TBaseVirtualTree*, TVTUpdateState s) { updates.push_back(s); });
  tree.BeginTreeUpdate();
  tree.BeginTreeUpdate();
  tree.AppendChildNode(nullptr);
  tree.AppendChildNode(nullptr);
  tree.EndTreeUpdate();
  EXPECT_TRUE(log.Lines.empty());
  tree.EndTreeUpdate();
  EXPECT_EQ(log.Lines, (Lines{"StructureChange nil crAccumulated"}));
  using US = TVTUpdateState;
  EXPECT_EQ(updates, (std::vector<US>{US::usBegin, US::usUpdate, US::usUpdate, US::usEnd}));
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsUpdating));
}

TEST(TreeStructure, EachAppendOutsideABracketReportsAtOnce) {
  TBaseVirtualTree tree;
  EventLog log(tree, false);
  tree.AppendChildNode(nullptr);
  tree.AppendChildNode(nullptr);
  EXPECT_EQ(log.Lines, (Lines{"StructureChange nil crChildAdded", "StructureChange nil crChildAdded"}));
}

// Without a window no delay timer can run, so a delayed report is made at once
// with what was recorded.
TEST(TreeStructure, DelayedReportsWithoutWindowComeAtOnce) {
  TBaseVirtualTree tree;
  tree.SetChangeDelay(100);
  EventLog log(tree, false);
  tree.AppendChildNode(nullptr);
  EXPECT_EQ(log.Lines, (Lines{"StructureChange nil crAccumulated"}));
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsStructureChangePending));
}

// With a window the delay runs on a timer: a burst of changes restarts it
// and one report with the accumulated reason follows when it fires.
TEST(TreeStructure, DelayedReportsComeOnceWhenTheTimerFires) {
  struct TimedTree : TBaseVirtualTree {
    std::vector<std::string> Timers;
    bool StartDelayTimer(int TimerId, uint32_t Interval) override {
      Timers.push_back("start " + std::to_string(TimerId) + " " + std::to_string(Interval));
      return true;
    }
    void StopDelayTimer(int TimerId) override { Timers.push_back("stop " + std::to_string(TimerId)); }
  } tree;
  tree.SetChangeDelay(100);
  EventLog log(tree, false);
  for (int i = 0; i < 3; ++i) tree.AppendChildNode(nullptr);
  EXPECT_TRUE(log.Lines.empty());
  EXPECT_EQ(tree.Timers.back(), "start 6 100");
  tree.DelayTimerExpired(6);
  EXPECT_EQ(log.Lines, (Lines{"StructureChange nil crAccumulated"}));
  tree.DelayTimerExpired(6);  // nothing pending: nothing reported
  EXPECT_EQ(log.Lines.size(), 1u);
}

TEST(TreeStructure, RemovalReportsInTheFixedOrder) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  PVirtualNode node = NodeAt(tree, {1});
  tree.SetChildCount(node, 2);
  tree.SetChildCount(NodeAt(tree, {1, 0}), 1);
  tree.InitializeSubtree(nullptr, true);
  ExpandAll(tree);
  // A selected node reports a change when it goes.
  node->StateBits.Include(NS::nsSelected);
  EventLog log(tree);
  tree.RemoveNode(node);
  EXPECT_EQ(log.Lines, (Lines{"StructureChange nil crChildDeleted", "Change 1", "FreeNode 1.1", "FreeNode 1.0.0",
                              "FreeNode 1.0", "StructureChange 1 crChildDeleted", "FreeNode 1"}));
  EXPECT_EQ(tree.TotalCount(), 1u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// The last change recorded inside a bracket can name a node that is freed
// before the bracket closes; the report then names the root, never the freed node.
TEST(TreeStructure, PendingReportForgetsFreedNodes) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  tree.SetChildCount(NodeAt(tree, {0}), 2);
  PVirtualNode doomed = NodeAt(tree, {0});
  std::vector<PVirtualNode> reported;
  tree.OnStructureChange = TVTStructureChangeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode node, TChangeReason) { reported.push_back(node); });
  tree.BeginTreeUpdate();
  tree.RemoveNode(doomed);
  tree.EndTreeUpdate();
  EXPECT_EQ(reported, std::vector<PVirtualNode>{nullptr});
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, InitialStatesTakeEffect) {
  TBaseVirtualTree tree;
  tree.OnInitNode = TVTInitNodeEvent::Lambda([](TBaseVirtualTree*, PVirtualNode parent, PVirtualNode node, TVirtualNodeInitStates& s) {
    if (parent) return;
    if (node->IndexInParent == 0) s += TVirtualNodeInitStates{TVirtualNodeInitState::ivsHasChildren, TVirtualNodeInitState::ivsExpanded};
    if (node->IndexInParent == 1) s += TVirtualNodeInitStates{TVirtualNodeInitState::ivsDisabled, TVirtualNodeInitState::ivsMultiline};
  });
  tree.OnInitChildren = TVTInitChildrenEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, uint32_t& count) { count = 2; });
  tree.SetRootNodeCount(2);
  Lines rows;
  for (PVirtualNode run = tree.FirstVisibleNode(); run; run = tree.NextVisibleNode(run)) rows.push_back(NodePath(run, tree));
  EXPECT_EQ(rows, (Lines{"0", "0.0", "0.1", "1"}));
  EXPECT_TRUE(NodeAt(tree, {1})->StateBits.Contains(NS::nsDisabled));
  EXPECT_TRUE(NodeAt(tree, {1})->StateBits.Contains(NS::nsMultiline));
  EXPECT_TRUE(TreeIsConsistent(tree));
  // Re-initialising asks again with the states the node has now.
  TVirtualNodeInitStates seen;
  tree.OnInitNode = TVTInitNodeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& s) { seen = s; s.Exclude(TVirtualNodeInitState::ivsExpanded); });
  tree.ReinitializeNode(NodeAt(tree, {0}), false);
  EXPECT_TRUE(seen.Contains(TVirtualNodeInitState::ivsExpanded));
  EXPECT_TRUE(seen.Contains(TVirtualNodeInitState::ivsHasChildren));
  EXPECT_EQ(tree.VisibleNodeCount(), 2u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, UninitialisedNodesAreFreedSilently) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(3);
  EventLog log(tree);
  tree.RemoveNode(NodeAt(tree, {1}));
  EXPECT_EQ(log.Lines, (Lines{"StructureChange nil crChildDeleted"}));
  EXPECT_EQ(NodeAt(tree, {1})->IndexInParent, 1u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, InitialUserDataNeedsFourBytes) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(2);
  try {
    tree.AppendChildNode(nullptr, 42);
    FAIL() << "no error";
  } catch (const EVirtualTreeError& e) {
    EXPECT_EQ(e.Code(), 2008);
    EXPECT_EQ(e.Message(), "Cannot set initial user data because there is not enough user data space allocated.");
  }
  // A refused append leaves nothing behind.
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_TRUE(TreeIsConsistent(tree));

  tree.SetNodeDataSize(4);
  PVirtualNode node = tree.AppendChildNode(nullptr, 42);
  EXPECT_EQ(*tree.NodeData<uint32_t>(node), 42u);
  EXPECT_TRUE(node->StateBits.Contains(NS::nsFreeNotifyRequired));
}

TEST(TreeStructure, InsertPlacesNodesAsTheModeSays) {
  struct Case {
    const char* name;
    std::initializer_list<uint32_t> target;
    AM mode;
    const char* expected;  // path of the new node
  };
  const Case cases[] = {
      {"before", {1}, AM::amInsertBefore, "1"},
      {"after", {1}, AM::amInsertAfter, "2"},
      {"first child", {1}, AM::amAddChildFirst, "1.0"},
      {"last child", {1}, AM::amAddChildLast, "1.2"},
      {"before the root is first", {}, AM::amInsertBefore, "0"},
      {"after the root is last", {}, AM::amInsertAfter, "3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(3);
    tree.SetChildCount(NodeAt(tree, {1}), 2);
    ExpandAll(tree);
    PVirtualNode target = c.target.size() ? NodeAt(tree, c.target) : nullptr;
    PVirtualNode node = tree.InsertNode(target, c.mode);
    EXPECT_EQ(NodePath(node, tree), c.expected);
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

TEST(TreeStructure, ReadOnlyTreesRefuseChanges) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOption::toReadOnly);
  EXPECT_EQ(tree.AppendChildNode(nullptr), nullptr);
  tree.RemoveNode(NodeAt(tree, {0}));
  tree.ClearAllNodes();
  tree.SetChildCount(nullptr, 7);
  tree.MoveNodeTo(NodeAt(tree, {0}), NodeAt(tree, {1}), AM::amAddChildLast);
  EXPECT_EQ(tree.InsertNode(NodeAt(tree, {0}), AM::amInsertAfter), nullptr);
  tree.SetNodeHeight(NodeAt(tree, {0}), 40);
  EXPECT_EQ(NodeAt(tree, {0})->NodeHeight, 18);
  EXPECT_EQ(tree.TotalCount(), 2u);
  EXPECT_TRUE(TreeIsConsistent(tree));
  TBaseVirtualTree other;
  other.SetRootNodeCount(1);
  EXPECT_EQ(other.CopyNodeTo(NodeAt(other, {0}), NodeAt(tree, {0}), AM::amAddChildLast), nullptr);
  EXPECT_EQ(tree.TotalCount(), 2u);
}

// What each operation reports outside a bracket (ChangeDelay 0), in order.
// Tree: 0{0.0, 0.1, 0.2}, 1{1.0, 1.1{1.1.0}}, 2; every node initialised.
TEST(TreeStructure, ReportsOfEachOperation) {
  struct Case {
    const char* name;
    void (*change)(TBaseVirtualTree&);
    Lines expected;
  };
  const Case cases[] = {
      {"shrinking a count removes from the end, then reports the count",
       [](TBaseVirtualTree& t) { t.SetChildCount(NodeAt(t, {0}), 1); },
       {"StructureChange 0 crChildDeleted", "FreeNode 0.2", "StructureChange 0 crChildDeleted", "FreeNode 0.1",
        "StructureChange 0 crChildAdded"}},
      {"growing a count", [](TBaseVirtualTree& t) { t.SetChildCount(NodeAt(t, {2}), 2); }, {"StructureChange 2 crChildAdded"}},
      {"removing children frees the deepest first and reports last",
       [](TBaseVirtualTree& t) { t.RemoveChildNodes(NodeAt(t, {1})); },
       {"FreeNode 1.1.0", "FreeNode 1.1", "FreeNode 1.0", "StructureChange 1 crChildDeleted"}},
      {"selected children going are one change without a node",
       [](TBaseVirtualTree& t) {
         NodeAt(t, {1, 0})->StateBits.Include(NS::nsSelected);
         NodeAt(t, {1, 1, 0})->StateBits.Include(NS::nsSelected);
         t.RemoveChildNodes(NodeAt(t, {1}));
       },
       {"FreeNode 1.1.0", "FreeNode 1.1", "FreeNode 1.0", "Change nil", "StructureChange 1 crChildDeleted"}},
      {"a count of 0 removes the children", [](TBaseVirtualTree& t) { t.SetChildCount(NodeAt(t, {0}), 0); },
       {"FreeNode 0.2", "FreeNode 0.1", "FreeNode 0.0", "StructureChange 0 crChildDeleted"}},
      {"removing a leaf", [](TBaseVirtualTree& t) { t.RemoveNode(NodeAt(t, {1, 0})); },
       {"StructureChange 1 crChildDeleted", "FreeNode 1.0"}},
      {"inserting", [](TBaseVirtualTree& t) { t.InsertNode(NodeAt(t, {0}), AM::amInsertAfter); },
       {"StructureChange 1 crNodeAdded"}},
      {"moving", [](TBaseVirtualTree& t) { t.MoveNodeTo(NodeAt(t, {2}), NodeAt(t, {0}), AM::amAddChildFirst); },
       {"StructureChange 0.0 crNodeMoved"}},
      {"resetting a node", [](TBaseVirtualTree& t) { t.ResetNodeState(NodeAt(t, {1})); },
       {"ResetNode 1", "FreeNode 1.1.0", "FreeNode 1.1", "FreeNode 1.0", "StructureChange 1 crChildDeleted"}},
      {"clearing reports once", [](TBaseVirtualTree& t) { t.ClearAllNodes(); },
       {"FreeNode 2", "FreeNode 1.1.0", "FreeNode 1.1", "FreeNode 1.0", "FreeNode 1", "FreeNode 0.2", "FreeNode 0.1",
        "FreeNode 0.0", "FreeNode 0", "StructureChange nil crAccumulated"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(3);
    tree.SetChildCount(NodeAt(tree, {0}), 3);
    tree.SetChildCount(NodeAt(tree, {1}), 2);
    tree.SetChildCount(NodeAt(tree, {1, 1}), 1);
    tree.InitializeSubtree(nullptr, true);
    ExpandAll(tree);
    EventLog log(tree);
    tree.OnResetNode = TVTChangeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode node) { log.Lines.push_back("ResetNode " + NodePath(node, *t)); });
    c.change(tree);
    EXPECT_EQ(log.Lines, c.expected);
    EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsChangePending));
    EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsStructureChangePending));
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

// Removing children that do not exist yet changes nothing: a node that gets
// its children on demand keeps saying so.
TEST(TreeStructure, RemovingAbsentChildrenKeepsTheOnDemandFlag) {
  TBaseVirtualTree tree;
  tree.OnInitNode = TVTInitNodeEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& s) {
    s.Include(TVirtualNodeInitState::ivsHasChildren);
  });
  tree.SetRootNodeCount(1);
  PVirtualNode node = tree.FirstNode();
  EventLog log(tree, false);
  tree.RemoveChildNodes(node);
  EXPECT_TRUE(node->StateBits.Contains(NS::nsHasChildren));
  EXPECT_TRUE(log.Lines.empty());
  // Answering no children takes the flag away.
  tree.OnInitChildren = TVTInitChildrenEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, uint32_t& count) { count = 0; });
  EXPECT_EQ(tree.FirstChildNode(node), nullptr);
  EXPECT_FALSE(node->StateBits.Contains(NS::nsHasChildren));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// Programming errors are assertions with fixed texts, raised before anything
// changes.
TEST(TreeStructure, AssertionsCarryTheirFixedMessages) {
  struct Exposed : TBaseVirtualTree {
    using TBaseVirtualTree::DisconnectNode;
    using TBaseVirtualTree::LevelDistance;
  };
  struct Case {
    const char* name;
    void (*call)(Exposed&, TBaseVirtualTree& other);
    const char* message;
  };
  const char* const iterating = "Deleting nodes during tree iteration leads to invalid pointers.";
  const char* const hiddenRoot = "Node must not be the hidden root node.";
  const Case cases[] = {
      {"removing a node while iterating",
       [](Exposed& t, TBaseVirtualTree&) {
         t.ChangeStates({TVirtualTreeState::tsIterating}, {});
         t.RemoveNode(NodeAt(t, {1}));
       },
       iterating},
      {"removing children while iterating",
       [](Exposed& t, TBaseVirtualTree&) {
         t.ChangeStates({TVirtualTreeState::tsIterating}, {});
         t.RemoveChildNodes(NodeAt(t, {0}));
       },
       iterating},
      {"unlinking the root", [](Exposed& t, TBaseVirtualTree&) { t.DisconnectNode(t.RootNode(), false, true); },
       "Node must neither be nil nor the root node."},
      {"moving a node of another tree",
       [](Exposed& t, TBaseVirtualTree& other) { t.MoveNodeTo(NodeAt(other, {0}), nullptr, AM::amAddChildLast); },
       "The source tree must contain the source node."},
      {"copying a node of another tree",
       [](Exposed& t, TBaseVirtualTree& other) { t.CopyNodeTo(NodeAt(other, {0}), nullptr, AM::amAddChildLast); },
       "The source tree must contain the source node."},
      {"next of the root", [](Exposed& t, TBaseVirtualTree&) { t.NextNode(t.RootNode()); }, hiddenRoot},
      {"previous visible of the root", [](Exposed& t, TBaseVirtualTree&) { t.PreviousVisibleNode(t.RootNode()); }, hiddenRoot},
      {"sibling of the root", [](Exposed& t, TBaseVirtualTree&) { t.NextSiblingNode(t.RootNode()); }, hiddenRoot},
      {"visible sibling of nil", [](Exposed& t, TBaseVirtualTree&) { t.NextVisibleSiblingNode(nullptr); }, "Invalid parameter."},
      {"visible sibling of the root", [](Exposed& t, TBaseVirtualTree&) { t.PreviousVisibleSiblingNodeRaw(t.RootNode()); },
       "Invalid parameter."},
      {"full visibility of nil", [](Exposed& t, TBaseVirtualTree&) { t.IsFullyVisible(nullptr); }, "Invalid parameter."},
      {"comparing nil", [](Exposed& t, TBaseVirtualTree&) { t.CompareNodePositions(NodeAt(t, {0}), nullptr); },
       "Nodes must never be nil."},
      {"level distance to nil", [](Exposed& t, TBaseVirtualTree&) { t.LevelDistance(nullptr, NodeAt(t, {0})); },
       "Both nodes must be Assigned."},
      {"tree of nil", [](Exposed&, TBaseVirtualTree&) { TreeFromNode(nullptr); }, "Node must not be nil."},
      {"unbalanced operation bracket", [](Exposed& t, TBaseVirtualTree&) { t.EndOperation(); },
       "EndOperation must not be called when no operation in progress."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Exposed tree;
    TBaseVirtualTree other;
    other.SetRootNodeCount(1);
    tree.SetRootNodeCount(2);
    tree.SetChildCount(NodeAt(tree, {0}), 2);
    try {
      c.call(tree, other);
      ADD_FAILURE() << "no assertion";
    } catch (const EAssertionFailed& e) {
      EXPECT_THAT_MESSAGE(e, c.message);
    }
    tree.ChangeStates({}, {TVirtualTreeState::tsIterating});
    EXPECT_EQ(tree.TotalCount(), 4u);
    EXPECT_EQ(other.TotalCount(), 1u);
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

TEST(TreeStructure, MovingWithinTheTree) {
  struct Case {
    const char* name;
    std::initializer_list<uint32_t> source, target;
    AM mode;
    bool childrenOnly;
    Lines names;  // top-level node names afterwards, "name:children" style
  };
  // Names: top-level A B C; B has children b0 b1.
  const Case cases[] = {
      {"before", {2}, {0}, AM::amInsertBefore, false, {"C", "A", "B[b0,b1]"}},
      {"after", {0}, {2}, AM::amInsertAfter, false, {"B[b0,b1]", "C", "A"}},
      {"into as first child", {0}, {1}, AM::amAddChildFirst, false, {"B[A,b0,b1]", "C"}},
      {"into as last child", {2}, {1}, AM::amAddChildLast, false, {"A", "B[b0,b1,C]"}},
      {"children after a node keep their order", {1}, {2}, AM::amInsertAfter, true, {"A", "B", "C", "b0", "b1"}},
      {"children as first children keep their order", {1}, {0}, AM::amAddChildFirst, true, {"A[b0,b1]", "B", "C"}},
      {"children next to their parent", {1}, {1}, AM::amInsertBefore, true, {"A", "b0", "b1", "B", "C"}},
      {"nil target is the root's first place", {2}, {}, AM::amAddChildLast, false, {"C", "A", "B[b0,b1]"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    tree.SetNodeDataSize(4);
    tree.SetRootNodeCount(3);
    tree.SetChildCount(NodeAt(tree, {1}), 2);
    ExpandAll(tree);
    const char* names[] = {"A", "B", "C"};
    for (uint32_t i = 0; i < 3; ++i) *tree.NodeData<const char*>(NodeAt(tree, {i})) = names[i];
    *tree.NodeData<const char*>(NodeAt(tree, {1, 0})) = "b0";
    *tree.NodeData<const char*>(NodeAt(tree, {1, 1})) = "b1";
    int moved = 0;
    tree.OnNodeMoved = TVTNodeMovedEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode) { ++moved; });
    PVirtualNode target = c.target.size() ? NodeAt(tree, c.target) : nullptr;
    tree.MoveNodeTo(NodeAt(tree, c.source), target, c.mode, c.childrenOnly);
    Lines shape;
    for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) {
      std::string text = *tree.NodeData<const char*>(node);
      if (node->FirstChild) {
        text += "[";
        for (PVirtualNode child = node->FirstChild; child; child = child->NextSibling)
          text += std::string(*tree.NodeData<const char*>(child)) + (child->NextSibling ? "," : "]");
      }
      shape.push_back(text);
    }
    EXPECT_EQ(shape, c.names);
    EXPECT_EQ(moved, c.childrenOnly ? 2 : 1);
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

TEST(TreeStructure, MovingIntoTheOwnSubtreeIsRefused) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  tree.SetChildCount(NodeAt(tree, {0}), 2);
  tree.SetChildCount(NodeAt(tree, {0, 1}), 1);
  for (auto mode : {AM::amAddChildLast, AM::amInsertBefore}) {
    try {
      tree.MoveNodeTo(NodeAt(tree, {0}), NodeAt(tree, {0, 1, 0}), mode);
      FAIL() << "no error";
    } catch (const EVirtualTreeError& e) {
      EXPECT_EQ(e.Code(), 2001);
      EXPECT_EQ(e.Message(), "Target node cannot be a child node of the node to be moved.");
    }
  }
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, MovingAsksFirstAndReportsEvenWhenRefused) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(3);
  EventLog log(tree, false);
  tree.OnNodeMoving = TVTNodeMovingEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, PVirtualNode target, bool& allowed) {
    EXPECT_EQ(target, nullptr);  // the root is announced as nil
    allowed = false;
  });
  PVirtualNode node = NodeAt(tree, {2});
  tree.MoveNodeTo(node, nullptr, AM::amAddChildFirst);
  EXPECT_EQ(NodePath(node, tree), "2");
  EXPECT_EQ(log.Lines, (Lines{"StructureChange 2 crNodeMoved"}));
}

TEST(TreeStructure, MovingChildrenIntoAnotherTree) {
  TBaseVirtualTree source, target;
  source.SetNodeDataSize(4);
  target.SetNodeDataSize(8);
  source.SetRootNodeCount(1);
  PVirtualNode parent = NodeAt(source, {0});
  source.SetChildCount(parent, 3);
  source.ChangeNodeExpanded(parent, true);
  source.SetChildCount(NodeAt(source, {0, 2}), 2);
  for (uint32_t i = 0; i < 3; ++i) *source.NodeData<uint32_t>(NodeAt(source, {0, i})) = 100 + i;
  target.SetRootNodeCount(2);
  std::vector<uint32_t> announced;
  EventLog log(source, false);
  source.OnNodeMoved = TVTNodeMovedEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode node) {
    EXPECT_EQ(TreeFromNode(node), &target);
    announced.push_back(*target.NodeData<uint32_t>(node));
  });
  source.MoveNodeTo(parent, NodeAt(target, {1}), AM::amAddChildLast, true);
  EXPECT_EQ(announced, (std::vector<uint32_t>{100, 101, 102}));
  // The data moved with the nodes: the source frees nothing.
  EXPECT_EQ(log.Lines, (Lines{"StructureChange 0 crAccumulated", "StructureChange 0 crNodeMoved"}));
  EXPECT_EQ(parent->ChildCount, 0u);
  EXPECT_FALSE(parent->StateBits.Contains(NS::nsHasChildren));
  EXPECT_EQ(NodeAt(target, {1})->ChildCount, 3u);
  EXPECT_EQ(NodeAt(target, {1, 2})->ChildCount, 2u);
  EXPECT_EQ(target.TotalCount(), 2u + 3 + 2);
  EXPECT_TRUE(TreeIsConsistent(source));
  EXPECT_TRUE(TreeIsConsistent(target));
}

TEST(TreeStructure, MovingANodeIntoAnotherTreeRemovesIt) {
  TBaseVirtualTree source, target;
  source.SetRootNodeCount(2);
  source.SetChildCount(NodeAt(source, {0}), 4);
  target.SetRootNodeCount(1);
  EventLog log(source, false);
  source.MoveNodeTo(NodeAt(source, {0}), NodeAt(target, {0}), AM::amInsertBefore);
  EXPECT_EQ(log.Lines, (Lines{"StructureChange nil crAccumulated", "StructureChange nil crNodeMoved"}));
  EXPECT_EQ(source.TotalCount(), 1u);
  EXPECT_EQ(target.TotalCount(), 6u);
  EXPECT_EQ(NodeAt(target, {0})->ChildCount, 4u);
  EXPECT_TRUE(TreeIsConsistent(source));
  EXPECT_TRUE(TreeIsConsistent(target));
}

TEST(TreeStructure, MovingAForeignNodeAsserts) {
  TBaseVirtualTree one, other;
  other.SetRootNodeCount(1);
  EXPECT_THROW(one.MoveNodeTo(NodeAt(other, {0}), nullptr, AM::amAddChildLast), EAssertionFailed);
}

TEST(TreeStructure, CopiesAreAnnouncedNodeByNode) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(4);
  tree.SetRootNodeCount(2);
  tree.SetChildCount(NodeAt(tree, {0}), 2);
  *tree.NodeData<uint32_t>(NodeAt(tree, {0})) = 7;
  int copied = 0;
  tree.OnNodeCopied = TVTNodeCopiedEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode) { ++copied; });
  EventLog log(tree, false);
  PVirtualNode copy = tree.CopyNodeTo(NodeAt(tree, {0}), NodeAt(tree, {0, 1}), AM::amAddChildLast);
  EXPECT_EQ(NodePath(copy, tree), "0.1.0");
  EXPECT_EQ(*tree.NodeData<uint32_t>(copy), 7u);
  EXPECT_EQ(copy->ChildCount, 2u);
  EXPECT_EQ(copied, 3);
  EXPECT_EQ(log.Lines, (Lines{"StructureChange 0.1.0 crNodeCopied"}));
  EXPECT_EQ(tree.TotalCount(), 2u + 2 + 3);
  EXPECT_TRUE(TreeIsConsistent(tree));

  bool refuse = true;
  tree.OnNodeCopying = TVTNodeCopyingEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, bool& allowed) { allowed = !refuse; });
  EXPECT_EQ(tree.CopyNodeTo(NodeAt(tree, {1}), nullptr, AM::amAddChildLast), nullptr);
  EXPECT_EQ(tree.TotalCount(), 7u);
}

// Sorting by a number in the data; equal keys keep their order in both directions.
TEST(TreeStructure, SortingIsStable) {
  struct Case {
    TSortDirection direction;
    std::vector<uint32_t> expected;  // original indexes
  };
  const uint32_t keys[] = {3, 1, 3, 2, 1, 3, 2};
  const Case cases[] = {
      {TSortDirection::sdAscending, {1, 4, 3, 6, 0, 2, 5}},
      {TSortDirection::sdDescending, {0, 2, 5, 3, 6, 1, 4}},
  };
  for (const Case& c : cases) {
    TBaseVirtualTree tree;
    tree.SetNodeDataSize(8);
    tree.SetRootNodeCount(7);
    for (uint32_t i = 0; i < 7; ++i) {
      tree.NodeData<uint32_t>(NodeAt(tree, {i}))[0] = keys[i];
      tree.NodeData<uint32_t>(NodeAt(tree, {i}))[1] = i;
    }
    tree.OnCompareNodes = TVTCompareEvent::Lambda([](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int32_t& r) {
      r = static_cast<int32_t>(*t->NodeData<uint32_t>(a)) - static_cast<int32_t>(*t->NodeData<uint32_t>(b));
    });
    tree.SortChildren(nullptr, NoColumn, c.direction);
    std::vector<uint32_t> order;
    for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) order.push_back(tree.NodeData<uint32_t>(node)[1]);
    EXPECT_EQ(order, c.expected);
    EXPECT_TRUE(TreeIsConsistent(tree));

    // Without a handler all nodes are equal: nothing moves.
    tree.OnCompareNodes.Clear();
    tree.SortWholeTree(NoColumn, c.direction);
    std::vector<uint32_t> again;
    for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) again.push_back(tree.NodeData<uint32_t>(node)[1]);
    EXPECT_EQ(again, c.expected);
  }
}

// Auto sorting runs when a bracket closes; it opens a bracket itself and must
// not start over when that one closes.
TEST(TreeStructure, AutoSortAtTheEndOfABracketRunsOnce) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(4);
  tree.TreeOptions()->SetAutoOptions(tree.TreeOptions()->AutoOptions() + TVTAutoOption::toAutoSort);
  int compares = 0;
  tree.OnCompareNodes = TVTCompareEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int32_t& r) {
    ++compares;
    r = static_cast<int32_t>(*t->NodeData<uint32_t>(a)) - static_cast<int32_t>(*t->NodeData<uint32_t>(b));
  });
  tree.BeginTreeUpdate();
  for (uint32_t key : {5u, 2u, 9u, 1u}) tree.AppendChildNode(nullptr, key);
  tree.EndTreeUpdate();
  std::vector<uint32_t> order;
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) order.push_back(*tree.NodeData<uint32_t>(node));
  EXPECT_EQ(order, (std::vector<uint32_t>{1, 2, 5, 9}));
  EXPECT_LE(compares, 8);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, AssignCopiesTheTopLevelCount) {
  TBaseVirtualTree source, tree;
  source.SetRootNodeCount(7);
  source.SetChildCount(NodeAt(source, {0}), 3);
  source.SetIndent(25);
  source.TreeOptions()->SetSelectionOptions({TVTSelectionOption::toMultiSelect});
  tree.Assign(&source);
  EXPECT_EQ(tree.RootNodeCount(), 7u);
  EXPECT_EQ(tree.TotalCount(), 7u);
  EXPECT_EQ(tree.Indent(), 25u);
  EXPECT_TRUE(tree.TreeOptions()->SelectionOptions().Contains(TVTSelectionOption::toMultiSelect));
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling)
    EXPECT_FALSE(node->StateBits.Contains(NS::nsInitialized));
  EXPECT_TRUE(TreeIsConsistent(tree));

  // A read-only source makes a read-only copy, with its nodes all the same.
  source.TreeOptions()->SetMiscOptions(source.TreeOptions()->MiscOptions() + TVTMiscOption::toReadOnly);
  TBaseVirtualTree copy;
  copy.Assign(&source);
  EXPECT_TRUE(copy.TreeOptions()->MiscOptions().Contains(TVTMiscOption::toReadOnly));
  EXPECT_EQ(copy.TotalCount(), 7u);
  EXPECT_TRUE(TreeIsConsistent(copy));
}

TEST(TreeStructure, ChildrenAreAskedForOnce) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(2);
  int asked = 0;
  tree.OnInitNode = TVTInitNodeEvent::Lambda([](TBaseVirtualTree*, PVirtualNode parent, PVirtualNode, TVirtualNodeInitStates& s) {
    if (!parent) s.Include(TVirtualNodeInitState::ivsHasChildren);
  });
  tree.OnInitChildren = TVTInitChildrenEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, uint32_t& count) {
    ++asked;
    count = 3;
  });
  tree.InitializeSubtree(nullptr, true);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(tree.TotalCount(), 8u);
  tree.ReinitializeChildren(NodeAt(tree, {0}), false);
  EXPECT_EQ(asked, 3);
  tree.ResetNodeState(NodeAt(tree, {1}));
  EXPECT_EQ(NodeAt(tree, {1})->StateBits.Bits, TVirtualNodeStates::Mask(NS::nsVisible));
  EXPECT_EQ(tree.TotalCount(), 5u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStructure, StateChangesReportOnlyRealChanges) {
  TBaseVirtualTree tree;
  int reports = 0;
  // Closing the bracket also marks the position cache stale: only the
  // reports about the bracket itself are counted.
  tree.OnStateChange = TVTStateChangeEvent::Lambda([&](TBaseVirtualTree*, TVirtualTreeStates& enter, TVirtualTreeStates& leave) {
    if (enter.Contains(TVirtualTreeState::tsUpdating) || leave.Contains(TVirtualTreeState::tsUpdating)) ++reports;
  });
  tree.BeginTreeUpdate();
  EXPECT_EQ(reports, 1);
  tree.BeginTreeUpdate();  // tsUpdating already set
  EXPECT_EQ(reports, 1);
  tree.EndTreeUpdate();
  tree.EndTreeUpdate();
  EXPECT_EQ(reports, 2);
}

TEST(TreeStructure, OperationBracket) {
  TBaseVirtualTree tree;
  EXPECT_THROW(tree.EndOperation(), EAssertionFailed);
  tree.BeginOperation();
  tree.CancelOperation();
  EXPECT_TRUE(tree.OperationCanceled());
  tree.EndOperation();
  EXPECT_FALSE(tree.OperationCanceled());
  tree.BeginOperation();
  EXPECT_FALSE(tree.OperationCanceled());
  tree.EndOperation();
}

TEST(TreeStructure, LoadingDefersTheTopLevel) {
  TBaseVirtualTree tree;
  tree.BeginLoading();
  tree.SetRootNodeCount(4);
  EXPECT_TRUE(tree.TreeStates().Contains(TVirtualTreeState::tsNeedRootCountUpdate));
  EXPECT_EQ(tree.TotalCount(), 0u);
  tree.Loaded();
  EXPECT_EQ(tree.TotalCount(), 4u);
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsNeedRootCountUpdate));
  EXPECT_TRUE(TreeIsConsistent(tree));
}
}  // namespace
