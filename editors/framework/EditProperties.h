// Edit properties: the settings every editor shares (and the edit buttons),
// kept in an object that belongs to one edit or to a repository item that
// many edits share; each change reaches the owner through one change
// handler, and a lock merges the changes made under it into one
// notification. The registry of properties classes lists each editor's
// class with its description.
#pragma once

#include "foundation/Classes.h"
#include "platform/Collection.h"
#include "platform/Graphics.h"
#include "platform/Bitmap.h"
#include "platform/ShortCuts.h"
#include "platform/StdCtrls.h"

#include <memory>

class TcxCustomEditProperties;

// -- Edit buttons -------------------------------------------------------------------------

enum class TcxEditButtonKind : uint8_t { bkEllipsis, bkDown, bkGlyph, bkText };
using enum TcxEditButtonKind;

class TcxEditButton : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxEditButton(TCollection* collection);
  ~TcxEditButton() override;
  void Assign(TPersistent* source) override;

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  TAlignment ContentAlignment() const { return FContentAlignment; }
  void SetContentAlignment(TAlignment value);
  bool Default() const { return FDefault; }
  // True clears Default on every other button of the collection.
  void SetDefault(bool value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  TcxEditButtonKind Kind() const { return FKind; }
  void SetKind(TcxEditButtonKind value);
  bool LeftAlignment() const { return FLeftAlignment; }
  void SetLeftAlignment(bool value);
  bool Stretchable() const { return FStretchable; }
  void SetStretchable(bool value);
  int Tag() const { return FTag; }
  void SetTag(int value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  TColor CaptionColor() const { return FCaptionColor; }
  void SetCaptionColor(TColor value);
  // Created on first read; null frees it.
  TBitmap* Glyph();
  void SetGlyph(TBitmap* value);
  bool HasGlyph() const { return FGlyph != nullptr; }
  // 0 asks the layout for a default; below 1 after that is automatic. Any
  // width is stored, so a negative one can be replaced.
  int Width() const { return FWidth; }
  void SetWidth(int value);

private:
  template <class T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    Changed(false);
  }
  void GlyphChanged(TObject*) { Changed(false); }

  AnsiString FCaption;
  TAlignment FContentAlignment = taCenter;
  bool FDefault = false;
  bool FEnabled = true;
  AnsiString FHint;
  TcxEditButtonKind FKind = bkDown;
  bool FLeftAlignment = false;
  bool FStretchable = true;
  int FTag = 0;
  TColor FCaptionColor = clBtnText;
  bool FVisible = true;
  TBitmap* FGlyph = nullptr;  // owned
  int FWidth = 0;
};

class TcxEditButtons : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxEditButtons(TPersistent* owner, TClass buttonClass);
  TPersistent* GetOwner() override { return FOwner; }

  TcxEditButton* AddButton() { return static_cast<TcxEditButton*>(Add()); }
  TcxEditButton* GetButton(int index) const { return static_cast<TcxEditButton*>(Items(index)); }
  int VisibleCount() const;

  TNotifyEvent ChangeHandler;

protected:
  void Update(TCollectionItem* item) override;

private:
  TPersistent* FOwner;
};

// -- Assigned values ------------------------------------------------------------------------

class TcxCustomEditPropertiesValues : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomEditPropertiesValues(TcxCustomEditProperties* owner) : FOwner(owner) {}
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override;

  bool MaxValue() const { return FMaxValue; }
  void SetMaxValue(bool value);
  bool MinValue() const { return FMinValue; }
  void SetMinValue(bool value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  // All three cleared, one notification.
  void ClearAssigned();

private:
  void Mark(bool& field, bool value);
  TcxCustomEditProperties* FOwner;
  bool FMaxValue = false;
  bool FMinValue = false;
  bool FReadOnly = false;
};

// -- The properties -----------------------------------------------------------------------------

enum class TcxEditButtonsLayout : uint8_t { blNormal, blButtonsOnly, blButtonsAutoWidth };

class TcxCustomEditProperties : public TcxInterfacedPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TcxCustomEditProperties(TPersistent* owner);
  ~TcxCustomEditProperties() override;
  void Assign(TPersistent* source) override { CopyFrom(source); }
  // From other editor properties, under one lock; other sources raise the
  // platform's assign error.
  virtual void CopyFrom(TPersistent* source);

  // Change notification.
  void LockChanges();
  void UnlockChanges(bool fire = true);
  bool IsChangeLocked() const { return FChangesBlocked || FChangeLockCount > 0; }
  void BlockChanges(bool value) { FChangesBlocked = value; }
  virtual void NotifyChanged();
  int ChangeNotifyDepth() const { return FChangeNotifyDepth; }

  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { Store(FAutoSelect, value); }
  bool BeepOnError() const { return FBeepOnError; }
  void SetBeepOnError(bool value) { FBeepOnError = value; }
  TcxEditButtons* Buttons() const { return FButtons.get(); }
  void SetButtons(TcxEditButtons* value) { FButtons->Assign(value); }
  TcxEditButtonsLayout ButtonLayout() const { return FButtonLayout; }
  void SetButtonLayout(TcxEditButtonsLayout value) { Store(FButtonLayout, value); }
  TShortCut ClearKey() const { return FClearKey; }
  void SetClearKey(TShortCut value) { FClearKey = value; }
  TShortCut ButtonClickKey() const { return FButtonClickKey; }
  void SetButtonClickKey(TShortCut value) { FButtonClickKey = value; }
  bool ImmediatePost() const { return FImmediatePost; }
  void SetImmediatePost(bool value) { FImmediatePost = value; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool value) { Store(FTransparent, value); }
  bool UseLeftAlignmentOnEditing() const { return FUseLeftAlignmentOnEditing; }
  void SetUseLeftAlignmentOnEditing(bool value) { Store(FUseLeftAlignmentOnEditing, value); }
  bool MouseWheelEnabled() const { return FMouseWheelEnabled; }
  void SetMouseWheelEnabled(bool value) { FMouseWheelEnabled = value; }
  bool ValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool value) { FValidateOnEnter = value; }
  TcxCustomEditPropertiesValues* AssignedValues() const { return FAssignedValues.get(); }

  // Own values when assigned, else 0 / False.
  bool GetReadOnly() const;
  void SetReadOnly(bool value);
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double value);
  double MinValue() const { return FMinValue; }
  void SetMinValue(double value);
  double EffectiveMaxValue() const { return FAssignedValues->MaxValue() ? FMaxValue : 0; }
  double EffectiveMinValue() const { return FAssignedValues->MinValue() ? FMinValue : 0; }
  bool CanModify() const { return !GetReadOnly(); }

  // Stores the mark without notifying (the values object notifies).
  TPersistent* Owner() const { return FOwner; }
  virtual bool DefaultLeftAlignOnEditing() const { return true; }
  virtual TClass ButtonsClass() const { return &TcxEditButtons::ClassInfo; }
  virtual TClass AssignedValuesClass() const { return &TcxCustomEditPropertiesValues::ClassInfo; }
  // The properties of the same class, without owner.
  TcxCustomEditProperties* NewOfSameClass() const;
  // Whether an edit button exists (bit 5 of the capabilities).
  bool HasButtons() const { return FButtons->Count() > 0; }
  // What the editor control asks of its properties class.
  virtual bool ChangeFiredByEditor() const { return false; }
  virtual bool ComparesValues() const { return false; }
  virtual bool CanRevertValue() const { return false; }
  virtual bool WantsTab() const { return false; }

  TNotifyEvent ChangeHandler;
  TNotifyEvent OnChange;
  TNotifyEvent OnEditValueChanged;

private:
  friend class TcxCustomEditPropertiesValues;
  template <class T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }
  void ButtonsChanged(TObject*) { NotifyChanged(); }

  TPersistent* FOwner;
  bool FAutoSelect = true;
  bool FBeepOnError = false;
  std::unique_ptr<TcxEditButtons> FButtons;
  TcxEditButtonsLayout FButtonLayout = TcxEditButtonsLayout::blNormal;
  bool FChangedWhileLocked = false;
  TShortCut FClearKey = 0;
  TShortCut FButtonClickKey = 0x400D;
  bool FImmediatePost = false;
  int FChangeNotifyDepth = 0;
  double FMaxValue = 0;
  double FMinValue = 0;
  bool FReadOnly = false;
  bool FTransparent = false;
  int FChangeLockCount = 0;
  bool FUseLeftAlignmentOnEditing = true;
  bool FMouseWheelEnabled = true;
  bool FValidateOnEnter = false;
  std::unique_ptr<TcxCustomEditPropertiesValues> FAssignedValues;
  bool FChangesBlocked = false;
};

// The registry of editors' properties classes, sorted by description; made
// on first use, freed at the editor unit's end.
TcxRegisteredClasses* RegisteredPropertiesClasses();
void FreeRegisteredPropertiesClasses();
