// Fuzzes the skin package reader. The first byte chooses what the rest is:
//   0: a package as stored (unpacked size and bit stream), decoded first;
//   1: an unpacked body (header, names, sizes, entries), compressed here so
//      that the fuzzer reaches the directory parser directly;
//   2: an INI text.
// Every INI found is read section by section as a skin load reads it, and
// the bitmap entries it names go through the BMP reader. A damaged package
// must end in the reader's own exceptions, nothing else.
#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"
#include "skin/SkinSections.h"
#include "skin/package/QuickIni.h"
#include "skin/package/SkinReader.h"
#include "tools/skin/SkinPackageWriter.h"
#include "tools/skin/LZHEncoder.h"

#include <cstddef>
#include <cstdint>

namespace {
// A small pixel budget per bitmap: the engine's own is 4 M pixels.
constexpr uint64_t FuzzBitmapPixels = 1 << 16;

// Reads the skin's keys and checks the limits the engine relies on.
TSkinIniKeys ReadIni(TQuickIni& ini) {
  const TSkinIniKeys keys = ReadSkinIniKeys(ini);
  for (const TSkinBorderKeys& b : keys.Borders)
    if (b.Frame < 1 || b.TopHeight < 0 || b.BotHeight < 0) __builtin_trap();
  for (const TSkinImageKeys& k : keys.Images)
    if (k.LeftWidth < 0 || k.TopHeight < 0 || k.RightWidth < 0 || k.BottomHeight < 0) __builtin_trap();
  if (keys.CaptionButtons.size() > static_cast<size_t>(MaxSkinCaptionButtons) || keys.HorzThumbFrames < 1 ||
      keys.VertThumbFrames < 1)
    __builtin_trap();
  return keys;
}

// The bitmap entries an INI names, through the BMP reader.
void ReadBitmaps(const TSkinReader& reader, const TSkinIniKeys& keys) {
  std::vector<AnsiString> names{keys.Buttons.Image, keys.Buttons.CheckButton, keys.Buttons.RadioButton,
                                keys.Title.TextBack, keys.MenuBar.Image, keys.MDIControlsImage};
  for (const TSkinBorderKeys& b : keys.Borders) names.push_back(b.Image);
  for (const TSkinImageKeys& k : keys.Images) {
    names.push_back(k.Image);
    names.push_back(k.SecondImage);
  }
  for (const TSkinCaptionButtonKeys& b : keys.CaptionButtons) names.push_back(b.Image);
  TMemoryStream entry;
  for (const AnsiString& name : names) {
    if (name.empty()) continue;
    reader.GetEntry(name, entry);
    if (entry.Size() == 0) continue;
    try {
      const TBmpImage image = DecodeBmp(entry.Memory(), static_cast<size_t>(entry.Size()), true, FuzzBitmapPixels);
      SkinCaptionButtonFrames(0, 0, image.Width, image.Height);
    } catch (const Exception&) {
      // A damaged entry fails the load; the next one is read all the same here.
    }
  }
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
    ReadBitmaps(reader, ReadIni(ini));
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
