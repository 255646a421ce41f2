// Failures in the middle of tree operations: handlers that raise, the heap
// giving out, node layouts too large for a block. After each injected failure
// the tree is whole again: every counter in step, every block accounted for,
// no update bracket left open.
#include "tests/vtree/TreeChecker.h"

#include "platform/CallbackGuard.h"

#include <climits>
#include <functional>
#include <new>
#include <set>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;

// A tree whose allocator a test can make fail.
struct FailingTree : TBaseVirtualTree {
  using TBaseVirtualTree::TBaseVirtualTree;
  void FailAfter(size_t allocations) { NodeAllocator().FailAllocationsAfter(allocations); }
  int32_t Reserve(int32_t size) { return ReserveInternalData(size); }
};

// Three top-level nodes with three children each, all initialised.
void Fill(TBaseVirtualTree& tree) {
  tree.SetNodeDataSize(4);
  tree.SetRootNodeCount(3);
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) tree.SetChildCount(node, 3);
  tree.InitializeSubtree(nullptr, true);
}

::testing::AssertionResult Settled(const TBaseVirtualTree& tree) {
  if (tree.UpdateCount() != 0) return ::testing::AssertionFailure() << "update count " << tree.UpdateCount();
  if (tree.TreeStates().Contains(TS::tsUpdating)) return ::testing::AssertionFailure() << "still updating";
  return TreeIsConsistent(tree);
}

// --- the node allocator -----------------------------------------------------------

TEST(TreeFailure, ABlockLargerThanAChunkGetsAChunkOfItsOwn) {
  TNodeAllocator allocator;
  allocator.SetBlockSize(3 << 20);
  void* block = allocator.Allocate();
  EXPECT_EQ(allocator.ReservedBytes(), size_t{3} << 20);
  allocator.Free(block);
  EXPECT_EQ(allocator.ReservedBytes(), 0u);
}

// Sixteen blocks of this size (the first chunk) wrap around the address
// space; the allocator must ask for one block, which the heap refuses, and
// never write past what it got.
TEST(TreeFailure, ChunkSizeCannotWrap) {
  TNodeAllocator allocator;
  const size_t huge = size_t{1} << (sizeof(size_t) * 8 - 3);
  allocator.SetBlockSize(huge);
  try {
    void* block = allocator.Allocate();
    EXPECT_EQ(allocator.ReservedBytes(), huge);  // the 32-bit heap may give 512 MiB
    allocator.Free(block);
  } catch (const std::bad_alloc&) {
    EXPECT_EQ(allocator.ReservedBytes(), 0u);
    EXPECT_EQ(allocator.LiveBlocks(), 0u);
  }
  EXPECT_THROW(allocator.SetBlockSize(SIZE_MAX), EOutOfMemory);
}

TEST(TreeFailure, NodeLayoutsBeyondABlockAreRefused) {
  auto expectRefused = [](const std::function<void()>& action) {
    try {
      action();
      ADD_FAILURE() << "not refused";
    } catch (const EVirtualTreeError& e) {
      EXPECT_EQ(e.Code(), ErrorNodeLayout);
      EXPECT_NE(e.Message().find("does not fit in a node"), std::string::npos) << e.Message();
    }
  };
  {
    SCOPED_TRACE("NodeDataSize");
    FailingTree tree;
    tree.SetNodeDataSize(8);
    tree.SetRootNodeCount(2);
    expectRefused([&] { tree.SetNodeDataSize(INT32_MAX - 8); });
    EXPECT_EQ(tree.NodeDataSize(), 8);
    EXPECT_EQ(tree.RootNodeCount(), 2u);
    EXPECT_TRUE(Settled(tree));
  }
  {
    SCOPED_TRACE("the size event's answer");
    FailingTree tree;
    tree.OnGetNodeDataSize = TVTGetNodeDataSizeEvent::Lambda([](TBaseVirtualTree*, int32_t& size) { size = INT32_MAX; });
    expectRefused([&] { tree.SetRootNodeCount(1); });
    EXPECT_EQ(tree.NodeDataSize(), -1);
    EXPECT_EQ(tree.RootNodeCount(), 0u);
    EXPECT_TRUE(Settled(tree));
  }
  {
    SCOPED_TRACE("internal data");
    FailingTree tree;
    tree.SetNodeDataSize(16);
    expectRefused([&] { tree.Reserve(INT32_MAX); });
    expectRefused([&] { tree.Reserve(INT32_MAX - NodeHeaderSize - 8); });
    EXPECT_EQ(tree.InternalDataSize(), 0);
    EXPECT_EQ(tree.Reserve(5), NodeHeaderSize);
  }
}

// --- a raising OnFreeNode ------------------------------------------------------------

TEST(TreeFailure, RemovalGoesOnWhenOnFreeNodeRaises) {
  struct Case {
    const char* name;
    std::set<std::string> failing;     // nodes whose OnFreeNode raises
    std::function<void(TBaseVirtualTree&)> act;
    const char* firstError;
    size_t freed;
    uint32_t left;
  };
  const Case cases[] = {
      {"RemoveNode", {"1.0", "1.2"}, [](TBaseVirtualTree& t) { t.RemoveNode(NodeAt(t, {1})); }, "1.2", 4, 8},
      {"RemoveChildNodes", {"0.1"}, [](TBaseVirtualTree& t) { t.RemoveChildNodes(NodeAt(t, {0})); }, "0.1", 3, 9},
      {"ClearAllNodes", {"2.2", "0.0"}, [](TBaseVirtualTree& t) { t.ClearAllNodes(); }, "2.2", 12, 0},
      {"shrinking RootNodeCount", {"2.1", "1.1"}, [](TBaseVirtualTree& t) { t.SetRootNodeCount(1); }, "2.1", 8, 4},
      {"shrinking a child count", {"0.2"}, [](TBaseVirtualTree& t) { t.SetChildCount(NodeAt(t, {0}), 1); }, "0.2", 2, 10},
      {"NodeDataSize", {"0.0"}, [](TBaseVirtualTree& t) { t.SetNodeDataSize(8); }, "0.0", 12, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    Fill(tree);
    std::vector<std::string> freed;
    tree.OnFreeNode = TVTFreeNodeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode node) {
      freed.push_back(NodePath(node, *t));
      if (c.failing.count(freed.back())) throw Exception("free failed at " + freed.back());
    });
    try {
      c.act(tree);
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_EQ(e.Message(), std::string("free failed at ") + c.firstError);
    }
    EXPECT_EQ(freed.size(), c.freed);
    EXPECT_EQ(tree.TotalCount(), c.left);
    EXPECT_TRUE(Settled(tree));
    tree.OnFreeNode.Clear();
  }
}

// The tree's destructor must not let the error escape (that would end the
// program); the application's handler hears of it and every node is freed.
TEST(TreeFailure, DestroyingATreeWhoseOnFreeNodeRaises) {
  std::vector<std::string> reported;
  const TExceptionEvent old = SetCallbackExceptionHandler(
      TExceptionEvent::Lambda([&](TObject*, Exception& e) { reported.push_back(e.Message()); }));
  int freed = 0;
  for (bool viaFree : {false, true}) {
    SCOPED_TRACE(viaFree ? "Free" : "delete");
    reported.clear();
    freed = 0;
    auto* tree = new TBaseVirtualTree(nullptr);
    Fill(*tree);
    tree->OnFreeNode = TVTFreeNodeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode) {
      if (++freed % 5 == 0) throw Exception("free failed");
    });
    if (viaFree) Free(tree);
    else delete tree;
    EXPECT_EQ(freed, 12);
    EXPECT_EQ(reported, std::vector<std::string>{"free failed"});
  }
  SetCallbackExceptionHandler(old);
}

// --- a raising OnCompareNodes -----------------------------------------------------------

std::vector<uint32_t> Keys(TBaseVirtualTree& tree, PVirtualNode parent) {
  std::vector<uint32_t> keys;
  for (PVirtualNode node = tree.FirstChildNodeRaw(parent); node; node = node->NextSibling)
    keys.push_back(*tree.NodeData<uint32_t>(node));
  return keys;
}

TEST(TreeFailure, ASortThatRaisesLeavesTheSiblingsAsTheyWere) {
  struct Case {
    const char* name;
    std::function<void(TBaseVirtualTree&)> act;
  };
  const Case cases[] = {
      {"SortChildren", [](TBaseVirtualTree& t) { t.SortChildren(nullptr, NoColumn, TSortDirection::sdAscending); }},
      {"SortWholeTree", [](TBaseVirtualTree& t) { t.SortWholeTree(NoColumn, TSortDirection::sdDescending); }},
      {"auto-sort at the end of a bracket", [](TBaseVirtualTree& t) {
         t.TreeOptions()->SetAutoOptions(t.TreeOptions()->AutoOptions() + TVTAutoOption::toAutoSort);
         t.BeginTreeUpdate();
         t.EndTreeUpdate();
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    tree.SetNodeDataSize(4);
    for (uint32_t key : {7u, 3u, 9u, 1u, 8u, 2u, 6u}) tree.AppendChildNode(nullptr, key);
    const std::vector<uint32_t> before = Keys(tree, nullptr);
    int calls = 0;
    tree.OnCompareNodes = TVTCompareEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int32_t& r) {
      if (++calls == 5) throw Exception("compare failed");
      r = static_cast<int32_t>(*t->NodeData<uint32_t>(a)) - static_cast<int32_t>(*t->NodeData<uint32_t>(b));
    });
    EXPECT_THROW(c.act(tree), Exception);
    EXPECT_EQ(Keys(tree, nullptr), before);
    EXPECT_TRUE(Settled(tree));
    // The next sort goes through.
    tree.SortChildren(nullptr, NoColumn, TSortDirection::sdAscending);
    EXPECT_EQ(Keys(tree, nullptr), (std::vector<uint32_t>{1, 2, 3, 6, 7, 8, 9}));
    EXPECT_TRUE(Settled(tree));
  }
}

// While a form loads, RootNodeCount is only stored: sorting must look at the
// nodes that exist, not at that count.
TEST(TreeFailure, SortingWhileLoadingSeesOnlyLinkedNodes) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(4);
  int calls = 0;
  tree.OnCompareNodes = TVTCompareEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex, int32_t&) { ++calls; });
  tree.BeginLoading();
  tree.TreeOptions()->SetAutoOptions(tree.TreeOptions()->AutoOptions() + TVTAutoOption::toAutoSort);
  tree.SetRootNodeCount(5);
  tree.SortChildren(nullptr, NoColumn, TSortDirection::sdAscending);
  tree.SortWholeTree(NoColumn, TSortDirection::sdAscending);
  tree.BeginTreeUpdate();
  tree.EndTreeUpdate();
  EXPECT_EQ(calls, 0);
  tree.Loaded();
  EXPECT_EQ(tree.RootNodeCount(), 5u);
  EXPECT_TRUE(Settled(tree));
}

// --- the heap giving out -------------------------------------------------------------------

TEST(TreeFailure, AllocationFailuresKeepCountsInStep) {
  struct Case {
    const char* name;
    size_t allowed;  // allocations that succeed before the failure
    std::function<void(FailingTree&)> act;
    uint32_t total;  // nodes afterwards
  };
  const Case cases[] = {
      {"RootNodeCount", 4, [](FailingTree& t) { t.SetRootNodeCount(20); }, 16},
      {"child count of an expanded node", 2, [](FailingTree& t) { t.SetChildCount(NodeAt(t, {1}), 6); }, 14},
      {"child count of a leaf", 0, [](FailingTree& t) { t.SetChildCount(NodeAt(t, {1, 1}), 2); }, 12},
      {"AppendChildNode", 0, [](FailingTree& t) { t.AppendChildNode(NodeAt(t, {2, 0}), 5); }, 12},
      {"InsertNode", 0, [](FailingTree& t) { t.InsertNode(NodeAt(t, {0, 1}), TVTNodeAttachMode::amInsertAfter); }, 12},
      {"CopyNodeTo", 2, [](FailingTree& t) { t.CopyNodeTo(NodeAt(t, {0}), NodeAt(t, {2}), TVTNodeAttachMode::amAddChildLast); }, 12},
      {"CopyNodeTo children", 2,
       [](FailingTree& t) { t.CopyNodeTo(NodeAt(t, {0}), nullptr, TVTNodeAttachMode::amAddChildLast, true); }, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FailingTree tree;
    Fill(tree);
    ExpandAll(tree);
    const bool leafHadChildren = NodeAt(tree, {1, 1})->StateBits.Contains(NS::nsHasChildren);
    tree.FailAfter(c.allowed);
    EXPECT_THROW(c.act(tree), std::bad_alloc);
    tree.FailAfter(SIZE_MAX);
    EXPECT_EQ(tree.TotalCount(), c.total);
    EXPECT_EQ(NodeAt(tree, {1, 1})->StateBits.Contains(NS::nsHasChildren), leafHadChildren);
    EXPECT_TRUE(Settled(tree));
    // The tree goes on working.
    tree.AppendChildNode(nullptr);
    EXPECT_TRUE(Settled(tree));
  }
}

TEST(TreeFailure, AMoveIntoATreeOutOfMemoryLeavesBoth) {
  TBaseVirtualTree source;
  FailingTree target;
  Fill(source);
  Fill(target);
  target.FailAfter(2);
  EXPECT_THROW(source.MoveNodeTo(NodeAt(source, {1}), NodeAt(target, {0}), TVTNodeAttachMode::amAddChildLast), std::bad_alloc);
  target.FailAfter(SIZE_MAX);
  EXPECT_EQ(source.TotalCount(), 12u);
  EXPECT_EQ(target.TotalCount(), 12u);
  EXPECT_TRUE(Settled(source));
  EXPECT_TRUE(Settled(target));
}
}  // namespace
