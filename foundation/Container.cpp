#include "foundation/Container.h"

#include "foundation/GdiPlusApi.h"
#include "foundation/Office11.h"
#include "foundation/UxTheme.h"
#include "platform/Forms.h"
#include "platform/Properties.h"

#include <algorithm>

namespace {

bool Same(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

}  // namespace

// ---------------------------------------------------------------------------
// Life

const TClassInfo TcxContainer::ClassInfo{"TcxContainer", &TcxControl::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TcxContainer(static_cast<TComponent*>(owner));
                                         }};

TcxContainer::TcxContainer(TComponent* AOwner) : TcxControl(AOwner) {}

void TcxContainer::AfterConstruction() {
  FCreating = true;
  TcxControl::AfterConstruction();
  FSizeGripVisible = false;
  FStyles = std::make_unique<TcxContainerStyles>(this, StyleClass());
  FStyles->SetChangeHandler(TcxStyleChangedEvent::Bind<&TcxContainer::HandleStyleChange>(this));
  FActiveStyleState = TcxContainerState{csfNormal};
  FActiveStyle = FStyles->NormalStyle();
  FViewInfo.reset(ViewInfoClass());
  LookAndFeel()->AttachToMaster(Style()->GetLookAndFeel());
  FControlStyle += TControlStyle{csCaptureMouse, csSetCaption};
  SetTabStop(true);
  FInternalSetting = true;
  SetParentColor(DefaultParentColor() && !IgnoresParentColor() && !Style()->IsValueAssigned(csvColor));
  if (!ParentColor()) SetColor(clWindow);
  FInternalSetting = false;
  ResetInnerControlBounds();
  FCreating = false;
}

TcxContainer::~TcxContainer() {
  StopHoverTracking(&FTrackingCaller);
  FIsDestroying = true;
  // The window goes while the styles and the view info its messages reach
  // are still whole.
  DestroyHandle();
  if (FInnerControl) FInnerControl->RemoveFreeNotification(this);
  FInnerControl = nullptr;
  FViewInfo.reset();
  if (FStyles) FStyles->SetChangeHandler({});
  FStyles.reset();
}

bool TcxContainer::IsBeingDestroyed() const { return ComponentState().Contains(csDestroying) || FIsDestroying; }

void TcxContainer::AssignInnerControl(TWinControl* control) {
  if (FInnerControl == control) return;
  if (FInnerControl) FInnerControl->RemoveFreeNotification(this);
  FInnerControl = control;
  if (control) control->FreeNotification(this);
}

void TcxContainer::Notification(TComponent* component, TOperation operation) {
  TcxControl::Notification(component, operation);
  if (operation == opRemove && component == FInnerControl) FInnerControl = nullptr;
}

void TcxContainer::ResetInnerControlBounds() {
  FInnerClipEmpty = true;
  FInnerClip = RECT{0, 0, 0, 0};
}

void TcxContainer::AdjustAlignLock(bool raise) {
  if (raise) {
    ++FAlignLockCount;
  } else if (FAlignLockCount > 0) {
    --FAlignLockCount;
  }
}

bool TcxContainer::SupportsStyleProperty(const AnsiString& name, bool onlyPublished) {
  if (onlyPublished && !Style()->IsStylePropertyPublished(name)) return false;
  int index;
  if (Style()->FindStyleValueByName(name, index) &&
      UnusedStyleValues().Contains(static_cast<TcxContainerStyleValue>(index)))
    return false;
  return true;
}

// ---------------------------------------------------------------------------
// The view info and the refresh

TcxContainerStyle* TcxContainer::PickStateStyle() {
  const TcxContainerState state = FViewInfo->ContainerState;
  if (state.Contains(csfDisabled)) return FStyles->DisabledStyle();
  if (state.Contains(csfActive)) return FStyles->FocusedStyle();
  if (state.Contains(csfHotTrack) && Style()->GetHotTrack()) return FStyles->HotStyle();
  return FStyles->NormalStyle();
}

TcxContainerStyle* TcxContainer::ActiveStyle() {
  if (!FViewInfo) return FStyles->NormalStyle();
  if (FActiveStyle && FActiveStyleState == FViewInfo->ContainerState) return FActiveStyle;
  FActiveStyleState = FViewInfo->ContainerState;
  FActiveStyle = PickStateStyle();
  return FActiveStyle;
}

bool TcxContainer::UsesNativeStyle() {
  return ThemeAvailableFor(Style()->GetLookAndFeel()->NativeStyle(), ThemedObjectKind());
}

int TcxContainer::ThemePart() { return DesktopCompositionActive() ? 3 : 1; }

int TcxContainer::ThemeState() {
  if (!Enabled()) return 4;
  if (IsShownReadOnly()) return 6;
  if (FViewInfo->ContainerState.Contains(csfActive)) return 5;
  if (FViewInfo->ContainerState.Contains(csfHotTrack)) return 2;
  return 1;
}

bool TcxContainer::WantsShadow() { return ActiveStyle()->GetShadow() && !FViewInfo->NativeStyle; }

bool TcxContainer::NeedsOwnBorderPainting() { return !(FViewInfo->NativeStyle && FViewInfo->BorderStyle != cbsNone); }

bool TcxContainer::IsFocusedNow() { return Focused(); }

void TcxContainer::CalcViewInfo(POINT p, bool hotAllowed) {
  TcxContainerViewInfo& v = *FViewInfo;
  v.NativeStyle = UsesNativeStyle();
  v.Painter = nullptr;  // no skin painter exists in this program
  const int previousWidth = BorderWidthOfStyle(v.BorderStyle);
  auto computeState = [&] {
    TcxContainerState state;
    if (!Enabled()) {
      state.Include(csfDisabled);
    } else if (IsDesigning()) {
      state.Include(csfNormal);
    } else {
      state.Include(IsFocusedNow() ? csfActive : csfNormal);
    }
    if (hotAllowed) {
      const RECT body = BodyRect();
      if (PtInRect(&body, p)) state.Include(csfHotTrack);
    }
    v.ContainerState = state;
    TcxContainerStyle* style = ActiveStyle();
    v.HotTrackMode = !style->GetHotTrack() ? 0 : (state.Contains(csfActive) || state.Contains(csfHotTrack)) ? 2 : 1;
    if (v.NativeStyle) {
      v.BorderStyle = Style()->GetBorderStyle();
    } else {
      v.BorderStyle = style->GetBorderStyle();
      if (v.BorderStyle == cbsUltraFlat || v.BorderStyle == cbsOffice11) v.BorderStyle = cbsSingle;
    }
  };
  computeState();
  // A thinner border widens the body: the point may be over it now.
  if (!v.NativeStyle && BorderWidthOfStyle(v.BorderStyle) < previousWidth) computeState();
  TcxContainerStyle* style = ActiveStyle();
  if (v.NativeStyle) {
    v.ThemedObjectKind = ThemedObjectKind();
    v.NativePart = ThemePart();
    v.NativeState = ThemeState();
  }
  v.Bounds = RECT{0, 0, Width(), Height()};
  v.BorderWidth = v.Painter ? 1 : BorderWidthOfStyle(v.BorderStyle);
  const RECT m = BorderMargins();
  v.BorderRect = RECT{v.Bounds.left + m.left, v.Bounds.top + m.top, v.Bounds.right - m.right, v.Bounds.bottom - m.bottom};
  v.ClientRect = v.BorderRect;
  v.Edges = style->GetEdges();
  v.Shadow = WantsShadow();
  const TcxContainerBorderStyle styleBorder = style->GetBorderStyle();
  if (styleBorder != cbsUltraFlat && styleBorder != cbsOffice11) {
    v.BorderColor = style->GetBorderColor();
  } else {
    const TcxContainerState& s = v.ContainerState;
    const bool lit = s.Contains(csfActive) || (s.Contains(csfHotTrack) && style->GetHotTrack()) ||
                     (IsDesigning() && Enabled());
    if (lit) {
      v.BorderColor = styleBorder == cbsOffice11 ? Office11Color(41) : clHighlight;
    } else {
      v.BorderColor = clBtnShadow;
    }
  }
  if (v.NativeStyle && (Enabled() || style->IsValueAssigned(csvColor))) {
    v.BackgroundColor = style->GetColor();
  } else if (v.NativeStyle) {
    COLORREF fill = ColorToRGB(style->GetColor());
    if (HTHEME theme = AcquireThemeHandle(v.ThemedObjectKind))
      UxGetThemeColor(theme, v.NativePart, v.NativeState, cxThemeFillColorProperty, fill);
    v.BackgroundColor = static_cast<TColor>(fill);
  } else {
    v.BackgroundColor = style->GetColor();
  }
}

RECT TcxContainer::BorderMargins() {
  RECT m{0, 0, 0, 0};
  TcxContainerStyle* style = ActiveStyle();
  const bool native = FViewInfo->NativeStyle;
  if (!style->GetTransparentBorder() || FViewInfo->Painter) {
    if (!style->ShowsBorder() || (native && Style()->GetBorderStyle() == cbsNone)) {
      // no room
    } else if (native) {
      m = RECT{2, 2, 2, 2};
    } else {
      const int w = BorderWidthOfStyle(FViewInfo->BorderStyle);
      const TcxBorders edges = style->GetEdges();
      m = RECT{edges.Contains(bLeft) ? w : 0, edges.Contains(bTop) ? w : 0, edges.Contains(bRight) ? w : 0,
               edges.Contains(bBottom) ? w : 0};
    }
  } else {
    m = RECT{2, 2, 2, 2};
  }
  if (WantsShadow()) {
    m.right += cxContainerShadowWidth;
    m.bottom += cxContainerShadowWidth;
  }
  return m;
}

RECT TcxContainer::BodyRect() {
  RECT r{0, 0, Width(), Height()};
  if (IgnoresParentColor()) return r;
  TcxContainerStyle* style = ActiveStyle();
  if (style->GetShadow() && !FViewInfo->NativeStyle) {
    r.right -= cxContainerShadowWidth;
    r.bottom -= cxContainerShadowWidth;
  }
  const bool transparent = style->GetTransparentBorder();
  if (Style()->ShowsBorder()) {
    if (FViewInfo->NativeStyle) {
      if (transparent && Style()->GetBorderStyle() == cbsNone) InflateRect(&r, -2, -2);
    } else if (transparent) {
      const int w = BorderWidthOfStyle(FViewInfo->BorderStyle);
      InflateRect(&r, w - 2, w - 2);
      const TcxBorders edges = style->GetEdges();
      if (!edges.Contains(bLeft)) r.left += w;
      if (!edges.Contains(bTop)) r.top += w;
      if (!edges.Contains(bRight)) r.right -= w;
      if (!edges.Contains(bBottom)) r.bottom -= w;
    }
  } else if (transparent) {
    InflateRect(&r, -2, -2);
  }
  if (r.bottom < r.top) r.bottom = r.top;
  return r;
}

RECT TcxContainer::CalcInnerClientRect() {
  const RECT m = BorderMargins();
  RECT r{m.left, m.top, Width() - m.right, Height() - m.bottom};
  const int w = BorderWidthOfStyle(FViewInfo->BorderStyle);
  InflateRect(&r, w, w);
  const TcxBorders edges = ActiveStyle()->GetEdges();
  if (!edges.Contains(bLeft)) r.left += w;
  if (!edges.Contains(bTop)) r.top += w;
  if (!edges.Contains(bRight)) r.right -= w;
  if (!edges.Contains(bBottom)) r.bottom -= w;
  return r;
}

void TcxContainer::ApplyWindowRegion() {
  if (!HandleAllocated()) return;
  UpdateWindowRegion(Handle(), CalcInnerClientRect(), !NeedsOwnBorderPainting(), RECT{0, 0, 0, 0},
                     FViewInfo->Shadow);
}

void TcxContainer::ClipToWindowShape(TcxCanvas* canvas) {
  std::unique_ptr<TcxRegion> region(
      BuildWindowRegion(CalcInnerClientRect(), !NeedsOwnBorderPainting(), RECT{0, 0, 0, 0}, FViewInfo->Shadow));
  if (region) canvas->ApplyClipRegion(region.release(), roIntersect);
}

void TcxContainer::AlignInnerControl() {
  if (!FInnerControl) return;
  const RECT r = FViewInfo->ClientRect;
  if (Same(FInnerControl->BoundsRect(), r)) return;
  FRefreshLocked = true;
  try {
    FInnerControl->SetBoundsRect(r);
  } catch (...) {
    FRefreshLocked = false;
    throw;
  }
  FRefreshLocked = false;
}

void TcxContainer::PassLookToInnerControl() {
  if (!FInnerControl) return;
  FInnerControl->SetColor(FViewInfo->BackgroundColor);
  FInnerControl->Font()->Assign(ActiveStyle()->EffectiveFont());
}

bool TcxContainer::TrackMouseAt(POINT p, int button, TShiftState shift, bool flag) {
  (void)button;
  (void)flag;
  if (FRefreshLocked || IsBeingDestroyed() || !FStyles || !FViewInfo) return true;
  FViewInfoCalculated = true;
  CalcViewInfo(p, shift.Empty() && Style()->GetHotTrack());
  AlignInnerControl();
  PassLookToInnerControl();
  ApplyWindowRegion();
  if (HandleAllocated()) {
    if (FInnerControl) {
      InvalidateFrameArea(Handle(), FViewInfo->Bounds, FViewInfo->BorderRect, false);
    } else {
      InvalidateRect(Handle(), &FViewInfo->Bounds, FALSE);
    }
  }
  if (FViewInfo->ContainerState.Contains(csfHotTrack)) StartHoverTracking(this, BodyRect(), &FTrackingCaller);
  return true;
}

bool TcxContainer::RefreshHotStateAtCursor(bool forced) {
  if (!HandleAllocated() || IsBeingDestroyed() || FRefreshingHotState) return false;
  FRefreshingHotState = true;
  TWeakLink<TControl> self(this);
  try {
    POINT p = ReadCursorPos();
    HWND under = WindowFromPoint(p);
    if (under == Handle() || IsChild(Handle(), under)) {
      p = ScreenToClient(p);
    } else {
      p = POINT{-1, -1};
    }
    TrackMouseAt(p, 0, CurrentShiftState(), forced);
  } catch (...) {
    if (self.Get()) FRefreshingHotState = false;
    throw;
  }
  if (self.Get()) FRefreshingHotState = false;
  return true;
}

void TcxContainer::RefreshContainer() {
  if (!RefreshHotStateAtCursor()) TrackMouseAt(POINT{-1, -1}, 0, {}, false);
}

void TcxContainer::RefreshStateBeforePaint() {
  if (!FViewInfoCalculated) RefreshContainer();
}

void TcxContainer::HandleTrackedMouseLeave() {
  FireMouseLeave(this);
  StopHoverTracking(&FTrackingCaller);
}

void TcxContainer::FireMouseEnter(TControl* control) {
  TcxControl::FireMouseEnter(control);
  POINT p = HandleAllocated() ? ScreenToClient(ReadCursorPos()) : POINT{-1, -1};
  TrackMouseAt(p, 0, CurrentShiftState(), false);
}

void TcxContainer::FireMouseLeave(TControl* control) {
  TcxControl::FireMouseLeave(control);
  TrackMouseAt(POINT{-1, -1}, 0, {}, false);
  StopHoverTracking(&FTrackingCaller);
}

// ---------------------------------------------------------------------------
// Children and the inner control

void TcxContainer::ClipInnerControlArea(TWinControl* child, RECT& r, bool& whole) {
  const RECT bounds = child->BoundsRect();
  RECT inside;
  if (!IntersectRect(&inside, &bounds, &FViewInfo->ClientRect)) inside = RECT{0, 0, 0, 0};
  whole = Same(inside, bounds);
  r = inside;
  OffsetRect(&r, -bounds.left, -bounds.top);
}

void TcxContainer::AlignControls(TControl* AControl, RECT& Rect) {
  if (BypassesInnerControlHandling() || !FViewInfo) {
    TcxControl::AlignControls(AControl, Rect);
    return;
  }
  if (FAlignLockCount > 0) return;
  if (AControl && IsOwnScrollPart(AControl)) return;
  if (!AControl) TcxControl::AlignControls(AControl, Rect);
  auto clip = [&](TWinControl* child) {
    if (!child || !child->HandleAllocated() || IsOwnScrollPart(child)) return;
    RECT r;
    bool whole;
    ClipInnerControlArea(child, r, whole);
    if (child == FInnerControl && !FInnerClipEmpty && whole == Same(FInnerClip, RECT{-1, -1, -1, -1}) &&
        (whole || Same(r, FInnerClip)))
      return;
    SetChildClipRegion(child, whole, r);
    if (child == FInnerControl) {
      FInnerClipEmpty = false;
      FInnerClip = whole ? RECT{-1, -1, -1, -1} : r;
    }
  };
  if (AControl) {
    clip(ObjectAs<TWinControl>(AControl));
  } else {
    for (int i = 0; i < ControlCount(); ++i) clip(ObjectAs<TWinControl>(Controls(i)));
  }
}

void TcxContainer::AdjustClientRect(RECT& Rect) {
  if (!IsBeingDestroyed() && FViewInfo) Rect = FViewInfo->ClientRect;
}

void TcxContainer::FocusInnerControl() {
  if (FInnerControl && FInnerControl->CanFocus()) FInnerControl->SetFocus();
}

void TcxContainer::CallInnerWindowProc(TMessage& message) {
  if (FInnerWindowProc) {
    FInnerWindowProc(message);
  } else if (FInnerControl) {
    FInnerControl->WindowProc(message);
  }
}

void TcxContainer::Invalidate() {
  TcxControl::Invalidate();
  if (FInnerControl) FInnerControl->Invalidate();
}

void TcxContainer::Update() {
  TcxControl::Update();
  if (FInnerControl) FInnerControl->Update();
}

void TcxContainer::SetDragMode(TDragMode value) {
  TcxControl::SetDragMode(value);
  if (FInnerControl) FInnerControl->SetDragMode(value);
}

void TcxContainer::SetDragKind(TDragKind value) {
  TcxControl::SetDragKind(value);
  if (FInnerControl) FInnerControl->SetDragKind(value);
}

void TcxContainer::CursorChangedHook() {
  TcxControl::CursorChangedHook();
  if (FInnerControl) FInnerControl->SetCursor(Cursor());
}

// ---------------------------------------------------------------------------
// Own scroll bars of the inner control

bool TcxContainer::ReadInnerScrollInfo(TScrollBarKind kind, SCROLLBARINFO& info) {
  if (!FInnerControl || !FInnerControl->HandleAllocated()) return false;
  return QueryScrollBarInfo(FInnerControl->Handle(), kind == sbHorizontal ? OBJID_HSCROLL : OBJID_VSCROLL, info);
}

bool TcxContainer::ScrollBarIsVisible(const SCROLLBARINFO& info) {
  return (info.rgstate[0] & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_OFFSCREEN)) == 0;
}

bool TcxContainer::ScrollBarNeeded(const SCROLLBARINFO& info) {
  return Enabled() && (info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE) == 0;
}

RECT TcxContainer::ScrollBarRectInClient(const RECT& screen) {
  if (!HandleAllocated()) return RECT{0, 0, 0, 0};
  RECT r = TranslateWindowRect(nullptr, Handle(), screen);
  const RECT client = ClientRect();
  RECT inside;
  if (!IntersectRect(&inside, &r, &client) || !Same(inside, r)) return RECT{0, 0, 0, 0};
  return r;
}

void TcxContainer::ShowOwnScrollBar(TScrollBarKind kind, bool show) {
  TcxControlScrollBar* bar = kind == sbHorizontal ? HScrollBar() : VScrollBar();
  if (!bar) return;
  bar->SetVisible(show);
  if (show) {
    bar->SetCtl3D(false);
    bar->BringToFront();
  }
}

void TcxContainer::SyncOwnScrollBar(TScrollBarKind kind) {
  TcxControlScrollBar* bar = kind == sbHorizontal ? HScrollBar() : VScrollBar();
  if (!bar) return;
  SCROLLBARINFO info{};
  if (!ReadInnerScrollInfo(kind, info) || !ScrollBarIsVisible(info)) {
    ShowOwnScrollBar(kind, false);
    return;
  }
  bar->SetEnabled(ScrollBarNeeded(info));
  const RECT r = ScrollBarRectInClient(info.rcScrollBar);
  bar->SetBoundsRect(r);
  const bool shown = r.right > r.left && r.bottom > r.top;
  ShowOwnScrollBar(kind, shown);
  if (!shown) return;
  SCROLLINFO si{sizeof(SCROLLINFO), SIF_ALL, 0, 0, 0, 0, 0};
  if (GetScrollInfo(FInnerControl->Handle(), kind == sbHorizontal ? SB_HORZ : SB_VERT, &si)) {
    const int max = std::max(si.nMin, si.nMax);
    bar->SetScrollParams(si.nMin, max, std::max(si.nPos, si.nMin), std::min<int>(static_cast<int>(si.nPage), max));
  }
}

void TcxContainer::LayoutScrollBars() {
  if (!FInnerControl || !UsesOwnScrollBars() || IsBeingDestroyed() || !ScrollBarInfoAvailable()) return;
  if (FCalculatingScrollBars) return;
  FCalculatingScrollBars = true;
  try {
    SyncOwnScrollBar(sbHorizontal);
    SyncOwnScrollBar(sbVertical);
  } catch (...) {
    FCalculatingScrollBars = false;
    throw;
  }
  FCalculatingScrollBars = false;
  const bool both = HScrollBar() && VScrollBar() && HScrollBar()->Visible() && VScrollBar()->Visible();
  RECT grip{0, 0, 0, 0};
  if (both && FInnerControl->HandleAllocated()) {
    const RECT h = HScrollBar()->BoundsRect(), v = VScrollBar()->BoundsRect();
    grip = TranslateWindowRect(Handle(), FInnerControl->Handle(), RECT{v.left, h.top, v.right, h.bottom});
  }
  const bool changed = both != FSizeGripVisible || !Same(grip, FSizeGripRect);
  FSizeGripVisible = both;
  FSizeGripRect = grip;
  if (changed && both) {
    HRGN region = CreateRectRgnIndirect(&grip);
    SendMessageA(FInnerControl->Handle(), WM_NCPAINT, reinterpret_cast<WPARAM>(region), 0);
    DeleteObject(region);
  }
}

void TcxContainer::PostScrollBarsUpdate() {
  if (!IsBeingDestroyed() && HandleAllocated() && FInnerControl) PostMessageA(Handle(), CM_LAYOUTSCROLLBARS, 0, 0);
}

// ---------------------------------------------------------------------------
// Styles and the control's colour and font

void TcxContainer::HandleStyleChange(TcxContainerStyle*) {
  if (FCreating || IsBeingLoaded() || !FStyles) return;
  FActiveStyle = nullptr;  // the cache may hold a style whose answers changed
  RefreshContainer();
  ApplyStyleToControl();
  StyleChangedHook();
}

void TcxContainer::ApplyStyleToControl() {
  const bool was = FInternalSetting;
  FInternalSetting = true;
  try {
    if (!ParentColor() || Style()->IsValueAssigned(csvColor)) SetColor(Style()->ColorForControl());
    if (TFont* font = Style()->GetFont()) Font()->Assign(font);
    if (Style()->IsValueAssigned(csvFont)) SetParentFont(false);
  } catch (...) {
    FInternalSetting = was;
    throw;
  }
  FInternalSetting = was;
}

void TcxContainer::ColorSetFromOutside() {
  // The normal style keeps what the control was given.
  Style()->SetColor(Color());
}

void TcxContainer::FontSetFromOutside() {
  const bool assigned = Style()->GetAssignedValues().Contains(csvFont);
  Style()->SetFont(Font());
  if (!assigned) Style()->SetAssignedValues(Style()->GetAssignedValues() - csvFont);
}

void TcxContainer::ParentColorChanged() {
  const bool assigned = Style()->GetAssignedValues().Contains(csvColor);
  if (ParentColor() || !assigned) Style()->SetAssignedValues(Style()->GetAssignedValues() - csvColor);
  if (Style()->ColorForControl() != Color()) ApplyStyleToControl();
  if (RepaintsOnParentColor() && !ParentColor()) Invalidate();
}

void TcxContainer::ParentFontChanged() {
  const bool assigned = Style()->GetAssignedValues().Contains(csvFont);
  if (ParentFont() || !assigned) Style()->SetAssignedValues(Style()->GetAssignedValues() - csvFont);
}

void TcxContainer::Loaded() {
  TcxControl::Loaded();
  HandleStyleChange(Style());
}

void TcxContainer::ChangeScale(int M, int D) {
  const bool was = FInternalSetting;
  FInternalSetting = !ParentFont();
  try {
    TcxControl::ChangeScale(M, D);
  } catch (...) {
    FInternalSetting = was;
    throw;
  }
  FInternalSetting = was;
  if (M == D || !FStyles || !Style()->IsValueAssigned(csvFont)) return;
  TFont* font = Style()->GetFont();
  if (Style()->GetAssignedValues().Contains(csvFont)) {
    if (font) font->SetSize(MulDiv(font->Size(), M, D));
  } else if (IsBeingLoaded()) {
    if (TcxStyleController* controller = Style()->ActiveStyleController()) controller->ScaleFont(M, D);
  }
}

// ---------------------------------------------------------------------------
// Keyboard, focus and mouse

bool TcxContainer::Focused() {
  if (IsDesigning() || FControlState.Contains(csDestroyingHandle)) return false;
  if (TcxControl::Focused()) return true;
  return FInnerControl && FInnerControl->Focused();
}

void TcxContainer::SetFocus() {
  if (IsDesigning() || Focused()) return;
  TcxControl::SetFocus();
  if (HandleAllocated() && GetFocus() == Handle() && FInnerControl && FInnerControl->CanFocus())
    if (TCustomForm* form = ParentForm()) form->FocusControl(FInnerControl);
}

bool TcxContainer::MayFocus() { return !(FInnerControl && FInnerControl->Focused()); }

bool TcxContainer::FocusOnClickAllowed() {
  return TcxControl::FocusOnClickAllowed() && !(FInnerControl && FInnerControl->Focused()) &&
         !FMouseWentDownOnInnerControl;
}

void TcxContainer::FocusChanged() {
  TWeakLink<TControl> self(this);
  TcxControl::FocusChanged();
  if (self.Get()) RefreshContainer();
}

void TcxContainer::KeyDown(WORD& Key, TShiftState Shift) {
  TWeakLink<TControl> self(this);
  TcxControl::KeyDown(Key, Shift);
  if (!self.Get()) return;
  if (Key != VK_TAB || Shift.Contains(ssCtrl) || Shift.Contains(ssAlt) || !Focused() || !HandlesTabNavigation())
    return;
  Key = 0;
  if (TCustomForm* form = ParentForm()) form->SelectNext(this, !Shift.Contains(ssShift), true);
  if (self.Get() && Focused() && FInnerControl && FInnerControl->CanFocus()) FocusInnerControl();
}

bool TcxContainer::HandleOwnKey(TMessage& message) {
  TMessage copy = message;
  TcxControl::Dispatch(copy);
  return copy.Result != 0;
}

bool TcxContainer::ForwardKeyToInner(TMessage& message) {
  if (message.Msg != CN_KEYDOWN && message.Msg != CN_SYSKEYDOWN) return false;
  if (!HandleOwnKey(message)) return false;
  message.Result = 1;
  return true;
}

bool TcxContainer::InnerControlMessage(TMessage& message) {
  switch (message.Msg) {
    case WM_CONTEXTMENU:
      return Perform(WM_CONTEXTMENU, message.WParam, message.LParam) != 0;
    case CM_OPAQUEINNERPAINT:
      if (FBufferedPaintPending && FInnerControl && FInnerControl->HandleAllocated()) {
        FBufferedPaintPending = false;
        RepaintClientOpaque(FInnerControl->Handle());
      }
      return true;
    case CN_CTLCOLOREDIT:
      if (FOnGlass && DesktopCompositionActive() && FInnerControl && FInnerControl->HandleAllocated()) {
        FBufferedPaintPending = true;
        PostMessageA(FInnerControl->Handle(), CM_OPAQUEINNERPAINT, 0, 0);
      }
      return false;
    default:
      return false;
  }
}

void TcxContainer::DoContextPopup(POINT MousePos, bool& Handled) {
  const bool keyboard = MousePos.x == -1 && MousePos.y == -1;
  if (FPopupMenuLockCount > 0 || (!keyboard && !AllowsContextPopupAt(MousePos))) {
    Handled = true;
    return;
  }
  TcxControl::DoContextPopup(MousePos, Handled);
}

void TcxContainer::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TcxControl::MouseDown(Button, Shift, X, Y);
  if (self.Get()) TrackMouseAt(POINT{X, Y}, static_cast<int>(Button) + 1, Shift, false);
}

void TcxContainer::MouseMove(TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TcxControl::MouseMove(Shift, X, Y);
  if (self.Get()) TrackMouseAt(POINT{X, Y}, 0, Shift, false);
}

void TcxContainer::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TcxControl::MouseUp(Button, Shift, X, Y);
  if (self.Get()) TrackMouseAt(POINT{X, Y}, static_cast<int>(Button) + 1, Shift, false);
}

void TcxContainer::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETFOCUS:
      if (!Visible()) return;
      break;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case CN_KEYDOWN:
    case CN_KEYUP:
    case CN_CHAR:
      if (FInnerControl && FInnerControl->HandleAllocated()) {
        Message.Result = FInnerControl->Perform(Message.Msg, Message.WParam, Message.LParam);
        return;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (DragMode() == dmAutomatic && !IsDesigning()) {
        BeginDrag(false);
        return;
      }
      break;
    default:
      break;
  }
  TcxControl::WndProc(Message);
}

void TcxContainer::Resize() {
  TcxControl::Resize();
  if (FStyles) RefreshContainer();
}

// ---------------------------------------------------------------------------
// Window and painting

void TcxContainer::CreateParams(TCreateParams& Params) {
  TcxControl::CreateParams(Params);
  Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW | CS_VREDRAW);
}

void TcxContainer::CreateWnd() {
  TcxControl::CreateWnd();
  if (HandleAllocated()) PostMessageA(Handle(), CM_REFRESHHOTSTATE, 0, 0);
}

void TcxContainer::Paint() {
  HDC dc = cxCanvas()->GetDeviceContext();
  const RECT bounds{0, 0, Width(), Height()};
  if (!RectVisible(dc, &bounds)) return;
  RefreshStateBeforePaint();
  cxCanvas()->PushClipRegion();
  try {
    if (NeedsOwnBorderPainting()) ClipToWindowShape(cxCanvas());
    FViewInfo->PaintOn(cxCanvas());
  } catch (...) {
    cxCanvas()->PopClipRegion();
    throw;
  }
  cxCanvas()->PopClipRegion();
}

void TcxContainer::Dispatch(TMessage& Message) {
  if (!FStyles) {
    TcxControl::Dispatch(Message);
    return;
  }
  TWeakLink<TControl> self(this);
  switch (Message.Msg) {
    case WM_NCPAINT:
      Message.Result = 0;
      return;
    case WM_SETFOCUS: {
      const auto from = reinterpret_cast<HWND>(Message.WParam);
      if (FInnerControl && FInnerControl->HandleAllocated() && from == FInnerControl->Handle()) return;
      TcxControl::Dispatch(Message);
      if (self.Get() && FInnerControl && FInnerControl->CanFocus() && FInnerControl->HandleAllocated())
        ::SetFocus(FInnerControl->Handle());
      return;
    }
    case WM_KILLFOCUS: {
      const auto to = reinterpret_cast<HWND>(Message.WParam);
      if (FInnerControl && FInnerControl->HandleAllocated() && to == FInnerControl->Handle()) return;
      break;
    }
    case WM_WINDOWPOSCHANGING:
      if (IsBeingDestroyed()) return;
      TcxControl::Dispatch(Message);
      if (self.Get() && HandleAllocated() && GetFocus() == Handle() && FInnerControl && FInnerControl->CanFocus())
        if (TCustomForm* form = ParentForm()) form->FocusControl(FInnerControl);
      return;
    case WM_WINDOWPOSCHANGED:
      TcxControl::Dispatch(Message);
      if (self.Get() && RepaintsOnParentColor()) RefreshContainer();
      return;
    case WM_SETCURSOR:
      if (FInnerControl && reinterpret_cast<HWND>(Message.WParam) == Handle() && LOWORD(Message.LParam) == HTCLIENT) {
        const POINT p = ScreenToClient(ReadCursorPos());
        if (!PtInRect(&FViewInfo->ClientRect, p)) {
          ::SetCursor(LoadCursorA(nullptr, MAKEINTRESOURCEA(32512)));
          Message.Result = 1;
          return;
        }
      }
      break;
    case CM_REFRESHHOTSTATE:
      RefreshContainer();
      return;
    case CM_LAYOUTSCROLLBARS:
      LayoutScrollBars();
      return;
    case CM_COLORCHANGED:
      if (!FInternalSetting && !FCreating) {
        TcxControl::Dispatch(Message);
        if (self.Get()) ColorSetFromOutside();
        return;
      }
      TcxControl::Dispatch(Message);
      if (self.Get()) RefreshContainer();
      return;
    case CM_FONTCHANGED:
      if (!FInternalSetting && !FCreating) {
        TcxControl::Dispatch(Message);
        if (self.Get()) FontSetFromOutside();
        return;
      }
      TcxControl::Dispatch(Message);
      if (!self.Get()) return;
      AlignInnerControl();
      LayoutScrollBars();
      RefreshContainer();
      return;
    case CM_PARENTCOLORCHANGED: {
      const bool was = FInternalSetting;
      FInternalSetting = true;
      TcxControl::Dispatch(Message);
      if (!self.Get()) return;
      FInternalSetting = was;
      ParentColorChanged();
      return;
    }
    case CM_PARENTFONTCHANGED: {
      const bool was = FInternalSetting;
      FInternalSetting = !ParentFont() ? was : false;
      TcxControl::Dispatch(Message);
      if (!self.Get()) return;
      FInternalSetting = was;
      ParentFontChanged();
      return;
    }
    case CM_ENABLEDCHANGED:
      for (TcxControlScrollBar* bar : {HScrollBar(), VScrollBar()})
        if (bar) bar->SetEnabled(Enabled());
      TcxControl::Dispatch(Message);
      if (self.Get()) RefreshContainer();
      return;
    case CM_CTL3DCHANGED:
    case CM_SYSCOLORCHANGE:
      TcxControl::Dispatch(Message);
      if (self.Get()) RefreshContainer();
      return;
    default:
      break;
  }
  TcxControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// The form table.

namespace {

const TPublishedRegistration containerRegistration(&TcxContainer::ClassInfo, {
    Property<&TcxContainer::FakeStyleController, &TcxContainer::SetFakeStyleController>("FakeStyleController")
        .Stored(false),
});

}  // namespace
