// A line for the debugger watching the process, if any.
#pragma once

#include <string>

void WriteDebugOutput(const std::string& line);
