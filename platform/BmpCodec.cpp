#include "platform/BmpCodec.h"

#include "platform/Text.h"

#include <cstring>

namespace {

constexpr uint32_t BiRgb = 0;
constexpr uint32_t BiBitFields = 3;
constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr size_t CoreHeaderSize = 12;

[[noreturn]] void Invalid(const AnsiString& what) { throw EInvalidGraphic("Bitmap image is not valid: " + what); }

}  // namespace

size_t BmpStride(int64_t width, int bitCount) {
  if (width < 0 || bitCount <= 0) return 0;
  uint64_t bits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount);
  uint64_t stride = (bits + 31) / 32 * 4;
  if (stride > SIZE_MAX / 2) return 0;
  return static_cast<size_t>(stride);
}

size_t TBmpImage::Stride() const { return BmpStride(Width, BitCount); }

TBmpImage DecodeBmp(const uint8_t* data, size_t size, bool fileHeader) {
  if (!data) size = 0;
  size_t headerAt = 0;
  uint32_t bitsOffset = 0;
  if (fileHeader) {
    if (size < FileHeaderSize) Invalid("the file is too short");
    if (data[0] != 'B' || data[1] != 'M') Invalid("the file does not start with \"BM\"");
    bitsOffset = LittleDWord(data + 10);
    headerAt = FileHeaderSize;
  }
  if (size - headerAt < 4) Invalid("the header is missing");
  uint32_t headerSize = LittleDWord(data + headerAt);
  if (headerSize != CoreHeaderSize && headerSize != InfoHeaderSize && headerSize != 52 && headerSize != 56 &&
      headerSize != 108 && headerSize != 124)
    Invalid(Format("header size %u is not supported", static_cast<unsigned>(headerSize)));
  if (size - headerAt < headerSize) Invalid("the header is truncated");
  const uint8_t* h = data + headerAt;

  int64_t width, height;
  uint16_t planes, bitCount;
  uint32_t compression = BiRgb, colorsUsed = 0;
  size_t paletteEntrySize = 4;
  if (headerSize == CoreHeaderSize) {
    width = LittleWord(h + 4);
    height = LittleWord(h + 6);
    planes = LittleWord(h + 8);
    bitCount = LittleWord(h + 10);
    paletteEntrySize = 3;
  } else {
    width = static_cast<int32_t>(LittleDWord(h + 4));
    height = static_cast<int32_t>(LittleDWord(h + 8));
    planes = LittleWord(h + 12);
    bitCount = LittleWord(h + 14);
    compression = LittleDWord(h + 16);
    colorsUsed = LittleDWord(h + 32);
  }
  bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || height > INT32_MAX)
    Invalid(Format("size %lld x %lld", static_cast<long long>(width), static_cast<long long>(topDown ? -height : height)));
  if (planes != 1) Invalid(Format("%u colour planes", static_cast<unsigned>(planes)));
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    Invalid(Format("bit count %u is not supported", static_cast<unsigned>(bitCount)));
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > MaxBmpPixels)
    Invalid(Format("%lld x %lld pixels is too large", static_cast<long long>(width), static_cast<long long>(height)));

  TBmpImage image;
  image.Width = static_cast<int32_t>(width);
  image.Height = static_cast<int32_t>(height);
  image.BitCount = bitCount;

  size_t tableAt = headerAt + headerSize;  // masks (40-byte header) and colour table follow the header
  if (compression == BiBitFields) {
    if (bitCount != 16 && bitCount != 32) Invalid("bit fields need 16 or 32 bits per pixel");
    const uint8_t* masks;
    if (headerSize == InfoHeaderSize) {
      if (size - tableAt < 12) Invalid("the colour masks are truncated");
      masks = data + tableAt;
      tableAt += 12;
    } else {
      masks = h + 40;
    }
    uint32_t r = LittleDWord(masks), g = LittleDWord(masks + 4), b = LittleDWord(masks + 8);
    if (bitCount == 16 && r == 0xF800 && g == 0x07E0 && b == 0x001F)
      image.Rgb565 = true;
    else if (!(bitCount == 16 && r == 0x7C00 && g == 0x03E0 && b == 0x001F) &&
             !(bitCount == 32 && r == 0xFF0000 && g == 0xFF00 && b == 0xFF))
      Invalid("these colour masks are not supported");
  } else if (compression != BiRgb) {
    Invalid(Format("compression %u is not supported", static_cast<unsigned>(compression)));
  }

  if (bitCount <= 8) {
    uint32_t maxColors = 1u << bitCount;
    if (colorsUsed > maxColors)
      Invalid(Format("a palette of %u colours for %u bits per pixel", static_cast<unsigned>(colorsUsed),
                     static_cast<unsigned>(bitCount)));
    uint32_t count = colorsUsed ? colorsUsed : maxColors;
    size_t tableBytes = static_cast<size_t>(count) * paletteEntrySize;
    size_t tableEnd = fileHeader && bitsOffset ? bitsOffset : size;
    if (tableAt > size || tableBytes > size - tableAt || tableAt + tableBytes > tableEnd)
      Invalid("the palette is longer than the data");
    image.Palette.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
      const uint8_t* e = data + tableAt + i * paletteEntrySize;
      image.Palette[i] = (static_cast<uint32_t>(e[2]) << 16) | (static_cast<uint32_t>(e[1]) << 8) | e[0];
    }
    tableAt += tableBytes;
  }

  // Pixels start at the offset the file header names, or right after the table.
  size_t pixelsAt = tableAt;
  if (fileHeader && bitsOffset) {
    if (bitsOffset < FileHeaderSize + headerSize || bitsOffset > size) Invalid("the pixel data offset");
    pixelsAt = bitsOffset;
  }
  size_t stride = image.Stride();
  if (stride == 0 || static_cast<uint64_t>(stride) * static_cast<uint64_t>(height) > SIZE_MAX)
    Invalid("the row size overflows");
  size_t total = stride * static_cast<size_t>(height);
  if (pixelsAt > size || total > size - pixelsAt) Invalid("the pixel data is truncated");

  image.Bits.resize(total);
  if (!topDown) {
    std::memcpy(image.Bits.data(), data + pixelsAt, total);
  } else {
    for (int64_t row = 0; row < height; ++row)
      std::memcpy(image.Bits.data() + static_cast<size_t>(height - 1 - row) * stride,
                  data + pixelsAt + static_cast<size_t>(row) * stride, stride);
  }
  return image;
}

std::vector<uint8_t> EncodeBmp(const TBmpImage& image) {
  size_t stride = image.Stride();
  if (image.Width <= 0 || image.Height <= 0 || stride == 0 ||
      image.Bits.size() != stride * static_cast<size_t>(image.Height))
    throw EInvalidGraphic("Bitmap image is not valid: nothing to write");
  bool paletted = image.BitCount <= 8;
  if (paletted && image.Palette.size() > (1u << image.BitCount))
    throw EInvalidGraphic("Bitmap image is not valid: the palette is too long");
  bool bitFields = image.BitCount == 16 && image.Rgb565;
  size_t tableBytes = (paletted ? image.Palette.size() * 4 : 0) + (bitFields ? 12 : 0);
  size_t offset = FileHeaderSize + InfoHeaderSize + tableBytes;
  size_t fileSize = offset + image.Bits.size();
  if (fileSize > UINT32_MAX) throw EInvalidGraphic("Bitmap image is too large to write");

  std::vector<uint8_t> out;
  out.reserve(fileSize);
  out.push_back('B');
  out.push_back('M');
  AppendDWord(out, static_cast<uint32_t>(fileSize));
  AppendDWord(out, 0);
  AppendDWord(out, static_cast<uint32_t>(offset));
  AppendDWord(out, InfoHeaderSize);
  AppendDWord(out, static_cast<uint32_t>(image.Width));
  AppendDWord(out, static_cast<uint32_t>(image.Height));
  AppendWord(out, 1);
  AppendWord(out, image.BitCount);
  AppendDWord(out, bitFields ? BiBitFields : BiRgb);
  AppendDWord(out, static_cast<uint32_t>(image.Bits.size()));
  AppendDWord(out, 0);  // pixels per metre: unknown
  AppendDWord(out, 0);
  AppendDWord(out, paletted ? static_cast<uint32_t>(image.Palette.size()) : 0);
  AppendDWord(out, 0);
  if (bitFields) {
    AppendDWord(out, 0xF800);
    AppendDWord(out, 0x07E0);
    AppendDWord(out, 0x001F);
  }
  if (paletted)
    for (uint32_t c : image.Palette) AppendDWord(out, c & 0x00FFFFFF);
  out.insert(out.end(), image.Bits.begin(), image.Bits.end());
  return out;
}
