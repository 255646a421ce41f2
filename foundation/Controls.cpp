#include "foundation/Controls.h"

#include "foundation/Canvas.h"
#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/FormatSettings.h"
#include "platform/Forms.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <memory>

namespace {

bool UnitEnding = false;
HMODULE User32 = nullptr;
TcxOSFlags OSFlags;
TDesignerModifiedHook DesignerHook;
POINT LastCursorPos{-1, -1};

}  // namespace

// ---------------------------------------------------------------------------
// Message windows.

const TClassInfo TcxMessageWindow::ClassInfo{"TcxMessageWindow", &TObject::ClassInfo, nullptr};

TcxMessageWindow::TcxMessageWindow() {
  FHandle = AllocateHWnd(TWndMethod::Bind<&TcxMessageWindow::WndProc>(this));
}

TcxMessageWindow::~TcxMessageWindow() {
  if (FHandle) DeallocateHWnd(FHandle);
}

void TcxMessageWindow::ProcessWindowMessage(TMessage& message) {
  message.Result = DefWindowProcA(FHandle, message.Msg, message.WParam, message.LParam);
}

namespace {

std::vector<TcxTimer*> RunningTimers;

bool IsRunningTimer(UINT_PTR id) {
  return std::any_of(RunningTimers.begin(), RunningTimers.end(),
                     [id](TcxTimer* t) { return t->EventID() == id; });
}

class TcxTimerWindow : public TcxMessageWindow {
protected:
  void ProcessWindowMessage(TMessage& message) override {
    if (message.Msg != WM_TIMER) {
      TcxMessageWindow::ProcessWindowMessage(message);
      return;
    }
    message.Result = 0;
    // A timer freed meanwhile is no longer listed: its tick is dropped.
    for (TcxTimer* timer : RunningTimers)
      if (timer->EventID() == message.WParam) {
        timer->TimeOut();
        return;
      }
  }
};

TcxTimerWindow* TimerWindow = nullptr;
TcxMessageWindow* SharedWindow = nullptr;

TcxTimerWindow* GetTimerWindow() {
  if (!TimerWindow && !UnitEnding) TimerWindow = new TcxTimerWindow();
  return TimerWindow;
}

}  // namespace

int RunningTimerCount() { return static_cast<int>(RunningTimers.size()); }
HWND TimerWindowHandle() { return TimerWindow ? TimerWindow->Handle() : nullptr; }

const TClassInfo TcxTimer::ClassInfo{"TcxTimer", &TComponent::ClassInfo,
                                     [](TObject* owner) -> TObject* {
                                       return new TcxTimer(static_cast<TComponent*>(owner));
                                     }};

TcxTimer::TcxTimer(TComponent* owner) : TComponent(owner) {}

TcxTimer::~TcxTimer() { KillTimer(); }

void TcxTimer::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  UpdateTimer();
}

void TcxTimer::SetInterval(UINT value) {
  if (value == 0 || value == FInterval) return;
  FInterval = value;
  UpdateTimer();
}

void TcxTimer::SetOnTimer(const TNotifyEvent& value) {
  FOnTimer = value;
  UpdateTimer();
}

void TcxTimer::TimeOut() {
  // A copy: the handler may free this timer (a tracked caller that stops
  // its tracking), and with it the stored event.
  const TNotifyEvent handler = FOnTimer;
  FireEvent(handler, static_cast<TObject*>(this));
}

void TcxTimer::UpdateTimer() {
  KillTimer();
  SetTimer();
}

void TcxTimer::KillTimer() {
  if (!FTimerOn) return;
  if (TimerWindow) ::KillTimer(TimerWindow->Handle(), EventID());
  FTimerOn = false;
  RunningTimers.erase(std::remove(RunningTimers.begin(), RunningTimers.end(), this), RunningTimers.end());
}

void TcxTimer::SetTimer() {
  if (!FEnabled || FTimerOn || !FOnTimer) return;
  TcxTimerWindow* window = GetTimerWindow();
  if (!window) return;
  FTimerOn = ::SetTimer(window->Handle(), EventID(), FInterval, nullptr) != 0;
  if (FTimerOn && !IsRunningTimer(EventID())) RunningTimers.push_back(this);
}

// ---------------------------------------------------------------------------
// Mouse-leave tracking.

namespace {

class TMouseTrackingTimer : public TcxTimer {
public:
  TMouseTrackingTimer(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller)
      : FCaller(caller), FControl(control), FBounds(bounds) {
    SetInterval(10);
    SetOnTimer(TNotifyEvent::Lambda([this](TObject*) { Tick(); }));
  }
  IcxMouseTrackingCaller* Caller() const { return FCaller; }

private:
  void Tick();
  IcxMouseTrackingCaller* FCaller;
  TWinControl* FControl;
  RECT FBounds;  // screen co-ordinates
};

std::vector<TMouseTrackingTimer*>* TrackingTimers = nullptr;

TMouseTrackingTimer* FindTracking(IcxMouseTrackingCaller* caller) {
  if (!TrackingTimers) return nullptr;
  for (TMouseTrackingTimer* t : *TrackingTimers)
    if (t->Caller() == caller) return t;
  return nullptr;
}

void TMouseTrackingTimer::Tick() {
  const POINT cursor = QueryCursorPos();
  bool inside;
  IcxMouseTrackingCaller2* extended = nullptr;
  if (SUCCEEDED(FCaller->QueryInterface(__uuidof(IcxMouseTrackingCaller2), reinterpret_cast<void**>(&extended))) &&
      extended) {
    inside = false;
    if (FControl && FControl->HandleAllocated()) {
      POINT client = cursor;
      ScreenToClient(FControl->Handle(), &client);
      inside = extended->PtInCaller(client) != FALSE;
    }
    extended->Release();
  } else {
    inside = PtInRect(&FBounds, cursor) != FALSE;
  }
  if (inside) return;
  // Read before the control hears of the leave: its handler may stop the
  // tracking, which frees this timer.
  IcxMouseTrackingCaller* caller = FCaller;
  if (FControl && FControl->HandleAllocated()) {
    POINT client = cursor;
    ScreenToClient(FControl->Handle(), &client);
    RECT clientRect;
    GetClientRect(FControl->Handle(), &clientRect);
    if (!PtInRect(&clientRect, client))
      FControl->Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(static_cast<TControl*>(FControl)));
  }
  caller->MouseLeave();
  // The caller may have stopped its tracking itself, which freed this timer.
  StopHoverTracking(caller);
}

}  // namespace

void StartHoverTracking(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller) {
  if (UnitEnding || !caller || FindTracking(caller)) return;
  RECT screen = bounds;
  if (control && control->HandleAllocated()) screen = TranslateWindowRect(control->Handle(), nullptr, bounds);
  if (!TrackingTimers) TrackingTimers = new std::vector<TMouseTrackingTimer*>();
  TrackingTimers->push_back(new TMouseTrackingTimer(control, screen, caller));
}

void StopHoverTracking(IcxMouseTrackingCaller* caller) {
  TMouseTrackingTimer* timer = FindTracking(caller);
  if (!timer) return;
  TrackingTimers->erase(std::remove(TrackingTimers->begin(), TrackingTimers->end(), timer), TrackingTimers->end());
  delete timer;
}

bool IsHoverTracking(IcxMouseTrackingCaller* caller) { return !UnitEnding && FindTracking(caller) != nullptr; }

// ---------------------------------------------------------------------------
// The settings controller.

namespace {

TcxSettingsController* SettingsController = nullptr;
const char SettingsWindowClass[] = "TcxSettingsControllerWindow";

}  // namespace

const TClassInfo TcxSettingsController::ClassInfo{"TcxSettingsController", &TObject::ClassInfo, nullptr};

TcxSettingsController* cxSettingsController() {
  if (!SettingsController && !UnitEnding) SettingsController = new TcxSettingsController();
  return SettingsController;
}

TcxSettingsController::~TcxSettingsController() { ReleaseWindow(); }

void TcxSettingsController::AddControl(TWinControl* control) {
  if (!control || std::find(FControls.begin(), FControls.end(), control) != FControls.end()) return;
  FControls.push_back(control);
  if (FWindow) return;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA existing;
  if (!GetClassInfoA(instance, SettingsWindowClass, &existing)) {
    WNDCLASSA cls{};
    cls.lpfnWndProc = MethodWindowProc;
    cls.hInstance = instance;
    cls.lpszClassName = SettingsWindowClass;
    RegisterClassA(&cls);
  }
  FMethod = TWndMethod::Bind<&TcxSettingsController::WndProc>(this);
  // A hidden top-level window: message-only windows miss broadcasts.
  FWindow = CreateWindowExA(WS_EX_TOOLWINDOW, SettingsWindowClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            instance, nullptr);
  if (!FWindow) return;
  HandleCreated(hkWindow);
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&FMethod));
}

void TcxSettingsController::RemoveControl(TWinControl* control) {
  FControls.erase(std::remove(FControls.begin(), FControls.end(), control), FControls.end());
  if (FControls.empty()) ReleaseWindow();
}

void TcxSettingsController::ReleaseWindow() {
  if (!FWindow) return;
  SetWindowLongPtrA(FWindow, GWLP_USERDATA, 0);
  DestroyWindow(FWindow);
  HandleDeleted(hkWindow);
  FWindow = nullptr;
}

void TcxSettingsController::WndProc(TMessage& message) {
  if (message.Msg == WM_SETTINGCHANGE && message.WParam == SPI_SETNONCLIENTMETRICS) {
    for (TWinControl* control : std::vector<TWinControl*>(FControls))
      if (control->HandleAllocated()) PostMessageA(control->Handle(), WM_SCROLLBARMETRICS, 0, 0);
    message.Result = 0;
    return;
  }
  message.Result = DefWindowProcA(FWindow, message.Msg, message.WParam, message.LParam);
}

// ---------------------------------------------------------------------------
// Popup menus.

bool ShowControlPopupMenu(TControl* control, TComponent* menu, int x, int y) {
  if (!menu) return false;
  if (auto* showable = dynamic_cast<IcxShowablePopupMenu*>(menu)) {
    showable->ShowPopup(x, y);
    return true;
  }
  auto* popup = ObjectAs<TPopupMenu>(menu);
  if (popup && popup->AutoPopup()) {
    popup->SetPopupComponent(control);
    popup->Popup(x, y);
    return true;
  }
  return false;
}

bool TryPopupMenuShortCut(TComponent* menu, TMessage& message) {
  if (!menu) return false;
  if (auto* showable = dynamic_cast<IcxShowablePopupMenu*>(menu)) return showable->IsShortCutKey(message) != FALSE;
  // Our popup menus build their system menu on demand, so every one can
  // look at the key.
  auto* popup = ObjectAs<TPopupMenu>(menu);
  if (!popup) return false;
  const TShiftState shift = KeyboardShiftState();
  return popup->IsShortCut(ShortCut(static_cast<WORD>(message.WParam), shift.Contains(ssShift),
                                    shift.Contains(ssCtrl), shift.Contains(ssAlt) || (message.LParam & (1 << 29))));
}

int EstimatePopupMenuHeight(TPopupMenu* menu) {
  if (!menu) return 0;
  TcxScreenCanvas canvas;
  canvas.SetFont(Screen->MenuFont());
  const int itemHeight = canvas.HeightOfText("Qg") + 4;
  int height = 4;
  TMenuItem* items = menu->Items();
  for (int i = 0; i < items->Count(); ++i) {
    TMenuItem* item = items->Items(i);
    if (!item->Visible()) continue;
    int h = itemHeight;
    if (menu->OwnerDraw() || (menu->Images() && item->ImageIndex() >= 0) || item->HasBitmap()) {
      int w = 0;
      item->MeasureItem(canvas.Canvas(), w, h);
    }
    height += h;
  }
  return height;
}

// ---------------------------------------------------------------------------
// The design controller.

TDesignerModifiedHook SetDesignerModifiedHook(TDesignerModifiedHook hook) {
  std::swap(hook, DesignerHook);
  return hook;
}

const TClassInfo TcxDesignController::ClassInfo{"TcxDesignController", &TObject::ClassInfo, nullptr};

void TcxDesignController::SignalFormModified(TComponent* form) {
  if (FLockCount > 0 || FSignalling || !form) return;
  FSignalling = true;
  try {
    if (DesignerHook) DesignerHook(form);
  } catch (...) {
    FSignalling = false;
    throw;
  }
  FSignalling = false;
}

// ---------------------------------------------------------------------------
// Helpers.

TMonitorFromPointProc cxMonitorFromPoint = nullptr;
TGetMonitorInfoProc cxGetMonitorInfo = nullptr;

bool CanHaveHandle(TWinControl* control) {
  if (!control) return false;
  if (control->HandleAllocated()) return true;
  if (control->IsDestroying()) return false;
  if (control->ParentWindow()) return true;
  if (control->Parent()) return CanHaveHandle(control->Parent());
  if (ObjectAs<TCustomForm>(control)) return Application && Application->Handle();
  return false;
}

namespace {

RECT DesktopWorkArea() {
  RECT r{0, 0, 0, 0};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0);
  return r;
}

}  // namespace

RECT GetMonitorWorkArea(HMONITOR monitor) {
  if (!monitor || !cxGetMonitorInfo) return DesktopWorkArea();
  MONITORINFO info{};
  info.cbSize = sizeof info;
  if (!cxGetMonitorInfo(monitor, &info)) return DesktopWorkArea();
  return info.rcWork;
}

RECT GetPointWorkArea(POINT p) {
  if (!cxMonitorFromPoint || !cxGetMonitorInfo) return DesktopWorkArea();
  return GetMonitorWorkArea(cxMonitorFromPoint(p, MONITOR_DEFAULTTONEAREST));
}

POINT QueryCursorPos() {
  POINT p;
  if (GetCursorPos(&p)) LastCursorPos = p;
  return LastCursorPos;
}

UINT QueryDoubleClickTime() { return GetDoubleClickTime(); }

bool HasChildStyle(HWND wnd) { return (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD) != 0; }

bool IsSameOrChildWindow(HWND parent, HWND wnd) {
  if (!parent) return false;
  return wnd == parent || IsChild(parent, wnd);
}

bool IsAncestorWindow(HWND ancestor, HWND wnd) {
  if (!ancestor) return false;
  for (HWND w = wnd ? GetParent(wnd) : nullptr; w; w = GetParent(w))
    if (w == ancestor) return true;
  return false;
}

bool IsCtrlDown() { return GetAsyncKeyState(VK_CONTROL) < 0; }

bool IsPointInDragDetectArea(POINT mouseDown, int x, int y) {
  const int threshold = Mouse->DragThreshold();
  return std::abs(x - mouseDown.x) < threshold && std::abs(y - mouseDown.y) < threshold;
}

bool IsNumericInputChar(char ch, int kind) {
  if ((ch >= '0' && ch <= '9') || ch == '+' || ch == '-') return true;
  if ((kind == 1 || kind == 2) && ch == FormatSettings().DecimalSeparator) return true;
  return kind == 2 && (ch == 'e' || ch == 'E');
}

POINT TranslateWindowPoint(HWND from, HWND to, POINT p) {
  MapWindowPoints(from, to, &p, 1);
  return p;
}

RECT TranslateWindowRect(HWND from, HWND to, const RECT& r) {
  POINT corners[2] = {{r.left, r.top}, {r.right, r.bottom}};
  MapWindowPoints(from, to, corners, 2);
  return RECT{corners[0].x, corners[0].y, corners[1].x, corners[1].y};
}

AnsiString StripAccelChars(const AnsiString& caption, bool markTrailing) {
  AnsiString result;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] != '&') {
      result += caption[i];
      continue;
    }
    if (i + 1 == caption.size()) {
      if (markTrailing) result += '_';
      break;
    }
    result += caption[++i];  // the character after the prefix, a second "&" too
  }
  return result;
}

WPARAM ShiftToMouseKeyFlags(TShiftState shift) {
  WPARAM flags = 0;
  if (shift.Contains(ssShift)) flags |= MK_SHIFT;
  if (shift.Contains(ssCtrl)) flags |= MK_CONTROL;
  if (shift.Contains(ssLeft)) flags |= MK_LBUTTON;
  if (shift.Contains(ssRight)) flags |= MK_RBUTTON;
  if (shift.Contains(ssMiddle)) flags |= MK_MBUTTON;
  return flags;
}

void SignalDesignerModified(TControl* control) {
  if (!control || !control->ComponentState().Contains(csDesigning)) return;
  TControl* form = control;
  while (form && !ObjectAs<TCustomForm>(form)) form = form->Parent();
  if (!form) return;
  static TcxDesignController controller;
  controller.SignalFormModified(form);
}

TcxMessageWindow* SharedMessageWindow() {
  if (!SharedWindow && !UnitEnding) SharedWindow = new TcxMessageWindow();
  return SharedWindow;
}


int DetectDragStart(HWND wnd) {
  const int threshold = Mouse->DragThreshold();
  const POINT start = QueryCursorPos();
  const RECT area{start.x - threshold, start.y - threshold, start.x + threshold, start.y + threshold};
  SetCapture(wnd);
  int result = 2;
  while (GetCapture() == wnd) {
    MSG msg;
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      result = 2;
      break;
    }
    if (got < 0) break;
    bool done = false;
    switch (msg.message) {
      case WM_KEYDOWN:
      case WM_KEYUP:
        if (msg.wParam == VK_ESCAPE) {
          result = 2;
          done = true;
        }
        break;
      case WM_MOUSEMOVE:
        if (msg.hwnd == wnd) {
          POINT p{static_cast<short>(LOWORD(msg.lParam)), static_cast<short>(HIWORD(msg.lParam))};
          ClientToScreen(wnd, &p);
          if (!PtInRect(&area, p)) {
            result = 1;
            done = true;
          }
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        result = 0;
        done = true;
        break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    if (done) break;
  }
  if (GetCapture() == wnd) ReleaseCapture();
  return result;
}

// ---------------------------------------------------------------------------
// Flags and unit.

TcxOSFlags ComputeOSFlags(int platform, int major, int minor) {
  TcxOSFlags flags;
  flags.Win9x = platform == 0 || platform == 1;
  const bool nt = platform == VER_PLATFORM_WIN32_NT;
  // XP and Server 2003 (5.1, 5.2) and every version from 7 (6.1) on; Vista
  // (6.0) is left out. A plain "minor above 0" test would drop 10.0.
  flags.XPOrLater = nt && ((major == 5 && minor >= 1) || (major == 6 && minor >= 1) || major > 6);
  flags.NT4OrLater = nt && major >= 4;
  flags.VistaOrLater = major >= 6;
  return flags;
}

const TcxOSFlags& cxOSFlags() { return OSFlags; }

TcxOSFlags SetOSFlags(const TcxOSFlags& flags) {
  TcxOSFlags previous = OSFlags;
  OSFlags = flags;
  return previous;
}

namespace {

struct TCursorResource {
  TCursor Index;
  const char* Name;
};
const TCursorResource CursorResources[] = {
    {crcxDragCopy, "CX_DRAGCOPYCURSOR"},     {crcxFullScroll, "CX_FULLSCROLLCURSOR"},
    {crcxHorScroll, "CX_HORSCROLLCURSOR"},   {crcxVerScroll, "CX_VERSCROLLCURSOR"},
    {crcxUpScroll, "CX_UPSCROLLCURSOR"},     {crcxRightScroll, "CX_RIGHTSCROLLCURSOR"},
    {crcxDownScroll, "CX_DOWNSCROLLCURSOR"}, {crcxLeftScroll, "CX_LEFTSCROLLCURSOR"},
    {crcxRemove, "CX_REMOVECURSOR"},         {crcxVertSize, "CX_VERTSIZECURSOR"},
    {crcxHorzSize, "CX_HORZSIZECURSOR"},     {crcxMultiDrag, "CX_MULTIDRAGCURSOR"},
    {crcxNoDrop, "CX_NODROPCURSOR"},         {crcxDrag, "CX_DRAGCURSOR"},
    {crcxColorPicker, "CX_COLORPICKERCURSOR"},
};

}  // namespace

void cxControlsInit() {
  UnitEnding = false;
  OSFlags = ComputeOSFlags(Win32Platform, Win32MajorVersion, Win32MinorVersion);
  HINSTANCE instance = GetModuleHandleA(nullptr);
  for (const TCursorResource& c : CursorResources) Screen->SetCursors(c.Index, LoadCursorA(instance, c.Name));
  // The system's hand is shared: a copy keeps the screen's table the owner
  // of what it destroys.
  Screen->SetCursors(crcxHandPoint, CopyCursor(LoadCursorA(nullptr, IDC_HAND)));
  User32 = LoadLibraryA("USER32");
  if (User32) {
    cxMonitorFromPoint = reinterpret_cast<TMonitorFromPointProc>(
        reinterpret_cast<void*>(GetProcAddress(User32, "MonitorFromPoint")));
    cxGetMonitorInfo =
        reinterpret_cast<TGetMonitorInfoProc>(reinterpret_cast<void*>(GetProcAddress(User32, "GetMonitorInfoA")));
  }
}

void cxControlsDone() {
  UnitEnding = true;
  bool tracked = false;
  if (TrackingTimers) {
    tracked = !TrackingTimers->empty();
    for (TMouseTrackingTimer* t : *TrackingTimers) delete t;
    delete TrackingTimers;
    TrackingTimers = nullptr;
  }
  cxMonitorFromPoint = nullptr;
  cxGetMonitorInfo = nullptr;
  if (User32) FreeLibrary(User32);
  User32 = nullptr;
  delete SettingsController;
  SettingsController = nullptr;
  delete TimerWindow;
  TimerWindow = nullptr;
  RunningTimers.clear();
  delete SharedWindow;
  SharedWindow = nullptr;
  for (const TCursorResource& c : CursorResources) Screen->SetCursors(c.Index, nullptr);
  Screen->SetCursors(crcxHandPoint, nullptr);
  if (tracked) throw EInvalidOperation("MouseTrackingTimerList.Count <> 0");
}
