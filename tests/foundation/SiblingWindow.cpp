// A plain window in a process of its own, for tests of what a window of
// another program does to ours (activation, the application's deactivation).
// It shows a top-level window titled after its first argument, brings it to
// the foreground and runs until the window is closed.
#include "platform/Win32.h"

namespace {

LRESULT CALLBACK SiblingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  WNDCLASSA cls{};
  cls.lpfnWndProc = SiblingProc;
  cls.hInstance = instance;
  cls.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
  cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  cls.lpszClassName = "MevraSiblingWindow";
  RegisterClassA(&cls);
  const char* title = commandLine && *commandLine ? commandLine : "Mevra sibling";
  HWND wnd = CreateWindowExA(0, cls.lpszClassName, title, WS_OVERLAPPEDWINDOW, 700, 500, 240, 160, nullptr,
                             nullptr, instance, nullptr);
  if (!wnd) return 1;
  ShowWindow(wnd, SW_SHOW);
  SetForegroundWindow(wnd);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}
