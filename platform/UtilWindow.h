// Window messages as one record, and message-only windows whose messages go
// to an object's method (timers, tray icons, worker replies).
#pragma once

#include "platform/Event.h"
#include "platform/Win32.h"

// One window message; the handler sets Result.
struct TMessage {
  UINT Msg;
  WPARAM WParam;
  LPARAM LParam;
  LRESULT Result;
};

using TWndMethod = TEvent<void(TMessage& Message)>;

// Creates a message-only window on the calling thread whose every message is
// handed to `method`, which answers through Result and passes what it leaves
// to DefWindowProcA with the handle this function answered. Exceptions stop
// at the window procedure and go to the callback handler. Free with
// DeallocateHWnd on the same thread.
HWND AllocateHWnd(const TWndMethod& method);
void DeallocateHWnd(HWND wnd);

// The window procedure of windows whose GWLP_USERDATA holds a TWndMethod*
// (message-only windows above, the application's window): hands every
// message to the method inside the callback guard; DefWindowProcA until the
// method is set.
LRESULT CALLBACK MethodWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
