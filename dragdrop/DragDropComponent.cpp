#include "dragdrop/DragDropComponent.h"

const TClassInfo TInterfacedComponent::ClassInfo{"TInterfacedComponent", &TComponent::ClassInfo, nullptr};
const TClassInfo TDragDropComponent::ClassInfo{"TDragDropComponent", &TInterfacedComponent::ClassInfo, nullptr};

bool TInterfacedComponent::GetInterface(REFIID riid, void** object) {
  if (!IsEqualIID(riid, IID_IUnknown)) return false;
  *object = static_cast<IUnknown*>(this);
  AddRef();
  return true;
}

HRESULT STDMETHODCALLTYPE TInterfacedComponent::QueryInterface(REFIID riid, void** object) {
  try {
    if (!object) return E_POINTER;
    *object = nullptr;
    return GetInterface(riid, object) ? S_OK : E_NOINTERFACE;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

ULONG STDMETHODCALLTYPE TInterfacedComponent::AddRef() {
  try {
    if (auto* owner = dynamic_cast<IUnknown*>(Owner())) return owner->AddRef();
  } catch (...) {
  }
  return static_cast<ULONG>(-1);
}

ULONG STDMETHODCALLTYPE TInterfacedComponent::Release() {
  try {
    if (auto* owner = dynamic_cast<IUnknown*>(Owner())) return owner->Release();
  } catch (...) {
  }
  return static_cast<ULONG>(-1);
}

TDragDropComponent::~TDragDropComponent() { FreeAndNil(FDataFormats); }

void TDragDropComponent::CreateDataFormats() {
  if (!FDataFormats) FDataFormats = new TDataFormats;
}

// Data formats are built here, beside the components that own them.
TCustomDataFormat::TCustomDataFormat(TObject* owner, TClass cls) : FCompatibleFormats(this, true) {
  if (owner) {
    auto* component = ObjectAs<TDragDropComponent>(owner);
    if (!component || !component->DataFormats())
      throw EDataFormatError(Format("%s is not a valid owner for %s. Owner must be derived from %s",
                                    owner->ClassName(), cls->Name, "TCustomDropMultiSource or TCustomDropMultiTarget"));
    FOwner = component;
  }
  // Only drop targets own data formats here, so the formats read.
  DataFormatMap().FillCompatibleFormats(cls, FCompatibleFormats, TFormatDirection::fdRead);
  if (FOwner) FOwner->DataFormats()->Add(this);
}

TCustomDataFormat::~TCustomDataFormat() {
  if (FOwner && FOwner->DataFormats()) FOwner->DataFormats()->Remove(this);
}
