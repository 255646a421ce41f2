#include "foundation/ScrollBar.h"

#include "foundation/PainterResources.h"
#include "platform/Exceptions.h"
#include "platform/Properties.h"

#include <algorithm>
#include <cstdint>

namespace {

constexpr UINT FirstRepeatInterval = 400;  // ms from the press to the first repeat
constexpr UINT RepeatInterval = 60;        // ms between later repeats
// How far the mouse may stray from the bar while the thumb is dragged.
constexpr int ToleranceAlong = 34;
constexpr int ToleranceAcross = 136;

bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

// (a x b) / c without overflow, halves toward zero.
int MulDivTrunc(int64_t a, int64_t b, int64_t c) { return static_cast<int>(a * b / c); }

}  // namespace

SIZE SystemScrollBarSize() { return SIZE{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)}; }

// ---------------------------------------------------------------------------
// The view info.

const TClassInfo TcxScrollBarViewInfo::ClassInfo{"TcxScrollBarViewInfo", &TObject::ClassInfo, nullptr};

TcxScrollBarViewInfo::TcxScrollBarViewInfo(TcxScrollBar* scrollBar) : FScrollBar(scrollBar) {}

bool TcxScrollBarViewInfo::Horizontal() const { return FScrollBar->Kind() == sbHorizontal; }

void TcxScrollBarViewInfo::Calculate() {
  CalculateMinThumbLength();
  CalculateRects();
}

void TcxScrollBarViewInfo::CalculateMinThumbLength() { FMinThumbLength = FScrollBar->MinThumbLength(); }

// Along-the-bar helpers: x for a horizontal bar, y for a vertical one.
namespace {

LONG& Start(RECT& r, bool horizontal) { return horizontal ? r.left : r.top; }
LONG& End(RECT& r, bool horizontal) { return horizontal ? r.right : r.bottom; }
int StartOf(const RECT& r, bool horizontal) { return horizontal ? r.left : r.top; }
int EndOf(const RECT& r, bool horizontal) { return horizontal ? r.right : r.bottom; }

}  // namespace

void TcxScrollBarViewInfo::CalculateRects() {
  const bool h = Horizontal();
  const int w = FScrollBar->Width(), ht = FScrollBar->Height();
  if (h) {
    const int a = std::min(GetSystemMetrics(SM_CYHSCROLL), w / 2);
    FFirstArrowRect = RECT{0, 0, a, ht};
    FLastArrowRect = RECT{w - a, 0, w, ht};
  } else {
    const int a = std::min(GetSystemMetrics(SM_CXVSCROLL), ht / 2);
    FFirstArrowRect = RECT{0, 0, w, a};
    FLastArrowRect = RECT{0, ht - a, w, ht};
  }
  FThumbRect = RECT{0, 0, 0, 0};
  FPageBeforeRect = FPageAfterRect = RECT{0, 0, 0, 0};
  if (!FScrollBar->Enabled()) return;
  const int64_t min = FScrollBar->Min(), max = FScrollBar->Max(), page = FScrollBar->PageSize();
  const int64_t position = FScrollBar->Position();
  const int trackStart = EndOf(FFirstArrowRect, h);
  const int track = StartOf(FLastArrowRect, h) - trackStart;
  int length;
  int offset;
  if (page > 0) {
    if (track < FMinThumbLength || max == min) return;
    length = static_cast<int>(std::min<int64_t>(track, page * track / (max - min + 1)));
    length = std::max(length, FMinThumbLength);
    // A page as large as the range leaves nothing to move through (D <= 0):
    // the thumb stays at the track's start.
    const int64_t d = max - min - page + 1;
    offset = d > 0 ? MulDivTrunc(track - length, std::min(position - min, d), d) : 0;
  } else {
    length = GetSystemMetrics(h ? SM_CXHTHUMB : SM_CYVTHUMB);
    if (track < length) return;
    offset = track - length <= 0 || max == min ? 0 : MulDivTrunc(track - length, position - min, max - min);
  }
  if (h) {
    FThumbRect = RECT{trackStart + offset, 0, trackStart + offset + length, ht};
  } else {
    FThumbRect = RECT{0, trackStart + offset, w, trackStart + offset + length};
  }
  CalculatePageAreas();
}

void TcxScrollBarViewInfo::CalculatePageAreas() {
  const bool h = Horizontal();
  if (IsEmptyRect(FThumbRect)) {
    FPageBeforeRect = FPageAfterRect = RECT{0, 0, 0, 0};
    return;
  }
  const int w = FScrollBar->Width(), ht = FScrollBar->Height();
  FPageBeforeRect = FPageAfterRect = RECT{0, 0, w, ht};
  Start(FPageBeforeRect, h) = EndOf(FFirstArrowRect, h);
  End(FPageBeforeRect, h) = StartOf(FThumbRect, h);
  Start(FPageAfterRect, h) = EndOf(FThumbRect, h);
  End(FPageAfterRect, h) = StartOf(FLastArrowRect, h);
}

int TcxScrollBarViewInfo::ThumbStart() const { return StartOf(FThumbRect, Horizontal()); }
int TcxScrollBarViewInfo::TrackStart() const { return EndOf(FFirstArrowRect, Horizontal()); }
int TcxScrollBarViewInfo::TrackEnd() const { return StartOf(FLastArrowRect, Horizontal()); }
int TcxScrollBarViewInfo::ThumbLength() const {
  return EndOf(FThumbRect, Horizontal()) - StartOf(FThumbRect, Horizontal());
}

int TcxScrollBarViewInfo::PositionFromThumb() const {
  const int64_t min = FScrollBar->Min(), max = FScrollBar->Max(), page = FScrollBar->PageSize();
  const int64_t free = TrackEnd() - TrackStart() - ThumbLength();
  // A thumb that fills the track stands for the minimum (no division by 0).
  if (free <= 0) return static_cast<int>(min);
  const int64_t range = max - min - (page > 0 ? page - 1 : 0);
  return static_cast<int>(min + range * (ThumbStart() - TrackStart()) / free);
}

void TcxScrollBarViewInfo::MoveThumbTo(int start) {
  const bool h = Horizontal();
  const int length = ThumbLength();
  start = std::max(TrackStart(), std::min(start, TrackEnd() - length));
  Start(FThumbRect, h) = start;
  End(FThumbRect, h) = start + length;
  CalculatePageAreas();
}

// ---------------------------------------------------------------------------
// The scroll bar.

const TClassInfo TcxScrollBar::ClassInfo{"TcxScrollBar", &TCustomControl::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TcxScrollBar(static_cast<TComponent*>(owner));
                                         }};

TcxScrollBar::TcxScrollBar(TComponent* AOwner) : TcxUncountedInterfaces(AOwner) {
  FWidth = 121;
  FHeight = GetSystemMetrics(SM_CYHSCROLL);
  FControlStyle = TControlStyle{csCaptureMouse, csFramed, csOpaque};
  FBitmapCanvas = std::make_unique<TcxCanvas>(FBitmap.Canvas());
  FLookAndFeel = std::make_unique<TcxLookAndFeel>(this);
  FLookAndFeel->OnSettingsChanged = TcxLookAndFeelChangedEvent::Bind<&TcxScrollBar::LookAndFeelChanged>(this);
  FThemeNotificator = std::make_unique<TdxThemeChangedNotificator>();
  FThemeNotificator->OnVisualStyleChange = TNotifyEvent::Bind<&TcxScrollBar::ThemeChanged>(this);
  FTimer = std::make_unique<TcxTimer>();
  FTimer->SetEnabled(false);
  FTimer->SetInterval(FirstRepeatInterval);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TcxScrollBar::TimerTick>(this));
  FViewInfo.reset(CreateViewInfo());
  UpdateBitmapSize();
  FViewInfo->Calculate();
}

TcxScrollBar::~TcxScrollBar() {
  FTimer.reset();
  FThemeNotificator.reset();
  ClearObjectLinks(this);
}

TcxScrollBarViewInfo* TcxScrollBar::CreateViewInfo() { return TcxScrollBarViewInfo::Create(this); }

TcxLookAndFeelPainterClass TcxScrollBar::Painter() const {
  return FLookAndFeel->ChoosePainterForObject(totScrollBar);
}

void TcxScrollBar::SetScrollParams(int min, int max, int position, int pageSize, bool redraw) {
  if (max < min || max < pageSize) throw EInvalidOperation(LoadOverridableResString(scxScrollBarPropertyOutOfRange));
  position = std::max(min, std::min(position, max));
  if (min == FMin && max == FMax && pageSize == FPageSize && position == FPosition) return;
  FMin = min;
  FMax = max;
  FPageSize = pageSize;
  if (position == FPosition) {
    FViewInfo->CalculateRects();
    if (redraw && HandleAllocated()) Repaint();
    return;
  }
  SetEnabled(true);
  FPosition = position;
  FViewInfo->CalculateRects();
  if (redraw && HandleAllocated()) Repaint();
  NotifyChange();
}

void TcxScrollBar::SetSmallChange(int value) { FSmallChange = std::max(1, std::min(value, 32767)); }
void TcxScrollBar::SetLargeChange(int value) { FLargeChange = std::max(1, std::min(value, 32767)); }

void TcxScrollBar::SetKind(TScrollBarKind value) {
  if (FKind == value) return;
  FKind = value;
  if (ComponentState().Contains(csLoading)) {
    FViewInfo->CalculateRects();
  } else {
    SetBounds(FLeft, FTop, FHeight, FWidth);  // the bar turns round
    FViewInfo->Calculate();
  }
  Invalidate();
}

void TcxScrollBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  const RECT before = BoundsRect();
  TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  const RECT after = BoundsRect();
  if (EqualRect(&before, &after) || FWidth <= 0 || FHeight <= 0) return;
  UpdateBitmapSize();
  FViewInfo->CalculateRects();
}

void TcxScrollBar::UpdateBitmapSize() {
  if (FWidth <= 0 || FHeight <= 0) return;
  if (FBitmap.Width() != FWidth || FBitmap.Height() != FHeight) FBitmap.SetSize(FWidth, FHeight);
}

void TcxScrollBar::RecalculateViewInfo() { FViewInfo->Calculate(); }

void TcxScrollBar::ApplyCtl3D() {
  // No extended-style painter exists in this program, so the real value
  // always applies.
  if (Ctl3D() == FRealCtl3D) return;
  FApplyingCtl3D = true;
  SetCtl3D(FRealCtl3D);
  FApplyingCtl3D = false;
}

void TcxScrollBar::LookAndFeelChanged(TcxLookAndFeel*, TcxLookAndFeelValues) {
  ApplyCtl3D();
  FViewInfo->Calculate();
  Invalidate();
}

void TcxScrollBar::ThemeChanged(TObject*) {
  FViewInfo->Calculate();
  RefreshScrollPageBitmaps();
  Invalidate();
  if (Parent()) Parent()->Realign();
}

void TcxScrollBar::NotifyChange() {
  Changed();
  FireEvent(OnChange, this);
}

void TcxScrollBar::NotifyScroll(TScrollCode code, int& position) { FireEvent(OnScroll, this, code, position); }

int TcxScrollBar::MinThumbLength() const { return Painter()->ScrollThumbMinSize(FKind == sbVertical); }

bool TcxScrollBar::ButtonsHotTrack() const { return Painter()->ButtonHotTracks(); }

void TcxScrollBar::PaintPart(TcxCanvas* canvas, const RECT& r, TcxScrollBarPart part, TcxButtonState state) {
  Painter()->PaintScrollBarPart(canvas, FKind == sbHorizontal, r, part, state);
}

TcxButtonState TcxScrollBar::StateOfPart(TcxScrollBarPart part) const {
  if (!Enabled()) return cxbsDisabled;
  if (part == sbpThumbnail && !ButtonsHotTrack()) return cxbsNormal;
  if (FPressedPart != sbpNone) return part == FPressedPart && part == FHotPart ? cxbsPressed : cxbsNormal;
  if (part == FHotPart && !ComponentState().Contains(csDesigning)) return cxbsHot;
  return cxbsNormal;
}

void TcxScrollBar::PaintParts(TcxCanvas* canvas) {
  const TcxScrollBarViewInfo& v = *FViewInfo;
  if (IsEmptyRect(v.ThumbRect())) {
    PaintPart(canvas, RECT{0, 0, FWidth, FHeight}, sbpPageUp, cxbsNormal);
  } else {
    PaintPart(canvas, v.ThumbRect(), sbpThumbnail, StateOfPart(sbpThumbnail));
  }
  PaintPart(canvas, v.FirstArrowRect(), sbpLineUp, StateOfPart(sbpLineUp));
  PaintPart(canvas, v.LastArrowRect(), sbpLineDown, StateOfPart(sbpLineDown));
  if (!IsEmptyRect(v.PageBeforeRect())) PaintPart(canvas, v.PageBeforeRect(), sbpPageUp, StateOfPart(sbpPageUp));
  if (!IsEmptyRect(v.PageAfterRect())) PaintPart(canvas, v.PageAfterRect(), sbpPageDown, StateOfPart(sbpPageDown));
}

void TcxScrollBar::Paint() {
  if (FWidth <= 0 || FHeight <= 0) return;
  UpdateBitmapSize();
  PaintParts(FBitmapCanvas.get());
  Canvas()->CopyRect(RECT{0, 0, FWidth, FHeight}, FBitmap.Canvas(), RECT{0, 0, FWidth, FHeight});
}

TcxScrollBarPart TcxScrollBar::HitTest(POINT p) const {
  const RECT client{0, 0, FWidth, FHeight};
  if (!PtInRect(&client, p)) return sbpNone;
  const TcxScrollBarViewInfo& v = *FViewInfo;
  if (PtInRect(&v.FirstArrowRect(), p)) return sbpLineUp;
  if (PtInRect(&v.LastArrowRect(), p)) return sbpLineDown;
  if (IsEmptyRect(v.ThumbRect())) return sbpNone;
  if (PtInRect(&v.ThumbRect(), p)) return sbpThumbnail;
  if (PtInRect(&v.PageBeforeRect(), p)) return sbpPageUp;
  if (PtInRect(&v.PageAfterRect(), p)) return sbpPageDown;
  return sbpNone;
}

void TcxScrollBar::Scroll(TScrollCode code) {
  int64_t position = FPosition;
  switch (code) {
    case scLineUp: position -= FSmallChange; break;
    case scLineDown: position += FSmallChange; break;
    case scPageUp: position -= FLargeChange; break;
    case scPageDown: position += FLargeChange; break;
    case scTop: position = FMin; break;
    case scBottom: position = FMax; break;
    default: break;
  }
  int value = static_cast<int>(std::max<int64_t>(FMin, std::min<int64_t>(position, FMax)));
  TWeakLink<TControl> self(this);
  NotifyScroll(code, value);
  if (!self.Get()) return;
  value = std::max(FMin, std::min(value, FMax));
  if (value == FPosition) return;
  if (code == scTrack) {
    FPosition = value;
    Repaint();
  } else {
    SetPosition(value);
  }
}

void TcxScrollBar::ScrollByPart(TcxScrollBarPart part) {
  switch (part) {
    case sbpLineUp: Scroll(scLineUp); break;
    case sbpLineDown: Scroll(scLineDown); break;
    case sbpThumbnail: Scroll(scTrack); break;
    case sbpPageUp: Scroll(scPageUp); break;
    case sbpPageDown: Scroll(scPageDown); break;
    default: break;
  }
}

void TcxScrollBar::CancelScroll() {
  if (FPressedPart == sbpNone) return;
  TWeakLink<TControl> self(this);
  if (FPressedPart == sbpThumbnail) {
    FPosition = FViewInfo->PositionFromThumb();
    Scroll(scPosition);
    if (!self.Get()) return;
  }
  FTimer->SetEnabled(false);
  FPressedPart = FHotPart = sbpNone;
  Scroll(scEndScroll);
  if (!self.Get()) return;
  FViewInfo->CalculateRects();
  Invalidate();
}

namespace {

bool IsRepeatPart(TcxScrollBarPart part) {
  return part == sbpLineUp || part == sbpLineDown || part == sbpPageUp || part == sbpPageDown;
}

}  // namespace

void TcxScrollBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TCustomControl::MouseDown(Button, Shift, X, Y);
  if (!self.Get() || Button != mbLeft) return;
  const POINT p{X, Y};
  const TcxScrollBarPart part = HitTest(p);
  if (part == sbpNone) return;
  if (part == sbpThumbnail) {
    FPressPoint = p;
    FPressPosition = FPosition;
    FPressThumbTopLeft = POINT{FViewInfo->ThumbRect().left, FViewInfo->ThumbRect().top};
    Scroll(scTrack);
    if (!self.Get()) return;
  }
  FPressedPart = FHotPart = part;
  if (part != sbpThumbnail) {
    ScrollByPart(part);
    if (!self.Get()) return;
    FTimer->SetInterval(FirstRepeatInterval);
    FTimer->SetEnabled(true);
  }
  Repaint();
}

void TcxScrollBar::TimerTick(TObject*) {
  if (HandleAllocated() && GetCapture() == Handle() && IsRepeatPart(FPressedPart)) {
    if (FTimer->Interval() == FirstRepeatInterval) FTimer->SetInterval(RepeatInterval);
    TWeakLink<TControl> self(this);
    ScrollByPart(FPressedPart);
    if (!self.Get()) return;
    POINT cursor = QueryCursorPos();
    ::ScreenToClient(Handle(), &cursor);
    FTimer->SetEnabled(HitTest(cursor) == FPressedPart);
    return;
  }
  CancelScroll();
}

void TcxScrollBar::DragThumb(POINT p) {
  const bool h = FKind == sbHorizontal;
  RECT tolerance{0, 0, FWidth, FHeight};
  InflateRect(&tolerance, h ? ToleranceAlong : ToleranceAcross, h ? ToleranceAcross : ToleranceAlong);
  TWeakLink<TControl> self(this);
  if (FUnlimitedTracking || PtInRect(&tolerance, p)) {
    const int d = h ? p.x - FPressPoint.x : p.y - FPressPoint.y;
    if (d == 0) return;
    FViewInfo->MoveThumbTo((h ? FPressThumbTopLeft.x : FPressThumbTopLeft.y) + d);
    Repaint();
    const int position = FViewInfo->PositionFromThumb();
    if (position != FPosition) {
      FPosition = position;
      Scroll(scTrack);
    }
    return;
  }
  if (FPosition != FPressPosition) {
    SetPosition(FPressPosition);
    if (!self.Get()) return;
    Scroll(scTrack);
  }
}

void TcxScrollBar::MouseMove(TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TCustomControl::MouseMove(Shift, X, Y);
  if (!self.Get()) return;
  const POINT p{X, Y};
  if (FPressedPart == sbpThumbnail) {
    DragThumb(p);
    return;
  }
  const TcxScrollBarPart part = HitTest(p);
  if (FPressedPart != sbpNone) FTimer->SetEnabled(part == FPressedPart);
  if (part != FHotPart) {
    FHotPart = part;
    if (ButtonsHotTrack() || FPressedPart != sbpNone) Repaint();
  }
}

void TcxScrollBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TCustomControl::MouseUp(Button, Shift, X, Y);
  if (!self.Get()) return;
  CancelScroll();
  if (!self.Get()) return;
  FHotPart = HitTest(POINT{X, Y});
}

void TcxScrollBar::MouseEnterLeave(bool enter) {
  const bool repaint = ButtonsHotTrack() || IsRepeatPart(FPressedPart);
  if (enter) {
    if (repaint) Repaint();
    return;
  }
  if (FPressedPart != sbpThumbnail) FHotPart = sbpNone;
  if (repaint) Invalidate();
}

void TcxScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      Scroll(static_cast<TScrollCode>(std::min<WPARAM>(LOWORD(Message.WParam), 8)));
      Message.Result = 0;
      return;
    case CN_CTLCOLORSCROLLBAR:
      RefreshScrollPageBitmaps();
      Message.Result = DefWindowProcA(Handle(), Message.Msg - CN_BASE, Message.WParam, Message.LParam);
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_CANCELMODE:
      CancelScroll();
      break;
    case CM_SYSCOLORCHANGE:
      RefreshScrollPageBitmaps();
      break;
    case CM_ENABLEDCHANGED: {
      TcxUncountedInterfaces::Dispatch(Message);
      FViewInfo->CalculateRects();
      if (!Enabled()) CancelScroll();
      Invalidate();
      return;
    }
    case CM_VISIBLECHANGED:
      if (!Visible()) CancelScroll();
      break;
    case CM_CTL3DCHANGED:
      if (!FApplyingCtl3D) FRealCtl3D = Ctl3D();
      TcxUncountedInterfaces::Dispatch(Message);
      LookAndFeelChanged(FLookAndFeel.get(), {});
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
      TcxUncountedInterfaces::Dispatch(Message);
      const auto* control = reinterpret_cast<TControl*>(Message.LParam);
      if (!control || control == this) MouseEnterLeave(Message.Msg == CM_MOUSEENTER);
      return;
    }
    default:
      break;
  }
  TcxUncountedInterfaces::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// The form table.

namespace {

const TEnumInfo ScrollBarKinds{"TScrollBarKind", {"sbHorizontal", "sbVertical"}};

const TPublishedRegistration scrollBarRegistration(&TcxScrollBar::ClassInfo, {
    Property<&TcxScrollBar::Kind, &TcxScrollBar::SetKind>("Kind", ScrollBarKinds).Default(sbHorizontal),
    Property<&TcxScrollBar::LargeChange, &TcxScrollBar::SetLargeChange>("LargeChange").Default(1),
    Property<&TcxScrollBar::LookAndFeel>("LookAndFeel"),
    Property<&TcxScrollBar::Max, &TcxScrollBar::SetMax>("Max").Default(100),
    Property<&TcxScrollBar::Min, &TcxScrollBar::SetMin>("Min").Default(0),
    Property<&TcxScrollBar::PageSize, &TcxScrollBar::SetPageSize>("PageSize").Default(0),
    Property<&TcxScrollBar::Position, &TcxScrollBar::SetPosition>("Position").Default(0),
    Property<&TcxScrollBar::SmallChange, &TcxScrollBar::SetSmallChange>("SmallChange").Default(1),
    Property<&TcxScrollBar::UnlimitedTracking, &TcxScrollBar::SetUnlimitedTracking>("UnlimitedTracking")
        .Default(false),
    Event<&TcxScrollBar::OnChange>("OnChange"),
    Event<&TcxScrollBar::OnScroll>("OnScroll"),
});

}  // namespace
