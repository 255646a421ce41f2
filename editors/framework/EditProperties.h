// Edit properties: the settings every editor shares (and the edit buttons),
// kept in an object that belongs to one edit or to a repository item that
// many edits share; each change reaches the owner through one change
// handler, and a lock merges the changes made under it into one
// notification. A default-values provider answers for the settings the user
// did not assign. The properties class also names the classes of the rest
// of its editor (editor, view data, view info, style, buttons, assigned
// values). The registry of properties classes lists each editor's class
// with its description; every properties object of the program is in one
// global list.
#pragma once

#include "foundation/Classes.h"
#include "platform/Collection.h"
#include "platform/Graphics.h"
#include "platform/Bitmap.h"
#include "platform/Properties.h"
#include "platform/ShortCuts.h"
#include "platform/StdCtrls.h"
#include "platform/Variant.h"

#include <memory>
#include <vector>

class TcxCustomEditProperties;

// An editor's value.
using TcxEditValue = Variant;

// Editor events the properties hold (the edit fires them, sender the edit).
using TcxEditValidateEvent =
    TEvent<void(TObject* Sender, TcxEditValue& DisplayValue, AnsiString& ErrorText, bool& Error)>;
using TcxEditButtonClickEvent = TEvent<void(TObject* Sender, int AButtonIndex)>;
// Why a drop-down editor closed its popup: closed without applying, Tab,
// Alt+Up/Alt+Down/F4, cancelled, accepted.
enum class TcxEditCloseUpReason : uint8_t { crUnknown, crTab, crClose, crCancel, crEnter };
using enum TcxEditCloseUpReason;
using TcxEditClosePopupEvent = TEvent<void(TObject* Sender, TcxEditCloseUpReason AReason)>;

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
  // The caption as drawn: its accelerator prefixes taken out (a doubled one
  // keeps one).
  const AnsiString& DisplayCaption() const { return FDisplayCaption; }
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
  AnsiString FDisplayCaption;
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
  // A class reference makes it with the owner and TcxEditButton items.
  TcxEditButtons(TPersistent* owner, TClass buttonClass);
  virtual TClass ButtonClass() const { return &TcxEditButton::ClassInfo; }
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

// -- Alignment ------------------------------------------------------------------------------

enum class TcxEditVertAlignment : uint8_t { taTopJustify, taBottomJustify, taVCenter };
using enum TcxEditVertAlignment;

// An editor's alignment: the horizontal part counts only once assigned
// (else the properties answer the provider's), the vertical part always.
class TcxEditAlignment : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxEditAlignment(TPersistent* owner) : FOwner(owner) {}
  // From another alignment: Vert, Horz and the assigned mark; notifies.
  void Assign(TPersistent* source) override;
  TPersistent* GetOwner() override { return FOwner; }

  TAlignment Horz() const { return FHorz; }
  // Marks it assigned and notifies, unless assigned already with this value.
  void SetHorz(TAlignment value);
  bool HorzIsSet() const { return FHorzIsSet; }
  // Clears the assigned mark and notifies.
  void ClearHorz();
  TcxEditVertAlignment Vert() const { return FVert; }
  void SetVert(TcxEditVertAlignment value);
  // Written to forms: Horz when assigned, Vert when not at the top.
  bool IsHorzStored() const { return FHorzIsSet; }
  bool IsVertStored() const { return FVert != taTopJustify; }
  // The face's getter puts a value in without notifying.
  void Load(const TcxEditAlignment& source);
  void SetEffectiveHorz(TAlignment value) { FHorz = value; }

  TNotifyEvent ChangeHandler;

private:
  void Changed() { FireEvent(ChangeHandler, this); }
  TPersistent* FOwner;
  TAlignment FHorz = taLeftJustify;
  bool FHorzIsSet = false;
  TcxEditVertAlignment FVert = taTopJustify;
};

// -- The default-values provider ---------------------------------------------------------------

// Answers for the settings an editor's properties leave unassigned, and what
// the data behind the editor allows. The data binding of every edit makes
// one (TcxCustomEditDefaultValuesProvider answers the base answers).
class IcxEditDefaultValuesProvider {
public:
  virtual bool AllowsEditStart() = 0;
  // Every properties object that holds this provider drops it.
  virtual void DropFromAllProperties() = 0;
  virtual TAlignment ProvidedAlignment() = 0;
  virtual bool AllowsModify() = 0;
  virtual AnsiString ProvidedDisplayFormat() = 0;
  virtual AnsiString ProvidedEditFormat() = 0;
  virtual AnsiString ProvidedEditMask() = 0;
  virtual bool ProvidedFloatFlag() = 0;
  virtual int ProvidedMaxLength() = 0;
  virtual double ProvidedMaximum() = 0;
  virtual double ProvidedMinimum() = 0;
  virtual int ProvidedPrecision() = 0;
  virtual bool ProvidedReadOnly() = 0;
  virtual bool ProvidedNumericText() = 0;
  virtual TObject* ProviderObject() = 0;
  virtual bool BoundToStorage() = 0;
  virtual bool HoldsBlob() = 0;
  virtual bool HoldsCurrency() = 0;
  virtual bool HasData() = 0;
  virtual bool HasDisplayFormatFor(bool editing) = 0;
  virtual bool HasGetTextHandler() = 0;
  virtual bool HasSetTextHandler() = 0;
  virtual bool AllowsChar(char c) = 0;

protected:
  ~IcxEditDefaultValuesProvider() = default;
};

// -- Validation --------------------------------------------------------------------------------

// What validating a display value asks of the edit that shows it (the
// editor control answers).
class IcxEditValidationTarget {
public:
  // An OnValidate handler on the edit's own properties or its repository
  // item's.
  virtual bool HasValidateHandler() = 0;
  // Fires OnValidate: the own properties' handler, then the repository
  // item's, each with the edit as sender.
  virtual void FireValidate(TcxEditValue& displayValue, AnsiString& errorText, bool& error) = 0;
  // The text the edit shows now.
  virtual AnsiString ReadShownText() = 0;

protected:
  ~IcxEditValidationTarget() = default;
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
  TcxCustomEditProperties* Properties() const { return FOwner; }

private:
  void Mark(bool& field, bool value);
  TcxCustomEditProperties* FOwner;
  bool FMaxValue = false;
  bool FMinValue = false;
  bool FReadOnly = false;
};

// -- The properties -----------------------------------------------------------------------------

enum class TcxEditButtonsLayout : uint8_t { blNormal, blButtonsOnly, blButtonsAutoWidth };

// The classes a properties class names for the rest of its editor. A class
// registers the ones it changes (RegisterEditPropertiesClasses); a class
// answers each from itself or its nearest ancestor that names it.
struct TcxEditPropertiesClasses {
  TClass Editor = nullptr;
  TClass ViewData = nullptr;
  TClass ViewInfo = nullptr;
  TClass Style = nullptr;
  TClass Buttons = nullptr;
  TClass AssignedValues = nullptr;
};
// The entries given (not null) replace what `propertiesClass` named before.
void RegisterEditPropertiesClasses(TClass propertiesClass, const TcxEditPropertiesClasses& classes);
// Asked of the class, without an instance.
TcxEditPropertiesClasses EditPropertiesClassesOf(TClass propertiesClass);

class TcxCustomEditProperties : public TcxInterfacedPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Joins the global list of properties objects.
  explicit TcxCustomEditProperties(TPersistent* owner);
  // Drops the provider and leaves the global list.
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
  bool IsUseLeftAlignmentOnEditingStored() const {
    return FUseLeftAlignmentOnEditing != DefaultLeftAlignOnEditing();
  }
  bool MouseWheelEnabled() const { return FMouseWheelEnabled; }
  void SetMouseWheelEnabled(bool value) { FMouseWheelEnabled = value; }
  bool ValidateOnEnter() const { return FValidateOnEnter; }
  void SetValidateOnEnter(bool value) { FValidateOnEnter = value; }
  TcxCustomEditPropertiesValues* AssignedValues() const { return FAssignedValues.get(); }
  void SetAssignedValues(TcxCustomEditPropertiesValues* value) { FAssignedValues->Assign(value); }

  // The published alignment: the stored one, its horizontal part the
  // effective one while unassigned. A change through it is stored and
  // notifies.
  TcxEditAlignment* Alignment();
  virtual void SetAlignment(TcxEditAlignment* value);
  TcxEditAlignment* StoredAlignment() const { return FStoredAlignment.get(); }
  // Written when the horizontal part is assigned or the vertical part is not
  // at the top.
  bool IsAlignmentStored() const {
    return FStoredAlignment->HorzIsSet() || FStoredAlignment->Vert() != taTopJustify;
  }

  // Own values when assigned, else the provider's, else 0 / False.
  bool GetReadOnly() const;
  void SetReadOnly(bool value);
  bool IsReadOnlyStored() const { return FAssignedValues->ReadOnly(); }
  double MaxValue() const { return FMaxValue; }
  void SetMaxValue(double value);
  double MinValue() const { return FMinValue; }
  void SetMinValue(double value);
  bool IsMaxValueStored() const { return FAssignedValues->MaxValue(); }
  bool IsMinValueStored() const { return FAssignedValues->MinValue(); }
  virtual double EffectiveMaxValue() const;
  virtual double EffectiveMinValue() const;
  virtual TAlignment EffectiveHorzAlignment() const;
  // ReadOnly assigned False: True; read-only: False; else what the provider
  // allows (True without one).
  bool CanModify() const;

  // The provider (not owned; it drops itself from every properties object
  // when it goes). Setting it notifies when the owner is an editor control.
  IcxEditDefaultValuesProvider* ValuesProvider() const { return FValuesProvider; }
  void SetValuesProvider(IcxEditDefaultValuesProvider* provider);
  virtual void DropDefaultValuesProvider() { FValuesProvider = nullptr; }

  // Validation of a display value (the text editors validate): supplies the
  // default error text and runs the edit's OnValidate handlers.
  virtual bool ValidatesDisplayValue() const { return false; }
  virtual AnsiString ValidationErrorText(int kind) const;
  virtual void ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText,
                                    IcxEditValidationTarget* edit, bool& error);
  // Runs the handlers; valueChanged tells whether they changed the text. A
  // handler that reports an error and leaves the value makes the value the
  // text the edit shows now.
  void ValidateByEvent(TcxEditValue& displayValue, AnsiString& errorText, bool& valueChanged,
                       IcxEditValidationTarget* edit, bool& error);

  // Display.
  virtual unsigned EditOptionFlags() const { return 0; }
  virtual bool HasDisplayFormat(bool editing) const;
  // Option bit 0 set, a text editor in both states (0 focused, 1 not), and
  // the provider has a display format.
  bool UsesProviderDisplayFormat() const;
  virtual int IsTextValueEditor(bool focused) const { (void)focused; return 0; }
  virtual void ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool editing) const;
  // Both through ValueToDisplay, then equal as variants.
  virtual bool SameDisplayValues(const TcxEditValue& a, const TcxEditValue& b) const;
  virtual AnsiString DisplayTextOf(const TcxEditValue& value) const { (void)value; return AnsiString(); }

  // What the editor is (answers of the base properties).
  virtual bool DefaultLeftAlignOnEditing() const { return true; }
  virtual bool ChangeFiredByEditor() const { return false; }
  virtual bool WantsTab() const { return false; }
  virtual bool HasUnfocusedDisplayForm() const { return true; }
  virtual bool ComparesValues() const { return false; }
  virtual bool IsActivationChar(char c) const { (void)c; return false; }
  virtual bool AcceptsValue(const TcxEditValue& value) const { (void)value; return true; }
  virtual bool CanRevertValue() const { return false; }
  // Bit 5: the properties have edit buttons.
  virtual unsigned Capabilities() const { return HasButtons() ? 1u << 5 : 0u; }
  virtual unsigned ExtraCapabilities() const { return 0; }
  virtual void ChangedHook() {}
  virtual void DefaultsHook() {}
  // Stored alignment reset, assigned values cleared, one notification.
  virtual void RestoreDefaultSettings();
  // A component the properties refer to is being freed.
  virtual void ForgetControl(TComponent* component) { (void)component; }

  // The classes of the editor the properties make (EditPropertiesClassesOf
  // of the class).
  virtual TClass EditorClass() const { return EditPropertiesClassesOf(ClassType()).Editor; }
  virtual TClass ViewDataClass() const { return EditPropertiesClassesOf(ClassType()).ViewData; }
  virtual TClass ViewInfoClass() const { return EditPropertiesClassesOf(ClassType()).ViewInfo; }
  virtual TClass StyleClass() const { return EditPropertiesClassesOf(ClassType()).Style; }
  virtual TClass ButtonsClass() const { return EditPropertiesClassesOf(ClassType()).Buttons; }
  virtual TClass AssignedValuesClass() const { return EditPropertiesClassesOf(ClassType()).AssignedValues; }

  TPersistent* Owner() const { return FOwner; }
  // The properties of the same class, without owner.
  TcxCustomEditProperties* NewOfSameClass() const;
  // Whether an edit button exists (bit 5 of the capabilities).
  bool HasButtons() const { return FButtons->Count() > 0; }
  TcxFreeNotificator* FreeNotifier() const { return FFreeNotifier.get(); }

  TNotifyEvent ChangeHandler;
  TcxEditButtonClickEvent OnEditButtonClick;
  TNotifyEvent OnChange;
  TcxEditClosePopupEvent OnPopupClosed;
  TNotifyEvent OnEditValueChanged;
  TcxEditValidateEvent OnValidate;

protected:
  // The most derived class's buttons and assigned-values classes replace
  // the base ones made by the constructor.
  void AfterConstruction() override;

private:
  friend class TcxCustomEditPropertiesValues;
  template <class T>
  void Store(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }
  void ButtonsChanged(TObject*) { NotifyChanged(); }
  void AlignmentChanged(TObject*);
  void FreeNotification(TComponent* component) { ForgetControl(component); }
  void MakeButtons(TClass buttonsClass);

  TPersistent* FOwner;
  bool FAutoSelect = true;
  bool FBeepOnError = false;
  std::unique_ptr<TcxEditButtons> FButtons;
  TcxEditButtonsLayout FButtonLayout = TcxEditButtonsLayout::blNormal;
  bool FChangedWhileLocked = false;
  TShortCut FClearKey = 0;
  TShortCut FButtonClickKey = 0x400D;
  std::unique_ptr<TcxFreeNotificator> FFreeNotifier;
  bool FImmediatePost = false;
  std::unique_ptr<TcxEditAlignment> FStoredAlignment;
  int FChangeNotifyDepth = 0;
  double FMaxValue = 0;
  double FMinValue = 0;
  bool FReadOnly = false;
  bool FTransparent = false;
  int FChangeLockCount = 0;
  bool FUseLeftAlignmentOnEditing = true;
  bool FMouseWheelEnabled = true;
  bool FValidateOnEnter = false;
  std::unique_ptr<TcxEditAlignment> FAlignment;  // the published face
  std::unique_ptr<TcxCustomEditPropertiesValues> FAssignedValues;
  bool FChangesBlocked = false;
  IcxEditDefaultValuesProvider* FValuesProvider = nullptr;  // not owned
};

// Every properties object of the program, in the order they were made.
const std::vector<TcxCustomEditProperties*>& AllEditProperties();

// The registry of editors' properties classes, sorted by description; made
// on first use, freed at the editor unit's end.
TcxRegisteredClasses* RegisteredPropertiesClasses();
void FreeRegisteredPropertiesClasses();

// The form-table entries of the properties; each editor's properties class
// publishes those it has (in its own table):
//   RegisterPublished(&TcxTextEditProperties::ClassInfo, {cxEditPublished::Alignment(), ...});
namespace cxEditPublished {
TPropInfo Alignment();
TPropInfo AssignedValues();
TPropInfo AutoSelect();
TPropInfo BeepOnError();
TPropInfo Buttons();
TPropInfo ClearKey();
TPropInfo ImmediatePost();
TPropInfo MaxValue();
TPropInfo MinValue();
TPropInfo ReadOnly();
TPropInfo Transparent();
TPropInfo UseLeftAlignmentOnEditing();
TPropInfo ValidateOnEnter(bool byDefault = false);
TPropInfo OnChange();
TPropInfo OnEditValueChanged();
TPropInfo OnValidate();
}  // namespace cxEditPublished
