// Conversions between the system code page (the 8-bit text of the program),
// UTF-8 and UTF-16, double-byte character walking and case mapping. The code
// page is the system's ANSI code page unless a test sets another one.
#pragma once

#include "platform/Text.h"

#include <string>

// The code page 8-bit text is in: the system's ANSI code page (936 on the
// users' systems) unless SetSystemCodePage chose one.
unsigned SystemCodePage();
// Chooses the code page for tests; 0 returns to the system's.
void SetSystemCodePage(unsigned codePage);

// Invalid input: lenient conversions put U+FFFD (or "?" in 8-bit text) for
// what cannot be decoded or represented; strict ones raise EConvertError.
std::wstring Utf8ToUtf16(const std::string& utf8, bool strict = false);
std::string Utf16ToUtf8(const std::wstring& text);
std::wstring AnsiToUtf16(const AnsiString& text, unsigned codePage = 0, bool strict = false);
AnsiString Utf16ToAnsi(const std::wstring& text, unsigned codePage = 0, bool strict = false);
AnsiString Utf8ToAnsi(const std::string& utf8, unsigned codePage = 0);
std::string AnsiToUtf8(const AnsiString& text, unsigned codePage = 0);

enum class TMbcsByteType { mbSingleByte, mbLeadByte, mbTrailByte };
using enum TMbcsByteType;

// True when `b` starts a two-byte character in the code page (0: current).
bool IsLeadByte(unsigned char b, unsigned codePage = 0);
// What the byte at the 1-based `index` is, walking from the start of `s`.
TMbcsByteType ByteType(const AnsiString& s, int index);
// Bytes of the character starting at the 1-based `index` (1 or 2; 1 for a
// lead byte cut off at the end of the text, 0 past the end).
int CharByteCount(const AnsiString& s, int index);
// 1-based position of the character after / before the one at `index`.
int NextCharPos(const AnsiString& s, int index);
int PrevCharPos(const AnsiString& s, int index);
// Number of characters (not bytes) in `s`.
int CharCount(const AnsiString& s);

// Case mapping of every letter the code page can hold (full-width Latin in
// GBK too); characters without a case are left as they are.
AnsiString AnsiUpperCase(const AnsiString& s);
AnsiString AnsiLowerCase(const AnsiString& s);
