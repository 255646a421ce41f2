// Walks and lookups over the linked nodes: tree order, display order, levels,
// positions and the pixel geometry that does not depend on scrolling.
#include "vtree/VirtualTree.h"

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;

constexpr const char* RootNodeMessage = "Node must not be the hidden root node.";
}  // namespace

// Raw walks share the initialising code with initialisation switched off;
// they change nothing.
TBaseVirtualTree* TBaseVirtualTree::Mutable() const { return const_cast<TBaseVirtualTree*>(this); }

bool TBaseVirtualTree::Shown(PVirtualNode Node, bool IncludeFiltered) const {
  return IncludeFiltered ? Node->StateBits.Contains(NS::nsVisible) : IsEffectivelyVisible(Node);
}

void TBaseVirtualTree::Prepare(PVirtualNode Node, bool Init) {
  if (Init && Node != FRoot) InitNode(Node);
}

void TBaseVirtualTree::PrepareChildren(PVirtualNode Node, bool Init) {
  if (Init) InitChildrenIfNeeded(Node);
}

// --- tree order ---------------------------------------------------------------------
// Every walk has a mirror image: Back walks toward the first node, taking last
// children and previous siblings where the forward walk takes first children
// and next siblings.

namespace {
PVirtualNode EndChild(PVirtualNode Node, bool Back) { return Back ? Node->LastChild : Node->FirstChild; }
PVirtualNode Beside(PVirtualNode Node, bool Back) { return Back ? Node->PreviousSibling : Node->NextSibling; }
}  // namespace

PVirtualNode TBaseVirtualTree::WalkFirst(bool Post, bool Init) {
  PVirtualNode result = FRoot->FirstChild;
  if (!result) return nullptr;
  Prepare(result, Init);
  if (Post) result = Descend(result, false, Init, true);
  return result;
}

// Down through the first (Back: last) children as far as they go: through
// every node with All, else only through expanded nodes and shown children.
PVirtualNode TBaseVirtualTree::Descend(PVirtualNode Node, bool Back, bool Init, bool All) {
  for (;;) {
    if (!All && !Expanded(Node)) return Node;
    PrepareChildren(Node, Init);
    PVirtualNode child = All ? EndChild(Node, Back) : ShownChild(Node, Back, Init, false);
    if (!child) return Node;
    if (All) Prepare(child, Init);
    Node = child;
  }
}

// One step in tree order. ChildrenFirst: into the node's children, else to the
// nearest sibling of the node or an ancestor (pre-order forward, post-order
// backward). Otherwise: to the sibling's far descendant, else the parent.
PVirtualNode TBaseVirtualTree::WalkStep(PVirtualNode Node, bool Back, bool ChildrenFirst, bool Init) {
  if (!Node) return nullptr;
  MevraAssert(Node != FRoot, RootNodeMessage);
  if (!ChildrenFirst) {
    if (PVirtualNode sibling = Beside(Node, Back)) {
      Prepare(sibling, Init);
      return Descend(sibling, Back, Init, true);
    }
    return Node->Parent == FRoot ? nullptr : Node->Parent;
  }
  PrepareChildren(Node, Init);
  if (PVirtualNode child = EndChild(Node, Back)) {
    Prepare(child, Init);
    return child;
  }
  for (; Node != FRoot; Node = Node->Parent) {
    if (PVirtualNode sibling = Beside(Node, Back)) {
      Prepare(sibling, Init);
      return sibling;
    }
  }
  return nullptr;
}

PVirtualNode TBaseVirtualTree::WalkLast(PVirtualNode Node, bool Post, bool Init) {
  if (!Node) Node = FRoot;
  PrepareChildren(Node, Init);
  PVirtualNode result = Node->LastChild;
  if (!result) return nullptr;
  Prepare(result, Init);
  return Post ? result : Descend(result, true, Init, true);
}

PVirtualNode TBaseVirtualTree::FirstNode(bool ConsiderChildrenAbove) {
  return WalkFirst(ConsiderChildrenAbove && ChildrenAbove(), true);
}
PVirtualNode TBaseVirtualTree::FirstNodeRaw(bool ConsiderChildrenAbove) const {
  return Mutable()->WalkFirst(ConsiderChildrenAbove && ChildrenAbove(), false);
}
PVirtualNode TBaseVirtualTree::NextNode(PVirtualNode Node, bool ConsiderChildrenAbove) {
  return WalkStep(Node, false, !(ConsiderChildrenAbove && ChildrenAbove()), true);
}
PVirtualNode TBaseVirtualTree::NextNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove) const {
  return Mutable()->WalkStep(Node, false, !(ConsiderChildrenAbove && ChildrenAbove()), false);
}
PVirtualNode TBaseVirtualTree::PreviousNode(PVirtualNode Node, bool ConsiderChildrenAbove) {
  return WalkStep(Node, true, ConsiderChildrenAbove && ChildrenAbove(), true);
}
PVirtualNode TBaseVirtualTree::PreviousNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove) const {
  return Mutable()->WalkStep(Node, true, ConsiderChildrenAbove && ChildrenAbove(), false);
}
PVirtualNode TBaseVirtualTree::LastNode(PVirtualNode Node, bool ConsiderChildrenAbove) {
  return WalkLast(Node, ConsiderChildrenAbove && ChildrenAbove(), true);
}
PVirtualNode TBaseVirtualTree::LastNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove) const {
  return Mutable()->WalkLast(Node, ConsiderChildrenAbove && ChildrenAbove(), false);
}

PVirtualNode TBaseVirtualTree::ChildNode(PVirtualNode Node, bool Back) {
  if (!Node) Node = FRoot;
  Prepare(Node, true);
  PrepareChildren(Node, true);
  PVirtualNode result = EndChild(Node, Back);
  if (result) Prepare(result, true);
  return result;
}
PVirtualNode TBaseVirtualTree::FirstChildNode(PVirtualNode Node) { return ChildNode(Node, false); }
PVirtualNode TBaseVirtualTree::LastChildNode(PVirtualNode Node) { return ChildNode(Node, true); }
PVirtualNode TBaseVirtualTree::FirstChildNodeRaw(PVirtualNode Node) const { return (Node ? Node : FRoot)->FirstChild; }
PVirtualNode TBaseVirtualTree::LastChildNodeRaw(PVirtualNode Node) const { return (Node ? Node : FRoot)->LastChild; }

PVirtualNode TBaseVirtualTree::NextSiblingNode(PVirtualNode Node) {
  if (!Node) return nullptr;
  MevraAssert(Node != FRoot, RootNodeMessage);
  PVirtualNode result = Node->NextSibling;
  if (result) Prepare(result, true);
  return result;
}

PVirtualNode TBaseVirtualTree::PreviousSiblingNode(PVirtualNode Node) {
  if (!Node) return nullptr;
  MevraAssert(Node != FRoot, RootNodeMessage);
  PVirtualNode result = Node->PreviousSibling;
  if (result) Prepare(result, true);
  return result;
}

// Raw walk from Start (inclusive) to the first node carrying State.
PVirtualNode TBaseVirtualTree::FindRaw(PVirtualNode Start, TVirtualNodeState State, bool ConsiderChildrenAbove) const {
  while (Start && !Start->StateBits.Contains(State)) Start = NextNodeRaw(Start, ConsiderChildrenAbove);
  return Start;
}

// FIXME: once the selection exists these answer nil at once when it is empty.
PVirtualNode TBaseVirtualTree::FirstSelectedNode(bool ConsiderChildrenAbove) {
  PVirtualNode result = FindRaw(FirstNodeRaw(ConsiderChildrenAbove), NS::nsSelected, ConsiderChildrenAbove);
  if (result) InitNode(result);
  return result;
}
PVirtualNode TBaseVirtualTree::NextSelectedNode(PVirtualNode Node, bool ConsiderChildrenAbove) {
  PVirtualNode result = FindRaw(NextNodeRaw(Node, ConsiderChildrenAbove), NS::nsSelected, ConsiderChildrenAbove);
  if (result) InitNode(result);
  return result;
}
PVirtualNode TBaseVirtualTree::FirstInitializedNode() const {
  return FindRaw(FirstNodeRaw(false), NS::nsInitialized, false);
}
PVirtualNode TBaseVirtualTree::NextInitializedNode(PVirtualNode Node) const {
  return FindRaw(NextNodeRaw(Node, false), NS::nsInitialized, false);
}
PVirtualNode TBaseVirtualTree::FirstMarkedNode() {
  if (!FStates.Contains(TS::tsCopyPending) && !FStates.Contains(TS::tsCutPending)) return nullptr;
  PVirtualNode result = FindRaw(FirstNodeRaw(false), NS::nsClipboardMarked, false);
  if (result) InitNode(result);
  return result;
}
PVirtualNode TBaseVirtualTree::NextMarkedNode(PVirtualNode Node) {
  if (!FStates.Contains(TS::tsCopyPending) && !FStates.Contains(TS::tsCutPending)) return nullptr;
  PVirtualNode result = FindRaw(NextNodeRaw(Node, false), NS::nsClipboardMarked, false);
  if (result) InitNode(result);
  return result;
}

// --- display order --------------------------------------------------------------------

PVirtualNode TBaseVirtualTree::ShownChild(PVirtualNode Node, bool Back, bool Init, bool IncludeFiltered) {
  for (PVirtualNode run = EndChild(Node, Back); run; run = Beside(run, Back)) {
    Prepare(run, Init);
    if (Shown(run, IncludeFiltered)) return run;
  }
  return nullptr;
}

PVirtualNode TBaseVirtualTree::ShownSibling(PVirtualNode Node, bool Back, bool Init, bool IncludeFiltered) {
  for (PVirtualNode run = Beside(Node, Back); run; run = Beside(run, Back)) {
    Prepare(run, Init);
    if (Shown(run, IncludeFiltered)) return run;
  }
  return nullptr;
}

// Why a node is not on display: the topmost node on its path that is hidden
// (its whole subtree is off display), or the topmost collapsed ancestor (the
// node sits inside that ancestor's row). Nil when the node is on display.
PVirtualNode TBaseVirtualTree::Blocker(PVirtualNode Node, bool IncludeFiltered, bool& Collapsed) const {
  PVirtualNode blocker = nullptr;
  Collapsed = false;
  for (PVirtualNode run = Node; run != FRoot; run = run->Parent) {
    if (!Shown(run, IncludeFiltered)) {
      blocker = run;
      Collapsed = false;
    } else if (run != Node && !Expanded(run)) {
      blocker = run;
      Collapsed = true;
    }
  }
  return blocker;
}

// The node on display beside Node's whole subtree, Node itself excluded.
// Climb: the nearest shown sibling of Node or of an ancestor (pre-order
// forward, post-order backward). Otherwise: the nearest shown sibling's far
// descendant on display, else the parent.
PVirtualNode TBaseVirtualTree::ShownStep(PVirtualNode Node, bool Back, bool Climb, bool Init) {
  if (Climb) {
    for (; Node != FRoot; Node = Node->Parent)
      if (PVirtualNode sibling = ShownSibling(Node, Back, Init, false)) return sibling;
    return nullptr;
  }
  if (PVirtualNode sibling = ShownSibling(Node, Back, Init, false)) return Descend(sibling, Back, Init, false);
  return Node->Parent == FRoot ? nullptr : Node->Parent;
}

// A start node that is not on display continues from where its hidden or
// collapsed ancestor stands, so walks from any node go on and end. Children
// come first going forward in pre-order and going backward in post-order.
PVirtualNode TBaseVirtualTree::WalkVisible(PVirtualNode Node, bool Back, bool Post, bool Init) {
  if (!Node) return nullptr;
  MevraAssert(Node != FRoot, RootNodeMessage);
  const bool childrenFirst = Back == Post;
  bool collapsed;
  PVirtualNode blocker = Blocker(Node, false, collapsed);
  if (!blocker) {
    if (childrenFirst && Expanded(Node)) {
      PrepareChildren(Node, Init);
      if (PVirtualNode child = ShownChild(Node, Back, Init, false)) return child;
    }
    return ShownStep(Node, Back, childrenFirst, Init);
  }
  // A collapsed ancestor is the row the node sits in; it comes next where
  // children come before their parent in the walk's direction.
  if (collapsed && !childrenFirst) return blocker;
  return ShownStep(blocker, Back, childrenFirst, Init);
}

PVirtualNode TBaseVirtualTree::WalkFirstVisible(PVirtualNode Node, bool Post, bool Init, bool IncludeFiltered) {
  if (!Node) Node = FRoot;
  if (Node != FRoot && !FullyShown(Node, IncludeFiltered)) Node = VisibleAncestorNode(Node, IncludeFiltered);
  if (!Expanded(Node)) return nullptr;
  PrepareChildren(Node, Init);
  PVirtualNode result = ShownChild(Node, false, Init, IncludeFiltered);
  if (result && Post) result = Descend(result, false, Init, false);
  return result;
}

PVirtualNode TBaseVirtualTree::WalkLastVisible(PVirtualNode Node, bool Post, bool Init, bool IncludeFiltered) {
  if (!Node) Node = FRoot;
  if (Node != FRoot && !FullyShown(Node, IncludeFiltered)) return nullptr;
  if (!Expanded(Node)) return nullptr;
  PrepareChildren(Node, Init);
  PVirtualNode result = ShownChild(Node, true, Init, IncludeFiltered);
  if (result && !Post) result = Descend(result, true, Init, false);
  return result;
}

bool TBaseVirtualTree::FullyShown(PVirtualNode Node, bool IncludeFiltered) const {
  bool collapsed;
  return Node == FRoot || !Blocker(Node, IncludeFiltered, collapsed);
}

PVirtualNode TBaseVirtualTree::FirstVisibleNode(PVirtualNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
  return WalkFirstVisible(Node, ConsiderChildrenAbove && ChildrenAbove(), true, IncludeFiltered);
}
PVirtualNode TBaseVirtualTree::FirstVisibleNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove,
                                                   bool IncludeFiltered) const {
  return Mutable()->WalkFirstVisible(Node, ConsiderChildrenAbove && ChildrenAbove(), false, IncludeFiltered);
}
PVirtualNode TBaseVirtualTree::NextVisibleNode(PVirtualNode Node, bool ConsiderChildrenAbove) {
  return WalkVisible(Node, false, ConsiderChildrenAbove && ChildrenAbove(), true);
}
PVirtualNode TBaseVirtualTree::NextVisibleNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove) const {
  return Mutable()->WalkVisible(Node, false, ConsiderChildrenAbove && ChildrenAbove(), false);
}
PVirtualNode TBaseVirtualTree::PreviousVisibleNode(PVirtualNode Node, bool ConsiderChildrenAbove) {
  return WalkVisible(Node, true, ConsiderChildrenAbove && ChildrenAbove(), true);
}
PVirtualNode TBaseVirtualTree::PreviousVisibleNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove) const {
  return Mutable()->WalkVisible(Node, true, ConsiderChildrenAbove && ChildrenAbove(), false);
}
PVirtualNode TBaseVirtualTree::LastVisibleNode(PVirtualNode Node, bool ConsiderChildrenAbove, bool IncludeFiltered) {
  return WalkLastVisible(Node, ConsiderChildrenAbove && ChildrenAbove(), true, IncludeFiltered);
}
PVirtualNode TBaseVirtualTree::LastVisibleNodeRaw(PVirtualNode Node, bool ConsiderChildrenAbove,
                                                  bool IncludeFiltered) const {
  return Mutable()->WalkLastVisible(Node, ConsiderChildrenAbove && ChildrenAbove(), false, IncludeFiltered);
}

PVirtualNode TBaseVirtualTree::FirstVisibleChildNode(PVirtualNode Node, bool IncludeFiltered) {
  if (!Node) Node = FRoot;
  Prepare(Node, true);
  PrepareChildren(Node, true);
  return ShownChild(Node, false, true, IncludeFiltered);
}

PVirtualNode TBaseVirtualTree::LastVisibleChildNode(PVirtualNode Node, bool IncludeFiltered) {
  if (!Node) Node = FRoot;
  if (Node != FRoot && (!FullyShown(Node, IncludeFiltered) || !Expanded(Node))) return nullptr;
  PrepareChildren(Node, true);
  return ShownChild(Node, true, true, IncludeFiltered);
}

PVirtualNode TBaseVirtualTree::LastVisibleChildNodeRaw(PVirtualNode Node, bool IncludeFiltered) const {
  if (!Node) Node = FRoot;
  if (Node != FRoot && (!FullyShown(Node, IncludeFiltered) || !Expanded(Node))) return nullptr;
  return Mutable()->ShownChild(Node, true, false, IncludeFiltered);
}

PVirtualNode TBaseVirtualTree::NextVisibleSiblingNode(PVirtualNode Node, bool IncludeFiltered) {
  MevraAssert(Node && Node != FRoot, "Invalid parameter.");
  return ShownSibling(Node, false, true, IncludeFiltered);
}
PVirtualNode TBaseVirtualTree::PreviousVisibleSiblingNode(PVirtualNode Node, bool IncludeFiltered) {
  MevraAssert(Node && Node != FRoot, "Invalid parameter.");
  return ShownSibling(Node, true, true, IncludeFiltered);
}
PVirtualNode TBaseVirtualTree::PreviousVisibleSiblingNodeRaw(PVirtualNode Node, bool IncludeFiltered) const {
  MevraAssert(Node && Node != FRoot, "Invalid parameter.");
  return Mutable()->ShownSibling(Node, true, false, IncludeFiltered);
}

PVirtualNode TBaseVirtualTree::VisibleAncestorNode(PVirtualNode Node, bool IncludeFiltered) const {
  if (!Node || Node == FRoot) return FRoot;
  PVirtualNode run = Node->Parent;
  while (run != FRoot && !FullyShown(run, IncludeFiltered)) run = run->Parent;
  return run;
}

// --- positions and levels ---------------------------------------------------------------

uint32_t TBaseVirtualTree::NodeLevel(PVirtualNode Node) const {
  uint32_t level = 0;
  if (!Node || Node == FRoot) return 0;
  for (Node = Node->Parent; Node != FRoot; Node = Node->Parent) ++level;
  return level;
}

uint32_t TBaseVirtualTree::AbsoluteIndex(PVirtualNode Node) const {
  if (!Node || Node == FRoot) return 0;
  uint32_t index = 0;
  for (; Node != FRoot; Node = Node->Parent) {
    for (PVirtualNode sibling = Node->PreviousSibling; sibling; sibling = sibling->PreviousSibling)
      index += sibling->SubtreeCount;
    if (Node->Parent != FRoot) ++index;  // the parent comes before its children
  }
  return index;
}

bool TBaseVirtualTree::IsAncestorOf(PVirtualNode Node, PVirtualNode PotentialParent) const {
  if (!Node || !PotentialParent || Node == PotentialParent || Node == FRoot) return false;
  for (PVirtualNode run = Node->Parent;; run = run->Parent) {
    if (run == PotentialParent) return true;
    if (run == FRoot) return false;
  }
}

int32_t TBaseVirtualTree::CompareNodePositions(PVirtualNode Node1, PVirtualNode Node2, bool ConsiderChildrenAbove) const {
  MevraAssert(Node1 && Node2, "Nodes must never be nil.");
  if (Node1 == Node2) return 0;
  const int32_t above = ConsiderChildrenAbove && ChildrenAbove() ? -1 : 1;
  if (IsAncestorOf(Node2, Node1)) return -above;
  if (IsAncestorOf(Node1, Node2)) return above;
  uint32_t level1 = NodeLevel(Node1), level2 = NodeLevel(Node2);
  for (; level1 > level2; --level1) Node1 = Node1->Parent;
  for (; level2 > level1; --level2) Node2 = Node2->Parent;
  while (Node1->Parent != Node2->Parent) {
    Node1 = Node1->Parent;
    Node2 = Node2->Parent;
  }
  return static_cast<int32_t>(Node1->IndexInParent) - static_cast<int32_t>(Node2->IndexInParent);
}

bool TBaseVirtualTree::IsFullyVisible(PVirtualNode Node) const {
  MevraAssert(Node != nullptr, "Invalid parameter.");
  if (!Node->StateBits.Contains(NS::nsVisible)) return false;
  for (PVirtualNode run = Node; run != FRoot;) {
    run = run->Parent;
    if (!Expanded(run) || !run->StateBits.Contains(NS::nsVisible)) return false;
  }
  return true;
}

bool TBaseVirtualTree::HasVisibleNextSibling(PVirtualNode Node) const {
  for (PVirtualNode run = Node->NextSibling; run; run = run->NextSibling)
    if (IsEffectivelyVisible(run)) return true;
  return false;
}

bool TBaseVirtualTree::HasVisiblePreviousSibling(PVirtualNode Node) const {
  for (PVirtualNode run = Node->PreviousSibling; run; run = run->PreviousSibling)
    if (IsEffectivelyVisible(run)) return true;
  return false;
}

bool TBaseVirtualTree::IsFirstVisibleChild(PVirtualNode Parent, PVirtualNode Node) const {
  PVirtualNode first = Mutable()->ShownChild(Parent ? Parent : FRoot, false, false, false);
  return first && first == Node;
}

bool TBaseVirtualTree::IsLastVisibleChild(PVirtualNode Parent, PVirtualNode Node) const {
  PVirtualNode last = Mutable()->ShownChild(Parent ? Parent : FRoot, true, false, false);
  return last && last == Node;
}

// Subtree heights let the search skip whole sibling subtrees: the cost is the
// depth times the siblings passed, not the rows above.
PVirtualNode TBaseVirtualTree::NodeAtPosition(int32_t Y, uint32_t* NodeTop) const {
  const uint32_t y = Y < 0 ? 0 : static_cast<uint32_t>(Y);
  const bool post = ChildrenAbove();
  PVirtualNode parent = FRoot;
  uint32_t top = 0;
  for (PVirtualNode run = parent->FirstChild; run;) {
    if (!IsEffectivelyVisible(run)) {
      run = run->NextSibling;
      continue;
    }
    if (y >= top + run->SubtreeHeight) {
      top += run->SubtreeHeight;
      run = run->NextSibling;
      continue;
    }
    const uint32_t children = run->SubtreeHeight - run->NodeHeight;
    if (post ? y >= top + children : y < top + run->NodeHeight) {
      if (NodeTop) *NodeTop = post ? top + children : top;
      return run;
    }
    if (!post) top += run->NodeHeight;
    run = run->FirstChild;
  }
  return nullptr;
}

uint32_t TBaseVirtualTree::NodeTopOf(PVirtualNode Node) const {
  if (!Node || Node == FRoot) return 0;
  const bool post = ChildrenAbove();
  uint32_t top = post ? Node->SubtreeHeight - Node->NodeHeight : 0;
  for (PVirtualNode run = Node; run != FRoot; run = run->Parent) {
    for (PVirtualNode sibling = run->PreviousSibling; sibling; sibling = sibling->PreviousSibling)
      if (IsEffectivelyVisible(sibling)) top += sibling->SubtreeHeight;
    if (!post && run->Parent != FRoot) top += run->Parent->NodeHeight;
  }
  return top;
}
