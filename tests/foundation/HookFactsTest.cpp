// What this Wine does with the thread hooks and windows the container
// unit's popups rely on: whether a window procedure replaced inside a
// call-window-procedure hook receives the message in delivery, which mouse
// clicks a mouse hook sees and can discard, whether a get-message hook can
// turn a system key into WM_NULL, whether activating another program's
// window tells ours that the application was deactivated, and whether a
// child tool window moved from a message-only parent to the desktop shows
// and takes clicks. ARCHITECTURE.md records the answers.
#include "platform/Forms.h"
#include "platform/ThreadHook.h"
#include "platform/UtilWindow.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace testing_support;

namespace {

constexpr UINT ProbeMessage = WM_APP + 0x123;

// The swallowing procedure a hook puts in: it puts the saved one back and
// answers 1 without passing the message on.
WNDPROC SavedProc = nullptr;
HWND SwappedWindow = nullptr;
int SwallowerCalls = 0;

LRESULT CALLBACK SwallowOnce(HWND wnd, UINT, WPARAM, LPARAM) {
  ++SwallowerCalls;
  SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SavedProc));
  return 1;
}

// A hook that swaps the window procedure of the target of `message` (with
// a wParam of `wParam`) for SwallowOnce.
class TSwappingHook {
public:
  TSwappingHook(HWND target, UINT message, WPARAM wParam) : FTarget(target), FMessage(message), FWParam(wParam) {
    FHook.Install(hkCallWndProc, THookProc::Bind<&TSwappingHook::Proc>(this));
  }
  int Swaps = 0;

private:
  void Proc(THookCall& call) {
    const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(call.LParam);
    if (cwp->hwnd != FTarget || cwp->message != FMessage || cwp->wParam != FWParam || Swaps > 0) return;
    ++Swaps;
    SwappedWindow = cwp->hwnd;
    SavedProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(cwp->hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SwallowOnce)));
  }
  HWND FTarget;
  UINT FMessage;
  WPARAM FWParam;
  TThreadHook FHook;
};

// Fact: a window procedure replaced inside the call-window-procedure hook
// receives the message in delivery: this Wine looks the procedure up after
// it has called the hook. The container unit swallows a message that way.
TEST(CallWndProcHook, AProcedureSwappedInTheHookTakesTheMessageInDelivery) {
  int seen = 0;
  TestWindow window(200, 120, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == ProbeMessage) ++seen;
    return false;
  });
  SwallowerCalls = 0;
  {
    TSwappingHook hook(window.Handle(), ProbeMessage, 0);
    SendMessageA(window.Handle(), ProbeMessage, 0, 0);
    EXPECT_EQ(hook.Swaps, 1);
  }
  EXPECT_EQ(seen, 0) << "the message in delivery went to the swapped-in procedure";
  EXPECT_EQ(SwallowerCalls, 1);
  // The swallower put the window's own procedure back for the next message.
  SendMessageA(window.Handle(), ProbeMessage, 0, 0);
  EXPECT_EQ(SwallowerCalls, 1);
  EXPECT_EQ(seen, 1);
}

// The same holds for the system's WM_NCACTIVATE(FALSE) to a form whose owned
// popup takes the activation, and for CM_ACTIVATE, which a form sends itself.
TEST(CallWndProcHook, TheSystemsAndOurOwnSentMessagesAlike) {
  TForm* owner = New<TForm>(nullptr);
  owner->SetBounds(60, 60, 300, 200);
  owner->Show();
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == owner->Handle(); }));
  RunMessagesUntilIdle();
  int ncDeactivations = 0;
  const TWndMethod inherited = owner->WindowProc;
  owner->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_NCACTIVATE && m.WParam == 0) ++ncDeactivations;
    inherited(m);
  });
  TForm* popup = New<TForm>(owner);
  popup->SetBorderStyle(bsNone);
  popup->SetBounds(100, 200, 100, 60);
  SwallowerCalls = 0;
  {
    TSwappingHook hook(owner->Handle(), WM_NCACTIVATE, FALSE);
    popup->Show();
    ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == popup->Handle(); }));
    EXPECT_EQ(hook.Swaps, 1);
  }
  EXPECT_EQ(ncDeactivations, 0) << "WM_NCACTIVATE(FALSE) was swallowed";
  EXPECT_EQ(SwallowerCalls, 1);
  // Put the procedure back (the swallower would take the next message).
  if (SwallowerCalls == 0) SetWindowLongPtrA(owner->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SavedProc));

  // CM_ACTIVATE, sent by the form to itself from WM_ACTIVATE.
  int activations = 0;
  owner->OnActivate = TNotifyEvent::Lambda([&](TObject*) { ++activations; });
  SwallowerCalls = 0;
  {
    TSwappingHook hook(owner->Handle(), CM_ACTIVATE, 0);
    popup->Hide();
    ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == owner->Handle(); }));
    EXPECT_EQ(hook.Swaps, 1);
  }
  EXPECT_EQ(activations, 0) << "CM_ACTIVATE was swallowed";
  EXPECT_EQ(SwallowerCalls, 1);
  if (SwallowerCalls == 0) SetWindowLongPtrA(owner->Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SavedProc));
  owner->WindowProc = inherited;
  Free(owner);
}

// Fact: replacing the control's WindowProc inside the hook does take effect
// for the message in delivery.
TEST(CallWndProcHook, AControlsWindowProcReplacedInTheHookTakesTheMessage) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(60, 60, 200, 120);
  form->HandleNeeded();
  int seen = 0, swallowed = 0;
  const TWndMethod inherited = form->WindowProc;
  form->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == ProbeMessage) ++seen;
    inherited(m);
  });
  const TWndMethod kept = form->WindowProc;
  TThreadHook hook(hkCallWndProc, THookProc::Lambda([&](THookCall& call) {
                     const auto* cwp = reinterpret_cast<const CWPSTRUCT*>(call.LParam);
                     if (cwp->hwnd != form->Handle() || cwp->message != ProbeMessage) return;
                     form->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
                       ++swallowed;
                       form->WindowProc = kept;
                       m.Result = 1;
                     });
                   }));
  EXPECT_EQ(SendMessageA(form->Handle(), ProbeMessage, 0, 0), 1);
  hook.Remove();
  EXPECT_EQ(swallowed, 1);
  EXPECT_EQ(seen, 0);
  form->WindowProc = inherited;
  Free(form);
}

// Fact: the mouse hook sees clicks made with SendInput and answering 1
// keeps them from their window; posted clicks do not pass the hook.
TEST(MouseHook, SeesRealClicksAndDiscardsThem) {
  int clicks = 0, hooked = 0;
  bool discard = false;
  TestWindow window(200, 150, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_LBUTTONDOWN) ++clicks;
    return false;
  });
  SetForegroundWindow(window.Handle());
  RunMessagesUntilIdle();
  TThreadHook hook(hkMouse, THookProc::Lambda([&](THookCall& call) {
                     if (call.WParam != WM_LBUTTONDOWN) return;
                     ++hooked;
                     if (discard) call.SetResult(1);
                   }));
  POINT origin{0, 0};
  ClientToScreen(window.Handle(), &origin);
  SendClick(origin.x + 50, origin.y + 50);
  ASSERT_TRUE(RunMessagesUntil([&] { return clicks == 1; }));
  EXPECT_EQ(hooked, 1);

  PostClick(window.Handle(), 50, 50);
  ASSERT_TRUE(RunMessagesUntil([&] { return clicks == 2; }));
  EXPECT_EQ(hooked, 1) << "a posted click skips the mouse hook";

  discard = true;
  SendClick(origin.x + 60, origin.y + 60);
  ASSERT_TRUE(RunMessagesUntil([&] { return hooked == 2; }));
  // A posted click after it marks the end of the input.
  PostClick(window.Handle(), 50, 50);
  ASSERT_TRUE(RunMessagesUntil([&] { return clicks == 3; }));
  RunMessagesUntilIdle();
  EXPECT_EQ(clicks, 3) << "the discarded click never reached the window";
}

// Fact: the get-message hook can turn a system key taken from the queue
// into WM_NULL, for posted keys and for real ones.
TEST(GetMessageHook, TurnsASystemKeyIntoNothing) {
  std::vector<WPARAM> sysKeys;
  TestWindow window(200, 150, [&](HWND, UINT msg, WPARAM wp, LPARAM, LRESULT&) {
    if (msg == WM_SYSKEYDOWN) sysKeys.push_back(wp);
    return false;
  });
  SetForegroundWindow(window.Handle());
  SetFocus(window.Handle());
  RunMessagesUntilIdle();
  int nulled = 0;
  TThreadHook hook(hkGetMessage, THookProc::Lambda([&](THookCall& call) {
                     auto* msg = reinterpret_cast<MSG*>(call.LParam);
                     if (call.WParam != PM_REMOVE || msg->message != WM_SYSKEYDOWN || msg->wParam != 'Q') return;
                     msg->message = WM_NULL;
                     ++nulled;
                   }));
  PostMessageA(window.Handle(), WM_SYSKEYDOWN, 'Q', 0x20000001);
  PostMessageA(window.Handle(), WM_SYSKEYDOWN, 'W', 0x20000001);
  ASSERT_TRUE(RunMessagesUntil([&] { return !sysKeys.empty(); }));
  EXPECT_EQ(nulled, 1);
  EXPECT_EQ(sysKeys, std::vector<WPARAM>{'W'});

  sysKeys.clear();
  SendKey(VK_MENU);
  SendKey('Q');
  SendKey('Q', true);
  SendKey('W');
  SendKey('W', true);
  SendKey(VK_MENU, true);
  ASSERT_TRUE(RunMessagesUntil([&] {
    return std::find(sysKeys.begin(), sysKeys.end(), WPARAM('W')) != sysKeys.end();
  }));
  RunMessagesUntilIdle();
  EXPECT_EQ(nulled, 2);
  EXPECT_EQ(std::count(sysKeys.begin(), sysKeys.end(), WPARAM('Q')), 0);
}

// Fact: activating a window of another process sends our active form
// WM_ACTIVATEAPP(FALSE).
TEST(Activation, AnotherProgramsWindowDeactivatesTheApplication) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(60, 60, 300, 200);
  std::vector<WPARAM> activateApp;
  const TWndMethod inherited = form->WindowProc;
  form->WindowProc = TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_ACTIVATEAPP) activateApp.push_back(m.WParam);
    inherited(m);
  });
  form->Show();
  SetForegroundWindow(form->Handle());
  ASSERT_TRUE(RunMessagesUntil([&] { return GetActiveWindow() == form->Handle(); }));
  RunMessagesUntilIdle();
  activateApp.clear();

  const std::string title = "Mevra sibling " + std::to_string(GetCurrentProcessId());
  std::string command = "\"" + SiblingProgram("foundation_sibling_window.exe") + "\" " + title;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
  HWND sibling = nullptr;
  ASSERT_TRUE(RunMessagesUntil([&] {
    sibling = FindWindowA("MevraSiblingWindow", title.c_str());
    return sibling && GetForegroundWindow() == sibling;
  }, 10000));
  EXPECT_TRUE(RunMessagesUntil([&] { return !activateApp.empty(); }));
  ASSERT_FALSE(activateApp.empty());
  EXPECT_EQ(activateApp.back(), 0u) << "WM_ACTIVATEAPP(FALSE)";

  PostMessageA(sibling, WM_CLOSE, 0, 0);
  WaitForSingleObject(pi.hProcess, 10000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  form->WindowProc = inherited;
  Free(form);
}

// Fact: a WS_CHILD tool window made inside a message-only window and moved
// to the desktop with SetParent shows on the screen and takes clicks.
TEST(Windows, AChildToolWindowMovedToTheDesktopShowsAndTakesClicks) {
  HWND messageOnly = AllocateHWnd(TWndMethod::Lambda([](TMessage& m) { m.Result = 0; }));
  int clicks = 0;
  // The tool window's class: a plain window that counts its clicks.
  static int* counter = nullptr;
  counter = &clicks;
  WNDCLASSA cls{};
  cls.lpfnWndProc = [](HWND wnd, UINT msg, WPARAM wp, LPARAM lp) -> LRESULT {
    if (msg == WM_LBUTTONDOWN && counter) ++*counter;
    return DefWindowProcA(wnd, msg, wp, lp);
  };
  cls.hInstance = GetModuleHandleA(nullptr);
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
  cls.lpszClassName = "MevraFactsChildTool";
  RegisterClassA(&cls);
  HWND tool = CreateWindowExA(WS_EX_TOOLWINDOW, cls.lpszClassName, "", WS_CHILD | WS_CLIPCHILDREN, 300, 300, 120,
                              80, messageOnly, nullptr, cls.hInstance, nullptr);
  ASSERT_NE(tool, nullptr);
  SetParent(tool, nullptr);
  // A child of the desktop: its parent reads as the desktop window.
  EXPECT_EQ(GetParent(tool), GetDesktopWindow());
  EXPECT_NE(GetWindowLongA(tool, GWL_STYLE) & WS_CHILD, 0) << "it keeps WS_CHILD";
  SetWindowPos(tool, HWND_TOPMOST, 300, 300, 120, 80, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  RunMessagesUntilIdle();
  EXPECT_TRUE(IsWindowVisible(tool));
  RECT r;
  GetWindowRect(tool, &r);
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 300);
  EXPECT_EQ(WindowFromPoint(POINT{360, 340}), tool);
  SendClick(360, 340);
  EXPECT_TRUE(RunMessagesUntil([&] { return clicks == 1; }));
  DestroyWindow(tool);
  counter = nullptr;
  UnregisterClassA(cls.lpszClassName, cls.hInstance);
  DeallocateHWnd(messageOnly);
}

}  // namespace
