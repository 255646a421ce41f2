// Structure operations: linking and unlinking, child counts, removal, moving,
// copying, sorting and re-initialisation, each keeping indexes and counters.
#include "vtree/VirtualTree.h"

#include "vtree/NodeWalk.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using AM = TVTNodeAttachMode;

void Renumber(PVirtualNode From, uint32_t Index) {
  for (; From; From = From->NextSibling) From->IndexInParent = Index++;
}

// Raises the update count for a scope without the bracket's reports; it drops
// back also when the scope is left by an exception.
class TBareUpdate {
public:
  explicit TBareUpdate(int32_t& Count) : FCount(Count) { ++FCount; }
  ~TBareUpdate() { --FCount; }
  TBareUpdate(const TBareUpdate&) = delete;
  TBareUpdate& operator=(const TBareUpdate&) = delete;

private:
  int32_t& FCount;
};
}  // namespace

// --- linking ------------------------------------------------------------------

void TBaseVirtualTree::FinishChange(PVirtualNode From) {
  if (FUpdateCount > 0 || FDestroying) return;
  PackSelection();
  RequestCacheValidation();
  UpdateRanges();
  if (HandleAllocated()) {
    UpdateScrollBars(true);
    InvalidateToBottom(From);
  }
}

void TBaseVirtualTree::ConnectNode(PVirtualNode Node, PVirtualNode Target, TVTNodeAttachMode Mode) {
  StopCacheValidation();
  PVirtualNode parent;
  switch (Mode) {
    case AM::amNoWhere:
      return;
    case AM::amInsertBefore:
      parent = Target->Parent;
      Node->PreviousSibling = Target->PreviousSibling;
      Node->NextSibling = Target;
      Target->PreviousSibling = Node;
      if (Node->PreviousSibling) Node->PreviousSibling->NextSibling = Node;
      else parent->FirstChild = Node;
      Renumber(Node, Target->IndexInParent);
      break;
    case AM::amInsertAfter:
      parent = Target->Parent;
      Node->NextSibling = Target->NextSibling;
      Node->PreviousSibling = Target;
      Target->NextSibling = Node;
      if (Node->NextSibling) Node->NextSibling->PreviousSibling = Node;
      else parent->LastChild = Node;
      Renumber(Node, Target->IndexInParent + 1);
      break;
    case AM::amAddChildFirst:
      parent = Target;
      Node->PreviousSibling = nullptr;
      Node->NextSibling = parent->FirstChild;
      if (parent->FirstChild) parent->FirstChild->PreviousSibling = Node;
      else parent->LastChild = Node;
      parent->FirstChild = Node;
      Renumber(Node, 0);
      break;
    case AM::amAddChildLast:
    default:
      parent = Target;
      Node->NextSibling = nullptr;
      Node->PreviousSibling = parent->LastChild;
      Node->IndexInParent = parent->LastChild ? parent->LastChild->IndexInParent + 1 : 0;
      if (parent->LastChild) parent->LastChild->NextSibling = Node;
      else parent->FirstChild = Node;
      parent->LastChild = Node;
      break;
  }
  Node->Parent = parent;
  ++parent->ChildCount;
  parent->StateBits.Include(NS::nsHasChildren);
  Node->StateBits.Exclude(NS::nsCheckChanging);
  Node->StateBits.Exclude(NS::nsClipboardMarked);
  Node->StateBits.Exclude(NS::nsDeleting);
  Node->StateBits.Exclude(NS::nsClearingChildren);
  AdjustSubtreeCount(parent, static_cast<int32_t>(Node->SubtreeCount), true);
  const bool visible = IsEffectivelyVisible(Node);
  if (visible && parent->StateBits.Contains(NS::nsExpanded))
    AdjustSubtreeHeight(parent, static_cast<int32_t>(Node->SubtreeHeight), true);
  if (NodeCounts(Node)) FVisibleCount += VisibleDescendantCount(Node) + 1;
  if (parent != FRoot) {
    if (visible) parent->StateBits.Exclude(NS::nsAllChildrenHidden);
    else if (parent->ChildCount == 1) parent->StateBits.Include(NS::nsAllChildrenHidden);
  }
}

void TBaseVirtualTree::DisconnectNode(PVirtualNode Node, bool KeepFocus, bool Reindex) {
  MevraAssert(Node && Node != FRoot, "Node must neither be nil nor the root node.");
  StopCacheValidation();
  if (Node == FFocusedNode && !KeepFocus) {
    MoveFocusTo(nullptr, false);
    FFocusedNode = nullptr;
    FireFocusChanged(nullptr, FFocusedColumn);
  }
  if (Node == FRangeAnchor) ResetRangeAnchor();
  if (Node == FRangeAnchor) FRangeAnchor = nullptr;
  PVirtualNode parent = Node->Parent;
  if (Node->StateBits.Contains(NS::nsDeleting)) return;  // the parent resets all its children
  Node->StateBits.Exclude(NS::nsCheckChanging);
  const bool shown = parent->StateBits.Contains(NS::nsExpanded) && IsEffectivelyVisible(Node);
  const uint32_t visible = NodeCounts(Node) ? VisibleDescendantCount(Node) + 1 : 0;
  if (--parent->ChildCount == 0) {
    parent->StateBits.Exclude(NS::nsHasChildren);
    parent->StateBits.Exclude(NS::nsAllChildrenHidden);
    if (parent != FRoot) parent->StateBits.Exclude(NS::nsExpanded);
  }
  AdjustSubtreeCount(parent, -static_cast<int32_t>(Node->SubtreeCount), true);
  if (shown) AdjustSubtreeHeight(parent, -static_cast<int32_t>(Node->SubtreeHeight), true);
  FVisibleCount -= visible;
  if (Node->PreviousSibling) Node->PreviousSibling->NextSibling = Node->NextSibling;
  else parent->FirstChild = Node->NextSibling;
  if (Node->NextSibling) {
    Node->NextSibling->PreviousSibling = Node->PreviousSibling;
    if (Reindex) Renumber(Node->NextSibling, Node->IndexInParent);
  } else {
    parent->LastChild = Node->PreviousSibling;
  }
  Node->PreviousSibling = Node->NextSibling = nullptr;
  if (parent != FRoot && !parent->StateBits.Contains(NS::nsClearingChildren)) {
    if (FUpdateCount > 0) ChangeStates({TS::tsUpdateHiddenChildrenNeeded}, {});
    else UpdateHiddenChildrenFlag(parent);
  }
}

// --- creating nodes -----------------------------------------------------------------

void TBaseVirtualTree::SetNodeChildCount(PVirtualNode Node, uint32_t NewCount) {
  if (ReadOnly()) return;
  DoSetNodeChildCount(Node ? Node : FRoot, NewCount);
}

void TBaseVirtualTree::DoSetNodeChildCount(PVirtualNode Node, uint32_t NewCount) {
  if (NewCount == 0) return DoRemoveChildNodes(Node, false);
  if (NewCount == Node->ChildCount) return;
  InvalidatePositionCache();
  if (NewCount > Node->ChildCount) {
    const uint32_t wanted = NewCount - Node->ChildCount;
    const bool hadChildren = Node->StateBits.Contains(NS::nsHasChildren);
    if (Node->ChildCount == 0) Node->StateBits.Include(NS::nsHasChildren);
    uint32_t index = Node->LastChild ? Node->LastChild->IndexInParent + 1 : 0;
    uint32_t height = 0, added = 0;
    // When the heap gives out part-way, the nodes made so far stay, counted.
    std::exception_ptr failure;
    try {
      for (; added < wanted; ++added) {
        PVirtualNode child = AllocateNodeRecord();
        child->Parent = Node;
        child->IndexInParent = index++;
        child->PreviousSibling = Node->LastChild;
        if (Node->LastChild) Node->LastChild->NextSibling = child;
        else Node->FirstChild = child;
        Node->LastChild = child;
        height += child->NodeHeight;
      }
    } catch (...) {
      failure = std::current_exception();
    }
    if (added == 0) {
      Node->StateBits.Set(NS::nsHasChildren, hadChildren);
    } else {
      Node->StateBits.Exclude(NS::nsAllChildrenHidden);
      Node->StateBits.Exclude(NS::nsHeightMeasured);
      Node->ChildCount += added;
      AdjustSubtreeCount(Node, static_cast<int32_t>(added), true);
      if (Node->StateBits.Contains(NS::nsExpanded)) {
        AdjustSubtreeHeight(Node, static_cast<int32_t>(height), true);
        if (NodeCounts(Node)) FVisibleCount += added;
      }
    }
    if (failure) std::rethrow_exception(failure);
    if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(TVTAutoOption::toAutoSort))
      SortChildren(Node, AutoSortColumn(), AutoSortDirection(), true);
  } else {
    Removing([&] {
      while (Node->ChildCount > NewCount && Node->LastChild) DoRemoveNode(Node->LastChild, true);
      FinishChange(Node);
      NotifyStructureChange(Node == FRoot ? nullptr : Node, TChangeReason::crChildAdded);
    });
    return;
  }
  FinishChange(Node);
  NotifyStructureChange(Node == FRoot ? nullptr : Node, TChangeReason::crChildAdded);
}

PVirtualNode TBaseVirtualTree::AppendChildNode(PVirtualNode Parent, uint32_t UserData) {
  if (ReadOnly()) return nullptr;
  if (!Parent) Parent = FRoot;
  CheckUserDataSpace(UserData);
  if (Parent != FRoot) InitNode(Parent);
  {
    TBareUpdate update(FUpdateCount);  // the count change is only recorded; the report follows below
    DoSetNodeChildCount(Parent, Parent->ChildCount + 1);
    Parent->StateBits.Exclude(NS::nsAllChildrenHidden);
  }
  PVirtualNode result = Parent->LastChild;
  StoreUserData(result, UserData);
  InvalidatePositionCache();
  if (FUpdateCount == 0) {
    if (FStates.Contains(TS::tsStructureChangePending))
      NotifyStructureChange(Parent == FRoot ? nullptr : Parent, TChangeReason::crChildAdded);
    if (FOptions->AutoOptions().Contains(TVTAutoOption::toAutoSort))
      SortChildren(Parent, AutoSortColumn(), AutoSortDirection(), true);
    FinishChange(Parent);
  }
  return result;
}

PVirtualNode TBaseVirtualTree::InsertNode(PVirtualNode Node, TVTNodeAttachMode Mode, uint32_t UserData) {
  if (ReadOnly() || Mode == AM::amNoWhere) return nullptr;
  PVirtualNode target = Node ? Node : FRoot;
  if (target == FRoot) {
    if (Mode == AM::amInsertBefore) Mode = AM::amAddChildFirst;
    if (Mode == AM::amInsertAfter) Mode = AM::amAddChildLast;
  }
  CheckUserDataSpace(UserData);
  if (Mode == AM::amAddChildFirst || Mode == AM::amAddChildLast) {
    if (target != FRoot) InitNode(target);
    InitChildrenIfNeeded(target);
  }
  PVirtualNode result = AllocateNodeRecord();
  ConnectNode(result, target, Mode);
  StoreUserData(result, UserData);
  InvalidatePositionCache();
  PVirtualNode parent = result->Parent;
  if (FUpdateCount == 0 && FOptions->AutoOptions().Contains(TVTAutoOption::toAutoSort))
    SortChildren(parent, AutoSortColumn(), AutoSortDirection(), true);
  FinishChange(parent);
  NotifyStructureChange(result, TChangeReason::crNodeAdded);
  return result;
}

// Checked before anything is created, so a refused append leaves no node behind.
void TBaseVirtualTree::CheckUserDataSpace(uint32_t UserData) {
  if (UserData == 0) return;
  EnsureNodeDataSize();
  if (FNodeDataSize < 4)
    throw EVirtualTreeError(ErrorUserDataSpace,
                            "Cannot set initial user data because there is not enough user data space allocated.");
}

void TBaseVirtualTree::StoreUserData(PVirtualNode Node, uint32_t UserData) {
  if (UserData == 0) return;
  std::memcpy(reinterpret_cast<unsigned char*>(Node) + NodeHeaderSize + FInternalDataSize, &UserData, 4);
  Node->StateBits.Include(NS::nsFreeNotifyRequired);
}

// --- removing nodes -------------------------------------------------------------

void TBaseVirtualTree::RemoveNode(PVirtualNode Node, bool Reindex) {
  if (!Node || Node == FRoot || ReadOnly()) return;
  DoRemoveNode(Node, Reindex);
}

void TBaseVirtualTree::DoRemoveNode(PVirtualNode Node, bool Reindex) {
  MevraAssert(!FStates.Contains(TS::tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
  PVirtualNode parent = Node->Parent;
  const bool parentClearing = parent->StateBits.Contains(NS::nsClearingChildren);
  if (!parentClearing) NotifyStructureChange(parent == FRoot ? nullptr : parent, TChangeReason::crChildDeleted);
  if (Node->StateBits.Contains(NS::nsSelected)) {
    if (FUpdateCount > 0 || FSelectionLocked) {
      // A locked selection still lets go of a node that goes.
      UnmarkSelected(Node);
      if (FUpdateCount == 0) NotifyChange(Node);
    } else {
      const bool synch = !FStates.Contains(TS::tsSynchMode);
      if (synch) ChangeStates({TS::tsSynchMode}, {});
      try {
        RemoveNodeFromSelection(Node);
      } catch (...) {
        if (synch) ChangeStates({}, {TS::tsSynchMode});
        throw;
      }
      if (synch) ChangeStates({}, {TS::tsSynchMode});
    }
  }
  Removing([&] {
    DoRemoveChildNodes(Node, true);
    DisconnectNode(Node, false, Reindex);
    ReleaseUnlinked(Node);
    if (!parentClearing) {
      InvalidatePositionCache();
      FinishChange(parent);
    }
  });
}

void TBaseVirtualTree::RemoveChildNodes(PVirtualNode Node, bool ResetHasChildren) {
  if (ReadOnly()) return;
  DoRemoveChildNodes(Node ? Node : FRoot, ResetHasChildren);
}

// Frees Node's subtree, Node last, children from the last to the first and
// each after its own descendants.
bool TBaseVirtualTree::ReleaseSubtree(PVirtualNode Node) {
  bool selected = false;
  PostOrder(Node, true, [this, &selected](PVirtualNode run) {
    run->StateBits.Include(NS::nsDeleting);
    if (run->FirstChild) NotifyStructureChange(run, TChangeReason::crChildDeleted);  // only recorded
    if (run->StateBits.Contains(NS::nsSelected)) selected = true;
    ReleaseUnlinked(run);  // leaves the selection too
  });
  return selected;
}

void TBaseVirtualTree::DoRemoveChildNodes(PVirtualNode Node, bool ResetHasChildren) {
  if (!Node->FirstChild) {
    // Nothing to remove: a node that gets its children on demand keeps saying
    // so. A count stored while loading has no nodes behind it.
    Node->ChildCount = 0;
    return;
  }
  MevraAssert(!FStates.Contains(TS::tsIterating), "Deleting nodes during tree iteration leads to invalid pointers.");
  Removing([&] {
    const bool selected = ReleaseChildren(Node, ResetHasChildren);
    FinishChange(Node);
    // Selected nodes went with the children. The change is signalled once they
    // are all gone, naming no node (they are freed), so that it is reported
    // outside a bracket instead of staying pending.
    if (selected) NotifyChange(nullptr);
    NotifyStructureChange(Node == FRoot ? nullptr : Node, TChangeReason::crChildDeleted);
  });
}

// Unlinks and frees every child of Node, answering whether a selected node
// went; the counters are in step again when it returns.
bool TBaseVirtualTree::ReleaseChildren(PVirtualNode Node, bool ResetHasChildren) {
  TBareUpdate update(FUpdateCount);
  InvalidatePositionCache();
  Node->StateBits.Include(NS::nsClearingChildren);
  if (Node == FRoot || (NodeCounts(Node) && Node->StateBits.Contains(NS::nsExpanded)))
    FVisibleCount -= VisibleDescendantCount(Node);
  bool selected = false;
  for (PVirtualNode child = Node->LastChild; child;) {
    PVirtualNode previous = child->PreviousSibling;
    if (previous) previous->NextSibling = nullptr;
    if (ReleaseSubtree(child)) selected = true;
    child = previous;
  }
  Node->StateBits.Exclude(NS::nsClearingChildren);
  if (ResetHasChildren) Node->StateBits.Exclude(NS::nsHasChildren);
  Node->StateBits.Exclude(NS::nsAllChildrenHidden);
  if (Node != FRoot) Node->StateBits.Exclude(NS::nsExpanded);
  Node->ChildCount = 0;
  Node->FirstChild = Node->LastChild = nullptr;
  // The subtree height is the node's own row and nothing more, the root's
  // included: no further default row is added for an emptied node.
  if (Node == FRoot || Node->StateBits.Contains(NS::nsDeleting)) {
    Node->SubtreeCount = 1;
    Node->SubtreeHeight = Node->NodeHeight;
  } else {
    AdjustSubtreeCount(Node, 1, false);
    AdjustSubtreeHeight(Node, Node->NodeHeight, false);
  }
  return selected;
}

void TBaseVirtualTree::ClearAllNodes() {
  if (ReadOnly() && !FDestroying) return;
  Removing([this] {
    InBracket([this] {
      InvalidatePositionCache();
      CancelNodeEdit();
      // The clipboard's data object of this tree goes, and its marks with it.
      if (FStates.Contains(TS::tsCopyPending) || FStates.Contains(TS::tsCutPending)) {
        OleSetClipboard(nullptr);
        ChangeStates({}, {TS::tsCopyPending, TS::tsCutPending});
      }
      DropSelection();
      FFocusedNode = nullptr;
      FLastChangedNode = nullptr;
      FRangeAnchor = nullptr;
      FPendingCheckNode = nullptr;
      ChangeStates({}, {TS::tsMouseCheckPending, TS::tsKeyCheckPending});
      DoRemoveChildNodes(FRoot, true);
      FOffsetX = FOffsetY = FEffectiveOffsetX = 0;
    });
  });
}

// --- moving and copying -------------------------------------------------------------

// Nil means the root (as first child); a root target takes children only.
// The target is initialised, and so are its children when nodes go below it.
PVirtualNode TBaseVirtualTree::NormalizeTarget(PVirtualNode& Target, TVTNodeAttachMode& Mode) {
  if (!Target) {
    Target = FRoot;
    Mode = AM::amAddChildFirst;
  }
  TBaseVirtualTree* tree = TreeFromNode(Target);
  if (Target == tree->FRoot) {
    if (Mode == AM::amInsertBefore) Mode = AM::amAddChildFirst;
    if (Mode == AM::amInsertAfter) Mode = AM::amAddChildLast;
  } else {
    tree->InitNode(Target);
  }
  if (Mode == AM::amAddChildFirst || Mode == AM::amAddChildLast) tree->InitChildrenIfNeeded(Target);
  return Target == tree->FRoot ? nullptr : Target;
}

// The nodes a transfer takes, in the order that keeps their order at the target.
static std::vector<PVirtualNode> TransferOrder(PVirtualNode Source, bool ChildrenOnly, TVTNodeAttachMode Mode) {
  std::vector<PVirtualNode> nodes;
  if (!ChildrenOnly) {
    nodes.push_back(Source);
  } else if (Mode == AM::amAddChildFirst) {
    for (PVirtualNode run = Source->LastChild; run; run = run->PreviousSibling) nodes.push_back(run);
  } else {
    for (PVirtualNode run = Source->FirstChild; run; run = run->NextSibling) nodes.push_back(run);
  }
  return nodes;
}

void TBaseVirtualTree::MoveNodeTo(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode, bool ChildrenOnly) {
  MevraAssert(!Source || TreeFromNode(Source) == this, "The source tree must contain the source node.");
  if (Mode == AM::amNoWhere || !Source || Source == FRoot || ReadOnly()) return;
  if (Target == Source && !(ChildrenOnly && (Mode == AM::amInsertBefore || Mode == AM::amInsertAfter))) return;
  PVirtualNode announced = NormalizeTarget(Target, Mode);
  TBaseVirtualTree* into = TreeFromNode(Target);
  PVirtualNode reported = Source;
  if (FireNodeMoving(Source, announced)) {
    if (into == this) {
      if (IsAncestorOf(Target, Source))
        throw EVirtualTreeError(ErrorMoveIntoOwnSubtree, "Target node cannot be a child node of the node to be moved.");
      for (PVirtualNode node : TransferOrder(Source, ChildrenOnly, Mode)) {
        DisconnectNode(node, true, !ChildrenOnly);
        ConnectNode(node, Target, Mode);
        // Each further node follows the one placed before it.
        if (Mode == AM::amInsertAfter) Target = node;
        FireNodeMoved(node);
      }
      FinishChange(nullptr);
    } else {
      // The source leaves this tree: the report names where it was.
      if (!ChildrenOnly) reported = Source->Parent == FRoot ? nullptr : Source->Parent;
      TransferNodes(Source, Target, Mode, ChildrenOnly, into, true);
    }
    InvalidatePositionCache();
  }
  NotifyStructureChange(reported, TChangeReason::crNodeMoved);
}

PVirtualNode TBaseVirtualTree::CopyNodeTo(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode,
                                          bool ChildrenOnly) {
  MevraAssert(!Source || TreeFromNode(Source) == this, "The source tree must contain the source node.");
  if (Mode == AM::amNoWhere || !Source || Source == FRoot) return nullptr;
  if (ChildrenOnly && !Source->FirstChild) return nullptr;
  PVirtualNode announced = NormalizeTarget(Target, Mode);
  TBaseVirtualTree* into = TreeFromNode(Target);
  if (into->ReadOnly() || !FireNodeCopying(Source, announced)) return nullptr;
  PVirtualNode first = TransferNodes(Source, Target, Mode, ChildrenOnly, into, false);
  into->InvalidatePositionCache();
  into->FinishChange(nullptr);
  into->NotifyStructureChange(first, TChangeReason::crNodeCopied);
  return first;
}

// Builds a detached copy of Source's subtree in Into's storage: states that
// describe the node itself, heights, check state and the data bytes (as far
// as Into's data area reaches).
PVirtualNode TBaseVirtualTree::CopySubtree(PVirtualNode Source, TBaseVirtualTree* Into) const {
  constexpr uint16_t kept = TVirtualNodeStates::Mask(NS::nsInitialized) | TVirtualNodeStates::Mask(NS::nsDisabled) |
                            TVirtualNodeStates::Mask(NS::nsExpanded) | TVirtualNodeStates::Mask(NS::nsHasChildren) |
                            TVirtualNodeStates::Mask(NS::nsVisible) | TVirtualNodeStates::Mask(NS::nsFreeNotifyRequired) |
                            TVirtualNodeStates::Mask(NS::nsAllChildrenHidden) | TVirtualNodeStates::Mask(NS::nsMultiline) |
                            TVirtualNodeStates::Mask(NS::nsHeightMeasured) | TVirtualNodeStates::Mask(NS::nsFiltered);
  const int32_t fromSize = FNodeDataSize > 0 ? FNodeDataSize : 0;
  auto copyNode = [&](PVirtualNode from) {
    PVirtualNode to = Into->AllocateNodeRecord();
    to->NodeHeight = from->NodeHeight;
    to->StateBits.Bits = from->StateBits.Bits & kept;
    to->VerticalAlign = from->VerticalAlign;
    to->CheckState = from->CheckState;
    to->CheckType = from->CheckType;
    const int32_t size = std::min(fromSize, Into->FNodeDataSize);
    if (size > 0)
      std::memcpy(reinterpret_cast<unsigned char*>(to) + NodeHeaderSize + Into->FInternalDataSize,
                  reinterpret_cast<unsigned char*>(from) + NodeHeaderSize + FInternalDataSize, size);
    return to;
  };
  auto appendChild = [](PVirtualNode parent, PVirtualNode child) {
    child->Parent = parent;
    child->PreviousSibling = parent->LastChild;
    child->IndexInParent = parent->ChildCount++;
    if (parent->LastChild) parent->LastChild->NextSibling = child;
    else parent->FirstChild = child;
    parent->LastChild = child;
  };
  // Pre-order walk of the source with the copy's cursor moving in step.
  PVirtualNode top = copyNode(Source);
  PVirtualNode from = Source, to = top;
  try {
    for (;;) {
      if (from->FirstChild) {
        from = from->FirstChild;
        PVirtualNode child = copyNode(from);
        appendChild(to, child);
        to = child;
        continue;
      }
      while (from != Source && !from->NextSibling) {
        from = from->Parent;
        to = to->Parent;
      }
      if (from == Source) break;
      from = from->NextSibling;
      PVirtualNode sibling = copyNode(from);
      appendChild(to->Parent, sibling);
      to = sibling;
    }
  } catch (...) {
    // Out of memory part-way: the detached part copied so far goes back.
    Into->FreeDetached(top);
    throw;
  }
  Into->RecomputeSubtreeCounts(top);
  Into->RecomputeSubtreeHeights(top);
  // Whether children count as hidden depends on the receiving tree's options.
  for (PVirtualNode run = top; run; run = Into->NextNodeInSubtree(run, top))
    if (run->FirstChild) Into->UpdateHiddenChildrenFlag(run);
  return top;
}

// Carries nodes into another tree (moving) or anywhere (copying): each is
// copied whole into the target's storage and linked there. A moved source's
// data now belongs to its copy, so the source is released without OnFreeNode.
PVirtualNode TBaseVirtualTree::TransferNodes(PVirtualNode Source, PVirtualNode Target, TVTNodeAttachMode Mode,
                                             bool ChildrenOnly, TBaseVirtualTree* Into, bool Move) {
  PVirtualNode first = nullptr;
  std::vector<PVirtualNode> nodes = TransferOrder(Source, ChildrenOnly, Mode);
  if (nodes.empty()) return nullptr;
  // Every copy is made before any is linked, so running out of memory leaves
  // both trees as they were.
  std::vector<PVirtualNode> copies;
  copies.reserve(nodes.size());
  try {
    for (PVirtualNode node : nodes) copies.push_back(CopySubtree(node, Into));
  } catch (...) {
    for (PVirtualNode copy : copies) Into->FreeDetached(copy);
    throw;
  }
  Into->InBracket([&] {
    for (PVirtualNode copy : copies) {
      Into->ConnectNode(copy, Target, Mode);
      if (Mode == AM::amInsertAfter) Target = copy;
      if (!first || Mode == AM::amAddChildFirst) first = copy;  // the first in the target's order
      if (Move) {
        FireNodeMoved(copy);
      } else {
        // Every copied node is announced, so data that owns resources can be
        // duplicated before either node's OnFreeNode releases it.
        for (PVirtualNode run = copy; run; run = Into->NextNodeInSubtree(run, copy)) Into->FireNodeCopied(run);
      }
    }
  });
  if (Move) {
    for (PVirtualNode node : nodes)
      for (PVirtualNode run = node; run; run = NextNodeInSubtree(run, node)) {
        run->StateBits.Exclude(NS::nsInitialized);
        run->StateBits.Exclude(NS::nsFreeNotifyRequired);
      }
    Removing([&] {
      InBracket([&] {
        if (ChildrenOnly) DoRemoveChildNodes(Source, true);
        else DoRemoveNode(Source, true);
      });
    });
  }
  return first;
}

// Gives back the blocks of a copy that was never linked, without OnFreeNode:
// nobody has seen it.
void TBaseVirtualTree::FreeDetached(PVirtualNode Top) {
  PostOrder(Top, false, [this](PVirtualNode run) { FAllocator.Free(run); });
}

// --- sorting ------------------------------------------------------------------------

namespace {
// Top-down merge sort of sibling pointers: a run of n is split into n / 2 and
// the rest, each sorted, then merged; the second run's node is taken only on a
// strict answer, so equal nodes keep their order. The siblings themselves are
// relinked only once the whole sort has succeeded, so a comparison handler
// that raises leaves them as they were.
struct TSiblingSorter {
  TBaseVirtualTree* Tree;
  int32_t (*Compare)(TBaseVirtualTree*, PVirtualNode, PVirtualNode, TColumnIndex);
  TColumnIndex Column;
  bool Descending;
  std::vector<PVirtualNode> Scratch;

  void Sort(PVirtualNode* nodes, size_t count) {
    if (count < 2) return;
    const size_t half = count / 2;
    Sort(nodes, half);
    Sort(nodes + half, count - half);
    PVirtualNode* out = Scratch.data();
    PVirtualNode *a = nodes, *aEnd = nodes + half, *b = aEnd, *bEnd = nodes + count;
    while (a != aEnd && b != bEnd) {
      const int32_t result = Compare(Tree, *a, *b, Column);
      const bool takeSecond = Descending ? result < 0 : result > 0;
      *out++ = takeSecond ? *b++ : *a++;
    }
    out = std::copy(a, aEnd, out);
    out = std::copy(b, bEnd, out);
    std::copy(Scratch.data(), out, nodes);
  }
};
}  // namespace

int32_t TBaseVirtualTree::CompareForSort(TBaseVirtualTree* Tree, PVirtualNode Node1, PVirtualNode Node2,
                                         TColumnIndex Column) {
  return Tree->FireCompareNodes(Node1, Node2, Column);
}

void TBaseVirtualTree::SortChildren(PVirtualNode Node, TColumnIndex Column, TSortDirection Direction, bool DoInit) {
  InvalidatePositionCache();
  // FIXME: a pending or running edit is ended here once editing exists.
  if (!Node) Node = FRoot;
  if (!Node->StateBits.Contains(NS::nsHasChildren)) return;
  if (DoInit) {
    InitChildrenIfNeeded(Node);
    for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) InitNode(child);
  }
  // The linked children, not ChildCount: while loading, a count read from the
  // form stands there with no nodes behind it yet.
  std::vector<PVirtualNode> children;
  for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) children.push_back(child);
  if (children.size() < 2) return;
  TSiblingSorter sorter{this, &CompareForSort, Column, Direction == TSortDirection::sdDescending, {}};
  sorter.Scratch.resize(children.size());
  sorter.Sort(children.data(), children.size());
  PVirtualNode previous = nullptr;
  uint32_t index = 0;
  for (PVirtualNode run : children) {
    run->PreviousSibling = previous;
    run->IndexInParent = index++;
    if (previous) previous->NextSibling = run;
    previous = run;
  }
  previous->NextSibling = nullptr;
  Node->FirstChild = children.front();
  Node->LastChild = previous;
  FinishChange(Node);
}

void TBaseVirtualTree::SortWholeTree(TColumnIndex Column, TSortDirection Direction, bool DoInit) {
  if (Column < NoColumn) return;
  InBracket([&] {
    SortChildren(FRoot, Column, Direction, DoInit);
    for (PVirtualNode run = FRoot->FirstChild; run; run = NextNodeRaw(run)) {
      if (DoInit) InitNode(run);
      if (run->StateBits.Contains(NS::nsInitialized)) SortChildren(run, Column, Direction, DoInit);
    }
    InvalidatePositionCache();
  });
}

// --- initialisation -------------------------------------------------------------------

PVirtualNode TBaseVirtualTree::NextNodeInSubtree(PVirtualNode Node, PVirtualNode Top) const {
  if (Node->FirstChild) return Node->FirstChild;
  while (Node != Top && !Node->NextSibling) Node = Node->Parent;
  return Node == Top ? nullptr : Node->NextSibling;
}

void TBaseVirtualTree::ReinitializeNode(PVirtualNode Node, bool Recursive) {
  if (!Node || Node == FRoot) {
    // The root itself is never initialised; its children are, each whole.
    if (Recursive)
      for (PVirtualNode child = FRoot->FirstChild; child; child = child->NextSibling) ReinitializeNode(child, true);
    return;
  }
  for (PVirtualNode run = Node; run; run = Recursive ? NextNodeInSubtree(run, Node) : nullptr) ReinitNode(run);
}

void TBaseVirtualTree::ReinitNode(PVirtualNode Node) {
  Node->StateBits.Exclude(NS::nsCheckChanging);
  Node->StateBits.Exclude(NS::nsClipboardMarked);
  Node->StateBits.Exclude(NS::nsDeleting);
  Node->StateBits.Exclude(NS::nsHeightMeasured);
  InitNodeState(Node);
}

void TBaseVirtualTree::ReinitializeChildren(PVirtualNode Node, bool Recursive) {
  if (!Node) Node = FRoot;
  if (Node != FRoot || Node->StateBits.Contains(NS::nsHasChildren)) InitNodeChildren(Node);
  for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling) ReinitializeNode(child, Recursive);
}

void TBaseVirtualTree::ResetNodeState(PVirtualNode Node) {
  if (!Node || Node == FRoot) return ClearAllNodes();
  FireResetNode(Node);
  DoRemoveChildNodes(Node, false);
  for (NS state : {NS::nsInitialized, NS::nsCheckChanging, NS::nsClipboardMarked, NS::nsDeleting, NS::nsExpanded,
                   NS::nsHasChildren, NS::nsHeightMeasured})
    Node->StateBits.Exclude(state);
}

void TBaseVirtualTree::InitializeSubtree(PVirtualNode Node, bool Recursive) {
  PVirtualNode top = Node ? Node : FRoot;
  for (PVirtualNode run = top; run; run = Recursive ? NextNodeInSubtree(run, top) : nullptr) {
    if (run != FRoot) InitNode(run);
    if (Recursive) InitChildrenIfNeeded(run);
  }
}

bool TBaseVirtualTree::HasChildren(PVirtualNode Node) {
  if (!Node) Node = FRoot;
  if (Node != FRoot) InitNode(Node);
  return Node->StateBits.Contains(NS::nsHasChildren);
}
