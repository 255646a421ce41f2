#include "platform/ImageList.h"

#include "platform/ComStream.h"
#include "platform/Icon.h"

#include <algorithm>

namespace {

COLORREF ListColor(TColor color) {
  if (color == clNone) return CLR_NONE;
  if (color == clDefault) return CLR_DEFAULT;
  return ColorToRGB(color) & 0x00FFFFFF;
}

}  // namespace

const TClassInfo TChangeLink::ClassInfo = {"TChangeLink", &TObject::ClassInfo,
                                           [](TObject*) -> TObject* { return new TChangeLink(); }};

TChangeLink::~TChangeLink() {
  if (FSender) FSender->UnRegisterChanges(this);
}

void TChangeLink::Change() { FireEvent(OnChange, FSender); }

const TClassInfo TCustomImageList::ClassInfo = {
    "TCustomImageList", &TComponent::ClassInfo,
    [](TObject* owner) -> TObject* { return new TCustomImageList(static_cast<TComponent*>(owner)); }};

TCustomImageList::TCustomImageList(TComponent* owner) : TComponent(owner) {}

TCustomImageList::~TCustomImageList() {
  for (TChangeLink* link : FLinks) link->SetSender(nullptr);
  FLinks.clear();
  FreeHandle();
}

void TCustomImageList::FreeHandle() {
  if (!FHandle) return;
  if (!FShareImages) ImageList_Destroy(FHandle);
  FHandle = nullptr;
  HandleDeleted(hkGdiObject);
}

void TCustomImageList::Initialize() {
  FHandle = ImageList_Create(FWidth, FHeight, ILC_COLOR32 | ILC_MASK, FAllocBy, FAllocBy);
  if (!FHandle) throw EInvalidOperation("Failed to create image list");
  HandleCreated(hkGdiObject);
  ImageList_SetBkColor(FHandle, ListColor(FBkColor));
}

HIMAGELIST TCustomImageList::Handle() {
  if (!FHandle) Initialize();
  return FHandle;
}

void TCustomImageList::SetHandle(HIMAGELIST list) {
  if (list == FHandle) return;
  FreeHandle();
  FHandle = list;
  if (list) {
    HandleCreated(hkGdiObject);
    int width = 0, height = 0;
    ImageList_GetIconSize(list, &width, &height);
    FWidth = width;
    FHeight = height;
    FBkColor = ImageList_GetBkColor(list) == CLR_NONE ? clNone : ImageList_GetBkColor(list);
  }
  Change();
}

HIMAGELIST TCustomImageList::ReleaseHandle() {
  HIMAGELIST list = FHandle;
  FHandle = nullptr;
  if (list) HandleDeleted(hkGdiObject);
  return list;
}

void TCustomImageList::SetNewDimensions(HIMAGELIST list) {
  if (list) ImageList_SetIconSize(list, FWidth, FHeight);  // also removes every image
}

void TCustomImageList::SetSize(int width, int height) {
  if (width <= 0 || height <= 0) throw EInvalidOperation("Invalid image size");
  if (width == FWidth && height == FHeight) return;
  FWidth = width;
  FHeight = height;
  SetNewDimensions(FHandle);
  Change();
}

void TCustomImageList::SetWidth(int value) { SetSize(value, FHeight); }
void TCustomImageList::SetHeight(int value) { SetSize(FWidth, value); }

void TCustomImageList::SetBkColor(TColor value) {
  if (value == FBkColor) return;
  FBkColor = value;
  if (FHandle) ImageList_SetBkColor(FHandle, ListColor(value));
  Change();
}

void TCustomImageList::SetBlendColor(TColor value) {
  if (value == FBlendColor) return;
  FBlendColor = value;
  Change();
}

void TCustomImageList::SetDrawingStyle(TDrawingStyle value) {
  if (value == FDrawingStyle) return;
  FDrawingStyle = value;
  Change();
}

void TCustomImageList::SetImageType(TImageType value) {
  if (value == FImageType) return;
  FImageType = value;
  Change();
}

int TCustomImageList::Count() { return FHandle ? ImageList_GetImageCount(FHandle) : 0; }

int TCustomImageList::Add(TBitmap* image, TBitmap* mask) {
  if (!image || image->Empty()) return -1;
  HIMAGELIST list = Handle();
  // The system list selects the bitmaps itself: they must not sit in a canvas.
  image->FreeContext();
  if (mask) mask->FreeContext();
  int index = ImageList_Add(list, image->Handle(), mask && !mask->Empty() ? mask->Handle() : nullptr);
  Change();
  return index;
}

int TCustomImageList::AddMasked(TBitmap* image, TColor maskColor) {
  if (!image || image->Empty()) return -1;
  if (maskColor == clNone) return Add(image, nullptr);
  HIMAGELIST list = Handle();
  // The system blackens the masked pixels of the bitmap it is given: give it a copy.
  TBitmap copy;
  copy.Assign(image);
  copy.FreeContext();
  int index = ImageList_AddMasked(list, copy.Handle(), ColorToRGB(maskColor) & 0x00FFFFFF);
  Change();
  return index;
}

int TCustomImageList::AddIcon(TIcon* icon) {
  if (!icon || !icon->Handle()) return -1;
  int index = ImageList_ReplaceIcon(Handle(), -1, icon->Handle());
  Change();
  return index;
}

void TCustomImageList::Insert(int index, TBitmap* image, TBitmap* mask) {
  int count = Count();
  if (index < 0 || index > count) throw EInvalidOperation(Format("Invalid image list index %d", index));
  int first = Add(image, mask);
  if (first < 0) return;
  int added = Count() - first;
  for (int k = 0; k < added; ++k) Move(first + k, index + k);
}

void TCustomImageList::Replace(int index, TBitmap* image, TBitmap* mask) {
  if (index < 0 || index >= Count()) throw EInvalidOperation(Format("Invalid image list index %d", index));
  if (!image || image->Empty()) return;
  image->FreeContext();
  if (mask) mask->FreeContext();
  ImageList_Replace(FHandle, index, image->Handle(), mask && !mask->Empty() ? mask->Handle() : nullptr);
  Change();
}

void TCustomImageList::Delete(int index) {
  if (index == -1) {
    Clear();
    return;
  }
  if (index < 0 || index >= Count()) throw EInvalidOperation(Format("Invalid image list index %d", index));
  ImageList_Remove(FHandle, index);
  Change();
}

void TCustomImageList::Clear() {
  if (FHandle) ImageList_Remove(FHandle, -1);
  Change();
}

void TCustomImageList::Move(int currentIndex, int newIndex) {
  int count = Count();
  if (currentIndex < 0 || currentIndex >= count || newIndex < 0 || newIndex >= count)
    throw EInvalidOperation(Format("Invalid image list index %d", currentIndex < 0 || currentIndex >= count ? currentIndex : newIndex));
  if (currentIndex == newIndex) return;
  // The moving image waits in a scratch cell at the end while the images in
  // between shift by one, each copied over its neighbour.
  int scratch = ImageList_Add(FHandle, nullptr, nullptr);
  if (scratch < 0) {
    TBitmap blank;
    blank.SetPixelFormat(pf32bit);
    blank.SetSize(FWidth, FHeight);
    blank.FreeContext();
    scratch = ImageList_Add(FHandle, blank.Handle(), nullptr);
  }
  if (scratch < 0) throw EInvalidOperation("Failed to move an image");
  ImageList_Copy(FHandle, scratch, FHandle, currentIndex, ILCF_MOVE);
  int step = newIndex > currentIndex ? 1 : -1;
  for (int i = currentIndex; i != newIndex; i += step) ImageList_Copy(FHandle, i, FHandle, i + step, ILCF_MOVE);
  ImageList_Copy(FHandle, newIndex, FHandle, scratch, ILCF_MOVE);
  ImageList_Remove(FHandle, scratch);
  Change();
}

void TCustomImageList::GetBitmap(int index, TBitmap* bitmap) {
  if (!bitmap || index < 0 || index >= Count()) return;
  bitmap->SetSize(FWidth, FHeight);
  TCanvas* canvas = bitmap->Canvas();
  canvas->Brush()->SetColor(FBkColor == clNone ? clWhite : FBkColor);
  RECT all{0, 0, FWidth, FHeight};
  canvas->FillRect(all);
  ImageList_Draw(FHandle, index, canvas->Handle(), 0, 0, ILD_NORMAL);
  bitmap->Changed(bitmap);
}

bool TCustomImageList::GetIcon(int index, TIcon* icon) {
  if (!icon || index < 0 || index >= Count()) return false;
  HICON handle = ImageList_GetIcon(FHandle, index, ILD_NORMAL);
  if (!handle) return false;
  icon->SetHandle(handle);
  return true;
}

UINT TCustomImageList::DrawStyle() const {
  static const UINT styles[] = {ILD_FOCUS, ILD_SELECTED, ILD_NORMAL, ILD_TRANSPARENT};
  UINT style = styles[static_cast<int>(FDrawingStyle)];
  if (FImageType == itMask) style |= ILD_MASK;
  return style;
}

void TCustomImageList::Draw(TCanvas* canvas, int x, int y, int index, bool enabled) {
  if (!canvas || !FHandle || index < 0 || index >= Count()) return;
  DoDraw(index, canvas, x, y, DrawStyle(), enabled);
}

void TCustomImageList::DoDraw(int index, TCanvas* canvas, int x, int y, UINT style, bool enabled) {
  HDC dc = canvas->Handle();
  if (enabled) {
    ImageList_DrawEx(FHandle, index, dc, x, y, 0, 0, ListColor(FBkColor), ListColor(FBlendColor), style);
    return;
  }
  // Disabled: the image's shape, once in the highlight colour one pixel
  // down and right, then in the shadow colour on top.
  TBitmap shape;
  shape.SetPixelFormat(pf1bit);
  shape.SetSize(FWidth, FHeight);
  HDC shapeDC = shape.Canvas()->Handle();
  PatBlt(shapeDC, 0, 0, FWidth, FHeight, WHITENESS);
  ImageList_Draw(FHandle, index, shapeDC, 0, 0, ILD_MASK);
  // Opaque pixels of a masked image are black in the mask; unmasked images are all black.
  TSavedDCGuard saved(dc);
  SetTextColor(dc, RGB(0, 0, 0));
  ::SetBkColor(dc, RGB(255, 255, 255));
  constexpr DWORD PaintBrushWhereBlack = 0x00B8074A;  // (brush AND NOT source) OR (dest AND source)
  TGdiObject highlight(CreateSolidBrush(ColorToRGB(clBtnHighlight)));
  TGdiObject shadow(CreateSolidBrush(ColorToRGB(clBtnShadow)));
  {
    TSelectObjectGuard brush(dc, highlight.Get());
    BitBlt(dc, x + 1, y + 1, FWidth, FHeight, shapeDC, 0, 0, PaintBrushWhereBlack);
  }
  TSelectObjectGuard brush(dc, shadow.Get());
  BitBlt(dc, x, y, FWidth, FHeight, shapeDC, 0, 0, PaintBrushWhereBlack);
}

void TCustomImageList::RegisterChanges(TChangeLink* link) {
  if (!link || std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) return;
  FLinks.push_back(link);
  link->SetSender(this);
}

void TCustomImageList::UnRegisterChanges(TChangeLink* link) {
  auto it = std::find(FLinks.begin(), FLinks.end(), link);
  if (it == FLinks.end()) return;
  FLinks.erase(it);
  link->SetSender(nullptr);
}

void TCustomImageList::Change() {
  // A link's handler may unregister links: walk a copy and skip the departed.
  std::vector<TChangeLink*> links = FLinks;
  for (TChangeLink* link : links)
    if (std::find(FLinks.begin(), FLinks.end(), link) != FLinks.end()) link->Change();
  FireEvent(OnChange, this);
}

void TCustomImageList::Assign(TPersistent* source) {
  if (auto* list = ObjectAs<TCustomImageList>(source)) {
    if (list == this) return;
    FreeHandle();
    FWidth = list->FWidth;
    FHeight = list->FHeight;
    FAllocBy = list->FAllocBy;
    FBkColor = list->FBkColor;
    FBlendColor = list->FBlendColor;
    FDrawingStyle = list->FDrawingStyle;
    FImageType = list->FImageType;
    FShareImages = false;
    if (list->FHandle) {
      FHandle = ImageList_Duplicate(list->FHandle);
      if (!FHandle) throw EInvalidOperation("Failed to copy image list");
      HandleCreated(hkGdiObject);
    }
    Change();
    return;
  }
  TComponent::Assign(source);
}

void TCustomImageList::ReadData(TStream& stream) {
  TComPtr<IStream> adapter(new TStreamAdapter(&stream));
  HIMAGELIST list = ImageList_Read(adapter.Get());
  if (!list) throw EReadError("Failed to read image list data");
  bool shared = FShareImages;
  FShareImages = false;
  SetHandle(list);
  FShareImages = shared;
}

void TCustomImageList::WriteData(TStream& stream) {
  TComPtr<IStream> adapter(new TStreamAdapter(&stream));
  if (!ImageList_Write(Handle(), adapter.Get())) throw EWriteError("Failed to write image list data");
}

const TClassInfo TDragImageList::ClassInfo = {
    "TDragImageList", &TCustomImageList::ClassInfo,
    [](TObject* owner) -> TObject* { return new TDragImageList(static_cast<TComponent*>(owner)); }};

TDragImageList::~TDragImageList() { EndDrag(); }

bool TDragImageList::SetDragImage(int index, int hotSpotX, int hotSpotY) {
  if (index < 0 || index >= Count()) return false;
  FDragIndex = index;
  FDragHotspot = {hotSpotX, hotSpotY};
  if (Dragging()) ImageList_SetDragCursorImage(FHandle, index, hotSpotX, hotSpotY);
  return true;
}

bool TDragImageList::BeginDrag(HWND window, int x, int y) {
  EndDrag();
  if (!window || FDragIndex < 0 || FDragIndex >= Count()) return false;
  if (!ImageList_BeginDrag(FHandle, FDragIndex, FDragHotspot.x, FDragHotspot.y)) return false;
  FDragWindow = window;
  return ImageList_DragEnter(window, x, y) != FALSE;
}

bool TDragImageList::DragMove(int x, int y) { return Dragging() && ImageList_DragMove(x, y); }

bool TDragImageList::EndDrag() {
  if (!Dragging()) return false;
  ImageList_DragLeave(FDragWindow);
  ImageList_EndDrag();
  FDragWindow = nullptr;
  return true;
}

bool TDragImageList::DragLock(HWND window, int x, int y) {
  if (!Dragging() || !window) return false;
  FDragWindow = window;
  return ImageList_DragEnter(window, x, y) != FALSE;
}

void TDragImageList::DragUnlock() {
  if (Dragging()) ImageList_DragLeave(FDragWindow);
}

bool TDragImageList::ShowDragImage() { return Dragging() && ImageList_DragShowNolock(TRUE); }
bool TDragImageList::HideDragImage() { return Dragging() && ImageList_DragShowNolock(FALSE); }
