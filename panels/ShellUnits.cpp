#include "panels/ShellUnits.h"

#include <objbase.h>
#include <shlobj.h>

#include <vector>

namespace {

bool ComInitialized = false;
TRzShellEnvironment Environment;

}  // namespace

uint64_t FileVersionOf(const AnsiString& fileName) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeA(fileName.c_str(), &handle);
  if (size == 0) return 0;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(fileName.c_str(), 0, size, data.data())) return 0;
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &length) || !info ||
      length < sizeof(VS_FIXEDFILEINFO))
    return 0;
  return (static_cast<uint64_t>(info->dwFileVersionMS) << 32) | info->dwFileVersionLS;
}

const TRzShellEnvironment& ShellEnvironment() { return Environment; }
bool ShellComInitialized() { return ComInitialized; }

void RzShellInit() {
  // S_FALSE (already initialized on this thread) counts too: it must be
  // balanced as well. A failure (another apartment) is never undone.
  ComInitialized = SUCCEEDED(CoInitialize(nullptr));
}

void RzShellDone() {
  if (ComInitialized) CoUninitialize();
  ComInitialized = false;
}

void RzShellUtilsInit() {
  Environment = {};
  Environment.OSVersion.dwOSVersionInfoSize = 148;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&Environment.OSVersion);
#pragma GCC diagnostic pop
  if (FAILED(SHGetMalloc(&Environment.ShellMalloc))) Environment.ShellMalloc = nullptr;
  Environment.ComCtlVersion = FileVersionOf("comctl32.dll");
  Environment.ShellVersion = FileVersionOf("shell32.dll");
}

void RzShellUtilsDone() {
  if (Environment.ShellMalloc) Environment.ShellMalloc->Release();
  Environment.ShellMalloc = nullptr;
}
