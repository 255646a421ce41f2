#include "gif/GIFSubImage.h"

#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"

#include <algorithm>

const TClassInfo TGIFSubImage::ClassInfo{"TGIFSubImage", &TGIFItem::ClassInfo, nullptr};

TGIFSubImage::TGIFSubImage(TGIFContainer* image) : TGIFItem(image), FColorMap(this), FExtensions(image) {}

TGIFSubImage::~TGIFSubImage() {
  Clear();
  if (Image()) Image()->Images().Remove(this);
}

int TGIFSubImage::FormatVersion() { return FColorMap.IsSorted() || FExtensions.Count() > 0 ? 2 : 1; }

void TGIFSubImage::Clear() {
  FExtensions.Clear();
  FColorMap.Clear();
  ReleasePixels();
  FWidth = FHeight = 0;
  FIsTransparent = false;
  FGraphicControl = nullptr;
}

bool TGIFSubImage::IsEmpty() const { return FData.empty() || FWidth == 0 || FHeight == 0; }

void TGIFSubImage::SetInterlaced(bool value) { FPacked = value ? (FPacked | 0x40) : (FPacked & ~0x40); }

TGIFColorMap& TGIFSubImage::EffectiveColorMap() {
  if (FColorMap.Count() > 0) return FColorMap;
  if (Image() && Image()->Header().ColorMap().Count() > 0) return Image()->Header().ColorMap();
  return FColorMap;
}

void TGIFSubImage::AllocatePixels() {
  ReleasePixels();
  const uint64_t count = static_cast<uint64_t>(FWidth) * static_cast<uint64_t>(FHeight);
  if (count == 0) return;
  if (count > GIFMaxFramePixels || (Image() && Image()->PixelsInUse() + count > GIFMaxPicturePixels))
    RaiseGIFError("Image exceeds maximum size");
  FData.assign(static_cast<size_t>(count), 0);
  if (Image()) Image()->AddPixelsInUse(static_cast<int64_t>(count));
}

void TGIFSubImage::ReleasePixels() {
  if (Image()) Image()->AddPixelsInUse(-static_cast<int64_t>(FData.size()));
  std::vector<uint8_t>().swap(FData);
}

void TGIFSubImage::SetSize(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  AllocatePixels();
}

void TGIFSubImage::SetFrameBounds(int left, int top, int width, int height) {
  if (left < 0 || top < 0 || width < 0 || height < 0 || left > 0xFFFF || top > 0xFFFF || width > 0xFFFF ||
      height > 0xFFFF)
    RaiseGIFError("Invalid image dimensions");
  FLeft = left;
  FTop = top;
  SetSize(width, height);
  if (!Image()) return;
  TGIFHeader& header = Image()->Header();
  bool grew = false;
  if (left + width > header.Width()) {
    if (header.Width() > 0) {
      ReportIssue(1, "Image width too small for contained frames");
      grew = true;
    }
    header.SetWidth(static_cast<uint16_t>(std::min(left + width, 0xFFFF)));
  }
  if (top + height > header.Height()) {
    if (header.Height() > 0) {
      ReportIssue(1, "Image height too small for contained frames");
      grew = true;
    }
    header.SetHeight(static_cast<uint16_t>(std::min(top + height, 0xFFFF)));
  }
  if (grew) ReportIssue(1, "Image exceeds Logical Screen size");
}

void TGIFSubImage::LoadFromStream(TStream& stream) {
  Clear();
  FExtensions.ReadAll(stream, this);
  uint8_t b = 0;
  if (!ReadOptionalByte(stream, b)) return;  // extensions only, at the end of the file
  stream.Seek(-1, TSeekOrigin::soCurrent);
  if (b == bsTrailer || b == 0) return;  // extensions only
  // Any other byte starts a descriptor; its separator value is not checked.
  uint8_t d[10];
  ReadChecked(stream, d, 10);
  FLeft = d[1] | (d[2] << 8);
  FTop = d[3] | (d[4] << 8);
  FWidth = d[5] | (d[6] << 8);
  FHeight = d[7] | (d[8] << 8);
  FPacked = d[9];
  if (FWidth == 0 || FHeight == 0) {
    FWidth = Image() ? Image()->Width() : 0;
    FHeight = Image() ? Image()->Height() : 0;
    ReportIssue(1, "Image exceeds Logical Screen size");
  }
  if (FPacked & 0x80) FColorMap.ReadTable(stream, 2 << (FPacked & 7));
  DecodePixels(stream);
}

void TGIFSubImage::PrepareDescriptor() {
  if (FColorMap.Count() > 0) {
    FPacked = static_cast<uint8_t>(0x80 | (FColorMap.IsSorted() ? 0x20 : 0) | ((FColorMap.BitsNeeded() - 1) & 7));
  } else {
    FPacked &= 0x58;
  }
}

void TGIFSubImage::SaveToStream(TStream& stream) {
  FExtensions.WriteAll(stream);
  if (IsEmpty()) return;
  PrepareDescriptor();
  const uint8_t d[10] = {bsImageSeparator,
                         static_cast<uint8_t>(FLeft), static_cast<uint8_t>(FLeft >> 8),
                         static_cast<uint8_t>(FTop), static_cast<uint8_t>(FTop >> 8),
                         static_cast<uint8_t>(FWidth), static_cast<uint8_t>(FWidth >> 8),
                         static_cast<uint8_t>(FHeight), static_cast<uint8_t>(FHeight >> 8),
                         FPacked};
  stream.WriteBuffer(d, 10);
  FColorMap.WriteTable(stream);
  EncodePixels(stream);
}
