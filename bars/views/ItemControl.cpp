#include "bars/views/ItemControl.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/ItemLinks.h"
#include "foundation/Bitmaps.h"
#include "foundation/Graphics.h"
#include "platform/Bitmap.h"

const TClassInfo TdxBarItemControl::ClassInfo{"TdxBarItemControl", &TObject::ClassInfo, &dxBarMakeObject<TdxBarItemControl>};
const TClassInfo TdxBarButtonLikeControl::ClassInfo{"TdxBarButtonLikeControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarButtonLikeControl>};
const TClassInfo TdxBarButtonControl::ClassInfo{"TdxBarButtonControl", &TdxBarButtonLikeControl::ClassInfo, &dxBarMakeObject<TdxBarButtonControl>};
const TClassInfo TdxBarSubItemControl::ClassInfo{"TdxBarSubItemControl", &TdxBarButtonLikeControl::ClassInfo, &dxBarMakeObject<TdxBarSubItemControl>};
const TClassInfo TSystemMenuSubItemControl::ClassInfo{"TSystemMenuSubItemControl", &TdxBarSubItemControl::ClassInfo, &dxBarMakeObject<TSystemMenuSubItemControl>};
const TClassInfo TdxBarApplicationMenuButtonControl::ClassInfo{"TdxBarApplicationMenuButtonControl", &TdxBarButtonControl::ClassInfo, &dxBarMakeObject<TdxBarApplicationMenuButtonControl>};
const TClassInfo TdxBarQuickCustExtButtonControl::ClassInfo{"TdxBarQuickCustExtButtonControl", &TdxBarButtonControl::ClassInfo, &dxBarMakeObject<TdxBarQuickCustExtButtonControl>};
const TClassInfo TdxBarQuickCustItemControl::ClassInfo{"TdxBarQuickCustItemControl", &TdxBarButtonControl::ClassInfo, &dxBarMakeObject<TdxBarQuickCustItemControl>};
const TClassInfo TdxBarWinControl::ClassInfo{"TdxBarWinControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarWinControl>};
const TClassInfo TdxBarEditControl::ClassInfo{"TdxBarEditControl", &TdxBarWinControl::ClassInfo, &dxBarMakeObject<TdxBarEditControl>};
const TClassInfo TCustomdxBarComboControl::ClassInfo{"TCustomdxBarComboControl", &TdxBarEditControl::ClassInfo, &dxBarMakeObject<TCustomdxBarComboControl>};
const TClassInfo TdxBarComboControl::ClassInfo{"TdxBarComboControl", &TCustomdxBarComboControl::ClassInfo, &dxBarMakeObject<TdxBarComboControl>};
const TClassInfo TdxBarContainerItemControl::ClassInfo{"TdxBarContainerItemControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarContainerItemControl>};
const TClassInfo TdxBarCustomStaticControl::ClassInfo{"TdxBarCustomStaticControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarCustomStaticControl>};
const TClassInfo TdxBarSeparatorControl::ClassInfo{"TdxBarSeparatorControl", &TdxBarItemControl::ClassInfo, &dxBarMakeObject<TdxBarSeparatorControl>};

TCustomdxBarControl* TdxBarItemControl::Parent() const { return FItemLink ? FItemLink->HostBarControl() : nullptr; }

const TClassInfo TdxCachedImageOptions::ClassInfo{"TdxCachedImageOptions", &TObject::ClassInfo,
                                                  &dxBarMakeObject<TdxCachedImageOptions>};

TdxCachedImageOptions::TdxCachedImageOptions() : FGlyph(new TcxBitmap) {}

TdxCachedImageOptions::~TdxCachedImageOptions() { FreeAndNil(FGlyph); }

void TdxCachedImageOptions::StoreImage(const RECT& r, TBitmap* source, uint8_t mode, int imageIndex, int stateFlag,
                                       TCustomImageList* images, TColor background) {
  const int width = r.right - r.left, height = r.bottom - r.top;
  FValid = false;
  FGlyph->SetSize(width < 0 ? 0 : width, height < 0 ? 0 : height);
  if (width > 0 && height > 0) {
    HDC dc = FGlyph->Canvas()->Handle();
    const RECT whole{0, 0, width, height};
    if (background != clNone) {
      HBRUSH brush = CreateSolidBrush(ColorToRGB(background));
      FillRect(dc, &whole, brush);
      DeleteObject(brush);
    }
    DrawImageOverBackground(dc, whole, whole, source, images, imageIndex, mode);
  }
  FStateFlag = stateFlag;
  FImages = images;
  FSource = source;
  FValid = true;
}

bool TdxCachedImageOptions::MatchesImage(int stateFlag, TBitmap* source, TCustomImageList* images) const {
  if (!FValid || stateFlag != FStateFlag || FGlyph->Empty()) return false;
  return source ? source == FSource : images == FImages && !FSource;
}

TdxBarItemControl::TdxBarItemControl() : FCachedImage(new TdxCachedImageOptions) {}

TdxBarItemControl::~TdxBarItemControl() { FreeAndNil(FCachedImage); }

void TdxBarItemControl::ResetImageCache(bool widths) {
  (void)widths;  // FIXME: the measured widths join with the layout of the item controls.
  FCachedImage->Invalidate();
}
