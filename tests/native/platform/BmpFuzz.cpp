// Fuzzes the BMP reader: any bytes, as a file and as a packed bitmap. What
// decodes must encode and decode back to the same pixels.
#include "platform/BmpCodec.h"

#include <cstdlib>

namespace {

// A small pixel budget: run-length data describes a large blank picture in a
// few bytes, and expanding (and writing back) one per input would starve the
// search.
constexpr uint64_t FuzzPixels = uint64_t(1) << 18;

void CheckRoundTrip(const TBmpImage& image) {
  const std::vector<uint8_t> file = EncodeBmp(image);
  const TBmpImage back = DecodeBmp(file.data(), file.size(), true, FuzzPixels);
  if (back.Width != image.Width || back.Height != image.Height || back.BitCount != image.BitCount ||
      back.Rgb565 != image.Rgb565 || back.Palette != image.Palette || back.Bits != image.Bits)
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (bool fileHeader : {true, false}) {
    try {
      CheckRoundTrip(DecodeBmp(data, size, fileHeader, FuzzPixels));
    } catch (const EInvalidGraphic&) {
    }
  }
  return 0;
}
