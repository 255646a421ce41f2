// Node records, the hidden root, data areas and their sizes.
#include "tests/vtree/TreeChecker.h"

#include <cstring>
#include <string>

namespace {
using NS = TVirtualNodeState;

TEST(TreeStorage, NewTreeHasOnlyTheRoot) {
  TBaseVirtualTree tree;
  PVirtualNode root = tree.RootNode();
  EXPECT_EQ(root->StateBits.Bits, 0x00E1);
  EXPECT_EQ(root->SubtreeCount, 1u);
  EXPECT_EQ(root->SubtreeHeight, 18u);
  EXPECT_EQ(tree.RootNodeCount(), 0u);
  EXPECT_EQ(tree.NodeDataSize(), -1);
  EXPECT_EQ(tree.TreeStates(), TVirtualTreeStates());
  EXPECT_EQ(TreeFromNode(root), &tree);
  // What a new tree looks like besides its nodes.
  EXPECT_EQ(tree.Indent(), 18u);
  EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
  EXPECT_EQ(tree.Margin(), 4);
  EXPECT_EQ(tree.TextMargin(), 4);
  EXPECT_EQ(tree.ChangeDelay(), 0u);
  EXPECT_EQ(tree.DefaultPasteMode(), TVTNodeAttachMode::amAddChildLast);
  EXPECT_EQ(tree.DragOperations(), TDragOperations({TDragOperation::doCopy, TDragOperation::doMove}));
  EXPECT_EQ(tree.SelectionBlendFactor(), 128);
  EXPECT_EQ(tree.NodeAlignment(), TVTNodeAlignment::naProportional);
  EXPECT_EQ(tree.LineStyle(), TVTLineStyle::lsDotted);
  EXPECT_EQ(tree.DragHeight(), 350);
  EXPECT_EQ(tree.DragWidth(), 200);
  EXPECT_EQ(tree.HintAnimation(), THintAnimationType::hatSystemDefault);
  EXPECT_EQ(tree.DrawSelectionMode(), TVTDrawSelectionMode::smDottedRectangle);
  EXPECT_EQ(tree.HotCursor(), 0);
  EXPECT_TRUE(TreeIsConsistent(tree));
  // Clearing an empty tree removes nothing, so the root keeps its states.
  tree.ClearAllNodes();
  EXPECT_EQ(root->StateBits.Bits, 0x00E1);
}

TEST(TreeStorage, HeaderLayoutIsFixed) {
  EXPECT_EQ(offsetof(TNodeRecord, NodeHeight), 8u);
  EXPECT_EQ(offsetof(TNodeRecord, StateBits), 10u);
  EXPECT_EQ(offsetof(TNodeRecord, VerticalAlign), 12u);
  EXPECT_EQ(offsetof(TNodeRecord, SubtreeCount), 16u);
  EXPECT_EQ(offsetof(TNodeRecord, Parent), 24u);
  // Five links follow: 44 bytes on the 32-bit program, 64 on a 64-bit build.
  EXPECT_EQ(NodeHeaderSize, 24 + 5 * static_cast<int>(sizeof(void*)));
}

TEST(TreeStorage, UnsetDataSizeBecomesTheEventsAnswer) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(1);
  EXPECT_EQ(tree.NodeDataSize(), 0);
  try {
    tree.NodeUserData(tree.FirstNodeRaw());
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_THAT_MESSAGE(e, "NodeDataSize not initialized.");
  }

  TBaseVirtualTree asked;
  int calls = 0;
  asked.OnGetNodeDataSize = TVTGetNodeDataSizeEvent::Lambda([&](TBaseVirtualTree*, int32_t& size) {
    EXPECT_EQ(size, 0);
    ++calls;
    size = 12;
  });
  asked.SetRootNodeCount(3);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(asked.NodeDataSize(), 12);
}

TEST(TreeStorage, UserDataFollowsTheHeaderAndStartsZero) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(24);
  tree.SetRootNodeCount(3);
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = tree.NextNodeRaw(node)) {
    auto* data = static_cast<unsigned char*>(tree.NodeUserData(node));
    EXPECT_EQ(data, reinterpret_cast<unsigned char*>(node) + NodeHeaderSize);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(data[i], 0) << i;
    std::memset(data, 0xFF, 24);  // the whole area is ours
  }
  EXPECT_EQ(tree.NodeUserData(nullptr), nullptr);
  EXPECT_EQ(tree.NodeUserData(tree.RootNode()), nullptr);
}

TEST(TreeStorage, DataSizeChangeRecreatesTheTopLevel) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(24);
  tree.SetRootNodeCount(10);
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) tree.SetChildCount(node, 2);
  ExpandAll(tree);
  tree.SetNodeDataSize(52);
  EXPECT_EQ(tree.RootNodeCount(), 10u);
  EXPECT_EQ(tree.TotalCount(), 10u);
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling)
    EXPECT_EQ(node->StateBits.Bits, TVirtualNodeStates::Mask(NS::nsVisible));
  EXPECT_TRUE(TreeIsConsistent(tree));

  TBaseVirtualTree fresh;
  fresh.SetNodeDataSize(-5);
  EXPECT_EQ(fresh.NodeDataSize(), -1);
}

// A form being read may change the data size after nodes exist: the nodes of
// the old size go, and the count comes back as new nodes once loading ends.
TEST(TreeStorage, DataSizeChangeWhileLoadingKeepsTheCount) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(4);
  tree.SetRootNodeCount(3);
  tree.SetChildCount(NodeAt(tree, {0}), 2);
  tree.BeginLoading();
  tree.SetNodeDataSize(40);
  EXPECT_EQ(tree.TotalCount(), 0u);
  EXPECT_EQ(tree.RootNodeCount(), 3u);
  EXPECT_TRUE(tree.TreeStates().Contains(TVirtualTreeState::tsNeedRootCountUpdate));
  tree.Loaded();
  EXPECT_EQ(tree.TotalCount(), 3u);
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling)
    std::memset(tree.NodeUserData(node), 0xAB, 40);  // the new size is really there
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStorage, InternalDataIsReservedInWords) {
  struct Reserving : TBaseVirtualTree {
    using TBaseVirtualTree::ReserveInternalData;
  } tree;
  EXPECT_EQ(tree.ReserveInternalData(5), NodeHeaderSize);
  EXPECT_EQ(tree.InternalDataSize(), 8);
  EXPECT_EQ(tree.ReserveInternalData(2), NodeHeaderSize + 8);
  EXPECT_EQ(tree.InternalDataSize(), 12);
  EXPECT_EQ(tree.ReserveInternalData(-8), NodeHeaderSize + 12);
  EXPECT_EQ(tree.InternalDataSize(), 12);
  EXPECT_EQ(TreeFromNode(tree.RootNode()), &tree);
  tree.SetNodeDataSize(4);
  tree.SetRootNodeCount(1);
  EXPECT_EQ(tree.NodeUserData(tree.FirstNodeRaw()), reinterpret_cast<unsigned char*>(tree.FirstNodeRaw()) + NodeHeaderSize + 12);
  try {
    tree.ReserveInternalData(4);
    FAIL() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_THAT_MESSAGE(e, "Internal data allocation must be done before any node is created.");
  }
}

TEST(TreeStorage, TreeFromNilAsserts) {
  EXPECT_THROW(TreeFromNode(nullptr), EAssertionFailed);
}

TEST(TreeStorage, DefaultNodeHeightZeroMeansEighteen) {
  TBaseVirtualTree tree;
  tree.SetDefaultNodeHeight(30);
  EXPECT_EQ(tree.RootNode()->SubtreeHeight, 30u);
  EXPECT_TRUE(tree.TreeStates().Contains(TVirtualTreeState::tsNeedScale));
  tree.SetDefaultNodeHeight(0);
  EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
  tree.SetRootNodeCount(2);
  EXPECT_EQ(tree.FirstNodeRaw()->NodeHeight, 18);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeStorage, NodeHeightChangesMoveTheRowsBelow) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(3);
  tree.SetChildCount(NodeAt(tree, {1}), 2);
  ExpandAll(tree);
  tree.SetNodeHeight(NodeAt(tree, {1, 0}), 40);
  EXPECT_EQ(tree.NodeTopOf(NodeAt(tree, {2})), 18u + 18 + 40 + 18);
  EXPECT_EQ(tree.NodeHeightOf(tree.RootNode()), 0u);
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.ChangeNodeExpanded(NodeAt(tree, {1}), false);
  tree.SetNodeHeight(NodeAt(tree, {1, 1}), 5);  // inside a collapsed node: nothing above moves
  EXPECT_EQ(tree.NodeTopOf(NodeAt(tree, {2})), 36u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// The free handler runs for initialised nodes, for nodes given initial data,
// and for nodes whose data area was handed out, so data never leaks.
TEST(TreeStorage, FreeHandlerRunsForEveryNodeThatHeldData) {
  std::vector<std::string> freed;
  {
    TBaseVirtualTree tree;
    tree.SetNodeDataSize(sizeof(std::string*));
    tree.OnFreeNode = TVTFreeNodeEvent::Lambda([&](TBaseVirtualTree* sender, PVirtualNode node) {
      std::string*& text = *sender->NodeData<std::string*>(node);
      freed.push_back(text ? *text : NodePath(node, *sender));
      delete text;
      text = nullptr;
    });
    tree.SetRootNodeCount(4);
    tree.FirstNode();                                                        // node 0 initialised
    *tree.NodeData<std::string*>(NodeAt(tree, {2})) = new std::string("raw");  // data stored, never initialised
    tree.AppendChildNode(nullptr, 7);                                        // initial data given
    *tree.NodeData<std::string*>(tree.LastChildNodeRaw(nullptr)) = nullptr;
  }
  EXPECT_EQ(freed, (std::vector<std::string>{"4", "raw", "0"}));
}

TEST(TreeStorage, DestroyingTheTreeFreesInitialisedNodes) {
  std::vector<std::string> log;
  {
    TBaseVirtualTree tree;
    tree.SetRootNodeCount(3);
    tree.SetChildCount(NodeAt(tree, {1}), 2);
    tree.InitializeSubtree(nullptr, true);
    tree.OnFreeNode = TVTFreeNodeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode node) { log.push_back(NodePath(node, *t)); });
  }
  EXPECT_EQ(log, (std::vector<std::string>{"2", "1.1", "1.0", "1", "0"}));
}

TEST(TreeStorage, AnOwnerFreesItsTreeWithTheNodes) {
  int freed = 0;
  auto* owner = new TComponent(nullptr);
  auto* tree = new TBaseVirtualTree(owner);
  tree->SetRootNodeCount(3);
  tree->InitializeSubtree(nullptr, true);
  tree->OnFreeNode = TVTFreeNodeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode) { ++freed; });
  EXPECT_EQ(owner->ComponentCount(), 1);
  FreeAndNil(owner);
  EXPECT_EQ(freed, 3);
}

// A descendant that adds work to releasing a node still gets it done for the
// nodes left when the tree is freed, by its owner or directly.
TEST(TreeStorage, FreeingATreeRunsTheDescendantsReleaseWork) {
  struct CountingTree : TBaseVirtualTree {
    using TBaseVirtualTree::TBaseVirtualTree;
    int* Released = nullptr;
    void ReleaseNode(PVirtualNode Node) override {
      ++*Released;
      TBaseVirtualTree::ReleaseNode(Node);
    }
  };
  for (bool owned : {false, true}) {
    SCOPED_TRACE(owned ? "freed by its owner" : "freed directly");
    int released = 0;
    TComponent* owner = owned ? new TComponent(nullptr) : nullptr;
    auto* tree = new CountingTree(owner);
    tree->Released = &released;
    tree->SetRootNodeCount(3);
    tree->SetChildCount(NodeAt(*tree, {1}), 2);
    if (owned) FreeAndNil(owner);
    else Free(tree);
    EXPECT_EQ(released, 5);
  }
}

TEST(TreeStorage, AllocatorGivesBackItsMemoryWhenEmpty) {
  TBaseVirtualTree tree;
  tree.SetNodeDataSize(8);
  tree.SetRootNodeCount(5000);
  EXPECT_GE(tree.NodeMemory(), 5000u * (NodeHeaderSize + 8));
  EXPECT_LT(tree.NodeMemory(), 5000u * (NodeHeaderSize + 8) * 2 + 65536);
  tree.ClearAllNodes();
  EXPECT_EQ(tree.NodeMemory(), 0u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}
}  // namespace
