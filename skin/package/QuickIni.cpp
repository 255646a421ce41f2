#include "skin/package/QuickIni.h"

const TClassInfo TQuickIni::ClassInfo = {"TQuickIni", &TObject::ClassInfo, nullptr};

void TQuickIni::LoadFromStream(TStream* stream) {
  if (!stream) {
    FLines.clear();
    FSections.clear();
    return;
  }
  AnsiString text;
  char buffer[4096];
  for (int32_t got; (got = stream->Read(buffer, sizeof buffer)) > 0;) text.append(buffer, static_cast<size_t>(got));
  LoadFromText(text);
}

void TQuickIni::LoadFromText(const AnsiString& source) {
  FLines.clear();
  FSections.clear();
  const AnsiString text = source.substr(0, source.find('\0'));
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i < text.size() && text[i] != '\r' && text[i] != '\n') continue;
    const AnsiString line = Trim(text.substr(start, i - start));
    if (i < text.size() && text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
    if (line.empty() || line[0] == ';') continue;
    FLines.push_back(line);
    if (IsSectionLine(line)) FSections.push_back({line, static_cast<int>(FLines.size()) - 1});
  }
}

bool TQuickIni::IsSectionLine(const AnsiString& line) {
  return !line.empty() && line.front() == '[' && line.back() == ']';
}

AnsiString TQuickIni::KeyOfLine(const AnsiString& line) {
  const size_t eq = line.find('=');
  if (eq == AnsiString::npos) return AnsiString();
  return LowerCase(Trim(line.substr(0, eq)));
}

AnsiString TQuickIni::ValueOfLine(const AnsiString& line, const AnsiString& key) {
  const size_t eq = line.find('=');
  if (eq == AnsiString::npos || key.empty() || KeyOfLine(line) != key) return AnsiString();
  return Trim(line.substr(eq + 1));
}

int TQuickIni::SectionLine(const AnsiString& section) const {
  const AnsiString header = "[" + section + "]";
  for (const TSectionHeader& s : FSections)
    if (SameText(s.Text, header)) return s.Line;
  return -1;
}

AnsiString TQuickIni::ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& fallback) const {
  const AnsiString wanted = LowerCase(key);
  if (FLines.empty()) return fallback;
  const int header = SectionLine(section);
  if (header < 0) return fallback;
  for (size_t i = static_cast<size_t>(header) + 1; i < FLines.size() && !IsSectionLine(FLines[i]); ++i) {
    if (KeyOfLine(FLines[i]) != wanted) continue;
    const AnsiString value = ValueOfLine(FLines[i], wanted);
    return value.empty() ? fallback : value;
  }
  return fallback;
}

int32_t TQuickIni::ReadInteger(const AnsiString& section, const AnsiString& key, int32_t fallback) const {
  AnsiString s = ReadString(section, key, AnsiString());
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) s = "$" + s.substr(2);
  int value;
  if (!s.empty() && TryStrToInt(s, value)) return value;
  // Eight hexadecimal digits are a 32-bit pattern: colours such as
  // $FFFFFFFF (-1, "not given") are written that way.
  if (s.size() >= 2 && s.size() <= 9 && s[0] == '$') {
    uint32_t bits = 0;
    for (size_t i = 1; i < s.size(); ++i) {
      const char c = s[i];
      const int digit = c >= '0' && c <= '9' ? c - '0'
                        : c >= 'a' && c <= 'f' ? c - 'a' + 10
                        : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                               : -1;
      if (digit < 0) return fallback;
      bits = bits << 4 | static_cast<uint32_t>(digit);
    }
    return static_cast<int32_t>(bits);
  }
  return fallback;
}

void TQuickIni::ReadSections(std::vector<AnsiString>& list) const {
  list.clear();
  for (const TSectionHeader& s : FSections) {
    const AnsiString trimmed = Trim(s.Text);
    list.push_back(Trim(trimmed.substr(1, trimmed.size() - 2)));
  }
}
