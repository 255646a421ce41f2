// The natively built runtime has no code page: text is single bytes, ASCII
// converts as it is and other bytes become replacement characters (or raise
// when strict). (The Windows build takes these from CodePage.cpp.)
#include "platform/CodePage.h"

#include "platform/Exceptions.h"

std::wstring AnsiToUtf16(const AnsiString& text, unsigned, bool strict) {
  std::wstring wide;
  for (char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b >= 0x80 && strict) throw EConvertError("No mapping for the 8-bit text");
    wide += b < 0x80 ? static_cast<wchar_t>(b) : L'\xFFFD';
  }
  return wide;
}

AnsiString Utf16ToAnsi(const std::wstring& text, unsigned, bool strict) {
  AnsiString narrow;
  for (wchar_t c : text) {
    if (c >= 0x80 && strict) throw EConvertError("No mapping for the Unicode character");
    narrow += c < 0x80 ? static_cast<char>(c) : '?';
  }
  return narrow;
}

bool IsLeadByte(unsigned char, unsigned) { return false; }
