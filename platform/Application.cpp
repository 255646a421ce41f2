// The application object: message loop, hidden owner window, exceptions
// and hints.
#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/FormatSettings.h"
#include "platform/Screen.h"
#include "platform/Properties.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"
#include "platform/HintWindow.h"
#include "platform/Thread.h"

#include <algorithm>
#include <cstring>

const TClassInfo TApplication::ClassInfo{"TApplication", &TComponent::ClassInfo, nullptr};
const TClassInfo TApplicationEvents::ClassInfo{"TApplicationEvents", &TComponent::ClassInfo,
                                               [](TObject* owner) -> TObject* {
                                                 return new TApplicationEvents(static_cast<TComponent*>(owner));
                                               }};

namespace {

constexpr UINT_PTR kHintShowTimer = 1;
constexpr UINT_PTR kHintHideTimer = 2;
const char* const ApplicationClass = "TApplication";

}  // namespace

TApplication* Application = nullptr;
TInitProc InitProc = nullptr;

void ApplicationInit() {
  if (Application) throw EInvalidOperation("The application is already made");
  Application = New<TApplication>(nullptr);
}

void ApplicationDone() {
  TApplication* app = Application;
  Application = nullptr;
  Free(app);
}

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, ApplicationClass, &wc)) {
    wc.lpfnWndProc = MethodWindowProc;
    wc.hInstance = instance;
    // The program's icon: the one named MAINICON, else the first by number.
    wc.hIcon = LoadIconA(instance, "MAINICON");
    if (!wc.hIcon) wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(1));
    wc.lpszClassName = ApplicationClass;
    RegisterClassA(&wc);
  }
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  AnsiString title = path;
  title = title.substr(title.find_last_of("\\/") + 1);
  if (auto dot = title.find_last_of('.'); dot != AnsiString::npos) title.resize(dot);
  // A zero-sized window in the middle of the screen: it carries the
  // taskbar button and owns the forms, without ever being seen itself.
  FHandle = CreateWindowExA(0, ApplicationClass, title.c_str(),
                            WS_POPUP | WS_CAPTION | WS_CLIPSIBLINGS | WS_SYSMENU | WS_MINIMIZEBOX,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                            nullptr, instance, nullptr);
  if (FHandle) HandleCreated(hkWindow);
  if (FHandle)
    SetWindowLongPtrA(FHandle, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(new TWndMethod(TWndMethod::Bind<&TApplication::WndProc>(this))));
  FPreviousHandler =
      SetCallbackExceptionHandler(TExceptionEvent::Bind<&TApplication::CallbackException>(this));
}

TApplication::~TApplication() {
  CancelHint();
  FreeAndNil(FHintAction);
  SetCallbackExceptionHandler(FPreviousHandler);
  // The forms go first, while the window that owns them is still there.
  DestroyComponents();
  if (FHandle) {
    auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(FHandle, GWLP_USERDATA));
    SetWindowLongPtrA(FHandle, GWLP_USERDATA, 0);
    DestroyWindow(FHandle);
    HandleDeleted(hkWindow);
    delete method;
  }
}

void TApplication::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FMainForm) {
    FMainForm = nullptr;
    // A loop with no main form left would run on unseen.
    if (!IsDestroying()) Terminate();
  }
  if (component == FHintWindow) FHintWindow = nullptr;
}

AnsiString TApplication::Title() const {
  char text[256] = {};
  if (FHandle) GetWindowTextA(FHandle, text, sizeof text);
  return text;
}

void TApplication::SetTitle(const AnsiString& value) {
  if (FHandle) SetWindowTextA(FHandle, value.c_str());
}

void TApplication::Initialize() {
  if (FInitialized) return;
  FInitialized = true;
  if (InitProc) InitProc();
}

bool TApplication::HelpContext(THelpContext Context) { return HelpCommand(HELP_CONTEXT, Context); }

bool TApplication::HelpCommand(WORD Command, LONG_PTR Data) {
  bool callHelp = true;
  bool helped = false;
  if (OnHelp) helped = OnHelp(Command, Data, callHelp);
  for (size_t i = 0; !helped && i < FEvents.size(); ++i)
    if (FEvents[i]->OnHelp) helped = FEvents[i]->OnHelp(Command, Data, callHelp);
  return helped;
}

void TApplication::CreateForm(TClass formClass, TCustomForm** reference) {
  if (!FInitialized) Initialize();
  TObject* object = CreateObject(formClass, this);
  auto* form = ObjectAs<TCustomForm>(object);
  if (!form) {
    Free(object);
    throw EInvalidOperation(AnsiString(formClass->Name) + " is not a form class");
  }
  if (reference) *reference = form;
  if (!FMainForm) FMainForm = form;
}

void TApplication::Run() {
  if (FMainForm && FShowMainForm) FMainForm->Show();
  while (!FTerminated) {
    try {
      HandleMessage();
    } catch (...) {
      HandleException(this);
    }
  }
}

void TApplication::Terminate() {
  FTerminated = true;
  PostQuitMessage(0);
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  // The hint window shown (or the plain one's rule) decides which messages
  // end a hint; a pending hint ends with it.
  const TMessage message{msg.message, msg.wParam, msg.lParam, 0};
  if (FHintWindow ? FHintWindow->IsHintCancelMessage(message)
                  : THintWindow::IsStandardHintCancelMessage(msg.message))
    CancelHint();
  bool handled = false;
  FireEvent(OnMessage, msg, handled);
  for (size_t i = 0; !handled && i < FEvents.size(); ++i) FireEvent(FEvents[i]->OnMessage, msg, handled);
  if (!handled) handled = IsMDIMsg(msg);
  if (!handled) handled = IsKeyMsg(msg);
  if (!handled) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return true;
}

// A control hears of each key as a CN_ notification before the key is
// translated and dispatched (its own and its parents' shortcuts live
// there); an answer other than 0 means the control has taken the key.
bool TApplication::IsKeyMsg(const MSG& msg) {
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      break;
    default:
      return false;
  }
  // A window we did not make inside one of our controls (a hosted OLE
  // control's) lets the nearest control of ours hear its keys.
  TWinControl* control = nullptr;
  for (HWND wnd = msg.hwnd; wnd && !control; wnd = (GetWindowLongA(wnd, GWL_STYLE) & WS_CHILD) ? GetParent(wnd) : nullptr)
    control = TWinControl::FindControl(wnd);
  return control && control->Perform(CN_BASE + msg.message, msg.wParam, msg.lParam) != 0;
}

// The system keys of MDI children (Ctrl+F4, Ctrl+F6...) while an MDI
// frame is the main form.
bool TApplication::IsMDIMsg(const MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (!FMainForm || FMainForm->FormStyle() != fsMDIForm || !FMainForm->ClientHandle()) return false;
  MSG copy = msg;
  return TranslateMDISysAccel(FMainForm->ClientHandle(), &copy) != 0;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::UpdateFormActions() {
  // A copy: an update may free a form.
  std::vector<TWeakLink<TCustomForm>> forms;
  for (int i = 0; i < Screen->FormCount(); ++i) forms.emplace_back(Screen->Forms(i));
  for (auto& form : forms)
    if (TCustomForm* f = form.Get(); f && f->HandleAllocated() && IsWindowVisible(f->Handle())) f->UpdateActions();
}

void TApplication::Idle() {
  CheckSynchronize();
  UpdateFormActions();
  bool done = true;
  FireEvent(OnIdle, this, done);
  for (size_t i = 0; i < FEvents.size(); ++i) FireEvent(FEvents[i]->OnIdle, this, done);
  if (done) WaitMessage();
}

void TApplication::HandleMessage() {
  MSG msg;
  if (!ProcessMessage(msg)) Idle();
}

void TApplication::CallbackException(TObject* Sender, Exception& E) {
  if (dynamic_cast<EAbort*>(&E)) return;
  if (OnException) {
    OnException(Sender, E);
    return;
  }
  for (TApplicationEvents* events : FEvents) {
    if (events->OnException) {
      events->OnException(Sender, E);
      return;
    }
  }
  ShowException(E);
}

void TApplication::HandleException(TObject* Sender) {
  try {
    throw;
  } catch (EAbort&) {
  } catch (Exception& e) {
    CallbackException(Sender, e);
  } catch (std::exception& e) {
    Exception wrapped(e.what());
    CallbackException(Sender, wrapped);
  } catch (...) {
    Exception wrapped("Unknown exception");
    CallbackException(Sender, wrapped);
  }
}

void TApplication::ShowException(const Exception& E) {
  AnsiString text = E.Message();
  while (!text.empty() && static_cast<unsigned char>(text.back()) <= ' ') text.pop_back();
  if (!text.empty() && text.back() != '.') text += '.';
  MessageBox(text, Title(), MB_OK | MB_ICONSTOP);
}

int TApplication::MessageBox(const AnsiString& text, const AnsiString& caption, UINT flags) {
  TDialogRequest request;
  request.Kind = dkMessageBox;
  request.Text = text;
  request.Caption = caption;
  request.Flags = flags;
  return ExecuteDialog(request);
}

bool TApplication::ExecuteAction(TBasicAction* action) {
  bool handled = false;
  FireEvent(OnActionExecute, action, handled);
  for (size_t i = 0; !handled && i < FEvents.size(); ++i) FireEvent(FEvents[i]->OnActionExecute, action, handled);
  return handled;
}

bool TApplication::UpdateAction(TBasicAction* action) {
  bool handled = false;
  FireEvent(OnActionUpdate, action, handled);
  for (size_t i = 0; !handled && i < FEvents.size(); ++i) FireEvent(FEvents[i]->OnActionUpdate, action, handled);
  return handled;
}

bool TApplication::HasActionHandlers() const {
  if (OnActionExecute) return true;
  for (TApplicationEvents* events : FEvents)
    if (events->OnActionExecute) return true;
  return false;
}

bool TApplication::DispatchAction(TBasicAction* action, bool execute) {
  const UINT msg = execute ? CM_ACTIONEXECUTE : CM_ACTIONUPDATE;
  TWeakLink<TBasicAction> alive(action);
  TCustomForm* active = Screen->ActiveForm();
  if (active && active->Perform(msg, 0, reinterpret_cast<LPARAM>(action)) != 0) return true;
  if (!alive.Get()) return true;
  if (FMainForm && FMainForm != active && FMainForm->Perform(msg, 0, reinterpret_cast<LPARAM>(action)) != 0)
    return true;
  return false;
}

void TApplication::SetHint(const AnsiString& value) {
  if (FHint == value) return;
  FHint = value;
  FireEvent(OnHint, this);
  for (size_t i = 0; i < FEvents.size(); ++i) FireEvent(FEvents[i]->OnHint, this);
  // Whoever shows hints (a status pane with AutoHint) takes the hint action.
  if (!FHintAction) FHintAction = New<THintAction>(nullptr);
  FHintAction->SetHint(value);
  FHintAction->Execute();
}

void TApplication::SetActiveState(bool value) {
  if (FActive == value) return;
  FActive = value;
  const TNotifyEvent TApplication::*event = value ? &TApplication::OnActivate : &TApplication::OnDeactivate;
  FireEvent(this->*event, this);
  for (size_t i = 0; i < FEvents.size(); ++i) FireEvent(value ? FEvents[i]->OnActivate : FEvents[i]->OnDeactivate, this);
  if (!value) CancelHint();
}

void TApplication::AddEvents(TApplicationEvents* events) { FEvents.push_back(events); }

void TApplication::RemoveEvents(TApplicationEvents* events) {
  FEvents.erase(std::remove(FEvents.begin(), FEvents.end(), events), FEvents.end());
}

// -- Hints ------------------------------------------------------------------------

void TApplication::ControlMouseChanged(TControl* control, bool entered) {
  if (entered) {
    SetHint(GetLongHint(control->Hint()));
    // An empty Hint does not end it here: the control may have a hint of its
    // own to give (a tree's tooltip over a cut-off cell); it answers
    // CM_HINTSHOW with an empty text when it has none.
    if (!FShowHint || !control->ShowHint()) return;
    const bool hintShowing = FHintWindow && FHintWindow->Showing();
    CancelHint();
    FHintControl = control;
    // The control may shorten or lengthen the pause (to 0 for at once).
    int pause = FHintPause;
    control->Perform(CM_HINTSHOWPAUSE, hintShowing, reinterpret_cast<LPARAM>(&pause));
    if (!FHintControl.Get()) return;
    if (FHandle) SetTimer(FHandle, kHintShowTimer, static_cast<UINT>(std::max(pause, 1)), nullptr);
  } else {
    SetHint("");
    if (FHintControl.Get() == control) CancelHint();
  }
}

void TApplication::CancelHint() {
  if (FHandle) {
    KillTimer(FHandle, kHintShowTimer);
    KillTimer(FHandle, kHintHideTimer);
  }
  FHintControl = nullptr;
  if (FHintWindow) FHintWindow->ReleaseHandle();
}

void TApplication::ShowHintNow() {
  KillTimer(FHandle, kHintShowTimer);
  TControl* control = FHintControl.Get();
  if (!control) return;
  THintInfo info;
  info.HintControl = control;
  info.HintWindowClass = &THintWindow::ClassInfo;
  info.CursorRect = control->ClientRect();
  POINT cursor{};
  GetCursorPos(&cursor);
  info.CursorPos = control->ScreenToClient(cursor);
  info.HintPos = POINT{cursor.x, cursor.y + 20};
  info.HintMaxWidth = Screen->Width();
  info.HintStr = GetShortHint(control->Hint());
  if (control->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&info)) != 0 || info.HintStr.empty()) return;
  if (!FHintControl.Get()) return;  // the control went while it was asked
  TClass windowClass = info.HintWindowClass;
  if (!windowClass || !TObject::ClassInheritsFrom(windowClass, &THintWindow::ClassInfo) || !windowClass->Create)
    windowClass = &THintWindow::ClassInfo;
  if (FHintWindow && FHintWindow->ClassType() != windowClass) FreeAndNil(FHintWindow);
  if (!FHintWindow) FHintWindow = static_cast<THintWindow*>(CreateObject(windowClass, this));
  RECT r = FHintWindow->CalcHintRectData(info.HintMaxWidth, info.HintStr, info.HintData);
  OffsetRect(&r, info.HintPos.x, info.HintPos.y);
  FHintWindow->ActivateHintData(r, info.HintStr, info.HintData);
  const int hide = info.HideTimeout > 0 ? info.HideTimeout : FHintHidePause;
  SetTimer(FHandle, kHintHideTimer, static_cast<UINT>(std::max(hide, 1)), nullptr);
}

void TApplication::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_CLOSE:
      if (FMainForm) FMainForm->Close();
      return;
    case WM_ACTIVATEAPP:
      SetActiveState(Message.WParam != 0);
      break;
    case WM_SETTINGCHANGE:
      SettingChange(Message);
      break;
    case WM_DISPLAYCHANGE:
      Screen->DisplayChanged();
      break;
    case WM_TIMER:
      if (Message.WParam == kHintShowTimer) {
        ShowHintNow();
      } else if (Message.WParam == kHintHideTimer) {
        CancelHint();
      }
      return;
    default:
      break;
  }
  Message.Result = DefWindowProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
}

// The system's settings changed: lParam names the section ("intl" for the
// locale's formats), wParam the system parameter for the others. Either way
// the screen forgets the monitors and the menu font it read.
void TApplication::SettingChange(const TMessage& Message) {
  const char* section = reinterpret_cast<const char*>(Message.LParam);
  if (section && FUpdateFormatSettings && std::strcmp(section, "intl") == 0) GetFormatSettings();
  Screen->DisplayChanged();
}

// -- TApplicationEvents -----------------------------------------------------------

TApplicationEvents::TApplicationEvents(TComponent* AOwner) : TComponent(AOwner) {
  if (Application) Application->AddEvents(this);
}

TApplicationEvents::~TApplicationEvents() {
  if (Application) Application->RemoveEvents(this);
}

// -- Published properties -------------------------------------------------------

namespace {

const TPublishedRegistration applicationEventsRegistration(&TApplicationEvents::ClassInfo, {
    Event<&TApplicationEvents::OnActionExecute>("OnActionExecute"),
    Event<&TApplicationEvents::OnActionUpdate>("OnActionUpdate"),
    Event<&TApplicationEvents::OnActivate>("OnActivate"),
    Event<&TApplicationEvents::OnDeactivate>("OnDeactivate"),
    Event<&TApplicationEvents::OnException>("OnException"),
    Event<&TApplicationEvents::OnHint>("OnHint"),
    Event<&TApplicationEvents::OnHelp>("OnHelp"),
    Event<&TApplicationEvents::OnIdle>("OnIdle"),
    Event<&TApplicationEvents::OnMessage>("OnMessage"),
});

}  // namespace
