// An independent GIF decoder (giflib, from the distribution) to compare our
// codec with: used only by the native tests and the benchmark.
#pragma once

#include <gif_lib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace independent {

struct Frame {
  int Width = 0;
  int Height = 0;
  bool Interlaced = false;
  std::vector<uint8_t> Pixels;  // rows top to bottom
};

struct Picture {
  bool Ok = false;
  std::string Error;
  std::vector<Frame> Frames;
};

// Reads a whole file with giflib and hands it to `use` before it is freed;
// answers giflib's error text, empty when the file was read.
template <typename Use>
std::string Slurp(const std::string& bytes, Use&& use) {
  struct Source {
    const std::string* Bytes;
    size_t Position;
  } source{&bytes, 0};
  const InputFunc read = [](GifFileType* file, GifByteType* buffer, int count) -> int {
    auto* s = static_cast<Source*>(file->UserData);
    const size_t n = std::min(static_cast<size_t>(count), s->Bytes->size() - s->Position);
    std::memcpy(buffer, s->Bytes->data() + s->Position, n);
    s->Position += n;
    return static_cast<int>(n);
  };
  int error = 0;
  GifFileType* file = DGifOpen(&source, read, &error);
  if (!file) return GifErrorString(error);
  std::string text;
  if (DGifSlurp(file) == GIF_OK) use(*file);
  else text = GifErrorString(file->Error);
  DGifCloseFile(file, &error);
  return text;
}

inline Picture Decode(const std::string& bytes) {
  Picture picture;
  picture.Error = Slurp(bytes, [&](const GifFileType& file) {
    picture.Ok = true;
    for (int i = 0; i < file.ImageCount; ++i) {
      const SavedImage& image = file.SavedImages[i];
      Frame frame;
      frame.Width = image.ImageDesc.Width;
      frame.Height = image.ImageDesc.Height;
      frame.Interlaced = image.ImageDesc.Interlace;
      const size_t size = static_cast<size_t>(frame.Width) * frame.Height;
      if (image.RasterBits) frame.Pixels.assign(image.RasterBits, image.RasterBits + size);
      picture.Frames.push_back(std::move(frame));
    }
  });
  return picture;
}

}  // namespace independent
