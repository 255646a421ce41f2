#include "gif/GIFItem.h"

#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"

#include <algorithm>
#include <cctype>
#include <cstring>

const TClassInfo TGIFItem::ClassInfo{"TGIFItem", &TPersistent::ClassInfo, nullptr};
const TClassInfo TGIFList::ClassInfo{"TGIFList", &TPersistent::ClassInfo, nullptr};
const TClassInfo TGIFImageList::ClassInfo{"TGIFImageList", &TGIFList::ClassInfo, nullptr};
const TClassInfo TGIFExtensionList::ClassInfo{"TGIFExtensionList", &TGIFList::ClassInfo, nullptr};
const TClassInfo TGIFHeader::ClassInfo{"TGIFHeader", &TGIFItem::ClassInfo, nullptr};
const TClassInfo TGIFTrailer::ClassInfo{"TGIFTrailer", &TGIFItem::ClassInfo, nullptr};

void TGIFItem::ReportIssue(int severity, const AnsiString& message) {
  if (FImage) FImage->ReportIssue(this, severity, message);
}

// ---- lists ----

TGIFItem* TGIFList::Items(int index) const {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  return FItems[index];
}

int TGIFList::IndexOf(const TGIFItem* item) const {
  for (int i = 0; i < Count(); ++i)
    if (FItems[i] == item) return i;
  return -1;
}

void TGIFList::Remove(const TGIFItem* item) {
  const int index = IndexOf(item);
  if (index >= 0) FItems.erase(FItems.begin() + index);
}

void TGIFList::Delete(int index) {
  TGIFItem* item = Items(index);
  // Out of the list first: the item's destructor looks for itself in it.
  FItems.erase(FItems.begin() + index);
  delete item;
}

void TGIFList::Clear() {
  // Front to back, as deleting one by one would, without shifting the rest
  // of a long list after every item.
  std::vector<TGIFItem*> items;
  items.swap(FItems);
  for (TGIFItem* item : items) delete item;
}

void TGIFList::ReportIssue(int severity, const AnsiString& message) {
  if (FImage) FImage->ReportIssue(this, severity, message);
}

void TGIFList::WriteAll(TStream& stream) {
  for (TGIFItem* item : FItems) item->SaveToStream(stream);
}

TGIFSubImage* TGIFImageList::Frames(int index) const { return static_cast<TGIFSubImage*>(Items(index)); }

void TGIFImageList::ReadAll(TStream& stream, TPersistent* parent) {
  (void)parent;
  uint8_t b = 0;
  // Zero bytes between blocks are padding some writers leave.
  auto nextBlock = [&] {
    do {
      if (!ReadOptionalByte(stream, b)) return false;
    } while (b == 0);
    return true;
  };
  if (!nextBlock()) return;
  while (b != bsTrailer) {
    stream.Seek(-1, TSeekOrigin::soCurrent);
    if (b != bsExtensionIntroducer && b != bsImageSeparator) {
      ReportIssue(1, "Unknown GIF block type");
      return;
    }
    auto* frame = new TGIFSubImage(Image());
    try {
      frame->LoadFromStream(stream);
    } catch (...) {
      delete frame;
      throw;
    }
    Add(frame);
    if (Image()) Image()->FrameRead(stream);
    if (!nextBlock()) return;
  }
  stream.Seek(-1, TSeekOrigin::soCurrent);
}

TGIFExtension* TGIFExtensionList::Extensions(int index) const { return static_cast<TGIFExtension*>(Items(index)); }

void TGIFExtensionList::ReadAll(TStream& stream, TPersistent* parent) {
  auto* frame = ObjectAs<TGIFSubImage>(parent);
  uint8_t b = 0;
  if (!ReadOptionalByte(stream, b)) return;
  while (b != bsImageSeparator && b != bsTrailer) {
    if (b != bsExtensionIntroducer) {
      ReportIssue(1, "Invalid extension introducer");
      break;
    }
    TClass cls = FindExtensionClass(stream);
    if (!cls || !cls->Create) RaiseGIFError("Unknown extension type");
    stream.Seek(-1, TSeekOrigin::soCurrent);
    auto* extension = static_cast<TGIFExtension*>(cls->Create(frame));
    try {
      extension->LoadFromStream(stream);
    } catch (...) {
      delete extension;
      throw;
    }
    Add(extension);
    if (!ReadOptionalByte(stream, b)) return;
  }
  stream.Seek(-1, TSeekOrigin::soCurrent);
}

// ---- header and trailer ----

TGIFHeader::TGIFHeader(TGIFContainer* image) : TGIFItem(image), FColorMap(image) {}

void TGIFHeader::Clear() {
  FColorMap.Clear();
  FWidth = FHeight = 0;
  FPacked = FBackgroundColorIndex = FAspectRatio = 0;
}

namespace {

bool StartsWithSignature(const uint8_t* bytes) {
  return std::toupper(bytes[0]) == 'G' && std::toupper(bytes[1]) == 'I' && std::toupper(bytes[2]) == 'F';
}

}  // namespace

void TGIFHeader::LoadFromStream(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t signature[6];
  ReadChecked(stream, signature, 6);
  if (!StartsWithSignature(signature)) {
    // Some containers put 4 bytes of their own before the file.
    stream.SetPosition(start + 4);
    ReadChecked(stream, signature, 6);
    if (!StartsWithSignature(signature)) RaiseGIFError("Invalid GIF signature");
  }
  uint8_t d[7];
  ReadChecked(stream, d, 7);
  FWidth = static_cast<uint16_t>(d[0] | (d[1] << 8));
  FHeight = static_cast<uint16_t>(d[2] | (d[3] << 8));
  FPacked = d[4];
  FBackgroundColorIndex = d[5];
  FAspectRatio = d[6];
  if (FPacked & 0x80) FColorMap.ReadTable(stream, 2 << (FPacked & 7));
  else FColorMap.Clear();
}

void TGIFHeader::PrepareScreenDescriptor() {
  int largest = FColorMap.BitsNeeded();
  if (Image()) {
    TGIFImageList& frames = Image()->Images();
    for (int i = 0; i < frames.Count(); ++i) largest = std::max(largest, frames.Frames(i)->ColorMap().BitsNeeded());
  }
  const int resolution = largest > 0 ? largest - 1 : 0;
  uint8_t packed = static_cast<uint8_t>((resolution & 7) << 4);
  if (FColorMap.Count() > 0) {
    packed |= 0x80;
    if (FColorMap.IsSorted()) packed |= 0x08;
    packed |= (FColorMap.BitsNeeded() - 1) & 7;
  } else {
    packed |= resolution & 7;
  }
  FPacked = packed;
}

void TGIFHeader::SaveToStream(TStream& stream) {
  const int version = Image() ? Image()->FileVersion() : 0;
  if (version == 0) RaiseGIFError("Unsupported GIF version");
  stream.WriteString(version == 1 ? "GIF87a" : "GIF89a");
  PrepareScreenDescriptor();
  const uint8_t d[7] = {static_cast<uint8_t>(FWidth), static_cast<uint8_t>(FWidth >> 8),
                        static_cast<uint8_t>(FHeight), static_cast<uint8_t>(FHeight >> 8),
                        FPacked, FBackgroundColorIndex, FAspectRatio};
  stream.WriteBuffer(d, 7);
  if (FPacked & 0x80) FColorMap.WriteTable(stream);
}

void TGIFTrailer::LoadFromStream(TStream& stream) {
  uint8_t b = 0;
  if (ReadOptionalByte(stream, b) && b != bsTrailer) ReportIssue(1, "Invalid Image trailer");
}

void TGIFTrailer::SaveToStream(TStream& stream) { stream.WriteByte(bsTrailer); }
