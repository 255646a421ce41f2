// System helpers: the Windows version, environment variables and the file
// system, with names in the system code page.
#pragma once

#include "platform/Text.h"
#include "platform/Win32.h"

// The running Windows version, read once at start-up (valid in main()).
extern int Win32Platform;       // VER_PLATFORM_WIN32_NT on every supported system
extern int Win32MajorVersion;   // 6 for Windows 7
extern int Win32MinorVersion;   // 1 for Windows 7
extern int Win32BuildNumber;
extern AnsiString Win32CSDVersion;  // service pack text, may be empty
// True when the running Windows is at least major.minor.
bool CheckWin32Version(int major, int minor = 0);

// The value of an environment variable; empty when it is not set.
AnsiString GetEnvironmentVariable(const AnsiString& name);

bool FileExists(const AnsiString& fileName);
bool DirectoryExists(const AnsiString& directory);
// Creates `directory` and every missing parent; answers whether it exists
// afterwards. Raises EInOutError for an empty name.
bool ForceDirectories(const AnsiString& directory);

// Path pieces, aware of double-byte names (a trail byte 0x5C is no "\").
AnsiString ExtractFilePath(const AnsiString& fileName);
AnsiString ExtractFileName(const AnsiString& fileName);
AnsiString ExtractFileExt(const AnsiString& fileName);
AnsiString IncludeTrailingPathDelimiter(const AnsiString& path);
AnsiString ExcludeTrailingPathDelimiter(const AnsiString& path);
