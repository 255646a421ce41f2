// Our codec against an independent decoder: the GIFs the system's packages
// ship, and what our encoders write.
#include "tests/gif/GIFTestSupport.h"
#include "tests/native/gif/IndependentDecoder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace giftest;

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// Every frame with pixels, in order, compared with the independent decoder.
void ExpectSamePixels(TGIFContainer& image, const independent::Picture& other, const std::string& name) {
  ASSERT_TRUE(other.Ok) << name << ": " << other.Error;
  std::vector<TGIFSubImage*> frames;
  for (int i = 0; i < image.Images().Count(); ++i)
    if (!image.Images().Frames(i)->IsEmpty()) frames.push_back(image.Images().Frames(i));
  ASSERT_EQ(frames.size(), other.Frames.size()) << name;
  for (size_t i = 0; i < frames.size(); ++i) {
    ASSERT_EQ(frames[i]->Width(), other.Frames[i].Width) << name << " frame " << i;
    ASSERT_EQ(frames[i]->Height(), other.Frames[i].Height) << name << " frame " << i;
    const std::vector<uint8_t> ours(frames[i]->Data(), frames[i]->Data() + frames[i]->DataSize());
    EXPECT_TRUE(ours == other.Frames[i].Pixels) << name << " frame " << i;
  }
}

TEST(GIFIndependentDecoder, ShippedPicturesDecodeAlike) {
  int files = 0, version87 = 0, version89 = 0, interlaced = 0;
  const auto options = std::filesystem::directory_options::skip_permission_denied;
  std::error_code ec;
  for (std::filesystem::recursive_directory_iterator it("/usr/share", options, ec), end; it != end; it.increment(ec)) {
    if (ec || !it->is_regular_file(ec)) continue;
    std::string extension = it->path().extension().string();
    for (char& ch : extension) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    if (extension != ".gif") continue;
    const std::string bytes = ReadFile(it->path());
    if (bytes.size() < 6 || bytes.compare(0, 3, "GIF") != 0) continue;
    ++files;
    (bytes.compare(3, 3, "87a") == 0 ? version87 : version89)++;
    TGIFContainer image;
    IssueLog log;
    log.Attach(image);
    try {
      LoadFromBytes(image, bytes);
    } catch (const GIFException& e) {
      ADD_FAILURE() << it->path() << ": " << e.Message();
      continue;
    }
    for (int i = 0; i < image.Images().Count(); ++i) interlaced += image.Images().Frames(i)->IsInterlaced();
    ExpectSamePixels(image, independent::Decode(bytes), it->path().string());
  }
  std::printf("compared %d GIF files under /usr/share: %d GIF87a, %d GIF89a, %d interlaced frames\n", files,
              version87, version89, interlaced);
  EXPECT_GT(files, 0);
  EXPECT_GT(version87, 0);
  EXPECT_GT(version89, 0);
  EXPECT_GT(interlaced, 0);
}

// A picture of one frame with a global table of 2^bits entries.
void BuildSingleFrame(TGIFContainer& image, int bits, int width, int height, bool interlaced,
                      const std::vector<uint8_t>& pixels) {
  image.Clear();
  image.Header().SetWidth(static_cast<uint16_t>(width));
  image.Header().SetHeight(static_cast<uint16_t>(height));
  for (int i = 0; i < (1 << bits); ++i) image.Header().ColorMap().AppendColor({uint8_t(i), uint8_t(i), uint8_t(i)});
  TGIFSubImage* frame = AddFrame(image, width, height, pixels);
  frame->SetInterlaced(interlaced);
}

TEST(GIFIndependentDecoder, EncoderOutputIsAccepted) {
  struct Shape {
    int Width, Height;
    bool Interlaced;
  };
  // Size 0 is left out: a frame without pixels is not written at all, and
  // the independent decoder refuses a file without images.
  std::vector<Shape> shapes = {{1, 1, false}, {2, 1, false}, {40, 25, false}};
  for (int h = 1; h <= 9; ++h) shapes.push_back({5, h, true});
  for (auto encoding : {TGIFEncoding::enLZW, TGIFEncoding::enRunLength})
    for (int bits = 1; bits <= 8; ++bits)
      for (const Shape& s : shapes) {
        const size_t count = static_cast<size_t>(s.Width) * s.Height;
        std::vector<uint8_t> runs = count > 100 ? RunPixels({1, 2, 3, 100, int(count) - 106}) : RandomPixels(count, 1, 9);
        for (uint8_t& p : runs) p &= static_cast<uint8_t>((1 << bits) - 1);
        for (const auto& pixels : {RandomPixels(count, bits, bits + s.Height), runs}) {
          TGIFContainer image;
          image.Encoding = encoding;
          BuildSingleFrame(image, bits, s.Width, s.Height, s.Interlaced, pixels);
          const std::string name = std::string(encoding == TGIFEncoding::enLZW ? "LZW" : "RLE") + " bits " +
                                   std::to_string(bits) + " " + std::to_string(s.Width) + "x" + std::to_string(s.Height);
          ExpectSamePixels(image, independent::Decode(SaveToBytes(image)), name);
        }
      }
  // Long runs, as the busy picture's flat areas but far longer.
  for (auto encoding : {TGIFEncoding::enLZW, TGIFEncoding::enRunLength}) {
    TGIFContainer image;
    image.Encoding = encoding;
    BuildSingleFrame(image, 8, 1000, 100, false, RunPixels({70000, 1, 2, 3, 29994}));
    ExpectSamePixels(image, independent::Decode(SaveToBytes(image)), "long runs");
  }
}

// The file with its image data cut into sub-blocks of the given lengths in
// turn, so codes cross sub-block boundaries everywhere.
Bytes Reblock(const Bytes& file, const std::vector<size_t>& lengths) {
  Bytes out;
  size_t next = 0;
  for (const Bytes& block : SplitBlocks(file)) {
    if (block[0] != ',') {
      out += block;
      continue;
    }
    const uint8_t packed = static_cast<uint8_t>(block[9]);
    size_t p = 10 + ((packed & 0x80) ? 3u * (2u << (packed & 7)) : 0u);
    out += block.substr(0, p + 1);  // descriptor, local table, minimum code size
    Bytes data;
    for (++p; static_cast<uint8_t>(block[p]) != 0; p += 1 + static_cast<uint8_t>(block[p]))
      data += block.substr(p + 1, static_cast<uint8_t>(block[p]));
    for (size_t i = 0; i < data.size();) {
      const size_t n = std::min(lengths[next++ % lengths.size()], data.size() - i);
      out += static_cast<char>(n);
      out += data.substr(i, n);
      i += n;
    }
    out += '\0';
  }
  return out;
}

// Pictures made to reach every corner of the decoder, read by ours and by
// the independent decoder, pixel for pixel: every code size from 2 to 8,
// odd widths, interlaced rows, strings as long as the table allows, a table
// that fills to 4096 entries and stays full, and codes across sub-blocks.
TEST(GIFIndependentDecoder, GeneratedPicturesDecodeAlike) {
  struct Shape {
    int Width, Height;
  };
  const Shape shapes[] = {{1, 1}, {3, 2}, {17, 5}, {255, 9}, {333, 31}, {1001, 67}};
  const std::vector<std::vector<size_t>> blockings = {{255}, {1}, {2, 3}, {5, 254, 7}};
  int pictures = 0;
  for (int bits = 2; bits <= 8; ++bits)
    for (const Shape& s : shapes)
      for (bool interlaced : {false, true}) {
        const size_t count = static_cast<size_t>(s.Width) * s.Height;
        const uint8_t top = static_cast<uint8_t>((1 << bits) - 1);
        std::vector<std::vector<uint8_t>> kinds;
        kinds.push_back(RandomPixels(count, bits, static_cast<uint32_t>(bits * 7919 + s.Width)));
        kinds.push_back(std::vector<uint8_t>(count, top));  // one colour: the longest strings
        std::vector<uint8_t> gradient(count);
        for (size_t i = 0; i < count; ++i)
          gradient[i] = static_cast<uint8_t>(((i % s.Width) / 7 + (i / s.Width) / 3) & top);
        kinds.push_back(gradient);
        for (const auto& pixels : kinds) {
          TGIFContainer image;
          BuildSingleFrame(image, bits, s.Width, s.Height, interlaced, pixels);
          const Bytes file = SaveToBytes(image);
          for (const auto& lengths : blockings) {
            const Bytes reblocked = Reblock(file, lengths);
            TGIFContainer ours;
            LoadFromBytes(ours, reblocked);
            const std::string name = "bits " + std::to_string(bits) + " " + std::to_string(s.Width) + "x" +
                                     std::to_string(s.Height) + (interlaced ? " interlaced" : "") +
                                     " blocks of " + std::to_string(lengths[0]);
            ExpectSamePixels(ours, independent::Decode(reblocked), name);
            ++pictures;
          }
        }
      }
  // One colour over 8.6 million pixels: strings grow by one pixel per code
  // until the encoder clears its full table, the longest near 4000 pixels.
  for (int bits : {2, 8}) {
    TGIFContainer image;
    BuildSingleFrame(image, bits, 4096, 2100, bits == 2, std::vector<uint8_t>(4096u * 2100u, 1));
    const Bytes file = SaveToBytes(image);
    TGIFContainer ours;
    LoadFromBytes(ours, file);
    ExpectSamePixels(ours, independent::Decode(file), "longest strings, bits " + std::to_string(bits));
    ++pictures;
  }
  // A table that fills and is never cleared: literals go on at 12 bits.
  for (int bits : {2, 5, 8}) {
    std::vector<int> values;
    for (int i = 0; i < 9000; ++i) values.push_back((i * 31 + i / 97) & ((1 << bits) - 1));
    const Bytes file = ScreenWithTable(90, 100, bits) + Descriptor(0, 0, 90, 100) +
                       LiteralImageData(bits, values, bits == 5 ? 3 : 255) + ";";
    TGIFContainer ours;
    LoadFromBytes(ours, file);
    ExpectSamePixels(ours, independent::Decode(file), "full table, bits " + std::to_string(bits));
    ASSERT_TRUE(std::equal(values.begin(), values.end(), ours.Images().Frames(0)->Data()));
    ++pictures;
  }
  std::printf("compared %d generated pictures\n", pictures);
}

TEST(GIFIndependentDecoder, BusyPictureIsAccepted) {
  for (auto encoding : {TGIFEncoding::enLZW, TGIFEncoding::enRunLength}) {
    TGIFContainer image;
    BuildBusyPicture(image);
    image.Encoding = encoding;
    ExpectSamePixels(image, independent::Decode(SaveToBytes(image)), "busy picture");
  }
}

}  // namespace
