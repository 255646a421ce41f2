// Helpers of the GIF codec tests, shared by the Windows and the native test
// programs: hand-built code streams, the client's busy picture, random
// pixels and whole-file round trips.
#pragma once

#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"

#include <cstdint>
#include <string>
#include <vector>

namespace giftest {

using Bytes = std::string;

// Collects issues reported by a picture.
struct IssueLog {
  std::vector<std::string> Messages;
  void Attach(TGIFContainer& image);
  bool Has(const std::string& message) const;
};

// Packs LZW codes least significant bit first, as a GIF encoder does.
class CodeStream {
public:
  void Put(int code, int width);
  // The minimum code size byte, the packed codes in sub-blocks of at most
  // `blockSize` bytes and (unless left out) the terminator.
  Bytes ImageData(int minimumCodeSize, int blockSize = 255, bool terminator = true) const;

private:
  std::vector<uint8_t> FBytes;
  uint32_t FAccumulator = 0;
  int FBits = 0;
};

// Image data of literal codes (values below the clear code): a clear code,
// the values, the end code; code widths follow the decoder's table growth,
// staying at 12 bits once the table is full.
Bytes LiteralImageData(int minimumCodeSize, const std::vector<int>& values, int blockSize = 255);

// Encodes pixels with the given encoder kind and decodes them again through
// a frame; answers the decoded pixels. `consumed` tells whether the decoder
// left the stream exactly at the end of the image data.
std::vector<uint8_t> EncodeDecode(TGIFEncoding encoding, int bits, int width, int height, bool interlaced,
                                  const std::vector<uint8_t>& pixels, Bytes* data = nullptr, bool* consumed = nullptr);

// Little-endian 16-bit value as two bytes.
Bytes Word(int value);
// A header and logical screen descriptor with a global table of 2^bits grey entries.
Bytes ScreenWithTable(int width, int height, int bits);
// An image descriptor without local table.
Bytes Descriptor(int left, int top, int width, int height, bool interlaced = false);

// The busy picture of the client's windows: 24 x 24, 8-colour global
// table, a loop block with count 0, eight frames with graphic controls.
void BuildBusyPicture(TGIFContainer& image);

// A frame of the given size with `pixels` (width x height), added to `image`.
TGIFSubImage* AddFrame(TGIFContainer& image, int width, int height, const std::vector<uint8_t>& pixels);

// Deterministic pseudo-random pixels below 2^bits.
std::vector<uint8_t> RandomPixels(size_t count, int bits, uint32_t seed);
// Pixels in runs of the given lengths, alternating between colours 1 and 2.
std::vector<uint8_t> RunPixels(const std::vector<int>& runs);

Bytes SaveToBytes(TGIFContainer& image);
// Loads a whole file; the picture keeps what was read before an error.
void LoadFromBytes(TGIFContainer& image, const Bytes& bytes);

// The blocks of a GIF file as separate byte strings (header with screen
// and global table, each extension, each image with its data, trailer),
// found by walking the block structure.
std::vector<Bytes> SplitBlocks(const Bytes& file);

}  // namespace giftest
