#include "editors/framework/EditProperties.h"

#include "platform/Bitmap.h"

const TClassInfo TcxEditButton::ClassInfo{"TcxEditButton", &TCollectionItem::ClassInfo, [](TObject* collection) -> TObject* {
                                            return new TcxEditButton(static_cast<TCollection*>(collection));
                                          }};
const TClassInfo TcxEditButtons::ClassInfo{"TcxEditButtons", &TCollection::ClassInfo, nullptr};
const TClassInfo TcxCustomEditPropertiesValues::ClassInfo{"TcxCustomEditPropertiesValues", &TPersistent::ClassInfo,
                                                          nullptr};
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

void TcxEditButton::SetCaption(const AnsiString& value) { Store(FCaption, value); }
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

// -- TcxCustomEditProperties --------------------------------------------------------------------

TcxCustomEditProperties::TcxCustomEditProperties(TPersistent* owner) : TcxInterfacedPersistent(owner), FOwner(owner) {
  FAssignedValues = std::make_unique<TcxCustomEditPropertiesValues>(this);
  FButtons = std::make_unique<TcxEditButtons>(this, &TcxEditButton::ClassInfo);
  FButtons->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEditProperties::ButtonsChanged>(this);
  FUseLeftAlignmentOnEditing = DefaultLeftAlignOnEditing();
}

TcxCustomEditProperties::~TcxCustomEditProperties() {
  ChangeHandler = TNotifyEvent();
  FButtons->ChangeHandler = TNotifyEvent();
  FButtons.reset();
  FAssignedValues.reset();
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

bool TcxCustomEditProperties::GetReadOnly() const { return FAssignedValues->ReadOnly() && FReadOnly; }

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

TcxCustomEditProperties* TcxCustomEditProperties::NewOfSameClass() const {
  return static_cast<TcxCustomEditProperties*>(ClassType()->Create(nullptr));
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
    OnChange = s->OnChange;
    OnEditValueChanged = s->OnEditValueChanged;
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
