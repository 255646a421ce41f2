#include "platform/Forms.h"

#include "platform/Dialogs.h"
#include "platform/Exceptions.h"
#include "platform/Properties.h"
#include "platform/FormResource.h"
#include "platform/HintWindow.h"
#include "platform/Menus.h"
#include "platform/Thread.h"

#include <algorithm>

const TClassInfo TCustomForm::ClassInfo{"TCustomForm", &TWinControl::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TCustomForm(static_cast<TComponent*>(owner));
                                        }};
const TClassInfo TForm::ClassInfo{"TForm", &TCustomForm::ClassInfo, [](TObject* owner) -> TObject* {
                                    return new TForm(static_cast<TComponent*>(owner));
                                  }};

namespace {

struct TDisabledWindows {
  HWND Self;
  std::vector<HWND> Windows;
};

BOOL CALLBACK DisableOtherWindow(HWND wnd, LPARAM data) {
  auto* d = reinterpret_cast<TDisabledWindows*>(data);
  if (wnd != d->Self && IsWindowVisible(wnd) && IsWindowEnabled(wnd)) {
    d->Windows.push_back(wnd);
    EnableWindow(wnd, FALSE);
  }
  return TRUE;
}

}  // namespace

// ---------------------------------------------------------------------------
// TCustomForm

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  FVisible = false;
  FParentColor = false;
  FParentFont = false;
  FColor = clBtnFace;
  FBrush.SetColor(FColor);
  FControlState.Include(csCustomPaint);
  FWidth = 320;
  FHeight = 240;
  FBorderStyle = bsSizeable;
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() {
  DestroyHandle();
  Screen->RemoveForm(this);
}

void TCustomForm::AfterConstruction() {
  TWinControl::AfterConstruction();
  // A form class with a form resource is built from it; OnCreate (perhaps
  // bound by the resource itself) then sees the loaded controls. A form
  // without one stays as its code built it.
  InitComponentFromResource(this);
  FireEvent(OnCreate, this);
}

void TCustomForm::BeforeDestruction() {
  // OnDestroy runs while the window is still there.
  TControl::BeforeDestruction();
  if (Screen->ActiveForm() == this) Screen->SetActiveForm(nullptr);
  FireEvent(OnDestroy, this);
  // The windows go while every part of the form and its controls is intact.
  DestroyHandle();
  if (FMenu) FMenu->SetWindowHandle(nullptr);
}

void TCustomForm::Notification(TComponent* component, TOperation operation) {
  TWinControl::Notification(component, operation);
  if (operation == opRemove && component == FMenu) FMenu = nullptr;
  // The system destroys an owned window with its owner, so nothing is left
  // to re-create here.
  if (operation == opRemove && component == FPopupParent) FPopupParent = nullptr;
}

void TCustomForm::SetPopupParent(TCustomForm* value) {
  if (FPopupParent == value) return;
  if (value == this) throw EInvalidOperation("A form cannot be its own popup parent");
  if (FPopupParent) FPopupParent->RemoveFreeNotification(this);
  FPopupParent = value;
  if (value) value->FreeNotification(this);
  if (FHandle && !FParent) RecreateWnd();
}

// -- MDI ----------------------------------------------------------------------

// The frame of MDI children: the main form when it is an MDI form, else the
// first MDI form with a window.
TCustomForm* TCustomForm::MDIFrame() {
  TCustomForm* main = Application ? Application->MainForm() : nullptr;
  if (main && main->FFormStyle == fsMDIForm) return main;
  for (int i = 0; i < Screen->FormCount(); ++i)
    if (TCustomForm* form = Screen->Forms(i); form->FFormStyle == fsMDIForm && form->FClientHandle) return form;
  return nullptr;
}

TCustomForm* TCustomForm::ActiveMDIChild() const {
  if (!FClientHandle) return nullptr;
  auto active = reinterpret_cast<HWND>(SendMessageA(FClientHandle, WM_MDIGETACTIVE, 0, 0));
  return ObjectAs<TCustomForm>(FindControl(active));
}

int TCustomForm::MDIChildCount() const {
  int count = 0;
  for (int i = 0; FClientHandle && i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form->FFormStyle == fsMDIChild && form->FHandle && GetParent(form->FHandle) == FClientHandle) ++count;
  }
  return count;
}

TCustomForm* TCustomForm::MDIChildren(int index) const {
  for (int i = 0; FClientHandle && i < Screen->FormCount(); ++i) {
    TCustomForm* form = Screen->Forms(i);
    if (form->FFormStyle == fsMDIChild && form->FHandle && GetParent(form->FHandle) == FClientHandle && index-- == 0)
      return form;
  }
  throw EInvalidOperation("MDI child index out of range");
}

// The active child's menu is shown in the frame's; a child that stops
// being active takes its items back.
void TCustomForm::MDIActivated(bool active) {
  TCustomForm* frame = MDIFrame();
  if (frame && frame->FMenu && FMenu) {
    if (active) {
      frame->FMenu->Merge(FMenu);
    } else if (frame->FMenu->Merged() == FMenu) {
      frame->FMenu->Unmerge(FMenu);
    }
  }
  FActive = active;
  if (active) {
    Activate();
  } else {
    Deactivate();
  }
}

// Puts the menu's handle on the window; an MDI frame tells its client,
// which keeps a maximized child's window buttons in the bar.
void TCustomForm::ShowMenu() {
  if (!FMenu || !FHandle || FFormStyle == fsMDIChild) return;
  if (FClientHandle) {
    SendMessageA(FClientHandle, WM_MDISETMENU, reinterpret_cast<WPARAM>(FMenu->Handle()), 0);
  } else {
    ::SetMenu(FHandle, FMenu->Handle());
  }
  DrawMenuBar(FHandle);
}

void TCustomForm::DefaultHandler(TMessage& Message) {
  if (FHandle && FClientHandle) {
    Message.Result = DefFrameProcA(FHandle, FClientHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  if (FHandle && FFormStyle == fsMDIChild && !FParent) {
    Message.Result = DefMDIChildProcA(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return;
  }
  TWinControl::DefaultHandler(Message);
}

void TCustomForm::CreateWindowHandle(const TCreateParams& Params) {
  TWinControl::CreateWindowHandle(Params);
  if (!FHandle || FFormStyle != fsMDIForm || FParent) return;
  CLIENTCREATESTRUCT create{nullptr, 0xFF00};
  RECT r = ClientRect();
  FClientHandle = CreateWindowExA(WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
                                  WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL,
                                  0, 0, r.right, r.bottom, FHandle, nullptr, GetModuleHandleA(nullptr), &create);
  if (!FClientHandle) throw EOutOfResources("Cannot create the MDI client window");
  HandleCreated(hkWindow);
}

void TCustomForm::DestroyWnd() {
  // An MDI child leaves through its client, which activates the next one.
  if (FFormStyle == fsMDIChild && !FParent && FHandle) {
    HWND client = GetParent(FHandle);
    if (TCustomForm* frame = MDIFrame(); frame && frame->FClientHandle == client) {
      FText = Text();
      SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(FHandle), 0);
      if (!FHandle) return;  // else the client did not know it: destroyed below
    }
  }
  if (FClientHandle) {
    // The children's forms let go of their windows before the client goes.
    for (int i = Screen->FormCount() - 1; i >= 0; --i) {
      TCustomForm* form = Screen->Forms(i);
      if (form->FFormStyle == fsMDIChild && form->FHandle && GetParent(form->FHandle) == FClientHandle)
        form->DestroyHandle();
    }
    if (FMenu && FMenu->Merged()) FMenu->Unmerge(FMenu->Merged());
    DestroyWindow(FClientHandle);
    HandleDeleted(hkWindow);
    FClientHandle = nullptr;
  }
  TWinControl::DestroyWnd();
}

void TCustomForm::AlignControls(TControl* AControl, RECT& Rect) {
  TWinControl::AlignControls(AControl, Rect);
  // The MDI client takes what the aligned controls leave.
  if (FClientHandle)
    SetWindowPos(FClientHandle, HWND_BOTTOM, Rect.left, Rect.top, std::max(0L, Rect.right - Rect.left),
                 std::max(0L, Rect.bottom - Rect.top), SWP_NOACTIVATE);
}

void TCustomForm::ChangeScale(int M, int D) {
  if (FParent) {
    TWinControl::ChangeScale(M, D);
    return;
  }
  if (M == D || D == 0) return;
  const RECT client = ClientRect();
  DisableAlign();
  try {
    ScaleControls(M, D);
    if (!FParentFont) FFont.SetSize(MulDiv(FFont.Size(), M, D));
    SetClientSize(MulDiv(client.right, M, D), MulDiv(client.bottom, M, D));
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  EnableAlign();
}

// A help request for a menu item carries its command.
void TCustomForm::HandleHelp(TMessage& Message) {
  auto* info = reinterpret_cast<HELPINFO*>(Message.LParam);
  if (info && info->iContextType == HELPINFO_MENUITEM && FMenu) {
    TMenuItem* item = FMenu->Items()->FindCommand(static_cast<UINT>(info->iCtrlId));
    if (item && item->HelpContext() != 0 && Application) {
      Application->HelpContext(item->HelpContext());
      Message.Result = 1;
      return;
    }
  }
  TWinControl::Dispatch(Message);
}

void TCustomForm::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  if (FParent) {  // a form placed inside another control is a child window
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    return;
  }
  Params.Style = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  Params.ExStyle &= WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
  switch (FBorderStyle) {
    case bsNone:
      Params.Style |= WS_POPUP;
      break;
    case bsSingle:
      Params.Style |= WS_CAPTION | WS_BORDER;
      break;
    case bsSizeable:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
    case bsDialog:
      Params.Style |= WS_POPUP | WS_CAPTION;
      Params.ExStyle |= WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE;
      break;
    case bsToolWindow:
      Params.Style |= WS_CAPTION;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
    case bsSizeToolWin:
      Params.Style |= WS_CAPTION | WS_THICKFRAME;
      Params.ExStyle |= WS_EX_TOOLWINDOW;
      break;
  }
  if (FBorderStyle != bsNone && FBorderIcons.Contains(biSystemMenu)) {
    Params.Style |= WS_SYSMENU;
    const bool plain = FBorderStyle == bsSingle || FBorderStyle == bsSizeable;
    if (plain && FBorderIcons.Contains(biMinimize)) Params.Style |= WS_MINIMIZEBOX;
    if (plain && FBorderIcons.Contains(biMaximize)) Params.Style |= WS_MAXIMIZEBOX;
  }
  if (FFormStyle == fsStayOnTop) Params.ExStyle |= WS_EX_TOPMOST;
  if (FFormStyle == fsMDIChild) {
    TCustomForm* frame = MDIFrame();
    if (!frame || !frame->FClientHandle)
      throw EInvalidOperation("Cannot create form. No MDI forms are currently active");
    Params.Style = (Params.Style & ~WS_POPUP) | WS_CHILD | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU | WS_MINIMIZEBOX |
                   WS_MAXIMIZEBOX;
    Params.ExStyle |= WS_EX_MDICHILD;
    Params.WndParent = frame->FClientHandle;
    if (!IsControlEnabled()) Params.Style |= WS_DISABLED;
    return;
  }
  if (FAlphaBlend) Params.ExStyle |= WS_EX_LAYERED;
  // Owned by the owner form when it has a window, else by the application
  // window (which keeps the forms off the taskbar and together).
  auto* ownerForm = ObjectAs<TCustomForm>(Owner());
  if (FPopupParent) {
    Params.WndParent = FPopupParent->Handle();
  } else if (ownerForm && ownerForm->HandleAllocated()) {
    Params.WndParent = ownerForm->Handle();
  } else {
    Params.WndParent = Application ? Application->Handle() : nullptr;
  }
  if (!IsControlEnabled()) Params.Style |= WS_DISABLED;
}

void TCustomForm::SetClientSize(int width, int height) {
  if (FHandle || FParent) {
    TWinControl::SetClientSize(width, height);
    return;
  }
  // No window yet: the frame comes from the styles it will have.
  TCreateParams params;
  CreateParams(params);
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, params.Style, FMenu != nullptr, params.ExStyle);
  SetBounds(FLeft, FTop, r.right - r.left, r.bottom - r.top);
}

void TCustomForm::InitializeWnd() {
  if (FMenu && FFormStyle != fsMDIChild) {
    FMenu->SetWindowHandle(FHandle);
    if (FClientHandle) ShowMenu();
  }
  ApplyLayered();
}

void TCustomForm::SetBorderStyle(TFormBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TCustomForm::SetBorderIcons(TBorderIcons value) {
  if (FBorderIcons == value) return;
  FBorderIcons = value;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle value) {
  if (FFormStyle == value) return;
  const bool mdi = value == fsMDIChild || value == fsMDIForm || FFormStyle == fsMDIChild || FFormStyle == fsMDIForm;
  FFormStyle = value;
  if (FHandle && mdi && !FParent) {
    RecreateWnd();
  } else if (FHandle) {
    SetWindowPos(FHandle, value == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
}

TWindowState TCustomForm::WindowState() const {
  if (!FHandle) return FWindowState;
  if (IsIconic(FHandle)) return wsMinimized;
  if (IsZoomed(FHandle)) return wsMaximized;
  return wsNormal;
}

void TCustomForm::SetWindowState(TWindowState value) {
  FWindowState = value;
  HWND client = FHandle && FFormStyle == fsMDIChild ? GetParent(FHandle) : nullptr;
  if (client && value != wsMinimized) {
    SendMessageA(client, value == wsMaximized ? WM_MDIMAXIMIZE : WM_MDIRESTORE, reinterpret_cast<WPARAM>(FHandle), 0);
    return;
  }
  if (FHandle && IsWindowVisible(FHandle))
    ShowWindow(FHandle, value == wsMinimized ? SW_MINIMIZE : value == wsMaximized ? SW_MAXIMIZE : SW_RESTORE);
}

void TCustomForm::ApplyLayered() {
  if (!FHandle || FParent) return;
  LONG ex = GetWindowLongA(FHandle, GWL_EXSTYLE);
  if (FAlphaBlend) {
    if (!(ex & WS_EX_LAYERED)) SetWindowLongA(FHandle, GWL_EXSTYLE, ex | WS_EX_LAYERED);
    SetLayeredWindowAttributes(FHandle, 0, FAlphaBlendValue, LWA_ALPHA);
  } else if (ex & WS_EX_LAYERED) {
    SetWindowLongA(FHandle, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
  }
}

void TCustomForm::SetAlphaBlend(bool value) {
  if (FAlphaBlend == value) return;
  FAlphaBlend = value;
  ApplyLayered();
}

void TCustomForm::SetAlphaBlendValue(BYTE value) {
  FAlphaBlendValue = value;
  ApplyLayered();
}

void TCustomForm::SetMenu(TMainMenu* value) {
  if (FMenu == value) return;
  const bool child = FFormStyle == fsMDIChild;
  if (FMenu) {
    FMenu->RemoveFreeNotification(this);
    if (!child) {
      FMenu->SetWindowHandle(nullptr);
      if (FHandle) ::SetMenu(FHandle, nullptr);
    }
    if (TCustomForm* frame = child ? MDIFrame() : nullptr; frame && frame->FMenu && frame->FMenu->Merged() == FMenu)
      frame->FMenu->Unmerge(FMenu);
  }
  FMenu = value;
  if (value) {
    value->FreeNotification(this);
    if (FHandle && !child) {
      value->SetWindowHandle(FHandle);
      if (FClientHandle) ShowMenu();
    }
    if (TCustomForm* frame = child && FActive ? MDIFrame() : nullptr; frame && frame->FMenu)
      frame->FMenu->Merge(value);
  }
}

void TCustomForm::ApplyPosition() {
  if (FPositioned || FParent) return;
  FPositioned = true;
  RECT area{0, 0, Screen->Width(), Screen->Height()};
  TCustomForm* centre = nullptr;
  switch (FPosition) {
    case poScreenCenter:
    case poDesktopCenter:
      area = Screen->WorkAreaRect();
      break;
    case poMainFormCenter:
      centre = Application ? Application->MainForm() : nullptr;
      break;
    case poOwnerFormCenter:
      centre = ObjectAs<TCustomForm>(Owner());
      break;
    default:
      return;
  }
  if (centre == this) centre = nullptr;
  if (centre) area = centre->BoundsRect();
  else if (FPosition == poMainFormCenter || FPosition == poOwnerFormCenter) area = Screen->WorkAreaRect();
  SetBounds(area.left + (area.right - area.left - FWidth) / 2, area.top + (area.bottom - area.top - FHeight) / 2,
            FWidth, FHeight);
}

void TCustomForm::ApplyVisibility() {
  if (FParent) {
    UpdateShowing();
    return;
  }
  if (FVisible) {
    Handle();
    ApplyPosition();
    DoShow();
    if (!FVisible) return;  // OnShow hid it again
    const int show = FWindowState == wsMinimized ? SW_SHOWMINIMIZED
                     : FWindowState == wsMaximized ? SW_SHOWMAXIMIZED
                                                   : SW_SHOWNORMAL;
    if (FFormStyle == fsMDIChild) {
      ShowWindow(FHandle, show == SW_SHOWMAXIMIZED ? SW_SHOWNORMAL : show);
      HWND client = GetParent(FHandle);
      SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
      if (FWindowState == wsMaximized) SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(FHandle), 0);
      return;
    }
    ShowWindow(FHandle, show);
    if (FFormStyle == fsStayOnTop)
      SetWindowPos(FHandle, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (Application && this == Application->MainForm()) ShowWindow(Application->Handle(), SW_SHOWNOACTIVATE);
  } else if (FHandle) {
    DoHide();
    ShowWindow(FHandle, SW_HIDE);
  }
}

void TCustomForm::Show() {
  SetVisible(true);
  if (FHandle && FFormStyle == fsMDIChild && !FParent) {
    SendMessageA(GetParent(FHandle), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(FHandle), 0);
  } else if (FHandle) {
    BringWindowToTop(FHandle);
    SetForegroundWindow(FHandle);
  }
}

TModalResult TCustomForm::ShowModal() {
  if (FVisible || !FEnabled || FModal) throw EInvalidOperation("Cannot make a visible window modal");
  if (GetCapture()) ReleaseCapture();
  FModal = true;
  FModalResult = mrNone;
  // Every other window of the program waits until the form is done.
  TDisabledWindows disabled{Handle(), {}};
  EnumThreadWindows(GetCurrentThreadId(), DisableOtherWindow, reinterpret_cast<LPARAM>(&disabled));
  TWeakLink<TCustomForm> self(this);
  TCloseAction action = caHide;
  auto restore = [&] {
    for (HWND wnd : disabled.Windows)
      if (IsWindow(wnd)) EnableWindow(wnd, TRUE);
  };
  try {
    Show();
    while (self.Get() && !Application->Terminated()) {
      Application->HandleMessage();
      if (!self.Get() || FModalResult == mrNone) continue;
      action = caHide;
      if (!CloseQuery()) {
        action = caNone;
      } else {
        DoClose(action);
      }
      if (action == caNone) {
        FModalResult = mrNone;
      } else {
        break;
      }
    }
  } catch (...) {
    restore();
    if (self.Get()) {
      FModal = false;
      Hide();
    }
    throw;
  }
  restore();
  if (!self.Get()) return mrCancel;
  const TModalResult result = FModalResult;
  // Still modal while it hides: a control losing the focus then can tell
  // that its dialog closed, and with which answer.
  Hide();
  if (!self.Get()) return result;
  FModal = false;
  if (action == caFree) Release();
  return result;
}

bool TCustomForm::CloseQuery() {
  bool canClose = true;
  FireEvent(OnCloseQuery, this, canClose);
  return canClose;
}

void TCustomForm::DoClose(TCloseAction& Action) { FireEvent(OnClose, this, Action); }

void TCustomForm::Close() {
  if (FModal) {
    FModalResult = mrCancel;
    return;
  }
  if (!CloseQuery()) return;
  // An MDI child cannot hide: it is minimized (or stays) unless freed.
  TCloseAction action = caHide;
  if (FFormStyle == fsMDIChild && !FParent) action = FBorderIcons.Contains(biMinimize) ? caMinimize : caNone;
  DoClose(action);
  if (action == caNone) return;
  // Closing the main form of its application ends that application.
  TApplication* app = ObjectAs<TApplication>(Owner());
  if (!app) app = Application;
  if (app && app->MainForm() == this) {
    app->Terminate();
    return;
  }
  switch (action) {
    case caHide:
      Hide();
      break;
    case caMinimize:
      SetWindowState(wsMinimized);
      break;
    case caFree:
      Release();
      break;
    default:
      break;
  }
}

void TCustomForm::Release() {
  // A posted message: the handler that asked returns before the form goes.
  PostMessageA(Handle(), CM_RELEASE, 0, 0);
}

void TCustomForm::SetActiveControl(TWinControl* control) {
  if (control && (!ContainsControl(control) || control == this))
    throw EInvalidOperation("Invalid control for the active control of the form");
  FActiveControl = control;
  if (control && FActive && control->CanFocus()) FocusControl(control);
}

void TCustomForm::FocusControl(TWinControl* control) {
  FActiveControl = control;
  if (FHandle && IsWindowVisible(FHandle)) ::SetFocus(control->Handle());
}

void TCustomForm::SetFocusedControl(TWinControl* control) {
  TWinControl* old = FFocusedControl.Get();
  FActiveControl = control;
  Screen->SetActiveControl(control);
  if (old == control) return;
  FFocusedControl = control;
  if (old) old->Perform(CM_EXIT);
  if (FFocusedControl.Get() == control) control->Perform(CM_ENTER);
  // Every control of the form hears which control has the focus now.
  if (FFocusedControl.Get() == control) Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
}

bool TCustomForm::IsShortCut(WORD key, TShiftState shift) {
  if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
  const TShortCut shortCut = ::ShortCut(key, shift.Contains(ssShift), shift.Contains(ssCtrl), shift.Contains(ssAlt));
  if (FMenu && FMenu->IsShortCut(shortCut)) return true;
  for (int i = 0; i < ComponentCount(); ++i)
    if (auto* list = ObjectAs<TCustomActionList>(Components(i)); list && list->IsShortCut(shortCut)) return true;
  return false;
}

namespace {

// Every visible control below `parent` marked as an action client updates
// from its action; children of hidden controls are skipped.
void UpdateClientActions(TWinControl* parent) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* control = parent->Controls(i);
    if (!control->Visible()) continue;
    if (control->ControlStyle().Contains(csActionClient)) control->InitiateAction();
    if (auto* win = ObjectAs<TWinControl>(control)) UpdateClientActions(win);
  }
}

bool ControlsTakeAction(TWinControl* parent, TBasicAction* action, bool execute) {
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* control = parent->Controls(i);
    if (!control->Visible()) continue;
    if (execute ? control->ExecuteAction(action) : control->UpdateAction(action)) return true;
    if (auto* win = ObjectAs<TWinControl>(control); win && ControlsTakeAction(win, action, execute)) return true;
  }
  return false;
}

}  // namespace

void TCustomForm::UpdateActions() {
  if (FMenu) FMenu->UpdateItems();
  UpdateClientActions(this);
}

bool TCustomForm::DispatchActionToControls(TBasicAction* action, bool execute) {
  auto take = [&](TControl* control) {
    return control && (execute ? control->ExecuteAction(action) : control->UpdateAction(action));
  };
  TWinControl* active = FActiveControl.Get();
  if (active && take(active)) return true;
  if (take(this)) return true;
  return ControlsTakeAction(this, action, execute);
}

void TCustomForm::HandleDialogKey(TMessage& Message) {
  const TShiftState shift = KeyboardShiftState();
  if (Message.WParam == VK_TAB && !shift.Contains(ssCtrl) && !shift.Contains(ssAlt)) {
    SelectNext(FActiveControl.Get(), !shift.Contains(ssShift), true);
    Message.Result = 1;
    return;
  }
  TWinControl::Dispatch(Message);
}

void TCustomForm::Dispatch(TMessage& Message) {
  if (FParent) {  // embedded: behaves as a child control
    TWinControl::Dispatch(Message);
    return;
  }
  switch (Message.Msg) {
    case CM_VISIBLECHANGED:
      ApplyVisibility();
      return;
    case WM_CLOSE:
      Close();
      Message.Result = 0;
      return;
    case CM_RELEASE:
      Free(this);
      return;
    case WM_ACTIVATE:
      DefaultHandler(Message);
      SendMessageA(FHandle, LOWORD(Message.WParam) != WA_INACTIVE ? CM_ACTIVATE : CM_DEACTIVATE, 0, 0);
      return;
    case CM_ACTIVATE:
      FActive = true;
      Screen->SetActiveForm(this);
      Activate();
      return;
    case CM_DEACTIVATE:
      FActive = false;
      Deactivate();
      return;
    case WM_ACTIVATEAPP:
      if (Application) Application->SetActiveState(Message.WParam != 0);
      break;
    case WM_SETFOCUS: {
      // The form passes the focus on to its active control (or the first
      // one in tab order).
      // Only to a control on the form whose window is there and staying.
      auto usable = [&](TWinControl* c) {
        return c && c != this && c->HandleAllocated() && !c->ControlState().Contains(csDestroyingHandle) &&
               ContainsControl(c) && c->CanFocus();
      };
      TWinControl* target = FActiveControl.Get();
      if (!usable(target)) target = FindNextControl(nullptr, true, true, false);
      if (usable(target)) {
        ::SetFocus(target->Handle());
        return;
      }
      break;
    }
    case WM_COMMAND:
      if (Message.LParam == 0 && FMenu && HIWORD(Message.WParam) == 0 && FMenu->DispatchCommand(LOWORD(Message.WParam)))
        return;
      break;
    case CM_DIALOGKEY:
      HandleDialogKey(Message);
      return;
    case CM_MENUCHANGED:
      // The menu has a new handle: the window shows it (a subclass of the
      // window sees the change here first).
      ShowMenu();
      return;
    case WM_MDIACTIVATE:
      DefaultHandler(Message);
      if (FFormStyle == fsMDIChild) MDIActivated(reinterpret_cast<HWND>(Message.LParam) == FHandle);
      return;
    case WM_HELP:
      HandleHelp(Message);
      return;
    case CM_ACTIONEXECUTE:
    case CM_ACTIONUPDATE:
      Message.Result = DispatchActionToControls(reinterpret_cast<TBasicAction*>(Message.LParam),
                                                Message.Msg == CM_ACTIONEXECUTE)
                           ? 1
                           : 0;
      return;
    case WM_SHOWWINDOW:
      break;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo FormBorderStyleNames{
    "TFormBorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"}};
const TEnumInfo BorderIconNames{"TBorderIcon", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}};
const TEnumInfo PositionNames{"TPosition",
                              {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                               "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"}};
const TEnumInfo FormStyleNames{"TFormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}};
const TEnumInfo WindowStateNames{"TWindowState", {"wsNormal", "wsMinimized", "wsMaximized"}};

// A form is hidden until shown, and has its own colour and font.
const TPublishedRegistration customFormRegistration(&TCustomForm::ClassInfo, {
    Property<&TControl::Caption, &TControl::SetCaption>("Caption"),
    Property<&TControl::Visible, &TControl::SetVisible>("Visible").Default(false),
    Property<&TCustomForm::BorderStyle, &TCustomForm::SetBorderStyle>("BorderStyle", FormBorderStyleNames)
        .Default(bsSizeable),
    Property<&TCustomForm::BorderIcons, &TCustomForm::SetBorderIcons>("BorderIcons", BorderIconNames)
        .Default(TBorderIcons{biSystemMenu, biMinimize, biMaximize}),
    Property<&TCustomForm::Position, &TCustomForm::SetPosition>("Position", PositionNames).Default(poDesigned),
    Property<&TCustomForm::FormStyle, &TCustomForm::SetFormStyle>("FormStyle", FormStyleNames).Default(fsNormal),
    Property<&TCustomForm::WindowState, &TCustomForm::SetWindowState>("WindowState", WindowStateNames)
        .Default(wsNormal),
    Property<&TCustomForm::AlphaBlend, &TCustomForm::SetAlphaBlend>("AlphaBlend").Default(false),
    Property<&TCustomForm::AlphaBlendValue, &TCustomForm::SetAlphaBlendValue>("AlphaBlendValue").Default(255),
    Property<&TCustomForm::KeyPreview, &TCustomForm::SetKeyPreview>("KeyPreview").Default(false),
    Property<&TCustomForm::Menu, &TCustomForm::SetMenu>("Menu"),
    Property<&TCustomForm::PopupParent, &TCustomForm::SetPopupParent>("PopupParent"),
    Property<&TCustomForm::ActiveControl, &TCustomForm::SetActiveControl>("ActiveControl"),
    Event<&TCustomForm::OnCreate>("OnCreate"),
    Event<&TCustomForm::OnDestroy>("OnDestroy"),
    Event<&TCustomForm::OnShow>("OnShow"),
    Event<&TCustomForm::OnHide>("OnHide"),
    Event<&TCustomForm::OnActivate>("OnActivate"),
    Event<&TCustomForm::OnDeactivate>("OnDeactivate"),
    Event<&TCustomForm::OnClose>("OnClose"),
    Event<&TCustomForm::OnCloseQuery>("OnCloseQuery"),
});

const TPublishedRegistration formRegistration(&TForm::ClassInfo, {});

}  // namespace
