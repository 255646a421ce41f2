// The directory of an unpacked skin package: named entries (BMP files and one
// INI text) served by name. Portable: no Windows headers.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Stream.h"

#include <cstdint>
#include <vector>

// A package whose structure is broken (sizes, counts or offsets that do not
// fit its data). An unknown version is not an error: LoadPackage answers false.
class ESkinPackageError : public Exception { public: using Exception::Exception; };

// Length of the block that follows the header in a package of `version`, or
// -1 for a version the reader does not know.
int SkinVersionBlockSize(int32_t version);

// Limits on untrusted packages. The project's skins unpack to about 300 KB and
// hold a few dozen entries; these leave ample room.
constexpr int32_t MaxSkinUnpackedSize = 64 * 1024 * 1024;
constexpr int MaxSkinEntries = 1001;

// The user is told of a package too old (or too new) to read. The Windows
// build shows a modal message box; a test installs SkinMessageHook instead.
void ShowSkinMessage(const AnsiString& text);
extern void (*SkinMessageHook)(const AnsiString& text);

class TSkinReader : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Unpacks and parses `package` (a 4-byte unpacked size and the bit stream).
  // False, after telling the user, for an unknown version; ESkinPackageError
  // or ElzhException for a damaged package.
  bool LoadPackage(TMemoryStream& package);
  // Decodes `package` into `work` (both rewound first); a package that
  // says it unpacks to more than `maxSize` bytes is refused.
  static void Unpack(TMemoryStream& package, TMemoryStream& work, int32_t maxSize = MaxSkinUnpackedSize);

  // The largest unpacked size LoadPackage accepts. A program that reads
  // hostile packages in bulk (the fuzz harness) sets a smaller budget.
  int32_t MaxUnpackedSize = MaxSkinUnpackedSize;

  // The first entry named `name` (compared in lower case) into `destination`,
  // rewound; empty when there is none.
  void GetEntry(const AnsiString& name, TMemoryStream& destination) const;
  // The first entry whose name contains `part` (case-sensitively, names are
  // lower case) into `destination`; answers whether one was found and then
  // sets `foundName`.
  bool FindEntry(const AnsiString& part, TMemoryStream& destination, AnsiString& foundName) const;

  int32_t Version() const { return FVersion; }
  int32_t NameListLength() const { return FNameListLength; }
  int Count() const { return static_cast<int>(FNames.size()); }
  const AnsiString& Names(int index) const { return FNames.at(static_cast<size_t>(index)); }
  int32_t Sizes(int index) const { return FSizes.at(static_cast<size_t>(index)); }
  // Offset of the entries' bytes in the unpacked data.
  int64_t DataOffset() const { return FDataOffset; }
  const TMemoryStream& Data() const { return FData; }

private:
  void CopyEntry(size_t index, TMemoryStream& destination) const;

  std::vector<AnsiString> FNames;   // lower case, in package order
  std::vector<int32_t> FSizes;      // bytes of each entry
  std::vector<int64_t> FOffsets;    // offset of each entry in FData
  TMemoryStream FData;              // every entry's bytes, concatenated
  int32_t FVersion = 0;
  int32_t FNameListLength = 0;
  int32_t FUnused[2] = {0, 0};      // two header words no reader interprets
  int64_t FDataOffset = 0;
};
