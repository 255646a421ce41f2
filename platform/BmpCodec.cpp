#include "platform/BmpCodec.h"

#include "platform/Text.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uint32_t BiRgb = 0;
constexpr uint32_t BiRle8 = 1;
constexpr uint32_t BiRle4 = 2;
constexpr uint32_t BiBitFields = 3;
constexpr size_t FileHeaderSize = 14;
constexpr size_t InfoHeaderSize = 40;
constexpr size_t CoreHeaderSize = 12;

[[noreturn]] void Invalid(const AnsiString& what) { throw EInvalidGraphic("Bitmap image is not valid: " + what); }

// One colour channel of bit-field pixels: a contiguous mask; an empty mask is
// a channel the file does not have.
struct TChannel {
  uint32_t Mask = 0;
  int Shift = 0;  // of the mask's lowest bit
  int Bits = 0;

  TChannel(uint32_t mask, const char* name) {
    Mask = mask;
    if (!mask) return;
    while (!(mask & 1)) {
      mask >>= 1;
      ++Shift;
    }
    while (mask & 1) {
      mask >>= 1;
      ++Bits;
    }
    if (mask) Invalid(Format("the %s mask 0x%08X is not contiguous", name, static_cast<unsigned>(Mask)));
  }

  // The channel's value widened (bits repeated) or narrowed to 8 bits.
  uint8_t Value(uint32_t pixel) const {
    if (!Bits) return 0;
    const uint32_t v = (pixel & Mask) >> Shift;
    if (Bits >= 8) return static_cast<uint8_t>(v >> (Bits - 8));
    uint32_t out = 0;
    for (int shift = 8 - Bits;; shift -= Bits) {
      if (shift <= 0) {
        out |= v >> -shift;
        break;
      }
      out |= v << shift;
    }
    return static_cast<uint8_t>(out);
  }
};

struct TBitFields {
  uint32_t Red, Green, Blue, Alpha;
};

// Whether the masks are a layout TBmpImage keeps as it is.
bool KeptLayout(const TBitFields& m, int bitCount, bool& rgb565) {
  rgb565 = false;
  if (bitCount == 16 && m.Alpha == 0 && m.Blue == 0x001F) {
    if (m.Red == 0xF800 && m.Green == 0x07E0) return rgb565 = true;
    return m.Red == 0x7C00 && m.Green == 0x03E0;
  }
  return bitCount == 32 && m.Red == 0xFF0000 && m.Green == 0xFF00 && m.Blue == 0xFF &&
         (m.Alpha == 0 || m.Alpha == 0xFF000000u);
}

// Rows of 16- or 32-bit bit-field pixels into 32-bit blue, green, red, alpha
// rows, bottom row first.
void ConvertBitFields(TBmpImage& image, const uint8_t* pixels, int bitCount, bool topDown, const TBitFields& masks) {
  const TChannel red(masks.Red, "red"), green(masks.Green, "green"), blue(masks.Blue, "blue"),
      alpha(masks.Alpha, "alpha");
  const size_t inStride = BmpStride(image.Width, bitCount);
  image.BitCount = 32;
  image.Rgb565 = false;
  const size_t outStride = image.Stride();
  image.Bits.assign(outStride * static_cast<size_t>(image.Height), 0);
  for (int32_t row = 0; row < image.Height; ++row) {
    const uint8_t* in = pixels + static_cast<size_t>(row) * inStride;
    uint8_t* out = image.Bits.data() + static_cast<size_t>(topDown ? image.Height - 1 - row : row) * outStride;
    for (int32_t x = 0; x < image.Width; ++x, out += 4) {
      const uint32_t pixel = bitCount == 16 ? LittleWord(in + 2 * static_cast<size_t>(x))
                                            : LittleDWord(in + 4 * static_cast<size_t>(x));
      out[0] = blue.Value(pixel);
      out[1] = green.Value(pixel);
      out[2] = red.Value(pixel);
      out[3] = alpha.Value(pixel);
    }
  }
}

// Expands 8- or 4-bit run-length data (bottom row first) into the image's
// rows. Every run must stay inside its row and every move inside the image;
// the data must end with an end-of-bitmap mark.
void ExpandRunLength(TBmpImage& image, const uint8_t* data, size_t size, bool fourBits) {
  const int64_t width = image.Width, height = image.Height;
  const size_t stride = image.Stride();
  image.Bits.assign(stride * static_cast<size_t>(height), 0);
  auto put = [&](int64_t x, int64_t y, uint8_t index) {
    uint8_t* row = image.Bits.data() + static_cast<size_t>(y) * stride;
    if (!fourBits) {
      row[x] = index;
    } else {
      uint8_t& b = row[x / 2];
      b = x % 2 == 0 ? static_cast<uint8_t>((b & 0x0F) | (index << 4)) : static_cast<uint8_t>((b & 0xF0) | (index & 0x0F));
    }
  };
  auto runFits = [&](int64_t x, int64_t y, int64_t count) { return y < height && count <= width - x; };
  size_t pos = 0;
  int64_t x = 0, y = 0;
  for (;;) {
    if (size - pos < 2) Invalid("the run-length data ends without an end-of-bitmap mark");
    const uint8_t count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      if (!runFits(x, y, count)) Invalid(Format("a run of %u pixels at (%lld, %lld) leaves the image",
                                                static_cast<unsigned>(count), static_cast<long long>(x),
                                                static_cast<long long>(y)));
      for (int i = 0; i < count; ++i)
        put(x + i, y, fourBits ? static_cast<uint8_t>(i % 2 == 0 ? value >> 4 : value & 0x0F) : value);
      x += count;
      continue;
    }
    switch (value) {
      case 0:  // end of line
        x = 0;
        if (++y > height) Invalid("an end of line goes past the last row");
        break;
      case 1:  // end of bitmap
        return;
      case 2: {  // delta: right and up
        if (size - pos < 2) Invalid("a delta is truncated");
        const uint8_t dx = data[pos], dy = data[pos + 1];
        pos += 2;
        if (dx > width - x || dy > height - y) Invalid("a delta moves outside the image");
        x += dx;
        y += dy;
        break;
      }
      default: {  // absolute run: `value` pixels as stored, padded to 16 bits
        const size_t bytes = fourBits ? (value + 1u) / 2 : value;
        const size_t padded = bytes + (bytes & 1);
        if (size - pos < padded) Invalid("an absolute run is truncated");
        if (!runFits(x, y, value)) Invalid(Format("an absolute run of %u pixels at (%lld, %lld) leaves the image",
                                                  static_cast<unsigned>(value), static_cast<long long>(x),
                                                  static_cast<long long>(y)));
        for (int i = 0; i < value; ++i) {
          const uint8_t b = data[pos + (fourBits ? static_cast<size_t>(i) / 2 : static_cast<size_t>(i))];
          put(x + i, y, fourBits ? static_cast<uint8_t>(i % 2 == 0 ? b >> 4 : b & 0x0F) : b);
        }
        x += value;
        pos += padded;
        break;
      }
    }
  }
}

}  // namespace

size_t BmpStride(int64_t width, int bitCount) {
  if (width < 0 || bitCount <= 0) return 0;
  uint64_t bits = static_cast<uint64_t>(width) * static_cast<uint64_t>(bitCount);
  uint64_t stride = (bits + 31) / 32 * 4;
  if (stride > SIZE_MAX / 2) return 0;
  return static_cast<size_t>(stride);
}

size_t TBmpImage::Stride() const { return BmpStride(Width, BitCount); }

TBmpImage DecodeBmp(const uint8_t* data, size_t size, bool fileHeader, uint64_t maxPixels) {
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
  uint32_t compression = BiRgb, colorsUsed = 0, imageSize = 0;
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
    imageSize = LittleDWord(h + 20);
    colorsUsed = LittleDWord(h + 32);
  }
  bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || height > INT32_MAX)
    Invalid(Format("size %lld x %lld", static_cast<long long>(width), static_cast<long long>(topDown ? -height : height)));
  if (planes != 1) Invalid(Format("%u colour planes", static_cast<unsigned>(planes)));
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    Invalid(Format("bit count %u is not supported", static_cast<unsigned>(bitCount)));
  if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > std::min(maxPixels, MaxBmpPixels))
    Invalid(Format("%lld x %lld pixels is too large", static_cast<long long>(width), static_cast<long long>(height)));

  TBmpImage image;
  image.Width = static_cast<int32_t>(width);
  image.Height = static_cast<int32_t>(height);
  image.BitCount = bitCount;

  size_t tableAt = headerAt + headerSize;  // masks (40-byte header) and colour table follow the header
  bool convert = false;
  TBitFields masks{};
  if (compression == BiBitFields) {
    if (bitCount != 16 && bitCount != 32) Invalid("bit fields need 16 or 32 bits per pixel");
    const uint8_t* m;
    if (headerSize == InfoHeaderSize) {
      if (size - tableAt < 12) Invalid("the colour masks are truncated");
      m = data + tableAt;
      tableAt += 12;
    } else {
      m = h + 40;
    }
    // Mask bits beyond the pixel's own never select anything (writers put
    // a 32-bit alpha mask into 16-bit files).
    const uint32_t within = bitCount == 16 ? 0xFFFFu : 0xFFFFFFFFu;
    masks = {LittleDWord(m) & within, LittleDWord(m + 4) & within, LittleDWord(m + 8) & within,
             (headerSize >= 56 ? LittleDWord(h + 52) : 0) & within};
    convert = !KeptLayout(masks, bitCount, image.Rgb565);
  } else if (compression == BiRle8 || compression == BiRle4) {
    if (bitCount != (compression == BiRle8 ? 8 : 4))
      Invalid(Format("run-length compression %u needs %u bits per pixel", static_cast<unsigned>(compression),
                     compression == BiRle8 ? 8u : 4u));
    if (topDown) Invalid("run-length bitmaps cannot be top-down");
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
  } else if (colorsUsed) {
    // A colour table beside true-colour pixels only helps palette devices;
    // the pixels follow it.
    if (tableAt > size || colorsUsed > (size - tableAt) / 4) Invalid("the colour table is longer than the data");
    tableAt += static_cast<size_t>(colorsUsed) * 4;
  }

  // Pixels start at the offset the file header names, or right after the table.
  size_t pixelsAt = tableAt;
  if (fileHeader && bitsOffset) {
    if (bitsOffset < FileHeaderSize + headerSize || bitsOffset > size) Invalid("the pixel data offset");
    pixelsAt = bitsOffset;
  }
  if (pixelsAt > size) Invalid("the pixel data is truncated");

  if (compression == BiRle8 || compression == BiRle4) {
    // The image size, when given, is the length of the compressed data.
    size_t available = size - pixelsAt;
    if (imageSize && imageSize < available) available = imageSize;
    ExpandRunLength(image, data + pixelsAt, available, compression == BiRle4);
    return image;
  }

  size_t stride = image.Stride();
  if (stride == 0 || static_cast<uint64_t>(stride) * static_cast<uint64_t>(height) > SIZE_MAX)
    Invalid("the row size overflows");
  size_t total = stride * static_cast<size_t>(height);
  if (total > size - pixelsAt) Invalid("the pixel data is truncated");

  if (convert) {
    ConvertBitFields(image, data + pixelsAt, bitCount, topDown, masks);
    return image;
  }
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
