// Fuzzes the skin package reader. The first byte chooses what the rest is:
//   0: a package as stored (unpacked size and bit stream), decoded first;
//   1: an unpacked body (header, names, sizes, entries), compressed here so
//      that the fuzzer reaches the directory parser directly;
//   2: an INI text.
// A damaged package must end in the reader's own exceptions, nothing else.
#include "platform/Exceptions.h"
#include "skin/package/QuickIni.h"
#include "skin/package/SkinReader.h"
#include "tools/skin/SkinPackageWriter.h"
#include "tools/skin/LZHEncoder.h"

#include <cstddef>
#include <cstdint>

namespace {
void ReadIni(TQuickIni& ini) {
  std::vector<AnsiString> sections;
  ini.ReadSections(sections);
  for (const AnsiString& s : sections) {
    ini.ReadString(s, "Image", "");
    ini.ReadInteger(s, "LeftWidth", 0);
  }
  ini.ReadInteger("Buttons", "Trans", 0);
}

// A small budget for what a package may unpack to (the house skin in the
// corpus unpacks to 195 KB): a header claiming megabytes then costs a
// refusal instead of decoding until the bits run out.
constexpr int32_t FuzzUnpackedSize = 1 << 18;

void ReadPackage(const AnsiString& bytes) {
  TMemoryStream package;
  package.WriteString(bytes);
  TSkinReader reader;
  reader.MaxUnpackedSize = FuzzUnpackedSize;
  if (!reader.LoadPackage(package)) return;
  TMemoryStream entry;
  for (int i = 0; i < reader.Count(); ++i) reader.GetEntry(reader.Names(i), entry);
  AnsiString name;
  if (reader.FindEntry(".ini", entry, name)) {
    TQuickIni ini;
    ini.LoadFromStream(&entry);
    ReadIni(ini);
  }
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  SkinMessageHook = [](const AnsiString&) {};
  const AnsiString rest(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    switch (data[0] % 3) {
      case 0: ReadPackage(rest); break;
      case 1: {
        AnsiString package;
        AppendInt32(package, static_cast<int32_t>(rest.size()));
        ReadPackage(package + LZHCompress(rest));
        break;
      }
      default: {
        TQuickIni ini;
        TMemoryStream text;
        text.WriteString(rest);
        text.SetPosition(0);
        ini.LoadFromStream(&text);
        ReadIni(ini);
      }
    }
  } catch (const Exception&) {
    // A clear rejection is the expected outcome for damaged input.
  }
  return 0;
}
