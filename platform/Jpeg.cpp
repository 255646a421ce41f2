#include "platform/Jpeg.h"

#include "platform/JpegShim.h"

#include <cstdlib>
#include <memory>

namespace {

void CheckJpeg(int code) {
  if (code != 0) throw EJPEG(Format("JPEG error #%d", code));
}

}  // namespace

const TClassInfo TJPEGImage::ClassInfo = {"TJPEGImage", &TGraphic::ClassInfo,
                                          [](TObject*) -> TObject* { return new TJPEGImage(); }};

void TJPEGImage::ReadHeader() {
  int width = 0, height = 0, components = 3;
  CheckJpeg(MevraJpegReadHeader(FData.data(), static_cast<unsigned long>(FData.size()), &width, &height, &components));
  if (width <= 0 || height <= 0 || static_cast<int64_t>(width) * height > MaxPixels)
    throw EJPEG(Format("JPEG image is too large (%d x %d pixels)", width, height));
  FWidth = width;
  FHeight = height;
  FComponents = components;
}

void TJPEGImage::LoadFromStream(TStream& stream) {
  int64_t available = stream.Size() - stream.Position();
  if (available > 0x40000000) throw EJPEG("JPEG image is too large");
  std::vector<uint8_t> data(static_cast<size_t>(available > 0 ? available : 0));
  if (!data.empty()) stream.ReadBuffer(data.data(), static_cast<int64_t>(data.size()));
  std::vector<uint8_t> previous = std::move(FData);
  FData = std::move(data);
  try {
    if (FData.empty()) {
      FWidth = FHeight = 0;
    } else {
      ReadHeader();
    }
  } catch (...) {
    FData = std::move(previous);
    throw;
  }
  FBitmap.reset();
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream& stream) {
  JPEGNeeded();
  if (!FData.empty()) stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
}

TBitmap* TJPEGImage::Bitmap() {
  if (FBitmap) return FBitmap.get();
  if (FData.empty()) return nullptr;
  auto bitmap = std::make_unique<TBitmap>();
  TPixelFormat format = FComponents == 1 ? TPixelFormat::pf8bit : TPixelFormat::pf24bit;
  bitmap->SetPixelFormat(format);
  if (FComponents == 1) {
    std::vector<uint32_t> grey(256);
    for (uint32_t i = 0; i < 256; ++i) grey[i] = i * 0x010101u;
    TBmpImage image;
    image.Width = FWidth;
    image.Height = FHeight;
    image.BitCount = 8;
    image.Palette = std::move(grey);
    image.Bits.resize(image.Stride() * static_cast<size_t>(FHeight));
    bitmap->LoadFromImage(image);
  } else {
    bitmap->SetSize(FWidth, FHeight);
  }
  auto* top = static_cast<unsigned char*>(bitmap->ScanLine(0));
  long stride = FHeight > 1 ? static_cast<long>(static_cast<unsigned char*>(bitmap->ScanLine(1)) - top) : 0;
  CheckJpeg(MevraJpegDecode(FData.data(), static_cast<unsigned long>(FData.size()), FWidth, FHeight, FComponents, top,
                            stride));
  FBitmap = std::move(bitmap);
  return FBitmap.get();
}

void TJPEGImage::Compress(TBitmap* source) {
  if (!source || source->Empty()) {
    FData.clear();
    FBitmap.reset();
    FWidth = FHeight = 0;
    Changed(this);
    return;
  }
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->Assign(source);
  bitmap->SetPixelFormat(TPixelFormat::pf24bit);
  int width = bitmap->Width(), height = bitmap->Height();
  auto* top = static_cast<unsigned char*>(bitmap->ScanLine(0));
  long stride = height > 1 ? static_cast<long>(static_cast<unsigned char*>(bitmap->ScanLine(1)) - top) : 0;
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  CheckJpeg(MevraJpegEncode(top, stride, width, height, 3, FQuality, FProgressive ? 1 : 0, &out, &outSize));
  std::unique_ptr<unsigned char, void (*)(unsigned char*)> owned(out, MevraJpegFree);
  FData.assign(out, out + outSize);
  FWidth = width;
  FHeight = height;
  FComponents = 3;
  FBitmap = std::move(bitmap);
  Changed(this);
}

void TJPEGImage::JPEGNeeded() {
  if (FData.empty() && FBitmap) {
    std::unique_ptr<TBitmap> bitmap = std::move(FBitmap);
    Compress(bitmap.get());
  }
}

void TJPEGImage::Draw(TCanvas* canvas, const RECT& r) {
  if (TBitmap* bitmap = Bitmap()) canvas->StretchDraw(r, bitmap);
}

void TJPEGImage::Assign(TPersistent* source) {
  if (auto* jpeg = ObjectAs<TJPEGImage>(source)) {
    if (jpeg == this) return;
    jpeg->JPEGNeeded();
    FData = jpeg->FData;
    FWidth = jpeg->FWidth;
    FHeight = jpeg->FHeight;
    FComponents = jpeg->FComponents;
    FQuality = jpeg->FQuality;
    FProgressive = jpeg->FProgressive;
    FBitmap.reset();
    Changed(this);
  } else if (auto* bitmap = ObjectAs<TBitmap>(source)) {
    Compress(bitmap);
  } else {
    TGraphic::Assign(source);
  }
}

void TJPEGImage::AssignTo(TPersistent* dest) {
  if (auto* bitmap = ObjectAs<TBitmap>(dest)) {
    if (TBitmap* decoded = Bitmap())
      bitmap->Assign(decoded);
    else
      bitmap->SetSize(0, 0);
    return;
  }
  TGraphic::AssignTo(dest);
}
