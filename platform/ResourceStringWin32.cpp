#include "platform/ResourceString.h"

#include "platform/CodePage.h"
#include "platform/Win32.h"

bool ReadStringTableText(unsigned id, AnsiString& text) {
  // The string table holds UTF-16; a length of 0 means no entry.
  const wchar_t* entry = nullptr;
  const int n = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&entry), 0);
  if (n <= 0 || !entry) return false;
  text = Utf16ToAnsi(std::wstring(entry, static_cast<size_t>(n)));
  return true;
}
