#include "gif/GIFSubImage.h"

#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"

#include <algorithm>
#include "platform/Stream.h"

const TClassInfo TGIFSubImage::ClassInfo{"TGIFSubImage", &TGIFItem::ClassInfo, nullptr};

TGIFSubImage::TGIFSubImage(TGIFContainer* image) : TGIFItem(image), FColorMap(this), FExtensions(image) {}

TGIFSubImage::~TGIFSubImage() {
  Clear();
  DropRenderCache();
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
  DropRenderCache();
}

void TGIFSubImage::SetRenderCache(TObject* value) {
  if (value == FRenderCache) return;
  delete FRenderCache;
  FRenderCache = value;
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
  const uint64_t frameLimit = Image() ? Image()->MaxFramePixels : GIFMaxFramePixels;
  if (count > frameLimit || (Image() && Image()->PixelsInUse() + count > Image()->MaxPicturePixels))
    RaiseGIFError("Image exceeds maximum size");
  FData.assign(static_cast<size_t>(count), 0);
  if (Image()) Image()->AddPixelsInUse(static_cast<int64_t>(count));
}

void TGIFSubImage::ReleasePixels() {
  if (Image()) Image()->AddPixelsInUse(-static_cast<int64_t>(FData.size()));
  std::vector<uint8_t>().swap(FData);
}

void TGIFSubImage::EnsurePixels() {
  if (static_cast<uint64_t>(FWidth) * static_cast<uint64_t>(FHeight) == 0) RaiseGIFError("Image is empty");
  if (FData.empty()) AllocatePixels();
}

uint8_t* TGIFSubImage::RowPointer(int y) {
  if (y < 0 || y >= FHeight) RaiseGIFError("Invalid pixel coordinates");
  EnsurePixels();
  return FData.data() + static_cast<size_t>(y) * static_cast<size_t>(FWidth);
}

uint8_t TGIFSubImage::PixelAt(int x, int y) {
  if (x < 0 || x >= FWidth) RaiseGIFError("Invalid pixel coordinates");
  return RowPointer(y)[x];
}

void TGIFSubImage::SetSize(int width, int height) {
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  DropRenderCache();
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

void TGIFSubImage::Assign(TPersistent* source) {
  if (source == this) return;
  if (!source) {
    Clear();
    return;
  }
  if (auto* other = ObjectAs<TGIFSubImage>(source)) {
    Clear();
    if (other->IsEmpty()) return;
    FLeft = other->FLeft;
    FTop = other->FTop;
    FWidth = other->FWidth;
    FHeight = other->FHeight;
    FPacked = other->FPacked;
    FIsTransparent = other->FIsTransparent;
    AllocatePixels();
    std::copy(other->FData.begin(), other->FData.end(), FData.begin());
    FColorMap.Assign(&other->FColorMap);
    if (other->FExtensions.Count() > 0) {
      // Through the file form, so every extension is a deep copy owned by
      // this frame and the graphic control link is set as on reading.
      TMemoryStream copy;
      other->FExtensions.WriteAll(copy);
      copy.SetPosition(0);
      FExtensions.ReadAll(copy, this);
    }
    return;
  }
  if (Image() && Image()->AssignFrame(this, source)) return;
  TGIFItem::Assign(source);
}

void TGIFSubImage::AssignTo(TPersistent* dest) {
  if (Image() && Image()->AssignFrameTo(this, dest)) return;
  TGIFItem::AssignTo(dest);
}

bool TGIFSubImage::TrimTransparentEdges() {
  if (IsEmpty() || !FIsTransparent || !FGraphicControl) return false;
  const uint8_t t = FGraphicControl->TransparentColorIndex();
  int left = FWidth, right = -1, top = FHeight, bottom = -1;
  for (int y = 0; y < FHeight; ++y) {
    const uint8_t* row = FData.data() + static_cast<size_t>(y) * FWidth;
    for (int x = 0; x < FWidth; ++x) {
      if (row[x] == t) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) {
    // Nothing opaque: the frame shows nothing.
    ReleasePixels();
    FWidth = FHeight = 0;
    DropRenderCache();
    return true;
  }
  if (left == 0 && top == 0 && right == FWidth - 1 && bottom == FHeight - 1) return false;
  const int w = right - left + 1, h = bottom - top + 1;
  std::vector<uint8_t> cut(static_cast<size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::copy_n(FData.data() + static_cast<size_t>(top + y) * FWidth + left, w, cut.data() + static_cast<size_t>(y) * w);
  if (Image()) Image()->AddPixelsInUse(static_cast<int64_t>(cut.size()) - static_cast<int64_t>(FData.size()));
  FData.swap(cut);
  FLeft += left;
  FTop += top;
  FWidth = w;
  FHeight = h;
  DropRenderCache();
  return true;
}

namespace {

int DisposalOf(const TGIFSubImage* frame) {
  return frame->GraphicControl() ? frame->GraphicControl()->Disposal() : 0;
}

}  // namespace

bool TGIFSubImage::MergeWithPrevious(TGIFSubImage* previous) {
  if (!previous || IsEmpty() || previous->IsEmpty()) return false;
  const int pd = DisposalOf(previous);
  if (pd == 2 || pd == 3) return false;
  const int x0 = std::max(FLeft, previous->FLeft), y0 = std::max(FTop, previous->FTop);
  const int x1 = std::min(FLeft + FWidth, previous->FLeft + previous->FWidth);
  const int y1 = std::min(FTop + FHeight, previous->FTop + previous->FHeight);
  if (x0 >= x1 || y0 >= y1) return false;

  TGIFColorMap& map = EffectiveColorMap();
  TGIFColorMap& prevMap = previous->EffectiveColorMap();
  const bool sameTable = &map == &prevMap;
  const bool wasTransparent = FIsTransparent && FGraphicControl;
  int t = wasTransparent ? FGraphicControl->TransparentColorIndex() : -1;
  const bool canGrow = map.Count() >= 1 && map.Count() <= 255;
  const int pt = previous->FIsTransparent && previous->FGraphicControl
                     ? previous->FGraphicControl->TransparentColorIndex() : -1;
  bool changed = false;
  for (int y = y0; y < y1; ++y) {
    uint8_t* row = FData.data() + static_cast<size_t>(y - FTop) * FWidth;
    const uint8_t* prow = previous->FData.data() + static_cast<size_t>(y - previous->FTop) * previous->FWidth;
    for (int x = x0; x < x1; ++x) {
      uint8_t& p = row[x - FLeft];
      const uint8_t q = prow[x - previous->FLeft];
      if (p == t || q == pt) continue;
      const bool same = sameTable ? p == q
                                  : p < map.Count() && q < prevMap.Count() && map.ColorAt(p) == prevMap.ColorAt(q);
      if (!same) continue;
      if (t < 0) {
        if (!canGrow) return false;
        // Another transparent frame on the global table lends its index, so
        // frames keep sharing it, unless this frame shows that colour itself
        // (its pixels would vanish); else a new black entry is made.
        if (FColorMap.Count() == 0 && Image()) {
          for (int i = 0; i < Image()->Images().Count() && t < 0; ++i) {
            TGIFSubImage* f = Image()->Images().Frames(i);
            if (f == this || !f->FIsTransparent || !f->FGraphicControl || f->FColorMap.Count() != 0) continue;
            const uint8_t lent = f->FGraphicControl->TransparentColorIndex();
            if (std::find(FData.begin(), FData.end(), lent) == FData.end()) t = lent;
          }
        }
        if (t < 0) t = map.AppendColor(TGIFColor{});
      }
      p = static_cast<uint8_t>(t);
      changed = true;
    }
  }
  if (!changed) return false;
  if (!wasTransparent) {
    TGIFGraphicControlExtension* gce = FGraphicControl;
    if (!gce) {
      gce = new TGIFGraphicControlExtension(this);
      FExtensions.Add(gce);
    }
    gce->SetTransparent(true);
    gce->SetTransparentColorIndex(static_cast<uint8_t>(t));
  }
  DropRenderCache();
  return true;
}
