#include "foundation/GdiPlusClasses.h"

#include "foundation/Classes.h"
#include "platform/ComStream.h"
#include "platform/Exceptions.h"

#include <cmath>
#include <cstring>

namespace {

// Every GDI+ call below needs the library; an image object made while it
// was missing refuses clearly instead of calling an unbound entry point.
void RequireGdiPlus() {
  if (!IsGdiPlusAvailable()) throw EInvalidOperation("GDI+ is not available");
}

// A status for "invalid parameter", for operations on an image that holds nothing.
constexpr GpStatus GpInvalidParameter = 2;

}  // namespace

// ---------------------------------------------------------------------------
// TdxGPImage

const TClassInfo TdxGPImage::ClassInfo{"TdxGPImage", &TdxGPBase::ClassInfo,
                                       [](TObject*) -> TObject* { return new TdxGPImage; }};
const TClassInfo TdxGPNullImage::ClassInfo{"TdxGPNullImage", &TdxGPImage::ClassInfo,
                                           [](TObject*) -> TObject* { return new TdxGPNullImage; }};

TClass GPImageClass = &TdxGPNullImage::ClassInfo;

TdxGPImage* CreateGPImage() { return static_cast<TdxGPImage*>(CreateObject(GPImageClass)); }

TdxGPImage::~TdxGPImage() {
  // A destructor cannot raise: a failed dispose is only lost memory of GDI+.
  if (FHandle && GdiPlusEntries[gpeDisposeImage]) GdipDisposeImage(FHandle);
}

void TdxGPImage::SizeOf(float& width, float& height) {
  width = height = 0;
  if (!FHandle) return;
  CheckGdiPlusStatus(GdipGetImageDimension(FHandle, &width, &height));
}

int TdxGPImage::Width() {
  float w, h;
  SizeOf(w, h);
  return static_cast<int>(w);
}

int TdxGPImage::Height() {
  float w, h;
  SizeOf(w, h);
  return static_cast<int>(h);
}

void TdxGPImage::DecodeFromStream(TStream& stream) {
  RequireGdiPlus();
  // The data from the current position on: a form's picture data follows
  // its class name in the same stream.
  const int64_t size = stream.Size() - stream.Position();
  if (size <= 0 || size > 0x7FFFFFFF) throw EInvalidGraphic("Picture data is empty or too large");
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(size));
  if (!block) throw EOutOfMemory("Out of memory");
  try {
    void* data = GlobalLock(block);
    try {
      stream.ReadBuffer(data, size);
    } catch (...) {
      GlobalUnlock(block);
      throw;
    }
    GlobalUnlock(block);
  } catch (...) {
    GlobalFree(block);
    throw;
  }
  // The COM stream owns the block, and GDI+ holds the stream for as long as
  // the image may read from it, so the data outlives every lazy decode.
  TComPtr<IStream> com;
  if (FAILED(CreateStreamOnHGlobal(block, TRUE, com.Put()))) {
    GlobalFree(block);
    CheckGdiPlusStatus(GpInvalidParameter);
  }
  GpImage* image = nullptr;
  CheckGdiPlusStatus(GdipCreateBitmapFromStream(com.Get(), &image));
  FHandle = image;
}

void TdxGPImage::ConstructFromBitmap(TBitmap* bitmap) {
  EnsurePngEncoder();
  auto pixels = std::make_shared<std::vector<uint32_t>>();
  GetBitmapBits32(bitmap, *pixels);
  ConstructFromPixels(bitmap->Width(), bitmap->Height(), pixels,
                      bitmap->PixelFormat() == TPixelFormat::pf32bit);
}

void TdxGPImage::ConstructFromPixels(int width, int height, const TdxRGBColors& pixels, bool alpha) {
  RequireGdiPlus();
  if (width < 0 || height < 0 || !pixels ||
      pixels->size() < static_cast<size_t>(width) * static_cast<size_t>(height))
    throw EInvalidGraphic("Pixel array does not match the image size");
  FPixels = pixels;
  if (!alpha)
    for (uint32_t& p : *FPixels) p |= 0xFF000000u;
  GpImage* image = nullptr;
  CheckGdiPlusStatus(GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppPARGB,
                                               reinterpret_cast<BYTE*>(FPixels->data()), &image));
  FHandle = image;
}

void TdxGPImage::ConstructFromStream(TStream& stream) {
  if (!IsGdiPlusAvailable() || stream.Size() - stream.Position() <= 13) return;
  uint8_t head[14];
  stream.ReadBuffer(head, sizeof head);
  stream.Seek(-14, TSeekOrigin::soCurrent);
  if (head[0] == 'B' && head[1] == 'M') {
    TBitmap bitmap;
    bitmap.LoadFromStream(stream);
    ConstructFromBitmap(&bitmap);
  } else {
    DecodeFromStream(stream);
  }
}

TdxGPImage* TdxGPImage::Duplicate() {
  TdxGPImage* copy = CreateGPImage();
  try {
    if (FPixels) {
      copy->ConstructFromPixels(Width(), Height(), FPixels, true);
    } else if (FHandle) {
      RequireGdiPlus();
      GpImage* clone = nullptr;
      CheckGdiPlusStatus(GdipCloneImage(FHandle, &clone));
      copy->FHandle = clone;
    }
  } catch (...) {
    delete copy;
    throw;
  }
  return copy;
}

void TdxGPImage::EncodeAsPngTo(TMemoryStream& stream) {
  RequireGdiPlus();
  if (!FHandle) CheckGdiPlusStatus(GpInvalidParameter);
  EnsurePngEncoder();
  TComPtr<IStream> adapter(new TStreamAdapter(&stream, soReference));
  CheckGdiPlusStatus(GdipSaveImageToStream(FHandle, adapter.Get(), &PngEncoderClsid(), nullptr));
}

TdxGPImage* TdxGPImage::BlendWith(TdxGPImage* other, uint8_t alpha) {
  if (!FPixels) return nullptr;
  const int width = Width();
  const int height = Height();
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  // The other image must have at least as many pixels; it is never read past its end.
  if (!other || !other->FPixels || other->FPixels->size() < count || FPixels->size() < count) return nullptr;
  const float f = alpha / 255.0f;
  const double keep = 1.0 - static_cast<double>(f);
  auto blended = std::make_shared<std::vector<uint32_t>>(count);
  const auto* a = reinterpret_cast<const uint8_t*>(FPixels->data());
  const auto* b = reinterpret_cast<const uint8_t*>(other->FPixels->data());
  auto* out = reinterpret_cast<uint8_t*>(blended->data());
  // Rounded to nearest with halves to even (the default rounding mode).
  for (size_t i = 0; i < count * 4; ++i)
    out[i] = static_cast<uint8_t>(std::nearbyint(keep * a[i] + static_cast<double>(f) * b[i]));
  TdxGPImage* image = CreateGPImage();
  try {
    image->ConstructFromPixels(width, height, blended, true);
  } catch (...) {
    delete image;
    throw;
  }
  return image;
}

void TdxGPImage::DrawOnDC(HDC dc, const RECT& dest) {
  if (!FHandle || !IsGdiPlusAvailable()) return;
  // Measured first: a size query that raises must not leave the graphics open.
  const int width = Width();
  const int height = Height();
  GpGraphics* graphics = nullptr;
  if (GdipCreateFromHDC(dc, &graphics) != GpOk || !graphics) return;
  const GpStatus drawn = GdipDrawImageRectRectI(graphics, FHandle, dest.left, dest.top, dest.right - dest.left,
                                                dest.bottom - dest.top, 0, 0, width, height, UnitPixel);
  const GpStatus deleted = GdipDeleteGraphics(graphics);
  CheckGdiPlusStatus(drawn);
  CheckGdiPlusStatus(deleted);
}

// ---------------------------------------------------------------------------
// Unit routines

void GetBitmapBits32(TBitmap* bitmap, std::vector<uint32_t>& pixels) {
  const int width = bitmap->Width();
  const int height = bitmap->Height();
  pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
  if (width <= 0 || height <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  // GetDIBits needs the bitmap out of every device context.
  bitmap->FreeContext();
  TScreenDC screen;
  if (GetDIBits(screen.Get(), bitmap->Handle(), 0, static_cast<UINT>(height), pixels.data(), &info,
                DIB_RGB_COLORS) != 0)
    return;
  if (bitmap->PixelFormat() == TPixelFormat::pf32bit)
    for (int row = 0; row < height; ++row)
      std::memcpy(pixels.data() + static_cast<size_t>(row) * width, bitmap->ScanLine(row),
                  static_cast<size_t>(width) * 4);
}

TdxGPImage* GPImageFromGraphic(TGraphic* graphic) {
  IsGdiPlusAvailable();
  auto* bitmap = ObjectAs<TBitmap>(graphic);
  if (!bitmap) throw EInvalidGraphic(std::string("Cannot make a GDI+ image of a ") + graphic->ClassName());
  TdxGPImage* image = CreateGPImage();
  try {
    image->ConstructFromBitmap(bitmap);
  } catch (...) {
    delete image;
    throw;
  }
  return image;
}

// ---------------------------------------------------------------------------
// TdxPNGImage

const TClassInfo TdxPNGImage::ClassInfo{"TdxPNGImage", &TGraphic::ClassInfo,
                                        [](TObject*) -> TObject* { return new TdxPNGImage; }};

TdxPNGImage::~TdxPNGImage() { delete FImage; }

void TdxPNGImage::ReplaceImage(TdxGPImage* image) {
  if (image == FImage) return;
  delete FImage;
  FImage = image;
}

void TdxPNGImage::LoadFromStream(TStream& stream) {
  if (stream.Size() == 0) {
    ReplaceImage(nullptr);
    return;
  }
  TdxGPImage* image = CreateGPImage();
  try {
    image->ConstructFromStream(stream);
  } catch (...) {
    delete image;
    throw;
  }
  // Too short to be a picture: an empty picture rather than an image object
  // whose every size query would fail later.
  if (!image->HasImage()) {
    delete image;
    image = nullptr;
  }
  ReplaceImage(image);
}

void TdxPNGImage::SaveToStream(TStream& stream) {
  if (!FImage || !FImage->HasImage()) return;
  TMemoryStream encoded;
  FImage->EncodeAsPngTo(encoded);
  encoded.SetPosition(0);
  stream.WriteBuffer(encoded.Memory(), encoded.Size());
}

void TdxPNGImage::Assign(TPersistent* source) {
  if (auto* bitmap = ObjectAs<TBitmap>(source)) {
    ReplaceImage(GPImageFromGraphic(bitmap));
  } else if (auto* png = ObjectAs<TdxPNGImage>(source)) {
    // An empty source makes this one empty (never asks the source back).
    ReplaceImage(png->FImage && png->FImage->HasImage() ? png->FImage->Duplicate() : nullptr);
  } else {
    TGraphic::Assign(source);
  }
}

void TdxPNGImage::AssignTo(TPersistent* dest) {
  if (auto* png = ObjectAs<TdxPNGImage>(dest)) {
    png->Assign(this);
  } else if (auto* bitmap = ObjectAs<TBitmap>(dest)) {
    std::unique_ptr<TBitmap> made(MakeBitmap());
    bitmap->Assign(made.get());
  } else {
    TGraphic::AssignTo(dest);
  }
}

void TdxPNGImage::Draw(TCanvas* canvas, const RECT& r) {
  if (!FImage) return;
  PaintOnDC(canvas->Handle(), r, RECT{0, 0, GetWidth(), GetHeight()});
}

bool TdxPNGImage::SameImageAs(TdxPNGImage* other) {
  if (GetWidth() != other->GetWidth() || GetHeight() != other->GetHeight()) return false;
  if (GetEmpty() || other->GetEmpty()) return true;
  std::vector<uint32_t> mine, theirs;
  ReadPixels32(mine);
  other->ReadPixels32(theirs);
  return mine == theirs;
}

TBitmap* TdxPNGImage::MakeBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  if (!GetEmpty()) {
    RequireGdiPlus();
    HBITMAP handle = nullptr;
    CheckGdiPlusStatus(GdipCreateHBITMAPFromBitmap(FImage->Handle(), &handle, 0));
    bitmap->SetHandle(handle);
    bitmap->SetPixelFormat(TPixelFormat::pf32bit);
  }
  return bitmap.release();
}

void TdxPNGImage::TakeFromGraphic(TGraphic* graphic) { ReplaceImage(GPImageFromGraphic(graphic)); }

void TdxPNGImage::PaintWhole(HDC dc, const RECT& dest) { PaintOnDC(dc, dest, RECT{0, 0, GetWidth(), GetHeight()}); }

void TdxPNGImage::PaintOnDC(HDC dc, const RECT& dest, const RECT& source) {
  if (!FImage || !FImage->HasImage()) return;
  RequireGdiPlus();
  GpGraphics* graphics = nullptr;
  CheckGdiPlusStatus(GdipCreateFromHDC(dc, &graphics));
  try {
    PaintScaled(graphics, dest, source);
  } catch (...) {
    GdipDeleteGraphics(graphics);
    throw;
  }
  CheckGdiPlusStatus(GdipDeleteGraphics(graphics));
}

bool TdxPNGImage::ScaledSourceExtent(const RECT& dest, const RECT& source, float& width, float& height) {
  width = static_cast<float>(source.right - source.left);
  height = static_cast<float>(source.bottom - source.top);
  const float destWidth = static_cast<float>(dest.right - dest.left);
  const float destHeight = static_cast<float>(dest.bottom - dest.top);
  if (width < 1 || height < 1 || destWidth < 1 || destHeight < 1) return false;
  if (destWidth > width && width > 1) width -= 1;
  if (destHeight > height && height > 1) height -= 1;
  return true;
}

void TdxPNGImage::PaintScaled(GpGraphics* graphics, const RECT& dest, const RECT& source) {
  if (!FImage || !FImage->HasImage()) return;
  float width, height;
  if (!ScaledSourceExtent(dest, source, width, height)) return;
  CheckGdiPlusStatus(GdipDrawImageRectRect(
      graphics, FImage->Handle(), static_cast<float>(dest.left), static_cast<float>(dest.top),
      static_cast<float>(dest.right - dest.left), static_cast<float>(dest.bottom - dest.top),
      static_cast<float>(source.left), static_cast<float>(source.top), width, height, UnitPixel));
}

void TdxPNGImage::ReadPixels32(std::vector<uint32_t>& pixels) {
  std::unique_ptr<TBitmap> bitmap(MakeBitmap());
  GetBitmapBits32(bitmap.get(), pixels);
}

// ---------------------------------------------------------------------------
// Registration

void RegisterPngPictureFormat() {
  GPImageClass = &TdxGPNullImage::ClassInfo;
  if (!IsGdiPlusAvailable()) return;
  EnsurePngEncoder();
  GPImageClass = &TdxGPImage::ClassInfo;
  RegisterStreamableClass(&TdxPNGImage::ClassInfo);
  TPicture::RegisterFileFormat("PNG", "PNG graphics", &TdxPNGImage::ClassInfo);
}

void UnregisterPngPictureFormat() {
  TPicture::UnregisterGraphicClass(&TdxPNGImage::ClassInfo);
  UnregisterStreamableClass(&TdxPNGImage::ClassInfo);
  GPImageClass = &TdxGPNullImage::ClassInfo;
}

void dxGDIPlusClassesInit() { UnitsLoader()->RegisterUnitProcs(&RegisterPngPictureFormat, &UnregisterPngPictureFormat); }

void dxGDIPlusClassesDone() { UnitsLoader()->ReleaseUnitProc(&UnregisterPngPictureFormat); }
