// Whole GIF files from the fuzzer: reading must end in a picture or the
// codec's error, and what was read must write and read back to the same pixels.
#include "gif/GIFContainer.h"
#include "gif/GIFSubImage.h"

#include <cstdlib>
#include <vector>

namespace {

// A small pixel budget: hostile descriptors then cost a refusal instead of
// allocating and filling up to the codec's own limits for every input, and
// writing each picture back twice stays cheap, so the search explores.
constexpr uint64_t FuzzFramePixels = uint64_t(1) << 16;
constexpr uint64_t FuzzPicturePixels = uint64_t(1) << 18;

void SetFuzzBudget(TGIFContainer& image) {
  image.MaxFramePixels = FuzzFramePixels;
  image.MaxPicturePixels = FuzzPicturePixels;
}

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
  SetFuzzBudget(image);
  TStringStream stream(AnsiString(reinterpret_cast<const char*>(data), size));
  try {
    image.LoadFromStream(stream);
  } catch (const GIFException&) {
    if (stream.Position() != 0) std::abort();  // a failed load goes back to where it began
  }
  for (TGIFEncoding encoding : {TGIFEncoding::enLZW, TGIFEncoding::enRunLength}) {
    image.Encoding = encoding;
    TMemoryStream saved;
    try {
      image.SaveToStream(saved);
    } catch (const GIFException&) {
      continue;  // no frames, or pixels beyond a frame's colour table
    }
    TGIFContainer again;
    SetFuzzBudget(again);
    saved.SetPosition(0);
    again.LoadFromStream(saved);
    if (FramePixels(again) != FramePixels(image)) std::abort();
  }
  return 0;
}
