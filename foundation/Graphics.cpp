#include "foundation/Graphics.h"

#include "foundation/Controls.h"
#include "foundation/Geometry.h"
#include "foundation/ImageInfoList.h"
#include "foundation/UxTheme.h"
#include "platform/CodePage.h"
#include "platform/Messages.h"

#include <algorithm>
#include <memory>

TAlphaBlendProc cxAlphaBlend = nullptr;

namespace {

HMODULE MsImg32 = nullptr;
TcxScreenCanvas* ScreenCanvas = nullptr;
TcxBitmap* WorkBitmaps[3] = {nullptr, nullptr, nullptr};

TcxBitmap* WorkBitmap(int slot, int width, int height) {
  TcxBitmap*& b = WorkBitmaps[slot];
  if (!b) {
    b = new TcxBitmap(width, height);
  } else {
    b->TransparentColors().clear();
    b->SetTransparentPixel(0);
    if (b->GetWidth() == width && b->GetHeight() == height)
      b->ClearToBlack();
    else
      b->SetDimensions(width, height);
  }
  return b;
}

bool Win9x() { return cxOSFlags().Win9x; }

}  // namespace

TcxScreenCanvas* SharedScreenCanvas() {
  if (!ScreenCanvas) ScreenCanvas = new TcxScreenCanvas();
  return ScreenCanvas;
}

TcxBitmap* BackgroundWorkBitmap(int width, int height) { return WorkBitmap(0, width, height); }
TcxBitmap* GlyphWorkBitmap(int width, int height) { return WorkBitmap(1, width, height); }
TcxBitmap* MaskWorkBitmap(int width, int height) { return WorkBitmap(2, width, height); }

// ---------------------------------------------------------------------------
// Bitmap helpers.

void BlitRect(HDC dest, HDC source, const RECT& destRect, POINT sourcePoint, DWORD rop) {
  BitBlt(dest, destRect.left, destRect.top, WidthOfRect(destRect), HeightOfRect(destRect), source, sourcePoint.x,
         sourcePoint.y, rop);
}

TBitmap* CaptureDCArea(HDC source, const RECT& r) {
  auto* bitmap = CreateBitmapForRect(r, pf32bit);
  bitmap->Canvas()->Brush()->SetColor(clBlack);
  bitmap->Canvas()->FillRect(RECT{0, 0, WidthOfRect(r), HeightOfRect(r)});
  BlitRect(bitmap->Canvas()->Handle(), source, RECT{0, 0, WidthOfRect(r), HeightOfRect(r)}, POINT{r.left, r.top});
  return bitmap;
}

void StretchCopyBitmap(TBitmap* target, TBitmap* source) {
  StretchBlt(target->Canvas()->Handle(), 0, 0, target->GetWidth(), target->GetHeight(), source->Canvas()->Handle(), 0,
             0, source->GetWidth(), source->GetHeight(), SRCCOPY);
}

TBitmap* CreateBitmapWithFormat(int width, int height, TPixelFormat format) {
  auto* bitmap = new TBitmap();
  bitmap->SetPixelFormat(format);
  bitmap->SetWidth(width);
  bitmap->SetHeight(height);
  return bitmap;
}

bool IsValidImageIndex(TCustomImageList* images, int index) {
  return images && index >= 0 && index < images->Count();
}

void SetImageListWithNotification(TCustomImageList* value, TCustomImageList*& field, TChangeLink* link,
                                  TComponent* notificator) {
  if (value != field) {
    if (field) {
      if (notificator) field->RemoveFreeNotification(notificator);
      if (link) field->UnRegisterChanges(link);
    }
    field = value;
    if (field) {
      if (link) field->RegisterChanges(link);
      if (notificator) field->FreeNotification(notificator);
    }
  }
  if (link) link->Change();
}

TColor NearestScreenColor(TColor color) {
  TScreenDC dc;
  return static_cast<TColor>(GetNearestColor(dc.Get(), static_cast<COLORREF>(ColorToRGB(color))));
}

TColor MixSystemColors(int face, int highlight, int window) {
  const COLORREF f = GetSysColor(COLOR_BTNFACE);
  const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
  const COLORREF w = GetSysColor(COLOR_WINDOW);
  if (f == RGB(0, 0, 0) || f == RGB(255, 255, 255)) return static_cast<TColor>(h);
  auto mix = [&](BYTE a, BYTE b, BYTE c) { return ClampByte(a * face / 100 + b * highlight / 100 + c * window / 100); };
  return static_cast<TColor>(RGB(mix(GetRValue(f), GetRValue(h), GetRValue(w)),
                                 mix(GetGValue(f), GetGValue(h), GetGValue(w)),
                                 mix(GetBValue(f), GetBValue(h), GetBValue(w))));
}

int ScreenPixelsPerInch(int index) {
  return GetDeviceCaps(SharedScreenCanvas()->GetDeviceContext(), index == 0 ? LOGPIXELSY : LOGPIXELSX);
}

bool QueryBitmapObject(HBITMAP handle, BITMAP& info) { return GetObjectA(handle, sizeof info, &info) != 0; }
bool QueryBrushObject(HBRUSH handle, LOGBRUSH& info) { return GetObjectA(handle, sizeof info, &info) != 0; }
bool QueryFontObject(HFONT handle, LOGFONTA& info) { return GetObjectA(handle, sizeof info, &info) != 0; }
bool QueryPenObject(HPEN handle, LOGPEN& info) { return GetObjectA(handle, sizeof info, &info) != 0; }

void InvalidateWindowRect(HWND wnd, const RECT& r, bool erase) { InvalidateRect(wnd, &r, erase); }

SIZE CursorSizeFromIconInfo(const ICONINFO& info, SIZE systemSize) {
  SIZE size = systemSize;
  BITMAP mask{};
  if (!info.hbmMask || !QueryBitmapObject(info.hbmMask, mask) || mask.bmBitsPixel != 1 || mask.bmWidth <= 0 ||
      mask.bmHeight <= 0)
    return size;
  const int w = mask.bmWidth;
  const int h = mask.bmHeight;
  size.cx = w;
  const size_t b = static_cast<size_t>((w + 31) / 32) * 4;
  // The mask's rows bottom-up, as the system stores them.
  std::vector<uint8_t> bits(b * static_cast<size_t>(h));
  struct {
    BITMAPINFOHEADER Header;
    RGBQUAD Colors[2];
  } header{};
  header.Header.biSize = sizeof(BITMAPINFOHEADER);
  header.Header.biWidth = w;
  header.Header.biHeight = h;
  header.Header.biPlanes = 1;
  header.Header.biBitCount = 1;
  header.Header.biCompression = BI_RGB;
  TScreenDC dc;
  if (GetDIBits(dc.Get(), info.hbmMask, 0, static_cast<UINT>(h), bits.data(), reinterpret_cast<BITMAPINFO*>(&header),
                DIB_RGB_COLORS) == 0)
    return size;
  // The AND part: the last w rows (fewer when the mask is shorter: the scan
  // stays within the mask's bytes).
  const size_t part = std::min(b * static_cast<size_t>(w), bits.size());
  size_t start = bits.size() - part;
  size_t found = bits.size();
  for (size_t i = start; i < bits.size(); ++i)
    if (bits[i] != 0xFF) {
      found = i;
      break;
    }
  size_t end = bits.size();
  if (found == bits.size() && static_cast<size_t>(h) >= 2 * static_cast<size_t>(w)) {
    // All transparent: the XOR part (the w rows before) shows the shape.
    end = start;
    start -= part;
    for (size_t i = start; i < end; ++i)
      if (bits[i] != 0) {
        found = i;
        break;
      }
  }
  const int after = found < end ? static_cast<int>((end - found - 1) / b) : 0;
  size.cy = std::max(0, after - static_cast<int>(info.yHotspot));
  return size;
}

void GetCurrentCursorSize(SIZE& size) {
  const SIZE system{GetSystemMetrics(SM_CXCURSOR), GetSystemMetrics(SM_CYCURSOR)};
  size = system;
  ICONINFO info{};
  if (!GetIconInfo(GetCursor(), &info)) return;
  size = CursorSizeFromIconInfo(info, system);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
}

int BitmapColorDepth(TBitmap* bitmap) {
  switch (bitmap->PixelFormat()) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    case pf32bit: return 32;
    default: return GetDeviceCaps(bitmap->Canvas()->Handle(), BITSPIXEL);
  }
}

void DrawBitmapToDC(HDC dc, TBitmap* bitmap, const RECT& destRect, POINT sourcePoint, DWORD rop) {
  HPALETTE palette = bitmap->GetPalette();
  HPALETTE previous = nullptr;
  if (palette && GetDeviceCaps(dc, BITSPIXEL) <= 8) {
    previous = SelectPalette(dc, palette, TRUE);
    RealizePalette(dc);
  }
  if (Win9x() && GetDeviceCaps(dc, BITSPIXEL) == 32 && BitmapColorDepth(bitmap) < 32) {
    TcxBitmap copy(WidthOfRect(destRect), HeightOfRect(destRect));
    BlitRect(copy.Canvas()->Handle(), bitmap->Canvas()->Handle(), copy.FullRect(), sourcePoint);
    copy.ApplyFilter(cxfClearAlpha);
    BlitRect(dc, copy.Canvas()->Handle(), destRect, POINT{0, 0}, rop);
  } else {
    BlitRect(dc, bitmap->Canvas()->Handle(), destRect, sourcePoint, rop);
  }
  if (previous) SelectPalette(dc, previous, TRUE);
}

void OverlayCheckerPattern(HDC dc, const RECT& r, TColor first, TColor second, int cellSize, uint8_t firstAlpha,
                           uint8_t secondAlpha) {
  TcxBitmap bitmap(WidthOfRect(r), HeightOfRect(r));
  BlitRect(bitmap.Canvas()->Handle(), dc, bitmap.FullRect(), POINT{r.left, r.top});
  bitmap.SetCheckerParams(first, second, cellSize, firstAlpha, secondAlpha);
  BlitRect(dc, bitmap.Canvas()->Handle(), r, POINT{0, 0});
}

void RenderMaskBitmap(TcxBitmap* source, TBitmap* target) {
  TcxBitmap copy(source->GetWidth(), source->GetHeight());
  copy.CopyBitmap(source);
  if (!copy.HasAlpha()) copy.SetTransparentColor(source->TransparentColor());
  copy.ApplyFilter(cxfMask);
  BitBlt(target->Canvas()->Handle(), 0, 0, copy.GetWidth(), copy.GetHeight(), copy.Canvas()->Handle(), 0, 0, SRCCOPY);
}

// ---------------------------------------------------------------------------
// Native image lists.

namespace {

// A copy of a 32-bit bitmap section, pixel by pixel into a new 32-bit
// bitmap section: Windows 9x does not keep the alpha bytes through the
// system's copy. Null when `handle` is no 32-bit bitmap section.
TBitmap* CopySectionPixels(HBITMAP handle) {
  DIBSECTION section{};
  if (GetObjectA(handle, sizeof section, &section) != sizeof section || section.dsBm.bmBitsPixel != 32 ||
      !section.dsBm.bmBits || section.dsBm.bmWidth <= 0 || section.dsBm.bmHeight <= 0)
    return nullptr;
  GdiFlush();  // drawing into the list's bitmap may still be queued
  const int w = section.dsBm.bmWidth;
  const int h = section.dsBm.bmHeight;
  const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
  TRGBColors pixels(static_cast<size_t>(w) * static_cast<size_t>(h));
  for (int y = 0; y < h; ++y) {
    const auto* row = reinterpret_cast<const uint32_t*>(bits + static_cast<size_t>(y) * section.dsBm.bmWidthBytes);
    for (int x = 0; x < w; ++x) pixels[static_cast<size_t>(y) * w + x] = row[x];
  }
  auto* bitmap = new TBitmap();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(w, h);
  // Memory row 0 is the top row only for a top-down section.
  StoreBitmapColors(bitmap, pixels, section.dsBmih.biHeight < 0);
  return bitmap;
}

// A bitmap-section copy of one of the list's bitmaps (the list's own
// stays untouched).
TBitmap* CopyListBitmap(HBITMAP handle) {
  if (Win9x())
    if (TBitmap* copy = CopySectionPixels(handle)) return copy;
  HBITMAP copy = static_cast<HBITMAP>(CopyImage(handle, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!copy) return nullptr;
  auto* bitmap = new TBitmap();
  bitmap->SetHandle(copy);
  return bitmap;
}

void ExtractOne(HBITMAP from, const RECT& r, int index, TBitmap* target) {
  std::unique_ptr<TBitmap> copy(CopyListBitmap(from));
  if (!copy) return;
  if (index == -1) {
    target->Assign(copy.get());
    return;
  }
  if (target->PixelFormat() != pf1bit && copy->BitsPerPixel() == 32) target->SetPixelFormat(pf32bit);
  target->SetSize(WidthOfRect(r), HeightOfRect(r));
  BitBlt(target->Canvas()->Handle(), 0, 0, WidthOfRect(r), HeightOfRect(r), copy->Canvas()->Handle(), r.left, r.top,
         SRCCOPY);
  target->Changed(target);
}

}  // namespace

void ExtractImageAndMask(HIMAGELIST list, int index, TBitmap* mask, TBitmap* image) {
  IMAGEINFO info{};
  if (!list || !ImageList_GetImageInfo(list, index == -1 ? 0 : index, &info)) return;
  if (mask && info.hbmMask) ExtractOne(info.hbmMask, info.rcImage, index, mask);
  if (image && info.hbmImage) ExtractOne(info.hbmImage, info.rcImage, index, image);
}

int NativePixelFormat(HIMAGELIST list) {
  IMAGEINFO info{};
  BITMAP bitmap{};
  if (!list || !ImageList_GetImageInfo(list, 0, &info) || !QueryBitmapObject(info.hbmImage, bitmap)) return 0;
  return bitmap.bmBitsPixel;
}

// ---------------------------------------------------------------------------
// Glyphs.

void AddOffsetShape(TcxBitmap* glyph, TcxBitmap* mask, int offset, TColor color, bool enlarge) {
  const int w = glyph->GetWidth();
  const int h = glyph->GetHeight();
  const int k = offset;
  TRGBColors g, m;
  ReadBitmapPixels(glyph, true, g);
  ReadBitmapPixels(mask, true, m);
  // The mask is white where the glyph is transparent, black where it shows.
  auto shows = [&](int x, int y) {
    return x >= 0 && y >= 0 && x < w && y < h && (m[static_cast<size_t>(y) * w + x] & 0x00FFFFFF) == 0;
  };
  const TRGBQuad shade = ColorToPixel(color, 255);
  const int vw = w + k, vh = h + k;
  TRGBColors v(static_cast<size_t>(vw) * vh, 0);
  for (int y = 0; y < vh; ++y)
    for (int x = 0; x < vw; ++x) {
      TRGBQuad p = x < w && y < h ? g[static_cast<size_t>(y) * w + x] : 0;
      if (shows(x - k, y - k) && !shows(x, y)) p |= shade;
      v[static_cast<size_t>(y) * vw + x] = p;
    }
  if (enlarge) {
    glyph->SetDimensions(vw, vh);
    StoreBitmapColors(glyph, v, true);
  } else {
    TRGBColors cut(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) cut[static_cast<size_t>(y) * w + x] = v[static_cast<size_t>(y) * vw + x];
    StoreBitmapColors(glyph, cut, true);
  }
  glyph->Changed(glyph);
}

void AlphaBlendBitmap(TBitmap* dest, const RECT& destRect, TBitmap* source, const RECT& sourceRect,
                      uint8_t opacity, bool smooth) {
  const bool stretch = smooth && !RectsSameSize(destRect, sourceRect);
  const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, AC_SRC_ALPHA};
  HDC destDC = dest->Canvas()->Handle();
  if (cxAlphaBlend && !Win9x() && !stretch) {
    if (cxAlphaBlend(destDC, destRect.left, destRect.top, WidthOfRect(destRect), HeightOfRect(destRect),
                     source->Canvas()->Handle(), sourceRect.left, sourceRect.top, WidthOfRect(sourceRect),
                     HeightOfRect(sourceRect), blend))
      return;
    // The system refused the blend: the software path below draws it.
  }
  const int dw = WidthOfRect(destRect), dh = HeightOfRect(destRect);
  if (dw <= 0 || dh <= 0) return;
  if (!cxAlphaBlend && RectsSameSize(destRect, sourceRect) && dest->BitsPerPixel() == 32 &&
      source->BitsPerPixel() == 32) {
    // The same blend straight on the two bitmaps' pixels: no captures.
    const int sw = source->GetWidth(), sh = source->GetHeight();
    const int tw = dest->GetWidth(), th = dest->GetHeight();
    TRGBColors s, d;
    ReadBitmapPixels(source, true, s);
    ReadBitmapPixels(dest, true, d);
    for (int y = 0; y < dh; ++y) {
      const int ty = destRect.top + y, sy = sourceRect.top + y;
      if (ty < 0 || ty >= th || sy < 0 || sy >= sh) continue;
      for (int x = 0; x < dw; ++x) {
        const int tx = destRect.left + x, sx = sourceRect.left + x;
        if (tx < 0 || tx >= tw || sx < 0 || sx >= sw) continue;
        BlendColorOverPixel(s[static_cast<size_t>(sy) * sw + sx], d[static_cast<size_t>(ty) * tw + tx], opacity);
      }
    }
    StoreBitmapColors(dest, d, true);
    return;
  }
  std::unique_ptr<TBitmap> sourcePart(CaptureDCArea(source->Canvas()->Handle(), sourceRect));
  std::unique_ptr<TBitmap> destPart(CaptureDCArea(destDC, destRect));
  TcxBitmap scaled(dw, dh);
  if (stretch)
    ResampleBitmap(sourcePart.get(), &scaled, true);
  else
    StretchCopyBitmap(&scaled, sourcePart.get());
  bool blended = false;
  if (cxAlphaBlend)
    blended = cxAlphaBlend(destPart->Canvas()->Handle(), 0, 0, dw, dh, scaled.Canvas()->Handle(), 0, 0, dw, dh,
                           blend) != FALSE;
  if (!blended) {
    TRGBColors s, d;
    ReadBitmapPixels(&scaled, true, s);
    ReadBitmapPixels(destPart.get(), true, d);
    for (size_t i = 0; i < d.size(); ++i) BlendColorOverPixel(s[i], d[i], opacity);
    StoreBitmapColors(destPart.get(), d, true);
  }
  BlitRect(destDC, destPart->Canvas()->Handle(), destRect, POINT{0, 0});
}

void DrawImageOverBackground(HDC dc, const RECT& glyphRect, const RECT& destRect, TBitmap* glyph,
                             TCustomImageList* images, int imageIndex, uint8_t mode, bool smoothStretch,
                             HBRUSH backgroundBrush, TColor transparentColor, bool useBitmapTransparentColor) {
  const bool useBitmap = IsBitmapUsable(glyph);
  if (!useBitmap && !IsValidImageIndex(images, imageIndex)) return;
  const int rw = WidthOfRect(destRect), rh = HeightOfRect(destRect);
  if (rw <= 0 || rh <= 0) return;

  // 2. The background.
  TcxBitmap* background = BackgroundWorkBitmap(rw, rh);
  HDC backgroundDC = background->Canvas()->Handle();
  if (backgroundBrush) {
    const RECT all{0, 0, rw, rh};
    FillRect(backgroundDC, &all, backgroundBrush);
  } else {
    BitBlt(backgroundDC, 0, 0, rw, rh, dc, destRect.left, destRect.top, SRCCOPY);
  }
  // 3. The glyph rectangle relative to the background.
  RECT g = ShiftRect(glyphRect, -destRect.left, -destRect.top);
  const int gw = useBitmap ? glyph->GetWidth() : images->Width();
  const int gh = useBitmap ? glyph->GetHeight() : images->Height();

  // 4. The glyph.
  TcxBitmap* work = GlyphWorkBitmap(gw, gh);
  int depth;
  if (useBitmap) {
    BitBlt(work->Canvas()->Handle(), 0, 0, gw, gh, glyph->Canvas()->Handle(), 0, 0, SRCCOPY);
    depth = BitmapColorDepth(glyph);
  } else {
    // The library's own list hands out its stored image, alpha included.
    if (auto* library = ObjectAs<TcxImageList>(images)) library->GetImage(imageIndex, work, nullptr);
    else ExtractImageAndMask(images->Handle(), imageIndex, nullptr, work);
    if (work->GetWidth() != gw || work->GetHeight() != gh || work->BitsPerPixel() != 32) {
      // The extraction resized or reformatted the work bitmap: bring it back.
      TcxBitmap copy(gw, gh);
      copy.CopyBitmap(work);
      work->SetPixelFormat(pf32bit);
      work->SetDimensions(gw, gh);
      work->CopyBitmap(&copy);
    }
    depth = NativePixelFormat(images->Handle());
  }
  const bool hasAlpha = depth >= 32 && work->HasAlpha();
  if (!hasAlpha) work->MakeOpaque();

  // 5. The mask: white where transparent.
  TcxBitmap* mask = MaskWorkBitmap(gw, gh);
  mask->CopyBitmap(work);
  if (!hasAlpha) {
    if (!useBitmap) {
      TBitmap listMask;
      if (auto* library = ObjectAs<TcxImageList>(images)) library->GetImage(imageIndex, nullptr, &listMask);
      else ExtractImageAndMask(images->Handle(), imageIndex, &listMask, nullptr);
      TcxBitmap listMask32(gw, gh);
      if (!listMask.GetEmpty()) listMask32.CopyBitmap(&listMask);
      listMask32.ApplyFilter(cxfCompleteAlpha);
      mask->CopyBitmap(&listMask32, 0x00220326);
    }
    if (transparentColor != clNone) AddColorToList(mask->TransparentColors(), transparentColor);
    if (useBitmapTransparentColor && useBitmap) AddColorToList(mask->TransparentColors(), glyph->TransparentColor());
  }
  mask->ApplyFilter(cxfMask);
  // 6. Transparent pixels of the glyph become 0.
  work->CopyBitmap(mask, 0x00220326);

  // 7. The look.
  uint8_t opacity = 255;
  switch (mode) {
    case idmDisabled:
      if (hasAlpha) {
        work->ApplyFilter(cxfGreyGreen);
        opacity = 151;
      } else {
        work->ApplyFilter(cxfDisable);
        AddOffsetShape(work, mask, 1, clBtnHighlight, false);
      }
      break;
    case idmFaded:
      work->ApplyFilter(cxfGrey);
      opacity = 64;
      break;
    case idmGrayScale: work->ApplyFilter(cxfGreyAverage); break;
    case idmDingy: work->ApplyFilter(cxfLighten); break;
    case idmShadowed:
      AddOffsetShape(work, mask, 2, clBtnShadow, true);
      g.right += 2;
      g.bottom += 2;
      g = ShiftRect(g, -1, -1);
      break;
  }
  // 8. Composite and copy back.
  AlphaBlendBitmap(background, g, work, work->FullRect(), opacity, smoothStretch);
  DrawBitmapToDC(dc, background, destRect, POINT{0, 0}, SRCCOPY);
}

// ---------------------------------------------------------------------------
// Text.

bool MeasureTextExtent(HDC dc, const AnsiString& text, SIZE& size, int count) {
  const int n = count < 0 ? static_cast<int>(text.size()) : std::min(count, static_cast<int>(text.size()));
  return GetTextExtentPoint32A(dc, text.data(), n, &size) != FALSE;
}

int DrawTextInRect(HDC dc, const AnsiString& text, RECT& r, UINT flags, int count) {
  const int n = count < 0 ? static_cast<int>(text.size()) : std::min(count, static_cast<int>(text.size()));
  return DrawTextA(dc, text.data(), n, &r, flags);
}

bool OutputTextAt(HDC dc, const AnsiString& text, POINT p, const RECT* r, UINT options, int count) {
  const int n = count < 0 ? static_cast<int>(text.size()) : std::min(count, static_cast<int>(text.size()));
  return ExtTextOutA(dc, p.x, p.y, options, r, text.data(), static_cast<UINT>(n), nullptr) != FALSE;
}

void TextSizeInFont(TFont* font, const AnsiString& text, int pointSize, SIZE& size) {
  TcxScreenCanvas* canvas = SharedScreenCanvas();
  canvas->SetFont(font);
  if (pointSize != 0) canvas->GetFont()->SetSize(pointSize);
  canvas->MeasureTextSize(text, size);
}

int TextWidthInFont(TFont* font, const AnsiString& text, int pointSize) {
  SIZE size;
  TextSizeInFont(font, text, pointSize, size);
  return size.cx;
}

void MeasureSingleLine(HDC dc, const AnsiString& text, SIZE& size) {
  const RECT r = CalcTextRectForRows(dc, text, 1);
  size = SIZE{r.right, r.bottom};
}

namespace {

RECT MeasureWrapped(HDC dc, const AnsiString& text, int width) {
  RECT r{0, 0, width, 1};
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &r, DT_CALCRECT | DT_WORDBREAK | 0x80000);
  return r;
}

}  // namespace

RECT CalcTextRectForRows(HDC dc, const AnsiString& text, int rows, bool fixHeight) {
  RECT q{0, 0, 0, 0};
  if (rows <= 0) return q;
  if (rows == 1) {
    DrawTextA(dc, text.data(), static_cast<int>(text.size()), &q, DT_CALCRECT | DT_SINGLELINE);
    return q;
  }
  RECT line{0, 0, 0, 0};
  DrawTextA(dc, "Wg", 2, &line, DT_CALCRECT | DT_SINGLELINE);
  const int height = rows * HeightOfRect(line);
  int lo = WidthOfRect(MeasureWrapped(dc, text, 1));
  RECT single{0, 0, 0, 0};
  DrawTextA(dc, text.data(), static_cast<int>(text.size()), &single, DT_CALCRECT | DT_SINGLELINE);
  int hi = WidthOfRect(single);
  while (hi - lo > 1) {
    const int mid = (lo + hi) / 2;
    if (HeightOfRect(MeasureWrapped(dc, text, mid)) > height)
      lo = mid;
    else
      hi = mid;
  }
  q = MeasureWrapped(dc, text, lo);
  if (HeightOfRect(q) > height) q = MeasureWrapped(dc, text, hi);
  if (fixHeight) q.bottom = height;
  return q;
}

void SplitTextIntoLines(const AnsiString& text, TcxCanvas* canvas, const RECT& r, TStrings* lines) {
  auto white = [](char c) { return static_cast<unsigned char>(c) < 33; };
  // The words: runs of other characters; after a word one white-space
  // character is skipped and each further one is a word of its own. Each
  // word is kept as its start and end (white space after it included up to
  // the next word's start).
  std::vector<size_t> starts;
  size_t i = 0;
  while (i < text.size()) {
    starts.push_back(i);
    if (white(text[i])) {
      ++i;
      continue;
    }
    while (i < text.size() && !white(text[i])) ++i;
    if (i < text.size()) ++i;  // the one separating character
  }
  const int width = WidthOfRect(r);
  size_t lineStart = 0;
  size_t k = 0;
  while (k < starts.size()) {
    // Take words while the line up to the end of the next word still fits.
    size_t next = k + 1;
    while (next < starts.size()) {
      // Up to the end of that word (a white-space word is its one character).
      size_t end = starts[next] + 1;
      if (!white(text[starts[next]]))
        while (end < text.size() && !white(text[end])) ++end;
      if (canvas->WidthOfText(text.substr(lineStart, end - lineStart)) > width) break;
      ++next;
    }
    if (next >= starts.size()) break;
    lines->Add(text.substr(lineStart, starts[next] - lineStart));
    lineStart = starts[next];
    k = next;
  }
  if (lineStart < text.size() || lines->Count() == 0) lines->Add(text.substr(lineStart));
}

bool IsSpecialCharsetText(TFontCharset charset, const AnsiString& text) {
  if (charset == DEFAULT_CHARSET) {
    CHARSETINFO info{};
    charset = TranslateCharsetInfo(reinterpret_cast<DWORD*>(static_cast<DWORD_PTR>(GetACP())), &info, TCI_SRCCODEPAGE)
                  ? static_cast<TFontCharset>(info.ciCharset)
                  : ANSI_CHARSET;
  }
  if (!text.empty() && static_cast<unsigned char>(text[0]) < 128) return false;
  return charset == GB2312_CHARSET || charset == CHINESEBIG5_CHARSET || charset == ARABIC_CHARSET;
}

// ---------------------------------------------------------------------------
// Parent background.

namespace {

// Paints `control` with the window origin moved by `shift`, when its area
// `q` (in its own co-ordinates) is visible.
void PaintControlInto(TWinControl* control, TcxCanvas* canvas, POINT shift, const RECT& q, bool drawBorder) {
  HDC dc = canvas->GetDeviceContext();
  TSavedDCGuard saved(dc);
  POINT origin;
  GetWindowOrgEx(dc, &origin);
  SetWindowOrgEx(dc, origin.x + shift.x, origin.y + shift.y, nullptr);
  if (!RectVisible(dc, &q)) return;
  HWND wnd = control->Handle();
  if (drawBorder) {
    RECT edge{0, 0, control->Width(), control->Height()};
    const LONG_PTR exStyle = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    const LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    if (exStyle & WS_EX_CLIENTEDGE)
      DrawEdge(dc, &edge, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    else if (style & WS_BORDER)
      DrawEdge(dc, &edge, 3, BF_RECT | BF_ADJUST | BF_MONO);
    IntersectClipRect(dc, edge.left, edge.top, edge.right, edge.bottom);
    POINT o;
    GetWindowOrgEx(dc, &o);
    SetWindowOrgEx(dc, o.x - edge.left, o.y - edge.top, nullptr);
  }
  // The control paints a copy for the duration (csPaintCopy), with the
  // canvas locked; both are undone however the painting ends.
  struct TPaintCopyScope {
    TWinControl* Control;
    TCanvas* Canvas;
    bool WasMarked;
    TPaintCopyScope(TWinControl* control, TCanvas* canvas)
        : Control(control), Canvas(canvas), WasMarked(control->ControlState().Contains(csPaintCopy)) {
      Control->SetControlState(Control->ControlState() + csPaintCopy);
      Canvas->Lock();
    }
    ~TPaintCopyScope() {
      Canvas->Unlock();
      if (!WasMarked) Control->SetControlState(Control->ControlState() - csPaintCopy);
    }
  } scope(control, canvas->Canvas());
  SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageA(wnd, WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
}

}  // namespace

void PaintParentInto(TControl* control, TcxCanvas* canvas, const RECT& r, bool withChildren) {
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (!parent || !parent->HandleAllocated()) return;
  // The parent paints at its own co-ordinates: r moved by the control's place.
  const POINT shift{control->Left(), control->Top()};
  const RECT q = ShiftRect(r, shift.x, shift.y);
  PaintControlInto(parent, canvas, shift, q, false);
  if (!withChildren) return;
  for (int i = 0; i < parent->ControlCount(); ++i) {
    TControl* child = parent->Controls(i);
    if (child == control) break;
    auto* windowed = ObjectAs<TWinControl>(child);
    if (!windowed || !windowed->Visible() || !windowed->HandleAllocated()) continue;
    const POINT childShift{shift.x - child->Left(), shift.y - child->Top()};
    PaintControlInto(windowed, canvas, childShift, ShiftRect(q, -child->Left(), -child->Top()), true);
  }
}

void DrawParentBackground(TControl* control, TcxCanvas* canvas, const RECT& r) {
  TWinControl* parent = control ? control->Parent() : nullptr;
  if (!parent) return;
  if (parent->DoubleBuffered() || !IsThemeLibraryBound()) {
    PaintParentInto(control, canvas, r, false);
    return;
  }
  auto* controlWindow = ObjectAs<TWinControl>(control);
  if (controlWindow && controlWindow->HandleAllocated()) {
    RECT area = r;
    UxDrawThemeParentBackground(controlWindow->Handle(), canvas->GetDeviceContext(), &area);
  } else {
    PaintParentInto(control, canvas, r, false);
  }
}

// ---------------------------------------------------------------------------
// Unit.

void cxGraphicsInit() {
  MsImg32 = LoadLibraryA("msimg32.dll");
  cxAlphaBlend = MsImg32 ? reinterpret_cast<TAlphaBlendProc>(
                               reinterpret_cast<void*>(GetProcAddress(MsImg32, "AlphaBlend")))
                         : nullptr;
}

void cxGraphicsDone() {
  cxAlphaBlend = nullptr;
  if (MsImg32) FreeLibrary(MsImg32);
  MsImg32 = nullptr;
  delete ScreenCanvas;
  ScreenCanvas = nullptr;
  for (TcxBitmap*& b : WorkBitmaps) {
    delete b;
    b = nullptr;
  }
}
