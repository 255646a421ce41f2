// Component bases of the drag-and-drop suite: components that answer COM
// calls while their lifetime follows their owner, never their interface
// references.
#pragma once

#include "dragdrop/DragDrop.h"
#include "platform/Component.h"

// A component that is also a COM object. Reference counting is forwarded to
// the owner when the owner is a COM object itself; otherwise it is not
// counted at all (the answer is -1), so the component lives exactly as long
// as its owner keeps it.
class TInterfacedComponent : public TComponent, public IUnknown {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TInterfacedComponent(TComponent* AOwner) : TComponent(AOwner) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

protected:
  // The component's own interfaces: stores an added reference in `object`
  // and answers true, or answers false. Descendants add theirs before
  // asking this one.
  virtual bool GetInterface(REFIID riid, void** object);
};

// The base of drop targets: holds the data formats of a target that takes
// several (the list exists only for such targets).
class TDragDropComponent : public TInterfacedComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TDragDropComponent(TComponent* AOwner) : TInterfacedComponent(AOwner) {}
  ~TDragDropComponent() override;

  // Null unless the component holds data formats.
  TDataFormats* DataFormats() const { return FDataFormats; }

protected:
  // Called by targets that hold data formats, from their constructor.
  void CreateDataFormats();

private:
  TDataFormats* FDataFormats = nullptr;
};
