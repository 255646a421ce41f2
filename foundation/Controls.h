// Services of the control library beside its base control: objects with a
// hidden window, the timer component that runs every library timer through
// one shared hidden window, mouse-leave tracking, the settings controller
// that tells controls about changed system metrics, popup-menu helpers,
// the design controller's modified signal, window and keyboard helpers,
// the operating-system flags and the library's cursors.
#pragma once

#include "platform/Component.h"
#include "platform/Control.h"
#include "platform/Menus.h"
#include "platform/Messages.h"
#include "platform/UtilWindow.h"

#include <unknwn.h>

#include <functional>
#include <vector>

// ---------------------------------------------------------------------------
// Objects with a hidden window.

// An object owning a hidden message-only window whose every message reaches
// ProcessWindowMessage; the base hands it to the default window procedure.
class TcxMessageWindow : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxMessageWindow();
  ~TcxMessageWindow() override;
  HWND Handle() const { return FHandle; }

protected:
  virtual void ProcessWindowMessage(TMessage& message);

private:
  void WndProc(TMessage& message) { ProcessWindowMessage(message); }
  HWND FHandle = nullptr;
};

// A timer whose system timer belongs to the library's one timer window, so
// every OnTimer runs on the GUI thread from the message loop. It runs while
// enabled with OnTimer assigned.
class TcxTimer : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxTimer(TComponent* owner = nullptr);
  ~TcxTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  UINT Interval() const { return FInterval; }
  // 0 and an unchanged value are ignored; another restarts the timer.
  void SetInterval(UINT value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }
  void SetOnTimer(const TNotifyEvent& value);
  // Whether the system timer is set.
  bool TimerOn() const { return FTimerOn; }
  // The system timer's identifier (the object itself).
  UINT_PTR EventID() const { return reinterpret_cast<UINT_PTR>(this); }

  virtual void TimeOut();

private:
  void UpdateTimer();
  void KillTimer();
  void SetTimer();

  bool FEnabled = true;
  UINT FInterval = 1000;
  bool FTimerOn = false;
  TNotifyEvent FOnTimer;
};

// The identifiers of the running library timers (for tests: proves none is left).
int RunningTimerCount();
// The library's timer window (created on first use), or null after unit end.
HWND TimerWindowHandle();

// ---------------------------------------------------------------------------
// Mouse-leave tracking.

// A caller of hover tracking: told once when the mouse leaves it.
struct IcxMouseTrackingCaller : public IUnknown {
  virtual void STDMETHODCALLTYPE MouseLeave() = 0;
};
// A caller that decides itself whether a client point of its control is
// still inside it.
struct IcxMouseTrackingCaller2 : public IcxMouseTrackingCaller {
  virtual BOOL STDMETHODCALLTYPE PtInCaller(POINT clientPoint) = 0;
};

// Tracks the caller until the mouse leaves `bounds` (client co-ordinates of
// `control`, screen co-ordinates without one), checking every 10 ms.
void StartHoverTracking(TWinControl* control, const RECT& bounds, IcxMouseTrackingCaller* caller);
void StopHoverTracking(IcxMouseTrackingCaller* caller);
bool IsHoverTracking(IcxMouseTrackingCaller* caller);

// ---------------------------------------------------------------------------
// The settings controller: tells listed controls (WM_SCROLLBARMETRICS, posted)
// that the system's non-client metrics changed. Its window is a hidden
// top-level window, since message-only windows miss broadcasts.

class TcxSettingsController : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TcxSettingsController() override;
  void AddControl(TWinControl* control);
  void RemoveControl(TWinControl* control);
  HWND WindowHandle() const { return FWindow; }
  int ControlCount() const { return static_cast<int>(FControls.size()); }

private:
  void WndProc(TMessage& message);
  void ReleaseWindow();
  std::vector<TWinControl*> FControls;
  HWND FWindow = nullptr;
  TWndMethod FMethod;
};
// The one settings controller (created on first use; null after unit end).
TcxSettingsController* cxSettingsController();

// ---------------------------------------------------------------------------
// Popup menus: a platform popup menu, or any component offering this interface.

struct IcxShowablePopupMenu : public IUnknown {
  // Whether the menu took the key message as a shortcut.
  virtual BOOL STDMETHODCALLTYPE IsShortCutKey(TMessage& message) = 0;
  // Shows the menu at a screen point.
  virtual void STDMETHODCALLTYPE ShowPopup(int x, int y) = 0;
};

bool ShowControlPopupMenu(TControl* control, TComponent* menu, int x, int y);
bool TryPopupMenuShortCut(TComponent* menu, TMessage& message);
int EstimatePopupMenuHeight(TPopupMenu* menu);

// ---------------------------------------------------------------------------
// The design controller's modified signal. There is no designer at run
// time: the signal reaches the hook a test installs.

using TDesignerModifiedHook = std::function<void(TComponent* form)>;
// Answers the previous hook.
TDesignerModifiedHook SetDesignerModifiedHook(TDesignerModifiedHook hook);

class TcxDesignController : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  void SignalFormModified(TComponent* form);
  void LockModifiedSignal() { ++FLockCount; }
  void UnlockModifiedSignal() {
    if (FLockCount > 0) --FLockCount;
  }

private:
  int FLockCount = 0;
  bool FSignalling = false;
};

// ---------------------------------------------------------------------------
// Helpers.

bool CanHaveHandle(TWinControl* control);
// The monitor functions, looked up in USER32 at unit start; tests replace them.
using TMonitorFromPointProc = HMONITOR(WINAPI*)(POINT, DWORD);
using TGetMonitorInfoProc = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
extern TMonitorFromPointProc cxMonitorFromPoint;
extern TGetMonitorInfoProc cxGetMonitorInfo;
RECT GetPointWorkArea(POINT p);
RECT GetMonitorWorkArea(HMONITOR monitor);
// The cursor's position; the last known one when the system cannot say,
// (-1, -1) before any.
POINT QueryCursorPos();
UINT QueryDoubleClickTime();
bool HasChildStyle(HWND wnd);
bool IsSameOrChildWindow(HWND parent, HWND wnd);
bool IsAncestorWindow(HWND ancestor, HWND wnd);
bool IsCtrlDown();
bool IsPointInDragDetectArea(POINT mouseDown, int x, int y);
// Kind 1 adds the decimal separator, kind 2 also "e" and "E".
bool IsNumericInputChar(char ch, int kind);
inline bool IsNonControlChar(char ch) { return static_cast<unsigned char>(ch) >= 32; }
POINT TranslateWindowPoint(HWND from, HWND to, POINT p);
RECT TranslateWindowRect(HWND from, HWND to, const RECT& r);
AnsiString StripAccelChars(const AnsiString& caption, bool markTrailing = false);
WPARAM ShiftToMouseKeyFlags(TShiftState shift);
inline WORD MapKeyCode(WORD key) { return key; }
void SignalDesignerModified(TControl* control);
TcxMessageWindow* SharedMessageWindow();
// CurrentDragObject is the drag manager's (platform/DragManager.h).

// Captures the mouse for `wnd` and answers how the press ends: 0 a click
// (a button released), 1 a drag (the mouse left a square of twice the drag
// threshold around the cursor), 2 cancelled (Escape, capture lost, WM_QUIT,
// which is posted again).
int DetectDragStart(HWND wnd);

// ---------------------------------------------------------------------------
// The operating-system flags, set once at unit start.

struct TcxOSFlags {
  bool Win9x = false;
  bool XPOrLater = false;  // 5.1, 5.2 and from 6.1 on (not 6.0)
  bool NT4OrLater = false;
  bool VistaOrLater = false;
};
TcxOSFlags ComputeOSFlags(int platform, int major, int minor);
const TcxOSFlags& cxOSFlags();
// Tests choose other flags; answers the previous ones.
TcxOSFlags SetOSFlags(const TcxOSFlags& flags);
inline bool XPOrLaterFlag() { return cxOSFlags().XPOrLater; }

// The library's cursors.
constexpr TCursor crcxDragCopy = 2100;
constexpr TCursor crcxFullScroll = 2101;
constexpr TCursor crcxHorScroll = 2102;
constexpr TCursor crcxVerScroll = 2103;
constexpr TCursor crcxUpScroll = 2104;
constexpr TCursor crcxRightScroll = 2105;
constexpr TCursor crcxDownScroll = 2106;
constexpr TCursor crcxLeftScroll = 2107;
constexpr TCursor crcxRemove = 2108;
constexpr TCursor crcxVertSize = 2109;
constexpr TCursor crcxHorzSize = 2110;
constexpr TCursor crcxMultiDrag = 2111;
constexpr TCursor crcxNoDrop = 2112;
constexpr TCursor crcxDrag = 2113;
constexpr TCursor crcxHandPoint = -2099;
constexpr TCursor crcxColorPicker = 2114;

// Unit start and end: the flags, the cursors, USER32's monitor functions;
// at the end the shared objects go. A caller still tracked at the end is a
// programming error: raises EInvalidOperation "MouseTrackingTimerList.Count <> 0"
// after everything is freed.
void cxControlsInit();
void cxControlsDone();

__CRT_UUID_DECL(IcxMouseTrackingCaller, 0x8E8AE9F4, 0x3B5C, 0x4F3D, 0x9C, 0x7A, 0x2D, 0x51, 0x0B, 0x66, 0x1E, 0x27)
__CRT_UUID_DECL(IcxMouseTrackingCaller2, 0x3A5D973B, 0xF016, 0x4F22, 0x80, 0xB6, 0x1D, 0x35, 0x66, 0x8D, 0x77, 0x43)
__CRT_UUID_DECL(IcxShowablePopupMenu, 0x61EEDA7D, 0x88CC, 0x45BF, 0x8A, 0x00, 0x5C, 0x25, 0x17, 0x4D, 0x65, 0x01)
