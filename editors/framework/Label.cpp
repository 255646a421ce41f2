#include "editors/framework/Label.h"

#include "editors/framework/EditConsts.h"
#include "editors/framework/EditUtils.h"
#include "foundation/Controls.h"
#include "foundation/Graphics.h"
#include "platform/Properties.h"
#include "platform/StdCtrls.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

// -- Properties -------------------------------------------------------------------------------

const TClassInfo TcxCustomLabelProperties::ClassInfo{
    "TcxCustomLabelProperties", &TcxCustomEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCustomLabelProperties(static_cast<TPersistent*>(owner)); }};
const TClassInfo TcxLabelProperties::ClassInfo{
    "TcxLabelProperties", &TcxCustomLabelProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxLabelProperties(static_cast<TPersistent*>(owner)); }};

TcxCustomLabelProperties::TcxCustomLabelProperties(TPersistent* owner) : TcxCustomEditProperties(owner) {}
TcxCustomLabelProperties::~TcxCustomLabelProperties() = default;

TBitmap* TcxCustomLabelProperties::Glyph() {
  return OwnedGlyph(FGlyph, TNotifyEvent::Bind<&TcxCustomLabelProperties::GlyphChanged>(this));
}

void TcxCustomLabelProperties::SetGlyph(TBitmap* value) {
  if (AssignOwnedGlyph(FGlyph, value, TNotifyEvent::Bind<&TcxCustomLabelProperties::GlyphChanged>(this))) NotifyChanged();
}

void TcxCustomLabelProperties::DepthOffsets(int& dx, int& dy) const {
  dx = dy = 0;
  if (FLabelEffect == cxleNormal) return;
  switch (FOrientation) {
    case cxoLeft: case cxoRight: dx = FDepth; break;
    case cxoTop: case cxoBottom: dy = FDepth; break;
    default: dx = dy = FDepth; break;
  }
}

void TcxCustomLabelProperties::ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool) const {
  display = Variant(DisplayTextOf(value));
}

AnsiString TcxCustomLabelProperties::DisplayTextOf(const TcxEditValue& value) const {
  if (value.IsEmpty() || value.IsNull()) return AnsiString();
  try {
    return value.AsString();
  } catch (...) {
    return AnsiString();
  }
}

void TcxCustomLabelProperties::CopyFrom(TPersistent* source) {
  auto* other = dynamic_cast<TcxCustomLabelProperties*>(source);
  if (!other) {
    TcxCustomEditProperties::CopyFrom(source);
    return;
  }
  LockChanges();
  try {
    TcxCustomEditProperties::CopyFrom(source);
    FLabelEffect = other->FLabelEffect;
    FLabelStyle = other->FLabelStyle;
    FOrientation = other->FOrientation;
    FDepth = other->FDepth;
    FShadowedColor = other->FShadowedColor;
    FShowAccelChar = other->FShowAccelChar;
    FShowEndEllipsis = other->FShowEndEllipsis;
    FAngle = other->FAngle;
    FPenWidth = other->FPenWidth;
    FWordWrap = other->FWordWrap;
    SetGlyph(other->FGlyph.get());
    NotifyChanged();
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

// -- Drawing ----------------------------------------------------------------------------------

TColor BlendColor(TColor background, TColor shadowed, int i, int n) {
  const COLORREF b = ColorToRGB(background);
  const COLORREF s = ColorToRGB(shadowed);
  auto channel = [&](int from, int to) { return n == 0 ? to : from + (to - from) * i / n; };
  return static_cast<TColor>(RGB(channel(GetRValue(b), GetRValue(s)), channel(GetGValue(b), GetGValue(s)),
                                 channel(GetBValue(b), GetBValue(s))));
}

namespace {

bool IsTrueTypeFont(HDC dc) {
  TEXTMETRICA tm{};
  return GetTextMetricsA(dc, &tm) && (tm.tmPitchAndFamily & TMPF_TRUETYPE) != 0;
}

// Selects the font turned by `angle` (tenths of a degree for GDI); answers
// the font to put back and the one to free.
struct TRotatedFont {
  HDC Dc;
  HFONT Font = nullptr;
  HGDIOBJ Old = nullptr;
  TRotatedFont(HDC dc, TFont* font, int angle) : Dc(dc) {
    LOGFONTA lf{};
    GetObjectA(font->Handle(), sizeof lf, &lf);
    lf.lfEscapement = lf.lfOrientation = angle * 10;
    Font = CreateFontIndirectA(&lf);
    Old = SelectObject(dc, Font);
  }
  ~TRotatedFont() {
    SelectObject(Dc, Old);
    DeleteObject(Font);
  }
};

int StyleOffset(const TcxCustomLabelProperties* p, TFont* font) {
  if (p->LabelStyle() != cxlsRaised && p->LabelStyle() != cxlsLowered) return 0;
  return font->Size() < 12 ? 1 : 2;
}

UINT LabelTextFlags(const TcxCustomLabelProperties* p, bool rotated) {
  UINT flags = DT_NOCLIP | DT_TOP;
  const TAlignment alignment = p->StoredAlignment() && p->StoredAlignment()->HorzIsSet()
                                   ? p->StoredAlignment()->Horz()
                                   : taLeftJustify;
  flags |= alignment == taCenter ? DT_CENTER : alignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  if (p->WordWrap() && !rotated) flags |= DT_WORDBREAK;
  if (!p->ShowAccelChar() || rotated) flags |= DT_NOPREFIX;
  if (p->ShowEndEllipsis()) flags |= DT_END_ELLIPSIS;
  return flags;
}

}  // namespace

int EffectiveLabelAngle(TcxCanvas* canvas, TFont* font, int angle) {
  HDC dc = canvas->GetDeviceContext();
  HGDIOBJ old = SelectObject(dc, font->Handle());
  const bool trueType = IsTrueTypeFont(dc);
  SelectObject(dc, old);
  return trueType ? ((angle % 360) + 360) % 360 : 0;
}

void DrawLabel(TcxCanvas* canvas, const RECT& r, const TcxLabelDrawParams& params) {
  const TcxCustomLabelProperties* p = params.Properties;
  HDC dc = canvas->GetDeviceContext();
  if (!params.Transparent) canvas->FillWithColor(r, params.BackgroundColor);
  const int angle = EffectiveLabelAngle(canvas, params.Font, p->Angle());
  const int saved = SaveDC(dc);
  TRotatedFont font(dc, params.Font, angle);
  const bool trueType = IsTrueTypeFont(dc);
  SetBkMode(dc, TRANSPARENT);
  int dx = 0, dy = 0;
  if (p->LabelEffect() != cxleNormal && p->Depth() != 0) p->DepthOffsets(dx, dy);
  const int depthX = dx, depthY = dy;
  const AnsiString shown = p->ShowAccelChar() ? StripAccelChars(params.Text) : params.Text;
  // The start point.
  POINT at{r.left, r.top};
  if (angle != 0) {
    RECT extent{0, 0, 0, 0};
    DrawTextA(dc, shown.c_str(), static_cast<int>(shown.size()), &extent, DT_CALCRECT | DT_NOPREFIX);
    const double t = angle * 3.14159265358979323846 / 180.0;
    const double w = extent.right - extent.left, h = extent.bottom - extent.top;
    const double cx = r.left + (r.right - r.left - depthX) / 2.0, cy = r.top + (r.bottom - r.top - depthY) / 2.0;
    at.x = static_cast<LONG>(std::lround(cx - (w / 2) * std::cos(t) - (h / 2) * std::sin(t)));
    at.y = static_cast<LONG>(std::lround(cy + (w / 2) * std::sin(t) - (h / 2) * std::cos(t)));
  }
  const int s = StyleOffset(p, params.Font);
  const TcxLabelOrientation o = p->Orientation();
  if (o == cxoRight || o == cxoRightTop || o == cxoRightBottom) {
    at.x += s + dx;
    dx = -dx;
  }
  if (o == cxoBottom || o == cxoLeftBottom || o == cxoRightBottom) {
    at.y += s + dy;
    dy = -dy;
  }
  if (p->LabelEffect() == cxleFun || p->LabelEffect() == cxleExtrude) {
    dx = (dx > 0) - (dx < 0);
    dy = (dy > 0) - (dy < 0);
  }
  const RECT textRect{r.left, r.top, r.right - depthX, r.bottom - depthY};
  const UINT flags = LabelTextFlags(p, angle != 0);
  auto drawOnce = [&](POINT pt, TColor color) {
    SetTextColor(dc, ColorToRGB(color));
    if (angle != 0) {
      ExtTextOutA(dc, pt.x, pt.y, 0, nullptr, shown.c_str(), static_cast<UINT>(shown.size()), nullptr);
    } else {
      RECT box = textRect;
      OffsetRect(&box, pt.x - r.left, pt.y - r.top);
      DrawTextA(dc, params.Text.c_str(), static_cast<int>(params.Text.size()), &box, flags);
    }
  };
  // Depth copies.
  if (p->LabelEffect() != cxleNormal && p->Depth() != 0 && (dx != 0 || dy != 0)) {
    const int n = p->Depth() / std::abs(dx != 0 ? dx : dy);
    for (int i = 1; i <= n; ++i) {
      const TColor color = p->LabelEffect() == cxleFun
                               ? BlendColor(params.BackgroundColor, p->ShadowedColor(), i, n)
                               : p->ShadowedColor();
      drawOnce(at, color);
      at.x += dx;
      at.y += dy;
    }
  }
  if (dx < 0) at.x -= s;
  if (dy < 0) at.y -= s;
  // The last layer, textured when there is a glyph.
  TBitmap* glyph = p->HasGlyph() ? const_cast<TcxCustomLabelProperties*>(p)->Glyph() : nullptr;
  auto drawText = [&](POINT pt) {
    if (!glyph || !trueType) {
      drawOnce(pt, params.TextColor);
      return;
    }
    BeginPath(dc);
    drawOnce(pt, params.TextColor);
    EndPath(dc);
    const int clipSaved = SaveDC(dc);
    SelectClipPath(dc, RGN_AND);
    canvas->FillRectOrTile(r, glyph);
    RestoreDC(dc, clipSaved);
  };
  const bool big = params.Font->Size() >= 12;
  switch (p->LabelStyle()) {
    case cxlsRaised:
      drawOnce(at, clBtnHighlight);
      if (big) drawOnce(POINT{at.x + 2, at.y + 2}, clBtnShadow);
      drawText(POINT{at.x + 1, at.y + 1});
      break;
    case cxlsLowered:
      drawOnce(at, clBtnShadow);
      if (big) drawOnce(POINT{at.x + 2, at.y + 2}, clBtnHighlight);
      drawText(POINT{at.x + 1, at.y + 1});
      break;
    case cxlsOutLine:
      if (trueType) {
        if (glyph) drawText(at);
        BeginPath(dc);
        drawOnce(at, params.TextColor);
        EndPath(dc);
        HPEN pen = CreatePen(PS_SOLID, std::max(1, p->PenWidth()), ColorToRGB(params.TextColor));
        HGDIOBJ oldPen = SelectObject(dc, pen);
        StrokePath(dc);
        SelectObject(dc, oldPen);
        DeleteObject(pen);
      } else {
        drawOnce(at, params.TextColor);
      }
      break;
    default:
      drawText(at);
      break;
  }
  RestoreDC(dc, saved);
}

SIZE MeasureLabelText(TcxCanvas* canvas, int width, const TcxLabelDrawParams& params) {
  const TcxCustomLabelProperties* p = params.Properties;
  HDC dc = canvas->GetDeviceContext();
  const int angle = EffectiveLabelAngle(canvas, params.Font, p->Angle());
  const int saved = SaveDC(dc);
  TRotatedFont font(dc, params.Font, angle);
  int dx = 0, dy = 0;
  if (p->LabelEffect() != cxleNormal && p->Depth() != 0) p->DepthOffsets(dx, dy);
  const int s = StyleOffset(p, params.Font);
  const AnsiString text = params.Text.empty() ? AnsiString(" ") : params.Text;
  const bool wrap = p->WordWrap() && angle % 360 == 0 && width >= 0;
  RECT box{0, 0, wrap ? std::max(1, width - s - dx) : 0, 0};
  UINT flags = DT_CALCRECT | (wrap ? DT_WORDBREAK : 0u);
  if (angle != 0 || !p->ShowAccelChar()) flags |= DT_NOPREFIX;
  const AnsiString measured = angle != 0 && p->ShowAccelChar() ? StripAccelChars(text) : text;
  // The unrotated extent: measured with the font turned back.
  LOGFONTA lf{};
  GetObjectA(params.Font->Handle(), sizeof lf, &lf);
  HFONT flat = CreateFontIndirectA(&lf);
  HGDIOBJ old = SelectObject(dc, flat);
  DrawTextA(dc, measured.c_str(), static_cast<int>(measured.size()), &box, flags);
  SelectObject(dc, old);
  DeleteObject(flat);
  int w = box.right - box.left, h = box.bottom - box.top;
  if (angle != 0) {
    const double t = angle * 3.14159265358979323846 / 180.0;
    const double c = std::fabs(std::cos(t)), sn = std::fabs(std::sin(t));
    const int rw = static_cast<int>(c * w + sn * h + 0.5);
    const int rh = static_cast<int>(c * h + sn * w + 0.5);
    w = rw;
    h = rh;
  }
  RestoreDC(dc, saved);
  return SIZE{w + dx + s, h + dy + s};
}

// -- The editor -------------------------------------------------------------------------------

const TClassInfo TcxCustomLabel::ClassInfo{
    "TcxCustomLabel", &TcxCustomEdit::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCustomLabel(static_cast<TComponent*>(owner)); }};
const TClassInfo TcxLabel::ClassInfo{
    "TcxLabel", &TcxCustomLabel::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxLabel(static_cast<TComponent*>(owner)); }};

TcxCustomLabel::TcxCustomLabel(TComponent* owner, bool inPlace) : TcxCustomEdit(owner, inPlace) {
  SetTabStop(false);
}

void TcxCustomLabel::SetFocusControl(TWinControl* value) {
  if (value == this || value == FFocusControl) return;
  if (FFocusControl) RemoveFreeNotification(FFocusControl);
  FFocusControl = value;
  if (value) FreeNotification(value);
}

void TcxCustomLabel::Notification(TComponent* component, TOperation operation) {
  TcxCustomEdit::Notification(component, operation);
  if (operation == TOperation::opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TcxCustomLabel::StoreInternalEditValue(const Variant& value) {
  TcxCustomEdit::StoreInternalEditValue(value);
  if (!FSettingCaption) {
    TcxFlagGuard guard(FSettingCaption, true);
    SetCaption(ActiveProperties()->DisplayTextOf(EditValue()));
  }
  FNeedsRender = true;
  Invalidate();
}

void TcxCustomLabel::ApplyProperties(TcxCustomEditProperties* properties) {
  TcxCustomEdit::ApplyProperties(properties);
  FNeedsRender = true;
  Invalidate();
}

TcxLabelDrawParams TcxCustomLabel::DrawParams() {
  TcxLabelDrawParams params;
  params.Properties = ActiveProperties();
  params.Text = Caption();
  TcxCustomEditStyle* style = CurrentStyle();
  params.Font = style->GetFont();
  params.TextColor = style->GetTextColor();
  params.BackgroundColor = style->GetColor();
  return params;
}

SIZE TcxCustomLabel::ContentSize() {
  TBitmap work;
  work.SetSize(1, 1);
  TcxCanvas canvas(work.Canvas());
  return MeasureLabelText(&canvas, Width(), DrawParams());
}

void TcxCustomLabel::Paint() {
  TcxCanvas* canvas = cxCanvas();
  const RECT c = ClientRect();
  const TcxLabelDrawParams params = DrawParams();
  const POINT position{Left(), Top()};
  const bool transparent = Transparent();
  if (!FCache || FNeedsRender || transparent || position.x != FRenderedAt.x || position.y != FRenderedAt.y ||
      params.BackgroundColor != FRenderedColor || FCache->Width() != c.right || FCache->Height() != c.bottom) {
    if (!FCache) FCache = std::make_unique<TBitmap>();
    FCache->SetSize(c.right, c.bottom);
    TcxCanvas cache(FCache->Canvas());
    if (transparent) DrawParentBackground(this, &cache, c);
    TcxLabelDrawParams p = params;
    p.Transparent = transparent;
    DrawLabel(&cache, c, p);
    FRenderedAt = position;
    FRenderedColor = params.BackgroundColor;
    FNeedsRender = false;
    ++FRenderCount;
  }
  BitBlt(canvas->GetDeviceContext(), 0, 0, c.right, c.bottom, FCache->Canvas()->Handle(), 0, 0, SRCCOPY);
}

void TcxCustomLabel::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CM_DIALOGCHAR:
      if (FFocusControl && Enabled() && ActiveProperties()->ShowAccelChar() && IsAccel(Message.WParam, Caption())) {
        if (FFocusControl->CanFocus()) FFocusControl->SetFocus();
        Message.Result = 1;
        return;
      }
      break;
    case CM_TEXTCHANGED:
      TcxCustomEdit::WndProc(Message);
      if (!FSettingCaption) {
        TcxFlagGuard guard(FSettingCaption, true);
        AssignEditValue(Variant(Caption()));
      }
      FNeedsRender = true;
      Invalidate();
      return;
    case CM_FONTCHANGED:
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
    case WM_SIZE:
      FNeedsRender = true;
      break;
    default:
      break;
  }
  TcxCustomEdit::WndProc(Message);
}

void cxLabelInit() {
  RegisterClass(&TcxLabel::ClassInfo);
  RegisteredPropertiesClasses()->EnrolClass(&TcxLabelProperties::ClassInfo, LoadResString(cxSEditRepositoryLabelItem));
}

void cxLabelDone() {
  RegisteredPropertiesClasses()->WithdrawClass(&TcxLabelProperties::ClassInfo);
  UnRegisterClass(&TcxLabel::ClassInfo);
}
