#include "panels/Popups.h"

#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "panels/FrameController.h"
#include "platform/ControlsProperties.h"
#include "platform/Forms.h"
#include "platform/Properties.h"

#include <vssym32.h>

#include <algorithm>
#include <vector>

const TClassInfo TRzCustomPopup::ClassInfo{"TRzCustomPopup", &TRzCustomPanel::ClassInfo,
                                           [](TObject* owner) -> TObject* {
                                             return new TRzCustomPopup(static_cast<TComponent*>(owner));
                                           }};
const TClassInfo TRzPopup::ClassInfo{"TRzPopup", &TRzCustomPopup::ClassInfo, [](TObject* owner) -> TObject* {
                                       return new TRzPopup(static_cast<TComponent*>(owner));
                                     }};
const TClassInfo TRzPopupPanel::ClassInfo{"TRzPopupPanel", &TRzCustomPopup::ClassInfo,
                                          [](TObject* owner) -> TObject* {
                                            return new TRzPopupPanel(static_cast<TComponent*>(owner));
                                          }};

// -- TRzCustomPopup --------------------------------------------------------------------

TRzCustomPopup::TRzCustomPopup(TComponent* AOwner) : TRzCustomPanel(AOwner) {
  SetBorderWidth(2);
  FBorderOuter = fsPopup;
  FFlatColorAdjustment = 0;
  SetVisible(false);
}

void TRzCustomPopup::AdjustClientRect(RECT& Rect) {
  TRzCustomPanel::AdjustClientRect(Rect);
  Rect = ShrinkForBorders(Rect, false);
}

void TRzCustomPopup::Paint() {
  if (PanelVisualStylesEnabled()) {
    if (const HTHEME theme = AcquireThemeHandle(totEdit)) {
      UxDrawThemeBackground(theme, Canvas()->Handle(), EP_EDITBORDER_NOSCROLL, EPSN_DISABLED, WindowClientRect(),
                            nullptr);
      return;
    }
  }
  TRzCustomPanel::Paint();
}

// -- TRzPopup ------------------------------------------------------------------------------

void TRzPopup::CreateParams(TCreateParams& Params) {
  TRzCustomPopup::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = 0;
}

void TRzPopup::PostClose() {
  if (HandleAllocated()) PostMessageA(Handle(), WM_POPUPCLOSE, 0, 0);
}

void TRzPopup::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
      Message.Result = MA_NOACTIVATE;
      return;
    case WM_NCACTIVATE:
      Message.Result = 0;
      return;
    case WM_SYSCOMMAND:
      PostClose();
      break;
    case WM_ACTIVATEAPP:
      // Sent, never queued: the loop would not see it.
      if (!Message.WParam) PostClose();
      break;
    case WM_POPUPCLOSE:
      // The loop frees the popup once it has returned; a repeated close
      // only repeats the request.
      FCloseRequested = true;
      return;
    default:
      break;
  }
  if (Message.Msg >= WM_KEYFIRST && Message.Msg <= WM_KEYLAST) {
    if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_ESCAPE) PostClose();
    if (FKeyTarget && FKeyTarget->HandleAllocated()) {
      Message.Result = SendMessageA(FKeyTarget->Handle(), Message.Msg, Message.WParam, Message.LParam);
    } else {
      DefaultHandler(Message);
    }
    return;
  }
  TRzCustomPopup::WndProc(Message);
}

// -- TRzPopupPanel ----------------------------------------------------------------------------

TRzPopupPanel::TRzPopupPanel(TComponent* AOwner) : TRzCustomPopup(AOwner) {
  SetAlignment(taRightJustify);
  FWidth = 100;
  FHeight = 100;
  FColor = clBtnFace;
  FParentColor = false;
  Brush()->SetColor(FColor);
}

TRzPopupPanel::~TRzPopupPanel() {
  if (FHookedForm) FHookedForm->WindowProc = FFormWndProc;
}

RECT TRzPopupPanel::ContentRect() {
  RECT r = ClientRect();
  AdjustClientRect(r);
  return r;
}

void TRzPopupPanel::FitToControls() {
  if (!FAutoSize || ControlCount() == 0) return;
  int right = 0, bottom = 0;
  for (int i = 0; i < ControlCount(); ++i) {
    TControl* child = Controls(i);
    if (!child->Visible()) continue;
    right = std::max(right, child->Left() + child->Width());
    bottom = std::max(bottom, child->Top() + child->Height());
  }
  const RECT content = ContentRect();
  SetBounds(Left(), Top(), right + (Width() - content.right), bottom + (Height() - content.bottom));
}

bool TRzPopupPanel::IsWindowInside(HWND wnd) const {
  return FPopupHandle && wnd && (wnd == FPopupHandle || IsChild(FPopupHandle, wnd));
}

void TRzPopupPanel::ClosePopup() {
  if (!FPopup) return;
  FPopup->FAwaitingChoice = false;
  FPopup->PostClose();
}

// Posts the close without deciding the answer: the popup is dismissed.
void TRzPopupPanel::ClosePopupWindow() {
  if (FPopup && FInLoop) FPopup->PostClose();
}

void TRzPopupPanel::DestroyWnd() {
  if (FPopup && FInLoop) {
    RestoreFromPopup();
    ClosePopupWindow();
  }
  TRzCustomPopup::DestroyWnd();
}

void TRzPopupPanel::Dispatch(TMessage& Message) {
  // The focus leaving for a window outside the popup closes it (sent, so
  // the loop never sees it).
  if (Message.Msg == WM_KILLFOCUS && FInLoop && !IsWindowInside(reinterpret_cast<HWND>(Message.WParam)))
    ClosePopupWindow();
  TRzCustomPopup::Dispatch(Message);
}

// The form hears of its deactivation and of the program's: both close the
// popup, unless the activation moves into the popup itself.
void TRzPopupPanel::FormWndProc(TMessage& Message) {
  if (FInLoop) {
    if (Message.Msg == WM_ACTIVATE && LOWORD(Message.WParam) == WA_INACTIVE &&
        !IsWindowInside(reinterpret_cast<HWND>(Message.LParam)))
      ClosePopupWindow();
    if (Message.Msg == WM_ACTIVATEAPP && !Message.WParam) ClosePopupWindow();
  }
  FFormWndProc(Message);
}

bool TRzPopupPanel::PopupAt(TControl* control, int x, int y) {
  if (FPopup) return false;
  TWeakLink<TControl> self(this);
  FPopupControl = control;
  TCustomForm* form = GetParentForm(this);
  TWeakLink<TControl> activeControl(form ? form->ActiveControl() : nullptr);
  DoPopup();
  if (!self.Get()) return false;
  FitToControls();
  HandleNeeded();
  RecreateWnd();
  FPopup = New<TRzPopup>(this);
  FPopup->FPopupPanel = this;
  FPopup->FPopupControl = control;
  FPopup->SetParent(form);
  FPopup->SetColor(Color());
  FPopup->SetFont(Font());
  FPopup->SetHint(Hint());
  FPopup->SetShowHint(ShowHint());
  FPopup->SetCtl3D(false);
  FPopup->SetBorderOuter(BorderOuter());
  FPopup->SetFlatColor(FlatColor());
  FPopup->HandleNeeded();
  FPopupHandle = FPopup->Handle();
  FRestored = false;
  if (form) {
    FHookedForm = form;
    FFormWndProc = form->WindowProc;
    form->WindowProc = TWndMethod::Bind<&TRzPopupPanel::FormWndProc>(this);
  }
  bool result = false;
  auto finish = [&] {
    if (!self.Get()) return;
    FInLoop = false;
    RestoreFromPopup();
    if (FHookedForm) {
      if (FHookedForm->WindowProc == TWndMethod::Bind<&TRzPopupPanel::FormWndProc>(this))
        FHookedForm->WindowProc = FFormWndProc;
      FHookedForm = nullptr;
    }
    // The popup goes here, once, outside its own window procedure; closes
    // still waiting for its window go with it.
    MSG pending;
    while (PeekMessageA(&pending, FPopupHandle, WM_POPUPCLOSE, WM_POPUPCLOSE, PM_REMOVE)) {
    }
    TRzPopup* popup = FPopup;
    FPopup = nullptr;
    FPopupHandle = nullptr;
    popup->SetParent(nullptr);
    Free(popup);
  };
  try {
    result = ShowPopupWindow(x, y);
  } catch (...) {
    finish();
    throw;
  }
  finish();
  if (!self.Get()) return result;
  DoClose();
  if (!self.Get()) return result;
  if (Application && Application->Active()) {
    if (auto* active = ObjectAs<TWinControl>(activeControl.Get()); active && active->CanFocus()) active->SetFocus();
  }
  FPopupControl = nullptr;
  return result;
}

bool TRzPopupPanel::ShowPopupWindow(int x, int y) {
  TControl* anchor = FPopupControl;
  RECT anchorRect{};
  if (auto* win = ObjectAs<TWinControl>(anchor); win && win->HandleAllocated()) {
    GetWindowRect(win->Handle(), &anchorRect);
  } else if (anchor && anchor->Parent()) {
    const POINT topLeft = anchor->Parent()->ClientToScreen(POINT{anchor->Left(), anchor->Top()});
    anchorRect = RECT{topLeft.x, topLeft.y, topLeft.x + anchor->Width(), topLeft.y + anchor->Height()};
  } else if (anchor) {
    anchorRect = anchor->BoundsRect();
  }

  // The controls move into the popup, last first; the first enabled,
  // visible windowed one takes the keys.
  FPopup->FKeyTarget = nullptr;
  std::vector<TControl*> children;
  for (int i = 0; i < ControlCount(); ++i) children.push_back(Controls(i));
  for (TControl* child : children)
    if (auto* win = ObjectAs<TWinControl>(child); win && !FPopup->FKeyTarget && win->Enabled() && win->Visible())
      FPopup->FKeyTarget = win;
  for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->SetParent(FPopup);
  ::SetFocus(Handle());

  const int w = Width(), h = Height();
  int left = 0, top = 0;
  if (x == -1 && y == -1) {
    top = anchorRect.bottom;
    switch (Alignment()) {
      case taLeftJustify: left = anchorRect.left; break;
      case taRightJustify: left = anchorRect.right - w; break;
      case taCenter: left = (anchorRect.left + anchorRect.right - w) / 2; break;
    }
  } else {
    left = anchorRect.left + x;
    top = anchorRect.top + y;
  }
  // On the screen: the work area of the monitor nearest to the point.
  RECT work{};
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (const HMONITOR monitor = MonitorFromPoint(POINT{left, top}, MONITOR_DEFAULTTONEAREST);
      monitor && GetMonitorInfoA(monitor, &info)) {
    work = info.rcWork;
  } else {
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  }
  if (left + w > work.right) left = work.right - w;
  if (top + h > work.bottom) top = anchorRect.top - h;  // above the anchor
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;

  FPopup->SetBounds(left, top, w, h);
  SetWindowPos(FPopupHandle, HWND_TOP, left, top, w, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  FPopup->SetVisible(true);
  FPopup->FAwaitingChoice = true;
  FInLoop = true;
  RunPopupLoop();
  return FPopup && !FPopup->FAwaitingChoice;
}

void TRzPopupPanel::RunPopupLoop() {
  TWeakLink<TControl> self(this);
  for (;;) {
    if (!self.Get() || !FPopup) return;
    if (Application && Application->Terminated()) {
      RestoreFromPopup();
      FPopup->PostClose();
      return;
    }
    if (FPopup->FCloseRequested) {
      RestoreFromPopup();
      return;
    }
    MSG msg;
    if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
      // Blocks until the next message; sent messages run meanwhile.
      if (Application) {
        Application->Idle();
      } else {
        WaitMessage();
      }
      continue;
    }
    if (msg.message == WM_POPUPCLOSE && msg.hwnd == FPopupHandle) {
      // Left in the queue: the popup hears it and is freed after the loop.
      RestoreFromPopup();
      return;
    }
    switch (msg.message) {
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONDBLCLK:
        if (!IsWindowInside(msg.hwnd)) {
          // The click that closes the popup goes nowhere else.
          PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
          RestoreFromPopup();
          FPopup->PostClose();
          return;
        }
        break;
      default:
        if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST) {
          PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
          SendMessageA(FPopupHandle, msg.message, msg.wParam, msg.lParam);
          continue;
        }
        break;
    }
    if (Application) {
      Application->HandleMessage();
    } else if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void TRzPopupPanel::RestoreFromPopup() {
  if (FRestored || !FPopup) return;
  FRestored = true;
  FInLoop = false;
  SetWindowPos(FPopupHandle, nullptr, 0, 0, 0, 0,
               SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  FPopup->SetVisible(false);
  std::vector<TControl*> children;
  for (int i = 0; i < FPopup->ControlCount(); ++i) children.push_back(FPopup->Controls(i));
  for (auto it = children.rbegin(); it != children.rend(); ++it) (*it)->SetParent(this);
}

// -- Published properties ----------------------------------------------------------------------

namespace {

using P = TRzCustomPopup;
const TPublishedRegistration customPopupRegistration(&P::ClassInfo, {
    Property<&TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth>("BevelWidth").Default(1),
    Property<&P::BorderOuter, &P::SetBorderOuter>("BorderOuter", FrameStyleNames).Default(fsPopup),
    // The constructor's 2 is the default: a popup with no border width
    // stores its 0.
    Property<&TWinControl::BorderWidth, &TWinControl::SetBorderWidth>("BorderWidth").Default(2),
    Property<&P::FlatColorAdjustment, &P::SetFlatColorAdjustment>("FlatColorAdjustment").Default(0),
});

using PP = TRzPopupPanel;
const TPublishedRegistration popupPanelRegistration(&PP::ClassInfo, {
    Property<&TCustomPanel::Alignment, &TCustomPanel::SetAlignment>("Alignment", AlignmentNames)
        .Default(taRightJustify),
    Property<&PP::AutoSize, &PP::SetAutoSize>("AutoSize").Default(true),
    Event<&PP::OnClose>("OnClose"),
    Event<&PP::OnPopup>("OnPopup"),
});

}  // namespace
