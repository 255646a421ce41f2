// Fuzzes the BMP reader: any bytes, as a file and as a packed bitmap. What
// decodes must encode and decode back to the same pixels.
#include "platform/BmpCodec.h"

#include <cstdlib>

namespace {

void CheckRoundTrip(const TBmpImage& image) {
  const std::vector<uint8_t> file = EncodeBmp(image);
  const TBmpImage back = DecodeBmp(file.data(), file.size());
  if (back.Width != image.Width || back.Height != image.Height || back.BitCount != image.BitCount ||
      back.Bits != image.Bits)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool fileHeader : {true, false}) {
    try {
      CheckRoundTrip(DecodeBmp(data, size, fileHeader));
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
