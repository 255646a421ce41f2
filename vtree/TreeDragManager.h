// The tree's partner in OLE drag and drop: the drop target registered for
// its window and the drop source of the drags it starts. It hands the tree
// the data object of the drag in progress, forwards the drop-target calls
// to the tree and, where the system serves it, to the system's drag image.
#pragma once

#include "platform/Interfaced.h"
#include "platform/Object.h"
#include "platform/Win32.h"

#include <ole2.h>
#include <shlobj.h>

class TBaseVirtualTree;

class TVTDragManager : public TInterfacedObject<IDropTarget, IDropSource> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TVTDragManager(TBaseVirtualTree* AOwner);
  ~TVTDragManager() override;

  // The data object of the drag in progress; without one the tree's
  // (OnCreateDataObject), else a new data object of the tree for a drag.
  // The caller receives a reference of its own.
  TComPtr<IDataObject> ActiveDataObject();
  // The tree the drag over this tree came from (nil for other sources).
  TBaseVirtualTree* SourceTree() const { return FDragSource.Get(); }
  bool HasDropImageObject() const { return FDropTargetHelper.Get() != nullptr; }
  // A drag is over the tree now.
  bool IsDropTargetNow() const { return FIsDropTarget; }
  // Ends the system's drop image when it is shown.
  void LeaveDropImage();
  TBaseVirtualTree* Owner() const { return FOwner.Get(); }
  // Whether new managers may use the system's drag image services; tests
  // turn them off to see the paths without them.
  static void SetSystemImagesAllowed(bool Allowed);
  static bool SystemImagesAllowed();

  // IDropTarget.
  STDMETHODIMP DragEnter(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) override;
  STDMETHODIMP DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) override;
  STDMETHODIMP DragLeave() override;
  STDMETHODIMP Drop(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) override;
  // IDropSource.
  STDMETHODIMP QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
  STDMETHODIMP GiveFeedback(DWORD Effect) override;

private:
  bool UsesDropImage() const { return FDropTargetHelper && FFullDragging; }

  TWeakLink<TBaseVirtualTree> FOwner;
  TComPtr<IDropTargetHelper> FDropTargetHelper;
  TWeakLink<TBaseVirtualTree> FDragSource;
  TComPtr<IDataObject> FDataObject;
  bool FFullDragging = false;
  bool FIsDropTarget = false;
};
