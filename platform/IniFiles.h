// Settings stores of sections holding named values: an INI file read and
// written through the system's profile functions, an INI held in memory
// (optionally loaded from and saved to a file), and the common interface
// the registry-backed store (Registry.h) shares with them. Every value is
// text in an INI: integers in decimal, booleans as 1 and 0, binary values as
// two hexadecimal digits per byte.
#pragma once

#include "platform/Exceptions.h"
#include "platform/StringList.h"
#include "platform/Text.h"

#include <vector>

class TStream;

class EIniFileException : public Exception { public: using Exception::Exception; };

class TCustomIniFile : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TCustomIniFile(const AnsiString& fileName) : FFileName(fileName) {}

  const AnsiString& FileName() const { return FFileName; }

  virtual AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) = 0;
  virtual void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) = 0;
  // A value that is missing or not a number answers `fallback`.
  virtual int ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback);
  virtual void WriteInteger(const AnsiString& section, const AnsiString& ident, int value);
  // Read as an integer (non-zero is true); written as "1" or "0".
  virtual bool ReadBool(const AnsiString& section, const AnsiString& ident, bool fallback);
  virtual void WriteBool(const AnsiString& section, const AnsiString& ident, bool value);
  // Binary values: appends the stored bytes to `value` and answers their
  // count (0 for a missing value); raises EIniFileException for a value that
  // is not hexadecimal.
  virtual int ReadBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value);
  virtual void WriteBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value);

  virtual bool SectionExists(const AnsiString& section);
  virtual bool ValueExists(const AnsiString& section, const AnsiString& ident);
  // The names of a section's values / of every section, into `strings`.
  virtual void ReadSection(const AnsiString& section, TStrings& strings) = 0;
  virtual void ReadSections(TStrings& strings) = 0;
  // "name=value" lines of a section.
  virtual void ReadSectionValues(const AnsiString& section, TStrings& strings);
  virtual void EraseSection(const AnsiString& section) = 0;
  virtual void DeleteKey(const AnsiString& section, const AnsiString& ident) = 0;
  // Writes what is held back to the file (stores that write through do nothing).
  virtual void UpdateFile() {}

protected:
  AnsiString FFileName;
};

// An INI held in memory: sections and keys compared without case, kept in
// the order they were first written. Created on a file name, it reads the
// file when it exists; UpdateFile writes the whole text back.
class TMemIniFile : public TCustomIniFile {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TMemIniFile(const AnsiString& fileName = AnsiString());

  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) override;
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
  bool SectionExists(const AnsiString& section) override;
  bool ValueExists(const AnsiString& section, const AnsiString& ident) override;
  void ReadSection(const AnsiString& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void EraseSection(const AnsiString& section) override;
  void DeleteKey(const AnsiString& section, const AnsiString& ident) override;
  void UpdateFile() override;

  void Clear() { FSections.clear(); }
  // The whole INI as lines ("[section]", "name=value", a blank line after
  // each section) and back.
  void GetStrings(TStrings& strings) const;
  void SetStrings(const TStrings& strings);
  void Rename(const AnsiString& fileName, bool reload);

private:
  struct TEntry {
    AnsiString Name;
    AnsiString Value;
  };
  struct TSection {
    AnsiString Name;
    std::vector<TEntry> Entries;
  };
  TSection* FindSection(const AnsiString& name);
  TEntry* FindEntry(const AnsiString& section, const AnsiString& ident);
  void LoadValues();

  std::vector<TSection> FSections;
};

// An INI file read and written at once through the system's profile
// functions. A file name without a folder is taken from the current folder
// (the system would look in the Windows folder).
class TIniFile : public TCustomIniFile {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TIniFile(const AnsiString& fileName);

  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) override;
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
  void ReadSection(const AnsiString& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void EraseSection(const AnsiString& section) override;
  void DeleteKey(const AnsiString& section, const AnsiString& ident) override;
  // Flushes the system's cached copy of the file.
  void UpdateFile() override;
};

// Hexadecimal text of bytes (two upper-case digits per byte) and back;
// HexToBytes answers false for text that is not pairs of hex digits.
AnsiString BytesToHex(const void* data, size_t count);
bool HexToBytes(const AnsiString& text, std::string& bytes);
