#include "tools/skin/SkinPackageWriter.h"

#include "platform/Exceptions.h"
#include "skin/package/SkinReader.h"
#include "tools/skin/LZHEncoder.h"

void AppendInt32(AnsiString& out, int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((v >> shift) & 0xFF));
}

AnsiString BuildSkinBody(int32_t version, const std::vector<TSkinPackageEntry>& entries) {
  const int block = SkinVersionBlockSize(version);
  if (block < 0) throw Exception(Format("Unknown skin package version %d", version));
  if (entries.size() > static_cast<size_t>(MaxSkinEntries))
    throw Exception(Format("A skin package holds at most %d entries", MaxSkinEntries));
  AnsiString names;
  for (const TSkinPackageEntry& e : entries) {
    if (e.Name.empty() || e.Name.find_first_of("\r\n") != AnsiString::npos)
      throw Exception("Skin entry name \"" + e.Name + "\" is empty or spans lines");
    names += LowerCase(e.Name) + "\r\n";
  }
  AnsiString body;
  AppendInt32(body, version);
  AppendInt32(body, static_cast<int32_t>(names.size()));
  AppendInt32(body, 0);
  AppendInt32(body, 0);
  body.append(static_cast<size_t>(block), '\0');
  body += names;
  for (const TSkinPackageEntry& e : entries) AppendInt32(body, static_cast<int32_t>(e.Data.size()));
  for (const TSkinPackageEntry& e : entries) body += e.Data;
  return body;
}

AnsiString BuildSkinPackage(int32_t version, const std::vector<TSkinPackageEntry>& entries) {
  const AnsiString body = BuildSkinBody(version, entries);
  AnsiString package;
  AppendInt32(package, static_cast<int32_t>(body.size()));
  return package + LZHCompress(body);
}

AnsiString SkinStreamProperty(const AnsiString& package) {
  AnsiString out;
  AppendInt32(out, static_cast<int32_t>(package.size()));
  return out + package;
}
