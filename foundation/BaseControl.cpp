#include "foundation/BaseControl.h"

#include "platform/CallbackGuard.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"
#include "platform/Mouse.h"
#include "platform/Properties.h"
#include "platform/Screen.h"

#include <algorithm>
#include <cstdlib>

namespace {

// A nested recalculation deeper than this counts as settled: visibility
// that keeps changing through three or more states would otherwise recurse
// without end.
constexpr int MaxScrollBarNesting = 4;
// Runs of InitScrollBarsHook per recalculation: a hook whose answer flips
// with the pending visibility would otherwise never settle.
constexpr int MaxHookRuns = 8;
constexpr UINT_PTR PanTimerId = 0x7A11;
constexpr UINT PanTimerInterval = 20;  // ms

}  // namespace

// ---------------------------------------------------------------------------
// TcxControlScrollBar

const TClassInfo TcxControlScrollBar::ClassInfo{"TcxControlScrollBar", &TcxScrollBar::ClassInfo,
                                                [](TObject* owner) -> TObject* {
                                                  return new TcxControlScrollBar(static_cast<TComponent*>(owner));
                                                }};

TcxControlScrollBar::TcxControlScrollBar(TComponent* AOwner) : TcxScrollBar(AOwner) {
  SetColor(clBtnFace);
  FControlStyle.Exclude(csFramed);
  FControlStyle.Include(csNoDesignVisible);
  SetTabStop(false);
  SetVisible(false);
}

TcxControlScrollBar::~TcxControlScrollBar() { ClearObjectLinks(this); }

void TcxControlScrollBar::ApplyPendingParams() {
  if (Data.Visible) {
    SetScrollParams(Data.Min, Data.Max, Data.Position, Data.PageSize, true);
    SetSmallChange(Data.SmallChange);
    SetLargeChange(Data.LargeChange);
  }
  SetEnabled(Data.Enabled);
  if (Visible() != Data.Visible) SetVisible(Data.Visible);
}

void TcxControlScrollBar::FocusOwnerOnClick() {
  TWinControl* parent = Parent();
  if (!parent) return;
  if (auto* control = ObjectAs<TcxControl>(parent)) {
    if (control->FocusOnScrollBarClick(this)) control->SetFocus();
  } else if (parent->CanFocus()) {
    parent->SetFocus();
  }
}

void TcxControlScrollBar::WndProc(TMessage& Message) {
  TWeakLink<TControl> self(this);
  if (Message.Msg == WM_LBUTTONDOWN) FocusOwnerOnClick();
  if (self.Get()) TcxScrollBar::WndProc(Message);
}

void TcxControlScrollBar::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DESIGNHITTEST) {
    Message.Result = 1;  // the bar works while the form is designed
    return;
  }
  TcxScrollBar::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TcxSizeGrip

const TClassInfo TcxSizeGrip::ClassInfo{"TcxSizeGrip", &TCustomControl::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TcxSizeGrip(static_cast<TComponent*>(owner));
                                        }};

TcxSizeGrip::TcxSizeGrip(TComponent* AOwner) : TCustomControl(AOwner) {
  SetColor(clBtnFace);
  FControlStyle.Include(csNoDesignVisible);
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnSettingsChanged = TcxLookAndFeelChangedEvent::Bind<&TcxSizeGrip::LookAndFeelChanged>(this);
}

TcxSizeGrip::~TcxSizeGrip() = default;

void TcxSizeGrip::Paint() {
  TcxCanvas canvas(Canvas());
  canvas.FillWithColor(ClientRect(), FLookAndFeel->ActivePainter()->SizeGripFillColor());
}

void TcxSizeGrip::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return;
  }
  TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// TcxDragControlObject

const TClassInfo TcxDragControlObject::ClassInfo{"TcxDragControlObject", &TDragControlObject::ClassInfo,
                                                 [](TObject* owner) -> TObject* {
                                                   return new TcxDragControlObject(static_cast<TControl*>(owner));
                                                 }};

TCursor TcxDragControlObject::GetDragCursor(bool Accepted, int X, int Y) {
  if (Accepted)
    if (auto* control = ObjectAs<TcxControl>(Control()); control && control->IsCopyDrag()) return crcxDragCopy;
  return TDragControlObject::GetDragCursor(Accepted, X, Y);
}

void TcxDragControlObject::Finished(TObject* Target, int X, int Y, bool Accepted) {
  TDragControlObject::Finished(Target, X, Y, Accepted);
  delete this;  // the drag manager frees only the objects it made
}

// ---------------------------------------------------------------------------
// TcxControl: life

const TClassInfo TcxControl::ClassInfo{"TcxControl", &TCustomControl::ClassInfo, [](TObject* owner) -> TObject* {
                                         return new TcxControl(static_cast<TComponent*>(owner));
                                       }};

TcxControl::TcxControl(TComponent* AOwner) : TcxUncountedInterfaces(AOwner) {
  FcxCanvas = std::make_unique<TcxCanvas>(Canvas());
  FDefaultCursor = Cursor();
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnSettingsChanged = TcxLookAndFeelChangedEvent::Bind<&TcxControl::LookAndFeelChanged>(this);
  SetParentBackground(true);
}

void TcxControl::AfterConstruction() {
  TcxUncountedInterfaces::AfterConstruction();
  // Here rather than in the constructor, so that a descendant's answers count.
  CreateScrollBars();
  SetTabStop(MayFocus());
}

void TcxControl::BeforeDestruction() { TcxUncountedInterfaces::BeforeDestruction(); }

TcxControl::~TcxControl() {
  if (Dragging()) EndDrag(false);
  if (TDragObject* stale = FOwnDragObject.Get(); stale && stale != CurrentDragObject()) delete stale;
  DestroyScrollBars();
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FcxCanvas.reset();
  FLookAndFeel.reset();
  ClearObjectLinks(this);
}

void TcxControl::CreateParams(TCreateParams& Params) {
  TcxUncountedInterfaces::CreateParams(Params);
  Params.Style |= WS_CLIPCHILDREN;
}

void TcxControl::CreateWnd() {
  TcxUncountedInterfaces::CreateWnd();
  RefreshScrollBars();
  AttachScrollBars();
}

void TcxControl::DestroyWnd() {
  TcxUncountedInterfaces::DestroyWnd();
  FControlState.Exclude(csClicked);
}

void TcxControl::Resize() {
  TcxUncountedInterfaces::Resize();
  BoundsChanged();
}

void TcxControl::Notification(TComponent* component, TOperation operation) {
  TcxUncountedInterfaces::Notification(component, operation);
  if (operation == opRemove && component == FPopupMenu) FPopupMenu = nullptr;
}

void TcxControl::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  // The painter's frame may be of another thickness now.
  if (FBorderStyle != cxcbsNone) BoundsChanged();
  Invalidate();
}

void TcxControl::SetControlBorderStyle(TcxControlBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  BoundsChanged();
  Invalidate();
}

void TcxControl::SetScrollBars(TScrollStyle value) {
  if (FScrollBars == value) return;
  FScrollBars = value;
  BoundsChanged();
}

// ---------------------------------------------------------------------------
// Own scroll bars

void TcxControl::CreateScrollBars() {
  if (!UsesOwnScrollBars() || FHScrollBar) return;
  FHScrollBar = New<TcxControlScrollBar>(nullptr);
  FHScrollBar->SetKind(sbHorizontal);
  FVScrollBar = New<TcxControlScrollBar>(nullptr);
  FVScrollBar->SetKind(sbVertical);
  for (TcxControlScrollBar* bar : {FHScrollBar, FVScrollBar}) {
    bar->OnScroll = TScrollEvent::Bind<&TcxControl::ScrollBarScroll>(this);
    bar->LookAndFeel()->AttachToMaster(FLookAndFeel.get());
  }
  FSizeGrip = New<TcxSizeGrip>(nullptr);
  FSizeGrip->SetVisible(false);
  FSizeGrip->LookAndFeel()->AttachToMaster(FLookAndFeel.get());
  if (TcxSettingsController* controller = cxSettingsController()) controller->AddControl(this);
}

void TcxControl::DestroyScrollBars() {
  if (!FHScrollBar) return;
  if (TcxSettingsController* controller = cxSettingsController()) controller->RemoveControl(this);
  Free(FSizeGrip);
  FSizeGrip = nullptr;
  Free(FVScrollBar);
  FVScrollBar = nullptr;
  Free(FHScrollBar);
  FHScrollBar = nullptr;
}

void TcxControl::RefreshScrollBars() {
  if (UsesOwnScrollBars()) {
    CreateScrollBars();
    if (HandleAllocated()) AttachScrollBars();
  } else {
    DestroyScrollBars();
  }
}

void TcxControl::AttachScrollBars() {
  if (!FHScrollBar) return;
  FHScrollBar->SetParent(this);
  FVScrollBar->SetParent(this);
  FSizeGrip->SetParent(this);
}

bool TcxControl::IsOwnScrollPart(TControl* control) const {
  return control && (control == FHScrollBar || control == FVScrollBar || control == FSizeGrip);
}

void TcxControl::ScrollBarScroll(TObject* sender, TScrollCode code, int& position) {
  ScrollContent(sender == FHScrollBar ? sbHorizontal : sbVertical, code, position);
}

void TcxControl::StoreScrollBarParams(TScrollBarKind kind, int min, int max, int smallChange, int pageSize,
                                      int position, bool allowShow, bool allowHide) {
  TcxControlScrollBar* bar = kind == sbHorizontal ? FHScrollBar : FVScrollBar;
  if (!bar) return;
  TcxControlScrollBar::TPendingParams& d = bar->Data;
  const TScrollStyle own = kind == sbHorizontal ? ssHorizontal : ssVertical;
  d.AllowShow = allowShow && (FScrollBars == own || FScrollBars == ssBoth);
  d.AllowHide = allowHide;
  if (!d.AllowShow) {
    d.Visible = false;
  } else if (min > max || static_cast<int64_t>(pageSize) >= static_cast<int64_t>(max) - min + 1 || min > position) {
    // Everything fits: hidden, or kept in view but disabled.
    if (allowHide) {
      d.Visible = false;
    } else {
      d.Enabled = false;
      d.Visible = true;
    }
  } else {
    d.Min = min;
    d.Max = max;
    d.Position = position;
    d.PageSize = pageSize;
    d.SmallChange = static_cast<int16_t>(std::max(1, std::min(smallChange, 32767)));
    d.LargeChange = static_cast<int16_t>(std::max(1, std::min(pageSize, 32767)));
    d.Enabled = true;
    d.Visible = true;
  }
}

bool TcxControl::IsHorzScrollBarShown() const {
  if (!FHScrollBar) return false;
  return FCalculatingScrollBarParams ? FHScrollBar->Data.Visible : FHScrollBar->Visible();
}

bool TcxControl::IsVertScrollBarShown() const {
  if (!FVScrollBar) return false;
  return FCalculatingScrollBarParams ? FVScrollBar->Data.Visible : FVScrollBar->Visible();
}

RECT TcxControl::GetBoundsForClient() {
  if (HandleAllocated()) return ClientRect();
  return RECT{0, 0, Width(), Height()};
}

int TcxControl::PainterFrameThickness() {
  return FBorderStyle == cxcbsNone ? 0 : GetPainterClass()->FrameThickness();
}

TcxLookAndFeelPainterClass TcxControl::GetPainterClass() { return GetLookAndFeelObject()->ActivePainter(); }

RECT TcxControl::GetContentRect() {
  RECT r = GetBoundsForClient();
  const int frame = PainterFrameThickness();
  InflateRect(&r, -frame, -frame);
  if (IsHorzScrollBarShown()) r.bottom -= FHScrollBar->Height();
  if (IsVertScrollBarShown()) r.right -= FVScrollBar->Width();
  return r;
}

RECT TcxControl::GetHScrollBarRect() {
  const RECT content = GetContentRect();
  const int height = FHScrollBar ? FHScrollBar->Height() : 0;
  return RECT{content.left, content.bottom, content.right, content.bottom + height};
}

RECT TcxControl::GetVScrollBarRect() {
  const RECT content = GetContentRect();
  const int width = FVScrollBar ? FVScrollBar->Width() : 0;
  return RECT{content.right, content.top, content.right + width, content.bottom};
}

RECT TcxControl::GetSizeGripRect() {
  const RECT h = GetHScrollBarRect(), v = GetVScrollBarRect();
  return RECT{v.left, h.top, v.right, h.bottom};
}

void TcxControl::PlaceScrollBars() {
  if (!FHScrollBar) return;
  if (FHScrollBar->Visible()) FHScrollBar->SetBoundsRect(GetHScrollBarRect());
  if (FVScrollBar->Visible()) FVScrollBar->SetBoundsRect(GetVScrollBarRect());
  if (FSizeGrip->Visible()) FSizeGrip->SetBoundsRect(GetSizeGripRect());
}

void TcxControl::RefreshScrollBarStates() {
  if (!UsesOwnScrollBars() || !FHScrollBar) return;
  // The parts paint a copy while the control does.
  const bool copy = FControlState.Contains(csPaintCopy);
  for (TControl* part : {static_cast<TControl*>(FHScrollBar), static_cast<TControl*>(FVScrollBar),
                         static_cast<TControl*>(FSizeGrip)}) {
    if (!part->Visible()) continue;
    TControlState state = part->ControlState();
    if (copy) state.Include(csPaintCopy);
    else state.Exclude(csPaintCopy);
    part->SetControlState(state);
  }
}

void TcxControl::RaiseScrollBars() {
  if (!FHScrollBar) return;
  FHScrollBar->BringToFront();
  FVScrollBar->BringToFront();
  FSizeGrip->BringToFront();
}

void TcxControl::UnlockScrollBarsUpdate() {
  if (FScrollBarsLockCount == 0) return;
  if (--FScrollBarsLockCount == 0 && FScrollBarsUpdatePending) {
    FScrollBarsUpdatePending = false;
    RecalcScrollBars();
  }
}

void TcxControl::ComputeScrollBarParams() {
  if (FCalculatingScrollBarParams) return;
  FCalculatingScrollBarParams = true;
  try {
    FHScrollBar->Data.Visible = false;
    FVScrollBar->Data.Visible = false;
    for (int run = 0; run < MaxHookRuns; ++run) {
      const bool h = FHScrollBar->Data.Visible, v = FVScrollBar->Data.Visible;
      InitScrollBarsHook();
      if (h == FHScrollBar->Data.Visible && v == FVScrollBar->Data.Visible) break;
    }
  } catch (...) {
    FCalculatingScrollBarParams = false;
    throw;
  }
  FCalculatingScrollBarParams = false;
}

void TcxControl::RecalcScrollBars() {
  if (!UsesOwnScrollBars() || !FHScrollBar) return;
  if (FScrollBarsLockCount > 0) {
    FScrollBarsUpdatePending = true;
    return;
  }
  static thread_local int nesting = 0;
  const bool outermost = !FUpdatingScrollBars;
  if (outermost) {
    FInitialHScrollBarVisible = FHScrollBar->Visible();
    FInitialVScrollBarVisible = FVScrollBar->Visible();
  }
  const bool wasUpdating = FUpdatingScrollBars;
  FUpdatingScrollBars = true;
  ++nesting;
  TWeakLink<TControl> self(this);
  auto restore = [&] {
    --nesting;
    if (!self.Get()) return;
    FUpdatingScrollBars = wasUpdating;
    if (outermost) FInitialParamsReached = false;
  };
  try {
    const bool wasH = FHScrollBar->Visible(), wasV = FVScrollBar->Visible();
    if (!FInitialParamsReached) {
      ComputeScrollBarParams();
      FInitialParamsReached =
          !outermost && ((FHScrollBar->Data.Visible == FInitialHScrollBarVisible &&
                          FVScrollBar->Data.Visible == FInitialVScrollBarVisible) ||
                         nesting > MaxScrollBarNesting);
      if (FInitialParamsReached) {
        // The layout would flip the bars back and forth: whichever bar
        // changed stays in view, disabled.
        const bool initial[2] = {FInitialHScrollBarVisible, FInitialVScrollBarVisible};
        TcxControlScrollBar* bars[2] = {FHScrollBar, FVScrollBar};
        for (int i = 0; i < 2; ++i)
          if (bars[i]->Visible() != initial[i]) {
            bars[i]->SetEnabled(false);
            bars[i]->SetVisible(true);
          }
      } else {
        FHScrollBar->ApplyPendingParams();
        FVScrollBar->ApplyPendingParams();
      }
    }
    if (FHScrollBar->Visible() != wasH || FVScrollBar->Visible() != wasV) {
      BoundsChanged();
    } else {
      FSizeGrip->SetVisible(FHScrollBar->Visible() && FVScrollBar->Visible());
      PlaceScrollBars();
      if (KeepScrollBarsOnTop()) RaiseScrollBars();
    }
  } catch (...) {
    restore();
    throw;
  }
  restore();
}

void TcxControl::ScrollBarMetricsChanged() {
  if (!UsesOwnScrollBars() || !FHScrollBar) return;
  const int cy = GetSystemMetrics(SM_CYHSCROLL), cx = GetSystemMetrics(SM_CXVSCROLL);
  if (FHScrollBar->Height() == cy && FVScrollBar->Width() == cx) return;
  FHScrollBar->SetHeight(cy);
  FVScrollBar->SetWidth(cx);
  BoundsChanged();
}

// ---------------------------------------------------------------------------
// Scrolling

using enum TcxScrollDirection;

void TcxControl::ScrollByDirection(TcxScrollDirection direction) {
  if (direction == sdNone) return;
  const bool own = UsesOwnScrollBars();
  if (!own && !ScrollsWithoutOwnBars(direction)) return;
  const TScrollBarKind kind = direction == sdLeft || direction == sdRight ? sbHorizontal : sbVertical;
  const TScrollCode code = direction == sdLeft || direction == sdUp ? scLineUp : scLineDown;
  TcxControlScrollBar* bar = kind == sbHorizontal ? FHScrollBar : FVScrollBar;
  int position = own && bar ? bar->Position() : 0;
  TWeakLink<TControl> self(this);
  ScrollContent(kind, code, position);
  if (self.Get()) Update();
}

int TcxControl::WheelScrollKind() { return IsVertScrollBarShown() ? 2 : 0; }

bool TcxControl::DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos) {
  TWeakLink<TControl> self(this);
  if (TcxUncountedInterfaces::DoMouseWheel(Shift, WheelDelta, MousePos)) return true;
  if (!self.Get() || WheelScrollKind() == 0) return false;
  const int lines = Mouse->WheelScrollLines();
  for (int i = 0; i < lines && self.Get(); ++i) ScrollByDirection(WheelDelta > 0 ? sdUp : sdDown);
  return true;
}

// Middle-button panning: an indicator at the cursor, a 20 ms timer and the
// mouse captured, in a message loop of its own until a click, the release
// of a dragging middle button, Escape or the loss of the capture.
void TcxControl::Pan() {
  const bool h = IsHorzScrollBarShown(), v = IsVertScrollBarShown();
  if ((!h && !v) || !HandleAllocated() || FPanning) return;
  HINSTANCE instance = GetModuleHandleA(nullptr);
  const char* bitmapName = h && v ? "CX_FULLSCROLLBITMAP" : h ? "CX_HORSCROLLBITMAP" : "CX_VERSCROLLBITMAP";
  const TCursor neutral = h && v ? crcxFullScroll : h ? crcxHorScroll : crcxVerScroll;
  HBITMAP loaded = LoadBitmapA(instance, bitmapName);
  if (!loaded) return;
  TGdiObject bitmap(loaded);
  BITMAP info{};
  GetObjectA(loaded, sizeof info, &info);
  const int bw = info.bmWidth, bh = info.bmHeight;
  const POINT start = QueryCursorPos();
  HWND indicator = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, start.x - bw / 2,
                                   start.y - bh / 2, bw, bh, Handle(), nullptr, instance, nullptr);
  if (!indicator) return;
  HandleCreated(hkWindow);
  SetWindowRgn(indicator, CreateEllipticRgn(0, 0, bw + 1, bh + 1), FALSE);  // the window owns the region
  ShowWindow(indicator, SW_SHOWNA);
  if (HDC dc = GetDC(indicator)) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, loaded);
    BitBlt(dc, 0, 0, bw, bh, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    HRGN outline = CreateEllipticRgn(0, 0, bw + 1, bh + 1);
    FrameRgn(dc, outline, GetSysColorBrush(COLOR_WINDOWTEXT), 1, 1);
    DeleteObject(outline);
    ReleaseDC(indicator, dc);
  }
  ValidateRect(indicator, nullptr);
  HWND wnd = Handle();
  SetTimer(wnd, PanTimerId, PanTimerInterval, nullptr);
  SetCapture(wnd);
  ::SetCursor(Screen->Cursors(neutral));
  FPanning = true;

  TWeakLink<TControl> self(this);
  struct TCleanUp {
    HWND Wnd, Indicator;
    TWeakLink<TControl>& Self;
    bool& Panning;
    ~TCleanUp() {
      if (GetCapture() == Wnd) ReleaseCapture();
      KillTimer(Wnd, PanTimerId);
      DestroyWindow(Indicator);
      HandleDeleted(hkWindow);
      if (Self.Get()) Panning = false;
    }
  } cleanUp{wnd, indicator, self, FPanning};

  TcxScrollDirection direction = sdNone;
  int speed = 1;
  int counter = 0;
  bool moved = false;
  POINT last = start;
  bool done = false;
  while (!done && self.Get() && GetCapture() == wnd) {
    MSG msg;
    const BOOL got = GetMessageA(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    if (got < 0) break;
    bool dispatch = true;
    switch (msg.message) {
      case WM_PAINT:
        if (msg.hwnd == indicator) {
          ValidateRect(indicator, nullptr);
          dispatch = false;
        }
        break;
      case WM_KEYDOWN:
      case WM_KEYUP:
        done = msg.wParam == VK_ESCAPE;
        break;
      case WM_TIMER:
        if (msg.hwnd == wnd && msg.wParam == PanTimerId) {
          dispatch = false;
          ++counter;
          if (direction != sdNone && counter % (13 - speed) == 0) ScrollByDirection(direction);
        }
        break;
      case WM_MOUSEMOVE: {
        POINT p = MessagePoint(msg.lParam);
        ::ClientToScreen(msg.hwnd, &p);
        if (p.x == last.x && p.y == last.y) break;
        last = p;
        const int dx = p.x - start.x, dy = p.y - start.y;
        if (std::abs(dx) <= bw / 2 && std::abs(dy) <= bh / 2) {
          direction = sdNone;
          speed = 1;
        } else {
          moved = true;
          int distance;
          if (v && (!h || std::abs(dy) >= std::abs(dx))) {
            direction = dy < 0 ? sdUp : sdDown;
            distance = std::abs(dy);
          } else {
            direction = dx < 0 ? sdLeft : sdRight;
            distance = std::abs(dx);
          }
          speed = std::max(1, std::min(12, (distance - bw / 2) / 5 + 1));
        }
        TCursor cursor = neutral;
        switch (direction) {
          case sdLeft: cursor = crcxLeftScroll; break;
          case sdRight: cursor = crcxRightScroll; break;
          case sdUp: cursor = crcxUpScroll; break;
          case sdDown: cursor = crcxDownScroll; break;
          default: break;
        }
        ::SetCursor(Screen->Cursors(cursor));
        break;
      }
      case WM_LBUTTONDOWN:
      case WM_LBUTTONUP:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDOWN:
      case WM_RBUTTONUP:
      case WM_RBUTTONDBLCLK:
      case WM_NCLBUTTONDOWN:
      case WM_NCLBUTTONDBLCLK:
      case WM_NCRBUTTONDOWN:
      case WM_NCRBUTTONDBLCLK:
      case WM_MBUTTONDOWN:
      case WM_MBUTTONDBLCLK:
      case WM_MOUSEWHEEL:
        dispatch = false;
        done = true;
        break;
      case WM_MBUTTONUP:
        // A click leaves panning running; the end of a drag stops it.
        done = moved;
        break;
      default:
        break;
    }
    if (dispatch) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

// ---------------------------------------------------------------------------
// Focus, mouse and keys

bool TcxControl::FocusOnClickAllowed() { return !IsDesigning() && FFocusOnClick && MayFocus() && CanFocus(); }
bool TcxControl::FocusOnMouseDown(int, int) { return FocusOnClickAllowed(); }
bool TcxControl::FocusOnScrollBarClick(TcxControlScrollBar*) { return FocusOnClickAllowed(); }

bool TcxControl::CanFocusNow() {
  if (!CanFocus()) return false;
  TCustomForm* form = ParentForm();
  return !form || (form->CanFocus() && form->Enabled() && form->Visible());
}

TCursor TcxControl::GetCurrentCursor(int, int) { return FDefaultCursor; }

bool TcxControl::StartDragAt(int x, int y) {
  return DragMode() == dmManual || IsPointInDragDetectArea(FMouseDownPos, x, y);
}

void TcxControl::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FMouseDownPos = POINT{X, Y};
  TWeakLink<TControl> self(this);
  if (FocusOnMouseDown(X, Y) && !Shift.Contains(ssDouble)) {
    const RECT old = BoundsRect();
    SetFocus();
    if (!self.Get()) return;
    TCustomForm* form = ParentForm();
    if (form && form->ActiveControl() == this && !Focused() && HandleAllocated()) ::SetFocus(Handle());
    if (!Focused() && !AcceptsMouseDownUnfocused()) {
      if (HandleAllocated() && GetCapture() == Handle()) ReleaseCapture();
      return;
    }
    // Taking the focus may have moved the control.
    X += old.left - Left();
    Y += old.top - Top();
  }
  if (!self.Get()) return;
  TcxUncountedInterfaces::MouseDown(Button, Shift, X, Y);
  if (self.Get() && HandleAllocated() && GetCapture() == Handle()) FMouseButtonPressed = true;
}

void TcxControl::MouseMove(TShiftState Shift, int X, int Y) {
  const TCursor defaultCursor = FDefaultCursor;
  SetCursor(GetCurrentCursor(X, Y));
  FDefaultCursor = defaultCursor;
  TcxUncountedInterfaces::MouseMove(Shift, X, Y);
}

void TcxControl::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  FMouseButtonPressed = false;
  TcxUncountedInterfaces::MouseUp(Button, Shift, X, Y);
}

void TcxControl::FireMouseEnter(TControl* control) {
  (void)control;
  FireEvent(OnMouseEnter, this);
}

void TcxControl::FireMouseLeave(TControl* control) {
  (void)control;
  FireEvent(OnMouseLeave, this);
}

void TcxControl::InvalidateArea(const RECT& r, bool erase) {
  if (HandleAllocated()) InvalidateRect(Handle(), &r, erase);
}

// ---------------------------------------------------------------------------
// Popup menu

void TcxControl::SetPopupMenu(TComponent* value) {
  if (value && !ObjectAs<TPopupMenu>(value) && !dynamic_cast<IcxShowablePopupMenu*>(value)) value = nullptr;
  if (value == FPopupMenu) return;
  if (FPopupMenu) FPopupMenu->RemoveFreeNotification(this);
  FPopupMenu = value;
  if (value) value->FreeNotification(this);
}

TPopupMenu* TcxControl::GetPopupMenu() const { return ObjectAs<TPopupMenu>(FPopupMenu); }

bool TcxControl::ShowPopupMenuAt(TComponent* menu, int x, int y) { return ShowControlPopupMenu(this, menu, x, y); }

void TcxControl::DoContextPopup(POINT MousePos, bool& Handled) {
  TcxUncountedInterfaces::DoContextPopup(MousePos, Handled);
  if (Handled) return;
  const POINT client = MousePos.x == -1 && MousePos.y == -1 ? POINT{0, 0} : MousePos;
  const POINT screen = ClientToScreen(client);
  Handled = ShowPopupMenuAt(FPopupMenu, screen.x, screen.y);
}

void TcxControl::ContextMenu(TMessage& Message) {
  if (Message.Result != 0) return;
  if (IsDesigning()) {
    TcxUncountedInterfaces::Dispatch(Message);
    return;
  }
  POINT local{-1, -1};
  if (Message.LParam != -1) {
    local = ScreenToClient(MessagePoint(Message.LParam));
    const RECT client = ClientRect();
    if (!PtInRect(&client, local)) {
      TcxUncountedInterfaces::Dispatch(Message);
      return;
    }
  }
  bool handled = false;
  TWeakLink<TControl> self(this);
  DoContextPopup(local, handled);
  if (!self.Get()) return;
  Message.Result = handled ? 1 : 0;
  // Not taken: the parent may show its own (the window's default handling
  // sends WM_CONTEXTMENU up).
  if (!handled) DefaultHandler(Message);
}

void TcxControl::SignalDesignerChange() {
  if (!IsDesigning()) return;
  for (TControl* c = this; c; c = c->Parent())
    if (c->ComponentState().Contains(csLoading) || c->ComponentState().Contains(csWriting) ||
        c->ComponentState().Contains(csDestroying))
      return;
  SignalDesignerModified(this);
}

// ---------------------------------------------------------------------------
// Platform drag

void TcxControl::CheckAutoDrag(TMouseButton button, int x, int y) {
  if (button == mbMiddle) {
    Pan();
    return;
  }
  if (button != mbLeft || DragMode() != dmAutomatic || !HandleAllocated() || GetCapture() != Handle()) return;
  if (IsDesigning() && !AllowsDragAt(x, y)) return;
  if (!CanDragNow(x, y)) return;
  if (DetectDragStart(Handle()) != 1) return;
  FCancelDragPending = false;
  BeginDrag(true, -1);
  if (FCancelDragPending) {
    FCancelDragPending = false;
    CancelDrag();
  }
}

void TcxControl::DoStartDrag(TDragObject*& DragObject) {
  Update();
  TWeakLink<TControl> self(this);
  TcxUncountedInterfaces::DoStartDrag(DragObject);
  if (!self.Get()) return;
  if (TDragObject* stale = FOwnDragObject.Get(); stale && stale != CurrentDragObject()) delete stale;
  if (!DragObject) {
    if (TClass cls = GetDragObjectClass(); cls && cls->Create) {
      DragObject = static_cast<TDragObject*>(CreateObject(cls, this));
      FOwnDragObject = DragObject;
    }
  }
  if (DragObject && !AcceptsDragObject(DragObject)) {
    if (FOwnDragObject.Get() == DragObject) delete DragObject;
    DragObject = nullptr;
    FCancelDragPending = true;
  }
}

void TcxControl::DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept) {
  FDragObject = State == dsDragLeave ? nullptr : CurrentDragObject();
  TcxUncountedInterfaces::DragOver(Source, X, Y, State, Accept);
}

// ---------------------------------------------------------------------------
// Messages

void TcxControl::WndProc(TMessage& Message) {
  TWeakLink<TControl> self(this);
  const UINT msg = Message.Msg;
  if ((msg == WM_LBUTTONDOWN || msg == WM_LBUTTONDBLCLK) && !CurrentDragObject()) {
    const POINT p = MessagePoint(Message.LParam);
    const bool designing = IsDesigning();
    if ((designing && GetDesignHitTest(p.x, p.y, TShiftState{ssLeft})) || (!designing && DragMode() == dmAutomatic)) {
      // A graphic child under the point takes the press itself.
      if (TControl* child = ControlAtPos(p, false); child && !ObjectAs<TWinControl>(child)) {
        Message.Result = child->Perform(msg, Message.WParam, MAKELPARAM(p.x - child->Left(), p.y - child->Top()));
        return;
      }
      // Straight to the handlers, the button marked down and the platform's
      // own automatic drag start kept out: CheckAutoDrag starts the drag.
      const TDragMode mode = DragMode();
      SetDragMode(dmManual);
      FControlState.Include(csLButtonDown);
      try {
        Dispatch(Message);
      } catch (...) {
        if (self.Get()) SetDragMode(mode);
        throw;
      }
      if (!self.Get()) return;
      SetDragMode(mode);
      FControlState.Exclude(csLButtonDown);
      CheckAutoDrag(mbLeft, p.x, p.y);
      return;
    }
  }
  TcxUncountedInterfaces::WndProc(Message);
  if (!self.Get()) return;
  switch (msg) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      FocusChanged();
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      POINT p = MessagePoint(Message.LParam);
      if (Width() > 32768 || Height() > 32768) p = ScreenToClient(QueryCursorPos());
      CheckAutoDrag(msg == WM_LBUTTONDOWN ? mbLeft : msg == WM_RBUTTONDOWN ? mbRight : mbMiddle, p.x, p.y);
      break;
    }
    default:
      break;
  }
}

void TcxControl::Paint() {
  if (FBorderStyle != cxcbsNone) {
    GetPainterClass()->PaintFrame(FcxCanvas.get(), GetBoundsForClient());
    FcxCanvas->IntersectClipWithRect(GetContentRect());
  }
  TcxUncountedInterfaces::Paint();
  RefreshScrollBarStates();
}

void TcxControl::Dispatch(TMessage& Message) {
  TWeakLink<TControl> self(this);
  switch (Message.Msg) {
    case WM_GETDLGCODE: {
      LRESULT code = 0;
      if (FKeys.Contains(kAll)) code |= DLGC_WANTALLKEYS;
      if (FKeys.Contains(kArrows)) code |= DLGC_WANTARROWS;
      if (FKeys.Contains(kChars)) code |= DLGC_WANTCHARS;
      if (FKeys.Contains(kTab) && GetKeyState(VK_CONTROL) >= 0) code |= DLGC_WANTTAB;
      Message.Result = code;
      return;
    }
    case WM_ERASEBKGND:
      if (ErasesBackground()) break;
      Message.Result = 1;
      return;
    case WM_CANCELMODE:
      TcxUncountedInterfaces::Dispatch(Message);
      if (self.Get()) CancelMouseOperations();
      return;
    case WM_NCCALCSIZE:
      TcxUncountedInterfaces::Dispatch(Message);
      if (HandleAllocated()) PostMessageA(Handle(), WM_SCROLLBARMETRICS, 0, 0);
      return;
    case WM_SCROLLBARMETRICS:
      ScrollBarMetricsChanged();
      return;
    case WM_CONTEXTMENU:
      ContextMenu(Message);
      return;
    case CN_KEYDOWN:
    case CN_SYSKEYDOWN:
      if (!IsDesigning())
        for (TControl* c = this; c; c = c->Parent())
          if (auto* control = ObjectAs<TcxControl>(c))
            if (TryPopupMenuShortCut(control->FPopupMenu, Message)) {
              Message.Result = 1;
              return;
            }
      break;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      // The platform's handling without its event: FireMouseEnter and
      // FireMouseLeave tell OnMouseEnter and OnMouseLeave.
      auto* control = reinterpret_cast<TControl*>(Message.LParam);
      if (!control) control = this;
      const bool enter = Message.Msg == CM_MOUSEENTER;
      if (control == this) {
        FMouseInControl = enter;
        if (Application) Application->ControlMouseChanged(this, enter);
      }
      if (enter) {
        FireMouseEnter(control);
      } else {
        FireMouseLeave(control);
      }
      return;
    }
    case CM_CURSORCHANGED:
      TcxUncountedInterfaces::Dispatch(Message);
      if (self.Get()) CursorChangedHook();
      return;
    case CM_COLORCHANGED:
      TcxUncountedInterfaces::Dispatch(Message);
      if (self.Get()) ColorChangedHook();
      return;
    case CM_FONTCHANGED:
      TcxUncountedInterfaces::Dispatch(Message);
      if (self.Get()) BroadcastFontChange();
      return;
    case CM_TEXTCHANGED:
      TcxUncountedInterfaces::Dispatch(Message);
      if (self.Get()) AfterTextChange();
      return;
    case CM_DESIGNHITTEST:
      TcxUncountedInterfaces::Dispatch(Message);
      if (Message.Result == 0) {
        const POINT p = MessagePoint(Message.LParam);
        Message.Result = GetDesignHitTest(p.x, p.y, KeysToShiftState(Message.WParam)) ? 1 : 0;
      }
      return;
    case WM_SETCURSOR:
      if (IsDesigning() && HandleAllocated()) {
        const POINT p = ScreenToClient(QueryCursorPos());
        if (GetDesignHitTest(p.x, p.y, TShiftState{ssLeft})) {
          ::SetCursor(Screen->Cursors(GetCurrentCursor(p.x, p.y)));
          Message.Result = 1;
          return;
        }
      }
      break;
    default:
      break;
  }
  TcxUncountedInterfaces::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// The form table.

namespace {

const TEnumInfo BorderStyleNames{"TcxControlBorderStyle", {"cxcbsNone", "cxcbsSingle"}};

const TPublishedRegistration controlRegistration(&TcxControl::ClassInfo, {
    Property<&TcxControl::ControlBorderStyle, &TcxControl::SetControlBorderStyle>("BorderStyle", BorderStyleNames)
        .Default(cxcbsNone),
    Property<&TcxControl::FocusOnClick, &TcxControl::SetFocusOnClick>("FocusOnClick").Default(true),
    Property<&TcxControl::LookAndFeel>("LookAndFeel"),
    Event<&TcxControl::OnFocusChanged>("OnFocusChanged"),
});

}  // namespace
