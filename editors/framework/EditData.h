// The pieces around an edit: the data binding through which its value is
// posted (the base binding has no storage: the edit's own flags answer),
// the per-activation data object an in-place host keeps, and the catcher
// that merges change events fired while they are locked.
#pragma once

#include "editors/framework/EditValuesProvider.h"
#include "foundation/Classes.h"
#include "platform/Variant.h"

class TcxCustomEdit;

class TcxEditDataBinding : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // Makes the binding's default-values provider.
  explicit TcxEditDataBinding(TcxCustomEdit* edit);
  // A binding whose data answers through a provider of its own (taken over:
  // the binding frees its object).
  TcxEditDataBinding(TcxCustomEdit* edit, IcxEditDefaultValuesProvider* provider);
  ~TcxEditDataBinding() override;
  TPersistent* GetOwner() override;
  TcxCustomEdit* Edit() const { return FEdit; }
  // The provider the edit's properties consult (owned by the binding).
  IcxEditDefaultValuesProvider* ValuesProvider() const { return FValuesProvider; }

  virtual void ReadShownValue(Variant& value);
  virtual bool EditIsModified();
  virtual bool HasValueToStore();
  virtual void ReadEditValue(Variant& value);
  virtual void RevertValue();
  virtual void PassDisplayValue(const Variant& value);
  // Marks the edit modified; answers whether editing may start.
  virtual bool BeginValueEdit();
  // Nothing: there is no storage.
  virtual void WriteStoredValue(const Variant& value) { (void)value; }
  virtual bool ValueIsSettled();
  virtual bool CanTakeValue() { return HasValueToStore(); }
  virtual void MarkModifiedIfFocused();
  virtual void RefreshEditDisplay();
  virtual void DataHook() {}
  // The default-values provider's answers.
  bool CanModify() { return FValuesProvider->AllowsModify(); }
  bool CanStartEditing() { return FValuesProvider->AllowsEditStart(); }
  bool IsDataAvailable() { return FValuesProvider->HasData(); }
  bool BoundToDataStorage() { return FValuesProvider->BoundToStorage(); }
  // A character the provider refuses is still let through when the data
  // has a text handler of its own.
  bool IsKeyAllowed(char key) { return FValuesProvider->AllowsChar(key) || FValuesProvider->HasSetTextHandler(); }

private:
  TcxCustomEdit* FEdit;
  IcxEditDefaultValuesProvider* FValuesProvider = nullptr;  // owned (through its object)
};

// One in-place activation context's data, kept by a host; knows when its
// edit is freed.
class TcxCustomEditData : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomEditData(TcxCustomEdit* edit);
  ~TcxCustomEditData() override;
  // Cleared := True; the edit refills it when this is its current data.
  virtual void Clear();

  bool Cleared = true;
  TcxCustomEdit* Edit() const { return FEdit; }

private:
  void EditFreed(TComponent* component);
  TcxCustomEdit* FEdit;
  TcxFreeNotificator* FFreeNotifier;  // owned
};

// The edit's change events while they are locked: the first lock clears
// what was caught; the last unlock with fire fires each caught kind once,
// change first.
class TcxEditChangeEventsCatcher : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxEditChangeEventsCatcher(TcxCustomEdit* edit) : FEdit(edit) {}
  void Lock(bool lock, bool fire = true);
  bool IsLocked() const { return LockCount > 0; }

  int LockCount = 0;
  bool ChangeCaught = false;
  bool EditValueChangedCaught = false;

private:
  TcxCustomEdit* FEdit;
};
