// Windowed controls: the window, its procedure, children, alignment, focus,
// keyboard and painting.
#include "platform/Control.h"

#include "platform/CallbackGuard.h"
#include "platform/ControlsProperties.h"
#include "platform/DockTree.h"
#include "platform/DragManager.h"
#include "platform/Exceptions.h"
#include "platform/Properties.h"
#include "platform/Forms.h"
#include "platform/Menus.h"

#include <algorithm>
#include <utility>
#include <map>
#include <string>

const TClassInfo TWinControl::ClassInfo{"TWinControl", &TControl::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TWinControl(static_cast<TComponent*>(owner));
                                        }};

namespace {

constexpr int kObjectSlot = sizeof(LONG_PTR);

// The object pointer sits in the last bytes of the window's extra bytes
// (after a system class's own), so a subclassed EDIT keeps its layout.
int ObjectSlotOffset(HWND wnd) { return static_cast<int>(GetClassLongA(wnd, GCL_CBWNDEXTRA)) - kObjectSlot; }

// The system window procedure under each registered control class; read
// only when a window is created, never per message.
std::map<std::string, WNDPROC>& ClassDefaultProcs() {
  static auto* procs = new std::map<std::string, WNDPROC>;  // lives as long as the classes
  return *procs;
}

// The notification headers being reflected to their controls now (innermost
// last): a CN_NOTIFY whose LParam is not one of them did not come from a
// control's own window and its LParam may be anything.
thread_local std::vector<LPARAM> ReflectedHeaders;

// The windowed control the mouse was last seen over: when the mouse moves
// straight into another window, that one hears it left before the new one
// hears it entered (the system's own leave notice comes later).
TWeakLink<TWinControl> LastMouseControl;

// F1 and WM_HELP: the first non-zero help context from the control that
// asked up through its parents goes to the application. Answers whether
// there was one.
bool RequestHelp(TControl* control) {
  for (TControl* c = control; c; c = c->Parent()) {
    if (c->HelpContext() == 0) continue;
    if (Application) Application->HelpContext(c->HelpContext());
    return true;
  }
  return false;
}

// The system procedure under a window of a control class that no control
// holds: one being created (the few messages before WM_NCCREATE) or one let
// go with DetachWindowHandle. Looked up by class name, as such a window may
// get messages while another is being created.
WNDPROC UnboundDefaultProc(HWND wnd) {
  char name[256] = {};
  GetClassNameA(wnd, name, sizeof name);
  auto& procs = ClassDefaultProcs();
  auto known = procs.find(name);
  return known != procs.end() ? known->second : DefWindowProcA;
}

}  // namespace

LRESULT CALLBACK ControlWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  const int slot = ObjectSlotOffset(wnd);
  auto* control = reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, slot));
  if (!control) {
    if (msg == WM_NCCREATE) {
      const auto* create = reinterpret_cast<CREATESTRUCTA*>(lp);
      // An MDI child's creation data is an MDICREATESTRUCT that carries
      // the value given to CreateWindowEx.
      control = (create->dwExStyle & WS_EX_MDICHILD)
                    ? reinterpret_cast<TWinControl*>(static_cast<MDICREATESTRUCTA*>(create->lpCreateParams)->lParam)
                    : static_cast<TWinControl*>(create->lpCreateParams);
      if (control) {
        SetWindowLongPtrA(wnd, slot, reinterpret_cast<LONG_PTR>(control));
        control->FHandle = wnd;
        HandleCreated(hkWindow);  // WM_NCDESTROY follows even when creation fails later
      }
    }
    if (!control) return CallWindowProcA(UnboundDefaultProc(wnd), wnd, msg, wp, lp);
  }
  const LRESULT result = GuardCallback(
      [&] {
        TMessage message{msg, wp, lp, 0};
        control->WindowProc(message);
        return message.Result;
      },
      LRESULT(0), control);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(wnd, slot, 0);
    HandleDeleted(hkWindow);
  }
  return result;
}

TWinControl* TWinControl::FindControl(HWND wnd) {
  if (!wnd || reinterpret_cast<WNDPROC>(GetClassLongPtrA(wnd, GCLP_WNDPROC)) != ControlWindowProc) return nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid != GetCurrentProcessId()) return nullptr;
  return reinterpret_cast<TWinControl*>(GetWindowLongPtrA(wnd, ObjectSlotOffset(wnd)));
}

TWinControl* TWinControl::FindCreatingControl(HWND wnd, const CREATESTRUCTA* create) {
  if (!wnd || !create || reinterpret_cast<WNDPROC>(GetClassLongPtrA(wnd, GCLP_WNDPROC)) != ControlWindowProc)
    return nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  if (pid != GetCurrentProcessId()) return nullptr;
  // As WM_NCCREATE reads it: an MDI child's data is an MDICREATESTRUCT.
  if (create->dwExStyle & WS_EX_MDICHILD)
    return create->lpCreateParams
               ? reinterpret_cast<TWinControl*>(static_cast<const MDICREATESTRUCTA*>(create->lpCreateParams)->lParam)
               : nullptr;
  return static_cast<TWinControl*>(create->lpCreateParams);
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {
  FControlStyle.Include(csAcceptsControls);
  FBrush.SetColor(FColor);
}

void TWinControl::BeforeDestruction() {
  TControl::BeforeDestruction();
  // The window goes while the whole control (and its canvas) is intact.
  DestroyHandle();
}

TWinControl::~TWinControl() {
  // Leave the parent while this is still known as a windowed control, so
  // the parent's tab order forgets it too.
  if (FParent) FParent->RemoveControl(this);
  DestroyHandle();
  // Docked clients stay where they are, no longer docked.
  for (TControl* client : FDockClients) client->FHostDockSite = nullptr;
  FDockClients.clear();
  delete FDockManager;
  FDockManager = nullptr;
  // Children without an owner go with their parent; owned ones are only
  // let go (their owner frees them).
  while (!FControls.empty()) {
    TControl* child = FControls.back();
    if (!child->Owner()) {
      Free(child);
    } else {
      RemoveControl(child);
    }
  }
}

TWinControl* TWinControl::CreateParented(HWND parentWindow) {
  auto* control = new TWinControl(nullptr);
  control->FParentWindow = parentWindow;
  return control;
}

void TWinControl::SetParentWindow(HWND value) {
  if (FParent || FParentWindow == value) return;
  if (FHandle && value) {
    ::SetParent(FHandle, value);
  } else if (FHandle) {
    DestroyHandle();
  }
  FParentWindow = value;
}

// -- The window ---------------------------------------------------------------

HWND TWinControl::Handle() {
  if (!FHandle) CreateHandle();
  return FHandle;
}

void TWinControl::CreateHandle() {
  if (FHandle) return;
  if (FParent) {
    FParent->Handle();  // creating the parent creates its children too
    if (FHandle) return;
  }
  CreateWnd();
}

void TWinControl::CreateParams(TCreateParams& Params) {
  Params.Caption = FText;
  Params.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (FControlStyle.Contains(csAcceptsControls)) Params.Style |= WS_CLIPCHILDREN;
  if (FTabStop) Params.Style |= WS_TABSTOP;
  if (!IsControlEnabled()) Params.Style |= WS_DISABLED;
  if (FBorderStyle == bsSingle) {
    if (FCtl3D) {
      Params.ExStyle |= WS_EX_CLIENTEDGE;
    } else {
      Params.Style |= WS_BORDER;
    }
  }
  if (UseRightToLeftReading()) Params.ExStyle |= WS_EX_RTLREADING;
  if (UseRightToLeftAlignment()) Params.ExStyle |= WS_EX_RIGHT;
  if (UseRightToLeftScrollBar()) Params.ExStyle |= WS_EX_LEFTSCROLLBAR;
  Params.X = FLeft;
  Params.Y = FTop;
  Params.Width = FWidth;
  Params.Height = FHeight;
  Params.WndParent = FParent ? FParent->Handle() : FParentWindow;
  Params.WindowClass.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
  Params.WindowClass.lpfnWndProc = DefWindowProcA;
  Params.WindowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  Params.WinClassName = ClassName();
}

void TWinControl::CreateSubClass(TCreateParams& Params, const char* systemClass) {
  WNDCLASSA wc{};
  if (!GetClassInfoA(nullptr, systemClass, &wc)) throw EOutOfResources(AnsiString("No window class ") + systemClass);
  Params.WindowClass = wc;
  Params.WindowClass.style &= ~CS_GLOBALCLASS;
}

void TWinControl::CreateWnd() {
  TCreateParams params;
  CreateParams(params);
  if (params.Style & WS_CHILD && !params.WndParent)
    throw EInvalidOperation("Control '" + Name() + "' has no parent window");
  HINSTANCE instance = GetModuleHandleA(nullptr);
  auto& procs = ClassDefaultProcs();
  auto known = procs.find(params.WinClassName);
  if (known == procs.end()) {
    WNDCLASSA wc = params.WindowClass;
    wc.lpfnWndProc = ControlWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = params.WinClassName.c_str();
    wc.cbWndExtra += kObjectSlot;
    if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the window class " + params.WinClassName);
    known = procs.emplace(params.WinClassName, params.WindowClass.lpfnWndProc).first;
  }
  FDefWndProc = known->second;
  FOwnClass = FDefWndProc == params.WindowClass.lpfnWndProc && params.WindowClass.lpfnWndProc == DefWindowProcA;
  if (FVisible && (params.Style & WS_CHILD)) params.Style |= WS_VISIBLE;
  CreateWindowHandle(params);
  if (!FHandle) throw EOutOfResources("Error creating window " + params.WinClassName);
  ApplyFont();
  InitializeWnd();
  for (TControl* child : FControls)
    if (auto* win = ObjectAs<TWinControl>(child); win && !win->FHandle) win->CreateWnd();
  FAlignedClientSize = {-1, -1};
  Realign();
}

void TWinControl::CreateWindowHandle(const TCreateParams& Params) {
  HWND wnd = CreateWindowExA(Params.ExStyle, Params.WinClassName.c_str(), Params.Caption.c_str(), Params.Style,
                             Params.X, Params.Y, Params.Width, Params.Height, Params.WndParent, nullptr,
                             GetModuleHandleA(nullptr), this);
  if (wnd) FHandle = wnd;
}

HWND TWinControl::DetachWindowHandle() {
  if (!FHandle) return nullptr;
  for (TControl* child : FControls)
    if (auto* win = ObjectAs<TWinControl>(child)) win->DestroyHandle();
  BeforeDestroyWnd();
  FText = Text();
  HWND wnd = FHandle;
  if (GetCapture() == wnd) ReleaseCapture();
  SetWindowLongPtrA(wnd, ObjectSlotOffset(wnd), 0);
  HandleDeleted(hkWindow);  // the caller has it now
  FHandle = nullptr;
  FTrackingLeave = false;
  FMouseInControl = false;
  return wnd;
}

void TWinControl::AdoptWindowHandle(HWND wnd, const TCreateParams& Params) {
  char name[256] = {};
  GetClassNameA(wnd, name, sizeof name);
  const int slot = IsWindow(wnd) ? ObjectSlotOffset(wnd) : -1;
  if (slot < 0 || Params.WinClassName != name || GetWindowLongPtrA(wnd, slot) != 0 ||
      GetWindowThreadProcessId(wnd, nullptr) != GetCurrentThreadId())
    throw EInvalidOperation("Control '" + Name() + "' cannot take that window");
  SetWindowLongPtrA(wnd, slot, reinterpret_cast<LONG_PTR>(this));
  HandleCreated(hkWindow);
  FHandle = wnd;
  const DWORD visible = GetWindowLongA(wnd, GWL_STYLE) & WS_VISIBLE;
  SetWindowLongA(wnd, GWL_STYLE, static_cast<LONG>((Params.Style & ~WS_VISIBLE) | visible));
  SetWindowLongA(wnd, GWL_EXSTYLE, static_cast<LONG>(Params.ExStyle));
  if (GetParent(wnd) != Params.WndParent && (Params.Style & WS_CHILD)) ::SetParent(wnd, Params.WndParent);
  SetWindowTextA(wnd, Params.Caption.c_str());
  SetWindowPos(wnd, nullptr, Params.X, Params.Y, Params.Width, Params.Height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  ShowWindow(wnd, (Params.Style & WS_VISIBLE) ? SW_SHOWNA : SW_HIDE);
}

void TWinControl::DestroyWnd() {
  FText = Text();
  HWND wnd = FHandle;
  DestroyWindow(wnd);
  FHandle = nullptr;
}

void TWinControl::DestroyHandle() {
  if (!FHandle) return;
  for (TControl* child : FControls)
    if (auto* win = ObjectAs<TWinControl>(child)) win->DestroyHandle();
  BeforeDestroyWnd();
  FControlState.Include(csDestroyingHandle);
  DestroyWnd();
  FControlState.Exclude(csDestroyingHandle);
}

void TWinControl::RecreateWnd() {
  if (!FHandle) return;
  const bool focused = Focused();
  DestroyHandle();
  CreateHandle();
  if (focused && FHandle) ::SetFocus(FHandle);
}

void TWinControl::ApplyFont() {
  if (FHandle && !FOwnClass) SendMessageA(FHandle, WM_SETFONT, reinterpret_cast<WPARAM>(FFont.Handle()), FALSE);
}

AnsiString TWinControl::Text() const {
  if (!FHandle) return FText;
  const int length = GetWindowTextLengthA(FHandle);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  const int got = GetWindowTextA(FHandle, text.data(), length + 1);
  text.resize(static_cast<size_t>(std::max(got, 0)));
  return text;
}

void TWinControl::SetTextBuf(const AnsiString& value) {
  FText = value;
  if (FHandle) SetWindowTextA(FHandle, value.c_str());
}

// -- Placement ----------------------------------------------------------------

void TWinControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (AWidth < 0) AWidth = 0;
  if (AHeight < 0) AHeight = 0;
  ConstrainSize(AWidth, AHeight);
  if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
  if (FHandle && !IsIconic(FHandle)) {
    SetWindowPos(FHandle, nullptr, ALeft, ATop, AWidth, AHeight, SWP_NOZORDER | SWP_NOACTIVATE);
    return;  // WM_WINDOWPOSCHANGED brings the new bounds back
  }
  ApplyBounds(ALeft, ATop, AWidth, AHeight);
}

void TWinControl::UpdateBoundsFromWindow() {
  if (!FHandle || IsIconic(FHandle)) return;
  RECT r;
  GetWindowRect(FHandle, &r);
  if (GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD) MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
  const int w = r.right - r.left, h = r.bottom - r.top;
  if (r.left == FLeft && r.top == FTop && w == FWidth && h == FHeight) return;
  ApplyBounds(r.left, r.top, w, h);
}

RECT TWinControl::ClientRect() { return WindowClientRect(); }

RECT TWinControl::WindowClientRect() {
  if (FHandle) {
    RECT r;
    GetClientRect(FHandle, &r);
    return r;
  }
  return TControl::ClientRect();
}

void TWinControl::SetClientSize(int width, int height) {
  if (!FHandle) {
    TControl::SetClientSize(width, height);
    return;
  }
  RECT client = ClientRect();
  SetBounds(FLeft, FTop, FWidth - client.right + width, FHeight - client.bottom + height);
}

POINT TWinControl::ClientOrigin() {
  if (!FHandle && FParent) return TControl::ClientOrigin();
  POINT p{0, 0};
  ::ClientToScreen(Handle(), &p);
  return p;
}

// -- Children -----------------------------------------------------------------

void TWinControl::InsertControl(TControl* control) {
  control->FParent = this;
  FControls.push_back(control);
  auto* win = ObjectAs<TWinControl>(control);
  if (win) {
    FTabList.push_back(win);
    if (win->FHandle) {
      if (FHandle) {
        ::SetParent(win->FHandle, FHandle);
      } else {
        win->DestroyHandle();
      }
    } else if (FHandle && !IsDestroying()) {
      win->CreateWnd();
    }
  }
  control->Perform(CM_PARENTCOLORCHANGED);
  control->Perform(CM_PARENTFONTCHANGED);
  control->Perform(CM_PARENTSHOWHINTCHANGED);
  control->Perform(CM_PARENTENABLEDCHANGED);
  control->Perform(CM_PARENTBIDIMODECHANGED);
  control->Perform(CM_PARENTCTL3DCHANGED);
  control->Invalidate();
  Realign();
}

// The form forgets an active control that leaves it (before its window
// goes, and again after, as the focus passes through its parents), or it
// would give the focus back to a control no longer on it.
void TWinControl::ForgetActiveControl(TControl* control) {
  TCustomForm* form = GetParentForm(this);
  if (!form || form->IsDestroying()) return;
  TWinControl* active = form->ActiveControl();
  auto* win = ObjectAs<TWinControl>(control);
  if (active && (active == control || (win && win->ContainsControl(active)))) form->SetActiveControl(nullptr);
}

void TWinControl::RemoveControl(TControl* control) {
  auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it == FControls.end()) return;
  control->Invalidate();
  if (auto* win = ObjectAs<TWinControl>(control)) {
    ForgetActiveControl(control);
    if (win->FHandle) win->DestroyHandle();
    FTabList.erase(std::remove(FTabList.begin(), FTabList.end(), win), FTabList.end());
  }
  ForgetActiveControl(control);
  FControls.erase(std::find(FControls.begin(), FControls.end(), control));
  if (FCaptureControl == control) FCaptureControl = nullptr;
  if (control->FHostDockSite == this) RemoveDockClient(control);
  control->FParent = nullptr;
  if (!IsDestroying()) Realign();
}

bool TWinControl::ContainsControl(TControl* control) const {
  for (; control; control = control->FParent)
    if (control == this) return true;
  return false;
}

TControl* TWinControl::ControlAtPos(POINT pos, bool allowDisabled, bool allWinControls) {
  for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
    TControl* c = *it;
    if (!allWinControls && ObjectAs<TWinControl>(c)) continue;
    if (!c->FVisible || (!allowDisabled && !c->FEnabled)) continue;
    const RECT r = c->BoundsRect();
    if (PtInRect(&r, pos) && c->Perform(CM_HITTEST, 0, MAKELPARAM(pos.x - r.left, pos.y - r.top)) != 0) return c;
  }
  return nullptr;
}

void TWinControl::Broadcast(TMessage& Message) {
  // A copy: a handler may add or remove controls.
  const std::vector<TControl*> children = FControls;
  for (TControl* child : children) {
    Message.Result = child->Perform(Message.Msg, Message.WParam, Message.LParam);
    if (Message.Result != 0) return;
  }
}

void TWinControl::NotifyControls(UINT msg) {
  const std::vector<TControl*> children = FControls;
  for (TControl* child : children) child->Perform(msg);
}

void TWinControl::EnableAlign() {
  if (--FAlignLevel == 0) Realign();
}

void TWinControl::Realign() {
  if (FAlignLevel > 0 || IsDestroying()) return;
  RECT r = ClientRect();
  AdjustClientRect(r);
  ++FAlignLevel;
  try {
    AlignControls(nullptr, r);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  --FAlignLevel;
}

void TWinControl::DoAlign(TAlign alignment, std::vector<TControl*>& list, RECT& rect) {
  for (TControl* c : list) {
    if (c->FAlign != alignment || !c->FVisible) continue;
    const int w = rect.right - rect.left, h = rect.bottom - rect.top;
    switch (alignment) {
      case alTop:
        c->SetBounds(rect.left, rect.top, w, c->FHeight);
        rect.top += c->FHeight;
        break;
      case alBottom:
        c->SetBounds(rect.left, rect.bottom - c->FHeight, w, c->FHeight);
        rect.bottom -= c->FHeight;
        break;
      case alLeft:
        c->SetBounds(rect.left, rect.top, c->FWidth, h);
        rect.left += c->FWidth;
        break;
      case alRight:
        c->SetBounds(rect.right - c->FWidth, rect.top, c->FWidth, h);
        rect.right -= c->FWidth;
        break;
      case alClient:
        c->SetBounds(rect.left, rect.top, w, h);
        break;
      default:
        break;
    }
  }
}

void TWinControl::AlignControls(TControl*, RECT& Rect) {
  std::vector<TControl*> list = FControls;
  // Anchored controls keep their distances to the edges they are tied to.
  const SIZE now{Rect.right - Rect.left, Rect.bottom - Rect.top};
  if (FAlignedClientSize.cx >= 0 && FHandle) {
    const int dx = now.cx - FAlignedClientSize.cx, dy = now.cy - FAlignedClientSize.cy;
    if (dx || dy) {
      for (TControl* c : list) {
        if (c->FAlign != alNone) continue;
        int l = c->FLeft, t = c->FTop, w = c->FWidth, h = c->FHeight;
        if (c->FAnchors.Contains(akRight)) (c->FAnchors.Contains(akLeft) ? w : l) += dx;
        if (c->FAnchors.Contains(akBottom)) (c->FAnchors.Contains(akTop) ? h : t) += dy;
        c->SetBounds(l, t, w, h);
      }
    }
  }
  FAlignedClientSize = now;
  for (TAlign a : {alTop, alBottom, alLeft, alRight, alClient}) DoAlign(a, list, Rect);
  if (FDockManager && FUseDockManager) FDockManager->ResetBounds(false);
}

// -- Focus and tab order ------------------------------------------------------

bool TWinControl::CanFocus() {
  for (TControl* c = this; c; c = c->FParent)
    if (!c->FVisible || !c->FEnabled) return false;
  TCustomForm* form = GetParentForm(this);
  return !form || !form->HandleAllocated() || IsWindowVisible(form->Handle()) || form == this;
}

bool TWinControl::Focused() const { return FHandle && GetFocus() == FHandle; }

void TWinControl::SetFocus() {
  if (!CanFocus()) throw EInvalidOperation("Cannot focus a disabled or invisible window");
  TCustomForm* form = GetParentForm(this);
  if (form && form != this) {
    form->FocusControl(this);
  } else {
    ::SetFocus(Handle());
  }
}

int TWinControl::TabOrder() const {
  if (!FParent) return -1;
  const auto& list = FParent->FTabList;
  return static_cast<int>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int value) {
  if (!FParent) return;
  auto& list = FParent->FTabList;
  list.erase(std::find(list.begin(), list.end(), this));
  value = std::clamp(value, 0, static_cast<int>(list.size()));
  list.insert(list.begin() + value, this);
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) {
  for (TWinControl* c : FTabList) {
    list.push_back(c);
    c->GetTabOrderList(list);
  }
}

TWinControl* TWinControl::FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent) {
  std::vector<TWinControl*> list;
  GetTabOrderList(list);
  const int n = static_cast<int>(list.size());
  if (n == 0) return nullptr;
  int index = static_cast<int>(std::find(list.begin(), list.end(), current) - list.begin());
  if (index == n) index = goForward ? -1 : n;
  for (int step = 0; step < n; ++step) {
    index = ((goForward ? index + 1 : index - 1) % n + n) % n;
    TWinControl* c = list[index];
    if (c == current) break;
    if ((!checkTabStop || c->FTabStop) && (!checkParent || c->FParent == this) && c->CanFocus()) return c;
  }
  return nullptr;
}

void TWinControl::SelectNext(TWinControl* current, bool goForward, bool checkTabStop) {
  if (TWinControl* next = FindNextControl(current, goForward, checkTabStop, false)) next->SetFocus();
}

// -- Keyboard -----------------------------------------------------------------

bool TWinControl::WantsKey(WPARAM key) {
  if (Perform(CM_WANTSPECIALKEY, key) != 0) return true;
  MSG msg{FHandle, WM_KEYDOWN, key, 0, 0, {0, 0}};
  const LRESULT code = Perform(WM_GETDLGCODE, key, reinterpret_cast<LPARAM>(&msg));
  if (code & DLGC_WANTALLKEYS) return true;
  switch (key) {
    case VK_TAB:
      return (code & DLGC_WANTTAB) != 0;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
      return (code & DLGC_WANTARROWS) != 0;
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_EXECUTE:
    case VK_CANCEL:
      return false;
    default:
      return true;
  }
}

bool TWinControl::DoKeyDown(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyDown(Message)) return true;
  WORD key = static_cast<WORD>(Message.WParam);
  const TShiftState shift = KeyboardShiftState();
  if (!FControlStyle.Contains(csNoStdEvents)) {
    KeyDown(key, shift);
    if (key == 0) return true;
  }
  Message.WParam = key;
  return form == this && form->IsShortCut(key, shift);
}

bool TWinControl::DoKeyUp(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyUp(Message)) return true;
  WORD key = static_cast<WORD>(Message.WParam);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    KeyUp(key, KeyboardShiftState());
    if (key == 0) return true;
  }
  Message.WParam = key;
  return false;
}

bool TWinControl::DoKeyPress(TMessage& Message) {
  TCustomForm* form = GetParentForm(this);
  if (form && form != this && form->KeyPreview() && static_cast<TWinControl*>(form)->DoKeyPress(Message)) return true;
  char key = static_cast<char>(Message.WParam);
  if (!FControlStyle.Contains(csNoStdEvents)) {
    KeyPress(key);
    if (key == 0) return true;
  }
  Message.WParam = static_cast<unsigned char>(key);
  return false;
}

void TWinControl::HandleKeyMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: {
      if (DoKeyDown(Message)) return;
      if (Message.Msg == WM_KEYDOWN && Message.WParam == VK_F1 && KeyboardShiftState().Empty()) {
        HELPINFO info{sizeof info, HELPINFO_WINDOW, GetDlgCtrlID(FHandle), FHandle,
                      GetWindowContextHelpId(FHandle), {}};
        GetCursorPos(&info.MousePos);
        Perform(WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
        return;
      }
      TCustomForm* form = GetParentForm(this);
      if (form && form != this && form->IsShortCut(static_cast<WORD>(Message.WParam), KeyboardShiftState())) return;
      if (Message.Msg == WM_KEYDOWN && !WantsKey(Message.WParam)) {
        TWinControl* target = form ? static_cast<TWinControl*>(form) : this;
        if (target->Perform(CM_DIALOGKEY, Message.WParam, Message.LParam) != 0) return;
      }
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (DoKeyUp(Message)) return;
      break;
    case WM_CHAR: {
      const char ch = static_cast<char>(Message.WParam);
      // The character of a navigation key the form has acted on.
      if ((ch == '\t' && !WantsKey(VK_TAB)) || (ch == '\r' && !WantsKey(VK_RETURN)) ||
          (ch == 0x1B && !WantsKey(VK_ESCAPE)))
        return;
      if (DoKeyPress(Message)) return;
      break;
    }
    case WM_SYSCHAR: {
      TCustomForm* form = GetParentForm(this);
      TWinControl* target = form ? static_cast<TWinControl*>(form) : this;
      if (target->Perform(CM_DIALOGCHAR, Message.WParam, Message.LParam) != 0) return;
      break;
    }
    default:
      break;
  }
  DefaultHandler(Message);
}

// -- Painting -----------------------------------------------------------------

void TWinControl::EraseBackground(HDC dc) {
  TColor color = FColor;
  for (TControl* c = this; c->FParent && ObjectAs<TWinControl>(c) &&
                           static_cast<TWinControl*>(c)->FControlStyle.Contains(csParentBackground);
       c = c->FParent)
    color = c->FParent->FColor;
  const TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(color))));
  RECT r = WindowClientRect();
  ::FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

void TWinControl::SetParentBackground(bool value) {
  if (value) {
    FControlStyle.Include(csParentBackground);
  } else {
    FControlStyle.Exclude(csParentBackground);
  }
  Invalidate();
}

void TWinControl::PaintWindow(HDC dc) {
  if (FOwnClass) return;
  TMessage message{WM_PAINT, reinterpret_cast<WPARAM>(dc), 0, 0};
  DefaultHandler(message);
}

void TWinControl::PaintControls(HDC dc, TControl* first) {
  auto it = FControls.begin();
  if (first) it = std::find(FControls.begin(), FControls.end(), first);
  for (; it != FControls.end(); ++it) {
    auto* c = ObjectAs<TGraphicControl>(*it);
    if (!c || !c->FVisible) continue;
    const RECT bounds = c->BoundsRect();
    if (!RectVisible(dc, &bounds)) continue;
    TSavedDCGuard saved(dc);
    POINT origin;
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x + c->FLeft, origin.y + c->FTop, nullptr);
    IntersectClipRect(dc, 0, 0, c->FWidth, c->FHeight);
    c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  }
}

void TWinControl::PaintHandler(HDC dc) {
  {
    TSavedDCGuard saved(dc);
    PaintWindow(dc);
  }
  if (FDockManager && FUseDockManager) {
    TSavedDCGuard saved(dc);
    FDockManager->PaintSite(dc);
  }
  PaintControls(dc);
}

void TWinControl::HandlePaint(TMessage& Message) {
  if (!FOwnClass && !FControlState.Contains(csCustomPaint)) {
    DefaultHandler(Message);
    return;
  }
  HDC given = reinterpret_cast<HDC>(Message.WParam);
  if (given) {
    PaintHandler(given);
    return;
  }
  const TPaintDC paint(FHandle);
  HDC dc = paint.Get();
  if (FDoubleBuffered) {
    RECT client = WindowClientRect();
    TMemoryDC memory(dc);
    TGdiObject bitmap(CheckGDI(CreateCompatibleBitmap(dc, client.right, client.bottom)));
    TSelectObjectGuard select(memory.Get(), bitmap.Get());
    Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(memory.Get()), reinterpret_cast<LPARAM>(memory.Get()));
    PaintHandler(memory.Get());
    BitBlt(dc, 0, 0, client.right, client.bottom, memory.Get(), 0, 0, SRCCOPY);
  } else {
    PaintHandler(dc);
  }
}

void TWinControl::PaintTo(HDC dc, int x, int y) {
  TSavedDCGuard saved(dc);
  POINT origin;
  GetViewportOrgEx(dc, &origin);
  SetViewportOrgEx(dc, origin.x + x, origin.y + y, nullptr);
  SendMessageA(Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT | PRF_ERASEBKGND);
  for (TControl* c : FControls)
    if (auto* win = ObjectAs<TWinControl>(c); win && win->FVisible) win->PaintTo(dc, win->FLeft, win->FTop);
}

void TWinControl::Invalidate() {
  if (FHandle) InvalidateRect(FHandle, nullptr, !FControlStyle.Contains(csOpaque));
}

void TWinControl::Update() {
  if (FHandle) UpdateWindow(FHandle);
}

// -- Messages -----------------------------------------------------------------

void TWinControl::UpdateEnabledWindows() {
  if (FHandle) EnableWindow(FHandle, IsControlEnabled());
  NotifyControls(CM_PARENTENABLEDCHANGED);
  Invalidate();
}

bool TWinControl::IsControlMouseMsg(TMessage& Message) {
  TControl* target = FCaptureControl;
  const POINT p = MessagePoint(Message.LParam);
  if (!target && GetCapture() != FHandle) target = ControlAtPos(p, false);
  if (Message.Msg == WM_MOUSEMOVE && target != FMouseControl.Get()) {
    if (TControl* old = FMouseControl.Get()) old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
    FMouseControl = target;
    if (target) target->Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(target));
  }
  if (!target) return false;
  Message.Result = target->Perform(Message.Msg, Message.WParam,
                                   MAKELPARAM(p.x - target->FLeft, p.y - target->FTop));
  return true;
}

void TWinControl::CheckMouseLeft() {
  POINT p;
  GetCursorPos(&p);
  RECT r;
  GetWindowRect(FHandle, &r);
  HWND under = WindowFromPoint(p);
  if (PtInRect(&r, p) && (under == FHandle || IsChild(FHandle, under))) return;
  FMouseInControl = false;
  if (TControl* old = FMouseControl.Get()) {
    FMouseControl = nullptr;
    old->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(old));
  }
  Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

void TWinControl::TrackMouse(TMessage& Message) {
  if (Message.Msg == WM_MOUSEMOVE) {
    if (!FTrackingLeave) {
      TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, FHandle, 0};
      FTrackingLeave = TrackMouseEvent(&track) != 0;
    }
    if (!FMouseInControl) {
      for (TWinControl* c = LastMouseControl.Get(); c && c->FHandle; c = c->FParent)
        if (c->FMouseInControl && !c->ContainsControl(this)) c->CheckMouseLeft();
      FMouseInControl = true;
      LastMouseControl = this;
      Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
    }
  } else if (Message.Msg == WM_MOUSELEAVE) {
    FTrackingLeave = false;
    // Moving onto a child window also ends tracking here: the mouse only
    // left when it is outside this window and its children. A child tells
    // its parents when it is left, so they check again.
    for (TWinControl* c = this; c && c->FHandle; c = c->FParent)
      if (c->FMouseInControl) c->CheckMouseLeft();
  }
}

bool TWinControl::HandleSetCursor(TMessage& Message) {
  if (reinterpret_cast<HWND>(Message.WParam) != FHandle || LOWORD(Message.LParam) != HTCLIENT) return false;
  TCursor cursor = Screen->Cursor();
  if (cursor == crDefault) {
    POINT p;
    GetCursorPos(&p);
    ::ScreenToClient(FHandle, &p);
    TControl* under = ControlAtPos(p, false);
    cursor = (under ? under : this)->Cursor();
  }
  if (cursor == crDefault) return false;
  ::SetCursor(Screen->Cursors(cursor));
  Message.Result = 1;
  return true;
}

bool TWinControl::IsReflectedNotify(LPARAM header) const {
  if (!header || !FHandle) return false;
  if (std::find(ReflectedHeaders.begin(), ReflectedHeaders.end(), header) == ReflectedHeaders.end()) return false;
  return reinterpret_cast<const NMHDR*>(header)->hwndFrom == FHandle;
}

void TWinControl::ReflectToChild(TMessage& Message, HWND child) {
  TWinControl* control = FindControl(child);
  if (control && control != this) {
    if (Message.Msg == WM_NOTIFY) {
      ReflectedHeaders.push_back(Message.LParam);
      try {
        Message.Result = control->Perform(CN_NOTIFY, Message.WParam, Message.LParam);
      } catch (...) {
        ReflectedHeaders.pop_back();
        throw;
      }
      ReflectedHeaders.pop_back();
      return;
    }
    Message.Result = control->Perform(CN_BASE + Message.Msg, Message.WParam, Message.LParam);
    if (Message.Result != 0 || (Message.Msg != WM_CTLCOLOREDIT && Message.Msg != WM_CTLCOLORSTATIC &&
                                Message.Msg != WM_CTLCOLORLISTBOX && Message.Msg != WM_CTLCOLORBTN))
      return;
  }
  DefaultHandler(Message);
}

void TWinControl::WndProc(TMessage& Message) {
  if (DragFilterMessage(this, Message)) return;
  switch (Message.Msg) {
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
      TrackMouse(Message);
      break;
    default:
      break;
  }
  if ((Message.Msg >= WM_MOUSEFIRST && Message.Msg <= WM_MBUTTONDBLCLK && Message.Msg != WM_MOUSEWHEEL) &&
      IsControlMouseMsg(Message))
    return;
  Dispatch(Message);
}

void TWinControl::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_PAINT:
      HandlePaint(Message);
      return;
    case WM_PRINTCLIENT:
      if (!FOwnClass && !FControlState.Contains(csCustomPaint)) break;
      if (Message.LParam & PRF_ERASEBKGND)
        Perform(WM_ERASEBKGND, Message.WParam, Message.WParam);
      PaintHandler(reinterpret_cast<HDC>(Message.WParam));
      return;
    case WM_ERASEBKGND:
      if (!FOwnClass && !FControlState.Contains(csCustomPaint)) break;
      // Double-buffered windows paint their background with the rest.
      if (!FDoubleBuffered || Message.WParam == static_cast<WPARAM>(Message.LParam))
        EraseBackground(reinterpret_cast<HDC>(Message.WParam));
      Message.Result = 1;
      return;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP:
    case WM_CHAR:
    case WM_SYSCHAR:
      HandleKeyMessage(Message);
      return;
    case CM_FOCUSCHANGED:
      // Passed down to every control of the window (buttons take or give up
      // the default look as the focus moves).
      Broadcast(Message);
      Message.Result = 0;
      return;
    case WM_SETFOCUS: {
      TCustomForm* form = GetParentForm(this);
      if (form && form != this) form->SetFocusedControl(this);
      break;
    }
    case WM_SETCURSOR:
      if (HandleSetCursor(Message)) return;
      break;
    case WM_CAPTURECHANGED:
      // A menu or another window took the mouse: no graphic child holds it
      // any more, so the next moves reach the control under the mouse.
      if (reinterpret_cast<HWND>(Message.LParam) != FHandle) FCaptureControl = nullptr;
      break;
    case WM_WINDOWPOSCHANGED:
      DefaultHandler(Message);
      UpdateBoundsFromWindow();
      return;
    case WM_WINDOWPOSCHANGING: {
      // However the window is sized, the constraints hold.
      DefaultHandler(Message);
      auto* pos = reinterpret_cast<WINDOWPOS*>(Message.LParam);
      if (!(pos->flags & SWP_NOSIZE) && !IsIconic(FHandle) && !IsZoomed(FHandle)) ConstrainSize(pos->cx, pos->cy);
      return;
    }
    case WM_GETMINMAXINFO: {
      DefaultHandler(Message);
      auto* info = reinterpret_cast<MINMAXINFO*>(Message.LParam);
      int minW = FConstraints.MinWidth(), minH = FConstraints.MinHeight();
      int maxW = FConstraints.MaxWidth(), maxH = FConstraints.MaxHeight();
      ConstrainedResize(minW, minH, maxW, maxH);
      if (minW > 0) info->ptMinTrackSize.x = minW;
      if (minH > 0) info->ptMinTrackSize.y = minH;
      if (maxW > 0) info->ptMaxTrackSize.x = maxW;
      if (maxH > 0) info->ptMaxTrackSize.y = maxH;
      return;
    }
    case WM_NCCALCSIZE: {
      DefaultHandler(Message);
      const RECT insets = FrameInsets();
      RECT& client = reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
      client.left += insets.left;
      client.top += insets.top;
      client.right = std::max(client.left, client.right - insets.right);
      client.bottom = std::max(client.top, client.bottom - insets.bottom);
      if (Message.WParam) Message.Result = 0;
      return;
    }
    case WM_NCPAINT:
      DefaultHandler(Message);
      PaintFrame();
      return;
    case WM_HELP: {
      auto* info = reinterpret_cast<HELPINFO*>(Message.LParam);
      TControl* asker = this;
      if (info && info->iContextType == HELPINFO_WINDOW)
        if (TWinControl* c = FindControl(static_cast<HWND>(info->hItemHandle))) asker = c;
      if (RequestHelp(asker)) {
        Message.Result = 1;
        return;
      }
      break;
    }
    case CM_BIDIMODECHANGED:
      ApplyFrameStyles();
      NotifyControls(CM_PARENTBIDIMODECHANGED);
      Invalidate();
      return;
    case CM_CTL3DCHANGED:
      ApplyFrameStyles();
      NotifyControls(CM_PARENTCTL3DCHANGED);
      Invalidate();
      return;
    case WM_SIZE:
      DefaultHandler(Message);
      UpdateBoundsFromWindow();
      Realign();
      return;
    case WM_MOUSEWHEEL: {
      POINT pos = MessagePoint(Message.LParam);
      if (DoMouseWheel(KeysToShiftState(GET_KEYSTATE_WPARAM(Message.WParam)), GET_WHEEL_DELTA_WPARAM(Message.WParam), pos)) {
        Message.Result = 1;
        return;
      }
      Message.Result = Perform(CM_MOUSEWHEEL, Message.WParam, Message.LParam);
      if (Message.Result) return;
      break;
    }
    case WM_CONTEXTMENU: {
      POINT pos = MessagePoint(Message.LParam);
      TControl* target = this;
      POINT local{-1, -1};
      if (Message.LParam != -1) {
        POINT client = pos;
        ::ScreenToClient(FHandle, &client);
        local = client;
        if (TControl* under = ControlAtPos(client, false)) {
          target = under;
          local = POINT{client.x - under->Left(), client.y - under->Top()};
        }
      } else {
        RECT r = ClientRect();
        pos = ClientToScreen(POINT{r.right / 2, r.bottom / 2});
      }
      bool handled = false;
      target->DoContextPopup(local, handled);
      if (handled) {
        Message.Result = 1;
        return;
      }
      if (TPopupMenu* menu = target->PopupMenu()) {
        menu->SetPopupComponent(target);
        menu->Popup(pos.x, pos.y);
        Message.Result = 1;
        return;
      }
      break;
    }
    case WM_COMMAND:
      if (Message.LParam) {
        ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
        return;
      }
      break;
    case WM_NOTIFY:
      if (!Message.LParam) break;
      ReflectToChild(Message, reinterpret_cast<NMHDR*>(Message.LParam)->hwndFrom);
      return;
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORSCROLLBAR:
      if (Message.LParam) {
        ReflectToChild(Message, reinterpret_cast<HWND>(Message.LParam));
        return;
      }
      break;
    case WM_DRAWITEM: {
      auto* item = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      if (item->CtlType != ODT_MENU) {
        ReflectToChild(Message, item->hwndItem);
        return;
      }
      if (DispatchMenuMessage(Message)) return;
      break;
    }
    case WM_MEASUREITEM: {
      // A child control's items: the message names the child only by its
      // id; the controls that measure (owner-drawn list boxes) make their
      // id the handle.
      const auto* item = reinterpret_cast<const MEASUREITEMSTRUCT*>(Message.LParam);
      if (item && item->CtlType != ODT_MENU) {
        HWND child = static_cast<HWND>(LongToHandle(static_cast<LONG>(item->CtlID)));
        if (item->CtlID != 0 && IsWindow(child) && GetParent(child) == FHandle &&
            static_cast<UINT>(GetDlgCtrlID(child)) == item->CtlID) {
          ReflectToChild(Message, child);
          return;
        }
        break;
      }
      if (DispatchMenuMessage(Message)) return;
      break;
    }
    case WM_MENUCHAR:
      // Items of menus this window owns (its menu bar, a popup it opened).
      if (DispatchMenuMessage(Message)) return;
      break;
    case CN_CTLCOLORBTN:
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORLISTBOX:
    case CN_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      ::SetTextColor(dc, ColorToRGB(FFont.Color()));
      ::SetBkColor(dc, ColorToRGB(FColor));
      Message.Result = reinterpret_cast<LRESULT>(FBrush.Handle());
      return;
    }
    case WM_NCDESTROY:
      DefaultHandler(Message);
      FHandle = nullptr;
      FTrackingLeave = false;
      return;
    case CM_ENABLEDCHANGED:
    case CM_PARENTENABLEDCHANGED:
      UpdateEnabledWindows();
      return;
    case CM_VISIBLECHANGED:
      UpdateShowing();
      return;
    case CM_COLORCHANGED:
      FBrush.SetColor(FColor);
      NotifyControls(CM_PARENTCOLORCHANGED);
      Invalidate();
      return;
    case CM_FONTCHANGED:
      ApplyFont();
      NotifyControls(CM_PARENTFONTCHANGED);
      Invalidate();
      return;
    case CM_SHOWHINTCHANGED:
    case CM_PARENTSHOWHINTCHANGED:
      if (Message.Msg == CM_PARENTSHOWHINTCHANGED) TControl::Dispatch(Message);
      NotifyControls(CM_PARENTSHOWHINTCHANGED);
      return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
      Broadcast(Message);
      return;
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
    case CN_SYSKEYDOWN:
    case CN_SYSKEYUP:
    case CN_SYSCHAR:
      // Not taken: the key goes on to the window as usual. A system
      // class never hears of these numbers.
      Message.Result = 0;
      return;
    case CM_ENTER:
      DoEnter();
      return;
    case CM_EXIT:
      DoExit();
      return;
    case CM_RECREATEWND:
      RecreateWnd();
      return;
    case CM_SYSCOLORCHANGE:
      NotifyControls(CM_SYSCOLORCHANGE);
      Invalidate();
      return;
    case WM_SYSCOLORCHANGE:
      NotifyControls(CM_SYSCOLORCHANGE);
      break;
    default:
      break;
  }
  TControl::Dispatch(Message);
}

void TWinControl::UpdateShowing() {
  if (FVisible && !FHandle && FParent && FParent->FHandle) CreateHandle();
  if (!FHandle || !(GetWindowLongA(FHandle, GWL_STYLE) & WS_CHILD)) return;
  ShowWindow(FHandle, FVisible ? SW_SHOWNOACTIVATE : SW_HIDE);
}

void TWinControl::DefaultHandler(TMessage& Message) {
  if (!FHandle) {
    TControl::DefaultHandler(Message);
    return;
  }
  Message.Result = CallWindowProcA(FDefWndProc ? FDefWndProc : DefWindowProcA, FHandle, Message.Msg, Message.WParam,
                                   Message.LParam);
}


// -- Frame, reading order and scale ---------------------------------------------

RECT TWinControl::FrameInsets() const {
  RECT insets{0, 0, 0, 0};
  if (FBevelKind != bkNone) {
    int edge = 0;
    if (FBevelInner != bvNone) edge += FBevelWidth;
    if (FBevelOuter != bvNone) edge += FBevelWidth;
    if (FBevelEdges.Contains(beLeft)) insets.left += edge;
    if (FBevelEdges.Contains(beTop)) insets.top += edge;
    if (FBevelEdges.Contains(beRight)) insets.right += edge;
    if (FBevelEdges.Contains(beBottom)) insets.bottom += edge;
  }
  if (!BorderWidthInClient()) {
    insets.left += FBorderWidth;
    insets.top += FBorderWidth;
    insets.right += FBorderWidth;
    insets.bottom += FBorderWidth;
  }
  return insets;
}

void TWinControl::FrameChanged() {
  if (FHandle) {
    SetWindowPos(FHandle, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE);
  }
  Realign();
}

void TWinControl::ApplyFrameStyles() {
  if (!FHandle) return;
  TCreateParams params;
  CreateParams(params);
  constexpr DWORD kStyles = WS_BORDER;
  constexpr DWORD kExStyles = WS_EX_CLIENTEDGE | WS_EX_RTLREADING | WS_EX_RIGHT | WS_EX_LEFTSCROLLBAR;
  const DWORD style = GetWindowLongA(FHandle, GWL_STYLE), ex = GetWindowLongA(FHandle, GWL_EXSTYLE);
  const DWORD newStyle = (style & ~kStyles) | (params.Style & kStyles);
  const DWORD newEx = (ex & ~kExStyles) | (params.ExStyle & kExStyles);
  if (newStyle == style && newEx == ex) return;
  SetWindowLongA(FHandle, GWL_STYLE, static_cast<LONG>(newStyle));
  SetWindowLongA(FHandle, GWL_EXSTYLE, static_cast<LONG>(newEx));
  FrameChanged();
}

void TWinControl::SetBorderStyle(TBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  ApplyFrameStyles();
}

void TWinControl::SetBorderWidth(int value) {
  value = std::max(value, 0);
  if (FBorderWidth == value) return;
  FBorderWidth = value;
  FrameChanged();
  Invalidate();
}

void TWinControl::SetBevelKind(TBevelKind value) {
  if (FBevelKind == value) return;
  FBevelKind = value;
  FrameChanged();
}

void TWinControl::SetBevelInner(TBevelCut value) {
  if (FBevelInner == value) return;
  FBevelInner = value;
  FrameChanged();
}

void TWinControl::SetBevelOuter(TBevelCut value) {
  if (FBevelOuter == value) return;
  FBevelOuter = value;
  FrameChanged();
}

void TWinControl::SetBevelEdges(TBevelEdges value) {
  if (FBevelEdges == value) return;
  FBevelEdges = value;
  FrameChanged();
}

void TWinControl::SetBevelWidth(int value) {
  value = std::max(value, 1);
  if (FBevelWidth == value) return;
  FBevelWidth = value;
  FrameChanged();
}

namespace {

UINT BevelEdgeFlags(TBevelEdges edges) {
  UINT flags = 0;
  if (edges.Contains(beLeft)) flags |= BF_LEFT;
  if (edges.Contains(beTop)) flags |= BF_TOP;
  if (edges.Contains(beRight)) flags |= BF_RIGHT;
  if (edges.Contains(beBottom)) flags |= BF_BOTTOM;
  return flags;
}

// The edge DrawEdge draws for one cut of a bevel, outer or inner.
UINT BevelCutEdge(TBevelCut cut, bool outer) {
  switch (cut) {
    case bvLowered:
      return outer ? BDR_SUNKENOUTER : BDR_SUNKENINNER;
    case bvRaised:
      return outer ? BDR_RAISEDOUTER : BDR_RAISEDINNER;
    default:
      return 0;
  }
}

}  // namespace

// Draws the bevel and the border width between the client area and
// whatever the system drew around it (border, scroll bars).
void TWinControl::PaintFrame() {
  const RECT insets = FrameInsets();
  if (!insets.left && !insets.top && !insets.right && !insets.bottom) return;
  RECT window, client;
  GetWindowRect(FHandle, &window);
  GetClientRect(FHandle, &client);
  MapWindowPoints(FHandle, nullptr, reinterpret_cast<POINT*>(&client), 2);
  OffsetRect(&client, -window.left, -window.top);
  const TWindowDC dc(FHandle, TWindowDC::WholeWindow);
  PaintFrame(dc.Get(), client, FColor);
}

void TWinControl::PaintFrame(HDC h, const RECT& inner, TColor fill) {
  const RECT insets = FrameInsets();
  RECT outer{inner.left - insets.left, inner.top - insets.top, inner.right + insets.right, inner.bottom + insets.bottom};
  TSavedDCGuard saved(h);
  ExcludeClipRect(h, inner.left, inner.top, inner.right, inner.bottom);
  const TGdiObject brush(CheckGDI(CreateSolidBrush(ColorToRGB(fill))));
  FillRect(h, &outer, static_cast<HBRUSH>(brush.Get()));
  if (FBevelKind == bkNone) return;
  const UINT edges = BevelEdgeFlags(FBevelEdges);
  UINT flags = edges;
  if (FBevelKind == bkSoft) flags |= BF_SOFT;
  if (FBevelKind == bkFlat) flags |= BF_FLAT;
  if (!FCtl3D) flags |= BF_MONO;
  // Each cut is BevelWidth one-pixel lines, the outer cut first.
  RECT r = outer;
  for (const auto& [cut, outerCut] : {std::pair{FBevelOuter, true}, std::pair{FBevelInner, false}}) {
    const UINT edge = BevelCutEdge(cut, outerCut);
    for (int i = 0; cut != bvNone && i < FBevelWidth; ++i) {
      if (edge) {
        DrawEdge(h, &r, edge, flags | BF_ADJUST);
      } else {  // bvSpace: an empty line
        if (edges & BF_LEFT) ++r.left;
        if (edges & BF_TOP) ++r.top;
        if (edges & BF_RIGHT) --r.right;
        if (edges & BF_BOTTOM) --r.bottom;
      }
    }
  }
}

void TWinControl::ScaleControls(int M, int D) {
  const std::vector<TControl*> children = FControls;
  for (TControl* child : children) child->ChangeScale(M, D);
}

void TWinControl::ScaleBy(int M, int D) {
  if (M == D || D == 0) return;
  ChangeScale(M, D);
}

void TWinControl::ChangeScale(int M, int D) {
  if (M == D || D == 0) return;
  DisableAlign();
  try {
    ScaleControls(M, D);
    TControl::ChangeScale(M, D);
  } catch (...) {
    --FAlignLevel;
    throw;
  }
  EnableAlign();
}


// -- Published properties -------------------------------------------------------

namespace {

// Only a control with a parent has a place in a tab order.
bool TabOrderStored(TObject* o) { return static_cast<TWinControl*>(o)->Parent() != nullptr; }

const TPublishedRegistration winControlRegistration(&TWinControl::ClassInfo, {
    StoredWhen(Property<&TWinControl::TabOrder, &TWinControl::SetTabOrder>("TabOrder"), TabOrderStored),
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(false),
    Property<&TWinControl::DoubleBuffered, &TWinControl::SetDoubleBuffered>("DoubleBuffered").Default(false),
    Event<&TWinControl::OnKeyDown>("OnKeyDown"),
    Event<&TWinControl::OnKeyUp>("OnKeyUp"),
    Event<&TWinControl::OnKeyPress>("OnKeyPress"),
    Event<&TWinControl::OnEnter>("OnEnter"),
    Event<&TWinControl::OnExit>("OnExit"),
});

}  // namespace
