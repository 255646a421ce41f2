#include "tools/gif/BusyPicture.h"

#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"

namespace {

constexpr int Size = 24;
constexpr int Frames = 8;
constexpr int Dots = 8;

// Dot centres on a ring of radius 8 around the middle (11.5, 11.5), in
// half pixels so that the ring is symmetric; clockwise from the top.
constexpr int DotCentres[Dots][2] = {{23, 7}, {34, 12}, {39, 23}, {34, 34}, {23, 39}, {12, 34}, {7, 23}, {12, 12}};

// Index 0 is the transparent background; 1 is the head of the ring and 7
// the faintest of its tail.
constexpr TGIFColor Colors[8] = {{0xFF, 0xFF, 0xFF}, {0x1F, 0x4E, 0x99}, {0x3A, 0x66, 0xAB}, {0x58, 0x80, 0xBD},
                                 {0x78, 0x9B, 0xCE}, {0x9A, 0xB7, 0xDD}, {0xBC, 0xD1, 0xEB}, {0xDC, 0xE7, 0xF5}};

}  // namespace

AnsiString BusyPictureBytes() {
  TGIFContainer picture;
  picture.Header().SetWidth(Size);
  picture.Header().SetHeight(Size);
  for (const TGIFColor& c : Colors) picture.Header().ColorMap().AppendColor(c);
  for (int f = 0; f < Frames; ++f) {
    auto* frame = new TGIFSubImage(&picture);
    picture.Images().Add(frame);
    if (f == 0) {
      auto* loop = new TGIFAppExtNSLoop(frame);
      loop->Loops = 0;
      frame->Extensions().Add(loop);
    }
    auto* control = new TGIFGraphicControlExtension(frame);
    frame->Extensions().Add(control);
    control->SetDisposal(f + 1 < Frames ? 2 : 1);
    control->SetDelay(10);
    control->SetTransparent(true);
    control->SetTransparentColorIndex(0);
    frame->SetFrameBounds(0, 0, Size, Size);
    for (int d = 0; d < Dots; ++d) {
      // The head moves one dot clockwise per frame; the tail fades behind it.
      const int behind = ((f - d) % Dots + Dots) % Dots;
      const uint8_t color = static_cast<uint8_t>(behind < 7 ? 1 + behind : 7);
      const int cx = DotCentres[d][0], cy = DotCentres[d][1];
      for (int y = 0; y < Size; ++y) {
        for (int x = 0; x < Size; ++x) {
          // Pixel centres in half pixels: 2x + 1; radius 2.5 pixels.
          const int dx = 2 * x + 1 - cx, dy = 2 * y + 1 - cy;
          if (dx * dx + dy * dy <= 25) frame->Data()[y * Size + x] = color;
        }
      }
    }
  }
  picture.Header().PrepareScreenDescriptor();
  TMemoryStream out;
  picture.SaveToStream(out);
  return AnsiString(reinterpret_cast<const char*>(out.Memory()), static_cast<size_t>(out.Size()));
}
