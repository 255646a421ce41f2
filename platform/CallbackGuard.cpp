#include "platform/CallbackGuard.h"

#include "platform/DebugOutput.h"

#include <cstdio>
#include <mutex>
#include <new>

namespace {

std::mutex HandlerLock;
TExceptionEvent Handler;

void DefaultReport(Exception& e) {
  const std::string line = e.Message() + "\n";
  WriteDebugOutput(line);
  std::fputs(line.c_str(), stderr);
}

void Report(TObject* sender, Exception& e) {
  if (dynamic_cast<EAbort*>(&e)) return;
  TExceptionEvent handler;
  {
    std::lock_guard<std::mutex> lock(HandlerLock);
    handler = Handler;
  }
  try {
    if (handler) handler(sender, e);
    else DefaultReport(e);
  } catch (...) {
    // A handler that raises has nowhere further to go.
  }
}

}  // namespace

TExceptionEvent SetCallbackExceptionHandler(const TExceptionEvent& handler) {
  std::lock_guard<std::mutex> lock(HandlerLock);
  TExceptionEvent old = Handler;
  Handler = handler;
  return old;
}

void HandleCallbackException(TObject* sender) noexcept {
  try {
    try {
      throw;
    } catch (Exception& e) {
      Report(sender, e);
    } catch (const std::bad_alloc&) {
      EOutOfMemory e("Out of memory");
      Report(sender, e);
    } catch (const std::exception& e) {
      Exception wrapped(e.what());
      Report(sender, wrapped);
    } catch (...) {
      Exception wrapped("Unknown exception");
      Report(sender, wrapped);
    }
  } catch (...) {
  }
}
