// Reading and writing the BMP file format (and the packed device-independent
// bitmaps that resources hold). Everything read is checked against the data
// it came from: header sizes, bit counts, palette length, row sizes, every
// run of run-length data and truncation; bad input raises EInvalidGraphic.
// Portable: no Windows headers.
#pragma once

#include "platform/GraphicsErrors.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// A decoded bitmap in the layout of a bottom-up device-independent bitmap.
// Run-length pixels are expanded (pixels a run skips get index 0); bit-field
// pixels other than 5-5-5, 5-6-5 and 8-8-8 become 32-bit pixels (blue,
// green, red, then alpha where the file has an alpha mask, else 0).
struct TBmpImage {
  int32_t Width = 0;
  int32_t Height = 0;              // rows, bottom row first in Bits
  uint16_t BitCount = 0;           // 1, 4, 8, 16, 24 or 32
  bool Rgb565 = false;             // 16 bits: 5-6-5 instead of 5-5-5
  std::vector<uint32_t> Palette;   // 0x00RRGGBB entries (bit counts up to 8)
  std::vector<uint8_t> Bits;       // Height rows of Stride() bytes
  size_t Stride() const;
};

// Bytes in one row of `width` pixels of `bitCount` bits (rows are padded to
// 32 bits); 0 when the size does not fit in memory.
size_t BmpStride(int64_t width, int bitCount);

// The largest bitmap the reader accepts, in pixels.
constexpr uint64_t MaxBmpPixels = 0x10000000;

// Decodes a BMP file (starting with "BM"), or with `fileHeader` false a packed
// bitmap: the info header, the colour table and the pixels, as in resources.
// Headers of 12 (the old core header), 40, 52, 56, 108 and 124 bytes; rows
// bottom-up or top-down; uncompressed, 8- and 4-bit run-length, or bit
// fields (any contiguous masks) for 16 and 32 bits. A bitmap of more than
// `maxPixels` pixels is refused: run-length data can describe a large
// picture in a few bytes, so a program reading hostile files in bulk (the
// fuzz harness) passes a smaller budget.
TBmpImage DecodeBmp(const uint8_t* data, size_t size, bool fileHeader = true, uint64_t maxPixels = MaxBmpPixels);
// A BMP file (file header, 40-byte info header, colour table, pixels).
std::vector<uint8_t> EncodeBmp(const TBmpImage& image);

// Little-endian fields of the Windows picture formats (BMP, ICO).
inline uint16_t LittleWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
inline uint32_t LittleDWord(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}
inline void AppendWord(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void AppendDWord(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
