// The shell environment of the panel family: COM for the GUI thread
// (undone at shut-down only when it was done), and the environment versions
// recorded at start (the system's version, the shell's allocator and the
// file versions of the common controls and the shell).
#pragma once

#include "platform/Text.h"
#include "platform/Win32.h"

#include <objidl.h>

#include <cstdint>

// The fixed file version of a module or file ("\" block of its version
// resource): major.minor in the high part, release.build in the low part;
// 0 when the file has none.
uint64_t FileVersionOf(const AnsiString& fileName);

// Recorded by the environment unit at start.
struct TRzShellEnvironment {
  OSVERSIONINFOA OSVersion{};
  IMalloc* ShellMalloc = nullptr;
  uint64_t ComCtlVersion = 0;
  uint64_t ShellVersion = 0;
};
const TRzShellEnvironment& ShellEnvironment();
// CoInitialize succeeded at start (and is undone at shut-down).
bool ShellComInitialized();

void RzShellInit();
void RzShellDone();
void RzShellUtilsInit();
void RzShellUtilsDone();
