// Exceptions of the picture layer. Portable, so that the decoders of picture
// formats also build natively for the sanitizer and fuzzing builds.
#pragma once

#include "platform/Exceptions.h"

// Picture data that cannot be read, or a picture class that is not known.
class EInvalidGraphic : public Exception { public: using Exception::Exception; };
// An operation the picture cannot perform in its current state.
class EInvalidGraphicOperation : public Exception { public: using Exception::Exception; };
