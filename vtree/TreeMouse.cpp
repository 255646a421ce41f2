// The tree's mouse beyond clicks: context menus, help, panning with the
// middle button, the cursor, node height tracking, moving between cells
// with Tab and the decision to drag.
#include "vtree/VirtualTree.h"

#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Screen.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using HP = THitPosition;
using MO = TVTMiscOption;

constexpr UINT PanningInterval = 20;  // ms between panning steps
constexpr const char* PanningClass = "VTPanningWindow";
constexpr COLORREF PanningKey = RGB(255, 0, 255);  // the panning pictures' transparent colour

// The panning window paints its picture; the tree keeps the picture in the
// window's user data.
LRESULT CALLBACK PanningWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  if (Msg == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(Wnd, &paint);
    HBITMAP picture = reinterpret_cast<HBITMAP>(GetWindowLongPtrA(Wnd, GWLP_USERDATA));
    if (dc && picture) {
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(memory, picture);
      BitBlt(dc, 0, 0, 32, 32, memory, 0, 0, SRCCOPY);
      SelectObject(memory, old);
      DeleteDC(memory);
    }
    EndPaint(Wnd, &paint);
    return 0;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

// The picture's pixels that are not the key colour, as a region.
HRGN RegionOfPicture(HBITMAP Picture) {
  BITMAP info{};
  GetObjectA(Picture, sizeof info, &info);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(memory, Picture);
  for (int y = 0; y < info.bmHeight; ++y) {
    int x = 0;
    while (x < info.bmWidth) {
      while (x < info.bmWidth && GetPixel(memory, x, y) == PanningKey) ++x;
      const int start = x;
      while (x < info.bmWidth && GetPixel(memory, x, y) != PanningKey) ++x;
      if (x > start) {
        HRGN run = CreateRectRgn(start, y, x, y + 1);
        CombineRgn(region, region, run, RGN_OR);
        DeleteObject(run);
      }
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  return region;
}
}  // namespace

// --- context menus and help -------------------------------------------------------------------------

TPopupMenu* TBaseVirtualTree::FireGetPopupMenu(PVirtualNode Node, TColumnIndex Column, POINT P) {
  TPopupMenu* menu = nullptr;
  if (!OnGetPopupMenu) return nullptr;
  if (!Node) {
    bool askParent = true;
    OnGetPopupMenu(this, nullptr, NoColumn, P, askParent, menu);
    return menu;
  }
  bool askParent = true;
  for (PVirtualNode run = Node; run && run != FRoot && askParent && !menu; run = run->Parent) {
    OnGetPopupMenu(this, run, Column, P, askParent, menu);
    if (FDestroying) return nullptr;
  }
  return menu;
}

bool TBaseVirtualTree::NodeHasPopup(PVirtualNode Node, TColumnIndex Column, POINT P) {
  return PopupMenu() != nullptr || FireGetPopupMenu(Node, Column, P) != nullptr;
}

void TBaseVirtualTree::PopupForNode(PVirtualNode Node, TColumnIndex Column, POINT P) {
  TPopupMenu* menu = FireGetPopupMenu(Node, Column, P);
  if (!menu) return;
  StopTimer(EditTimer);
  ChangeStates({TS::tsPopupMenuShown}, {TS::tsEditPending});
  menu->SetPopupComponent(this);
  const POINT screen = ClientToScreen(P);
  menu->Popup(screen.x, screen.y);
}

void TBaseVirtualTree::HandleContextMenuMessage(TMessage& Message) {
  ChangeStates({}, {TS::tsClearPending, TS::tsEditPending, TS::tsOLEDragPending, TS::tsVCLDragPending});
  StopTimer(EditTimer);
  if (!FStates.Contains(TS::tsPopupMenuShown)) TVirtualTreeBase::Dispatch(Message);
}

int TBaseVirtualTree::HelpContextForFocusedNode() {
  int context = 0;
  if (OnGetHelpContext) {
    for (PVirtualNode run = FFocusedNode; run && run != FRoot && context == 0; run = run->Parent)
      OnGetHelpContext(this, run, 0, context);
  }
  for (TWinControl* control = this; control && context == 0; control = control->Parent())
    context = control->HelpContext();
  return context;
}

// --- panning ----------------------------------------------------------------------------------------

void TBaseVirtualTree::BeginPanning() {
  StopTimer(ScrollTimer);
  ChangeStates({TS::tsWheelPanning}, {});
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA found{};
  const bool registered = GetClassInfoA(instance, PanningClass, &found) != FALSE;
  if (registered && found.lpfnWndProc != PanningWindowProc) UnregisterClassA(PanningClass, instance);
  if (!registered || found.lpfnWndProc != PanningWindowProc) {
    WNDCLASSA panning{};
    panning.lpfnWndProc = PanningWindowProc;
    panning.hInstance = instance;
    panning.lpszClassName = PanningClass;
    panning.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    RegisterClassA(&panning);
  }
  const bool wide = FRangeX > ClientWidth();
  const bool tall = FRangeY > ClientHeight();
  FPanningImageName = wide && tall ? "VT_MOVEALL" : wide ? "VT_MOVEEW" : "VT_MOVENS";
  FPanningImage.Reset(LoadImageA(instance, FPanningImageName, IMAGE_BITMAP, 0, 0, 0));
  BITMAP info{};
  MevraAssert(FPanningImage && GetObjectA(FPanningImage.Get(), sizeof info, &info) && info.bmWidth > 0 &&
                  info.bmHeight > 0,
              "Invalid wheel panning image.");
  const POINT centre = ClientToScreen(FPanningStart);
  FPanningWindow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, PanningClass, nullptr, WS_POPUP,
                                   centre.x - 16, centre.y - 16, 32, 32, Handle(), nullptr, instance, nullptr);
  if (FPanningWindow) {
    SetWindowLongPtrA(FPanningWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(FPanningImage.Get()));
    SetWindowRgn(FPanningWindow, RegionOfPicture(static_cast<HBITMAP>(FPanningImage.Get())), FALSE);
    ShowWindow(FPanningWindow, SW_SHOWNOACTIVATE);
    UpdateWindow(FPanningWindow);
  }
  SetCapture(Handle());
  FLastMousePoint = FPanningStart;
  FScrollDirections = 0;
  UpdatePanningCursor(FPanningStart.x, FPanningStart.y);
  SetTimer(Handle(), ScrollTimer, PanningInterval, nullptr);
}

void TBaseVirtualTree::EndPanning() {
  if (!FStates.Contains(TS::tsWheelPanning) && !FStates.Contains(TS::tsWheelScrolling)) return;
  StopTimer(ScrollTimer);
  if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
  ChangeStates({}, {TS::tsWheelPanning, TS::tsWheelScrolling});
  if (FPanningWindow) {
    DestroyWindow(FPanningWindow);
    FPanningWindow = nullptr;
  }
  FPanningImage.Reset();
  FPanningImageName = "";
  FPanningCursor = nullptr;
  FPanningCursorName = "";
  FScrollDirections = 0;
  if (HandleAllocated()) ::SetCursor(Screen->Cursors(Cursor()));
}

void TBaseVirtualTree::UpdatePanningCursor(int32_t X, int32_t Y) {
  const int32_t dx = X - FPanningStart.x, dy = Y - FPanningStart.y;
  const bool wide = FRangeX > ClientWidth();
  const bool tall = FRangeY > ClientHeight();
  const bool moving = std::abs(dx) > 7 || std::abs(dy) > 7;
  const char* name;
  if (moving && wide && tall) {
    auto byY = [&](const char* up, const char* level, const char* down) { return dy < -8 ? up : dy < 9 ? level : down; };
    if (dx < -8) name = byY("VT_MOVENW", "VT_MOVEW", "VT_MOVESW");
    else if (dx < 9) name = Y < FPanningStart.y ? "VT_MOVEN" : "VT_MOVES";
    else name = byY("VT_MOVENE", "VT_MOVEE", "VT_MOVESE");
  } else if (moving && wide) {
    name = X < FPanningStart.x ? "VT_MOVEW" : "VT_MOVEE";
  } else if (moving) {
    name = Y < FPanningStart.y ? "VT_MOVEN" : "VT_MOVES";
  } else {
    name = !wide ? "VT_MOVENS" : tall ? "VT_MOVEALL" : "VT_MOVEEW";
  }
  HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), name);
  FPanningCursorName = name;
  if (cursor == FPanningCursor) return;
  FPanningCursor = cursor;
  ::SetCursor(cursor);
}

// --- the cursor -------------------------------------------------------------------------------------

PVirtualNode TBaseVirtualTree::NodeEdgeAt(const THitInfo& Hit) {
  if (!FOptions->MiscOptions().Contains(MO::toNodeHeightResize) || !Hit.HitNode) return nullptr;
  TVirtualTreeColumns* columns = FHeader->Columns();
  // Heights are dragged in a fixed column, or anywhere without columns.
  if (columns->IsColumnIndex(Hit.HitColumn) ? !columns->Items(Hit.HitColumn)->IsFixed() : columns->Count() > 0)
    return nullptr;
  if (Hit.HitPositions.Contains(HP::hpUpperEdge)) return PreviousVisibleNode(Hit.HitNode);
  if (Hit.HitPositions.Contains(HP::hpLowerEdge)) return Hit.HitNode;
  return nullptr;
}

HCURSOR TBaseVirtualTree::CursorAt(POINT P) {
  TCursor cursor = Cursor();
  THitInfo hit;
  HitTestAt(P.x, P.y, true, hit);
  if (NodeEdgeAt(hit)) cursor = crVertSplit;
  else if (FOptions->PaintOptions().Contains(TVTPaintOption::toHotTrack) && FHotCursor != crDefault && FCurrentHotNode)
    cursor = static_cast<TCursor>(FHotCursor);
  FireEvent(OnGetCursor, this, cursor);
  return Screen->Cursors(cursor);
}

// --- node height tracking ---------------------------------------------------------------------------

bool TBaseVirtualTree::HandleNodeHeightTracking(POINT P, WPARAM Keys) {
  if (FStates.Contains(TS::tsNodeHeightTrackPending)) {
    EndPanning();
    for (UINT_PTR id : {ExpandTimer, EditTimer, HeaderTimer, ScrollTimer}) StopTimer(id);
    StopSearch();
    ChangeStates({TS::tsNodeHeightTracking},
                 {TS::tsEditPending, TS::tsNodeHeightTrackPending, TS::tsIncrementalSearching, TS::tsOLEDragPending,
                  TS::tsScrolling, TS::tsScrollPending, TS::tsVCLDragPending});
  }
  if (!FStates.Contains(TS::tsNodeHeightTracking) || !FHeightTrackNode) return false;
  TShiftState shift;
  if (Keys & MK_SHIFT) shift.Include(ssShift);
  if (Keys & MK_CONTROL) shift.Include(ssCtrl);
  bool allowed = true;
  POINT track = FHeightTrackPoint;
  FireEvent(OnNodeHeightTracking, this, FHeightTrackNode, FHeightTrackColumn, shift, track, P, allowed);
  if (!allowed) return false;
  FHeightTrackPoint = track;
  const int32_t height = std::max<int32_t>(P.y, FHeightTrackPoint.y + 1) - FHeightTrackPoint.y;
  SetNodeHeight(FHeightTrackNode, static_cast<uint32_t>(height));
  UpdateWindow(Handle());
  return true;
}

// --- Tab between cells ------------------------------------------------------------------------------

void TBaseVirtualTree::TabToNextCell(bool Back) {
  TVirtualTreeColumns* columns = FHeader->Columns();
  PVirtualNode node = FFocusedNode ? FFocusedNode : (Back ? LastVisibleNode() : FirstVisibleNode());
  if (!node) return;
  TColumnIndex column = FFocusedColumn;
  for (;;) {
    column = Back ? columns->ShownColumnBefore(column, true) : columns->ShownColumnAfter(column, true);
    if (!columns->IsColumnIndex(column)) {
      // Past the last (first) column the next (previous) node's first (last) one.
      node = Back ? PreviousVisibleNode(node) : NextVisibleNode(node);
      if (!node) return;
      column = Back ? columns->LastShownColumn(true) : columns->FirstShownColumn(true);
      if (!columns->IsColumnIndex(column)) return;
    }
    if (FireFocusChanging(FFocusedNode, node, FFocusedColumn, column)) break;
  }
  const bool nodeChanged = node != FFocusedNode;
  FFocusedColumn = column;
  if (nodeChanged) {
    ClearAllSelection();
    MoveFocusTo(node, false);
    AddNodeToSelection(node);
  }
  ScrollNodeIntoView(FFocusedNode, false, true);
  Invalidate();
  FireFocusChanged(FFocusedNode, FFocusedColumn);
}

// --- dragging ---------------------------------------------------------------------------------------

bool TBaseVirtualTree::FireDragAllowed(PVirtualNode Node, TColumnIndex Column) {
  bool allowed = false;
  FireEvent(OnDragAllowed, this, Node, Column, allowed);
  return allowed;
}

void TBaseVirtualTree::BeginDrag(bool Immediate, int Threshold) {
  if (FDragType == TVTDragType::dtVCL) {
    ChangeStates({TS::tsVCLDragPending}, {});
    TVirtualTreeBase::BeginDrag(Immediate, Threshold);
    return;
  }
  if (FStates.Contains(TS::tsOLEDragPending) || FStates.Contains(TS::tsOLEDragging)) return;
  FDragThreshold = Threshold < 0 ? GetSystemMetrics(SM_CXDRAG) : Threshold;
  if (Immediate) StartOleDrag(FLastClickPos);
  else ChangeStates({TS::tsOLEDragPending}, {});
}

void TBaseVirtualTree::DoEndDrag(TObject* Target, int X, int Y) {
  TVirtualTreeBase::DoEndDrag(Target, X, Y);
  FinishDragging();
}

std::wstring TBaseVirtualTree::FireGetImageText(PVirtualNode Node, TVTImageKind Kind, TColumnIndex Column) {
  std::wstring text;
  FireEvent(OnGetImageText, this, Node, Kind, Column, text);
  return text;
}
