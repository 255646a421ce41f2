// Fuzz target for the readers of dropped internet data: bookmark and image
// link blocks, vCards and shortcut texts. The first byte picks the reader;
// the rest is the block, copied to a buffer of exactly its size so that any
// read past it is caught. Whatever is read must write back without failing.
#include "dragdrop/InternetBlocks.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t kind = data[0];
  const std::vector<uint8_t> block(data + 1, data + size);
  static const uint8_t nothing = 0;
  const uint8_t* bytes = block.empty() ? &nothing : block.data();
  const std::string text(reinterpret_cast<const char*>(bytes), block.size());
  try {
    switch (kind % 4) {
      case 0: MakeNetscapeBookmarkBlock(ReadNetscapeBookmarkBlock(bytes, block.size())); break;
      case 1: MakeNetscapeImageBlock(ReadNetscapeImageBlock(bytes, block.size())); break;
      case 2: {
        TStringList lines;
        ReadVCardText(text, lines);
        MakeVCardBlock(lines);
        break;
      }
      case 3: {
        TStringList lines;
        lines.SetText(text);
        AnsiString url;
        ReadShortcutLines(lines, url);
        MakeCFHTML(url);
        TextToRTF(url);
        break;
      }
    }
  } catch (const EDropBlockError&) {
  }
  return 0;
}
