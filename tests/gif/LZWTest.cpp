// LZW decoding of image data and the two encoders, checked against each
// other and against hand-built code streams.
#include "gif/GIFEncoder.h"
#include "tests/gif/GIFTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace giftest;

namespace {

// Decodes `data` (image data) into a frame of the given size; `after` is
// appended behind it and must be what the stream is left at.
struct Decoded {
  std::vector<uint8_t> Pixels;
  std::string Next;  // the stream's remaining bytes
  IssueLog Log;
};

Decoded Decode(const Bytes& data, int width, int height, bool interlaced = false, int transparentIndex = -1,
               const Bytes& after = "") {
  Decoded result;
  TGIFContainer image;
  result.Log.Attach(image);
  auto* frame = new TGIFSubImage(&image);
  image.Images().Add(frame);
  frame->SetFrameBounds(0, 0, width, height);
  frame->SetInterlaced(interlaced);
  if (transparentIndex >= 0) {
    auto* control = new TGIFGraphicControlExtension(frame);
    frame->Extensions().Add(control);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(static_cast<uint8_t>(transparentIndex));
  }
  TStringStream stream(data + after);
  frame->DecodePixels(stream);
  result.Pixels.assign(frame->Data(), frame->Data() + frame->DataSize());
  result.Next = stream.DataString().substr(static_cast<size_t>(stream.Position()));
  return result;
}

// Lays pixels out in rows of at most 1000 (a frame is at most 65535 wide),
// padding the last row with the last pixel; answers the round trip's
// decoded pixels and the padded original.
std::pair<std::vector<uint8_t>, std::vector<uint8_t>> RoundTripAsRows(TGIFEncoding encoding, int bits,
                                                                       std::vector<uint8_t> pixels) {
  const int width = static_cast<int>(std::min<size_t>(pixels.size(), 1000));
  const int height = static_cast<int>((pixels.size() + width - 1) / width);
  pixels.resize(static_cast<size_t>(width) * height, pixels.back());
  return {EncodeDecode(encoding, bits, width, height, false, pixels), pixels};
}

std::vector<uint8_t> Values(std::initializer_list<int> v) { return std::vector<uint8_t>(v.begin(), v.end()); }

TEST(GIFDecoder, CodeStreamsDecodeToTheirStrings) {
  // Minimum code size 2: clear 4, end 5, first free code 6, 3-bit codes
  // until the table reaches 8 entries.
  const struct {
    const char* Name;
    std::vector<std::pair<int, int>> Codes;  // code, width
    std::vector<uint8_t> Pixels;
  } cases[] = {
      {"literals", {{4, 3}, {1, 3}, {2, 3}, {5, 3}}, Values({1, 2, 0, 0})},
      {"no leading clear code", {{1, 3}, {2, 3}, {5, 3}}, Values({1, 2, 0, 0})},
      {"two clear codes", {{4, 3}, {4, 3}, {3, 3}, {0, 3}, {5, 3}}, Values({3, 0, 0, 0})},
      {"defined string", {{4, 3}, {1, 3}, {2, 3}, {6, 3}, {5, 4}}, Values({1, 2, 1, 2})},
      {"code equal to the next free code", {{4, 3}, {3, 3}, {6, 3}, {5, 3}}, Values({3, 3, 3, 0})},
      {"code beyond the next free code", {{4, 3}, {2, 3}, {7, 3}, {5, 3}}, Values({2, 2, 2, 0})},
      {"clear in the middle", {{4, 3}, {1, 3}, {4, 3}, {2, 3}, {3, 3}, {5, 3}}, Values({1, 2, 3, 0})},
      {"end code right after clear", {{4, 3}, {5, 3}}, Values({0, 0, 0, 0})},
  };
  for (const auto& c : cases) {
    CodeStream codes;
    for (auto [code, width] : c.Codes) codes.Put(code, width);
    const Decoded d = Decode(codes.ImageData(2), 2, 2, false, -1, "!next");
    EXPECT_EQ(d.Pixels, c.Pixels) << c.Name;
    EXPECT_EQ(d.Next, "!next") << c.Name;
  }
}

TEST(GIFDecoder, ShortDataLeavesTheFillValue) {
  std::vector<int> half(50, 1);
  const Bytes data = LiteralImageData(2, half);
  for (int transparent : {-1, 3}) {
    const Decoded d = Decode(data, 10, 10, false, transparent, ";");
    const uint8_t fill = transparent < 0 ? 0 : 3;
    for (size_t i = 0; i < 100; ++i) ASSERT_EQ(d.Pixels[i], i < 50 ? 1 : fill) << i;
    EXPECT_EQ(d.Next, ";");
  }
  // The data stops without an end code and its bits run out exactly at the
  // terminator (8-bit codes: clear 128, then 10).
  CodeStream codes;
  codes.Put(128, 8);
  codes.Put(10, 8);
  const Decoded d = Decode(codes.ImageData(7), 4, 1, false, -1, ";");
  EXPECT_EQ(d.Pixels, Values({10, 0, 0, 0}));
  EXPECT_TRUE(d.Log.Has("Decoder bit buffer under-run"));
  EXPECT_EQ(d.Next, ";");
}

TEST(GIFDecoder, SubBlockLongerThanTheStreamUsesWhatRemains) {
  Bytes data = LiteralImageData(2, {1, 2, 3, 1});
  data[1] = '\x40';  // announces 64 bytes
  const Decoded d = Decode(data.substr(0, data.size() - 1), 2, 2);
  EXPECT_EQ(d.Pixels, Values({1, 2, 3, 1}));
  EXPECT_TRUE(d.Log.Has("Premature end of data"));
}

TEST(GIFDecoder, TinySubBlocksAndCodesOnByteBoundaries) {
  // 12-bit codes in one-byte sub-blocks need several sub-blocks per code.
  std::vector<int> values;
  for (int i = 0; i < 5000; ++i) values.push_back((i * 7) & 0xFF);
  for (int blockSize : {1, 2, 3, 255}) {
    const Decoded d = Decode(LiteralImageData(8, values, blockSize), 100, 50, false, -1, ",");
    EXPECT_TRUE(std::equal(values.begin(), values.end(), d.Pixels.begin())) << blockSize;
    EXPECT_EQ(d.Next, ",") << blockSize;
  }
  // The last code ends exactly on the last bit and no end code follows:
  // minimum code size 7 gives 8-bit codes, one per byte.
  CodeStream codes;
  for (int code : {128, 10, 20, 30}) codes.Put(code, 8);
  const Decoded d = Decode(codes.ImageData(7), 3, 1);
  EXPECT_EQ(d.Pixels, Values({10, 20, 30}));
}

TEST(GIFDecoder, FullTableKeepsTwelveBitCodesUntilAClear) {
  // 5000 literals pass the 4096-entry table; then a clear, 3-bit codes again.
  std::vector<int> values;
  for (int i = 0; i < 5000; ++i) values.push_back(i % 4);
  CodeStream codes;
  int width = 3;
  int next = 6;
  codes.Put(4, width);
  for (size_t i = 0; i < values.size(); ++i) {
    codes.Put(values[i], width);
    if (i > 0 && next < 4096 && ++next >= (1 << width) && width < 12) ++width;
  }
  EXPECT_EQ(width, 12);
  codes.Put(4, 12);
  codes.Put(2, 3);
  codes.Put(1, 3);
  codes.Put(5, 3);
  values.push_back(2);
  values.push_back(1);
  const Decoded d = Decode(codes.ImageData(2), 5002, 1, false, -1, ";");
  EXPECT_TRUE(std::equal(values.begin(), values.end(), d.Pixels.begin()));
  EXPECT_EQ(d.Next, ";");
}

TEST(GIFDecoder, InterlacedRowsAreEachFilledOnce) {
  for (int height : {1, 2, 3, 4, 5, 8, 9, 17}) {
    // Rows in file order: passes from 0 step 8, 4 step 8, 2 step 4, 1 step 2.
    std::vector<int> order;
    for (int y = 0; y < height; y += 8) order.push_back(y);
    for (int y = 4; y < height; y += 8) order.push_back(y);
    for (int y = 2; y < height; y += 4) order.push_back(y);
    for (int y = 1; y < height; y += 2) order.push_back(y);
    std::vector<int> values;
    for (int y : order)
      for (int x = 0; x < 3; ++x) values.push_back(y + 1);
    const Decoded d = Decode(LiteralImageData(5, values), 3, height, true, -1, ";");
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < 3; ++x) EXPECT_EQ(d.Pixels[y * 3 + x], y + 1) << "height " << height << " row " << y;
    EXPECT_EQ(d.Next, ";");
  }
}

// Strings are copied from where they were written before. The frame's end
// cuts the last string short; where the data ends first, every pixel after
// the last one decoded keeps the fill value, in file order or interlaced.
TEST(GIFDecoder, CopiedStringsStopAtTheFrameOrTheDataEnd) {
  // One colour: strings of 1, 2, 3, ... pixels, 5000 in all.
  Bytes data;
  EncodeDecode(TGIFEncoding::enLZW, 2, 5000, 1, false, std::vector<uint8_t>(5000, 1), &data);
  const struct {
    const char* Name;
    int Width, Height;
    bool Interlaced;
  } cases[] = {
      {"frame ends inside a string", 3998, 1, false},
      {"frame ends inside a string, interlaced", 43, 93, true},
      {"data ends first", 6007, 1, false},
      {"data ends first, interlaced", 61, 97, true},
  };
  for (const auto& c : cases) {
    const Decoded d = Decode(data, c.Width, c.Height, c.Interlaced, 3, "!next");
    // Rows in the order the data fills them.
    std::vector<int> order;
    if (!c.Interlaced) order.push_back(0);
    for (int start : {0, 4, 2, 1})
      for (int y = start; c.Interlaced && y < c.Height; y += start == 0 || start == 4 ? 8 : start == 2 ? 4 : 2)
        order.push_back(y);
    size_t decoded = 0;
    for (int y : order)
      for (int x = 0; x < c.Width; ++x, ++decoded)
        ASSERT_EQ(d.Pixels[static_cast<size_t>(y) * c.Width + x], decoded < 5000 ? 1 : 3)
            << c.Name << " row " << y << " column " << x;
    EXPECT_EQ(d.Next, "!next") << c.Name;
  }
}

TEST(GIFDecoder, TrailingDataIsSkipped) {
  const Bytes data = LiteralImageData(2, {1, 2, 3, 0});
  const Bytes junk = Bytes("\x03" "abc\x02xy", 7);
  const struct {
    const char* Name;
    Bytes Data;
    int Pixels;
  } cases[] = {
      {"junk sub-blocks after the end code", data.substr(0, data.size() - 1) + junk + Bytes(1, '\0'), 4},
      {"more codes than pixels", data, 2},
      {"frame without pixels", data, 0},
  };
  for (const auto& c : cases) {
    const Decoded d = Decode(c.Data, c.Pixels, c.Pixels ? 1 : 0, false, -1, "!after");
    EXPECT_EQ(d.Next, "!after") << c.Name;
  }
}

TEST(GIFDecoder, ZeroSizedFrameConsumesItsDataInAFile) {
  const Bytes file = ScreenWithTable(0, 0, 2) + Descriptor(0, 0, 0, 0) + LiteralImageData(2, {1, 2}) +
                     Descriptor(0, 0, 0, 0) + LiteralImageData(2, {3}) + ";";
  TGIFContainer image;
  IssueLog log;
  log.Attach(image);
  LoadFromBytes(image, file);
  EXPECT_EQ(image.Images().Count(), 2);
  EXPECT_TRUE(image.Images().Frames(0)->IsEmpty());
  EXPECT_TRUE(log.Has("Image exceeds Logical Screen size"));
  EXPECT_FALSE(log.Has("Invalid Image trailer"));
}

// ---- encoders ----

struct EncoderCase {
  TGIFEncoding Encoding;
  const char* Name;
};
const EncoderCase Encoders[] = {{TGIFEncoding::enLZW, "LZW"}, {TGIFEncoding::enRunLength, "RLE"}};

TEST(GIFEncoder, RandomPixelsRoundTrip) {
  const struct {
    int Width, Height;
  } sizes[] = {{1, 1}, {2, 1}, {40, 25}, {1, 1000}, {300, 200}};
  for (const auto& e : Encoders)
    for (int bits = 1; bits <= 8; ++bits)
      for (const auto& s : sizes) {
        const auto pixels = RandomPixels(static_cast<size_t>(s.Width) * s.Height, bits, bits * 1000 + s.Width);
        bool consumed = false;
        EXPECT_EQ(EncodeDecode(e.Encoding, bits, s.Width, s.Height, false, pixels, nullptr, &consumed), pixels)
            << e.Name << " bits " << bits << " " << s.Width << "x" << s.Height;
        EXPECT_TRUE(consumed) << e.Name;
      }
}

TEST(GIFEncoder, InterlacedRoundTrip) {
  for (const auto& e : Encoders)
    for (int height = 1; height <= 9; ++height) {
      const auto pixels = RandomPixels(static_cast<size_t>(7) * height, 4, height);
      EXPECT_EQ(EncodeDecode(e.Encoding, 4, 7, height, true, pixels), pixels) << e.Name << " height " << height;
    }
}

TEST(GIFEncoder, RunsRoundTrip) {
  const std::vector<std::vector<int>> runs = {
      {1}, {2}, {3}, {100}, {10000}, {1, 1, 1, 1, 1, 1, 1, 1}, {5, 100, 5, 100, 3000, 2, 1, 70000},
      std::vector<int>(3000, 1), std::vector<int>(500, 37)};
  for (const auto& e : Encoders)
    for (int bits : {2, 8})
      for (const auto& r : runs) {
        const auto [decoded, pixels] = RoundTripAsRows(e.Encoding, bits, RunPixels(r));
        EXPECT_EQ(decoded, pixels) << e.Name << " bits " << bits << " runs " << r.size() << " first " << r[0];
      }
  // One long run broken by single pixels, then the same pixel again: the
  // run-length encoder reuses the run codes it defined.
  std::vector<uint8_t> pixels;
  for (int i = 0; i < 200; ++i) {
    pixels.insert(pixels.end(), 37 + i % 50, 3);
    pixels.push_back(static_cast<uint8_t>(i % 3));
  }
  for (const auto& e : Encoders) {
    const auto [decoded, padded] = RoundTripAsRows(e.Encoding, 2, pixels);
    EXPECT_EQ(decoded, padded) << e.Name;
  }
}

TEST(GIFEncoder, FrameWithoutPixelsWritesOnlyTheEndCode) {
  for (const auto& e : Encoders) {
    Bytes data;
    EncodeDecode(e.Encoding, 1, 0, 0, false, {}, &data);
    // Minimum code size 2, one sub-block with the end code 5 in 3 bits, terminator.
    EXPECT_EQ(data, Bytes("\x02\x01\x05\x00", 4)) << e.Name;
  }
}

TEST(GIFEncoder, PixelOutsideTheTableIsRefused) {
  for (const auto& e : Encoders) {
    TMemoryStream stream;
    std::unique_ptr<TGIFEncoder> encoder;
    if (e.Encoding == TGIFEncoding::enLZW) encoder = std::make_unique<TLZWEncoder>();
    else encoder = std::make_unique<TRLEEncoder>();
    const uint8_t pixels[4] = {0, 1, 5, 1};
    try {
      encoder->EncodeFrame(stream, 3, 5, pixels, false, 2, 2);
      ADD_FAILURE() << e.Name;
    } catch (const GIFException& x) {
      EXPECT_EQ(x.Message(), "Color not in color table") << e.Name;
    }
  }
}

// Records the code width of every code the LZW encoder emits.
class RecordingLZWEncoder : public TLZWEncoder {
public:
  std::vector<std::pair<int, int>> Codes;  // code, width

protected:
  void EmitCode(int code) override {
    Codes.push_back({code, FCodeWidth});
    TLZWEncoder::EmitCode(code);
  }
};

TEST(GIFEncoder, LZWClearsBeforeTheTableOverflows) {
  const auto pixels = RandomPixels(200000, 8, 7);
  RecordingLZWEncoder encoder;
  TMemoryStream stream;
  encoder.EncodeFrame(stream, 8, 256, pixels.data(), false, 400, 500);
  int clears = 0;
  int sinceClear = 0;
  for (auto [code, width] : encoder.Codes) {
    ASSERT_LE(width, 12);
    if (code == 256) {
      ++clears;
      sinceClear = 0;
    } else {
      ASSERT_LE(++sinceClear, 4096 - 258 + 1);
    }
  }
  EXPECT_GT(clears, 2);
  // Every sub-block but the last holds 255 bytes.
  const Bytes data = stream.DataString();
  size_t p = 1;
  while (static_cast<uint8_t>(data[p]) == 255) p += 256;
  EXPECT_EQ(p + 1 + static_cast<uint8_t>(data[p]) + 1, data.size());
}

TEST(GIFEncoder, OneBitFrameIsWrittenWithCodeSizeTwo) {
  TGIFContainer image;
  image.Header().ColorMap().AppendColor({0, 0, 0});
  image.Header().ColorMap().AppendColor({255, 255, 255});
  AddFrame(image, 4, 4, RandomPixels(16, 1, 3));
  const Bytes file = SaveToBytes(image);
  EXPECT_EQ(file[13 + 6 + 10], '\x02');
  for (auto encoding : {TGIFEncoding::enLZW, TGIFEncoding::enRunLength}) {
    image.Encoding = encoding;
    TGIFContainer again;
    LoadFromBytes(again, SaveToBytes(image));
    EXPECT_TRUE(std::equal(again.Images().Frames(0)->Data(), again.Images().Frames(0)->Data() + 16,
                           image.Images().Frames(0)->Data()));
  }
}

TEST(GIFEncoder, StreamWrapperRefusesReadingAndSeeking) {
  TMemoryStream target;
  TGIFWriter writer(target);
  char b = 0;
  EXPECT_THROW(writer.Read(&b, 1), Exception);
  EXPECT_THROW(writer.Seek(0, TSeekOrigin::soBeginning), Exception);
  EXPECT_THROW(writer.Size(), Exception);
  writer.Write("abc", 3);
  writer.FlushBlock();
  writer.FlushBlock();  // nothing pending: no empty sub-block
  EXPECT_EQ(target.DataString(), Bytes("\x03" "abc", 4));
}

TEST(GIFEncoder, IntegerSquareRoot) {
  const std::pair<int64_t, int64_t> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 1}, {4, 2}, {15, 3}, {16, 4}, {17, 4},
                                               {99, 9}, {100, 10}, {4095 * 4095, 4095}, {4095 * 4095 - 1, 4094}};
  for (auto [x, r] : cases) EXPECT_EQ(IntegerSqrt(x), r) << x;
}

}  // namespace
