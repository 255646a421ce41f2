// The header's mouse: column widths by their splitters, the header height by
// its bottom edge, columns reordered by dragging, clicks, double clicks and
// the cursors. The tree hands every message to the header first.
#include "vtree/DragImage.h"
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeHeader.h"

#include "platform/Menus.h"
#include "platform/Screen.h"

#include <windowsx.h>

#include <cstdlib>

namespace {
using HS = THeaderState;
using HO = TVTHeaderOption;
using CO = TVTColumnOption;
using TS = TVirtualTreeState;

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

// Header co-ordinates: y from 0 at the header's top. The right-most column
// whose right edge lies at P and that may be resized there wins.
bool TVTHeader::FindSplitter(POINT P) {
  TVirtualTreeColumns* columns = FColumns;
  columns->FTrackIndex = NoColumn;
  if (columns->Count() == 0) return false;
  const int32_t fixed = columns->FixedAreaWidth();
  const int32_t offset = FOwner->EffectiveOffsetX();
  int32_t edge = columns->ShownWidth() - offset;
  for (auto it = columns->FPositionToIndex.rbegin(); it != columns->FPositionToIndex.rend(); ++it) {
    const TColumnIndex index = *it;
    if (!columns->IsColumnIndex(index)) continue;
    TVirtualTreeColumn* column = columns->Items(index);
    if (!column->IsVisible()) continue;
    const bool isFixed = column->Options().Contains(CO::coFixed);
    // A fixed column does not scroll.
    const int32_t d = isFixed ? edge + offset : edge;
    if (P.x > d - 3 && P.x < d + 5 && (isFixed || P.x > fixed)) {
      bool allowed = column->Options().Contains(CO::coResizable);
      FireEvent(FOwner->OnCanSplitterResizeColumn, this, P, index, allowed);
      if (allowed) {
        columns->FTrackIndex = index;
        FTrackPoint = POINT{d - column->Width(), P.y};
        return true;
      }
    }
    edge -= column->Width();
  }
  return false;
}

void TVTHeader::InvalidateHeader(TColumnIndex Column, bool ExpandToBorder) {
  if (!FOptions.Contains(HO::hoVisible) || !FOwner->HandleAllocated()) return;
  const RECT header = FOwner->HeaderRect();
  const RECT window = [&] {
    RECT r;
    GetWindowRect(FOwner->Handle(), &r);
    return r;
  }();
  POINT origin{window.left, window.top};
  ScreenToClient(FOwner->Handle(), &origin);
  // The header rectangle in client co-ordinates (it lies above the client area).
  RECT area{header.left + origin.x, header.top + origin.y, header.right + origin.x, header.bottom + origin.y};
  if (FColumns->IsColumnIndex(Column)) {
    int32_t left, right;
    FColumns->ColumnExtent(Column, left, right);
    const int32_t full = area.right;
    const int32_t start = area.left;
    area.left = start + left;
    area.right = start + right;
    if (ExpandToBorder) {
      if (FOptions.Contains(HO::hoFullRepaintOnResize)) {
        area.left = start;
        area.right = full;
      } else if (FOwner->UseRightToLeftAlignment()) {
        area.left = start;
      } else {
        area.right = full;
      }
    }
  }
  RedrawWindow(FOwner->Handle(), &area, nullptr,
               RDW_INVALIDATE | RDW_VALIDATE | RDW_NOINTERNALPAINT | RDW_NOERASE | RDW_NOCHILDREN | RDW_FRAME);
}

void TVTHeader::PrepareColumnDrag(POINT P) {
  TVirtualTreeColumns* columns = FColumns;
  HWND wnd = FOwner->Handle();
  columns->FDropTarget = NoColumn;
  columns->FDragIndex = columns->ColumnAtPoint(POINT{P.x, P.y + FHeight}, true);
  if (!columns->IsColumnIndex(columns->FDragIndex)) return;
  int32_t left, right;
  columns->ColumnExtent(columns->FDragIndex, left, right);
  const int32_t width = right - left;
  if (width <= 0 || FHeight <= 0) return;
  // The column's cell painted alone: the header painter with the window's
  // origin at the cell's left edge.
  const RECT header = FOwner->HeaderRect();
  const RECT cell{header.left + left, header.top, header.left + right, header.top + FHeight};
  TWindowDC screen(nullptr);
  TGdiObject picture(CheckGDI(CreateCompatibleBitmap(screen.Get(), width, FHeight)));
  {
    TMemoryDC memory(screen.Get());
    TSelectObjectGuard guard(memory.Get(), picture.Get());
    const RECT all{0, 0, width, FHeight};
    TGdiObject face(CreateSolidBrush(ColorToRGB(clBtnFace)));
    FillRect(memory.Get(), &all, static_cast<HBRUSH>(face.Get()));
    SetWindowOrgEx(memory.Get(), cell.left, cell.top, nullptr);
    columns->PaintColumnHeaders(memory.Get(), cell, -FOwner->EffectiveOffsetX());
    SetWindowOrgEx(memory.Get(), 0, 0, nullptr);
  }
  if (!FDragImage) FDragImage = new TVTDragImage(FOwner);
  FDragImage->EndImage();
  FDragImage->SetFadeImage(false);
  FDragImage->SetImageTransparency(140);
  FDragImage->SetPreBlendBias(0xCE);
  FDragImage->SetPostBlendBias(0);
  FDragImage->SetMoveRestriction(FOptions.Contains(HO::hoRestrictDrag) ? TVTImageMoveRestriction::imrHorizontalOnly
                                                                        : TVTImageMoveRestriction::imrNone);
  POINT position{left, -FHeight};
  ClientToScreen(wnd, &position);
  FDragImage->PrepareImage(static_cast<HBITMAP>(picture.Get()), position, nullptr, FDragStart);
  FDragImage->RevealImage();
}

void TVTHeader::MoveColumnDrag(POINT P) {
  TVirtualTreeColumns* columns = FColumns;
  POINT client = P;
  ScreenToClient(FOwner->Handle(), &client);
  const TColumnIndex target = columns->ColumnAtPoint(POINT{client.x, client.y + FHeight}, true);
  bool before = columns->FDropBefore;
  if (columns->IsColumnIndex(target)) {
    int32_t left, right;
    columns->ColumnExtent(target, left, right);
    before = client.x < (left + right) / 2;
  }
  const bool changed = target != columns->FDropTarget || (columns->IsColumnIndex(target) && before != columns->FDropBefore);
  if (changed) {
    const TColumnIndex old = columns->FDropTarget;
    columns->FDropTarget = target;
    columns->FDropBefore = before;
    if (columns->IsColumnIndex(old)) InvalidateHeader(old, false);
    if (columns->IsColumnIndex(target)) InvalidateHeader(target, false);
  }
  if (FDragImage) FDragImage->MoveImageTo(P, changed);
}

void TVTHeader::EndColumnDrag() {
  if (FDragImage) FDragImage->EndImage();
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
      if (PointInHeader(p) || cursor) {
        if (!cursor) cursor = Screen->Cursors(FOwner->Cursor());
        FireEvent(FOwner->OnGetHeaderCursor, this, cursor);
        if (cursor == Screen->Cursors(crDefault)) cursor = nullptr;
      }
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
      bool handled = false;
      if (FOptions.Contains(HO::hoDrag) && columns->IsColumnIndex(columns->FDownIndex) &&
          columns->Items(columns->FDownIndex)->Options().Contains(CO::coDraggable)) {
        FStates.Include(HS::hdsDragPending);
        SetCapture(wnd);
        handled = true;
      }
      FireEvent(FOwner->OnHeaderMouseDown, this, TMouseButton::mbLeft, shift, h.x, h.y);
      return handled;
    }
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN: {
      const POINT p = ClientPoint(wnd, Message, true);
      if (PointInHeader(p))
        FireEvent(FOwner->OnHeaderMouseDown, this,
                  Message.Msg == WM_NCRBUTTONDOWN ? TMouseButton::mbRight : TMouseButton::mbMiddle,
                  KeyboardShiftState(), p.x, p.y + FHeight);
      return false;
    }
    case WM_NCMOUSEMOVE: {
      const POINT p = ClientPoint(wnd, Message, true);
      const POINT h{p.x, p.y + FHeight};
      FireEvent(FOwner->OnHeaderMouseMove, this, KeyboardShiftState(), h.x, h.y);
      if (PointInHeader(p)) {
        const TColumnIndex hover = columns->FHoverIndex;
        columns->TrackHoverColumn(h);
        if (hover != columns->FHoverIndex ||
            (columns->IsColumnIndex(columns->FDownIndex) && columns->FDownIndex != columns->FHoverIndex)) {
          // The hover is reset once the mouse has left the header.
          KillTimer(wnd, HeaderTimer);
          SetTimer(wnd, HeaderTimer, 50, nullptr);
        }
      }
      return false;
    }
    case WM_NCRBUTTONUP: {
      const POINT p = ClientPoint(wnd, Message, true);
      const POINT h{p.x, p.y + FHeight};
      if (FOwner->ComponentState().Contains(csDesigning) || !PointInHeader(p)) return false;
      columns->HandleHeaderClick(h, TMouseButton::mbRight, true, false);
      FireEvent(FOwner->OnHeaderMouseUp, this, TMouseButton::mbRight, KeyboardShiftState(), h.x, h.y);
      columns->FDownIndex = NoColumn;
      columns->FTrackIndex = NoColumn;
      TPopupMenu* menu = FPopupMenu ? FPopupMenu : FireGetHeaderPopupMenu(columns->ColumnAtPoint(h, true), p);
      if (!menu) return false;
      KillTimer(wnd, ScrollTimer);
      KillTimer(wnd, HeaderTimer);
      columns->FHoverIndex = NoColumn;
      FOwner->ChangeStates({}, {TVirtualTreeState::tsScrolling, TVirtualTreeState::tsScrollPending});
      menu->SetPopupComponent(FOwner);
      menu->Popup(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
      return true;
    }
    case WM_NCMBUTTONUP: {
      const POINT p = ClientPoint(wnd, Message, true);
      const POINT h{p.x, p.y + FHeight};
      if (!PointInHeader(p)) return false;
      columns->HandleHeaderClick(h, TMouseButton::mbMiddle, true, false);
      FireEvent(FOwner->OnHeaderMouseUp, this, TMouseButton::mbMiddle, KeyboardShiftState(), h.x, h.y);
      columns->FDownIndex = NoColumn;
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
        KillTimer(wnd, HeaderTimer);
        columns->FDownIndex = NoColumn;
        columns->FHoverIndex = NoColumn;
        POINT press = FDragStart;
        ScreenToClient(wnd, &press);
        // The pressed cell is painted up again before its picture is taken.
        InvalidateHeader();
        RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
        PrepareColumnDrag(press);
        FStates.Exclude(HS::hdsDragPending);
        FStates.Include(HS::hdsDragging);
        FDragging = true;
        return true;
      }
      if (FStates.Contains(HS::hdsDragging)) {
        POINT screen = p;
        ClientToScreen(wnd, &screen);
        MoveColumnDrag(screen);
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
      if (!client || anyState) FireEvent(FOwner->OnHeaderMouseUp, this, TMouseButton::mbLeft, KeyboardShiftState(), h.x, h.y);
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
    case WM_TIMER: {
      if (Message.WParam != HeaderTimer) return false;
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(wnd, &p);
      const bool offPressed = columns->IsColumnIndex(columns->FDownIndex) &&
                              columns->ColumnAtPoint(POINT{p.x, p.y + FHeight}, true) != columns->FDownIndex;
      if (!PointInHeader(p) || offPressed) {
        KillTimer(wnd, HeaderTimer);
        columns->FHoverIndex = columns->FClickIndex = columns->FDownIndex = NoColumn;
        InvalidateHeader();
      }
      return true;
    }
    default:
      return false;
  }
}
