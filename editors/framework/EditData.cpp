#include "editors/framework/EditData.h"

#include "editors/framework/EditControl.h"

const TClassInfo TcxEditDataBinding::ClassInfo{"TcxEditDataBinding", &TPersistent::ClassInfo, nullptr};
const TClassInfo TcxCustomEditData::ClassInfo{"TcxCustomEditData", &TObject::ClassInfo, nullptr};
const TClassInfo TcxEditChangeEventsCatcher::ClassInfo{"TcxEditChangeEventsCatcher", &TObject::ClassInfo, nullptr};

// -- The binding -----------------------------------------------------------------------------

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* edit)
    : FEdit(edit), FValuesProvider(new TcxCustomEditDefaultValuesProvider(nullptr)) {}

TcxEditDataBinding::TcxEditDataBinding(TcxCustomEdit* edit, IcxEditDefaultValuesProvider* provider)
    : FEdit(edit), FValuesProvider(provider) {}

TcxEditDataBinding::~TcxEditDataBinding() {
  if (FValuesProvider) Free(FValuesProvider->ProviderObject());
}

TPersistent* TcxEditDataBinding::GetOwner() { return FEdit; }

void TcxEditDataBinding::ReadShownValue(Variant& value) { value = Variant(FEdit->ReadShownText()); }
bool TcxEditDataBinding::EditIsModified() { return FEdit->Modified(); }
bool TcxEditDataBinding::HasValueToStore() { return FEdit->Modified(); }
void TcxEditDataBinding::ReadEditValue(Variant& value) { value = FEdit->EditValue(); }
void TcxEditDataBinding::RevertValue() { FEdit->RevertEditing(); }
void TcxEditDataBinding::PassDisplayValue(const Variant& value) { FEdit->PutDisplayText(value); }

bool TcxEditDataBinding::BeginValueEdit() {
  FEdit->MarkModified(true);
  return true;
}

bool TcxEditDataBinding::ValueIsSettled() { return FEdit->IsDesigning() || !FEdit->Modified(); }

void TcxEditDataBinding::MarkModifiedIfFocused() {
  if (FEdit->HandleAllocated() && FEdit->Focused()) FEdit->MarkModified(true);
}

void TcxEditDataBinding::RefreshEditDisplay() { FEdit->RefreshDisplayText(); }

// -- Per-activation data -------------------------------------------------------------------------

TcxCustomEditData::TcxCustomEditData(TcxCustomEdit* edit) : FEdit(edit) {
  FFreeNotifier = new TcxFreeNotificator(nullptr);
  FFreeNotifier->OnFreeNotification = TcxFreeNotificationEvent::Bind<&TcxCustomEditData::EditFreed>(this);
  FFreeNotifier->WatchFreeOf(edit);
  Clear();
}

TcxCustomEditData::~TcxCustomEditData() { Free(FFreeNotifier); }

void TcxCustomEditData::Clear() {
  Cleared = true;
  if (FEdit && FEdit->InPlaceEditData() == this) {
    FEdit->FillEditData(this);
    Cleared = false;
  }
}

void TcxCustomEditData::EditFreed(TComponent* component) {
  if (component == FEdit) FEdit = nullptr;
}

// -- The catcher -------------------------------------------------------------------------------

void TcxEditChangeEventsCatcher::Lock(bool lock, bool fire) {
  if (lock) {
    if (LockCount++ == 0) ChangeCaught = EditValueChangedCaught = false;
    return;
  }
  if (LockCount == 0) return;
  if (--LockCount > 0 || !fire || !FEdit->HandlesEvents()) return;
  TcxCustomEditProperties* own = FEdit->Properties();
  TcxCustomEditProperties* effective = FEdit->EffectiveProperties();
  TWeakLink<TControl> edit(FEdit);
  if (ChangeCaught && (own->OnChange || effective->OnChange)) {
    ChangeCaught = false;
    FEdit->DoChangeEvent();
  }
  if (!edit.Get()) return;
  if (EditValueChangedCaught && (own->OnEditValueChanged || effective->OnEditValueChanged)) {
    EditValueChangedCaught = false;
    FEdit->DoEditValueChangedEvent();
  }
}
