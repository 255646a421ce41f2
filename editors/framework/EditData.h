// The pieces around an edit: the data binding through which its value is
// posted (the base binding has no storage: the edit's own flags answer),
// the per-activation data object an in-place host keeps, and the catcher
// that merges change events fired while they are locked.
#pragma once

#include "foundation/Classes.h"
#include "platform/Variant.h"

class TcxCustomEdit;

class TcxEditDataBinding : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxEditDataBinding(TcxCustomEdit* edit) : FEdit(edit) {}
  TPersistent* GetOwner() override;
  TcxCustomEdit* Edit() const { return FEdit; }

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
  // The default-values provider's answers (the base provider allows all).
  virtual bool CanModify() { return true; }
  virtual bool CanStartEditing() { return true; }
  virtual bool IsDataAvailable() { return true; }
  virtual bool BoundToDataStorage() { return false; }
  // A character the provider refuses; the base provider refuses none.
  virtual bool IsKeyAllowed(char key) { (void)key; return true; }

private:
  TcxCustomEdit* FEdit;
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
