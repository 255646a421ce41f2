// The natively built runtime has no locale: the invariant formats. (The
// Windows build reads the thread locale in LocaleFormats.cpp.)
#include "platform/FormatSettings.h"

TFormatSettings SystemFormatSettings() { return InvariantFormatSettings(); }
