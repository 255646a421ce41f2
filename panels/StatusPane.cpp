#include "panels/StatusPane.h"

#include "panels/FrameController.h"
#include "platform/ActnList.h"
#include "platform/ControlsProperties.h"
#include "platform/Graphics.h"

#include <algorithm>

#define MEVRA_PANE_CLASS(T, Parent)                                                          \
  const TClassInfo T::ClassInfo{#T, &Parent::ClassInfo, [](TObject* owner) -> TObject* { \
                                  return new T(static_cast<TComponent*>(owner));           \
                                }}

const TClassInfo TRzBlinkingControlsList::ClassInfo{"TRzBlinkingControlsList", &TObject::ClassInfo, nullptr};
MEVRA_PANE_CLASS(TRzCustomStatusPane, TGraphicControl);
MEVRA_PANE_CLASS(TRzStatusPane, TRzCustomStatusPane);
MEVRA_PANE_CLASS(TRzCustomFieldStatus, TRzCustomStatusPane);
MEVRA_PANE_CLASS(TRzFieldStatus, TRzCustomFieldStatus);

TRzBlinkingControlsList* BlinkingControls = nullptr;

// -- TRzBlinkingControlsList ----------------------------------------------------

TRzBlinkingControlsList::TRzBlinkingControlsList() {
  FTimer = New<TTimer>(nullptr);
  FTimer->SetInterval(IntervalOff);
  FTimer->SetOnTimer(TNotifyEvent::Bind<&TRzBlinkingControlsList::TimerFired>(this));
}

TRzBlinkingControlsList::~TRzBlinkingControlsList() { FreeAndNil(FTimer); }

void TRzBlinkingControlsList::Add(TControl* control) { FControls.push_back(control); }

void TRzBlinkingControlsList::Remove(TControl* control) {
  const auto it = std::find(FControls.begin(), FControls.end(), control);
  if (it != FControls.end()) FControls.erase(it);
}

void TRzBlinkingControlsList::TimerFired(TObject*) {
  // An interval of 0 stops the timer: panes that store both intervals as 0
  // get one tick and no more.
  if (FBlinkState != 0) {
    FBlinkState = 0;
    FTimer->SetInterval(IntervalOff);
  } else {
    FBlinkState = 1;
    FTimer->SetInterval(IntervalOn);
  }
  // A pane may go while it repaints: walk a copy and skip the ones gone.
  const std::vector<TControl*> controls = FControls;
  for (TControl* control : controls) {
    if (std::find(FControls.begin(), FControls.end(), control) == FControls.end()) continue;
    if (control->Perform(CM_BLINKQUERY) == 1) control->Perform(CM_BLINKSTATE, FBlinkState);
  }
}

void ReleaseBlinkingControlsIfEmpty() {
  if (BlinkingControls && BlinkingControls->ControlCount() == 0) FreeAndNil(BlinkingControls);
}

// -- TRzCustomStatusPane ----------------------------------------------------------

TRzCustomStatusPane::TRzCustomStatusPane(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle.Exclude(csOpaque);
  FWidth = 100;
  FHeight = 20;
  FParentColor = true;
  FFillColor = FColor;
  FNormalTextColor = FFont.Color();
  FCurrentTextColor = FNormalTextColor;
  if (!BlinkingControls) BlinkingControls = New<TRzBlinkingControlsList>();
  BlinkingControls->Add(this);
}

TRzCustomStatusPane::~TRzCustomStatusPane() {
  SetFrameController(nullptr);
  if (BlinkingControls) {
    BlinkingControls->Remove(this);
    ReleaseBlinkingControlsIfEmpty();
  }
}

void TRzCustomStatusPane::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  Invalidate();
}

void TRzCustomStatusPane::SetAutoSize(bool value) {
  if (FAutoSize == value) return;
  FAutoSize = value;
  AdjustSize();
}

void TRzCustomStatusPane::SetDefaultWidth(int value) {
  if (FDefaultWidth == value) return;
  FDefaultWidth = value;
  AdjustSize();
}

void TRzCustomStatusPane::SetBlinking(bool value) {
  if (FBlinking == value) return;
  FBlinking = value;
  if (!value) {
    FCurrentTextColor = FNormalTextColor;
    Repaint();
  }
}

void TRzCustomStatusPane::SetBlinkColor(TColor value) {
  if (FBlinkColor == value) return;
  FBlinkColor = value;
  Invalidate();
}

uint16_t TRzCustomStatusPane::BlinkIntervalOff() const { return BlinkingControls ? BlinkingControls->IntervalOff : 500; }
void TRzCustomStatusPane::SetBlinkIntervalOff(uint16_t value) {
  if (BlinkingControls) BlinkingControls->IntervalOff = value;
}
uint16_t TRzCustomStatusPane::BlinkIntervalOn() const { return BlinkingControls ? BlinkingControls->IntervalOn : 500; }
void TRzCustomStatusPane::SetBlinkIntervalOn(uint16_t value) {
  if (BlinkingControls) BlinkingControls->IntervalOn = value;
}

void TRzCustomStatusPane::SetBorderWidth(int value) {
  if (FBorderWidth == value) return;
  FBorderWidth = value;
  Invalidate();
}

void TRzCustomStatusPane::SetCaption(const AnsiString& value) {
  if (FCaption == value) return;
  FCaption = value;
  Perform(CM_TEXTCHANGED);
}

void TRzCustomStatusPane::SetCaptionOffset(int value) {
  if (FCaptionOffset == value) return;
  FCaptionOffset = value;
  AdjustSize();
  Invalidate();
}

void TRzCustomStatusPane::SetFillColor(TColor value) {
  FFillColor = value;
  FParentFillColor = false;
  Invalidate();
}

void TRzCustomStatusPane::SetParentFillColor(bool value) {
  if (FParentFillColor == value) return;
  FParentFillColor = value;
  if (FParent && !ComponentState().Contains(csReading)) Perform(CM_PARENTCOLORCHANGED);
}

void TRzCustomStatusPane::SetFlatColor(TColor value) {
  if (FFlatColor == value) return;
  FFlatColor = value;
  Invalidate();
}

void TRzCustomStatusPane::SetFlatColorAdjustment(int value) {
  if (FFlatColorAdjustment == value) return;
  FFlatColorAdjustment = value;
  Invalidate();
}

void TRzCustomStatusPane::SetFrameStyle(TFrameStyle value) {
  if (FFrameStyle == value) return;
  FFrameStyle = value;
  Invalidate();
}

void TRzCustomStatusPane::SetFrameController(TRzFrameController* value) {
  LinkFrameController(this, FFrameController, value);
}

void TRzCustomStatusPane::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  if (value) {
    FControlStyle.Exclude(csOpaque);
  } else {
    FControlStyle.Include(csOpaque);
  }
  Invalidate();
}

void TRzCustomStatusPane::Loaded() {
  TGraphicControl::Loaded();
  // A pane with its own colour paints it: the stored Transparent gives way.
  if (!FParentColor) SetTransparent(false);
  FNormalTextColor = FFont.Color();
  FCurrentTextColor = FNormalTextColor;
  AdjustSize();
}

bool TRzCustomStatusPane::ExecuteAction(TBasicAction* Action) {
  if (FAutoHint) {
    if (auto* hint = dynamic_cast<THintAction*>(Action)) {
      SetCaption(hint->Hint());
      return true;
    }
  }
  return TGraphicControl::ExecuteAction(Action);
}

void TRzCustomStatusPane::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == FFrameController) FFrameController = nullptr;
}

TAlignment TRzCustomStatusPane::DrawAlignment() const {
  if (!UseRightToLeftAlignment()) return FAlignment;
  if (FAlignment == taLeftJustify) return taRightJustify;
  if (FAlignment == taRightJustify) return taLeftJustify;
  return FAlignment;
}

int TRzCustomStatusPane::CaptionTextHeight() { return Canvas()->TextHeight("Pp"); }

RECT TRzCustomStatusPane::GetTextRect() {
  int k = 0;
  switch (FFrameStyle) {
    case fsNone:
    case fsFlatRounded:
      k = 0;
      break;
    case fsFlat:
    case fsStatus:
    case fsPopup:
      k = 1;
      break;
    default:
      k = 2;
      break;
  }
  RECT r = ClientRect();
  InflateRect(&r, -(FBorderWidth + k), -(FBorderWidth + k));
  return r;
}

int TRzCustomStatusPane::GetAutoWidth() {
  if (FCaption.empty()) return FDefaultWidth;
  RECT r = ClientRect();
  Canvas()->Font()->Assign(&FFont);
  DrawTextA(Canvas()->Handle(), FCaption.c_str(), static_cast<int>(FCaption.size()), &r,
            DT_CALCRECT | DT_EXPANDTABS | DT_NOPREFIX);
  return (r.right - r.left) + 2 * FBorderWidth + FCaptionOffset + 6;
}

void TRzCustomStatusPane::AdjustSize() {
  if (ComponentState().Contains(csReading) || !FAutoSize) return;
  const TScreenDC dc;
  // The canvas measures on the screen for the moment.
  TCanvas* canvas = Canvas();
  canvas->SetHandle(dc.Get());
  int width = 0;
  try {
    width = GetAutoWidth();
  } catch (...) {
    canvas->SetHandle(nullptr);
    throw;
  }
  canvas->SetHandle(nullptr);
  SetWidth(width);
}

void TRzCustomStatusPane::Paint() {
  DrawFrame();
  DrawCaption(FCaption);
}

void TRzCustomStatusPane::DrawFrame() {
  TCanvas* canvas = Canvas();
  RECT r{0, 0, FWidth, FHeight};
  if (!FTransparent) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FColor);
    canvas->FillRect(r);
  }
  canvas->Pen()->SetWidth(1);
  InflateRect(&r, -FBorderWidth, -FBorderWidth);
  if (FFrameStyle != fsFlat) {
    PaintStyleFrame(canvas, r, FFrameStyle);
    return;
  }
  canvas->Pen()->SetColor(ShadeByAmount(FFlatColor, FFlatColorAdjustment));
  canvas->MoveTo(r.left, r.top + 1);
  canvas->LineTo(r.left, r.bottom - 1);
  canvas->MoveTo(r.left + 1, r.top);
  canvas->LineTo(r.right - 1, r.top);
  canvas->MoveTo(r.right - 1, r.top + 1);
  canvas->LineTo(r.right - 1, r.bottom - 1);
  canvas->MoveTo(r.left + 1, r.bottom - 1);
  canvas->LineTo(r.right - 1, r.bottom - 1);
}

void TRzCustomStatusPane::DrawCaption(const AnsiString& text) {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(&FFont);
  canvas->Font()->SetColor(FCurrentTextColor);
  const RECT r = GetTextRect();
  const TAlignment alignment = DrawAlignment();
  int x = 0;
  UINT align = TA_LEFT;
  if (alignment == taLeftJustify) {
    x = r.left + FCaptionOffset + 1;
  } else if (alignment == taRightJustify) {
    x = r.right - FCaptionOffset - 1;
    align = TA_RIGHT;
  } else {
    x = r.left + (r.right - r.left) / 2;
    align = TA_CENTER;
  }
  SetTextAlign(canvas->Handle(), align);
  const int y = r.top + (r.bottom - r.top - CaptionTextHeight()) / 2;
  if (FTransparent) {
    canvas->Brush()->SetStyle(bsClear);
  } else {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FFillColor);
  }
  if (!Enabled()) canvas->Font()->SetColor(clGrayText);
  canvas->TextRect(r, x, y, text);
  SetTextAlign(canvas->Handle(), TA_LEFT);
}

void TRzCustomStatusPane::UpdateFromFrameController() {
  if (!FFrameController || !FFrameController->FrameVisible()) return;
  if (FFrameControllerNotifications.Contains(fcpFrameStyle)) FFrameStyle = FFrameController->FrameStyle();
  if (FFrameControllerNotifications.Contains(fcpFrameColor)) {
    FFlatColor = FFrameController->FrameColor();
    FFlatColorAdjustment = 0;
  }
  if (FFrameControllerNotifications.Contains(fcpColor)) SetFillColor(FFrameController->Color());
  if (FFrameControllerNotifications.Contains(fcpParentColor)) SetParentColor(FFrameController->ParentColor());
  Invalidate();
}

void TRzCustomStatusPane::BlinkStateChanged(int state) {
  FCurrentTextColor = state == 1 ? FBlinkColor : FNormalTextColor;
  Repaint();
}

void TRzCustomStatusPane::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_BLINKQUERY:
      Message.Result = FBlinking ? 1 : 0;
      return;
    case CM_BLINKSTATE:
      if (FBlinking) BlinkStateChanged(static_cast<int>(Message.WParam));
      return;
    case CM_FONTCHANGED:
      TGraphicControl::Dispatch(Message);
      if (!ComponentState().Contains(csLoading)) {
        FNormalTextColor = FFont.Color();
        if (!FBlinking) FCurrentTextColor = FNormalTextColor;
        AdjustSize();
      }
      return;
    case CM_TEXTCHANGED:
      Invalidate();
      AdjustSize();
      return;
    case CM_COLORCHANGED:
    case CM_PARENTCOLORCHANGED:
      TGraphicControl::Dispatch(Message);
      if (FParentFillColor) FFillColor = FColor;
      Invalidate();
      return;
    case CM_MOUSEENTER:
      if (ComponentState().Contains(csDesigning)) return;
      break;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

// -- TRzCustomFieldStatus ---------------------------------------------------------

void TRzCustomFieldStatus::SetFieldLabel(const AnsiString& value) {
  if (FFieldLabel == value) return;
  FFieldLabel = value;
  AdjustSize();
  Invalidate();
}

void TRzCustomFieldStatus::SetFieldLabelColor(TColor value) {
  if (FFieldLabelColor == value) return;
  FFieldLabelColor = value;
  Invalidate();
}

int TRzCustomFieldStatus::LabelWidth() {
  if (FFieldLabel.empty()) return 0;
  if (Canvas()->HandleAllocated()) {
    Canvas()->Font()->Assign(&FFont);
    return Canvas()->TextWidth(FFieldLabel);
  }
  // Outside painting and measuring: on the screen, so that the control
  // canvas does not take (and keep) a device context of the parent.
  const TScreenDC dc;
  const TSelectObjectGuard font(dc.Get(), FFont.Handle());
  SIZE size{};
  GetTextExtentPoint32A(dc.Get(), FFieldLabel.c_str(), static_cast<int>(FFieldLabel.size()), &size);
  return size.cx;
}

RECT TRzCustomFieldStatus::GetTextRect() {
  RECT r = TRzCustomStatusPane::GetTextRect();
  if (FFieldLabel.empty()) return r;
  // The label comes first in reading order: on the right for right to left.
  if (UseRightToLeftAlignment()) {
    r.right -= LabelWidth() + 2 * FCaptionOffset;
  } else {
    r.left += LabelWidth() + 2 * FCaptionOffset;
  }
  return r;
}

int TRzCustomFieldStatus::GetAutoWidth() {
  if (FFieldLabel.empty()) return TRzCustomStatusPane::GetAutoWidth();
  return LabelWidth() + TRzCustomStatusPane::GetAutoWidth() + 2 * FCaptionOffset;
}

void TRzCustomFieldStatus::DrawCaption(const AnsiString& text) {
  TRzCustomStatusPane::DrawCaption(text);
  if (FFieldLabel.empty()) return;
  TCanvas* canvas = Canvas();
  const RECT r = TRzCustomStatusPane::GetTextRect();
  const int width = LabelWidth();
  const bool rightToLeft = UseRightToLeftAlignment();
  const RECT labelRect = rightToLeft ? RECT{r.right - width - FCaptionOffset - 2, r.top, r.right, r.bottom}
                                     : RECT{r.left, r.top, r.left + width + FCaptionOffset + 2, r.bottom};
  if (FTransparent) {
    canvas->Brush()->SetStyle(bsClear);
  } else {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(FFillColor);
  }
  SetTextAlign(canvas->Handle(), rightToLeft ? TA_RIGHT : TA_LEFT);
  const int x = rightToLeft ? r.right - FCaptionOffset - 1 : r.left + FCaptionOffset + 1;
  const int y = r.top + (r.bottom - r.top - CaptionTextHeight()) / 2;
  canvas->Font()->SetColor(Enabled() ? FFieldLabelColor : clGrayText);
  canvas->TextRect(labelRect, x, y, FFieldLabel);
  SetTextAlign(canvas->Handle(), TA_LEFT);
}

// -- Published properties ----------------------------------------------------------

namespace {

bool FillColorStored(TObject* o) { return !static_cast<TRzCustomStatusPane*>(o)->ParentFillColor(); }

using P = TRzCustomStatusPane;

// What every pane class publishes.
#define MEVRA_PANE_PROPERTIES                                                                                    \
  Property<&P::Alignment, &P::SetAlignment>("Alignment", AlignmentNames).Default(taLeftJustify),               \
      Property<&P::AutoSize, &P::SetAutoSize>("AutoSize").Default(false),                                       \
      Property<&P::Blinking, &P::SetBlinking>("Blinking").Default(false),                                       \
      Property<&P::BlinkColor, &P::SetBlinkColor>("BlinkColor", pkColor).Default(clHighlight),                  \
      Property<&P::BlinkIntervalOff, &P::SetBlinkIntervalOff>("BlinkIntervalOff").Default(500),                 \
      Property<&P::BlinkIntervalOn, &P::SetBlinkIntervalOn>("BlinkIntervalOn").Default(500),                    \
      Property<&P::BorderWidth, &P::SetBorderWidth>("BorderWidth").Default(1),                                  \
      Property<&P::CaptionOffset, &P::SetCaptionOffset>("CaptionOffset").Default(2),                            \
      Property<&P::DefaultWidth, &P::SetDefaultWidth>("DefaultWidth").Default(40),                              \
      StoredWhen(Property<&P::FillColor, &P::SetFillColor>("FillColor", pkColor), FillColorStored),             \
      Property<&P::FlatColor, &P::SetFlatColor>("FlatColor", pkColor).Default(clBtnShadow),                     \
      Property<&P::FlatColorAdjustment, &P::SetFlatColorAdjustment>("FlatColorAdjustment").Default(30),         \
      Property<&P::FrameStyle, &P::SetFrameStyle>("FrameStyle", FrameStyleNames).Default(fsFlat),               \
      Property<&P::FrameController, &P::SetFrameController>("FrameController"),                                 \
      Property<&P::FrameControllerNotifications, &P::SetFrameControllerNotifications>(                          \
          "FrameControllerNotifications", FrameControllerNotificationNames)                                                    \
          .Default(fcpAllNotifications),                                                                        \
      Property<&P::ParentFillColor, &P::SetParentFillColor>("ParentFillColor").Default(true),                   \
      Property<&P::Transparent, &P::SetTransparent>("Transparent").Default(true)

const TPublishedRegistration customPaneRegistration(&TRzCustomStatusPane::ClassInfo, {});
const TPublishedRegistration paneRegistration(&TRzStatusPane::ClassInfo, {
    MEVRA_PANE_PROPERTIES,
    Property<&P::AutoHint, &P::SetAutoHint>("AutoHint").Default(false),
    Property<&P::Caption, &P::SetCaption>("Caption"),
});

using F = TRzCustomFieldStatus;
const TPublishedRegistration customFieldRegistration(&TRzCustomFieldStatus::ClassInfo, {
    MEVRA_PANE_PROPERTIES,
    Property<&F::FieldLabel, &F::SetFieldLabel>("FieldLabel"),
    Property<&F::FieldLabelColor, &F::SetFieldLabelColor>("FieldLabelColor", pkColor).Default(clHighlight),
});
const TPublishedRegistration fieldRegistration(&TRzFieldStatus::ClassInfo, {
    Property<&P::AutoHint, &P::SetAutoHint>("AutoHint").Default(false),
    Property<&P::Caption, &P::SetCaption>("Caption"),
});

#undef MEVRA_PANE_PROPERTIES

}  // namespace
