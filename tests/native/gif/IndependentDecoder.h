// An independent GIF decoder (giflib, from the distribution) to compare our
// codec with: used only by the native tests and the benchmark.
#pragma once

#include <gif_lib.h>

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

inline Picture Decode(const std::string& bytes) {
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
  Picture picture;
  int error = 0;
  GifFileType* file = DGifOpen(&source, read, &error);
  if (!file) {
    picture.Error = GifErrorString(error);
    return picture;
  }
  if (DGifSlurp(file) == GIF_OK) {
    picture.Ok = true;
    for (int i = 0; i < file->ImageCount; ++i) {
      const SavedImage& image = file->SavedImages[i];
      Frame frame;
      frame.Width = image.ImageDesc.Width;
      frame.Height = image.ImageDesc.Height;
      frame.Interlaced = image.ImageDesc.Interlace;
      const size_t size = static_cast<size_t>(frame.Width) * frame.Height;
      if (image.RasterBits) frame.Pixels.assign(image.RasterBits, image.RasterBits + size);
      picture.Frames.push_back(std::move(frame));
    }
  } else {
    picture.Error = GifErrorString(file->Error);
  }
  DGifCloseFile(file, &error);
  return picture;
}

}  // namespace independent
