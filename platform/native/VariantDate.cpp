// The natively built runtime reads variant dates with the program's own
// formats only. (The Windows build adds the system's reading,
// VariantWin32.cpp.)
#include "platform/Variant.h"

bool VariantTextToDate(const AnsiString& text, TDateTime& value) { return TryStrToDateTime(text, value); }
