#include "tests/support/ProbeDIB.h"

#include "tests/support/TestSupport.h"

TProbeDIB::TProbeDIB(int width, int height, COLORREF fill) : FWidth(width), FHeight(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FBitmap.Reset(CreateDIBSection(FDC.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  FBits = static_cast<uint32_t*>(bits);
  FSelected.Select(FDC.Get(), FBitmap.Get());
  FCanvas.SetHandle(FDC.Get());
  const RECT all{0, 0, width, height};
  const TGdiObject brush(CreateSolidBrush(fill));
  FillRect(FDC.Get(), &all, static_cast<HBRUSH>(brush.Get()));
}

TProbeDIB::~TProbeDIB() { FCanvas.SetHandle(nullptr); }

COLORREF TProbeDIB::At(int x, int y) {
  GdiFlush();
  const uint32_t p = FBits[static_cast<size_t>(y) * FWidth + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void TProbeDIB::Save(const std::string& name) {
  GdiFlush();
  testing_support::Image image;
  image.Width = FWidth;
  image.Height = FHeight;
  image.Pixels.assign(FBits, FBits + static_cast<size_t>(FWidth) * FHeight);
  for (uint32_t& p : image.Pixels) p &= 0xFFFFFF;
  testing_support::SaveArtefact(image, name);
}
