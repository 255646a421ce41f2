// The Windows version the skin engine branches on (the Windows 9x family,
// NT 4, major version 6), read in one place so that tests can choose it.
#pragma once

struct TSkinWindowsVersion {
  int Major = 6;
  int Minor = 1;
  bool NT = true;  // false: the Windows 9x family
};

// The running system's version, or the one a test set.
TSkinWindowsVersion SkinWindowsVersion();
// Replaces the version (tests); answers the previous one.
TSkinWindowsVersion SetSkinWindowsVersion(const TSkinWindowsVersion& version);
// Back to the running system's version.
void ResetSkinWindowsVersion();

// Shorthands: wide text drawing and the masked transfer need the NT family;
// some system drawing differs outside major version 6.
inline bool SkinIsNT() { return SkinWindowsVersion().NT; }
inline bool SkinNotVersion6() { return SkinWindowsVersion().Major != 6; }
