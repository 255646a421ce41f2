// The spin edit: a number, integer or floating point, typed or stepped with
// spin buttons, the Up/Down/Page Up/Page Down keys and the mouse wheel,
// within the MinValue..MaxValue limits (clamping at them, or wrapping when
// Circular). A mask edit without a mask of its own.
#pragma once

#include "editors/masked/MaskEdit.h"
#include "editors/masked/SpinStep.h"
#include "foundation/Controls.h"

enum TcxSpinEditButtonsPosition : uint8_t { sbpHorzLeftRight, sbpHorzRight, sbpVert };
enum TcxSpinEditValueType : uint8_t { vtInt, vtFloat };

class TcxCustomSpinEditProperties;

class TcxSpinEditButtons : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxSpinEditButtons(TcxCustomSpinEditProperties* owner) : FOwner(owner) {}
  void Assign(TPersistent* source) override;
  TcxSpinEditButtonsPosition Position() const { return FPosition; }
  void SetPosition(TcxSpinEditButtonsPosition value);
  bool ShowFastButtons() const { return FShowFastButtons; }
  void SetShowFastButtons(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);

private:
  void Changed();
  TcxCustomSpinEditProperties* FOwner;
  TcxSpinEditButtonsPosition FPosition = sbpVert;
  bool FShowFastButtons = false;
  bool FVisible = true;
};

class TcxCustomSpinEditProperties : public TcxCustomMaskEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomSpinEditProperties(TPersistent* owner);
  ~TcxCustomSpinEditProperties() override;
  void CopyFrom(TPersistent* source) override;

  TcxSpinEditButtons* SpinButtons() const { return FSpinButtons.get(); }
  void SetSpinButtons(TcxSpinEditButtons* value) { FSpinButtons->Assign(value); }
  bool CanEdit() const { return FCanEdit; }
  void SetCanEdit(bool value) { Store(FCanEdit, value); }
  bool Circular() const { return FCircular; }
  void SetCircular(bool value) { Store(FCircular, value); }
  double Increment() const { return FIncrement; }
  void SetIncrement(double value) { Store(FIncrement, value); }
  double LargeIncrement() const { return FLargeIncrement; }
  void SetLargeIncrement(double value) { Store(FLargeIncrement, value); }
  bool ExceptionOnInvalidInput() const { return FExceptionOnInvalidInput; }
  void SetExceptionOnInvalidInput(bool value) { Store(FExceptionOnInvalidInput, value); }
  bool UseCtrlIncrement() const { return FUseCtrlIncrement; }
  void SetUseCtrlIncrement(bool value) { Store(FUseCtrlIncrement, value); }
  // The stored type when assigned; else the provider's float flag, and
  // floating point without a provider.
  TcxSpinEditValueType ValueType() const;
  void SetValueType(TcxSpinEditValueType value);
  bool ValueTypeAssigned() const { return FValueTypeAssigned; }
  // The form stream's pseudo-properties for a zero increment.
  bool ZeroIncrement() const { return FIncrement == 0; }
  void SetZeroIncrement(bool) { SetIncrement(0); }
  bool ZeroLargeIncrement() const { return FLargeIncrement == 0; }
  void SetZeroLargeIncrement(bool) { SetLargeIncrement(0); }

  virtual bool ClampsAtLimits() const { return true; }
  TcxSpinLimitMode LimitMode() const {
    return FCircular ? slmWrap : ClampsAtLimits() ? slmClamp : slmRefuse;
  }
  // The limits as values of the value type (the type's range where no
  // limit applies).
  Variant MaxAsValue() const;
  Variant MinAsValue() const;
  Variant ClampToAssignedLimits(const Variant& value) const;
  double RoundToValueType(double value) const;
  Variant CastToValueType(const Variant& value) const;
  Variant PrepareValue(const Variant& value) const;
  // Reads a number of the value type; false when the text is none.
  bool ParseNumber(const AnsiString& text, Variant& value) const;

  bool AcceptsValue(const TcxEditValue& value) const override;
  bool NormalizeDisplayValue(TcxEditValue& value, bool editing) const override;
  void ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText, IcxEditValidationTarget* edit,
                            bool& error) override;
  void NotifyChanged() override;
  bool UsesDisplayFormat() const override { return true; }

private:
  template <class T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }
  void SyncButtons();

  std::unique_ptr<TcxSpinEditButtons> FSpinButtons;
  bool FCanEdit = true;
  bool FCircular = false;
  double FIncrement = 1.0;
  double FLargeIncrement = 10.0;
  bool FExceptionOnInvalidInput = false;
  bool FUseCtrlIncrement = false;
  TcxSpinEditValueType FValueType = vtFloat;
  bool FValueTypeAssigned = false;
  bool FSyncingButtons = false;
};

class TcxSpinEditProperties : public TcxCustomSpinEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomSpinEditProperties::TcxCustomSpinEditProperties;
};

// Lays the spin buttons out by position: side by side at both ends or at
// the right, or up over down in one column; fast buttons are half as wide
// again and stand outside the ordinary pair.
class TcxSpinEditViewData : public TcxCustomTextEditViewData {
public:
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;
  void ButtonRects(TcxCustomEditViewInfo* viewInfo, RECT& area, int index) override;

private:
  RECT FFullArea{};
};

class TcxCustomSpinEdit : public TcxCustomMaskEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomSpinEdit(TComponent* owner, bool inPlace = false);
  void AfterConstruction() override;

  TcxCustomSpinEditProperties* ActiveProperties() const {
    return static_cast<TcxCustomSpinEditProperties*>(EffectiveProperties());
  }
  TcxCustomSpinEditProperties* Properties() const {
    return static_cast<TcxCustomSpinEditProperties*>(TcxCustomEdit::Properties());
  }
  Variant Value();
  void SetValue(const Variant& value);
  // The step of a spin button: 0 down, 1 up, 2 fast down, 3 fast up.
  double IncrementFor(int index);
  // Steps the value; answers whether the shown text changed.
  virtual bool SpinBy(int index);
  const Variant& LastValidValue() const { return FLastValidValue; }
  // The value after a step, or empty when there is none.
  Variant ComputeSpinValue(int index);
  // Reads a typed text; false (value: the last valid one) when it is no
  // number. With `raise` and ExceptionOnInvalidInput it raises.
  bool TextToValue(const AnsiString& text, bool raise, AnsiString& errorText, Variant& value);
  int SpinPressed() const { return FSpinPressed; }
  void EndSpinning();
  // Repeats the pressed button's step: first after 400 ms, then every
  // 100 ms, until the button is released.
  void StartAutoRepeat();
  TcxTimer* RepeatTimer() const { return FRepeatTimer.get(); }

  TClass PropertiesClass() const override { return &TcxCustomSpinEditProperties::ClassInfo; }
  void ProcessKey(WORD& key, TShiftState shift) override;
  void ProcessChar(char& key) override;
  bool KeyAllowedByProvider(char key) override;
  void AfterKeyUp(WORD& key, TShiftState shift) override;
  void EditButtonPressed(int index) override;
  void EditButtonReleased(int index) override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditProperties* p, TcxCustomEditStyle* s, bool inPlace) override {
    return new TcxSpinEditViewData(p, s, inPlace);
  }
  void RefreshDisplayText() override;
  TcxEditValue ConvertDisplayValue(const TcxEditValue& value) override;
  Variant DisplayToEditValue() override { return Value(); }
  void WndProc(TMessage& Message) override;
  void PasteText() override;
  void CutSelection() override;
  void DeleteSelection() override;

private:
  Variant FLastValidValue{int64_t{0}};
  bool FTyped = false;
  int FSpinPressed = 0;
  std::unique_ptr<TcxTimer> FRepeatTimer;
  void RepeatTick(TObject* sender);
};

class TcxSpinEdit : public TcxCustomSpinEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomSpinEdit::TcxCustomSpinEdit;
  TClass PropertiesClass() const override { return &TcxSpinEditProperties::ClassInfo; }
  TcxSpinEditProperties* Properties() const {
    return static_cast<TcxSpinEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxSpinEditProperties* value) { TcxCustomEdit::Properties()->Assign(value); }
};

// The spin edit's filter-row helper: a spin edit of filter kind 1 whose
// text may be typed; no text comparison operators.
class TcxFilterSpinEditHelper : public TcxFilterMaskEditHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  int FilterKindOf() const override { return 1; }
  TClass FilterEditorClass() const override;
  TcxFilterOperators AllowedOperators(TObject* context, const TcxValueType* valueType, bool extended) const override;
  void ConfigureProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                           int kind) const override;
};

// The unit's start and end: the spin edit for forms, its properties class
// and its filter helper.
void cxSpinEditInit();
void cxSpinEditDone();
