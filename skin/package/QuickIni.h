// The INI text of a skin package, read the way skins have always been read:
// the first occurrence of a section or a key decides, names compare without
// regard to case. Portable: no Windows headers.
#pragma once

#include "platform/Object.h"
#include "platform/Stream.h"

#include <cstdint>
#include <vector>

class TQuickIni : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Reads the text from the stream's position to its end (a NUL ends it);
  // a null stream leaves the INI empty.
  void LoadFromStream(TStream* stream);
  void LoadFromText(const AnsiString& text);

  AnsiString ReadString(const AnsiString& section, const AnsiString& key, const AnsiString& fallback) const;
  // Decimal, "$" hexadecimal or "0x" hexadecimal; `fallback` when missing or malformed.
  int32_t ReadInteger(const AnsiString& section, const AnsiString& key, int32_t fallback) const;
  // The section names in order of appearance.
  void ReadSections(std::vector<AnsiString>& list) const;

  // Index in the kept lines of the header of `section`, or -1.
  int SectionLine(const AnsiString& section) const;
  static AnsiString KeyOfLine(const AnsiString& line);
  static AnsiString ValueOfLine(const AnsiString& line, const AnsiString& key);
  static bool IsSectionLine(const AnsiString& line);

  const std::vector<AnsiString>& Lines() const { return FLines; }

private:
  struct TSectionHeader {
    AnsiString Text;  // trimmed, brackets kept
    int Line;         // index in FLines
  };
  std::vector<AnsiString> FLines;          // trimmed, neither blank nor comments
  std::vector<TSectionHeader> FSections;
};
