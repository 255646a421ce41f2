// The tree's own drag image, drawn onto the screen with the unit's blending.
#include "vtree/DragImage.h"

#include "vtree/TreeDrawing.h"
#include "vtree/VirtualTree.h"
#include "vtree/TreeDragManager.h"
#include "vtree/TreeGlobals.h"

#include <shlguid.h>
#include <shlobj.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {
using DS = TVTDragImageState;

RECT RectAt(POINT P, SIZE S) { return RECT{P.x, P.y, P.x + S.cx, P.y + S.cy}; }
}  // namespace

TVTDragImage::TVTDragImage(TBaseVirtualTree* AOwner) : FOwner(AOwner) {}

TVTDragImage::~TVTDragImage() { EndImage(); }

TGdiObject TVTDragImage::NewBitmap(uint32_t** Bits) const {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = FSize.cx;
  info.bmiHeader.biHeight = -FSize.cy;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  TGdiObject bitmap(CheckGDI(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0)));
  if (Bits) *Bits = static_cast<uint32_t*>(bits);
  return bitmap;
}

void TVTDragImage::BuildAlphaChannel(uint32_t* Source, uint32_t* Image, int32_t Width, int32_t Height,
                                     TColor ColorKey) {
  const bool keyed = ColorKey != clNone;
  const uint32_t key = keyed ? ColorToRGB(ColorKey) : 0;
  // The DIB's pixels are blue, green, red: the key's bytes are swapped to match.
  const uint32_t keyPixel = ((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF);
  const double cx = Width / 2, cy = Height / 2;
  const double size = std::max(Width, Height);
  for (int32_t y = 0; y < Height; ++y) {
    for (int32_t x = 0; x < Width; ++x) {
      const size_t at = static_cast<size_t>(y) * static_cast<size_t>(Width) + static_cast<size_t>(x);
      uint32_t alpha;
      if (keyed && (Source[at] & 0xFFFFFF) == keyPixel) {
        alpha = 0;
      } else {
        const double r = std::hypot(x - cx, y - cy) / size;
        alpha = static_cast<uint32_t>(std::lround(255.0 * std::exp(-8.0 * r)));
      }
      Image[at] = (Image[at] & 0xFFFFFF) | (alpha << 24);
    }
  }
}

void TVTDragImage::PrepareImage(HBITMAP Bitmap, POINT ImagePosition, IDataObject* DataObject, POINT Hotspot) {
  EndImage();
  FStates.Exclude(DS::disSystemSupport);
  if (!Bitmap) return;
  BITMAP info{};
  if (!GetObjectA(Bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return;
  // With a data object the system's drag image takes a copy of the picture
  // when it is served; the tree then draws none of its own.
  if (DataObject && TVTDragManager::SystemImagesAllowed()) {
    TComPtr<IDragSourceHelper> helper;
    if (SUCCEEDED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                                   reinterpret_cast<void**>(helper.Put())))) {
      SHDRAGIMAGE image{};
      image.sizeDragImage = SIZE{info.bmWidth, info.bmHeight};
      image.ptOffset = POINT{info.bmWidth / 2, info.bmHeight / 2};
      image.hbmpDragImage = static_cast<HBITMAP>(CopyImage(Bitmap, IMAGE_BITMAP, 0, 0, 0));
      image.crColorKey = FColorKey == clNone ? CLR_NONE : ColorToRGB(FColorKey);
      if (image.hbmpDragImage && SUCCEEDED(helper->InitializeFromBitmap(&image, DataObject))) {
        FStates.Include(DS::disSystemSupport);
      } else if (image.hbmpDragImage) {
        DeleteObject(image.hbmpDragImage);
      }
    }
  }
  if (!MMXAvailable() || FStates.Contains(DS::disSystemSupport)) return;
  FSize = SIZE{info.bmWidth, info.bmHeight};
  FLastPosition = Hotspot;
  uint32_t* sourceBits = nullptr;
  TGdiObject source = NewBitmap(&sourceBits);
  FDragImage = NewBitmap(&FDragBits);
  FAlphaImage = NewBitmap(nullptr);
  FBackImage = NewBitmap(nullptr);
  {
    TMemoryDC from, to;
    TSelectObjectGuard fromGuard(from.Get(), Bitmap);
    TSelectObjectGuard toGuard(to.Get(), source.Get());
    BitBlt(to.Get(), 0, 0, FSize.cx, FSize.cy, from.Get(), 0, 0, SRCCOPY);
    toGuard.Select(to.Get(), FDragImage.Get());
    fromGuard.Select(from.Get(), source.Get());
    if (FPreBlendBias != 0) {
      BlendRect(from.Get(), to.Get(), RectAt(POINT{0, 0}, FSize), POINT{0, 0}, TBlendMode::bmConstantAlpha, 255,
                static_cast<int8_t>(FPreBlendBias));
    } else {
      BitBlt(to.Get(), 0, 0, FSize.cx, FSize.cy, from.Get(), 0, 0, SRCCOPY);
    }
  }
  GdiFlush();
  BuildAlphaChannel(sourceBits, FDragBits, FSize.cx, FSize.cy, FColorKey);
  FImagePosition = ImagePosition;
  FStates.Include(DS::disHidden);
  FStates.Include(DS::disPrepared);
  FStates.Include(DS::disInDrag);
}

void TVTDragImage::InternalShowDragImage(HDC ScreenDC) {
  TMemoryDC back, composed, image;
  TSelectObjectGuard backGuard(back.Get(), FBackImage.Get());
  TSelectObjectGuard composedGuard(composed.Get(), FAlphaImage.Get());
  TSelectObjectGuard imageGuard(image.Get(), FDragImage.Get());
  BitBlt(composed.Get(), 0, 0, FSize.cx, FSize.cy, back.Get(), 0, 0, SRCCOPY);
  const TBlendMode mode =
      FFade || FColorKey != clNone ? TBlendMode::bmMasterAlpha : TBlendMode::bmConstantAlpha;
  BlendRect(image.Get(), composed.Get(), RectAt(POINT{0, 0}, FSize), POINT{0, 0}, mode, FTransparency,
            static_cast<int8_t>(FPostBlendBias));
  BitBlt(ScreenDC, FImagePosition.x, FImagePosition.y, FSize.cx, FSize.cy, composed.Get(), 0, 0, SRCCOPY);
}

void TVTDragImage::RevealImage() {
  if (!FStates.Contains(DS::disPrepared) || !FStates.Contains(DS::disInDrag) || !FStates.Contains(DS::disHidden))
    return;
  FStates.Exclude(DS::disHidden);
  GdiFlush();
  TScreenDC screen;
  if (!screen.Get()) return;
  {
    TMemoryDC back;
    TSelectObjectGuard guard(back.Get(), FBackImage.Get());
    BitBlt(back.Get(), 0, 0, FSize.cx, FSize.cy, screen.Get(), FImagePosition.x, FImagePosition.y, SRCCOPY);
  }
  InternalShowDragImage(screen.Get());
}

void TVTDragImage::HideImage() {
  if (!ImageVisible()) return;
  FStates.Include(DS::disHidden);
  TScreenDC screen;
  if (!screen.Get()) return;
  TMemoryDC back;
  TSelectObjectGuard guard(back.Get(), FBackImage.Get());
  BitBlt(screen.Get(), FImagePosition.x, FImagePosition.y, FSize.cx, FSize.cy, back.Get(), 0, 0, SRCCOPY);
}

bool TVTDragImage::ImageWillMove(POINT P) const {
  if (!ImageVisible()) return false;
  const bool horizontal = FRestriction != TVTImageMoveRestriction::imrVerticalOnly && P.x != FLastPosition.x;
  const bool vertical = FRestriction != TVTImageMoveRestriction::imrHorizontalOnly && P.y != FLastPosition.y;
  return horizontal || vertical;
}

bool TVTDragImage::MoveImageTo(POINT P, bool Force) {
  const int32_t dx = FRestriction == TVTImageMoveRestriction::imrVerticalOnly ? 0 : FLastPosition.x - P.x;
  const int32_t dy = FRestriction == TVTImageMoveRestriction::imrHorizontalOnly ? 0 : FLastPosition.y - P.y;
  if (dx == 0 && dy == 0 && !Force) return false;
  if (ImageVisible()) {
    TScreenDC screen;
    if (screen.Get()) {
      TMemoryDC back;
      TSelectObjectGuard guard(back.Get(), FBackImage.Get());
      const RECT oldRect = RectAt(FImagePosition, FSize);
      FLastMoveFull = std::abs(dx) >= FSize.cx || std::abs(dy) >= FSize.cy || Force;
      if (FLastMoveFull) {
        BitBlt(screen.Get(), oldRect.left, oldRect.top, FSize.cx, FSize.cy, back.Get(), 0, 0, SRCCOPY);
        if (Force && FOwner && FOwner->HandleAllocated()) UpdateWindow(FOwner->Handle());
        FImagePosition.x -= dx;
        FImagePosition.y -= dy;
        GdiFlush();
        BitBlt(back.Get(), 0, 0, FSize.cx, FSize.cy, screen.Get(), FImagePosition.x, FImagePosition.y, SRCCOPY);
      } else {
        const POINT newPosition{FImagePosition.x - dx, FImagePosition.y - dy};
        const RECT newRect = RectAt(newPosition, FSize);
        // The strips the image leaves get their saved pixels back.
        TGdiObject leaving(CreateRectRgnIndirect(&oldRect));
        TGdiObject staying(CreateRectRgnIndirect(&newRect));
        CombineRgn(static_cast<HRGN>(leaving.Get()), static_cast<HRGN>(leaving.Get()),
                   static_cast<HRGN>(staying.Get()), RGN_DIFF);
        {
          TSavedDCGuard saved(screen.Get());
          SelectClipRgn(screen.Get(), static_cast<HRGN>(leaving.Get()));
          BitBlt(screen.Get(), oldRect.left, oldRect.top, FSize.cx, FSize.cy, back.Get(), 0, 0, SRCCOPY);
        }
        // What stays under the image moves within the saved picture.
        BitBlt(back.Get(), dx, dy, FSize.cx, FSize.cy, back.Get(), 0, 0, SRCCOPY);
        // The strips the image now covers come from the screen.
        TGdiObject entering(CreateRectRgnIndirect(&newRect));
        TGdiObject covered(CreateRectRgnIndirect(&oldRect));
        CombineRgn(static_cast<HRGN>(entering.Get()), static_cast<HRGN>(entering.Get()),
                   static_cast<HRGN>(covered.Get()), RGN_DIFF);
        OffsetRgn(static_cast<HRGN>(entering.Get()), -newPosition.x, -newPosition.y);
        FImagePosition = newPosition;
        GdiFlush();
        TSavedDCGuard saved(back.Get());
        SelectClipRgn(back.Get(), static_cast<HRGN>(entering.Get()));
        BitBlt(back.Get(), 0, 0, FSize.cx, FSize.cy, screen.Get(), FImagePosition.x, FImagePosition.y, SRCCOPY);
      }
      guard.Restore();
      InternalShowDragImage(screen.Get());
    }
  } else {
    FImagePosition.x -= dx;
    FImagePosition.y -= dy;
  }
  FLastPosition = P;
  return true;
}

RECT TVTDragImage::ImageRect() const {
  if (!ImageVisible()) return RECT{};
  return RectAt(FImagePosition, FSize);
}

void TVTDragImage::EndImage() {
  HideImage();
  FStates.Exclude(DS::disPrepared);
  FStates.Exclude(DS::disInDrag);
  FDragImage.Reset();
  FAlphaImage.Reset();
  FBackImage.Reset();
  FDragBits = nullptr;
}
