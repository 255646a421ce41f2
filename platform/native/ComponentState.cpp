// The natively built runtime has no form reader (Filer.cpp, which defines a
// component's ReadState for the Windows build): reading state is refused.
#include "platform/Component.h"

#include "platform/Exceptions.h"

void TComponent::ReadState(TReader*) { throw EInvalidOperation("Forms are not read in this build"); }
