// Dragging nodes out of a tree and onto it: the OLE drag and its drop
// target calls, the class library's drag messages, the effect proposed to
// the application, and expanding the node a drag rests over.
#include "platform/DragManager.h"
#include "platform/Forms.h"
#include "vtree/DragImage.h"
#include "vtree/TreeDataObject.h"
#include "vtree/TreeDragManager.h"
#include "vtree/TreeStreamFormat.h"
#include "vtree/VirtualTree.h"

#include <algorithm>
#include <cstdlib>

namespace {
using NS = TVirtualNodeState;
using TS = TVirtualTreeState;
using HP = THitPosition;
using DM = TVTDropMode;

DWORD EffectsOf(TDragOperations Operations) {
  DWORD effects = 0;
  if (Operations.Contains(TDragOperation::doCopy)) effects |= DROPEFFECT_COPY;
  if (Operations.Contains(TDragOperation::doMove)) effects |= DROPEFFECT_MOVE;
  if (Operations.Contains(TDragOperation::doLink)) effects |= DROPEFFECT_LINK;
  return effects ? effects : DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
}
}  // namespace

// --- the drag manager and the data object ------------------------------------------------------

TVTDragManager* TBaseVirtualTree::DragManager() {
  if (!FDragManager) {
    TComPtr<TVTDragManager> manager;
    FireEvent(OnCreateDragManager, this, manager);
    if (!manager) manager = TComPtr<TVTDragManager>(new TVTDragManager(this));
    FDragManager = manager;
  }
  return FDragManager.Get();
}

void TBaseVirtualTree::DragManagerGone(TVTDragManager* Manager) {
  // Only reached once the last reference went, so the tree holds none.
  (void)Manager;
}

TComPtr<IDataObject> TBaseVirtualTree::FireCreateDataObject() {
  TComPtr<IDataObject> data;
  FireEvent(OnCreateDataObject, this, data);
  return data;
}

TBaseVirtualTree* TBaseVirtualTree::SourceTreeOf(IDataObject* DataObject) {
  if (!DataObject) return nullptr;
  FORMATETC format{VirtualTreeReferenceFormat(), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  if (FAILED(DataObject->GetData(&format, &medium))) return nullptr;
  TBaseVirtualTree* tree = nullptr;
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    if (const void* block = GlobalLock(medium.hGlobal)) {
      TTreeReference ref;
      if (ReadTreeReferenceBlock(static_cast<const uint8_t*>(block), GlobalSize(medium.hGlobal), ref) &&
          ref.ProcessId == GetCurrentProcessId())
        tree = LiveTreeAt(ref.Tree);
      GlobalUnlock(medium.hGlobal);
    }
  }
  ReleaseStgMedium(&medium);
  return tree;
}

void TBaseVirtualTree::UpdateDropRegistration(bool Register) {
  if (!HandleAllocated()) return;
  if (Register && !FDropRegistered) {
    FDropRegistered = SUCCEEDED(RegisterDragDrop(Handle(), DragManager()));
  } else if (!Register && FDropRegistered) {
    RevokeDragDrop(Handle());
    FDropRegistered = false;
  }
}

// --- the effect -----------------------------------------------------------------------------------

DWORD TBaseVirtualTree::ProposeDropEffect(TObject* Source, TShiftState Shift, DWORD Allowed) {
  const DWORD base = Source == this ? ((Allowed & DROPEFFECT_MOVE) ? DROPEFFECT_MOVE : Allowed)
                                    : ((Allowed & DROPEFFECT_COPY) ? DROPEFFECT_COPY : Allowed);
  const bool ctrl = Shift.Contains(ssCtrl), shift = Shift.Contains(ssShift), alt = Shift.Contains(ssAlt);
  DWORD wanted = 0;
  if (ctrl && shift) wanted = DROPEFFECT_LINK;
  else if (ctrl) wanted = DROPEFFECT_COPY;
  else if (shift) wanted = DROPEFFECT_MOVE;
  else if (alt) wanted = DROPEFFECT_LINK;
  return wanted && (Allowed & wanted) ? wanted : base;
}

namespace {
// The key state of a drag with the buttons the tree holds down.
TShiftState DragShiftState(DWORD KeyState, const TVirtualTreeStates& States) {
  TShiftState shift;
  if (KeyState & MK_SHIFT) shift.Include(ssShift);
  if (KeyState & MK_CONTROL) shift.Include(ssCtrl);
  if (KeyState & MK_ALT) shift.Include(ssAlt);
  if (States.Contains(TS::tsLeftButtonDown)) shift.Include(ssLeft);
  if (States.Contains(TS::tsMiddleButtonDown)) shift.Include(ssMiddle);
  if (States.Contains(TS::tsRightButtonDown)) shift.Include(ssRight);
  return shift;
}
}  // namespace

bool TBaseVirtualTree::FireDragOver(TObject* Source, TShiftState Shift, TDragState State, POINT Pt, TVTDropMode Mode,
                                    DWORD& Effect) {
  bool accept = false;
  FireEvent(OnDragOver, this, Source, Shift, State, Pt, Mode, Effect, accept);
  return accept;
}

void TBaseVirtualTree::FireDragDrop(TObject* Source, IDataObject* DataObject, const TFormatArray& Formats,
                                    TShiftState Shift, POINT Pt, DWORD& Effect, TVTDropMode Mode) {
  FireEvent(OnDragDrop, this, Source, DataObject, Formats, Shift, Pt, Effect, Mode);
}

// --- the drag image -----------------------------------------------------------------------------

void TBaseVirtualTree::PrepareDragImage(POINT Hotspot, IDataObject* DataObject) {
  // The area around the press point, in content co-ordinates, cut at the
  // content's origin.
  const POINT content{Hotspot.x - FEffectiveOffsetX, Hotspot.y - FOffsetY};
  RECT area{content.x - FDragWidth / 2, content.y - FDragHeight / 2, 0, 0};
  area.right = area.left + FDragWidth;
  area.bottom = area.top + FDragHeight;
  if (area.left < 0) area.left = 0;
  if (area.top < 0) area.top = 0;
  const int width = area.right - area.left, height = area.bottom - area.top;
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  TGdiObject picture(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!picture.Get()) return;
  {
    TMemoryDC dc;
    TSelectObjectGuard select(dc.Get(), picture.Get());
    TGdiObject ground(CreateSolidBrush(ColorToRGB(Color())));
    const RECT all{0, 0, width, height};
    FillRect(dc.Get(), &all, static_cast<HBRUSH>(ground.Get()));
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    TVTInternalPaintOptions options{TVTInternalPaintOption::ppSelection, TVTInternalPaintOption::ppSelectedOnly};
    if (FDragImageKind == TVTDragImageKind::diMainColumnOnly) options.Include(TVTInternalPaintOption::ppMainColumnOnly);
    RenderTree(&canvas, area, POINT{0, 0}, options);
    canvas.SetHandle(nullptr);
  }
  GdiFlush();
  if (!FNodeDragImage) FNodeDragImage = new TVTDragImage(this);
  FNodeDragImage->SetImageColorKey(Color());
  POINT corner{area.left + FEffectiveOffsetX, area.top + FOffsetY};
  POINT hotspot = Hotspot;
  if (HandleAllocated()) {
    corner = ClientToScreen(corner);
    hotspot = ClientToScreen(hotspot);
  }
  FNodeDragImage->PrepareImage(static_cast<HBITMAP>(picture.Get()), corner, DataObject, hotspot);
}

// A tree dragging its own picture over another tree (or itself).
static TVTDragImage* OwnDragImageOf(TObject* Source) {
  auto* tree = dynamic_cast<TBaseVirtualTree*>(Source);
  TVTDragImage* image = tree ? tree->NodeDragImage() : nullptr;
  return image && image->States().Contains(TVTDragImageState::disPrepared) &&
                 !image->States().Contains(TVTDragImageState::disSystemSupport)
             ? image
             : nullptr;
}

// --- starting a drag ------------------------------------------------------------------------------

void TBaseVirtualTree::StartOleDrag(POINT P) {
  CancelNodeEdit();
  if (FCurrentHotNode) {
    InvalidateNode(FCurrentHotNode);
    FCurrentHotNode = nullptr;
  }
  if (FFocusedNode && !FFocusedNode->StateBits.Contains(NS::nsSelected)) {
    AddNodeToSelection(FFocusedNode);
    InvalidateNode(FFocusedNode);
  }
  if (HandleAllocated()) UpdateWindow(Handle());
  FDragSelection = GetSortedSelection(true);
  ChangeStates({TS::tsOLEDragging}, {TS::tsOLEDragPending, TS::tsClearPending});
  struct TDragEnd {
    TBaseVirtualTree& Tree;
    ~TDragEnd() {
      Tree.FDragSelection.clear();
      Tree.ChangeStates({}, {TS::tsOLEDragging});
    }
  } dragEnd{*this};
  TDragObject* dragObject = nullptr;
  DoStartDrag(dragObject);
  delete dragObject;
  ChangeStates({}, {TS::tsUserDragObject});

  TVTDragManager* manager = DragManager();
  TComPtr<IDataObject> data = manager->ActiveDataObject();
  if (ShowsDragImage()) PrepareDragImage(P, data.Get());
  FLastDropMode = DM::dmOnNode;
  const DWORD effect = RunDoDragDrop(data.Get(), EffectsOf(FDragOperations));
  manager->DragLeave();
  if (FNodeDragImage) FNodeDragImage->EndImage();
  POINT cursor{};
  GetCursorPos(&cursor);
  if (HandleAllocated()) cursor = ScreenToClient(cursor);
  DoEndDrag(nullptr, cursor.x, cursor.y);
  if (effect == DROPEFFECT_MOVE && FOptions->AutoOptions().Contains(TVTAutoOption::toAutoDeleteMovedNodes)) {
    // Nodes the target moved away are gone from the drag selection already.
    InBracket([&] {
      const TNodeArray nodes = FDragSelection;
      for (PVirtualNode node : nodes)
        if (std::find(FDragSelection.begin(), FDragSelection.end(), node) != FDragSelection.end()) RemoveNode(node);
    });
  }
}

DWORD TBaseVirtualTree::RunDoDragDrop(IDataObject* DataObject, DWORD AllowedEffects) {
  DWORD effect = DROPEFFECT_NONE;
  if (DoDragDrop(DataObject, DragManager(), AllowedEffects, &effect) != DRAGDROP_S_DROP) effect = DROPEFFECT_NONE;
  return effect;
}

// --- the drop target ------------------------------------------------------------------------------

HRESULT TBaseVirtualTree::OleDragEnter(DWORD KeyState, POINT P, DWORD& Effect) {
  try {
    FDragScrollStart = 0;
    TObject* source = FDragManager ? FDragManager->SourceTree() : nullptr;
    const TShiftState shift = DragShiftState(KeyState, FStates);
    Effect = ProposeDropEffect(source, shift, Effect);
    const POINT client = ScreenToClient(P);
    if (FireDragOver(source, shift, dsDragEnter, client, FLastDropMode, Effect)) {
      THitInfo hit;
      HitTestAt(client.x, client.y, true, hit);
      TVTDropMode mode = DM::dmNowhere;
      if (hit.HitNode) {
        if (hit.HitPositions.Contains(HP::hpOnLabel)) {
          mode = DM::dmOnNode;
        } else {
          const RECT r = NodeDisplayRect(hit.HitNode, FHeader->MainColumn(), false);
          mode = client.y < (r.top + r.bottom) / 2 ? DM::dmAbove : DM::dmBelow;
        }
      }
      SetDropTarget(hit.HitNode, mode);
    } else {
      Effect = DROPEFFECT_NONE;
    }
    if (!(FDragManager && FDragManager->HasDropImageObject()))
      if (TVTDragImage* image = OwnDragImageOf(source)) image->RevealImage();
    return S_OK;
  } catch (...) {
    HandleCallbackException(this);
    return E_UNEXPECTED;
  }
}

HRESULT TBaseVirtualTree::OleDragOver(TObject* Source, DWORD KeyState, DWORD& Effect, POINT P, TDragState State) {
  try {
    const POINT client = ScreenToClient(P);
    // Scrolling at the edges while the drag rests there.
    const uint32_t directions = ScrollDirectionsAt(client.x, client.y);
    const POINT before{FOffsetX, FOffsetY};
    if (directions) {
      const int32_t vertical = std::min(FScrollBarOptions->VerticalIncrement(), ClientHeight());
      const int32_t horizontal = FScrollBarOptions->HorizontalIncrement();
      POINT to = before;
      if (directions & ScrollUp) to.y += vertical;
      if (directions & ScrollDown) to.y -= vertical;
      if (directions & ScrollLeft) to.x += horizontal;
      if (directions & ScrollRight) to.x -= horizontal;
      ApplyScrollOffset(to, AllScrollUpdates);
    }
    const bool scrolled = before.x != FOffsetX || before.y != FOffsetY;

    THitInfo hit;
    HitTestAt(client.x, client.y, true, hit);
    const bool onLabel = hit.HitPositions.Contains(HP::hpOnLabel) || hit.HitPositions.Contains(HP::hpOnNormalImage) ||
                         hit.HitPositions.Contains(HP::hpOnStateImage);
    PVirtualNode node = hit.HitNode;
    if (node && FOptions->MiscOptions().Contains(TVTMiscOption::toReportMode) &&
        !(onLabel && hit.HitColumn == FHeader->MainColumn()))
      node = nullptr;
    TVTDropMode mode = DM::dmNowhere;
    if (node) {
      if (onLabel || !FOptions->PaintOptions().Contains(TVTPaintOption::toShowDropmark)) {
        mode = DM::dmOnNode;
      } else {
        const RECT r = NodeDisplayRect(node, NoColumn, false, true);
        mode = client.y < (r.top + r.bottom) / 2 ? DM::dmAbove : DM::dmBelow;
      }
    }
    if (node != FDropTargetNode || mode != FLastDropMode) {
      const bool newNode = node != FDropTargetNode;
      if (newNode) {
        StopTimer(ExpandTimer);
        if (FFocusedColumn < 0) FFocusedColumn = FHeader->MainColumn();
      }
      SetDropTarget(node, mode);
      if (newNode && node && FOptions->AutoOptions().Contains(TVTAutoOption::toAutoDropExpand) &&
          node->StateBits.Contains(NS::nsHasChildren) && HandleAllocated())
        SetTimer(Handle(), ExpandTimer, FAutoExpandDelay, nullptr);
    } else if (scrolled) {
      Invalidate();
    }
    TVTDragImage* image = OwnDragImageOf(Source);
    if (HandleAllocated()) {
      // What is repainted under the source's own image is painted without
      // it; the image then shows again over the new picture.
      RECT pending{};
      const bool repaint = image && image->ImageVisible() && GetUpdateRect(Handle(), &pending, FALSE);
      if (repaint) image->HideImage();
      UpdateWindow(Handle());
      if (repaint) image->RevealImage();
    }
    if (image && image->ImageWillMove(P)) image->MoveImageTo(P, false);

    const TShiftState shift = DragShiftState(KeyState, FStates);
    Effect = ProposeDropEffect(Source, shift, Effect);
    if (!FireDragOver(Source, shift, State, client, FLastDropMode, Effect)) Effect = DROPEFFECT_NONE;
    if (scrolled) Effect |= DROPEFFECT_SCROLL;
    return S_OK;
  } catch (...) {
    HandleCallbackException(this);
    return E_UNEXPECTED;
  }
}

void TBaseVirtualTree::OleDragLeave() {
  StopTimer(ExpandTimer);
  if (FDragManager && !FDragManager->HasDropImageObject())
    if (TVTDragImage* image = OwnDragImageOf(FDragManager->SourceTree())) image->HideImage();
  SetDropTarget(nullptr, DM::dmNowhere);
  if (HandleAllocated()) UpdateWindow(Handle());
  DWORD effect = DROPEFFECT_NONE;
  FireDragOver(nullptr, TShiftState{}, dsDragLeave, POINT{0, 0}, FLastDropMode, effect);
}

HRESULT TBaseVirtualTree::OleDrop(IDataObject* DataObject, DWORD KeyState, DWORD& Effect, POINT P) {
  StopTimer(ExpandTimer);
  StopTimer(ScrollTimer);
  ChangeStates({}, {TS::tsScrolling, TS::tsScrollPending});
  TObject* source = FDragManager ? FDragManager->SourceTree() : nullptr;
  HRESULT result = OleDragOver(source, KeyState, Effect, P, dsDragMove);
  if (SUCCEEDED(result) && (Effect & ~DWORD(DROPEFFECT_SCROLL)) == 0) result = E_FAIL;
  if (SUCCEEDED(result)) {
    TFormatArray formats;
    TComPtr<IEnumFORMATETC> enumerator;
    if (DataObject && SUCCEEDED(DataObject->EnumFormatEtc(DATADIR_GET, enumerator.Put())) && enumerator &&
        SUCCEEDED(enumerator->Reset())) {
      FORMATETC one{};
      while (enumerator->Next(1, &one, nullptr) == S_OK) {
        formats.push_back(one.cfFormat);
        if (one.ptd) CoTaskMemFree(one.ptd);
      }
    }
    try {
      Effect &= ~DWORD(DROPEFFECT_SCROLL);
      FireDragDrop(source, DataObject, formats, DragShiftState(KeyState, FStates), ScreenToClient(P), Effect,
                   FLastDropMode);
    } catch (...) {
      HandleCallbackException(this);
      result = E_UNEXPECTED;
    }
  }
  SetDropTarget(nullptr, DM::dmNowhere);
  return result;
}

void TBaseVirtualTree::AutoExpandDropTarget() {
  StopTimer(ExpandTimer);
  PVirtualNode node = FDropTargetNode;
  if (node && node->StateBits.Contains(NS::nsHasChildren) && !node->StateBits.Contains(NS::nsExpanded))
    ToggleNodeExpansion(node);
  if (HandleAllocated()) UpdateWindow(Handle());
}

// --- the class library's drag --------------------------------------------------------------------

void TBaseVirtualTree::DoStartDrag(TDragObject*& DragObject) {
  TVirtualTreeBase::DoStartDrag(DragObject);
  if (DragObject) ChangeStates({TS::tsUserDragObject}, {});
}

void TBaseVirtualTree::FinishDragging() {
  ChangeStates({}, {TS::tsUserDragObject, TS::tsVCLDragging, TS::tsVCLDragPending});
  if (!HandleAllocated()) return;
  POINT p{};
  GetCursorPos(&p);
  p = ScreenToClient(p);
  const UINT message = FStates.Contains(TS::tsRightButtonDown)    ? WM_RBUTTONUP
                       : FStates.Contains(TS::tsMiddleButtonDown) ? WM_MBUTTONUP
                                                                  : WM_LBUTTONUP;
  SendMessageA(Handle(), message, 0, MAKELPARAM(p.x, p.y));
}

void TBaseVirtualTree::HandleDragMessage(TMessage& Message) {
  auto* rec = reinterpret_cast<TDragRec*>(Message.LParam);
  const auto kind = static_cast<TDragMessage>(Message.WParam);
  TObject* source = rec && rec->Source ? rec->Source->SourceObject() : nullptr;
  const POINT screen = rec ? rec->Pos : POINT{};
  const POINT client = ScreenToClient(screen);
  DWORD keys = 0;
  if (GetKeyState(VK_SHIFT) < 0) keys |= MK_SHIFT;
  if (GetKeyState(VK_CONTROL) < 0) keys |= MK_CONTROL;
  switch (kind) {
    case dmDragEnter:
    case dmDragLeave:
    case dmDragMove: {
      if (kind == dmDragEnter) ChangeStates({TS::tsVCLDragging}, {});
      else if (kind == dmDragLeave) ChangeStates({}, {TS::tsVCLDragging});
      else ScheduleAutoScroll(client.x, client.y);
      DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
      const TDragState state = kind == dmDragEnter ? dsDragEnter : kind == dmDragLeave ? dsDragLeave : dsDragMove;
      OleDragOver(source, keys, effect, screen, state);
      FVCLDropTarget = FDropTargetNode;
      FVCLDragEffect = effect;
      Message.Result = effect != DROPEFFECT_NONE;
      if (kind == dmDragLeave) {
        StopTimer(ExpandTimer);
        StopTimer(ScrollTimer);
        ChangeStates({}, {TS::tsScrollPending, TS::tsScrolling});
        SetDropTarget(nullptr, DM::dmNowhere);
      }
      break;
    }
    case dmDragDrop: {
      StopTimer(ExpandTimer);
      StopTimer(ScrollTimer);
      ChangeStates({}, {TS::tsScrollPending, TS::tsScrolling});
      SetDropTarget(FVCLDropTarget, FLastDropMode);
      DWORD effect = FVCLDragEffect;
      FireDragDrop(source, nullptr, TFormatArray{}, KeysToShiftState(keys), client, effect, FLastDropMode);
      FVCLDragEffect = effect;
      SetDropTarget(nullptr, DM::dmNowhere);
      ChangeStates({}, {TS::tsVCLDragging});
      break;
    }
    case dmFindTarget:
      if (FStates.Contains(TS::tsVCLDragPending))
        ChangeStates({TS::tsVCLDragging}, {TS::tsVCLDragPending, TS::tsEditPending, TS::tsClearPending});
      Message.Result = reinterpret_cast<LRESULT>(static_cast<TControl*>(this));
      break;
    default:
      TVirtualTreeBase::Dispatch(Message);
      break;
  }
}
