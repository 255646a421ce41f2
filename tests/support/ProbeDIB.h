// A 32-bit memory bitmap to draw in and read back, shared by the tests that
// check drawing pixel by pixel.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"
#include "platform/Win32.h"

#include <cstdint>
#include <string>

// A top-down 32-bit DIB selected into a memory DC with a canvas on it.
class TProbeDIB {
public:
  TProbeDIB(int width, int height, COLORREF fill = RGB(1, 2, 3));
  ~TProbeDIB();
  TCanvas* Canvas() { return &FCanvas; }
  HDC DC() const { return FDC.Get(); }
  // The pixel as a COLORREF (red low).
  COLORREF At(int x, int y);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void Save(const std::string& name);

private:
  TMemoryDC FDC;
  TGdiObject FBitmap;
  TSelectObjectGuard FSelected;
  uint32_t* FBits = nullptr;
  int FWidth, FHeight;
  TCanvas FCanvas;
};
