#include "platform/UtilWindow.h"

#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"
#include "platform/HandleCounts.h"

namespace {

const char* const UtilWindowClass = "MevraUtilWindow";

}  // namespace

LRESULT CALLBACK MethodWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  if (!method) return DefWindowProcA(wnd, msg, wp, lp);
  return GuardCallback(
      [&] {
        TMessage message{msg, wp, lp, 0};
        // A copy: the method may deallocate its own window.
        const TWndMethod call = *method;
        call(message);
        return message.Result;
      },
      LRESULT(0));
}

HWND AllocateHWnd(const TWndMethod& method) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  if (!GetClassInfoA(instance, UtilWindowClass, &wc)) {
    wc.lpfnWndProc = MethodWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = UtilWindowClass;
    if (!RegisterClassA(&wc)) throw EOutOfResources("Cannot register the utility window class");
  }
  HWND wnd = CreateWindowExA(0, UtilWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
  if (!wnd) throw EOutOfResources("Cannot create a utility window");
  HandleCreated(hkWindow);
  // Set after creation: the creation messages go to DefWindowProc.
  SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new TWndMethod(method)));
  return wnd;
}

void DeallocateHWnd(HWND wnd) {
  if (!wnd) return;
  auto* method = reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
  SetWindowLongPtrA(wnd, GWLP_USERDATA, 0);
  DestroyWindow(wnd);
  HandleDeleted(hkWindow);
  delete method;
}
