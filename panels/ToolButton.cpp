#include "panels/ToolButton.h"

#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "panels/ColorHelpers.h"
#include "panels/FrameController.h"
#include "panels/Gradients.h"
#include "panels/Panel.h"
#include "panels/Toolbar.h"
#include "platform/ControlsProperties.h"
#include "platform/Filer.h"
#include "platform/Graphics.h"
#include "platform/Properties.h"
#include "platform/Screen.h"
#include "platform/Seams.h"

#include <vssym32.h>

#include <algorithm>

const TClassInfo TRzToolButton::ClassInfo{"TRzToolButton", &TGraphicControl::ClassInfo,
                                          [](TObject* owner) -> TObject* {
                                            return new TRzToolButton(static_cast<TComponent*>(owner));
                                          }};
const TClassInfo TRzToolButtonActionLink::ClassInfo{"TRzToolButtonActionLink", &TControlActionLink::ClassInfo,
                                                    [](TObject* client) -> TObject* {
                                                      return new TRzToolButtonActionLink(client);
                                                    }};

namespace {

// The size of `text` in `font` on the screen.
SIZE MeasureOnScreen(TFont* font, const AnsiString& text, RECT limit, UINT flags) {
  const TScreenDC dc;
  const TSelectObjectGuard selected(dc.Get(), font->Handle());
  DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &limit, flags | DT_CALCRECT);
  return SIZE{limit.right - limit.left, limit.bottom - limit.top};
}

}  // namespace

TRzToolButton::TRzToolButton(TComponent* AOwner) : TGraphicControl(AOwner) {
  FWidth = 25;
  FHeight = 25;
  FColor = clBtnFace;
  FParentColor = false;
  // Clicks come from MouseUp, not from the platform; a double click is an
  // ordinary press.
  FControlStyle = TControlStyle{csCaptureMouse};
  SetDragMode(dmManual);
  FImageChangeLink.OnChange = TNotifyEvent::Bind<&TRzToolButton::ImageListChange>(this);
}

TRzToolButton::~TRzToolButton() {
  if (FImages) FImages->UnRegisterChanges(&FImageChangeLink);
}

TRzToolbar* TRzToolButton::Toolbar() const { return ObjectAs<TRzToolbar>(Parent()); }

TCustomImageList* TRzToolButton::EffectiveImages() const {
  if (FImages) return FImages;
  if (TRzToolbar* toolbar = Toolbar()) return toolbar->Images();
  return nullptr;
}

bool TRzToolButton::IsThemed() const { return FVisualStyle == vsWinXP && PanelVisualStylesEnabled(); }
bool TRzToolButton::IsFlatLook() const { return FFlat || IsThemed(); }
bool TRzToolButton::IsSplitButton() const { return FToolStyle == tsDropDown && (OnClick || Action()); }

// -- Properties -------------------------------------------------------------------

void TRzToolButton::SetAllowAllUp(bool value) {
  FAllowAllUp = value;
  UpdateExclusive();
}

void TRzToolButton::SetDown(bool value) {
  if (FGroupIndex == 0) value = false;
  if (value == FDown) return;
  // A latched button of a group stays down unless the group allows all up.
  if (FDown && !FAllowAllUp) return;
  FDown = value;
  if (value) {
    if (FState == rbsUp) Invalidate();
    FState = rbsExclusive;
    UpdateExclusive();
  } else {
    FState = rbsUp;
    Repaint();
  }
}

void TRzToolButton::SetFlat(bool value) {
  if (FFlat == value) return;
  FFlat = value;
  Repaint();
}

void TRzToolButton::SetGroupIndex(int value) {
  if (FToolStyle == tsDropDown) value = 0;
  FGroupIndex = value;
  UpdateExclusive();
}

#define MEVRA_TOOL_BUTTON_SETTER(Name, Type, Field) \
  void TRzToolButton::Set##Name(Type value) {       \
    if (Field == value) return;                     \
    Field = value;                                  \
    Invalidate();                                   \
  }

MEVRA_TOOL_BUTTON_SETTER(ImageIndex, int, FImageIndex)
MEVRA_TOOL_BUTTON_SETTER(DownIndex, int, FDownIndex)
MEVRA_TOOL_BUTTON_SETTER(DisabledIndex, int, FDisabledIndex)
MEVRA_TOOL_BUTTON_SETTER(HotIndex, int, FHotIndex)
MEVRA_TOOL_BUTTON_SETTER(Transparent, bool, FTransparent)
MEVRA_TOOL_BUTTON_SETTER(Alignment, TAlignment, FAlignment)
MEVRA_TOOL_BUTTON_SETTER(GradientColorStyle, TRzGradientColorStyle, FGradientColorStyle)
MEVRA_TOOL_BUTTON_SETTER(SelectionColorStart, TColor, FSelectionColorStart)
MEVRA_TOOL_BUTTON_SETTER(SelectionColorStop, TColor, FSelectionColorStop)
MEVRA_TOOL_BUTTON_SETTER(SelectionFrameColor, TColor, FSelectionFrameColor)

#undef MEVRA_TOOL_BUTTON_SETTER

void TRzToolButton::SetImages(TCustomImageList* value) {
  if (FImages == value) return;
  if (FImages) {
    FImages->UnRegisterChanges(&FImageChangeLink);
    FImages->RemoveFreeNotification(this);
  }
  FImages = value;
  if (value) {
    value->RegisterChanges(&FImageChangeLink);
    value->FreeNotification(this);
    EnsureSizeForImages();
  }
  Invalidate();
}

void TRzToolButton::ImageListChange(TObject* Sender) {
  if (Sender != FImages) return;
  EnsureSizeForImages();
  Invalidate();
}

void TRzToolButton::EnsureSizeForImages() {
  if (!FImages) return;
  SetBounds(FLeft, FTop, std::max(FWidth, FImages->Width()), std::max(FHeight, FImages->Height()));
}

void TRzToolButton::SetLayout(TButtonLayout value) {
  if (!ComponentState().Contains(csReading)) FUseToolbarButtonLayout = false;
  if (FLayout == value) return;
  FLayout = value;
  Invalidate();
}

void TRzToolButton::SetDropDownMenu(TPopupMenu* value) {
  if (FDropDownMenu == value) return;
  if (FDropDownMenu) FDropDownMenu->RemoveFreeNotification(this);
  FDropDownMenu = value;
  if (value) value->FreeNotification(this);
}

void TRzToolButton::SetToolStyle(TRzToolStyle value) {
  if (FToolStyle == value) return;
  FToolStyle = value;
  FGroupIndex = 0;
  // The arrow part widens the button; the toolbar's size stays in force.
  if (!ComponentState().Contains(csLoading))
    SetBounds(FLeft, FTop, FWidth + (value == tsDropDown ? ToolButtonArrowWidth : -ToolButtonArrowWidth), FHeight);
  Invalidate();
}

void TRzToolButton::SetShowCaption(bool value) {
  FUseToolbarShowCaption = false;
  if (FShowCaption == value) return;
  FShowCaption = value;
  Invalidate();
}

void TRzToolButton::SetVisualStyle(TRzVisualStyle value) {
  FUseToolbarVisualStyle = false;
  if (FVisualStyle == value) return;
  FVisualStyle = value;
  Invalidate();
}

void TRzToolButton::SetWidth(int value) {
  SetBounds(FLeft, FTop, value, FHeight);
  if (!ComponentState().Contains(csLoading)) FUseToolbarButtonSize = false;
  Invalidate();
}

void TRzToolButton::SetHeight(int value) {
  SetBounds(FLeft, FTop, FWidth, value);
  if (!ComponentState().Contains(csLoading)) FUseToolbarButtonSize = false;
  Invalidate();
}

namespace {

// A use-toolbar flag set again takes the toolbar's value at once.
void ApplyUseToolbarFlag(TRzToolButton* button, bool& field, bool value, UINT message) {
  field = value;
  if (value && button->Parent() && !button->ComponentState().Contains(csReading)) button->Perform(message);
}

}  // namespace

void TRzToolButton::SetUseToolbarButtonLayout(bool value) {
  ApplyUseToolbarFlag(this, FUseToolbarButtonLayout, value, CM_TOOLBARBUTTONLAYOUT);
}
void TRzToolButton::SetUseToolbarButtonSize(bool value) {
  ApplyUseToolbarFlag(this, FUseToolbarButtonSize, value, CM_TOOLBARBUTTONSIZE);
}
void TRzToolButton::SetUseToolbarShowCaption(bool value) {
  ApplyUseToolbarFlag(this, FUseToolbarShowCaption, value, CM_TOOLBARSHOWCAPTION);
}
void TRzToolButton::SetUseToolbarVisualStyle(bool value) {
  ApplyUseToolbarFlag(this, FUseToolbarVisualStyle, value, CM_TOOLBARVISUALSTYLE);
}

void TRzToolButton::UpdateExclusive() {
  if (FGroupIndex == 0 || !Parent()) return;
  TMessage message{CM_BUTTONPRESSED, static_cast<WPARAM>(FGroupIndex), reinterpret_cast<LPARAM>(this), 0};
  Parent()->Broadcast(message);
}

// -- The toolbar's settings ---------------------------------------------------------

void TRzToolButton::SyncWithToolbar() {
  if (!Parent()) return;
  Perform(CM_TOOLBARSHOWCAPTION);
  Perform(CM_TOOLBARBUTTONLAYOUT);
  Perform(CM_TOOLBARBUTTONSIZE);
  Perform(CM_TOOLBARVISUALSTYLE);
}

int TRzToolButton::CaptionTextWidth() {
  const AnsiString caption = Caption();
  if (caption.empty()) return 0;
  return MeasureOnScreen(Font(), caption, RECT{0, 0, 0, 0}, DT_SINGLELINE | DT_EXPANDTABS).cx;
}

void TRzToolButton::ApplyToolbarSize() {
  TRzToolbar* toolbar = Toolbar();
  if (!toolbar || !FUseToolbarButtonSize) return;
  int w = toolbar->ButtonWidth();
  if (FShowCaption) {
    if (FLayout == blGlyphLeft || FLayout == blGlyphRight) {
      w = std::max(w, static_cast<int>(GetGlyphSize().cx) + CaptionTextWidth() + 12);
    } else {
      w = std::max(w, CaptionTextWidth() + 8);
    }
  }
  if (FToolStyle == tsDropDown) w += ToolButtonArrowWidth;
  SetWidth(w);
  SetHeight(toolbar->ButtonHeight());
  FUseToolbarButtonSize = true;
}

void TRzToolButton::Loaded() {
  TGraphicControl::Loaded();
  SyncWithToolbar();
}

void TRzToolButton::SetParent(TWinControl* value) {
  TGraphicControl::SetParent(value);
  if (!ComponentState().Contains(csLoading)) SyncWithToolbar();
}

void TRzToolButton::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation != opRemove) return;
  if (component == FImages) {
    FImages = nullptr;
    Invalidate();
  }
  if (component == FDropDownMenu) FDropDownMenu = nullptr;
}

void TRzToolButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TOOLBARSHOWCAPTION:
      if (TRzToolbar* toolbar = Toolbar(); toolbar && FUseToolbarShowCaption) {
        SetShowCaption(toolbar->ShowButtonCaptions());
        FUseToolbarShowCaption = true;
      }
      return;
    case CM_TOOLBARBUTTONLAYOUT:
      if (TRzToolbar* toolbar = Toolbar(); toolbar && FUseToolbarButtonLayout) {
        SetLayout(toolbar->ButtonLayout());
        FUseToolbarButtonLayout = true;
      }
      return;
    case CM_TOOLBARBUTTONSIZE:
      ApplyToolbarSize();
      return;
    case CM_TOOLBARVISUALSTYLE:
      if (TRzToolbar* toolbar = Toolbar(); toolbar && FUseToolbarVisualStyle) {
        SetVisualStyle(toolbar->VisualStyle());
        SetGradientColorStyle(toolbar->GradientColorStyle());
        FUseToolbarVisualStyle = true;
      }
      return;
    case CM_TEXTCHANGED:
      Invalidate();
      // While loading, a caption read before the button's own size or
      // use-toolbar flags would size it as the toolbar's; Loaded syncs.
      if (!ComponentState().Contains(csLoading)) SyncWithToolbar();
      return;
    case CM_MOUSEENTER:
      if (ComponentState().Contains(csDesigning)) return;
      FMouseOverButton = true;
      TGraphicControl::Dispatch(Message);
      if (IsFlatLook()) Repaint();
      return;
    case CM_MOUSELEAVE:
      if (!FInDropDown) FMouseOverButton = false;
      TGraphicControl::Dispatch(Message);
      if (IsFlatLook()) Repaint();
      return;
    case CM_BUTTONPRESSED: {
      auto* sender = ObjectAs<TRzToolButton>(reinterpret_cast<TObject*>(Message.LParam));
      if (!sender || sender == this || static_cast<int>(Message.WParam) != FGroupIndex) return;
      if (sender->FDown && FDown) {
        FDown = false;
        FState = rbsUp;
        Invalidate();
      }
      FAllowAllUp = sender->FAllowAllUp;
      return;
    }
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && Enabled() && Visible() && Parent() && Parent()->Showing()) {
        if (FToolStyle == tsButton || OnClick || Action()) {
          Click();
        } else {
          DoDropDown();
        }
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

// -- Mouse ---------------------------------------------------------------------------

void TRzToolButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!self.Get()) return;
  if (FToolStyle == tsDropDown && FDropDownMenu && Button == mbLeft && Shift == TShiftState{ssLeft}) {
    const bool onArrow = UseRightToLeftAlignment() ? X < ToolButtonArrowWidth + 1 : X >= FWidth - ToolButtonArrowWidth;
    if (onArrow || !(OnClick || Action())) {
      if (FDropTime != 0 && TickCount() < FDropTime + 100) {
        // The press that closed the menu: it does not open it again.
        FTreatAsNormal = true;
        FDropTime = 0;
        if (GetCapture()) ReleaseCapture();
      } else {
        FState = rbsDropDown;
        Repaint();
        DoDropDown();
        if (!self.Get()) return;
        FTreatAsNormal = false;
        FDropTime = TickCount();
      }
      MouseUp(Button, Shift, X, Y);
      return;
    }
  }
  if (FToolStyle == tsDropDown && !FTreatAsNormal) {
    FTreatAsNormal = true;
    return;
  }
  if (Button != mbLeft || !Enabled()) return;
  if (FToolStyle == tsDropDown) {
    if (!FDown) {
      FState = rbsDown;
      Invalidate();
    }
  } else if (!FDown || FState == rbsExclusive) {
    FState = rbsDown;
    Invalidate();
  }
  FDragging = true;
}

void TRzToolButton::MouseMove(TShiftState Shift, int X, int Y) {
  TGraphicControl::MouseMove(Shift, X, Y);
  if (FDragging) {
    const bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    TRzToolButtonState state = FDown ? rbsExclusive : rbsUp;
    if (inside) state = FDown ? rbsExclusive : rbsDown;
    if (state != FState) {
      FState = state;
      Invalidate();
    }
  } else if (!FMouseOverButton) {
    UpdateTracking();
  }
}

void TRzToolButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (!self.Get()) return;
  if (FDragging) {
    FDragging = false;
    bool inside = X >= 0 && X < FWidth && Y >= 0 && Y < FHeight;
    if (FGroupIndex == 0) {
      FState = rbsUp;
      FMouseOverButton = false;
      Repaint();
    } else if (inside) {
      const bool was = FDown;
      SetDown(!FDown);
      if (FDown) {
        FState = rbsExclusive;
        Repaint();
      }
      inside = FDown != was;
    } else {
      if (FDown) FState = rbsExclusive;
      Repaint();
    }
    if (inside) Click();
    if (!self.Get()) return;
    UpdateTracking();
  }
  if (FToolStyle == tsDropDown) {
    POINT cursor{};
    GetCursorPos(&cursor);
    const POINT p = ScreenToClient(cursor);
    if (!(p.x >= 0 && p.x < FWidth && p.y >= 0 && p.y < FHeight)) FTreatAsNormal = true;
    FState = rbsUp;
    Repaint();
    UpdateTracking();
  }
}

void TRzToolButton::Click() {
  if (FToolStyle == tsButton || FTreatAsNormal) TGraphicControl::Click();
}

// Tells the button whether the mouse is over it, as the control under the
// cursor decides (disabled ones included).
void TRzToolButton::UpdateTracking() {
  if (!IsFlatLook() || !Enabled() || !Parent() || !Parent()->HandleAllocated()) return;
  POINT cursor{};
  GetCursorPos(&cursor);
  const bool over = FindDragTarget(cursor, true) == this;
  if (over && !FMouseOverButton) Perform(CM_MOUSEENTER, 0, reinterpret_cast<LPARAM>(this));
  if (!over && FMouseOverButton) Perform(CM_MOUSELEAVE, 0, reinterpret_cast<LPARAM>(this));
}

// -- Drop-down -----------------------------------------------------------------------

void TRzToolButton::FireDropDown() { FireEvent(OnDropDown, FDropDownMenu); }

int TRzToolButton::EstimatePopupMenuWidth() {
  int widest = 0;
  TMenuItem* items = FDropDownMenu->Items();
  for (int i = 0; i < items->Count(); ++i) {
    const AnsiString caption = items->Items(i)->Caption();
    widest = std::max<int>(widest, MeasureOnScreen(Screen->MenuFont(), caption, RECT{0, 0, 0, 0},
                                                   DT_SINGLELINE | DT_EXPANDTABS).cx);
  }
  return widest + 56;
}

void TRzToolButton::DoDropDown() {
  if (!FDropDownMenu) return;
  TWeakLink<TControl> self(this);
  FInDropDown = true;
  try {
    FireDropDown();
    if (!self.Get() || !FDropDownMenu) {
      if (self.Get()) FInDropDown = false;
      return;
    }
    const bool rtl = UseRightToLeftAlignment();
    POINT p{0, FHeight};
    const TPopupAlignment alignment = FDropDownMenu->Alignment();
    if (alignment == paLeft) p.x = rtl ? FWidth : 0;
    if (alignment == paRight) p.x = rtl ? 0 : FWidth;
    if (alignment == paCenter) p.x = FWidth / 2;
    p = ClientToScreen(p);
    const int estimate = EstimatePopupMenuWidth();
    TMonitor* monitor = MonitorAtPoint(p);
    if (alignment == paLeft) {
      const int limit = monitor ? MonitorWorkRect(monitor).right
                                : ActiveMonitorWorkAreaWidth(Parent() ? Parent()->Handle() : nullptr);
      if (p.x + estimate > limit) p.x = limit;
    } else if (alignment == paRight) {
      const int limit = monitor ? MonitorWorkRect(monitor).left : 0;
      if (p.x - estimate < limit) p.x = limit;
    }
    FDropDownMenu->SetPopupComponent(this);
    FDropDownMenu->Popup(p.x, p.y);
  } catch (...) {
    if (self.Get()) FInDropDown = false;
    throw;
  }
  if (!self.Get()) return;
  FInDropDown = false;
  if (FGroupIndex > 0 && !FDown) Click();
}

// -- Painting -------------------------------------------------------------------------

SIZE TRzToolButton::GetGlyphSize() {
  TCustomImageList* images = EffectiveImages();
  if (!images || FImageIndex < 0) return SIZE{0, 0};
  return SIZE{images->Width(), images->Height()};
}

void TRzToolButton::CalcLayout(RECT& glyphRect, RECT& textRect) {
  RECT r{0, 0, FWidth, FHeight};
  if (FToolStyle == tsDropDown) {
    if (UseRightToLeftAlignment()) {
      r.left += ToolButtonArrowWidth;
    } else {
      r.right -= ToolButtonArrowWidth;
    }
  }
  InflateRect(&r, -2, -2);
  const SIZE glyph = GetGlyphSize();
  const int gw = glyph.cx, gh = glyph.cy;
  const int rw = r.right - r.left, rh = r.bottom - r.top;
  const AnsiString caption = Caption();
  int d = 0;
  if (FShowCaption && !caption.empty()) {
    RECT limit = r;
    switch (FLayout) {
      case blGlyphLeft: limit.left += gw; break;
      case blGlyphRight: limit.right -= gw; break;
      case blGlyphTop: limit.top += gh; break;
      case blGlyphBottom: limit.bottom -= gh; break;
    }
    const SIZE text = MeasureOnScreen(Font(), caption, limit, DT_EXPANDTABS | DT_WORDBREAK | DT_VCENTER | DT_CENTER);
    const int tw = text.cx, th = text.cy;
    int gx = 0, gy = 0, tx = 0, ty = 0;
    if (FLayout == blGlyphLeft || FLayout == blGlyphRight) {
      const int free = rw - gw - tw - 4;
      if (FLayout == blGlyphLeft) {
        gx = r.left + free / 2;
        tx = gx + gw + 4;
      } else {
        gx = r.right - gw - free / 2;
        tx = gx - tw - 4;
      }
      gy = r.top + (rh - gh) / 2;
      ty = r.top + (rh - th) / 2;
      d = gw > 0 ? gx - 4 : gx;
    } else {
      const int free = rh - gh - th - 4;
      if (FLayout == blGlyphTop) {
        gy = r.top + free / 2;
        ty = gy + gh + 4;
      } else {
        gy = r.bottom - gh - free / 2;
        ty = gy - th - 4;
      }
      gx = r.left + (rw - gw) / 2;
      tx = r.left + (rw - tw) / 2;
      d = std::min(gx, tx) - 4;
    }
    glyphRect = RECT{gx, gy, gx + gw, gy + gh};
    textRect = RECT{tx, ty, tx + tw, ty + th};
  } else {
    glyphRect = RectCenteredIn(r, gw, gh);
    textRect = RECT{0, 0, 0, 0};
    d = glyphRect.left - 4;
  }
  if (FAlignment == taLeftJustify) {
    OffsetRect(&glyphRect, -d, 0);
    OffsetRect(&textRect, -d, 0);
  } else if (FAlignment == taRightJustify) {
    OffsetRect(&glyphRect, d, 0);
    OffsetRect(&textRect, d, 0);
  }
  const bool pressed = FState == rbsDown || FState == rbsExclusive ||
                       (FState == rbsDropDown && !(OnClick || Action()));
  if (pressed && FVisualStyle != vsGradient) {
    const int dy = IsThemed() ? 0 : 1;
    OffsetRect(&glyphRect, 1, dy);
    OffsetRect(&textRect, 1, dy);
  }
}

void TRzToolButton::DrawButtonFace(RECT& r) {
  TCanvas* canvas = Canvas();
  const bool designing = ComponentState().Contains(csDesigning);
  const bool hot = (FMouseOverButton && Enabled()) || designing;
  const bool pushed = FState == rbsDown || FState == rbsExclusive;
  if (IsThemed()) {
    if (FFlat) {
      const HTHEME theme = AcquireThemeHandle(totToolBar);
      if (!theme) return;
      RECT face = r;
      int part = TP_BUTTON;
      if (IsSplitButton()) {
        part = TP_SPLITBUTTON;
        if (UseRightToLeftAlignment()) {
          face.left += ToolButtonArrowWidth;
        } else {
          face.right -= ToolButtonArrowWidth;
        }
      }
      int state = TS_NORMAL;
      if (FState == rbsDown || FState == rbsDropDown) {
        state = TS_PRESSED;
      } else if (FState == rbsExclusive) {
        state = FMouseOverButton ? TS_HOTCHECKED : TS_CHECKED;
      } else if (hot) {
        state = TS_HOT;
      }
      UxDrawThemeBackground(theme, canvas->Handle(), part, state, face, nullptr);
    } else {
      const HTHEME theme = AcquireThemeHandle(totButton);
      if (!theme) return;
      int state = PBS_NORMAL;
      if (!Enabled()) {
        state = PBS_DISABLED;
      } else if (pushed) {
        state = PBS_PRESSED;
      } else if (hot) {
        state = PBS_HOT;
      }
      UxDrawThemeBackground(theme, canvas->Handle(), BP_PUSHBUTTON, state, r, nullptr);
    }
    return;
  }
  if (!FFlat) {
    r = PaintStyleFrame(canvas, r, pushed ? fsLowered : fsButtonUp);
    return;
  }
  if (!pushed && !(FMouseOverButton && Enabled()) && !designing) return;
  if (FVisualStyle != vsGradient) {
    r = PaintStyleFrame(canvas, r, pushed ? fsStatus : fsPopup);
    return;
  }
  TRzSelectionColors colors{FSelectionFrameColor, FSelectionColorStart, FSelectionColorStop};
  if (FGradientColorStyle != gcsCustom) colors = SchemeSelectionColors(FGradientColorStyle);
  if (designing && FState == rbsUp) {
    RECT inner = r;
    InflateRect(&inner, -1, -1);
    PaintBoxCorners(canvas, inner, colors.Frame, 4);
    return;
  }
  r = PaintBox(canvas, r, colors.Frame);
  TColor top = colors.Start, bottom = colors.Stop;
  if (FState == rbsDown || FState == rbsDropDown || (FState == rbsExclusive && FMouseOverButton)) {
    top = colors.Stop;
    bottom = colors.Start;
  } else if (FState == rbsExclusive) {
    top = ShadeDarker(colors.Stop, 40);
    bottom = colors.Start;
  }
  FillGradient(canvas, r, gdHorizontalEnd, top, bottom);
}

void TRzToolButton::DrawDropDownArea() {
  if (FToolStyle != tsDropDown) return;
  TCanvas* canvas = Canvas();
  const bool rtl = UseRightToLeftAlignment();
  const bool enabled = Enabled();
  const bool gradient = FVisualStyle == vsGradient;
  int x = rtl ? ToolButtonArrowWidth : FWidth - ToolButtonArrowWidth;
  const RECT part = rtl ? RECT{0, 0, ToolButtonArrowWidth, FHeight} : RECT{x, 0, FWidth, FHeight};
  if (IsThemed() && IsSplitButton()) {
    if (const HTHEME theme = AcquireThemeHandle(totToolBar)) {
      int state = TS_NORMAL;
      if (!enabled) {
        state = TS_DISABLED;
      } else if (FState == rbsDown || FState == rbsDropDown) {
        state = TS_PRESSED;
      } else if (FMouseOverButton || ComponentState().Contains(csDesigning)) {
        state = TS_HOT;
      }
      UxDrawThemeBackground(theme, canvas->Handle(), TP_SPLITBUTTONDROPDOWN, state, part, nullptr);
    }
    return;
  }
  if (!IsThemed()) {
    if (FState == rbsDropDown) {
      if (gradient) {
        RECT area{0, 0, FWidth, FHeight};
        if (IsSplitButton()) area = rtl ? RECT{0, 0, 15, FHeight} : RECT{FWidth - 15, 0, FWidth, FHeight};
        TRzSelectionColors colors{FSelectionFrameColor, FSelectionColorStart, FSelectionColorStop};
        if (FGradientColorStyle != gcsCustom) colors = SchemeSelectionColors(FGradientColorStyle);
        area = PaintBox(canvas, area, colors.Frame);
        FillGradient(canvas, area, gdHorizontalEnd, colors.Stop, colors.Start);
      } else {
        PaintStyleFrame(canvas, IsSplitButton() ? part : RECT{0, 0, FWidth, FHeight}, fsStatus);
      }
    } else if ((IsFlatLook() && FMouseOverButton && enabled) || (!IsFlatLook() && enabled)) {
      if (FState == rbsDown && !gradient) ++x;
      if (IsSplitButton()) {
        if (gradient) {
          canvas->Pen()->SetColor(SchemeSelectionColors(FGradientColorStyle).Frame);
          canvas->MoveTo(x - 1, 0);
          canvas->LineTo(x - 1, FHeight);
        } else {
          if (FState != rbsDown) {
            canvas->Pen()->SetColor(clBtnHighlight);
            canvas->MoveTo(x, 0);
            canvas->LineTo(x, FHeight);
          }
          canvas->Pen()->SetColor(clBtnShadow);
          canvas->MoveTo(x - 1, 0);
          canvas->LineTo(x - 1, FHeight);
        }
      }
    }
  }
  // The arrow.
  int ax = rtl ? 6 : FWidth - 8;
  int ay = FHeight / 2 + 2;
  if ((FState == rbsDown || FState == rbsDropDown) && !gradient) {
    ++ax;
    ++ay;
  }
  const TColor color = enabled ? clWindowText : clBtnShadow;
  canvas->Pen()->SetColor(color);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->Brush()->SetColor(color);
  const POINT arrow[3] = {{ax, ay}, {ax - 2, ay - 2}, {ax + 2, ay - 2}};
  canvas->Polygon(arrow, 3);
}

void TRzToolButton::DrawGlyph(const RECT& glyphRect) {
  TCustomImageList* images = EffectiveImages();
  if (!images || FImageIndex == -1) return;
  TCanvas* canvas = Canvas();
  const bool enabled = Enabled();
  const bool pressed = FState == rbsDown || FState == rbsExclusive ||
                       (FState == rbsDropDown && !(OnClick || Action()));
  const int normal = FHotIndex != -1 && FMouseOverButton && enabled ? FHotIndex : FImageIndex;
  if (pressed && FDownIndex != -1) {
    images->Draw(canvas, glyphRect.left, glyphRect.top, FDownIndex, true);
  } else if (FDisabledIndex == -1) {
    images->Draw(canvas, glyphRect.left, glyphRect.top, normal, enabled);
  } else {
    images->Draw(canvas, glyphRect.left, glyphRect.top, enabled ? normal : FDisabledIndex, true);
  }
}

void TRzToolButton::DrawButtonText(const RECT& textRect) {
  if (!FShowCaption) return;
  TCanvas* canvas = Canvas();
  canvas->Brush()->SetStyle(bsClear);
  canvas->Font()->Assign(Font());
  if (FState == rbsDown && FVisualStyle != vsGradient) canvas->Font()->SetColor(clHighlightText);
  if (!Enabled()) canvas->Font()->SetColor(clBtnShadow);
  RECT r = textRect;
  UINT flags = DT_CENTER | DT_VCENTER | DT_WORDBREAK | DT_EXPANDTABS;
  if (UseRightToLeftReading()) flags |= DT_RTLREADING;
  DrawTextOnCanvas(canvas, Caption(), r, flags);
  canvas->Brush()->SetStyle(bsSolid);
}

void TRzToolButton::Paint() {
  if (!Enabled()) {
    FState = rbsDisabled;
    FDragging = false;
  } else if (FState == rbsDisabled) {
    FState = FDown && FGroupIndex != 0 ? rbsExclusive : rbsUp;
  }
  TCanvas* canvas = Canvas();
  RECT r{0, 0, FWidth, FHeight};
  DrawButtonFace(r);
  if (!FTransparent) {
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(Color());
    canvas->FillRect(r);
  }
  const bool themed = FVisualStyle != vsClassic && PanelVisualStylesEnabled();
  if (FVisualStyle != vsGradient && !themed && FState == rbsExclusive && !(FFlat && FMouseOverButton)) {
    if (FTransparent) {
      FillDotPattern(canvas->Handle(), r, clBtnFace, clBtnHighlight);
    } else {
      FillDotPattern(canvas->Handle(), r, Color(), ShadeLighter(Color(), 20));
    }
  }
  if (FToolStyle == tsDropDown) DrawDropDownArea();
  RECT glyphRect{}, textRect{};
  CalcLayout(glyphRect, textRect);
  DrawGlyph(glyphRect);
  DrawButtonText(textRect);
}

// -- Actions ------------------------------------------------------------------------------

void TRzToolButton::ActionChange(TObject* Sender, bool CheckDefaults) {
  TGraphicControl::ActionChange(Sender, CheckDefaults);
  auto* action = ObjectAs<TCustomAction>(Sender);
  if (!action) return;
  if (!CheckDefaults || !FDown) SetDown(action->Checked());
  if (!CheckDefaults || FImageIndex == -1) SetImageIndex(action->ImageIndex());
}

TClass TRzToolButton::GetActionLinkClass() const { return &TRzToolButtonActionLink::ClassInfo; }

void TRzToolButton::AssignTo(TPersistent* dest) {
  if (auto* action = ObjectAs<TCustomAction>(dest)) {
    action->SetChecked(FDown);
    action->SetImageIndex(FImageIndex);
    return;
  }
  TGraphicControl::AssignTo(dest);
}

TRzToolButton* TRzToolButtonActionLink::Button() const { return ObjectAs<TRzToolButton>(FClient); }

bool TRzToolButtonActionLink::IsCheckedLinked() {
  return TControlActionLink::IsCheckedLinked() && Button() && CustomAction() &&
         Button()->Down() == CustomAction()->Checked();
}

bool TRzToolButtonActionLink::IsImageIndexLinked() {
  return TControlActionLink::IsImageIndexLinked() && Button() && CustomAction() &&
         Button()->ImageIndex() == CustomAction()->ImageIndex();
}

void TRzToolButtonActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) Button()->SetDown(value);
}

void TRzToolButtonActionLink::SetImageIndex(int value) {
  if (IsImageIndexLinked()) Button()->SetImageIndex(value);
}

// -- Streaming ------------------------------------------------------------------------------

namespace {

// A colour written as a name (clBtnFace) or as a number.
TColor ReadColorValue(TReader* reader) {
  if (reader->NextValue() == TValueType::vaIdent) {
    const AnsiString ident = reader->ReadIdent();
    TColor color = clNone;
    if (!IdentToColor(ident, color)) reader->Error("Invalid colour " + ident);
    return color;
  }
  return static_cast<TColor>(reader->ReadInteger());
}

}  // namespace

void TRzToolButton::DefineProperties(TFiler* filer) {
  TGraphicControl::DefineProperties(filer);
  // Older forms: the selection colours had other names; gradients became a
  // visual style.
  filer->DefineProperty("GradientColorDefault", TReaderProc::Lambda(&TRzOldPropReader::ReadOldBooleanProp),
                        TWriterProc(), false);
  filer->DefineProperty("ThemeAware", TReaderProc::Lambda(&TRzOldPropReader::ReadOldBooleanProp), TWriterProc(),
                        false);
  filer->DefineProperty(
      "GradientColorStart",
      TReaderProc::Lambda([this](TReader* reader) { SetSelectionColorStart(ReadColorValue(reader)); }), TWriterProc(),
      false);
  filer->DefineProperty(
      "GradientColorStop",
      TReaderProc::Lambda([this](TReader* reader) { SetSelectionColorStop(ReadColorValue(reader)); }), TWriterProc(),
      false);
  filer->DefineProperty(
      "FrameColor", TReaderProc::Lambda([this](TReader* reader) { SetSelectionFrameColor(ReadColorValue(reader)); }),
      TWriterProc(), false);
  filer->DefineProperty("UseGradients", TReaderProc::Lambda([this](TReader* reader) {
                          if (reader->ReadBoolean()) SetVisualStyle(vsGradient);
                        }),
                        TWriterProc(), false);
}

namespace {

const TEnumInfo ToolStyleNames{"TRzToolStyle", {"tsButton", "tsDropDown"}};

using B = TRzToolButton;

bool DownStored(TObject* o) {
  auto* b = static_cast<B*>(o);
  auto* link = ObjectAs<TRzToolButtonActionLink>(b->ActionLink());
  return !(link && link->IsCheckedLinked());
}
bool ShowCaptionStored(TObject* o) { return !static_cast<B*>(o)->UseToolbarShowCaption(); }
bool VisualStyleStored(TObject* o) { return !static_cast<B*>(o)->UseToolbarVisualStyle(); }
// The size is the toolbar's while the toolbar sizes the button.
bool WidthStored(TObject* o) {
  auto* b = static_cast<B*>(o);
  TRzToolbar* toolbar = b->Toolbar();
  return !(b->UseToolbarButtonSize() && toolbar && b->Width() == toolbar->ButtonWidth());
}
bool HeightStored(TObject* o) {
  auto* b = static_cast<B*>(o);
  TRzToolbar* toolbar = b->Toolbar();
  return !(b->UseToolbarButtonSize() && toolbar && b->Height() == toolbar->ButtonHeight());
}

const TPublishedRegistration toolButtonRegistration(&B::ClassInfo, {
    Property<&TControl::Caption, &TControl::SetCaption>("Caption"),
    StoredWhen(Property<&TControl::Width, &B::SetWidth>("Width").Default(25), WidthStored),
    StoredWhen(Property<&TControl::Height, &B::SetHeight>("Height").Default(25), HeightStored),
    Property<&B::AllowAllUp, &B::SetAllowAllUp>("AllowAllUp").Default(false),
    Property<&B::GroupIndex, &B::SetGroupIndex>("GroupIndex").Default(0),
    StoredWhen(Property<&B::Down, &B::SetDown>("Down").Default(false), DownStored),
    Property<&B::Flat, &B::SetFlat>("Flat").Default(true),
    Property<&B::ImageIndex, &B::SetImageIndex>("ImageIndex").Default(-1),
    Property<&B::DownIndex, &B::SetDownIndex>("DownIndex").Default(-1),
    Property<&B::DisabledIndex, &B::SetDisabledIndex>("DisabledIndex").Default(-1),
    Property<&B::HotIndex, &B::SetHotIndex>("HotIndex").Default(-1),
    Property<&B::Images, &B::SetImages>("Images"),
    Property<&B::Layout, &B::SetLayout>("Layout", ButtonLayoutNames).Default(blGlyphLeft),
    Property<&B::DropDownMenu, &B::SetDropDownMenu>("DropDownMenu"),
    Property<&B::ToolStyle, &B::SetToolStyle>("ToolStyle", ToolStyleNames).Default(tsButton),
    StoredWhen(Property<&B::ShowCaption, &B::SetShowCaption>("ShowCaption").Default(false), ShowCaptionStored),
    Property<&B::Transparent, &B::SetTransparent>("Transparent").Default(true),
    Property<&B::Alignment, &B::SetAlignment>("Alignment", AlignmentNames).Default(taCenter),
    StoredWhen(Property<&B::VisualStyle, &B::SetVisualStyle>("VisualStyle", VisualStyleNames).Default(vsWinXP),
               VisualStyleStored),
    StoredWhen(Property<&B::GradientColorStyle, &B::SetGradientColorStyle>("GradientColorStyle",
                                                                           GradientColorStyleNames)
                   .Default(gcsSystem),
               VisualStyleStored),
    Property<&B::SelectionColorStart, &B::SetSelectionColorStart>("SelectionColorStart", pkColor).Default(clBtnFace),
    Property<&B::SelectionColorStop, &B::SetSelectionColorStop>("SelectionColorStop", pkColor).Default(clBtnShadow),
    Property<&B::SelectionFrameColor, &B::SetSelectionFrameColor>("SelectionFrameColor", pkColor)
        .Default(cl3DDkShadow),
    Property<&B::UseToolbarButtonLayout, &B::SetUseToolbarButtonLayout>("UseToolbarButtonLayout").Default(true),
    Property<&B::UseToolbarButtonSize, &B::SetUseToolbarButtonSize>("UseToolbarButtonSize").Default(true),
    Property<&B::UseToolbarShowCaption, &B::SetUseToolbarShowCaption>("UseToolbarShowCaption").Default(true),
    Property<&B::UseToolbarVisualStyle, &B::SetUseToolbarVisualStyle>("UseToolbarVisualStyle").Default(true),
    Event<&B::OnDropDown>("OnDropDown"),
});

}  // namespace
