#include "foundation/Bitmaps.h"

#include "foundation/PackedBitmap.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <numbers>

// ---------------------------------------------------------------------------
// Pixel arithmetic.

TRGBQuad ColorToPixel(TColor color, uint8_t alpha) {
  const COLORREF rgb = static_cast<COLORREF>(ColorToRGB(color));
  return MakePixel(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb), alpha);
}

int ClampByte(int value) { return value < 0 ? 0 : (value > 255 ? 255 : value); }

int RoundToByte(double value) { return ClampByte(static_cast<int>(std::nearbyint(value))); }

void BlendColorOverPixel(TRGBQuad c, TRGBQuad& p, uint8_t opacity) {
  const double k = opacity / 255.0;
  const double d = k * PixelAlpha(c);
  const double e = 1.0 - d / 255.0;
  p = MakePixel(RoundToByte(k * PixelRed(c) + e * PixelRed(p)), RoundToByte(k * PixelGreen(c) + e * PixelGreen(p)),
                RoundToByte(k * PixelBlue(c) + e * PixelBlue(p)), RoundToByte(d + e * PixelAlpha(p)));
}

BITMAPINFOHEADER InitPixelHeader(int width, int height, bool topDown) {
  BITMAPINFOHEADER h{};
  h.biSize = sizeof h;
  h.biWidth = width;
  h.biHeight = topDown ? -height : height;
  h.biPlanes = 1;
  h.biBitCount = 32;
  h.biCompression = BI_RGB;
  return h;
}

namespace {

// The first byte of the 32-bit pixels of a bitmap section and whether its
// rows run top-down in memory.
uint8_t* SectionPixels(TBitmap* bitmap, bool& memoryTopDown) {
  const int h = bitmap->GetHeight();
  auto* first = static_cast<uint8_t*>(bitmap->ScanLine(0));
  auto* last = static_cast<uint8_t*>(bitmap->ScanLine(h - 1));
  memoryTopDown = first <= last;
  return memoryTopDown ? first : last;
}

void CopyRows(const uint32_t* from, uint32_t* to, int w, int h, bool reverse) {
  const size_t row = static_cast<size_t>(w);
  if (!reverse) {
    std::memcpy(to, from, row * static_cast<size_t>(h) * sizeof(uint32_t));
    return;
  }
  for (int y = 0; y < h; ++y)
    std::memcpy(to + row * static_cast<size_t>(h - 1 - y), from + row * static_cast<size_t>(y), row * sizeof(uint32_t));
}

}  // namespace

void ReadBitmapPixels(TBitmap* bitmap, bool topDown, TRGBColors& colors) {
  const int w = bitmap->GetWidth();
  const int h = bitmap->GetHeight();
  colors.assign(static_cast<size_t>(w) * static_cast<size_t>(std::max(h, 0)), 0);
  if (w <= 0 || h <= 0) return;
  if (bitmap->BitsPerPixel() == 32) {
    bool memoryTopDown;
    const auto* pixels = reinterpret_cast<const uint32_t*>(SectionPixels(bitmap, memoryTopDown));
    CopyRows(pixels, colors.data(), w, h, memoryTopDown != topDown);
    return;
  }
  BITMAPINFO info{};
  info.bmiHeader = InitPixelHeader(w, h, topDown);
  HBITMAP handle = bitmap->Handle();
  bitmap->FreeContext();  // GetDIBits wants the bitmap selected nowhere
  TScreenDC screen;
  GetDIBits(screen.Get(), handle, 0, static_cast<UINT>(h), colors.data(), &info, DIB_RGB_COLORS);
}

void StoreBitmapColors(TBitmap* bitmap, TRGBColors& colors, bool topDown) {
  const int w = bitmap->GetWidth();
  const int h = bitmap->GetHeight();
  if (w > 0 && h > 0 && colors.size() >= static_cast<size_t>(w) * static_cast<size_t>(h)) {
    if (bitmap->BitsPerPixel() == 32) {
      bool memoryTopDown;
      auto* pixels = reinterpret_cast<uint32_t*>(SectionPixels(bitmap, memoryTopDown));
      CopyRows(colors.data(), pixels, w, h, memoryTopDown != topDown);
    } else {
      BITMAPINFO info{};
      info.bmiHeader = InitPixelHeader(w, h, topDown);
      HBITMAP handle = bitmap->Handle();
      bitmap->FreeContext();
      TScreenDC screen;
      SetDIBits(screen.Get(), handle, 0, static_cast<UINT>(h), colors.data(), &info, DIB_RGB_COLORS);
    }
  }
  colors.clear();
}

// ---------------------------------------------------------------------------
// TcxCustomBitmap.

const TClassInfo TcxCustomBitmap::ClassInfo{"TcxCustomBitmap", &TBitmap::ClassInfo,
                                            [](TObject*) -> TObject* { return new TcxCustomBitmap(); }};

TcxCustomBitmap::TcxCustomBitmap() { InitializeBitmap(0, 0, pf24bit); }

TcxCustomBitmap::TcxCustomBitmap(int width, int height, TPixelFormat format) {
  InitializeBitmap(width, height, format);
}

TcxCustomBitmap::~TcxCustomBitmap() = default;

void TcxCustomBitmap::InitializeBitmap(int width, int height, TPixelFormat format) {
  FcxCanvas = std::make_unique<TcxCanvas>(Canvas());
  LockChanges();
  SetPixelFormat(format);
  SetSize(width, height);
  UnlockChanges(true);
}

void TcxCustomBitmap::UnlockChanges(bool force) {
  if (FChangeLockCount == 0) return;
  --FChangeLockCount;
  if (FChangeLockCount == 0 && (force || FChangePending)) Changed(this);
}

void TcxCustomBitmap::Changed(TObject* sender) {
  if (IsChangeLocked()) {
    FChangePending = true;
    return;
  }
  TBitmap::Changed(sender);
  AfterSizeHook();
  FChangePending = false;
}

void TcxCustomBitmap::ClearToBlack() {
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetColor(clBlack);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(FullRect());
}

void TcxCustomBitmap::SetDimensions(int width, int height) {
  LockChanges();
  SetSize(width, height);
  UnlockChanges();
}

void TcxCustomBitmap::CopyBitmap(TBitmap* source, DWORD rop) {
  CopyBitmapRect(source, FullRect(), POINT{0, 0}, rop);
}

void TcxCustomBitmap::CopyBitmapRect(TBitmap* source, const RECT& dest, POINT sourcePoint, DWORD rop) {
  BitBlt(Canvas()->Handle(), dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top,
         source->Canvas()->Handle(), sourcePoint.x, sourcePoint.y, rop);
}

void TcxCustomBitmap::RotateOrFlip(int rotation, bool mirror) {
  if (rotation == 0 && !mirror) return;
  if (rotation < 0 || rotation > 3) return;
  const int w = GetWidth();
  const int h = GetHeight();
  if (w <= 0 || h <= 0) return;
  TRGBColors source;
  ReadBitmapPixels(this, true, source);
  const bool swaps = rotation == 1 || rotation == 2;
  const int dw = swaps ? h : w;
  TRGBColors dest(source.size());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) {
      int dx = x, dy = y;
      switch (rotation) {
        case 0: dx = x; dy = h - 1 - y; break;  // mirrored top to bottom
        case 1: dx = y; dy = mirror ? x : w - 1 - x; break;
        case 2: dx = h - 1 - y; dy = mirror ? w - 1 - x : x; break;
        case 3: dx = w - 1 - x; dy = mirror ? y : h - 1 - y; break;
      }
      dest[static_cast<size_t>(dy) * dw + dx] = source[static_cast<size_t>(y) * w + x];
    }
  }
  if (swaps) {
    SetHeight(0);
    SetWidth(h);
    SetHeight(w);
  }
  StoreBitmapColors(this, dest, true);
  Changed(this);
}

void TcxCustomBitmap::WriteData(TStream& stream) {
  if (!FCompressData) {
    TBitmap::WriteData(stream);
    return;
  }
  TMemoryStream plain;
  TBitmap::WriteData(plain);
  WritePackedBitmap(stream, std::string(reinterpret_cast<const char*>(plain.Memory()), static_cast<size_t>(plain.Size())));
}

void TcxCustomBitmap::ReadData(TStream& stream) {
  bool packed = false;
  std::string plain = ReadPackedBitmap(stream, packed);
  if (!packed) {
    TBitmap::ReadData(stream);
    return;
  }
  TMemoryStream expanded;
  expanded.WriteString(plain);
  expanded.SetPosition(0);
  TBitmap::ReadData(expanded);
}

// ---------------------------------------------------------------------------
// TcxBitmap.

void AddColorToList(TcxColorList& list, TColor color) { list.push_back(ColorToPixel(color, 0) & 0x00FFFFFF); }

const TClassInfo TcxBitmap::ClassInfo{"TcxBitmap", &TcxCustomBitmap::ClassInfo,
                                      [](TObject*) -> TObject* { return new TcxBitmap(); }};

TcxBitmap::TcxBitmap() : TcxBitmap(0, 0) {}

TcxBitmap::TcxBitmap(int width, int height) : TcxCustomBitmap(TDeferInit{}) {
  InitializeBitmap(width, height, pf32bit);
  ClearToBlack();
}

TcxBitmap::TcxBitmap(int width, int height, TRGBQuad pixel) : TcxCustomBitmap(TDeferInit{}) {
  FTransparentPixel = pixel;
  InitializeBitmap(width, height, pf32bit);
  ClearToBlack();
}

void TcxBitmap::InitializeBitmap(int width, int height, TPixelFormat format) {
  TcxCustomBitmap::InitializeBitmap(width, height, format);
}

void TcxBitmap::ClearToBlack() {
  if (GetEmpty()) return;
  if (PixelAlpha(FTransparentPixel) != 0) {
    TRGBColors colors(static_cast<size_t>(GetWidth()) * GetHeight(), FTransparentPixel);
    StoreBitmapColors(this, colors, false);
    Changed(this);
  } else {
    TRGBColors colors(static_cast<size_t>(GetWidth()) * GetHeight(), 0);
    StoreBitmapColors(this, colors, false);
    Changed(this);
  }
}

void TcxBitmap::SetDimensions(int width, int height) {
  TcxCustomBitmap::SetDimensions(width, height);
  ClearToBlack();
}

void TcxBitmap::GetPixels(TRGBColors& colors) { ReadBitmapPixels(this, false, colors); }

void TcxBitmap::SetPixels(const TRGBColors& colors) {
  TRGBColors copy = colors;
  StoreBitmapColors(this, copy, false);
  Changed(this);
}

bool TcxBitmap::HasAlpha() {
  TRGBColors colors;
  GetPixels(colors);
  return std::any_of(colors.begin(), colors.end(), [](TRGBQuad p) { return PixelAlpha(p) != 0; });
}

void TcxBitmap::SetTransparentColor(TColor color) {
  FTransparentColors.clear();
  AddColorToList(FTransparentColors, color);
  FTransparentPixel = ColorToPixel(color, 0);
  ApplyFilter(cxfCompleteAlpha);
}

bool TcxBitmap::IsTransparentPixel(TRGBQuad pixel) const {
  if (pixel == FTransparentPixel) return true;
  const uint32_t rgb = pixel & 0x00FFFFFF;
  return std::find(FTransparentColors.begin(), FTransparentColors.end(), rgb) != FTransparentColors.end();
}

void TcxBitmap::SetCheckerParams(TColor first, TColor second, int cellSize, uint8_t firstAlpha,
                                 uint8_t secondAlpha) {
  FCheckerFirst = ColorToPixel(first, 255);
  FCheckerSecond = ColorToPixel(second, 255);
  FCheckerFirstAlpha = firstAlpha;
  FCheckerSecondAlpha = secondAlpha;
  FCheckerSize = static_cast<uint8_t>(std::clamp(cellSize, 0, 255));
  ApplyFilter(cxfChecker);
}

void TcxBitmap::ApplyFilter(int code) {
  if (code < 0 || code > 10 || GetEmpty()) return;
  TRGBColors colors;
  GetPixels(colors);
  const int w = GetWidth();
  const int h = GetHeight();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) FilterPixel(code, colors[static_cast<size_t>(y) * w + x], x, y);
  StoreBitmapColors(this, colors, false);
  Changed(this);
}

void TcxBitmap::FilterPixel(int code, TRGBQuad& p, int x, int y) const {
  auto grey = [&](double r, double g, double b) {
    const int v = RoundToByte(r * PixelRed(p) + g * PixelGreen(p) + b * PixelBlue(p));
    p = MakePixel(v, v, v, PixelAlpha(p));
  };
  switch (code) {
    case cxfLighten:
      if (IsTransparentPixel(p)) return;
      if (PixelAlpha(p) == 255) {
        auto lighten = [](int v) { return ClampByte(v + (255 - v) * 3 / 10); };
        p = MakePixel(lighten(PixelRed(p)), lighten(PixelGreen(p)), lighten(PixelBlue(p)), 255);
      } else {
        auto scale = [](int v) { return v * 200 / 255; };
        p = MakePixel(scale(PixelRed(p)), scale(PixelGreen(p)), scale(PixelBlue(p)), scale(PixelAlpha(p)));
      }
      return;
    case cxfDisable:
      if (IsTransparentPixel(p)) return;
      grey(0.299, 0.587, 0.114);
      BlendColorOverPixel(ColorToPixel(clBtnShadow, 0xC0), p, 238);
      return;
    case cxfGreyAverage: {
      if (IsTransparentPixel(p)) return;
      const int v = (PixelRed(p) + PixelGreen(p) + PixelBlue(p)) / 3;
      p = MakePixel(v, v, v, PixelAlpha(p));
      return;
    }
    case cxfOpaque: p |= 0xFF000000u; return;
    case cxfMask: p = IsTransparentPixel(p) ? 0xFFFFFFFFu : 0; return;
    case cxfGrey:
      if (!IsTransparentPixel(p)) grey(0.299, 0.587, 0.114);
      return;
    case cxfGreyGreen:
      if (!IsTransparentPixel(p)) grey(0.0729, 0.7146, 0.2125);
      return;
    case cxfCompleteAlpha:
      if (!IsTransparentPixel(p) && PixelAlpha(p) == 0) p |= 0xFF000000u;
      return;
    case cxfChecker: {
      // A cell size of 0 would divide by zero: cells of one pixel instead.
      const int s = FCheckerSize ? FCheckerSize : 1;
      if ((x / s + y / s) % 2 != 0)
        BlendColorOverPixel(FCheckerSecond, p, FCheckerSecondAlpha);
      else
        BlendColorOverPixel(FCheckerFirst, p, FCheckerFirstAlpha);
      return;
    }
    case cxfFill: p = FTransparentPixel; return;
    case cxfClearAlpha: p &= 0x00FFFFFFu; return;
  }
}

// ---------------------------------------------------------------------------
// Resampling.

namespace {

double Sinc(double x) {
  if (x == 0) return 1;
  const double px = std::numbers::pi * x;
  return std::sin(px) / px;
}

double Lanczos3(double x) { return std::fabs(x) < 3 ? Sinc(x) * Sinc(x / 3) : 0; }

int MirrorIndex(int j, int n) {
  // Mirrored once at each edge; a radius larger than the source can still
  // fall outside after that, so the result is clamped to the edge.
  if (j < 0) j = -j;
  if (j >= n) j = 2 * n - 1 - j;
  return std::clamp(j, 0, n - 1);
}

}  // namespace

TcxContributors BuildContributors(int n, int m) {
  TcxContributors result(static_cast<size_t>(std::max(m, 0)));
  if (n <= 0 || m <= 0) return result;
  const double t = (n == 1 || m == 1) ? static_cast<double>(m) / n : static_cast<double>(m - 1) / (n - 1);
  const double factor = t >= 1 ? 1 : 1 / t;
  const double radius = 3 * factor;
  for (int i = 0; i < m; ++i) {
    const double centre = i / t;
    const int from = static_cast<int>(std::floor(centre - radius));
    const int to = static_cast<int>(std::ceil(centre + radius));
    for (int j = from; j <= to; ++j) {
      const int weight = static_cast<int>(std::lround(Lanczos3((centre - j) / factor) / factor * 256));
      if (weight != 0) result[static_cast<size_t>(i)].push_back({MirrorIndex(j, n), weight});
    }
  }
  return result;
}

void ResamplePixels(const TRGBColors& source, int sw, int sh, TRGBColors& dest, int dw, int dh) {
  dest.assign(static_cast<size_t>(dw) * static_cast<size_t>(dh), 0);
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  auto combine = [](const std::vector<TcxContributor>& list, auto&& at) {
    int sum[4] = {0, 0, 0, 0};
    for (const TcxContributor& c : list) {
      const TRGBQuad p = at(c.Index);
      for (int k = 0; k < 4; ++k) sum[k] += c.Weight * static_cast<int>((p >> (8 * k)) & 0xFF);
    }
    TRGBQuad out = 0;
    for (int k = 0; k < 4; ++k) out |= static_cast<uint32_t>(ClampByte(sum[k] < 0 ? 0 : sum[k] >> 8)) << (8 * k);
    return out;
  };
  const TcxContributors across = BuildContributors(sw, dw);
  TRGBColors middle(static_cast<size_t>(dw) * static_cast<size_t>(sh));
  for (int y = 0; y < sh; ++y) {
    const TRGBQuad* row = source.data() + static_cast<size_t>(y) * sw;
    for (int x = 0; x < dw; ++x)
      middle[static_cast<size_t>(y) * dw + x] = combine(across[static_cast<size_t>(x)], [&](int j) { return row[j]; });
  }
  const TcxContributors down = BuildContributors(sh, dh);
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x)
      dest[static_cast<size_t>(y) * dw + x] =
          combine(down[static_cast<size_t>(y)], [&](int j) { return middle[static_cast<size_t>(j) * dw + x]; });
}

void ResampleBitmap(TBitmap* source, TBitmap* dest, bool smooth) {
  const int sw = source->GetWidth(), sh = source->GetHeight();
  const int dw = dest->GetWidth(), dh = dest->GetHeight();
  if (sw <= 0 || sh <= 0 || dw <= 0 || dh <= 0) return;
  TCanvas* sourceCanvas = source->Canvas();
  TCanvas* destCanvas = dest->Canvas();
  sourceCanvas->Lock();
  destCanvas->Lock();
  try {
    if (!smooth && Win32Platform == VER_PLATFORM_WIN32_NT && Win32MajorVersion >= 4) {
      HDC dc = destCanvas->Handle();
      const int previous = SetStretchBltMode(dc, HALFTONE);
      StretchBlt(dc, 0, 0, dw, dh, sourceCanvas->Handle(), 0, 0, sw, sh, SRCCOPY);
      SetStretchBltMode(dc, previous);
    } else {
      TRGBColors from, to;
      ReadBitmapPixels(source, true, from);
      ResamplePixels(from, sw, sh, to, dw, dh);
      StoreBitmapColors(dest, to, true);
      dest->Changed(dest);
    }
  } catch (...) {
    destCanvas->Unlock();
    sourceCanvas->Unlock();
    throw;
  }
  destCanvas->Unlock();
  sourceCanvas->Unlock();
}
