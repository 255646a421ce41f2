#include "platform/Exceptions.h"

EAssertionFailed::EAssertionFailed(const std::string& message, const std::string& unit, int line)
    : Exception(message + " (" + unit + ", line " + std::to_string(line) + ")"), FUnit(unit), FLine(line) {}

void Abort() { throw EAbort("Operation aborted"); }
