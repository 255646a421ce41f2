// Throughput of the GIF codec beside an independent implementation (giflib)
// in the same run: decoding a large picture, decoding a mix of small icons
// (where setting up each frame counts), and LZW encoding. Built natively and
// optimised from tests/native/gif (target bench_gif); run by hand:
//   build-native/gif/bench_gif [repetitions]
// Each figure is the best of the repetitions; the ratio is giflib's time
// over ours (above 1: ours is faster).
#include "gif/GIFContainer.h"
#include "gif/GIFEncoder.h"
#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"
#include "tests/native/gif/IndependentDecoder.h"

#include <malloc.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>

namespace {

// A picture of photographic character: smooth gradients with noise, flat
// areas and hard edges, so the LZW dictionary sees both long and short strings.
std::vector<uint8_t> MakePixels(int width, int height) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
  std::mt19937 random(1234);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      uint8_t v;
      if (x < width / 3) v = static_cast<uint8_t>((x + y) / 16 + (random() % 3));
      else if (x < 2 * width / 3) v = static_cast<uint8_t>(((x / 64) ^ (y / 64)) & 1 ? 200 : 40);
      else v = static_cast<uint8_t>(random());
      pixels[static_cast<size_t>(y) * width + x] = v;
    }
  return pixels;
}

std::string Save(TGIFContainer& image) {
  TMemoryStream stream;
  image.SaveToStream(stream);
  return stream.DataString();
}

std::string MakeLargePicture(int width, int height, int frames) {
  TGIFContainer image;
  image.Header().SetWidth(static_cast<uint16_t>(width));
  image.Header().SetHeight(static_cast<uint16_t>(height));
  for (int i = 0; i < 256; ++i) image.Header().ColorMap().AppendColor({uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
  const std::vector<uint8_t> pixels = MakePixels(width, height);
  for (int f = 0; f < frames; ++f) {
    auto* frame = new TGIFSubImage(&image);
    image.Images().Add(frame);
    frame->SetFrameBounds(0, 0, width, height);
    for (size_t i = 0; i < pixels.size(); ++i) frame->Data()[i] = static_cast<uint8_t>(pixels[i] + f);
  }
  return Save(image);
}

// Icons of 16 x 16 to 64 x 64, each with a local table of 16 to 256
// colours and a graphic control with transparency: a shaded disc on a
// transparent ground with an outline and a little noise.
std::string MakeIconMix(int icons, size_t* pixelCount) {
  TGIFContainer image;
  image.Header().SetWidth(64);
  image.Header().SetHeight(64);
  std::mt19937 random(99);
  *pixelCount = 0;
  for (int n = 0; n < icons; ++n) {
    const int size = 16 << (n % 3);  // 16, 32, 64
    const int colors = 16 << (n % 5 == 0 ? 4 : n % 3);  // 16 to 256
    auto* frame = new TGIFSubImage(&image);
    image.Images().Add(frame);
    frame->SetFrameBounds(0, 0, size, size);
    for (int i = 0; i < colors; ++i)
      frame->ColorMap().AppendColor({uint8_t(random()), uint8_t(random()), uint8_t(random())});
    auto* control = new TGIFGraphicControlExtension(frame);
    frame->Extensions().Add(control);
    control->SetDisposal(2);
    control->SetDelay(5);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(0);
    const int c = size / 2;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        const int d2 = (x - c) * (x - c) + (y - c) * (y - c);
        const int r2 = (c - 2) * (c - 2);
        uint8_t v = 0;
        if (d2 < r2 - 2 * c) v = static_cast<uint8_t>(2 + (x + y) * (colors - 3) / (2 * size) + random() % 2);
        else if (d2 < r2) v = 1;
        frame->Data()[static_cast<size_t>(y) * size + x] = v;
      }
    *pixelCount += static_cast<size_t>(size) * size;
  }
  return Save(image);
}

// Encodes one frame with giflib into memory: screen and image descriptors,
// the image data, the trailer.
std::string GiflibEncode(const std::vector<uint8_t>& pixels, int width, int height, ColorMapObject* map) {
  std::string out;
  out.reserve(pixels.size() + pixels.size() / 2);
  const OutputFunc write = [](GifFileType* file, const GifByteType* bytes, int count) -> int {
    static_cast<std::string*>(file->UserData)->append(reinterpret_cast<const char*>(bytes), count);
    return count;
  };
  int error = 0;
  GifFileType* file = EGifOpen(&out, write, &error);
  if (!file || EGifPutScreenDesc(file, width, height, 8, 0, map) != GIF_OK ||
      EGifPutImageDesc(file, 0, 0, width, height, false, nullptr) != GIF_OK ||
      EGifPutLine(file, const_cast<GifPixelType*>(pixels.data()), static_cast<int>(pixels.size())) != GIF_OK) {
    std::printf("giflib could not encode\n");
    std::exit(1);
  }
  EGifCloseFile(file, &error);
  return out;
}

// giflib's whole-file decoding into its own frames, without copying them
// anywhere (the comparison above copies them into vectors).
void GiflibDecode(const std::string& bytes) {
  if (!independent::Slurp(bytes, [](const GifFileType&) {}).empty()) {
    std::printf("giflib could not decode\n");
    std::exit(1);
  }
}

// Our LZW encoder on the same pixels at the same code size; answers the
// bytes of image data written.
size_t OurEncode(const std::vector<uint8_t>& pixels, int width, int height, TMemoryStream& stream) {
  stream.SetPosition(0);
  TLZWEncoder encoder;
  encoder.EncodeFrame(stream, 8, 256, pixels.data(), false, height, width);
  return static_cast<size_t>(stream.Position());
}

// Processor time of the work: on a machine shared with other work, wall
// time measures the neighbours as much as the code.
double Seconds(const std::function<void()>& work) {
  const std::clock_t start = std::clock();
  work();
  return double(std::clock() - start) / CLOCKS_PER_SEC;
}

// Our frames with pixels against the independent decoder's.
bool SameFrames(TGIFContainer& image, const independent::Picture& other, const char* what) {
  if (!other.Ok) {
    std::printf("%s: independent decoder failed: %s\n", what, other.Error.c_str());
    return false;
  }
  if (other.Frames.size() != static_cast<size_t>(image.Images().Count())) {
    std::printf("%s: %zu frames against %d\n", what, other.Frames.size(), image.Images().Count());
    return false;
  }
  for (int i = 0; i < image.Images().Count(); ++i) {
    TGIFSubImage* frame = image.Images().Frames(i);
    if (!std::equal(frame->Data(), frame->Data() + frame->DataSize(), other.Frames[i].Pixels.begin(),
                    other.Frames[i].Pixels.end())) {
      std::printf("%s: frame %d differs from the independent decoder\n", what, i);
      return false;
    }
  }
  return true;
}

struct Row {
  const char* Name;
  double Megapixels;
  double Ours = 1e9;
  double Theirs = 1e9;
};

void Print(const Row& row) {
  std::printf("%-34s %9.1f %9.1f %7.2f\n", row.Name, row.Megapixels / row.Ours, row.Megapixels / row.Theirs,
              row.Theirs / row.Ours);
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  // Frames of megabytes are freed and allocated again on every repetition:
  // kept in the heap instead of being mapped afresh each time, both sides
  // are timed on their own work, not on the system's page faults.
  mallopt(M_MMAP_THRESHOLD, 1 << 30);
  mallopt(M_TRIM_THRESHOLD, 1 << 30);

  const int width = 2048, height = 2048, frames = 4;
  const std::string large = MakeLargePicture(width, height, frames);
  size_t iconPixels = 0;
  const int icons = 3000;
  const std::string mix = MakeIconMix(icons, &iconPixels);
  const std::vector<uint8_t> pixels = MakePixels(width, height);
  std::vector<GifColorType> colors(256);
  for (int i = 0; i < 256; ++i) colors[i] = GifColorType{uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)};
  ColorMapObject* map = GifMakeMapObject(256, colors.data());

  // Both sides must agree before they are timed.
  TGIFContainer image;
  TStringStream largeStream(large), mixStream(mix);
  image.LoadFromStream(largeStream);
  if (!SameFrames(image, independent::Decode(large), "large picture")) return 1;
  image.LoadFromStream(mixStream);
  if (!SameFrames(image, independent::Decode(mix), "icon mix")) return 1;
  TMemoryStream encodeStream;
  encodeStream.SetSize(static_cast<int64_t>(pixels.size() + pixels.size() / 2));
  {
    // Our image data in a file of our own, read back by giflib.
    TGIFContainer encoded;
    encoded.Header().SetWidth(static_cast<uint16_t>(width));
    encoded.Header().SetHeight(static_cast<uint16_t>(height));
    for (const GifColorType& c : colors) encoded.Header().ColorMap().AppendColor({c.Red, c.Green, c.Blue});
    TGIFSubImage* frame = new TGIFSubImage(&encoded);
    encoded.Images().Add(frame);
    frame->SetFrameBounds(0, 0, width, height);
    std::copy(pixels.begin(), pixels.end(), frame->Data());
    const independent::Picture back = independent::Decode(Save(encoded));
    if (!back.Ok || back.Frames.size() != 1 || back.Frames[0].Pixels != pixels) {
      std::printf("giflib does not read our encoding back\n");
      return 1;
    }
  }

  std::printf("large picture: %dx%d, %d frames, %.1f MB file; icon mix: %d icons, %.1f Mpixels, %.1f MB file\n",
              width, height, frames, large.size() / 1e6, icons, iconPixels / 1e6, mix.size() / 1e6);
  Row decodeLarge{"decode large picture (Mpixel/s)", double(width) * height * frames / 1e6};
  Row decodeIcons{"decode icon mix (Mpixel/s)", iconPixels / 1e6};
  Row encode{"LZW encode 2048x2048 (Mpixel/s)", double(width) * height / 1e6};
  size_t ourSize = 0, theirSize = 0;
  for (int r = 0; r < repetitions; ++r) {
    decodeLarge.Ours = std::min(decodeLarge.Ours, Seconds([&] {
      largeStream.SetPosition(0);
      image.LoadFromStream(largeStream);
    }));
    decodeLarge.Theirs = std::min(decodeLarge.Theirs, Seconds([&] { GiflibDecode(large); }));
    decodeIcons.Ours = std::min(decodeIcons.Ours, Seconds([&] {
      mixStream.SetPosition(0);
      image.LoadFromStream(mixStream);
    }));
    decodeIcons.Theirs = std::min(decodeIcons.Theirs, Seconds([&] { GiflibDecode(mix); }));
    encode.Ours = std::min(encode.Ours, Seconds([&] { ourSize = OurEncode(pixels, width, height, encodeStream); }));
    encode.Theirs = std::min(encode.Theirs, Seconds([&] { theirSize = GiflibEncode(pixels, width, height, map).size(); }));
  }
  GifFreeMapObject(map);
  std::printf("best of %d                              mevra    giflib   ratio\n", repetitions);
  Print(decodeLarge);
  Print(decodeIcons);
  Print(encode);
  std::printf("encoded sizes: mevra %zu bytes of image data, giflib %zu bytes of file\n", ourSize, theirSize);
  return 0;
}
