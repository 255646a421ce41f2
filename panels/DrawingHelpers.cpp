#include "panels/DrawingHelpers.h"

#include "panels/Gradients.h"
#include "foundation/Controls.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "platform/Control.h"
#include "platform/Forms.h"
#include "platform/Graphics.h"
#include "platform/Properties.h"
#include "platform/Screen.h"

#include <vssym32.h>

namespace {

constexpr TColor FrameColors[11][2] = {
    {clWindow, clWindow},             // fsNone
    {cl3DDkShadow, cl3DDkShadow},     // fsFlat
    {clBtnShadow, clBtnHighlight},    // fsGroove
    {clBtnHighlight, clBtnShadow},    // fsBump
    {clBlack, clBlack},               // fsLowered: Paint3DEdge
    {clBlack, clBlack},               // fsButtonDown: PaintButtonEdge
    {clBlack, clBlack},               // fsRaised: Paint3DEdge
    {clBlack, clBlack},               // fsButtonUp: PaintButtonEdge
    {clBtnShadow, clBtnHighlight},    // fsStatus
    {clBtnHighlight, clBtnShadow},    // fsPopup
    {clBtnShadow, clBtnShadow},       // fsFlatBold
};

void Line(TCanvas* canvas, TColor color, int x1, int y1, int x2, int y2) {
  canvas->Pen()->SetColor(color);
  canvas->MoveTo(x1, y1);
  canvas->LineTo(x2, y2);
}

void Pixel(TCanvas* canvas, int x, int y, TColor color) {
  if (color != clNone) canvas->SetPixels(x, y, color);
}

// The two-pixel etched line of fsGroove and fsBump.
RECT PaintEtched(TCanvas* canvas, RECT r, TColor ul, TColor lr, TSides sides) {
  const bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop), right = sides.Contains(sdRight),
             bottom = sides.Contains(sdBottom);
  // Corner pixels where two drawn sides do not meet.
  if (right) {
    Pixel(canvas, r.right - 1, r.top, lr);
  } else if (top) {
    Pixel(canvas, r.right - 1, r.top, ul);
  }
  if (bottom) {
    Pixel(canvas, r.left, r.bottom - 1, lr);
  } else if (left) {
    Pixel(canvas, r.left, r.bottom - 1, ul);
  }
  if (top && !left) Pixel(canvas, r.left, r.top + 1, lr);
  if (left && !top) Pixel(canvas, r.left + 1, r.top, lr);
  if (bottom && !right) Pixel(canvas, r.right - 1, r.bottom - 2, ul);
  if (right && !bottom) Pixel(canvas, r.right - 2, r.bottom - 1, ul);
  PaintSides(canvas, RECT{r.left + 1, r.top + 1, r.right, r.bottom}, lr, lr, sides);
  PaintSides(canvas, RECT{r.left, r.top, r.right - 1, r.bottom - 1}, ul, ul, sides);
  if (left) r.left += 2;
  if (top) r.top += 2;
  if (right) r.right -= 2;
  if (bottom) r.bottom -= 2;
  return r;
}

// One step of a panel border: the outer or the inner style.
RECT PaintBorderStyle(TCanvas* canvas, RECT r, TFrameStyle style, const TRzInnerOuterFrame& f, TColor flat,
                      bool inner) {
  switch (style) {
    case fsFlat:
      return PaintSides(canvas, r, flat, flat, f.Sides);
    case fsFlatBold:
      return PaintBevelRings(canvas, r, flat, flat, 2, f.Sides);
    case fsFlatRounded: {
      RECT ring = r;
      if (!inner) {
        if (!f.Transparent) {
          ring = PaintSides(canvas, r, f.ParentColor, f.ParentColor, f.Sides);
          const TColor c = f.BorderWidth > 0 || f.Inner != fsNone ? f.BorderColor : f.Color;
          PaintSides(canvas, ring, c, c, f.Sides);
        } else if (f.BorderWidth > 0 || f.Inner != fsNone) {
          ring = PaintSides(canvas, r, clNone, clNone, f.Sides);
          PaintSides(canvas, ring, f.BorderColor, f.BorderColor, f.Sides);
        }
      } else {
        ring = PaintSides(canvas, r, f.BorderColor, f.BorderColor, f.Sides);
        if (!f.Transparent) PaintSides(canvas, ring, f.Color, f.Color, f.Sides);
      }
      PaintRoundedFlatFrame(canvas, r, flat, f.Sides);
      return PaintBevelRings(canvas, r, clNone, clNone, 2, f.Sides);
    }
    case fsPopup:
      return PaintBevelRings(canvas, r, f.BorderHighlight, f.BorderShadow, f.BevelWidth, f.Sides);
    case fsStatus:
      return PaintBevelRings(canvas, r, f.BorderShadow, f.BorderHighlight, f.BevelWidth, f.Sides);
    default:
      return PaintFrameSides(canvas, r, style, f.Sides);
  }
}

}  // namespace

RECT PaintSides(TCanvas* canvas, RECT r, TColor ulColor, TColor lrColor, TSides sides) {
  if (ulColor != clNone) {
    if (sides.Contains(sdLeft)) Line(canvas, ulColor, r.left, r.top, r.left, r.bottom);
    if (sides.Contains(sdTop)) Line(canvas, ulColor, r.left, r.top, r.right, r.top);
  }
  if (lrColor != clNone) {
    if (sides.Contains(sdRight)) Line(canvas, lrColor, r.right - 1, r.top, r.right - 1, r.bottom);
    if (sides.Contains(sdBottom)) Line(canvas, lrColor, r.left, r.bottom - 1, r.right, r.bottom - 1);
  }
  if (sides.Contains(sdLeft)) ++r.left;
  if (sides.Contains(sdTop)) ++r.top;
  if (sides.Contains(sdRight)) --r.right;
  if (sides.Contains(sdBottom)) --r.bottom;
  return r;
}

RECT PaintBevelRings(TCanvas* canvas, RECT r, TColor ulColor, TColor lrColor, int count, TSides sides) {
  canvas->Pen()->SetWidth(1);
  for (int i = 0; i < count; ++i) r = PaintSides(canvas, r, ulColor, lrColor, sides);
  return r;
}

RECT Paint3DEdge(TCanvas* canvas, RECT r, TRzEdge3D edge, TSides sides) {
  if (edge == e3dRaised) {
    r = PaintSides(canvas, r, cl3DLight, cl3DDkShadow, sides);
    return PaintSides(canvas, r, clBtnHighlight, clBtnShadow, sides);
  }
  r = PaintSides(canvas, r, clBtnShadow, clBtnHighlight, sides);
  return PaintSides(canvas, r, cl3DDkShadow, cl3DLight, sides);
}

RECT PaintButtonEdge(TCanvas* canvas, RECT r, TRzButtonEdge edge, TSides sides) {
  if (edge == beUp) {
    r = PaintSides(canvas, r, clBtnHighlight, cl3DDkShadow, sides);
    return PaintSides(canvas, r, cl3DLight, clBtnShadow, sides);
  }
  r = PaintSides(canvas, r, clBtnText, clBtnText, sides);
  return PaintSides(canvas, r, clBtnShadow, clBtnShadow, sides);
}

RECT PaintFrameSides(TCanvas* canvas, RECT r, TFrameStyle style, TSides sides) {
  canvas->Pen()->SetWidth(1);
  const int index = static_cast<int>(style);
  const TColor ul = index < 11 ? FrameColors[index][0] : clNone, lr = index < 11 ? FrameColors[index][1] : clNone;
  switch (style) {
    case fsNone:
    case fsFlatRounded:
      return r;
    case fsFlat:
    case fsStatus:
    case fsPopup:
      return PaintSides(canvas, r, ul, lr, sides);
    case fsLowered:
      return Paint3DEdge(canvas, r, e3dLowered, sides);
    case fsRaised:
      return Paint3DEdge(canvas, r, e3dRaised, sides);
    case fsButtonDown:
      return PaintButtonEdge(canvas, r, beDown, sides);
    case fsButtonUp:
      return PaintButtonEdge(canvas, r, beUp, sides);
    case fsFlatBold:
      return PaintBevelRings(canvas, r, ul, lr, 2, sides);
    case fsGroove:
    case fsBump:
      return PaintEtched(canvas, r, ul, lr, sides);
  }
  return r;
}

RECT PaintStyleFrame(TCanvas* canvas, RECT r, TFrameStyle style) {
  return PaintFrameSides(canvas, r, style, sdAllSides);
}

RECT PaintTintedFrameSides(TCanvas* canvas, RECT r, TColor face, TFrameStyle style, TSides sides) {
  canvas->Pen()->SetWidth(1);
  const TColor dark50 = ShadeDarker(face, 50), dark100 = ShadeDarker(face, 100);
  const TColor light50 = ShadeLighter(face, 50), light100 = ShadeLighter(face, 100);
  switch (style) {
    case fsNone:
    case fsFlatRounded:
      return r;
    case fsFlat:
      return PaintSides(canvas, r, dark50, dark50, sides);
    case fsGroove:
      return PaintEtched(canvas, r, dark50, light100, sides);
    case fsLowered:
      r = PaintSides(canvas, r, dark50, light100, sides);
      return PaintSides(canvas, r, dark100, light50, sides);
    case fsRaised:
      r = PaintSides(canvas, r, light50, dark100, sides);
      return PaintSides(canvas, r, light100, dark50, sides);
    case fsButtonDown:
      r = PaintSides(canvas, r, dark100, dark100, sides);
      return PaintSides(canvas, r, dark50, dark50, sides);
    case fsButtonUp:
      r = PaintSides(canvas, r, light100, dark100, sides);
      return PaintSides(canvas, r, ShadeLighter(face, 40), dark50, sides);
    case fsStatus:
      return PaintSides(canvas, r, dark50, light100, sides);
    case fsPopup:
      return PaintSides(canvas, r, light100, dark50, sides);
    case fsFlatBold:
      return PaintBevelRings(canvas, r, dark50, dark50, 2, sides);
    default:
      return PaintEtched(canvas, r, light100, dark50, sides);
  }
}

RECT PaintTintedFrame(TCanvas* canvas, RECT r, TColor faceColor, TFrameStyle style) {
  return PaintTintedFrameSides(canvas, r, faceColor, style, sdAllSides);
}

RECT PaintBox(TCanvas* canvas, RECT r, TColor color) {
  canvas->Pen()->SetWidth(1);
  return PaintSides(canvas, r, color, color, sdAllSides);
}

void PaintBoxCorners(TCanvas* canvas, RECT r, TColor color, int arm) {
  if (color == clNone) return;
  canvas->Pen()->SetWidth(1);
  const int right = r.right - 1, bottom = r.bottom - 1;
  Line(canvas, color, r.left, r.top, r.left + arm, r.top);
  Line(canvas, color, r.left, r.top, r.left, r.top + arm);
  Line(canvas, color, right, r.top, right - arm, r.top);
  Line(canvas, color, right, r.top, right, r.top + arm);
  Line(canvas, color, r.left, bottom, r.left + arm, bottom);
  Line(canvas, color, r.left, bottom, r.left, bottom - arm);
  Line(canvas, color, right, bottom, right - arm, bottom);
  Line(canvas, color, right, bottom, right, bottom - arm);
}

RECT PaintRoundedFlatFrame(TCanvas* canvas, RECT r, TColor color, TSides sides) {
  const bool left = sides.Contains(sdLeft), top = sides.Contains(sdTop), right = sides.Contains(sdRight),
             bottom = sides.Contains(sdBottom);
  const int y1 = top ? r.top + 2 : r.top, y2 = bottom ? r.bottom - 2 : r.bottom;
  const int x1 = left ? r.left + 2 : r.left, x2 = right ? r.right - 2 : r.right;
  if (color != clNone) {
    canvas->Pen()->SetWidth(1);
    if (left) Line(canvas, color, r.left, y1, r.left, y2);
    if (top) Line(canvas, color, x1, r.top, x2, r.top);
    if (right) Line(canvas, color, r.right - 1, y1, r.right - 1, y2);
    if (bottom) Line(canvas, color, x1, r.bottom - 1, x2, r.bottom - 1);
    if (left && top) canvas->SetPixels(r.left + 1, r.top + 1, color);
    if (right && top) canvas->SetPixels(r.right - 2, r.top + 1, color);
    if (right && bottom) canvas->SetPixels(r.right - 2, r.bottom - 2, color);
    if (left && bottom) canvas->SetPixels(r.left + 1, r.bottom - 2, color);
  }
  return RECT{x1, y1, x2, y2};
}

RECT PaintInnerOuterFrames(TCanvas* canvas, RECT r, const TRzInnerOuterFrame& f) {
  const TColor flat = ShadeByAmount(f.FlatColor, f.FlatColorAdjustment);
  r = PaintBorderStyle(canvas, r, f.Outer, f, flat, false);
  if (f.BorderWidth > 0) r = PaintBevelRings(canvas, r, f.BorderColor, f.BorderColor, f.BorderWidth, f.Sides);
  return PaintBorderStyle(canvas, r, f.Inner, f, flat, true);
}

void PaintControlFrame(TCanvas* canvas, int width, int height, TFrameStyle style, TColor faceColor,
                       TColor frameColor, TSides sides, bool noClear) {
  RECT r{0, 0, width, height};
  if (!noClear) PaintBevelRings(canvas, r, faceColor, faceColor, 2, sdAllSides);
  if (style == fsFlat) {
    PaintBevelRings(canvas, r, frameColor, frameColor, 1, sides);
  } else if (style == fsFlatBold) {
    PaintBevelRings(canvas, r, frameColor, frameColor, 2, sides);
  } else if (faceColor == clWindow) {
    PaintFrameSides(canvas, r, style, sides);
  } else {
    PaintTintedFrameSides(canvas, r, faceColor, style, sides);
  }
}

void PaintGroupBarBackground(TCanvas* canvas, const RECT& r, TRzVisualStyle visualStyle,
                             TRzGradientColorStyle colorStyle, TRzGroupBarGradientPath path, TColor customStart,
                             TColor customStop) {
  if (visualStyle == vsWinXP && PanelVisualStylesEnabled()) {
    if (const HTHEME theme = AcquireThemeHandle(totExplorerBar))
      UxDrawThemeBackground(theme, canvas->Handle(), EBP_HEADERBACKGROUND, 0, r, nullptr);
    return;
  }
  if (visualStyle == vsClassic || !FullColorDisplay) return;
  TRzGradientPair colors{customStart, customStop};
  if (colorStyle != gcsCustom) colors = SchemeGroupBarColors(colorStyle);
  if (path == gpTopToBottom) {
    FillGradient(canvas, r, gdHorizontalEnd, colors.Start, colors.Stop);
  } else {
    FillGradient(canvas, r, gdHorizontalEnd, colors.Stop, colors.Start);
  }
}

void PaintDropArrow(TCanvas* canvas, const RECT& r, int uiStyle, bool enabled) {
  if (WindowsLevelReached(7)) uiStyle = 2;
  const TColor oldBrush = canvas->Brush()->Color();
  if (!enabled) {
    canvas->Brush()->SetColor(clBtnShadow);
  } else if (uiStyle == 1) {
    TColor color = clBlack;
    if (const HTHEME theme = PanelVisualStylesEnabled() ? AcquireThemeHandle(totComboBox) : nullptr) {
      TMemoryDC dc(canvas->Handle());
      TGdiObject bitmap(CheckGDI(CreateCompatibleBitmap(canvas->Handle(), 17, 21)));
      const TSelectObjectGuard selected(dc.Get(), bitmap.Get());
      UxDrawThemeBackground(theme, dc.Get(), CP_DROPDOWNBUTTON, CBXS_NORMAL, RECT{0, 0, 16, 20}, nullptr);
      color = GetPixel(dc.Get(), 8, 10) & 0xFFFFFF;
    }
    if (ColorsHardToTell(color, clWindow)) color = cl3DDkShadow;
    canvas->Brush()->SetColor(color);
  } else {
    canvas->Brush()->SetColor(ColorsHardToTell(canvas->Brush()->Color(), clBlack) ? cl3DDkShadow : clBlack);
  }
  const int x = (r.left + r.right) / 2;
  int y = (r.top + r.bottom) / 2;
  if ((r.bottom - r.top) % 2 == 0) --y;
  y += uiStyle == 1 ? 4 : 2;
  if (uiStyle == 1) {
    canvas->Pen()->SetStyle(psClear);
    const POINT chevron[6] = {{x, y}, {x - 4, y - 5}, {x - 3, y - 7}, {x, y - 3}, {x + 3, y - 7}, {x + 5, y - 5}};
    canvas->Polygon(chevron, 6);
  } else {
    const TColor c = canvas->Brush()->Color();
    for (int row = 0; row < 4; ++row)
      for (int dx = -row; dx <= row; ++dx) canvas->SetPixels(x + dx, y - row, c);
  }
  canvas->Pen()->SetStyle(psSolid);
  canvas->Brush()->SetColor(oldBrush);
}

HFONT CreateAngledFont(TFont* font, int angle) {
  const TFontStyles style = font->Style();
  int pitch = DEFAULT_PITCH;
  if (font->Pitch() == fpFixed) pitch = FIXED_PITCH;
  if (font->Pitch() == fpVariable) pitch = VARIABLE_PITCH;
  return CreateFontA(font->Height(), 0, angle * 10, 0, style.Contains(fsBold) ? FW_BOLD : FW_NORMAL,
                     style.Contains(fsItalic), style.Contains(fsUnderline), style.Contains(fsStrikeOut),
                     font->Charset(), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     static_cast<DWORD>(pitch), font->Name().c_str());
}

void PaintParentBackground(TControl* control, HDC dc, bool invalidate) {
  TWinControl* parent = control->Parent();
  if (!parent || !parent->HandleAllocated()) return;
  {
    const TSavedDCGuard saved(dc);
    POINT origin{};
    GetViewportOrgEx(dc, &origin);
    SetViewportOrgEx(dc, origin.x - control->Left(), origin.y - control->Top(), nullptr);
    const RECT client = parent->ClientRect();
    IntersectClipRect(dc, 0, 0, client.right, client.bottom);
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    parent->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  }
  if (invalidate && !control->ComponentState().Contains(csDesigning) &&
      !dynamic_cast<TCustomForm*>(parent) && !dynamic_cast<TCustomControl*>(parent))
    parent->Invalidate();
}

TGdiObject CreateDotPatternBrush() {
  static const WORD dots[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
  const TGdiObject pattern(CheckGDI(CreateBitmap(8, 8, 1, 1, dots)));
  return TGdiObject(CheckGDI(CreatePatternBrush(static_cast<HBITMAP>(pattern.Get()))));
}

void FillDotPattern(HDC dc, const RECT& r, TColor first, TColor second) {
  const TGdiObject brush = CreateDotPatternBrush();
  const TSavedDCGuard saved(dc);
  SetTextColor(dc, ColorToRGB(first));
  SetBkColor(dc, ColorToRGB(second));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

RECT RectCenteredIn(const RECT& outer, int width, int height) {
  const int left = (outer.left + outer.right - width) / 2, top = (outer.top + outer.bottom - height) / 2;
  return RECT{left, top, left + width, top + height};
}

int DrawTextOnCanvas(TCanvas* canvas, const AnsiString& text, RECT& r, UINT flags) {
  return DrawTextA(canvas->Handle(), text.c_str(), -1, &r, flags);
}

bool WindowsLevelReached(int level) {
  OSVERSIONINFOA info{};
  info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!GetVersionExA(&info)) return false;
#pragma GCC diagnostic pop
  const bool nt = info.dwPlatformId == VER_PLATFORM_WIN32_NT;
  const bool win9x = info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
  const DWORD major = info.dwMajorVersion, minor = info.dwMinorVersion;
  switch (level) {
    case 0: return (win9x || nt) && major >= 4;
    case 1: return nt && major >= 4;
    case 2: return major >= 4 && minor >= 10;
    case 3: return (major >= 4 && minor >= 90) || major >= 5;
    case 4: return nt && major >= 5;
    case 5: return nt && (major > 5 || (major == 5 && minor >= 1));
    case 6: return nt && (major > 5 || (major == 5 && minor >= 2));
    case 7: return nt && major >= 6;
    default: return false;
  }
}

RECT ActiveMonitorWorkArea(HWND wnd) {
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  GetMonitorInfoA(MonitorFromWindow(wnd, MONITOR_DEFAULTTONEAREST), &info);
  return info.rcWork;
}

int ActiveMonitorWorkAreaWidth(HWND wnd) {
  const RECT r = ActiveMonitorWorkArea(wnd);
  return r.right - r.left;
}

RECT MonitorWorkRect(TMonitor* monitor) { return monitor->WorkareaRect(); }
RECT MonitorFullRect(TMonitor* monitor) { return monitor->BoundsRect(); }

TMonitor* MonitorAtPoint(POINT p) {
  for (int i = 0; i < Screen->MonitorCount(); ++i) {
    TMonitor* monitor = Screen->Monitors(i);
    const RECT r = monitor->BoundsRect();
    if (PtInRect(&r, p)) return monitor;
  }
  return nullptr;
}

void RedrawFrameIfVisible(HWND wnd, const RECT& r) {
  int kind = ERROR;
  {
    const TWindowDC dc(wnd);
    if (!dc.Get()) return;
    RECT clip{};
    kind = GetClipBox(dc.Get(), &clip);
  }
  if (kind != ERROR && kind != NULLREGION) RedrawWindow(wnd, &r, nullptr, RDW_FRAME | RDW_INVALIDATE);
}

void InvalidateTransparentChildren(TWinControl* container) {
  for (int i = 0; i < container->ControlCount(); ++i) {
    TControl* child = container->Controls(i);
    const TPropInfo* info = GetPropInfo(child->ClassType(), "Transparent");
    if (info && GetOrdProp(child, info) != 0) child->Invalidate();
  }
}

void NotifyDesignerModified(TControl* control) {
  if (!control) return;
  const TComponentState state = control->ComponentState();
  if (!state.Contains(csDesigning)) return;
  for (TComponentStateItem busy : {csLoading, csReading, csWriting, csDestroying, csUpdating, csFixups})
    if (state.Contains(busy)) return;
  SignalDesignerModified(control);
}
