// The native build has no debugger channel: standard error is enough.
// (The Windows build takes this from DebugOutput.cpp instead.)
#include "platform/DebugOutput.h"

void WriteDebugOutput(const std::string&) {}
