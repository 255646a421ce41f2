#include "editors/framework/EditProperties.h"

#include "editors/framework/EditConsts.h"
#include "editors/framework/EditStyle.h"
#include "editors/framework/Variants.h"
#include "foundation/Container.h"
#include "foundation/Controls.h"
#include "platform/Bitmap.h"
#include "platform/ControlsProperties.h"

#include <algorithm>
#include <map>

const TClassInfo TcxEditButton::ClassInfo{"TcxEditButton", &TCollectionItem::ClassInfo, [](TObject* collection) -> TObject* {
                                            return new TcxEditButton(static_cast<TCollection*>(collection));
                                          }};
const TClassInfo TcxEditButtons::ClassInfo{"TcxEditButtons", &TCollection::ClassInfo, [](TObject* owner) -> TObject* {
                                             return new TcxEditButtons(dynamic_cast<TPersistent*>(owner),
                                                                       &TcxEditButton::ClassInfo);
                                           }};
const TClassInfo TcxCustomEditPropertiesValues::ClassInfo{
    "TcxCustomEditPropertiesValues", &TPersistent::ClassInfo, [](TObject* owner) -> TObject* {
      return new TcxCustomEditPropertiesValues(dynamic_cast<TcxCustomEditProperties*>(owner));
    }};
const TClassInfo TcxEditAlignment::ClassInfo{"TcxEditAlignment", &TPersistent::ClassInfo, nullptr};
const TClassInfo TcxCustomEditProperties::ClassInfo{"TcxCustomEditProperties", &TcxInterfacedPersistent::ClassInfo,
                                                    [](TObject* owner) -> TObject* {
                                                      return new TcxCustomEditProperties(
                                                          static_cast<TPersistent*>(owner));
                                                    }};

// -- TcxEditButton -------------------------------------------------------------------------

TcxEditButton::TcxEditButton(TCollection* collection) : TCollectionItem(collection) {}

TcxEditButton::~TcxEditButton() { Free(FGlyph); }

void TcxEditButton::Assign(TPersistent* source) {
  auto* other = ObjectAs<TcxEditButton>(source);
  if (!other) {
    TCollectionItem::Assign(source);
    return;
  }
  TCollection* collection = Collection();
  if (collection) collection->BeginUpdate();
  FCaption = other->FCaption;
  FDisplayCaption = other->FDisplayCaption;
  FContentAlignment = other->FContentAlignment;
  FDefault = other->FDefault;
  FEnabled = other->FEnabled;
  if (other->FGlyph) SetGlyph(other->FGlyph);
  else SetGlyph(nullptr);
  FKind = other->FKind;
  FLeftAlignment = other->FLeftAlignment;
  FStretchable = other->FStretchable;
  FTag = other->FTag;
  FCaptionColor = other->FCaptionColor;
  FVisible = other->FVisible;
  FWidth = other->FWidth;
  FHint = other->FHint;
  Changed(false);
  if (collection) collection->EndUpdate();
}

void TcxEditButton::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  FDisplayCaption = StripAccelChars(value);
  Changed(false);
}
void TcxEditButton::SetContentAlignment(TAlignment value) { Store(FContentAlignment, value); }
void TcxEditButton::SetEnabled(bool value) { Store(FEnabled, value); }
void TcxEditButton::SetKind(TcxEditButtonKind value) { Store(FKind, value); }
void TcxEditButton::SetLeftAlignment(bool value) { Store(FLeftAlignment, value); }
void TcxEditButton::SetStretchable(bool value) { Store(FStretchable, value); }
void TcxEditButton::SetTag(int value) { Store(FTag, value); }
void TcxEditButton::SetVisible(bool value) { Store(FVisible, value); }
void TcxEditButton::SetCaptionColor(TColor value) { Store(FCaptionColor, value); }
void TcxEditButton::SetWidth(int value) { Store(FWidth, value); }

void TcxEditButton::SetDefault(bool value) {
  if (value == FDefault) return;
  if (value && Collection()) {
    for (int i = 0; i < Collection()->Count(); ++i)
      static_cast<TcxEditButton*>(Collection()->Items(i))->FDefault = false;
    FDefault = true;
    Changed(true);
    return;
  }
  FDefault = value;
  Changed(false);
}

TBitmap* TcxEditButton::Glyph() {
  if (!FGlyph) {
    FGlyph = New<TBitmap>();
    FGlyph->OnChange = TNotifyEvent::Bind<&TcxEditButton::GlyphChanged>(this);
  }
  return FGlyph;
}

void TcxEditButton::SetGlyph(TBitmap* value) {
  if (!value) {
    if (!FGlyph) return;
    Free(FGlyph);
    FGlyph = nullptr;
    Changed(false);
    return;
  }
  Glyph()->Assign(value);
}

// -- TcxEditButtons ------------------------------------------------------------------------

TcxEditButtons::TcxEditButtons(TPersistent* owner, TClass buttonClass) : TCollection(buttonClass), FOwner(owner) {}

int TcxEditButtons::VisibleCount() const {
  int count = 0;
  for (int i = 0; i < Count(); ++i)
    if (GetButton(i)->Visible()) ++count;
  return count;
}

void TcxEditButtons::Update(TCollectionItem*) { FireEvent(ChangeHandler, this); }

// -- TcxCustomEditPropertiesValues ------------------------------------------------------------

TPersistent* TcxCustomEditPropertiesValues::GetOwner() { return FOwner; }

void TcxCustomEditPropertiesValues::Mark(bool& field, bool value) {
  if (field == value) return;
  field = value;
  if (FOwner) FOwner->NotifyChanged();
}

void TcxCustomEditPropertiesValues::SetMaxValue(bool value) { Mark(FMaxValue, value); }
void TcxCustomEditPropertiesValues::SetMinValue(bool value) { Mark(FMinValue, value); }
void TcxCustomEditPropertiesValues::SetReadOnly(bool value) { Mark(FReadOnly, value); }

void TcxCustomEditPropertiesValues::ClearAssigned() {
  if (FOwner) FOwner->LockChanges();
  SetMaxValue(false);
  SetMinValue(false);
  SetReadOnly(false);
  if (FOwner) FOwner->UnlockChanges();
}

void TcxCustomEditPropertiesValues::Assign(TPersistent* source) {
  auto* other = ObjectAs<TcxCustomEditPropertiesValues>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (FOwner) FOwner->LockChanges();
  SetMaxValue(other->FMaxValue);
  SetMinValue(other->FMinValue);
  SetReadOnly(other->FReadOnly);
  if (FOwner) FOwner->UnlockChanges();
}

// -- TcxEditAlignment ------------------------------------------------------------------------

void TcxEditAlignment::SetHorz(TAlignment value) {
  if (FHorzIsSet && FHorz == value) return;
  FHorz = value;
  FHorzIsSet = true;
  Changed();
}

void TcxEditAlignment::ClearHorz() {
  FHorzIsSet = false;
  Changed();
}

void TcxEditAlignment::SetVert(TcxEditVertAlignment value) {
  if (FVert == value) return;
  FVert = value;
  Changed();
}

void TcxEditAlignment::Load(const TcxEditAlignment& source) {
  FHorz = source.FHorz;
  FHorzIsSet = source.FHorzIsSet;
  FVert = source.FVert;
}

void TcxEditAlignment::Assign(TPersistent* source) {
  auto* other = ObjectAs<TcxEditAlignment>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  Load(*other);
  Changed();
}

// -- The classes a properties class names ---------------------------------------------------

namespace {

std::map<TClass, TcxEditPropertiesClasses>& ClassTable() {
  static std::map<TClass, TcxEditPropertiesClasses> table{
      {&TcxCustomEditProperties::ClassInfo,
       TcxEditPropertiesClasses{nullptr, nullptr, nullptr, &TcxEditStyle::ClassInfo, &TcxEditButtons::ClassInfo,
                                &TcxCustomEditPropertiesValues::ClassInfo}}};
  return table;
}

// Every properties object, in the order they were made.
std::vector<TcxCustomEditProperties*>* AllProperties = nullptr;

}  // namespace

void RegisterEditPropertiesClasses(TClass propertiesClass, const TcxEditPropertiesClasses& classes) {
  TcxEditPropertiesClasses& entry = ClassTable()[propertiesClass];
  auto take = [](TClass& field, TClass value) {
    if (value) field = value;
  };
  take(entry.Editor, classes.Editor);
  take(entry.ViewData, classes.ViewData);
  take(entry.ViewInfo, classes.ViewInfo);
  take(entry.Style, classes.Style);
  take(entry.Buttons, classes.Buttons);
  take(entry.AssignedValues, classes.AssignedValues);
}

TcxEditPropertiesClasses EditPropertiesClassesOf(TClass propertiesClass) {
  TcxEditPropertiesClasses result;
  const auto& table = ClassTable();
  for (TClass c = propertiesClass; c; c = c->Parent) {
    const auto it = table.find(c);
    if (it == table.end()) continue;
    auto fill = [](TClass& field, TClass value) {
      if (!field) field = value;
    };
    fill(result.Editor, it->second.Editor);
    fill(result.ViewData, it->second.ViewData);
    fill(result.ViewInfo, it->second.ViewInfo);
    fill(result.Style, it->second.Style);
    fill(result.Buttons, it->second.Buttons);
    fill(result.AssignedValues, it->second.AssignedValues);
  }
  return result;
}

const std::vector<TcxCustomEditProperties*>& AllEditProperties() {
  static const std::vector<TcxCustomEditProperties*> none;
  return AllProperties ? *AllProperties : none;
}

// -- TcxCustomEditProperties --------------------------------------------------------------------

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* owner) : TcxInterfacedPersistent(owner), FOwner(owner) {
  if (!AllProperties) AllProperties = new std::vector<TcxCustomEditProperties*>();
  AllProperties->push_back(this);
  FFreeNotifier.reset(New<TcxFreeNotificator>(nullptr));
  FFreeNotifier->OnFreeNotification = TcxFreeNotificationEvent::Bind<&TcxCustomEditProperties::FreeNotification>(this);
  FAlignment = std::make_unique<TcxEditAlignment>(this);
  FAlignment->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEditProperties::AlignmentChanged>(this);
  FAssignedValues = std::make_unique<TcxCustomEditPropertiesValues>(this);
  MakeButtons(&TcxEditButtons::ClassInfo);
  FStoredAlignment = std::make_unique<TcxEditAlignment>(this);
  FUseLeftAlignmentOnEditing = DefaultLeftAlignOnEditing();
}

void TcxCustomEditProperties::MakeButtons(TClass buttonsClass) {
  if (FButtons) FButtons->ChangeHandler = TNotifyEvent();
  FButtons.reset(static_cast<TcxEditButtons*>(CreateObject(buttonsClass, this)));
  FButtons->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEditProperties::ButtonsChanged>(this);
}

void TcxCustomEditProperties::AfterConstruction() {
  TcxInterfacedPersistent::AfterConstruction();
  if (TClass buttons = ButtonsClass(); buttons && buttons != FButtons->ClassType()) MakeButtons(buttons);
  if (TClass values = AssignedValuesClass(); values && values != FAssignedValues->ClassType())
    FAssignedValues.reset(static_cast<TcxCustomEditPropertiesValues*>(CreateObject(values, this)));
  FUseLeftAlignmentOnEditing = DefaultLeftAlignOnEditing();
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  ChangeHandler = TNotifyEvent();
  FValuesProvider = nullptr;
  FButtons->ChangeHandler = TNotifyEvent();
  FButtons.reset();
  FStoredAlignment.reset();
  FAssignedValues.reset();
  FAlignment.reset();
  if (FFreeNotifier) {
    FFreeNotifier->OnFreeNotification = TcxFreeNotificationEvent();
    Free(FFreeNotifier.release());
  }
  if (AllProperties) {
    AllProperties->erase(std::remove(AllProperties->begin(), AllProperties->end(), this), AllProperties->end());
    if (AllProperties->empty()) {
      delete AllProperties;
      AllProperties = nullptr;
    }
  }
}

void TcxCustomEditProperties::LockChanges() {
  if (FChangeLockCount == 0) FChangedWhileLocked = false;
  ++FChangeLockCount;
}

void TcxCustomEditProperties::UnlockChanges(bool fire) {
  if (FChangeLockCount < 1) return;
  --FChangeLockCount;
  if (FChangeLockCount == 0 && fire && FChangedWhileLocked) NotifyChanged();
}

void TcxCustomEditProperties::NotifyChanged() {
  auto* owner = ObjectAs<TComponent>(FOwner);
  if (IsChangeLocked() || (owner && owner->ComponentState().Contains(csDestroying))) {
    FChangedWhileLocked = true;
    return;
  }
  FChangedWhileLocked = false;
  if (!ChangeHandler) return;
  ++FChangeNotifyDepth;
  try {
    ChangeHandler(this);
  } catch (...) {
    --FChangeNotifyDepth;
    throw;
  }
  --FChangeNotifyDepth;
}

// --- alignment ---------------------------------------------------------------------------------

TcxEditAlignment* TcxCustomEditProperties::Alignment() {
  FAlignment->ChangeHandler = TNotifyEvent();
  FAlignment->Load(*FStoredAlignment);
  auto* owner = ObjectAs<TComponent>(FOwner);
  // A form being written gets the stored values as they are.
  if (IsAlignmentStored() && owner && owner->ComponentState().Contains(csWriting)) return FAlignment.get();
  if (!FAlignment->HorzIsSet()) FAlignment->SetEffectiveHorz(EffectiveHorzAlignment());
  FAlignment->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEditProperties::AlignmentChanged>(this);
  return FAlignment.get();
}

void TcxCustomEditProperties::AlignmentChanged(TObject*) {
  FStoredAlignment->Load(*FAlignment);
  NotifyChanged();
}

void TcxCustomEditProperties::SetAlignment(TcxEditAlignment* value) {
  if (!value) return;
  FStoredAlignment->Load(*value);
  NotifyChanged();
}

TAlignment TcxCustomEditProperties::EffectiveHorzAlignment() const {
  if (FValuesProvider) return FValuesProvider->ProvidedAlignment();
  return FStoredAlignment->Horz();
}

// --- assigned values and the provider ----------------------------------------------------------

bool TcxCustomEditProperties::GetReadOnly() const {
  if (FAssignedValues->ReadOnly()) return FReadOnly;
  return FValuesProvider ? FValuesProvider->ProvidedReadOnly() : false;
}

double TcxCustomEditProperties::EffectiveMaxValue() const {
  if (FAssignedValues->MaxValue()) return FMaxValue;
  return FValuesProvider ? FValuesProvider->ProvidedMaximum() : 0;
}

double TcxCustomEditProperties::EffectiveMinValue() const {
  if (FAssignedValues->MinValue()) return FMinValue;
  return FValuesProvider ? FValuesProvider->ProvidedMinimum() : 0;
}

bool TcxCustomEditProperties::CanModify() const {
  if (FAssignedValues->ReadOnly() && !FReadOnly) return true;
  if (GetReadOnly()) return false;
  if (FValuesProvider) return FValuesProvider->AllowsModify() && FValuesProvider->AllowsEditStart();
  return true;
}

void TcxCustomEditProperties::SetValuesProvider(IcxEditDefaultValuesProvider* provider) {
  FValuesProvider = provider;
  if (ObjectAs<TcxContainer>(FOwner)) NotifyChanged();
}

void TcxCustomEditProperties::SetReadOnly(bool value) {
  if (FAssignedValues->ReadOnly() && value == FReadOnly) return;
  LockChanges();
  FReadOnly = value;
  FAssignedValues->SetReadOnly(true);
  NotifyChanged();
  UnlockChanges();
}

void TcxCustomEditProperties::SetMaxValue(double value) {
  if (FAssignedValues->MaxValue() && value == FMaxValue) return;
  LockChanges();
  FMaxValue = value;
  FAssignedValues->SetMaxValue(true);
  NotifyChanged();
  UnlockChanges();
}

void TcxCustomEditProperties::SetMinValue(double value) {
  if (FAssignedValues->MinValue() && value == FMinValue) return;
  LockChanges();
  FMinValue = value;
  FAssignedValues->SetMinValue(true);
  NotifyChanged();
  UnlockChanges();
}

void TcxCustomEditProperties::RestoreDefaultSettings() {
  LockChanges();
  try {
    const TcxEditAlignment defaults(nullptr);
    FStoredAlignment->Load(defaults);
    FAssignedValues->ClearAssigned();
    NotifyChanged();
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

// --- display and validation --------------------------------------------------------------------

bool TcxCustomEditProperties::HasDisplayFormat(bool editing) const {
  const unsigned options = EditOptionFlags();
  if (editing || (options & 1u) == 0 || !FValuesProvider) return false;
  return FValuesProvider->HasDisplayFormatFor((options & 2u) == 0);
}

bool TcxCustomEditProperties::UsesProviderDisplayFormat() const {
  const unsigned options = EditOptionFlags();
  return (options & 1u) != 0 && IsTextValueEditor(true) == 0 && IsTextValueEditor(false) == 1 && FValuesProvider &&
         FValuesProvider->HasDisplayFormatFor((options & 2u) == 0);
}

void TcxCustomEditProperties::ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool) const {
  display = value;
}

bool TcxCustomEditProperties::SameDisplayValues(const TcxEditValue& a, const TcxEditValue& b) const {
  TcxEditValue first, second;
  ValueToDisplay(a, first, false);
  ValueToDisplay(b, second, false);
  return VariantsEqual(first, second);
}

AnsiString TcxCustomEditProperties::ValidationErrorText(int) const {
  return LoadResString(cxSEditValidateErrorText);
}

void TcxCustomEditProperties::ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText,
                                                   IcxEditValidationTarget* edit, bool& error) {
  if (!ValidatesDisplayValue()) return;
  if (errorText.empty()) errorText = ValidationErrorText(0);
  bool valueChanged = false;
  ValidateByEvent(displayValue, errorText, valueChanged, edit, error);
}

void TcxCustomEditProperties::ValidateByEvent(TcxEditValue& displayValue, AnsiString& errorText, bool& valueChanged,
                                              IcxEditValidationTarget* edit, bool& error) {
  valueChanged = false;
  if (!edit || !edit->HasValidateHandler()) return;
  const AnsiString before = VarToStr(displayValue);
  edit->FireValidate(displayValue, errorText, error);
  if (!error) return;
  valueChanged = VarToStr(displayValue) != before;
  if (!valueChanged) displayValue = TcxEditValue(edit->ReadShownText());
}

TcxCustomEditProperties* TcxCustomEditProperties::NewOfSameClass() const {
  return static_cast<TcxCustomEditProperties*>(CreateObject(ClassType(), nullptr));
}

void TcxCustomEditProperties::CopyFrom(TPersistent* source) {
  auto* s = ObjectAs<TcxCustomEditProperties>(source);
  if (!s) {
    TcxInterfacedPersistent::Assign(source);
    return;
  }
  LockChanges();
  try {
    SetAutoSelect(s->FAutoSelect);
    FButtons->Assign(s->FButtons.get());
    SetButtonLayout(s->FButtonLayout);
    FBeepOnError = s->FBeepOnError;
    FClearKey = s->FClearKey;
    FButtonClickKey = s->FButtonClickKey;
    SetUseLeftAlignmentOnEditing(s->FUseLeftAlignmentOnEditing);
    SetValuesProvider(s->FValuesProvider);
    SetAlignment(s->Alignment());
    // Each assigned value: the own mark cleared, the source's value set
    // again (which marks it) when the source assigns it.
    FAssignedValues->SetMaxValue(false);
    if (s->FAssignedValues->MaxValue()) SetMaxValue(s->EffectiveMaxValue());
    FAssignedValues->SetMinValue(false);
    if (s->FAssignedValues->MinValue()) SetMinValue(s->EffectiveMinValue());
    FAssignedValues->SetReadOnly(false);
    if (s->FAssignedValues->ReadOnly()) SetReadOnly(s->GetReadOnly());
    FImmediatePost = s->FImmediatePost;
    SetTransparent(s->FTransparent);
    FMouseWheelEnabled = s->FMouseWheelEnabled;
    FValidateOnEnter = s->FValidateOnEnter;
    OnEditButtonClick = s->OnEditButtonClick;
    OnChange = s->OnChange;
    OnEditValueChanged = s->OnEditValueChanged;
    OnValidate = s->OnValidate;
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

// -- The registry -----------------------------------------------------------------------------

namespace {
TcxRegisteredClasses* Registry = nullptr;
}

TcxRegisteredClasses* RegisteredPropertiesClasses() {
  if (!Registry) {
    Registry = New<TcxRegisteredClasses>();
    Registry->SetSortedFlag(true);
  }
  return Registry;
}

void FreeRegisteredPropertiesClasses() {
  Free(Registry);
  Registry = nullptr;
}

// ---------------------------------------------------------------------------
// The form tables.

namespace {

const TEnumInfo ButtonKindNames{"TcxEditButtonKind", {"bkEllipsis", "bkDown", "bkGlyph", "bkText"}};
const TEnumInfo VertAlignmentNames{"TcxEditVertAlignment", {"taTopJustify", "taBottomJustify", "taVCenter"}};

bool ButtonGlyphStored(TObject* o) {
  auto* button = static_cast<TcxEditButton*>(o);
  return button->HasGlyph() && !button->Glyph()->Empty();
}

using EB = TcxEditButton;
const TPublishedRegistration buttonRegistration(&TcxEditButton::ClassInfo, {
    Property<&EB::Caption, &EB::SetCaption>("Caption"),
    Property<&EB::ContentAlignment, &EB::SetContentAlignment>("ContentAlignment", AlignmentNames).Default(taCenter),
    Property<&EB::Default, &EB::SetDefault>("Default").Default(false),
    Property<&EB::Enabled, &EB::SetEnabled>("Enabled").Default(true),
    StoredWhen(Property<&EB::Glyph>("Glyph"), &ButtonGlyphStored),
    Property<&EB::Hint, &EB::SetHint>("Hint"),
    Property<&EB::Kind, &EB::SetKind>("Kind", ButtonKindNames).Default(bkDown),
    Property<&EB::LeftAlignment, &EB::SetLeftAlignment>("LeftAlignment").Default(false),
    Property<&EB::Stretchable, &EB::SetStretchable>("Stretchable").Default(true),
    Property<&EB::Tag, &EB::SetTag>("Tag").Default(0),
    Property<&EB::Visible, &EB::SetVisible>("Visible").Default(true),
    Property<&EB::Width, &EB::SetWidth>("Width").Default(0),
});

using A = TcxEditAlignment;
const TPublishedRegistration alignmentRegistration(&TcxEditAlignment::ClassInfo, {
    Property<&A::Horz, &A::SetHorz>("Horz", AlignmentNames).NoDefault().Stored<&A::IsHorzStored>(),
    Property<&A::Vert, &A::SetVert>("Vert", VertAlignmentNames).Default(taTopJustify),
});

using V = TcxCustomEditPropertiesValues;
const TPublishedRegistration valuesRegistration(&TcxCustomEditPropertiesValues::ClassInfo, {
    // The mark comes back with the value itself.
    Property<&V::ReadOnly, &V::SetReadOnly>("ReadOnly").Stored(false),
});

}  // namespace

namespace cxEditPublished {

using P = TcxCustomEditProperties;

TPropInfo Alignment() { return Property<&P::Alignment, &P::SetAlignment>("Alignment").Stored<&P::IsAlignmentStored>(); }
TPropInfo AssignedValues() { return Property<&P::AssignedValues, &P::SetAssignedValues>("AssignedValues"); }
TPropInfo AutoSelect() { return Property<&P::AutoSelect, &P::SetAutoSelect>("AutoSelect").Default(true); }
TPropInfo BeepOnError() { return Property<&P::BeepOnError, &P::SetBeepOnError>("BeepOnError").Default(false); }
TPropInfo Buttons() { return Property<&P::Buttons, &P::SetButtons>("Buttons"); }
TPropInfo ClearKey() { return Property<&P::ClearKey, &P::SetClearKey>("ClearKey").Default(0); }
TPropInfo ImmediatePost() { return Property<&P::ImmediatePost, &P::SetImmediatePost>("ImmediatePost").Default(false); }
TPropInfo MaxValue() {
  return Property<&P::MaxValue, &P::SetMaxValue>("MaxValue").Stored<&P::IsMaxValueStored>();
}
TPropInfo MinValue() {
  return Property<&P::MinValue, &P::SetMinValue>("MinValue").Stored<&P::IsMinValueStored>();
}
TPropInfo ReadOnly() {
  return Property<&P::GetReadOnly, &P::SetReadOnly>("ReadOnly").NoDefault().Stored<&P::IsReadOnlyStored>();
}
TPropInfo Transparent() { return Property<&P::Transparent, &P::SetTransparent>("Transparent").Default(false); }
TPropInfo UseLeftAlignmentOnEditing() {
  return Property<&P::UseLeftAlignmentOnEditing, &P::SetUseLeftAlignmentOnEditing>("UseLeftAlignmentOnEditing")
      .NoDefault()
      .Stored<&P::IsUseLeftAlignmentOnEditingStored>();
}
TPropInfo ValidateOnEnter(bool byDefault) {
  return Property<&P::ValidateOnEnter, &P::SetValidateOnEnter>("ValidateOnEnter").Default(byDefault);
}
TPropInfo OnChange() { return Event<&P::OnChange>("OnChange"); }
TPropInfo OnEditValueChanged() { return Event<&P::OnEditValueChanged>("OnEditValueChanged"); }
TPropInfo OnValidate() { return Event<&P::OnValidate>("OnValidate"); }

}  // namespace cxEditPublished
