// Mouse and keyboard input of the tree window: what a click, a double click
// and a key press decide (selection, focus, toggling, check boxes, editing),
// the edit and search timers, and incremental search.
#include "vtree/VirtualTree.h"
#include "vtree/TreeDragManager.h"

#include "platform/Forms.h"
#include "platform/Screen.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using HP = THitPosition;
using SO = TVTSelectionOption;
using MO = TVTMiscOption;


TShiftState ButtonShiftState(WPARAM Keys) {
  TShiftState shift;
  if (Keys & MK_SHIFT) shift.Include(ssShift);
  if (Keys & MK_CONTROL) shift.Include(ssCtrl);
  return shift;
}

bool AltDown() { return GetKeyState(VK_MENU) < 0; }

// A typed character as the current keyboard layout's language writes it.
wchar_t TypedCharacter(char Key) {
  const LCID locale = MAKELCID(LOWORD(reinterpret_cast<UINT_PTR>(GetKeyboardLayout(0))), SORT_DEFAULT);
  char number[8] = {};
  UINT codePage = CP_ACP;
  if (GetLocaleInfoA(locale, LOCALE_IDEFAULTANSICODEPAGE, number, sizeof number) > 0) {
    const UINT read = static_cast<UINT>(std::strtoul(number, nullptr, 10));
    if (read != 0) codePage = read;
  }
  wchar_t result = 0;
  if (MultiByteToWideChar(codePage, MB_USEGLYPHCHARS, &Key, 1, &result, 1) != 1 &&
      MultiByteToWideChar(CP_ACP, MB_USEGLYPHCHARS, &Key, 1, &result, 1) != 1)
    result = static_cast<unsigned char>(Key);
  return result;
}
}  // namespace

void TBaseVirtualTree::StopTimer(UINT_PTR Id) {
  if (HandleAllocated()) KillTimer(Handle(), Id);
}

void TBaseVirtualTree::StopSearch() {
  StopTimer(SearchTimer);
  FSearchBuffer.clear();
  FLastSearchNode = nullptr;
}

void TBaseVirtualTree::SetIncrementalSearch(TVTIncrementalSearch Value) {
  if (FIncrementalSearch == Value) return;
  FIncrementalSearch = Value;
  if (Value == TVTIncrementalSearch::isNone) StopSearch();
}

void TBaseVirtualTree::CancelPendingEdit() {
  StopTimer(EditTimer);
  ChangeStates({}, {TS::tsEditPending});
}

// --- mouse -------------------------------------------------------------------------------------------

void TBaseVirtualTree::HandleButtonDown(TMouseButton Button, WPARAM Keys, POINT P) {
  if (FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling)) {
    EndPanning();
    return;
  }
  CancelPendingEdit();
  if (IsEditing() && !FinishNodeEdit()) return;
  if (!Focused() && CanFocus()) SetFocus();
  THitInfo hit;
  HitTestAt(P.x, P.y, true, hit);
  PVirtualNode node = hit.HitNode;
  const THitPositions& at = hit.HitPositions;
  const TVTSelectionOptions selection = FOptions->SelectionOptions();
  const TVTMiscOptions misc = FOptions->MiscOptions();
  TVirtualTreeColumns* columns = FHeader->Columns();
  FMouseDownColumn = hit.HitColumn;

  TColumnIndex column = FFocusedColumn;
  bool newColumn = false;
  if (at.Contains(HP::hpOnLabel) || selection.Contains(SO::toFullRowSelect) || misc.Contains(MO::toGridExtensions)) {
    column = selection.Contains(SO::toExtendedFocus) ? hit.HitColumn : FHeader->MainColumn();
    newColumn = column != FFocusedColumn;
    if (newColumn && columns->IsColumnIndex(column) &&
        !columns->Items(column)->Options().Contains(TVTColumnOption::coAllowFocus)) {
      column = FFocusedColumn;
      newColumn = false;
    }
  }
  const TShiftState shift = ButtonShiftState(Keys);
  const bool alt = AltDown();

  // A row's edge starts dragging the height of the row above it.
  if (Button == mbLeft) {
    if (PVirtualNode edge = NodeEdgeAt(hit)) {
      FHeightTrackNode = edge;
      FHeightTrackColumn = hit.HitColumn;
      const RECT row = NodeDisplayRect(edge, hit.HitColumn, false, true);
      FHeightTrackPoint = POINT{row.left, row.top};
      ChangeStates({TS::tsNodeHeightTrackPending}, {});
      return;
    }
  }
  if (node && at.Contains(HP::hpOnButton) && node->StateBits.Contains(NS::nsHasChildren)) {
    ToggleNodeExpansion(node);
    return;
  }
  if (node && at.Contains(HP::hpOnCheckBox)) {
    PressCheckBox(node, false);
    return;
  }
  if ((FRoot->FirstChild && shift.Empty()) || FSelectionCount == 0) {
    PVirtualNode level = node ? node : LastVisibleNode();
    if (level) FLastSelectionLevel = static_cast<int32_t>(NodeLevel(level));
  }
  const bool labelHit = node && !alt && !selection.Contains(SO::toSimpleDrawSelection) &&
                        (at.Contains(HP::hpOnLabel) || at.Contains(HP::hpOnNormalImage));
  const bool cellHit = node && !alt && !labelHit &&
                       (selection.Contains(SO::toFullRowSelect) ||
                        (misc.Contains(MO::toGridExtensions) && columns->IsColumnIndex(hit.HitColumn)));
  // A drag may start from a press on a node: automatically, or as
  // OnDragAllowed says; a cell hit only with toFullRowDrag.
  bool dragAllowed = false;
  if (node && (!cellHit || misc.Contains(MO::toFullRowDrag))) {
    if (DragMode() == dmAutomatic || FStates.Contains(TS::tsOLEDragPending) || FStates.Contains(TS::tsVCLDragPending))
      dragAllowed = true;
    else
      dragAllowed = FireDragAllowed(node, column);
  }
  const bool multi = selection.Contains(SO::toMultiSelect);
  const bool selected = node && node->StateBits.Contains(NS::nsSelected);

  if (multi && shift.Empty() && (labelHit || cellHit) && selected && dragAllowed && !FSelectionLocked)
    ChangeStates({TS::tsClearPending}, {});
  if (!FSelectionLocked) {
    const bool clearEmpty = !labelHit && !cellHit && !misc.Contains(MO::toFullRowDrag) && multi && shift.Empty();
    const bool clearOther = (labelHit || cellHit) && (shift.Empty() || !multi) && (!selected || !dragAllowed);
    if (clearEmpty || clearOther) {
      MevraAssert(!FStates.Contains(TS::tsClearPending), "Pending and direct clearance are mutual exclusive!");
      if (node && (selected || (alt && hit.HitColumn == FHeader->MainColumn()))) {
        // The clicked node stays selected: only the others go.
        const bool many = FSelectionCount > 1;
        DropSelection();
        InternalAddToSelection(&node, 1, true);
        if (many) {
          Invalidate();
          NotifyChange(nullptr);
        }
      } else {
        ClearAllSelection();
      }
    }
  }
  if (Focused() && node && (at.Contains(HP::hpOnLabel) || misc.Contains(MO::toGridExtensions)) &&
      node->StateBits.Contains(NS::nsSelected) && (labelHit || cellHit) && column == FFocusedColumn && shift.Empty())
    ChangeStates({TS::tsEditPending}, {});

  // Rectangle selection starts where no label was hit.
  if (!selection.Contains(SO::toDisableDrawSelection) && !labelHit &&
      !(misc.Contains(MO::toFullRowDrag) && cellHit) && multi && Button == mbLeft) {
    SetCapture(Handle());
    ChangeStates({TS::tsDrawSelPending}, {});
    FDrawSelShiftState = shift;
    const POINT content{P.x + FEffectiveOffsetX, P.y - FOffsetY};
    FNewSelRect = RECT{content.x, content.y, content.x, content.y};
    FLastMousePoint = P;
    if (!cellHit) return;
  }

  FLastClickPos = P;
  if (labelHit || cellHit) {
    if (FireFocusChanging(FFocusedNode, node, FFocusedColumn, column)) {
      const bool nodeChanged = node != FFocusedNode;
      if (newColumn) {
        InvalidateColumn(FFocusedColumn);
        InvalidateColumn(column);
        FFocusedColumn = column;
      }
      if (nodeChanged) MoveFocusTo(node, false);
      if (!multi || shift.Empty()) {
        if (shift.Empty()) FRangeAnchor = node;
        if (!node->StateBits.Contains(NS::nsSelected)) {
          AddNodeToSelection(node);
          InvalidateNode(node);
        }
      } else {
        HandleClickSelection(node, shift, dragAllowed);
      }
      if (nodeChanged || newColumn) {
        ScrollNodeIntoView(FFocusedNode, selection.Contains(SO::toCenterScrollIntoView),
                           !FOptions->AutoOptions().Contains(TVTAutoOption::toDisableAutoscrollOnFocus));
        FireFocusChanged(FFocusedNode, FFocusedColumn);
      }
    }
  }
  // The drag begins once the selection is what it drags, while a button is
  // still down (losing the focus in between lets go of the buttons).
  const bool buttonDown = FStates.Contains(TS::tsLeftButtonDown) || FStates.Contains(TS::tsMiddleButtonDown) ||
                          FStates.Contains(TS::tsRightButtonDown);
  if (dragAllowed && (labelHit || cellHit) && buttonDown) BeginDrag(false);
}

void TBaseVirtualTree::HandleButtonUp(TMouseButton Button, WPARAM Keys, POINT P) {
  (void)Button;
  if (GetCapture() == Handle()) ReleaseCapture();
  if (FStates.Contains(TS::tsVCLDragPending)) {
    // The class library's drag runs until it ends; a release before it
    // started was a click.
    if (Dragging()) return;
    ChangeStates({}, {TS::tsVCLDragPending});
  }
  THitInfo hit;
  HitTestAt(P.x, P.y, true, hit);
  if (FStates.Contains(TS::tsDrawSelPending) || FStates.Contains(TS::tsDrawSelecting)) {
    ChangeStates({}, {TS::tsToggleFocusedSelection, TS::tsDrawSelPending, TS::tsDrawSelecting});
    Invalidate();
  }
  if (FStates.Contains(TS::tsClearPending)) {
    const bool wasSelected = FFocusedNode && FFocusedNode->StateBits.Contains(NS::nsSelected);
    ClearAllSelection();
    if (wasSelected) AddNodeToSelection(FFocusedNode);
  }
  if (FStates.Contains(TS::tsToggleFocusedSelection) && hit.HitNode && hit.HitNode == FFocusedNode) {
    if (FFocusedNode->StateBits.Contains(NS::nsSelected)) RemoveNodeFromSelection(FFocusedNode);
    else AddNodeToSelection(FFocusedNode);
    InvalidateNode(FFocusedNode);
  }
  ChangeStates({}, {TS::tsToggleFocusedSelection, TS::tsClearPending, TS::tsDrawSelPending, TS::tsOLEDragging,
                    TS::tsOLEDragPending, TS::tsScrolling, TS::tsScrollPending});
  StopTimer(ScrollTimer);
  if (FStates.Contains(TS::tsMouseCheckPending))
    ReleaseCheckBox(hit.HitNode && hit.HitNode == FPendingCheckNode && hit.HitPositions.Contains(HP::hpOnNode));
  if (FMouseDownColumn > NoColumn && FMouseDownColumn == hit.HitColumn)
    FireEvent(OnColumnClick, this, hit.HitColumn, ButtonShiftState(Keys));
  if (FStates.Contains(TS::tsEditPending)) {
    if (hit.HitNode && hit.HitNode == FFocusedNode && hit.HitPositions.Contains(HP::hpOnNode) &&
        FOptions->MiscOptions().Contains(MO::toEditOnClick) && CanEdit(FFocusedNode, hit.HitColumn)) {
      FEditColumn = FFocusedColumn;
      SetTimer(Handle(), EditTimer, FEditDelay, nullptr);
    } else {
      ChangeStates({}, {TS::tsEditPending});
    }
  }
}

void TBaseVirtualTree::HandleDoubleClick(TMouseButton Button, WPARAM Keys, POINT P) {
  (void)Button;
  const TVTMiscOptions misc = FOptions->MiscOptions();
  const bool mayEdit = misc.Contains(MO::toEditOnDblClick) && !IsEditing();
  CancelPendingEdit();
  if (IsEditing() && !FinishNodeEdit()) return;
  THitInfo hit;
  HitTestAt(P.x, P.y, true, hit);
  PVirtualNode node = hit.HitNode;
  const THitPositions& at = hit.HitPositions;
  if (hit.HitColumn > NoColumn && hit.HitColumn == FMouseDownColumn)
    FireEvent(OnColumnDblClick, this, hit.HitColumn, ButtonShiftState(Keys));
  bool acted = false;
  PVirtualNode edge = NodeEdgeAt(hit);
  if (edge && FOptions->MiscOptions().Contains(MO::toNodeHeightDblClickResize)) {
    bool allowed = true;
    FireEvent(OnNodeHeightDblClickResize, this, edge, hit.HitColumn, ButtonShiftState(Keys), P, allowed);
    if (allowed) {
      SetNodeHeight(edge, FDefaultNodeHeight);
      UpdateWindow(Handle());
    }
    acted = allowed;
  } else if (node && at.Contains(HP::hpOnCheckBox)) {
    acted = PressCheckBox(node, false);
  } else if (node && (at.Contains(HP::hpOnButton) ||
                      (misc.Contains(MO::toToggleOnDblClick) &&
                       (at.Contains(HP::hpOnLabel) || at.Contains(HP::hpOnNormalImage) ||
                        at.Contains(HP::hpOnStateImage) ||
                        (FOptions->SelectionOptions().Contains(SO::toFullRowSelect) && at.Contains(HP::hpOnNode)))))) {
    if (node->StateBits.Contains(NS::nsHasChildren)) ToggleNodeExpansion(node);
    acted = true;
  }
  if (mayEdit && !acted && node && node == FFocusedNode && hit.HitColumn == FFocusedColumn &&
      CanEdit(node, FFocusedColumn)) {
    ChangeStates({TS::tsEditPending}, {});
    FEditColumn = FFocusedColumn;
    SetTimer(Handle(), EditTimer, FEditDelay, nullptr);
  }
}

// Every mouse move in the client area: height tracking, rectangle
// selection, panning and the hot node.
void TBaseVirtualTree::HandleMouseMove(TMessage& Message, POINT P) {
  if (FStates.Contains(TS::tsNodeHeightTrackPending) || FStates.Contains(TS::tsNodeHeightTracking)) {
    if (HandleNodeHeightTracking(P, Message.WParam)) return;
  }
  TVirtualTreeBase::Dispatch(Message);
  if (FStates.Contains(TS::tsDrawSelPending) || FStates.Contains(TS::tsDrawSelecting)) {
    TrackHotNode(P.x, P.y);
    DrawSelectionTo(P);
    return;
  }
  const bool panning = FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling);
  if (FStates.Contains(TS::tsWheelPanning) && FStates.Contains(TS::tsWheelScrolling) &&
      (std::abs(P.x - FPanningStart.x) >= GetSystemMetrics(SM_CXDRAG) ||
       std::abs(P.y - FPanningStart.y) >= GetSystemMetrics(SM_CYDRAG)))
    ChangeStates({}, {TS::tsWheelScrolling});
  if (panning) {
    FLastMousePoint = P;
    ScheduleAutoScroll(P.x, P.y);
    UpdatePanningCursor(P.x, P.y);
    return;
  }
  if (FStates.Contains(TS::tsOLEDragPending) &&
      (std::abs(P.x - FLastClickPos.x) >= FDragThreshold || std::abs(P.y - FLastClickPos.y) >= FDragThreshold)) {
    StartOleDrag(P);
    return;
  }
  TrackHotNode(P.x, P.y);
}

// --- rectangle selection and scrolling at the edges --------------------------------------------------

void TBaseVirtualTree::DrawSelectionTo(POINT P) {
  FLastMousePoint = P;
  if (FStates.Contains(TS::tsDrawSelPending)) {
    const POINT start{FNewSelRect.left - FEffectiveOffsetX, FNewSelRect.top + FOffsetY};
    if (std::abs(P.x - start.x) <= GetSystemMetrics(SM_CXDRAG) && std::abs(P.y - start.y) <= GetSystemMetrics(SM_CYDRAG))
      return;
    ChangeStates({TS::tsDrawSelecting}, {TS::tsDrawSelPending});
  }
  const RECT old = FNewSelRect;
  FNewSelRect.right = P.x + FEffectiveOffsetX;
  FNewSelRect.bottom = P.y - FOffsetY;
  HandleDrawSelection(old, FNewSelRect);
  Invalidate();
  ScheduleAutoScroll(P.x, P.y);
}

uint32_t TBaseVirtualTree::ScrollDirectionsAt(int32_t X, int32_t Y) {
  const bool panning = FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling);
  const bool autoScroll = FOptions->AutoOptions().Contains(TVTAutoOption::toAutoScroll);
  if ((!autoScroll && !panning) || !FHeader->States().Empty()) return 0;
  if (panning) {
    // Away from the press point by more than 8 pixels.
    uint32_t directions = 0;
    if (X < FPanningStart.x - 8) directions |= ScrollLeft;
    if (X > FPanningStart.x + 8) directions |= ScrollRight;
    if (Y < FPanningStart.y - 8) directions |= ScrollUp;
    if (Y > FPanningStart.y + 8) directions |= ScrollDown;
    return directions;
  }
  const bool oleDragOver = FDragManager && FDragManager->IsDropTargetNow();
  if (!FStates.Contains(TS::tsDrawSelecting) && !FStates.Contains(TS::tsVCLDragging) && !oleDragOver) return 0;
  const int32_t edge = static_cast<int32_t>(FDefaultNodeHeight);
  uint32_t directions = 0;
  if (X < edge && FEffectiveOffsetX > 0) directions |= ScrollLeft;
  if (FRangeX > ClientWidth() + FEffectiveOffsetX && X > ClientWidth() - edge) directions |= ScrollRight;
  if (Y < edge && FOffsetY < 0) directions |= ScrollUp;
  if (FRangeY > ClientHeight() - FOffsetY && Y > ClientHeight() - edge) directions |= ScrollDown;
  if (directions && oleDragOver) {
    // An OLE drag resting at an edge scrolls only after the delay.
    const uint64_t now = GetTickCount64();
    if (FDragScrollStart == 0) FDragScrollStart = now;
    if (now - FDragScrollStart < FAutoScrollDelay) return 0;
  }
  return directions;
}

void TBaseVirtualTree::ScheduleAutoScroll(int32_t X, int32_t Y) {
  FScrollDirections = ScrollDirectionsAt(X, Y);
  if (FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling)) return;
  if (FScrollDirections != 0) {
    if (!FStates.Contains(TS::tsScrollPending) && !FStates.Contains(TS::tsScrolling)) {
      ChangeStates({TS::tsScrollPending}, {});
      SetTimer(Handle(), ScrollTimer, FAutoScrollDelay, nullptr);
    }
  } else if (FStates.Contains(TS::tsScrollPending) || FStates.Contains(TS::tsScrolling)) {
    StopTimer(ScrollTimer);
    ChangeStates({}, {TS::tsScrollPending, TS::tsScrolling});
  }
}

// One step: inside the client a line (or a column step) per tick, outside
// it that much for every pixel the mouse lies beyond the edge.
void TBaseVirtualTree::AutoScrollStep() {
  const POINT p = FLastMousePoint;
  const int32_t width = ClientWidth(), height = ClientHeight();
  const int32_t vertical = std::min(FScrollBarOptions->VerticalIncrement(), height);
  const int32_t horizontal = FScrollBarOptions->HorizontalIncrement();
  const bool panning = FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling);
  int32_t dx = 0, dy = 0;
  if (panning) {
    // The farther from the press point, the faster.
    const POINT a = FPanningStart;
    if (FScrollDirections & ScrollUp) dy = a.y - p.y - 8;
    if (FScrollDirections & ScrollDown) dy = a.y - p.y + 8;
    if (FScrollDirections & ScrollLeft) dx = a.x - p.x - 8;
    if (FScrollDirections & ScrollRight) dx = a.x - p.x + 8;
  } else {
    if (FScrollDirections & ScrollUp) dy = vertical * (p.y < 0 ? -p.y : 1);
    if (FScrollDirections & ScrollDown) dy = -vertical * (p.y > height ? p.y - height : 1);
    if (FScrollDirections & ScrollLeft) dx = horizontal * (p.x < 0 ? -p.x : 1);
    if (FScrollDirections & ScrollRight) dx = -horizontal * (p.x > width ? p.x - width : 1);
  }
  if (UseRightToLeftAlignment()) dx = -dx;
  const POINT before{FOffsetX, FOffsetY};
  if (dx != 0 || dy != 0) ApplyScrollOffset(POINT{FOffsetX + dx, FOffsetY + dy}, AllScrollUpdates);
  if (FOffsetY == before.y) FScrollDirections &= ~(ScrollUp | ScrollDown);
  if (FOffsetX == before.x) FScrollDirections &= ~(ScrollLeft | ScrollRight);
  if (FStates.Contains(TS::tsDrawSelecting)) {
    // The rectangle's moving corner stays under the mouse.
    const RECT old = FNewSelRect;
    FNewSelRect.right = p.x + FEffectiveOffsetX;
    FNewSelRect.bottom = p.y - FOffsetY;
    HandleDrawSelection(old, FNewSelRect);
    Invalidate();
  }
  // Panning keeps its timer: the mouse may move away from the press again.
  if (FScrollDirections == 0 && !panning) {
    StopTimer(ScrollTimer);
    ChangeStates({}, {TS::tsScrollPending, TS::tsScrolling});
  }
}

// Focus loss and a cancelled mode end every pending mouse and key action.
void TBaseVirtualTree::ResetInputStates(bool FocusLost) {
  for (UINT_PTR id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer}) StopTimer(id);
  StopSearch();
  if (FocusLost)
    ChangeStates({}, {TS::tsEditPending, TS::tsNodeHeightTracking, TS::tsNodeHeightTrackPending,
                      TS::tsIncrementalSearching, TS::tsLeftButtonDown, TS::tsMiddleButtonDown, TS::tsOLEDragPending,
                      TS::tsRightButtonDown, TS::tsScrolling, TS::tsScrollPending, TS::tsVCLDragPending});
  else
    ChangeStates({}, {TS::tsClearPending, TS::tsDrawSelPending, TS::tsDrawSelecting, TS::tsEditPending,
                      TS::tsIncrementalSearching, TS::tsOLEDragPending, TS::tsVCLDragPending});
}

// The class library would start its own drag on a press with dmAutomatic;
// the tree decides about dragging itself.
void TBaseVirtualTree::DispatchWithoutAutomaticDrag(TMessage& Message) {
  if (DragMode() != dmAutomatic || DragKind() != dkDrag) return TVirtualTreeBase::Dispatch(Message);
  SetDragMode(dmManual);
  try {
    TVirtualTreeBase::Dispatch(Message);
  } catch (...) {
    SetDragMode(dmAutomatic);
    throw;
  }
  SetDragMode(dmAutomatic);
}

bool TBaseVirtualTree::HandleInputMessage(TMessage& Message) {
  const POINT p{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
  switch (Message.Msg) {
    case WM_LBUTTONDOWN:
      ChangeStates({TS::tsLeftButtonDown}, {});
      DispatchWithoutAutomaticDrag(Message);
      HandleButtonDown(mbLeft, Message.WParam, p);
      return true;
    case WM_LBUTTONUP:
      ChangeStates({}, {TS::tsNodeHeightTracking, TS::tsNodeHeightTrackPending, TS::tsLeftButtonDown});
      HandleButtonUp(mbLeft, Message.WParam, p);
      TVirtualTreeBase::Dispatch(Message);
      return true;
    case WM_LBUTTONDBLCLK:
      ChangeStates({TS::tsLeftDblClick}, {});
      DispatchWithoutAutomaticDrag(Message);
      HandleDoubleClick(mbLeft, Message.WParam, p);
      ChangeStates({}, {TS::tsLeftDblClick});
      return true;
    case WM_RBUTTONDOWN:
      ChangeStates({TS::tsRightButtonDown}, {});
      TVirtualTreeBase::Dispatch(Message);
      if (FOptions->SelectionOptions().Contains(SO::toRightClickSelect)) HandleButtonDown(mbRight, Message.WParam, p);
      return true;
    case WM_RBUTTONUP: {
      ChangeStates({}, {TS::tsRightButtonDown, TS::tsPopupMenuShown});
      if (!FHeader->States().Empty()) return true;
      if ((FStates.Contains(TS::tsDrawSelPending) || FStates.Contains(TS::tsDrawSelecting)) && PopupMenu()) {
        ChangeStates({}, {TS::tsDrawSelPending, TS::tsDrawSelecting});
        Invalidate();
      }
      TVirtualTreeBase::Dispatch(Message);
      THitInfo hit;
      HitTestAt(p.x, p.y, true, hit);
      if (FOptions->SelectionOptions().Contains(SO::toRightClickSelect)) HandleButtonUp(mbRight, Message.WParam, p);
      if (!PopupMenu()) PopupForNode(hit.HitNode, hit.HitColumn, p);
      return true;
    }
    case WM_CONTEXTMENU:
      HandleContextMenuMessage(Message);
      return true;
    case CM_HINTSHOW:
      Message.Result = HandleHintShow(*reinterpret_cast<THintInfo*>(Message.LParam));
      return true;
    case CM_HINTSHOWPAUSE:
      HandleHintShowPause(Message);
      return true;
    case CM_MOUSELEAVE: {
      FLastHintRect = RECT{};
      FHintAskedNode = nullptr;
      FHintAskedColumn = -2;
      ChangeStates({}, {TS::tsHint});
      if (!FStates.Contains(TS::tsWheelPanning) && !FStates.Contains(TS::tsWheelScrolling)) {
        StopTimer(ScrollTimer);
        ChangeStates({}, {TS::tsScrollPending, TS::tsScrolling});
      }
      if (PVirtualNode old = FCurrentHotNode) {
        FireEvent(OnHotChange, this, old, static_cast<PVirtualNode>(nullptr));
        SetHotNode(nullptr);
      }
      TVirtualTreeColumns* columns = FHeader->Columns();
      if (columns->FHoverIndex != NoColumn || columns->FDownIndex != NoColumn) {
        columns->FHoverIndex = columns->FDownIndex = NoColumn;
        FHeader->InvalidateHeader();
      }
      TVirtualTreeBase::Dispatch(Message);
      return true;
    }
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(Message.WParam) != Handle() || LOWORD(Message.LParam) != HTCLIENT ||
          FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling) ||
          Screen->Cursor() != crDefault)
        return false;
      {
        POINT at;
        GetCursorPos(&at);
        ::ScreenToClient(Handle(), &at);
        ::SetCursor(CursorAt(at));
        Message.Result = 1;
      }
      return true;
    case WM_RBUTTONDBLCLK:
      ChangeStates({TS::tsRightDblClick}, {});
      TVirtualTreeBase::Dispatch(Message);
      if (FOptions->SelectionOptions().Contains(SO::toRightClickSelect)) HandleDoubleClick(mbRight, Message.WParam, p);
      ChangeStates({}, {TS::tsRightDblClick});
      return true;
    case WM_MBUTTONDOWN: {
      ChangeStates({TS::tsMiddleButtonDown}, {});
      if (!FHeader->States().Empty()) return true;
      TVirtualTreeBase::Dispatch(Message);
      const bool panning = FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling);
      if (FOptions->MiscOptions().Contains(MO::toWheelPanning) && !panning &&
          (FRangeX > ClientWidth() || FRangeY > ClientHeight())) {
        // Held and moved, the button pans until it goes up; clicked, the
        // panning goes on until the next click.
        FPanningStart = p;
        ChangeStates({TS::tsWheelScrolling}, {});
        BeginPanning();
        return true;
      }
      EndPanning();
      if (FOptions->SelectionOptions().Contains(SO::toMiddleClickSelect)) HandleButtonDown(mbMiddle, Message.WParam, p);
      return true;
    }
    case WM_MBUTTONUP:
      ChangeStates({}, {TS::tsMiddleButtonDown});
      if (FStates.Contains(TS::tsWheelPanning) || FStates.Contains(TS::tsWheelScrolling)) {
        if (FStates.Contains(TS::tsWheelScrolling)) ChangeStates({}, {TS::tsWheelPanning});
        else EndPanning();
        return true;
      }
      if (!FHeader->States().Empty()) return true;
      TVirtualTreeBase::Dispatch(Message);
      if (FOptions->SelectionOptions().Contains(SO::toMiddleClickSelect)) HandleButtonUp(mbMiddle, Message.WParam, p);
      return true;
    case WM_MBUTTONDBLCLK:
      ChangeStates({TS::tsMiddleDblClick}, {});
      TVirtualTreeBase::Dispatch(Message);
      if (FOptions->SelectionOptions().Contains(SO::toMiddleClickSelect)) HandleDoubleClick(mbMiddle, Message.WParam, p);
      ChangeStates({}, {TS::tsMiddleDblClick});
      return true;
    case WM_MOUSEMOVE:
      HandleMouseMove(Message, p);
      TrackHintCell(p);
      return true;
    case WM_KILLFOCUS:
      TVirtualTreeBase::Dispatch(Message);
      EndPanning();
      ResetInputStates(true);
      if (HandleAllocated()) Invalidate();
      return true;
    case WM_SETFOCUS:
      TVirtualTreeBase::Dispatch(Message);
      if (HandleAllocated()) Invalidate();
      return true;
    case WM_CANCELMODE:
      ResetInputStates(false);
      TVirtualTreeBase::Dispatch(Message);
      return true;
    case WM_GETDLGCODE:
      Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FWantTabs ? DLGC_WANTTAB : 0);
      return true;
    case WM_CHAR:
      if (FStates.Contains(TS::tsIncrementalSearchPending)) {
        IncrementalSearchKey(static_cast<char>(Message.WParam));
        ChangeStates({}, {TS::tsIncrementalSearchPending});
      }
      TVirtualTreeBase::Dispatch(Message);
      return true;
    case WM_KEYUP:
      TVirtualTreeBase::Dispatch(Message);
      if (Message.WParam == VK_SPACE && FStates.Contains(TS::tsKeyCheckPending))
        ReleaseCheckBox(FPendingCheckNode && FPendingCheckNode == FFocusedNode);
      return true;
    case WM_TIMER:
      if (Message.WParam == ExpandTimer) {
        AutoExpandDropTarget();
        return true;
      }
      if (Message.WParam == EditTimer) {
        StopTimer(EditTimer);
        if (FStates.Contains(TS::tsEditPending)) BeginNodeEdit();
        return true;
      }
      if (Message.WParam == ScrollTimer) {
        if (!FStates.Contains(TS::tsWheelPanning) && !FStates.Contains(TS::tsWheelScrolling) &&
            FStates.Contains(TS::tsScrollPending)) {
          SetTimer(Handle(), ScrollTimer, FAutoScrollInterval, nullptr);
          ChangeStates({TS::tsScrolling}, {TS::tsScrollPending});
        }
        AutoScrollStep();
        return true;
      }
      if (Message.WParam == SearchTimer) {
        ChangeStates({}, {TS::tsIncrementalSearching});
        StopSearch();
        return true;
      }
      return false;
    default:
      return false;
  }
}

// --- keyboard ----------------------------------------------------------------------------------------

void TBaseVirtualTree::KeyDown(WORD& Key, TShiftState Shift) {
  TVirtualTreeBase::KeyDown(Key, Shift);
  if (Key == 0) return;
  HandleKeyDown(Key, Shift);
  // The tree found F1's help itself: the control's own help stays out.
  if (Key == VK_F1 && OnGetHelpContext) Key = 0;
}

void TBaseVirtualTree::HandleKeyDown(WORD CharCode, TShiftState Shift) {
  bool doDefault = true;
  FireEvent(OnKeyAction, this, CharCode, Shift, doDefault);
  if (!doDefault) return;
  if (FStates.Contains(TS::tsKeyCheckPending) && CharCode != VK_SPACE) ReleaseCheckBox(false);

  const TVTSelectionOptions selection = FOptions->SelectionOptions();
  const TVTMiscOptions misc = FOptions->MiscOptions();
  const bool ctrl = Shift.Contains(ssCtrl), shiftKey = Shift.Contains(ssShift), alt = Shift.Contains(ssAlt);
  const bool modifier = ctrl || shiftKey || alt;
  const bool multi = selection.Contains(SO::toMultiSelect);

  if (CharCode == VK_BACK || CharCode == VK_TAB || (CharCode >= VK_PRIOR && CharCode <= VK_DOWN)) {
    const bool shiftRange = shiftKey && multi && !IsEditing();
    const bool pageRange =
        shiftRange && (CharCode == VK_PRIOR || CharCode == VK_NEXT || CharCode == VK_END || CharCode == VK_HOME);
    const bool repaint = pageRange || FSelectionCount > 1;
    const bool clearNeeded = !(modifier && (!misc.Contains(MO::toGridExtensions) || shiftKey) && multi &&
                               CharCode != VK_BACK && CharCode != VK_TAB);
    PVirtualNode oldFocus = FFocusedNode;
    if (!oldFocus && modifier) oldFocus = FirstVisibleNode();
    if (!FRangeAnchor) FRangeAnchor = FSelectionCount > 0 ? FirstSelectedNode() : FirstNode();
    const int32_t client = ClientHeight();
    PVirtualNode target = nullptr;
    bool moved = false;
    switch (CharCode) {
      case VK_BACK:
        if (FStates.Contains(TS::tsIncrementalSearching)) {
          ChangeStates({TS::tsIncrementalSearchPending}, {});
          return;
        }
        if (FFocusedNode && FFocusedNode->Parent != FRoot) target = FFocusedNode->Parent;
        break;
      case VK_TAB:
        if (FOptions->SelectionOptions().Contains(SO::toExtendedFocus) &&
            FHeader->Options().Contains(TVTHeaderOption::hoVisible))
          TabToNextCell(shiftKey);
        return;
      case VK_PRIOR:
      case VK_NEXT: {
        const bool up = CharCode == VK_PRIOR;
        if (ctrl) {
          ApplyScrollOffset(POINT{FOffsetX, FOffsetY + (up ? client : -client)}, AllScrollUpdates);
          return;
        }
        if (!FFocusedNode) {
          target = up ? FirstVisibleNode() : LastVisibleNode();
          break;
        }
        int32_t sum = 0;
        target = FFocusedNode;
        for (;;) {
          PVirtualNode step = up ? PreviousVisibleNode(target) : NextVisibleNode(target);
          if (!step || sum + static_cast<int32_t>(step->NodeHeight) >= client) break;
          sum += step->NodeHeight;
          target = step;
        }
        break;
      }
      case VK_HOME:
      case VK_END: {
        const bool home = (CharCode == VK_HOME) != UseRightToLeftAlignment();
        target = home ? FirstVisibleNode() : LastVisibleNode();
        if (ctrl && !shiftKey && !misc.Contains(MO::toGridExtensions)) {
          if (target) ScrollNodeIntoView(target, selection.Contains(SO::toCenterScrollIntoView), false);
          return;
        }
        break;
      }
      case VK_LEFT:
      case VK_RIGHT: {
        const bool left = CharCode == VK_LEFT;
        if (ctrl) {
          const int32_t sign = UseRightToLeftAlignment() ? -1 : 1;
          const int32_t step = FHeader->Columns()->HorizontalScrollStep();
          ApplyScrollOffset(POINT{FOffsetX + (left ? sign : -sign) * step, FOffsetY}, AllScrollUpdates);
          return;
        }
        if (!FFocusedNode) {
          target = FirstVisibleNode();
          break;
        }
        const bool hasChildren = FFocusedNode->StateBits.Contains(NS::nsHasChildren);
        if (left) {
          if (hasChildren && Expanded(FFocusedNode) && !modifier) {
            ToggleNodeExpansion(FFocusedNode);
            return;
          }
          if (FFocusedNode->Parent != FRoot) target = FFocusedNode->Parent;
        } else {
          if (hasChildren && !Expanded(FFocusedNode) && !modifier) {
            ToggleNodeExpansion(FFocusedNode);
            return;
          }
          target = FirstVisibleChildNode(FFocusedNode);
        }
        break;
      }
      case VK_UP:
      case VK_DOWN: {
        const bool up = CharCode == VK_UP;
        if (ctrl) {
          const int32_t row = static_cast<int32_t>(FDefaultNodeHeight);
          ApplyScrollOffset(POINT{FOffsetX, FOffsetY + (up ? row : -row)}, AllScrollUpdates);
          return;
        }
        if (FFocusedNode) target = up ? PreviousVisibleNode(FFocusedNode) : NextVisibleNode(FFocusedNode);
        else target = up ? LastVisibleNode() : FirstVisibleNode();
        if (!target && FFocusedNode) InvalidateNode(FFocusedNode);
        break;
      }
      default:
        break;
    }
    if (target && target != FFocusedNode) {
      if (IsEditing()) FinishNodeEdit();
      if (FFocusedColumn < 0 && FHeader->Options().Contains(TVTHeaderOption::hoVisible))
        FFocusedColumn = FHeader->MainColumn();
      SetFocusedNode(target);
      moved = FFocusedNode == target;
    }
    bool cleared = false;
    if (clearNeeded && !(FFocusedNode == oldFocus && FSelectionCount == 1)) {
      ClearAllSelection();
      cleared = true;
    }
    if (!modifier && FFocusedNode) {
      FRangeAnchor = FFocusedNode;
      FLastSelectionLevel = static_cast<int32_t>(NodeLevel(FFocusedNode));
    }
    if (shiftRange && FFocusedNode && oldFocus) {
      // The range between the anchor and the new focus is what stays selected.
      SelectNodeRange(FRangeAnchor, FFocusedNode, false);
    } else if (FFocusedNode && (cleared || moved)) {
      AddNodeToSelection(FFocusedNode);
    }
    if (repaint || shiftRange) Invalidate();
    return;
  }

  // The main keyboard's signs act as the numeric pad's.
  BYTE state[256];
  if (GetKeyboardState(state)) {
    state[VK_CONTROL] = state[VK_LCONTROL] = state[VK_RCONTROL] = 0;
    WORD typed = 0;
    if (ToAscii(CharCode, MapVirtualKeyA(CharCode, 0), state, &typed, 0) == 1) {
      switch (static_cast<char>(typed)) {
        case '*': CharCode = VK_MULTIPLY; break;
        case '+': CharCode = VK_ADD; break;
        case '-': CharCode = VK_SUBTRACT; break;
        case '/': CharCode = VK_DIVIDE; break;
        default: break;
      }
    }
  }
  const bool searching = FStates.Contains(TS::tsIncrementalSearching);
  bool searchCharacter = false;
  switch (CharCode) {
    case VK_ESCAPE:
      if (FStates.Contains(TS::tsDrawSelPending) || FStates.Contains(TS::tsDrawSelecting)) {
        ChangeStates({}, {TS::tsDrawSelPending, TS::tsDrawSelecting});
        Invalidate();
      } else {
        CancelNodeEdit();
      }
      return;
    case VK_SPACE:
      if (misc.Contains(MO::toCheckSupport) && FFocusedNode && FFocusedNode->CheckType != TCheckType::ctNone) {
        PressCheckBox(FFocusedNode, true);
        return;
      }
      searchCharacter = true;
      break;
    case 'A':
      if (ctrl) {
        SelectAllNodes(true);
        return;
      }
      searchCharacter = true;
      break;
    case VK_APPS:
      if (FFocusedNode) {
        // Half the content's width into the text, in the middle of its height.
        const RECT text = NodeDisplayRect(FFocusedNode, FFocusedColumn, true);
        TVirtualTreeColumns* columns = FHeader->Columns();
        const int32_t limit = columns->IsColumnIndex(FFocusedColumn) ? columns->Items(FFocusedColumn)->Width()
                                                                       : ClientWidth();
        const int32_t content = NodeContentWidth(FFocusedNode, FFocusedColumn, nullptr);
        const POINT at{text.left + std::min(content, limit) / 2, (text.top + text.bottom) / 2};
        PopupForNode(FFocusedNode, FFocusedColumn, at);
      }
      return;
    case VK_F1:
      if (OnGetHelpContext) {
        const int context = HelpContextForFocusedNode();
        if (context != 0 && Application) Application->HelpContext(context);
      }
      return;
    case VK_MULTIPLY:
      if (searching) searchCharacter = true;
      else if (FFocusedNode) ExpandAllNodes(FFocusedNode);
      break;
    case VK_ADD:
      if (searching) searchCharacter = true;
      else if (ctrl && shiftKey) ExpandAllNodes();
      else if (!ctrl && FFocusedNode && !Expanded(FFocusedNode)) ToggleNodeExpansion(FFocusedNode);
      break;
    case VK_SUBTRACT:
      if (searching) searchCharacter = true;
      else if (ctrl && shiftKey) CollapseAllNodes();
      else if (!ctrl && FFocusedNode && Expanded(FFocusedNode)) ToggleNodeExpansion(FFocusedNode);
      break;
    case VK_DIVIDE:
      if (searching) searchCharacter = true;
      else if (FFocusedNode) CollapseAllNodes(FFocusedNode);
      break;
    case VK_F2:
      if (Shift.Empty() && FFocusedNode && CanEdit(FFocusedNode, FFocusedColumn)) {
        FEditColumn = FFocusedColumn;
        BeginNodeEdit();
      }
      return;
    default:
      if (ctrl || alt || CharCode < 32) return;
      searchCharacter = true;
      break;
  }
  if (searchCharacter) ChangeStates({TS::tsIncrementalSearchPending}, {});
}

// --- incremental search ------------------------------------------------------------------------------

PVirtualNode TBaseVirtualTree::SearchStep(PVirtualNode Node, bool Forward) {
  switch (FIncrementalSearch) {
    case TVTIncrementalSearch::isVisibleOnly:
      if (!Node) return Forward ? FirstVisibleNode() : LastVisibleNode();
      return Forward ? NextVisibleNode(Node) : PreviousVisibleNode(Node);
    case TVTIncrementalSearch::isInitializedOnly:
      if (!Node) return Forward ? FirstNodeRaw(false) : LastNodeRaw(nullptr, false);
      return Forward ? NextNodeRaw(Node) : PreviousNodeRaw(Node);
    default:
      if (!Node) return Forward ? FirstNode() : LastNode();
      return Forward ? NextNode(Node) : PreviousNode(Node);
  }
}

void TBaseVirtualTree::IncrementalSearchKey(char Key) {
  StopTimer(SearchTimer);
  if (FIncrementalSearch == TVTIncrementalSearch::isNone) return;
  if (Key != 0) {
    ChangeStates({TS::tsIncrementalSearching}, {});
    const bool backspace = Key == '\b';
    const wchar_t ch = backspace ? L'\b' : TypedCharacter(Key);
    if (!(backspace && FSearchBuffer.empty())) {
      PVirtualNode start = nullptr;
      switch (FIncrementalSearchStart) {
        case TVTSearchStart::ssLastHit: start = FLastSearchNode; break;
        case TVTSearchStart::ssFocusedNode: start = FFocusedNode; break;
        default: break;
      }
      if (start && FIncrementalSearch == TVTIncrementalSearch::isInitializedOnly &&
          !start->StateBits.Contains(NS::nsInitialized))
        start = nullptr;
      if (start && FIncrementalSearch == TVTIncrementalSearch::isVisibleOnly && !IsEffectivelyVisible(start))
        start = nullptr;
      PVirtualNode stop = start;
      bool forward = FIncrementalSearchDirection == TVTSearchDirection::sdForward;
      if (backspace) forward = !forward;
      const bool repeated = FSearchBuffer.size() == 1 && FSearchBuffer[0] == ch && !backspace &&
                            !(start && FireIncrementalSearch(start, FSearchBuffer + ch) == 0);
      std::wstring text;
      if (repeated) text = FSearchBuffer;
      else if (backspace) text = FSearchBuffer.substr(0, FSearchBuffer.size() - 1);
      else text = FSearchBuffer + ch;
      PVirtualNode run = start;
      if (FSearchBuffer.empty() || !run || repeated || backspace) {
        run = SearchStep(run, forward);
        if (!run) run = SearchStep(nullptr, forward);
      }
      PVirtualNode found = nullptr;
      for (bool first = true; run; first = false) {
        if (!first && run == stop) break;
        if (FireIncrementalSearch(run, text) == 0) {
          found = run;
          break;
        }
        run = SearchStep(run, forward);
        if (!run) {
          if (!stop) break;
          run = SearchStep(nullptr, forward);
        }
      }
      if (found) {
        ClearAllSelection();
        FSearchBuffer = text;
        SetFocusedNode(found);
        AddNodeToSelection(found);
        FLastSearchNode = found;
      } else if (stop && FireIncrementalSearch(stop, text) != 0) {
        MessageBeep(MB_OK);
      }
    }
  }
  if (HandleAllocated()) SetTimer(Handle(), SearchTimer, FIncrementalSearchTimeout, nullptr);
}
