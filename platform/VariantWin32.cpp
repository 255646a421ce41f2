// How the Windows build reads dates from text for variants: the program's
// own formats first, then the system's variant conversion in the thread
// locale, which also takes blanks as separators and month names.
#include "platform/CodePage.h"
#include "platform/Variant.h"
#include "platform/Win32.h"

#include <oleauto.h>

bool VariantTextToDate(const AnsiString& text, TDateTime& value) {
  if (TryStrToDateTime(text, value)) return true;
  std::wstring wide = AnsiToUtf16(text);
  DATE date;
  if (FAILED(VarDateFromStr(wide.data(), GetThreadLocale(), 0, &date))) return false;
  value = date;
  return true;
}
