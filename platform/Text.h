// 8-bit text in the system code page and the helpers the system uses on it.
// Portable: no Windows headers; code-page work lives in CodePage.h.
#pragma once

#include <cstdarg>
#include <cstdint>
#include <string>

// 8-bit text in the system code page (GBK on the users' systems).
using AnsiString = std::string;

// 1-based position of `sub` in `s`, 0 when absent (an empty `sub` is absent).
int Pos(const AnsiString& sub, const AnsiString& s, int offset = 1);
// `count` bytes of `s` from the 1-based `index`; out-of-range parts are clipped.
AnsiString Copy(const AnsiString& s, int index, int count);
// `s` without the bytes <= 0x20 at both ends (or one end).
AnsiString Trim(const AnsiString& s);
AnsiString TrimLeft(const AnsiString& s);
AnsiString TrimRight(const AnsiString& s);

AnsiString IntToStr(int64_t value);
AnsiString IntToHex(uint64_t value, int digits);
// Strict decimal (or $hex / 0x hex) integer, optional sign and surrounding
// blanks are refused; raises EConvertError "'<s>' is not a valid integer value".
int StrToInt(const AnsiString& s);
int64_t StrToInt64(const AnsiString& s);
int StrToIntDef(const AnsiString& s, int fallback);
bool TryStrToInt(const AnsiString& s, int& value);

// printf-style formatting into an AnsiString.
AnsiString Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
AnsiString FormatV(const char* format, va_list args);

// ASCII-only case mapping and comparison.
AnsiString UpperCase(const AnsiString& s);
AnsiString LowerCase(const AnsiString& s);
int CompareStr(const AnsiString& a, const AnsiString& b);
int CompareText(const AnsiString& a, const AnsiString& b);
bool SameText(const AnsiString& a, const AnsiString& b);

AnsiString StringReplaceAll(const AnsiString& s, const AnsiString& from, const AnsiString& to);

// Locale-aware comparison of system-code-page text: negative, 0 or positive.
// On Windows the system's collation for the current code page (CodePage.h);
// in the native build bytes, with ASCII letters folded for the Text form.
int AnsiCompareStr(const AnsiString& a, const AnsiString& b);
int AnsiCompareText(const AnsiString& a, const AnsiString& b);
inline bool AnsiSameText(const AnsiString& a, const AnsiString& b) { return AnsiCompareText(a, b) == 0; }
inline bool AnsiSameStr(const AnsiString& a, const AnsiString& b) { return AnsiCompareStr(a, b) == 0; }
