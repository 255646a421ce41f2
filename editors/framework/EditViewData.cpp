// The view data: state, border, colours, the edit buttons' layout and
// states, the client rectangle and sizing.
#include "editors/framework/EditViewInfo.h"

#include "editors/framework/EditComposition.h"
#include "editors/framework/EditUtils.h"
#include "foundation/ContainerServices.h"
#include "foundation/UxTheme.h"
#include "foundation/WinXPPainter.h"
#include "platform/Control.h"

#include <algorithm>
#include <climits>

const TClassInfo TcxCustomEditViewData::ClassInfo{"TcxCustomEditViewData", &TPersistent::ClassInfo, nullptr};

namespace {
int RectWidth(const RECT& r) { return r.right - r.left; }
bool PointIn(const RECT& r, POINT p) { return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom; }
RECT Deflated(const RECT& r, const RECT& m) { return RECT{r.left + m.left, r.top + m.top, r.right - m.right, r.bottom - m.bottom}; }

TShiftState MouseOnly(TShiftState shift) {
  shift.Exclude(TShiftStateItem::ssShift);
  shift.Exclude(TShiftStateItem::ssCtrl);
  shift.Exclude(TShiftStateItem::ssAlt);
  return shift;
}
bool ExactlyLeft(TShiftState shift) {
  shift.Exclude(TShiftStateItem::ssDouble);
  return shift == TShiftState{TShiftStateItem::ssLeft};
}

// The margins of the theme's content rectangle of a part on a 100 x 100 rectangle.
bool ThemeContentMargins(TdxThemedObjectType kind, int part, int state, RECT& margins) {
  HTHEME theme = AcquireThemeHandle(kind);
  if (!theme) return false;
  const RECT r{0, 0, 100, 100};
  RECT content = r;
  HDC dc = GetDC(nullptr);
  const HRESULT hr = UxGetThemeBackgroundContentRect(theme, dc, part, state, r, content);
  ReleaseDC(nullptr, dc);
  if (FAILED(hr)) return false;
  margins = RECT{content.left, content.top, 100 - content.right, 100 - content.bottom};
  return true;
}
}  // namespace

TcxCustomEditViewData::TcxCustomEditViewData(TcxCustomEditProperties* properties, TcxCustomEditStyle* style,
                                             bool inPlace)
    : InPlace(inPlace), Properties(properties), Style(style) {
  Composited = EditCompositionActive();
  ResetState();
  InitFromProperties();
}

void TcxCustomEditViewData::ResetState() {
  InPlaceMargins = RECT{};
  IsEnabled = true;
}

void TcxCustomEditViewData::InitFromProperties() {
  VisibleButtonCount = Properties ? Properties->Buttons()->VisibleCount() : 0;
  NativeStyle = Style && NativeStyleOf(Style->GetLookAndFeel());
  FillBorderInfo(ContentParams);
}

void TcxCustomEditViewData::FillBorderInfo(TcxEditContentParams& params) {
  params.Offsets = TextOffsets();
  params.Flags = 2;
  params.HorzRemainder = 3 - params.Offsets.left - params.Offsets.right;
  params.ExtraVert = InPlace && Properties && Properties->HasButtons() ? 1 : 0;
}

bool TcxCustomEditViewData::NativeStyleOf(TcxLookAndFeel* lookAndFeel) {
  return lookAndFeel && lookAndFeel->NativeStyle() && ThemeAvailableFor(true, totEdit);
}

TcxLookAndFeelKind TcxCustomEditViewData::LookAndFeelKind() {
  TcxLookAndFeel* lf = Style ? Style->GetLookAndFeel() : nullptr;
  return lf ? lf->Kind() : lfStandard;
}

TcxEditButtonStyle TcxCustomEditViewData::EffectiveButtonStyle() {
  const TcxEditButtonStyle own = Style ? Style->ButtonStyle() : btsDefault;
  if (own != btsDefault) return own;
  const TcxEditBorderStyle border = Style ? Style->BorderStyle() : ebsNone;
  if (!InPlace && Style && (border != ebsNone || Style->GetHotTrack())) {
    static constexpr TcxEditButtonStyle byBorder[] = {btsSimple, btsHotFlat, bts3D, btsFlat, bts3D, btsUltraFlat,
                                                      btsOffice11};
    return byBorder[static_cast<int>(border) % 7];
  }
  static constexpr TcxEditButtonStyle byKind[] = {btsFlat, bts3D, btsUltraFlat, btsOffice11};
  return byKind[LookAndFeelKind() % 4];
}

uint8_t TcxCustomEditViewData::GetPaintOptions() const {
  uint8_t options = PaintFlags;
  const RECT& e = ContentParams.ExternalBorder;
  if (e.left != 0 || e.top != 0 || e.right != 0 || e.bottom != 0) options |= 4;
  if (ContentParams.Flags & 1) options |= 16;
  return options;
}

int TcxCustomEditViewData::DefaultButtonWidth(int index) {
  int width = 0;
  if (DefaultButtonWidthEvent) DefaultButtonWidthEvent(this, index, width);
  return width;
}

TcxContainerState TcxCustomEditViewData::ContainerStateAt(POINT p, bool captureTest) {
  if (!IsEnabled) return TcxContainerState{csfDisabled};
  if (Designing) return TcxContainerState{csfNormal};
  TcxContainerState state{IsFocused ? csfActive : csfNormal};
  const RECT body = Deflated(FillBounds, InPlaceMargins);
  if (PointIn(body, p) && (!captureTest || HasCapture)) state.Include(csfHotTrack);
  return state;
}

int TcxCustomEditViewData::ThemedEditState() {
  if (!IsEnabled) return 4;                                 // ETS_DISABLED
  if (Properties && Properties->GetReadOnly()) return 6;    // ETS_READONLY
  if (IsFocused) return Composited ? 3 : 5;                 // ETS_SELECTED / ETS_FOCUSED
  if (IsHot || StateFlags.Contains(csfHotTrack)) return 2;  // ETS_HOT
  return 1;
}

TcxEditBorderStyle TcxCustomEditViewData::BorderStyleOf() {
  if (InPlace || !Style) return ebsNone;
  const TcxEditBorderStyle style = Style->BorderStyle();
  return style == ebsUltraFlat || style == ebsOffice11 ? ebsSingle : style;
}

RECT TcxCustomEditViewData::BorderWidthsOf() {
  if (InPlace) return InPlaceMargins;
  RECT w{};
  if (Style->GetTransparentBorder()) {
    w = RECT{2, 2, 2, 2};
  } else {
    const TcxEditBorderStyle root = static_cast<TcxCustomEditStyle*>(Style->RootStyle())->BorderStyle();
    if (Style->BorderStyle() == ebsNone || (NativeStyle && root == ebsNone)) {
      w = RECT{};
    } else if (NativeStyle) {
      w = RECT{2, 2, 2, 2};
    } else {
      const int width = BorderWidthOfStyle(static_cast<int>(BorderStyleOf()));
      const TcxBorders edges = Style->GetEdges();
      w = RECT{edges.Contains(bLeft) ? width : 0, edges.Contains(bTop) ? width : 0,
               edges.Contains(bRight) ? width : 0, edges.Contains(bBottom) ? width : 0};
    }
  }
  if (ShadowWanted()) {
    w.right += cxContainerShadowWidth;
    w.bottom += cxContainerShadowWidth;
  }
  return w;
}

bool TcxCustomEditViewData::ShadowWanted() { return !InPlace && Style && Style->GetShadow() && !NativeStyle; }

RECT TcxCustomEditViewData::ThemedContentRect() {
  if (InPlace) return InPlaceMargins;
  if (!NativeStyle) return BorderWidthsOf();
  const TcxEditBorderStyle root = static_cast<TcxCustomEditStyle*>(Style->RootStyle())->BorderStyle();
  if (!Style->GetTransparentBorder() && root == ebsNone) return RECT{};
  if (!Style->GetTransparentBorder()) {
    RECT margins{};
    if (ThemeContentMargins(totEdit, 1, 1, margins)) return margins;
  }
  return RECT{2, 2, 2, 2};
}

TColor TcxCustomEditViewData::BorderColorOf() {
  const bool active = IsFocused || (StateFlags.Contains(csfHotTrack) && Style->GetHotTrack());
  const TcxEditBorderStyle border = Style->BorderStyle();
  if (border != ebsUltraFlat && border != ebsOffice11) return Style->GetBorderColor();
  if (active || (Designing && IsEnabled)) return ButtonHighlightColor(border == ebsOffice11);
  return clBtnShadow;
}

RECT TcxCustomEditViewData::ClientExtent(TcxCustomEditViewInfo* viewInfo) {
  RECT extent = BorderWidthsOf();
  if (Properties && Properties->ButtonLayout() != TcxEditButtonsLayout::blNormal && viewInfo->ButtonCount() > 0) {
    const RECT margins = ThemedContentRect();
    extent.left = margins.left;
    extent.right = margins.right;
  }
  if (HorzScrollBarVisible) extent.bottom += HorzScrollBarHeight;
  if (VertScrollBarVisible) extent.right += VertScrollBarWidth;
  const RECT& b = viewInfo->Bounds;
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
    const TcxEditButtonViewInfo& button = viewInfo->Button(i);
    if (button.VisibleRect.right <= button.VisibleRect.left) continue;
    if (button.AtLeftSide)
      extent.left = std::max<LONG>(extent.left, button.VisibleRect.right - b.left);
    else
      extent.right = std::max<LONG>(extent.right, b.right - button.VisibleRect.left);
  }
  return extent;
}

void TcxCustomEditViewData::FillButtonThemeData(TcxEditButtonViewInfo& button) {
  button.ThemePartId = 0;
  button.ThemeState = 0;
  button.ThemePartTransparent = false;
  if (!button.NativeStyle) return;
  HTHEME theme = AcquireThemeHandle(button.ThemeKind());
  if (!theme) return;
  if (button.IsSingleDownButton)
    button.ThemePartId = Composited && !InPlace ? (button.AtLeftSide ? 7 : 6) : 1;  // CP_DROPDOWNBUTTONRIGHT/LEFT
  else
    button.ThemePartId = 1;  // BP_PUSHBUTTON
  static constexpr int byState[] = {4, 1, 3, 2};
  button.ThemeState = byState[button.ButtonState];
  button.ThemePartTransparent = UxIsThemeBackgroundPartiallyTransparent(theme, button.ThemePartId, button.ThemeState);
}

void TcxCustomEditViewData::FillButtonInfo(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, RECT& area, int index,
                                           int definition) {
  TcxEditButton* source = Properties->Buttons()->GetButton(definition);
  TcxEditButtonViewInfo& button = viewInfo->Button(index);
  const TcxEditButtonTransparency transparency = Style->ButtonTransparency();
  button.CollectionIndex = definition;
  button.Kind = source->Kind();
  button.Caption = source->Caption();
  button.DisplayCaption = source->Caption();
  button.CaptionTextColor = source->CaptionColor();
  button.ContentAlignment = source->ContentAlignment();
  button.DefaultFlag = source->Default();
  button.Glyph = source->HasGlyph() ? source->Glyph() : nullptr;
  button.GradientButtons = Style->GradientButtons();
  button.InPlace = InPlace;
  button.AtLeftSide = source->LeftAlignment() && !StretchButtons;
  button.NativeStyle = NativeStyle;
  button.Stretchable = source->Stretchable();
  button.Width = source->Width() == 0 ? DefaultButtonWidth(definition) : source->Width();
  button.BackColor = viewInfo->BackgroundColor;
  button.PaintStyle = EffectiveButtonStyle();
  button.IsSingleDownButton = VisibleButtonCount == 1 && button.Kind == bkDown;
  button.Transparent = transparency == ebtAlways || (transparency == ebtInactive && !Active);
  // The first text button switches the canvas to the style's font.
  if (button.Kind == bkText && canvas && Style && !FTextFontSet) {
    canvas->SetFont(Style->GetFont());
    FTextFontSet = true;
  }
  FMeasureCanvas = canvas;
  ButtonRects(viewInfo, area, index);
  FMeasureCanvas = nullptr;
}

void TcxCustomEditViewData::ButtonRects(TcxCustomEditViewInfo* viewInfo, RECT& area, int index) {
  TcxEditButtonViewInfo& button = viewInfo->Button(index);
  const int w = MeasureEditButton(FMeasureCanvas, button);
  const int room = std::max<int>(0, RectWidth(area));
  const int b = std::min(w, room);
  if (room <= 0) {
    button.ButtonRect = button.VisibleRect = RECT{area.left, area.top, area.left, area.bottom};
    if (!button.AtLeftSide) button.ButtonRect = button.VisibleRect = RECT{area.right, area.top, area.right, area.bottom};
    return;
  }
  if (button.AtLeftSide) {
    button.ButtonRect = RECT{area.left, area.top, area.left + w, area.bottom};
    button.VisibleRect = RECT{area.left, area.top, area.left + b, area.bottom};
    area.left += b;
  } else {
    button.ButtonRect = RECT{area.right - w, area.top, area.right, area.bottom};
    button.VisibleRect = RECT{area.right - b, area.top, area.right, area.bottom};
    area.right -= b;
  }
}

void TcxCustomEditViewData::PlaceButtons(TcxCustomEditViewInfo* viewInfo, int fullWidth, int spareWidth) {
  std::vector<int> sharing;
  int total = 0;
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
    TcxEditButtonViewInfo& button = viewInfo->Button(i);
    if (button.Stretchable && !ButtonKeepsWidth(button.CollectionIndex)) {
      sharing.push_back(i);
      total += RectWidth(button.ButtonRect);
    }
  }
  if (sharing.empty()) {
    for (int i = 0; i < viewInfo->ButtonCount(); ++i) sharing.push_back(i);
    total = fullWidth - spareWidth;
  }
  if (total <= 0) return;
  int left = spareWidth;
  // From the last view info to the first; the last handled takes the rest.
  for (auto it = sharing.rbegin(); it != sharing.rend(); ++it) {
    TcxEditButtonViewInfo& button = viewInfo->Button(*it);
    const int d = std::next(it) == sharing.rend()
                      ? left
                      : static_cast<int>(static_cast<long long>(RectWidth(button.ButtonRect)) * spareWidth / total);
    left -= d;
    if (d == 0) continue;
    if (button.AtLeftSide) {
      const LONG edge = button.ButtonRect.right;
      for (auto& other : viewInfo->ButtonsInfo)
        if (other.get() != &button && other->AtLeftSide && other->ButtonRect.left >= edge) {
          OffsetRect(&other->ButtonRect, d, 0);
          OffsetRect(&other->VisibleRect, d, 0);
        }
      button.ButtonRect.right += d;
      button.VisibleRect.right += d;
    } else {
      const LONG edge = button.ButtonRect.left;
      for (auto& other : viewInfo->ButtonsInfo)
        if (other.get() != &button && !other->AtLeftSide && other->ButtonRect.right <= edge) {
          OffsetRect(&other->ButtonRect, -d, 0);
          OffsetRect(&other->VisibleRect, -d, 0);
        }
      button.ButtonRect.left -= d;
      button.VisibleRect.left -= d;
    }
  }
}

void TcxCustomEditViewData::CalculateButtons(TcxCanvas* canvas, const RECT& bounds, bool keepPressed,
                                             TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                             TcxEditMouseEvent mouseEvent, POINT p) {
  shift = MouseOnly(shift);
  const TcxEditButtonTransparency transparency = Style->ButtonTransparency();
  const bool hidden = (transparency == ebtHideInactive && !IsFocused) ||
                      (transparency == ebtHideUnselected && !IsFocused && !StateFlags.Contains(csfHotTrack));
  const int keptIndex = keepPressed ? viewInfo->PressedIndex : -1;
  if (VisibleButtonCount == 0 || hidden) {
    viewInfo->SetButtonCount(0);
    return;
  }
  viewInfo->SetButtonCount(VisibleButtonCount);
  viewInfo->ReallyPressed = false;
  viewInfo->PressedIndex = viewInfo->HotIndex = -1;
  LeftGroupFirst = LeftGroupLast = RightGroupFirst = RightGroupLast = -1;

  RECT area = Deflated(bounds, ThemedContentRect());
  if (!InPlace && NativeStyle && Composited && VisibleButtonCount == 1 &&
      Properties->Buttons()->GetButton(0)->Kind() == bkDown)
    area = bounds;
  const RECT fullArea = area;
  // Last definition first: it sits outermost on its side.
  FTextFontSet = false;
  int index = VisibleButtonCount - 1;
  for (int definition = Properties->Buttons()->Count() - 1; definition >= 0; --definition) {
    if (!Properties->Buttons()->GetButton(definition)->Visible()) continue;
    FillButtonInfo(canvas, viewInfo, area, index, definition);
    --index;
  }
  // Group ends.
  bool hasLeft = false, hasRight = false;
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
    TcxEditButtonViewInfo& button = viewInfo->Button(i);
    button.AtLeftEnd = button.AtRightEnd = false;
    if (button.AtLeftSide) {
      hasLeft = true;
      if (LeftGroupFirst < 0 || button.ButtonRect.left < viewInfo->Button(LeftGroupFirst).ButtonRect.left) LeftGroupFirst = i;
      if (LeftGroupLast < 0 || button.ButtonRect.left > viewInfo->Button(LeftGroupLast).ButtonRect.left) LeftGroupLast = i;
    } else {
      hasRight = true;
      if (RightGroupFirst < 0 || button.ButtonRect.left < viewInfo->Button(RightGroupFirst).ButtonRect.left) RightGroupFirst = i;
      if (RightGroupLast < 0 || button.ButtonRect.left > viewInfo->Button(RightGroupLast).ButtonRect.left) RightGroupLast = i;
    }
  }
  if (LeftGroupFirst >= 0) viewInfo->Button(LeftGroupFirst).AtLeftEnd = true;
  if (LeftGroupLast >= 0 && !(StretchButtons && hasRight)) viewInfo->Button(LeftGroupLast).AtRightEnd = true;
  if (RightGroupFirst >= 0 && !(StretchButtons && hasLeft)) viewInfo->Button(RightGroupFirst).AtLeftEnd = true;
  if (RightGroupLast >= 0) viewInfo->Button(RightGroupLast).AtRightEnd = true;
  if (StretchButtons) {
    for (auto& button : viewInfo->ButtonsInfo) button->AtLeftSide = false;
    const int spare = RectWidth(area);
    if (spare > 0) PlaceButtons(viewInfo, RectWidth(fullArea), spare);
  }

  // States.
  const bool leftHeld = shift.Contains(TShiftStateItem::ssLeft);
  const bool editEnabled = IsEnabled;
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
    TcxEditButtonViewInfo& button = viewInfo->Button(i);
    TcxEditButton* source = Properties->Buttons()->GetButton(button.CollectionIndex);
    const TcxEditButtonState previous = button.ButtonState;
    const bool held = IsButtonHeldDown(viewInfo, i);
    TcxEditButtonState state;
    if (!editEnabled || !source->Enabled()) {
      state = ebsDisabled;
    } else if (!held && (Designing || !PointIn(button.VisibleRect, p))) {
      state = ebsNormal;
    } else {
      const bool returning = mouseEvent == emeNone && leftHeld && previous == ebsNormal && PressedButtonIndex == i;
      const bool leftPress = mouseEvent == emeLeft && ExactlyLeft(shift);
      const bool stillPressed = previous == ebsPressed && leftHeld;
      if (held || leftPress || stillPressed || returning) viewInfo->ReallyPressed = true;
      if (!held && shift.Empty() && !returning) {
        state = ebsSelected;
        viewInfo->HotIndex = i;
      } else if (held || (returning && CanPressButton(viewInfo, i)) ||
                 (ExactlyLeft(shift) && ((mouseEvent == emeLeft && CanPressButton(viewInfo, i)) || keptIndex == i)) ||
                 stillPressed) {
        state = ebsPressed;
        viewInfo->PressedIndex = i;
      } else {
        state = ebsNormal;
      }
    }
    if (viewInfo->ButtonStateEvent) viewInfo->ButtonStateEvent(viewInfo, i, state);
    button.ButtonState = state;
    FillButtonThemeData(button);
  }
}

void TcxCustomEditViewData::ComputeState(TcxCustomEditViewInfo* viewInfo, POINT p) {
  StateFlags = ContainerStateAt(p, false);
  if (IsHot && IsEnabled && !Designing) StateFlags.Include(csfHotTrack);
  viewInfo->ContainerState = StateFlags;
  Active = StateFlags.Contains(csfActive) || StateFlags.Contains(csfHotTrack);
  viewInfo->HotTrackMode = viewInfo->HotTrackState =
      (Designing || !Style->GetHotTrack() || InPlace) ? 0 : Active ? 2 : 1;
  if (InPlace || !NativeStyle)
    viewInfo->EditBorderStyle = BorderStyleOf();
  else
    viewInfo->EditBorderStyle = static_cast<TcxCustomEditStyle*>(Style->RootStyle())->BorderStyle();
}

void TcxCustomEditViewData::FillViewInfo(TcxCanvas* canvas, const RECT& bounds, bool keepPressed,
                                         TcxCustomEditViewInfo* viewInfo, TShiftState shift,
                                         TcxEditMouseEvent mouseEvent, POINT p) {
  shift = MouseOnly(shift);
  FillBounds = bounds;
  // 1. State.
  const TcxEditBorderStyle previous = viewInfo->EditBorderStyle;
  ComputeState(viewInfo, p);
  if (!InPlace && !NativeStyle &&
      BorderWidthOfStyle(static_cast<int>(viewInfo->EditBorderStyle)) < BorderWidthOfStyle(static_cast<int>(previous)))
    ComputeState(viewInfo, p);
  // 2. Copies.
  viewInfo->BorderStyle = static_cast<TcxContainerBorderStyle>(viewInfo->EditBorderStyle);
  viewInfo->Properties = Properties;
  viewInfo->Bounds = bounds;
  viewInfo->IsEnabled = IsEnabled;
  viewInfo->IsFocused = IsFocused;
  viewInfo->InnerEditPresent = InnerControlVisible;
  viewInfo->Designing = Designing;
  viewInfo->InPlace = InPlace;
  viewInfo->PaintBits = GetPaintOptions();
  viewInfo->Edges = Style->GetEdges();
  viewInfo->TextFont = Style->DirectAccessMode() ? Style->GetFont() : Style->EffectiveFont();
  viewInfo->Shadow = !InPlace && ShadowWanted();
  viewInfo->WindowHandle = WindowHandle;
  viewInfo->ShiftPressedContent = (ContentParams.Flags & 2) != 0;
  viewInfo->Composited = Composited && !InPlace;
  viewInfo->NoBackground = Transparent;
  const TcxEditButtonsLayout layout = Properties ? Properties->ButtonLayout() : TcxEditButtonsLayout::blNormal;
  StretchButtons = InPlace ? bounds.right < INT_MAX && layout != TcxEditButtonsLayout::blNormal
                           : layout == TcxEditButtonsLayout::blButtonsOnly;
  // 3. Border and colours.
  viewInfo->NativeStyle = NativeStyle;
  viewInfo->NativeState = NativeStyle ? ThemedEditState() : 0;
  viewInfo->NativePart = NativeStyle ? (Composited ? 6 : 1) : 0;
  viewInfo->BorderWidths = BorderWidthsOf();
  viewInfo->BorderWidth = BorderWidthOfStyle(static_cast<int>(viewInfo->EditBorderStyle));
  viewInfo->BorderRect = Deflated(bounds, viewInfo->BorderWidths);
  viewInfo->InsideBorderRect = viewInfo->BorderRect;
  if (!InPlace) viewInfo->BorderColor = BorderColorOf();
  TColor borderColor = clDefault, textColor = clDefault;
  viewInfo->ResolveColors(borderColor, textColor);
  if (borderColor != clDefault) viewInfo->BorderColor = borderColor;
  viewInfo->PaintTextColor = textColor == clDefault ? Style->GetTextColor() : textColor;
  TColor background = Style->GetColor();
  if (NativeStyle && !IsEnabled && !Style->GetAssignedValues().Contains(csvColor)) {
    COLORREF fill = 0;
    HTHEME theme = AcquireThemeHandle(totEdit);
    if (theme && SUCCEEDED(UxGetThemeColor(theme, Composited ? 3 : 1, viewInfo->NativeState, cxThemeFillColorProperty, fill)))
      background = fill;
  }
  viewInfo->AssignBackgroundColor(background);
  // 4. Buttons.
  CalculateButtons(canvas, bounds, keepPressed, viewInfo, shift, mouseEvent, p);
  // 5. Client rectangle.
  viewInfo->ClientRect = Deflated(bounds, ClientExtent(viewInfo));
  viewInfo->InnerControlRect = InnerControlVisible ? InnerControlBounds : viewInfo->ClientRect;
  // 6. The popup's border style.
  TcxEditPopupBorderStyle popup = Style->PopupBorderStyle();
  if (popup == epbsDefault && Edit) {
    static constexpr TcxEditPopupBorderStyle byKind[] = {epbsFlat, epbsFrame3D, epbsSingle, epbsSingle};
    static constexpr TcxEditPopupBorderStyle byBorder[] = {epbsFlat, epbsSingle, epbsSingle, epbsFlat,
                                                           epbsSingle, epbsSingle, epbsSingle};
    if (InPlace || (Style->BorderStyle() == ebsNone && VisibleButtonCount > 0))
      popup = byKind[LookAndFeelKind() % 4];
    else
      popup = byBorder[static_cast<int>(Style->BorderStyle()) % 7];
  }
  viewInfo->PopupBorderStyle = popup;
  viewInfo->ThemedObjectKind = totEdit;
}

void TcxCustomEditViewData::MeasureEditorSize(TcxCanvas* canvas, TcxCustomEditViewInfo* viewInfo, SIZE& extent,
                                              SIZE& minSize) {
  const RECT& b = viewInfo->Bounds;
  const RECT& c = viewInfo->ClientRect;
  extent = SIZE{(c.left - b.left) + (b.right - c.right), (c.top - b.top) + (b.bottom - c.bottom)};
  int height = 0;
  bool textSeen = false;
  for (int i = 0; i < viewInfo->ButtonCount(); ++i) {
    const TcxEditButtonViewInfo& button = viewInfo->Button(i);
    if (button.Kind == bkGlyph && IsGlyphUsable(button.Glyph)) height = std::max(height, button.Glyph->GetHeight());
    if (InPlace && button.Kind == bkText && !textSeen && canvas) {
      textSeen = true;
      canvas->SetFont(Style->GetFont());
      height = std::max(height, canvas->HeightOfText(button.DisplayCaption));
    }
  }
  minSize = SIZE{0, 0};
  if (height > 0) {
    const RECT margins = ThemedContentRect();
    const int padding = EditVerticalPadding(canvas, EffectiveButtonStyle(), NativeStyle);
    minSize.cy = std::max<LONG>(0, height + margins.top + margins.bottom + padding - extent.cy);
  }
}

SIZE TcxCustomEditViewData::EditSizeForValue(TcxCanvas* canvas, int widthLimit) {
  TcxCustomEditViewInfo info;
  FillViewInfo(canvas, RECT{0, 0, INT_MAX / 2, INT_MAX / 2}, false, &info, {}, emeNone, POINT{-1, -1});
  SIZE extent{}, minSize{};
  MeasureEditorSize(canvas, &info, extent, minSize);
  SIZE content;
  if (Properties && Properties->ButtonLayout() != TcxEditButtonsLayout::blNormal) {
    const RECT offsets = TextOffsets();
    int textHeight = 0;
    if (canvas) {
      canvas->SetFont(Style->GetFont());
      textHeight = canvas->HeightOfText("Zg");
    }
    content = SIZE{0, offsets.top + offsets.bottom + textHeight};
  } else {
    content = DefaultContentSize(canvas);
  }
  content.cx = std::max(content.cx, minSize.cx);
  content.cy = std::max(content.cy, minSize.cy);
  const bool noRoom = widthLimit >= 0 && widthLimit - extent.cx < 0;
  SIZE size;
  size.cx = noRoom ? widthLimit : extent.cx + content.cx;
  size.cy = extent.cy + content.cy;
  return size;
}
