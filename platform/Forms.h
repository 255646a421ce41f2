// Forms and the application: top-level windows with their life cycle
// (show, modal loop, close actions, deferred release) and the one
// application object that runs the message loop, owns the forms' hidden
// owner window and reports exceptions.
#pragma once

#include "platform/ActnList.h"
#include "platform/CallbackGuard.h"
#include "platform/Control.h"
#include "platform/Units.h"

class TMainMenu;
class THintWindow;

enum class TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using enum TBorderIcon;
using TBorderIcons = TSet<TBorderIcon, 4>;
enum class TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
  poOwnerFormCenter
};
using enum TPosition;
enum class TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
using enum TFormStyle;
enum class TWindowState { wsNormal, wsMinimized, wsMaximized };
using enum TWindowState;
enum class TCloseAction { caNone, caHide, caFree, caMinimize };
using enum TCloseAction;

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

using TCloseEvent = TEvent<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = TEvent<void(TObject* Sender, bool& CanClose)>;

class TCustomForm : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  // The form's frame (bsSizeable unless set); changing it re-creates the
  // window.
  void SetBorderStyle(TFormBorderStyle value);
  TBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons value);
  TPosition Position() const { return FPosition; }
  void SetPosition(TPosition value) { FPosition = value; }
  TFormStyle FormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle value);
  TWindowState WindowState() const;
  void SetWindowState(TWindowState value);
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool value);
  BYTE AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(BYTE value);
  bool KeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool value) { FKeyPreview = value; }
  TMainMenu* Menu() const { return FMenu; }
  void SetMenu(TMainMenu* value);
  // The form that owns this one's window (it stays above that form and
  // goes with it); null: the owner form, else the application window.
  TCustomForm* PopupParent() const { return FPopupParent; }
  void SetPopupParent(TCustomForm* value);

  // -- MDI. A form of style fsMDIForm holds a client window (ClientHandle)
  // in which the forms of style fsMDIChild live; the active child's menu
  // is merged into the frame's menu, and a maximized child's window
  // buttons join the frame's menu bar.
  HWND ClientHandle() const { return FClientHandle; }
  TCustomForm* ActiveMDIChild() const;
  int MDIChildCount() const;
  TCustomForm* MDIChildren(int index) const;

  void SetClientSize(int width, int height) override;
  void DefaultHandler(TMessage& Message) override;
  void Show();
  void Hide() { SetVisible(false); }
  // Runs the form modally: other windows of the program are disabled until
  // ModalResult is set (by a button, Close, or code). Answers it.
  virtual TModalResult ShowModal();
  TModalResult ModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult value) { FModalResult = value; }
  bool Modal() const { return FModal; }
  // Asks OnCloseQuery, then OnClose decides: hide, free (deferred), minimise
  // or nothing. Closing the main form ends the application.
  void Close();
  virtual bool CloseQuery();
  // Frees the form once the messages being handled now are done (OnClose
  // is not fired).
  void Release();

  TWinControl* ActiveControl() const { return FActiveControl.Get(); }
  void SetActiveControl(TWinControl* control);
  // Moves the focus to a control of this form (or remembers it while the
  // form is hidden).
  void FocusControl(TWinControl* control);
  // Called when a control of the form gets the focus: CM_EXIT/CM_ENTER.
  void SetFocusedControl(TWinControl* control);
  bool Active() const { return FActive; }
  // The menu's shortcuts, then those of the form's action lists.
  bool IsShortCut(WORD key, TShiftState shift);
  // Lets every action client of the form update from its action: the
  // menu's items and each visible control marked csActionClient.
  virtual void UpdateActions();

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWindowHandle(const TCreateParams& Params) override;
  void InitializeWnd() override;
  void DestroyWnd() override;
  void AlignControls(TControl* AControl, RECT& Rect) override;
  // A top-level form keeps its place: only its client size, children and
  // font scale.
  void ChangeScale(int M, int D) override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void DoClose(TCloseAction& Action);
  virtual void DoShow() { FireEvent(OnShow, this); }
  virtual void DoHide() { FireEvent(OnHide, this); }
  virtual void Activate() { FireEvent(OnActivate, this); }
  virtual void Deactivate() { FireEvent(OnDeactivate, this); }

private:
  void ApplyVisibility();
  void ApplyPosition();
  void ApplyLayered();
  void HandleDialogKey(TMessage& Message);
  // The frame form of an MDI child: the main form, when it is one.
  static TCustomForm* MDIFrame();
  void MDIActivated(bool active);
  void ShowMenu();
  void HandleHelp(TMessage& Message);
  // An action nobody handled: the active control, the form, then every
  // visible control of the form, until one takes it.
  bool DispatchActionToControls(TBasicAction* action, bool execute);

  TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
  TPosition FPosition = poDesigned;
  TFormStyle FFormStyle = fsNormal;
  TWindowState FWindowState = wsNormal;
  bool FAlphaBlend = false;
  BYTE FAlphaBlendValue = 255;
  bool FKeyPreview = false;
  bool FModal = false;
  bool FActive = false;
  bool FPositioned = false;
  bool FShowEventPending = true;
  TModalResult FModalResult = mrNone;
  TMainMenu* FMenu = nullptr;
  TCustomForm* FPopupParent = nullptr;
  HWND FClientHandle = nullptr;
  TWeakLink<TWinControl> FActiveControl;
  TWeakLink<TWinControl> FFocusedControl;
};

class TForm : public TCustomForm {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomForm::TCustomForm;
};

using TMessageEvent = TEvent<void(MSG& Msg, bool& Handled)>;
// A help request: Command and Data as the system's help calls take them
// (HELP_CONTEXT and the topic...); the handler answers whether it helped
// and may clear CallHelp.
using THelpEvent = TEvent<bool(WORD Command, LONG_PTR Data, bool& CallHelp)>;
// The start-up chain: a unit that must act once the application exists and
// before the first form keeps the current value and installs its own
// procedure, which calls the kept one first. TApplication::Initialize runs
// the chain.
using TInitProc = void (*)();
extern TInitProc InitProc;
using TIdleEvent = TEvent<void(TObject* Sender, bool& Done)>;

class TApplicationEvents;

class TApplication : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  // The hidden window that owns the forms and carries the taskbar button.
  HWND Handle() const { return FHandle; }
  AnsiString Title() const;
  void SetTitle(const AnsiString& value);
  TCustomForm* MainForm() const { return FMainForm; }
  bool ShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool value) { FShowMainForm = value; }
  bool Terminated() const { return FTerminated; }
  bool Active() const { return FActive; }

  // Runs the start-up chain (InitProc) once; the first CreateForm does it
  // when the program has not.
  void Initialize();
  bool Initialized() const { return FInitialized; }

  // Makes a form; the first form made becomes the main form.
  template <class T>
  void CreateForm(T*& reference) {
    if (!FInitialized) Initialize();
    reference = New<T>(this);
    if (!FMainForm) FMainForm = reference;
  }
  void CreateForm(TClass formClass, TCustomForm** reference);

  // Shows the main form (unless ShowMainForm is off) and handles messages
  // until Terminate or the main form closes.
  void Run();
  void Terminate();
  void ProcessMessages();
  // Handles one message, or waits for the next after the idle work.
  void HandleMessage();
  // The idle work (synchronized calls, action updates, OnIdle), then, when
  // the idle handlers are done, waits for the next message without taking
  // it: a loop of its own that filters messages idles through this.
  void Idle();

  // Shows the exception (OnException when assigned, else the error box).
  void HandleException(TObject* Sender);
  void ShowException(const Exception& E);
  // The program's message box: through the replaceable dialog service.
  int MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags = MB_OK);

  // Whether the program's formats (FormatSettings()) are read again when the
  // user changes the locale's settings (WM_SETTINGCHANGE for "intl"); on by
  // default. Listeners of their own (the editors' format controller) ask it.
  // Help: HelpContext asks for a topic, HelpCommand for any request. The
  // application's OnHelp, then each TApplicationEvents' OnHelp, answer
  // (no system help file is used). Answers whether one helped.
  bool HelpContext(THelpContext Context);
  bool HelpCommand(WORD Command, LONG_PTR Data);

  bool UpdateFormatSettings() const { return FUpdateFormatSettings; }
  void SetUpdateFormatSettings(bool value) { FUpdateFormatSettings = value; }

  // Actions: the application's handlers (OnActionExecute/OnActionUpdate,
  // its own and those of every TApplicationEvents) run an action before
  // its own handler; an action nobody handled goes to the active form and
  // then the main form (DispatchAction). Each answers whether it was
  // handled.
  bool ExecuteAction(TBasicAction* action);
  bool UpdateAction(TBasicAction* action);
  bool DispatchAction(TBasicAction* action, bool execute);
  // Whether an application handler would run actions.
  bool HasActionHandlers() const;

  // The long part of the hint of the control under the mouse; a change is
  // announced through OnHint and the hint action, which a status pane with
  // AutoHint takes.
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value);

  // Hints.
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value) { FShowHint = value; }
  int HintPause() const { return FHintPause; }
  void SetHintPause(int value) { FHintPause = value; }
  int HintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int value) { FHintHidePause = value; }
  void CancelHint();
  THintWindow* HintWindow() const { return FHintWindow; }
  // Told by a control when the mouse enters or leaves it.
  void ControlMouseChanged(TControl* control, bool entered);
  // Told by a form when the program is activated or deactivated.
  void SetActiveState(bool value);

  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TExceptionEvent OnException;
  TActionEvent OnActionExecute;
  TActionEvent OnActionUpdate;
  TNotifyEvent OnHint;
  THelpEvent OnHelp;

  void AddEvents(TApplicationEvents* events);
  void RemoveEvents(TApplicationEvents* events);

protected:
  void Notification(TComponent* component, TOperation operation) override;

private:
  bool ProcessMessage(MSG& msg);
  bool IsKeyMsg(const MSG& msg);
  bool IsMDIMsg(const MSG& msg);
  // Idle time: every showing form updates its action clients.
  void UpdateFormActions();
  void WndProc(TMessage& Message);
  void SettingChange(const TMessage& Message);
  void CallbackException(TObject* Sender, Exception& E);
  void ShowHintNow();

  HWND FHandle = nullptr;
  TCustomForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminated = false;
  bool FActive = false;
  bool FShowHint = true;
  bool FUpdateFormatSettings = true;
  bool FInitialized = false;
  int FHintPause = 500;
  int FHintHidePause = 2500;
  THintWindow* FHintWindow = nullptr;
  TWeakLink<TControl> FHintControl;
  std::vector<TApplicationEvents*> FEvents;
  TExceptionEvent FPreviousHandler;
  AnsiString FHint;
  THintAction* FHintAction = nullptr;
};

// A component placed on a form to take part in the application's events
// (several may be in use at once).
class TApplicationEvents : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TApplicationEvents(TComponent* AOwner);
  ~TApplicationEvents() override;

  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TExceptionEvent OnException;
  TActionEvent OnActionExecute;
  TActionEvent OnActionUpdate;
  TNotifyEvent OnHint;
  THelpEvent OnHelp;
};

// The application object of the process: made by the forms unit, null
// before it starts and after it stops.
extern TApplication* Application;
// The forms unit: ApplicationInit makes Application, ApplicationDone frees
// it and the forms it owns. The program starts it in its unit list, before
// any form is made.
void ApplicationInit();
void ApplicationDone();
inline constexpr TUnitEntry FormsUnit{"Forms", &ApplicationInit, &ApplicationDone};
