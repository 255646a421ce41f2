#include "bars/views/BarControl.h"

#include "bars/model/Accessibility.h"
#include "bars/model/BarCanvas.h"
#include "bars/model/BarClassFactory.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/ItemLinks.h"
#include "bars/model/SubItems.h"
#include "bars/views/BarPainter.h"
#include "bars/views/ItemControl.h"
#include "foundation/Canvas.h"
#include "foundation/Classes.h"

#include <cmath>

const TClassInfo TCustomdxBarControl::ClassInfo{"TCustomdxBarControl", &TCustomControl::ClassInfo, &dxBarMakeComponent<TCustomdxBarControl>};
const TClassInfo TdxBarControl::ClassInfo{"TdxBarControl", &TCustomdxBarControl::ClassInfo, &dxBarMakeComponent<TdxBarControl>};
const TClassInfo TdxBarSubMenuControl::ClassInfo{"TdxBarSubMenuControl", &TCustomdxBarControl::ClassInfo, &dxBarMakeComponent<TdxBarSubMenuControl>};
const TClassInfo TdxBarApplicationMenuControl::ClassInfo{"TdxBarApplicationMenuControl", &TdxBarSubMenuControl::ClassInfo, &dxBarMakeComponent<TdxBarApplicationMenuControl>};

namespace {

// Whether the customizing manager was customizing when the chain began.
bool ChainBeganCustomizing = false;

// Keeps a weak link to a bar control for the length of a call that may
// destroy it.
class TBarControlGuard {
public:
  explicit TBarControlGuard(TObject* control) : FLink(AttachObjectLink(control)) {}
  ~TBarControlGuard() { ReleaseObjectLink(FLink); }
  bool Alive() const { return FLink && FLink->Ref != nullptr; }
  TBarControlGuard(const TBarControlGuard&) = delete;
  TBarControlGuard& operator=(const TBarControlGuard&) = delete;

private:
  TcxObjectLink* FLink;
};

POINT PointOf(LPARAM lp) { return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))}; }

}  // namespace

TCustomdxBarControl::TCustomdxBarControl(TComponent* AOwner) : TCustomControl(AOwner) {
  FOwnerBarManager = dynamic_cast<TdxBarManager*>(AOwner);
  FCanvas = new TcxCanvas(Canvas());
  FViewInfo = new TCustomdxBarControlViewInfo(this);
  RegisterBarControl(this);
  TControlStyle style = ControlStyle();
  style.Exclude(csCaptureMouse);
  if ((FOwnerBarManager && FOwnerBarManager->EffectiveStyle() != bmsStandard) || IsCustomizing())
    style.Include(csDoubleClicks);
  else
    style.Exclude(csDoubleClicks);
  SetControlStyle(style);
  SetColor(clBtnFace);
  SetVisible(false);
  SetBounds(100, 100, 30, 50);
}

void TCustomdxBarControl::BeforeDestruction() {
  TCustomControl::BeforeDestruction();
  if (FChildBar && !FChildBar->IsDestroying()) {
    TCustomdxBarControl* child = FChildBar;
    FChildBar = nullptr;
    child->FParentBar = nullptr;
    if (TdxBarItemLinks* links = child->ItemLinks(); links && links->BarControl() == child)
      links->FreeBarControl();
    else
      Free(child);
  }
  if (FParentBar && FParentBar->FChildBar == this) FParentBar->FChildBar = nullptr;
}

TCustomdxBarControl::~TCustomdxBarControl() {
  ReleaseAccessibilityHelper(FAccessibilityHelper);
  NotifyDestroying();
  if (FOwnerBarManager && FOwnerBarManager->SelectedItemControl() &&
      FOwnerBarManager->SelectedItemControl()->Parent() == this)
    FOwnerBarManager->SetSelectedItemControl(nullptr);
  if (FActive) {
    if (FocusedBarControlRef == this) {
      FocusedBarControlRef = FPreviousActive;
      if (FocusedBarControlRef && (!IsLiveBarControl(FocusedBarControlRef) || !FocusedBarControlRef->IsActive()))
        FocusedBarControlRef = nullptr;
    }
  }
  if (FItemLinks) {
    for (int i = 0; i < FItemLinks->DisplayableLinkCount(); ++i) FItemLinks->GetDisplayableLink(i)->FreeItemControl();
    FItemLinks->ForgetBarControl(this);
  }
  UnregisterBarControl(this);
  ClearObjectLinks(this);
  FreeAndNil(FViewInfo);
  FreeAndNil(FCanvas);
  FreeAndNil(FScreenCanvas);
}

TObject* TCustomdxBarControl::LinksOwnerObject() const { return FItemLinks ? FItemLinks->OwnerObject() : nullptr; }

TClass TCustomdxBarControl::AccessibilityHelperClass() const { return &TdxBarAccessibilityHelper::ClassInfo; }

IdxBarAccessibilityHelper* TCustomdxBarControl::AcquireAccessibilityHelper() {
  if (!FAccessibilityHelper) {
    TcxAccessibilityHelper* helper = TcxAccessibilityHelper::CreateForOwner(AccessibilityHelperClass(), this);
    helper->AddRef();
    FAccessibilityHelper = QueryAccessibilityHelper(helper);
    if (!FAccessibilityHelper) helper->Release();
  }
  return FAccessibilityHelper;
}

void TCustomdxBarControl::SetChildBar(TCustomdxBarControl* bar) {
  FChildBar = bar;
  if (bar && bar->FParentBar != this) bar->SetParentBar(this);
}

void TCustomdxBarControl::SetParentBar(TCustomdxBarControl* bar) {
  FParentBar = bar;
  if (bar && bar->FChildBar != this) bar->SetChildBar(this);
}

TdxBarItemControl* TCustomdxBarControl::SelectedControl() const {
  return FSelectedLink ? FSelectedLink->Control() : nullptr;
}

// --- Window life ------------------------------------------------------------

void TCustomdxBarControl::CreateWindowHandle(const TCreateParams& Params) {
  TCustomControl::CreateWindowHandle(Params);
  BuildControls();
}

void TCustomdxBarControl::CreateWnd() {
  TCustomControl::CreateWnd();
  ApplyBarFont();
  CalcMetrics();
}

void TCustomdxBarControl::DestroyWnd() {
  if (HandleAllocated()) DeactivateItemControls();
  ClearControls();
  TCustomControl::DestroyWnd();
}

void TCustomdxBarControl::DeactivateItemControls() {
  if (!IsDestroying()) MouseLeft();
}

void TCustomdxBarControl::ApplyBarFont() {
  if (FState & dxBarStateApplyingFont) return;
  FState |= dxBarStateApplyingFont;
  if (TFont* font = ItemsFont()) Font()->Assign(font);
  FState &= ~dxBarStateApplyingFont;
}

TcxCanvas* TCustomdxBarControl::PaintCanvas() {
  if (HandleAllocated()) {
    if (FScreenCanvas) FreeAndNil(FScreenCanvas);
    FCanvas->Canvas()->Font()->Assign(Font());
    return FCanvas;
  }
  if (!FScreenCanvas) FScreenCanvas = new TcxScreenCanvas();
  FScreenCanvas->Canvas()->Font()->Assign(Font());
  return FScreenCanvas;
}

TFont* TCustomdxBarControl::ItemsFont() { return FOwnerBarManager ? FOwnerBarManager->Font() : Font(); }

// --- Metrics and layout -------------------------------------------------------

TdxBarPainter* TCustomdxBarControl::GetPainter() const {
  if (FPainter) return FPainter;
  if (FParentBar) return FParentBar->GetPainter();
  return FOwnerBarManager ? dxBarManagerPainter(FOwnerBarManager) : dxBarManagerPainter(nullptr);
}

int TCustomdxBarControl::GetBaseLineHeight() const { return GetPainter()->GetReferenceTextSize(); }

int TCustomdxBarControl::MeasureTextSize() { return GetPainter()->GetSubMenuItemHeight(PaintCanvas()); }

int TCustomdxBarControl::IconAreaSize() { return GetPainter()->GetIconAreaSize(this); }

int TCustomdxBarControl::BarIndent() const { return GetPainter()->GetBarIndent(); }

void TCustomdxBarControl::CalcMetrics() {
  FTextSize = MeasureTextSize();
  FRatio = std::max(static_cast<double>(FTextSize) / GetBaseLineHeight(), 1.0);
  FMenuArrowHeight = std::max(FTextSize / 5, 4);
  FIconAreaSize = IconAreaSize();
  SIZE zero{0, 0};
  TcxCanvas* canvas = PaintCanvas();
  canvas->Canvas()->Font()->Assign(ItemsFont());
  canvas->MeasureTextSize("0", zero);
  canvas->Canvas()->Font()->Assign(Font());
  FEditTextSize = GetPainter()->GetEditHeight(this, zero.cy);
  FComboArrowWidth = GetPainter()->GetComboArrowWidth(this, zero.cx);
  FMarkSize = GetPainter()->GetMarkSize(this);
}

int TCustomdxBarControl::GetMarkSize() const { return HasMark() ? FMarkSize : 0; }

void TCustomdxBarControl::CalcItemsRect() { FItemsRect = ClientRect(); }

void TCustomdxBarControl::CalcVisibleArea(int kind, int start) {
  FVisibleItemsRect = FItemsRect;
  BeforeLayout();
  if (FItemLinks) FItemLinks->ClearItemBounds();
  if (kind == 1) {
    int bottom = 0;
    SizeItems(start, bottom);
  } else if (kind == 0 || kind == 2) {
    PlaceItems();
  }
  AfterLayout();
}

void TCustomdxBarControl::SizeItems(int start, int& bottom) {
  const RECT& v = FVisibleItemsRect;
  int y = v.top;
  bottom = v.top;
  if (!FItemLinks || start >= FItemLinks->ShownLinkCount()) return;
  int placed = 0;
  TdxBarItemLink* last = nullptr;
  for (int i = start; i < FItemLinks->ShownLinkCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetShownLink(i);
    const int top = y + SeparatorBefore(link);
    TdxBarItemControl* control = link->Control();
    y = top + (control ? control->CalcHeight() : 0);
    if (y > v.bottom) {
      RECT partial{v.left, top, v.right, y};
      if (ShowsPartialLastItem(partial)) {
        link->StoreItemBounds(partial);
        bottom = v.bottom;
      } else if (placed > 0) {
        bottom = last->ItemRect().bottom;
      } else {
        bottom = top;
      }
      return;
    }
    link->StoreItemBounds(RECT{v.left, top, v.right, y});
    bottom = y;
    last = link;
    ++placed;
  }
}

int TCustomdxBarControl::SeparatorSize() { return GetPainter()->GetBarSeparatorSize(); }

int TCustomdxBarControl::SeparatorBefore(TdxBarItemLink* link) {
  if (!FItemLinks || !link->BeginGroup() || FItemLinks->IndexOfShown(link) <= 0) return 0;
  return SeparatorSize();
}

int TCustomdxBarControl::ItemLineHeight(TdxBarItemControl* control) {
  const int own = control ? control->LineHeight() : 0;
  return own ? own : FTextSize;
}

void TCustomdxBarControl::RebuildViewInfo() {
  FViewInfo->Rebuild();
  if (!FItemLinks) return;
  for (int i = 0; i < FItemLinks->ShownLinkCount(); ++i)
    if (TdxBarItemControl* control = FItemLinks->GetShownLink(i)->Control()) {
      FViewInfo->AddItemViewInfo(control);
      control->UpdateDrawState();
    }
}

void TCustomdxBarControl::ItemControlGone(TdxBarItemControl* control) {
  TdxBarItemLink* link = control->ItemLink();
  if (FSelectedLink == link) FSelectedLink = nullptr;
  if (FPreviousTrackedLink == link) FPreviousTrackedLink = nullptr;
  if (FClickedControl == control) FClickedControl = nullptr;
  if (FViewInfo) FViewInfo->RemoveItemViewInfo(control);
}

void TCustomdxBarControl::BuildControls() {
  ++FRebuildCount;
  if (FState & (dxBarStateBuilding | dxBarStateClearing)) return;
  FState |= dxBarStateBuilding;
  CreateLinkControls();
  FState &= ~dxBarStateBuilding;
}

void TCustomdxBarControl::ClearControls() {
  if (FState & (dxBarStateBuilding | dxBarStateClearing)) return;
  FState |= dxBarStateClearing;
  DestroyLinkControls();
  FState &= ~dxBarStateClearing;
}

void TCustomdxBarControl::CreateLinkControls() {
  if (!FItemLinks) return;
  for (int i = 0; i < FItemLinks->DisplayableLinkCount(); ++i) FItemLinks->GetDisplayableLink(i)->CreateItemControl();
}

void TCustomdxBarControl::DestroyLinkControls() {
  if (!FItemLinks) return;
  FSelectedLink = nullptr;
  FPreviousTrackedLink = nullptr;
  FClickedControl = nullptr;
  FViewInfo->ClearViewInfos();
  for (int i = 0; i < FItemLinks->DisplayableLinkCount(); ++i) FItemLinks->GetDisplayableLink(i)->FreeItemControl();
}

void TCustomdxBarControl::RebuildControls(bool recreate) {
  if (recreate) RecreateItemControls();
}

void TCustomdxBarControl::RecreateItemControls() {
  ClearControls();
  BuildControls();
  POINT cursor;
  if (!GetCursorPos(&cursor)) return;
  HWND under = DeepestWindowAtPoint(cursor);
  auto* bar = dynamic_cast<TCustomdxBarControl*>(FindControl(under));
  if (!bar || !IsLiveBarControl(bar)) return;
  bar->FLastMousePos = POINT{-1, -1};
  POINT client = cursor;
  ::ScreenToClient(under, &client);
  PostMessageA(under, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
}

void TCustomdxBarControl::RebuildKeepingSelection(bool recreate) {
  if (IsDestroying() || !HandleAllocated() ||
      (FState & (dxBarStateBuilding | dxBarStateClearing | dxBarStateRebuilding)) || IsUpdateLocked())
    return;
  FState |= dxBarStateRebuilding;
  TdxBarItemLink* remembered = nullptr;
  if (IsCustomizing() && FOwnerBarManager && FOwnerBarManager->SelectedItemControl() &&
      FOwnerBarManager->SelectedItemControl()->Parent() == this) {
    remembered = FOwnerBarManager->SelectedItemControl()->ItemLink();
    FOwnerBarManager->SetSelectedItemControl(nullptr);
  }
  FSelectedLink = nullptr;
  RebuildControls(recreate);
  CalcLayout();
  if (remembered && remembered->Control()) SelectItemControl(remembered->Control());
  FState &= ~dxBarStateRebuilding;
  Invalidate();
}

void TCustomdxBarControl::RebuildItems() {
  ++FRebuildCount;
  RebuildKeepingSelection(true);
}

// --- Questions -------------------------------------------------------------------

bool TCustomdxBarControl::IsCustomizing() const {
  return FOwnerBarManager && (FOwnerBarManager->IsCustomizing() || FOwnerBarManager->IsDesigning());
}

bool TCustomdxBarControl::IsUpdateLocked() const { return FOwnerBarManager && FOwnerBarManager->IsUpdateLocked(); }

bool TCustomdxBarControl::IsFlatBar() const { return GetPainter()->IsFlatBarControl(const_cast<TCustomdxBarControl*>(this)); }

bool TCustomdxBarControl::HitTestWhileCustomizing() { return FOwnerBarManager && FOwnerBarManager->IsDesigning(); }

unsigned TCustomdxBarControl::OptionFlags() const { return FParentBar ? FParentBar->OptionFlags() : 0x13; }

bool TCustomdxBarControl::CanActivate() {
  return AppHasActiveWindow() || IsWindowEnabledChain() || IsCustomizing();
}

bool TCustomdxBarControl::IsWindowEnabledChain() { return HandleAllocated() && IsWindowChainEnabled(Handle()); }

bool TCustomdxBarControl::NeedsItemPaint(TdxBarItemControl* control) {
  if (IsDestroying() || !control || !control->ItemLink() || control->ItemLink()->Control() != control) return false;
  TdxBarItem* item = control->ItemLink()->Item();
  if (!item || item->IsBeingDestroyed() || (FState & dxBarStatePaintingItem) || IsUpdateLocked()) return false;
  return FViewInfo->HasViewInfoOfItemControl(control);
}

bool TCustomdxBarControl::AcceptsDeactivation(TdxBarManager*, HWND) {
  if (TdxBarItemControl* selected = SelectedControl()) return selected->AllowsChainClose();
  return true;
}

bool TCustomdxBarControl::IsAncestorOf(TCustomdxBarControl* control) const {
  for (TCustomdxBarControl* c = control ? control->FParentBar : nullptr; c; c = c->FParentBar)
    if (c == this) return true;
  return false;
}

bool TCustomdxBarControl::HasItemControl(TdxBarItemControl* control) const {
  return FItemLinks && control && FItemLinks->HasItemControl(control);
}

TCustomdxBarControl* TCustomdxBarControl::ChainParent() const {
  if (IsDetachedKind() && FParentBar && !FParentBar->IsDetachedKind()) return nullptr;
  return FParentBar;
}

bool TCustomdxBarControl::IsInActiveChain() const {
  TCustomdxBarControl* active = FocusedBarControlRef;
  if (!active) return true;
  for (TCustomdxBarControl* c = active; c; c = c->ChainParent())
    if (c == this) return true;
  return false;
}

bool TCustomdxBarControl::RightClickOpensOn(bool down) const {
  const bool onDown = (!(OptionFlags() & 0x100) && !IsDetachedKind()) || IsCustomizing();
  return down ? onDown : ((OptionFlags() & 0x100) && !onDown);
}

bool TCustomdxBarControl::CanLeaveChain() {
  if (TdxBarItemControl* selected = SelectedControl(); selected && !selected->AllowsChainClose()) return false;
  return !FChildBar || FChildBar->CanLeaveChain();
}

HBRUSH TCustomdxBarControl::GetBackgroundBrush() { return GetPainter()->GetToolbarBrush(this); }
HBRUSH TCustomdxBarControl::DownedBrush() { return GetPainter()->GetDownedBrush(this); }
HBRUSH TCustomdxBarControl::DownedSelectedBrush() { return GetPainter()->GetDownedSelectedBrush(this); }
HBRUSH TCustomdxBarControl::SelectedBrush() { return GetPainter()->GetSelectedBrush(this); }

void TCustomdxBarControl::SetDockingStyle(int style) {
  if (style == FDockingStyle) return;
  FDockingStyle = style;
  ClearBackgroundCache();
  if (HandleAllocated()) Perform(0xB00E, 0, 0);
}

void TCustomdxBarControl::PopupPointBelow(POINT& point, int height) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  point.y += static_cast<int>(std::lround(20.0 * dpi / 96));
  const RECT work = WorkAreaAtPoint(point);
  if (point.y + height > work.bottom) point.y = ClientOrigin().y - height;
}

// --- Geometry -----------------------------------------------------------------------

RECT TCustomdxBarControl::GetItemControlRect(TdxBarItemControl* control) const {
  return control && control->ItemLink() ? control->ItemLink()->ItemRect() : RECT{0, 0, 0, 0};
}

void TCustomdxBarControl::GetItemDropRect(TdxBarItemControl* control, RECT& r) { r = GetItemControlRect(control); }

HRGN TCustomdxBarControl::CreateItemRegion(TdxBarItemControl* control) {
  const RECT r = GetItemControlRect(control);
  return CreateRectRgnIndirect(&r);
}

TdxBarItemControl* TCustomdxBarControl::ItemControlAtPoint(POINT client) const {
  if (!FItemLinks || !const_cast<TCustomdxBarControl*>(this)->HandleAllocated()) return nullptr;
  for (int i = 0; i < FItemLinks->ShownLinkCount(); ++i) {
    TdxBarItemLink* link = FItemLinks->GetShownLink(i);
    if (link->Control() && PtInRect(&link->ItemRect(), client)) return link->Control();
  }
  return nullptr;
}

bool TCustomdxBarControl::ContainsScreenPoint(POINT screen) {
  if (!HandleAllocated()) return false;
  if (FocusedBarControlRef == this) {
    RECT r;
    GetWindowRect(Handle(), &r);
    return PtInRect(&r, screen);
  }
  HWND under = DeepestWindowAtPoint(screen);
  return under == Handle();
}

void TCustomdxBarControl::CalcDropPosition(POINT point, TdxBarItemLink*& link, bool& vertical, bool& before,
                                           bool& separator) {
  if (!FItemLinks) return;
  for (int i = 0; i < FItemLinks->ShownLinkCount(); ++i) {
    TdxBarItemLink* candidate = FItemLinks->GetShownLink(i);
    TdxBarItemControl* control = candidate->Control();
    if (!control) continue;
    HRGN region = CreateItemRegion(control);
    const bool inside = PtInRegion(region, point.x, point.y);
    DeleteObject(region);
    if (!inside) continue;
    vertical = UsesVerticalDropMarks();
    link = candidate;
    RECT r;
    GetItemDropRect(control, r);
    int index = 0;
    if (!PtInRect(&r, point) && FViewInfo->FindSeparatorOfItemControl(control, index)) {
      separator = true;
      if (point.y < r.top) vertical = true;
      FViewInfo->GetSeparatorInfo(index, r);
    }
    before = vertical ? (point.y - r.top < r.bottom - point.y) : (point.x - r.left < r.right - point.x);
    return;
  }
}

// --- Selection ---------------------------------------------------------------------------

void TCustomdxBarControl::InvalidateItem(TdxBarItemControl* control) {
  if (!control || !HandleAllocated()) return;
  const RECT r = GetItemControlRect(control);
  InvalidateRect(Handle(), &r, FALSE);
}

void TCustomdxBarControl::SetSelectedControl(TdxBarItemControl* control) {
  TdxBarItemControl* old = SelectedControl();
  if (old == control) return;
  FSelectedLink = control ? control->ItemLink() : nullptr;
  if (OptionFlags() & 0x40) FDowned = false;
  if (FOwnerBarManager) {
    TBarControlGuard guard(this);
    FOwnerBarManager->SetSelectedItemControl(control);
    if (!guard.Alive()) return;
  }
  InvalidateItem(old);
  InvalidateItem(control);
  if (!control) SetCursor(crDefault);
}

void TCustomdxBarControl::SelectItemControl(TdxBarItemControl* control) {
  if (!HandleAllocated() || IsDestroying()) return;
  TdxBarItemControl* old = SelectedControl();
  if (old == control) return;
  if (old && old->IsActive()) {
    TBarControlGuard guard(this);
    old->ControlInactivate(true);
    if (!guard.Alive()) return;
  }
  if (auto* button = dynamic_cast<TdxBarButtonLikeControl*>(control)) button->SetShowAnimation(false);
  if (control) control->SetSelectedByMouse(false);
  SetSelectedControl(control);
  ItemSelectedHook(control);
}

void TCustomdxBarControl::HotTrackItemControl(TdxBarItemControl* control) {
  if (!HandleAllocated() || IsDestroying()) return;
  TdxBarItemControl* old = SelectedControl();
  if (old == control) return;
  if (old && old->HasOwnWindow() && old->IsActive()) return;
  if (old && old->IsActive()) {
    TBarControlGuard guard(this);
    old->ControlInactivate(false);
    if (!guard.Alive()) return;
  }
  if (control) control->SetSelectedByMouse(true);
  SetSelectedControl(control);
  if (auto* sub = dynamic_cast<TdxBarSubItemControl*>(control)) {
    sub->SetShowAnimation(true);
    sub->ControlActivate(false);
  } else if (auto* button = dynamic_cast<TdxBarButtonLikeControl*>(control); button && button->IsDropDown()) {
    button->ControlActivate(false);
  }
}

void TCustomdxBarControl::AccelSelect(TdxBarItemControl* control, bool shared) {
  SelectItemControl(control);
  if (!shared && HandleAllocated()) SendMessageA(Handle(), WM_KEYDOWN, VK_RETURN, 0);
}

void TCustomdxBarControl::SelectOrCancel(TdxBarItemControl* control) {
  if (OptionFlags() & 0x02)
    SetSelectedControl(control);
  else
    CancelByEscape();
}

// --- Activation -------------------------------------------------------------------------

void TCustomdxBarControl::RequestActivation(bool active) {
  if (active == FActive || !CanActivate()) {
    if (!(active == false && FActive && IsCustomizing())) return;
  }
  SetActiveState(active);
}

void TCustomdxBarControl::SetActiveState(bool active) {
  if (active) {
    if (!FocusedBarControlRef) ChainBeganCustomizing = IsCustomizing();
    FPreviousActive = FocusedBarControlRef;
    FocusedBarControlRef = this;
    FActive = true;
    if (!IsCustomizing() && FItemLinks) FItemLinks->UpdateItemActions();
  } else {
    TBarControlGuard guard(this);
    if (IsCustomizing())
      FSelectedLink = nullptr;
    else
      SelectItemControl(nullptr);
    if (!guard.Alive()) return;
    FActive = false;
    FDowned = false;
    if (FocusedBarControlRef == this) {
      FocusedBarControlRef = FPreviousActive;
      if (FocusedBarControlRef && (!IsLiveBarControl(FocusedBarControlRef) || !FocusedBarControlRef->IsActive()))
        FocusedBarControlRef = nullptr;
    }
    FPreviousActive = nullptr;
  }
}

void TCustomdxBarControl::EnterFocus(TdxBarItemControl* control) {
  SelectItemControl(control);
  RequestActivation(true);
}

void TCustomdxBarControl::LeaveFocus() {
  SelectItemControl(nullptr);
  RequestActivation(false);
}

void TCustomdxBarControl::DropFocusIfFocused() {
  if (FocusedBarControlRef == this) LeaveFocus();
}

void TCustomdxBarControl::CloseUp() {
  TBarControlGuard guard(this);
  RequestActivation(false);
  if (!guard.Alive()) return;
  if (FParentBar && !FClosedByEscape) FParentBar->Close();
}

void TCustomdxBarControl::Close() {
  if (FState & dxBarStateClosing) return;
  FState |= dxBarStateClosing;
  TBarControlGuard guard(this);
  CloseUp();
  if (guard.Alive()) FState &= ~dxBarStateClosing;
}

void TCustomdxBarControl::CancelByEscape() {
  FClosedByEscape = true;
  Close();
}

void TCustomdxBarControl::HideWindow() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  SetVisible(false);
}

void TCustomdxBarControl::PrepareAndShow(POINT screenPoint, int, int) {
  SetBounds(screenPoint.x, screenPoint.y, Width(), Height());
  ShowNoActivate();
}

void TCustomdxBarControl::ShowNoActivate() {
  HandleNeeded();
  ShowWindow(Handle(), SW_SHOWNOACTIVATE);
  SetVisible(true);
  if (TdxBarItemControl* selected = SelectedControl()) selected->Repaint();
}

void TCustomdxBarControl::RepaintAll() {
  if (HandleAllocated()) SendMessageA(Handle(), WM_NCPAINT, 1, 0);
  Invalidate();
}

void TCustomdxBarControl::NotifyDestroying() {
  if (OnDestroying) OnDestroying(this);
}

// --- Keyboard --------------------------------------------------------------------------

TdxBarItemLink* TCustomdxBarControl::LinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start) {
  return FItemLinks ? FItemLinks->FindLinkForKey(key, shift, start) : nullptr;
}

TdxBarItemLink* TCustomdxBarControl::FindLinkByAccel(WORD key, TShiftState shift, bool& shared,
                                                     TdxBarItemLink* start) {
  shared = false;
  TdxBarItemLink* link = LinkForKey(key, shift, start);
  if (!link || !link->Item() || !link->Item()->Enabled()) return nullptr;
  TdxBarItemLink* other = LinkForKey(key, shift, link);
  shared = other && other != link;
  return link;
}

void TCustomdxBarControl::SelectNeighbour(bool next, bool fromTab) {
  if (!FItemLinks) return;
  TdxBarItemLink* current = FSelectedLink;
  TdxBarItemLink* target = nullptr;
  if (!current) {
    target = FItemLinks->FirstSelectableLink();
  } else {
    target = next ? FItemLinks->NextSelectableLink(current, true) : FItemLinks->PrevSelectableLink(current, true);
    if (!target) target = next ? FItemLinks->FirstSelectableLink() : FItemLinks->LastSelectableLink();
  }
  if (!target || !target->Control()) return;
  SelectItemControl(target->Control());
  if (fromTab && target->Control()->HasOwnWindow()) target->Control()->ControlActivate(true);
}

void TCustomdxBarControl::MoveToNextToolbar(bool) {
  // FIXME: walking the bars of the managers joins with the toolbar windows.
}

void TCustomdxBarControl::HandleKeyDown(TMessage& Message) {
  if (!FocusedBarControlRef) return;
  WORD key = static_cast<WORD>(Message.WParam);
  const TShiftState shift = KeyboardShiftState();
  if (IsVertical()) {
    switch (key) {
      case VK_LEFT: key = VK_UP; break;
      case VK_UP: key = VK_LEFT; break;
      case VK_RIGHT: key = VK_DOWN; break;
      case VK_DOWN: key = VK_RIGHT; break;
      default: break;
    }
  }
  if (ControlKind() == 2) {
    if (key == VK_LEFT || key == VK_RIGHT) return;
    if (key == VK_UP) key = VK_LEFT;
    else if (key == VK_DOWN) key = VK_RIGHT;
  }
  if (TdxBarItemControl* selected = SelectedControl(); selected && selected->WantsKey(key)) {
    selected->KeyDown(key, shift);
    return;
  }
  bool fromTab = false;
  if (key == VK_TAB) {
    if (shift.Contains(ssCtrl)) {
      MoveToNextToolbar(shift.Contains(ssShift));
      return;
    }
    key = shift.Contains(ssShift) ? VK_LEFT : VK_RIGHT;
    fromTab = true;
  }
  switch (key) {
    case VK_END:
    case VK_HOME: {
      TdxBarItemLink* link = FItemLinks ? (key == VK_END ? FItemLinks->LastSelectableLink()
                                                         : FItemLinks->FirstSelectableLink())
                                        : nullptr;
      if (link && link->Control()) SelectItemControl(link->Control());
      return;
    }
    case VK_LEFT:
    case VK_RIGHT: SelectNeighbour(key == VK_RIGHT, fromTab); return;
    case VK_RETURN:
      if (TdxBarItemControl* selected = SelectedControl()) selected->Click(false);
      return;
    case VK_ESCAPE: CancelByEscape(); return;
    case VK_F10:
      if (FOwnerBarManager && FOwnerBarManager->UseF10ForMenu()) Close();
      return;
    case VK_MENU: Close(); return;
    default: break;
  }
  const UINT ch = MapVirtualKeyA(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
  if (!((ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'Z'))) return;
  bool shared = false;
  TdxBarItemLink* link = FindLinkByAccel(static_cast<WORD>(ch), shift, shared, FSelectedLink);
  if (link && link->Control()) AccelSelect(link->Control(), shared);
}

// --- Mouse ----------------------------------------------------------------------------------

bool TCustomdxBarControl::IsMouseIgnored(bool check) {
  if (IsCustomizing()) return true;
  POINT cursor;
  GetCursorPos(&cursor);
  if (check) return cursor.x == FLastMousePos.x && cursor.y == FLastMousePos.y;
  if (!HandleAllocated()) return true;
  RECT r;
  GetWindowRect(Handle(), &r);
  return !PtInRect(&r, cursor);
}

void TCustomdxBarControl::TrackMousePosition(TShiftState, int x, int y) {
  if (IsMouseIgnored(true)) {
    if (IsMouseIgnored(false)) MouseLeft();
    return;
  }
  POINT p{x, y};
  ::ClientToScreen(Handle(), &p);
  FLastMousePos = p;
}

void TCustomdxBarControl::MouseLeft() {
  FLastMousePos = POINT{-1, -1};
  if (FViewState == 1) MouseLeaveBar();
}

void TCustomdxBarControl::TrackLink(TdxBarItemLink* link, POINT point, TShiftState shift) {
  (void)shift;
  if (link != FPreviousTrackedLink) {
    if (FPreviousTrackedLink && FPreviousTrackedLink->Control()) FPreviousTrackedLink->Control()->MouseLeave();
    if (link && link->Control()) link->Control()->MouseEnter(point.x, point.y);
    FPreviousTrackedLink = link;
  }
  if (link && link->Control()) link->Control()->MouseMove(point.x, point.y);
}

void TCustomdxBarControl::MouseEnterBar(TShiftState shift, POINT point, TdxBarItemControl* control) {
  TrackLink(control ? control->ItemLink() : nullptr, point, shift);
  const int old = FViewState;
  FViewState = 1;
  if (old != 1 && !IsCustomizing()) ViewStateChanged(old);
}

void TCustomdxBarControl::MouseLeaveBar() {
  const int old = FViewState;
  FViewState = 0;
  if (old != 0 && !IsCustomizing()) ViewStateChanged(old);
  TrackLink(nullptr, POINT{-1, -1}, TShiftState());
  if (FMarkState == 1) SetMarkState(0);
  TdxBarItemControl* selected = SelectedControl();
  if (!FClickedControl && selected && !selected->KeepsSelectionOnLeave() && !IsCustomizing())
    HotTrackItemControl(nullptr);
}

void TCustomdxBarControl::MouseMoveOn(TShiftState shift, POINT point, TdxBarItemControl* control) {
  if (IsMouseIgnored(true)) return;
  TrackLink(control ? control->ItemLink() : nullptr, point, shift);
  if (FOwnerBarManager && FOwnerBarManager->SelectedItemControl() &&
      FOwnerBarManager->SelectedItemControl()->HasOwnWindow() && FOwnerBarManager->SelectedItemControl()->IsActive())
    return;
  if (control && !control->CanSelectByMouse()) control = nullptr;
  const bool activeToolbar = FActive && ControlKind() == 0;
  if (!FClickedControl && (control || !FChildBar) && (!activeToolbar || control)) HotTrackItemControl(control);
}

void TCustomdxBarControl::MouseDownOn(TMouseButton button, TShiftState shift, bool, TdxBarItemControl* control,
                                      POINT point) {
  if (control && !IsMouseIgnored(false)) control->MouseDown(button, shift, point.x, point.y);
  if (IsCustomizing()) DesignClick(control, button == mbRight ? 1 : 0, shift);
  if (button == mbRight) {
    if (control != SelectedControl()) DropFocusIfFocused();
    if (RightClickOpensOn(true)) DesignPopup();
  } else if (button == mbLeft) {
    if (IsCustomizing())
      BeginLinkDrag(point);
    else
      PressItem(control);
  }
}

void TCustomdxBarControl::MouseUpOn(TMouseButton button, TShiftState shift, bool, TdxBarItemControl* control,
                                    POINT point) {
  if (control && !IsMouseIgnored(false)) control->MouseUp(button, shift, point.x, point.y);
  if (button == mbRight && RightClickOpensOn(false)) DesignPopup();
}

void TCustomdxBarControl::PressItem(TdxBarItemControl* control) {
  if (!control || !control->IsEnabled() || !control->WantsMouse()) return;
  TBarControlGuard guard(this);
  // A press on a bar outside menu mode enters it (a toolbar: downed).
  if (!FActive) {
    RequestActivation(true);
    if (!guard.Alive()) return;
    if (ControlKind() == 0) FDowned = true;
  }
  SelectItemControl(control);
  if (!guard.Alive()) return;
  auto* button = dynamic_cast<TdxBarButtonLikeControl*>(control);
  if (button) button->SetShowAnimation(true);
  if (control->NeedsCaptureMouse() || button) {
    FClickedControl = control;
    SetCapture(Handle());
  }
  control->BeforeClick(true);
}

void TCustomdxBarControl::BeginLinkDrag(POINT point) {
  TdxBarItemControl* selected = FOwnerBarManager ? FOwnerBarManager->SelectedItemControl() : nullptr;
  if (!selected || selected->Parent() != this) return;
  FDragPoint = point;
  FDragPending = true;
  SetCapture(Handle());
}

void TCustomdxBarControl::DesignClick(TdxBarItemControl* control, int operation, TShiftState) {
  if (!control) return;
  EnterFocusAt(control);
  if (operation == 1) {
    if (TdxBarItemControl* selected = SelectedControl(); selected && selected->IsActive())
      selected->ControlInactivate(true);
    SelectItemControl(control);
  } else {
    HotTrackItemControl(control);
  }
  if (FOwnerBarManager) FOwnerBarManager->SetSelectedItemControl(control);
}

void TCustomdxBarControl::HandleMouseDownMessage(TMessage& Message, TMouseButton button) {
  const POINT point = PointOf(Message.LParam);
  TShiftState shift = KeysToShiftState(Message.WParam);
  const bool dbl = Message.Msg == WM_LBUTTONDBLCLK || Message.Msg == WM_RBUTTONDBLCLK || Message.Msg == WM_MBUTTONDBLCLK;
  if (dbl) shift.Include(ssDouble);
  TBarControlGuard guard(this);
  TdxBarItemControl* control = ItemControlAtPoint(point);
  if (FLastMousePos.x == -1 && FLastMousePos.y == -1 && !IsCustomizing()) MouseEnterBar(shift, point, control);
  if (!guard.Alive()) return;
  if (dbl && control && control == SelectedControl() && control->HandlesDoubleClick()) {
    control->DoubleClick();
    return;
  }
  RECT client = ClientRect();
  MouseDownOn(button, shift, PtInRect(&client, point) != FALSE, control, point);
}

void TCustomdxBarControl::HandleMouseMoveMessage(TMessage& Message) {
  if (IsDestroying()) return;
  const POINT point = PointOf(Message.LParam);
  const TShiftState shift = KeysToShiftState(Message.WParam);
  if (FDragPending) {
    const int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
    RECT dragRect{FDragPoint.x - cx, FDragPoint.y - cy, FDragPoint.x + cx, FDragPoint.y + cy};
    if (!PtInRect(&dragRect, point)) {
      FDragPending = false;
      ReleaseCapture();
      ++FLinkDragCount;
    }
    return;
  }
  TBarControlGuard guard(this);
  TdxBarItemControl* control = ItemControlAtPoint(point);
  if (FLastMousePos.x == -1 && FLastMousePos.y == -1 && !IsMouseIgnored(true)) MouseEnterBar(shift, point, control);
  if (!guard.Alive()) return;
  MouseMoveOn(shift, point, control);
  if (!guard.Alive()) return;
  TrackMousePosition(shift, point.x, point.y);
}

void TCustomdxBarControl::HandleMouseUpMessage(TMessage& Message, TMouseButton button) {
  const POINT point = PointOf(Message.LParam);
  const TShiftState shift = KeysToShiftState(Message.WParam);
  TdxBarItemControl* control = ItemControlAtPoint(point);
  RECT client = ClientRect();
  MouseUpOn(button, shift, PtInRect(&client, point) != FALSE, control, point);
}

void TCustomdxBarControl::HandleLeftButtonUp(TMessage& Message) {
  if (FDragPending) {
    FDragPending = false;
    ReleaseCapture();
    return;
  }
  const POINT point = PointOf(Message.LParam);
  TBarControlGuard guard(this);
  TdxBarItemControl* captured = FClickedControl;
  FClickedControl = nullptr;
  if (captured && GetCapture() == Handle()) ReleaseCapture();
  HandleMouseUpMessage(Message, mbLeft);
  if (!guard.Alive()) return;
  RECT client = ClientRect();
  if (PtInRect(&client, point) && FActive) {
    TdxBarItemControl* control = ItemControlAtPoint(point);
    if (control && !IsCustomizing() && control->WantsMouse()) {
      if (control->IsEnabled() && control == SelectedControl()) {
        control->ControlClick(true);
        return;
      }
      if (!control->IsEnabled() && control != SelectedControl() && ControlKind() == 0) {
        auto* button = dynamic_cast<TdxBarButtonControl*>(SelectedControl());
        if (!(button && button->IsDroppedDown())) Close();
        return;
      }
    }
  }
  if (captured && guard.Alive()) Close();
}

// --- Painting ------------------------------------------------------------------------------

void TCustomdxBarControl::Paint() {
  if (IsDestroying()) return;
  TdxBarPainter* painter = GetPainter();
  painter->PaintBar(this, Canvas()->Handle());
  PaintItems();
}

void TCustomdxBarControl::PaintItems() {
  TcxCanvas* canvas = PaintCanvas();
  for (int i = 0; i < FViewInfo->ItemViewInfoCount(); ++i) {
    TdxBarItemControl* control = FViewInfo->GetItemViewInfo(i);
    if (!NeedsItemPaint(control)) continue;
    PaintItemWithBackground(canvas, control);
    const RECT r = GetItemControlRect(control);
    ExcludeClipRect(canvas->GetDeviceContext(), r.left, r.top, r.right, r.bottom);
  }
}

void TCustomdxBarControl::PaintItemWithBackground(TcxCanvas* canvas, TdxBarItemControl* control) {
  FState |= dxBarStatePaintingItem;
  FBackgroundBrush = GetBackgroundBrush();
  PaintItem(control, canvas, GetItemControlRect(control));
  FState &= ~dxBarStatePaintingItem;
}

void TCustomdxBarControl::PaintItem(TdxBarItemControl* control, TcxCanvas* canvas, const RECT& r) {
  HDC dc = canvas->GetDeviceContext();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  control->DrawTo(canvas, r, ItemPaintKind());
  RestoreDC(dc, saved);
}

void TCustomdxBarControl::Resize() {
  TCustomControl::Resize();
  if (IsPopup()) {
    const RECT r{0, 0, Width(), Height()};
    GetPainter()->PopupResized(HandleAllocated() ? Handle() : nullptr, r, true);
  }
}

// --- Window procedure ------------------------------------------------------------------------

void TCustomdxBarControl::WndProc(TMessage& Message) {
  try {
    const UINT msg = Message.Msg;
    if (((msg >= 0xA0 && msg <= 0xA9) || (msg >= WM_MOUSEFIRST && msg <= 0x20A)) && !IsInActiveChain()) {
      Message.Result = 0;
      return;
    }
    switch (msg) {
      case WM_ERASEBKGND: Message.Result = 1; return;
      case WM_MOUSEACTIVATE: Message.Result = MA_NOACTIVATE; return;
      case WM_LBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
        if (FIgnoreNextClick) return;
        HandleMouseDownMessage(Message, mbLeft);
        return;
      case WM_RBUTTONDOWN:
      case WM_RBUTTONDBLCLK: HandleMouseDownMessage(Message, mbRight); return;
      case WM_MBUTTONDOWN:
      case WM_MBUTTONDBLCLK: HandleMouseDownMessage(Message, mbMiddle); return;
      case WM_LBUTTONUP:
        if (FIgnoreNextClick) {
          FIgnoreNextClick = false;
          return;
        }
        HandleLeftButtonUp(Message);
        return;
      case WM_RBUTTONUP: HandleMouseUpMessage(Message, mbRight); return;
      case WM_MBUTTONUP: HandleMouseUpMessage(Message, mbMiddle); return;
      case WM_MOUSEMOVE: HandleMouseMoveMessage(Message); return;
      case WM_CAPTURECHANGED:
        if (FDragPending) FDragPending = false;
        FClickedControl = nullptr;
        break;
      case WM_KEYDOWN:
      case WM_SYSKEYDOWN: {
        TBarControlGuard guard(this);
        TCustomControl::WndProc(Message);
        if (guard.Alive()) HandleKeyDown(Message);
        return;
      }
      case WM_KILLFOCUS: {
        TBarControlGuard guard(this);
        TCustomControl::WndProc(Message);
        if (guard.Alive() && Message.WParam == 0) Close();
        return;
      }
      case 0x8065: RebuildItems(); return;
      case WM_DESTROY:
        if (!IsDestroying()) {
          FMarkState = 0;
          DeactivateItemControls();
        }
        break;
      default: break;
    }
    TCustomControl::WndProc(Message);
  } catch (...) {
    Application->HandleException(this);
  }
}

