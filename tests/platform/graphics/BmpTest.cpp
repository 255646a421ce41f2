// The BMP reader and writer: round trips of every bit count, and hostile
// files that must raise a clear error without reading past their end.
#include "platform/Bitmap.h"
#include "platform/BmpCodec.h"

#include <gtest/gtest.h>

#include <cstring>

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
      {"run-length compression", [](BmpFields& f) { f.BitCount = 8; f.Compression = 1; }, 0},
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

}  // namespace
