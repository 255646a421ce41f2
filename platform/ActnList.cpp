#include "platform/ActnList.h"

#include "platform/Exceptions.h"
#include "platform/Forms.h"
#include "platform/ImageList.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"

#include <algorithm>

const TClassInfo TBasicActionLink::ClassInfo{"TBasicActionLink", &TObject::ClassInfo, [](TObject* client) -> TObject* {
                                               return new TBasicActionLink(client);
                                             }};
const TClassInfo TActionLink::ClassInfo{"TActionLink", &TBasicActionLink::ClassInfo, [](TObject* client) -> TObject* {
                                          return new TActionLink(client);
                                        }};
const TClassInfo TControlActionLink::ClassInfo{"TControlActionLink", &TActionLink::ClassInfo,
                                               [](TObject* client) -> TObject* {
                                                 return new TControlActionLink(client);
                                               }};
const TClassInfo TButtonActionLink::ClassInfo{"TButtonActionLink", &TControlActionLink::ClassInfo,
                                              [](TObject* client) -> TObject* {
                                                return new TButtonActionLink(client);
                                              }};
const TClassInfo TMenuActionLink::ClassInfo{"TMenuActionLink", &TActionLink::ClassInfo,
                                            [](TObject* client) -> TObject* { return new TMenuActionLink(client); }};
const TClassInfo TBasicAction::ClassInfo{"TBasicAction", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TBasicAction(static_cast<TComponent*>(owner));
                                         }};
const TClassInfo TContainedAction::ClassInfo{"TContainedAction", &TBasicAction::ClassInfo,
                                             [](TObject* owner) -> TObject* {
                                               return new TContainedAction(static_cast<TComponent*>(owner));
                                             }};
const TClassInfo TCustomAction::ClassInfo{"TCustomAction", &TContainedAction::ClassInfo,
                                          [](TObject* owner) -> TObject* {
                                            return new TCustomAction(static_cast<TComponent*>(owner));
                                          }};
const TClassInfo TAction::ClassInfo{"TAction", &TCustomAction::ClassInfo, [](TObject* owner) -> TObject* {
                                      return new TAction(static_cast<TComponent*>(owner));
                                    }};
const TClassInfo THintAction::ClassInfo{"THintAction", &TCustomAction::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new THintAction(static_cast<TComponent*>(owner));
                                        }};
const TClassInfo TCustomActionList::ClassInfo{"TCustomActionList", &TComponent::ClassInfo,
                                              [](TObject* owner) -> TObject* {
                                                return new TCustomActionList(static_cast<TComponent*>(owner));
                                              }};
const TClassInfo TActionList::ClassInfo{"TActionList", &TCustomActionList::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TActionList(static_cast<TComponent*>(owner));
                                        }};

// -- TBasicActionLink -------------------------------------------------------------

TBasicActionLink::TBasicActionLink(TObject*) {}

TBasicActionLink::~TBasicActionLink() {
  if (FAction) FAction->UnRegisterChanges(this);
}

void TBasicActionLink::SetAction(TBasicAction* value) {
  if (FAction == value) return;
  if (FAction) FAction->UnRegisterChanges(this);
  FAction = value;
  if (FAction) FAction->RegisterChanges(this);
}

void TBasicActionLink::Change() { FireEvent(OnChange, FAction); }

bool TBasicActionLink::Execute(TComponent* component) {
  if (!FAction) return false;
  TWeakLink<TBasicAction> action(FAction);
  FAction->SetActionComponent(component);
  bool done = false;
  try {
    done = FAction->Execute();
  } catch (...) {
    if (action.Get()) action.Get()->SetActionComponent(nullptr);
    throw;
  }
  if (action.Get()) action.Get()->SetActionComponent(nullptr);
  return done;
}

bool TBasicActionLink::Update() { return FAction && FAction->Update(); }

// -- TBasicAction -----------------------------------------------------------------

TBasicAction::TBasicAction(TComponent* AOwner) : TComponent(AOwner) {}

TBasicAction::~TBasicAction() {
  // Clients that did not hear of the end in time keep a link to nothing.
  for (TBasicActionLink* link : FClients) link->FAction = nullptr;
  FClients.clear();
}

void TBasicAction::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation == opRemove && component == FActionComponent) FActionComponent = nullptr;
}

bool TBasicAction::Execute() {
  if (!FOnExecute) return false;
  FOnExecute(this);
  return true;
}

bool TBasicAction::Update() {
  if (!OnUpdate) return false;
  OnUpdate(this);
  return true;
}

void TBasicAction::SetOnExecute(const TNotifyEvent& value) {
  if (FOnExecute == value) return;
  for (TBasicActionLink* link : Clients()) link->SetOnExecute(value);
  FOnExecute = value;
}

void TBasicAction::Change() {
  for (TBasicActionLink* link : Clients()) link->Change();
  FireEvent(OnChange, this);
}

void TBasicAction::RegisterChanges(TBasicActionLink* link) {
  if (std::find(FClients.begin(), FClients.end(), link) == FClients.end()) FClients.push_back(link);
  link->FAction = this;
}

void TBasicAction::UnRegisterChanges(TBasicActionLink* link) {
  std::erase(FClients, link);
  if (link->FAction == this) link->FAction = nullptr;
}

// -- TContainedAction -------------------------------------------------------------

TContainedAction::~TContainedAction() { SetActionList(nullptr); }

void TContainedAction::SetActionList(TCustomActionList* value) {
  if (FActionList == value) return;
  if (FActionList) FActionList->RemoveAction(this);
  if (value) value->AddAction(this);
}

void TContainedAction::SetCategory(const AnsiString& value) {
  if (FCategory == value) return;
  FCategory = value;
  if (FActionList) FActionList->Change();
}

int TContainedAction::Index() const { return FActionList ? FActionList->IndexOfAction(this) : -1; }

void TContainedAction::SetIndex(int value) {
  if (!FActionList) return;
  auto& actions = FActionList->FActions;
  auto it = std::find(actions.begin(), actions.end(), this);
  actions.erase(it);
  value = std::clamp(value, 0, static_cast<int>(actions.size()));
  actions.insert(actions.begin() + value, this);
  FActionList->Change();
}

TComponent* TContainedAction::GetParentComponent() const {
  return FActionList ? FActionList : TBasicAction::GetParentComponent();
}

void TContainedAction::SetParentComponent(TComponent* parent) {
  if (auto* list = ObjectAs<TCustomActionList>(parent)) {
    SetActionList(list);
  } else if (parent) {
    throw EInvalidOperation(AnsiString("An action belongs in an action list, not in a ") + parent->ClassName());
  }
}

bool TContainedAction::Execute() {
  if (FActionList && FActionList->State() != asNormal) return false;
  if (FActionList && FActionList->ExecuteAction(this)) return true;
  if (Application && Application->ExecuteAction(this)) return true;
  if (TBasicAction::Execute()) return true;
  return Application && Application->DispatchAction(this, true);
}

bool TContainedAction::Update() {
  if (FActionList && FActionList->State() == asSuspended) return false;
  if (FActionList && FActionList->UpdateAction(this)) return true;
  if (Application && Application->UpdateAction(this)) return true;
  if (TBasicAction::Update()) return true;
  return Application && Application->DispatchAction(this, false);
}

// -- TCustomAction ----------------------------------------------------------------

TCustomAction::TCustomAction(TComponent* AOwner) : TContainedAction(AOwner) {}

template <class F>
void TCustomAction::TellLinks(F&& tell) {
  for (TBasicActionLink* link : Clients())
    if (auto* actionLink = ObjectAs<TActionLink>(link)) tell(actionLink);
}

void TCustomAction::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  TellLinks([&](TActionLink* link) { link->SetCaption(value); });
  FCaption = value;
}

void TCustomAction::SetChecked(bool value) {
  if (FChecked == value || FChecking) return;
  FChecking = true;
  try {
    TellLinks([&](TActionLink* link) { link->SetChecked(value); });
    FChecked = value;
    // One checked action per group of a list.
    if (value && FGroupIndex > 0 && ActionList()) {
      for (int i = 0; i < ActionList()->ActionCount(); ++i) {
        auto* other = ObjectAs<TCustomAction>(ActionList()->Actions(i));
        if (other && other != this && other->FGroupIndex == FGroupIndex) other->SetChecked(false);
      }
    }
  } catch (...) {
    FChecking = false;
    throw;
  }
  FChecking = false;
}

void TCustomAction::SetEnabled(bool value) {
  if (FEnabled == value) return;
  TellLinks([&](TActionLink* link) { link->SetEnabled(value); });
  FEnabled = value;
}

void TCustomAction::SetVisible(bool value) {
  if (FVisible == value) return;
  TellLinks([&](TActionLink* link) { link->SetVisible(value); });
  FVisible = value;
}

void TCustomAction::SetHint(const AnsiString& value) {
  if (FHint == value) return;
  TellLinks([&](TActionLink* link) { link->SetHint(value); });
  FHint = value;
}

void TCustomAction::SetImageIndex(int value) {
  if (FImageIndex == value) return;
  TellLinks([&](TActionLink* link) { link->SetImageIndex(value); });
  FImageIndex = value;
}

void TCustomAction::SetShortCut(TShortCut value) {
  if (FShortCut == value) return;
  TellLinks([&](TActionLink* link) { link->SetShortCut(value); });
  FShortCut = value;
}

void TCustomAction::SetHelpContext(int value) {
  if (FHelpContext == value) return;
  TellLinks([&](TActionLink* link) { link->SetHelpContext(value); });
  FHelpContext = value;
}

void TCustomAction::SetHelpKeyword(const AnsiString& value) {
  if (FHelpKeyword == value) return;
  TellLinks([&](TActionLink* link) { link->SetHelpKeyword(value); });
  FHelpKeyword = value;
}

void TCustomAction::SetHelpType(THelpType value) {
  if (FHelpType == value) return;
  TellLinks([&](TActionLink* link) { link->SetHelpType(value); });
  FHelpType = value;
}

void TCustomAction::SetGroupIndex(int value) {
  if (FGroupIndex == value) return;
  TellLinks([&](TActionLink* link) { link->SetGroupIndex(value); });
  FGroupIndex = value;
}

void TCustomAction::SetAutoCheck(bool value) {
  if (FAutoCheck == value) return;
  TellLinks([&](TActionLink* link) { link->SetAutoCheck(value); });
  FAutoCheck = value;
}

bool TCustomAction::Update() {
  if (ActionList() && ActionList()->State() == asSuspendedEnabled) {
    SetEnabled(true);
    return true;
  }
  const bool handled = TContainedAction::Update();
  if (!handled && FDisableIfNoHandler && !OnExecute() && !(ActionList() && ActionList()->OnExecute) &&
      !(Application && Application->HasActionHandlers()))
    SetEnabled(false);
  return handled;
}

bool TCustomAction::Execute() {
  if (ActionList() && ActionList()->State() != asNormal) return false;
  TWeakLink<TCustomAction> self(this);
  Update();
  if (!self.Get() || !FEnabled) return false;
  // In a group a checked action stays checked.
  if (FAutoCheck && !(FChecked && FGroupIndex > 0)) SetChecked(!FChecked);
  return TContainedAction::Execute();
}

bool TCustomAction::DoHint(AnsiString& HintStr) {
  bool canShow = true;
  FireEvent(OnHint, HintStr, canShow);
  return canShow;
}

THintAction::THintAction(TComponent* AOwner) : TCustomAction(AOwner) { SetDisableIfNoHandler(false); }

// -- TCustomActionList ------------------------------------------------------------

TCustomActionList::TCustomActionList(TComponent* AOwner) : TComponent(AOwner) {}

TCustomActionList::~TCustomActionList() {
  // The list's actions go with it.
  while (!FActions.empty()) ::Free(FActions.back());
  SetImages(nullptr);
}

int TCustomActionList::IndexOfAction(const TContainedAction* action) const {
  auto it = std::find(FActions.begin(), FActions.end(), action);
  return it == FActions.end() ? -1 : static_cast<int>(it - FActions.begin());
}

void TCustomActionList::AddAction(TContainedAction* action) {
  FActions.push_back(action);
  action->FActionList = this;
  action->FreeNotification(this);
  Change();
}

void TCustomActionList::RemoveAction(TContainedAction* action) {
  std::erase(FActions, action);
  if (action->FActionList == this) action->FActionList = nullptr;
  if (!IsDestroying()) Change();
}

void TCustomActionList::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FImages) FImages = nullptr;
  if (auto* action = ObjectAs<TContainedAction>(component); action && action->FActionList == this)
    RemoveAction(action);
}

void TCustomActionList::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) FImages->RemoveFreeNotification(this);
  FImages = value;
  if (FImages) FImages->FreeNotification(this);
  Change();
}

void TCustomActionList::SetState(TActionListState value) {
  if (FState == value) return;
  FState = value;
  // Coming back from a suspension, every action shows its own state again.
  if (value != asSuspended)
    for (TContainedAction* action : std::vector<TContainedAction*>(FActions)) action->Update();
  Change();
}

void TCustomActionList::Change() {
  if (!IsDestroying()) FireEvent(OnChange, this);
}

bool TCustomActionList::ExecuteAction(TBasicAction* Action) {
  bool handled = false;
  FireEvent(OnExecute, Action, handled);
  return handled;
}

bool TCustomActionList::UpdateAction(TBasicAction* Action) {
  bool handled = false;
  FireEvent(OnUpdate, Action, handled);
  return handled;
}

bool TCustomActionList::IsShortCut(TShortCut shortCut) {
  if (shortCut == 0 || FState == asSuspended) return false;
  for (TContainedAction* contained : std::vector<TContainedAction*>(FActions)) {
    auto* action = ObjectAs<TCustomAction>(contained);
    if (!action || action->ShortCut() != shortCut) continue;
    TWeakLink<TCustomAction> alive(action);
    action->Update();
    if (!alive.Get() || !action->Enabled()) return false;
    action->Execute();
    return true;
  }
  return false;
}

// -- TActionLink ------------------------------------------------------------------

TCustomAction* TActionLink::CustomAction() const { return ObjectAs<TCustomAction>(FAction); }

bool TActionLink::IsCaptionLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsCheckedLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsEnabledLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsGroupIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHelpContextLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHelpLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsHintLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsImageIndexLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsShortCutLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsVisibleLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsAutoCheckLinked() { return CustomAction() != nullptr; }
bool TActionLink::IsOnExecuteLinked() { return FAction != nullptr; }

// -- TControlActionLink -----------------------------------------------------------

void TControlActionLink::AssignClient(TObject* AClient) {
  FClient = ObjectAs<TControl>(AClient);
  if (!FClient) throw EInvalidOperation("A control action link needs a control");
}

bool TControlActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}
bool TControlActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}
bool TControlActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}
bool TControlActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}
bool TControlActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FClient->OnClick == FAction->OnExecute();
}

void TControlActionLink::SetCaption(const AnsiString& value) {
  if (IsCaptionLinked()) FClient->SetCaption(value);
}
void TControlActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) FClient->SetEnabled(value);
}
void TControlActionLink::SetHint(const AnsiString& value) {
  if (IsHintLinked()) FClient->SetHint(value);
}
void TControlActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) FClient->SetVisible(value);
}
void TControlActionLink::SetOnExecute(const TNotifyEvent& value) {
  if (IsOnExecuteLinked()) FClient->OnClick = value;
}

// -- TButtonActionLink ------------------------------------------------------------

TButtonControl* TButtonActionLink::Button() const { return ObjectAs<TButtonControl>(FClient); }

bool TButtonActionLink::IsCheckedLinked() {
  return TControlActionLink::IsCheckedLinked() && Button() && Button()->Checked() == CustomAction()->Checked();
}

void TButtonActionLink::SetChecked(bool value) {
  if (!IsCheckedLinked()) return;
  // Showing the action's state is no click of the button.
  TButtonControl* button = Button();
  const bool disabled = button->ClicksDisabled();
  button->SetClicksDisabled(true);
  try {
    button->SetChecked(value);
  } catch (...) {
    button->SetClicksDisabled(disabled);
    throw;
  }
  button->SetClicksDisabled(disabled);
}

// -- TMenuActionLink --------------------------------------------------------------

void TMenuActionLink::AssignClient(TObject* AClient) {
  FClient = ObjectAs<TMenuItem>(AClient);
  if (!FClient) throw EInvalidOperation("A menu action link needs a menu item");
}

bool TMenuActionLink::IsAutoCheckLinked() {
  return TActionLink::IsAutoCheckLinked() && FClient->AutoCheck() == CustomAction()->AutoCheck();
}
bool TMenuActionLink::IsCaptionLinked() {
  return TActionLink::IsCaptionLinked() && FClient->Caption() == CustomAction()->Caption();
}
bool TMenuActionLink::IsCheckedLinked() {
  return TActionLink::IsCheckedLinked() && FClient->Checked() == CustomAction()->Checked();
}
bool TMenuActionLink::IsEnabledLinked() {
  return TActionLink::IsEnabledLinked() && FClient->Enabled() == CustomAction()->Enabled();
}
bool TMenuActionLink::IsGroupIndexLinked() {
  return TActionLink::IsGroupIndexLinked() && FClient->GroupIndex() == CustomAction()->GroupIndex();
}
bool TMenuActionLink::IsHelpContextLinked() {
  return TActionLink::IsHelpContextLinked() && FClient->HelpContext() == CustomAction()->HelpContext();
}
bool TMenuActionLink::IsHintLinked() {
  return TActionLink::IsHintLinked() && FClient->Hint() == CustomAction()->Hint();
}
bool TMenuActionLink::IsImageIndexLinked() {
  return TActionLink::IsImageIndexLinked() && FClient->ImageIndex() == CustomAction()->ImageIndex();
}
bool TMenuActionLink::IsShortCutLinked() {
  return TActionLink::IsShortCutLinked() && FClient->ShortCut() == CustomAction()->ShortCut();
}
bool TMenuActionLink::IsVisibleLinked() {
  return TActionLink::IsVisibleLinked() && FClient->Visible() == CustomAction()->Visible();
}
bool TMenuActionLink::IsOnExecuteLinked() {
  return TActionLink::IsOnExecuteLinked() && FClient->OnClick == FAction->OnExecute();
}

void TMenuActionLink::SetAutoCheck(bool value) {
  if (IsAutoCheckLinked()) FClient->SetAutoCheck(value);
}
void TMenuActionLink::SetCaption(const AnsiString& value) {
  if (IsCaptionLinked()) FClient->SetCaption(value);
}
void TMenuActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) FClient->SetChecked(value);
}
void TMenuActionLink::SetEnabled(bool value) {
  if (IsEnabledLinked()) FClient->SetEnabled(value);
}
void TMenuActionLink::SetGroupIndex(int value) {
  if (IsGroupIndexLinked()) FClient->SetGroupIndex(value);
}
void TMenuActionLink::SetHelpContext(int value) {
  if (IsHelpContextLinked()) FClient->SetHelpContext(value);
}
void TMenuActionLink::SetHint(const AnsiString& value) {
  if (IsHintLinked()) FClient->SetHint(value);
}
void TMenuActionLink::SetImageIndex(int value) {
  if (IsImageIndexLinked()) FClient->SetImageIndex(value);
}
void TMenuActionLink::SetShortCut(TShortCut value) {
  if (IsShortCutLinked()) FClient->SetShortCut(value);
}
void TMenuActionLink::SetVisible(bool value) {
  if (IsVisibleLinked()) FClient->SetVisible(value);
}
void TMenuActionLink::SetOnExecute(const TNotifyEvent& value) {
  if (IsOnExecuteLinked()) FClient->OnClick = value;
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo HelpTypeNames{"THelpType", {"htKeyword", "htContext"}};
const TEnumInfo ActionListStateNames{"TActionListState", {"asNormal", "asSuspended", "asSuspendedEnabled"}};

const TPublishedRegistration basicActionRegistration(&TBasicAction::ClassInfo, {
    Event<&TBasicAction::OnExecute, &TBasicAction::SetOnExecute>("OnExecute"),
    Event<&TBasicAction::OnUpdate>("OnUpdate"),
});

const TPublishedRegistration containedActionRegistration(&TContainedAction::ClassInfo, {
    Property<&TContainedAction::Category, &TContainedAction::SetCategory>("Category"),
});

const TPublishedRegistration customActionRegistration(&TCustomAction::ClassInfo, {
    Property<&TCustomAction::AutoCheck, &TCustomAction::SetAutoCheck>("AutoCheck").Default(false),
    Property<&TCustomAction::Caption, &TCustomAction::SetCaption>("Caption"),
    Property<&TCustomAction::Checked, &TCustomAction::SetChecked>("Checked").Default(false),
    Property<&TCustomAction::DisableIfNoHandler, &TCustomAction::SetDisableIfNoHandler>("DisableIfNoHandler")
        .Default(true),
    Property<&TCustomAction::Enabled, &TCustomAction::SetEnabled>("Enabled").Default(true),
    Property<&TCustomAction::GroupIndex, &TCustomAction::SetGroupIndex>("GroupIndex").Default(0),
    Property<&TCustomAction::HelpContext, &TCustomAction::SetHelpContext>("HelpContext").Default(0),
    Property<&TCustomAction::HelpKeyword, &TCustomAction::SetHelpKeyword>("HelpKeyword"),
    Property<&TCustomAction::HelpType, &TCustomAction::SetHelpType>("HelpType", HelpTypeNames).Default(htContext),
    Property<&TCustomAction::Hint, &TCustomAction::SetHint>("Hint"),
    Property<&TCustomAction::ImageIndex, &TCustomAction::SetImageIndex>("ImageIndex").Default(-1),
    Property<&TCustomAction::ShortCut, &TCustomAction::SetShortCut>("ShortCut").Default(0),
    Property<&TCustomAction::Visible, &TCustomAction::SetVisible>("Visible").Default(true),
    Event<&TCustomAction::OnHint>("OnHint"),
});

const TPublishedRegistration actionRegistration(&TAction::ClassInfo, {});
const TPublishedRegistration hintActionRegistration(&THintAction::ClassInfo, {});

const TPublishedRegistration actionListRegistration(&TCustomActionList::ClassInfo, {
    Property<&TCustomActionList::Images, &TCustomActionList::SetImages>("Images"),
    Property<&TCustomActionList::State, &TCustomActionList::SetState>("State", ActionListStateNames)
        .Default(asNormal),
    Event<&TCustomActionList::OnChange>("OnChange"),
    Event<&TCustomActionList::OnExecute>("OnExecute"),
    Event<&TCustomActionList::OnUpdate>("OnUpdate"),
});

const TPublishedRegistration actionListClassRegistration(&TActionList::ClassInfo, {});

}  // namespace
