#include "vtree/TreeDragManager.h"

#include "vtree/TreeDataObject.h"
#include "vtree/VirtualTree.h"

#include <shlguid.h>

const TClassInfo TVTDragManager::ClassInfo{"TVTDragManager", &TObject::ClassInfo, nullptr};

namespace {
bool gSystemImagesAllowed = true;
}

void TVTDragManager::SetSystemImagesAllowed(bool Allowed) { gSystemImagesAllowed = Allowed; }
bool TVTDragManager::SystemImagesAllowed() { return gSystemImagesAllowed; }

TVTDragManager::TVTDragManager(TBaseVirtualTree* AOwner) : FOwner(AOwner) {
  if (gSystemImagesAllowed &&
      FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                              reinterpret_cast<void**>(FDropTargetHelper.Put()))))
    FDropTargetHelper.Clear();
}

TVTDragManager::~TVTDragManager() {
  if (TBaseVirtualTree* owner = FOwner.Get()) owner->DragManagerGone(this);
}

TComPtr<IDataObject> TVTDragManager::ActiveDataObject() {
  if (FDataObject) return FDataObject;
  TBaseVirtualTree* owner = FOwner.Get();
  if (!owner) return {};
  TComPtr<IDataObject> data = owner->FireCreateDataObject();
  if (!data) data = TComPtr<IDataObject>(new TVTDataObject(owner, false));
  return data;
}

void TVTDragManager::LeaveDropImage() {
  if (UsesDropImage()) FDropTargetHelper->DragLeave();
}

STDMETHODIMP TVTDragManager::DragEnter(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) {
  if (!Effect) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    FDataObject = TComPtr<IDataObject>(DataObject);
    FIsDropTarget = true;
    BOOL full = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
    FFullDragging = full != FALSE;
    if (!FFullDragging) LockWindowUpdate(nullptr);
    TBaseVirtualTree* owner = FOwner.Get();
    POINT p{Pt.x, Pt.y};
    if (UsesDropImage() && owner && owner->HandleAllocated())
      FDropTargetHelper->DragEnter(owner->Handle(), DataObject, &p, *Effect);
    FDragSource = TBaseVirtualTree::SourceTreeOf(DataObject);
    if (!owner) {
      *Effect = DROPEFFECT_NONE;
      return E_UNEXPECTED;
    }
    DWORD effect = *Effect;
    const HRESULT result = owner->OleDragEnter(KeyState, p, effect);
    *Effect = effect;
    return result;
  }, this);
}

STDMETHODIMP TVTDragManager::DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) {
  if (!Effect) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    POINT p{Pt.x, Pt.y};
    if (UsesDropImage()) FDropTargetHelper->DragOver(&p, *Effect);
    TBaseVirtualTree* owner = FOwner.Get();
    if (!owner) {
      *Effect = DROPEFFECT_NONE;
      return E_UNEXPECTED;
    }
    DWORD effect = *Effect;
    const HRESULT result = owner->OleDragOver(FDragSource.Get(), KeyState, effect, p, dsDragMove);
    *Effect = effect;
    return result;
  }, this);
}

STDMETHODIMP TVTDragManager::DragLeave() {
  return GuardComCall([&]() -> HRESULT {
    if (UsesDropImage()) FDropTargetHelper->DragLeave();
    if (TBaseVirtualTree* owner = FOwner.Get()) owner->OleDragLeave();
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.Clear();
    return S_OK;
  }, this);
}

STDMETHODIMP TVTDragManager::Drop(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) {
  if (!Effect) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    POINT p{Pt.x, Pt.y};
    if (UsesDropImage()) FDropTargetHelper->Drop(DataObject, &p, *Effect);
    HRESULT result = E_UNEXPECTED;
    if (TBaseVirtualTree* owner = FOwner.Get()) {
      DWORD effect = *Effect;
      result = owner->OleDrop(DataObject, KeyState, effect, p);
      *Effect = effect;
    }
    FIsDropTarget = false;
    FDataObject.Clear();
    return result;
  }, this);
}

STDMETHODIMP TVTDragManager::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) {
  if (EscapePressed || ((KeyState & MK_LBUTTON) && (KeyState & MK_RBUTTON))) return DRAGDROP_S_CANCEL;
  if (!(KeyState & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
  return S_OK;
}

STDMETHODIMP TVTDragManager::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }
