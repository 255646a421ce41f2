// The BMP reader and writer: round trips of every bit count, the layouts
// real files use (run-length data, bit-field masks, top-down rows, the old
// core header) checked pixel by pixel and against the system's own reading,
// and hostile files that must raise a clear error without reading past their
// end.
#include "platform/Bitmap.h"
#include "platform/BmpCodec.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// A BMP file built field by field, so that a case can spoil one field.
struct BmpFields {
  uint32_t OffBits = 54 + 8;  // headers + a 2-colour table
  uint32_t HeaderSize = 40;
  int32_t Width = 4;
  int32_t Height = 2;
  uint16_t Planes = 1;
  uint16_t BitCount = 1;
  uint32_t Compression = 0;
  uint32_t ColorsUsed = 2;
  size_t PaletteBytes = 8;
  size_t PixelBytes = 8;  // 2 rows of 4 bytes
};

std::vector<uint8_t> MakeBmp(const BmpFields& f) {
  std::vector<uint8_t> out;
  auto word = [&](uint16_t v) { out.push_back(v & 0xFF); out.push_back(v >> 8); };
  auto dword = [&](uint32_t v) { for (int i = 0; i < 4; ++i) out.push_back((v >> (8 * i)) & 0xFF); };
  out.push_back('B');
  out.push_back('M');
  dword(0);              // file size: not used by readers
  dword(0);              // reserved
  dword(f.OffBits);
  dword(f.HeaderSize);
  dword(static_cast<uint32_t>(f.Width));
  dword(static_cast<uint32_t>(f.Height));
  word(f.Planes);
  word(f.BitCount);
  dword(f.Compression);
  dword(0);              // image size
  dword(0);              // pixels per metre
  dword(0);
  dword(f.ColorsUsed);
  dword(0);              // important colours
  out.resize(out.size() + (f.HeaderSize > 40 ? f.HeaderSize - 40 : 0), 0);
  for (size_t i = 0; i < f.PaletteBytes; ++i) out.push_back(static_cast<uint8_t>(i * 37));
  for (size_t i = 0; i < f.PixelBytes; ++i) out.push_back(static_cast<uint8_t>(i));
  return out;
}

TEST(Bmp, WellFormedFixtureDecodes) {
  std::vector<uint8_t> file = MakeBmp({});
  TBmpImage image = DecodeBmp(file.data(), file.size());
  EXPECT_EQ(image.Width, 4);
  EXPECT_EQ(image.Height, 2);
  EXPECT_EQ(image.BitCount, 1);
  EXPECT_EQ(image.Palette.size(), 2u);
  EXPECT_EQ(image.Bits.size(), 8u);
}

TEST(Bmp, HostileHeadersRaise) {
  struct Case {
    const char* Name;
    void (*Spoil)(BmpFields&);
    size_t Cut;  // bytes removed from the end
  } cases[] = {
      {"negative width", [](BmpFields& f) { f.Width = -4; }, 0},
      {"zero height", [](BmpFields& f) { f.Height = 0; }, 0},
      {"huge width", [](BmpFields& f) { f.Width = 0x7FFFFFFF; }, 0},
      {"huge both", [](BmpFields& f) { f.Width = 100000; f.Height = 100000; }, 0},
      {"smallest height", [](BmpFields& f) { f.Height = INT32_MIN; }, 0},
      {"width x stride overflow", [](BmpFields& f) { f.Width = 0x40000000; f.Height = 1; f.BitCount = 32; f.ColorsUsed = 0; f.PaletteBytes = 0; f.OffBits = 54; }, 0},
      {"bad header size", [](BmpFields& f) { f.HeaderSize = 41; }, 0},
      {"header larger than file", [](BmpFields& f) { f.HeaderSize = 124; f.PaletteBytes = 0; f.PixelBytes = 0; f.OffBits = 0; }, 60},
      {"two planes", [](BmpFields& f) { f.Planes = 2; }, 0},
      {"bit count 7", [](BmpFields& f) { f.BitCount = 7; }, 0},
      {"compression 4 (JPEG inside)", [](BmpFields& f) { f.BitCount = 8; f.Compression = 4; }, 0},
      {"bit fields at 8 bits", [](BmpFields& f) { f.BitCount = 8; f.Compression = 3; }, 0},
      {"palette longer than bit count allows", [](BmpFields& f) { f.ColorsUsed = 3; }, 0},
      {"palette longer than the file", [](BmpFields& f) { f.BitCount = 8; f.ColorsUsed = 256; f.PixelBytes = 4; }, 0},
      {"pixel offset inside the headers", [](BmpFields& f) { f.OffBits = 20; }, 0},
      {"pixel offset past the end", [](BmpFields& f) { f.OffBits = 100000; }, 0},
      {"truncated pixels", [](BmpFields&) {}, 1},
      {"truncated 24-bit pixels", [](BmpFields& f) { f.BitCount = 24; f.ColorsUsed = 0; f.PaletteBytes = 0; f.OffBits = 54; f.PixelBytes = 24; }, 1},
      {"no pixels at all", [](BmpFields& f) { f.PixelBytes = 0; }, 0},
  };
  for (const Case& c : cases) {
    BmpFields fields;
    c.Spoil(fields);
    std::vector<uint8_t> file = MakeBmp(fields);
    file.resize(file.size() - std::min(c.Cut, file.size()));
    // An exact-size heap copy, so a read past the end would be a read past the allocation.
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size()]);
    std::memcpy(exact.get(), file.data(), file.size());
    EXPECT_THROW(DecodeBmp(exact.get(), file.size()), EInvalidGraphic) << c.Name;
  }
  // Every prefix of a good file is refused too.
  std::vector<uint8_t> good = MakeBmp({});
  for (size_t n = 0; n < good.size(); ++n) EXPECT_THROW(DecodeBmp(good.data(), n), EInvalidGraphic) << n;
  const uint8_t notBmp[] = {'P', 'K', 3, 4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_THROW(DecodeBmp(notBmp, sizeof notBmp), EInvalidGraphic);
}

TEST(Bmp, ErrorsReachTheBitmapAndKeepItsPicture) {
  TBitmap bitmap;
  bitmap.SetSize(3, 3);
  BmpFields fields;
  fields.BitCount = 7;
  std::vector<uint8_t> bad = MakeBmp(fields);
  TMemoryStream stream;
  stream.WriteBuffer(bad.data(), static_cast<int64_t>(bad.size()));
  stream.SetPosition(0);
  try {
    bitmap.LoadFromStream(stream);
    FAIL() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find("bit count 7"), std::string::npos) << e.what();
  }
  EXPECT_EQ(bitmap.Width(), 3);
}

TEST(Bmp, EveryBitCountRoundTripsThroughTheBitmap) {
  for (TPixelFormat format : {pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit}) {
    TBitmap original;
    original.SetPixelFormat(format);
    original.SetSize(13, 5);  // odd width: rows are padded
    // Write every byte of the rows through the scan lines, padding excepted.
    int bits = original.BitsPerPixel();
    size_t used = (13 * bits + 7) / 8;
    for (int y = 0; y < 5; ++y) {
      auto* row = static_cast<uint8_t*>(original.ScanLine(y));
      for (size_t i = 0; i < used; ++i) row[i] = static_cast<uint8_t>(y * 31 + i * 7);
    }
    TMemoryStream stream;
    original.SaveToStream(stream);
    stream.SetPosition(0);
    TBitmap loaded;
    loaded.LoadFromStream(stream);
    EXPECT_EQ(stream.Position(), stream.Size());
    EXPECT_EQ(loaded.PixelFormat(), format);
    TBmpImage a = original.SaveToImage(), b = loaded.SaveToImage();
    EXPECT_EQ(a.Width, b.Width);
    EXPECT_EQ(a.Height, b.Height);
    EXPECT_EQ(a.BitCount, b.BitCount);
    EXPECT_EQ(a.Palette, b.Palette) << bits;
    EXPECT_EQ(a.Bits, b.Bits) << bits;
    // The form-data form as well.
    TMemoryStream data;
    original.WriteData(data);
    data.SetPosition(0);
    TBitmap fromData;
    fromData.ReadData(data);
    EXPECT_EQ(fromData.SaveToImage().Bits, a.Bits) << bits;
  }
}

TEST(Bmp, TopDownAndCoreHeadersRead) {
  // A top-down 24-bit 1 x 2 image: first row in the file is the top row.
  BmpFields fields;
  fields.BitCount = 24;
  fields.Width = 1;
  fields.Height = -2;
  fields.ColorsUsed = 0;
  fields.PaletteBytes = 0;
  fields.OffBits = 54;
  fields.PixelBytes = 8;
  std::vector<uint8_t> file = MakeBmp(fields);
  TBmpImage image = DecodeBmp(file.data(), file.size());
  EXPECT_EQ(image.Height, 2);
  EXPECT_EQ(image.Bits[4], 0) << "bottom row first in memory: the file's second row";
  EXPECT_EQ(image.Bits[0], 4);

  // A packed bitmap with a 12-byte header and a 3-byte colour table entry.
  const uint8_t core[] = {12, 0, 0, 0, 2, 0, 1, 0, 1, 0, 1, 0,  // size, 2 x 1, 1 plane, 1 bit
                          0, 0, 0, 255, 255, 255,               // black, white
                          0x40, 0, 0, 0};                       // one row: pixel 1 white
  TBmpImage packed = DecodeBmp(core, sizeof core, false);
  EXPECT_EQ(packed.Width, 2);
  EXPECT_EQ(packed.Palette.size(), 2u);
  EXPECT_EQ(packed.Palette[1], 0xFFFFFFu);
}

// A BMP file (or packed bitmap) of any header size, compression and masks.
struct BmpSpec {
  uint32_t HeaderSize = 40;  // 12, 40, 56, 108 or 124
  int32_t Width = 1;
  int32_t Height = 1;
  uint16_t BitCount = 8;
  uint32_t Compression = 0;       // 0 none, 1 RLE8, 2 RLE4, 3 bit fields
  std::vector<uint32_t> Masks{};    // red, green, blue[, alpha]: after a 40-byte header, else inside it
  std::vector<uint32_t> Palette{};  // 0x00RRGGBB, written as the colours used
  std::vector<uint8_t> Pixels{};
  bool Packed = false;            // no file header, as resources hold them
};

std::vector<uint8_t> Build(const BmpSpec& b) {
  std::vector<uint8_t> info;
  auto word = [&](uint16_t v) { AppendWord(info, v); };
  auto dword = [&](uint32_t v) { AppendDWord(info, v); };
  dword(b.HeaderSize);
  if (b.HeaderSize == 12) {
    word(static_cast<uint16_t>(b.Width));
    word(static_cast<uint16_t>(b.Height));
    word(1);
    word(b.BitCount);
  } else {
    dword(static_cast<uint32_t>(b.Width));
    dword(static_cast<uint32_t>(b.Height));
    word(1);
    word(b.BitCount);
    dword(b.Compression);
    dword(b.Compression == 1 || b.Compression == 2 ? static_cast<uint32_t>(b.Pixels.size()) : 0);  // image size
    dword(0);  // pixels per metre
    dword(0);
    dword(static_cast<uint32_t>(b.Palette.size()));  // colours used
    dword(0);                                         // important colours
    if (b.HeaderSize > 40) {
      for (size_t i = 0; i < 4; ++i) dword(i < b.Masks.size() ? b.Masks[i] : 0);
      if (b.HeaderSize >= 108) dword(0x73524742);  // colour space "sRGB"
      info.resize(b.HeaderSize, 0);               // end points, gamma, intent, profile
    } else {
      for (uint32_t m : b.Masks) dword(m);
    }
  }
  for (uint32_t c : b.Palette) {
    info.push_back(static_cast<uint8_t>(c));
    info.push_back(static_cast<uint8_t>(c >> 8));
    info.push_back(static_cast<uint8_t>(c >> 16));
    if (b.HeaderSize != 12) info.push_back(0);
  }
  std::vector<uint8_t> out;
  if (!b.Packed) {
    out = {'B', 'M'};
    AppendDWord(out, static_cast<uint32_t>(14 + info.size() + b.Pixels.size()));
    AppendDWord(out, 0);
    AppendDWord(out, static_cast<uint32_t>(14 + info.size()));  // where the pixels start
  }
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), b.Pixels.begin(), b.Pixels.end());
  return out;
}

// A pixel of a decoded image as 0xAARRGGBB, `y` counted from the top; alpha
// is 0 where the image has none.
uint32_t PixelAt(const TBmpImage& image, int x, int y) {
  const uint8_t* row = image.Bits.data() + image.Stride() * static_cast<size_t>(image.Height - 1 - y);
  switch (image.BitCount) {
    case 1: return image.Palette.at((row[x / 8] >> (7 - x % 8)) & 1);
    case 4: return image.Palette.at(x % 2 ? row[x / 2] & 0x0F : row[x / 2] >> 4);
    case 8: return image.Palette.at(row[x]);
    case 16: {
      const uint32_t p = LittleWord(row + 2 * x);
      const uint32_t r = image.Rgb565 ? p >> 11 : (p >> 10) & 0x1F, g = image.Rgb565 ? (p >> 5) & 0x3F : (p >> 5) & 0x1F,
                     b = p & 0x1F;
      const uint32_t g8 = image.Rgb565 ? (g << 2 | g >> 4) : (g << 3 | g >> 2);
      return (r << 3 | r >> 2) << 16 | g8 << 8 | (b << 3 | b >> 2);
    }
    case 24: return static_cast<uint32_t>(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
    default: return LittleDWord(row + 4 * x);
  }
}

struct Probe {
  int X, Y;         // from the top left
  uint32_t Colour;  // 0xAARRGGBB
};

struct ValidCase {
  const char* Name;
  BmpSpec Spec;
  int ExpectedBitCount;
  std::vector<Probe> Probes;
};

constexpr uint32_t Black = 0x000000, Red = 0xFF0000, Green = 0x00FF00, Blue = 0x0000FF;

std::vector<ValidCase> ValidCases() {
  const std::vector<uint32_t> four{Black, Red, Green, Blue};
  std::vector<uint32_t> sixteen = four;
  sixteen.resize(16, 0x808080);
  return {
      {"RLE8: runs, an absolute run, end of line, a delta up and right, end of bitmap",
       {.Width = 6, .Height = 3, .Compression = 1, .Palette = four,
        .Pixels = {0x03, 0x01,                          // bottom row: 3 red
                   0x00, 0x03, 0x02, 0x03, 0x01, 0x00,  // absolute: green, blue, red, padding
                   0x00, 0x00,                          // end of line
                   0x00, 0x02, 0x02, 0x00,              // delta: 2 right
                   0x02, 0x03,                          // 2 blue
                   0x00, 0x02, 0x01, 0x01,              // delta: 1 right, 1 up
                   0x01, 0x02,                          // 1 green, top right
                   0x00, 0x01}},                        // end of bitmap
       8,
       {{0, 2, Red}, {2, 2, Red}, {3, 2, Green}, {4, 2, Blue}, {5, 2, Red},
        {0, 1, Black}, {1, 1, Black}, {2, 1, Blue}, {3, 1, Blue}, {4, 1, Black}, {5, 1, Black},
        {0, 0, Black}, {4, 0, Black}, {5, 0, Green}}},
      {"RLE8: an end of line on the last row, then end of bitmap",
       {.Width = 2, .Height = 1, .Compression = 1, .Palette = four,
        .Pixels = {0x02, 0x03, 0x00, 0x00, 0x00, 0x01}},
       8,
       {{0, 0, Blue}, {1, 0, Blue}}},
      {"RLE4: alternating runs and a padded absolute run",
       {.Width = 5, .Height = 2, .BitCount = 4, .Compression = 2, .Palette = four,
        .Pixels = {0x05, 0x12,                    // bottom row: red, green, red, green, red
                   0x00, 0x00,                    // end of line
                   0x00, 0x05, 0x31, 0x23, 0x00,  // absolute: blue, red, green, blue, black
                   0x00,                          // padding to 16 bits
                   0x00, 0x01}},
       4,
       {{0, 1, Red}, {1, 1, Green}, {4, 1, Red}, {0, 0, Blue}, {1, 0, Red}, {2, 0, Green}, {3, 0, Blue},
        {4, 0, Black}}},
      {"32-bit bit fields, alpha first in memory, 124-byte header",
       {.HeaderSize = 124, .Width = 2, .Height = 1, .BitCount = 32, .Compression = 3,
        .Masks = {0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF},
        .Pixels = {0x80, 0x11, 0x22, 0x33, 0xFF, 0xFF, 0x00, 0x00}},
       32,
       {{0, 0, 0x80112233}, {1, 0, 0xFFFF0000}}},
      {"32-bit bit fields 10-10-10 with 2-bit alpha, 108-byte header",
       {.HeaderSize = 108, .Width = 1, .Height = 1, .BitCount = 32, .Compression = 3,
        .Masks = {0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000},
        .Pixels = {0x04, 0x00, 0xF8, 0xBF}},  // alpha 2, red 0x3FF, green 0x200, blue 4
       32,
       {{0, 0, 0xAAFF8001}}},
      {"16-bit bit fields 4-4-4-4 with alpha, 56-byte header",
       {.HeaderSize = 56, .Width = 1, .Height = 1, .BitCount = 16, .Compression = 3,
        .Masks = {0x0F00, 0x00F0, 0x000F, 0xF000}, .Pixels = {0x3F, 0x8C, 0, 0}},
       32,
       {{0, 0, 0x88CC33FF}}},
      {"16-bit bit fields 5-6-5 stay 16-bit",
       {.Width = 2, .Height = 1, .BitCount = 16, .Compression = 3, .Masks = {0xF800, 0x07E0, 0x001F},
        .Pixels = {0x00, 0xF8, 0xE0, 0x07}},
       16,
       {{0, 0, Red}, {1, 0, Green}}},
      {"16-bit 5-5-5 in a 124-byte header whose alpha mask lies beyond 16 bits",
       {.HeaderSize = 124, .Width = 1, .Height = 1, .BitCount = 16, .Compression = 3,
        .Masks = {0x7C00, 0x03E0, 0x001F, 0xFF000000}, .Pixels = {0x00, 0x7C, 0, 0}},
       16,
       {{0, 0, Red}}},
      {"32-bit 8-8-8 bit fields with a colour table, packed",
       {.Width = 1, .Height = 1, .BitCount = 32, .Compression = 3, .Masks = {0xFF0000, 0xFF00, 0xFF},
        .Palette = {0x123456, 0x654321}, .Pixels = {0x33, 0x22, 0x11, 0x00}, .Packed = true},
       32,
       {{0, 0, 0x112233}}},
      {"top-down 8-bit",
       {.Width = 1, .Height = -2, .Palette = four, .Pixels = {1, 0, 0, 0, 2, 0, 0, 0}},
       8,
       {{0, 0, Red}, {0, 1, Green}}},
      {"top-down 16-bit bit fields 1-5-5-5 with alpha",
       {.HeaderSize = 124, .Width = 1, .Height = -2, .BitCount = 16, .Compression = 3,
        .Masks = {0x7C00, 0x03E0, 0x001F, 0x8000}, .Pixels = {0x00, 0xFC, 0, 0, 0x1F, 0x00, 0, 0}},
       32,
       {{0, 0, 0xFFFF0000}, {0, 1, 0x000000FF}}},
      // The core header has no count of colours: the table is complete.
      {"core header, 4-bit, in a file",
       {.HeaderSize = 12, .Width = 3, .Height = 1, .BitCount = 4, .Palette = sixteen, .Pixels = {0x12, 0x30, 0, 0}},
       4,
       {{0, 0, Red}, {1, 0, Green}, {2, 0, Blue}}},
      {"core header, 24-bit, packed",
       {.HeaderSize = 12, .Width = 1, .Height = 1, .BitCount = 24, .Pixels = {0x33, 0x22, 0x11, 0}, .Packed = true},
       24,
       {{0, 0, 0x112233}}},
  };
}

TEST(BmpLayouts, EachLayoutDecodesToItsPixels) {
  for (const ValidCase& c : ValidCases()) {
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> file = Build(c.Spec);
    TBmpImage image;
    ASSERT_NO_THROW(image = DecodeBmp(file.data(), file.size(), !c.Spec.Packed));
    EXPECT_EQ(image.Width, c.Spec.Width);
    EXPECT_EQ(image.Height, std::abs(c.Spec.Height));
    EXPECT_EQ(image.BitCount, c.ExpectedBitCount);
    ASSERT_EQ(image.Bits.size(), image.Stride() * static_cast<size_t>(image.Height));
    for (const Probe& p : c.Probes)
      EXPECT_EQ(PixelAt(image, p.X, p.Y), p.Colour) << std::hex << "at " << p.X << "," << p.Y;
    // Cut anywhere, the file is refused: run-length data must reach its end
    // mark, other pixels must all be there.
    for (size_t n = 0; n < file.size(); ++n) {
      std::unique_ptr<uint8_t[]> exact(new uint8_t[n ? n : 1]);
      std::memcpy(exact.get(), file.data(), n);
      EXPECT_THROW(DecodeBmp(exact.get(), n, !c.Spec.Packed), EInvalidGraphic) << "cut to " << n;
    }
  }
}

// The system reads the same files: drawn by StretchDIBits over the colour
// of index 0 (what pixels a run skips get), it shows the decoded colours.
TEST(BmpLayouts, TheSystemReadsTheSamePixels) {
  for (const ValidCase& c : ValidCases()) {
    if (c.Spec.Packed) continue;
    SCOPED_TRACE(c.Name);
    const std::vector<uint8_t> file = Build(c.Spec);
    const TBmpImage image = DecodeBmp(file.data(), file.size());
    TBitmap target;
    target.SetPixelFormat(pf32bit);
    target.SetSize(image.Width, image.Height);
    const uint32_t background = image.Palette.empty() ? 0 : image.Palette[0];
    for (int y = 0; y < image.Height; ++y) {
      auto* row = static_cast<uint32_t*>(target.ScanLine(y));
      for (int x = 0; x < image.Width; ++x) row[x] = background;
    }
    const auto* info = reinterpret_cast<const BITMAPINFO*>(file.data() + 14);
    const uint8_t* bits = file.data() + LittleDWord(file.data() + 10);
    const int lines = StretchDIBits(target.Canvas()->Handle(), 0, 0, image.Width, image.Height, 0, 0, image.Width,
                                    image.Height, bits, info, DIB_RGB_COLORS, SRCCOPY);
    ASSERT_GT(lines, 0);
    GdiFlush();
    for (int y = 0; y < image.Height; ++y) {
      const auto* row = static_cast<const uint32_t*>(target.ScanLine(y));
      for (int x = 0; x < image.Width; ++x) {
        const uint32_t want = PixelAt(image, x, y) & 0xFFFFFF, got = row[x] & 0xFFFFFF;
        // The system may round channels wider or narrower than 8 bits by one.
        for (int shift : {0, 8, 16})
          EXPECT_LE(std::abs(static_cast<int>((want >> shift) & 0xFF) - static_cast<int>((got >> shift) & 0xFF)), 1)
              << std::hex << "at " << x << "," << y << ": " << want << " / " << got;
      }
    }
  }
}

TEST(BmpLayouts, ARunLengthFileLoadsIntoABitmap) {
  const std::vector<uint8_t> file = Build(ValidCases()[0].Spec);
  TMemoryStream stream;
  stream.WriteBuffer(file.data(), static_cast<int64_t>(file.size()));
  stream.SetPosition(0);
  TBitmap bitmap;
  bitmap.LoadFromStream(stream);
  EXPECT_EQ(bitmap.PixelFormat(), pf8bit);
  EXPECT_EQ(bitmap.Width(), 6);
  EXPECT_EQ(bitmap.Canvas()->Pixels(5, 0), TColor(RGB(0, 0xFF, 0)));
  EXPECT_EQ(bitmap.Canvas()->Pixels(0, 2), TColor(RGB(0xFF, 0, 0)));
}

// Decodes exactly the bytes of `file` (a copy of just that size, so reading
// past them is caught) and expects a refusal whose message holds `reason`.
void ExpectRefused(const std::vector<uint8_t>& file, bool fileHeader, const char* reason) {
  std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size()]);
  std::memcpy(exact.get(), file.data(), file.size());
  try {
    DecodeBmp(exact.get(), file.size(), fileHeader);
    ADD_FAILURE() << "no error";
  } catch (const EInvalidGraphic& e) {
    EXPECT_NE(std::string(e.what()).find(reason), std::string::npos) << e.what();
  }
}

TEST(BmpLayouts, MalformedRunsAndMasksAreRefused) {
  const std::vector<uint32_t> four{Black, Red, Green, Blue};
  auto rle8 = [&](int32_t width, int32_t height, std::vector<uint8_t> pixels) {
    return BmpSpec{.Width = width, .Height = height, .Compression = 1, .Palette = four, .Pixels = std::move(pixels)};
  };
  auto rle4 = [&](int32_t width, std::vector<uint8_t> pixels) {
    return BmpSpec{.Width = width, .BitCount = 4, .Compression = 2, .Palette = four, .Pixels = std::move(pixels)};
  };
  auto fields32 = [](std::vector<uint32_t> masks, uint32_t headerSize = 124) {
    return BmpSpec{.HeaderSize = headerSize, .BitCount = 32, .Compression = 3, .Masks = std::move(masks),
                   .Pixels = {1, 2, 3, 4}};
  };
  const struct {
    const char* Name;
    BmpSpec Spec;
    const char* Reason;  // part of the message
  } cases[] = {
      {"RLE8 run past the end of its row", rle8(4, 1, {0x05, 0x01, 0x00, 0x01}), "leaves the image"},
      {"RLE8 run on a row above the image", rle8(2, 1, {0x00, 0x00, 0x01, 0x01, 0x00, 0x01}), "leaves the image"},
      {"RLE8 absolute run past the end of its row", rle8(2, 1, {0x00, 0x03, 1, 2, 3, 0, 0x00, 0x01}),
       "leaves the image"},
      {"RLE8 delta right out of the image", rle8(4, 1, {0x00, 0x02, 0x05, 0x00, 0x00, 0x01}), "delta"},
      {"RLE8 delta up out of the image", rle8(4, 2, {0x00, 0x02, 0x00, 0x03, 0x00, 0x01}), "delta"},
      {"RLE8 end of line past the last row", rle8(1, 1, {0x00, 0x00, 0x00, 0x00, 0x00, 0x01}), "last row"},
      {"RLE8 without an end of bitmap", rle8(2, 1, {0x02, 0x01}), "end-of-bitmap"},
      {"RLE8 ending inside a pair", rle8(2, 1, {0x02, 0x01, 0x00}), "end-of-bitmap"},
      {"RLE8 truncated delta", rle8(2, 2, {0x00, 0x02, 0x01}), "delta is truncated"},
      {"RLE8 truncated absolute run", rle8(8, 1, {0x00, 0x04, 1, 2}), "absolute run is truncated"},
      {"RLE8 absolute run without its padding", rle8(8, 1, {0x00, 0x03, 1, 2, 3}), "absolute run is truncated"},
      {"RLE4 run past the end of its row", rle4(3, {0x04, 0x12, 0x00, 0x01}), "leaves the image"},
      {"RLE4 truncated absolute run", rle4(8, {0x00, 0x05, 0x12, 0x34}), "absolute run is truncated"},
      {"RLE8 at 4 bits", BmpSpec{.BitCount = 4, .Compression = 1, .Palette = four, .Pixels = {0, 1}},
       "needs 8 bits"},
      {"RLE4 at 8 bits", BmpSpec{.Compression = 2, .Palette = four, .Pixels = {0, 1}}, "needs 4 bits"},
      {"RLE8 top-down", rle8(1, -1, {0x01, 0x01, 0x00, 0x01}), "top-down"},
      {"non-contiguous red mask", fields32({0x00FF00FF, 0xFF00, 0xFF000000, 0}), "not contiguous"},
      {"non-contiguous alpha mask", fields32({0xFF0000, 0xFF00, 0xFF, 0x81000000}), "not contiguous"},
      {"masks cut off after a 40-byte header", BmpSpec{.BitCount = 32, .Compression = 3, .Masks = {0xFF0000}},
       "masks are truncated"},
      {"bit fields at 24 bits", BmpSpec{.BitCount = 24, .Compression = 3, .Masks = {0xFF0000, 0xFF00, 0xFF},
                                        .Pixels = {1, 2, 3, 0}},
       "16 or 32 bits"},
      {"colour table beside true colour longer than the data",
       BmpSpec{.BitCount = 24, .Palette = std::vector<uint32_t>(3, 0), .Pixels = {}, .Packed = true},
       "colour table"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<uint8_t> file = Build(c.Spec);
    if (c.Spec.Packed) file.resize(file.size() - 8);  // the table claims more than is there
    ExpectRefused(file, !c.Spec.Packed, c.Reason);
  }
}

// Files with the old core header or top-down rows that are spoilt after
// they were built: each is refused with its reason.
TEST(BmpLayouts, MalformedCoreAndTopDownFilesAreRefused) {
  const std::vector<uint32_t> four{Black, Red, Green, Blue};
  std::vector<uint32_t> sixteen = four;
  sixteen.resize(16, 0x808080);
  const BmpSpec core4{.HeaderSize = 12, .Width = 3, .Height = 1, .BitCount = 4, .Palette = sixteen,
                      .Pixels = {0x12, 0x30, 0, 0}};
  const BmpSpec coreFile24{.HeaderSize = 12, .Width = 1, .Height = 2, .BitCount = 24, .Pixels = {1, 2, 3, 0, 4, 5, 6, 0}};
  BmpSpec corePacked24 = coreFile24;
  corePacked24.Packed = true;
  const BmpSpec topDown8{.Width = 1, .Height = -2, .Palette = four, .Pixels = {1, 0, 0, 0, 2, 0, 0, 0}};
  const BmpSpec topDown1555{.HeaderSize = 124, .Width = 1, .Height = -2, .BitCount = 16, .Compression = 3,
                            .Masks = {0x7C00, 0x03E0, 0x001F, 0x8000}, .Pixels = {0x00, 0xFC, 0, 0, 0x1F, 0x00, 0, 0}};
  using Damage = std::function<void(std::vector<uint8_t>&)>;
  auto cut = [](size_t bytes) { return Damage([bytes](std::vector<uint8_t>& f) { f.resize(f.size() - bytes); }); };
  auto setWord = [](size_t at, uint16_t v) {
    return Damage([at, v](std::vector<uint8_t>& f) {
      f[at] = static_cast<uint8_t>(v);
      f[at + 1] = static_cast<uint8_t>(v >> 8);
    });
  };
  auto setDWord = [](size_t at, uint32_t v) {
    return Damage([at, v](std::vector<uint8_t>& f) {
      for (size_t i = 0; i < 4; ++i) f[at + i] = static_cast<uint8_t>(v >> (8 * i));
    });
  };
  // Offsets in a file: the file header is 14 bytes, a core header 12 (size,
  // width, height, planes, bit count as words), a 40-byte header has its
  // height at 22.
  const struct {
    const char* Name;
    BmpSpec Spec;
    Damage Spoil;
    const char* Reason;  // part of the message
  } cases[] = {
      {"core header cut inside", corePacked24, cut(corePacked24.Pixels.size() + 4), "header is truncated"},
      {"core header of width 0", core4, setWord(14 + 4, 0), "size 0 x 1"},
      {"core header of two planes", core4, setWord(14 + 8, 2), "2 colour planes"},
      {"core header of bit count 2", core4, setWord(14 + 10, 2), "bit count 2"},
      {"core colour table of 3-byte entries cut short", core4, cut(4 + 2 * 3 + 1), "palette is longer"},
      {"core rows cut short", coreFile24, cut(1), "pixel data is truncated"},
      {"core pixel offset inside the headers", coreFile24, setDWord(10, 14 + 8), "pixel data offset"},
      {"top-down rows cut short", topDown8, cut(1), "pixel data is truncated"},
      {"top-down bit-field rows cut short", topDown1555, cut(4), "pixel data is truncated"},
      {"top-down height beyond the pixel budget", topDown8, setDWord(22, static_cast<uint32_t>(-0x7FFFFFFF)),
       "too large"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    std::vector<uint8_t> file = Build(c.Spec);
    ASSERT_NO_THROW(DecodeBmp(file.data(), file.size(), !c.Spec.Packed)) << "the file before it is spoilt";
    c.Spoil(file);
    ExpectRefused(file, !c.Spec.Packed, c.Reason);
  }
}

TEST(BmpLayouts, APixelBudgetBoundsWhatRunLengthDataCanDescribe) {
  // Four bytes that describe a blank 1000 x 1000 picture.
  const std::vector<uint8_t> file =
      Build({.Width = 1000, .Height = 1000, .Compression = 1, .Palette = {0}, .Pixels = {0x00, 0x01}});
  EXPECT_EQ(DecodeBmp(file.data(), file.size()).Bits.size(), 1000u * 1000u);
  EXPECT_THROW(DecodeBmp(file.data(), file.size(), true, 999999), EInvalidGraphic);
}

}  // namespace
