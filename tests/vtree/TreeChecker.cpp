#include "tests/vtree/TreeChecker.h"

#include <algorithm>
#include <sstream>

namespace {
using NS = TVirtualNodeState;

bool Shown(const TBaseVirtualTree& tree, PVirtualNode node) { return tree.IsEffectivelyVisible(node); }
bool Has(PVirtualNode node, NS state) { return node->StateBits.Contains(state); }

struct Checker {
  explicit Checker(const TBaseVirtualTree& tree) : Tree(tree) {}
  const TBaseVirtualTree& Tree;
  std::ostringstream Problems;
  int Count = 0;

  void Fail(PVirtualNode node, const std::string& what) {
    if (++Count > 8) return;
    Problems << "[" << NodePath(node, Tree) << "] " << what << "\n";
  }

  // Appends the nodes below `node` (node itself excluded) in pre-order or
  // post-order; with `shown` only the rows on display.
  void Collect(PVirtualNode node, bool post, bool shown, std::vector<PVirtualNode>& out) {
    if (shown && !Has(node, NS::nsExpanded)) return;
    for (PVirtualNode child = node->FirstChild; child; child = child->NextSibling) {
      if (shown && !Shown(Tree, child)) continue;
      if (!post) out.push_back(child);
      Collect(child, post, shown, out);
      if (post) out.push_back(child);
    }
  }

  // The nodes a walk visits, stopping one past `limit` (a walk that cycles).
  template <class Step>
  static std::vector<PVirtualNode> Follow(PVirtualNode start, Step step, size_t limit) {
    std::vector<PVirtualNode> out;
    for (PVirtualNode run = start; run && out.size() <= limit; run = step(run)) out.push_back(run);
    return out;
  }
  static std::vector<PVirtualNode> Reversed(const std::vector<PVirtualNode>& v) { return {v.rbegin(), v.rend()}; }
  void Expect(const std::vector<PVirtualNode>& walked, const std::vector<PVirtualNode>& expected, const char* walk) {
    if (walked != expected)
      Fail(Tree.RootNode(), std::string(walk) + " visits " + std::to_string(walked.size()) + " nodes in another order than the " +
                                std::to_string(expected.size()) + " expected");
  }

  void CheckNode(PVirtualNode node, std::vector<PVirtualNode>& order) {
    PVirtualNode root = Tree.RootNode();
    if (node != root) order.push_back(node);
    uint32_t index = 0, count = 1, height = node->NodeHeight;
    bool anyShown = false;
    PVirtualNode previous = nullptr;
    for (PVirtualNode child = node->FirstChild; child; child = child->NextSibling) {
      if (child->Parent != node) Fail(child, "parent link");
      if (child->PreviousSibling != previous) Fail(child, "previous sibling link");
      if (child->IndexInParent != index) Fail(child, "index " + std::to_string(child->IndexInParent) + " expected " + std::to_string(index));
      for (NS leftover : {NS::nsDeleting, NS::nsClearingChildren})
        if (Has(child, leftover)) Fail(child, "left-over removal state");
      CheckNode(child, order);
      count += child->SubtreeCount;
      if (Shown(Tree, child)) {
        anyShown = true;
        if (Has(node, NS::nsExpanded)) height += child->SubtreeHeight;
      }
      previous = child;
      ++index;
    }
    if (node->LastChild != previous) Fail(node, "last child link");
    if (node->ChildCount != index) Fail(node, "ChildCount " + std::to_string(node->ChildCount) + " linked " + std::to_string(index));
    if (node->SubtreeCount != count) Fail(node, "SubtreeCount " + std::to_string(node->SubtreeCount) + " expected " + std::to_string(count));
    if (node->SubtreeHeight != height) Fail(node, "SubtreeHeight " + std::to_string(node->SubtreeHeight) + " expected " + std::to_string(height));
    if (index > 0 && !Has(node, NS::nsHasChildren)) Fail(node, "children without nsHasChildren");
    if (node != root && index > 0 && Has(node, NS::nsAllChildrenHidden) == anyShown) Fail(node, "nsAllChildrenHidden");
  }

  // The selection array holds exactly the selected nodes, by ascending
  // address; inside an update bracket entries marked for removal may remain.
  void CheckSelection(const std::vector<PVirtualNode>& order) {
    const TNodeArray& array = Tree.SelectionArray();
    const bool bracket = Tree.UpdateCount() > 0;
    uintptr_t previous = 0;
    uint32_t live = 0;
    for (PVirtualNode entry : array) {
      const uintptr_t address = reinterpret_cast<uintptr_t>(entry);
      if (address <= previous && previous != 0) Fail(Tree.RootNode(), "selection array not in ascending order");
      previous = address;
      if (address & 1) {
        if (!bracket) Fail(Tree.RootNode(), "marked selection entry outside a bracket");
        continue;
      }
      ++live;
      if (!Has(entry, NS::nsSelected)) Fail(entry, "in the selection array without nsSelected");
    }
    uint32_t selected = 0;
    for (PVirtualNode node : order)
      if (Has(node, NS::nsSelected)) ++selected;
    if (selected != live || selected != Tree.SelectedCount())
      Fail(Tree.RootNode(), std::to_string(selected) + " nodes selected, " + std::to_string(live) + " in the array, count " +
                                std::to_string(Tree.SelectedCount()));
    for (PVirtualNode node : {Tree.FocusedNode(), Tree.RangeAnchor()})
      if (node && std::find(order.begin(), order.end(), node) == order.end()) Fail(Tree.RootNode(), "focus or anchor on a freed node");
  }

  void Run() {
    PVirtualNode root = Tree.RootNode();
    if (root->NextSibling != root || root->PreviousSibling != root) Fail(root, "root sibling links");
    if (TreeFromNode(root) != &Tree) Fail(root, "root parent is not the tree");
    if (!Has(root, NS::nsExpanded) || !Has(root, NS::nsVisible)) Fail(root, "root states");
    std::vector<PVirtualNode> order;
    CheckNode(root, order);
    if (Count) return;

    // Tree order both ways (children after or, with toChildrenAbove and the
    // flag, before their parent), and absolute indexes.
    const bool post = Tree.TreeOptions()->PaintOptions().Contains(TVTPaintOption::toChildrenAbove);
    Expect(Follow(Tree.FirstNodeRaw(false), [&](PVirtualNode n) { return Tree.NextNodeRaw(n, false); }, order.size()), order,
           "NextNodeRaw");
    Expect(Reversed(Follow(Tree.LastNodeRaw(nullptr, false), [&](PVirtualNode n) { return Tree.PreviousNodeRaw(n, false); },
                           order.size())),
           order, "PreviousNodeRaw");
    std::vector<PVirtualNode> above;
    Collect(root, post, false, above);
    Expect(Follow(Tree.FirstNodeRaw(true), [&](PVirtualNode n) { return Tree.NextNodeRaw(n, true); }, order.size()), above,
           "NextNodeRaw considering children above");
    if (Tree.TotalCount() != order.size()) Fail(root, "TotalCount");
    CheckSelection(order);
    if (Tree.NodeBlockCount() != order.size())
      Fail(root, std::to_string(Tree.NodeBlockCount()) + " node blocks in use for " + std::to_string(order.size()) + " nodes");
    if (order.size() <= 2000)
      for (size_t i = 0; i < order.size(); ++i)
        if (Tree.AbsoluteIndex(order[i]) != i) { Fail(order[i], "AbsoluteIndex"); break; }

    // Display order both ways, in the order the tree paints.
    std::vector<PVirtualNode> rows;
    Collect(root, post, true, rows);
    if (Tree.VisibleNodeCount() != rows.size())
      Fail(root, "VisibleNodeCount " + std::to_string(Tree.VisibleNodeCount()) + " expected " + std::to_string(rows.size()));
    Expect(Follow(Tree.FirstVisibleNodeRaw(nullptr, true), [&](PVirtualNode n) { return Tree.NextVisibleNodeRaw(n, true); },
                  rows.size()),
           rows, "NextVisibleNodeRaw");
    Expect(Reversed(Follow(Tree.LastVisibleNodeRaw(nullptr, true),
                           [&](PVirtualNode n) { return Tree.PreviousVisibleNodeRaw(n, true); }, rows.size())),
           rows, "PreviousVisibleNodeRaw");

    // Geometry: rows stack without gaps, and the row at each top is the node.
    uint32_t top = 0;
    for (PVirtualNode row : rows) {
      if (Tree.NodeTopOf(row) != top) { Fail(row, "NodeTopOf"); break; }
      uint32_t found = 0;
      if (row->NodeHeight > 0 && (Tree.NodeAtPosition(static_cast<int32_t>(top), &found) != row || found != top)) {
        Fail(row, "NodeAtPosition");
        break;
      }
      top += row->NodeHeight;
    }
    if (root->SubtreeHeight - root->NodeHeight != top) Fail(root, "total height");
    if (Tree.NodeAtPosition(static_cast<int32_t>(top)) != nullptr) Fail(root, "NodeAtPosition below the last row");
  }
};
}  // namespace

::testing::AssertionResult TreeIsConsistent(const TBaseVirtualTree& tree) {
  Checker checker(tree);
  checker.Run();
  if (checker.Count == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << checker.Problems.str();
}

void ExpandAll(TBaseVirtualTree& tree) {
  for (PVirtualNode run = tree.FirstNodeRaw(false); run; run = tree.NextNodeRaw(run, false))
    if (run->FirstChild) tree.ChangeNodeExpanded(run, true);
}

std::string NodePath(PVirtualNode node, const TBaseVirtualTree& tree) {
  if (!node) return "nil";
  if (node == tree.RootNode()) return "root";
  std::string path;
  for (; node != tree.RootNode(); node = node->Parent)
    path = std::to_string(node->IndexInParent) + (path.empty() ? "" : "." + path);
  return path;
}

PVirtualNode NodeAt(const TBaseVirtualTree& tree, std::initializer_list<uint32_t> path) {
  PVirtualNode node = tree.RootNode();
  for (uint32_t index : path) {
    node = node->FirstChild;
    for (uint32_t i = 0; node && i < index; ++i) node = node->NextSibling;
    if (!node) return nullptr;
  }
  return node;
}

EventLog::EventLog(TBaseVirtualTree& tree, bool withInit) : FTree(tree) {
  static const char* reasons[] = {"crIgnore", "crAccumulated", "crChildAdded", "crChildDeleted",
                                  "crNodeAdded", "crNodeCopied", "crNodeMoved"};
  tree.OnStructureChange = TVTStructureChangeEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode node, TChangeReason r) {
    Lines.push_back("StructureChange " + Name(node) + " " + reasons[static_cast<int>(r)]);
  });
  tree.OnChange = TVTChangeEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode node) { Lines.push_back("Change " + Name(node)); });
  tree.OnFreeNode = TVTFreeNodeEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode node) { Lines.push_back("FreeNode " + Name(node)); });
  if (withInit)
    tree.OnInitNode = TVTInitNodeEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode, PVirtualNode node, TVirtualNodeInitStates&) {
      Lines.push_back("InitNode " + Name(node));
    });
}

EventLog::~EventLog() {
  FTree.OnStructureChange.Clear();
  FTree.OnChange.Clear();
  FTree.OnFreeNode.Clear();
  FTree.OnInitNode.Clear();
}

std::string EventLog::Name(PVirtualNode node) const { return NodePath(node, FTree); }

TreeHost::TreeHost(bool visible)
    : FWindow(800, 600, {}, "Mevra tree test", visible ? WS_OVERLAPPEDWINDOW | WS_VISIBLE : WS_OVERLAPPEDWINDOW) {}

void TreeHost::Place(TBaseVirtualTree& tree, int width, int height) {
  tree.SetParentWindow(Handle());
  tree.SetBounds(0, 0, width, height);
  tree.HandleNeeded();
}
