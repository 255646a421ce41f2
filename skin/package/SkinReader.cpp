#include "skin/package/SkinReader.h"

#include "skin/package/LZH.h"

#include <cstring>

const TClassInfo TSkinReader::ClassInfo = {"TSkinReader", &TObject::ClassInfo, nullptr};

void (*SkinMessageHook)(const AnsiString& text) = nullptr;

int SkinVersionBlockSize(int32_t version) {
  switch (version) {
    case 20000: return 0;
    case 30000: return 256;
    case 40000: return 80;
    case 50000: return 48;
    case 60000: return 117;
    case 70000: return 69;
    default: return -1;
  }
}

namespace {
int32_t ReadInt32(const uint8_t* p) {
  return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                              static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24);
}

// Lines end with CR LF, CR or LF; text after the last line end is a last name
// and a trailing line end adds no empty one.
std::vector<AnsiString> SplitNames(const AnsiString& text) {
  std::vector<AnsiString> names;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    names.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) names.push_back(text.substr(start));
  return names;
}
}  // namespace

void TSkinReader::Unpack(TMemoryStream& package, TMemoryStream& work, int32_t maxSize) {
  package.SetPosition(0);
  work.SetPosition(0);
  if (package.Size() < 4) throw ESkinPackageError("Skin package is too short to hold its unpacked size");
  const int32_t size = static_cast<int32_t>(package.ReadDWord());
  if (size < 0) throw ESkinPackageError("Skin package has a negative unpacked size");
  if (size > maxSize)
    throw ESkinPackageError(Format("Skin package unpacked size %d is above the limit of %d bytes", size, maxSize));
  TLZH decoder(package, work);
  decoder.Decode(size);
}

bool TSkinReader::LoadPackage(TMemoryStream& package) {
  FNames.clear();
  FSizes.clear();
  FOffsets.clear();
  FData.Clear();
  TMemoryStream work;
  Unpack(package, work, MaxUnpackedSize);
  const uint8_t* bytes = work.Memory();
  const int64_t total = work.Size();

  // A body too short for the header reads as version 0, which no reader knows.
  uint8_t header[16] = {};
  if (total >= 16) std::memcpy(header, bytes, sizeof header);
  FVersion = ReadInt32(header);
  FNameListLength = ReadInt32(header + 4);
  FUnused[0] = ReadInt32(header + 8);
  FUnused[1] = ReadInt32(header + 12);
  const int block = SkinVersionBlockSize(FVersion);
  if (block < 0) {
    ShowSkinMessage("This is Older Skin File\rPlease update to new version !");
    return false;
  }

  const int64_t namesAt = 16 + block;
  if (FNameListLength < 0) throw ESkinPackageError("Skin package has a negative name-list length");
  if (namesAt + FNameListLength > total) throw ESkinPackageError("Skin package name list runs past the end of its data");
  const std::vector<AnsiString> names =
      SplitNames(LowerCase(AnsiString(reinterpret_cast<const char*>(bytes + namesAt), static_cast<size_t>(FNameListLength))));
  if (names.size() > static_cast<size_t>(MaxSkinEntries))
    throw ESkinPackageError(Format("Skin package names %u entries; at most %d are allowed",
                                   static_cast<unsigned>(names.size()), MaxSkinEntries));

  const int64_t sizesAt = namesAt + FNameListLength;
  FDataOffset = sizesAt + 4 * static_cast<int64_t>(names.size());
  if (FDataOffset > total) throw ESkinPackageError("Skin package size table runs past the end of its data");
  const int64_t available = total - FDataOffset;
  int64_t sum = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    const int32_t size = ReadInt32(bytes + sizesAt + 4 * static_cast<int64_t>(i));
    if (size < 0) throw ESkinPackageError("Skin package entry \"" + names[i] + "\" has a negative size");
    FOffsets.push_back(sum);
    FSizes.push_back(size);
    sum += size;
    if (sum > available) throw ESkinPackageError("Skin package entries run past the end of its data");
  }
  FNames = names;
  FData.WriteBuffer(bytes + FDataOffset, available);
  FData.SetPosition(0);
  return true;
}

void TSkinReader::CopyEntry(size_t index, TMemoryStream& destination) const {
  destination.WriteBuffer(FData.Memory() + FOffsets[index], FSizes[index]);
  destination.SetPosition(0);
}

void TSkinReader::GetEntry(const AnsiString& name, TMemoryStream& destination) const {
  destination.Clear();
  const AnsiString wanted = LowerCase(name);
  for (size_t i = 0; i < FNames.size(); ++i) {
    if (FNames[i] == wanted) {
      CopyEntry(i, destination);
      return;
    }
  }
}

bool TSkinReader::FindEntry(const AnsiString& part, TMemoryStream& destination, AnsiString& foundName) const {
  destination.Clear();
  for (size_t i = 0; i < FNames.size(); ++i) {
    if (!part.empty() && FNames[i].find(part) != AnsiString::npos) {
      CopyEntry(i, destination);
      foundName = FNames[i];
      return true;
    }
  }
  return false;
}
