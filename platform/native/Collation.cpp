// The natively built runtime has no system collation: bytes, with ASCII
// letters folded for the case-insensitive form. (The Windows build takes
// these from CodePage.cpp instead.)
#include "platform/Text.h"

int AnsiCompareStr(const AnsiString& a, const AnsiString& b) { return CompareStr(a, b); }

int AnsiCompareText(const AnsiString& a, const AnsiString& b) { return CompareText(a, b); }
