#include "skin/SkinVersion.h"

#include "platform/Win32.h"

namespace {

TSkinWindowsVersion SystemVersion() {
  // GetVersion: the major number in the low byte, the minor number in the
  // next, the top bit set on the Windows 9x family.
  const DWORD v = GetVersion();
  TSkinWindowsVersion result;
  result.Major = static_cast<int>(LOBYTE(LOWORD(v)));
  result.Minor = static_cast<int>(HIBYTE(LOWORD(v)));
  result.NT = (v & 0x80000000u) == 0;
  return result;
}

bool HasOverride = false;
TSkinWindowsVersion Override;

}  // namespace

TSkinWindowsVersion SkinWindowsVersion() { return HasOverride ? Override : SystemVersion(); }

TSkinWindowsVersion SetSkinWindowsVersion(const TSkinWindowsVersion& version) {
  const TSkinWindowsVersion previous = SkinWindowsVersion();
  Override = version;
  HasOverride = true;
  return previous;
}

void ResetSkinWindowsVersion() { HasOverride = false; }
