#include "panels/Gradients.h"

#include "platform/Graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

struct TChannels {
  int32_t R, G, B;  // 16.16 fixed point
};

TChannels Fixed(COLORREF c) {
  return {static_cast<int32_t>(GetRValue(c)) << 16, static_cast<int32_t>(GetGValue(c)) << 16,
          static_cast<int32_t>(GetBValue(c)) << 16};
}

COLORREF FromFixed(const TChannels& c) {
  return RGB(static_cast<BYTE>(c.R >> 16), static_cast<BYTE>(c.G >> 16), static_cast<BYTE>(c.B >> 16));
}

COLORREF Interpolate(COLORREF from, COLORREF to, int step, int steps) {
  if (steps <= 0) return from;
  auto mix = [&](int a, int b) { return static_cast<BYTE>(a + (b - a) * step / steps); };
  return RGB(mix(GetRValue(from), GetRValue(to)), mix(GetGValue(from), GetGValue(to)),
             mix(GetBValue(from), GetBValue(to)));
}

void FillSolid(HDC dc, const RECT& r, COLORREF color) {
  const TGdiObject brush(CheckGDI(CreateSolidBrush(color)));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

// The off-screen picture: a 32-bit DIB section selected into a memory DC.
class TGradientBitmap {
public:
  TGradientBitmap(HDC reference, int width, int height) : FDC(reference), FWidth(width), FHeight(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    FBitmap.Reset(CheckGDI(CreateDIBSection(FDC.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    FBits = static_cast<uint32_t*>(bits);
    FSelected.Select(FDC.Get(), FBitmap.Get());
  }
  HDC DC() const { return FDC.Get(); }
  uint32_t* Row(int y) const { return FBits + static_cast<size_t>(y) * FWidth; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

private:
  TMemoryDC FDC;
  TGdiObject FBitmap;
  TSelectObjectGuard FSelected;
  uint32_t* FBits = nullptr;
  int FWidth, FHeight;
};

// Paints positions `from` towards `to` (inclusive) of an 8-pixel strip,
// stepping in 16.16 from `farColor` at `from` so that `nearColor` is reached
// at `target`. Runs of one colour become one band.
void PaintStrip(HDC dc, bool rows, int from, int to, int target, COLORREF farColor, COLORREF nearColor) {
  const int dir = to >= from ? 1 : -1;
  const int steps = std::abs(target - from);
  const TChannels farC = Fixed(farColor), nearC = Fixed(nearColor);
  const TChannels inc = steps == 0 ? TChannels{0, 0, 0}
                                   : TChannels{(nearC.R - farC.R) / steps, (nearC.G - farC.G) / steps,
                                               (nearC.B - farC.B) / steps};
  auto colorAt = [&](int i) {
    if (i >= steps && steps > 0) return nearColor;
    return FromFixed(TChannels{farC.R + inc.R * i, farC.G + inc.G * i, farC.B + inc.B * i});
  };
  const int count = std::abs(to - from) + 1;
  int i = 0;
  while (i < count) {
    const COLORREF band = colorAt(i);
    int j = i + 1;
    while (j < count && colorAt(j) == band) ++j;
    const int a = from + dir * i, b = from + dir * (j - 1);
    const int lo = std::min(a, b), hi = std::max(a, b) + 1;
    FillSolid(dc, rows ? RECT{0, lo, 8, hi} : RECT{lo, 0, hi, 8}, band);
    i = j;
  }
}

// Copies the painted strip across by doubling.
void ReplicateStrip(HDC dc, bool rows, int width, int height) {
  const int total = rows ? width : height;
  for (int done = 8; done < total; done *= 2) {
    const int n = std::min(done, total - done);
    if (rows) {
      BitBlt(dc, done, 0, n, height, dc, 0, 0, SRCCOPY);
    } else {
      BitBlt(dc, 0, done, width, n, dc, 0, 0, SRCCOPY);
    }
  }
}

void GradientStripFill(const TGradientBitmap& bmp, bool horizontal, bool center, COLORREF start, COLORREF end) {
  // Horizontal kinds run from top to bottom (bands are rows).
  const int length = horizontal ? bmp.Height() : bmp.Width();
  const int last = length - 1;
  if (!center) {
    PaintStrip(bmp.DC(), horizontal, last, 0, 0, end, start);
  } else {
    const int mid = length / 2;
    PaintStrip(bmp.DC(), horizontal, mid, 0, 0, end, start);
    if (last > mid) PaintStrip(bmp.DC(), horizontal, last, mid + 1, mid, start, end);
  }
  ReplicateStrip(bmp.DC(), horizontal, bmp.Width(), bmp.Height());
}

// Copies the top-left quadrant down (upside down) and then the left half to
// the right (mirrored); odd sizes share the middle row or column.
void MirrorQuadrant(const TGradientBitmap& bmp) {
  const int w = bmp.Width(), h = bmp.Height();
  const int qw = (w + 1) / 2;
  GdiFlush();
  for (int y = 0; y < h / 2; ++y) std::memcpy(bmp.Row(h - 1 - y), bmp.Row(y), sizeof(uint32_t) * qw);
  for (int y = 0; y < h; ++y) {
    uint32_t* row = bmp.Row(y);
    for (int x = 0; x < w / 2; ++x) row[w - 1 - x] = row[x];
  }
}

void GradientBoxFill(const TGradientBitmap& bmp, TGradientDirection direction, COLORREF start, COLORREF end) {
  const int w = bmp.Width(), h = bmp.Height();
  FillSolid(bmp.DC(), RECT{0, 0, w + 1, h + 1}, start);
  if (start == end || w < 5 || h <= 4) return;
  const int hw = (w - 1) / 2, hh = (h - 1) / 2;
  int xin = 0, yin = 0;
  switch (direction) {
    case gdHorizontalBox: xin = w / 4; break;
    case gdVerticalBox: yin = h / 4; break;
    case gdBigSquareBox: xin = w / 4, yin = h / 4; break;
    default: break;
  }
  const int spanX = std::max(0, hw - xin), spanY = std::max(0, hh - yin);
  const int steps = std::max(spanX, spanY) + 1;
  // Quadrant right and bottom (exclusive): the centre row and column belong to it.
  const int qr = hw + 1, qb = hh + 1;
  // Each band moves the rectangle outward; the last one reaches the edges.
  const int last = steps - 1;
  auto leftOf = [&](int k) { return last == 0 ? 0 : spanX - static_cast<int>(static_cast<int64_t>(spanX) * k / last); };
  auto topOf = [&](int k) { return last == 0 ? 0 : spanY - static_cast<int>(static_cast<int64_t>(spanY) * k / last); };
  auto colorOf = [&](int k) { return k == steps - 1 ? start : Interpolate(end, start, k, steps - 1); };
  // A run of bands of one colour is the ring between its outer rectangle and
  // the inner one it started from: one horizontal and one vertical piece.
  auto flush = [&](int outerLeft, int outerTop, int innerLeft, int innerTop, COLORREF color) {
    const RECT horizontalPiece{outerLeft, outerTop, qr, innerTop};
    const RECT verticalPiece{outerLeft, innerTop, innerLeft, qb};
    if (!IsRectEmpty(&horizontalPiece)) FillSolid(bmp.DC(), horizontalPiece, color);
    if (!IsRectEmpty(&verticalPiece)) FillSolid(bmp.DC(), verticalPiece, color);
  };
  int innerLeft = qr, innerTop = qb;
  COLORREF runColor = colorOf(0);
  for (int k = 1; k < steps; ++k) {
    const COLORREF c = colorOf(k);
    if (c == runColor) continue;
    flush(leftOf(k - 1), topOf(k - 1), innerLeft, innerTop, runColor);
    innerLeft = leftOf(k - 1);
    innerTop = topOf(k - 1);
    runColor = c;
  }
  flush(leftOf(steps - 1), topOf(steps - 1), innerLeft, innerTop, runColor);
  MirrorQuadrant(bmp);
}

void GradientDiagonalFill(const TGradientBitmap& bmp, bool up, COLORREF start, COLORREF end) {
  const int w = bmp.Width(), h = bmp.Height();
  const int steps = static_cast<int>(std::sqrt(static_cast<double>(w) * w + static_cast<double>(h) * h)) + 1;
  const int half = std::max(1, steps / 2);
  FillSolid(bmp.DC(), RECT{0, 0, w, h}, start);
  // Band boundaries move along the two edges that meet at the starting
  // corner; the lines run on past the opposite corner and the bitmap clips.
  const int64_t dx = (static_cast<int64_t>(w) << 16) / half, dy = (static_cast<int64_t>(h) << 16) / half;
  const TSelectObjectGuard pen(bmp.DC(), GetStockObject(NULL_PEN));
  auto point = [&](int64_t x, int64_t y) {
    return POINT{static_cast<int>(x), up ? h - 1 - static_cast<int>(y) : static_cast<int>(y)};
  };
  for (int i = 0; i < steps; ++i) {
    // Boundaries one pixel out, so that the starting corner's pixel is the
    // first band's.
    int64_t x0 = ((dx * i) >> 16) + 1, y0 = ((dy * i) >> 16) + 1;
    int64_t x1 = ((dx * (i + 1)) >> 16) + 1, y1 = ((dy * (i + 1)) >> 16) + 1;
    if (i == 0) x0 = y0 = -2;
    if (i == steps - 1) x1 = 2 * static_cast<int64_t>(w) + 4, y1 = 2 * static_cast<int64_t>(h) + 4;
    const POINT points[4] = {point(x0, -1), point(x1, -1), point(-1, y1), point(-1, y0)};
    const TGdiObject brush(CheckGDI(CreateSolidBrush(Interpolate(start, end, i, steps - 1))));
    const TSelectObjectGuard selected(bmp.DC(), brush.Get());
    Polygon(bmp.DC(), points, 4);
  }
}

}  // namespace

void FillGradient(TCanvas* canvas, const RECT& r, TGradientDirection direction, TColor startColor,
                  TColor endColor) {
  RenderGradient(canvas, r, direction, startColor, endColor, 1);
}

void RenderGradient(TCanvas* canvas, const RECT& r, TGradientDirection direction, TColor startColor,
                    TColor endColor, int /*bandMerge*/) {
  const int w = std::abs(r.right - r.left), h = std::abs(r.bottom - r.top);
  if (w == 0 || h == 0) return;
  const COLORREF start = ColorToRGB(startColor) & 0xFFFFFF, end = ColorToRGB(endColor) & 0xFFFFFF;
  const HDC target = canvas->Handle();
  TGradientBitmap bmp(target, w, h);
  switch (direction) {
    case gdDiagonalUp:
    case gdDiagonalDown:
      if (start == end) {
        FillSolid(bmp.DC(), RECT{0, 0, w, h}, start);
      } else {
        GradientDiagonalFill(bmp, direction == gdDiagonalUp, start, end);
      }
      break;
    case gdHorizontalEnd:
    case gdHorizontalCenter:
      GradientStripFill(bmp, true, direction == gdHorizontalCenter, start, end);
      break;
    case gdVerticalEnd:
    case gdVerticalCenter:
      GradientStripFill(bmp, false, direction == gdVerticalCenter, start, end);
      break;
    default:
      GradientBoxFill(bmp, direction, start, end);
      break;
  }
  BitBlt(target, r.left, r.top, w, h, bmp.DC(), 0, 0, SRCCOPY);
}
