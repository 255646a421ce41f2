// The editor control: creation, the value and its flags, change events,
// editing permission, validation, posting, revert and the repository item.
#include "editors/framework/EditControl.h"

#include "editors/framework/EditStrings.h"
#include "editors/framework/EditConsts.h"
#include "editors/framework/Variants.h"
#include "foundation/ContainerServices.h"
#include "platform/Forms.h"
#include "platform/Menus.h"
#include "platform/Properties.h"

const TClassInfo TcxCustomEdit::ClassInfo{"TcxCustomEdit", &TcxContainer::ClassInfo, nullptr};

TcxCustomEdit::TcxCustomEdit(TComponent* owner, bool inPlace) : TcxContainer(owner), FInPlace(inPlace) {}

void TcxCustomEdit::AfterConstruction() {
  TcxContainer::AfterConstruction();
  InitializeEdit();
  if (HandleAllocated()) RefreshHotStateAtCursor();
}

void TcxCustomEdit::InitializeEdit() {
  FFirstAutoSizePending = true;
  FCatcher = std::make_unique<TcxEditChangeEventsCatcher>(this);
  FProperties.reset(static_cast<TcxCustomEditProperties*>(CreateObject(PropertiesClass(), this)));
  // The content parameters every in-place view data copies.
  {
    std::unique_ptr<TcxCustomEditViewData> viewData(NewViewData());
    FContentParams = viewData->ContentParams;
    FContentParamsCached = true;
  }
  SetTabStop(true);
  if (TWinControl* inner = CreateInnerControl()) {
    FInnerEdit = dynamic_cast<IcxCustomInnerEdit*>(inner);
    AssignInnerControl(inner);
    WireInnerControl();
  }
  FDataBinding.reset(NewDataBinding());
  FAutoSize = !FInPlace;
  FPressedButtonIndex = -1;
  FEditValue = Variant();
  FProperties->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEdit::OwnPropertiesChanged>(this);
  if (FInPlace) {
    TcxKeys keys{TcxKey::kAll, TcxKey::kArrows};
    if (!InnerControl()) keys.Include(TcxKey::kTab);
    AssignKeys(keys);
  }
  // A standalone edit's properties consult its binding's provider.
  if (!FInPlace) FProperties->SetValuesProvider(FDataBinding->ValuesProvider());
  // An in-place edit's styles follow no default controller.
  if (FInPlace && DefaultStyleController() && Style()->ActiveStyleController() == DefaultStyleController())
    Style()->ControllerRemoved(DefaultStyleController());
  SetControlStyle(ControlStyle() + TControlStyle{TControlStyleItem::csDoubleClicks});
  FDblClickTimer = New<TcxTimer>(this);
  FDblClickTimer->SetEnabled(false);
  FDblClickTimer->SetInterval(GetDoubleClickTime());
  FDblClickTimer->SetOnTimer(TNotifyEvent::Bind<&TcxCustomEdit::DblClickTimerTick>(this));
  EditViewInfo()->Edit = this;
  FInitialized = true;
}

void TcxCustomEdit::BeforeDestruction() {
  if (FRepositoryItem) FRepositoryItem->RemoveListener(this);
  FRepositoryItem = nullptr;
  if (FInnerHooked) UnhookInnerWindow();
  TcxContainer::BeforeDestruction();
}

TcxCustomEdit::~TcxCustomEdit() {
  FInnerEdit = nullptr;
  if (FProperties) FProperties->ChangeHandler = nullptr;
  if (EditViewInfo()) EditViewInfo()->Edit = nullptr;
}

bool TcxCustomEdit::HandlesEvents() const { return !IsBeingLoaded() && !IsBeingDestroyed(); }

// -- Value and flags ------------------------------------------------------------------------

void TcxCustomEdit::MarkModified(bool value) {
  FModified = value;
  if (value) {
    FValidated = false;
    FEditValueChanged = true;
  }
}

void TcxCustomEdit::SetChangedSinceEnter(bool value) {
  FEditValueChanged = value;
  if (!value) FModified = false;
}

void TcxCustomEdit::PushModifiedState() { FModifiedStateStack.emplace_back(FEditValueChanged, FModified); }

void TcxCustomEdit::PopModifiedState() {
  if (FModifiedStateStack.empty()) return;
  FEditValueChanged = FModifiedStateStack.back().first;
  FModified = FModifiedStateStack.back().second;
  FModifiedStateStack.pop_back();
}

void TcxCustomEdit::LockChangeEvents(bool lock, bool fire) { FCatcher->Lock(lock, fire); }

void TcxCustomEdit::LockClick(bool lock) {
  if (lock)
    ++FClickLockCount;
  else if (FClickLockCount > 0)
    --FClickLockCount;
}

void TcxCustomEdit::LockEditingSwitch(bool lock) {
  if (lock)
    ++FEditingSwitchLockCount;
  else if (FEditingSwitchLockCount > 0)
    --FEditingSwitchLockCount;
}

TcxCustomEditProperties* TcxCustomEdit::EffectiveProperties() const {
  if (!FRepositoryItem) return FProperties.get();
  // Shared item properties answer through the provider of the edit asking.
  // (Giving them a provider tells no one: their owner is the item.)
  TcxCustomEditProperties* properties = FRepositoryItem->Properties();
  if (properties && FDataBinding && properties->ValuesProvider() != FDataBinding->ValuesProvider())
    properties->SetValuesProvider(FDataBinding->ValuesProvider());
  return properties;
}

TcxCustomEditStyle* TcxCustomEdit::CurrentStyle() { return static_cast<TcxCustomEditStyle*>(ActiveStyle()); }

void TcxCustomEdit::AssignEditValueWithoutClick(const Variant& value) {
  if (FEditingSwitchLockCount > 0) return;
  LockClick(true);
  TWeakLink<TControl> self(this);
  try {
    if (!FUserAction || StartEditing()) StoreInternalEditValue(value);
  } catch (...) {
    if (self.Get()) LockClick(false);
    throw;
  }
  if (self.Get()) LockClick(false);
}

void TcxCustomEdit::AssignEditValue(const Variant& value) {
  if (FEditingSwitchLockCount > 0) return;
  if (!FUserAction || StartEditing()) StoreInternalEditValue(value);
}

void TcxCustomEdit::StoreInternalEditValue(const Variant& value) {
  if (FUserAction && !StartEditing()) return;
  TcxCustomEditProperties* properties = EffectiveProperties();
  const bool changed = properties->ComparesValues() && !EditValuesEqual(value, FEditValue);
  FEditValue = value;
  RefreshDisplayText();
  if (FUserAction)
    MarkModified(true);
  else
    SetChangedSinceEnter(false);
  if (!changed) return;
  TWeakLink<TControl> self(this);
  FireEditValueChanged();
  if (self.Get() && !properties->ChangeFiredByEditor()) FireChange();
}

void TcxCustomEdit::ModifyAndClick() {
  MarkModified(true);
  if (FClickLockCount == 0) Click();
}

void TcxCustomEdit::FireKeyEvent(WORD& key, TShiftState shift) {
  if (KeyEvent) KeyEvent(this, key, shift);
}

// -- Change events ----------------------------------------------------------------------------

void TcxCustomEdit::DoChangeEvent() {
  TWeakLink<TControl> self(this);
  FireEvent(FProperties->OnChange, this);
  if (self.Get() && FRepositoryItem) FireEvent(EffectiveProperties()->OnChange, this);
}

void TcxCustomEdit::DoEditValueChangedEvent() {
  TWeakLink<TControl> self(this);
  FireEvent(FProperties->OnEditValueChanged, this);
  if (self.Get() && FRepositoryItem) FireEvent(EffectiveProperties()->OnEditValueChanged, this);
}

void TcxCustomEdit::FireChange() {
  if (!HandlesEvents()) return;
  const bool assigned = FProperties->OnChange || (FRepositoryItem && EffectiveProperties()->OnChange);
  TWeakLink<TControl> self(this);
  if (assigned) {
    if (FCatcher->IsLocked()) {
      FCatcher->ChangeCaught = true;
    } else if (FInPlace) {
      // The host's handlers see the edit as changed and modified.
      PushModifiedState();
      FEditValueChanged = FModified = true;
      try {
        DoChangeEvent();
      } catch (...) {
        if (self.Get()) PopModifiedState();
        throw;
      }
      if (!self.Get()) return;
      PopModifiedState();
    } else {
      DoChangeEvent();
    }
  }
  if (!self.Get()) return;
  TcxCustomEditProperties* properties = EffectiveProperties();
  if (!properties->ChangeFiredByEditor() && !properties->ComparesValues()) FireEditValueChanged();
}

void TcxCustomEdit::FireEditValueChanged() {
  if (!HandlesEvents()) return;
  const bool assigned =
      FProperties->OnEditValueChanged || (FRepositoryItem && EffectiveProperties()->OnEditValueChanged);
  if (!assigned) return;
  if (FCatcher->IsLocked()) {
    FCatcher->EditValueChangedCaught = true;
  } else if (FInPlace) {
    TWeakLink<TControl> self(this);
    PushModifiedState();
    FEditValueChanged = FModified = true;
    try {
      DoEditValueChangedEvent();
    } catch (...) {
      if (self.Get()) PopModifiedState();
      throw;
    }
    if (self.Get()) PopModifiedState();
  } else {
    DoEditValueChangedEvent();
  }
}

// -- Editing permission -------------------------------------------------------------------------

bool TcxCustomEdit::CanEditValue() {
  TcxCustomEditProperties* properties = EffectiveProperties();
  if (FInPlace) return properties->CanModify();
  if (properties->AssignedValues()->ReadOnly()) return !properties->GetReadOnly();
  return FDataBinding->CanModify() && FDataBinding->CanStartEditing();
}

bool TcxCustomEdit::StartEditing() {
  if (!EditingAllowed()) return false;
  if (FDataBinding->HasValueToStore()) return true;
  bool allowed = CanEditValue();
  if (!allowed) return false;
  TWeakLink<TControl> self(this);
  FStartingEdit = true;
  try {
    if (FInPlace) {
      LockEditingSwitch(true);
      try {
        if (OnEditing) OnEditing(this, allowed);
      } catch (...) {
        if (self.Get()) LockEditingSwitch(false);
        throw;
      }
      if (self.Get()) LockEditingSwitch(false);
    } else {
      const bool wasModified = FDataBinding->EditIsModified();
      if (OnEditing) OnEditing(this, allowed);
      if (self.Get() && allowed) {
        if (wasModified) {
          FDataBinding->MarkModifiedIfFocused();
        } else {
          LockEditingSwitch(true);
          allowed = FDataBinding->BeginValueEdit();
          LockEditingSwitch(false);
        }
      }
    }
  } catch (...) {
    if (self.Get()) FStartingEdit = false;
    throw;
  }
  if (self.Get()) FStartingEdit = false;
  return allowed;
}

bool TcxCustomEdit::CanStoreToData() { return !IsDesigning() && FDataBinding->HasValueToStore(); }

bool TcxCustomEdit::IsReadOnlyNow() {
  return EffectiveProperties()->GetReadOnly() || !FDataBinding->IsDataAvailable();
}

bool TcxCustomEdit::CanRevert() {
  return FDataBinding->BoundToDataStorage() || EffectiveProperties()->CanRevertValue();
}

// -- Validation --------------------------------------------------------------------------------

bool TcxCustomEdit::HasValidateHandler() {
  return FProperties->OnValidate || (FRepositoryItem && EffectiveProperties()->OnValidate);
}

void TcxCustomEdit::FireValidate(TcxEditValue& displayValue, AnsiString& errorText, bool& error) {
  TWeakLink<TControl> self(this);
  if (FProperties->OnValidate) FProperties->OnValidate(this, displayValue, errorText, error);
  if (self.Get() && FRepositoryItem && EffectiveProperties()->OnValidate)
    EffectiveProperties()->OnValidate(this, displayValue, errorText, error);
}

bool TcxCustomEdit::CheckEditValue(bool raiseOnError) {
  if (!FModified || FValidated) return true;
  TWeakLink<TControl> self(this);
  FCheckingValue = true;
  struct TClear {
    TcxCustomEdit* Edit;
    TWeakLink<TControl>& Self;
    ~TClear() {
      if (Self.Get()) Edit->FCheckingValue = false;
    }
  } clear{this, self};
  Variant displayValue(ReadShownText());
  bool error = false;
  AnsiString errorText;
  TcxCustomEditProperties* properties = EffectiveProperties();
  if (properties->ValidatesDisplayValue()) properties->ValidateDisplayValue(displayValue, errorText, this, error);
  if (!self.Get()) return false;
  if (error) {
    // The shown text becomes what the handlers left, selected.
    auto showHandlersText = [&] {
      if (!self.Get()) return;
      const AnsiString text = displayValue.IsEmpty() || displayValue.IsNull() ? AnsiString() : displayValue.AsString();
      if (ReadShownText() != text) {
        PutDisplayText(displayValue);
        if (Visible()) {
          SelectAllText();
          if (!InnerEditShowsValue()) RefreshView();
        }
      }
    };
    if (raiseOnError) {
      try {
        ValidationFailed(errorText, true);
      } catch (...) {
        showHandlersText();
        throw;
      }
    }
    showHandlersText();
    return false;
  }
  if (!FUserAction || StartEditing()) {
    AcceptDisplayValue(displayValue);
    if (!self.Get()) return true;
    if (!FInPlace && !Focused()) MarkModified(false);
    FValidated = true;
  }
  return true;
}

void TcxCustomEdit::AcceptDisplayValue(const Variant& value) {
  PushModifiedState();
  TWeakLink<TControl> self(this);
  try {
    ApplyDisplayValue(value);
  } catch (...) {
    if (self.Get()) PopModifiedState();
    throw;
  }
  if (self.Get()) PopModifiedState();
}

void TcxCustomEdit::ValidationFailed(const AnsiString& errorText, bool raiseSilently) {
  if (!CanFocus()) {
    // Not rejected again until the next change by the user.
    FValidated = true;
  } else if (Visible()) {
    if (!Focused()) {
      TcxFlagGuard suppressed(FFocusSuppressed, true);
      TWinControl* inner = InnerControl();
      if (inner && inner->CanFocus())
        inner->SetFocus();
      else
        TcxContainer::SetFocus();
    }
    SelectAllText();
  }
  if (EffectiveProperties()->BeepOnError()) MessageBeep(0);
  if (!errorText.empty()) throw EcxEditValidationError(errorText);
  if (raiseSilently) Abort();
}

bool TcxCustomEdit::ValidateNow() {
  if (FDblClickTimer) FDblClickTimer->SetEnabled(false);
  FUserAction = false;
  const bool valid = CheckEditValue(true);
  if (valid) {
    RefreshDisplayText();
    FValidated = true;
  }
  return valid;
}

Variant TcxCustomEdit::ValueToPost() {
  if (Focused() && !FValidated && FModified) return DisplayToEditValue();
  return FEditValue;
}

// -- Posting and revert ---------------------------------------------------------------------

void TcxCustomEdit::StoreEditValue(bool validateFirst) {
  if (validateFirst) {
    TcxFlagGuard userAction(FUserAction, false);
    if (!CheckEditValue(true)) return;
  }
  TWeakLink<TControl> self(this);
  FStoring = true;
  try {
    if (FInPlace) {
      FireEvent(PostEditValueHandler, this);
      if (self.Get()) SetChangedSinceEnter(false);
    } else if (FDataBinding->HasValueToStore()) {
      FDataBinding->WriteStoredValue(FEditValue);
    }
  } catch (...) {
    if (!self.Get()) throw;
    FStoring = false;
    if (FInPlace) return;  // the host's failure ends the post quietly
    // Focus, selection and a beep; the value stays as typed.
    ValidationFailed(AnsiString(), false);
    throw;
  }
  if (self.Get()) FStoring = false;
}

void TcxCustomEdit::RevertEditing() {
  if (!FModified || !EffectiveProperties()->CanRevertValue()) return;
  TWeakLink<TControl> self(this);
  LockChangeEvents(true);
  try {
    SetModifiedFlag(false);
    Variant value = FValueOnEnter;
    if (FDataBinding->BoundToDataStorage()) FDataBinding->ReadEditValue(value);
    AssignEditValue(value);
    SetChangedSinceEnter(true);
    SelectAllText();
    if (EffectiveProperties()->ImmediatePost() && CanStoreToData()) StoreEditValue(false);
  } catch (...) {
    if (self.Get()) LockChangeEvents(false);
    throw;
  }
  if (self.Get()) LockChangeEvents(false);
}

void TcxCustomEdit::ReloadFromData(TObject*) {
  if (Focused())
    MarkModified(true);
  else if (EffectiveProperties()->ChangeNotifyDepth() == 0)
    FDataBinding->MarkModifiedIfFocused();
  FireChange();
}

// -- Properties and the repository item -----------------------------------------------------

void TcxCustomEdit::ApplyProperties(TcxCustomEditProperties* properties) {
  FValidated = false;
  if (!IsInnerControlPending() && FInnerEdit) FInnerEdit->SetReadOnly(IsReadOnlyNow());
  if (FModified && IsReadOnlyNow()) MarkModified(false);
  if (properties && properties->Transparent()) FTransparent = true;
  if (!RefreshHotStateAtCursor()) TrackMouseAt(POINT{-1, -1}, 0, {}, false);
}

void TcxCustomEdit::SetRepositoryItem(TcxEditRepositoryItem* value) {
  if (value == FRepositoryItem) return;
  if (value && !(value->Properties() && value->Properties()->InheritsFrom(PropertiesClass())))
    throw EcxEditError(LoadOverridableResString(cxSEditRepositoryItemNotAcceptable));
  RepositoryItemChanging();
  if (FRepositoryItem) {
    FRepositoryItem->RemoveListener(this);
    FRepositoryItem->RemoveFreeNotification(this);
  }
  FRepositoryItem = value;
  const bool active = !IsBeingLoaded() && !IsBeingDestroyed();
  if (value) {
    value->AddListener(this);
    value->FreeNotification(this);
    FProperties->SetValuesProvider(nullptr);
    if (active) ApplyProperties(value->Properties());
    FProperties->ChangeHandler = nullptr;
  } else {
    if (active) FProperties->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEdit::OwnPropertiesChanged>(this);
    if (!FInPlace) FProperties->SetValuesProvider(FDataBinding->ValuesProvider());
    FProperties->NotifyChanged();
  }
  RepositoryItemChanged();
}

void TcxCustomEdit::RepositoryItemPropertiesChanged(TcxEditRepositoryItem* item) {
  if (IsBeingLoaded() || IsBeingDestroyed()) return;
  ApplyProperties(item->Properties());
}

void TcxCustomEdit::RepositoryItemRemoved(TcxEditRepositoryItem* item) {
  if (item == FRepositoryItem) FRepositoryItem = nullptr;
}

void TcxCustomEdit::Notification(TComponent* component, TOperation operation) {
  TcxContainer::Notification(component, operation);
  if (operation == opRemove && component == FRepositoryItem) {
    FRepositoryItem = nullptr;
    if (!IsBeingDestroyed()) FProperties->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEdit::OwnPropertiesChanged>(this);
  }
}

void TcxCustomEdit::Loaded() {
  TcxContainer::Loaded();
  LockChangeEvents(true);
  LockClick(true);
  FDataBinding->DataHook();
  if (!FRepositoryItem) FProperties->ChangeHandler = TNotifyEvent::Bind<&TcxCustomEdit::OwnPropertiesChanged>(this);
  ApplyProperties(EffectiveProperties());
  ViewInfo()->Shadow = false;
  HandleStyleChange(Style());
  LockClick(false);
  LockChangeEvents(false, false);
}

void TcxCustomEdit::ReadState(TReader* Reader) {
  FProperties->ChangeHandler = nullptr;  // Loaded installs it again
  TcxContainer::ReadState(Reader);
}

void TcxCustomEdit::SetName(const AnsiString& value) {
  TcxContainer::SetName(value);
  if (FDataBinding) FDataBinding->DataHook();
}

void TcxCustomEdit::SetParent(TWinControl* value) {
  if (value && FFirstParentPending && FInitialized) {
    FFirstParentPending = false;
    TWeakLink<TControl> self(this);
    FDataBinding->DataHook();
    ApplyProperties(FProperties.get());
    if (!self.Get()) return;
    FDataBinding->RefreshEditDisplay();
    if (!self.Get()) return;
  }
  TcxContainer::SetParent(value);
}

bool TcxCustomEdit::ExecuteAction(TBasicAction* Action) {
  return TcxContainer::ExecuteAction(Action) || FDataBinding->ExecuteAction(Action);
}

bool TcxCustomEdit::UpdateAction(TBasicAction* Action) {
  return TcxContainer::UpdateAction(Action) || FDataBinding->UpdateAction(Action);
}

void TcxCustomEdit::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  Invalidate();
}

bool TcxCustomEdit::IsInnerControlPending() { return IsBeingDestroyed() || (WantsInnerControl() && !InnerControl()); }

TcxContainerStyleValues TcxCustomEdit::UnusedStyleValues() {
  TcxContainerStyleValues values;
  for (int i = 10; i <= 15; ++i) values.Include(static_cast<TcxContainerStyleValue>(i));
  return values;
}

// -- Buttons -----------------------------------------------------------------------------------

int TcxCustomEdit::ButtonIndexAt(POINT p) {
  TcxCustomEditViewInfo* info = EditViewInfo();
  for (int i = 0; i < info->ButtonCount(); ++i)
    if (PtInRect(&info->Button(i).ButtonRect, p)) return i;
  return -1;
}

int TcxCustomEdit::DefaultButtonIndex() {
  TcxCustomEditViewInfo* info = EditViewInfo();
  for (int i = 0; i < info->ButtonCount(); ++i)
    if (info->Button(i).DefaultFlag) return i;
  return -1;
}

void TcxCustomEdit::ClickDefaultButton() {
  const int index = DefaultButtonIndex();
  if (index >= 0) FireButtonClick(EditViewInfo()->Button(index).CollectionIndex);
}

void TcxCustomEdit::FireButtonClick(int index) {
  TWeakLink<TControl> self(this);
  if (FProperties->OnEditButtonClick) FProperties->OnEditButtonClick(this, index);
  if (self.Get() && FRepositoryItem && EffectiveProperties()->OnEditButtonClick)
    EffectiveProperties()->OnEditButtonClick(this, index);
}

bool TcxCustomEdit::IsClickShortcut(WORD key, TShiftState shift) {
  if (DefaultButtonIndex() < 0) return false;
  const TShortCut clickKey = EffectiveProperties()->ButtonClickKey();
  return clickKey != 0 && ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt)) == clickKey;
}

bool TcxCustomEdit::IsClearOrClickShortcut(WORD key, TShiftState shift) {
  const TShortCut clearKey = EffectiveProperties()->ClearKey();
  const TShortCut pressed = ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
  return (clearKey != 0 && pressed == clearKey) || IsClickShortcut(key, shift);
}

bool TcxCustomEdit::InEditingLook() { return Focused(); }

void TcxCustomEdit::FireClosePopupEvent(TcxEditCloseUpReason reason) {
  TWeakLink<TControl> self(this);
  if (FProperties->OnPopupClosed) FProperties->OnPopupClosed(this, reason);
  if (self.Get() && FRepositoryItem && EffectiveProperties()->OnPopupClosed)
    EffectiveProperties()->OnPopupClosed(this, reason);
}

bool TcxCustomEdit::WheelAllowed(unsigned flags) {
  return !FInPlace || EffectiveProperties()->MouseWheelEnabled() || (flags & 4u) != 0;
}

bool TcxCustomEdit::IsOwnWindow(HWND window) {
  if (!window || !HandleAllocated()) return false;
  const HWND own = Handle();
  return window == own || IsChild(own, window);
}

void TcxCustomEdit::GetTabOrderList(std::vector<TWinControl*>& list) {
  TcxContainer::GetTabOrderList(list);
  if (FInPlace && Visible() && Parent()) std::erase(list, Parent());
}

bool TcxCustomEdit::KeyAllowedByProvider(char key) { return FDataBinding->IsKeyAllowed(key); }

// -- The form tables -------------------------------------------------------------------------

namespace {

using E = TcxCustomEdit;
const TPublishedRegistration editRegistration(&TcxCustomEdit::ClassInfo, {
    Property<&E::Height, &TControl::SetHeight>("Height").Stored<&E::IsHeightStored>(),
    Property<&TControl::Width, &TControl::SetWidth>("Width").Stored<&E::IsWidthStored>(),
    Property<&E::RepositoryItem, &E::SetRepositoryItem>("RepositoryItem"),
    Event<&E::PropertiesEvents>("PropertiesEvents"),
});

}  // namespace

namespace cxEditControlPublished {

TPropInfo AutoSize() { return Property<&E::AutoSize, &E::SetAutoSize>("AutoSize").Default(true); }
TPropInfo EditValue() { return Property<&E::EditValue, &E::SetEditValue>("EditValue").Stored<&E::HasNonNullValue>(); }
TPropInfo Properties() { return Property<&E::Properties>("Properties"); }
TPropInfo Style() { return Property<&E::Style>("Style"); }
TPropInfo StyleDisabled() { return Property<&E::StyleDisabled>("StyleDisabled"); }
TPropInfo StyleFocused() { return Property<&E::StyleFocused>("StyleFocused"); }
TPropInfo StyleHot() { return Property<&E::StyleHot>("StyleHot"); }
TPropInfo Transparent() { return Property<&E::Transparent, &E::SetTransparent>("Transparent").Default(false); }
TPropInfo OnEditing() { return Event<&E::OnEditing>("OnEditing"); }

}  // namespace cxEditControlPublished
