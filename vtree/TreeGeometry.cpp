// Where nodes are: the position cache and its validation on the shared
// worker thread, cached lookups, display rectangles, content widths per
// column and the repaint helpers built on them.
#include "vtree/VirtualTree.h"

#include "platform/ImageList.h"
#include "vtree/WorkerThread.h"

#include <algorithm>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;

constexpr WPARAM StopValidationBit = 1;
constexpr WPARAM UseCacheBit = 2;
constexpr WPARAM ValidatingBit = 4;
constexpr WPARAM ValidationNeededBit = 8;

TVirtualTreeStates ValidationStates(uintptr_t Bits) {
  TVirtualTreeStates states;
  if (Bits & StopValidationBit) states.Include(TS::tsStopValidation);
  if (Bits & UseCacheBit) states.Include(TS::tsUseCache);
  if (Bits & ValidatingBit) states.Include(TS::tsValidating);
  if (Bits & ValidationNeededBit) states.Include(TS::tsValidationNeeded);
  return states;
}
}  // namespace

// --- the position cache ---------------------------------------------------------------------

void TBaseVirtualTree::InvalidatePositionCache() {
  StopCacheValidation();
  ChangeStates({TS::tsValidationNeeded}, {TS::tsUseCache});
}

// Asks the build to stop and, when the worker has taken or may take this
// tree, waits until it has let go.
void TBaseVirtualTree::StopCacheValidation() {
  FStopValidation.store(true);
  ChangeStates({TS::tsStopValidation}, {TS::tsUseCache});
  if (!FQueued.load() && !FClaimed.load()) return;
  const bool running = FClaimed.load();
  StopTreeValidation(this);
  // A build that finished while we waited may have made the cache valid
  // again; what follows is a change, so it is stale.
  if (running) ChangeStates({TS::tsValidationNeeded}, {TS::tsUseCache});
}

// Only a tree with a window is queued: the worker reports through it. The
// others look nodes up by walking.
void TBaseVirtualTree::RequestCacheValidation() {
  StopCacheValidation();
  FCacheStartIndex = 0;
  if (FStates.Contains(TS::tsValidationNeeded) && HandleAllocated() && !FDestroying) AddToWaitingList(this);
}

void TBaseVirtualTree::ChangeValidationStates(WPARAM Enter, LPARAM Leave) {
  const TVirtualTreeStates enter = ValidationStates(Enter), leave = ValidationStates(static_cast<uintptr_t>(Leave));
  ChangeStates(enter, leave);
  if (enter.Contains(TS::tsUseCache) && FOptions->MiscOptions().Contains(TVTMiscOption::toVariableNodeHeight))
    UpdateScrollBars(true);
}

// Runs on the worker thread while the GUI thread leaves the tree alone: it
// reads the visible nodes' links and heights only.
bool TBaseVirtualTree::BuildPositionCache() {
  if (ValidationStopRequested()) return false;
  if (FCacheStartIndex == 0) FPositionCache.clear();
  if (FVisibleCount <= CacheThreshold) return false;
  const size_t length = (static_cast<size_t>(FVisibleCount) + CacheThreshold - 1) / CacheThreshold;
  FPositionCache.resize(length);
  if (FCacheStartIndex > length) FCacheStartIndex = static_cast<uint32_t>(length);
  PVirtualNode run;
  uint32_t top;
  size_t index;
  if (FCacheStartIndex > 0 && FPositionCache[FCacheStartIndex - 1].Node) {
    index = FCacheStartIndex - 1;
    run = FPositionCache[index].Node;
    top = FPositionCache[index].AbsoluteTop;
  } else {
    index = 0;
    run = FirstVisibleNodeRaw(nullptr, true);
    top = 0;
  }
  bool stopped = false, stepped = false;
  PVirtualNode last = nullptr;
  uint32_t lastTop = 0;
  for (uint32_t n = 0; run; ++n) {
    if (ValidationStopRequested()) {
      stopped = true;
      break;
    }
    if (n % CacheThreshold == 0) {
      if (index == length) break;
      FPositionCache[index++] = TCacheEntry{run, top};
    }
    stepped = true;
    last = run;
    lastTop = top;
    top += run->NodeHeight;
    run = NextVisibleNodeRaw(run, true);
  }
  if (!stopped && index < length && last) {
    // The visible count overstated the rows: the last row closes the cache.
    FPositionCache.resize(index + 1);
    FPositionCache[index] = TCacheEntry{last, lastTop};
  }
  return stepped && !stopped;
}

// The last entry whose node is not after Node in display order (SIZE_MAX: none).
size_t TBaseVirtualTree::CacheEntryByNode(PVirtualNode Node) const {
  size_t low = 0, high = FPositionCache.size();
  while (low < high) {
    const size_t middle = (low + high) / 2;
    if (CompareNodePositions(FPositionCache[middle].Node, Node, true) <= 0) low = middle + 1;
    else high = middle;
  }
  return low == 0 ? SIZE_MAX : low - 1;
}

// The last entry whose top is not below Position (SIZE_MAX: none).
size_t TBaseVirtualTree::CacheEntryByPosition(uint32_t Position) const {
  auto it = std::upper_bound(FPositionCache.begin(), FPositionCache.end(), Position,
                             [](uint32_t p, const TCacheEntry& e) { return p < e.AbsoluteTop; });
  return it == FPositionCache.begin() ? SIZE_MAX : static_cast<size_t>(it - FPositionCache.begin()) - 1;
}

uint32_t TBaseVirtualTree::CachedNodeTop(PVirtualNode Node) {
  if (FStates.Contains(TS::tsUseCache) && !FPositionCache.empty()) {
    const size_t entry = CacheEntryByNode(Node);
    if (entry != SIZE_MAX) {
      PVirtualNode run = FPositionCache[entry].Node;
      uint32_t top = FPositionCache[entry].AbsoluteTop;
      while (run && run != Node) {
        top += run->NodeHeight;
        run = NextVisibleNodeRaw(run, true);
      }
      if (run) return top;
    }
  }
  return NodeTopOf(Node);
}

// Without a valid cache the subtree heights find the row, which needs no
// walk over the rows above.
PVirtualNode TBaseVirtualTree::NodeAtPosition(int32_t X, int32_t Y, bool Relative, int32_t* NodeTop) {
  (void)X;
  if (Relative) Y -= FOffsetY;
  if (Y < 0) Y = 0;
  const uint32_t y = static_cast<uint32_t>(Y);
  PVirtualNode result = nullptr;
  uint32_t top = 0;
  const size_t entry = FStates.Contains(TS::tsUseCache) ? CacheEntryByPosition(y) : SIZE_MAX;
  if (entry != SIZE_MAX) {
    PVirtualNode run = FPositionCache[entry].Node;
    top = FPositionCache[entry].AbsoluteTop;
    if (!ChildrenAbove() && !FOptions->MiscOptions().Contains(TVTMiscOption::toVariableNodeHeight)) {
      result = RowFrom(run, top, y);
    } else {
      // Rows are measured on the way, or drawn below their children: row by row.
      for (; run; run = NextVisibleNodeRaw(run, true)) {
        CheckMeasuredHeight(run);
        if (y < top + run->NodeHeight) {
          result = run;
          break;
        }
        top += run->NodeHeight;
      }
    }
  } else {
    result = NodeAtPosition(Y, &top);
  }
  if (NodeTop) *NodeTop = result ? static_cast<int32_t>(top) + (Relative ? FOffsetY : 0) : 0;
  return result;
}

// From a row on display at Top, forward to the row at Y, passing whole
// subtrees by their heights (children drawn below their parent).
PVirtualNode TBaseVirtualTree::RowFrom(PVirtualNode Run, uint32_t& Top, uint32_t Y) const {
  while (Run) {
    if (Y < Top + Run->NodeHeight) return Run;
    if (Y < Top + Run->SubtreeHeight) {
      // Inside the node's children (it is expanded, or the height would be its own).
      Top += Run->NodeHeight;
      Run = Run->FirstChild;
      while (Run && !IsEffectivelyVisible(Run)) Run = Run->NextSibling;
      continue;
    }
    Top += Run->SubtreeHeight;
    // The next row after the subtree: a shown sibling, else an ancestor's.
    for (;;) {
      PVirtualNode next = Run->NextSibling;
      while (next && !IsEffectivelyVisible(next)) next = next->NextSibling;
      if (next) {
        Run = next;
        break;
      }
      Run = Run->Parent;
      if (Run == FRoot) return nullptr;
    }
  }
  return nullptr;
}

PVirtualNode TBaseVirtualTree::TopNode() { return NodeAtPosition(0, 0, true, nullptr); }

PVirtualNode TBaseVirtualTree::BottomNode() { return NodeAtPosition(0, ClientHeight() - 1, true, nullptr); }

// --- display rectangles and widths ----------------------------------------------------------


int32_t TBaseVirtualTree::RightToLeftOffset(bool Adjust) {
  (void)Adjust;
  if (!UseRightToLeftAlignment()) return 0;
  return ClientWidth() - FHeader->Columns()->ShownWidth();
}

bool TBaseVirtualTree::NodeHasImage(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column) {
  bool ghosted = false;
  int32_t index = -1;
  TCustomImageList* list = FireGetImageIndex(Node, Kind, Column, ghosted, index);
  return index >= 0 && list != nullptr;
}

TCustomImageList* TBaseVirtualTree::FireGetImageIndex(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column,
                                                      bool& Ghosted, int32_t& Index) {
  TCustomImageList* list = Kind == TVTImageKind::ikState ? FStateImages : FImages;
  if (OnGetImageIndexEx) OnGetImageIndexEx(this, Node, Kind, Column, Ghosted, Index, list);
  else FireEvent(OnGetImageIndex, this, Node, Kind, Column, Ghosted, Index);
  return list;
}

void TBaseVirtualTree::FireBeforeCellPaint(TCanvas* Canvas, PVirtualNode Node, TColumnIndex Column,
                                           TVTCellPaintMode Mode, RECT CellRect, RECT& ContentRect) {
  FireEvent(OnBeforeCellPaint, this, Canvas, Node, Column, Mode, CellRect, ContentRect);
}

// The margins are the distances between the cell and the content rectangle
// the handler leaves.
RECT TBaseVirtualTree::CellContentMargin(PVirtualNode Node, TColumnIndex Column, TVTCellContentMarginType Type,
                                         TCanvas* Canvas) {
  RECT margin{};
  if (!OnBeforeCellPaint) return margin;
  const RECT cell{0, 0, 1000, static_cast<LONG>(Node->NodeHeight)};
  RECT content = cell;
  FireBeforeCellPaint(Canvas, Node, Column, TVTCellPaintMode::cpmGetContentMargin, cell, content);
  if (Type != TVTCellContentMarginType::ccmtBottomRightOnly) {
    margin.left = content.left - cell.left;
    margin.top = content.top - cell.top;
  }
  if (Type != TVTCellContentMarginType::ccmtTopLeftOnly) {
    margin.right = cell.right - content.right;
    margin.bottom = cell.bottom - content.bottom;
  }
  return margin;
}

namespace {
// The image list's width plus the 2 pixels of space after it.
int32_t ImageSpace(TCustomImageList* List) { return List ? List->Width() + 2 : 0; }

int32_t FontTextHeight(TFont* Font) {
  TScreenDC dc;
  if (!dc.Get()) return 0;
  TSelectObjectGuard font(dc.Get(), Font->Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.Get(), &metrics);
  return metrics.tmHeight;
}
}  // namespace

int32_t TBaseVirtualTree::CheckImageSize() const {
  TCustomImageList* images = CheckImages();
  return images ? images->Width() : 16;
}

RECT TBaseVirtualTree::NodeDisplayRect(PVirtualNode Node, TColumnIndex Column, bool TextOnly, bool Unclipped,
                                       bool ApplyCellContentMargin) {
  MevraAssert(Node != nullptr, "Node must not be nil.");
  MevraAssert(Node != FRoot, "Node must not be the hidden root node.");
  InitNode(Node);
  RECT r{};
  if (!IsEffectivelyVisible(Node) || !FullyShown(Node, false)) return r;
  CheckMeasuredHeight(Node);
  const int32_t top = static_cast<int32_t>(CachedNodeTop(Node)) + FOffsetY;
  const int32_t height = Node->NodeHeight;
  TVirtualTreeColumns* columns = FHeader->Columns();
  const bool column = columns->IsColumnIndex(Column);
  if (!column) {
    r = RECT{FOffsetX, top, std::max(ClientWidth(), FRangeX) + FOffsetX, top + height};
  } else {
    int32_t left, right;
    columns->ColumnExtent(Column, left, right);
    r = RECT{left, top, right - 1, top + height};
  }
  if (!TextOnly) return r;

  const bool mainOrRow = Column == NoColumn || Column == FHeader->MainColumn() || (!column && Column < 0);
  int32_t offset = 0;
  if (mainOrRow) {
    uint32_t level = NodeLevel(Node) + (FOptions->PaintOptions().Contains(TVTPaintOption::toShowRoot) ? 1 : 0);
    offset += FMargin + static_cast<int32_t>(level * FIndent);
    if (FOptions->MiscOptions().Contains(TVTMiscOption::toCheckSupport) && Node->CheckType != TCheckType::ctNone)
      offset += CheckImageSize() + 2;
  }
  if (NodeHasImage(Node, TVTImageKind::ikState, Column)) offset += ImageSpace(FStateImages);
  if (NodeHasImage(Node, TVTImageKind::ikNormal, Column)) offset += ImageSpace(FImages);
  TAlignment alignment = column ? columns->Items(Column)->Alignment() : FAlignment;
  const bool rightToLeft = column ? columns->Items(Column)->ReadsRightToLeft() : UseRightToLeftAlignment();
  if (rightToLeft) {
    r.right -= offset;
    if (alignment == TAlignment::taLeftJustify) alignment = TAlignment::taRightJustify;
    else if (alignment == TAlignment::taRightJustify) alignment = TAlignment::taLeftJustify;
  } else {
    r.left += offset;
  }
  const int32_t content = NodeContentWidth(Node, Column, Canvas());
  const int32_t rowHeight = height;
  if (ApplyCellContentMargin) {
    RECT cell = r;
    FireBeforeCellPaint(Canvas(), Node, Column, TVTCellPaintMode::cpmGetContentMargin, cell, r);
  }
  const int32_t width = r.right - r.left;
  if (!Unclipped) {
    if (content < width) {
      switch (alignment) {
        case TAlignment::taLeftJustify: r.right = r.left + content; break;
        case TAlignment::taRightJustify: r.left = r.right - content; break;
        case TAlignment::taCenter:
          r.left += (width - content) / 2;
          r.right = r.left + content;
          break;
      }
    }
    return r;
  }
  if (width < content - 1) alignment = rightToLeft ? TAlignment::taRightJustify : TAlignment::taLeftJustify;
  const int32_t textHeight = std::min(FontTextHeight(Font()), rowHeight);
  if (r.bottom - r.top < textHeight) {
    const int32_t grow = (textHeight - (r.bottom - r.top) + 1) / 2;
    r.top -= grow;
    r.bottom += grow;
  }
  switch (alignment) {
    case TAlignment::taRightJustify: r.left = r.right - content; break;
    case TAlignment::taCenter:
      r.left += (width - content) / 2;
      r.right = r.left + content;
      break;
    case TAlignment::taLeftJustify: r.right = r.left + content - 1; break;
  }
  return r;
}

int32_t TBaseVirtualTree::GetMaxColumnWidth(TColumnIndex Column, bool UseSmartColumnWidth) {
  TVirtualTreeColumns* columns = FHeader->Columns();
  if (OperationCanceled()) return columns->IsColumnIndex(Column) ? columns->Items(Column)->Width() : 0;
  BeginOperation();
  struct TOperationEnd {
    TBaseVirtualTree& Tree;
    ~TOperationEnd() { Tree.EndOperation(); }
  } operationEnd{*this};
  FireEvent(OnBeforeGetMaxColumnWidth, FHeader, Column, UseSmartColumnWidth);
  const bool main = Column == FHeader->MainColumn() || !columns->IsColumnIndex(Column);
  const bool showRoot = FOptions->PaintOptions().Contains(TVTPaintOption::toShowRoot);
  const bool fixedIndent = FOptions->PaintOptions().Contains(TVTPaintOption::toFixedIndent);
  const bool checks = FOptions->MiscOptions().Contains(TVTMiscOption::toCheckSupport);
  int32_t widest = 0;
  int32_t top = 0;
  PVirtualNode run = UseSmartColumnWidth ? NodeAtPosition(0, 0, true, &top) : FirstVisibleNode(nullptr, true);
  const int32_t bottom = ClientHeight();
  for (; run && !OperationCanceled(); run = NextVisibleNode(run, true)) {
    if (UseSmartColumnWidth && top >= bottom) break;
    int32_t width = FMargin;
    if (main) {
      if (fixedIndent) width += static_cast<int32_t>(FIndent);
      else width += static_cast<int32_t>((NodeLevel(run) + (showRoot ? 1 : 0)) * FIndent);
      if (checks && run->CheckType != TCheckType::ctNone) width += CheckImageSize() + 2;
    }
    if (NodeHasImage(run, TVTImageKind::ikState, Column)) width += ImageSpace(FStateImages);
    if (NodeHasImage(run, TVTImageKind::ikNormal, Column)) width += ImageSpace(FImages);
    width += NodeContentWidth(run, Column, Canvas());
    const RECT margin = CellContentMargin(run, Column, TVTCellContentMarginType::ccmtAllSides, Canvas());
    width += margin.left + margin.right;
    widest = std::max(widest, width);
    top += static_cast<int32_t>(run->NodeHeight);
  }
  if (FOptions->PaintOptions().Contains(TVTPaintOption::toShowVertGridLines)) ++widest;
  FireEvent(OnAfterGetMaxColumnWidth, FHeader, Column, widest);
  return widest;
}

// --- repaint helpers ---------------------------------------------------------------------------

RECT TBaseVirtualTree::InvalidateNode(PVirtualNode Node) {
  RECT r{};
  if (!Node || Node == FRoot || !HandleAllocated() || FUpdateCount > 0) return r;
  r = NodeDisplayRect(Node, NoColumn, false, true);
  if (!IsRectEmpty(&r)) InvalidateRect(Handle(), &r, FALSE);
  return r;
}

void TBaseVirtualTree::InvalidateToBottom(PVirtualNode Node) {
  if (!HandleAllocated() || FUpdateCount > 0) return;
  if (!Node || Node == FRoot) {
    Invalidate();
    return;
  }
  if (!IsEffectivelyVisible(Node) || !FullyShown(Node, false)) return;
  RECT r = NodeDisplayRect(Node, NoColumn, false);
  if (ChildrenAbove() && Node->StateBits.Contains(NS::nsExpanded))
    r.top -= static_cast<LONG>(Node->SubtreeHeight - Node->NodeHeight);
  r.bottom = ClientHeight();
  InvalidateRect(Handle(), &r, FALSE);
}

void TBaseVirtualTree::InvalidateColumn(TColumnIndex Column) {
  if (!HandleAllocated() || FUpdateCount > 0 || !FHeader->Columns()->IsColumnIndex(Column)) return;
  int32_t left, right;
  FHeader->Columns()->ColumnExtent(Column, left, right);
  const RECT r{left, 0, right, ClientHeight()};
  InvalidateRect(Handle(), &r, FALSE);
}

void TBaseVirtualTree::RepaintNode(PVirtualNode Node) {
  if (!Node || Node == FRoot || !HandleAllocated()) return;
  const RECT r = NodeDisplayRect(Node, NoColumn, false);
  RedrawWindow(Handle(), &r, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_NOERASE | RDW_NOCHILDREN);
}
