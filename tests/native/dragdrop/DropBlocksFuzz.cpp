// Fuzz target for the readers of dropped shell blocks. The first byte picks
// the reader; the rest is the block, copied to a buffer of exactly its size
// so that any read past it is caught.
#include "dragdrop/DropBlocks.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t kind = data[0];
  const std::vector<uint8_t> block(data + 1, data + size);
  static const uint8_t nothing = 0;
  const uint8_t* bytes = block.empty() ? &nothing : block.data();
  try {
    switch (kind % 6) {
      case 0: ReadDropFilesBlock(bytes, block.size()); break;
      case 1: ReadNameListBlock(bytes, block.size()); break;
      case 2: ReadWideNameListBlock(bytes, block.size()); break;
      case 3: ReadIDListArrayBlock(bytes, block.size()); break;
      case 4: CheckFileGroupBlock(bytes, block.size(), FileDescriptorASize, false); break;
      case 5: CheckFileGroupBlock(bytes, block.size(), FileDescriptorWSize, true); break;
    }
  } catch (const EDropBlockError&) {
  }
  return 0;
}
