#include "platform/Bitmap.h"

#include <algorithm>
#include <cstring>

namespace {

// A BITMAPINFO with room for masks or a full colour table.
struct TDibHeader {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
};

void FillDibHeader(TDibHeader& dib, int width, int height, int bitCount, bool rgb565,
                   const std::vector<uint32_t>& palette) {
  std::memset(&dib, 0, sizeof dib);
  dib.Header.biSize = sizeof(BITMAPINFOHEADER);
  dib.Header.biWidth = width;
  dib.Header.biHeight = height;
  dib.Header.biPlanes = 1;
  dib.Header.biBitCount = static_cast<WORD>(bitCount);
  dib.Header.biCompression = BI_RGB;
  if (bitCount == 16 && rgb565) {
    dib.Header.biCompression = BI_BITFIELDS;
    DWORD masks[3] = {0xF800, 0x07E0, 0x001F};
    std::memcpy(dib.Colors, masks, sizeof masks);
  } else if (bitCount <= 8) {
    size_t count = std::min<size_t>(palette.size(), size_t{1} << bitCount);
    dib.Header.biClrUsed = static_cast<DWORD>(count);
    for (size_t i = 0; i < count; ++i) std::memcpy(&dib.Colors[i], &palette[i], 4);
  }
}

std::vector<uint32_t> DefaultColorTable(int bitCount) {
  std::vector<uint32_t> table;
  if (bitCount == 1) {
    table = {0x000000, 0xFFFFFF};
  } else if (bitCount == 4) {
    table = {0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
             0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};
  } else if (bitCount == 8) {
    // A 6 x 6 x 6 colour cube followed by a grey ramp.
    for (int r = 0; r < 6; ++r)
      for (int g = 0; g < 6; ++g)
        for (int b = 0; b < 6; ++b) table.push_back((r * 51u) << 16 | (g * 51u) << 8 | (b * 51u));
    // Greys between those of the cube (which has 0, 51, ... 255).
    for (uint32_t grey = 6; table.size() < 256; grey += 6)
      if (grey % 51 != 0) table.push_back(grey * 0x010101u);
  }
  return table;
}

int DeviceBits() {
  static const int bits = [] {
    TScreenDC dc;
    int value = dc.Get() ? GetDeviceCaps(dc.Get(), BITSPIXEL) * GetDeviceCaps(dc.Get(), PLANES) : 32;
    return value <= 8 ? 8 : value <= 16 ? 16 : 32;
  }();
  return bits;
}

// A colour table as a logical palette.
HPALETTE PaletteFromTable(const std::vector<uint32_t>& table) {
  if (table.empty()) return nullptr;
  std::vector<uint8_t> buffer(sizeof(LOGPALETTE) + table.size() * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(table.size());
  for (size_t i = 0; i < table.size(); ++i) {
    palette->palPalEntry[i].peRed = static_cast<BYTE>(table[i] >> 16);
    palette->palPalEntry[i].peGreen = static_cast<BYTE>(table[i] >> 8);
    palette->palPalEntry[i].peBlue = static_cast<BYTE>(table[i]);
    palette->palPalEntry[i].peFlags = 0;
  }
  return CreatePalette(palette);
}

}  // namespace

// ---------------------------------------------------------------------------
// TBitmapCanvas

void TBitmapCanvas::CreateHandle() {
  FBitmap->HandleNeeded();
  auto dc = std::make_unique<TMemoryDC>();
  if (HBITMAP bitmap = FBitmap->Handle()) FBitmapSelection.Select(dc->Get(), bitmap);
  if (HPALETTE palette = FBitmap->GetPalette()) {
    FPreviousPalette = SelectPalette(dc->Get(), palette, TRUE);
    RealizePalette(dc->Get());
  }
  FMemoryDC = std::move(dc);
  SetHandle(FMemoryDC->Get());
}

void TBitmapCanvas::FreeContext() {
  if (!FMemoryDC) return;
  SetHandle(nullptr);
  if (FPreviousPalette) SelectPalette(FMemoryDC->Get(), FPreviousPalette, TRUE);
  FPreviousPalette = nullptr;
  FBitmapSelection.Restore();
  FMemoryDC.reset();
}

// ---------------------------------------------------------------------------
// TBitmap

const TClassInfo TBitmap::ClassInfo = {"TBitmap", &TGraphic::ClassInfo,
                                       [](TObject*) -> TObject* { return new TBitmap(); }};

TBitmap::~TBitmap() { FreeContext(); }

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

int TBitmap::FormatBits(TPixelFormat format) {
  switch (format) {
    case TPixelFormat::pf1bit: return 1;
    case TPixelFormat::pf4bit: return 4;
    case TPixelFormat::pf8bit: return 8;
    case TPixelFormat::pf15bit:
    case TPixelFormat::pf16bit: return 16;
    case TPixelFormat::pf24bit: return 24;
    case TPixelFormat::pf32bit: return 32;
    default: return DeviceBits();
  }
}

void TBitmap::NewImage(int width, int height, int bitCount, bool rgb565, const std::vector<uint32_t>& palette,
                       const void* bits) {
  if (width < 0 || height < 0) throw EInvalidGraphic("Bitmap size is not valid");
  FreeContext();
  FDormantImage.reset();
  FPalette.Reset();
  FMask.Reset();
  std::vector<uint32_t> table = bitCount <= 8 ? (palette.empty() ? DefaultColorTable(bitCount) : palette)
                                              : std::vector<uint32_t>();
  TGdiObject handle;
  void* pixels = nullptr;
  if (width > 0 && height > 0) {
    if (static_cast<uint64_t>(width) * static_cast<uint64_t>(height) > MaxBmpPixels)
      throw EOutOfResources("Out of system resources");
    TDibHeader dib;
    FillDibHeader(dib, width, height, bitCount, rgb565, table);
    handle.Reset(CheckGDI(CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&dib), DIB_RGB_COLORS, &pixels,
                                           nullptr, 0)));
    size_t size = BmpStride(width, bitCount) * static_cast<size_t>(height);
    if (bits)
      std::memcpy(pixels, bits, size);
    else
      std::memset(pixels, 0xFF, size);  // white (index 1 / last entry of a default table)
  }
  FHandle = std::move(handle);
  FBits = pixels;
  FWidth = width;
  FHeight = height;
  FBitCount = bitCount;
  FRgb565 = bitCount == 16 && rgb565;
  FTopDown = false;
  FColorTable = std::move(table);
}

void TBitmap::HandleNeeded() {
  if (!FDormantImage) return;
  std::unique_ptr<TBmpImage> image = std::move(FDormantImage);
  NewImage(image->Width, image->Height, image->BitCount, image->Rgb565, image->Palette, image->Bits.data());
}

void TBitmap::CopyImageFrom(HBITMAP source, int width, int height) {
  if (!source || !FHandle) return;
  TMemoryDC from, to;
  TSelectObjectGuard fromSelection(from.Get(), source);
  TSelectObjectGuard toSelection(to.Get(), FHandle.Get());
  BitBlt(to.Get(), 0, 0, std::min(width, FWidth), std::min(height, FHeight), from.Get(), 0, 0, SRCCOPY);
  GdiFlush();
}

void TBitmap::SetSize(int width, int height) {
  HandleNeeded();
  if (width == FWidth && height == FHeight) return;
  TGdiObject previous = std::move(FHandle);
  int oldWidth = FWidth, oldHeight = FHeight;
  std::vector<uint32_t> table = FColorTable;
  FreeContext();
  try {
    NewImage(width, height, FBitCount, FRgb565, table, nullptr);
  } catch (...) {
    FHandle = std::move(previous);  // a refused size keeps the picture
    throw;
  }
  // New bitmap sections of 1, 4 and 8 bits get white only where the table has it.
  CopyImageFrom(static_cast<HBITMAP>(previous.Get()), oldWidth, oldHeight);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat value) {
  HandleNeeded();
  if (value == FPixelFormat || value == TPixelFormat::pfCustom) return;
  int bits = FormatBits(value);
  bool rgb565 = value == TPixelFormat::pf16bit;
  TPixelFormat previousFormat = FPixelFormat;
  FPixelFormat = value;
  if (bits == FBitCount && rgb565 == FRgb565) return;
  TGdiObject previous = std::move(FHandle);
  FreeContext();
  try {
    NewImage(FWidth, FHeight, bits, rgb565, {}, nullptr);
  } catch (...) {
    FHandle = std::move(previous);
    FPixelFormat = previousFormat;
    throw;
  }
  CopyImageFrom(static_cast<HBITMAP>(previous.Get()), FWidth, FHeight);
  Changed(this);
}

HPALETTE TBitmap::GetPalette() {
  HandleNeeded();
  if (!FPalette && !FColorTable.empty()) FPalette.Reset(PaletteFromTable(FColorTable));
  return static_cast<HPALETTE>(FPalette.Get());
}

void TBitmap::SetPalette(HPALETTE palette) {
  HandleNeeded();
  TGdiObject taken(palette);
  if (!palette || FBitCount > 8) return;
  PALETTEENTRY entries[256];
  UINT count = GetPaletteEntries(palette, 0, std::min<UINT>(256, 1u << FBitCount), entries);
  if (count == 0) return;
  std::vector<uint32_t> table(count);
  for (UINT i = 0; i < count; ++i)
    table[i] = (static_cast<uint32_t>(entries[i].peRed) << 16) | (static_cast<uint32_t>(entries[i].peGreen) << 8) |
               entries[i].peBlue;
  FreeContext();
  if (FHandle) {
    TMemoryDC dc;
    TSelectObjectGuard selection(dc.Get(), FHandle.Get());
    std::vector<RGBQUAD> quads(count);
    std::memcpy(quads.data(), table.data(), count * sizeof(RGBQUAD));
    SetDIBColorTable(dc.Get(), 0, count, quads.data());
  }
  FColorTable = std::move(table);
  FPalette = std::move(taken);
  SetPaletteModified(true);
  Changed(this);
}

TCanvas* TBitmap::Canvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->OnChange = TNotifyEvent::Lambda([this](TObject* sender) { Changed(sender); });
  }
  return FCanvas.get();
}

HBITMAP TBitmap::Handle() {
  HandleNeeded();
  return static_cast<HBITMAP>(FHandle.Get());
}

void TBitmap::SetHandle(HBITMAP bitmap) {
  if (bitmap && bitmap == FHandle.Get()) return;
  FreeContext();
  FDormantImage.reset();
  FPalette.Reset();
  if (!bitmap) {
    NewImage(0, 0, FBitCount, FRgb565, FColorTable, nullptr);
    Changed(this);
    return;
  }
  DIBSECTION section{};
  if (::GetObjectA(bitmap, sizeof section, &section) == sizeof section && section.dsBm.bmBits) {
    const BITMAPINFOHEADER& h = section.dsBmih;
    int bits = h.biBitCount;
    bool rgb565 = bits == 16 && h.biCompression == BI_BITFIELDS && section.dsBitfields[1] == 0x07E0;
    bool canonical = bits == 1 || bits == 4 || bits == 8 || bits == 24 ||
                     (bits == 32 && (h.biCompression == BI_RGB || section.dsBitfields[0] == 0xFF0000)) ||
                     (bits == 16 && (h.biCompression == BI_RGB || rgb565 || section.dsBitfields[1] == 0x03E0));
    if (canonical) {
      FHandle.Reset(bitmap);
      FBits = section.dsBm.bmBits;
      FWidth = h.biWidth;
      FHeight = std::abs(h.biHeight);
      FTopDown = h.biHeight < 0;
      FBitCount = bits;
      FRgb565 = rgb565;
      FColorTable.clear();
      if (bits <= 8) {
        TMemoryDC dc;
        TSelectObjectGuard selection(dc.Get(), bitmap);
        RGBQUAD quads[256];
        UINT count = GetDIBColorTable(dc.Get(), 0, 256, quads);
        FColorTable.resize(count);
        std::memcpy(FColorTable.data(), quads, count * sizeof(RGBQUAD));
        for (uint32_t& c : FColorTable) c &= 0x00FFFFFF;
      }
      FPixelFormat = bits == 1 ? TPixelFormat::pf1bit
                     : bits == 4 ? TPixelFormat::pf4bit
                     : bits == 8 ? TPixelFormat::pf8bit
                     : bits == 16 ? (rgb565 ? TPixelFormat::pf16bit : TPixelFormat::pf15bit)
                     : bits == 24 ? TPixelFormat::pf24bit
                                  : TPixelFormat::pf32bit;
      Changed(this);
      return;
    }
  }
  // A device-dependent bitmap (or an unusual section): copy it into our own section.
  TGdiObject source(bitmap);
  BITMAP info{};
  if (::GetObjectA(bitmap, sizeof info, &info) == 0) throw EInvalidGraphic("Invalid bitmap handle");
  bool mono = info.bmBitsPixel == 1 && info.bmPlanes == 1;
  FPixelFormat = mono ? TPixelFormat::pf1bit : TPixelFormat::pf32bit;
  NewImage(info.bmWidth, info.bmHeight, mono ? 1 : 32, false, {}, nullptr);
  CopyImageFrom(bitmap, info.bmWidth, info.bmHeight);
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  HandleNeeded();
  FreeContext();
  auto handle = static_cast<HBITMAP>(FHandle.Release());
  FBits = nullptr;
  FWidth = FHeight = 0;
  FPalette.Reset();
  return handle;
}

void* TBitmap::ScanLine(int row) {
  HandleNeeded();
  if (row < 0 || row >= FHeight || !FBits) throw EInvalidGraphicOperation("Scan line index out of range");
  GdiFlush();  // drawing through the canvas may still be queued
  size_t stride = BmpStride(FWidth, FBitCount);
  int index = FTopDown ? row : FHeight - 1 - row;
  return static_cast<uint8_t*>(FBits) + stride * static_cast<size_t>(index);
}

TColor TBitmap::TransparentColor() {
  if (FTransparentMode == TTransparentMode::tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (Empty()) return clDefault;
  return Canvas()->Pixels(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor value) {
  if (value == FTransparentColor) return;
  FTransparentColor = value;
  FTransparentMode = value == clDefault ? TTransparentMode::tmAuto : TTransparentMode::tmFixed;
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode value) {
  if (value == FTransparentMode) return;
  if (value == TTransparentMode::tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(TransparentColor());
}

void TBitmap::Draw(TCanvas* canvas, const RECT& r) {
  if (!canvas || Empty()) return;
  HDC target = canvas->Handle();
  HDC source = Canvas()->Handle();
  int width = r.right - r.left, height = r.bottom - r.top;
  bool stretched = width != FWidth || height != FHeight;
  int previousMode = stretched ? SetStretchBltMode(target, COLORONCOLOR) : 0;
  if (GetTransparent()) {
    TColor key = TransparentColor();
    TransparentBlt(target, r.left, r.top, width, height, source, 0, 0, FWidth, FHeight,
                      ResolveColor(key, clWhite));
  } else {
    StretchBlt(target, r.left, r.top, width, height, source, 0, 0, FWidth, FHeight, canvas->CopyMode());
  }
  if (stretched) SetStretchBltMode(target, previousMode);
}

HBITMAP TBitmap::MaskHandle() {
  if (!FMask && !Empty()) {
    // Compared pixel by pixel rather than through a colour-to-monochrome
    // copy, whose choice of background colour differs between Windows and Wine.
    COLORREF key = ResolveColor(TransparentColor(), clWhite);
    uint32_t keyPixel = (GetRValue(key) << 16) | (GetGValue(key) << 8) | GetBValue(key);
    TBitmap pixels;
    pixels.Assign(this);
    pixels.SetPixelFormat(pf32bit);
    size_t stride = (static_cast<size_t>(FWidth) + 15) / 16 * 2;  // monochrome rows are word-aligned
    std::vector<uint8_t> bits(stride * static_cast<size_t>(FHeight), 0);
    for (int y = 0; y < FHeight; ++y) {
      const auto* row = static_cast<const uint32_t*>(pixels.ScanLine(y));
      for (int x = 0; x < FWidth; ++x)
        if ((row[x] & 0x00FFFFFF) == keyPixel) bits[stride * y + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
    FMask.Reset(CheckGDI(CreateBitmap(FWidth, FHeight, 1, 1, bits.data())));
  }
  return static_cast<HBITMAP>(FMask.Get());
}

void TBitmap::Changed(TObject* sender) {
  FMask.Reset();
  TGraphic::Changed(sender);
}

void TBitmap::Dormant() {
  if (!FHandle) return;
  auto image = std::make_unique<TBmpImage>(SaveToImage());
  FreeContext();
  FHandle.Reset();
  FPalette.Reset();
  FBits = nullptr;
  FDormantImage = std::move(image);
}

void TBitmap::Assign(TPersistent* source) {
  if (auto* bitmap = ObjectAs<TBitmap>(source)) {
    if (bitmap == this) return;
    FPixelFormat = bitmap->FPixelFormat;
    if (bitmap->Empty()) {
      NewImage(bitmap->FWidth, bitmap->FHeight, bitmap->FBitCount, bitmap->FRgb565, bitmap->FColorTable, nullptr);
    } else {
      LoadFromImage(bitmap->SaveToImage());
      FPixelFormat = bitmap->FPixelFormat;
    }
    FTransparent = bitmap->FTransparent;
    FTransparentColor = bitmap->FTransparentColor;
    FTransparentMode = bitmap->FTransparentMode;
    Changed(this);
    return;
  }
  if (!source) {
    NewImage(0, 0, FBitCount, FRgb565, FColorTable, nullptr);
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

TBmpImage TBitmap::SaveToImage() {
  HandleNeeded();
  TBmpImage image;
  image.Width = FWidth;
  image.Height = FHeight;
  image.BitCount = static_cast<uint16_t>(FBitCount);
  image.Rgb565 = FRgb565;
  image.Palette = FColorTable;
  if (!FBits) return image;
  GdiFlush();
  size_t stride = BmpStride(FWidth, FBitCount);
  image.Bits.resize(stride * static_cast<size_t>(FHeight));
  if (!FTopDown) {
    std::memcpy(image.Bits.data(), FBits, image.Bits.size());
  } else {
    for (int row = 0; row < FHeight; ++row)
      std::memcpy(image.Bits.data() + stride * static_cast<size_t>(FHeight - 1 - row),
                  static_cast<uint8_t*>(FBits) + stride * static_cast<size_t>(row), stride);
  }
  return image;
}

void TBitmap::LoadFromImage(const TBmpImage& image) {
  if (image.Bits.size() != image.Stride() * static_cast<size_t>(image.Height))
    throw EInvalidGraphic("Bitmap image is not valid: the pixel data does not match the size");
  NewImage(image.Width, image.Height, image.BitCount, image.Rgb565, image.Palette, image.Bits.data());
  FPixelFormat = image.BitCount == 1   ? TPixelFormat::pf1bit
                 : image.BitCount == 4 ? TPixelFormat::pf4bit
                 : image.BitCount == 8 ? TPixelFormat::pf8bit
                 : image.BitCount == 16 ? (image.Rgb565 ? TPixelFormat::pf16bit : TPixelFormat::pf15bit)
                 : image.BitCount == 24 ? TPixelFormat::pf24bit
                                        : TPixelFormat::pf32bit;
  Changed(this);
}

void TBitmap::LoadFromStream(TStream& stream) {
  int64_t available = stream.Size() - stream.Position();
  if (available <= 0) {
    NewImage(0, 0, FBitCount, FRgb565, FColorTable, nullptr);
    Changed(this);
    return;
  }
  // The file header's size says where the bitmap ends, so a stream may carry
  // more after it; a size that is missing or too large means "the rest".
  std::vector<uint8_t> bytes(14);
  if (available < 14) throw EInvalidGraphic("Bitmap image is not valid: the file is too short");
  stream.ReadBuffer(bytes.data(), 14);
  uint32_t fileSize = bytes[2] | (bytes[3] << 8) | (bytes[4] << 16) | (static_cast<uint32_t>(bytes[5]) << 24);
  int64_t length = fileSize >= 14 + 12 && fileSize <= available ? fileSize : available;
  if (length > 0x40000000) throw EInvalidGraphic("Bitmap image is not valid: the file is too large");
  bytes.resize(static_cast<size_t>(length));
  stream.ReadBuffer(bytes.data() + 14, length - 14);
  LoadFromImage(DecodeBmp(bytes.data(), bytes.size(), true));
}

void TBitmap::SaveToStream(TStream& stream) {
  if (Empty()) return;
  std::vector<uint8_t> bytes = EncodeBmp(SaveToImage());
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBitmap::ReadData(TStream& stream) {
  uint32_t size = stream.ReadDWord();
  if (size > stream.Size() - stream.Position())
    throw EInvalidGraphic("Bitmap image is not valid: the data is longer than the stream");
  if (size == 0) {
    NewImage(0, 0, FBitCount, FRgb565, FColorTable, nullptr);
    Changed(this);
    return;
  }
  std::vector<uint8_t> bytes(size);
  stream.ReadBuffer(bytes.data(), size);
  LoadFromImage(DecodeBmp(bytes.data(), bytes.size(), true));
}

void TBitmap::WriteData(TStream& stream) {
  std::vector<uint8_t> bytes;
  if (!Empty()) bytes = EncodeBmp(SaveToImage());
  stream.WriteDWord(static_cast<uint32_t>(bytes.size()));
  if (!bytes.empty()) stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

void TBitmap::LoadFromResourceName(HINSTANCE instance, const AnsiString& name) {
  HRSRC resource = FindResourceA(instance, name.c_str(), reinterpret_cast<LPCSTR>(RT_BITMAP));
  if (!resource) throw EInvalidGraphic(Format("Resource %s not found", name.c_str()));
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw EInvalidGraphic(Format("Resource %s not found", name.c_str()));
  LoadFromImage(DecodeBmp(static_cast<const uint8_t*>(data), SizeofResource(instance, resource), false));
}

void TBitmap::LoadFromResourceID(HINSTANCE instance, int id) {
  HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_BITMAP));
  if (!resource) throw EInvalidGraphic(Format("Resource %d not found", id));
  HGLOBAL loaded = LoadResource(instance, resource);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (!data) throw EInvalidGraphic(Format("Resource %d not found", id));
  LoadFromImage(DecodeBmp(static_cast<const uint8_t*>(data), SizeofResource(instance, resource), false));
}

void TBitmap::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  if (format == CF_DIB && data) {
    // Another program's block: its size is what the system says, whatever
    // the header claims.
    const SIZE_T size = GlobalSize(data);
    const void* bytes = GlobalLock(data);
    if (!bytes) throw EInvalidGraphic("Invalid bitmap handle");
    TBmpImage image;
    try {
      image = DecodeBmp(static_cast<const uint8_t*>(bytes), size, false);
    } catch (...) {
      GlobalUnlock(data);
      throw;
    }
    GlobalUnlock(data);
    LoadFromImage(image);
    return;
  }
  if (format != CF_BITMAP || !data) throw EInvalidGraphic("Unsupported clipboard format");
  // The clipboard keeps its bitmap: take a copy.
  BITMAP info{};
  if (::GetObjectA(data, sizeof info, &info) == 0) throw EInvalidGraphic("Invalid bitmap handle");
  FPixelFormat = TPixelFormat::pf32bit;
  NewImage(info.bmWidth, info.bmHeight, 32, false, {}, nullptr);
  CopyImageFrom(static_cast<HBITMAP>(data), info.bmWidth, info.bmHeight);
  (void)palette;
  Changed(this);
}

void TBitmap::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  format = CF_BITMAP;
  TBitmap copy;
  copy.Assign(this);
  data = copy.ReleaseHandle();
  palette = nullptr;
}
