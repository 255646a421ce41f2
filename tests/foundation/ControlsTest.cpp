// The control library's utilities: timers on the shared timer window,
// mouse-leave tracking, the settings controller, popup-menu helpers, drag
// detection, monitors, the operating-system flags, the cursors and the
// unit's end.
#include "foundation/Canvas.h"
#include "foundation/Classes.h"
#include "foundation/Controls.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// The unit runs around every test of this program.
class ControlsUnit : public ::testing::Environment {
public:
  void SetUp() override { cxControlsInit(); }
  void TearDown() override { cxControlsDone(); }
};
const auto* const unitEnvironment = ::testing::AddGlobalTestEnvironment(new ControlsUnit);

TEST(CxTimer, RunsOnlyWhenEnabledWithAHandler) {
  const int running = RunningTimerCount();
  TcxTimer timer;
  EXPECT_FALSE(timer.TimerOn()) << "no OnTimer, no system timer";
  EXPECT_EQ(RunningTimerCount(), running);
  int ticks = 0;
  timer.SetInterval(20);
  timer.SetOnTimer(TNotifyEvent::Lambda([&](TObject* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  }));
  EXPECT_TRUE(timer.TimerOn()) << "assigning OnTimer to an enabled timer starts it";
  EXPECT_EQ(RunningTimerCount(), running + 1);
  timer.SetInterval(0);
  EXPECT_EQ(timer.Interval(), 20u) << "Interval 0 keeps the previous interval";
  EXPECT_TRUE(timer.TimerOn()) << "and the running timer";
  EXPECT_TRUE(RunMessagesUntil([&] { return ticks >= 2; }));
  timer.SetEnabled(false);
  EXPECT_FALSE(timer.TimerOn());
  EXPECT_EQ(RunningTimerCount(), running);
  const int stopped = ticks;
  EXPECT_TRUE(RunTimerTicks(20, 3));
  EXPECT_EQ(ticks, stopped);
}

TEST(CxTimer, IgnoresTheTickOfAFreedTimer) {
  int ticks = 0;
  auto* timer = new TcxTimer();
  timer->SetOnTimer(TNotifyEvent::Lambda([&](TObject*) { ++ticks; }));
  const UINT_PTR id = timer->EventID();
  ASSERT_NE(TimerWindowHandle(), nullptr);
  delete timer;
  SendMessageA(TimerWindowHandle(), WM_TIMER, id, 0);
  EXPECT_EQ(ticks, 0);
}

// A tracking caller that counts the leaves it hears of.
class TLeaveCounter : public TcxIUnknownObject<IcxMouseTrackingCaller> {
public:
  void STDMETHODCALLTYPE MouseLeave() override { ++Leaves; }
  int Leaves = 0;
};

TEST(HoverTracking, OneTimerPerCallerAndTheLeaveReachesIt) {
  const RECT bounds{100, 100, 140, 140};
  SetCursorPos(120, 120);
  ASSERT_TRUE(RunMessagesUntil([] {
    POINT p;
    return GetCursorPos(&p) && p.x == 120 && p.y == 120;
  }));
  TLeaveCounter caller;
  const int running = RunningTimerCount();
  StartHoverTracking(nullptr, bounds, &caller);
  StartHoverTracking(nullptr, bounds, &caller);
  EXPECT_EQ(RunningTimerCount(), running + 1) << "tracking twice keeps one timer";
  EXPECT_TRUE(IsHoverTracking(&caller));
  EXPECT_TRUE(RunTimerTicks(10, 3));
  EXPECT_EQ(caller.Leaves, 0) << "inside";
  SetCursorPos(300, 300);
  EXPECT_TRUE(RunMessagesUntil([&] { return caller.Leaves > 0; }));
  EXPECT_EQ(caller.Leaves, 1);
  EXPECT_FALSE(IsHoverTracking(&caller));
  EXPECT_EQ(RunningTimerCount(), running);

  StartHoverTracking(nullptr, bounds, &caller);
  StopHoverTracking(&caller);
  EXPECT_FALSE(IsHoverTracking(&caller));
}

// A caller that decides itself: inside while the client point lies in the
// top-left 50 x 50 of its control.
class TDecidingCaller : public TcxIUnknownObject<IcxMouseTrackingCaller2> {
public:
  void STDMETHODCALLTYPE MouseLeave() override { ++Leaves; }
  BOOL STDMETHODCALLTYPE PtInCaller(POINT p) override { return p.x >= 0 && p.y >= 0 && p.x < 50 && p.y < 50; }
  int Leaves = 0;
};

void MoveCursorTo(POINT p) {
  SetCursorPos(p.x, p.y);
  ASSERT_TRUE(RunMessagesUntil([p] {
    POINT q;
    return GetCursorPos(&q) && q.x == p.x && q.y == p.y;
  }));
}

TEST(HoverTracking, OverAControl) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(100, 100, 300, 200);
  form->Show();
  ASSERT_TRUE(form->HandleAllocated());
  int leaveMessages = 0;
  LPARAM leaveParam = 0;
  const TWndMethod inherited = form->WindowProc;
  form->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == CM_MOUSELEAVE) {
      ++leaveMessages;
      leaveParam = m.LParam;
    }
    inherited(m);
  });
  auto screenOf = [&](POINT client) { return TranslateWindowPoint(form->Handle(), nullptr, client); };
  // Plain callers are inside while the cursor is in their bounds (client
  // co-ordinates of the control); the deciding caller answers itself and
  // its (empty) bounds are never looked at.
  const struct { const char* Name; bool Deciding; POINT End; int LeaveMessages; } cases[] = {
      {"bounds left, still over the control", false, {100, 100}, 0},
      {"bounds left, off the control", false, {-60, -60}, 1},
      {"the caller says outside, still over the control", true, {100, 100}, 0},
      {"the caller says outside, off the control", true, {-60, -60}, 1},
  };
  for (const auto& c : cases) {
    TLeaveCounter plain;
    TDecidingCaller deciding;
    IcxMouseTrackingCaller* caller = c.Deciding ? static_cast<IcxMouseTrackingCaller*>(&deciding) : &plain;
    const int& leaves = c.Deciding ? deciding.Leaves : plain.Leaves;
    leaveMessages = 0;
    MoveCursorTo(screenOf(POINT{20, 20}));
    StartHoverTracking(form, c.Deciding ? RECT{0, 0, 0, 0} : RECT{0, 0, 50, 50}, caller);
    EXPECT_TRUE(RunTimerTicks(10, 3));
    EXPECT_EQ(leaves, 0) << c.Name << ": inside";
    MoveCursorTo(screenOf(c.End));
    EXPECT_TRUE(RunMessagesUntil([&] { return leaves > 0; })) << c.Name;
    EXPECT_FALSE(IsHoverTracking(caller)) << c.Name;
    EXPECT_EQ(leaveMessages, c.LeaveMessages) << c.Name;
    if (c.LeaveMessages) {
      EXPECT_EQ(leaveParam, reinterpret_cast<LPARAM>(static_cast<TControl*>(form))) << c.Name;
    }
  }
  form->WindowProc = inherited;
  Free(form);
}

// A control whose leave handler stops the tracking itself: the tracking
// timer is freed while it ticks, and the caller still hears of the leave.
TEST(HoverTracking, StoppedByTheControlsOwnLeaveHandler) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(100, 100, 300, 200);
  form->Show();
  TLeaveCounter caller;
  const TWndMethod inherited = form->WindowProc;
  form->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == CM_MOUSELEAVE) StopHoverTracking(&caller);
    inherited(m);
  });
  const int running = RunningTimerCount();
  MoveCursorTo(TranslateWindowPoint(form->Handle(), nullptr, POINT{20, 20}));
  StartHoverTracking(form, RECT{0, 0, 50, 50}, &caller);
  MoveCursorTo(TranslateWindowPoint(form->Handle(), nullptr, POINT{-60, -60}));
  EXPECT_TRUE(RunMessagesUntil([&] { return caller.Leaves > 0; }));
  EXPECT_EQ(caller.Leaves, 1);
  EXPECT_FALSE(IsHoverTracking(&caller));
  EXPECT_EQ(RunningTimerCount(), running);
  form->WindowProc = inherited;
  Free(form);
}

// Two monitors side by side; the second, from x = 2000, has a task bar at its top.
HMONITOR WINAPI FakeMonitorFromPoint(POINT p, DWORD) {
  return reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(p.x >= 2000 ? 2 : 1));
}

BOOL WINAPI FakeGetMonitorInfo(HMONITOR m, LPMONITORINFO info) {
  if (info->cbSize != sizeof(MONITORINFO)) return FALSE;
  const bool second = m == reinterpret_cast<HMONITOR>(static_cast<INT_PTR>(2));
  info->rcMonitor = second ? RECT{2000, 0, 3024, 768} : RECT{0, 0, 2000, 1000};
  info->rcWork = second ? RECT{2000, 30, 3024, 768} : RECT{0, 0, 2000, 960};
  return TRUE;
}

TEST(Monitors, WorkAreaOfAnInjectedSecondMonitor) {
  const TMonitorFromPointProc oldFromPoint = cxMonitorFromPoint;
  const TGetMonitorInfoProc oldInfo = cxGetMonitorInfo;
  cxMonitorFromPoint = FakeMonitorFromPoint;
  cxGetMonitorInfo = FakeGetMonitorInfo;
  const RECT second = GetPointWorkArea(POINT{2500, 100});
  const RECT first = GetPointWorkArea(POINT{10, 10});
  cxMonitorFromPoint = oldFromPoint;
  cxGetMonitorInfo = oldInfo;
  EXPECT_EQ(second.left, 2000);
  EXPECT_EQ(second.top, 30);
  EXPECT_EQ(first.bottom, 960);
  RECT desktop;
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &desktop, 0);
  const RECT none = GetMonitorWorkArea(nullptr);
  EXPECT_TRUE(EqualRect(&desktop, &none)) << "no monitor: the desktop's work area";
}

TEST(DragDetection, AnswersClickDragAndCancel) {
  TestWindow window(200, 200);
  RunMessagesUntilIdle();
  const int threshold = Mouse->DragThreshold();
  const struct { const char* Name; std::function<void(HWND, POINT)> Post; int Result; } cases[] = {
      {"click", [](HWND w, POINT) { PostMessageA(w, WM_LBUTTONUP, 0, 0); }, 0},
      {"drag",
       [threshold](HWND w, POINT c) {
         PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(c.x + threshold / 2, c.y));  // inside the square
         PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x + threshold + 3, c.y));
       },
       1},
      {"escape", [](HWND w, POINT) { PostMessageA(w, WM_KEYDOWN, VK_ESCAPE, 0); }, 2},
      {"quit", [](HWND, POINT) { PostQuitMessage(7); }, 2},
  };
  for (const auto& c : cases) {
    POINT cursor = QueryCursorPos();
    ScreenToClient(window.Handle(), &cursor);
    c.Post(window.Handle(), cursor);
    EXPECT_EQ(DetectDragStart(window.Handle()), c.Result) << c.Name;
    EXPECT_EQ(GetCapture(), nullptr) << c.Name;
  }
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) << "WM_QUIT is posted again";
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(CxControlsUnit, RegistersTheCursors) {
  const HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
  for (TCursor c = 2100; c <= 2114; ++c) {
    const HCURSOR cursor = Screen->Cursors(c);
    EXPECT_NE(cursor, nullptr) << c;
    EXPECT_NE(cursor, arrow) << c << " is one of the program's own cursors";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info)) << c;
    EXPECT_FALSE(info.fIcon) << c;
    if (info.hbmMask) DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
  }
  EXPECT_NE(Screen->Cursors(crcxHandPoint), nullptr);
  EXPECT_NE(Screen->Cursors(crcxHandPoint), arrow);
}

TEST(CxControlsUnit, EndingWithACallerTrackedIsAProgrammingError) {
  TLeaveCounter caller;
  StartHoverTracking(nullptr, RECT{0, 0, 1, 1}, &caller);
  try {
    cxControlsDone();
    ADD_FAILURE() << "no exception";
  } catch (const EInvalidOperation& e) {
    EXPECT_STREQ(e.what(), "MouseTrackingTimerList.Count <> 0");
  }
  EXPECT_FALSE(IsHoverTracking(&caller));
  StartHoverTracking(nullptr, RECT{0, 0, 1, 1}, &caller);
  EXPECT_FALSE(IsHoverTracking(&caller)) << "nothing is created after the unit's end";
  cxControlsInit();
}

TEST(OSFlags, FromTheVersion) {
  const struct { const char* Name; int Platform; int Major; int Minor; bool XP; bool Vista; bool NT4; bool Win9x; } cases[] = {
      {"98", 1, 4, 10, false, false, false, true},
      {"NT 4", 2, 4, 0, false, false, true, false},
      {"2000", 2, 5, 0, false, false, true, false},
      {"XP", 2, 5, 1, true, false, true, false},
      {"Server 2003", 2, 5, 2, true, false, true, false},
      {"Vista", 2, 6, 0, false, true, true, false},
      {"7", 2, 6, 1, true, true, true, false},
      {"8.1", 2, 6, 3, true, true, true, false},
      {"10", 2, 10, 0, true, true, true, false},
  };
  for (const auto& c : cases) {
    const TcxOSFlags f = ComputeOSFlags(c.Platform, c.Major, c.Minor);
    EXPECT_EQ(f.XPOrLater, c.XP) << c.Name;
    EXPECT_EQ(f.VistaOrLater, c.Vista) << c.Name;
    EXPECT_EQ(f.NT4OrLater, c.NT4) << c.Name;
    EXPECT_EQ(f.Win9x, c.Win9x) << c.Name;
  }
}

TEST(Helpers, TextAndKeys) {
  EXPECT_EQ(StripAccelChars("&&Word &Second&", true), "&Word Second_");
  EXPECT_EQ(StripAccelChars("&&Word &Second&", false), "&Word Second");
  const struct { char Ch; bool Kind0, Kind1, Kind2; } chars[] = {
      {'5', true, true, true}, {'-', true, true, true}, {'e', false, false, true}, {'E', false, false, true},
      {'x', false, false, false},
  };
  for (const auto& c : chars) {
    EXPECT_EQ(IsNumericInputChar(c.Ch, 0), c.Kind0) << c.Ch;
    EXPECT_EQ(IsNumericInputChar(c.Ch, 1), c.Kind1) << c.Ch;
    EXPECT_EQ(IsNumericInputChar(c.Ch, 2), c.Kind2) << c.Ch;
  }
  EXPECT_TRUE(IsNumericInputChar('.', 1));
  EXPECT_FALSE(IsNumericInputChar('.', 3));
  EXPECT_TRUE(IsNonControlChar(' '));
  EXPECT_FALSE(IsNonControlChar('\t'));
  EXPECT_EQ(ShiftToMouseKeyFlags(TShiftState{ssShift, ssLeft, ssMiddle}),
            static_cast<WPARAM>(MK_SHIFT | MK_LBUTTON | MK_MBUTTON));
  const POINT p = QueryCursorPos();
  POINT real;
  GetCursorPos(&real);
  EXPECT_EQ(p.x, real.x);
  EXPECT_TRUE(IsPointInDragDetectArea(POINT{10, 10}, 10 + Mouse->DragThreshold() - 1, 10));
  EXPECT_FALSE(IsPointInDragDetectArea(POINT{10, 10}, 10, 10 + Mouse->DragThreshold()));
}

TEST(Helpers, Windows) {
  TestWindow parent(100, 100);
  HWND child = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE, 10, 20, 30, 30, parent.Handle(), nullptr,
                               nullptr, nullptr);
  EXPECT_TRUE(HasChildStyle(child));
  EXPECT_FALSE(HasChildStyle(parent.Handle()));
  EXPECT_TRUE(IsSameOrChildWindow(parent.Handle(), child));
  EXPECT_TRUE(IsSameOrChildWindow(parent.Handle(), parent.Handle()));
  EXPECT_FALSE(IsSameOrChildWindow(nullptr, child));
  EXPECT_TRUE(IsAncestorWindow(parent.Handle(), child));
  EXPECT_FALSE(IsAncestorWindow(child, parent.Handle()));
  const RECT r = TranslateWindowRect(child, parent.Handle(), RECT{0, 0, 5, 5});
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.bottom, 25);
  DestroyWindow(child);
}

TEST(Helpers, CanHaveHandle) {
  TForm* form = New<TForm>(nullptr);
  auto* loose = New<TPanel>(form);
  auto* placed = New<TPanel>(form);
  placed->SetParent(form);
  ASSERT_NE(Application->Handle(), nullptr);
  const struct { const char* Name; TWinControl* Control; bool Result; } cases[] = {
      {"nothing", nullptr, false},
      {"without a parent", loose, false},
      {"a form while the application window exists", form, true},
      {"on a form that can have one", placed, true},
  };
  for (const auto& c : cases) EXPECT_EQ(CanHaveHandle(c.Control), c.Result) << c.Name;
  TestWindow host(50, 50);
  loose->SetParentWindow(host.Handle());
  EXPECT_TRUE(CanHaveHandle(loose)) << "with a parent window";
  loose->SetParentWindow(nullptr);
  placed->HandleNeeded();
  EXPECT_TRUE(CanHaveHandle(placed)) << "with its window";
  Free(form);
}

// A message window of its own: the messages it takes and those it passes on.
class TCountingWindow : public TcxMessageWindow {
public:
  int Taken = 0;

protected:
  void ProcessWindowMessage(TMessage& message) override {
    if (message.Msg == WM_USER + 1) {
      ++Taken;
      message.Result = 42;
      return;
    }
    TcxMessageWindow::ProcessWindowMessage(message);
  }
};

TEST(MessageWindows, TakeTheirMessagesAndShareOne) {
  const THandleCounts before = HandleCounts();
  {
    TCountingWindow window;
    ASSERT_NE(window.Handle(), nullptr);
    EXPECT_EQ(SendMessageA(window.Handle(), WM_USER + 1, 0, 0), 42);
    EXPECT_EQ(window.Taken, 1);
    char text[8] = "x";
    EXPECT_EQ(SendMessageA(window.Handle(), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 0)
        << "the default window procedure";
  }
  EXPECT_EQ(HandleCounts(), before) << "the window goes with its object";
  TcxMessageWindow* shared = SharedMessageWindow();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(SharedMessageWindow(), shared);
}

TEST(SettingsController, PostsMetricsChangesToItsControls) {
  TForm* form = New<TForm>(nullptr);
  form->HandleNeeded();
  TcxSettingsController* controller = cxSettingsController();
  controller->AddControl(form);
  controller->AddControl(form);
  EXPECT_EQ(controller->ControlCount(), 1);
  HWND window = controller->WindowHandle();
  ASSERT_NE(window, nullptr);
  EXPECT_FALSE(GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(GetParent(window), nullptr) << "top-level, not message-only";
  EXPECT_EQ(SendMessageA(window, WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0), 0);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, form->Handle(), WM_SCROLLBARMETRICS, WM_SCROLLBARMETRICS, PM_REMOVE));
  SendMessageA(window, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_FALSE(PeekMessageA(&msg, form->Handle(), WM_SCROLLBARMETRICS, WM_SCROLLBARMETRICS, PM_REMOVE));
  controller->RemoveControl(form);
  EXPECT_EQ(controller->WindowHandle(), nullptr) << "released with the last control";
  Free(form);
}

// A component offering the popup-menu interface.
class TShowableMenu : public TComponent, public IcxShowablePopupMenu {
public:
  TShowableMenu() : TComponent(nullptr) {}
  STDMETHODIMP QueryInterface(REFIID, void** object) override {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  BOOL STDMETHODCALLTYPE IsShortCutKey(TMessage& message) override { return message.WParam == 'K'; }
  void STDMETHODCALLTYPE ShowPopup(int x, int y) override { Shown = POINT{x, y}; }
  POINT Shown{-1, -1};
};

TEST(PopupMenus, ThroughTheInterfaceOrThePlatformMenu) {
  TShowableMenu showable;
  EXPECT_FALSE(ShowControlPopupMenu(nullptr, nullptr, 0, 0));
  EXPECT_TRUE(ShowControlPopupMenu(nullptr, &showable, 5, 6));
  EXPECT_EQ(showable.Shown.x, 5);
  TMessage key{WM_KEYDOWN, 'K', 0, 0};
  EXPECT_TRUE(TryPopupMenuShortCut(&showable, key));
  key.WParam = 'L';
  EXPECT_FALSE(TryPopupMenuShortCut(&showable, key));
  EXPECT_FALSE(TryPopupMenuShortCut(nullptr, key));
  TPopupMenu menu(nullptr);
  menu.SetAutoPopup(false);
  EXPECT_FALSE(ShowControlPopupMenu(nullptr, &menu, 0, 0)) << "auto-popup off";
  EXPECT_FALSE(TryPopupMenuShortCut(&menu, key)) << "no item has the shortcut";

  for (int i = 0; i < 3; ++i) {
    auto* item = New<TMenuItem>(&menu);
    item->SetCaption("Item");
    item->SetVisible(i != 1);
    menu.Items()->Add(item);
  }
  TcxScreenCanvas canvas;
  canvas.SetFont(Screen->MenuFont());
  EXPECT_EQ(EstimatePopupMenuHeight(&menu), 4 + 2 * (canvas.HeightOfText("Qg") + 4));
}

TEST(DesignController, SignalsThroughTheHookUnlessLocked) {
  std::vector<TComponent*> signalled;
  TDesignerModifiedHook old = SetDesignerModifiedHook([&](TComponent* f) { signalled.push_back(f); });
  TcxDesignController controller;
  TComponent form(nullptr);
  controller.SignalFormModified(&form);
  controller.LockModifiedSignal();
  controller.SignalFormModified(&form);
  controller.UnlockModifiedSignal();
  controller.UnlockModifiedSignal();  // not below 0
  controller.SignalFormModified(&form);
  SetDesignerModifiedHook(old);
  EXPECT_EQ(signalled.size(), 2u);
}

}  // namespace
