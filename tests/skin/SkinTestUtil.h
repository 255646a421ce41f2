// Helpers of the skin engine's tests: small bitmaps drawn pixel by pixel,
// pixels read back, the committed house skin and variants of it.
#pragma once

#include "platform/Bitmap.h"
#include "skin/SkinData.h"
#include "tools/skin/HouseSkin.h"
#include "tools/skin/SkinPackageWriter.h"

#include <fstream>
#include <functional>
#include <memory>
#include <sstream>

namespace skin_tests {

// A 24-bit bitmap whose pixel (x, y) is colour(x, y) (COLORREF values).
inline std::unique_ptr<TBitmap> MakeBitmap(int width, int height, const std::function<COLORREF(int, int)>& colour) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* p = static_cast<uint8_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x, p += 3) {
      const COLORREF c = colour(x, y);
      p[0] = GetBValue(c);
      p[1] = GetGValue(c);
      p[2] = GetRValue(c);
    }
  }
  bitmap->Changed(bitmap.get());
  return bitmap;
}

// A bitmap of one colour.
inline std::unique_ptr<TBitmap> SolidBitmap(int width, int height, COLORREF colour) {
  return MakeBitmap(width, height, [colour](int, int) { return colour; });
}

inline COLORREF PixelOf(TBitmap* bitmap, int x, int y) { return GetPixel(bitmap->Canvas()->Handle(), x, y); }

inline AnsiString HouseSkinFile() {
  std::ifstream in(MEVRA_HOUSE_SKIN_FILE, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

// The house skin's entries with the INI text changed by `edit`.
inline AnsiString HouseVariant(const std::function<void(AnsiString& ini)>& edit) {
  std::vector<TSkinPackageEntry> entries = HouseSkinEntries();
  edit(entries.back().Data);
  return BuildSkinPackage(kHouseSkinVersion, entries);
}

// The house skin with entries replaced (or added) and the INI text changed
// by `edit`.
inline AnsiString HouseVariantWith(const std::vector<TSkinPackageEntry>& replaced,
                                   const std::function<void(AnsiString& ini)>& edit) {
  std::vector<TSkinPackageEntry> entries = HouseSkinEntries();
  for (const TSkinPackageEntry& r : replaced) {
    bool found = false;
    for (TSkinPackageEntry& e : entries)
      if (e.Name == r.Name) {
        e.Data = r.Data;
        found = true;
      }
    if (!found) entries.insert(entries.end() - 1, r);
  }
  if (edit) edit(entries.back().Data);
  return BuildSkinPackage(kHouseSkinVersion, entries);
}

// Removes a whole section ("[Name]" up to the next section) from INI text.
inline void RemoveSection(AnsiString& ini, const AnsiString& name) {
  const size_t start = ini.find("[" + name + "]");
  if (start == AnsiString::npos) return;
  const size_t next = ini.find("\r\n[", start + 1);
  ini.erase(start, next == AnsiString::npos ? AnsiString::npos : next + 2 - start);
}

// Replaces the first "key=value" line of a section.
inline void SetKey(AnsiString& ini, const AnsiString& section, const AnsiString& key, const AnsiString& value) {
  const size_t at = ini.find("[" + section + "]");
  if (at == AnsiString::npos) return;
  const size_t end = ini.find("\r\n[", at + 1);
  const size_t line = ini.find("\r\n" + key + "=", at);
  if (line == AnsiString::npos || (end != AnsiString::npos && line > end)) {
    ini.insert(ini.find("\r\n", at) + 2, key + "=" + value + "\r\n");
    return;
  }
  const size_t valueStart = line + 2 + key.size() + 1;
  ini.replace(valueStart, ini.find("\r\n", valueStart) - valueStart, value);
}

// Adds text at the end of the INI.
inline void Append(AnsiString& ini, const AnsiString& text) { ini += "\r\n" + text; }

// A skin data with `package` loaded (not registered with a manager).
inline std::unique_ptr<TSkinData> LoadedSkinData(const AnsiString& package) {
  auto data = std::make_unique<TSkinData>(nullptr);
  data->SetPackage(package);
  data->LoadSkin();
  return data;
}

}  // namespace skin_tests
