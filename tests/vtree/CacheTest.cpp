// The position cache and the validation thread: when a cache is built, what
// it holds, that cached and uncached lookups agree, that a change waits for
// a running build without dispatching posted messages, and the worker's
// lifetime.
#include "tests/vtree/TreeChecker.h"

#include "vtree/WorkerThread.h"

#include <atomic>
#include <random>
#include <thread>

namespace {
using testing_support::RunMessagesUntil;
using testing_support::TestWindow;
using TS = TVirtualTreeState;

bool CacheSettled(const TBaseVirtualTree& tree) { return !tree.ValidatingCache(); }

TEST(TreeCache, BuiltOnlyAboveTwoThousandVisibleNodes) {
  TreeHost host;
  for (uint32_t count : {2000u, 2001u}) {
    SCOPED_TRACE(count);
    TBaseVirtualTree tree;
    host.Place(tree, 200, 300);
    tree.BeginTreeUpdate();
    tree.SetRootNodeCount(count);
    uint32_t sum = 0, i = 0;
    for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling, ++i) {
      tree.SetNodeHeight(node, 10 + i % 7);
      if (i < 2000) sum += 10 + i % 7;
    }
    tree.EndTreeUpdate();
    ASSERT_TRUE(RunMessagesUntil([&] { return CacheSettled(tree); }));
    if (count == 2000) {
      EXPECT_TRUE(tree.PositionCache().empty());
      EXPECT_FALSE(tree.TreeStates().Contains(TS::tsUseCache));
      continue;
    }
    ASSERT_EQ(tree.PositionCache().size(), 2u);
    EXPECT_EQ(tree.PositionCache()[0].Node, tree.FirstNodeRaw());
    EXPECT_EQ(tree.PositionCache()[0].AbsoluteTop, 0u);
    EXPECT_EQ(tree.PositionCache()[1].Node, tree.LastNodeRaw());
    EXPECT_EQ(tree.PositionCache()[1].AbsoluteTop, sum);
    EXPECT_TRUE(tree.TreeStates().Contains(TS::tsUseCache));
    EXPECT_FALSE(tree.TreeStates().Contains(TS::tsValidating));
    EXPECT_FALSE(tree.TreeStates().Contains(TS::tsValidationNeeded));
    // A change makes it stale again.
    tree.AppendChildNode(nullptr);
    EXPECT_FALSE(tree.TreeStates().Contains(TS::tsUseCache));
    ASSERT_TRUE(RunMessagesUntil([&] { return CacheSettled(tree); }));
    EXPECT_TRUE(tree.TreeStates().Contains(TS::tsUseCache));
  }
}

// A tree without a window is never queued (nobody could receive the
// worker's reports); its lookups walk.
TEST(TreeCache, TreesWithoutWindowWalk) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(5000);
  EXPECT_FALSE(tree.ValidatingCache());
  EXPECT_TRUE(tree.PositionCache().empty());
  int32_t top = -1;
  EXPECT_EQ(tree.NodeAtPosition(0, 4321 * 18 + 5, false, &top), NodeAt(tree, {4321}));
  EXPECT_EQ(top, 4321 * 18);
}

// Random trees of mixed heights, some nodes hidden, filtered or collapsed:
// the cached lookups, the walk by subtree heights and the display
// rectangles all tell the same story.
TEST(TreeCache, CachedAndUncachedLookupsAgree) {
  TreeHost host;
  std::mt19937 random(7);
  auto pick = [&](uint32_t n) { return std::uniform_int_distribution<uint32_t>(0, n - 1)(random); };
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    TBaseVirtualTree tree;
    host.Place(tree, 300, 400);
    if (round == 1) tree.TreeOptions()->SetPaintOptions(tree.TreeOptions()->PaintOptions() + TVTPaintOption::toChildrenAbove);
    tree.BeginTreeUpdate();
    tree.SetRootNodeCount(2000);
    std::vector<PVirtualNode> nodes;
    for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) nodes.push_back(node);
    while (tree.TotalCount() < 50000) {
      PVirtualNode parent = nodes[pick(static_cast<uint32_t>(nodes.size()))];
      tree.SetChildCount(parent, parent->ChildCount + 1 + pick(20));
      for (PVirtualNode child = parent->FirstChild; child; child = child->NextSibling)
        if (child->SubtreeCount == 1 && pick(3) == 0) nodes.push_back(child);
    }
    for (PVirtualNode node = tree.FirstNodeRaw(false); node; node = tree.NextNodeRaw(node, false)) {
      tree.SetNodeHeight(node, 1 + pick(40));
      if (node->FirstChild && pick(5) != 0) tree.ChangeNodeExpanded(node, true);
      if (pick(50) == 0) tree.ChangeNodeVisible(node, false);
      if (pick(60) == 0) tree.ChangeNodeFiltered(node, true);
    }
    tree.EndTreeUpdate();
    ASSERT_TRUE(RunMessagesUntil([&] { return CacheSettled(tree); }, 20000));
    ASSERT_TRUE(tree.TreeStates().Contains(TS::tsUseCache));
    ASSERT_GT(tree.PositionCache().size(), 2u);
    ASSERT_TRUE(TreeIsConsistent(tree));
    const uint32_t total = tree.RootNode()->SubtreeHeight - tree.RootNode()->NodeHeight;
    for (int i = 0; i < 3000; ++i) {
      const int32_t y = static_cast<int32_t>(pick(total + 50));
      int32_t cachedTop = -1;
      uint32_t walkedTop = 0;
      PVirtualNode cached = tree.NodeAtPosition(0, y, false, &cachedTop);
      PVirtualNode walked = tree.NodeAtPosition(y, &walkedTop);
      ASSERT_EQ(cached, walked) << "y " << y;
      if (!cached) continue;
      ASSERT_EQ(static_cast<uint32_t>(cachedTop), walkedTop);
      const RECT r = tree.NodeDisplayRect(cached, NoColumn, false);
      ASSERT_EQ(static_cast<uint32_t>(r.top), walkedTop) << "y " << y;
      ASSERT_EQ(r.bottom - r.top, static_cast<LONG>(cached->NodeHeight));
    }
  }
}

// A tree whose cache build waits for a signal, so a change can meet it.
struct HeldTree : TBaseVirtualTree {
  HANDLE Started = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  HANDLE Release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  std::atomic<bool>* Ended = nullptr;
  ~HeldTree() override {
    CloseHandle(Started);
    CloseHandle(Release);
  }
  bool BuildPositionCache() override {
    SetEvent(Started);
    WaitForSingleObject(Release, INFINITE);
    const bool built = TBaseVirtualTree::BuildPositionCache();
    *Ended = true;
    return built;
  }
};

// The change waits for the build to end, serving only sent messages: a
// message posted meanwhile is dispatched after the change, not inside it.
TEST(TreeCache, AChangeWaitsForTheBuildAndDispatchesNothingPosted) {
  struct Case {
    const char* name;
    std::function<void(HeldTree*&)> change;
  };
  const Case cases[] = {
      {"appending", [](HeldTree*& tree) { tree->AppendChildNode(nullptr); }},
      {"a height change", [](HeldTree*& tree) { tree->SetNodeHeight(tree->FirstNodeRaw(), 40); }},
      {"removing", [](HeldTree*& tree) { tree->RemoveNode(tree->FirstNodeRaw()); }},
      {"freeing the tree", [](HeldTree*& tree) { FreeAndNil(tree); }},
  };
  TreeHost host;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::atomic<bool> ended{false};
    auto* tree = New<HeldTree>();
    tree->Ended = &ended;
    host.Place(*tree, 200, 300);
    tree->SetRootNodeCount(3000);
    ASSERT_TRUE(RunMessagesUntil([&] { return WaitForSingleObject(tree->Started, 0) == WAIT_OBJECT_0; }));
    bool inChange = false, releasedInChange = false, postedRan = false;
    HANDLE release = tree->Release;
    TestWindow receiver(10, 10, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
      if (msg == WM_APP) postedRan = true;
      if (msg == WM_APP + 1) {
        releasedInChange = inChange;
        SetEvent(release);
      }
      return msg == WM_APP || msg == WM_APP + 1;
    }, "receiver", WS_OVERLAPPEDWINDOW);
    PostMessageA(receiver.Handle(), WM_APP, 0, 0);
    // Only a message sent while the change waits lets the build go on.
    std::thread helper([&] { SendMessageA(receiver.Handle(), WM_APP + 1, 0, 0); });
    inChange = true;
    HeldTree* changed = tree;
    c.change(changed);
    inChange = false;
    EXPECT_TRUE(releasedInChange);
    EXPECT_TRUE(ended.load());
    EXPECT_FALSE(postedRan);
    helper.join();
    EXPECT_TRUE(RunMessagesUntil([&] { return postedRan; }));
    if (changed) {
      EXPECT_TRUE(TreeIsConsistent(*changed));
      ASSERT_TRUE(RunMessagesUntil([&] { return CacheSettled(*changed); }));
      Free(changed);
    }
  }
}

TEST(TreeCache, TheLastTreeEndsTheWorker) {
  ASSERT_EQ(ValidationWorker(), nullptr) << "a tree outlived its test";
  DWORD first = 0;
  {
    TBaseVirtualTree one;
    ASSERT_NE(ValidationWorker(), nullptr);
    first = ValidationWorker()->ThreadID();
    {
      TBaseVirtualTree two;
      EXPECT_EQ(ValidationWorker()->ThreadID(), first);
    }
    EXPECT_NE(ValidationWorker(), nullptr);
  }
  EXPECT_EQ(ValidationWorker(), nullptr);
  // A new tree starts a new worker, which builds caches again.
  TreeHost host;
  TBaseVirtualTree again;
  ASSERT_NE(ValidationWorker(), nullptr);
  EXPECT_FALSE(ValidationWorker()->Finished());
  host.Place(again, 200, 300);
  again.SetRootNodeCount(2500);
  ASSERT_TRUE(RunMessagesUntil([&] { return CacheSettled(again); }));
  EXPECT_EQ(again.PositionCache().size(), 2u);
}
}  // namespace
