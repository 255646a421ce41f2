// Expanding and collapsing: events, vetoes, children made on demand, the
// counters, the scroll rules that keep the toggled node in view, whole-tree
// expansion, scrolling nodes into view and the offsets' limits.
#include "tests/vtree/TreeChecker.h"

#include <algorithm>

namespace {
using NS = TVirtualNodeState;
using AO = TVTAutoOption;
using PO = TVTPaintOption;

// A tree of `roots` top-level nodes with `children` collapsed children each,
// 20 rows of 18 pixels high.
void Rows(TBaseVirtualTree& tree, uint32_t roots, uint32_t children) {
  tree.SetBounds(0, 0, 300, 360);
  tree.BeginTreeUpdate();
  tree.SetRootNodeCount(roots);
  for (PVirtualNode node = tree.FirstNodeRaw(); node; node = node->NextSibling) tree.SetChildCount(node, children);
  tree.EndTreeUpdate();
}

void SetOption(TBaseVirtualTree& tree, AO option, bool on) {
  TVTAutoOptions options = tree.TreeOptions()->AutoOptions();
  tree.TreeOptions()->SetAutoOptions(on ? options + option : options - option);
}

TEST(TreeExpansion, EventsAndVetoes) {
  TBaseVirtualTree tree;
  Rows(tree, 3, 2);
  std::vector<std::string> log;
  bool allow = true;
  tree.OnExpanding = TVTChangingEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n, bool& allowed) {
    log.push_back("Expanding " + NodePath(n, *t));
    allowed = allow;
  });
  tree.OnExpanded = TVTChangeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n) { log.push_back("Expanded " + NodePath(n, *t)); });
  tree.OnCollapsing = TVTChangingEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n, bool& allowed) {
    log.push_back("Collapsing " + NodePath(n, *t));
    allowed = allow;
  });
  tree.OnCollapsed = TVTChangeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n) { log.push_back("Collapsed " + NodePath(n, *t)); });
  PVirtualNode node = NodeAt(tree, {1});
  allow = false;
  tree.ToggleNodeExpansion(node);
  EXPECT_FALSE(tree.Expanded(node));
  allow = true;
  tree.SetExpanded(node, true);
  EXPECT_TRUE(tree.Expanded(node));
  EXPECT_EQ(tree.VisibleNodeCount(), 5u);
  allow = false;
  tree.SetExpanded(node, false);
  EXPECT_TRUE(tree.Expanded(node));
  allow = true;
  tree.SetExpanded(node, false);
  EXPECT_EQ(log, (std::vector<std::string>{"Expanding 1", "Expanding 1", "Expanded 1", "Collapsing 1", "Collapsing 1",
                                           "Collapsed 1"}));
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsToggling));
  EXPECT_FALSE(node->StateBits.Contains(NS::nsToggling));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// A node that may have children but gets none stays collapsed, unannounced.
TEST(TreeExpansion, NoChildrenMadeLeavesTheNodeCollapsed) {
  TBaseVirtualTree tree;
  tree.OnInitNode = TVTInitNodeEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& s) {
    s.Include(TVirtualNodeInitState::ivsHasChildren);
  });
  int asked = 0, expanded = 0;
  tree.OnInitChildren = TVTInitChildrenEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, uint32_t& count) {
    ++asked;
    count = 0;
  });
  tree.OnExpanded = TVTChangeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode) { ++expanded; });
  tree.SetRootNodeCount(2);
  PVirtualNode node = tree.FirstNode();
  tree.ToggleNodeExpansion(node);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(expanded, 0);
  EXPECT_FALSE(tree.Expanded(node));
  EXPECT_FALSE(node->StateBits.Contains(NS::nsHasChildren));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeExpansion, AutoFreeOnCollapseMakesChildrenAnew) {
  TBaseVirtualTree tree;
  SetOption(tree, AO::toAutoFreeOnCollapse, true);
  tree.OnInitNode = TVTInitNodeEvent::Lambda([](TBaseVirtualTree*, PVirtualNode parent, PVirtualNode, TVirtualNodeInitStates& s) {
    if (!parent) s.Include(TVirtualNodeInitState::ivsHasChildren);
  });
  int asked = 0, freed = 0;
  tree.OnInitChildren = TVTInitChildrenEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode, uint32_t& count) {
    ++asked;
    count = 4;
  });
  tree.OnFreeNode = TVTFreeNodeEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode) { ++freed; });
  tree.SetRootNodeCount(1);
  PVirtualNode node = tree.FirstNode();
  tree.ToggleNodeExpansion(node);
  for (PVirtualNode child = tree.FirstChildNode(node); child; child = tree.NextSiblingNode(child)) {}
  tree.ToggleNodeExpansion(node);
  EXPECT_EQ(freed, 4);
  EXPECT_EQ(tree.ChildCount(node), 0u);
  EXPECT_TRUE(node->StateBits.Contains(NS::nsHasChildren));
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.ToggleNodeExpansion(node);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(tree.ChildCount(node), 4u);
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.OnFreeNode.Clear();
}

// Collapsing a node with 50 visible descendants takes 50 rows and their
// heights away.
TEST(TreeExpansion, CollapsingTakesTheVisibleDescendants) {
  TBaseVirtualTree tree;
  Rows(tree, 2, 5);
  PVirtualNode node = NodeAt(tree, {0});
  uint32_t heights = 0;
  for (PVirtualNode child = node->FirstChild; child; child = child->NextSibling) {
    tree.SetChildCount(child, 9);
    for (PVirtualNode grandchild = child->FirstChild; grandchild; grandchild = grandchild->NextSibling) {
      tree.SetNodeHeight(grandchild, 10 + grandchild->IndexInParent);
      heights += 10 + grandchild->IndexInParent;
    }
    tree.SetExpanded(child, true);
    heights += child->NodeHeight;
  }
  tree.SetExpanded(node, true);
  const uint32_t visible = tree.VisibleNodeCount(), height = tree.RootNode()->SubtreeHeight;
  tree.SetExpanded(node, false);
  EXPECT_EQ(visible - tree.VisibleNodeCount(), 50u);
  EXPECT_EQ(height - tree.RootNode()->SubtreeHeight, heights);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// Where the view goes when a node opens or closes, in a 20-row client.
TEST(TreeExpansion, ScrollRulesKeepTheToggledNodeInView) {
  struct Case {
    const char* name;
    bool childrenAbove, autoScroll;
    uint32_t node;         // top-level node toggled
    uint32_t children;     // children of every top-level node
    int32_t startOffset;
    int toggles;           // 1: expand; 2: expand, then collapse
    int32_t offset;        // OffsetY afterwards
  };
  const Case cases[] = {
      // (c) The subtree fits: its last row comes into view.
      {"last child into view", false, true, 17, 5, 0, 1, -54},
      {"children already in view", false, true, 0, 5, 0, 1, 0},
      // (c) The subtree does not fit: the node goes to the top.
      {"node to the top", false, true, 5, 30, 0, 1, -90},
      // (a) Without automatic scrolling nothing moves.
      {"no automatic scrolling", false, false, 17, 5, 0, 1, 0},
      // (b) Children above: the node keeps its place when they fit above it,
      {"children fit above", true, true, 15, 5, 0, 1, -90},
      // else the subtree's first row goes to the top,
      {"first child to the top", true, true, 2, 5, 0, 1, -36},
      // else the node goes to the bottom.
      {"node to the bottom", true, true, 25, 5, 0, 1, -198},
      // (a) Collapsing with children above keeps the node in its place.
      {"collapse keeps the place", true, true, 15, 5, 0, 2, 0},
      {"collapse keeps the place when scrolled", true, false, 20, 5, -54, 2, -54},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    Rows(tree, 30, c.children);
    TVTPaintOptions paint = tree.TreeOptions()->PaintOptions();
    tree.TreeOptions()->SetPaintOptions(c.childrenAbove ? paint + PO::toChildrenAbove : paint - PO::toChildrenAbove);
    SetOption(tree, AO::toAutoScrollOnExpand, c.autoScroll);
    tree.SetOffsetY(c.startOffset);
    ASSERT_EQ(tree.OffsetY(), c.startOffset);
    PVirtualNode node = NodeAt(tree, {c.node});
    const RECT before = tree.NodeDisplayRect(node, NoColumn, false);
    for (int i = 0; i < c.toggles; ++i) tree.ToggleNodeExpansion(node);
    EXPECT_EQ(tree.OffsetY(), c.offset);
    if (c.toggles == 2) {
      EXPECT_EQ(tree.NodeDisplayRect(node, NoColumn, false).top, before.top);
    }
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}

TEST(TreeExpansion, WholeSubtreesOpenAndClose) {
  TBaseVirtualTree tree;
  tree.OnInitNode = TVTInitNodeEvent::Lambda([](TBaseVirtualTree* t, PVirtualNode, PVirtualNode node, TVirtualNodeInitStates& s) {
    if (t->NodeLevel(node) < 2) s.Include(TVirtualNodeInitState::ivsHasChildren);
  });
  tree.OnInitChildren = TVTInitChildrenEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, uint32_t& count) { count = 3; });
  tree.SetRootNodeCount(3);
  tree.ExpandAllNodes(NodeAt(tree, {1}));
  EXPECT_EQ(tree.VisibleNodeCount(), 3u + 3 + 9);
  EXPECT_FALSE(tree.Expanded(NodeAt(tree, {0})));
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.ExpandAllNodes();
  EXPECT_EQ(tree.TotalCount(), 39u);
  EXPECT_EQ(tree.VisibleNodeCount(), 39u);
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsExpanding));
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.CollapseAllNodes(NodeAt(tree, {2}));
  EXPECT_EQ(tree.VisibleNodeCount(), 39u - 12);
  EXPECT_TRUE(TreeIsConsistent(tree));
  tree.CollapseAllNodes();
  EXPECT_EQ(tree.VisibleNodeCount(), 3u);
  for (PVirtualNode run = tree.FirstNodeRaw(false); run; run = tree.NextNodeRaw(run, false)) EXPECT_FALSE(tree.Expanded(run));
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsCollapsing));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeExpansion, ScrollingNodesIntoView) {
  TBaseVirtualTree tree;
  Rows(tree, 100, 2);
  struct Case {
    uint32_t node;
    bool center;
    int32_t offset;
    bool scrolled;
  };
  const Case cases[] = {
      {50, false, 360 - 51 * 18, true},  // below: its bottom at the client's bottom
      {50, false, 360 - 51 * 18, false}, // already there
      {10, false, -180, true},           // above: its top at the client's top
      {50, true, 180 - 51 * 18, true},   // centred: its bottom at the middle
      {0, true, 0, true},                // centring cannot scroll above the first row
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.node);
    EXPECT_EQ(tree.ScrollNodeIntoView(NodeAt(tree, {c.node}), c.center), c.scrolled);
    EXPECT_EQ(tree.OffsetY(), c.offset);
  }
  // Collapsed ancestors open on the way.
  PVirtualNode hidden = NodeAt(tree, {70, 1});
  tree.ScrollNodeIntoView(hidden, false);
  EXPECT_TRUE(tree.Expanded(NodeAt(tree, {70})));
  const RECT r = tree.NodeDisplayRect(hidden, NoColumn, false);
  EXPECT_EQ(r.bottom, 360);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeExpansion, OffsetsStayWithinTheContent) {
  TBaseVirtualTree tree;
  Rows(tree, 30, 0);
  std::vector<std::pair<int, int>> scrolls;
  tree.OnScroll = TVTScrollEvent::Lambda([&](TBaseVirtualTree*, int dx, int dy) { scrolls.emplace_back(dx, dy); });
  EXPECT_EQ(tree.RangeY(), 30 * 18);
  tree.SetOffsetY(-10000);
  EXPECT_EQ(tree.OffsetY(), 360 - 30 * 18);
  tree.SetOffsetY(-10000);  // no change: no report
  tree.SetOffsetY(50);
  EXPECT_EQ(tree.OffsetY(), 0);
  tree.SetOffsetX(-40);  // nothing wider than the client
  EXPECT_EQ(tree.OffsetX(), 0);
  EXPECT_EQ(scrolls, (std::vector<std::pair<int, int>>{{0, 360 - 30 * 18}, {0, 30 * 18 - 360}}));
}
}  // namespace

namespace {
// Time moves only when the animation waits: each wait takes exactly the
// interval asked for, so the frames follow from the arithmetic alone.
class SteppingPacer : public TVTAnimationPacer {
public:
  uint32_t Time = 1000;
  std::vector<uint32_t> Waits;
  uint32_t Now() override { return Time; }
  void WaitFrom(uint32_t Start, uint32_t Interval) override {
    Waits.push_back(Interval);
    Time = Start + Interval;
  }
};

struct Frame {
  uint32_t Step, Size;
  bool operator==(const Frame& o) const { return Step == o.Step && Size == o.Size; }
};
void PrintTo(const Frame& f, std::ostream* os) { *os << "(" << f.Step << ", " << f.Size << ")"; }
}  // namespace

TEST(TreeAnimation, FramesCoverTheDistanceThenCloseWithZero) {
  struct Case {
    const char* name;
    uint32_t distance, duration;
    std::vector<Frame> frames;
  };
  const std::vector<Case> cases{
      {"one pixel a step", 4, 8, {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {0, 0}}},
      {"two pixels a step", 8, 4, {{0, 2}, {2, 2}, {4, 2}, {6, 2}, {0, 0}}},
      {"no duration: nothing at all", 8, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TBaseVirtualTree tree;
    SteppingPacer pacer;
    tree.SetAnimationPacer(&pacer);
    std::vector<Frame> frames;
    tree.RunAnimation(
        c.distance, c.duration,
        [&](uint32_t step, uint32_t size, void* data) {
          EXPECT_EQ(data, &pacer);
          EXPECT_TRUE(tree.TreeStates().Contains(TVirtualTreeState::tsInAnimation));
          frames.push_back({step, size});
          return true;
        },
        &pacer);
    EXPECT_EQ(frames, c.frames);
    EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsInAnimation));
  }
}

TEST(TreeAnimation, AFalseAnswerOrARunningAnimationStopsIt) {
  TBaseVirtualTree tree;
  SteppingPacer pacer;
  tree.SetAnimationPacer(&pacer);
  std::vector<Frame> frames, inner;
  tree.RunAnimation(
      10, 10,
      [&](uint32_t step, uint32_t size, void*) {
        frames.push_back({step, size});
        // A second animation while this one runs does nothing.
        tree.RunAnimation(5, 5, [&](uint32_t s, uint32_t z, void*) { inner.push_back({s, z}); return true; }, nullptr);
        tree.ChangeStates({TVirtualTreeState::tsCancelHintAnimation}, {});
        return step < 2;
      },
      nullptr);
  EXPECT_EQ(frames, (std::vector<Frame>{{0, 1}, {1, 1}, {2, 1}, {0, 0}}));
  EXPECT_TRUE(inner.empty());
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsInAnimation));
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsCancelHintAnimation));
}

TEST(TreeAnimation, AnAnimatedToggleEndsAsAPlainOne) {
  struct Case {
    const char* name;
    bool childrenAbove;
    uint32_t node;
    int toggles;
    bool advanced = false;
  };
  const std::vector<Case> cases{
      {"expand", false, 3, 1},
      {"expand and collapse", false, 3, 2},
      {"expand, children above", true, 10, 1},
      {"expand and collapse, children above", true, 10, 2},
      {"advanced: expand", false, 3, 1, true},
      {"advanced: expand and collapse", false, 3, 2, true},
      {"advanced: expand, children above", true, 10, 1, true},
      {"advanced: expand and collapse, children above", true, 10, 2, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TreeHost host;
    TBaseVirtualTree plain, animated;
    SteppingPacer pacer;
    animated.SetAnimationPacer(&pacer);
    for (TBaseVirtualTree* tree : {&plain, &animated}) {
      host.Place(*tree, 300, 360);
      Rows(*tree, 30, 5);
      TVTPaintOptions paint = tree->TreeOptions()->PaintOptions();
      tree->TreeOptions()->SetPaintOptions(c.childrenAbove ? paint + PO::toChildrenAbove : paint - PO::toChildrenAbove);
      SetOption(*tree, AO::toAutoScrollOnExpand, true);
    }
    animated.SetAnimationDuration(50);
    ASSERT_TRUE(animated.TreeOptions()->AnimationOptions().Contains(TVTAnimationOption::toAnimatedToggle));
    if (c.advanced)
      animated.TreeOptions()->SetAnimationOptions(animated.TreeOptions()->AnimationOptions() +
                                                  TVTAnimationOption::toAdvancedAnimatedToggle);
    for (int i = 0; i < c.toggles; ++i) {
      plain.ToggleNodeExpansion(NodeAt(plain, {c.node}));
      animated.ToggleNodeExpansion(NodeAt(animated, {c.node}));
    }
    EXPECT_FALSE(pacer.Waits.empty()) << "the toggle was not animated";
    EXPECT_EQ(animated.Expanded(NodeAt(animated, {c.node})), plain.Expanded(NodeAt(plain, {c.node})));
    EXPECT_EQ(animated.VisibleNodeCount(), plain.VisibleNodeCount());
    EXPECT_EQ(animated.OffsetY(), plain.OffsetY());
    EXPECT_EQ(animated.RootNode()->SubtreeHeight, plain.RootNode()->SubtreeHeight);
    // The cache worker's states come and go on its own thread: not compared.
    auto settled = [](TVirtualTreeStates states) {
      for (TVirtualTreeState worker : {TVirtualTreeState::tsUseCache, TVirtualTreeState::tsValidating,
                                       TVirtualTreeState::tsValidationNeeded, TVirtualTreeState::tsStopValidation})
        states.Exclude(worker);
      return states;
    };
    EXPECT_EQ(settled(animated.TreeStates()), settled(plain.TreeStates()));
    EXPECT_FALSE(NodeAt(animated, {c.node})->StateBits.Contains(NS::nsToggling));
    EXPECT_TRUE(TreeIsConsistent(animated));
  }
}

namespace {
// The rows of a client area picture from top to bottom (exclusive).
std::vector<uint32_t> RowsOf(const testing_support::Image& image, int top, int bottom) {
  return std::vector<uint32_t>(image.Pixels.begin() + static_cast<ptrdiff_t>(top) * image.Width,
                               image.Pixels.begin() + static_cast<ptrdiff_t>(bottom) * image.Width);
}
}  // namespace

TEST(TreeAnimation, TheAdvancedToggleSlidesTheNewRowsIn) {
  struct Case {
    const char* name;
    bool advanced, collapse;
  };
  const std::vector<Case> cases{
      {"advanced expansion: the children are in place when it ends", true, false},
      {"advanced collapse: the rows from below are in place when it ends", true, true},
      {"plain expansion: the opened strip is blank until the repaint", false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TreeHost host(true);
    TBaseVirtualTree tree;
    SteppingPacer pacer;
    tree.SetAnimationPacer(&pacer);
    host.Place(tree, 300, 360);
    Rows(tree, 30, 5);
    SetOption(tree, AO::toAutoScrollOnExpand, false);
    tree.SetAnimationDuration(50);
    if (c.advanced)
      tree.TreeOptions()->SetAnimationOptions(tree.TreeOptions()->AnimationOptions() +
                                              TVTAnimationOption::toAdvancedAnimatedToggle);
    PVirtualNode node = NodeAt(tree, {3});
    if (c.collapse) {
      tree.ToggleNodeExpansion(node);
      testing_support::RunMessagesUntilIdle();
    }
    UpdateWindow(tree.Handle());
    const RECT row = tree.NodeDisplayRect(node, NoColumn, false);
    const int distance = 5 * static_cast<int>(tree.DefaultNodeHeight());
    tree.ToggleNodeExpansion(node);
    ASSERT_FALSE(pacer.Waits.empty()) << "the toggle was not animated";
    // What the animation left on screen, before the tree repaints.
    const testing_support::Image animated = testing_support::ReadClientPixels(tree.Handle());
    UpdateWindow(tree.Handle());
    const testing_support::Image painted = testing_support::ReadClientPixels(tree.Handle());
    const int clientHeight = static_cast<int>(tree.ClientHeight());
    const int top = c.collapse ? clientHeight - distance : row.bottom;
    const std::vector<uint32_t> strip = RowsOf(animated, top, top + distance);
    const std::vector<uint32_t> final = RowsOf(painted, top, top + distance);
    ASSERT_NE(std::count(final.begin(), final.end(), final.front()), static_cast<ptrdiff_t>(final.size()))
        << "the rows drawn there are blank: nothing to compare";
    if (c.advanced) EXPECT_TRUE(strip == final);
    else EXPECT_FALSE(strip == final);
    EXPECT_TRUE(TreeIsConsistent(tree));
  }
}
