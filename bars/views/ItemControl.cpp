#include "bars/views/ItemControl.h"

#include "bars/model/BarCanvas.h"
#include "bars/model/BarClassFactory.h"
#include "bars/model/BarComponents.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/PopupMenu.h"
#include "bars/model/SubItems.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarPainter.h"
#include "foundation/Bitmaps.h"
#include "foundation/Canvas.h"
#include "foundation/Classes.h"
#include "foundation/Graphics.h"
#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "platform/ImageList.h"
#include "platform/ShortCuts.h"

#include <algorithm>

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
const TClassInfo TdxCachedImageOptions::ClassInfo{"TdxCachedImageOptions", &TObject::ClassInfo,
                                                  &dxBarMakeObject<TdxCachedImageOptions>};
const TClassInfo TdxBarItemControlDrawParams::ClassInfo{"TdxBarItemControlDrawParams", &TObject::ClassInfo, nullptr};
const TClassInfo TdxBarButtonLikeControlDrawParams::ClassInfo{"TdxBarButtonLikeControlDrawParams",
                                                              &TdxBarItemControlDrawParams::ClassInfo, nullptr};
const TClassInfo TdxBarApplicationMenuButtonControlDrawParams::ClassInfo{
    "TdxBarApplicationMenuButtonControlDrawParams", &TdxBarButtonLikeControlDrawParams::ClassInfo, nullptr};
const TClassInfo TdxBarItemControlViewInfo::ClassInfo{"TdxBarItemControlViewInfo", &TObject::ClassInfo, nullptr};

namespace {

class TObjectGuard {
public:
  explicit TObjectGuard(TObject* object) : FLink(object ? AttachObjectLink(object) : nullptr) {}
  ~TObjectGuard() { ReleaseObjectLink(FLink); }
  bool Alive() const { return FLink && FLink->Ref != nullptr; }
  TObjectGuard(const TObjectGuard&) = delete;
  TObjectGuard& operator=(const TObjectGuard&) = delete;

private:
  TcxObjectLink* FLink;
};

TdxBarImageOptions* ImageOptionsOf(TdxBarManager* manager) { return manager ? manager->ImageOptions() : nullptr; }

bool BitmapUsable(TBitmap* bitmap) { return bitmap && !bitmap->GetEmpty(); }

}  // namespace

// --- Cached image -------------------------------------------------------------

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

// --- Draw parameters and view info ------------------------------------------------

void TdxBarItemControlDrawParams::SetViewSize(int value) {
  if (value == FViewSize) return;
  FViewSize = value;
  if (BarItemControl) BarItemControl->ResetImageCache(false);
}

int dxBarHighestViewLevel(TdxBarItemViewLevels levels) {
  for (int level = 3; level >= 0; --level)
    if (levels.Contains(static_cast<TdxBarItemViewLevel>(level))) return level;
  return -1;
}

TdxBarItemControlViewInfo::TdxBarItemControlViewInfo(TdxBarItemControl* control) : FControl(control) {}

TdxBarItemControlViewInfo::~TdxBarItemControlViewInfo() {
  TCustomdxBarControl* bar = FControl ? FControl->Parent() : nullptr;
  if (bar && !bar->IsDestroying() && bar->ViewInfo()) bar->ViewInfo()->RemoveItemViewInfo(FControl);
}

void TdxBarItemControlViewInfo::Initialize() {
  const TdxBarItemViewLevels possible = FControl->PossibleViewLevels();
  FAllowedViewLevels = FControl->AllowedViewLevels();
  FMinPossibleViewLevel = dxBarHighestViewLevel(possible);
  const int highest = dxBarHighestViewLevel(FAllowedViewLevels);
  FViewLevelForButtonGroup =
      highest == static_cast<int>(ivlLargeIconWithText) ? FMinPossibleViewLevel : highest;
  ResetWidthCache();
}

bool TdxBarItemControlViewInfo::GetButtonGroupFlag() const {
  TdxBarItemLink* link = FControl->ItemLink();
  return link && link->ButtonGroup() != bgpNone;
}

void TdxBarItemControlViewInfo::ResetWidthCache() {
  for (TWidthEntry& entry : FWidthCache) entry.Valid = false;
}

int TdxBarItemControlViewInfo::GetWidthForLevel(int level) {
  if (level < 0 || level > 7 || !FAllowedViewLevels.Contains(static_cast<TdxBarItemViewLevel>(level)))
    throw Exception("Testing! The level is not allowed");
  TWidthEntry& entry = FWidthCache[level];
  if (entry.Valid) return entry.Width;
  const int saved = FViewLevel;
  FViewLevel = level;
  try {
    entry.Width = FControl->CalcWidth();
  } catch (...) {
    FViewLevel = saved;
    throw;
  }
  FViewLevel = saved;
  entry.Valid = true;
  return entry.Width;
}

// --- Item control ---------------------------------------------------------------------

TdxBarItemControl::TdxBarItemControl() : FCachedImage(new TdxCachedImageOptions) {}

TdxBarItemControl::~TdxBarItemControl() {
  TdxBarManager* manager = LinkBarManager();
  if (manager && manager->SelectedItemControl() == this) manager->SetSelectedItemControl(nullptr);
  if (FItemLink && FItemLink->Control() == this) FItemLink->SetControl(nullptr);
  if (FParent && IsLiveBarControl(FParent)) {
    if (!FParent->IsDestroying() && FParent->SelectedControl() == this) FParent->SetSelectedControl(nullptr);
    FParent->ItemControlGone(this);
  }
  if (FBackgroundBrush) DeleteObject(FBackgroundBrush);
  ClearObjectLinks(this);
  FreeAndNil(FViewInfo);
  FreeAndNil(FCachedImage);
  FreeAndNil(FDrawParams);
}

TdxBarItemControlDrawParams* TdxBarItemControl::NewDrawParams() const {
  auto* self = const_cast<TdxBarItemControl*>(this);
  TClass cls = DrawParamsClass();
  if (cls == &TdxBarApplicationMenuButtonControlDrawParams::ClassInfo)
    return new TdxBarApplicationMenuButtonControlDrawParams(self);
  if (cls == &TdxBarButtonLikeControlDrawParams::ClassInfo) return new TdxBarButtonLikeControlDrawParams(self);
  return new TdxBarItemControlDrawParams(self);
}

void TdxBarItemControl::AttachToLink(TdxBarItemLink* link) {
  FItemLink = link;
  FParent = link ? link->HostBarControl() : nullptr;
  if (!FDrawParams) FDrawParams = NewDrawParams();
  if (!FViewInfo) FViewInfo = new TdxBarItemControlViewInfo(this);
  if (!FItemLink || !FParent) return;
  FViewInfo->Initialize();
  RefreshStyleResourcesWithFont();
  FHotPartIndex = -1;
  PrepareDrawParams(true);
  FViewInfo->SetViewLevel(FParent->ItemViewInfoKind());
}

TdxBarPainter* TdxBarItemControl::Painter() const {
  return FParent ? FParent->GetPainter() : dxBarManagerPainter(LinkBarManager());
}

HBRUSH TdxBarItemControl::BackgroundBrush() const { return FBackgroundBrush; }

TcxCanvas* TdxBarItemControl::PaintCanvas() const {
  if (FActiveCanvas) return FActiveCanvas;
  return FParent ? FParent->PaintCanvas() : nullptr;
}

void TdxBarItemControl::SetPressed(bool value) {
  if (value == FPressed) return;
  FPressed = value;
  PressedChanged();
}

void TdxBarItemControl::PressedChanged() {
  if (!FPressed) Repaint();
}

void TdxBarItemControl::Repaint() {
  if (FParent) FParent->InvalidateItem(this);
}

void TdxBarItemControl::RebuildParent() {
  if (FParent) FParent->RebuildItems();
}

void TdxBarItemControl::Changed() { RebuildParent(); }

void TdxBarItemControl::EnabledChanged() {
  if (FParent && !IsEnabled() && FParent->SelectedControl() == this) FParent->SetSelectedControl(nullptr);
  if (!IsEnabled()) FHotPartIndex = -1;
  Repaint();
}

void TdxBarItemControl::GlyphChanged() {
  const bool iconBefore = (FDrawParams && (FDrawParams->ViewStructure & dxBarViewIcon)) != 0;
  const bool iconNow = (GetViewStructure() & dxBarViewIcon) != 0;
  if (FViewInfo && (AllowedViewLevels() != FViewInfo->AllowedViewLevels() || iconBefore != iconNow)) {
    FViewInfo->Initialize();
    RebuildParent();
  } else {
    Repaint();
  }
}

void TdxBarItemControl::LargeGlyphChanged() {
  if (!FDrawParams || FDrawParams->ViewSize() == 0) return;
  if (GetPaintType() == dxBarPaintMenu)
    Repaint();
  else
    RebuildParent();
}

void TdxBarItemControl::WidthChanged() {
  if (FParent && FParent->ControlKind() == 0) RebuildParent();
}

void TdxBarItemControl::VisibilityChanged() { RebuildParent(); }

void TdxBarItemControl::RefreshDrawState() {
  UpdateDrawState();
  Repaint();
}

void TdxBarItemControl::UpdateDrawState() {
  PrepareDrawParams(false);
  CalcParts();
}

void TdxBarItemControl::RefreshStyleResourcesWithFont() { RefreshStyleResources(); }

void TdxBarItemControl::RefreshStyleResources() {
  if (FBackgroundBrush) {
    DeleteObject(FBackgroundBrush);
    FBackgroundBrush = nullptr;
  }
  FTextSize = FParent ? FParent->MeasureTextSize() : 0;
}

void TdxBarItemControl::ResetImageCache(bool widths) {
  FCachedImage->Invalidate();
  if (widths && FViewInfo) FViewInfo->ResetWidthCache();
}

bool TdxBarItemControl::CanSelect() const {
  TdxBarItem* item = OwnItem();
  if (FParent && FParent->IsCustomizing() && item && item->BarManager() != LinkBarManager()) return false;
  return true;
}

bool TdxBarItemControl::HandlesDoubleClick() const {
  TdxBarManager* manager = LinkBarManager();
  return (manager && manager->IsDesigning()) || HasDoubleClickAction();
}

bool TdxBarItemControl::IsEnabled() const {
  TdxBarItem* item = OwnItem();
  return item && item->Enabled();
}

bool TdxBarItemControl::IsDrawnSelected() const {
  return FParent && FParent->SelectedControl() == this && (IsEnabled() || !FSelectedByMouse);
}

bool TdxBarItemControl::IsMouseDownInside() const {
  if (!FParent || !FParent->HandleAllocated() || !IsLeftButtonDown()) return false;
  POINT p;
  GetCursorPos(&p);
  ScreenToClient(FParent->Handle(), &p);
  const RECT r = GetItemRect();
  return PtInRect(&r, p) != FALSE;
}

bool TdxBarItemControl::IsRotated() const { return FParent && FParent->IsVertical() && FParent->IsTextRotated(); }

void TdxBarItemControl::KeyDown(WORD&, TShiftState) {}

int TdxBarItemControl::PartAtPoint(POINT point) const {
  const RECT r = GetItemRect();
  if (!PtInRect(&r, point)) return -1;
  for (size_t i = 0; i < FParts.size(); ++i)
    if (PtInRect(&FParts[i], point)) return static_cast<int>(i);
  return 100;
}

void TdxBarItemControl::UpdateHotPart(POINT point) {
  const int index = IsEnabled() ? PartAtPoint(point) : -1;
  if (index == FHotPartIndex) return;
  FHotPartIndex = index;
  Repaint();
}

// --- Clicks ------------------------------------------------------------------------------

void TdxBarItemControl::Click(bool byMouse) {
  if (!IsEnabled()) return;
  TObjectGuard guard(this);
  TCustomdxBarControl* parent = FParent;
  TdxBarItemLink* link = FItemLink;
  BeforeClick(byMouse);
  if (!guard.Alive() || !parent || !IsLiveBarControl(parent) || !link || !parent->HasItemControl(this)) return;
  ControlClick(byMouse);
}

void TdxBarItemControl::ControlClick(bool) {
  if (FParent && FParent->ControlKind() == 2 && dynamic_cast<TdxBarButtonControl*>(this)) PlayMenuSound(1);
  TdxBarItemLink* source = FItemLink ? FItemLink->SourceLink() : nullptr;
  TdxBarItem* item = OwnItem();
  const bool fires = FiresItemClick();
  const bool closes = ClosesMenusOnClick();
  if (closes) {
    try {
      if (source) source->RecordUse(true);
      if (FItemLink && FItemLink != source) FItemLink->RecordUse(true);
    } catch (...) {
    }
  }
  TObjectGuard self(this);
  TObjectGuard itemGuard(item);
  TCustomdxBarControl* parent = FParent;
  const bool unclick = UnclickAfterDoing() && (!closes || (parent && !parent->IsTransientBar()));
  if (unclick) SetPressed(true);
  TdxBarItemLink* clickLink = source ? source : FItemLink;
  if (closes && parent) {
    parent->Close();
    if (!self.Alive()) {
      if (fires && itemGuard.Alive() && item) item->DoClick();
      return;
    }
  }
  if (fires && item) {
    item->SetClickItemLink(clickLink);
    item->DoClick();
    if (itemGuard.Alive()) item->SetClickItemLink(nullptr);
  }
  if (unclick && self.Alive()) SetPressed(false);
}

// --- Levels and measuring ---------------------------------------------------------------------

TdxBarItemViewLevels TdxBarItemControl::GetPossibleViewLevels() const {
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  if (GetImageParams(0, index, images, bitmap)) return TdxBarItemViewLevels{ivlSmallIconWithText, ivlSmallIcon};
  return TdxBarItemViewLevels{ivlSmallIconWithText};
}

TdxBarItemViewLevels TdxBarItemControl::PossibleViewLevels() const {
  const TdxBarItemViewLevels possible = GetPossibleViewLevels();
  if (dxBarHighestViewLevel(possible) < 0) throw Exception(AnsiString(ClassType()->Name) + ".GetPossibleViewLevels = []");
  return possible;
}

TdxBarItemViewLevels TdxBarItemControl::AllowedViewLevels() const {
  const TdxBarItemViewLevels possible = PossibleViewLevels();
  if (!FItemLink) return possible;
  const TdxBarItemViewLevels both = possible * FItemLink->ViewLevels();
  return dxBarHighestViewLevel(both) < 0 ? possible : both;
}

int TdxBarItemControl::ViewSizeForLevel(int level) const {
  switch (level) {
    case 0: return 2;
    case 1:
    case 2: return 0;
    default: return GetDefaultViewSize();
  }
}

int TdxBarItemControl::GetDefaultViewSize() const {
  if (FItemLink && FItemLink->Links() && FItemLink->Links()->ItemSizeInEffect() == misLarge) return 2;
  TdxBarImageOptions* options = ImageOptionsOf(LinkBarManager());
  if (options && options->LargeIcons() && Painter()->AllowsLargeIcons()) return 1;
  return 0;
}

unsigned TdxBarItemControl::GetViewStructure() const {
  const int level = FViewInfo ? FViewInfo->ViewLevel() : ivlDefault;
  unsigned structure = 0;
  switch (level) {
    case 0:
    case 1: structure = dxBarViewText; break;
    case 2: structure = 0; break;
    case 3: return 0;
    default: return GetDefaultViewStructure();
  }
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  if (GetImageParams(ViewSizeForLevel(level), index, images, bitmap)) structure |= dxBarViewIcon;
  return structure;
}

int TdxBarItemControl::GetPaintType() const { return FParent ? FParent->ItemPaintKind() : dxBarPaintBar; }

AnsiString TdxBarItemControl::GetCaption() const { return FItemLink ? FItemLink->DisplayCaption() : AnsiString(); }

TBitmap* TdxBarItemControl::GetGlyph() const { return FItemLink ? FItemLink->DisplayGlyph() : nullptr; }

int TdxBarItemControl::GetImageIndex() const {
  TdxBarItem* item = OwnItem();
  return item ? item->ImageIndex() : -1;
}

TCustomImageList* TdxBarItemControl::GetSmallImageList() const {
  TdxBarImageOptions* options = ImageOptionsOf(LinkBarManager());
  if (!options) return nullptr;
  if (!IsEnabled() && options->DisabledImages()) return options->DisabledImages();
  return options->Images();
}

TCustomImageList* TdxBarItemControl::GetLargeImageList() const {
  TdxBarImageOptions* options = ImageOptionsOf(LinkBarManager());
  if (!options) return nullptr;
  if (!IsEnabled() && options->DisabledLargeImages()) return options->DisabledLargeImages();
  return options->LargeImages();
}

bool TdxBarItemControl::GetImageParams(int viewSize, int& index, TCustomImageList*& images, TBitmap*& bitmap) const {
  TdxBarImageOptions* options = ImageOptionsOf(LinkBarManager());
  TdxBarItem* item = OwnItem();
  const bool largeSize = viewSize == 2 || (GetPaintType() != dxBarPaintMenu && options && options->LargeIcons() &&
                                           Painter()->AllowsLargeIcons() && options->UseLargeImagesForLargeIcons());
  TCustomImageList* large = largeSize ? GetLargeImageList() : nullptr;
  const int largeIndex = item ? item->LargeImageIndex() : -1;
  const bool largeList = large && largeIndex >= 0 && largeIndex < large->Count();
  images = largeList ? large : GetSmallImageList();
  index = largeList ? largeIndex : GetImageIndex();
  if (item && largeSize && BitmapUsable(item->LargeGlyph()))
    bitmap = item->LargeGlyph();
  else if (largeList)
    bitmap = nullptr;
  else
    bitmap = GetGlyph();
  if (!BitmapUsable(bitmap)) bitmap = nullptr;
  if (bitmap || (images && index >= 0 && index < images->Count())) return true;
  bitmap = FParent ? FParent->ItemBackgroundBitmap() : nullptr;
  return BitmapUsable(bitmap);
}

SIZE TdxBarItemControl::GetImageSize(int viewSize) const {
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  if (GetImageParams(viewSize, index, images, bitmap)) {
    if (bitmap) return SIZE{bitmap->Width(), bitmap->Height()};
    if (images) return SIZE{images->Width(), images->Height()};
  }
  if (viewSize == 2) return SIZE{20, 20};
  TdxBarImageOptions* options = ImageOptionsOf(LinkBarManager());
  const int size = options ? options->GlyphSize() : 16;
  return SIZE{size, size};
}

void TdxBarItemControl::PrepareDrawParams(bool withTexts) {
  if (!FDrawParams) FDrawParams = NewDrawParams();
  TdxBarItemControlDrawParams* p = FDrawParams;
  if (withTexts) {
    p->Caption = GetCaption();
    TdxBarItem* item = OwnItem();
    p->Description = item ? item->Description() : AnsiString();
    p->ShortCutText.clear();
    p->PaintType = GetPaintType();
    p->Enabled = IsEnabled();
    p->CanSelect = CanSelect();
    p->DrawSelected = GetDrawSelected();
    p->IsDropDown = IsDropDown();
    p->HotPartIndex = FHotPartIndex;
    p->IsCustomizing = FParent && FParent->IsCustomizing();
    p->SelectedByKey = p->DrawSelected && !FSelectedByMouse;
  }
  p->Canvas = PaintCanvas();
  p->SetViewSize(ViewSizeForLevel(FViewInfo ? FViewInfo->ViewLevel() : ivlDefault));
  p->ViewStructure = GetViewStructure();
  TdxBarImageOptions* options = ImageOptionsOf(LinkBarManager());
  const int glyph = options ? options->GlyphSize() : 16;
  p->GlyphAreaSize = Painter()->GetArrowPartSize(glyph, FTextSize ? FTextSize : (FParent ? FParent->TextSize() : 0));
}

void TdxBarItemControl::CalcParts() { FParts.assign(static_cast<size_t>(GetPartCount()), GetItemRect()); }

int TdxBarItemControl::TextHeight() {
  TcxCanvas* canvas = PaintCanvas();
  return canvas ? canvas->HeightOfText("Qq") : 0;
}

int TdxBarItemControl::TextWidth(const AnsiString& text) {
  TcxCanvas* canvas = PaintCanvas();
  return canvas ? canvas->WidthOfText(text) : 0;
}

int TdxBarItemControl::GetCaptionWidth() {
  RECT r{0, 0, 0, 0};
  Painter()->CalcCaptionRect(FDrawParams, r);
  return r.right - r.left;
}

int TdxBarItemControl::GetTextIndent() {
  const int size = FParent ? FParent->Font()->Size() : 8;
  return size / 2;
}

int TdxBarItemControl::GetCaptionAreaWidth() {
  if (!(FDrawParams->ViewStructure & dxBarViewText)) return 0;
  if (GetPaintType() == dxBarPaintMenu) {
    int width = GetCaptionWidth();
    TdxBarItem* item = OwnItem();
    if (FItemLink && FItemLink->Links() && FItemLink->Links()->ShowShortCutsInEffect() && item && item->ShortCut())
      width += TextWidth(ShortCutToText(item->ShortCut())) + (FParent ? FParent->TextSize() : 0) - 6;
    const TdxBarBorders margins = Painter()->GetTextMargins();
    return width + margins.Left + margins.Right + Painter()->GetItemHeightInBar(this);
  }
  if (!(FDrawParams->ViewStructure & dxBarViewIcon)) return GetCaptionWidth() + 2 * GetTextIndent();
  return GetCaptionWidth() + Painter()->GetButtonCaptionOffsets().Left;
}

int TdxBarItemControl::GetGlyphAreaWidth() {
  if (GetPaintType() == dxBarPaintMenu) return FParent ? FParent->IconAreaSizeValue() : 0;
  if (!(FDrawParams->ViewStructure & dxBarViewIcon)) return 0;
  return IsRotated() ? FDrawParams->GlyphAreaSize.cy : FDrawParams->GlyphAreaSize.cx;
}

int TdxBarItemControl::GetMenuWidth() { return GetGlyphAreaWidth() + GetCaptionAreaWidth() + GetExtraWidth(); }

int TdxBarItemControl::GetMenuHeight() {
  int height = FParent ? FParent->ItemLineHeight(this) : 0;
  Painter()->AdjustIconAreaSize(height);
  return height;
}

int TdxBarItemControl::GetNormalHeight() {
  int height = 0;
  if (FDrawParams->ViewStructure & dxBarViewText) height = FTextSize;
  if (FDrawParams->ViewStructure & dxBarViewIcon)
    height = std::max(height, static_cast<int>(IsRotated() ? FDrawParams->GlyphAreaSize.cx : FDrawParams->GlyphAreaSize.cy));
  return height;
}

int TdxBarItemControl::GetLargeHeight() {
  const SIZE image = GetImageSize(2);
  const int extent = IsRotated() ? image.cx : image.cy;
  if (!(FDrawParams->ViewStructure & dxBarViewText)) return extent + 6;
  TdxBarItem* item = OwnItem();
  const int layout = item ? item->GlyphLayout() : 0;
  if (layout == 2 || layout == 3) return extent + TextHeight() + 7;
  return std::max(extent, TextHeight()) + 6;
}

int TdxBarItemControl::GetLargeWidth() {
  const SIZE image = GetImageSize(2);
  const int extent = IsRotated() ? image.cy : image.cx;
  if (!(FDrawParams->ViewStructure & dxBarViewText)) return extent + 10;
  TdxBarItem* item = OwnItem();
  const int layout = item ? item->GlyphLayout() : 0;
  if (layout == 2 || layout == 3) return std::max(extent, GetCaptionWidth() + 6) + 10;
  return extent + GetCaptionWidth() + 16;
}

int TdxBarItemControl::GetHorizontalHeight() {
  return FDrawParams->ViewSize() == 2 ? GetLargeHeight() : GetNormalHeight();
}

int TdxBarItemControl::GetHorizontalWidth() {
  return FDrawParams->ViewSize() == 2 ? GetLargeWidth() : GetMenuWidth();
}

int TdxBarItemControl::GetHeight() {
  if (FParent && FParent->ControlKind() == 2) return GetMenuHeight();
  if (IsRotated()) return GetHorizontalWidth();
  return GetHorizontalHeight();
}

int TdxBarItemControl::GetDefaultWidth() {
  if (GetPaintType() == dxBarPaintMenu) {
    int width = GetMenuWidth();
    Painter()->AdjustMenuItemWidth(width);
    return width;
  }
  if (IsRotated()) return GetHorizontalHeight();
  return GetHorizontalWidth();
}

int TdxBarItemControl::CalcHeight() {
  PrepareDrawParams(false);
  return GetHeight();
}

int TdxBarItemControl::CalcWidth() {
  PrepareDrawParams(false);
  return std::max(GetDefaultWidth(), GetMinWidth());
}

void TdxBarItemControl::DrawTo(TcxCanvas* canvas, const RECT& r, int paintType) {
  if (r.right <= r.left || r.bottom <= r.top) return;
  HDC dc = canvas->GetDeviceContext();
  const int saved = SaveDC(dc);
  if (canvas != (FParent ? FParent->PaintCanvas() : nullptr) && FParent) canvas->Canvas()->Font()->Assign(FParent->Font());
  FActiveCanvas = canvas;
  try {
    PrepareDrawParams(true);
    CalcParts();
    DrawInterior(r, paintType);
  } catch (...) {
    FActiveCanvas = nullptr;
    PrepareDrawParams(false);
    RestoreDC(dc, saved);
    throw;
  }
  FActiveCanvas = nullptr;
  PrepareDrawParams(false);
  RestoreDC(dc, saved);
}

// --- Pending open and close ------------------------------------------------------------------

namespace {

struct TPendingEntry {
  TdxBarButtonLikeControl* Control = nullptr;
  UINT_PTR Timer = 0;
};
TPendingEntry PendingOpen, PendingClose;

void CancelEntry(TPendingEntry& entry) {
  if (entry.Timer) KillTimer(nullptr, entry.Timer);
  entry = TPendingEntry{};
}

}  // namespace

TdxBarButtonLikeControl* TdxBarButtonLikeControl::PendingOpenControl() { return PendingOpen.Control; }
TdxBarButtonLikeControl* TdxBarButtonLikeControl::PendingCloseControl() { return PendingClose.Control; }

void CALLBACK TdxBarButtonLikeControl::PendingOpenTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  TdxBarButtonLikeControl* control = PendingOpen.Control;
  CancelEntry(PendingOpen);
  if (!control) return;
  try {
    control->ControlActivate(true);
  } catch (...) {
    Application->HandleException(control);
  }
}

void CALLBACK TdxBarButtonLikeControl::PendingCloseTimerProc(HWND, UINT, UINT_PTR, DWORD) {
  TdxBarButtonLikeControl* control = PendingClose.Control;
  CancelEntry(PendingClose);
  if (!control) return;
  try {
    control->ControlInactivate(true);
  } catch (...) {
    Application->HandleException(control);
  }
}

void TdxBarButtonLikeControl::CancelPendingTimers() {
  if (PendingOpen.Control == this) CancelEntry(PendingOpen);
  if (PendingClose.Control == this) CancelEntry(PendingClose);
}

TdxBarButtonLikeControl::~TdxBarButtonLikeControl() {
  CancelPendingTimers();
  if (TCustomdxBarControl* sub = GetSubMenuControl(); sub && sub->OwnerItemControl() == this) {
    sub->SetOwnerItemControl(nullptr);
    sub->HideWindow();
  }
}

bool TdxBarButtonLikeControl::OnToolbar() const { return FParent && FParent->ControlKind() == 0; }

void TdxBarButtonLikeControl::ControlActivate(bool immediately) {
  if (IsDroppedDown()) {
    CancelPendingTimers();
    return;
  }
  FActive = true;
  if (!IsDropDown() || !IsClickable()) return;
  TdxBarManager* manager = LinkBarManager();
  const bool customizing = manager && manager->InCustomizingOrDesign();
  if (OnToolbar()) {
    if (!(customizing || FParent->Downed())) return;
  } else if (!immediately && !customizing) {
    CancelEntry(PendingOpen);
    if (PendingClose.Control == this) CancelEntry(PendingClose);
    PendingOpen.Control = this;
    PendingOpen.Timer = SetTimer(nullptr, 0, PendingDelay, &PendingOpenTimerProc);
    return;
  }
  if (TdxBarButtonLikeControl* closing = PendingClose.Control; closing && closing != this) {
    CancelEntry(PendingClose);
    closing->ControlInactivate(true);
  } else if (closing == this) {
    CancelEntry(PendingClose);
  }
  DropDown(true);
}

void TdxBarButtonLikeControl::ControlInactivate(bool immediately) {
  TdxBarManager* manager = LinkBarManager();
  if (OnToolbar() || immediately || !FParent || FParent->IsDestroying() ||
      (manager && manager->InCustomizingOrDesign())) {
    FActive = false;
    CloseUp(GetSubMenuControl() != nullptr);
    return;
  }
  if (PendingOpen.Control == this) CancelEntry(PendingOpen);
  if (IsDroppedDown()) {
    CancelEntry(PendingClose);
    PendingClose.Control = this;
    PendingClose.Timer = SetTimer(nullptr, 0, PendingDelay, &PendingCloseTimerProc);
  } else {
    FActive = false;
  }
}

void TdxBarButtonLikeControl::CloseUp(bool closeSubMenu) {
  CancelPendingTimers();
  if (closeSubMenu)
    if (TCustomdxBarControl* sub = GetSubMenuControl()) sub->HideWindow();
  Repaint();
}

bool TdxBarButtonLikeControl::WantsKey(WORD key) const {
  if (!IsDropDown()) return false;
  if (FParent && FParent->ControlKind() == 2) return key == VK_RIGHT;
  return key == VK_UP || key == VK_DOWN;
}

void TdxBarButtonLikeControl::KeyDown(WORD& key, TShiftState) {
  if (WantsKey(key)) MarkParentPressed(false);
}

int TdxBarButtonLikeControl::GetArrowWidth() const {
  if (FParent && FParent->ControlKind() == 2) return FParent->MenuArrowWidth();
  return Painter()->GetButtonArrowWidth(LinkBarManager());
}

bool TdxBarButtonLikeControl::IsClickable() const {
  TdxBarManager* manager = LinkBarManager();
  return IsEnabled() || (manager && manager->IsDesigning());
}

void TdxBarButtonLikeControl::MarkParentPressed(bool) {
  if (FParent) FParent->SetDowned(true);
}

bool TdxBarButtonLikeControl::UsesPartTextColor() { return Painter()->HasPartTextColor(FDrawParams, 0); }

bool TdxBarButtonLikeControl::DrawsFrame() { return Painter()->GetArrowPartExtent(this) != 0; }

void TdxBarButtonLikeControl::PrepareDrawParams(bool withTexts) {
  TdxBarItemControl::PrepareDrawParams(withTexts);
  TdxBarButtonLikeControlDrawParams* p = ButtonParams();
  if (withTexts) {
    p->RealPositionInButtonGroup = FViewInfo ? FViewInfo->RealPositionInButtonGroup() : bgpNone;
    p->DrawsFrame = DrawsFrame();
    p->UsesPartTextColor = UsesPartTextColor();
  }
  p->ArrowSize = SIZE{GetArrowWidth(), FParent ? FParent->MenuArrowHeight() : 4};
}

void TdxBarButtonLikeControl::DrawInterior(const RECT& r, int) { Painter()->DrawButtonControl(FDrawParams, r); }

// --- Button ---------------------------------------------------------------------------------------

namespace {
TdxBarButton* ButtonOf(const TdxBarItemControl* control) { return dynamic_cast<TdxBarButton*>(control->OwnItem()); }
}  // namespace

TdxBarPaintStyle TdxBarButtonControl::GetPaintStyle() const {
  TdxBarPaintStyle style = FItemLink ? FItemLink->DisplayPaintStyle() : psStandard;
  if (style == psStandard && OnToolbar()) {
    int index = -1;
    TCustomImageList* images = nullptr;
    TBitmap* bitmap = nullptr;
    if (!GetImageParams(FDrawParams ? FDrawParams->ViewSize() : 0, index, images, bitmap)) style = psCaption;
  }
  return style;
}

bool TdxBarButtonControl::ClosesMenusOnClick() const {
  TdxBarButton* button = ButtonOf(this);
  return OnToolbar() || !button || button->CloseSubMenuOnClick();
}

bool TdxBarButtonControl::IsDropDown() const {
  TdxBarButton* button = ButtonOf(this);
  return button && (button->ButtonStyle() == bsDropDown || button->ButtonStyle() == bsCheckedDropDown);
}

bool TdxBarButtonControl::NeedsCaptureMouse() const { return !FDroppedDown && FParent && FParent->ControlKind() == 1; }

bool TdxBarButtonControl::GetDrawSelected() const {
  return (TdxBarItemControl::GetDrawSelected() && !(FParent && FParent->IsCustomizing())) || FPressed;
}

unsigned TdxBarButtonControl::GetViewStructure() const {
  if (FViewInfo && FViewInfo->ViewLevel() == static_cast<int>(ivlSmallIcon)) return dxBarViewIcon;
  return TdxBarButtonLikeControl::GetViewStructure();
}

unsigned TdxBarButtonControl::GetDefaultViewStructure() const {
  const bool menu = GetPaintType() == dxBarPaintMenu;
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  const bool image = GetImageParams(FDrawParams ? FDrawParams->ViewSize() : 0, index, images, bitmap);
  switch (GetPaintStyle()) {
    case psStandard:
      if (menu) return dxBarViewIcon | dxBarViewText;
      return image ? dxBarViewIcon : dxBarViewText;
    case psCaption: return dxBarViewText;
    case psCaptionInMenu: return menu ? dxBarViewText : dxBarViewIcon;
    case psCaptionGlyph: return dxBarViewIcon | dxBarViewText;
  }
  return dxBarViewText;
}

bool TdxBarButtonControl::UnclickAfterDoing() const {
  TdxBarItem* item = OwnItem();
  return !item || item->UnclickAfterDoing();
}

void TdxBarButtonControl::CalcParts() {
  TdxBarItemControl::CalcParts();
  Painter()->CalcButtonParts(FDrawParams, FParts.data(), static_cast<int>(FParts.size()), 0, 0);
}

bool TdxBarButtonControl::PressedNow() const {
  TdxBarButton* button = ButtonOf(this);
  const bool checked = button && button->IsCheckStyle();
  return (IsDrawnSelected() && FParent && FParent->IsActive() && IsMouseDownInside() && FHotPartIndex == 0) ||
         (FPressed && !checked);
}

void TdxBarButtonControl::BeforeClick(bool byMouse) {
  if (OnToolbar() && !FParent->Downed()) return;
  if (IsDropDown() && byMouse && FHotPartIndex == 1) {
    ControlActivate(true);
    return;
  }
  if (OnToolbar() || IsDropDown()) Repaint();
}

void TdxBarButtonControl::ControlClick(bool byMouse) {
  if (byMouse && FHotPartIndex != 0) return;
  TObjectGuard self(this);
  if (TdxBarButton* button = ButtonOf(this); button && button->IsCheckStyle()) button->SetDown(!button->Down());
  if (!self.Alive()) return;
  ControlInactivate(true);
  if (!self.Alive()) return;
  TdxBarButtonLikeControl::ControlClick(byMouse);
}

void TdxBarButtonControl::PrepareDrawParams(bool withTexts) {
  TdxBarButtonLikeControl::PrepareDrawParams(withTexts);
  if (!withTexts) return;
  TdxBarButtonLikeControlDrawParams* p = ButtonParams();
  TdxBarButton* button = ButtonOf(this);
  p->ShortCutText = button && button->ShortCut() ? ShortCutToText(button->ShortCut()) : AnsiString();
  p->IsPressed = PressedNow();
  p->Down = button && button->Down();
  p->PressedCopy = p->IsPressed;
  p->DroppedDown = FDroppedDown;
  p->FlatDroppedDown = Painter()->IsFlatLook() && FDroppedDown;
  p->ButtonKind = true;
  p->DropDownEnabled = button && button->DropDownEnabled();
  p->ExtraState = false;
  p->Lowered = button && button->Lowered();
}

void TdxBarButtonControl::DropDown(bool byMouse) {
  TdxBarButton* button = ButtonOf(this);
  if (FDroppedDown || !IsEnabled() || !button || !button->DropDownEnabled() || !button->DropDownMenu()) return;
  FDroppedDown = true;
  ++FDropDownCount;
  FParent->ItemSelectedHook(this);
  Repaint();
  const RECT r = GetItemRect();
  POINT p = (FParent->ControlKind() == 2 || FParent->IsVertical()) ? POINT{r.right, r.top} : POINT{r.left, r.bottom};
  if (FParent->ControlKind() == 2) p.y -= FParent->BarIndent();
  if (FParent->HandleAllocated()) ClientToScreen(FParent->Handle(), &p);
  TObjectGuard self(this);
  button->DropDownMenu()->SetOpenedByItem(button);
  button->DropDownMenu()->ShowForOwner(p.x, p.y, r.right - r.left, r.bottom - r.top, FShowAnimation, nullptr, false,
                                       FParent);
  (void)byMouse;
  if (self.Alive() && Painter()->DrawsFlatItemsFor(this)) Repaint();
}

void TdxBarButtonControl::CloseUp(bool closeSubMenu) {
  FDroppedDown = false;
  TdxBarButtonLikeControl::CloseUp(closeSubMenu);
}

void TdxBarButtonControl::MarkParentPressed(bool byMouse) {
  TdxBarButtonLikeControl::MarkParentPressed(byMouse);
  DropDown(byMouse);
}

TCustomdxBarControl* TdxBarButtonControl::GetSubMenuControl() const {
  TdxBarButton* button = ButtonOf(this);
  return button && button->DropDownMenu() ? button->DropDownMenu()->ItemLinks()->BarControl() : nullptr;
}

bool TdxBarButtonControl::DrawsFrame() {
  TdxBarPainter* painter = Painter();
  if (!painter->IsFlatLook()) return false;
  TdxBarButton* button = ButtonOf(this);
  const bool down = button && button->Down();
  const bool pressed = PressedNow();
  if ((pressed || (down && IsDrawnSelected())) && painter->AllowsButtonFrame()) return true;
  return (pressed || down || IsDrawnSelected()) && (!FDroppedDown || TdxBarButtonLikeControl::DrawsFrame());
}

bool TdxBarButtonControl::UsesPartTextColor() { return !DrawsFrame() || TdxBarButtonLikeControl::UsesPartTextColor(); }

int TdxBarButtonControl::GetHeight() {
  int height = TdxBarButtonLikeControl::GetHeight();
  if (TdxBarButton* button = ButtonOf(this); button && button->Lowered()) height += 2 * Painter()->GetButtonBorderWidth(this);
  return height;
}

int TdxBarButtonControl::GetDefaultWidth() {
  int width = TdxBarButtonLikeControl::GetDefaultWidth();
  Painter()->AddCaptionIndent(FDrawParams, width);
  if (TdxBarButton* button = ButtonOf(this); button && button->Lowered()) width += 2 * Painter()->GetButtonBorderWidth(this);
  return width;
}

int TdxBarButtonControl::GetNormalHeight() {
  int height = TdxBarButtonLikeControl::GetNormalHeight();
  if (FDrawParams->ViewStructure & dxBarViewText)
    height = std::max(height, static_cast<int>(IsRotated() ? FDrawParams->GlyphAreaSize.cx : FDrawParams->GlyphAreaSize.cy));
  return height;
}

// --- Sub-item ----------------------------------------------------------------------------------------

namespace {
TCustomdxBarSubItem* SubItemOf(const TdxBarItemControl* control) {
  return dynamic_cast<TCustomdxBarSubItem*>(control->OwnItem());
}
}  // namespace

TdxBarSubItemControl::~TdxBarSubItemControl() { FActive = false; }

TCustomdxBarControl* TdxBarSubItemControl::GetSubMenuControl() const {
  TCustomdxBarSubItem* sub = SubItemOf(this);
  return sub && sub->ItemLinks() ? sub->ItemLinks()->BarControl() : nullptr;
}

bool TdxBarSubItemControl::IsDroppedDown() const {
  TCustomdxBarControl* sub = GetSubMenuControl();
  return sub && FActive && sub->OwnerItemControl() == this && sub->Visible();
}

bool TdxBarSubItemControl::WantsKey(WORD key) const {
  return key == VK_RETURN || TdxBarButtonLikeControl::WantsKey(key);
}

bool TdxBarSubItemControl::IsClickable() const {
  TCustomdxBarSubItem* sub = SubItemOf(this);
  const bool internalLinks = sub && sub->ItemLinks() && sub->ItemLinks()->IsInternal();
  return TdxBarButtonLikeControl::IsClickable() && !(!IsEnabled() && internalLinks);
}

TdxBarItemViewLevels TdxBarSubItemControl::GetPossibleViewLevels() const {
  TdxBarItemViewLevels levels = TdxBarButtonLikeControl::GetPossibleViewLevels();
  levels.Include(ivlLargeIconWithText);
  return levels;
}

unsigned TdxBarSubItemControl::GetDefaultViewStructure() const {
  TdxBarItem* item = OwnItem();
  unsigned structure = 0;
  if ((item && item->ShowCaption()) || GetPaintType() == dxBarPaintMenu) structure |= dxBarViewText;
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  const bool image = GetImageParams(FDrawParams ? FDrawParams->ViewSize() : 0, index, images, bitmap);
  if (image || !(structure & dxBarViewText)) structure |= dxBarViewIcon;
  return structure;
}

int TdxBarSubItemControl::GetTextIndent() { return Painter()->GetSubItemArrowIndent(this); }

int TdxBarSubItemControl::GetCaptionAreaWidth() {
  int width = TdxBarButtonLikeControl::GetCaptionAreaWidth();
  Painter()->AddCaptionIndent(FDrawParams, width);
  return width;
}

void TdxBarSubItemControl::ControlActivate(bool immediately) {
  if (CanOpen()) TdxBarButtonLikeControl::ControlActivate(immediately);
}

void TdxBarSubItemControl::ControlInactivate(bool immediately) {
  if (CanOpen()) TdxBarButtonLikeControl::ControlInactivate(immediately);
}

void TdxBarSubItemControl::BeforeClick(bool byMouse) {
  TdxBarManager* manager = LinkBarManager();
  if (IsDroppedDown()) {
    if ((FParent && FParent->IsCustomizing()) || (manager && manager->EffectiveStyle() == bmsStandard))
      ControlInactivate(true);
    return;
  }
  ControlActivate(true);
  if (!byMouse)
    if (TCustomdxBarControl* sub = GetSubMenuControl(); sub && sub->ItemLinks())
      if (TdxBarItemLink* first = sub->ItemLinks()->FirstSelectableLink(); first && first->Control())
        sub->SelectItemControl(first->Control());
}

void TdxBarSubItemControl::MarkParentPressed(bool byMouse) {
  TdxBarButtonLikeControl::MarkParentPressed(byMouse);
  Click(byMouse);
}

void TdxBarSubItemControl::PrepareDrawParams(bool withTexts) {
  TdxBarButtonLikeControl::PrepareDrawParams(withTexts);
  if (!withTexts) return;
  TdxBarButtonLikeControlDrawParams* p = ButtonParams();
  const bool open = IsDroppedDown();
  p->IsPressed = open && FHotPartIndex >= 0 && IsMouseDownInside();
  p->PressedCopy = p->DroppedDown = open;
  p->OnMainMenu = IsOnMainMenu();
}

bool TdxBarSubItemControl::IsOnMainMenu() const { return FParent && FParent->IsMainMenu(); }

void TdxBarSubItemControl::AttachSubMenu() {
  TCustomdxBarSubItem* sub = SubItemOf(this);
  if (sub && sub->ItemLinks() && !sub->ItemLinks()->BarControl()) sub->ItemLinks()->AttachBarControl();
}

void TdxBarSubItemControl::CalcSubMenuPosition(POINT& point, int& ownerWidth, int& ownerHeight) {
  const RECT r = GetItemRect();
  TCustomdxBarControl* sub = GetSubMenuControl();
  if (FParent->ControlKind() == 2) {
    point = POINT{r.right, r.top - (sub ? sub->BarIndent() : 0)};
    ownerWidth = r.right - r.left;
    ownerHeight = 0;
  } else if (!FParent->IsVertical()) {
    point = POINT{r.left, r.bottom};
    ownerHeight = r.bottom - r.top;
    ownerWidth = 0;
  } else {
    point = POINT{r.right, r.top};
    ownerWidth = r.right - r.left;
    ownerHeight = 0;
  }
  if (FParent->HandleAllocated()) ClientToScreen(FParent->Handle(), &point);
}

void TdxBarSubItemControl::DropDown(bool) {
  TCustomdxBarSubItem* sub = SubItemOf(this);
  if (!sub) return;
  TObjectGuard self(this);
  sub->DoClick();
  if (!self.Alive()) return;
  AttachSubMenu();
  TCustomdxBarControl* menu = GetSubMenuControl();
  if (!menu) return;
  menu->SetOwnerItemControl(this);
  POINT p{0, 0};
  int ownerWidth = 0, ownerHeight = 0;
  CalcSubMenuPosition(p, ownerWidth, ownerHeight);
  FParent->SetChildBar(menu);
  if (OnToolbar()) Repaint();
  FShowAnimation = false;
  menu->PrepareAndShow(p, ownerWidth, ownerHeight);
  Repaint();
}

void TdxBarSubItemControl::CloseUp(bool closeSubMenu) {
  TCustomdxBarControl* menu = GetSubMenuControl();
  if (closeSubMenu && menu && menu->OwnerItemControl() == this) menu->SetOwnerItemControl(nullptr);
  if (closeSubMenu && menu && FParent && FParent->ChildBar() == menu) FParent->SetChildBar(nullptr);
  TdxBarButtonLikeControl::CloseUp(closeSubMenu);
}

bool TdxBarSubItemControl::DrawsFrame() {
  return IsDrawnSelected() && (Painter()->SubItemHasOwnArrowPart(this) || TdxBarButtonLikeControl::DrawsFrame());
}

bool TdxBarSubItemControl::UsesPartTextColor() { return Painter()->IsFlatLook(); }

// --- Application-menu button ---------------------------------------------------------------------

unsigned TdxBarApplicationMenuButtonControl::GetDefaultViewStructure() const {
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  return GetImageParams(0, index, images, bitmap) ? dxBarViewIcon | dxBarViewText : dxBarViewText;
}

void TdxBarApplicationMenuButtonControl::Changed() {
  if (FParent) FParent->Invalidate();
}

int TdxBarApplicationMenuButtonControl::GetHorizontalWidth() {
  TdxBarItem* item = OwnItem();
  return item && item->Width() ? item->Width() : TdxBarButtonControl::GetHorizontalWidth();
}

void TdxBarApplicationMenuButtonControl::PrepareDrawParams(bool withTexts) {
  TdxBarButtonControl::PrepareDrawParams(withTexts);
  if (withTexts)
    static_cast<TdxBarApplicationMenuButtonControlDrawParams*>(FDrawParams)->Width =
        TdxBarItemControl::GetHorizontalWidth();
}

void TdxBarApplicationMenuButtonControl::DrawInterior(const RECT& r, int) {
  Painter()->DrawApplicationMenuExtra(FDrawParams, r);
}
