// Window subclassing: several subclasses on one window (a system EDIT made
// outside the class library, ANSI or wide, and one of our edits), removed in
// every order and with another library's subclass in between; the window
// keeps working and its own procedure comes back.
#include "platform/Forms.h"
#include "platform/StdCtrls.h"
#include "platform/WindowSubclass.h"
#include "tests/platform/hooks/HookTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace {

using namespace testing_support;
using namespace hook_tests;

// A window to subclass and a way to free it.
struct TargetWindow {
  HWND Handle = nullptr;
  std::function<void()> Free;
  ~TargetWindow() {
    if (Free) Free();
  }
};

using WindowFactory = std::function<std::unique_ptr<TargetWindow>()>;

std::unique_ptr<TargetWindow> ForeignAnsiEdit() {
  auto w = std::make_unique<TargetWindow>();
  w->Handle = CreateWindowExA(0, "EDIT", "", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 200, 24, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  HWND wnd = w->Handle;
  w->Free = [wnd] {
    if (IsWindow(wnd)) DestroyWindow(wnd);
  };
  return w;
}

std::unique_ptr<TargetWindow> ForeignWideEdit() {
  auto w = std::make_unique<TargetWindow>();
  w->Handle = CreateWindowExW(0, L"EDIT", L"", WS_POPUP | WS_VISIBLE | WS_BORDER, 40, 40, 200, 24, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  HWND wnd = w->Handle;
  w->Free = [wnd] {
    if (IsWindow(wnd)) DestroyWindow(wnd);
  };
  return w;
}

std::unique_ptr<TargetWindow> OurEdit() {
  auto w = std::make_unique<TargetWindow>();
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 260, 90);
  auto* edit = New<TEdit>(form);
  edit->SetParent(form);
  edit->SetBounds(8, 8, 200, 24);
  form->Show();
  w->Handle = edit->Handle();
  w->Free = [form] { ::Free(form); };
  return w;
}

// The window edits as an edit should: text set and read back, a typed
// character inserted at the caret.
void ExpectEditWorks(HWND wnd, const char* text) {
  ASSERT_TRUE(SetWindowTextA(wnd, text));
  SendMessageA(wnd, EM_SETSEL, 0x7FFF, 0x7FFF);
  SendMessageA(wnd, WM_CHAR, 'x', 1);
  char buffer[64] = {};
  GetWindowTextA(wnd, buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer), std::string(text) + "x");
}

// A subclass that counts the texts set and passes everything on.
struct Layer {
  TWindowSubclass Subclass;
  int Texts = 0;
  void Attach(HWND wnd) {
    Subclass.Attach(wnd, TWndMethod::Lambda([this](TMessage& m) {
      if (m.Msg == WM_SETTEXT) ++Texts;
      Subclass.CallPrevious(m);
    }));
  }
};

// Another library's subclass, installed with SetWindowLongPtr; it takes
// itself out only while it is the window's procedure, as a careful one does.
struct RawLayer {
  static inline WNDPROC Old = nullptr;
  static inline int Texts = 0;
  static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_SETTEXT) ++Texts;
    return CallWindowProcA(Old, wnd, msg, wp, lp);
  }
  static void Attach(HWND wnd) {
    Texts = 0;
    Old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc)));
  }
  static bool Remove(HWND wnd) {
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)) != &Proc) return false;
    SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Old));
    return true;
  }
};

struct OrderCase {
  const char* Name;
  int Remove[3];
};

const OrderCase kOrders[] = {
    {"newest first", {2, 1, 0}},
    {"oldest first", {0, 1, 2}},
    {"middle first", {1, 0, 2}},
    {"middle, newest, oldest", {1, 2, 0}},
};

struct WindowCase {
  const char* Name;
  WindowFactory Make;
};

const WindowCase kWindows[] = {
    {"foreign ANSI edit", ForeignAnsiEdit},
    {"foreign wide edit", ForeignWideEdit},
    {"edit of the class library", OurEdit},
};

TEST(WindowSubclass, RemovedInAnyOrderTheWindowKeepsWorkingAndGetsItsProcedureBack) {
  for (const WindowCase& windowCase : kWindows) {
    for (const OrderCase& order : kOrders) {
      SCOPED_TRACE(std::string(windowCase.Name) + ", " + order.Name);
      auto window = windowCase.Make();
      HWND wnd = window->Handle;
      ASSERT_TRUE(wnd);
      const bool unicode = IsWindowUnicode(wnd) != FALSE;
      const LONG_PTR original = GetWindowLongPtrA(wnd, GWLP_WNDPROC);
      const int records = TWindowSubclass::RecordCount();
      Layer layers[3];
      for (Layer& layer : layers) layer.Attach(wnd);
      EXPECT_EQ(IsWindowUnicode(wnd) != FALSE, unicode) << "the character set stays";
      ExpectEditWorks(wnd, "abc");
      for (Layer& layer : layers) EXPECT_EQ(layer.Texts, 1);

      bool removed[3] = {};
      for (int index : order.Remove) {
        layers[index].Subclass.Remove();
        removed[index] = true;
        for (Layer& layer : layers) layer.Texts = 0;
        ExpectEditWorks(wnd, "def");
        for (int i = 0; i < 3; ++i) EXPECT_EQ(layers[i].Texts, removed[i] ? 0 : 1) << "layer " << i;
        EXPECT_FALSE(layers[index].Subclass.Attached());
      }
      EXPECT_EQ(GetWindowLongPtrA(wnd, GWLP_WNDPROC), original);
      EXPECT_EQ(IsWindowUnicode(wnd) != FALSE, unicode);
      EXPECT_EQ(TWindowSubclass::RecordCount(), records) << "nothing left behind";
    }
  }
}

TEST(WindowSubclass, UnderAnotherLibrarysSubclassItPassesMessagesOnUntilItCanGo) {
  auto window = ForeignAnsiEdit();
  HWND wnd = window->Handle;
  const LONG_PTR original = GetWindowLongPtrA(wnd, GWLP_WNDPROC);
  const int records = TWindowSubclass::RecordCount();
  Layer below, above;
  below.Attach(wnd);
  RawLayer::Attach(wnd);
  above.Attach(wnd);

  below.Subclass.Remove();
  EXPECT_FALSE(below.Subclass.Attached());
  EXPECT_EQ(TWindowSubclass::RecordCount(), records + 2) << "kept as a pass-through";
  ExpectEditWorks(wnd, "one");
  EXPECT_EQ(below.Texts, 0);
  EXPECT_EQ(RawLayer::Texts, 1);
  EXPECT_EQ(above.Texts, 1);

  above.Subclass.Remove();
  EXPECT_EQ(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(wnd, GWLP_WNDPROC)), &RawLayer::Proc);
  ExpectEditWorks(wnd, "two");
  EXPECT_EQ(RawLayer::Texts, 2);

  // The other library leaves: the pass-through is the window's procedure
  // again and goes with the next message.
  ASSERT_TRUE(RawLayer::Remove(wnd));
  ExpectEditWorks(wnd, "three");
  EXPECT_EQ(GetWindowLongPtrA(wnd, GWLP_WNDPROC), original);
  EXPECT_EQ(TWindowSubclass::RecordCount(), records);
}

TEST(WindowSubclass, APassThroughGoesWithItsWindow) {
  const int records = TWindowSubclass::RecordCount();
  {
    auto window = ForeignAnsiEdit();
    Layer below;
    below.Attach(window->Handle);
    RawLayer::Attach(window->Handle);
    below.Subclass.Remove();
    EXPECT_EQ(TWindowSubclass::RecordCount(), records + 1);
  }
  EXPECT_EQ(TWindowSubclass::RecordCount(), records);
}

TEST(WindowSubclass, TheMethodSeesTextInTheWindowsCharacterSet) {
  const std::wstring wide = L"\x4E2D\x6587 text";
  {
    auto window = ForeignWideEdit();
    TWindowSubclass subclass;
    std::wstring seen;
    subclass.Attach(window->Handle, TWndMethod::Lambda([&](TMessage& m) {
      if (m.Msg == WM_SETTEXT) seen = reinterpret_cast<const wchar_t*>(m.LParam);
      subclass.CallPrevious(m);
    }));
    EXPECT_TRUE(subclass.Unicode());
    SetWindowTextW(window->Handle, wide.c_str());
    EXPECT_EQ(seen, wide);
    wchar_t buffer[32] = {};
    GetWindowTextW(window->Handle, buffer, 32);
    EXPECT_EQ(std::wstring(buffer), wide);
  }
  {
    auto window = ForeignAnsiEdit();
    TWindowSubclass subclass;
    std::string seen;
    subclass.Attach(window->Handle, TWndMethod::Lambda([&](TMessage& m) {
      if (m.Msg == WM_SETTEXT) seen = reinterpret_cast<const char*>(m.LParam);
      subclass.CallPrevious(m);
    }));
    EXPECT_FALSE(subclass.Unicode());
    SetWindowTextA(window->Handle, "中文");
    EXPECT_EQ(seen, "中文");
  }
}

TEST(WindowSubclass, RemovedFromInsideItsMethodTheMessageStillPassesOn) {
  auto window = ForeignAnsiEdit();
  const LONG_PTR original = GetWindowLongPtrA(window->Handle, GWLP_WNDPROC);
  TWindowSubclass subclass;
  int calls = 0;
  subclass.Attach(window->Handle, TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_SETTEXT) {
      ++calls;
      subclass.Remove();
    }
    subclass.CallPrevious(m);
  }));
  SetWindowTextA(window->Handle, "kept");
  char buffer[16] = {};
  GetWindowTextA(window->Handle, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "kept");
  EXPECT_EQ(GetWindowLongPtrA(window->Handle, GWLP_WNDPROC), original);
  ExpectEditWorks(window->Handle, "more");
  EXPECT_EQ(calls, 1);
}

TEST(WindowSubclass, AMethodThatSwallowsAMessageKeepsItFromTheWindow) {
  auto window = ForeignAnsiEdit();
  TWindowSubclass subclass;
  subclass.Attach(window->Handle, TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_CHAR) {
      m.Result = 1;
      return;
    }
    subclass.CallPrevious(m);
  }));
  SetWindowTextA(window->Handle, "ab");
  SendMessageA(window->Handle, WM_CHAR, 'x', 1);
  char buffer[16] = {};
  GetWindowTextA(window->Handle, buffer, sizeof buffer);
  EXPECT_STREQ(buffer, "ab");
}

TEST(WindowSubclass, ARaisingMethodDoesNotCrossTheWindowProcedure) {
  CaughtExceptions caught;
  auto window = ForeignAnsiEdit();
  TWindowSubclass subclass;
  subclass.Attach(window->Handle, TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_SETTEXT) throw EInvalidOperation("subclass failed");
    subclass.CallPrevious(m);
  }));
  ExpectEditWorks(window->Handle, "still");
  ASSERT_EQ(caught.Messages.size(), 1u);
  EXPECT_EQ(caught.Messages[0], "subclass failed");
}

TEST(WindowSubclass, DestroyingTheWindowEndsTheSubclass) {
  const int records = TWindowSubclass::RecordCount();
  auto window = ForeignAnsiEdit();
  TWindowSubclass subclass;
  bool sawEnd = false;
  // Not passing WM_NCDESTROY on would leave the edit's own data behind: the
  // subclass passes it on by itself.
  subclass.Attach(window->Handle, TWndMethod::Lambda([&](TMessage& m) {
    if (m.Msg == WM_NCDESTROY) {
      sawEnd = true;
      return;
    }
    subclass.CallPrevious(m);
  }));
  DestroyWindow(window->Handle);
  EXPECT_TRUE(sawEnd);
  EXPECT_FALSE(subclass.Attached());
  EXPECT_EQ(TWindowSubclass::RecordCount(), records);
  TMessage message{WM_GETTEXTLENGTH, 0, 0, 42};
  subclass.CallPrevious(message);
  EXPECT_EQ(message.Result, 0);
  subclass.Remove();  // harmless
}

TEST(WindowSubclass, RefusesWhatCannotBeSubclassed) {
  TWindowSubclass subclass;
  EXPECT_THROW(subclass.Attach(nullptr, TWndMethod()), EInvalidOperation);
  EXPECT_THROW(subclass.Attach(reinterpret_cast<HWND>(static_cast<LONG_PTR>(0x7FFF0)), TWndMethod()),
               EInvalidOperation);
  // The desktop window belongs to another process.
  EXPECT_THROW(subclass.Attach(GetDesktopWindow(), TWndMethod()), EInvalidOperation);
  auto window = ForeignAnsiEdit();
  subclass.Attach(window->Handle, TWndMethod::Lambda([&](TMessage& m) { subclass.CallPrevious(m); }));
  EXPECT_THROW(subclass.Attach(window->Handle, TWndMethod()), EInvalidOperation);
}

}  // namespace
