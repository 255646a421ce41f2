#include "platform/ExtCtrls.h"

#include "platform/ControlsProperties.h"
#include "platform/Exceptions.h"

#include <algorithm>

const TClassInfo TCustomPanel::ClassInfo{"TCustomPanel", &TCustomControl::ClassInfo, [](TObject* owner) -> TObject* {
                                           return new TCustomPanel(static_cast<TComponent*>(owner));
                                         }};
const TClassInfo TPanel::ClassInfo{"TPanel", &TCustomPanel::ClassInfo, [](TObject* owner) -> TObject* {
                                     return new TPanel(static_cast<TComponent*>(owner));
                                   }};
const TClassInfo TImage::ClassInfo{"TImage", &TGraphicControl::ClassInfo, [](TObject* owner) -> TObject* {
                                     return new TImage(static_cast<TComponent*>(owner));
                                   }};
const TClassInfo TTimer::ClassInfo{"TTimer", &TComponent::ClassInfo, [](TObject* owner) -> TObject* {
                                     return new TTimer(static_cast<TComponent*>(owner));
                                   }};

// -- TCustomPanel -------------------------------------------------------------------

TCustomPanel::TCustomPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csOpaque, csDoubleClicks,
                   csReplicatable, csParentBackground};
  FParentColor = false;
  FColor = clBtnFace;
  FBrush.SetColor(FColor);
  FWidth = 185;
  FHeight = 41;
  FUseDockManager = true;
}

void TCustomPanel::AdjustClientRect(RECT& Rect) {
  int inset = BorderWidth();
  if (FBevelOuter != bvNone) inset += FBevelWidth;
  if (FBevelInner != bvNone) inset += FBevelWidth;
  InflateRect(&Rect, -inset, -inset);
}

void TCustomPanel::Rebevel() {
  Realign();
  Invalidate();
}

void TCustomPanel::SetBevelInner(TBevelCut value) {
  FBevelInner = value;
  Rebevel();
}

void TCustomPanel::SetBevelOuter(TBevelCut value) {
  FBevelOuter = value;
  Rebevel();
}

void TCustomPanel::SetBevelWidth(int value) {
  FBevelWidth = std::max(value, 1);
  Rebevel();
}

void TCustomPanel::SetAlignment(TAlignment value) {
  FAlignment = value;
  Invalidate();
}

namespace {

void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight, int width) {
  const TGdiObject lightBrush(CheckGDI(CreateSolidBrush(ColorToRGB(topLeft))));
  const TGdiObject darkBrush(CheckGDI(CreateSolidBrush(ColorToRGB(bottomRight))));
  const auto light = static_cast<HBRUSH>(lightBrush.Get()), dark = static_cast<HBRUSH>(darkBrush.Get());
  for (int i = 0; i < width; ++i) {
    RECT top{r.left, r.top, r.right, r.top + 1}, left{r.left, r.top, r.left + 1, r.bottom};
    RECT bottom{r.left, r.bottom - 1, r.right, r.bottom}, right{r.right - 1, r.top, r.right, r.bottom};
    FillRect(dc, &top, light);
    FillRect(dc, &left, light);
    FillRect(dc, &bottom, dark);
    FillRect(dc, &right, dark);
    InflateRect(&r, -1, -1);
  }
}

}  // namespace

void TCustomPanel::Paint() {
  RECT r = ClientRect();
  HDC dc = FCanvas.Handle();
  {
    const TGdiObject face(CheckGDI(CreateSolidBrush(ColorToRGB(FColor))));
    FillRect(dc, &r, static_cast<HBRUSH>(face.Get()));
  }
  if (FBevelOuter != bvNone && FBevelOuter != bvSpace)
    Frame3D(dc, r, FBevelOuter == bvLowered ? clBtnShadow : clBtnHighlight,
            FBevelOuter == bvLowered ? clBtnHighlight : clBtnShadow, FBevelWidth);
  else if (FBevelOuter == bvSpace)
    InflateRect(&r, -FBevelWidth, -FBevelWidth);
  InflateRect(&r, -BorderWidth(), -BorderWidth());
  if (FBevelInner != bvNone && FBevelInner != bvSpace)
    Frame3D(dc, r, FBevelInner == bvLowered ? clBtnShadow : clBtnHighlight,
            FBevelInner == bvLowered ? clBtnHighlight : clBtnShadow, FBevelWidth);
  const AnsiString text = Text();
  if (text.empty()) return;
  FCanvas.Font()->Assign(&FFont);
  dc = FCanvas.Handle();
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(IsControlEnabled() ? FFont.Color() : clGrayText));
  const UINT align = FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, align | DT_VCENTER | DT_SINGLELINE | DT_EXPANDTABS);
}

void TCustomPanel::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_TEXTCHANGED) {
    Invalidate();
    return;
  }
  TCustomControl::Dispatch(Message);
}

// -- TImage ---------------------------------------------------------------------------

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Include(csReplicatable);
  FWidth = 105;
  FHeight = 105;
  FPicture.OnChange = TNotifyEvent::Bind<&TImage::PictureChanged>(this);
  FPicture.OnProgress = TProgressEvent::Lambda(
      [this](TObject*, TProgressStage, uint8_t, bool redrawNow, const RECT&, const AnsiString&) {
        if (redrawNow) Repaint();
      });
}

void TImage::PictureChanged(TObject*) {
  if (FAutoSize && FPicture.Width() > 0 && FPicture.Height() > 0)
    SetBounds(FLeft, FTop, FPicture.Width(), FPicture.Height());
  TGraphic* graphic = FPicture.Graphic();
  if (graphic && !graphic->Transparent()) {
    FControlStyle.Include(csOpaque);
  } else {
    FControlStyle.Exclude(csOpaque);
  }
  Invalidate();
}

void TImage::SetAutoSize(bool value) {
  FAutoSize = value;
  PictureChanged(this);
}

void TImage::SetStretch(bool value) {
  FStretch = value;
  Invalidate();
}

void TImage::SetCenter(bool value) {
  FCenter = value;
  Invalidate();
}

void TImage::SetProportional(bool value) {
  FProportional = value;
  Invalidate();
}

RECT TImage::DestRect() {
  int w = FPicture.Width(), h = FPicture.Height();
  const int cw = FWidth, ch = FHeight;
  if (FStretch || (FProportional && (w > cw || h > ch))) {
    if (FProportional && w > 0 && h > 0) {
      if (static_cast<long long>(cw) * h > static_cast<long long>(ch) * w) {
        w = static_cast<int>(static_cast<long long>(ch) * w / h);
        h = ch;
      } else {
        h = static_cast<int>(static_cast<long long>(cw) * h / w);
        w = cw;
      }
    } else {
      w = cw;
      h = ch;
    }
  }
  RECT r{0, 0, w, h};
  if (FCenter) OffsetRect(&r, (cw - w) / 2, (ch - h) / 2);
  return r;
}

void TImage::Paint() {
  TGraphic* graphic = FPicture.Graphic();
  if (!graphic || graphic->Empty()) return;
  const RECT r = DestRect();
  Canvas()->StretchDraw(r, graphic);
}

// -- TTimer ---------------------------------------------------------------------------

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  FWindowHandle = AllocateHWnd(TWndMethod::Bind<&TTimer::WndProc>(this));
}

TTimer::~TTimer() {
  FEnabled = false;
  if (FWindowHandle) {
    KillTimer(FWindowHandle, 1);
    DeallocateHWnd(FWindowHandle);
  }
}

void TTimer::UpdateTimer() {
  KillTimer(FWindowHandle, 1);
  if (FEnabled && FInterval > 0 && FOnTimer && !IsDestroying())
    if (!SetTimer(FWindowHandle, 1, FInterval, nullptr)) throw EOutOfResources("Not enough timers available");
}

void TTimer::SetEnabled(bool value) {
  if (FEnabled == value) return;
  FEnabled = value;
  UpdateTimer();
}

void TTimer::SetInterval(unsigned value) {
  if (FInterval == value) return;
  FInterval = value;
  UpdateTimer();
}

void TTimer::SetOnTimer(const TNotifyEvent& value) {
  FOnTimer = value;
  UpdateTimer();
}

void TTimer::WndProc(TMessage& Message) {
  if (Message.Msg == WM_TIMER) {
    if (FEnabled) Timer();
    return;
  }
  Message.Result = DefWindowProcA(FWindowHandle, Message.Msg, Message.WParam, Message.LParam);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo BevelCutNames{"TBevelCut", {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
// Forms name a panel's border styles as they name a form's.
const TEnumInfo PanelBorderStyleNames{"TBorderStyle", {"bsNone", "bsSingle"}};

const TPublishedRegistration customPanelRegistration(&TCustomPanel::ClassInfo, {
    Property<&TControl::Caption, &TControl::SetCaption>("Caption"),
    Property<&TCustomPanel::Alignment, &TCustomPanel::SetAlignment>("Alignment", AlignmentNames).Default(taCenter),
    Property<&TCustomPanel::BevelInner, &TCustomPanel::SetBevelInner>("BevelInner", BevelCutNames).Default(bvNone),
    Property<&TCustomPanel::BevelOuter, &TCustomPanel::SetBevelOuter>("BevelOuter", BevelCutNames).Default(bvRaised),
    Property<&TCustomPanel::BevelWidth, &TCustomPanel::SetBevelWidth>("BevelWidth").Default(1),
    Property<&TCustomPanel::FullRepaint, &TCustomPanel::SetFullRepaint>("FullRepaint").Default(true),
    Property<&TCustomPanel::Locked, &TCustomPanel::SetLocked>("Locked").Default(false),
    Property<&TWinControl::BorderWidth, &TWinControl::SetBorderWidth>("BorderWidth").Default(0),
    Property<&TWinControl::BorderStyle, &TWinControl::SetBorderStyle>("BorderStyle", PanelBorderStyleNames)
        .Default(bsNone),
    Property<&TWinControl::DockSite, &TWinControl::SetDockSite>("DockSite").Default(false),
    Property<&TWinControl::UseDockManager, &TWinControl::SetUseDockManager>("UseDockManager").Default(true),
    Event<&TWinControl::OnDockDrop>("OnDockDrop"),
    Event<&TWinControl::OnUnDock>("OnUnDock"),
    Property<&TWinControl::ParentBackground, &TWinControl::SetParentBackground>("ParentBackground").Default(true),
});
const TPublishedRegistration panelRegistration(&TPanel::ClassInfo, {});

const TPublishedRegistration imageRegistration(&TImage::ClassInfo, {
    Property<&TImage::AutoSize, &TImage::SetAutoSize>("AutoSize").Default(false),
    Property<&TImage::Center, &TImage::SetCenter>("Center").Default(false),
    Property<&TImage::Picture>("Picture"),
    Property<&TImage::Proportional, &TImage::SetProportional>("Proportional").Default(false),
    Property<&TImage::Stretch, &TImage::SetStretch>("Stretch").Default(false),
});

const TPublishedRegistration timerRegistration(&TTimer::ClassInfo, {
    Property<&TTimer::Enabled, &TTimer::SetEnabled>("Enabled").Default(true),
    Property<&TTimer::Interval, &TTimer::SetInterval>("Interval").Default(1000),
    Event<&TTimer::OnTimer, &TTimer::SetOnTimer>("OnTimer"),
});

}  // namespace
