// Fuzzes what the floating box makes of a drop: any bytes as a CF_HTML block
// and as plain text. The fragment is always a piece of the block found after
// its start marker and free of the end marker; the title is never empty,
// holds no carriage return and no space, and is a piece of the text with its
// spaces removed (or the fixed "no subject" text).
#include "client/DropText.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const AnsiString bytes(reinterpret_cast<const char*>(data), size);
  const AnsiString fragment = CutHtmlFragment(bytes);
  if (!fragment.empty()) {
    const size_t start = bytes.find("<!--StartFragment-->");
    if (start == AnsiString::npos) std::abort();
    if (bytes.compare(start + 20, fragment.size(), fragment) != 0) std::abort();
    if (fragment.find("<!--EndFragment-->") != AnsiString::npos) std::abort();
  }
  const AnsiString title = TitleFromText(bytes);
  if (title.empty()) std::abort();
  if (title.find('\r') != AnsiString::npos || title.find(' ') != AnsiString::npos) std::abort();
  AnsiString squeezed;
  for (char c : bytes)
    if (c != ' ' && c != '\r') squeezed += c;
  if (title != "\xCE\xDE\xD6\xF7\xCC\xE2!" && squeezed.find(title) == AnsiString::npos) std::abort();
  return 0;
}
