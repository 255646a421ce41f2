#include "editors/framework/Button.h"

#include "foundation/Graphics.h"
#include "foundation/StandardPainter.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "foundation/WinXPPainter.h"
#include "platform/ControlsProperties.h"
#include "platform/Forms.h"
#include "platform/Properties.h"
#include "platform/Screen.h"

#include <algorithm>

const TClassInfo TcxButtonColors::ClassInfo{"TcxButtonColors", &TPersistent::ClassInfo, nullptr};
const TClassInfo TcxGlyphList::ClassInfo{"TcxGlyphList", &TcxImageList::ClassInfo, nullptr};
const TClassInfo TcxGlyphCache::ClassInfo{"TcxGlyphCache", &TObject::ClassInfo, nullptr};
const TClassInfo TcxButtonGlyph::TcxImageInfo::ClassInfo{"TcxImageInfo", &TObject::ClassInfo, nullptr};
const TClassInfo TcxButtonGlyph::ClassInfo{"TcxButtonGlyph", &TObject::ClassInfo, nullptr};
const TClassInfo TcxButtonActionLink::ClassInfo{"TcxButtonActionLink", &TButtonActionLink::ClassInfo,
                                                [](TObject* client) -> TObject* {
                                                  return new TcxButtonActionLink(client);
                                                }};
const TClassInfo TcxCustomButton::ClassInfo{"TcxCustomButton", &TButton::ClassInfo, [](TObject* owner) -> TObject* {
                                              return new TcxCustomButton(static_cast<TComponent*>(owner));
                                            }};
const TClassInfo TcxButton::ClassInfo{"TcxButton", &TcxCustomButton::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new TcxButton(static_cast<TComponent*>(owner));
                                      }};

namespace {

constexpr int BP_PUSHBUTTON = 1;
constexpr int PBS_NORMAL = 1;

TcxGlyphCache* GlyphCache = nullptr;
int GlyphCount = 0;

// The cell of the glyph strip a state shows: up 0, disabled 1, down 2.
int CellOfState(TcxButtonState state, int numGlyphs) {
  switch (state) {
    case cxbsPressed: return numGlyphs >= 3 ? 2 : 0;
    case cxbsDisabled: return 1;
    default: return 0;
  }
}

// A monochrome mask: white where the image shows `transparent`, else black.
void MakeMask(TBitmap* image, TColor transparent, TBitmap* mask) {
  const int w = image->GetWidth(), h = image->GetHeight();
  mask->SetMonochrome(true);
  mask->SetSize(w, h);
  HDC source = image->Canvas()->Handle();
  HDC target = mask->Canvas()->Handle();
  const COLORREF key = ColorToRGB(transparent) & 0xFFFFFF;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      SetPixel(target, x, y, (GetPixel(source, x, y) & 0xFFFFFF) == key ? RGB(255, 255, 255) : RGB(0, 0, 0));
}

}  // namespace

// -- TcxButtonColors --------------------------------------------------------------------

TcxButtonColors::TcxButtonColors(TcxCustomButton* owner) : FButton(owner) { std::fill(std::begin(FColors), std::end(FColors), clDefault); }

void TcxButtonColors::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TcxButtonColors>(source)) {
    std::copy(std::begin(other->FColors), std::end(other->FColors), FColors);
    FAssignedColors = other->FAssignedColors;
    if (FButton) FButton->Invalidate();
    return;
  }
  TPersistent::Assign(source);
}

void TcxButtonColors::SetAssignedColors(TcxButtonAssignedColors value) {
  if (!FButton || !FButton->ComponentState().Contains(csDesigning)) return;
  for (int i = 0; i < 10; ++i) {
    const auto index = static_cast<TcxButtonAssignedColor>(i);
    if (!value.Contains(index)) FColors[i] = clDefault;
    else if (FColors[i] == clDefault) value.Exclude(index);
  }
  FAssignedColors = value;
  FButton->Invalidate();
}

void TcxButtonColors::SetColor(TcxButtonAssignedColor index, TColor value) {
  TColor& color = FColors[static_cast<int>(index)];
  if (value == clNone || value == clDefault) {
    color = clDefault;
    FAssignedColors.Exclude(index);
  } else {
    if (value == color) return;
    color = value;
    FAssignedColors.Include(index);
  }
  if (FButton) FButton->Invalidate();
}

// -- Glyph lists and their cache --------------------------------------------------------

TcxGlyphList::TcxGlyphList(int width, int height) : TcxImageList(nullptr) { SetSize(width, height); }

int TcxGlyphList::AddGlyph(TBitmap* image, TBitmap* mask) {
  ++FUsedCount;
  const auto free = std::find(FUsed.begin(), FUsed.end(), false);
  if (free != FUsed.end()) {
    const int index = static_cast<int>(free - FUsed.begin());
    ReplaceAt(index, image, mask);
    *free = true;
    return index;
  }
  const int index = AddBitmapPair(image, mask);
  if (index < 0) {
    --FUsedCount;
    return -1;
  }
  FUsed.resize(static_cast<size_t>(index) + 1, false);
  FUsed[static_cast<size_t>(index)] = true;
  return index;
}

void TcxGlyphList::ReleaseGlyph(int index) {
  if (index < 0 || index >= static_cast<int>(FUsed.size()) || !FUsed[static_cast<size_t>(index)]) return;
  FUsed[static_cast<size_t>(index)] = false;
  --FUsedCount;
}

TcxGlyphCache::~TcxGlyphCache() {
  for (TcxGlyphList* list : FLists) Free(list);
}

TcxGlyphList* TcxGlyphCache::GetList(int width, int height) {
  for (auto it = FLists.rbegin(); it != FLists.rend(); ++it)
    if ((*it)->Width() == width && (*it)->Height() == height) return *it;
  FLists.push_back(New<TcxGlyphList>(width, height));
  return FLists.back();
}

void TcxGlyphCache::ReturnList(TcxGlyphList* list) {
  if (!list || list->UsedCount() != 0) return;
  const auto it = std::find(FLists.begin(), FLists.end(), list);
  if (it == FLists.end()) return;
  FLists.erase(it);
  Free(list);
}

TcxGlyphCache* cxGlyphCache() { return GlyphCache; }

// -- TcxImageInfo and TcxButtonGlyph ----------------------------------------------------

TcxButtonGlyph::TcxImageInfo::TcxImageInfo(TcxButtonGlyph* owner) : FGlyph(New<TBitmap>()) {
  (void)owner;
}

TcxButtonGlyph::TcxImageInfo::~TcxImageInfo() { Free(FGlyph); }

bool TcxButtonGlyph::TcxImageInfo::IsImageAssigned() const {
  return !FGlyph->GetEmpty() || (FImages && IsValidImageIndex(FImages, FImageIndex));
}

TcxButtonGlyph::TcxButtonGlyph() : FImageInfo(std::make_unique<TcxImageInfo>(this)) {
  if (!GlyphCache) GlyphCache = New<TcxGlyphCache>();
  ++GlyphCount;
  FImageInfo->Glyph()->OnChange = TNotifyEvent::Bind<&TcxButtonGlyph::GlyphChanged>(this);
}

TcxButtonGlyph::~TcxButtonGlyph() {
  OnChange = TNotifyEvent();
  ReleaseImages();
  FImageInfo->Glyph()->OnChange = TNotifyEvent();
  FImageInfo.reset();
  if (--GlyphCount == 0 && GlyphCache && GlyphCache->ListCount() == 0) {
    Free(GlyphCache);
    GlyphCache = nullptr;
  }
}

void TcxButtonGlyph::SetGlyph(TBitmap* value) {
  FChanging = true;
  TBitmap* glyph = FImageInfo->Glyph();
  if (value) glyph->Assign(value);
  else glyph->SetSize(0, 0);
  FChanging = false;
  const int w = glyph->GetWidth(), h = glyph->GetHeight();
  int cells = 1;
  if (h > 0 && w % h == 0) {
    cells = w / h;
    if (cells > 4 || cells < 1) cells = 1;
  }
  FNumGlyphs = cells;
  GlyphChanged(nullptr);
}

void TcxButtonGlyph::SetNumGlyphs(int value) {
  value = std::clamp(value, 1, 4);
  if (value == FNumGlyphs) return;
  FNumGlyphs = value;
  ReleaseImages();
  FireEvent(OnChange, this);
}

void TcxButtonGlyph::SetImageList(TCustomImageList* images, int index) {
  if (images == FImageInfo->Images() && index == FImageInfo->ImageIndex()) return;
  FImageInfo->SetImages(images);
  FImageInfo->SetImageIndex(index);
  if (FImageInfo->Glyph()->GetEmpty()) {
    ReleaseImages();
    FireEvent(OnChange, this);
  }
}

void TcxButtonGlyph::GlyphChanged(TObject*) {
  if (FChanging) return;
  ReleaseImages();
  FireEvent(OnChange, this);
}

SIZE TcxButtonGlyph::GlyphSize() const {
  if (!IsImageAssigned()) return SIZE{0, 0};
  TBitmap* glyph = FImageInfo->Glyph();
  if (!glyph->GetEmpty()) return SIZE{glyph->GetWidth() / FNumGlyphs, glyph->GetHeight()};
  return SIZE{FImageInfo->Images()->Width(), FImageInfo->Images()->Height()};
}

RECT TcxButtonGlyph::TextMargins(TButtonLayout layout) const {
  (void)layout;
  return IsImageAssigned() ? RECT{0, 0, 0, 0} : RECT{1, 0, 2, 0};
}

void TcxButtonGlyph::ReleaseImages() {
  for (int& index : FImageIndices) {
    if (index != -1 && FGlyphList) FGlyphList->ReleaseGlyph(index);
    index = -1;
  }
  if (FGlyphList && GlyphCache) GlyphCache->ReturnList(FGlyphList);
  FGlyphList = nullptr;
}

int TcxButtonGlyph::StateImageIndex(TcxButtonState state) {
  const int cell = CellOfState(state, FNumGlyphs);
  if (FImageIndices[cell] != -1 || !IsImageAssigned()) return FImageIndices[cell];
  return BuildImage(cell, state);
}

int TcxButtonGlyph::BuildImage(int cell, TcxButtonState state) {
  (void)state;
  const SIZE size = GlyphSize();
  if (size.cx <= 0 || size.cy <= 0) return -1;
  TBitmap image, mask;
  image.SetPixelFormat(TPixelFormat::pf24bit);
  image.SetSize(size.cx, size.cy);
  const RECT r{0, 0, size.cx, size.cy};
  TBitmap* glyph = FImageInfo->Glyph();
  if (!glyph->GetEmpty()) {
    const TColor transparent = glyph->TransparentColor();
    if (cell == 1 && FNumGlyphs == 1) {
      // A one-cell strip has no disabled cell: it is drawn disabled.
      image.Canvas()->Brush()->SetColor(transparent);
      image.Canvas()->FillRect(r);
      HBRUSH brush = CreateSolidBrush(ColorToRGB(transparent));
      DrawImageOverBackground(image.Canvas()->Handle(), r, r, glyph, nullptr, -1, idmDisabled, false, brush);
      DeleteObject(brush);
    } else {
      const int source = cell < FNumGlyphs ? cell : 0;
      BitBlt(image.Canvas()->Handle(), 0, 0, size.cx, size.cy, glyph->Canvas()->Handle(), source * size.cx, 0,
             SRCCOPY);
    }
    MakeMask(&image, transparent, &mask);
    glyph->Dormant();
  } else {
    TCustomImageList* images = FImageInfo->Images();
    const int index = FImageInfo->ImageIndex();
    if (cell == 1) {
      const TColor key = clFuchsia;
      image.Canvas()->Brush()->SetColor(key);
      image.Canvas()->FillRect(r);
      HBRUSH brush = CreateSolidBrush(ColorToRGB(key));
      DrawImageOverBackground(image.Canvas()->Handle(), r, r, nullptr, images, index, idmDisabled, false, brush);
      DeleteObject(brush);
      MakeMask(&image, key, &mask);
    } else {
      mask.SetMonochrome(true);
      ExtractImageAndMask(images->Handle(), index, &mask, &image);
    }
  }
  if (!FGlyphList) FGlyphList = GlyphCache->GetList(size.cx, size.cy);
  FImageIndices[cell] = FGlyphList->AddGlyph(&image, &mask);
  return FImageIndices[cell];
}

// -- TcxButtonActionLink ----------------------------------------------------------------

TcxButtonActionLink::TcxButtonActionLink(TObject* client)
    : TButtonActionLink(client), FButton(ObjectAs<TcxCustomButton>(client)) {}

TcxButtonActionLink::~TcxButtonActionLink() {
  if (FButton && !FButton->ComponentState().Contains(csDestroying)) FButton->FGlyph->SetImageList(nullptr, -1);
}

void TcxButtonActionLink::SetImageIndex(int value) {
  TButtonActionLink::SetImageIndex(value);
  if (FButton) FButton->FGlyph->SetImageList(FButton->FGlyph->Images(), value);
}

// -- TcxCustomButton --------------------------------------------------------------------

TcxCustomButton::TcxCustomButton(TComponent* AOwner) : TcxUncountedInterfaces(AOwner) {
  FGlyph = std::make_unique<TcxButtonGlyph>();
  FGlyph->OnChange = TNotifyEvent::Bind<&TcxCustomButton::GlyphChanged>(this);
  FColors = std::make_unique<TcxButtonColors>(this);
  FControlCanvas = std::make_unique<TControlCanvas>();
  FControlCanvas->SetControl(this);
  FDrawCanvas = std::make_unique<TcxCanvas>(FControlCanvas.get());
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnSettingsChanged = TcxLookAndFeelChangedEvent::Bind<&TcxCustomButton::LookAndFeelChanged>(this);
  SetDoubleBuffered(true);
  FControlStyle.Include(csOpaque);
  FControlStyle.Include(csReflector);
  SetCanBeFocused(true);
  SetGroupIndex(0);
  SetAllowAllUp(false);
  SetDown(false);
}

TcxCustomButton::~TcxCustomButton() {
  StopHoverTracking(this);
  FLookAndFeel.reset();
  FColors.reset();
  FGlyph.reset();
  FDrawCanvas.reset();
  FControlCanvas.reset();
}

void TcxCustomButton::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  if (FUseSystemPaint) RecreateWnd();
  else Invalidate();
}

void TcxCustomButton::SetKind(TcxButtonKind value) {
  if (value == FKind) return;
  FKind = value;
  RecreateWnd();
}

void TcxCustomButton::SetDropDownMenu(TPopupMenu* value) {
  if (value == FDropDownMenu) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = value;
  if (value) value->FreeNotification(this);
}

void TcxCustomButton::SetPopupMenu(TComponent* value) {
  if (value && !ObjectAs<TPopupMenu>(value) && !dynamic_cast<IcxShowablePopupMenu*>(value)) value = nullptr;
  if (value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (value) value->FreeNotification(this);
}

void TcxCustomButton::SetLayout(TButtonLayout value) {
  if (value == FLayout) return;
  FLayout = value;
  Invalidate();
}

void TcxCustomButton::SetMargin(int value) {
  if (value == FMargin || value < -1) return;
  FMargin = value;
  Invalidate();
}

void TcxCustomButton::SetSpacing(int value) {
  if (value == FSpacing) return;
  FSpacing = value;
  Invalidate();
}

void TcxCustomButton::SetWordWrap(bool value) {
  if (value == FWordWrap) return;
  FWordWrap = value;
  Invalidate();
}

void TcxCustomButton::SetCanBeFocused(bool value) {
  if (value == FCanBeFocused) return;
  FCanBeFocused = value;
  NotifyGroup();
  Invalidate();
}

void TcxCustomButton::SetAllowAllUp(bool value) {
  if (value == FAllowAllUp) return;
  FAllowAllUp = value;
  NotifyGroup();
  Invalidate();
}

void TcxCustomButton::SetGroupIndex(int value) {
  if (value == FGroupIndex) return;
  FGroupIndex = value;
  if (value != 0) NotifyGroup();
  else SetDown(false);
  Invalidate();
}

void TcxCustomButton::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  if (value == FDown) return;
  if (FDown && !FAllowAllUp && FGroupIndex != 0) return;
  FDown = value;
  FPressedLook = value;
  if (value) NotifyGroup();
  Invalidate();
}

void TcxCustomButton::NotifyGroup() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage message{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(message);
}

void TcxCustomButton::ButtonPressed(TMessage& Message) {
  if (!SpeedButtonMode() || FGroupIndex == 0 || Message.WParam != static_cast<WPARAM>(FGroupIndex)) return;
  auto* sender = ObjectAs<TcxCustomButton>(reinterpret_cast<TObject*>(Message.LParam));
  if (!sender || sender == this) return;
  FAllowAllUp = sender->FAllowAllUp;
  FCanBeFocused = sender->FCanBeFocused;
  if (sender->FDown && FDown) {
    FDown = false;
    FPressedLook = false;
    if (auto* action = ObjectAs<TCustomAction>(Action())) action->SetChecked(false);
    Invalidate();
  }
}

TcxButtonState TcxCustomButton::State() const {
  if (!IsControlEnabled()) return cxbsDisabled;
  if (FPressedLook || (FMenuOpen && FKind == cxbkDropDown) || (FDown && SpeedButtonMode())) return cxbsPressed;
  if (FHot) return cxbsHot;
  if ((FFocusLook || FDefaultLook) && !SpeedButtonMode()) return cxbsDefault;
  return cxbsNormal;
}

RECT TcxCustomButton::DropDownPart() const {
  const RECT client{0, 0, Width(), Height()};
  switch (FKind) {
    case cxbkDropDown: return client;
    case cxbkDropDownButton: return RECT{client.right - cxDropDownButtonWidth, 0, client.right, client.bottom};
    default: return RECT{0, 0, 0, 0};
  }
}

bool TcxCustomButton::InDropDownPart(POINT p) const {
  const RECT part = DropDownPart();
  return PtInRect(&part, p) != FALSE;
}

TColor TcxCustomButton::FaceColor(TcxButtonState state) const {
  TcxButtonAssignedColor index = cxbcNormal;
  switch (state) {
    case cxbsDefault: index = cxbcDefault; break;
    case cxbsHot: index = cxbcHot; break;
    case cxbsPressed: index = cxbcPressed; break;
    case cxbsDisabled: index = cxbcDisabled; break;
    default: break;
  }
  if (FColors->AssignedColors().Contains(index)) return FColors->Color(index);
  return state == cxbsNormal ? FColors->Color(cxbcDefault) : FColors->Color(cxbcNormal);
}

TColor TcxCustomButton::TextColor(TcxButtonState state) const {
  TcxButtonAssignedColor index = cxbcNormalText;
  switch (state) {
    case cxbsDefault: index = cxbcDefaultText; break;
    case cxbsHot: index = cxbcHotText; break;
    case cxbsPressed: index = cxbcPressedText; break;
    case cxbsDisabled: index = cxbcDisabledText; break;
    default: break;
  }
  if (FColors->AssignedColors().Contains(index)) return FColors->Color(index);
  return CurrentPainter()->ButtonSymbolColor(state, const_cast<TcxCustomButton*>(this)->Font()->Color());
}

TcxLookAndFeelPainterClass TcxCustomButton::CurrentPainter() const {
  if (TcxLookAndFeelPainterClass skin = FLookAndFeel->SkinPainter()) return skin;
  TcxLookAndFeelPainterClass painter = FLookAndFeel->ActivePainter();
  // Native painting: the themed painter when the button theme opens.
  if (painter->StyleCode() == 3)
    return CanUseVisualStyle(totButton) ? &TcxWinXPLookAndFeelPainter::Instance
                                        : &TcxStandardLookAndFeelPainter::Instance;
  return painter;
}

TClass TcxCustomButton::GlyphClass() const { return &TcxButtonGlyph::ClassInfo; }

bool TcxCustomButton::FireDropDownMenuPopup(TPopupMenu*& menu) {
  bool handled = false;
  FireEvent(OnDropDownMenuPopup, this, menu, handled);
  return handled;
}

bool TcxCustomButton::ShowPopupMenu(TComponent* menu, int X, int Y) { return ShowControlPopupMenu(this, menu, X, Y); }

bool TcxCustomButton::HotTrackingAllowed() const {
  return !LeavesPaintingToSystem() && CurrentPainter()->ButtonHotTracks() && IsControlEnabled();
}

bool TcxCustomButton::MouseIsOver() const {
  POINT p;
  GetCursorPos(&p);
  return HandleAllocated() && WindowFromPoint(p) == const_cast<TcxCustomButton*>(this)->Handle();
}

void TcxCustomButton::Click() {
  if (FKind == cxbkDropDown) {
    if (!FMenuOpen && !FSuppressNextClick) RequestDropDown();
    FSuppressNextClick = false;
    return;
  }
  if (FKind != cxbkStandard && FSuppressNextClick) {
    FSuppressNextClick = false;
    return;
  }
  TButton::Click();
}

bool TcxCustomButton::CanFocus() { return TButton::CanFocus() && (FCanBeFocused || IsDesigning()); }

void TcxCustomButton::Notification(TComponent* component, TOperation operation) {
  TButton::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FDropDownMenu) FDropDownMenu = nullptr;
  if (component == FPopupMenu) FPopupMenu = nullptr;
}

void TcxCustomButton::CreateParams(TCreateParams& Params) {
  TButton::CreateParams(Params);
  if (!LeavesPaintingToSystem()) Params.Style = (Params.Style & ~0xFu) | BS_OWNERDRAW;
}

void TcxCustomButton::CreateHandle() {
  const bool enabled = IsControlEnabled();
  TButton::CreateHandle();
  FGlyph->StateImageIndex(enabled ? cxbsNormal : cxbsDisabled);
}

void TcxCustomButton::DestroyWnd() {
  if (FMenuOpen && HandleAllocated()) SendMessageA(Handle(), CM_CLOSEUPPOPUPMENU, 0, 0);
  TButton::DestroyWnd();
}

void TcxCustomButton::SetButtonStyle(bool ADefault) {
  if (LeavesPaintingToSystem()) {
    TButton::SetButtonStyle(ADefault);
    return;
  }
  if (ADefault == FDefaultLook) return;
  FDefaultLook = ADefault;
  Invalidate();
}

void TcxCustomButton::RequestDropDown() {
  if (HandleAllocated()) PostMessageA(Handle(), CM_DROPDOWNPOPUPMENU, 0, 0);
}

void TcxCustomButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  if (Button == mbLeft && FKind != cxbkStandard) {
    if (FMenuOpen) {
      FSuppressNextClick = true;
      FMenuOpen = false;
      FPressedLook = false;
      Invalidate();
    } else if (InDropDownPart(POINT{X, Y})) {
      RequestDropDown();
    }
  }
  TButton::MouseDown(Button, Shift, X, Y);
}

void TcxCustomButton::MouseMove(TShiftState Shift, int X, int Y) {
  TButton::MouseMove(Shift, X, Y);
  const RECT client = ClientRect();
  if (!FHot && HotTrackingAllowed() && PtInRect(&client, POINT{X, Y}) && !GetCapture()) Perform(CM_MOUSEENTER);
}

void TcxCustomButton::KeyDown(WORD& Key, TShiftState Shift) {
  if (FKind == cxbkDropDownButton && (Key == VK_UP || Key == VK_DOWN) &&
      (Shift.Contains(ssAlt) || Shift.Contains(ssShift))) {
    if (!FMenuOpen) RequestDropDown();
    Key = 0;
    return;
  }
  TButton::KeyDown(Key, Shift);
}

void TcxCustomButton::MouseEnter() {
  if (IsDesigning() || FHot || !HotTrackingAllowed() || GetCapture()) return;
  StartHoverTracking(this, RECT{0, 0, Width(), Height()}, this);
  FHot = true;
  Invalidate();
}

void TcxCustomButton::MouseLeaveNow() {
  if (IsDesigning()) return;
  StopHoverTracking(this);
  FTrackingPress = FMenuOpen;
  if (FHot && HotTrackingAllowed()) {
    FHot = false;
    Invalidate();
  }
}

void TcxCustomButton::OpenDropDownMenu() {
  if (FKind == cxbkStandard) return;
  TPopupMenu* menu = FDropDownMenu;
  if (FireDropDownMenuPopup(menu) || !menu) return;
  FMenuOpen = true;
  Repaint();
  int x = 0;
  if (FPopupAlignment == paRight) x = Width();
  else if (FPopupAlignment == paCenter) x = Width() / 2;
  POINT p = ClientToScreen(POINT{x, Height()});
  const RECT work = GetPointWorkArea(p);
  const int menuHeight = EstimatePopupMenuHeight(menu);
  if (p.y + menuHeight > work.bottom) p.y -= menuHeight + Height() + 2;
  const TPopupAlignment saved = menu->Alignment();
  if (p.x <= work.left) menu->SetAlignment(paRight);
  else if (p.x >= work.right) menu->SetAlignment(paLeft);
  else menu->SetAlignment(FPopupAlignment);
  menu->SetPopupComponent(this);
  try {
    menu->Popup(p.x, p.y);
  } catch (...) {
    menu->SetAlignment(saved);
    if (HandleAllocated()) PostMessageA(Handle(), CM_CLOSEUPPOPUPMENU, 0, 0);
    throw;
  }
  menu->SetAlignment(saved);
  if (HandleAllocated()) PostMessageA(Handle(), CM_CLOSEUPPOPUPMENU, 0, 0);
}

void TcxCustomButton::DropDownMenuClosed() {
  FHot = HotTrackingAllowed() && MouseIsOver();
  FMenuOpen = false;
  Invalidate();
  if (!SpeedButtonMode()) FTrackingPress = false;
}

void TcxCustomButton::DoContextPopup(POINT MousePos, bool& Handled) {
  TButton::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  const POINT screen = (MousePos.x == -1 && MousePos.y == -1) ? ClientToScreen(POINT{0, 0}) : ClientToScreen(MousePos);
  Handled = ShowPopupMenu(FPopupMenu, screen.x, screen.y);
}

void TcxCustomButton::TakeActionImages() {
  if (auto* action = ObjectAs<TCustomAction>(Action())) {
    TCustomActionList* list = action->ActionList();
    FGlyph->SetImageList(list ? list->Images() : nullptr, action->ImageIndex());
  } else {
    FGlyph->SetImageList(nullptr, -1);
  }
}

void TcxCustomButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TButton::ActionChange(Sender, CheckDefaults);
  TakeActionImages();
}

bool TcxCustomButton::UpdateAction(TBasicAction* Action) {
  const bool result = TButton::UpdateAction(Action);
  TakeActionImages();
  return result;
}

TClass TcxCustomButton::GetActionLinkClass() const { return &TcxButtonActionLink::ClassInfo; }

void TcxCustomButton::MeasureOptimalSize(SIZE& size) {
  TCanvas* canvas = FControlCanvas.get();
  HDC dc = GetDC(nullptr);
  const TCanvasPaintScope scope(*canvas, dc);
  canvas->Font()->Assign(Font());
  const AnsiString stripped = StripAccelChars(Caption(), true);
  const AnsiString text = stripped.empty() ? AnsiString(1, ' ') : stripped;
  size.cx = canvas->TextWidth(text) + 3 * canvas->TextWidth("R");
  size.cy = MulDiv(canvas->TextHeight("Wg"), 14, 8);
  ReleaseDC(nullptr, dc);
}

void TcxCustomButton::ApplyAutoSize() {
  if (!FAutoSize) return;
  SIZE size;
  MeasureOptimalSize(size);
  SetBounds(Left(), Top(), size.cx, size.cy);
}

TcxCustomButton::TLayout TcxCustomButton::CalculateLayout(TCanvas* canvas, const RECT& content, POINT offset,
                                                          bool rightToLeft) const {
  TButtonLayout layout = FLayout;
  if (rightToLeft) {
    if (layout == blGlyphLeft) layout = blGlyphRight;
    else if (layout == blGlyphRight) layout = blGlyphLeft;
  }
  const int cx = content.right - content.left, cy = content.bottom - content.top;
  const SIZE glyph = FGlyph->GlyphSize();
  const int gx = glyph.cx, gy = glyph.cy;
  int tx = 0, ty = 0;
  const AnsiString caption = const_cast<TcxCustomButton*>(this)->Caption();
  if (!caption.empty()) {
    const RECT margins = FGlyph->TextMargins(layout);
    RECT text{margins.left, margins.top, cx - margins.right, -margins.bottom};
    UINT flags = DT_CALCRECT | (rightToLeft ? DT_RTLREADING | DT_RIGHT : 0);
    if (FWordWrap && !FGlyph->IsImageAssigned()) flags |= DT_WORDBREAK;
    canvas->TextRect(text, caption, flags);
    tx = text.right - text.left + margins.left + margins.right;
    ty = text.bottom - text.top + margins.top + margins.bottom;
  }
  const bool horizontal = layout == blGlyphLeft || layout == blGlyphRight;
  POINT g{0, 0}, t{0, 0};
  if (horizontal) {
    g.y = (cy - gy) / 2;
    t.y = (cy - ty - 1) / 2;
  } else {
    g.x = (cx - gx) / 2;
    t.x = (cx - tx) / 2;
  }
  int margin = FMargin, spacing = FSpacing;
  if (tx == 0 || gx == 0) spacing = 0;
  const int extent = horizontal ? cx : cy;
  const int glyphExtent = horizontal ? gx : gy;
  const int textExtent = horizontal ? tx : ty;
  if (margin == -1 && spacing == -1) {
    margin = (extent - (glyphExtent + textExtent)) / 3;
    spacing = margin;
  } else if (margin == -1) {
    margin = (extent - (glyphExtent + spacing + textExtent)) / 2;
  } else if (spacing == -1) {
    spacing = ((extent - (margin + glyphExtent)) - textExtent) / 2;
  }
  switch (layout) {
    case blGlyphLeft:
      g.x = margin;
      t.x = margin + gx + spacing;
      break;
    case blGlyphRight:
      g.x = cx - margin - gx;
      t.x = g.x - spacing - tx;
      break;
    case blGlyphTop:
      g.y = margin;
      t.y = margin + gy + spacing;
      break;
    case blGlyphBottom:
      g.y = cy - margin - gy;
      t.y = g.y - spacing - ty;
      break;
  }
  const int dx = content.left + offset.x, dy = content.top + offset.y;
  TLayout result;
  result.GlyphPos = POINT{g.x + dx, g.y + dy};
  result.TextRect = RECT{t.x + dx, t.y + dy, t.x + dx + tx, t.y + dy + ty};
  return result;
}

void TcxCustomButton::DrawContent(TcxCanvas* canvas, const RECT& content, TcxButtonState state, POINT offset,
                                  TColor textColor) {
  TCanvas* target = canvas->Canvas();
  const bool rightToLeft = UseRightToLeftAlignment();
  const TLayout layout = CalculateLayout(target, content, offset, rightToLeft);
  if (FGlyph->IsImageAssigned()) {
    const int index = FGlyph->StateImageIndex(state);
    if (index >= 0 && FGlyph->GlyphList())
      FGlyph->GlyphList()->Draw(target, layout.GlyphPos.x, layout.GlyphPos.y, index, true);
  }
  const AnsiString caption = Caption();
  if (caption.empty()) return;
  UINT flags = DT_CENTER | DT_VCENTER | (rightToLeft ? DT_RTLREADING | DT_RIGHT : 0);
  if (FWordWrap && !FGlyph->IsImageAssigned()) flags |= DT_WORDBREAK;
  const TBrushStyle brushStyle = target->Brush()->Style();
  target->Brush()->SetStyle(TBrushStyle::bsClear);
  RECT text = layout.TextRect;
  if (state == cxbsDisabled) {
    RECT shadow = text;
    OffsetRect(&shadow, 1, 1);
    target->Font()->SetColor(clBtnHighlight);
    target->TextRect(shadow, caption, flags);
  }
  target->Font()->SetColor(textColor);
  target->TextRect(text, caption, flags);
  target->Brush()->SetStyle(brushStyle);
}

void TcxCustomButton::DrawItem(const DRAWITEMSTRUCT& item) {
  if (ComponentState().Contains(csDestroying)) return;
  const TCanvasPaintScope scope(*FControlCanvas, item.hDC);
  if (!FTrackingPress) FPressedLook = (item.itemState & ODS_SELECTED) != 0;
  else FPressedLook = FPressedLook && SpeedButtonMode();
  FFocusLook = (item.itemState & ODS_FOCUS) || (Default() && IsDesigning());
  if (LeavesPaintingToSystem()) return;
  TcxCanvas* canvas = FDrawCanvas.get();
  TcxLookAndFeelPainterClass painter = CurrentPainter();
  const RECT client = ClientRect();
  RECT r = client;
  if (painter == &TcxWinXPLookAndFeelPainter::Instance) {
    HTHEME theme = AcquireThemeHandle(totButton);
    if (theme && UxIsThemeBackgroundPartiallyTransparent(theme, BP_PUSHBUTTON, PBS_NORMAL))
      DrawParentBackground(this, canvas, r);
  } else if (FLookAndFeel->SkinPainter()) {
    PaintParentInto(this, canvas, r, false);
  }
  RECT dropDown{0, 0, 0, 0};
  if (FKind == cxbkDropDown) {
    FPressedLook = FMenuOpen;
  } else if (FKind == cxbkDropDownButton) {
    dropDown = RECT{r.right - cxDropDownButtonWidth, r.top, r.right, r.bottom};
    r.right -= cxDropDownButtonWidth - cxDropDownButtonOverlap;
  }
  const TcxButtonState state = State();
  canvas->GetFont()->Assign(Font());
  const TColor textColor = TextColor(state);
  canvas->GetFont()->SetColor(textColor);
  TColor faceColor = FaceColor(state);
  FireEvent(OnGetDrawParams, this, state, faceColor, canvas->GetFont());
  painter->PaintButton(canvas, r, AnsiString(), state, true, faceColor, canvas->GetFont()->Color(), false);
  const int shift = painter->PressedTextShift();
  const POINT offset = state == cxbsPressed && shift != 0 ? POINT{shift, shift} : POINT{0, 0};
  canvas->PushClipRegion();
  RECT content = client;
  const int inset = painter->ButtonFrameWidth(state);
  InflateRect(&content, -inset, -inset);
  if (FKind == cxbkDropDownButton) content.right -= cxDropDownButtonWidth - cxDropDownButtonOverlap;
  canvas->IntersectClipWithRect(content);
  TakeActionImages();
  RECT layoutRect = client;
  const int defaultInset = painter->ButtonFrameWidth(cxbsDefault);
  InflateRect(&layoutRect, -defaultInset, -defaultInset);
  if (FKind == cxbkDropDownButton) layoutRect.right -= cxDropDownButtonWidth - cxDropDownButtonOverlap;
  DrawContent(canvas, layoutRect, state, offset, canvas->GetFont()->Color());
  canvas->PopClipRegion();
  if (FKind == cxbkDropDownButton) {
    TcxButtonState partState = state;
    if (FMenuOpen) partState = cxbsPressed;
    else if (state == cxbsPressed) partState = FDefaultLook ? cxbsHot : cxbsNormal;
    painter->PaintButton(canvas, dropDown, AnsiString(), partState, true, faceColor, canvas->GetFont()->Color(), false);
    painter->PaintStateArrow(canvas, dropDown, partState, adDown);
  }
  if (CanFocus() && Focused() && !FMenuOpen) {
    RECT focus;
    painter->ButtonFocusRectangle(canvas, r, focus);
    canvas->PaintFocusRect(focus);
  }
}

void TcxCustomButton::Dispatch(TMessage& Message) {
  if (SpeedButtonMode() && !IsDesigning()) {
    switch (Message.Msg) {
      case WM_LBUTTONDOWN: {
        const POINT p = MessagePoint(Message.LParam);
        FTrackingPress = true;
        Invalidate();
        if (FKind != cxbkStandard) {
          if (FMenuOpen) {
            FSuppressNextClick = true;
            FMenuOpen = false;
            FPressedLook = false;
          } else if (InDropDownPart(p)) {
            RequestDropDown();
          }
        }
        FPressedLook = !InDropDownPart(p);
        if (TButton::CanFocus() && FCanBeFocused) SetFocus();
        return;
      }
      case WM_LBUTTONUP:
        if (FGroupIndex != 0) {
          SetDown(!FDown);
        } else {
          FTrackingPress = false;
          FPressedLook = false;
        }
        Click();
        Invalidate();
        return;
      case WM_LBUTTONDBLCLK:
        DblClick();
        Invalidate();
        return;
      case WM_KEYUP:
        if (Message.WParam == VK_SPACE) SetDown(!FDown);
        break;
      default:
        break;
    }
  }
  switch (Message.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(Message.LParam));
      Message.Result = 1;
      return;
    case CN_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(Message.LParam);
      measure->itemWidth = static_cast<UINT>(Width());
      measure->itemHeight = static_cast<UINT>(Height());
      Message.Result = 1;
      return;
    }
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case BM_SETSTYLE:
      // The system must never draw the face: keep the owner-draw style.
      if (!LeavesPaintingToSystem()) Message.WParam = BS_OWNERDRAW;
      break;
    case WM_LBUTTONDOWN:
      if (FKind == cxbkDropDownButton && InDropDownPart(MessagePoint(Message.LParam))) FTrackingPress = true;
      break;
    case WM_LBUTTONUP:
      FTrackingPress = false;
      break;
    case WM_LBUTTONDBLCLK:
      // A double click acts as a second press.
      Message.Msg = WM_LBUTTONDOWN;
      Dispatch(Message);
      return;
    case WM_CAPTURECHANGED:
      TButton::Dispatch(Message);
      if (!IsDesigning()) FHot = HotTrackingAllowed() && MouseIsOver();
      return;
    case WM_CONTEXTMENU: {
      if (Message.Result != 0) return;
      if (IsDesigning()) break;
      POINT p{-1, -1};
      if (Message.LParam != -1) {
        p = ScreenToClient(MessagePoint(Message.LParam));
        const RECT client = ClientRect();
        // Outside the client area (the frame): the window's own handling.
        if (!PtInRect(&client, p)) {
          DefaultHandler(Message);
          return;
        }
      }
      bool handled = false;
      DoContextPopup(p, handled);
      Message.Result = handled ? 1 : 0;
      if (handled) return;
      break;
    }
    case CM_MOUSEENTER:
      TButton::Dispatch(Message);
      MouseEnter();
      return;
    case CM_MOUSELEAVE:
      TButton::Dispatch(Message);
      MouseLeaveNow();
      return;
    case CM_ENABLEDCHANGED:
      TButton::Dispatch(Message);
      if (!IsControlEnabled()) FHot = false;
      Invalidate();
      return;
    case CM_FONTCHANGED:
      TButton::Dispatch(Message);
      ApplyAutoSize();
      Invalidate();
      return;
    case CM_TEXTCHANGED:
      TButton::Dispatch(Message);
      ApplyAutoSize();
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && TButton::CanFocus()) {
        Click();
        Message.Result = 1;
        return;
      }
      break;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (FPopupMenu && TryPopupMenuShortCut(FPopupMenu, Message)) {
        Message.Result = 1;
        return;
      }
      break;
    case CM_BUTTONPRESSED:
      ButtonPressed(Message);
      return;
    case CM_DROPDOWNPOPUPMENU:
      OpenDropDownMenu();
      return;
    case CM_CLOSEUPPOPUPMENU:
      DropDownMenuClosed();
      return;
    default:
      break;
  }
  TButton::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// The form table.

namespace {

const TEnumInfo ButtonKinds{"TcxButtonKind", {"cxbkStandard", "cxbkDropDown", "cxbkDropDownButton"}};
const TEnumInfo ButtonLayouts{"TButtonLayout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}};
const TEnumInfo PopupAlignments{"TPopupAlignment", {"paLeft", "paRight", "paCenter"}};

bool GlyphStored(TObject* instance) { return !static_cast<TcxCustomButton*>(instance)->Glyph()->GetEmpty(); }
bool ColorsStored(TObject* instance) {
  return !static_cast<TcxCustomButton*>(instance)->Colors()->AssignedColors().Empty();
}

const TEnumInfo AssignedColorNames{"TcxButtonAssignedColor",
                                   {"cxbcDefault", "cxbcDefaultText", "cxbcDisabled", "cxbcDisabledText", "cxbcHot",
                                    "cxbcHotText", "cxbcNormal", "cxbcNormalText", "cxbcPressed", "cxbcPressedText"}};

using C = TcxButtonColors;
#define CX_COLOR(name, index) \
  Property<&C::ColorOf<index>, &C::SetColorOf<index>>(name, pkColor).NoDefault().Stored<&C::ColorOfStored<index>>()
const TPublishedRegistration colorsRegistration(&TcxButtonColors::ClassInfo, {
    Property<&C::AssignedColors, &C::SetAssignedColors>("AssignedColors", AssignedColorNames).Stored(false),
    CX_COLOR("Default", cxbcDefault),
    CX_COLOR("DefaultText", cxbcDefaultText),
    CX_COLOR("Normal", cxbcNormal),
    CX_COLOR("NormalText", cxbcNormalText),
    CX_COLOR("Hot", cxbcHot),
    CX_COLOR("HotText", cxbcHotText),
    CX_COLOR("Pressed", cxbcPressed),
    CX_COLOR("PressedText", cxbcPressedText),
    CX_COLOR("Disabled", cxbcDisabled),
    CX_COLOR("DisabledText", cxbcDisabledText),
});
#undef CX_COLOR

using B = TcxCustomButton;
const TPublishedRegistration buttonRegistration(&TcxButton::ClassInfo, {
    Property<&B::CanBeFocused, &B::SetCanBeFocused>("CanBeFocused").Default(true),
    Property<&B::GroupIndex, &B::SetGroupIndex>("GroupIndex").Default(0),
    Property<&B::Down, &B::SetDown>("Down").Default(false),
    Property<&B::AllowAllUp, &B::SetAllowAllUp>("AllowAllUp").Default(false),
    StoredWhen(Property<&B::Colors>("Colors"), ColorsStored),
    Property<&B::DropDownMenu, &B::SetDropDownMenu>("DropDownMenu"),
    StoredWhen(Property<&B::Glyph>("Glyph"), GlyphStored),
    Property<&B::Kind, &B::SetKind>("Kind", ButtonKinds).Default(cxbkStandard),
    Property<&B::Layout, &B::SetLayout>("Layout", ButtonLayouts).Default(blGlyphLeft),
    Property<&B::LookAndFeel>("LookAndFeel"),
    Property<&B::Margin, &B::SetMargin>("Margin").Default(-1),
    Property<&B::NumGlyphs, &B::SetNumGlyphs>("NumGlyphs").Default(1),
    Property<&B::PopupAlignment, &B::SetPopupAlignment>("PopupAlignment", PopupAlignments).Default(paLeft),
    Property<&B::Spacing, &B::SetSpacing>("Spacing").Default(4),
    Property<&B::UseSystemPaint, &B::SetUseSystemPaint>("UseSystemPaint").Default(false),
    Property<&B::PopupMenu, &B::SetPopupMenu>("PopupMenu"),
    Property<&B::WordWrap, &B::SetWordWrap>("WordWrap").Default(false),
    Event<&B::OnDropDownMenuPopup>("OnDropDownMenuPopup"),
    Event<&B::OnGetDrawParams>("OnGetDrawParams"),
});

}  // namespace
