#include "client/DropText.h"

#include <algorithm>

namespace {

constexpr std::string_view StartMarker = "<!--StartFragment-->";
constexpr std::string_view EndMarker = "<!--EndFragment-->";

// Trimmed as the class library trims: every byte up to the space counts as
// blank, at both ends.
bool IsBlank(const AnsiString& text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) <= ' '; });
}

}  // namespace

AnsiString CutHtmlFragment(const AnsiString& html) {
  const size_t start = html.find(StartMarker);
  if (start == AnsiString::npos) return AnsiString();
  const size_t from = start + StartMarker.size();
  // The rest after the marker, one byte short of the block's end.
  const size_t restLength = html.size() - from;
  const AnsiString rest = restLength > 0 ? html.substr(from, restLength - 1) : AnsiString();
  const size_t end = rest.find(EndMarker);
  if (end == AnsiString::npos) return AnsiString();
  return rest.substr(0, end);
}

AnsiString TitleFromText(const AnsiString& text) {
  AnsiString s;
  s.reserve(text.size());
  for (char c : text)
    if (c != ' ') s += c;
  AnsiString title;
  size_t from = 0;  // s is consumed from here on
  while (IsBlank(title)) {
    const size_t cr = s.find('\r', from);
    if (cr == AnsiString::npos) {
      title = s.substr(from);
      break;
    }
    if (cr == from) {
      ++from;
      continue;
    }
    title = s.substr(from, cr + 1 - from);
    from = cr + 1;
  }
  std::erase(title, '\r');
  if (title.empty()) return "\xCE\xDE\xD6\xF7\xCC\xE2!";  // 无主题!
  return title;
}
