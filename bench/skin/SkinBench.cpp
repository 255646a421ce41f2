// Times loading the house skin (unpacking, the INI, every bitmap, the
// derived images) and cutting the region of an 800 x 600 window from its
// frame borders' opaque pixels, as a skinned form's region is made.
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinUnit.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

LONGLONG Now() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

double MillisecondsSince(LONGLONG since) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(Now() - since) * 1000.0 / double(frequency.QuadPart);
}

// The window's region: the client area with every border's opaque pixels.
TGdiObject WindowRegion(TSkinData& data, int W, int H) {
  const RECT frame{data.Border(TSkinBorderSide::bsLeftBorder)->Bitmap->Width() / 2,
                   data.Border(TSkinBorderSide::bsTopBorder)->Bitmap->Height() / 2,
                   data.Border(TSkinBorderSide::bsRightBorder)->Bitmap->Width() / 2,
                   data.Border(TSkinBorderSide::bsBottomBorder)->Bitmap->Height() / 2};
  TGdiObject region(CheckGDI(CreateRectRgn(frame.left, frame.top, W - frame.right, H - frame.bottom)));
  const struct {
    TSkinBorderSide Side;
    RECT Place;
    bool Vertical;
  } borders[] = {
      {TSkinBorderSide::bsLeftBorder, {0, 0, frame.left, H}, false},
      {TSkinBorderSide::bsRightBorder, {W - frame.right, 0, W, H}, false},
      {TSkinBorderSide::bsTopBorder, {0, 0, W, frame.top}, true},
      {TSkinBorderSide::bsBottomBorder, {frame.left, H - frame.bottom, W - frame.right, H}, true},
  };
  for (const auto& b : borders) {
    TDataSkinBorder* border = data.Border(b.Side);
    std::unique_ptr<TBitmap> image =
        BuildNinePart(b.Place, border->Bitmap.get(), border->Margins(), b.Vertical, border->Tile != 1, border->FrameCount, 1);
    TGdiObject part = border->Trans
                          ? RegionFromBitmap(image.get(), b.Place.left, b.Place.top, 1, 1, 1, SkinTransparentColor)
                          : TGdiObject(CheckGDI(CreateRectRgnIndirect(&b.Place)));
    if (part)
      CombineRgn(static_cast<HRGN>(region.Get()), static_cast<HRGN>(region.Get()), static_cast<HRGN>(part.Get()), RGN_OR);
  }
  return region;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  TUnitScope units{SkinUnit};
  std::ifstream in(argc > 2 ? argv[2] : MEVRA_HOUSE_SKIN_FILE, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  TSkinData data(nullptr);
  data.SetPackage(bytes.str());

  LONGLONG start = Now();
  for (int i = 0; i < rounds; ++i)
    if (!data.LoadSkin()) {
      std::fprintf(stderr, "the skin cannot be read: %s\n", data.LoadError().c_str());
      return 1;
    }
  std::printf("load the house skin:          %8.3f ms\n", MillisecondsSince(start) / rounds);

  start = Now();
  DWORD rectangles = 0;
  for (int i = 0; i < rounds; ++i) {
    TGdiObject region = WindowRegion(data, 800, 600);
    rectangles = GetRegionData(static_cast<HRGN>(region.Get()), 0, nullptr);
  }
  std::printf("region of an 800 x 600 window: %8.3f ms (%lu bytes of region data)\n", MillisecondsSince(start) / rounds,
              static_cast<unsigned long>(rectangles));
  return 0;
}
