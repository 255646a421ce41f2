// Actions: one command (caption, state, shortcut, image, handler) that any
// number of controls and menu items show and run. Each client holds an
// action link; the action tells every link of a property's change before it
// takes the new value, so a client follows a property only while its own
// value still equals the action's (a client changed away keeps its own).
// Change (OnChange, and the links' OnChange, where a client takes every
// value again) is for changes beyond one property, not for the setters. Actions
// update their state when the application is idle, and run through their
// action list, the application and finally the controls of the active form
// (ExecuteAction/UpdateAction), so a control can serve an action that has no
// handler (the hint action and status panes).
#pragma once

#include "platform/Component.h"
#include "platform/Event.h"
#include "platform/Exceptions.h"
#include "platform/Menus.h"

#include <vector>

class TBasicAction;
class TContainedAction;
class TCustomAction;
class TCustomActionList;
class TCustomImageList;
class TControl;
class TButtonControl;

// Handled set by a handler that dealt with the action itself.
using TActionEvent = TEvent<void(TBasicAction* Action, bool& Handled)>;
using THintEvent = TEvent<void(AnsiString& HintStr, bool& CanShow)>;

enum class THelpType { htKeyword, htContext };
using enum THelpType;

// A client's connection to its action. The base only runs and updates the
// action and hears its changes; TActionLink adds the property protocol.
class TBasicActionLink : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TBasicActionLink(TObject* AClient);
  ~TBasicActionLink() override;

  TBasicAction* Action() const { return FAction; }
  void SetAction(TBasicAction* value);
  // Runs the action on behalf of `component` (its ActionComponent meanwhile).
  virtual bool Execute(TComponent* component = nullptr);
  virtual bool Update();
  // Fired with the action as Sender whenever the action changes.
  TNotifyEvent OnChange;

protected:
  friend class TBasicAction;
  virtual void AssignClient(TObject* AClient) { (void)AClient; }
  virtual void Change();
  virtual bool IsOnExecuteLinked() { return true; }
  virtual void SetOnExecute(const TNotifyEvent& value) { (void)value; }

  TBasicAction* FAction = nullptr;
};

class TBasicAction : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TBasicAction(TComponent* AOwner);
  ~TBasicAction() override;

  // What a target (a control asked by the application) does with the action.
  virtual bool HandlesTarget(TObject* Target) { (void)Target; return false; }
  virtual void UpdateTarget(TObject* Target) { (void)Target; }
  virtual void ExecuteTarget(TObject* Target) { (void)Target; }

  // Runs OnExecute; answers whether something ran the action.
  virtual bool Execute();
  // Runs OnUpdate; answers whether something updated the action.
  virtual bool Update();

  // The client that runs the action now (null outside Execute).
  TComponent* ActionComponent() const { return FActionComponent; }
  void SetActionComponent(TComponent* value) { FActionComponent = value; }

  const TNotifyEvent& OnExecute() const { return FOnExecute; }
  void SetOnExecute(const TNotifyEvent& value);
  TNotifyEvent OnUpdate;
  TNotifyEvent OnChange;

  void RegisterChanges(TBasicActionLink* link);
  void UnRegisterChanges(TBasicActionLink* link);
  int ClientCount() const { return static_cast<int>(FClients.size()); }

protected:
  // Tells the links, then OnChange.
  virtual void Change();
  // The clients' links, a copy: a client may go while it is told.
  std::vector<TBasicActionLink*> Clients() const { return FClients; }
  void Notification(TComponent* component, TOperation operation) override;

private:
  TNotifyEvent FOnExecute;
  TComponent* FActionComponent = nullptr;
  std::vector<TBasicActionLink*> FClients;
};

// An action that can sit in an action list (and in its form's data as the
// list's child).
class TContainedAction : public TBasicAction {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TContainedAction(TComponent* AOwner) : TBasicAction(AOwner) {}
  ~TContainedAction() override;

  TCustomActionList* ActionList() const { return FActionList; }
  void SetActionList(TCustomActionList* value);
  const AnsiString& Category() const { return FCategory; }
  void SetCategory(const AnsiString& value);
  // Position in the action list, -1 without one.
  int Index() const;
  void SetIndex(int value);

  // The list's handler, the application's, OnExecute, then the controls of
  // the active form.
  bool Execute() override;
  bool Update() override;

  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;

private:
  friend class TCustomActionList;
  TCustomActionList* FActionList = nullptr;
  AnsiString FCategory;
};

class TCustomAction : public TContainedAction {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomAction(TComponent* AOwner);

  const AnsiString& Caption() const { return FCaption; }
  void SetCaption(const AnsiString& value);
  bool Checked() const { return FChecked; }
  // Checking an action of a group (GroupIndex > 0) unchecks the others of
  // its list with that group.
  void SetChecked(bool value);
  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int value);
  TShortCut ShortCut() const { return FShortCut; }
  void SetShortCut(TShortCut value);
  int HelpContext() const { return FHelpContext; }
  void SetHelpContext(int value);
  const AnsiString& HelpKeyword() const { return FHelpKeyword; }
  void SetHelpKeyword(const AnsiString& value);
  THelpType HelpType() const { return FHelpType; }
  void SetHelpType(THelpType value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int value);
  // Running the action toggles Checked.
  bool AutoCheck() const { return FAutoCheck; }
  void SetAutoCheck(bool value);
  // Without any handler (OnExecute, the list's, the application's) the
  // action disables itself at its next update.
  bool DisableIfNoHandler() const { return FDisableIfNoHandler; }
  void SetDisableIfNoHandler(bool value) { FDisableIfNoHandler = value; }

  // Updates first; a disabled action does not run.
  bool Execute() override;
  bool Update() override;
  // Lets OnHint change or refuse the hint; answers whether it may show.
  virtual bool DoHint(AnsiString& HintStr);

  THintEvent OnHint;

protected:
  template <class F>
  void TellLinks(F&& tell);

private:
  AnsiString FCaption;
  bool FChecked = false;
  bool FEnabled = true;
  bool FVisible = true;
  AnsiString FHint;
  int FImageIndex = -1;
  TShortCut FShortCut = 0;
  int FHelpContext = 0;
  AnsiString FHelpKeyword;
  THelpType FHelpType = htContext;
  int FGroupIndex = 0;
  bool FAutoCheck = false;
  bool FDisableIfNoHandler = true;
  bool FChecking = false;
};

class TAction : public TCustomAction {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomAction::TCustomAction;
};

// The action the application runs when its hint changes: a control that
// shows hints (a status pane with AutoHint) takes it in ExecuteAction.
class THintAction : public TCustomAction {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit THintAction(TComponent* AOwner);
};

enum class TActionListState { asNormal, asSuspended, asSuspendedEnabled };
using enum TActionListState;

class TCustomActionList : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomActionList(TComponent* AOwner);
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(FActions.size()); }
  TContainedAction* Actions(int index) const { return FActions.at(index); }
  int IndexOfAction(const TContainedAction* action) const;
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* value);
  // Suspended: no action of the list runs or updates; suspended-enabled:
  // every action also shows enabled.
  TActionListState State() const { return FState; }
  void SetState(TActionListState value);

  // The list's handlers; answer whether they handled the action.
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);
  // Runs the enabled action with that shortcut; answers whether one ran.
  virtual bool IsShortCut(TShortCut shortCut);

  TActionEvent OnExecute;
  TActionEvent OnUpdate;
  TNotifyEvent OnChange;

protected:
  friend class TContainedAction;
  void AddAction(TContainedAction* action);
  void RemoveAction(TContainedAction* action);
  virtual void Change();
  void Notification(TComponent* component, TOperation operation) override;

private:
  std::vector<TContainedAction*> FActions;
  TCustomImageList* FImages = nullptr;
  TActionListState FState = asNormal;
};

class TActionList : public TCustomActionList {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomActionList::TCustomActionList;
};

// The property protocol between an action and its client: for each
// property, whether the client still follows the action, and the setter the
// action calls (which changes the client only while it follows). The base
// answers "follows" for every property of a TCustomAction; client classes
// add the comparison with their own value.
class TActionLink : public TBasicActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TBasicActionLink::TBasicActionLink;

  virtual bool IsCaptionLinked();
  virtual bool IsCheckedLinked();
  virtual bool IsEnabledLinked();
  virtual bool IsGroupIndexLinked();
  virtual bool IsHelpContextLinked();
  virtual bool IsHelpLinked();
  virtual bool IsHintLinked();
  virtual bool IsImageIndexLinked();
  virtual bool IsShortCutLinked();
  virtual bool IsVisibleLinked();
  virtual bool IsAutoCheckLinked();
  bool IsOnExecuteLinked() override;

  virtual void SetAutoCheck(bool value) { (void)value; }
  virtual void SetCaption(const AnsiString& value) { (void)value; }
  virtual void SetChecked(bool value) { (void)value; }
  virtual void SetEnabled(bool value) { (void)value; }
  virtual void SetGroupIndex(int value) { (void)value; }
  virtual void SetHelpContext(int value) { (void)value; }
  virtual void SetHelpKeyword(const AnsiString& value) { (void)value; }
  virtual void SetHelpType(THelpType value) { (void)value; }
  virtual void SetHint(const AnsiString& value) { (void)value; }
  virtual void SetImageIndex(int value) { (void)value; }
  virtual void SetShortCut(TShortCut value) { (void)value; }
  virtual void SetVisible(bool value) { (void)value; }
  void SetOnExecute(const TNotifyEvent& value) override { (void)value; }

protected:
  // The action as a TCustomAction (null for other actions).
  TCustomAction* CustomAction() const;
};

// A control's link: caption, enabled state, hint, visibility and OnClick.
class TControlActionLink : public TActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TControlActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

  bool IsCaptionLinked() override;
  bool IsEnabledLinked() override;
  bool IsHintLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetCaption(const AnsiString& value) override;
  void SetEnabled(bool value) override;
  void SetHint(const AnsiString& value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(const TNotifyEvent& value) override;

protected:
  void AssignClient(TObject* AClient) override;
  TControl* FClient = nullptr;
};

// A push button's or check box's link: adds Checked.
class TButtonActionLink : public TControlActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TButtonActionLink(TObject* AClient) : TControlActionLink(AClient) {}

  bool IsCheckedLinked() override;
  void SetChecked(bool value) override;

protected:
  TButtonControl* Button() const;
};

// A menu item's link: every property of the action.
class TMenuActionLink : public TActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TMenuActionLink(TObject* AClient) : TActionLink(AClient) { AssignClient(AClient); }

  bool IsAutoCheckLinked() override;
  bool IsCaptionLinked() override;
  bool IsCheckedLinked() override;
  bool IsEnabledLinked() override;
  bool IsGroupIndexLinked() override;
  bool IsHelpContextLinked() override;
  bool IsHintLinked() override;
  bool IsImageIndexLinked() override;
  bool IsShortCutLinked() override;
  bool IsVisibleLinked() override;
  bool IsOnExecuteLinked() override;
  void SetAutoCheck(bool value) override;
  void SetCaption(const AnsiString& value) override;
  void SetChecked(bool value) override;
  void SetEnabled(bool value) override;
  void SetGroupIndex(int value) override;
  void SetHelpContext(int value) override;
  void SetHint(const AnsiString& value) override;
  void SetImageIndex(int value) override;
  void SetShortCut(TShortCut value) override;
  void SetVisible(bool value) override;
  void SetOnExecute(const TNotifyEvent& value) override;

protected:
  void AssignClient(TObject* AClient) override;
  TMenuItem* FClient = nullptr;
};

// Makes the action link of class `cls` for `client`: clients name their
// link class (GetActionLinkClass), which must be a `Link`.
template <class Link>
Link* NewActionLink(TClass cls, TObject* client) {
  TObject* made = CreateObject(cls, client);
  if (auto* link = ObjectAs<Link>(made)) return link;
  Free(made);
  throw EInvalidOperation(AnsiString("The action link class ") + cls->Name + " does not fit a " + client->ClassName());
}
