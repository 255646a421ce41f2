#include "platform/SysUtils.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"

#include <algorithm>

namespace {

OSVERSIONINFOA ReadVersion() {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&info);
#pragma GCC diagnostic pop
  return info;
}

const OSVERSIONINFOA Version = ReadVersion();

// 1-based index of the last path delimiter ("\", "/" or ":") of a name, 0
// when none; trail bytes of double-byte characters are skipped.
int LastDelimiter(const AnsiString& s, const char* delimiters) {
  int last = 0;
  for (int i = 1; i <= static_cast<int>(s.size()); i = NextCharPos(s, i))
    for (const char* d = delimiters; *d; ++d)
      if (s[static_cast<size_t>(i - 1)] == *d && CharByteCount(s, i) == 1) last = i;
  return last;
}

bool EndsWithDelimiter(const AnsiString& path) {
  return !path.empty() && ByteType(path, static_cast<int>(path.size())) == mbSingleByte &&
         (path.back() == '\\' || path.back() == '/');
}

}  // namespace

int Win32Platform = static_cast<int>(Version.dwPlatformId);
int Win32MajorVersion = static_cast<int>(Version.dwMajorVersion);
int Win32MinorVersion = static_cast<int>(Version.dwMinorVersion);
int Win32BuildNumber = static_cast<int>(Version.dwBuildNumber & 0xFFFF);
AnsiString Win32CSDVersion = Version.szCSDVersion;

bool CheckWin32Version(int major, int minor) {
  return Win32MajorVersion > major || (Win32MajorVersion == major && Win32MinorVersion >= minor);
}

AnsiString GetEnvironmentVariable(const AnsiString& name) {
  // Read as UTF-16: Wine's 8-bit call answers the length of a double-byte
  // value in characters instead of bytes, cutting the value short.
  const std::wstring wideName = AnsiToUtf16(name);
  DWORD size = 256;
  for (;;) {
    std::wstring value(size, L'\0');
    const DWORD n = GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    if (n == 0) return AnsiString();
    if (n < size) {
      value.resize(n);
      return Utf16ToAnsi(value);
    }
    size = std::max<DWORD>(n + 1, size * 2);
  }
}

bool FileExists(const AnsiString& fileName) {
  const DWORD attributes = GetFileAttributesA(fileName.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const AnsiString& directory) {
  const DWORD attributes = GetFileAttributesA(directory.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool ForceDirectories(const AnsiString& directory) {
  if (directory.empty()) throw EInOutError("Unable to create directory");
  const AnsiString dir = ExcludeTrailingPathDelimiter(directory);
  if (DirectoryExists(dir)) return true;
  const AnsiString parent = ExtractFilePath(dir);
  // A drive ("c:") or the root has no parent to create first.
  if (!parent.empty() && ExcludeTrailingPathDelimiter(parent) != dir && !ForceDirectories(parent)) return false;
  return CreateDirectoryA(dir.c_str(), nullptr) || DirectoryExists(dir);
}

AnsiString ExtractFilePath(const AnsiString& fileName) {
  return fileName.substr(0, static_cast<size_t>(LastDelimiter(fileName, "\\/:")));
}

AnsiString ExtractFileName(const AnsiString& fileName) {
  return fileName.substr(static_cast<size_t>(LastDelimiter(fileName, "\\/:")));
}

AnsiString ExtractFileExt(const AnsiString& fileName) {
  const int dot = LastDelimiter(fileName, ".\\/:");
  if (dot > 0 && fileName[static_cast<size_t>(dot - 1)] == '.') return fileName.substr(static_cast<size_t>(dot - 1));
  return AnsiString();
}

AnsiString IncludeTrailingPathDelimiter(const AnsiString& path) { return EndsWithDelimiter(path) ? path : path + "\\"; }

AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path) {
  AnsiString r = path;
  while (r.size() > 1 && EndsWithDelimiter(r)) r.pop_back();
  return r;
}
