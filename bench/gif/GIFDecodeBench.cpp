// Decode throughput of the GIF codec beside an independent decoder (giflib)
// in the same run, on a large generated picture. Built natively and
// optimised from tests/native/gif (target bench_gif); run by hand:
//   build-native/gif/bench_gif [repetitions]
#include "gif/GIFContainer.h"
#include "gif/GIFSubImage.h"
#include "tests/native/gif/IndependentDecoder.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
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

std::string MakeFile(int width, int height, int frames) {
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
  TMemoryStream stream;
  image.SaveToStream(stream);
  return stream.DataString();
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  const int repetitions = argc > 1 ? std::atoi(argv[1]) : 10;
  const int width = 2048, height = 2048, frames = 4;
  const std::string file = MakeFile(width, height, frames);
  const double megabytes = double(width) * height * frames / 1e6;
  std::printf("picture: %dx%d, %d frames, %.1f MB of pixels, %.1f MB file\n", width, height, frames, megabytes,
              file.size() / 1e6);

  TStringStream stream(file);
  TGIFContainer image;
  image.LoadFromStream(stream);
  const independent::Picture reference = independent::Decode(file);
  if (!reference.Ok || reference.Frames.size() != static_cast<size_t>(image.Images().Count())) {
    std::printf("independent decoder failed: %s\n", reference.Error.c_str());
    return 1;
  }
  for (int i = 0; i < image.Images().Count(); ++i) {
    TGIFSubImage* frame = image.Images().Frames(i);
    if (!std::equal(frame->Data(), frame->Data() + frame->DataSize(), reference.Frames[i].Pixels.begin())) {
      std::printf("frame %d differs from the independent decoder\n", i);
      return 1;
    }
  }

  double ours = 1e9, theirs = 1e9;
  for (int r = 0; r < repetitions; ++r) {
    auto start = std::chrono::steady_clock::now();
    stream.SetPosition(0);
    image.LoadFromStream(stream);
    ours = std::min(ours, Seconds(start));
    start = std::chrono::steady_clock::now();
    const independent::Picture p = independent::Decode(file);
    theirs = std::min(theirs, Seconds(start));
  }
  std::printf("mevra gif decoder:   %8.1f MB/s (best of %d, %.3f s)\n", megabytes / ours, repetitions, ours);
  std::printf("independent decoder: %8.1f MB/s (best of %d, %.3f s)\n", megabytes / theirs, repetitions, theirs);
  std::printf("ratio mevra/independent: %.2f\n", theirs / ours);
  return 0;
}
