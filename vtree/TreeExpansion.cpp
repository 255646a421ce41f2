// Expanding and collapsing, with the scroll adjustments that keep the toggled
// node where the user expects it; expanding and collapsing whole subtrees;
// scrolling a node into view; the scroll offsets and content ranges.
#include "vtree/VirtualTree.h"

#include "platform/Bitmap.h"
#include "platform/Forms.h"
#include "platform/ImageList.h"

#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using AO = TVTAutoOption;
using PO = TVTPaintOption;

// The system time, waited for busily: frames come at the pace asked even when
// the message queue is idle.
class TSystemPacer : public TVTAnimationPacer {
public:
  uint32_t Now() override { return timeGetTime(); }
  void WaitFrom(uint32_t Start, uint32_t Interval) override {
    while (timeGetTime() - Start < Interval) Sleep(0);
  }
};

bool ApplicationTerminating() { return Application && Application->Terminated(); }
}  // namespace

void TBaseVirtualTree::RunAnimation(uint32_t Distance, uint32_t Duration, const TVTAnimationCallback& Callback,
                                    void* Data) {
  if (FStates.Contains(TS::tsInAnimation) || Duration == 0 || !Callback) return;
  static TSystemPacer systemPacer;
  TVTAnimationPacer& pacer = FAnimationPacer ? *FAnimationPacer : systemPacer;
  ChangeStates({TS::tsInAnimation}, {});
  struct TAnimationEnd {
    TBaseVirtualTree& Tree;
    ~TAnimationEnd() { Tree.ChangeStates({}, {TS::tsInAnimation, TS::tsCancelHintAnimation}); }
  } animationEnd{*this};

  uint32_t stepSize = std::max<uint32_t>(
      1, static_cast<uint32_t>(std::lround(std::max(static_cast<double>(Distance) / Duration, 1.0))));
  uint32_t remainingSteps = Distance / stepSize;
  uint32_t remainingDuration = Duration;
  uint32_t step = 0;
  while (remainingSteps > 0 && remainingDuration > 0 && !ApplicationTerminating()) {
    const uint32_t start = pacer.Now();
    if (!Callback(step, stepSize, Data)) break;
    pacer.WaitFrom(start, remainingDuration / remainingSteps);
    const uint32_t elapsed = pacer.Now() - start;
    remainingDuration = elapsed >= remainingDuration ? 0 : remainingDuration - elapsed;
    remainingSteps = remainingDuration == 0 ? 0 : remainingSteps - 1;
    while (remainingSteps > 0 && remainingDuration / remainingSteps == 0) {
      ++stepSize;
      remainingSteps = remainingDuration / stepSize;
    }
    // The distance covered so far: the steps still to come, each StepSize
    // pixels, are what is left of it.
    const uint64_t left = static_cast<uint64_t>(remainingSteps) * stepSize;
    step = left >= Distance ? 0 : Distance - static_cast<uint32_t>(left);
  }
  if (!ApplicationTerminating()) Callback(0, 0, Data);
}

void TBaseVirtualTree::AnimateToggle(PVirtualNode Node, const RECT& R, int32_t HeightDelta) {
  if (!HandleAllocated() || HeightDelta == 0) return;
  const RECT client = ClientRect();
  const bool childrenAbove = ChildrenAbove();
  RECT area = client;
  if (childrenAbove) area.bottom = std::min(R.top, client.bottom);
  else area.top = std::max(R.bottom, 0L);
  if (area.bottom <= area.top) return;
  const uint32_t distance =
      static_cast<uint32_t>(std::min<int64_t>(std::abs(static_cast<int64_t>(HeightDelta)), area.bottom - area.top));
  // Expanding below the node and collapsing above it move the rows down.
  const bool down = (HeightDelta > 0) != childrenAbove;
  HDC dc = GetDC(FHandle);
  if (!dc) return;
  struct TDCRelease {
    HWND Window;
    HDC DC;
    ~TDCRelease() { ReleaseDC(Window, DC); }
  } release{FHandle, dc};

  // The advanced toggle shows, in the strip the moving rows leave behind, the
  // rows that will stand there: the node's state changes first, those rows
  // are painted off screen, and each frame slides them in by the distance
  // covered (from under the node when the strip opens next to it, from the
  // window's edge otherwise). The strip is the first `distance` rows of the
  // area when the rows move down, its last ones when they move up.
  const int32_t width = client.right - client.left;
  TGdiObject incoming;
  TMemoryDC incomingDC;
  TSelectObjectGuard incomingSelect;
  if (FOptions->AnimationOptions().Contains(TVTAnimationOption::toAdvancedAnimatedToggle) && Node && width > 0) {
    ChangeNodeExpanded(Node, HeightDelta > 0);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -static_cast<LONG>(distance);
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    incoming.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (incoming.Get()) {
      incomingSelect.Select(incomingDC.Get(), incoming.Get());
      // The node keeps its place on screen; with the children above it the
      // content below it moved by the height change.
      const RECT newRow = NodeDisplayRect(Node, NoColumn, false);
      const int32_t shift = newRow.top - R.top;
      const LONG stripTop = down ? area.top : area.bottom - static_cast<LONG>(distance);
      TCanvas canvas;
      canvas.SetHandle(incomingDC.Get());
      RenderClientArea(&canvas, RECT{client.left, stripTop, client.right, stripTop + static_cast<LONG>(distance)},
                       POINT{0, 0}, shift);
      canvas.SetHandle(nullptr);
      GdiFlush();
    }
  }
  const bool slideIn = incoming.Get() != nullptr;

  // The strip the rows left behind shows the tree's colour, or each shown
  // column's across its width.
  auto fillStrip = [&](const RECT& strip) {
    if (FHeader->Options().Contains(TVTHeaderOption::hoVisible) && FHeader->Columns()->Count() > 0) {
      for (TColumnIndex column : FHeader->Columns()->ShownColumns()) {
        int32_t left = 0, right = 0;
        FHeader->Columns()->ColumnExtent(column, left, right);
        RECT part{std::max<LONG>(strip.left, left), strip.top, std::min<LONG>(strip.right, right), strip.bottom};
        if (part.right <= part.left) continue;
        HBRUSH brush = CreateSolidBrush(ColorToRGB(FHeader->Columns()->Items(column)->Color()));
        FillRect(dc, &part, brush);
        DeleteObject(brush);
      }
    } else {
      HBRUSH brush = CreateSolidBrush(ColorToRGB(Color()));
      FillRect(dc, &strip, brush);
      DeleteObject(brush);
    }
  };
  const int32_t areaHeight = area.bottom - area.top;
  int32_t covered = 0;
  RunAnimation(
      distance, FAnimationDuration,
      [&](uint32_t, uint32_t StepSize, void*) {
        if (StepSize == 0) return true;
        const int32_t dy = static_cast<int32_t>(std::min<uint32_t>(StepSize, static_cast<uint32_t>(areaHeight)));
        ScrollDC(dc, 0, down ? dy : -dy, &area, &area, nullptr, nullptr);
        covered = std::min<int32_t>(covered + dy, static_cast<int32_t>(distance));
        if (slideIn) {
          // The incoming rows move along with the others.
          if (down)
            BitBlt(dc, client.left, area.top, width, covered, incomingDC.Get(), 0, static_cast<int>(distance) - covered,
                   SRCCOPY);
          else
            BitBlt(dc, client.left, area.bottom - covered, width, covered, incomingDC.Get(), 0, 0, SRCCOPY);
        } else {
          fillStrip(down ? RECT{area.left, area.top, area.right, area.top + dy}
                         : RECT{area.left, area.bottom - dy, area.right, area.bottom});
        }
        return true;
      },
      nullptr);
  // The last frame shows every incoming row, whatever the steps covered.
  if (slideIn && covered < static_cast<int32_t>(distance)) {
    const LONG top = down ? area.top : area.bottom - static_cast<LONG>(distance);
    BitBlt(dc, client.left, top, width, static_cast<int>(distance), incomingDC.Get(), 0, 0, SRCCOPY);
  }
}

void TBaseVirtualTree::SetExpanded(PVirtualNode Node, bool Value) {
  if (!Node || Node == FRoot || Expanded(Node) == Value) return;
  ToggleNodeExpansion(Node);
}

bool TBaseVirtualTree::FireExpanding(PVirtualNode Node) {
  bool allowed = true;
  FireEvent(OnExpanding, this, Node, allowed);
  return allowed;
}

void TBaseVirtualTree::FireExpanded(PVirtualNode Node) { FireEvent(OnExpanded, this, Node); }

bool TBaseVirtualTree::FireCollapsing(PVirtualNode Node) {
  bool allowed = true;
  FireEvent(OnCollapsing, this, Node, allowed);
  return allowed;
}

void TBaseVirtualTree::FireCollapsed(PVirtualNode Node) { FireEvent(OnCollapsed, this, Node); }

void TBaseVirtualTree::FireTreeScroll(int DeltaX, int DeltaY) { FireEvent(OnScroll, this, DeltaX, DeltaY); }

void TBaseVirtualTree::ToggleNodeExpansion(PVirtualNode Node) {
  MevraAssert(Node != nullptr, "Node must not be nil.");
  if (Node == FRoot) return;
  const bool wasToggling = FStates.Contains(TS::tsToggling);
  if (Node->StateBits.Contains(NS::nsToggling) || Node->StateBits.Contains(NS::nsDeleting)) return;
  ChangeStates({TS::tsToggling}, {});
  Node->StateBits.Include(NS::nsToggling);
  struct TToggleEnd {
    TBaseVirtualTree& Tree;
    PVirtualNode Node;
    bool WasToggling;
    ~TToggleEnd() {
      Node->StateBits.Exclude(NS::nsToggling);
      if (!WasToggling) Tree.ChangeStates({}, {TS::tsToggling});
    }
  } toggleEnd{*this, Node, wasToggling};

  const bool childrenAbove = ChildrenAbove();
  bool toggled = false, expanding = false;
  RECT row{};
  int32_t heightDelta = 0;
  bool totalFit = false, posHoldable = false, childrenInView = false, nodeInView = false;
  auto measure = [&] {
    // Taken before the node's state and heights change.
    if (!childrenAbove && FUpdateCount > 0) return;
    row = NodeDisplayRect(Node, NoColumn, false);
    const int32_t clientHeight = ClientHeight();
    totalFit = static_cast<int32_t>(Node->NodeHeight) + heightDelta <= clientHeight;
    if (childrenAbove) {
      posHoldable = totalFit && FRangeY >= clientHeight;
      childrenInView = row.top - heightDelta >= 0;
      nodeInView = row.bottom <= clientHeight;
    } else {
      posHoldable = totalFit;
      childrenInView = row.bottom + heightDelta <= clientHeight;
    }
  };

  if (Node->StateBits.Contains(NS::nsExpanded)) {
    if (FireCollapsing(Node)) {
      // The collapsed node keeps its place on screen when its children are
      // drawn above it.
      if (Node->FirstChild) heightDelta = static_cast<int32_t>(Node->NodeHeight) - static_cast<int32_t>(Node->SubtreeHeight);
      measure();
      if (FOptions->AnimationOptions().Contains(TVTAnimationOption::toAnimatedToggle) && FUpdateCount == 0 &&
          !FStates.Contains(TS::tsCollapsing) && HandleAllocated()) {
        if (Application) Application->CancelHint();
        UpdateWindow(FHandle);
        AnimateToggle(Node, row, heightDelta);
      }
      ChangeNodeExpanded(Node, false);
      toggled = true;
      FireCollapsed(Node);
      if (FOptions->AutoOptions().Contains(AO::toAutoFreeOnCollapse) && Node->FirstChild) {
        DoRemoveChildNodes(Node, false);
        Node->StateBits.Include(NS::nsHasChildren);
      }
    }
  } else if (FireExpanding(Node)) {
    InitNode(Node);
    InitChildrenIfNeeded(Node);
    if (Node->FirstChild) {
      for (PVirtualNode child = Node->FirstChild; child; child = child->NextSibling)
        if (IsEffectivelyVisible(child)) heightDelta += static_cast<int32_t>(child->SubtreeHeight);
      measure();
      if (FOptions->AnimationOptions().Contains(TVTAnimationOption::toAnimatedToggle) && FUpdateCount == 0 &&
          !FStates.Contains(TS::tsExpanding) && !FStates.Contains(TS::tsPainting) && HandleAllocated() &&
          row.bottom > 0 && row.top < ClientHeight())
        AnimateToggle(Node, row, heightDelta);
      ChangeNodeExpanded(Node, true);
      toggled = expanding = true;
      FireExpanded(Node);
    }
  }

  if (!toggled) {
    InvalidateNode(Node);
    return;
  }
  InvalidatePositionCache();
  if (FUpdateCount > 0) {
    UpdateRanges();
    return;
  }
  RequestCacheValidation();
  if (!Node->FirstChild) {
    InvalidateNode(Node);
    return;
  }
  UpdateRanges();
  bool whole = false;
  if (!FStates.Contains(TS::tsExpanding) && !FStates.Contains(TS::tsPainting)) {
    const int32_t before = FOffsetY;
    // Only the last-row case of rule (c) may leave the rows above in place.
    const bool lastRowCase = expanding && !childrenAbove && posHoldable &&
                             FOptions->AutoOptions().Contains(AO::toAutoScrollOnExpand);
    ToggleScroll(Node, expanding, row, heightDelta, totalFit, posHoldable, childrenInView, nodeInView);
    whole = !lastRowCase || before != FOffsetY;
  }
  UpdateScrollBars(true);
  if (whole) Invalidate();
  else InvalidateToBottom(Node);
}

void TBaseVirtualTree::ToggleScroll(PVirtualNode Node, bool Expanding, const RECT& Row, int32_t HeightDelta, bool TotalFit,
                                    bool PosHoldable, bool ChildrenInView, bool NodeInView) {
  const bool childrenAbove = ChildrenAbove();
  const bool autoScroll = FOptions->AutoOptions().Contains(AO::toAutoScrollOnExpand);
  const int32_t clientHeight = ClientHeight();
  if (!Expanding || (!autoScroll && !childrenAbove)) {
    // (a) The node keeps its place when its children are drawn above it.
    if (childrenAbove) SetOffsetY(FOffsetY - HeightDelta);
  } else if (childrenAbove) {
    // (b)
    if ((PosHoldable && ChildrenInView && NodeInView) || !autoScroll) {
      SetOffsetY(FOffsetY - HeightDelta);
    } else if (PVirtualNode first = FirstVisibleNode(Node, true); TotalFit && NodeInView && first) {
      // The subtree's first row lands at the top of the client area.
      SetOffsetY(FOffsetY - NodeDisplayRect(first, NoColumn, false).top);
    } else {
      const RECT now = NodeDisplayRect(Node, NoColumn, false);
      SetOffsetY(FOffsetY - (now.bottom - clientHeight));
    }
  } else if (PosHoldable) {
    // (c) The whole subtree fits: its last row comes into view.
    if (PVirtualNode last = LastVisibleNode(Node, true)) ScrollNodeIntoView(last, false, false);
  } else {
    SetOffsetY(FOffsetY - Row.top);
  }
}

void TBaseVirtualTree::ExpandAllNodes(PVirtualNode Node) {
  if (FRoot->SubtreeCount < 2) return;
  if (Node == FRoot) Node = nullptr;
  // The node after Node's subtree bounds the walk; toggling only adds nodes inside it.
  PVirtualNode stop = nullptr;
  if (Node)
    for (PVirtualNode run = Node; run != FRoot && !stop; run = run->Parent) stop = run->NextSibling;
  ChangeStates({TS::tsExpanding}, {});
  try {
    InBracket([&] {
      for (PVirtualNode run = Node ? Node : FirstNode(false); run && run != stop; run = NextNode(run, false)) {
        InitNode(run);
        if (!run->StateBits.Contains(NS::nsExpanded)) ToggleNodeExpansion(run);
      }
    });
  } catch (...) {
    ChangeStates({}, {TS::tsExpanding});
    throw;
  }
  ChangeStates({}, {TS::tsExpanding});
}

void TBaseVirtualTree::CollapseAllNodes(PVirtualNode Node) {
  if (FRoot->SubtreeCount < 2) return;
  if (Node == FRoot) Node = nullptr;
  ChangeStates({TS::tsCollapsing}, {});
  try {
    InBracket([&] {
      PVirtualNode run = LastVisibleNodeRaw(Node, false);
      while (run && run != Node) {
        PVirtualNode previous = PreviousNodeRaw(run, false);
        if (run->StateBits.Contains(NS::nsExpanded) && run->StateBits.Contains(NS::nsHasChildren)) ToggleNodeExpansion(run);
        run = previous;
      }
      if (Node && Node->StateBits.Contains(NS::nsExpanded) && Node->StateBits.Contains(NS::nsHasChildren))
        ToggleNodeExpansion(Node);
    });
  } catch (...) {
    ChangeStates({}, {TS::tsCollapsing});
    throw;
  }
  ChangeStates({}, {TS::tsCollapsing});
}

bool TBaseVirtualTree::ScrollNodeIntoView(PVirtualNode Node, bool Center, bool Horizontally) {
  if (!Node || Node == FRoot) return false;
  // Open the way down to the node, from the top.
  std::vector<PVirtualNode> closed;
  for (PVirtualNode run = Node->Parent; run != FRoot; run = run->Parent)
    if (!run->StateBits.Contains(NS::nsExpanded)) closed.push_back(run);
  for (auto it = closed.rbegin(); it != closed.rend(); ++it) ToggleNodeExpansion(*it);

  const bool headerShown = FHeader->Options().Contains(TVTHeaderOption::hoVisible);
  const bool columnShown = headerShown && FHeader->Columns()->IsColumnIndex(FFocusedColumn);
  const TColumnIndex column = columnShown ? FFocusedColumn : NoColumn;
  const bool textOnly = !FOptions->MiscOptions().Contains(TVTMiscOption::toGridExtensions);
  RECT r = NodeDisplayRect(Node, column, textOnly);
  if (IsRectEmpty(&r) && r.top == 0 && r.bottom == 0) return false;
  const int32_t clientHeight = ClientHeight(), clientWidth = ClientWidth();
  bool scrolled = false;
  if (r.top < 0) {
    SetOffsetY(FOffsetY - r.top + (Center ? clientHeight / 2 : 0));
    scrolled = true;
  } else if (r.bottom > clientHeight || Center) {
    const bool barBefore = clientWidth < FRangeX;
    SetOffsetY(FOffsetY + (Center ? clientHeight / 2 : clientHeight) - r.bottom);
    UpdateRanges();
    if (!headerShown && !barBefore && clientWidth < FRangeX) SetOffsetY(FOffsetY - GetSystemMetrics(SM_CYHSCROLL));
    scrolled = true;
  }
  if (Horizontally && columnShown) {
    TVirtualTreeColumns* columns = FHeader->Columns();
    int32_t left, right;
    columns->ColumnExtent(column, left, right);
    const int32_t fixed = columns->FixedAreaWidth();
    int32_t wanted = left;
    if (Center) wanted = fixed + (clientWidth - fixed - (right - left)) / 2;
    else if (right > clientWidth) wanted = left - (right - clientWidth);
    else if (left < fixed) wanted = fixed;
    if (wanted != left) SetOffsetX(FOffsetX + (wanted - left));
    return true;
  }
  return scrolled;
}

// --- offsets and ranges ---------------------------------------------------------------

void TBaseVirtualTree::SetOffsetX(int32_t Value) { SetOffsetXY(POINT{Value, FOffsetY}); }

void TBaseVirtualTree::SetOffsetY(int32_t Value) { SetOffsetXY(POINT{FOffsetX, Value}); }

void TBaseVirtualTree::SetOffsetXY(POINT Value, const TScrollUpdateOptions& Options) { ApplyScrollOffset(Value, Options); }

// The content moves by the deltas on screen: ScrollWindow moves what is
// already painted and invalidates what it uncovers. Fixed columns keep
// their place when the content moves sideways.
bool TBaseVirtualTree::ApplyScrollOffset(POINT NewOffset, const TScrollUpdateOptions& Options, const RECT* ClipRect) {
  const int32_t clientWidth = ClientWidth(), clientHeight = ClientHeight();
  const int32_t x = std::max(std::min<int32_t>(NewOffset.x, 0), std::min(0, clientWidth - FRangeX));
  const int32_t y = std::max(std::min<int32_t>(NewOffset.y, 0), std::min(0, clientHeight - FRangeY));
  int32_t deltaX = x - FOffsetX;
  if (UseRightToLeftAlignment()) deltaX = -deltaX;
  const int32_t deltaY = y - FOffsetY;
  if (deltaX == 0 && deltaY == 0) return false;
  FOffsetX = x;
  FOffsetY = y;
  FEffectiveOffsetX = UseRightToLeftAlignment() ? std::max(0, FRangeX + FOffsetX - clientWidth) : -FOffsetX;
  if (FUpdateCount == 0 && HandleAllocated()) {
    if (Options.Contains(TScrollUpdateOption::suoScrollClientArea) && !FStates.Contains(TS::tsToggling)) {
      const RECT clip = ClipRect ? *ClipRect : RECT{0, 0, clientWidth, clientHeight};
      auto* picture = ObjectAs<TBitmap>(FBackground->Graphic());
      const int32_t fixed = FHeader->Options().Contains(TVTHeaderOption::hoVisible) ? FHeader->Columns()->FixedAreaWidth() : 0;
      if (FOptions->PaintOptions().Contains(TVTPaintOption::toShowBackground) && picture && !picture->Empty()) {
        // The picture does not move with the rows: only the child windows move.
        MoveChildWindows(deltaX, deltaY);
        InvalidateRect(Handle(), nullptr, FALSE);
      } else if (std::abs(deltaX) >= clip.right - clip.left || std::abs(deltaY) >= clip.bottom - clip.top) {
        // Nothing that is shown stays in view: repainting is all there is to do.
        InvalidateRect(Handle(), &clip, FALSE);
      } else if (deltaX != 0 && fixed > 0) {
        RECT right = clip;
        right.left = std::max<LONG>(right.left, fixed);
        if (right.left < right.right) ScrollWindow(Handle(), deltaX, 0, &right, &right);
        if (deltaY != 0) ScrollWindow(Handle(), 0, deltaY, &clip, &clip);
      } else {
        ScrollWindow(Handle(), deltaX, deltaY, &clip, &clip);
      }
    }
    if (Options.Contains(TScrollUpdateOption::suoUpdateNCArea)) {
      if (deltaX != 0) {
        if (Options.Contains(TScrollUpdateOption::suoRepaintHeader) && FHeader->Options().Contains(TVTHeaderOption::hoVisible))
          FHeader->InvalidateHeader();
        if (!FStates.Contains(TS::tsSizing)) UpdateHorizontalScrollBar(Options.Contains(TScrollUpdateOption::suoRepaintScrollBars));
      }
      if (deltaY != 0 && !FStates.Contains(TS::tsSizing) && !FStates.Contains(TS::tsThumbTracking)) {
        UpdateVerticalScrollBar(Options.Contains(TScrollUpdateOption::suoRepaintScrollBars));
        if (!FHeader->Options().Contains(TVTHeaderOption::hoVisible) && !FStates.Contains(TS::tsDrawSelecting))
          UpdateHorizontalScrollBar(Options.Contains(TScrollUpdateOption::suoRepaintScrollBars));
      }
    }
    // Hot tracking follows the content under a mouse that stays put.
    POINT cursor;
    if (GetCursorPos(&cursor)) {
      ::ScreenToClient(Handle(), &cursor);
      if (cursor.x >= 0 && cursor.y >= 0 && cursor.x < clientWidth && cursor.y < clientHeight)
        TrackHotNode(cursor.x, cursor.y);
    }
  }
  // The editor is a child window the scrolled area does not take along.
  if (IsEditing()) PlaceEditor();
  FireTreeScroll(deltaX, deltaY);
  return true;
}

void TBaseVirtualTree::MoveChildWindows(int32_t DeltaX, int32_t DeltaY) {
  std::vector<HWND> children;
  for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) children.push_back(child);
  if (children.empty()) return;
  HDWP positions = BeginDeferWindowPos(static_cast<int>(children.size()));
  for (HWND child : children) {
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, Handle(), reinterpret_cast<POINT*>(&r), 2);
    if (positions)
      positions = DeferWindowPos(positions, child, nullptr, r.left + DeltaX, r.top + DeltaY, 0, 0,
                                 SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  if (positions) EndDeferWindowPos(positions);
}

// Without a header the content is as wide as the rows on screen reach; a
// tree without a window shows none, so its width is not measured.
void TBaseVirtualTree::UpdateRanges() {
  FRangeY = static_cast<int32_t>(FRoot->SubtreeHeight) + static_cast<int32_t>(FBottomSpace) - FRoot->NodeHeight;
  if (FHeader->Options().Contains(TVTHeaderOption::hoVisible)) FRangeX = FHeader->Columns()->ShownWidth();
  else FRangeX = HandleAllocated() ? VisibleContentWidth() : 0;
}

int32_t TBaseVirtualTree::VisibleContentWidth() {
  const bool showRoot = FOptions->PaintOptions().Contains(TVTPaintOption::toShowRoot);
  const bool checks = FOptions->MiscOptions().Contains(TVTMiscOption::toCheckSupport);
  int32_t widest = 0;
  int32_t top = 0;
  PVirtualNode run = NodeAtPosition(0, 0, true, &top);
  const int32_t bottom = Height();
  for (; run && top < bottom; run = NextVisibleNode(run, true)) {
    int32_t right = FMargin + static_cast<int32_t>((NodeLevel(run) + (showRoot ? 1 : 0)) * FIndent);
    if (checks && run->CheckType != TCheckType::ctNone) right += CheckImageSize() + 2;
    if (FStateImages && NodeHasImage(run, TVTImageKind::ikState, NoColumn)) right += FStateImages->Width() + 2;
    if (FImages && NodeHasImage(run, TVTImageKind::ikNormal, NoColumn)) right += FImages->Width() + 2;
    right += NodeContentWidth(run, NoColumn, Canvas()) + FMargin;
    widest = std::max(widest, right);
    top += static_cast<int32_t>(run->NodeHeight);
  }
  return widest;
}

// Nodes are measured the first time their height is used for layout when
// heights vary.
void TBaseVirtualTree::CheckMeasuredHeight(PVirtualNode Node) {
  if (!Node || Node == FRoot || !FOptions->MiscOptions().Contains(TVTMiscOption::toVariableNodeHeight) ||
      Node->StateBits.Contains(NS::nsHeightMeasured))
    return;
  InitNode(Node);
  Node->StateBits.Include(NS::nsHeightMeasured);
  int32_t height = Node->NodeHeight;
  FireEvent(OnMeasureItem, this, Canvas(), Node, height);
  if (height >= 0 && static_cast<uint32_t>(height) != Node->NodeHeight) SetNodeHeight(Node, static_cast<uint32_t>(height));
}
