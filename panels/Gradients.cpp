#include "panels/Gradients.h"

#include "foundation/Bitmaps.h"
#include "platform/Graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

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

// The off-screen picture of the diagonal kinds, whose bands are polygons: a
// 32-bit DIB section selected into a memory DC, clipping what runs past it.
class TGradientBitmap {
public:
  TGradientBitmap(HDC reference, int width, int height) : FDC(reference), FWidth(width), FHeight(height) {
    BITMAPINFO info{};
    info.bmiHeader = InitPixelHeader(width, height, true);
    void* bits = nullptr;
    FBitmap.Reset(CheckGDI(CreateDIBSection(FDC.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
    FSelected.Select(FDC.Get(), FBitmap.Get());
  }
  HDC DC() const { return FDC.Get(); }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

private:
  TMemoryDC FDC;
  TGdiObject FBitmap;
  TSelectObjectGuard FSelected;
  int FWidth, FHeight;
};

// The pixels of one gradient while it is computed: 32-bit, top down, rows of
// exactly the width, drawn on the target with one SetDIBitsToDevice. The
// memory stays with the thread for the next gradient (up to the size of a
// large screen): a repaint then works on memory already mapped instead of
// paying for fresh pages every time.
thread_local std::vector<uint32_t> ScratchPixels;
constexpr size_t KeptScratchPixels = size_t{1} << 22;

class TGradientPixels {
public:
  TGradientPixels(int width, int height) : FWidth(width), FHeight(height) {
    const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
    if (ScratchPixels.size() < count) ScratchPixels.resize(count);
    FPixels = ScratchPixels.data();
  }
  ~TGradientPixels() {
    if (ScratchPixels.size() > KeptScratchPixels) std::vector<uint32_t>().swap(ScratchPixels);
  }
  TGradientPixels(const TGradientPixels&) = delete;
  TGradientPixels& operator=(const TGradientPixels&) = delete;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  uint32_t* Row(int y) const { return FPixels + static_cast<size_t>(y) * FWidth; }

  // Fills the part of (left, top, right, bottom) that lies in the picture.
  void Fill(int left, int top, int right, int bottom, COLORREF color) const {
    left = std::max(left, 0), top = std::max(top, 0);
    right = std::min(right, FWidth), bottom = std::min(bottom, FHeight);
    if (left >= right || top >= bottom) return;
    const uint32_t pixel = (static_cast<uint32_t>(GetRValue(color)) << 16) |
                           (static_cast<uint32_t>(GetGValue(color)) << 8) | GetBValue(color);
    for (int y = top; y < bottom; ++y) std::fill(Row(y) + left, Row(y) + right, pixel);
  }

  // Draws `count` rows from `first` at (x, y); flipped draws them upside down
  // (as a bottom-up bitmap), which is how the box kinds get their bottom half.
  void DrawRows(HDC target, int x, int y, int first, int count, bool flipped) const {
    if (count <= 0) return;
    BITMAPINFO info{};
    info.bmiHeader = InitPixelHeader(FWidth, count, !flipped);
    SetDIBitsToDevice(target, x, y, static_cast<DWORD>(FWidth), static_cast<DWORD>(count), 0, 0, 0,
                      static_cast<UINT>(count), Row(first), &info, DIB_RGB_COLORS);
  }
  void DrawTo(HDC target, int x, int y) const { DrawRows(target, x, y, 0, FHeight, false); }

private:
  uint32_t* FPixels = nullptr;
  int FWidth, FHeight;
};

// Paints positions `from` towards `to` (inclusive) of an 8-pixel strip,
// stepping in 16.16 from `farColor` at `from` so that `nearColor` is reached
// at `target`. Runs of one colour become one band.
void PaintStrip(const TGradientPixels& px, bool rows, int from, int to, int target, COLORREF farColor,
                COLORREF nearColor) {
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
    if (rows) {
      px.Fill(0, lo, 8, hi, band);
    } else {
      px.Fill(lo, 0, hi, 8, band);
    }
    i = j;
  }
}

// Copies the painted strip across by doubling: each copy takes the part
// already painted.
void ReplicateStrip(const TGradientPixels& px, bool rows) {
  const int width = px.Width(), height = px.Height();
  if (rows) {
    // Horizontal kinds: the strip is the first 8 columns of every row.
    for (int y = 0; y < height; ++y) {
      uint32_t* row = px.Row(y);
      for (int done = 8; done < width; done *= 2)
        std::memcpy(row + done, row, sizeof(uint32_t) * static_cast<size_t>(std::min(done, width - done)));
    }
  } else {
    // Vertical kinds: the strip is the first 8 rows.
    const size_t rowBytes = sizeof(uint32_t) * static_cast<size_t>(width);
    for (int done = 8; done < height; done *= 2)
      std::memcpy(px.Row(done), px.Row(0), rowBytes * static_cast<size_t>(std::min(done, height - done)));
  }
}

void GradientStripFill(const TGradientPixels& px, bool horizontal, bool center, COLORREF start, COLORREF end) {
  // Horizontal kinds run from top to bottom (bands are rows).
  const int length = horizontal ? px.Height() : px.Width();
  const int last = length - 1;
  if (!center) {
    PaintStrip(px, horizontal, last, 0, 0, end, start);
  } else {
    const int mid = length / 2;
    PaintStrip(px, horizontal, mid, 0, 0, end, start);
    if (last > mid) PaintStrip(px, horizontal, last, mid + 1, mid, start, end);
  }
  ReplicateStrip(px, horizontal);
}

uint32_t PixelOf(COLORREF color) {
  return (static_cast<uint32_t>(GetRValue(color)) << 16) | (static_cast<uint32_t>(GetGValue(color)) << 8) |
         GetBValue(color);
}

// Concentric rectangles from the end colour on the centre (a bar, a point or
// a rectangle, by the direction's insets) out to the start colour at the
// edges. The bands are computed for the top-left quadrant, whose rows are
// completed by their mirror image on the right: the top half, (h + 1) / 2
// rows, whose first h / 2 rows are drawn upside down again for the bottom half (odd
// sizes share the middle row and column).
void GradientBoxFill(const TGradientPixels& px, TGradientDirection direction, COLORREF start, COLORREF end) {
  const int w = px.Width(), h = px.Height();
  if (start == end || w < 5 || h <= 4) {
    px.Fill(0, 0, w, (h + 1) / 2, start);
    return;
  }
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
  const int last = steps - 1;
  // Quadrant right and bottom (exclusive): the centre row and column belong to it.
  const int qr = hw + 1, qb = hh + 1;
  // Band k is the rectangle from (leftOf(k), topOf(k)) to the quadrant's
  // centre corner, moving outward with k; the last one reaches the edges. A
  // pixel takes the colour of the innermost band that holds it: the larger
  // of its column's band and its row's band.
  auto leftOf = [&](int k) { return spanX - static_cast<int>(static_cast<int64_t>(spanX) * k / last); };
  auto topOf = [&](int k) { return spanY - static_cast<int>(static_cast<int64_t>(spanY) * k / last); };
  std::vector<int> columnBand(static_cast<size_t>(qr)), rowBand(static_cast<size_t>(qb));
  for (int k = 0, right = qr, bottom = qb; k < steps; ++k) {
    const int left = leftOf(k), top = topOf(k);
    for (int x = left; x < right; ++x) columnBand[static_cast<size_t>(x)] = k;
    for (int y = top; y < bottom; ++y) rowBand[static_cast<size_t>(y)] = k;
    right = std::min(right, left);
    bottom = std::min(bottom, top);
  }
  std::vector<uint32_t> bandPixel(static_cast<size_t>(steps));
  for (int k = 0; k < steps; ++k)
    bandPixel[static_cast<size_t>(k)] = PixelOf(k == last ? start : Interpolate(end, start, k, last));
  // The outermost row's picture, right half mirrored; each quadrant row is
  // this row with its middle in the row's band colour.
  std::vector<uint32_t> edgeRow(static_cast<size_t>(w));
  for (int x = 0; x < qr; ++x) edgeRow[static_cast<size_t>(x)] = bandPixel[static_cast<size_t>(columnBand[static_cast<size_t>(x)])];
  std::reverse_copy(edgeRow.begin(), edgeRow.begin() + w / 2, edgeRow.begin() + (w + 1) / 2);
  const size_t rowBytes = sizeof(uint32_t) * static_cast<size_t>(w);
  int middle = 0;  // the first column whose band lies inside the row's band
  for (int y = 0; y < qb; ++y) {
    const int band = rowBand[static_cast<size_t>(y)];
    if (y > 0 && band == rowBand[static_cast<size_t>(y) - 1]) {
      std::memcpy(px.Row(y), px.Row(y - 1), rowBytes);
      continue;
    }
    while (middle < qr - 1 && columnBand[static_cast<size_t>(middle)] > band) ++middle;
    uint32_t* row = px.Row(y);
    std::copy(edgeRow.begin(), edgeRow.begin() + middle, row);
    std::fill(row + middle, row + (w - middle), bandPixel[static_cast<size_t>(band)]);
    std::copy(edgeRow.begin() + (w - middle), edgeRow.end(), row + (w - middle));
  }
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
  const bool diagonal = direction == gdDiagonalUp || direction == gdDiagonalDown;
  if (diagonal && start != end) {
    const TGradientBitmap bmp(target, w, h);
    GradientDiagonalFill(bmp, direction == gdDiagonalUp, start, end);
    BitBlt(target, r.left, r.top, w, h, bmp.DC(), 0, 0, SRCCOPY);
    return;
  }
  const TGradientPixels px(w, h);
  switch (direction) {
    case gdDiagonalUp:
    case gdDiagonalDown:
      px.Fill(0, 0, w, h, start);
      break;
    case gdHorizontalEnd:
    case gdHorizontalCenter:
      GradientStripFill(px, true, direction == gdHorizontalCenter, start, end);
      break;
    case gdVerticalEnd:
    case gdVerticalCenter:
      GradientStripFill(px, false, direction == gdVerticalCenter, start, end);
      break;
    default:
      GradientBoxFill(px, direction, start, end);
      // The top half as computed, then its first h / 2 rows upside down.
      px.DrawRows(target, r.left, r.top, 0, (h + 1) / 2, false);
      px.DrawRows(target, r.left, r.top + (h + 1) / 2, 0, h / 2, true);
      return;
  }
  px.DrawTo(target, r.left, r.top);
}
