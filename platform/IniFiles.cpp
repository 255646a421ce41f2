#include "platform/IniFiles.h"

#include "platform/FileStream.h"
#include "platform/Stream.h"
#include "platform/SysUtils.h"
#include "platform/Win32.h"

#include <cstring>
#include <vector>

const TClassInfo TCustomIniFile::ClassInfo{"TCustomIniFile", &TObject::ClassInfo, nullptr};
const TClassInfo TMemIniFile::ClassInfo{"TMemIniFile", &TCustomIniFile::ClassInfo, nullptr};
const TClassInfo TIniFile::ClassInfo{"TIniFile", &TCustomIniFile::ClassInfo, nullptr};

AnsiString BytesToHex(const void* data, size_t count) {
  static const char digits[] = "0123456789ABCDEF";
  AnsiString s;
  s.reserve(count * 2);
  auto* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < count; ++i) {
    s += digits[p[i] >> 4];
    s += digits[p[i] & 15];
  }
  return s;
}

namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace

bool HexToBytes(const AnsiString& text, std::string& bytes) {
  if (text.size() % 2) return false;
  bytes.resize(text.size() / 2);
  for (size_t i = 0; i < bytes.size(); ++i) {
    int hi = HexDigit(text[2 * i]), lo = HexDigit(text[2 * i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[i] = static_cast<char>(hi * 16 + lo);
  }
  return true;
}

// ---------------------------------------------------------------- common

int TCustomIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) {
  AnsiString s = Trim(ReadString(section, ident, AnsiString()));
  int value = 0;
  return !s.empty() && TryStrToInt(s, value) ? value : fallback;
}

void TCustomIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
  WriteString(section, ident, IntToStr(value));
}

bool TCustomIniFile::ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback) {
  return ReadInteger(section, ident, fallback ? 1 : 0) != 0;
}

void TCustomIniFile::WriteBool(const AnsiString& section, const AnsiString& ident, bool value) {
  WriteString(section, ident, value ? "1" : "0");
}

int TCustomIniFile::ReadBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value) {
  AnsiString text = Trim(ReadString(section, ident, AnsiString()));
  std::string bytes;
  if (!HexToBytes(text, bytes))
    throw EIniFileException(Format("Invalid binary value for %s in section %s", ident.c_str(), section.c_str()));
  if (!bytes.empty()) value.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return static_cast<int>(bytes.size());
}

void TCustomIniFile::WriteBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value) {
  std::string bytes(static_cast<size_t>(value.Size() - value.Position()), '\0');
  if (!bytes.empty()) value.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  WriteString(section, ident, BytesToHex(bytes.data(), bytes.size()));
}

bool TCustomIniFile::SectionExists(const AnsiString& section) {
  TStringList keys;
  ReadSection(section, keys);
  return keys.Count() > 0;
}

bool TCustomIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
  TStringList keys;
  ReadSection(section, keys);
  for (int i = 0; i < keys.Count(); ++i)
    if (SameText(keys.Get(i), ident)) return true;
  return false;
}

void TCustomIniFile::ReadSectionValues(const AnsiString& section, TStrings& strings) {
  TStringList keys;
  ReadSection(section, keys);
  strings.Clear();
  for (int i = 0; i < keys.Count(); ++i)
    strings.Add(keys.Get(i) + "=" + ReadString(section, keys.Get(i), AnsiString()));
}

// ---------------------------------------------------------------- memory

TMemIniFile::TMemIniFile(const AnsiString& fileName) : TCustomIniFile(fileName) { LoadValues(); }

void TMemIniFile::LoadValues() {
  FSections.clear();
  if (FFileName.empty() || !FileExists(FFileName)) return;
  TStringList lines;
  lines.LoadFromFile(FFileName);
  SetStrings(lines);
}

void TMemIniFile::Rename(const AnsiString& fileName, bool reload) {
  FFileName = fileName;
  if (reload) LoadValues();
}

void TMemIniFile::SetStrings(const TStrings& strings) {
  FSections.clear();
  TSection* current = nullptr;
  for (int i = 0; i < strings.Count(); ++i) {
    AnsiString line = Trim(strings.Get(i));
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[' && line.back() == ']') {
      AnsiString name = Trim(line.substr(1, line.size() - 2));
      current = FindSection(name);
      if (!current) {
        FSections.push_back({name, {}});
        current = &FSections.back();
      }
      continue;
    }
    if (!current) continue;  // values before any section belong nowhere
    size_t eq = line.find('=');
    AnsiString name = Trim(eq == AnsiString::npos ? line : line.substr(0, eq));
    AnsiString value = eq == AnsiString::npos ? AnsiString() : Trim(line.substr(eq + 1));
    bool found = false;
    for (TEntry& e : current->Entries)
      if (SameText(e.Name, name)) {
        e.Value = value;
        found = true;
      }
    if (!found) current->Entries.push_back({name, value});
  }
}

void TMemIniFile::GetStrings(TStrings& strings) const {
  strings.Clear();
  for (const TSection& s : FSections) {
    strings.Add("[" + s.Name + "]");
    for (const TEntry& e : s.Entries) strings.Add(e.Name + "=" + e.Value);
    strings.Add(AnsiString());
  }
}

void TMemIniFile::UpdateFile() {
  if (FFileName.empty()) return;
  TStringList lines;
  GetStrings(lines);
  lines.SaveToFile(FFileName);
}

TMemIniFile::TSection* TMemIniFile::FindSection(const AnsiString& name) {
  for (TSection& s : FSections)
    if (SameText(s.Name, name)) return &s;
  return nullptr;
}

TMemIniFile::TEntry* TMemIniFile::FindEntry(const AnsiString& section, const AnsiString& ident) {
  TSection* s = FindSection(section);
  if (!s) return nullptr;
  for (TEntry& e : s->Entries)
    if (SameText(e.Name, ident)) return &e;
  return nullptr;
}

AnsiString TMemIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
  TEntry* e = FindEntry(section, ident);
  return e ? e->Value : fallback;
}

void TMemIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  // What the text could not give back: a name holding "=" or starting a
  // comment, a section name holding "]", a value of several lines.
  if (ident.empty() || ident[0] == ';' || ident.find('=') != AnsiString::npos ||
      section.find(']') != AnsiString::npos || value.find_first_of("\r\n") != AnsiString::npos)
    throw EIniFileException(Format("Cannot write %s in section %s", ident.c_str(), section.c_str()));
  if (TEntry* e = FindEntry(section, ident)) {
    e->Value = value;
    return;
  }
  TSection* s = FindSection(section);
  if (!s) {
    FSections.push_back({section, {}});
    s = &FSections.back();
  }
  s->Entries.push_back({ident, value});
}

bool TMemIniFile::SectionExists(const AnsiString& section) { return FindSection(section) != nullptr; }

bool TMemIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
  return FindEntry(section, ident) != nullptr;
}

void TMemIniFile::ReadSection(const AnsiString& section, TStrings& strings) {
  strings.Clear();
  if (TSection* s = FindSection(section))
    for (const TEntry& e : s->Entries) strings.Add(e.Name);
}

void TMemIniFile::ReadSections(TStrings& strings) {
  strings.Clear();
  for (const TSection& s : FSections) strings.Add(s.Name);
}

void TMemIniFile::EraseSection(const AnsiString& section) {
  for (size_t i = 0; i < FSections.size(); ++i)
    if (SameText(FSections[i].Name, section)) {
      FSections.erase(FSections.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}

void TMemIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  TSection* s = FindSection(section);
  if (!s) return;
  for (size_t i = 0; i < s->Entries.size(); ++i)
    if (SameText(s->Entries[i].Name, ident)) {
      s->Entries.erase(s->Entries.begin() + static_cast<std::ptrdiff_t>(i));
      return;
    }
}

// ---------------------------------------------------------------- profile

namespace {

AnsiString FullIniPath(const AnsiString& fileName) {
  if (fileName.find_first_of("\\/:") != AnsiString::npos) return fileName;
  char buffer[MAX_PATH];
  DWORD n = GetCurrentDirectoryA(MAX_PATH, buffer);
  return n && n < MAX_PATH ? AnsiString(buffer, n) + "\\" + fileName : fileName;
}

// A double-NUL-terminated list of names, grown until it fits.
void ReadNameList(const char* section, const AnsiString& file, TStrings& strings) {
  std::vector<char> buffer(4096);
  for (;;) {
    DWORD n = section ? GetPrivateProfileStringA(section, nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                                 file.c_str())
                      : GetPrivateProfileSectionNamesA(buffer.data(), static_cast<DWORD>(buffer.size()), file.c_str());
    if (n + 2 < buffer.size() || buffer.size() >= (1u << 24)) break;
    buffer.resize(buffer.size() * 4);
  }
  strings.Clear();
  for (const char* p = buffer.data(); *p; p += std::strlen(p) + 1) strings.Add(p);
}

}  // namespace

TIniFile::TIniFile(const AnsiString& fileName) : TCustomIniFile(FullIniPath(fileName)) {}

AnsiString TIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
  std::vector<char> buffer(2048);
  for (;;) {
    DWORD n = GetPrivateProfileStringA(section.c_str(), ident.c_str(), fallback.c_str(), buffer.data(),
                                       static_cast<DWORD>(buffer.size()), FFileName.c_str());
    if (n + 1 < buffer.size() || buffer.size() >= (1u << 24)) return AnsiString(buffer.data(), n);
    buffer.resize(buffer.size() * 4);
  }
}

void TIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  if (!WritePrivateProfileStringA(section.c_str(), ident.c_str(), value.c_str(), FFileName.c_str()))
    throw EIniFileException(Format("Unable to write to %s", FFileName.c_str()));
}

void TIniFile::ReadSection(const AnsiString& section, TStrings& strings) {
  ReadNameList(section.c_str(), FFileName, strings);
}

void TIniFile::ReadSections(TStrings& strings) { ReadNameList(nullptr, FFileName, strings); }

void TIniFile::EraseSection(const AnsiString& section) {
  if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, FFileName.c_str()))
    throw EIniFileException(Format("Unable to write to %s", FFileName.c_str()));
}

void TIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  WritePrivateProfileStringA(section.c_str(), ident.c_str(), nullptr, FFileName.c_str());
}

void TIniFile::UpdateFile() { WritePrivateProfileStringA(nullptr, nullptr, nullptr, FFileName.c_str()); }
