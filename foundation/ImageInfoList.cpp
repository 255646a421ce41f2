#include "foundation/ImageInfoList.h"

#include "foundation/Controls.h"
#include "foundation/Geometry.h"
#include "foundation/Graphics.h"
#include "platform/Filer.h"
#include "platform/Properties.h"

#include <algorithm>

namespace {

void MakeDormant(TBitmap* bitmap) {
  if (bitmap && !bitmap->Empty()) bitmap->Dormant();
}

// Copies `bitmap` into `target` (null or empty: empties it).
HBITMAP CopyInto(TcxCustomBitmap* target, TBitmap* bitmap) {
  if (bitmap && !bitmap->Empty()) target->Assign(bitmap);
  else target->SetSize(0, 0);
  return target->Empty() ? nullptr : target->Handle();
}

}  // namespace

// ---------------------------------------------------------------------------
// TcxImageInfo

const TClassInfo TcxImageInfo::ClassInfo{"TcxImageInfo", &TPersistent::ClassInfo,
                                         [](TObject*) -> TObject* { return new TcxImageInfo; }};

TcxImageInfo::TcxImageInfo() : FImage(new TcxCustomBitmap), FMask(new TcxCustomBitmap) {}

TcxImageInfo::~TcxImageInfo() {
  Free(FImage);
  Free(FMask);
}

HBITMAP TcxImageInfo::SetImage(TBitmap* bitmap) { return CopyInto(FImage, bitmap); }
HBITMAP TcxImageInfo::SetMask(TBitmap* bitmap) { return CopyInto(FMask, bitmap); }

void TcxImageInfo::Assign(TPersistent* source) {
  if (auto* info = ObjectAs<TcxImageInfo>(source)) {
    SetImage(info->FImage);
    SetMask(info->FMask);
    FMaskColor = info->FMaskColor;
  } else {
    TPersistent::Assign(source);
  }
}

// ---------------------------------------------------------------------------
// TcxImageInfoItem

const TClassInfo TcxImageInfoItem::ClassInfo{"TcxImageInfoItem", &TCollectionItem::ClassInfo,
                                             [](TObject* owner) -> TObject* {
                                               return new TcxImageInfoItem(static_cast<TCollection*>(owner));
                                             }};

TcxImageInfoItem::TcxImageInfoItem(TCollection* Collection)
    : TCollectionItem(Collection), FImageInfo(std::make_unique<TcxImageInfo>()) {}

TcxImageInfoItem::~TcxImageInfoItem() = default;

void TcxImageInfoItem::SetCompressData(bool value) {
  Image()->SetCompressData(value);
  Mask()->SetCompressData(value);
}

void TcxImageInfoItem::Assign(TPersistent* source) {
  if (auto* item = ObjectAs<TcxImageInfoItem>(source)) FImageInfo->Assign(item->FImageInfo.get());
  else TCollectionItem::Assign(source);
}

// ---------------------------------------------------------------------------
// TcxImageInfoCollection

const TClassInfo TcxImageInfoCollection::ClassInfo{"TcxImageInfoCollection", &TCollection::ClassInfo, nullptr};

TcxImageInfoCollection::TcxImageInfoCollection(TcxImageList* imageList)
    : TCollection(&TcxImageInfoItem::ClassInfo), FImageList(imageList) {}

TPersistent* TcxImageInfoCollection::GetOwner() { return FImageList; }

void TcxImageInfoCollection::Notify(TCollectionItem* item, TCollectionNotification action) {
  TCollection::Notify(item, action);
  // An item joining (added here or read from a form) takes the collection's flag.
  if (action == cnAdded)
    if (auto* info = ObjectAs<TcxImageInfoItem>(item)) info->SetCompressData(FCompressData);
}

TcxImageInfoItem* TcxImageInfoCollection::Add(TBitmap* image, TBitmap* mask, TColor maskColor) {
  auto* item = static_cast<TcxImageInfoItem*>(TCollection::Add());
  item->ImageInfo()->SetImage(image);
  item->ImageInfo()->SetMask(mask);
  item->SetMaskColor(maskColor);
  return item;
}

void TcxImageInfoCollection::Move(int currentIndex, int newIndex) {
  if (currentIndex >= 0 && currentIndex < Count()) Items(currentIndex)->SetIndex(newIndex);
}

void TcxImageInfoCollection::Delete(int index) {
  if (index == -1) Clear();
  else if (index >= 0 && index < Count()) TCollection::Delete(index);
}

void TcxImageInfoCollection::SetCompressData(bool value) {
  if (FCompressData == value) return;
  FCompressData = value;
  for (int i = 0; i < Count(); ++i) Item(i)->SetCompressData(value);
}

// ---------------------------------------------------------------------------
// TcxImageList

const TClassInfo TcxImageList::ClassInfo{"TcxImageList", &TDragImageList::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TcxImageList(static_cast<TComponent*>(owner));
                                         }};

TcxImageList::TcxImageList(TComponent* AOwner)
    : TDragImageList(AOwner), FAlphaBlending(true), FImageInfo(new TcxImageInfoCollection(this)) {}

TcxImageList::~TcxImageList() {
  Free(FImageInfo);
  FImageInfo = nullptr;
}

void TcxImageList::EndUpdate(bool force) {
  if (FUpdateCount == 0) return;
  --FUpdateCount;
  if (force) Change();
}

void TcxImageList::Change() {
  if (!IsUpdating()) TDragImageList::Change();
}

// Every operation below runs inside its own update, which it ends with a
// forced change report.
namespace {
struct TUpdateScope {
  explicit TUpdateScope(TcxImageList* list) : List(list) { List->BeginUpdate(); }
  ~TUpdateScope() { List->EndUpdate(true); }
  TcxImageList* List;
};
}  // namespace

int TcxImageList::CellCount(TBitmap* image) const {
  const int w = image->Width(), h = image->Height();
  if (Width() <= 0 || Height() <= 0 || w % Width() != 0 || h % Height() != 0) return 1;
  return std::max((w / Width()) * (h / Height()), 1);
}

int TcxImageList::AddBitmapPair(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  TUpdateScope update(this);
  TBitmap opaque;
  TBitmap* nativeMask = mask;
  if (!IsBitmapUsable(mask)) {
    // All pixels opaque: a zeroed monochrome mask of the image's size.
    opaque.SetPixelFormat(pf1bit);
    opaque.SetSize(image->Width(), image->Height());
    PatBlt(opaque.Canvas()->Handle(), 0, 0, image->Width(), image->Height(), BLACKNESS);
    nativeMask = &opaque;
  }
  const int index = TDragImageList::Add(image, nativeMask);
  if (!FSynchronizing && index >= 0) AddImageInfos(image, mask, clNone);
  return index;
}

int TcxImageList::AddMasked(TBitmap* image, TColor maskColor) {
  TUpdateScope update(this);
  if (maskColor == clNone) return AddBitmapPair(image, nullptr);
  const int index = TDragImageList::AddMasked(image, maskColor);
  if (!FSynchronizing && index >= 0) AddImageInfos(image, nullptr, maskColor);
  return index;
}

int TcxImageList::AddImageInfo(TcxImageInfo* info) {
  if (IsBitmapUsable(info->Mask())) return AddBitmapPair(info->Image(), info->Mask());
  return AddMasked(info->Image(), info->MaskColor());
}

void TcxImageList::AddImageInfos(TBitmap* image, TBitmap* mask, TColor maskColor) {
  const bool maskUsable = IsBitmapUsable(mask);
  const int cells = CellCount(image);
  if (cells <= 1) {
    TcxImageInfoItem* item = FImageInfo->Add(image, maskUsable ? mask : nullptr, maskColor);
    MakeDormant(item->Image());
    return;
  }
  const int w = Width(), h = Height();
  const int columns = image->Width() / w;
  TcxCustomBitmap cell(w, h, image->PixelFormat());
  std::unique_ptr<TcxCustomBitmap> maskCell;
  if (maskUsable) maskCell = std::make_unique<TcxCustomBitmap>(w, h, mask->PixelFormat());
  for (int k = 0; k < cells; ++k) {
    const int x = (k % columns) * w, y = (k / columns) * h;
    BitBlt(cell.Canvas()->Handle(), 0, 0, w, h, image->Canvas()->Handle(), x, y, SRCCOPY);
    cell.Changed(&cell);
    if (maskCell) {
      maskCell->ClearToBlack();
      BitBlt(maskCell->Canvas()->Handle(), 0, 0, w, h, mask->Canvas()->Handle(), x, y, SRCCOPY);
      maskCell->Changed(maskCell.get());
    }
    TcxImageInfoItem* item = FImageInfo->Add(&cell, maskCell.get(), maskColor);
    MakeDormant(item->Image());
  }
}

void TcxImageList::MoveImage(int currentIndex, int newIndex) {
  const int count = Count();
  if (currentIndex < 0 || currentIndex >= count || newIndex < 0 || newIndex >= count) return;
  TUpdateScope update(this);
  // The platform's move (through a scratch cell): this Wine's swapping copy
  // loses images of a 32-bit list.
  TDragImageList::Move(currentIndex, newIndex);
  if (!FSynchronizing) FImageInfo->Move(currentIndex, newIndex);
}

void TcxImageList::DeleteImage(int index) {
  if (index != -1 && (index < 0 || index >= Count())) return;
  TUpdateScope update(this);
  TDragImageList::Delete(index);
  if (!FSynchronizing) FImageInfo->Delete(index);
}

void TcxImageList::InsertImage(int index, TBitmap* image, TBitmap* mask) {
  const int count = Count();
  if (index < 0 || index > count) return;
  TUpdateScope update(this);
  const int first = AddBitmapPair(image, mask);
  if (first < 0) return;
  const int cells = CellCount(image);
  for (int k = 0; k < cells; ++k) MoveImage(first + k, index + k);
}

void TcxImageList::ReplaceAt(int index, TBitmap* image, TBitmap* mask) {
  TUpdateScope update(this);
  DeleteImage(index);
  InsertImage(index, image, mask);
}

void TcxImageList::GetImage(int index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index >= Count()) return;
  TcxImageInfo* info = index < FImageInfo->Count() ? FImageInfo->Item(index)->ImageInfo() : nullptr;
  TcxCustomBitmap* stored = info ? info->Image() : nullptr;
  if (!stored || stored->Empty() || (stored->BitsPerPixel() != 32 && !cxOSFlags().Win9x)) {
    ExtractImageAndMask(Handle(), index, mask, image);
    return;
  }
  auto receive = [](TBitmap* target, TBitmap* source) {
    if (source->BitsPerPixel() == 32) target->SetPixelFormat(pf32bit);
    target->SetSize(source->Width(), source->Height());
    DrawBitmapToDC(target->Canvas()->Handle(), source, RECT{0, 0, source->Width(), source->Height()}, POINT{0, 0});
    target->Changed(target);
  };
  if (image) receive(image, stored);
  if (mask) {
    // An image stored without a mask takes the native list's.
    if (IsBitmapUsable(info->Mask())) receive(mask, info->Mask());
    else ExtractImageAndMask(Handle(), index, mask, nullptr);
  }
  MakeDormant(stored);
}

void TcxImageList::ExtractImageAndMask(HIMAGELIST list, int index, TBitmap* mask, TBitmap* image) {
  ::ExtractImageAndMask(list, index, mask, image);
}

int TcxImageList::NativePixelFormat(HIMAGELIST list) { return ::NativePixelFormat(list); }

void TcxImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  DrawImage(index, canvas, RECT{x, y, x + Width(), y + Height()}, style, false, false, enabled);
}

void TcxImageList::DrawImage(int index, TCanvas* canvas, const RECT& r, UINT style, bool stretch, bool smooth,
                             bool enabled) {
  (void)style;
  const RECT target = stretch ? r : CenterExtentInRect(r, Width(), Height());
  DrawImageOverBackground(canvas->Handle(), target, r, nullptr, this, index, enabled ? idmNormal : idmDisabled,
                          smooth, nullptr, clNone, true);
}

void TcxImageList::Assign(TPersistent* source) {
  auto* list = ObjectAs<TCustomImageList>(source);
  if (!list) return;
  if (list == this) return;
  TUpdateScope update(this);
  TDragImageList::Assign(source);
  DeleteAll();
  auto* library = ObjectAs<TcxImageList>(source);
  const int count = list->Count();
  for (int i = 0; i < count; ++i) {
    if (library) {
      if (i < library->FImageInfo->Count()) {
        AddImageInfo(library->FImageInfo->Item(i)->ImageInfo());
      } else {
        TcxImageInfo empty;
        AddImageInfo(&empty);
      }
    } else {
      TBitmap image, mask;
      image.SetPixelFormat(pf32bit);
      mask.SetPixelFormat(pf1bit);
      ExtractImageAndMask(list->Handle(), i, &mask, &image);
      AddBitmapPair(&image, &mask);
    }
  }
}

bool TcxImageList::ImagesDifferFrom(TCustomImageList* ancestor) {
  if (!ancestor) return Count() > 0;
  if (Count() != ancestor->Count()) return true;
  if (Count() == 0) return false;
  TMemoryStream mine, theirs;
  WriteData(mine);
  ancestor->WriteData(theirs);
  return mine.DataString() != theirs.DataString();
}

void TcxImageList::ReadImageInfo(TReader* reader) {
  FImageInfo->Clear();
  reader->ReadCollection(FImageInfo);
  BeginUpdate();
  FSynchronizing = true;
  try {
    TDragImageList::Delete(-1);
    for (int i = 0; i < FImageInfo->Count(); ++i) {
      AddImageInfo(FImageInfo->Item(i)->ImageInfo());
      MakeDormant(FImageInfo->Item(i)->Image());
    }
  } catch (...) {
    FSynchronizing = false;
    EndUpdate(true);
    throw;
  }
  FSynchronizing = false;
  EndUpdate(true);
}

void TcxImageList::ReadLegacyBitmap(TStream& stream) {
  ReadData(stream);
  FImageInfo->BeginUpdate();
  try {
    FImageInfo->Clear();
    TBitmap image, mask;
    image.SetPixelFormat(pf32bit);
    image.SetSize(Width(), Height());
    mask.SetPixelFormat(pf1bit);
    mask.SetSize(Width(), Height());
    for (int i = 0; i < Count(); ++i) {
      ExtractImageAndMask(Handle(), i, &mask, &image);
      FImageInfo->Add(&image, &mask, clNone);
    }
  } catch (...) {
    FImageInfo->EndUpdate();
    throw;
  }
  FImageInfo->EndUpdate();
}

void TcxImageList::DefineProperties(TFiler* filer) {
  TDragImageList::DefineProperties(filer);
  auto* ancestor = ObjectAs<TCustomImageList>(filer->Ancestor());
  auto* libraryAncestor = ObjectAs<TcxImageList>(ancestor);
  filer->DefineProperty(
      "FormatVersion",
      TReaderProc::Lambda([this](TReader* reader) { FFormatVersion = static_cast<uint16_t>(reader->ReadInteger()); }),
      TWriterProc::Lambda([](TWriter* writer) { writer->WriteInteger(1); }), true);
  filer->DefineProperty(
      "DesignInfo", TReaderProc::Lambda([this](TReader* reader) { FDesignInfo = reader->ReadInteger(); }),
      TWriterProc::Lambda([this](TWriter* writer) { writer->WriteInteger(FDesignInfo); }),
      !(libraryAncestor && libraryAncestor->FDesignInfo == FDesignInfo));
  filer->DefineProperty(
      "ImageInfo", TReaderProc::Lambda([this](TReader* reader) { ReadImageInfo(reader); }),
      TWriterProc::Lambda([this](TWriter* writer) { writer->WriteCollection(FImageInfo); }),
      ImagesDifferFrom(ancestor));
  // Older forms store the native list itself; it is read, never written.
  filer->DefineBinaryProperty("Bitmap", TStreamProc::Lambda([this](TStream& s) { ReadLegacyBitmap(s); }), {},
                              false);
}

namespace {

const TPublishedRegistration itemRegistration(&TcxImageInfoItem::ClassInfo, {
    Property<&TcxImageInfoItem::Image>("Image"),
    Property<&TcxImageInfoItem::Mask>("Mask"),
    Property<&TcxImageInfoItem::MaskColor, &TcxImageInfoItem::SetMaskColor>("MaskColor", pkColor).Default(clNone),
});

const TPublishedRegistration listRegistration(&TcxImageList::ClassInfo, {
    Property<&TcxImageList::CompressData, &TcxImageList::SetCompressData>("CompressData").Default(false),
});

const bool hidesPlatformBitmap = (HideInheritedDefineProperties(&TcxImageList::ClassInfo), true);

}  // namespace
