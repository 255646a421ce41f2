// The editors' own failure: misuse of an editor or of its engines.
// Portable: no Windows headers, so the regular-expression engine that raises it
// also builds natively.
// FIXME: belongs with the editor framework; moves there when that folder lands.
#pragma once

#include "platform/Exceptions.h"

class EcxEditError : public Exception { public: using Exception::Exception; };
