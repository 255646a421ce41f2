#include "platform/Registry.h"

#include "platform/Stream.h"

#include <algorithm>
#include <cstring>
#include <vector>

const TClassInfo TRegistry::ClassInfo{"TRegistry", &TObject::ClassInfo, nullptr};
const TClassInfo TRegistryIniFile::ClassInfo{"TRegistryIniFile", &TCustomIniFile::ClassInfo, nullptr};

namespace {

[[noreturn]] void InvalidType(const AnsiString& name) {
  throw ERegistryException("Invalid data type for '" + name + "'");
}

[[noreturn]] void WriteFailed(const AnsiString& name) {
  throw ERegistryException("Failed to set data for '" + name + "'");
}

// Deletes `name` below `parent` with everything under it.
bool DeleteTree(HKEY parent, const AnsiString& name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(parent, name.c_str(), 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return false;
  for (;;) {
    char sub[256];
    DWORD len = sizeof sub;
    if (RegEnumKeyExA(key, 0, sub, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (!DeleteTree(key, AnsiString(sub, len))) break;
  }
  RegCloseKey(key);
  return RegDeleteKeyA(parent, name.c_str()) == ERROR_SUCCESS;
}

}  // namespace

TRegistry::TRegistry(REGSAM access) : FAccess(access) {}

TRegistry::~TRegistry() { CloseKey(); }

void TRegistry::SetRootKey(HKEY value) {
  CloseKey();
  FRootKey = value;
}

void TRegistry::CloseKey() {
  if (FCurrentKey) RegCloseKey(FCurrentKey);
  FCurrentKey = nullptr;
  FCurrentPath.clear();
}

HKEY TRegistry::KeyFor(const AnsiString& key, AnsiString& relative, AnsiString& fullPath) const {
  bool absolute = !key.empty() && key[0] == '\\';
  relative = absolute ? key.substr(1) : key;
  while (!relative.empty() && relative.back() == '\\') relative.pop_back();
  if (absolute || !FCurrentKey) {
    fullPath = relative;
    return FRootKey;
  }
  fullPath = FCurrentPath.empty() ? relative : relative.empty() ? FCurrentPath : FCurrentPath + "\\" + relative;
  return FCurrentKey;
}

bool TRegistry::OpenKey(const AnsiString& key, bool canCreate) {
  AnsiString relative, fullPath;
  HKEY base = KeyFor(key, relative, fullPath);
  HKEY result = nullptr;
  LONG rc = canCreate ? RegCreateKeyExA(base, relative.c_str(), 0, nullptr, 0, FAccess, nullptr, &result, nullptr)
                      : RegOpenKeyExA(base, relative.c_str(), 0, FAccess, &result);
  if (rc != ERROR_SUCCESS) return false;
  CloseKey();
  FCurrentKey = result;
  FCurrentPath = fullPath;
  return true;
}

bool TRegistry::OpenKeyReadOnly(const AnsiString& key) {
  REGSAM saved = FAccess;
  FAccess = KEY_READ;
  bool ok = OpenKey(key, false);
  FAccess = saved;
  return ok;
}

bool TRegistry::CreateKey(const AnsiString& key) {
  AnsiString relative, fullPath;
  HKEY base = KeyFor(key, relative, fullPath);
  HKEY result = nullptr;
  if (RegCreateKeyExA(base, relative.c_str(), 0, nullptr, 0, FAccess, nullptr, &result, nullptr) != ERROR_SUCCESS)
    return false;
  RegCloseKey(result);
  return true;
}

bool TRegistry::DeleteKey(const AnsiString& key) {
  AnsiString relative, fullPath;
  HKEY base = KeyFor(key, relative, fullPath);
  if (relative.empty()) return false;
  return DeleteTree(base, relative);
}

bool TRegistry::KeyExists(const AnsiString& key) {
  AnsiString relative, fullPath;
  HKEY base = KeyFor(key, relative, fullPath);
  HKEY result = nullptr;
  if (RegOpenKeyExA(base, relative.c_str(), 0, KEY_READ, &result) != ERROR_SUCCESS) return false;
  RegCloseKey(result);
  return true;
}

bool TRegistry::ValueExists(const AnsiString& name) { return GetDataSize(name) >= 0; }

bool TRegistry::DeleteValue(const AnsiString& name) {
  return FCurrentKey && RegDeleteValueA(FCurrentKey, name.c_str()) == ERROR_SUCCESS;
}

int TRegistry::GetDataSize(const AnsiString& name) {
  DWORD size = 0;
  if (!FCurrentKey || RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS)
    return -1;
  return static_cast<int>(size);
}

TRegDataType TRegistry::GetDataType(const AnsiString& name) {
  DWORD type = 0;
  if (!FCurrentKey || RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS)
    return rdUnknown;
  switch (type) {
    case REG_SZ: return rdString;
    case REG_EXPAND_SZ: return rdExpandString;
    case REG_DWORD: return rdInteger;
    case REG_BINARY: return rdBinary;
    default: return rdUnknown;
  }
}

std::string TRegistry::GetData(const AnsiString& name, DWORD& type) {
  if (!FCurrentKey) InvalidType(name);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
      InvalidType(name);
    std::string data(size, '\0');
    LONG rc = RegQueryValueExA(FCurrentKey, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
    if (rc == ERROR_SUCCESS) {
      data.resize(size);
      return data;
    }
    if (rc != ERROR_MORE_DATA) InvalidType(name);  // the value changed size meanwhile: ask again
  }
  InvalidType(name);
}

void TRegistry::PutData(const AnsiString& name, const void* data, DWORD size, DWORD type) {
  if (!FCurrentKey ||
      RegSetValueExA(FCurrentKey, name.c_str(), 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
    WriteFailed(name);
}

AnsiString TRegistry::ReadString(const AnsiString& name) {
  DWORD type = 0;
  std::string data = GetData(name, type);
  if (type != REG_SZ && type != REG_EXPAND_SZ) InvalidType(name);
  // Stored strings usually end with their NUL; some writers leave it out.
  size_t end = data.find('\0');
  return end == std::string::npos ? data : data.substr(0, end);
}

void TRegistry::WriteString(const AnsiString& name, const AnsiString& value) {
  PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_SZ);
}

void TRegistry::WriteExpandString(const AnsiString& name, const AnsiString& value) {
  PutData(name, value.c_str(), static_cast<DWORD>(value.size() + 1), REG_EXPAND_SZ);
}

int TRegistry::ReadInteger(const AnsiString& name) {
  DWORD type = 0;
  std::string data = GetData(name, type);
  if (type != REG_DWORD || data.size() != 4) InvalidType(name);
  uint32_t v = 0;
  std::memcpy(&v, data.data(), 4);
  return static_cast<int>(v);
}

void TRegistry::WriteInteger(const AnsiString& name, int value) {
  DWORD v = static_cast<DWORD>(value);
  PutData(name, &v, 4, REG_DWORD);
}

int TRegistry::ReadBinaryData(const AnsiString& name, void* buffer, int size) {
  DWORD type = 0;
  std::string data = GetData(name, type);
  if (type != REG_BINARY) InvalidType(name);
  size_t n = std::min(data.size(), static_cast<size_t>(size > 0 ? size : 0));
  if (n) std::memcpy(buffer, data.data(), n);
  return static_cast<int>(data.size());
}

void TRegistry::WriteBinaryData(const AnsiString& name, const void* buffer, int size) {
  PutData(name, buffer, static_cast<DWORD>(size), REG_BINARY);
}

void TRegistry::GetKeyNames(TStrings& strings) {
  strings.Clear();
  if (!FCurrentKey) return;
  for (DWORD i = 0;; ++i) {
    char name[256];
    DWORD len = sizeof name;
    if (RegEnumKeyExA(FCurrentKey, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    strings.Add(AnsiString(name, len));
  }
}

void TRegistry::GetValueNames(TStrings& strings) {
  strings.Clear();
  if (!FCurrentKey) return;
  for (DWORD i = 0;; ++i) {
    char name[16384];
    DWORD len = sizeof name;
    if (RegEnumValueA(FCurrentKey, i, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    strings.Add(AnsiString(name, len));
  }
}

bool TRegistry::HasSubKeys() {
  DWORD subKeys = 0;
  return FCurrentKey &&
         RegQueryInfoKeyA(FCurrentKey, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr, nullptr,
                          nullptr, nullptr, nullptr) == ERROR_SUCCESS &&
         subKeys > 0;
}

// ---------------------------------------------------------------- INI shape

TRegistryIniFile::TRegistryIniFile(const AnsiString& key, REGSAM access, HKEY root)
    : TCustomIniFile(key), FRegistry(access) {
  FRegistry.SetRootKey(root);
  FBase = key.empty() || key[0] != '\\' ? "\\" + key : key;
  while (FBase.size() > 1 && FBase.back() == '\\') FBase.pop_back();
  FRegistry.OpenKey(FBase, true);
}

TRegistryIniFile::~TRegistryIniFile() = default;

AnsiString TRegistryIniFile::SectionPath(const AnsiString& section) const {
  // A section that begins with a backslash names its key from the root, as
  // the bar layouts do when their base is the whole registry path.
  if (!section.empty() && section[0] == '\\') return section;
  if (section.empty()) return FBase;
  return FBase == "\\" ? FBase + section : FBase + "\\" + section;
}

bool TRegistryIniFile::OpenSection(const AnsiString& section, bool create) {
  AnsiString path = SectionPath(section);
  return create ? FRegistry.OpenKey(path, true) : FRegistry.OpenKeyReadOnly(path);
}

AnsiString TRegistryIniFile::ReadString(const AnsiString& section, const AnsiString& ident, const AnsiString& fallback) {
  if (!OpenSection(section, false) || !FRegistry.ValueExists(ident)) return fallback;
  switch (FRegistry.GetDataType(ident)) {
    case rdString:
    case rdExpandString: return FRegistry.ReadString(ident);
    case rdInteger: return IntToStr(FRegistry.ReadInteger(ident));
    default: return fallback;
  }
}

void TRegistryIniFile::WriteString(const AnsiString& section, const AnsiString& ident, const AnsiString& value) {
  if (!OpenSection(section, true)) WriteFailed(ident);
  FRegistry.WriteString(ident, value);
}

int TRegistryIniFile::ReadInteger(const AnsiString& section, const AnsiString& ident, int fallback) {
  if (!OpenSection(section, false) || !FRegistry.ValueExists(ident)) return fallback;
  switch (FRegistry.GetDataType(ident)) {
    case rdInteger: return FRegistry.ReadInteger(ident);
    case rdString:
    case rdExpandString: return StrToIntDef(Trim(FRegistry.ReadString(ident)), fallback);
    default: return fallback;
  }
}

void TRegistryIniFile::WriteInteger(const AnsiString& section, const AnsiString& ident, int value) {
  if (!OpenSection(section, true)) WriteFailed(ident);
  TRegDataType type = FRegistry.GetDataType(ident);
  if (type == rdString || type == rdExpandString) FRegistry.WriteString(ident, IntToStr(value));
  else FRegistry.WriteInteger(ident, value);
}

int TRegistryIniFile::ReadBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value) {
  if (!OpenSection(section, false) || !FRegistry.ValueExists(ident)) return 0;
  if (FRegistry.GetDataType(ident) != rdBinary) return TCustomIniFile::ReadBinaryStream(section, ident, value);
  int size = FRegistry.GetDataSize(ident);
  std::string bytes(static_cast<size_t>(size > 0 ? size : 0), '\0');
  int got = FRegistry.ReadBinaryData(ident, bytes.data(), size);
  bytes.resize(static_cast<size_t>(std::min(got, size)));
  if (!bytes.empty()) value.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return static_cast<int>(bytes.size());
}

void TRegistryIniFile::WriteBinaryStream(const AnsiString& section, const AnsiString& ident, TStream& value) {
  std::string bytes(static_cast<size_t>(value.Size() - value.Position()), '\0');
  if (!bytes.empty()) value.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  if (!OpenSection(section, true)) WriteFailed(ident);
  FRegistry.WriteBinaryData(ident, bytes.data(), static_cast<int>(bytes.size()));
}

bool TRegistryIniFile::SectionExists(const AnsiString& section) {
  return FRegistry.KeyExists(SectionPath(section));
}

bool TRegistryIniFile::ValueExists(const AnsiString& section, const AnsiString& ident) {
  return OpenSection(section, false) && FRegistry.ValueExists(ident);
}

void TRegistryIniFile::ReadSection(const AnsiString& section, TStrings& strings) {
  strings.Clear();
  if (OpenSection(section, false)) FRegistry.GetValueNames(strings);
}

void TRegistryIniFile::ReadSections(TStrings& strings) {
  strings.Clear();
  if (OpenSection(AnsiString(), false)) FRegistry.GetKeyNames(strings);
}

void TRegistryIniFile::EraseSection(const AnsiString& section) {
  if (section.empty()) return;
  FRegistry.CloseKey();
  FRegistry.DeleteKey(SectionPath(section));
}

void TRegistryIniFile::DeleteKey(const AnsiString& section, const AnsiString& ident) {
  if (OpenSection(section, true)) FRegistry.DeleteValue(ident);
}
