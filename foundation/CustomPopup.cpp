#include "foundation/CustomPopup.h"

#include "foundation/Classes.h"
#include "foundation/Container.h"
#include "foundation/ContainerServices.h"
#include "foundation/Controls.h"
#include "platform/Exceptions.h"
#include "platform/ThreadHook.h"
#include "platform/WindowSubclass.h"

#include <algorithm>
#include <vector>

// ---------------------------------------------------------------------------
// The unit's state.

namespace {

std::vector<TcxCustomPopupWindow*>* OpenPopups = nullptr;
int ClosingCounter = 0;
bool ShowingFlag = false;

// Where a popup that does not capture is made before it moves to the desktop.
TcxMessageWindow* PopupParkingWindow = nullptr;

// The flag set for a scope (and put back as it was).
class TShowingScope {
public:
  TShowingScope() : FWas(ShowingFlag) { ShowingFlag = true; }
  ~TShowingScope() { ShowingFlag = FWas; }
  TShowingScope(const TShowingScope&) = delete;
  TShowingScope& operator=(const TShowingScope&) = delete;

private:
  bool FWas;
};

class TClosingScope {
public:
  TClosingScope() { AdjustClosingCounter(true); }
  ~TClosingScope() { AdjustClosingCounter(false); }
  TClosingScope(const TClosingScope&) = delete;
  TClosingScope& operator=(const TClosingScope&) = delete;
};

[[noreturn]] void UnitAssertionFailed() { throw EAssertionFailed("Assertion failure", "cxContainer", 0); }

bool BeingDestroyed(TComponent* component) { return component && component->IsDestroying(); }

}  // namespace

void AddOpenPopup(TcxCustomPopupWindow* popup) {
  if (!popup || !OpenPopups || std::find(OpenPopups->begin(), OpenPopups->end(), popup) != OpenPopups->end())
    UnitAssertionFailed();
  OpenPopups->push_back(popup);
}

void RemoveOpenPopup(TcxCustomPopupWindow* popup) {
  if (!popup || !OpenPopups) UnitAssertionFailed();
  auto it = std::find(OpenPopups->begin(), OpenPopups->end(), popup);
  if (it == OpenPopups->end()) UnitAssertionFailed();
  OpenPopups->erase(it);
}

bool IsPopupOpen(TControl* control) {
  return OpenPopups && control &&
         std::find(OpenPopups->begin(), OpenPopups->end(), control) != OpenPopups->end();
}

int OpenPopupCount() { return OpenPopups ? static_cast<int>(OpenPopups->size()) : 0; }

TcxCustomPopupWindow* OpenPopup(int index) { return (*OpenPopups)[static_cast<size_t>(index)]; }

void PostPopupCloseRequest(TcxCustomPopupWindow* popup) {
  if (popup && popup->HandleAllocated()) PostMessageA(popup->Handle(), CM_POPUPCLOSE, 0, 0);
}

void AdjustClosingCounter(bool raise) { ClosingCounter += raise ? 1 : -1; }
bool ClosingInProgress() { return ClosingCounter != 0; }
bool PopupShowingInProgress() { return ShowingFlag; }

// ---------------------------------------------------------------------------
// Swallowing one message.

namespace {

// A subclass that answers 1 to the next message and takes itself off.
class TSwallower {
public:
  void Attach(HWND wnd) {
    Remove();
    FSubclass.Attach(wnd, TWndMethod::Bind<&TSwallower::Proc>(this));
  }
  void Remove() {
    if (FSubclass.Attached()) FSubclass.Remove();
  }
  bool Pending() const { return FSubclass.Attached(); }

private:
  void Proc(TMessage& message) {
    if (message.Msg == WM_NCDESTROY) {  // the window goes: let it
      FSubclass.CallPrevious(message);
      return;
    }
    FSubclass.Remove();
    message.Result = 1;
  }
  TWindowSubclass FSubclass;
};

TSwallower* Swallower = nullptr;

}  // namespace

void SwallowNextMessage(HWND wnd) {
  if (!Swallower || !IsWindow(wnd)) return;
  Swallower->Attach(wnd);
}

bool SwallowPending() { return Swallower && Swallower->Pending(); }

// ---------------------------------------------------------------------------
// Window relations.

namespace {

bool WithinWindow(HWND parent, HWND wnd) { return parent && wnd && (parent == wnd || IsChild(parent, wnd)); }

bool ControlWindowIs(TControl* control, HWND wnd) {
  auto* win = ObjectAs<TWinControl>(control);
  return win && win->HandleAllocated() && win->Handle() == wnd;
}

}  // namespace

bool HandleBelongsToControl(TControl* control, HWND wnd, bool withChildren) {
  if (!control || !wnd) return false;
  if (ControlWindowIs(control, wnd)) return true;
  return withChildren && IsWindowWithinControl(control, wnd);
}

bool IsWindowWithinControl(TControl* control, HWND wnd) {
  auto* win = ObjectAs<TWinControl>(control);
  if (!win || !wnd || !win->HandleAllocated() || win->Handle() == wnd) return false;
  if (IsChild(win->Handle(), wnd)) return true;
  for (int i = 0; i < win->ControlCount(); ++i) {
    auto* child = ObjectAs<TWinControl>(win->Controls(i));
    if (!child) continue;
    if (child->HandleAllocated() && (child->Handle() == wnd || IsChild(child->Handle(), wnd))) return true;
    if (IsWindowWithinControl(child, wnd)) return true;
  }
  for (int i = 0; i < OpenPopupCount(); ++i) {
    TcxCustomPopupWindow* popup = OpenPopup(i);
    if (popup == control) continue;
    const bool openedFromHere = popup->OwnerControl() == control ||
                                (ObjectAs<TcxCustomPopupWindow>(control) != nullptr && popup->OwnerForm() == control);
    if (openedFromHere && (ControlWindowIs(popup, wnd) || IsWindowWithinControl(popup, wnd))) return true;
  }
  return false;
}

bool IsWindowInControlForm(TControl* control, HWND wnd) {
  if (!control || !wnd) return false;
  TCustomForm* form = GetParentForm(control);
  if (!form || !form->HandleAllocated()) return false;
  if (WithinWindow(form->Handle(), wnd)) return true;
  // A form embedded in another window: the top of that chain of children.
  if (!form->Parent() && (GetWindowLongA(form->Handle(), GWL_STYLE) & WS_CHILD)) {
    HWND top = form->Handle();
    while ((GetWindowLongA(top, GWL_STYLE) & WS_CHILD) && GetParent(top)) top = GetParent(top);
    return WithinWindow(top, wnd);
  }
  return false;
}

bool IsWindowInMDIFamily(HWND mdiChild, HWND wnd) {
  if (!mdiChild || !wnd || !(GetWindowLongA(mdiChild, GWL_EXSTYLE) & WS_EX_MDICHILD)) return false;
  HWND client = GetParent(mdiChild);
  HWND frame = client ? GetParent(client) : nullptr;
  if (!client || !frame) return false;
  if (wnd == client) return true;
  // Within the frame (its bars, the client and every other child), not in
  // the child itself.
  return WithinWindow(frame, wnd) && !WithinWindow(mdiChild, wnd);
}

bool IsClickInMDIFamily(TcxCustomPopupWindow* popup, HWND wnd) {
  if (!popup || !wnd) return false;
  TCustomForm* form = popup->OwnerForm();
  return form && form->HandleAllocated() && IsWindowInMDIFamily(form->Handle(), wnd);
}

// ---------------------------------------------------------------------------
// Closing popups for a click.

bool CloseOpenPopupsForClick(HWND wnd, UINT message) {
  bool pass = true;
  bool nearOwner = false;
  const POINT p = ReadCursorPos();
  const TShiftState shift = CurrentShiftState();
  int i = 0;
  while (i < OpenPopupCount()) {
    TcxCustomPopupWindow* popup = OpenPopup(i);
    TCustomForm* ownerForm = popup->OwnerForm();
    if ((popup->CaptureFocus() && !popup->Active()) || HandleBelongsToControl(popup, wnd, true)) {
      ++i;
      continue;
    }
    TControl* owner = popup->OwnerControl();
    auto* ownerPopup = ObjectAs<TcxCustomPopupWindow>(ownerForm);
    if (IsWindowInControlForm(owner, wnd) || (ownerPopup && !ownerPopup->IsOpen())) {
      bool considerSwallow = true;
      if ((message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) && HandleBelongsToControl(owner, wnd, true)) {
        const RECT bounds = popup->GetOwnerScreenBounds();
        if (PtInRect(&bounds, p)) {
          nearOwner = true;
          if (popup->SwallowsClosingClick(wnd, message, p, shift)) popup->SetClosedByOwnerClick(true);
          considerSwallow = false;
        }
      }
      {
        TShowingScope showing;
        popup->AdjustClosingLock(true);
        if (pass && considerSwallow) pass = !popup->SwallowsClosingClick(wnd, message, p, shift);
        TWeakLink<TcxCustomPopupWindow> alive(popup);
        popup->ClosePopup();
        if (alive) popup->AdjustClosingLock(false);
      }
      if (nearOwner && owner && (BeingDestroyed(owner) || !owner->Visible())) pass = false;
      i = 0;
      continue;
    }
    if (IsClickInMDIFamily(popup, wnd)) {
      pass = pass && !popup->SwallowsClosingClick(wnd, message, p, shift);
      popup->ClosePopup();
      i = 0;
      continue;
    }
    ++i;
  }
  return pass;
}

// ---------------------------------------------------------------------------
// The hooks.

namespace {

class TPopupHooks {
public:
  void Install() {
    FCallWndProc.Install(hkCallWndProc, THookProc::Bind<&TPopupHooks::CallWndProc>(this));
    FGetMessage.Install(hkGetMessage, THookProc::Bind<&TPopupHooks::GetMessage>(this));
    FMouse.Install(hkMouse, THookProc::Bind<&TPopupHooks::Mouse>(this));
  }
  void Remove() {
    if (FMouse.Installed()) FMouse.Remove();
    if (FGetMessage.Installed()) FGetMessage.Remove();
    if (FCallWndProc.Installed()) FCallWndProc.Remove();
  }
  bool Installed() const { return FCallWndProc.Installed() && FGetMessage.Installed() && FMouse.Installed(); }

private:
  void CallWndProc(THookCall& call);
  void GetMessage(THookCall& call);
  void Mouse(THookCall& call);

  TThreadHook FCallWndProc;
  TThreadHook FGetMessage;
  TThreadHook FMouse;
};

TPopupHooks* Hooks = nullptr;

bool OwnerUsable(TControl* owner) {
  auto* win = ObjectAs<TWinControl>(owner);
  return owner && !BeingDestroyed(owner) && (!win || win->HandleAllocated());
}

void PopupsOnDestroy(HWND wnd) {
  for (int i = 0; i < OpenPopupCount(); ++i) {
    TcxCustomPopupWindow* popup = OpenPopup(i);
    if (BeingDestroyed(popup) || !popup->HandleAllocated() || popup->Handle() != wnd) continue;
    popup->Close();
    return;
  }
}

void PopupsOnClose(HWND wnd) {
  for (int i = 0; i < OpenPopupCount(); ++i) {
    TcxCustomPopupWindow* popup = OpenPopup(i);
    if (BeingDestroyed(popup)) continue;
    if (popup->HandleAllocated() && popup->Handle() == wnd) {
      if (popup->CloseQuery()) {
        TControl* owner = popup->OwnerControl();
        TWeakLink<TcxCustomPopupWindow> alive(popup);
        popup->ClosePopup();
        if (alive && !popup->IsOpen() && popup->CaptureFocus() && owner && !BeingDestroyed(owner)) {
          auto* win = ObjectAs<TWinControl>(owner);
          if (win && win->HandleAllocated())
            if (HWND top = NearestTopLevelAncestor(win->Handle())) SendMessageA(top, WM_CLOSE, 0, 0);
        }
      }
      return;
    }
    if (popup->CaptureFocus()) continue;
    TControl* owner = popup->OwnerControl();
    if (!owner || BeingDestroyed(owner)) continue;
    TCustomForm* form = GetParentForm(owner);
    if (!form || !form->HandleAllocated() || form->Handle() == wnd) popup->ClosePopup();
    return;
  }
}

void PopupsOnHide(HWND wnd) {
  for (int i = OpenPopupCount() - 1; i >= 0; --i) {
    TcxCustomPopupWindow* popup = OpenPopup(i);
    TControl* owner = popup->OwnerControl();
    if (BeingDestroyed(popup) || !OwnerUsable(owner)) continue;
    if (!ControlWindowIs(owner, wnd)) continue;
    // This popup and every later one, the last opened first.
    for (int j = OpenPopupCount() - 1; j >= i && j < OpenPopupCount(); --j) OpenPopup(j)->ClosePopup();
    return;
  }
}

void PopupsOnAppDeactivate() {
  bool closed = true;
  while (closed) {
    closed = false;
    for (int i = 0; i < OpenPopupCount(); ++i) {
      TcxCustomPopupWindow* popup = OpenPopup(i);
      if (TCustomForm* form = popup->OwnerForm(); form && form->HandleAllocated())
        PostMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
      if ((popup->CaptureFocus() && popup->Active()) ||
          (popup->HandleAllocated() && !IsWindowEnabled(popup->Handle())))
        continue;
      TControl* owner = popup->OwnerControl();
      popup->ClosePopup();
      if (auto* container = ObjectAs<TcxContainer>(owner)) container->FocusChanged();
      closed = true;
      break;
    }
  }
}

void PopupsOnWindowPosChanged(HWND wnd) {
  bool closed = true;
  while (closed) {
    closed = false;
    for (int i = 0; i < OpenPopupCount(); ++i) {
      TcxCustomPopupWindow* popup = OpenPopup(i);
      TControl* owner = popup->OwnerControl();
      if (BeingDestroyed(popup) || !popup->HandleAllocated() || !OwnerUsable(owner)) continue;
      if (!ControlWindowIs(owner, wnd) || IsWindowVisible(wnd)) continue;
      popup->ClosePopup();
      closed = true;
      break;
    }
  }
}

bool IsOwnerFormWindow(HWND wnd) {
  for (int i = 0; i < OpenPopupCount(); ++i) {
    TCustomForm* form = OpenPopup(i)->OwnerForm();
    if (form && form->HandleAllocated() && form->Handle() == wnd) return true;
  }
  return false;
}

void TPopupHooks::CallWndProc(THookCall& call) {
  if (call.Code != HC_ACTION) return;
  const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(call.LParam);
  if ((cwp->message == CM_ACTIVATE || cwp->message == CM_DEACTIVATE) && ClosingInProgress()) {
    SwallowNextMessage(cwp->hwnd);
    return;
  }
  if (OpenPopupCount() == 0) return;
  switch (cwp->message) {
    case WM_DESTROY:
      PopupsOnDestroy(cwp->hwnd);
      break;
    case WM_CLOSE:
      PopupsOnClose(cwp->hwnd);
      break;
    case WM_SHOWWINDOW:
      if (cwp->wParam == 0) PopupsOnHide(cwp->hwnd);
      break;
    case WM_ACTIVATEAPP:
      if (cwp->wParam == 0) PopupsOnAppDeactivate();
      break;
    case WM_WINDOWPOSCHANGED:
      PopupsOnWindowPosChanged(cwp->hwnd);
      break;
    case WM_NCACTIVATE:
      if (cwp->wParam == 0 && (ShowingFlag || IsOwnerFormWindow(cwp->hwnd))) SwallowNextMessage(cwp->hwnd);
      break;
    default:
      break;
  }
}

void TPopupHooks::GetMessage(THookCall& call) {
  if (OpenPopupCount() == 0 || call.Code != HC_ACTION || call.WParam != PM_REMOVE) return;
  auto* msg = reinterpret_cast<MSG*>(call.LParam);
  if (msg->message != WM_SYSKEYDOWN) return;
  TcxCustomPopupWindow* last = OpenPopup(OpenPopupCount() - 1);
  if (last->CaptureFocus() && last->ModalLoop()) return;
  if (!last->AcceptsNavigationKey(static_cast<WORD>(msg->wParam))) msg->message = WM_NULL;
}

void TPopupHooks::Mouse(THookCall& call) {
  if (OpenPopupCount() == 0 || call.Code != HC_ACTION) return;
  switch (call.WParam) {
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDOWN:
    case WM_NCRBUTTONDBLCLK:
    case WM_NCMBUTTONDOWN:
    case WM_NCMBUTTONDBLCLK:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK: {
      const auto* info = reinterpret_cast<const MOUSEHOOKSTRUCT*>(call.LParam);

      if (!CloseOpenPopupsForClick(info->hwnd, static_cast<UINT>(call.WParam))) call.SetResult(1);
      break;
    }
    default:
      break;
  }
}

}  // namespace

bool PopupHooksInstalled() { return Hooks && Hooks->Installed(); }

void RemovePopupHooks() {
  if (Hooks) Hooks->Remove();
}

void InstallPopupHooks() {
  MevraAssert(Hooks && !Hooks->Installed(), "Assertion failure");
  Hooks->Install();
}

void cxContainerPopupsInit() {
  OpenPopups = new std::vector<TcxCustomPopupWindow*>();
  Swallower = new TSwallower();
  Hooks = new TPopupHooks();
  Hooks->Install();
}

void cxContainerPopupsDone() {
  if (Hooks) Hooks->Remove();
  delete Hooks;
  Hooks = nullptr;
  delete Swallower;
  Swallower = nullptr;
  delete OpenPopups;
  OpenPopups = nullptr;
  delete PopupParkingWindow;
  PopupParkingWindow = nullptr;
}

// ---------------------------------------------------------------------------
// TcxCustomPopupWindow

const TClassInfo TcxCustomPopupWindow::ClassInfo{"TcxCustomPopupWindow", &TcxPopupWindow::ClassInfo,
                                                 [](TObject* owner) -> TObject* {
                                                   return new TcxCustomPopupWindow(static_cast<TControl*>(owner));
                                                 }};

TcxCustomPopupWindow::TcxCustomPopupWindow(TControl* ownerControl)
    : TcxPopupWindow(ownerControl), FOwnerControl(ownerControl) {
  SetFormStyle(fsNormal);
  SetKeyPreview(true);
}

void TcxCustomPopupWindow::AfterConstruction() {
  TcxPopupWindow::AfterConstruction();
  FStyle.reset(CreateContainerStyle(StyleClass(), this, false, nullptr, 0));
  FStyle->OnChanged = TcxStyleChangedEvent::Bind<&TcxCustomPopupWindow::StyleChanged>(this);
  FViewInfo.reset(ViewInfoClass());
}

TcxCustomPopupWindow::~TcxCustomPopupWindow() {
  ClearObjectLinks(this);
  if (IsPopupOpen(this)) RemoveOpenPopup(this);
  DestroyHandle();
  FViewInfo.reset();
  FStyle.reset();
}

bool TcxCustomPopupWindow::IsOpen() const { return IsPopupOpen(const_cast<TcxCustomPopupWindow*>(this)); }

bool TcxCustomPopupWindow::OwnerControlShowing() {
  auto* win = ObjectAs<TWinControl>(FOwnerControl);
  if (!win) return FOwnerControl && FOwnerControl->Visible();
  return win->HandleAllocated() && IsWindowVisible(win->Handle());
}

TCustomForm* TcxCustomPopupWindow::OwnerForm() const { return FOwnerControl ? GetParentForm(FOwnerControl) : nullptr; }

bool TcxCustomPopupWindow::PopupFocused() {
  if (!IsOpen() || !FCaptureFocus || !HandleAllocated()) return false;
  return WithinWindow(Handle(), GetFocus());
}

void TcxCustomPopupWindow::ChangeCaptureFocus(bool value) {
  if (FCaptureFocus == value) return;
  FCaptureFocus = value;
  const bool open = IsOpen();
  if (open) ClosePopup();
  if (HandleAllocated()) RecreateWnd();
  if (open) ShowPopupFor(FControlToFocus);
}

void TcxCustomPopupWindow::ChangeStayOnTop(bool value) {
  if (FStayOnTop == value) return;
  FStayOnTop = value;
  const bool open = IsOpen();
  if (open) ClosePopup();
  if (HandleAllocated()) RecreateWnd();
  if (open) ShowPopupFor(FControlToFocus);
}

void TcxCustomPopupWindow::NotifyClosed(int reason) { FireEvent(OnClosed, this, reason); }
void TcxCustomPopupWindow::NotifyClosing(int reason) { FireEvent(OnClosing, this, reason); }
void TcxCustomPopupWindow::NotifyShown() { FireEvent(OnShown, this); }
void TcxCustomPopupWindow::NotifyShowing() { FireEvent(OnShowing, this); }

bool TcxCustomPopupWindow::AcceptsNavigationKey(WORD key) { return (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_F4; }

void TcxCustomPopupWindow::AdjustPopupPosition(POINT& p) {
  if (!FitsToWorkArea()) return;
  const RECT work = GetPointWorkArea(p);
  int w = Width(), h = Height();
  if (p.x < work.left) {
    w -= work.left - p.x;
    p.x = work.left;
  }
  if (p.y < work.top) {
    h -= work.top - p.y;
    p.y = work.top;
  }
  w = std::min<int>(w, work.right - p.x);
  const int cutHeight = std::min<int>(h, work.bottom - p.y);
  if (cutHeight < h && p.y == work.top) p.y += h - cutHeight;
  h = cutHeight;
  SetBounds(Left(), Top(), std::max(w, 0), std::max(h, 0));
}

RECT TcxCustomPopupWindow::GetOwnerScreenBounds() {
  RECT r = OwnerBounds();
  auto* win = ObjectAs<TWinControl>(FOwnerControl);
  TWinControl* parent = FOwnerControl ? FOwnerControl->Parent() : nullptr;
  if (win && win->HandleAllocated() && (GetWindowLongA(win->Handle(), GWL_STYLE) & WS_CHILD) && parent &&
      parent->HandleAllocated())
    MapWindowPoints(parent->Handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

TWinControl* TcxCustomPopupWindow::FirstTabStop() { return FindNextControl(nullptr, true, true, false); }

void TcxCustomPopupWindow::FocusWithinPopup(TWinControl* control) {
  TClosingScope closing;
  TWinControl* target = control ? control : this;
  if (!target->HandleAllocated()) return;
  ::SetFocus(target->Handle());
}

void TcxCustomPopupWindow::ShowPopupFor(TWinControl* controlToFocus) {
  if (IsOpen() || !OwnerControlShowing()) return;
  ApplyOwnerFont();
  FitToContents();
  POINT p = ComputePopupPosition();
  AdjustPopupPosition(p);
  FControlToFocus = controlToFocus;
  {
    TShowingScope showing;
    AddOpenPopup(this);
    NotifyShowing();
    SetBounds(p.x, p.y, Width(), Height());
    if (FCaptureFocus) Show();
    else SetVisible(true);
    TWinControl* target = nullptr;
    if (FCaptureFocus) {
      if (!controlToFocus) target = this;
      else if (controlToFocus->CanFocus() && controlToFocus->TabStop()) target = controlToFocus;
      else if (TWinControl* first = FirstTabStop()) target = first;
      else target = this;
      FocusWithinPopup(target);
    } else if (controlToFocus && controlToFocus->HandleAllocated()) {
      // A popup that does not capture leaves the focus where it is unless
      // a control of its own was named.
      FocusWithinPopup(controlToFocus);
    }
    TCustomForm* form = OwnerForm();
    const bool topmost = !form || !FCaptureFocus ||
                         (form->HandleAllocated() && (GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST));
    SetWindowPos(Handle(), topmost ? HWND_TOPMOST : HWND_TOP, 0, 0, 0, 0,
                 SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
  }
  SetModalResult(mrNone);
  NotifyShown();
  if (!FCaptureFocus || !FModalLoop) return;
  TWeakLink<TcxCustomPopupWindow> alive(this);
  while (alive && Visible() && IsOpen() && !(Application && Application->Terminated())) {
    // The message next in line is looked at, not any system key further
    // back: input arrives while the loop runs, and a key that came after
    // the look would otherwise be handled by the next step unseen.
    MSG msg;
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && msg.message == WM_SYSKEYDOWN &&
        (msg.wParam == VK_RETURN || msg.wParam == VK_MENU || msg.wParam == VK_SPACE)) {
      PeekMessageA(&msg, nullptr, WM_SYSKEYDOWN, WM_SYSKEYDOWN, PM_REMOVE);
      continue;
    }
    if (ModalResult() != mrNone) {
      if (CloseQuery()) CloseFromModalResult();
      else SetModalResult(mrNone);
      continue;
    }
    Application->HandleMessage();
  }
}

void TcxCustomPopupWindow::ClosePopup() {
  if (!IsOpen()) return;
  {
    TClosingScope closing;
    RemoveOpenPopup(this);
    NotifyClosing();
    if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
    Hide();
    NotifyClosed();
    if (HandleAllocated()) {
      HWND capture = GetCapture();
      if (WithinWindow(Handle(), capture)) ReleaseCapture();
    }
  }
  TCustomForm* form = OwnerForm();
  if (OpenPopupCount() == 0 && form && form->HandleAllocated() && GetActiveWindow() != form->Handle())
    SendMessageA(form->Handle(), WM_NCACTIVATE, FALSE, 0);
}

void TcxCustomPopupWindow::CreateParams(TCreateParams& Params) {
  TcxPopupWindow::CreateParams(Params);
  TCustomForm* form = OwnerForm();
  if (FCaptureFocus) {
    if (form && form->HandleAllocated()) Params.WndParent = form->Handle();
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_CHILD)) | WS_POPUP;
    const bool formTopmost =
        !form || (form->HandleAllocated() && (GetWindowLongA(form->Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST));
    if (FStayOnTop && formTopmost) Params.ExStyle |= WS_EX_TOPMOST;
  } else {
    Params.Style = (Params.Style & ~static_cast<DWORD>(WS_POPUP)) | WS_CHILD;
    Params.ExStyle |= WS_EX_TOOLWINDOW;
    if (!PopupParkingWindow) PopupParkingWindow = new TcxMessageWindow();
    Params.WndParent = ParentWindow() ? ParentWindow() : PopupParkingWindow->Handle();
  }
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxCustomPopupWindow::CreateHandle() {
  const bool add = OpenPopups && !IsOpen();
  if (add) AddOpenPopup(this);
  try {
    TcxPopupWindow::CreateHandle();
  } catch (...) {
    if (add && IsOpen()) RemoveOpenPopup(this);
    throw;
  }
  if (add && IsOpen()) RemoveOpenPopup(this);
}

void TcxCustomPopupWindow::CreateWnd() {
  TcxPopupWindow::CreateWnd();
  if (!FCaptureFocus) ::SetParent(Handle(), nullptr);
}

void TcxCustomPopupWindow::AdjustClientRect(RECT& Rect) {
  if (FViewInfo && !IsRectEmpty(&FViewInfo->ClientRect)) Rect = FViewInfo->ClientRect;
}

void TcxCustomPopupWindow::PaintWindow(HDC dc) {
  if (FViewInfo) {
    TCanvas canvas;
    TCanvasPaintScope scope(canvas, dc);
    TcxCanvas cxCanvas(&canvas);
    FViewInfo->PaintOn(&cxCanvas);
  }
  TcxPopupWindow::PaintWindow(dc);
}

void TcxCustomPopupWindow::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_ESCAPE && IsOpen() && HandleAllocated() && GetCapture() == Handle()) {
    ReleaseCapture();
    Key = 0;
    return;
  }
  TcxPopupWindow::KeyDown(Key, Shift);
}

void TcxCustomPopupWindow::Deactivate() {
  TForm::Deactivate();  // the event; the closing rules are these
  if (FClosingLock > 0) return;
  HWND active = GetActiveWindow();
  for (int i = OpenPopupCount() - 1; i >= 0 && i < OpenPopupCount(); --i) {
    TcxCustomPopupWindow* popup = OpenPopup(i);
    if (popup->HandleAllocated() && popup->Handle() == active) break;
    if (popup->HandleAllocated() && IsWindowEnabled(popup->Handle()) && popup->ClosingLock() == 0)
      popup->ClosePopup();
  }
  if (OpenPopupCount() > 0) ClosePopup();
}

void TcxCustomPopupWindow::DoHide() {
  TcxPopupWindow::DoHide();
  auto* owner = ObjectAs<TWinControl>(FOwnerControl);
  if (!FCaptureFocus || !owner || !HandleAllocated() || IsWindowVisible(Handle())) return;
  TCustomForm* form = OwnerForm();
  if (form && form->HandleAllocated() && GetFocus() == form->Handle() && owner->CanFocus() &&
      !form->ComponentState().Contains(csDesigning))
    owner->SetFocus();
}

void TcxCustomPopupWindow::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ACTIVATEAPP:
      Message.Result = 0;  // the hooks do what the application's deactivation asks
      return;
    case WM_ERASEBKGND:
      if (ErasesBackground()) break;
      Message.Result = 1;
      return;
    case CM_POPUPCLOSE: {
      AdjustClosingLock(true);
      TWeakLink<TcxCustomPopupWindow> alive(this);
      ClosePopup();
      if (!alive) return;
      AdjustClosingLock(false);
      if (auto* owner = ObjectAs<TWinControl>(FOwnerControl); owner && owner->HandleAllocated())
        SendMessageA(owner->Handle(), WM_SETFOCUS, 0, 0);
      return;
    }
    case CM_POPUPSHOW:
      ShowPopupFor(FControlToFocus);
      return;
    default:
      break;
  }
  TcxPopupWindow::Dispatch(Message);
}
