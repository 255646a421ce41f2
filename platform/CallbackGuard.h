// The boundary every callback of the system passes through: no C++ exception
// may unwind into Windows (window, timer and hook procedures, thread entry
// points) or out of a COM method. The guard catches, hands the exception to
// the application's handler and returns a result the caller understands.
// Portable: no Windows headers.
#pragma once

#include "platform/Event.h"
#include "platform/Exceptions.h"

class TObject;

// The application's handler for exceptions stopped at a callback boundary
// (the forms layer shows them in a message box). EAbort never reaches it.
using TExceptionEvent = TEvent<void(TObject* Sender, Exception& E)>;

// Installs the handler; an unassigned one restores the default, which writes
// the message to the debugger output and standard error. Answers the old one.
TExceptionEvent SetCallbackExceptionHandler(const TExceptionEvent& handler);

// Call only inside a catch block: turns the exception being handled into an
// Exception (std::bad_alloc into EOutOfMemory, other std::exceptions and
// unknown objects into Exception) and hands it to the handler. Never throws.
void HandleCallbackException(TObject* sender = nullptr) noexcept;

// Runs `body` and answers its result; when it raises, hands the exception to
// the handler and answers `failed`:
//   return GuardCallback([&] { return self->WndProc(msg, wp, lp); }, LRESULT(0));
template <class F, class R>
inline R GuardCallback(F&& body, R failed, TObject* sender = nullptr) noexcept {
  try {
    return body();
  } catch (...) {
    HandleCallbackException(sender);
    return failed;
  }
}

// The same for bodies with no result.
template <class F>
inline void GuardCallback(F&& body, TObject* sender = nullptr) noexcept {
  try {
    body();
  } catch (...) {
    HandleCallbackException(sender);
  }
}
