// The view info: painting an edit and its buttons, repaint regions,
// take-over and shifting.
#include "editors/framework/EditViewInfo.h"

#include "editors/framework/EditControl.h"
#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUtils.h"
#include "foundation/ContainerServices.h"
#include "foundation/Graphics.h"
#include "foundation/Office11.h"
#include "foundation/StandardPainter.h"
#include "foundation/UxTheme.h"

#include <algorithm>

const TClassInfo TcxEditButtonViewInfo::ClassInfo{"TcxEditButtonViewInfo", &TPersistent::ClassInfo, nullptr};
const TClassInfo TcxCustomEditViewInfo::ClassInfo{"TcxCustomEditViewInfo", &TcxContainerViewInfo::ClassInfo, nullptr};

namespace {
bool IsEmptyRect(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }
bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }
void HLine(TcxCanvas* c, int x1, int x2, int y, TColor color) { FillRectWithColor(c, RECT{x1, y, x2, y + 1}, color); }
void VLine(TcxCanvas* c, int x, int y1, int y2, TColor color) { FillRectWithColor(c, RECT{x, y1, x + 1, y2}, color); }
// A one-pixel frame: top and left in one colour, right and bottom in another.
void Frame(TcxCanvas* c, const RECT& r, TColor topLeft, TColor bottomRight) {
  if (IsEmptyRect(r)) return;
  HLine(c, r.left, r.right, r.top, topLeft);
  VLine(c, r.left, r.top, r.bottom, topLeft);
  HLine(c, r.left, r.right, r.bottom - 1, bottomRight);
  VLine(c, r.right - 1, r.top, r.bottom, bottomRight);
}
void Shrink(RECT& r, int d) { InflateRect(&r, -d, -d); }

void VerticalGradient(TcxCanvas* canvas, const RECT& r, TColor top, TColor bottom) {
  if (IsEmptyRect(r)) return;
  const COLORREF a = ColorToRGB(top), b = ColorToRGB(bottom);
  TRIVERTEX v[2] = {{r.left, r.top, static_cast<COLOR16>(GetRValue(a) << 8), static_cast<COLOR16>(GetGValue(a) << 8),
                     static_cast<COLOR16>(GetBValue(a) << 8), 0},
                    {r.right, r.bottom, static_cast<COLOR16>(GetRValue(b) << 8),
                     static_cast<COLOR16>(GetGValue(b) << 8), static_cast<COLOR16>(GetBValue(b) << 8), 0}};
  GRADIENT_RECT g{0, 1};
  GradientFill(canvas->GetDeviceContext(), v, 2, &g, 1, GRADIENT_FILL_RECT_V);
}
}  // namespace

// -- One button -------------------------------------------------------------------------------

void TcxEditButtonViewInfo::Assign(TPersistent* source) {
  if (auto* other = ObjectAs<TcxEditButtonViewInfo>(source)) {
    ThemePartId = other->ThemePartId;
    ThemeState = other->ThemeState;
    ThemePartTransparent = other->ThemePartTransparent;
    BackColor = other->BackColor;
    ButtonRect = other->ButtonRect;
    VisibleRect = other->VisibleRect;
    PaintStyle = other->PaintStyle;
    ButtonState = other->ButtonState;
    return;
  }
  TPersistent::Assign(source);
}

bool TcxEditButtonViewInfo::LooksLike(const TcxEditButtonViewInfo& other) const {
  return PaintStyle == other.PaintStyle && ButtonState == other.ButtonState && BackColor == other.BackColor &&
         ThemeState == other.ThemeState;
}

TcxRegion* TcxEditButtonViewInfo::RegionToRepaint(TcxEditButtonViewInfo* old) const {
  if (old && LooksLike(*old)) return nullptr;
  return TcxRegion::CreateFromRect(ButtonRect);
}

bool TcxEditButtonViewInfo::RepaintIfChanged(HWND wnd, TcxEditButtonViewInfo* old, POINT offset, bool erase) const {
  if (old && LooksLike(*old)) return false;
  RECT r = ButtonRect;
  OffsetRect(&r, offset.x, offset.y);
  if (wnd) InvalidateRect(wnd, &r, erase);
  return true;
}

// -- The view info ----------------------------------------------------------------------------

TcxCustomEditViewInfo::~TcxCustomEditViewInfo() = default;

void TcxCustomEditViewInfo::SetButtonCount(int count) {
  // Buttons keep their objects (and so their previous states) while the count holds.
  if (count == ButtonCount()) return;
  ButtonsInfo.clear();
  for (int i = 0; i < count; ++i) ButtonsInfo.push_back(std::make_unique<TcxEditButtonViewInfo>());
}

void TcxCustomEditViewInfo::ResolveColors(TColor& borderColor, TColor& textColor) {
  borderColor = clDefault;
  textColor = clDefault;
}

void TcxCustomEditViewInfo::PaintOn(TcxCanvas* canvas) {
  TcxBrushCachePaintScope scope;
  if (PaintEvent) PaintEvent(this, canvas);
  PaintContent(canvas);
}

void TcxCustomEditViewInfo::PaintContent(TcxCanvas* canvas) { PaintEditBackground(canvas, this, true); }

void TcxCustomEditViewInfo::DrawNativeFrame(TcxCanvas* canvas, bool fillAll, TColor fill, int comboKind) {
  const bool bordered = !InPlace && EditBorderStyle != ebsNone;
  RECT content = Bounds;
  if (bordered) {
    HTHEME theme = AcquireThemeHandle(totEdit);
    int part = Composited ? 6 : 1;
    RECT frame = Bounds;
    if (Composited && comboKind == 2) {
      theme = AcquireThemeHandle(totButton);
      part = 1;
      InflateRect(&frame, 1, 1);
    }
    if (comboKind == 0) {
      content = Bounds;
      if (Composited)
        Shrink(content, 2);
      else if (theme)
        UxGetThemeBackgroundContentRect(theme, canvas->GetDeviceContext(), part, NativeState, Bounds, content);
    } else if (comboKind == 1) {
      Shrink(content, 3);
      --content.right;
    } else {
      content = Composited ? RECT{} : ClientRect;
    }
    if (theme) {
      canvas->PushClipRegion();
      canvas->ExcludeRectFromClip(content);
      if (UxIsThemeBackgroundPartiallyTransparent(theme, part, NativeState) && Edit == nullptr) {
        // No control to take a parent from: the fill shows through.
        FillRectWithColor(canvas, frame, fill);
      }
      UxDrawThemeBackground(theme, canvas->GetDeviceContext(), part, NativeState, frame, nullptr);
      canvas->PopClipRegion();
    }
  }
  if (NoBackground) return;
  if (fillAll || !bordered) {
    FillRectWithColor(canvas, content, fill);
  } else if (comboKind != 2) {
    canvas->PushClipRegion();
    canvas->ExcludeRectFromClip(BorderRect);
    FillRectWithColor(canvas, content, fill);
    canvas->PopClipRegion();
  }
}

void TcxCustomEditViewInfo::DrawButtonClipped(TcxCanvas* canvas, int index) {
  TcxEditButtonViewInfo& button = Button(index);
  if (IsEmptyRect(button.VisibleRect)) return;
  button.BackColor = BackgroundColor;
  RECT outside;
  const bool clip = !SameRect(button.VisibleRect, button.ButtonRect) ||
                    (IntersectRect(&outside, &button.ButtonRect, &BorderRect) && !SameRect(outside, button.ButtonRect));
  if (clip) {
    canvas->PushClipRegion();
    canvas->IntersectClipWithRect(button.VisibleRect);
  }
  bool done = false;
  if (DrawButtonEvent) DrawButtonEvent(this, canvas, index, done);
  if (!done) {
    if (button.Kind == bkGlyph && IsGlyphUsable(button.Glyph)) {
      // Off screen first, then one copy: no flicker of the glyph's background.
      const RECT& r = button.ButtonRect;
      TBitmap buffer;
      buffer.SetSize(r.right - r.left, r.bottom - r.top);
      TcxCanvas bufferCanvas(buffer.Canvas());
      bufferCanvas.SetWindowOrigin(POINT{r.left, r.top});
      PaintBuffered(&bufferCanvas, index);
      bufferCanvas.SetWindowOrigin(POINT{0, 0});
      canvas->CopyRectFrom(r, buffer.Canvas(), RECT{0, 0, r.right - r.left, r.bottom - r.top});
    } else {
      PaintBuffered(canvas, index);
    }
  }
  if (clip) canvas->PopClipRegion();
}

void TcxCustomEditViewInfo::PaintBuffered(TcxCanvas* canvas, int index) {
  TcxEditButtonViewInfo& button = Button(index);
  RECT content = button.ButtonRect;
  // The face a custom-drawn border leaves for the content.
  TColor background = button.Transparent ? button.BackColor : clBtnFace;
  TColor captionColor = clBtnText;
  bool done = false;
  if (DrawButtonBorderEvent) DrawButtonBorderEvent(this, canvas, index, content, done);
  if (!done) DrawButtonBorderByKind(canvas, index, content, background, captionColor);
  // The content's background.
  done = false;
  if (DrawButtonBackgroundEvent) DrawButtonBackgroundEvent(this, canvas, index, content, done);
  if (done) {
    // drawn by the handler
  } else if (button.Themed()) {
    // The theme drew the whole face with the border.
  } else if (button.PaintStyle == btsOffice11 && button.GradientButtons && !button.Transparent &&
             button.ButtonState != ebsDisabled) {
    TColor top = Office11Color(o11ToolbarGradientLight), bottom = Office11Color(o11ToolbarGradientDark);
    if (button.ButtonState == ebsPressed) {
      top = Office11Color(o11PressedGradientLight);
      bottom = Office11Color(o11PressedGradientDark);
    } else if (button.ButtonState == ebsSelected) {
      top = Office11Color(o11HotGradientLight);
      bottom = Office11Color(o11HotGradientDark);
    }
    RECT span{content.left, BorderRect.top, content.right, BorderRect.bottom};
    if (button.ButtonState == ebsNormal) {
      ++span.top;
      --span.bottom;
    }
    canvas->PushClipRegion();
    canvas->IntersectClipWithRect(content);
    VerticalGradient(canvas, span, top, bottom);
    canvas->PopClipRegion();
  } else {
    FillRectWithColor(canvas, content, background);
  }
  DrawButtonContent(canvas, index, content, captionColor);
}

void TcxCustomEditViewInfo::DrawButtonBorderByKind(TcxCanvas* canvas, int index, RECT& r, TColor& background,
                                                   TColor& captionColor) {
  TcxEditButtonViewInfo& b = Button(index);
  const TcxEditButtonState state = b.ButtonState;
  if (b.Themed()) {
    HTHEME theme = AcquireThemeHandle(b.ThemeKind());
    if (theme) {
      if (b.ThemePartTransparent) FillRectWithColor(canvas, b.ButtonRect, BackgroundColor);
      UxDrawThemeBackground(theme, canvas->GetDeviceContext(), b.ThemePartId, b.ThemeState, b.ButtonRect, nullptr);
      if (IsButtonCustomDrawn(0))
        r = b.ButtonRect;
      else if (b.IsSingleDownButton)
        r = RECT{b.ButtonRect.left, b.ButtonRect.top, b.ButtonRect.left, b.ButtonRect.top};
      else
        UxGetThemeBackgroundContentRect(theme, canvas->GetDeviceContext(), 1, b.ThemeState, b.ButtonRect, r);
    }
    captionColor = clBtnText;
    return;
  }
  TcxEditButtonStyle style = b.PaintStyle;
  if (style == btsSimple && (state == ebsPressed || state == ebsSelected)) style = btsFlat;
  const TColor face = b.Transparent ? b.BackColor : clBtnFace;
  captionColor = clBtnText;
  switch (style) {
    case bts3D:
      background = face;
      if (state == ebsPressed) {
        Frame(canvas, r, clBtnShadow, clBtnShadow);
        Shrink(r, 1);
        Frame(canvas, r, background, background);
        Shrink(r, 1);
      } else {
        Frame(canvas, r, cl3DLight, cl3DDkShadow);
        Shrink(r, 1);
        Frame(canvas, r, clBtnHighlight, clBtnShadow);
        Shrink(r, 1);
      }
      break;
    case btsFlat:
      background = face;
      VLine(canvas, r.left, r.top, r.bottom, background);
      ++r.left;
      VLine(canvas, r.right - 1, r.top, r.bottom, background);
      --r.right;
      if (state == ebsPressed)
        Frame(canvas, r, clBtnShadow, clBtnHighlight);
      else
        Frame(canvas, r, clBtnHighlight, clBtnShadow);
      Shrink(r, 1);
      break;
    case btsHotFlat: {
      switch (state) {
        case ebsPressed: background = clBtnText; break;
        case ebsSelected: background = clBtnShadow; break;
        default: background = clBtnFace; break;
      }
      if (b.Transparent) background = b.BackColor;
      const bool facesContent = b.AtLeftSide ? b.AtRightEnd : b.AtLeftEnd;
      if (facesContent) {
        Frame(canvas, r, clBtnShadow, clBtnShadow);
        Shrink(r, 1);
      } else {
        HLine(canvas, r.left, r.right, r.top, clBtnShadow);
        HLine(canvas, r.left, r.right, r.bottom - 1, clBtnShadow);
        if (b.AtLeftSide) {
          VLine(canvas, r.left, r.top, r.bottom, clBtnShadow);
          VLine(canvas, r.right - 1, r.top + 1, r.bottom - 1, background);
        } else {
          VLine(canvas, r.right - 1, r.top, r.bottom, clBtnShadow);
          VLine(canvas, r.left, r.top + 1, r.bottom - 1, background);
        }
        Shrink(r, 1);
      }
      captionColor = state == ebsPressed || state == ebsSelected ? clWindow : clBtnText;
      if (b.Transparent && state == ebsSelected) captionColor = clBtnShadow;
      VLine(canvas, r.left, r.top, r.bottom, background);
      VLine(canvas, r.right - 1, r.top, r.bottom, background);
      r.left += 1;
      r.right -= 1;
      break;
    }
    case btsSimple:
      if (!b.Transparent) {
        Frame(canvas, r, b.BackColor, b.BackColor);
        Shrink(r, 1);
      }
      background = face;
      VLine(canvas, r.left, r.top, r.bottom, background);
      VLine(canvas, r.right - 1, r.top, r.bottom, background);
      r.left += 1;
      r.right -= 1;
      break;
    case btsUltraFlat:
    case btsOffice11: {
      const bool office = style == btsOffice11;
      const bool lit = state == ebsPressed || state == ebsSelected;
      if (b.Transparent)
        background = b.BackColor;
      else if (!lit)
        background = office ? Office11Color(o11ToolbarGradientLight) : clBtnFace;
      else
        background = FlatButtonColor(state == ebsSelected, office);
      const TColor frame = ButtonHighlightColor(office);
      const bool ownBorder = !InPlace ? EditBorderStyle != ebsNone : (PaintBits & 4) != 0;
      if (!lit || !ownBorder) {
        if (lit || !b.Transparent) Frame(canvas, r, lit ? frame : b.BackColor, lit ? frame : b.BackColor);
        Shrink(r, 1);
      } else {
        // The edit's border serves as top and bottom; sides only where it does not.
        bool skipLeft, skipRight;
        if (b.AtLeftSide) {
          skipLeft = b.AtLeftEnd;
          skipRight = r.right == BorderRect.right;
        } else {
          skipRight = b.AtRightEnd;
          skipLeft = r.left == BorderRect.left;
        }
        if (!skipLeft) VLine(canvas, r.left, r.top, r.bottom, frame);
        if (!skipRight) VLine(canvas, r.right - 1, r.top, r.bottom, frame);
        ++r.left;
        --r.right;
        Shrink(r, 1);
      }
      break;
    }
    default: break;
  }
}

void TcxCustomEditViewInfo::DrawButtonContent(TcxCanvas* canvas, int index, const RECT& area, TColor captionColor) {
  TcxEditButtonViewInfo& b = Button(index);
  if (IsEmptyRect(area)) return;
  RECT r = area;
  const bool pressed = b.ButtonState == ebsPressed;
  const bool enabled = b.ButtonState != ebsDisabled;
  if (pressed && ShiftPressedContent) OffsetRect(&r, 1, 1);
  canvas->PushClipRegion();
  canvas->IntersectClipWithRect(area);
  switch (b.Kind) {
    case bkEllipsis: {
      const int size = (area.right - area.left) > 11 ? 2 : 1;
      const int total = 3 * size + 4;
      const int x = r.left + (r.right - r.left - total) / 2;
      const int y = r.top + (r.bottom - r.top - size) / 2;
      auto dots = [&](int dx, int dy, TColor color) {
        for (int i = 0; i < 3; ++i) {
          const int left = x + dx + i * (size + 2);
          FillRectWithColor(canvas, RECT{left, y + dy, left + size, y + dy + size}, color);
        }
      };
      if (enabled) {
        dots(0, 0, captionColor);
      } else {
        dots(1, 1, clBtnHighlight);
        dots(0, 0, clBtnShadow);
      }
      break;
    }
    case bkDown: {
      RECT arrow = r;
      if (InPlace) {
        arrow.top = BorderRect.top;
        arrow.bottom = BorderRect.bottom;
      }
      const TcxLookAndFeelPainterClass painter = &TcxStandardLookAndFeelPainter::Instance;
      if (enabled) {
        painter->PaintArrowGlyph(canvas, arrow, adDown, captionColor);
      } else {
        RECT shadow = arrow;
        OffsetRect(&shadow, 1, 1);
        painter->PaintArrowGlyph(canvas, shadow, adDown, clBtnHighlight);
        painter->PaintArrowGlyph(canvas, arrow, adDown, clBtnShadow);
      }
      break;
    }
    case bkGlyph:
      if (IsGlyphUsable(b.Glyph)) {
        const int w = std::min<int>(b.Glyph->GetWidth(), area.right - area.left);
        const int h = std::min<int>(b.Glyph->GetHeight(), area.bottom - area.top);
        DrawGlyphOnCanvas(canvas, r.left + (r.right - r.left - w) / 2, r.top + (r.bottom - r.top - h) / 2, nullptr,
                          clNone, enabled, b.Glyph);
      }
      break;
    case bkText: {
      RECT t = b.ButtonRect;
      InflateRect(&t, -1, InPlace ? 0 : -1);
      --t.right;
      if (pressed && ShiftPressedContent) OffsetRect(&t, 1, 1);
      TColor color = b.CaptionTextColor == clDefault ? PaintTextColor : b.CaptionTextColor;
      if (b.PaintStyle == btsHotFlat && (pressed || b.ButtonState == ebsSelected)) color = captionColor;
      if (TextFont) canvas->SetFont(TextFont);
      canvas->GetBrush()->SetStyle(TBrushStyle::bsClear);
      unsigned flags = cxSingleLine | cxAlignVCenter | cxShowPrefix | cxShowEndEllipsis;
      flags |= b.ContentAlignment == taLeftJustify ? cxAlignLeft
               : b.ContentAlignment == taRightJustify ? cxAlignRight
                                                      : cxAlignHCenter;
      canvas->GetFont()->SetColor(color);
      canvas->DrawTextInState(b.DisplayCaption, t, flags, enabled);
      canvas->GetBrush()->SetStyle(TBrushStyle::bsSolid);
      break;
    }
  }
  canvas->PopClipRegion();
}

int TcxCustomEditViewInfo::BackgroundMode() {
  if (InPlace) {
    if (DrawBackgroundEvent) return 0;
    return NoBackground ? 2 : 3;
  }
  if (NoBackground) return 4;
  if (Edit && Edit->PaintsParentBackground()) return 5;
  return NativeStyle ? 3 : 1;
}

void TcxCustomEditViewInfo::DrawBackgroundByMode(TcxCanvas* canvas, const RECT& r, bool keepClip,
                                                 const RECT& excluded) {
  canvas->PushSavedDC();
  if (!keepClip && !IsEmptyRect(excluded)) canvas->ExcludeRectFromClip(excluded);
  switch (BackgroundMode()) {
    case 0: {
      canvas->IntersectClipWithRect(r);
      bool done = false;
      DrawBackgroundEvent(this, canvas, done);
      break;
    }
    case 1: PaintEditBackground(canvas, this, true); break;
    case 3: FillRectWithColor(canvas, r, BackgroundColor); break;
    case 4:
      if (Edit) PaintParentInto(Edit, canvas, r, false);
      break;
    case 5:
      if (Edit) DrawParentBackground(Edit, canvas, r);
      break;
    default: break;
  }
  canvas->PopSavedDC();
}

bool TcxCustomEditViewInfo::FindHotButton(int& index) const {
  for (int i = 0; i < ButtonCount(); ++i)
    if (ButtonsInfo[i]->ButtonState == ebsSelected) {
      index = i;
      return true;
    }
  index = -1;
  return false;
}

bool TcxCustomEditViewInfo::ButtonAtPoint(POINT p) const {
  p.x -= OffsetX;
  p.y -= OffsetY;
  for (const auto& b : ButtonsInfo)
    if (PtInRect(&b->ButtonRect, p)) return true;
  return false;
}

bool TcxCustomEditViewInfo::HintOfPartAt(POINT, AnsiString& text) const {
  int hot = -1;
  text = AnsiString();
  if (!FindHotButton(hot) || !Properties) return false;
  TcxEditButton* button = Properties->Buttons()->GetButton(ButtonsInfo[hot]->CollectionIndex);
  text = button->Hint();
  return !text.empty();
}

bool TcxCustomEditViewInfo::RepaintButtons(HWND wnd, TcxCustomEditViewInfo* old) {
  if (!wnd) return false;
  if (!old) {
    InvalidateRect(wnd, &InsideBorderRect, FALSE);
    return false;
  }
  RECT editRect = Bounds;
  OffsetRect(&editRect, OffsetX, OffsetY);
  RECT body{};
  const bool stateMatters = RepaintsWholeOnStateChange() && ContainerState != old->ContainerState;
  if (NativeState != old->NativeState || BackgroundColor != old->BackgroundColor || stateMatters ||
      ButtonCount() != old->ButtonCount()) {
    IntersectRect(&body, &InsideBorderRect, &ClientRect);
  } else if ((EditBorderStyle != ebsNone && BorderColor != old->BorderColor) || EditBorderStyle != old->EditBorderStyle) {
    body = BorderRect;
  }
  bool any = false;
  if (!IsEmptyRect(body) && !SameRect(body, editRect)) {
    OffsetRect(&body, OffsetX, OffsetY);
    InvalidateRect(wnd, &body, FALSE);
    any = true;
  }
  if (ButtonCount() == old->ButtonCount())
    for (int i = 0; i < ButtonCount(); ++i)
      any |= ButtonsInfo[i]->RepaintIfChanged(wnd, old->ButtonsInfo[i].get(), POINT{OffsetX, OffsetY}, false);
  return any;
}

TcxRegion* TcxCustomEditViewInfo::RegionToRepaint(TcxContainerViewInfo* other) {
  TcxRegion* region = TcxContainerViewInfo::RegionToRepaint(other);
  auto* old = ObjectAs<TcxCustomEditViewInfo>(other);
  const bool same = old && (EditBorderStyle == ebsNone || BorderColor == old->BorderColor) &&
                    EditBorderStyle == old->EditBorderStyle && ButtonCount() == old->ButtonCount() &&
                    NativeState == old->NativeState;
  if (same) {
    for (int i = 0; i < ButtonCount(); ++i)
      if (TcxRegion* part = ButtonsInfo[i]->RegionToRepaint(old->ButtonsInfo[i].get())) {
        if (part->IsEmpty())
          delete part;
        else
          region->CombineWith(part, roAdd);
      }
  } else if (!IsEmptyRect(Bounds)) {
    region->CombineWith(TcxRegion::CreateFromRect(Bounds), roAdd);
  }
  return region;
}

void TcxCustomEditViewInfo::TakeOverFrom(TObject* other) {
  if (auto* v = ObjectAs<TcxCustomEditViewInfo>(other)) {
    BackgroundColor = v->BackgroundColor;
    BorderColor = v->BorderColor;
    EditBorderStyle = v->EditBorderStyle;
    BorderStyle = v->BorderStyle;
    ContainerState = v->ContainerState;
    NativeState = v->NativeState;
    SetButtonCount(v->ButtonCount());
    for (int i = 0; i < ButtonCount(); ++i) ButtonsInfo[i]->Assign(v->ButtonsInfo[i].get());
    PressedIndex = v->PressedIndex;
    HotIndex = v->HotIndex;
  }
  TcxContainerViewInfo::TakeOverFrom(other);
}

void TcxCustomEditViewInfo::ShiftRects(int dx, int dy) {
  TcxContainerViewInfo::ShiftRects(dx, dy);
  OffsetRect(&InnerControlRect, dx, dy);
  OffsetRect(&InsideBorderRect, dx, dy);
  for (auto& b : ButtonsInfo) {
    OffsetRect(&b->ButtonRect, dx, dy);
    OffsetRect(&b->VisibleRect, dx, dy);
  }
}
