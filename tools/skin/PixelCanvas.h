// A plain 24-bit picture that the skin tools draw into and write as a BMP
// file; no GDI, so the house skin is the same bytes on every build. Portable.
#pragma once

#include "platform/Text.h"

#include <cstdint>
#include <vector>

// Colours are 0xRRGGBB.
constexpr uint32_t kSkinMagenta = 0xFF00FF;

class TPixelCanvas {
public:
  TPixelCanvas(int width, int height, uint32_t fill = kSkinMagenta);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  uint32_t Pixel(int x, int y) const;
  // Drawing outside the picture is clipped.
  void SetPixel(int x, int y, uint32_t colour);
  void FillRect(int x, int y, int w, int h, uint32_t colour);
  void FrameRect(int x, int y, int w, int h, uint32_t colour);
  void HLine(int x, int y, int w, uint32_t colour) { FillRect(x, y, w, 1, colour); }
  void VLine(int x, int y, int h, uint32_t colour) { FillRect(x, y, 1, h, colour); }
  // Top-to-bottom blend from `top` to `bottom`.
  void Gradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom);
  void FillEllipse(int x, int y, int w, int h, uint32_t colour);
  // Copies all of `source` with its top-left at (x, y).
  void Draw(int x, int y, const TPixelCanvas& source);

  // The picture as a bottom-up 24-bit Windows BMP file.
  AnsiString Bmp() const;

private:
  int FWidth;
  int FHeight;
  std::vector<uint32_t> FPixels;  // top-down rows
};

// Per-channel blend: `weight` parts of `a` in 256.
uint32_t MixRgb(uint32_t a, uint32_t b, int weight);
