// Whole GIF files from the fuzzer: reading must end in a picture or the
// codec's error, and what was read must write and read back to the same pixels.
#include "gif/GIFContainer.h"
#include "gif/GIFSubImage.h"

#include <cstdlib>
#include <vector>

namespace {

std::vector<std::vector<uint8_t>> FramePixels(TGIFContainer& image) {
  std::vector<std::vector<uint8_t>> frames;
  for (int i = 0; i < image.Images().Count(); ++i) {
    TGIFSubImage* frame = image.Images().Frames(i);
    if (!frame->IsEmpty()) frames.emplace_back(frame->Data(), frame->Data() + frame->DataSize());
  }
  return frames;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TGIFContainer image;
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data), size));
  try {
    image.LoadFromStream(stream);
  } catch (const GIFException&) {
    if (stream.Position() != 0) std::abort();  // a failed load goes back to where it began
  }
  // Writing is checked on pictures of ordinary size only: encoding a frame
  // of millions of fill pixels twice per input would starve the search.
  if (image.PixelsInUse() > (1u << 20)) return 0;
  for (TGIFEncoding encoding : {TGIFEncoding::enLZW, TGIFEncoding::enRunLength}) {
    image.Encoding = encoding;
    TMemoryStream saved;
    try {
      image.SaveToStream(saved);
    } catch (const GIFException&) {
      continue;  // no frames, or pixels beyond a frame's colour table
    }
    TGIFContainer again;
    saved.SetPosition(0);
    again.LoadFromStream(saved);
    if (FramePixels(again) != FramePixels(image)) std::abort();
  }
  return 0;
}
