// The editors' own failure: misuse of an editor or of its engines.
// Portable: no Windows headers, so the regular-expression engine that raises it
// also builds natively.
#pragma once

#include "platform/Exceptions.h"

class EcxEditError : public Exception { public: using Exception::Exception; };
// A value the editor's validation refused.
class EcxEditValidationError : public EcxEditError { public: using EcxEditError::EcxEditError; };
