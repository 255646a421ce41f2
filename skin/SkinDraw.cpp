#include "skin/SkinDraw.h"

#include "platform/Control.h"
#include "skin/SkinVersion.h"

#include <algorithm>
#include <vector>

namespace {

bool IsEmpty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// Copies `source` of `from` onto `dest` of `to`, stretched to its size.
// Empty or inverted rectangles copy nothing: a negative width would mirror.
void CopyPiece(HDC to, const RECT& dest, HDC from, const RECT& source) {
  if (IsEmpty(dest) || IsEmpty(source)) return;
  const int dw = dest.right - dest.left, dh = dest.bottom - dest.top;
  const int sw = source.right - source.left, sh = source.bottom - source.top;
  if (dw == sw && dh == sh) {
    BitBlt(to, dest.left, dest.top, dw, dh, from, source.left, source.top, SRCCOPY);
    return;
  }
  SetStretchBltMode(to, COLORONCOLOR);
  StretchBlt(to, dest.left, dest.top, dw, dh, from, source.left, source.top, sw, sh, SRCCOPY);
}

std::unique_ptr<TBitmap> NewBitmap(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetSize(std::max(width, 0), std::max(height, 0));
  return bitmap;
}

HDC DCOf(TBitmap* bitmap) { return bitmap->Canvas()->Handle(); }

// Draws a composed bitmap at (x, y): opaque, or leaving magenta out.
void Transfer(HDC dc, int x, int y, TBitmap* bitmap, bool transparent) {
  if (bitmap->Empty()) return;
  if (transparent) {
    const RECT at{x, y, x + bitmap->Width(), y + bitmap->Height()};
    DrawTransparent(dc, at, bitmap, SkinTransparentColor);
  } else {
    BitBlt(dc, x, y, bitmap->Width(), bitmap->Height(), DCOf(bitmap), 0, 0, SRCCOPY);
  }
}

TBitmap* PaintBuffer = nullptr;

}  // namespace

std::unique_ptr<TBitmap> NewSkinBitmap(int width, int height) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(std::max(width, 0), std::max(height, 0));
  return bitmap;
}

TSkinFrame SelectSkinFrame(TBitmap* bitmap, bool vertical, int frameCount, int frame) {
  frameCount = std::max(frameCount, 1);
  frame = std::clamp(frame, 1, frameCount);
  TSkinFrame f;
  if (vertical) {
    f.Width = bitmap->Width();
    f.Height = bitmap->Height() / frameCount;
    f.Y = f.Height * (frame - 1);
  } else {
    f.Width = bitmap->Width() / frameCount;
    f.Height = bitmap->Height();
    f.X = f.Width * (frame - 1);
  }
  return f;
}

std::unique_ptr<TBitmap> BuildNinePart(const RECT& target, TBitmap* bitmap, const RECT& margins, bool vertical,
                                       bool tileMiddle, int frameCount, int frame) {
  const int W = target.right - target.left, H = target.bottom - target.top;
  std::unique_ptr<TBitmap> result = NewBitmap(W, H);
  if (W <= 0 || H <= 0 || bitmap->Empty()) return result;
  const TSkinFrame f = SelectSkinFrame(bitmap, vertical, frameCount, frame);
  int left = std::max<int>(margins.left, 0), top = std::max<int>(margins.top, 0);
  int right = std::max<int>(margins.right, 0), bottom = std::max<int>(margins.bottom, 0);
  if (W < left + right) left = right = 0;
  if (H < top + bottom) top = bottom = 0;
  const int x0 = f.X, y0 = f.Y, fw = f.Width, fh = f.Height;
  HDC to = DCOf(result.get());
  HDC from = DCOf(bitmap);
  // Corners need both margins, edges their own one.
  if (left * top > 0) CopyPiece(to, {0, 0, left, top}, from, {x0, y0, x0 + left, y0 + top});
  if (left * bottom > 0) CopyPiece(to, {0, H - bottom, left, H}, from, {x0, y0 + fh - bottom, x0 + left, y0 + fh});
  if (right * top > 0) CopyPiece(to, {W - right, 0, W, top}, from, {x0 + fw - right, y0, x0 + fw, y0 + top});
  if (left > 0) CopyPiece(to, {0, top, left, H - bottom}, from, {x0, y0 + top, x0 + left, y0 + fh - bottom});
  if (top > 0) CopyPiece(to, {left, 0, W - right, top}, from, {x0 + left, y0, x0 + fw - right, y0 + top});
  const RECT middle{left, top, W - right, H - bottom};
  const RECT middleSource{x0 + left, y0 + top, x0 + fw - right, y0 + fh - bottom};
  if (tileMiddle) {
    TileBitmapPart(to, middle, bitmap, middleSource);
  } else {
    CopyPiece(to, middle, from, middleSource);
  }
  // Drawn after the middle: they cover tiles that ran past it.
  if (right * bottom > 0)
    CopyPiece(to, {W - right, H - bottom, W, H}, from, {x0 + fw - right, y0 + fh - bottom, x0 + fw, y0 + fh});
  if (right > 0) CopyPiece(to, {W - right, top, W, H - bottom}, from, {x0 + fw - right, y0 + top, x0 + fw, y0 + fh - bottom});
  if (bottom > 0) CopyPiece(to, {left, H - bottom, W - right, H}, from, {x0 + left, y0 + fh - bottom, x0 + fw - right, y0 + fh});
  return result;
}

void DrawSkinImage(HDC dc, const RECT& r, TBitmap* bitmap, bool vertical, bool tileMiddle, bool transparent,
                   int frameCount, int frame, const RECT& margins) {
  if (IsEmpty(r) || bitmap->Empty()) return;
  std::unique_ptr<TBitmap> image = BuildNinePart(r, bitmap, margins, vertical, tileMiddle, frameCount, frame);
  Transfer(dc, r.left, r.top, image.get(), transparent);
}

void DrawSkinStrip(HDC dc, const RECT& r, TBitmap* bitmap, bool vertical, bool transparent, int frameCount,
                   int frame, const RECT& margins) {
  const int W = r.right - r.left, H = r.bottom - r.top;
  if (W <= 0 || H <= 0 || bitmap->Empty()) return;
  const TSkinFrame f = SelectSkinFrame(bitmap, vertical, frameCount, frame);
  const int left = std::max<int>(margins.left, 0), right = std::max<int>(margins.right, 0);
  std::unique_ptr<TBitmap> strip = NewBitmap(W, H);
  HDC to = DCOf(strip.get());
  HDC from = DCOf(bitmap);
  CopyPiece(to, {0, 0, left, H}, from, {f.X, f.Y, f.X + left, f.Y + f.Height});
  const int mw = f.Width - left - right;
  if (mw > 0)
    for (int x = left; x < W - right; x += mw) CopyPiece(to, {x, 0, x + mw, H}, from, {f.X + left, f.Y, f.X + left + mw, f.Y + f.Height});
  CopyPiece(to, {W - right, 0, W, H}, from, {f.X + f.Width - right, f.Y, f.X + f.Width, f.Y + f.Height});
  Transfer(dc, r.left, r.top, strip.get(), transparent);
}

void DrawSkinFrame(HDC dc, const RECT& r, TBitmap* bitmap, bool transparent, int frameCount, int frame) {
  const int W = r.right - r.left, H = r.bottom - r.top;
  if (W <= 0 || H <= 0 || bitmap->Empty()) return;
  const TSkinFrame f = SelectSkinFrame(bitmap, false, frameCount, frame);
  std::unique_ptr<TBitmap> image = NewBitmap(W, H);
  CopyPiece(DCOf(image.get()), {0, 0, W, H}, DCOf(bitmap), {f.X, f.Y, f.X + f.Width, f.Y + f.Height});
  Transfer(dc, r.left, r.top, image.get(), transparent);
}

void DrawSkinGlyphCentered(HDC dc, const RECT& r, TBitmap* bitmap, bool transparent, int frameCount, int frame) {
  if (bitmap->Empty()) return;
  const TSkinFrame f = SelectSkinFrame(bitmap, false, frameCount, frame);
  if (f.Width <= 0 || f.Height <= 0) return;
  std::unique_ptr<TBitmap> glyph = NewBitmap(f.Width, f.Height);
  CopyPiece(DCOf(glyph.get()), {0, 0, f.Width, f.Height}, DCOf(bitmap), {f.X, f.Y, f.X + f.Width, f.Y + f.Height});
  const int x = r.left + (r.right - r.left - f.Width) / 2;
  const int y = r.top + (r.bottom - r.top - f.Height) / 2;
  Transfer(dc, x, y, glyph.get(), transparent);
}

void StretchThreePart(HDC dc, const RECT& r, TBitmap* bitmap, bool vertical, int frameCount, int frame,
                      const RECT& margins) {
  const int W = r.right - r.left, H = r.bottom - r.top;
  if (W <= 0 || H <= 0 || bitmap->Empty()) return;
  const TSkinFrame f = SelectSkinFrame(bitmap, vertical, frameCount, frame);
  std::unique_ptr<TBitmap> image = NewBitmap(W, H);
  HDC to = DCOf(image.get());
  HDC from = DCOf(bitmap);
  const RECT whole{f.X, f.Y, f.X + f.Width, f.Y + f.Height};
  if (W < f.Width) {
    CopyPiece(to, {0, 0, W, H}, from, whole);
  } else {
    const int left = std::max<int>(margins.left, 0), right = std::max<int>(margins.right, 0);
    CopyPiece(to, {0, 0, left, H}, from, {f.X, f.Y, f.X + left, f.Y + f.Height});
    CopyPiece(to, {left, 0, W - right, H}, from, {f.X + left, f.Y, f.X + f.Width - right, f.Y + f.Height});
    CopyPiece(to, {W - right, 0, W, H}, from, {f.X + f.Width - right, f.Y, f.X + f.Width, f.Y + f.Height});
  }
  Transfer(dc, r.left, r.top, image.get(), false);
}

void TileBitmapPart(HDC dc, const RECT& target, TBitmap* bitmap, const RECT& source) {
  const int pw = source.right - source.left, ph = source.bottom - source.top;
  if (pw <= 0 || ph <= 0 || bitmap->Empty()) return;
  std::unique_ptr<TBitmap> part = NewBitmap(pw, ph);
  HDC tile = DCOf(part.get());
  BitBlt(tile, 0, 0, pw, ph, DCOf(bitmap), source.left, source.top, SRCCOPY);
  for (int y = target.top; y < target.bottom; y += ph)
    for (int x = target.left; x < target.right; x += pw) BitBlt(dc, x, y, pw, ph, tile, 0, 0, SRCCOPY);
}

void DrawTransparent(HDC dc, const RECT& r, TBitmap* bitmap, TColor transparent) {
  if (bitmap->Empty()) return;
  const int w = bitmap->Width(), h = bitmap->Height();
  HDC source = DCOf(bitmap);
  TMemoryDC maskDC(dc);
  TGdiObject mask(CheckGDI(CreateBitmap(w, h, 1, 1, nullptr)));
  TSelectObjectGuard maskSelection(maskDC.Get(), mask.Get());
  // White in the mask where the source has the transparent colour.
  const COLORREF previousBack = SetBkColor(source, ColorToRGB(transparent));
  BitBlt(maskDC.Get(), 0, 0, w, h, source, 0, 0, SRCCOPY);
  SetBkColor(source, previousBack);
  if (SkinIsNT()) {
    // Mask 1 keeps the destination (raster operation 0xAA0029), 0 copies.
    maskSelection.Restore();
    MaskBlt(dc, r.left, r.top, w, h, source, 0, 0, static_cast<HBITMAP>(mask.Get()), 0, 0,
            MAKEROP4(0x00AA0029, SRCCOPY));
    return;
  }
  const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
  const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
  BitBlt(dc, r.left, r.top, w, h, source, 0, 0, SRCINVERT);
  BitBlt(dc, r.left, r.top, w, h, maskDC.Get(), 0, 0, SRCAND);
  BitBlt(dc, r.left, r.top, w, h, source, 0, 0, SRCINVERT);
  SetBkColor(dc, back);
  SetTextColor(dc, text);
}

namespace {

// Adds `rects` to `region` as one region and empties the list.
void FlushRects(std::vector<RECT>& rects, TGdiObject& region) {
  if (rects.empty()) return;
  std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = static_cast<DWORD>(rects.size());
  header->nRgnSize = static_cast<DWORD>(rects.size() * sizeof(RECT));
  RECT bound = rects.front();
  for (const RECT& r : rects) UnionRect(&bound, &bound, &r);
  header->rcBound = bound;
  std::copy(rects.begin(), rects.end(), reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER)));
  TGdiObject part(CheckGDI(ExtCreateRegion(nullptr, static_cast<DWORD>(data.size()), reinterpret_cast<RGNDATA*>(data.data()))));
  if (!region) {
    region = std::move(part);
  } else {
    CombineRgn(static_cast<HRGN>(region.Get()), static_cast<HRGN>(region.Get()), static_cast<HRGN>(part.Get()), RGN_OR);
  }
  rects.clear();
}

}  // namespace

TGdiObject RegionFromBitmap(TBitmap* bitmap, int dx, int dy, int blueTolerance, int greenTolerance,
                            int redTolerance, TColor transparent) {
  TGdiObject region;
  if (bitmap->Empty()) return region;
  const int w = bitmap->Width(), h = bitmap->Height();
  // The pixels as 32-bit top-down rows (0x00RRGGBB); the bitmap is let go
  // of its canvas first, as GetDIBits wants it selected nowhere.
  bitmap->FreeContext();
  std::vector<uint32_t> pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = -h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  {
    TScreenDC screen;
    if (!GetDIBits(screen.Get(), bitmap->Handle(), 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS))
      RaiseLastGDIError();
  }
  const TColor key = ColorToRGB(transparent);
  const int r0 = GetRValue(key), g0 = GetGValue(key), b0 = GetBValue(key);
  const int r1 = std::min(255, r0 + redTolerance), g1 = std::min(255, g0 + greenTolerance),
            b1 = std::min(255, b0 + blueTolerance);
  const auto opaque = [&](uint32_t p) {
    const int r = static_cast<int>((p >> 16) & 0xFF), g = static_cast<int>((p >> 8) & 0xFF), b = static_cast<int>(p & 0xFF);
    return r < r0 || r > r1 || g < g0 || g > g1 || b < b0 || b > b1;
  };
  constexpr size_t Batch = 2000;
  std::vector<RECT> rects;
  rects.reserve(500);
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = &pixels[static_cast<size_t>(y) * w];
    for (int x = 0; x < w;) {
      if (!opaque(row[x])) {
        ++x;
        continue;
      }
      const int start = x;
      while (x < w && opaque(row[x])) ++x;
      rects.push_back({start + dx, y + dy, x + dx, y + dy + 1});
      if (rects.size() == Batch) FlushRects(rects, region);
    }
  }
  FlushRects(rects, region);
  return region;
}

void PaintControlInto(TControl* control, HDC dc) {
  TWinControl* parent = control->Parent();
  if (!parent) return;
  RECT r = control->ClientRect();
  OffsetRect(&r, control->Left(), control->Top());
  TSavedDCGuard saved(dc);
  POINT origin{};
  GetViewportOrgEx(dc, &origin);
  SetViewportOrgEx(dc, origin.x - control->Left(), origin.y - control->Top(), nullptr);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  try {
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
  } catch (...) {
    // A designer must keep working whatever the parent's painting does.
    if (!control->ComponentState().Contains(csDesigning)) throw;
  }
}

TBitmap* SkinPaintBuffer() { return PaintBuffer; }

void CreateSkinPaintBuffer() {
  if (PaintBuffer) return;
  PaintBuffer = new TBitmap();
  PaintBuffer->SetSize(1, 1);
  SetStretchBltMode(PaintBuffer->Canvas()->Handle(), COLORONCOLOR);
}

void FreeSkinPaintBuffer() {
  TBitmap* buffer = PaintBuffer;
  PaintBuffer = nullptr;
  delete buffer;
}
