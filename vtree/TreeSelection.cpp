// Selection and focus: the selected nodes are kept in one array sorted by
// address, so membership is a binary search and adding many is one sort and
// one merge. Inside update brackets removals only mark their entries (bit 0
// of the address, which node blocks never have set) and the array is packed
// once when the bracket closes.
#include "vtree/VirtualTree.h"

#include "platform/ImageList.h"

#include <algorithm>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using SO = TVTSelectionOption;

uintptr_t Address(PVirtualNode Node) { return reinterpret_cast<uintptr_t>(Node); }
bool Marked(PVirtualNode Entry) { return (Address(Entry) & 1) != 0; }
PVirtualNode Mark(PVirtualNode Node) { return reinterpret_cast<PVirtualNode>(Address(Node) | 1); }

bool MouseButtonDown() {
  return (GetKeyState(VK_LBUTTON) | GetKeyState(VK_RBUTTON) | GetKeyState(VK_MBUTTON)) < 0;
}
}  // namespace

// --- the array ---------------------------------------------------------------------------

bool TBaseVirtualTree::FindSelectionIndex(PVirtualNode Node, int32_t& Index, int32_t Low, int32_t High) const {
  int32_t low = Low < 0 ? 0 : Low;
  int32_t high = High < 0 ? static_cast<int32_t>(FSelection.size()) - 1 : High;
  while (low <= high) {
    const int32_t middle = low + (high - low) / 2;
    const uintptr_t entry = Address(FSelection[static_cast<size_t>(middle)]);
    if (entry == Address(Node)) {
      Index = middle;
      return true;
    }
    if (entry < Address(Node)) low = middle + 1;
    else high = middle - 1;
  }
  Index = low;
  return false;
}

void TBaseVirtualTree::PackSelection() {
  FSelection.erase(std::remove_if(FSelection.begin(), FSelection.end(), Marked), FSelection.end());
}

bool TBaseVirtualTree::InternalAddToSelection(PVirtualNode* Nodes, size_t Count, bool ForceInsert) {
  const bool levels = FOptions->SelectionOptions().Contains(SO::toLevelSelectConstraint);
  const bool siblings = FOptions->SelectionOptions().Contains(SO::toSiblingSelectConstraint);
  std::vector<PVirtualNode> added;
  added.reserve(Count);
  for (size_t i = 0; i < Count; ++i) {
    PVirtualNode node = Nodes[i];
    if (!node || node == FRoot || node->StateBits.Contains(NS::nsSelected)) continue;
    if (!ForceInsert) {
      if (levels && FLastSelectionLevel < 0) FLastSelectionLevel = static_cast<int32_t>(NodeLevel(node));
      if (siblings && !FRangeAnchor) FRangeAnchor = node;
      if (node->StateBits.Contains(NS::nsDisabled)) continue;
      if (levels && static_cast<int32_t>(NodeLevel(node)) != FLastSelectionLevel) continue;
      if (siblings && FRangeAnchor && node->Parent != FRangeAnchor->Parent) continue;
    }
    node->StateBits.Include(NS::nsSelected);
    added.push_back(node);
  }
  if (added.empty()) return false;
  std::sort(added.begin(), added.end(), [](PVirtualNode a, PVirtualNode b) { return Address(a) < Address(b); });
  added.erase(std::unique(added.begin(), added.end()), added.end());
  // Merge from the back, so no entry moves more than once.
  const size_t old = FSelection.size();
  FSelection.resize(old + added.size());
  size_t i = old, j = added.size(), out = FSelection.size();
  while (j > 0) {
    if (i > 0 && Address(FSelection[i - 1]) > Address(added[j - 1])) FSelection[--out] = FSelection[--i];
    else FSelection[--out] = added[--j];
  }
  FSelectionCount += static_cast<uint32_t>(added.size());
  return true;
}

// --- adding and removing ---------------------------------------------------------------------

void TBaseVirtualTree::AddNodeToSelection(PVirtualNode Node) {
  if (FSelectionLocked) return;
  MevraAssert(Node != nullptr, "Node must not be nil!");
  PVirtualNode nodes[1] = {Node};
  if (!InternalAddToSelection(nodes, 1, false)) return;
  InvalidateNode(Node);
  NotifyChange(Node);
}

void TBaseVirtualTree::AddNodesToSelection(PVirtualNode* Nodes, size_t Count, bool ForceInsert) {
  if (FSelectionLocked || Count == 0) return;
  if (!InternalAddToSelection(Nodes, Count, ForceInsert)) return;
  if (Count == 1) InvalidateNode(Nodes[0]);
  else Invalidate();
  NotifyChange(Count == 1 ? Nodes[0] : nullptr);
}

void TBaseVirtualTree::RemoveNodeFromSelection(PVirtualNode Node) {
  if (FSelectionLocked) return;
  MevraAssert(Node != nullptr, "Node must not be nil!");
  if (!Node->StateBits.Contains(NS::nsSelected)) return;
  Node->StateBits.Exclude(NS::nsSelected);
  int32_t index;
  if (FindSelectionIndex(Node, index)) FSelection.erase(FSelection.begin() + index);
  if (FSelectionCount > 0) --FSelectionCount;
  if (FSelectionCount == 0) ResetRangeAnchor();
  NotifyChange(Node);
}

void TBaseVirtualTree::UnmarkSelected(PVirtualNode Node) {
  if (!Node || !Node->StateBits.Contains(NS::nsSelected)) return;
  Node->StateBits.Exclude(NS::nsSelected);
  int32_t index;
  if (FindSelectionIndex(Node, index)) FSelection[static_cast<size_t>(index)] = Mark(Node);
  if (FSelectionCount > 0) --FSelectionCount;
}

void TBaseVirtualTree::ResetRangeAnchor() {
  FRangeAnchor = FFocusedNode;
  FLastSelectionLevel = -1;
}

void TBaseVirtualTree::DropSelection() {
  if (FUpdateCount > 0) PackSelection();
  for (auto it = FSelection.rbegin(); it != FSelection.rend(); ++it)
    if (!Marked(*it)) (*it)->StateBits.Exclude(NS::nsSelected);
  ResetRangeAnchor();
  FSelection.clear();
  FSelectionCount = 0;
  ChangeStates({}, {TS::tsClearPending});
}

void TBaseVirtualTree::ClearAllSelection() {
  if (FSelectionLocked || FSelectionCount == 0 || FDestroying) return;
  if (FUpdateCount == 0 && HandleAllocated() && FVisibleCount > 0) {
    // Repaint the selected rows on screen, top down, until all were seen.
    uint32_t left = FSelectionCount;
    int32_t top = 0;
    const int32_t bottom = ClientHeight();
    for (PVirtualNode run = NodeAtPosition(0, 0, true, &top); run && left > 0 && top < bottom;
         run = NextVisibleNodeRaw(run, true)) {
      if (run->StateBits.Contains(NS::nsSelected)) {
        InvalidateNode(run);
        --left;
      }
      top += static_cast<int32_t>(run->NodeHeight);
    }
  }
  DropSelection();
  NotifyChange(nullptr);
}

void TBaseVirtualTree::SetSelected(PVirtualNode Node, bool Value) {
  if (FSelectionLocked || !Node || Node == FRoot || Selected(Node) == Value) return;
  if (Value) {
    if (FSelectionCount == 0) FRangeAnchor = Node;
    else if (!FOptions->SelectionOptions().Contains(SO::toMultiSelect)) ClearAllSelection();
    AddNodeToSelection(Node);
    TVirtualTreeColumns* columns = FHeader->Columns();
    const TColumnIndex main = FHeader->MainColumn();
    const bool focusedShown = columns->IsColumnIndex(FFocusedColumn) && columns->Items(FFocusedColumn)->IsVisible();
    if (!focusedShown && columns->IsColumnIndex(main)) {
      TVirtualTreeColumn* column = columns->Items(main);
      if (column->IsVisible() && column->Options().Contains(TVTColumnOption::coAllowFocus)) FFocusedColumn = main;
      else FFocusedColumn = columns->FirstShownColumn(true);
    }
    if (!FRangeAnchor) FRangeAnchor = Node;
  } else {
    RemoveNodeFromSelection(Node);
    if (FSelectionCount == 0) ResetRangeAnchor();
  }
  if (IsFullyVisible(Node) && IsEffectivelyVisible(Node)) InvalidateNode(Node);
}

void TBaseVirtualTree::AddToTempNodeCache(PVirtualNode Node) {
  if (FTempNodeCount == FTempNodeCache.size())
    FTempNodeCache.resize(FTempNodeCache.empty() ? 100 : FTempNodeCache.size() + FTempNodeCache.size() / 10);
  FTempNodeCache[FTempNodeCount++] = Node;
}

void TBaseVirtualTree::ClearTempNodeCache() {
  FTempNodeCache.clear();
  FTempNodeCount = 0;
}

void TBaseVirtualTree::SelectAllNodes(bool VisibleOnly) {
  if (FSelectionLocked || !FOptions->SelectionOptions().Contains(SO::toMultiSelect)) return;
  ClearTempNodeCache();
  if (VisibleOnly) {
    for (PVirtualNode run = FirstVisibleNode(nullptr, true); run; run = NextVisibleNode(run, true))
      if (!run->StateBits.Contains(NS::nsSelected)) AddToTempNodeCache(run);
  } else {
    for (PVirtualNode run = FirstNode(false); run; run = NextNode(run, false))
      if (!run->StateBits.Contains(NS::nsSelected)) AddToTempNodeCache(run);
  }
  AddNodesToSelection(FTempNodeCache.data(), FTempNodeCount, false);
  ClearTempNodeCache();
  Invalidate();
}

void TBaseVirtualTree::SelectNodeRange(PVirtualNode StartNode, PVirtualNode EndNode, bool AddOnly) {
  MevraAssert(EndNode != nullptr, "EndNode must not be nil!");
  if (FSelectionLocked) return;
  if (StartNode && !IsFullyVisible(StartNode)) StartNode = PreviousVisibleNode(StartNode, true);
  if (!StartNode) StartNode = FirstVisibleNodeRaw(nullptr, true);
  if (!StartNode) return;
  if (CompareNodePositions(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
  PVirtualNode anchor = FRangeAnchor;
  if (!AddOnly) DropSelection();
  ClearTempNodeCache();
  for (PVirtualNode run = StartNode; run; run = NextVisibleNode(run, true)) {
    AddToTempNodeCache(run);
    if (run == EndNode) break;
  }
  AddNodesToSelection(FTempNodeCache.data(), FTempNodeCount, false);
  ClearTempNodeCache();
  if (anchor && anchor->StateBits.Contains(NS::nsSelected)) FRangeAnchor = anchor;
}

// Flips every visible node strictly between the ends; the ends themselves
// flip only on the far side of the anchor.
void TBaseVirtualTree::AddRangeToSelection(PVirtualNode StartNode, PVirtualNode EndNode) {
  if (FSelectionLocked) return;
  MevraAssert(EndNode != nullptr, "EndNode must not be nil!");
  if (!StartNode) StartNode = FRoot->FirstChild;
  else if (!IsFullyVisible(StartNode)) StartNode = PreviousVisibleNode(StartNode, true);
  if (!StartNode || StartNode == EndNode) return;
  if (CompareNodePositions(StartNode, EndNode, true) > 0) std::swap(StartNode, EndNode);
  ClearTempNodeCache();
  auto flip = [this](PVirtualNode node) {
    if (node->StateBits.Contains(NS::nsSelected)) UnmarkSelected(node);
    else AddToTempNodeCache(node);
  };
  const bool anchorKnown = FRangeAnchor != nullptr;
  if (anchorKnown && CompareNodePositions(StartNode, FRangeAnchor, true) < 0) flip(StartNode);
  for (PVirtualNode run = NextVisibleNode(StartNode, true); run && run != EndNode; run = NextVisibleNode(run, true)) flip(run);
  if (anchorKnown && CompareNodePositions(EndNode, FRangeAnchor, true) > 0) flip(EndNode);
  PackSelection();
  if (FRangeAnchor && !FRangeAnchor->StateBits.Contains(NS::nsSelected)) AddToTempNodeCache(FRangeAnchor);
  AddNodesToSelection(FTempNodeCache.data(), FTempNodeCount, false);
  ClearTempNodeCache();
}

namespace {
TNodeArray SortedByState(TBaseVirtualTree& Tree, TVirtualNodeState State, bool Resolve) {
  TNodeArray result;
  PVirtualNode run = Tree.FirstNodeRaw(false);
  while (run) {
    if (run->StateBits.Contains(State)) {
      result.push_back(run);
      if (Resolve) {
        // Skip the node's subtree.
        while (run && run != Tree.RootNode() && !run->NextSibling) run = run->Parent;
        run = run && run != Tree.RootNode() ? run->NextSibling : nullptr;
        continue;
      }
    }
    run = Tree.NextNodeRaw(run, false);
  }
  return result;
}
}  // namespace

TNodeArray TBaseVirtualTree::GetSortedSelection(bool Resolve) {
  if (FSelectionCount == 0) return {};
  return SortedByState(*this, NS::nsSelected, Resolve);
}

TNodeArray TBaseVirtualTree::GetSortedCutCopySet(bool Resolve) { return SortedByState(*this, NS::nsClipboardMarked, Resolve); }

void TBaseVirtualTree::RemoveSelectedNodes() {
  if (FSelectionCount == 0 || ReadOnly()) return;
  Removing([this] {
    InBracket([this] {
      TNodeArray nodes = GetSortedSelection(true);
      for (size_t i = nodes.size(); i-- > 1;) DoRemoveNode(nodes[i], nodes[i]->Parent != nodes[i - 1]->Parent);
      if (!nodes.empty()) DoRemoveNode(nodes[0], true);
    });
  });
}

// --- focus ---------------------------------------------------------------------------------------

bool TBaseVirtualTree::FireFocusChanging(PVirtualNode OldNode, PVirtualNode NewNode, TColumnIndex OldColumn,
                                         TColumnIndex NewColumn) {
  TVirtualTreeColumns* columns = FHeader->Columns();
  bool allowed = OldColumn == NewColumn || !columns->IsColumnIndex(NewColumn) ||
                 columns->Items(NewColumn)->Options().Contains(TVTColumnOption::coAllowFocus);
  FireEvent(OnFocusChanging, this, OldNode, NewNode, OldColumn, NewColumn, allowed);
  return allowed;
}

void TBaseVirtualTree::FireFocusChanged(PVirtualNode Node, TColumnIndex Column) {
  FireEvent(OnFocusChanged, this, Node, Column);
}

void TBaseVirtualTree::SetFocusedNode(PVirtualNode Value) {
  PVirtualNode old = FFocusedNode;
  MoveFocusTo(Value, true);
  if (FFocusedNode != old) FireFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseVirtualTree::MoveFocusTo(PVirtualNode Node, bool Ask) {
  if (!CancelNodeEdit()) return;
  if (Node == FRoot) Node = nullptr;
  if (Node != FFocusedNode) {
    if (Ask && !FireFocusChanging(FFocusedNode, Node, FFocusedColumn, FFocusedColumn)) return;
    PVirtualNode old = FFocusedNode;
    const bool autoExpand = FOptions->AutoOptions().Contains(TVTAutoOption::toAutoExpand);
    if (old && autoExpand && Node && old->StateBits.Contains(NS::nsExpanded) && old->Parent == Node->Parent)
      ToggleNodeExpansion(old);
    else if (old)
      InvalidateNode(old);
    FFocusedNode = Node;
  }
  if (FFocusedNode) {
    if (FHeader->Options().Contains(TVTHeaderOption::hoVisible) && !FHeader->Columns()->IsColumnIndex(FFocusedColumn))
      FFocusedColumn = FHeader->MainColumn();
    if (FOptions->AutoOptions().Contains(TVTAutoOption::toAutoExpand) && !Expanded(FFocusedNode))
      ToggleNodeExpansion(FFocusedNode);
    InvalidateNode(FFocusedNode);
    if (FUpdateCount == 0 && !FOptions->AutoOptions().Contains(TVTAutoOption::toDisableAutoscrollOnFocus))
      ScrollNodeIntoView(FFocusedNode,
                         FOptions->SelectionOptions().Contains(SO::toCenterScrollIntoView) && !MouseButtonDown(), true);
  }
  if (FSelectionCount == 0) ResetRangeAnchor();
}

void TBaseVirtualTree::SetFocusedColumn(TColumnIndex Value) {
  if (FFocusedColumn == Value) return;
  if (!FireFocusChanging(FFocusedNode, FFocusedNode, FFocusedColumn, Value)) return;
  CancelNodeEdit();
  InvalidateColumn(FFocusedColumn);
  InvalidateColumn(Value);
  FFocusedColumn = Value;
  if (FFocusedNode && !FOptions->AutoOptions().Contains(TVTAutoOption::toDisableAutoscrollOnFocus)) {
    if (ScrollNodeIntoView(FFocusedNode, FOptions->SelectionOptions().Contains(SO::toCenterScrollIntoView), true))
      InvalidateNode(FFocusedNode);
  }
  FireFocusChanged(FFocusedNode, FFocusedColumn);
}

void TBaseVirtualTree::MainColumnChanged() { CancelNodeEdit(); }

// A node that goes stops being focused, anchored, pending or selected.
void TBaseVirtualTree::ForgetNode(PVirtualNode Node) {
  if (FLastSearchNode == Node) FLastSearchNode = nullptr;
  if (FPendingCheckNode == Node) {
    FPendingCheckNode = nullptr;
    ChangeStates({}, {TS::tsMouseCheckPending, TS::tsKeyCheckPending});
  }
  if (Node->StateBits.Contains(NS::nsSelected)) UnmarkSelected(Node);
  if (FRangeAnchor == Node) FRangeAnchor = nullptr;
  if (FFocusedNode == Node) {
    MoveFocusTo(nullptr, false);
    FFocusedNode = nullptr;
    FireFocusChanged(nullptr, FFocusedColumn);
  }
  if (FRangeAnchor == Node) FRangeAnchor = nullptr;
}

// --- clicks and rectangles ------------------------------------------------------------------------

void TBaseVirtualTree::HandleClickSelection(PVirtualNode Node, TShiftState Shift, bool DragPending) {
  if (!Node) return;
  const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift);
  if (ctrl && shift) {
    SelectNodeRange(FRangeAnchor, Node, true);
    Invalidate();
  } else if (ctrl) {
    if (!FOptions->SelectionOptions().Contains(SO::toSiblingSelectConstraint)) FRangeAnchor = Node;
    if (DragPending) ChangeStates({TS::tsToggleFocusedSelection}, {});
    else if (Node->StateBits.Contains(NS::nsSelected)) RemoveNodeFromSelection(Node);
    else AddNodeToSelection(Node);
  } else if (shift) {
    if (!FRangeAnchor) FRangeAnchor = FRoot->FirstChild;
    SelectNodeRange(FRangeAnchor, Node, false);
    Invalidate();
  } else {
    if (!Node->StateBits.Contains(NS::nsSelected)) {
      AddNodeToSelection(Node);
      InvalidateNode(Node);
    }
    FRangeAnchor = Node;
  }
}

// Whether a node's row, or its content with the simple option off, meets a
// content rectangle; Top is the row's top in content co-ordinates.
bool TBaseVirtualTree::NodeInRect(PVirtualNode Node, const RECT& Rect, int32_t Top) {
  const int32_t bottom = Top + static_cast<int32_t>(Node->NodeHeight);
  if (bottom <= Rect.top || Top >= Rect.bottom || Rect.left >= Rect.right) return false;
  if (FOptions->SelectionOptions().Contains(SO::toSimpleDrawSelection)) return true;
  TVirtualTreeColumns* columns = FHeader->Columns();
  const TColumnIndex main = FHeader->MainColumn();
  int32_t left = 0, right = FRangeX;
  if (columns->IsColumnIndex(main)) {
    left = columns->Items(main)->Left();
    right = left + columns->Items(main)->Width();
  }
  int32_t start = FMargin + static_cast<int32_t>(
                                (NodeLevel(Node) + (FOptions->PaintOptions().Contains(TVTPaintOption::toShowRoot) ? 1 : 0)) *
                                FIndent);
  if (FOptions->MiscOptions().Contains(TVTMiscOption::toCheckSupport) && Node->CheckType != TCheckType::ctNone)
    start += CheckImageSize() + 2;
  if (NodeHasImage(Node, TVTImageKind::ikState, main) && FStateImages) start += FStateImages->Width() + 2;
  if (NodeHasImage(Node, TVTImageKind::ikNormal, main) && FImages) start += FImages->Width() + 2;
  const int32_t content = NodeContentWidth(Node, main, Canvas());
  const TAlignment alignment = columns->IsColumnIndex(main) ? columns->Items(main)->Alignment() : FAlignment;
  int32_t textLeft = left + start;
  switch (alignment) {
    case TAlignment::taLeftJustify: break;
    case TAlignment::taRightJustify: textLeft = std::max(textLeft, right - content); break;
    case TAlignment::taCenter: textLeft = std::max(textLeft, textLeft + (right - textLeft - content) / 2); break;
  }
  return textLeft < Rect.right && textLeft + content > Rect.left;
}

bool TBaseVirtualTree::HandleDrawSelection(RECT OldRect, RECT NewRect) {
  if (FRoot->SubtreeCount <= 1) return false;
  auto order = [](RECT r) {
    if (r.left > r.right) std::swap(r.left, r.right);
    if (r.top > r.bottom) std::swap(r.top, r.bottom);
    return r;
  };
  OldRect = order(OldRect);
  NewRect = order(NewRect);
  ClearTempNodeCache();
  const bool toggle = FDrawSelShiftState.Contains(ssCtrl);
  const int32_t from = std::min(OldRect.top, NewRect.top), to = std::max(OldRect.bottom, NewRect.bottom);
  int32_t top = 0;
  PVirtualNode run = NodeAtPosition(0, from, false, &top);
  bool changed = false;
  for (; run && top < to; run = NextVisibleNodeRaw(run, true)) {
    const bool inOld = NodeInRect(run, OldRect, top), inNew = NodeInRect(run, NewRect, top);
    if (inOld != inNew) {
      const bool selected = run->StateBits.Contains(NS::nsSelected);
      if (toggle) {
        if (selected) UnmarkSelected(run);
        else AddToTempNodeCache(run);
        changed = true;
      } else if (inNew && !selected) {
        AddToTempNodeCache(run);
        changed = true;
      } else if (!inNew && selected) {
        UnmarkSelected(run);
        changed = true;
      }
    }
    top += static_cast<int32_t>(run->NodeHeight);
  }
  if (changed) {
    PackSelection();
    InternalAddToSelection(FTempNodeCache.data(), FTempNodeCount, false);
    ClearTempNodeCache();
    NotifyChange(nullptr);
  }
  return changed;
}
