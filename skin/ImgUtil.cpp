#include "skin/ImgUtil.h"

#include "platform/Colors.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {

// The bitmap's pixels as 24-bit top-down rows of width * 3 bytes.
std::vector<uint8_t> Rows24(TBitmap* bitmap, int& width, int& height) {
  width = bitmap->Width();
  height = bitmap->Height();
  std::vector<uint8_t> rows(static_cast<size_t>(width) * 3 * static_cast<size_t>(height));
  if (rows.empty()) return rows;
  bitmap->SetPixelFormat(pf24bit);
  for (int y = 0; y < height; ++y)
    std::memcpy(&rows[static_cast<size_t>(y) * width * 3], bitmap->ScanLine(y), static_cast<size_t>(width) * 3);
  return rows;
}

// Replaces the bitmap by a 24-bit image of `width` x `height` from top-down rows.
void SetRows24(TBitmap* bitmap, int width, int height, const std::vector<uint8_t>& rows) {
  TBmpImage image;
  image.Width = width;
  image.Height = height;
  image.BitCount = 24;
  const size_t stride = image.Stride();
  image.Bits.assign(stride * static_cast<size_t>(height), 0);
  for (int y = 0; y < height; ++y)
    std::memcpy(&image.Bits[stride * static_cast<size_t>(height - 1 - y)], &rows[static_cast<size_t>(y) * width * 3],
                static_cast<size_t>(width) * 3);
  bitmap->LoadFromImage(image);
}

struct TGradientCache {
  std::array<std::vector<TColor>, GradientSlots> Slots;
  int Ring = 0;
};
TGradientCache& Cache() {
  static TGradientCache cache;
  return cache;
}

int Channel(TColor c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

}  // namespace

void ReplaceColor(TBitmap* bitmap, TColor color) {
  if (bitmap->Empty()) return;
  bitmap->SetPixelFormat(pf24bit);
  const uint8_t red = static_cast<uint8_t>(color), green = static_cast<uint8_t>(color >> 8),
                blue = static_cast<uint8_t>(color >> 16);
  for (int y = 0; y < bitmap->Height(); ++y) {
    auto* p = static_cast<uint8_t*>(bitmap->ScanLine(y));
    for (int x = 0; x < bitmap->Width(); ++x, p += 3) {
      if (p[0] != 0xFF || p[1] != 0 || p[2] != 0xFF) continue;
      p[0] = blue;
      p[1] = green;
      p[2] = red;
    }
  }
  bitmap->Changed(bitmap);
}

void MirrorBitmap(TBitmap* bitmap) {
  int w, h;
  std::vector<uint8_t> rows = Rows24(bitmap, w, h);
  if (rows.empty()) return;
  std::vector<uint8_t> out(rows.size());
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      std::memcpy(&out[(static_cast<size_t>(y) * w + x) * 3], &rows[(static_cast<size_t>(y) * w + (w - 1 - x)) * 3], 3);
  SetRows24(bitmap, w, h, out);
}

void FlipBitmap(TBitmap* bitmap) {
  int w, h;
  std::vector<uint8_t> rows = Rows24(bitmap, w, h);
  if (rows.empty()) return;
  std::vector<uint8_t> out(rows.size());
  const size_t row = static_cast<size_t>(w) * 3;
  for (int y = 0; y < h; ++y) std::memcpy(&out[static_cast<size_t>(y) * row], &rows[static_cast<size_t>(h - 1 - y) * row], row);
  SetRows24(bitmap, w, h, out);
}

void RotateBitmapLeft(TBitmap* bitmap) {
  int w, h;
  std::vector<uint8_t> rows = Rows24(bitmap, w, h);
  if (rows.empty()) return;
  // The new image is h wide and w high.
  std::vector<uint8_t> out(rows.size());
  for (int y = 0; y < h; ++y)
    for (int c = 0; c < w; ++c)
      std::memcpy(&out[(static_cast<size_t>(w - 1 - c) * h + y) * 3], &rows[(static_cast<size_t>(y) * w + c) * 3], 3);
  SetRows24(bitmap, h, w, out);
}

void RotateBitmapRight(TBitmap* bitmap) {
  int w, h;
  std::vector<uint8_t> rows = Rows24(bitmap, w, h);
  if (rows.empty()) return;
  std::vector<uint8_t> out(rows.size());
  for (int y = 0; y < h; ++y)
    for (int c = 0; c < w; ++c)
      std::memcpy(&out[(static_cast<size_t>(c) * h + (h - 1 - y)) * 3], &rows[(static_cast<size_t>(y) * w + c) * 3], 3);
  SetRows24(bitmap, h, w, out);
}

TColor MixColor(TColor c1, TColor c2, int w) {
  c1 = ColorToRGB(c1);
  c2 = ColorToRGB(c2);
  const int d = w < 100 ? 100 : 1000;
  TColor result = 0;
  for (int shift : {0, 8, 16}) {
    const int v = (Channel(c1, shift) * w + Channel(c2, shift) * (d - w) + d / 2) / d;
    result |= static_cast<TColor>(v & 0xFF) << shift;
  }
  return result;
}

int ColorSaturation(TColor color) {
  const int r = Channel(color, 0), g = Channel(color, 8), b = Channel(color, 16);
  if (r < 160 && g < 160 && b < 160) return 200;
  const int mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const double s = mx == 0 ? 0.0 : static_cast<double>(mx - mn) / mx;
  return static_cast<int>(std::nearbyint(s * 255.0));  // the default rounding: half to even
}

int FindGradient(int count, TColor from, TColor to) {
  TGradientCache& cache = Cache();
  for (int slot = GradientSlots - 1; slot >= 0; --slot) {
    const std::vector<TColor>& g = cache.Slots[slot];
    if (static_cast<int>(g.size()) == count && count > 0 && g.front() == from && g.back() == to) return slot;
  }
  return -1;
}

int MakeGradient(int count, TColor from, TColor to) {
  TGradientCache& cache = Cache();
  const int slot = cache.Ring;
  cache.Ring = (cache.Ring + 1) % GradientSlots;
  std::vector<TColor>& g = cache.Slots[slot];
  if (count < 1) count = 1;
  g.assign(static_cast<size_t>(count), 0);
  const int m = count - 1;
  for (int shift : {0, 8, 16}) {
    const int start = Channel(from, shift), delta = Channel(to, shift) - start;
    for (int i = 0; i < count; ++i) {
      // C++ division truncates toward zero, as the colours were always computed.
      const int v = count == 1 ? start + delta / 2 : start + (m / 2 + i * delta) / m;
      g[static_cast<size_t>(i)] |= static_cast<TColor>(v & 0xFF) << shift;
    }
  }
  return slot;
}

int GetGradient(int count, TColor from, TColor to) {
  const int slot = FindGradient(count, from, to);
  return slot >= 0 ? slot : MakeGradient(count, from, to);
}

const std::vector<TColor>& GradientColors(int slot) { return Cache().Slots.at(static_cast<size_t>(slot)); }

void ClearGradientCache() {
  TGradientCache& cache = Cache();
  for (std::vector<TColor>& g : cache.Slots) std::vector<TColor>().swap(g);
  cache.Ring = 0;
}

void GradientFill(HDC dc, const RECT& r, TColor from, bool vertical, TColor to) {
  if (!RectVisible(dc, &r)) return;
  from = ColorToRGB(from);
  to = ColorToRGB(to);
  const int n = vertical ? r.bottom - r.top : r.right - r.left;
  if (n <= 0) return;
  RECT clip{};
  GetClipBox(dc, &clip);
  const int origin = vertical ? r.top : r.left;
  const int clipStart = vertical ? clip.top : clip.left;
  const int clipEnd = vertical ? clip.bottom : clip.right;
  const int first = clipStart > origin ? clipStart - origin : 0;
  const int last = clipEnd - origin - 1 < n - 1 ? clipEnd - origin - 1 : n - 1;
  const int slot = GetGradient(n, from, to);
  for (int i = first; i <= last; ++i) {
    const TColor c = GradientColors(slot)[static_cast<size_t>(i)];
    const RECT line = vertical ? RECT{r.left, r.top + i, r.right, r.top + i + 1} : RECT{r.left + i, r.top, r.left + i + 1, r.bottom};
    TGdiObject brush(CheckGDI(CreateSolidBrush(c)));
    FillRect(dc, &line, static_cast<HBRUSH>(brush.Get()));
  }
}
