#include "platform/DebugOutput.h"

#include "platform/Win32.h"

void WriteDebugOutput(const std::string& line) { OutputDebugStringA(line.c_str()); }
