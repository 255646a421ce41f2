// Shared by the subclassing and hook tests: exceptions stopped at callback
// boundaries, kept instead of shown.
#pragma once

#include "platform/CallbackGuard.h"

#include <string>
#include <vector>

namespace hook_tests {

class CaughtExceptions {
public:
  CaughtExceptions() {
    FOld = SetCallbackExceptionHandler(
        TExceptionEvent::Lambda([this](TObject*, Exception& e) { Messages.push_back(e.Message()); }));
  }
  ~CaughtExceptions() { SetCallbackExceptionHandler(FOld); }
  CaughtExceptions(const CaughtExceptions&) = delete;
  CaughtExceptions& operator=(const CaughtExceptions&) = delete;
  std::vector<std::string> Messages;

private:
  TExceptionEvent FOld;
};

}  // namespace hook_tests
