#include "tools/skin/PixelCanvas.h"

#include "platform/Exceptions.h"

TPixelCanvas::TPixelCanvas(int width, int height, uint32_t fill)
    : FWidth(width), FHeight(height) {
  if (width <= 0 || height <= 0 || width > 4096 || height > 4096)
    throw Exception(Format("Picture size %dx%d is out of range", width, height));
  FPixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), fill);
}

uint32_t TPixelCanvas::Pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) throw Exception(Format("Pixel (%d, %d) is outside the picture", x, y));
  return FPixels[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)];
}

void TPixelCanvas::SetPixel(int x, int y, uint32_t colour) {
  if (x < 0 || y < 0 || x >= FWidth || y >= FHeight) return;
  FPixels[static_cast<size_t>(y) * static_cast<size_t>(FWidth) + static_cast<size_t>(x)] = colour & 0xFFFFFF;
}

void TPixelCanvas::FillRect(int x, int y, int w, int h, uint32_t colour) {
  for (int j = y; j < y + h; ++j)
    for (int i = x; i < x + w; ++i) SetPixel(i, j, colour);
}

void TPixelCanvas::FrameRect(int x, int y, int w, int h, uint32_t colour) {
  if (w <= 0 || h <= 0) return;
  HLine(x, y, w, colour);
  HLine(x, y + h - 1, w, colour);
  VLine(x, y, h, colour);
  VLine(x + w - 1, y, h, colour);
}

uint32_t MixRgb(uint32_t a, uint32_t b, int weight) {
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int ca = static_cast<int>((a >> shift) & 0xFF);
    const int cb = static_cast<int>((b >> shift) & 0xFF);
    out |= static_cast<uint32_t>((ca * weight + cb * (256 - weight) + 128) / 256) << shift;
  }
  return out;
}

void TPixelCanvas::Gradient(int x, int y, int w, int h, uint32_t top, uint32_t bottom) {
  for (int j = 0; j < h; ++j) HLine(x, y + j, w, MixRgb(bottom, top, h > 1 ? 256 * j / (h - 1) : 0));
}

void TPixelCanvas::FillEllipse(int x, int y, int w, int h, uint32_t colour) {
  // Pixel centres inside the ellipse, in doubled coordinates to stay exact.
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) {
      const int64_t dx = 2 * i + 1 - w, dy = 2 * j + 1 - h;
      if (dx * dx * h * h + dy * dy * w * w <= static_cast<int64_t>(w) * w * h * h) SetPixel(x + i, y + j, colour);
    }
  }
}

void TPixelCanvas::Draw(int x, int y, const TPixelCanvas& source) {
  for (int j = 0; j < source.FHeight; ++j)
    for (int i = 0; i < source.FWidth; ++i) SetPixel(x + i, y + j, source.Pixel(i, j));
}

AnsiString TPixelCanvas::Bmp() const {
  const int stride = (FWidth * 3 + 3) & ~3;
  const uint32_t imageSize = static_cast<uint32_t>(stride) * static_cast<uint32_t>(FHeight);
  AnsiString out;
  auto put16 = [&](uint32_t v) { out.push_back(static_cast<char>(v & 0xFF)); out.push_back(static_cast<char>((v >> 8) & 0xFF)); };
  auto put32 = [&](uint32_t v) { put16(v & 0xFFFF); put16(v >> 16); };
  out += "BM";
  put32(14 + 40 + imageSize);  // file size
  put32(0);                    // reserved
  put32(14 + 40);              // offset of the pixels
  put32(40);                   // info header size
  put32(static_cast<uint32_t>(FWidth));
  put32(static_cast<uint32_t>(FHeight));  // positive: bottom-up rows
  put16(1);                    // planes
  put16(24);                   // bits per pixel
  put32(0);                    // no compression
  put32(imageSize);
  put32(2835);                 // 72 dots per inch, both ways
  put32(2835);
  put32(0);                    // no palette
  put32(0);
  for (int y = FHeight - 1; y >= 0; --y) {
    const size_t rowStart = out.size();
    for (int x = 0; x < FWidth; ++x) {
      const uint32_t c = Pixel(x, y);
      out.push_back(static_cast<char>(c & 0xFF));          // blue
      out.push_back(static_cast<char>((c >> 8) & 0xFF));   // green
      out.push_back(static_cast<char>((c >> 16) & 0xFF));  // red
    }
    out.append(static_cast<size_t>(stride) - (out.size() - rowStart), '\0');
  }
  return out;
}
