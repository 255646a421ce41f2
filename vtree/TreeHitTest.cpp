// Hit testing: which node, column and part of a row lies at a point; hot
// tracking; the tree-view queries of accessibility tools.
#include "vtree/VirtualTree.h"

#include "platform/ImageList.h"

#include <algorithm>
#include <commctrl.h>
#include <cstring>

namespace {
using NS = TVirtualNodeState;
using PO = TVTPaintOption;
using HP = THitPosition;
}  // namespace

TColumnIndex TBaseVirtualTree::ColumnAndBoundsAt(POINT P, int32_t& Left, int32_t& Right, bool Relative) {
  TVirtualTreeColumns* columns = FHeader->Columns();
  Left = Right = 0;
  if (P.x < 0) return InvalidColumn;
  int32_t right = 0;
  if (Relative && P.x >= columns->FixedAreaWidth()) right -= FEffectiveOffsetX;
  if (UseRightToLeftAlignment()) right += RightToLeftOffset();
  for (TColumnIndex index : columns->ShownColumns()) {
    TVirtualTreeColumn* column = columns->Items(index);
    const int32_t left = right;
    right += column->Width();
    if (P.x < right) {
      Left = left;
      Right = right;
      return index;
    }
  }
  return InvalidColumn;
}

TColumnIndex TBaseVirtualTree::SpanCell(PVirtualNode Node, TColumnIndex Column, int32_t& Left, int32_t& Right,
                                        bool Leftwards, TColumnIndex* Last) {
  TVirtualTreeColumns* columns = FHeader->Columns();
  if (Last) *Last = Column;
  if (!Node || !columns->IsColumnIndex(Column) || !FOptions->AutoOptions().Contains(TVTAutoOption::toAutoSpanColumns) ||
      UseRightToLeftAlignment())
    return Column;
  // A cell spans only from and over cells whose text reads left to right.
  auto spannable = [&](TColumnIndex index) {
    return !columns->Items(index)->ReadsRightToLeft() && CellIsEmpty(Node, index);
  };
  if (Leftwards) {
    for (TColumnIndex before = columns->ShownColumnBefore(Column);
         columns->IsColumnIndex(before) && !columns->Items(before)->ReadsRightToLeft() && spannable(Column);
         before = columns->ShownColumnBefore(Column)) {
      Left -= columns->Items(before)->Width();
      Column = before;
    }
  }
  if (columns->Items(Column)->ReadsRightToLeft()) return Column;
  for (TColumnIndex after = columns->ShownColumnAfter(Column); columns->IsColumnIndex(after) && spannable(after);
       after = columns->ShownColumnAfter(after)) {
    Right += columns->Items(after)->Width();
    if (Last) *Last = after;
  }
  return Column;
}

void TBaseVirtualTree::HitTestAt(int32_t X, int32_t Y, bool Relative, THitInfo& HitInfo) {
  HitInfo = THitInfo{};
  if (X < 0) HitInfo.HitPositions.Include(HP::hpToLeft);
  else if (X > std::max(ClientWidth(), FRangeX)) HitInfo.HitPositions.Include(HP::hpToRight);
  if (Y < 0) HitInfo.HitPositions.Include(HP::hpAbove);
  else if (Y > std::max(ClientHeight(), FRangeY)) HitInfo.HitPositions.Include(HP::hpBelow);
  if (!HitInfo.HitPositions.Empty()) return;

  TVirtualTreeColumns* columns = FHeader->Columns();
  int32_t x = X;
  int32_t y = Y;
  if (Relative) {
    if (X >= columns->FixedAreaWidth() || columns->Count() == 0) x += FEffectiveOffsetX;
    y -= FOffsetY;
  }
  int32_t top = 0;
  PVirtualNode node = NodeAtPosition(0, y, false, &top);
  if (!node) {
    HitInfo.HitPositions.Include(HP::hpNowhere);
    return;
  }
  InitNode(node);
  HitInfo.HitNode = node;

  int32_t width;
  TAlignment alignment = FAlignment;
  bool rightToLeft = UseRightToLeftAlignment();
  if (columns->Count() > 0) {
    int32_t left, right;
    // x is a content position already.
    HitInfo.HitColumn = ColumnAndBoundsAt(POINT{x, y}, left, right, false);
    if (HitInfo.HitColumn == InvalidColumn) {
      HitInfo.HitPositions.Include(HP::hpNowhere);
      return;
    }
    HitInfo.HitColumn = SpanCell(node, HitInfo.HitColumn, left, right, true);
    x -= left;
    width = right - left;
    TVirtualTreeColumn* column = columns->Items(HitInfo.HitColumn);
    alignment = column->Alignment();
    rightToLeft = column->ReadsRightToLeft();
  } else {
    width = std::max(ClientWidth(), FRangeX);
  }
  HitInfo.HitPositions.Include(HP::hpOnNode);
  if (FOptions->MiscOptions().Contains(TVTMiscOption::toNodeHeightResize)) {
    const int32_t inRow = y - static_cast<int32_t>(top);
    if (inRow <= 1) HitInfo.HitPositions.Include(HP::hpUpperEdge);
    if (inRow >= node->NodeHeight - 3) HitInfo.HitPositions.Include(HP::hpLowerEdge);
  }
  if (rightToLeft) ClassifyHitRightToLeft(HitInfo, x, alignment, width);
  else ClassifyHitLeftToRight(HitInfo, x, alignment, width);
}

void TBaseVirtualTree::ClassifyHitLeftToRight(THitInfo& HitInfo, int32_t X, TAlignment Alignment, int32_t Width) {
  PVirtualNode node = HitInfo.HitNode;
  const TVTPaintOptions paint = FOptions->PaintOptions();
  const TColumnIndex main = FHeader->MainColumn();
  const bool isMain = HitInfo.HitColumn == main || FHeader->Columns()->Count() == 0;
  const int32_t indentSize = static_cast<int32_t>(FIndent);
  int32_t indent = 0;
  if (isMain) {
    if (paint.Contains(PO::toFixedIndent)) indent = indentSize;
    else indent = indentSize * static_cast<int32_t>(NodeLevel(node) + (paint.Contains(PO::toShowRoot) ? 1 : 0));
  }
  if (X < indent) {
    const bool button = paint.Contains(PO::toShowButtons) && node->StateBits.Contains(NS::nsHasChildren);
    if (button && X >= indent - indentSize) {
      HitInfo.HitPositions.Include(HP::hpOnButton);
      // The button sits centred in the last level's indent.
      const int32_t buttonLeft = indent - indentSize + (indentSize - ButtonSize().cx) / 2;
      if (X >= buttonLeft && X < buttonLeft + ButtonSize().cx) HitInfo.HitPositions.Include(HP::hpOnButtonExact);
    } else {
      HitInfo.HitPositions.Include(HP::hpOnIndent);
    }
    return;
  }
  if (!isMain && FOptions->MiscOptions().Contains(TVTMiscOption::toReportMode)) return;
  int32_t edge = indent + FMargin;
  if (isMain && FOptions->MiscOptions().Contains(TVTMiscOption::toCheckSupport) && CheckImages() &&
      node->CheckType != TCheckType::ctNone) {
    edge += CheckImageSize() + 2;
    if (X < edge) {
      HitInfo.HitPositions.Include(HP::hpOnCheckBox);
      return;
    }
  } else if (isMain && X < edge) {
    return;
  }
  if (NodeHasImage(node, TVTImageKind::ikState, HitInfo.HitColumn)) {
    edge += FStateImages->Width() + 2;
    if (X < edge) {
      HitInfo.HitPositions.Include(HP::hpOnStateImage);
      return;
    }
  }
  if (NodeHasImage(node, TVTImageKind::ikNormal, HitInfo.HitColumn)) {
    edge += FImages->Width() + 2;
    if (X < edge) {
      HitInfo.HitPositions.Include(HP::hpOnNormalImage);
      return;
    }
  }
  const int32_t nodeWidth = NodeContentWidth(node, HitInfo.HitColumn, Canvas());
  if (Width - edge < nodeWidth) {
    HitInfo.HitPositions.Include(HP::hpOnLabel);
    return;
  }
  switch (Alignment) {
    case TAlignment::taRightJustify:
      HitInfo.HitPositions.Include(X < Width - nodeWidth ? HP::hpLeftOfLabel : HP::hpOnLabel);
      break;
    case TAlignment::taCenter: {
      const int32_t start = (Width + edge - nodeWidth) / 2;
      if (X < start) HitInfo.HitPositions.Include(HP::hpLeftOfLabel);
      else if (X < start + nodeWidth) HitInfo.HitPositions.Include(HP::hpOnLabel);
      else HitInfo.HitPositions.Include(HP::hpRightOfLabel);
      break;
    }
    case TAlignment::taLeftJustify:
      HitInfo.HitPositions.Include(X < edge + nodeWidth ? HP::hpOnLabel : HP::hpRightOfLabel);
      break;
  }
}

void TBaseVirtualTree::ClassifyHitRightToLeft(THitInfo& HitInfo, int32_t X, TAlignment Alignment, int32_t Width) {
  PVirtualNode node = HitInfo.HitNode;
  const TVTPaintOptions paint = FOptions->PaintOptions();
  const bool isMain = HitInfo.HitColumn == FHeader->MainColumn() || FHeader->Columns()->Count() == 0;
  const int32_t indentSize = static_cast<int32_t>(FIndent);
  int32_t indent = 0;
  if (isMain) {
    if (paint.Contains(PO::toFixedIndent)) indent = indentSize;
    else indent = indentSize * static_cast<int32_t>(NodeLevel(node) + (paint.Contains(PO::toShowRoot) ? 1 : 0));
  }
  const int32_t indentLeft = Width - indent;
  if (X >= indentLeft && indent > 0) {
    const bool button = paint.Contains(PO::toShowButtons) && node->StateBits.Contains(NS::nsHasChildren);
    if (button && X < indentLeft + indentSize) {
      HitInfo.HitPositions.Include(HP::hpOnButton);
      const int32_t buttonLeft = indentLeft + (indentSize - ButtonSize().cx) / 2;
      if (X >= buttonLeft && X < buttonLeft + ButtonSize().cx) HitInfo.HitPositions.Include(HP::hpOnButtonExact);
    } else {
      HitInfo.HitPositions.Include(HP::hpOnIndent);
    }
    return;
  }
  if (!isMain && FOptions->MiscOptions().Contains(TVTMiscOption::toReportMode)) return;
  int32_t edge = Width - indent - FMargin;
  if (isMain && FOptions->MiscOptions().Contains(TVTMiscOption::toCheckSupport) && CheckImages() &&
      node->CheckType != TCheckType::ctNone) {
    edge -= CheckImageSize() + 2;
    if (X >= edge) {
      HitInfo.HitPositions.Include(HP::hpOnCheckBox);
      return;
    }
  } else if (isMain && X >= edge) {
    return;
  }
  if (NodeHasImage(node, TVTImageKind::ikState, HitInfo.HitColumn)) {
    edge -= FStateImages->Width() + 2;
    if (X >= edge) {
      HitInfo.HitPositions.Include(HP::hpOnStateImage);
      return;
    }
  }
  if (NodeHasImage(node, TVTImageKind::ikNormal, HitInfo.HitColumn)) {
    edge -= FImages->Width() + 2;
    if (X >= edge) {
      HitInfo.HitPositions.Include(HP::hpOnNormalImage);
      return;
    }
  }
  const int32_t nodeWidth = NodeContentWidth(node, HitInfo.HitColumn, Canvas());
  if (edge < nodeWidth) {
    HitInfo.HitPositions.Include(HP::hpOnLabel);
    return;
  }
  // Right to left the alignments swap.
  switch (Alignment) {
    case TAlignment::taLeftJustify:
      HitInfo.HitPositions.Include(X >= nodeWidth ? HP::hpRightOfLabel : HP::hpOnLabel);
      break;
    case TAlignment::taCenter: {
      const int32_t start = (edge - nodeWidth) / 2;
      if (X < start) HitInfo.HitPositions.Include(HP::hpLeftOfLabel);
      else if (X < start + nodeWidth) HitInfo.HitPositions.Include(HP::hpOnLabel);
      else HitInfo.HitPositions.Include(HP::hpRightOfLabel);
      break;
    }
    case TAlignment::taRightJustify:
      HitInfo.HitPositions.Include(X < edge - nodeWidth ? HP::hpLeftOfLabel : HP::hpOnLabel);
      break;
  }
}

void TBaseVirtualTree::TrackHotNode(int32_t X, int32_t Y) {
  const THitInfo hit = HitTestAt(X, Y, true);
  const bool fullRow = FOptions->SelectionOptions().Contains(TVTSelectionOption::toFullRowSelect);
  PVirtualNode hot = nullptr;
  if (hit.HitNode && (hit.HitPositions.Contains(HP::hpOnLabel) || hit.HitPositions.Contains(HP::hpOnCheckBox) || fullRow))
    hot = hit.HitNode;
  const bool overButton =
      hit.HitPositions.Contains(HP::hpOnButtonExact) && FOptions->PaintOptions().Contains(PO::toHotTrack);
  PVirtualNode old = FCurrentHotNode;
  const TColumnIndex hotColumn = hot ? hit.HitColumn : NoColumn;
  if (hotColumn != FCurrentHotColumn && hot && hot == old && HandleAllocated()) InvalidateNode(hot);
  FCurrentHotColumn = hotColumn;
  if (old != hot) FireEvent(OnHotChange, this, old, hot);
  const bool repaint = FOptions->PaintOptions().Contains(PO::toHotTrack) ||
                       FOptions->MiscOptions().Contains(TVTMiscOption::toCheckSupport);
  if (old != hot || FHotOverButton != overButton) {
    FCurrentHotNode = hot;
    FHotOverButton = overButton;
    if (HandleAllocated() && (repaint || overButton)) {
      if (old) InvalidateNode(old);
      if (hot) InvalidateNode(hot);
    }
  }
}

// --- tree-view queries -----------------------------------------------------------------------------------

// Another process may send any value as a node: only a block of this tree's
// storage whose links lead up to the root through blocks of this tree is taken.
bool TBaseVirtualTree::IsNodeOfThisTree(PVirtualNode Node) const {
  const auto ours = [this](PVirtualNode p) { return p == FRoot || FAllocator.Contains(p); };
  if (!Node || Node == FRoot || !FAllocator.Contains(Node)) return false;
  uint32_t depth = 0;
  for (PVirtualNode run = Node; run != FRoot; run = run->Parent) {
    if (++depth > FRoot->SubtreeCount) return false;
    PVirtualNode parent = run->Parent;
    PVirtualNode previous = run->PreviousSibling;
    PVirtualNode next = run->NextSibling;
    if (!ours(parent) || (previous && !FAllocator.Contains(previous)) || (next && !FAllocator.Contains(next))) return false;
    // Linked in: its neighbours (or its parent's ends) point back at it.
    if ((previous ? previous->NextSibling : parent->FirstChild) != run) return false;
    if ((next ? next->PreviousSibling : parent->LastChild) != run) return false;
  }
  return true;
}

LRESULT TBaseVirtualTree::TreeViewQuery(UINT Msg, WPARAM WParam, LPARAM LParam) {
  switch (Msg) {
    case TVM_GETNEXTITEM: {
      PVirtualNode node = reinterpret_cast<PVirtualNode>(LParam);
      const bool needsNode = WParam != TVGN_ROOT && WParam != TVGN_FIRSTVISIBLE && WParam != TVGN_DROPHILITE &&
                             WParam != TVGN_CARET && WParam != TVGN_LASTVISIBLE;
      if (needsNode && !IsNodeOfThisTree(node)) return 0;
      PVirtualNode result = nullptr;
      switch (WParam) {
        case TVGN_ROOT: result = FirstNode(); break;
        case TVGN_NEXT: result = NextSiblingNode(node); break;
        case TVGN_PREVIOUS: result = PreviousSiblingNode(node); break;
        case TVGN_PARENT: result = node->Parent == FRoot ? nullptr : node->Parent; break;
        case TVGN_CHILD: result = FirstChildNode(node); break;
        case TVGN_FIRSTVISIBLE: result = FirstVisibleNode(); break;
        case TVGN_NEXTVISIBLE: result = NextVisibleNode(node); break;
        case TVGN_PREVIOUSVISIBLE: result = PreviousVisibleNode(node); break;
        case TVGN_DROPHILITE: result = FDropTargetNode; break;
        case TVGN_CARET: result = FFocusedNode; break;
        case TVGN_LASTVISIBLE: result = LastVisibleNode(); break;
        default: break;
      }
      return reinterpret_cast<LRESULT>(result);
    }
    case TVM_GETITEMRECT: {
      RECT* rect = reinterpret_cast<RECT*>(LParam);
      if (!rect) return 0;
      // The node travels in the rectangle's first bytes.
      PVirtualNode node;
      std::memcpy(&node, rect, sizeof(node));
      if (!IsNodeOfThisTree(node) || !HasChildren(node)) return 0;
      *rect = NodeDisplayRect(node, NoColumn, WParam != 0);
      return 1;
    }
    case TVM_GETITEMA: {
      auto* item = reinterpret_cast<TVITEMA*>(LParam);
      if (!item) return 0;
      PVirtualNode node = reinterpret_cast<PVirtualNode>(item->hItem);
      if (!IsNodeOfThisTree(node)) return 0;
      InitNode(node);
      if (item->mask & TVIF_CHILDREN) item->cChildren = static_cast<int>(node->ChildCount);
      if (item->mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
        bool ghosted = false;
        int32_t index = -1;
        if (item->mask & TVIF_IMAGE) {
          FireGetImageIndex(node, TVTImageKind::ikNormal, NoColumn, ghosted, index);
          item->iImage = index;
        }
        if (item->mask & TVIF_SELECTEDIMAGE) {
          index = -1;
          FireGetImageIndex(node, TVTImageKind::ikSelected, NoColumn, ghosted, index);
          item->iSelectedImage = index;
        }
      }
      if (item->mask & TVIF_STATE) {
        UINT state = 0;
        if (node == FFocusedNode) state |= 0x0001;  // focused (no name in the headers)
        if (node->StateBits.Contains(NS::nsSelected)) state |= TVIS_SELECTED;
        if (node->StateBits.Contains(NS::nsClipboardMarked)) state |= TVIS_CUT;
        if (node == FDropTargetNode) state |= TVIS_DROPHILITED;
        if (node->StateBits.Contains(NS::nsExpanded)) state |= TVIS_EXPANDED;
        bool ghosted = false;
        int32_t index = -1;
        FireGetImageIndex(node, TVTImageKind::ikState, NoColumn, ghosted, index);
        if (index >= 0) state |= static_cast<UINT>(index & 0xF) << 12;
        index = -1;
        FireGetImageIndex(node, TVTImageKind::ikOverlay, NoColumn, ghosted, index);
        if (index >= 0) state |= static_cast<UINT>(index & 0xF) << 8;
        item->state = state;
        item->stateMask = 0xFF2F;
      }
      if ((item->mask & TVIF_TEXT) && item->pszText && item->cchTextMax > 0) {
        const std::string text = NodeTextForQuery(node);
        const size_t n = std::min(text.size(), static_cast<size_t>(item->cchTextMax - 1));
        std::memcpy(item->pszText, text.data(), n);
        item->pszText[n] = '\0';
      }
      return 1;
    }
  }
  return 0;
}
