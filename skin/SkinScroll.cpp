// Scroll-bar panels, the scroll-bar skinners, track bars and size grips.
#include "skin/SkinScroll.h"

#include "platform/Messages.h"
#include "skin/SkinData.h"
#include "skin/SkinDraw.h"
#include "skin/SkinManage.h"
#include "skin/WinSkinForm.h"

#include <commctrl.h>

#include <algorithm>

const TClassInfo TWScrollbar::ClassInfo{"TWScrollbar", &TCustomControl::ClassInfo, nullptr};
const TClassInfo TSkinScrollbar::ClassInfo{"TSkinScrollbar", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinScControl::ClassInfo{"TSkinScControl", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinTrackBar::ClassInfo{"TSkinTrackBar", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinHeader::ClassInfo{"TSkinHeader", &TSkinControl::ClassInfo, nullptr};
const TClassInfo TSkinListView::ClassInfo{"TSkinListView", &TSkinScrollbar::ClassInfo, nullptr};
const TClassInfo TSkinSizer::ClassInfo{"TSkinSizer", &TSkinControl::ClassInfo, nullptr};

namespace {

constexpr int NoRange = 9999999;

// A 24-bit memory bitmap selected into a context, for composing a bar.
class TBarBuffer {
public:
  TBarBuffer(int width, int height) : FBitmap(NewSkinBitmap(std::max(width, 1), std::max(height, 1))) {}
  HDC DC() const { return FBitmap->Canvas()->Handle(); }

private:
  std::unique_ptr<TBitmap> FBitmap;
};

RECT ToClient(HWND wnd, const RECT& screen) {
  POINT a{screen.left, screen.top}, b{screen.right, screen.bottom};
  ScreenToClient(wnd, &a);
  ScreenToClient(wnd, &b);
  return {a.x, a.y, b.x, b.y};
}

}  // namespace

// -- Pure rules.

int ScrollArrowFrame(bool vertical, bool second, bool pressed, bool hot) {
  const int base = (vertical ? 9 : 1) + (second ? 4 : 0);
  return pressed ? base + 1 : hot ? base + 3 : base;
}

int ScrollGripFrame(bool vertical, bool pressed, bool hot) { return (vertical ? 20 : 17) + (pressed ? 1 : hot ? 2 : 0); }

TThumbSpan ThumbOfScrollInfo(int length, int button, int min, int max, int page, int pos) {
  const int range = max == min ? NoRange : max - min;
  const int l = length - 2 * button;
  TThumbSpan t;
  if (page != 0) {
    const int size = MulDiv(l, page - 1, range);
    if (size > 7) {
      t.Length = size;
      t.Start = pos == min ? button : MulDiv(l, pos - min, range) + button;
    } else {
      t.Length = 8;
      t.Start = pos == min ? button : MulDiv(l - 8, pos - min, range) + button;
    }
  } else {
    t.Length = button;
    t.Start = pos == min ? button : MulDiv(length - 3 * button, pos - min, range) + button;
  }
  return t;
}

TThumbSpan ThumbOfControl(int length, int button, int min, int max, int page, int pos) {
  // The same guard as ThumbOfScrollInfo: no division by an empty range.
  const int range = max == min ? NoRange : max - min;
  TThumbSpan t;
  t.Length = page != 0 ? MulDiv(length - 2 * button, page - 1, range) : button;
  const int c = page != 0 ? 2 : 3;
  t.Start = pos == min ? button : MulDiv(length - c * button, pos - min, range) + button;
  return t;
}

int ScrollThickness(int imageHeight, int systemWidth) {
  return std::abs(imageHeight - systemWidth) > 2 ? systemWidth : imageHeight;
}

// -- The panel.

TWScrollbar::TWScrollbar(TComponent* AOwner) : TCustomControl(AOwner) {
  FButtonSize = GetSystemMetrics(SM_CXHSCROLL);
  SetTabStop(false);
  SetVisible(false);
}

void TWScrollbar::CreateParams(TCreateParams& Params) {
  TCustomControl::CreateParams(Params);
  Params.ExStyle = WS_EX_TOOLWINDOW;
}

void TWScrollbar::AttachWindow(TSkinControl* skinner, HWND wnd, int kind) {
  FSkinner = skinner;
  FTarget = wnd;
  FKind = kind;
  FVertical = kind == 1;
  SetParentWindow(GetParent(wnd));
  Place();
}

void TWScrollbar::AttachControl(TSkinControl* skinner, TWinControl* control, int kind) {
  FTargetControl = control;
  SetColor(skinner->ParentColor(skinner->SkinColor()));
  if (kind == 2) {
    FSkinner = skinner;
    FTarget = control->Handle();
    FKind = 2;
    FVertical = LowerCase(PropText(control, "Kind")) != "sbhorizontal";
    SetParentWindow(GetParent(FTarget));
    Place();
    return;
  }
  AttachWindow(skinner, control->Handle(), kind);
}

bool TWScrollbar::BarInfo(SCROLLBARINFO& info) {
  info = {};
  info.cbSize = sizeof(info);
  if (FKind != 2) return GetScrollBarInfoIfAny(FTarget, FKind == 1 ? OBJID_VSCROLL : OBJID_HSCROLL, info);
  if (!FTargetControl || !IsWindow(FTarget)) return false;
  RECT bounds{};
  GetWindowRect(FTarget, &bounds);
  info.rcScrollBar = bounds;
  SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS, 0, 0, 0, 0, 0};
  if (!GetScrollInfo(FTarget, SB_CTL, &si)) return false;
  const int length = FVertical ? RectHeight(bounds) : RectWidth(bounds);
  const TThumbSpan t = ThumbOfScrollInfo(length, FButtonSize, si.nMin, si.nMax, static_cast<int>(si.nPage), si.nPos);
  info.xyThumbTop = t.Start;
  info.xyThumbBottom = t.Start + t.Length;
  info.dxyLineButton = FButtonSize;
  if (!IsWindowEnabled(FTarget)) info.rgstate[0] |= STATE_SYSTEM_UNAVAILABLE;
  if (!IsWindowVisible(FTarget)) info.rgstate[0] |= STATE_SYSTEM_INVISIBLE;
  return true;
}

void TWScrollbar::HideBar() {
  if (HandleAllocated()) ShowWindow(Handle(), SW_HIDE);
  FShown = false;
  SetVisible(false);
}

void TWScrollbar::Place() {
  if (!FTarget || !IsWindow(FTarget) || !GetParent(FTarget)) {
    FShown = false;
    return;
  }
  SCROLLBARINFO info{};
  FShown = BarInfo(info);
  if (!FShown) return;
  if (!(GetWindowLongA(FTarget, GWL_STYLE) & WS_VISIBLE) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) {
    HideBar();
    return;
  }
  const HWND parent = GetParent(FTarget);
  FBarRect = ToClient(FTarget, info.rcScrollBar);
  const RECT inParent = ToClient(parent, info.rcScrollBar);
  FLength = FVertical ? RectHeight(FBarRect) : RectWidth(FBarRect);
  FBarOrigin = {inParent.left, inParent.top};
  SetVisible(true);
  HandleNeeded();
  HWND after = GetWindow(FTarget, GW_HWNDPREV);
  UINT flags = SWP_SHOWWINDOW | SWP_NOACTIVATE;
  if (after == Handle()) flags |= SWP_NOZORDER;
  SetWindowPos(Handle(), after ? after : HWND_TOP, FBarOrigin.x, FBarOrigin.y, RectWidth(inParent),
               RectHeight(inParent), flags);
  FShown = true;
  Repaint();
}

void TWScrollbar::Repaint() {
  if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

int TWScrollbar::HitTest(POINT p) const {
  const int c = FVertical ? p.y : p.x;
  if (c < FButtonSize) return spFirstArrow;
  if (c < FThumbStart) return spPageBefore;
  if (c < FThumbEnd) return spThumb;
  if (c < FLength - FButtonSize) return spPageAfter;
  return spSecondArrow;
}

void TWScrollbar::TrackThumb() {
  POINT cursor{};
  GetCursorPos(&cursor);
  const int length = FThumbEnd - FThumbStart;
  int start = FPressThumbTop + (FVertical ? cursor.y - FPressPoint.y : cursor.x - FPressPoint.x);
  start = std::min(start, FLength - FButtonSize - length);
  start = std::max(start, FButtonSize);
  FThumbStart = start;
  FThumbEnd = start + length;
}

void TWScrollbar::PaintWindow(HDC dc) {
  ++FPaintCount;
  FFirstArrowFrame = FSecondArrowFrame = FThumbFrame = 0;
  TSkinData* data = FSkinner ? FSkinner->SkinData() : nullptr;
  TDataSkinObject* arrows = data ? data->Object(soScrollbar) : nullptr;
  if (!arrows || arrows->Bitmap->GetEmpty()) return;
  SCROLLBARINFO info{};
  if (!BarInfo(info) || (info.rgstate[0] & STATE_SYSTEM_INVISIBLE)) return;
  const bool enabled = !(info.rgstate[0] & STATE_SYSTEM_UNAVAILABLE);
  RECT client{};
  GetClientRect(Handle(), &client);
  RECT bar = info.rcScrollBar;
  OffsetRect(&bar, -bar.left, -bar.top);
  if (FKind != 2 && (bar.right > client.right || bar.bottom > client.bottom)) return;
  FLength = FVertical ? bar.bottom : bar.right;
  const int imageHeight = arrows->Bitmap->GetHeight();
  const int t = ScrollThickness(imageHeight, FButtonSize);
  FThickness = t;
  if (FKind == 2) {
    if (FVertical) bar.right = t;
    else bar.bottom = t;
  }
  const int w = FVertical ? std::min<int>(bar.right, t) : bar.right;
  const int h = FVertical ? bar.bottom : std::min<int>(bar.bottom, t);
  TBarBuffer buffer(std::max<int>(bar.right, 1), std::max<int>(bar.bottom, 1));
  HDC b = buffer.DC();
  SetStretchBltMode(b, COLORONCOLOR);
  FillRectColor(b, bar, data->Colors(ccButtonFace));
  // Track.
  TDataSkinObject* track = data->Object(FVertical ? soVertScroll : soHorzScroll);
  if (track && !track->Bitmap->GetEmpty()) {
    const RECT tr = FVertical ? RECT{0, FButtonSize, w, FLength - FButtonSize} : RECT{FButtonSize, 0, FLength - FButtonSize, h};
    DrawSkinImage(b, tr, track->Bitmap.get(), false, track->Tile == 1, track->Trans == 1, 4, enabled ? 1 : 3,
                  track->Margins());
  }
  // Arrows.
  const int arrow = FLength < 2 * FButtonSize ? FLength / 2 : FButtonSize;
  for (int second = 0; second < 2; ++second) {
    const int part = second ? spSecondArrow : spFirstArrow;
    const bool mine = FHotPart == part;
    const int frame = ScrollArrowFrame(FVertical, second, mine && FPressed, mine && !FPressed);
    (second ? FSecondArrowFrame : FFirstArrowFrame) = frame;
    const int from = second ? FLength - arrow : 0;
    const RECT ar = FVertical ? RECT{0, from, w, from + arrow} : RECT{from, 0, from + arrow, h};
    DrawStripFrameMasked(b, ar, 23, frame, arrows->Bitmap.get());
  }
  // Thumb.
  if (FPressed && FHotPart == spThumb && FKind != 2) {
    TrackThumb();
  } else {
    FThumbStart = info.xyThumbTop;
    FThumbEnd = info.xyThumbBottom;
  }
  if (enabled) {
    FThumbFrame = FHotPart == spThumb ? (FPressed ? 2 : 3) : 1;
    TDataSkinObject* thumb = data->Object(FVertical ? soVertScrollThumb : soHorzScrollThumb);
    if (FThumbStart >= 0 && FThumbEnd <= FLength && thumb && !thumb->Bitmap->GetEmpty()) {
      const RECT tr = FVertical ? RECT{0, FThumbStart, t, FThumbEnd} : RECT{FThumbStart, 0, FThumbEnd, t};
      DrawSkinImage(b, tr, thumb->Bitmap.get(), false, false, thumb->Trans == 1, thumb->FrameCount, FThumbFrame,
                    thumb->Margins());
      const int gh = imageHeight;
      const int span = FThumbEnd - FThumbStart;
      const int at = FThumbStart + (span - gh) / 2;
      if (gh < span + 2 && at >= 0 && at + gh <= FLength) {
        const int grip = ScrollGripFrame(FVertical, FPressed && FHotPart == spThumb, FHotPart == spThumb && !FPressed);
        const RECT gr = FVertical ? RECT{0, at, t, at + gh} : RECT{at, 0, at + gh, t};
        DrawStripFrameMasked(b, gr, 23, grip, arrows->Bitmap.get());
      }
    }
  }
  if (FKind == 2) {
    StretchBlt(dc, 0, 0, client.right, client.bottom, b, 0, 0, bar.right, bar.bottom, SRCCOPY);
  } else {
    BitBlt(dc, 0, 0, bar.right, bar.bottom, b, 0, 0, SRCCOPY);
  }
}

void TWScrollbar::MouseDown(TMessage& Message) {
  GetCursorPos(&FPressPoint);
  POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  if (FKind == 2 && FTargetControl) {
    RECT bounds{};
    GetClientRect(FTarget, &bounds);
    const int length = FVertical ? bounds.bottom : bounds.right;
    const TThumbSpan t =
        ThumbOfControl(length, FButtonSize, static_cast<int>(PropInt(FTargetControl, "Min")),
                       static_cast<int>(PropInt(FTargetControl, "Max")),
                       static_cast<int>(PropInt(FTargetControl, "PageSize")),
                       static_cast<int>(PropInt(FTargetControl, "Position")));
    FPressThumbTop = t.Start;
  } else {
    SCROLLBARINFO info{};
    if (BarInfo(info)) FPressThumbTop = info.xyThumbTop;
  }
  FHotPart = HitTest(p);
  POINT at = p;
  if (FKind != 2) {
    SCROLLBARINFO info{};
    if (BarInfo(info)) FBarOrigin = {info.rcScrollBar.left, info.rcScrollBar.top};
    at = {p.x + FBarOrigin.x, p.y + FBarOrigin.y};
  }
  FPressed = true;
  Repaint();
  ReleaseCapture();
  // The system's own tracking runs inside this call until the button is up.
  if (FKind != 2) {
    SendMessageA(FTarget, WM_NCLBUTTONDOWN, FVertical ? HTVSCROLL : HTHSCROLL, MAKELPARAM(at.x, at.y));
  } else {
    POINT inTarget = p;
    MapWindowPoints(Handle(), FTarget, &inTarget, 1);
    SendMessageA(FTarget, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inTarget.x, inTarget.y));
  }
  FPressed = false;
  ReleaseCapture();
  if (FKind == 2) Repaint();
}

void TWScrollbar::MouseUp(TMessage& Message) {
  POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
  if (FKind != 2) p = {p.x + FBarOrigin.x, p.y + FBarOrigin.y};
  FPressed = false;
  ReleaseCapture();
  if (FKind != 2) PostMessageA(FTarget, WM_NCLBUTTONUP, FVertical ? HTVSCROLL : HTHSCROLL, MAKELPARAM(p.x, p.y));
  else PostMessageA(FTarget, WM_LBUTTONUP, MK_LBUTTON, MAKELPARAM(p.x, p.y));
  if (FKind == 2) Repaint();
}

void TWScrollbar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case WM_ERASEBKGND: Message.Result = 1; return;
    case WM_MOUSEMOVE: {
      TCustomControl::Dispatch(Message);
      const int part = HitTest({static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))});
      if (part != FHotPart) {
        FHotPart = part;
        Repaint();
      }
      TrackMouseLeave(Handle());
      return;
    }
    case WM_MOUSELEAVE:
      if (!FPressed) {
        FHotPart = spNone;
        Repaint();
      }
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      TCustomControl::Dispatch(Message);
      MouseDown(Message);
      return;
    case WM_LBUTTONUP:
      TCustomControl::Dispatch(Message);
      MouseUp(Message);
      return;
    default: TCustomControl::Dispatch(Message);
  }
}

// -- Window scroll bars of a control.

TSkinScrollbar::~TSkinScrollbar() { FreeBars(); }

void TSkinScrollbar::FreeBars() {
  delete FHorzBar;
  delete FVertBar;
  FHorzBar = FVertBar = nullptr;
}

void TSkinScrollbar::AttachScrollbars(TWinControl* control, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) {
  if (FAttached || !control) return;
  FSkinData = skinData;
  FForm = form;
  FCanvas = canvas;
  FControl = control;
  FControl->FreeNotification(this);
  FHandle = control->Handle();
  if (FForm) FForm->AddSkinControl(this);
  FDrawBorder = LowerCase(PropText(control, "BorderStyle")) != "bsnone" &&
                LowerCase(control->ClassName()) != "timagescrollbox" && FMode != 1;
  if (HasProp(control, "FixedColor")) {
    FSavedColor = static_cast<TColor>(PropInt(control, "FixedColor"));
    FUseSkinColor = true;
    SetPropText(control, "FixedColor", AnsiString(std::to_string(static_cast<int64_t>(SkinColor()))));
  }
  FHorzBar = new TWScrollbar(nullptr);
  FHorzBar->AttachControl(this, control, 0);
  FVertBar = new TWScrollbar(nullptr);
  FVertBar->AttachControl(this, control, 1);
  for (TWScrollbar* bar : {FHorzBar, FVertBar}) {
    bar->SetEnabled(control->Enabled());
    if (!control->Visible()) bar->HideBar();
  }
  FUnicodeWindow = IsWindowUnicode(FHandle);
  FOldWindowProc = control->WindowProc;
  control->WindowProc = TWndMethod::Bind<&TSkinControl::WindowProc>(this);
  FWindowProcHooked = true;
  FAttached = true;
  FLifeState = 1;
  if (FDrawBorder) SetWindowPos(FHandle, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void TSkinScrollbar::DrawFrame(HDC dc) {
  RECT r{};
  GetWindowRect(FHandle, &r);
  OffsetRect(&r, -r.left, -r.top);
  HBRUSH shadow = CreateSolidBrush(ColorToRGB(FSkinData->Colors(ccButtonShadow)));
  HBRUSH face = CreateSolidBrush(ColorToRGB(SkinColor()));
  FrameRect(dc, &r, shadow);
  InflateRect(&r, -1, -1);
  FrameRect(dc, &r, face);
  DeleteObject(face);
  DeleteObject(shadow);
}

bool TSkinScrollbar::BeforeMessage(TMessage& Message) {
  if (Message.Msg == WM_NCPAINT && FDrawBorder) {
    CallPrevious(Message);
    if (HDC dc = GetWindowDC(FHandle)) {
      DrawFrame(dc);
      ReleaseDC(FHandle, dc);
    }
    return false;
  }
  return TSkinControl::BeforeMessage(Message);
}

void TSkinScrollbar::PlaceBars() {
  if (FHorzBar) FHorzBar->Place();
  if (FVertBar) FVertBar->Place();
}

void TSkinScrollbar::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SIZE:
    case WM_WINDOWPOSCHANGED: PlaceBars(); break;
    case WM_HSCROLL:
    case WM_VSCROLL:
      if (TWScrollbar* bar = Message.Msg == WM_HSCROLL ? FHorzBar : FVertBar) {
        const int request = LOWORD(Message.WParam);
        // The end of a scroll leaves no part highlighted.
        bar->SetHotPart(request == SB_ENDSCROLL ? spNone : request);
        bar->Repaint();
      }
      break;
    case WM_MOUSEWHEEL:
      for (TWScrollbar* bar : {FHorzBar, FVertBar})
        if (bar && bar->Shown()) bar->Repaint();
      break;
    case CM_VISIBLECHANGED:
      if (FControl && FControl->Visible()) {
        PlaceBars();
      } else {
        for (TWScrollbar* bar : {FHorzBar, FVertBar})
          if (bar) bar->HideBar();
      }
      break;
    case CM_ENABLEDCHANGED:
      for (TWScrollbar* bar : {FHorzBar, FVertBar})
        if (bar && FControl) bar->SetEnabled(FControl->Enabled());
      break;
    case CM_RECREATEWND:
      if (FForm && FForm->Window()) PostMessageA(FForm->Window(), SM_RESKINSCROLL, reinterpret_cast<WPARAM>(FHandle), 0);
      break;
    case SM_PAINTFRAMEDC:
      if (Message.LParam == SkinMagic) {
        if (Message.WParam) DrawFrame(reinterpret_cast<HDC>(Message.WParam));
        Message.Result = SkinMagic;
      }
      break;
    default: TSkinControl::AfterMessage(Message);
  }
}

void TSkinScrollbar::Paint(HDC dc, const RECT&) {
  const LONG style = GetWindowLongA(FHandle, GWL_STYLE);
  FCorner = {};
  for (TWScrollbar* bar : {FHorzBar, FVertBar}) {
    if (!bar) continue;
    if (bar->Shown()) bar->Repaint();
    else if (style & (bar->Vertical() ? WS_VSCROLL : WS_HSCROLL)) bar->Place();
  }
  if (FHorzBar && FVertBar && FHorzBar->Shown() && FVertBar->Shown()) {
    FCorner = {FVertBar->BarRect().left + 2, FHorzBar->BarRect().top + 2, FVertBar->BarRect().right + 2,
               FHorzBar->BarRect().bottom + 2};
    FillSkinColor(dc, FCorner);
  }
}

void TSkinScrollbar::SkinChanged() {
  if (FControl && HasProp(FControl, "FixedColor")) {
    FSavedColor = static_cast<TColor>(PropInt(FControl, "FixedColor"));
    FUseSkinColor = true;
    SetPropText(FControl, "FixedColor", AnsiString(std::to_string(static_cast<int64_t>(SkinColor()))));
  }
  Refresh();
}

void TSkinScrollbar::Deactivate() {
  if (FUseSkinColor && FControl && FLifeState != 6) {
    SetPropText(FControl, "FixedColor", AnsiString(std::to_string(static_cast<int64_t>(FSavedColor))));
    FUseSkinColor = false;
  }
  TSkinControl::Deactivate();
  if (FLifeState != 6) FreeBars();
}

// -- Scroll-bar controls.

TSkinScControl::~TSkinScControl() { delete FBar; }

void TSkinScControl::AttachBar(TWinControl* control, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) {
  if (FAttached || !control) return;
  FSkinData = skinData;
  FForm = form;
  FCanvas = canvas;
  FControl = control;
  FControl->FreeNotification(this);
  FHandle = control->Handle();
  if (FForm) FForm->AddSkinControl(this);
  FBar = new TWScrollbar(nullptr);
  FBar->SetShowHint(control->ShowHint());
  FBar->SetHint(control->Hint());
  FBar->AttachControl(this, control, 2);
  if (!control->Visible()) FBar->HideBar();
  FUnicodeWindow = IsWindowUnicode(FHandle);
  FOldWindowProc = control->WindowProc;
  control->WindowProc = TWndMethod::Bind<&TSkinControl::WindowProc>(this);
  FWindowProcHooked = true;
  FAttached = true;
  FLifeState = 1;
}

void TSkinScControl::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_WINDOWPOSCHANGED:
      if (FBar) FBar->Place();
      break;
    case WM_NCPAINT:
      if (FControl) FHandle = FControl->Handle();
      if (FBar) FBar->Place();
      break;
    case SBM_SETSCROLLINFO:
    case CN_VSCROLL:
    case CN_HSCROLL:
      if (FBar) FBar->Repaint();
      break;
    case CM_VISIBLECHANGED:
      if (FBar) {
        if (FControl && FControl->Visible()) FBar->Place();
        else FBar->HideBar();
      }
      break;
    default: TSkinControl::AfterMessage(Message);
  }
}

void TSkinScControl::Paint(HDC, const RECT&) {
  if (FBar) FBar->Repaint();
}

void TSkinScControl::Deactivate() {
  TSkinControl::Deactivate();
  if (FLifeState != 6) {
    delete FBar;
    FBar = nullptr;
  }
}

// -- Track bars.

bool TSkinTrackBar::BeforeMessage(TMessage& Message) {
  if (Message.Msg == WM_NOTIFY || Message.Msg == CN_NOTIFY) {
    // CN_NOTIFY shares its number with the engine's "just skinned" notice,
    // whose lParam is the engine's mark, not a notification header.
    // No header lives in the first 64 KB of the address space.
    if (static_cast<ULONG_PTR>(Message.LParam) < 0x10000) return TSkinControl::BeforeMessage(Message);
    const auto* header = reinterpret_cast<const NMHDR*>(Message.LParam);
    if (header->hwndFrom != FHandle || header->code != static_cast<UINT>(NM_CUSTOMDRAW))
      return TSkinControl::BeforeMessage(Message);
    Message.Result = CustomDraw(*reinterpret_cast<const NMCUSTOMDRAW*>(Message.LParam), Message.Result);
    return false;
  }
  return TSkinControl::BeforeMessage(Message);
}

LRESULT TSkinTrackBar::CustomDraw(const NMCUSTOMDRAW& draw, LRESULT incoming) {
  if (draw.dwDrawStage == CDDS_PREPAINT) {
    FThumbDrawn = FChannelDrawn = false;
    return CDRF_NOTIFYITEMDRAW;
  }
  if (draw.dwDrawStage != CDDS_ITEMPREPAINT) return incoming;
  switch (draw.dwItemSpec) {
    case TBCD_TICS: return CDRF_DODEFAULT;
    case TBCD_THUMB:
      DrawThumb(draw.hdc);
      return CDRF_SKIPDEFAULT;
    case TBCD_CHANNEL:
      DrawChannel(draw.hdc);
      return CDRF_SKIPDEFAULT;
    default: return incoming;
  }
}

void TSkinTrackBar::DrawChannel(HDC dc) {
  RECT c{};
  SendMessageA(FHandle, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&c));
  const bool vertical = (GetWindowLongA(FHandle, GWL_STYLE) & TBS_VERT) != 0;
  TDataSkinObject* vert = FSkinData->Object(soTrackVert);
  if (vertical && vert && !vert->Bitmap->GetEmpty()) {
    // The channel rectangle of a vertical bar comes with its axes swapped.
    c = {c.top, c.left, c.bottom, c.right};
    const int iw = vert->Bitmap->GetWidth();
    const int x = iw < RectWidth(c) ? c.left + (RectWidth(c) - iw) / 2 : 0;
    DrawSkinImage(dc, {x, c.top, x + iw, c.bottom}, vert->Bitmap.get(), false, false, false, 1, 1,
                  {0, vert->TopHeight, 0, vert->BottomHeight});
    FChannelDrawn = true;
    return;
  }
  TDataSkinObject* track = FSkinData->Object(soTrack);
  if (!track || track->Bitmap->GetEmpty()) return;
  const int ih = track->Bitmap->GetHeight();
  const int y = ih < RectHeight(c) ? c.top + (RectHeight(c) - ih) / 2 : 0;
  DrawSkinImage(dc, {c.left, y, c.right, y + ih}, track->Bitmap.get(), false, false, false, 1, 1,
                {track->LeftWidth, 0, track->RightWidth, 0});
  FChannelDrawn = true;
}

void TSkinTrackBar::DrawThumb(HDC dc) {
  if (!IsWindow(FHandle)) return;
  RECT t{};
  SendMessageA(FHandle, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&t));
  const bool vertical = (GetWindowLongA(FHandle, GWL_STYLE) & TBS_VERT) != 0;
  TDataSkinObject* thumb = vertical ? FSkinData->Object(soTrackThumbVert) : nullptr;
  if (!thumb || thumb->Bitmap->GetEmpty()) thumb = FSkinData->Object(soTrackThumbHorz);
  if (thumb && !thumb->Bitmap->GetEmpty()) {
    DrawStripFrameMasked(dc, t, 5, 2, thumb->Bitmap.get());
  } else {
    HPEN pen = CreatePen(PS_SOLID, 1, ColorToRGB(FSkinData->Colors(ccButtonShadow)));
    HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, GetStockObject(NULL_BRUSH));
    Rectangle(dc, t.left, t.top, t.right, t.bottom);
    SelectObject(dc, oldBrush);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
  }
  FThumbDrawn = true;
}

void TSkinTrackBar::SkinChanged() {
  // Taking the focus and giving it back makes the bar draw itself anew.
  const HWND had = GetFocus();
  SetFocus(FHandle);
  if (had && had != FHandle) SetFocus(had);
  Refresh();
}

// -- Size grips.

void TSkinSizer::Paint(HDC dc, const RECT& r) { FillSkinColor(dc, r); }

// -- List views and headers.

TSkinListView::~TSkinListView() { delete FHeader; }

void TSkinListView::AttachScrollbars(TWinControl* control, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) {
  TSkinScrollbar::AttachScrollbars(control, skinData, form, canvas);
  if (FHeader || !FHandle) return;
  if (HWND header = reinterpret_cast<HWND>(SendMessageA(FHandle, LVM_GETHEADER, 0, 0))) {
    FHeader = new TSkinHeader(nullptr);
    FHeader->AttachHandle(header, skinData, nullptr, canvas);
  }
}

void TSkinHeader::Attach(TWinControl* control, TWinSkinForm* form, TSkinData* skinData, bool useSkinColor,
                         TCanvas* canvas) {
  TSkinControl::Attach(control, form, skinData, useSkinColor, canvas);
  FHotItem = -1;
}

void TSkinHeader::AttachHandle(HWND wnd, TSkinData* skinData, TWinSkinForm* form, TCanvas* canvas) {
  TSkinControl::AttachHandle(wnd, skinData, form, canvas);
  FHotItem = -1;
}

bool TSkinHeader::HasImage() const {
  TDataSkinObject* bar = FSkinData ? FSkinData->Object(soHeaderbar) : nullptr;
  return bar && !bar->Bitmap->GetEmpty();
}

bool TSkinHeader::BeforeMessage(TMessage& Message) {
  // Without the image the header paints itself instead of vanishing.
  if (!HasImage()) return TSkinControl::BeforeMessage(Message);
  switch (Message.Msg) {
    case WM_PAINT: HandlePaint(this, Message); return false;
    case WM_ERASEBKGND: Message.Result = 1; return false;
    default: return TSkinControl::BeforeMessage(Message);
  }
}

void TSkinHeader::AfterMessage(TMessage& Message) {
  switch (Message.Msg) {
    case WM_MOUSEMOVE: {
      const POINT p{static_cast<short>(LOWORD(Message.LParam)), static_cast<short>(HIWORD(Message.LParam))};
      for (size_t i = 0; i < FItemRects.size(); ++i)
        if (PtInRect(&FItemRects[i], p)) {
          if (static_cast<int>(i) != FHotItem) {
            FHotItem = static_cast<int>(i);
            Refresh();
          }
          break;
        }
      TrackMouseLeave(FHandle);
      break;
    }
    case WM_MOUSELEAVE:
      FHotItem = -1;
      Refresh();
      break;
    default: TSkinControl::AfterMessage(Message);
  }
}

void TSkinHeader::Paint(HDC dc, const RECT& r) {
  TDataSkinObject* bar = FSkinData->Object(soHeaderbar);
  if (!bar || bar->Bitmap->GetEmpty()) return;
  TBarBuffer buffer(RectWidth(r), RectHeight(r));
  HDC b = buffer.DC();
  FillSkinColor(b, r);
  HFONT font = reinterpret_cast<HFONT>(SendMessageA(FHandle, WM_GETFONT, 0, 0));
  HGDIOBJ oldFont = font ? SelectObject(b, font) : nullptr;
  SetBkMode(b, TRANSPARENT);
  SetTextColor(b, ColorToRGB(FSkinData->Colors(ccWindowText)));
  const int count = static_cast<int>(SendMessageA(FHandle, HDM_GETITEMCOUNT, 0, 0));
  FItemRects.assign(static_cast<size_t>(std::max(count, 0)), RECT{});
  int lastRight = -1;
  for (int i = 0; i < count; ++i) {
    RECT item{};
    if (!SendMessageA(FHandle, HDM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&item))) continue;
    DrawSkinImage(b, item, bar->Bitmap.get(), false, bar->Tile == 1, false, bar->FrameCount, i == FHotItem ? 2 : 1,
                  bar->Margins());
    wchar_t text[202]{};
    HDITEMW hd{};
    hd.mask = HDI_TEXT | HDI_FORMAT;
    hd.pszText = text;
    hd.cchTextMax = 201;
    SendMessageW(FHandle, HDM_GETITEMW, i, reinterpret_cast<LPARAM>(&hd));
    std::wstring caption(text);
    if (!caption.empty()) {
      UINT flags = DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_EXPANDTABS;
      flags |= (hd.fmt & HDF_RIGHT) ? DT_RIGHT : (hd.fmt & HDF_CENTER) ? DT_CENTER : DT_LEFT;
      RECT t = item;
      InflateRect(&t, -4, 0);
      SkinDrawText(b, caption, t, flags);
    }
    FItemRects[static_cast<size_t>(i)] = {item.left + 3, item.top, item.right - 3, item.bottom};
    lastRight = std::max<int>(lastRight, item.right);
  }
  if (lastRight >= 0 && lastRight < r.right)
    DrawSkinImage(b, {lastRight, r.top, r.right, r.bottom}, bar->Bitmap.get(), false, bar->Tile == 1, false,
                  bar->FrameCount, 1, bar->Margins());
  if (oldFont) SelectObject(b, oldFont);
  BitBlt(dc, r.left, r.top, RectWidth(r), RectHeight(r), b, 0, 0, SRCCOPY);
}
