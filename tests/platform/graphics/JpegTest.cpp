// The JPEG picture over libjpeg: round trips, hostile data and the size cap.
#include "platform/Jpeg.h"
#include "tests/platform/graphics/GraphicsTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

using namespace graphics_test;

std::vector<uint8_t> EncodedSample(int width, int height) {
  auto bitmap = FilledBitmap(width, height, clBlue, pf24bit);
  bitmap->Canvas()->Brush()->SetColor(clYellow);
  bitmap->Canvas()->FillRect(RECT{0, 0, width / 2, height});
  TJPEGImage jpeg;
  jpeg.Assign(bitmap.get());
  TMemoryStream data;
  jpeg.SaveToStream(data);
  return std::vector<uint8_t>(data.Memory(), data.Memory() + data.Size());
}

void LoadBytes(TJPEGImage& jpeg, const std::vector<uint8_t>& bytes) {
  TMemoryStream data;
  if (!bytes.empty()) data.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  data.SetPosition(0);
  jpeg.LoadFromStream(data);
}

bool Near(TColor a, TColor b) {
  for (int shift = 0; shift < 24; shift += 8)
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 24) return false;
  return true;
}

TEST(Jpeg, EncodedAndDecodedKeepsSizeAndColours) {
  std::vector<uint8_t> bytes = EncodedSample(37, 21);
  ASSERT_GT(bytes.size(), 100u);
  EXPECT_EQ(bytes[0], 0xFF);
  EXPECT_EQ(bytes[1], 0xD8);
  TJPEGImage jpeg;
  LoadBytes(jpeg, bytes);
  EXPECT_EQ(jpeg.Width(), 37);
  EXPECT_EQ(jpeg.Height(), 21);
  EXPECT_FALSE(jpeg.Grayscale());
  TBitmap decoded;
  decoded.Assign(&jpeg);
  EXPECT_EQ(decoded.Width(), 37);
  EXPECT_EQ(decoded.Height(), 21);
  EXPECT_TRUE(Near(decoded.Canvas()->Pixels(2, 10), clYellow)) << std::hex << decoded.Canvas()->Pixels(2, 10);
  EXPECT_TRUE(Near(decoded.Canvas()->Pixels(34, 10), clBlue)) << std::hex << decoded.Canvas()->Pixels(34, 10);

  // Saving writes the bytes that were read.
  TMemoryStream again;
  jpeg.SaveToStream(again);
  EXPECT_EQ(std::vector<uint8_t>(again.Memory(), again.Memory() + again.Size()), bytes);

  // Drawn onto a canvas, stretched.
  auto target = FilledBitmap(74, 42, clWhite);
  target->Canvas()->StretchDraw(RECT{0, 0, 74, 42}, &jpeg);
  EXPECT_TRUE(Near(target->Canvas()->Pixels(70, 20), clBlue));
}

TEST(Jpeg, BadDataRaisesJpegError) {
  std::vector<uint8_t> good = EncodedSample(16, 16);
  struct Case {
    const char* Name;
    std::vector<uint8_t> Bytes;
  } cases[] = {
      {"truncated in the header", std::vector<uint8_t>(good.begin(), good.begin() + 20)},
      {"truncated in the data", std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2)},
      {"garbage", std::vector<uint8_t>(300, 0x5A)},
      {"only the start marker", {0xFF, 0xD8}},
  };
  for (const Case& c : cases) {
    TJPEGImage jpeg;
    try {
      LoadBytes(jpeg, c.Bytes);
      // A cut in the compressed data is found when decoding.
      jpeg.Bitmap();
      ADD_FAILURE() << c.Name << ": no error";
    } catch (const EJPEG& e) {
      EXPECT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u) << c.Name << ": " << e.what();
    }
  }
}

TEST(Jpeg, AbsurdDimensionsAreRefused) {
  // A small file whose frame header (FF C0) claims any size: refused above
  // 16 Mpixel, before anything is allocated.
  const struct {
    const char* name;
    int width, height;
    bool refused;
  } cases[] = {
      {"65000 x 65000", 65000, 65000, true},
      {"8192 x 8192 (64 Mpixel, 256 MB as a bitmap)", 8192, 8192, true},
      {"4097 x 4096, just beyond 16 Mpixel", 4097, 4096, true},
      {"4096 x 4096, 16 Mpixel", 4096, 4096, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<uint8_t> bytes = EncodedSample(8, 8);
    size_t at = 2;
    while (at + 8 < bytes.size() && !(bytes[at] == 0xFF && bytes[at + 1] == 0xC0)) ++at;
    ASSERT_LT(at + 8, bytes.size());
    bytes[at + 5] = static_cast<uint8_t>(c.height >> 8);
    bytes[at + 6] = static_cast<uint8_t>(c.height & 0xFF);
    bytes[at + 7] = static_cast<uint8_t>(c.width >> 8);
    bytes[at + 8] = static_cast<uint8_t>(c.width & 0xFF);
    TJPEGImage jpeg;
    LoadBytes(jpeg, EncodedSample(4, 4));
    if (!c.refused) {
      LoadBytes(jpeg, bytes);  // only the header is read here
      EXPECT_EQ(jpeg.Width(), c.width);
      continue;
    }
    try {
      LoadBytes(jpeg, bytes);
      ADD_FAILURE() << "no error";
    } catch (const EJPEG& e) {
      EXPECT_EQ(std::string(e.what()), "JPEG image is too large (" + std::to_string(c.width) + " x " +
                                           std::to_string(c.height) + " pixels)");
    }
    EXPECT_EQ(jpeg.Width(), 4) << "the previous picture stays";
  }
}

TEST(Jpeg, EmptyStreamGivesEmptyPicture) {
  TJPEGImage jpeg;
  LoadBytes(jpeg, {});
  EXPECT_TRUE(jpeg.Empty());
  TMemoryStream out;
  jpeg.SaveToStream(out);
  EXPECT_EQ(out.Size(), 0);
}

TEST(Jpeg, GreyBitmapsAndQuality) {
  TJPEGImage jpeg;
  jpeg.SetCompressionQuality(10);
  auto bitmap = FilledBitmap(64, 64, clGray, pf8bit);
  jpeg.Assign(bitmap.get());
  TMemoryStream low;
  jpeg.SaveToStream(low);
  jpeg.SetCompressionQuality(100);
  jpeg.Compress(bitmap.get());
  TMemoryStream high;
  jpeg.SaveToStream(high);
  EXPECT_LT(low.Size(), high.Size());
  TJPEGImage copy;
  copy.Assign(&jpeg);
  EXPECT_EQ(copy.Width(), 64);
  EXPECT_TRUE(Near(copy.Bitmap()->Canvas()->Pixels(10, 10), clGray));
}

}  // namespace
