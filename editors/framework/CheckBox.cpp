#include "editors/framework/CheckBox.h"

#include "editors/framework/EditConsts.h"
#include "editors/framework/EditUtils.h"
#include "editors/framework/Variants.h"
#include "foundation/LookAndFeelPainter.h"
#include "foundation/PainterResources.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"

#include <algorithm>

// -- Properties -------------------------------------------------------------------------------

const TClassInfo TcxCustomCheckBoxProperties::ClassInfo{
    "TcxCustomCheckBoxProperties", &TcxCustomEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCustomCheckBoxProperties(static_cast<TPersistent*>(owner)); }};
const TClassInfo TcxCheckBoxProperties::ClassInfo{
    "TcxCheckBoxProperties", &TcxCustomCheckBoxProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCheckBoxProperties(static_cast<TPersistent*>(owner)); }};

TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties(TPersistent* owner)
    : TcxCustomEditProperties(owner),
      FDisplayChecked(LoadResString(cxSEditCheckBoxChecked)),
      FDisplayUnchecked(LoadResString(cxSEditCheckBoxUnchecked)),
      FValueChecked(true),
      FValueGrayed(Variant::Null()),
      FValueUnchecked(false) {}

TcxCustomCheckBoxProperties::~TcxCustomCheckBoxProperties() = default;

bool TcxCustomCheckBoxProperties::OwnerLoading() const {
  const auto* owner = dynamic_cast<const TComponent*>(Owner());
  return owner && owner->ComponentState().Contains(csLoading);
}

void TcxCustomCheckBoxProperties::SetValue(Variant& field, const Variant& value, bool nullAllowed) {
  if (!OwnerLoading()) {
    if (!nullAllowed && value.IsNull()) return;
    if (VariantsIdentical(value, FValueChecked) || VariantsIdentical(value, FValueGrayed) ||
        VariantsIdentical(value, FValueUnchecked)) {
      return;
    }
  }
  field = value;
  NotifyChanged();
}

TBitmap* TcxCustomCheckBoxProperties::Glyph() {
  return OwnedGlyph(FGlyph, TNotifyEvent::Bind<&TcxCustomCheckBoxProperties::GlyphChanged>(this));
}

void TcxCustomCheckBoxProperties::SetGlyph(TBitmap* value) {
  if (AssignOwnedGlyph(FGlyph, value, TNotifyEvent::Bind<&TcxCustomCheckBoxProperties::GlyphChanged>(this))) NotifyChanged();
}

void TcxCustomCheckBoxProperties::SetGlyphCount(int value) {
  if (FGlyphCount == value) return;
  FGlyphCount = value;
  if (FGlyph) NotifyChanged();
}

TAlignment TcxCustomCheckBoxProperties::GlyphAlignment() const {
  const TcxEditAlignment* alignment = StoredAlignment();
  return alignment && alignment->HorzIsSet() ? alignment->Horz() : taLeftJustify;
}

TcxCheckBoxState TcxCustomCheckBoxProperties::StateOf(const Variant& value) const {
  if (VariantsEqual(value, FValueChecked)) return cbsChecked;
  if (VariantsEqual(value, FValueUnchecked)) return cbsUnchecked;
  return cbsGrayed;
}

Variant TcxCustomCheckBoxProperties::ValueOf(TcxCheckBoxState state) const {
  switch (state) {
    case cbsChecked: return FValueChecked;
    case cbsGrayed: return FValueGrayed;
    default: return FValueUnchecked;
  }
}

AnsiString TcxCustomCheckBoxProperties::DisplayTextOf(const TcxEditValue& value) const {
  switch (StateOf(value)) {
    case cbsChecked: return FDisplayChecked;
    case cbsGrayed: return FDisplayGrayed;
    default: return FDisplayUnchecked;
  }
}

bool TcxCustomCheckBoxProperties::AcceptsValue(const TcxEditValue& value) const {
  return TcxCustomEditProperties::AcceptsValue(value) &&
         (VariantsIdentical(value, FValueChecked) || VariantsIdentical(value, FValueGrayed) ||
          VariantsIdentical(value, FValueUnchecked));
}

void TcxCustomCheckBoxProperties::ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool) const {
  display = Variant(static_cast<int>(StateOf(value)));
}

void TcxCustomCheckBoxProperties::CopyFrom(TPersistent* source) {
  auto* other = dynamic_cast<TcxCustomCheckBoxProperties*>(source);
  if (!other) {
    TcxCustomEditProperties::CopyFrom(source);
    return;
  }
  LockChanges();
  try {
    TcxCustomEditProperties::CopyFrom(source);
    FAllowGrayed = other->FAllowGrayed;
    FDisplayChecked = other->FDisplayChecked;
    FDisplayGrayed = other->FDisplayGrayed;
    FDisplayUnchecked = other->FDisplayUnchecked;
    FFullFocusRect = other->FFullFocusRect;
    SetGlyph(other->FGlyph.get());
    FGlyphCount = other->FGlyphCount;
    FMultiLine = other->FMultiLine;
    FNullStyle = other->FNullStyle;
    FUseAlignmentWhenInplace = other->FUseAlignmentWhenInplace;
    // The three values only as a consistent set.
    const Variant& c = other->FValueChecked;
    const Variant& g = other->FValueGrayed;
    const Variant& u = other->FValueUnchecked;
    if (!VariantsIdentical(c, g) && !VariantsIdentical(c, u) && !VariantsIdentical(g, u) && !c.IsNull() &&
        !u.IsNull()) {
      FValueChecked = c;
      FValueGrayed = g;
      FValueUnchecked = u;
    }
    NotifyChanged();
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

// -- Glyph drawing ----------------------------------------------------------------------------

namespace {

std::unique_ptr<TBitmap> gCheckMarkMask;
// The system check-box bitmap (OBM_CHECKBOXES, an OEM resource id).
constexpr int cxObmCheckBoxes = 32759;

int BorderWidthOf(TcxEditBorderStyle style) {
  switch (style) {
    case ebsNone: return 0;
    case ebsSingle: case ebsUltraFlat: case ebsOffice11: return 1;
    default: return 2;
  }
}

void BuildCheckMarkMask() {
  const SIZE size = TcxCustomLookAndFeelPainter::Instance.CheckBoxGlyphSize();
  HBITMAP system = LoadBitmapA(nullptr, MAKEINTRESOURCEA(cxObmCheckBoxes));
  auto mask = std::make_unique<TBitmap>();
  mask->SetMonochrome(true);
  mask->SetSize(size.cx, size.cy);
  HDC screen = GetDC(nullptr);
  HDC source = CreateCompatibleDC(screen);
  HGDIOBJ old = system ? SelectObject(source, system) : nullptr;
  TCanvas* target = mask->Canvas();
  for (int y = 0; y < size.cy; ++y) {
    for (int x = 0; x < size.cx; ++x) {
      const bool differs = system && GetPixel(source, x, y) != GetPixel(source, size.cx + x, y);
      target->SetPixels(x, y, differs ? clBlack : clWhite);
    }
  }
  if (old) SelectObject(source, old);
  DeleteDC(source);
  ReleaseDC(nullptr, screen);
  if (system) DeleteObject(system);
  gCheckMarkMask = std::move(mask);
}

void DrawCustomGlyph(TcxCanvas* canvas, const RECT& r, const TcxCheckBoxGlyphParams& p) {
  const int cell = CheckBoxGlyphCell(p.State, p.ButtonState, p.GlyphCount);
  const int cellWidth = p.Glyph->Width() / p.GlyphCount;
  const int w = std::min<int>(cellWidth, r.right - r.left);
  const int h = std::min<int>(p.Glyph->Height(), r.bottom - r.top);
  TBitmap part;
  part.SetSize(w, h);
  const int top = (p.Glyph->Height() - h) / 2;
  part.Canvas()->CopyRect(RECT{0, 0, w, h}, p.Glyph->Canvas(), RECT{cell * cellWidth, top, cell * cellWidth + w, top + h});
  part.SetTransparentColor(p.Glyph->TransparentColor());
  DrawGlyphOnCanvas(canvas, r.left, r.top, nullptr, clNone, p.ButtonState != cxcbDisabled, &part);
}

void DrawNativeGlyph(TcxCanvas* canvas, const RECT& r, const TcxCheckBoxGlyphParams& p) {
  HTHEME theme = AcquireThemeHandle(totButton);
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 3, CheckBoxThemeState(p.State, p.ButtonState), r, nullptr);
}

void DrawHandGlyph(TcxCanvas* canvas, const RECT& k, const TcxCheckBoxGlyphParams& p) {
  const TcxEditBorderStyle style = p.BorderStyle;
  RECT r = k;
  if (p.DrawBackground) {
    RECT inner = k;
    const int inset = 2 - BorderWidthOf(style);
    InflateRect(&inner, -inset, -inset);
    canvas->FillWithColor(k, p.BackgroundColor);
  }
  switch (style) {
    case ebsNone: break;
    case ebsSingle: canvas->DrawSideFrame(r, p.BorderColor, 1, cxBordersAll); break;
    case ebsThick: canvas->DrawSideFrame(r, p.BorderColor, 2, cxBordersAll); break;
    case ebsFlat: {
      canvas->Draw3DEdge(r, true, false);
      RECT in = r;
      InflateRect(&in, -1, -1);
      canvas->DrawSideFrame(in, clBtnFace, 1, cxBordersAll);
      break;
    }
    case ebs3D: {
      canvas->Draw3DEdge(r, true, false);
      RECT in = r;
      InflateRect(&in, -1, -1);
      canvas->DrawTwoToneFrame(in, cl3DDkShadow, cl3DLight, cxBordersAll, 1);
      break;
    }
    case ebsUltraFlat:
    case ebsOffice11: {
      TColor color;
      if (style == ebsOffice11 && p.ButtonState == cxcbNormal && !p.Designing && !p.Focused)
        color = clBtnText;
      else if (p.ButtonState == cxcbHot || p.ButtonState == cxcbPressed ||
               (p.Designing && p.ButtonState != cxcbDisabled) || (p.ButtonState == cxcbNormal && p.Focused))
        color = ButtonHighlightColor(style == ebsOffice11);
      else
        color = clBtnShadow;
      canvas->DrawSideFrame(r, color, 1, cxBordersAll);
      break;
    }
  }
  RECT mark = k;
  InflateRect(&mark, -2, -2);
  const TcxCheckBoxState state = p.State;
  if (style == ebsUltraFlat || style == ebsOffice11) {
    TColor fill;
    if (p.ButtonState == cxcbHot || p.ButtonState == cxcbPressed)
      fill = FlatButtonColor(p.ButtonState == cxcbHot, style == ebsOffice11);
    else if (p.ButtonState == cxcbDisabled)
      fill = clBtnFace;
    else
      fill = state == cbsGrayed && p.NullStyle == nssInactive ? clBtnFace : clWindow;
    canvas->FillWithColor(mark, fill);
    if (state == cbsChecked || (state == cbsGrayed && p.NullStyle == nssGrayedChecked)) {
      const TColor color = p.ButtonState == cxcbDisabled || state == cbsGrayed ? clBtnShadow : clBtnText;
      StampCheckMark(canvas, k.left, k.top, color);
    }
    return;
  }
  UINT flags = DFCS_BUTTONCHECK;
  if (style != ebs3D) flags |= DFCS_FLAT;
  if (p.ButtonState == cxcbDisabled) {
    if (state == cbsChecked || (state == cbsGrayed && p.NullStyle == nssGrayedChecked))
      flags |= DFCS_CHECKED | DFCS_PUSHED | DFCS_BUTTON3STATE;
    else
      flags |= DFCS_INACTIVE | DFCS_PUSHED | DFCS_BUTTON3STATE;
  } else if (state == cbsChecked) {
    flags |= DFCS_CHECKED;
    if (p.ButtonState == cxcbPressed) flags |= DFCS_PUSHED;
  } else if (state == cbsGrayed) {
    if (p.NullStyle == nssInactive) flags |= DFCS_INACTIVE;
    if (p.NullStyle == nssGrayedChecked) flags |= DFCS_CHECKED | DFCS_BUTTON3STATE;
    if (p.ButtonState == cxcbPressed) flags |= DFCS_PUSHED;
  } else if (p.ButtonState == cxcbPressed) {
    flags |= DFCS_PUSHED;
  }
  RECT larger = mark;
  InflateRect(&larger, 2, 2);
  HDC dc = canvas->GetDeviceContext();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, mark.left, mark.top, mark.right, mark.bottom);
  DrawFrameControl(dc, &larger, DFC_BUTTON, flags);
  RestoreDC(dc, saved);
}

}  // namespace

int CheckBoxGlyphCell(TcxCheckBoxState state, uint8_t buttonState, int glyphCount) {
  int index = static_cast<int>(state);
  if (buttonState == cxcbPressed) index += 3;
  if (index >= glyphCount && index > 2) index %= 3;
  return index;
}

int CheckBoxThemeState(TcxCheckBoxState state, uint8_t buttonState) {
  return static_cast<int>(state) * 4 + buttonState + 1;
}

SIZE CheckBoxDefaultGlyphSize(bool native, HDC dc) {
  if (native) {
    SIZE size{};
    if (HTHEME theme = AcquireThemeHandle(totButton);
        theme && SUCCEEDED(UxGetThemePartSizeNoRect(theme, dc, 3, 1, TS_DRAW, size)) && size.cx > 0) {
      return size;
    }
  }
  return SystemCheckBoxGlyphSize();
}

TBitmap* CheckMarkMask() { return gCheckMarkMask.get(); }

void StampCheckMark(TcxCanvas* canvas, int x, int y, TColor color) {
  TBitmap* mask = CheckMarkMask();
  if (!mask) return;
  HDC dc = canvas->GetDeviceContext();
  HBRUSH brush = CreateSolidBrush(ColorToRGB(color));
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  const COLORREF oldText = SetTextColor(dc, RGB(0, 0, 0));
  const COLORREF oldBack = SetBkColor(dc, RGB(255, 255, 255));
  BitBlt(dc, x, y, mask->Width(), mask->Height(), mask->Canvas()->Handle(), 0, 0, 0xB8074A);
  SetBkColor(dc, oldBack);
  SetTextColor(dc, oldText);
  SelectObject(dc, oldBrush);
  DeleteObject(brush);
}

void DrawCheckBoxGlyph(TcxCanvas* canvas, const RECT& r, const TcxCheckBoxGlyphParams& params) {
  TcxCheckBoxGlyphParams p = params;
  if (p.State == cbsGrayed && p.NullStyle == nssUnchecked) p.State = cbsUnchecked;
  if (p.Glyph && IsGlyphUsable(p.Glyph) && p.GlyphCount > 0)
    DrawCustomGlyph(canvas, r, p);
  else if (p.Native)
    DrawNativeGlyph(canvas, r, p);
  else
    DrawHandGlyph(canvas, r, p);
}

// -- The editor -------------------------------------------------------------------------------

const TClassInfo TcxCustomCheckBox::ClassInfo{
    "TcxCustomCheckBox", &TcxCustomEdit::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCustomCheckBox(static_cast<TComponent*>(owner)); }};
const TClassInfo TcxCheckBox::ClassInfo{
    "TcxCheckBox", &TcxCustomCheckBox::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCheckBox(static_cast<TComponent*>(owner)); }};

TcxCustomCheckBox::TcxCustomCheckBox(TComponent* owner, bool inPlace) : TcxCustomEdit(owner, inPlace) {}

void TcxCustomCheckBox::AfterConstruction() {
  TcxCustomEdit::AfterConstruction();
  SetBounds(Left(), Top(), 121, Height());
  LockChangeEvents(true);
  SetEditValue(ActiveProperties()->ValueUnchecked());
  LockChangeEvents(false, false);
  FShownState = cbsUnchecked;
}

TcxCheckBoxState TcxCustomCheckBox::State() { return ActiveProperties()->StateOf(EditValue()); }

void TcxCustomCheckBox::SetState(TcxCheckBoxState value) {
  if (State() == value && !EditValue().IsEmpty()) return;
  SetEditValue(ActiveProperties()->ValueOf(value));
}

void TcxCustomCheckBox::StoreInternalEditValue(const Variant& value) {
  TWeakLink<TControl> self(this);
  TcxCustomEdit::StoreInternalEditValue(value);
  if (!self.Get()) return;
  const TcxCheckBoxState state = ActiveProperties()->StateOf(EditValue());
  if (state == FShownState) return;
  FShownState = state;
  Invalidate();
  FStateClick = true;
  try {
    Click();
  } catch (...) {
    if (self.Get()) FStateClick = false;
    throw;
  }
  if (!self.Get()) return;
  FStateClick = false;
  FireChange();
}

void TcxCustomCheckBox::Click() {
  if (FStateClick && !FShowingAction) TcxCustomEdit::Click();
}

void TcxCustomCheckBox::SetCheckedFromAction(bool value) {
  TWeakLink<TControl> self(this);
  const bool was = FShowingAction;
  FShowingAction = true;
  LockChangeEvents(true);
  try {
    SetChecked(value);
  } catch (...) {
    if (self.Get()) {
      FShowingAction = was;
      LockChangeEvents(false);
    }
    throw;
  }
  if (!self.Get()) return;
  FShowingAction = was;
  LockChangeEvents(false);
}

void TcxCustomCheckBox::ActionChange(TObject* Sender, bool CheckDefaults) {
  TWeakLink<TControl> self(this);
  TcxCustomEdit::ActionChange(Sender, CheckDefaults);
  if (!self.Get()) return;
  auto* action = ObjectAs<TCustomAction>(Sender);
  if (!action || ComponentState().Contains(csLoading)) return;
  if (CheckDefaults && Checked()) return;
  const bool was = FShowingAction;
  FShowingAction = true;
  try {
    SetChecked(action->Checked());
  } catch (...) {
    if (self.Get()) FShowingAction = was;
    throw;
  }
  if (self.Get()) FShowingAction = was;
}

TClass TcxCustomCheckBox::GetActionLinkClass() const { return &TcxCheckBoxActionLink::ClassInfo; }

// -- Action link and filter helper ------------------------------------------------------------

const TClassInfo TcxCheckBoxActionLink::ClassInfo{
    "TcxCheckBoxActionLink", &TControlActionLink::ClassInfo,
    [](TObject* client) -> TObject* { return new TcxCheckBoxActionLink(client); }};

TcxCustomCheckBox* TcxCheckBoxActionLink::CheckBox() const { return ObjectAs<TcxCustomCheckBox>(FClient); }

bool TcxCheckBoxActionLink::IsCheckedLinked() {
  TcxCustomCheckBox* box = CheckBox();
  return TControlActionLink::IsCheckedLinked() && box && box->State() != cbsGrayed &&
         box->Checked() == CustomAction()->Checked();
}

void TcxCheckBoxActionLink::SetChecked(bool value) {
  if (IsCheckedLinked()) CheckBox()->SetCheckedFromAction(value);
}

const TClassInfo TcxFilterCheckBoxHelper::ClassInfo{
    "TcxFilterCheckBoxHelper", &TcxFilterTextEditHelper::ClassInfo,
    [](TObject*) -> TObject* { return new TcxFilterCheckBoxHelper(); }};

void TcxFilterCheckBoxHelper::FilterValueText(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                              AnsiString& text, Variant& value) const {
  auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(properties);
  if (!check) {
    TcxFilterTextEditHelper::FilterValueText(edit, properties, text, value);
    return;
  }
  const AnsiString shown = VarToStr(edit->EditValue());
  for (const TcxCheckBoxState state : {cbsChecked, cbsUnchecked}) {
    const Variant candidate = check->ValueOf(state);
    if (shown == check->DisplayTextOf(candidate)) {
      value = candidate;
      text = shown;
      return;
    }
  }
  value = Variant::Null();
  text.clear();
}

TcxFilterOperators TcxFilterCheckBoxHelper::AllowedOperators(TObject*, const TcxValueType*, bool) const {
  return TcxFilterOperators{1, 2, 9, 10};
}

void TcxFilterCheckBoxHelper::PutFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties,
                                             const Variant& value) const {
  auto* check = dynamic_cast<TcxCustomCheckBoxProperties*>(properties);
  if (!check) {
    TcxFilterTextEditHelper::PutFilterValue(edit, properties, value);
    return;
  }
  const TcxCheckBoxState state = check->StateOf(value);
  edit->SetEditValue(state == cbsGrayed ? Variant(AnsiString()) : Variant(check->DisplayTextOf(value)));
}

void TcxCustomCheckBox::AdvanceState() {
  TcxCheckBoxState next = cbsChecked;
  switch (State()) {
    case cbsUnchecked: next = ActiveProperties()->AllowGrayed() ? cbsGrayed : cbsChecked; break;
    case cbsChecked: next = cbsUnchecked; break;
    case cbsGrayed: next = cbsChecked; break;
  }
  TWeakLink<TControl> self(this);
  LockChangeEvents(true);
  const bool wasUser = UserAction();
  {
    TcxFlagGuard cycling(FCycling, true);
    SetUserAction(true);
    try {
      AssignEditValue(ActiveProperties()->ValueOf(next));
    } catch (...) {
      if (self.Get()) {
        SetUserAction(wasUser);
        LockChangeEvents(false);
      }
      throw;
    }
  }
  if (!self.Get()) return;
  SetUserAction(wasUser);
  LockChangeEvents(false);
  if (self.Get() && ActiveProperties()->ImmediatePost() && Modified() && ValidateNow()) StoreEditValue(false);
}

TcxEditBorderStyle TcxCustomCheckBox::CheckBorderStyle() {
  TcxEditBorderStyle style = static_cast<TcxEditStyle*>(CurrentStyle())->BorderStyle();
  const bool active = Style()->GetHotTrack() && !InPlace() && !ComponentState().Contains(csDesigning) &&
                      (MouseWithin() || Focused());
  if (active) {
    if (style == ebsNone) style = ebsFlat;
    else if (style == ebsSingle) style = ebsThick;
    else if (style == ebsFlat) style = ebs3D;
  }
  return style;
}

bool TcxCustomCheckBox::MouseWithin() {
  if (!HandleAllocated()) return false;
  POINT p{};
  GetCursorPos(&p);
  if (WindowFromPoint(p) != Handle()) return false;
  p = ScreenToClient(p);
  return p.x >= 0 && p.y >= 0 && p.x < Width() && p.y < Height();
}

void TcxCustomCheckBox::CalculateLayout(TcxCanvas* canvas) {
  TcxCustomCheckBoxProperties* p = ActiveProperties();
  const RECT c = ClientRect();
  const TAlignment alignment = p->GlyphAlignment();
  const bool native = UsesNativeStyle();
  SIZE glyph;
  if (p->HasGlyph() && IsGlyphUsable(p->Glyph()) && p->GlyphCount() > 0)
    glyph = SIZE{p->Glyph()->Width() / p->GlyphCount(), p->Glyph()->Height()};
  else
    glyph = CheckBoxDefaultGlyphSize(native, canvas->GetDeviceContext());
  RECT t = c, k = c;
  InflateRect(&t, -2, -2);
  t.top -= 1;
  InflateRect(&k, -2, -2);
  if (k.bottom - k.top > glyph.cy) {
    k.top += (k.bottom - k.top - glyph.cy) / 2;
    k.bottom = k.top + glyph.cy;
  }
  if (glyph.cx >= k.right - k.left) {
    t = RECT{};
  } else if (alignment == taCenter) {
    k.left += (k.right - k.left - glyph.cx) / 2;
    k.right = k.left + glyph.cx;
  } else if (alignment == taRightJustify) {
    k.left = k.right - glyph.cx;
    t.right = k.left - 3;
  } else {
    k.right = k.left + glyph.cx;
    t.left = k.right + 3;
  }
  if (!Enabled() && !native) {
    t.right += 1;
    t.bottom += 1;
  }
  RECT focus{};
  if (Focused()) {
    if (alignment == taCenter) {
      focus = c;
      InflateRect(&focus, -1, -1);
    } else if (!Caption().empty()) {
      focus = t;
      if (!p->FullFocusRect()) {
        canvas->SetFont(CurrentStyle()->GetFont());
        RECT extent = t;
        canvas->MeasureTextRect(Caption(), extent, (CaptionFlags() & ~(cxAlignVCenter | cxAlignBottom)) | cxAlignTop);
        const int h = extent.bottom - extent.top;
        focus.right = std::min(t.right, static_cast<LONG>(t.left + extent.right - extent.left));
        if (!(CaptionFlags() & cxAlignTop)) focus.top = t.top + (t.bottom - t.top - h) / 2;
        focus.bottom = focus.top + h;
      }
      InflateRect(&focus, 1, 1);
    }
  }
  FCheckRect = k;
  FTextRect = t;
  FFocusRect = focus;
}

unsigned TcxCustomCheckBox::CaptionFlags() {
  TcxCustomCheckBoxProperties* p = ActiveProperties();
  unsigned flags = p->GlyphAlignment() == taCenter ? cxAlignHCenter : cxAlignLeft;
  flags |= cxShowPrefix;
  if (p->MultiLine())
    flags |= cxWordBreak | cxDontClip;
  else
    flags |= cxSingleLine;
  flags |= p->MultiLine() && !InPlace() ? cxAlignTop : cxAlignVCenter;
  return flags;
}

void TcxCustomCheckBox::UpdateButtonState(TShiftState shift, bool leftEvent) {
  uint8_t state = cxcbNormal;
  if (!Enabled()) {
    state = cxcbDisabled;
  } else if (FSpacePressed) {
    state = cxcbPressed;
  } else if (!ComponentState().Contains(csDesigning) && MouseWithin()) {
    const bool anyButton = shift.Contains(ssLeft) || shift.Contains(ssRight) || shift.Contains(ssMiddle);
    const bool modifier = shift.Contains(ssShift) || shift.Contains(ssCtrl) || shift.Contains(ssAlt);
    if (!anyButton && !modifier)
      state = cxcbHot;
    else if (shift.Contains(ssLeft) && !shift.Contains(ssRight) && !shift.Contains(ssMiddle) &&
             (leftEvent || FButtonState == cxcbPressed))
      state = cxcbPressed;
  }
  const uint8_t old = FButtonState;
  if (state == old) return;
  FButtonState = state;
  Invalidate();
  // A left press released over the box.
  if (old == cxcbPressed && state == cxcbHot && !FSpacePressed) AdvanceState();
}

void TcxCustomCheckBox::Paint() {
  TcxCanvas* canvas = cxCanvas();
  if (!Enabled()) FButtonState = cxcbDisabled;
  else if (FButtonState == cxcbDisabled) FButtonState = cxcbNormal;
  CalculateLayout(canvas);
  TcxCustomCheckBoxProperties* p = ActiveProperties();
  TcxCustomEditStyle* style = CurrentStyle();
  const RECT c = ClientRect();
  const TColor background = style->GetColor();
  canvas->FillWithColor(c, background);
  TcxCheckBoxGlyphParams g;
  g.State = State();
  FShownState = g.State;
  g.ButtonState = FButtonState;
  g.BorderStyle = CheckBorderStyle();
  g.NullStyle = p->NullStyle();
  if (p->HasGlyph()) {
    g.Glyph = p->Glyph();
    g.GlyphCount = p->GlyphCount();
  }
  g.Native = UsesNativeStyle();
  g.BackgroundColor = background;
  g.BorderColor = style->GetBorderColor();
  g.Focused = Focused();
  g.Designing = ComponentState().Contains(csDesigning);
  DrawCheckBoxGlyph(canvas, FCheckRect, g);
  if (p->GlyphAlignment() != taCenter && !IsRectEmpty(&FTextRect)) {
    canvas->SetFont(style->GetFont());
    canvas->GetFont()->SetColor(style->GetTextColor());
    canvas->GetBrush()->SetStyle(TBrushStyle::bsClear);
    canvas->DrawTextInState(Caption(), FTextRect, CaptionFlags(), Enabled() || g.Native);
    canvas->GetBrush()->SetStyle(TBrushStyle::bsSolid);
  }
  if (!IsRectEmpty(&FFocusRect)) {
    canvas->GetFont()->SetColor(clBtnText);
    canvas->GetBrush()->SetColor(background);
    canvas->PaintFocusRect(FFocusRect);
  }
}

void TcxCustomCheckBox::KeyDown(WORD& Key, TShiftState Shift) {
  if (Key == VK_SPACE && (FButtonState == cxcbNormal || FButtonState == cxcbHot)) {
    FSpacePressed = true;
    FButtonState = cxcbPressed;
    Invalidate();
    Key = 0;
    return;
  }
  TcxCustomEdit::KeyDown(Key, Shift);
}

void TcxCustomCheckBox::KeyUp(WORD& Key, TShiftState Shift) {
  if (Key == VK_SPACE && FSpacePressed) {
    FSpacePressed = false;
    FButtonState = cxcbNormal;
    Invalidate();
    Key = 0;
    AdvanceState();
    return;
  }
  TcxCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomCheckBox::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TcxCustomEdit::MouseDown(Button, Shift, X, Y);
  if (self.Get()) UpdateButtonState(Shift, Button == mbLeft);
}

void TcxCustomCheckBox::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TcxCustomEdit::MouseUp(Button, Shift, X, Y);
  if (self.Get()) UpdateButtonState(Shift, Button == mbLeft);
}

void TcxCustomCheckBox::MouseMove(TShiftState Shift, int X, int Y) {
  TWeakLink<TControl> self(this);
  TcxCustomEdit::MouseMove(Shift, X, Y);
  if (self.Get()) UpdateButtonState(Shift, false);
}

void TcxCustomCheckBox::DoExit() {
  FSpacePressed = false;
  if (FButtonState == cxcbPressed) FButtonState = cxcbNormal;
  TcxCustomEdit::DoExit();
}

void TcxCustomCheckBox::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Caption()) && CanFocus()) {
        SetFocus();
        if (Focused()) AdvanceState();
        Message.Result = 1;
        return;
      }
      break;
    case WM_MOUSELEAVE:
    case CM_MOUSELEAVE:
      TcxCustomEdit::WndProc(Message);
      if (FButtonState == cxcbHot) {
        FButtonState = cxcbNormal;
        Invalidate();
      }
      return;
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      TcxCustomEdit::WndProc(Message);
      Invalidate();
      return;
    default:
      break;
  }
  TcxCustomEdit::WndProc(Message);
}

// -- Unit -------------------------------------------------------------------------------------

void cxCheckBoxInit() {
  RegisterClass(&TcxCheckBox::ClassInfo);
  RegisteredPropertiesClasses()->EnrolClass(&TcxCheckBoxProperties::ClassInfo,
                                            LoadResString(cxSEditRepositoryCheckBoxItem));
  FilterEditsController()->AddPair(&TcxCheckBoxProperties::ClassInfo, &TcxFilterCheckBoxHelper::ClassInfo);
  BuildCheckMarkMask();
}

void cxCheckBoxDone() {
  gCheckMarkMask.reset();
  if (FilterEditsControllerExists())
    FilterEditsController()->RemovePair(&TcxCheckBoxProperties::ClassInfo, &TcxFilterCheckBoxHelper::ClassInfo);
  RegisteredPropertiesClasses()->WithdrawClass(&TcxCheckBoxProperties::ClassInfo);
  UnRegisterClass(&TcxCheckBox::ClassInfo);
}
