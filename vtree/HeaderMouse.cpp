// The header's mouse: column widths by their splitters, the header height by
// its bottom edge, columns reordered by dragging, clicks, double clicks and
// the cursors. The tree hands every message to the header first.
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeHeader.h"

#include "platform/Screen.h"

#include <windowsx.h>

#include <cstdlib>

namespace {
using HS = THeaderState;
using HO = TVTHeaderOption;
using CO = TVTColumnOption;
using TS = TVirtualTreeState;

constexpr UINT_PTR HeaderTimer = 3;

// The mouse point of a message in client co-ordinates (non-client messages
// carry a screen point).
POINT ClientPoint(HWND Wnd, const TMessage& Message, bool Screen) {
  POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  if (Screen) ScreenToClient(Wnd, &p);
  return p;
}
}  // namespace

bool TVTHeader::PointOnHeightSplitter(POINT P) const {
  return FOptions.Contains(HO::hoVisible) && P.y >= -2 && P.y <= 2;
}

// Header co-ordinates: y from 0 at the header's top.
bool TVTHeader::FindSplitter(POINT P) {
  TVirtualTreeColumns* columns = FColumns;
  columns->FTrackIndex = NoColumn;
  if (columns->Count() == 0) return false;
  const int32_t fixed = columns->FixedAreaWidth();
  const int32_t offset = FOwner->EffectiveOffsetX();
  int32_t left = 0;
  for (TColumnIndex index : columns->FPositionToIndex) {
    if (!columns->IsColumnIndex(index)) continue;
    TVirtualTreeColumn* column = columns->Items(index);
    if (!column->IsVisible()) continue;
    const bool isFixed = column->Options().Contains(CO::coFixed);
    const int32_t start = isFixed ? left : left - offset;
    const int32_t edge = start + column->Width();
    left += column->Width();
    if (!(P.x > edge - 3 && P.x < edge + 5)) continue;
    if (!isFixed && P.x <= fixed) continue;
    if (!column->Options().Contains(CO::coResizable)) continue;
    columns->FTrackIndex = index;
    FTrackPoint = POINT{start, P.y};
  }
  return columns->FTrackIndex != NoColumn;
}

void TVTHeader::EndColumnDrag() {
  FDragging = false;
  FColumns->FDropTarget = NoColumn;
  FColumns->FDragIndex = NoColumn;
  InvalidateHeader();
}

bool TVTHeader::HandleHeaderMessage(TMessage& Message) {
  if (!FOwner->HandleAllocated()) return false;
  HWND wnd = FOwner->Handle();
  TVirtualTreeColumns* columns = FColumns;
  switch (Message.Msg) {
    case WM_KILLFOCUS:
    case WM_KEYDOWN:
    case WM_CANCELMODE: {
      if (Message.Msg == WM_KEYDOWN && Message.WParam != VK_ESCAPE) return false;
      bool handled = false;
      if (FStates.Contains(HS::hdsDragging)) {
        if (GetCapture() == wnd) ReleaseCapture();
        EndColumnDrag();
        handled = true;
      } else if (FStates.Contains(HS::hdsWidthTracking) || FStates.Contains(HS::hdsHeightTracking)) {
        if (GetCapture() == wnd) ReleaseCapture();
        if (FStates.Contains(HS::hdsWidthTracking)) FireAfterColumnWidthTracking(columns->FTrackIndex);
        if (FStates.Contains(HS::hdsHeightTracking)) FireAfterHeaderHeightTracking();
        handled = true;
      }
      FStates -= THeaderStates{HS::hdsDragging, HS::hdsDragPending, HS::hdsWidthTracking, HS::hdsWidthTrackPending,
                               HS::hdsHeightTracking, HS::hdsHeightTrackPending};
      return handled && Message.Msg == WM_KEYDOWN;
    }
    case WM_SETCURSOR: {
      if (reinterpret_cast<HWND>(Message.WParam) != wnd) return false;
      if (FStates.Contains(HS::hdsWidthTracking) || FStates.Contains(HS::hdsHeightTracking) ||
          FStates.Contains(HS::hdsDragging)) {
        Message.Result = 1;
        return true;
      }
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(wnd, &p);
      HCURSOR cursor = nullptr;
      if (FOptions.Contains(HO::hoHeightResize) && PointOnHeightSplitter(p))
        cursor = Screen->Cursors(crVertSplit);
      else if (PointInHeader(p) && FOptions.Contains(HO::hoColumnResize) && FindSplitter(POINT{p.x, p.y + FHeight}))
        cursor = Screen->Cursors(crHeaderSplit);
      if (!cursor) return false;
      ::SetCursor(cursor);
      Message.Result = 1;
      return true;
    }
    case WM_NCLBUTTONDOWN:
    case WM_LBUTTONDOWN: {
      const bool client = Message.Msg == WM_LBUTTONDOWN;
      const POINT p = ClientPoint(wnd, Message, !client);
      const POINT h{p.x, p.y + FHeight};
      FDragStart = POINT{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
      if (client) ClientToScreen(wnd, &FDragStart);
      const TShiftState shift = KeyboardShiftState();
      if (FOptions.Contains(HO::hoHeightResize) && PointOnHeightSplitter(p)) {
        FTrackStart = p;
        columns->FHoverIndex = NoColumn;
        FireBeforeHeaderHeightTracking(shift);
        FStates.Include(HS::hdsHeightTrackPending);
        SetCapture(wnd);
        return true;
      }
      if (FOptions.Contains(HO::hoColumnResize) && PointInHeader(p) && FindSplitter(h)) {
        FTrackStart = p;
        columns->FHoverIndex = NoColumn;
        FireBeforeColumnWidthTracking(columns->FTrackIndex, shift);
        FStates.Include(HS::hdsWidthTrackPending);
        SetCapture(wnd);
        return true;
      }
      if (!PointInHeader(p)) return false;
      columns->TrackPressedColumn(h);
      if (FOptions.Contains(HO::hoDrag) && columns->IsColumnIndex(columns->FDownIndex) &&
          columns->Items(columns->FDownIndex)->Options().Contains(CO::coDraggable)) {
        FStates.Include(HS::hdsDragPending);
        SetCapture(wnd);
        return true;
      }
      return false;
    }
    case WM_MOUSEMOVE: {
      const POINT p = ClientPoint(wnd, Message, false);
      if (FStates.Contains(HS::hdsWidthTrackPending)) {
        FStates.Exclude(HS::hdsWidthTrackPending);
        FStates.Include(HS::hdsWidthTracking);
      }
      if (FStates.Contains(HS::hdsHeightTrackPending)) {
        FStates.Exclude(HS::hdsHeightTrackPending);
        FStates.Include(HS::hdsHeightTracking);
      }
      if (FStates.Contains(HS::hdsWidthTracking)) {
        POINT track = FTrackPoint;
        if (FireColumnWidthTracking(columns->FTrackIndex, KeyboardShiftState(), track, p) &&
            columns->IsColumnIndex(columns->FTrackIndex))
          columns->Items(columns->FTrackIndex)->SetWidth(p.x - track.x);
        return true;
      }
      if (FStates.Contains(HS::hdsHeightTracking)) {
        POINT moved = p;
        if (FireHeaderHeightTracking(moved, KeyboardShiftState())) SetHeight(FHeight + moved.y);
        return true;
      }
      if (FStates.Contains(HS::hdsDragPending)) {
        POINT screen = p;
        ClientToScreen(wnd, &screen);
        const bool beyond = std::abs(screen.x - FDragStart.x) > GetSystemMetrics(SM_CXDRAG) ||
                            std::abs(screen.y - FDragStart.y) > GetSystemMetrics(SM_CYDRAG);
        if (!beyond || !FOwner->FireHeaderDragging(columns->FDownIndex)) return false;
        columns->FDragIndex = columns->FDownIndex;
        columns->FDropTarget = NoColumn;
        columns->FDownIndex = NoColumn;
        columns->FHoverIndex = NoColumn;
        FStates.Exclude(HS::hdsDragPending);
        FStates.Include(HS::hdsDragging);
        FDragging = true;
        InvalidateHeader();
        return true;
      }
      if (FStates.Contains(HS::hdsDragging)) {
        const POINT h{p.x, p.y + FHeight};
        const TColumnIndex target = columns->ColumnAtPoint(POINT{h.x, 0}, true);
        bool before = false;
        if (columns->IsColumnIndex(target)) {
          int32_t left, right;
          columns->ColumnExtent(target, left, right);
          before = p.x < (left + right) / 2;
        }
        if (target != columns->FDropTarget || before != columns->FDropBefore) {
          columns->FDropTarget = target;
          columns->FDropBefore = before;
          InvalidateHeader();
        }
        return true;
      }
      return false;
    }
    case WM_NCLBUTTONUP:
    case WM_LBUTTONUP: {
      const bool client = Message.Msg == WM_LBUTTONUP;
      const POINT p = ClientPoint(wnd, Message, !client);
      const POINT h{p.x, p.y + FHeight};
      const THeaderStates tracking{HS::hdsDragging, HS::hdsDragPending, HS::hdsWidthTracking,
                                   HS::hdsWidthTrackPending, HS::hdsHeightTracking, HS::hdsHeightTrackPending};
      const bool anyState = !(FStates * tracking).Empty();
      if (!anyState && client) return false;
      bool handled = false;
      if (anyState && GetCapture() == wnd) ReleaseCapture();
      if (FStates.Contains(HS::hdsDragging)) {
        const TColumnIndex dragged = columns->FDragIndex;
        const TColumnIndex target = columns->FDropTarget;
        POINT screen = p;
        ClientToScreen(wnd, &screen);
        RECT window;
        GetWindowRect(wnd, &window);
        if (columns->IsColumnIndex(target) && target != dragged && PtInRect(&window, screen)) {
          const TColumnPosition from = columns->Items(dragged)->Position();
          const TColumnPosition to = columns->Items(target)->Position();
          TColumnPosition position;
          if (columns->FDropBefore) position = from < to ? (to > 0 ? to - 1 : 0) : to;
          else position = from < to ? to : to + 1;
          columns->Items(dragged)->SetPosition(position);
          FOwner->FireHeaderDragged(dragged, from);
        } else if (!PtInRect(&window, screen)) {
          FOwner->FireHeaderDraggedOut(dragged, screen);
        }
        EndColumnDrag();
        handled = true;
      } else if (!client || FStates.Contains(HS::hdsDragPending)) {
        if (PointInHeader(p) || FStates.Contains(HS::hdsDragPending))
          columns->HandleHeaderClick(h, TMouseButton::mbLeft, false, false);
        handled = client;
      }
      if (FStates.Contains(HS::hdsWidthTracking) || FStates.Contains(HS::hdsWidthTrackPending)) {
        if (FStates.Contains(HS::hdsWidthTracking)) FireAfterColumnWidthTracking(columns->FTrackIndex);
        columns->FTrackIndex = NoColumn;
        handled = true;
      }
      if (FStates.Contains(HS::hdsHeightTracking)) FireAfterHeaderHeightTracking();
      if (FStates.Contains(HS::hdsHeightTrackPending) || FStates.Contains(HS::hdsHeightTracking)) handled = true;
      columns->ReleasePressedColumn();
      FStates -= tracking;
      return handled;
    }
    case WM_NCLBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK: {
      const bool client = Message.Msg == WM_LBUTTONDBLCLK;
      const POINT p = ClientPoint(wnd, Message, !client);
      POINT h{p.x, p.y + FHeight};
      if (FOptions.Contains(HO::hoHeightDblClickResize) && PointOnHeightSplitter(p) && FDefaultHeight > 0) {
        if (FireHeaderHeightDblClickResize(h, KeyboardShiftState())) SetHeight(FDefaultHeight);
        return true;
      }
      if (FOptions.Contains(HO::hoDblClickResize) && PointInHeader(p) && FindSplitter(h)) {
        const TColumnIndex column = columns->FTrackIndex;
        if (FireColumnWidthDblClickResize(column, KeyboardShiftState(), h)) {
          const TColumnPosition position = columns->Items(column)->Position();
          FitColumnsToContent(true, TSmartAutoFitType::smaUseColumnOption, position, position);
        }
        columns->FTrackIndex = NoColumn;
        return true;
      }
      if (!client && PointInHeader(p)) columns->HandleHeaderClick(h, TMouseButton::mbLeft, true, true);
      return false;
    }
    case WM_TIMER:
      if (Message.WParam != HeaderTimer) return false;
      KillTimer(wnd, HeaderTimer);
      columns->FHoverIndex = columns->FClickIndex = columns->FDownIndex = NoColumn;
      InvalidateHeader();
      return true;
    default:
      return false;
  }
}
