// Thread hooks: each kind is called for its event, hooks chain newest first
// and always reach the hooks installed before them (ours and the system's),
// a raising procedure does not cross the hook, answers and removal in any
// order, also from inside a hook.
#include "platform/ThreadHook.h"
#include "tests/platform/hooks/HookTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

using namespace testing_support;
using namespace hook_tests;

// A hook installed straight through the system before ours: it stands for
// hooks other code of the process installed.
struct SystemCBTHook {
  static inline HHOOK Hook = nullptr;
  static inline std::vector<HWND> Created;
  static LRESULT CALLBACK Proc(int code, WPARAM wp, LPARAM lp) {
    if (code == HCBT_CREATEWND) Created.push_back(reinterpret_cast<HWND>(wp));
    return CallNextHookEx(Hook, code, wp, lp);
  }
  SystemCBTHook() {
    Created.clear();
    Hook = SetWindowsHookExA(WH_CBT, Proc, nullptr, GetCurrentThreadId());
  }
  ~SystemCBTHook() { UnhookWindowsHookEx(Hook); }
};

HWND MakeStatic(const char* text = "hooked") {
  return CreateWindowExA(0, "STATIC", text, WS_POPUP, 10, 10, 50, 20, nullptr, nullptr, GetModuleHandleA(nullptr),
                         nullptr);
}

// Records the creations and destructions a CBT hook sees.
struct CBTRecorder {
  TThreadHook Hook;
  std::vector<HWND> Created;
  std::vector<std::string> Classes;
  std::vector<HWND> Destroyed;
  CBTRecorder() {
    Hook.Install(hkCBT, THookProc::Lambda([this](THookCall& call) {
      if (call.Code == HCBT_CREATEWND) {
        Created.push_back(reinterpret_cast<HWND>(call.WParam));
        const auto* create = reinterpret_cast<CBT_CREATEWNDA*>(call.LParam)->lpcs;
        if (!IS_INTRESOURCE(create->lpszClass)) Classes.push_back(create->lpszClass);
      } else if (call.Code == HCBT_DESTROYWND) {
        Destroyed.push_back(reinterpret_cast<HWND>(call.WParam));
      }
    }));
  }
};

TEST(ThreadHook, ACBTHookSeesAWindowsCreationAndDestruction) {
  CBTRecorder recorder;
  HWND wnd = MakeStatic();
  ASSERT_TRUE(wnd);
  ASSERT_EQ(recorder.Created.size(), 1u);
  EXPECT_EQ(recorder.Created[0], wnd);
  ASSERT_EQ(recorder.Classes.size(), 1u);
  EXPECT_STRCASEEQ(recorder.Classes[0].c_str(), "STATIC");
  DestroyWindow(wnd);
  ASSERT_EQ(recorder.Destroyed.size(), 1u);
  EXPECT_EQ(recorder.Destroyed[0], wnd);
  recorder.Hook.Remove();
  EXPECT_EQ(TThreadHook::SystemHookCount(hkCBT), 0);
}

TEST(ThreadHook, ARaisingHookProcedureDoesNotCrossTheHookAndTheChainGoesOn) {
  CaughtExceptions caught;
  SystemCBTHook system;
  CBTRecorder older;
  std::vector<std::string> order;
  TThreadHook raising(hkCBT, THookProc::Lambda([&](THookCall& call) {
    if (call.Code != HCBT_CREATEWND) return;
    order.push_back("raising");
    throw EInvalidOperation("hook failed");
  }));
  HWND wnd = MakeStatic();
  ASSERT_TRUE(wnd) << "the window is made as if nothing had happened";
  EXPECT_EQ(older.Created, std::vector<HWND>{wnd}) << "the older hook of ours still ran";
  EXPECT_EQ(SystemCBTHook::Created, std::vector<HWND>{wnd}) << "the system's chain still ran";
  ASSERT_EQ(caught.Messages.size(), 1u);
  EXPECT_EQ(caught.Messages[0], "hook failed");
  DestroyWindow(wnd);
}

TEST(ThreadHook, HooksRunNewestFirstAndAHookMayAnswerInsteadOfTheChain) {
  std::vector<std::string> order;
  auto recordCreate = [&](const char* name) {
    return THookProc::Lambda([&order, name](THookCall& call) {
      if (call.Code == HCBT_CREATEWND) order.push_back(name);
    });
  };
  TThreadHook first(hkCBT, recordCreate("first"));
  // The newest refuses every creation, after letting the older ones see it.
  TThreadHook veto(hkCBT, THookProc::Lambda([&](THookCall& call) {
    if (call.Code != HCBT_CREATEWND) return;
    call.CallNext();
    order.push_back("veto");
    call.SetResult(1);
  }));
  TThreadHook second(hkCBT, recordCreate("second"));
  HWND wnd = MakeStatic();
  EXPECT_FALSE(wnd);
  EXPECT_EQ(order, (std::vector<std::string>{"second", "first", "veto"}));
  if (wnd) DestroyWindow(wnd);

  veto.Remove();
  order.clear();
  wnd = MakeStatic();
  EXPECT_TRUE(wnd);
  EXPECT_EQ(order, (std::vector<std::string>{"second", "first"}));
  DestroyWindow(wnd);
}

TEST(ThreadHook, HooksComeAndGoInAnyOrderAlsoFromInsideAHook) {
  ASSERT_EQ(TThreadHook::SystemHookCount(hkCallWndProc), 0);
  TestWindow window(100, 60);
  const UINT probe = WM_USER + 7;
  int aCalls = 0, bCalls = 0, cCalls = 0;
  auto* a = new TThreadHook(hkCallWndProc, THookProc::Lambda([&](THookCall& call) {
    if (reinterpret_cast<CWPSTRUCT*>(call.LParam)->message == probe) ++aCalls;
  }));
  TThreadHook b;
  TThreadHook c(hkCallWndProc, THookProc::Lambda([&](THookCall& call) {
    if (reinterpret_cast<CWPSTRUCT*>(call.LParam)->message != probe) return;
    ++cCalls;
    // Removes the one below it while the call is on its way there: the
    // removed hook is not called any more.
    b.Remove();
  }));
  b.Install(hkCallWndProc, THookProc::Lambda([&](THookCall& call) {
    if (reinterpret_cast<CWPSTRUCT*>(call.LParam)->message == probe) ++bCalls;
  }));
  // b is the newest: it runs before c removes it.
  SendMessageA(window.Handle(), probe, 0, 0);
  EXPECT_EQ(bCalls, 1);
  EXPECT_EQ(cCalls, 1);
  EXPECT_EQ(aCalls, 1);
  EXPECT_FALSE(b.Installed());

  delete a;  // the oldest goes first
  SendMessageA(window.Handle(), probe, 0, 0);
  EXPECT_EQ(aCalls, 1);
  EXPECT_EQ(cCalls, 2);
  c.Remove();
  EXPECT_EQ(TThreadHook::SystemHookCount(hkCallWndProc), 0) << "the system hook goes with the last of ours";
  SendMessageA(window.Handle(), probe, 0, 0);
  EXPECT_EQ(cCalls, 2);
}

TEST(ThreadHook, AGetMessageHookMayTakeAMessageAwayFromItsWindow) {
  const UINT probe = WM_USER + 9;
  int delivered = 0;
  TestWindow window(100, 60, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == probe) ++delivered;
    return false;
  });
  TThreadHook hook(hkGetMessage, THookProc::Lambda([&](THookCall& call) {
    auto* msg = reinterpret_cast<MSG*>(call.LParam);
    if (call.WParam == PM_REMOVE && msg->message == probe && msg->wParam == 1) msg->message = WM_NULL;
  }));
  PostMessageA(window.Handle(), probe, 1, 0);
  PostMessageA(window.Handle(), probe, 2, 0);
  EXPECT_TRUE(RunMessagesUntil([&] { return delivered > 0; }, 2000));
  RunMessagesUntilIdle();
  EXPECT_EQ(delivered, 1) << "only the message the hook left";
}

// Each kind of hook, with what makes the system call it.
struct KindCase {
  const char* Name;
  THookKind Kind;
  // Makes the event happen for `wnd`; answers false when it cannot here.
  std::function<bool(HWND wnd)> Trigger;
  // Whether a call is the event's.
  std::function<bool(const THookCall& call, HWND wnd)> IsEvent;
};

const KindCase kKinds[] = {
    {"call-window-procedure", hkCallWndProc,
     [](HWND wnd) { return SendMessageA(wnd, WM_USER + 11, 0, 0), true; },
     [](const THookCall& call, HWND wnd) {
       auto* cwp = reinterpret_cast<CWPSTRUCT*>(call.LParam);
       return cwp->hwnd == wnd && cwp->message == WM_USER + 11;
     }},
    {"get-message", hkGetMessage,
     [](HWND wnd) { return PostMessageA(wnd, WM_USER + 12, 0, 0) != FALSE; },
     [](const THookCall& call, HWND wnd) {
       auto* msg = reinterpret_cast<MSG*>(call.LParam);
       return msg->hwnd == wnd && msg->message == WM_USER + 12;
     }},
    {"message filter", hkMsgFilter,
     [](HWND wnd) {
       MSG msg{wnd, WM_USER + 13, 0, 0, 0, {0, 0}};
       CallMsgFilterA(&msg, MSGF_USER + 1);
       return true;
     },
     [](const THookCall& call, HWND wnd) {
       auto* msg = reinterpret_cast<MSG*>(call.LParam);
       return call.Code == MSGF_USER + 1 && msg->hwnd == wnd && msg->message == WM_USER + 13;
     }},
    {"mouse", hkMouse,
     [](HWND wnd) {
       RECT r;
       GetWindowRect(wnd, &r);
       SetForegroundWindow(wnd);
       SendMouseMove((r.left + r.right) / 2, (r.top + r.bottom) / 2);
       SendMouseMove((r.left + r.right) / 2 + 3, (r.top + r.bottom) / 2 + 2);
       return true;
     },
     [](const THookCall& call, HWND wnd) {
       auto* mouse = reinterpret_cast<MOUSEHOOKSTRUCT*>(call.LParam);
       return mouse->hwnd == wnd && (call.WParam == WM_MOUSEMOVE || call.WParam == WM_NCMOUSEMOVE);
     }},
    {"keyboard", hkKeyboard,
     [](HWND wnd) {
       SetForegroundWindow(wnd);
       SetFocus(wnd);
       SendKey('K');
       SendKey('K', true);
       return true;
     },
     [](const THookCall& call, HWND) { return call.WParam == 'K'; }},
};

TEST(ThreadHook, EachKindIsCalledForItsEventAndChains) {
  for (const KindCase& kind : kKinds) {
    SCOPED_TRACE(kind.Name);
    TestWindow window(160, 100);
    SetForegroundWindow(window.Handle());
    RunMessagesUntilIdle();
    int ours = 0, older = 0, negative = 0;
    TThreadHook olderHook(kind.Kind, THookProc::Lambda([&](THookCall& call) {
      if (kind.IsEvent(call, window.Handle())) ++older;
    }));
    TThreadHook hook(kind.Kind, THookProc::Lambda([&](THookCall& call) {
      if (call.Code < 0) ++negative;
      if (kind.IsEvent(call, window.Handle())) ++ours;
    }));
    ASSERT_TRUE(kind.Trigger(window.Handle()));
    EXPECT_TRUE(RunMessagesUntil([&] { return ours > 0; }, 3000));
    EXPECT_EQ(older, ours) << "every call reached the older hook";
    EXPECT_EQ(negative, 0);
  }
}

DWORD WINAPI RemoveOnAnotherThread(LPVOID data) {
  auto* args = static_cast<std::pair<TThreadHook*, bool*>*>(data);
  try {
    args->first->Remove();
  } catch (EInvalidOperation&) {
    *args->second = true;
  }
  return 0;
}

TEST(ThreadHook, RemovalBelongsToTheInstallingThread) {
  TThreadHook hook(hkCBT, THookProc::Lambda([](THookCall&) {}));
  bool refused = false;
  std::pair<TThreadHook*, bool*> args(&hook, &refused);
  HANDLE thread = CreateThread(nullptr, 0, RemoveOnAnotherThread, &args, 0, nullptr);
  ASSERT_TRUE(thread);
  WaitForSingleObject(thread, INFINITE);
  CloseHandle(thread);
  EXPECT_TRUE(refused);
  EXPECT_TRUE(hook.Installed());
  hook.Remove();
  EXPECT_FALSE(hook.Installed());
}

}  // namespace
