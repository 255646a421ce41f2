#include "tests/gif/GIFTestSupport.h"

#include "gif/GIFEncoder.h"

#include <algorithm>
#include <memory>
#include <random>

namespace giftest {

void IssueLog::Attach(TGIFContainer& image) {
  image.OnIssue = TGIFIssueEvent::Lambda(
      [this](TObject*, int, const AnsiString& message) { Messages.push_back(message); });
}

bool IssueLog::Has(const std::string& message) const {
  return std::find(Messages.begin(), Messages.end(), message) != Messages.end();
}

void CodeStream::Put(int code, int width) {
  FAccumulator |= static_cast<uint32_t>(code) << FBits;
  FBits += width;
  while (FBits >= 8) {
    FBytes.push_back(static_cast<uint8_t>(FAccumulator));
    FAccumulator >>= 8;
    FBits -= 8;
  }
}

Bytes CodeStream::ImageData(int minimumCodeSize, int blockSize, bool terminator) const {
  std::vector<uint8_t> bytes = FBytes;
  if (FBits > 0) bytes.push_back(static_cast<uint8_t>(FAccumulator));
  Bytes out(1, static_cast<char>(minimumCodeSize));
  for (size_t i = 0; i < bytes.size(); i += blockSize) {
    const size_t n = std::min<size_t>(blockSize, bytes.size() - i);
    out += static_cast<char>(n);
    out.append(reinterpret_cast<const char*>(bytes.data() + i), n);
  }
  if (terminator) out += '\0';
  return out;
}

Bytes LiteralImageData(int minimumCodeSize, const std::vector<int>& values, int blockSize) {
  const int clear = 1 << minimumCodeSize;
  CodeStream codes;
  int width = minimumCodeSize + 1;
  int next = clear + 2;
  codes.Put(clear, width);
  bool first = true;
  for (int value : values) {
    codes.Put(value, width);
    if (first) {
      first = false;
      continue;
    }
    if (next < 4096) {
      ++next;
      if (next >= (1 << width) && width < 12) ++width;
    }
  }
  codes.Put(clear + 1, width);
  return codes.ImageData(minimumCodeSize, blockSize);
}

std::vector<uint8_t> EncodeDecode(TGIFEncoding encoding, int bits, int width, int height, bool interlaced,
                                  const std::vector<uint8_t>& pixels, Bytes* data, bool* consumed) {
  TMemoryStream stream;
  std::unique_ptr<TGIFEncoder> encoder;
  if (encoding == TGIFEncoding::enLZW) encoder = std::make_unique<TLZWEncoder>();
  else encoder = std::make_unique<TRLEEncoder>();
  encoder->EncodeFrame(stream, bits, 1 << bits, pixels.empty() ? nullptr : pixels.data(), interlaced, height, width);
  if (data) *data = stream.DataString();
  stream.WriteString("!");  // what follows the image data must stay unread
  stream.SetPosition(0);
  TGIFContainer image;
  auto* frame = new TGIFSubImage(&image);
  image.Images().Add(frame);
  frame->SetFrameBounds(0, 0, width, height);
  frame->SetInterlaced(interlaced);
  frame->DecodePixels(stream);
  if (consumed) *consumed = stream.Position() == stream.Size() - 1;
  return std::vector<uint8_t>(frame->Data(), frame->Data() + frame->DataSize());
}

Bytes Word(int value) {
  return Bytes{static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

Bytes ScreenWithTable(int width, int height, int bits) {
  Bytes b = "GIF89a" + Word(width) + Word(height);
  b += static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1));  // global table of 2^bits entries
  b += '\0';                                                       // background index
  b += '\0';                                                       // aspect ratio
  const int count = 1 << bits;
  for (int i = 0; i < count; ++i) {
    const char grey = static_cast<char>(i * 255 / std::max(count - 1, 1));
    b += grey;
    b += grey;
    b += grey;
  }
  return b;
}

Bytes Descriptor(int left, int top, int width, int height, bool interlaced) {
  return "," + Word(left) + Word(top) + Word(width) + Word(height) + Bytes(1, interlaced ? '\x40' : '\0');
}

void BuildBusyPicture(TGIFContainer& image) {
  image.Clear();
  image.Header().SetWidth(24);
  image.Header().SetHeight(24);
  const TGIFColor colors[8] = {{255, 255, 255}, {0, 0, 0},     {64, 64, 64},   {96, 96, 96},
                               {128, 128, 128}, {160, 160, 160}, {192, 192, 192}, {224, 224, 224}};
  for (const TGIFColor& c : colors) image.Header().ColorMap().AppendColor(c);
  for (int f = 0; f < 8; ++f) {
    // A spinner: a ring of dots, the lit one moving on by one each frame.
    std::vector<uint8_t> pixels(24 * 24, 0);
    for (int dot = 0; dot < 8; ++dot) {
      static const int cx[8] = {12, 18, 20, 18, 12, 6, 4, 6};
      static const int cy[8] = {4, 6, 12, 18, 20, 18, 12, 6};
      const uint8_t color = static_cast<uint8_t>(1 + (dot - f + 8) % 7);
      for (int y = -1; y <= 1; ++y)
        for (int x = -1; x <= 1; ++x) pixels[(cy[dot] + y) * 24 + cx[dot] + x] = color;
    }
    TGIFSubImage* frame = AddFrame(image, 24, 24, pixels);
    if (f == 0) frame->Extensions().Add(new TGIFAppExtNSLoop(frame));  // loop count 0
    auto* control = new TGIFGraphicControlExtension(frame);
    frame->Extensions().Add(control);
    control->SetDisposal(f < 7 ? 2 : 1);
    control->SetDelay(10);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(0);
  }
}

TGIFSubImage* AddFrame(TGIFContainer& image, int width, int height, const std::vector<uint8_t>& pixels) {
  auto* frame = new TGIFSubImage(&image);
  image.Images().Add(frame);
  frame->SetFrameBounds(0, 0, width, height);
  if (!pixels.empty()) std::copy(pixels.begin(), pixels.end(), frame->Data());
  return frame;
}

std::vector<uint8_t> RandomPixels(size_t count, int bits, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<uint8_t> pixels(count);
  for (uint8_t& p : pixels) p = static_cast<uint8_t>(random() & ((1u << bits) - 1));
  return pixels;
}

std::vector<uint8_t> RunPixels(const std::vector<int>& runs) {
  std::vector<uint8_t> pixels;
  uint8_t color = 1;
  for (int run : runs) {
    pixels.insert(pixels.end(), static_cast<size_t>(run), color);
    color = color == 1 ? 2 : 1;
  }
  return pixels;
}

Bytes SaveToBytes(TGIFContainer& image) {
  TMemoryStream stream;
  image.SaveToStream(stream);
  return stream.DataString();
}

void LoadFromBytes(TGIFContainer& image, const Bytes& bytes) {
  TStringStream stream(bytes);
  image.LoadFromStream(stream);
}

std::vector<Bytes> SplitBlocks(const Bytes& file) {
  std::vector<Bytes> blocks;
  size_t p = 13;
  const auto byteAt = [&](size_t i) { return static_cast<uint8_t>(file.at(i)); };
  if (byteAt(10) & 0x80) p += 3u * (2u << (byteAt(10) & 7));
  blocks.push_back(file.substr(0, p));
  const auto skipSubBlocks = [&](size_t q) {
    while (byteAt(q) != 0) q += 1 + byteAt(q);
    return q + 1;
  };
  while (p < file.size()) {
    const size_t start = p;
    const uint8_t kind = byteAt(p);
    if (kind == 0x21) {
      p = skipSubBlocks(p + 2);
    } else if (kind == 0x2C) {
      const uint8_t packed = byteAt(p + 9);
      p += 10;
      if (packed & 0x80) p += 3u * (2u << (packed & 7));
      p = skipSubBlocks(p + 1);
    } else {
      p += 1;
    }
    blocks.push_back(file.substr(start, p - start));
  }
  return blocks;
}

}  // namespace giftest
