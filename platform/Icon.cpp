#include "platform/Icon.h"

#include "platform/Bitmap.h"
#include "platform/BmpCodec.h"

#include <cstring>

namespace {

[[noreturn]] void Invalid(const char* what) { throw EInvalidGraphic(Format("Icon image is not valid: %s", what)); }

// The system reads an icon image's pixels from the sizes its header states,
// so those sizes must fit inside the bytes the directory gives the image.
void CheckIconImage(const uint8_t* image, uint32_t bytes) {
  static const uint8_t PngSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (bytes >= 8 && std::memcmp(image, PngSignature, 8) == 0) return;  // the system's PNG reader checks its own
  uint32_t headerSize = LittleDWord(image);
  if (headerSize < 40 || headerSize > bytes) Invalid("an image header is not valid");
  int32_t width = static_cast<int32_t>(LittleDWord(image + 4));
  int32_t height = static_cast<int32_t>(LittleDWord(image + 8));  // colour rows and mask rows
  uint16_t planes = LittleWord(image + 12), bitCount = LittleWord(image + 14);
  uint32_t colorsUsed = LittleDWord(image + 32);
  if (width <= 0 || width > 1024 || height < 2 || height > 2048 || planes != 1)
    Invalid("an image size is not valid");
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    Invalid("an image bit count is not supported");
  uint64_t colors = bitCount <= 8 ? (colorsUsed ? colorsUsed : 1u << bitCount) : 0;
  if (colors > 256) Invalid("an image palette is too long");
  uint64_t rows = static_cast<uint64_t>(height / 2);
  uint64_t needed = headerSize + colors * 4 + BmpStride(width, bitCount) * rows + BmpStride(width, 1) * rows;
  if (needed > bytes) Invalid("an image is shorter than its header says");
}

}  // namespace

const TClassInfo TIcon::ClassInfo = {"TIcon", &TGraphic::ClassInfo, [](TObject*) -> TObject* { return new TIcon(); }};

TIcon::~TIcon() { Clear(); }

void TIcon::Clear() {
  if (FHandle) {
    DestroyIcon(FHandle);
    HandleDeleted(hkGdiObject);
  }
  FHandle = nullptr;
  FData.clear();
  FWidth = FHeight = 0;
}

void TIcon::SetWidth(int value) {
  if (value != FWidth) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::SetHeight(int value) {
  if (value != FHeight) throw EInvalidGraphicOperation("Cannot change the size of an icon");
}

void TIcon::LoadFromStream(TStream& stream) {
  int64_t available = stream.Size() - stream.Position();
  if (available < 6) Invalid("the file is too short");
  if (available > 0x4000000) Invalid("the file is too large");
  std::vector<uint8_t> data(static_cast<size_t>(available));
  stream.ReadBuffer(data.data(), available);
  if (LittleWord(&data[0]) != 0 || LittleWord(&data[2]) != 1) Invalid("the file is not an icon file");
  size_t count = LittleWord(&data[4]);
  if (count == 0) Invalid("the file holds no image");
  if (6 + count * 16 > data.size()) Invalid("the directory is longer than the file");
  int wanted = GetSystemMetrics(SM_CXICON);
  size_t best = 0;
  int bestWidth = -1;
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = &data[6 + i * 16];
    int width = entry[0] ? entry[0] : 256;
    uint32_t bytes = LittleDWord(entry + 8), offset = LittleDWord(entry + 12);
    if (bytes < 40 || offset > data.size() || bytes > data.size() - offset) Invalid("an image lies outside the file");
    if (bestWidth != wanted && (width == wanted || width > bestWidth)) {
      best = i;
      bestWidth = width;
    }
  }
  const uint8_t* entry = &data[6 + best * 16];
  int width = entry[0] ? entry[0] : 256, height = entry[1] ? entry[1] : 256;
  uint32_t bytes = LittleDWord(entry + 8), offset = LittleDWord(entry + 12);
  CheckIconImage(&data[offset], bytes);
  HICON icon = CreateIconFromResourceEx(&data[offset], bytes, TRUE, 0x00030000, width, height, LR_DEFAULTCOLOR);
  if (!icon) Invalid("the image cannot be read");
  Clear();
  FHandle = icon;
  HandleCreated(hkGdiObject);
  FData = std::move(data);
  FWidth = width;
  FHeight = height;
  Changed(this);
}

void TIcon::SaveToStream(TStream& stream) {
  if (!FData.empty()) {
    stream.WriteBuffer(FData.data(), static_cast<int64_t>(FData.size()));
    return;
  }
  if (!FHandle) return;
  ICONINFO info{};
  if (!GetIconInfo(FHandle, &info)) throw EInvalidGraphic("Icon image is not valid");
  TBitmap color, mask;  // take the bitmaps GetIconInfo made
  mask.SetHandle(info.hbmMask);
  if (!info.hbmColor) throw EInvalidGraphicOperation("A monochrome icon cannot be saved");
  color.SetHandle(info.hbmColor);
  color.SetPixelFormat(TPixelFormat::pf32bit);
  mask.SetPixelFormat(TPixelFormat::pf1bit);
  TBmpImage pixels = color.SaveToImage(), maskBits = mask.SaveToImage();
  int width = pixels.Width, height = pixels.Height;
  size_t maskStride = BmpStride(width, 1);
  size_t maskBytes = maskStride * static_cast<size_t>(height);
  std::vector<uint8_t> out;
  AppendWord(out, 0);
  AppendWord(out, 1);
  AppendWord(out, 1);
  out.push_back(static_cast<uint8_t>(width >= 256 ? 0 : width));
  out.push_back(static_cast<uint8_t>(height >= 256 ? 0 : height));
  out.push_back(0);
  out.push_back(0);
  AppendWord(out, 1);
  AppendWord(out, 32);
  AppendDWord(out, static_cast<uint32_t>(40 + pixels.Bits.size() + maskBytes));
  AppendDWord(out, 22);
  AppendDWord(out, 40);
  AppendDWord(out, static_cast<uint32_t>(width));
  AppendDWord(out, static_cast<uint32_t>(height * 2));
  AppendWord(out, 1);
  AppendWord(out, 32);
  for (int i = 0; i < 6; ++i) AppendDWord(out, 0);
  out.insert(out.end(), pixels.Bits.begin(), pixels.Bits.end());
  // The mask's rows, height of them (a mask bitmap of double height is cut to its AND half).
  std::vector<uint8_t> andBits(maskBytes, 0);
  if (maskBits.Width == width && maskBits.Height >= height)
    std::memcpy(andBits.data(), maskBits.Bits.data() + (maskBits.Height - height) * maskStride, maskBytes);
  out.insert(out.end(), andBits.begin(), andBits.end());
  stream.WriteBuffer(out.data(), static_cast<int64_t>(out.size()));
}

HICON TIcon::Handle() { return FHandle; }

void TIcon::SetHandle(HICON icon) {
  if (icon == FHandle) return;
  Clear();
  FHandle = icon;
  if (icon) {
    HandleCreated(hkGdiObject);
    ICONINFO info{};
    if (GetIconInfo(icon, &info)) {
      BITMAP bm{};
      if (::GetObjectA(info.hbmMask, sizeof bm, &bm)) {
        FWidth = bm.bmWidth;
        FHeight = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
      }
      if (info.hbmColor) DeleteObject(info.hbmColor);
      if (info.hbmMask) DeleteObject(info.hbmMask);
    }
  }
  Changed(this);
}

HICON TIcon::ReleaseHandle() {
  HICON icon = FHandle;
  FHandle = nullptr;
  if (icon) HandleDeleted(hkGdiObject);
  Clear();
  Changed(this);
  return icon;
}

void TIcon::Assign(TPersistent* source) {
  if (auto* icon = ObjectAs<TIcon>(source)) {
    if (icon == this) return;
    if (!icon->FData.empty()) {
      TMemoryStream data;
      icon->SaveToStream(data);
      data.SetPosition(0);
      LoadFromStream(data);
    } else {
      SetHandle(icon->FHandle ? CopyIcon(icon->FHandle) : nullptr);
    }
    return;
  }
  if (!source) {
    Clear();
    Changed(this);
    return;
  }
  TGraphic::Assign(source);
}

void TIcon::Draw(TCanvas* canvas, const RECT& r) {
  if (!canvas || !FHandle) return;
  DrawIconEx(canvas->Handle(), r.left, r.top, FHandle, r.right - r.left, r.bottom - r.top, 0, nullptr, DI_NORMAL);
}
