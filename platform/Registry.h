// The system registry: a key opened below a root key with typed values, and
// the INI-shaped store over it whose sections are sub-keys of a base key.
#pragma once

#include "platform/IniFiles.h"
#include "platform/Win32.h"

class ERegistryException : public Exception { public: using Exception::Exception; };

enum class TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };
using enum TRegDataType;

class TRegistry : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TRegistry(REGSAM access = KEY_ALL_ACCESS);
  ~TRegistry() override;

  HKEY RootKey() const { return FRootKey; }
  // Closes the open key first.
  void SetRootKey(HKEY value);
  HKEY CurrentKey() const { return FCurrentKey; }
  // The open key's path below the root, without a leading backslash.
  const AnsiString& CurrentPath() const { return FCurrentPath; }
  REGSAM Access() const { return FAccess; }
  void SetAccess(REGSAM value) { FAccess = value; }

  // A key beginning with a backslash is taken from the root, any other from
  // the open key. Answers false when the key does not exist (and may not be
  // created) or cannot be opened.
  bool OpenKey(const AnsiString& key, bool canCreate);
  bool OpenKeyReadOnly(const AnsiString& key);
  bool CreateKey(const AnsiString& key);
  // Deletes a key with all its sub-keys.
  bool DeleteKey(const AnsiString& key);
  bool KeyExists(const AnsiString& key);
  void CloseKey();

  bool ValueExists(const AnsiString& name);
  bool DeleteValue(const AnsiString& name);
  TRegDataType GetDataType(const AnsiString& name);
  // Bytes of the value, -1 when it does not exist.
  int GetDataSize(const AnsiString& name);
  void GetKeyNames(TStrings& strings);
  void GetValueNames(TStrings& strings);
  bool HasSubKeys();

  // Reads raise ERegistryException "Invalid data type for '<name>'" when the
  // value is missing or of another type.
  AnsiString ReadString(const AnsiString& name);
  void WriteString(const AnsiString& name, const AnsiString& value);
  void WriteExpandString(const AnsiString& name, const AnsiString& value);
  int ReadInteger(const AnsiString& name);
  void WriteInteger(const AnsiString& name, int value);
  bool ReadBool(const AnsiString& name) { return ReadInteger(name) != 0; }
  void WriteBool(const AnsiString& name, bool value) { WriteInteger(name, value ? 1 : 0); }
  // Copies at most `size` bytes; answers the value's size.
  int ReadBinaryData(const AnsiString& name, void* buffer, int size);
  void WriteBinaryData(const AnsiString& name, const void* buffer, int size);

private:
  HKEY KeyFor(const AnsiString& key, AnsiString& relative, AnsiString& fullPath) const;
  void PutData(const AnsiString& name, const void* data, DWORD size, DWORD type);
  std::string GetData(const AnsiString& name, DWORD& type);

  HKEY FRootKey = HKEY_CURRENT_USER;
  HKEY FCurrentKey = nullptr;
  AnsiString FCurrentPath;
  REGSAM FAccess;
};

// An INI-shaped store over a registry key (below HKEY_CURRENT_USER unless
// told otherwise): sections are its sub-keys, strings and booleans string
// values, integers DWORD values (written as a decimal string where the value
// already holds a string; reads accept both), binary values binary data. A
// section that begins with a backslash is a key from the root instead.
class TRegistryIniFile : public TCustomIniFile {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TRegistryIniFile(const AnsiString& key, REGSAM access = KEY_ALL_ACCESS, HKEY root = HKEY_CURRENT_USER);
  ~TRegistryIniFile() override;

  TRegistry* RegIniFile() { return &FRegistry; }

  AnsiString ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) override;
  void WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) override;
  int ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) override;
  void WriteInteger(const AnsiString& section, const AnsiString& ident, int value) override;
  int ReadBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value) override;
  void WriteBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value) override;
  bool SectionExists(const AnsiString& section) override;
  bool ValueExists(const AnsiString& section, const AnsiString& ident) override;
  void ReadSection(const AnsiString& section, TStrings& strings) override;
  void ReadSections(TStrings& strings) override;
  void EraseSection(const AnsiString& section) override;
  void DeleteKey(const AnsiString& section, const AnsiString& ident) override;

private:
  // The key of a section from the root: below the base key, or the section
  // itself when it begins with a backslash.
  AnsiString SectionPath(const AnsiString& section) const;
  // Opens the section's key (created when `create`).
  bool OpenSection(const AnsiString& section, bool create);

  TRegistry FRegistry;
  AnsiString FBase;  // "\Software\..." from the root
};
