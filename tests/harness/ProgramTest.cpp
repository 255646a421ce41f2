// The program starts, shows its first window (the sign-in window; the
// floating drop box, its main window, stays hidden until a sign-in) and ends
// cleanly when that window is closed.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;

struct FindTitle {
  DWORD Pid;
  HWND Found = nullptr;
};

BOOL CALLBACK FindTitleProc(HWND wnd, LPARAM lp) {
  auto* find = reinterpret_cast<FindTitle*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(wnd, &pid);
  char title[64] = {};
  GetWindowTextA(wnd, title, sizeof title);
  // The application window has a title of its own and no size.
  RECT r{};
  GetWindowRect(wnd, &r);
  const bool sized = r.right > r.left && r.bottom > r.top;
  if (pid == find->Pid && IsWindowVisible(wnd) && sized && std::string(title) == "Mevra登录/注册") {
    find->Found = wnd;
    return FALSE;
  }
  return TRUE;
}

// Whether the window or any window inside it still waits to be painted.
BOOL CALLBACK ChildNeedsPainting(HWND wnd, LPARAM found) {
  if (IsWindowVisible(wnd) && GetUpdateRect(wnd, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

bool NeedsPainting(HWND wnd) {
  bool found = GetUpdateRect(wnd, nullptr, FALSE) != FALSE;
  if (!found) EnumChildWindows(wnd, ChildNeedsPainting, reinterpret_cast<LPARAM>(&found));
  return found;
}

TEST(Program, ShowsTitledWindowAndEndsOnClose) {
  std::string cmd = "\"" + SiblingProgram("mevra.exe") + "\"";
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      << "cannot start " << cmd;
  FindTitle find{pi.dwProcessId};
  const bool shown = RunMessagesUntil([&] {
    EnumWindows(FindTitleProc, reinterpret_cast<LPARAM>(&find));
    return find.Found != nullptr;
  }, 15000);
  EXPECT_TRUE(shown);
  if (shown) {
    // The window belongs to another process, so it is read from the display:
    // kept in front of the other test programs' windows, and read once it
    // has nothing left to paint.
    SetWindowPos(find.Found, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(RunMessagesUntil([&] { return !NeedsPainting(find.Found); }));
    SaveScreenshot(find.Found, "mevra-first-window");
    PostMessageA(find.Found, WM_CLOSE, 0, 0);
  }
  const DWORD wait = WaitForSingleObject(pi.hProcess, 10000);
  DWORD code = 12345;
  GetExitCodeProcess(pi.hProcess, &code);
  if (wait != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 99);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  EXPECT_EQ(wait, WAIT_OBJECT_0);
  EXPECT_EQ(code, 0u);
}

}  // namespace
