#include "bars/views/BarPainter.h"

#include "bars/model/BarClassFactory.h"
#include "bars/model/BarComponents.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/BarRoutines.h"
#include "bars/model/ItemKinds.h"
#include "bars/views/BarControl.h"
#include "bars/views/ItemControl.h"
#include "foundation/Canvas.h"
#include "foundation/LookAndFeel.h"
#include "platform/ImageList.h"

#include <algorithm>
#include <cmath>
#include <map>

const TClassInfo TdxBarPainter::ClassInfo{"TdxBarPainter", &TObject::ClassInfo, &dxBarMakeObject<TdxBarPainter>};
const TClassInfo TdxBarStandardPainter::ClassInfo{"TdxBarStandardPainter", &TdxBarPainter::ClassInfo, &dxBarMakeObject<TdxBarStandardPainter>};
const TClassInfo TdxBarEnhancedPainter::ClassInfo{"TdxBarEnhancedPainter", &TdxBarStandardPainter::ClassInfo, &dxBarMakeObject<TdxBarEnhancedPainter>};
const TClassInfo TdxBarFlatPainter::ClassInfo{"TdxBarFlatPainter", &TdxBarPainter::ClassInfo, &dxBarMakeObject<TdxBarFlatPainter>};
const TClassInfo TdxBarOffice11Painter::ClassInfo{"TdxBarOffice11Painter", &TdxBarFlatPainter::ClassInfo, &dxBarMakeObject<TdxBarOffice11Painter>};
const TClassInfo TdxBarXPPainter::ClassInfo{"TdxBarXPPainter", &TdxBarFlatPainter::ClassInfo, &dxBarMakeObject<TdxBarXPPainter>};

namespace {

HBRUSH SysBrush(int index) { return GetSysColorBrush(index); }

COLORREF Sys(int index) { return GetSysColor(index); }

// A colour that may be a system colour, as a COLORREF.
COLORREF Rgb(TColor color) { return ColorToRGB(color); }

void Fill(HDC dc, const RECT& r, COLORREF color) {
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Polyline3(HDC dc, POINT a, POINT b, POINT c, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HGDIOBJ old = SelectObject(dc, pen);
  MoveToEx(dc, a.x, a.y, nullptr);
  LineTo(dc, b.x, b.y);
  LineTo(dc, c.x, c.y);
  SelectObject(dc, old);
  DeleteObject(pen);
}

void Triangle(HDC dc, POINT a, POINT b, POINT c, COLORREF color) {
  HPEN pen = CreatePen(PS_SOLID, 1, color);
  HBRUSH brush = CreateSolidBrush(color);
  HGDIOBJ oldPen = SelectObject(dc, pen), oldBrush = SelectObject(dc, brush);
  const POINT points[3]{a, b, c};
  Polygon(dc, points, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
}

bool Horizontal(int dockingStyle) { return dockingStyle == 2 || dockingStyle == 4 || dockingStyle == 0; }

HDC DCOf(TdxBarItemControlDrawParams* p) { return p && p->Canvas ? p->Canvas->GetDeviceContext() : nullptr; }

TdxBarButtonLikeControlDrawParams* ButtonParams(TdxBarItemControlDrawParams* p) {
  return dynamic_cast<TdxBarButtonLikeControlDrawParams*>(p);
}

}  // namespace

// --- The manager's painter --------------------------------------------------------

TdxBarPainter* dxBarManagerPainter(TdxBarManager* manager) {
  static std::map<TdxBarManager*, TdxBarPainter*> painters;
  TClass cls = manager ? manager->PainterClass() : &TdxBarEnhancedPainter::ClassInfo;
  TdxBarPainter*& painter = painters[manager];
  if (!painter || painter->ClassType() != cls) {
    Free(painter);
    painter = dynamic_cast<TdxBarPainter*>(CreateObject(cls, nullptr));
    if (!painter) painter = new TdxBarEnhancedPainter;
  }
  return painter;
}

// --- Whole bars ---------------------------------------------------------------------

void TdxBarPainter::PaintBar(TCustomdxBarControl* control, HDC dc) const {
  const RECT r = control->ClientRect();
  DrawBarControlBackground(control, dc, r, r, control->GetBackgroundBrush(), clNone);
}

void TdxBarPainter::DrawBarControlBackground(TCustomdxBarControl* control, HDC dc, const RECT& r,
                                             const RECT& reference, HBRUSH brush, TColor color) const {
  if (TBitmap* bitmap = control->BackgroundBitmap(); bitmap && !bitmap->GetEmpty()) {
    FillRectBrushOrBitmap(dc, r, reference, brush, color, bitmap);
    return;
  }
  if (control->IsStatusBar()) {
    const RECT whole{0, 0, control->Width(), control->Height()};
    DrawBarNativeBackground(control, dc, r, reference, whole, brush, color);
    return;
  }
  DrawBarBackground(control, dc, r, reference, brush, color);
}

void TdxBarPainter::DrawBarBackground(TCustomdxBarControl* control, HDC dc, const RECT& r, const RECT& reference,
                                      HBRUSH brush, TColor color) const {
  TdxBarManager* manager = control->OwnerBarManager();
  TBitmap* bitmap = manager && manager->Backgrounds() ? manager->Backgrounds()->Bar() : nullptr;
  FillRectBrushOrBitmap(dc, r, reference, brush, color, bitmap);
}

void TdxBarPainter::DrawBarNativeBackground(TCustomdxBarControl*, HDC dc, const RECT& r, const RECT& reference,
                                            const RECT&, HBRUSH brush, TColor color) const {
  FillRectBrushOrBitmap(dc, r, reference, brush, color, nullptr);
}

void TdxBarPainter::DrawDockBackground(TObject*, HDC dc, const RECT& r, const RECT& reference, const RECT&,
                                       HBRUSH brush, TColor color) const {
  FillRectBrushOrBitmap(dc, r, reference, brush, color, nullptr);
}

HBRUSH TdxBarPainter::GetToolbarBrush(TCustomdxBarControl*) const { return SysBrush(COLOR_BTNFACE); }
HBRUSH TdxBarPainter::GetDownedBrush(TCustomdxBarControl*) const { return CheckerBrush(); }
HBRUSH TdxBarPainter::GetDownedSelectedBrush(TCustomdxBarControl*) const { return SysBrush(COLOR_BTNFACE); }
HBRUSH TdxBarPainter::GetSelectedBrush(TCustomdxBarControl*) const { return SysBrush(COLOR_HIGHLIGHT); }
HBRUSH TdxBarPainter::GetOwnerBrush(TdxBarManager*) const { return SysBrush(COLOR_BTNFACE); }

bool TdxBarPainter::HasOwnerLink(TCustomdxBarControl* control) const {
  return DrawsFlatItems() && !(control->ControlKind() == 2 && control->ParentBar() && control->ParentBar()->IsMainMenu());
}

bool TdxBarPainter::UsesFadedImages(TCustomdxBarControl* control) const {
  TdxBarManager* manager = control ? control->OwnerBarManager() : nullptr;
  return manager && manager->ImageOptions() && manager->ImageOptions()->MakeDisabledImagesFaded();
}

POINT TdxBarPainter::CalcHintPlacement(TCustomdxBarControl* control, const RECT& itemRect, POINT start, int) const {
  POINT p{itemRect.left, itemRect.bottom};
  if (control->HandleAllocated()) ClientToScreen(control->Handle(), &p);
  return POINT{std::max(start.x, p.x), std::max(start.y, p.y)};
}

// --- Borders ------------------------------------------------------------------------------

int TdxBarPainter::GetFloatingFrameWidth() const { return GetSystemMetrics(SM_CXFRAME); }
int TdxBarPainter::GetFloatingFrameHeight() const { return GetSystemMetrics(SM_CYFRAME); }

int TdxBarPainter::GetSmallCaptionHeight() const {
  NONCLIENTMETRICSA metrics{};
  if (ReadNonClientMetrics(metrics)) return metrics.iSmCaptionHeight;
  return GetSystemMetrics(SM_CYSMCAPTION);
}

SIZE TdxBarPainter::GetCaptionButtonSize() const {
  const int h = GetSmallCaptionHeight();
  return SIZE{h, h};
}

void TdxBarPainter::CalcFloatingCaptionRect(const RECT& window, RECT& caption) const {
  caption = window;
  InflateRect(&caption, -GetFloatingFrameWidth(), -GetFloatingFrameHeight());
  caption.bottom = caption.top + GetSmallCaptionHeight();
}

void TdxBarPainter::GetSingleBorderSizes(TdxBar*, int, TdxBarBorders& borders) const { borders = {2, 2, 2, 2}; }

void TdxBarPainter::GetDockedFrameSizes(TCustomdxBarControl*, TdxBarBorders& borders) const {
  const int w = GetDockedFrameWidth();
  borders = {w, w, w, w};
}

SIZE TdxBarPainter::GetSizeGripSize(TdxBarManager*) const {
  return SIZE{GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TdxBarPainter::GetBarBorderSizes(TCustomdxBarControl* control, int dockingStyle, bool withSizeGrip,
                                      TdxBarBorders& b) const {
  if (dockingStyle == 0) {
    b.Left = b.Right = GetFloatingFrameWidth();
    b.Top = b.Bottom = GetFloatingFrameHeight();
    if (control && control->ShowsCaption()) {
      b.Left += GetFloatingPaddingX();
      b.Right += GetFloatingPaddingX();
      b.Top += GetSmallCaptionHeightPlus() + GetFloatingPaddingTop();
      b.Bottom += GetFloatingPaddingBottom();
    }
    return;
  }
  if (!control || control->BarBorderStyle() == 1) {
    GetSingleBorderSizes(control ? control->GetBar() : nullptr, dockingStyle, b);
    const int grow = control && control->CanDock() ? GetDragHandleSize(control) : GetNoDragHandleIndent();
    if (dockingStyle == 2 || dockingStyle == 4)
      b.Left += grow;
    else
      b.Top += grow;
    return;
  }
  b = {};
  if (control->IsStatusBar()) {
    b.Top += GetStatusBarTopEdge();
    const TdxBarBorders m = GetSizeGripMargins();
    b.Left += m.Left, b.Top += m.Top, b.Right += m.Right, b.Bottom += m.Bottom;
    if (withSizeGrip) b.Right += GetSizeGripSize(control->OwnerBarManager()).cx;
  }
}

int TdxBarPainter::GetIconAreaSize(TCustomdxBarControl* control) const {
  int size;
  TdxBarItemLinks* links = control->ItemLinks();
  if (links && links->ItemSizeInEffect() == misLarge) {
    size = static_cast<int>(std::lround(control->Ratio() * 40.0));
  } else {
    TdxBarManager* manager = control->OwnerBarManager();
    size = manager && manager->ImageOptions() ? manager->ImageOptions()->GlyphSize() : 16;
  }
  AdjustIconAreaSize(size);
  return size;
}

int TdxBarPainter::GetSubMenuItemHeight(TcxCanvas* canvas) const { return canvas->HeightOfText("Wg") + 6; }

int TdxBarPainter::GetItemHeightInBar(TdxBarItemControl* control) const {
  TCustomdxBarControl* parent = control->Parent();
  return parent ? parent->ItemLineHeight(control) : 0;
}

int TdxBarPainter::GetComboArrowWidth(TCustomdxBarControl*, int digitWidth) const { return 2 * digitWidth - 1; }

int TdxBarPainter::GetEditHeight(TCustomdxBarControl*, int textHeight) const {
  const TdxBarBorders margins = GetEditMargins(0);
  int top = 0, bottom = 0;
  GetEditTextVertMargins(top, bottom);
  return textHeight + margins.Top + margins.Bottom + top + bottom + std::abs(top - bottom);
}

void TdxBarPainter::CalcEditTextRect(TdxBarItemControl*, RECT& r) const {
  const TdxBarBorders m = GetEditTextMargins();
  int top = 0, bottom = 0;
  GetEditTextVertMargins(top, bottom);
  r.left += m.Left, r.right -= m.Right, r.top += top, r.bottom -= bottom;
}

int TdxBarPainter::GetButtonArrowWidth(TdxBarManager* manager) const {
  int width = manager ? manager->ButtonArrowWidth() : 11;
  if (manager && manager->ImageOptions() && manager->ImageOptions()->LargeIcons()) width *= 2;
  if (width % 2 == 0) ++width;
  return width;
}

int TdxBarPainter::GetLargeButtonArrowWidth(TdxBarManager* manager) const {
  return manager ? manager->LargeButtonArrowWidth() : 13;
}

SIZE TdxBarPainter::GetArrowPartSize(int glyphSize, int textSize) const {
  // Taken in the order given: x from the glyph size, y from the text size.
  return SIZE{GetArrowPartHeight(glyphSize), GetArrowPartWidth(textSize)};
}

// --- Separators, frames, marks --------------------------------------------------------------

void TdxBarPainter::DrawBarSeparator(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush,
                                     bool horizontal) const {
  const int m = GetBarSeparatorMargin();
  RECT line = r;
  if (horizontal) {
    control->GetPainter()->DrawBarControlBackground(control, dc, RECT{r.left, r.top, r.right, r.top + m}, r, brush, clNone);
    control->GetPainter()->DrawBarControlBackground(control, dc, RECT{r.left, r.bottom - m, r.right, r.bottom}, r, brush, clNone);
    line.top += m, line.bottom -= m;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
  } else {
    control->GetPainter()->DrawBarControlBackground(control, dc, RECT{r.left, r.top, r.left + m, r.bottom}, r, brush, clNone);
    control->GetPainter()->DrawBarControlBackground(control, dc, RECT{r.right - m, r.top, r.right, r.bottom}, r, brush, clNone);
    line.left += m, line.right -= m;
    DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT);
  }
}

void TdxBarPainter::DrawSeparatorLine(HDC dc, const RECT& r) const {
  RECT line = r;
  DrawEdge(dc, &line, EDGE_ETCHED, BF_TOP);
}

void TdxBarPainter::FillBarCaption(TCustomdxBarControl*, HDC dc, const RECT& r, HBRUSH brush) const {
  FillRect(dc, &r, brush);
}

TColor TdxBarPainter::GetFloatingCaptionColor(TCustomdxBarControl*, bool mainFormActive) const {
  return mainFormActive ? clActiveCaption : clInactiveCaption;
}

TColor TdxBarPainter::GetFloatingCaptionTextColor(TCustomdxBarControl*) const {
  return static_cast<TColor>(0xFF000000 | COLOR_CAPTIONTEXT);
}

TColor TdxBarPainter::GetCaptionButtonGlyphColor(TCustomdxBarControl*, int) const {
  return static_cast<TColor>(0xFF000000 | COLOR_CAPTIONTEXT);
}

void TdxBarPainter::GetFloatingCaptionTextLeft(TCustomdxBarControl* control, int& x, const RECT& caption) const {
  RECT mark = caption;
  CalcMarkRect(control, mark);
  x = mark.right + 3;
}

void TdxBarPainter::DrawCaptionButtonBackground(TCustomdxBarControl* control, HDC dc, const RECT& r,
                                                int state) const {
  if (state == 0) {
    Fill(dc, r, Rgb(GetFloatingCaptionColor(control, true)));
    return;
  }
  FrameSelection(dc, r);
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  FillRect(dc, &inner, state == 1 ? control->SelectedBrush() : control->DownedSelectedBrush());
}

void TdxBarPainter::DrawSmallDownArrow(TCustomdxBarControl* control, HDC dc, const RECT& r, int state) const {
  const int x = (r.left + r.right - 7) / 2;
  const int y = static_cast<int>(std::ceil((r.top + r.bottom - 4) / 2.0));
  Triangle(dc, POINT{x, y}, POINT{x + 6, y}, POINT{x + 3, y + 3}, Rgb(GetCaptionButtonGlyphColor(control, state)));
}

void TdxBarPainter::DrawCaptionMarkButton(TCustomdxBarControl* control, HDC dc, const RECT& r) const {
  DrawSmallDownArrow(control, dc, r, control->MarkState());
}

void TdxBarPainter::DrawBarSizeGrip(TCustomdxBarControl*, HDC dc, const RECT& r, HBRUSH) const {
  DrawTransparentSizeGrip(dc, r);
}

void TdxBarPainter::DrawBarSizeGripArea(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const {
  const TdxBarBorders m = GetSizeGripMargins();
  const SIZE size = GetSizeGripSize(control->OwnerBarManager());
  RECT column{r.right - m.Right - size.cx, r.top + m.Top, r.right - m.Right, r.bottom - m.Bottom};
  DrawBarControlBackground(control, dc, column, column, brush, clNone);
  RECT grip{column.left, column.bottom - size.cy, column.right, column.bottom};
  DrawBarSizeGrip(control, dc, grip, brush);
}

void TdxBarPainter::DrawStatusBarTopEdge(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const {
  RECT top{r.left, r.top, r.right, r.top + GetStatusBarTopEdge()};
  DrawBarControlBackground(control, dc, top, r, brush, clNone);
}

void TdxBarPainter::CalcMarkRect(TCustomdxBarControl* control, RECT& r) const {
  const RECT client = control->ClientRect();
  const int size = control->MarkSizeValue();
  switch (control->DockingStyle()) {
    case 1:
    case 3: r = RECT{client.left, client.bottom - size, client.right, client.bottom}; break;
    case 2:
    case 4: r = RECT{client.right - size, client.top, client.right, client.bottom}; break;
    default: {
      const int left = r.left;
      r.left = std::max<int>(left, r.right - (r.bottom - r.top));
      break;
    }
  }
}

void TdxBarPainter::RepaintMark(TCustomdxBarControl* control) const {
  if (control->DockingStyle() == 0) {
    control->RepaintAll();
    return;
  }
  RECT r;
  CalcMarkRect(control, r);
  if (control->HandleAllocated()) InvalidateRect(control->Handle(), &r, FALSE);
}

void TdxBarPainter::DrawMarkArea(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH brush) const {
  DrawMarkBackground(control, dc, r, brush);
  DrawMark(control, dc, r);
}

bool TdxBarPainter::IsShortMarkArea(TCustomdxBarControl*, const RECT& r) const { return r.bottom - r.top < 17; }

void TdxBarPainter::DrawMark(TCustomdxBarControl* control, HDC dc, const RECT& r) const {
  const bool vertical = control->DockingStyle() == 1 || control->DockingStyle() == 3;
  const COLORREF color = Sys(GetMarkElementColor(control));
  if (AllowsQuickCustomizing()) {
    if (!vertical) {
      const int x = r.left + 3, y = r.bottom - 7 + (IsShortMarkArea(control, r) ? 1 : 0);
      Triangle(dc, POINT{x, y}, POINT{x + 4, y}, POINT{x + 2, y + 2}, color);
    } else {
      const int x = r.left + 5, y = r.top + 3;
      Triangle(dc, POINT{x, y}, POINT{x, y + 4}, POINT{x - 2, y + 2}, color);
    }
  }
  if (control->HasHiddenItems()) {
    if (!vertical) {
      DrawMarkChevron(control, dc, IsShortMarkArea(control, r) ? 1 : 0, r.left + 2);
      DrawMarkChevron(control, dc, IsShortMarkArea(control, r) ? 1 : 0, r.left + 6);
    } else {
      DrawMarkChevron(control, dc, 0, r.top + 2);
      DrawMarkChevron(control, dc, 0, r.top + 6);
    }
  }
}

void TdxBarPainter::DrawMarkChevron(TCustomdxBarControl* control, HDC dc, int state, int position) const {
  const COLORREF color = Sys(COLOR_BTNTEXT);
  const bool vertical = control->DockingStyle() == 1 || control->DockingStyle() == 3;
  if (!vertical) {
    const int x = position, y0 = state ? 3 : 4;
    // The short-area flag arrives as the state; the chevron starts one pixel higher then.
    Polyline3(dc, POINT{x, y0}, POINT{x + 2, y0 + 2}, POINT{x - 1, y0 + 5}, color);
    Polyline3(dc, POINT{x + 1, y0}, POINT{x + 3, y0 + 2}, POINT{x, y0 + 5}, color);
  } else {
    const int w = control->ClientWidth(), y = position;
    Polyline3(dc, POINT{w - 8, y}, POINT{w - 6, y + 2}, POINT{w - 3, y - 1}, color);
    Polyline3(dc, POINT{w - 8, y + 1}, POINT{w - 6, y + 3}, POINT{w - 3, y}, color);
  }
}

void TdxBarPainter::SplitQuickCustCheckArea(TdxBarItemControl*, HDC, RECT& check, RECT& item, bool) const {
  check.right = check.left + (check.bottom - check.top);
  item.left = check.right;
}

// --- Captions ---------------------------------------------------------------------------------------

TColor TdxBarPainter::GetItemTextColor(TdxBarItemControl*, bool selected, bool flat) const {
  return static_cast<TColor>(0xFF000000 | (selected && !flat ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
}

TColor TdxBarPainter::GetSelectedTextColor(TdxBarItemControl* control, bool selected, bool flat) const {
  return GetItemTextColor(control, selected, flat);
}

void TdxBarPainter::GetGrayedTextColors(TdxBarItemControl*, bool selected, bool flat, TColor& emboss,
                                        TColor& text) const {
  if (selected || flat) {
    emboss = text = static_cast<TColor>(0xFF000000 | COLOR_GRAYTEXT);
  } else {
    emboss = static_cast<TColor>(0xFF000000 | COLOR_BTNHIGHLIGHT);
    text = static_cast<TColor>(0xFF000000 | COLOR_BTNSHADOW);
  }
}

void TdxBarPainter::GetCaptionColors(TdxBarItemControl* control, bool enabled, bool selected, bool flat,
                                     TColor& emboss, TColor& text) const {
  if (!enabled) {
    GetGrayedTextColors(control, selected, flat, emboss, text);
    return;
  }
  text = GetSelectedTextColor(control, selected, flat);
  emboss = text;
}

TColor TdxBarPainter::GetPartTextColor(TdxBarItemControlDrawParams* params, int part) const {
  if (!HasPartTextColor(params, part)) return clDefault;
  TColor emboss = clDefault, text = clDefault;
  GetCaptionColors(params->BarItemControl, params->Enabled, params->DrawSelected, IsFlatLook(), emboss, text);
  return text;
}

void TdxBarPainter::DrawItemCaption(TdxBarItemControl* control, HDC dc, const AnsiString& caption, const RECT& r,
                                    int verticalAlignment, bool enabled, bool selected, bool vertical, bool clipped,
                                    bool flat, UINT format) const {
  RECT area = r;
  if (!(clipped && !vertical)) format |= DT_NOCLIP;
  const int saved = SaveDC(dc);
  AnsiString text = caption;
  int accel = 0;
  SIZE extent{0, 0};
  if (vertical) {
    if (clipped) IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
    accel = FindAccelPosition(text, true);
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    const int free = (r.bottom - r.top) - extent.cx;
    OffsetRect(&area, (r.right - r.left) / 2 + extent.cy / 2, verticalAlignment == 1 ? free / 2 : verticalAlignment == 2 ? free : 0);
    if (accel > 0) format |= DT_NOPREFIX;
  } else {
    format |= (verticalAlignment == 1 ? DT_CENTER : verticalAlignment == 2 ? DT_RIGHT : DT_LEFT) | DT_VCENTER;
  }
  TColor emboss = clDefault, textColor = clDefault;
  GetCaptionColors(control, enabled, selected, flat && IsFlatLook(), emboss, textColor);
  SetBkMode(dc, TRANSPARENT);
  auto draw = [&](RECT where, COLORREF color) {
    SetTextColor(dc, color);
    if (vertical) {
      ExtTextOutA(dc, where.left, where.top, 0, nullptr, text.c_str(), static_cast<UINT>(text.size()), nullptr);
    } else {
      DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &where, format);
    }
  };
  if (emboss != textColor) {
    RECT moved = area;
    OffsetRect(&moved, 1, 1);
    draw(moved, Rgb(emboss));
  }
  draw(area, Rgb(textColor));
  RestoreDC(dc, saved);
}

void TdxBarPainter::DrawButtonCaption(TdxBarItemControlDrawParams* params, const RECT& r, int verticalAlignment,
                                      UINT format) const {
  DrawItemCaption(params->BarItemControl, DCOf(params), params->Caption, r, verticalAlignment, params->Enabled,
                  params->DrawSelected, params->PaintType == dxBarPaintVertical, false, IsFlatLook(), format);
}

void TdxBarPainter::CalcCaptionRect(TdxBarItemControlDrawParams* params, RECT& r) const {
  r = RECT{0, 0, 0, 0};
  HDC dc = DCOf(params);
  if (!dc || params->Caption.empty()) return;
  DrawTextA(dc, params->Caption.c_str(), static_cast<int>(params->Caption.size()), &r, DT_CALCRECT | DT_SINGLELINE);
}

void TdxBarPainter::AddCaptionIndent(TdxBarItemControlDrawParams* params, int& width) const {
  if (params->PaintType == dxBarPaintMenu) return;
  TdxBarItemControl* control = params->BarItemControl;
  TdxBarButton* button = control ? dynamic_cast<TdxBarButton*>(control->OwnItem()) : nullptr;
  if (params->IsDropDown && !button) {
    if (auto* like = dynamic_cast<TdxBarButtonLikeControl*>(control)) width += like->GetArrowWidth();
    return;
  }
  if (params->IsDropDown) {
    if (auto* like = dynamic_cast<TdxBarButtonLikeControl*>(control)) width += like->GetArrowWidth();
    return;
  }
  if (params->ViewStructure & dxBarViewIcon) width += GetGlyphColumnWidth(control) / 2;
}

void TdxBarPainter::DrawCenteredText(HDC dc, const RECT& r, int shift, const AnsiString& text, bool opaque) const {
  SIZE extent{0, 0};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  const int x = r.left + (r.right - r.left - extent.cx) / 2 + shift;
  const int y = r.top + (r.bottom - r.top - extent.cy) / 2 + shift;
  SetTextColor(dc, Sys(COLOR_BTNTEXT));
  SetBkColor(dc, Sys(COLOR_BTNFACE));
  ExtTextOutA(dc, x, y, ETO_CLIPPED | (opaque ? ETO_OPAQUE : 0), &r, text.c_str(), static_cast<UINT>(text.size()), nullptr);
}

void TdxBarPainter::FillSolidRect(HDC dc, const RECT& r, TColor color) const { Fill(dc, r, Rgb(color)); }

// --- Glyphs ---------------------------------------------------------------------------------------------

HBRUSH TdxBarPainter::GetGlyphBrush(TdxBarItemControl* control, const TdxBarGlyphStates&) const {
  return control->BackgroundBrush();
}

bool TdxBarPainter::FillsGlyphBackground(TdxBarItemControl* control) const {
  if (HasNativeBackground()) return true;
  if (control->NonRecent()) return false;
  TCustomdxBarControl* parent = control->Parent();
  return parent && parent->BackgroundBitmap() && !parent->BackgroundBitmap()->GetEmpty();
}

int TdxBarPainter::GetGlyphColumnWidth(TdxBarItemControl* control) const {
  TCustomdxBarControl* parent = control ? control->Parent() : nullptr;
  if (!parent || parent->ControlKind() != 2) return 0;
  TdxBarManager* manager = parent->OwnerBarManager();
  return (manager && manager->ImageOptions() ? manager->ImageOptions()->GlyphSize() : 16) + 1;
}

void TdxBarPainter::DrawDisabledShadow(TdxBarItemControl*, HDC dc, const RECT& r) const {
  FillRect(dc, &r, SysBrush(COLOR_BTNSHADOW));
}

bool TdxBarPainter::IsFlatUnlessWhiteFace() const { return IsFlatLook() && Sys(COLOR_BTNFACE) != RGB(255, 255, 255); }

bool TdxBarPainter::ShowsSelection(TdxBarItemControl* control, bool down, bool pressed, bool selected,
                                   bool checkedGlyph) const {
  if (checkedGlyph) return control->NonRecent() || down || pressed || selected;
  return control->NonRecent() || control->BackgroundBrush() != nullptr;
}

void TdxBarPainter::FillItemBackground(TdxBarItemControl* control, HDC dc, const RECT& r, HBRUSH brush,
                                       bool useBrush) const {
  if (useBrush && brush) {
    FillRect(dc, &r, brush);
    return;
  }
  TCustomdxBarControl* parent = control->Parent();
  if (parent)
    parent->GetPainter()->DrawBarControlBackground(parent, dc, r, parent->ClientRect(), parent->GetBackgroundBrush(),
                                                   clNone);
  else
    FillRect(dc, &r, SysBrush(COLOR_BTNFACE));
}

void TdxBarPainter::FrameItemBackground(TdxBarItemControl* control, HDC dc, const RECT& r, HBRUSH brush,
                                        bool useBrush) const {
  if (useBrush && brush) {
    FrameRect(dc, &r, brush);
    return;
  }
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, r.left + 1, r.top + 1, r.right - 1, r.bottom - 1);
  FillItemBackground(control, dc, r, nullptr, false);
  RestoreDC(dc, saved);
}

void TdxBarPainter::FillParentBackground(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r,
                                         HBRUSH brush) const {
  TCustomdxBarControl* parent = params->BarItemControl ? params->BarItemControl->Parent() : nullptr;
  if (parent) parent->GetPainter()->DrawBarControlBackground(parent, dc, r, parent->ClientRect(), brush, clNone);
}

void TdxBarPainter::DrawGlyph(TdxBarItemControl* control, HDC dc, bool glyphShown, const TdxBarGlyphStates& states,
                              TCustomImageList* images, int imageIndex, TBitmap* bitmap, bool, const RECT& area,
                              SIZE glyphSize) const {
  if (!glyphShown) return;
  RECT glyph{0, 0, glyphSize.cx, glyphSize.cy};
  const int x = area.left + (area.right - area.left - glyphSize.cx) / 2;
  const int y = area.top + (area.bottom - area.top - glyphSize.cy) / 2;
  OffsetRect(&glyph, x, y);
  if (states.Pressed) OffsetRect(&glyph, GetPressedGlyphShift(control), GetPressedGlyphShift(control));
  if (states.Down) OffsetRect(&glyph, GetDownGlyphShift(control, states.Pressed), GetDownGlyphShift(control, states.Pressed));
  if (control->ViewInfo()) control->ViewInfo()->SetImageBounds(glyph);
  DrawGlyphImage(control, dc, states, images, imageIndex, bitmap, area, glyph);
}

void TdxBarPainter::DrawGlyphImage(TdxBarItemControl* control, HDC dc, const TdxBarGlyphStates& states,
                                   TCustomImageList* images, int imageIndex, TBitmap* bitmap, const RECT& area,
                                   const RECT& glyph) const {
  HBRUSH brush = GetGlyphBrush(control, states);
  const int gw = glyph.right - glyph.left, gh = glyph.bottom - glyph.top;
  const bool border = area.right - area.left >= gw + 2 && area.bottom - area.top >= gh + 2;
  if (HasNativeBackground() && border) DrawGlyphFrame(control, dc, states, area);
  RECT inner = area;
  if (border) InflateRect(&inner, -1, -1);
  const bool fills = FillsGlyphBackground(control);
  if (!HasNativeBackground() && (states.Down || !fills))
    FillItemBackground(control, dc, inner, brush,
                       ShowsSelection(control, states.Down, states.Pressed, states.Selected, states.CheckMark));
  if (states.CheckMark) {
    DrawCheckMark(control, dc, inner, true, true);
  } else {
    TdxBarGlyphState state;
    state.Usable = states.Enabled;
    state.Faded = !states.Enabled && UsesFadedImages(control->Parent());
    state.DimsIdle = DimsIdleGlyphs();
    state.Selected = states.Selected;
    state.Down = states.Down;
    state.ShadowsHot = ShadowsHotGlyphs();
    state.Pressed = states.Pressed;
    DrawItemGlyph(control, dc, fills ? nullptr : brush, state, clNone, imageIndex, images, bitmap, inner, glyph);
  }
  if (!HasNativeBackground() && border) DrawGlyphFrame(control, dc, states, area);
}

void TdxBarPainter::DrawCheckMark(TdxBarItemControl* control, HDC dc, const RECT& r, bool checkMark,
                                  bool checked) const {
  if (!checkMark || !checked) return;
  TCustomdxBarControl* parent = control ? control->Parent() : nullptr;
  const int points = parent ? parent->Font()->Size() : 8;
  const int size = points < 16 ? 1 : 2;
  const int cellW = size == 1 ? 9 : 18, cellH = size == 1 ? 7 : 14;
  const int x = r.left + (r.right - r.left - cellW) / 2;
  const int y = r.top + (r.bottom - r.top - cellH) / 2;
  DrawCheckSign(control, dc, y, x, size);
}

void TdxBarPainter::CalcLargeGlyphRect(TdxBarItemControl*, SIZE glyph, const RECT& r, int layout, bool caption,
                                       bool vertical, RECT& result) const {
  const int x = r.left + (r.right - r.left - glyph.cx) / 2, y = r.top + (r.bottom - r.top - glyph.cy) / 2;
  result = RECT{x, y, x + glyph.cx, y + glyph.cy};
  if (!caption) return;
  auto place = [&](int dx, int dy) { OffsetRect(&result, dx, dy); };
  if (!vertical) {
    switch (layout) {
      case 0: place(r.left + 4 - result.left, 0); break;
      case 1: place(r.right - 4 - result.right, 0); break;
      case 2: place(0, r.top + 2 - result.top); break;
      default: place(0, r.bottom - 2 - result.bottom); break;
    }
  } else {
    switch (layout) {
      case 0: place(0, r.top + 4 - result.top); break;
      case 1: place(0, r.bottom - 4 - result.bottom); break;
      case 2: place(r.right - 2 - result.right, 0); break;
      default: place(r.left + 2 - result.left, 0); break;
    }
  }
}

// --- Buttons ---------------------------------------------------------------------------------------------

HBRUSH TdxBarPainter::GetItemBrush(TdxBarItemControlDrawParams* params) const {
  return params->BarItemControl ? params->BarItemControl->BackgroundBrush() : nullptr;
}

bool TdxBarPainter::ShowsButtonFrame(TdxBarItemControlDrawParams* params) const {
  if (params->BarItemControl && params->BarItemControl->NonRecent()) return true;
  return IsFlatLook() && (params->DroppedDown || params->DrawSelected);
}

bool TdxBarPainter::DrawsPressedFrame(TdxBarItemControlDrawParams* params) const {
  const bool menu = params->PaintType == dxBarPaintMenu;
  const bool whiteFace = Sys(COLOR_BTNFACE) == RGB(255, 255, 255);
  if ((IsFlatLook() || whiteFace) && params->DrawSelected && (menu || !params->IsPressed)) return true;
  if (menu) return params->IsPressed;
  return !IsFlatLook() && DrawsFlatItems() && params->IsPressed;
}

void TdxBarPainter::DrawSunkenEdge(HDC dc, RECT& r) const {
  DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
  InflateRect(&r, -1, -1);
}

void TdxBarPainter::ShiftPressedContent(bool pressed, bool down, RECT& r) const {
  if (IsFlatLook()) return;
  if (pressed || down) OffsetRect(&r, 1, 1);
  if (pressed && !down && !DrawsFlatItems()) OffsetRect(&r, 1, 1);
}

void TdxBarPainter::ShiftPressedArrow(bool pressed, RECT& r) const {
  if (pressed && !IsFlatLook()) OffsetRect(&r, 1, 1);
}

void TdxBarPainter::CalcGlyphCaptionSplit(TdxBarItemControlDrawParams* params, const RECT& glyph, int& alignment,
                                          RECT& caption) const {
  const bool vertical = params->PaintType == dxBarPaintVertical;
  if (params->ViewSize() == 2) {
    TdxBarItem* item = params->BarItemControl ? params->BarItemControl->OwnItem() : nullptr;
    alignment = 1;
    switch (item ? item->GlyphLayout() : 0) {
      case 0:
        alignment = 0;
        if (vertical) caption.top = glyph.bottom + 3; else caption.left = glyph.right + 3;
        break;
      case 1:
        alignment = 2;
        if (vertical) caption.bottom = glyph.top - 3; else caption.right = glyph.left - 3;
        break;
      case 2:
        if (vertical) caption.right = glyph.left; else caption.top = glyph.bottom;
        break;
      default:
        if (vertical) caption.left = glyph.right; else caption.bottom = glyph.top;
        break;
    }
    return;
  }
  alignment = 0;
  const int glyphExtent = vertical ? glyph.bottom - glyph.top : glyph.right - glyph.left;
  if (params->ViewStructure & dxBarViewIcon) {
    if (vertical) caption.top += glyphExtent; else caption.left += glyphExtent;
  } else {
    const int width = GetGlyphColumnWidth(params->BarItemControl);
    if (vertical) caption.top += width; else caption.left += width;
  }
  auto* button = ButtonParams(params);
  if (!ShowsButtonFrame(params)) ShiftPressedContent(params->IsPressed, button && button->Down, caption);
}

void TdxBarPainter::CalcButtonParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int, int) const {
  if (!params->IsDropDown || count < 2) return;
  auto* button = ButtonParams(params);
  const int arrow = button ? button->ArrowSize.cx : 0;
  parts[1].left = parts[1].right - arrow;
  parts[0].right = parts[1].left;
}

void TdxBarPainter::CalcDropDownPartRect(TdxBarItemControlDrawParams* params, const RECT& r, RECT& part) const {
  const int width = GetDropDownPartWidth(params->PaintType, r);
  part = RECT{r.right - width, r.top, r.right, r.bottom};
  const RECT bounds = params->BarItemControl ? params->BarItemControl->GetItemRect() : r;
  if (width * 2 >= bounds.right - bounds.left) {
    part.left = part.right;
    return;
  }
  const TdxBarBorders m = GetEditFrameMargins(params->PaintType);
  part.left += m.Left, part.top += m.Top, part.right -= m.Right, part.bottom -= m.Bottom;
}

int TdxBarPainter::GetDropDownPartWidth(int paintType, const RECT& r) const {
  const TdxBarBorders m = GetEditFrameMargins(paintType);
  return (r.bottom - r.top - 4) / 7 * 7 + 4 - m.Left - m.Right;
}

void TdxBarPainter::CalcDropDownEditParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int,
                                          const RECT& r) const {
  if (count < 2) return;
  CalcDropDownPartRect(params, r, parts[1]);
  parts[0] = r;
  parts[0].right = parts[1].left;
  const bool dropDown = parts[1].right > parts[1].left;
  if (dropDown) parts[0].right -= GetEditFrameMargins(params->PaintType).Left;
  if (!HasEditButtonSpacing() || !dropDown) parts[0].right -= GetComboFrameMargins(params->PaintType).Right;
}

void TdxBarPainter::CalcComboParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int,
                                   const RECT& r) const {
  if (count < 2) return;
  const TdxBarBorders m = GetComboFrameMargins(params->PaintType);
  RECT inner{r.left + m.Left, r.top + m.Top, r.right - m.Right, r.bottom - m.Bottom};
  TCustomdxBarControl* parent = params->BarItemControl ? params->BarItemControl->Parent() : nullptr;
  const int arrow = parent ? parent->ComboArrowWidth() : 0;
  parts[1] = RECT{inner.right - arrow, inner.top, inner.right, inner.bottom};
  parts[0] = inner;
  parts[0].right = parts[1].left - GetComboButtonGap(params->BarItemControl, parts);
}

void TdxBarPainter::DrawArrow(HDC dc, const RECT& r, TColor color, bool flat, int, bool selected, bool enabled,
                              int orientation) const {
  DrawArrowForOrientation(dc, r, orientation, enabled, selected, flat, color);
}

void TdxBarPainter::DrawSizedArrow(HDC dc, const RECT& r, TColor color, bool flat, int, bool selected, bool enabled,
                                   int size, int orientation) const {
  DrawSizedArrowForOrientation(dc, r, orientation, size, selected, enabled, flat, color);
}

void TdxBarPainter::DrawLargeItemArrow(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r, int size,
                                       TColor color) const {
  if (!(IsFlatLook() || params->Enabled)) color = clDefault;
  DrawSizedArrowForOrientation(dc, r, 1, size, params->DrawSelected, params->Enabled, IsFlatLook(), color);
}

void TdxBarPainter::DrawComboButton(TdxBarItemControlDrawParams* params, const RECT& r) const {
  DrawComboButtonFace(params, r, GetComboButtonBrush(params));
  const int width = r.right - r.left;
  const int size = width / 4 + ((width & 2) == 0 ? 1 : 0);
  DrawLargeItemArrow(params, DCOf(params), r, size, GetComboArrowColor(params));
}

void TdxBarPainter::DrawEllipsisDot(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r) const {
  if (params->Enabled) {
    const bool white = Sys(COLOR_BTNFACE) == RGB(255, 255, 255);
    FillRect(dc, &r, SysBrush(white && params->DrawSelected ? COLOR_BTNFACE : COLOR_BTNTEXT));
  } else {
    DrawDisabledShadow(params->BarItemControl, dc, r);
  }
}

void TdxBarPainter::DrawEllipsisGlyph(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r) const {
  const int w = (r.right - r.left) / 7;
  if (w <= 0) return;
  RECT dot{r.left + (r.right - r.left - 5 * w) / 2, r.bottom - w, 0, r.bottom};
  dot.right = dot.left + w;
  OffsetRect(&dot, 0, -GetEllipsisLift(w));
  ShiftPressedArrow(params->IsPressed, dot);
  for (int i = 0; i < 3; ++i) {
    DrawEllipsisDot(params, dc, dot);
    OffsetRect(&dot, 2 * w, 0);
  }
}

void TdxBarPainter::CalcSubMenuIconRect(const RECT& item, int iconAreaSize, RECT& r) const {
  r = item;
  r.right = r.left + iconAreaSize;
}

int TdxBarPainter::GetSubMenuTextIndent(TdxBarItemControlDrawParams* params) const {
  TCustomdxBarControl* parent = params->BarItemControl ? params->BarItemControl->Parent() : nullptr;
  return (parent ? parent->IconAreaSizeValue() : 0) + 3;
}

void TdxBarPainter::CalcSubMenuTextRect(TdxBarItemControlDrawParams* params, const RECT& item, RECT& r) const {
  r = item;
  r.left += GetSubMenuTextIndent(params);
}

int TdxBarPainter::GetSubItemArrowIndent(TdxBarItemControl* control) const {
  TCustomdxBarControl* parent = control->Parent();
  return parent ? -parent->Font()->Height() / 2 : 0;
}

void TdxBarPainter::DrawArrowPartBackground(TdxBarItemControlDrawParams* params, const RECT& r, HBRUSH brush) const {
  RECT part = r;
  if (params->PaintType != dxBarPaintMenu && IsFlatLook()) part.left -= 1;
  FillItemBackground(params->BarItemControl, DCOf(params), part, brush, ShowsButtonFrame(params));
}

void TdxBarPainter::DrawButtonArrow(TdxBarItemControlDrawParams* params, const RECT& r) const {
  RECT part = r;
  const bool menu = params->PaintType == dxBarPaintMenu;
  if (!IsFlatLook() && params->IsPressed && (part.right - part.left > 9 || menu)) OffsetRect(&part, 1, 1);
  const TColor color = GetPartTextColor(params, 1);
  const int state = DrawsPressedFrame(params) ? dxBarStatePressed : dxBarStateNormal;
  auto* button = ButtonParams(params);
  if (menu)
    DrawSizedArrow(DCOf(params), part, color, DrawsFlatItems(), state, params->DrawSelected, params->Enabled,
                   button ? button->ArrowSize.cy : 4, 3);
  else
    DrawArrow(DCOf(params), part, color, DrawsFlatItems(), state, params->DrawSelected, params->Enabled, 1);
}

void TdxBarPainter::DrawSplitArrowPart(TdxBarItemControlDrawParams* params, const RECT& r) const {
  auto* button = ButtonParams(params);
  const int width = button ? button->ArrowSize.cx : 0;
  RECT part{r.right - width, r.top, r.right, r.bottom};
  DrawArrowPartBackground(params, part, GetItemBrush(params));
  DrawButtonArrow(params, part);
}

void TdxBarPainter::DrawSubItemArrow(TdxBarItemControlDrawParams* params, const RECT& r) const {
  TCustomdxBarControl* parent = params->BarItemControl ? params->BarItemControl->Parent() : nullptr;
  const int side = parent ? parent->TextSize() : 0;
  RECT part = r;
  int orientation = 3;
  if (params->PaintType == dxBarPaintBar) {
    part.left = part.right - side;
    orientation = 1;
  } else if (params->PaintType == dxBarPaintMenu) {
    part.left = part.right - side;
  } else {
    part.top = part.bottom - side;
  }
  auto* button = ButtonParams(params);
  if (params->PaintType != dxBarPaintMenu) ShiftPressedContent(params->IsPressed, button && button->Down, part);
  const int size = button ? button->ArrowSize.cy : 4;
  DrawSizedArrow(DCOf(params), part, GetPartTextColor(params, 0), DrawsFlatItems(), dxBarStateNormal,
                 params->DrawSelected, params->Enabled, params->PaintType == dxBarPaintMenu ? size - 1 : size,
                 orientation);
}

void TdxBarPainter::DrawButtonCaptionOnly(TdxBarItemControlDrawParams* params, const RECT& r,
                                          int verticalAlignment) const {
  if (!(params->ViewStructure & dxBarViewText)) return;
  RECT caption = r;
  int alignment = 0;
  CalcGlyphCaptionSplit(params, RECT{r.left, r.top, r.left, r.top}, alignment, caption);
  DrawButtonCaption(params, caption, verticalAlignment, DT_SINGLELINE | DT_VCENTER);
}

void TdxBarPainter::DrawButtonControl(TdxBarItemControlDrawParams* params, const RECT& r) const {
  HDC dc = DCOf(params);
  TdxBarItemControl* control = params->BarItemControl;
  if (!dc || !control) return;
  auto* button = ButtonParams(params);
  const bool down = button && button->Down;
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  const bool hasImage = control->GetImageParams(params->ViewSize(), index, images, bitmap);
  TdxBarGlyphStates states;
  states.Enabled = params->Enabled;
  states.Selected = params->DrawSelected;
  states.Pressed = params->IsPressed;
  states.Down = down;
  TCustomdxBarControl* parent = control->Parent();
  if (params->PaintType == dxBarPaintMenu) {
    FillItemBackground(control, dc, r, params->DrawSelected ? parent->SelectedBrush() : GetItemBrush(params),
                       params->DrawSelected);
    DrawButtonFace(params, r);
    RECT icon;
    CalcSubMenuIconRect(r, parent->IconAreaSizeValue(), icon);
    states.CheckMark = down && !hasImage;
    if (hasImage || states.CheckMark)
      DrawGlyph(control, dc, true, states, images, index, bitmap, false, icon, control->GetImageSize(params->ViewSize()));
    RECT text;
    CalcSubMenuTextRect(params, r, text);
    DrawItemCaption(control, dc, params->Caption, text, 0, params->Enabled, params->DrawSelected, false, false,
                    IsFlatUnlessWhiteFace(), DT_SINGLELINE);
    if (!params->ShortCutText.empty()) {
      RECT shortcut = text;
      shortcut.right = r.right - parent->TextSize() - 5;
      DrawItemCaption(control, dc, params->ShortCutText, shortcut, 2, params->Enabled, params->DrawSelected, false,
                      false, IsFlatUnlessWhiteFace(), DT_SINGLELINE);
    }
    if (params->IsDropDown && !(button && button->ButtonKind)) DrawSubItemArrow(params, r);
    else if (params->IsDropDown) DrawSplitArrowPart(params, r);
    return;
  }
  const bool split = params->IsDropDown && button && button->ButtonKind;
  RECT face = r;
  if (split) face.right -= button->ArrowSize.cx;
  const bool raised = params->DrawSelected || down || params->IsPressed;
  FillItemBackground(control, dc, face, down && !params->DrawSelected ? parent->DownedBrush() : GetItemBrush(params),
                     down && !params->DrawSelected);
  DrawButtonFace(params, face);
  if (raised && params->Enabled && !params->IsCustomizing)
    DrawItemEdge(control, dc, face, 0, true, params->IsPressed || down ? 1 : 0);
  RECT glyphArea = face;
  const SIZE size = control->GetImageSize(params->ViewSize());
  const bool vertical = params->PaintType == dxBarPaintVertical;
  if (params->ViewStructure & dxBarViewText) {
    if (vertical) glyphArea.bottom = glyphArea.top + params->GlyphAreaSize.cy;
    else glyphArea.right = glyphArea.left + params->GlyphAreaSize.cx;
  }
  if ((params->ViewStructure & dxBarViewIcon) && hasImage)
    DrawGlyph(control, dc, true, states, images, index, bitmap, false, glyphArea, size);
  if (params->ViewStructure & dxBarViewText) {
    RECT caption = face;
    int alignment = 0;
    CalcGlyphCaptionSplit(params, glyphArea, alignment, caption);
    if (!(params->ViewStructure & dxBarViewIcon)) {
      caption = face;
      alignment = 1;
      ShiftPressedContent(params->IsPressed, down, caption);
    }
    DrawItemCaption(control, dc, params->Caption, caption, alignment, params->Enabled, false, vertical, !vertical,
                    IsFlatLook(), DT_SINGLELINE);
  }
  if (split)
    DrawSplitArrowPart(params, r);
  else if (params->IsDropDown)
    DrawSubItemArrow(params, r);
}

// --- Submenus ------------------------------------------------------------------------------------------------
// The submenu's own values (item height, icon area, brushes) come from the
// bar window it is.

void TdxBarPainter::CalcSubMenuItemMetrics(TcxCanvas* canvas, int textSize, int& arrowWidth,
                                           int& expandButtonHeight) const {
  arrowWidth = GetSubMenuArrowWidth(textSize);
  expandButtonHeight = canvas->HeightOfText("0") + 1;
  const int check = GetSubMenuCheckSize(expandButtonHeight);
  if (check % 2 != 0) expandButtonHeight = (check - 1) * 2 + 6;
}

void TdxBarPainter::GetSubMenuBorderRect(TdxBarSubMenuControl* menu, TdxBarBorders& widths) const {
  const int w = GetSubMenuInnerBorder(menu);
  widths = {w, w, w, w};
}

// FIXME: the detach caption's size joins with the submenu window; until then it is 0.
int TdxBarPainter::GetDetachCaptionHeight(TdxBarSubMenuControl*) const { return 3; }

int TdxBarPainter::GetSubMenuIconColumnWidth(TdxBarSubMenuControl* menu) const {
  return menu ? static_cast<TCustomdxBarControl*>(menu)->IconAreaSizeValue() : 0;
}

int TdxBarPainter::GetSubMenuSideWidth(TdxBarSubMenuControl* menu) const {
  int width = GetSubMenuIconColumnWidth(menu);
  AdjustIconAreaSize(width);
  return width;
}

void TdxBarPainter::CalcSubMenuSeparatorRect(TdxBarSubMenuControl*, TdxBarItemControl* control, const RECT& item,
                                             RECT& r) const {
  r = item;
  r.top = r.bottom = item.top - (control && control->Pressed() ? 1 : 0);
  r.top -= GetSubMenuSeparatorSize();
}

void TdxBarPainter::FillSubMenuBackground(TdxBarSubMenuControl* menu, TcxCanvas* canvas, const RECT& r,
                                          POINT origin, HBRUSH brush) const {
  auto* bar = static_cast<TCustomdxBarControl*>(menu);
  TBitmap* bitmap = bar ? bar->BackgroundBitmap() : nullptr;
  HDC dc = canvas->GetDeviceContext();
  if (bitmap && !bitmap->GetEmpty()) {
    const RECT tiling{origin.x, origin.y, origin.x + bitmap->Width(), origin.y + bitmap->Height()};
    TileBitmap(dc, r, tiling, bitmap);
  } else {
    FillRect(dc, &r, brush ? brush : SysBrush(COLOR_BTNFACE));
  }
}

void TdxBarPainter::DrawSubMenuBorder(TdxBarSubMenuControl*, HDC dc, const RECT& r) const {
  Fill(dc, RECT{r.left, r.top, r.left + 1, r.bottom - 1}, Sys(COLOR_BTNFACE));
  Fill(dc, RECT{r.left + 1, r.top, r.right - 1, r.top + 1}, Sys(COLOR_BTNFACE));
  RECT edge = r;
  DrawEdge(dc, &edge, BDR_RAISEDOUTER, BF_RIGHT | BF_BOTTOM);
  // FIXME: the detach caption strip joins with the submenu window.
}

void TdxBarPainter::DrawSubMenuClientBorder(TdxBarSubMenuControl*, HDC dc, const RECT& r, HBRUSH brush) const {
  RECT edge = r;
  DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
  InflateRect(&edge, -1, -1);
  if (brush) FrameRect(dc, &edge, brush);
}

void TdxBarPainter::FillDetachCaption(TdxBarSubMenuControl*, HDC dc, const RECT& r) const {
  FillRect(dc, &r, SysBrush(COLOR_INACTIVECAPTION));
}

void TdxBarPainter::DrawSubMenuSeparator(TdxBarSubMenuControl* menu, TdxBarItemControl* control, TcxCanvas* canvas,
                                         const RECT& r) const {
  HDC dc = canvas->GetDeviceContext();
  RECT strip = r;
  const bool nonRecent = control && control->NonRecent();
  if (nonRecent && !HasSubMenuSideBand()) strip.left -= 1, strip.right += 2;
  auto* bar = static_cast<TCustomdxBarControl*>(menu);
  if (control) FillItemBackground(control, dc, strip, bar ? bar->GetBackgroundBrush() : nullptr, nonRecent);
  RECT line{strip.left + GetBeginGroupIndent(), strip.top + 4, strip.right - GetBeginGroupIndent(),
            strip.bottom - 4};
  if (line.right > line.left && line.bottom > line.top) DrawSeparatorLine(dc, line);
}

bool TdxBarPainter::GetSubMenuItemBrush(TdxBarSubMenuControl* menu, HBRUSH& brush) const {
  if (!UsesMenuItemBrush()) return false;
  brush = GetMenuItemBrush(menu);
  return true;
}

void TdxBarPainter::CalcScrollButtonRect(TdxBarSubMenuControl* menu, bool upper, RECT& r) const {
  auto* bar = static_cast<TCustomdxBarControl*>(menu);
  r = bar ? bar->ItemsRect() : RECT{0, 0, 0, 0};
  const int h = GetScrollButtonHeight(menu);
  if (upper)
    r.bottom = r.top + h;
  else
    r.top = r.bottom - h;
}

int TdxBarPainter::GetScrollButtonHeight(TdxBarSubMenuControl* menu) const {
  return menu ? static_cast<TCustomdxBarControl*>(menu)->TextSize() : 0;
}

void TdxBarPainter::DrawScrollButton(TdxBarSubMenuControl*, TcxCanvas* canvas, const RECT& r, TColor color,
                                     bool upper) const {
  const SIZE size = GetScrollArrowSize(r.right - r.left);
  const int a = size.cx;
  if (a <= 0) return;
  // The tip on a whole pixel: the base is 2a - 1 pixels, centred.
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
  const int top = cy - a / 2;
  POINT pts[3];
  if (upper) {
    pts[0] = {cx, top};
    pts[1] = {cx - a, top + a};
    pts[2] = {cx + a, top + a};
  } else {
    pts[0] = {cx - a, top};
    pts[1] = {cx + a, top};
    pts[2] = {cx, top + a};
  }
  HDC dc = canvas->GetDeviceContext();
  HRGN triangle = CreatePolygonRgn(pts, 3, WINDING);
  const int saved = SaveDC(dc);
  ExtSelectClipRgn(dc, triangle, RGN_AND);
  RECT box{cx - a, top, cx + a + 1, top + a + 1};
  FillSolidRect(dc, box, color);
  RestoreDC(dc, saved);
  ExtSelectClipRgn(dc, triangle, RGN_DIFF);
  DeleteObject(triangle);
}

void TdxBarPainter::DrawScrollButtonFrame(TdxBarSubMenuControl* menu, TcxCanvas* canvas, bool upper) const {
  RECT r;
  CalcScrollButtonRect(menu, upper, r);
  auto* bar = static_cast<TCustomdxBarControl*>(menu);
  HDC dc = canvas->GetDeviceContext();
  if (bar)
    bar->GetPainter()->DrawBarControlBackground(bar, dc, r, bar->ClientRect(), GetMenuItemBrush(menu), clNone);
}

void TdxBarPainter::DrawScrollButtonSeparator(TdxBarSubMenuControl* menu, TcxCanvas* canvas, bool upper) const {
  if (!upper) return;
  RECT r;
  CalcScrollButtonRect(menu, upper, r);
  RECT line{r.left - 1, r.top, r.right + 1, r.top + 1};
  HDC dc = canvas->GetDeviceContext();
  FillRect(dc, &line, SysBrush(COLOR_BTNHIGHLIGHT));
  ExcludeClipRect(dc, line.left, line.top, line.right, line.bottom);
}

void TdxBarPainter::DrawScrollButtons(TdxBarSubMenuControl* menu, TcxCanvas* canvas, bool upper) const {
  RECT r;
  CalcScrollButtonRect(menu, upper, r);
  DrawScrollButton(menu, canvas, r, clBtnText, upper);
  DrawScrollButtonsExtra(menu, canvas, upper);
  DrawScrollButtonSeparator(menu, canvas, upper);
  DrawScrollButtonFrame(menu, canvas, upper);
}

void TdxBarPainter::DrawExpandButtonFrame(TdxBarSubMenuControl*, HDC dc, const RECT& r) const {
  RECT edge = r;
  DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
  InflateRect(&edge, -1, -1);
  FrameRect(dc, &edge, SysBrush(COLOR_BTNHIGHLIGHT));
}

void TdxBarPainter::DrawExpandArrows(TdxBarSubMenuControl*, HDC dc, const RECT& r, bool hot) const {
  // FIXME: the expand arrow metric joins with the submenu window; 4 until then.
  const int n = 4;
  const bool white = Sys(COLOR_BTNFACE) == RGB(255, 255, 255);
  const COLORREF color = Sys(white && IsFlatLook() && hot ? COLOR_BTNFACE : COLOR_BTNTEXT);
  const int x0 = (r.left + r.right - n - 1) / 2;
  const int y0 = (r.top + r.bottom - n) / 2;
  for (int i = 0; i < n; ++i) {
    const int x = x0 + (i >= n / 2 ? n / 2 : 0), y = y0 + i;
    Polyline3(dc, POINT{x, y}, POINT{x + n / 2, y + n / 2}, POINT{x + n + 1, y - 1}, color);
  }
}

void TdxBarPainter::DrawExpandButton(TdxBarSubMenuControl* menu, const RECT& r, bool hot) const {
  auto* bar = static_cast<TCustomdxBarControl*>(menu);
  if (!bar || r.right <= r.left || r.bottom <= r.top) return;
  HDC target = bar->PaintCanvas()->GetDeviceContext();
  HDC memory = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, r.right - r.left, r.bottom - r.top);
  HGDIOBJ old = SelectObject(memory, bitmap);
  const RECT local{0, 0, r.right - r.left, r.bottom - r.top};
  FillRect(memory, &local, GetMenuItemBrush(menu));
  if (hot) DrawExpandButtonFrame(menu, memory, local);
  DrawExpandArrows(menu, memory, local, hot);
  BitBlt(target, r.left, r.top, local.right, local.bottom, memory, 0, 0, SRCCOPY);
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ExcludeClipRect(target, r.left, r.top, r.right, r.bottom);
}

// --- Application menu, extra pane, window lists ------------------------------------------------------------------

void TdxBarPainter::DrawExtraPaneBackground(TObject* pane, TcxCanvas* canvas, POINT origin, const RECT& r,
                                            HBRUSH brush) const {
  HDC dc = canvas->GetDeviceContext();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  FillExtraPaneBackground(pane, canvas, r, origin, brush);
  RestoreDC(dc, saved);
}

void TdxBarPainter::FillExtraPaneBackground(TObject*, TcxCanvas* canvas, const RECT& r, POINT, HBRUSH brush) const {
  FillRect(canvas->GetDeviceContext(), &r, brush ? brush : SysBrush(COLOR_BTNFACE));
}

void TdxBarPainter::DrawApplicationMenuSeparator(TdxBarSubMenuControl* menu, TcxCanvas* canvas, const RECT& r,
                                                 HBRUSH brush, bool horizontal) const {
  DrawBarSeparator(static_cast<TCustomdxBarControl*>(menu), canvas->GetDeviceContext(), r, brush, horizontal);
}

void TdxBarPainter::DrawWindowListItem(TdxBarItem*, const AnsiString& entry, TcxCanvas* canvas, const RECT& r,
                                       HDC dc) const {
  FillRect(dc, &r, canvas->GetBrush()->Handle());
  RECT text = r;
  const int mode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, entry.c_str(), -1, &text, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER);
  SetBkMode(dc, mode);
}

void TdxBarPainter::ApplyLookAndFeel(TdxBarManager* manager, TObject* lookAndFeel) const {
  auto* source = dynamic_cast<TPersistent*>(lookAndFeel);
  if (manager && manager->LookAndFeel() && source) manager->LookAndFeel()->Assign(source);
}

// --- Edits --------------------------------------------------------------------------------------------------------

TColor TdxBarPainter::GetDisabledEditBackgroundColor(TdxBarItemControl* control) const {
  HBRUSH brush = control && control->Parent() ? control->Parent()->GetBackgroundBrush() : SysBrush(COLOR_BTNFACE);
  LOGBRUSH lb{};
  if (brush && GetObjectA(brush, sizeof(lb), &lb) == sizeof(lb) && lb.lbStyle == BS_SOLID)
    return static_cast<TColor>(lb.lbColor);
  return clBtnFace;
}

TColor TdxBarPainter::GetEditControlBackColor(TdxBarItemControlDrawParams* params) const {
  if (!params->Enabled) return GetDisabledEditBackgroundColor(params->BarItemControl);
  return GetEditBackgroundColor(params->BarItemControl);
}

TColor TdxBarPainter::GetEditControlTextColor(TdxBarItemControl* control) const {
  TdxBarItem* item = control ? control->OwnItem() : nullptr;
  if (item && !item->Enabled()) return GetDisabledEditTextColor();
  return GetEditTextColor(control);
}

void TdxBarPainter::GetEditControlColors(TdxBarItemControl* control, TColor& text, TColor& back) const {
  text = GetEditControlTextColor(control);
  TdxBarItem* item = control ? control->OwnItem() : nullptr;
  back = item && !item->Enabled() ? GetDisabledEditBackgroundColor(control) : GetEditBackgroundColor(control);
}

bool TdxBarPainter::EditShowsSelected(TdxBarItemControlDrawParams* params) const { return params->DrawSelected; }

bool TdxBarPainter::EditHighlightsInMenu(TdxBarItemControlDrawParams* params) const {
  return params->PaintType == dxBarPaintMenu &&
         (params->DrawSelected || (params->BarItemControl && params->BarItemControl->NonRecent()));
}

bool TdxBarPainter::EditIsNonRecentInMenu(TdxBarItemControlDrawParams* params) const {
  return params->PaintType == dxBarPaintMenu && params->BarItemControl && params->BarItemControl->NonRecent();
}

void TdxBarPainter::DrawDropDownListEntry(TdxBarItemControl* control, TcxCanvas* canvas, int index, const RECT& r,
                                          int, int) const {
  HDC dc = canvas->GetDeviceContext();
  FillRect(dc, &r, canvas->GetBrush()->Handle());
  AnsiString text;
  if (index < 0 && control) text = control->GetCaption();
  (void)index;
  RECT t{r.left + 2, r.top, r.right, r.bottom};
  const int mode = SetBkMode(dc, TRANSPARENT);
  DrawTextA(dc, text.c_str(), -1, &t, DT_SINGLELINE | DT_TOP | DT_NOPREFIX);
  SetBkMode(dc, mode);
}

void TdxBarPainter::CalcEditParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int captionWidth,
                                  const RECT& r) const {
  if (count < 3) return;
  parts[0] = r;
  if (params->PaintType == dxBarPaintMenu) parts[0].left += GetSubMenuTextIndent(params);
  parts[0].right = std::min<LONG>(r.right, parts[0].left + captionWidth);
  parts[1] = r;
  parts[1].left = parts[0].right;
  parts[2] = parts[1];
  CalcEditTextRect(params->BarItemControl, parts[2]);
}

void TdxBarPainter::CalcEditCaptionRect(TdxBarItemControlDrawParams* params, bool captionOnly, RECT& r) const {
  const RECT bounds = params->BarItemControl ? params->BarItemControl->GetItemRect() : r;
  if (captionOnly) {
    r = bounds;
    r.left += GetEditCaptionGap(params);
    r.right -= GetEditCaptionRightGap();
    return;
  }
  if (params->PaintType == dxBarPaintMenu) {
    const TdxBarBorders m = GetMenuEditCaptionMargins();
    r.left += m.Left, r.top += m.Top, r.right -= m.Right, r.bottom -= m.Bottom;
  }
}

int TdxBarPainter::GetEditCaptionGap(TdxBarItemControlDrawParams* params) const {
  if ((params->ViewStructure & dxBarViewIcon) == 0) return GetBarEditCaptionGap();
  if (params->PaintType == dxBarPaintMenu) return GetMenuEditCaptionGap();
  return 0;
}

HBRUSH TdxBarPainter::GetEditBrush(TdxBarItemControl* control) const {
  return control && control->Parent() ? control->Parent()->GetBackgroundBrush() : SysBrush(COLOR_BTNFACE);
}

void TdxBarPainter::SetEditWindowRect(TdxBarItemControl* control, HWND window) const {
  if (!control || !window) return;
  RECT r = control->GetItemRect();
  OffsetRect(&r, -r.left, -r.top);
  CalcEditTextRect(control, r);
  SendMessageA(window, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&r));
}

void TdxBarPainter::SelectEditText(TdxBarItemControl*, HWND window, bool notify) const {
  if (!window) return;
  if (notify)
    SendMessageA(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), EN_CHANGE), reinterpret_cast<LPARAM>(window));
  SendMessageA(window, EM_SETSEL, 0, -1);
}

bool TdxBarPainter::HasDropDownPart(TdxBarItemControlDrawParams* params) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (!control || control->PartCount() < 2) return false;
  const RECT part = control->Part(1);
  return part.right > part.left && part.bottom > part.top;
}

void TdxBarPainter::CalcEditButtonIndent(TdxBarItemControlDrawParams* params, RECT& r) const {
  if (HasEditButtonSpacing() && HasDropDownPart(params))
    r.right = GetEditFrameMargins(params->PaintType).Right + params->BarItemControl->Part(1).left;
}

void TdxBarPainter::DrawEditFrameEdges(TdxBarItemControlDrawParams* params, RECT& r) const {
  HDC dc = DCOf(params);
  TdxBarItemControl* control = params->BarItemControl;
  const bool nonRecent = control && control->NonRecent();
  HBRUSH parentBrush = control && control->Parent() ? control->Parent()->GetBackgroundBrush() : SysBrush(COLOR_BTNFACE);
  if (params->DrawSelected) {
    RECT edge = r;
    DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
  } else if (control) {
    FrameItemBackground(control, dc, r, parentBrush, !nonRecent);
  }
  InflateRect(&r, -1, -1);
  const bool active = control && control->Pressed();
  HBRUSH inner = (params->Enabled || active) ? parentBrush : SysBrush(COLOR_BTNHIGHLIGHT);
  const bool asBackground = nonRecent || ((params->DrawSelected || !params->Enabled) && !active);
  if (control) FrameItemBackground(control, dc, r, inner, !asBackground);
  InflateRect(&r, -1, -1);
}

void TdxBarPainter::DrawEditFrame(TdxBarItemControlDrawParams* params, bool selected) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (!control || control->PartCount() < 1) return;
  const bool shown = (params->ViewStructure & dxBarViewText) != 0 || EditHighlightsInMenu(params) || selected;
  if (!shown) return;
  HDC dc = DCOf(params);
  RECT frame = control->Part(control->PartCount() > 1 ? 1 : 0);
  const TdxBarBorders m = GetEditFrameMargins(params->PaintType);
  frame.left -= m.Left, frame.top -= m.Top, frame.right += m.Right, frame.bottom += m.Bottom;
  RECT edges = frame;
  DrawEditFrameEdges(params, edges);
  ExcludeClipRect(dc, frame.left, frame.top, frame.right, frame.bottom);
}

void TdxBarPainter::DrawEditSelection(TdxBarItemControlDrawParams* params, const RECT& r) const {
  FrameSelection(DCOf(params), r);
}

void TdxBarPainter::DrawEditCaption(TdxBarItemControlDrawParams* params, const RECT& r) const {
  HDC dc = DCOf(params);
  const bool selected = params->PaintType == dxBarPaintMenu && params->DrawSelected;
  DrawItemCaption(params->BarItemControl, dc, params->Caption, r, 1, params->Enabled, selected, false, true, false,
                  DT_SINGLELINE | DT_VCENTER);
  ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
}

void TdxBarPainter::DrawEditGlyph(TdxBarItemControlDrawParams* params, const RECT& r) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (!control) return;
  RECT area = r;
  if (params->PaintType != dxBarPaintMenu) area.left += GetEditCaptionGap(params), area.right -= GetEditCaptionGap(params);
  HDC dc = DCOf(params);
  DrawControlGlyph(params, dc, area, EditGlyphSelected(control));
  ExcludeClipRect(dc, area.left, area.top, area.right, area.bottom);
}

void TdxBarPainter::DrawEditControl(TdxBarItemControlDrawParams* params, const RECT& r) const {
  HDC dc = DCOf(params);
  const int saved = SaveDC(dc);
  DrawEditFrame(params, EditShowsSelected(params));
  if (params->PaintType == dxBarPaintMenu && params->DrawSelected) DrawEditSelection(params, r);
  TdxBarItemControl* control = params->BarItemControl;
  if (control && control->PartCount() > 0) {
    RECT caption = control->Part(0);
    if (params->ViewStructure & dxBarViewIcon) {
      RECT glyph = caption;
      glyph.right = glyph.left + (params->PaintType == dxBarPaintMenu && control->Parent()
                                      ? control->Parent()->IconAreaSizeValue()
                                      : control->GetImageSize(params->ViewSize()).cx + 2 * GetEditCaptionGap(params));
      DrawEditGlyph(params, glyph);
      caption.left = glyph.right;
    }
    if (params->ViewStructure & dxBarViewText) DrawEditCaption(params, caption);
  }
  RestoreDC(dc, saved);
}

void TdxBarPainter::DrawEditValue(TdxBarItemControl* control, TcxCanvas* canvas, const RECT& r) const {
  TColor text = clWindowText, back = clWindow;
  GetEditControlColors(control, text, back);
  canvas->GetFont()->SetColor(text);
  canvas->SetBrushColor(back);
  HDC dc = canvas->GetDeviceContext();
  const int saved = SaveDC(dc);
  IntersectClipRect(dc, r.left, r.top, r.right, r.bottom);
  if (control) control->DrawInterior(r, dxBarPaintBar);
  RestoreDC(dc, saved);
}

void TdxBarPainter::DrawEllipsisButton(TdxBarItemControlDrawParams* params, HDC dc, const RECT& r) const {
  DrawItemEdge(params->BarItemControl, dc, r, 0, params->DrawSelected, params->IsPressed ? 1 : 0);
  DrawEllipsisGlyph(params, dc, r);
}

void TdxBarPainter::DrawControlGlyph(TdxBarItemControlDrawParams* params, HDC dc, const RECT& area,
                                     bool selected) const {
  TdxBarItemControl* control = params->BarItemControl;
  int index = -1;
  TCustomImageList* images = nullptr;
  TBitmap* bitmap = nullptr;
  control->GetImageParams(params->ViewSize(), index, images, bitmap);
  TdxBarGlyphStates states;
  states.Enabled = params->Enabled;
  states.Selected = selected;
  DrawGlyph(control, dc, true, states, images, index, bitmap, false, area, control->GetImageSize(params->ViewSize()));
}

// --- Calendar drop-downs --------------------------------------------------------------------------------------------

void TdxBarPainter::DrawCalendarBorder(TdxBarItemControlDrawParams* params, const RECT& r) const {
  RECT outer = r;
  DrawEditFrameEdges(params, outer);
  RECT inner{r.left, r.top + 1, r.right, r.bottom - 1};
  DrawEditFrameEdges(params, inner);
}

void TdxBarPainter::CalcDropDownContentRect(HWND, RECT& r, int& corner, TdxBarItem*, bool sizable) const {
  InflateRect(&r, -1, -1);
  corner = 0;
  if (!sizable) return;
  // FIXME: the sizable drop-down's corner joins with the drop-down helpers; the top until then.
  r.top += GetDropDownPanelHeight();
}

void TdxBarPainter::DrawDropDownPanel(HDC dc, bool sizeGrip, bool closeButton, const RECT& panel, const RECT& grip,
                                      const RECT& close) const {
  FillRect(dc, &panel, SysBrush(COLOR_BTNFACE));
  if (sizeGrip) {
    RECT g = grip;
    DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  }
  if (closeButton) {
    RECT c = close;
    DrawFrameControl(dc, &c, DFC_CAPTION, DFCS_CAPTIONCLOSE | DFCS_FLAT);
  }
}

int TdxBarPainter::GetDropDownPanelHeight() const { return GetSystemMetrics(SM_CYHSCROLL) + 2; }

void TdxBarPainter::DrawCalendarButton(TdxBarItem*, HDC dc, const RECT& r, const AnsiString& text,
                                       bool pressed) const {
  if (pressed) {
    RECT b = r;
    DrawFrameControl(dc, &b, DFC_BUTTON, DFCS_BUTTONPUSH | DFCS_PUSHED);
  } else {
    Line(dc, r.left, r.bottom - 1, r.right, r.bottom - 1, Sys(COLOR_BTNTEXT));
    Line(dc, r.right - 1, r.top, r.right - 1, r.bottom, Sys(COLOR_BTNTEXT));
    Line(dc, r.left, r.top, r.right - 1, r.top, Sys(COLOR_BTNFACE));
    Line(dc, r.left, r.top, r.left, r.bottom - 1, Sys(COLOR_BTNFACE));
    Line(dc, r.left + 1, r.bottom - 2, r.right - 1, r.bottom - 2, Sys(COLOR_BTNSHADOW));
    Line(dc, r.right - 2, r.top + 1, r.right - 2, r.bottom - 1, Sys(COLOR_BTNSHADOW));
    Line(dc, r.left + 1, r.top + 1, r.right - 2, r.top + 1, Sys(COLOR_BTNHIGHLIGHT));
    Line(dc, r.left + 1, r.top + 1, r.left + 1, r.bottom - 2, Sys(COLOR_BTNHIGHLIGHT));
    SetPixel(dc, r.right - 2, r.top + 1, Sys(COLOR_BTNFACE));
  }
  RECT t = r;
  InflateRect(&t, -2, -2);
  DrawCenteredText(dc, t, pressed ? 1 : 0, text, true);
}

// --- Spin edits --------------------------------------------------------------------------------------------------------

void TdxBarPainter::GetSpinArrowSize(int height, int& width, int& halfHeight) const {
  halfHeight = (height / 2 - 2) / 2;
  width = 2 * halfHeight - 1;
}

int TdxBarPainter::GetSpinButtonWidth(int paintType, const RECT& r) const {
  int w = 0, a = 0;
  GetSpinArrowSize(r.bottom - r.top, w, a);
  const TdxBarBorders m = GetSpinButtonMargins(paintType);
  return w + 2 * a + 4 - m.Left - m.Right;
}

void TdxBarPainter::CalcSpinButtonRect(TdxBarItemControlDrawParams* params, const RECT& r, int type,
                                       RECT& part) const {
  const TdxBarBorders m = GetSpinButtonMargins(params->PaintType);
  const int width = GetSpinButtonWidth(params->PaintType, r) + m.Left + m.Right;
  part = RECT{r.right - width, r.top, r.right, r.bottom};
  const RECT bounds = params->BarItemControl ? params->BarItemControl->GetItemRect() : r;
  if (width * 2 >= bounds.right - bounds.left) {
    part.left = part.right;
    return;
  }
  part.left += m.Left, part.top += m.Top, part.right -= m.Right, part.bottom -= m.Bottom;
  const int middle = (part.top + part.bottom) / 2;
  if (type == 1)
    part.bottom = middle;
  else if (type == 2)
    part.top = middle;
}

void TdxBarPainter::CalcSpinEditParts(TdxBarItemControlDrawParams* params, RECT* parts, int count, int,
                                      const RECT& r) const {
  if (count < 3) return;
  CalcSpinButtonRect(params, r, 1, parts[1]);
  CalcSpinButtonRect(params, r, 2, parts[2]);
  parts[0] = r;
  parts[0].right = parts[1].left - GetEditMargins(params->PaintType).Right -
                   GetSpinButtonMargins(params->PaintType).Left;
}

void TdxBarPainter::CalcSpinEditTextRect(TdxBarItemControlDrawParams* params, RECT& r) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (control && control->PartCount() > 1)
    r.right = control->Part(1).left - GetSpinButtonMargins(params->PaintType).Left;
}

int TdxBarPainter::GetSpinButtonState(TdxBarItemControlDrawParams* params, int button) const {
  if (!params->Enabled) return dxBarStateDisabled;
  if (params->IsPressed && params->HotPartIndex == button) return dxBarStatePressed;
  if (params->HotPartIndex == button) return dxBarStateHot;
  return dxBarStateNormal;
}

void TdxBarPainter::CalcSpinArrowPoint(TdxBarItemControlDrawParams*, const RECT& button, int kind,
                                       POINT& point) const {
  int w = 0, a = 0;
  GetSpinArrowSize((button.bottom - button.top) * 2, w, a);
  point.x = button.left + (button.right - button.left - w) / 2;
  point.y = (button.top + button.bottom - a) / 2 + (kind == 3 ? a - 1 : 0);
}

void TdxBarPainter::DrawSpinArrow(TdxBarItemControlDrawParams* params, HDC dc, POINT p, int button) const {
  TdxBarItemControl* control = params->BarItemControl;
  const RECT bounds = control ? control->GetItemRect() : RECT{0, 0, 0, 0};
  int w = 0, a = 0;
  GetSpinArrowSize(bounds.bottom - bounds.top, w, a);
  if (w <= 0) return;
  const int dy = button == 3 ? -(a - 1) : a - 1;
  const POINT tip{p.x + (w - 1) / 2, p.y + dy};
  if (!params->Enabled) {
    Triangle(dc, POINT{p.x + 1, p.y + 1}, POINT{p.x + w, p.y + 1}, POINT{tip.x + 1, tip.y + 1},
             Sys(COLOR_BTNHIGHLIGHT));
    Triangle(dc, p, POINT{p.x + w - 1, p.y}, tip, Sys(COLOR_BTNSHADOW));
  } else {
    Triangle(dc, p, POINT{p.x + w - 1, p.y}, tip, Sys(COLOR_BTNTEXT));
  }
}

void TdxBarPainter::DrawSpinButton(TdxBarItemControlDrawParams* params, const RECT& r, int button) const {
  const int state = GetSpinButtonState(params, button);
  DrawItemEdge(params->BarItemControl, DCOf(params), r, 0, state == dxBarStateHot || state == dxBarStatePressed,
               state == dxBarStatePressed ? 1 : 0);
  POINT p{0, 0};
  CalcSpinArrowPoint(params, r, button, p);
  DrawSpinArrow(params, DCOf(params), p, button);
}

void TdxBarPainter::FillSpinEditBackground(TdxBarItemControlDrawParams* params, const RECT& r) const {
  if (params->BarItemControl) FillItemBackground(params->BarItemControl, DCOf(params), r, nullptr, false);
}

// --- Progress bars ------------------------------------------------------------------------------------------------------

void TdxBarPainter::DrawProgressBarFrame(TdxBarItemControlDrawParams* params, const RECT& r) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (control)
    FillItemBackground(control, DCOf(params), r, control->BackgroundBrush(), control->BackgroundBrush() != nullptr);
}

void TdxBarPainter::FillProgressBlock(TdxBarItemControlDrawParams* params, const RECT& r, HBRUSH brush) const {
  FillRect(DCOf(params), &r, brush);
}

void TdxBarPainter::DrawProgressBar(TdxBarItemControlDrawParams* params, const RECT& r, int position, int minimum,
                                    int maximum, bool smooth, TColor color) const {
  DrawProgressBarFrame(params, r);
  // An empty range has nothing to fill (and no division by it).
  if (maximum <= minimum) return;
  const bool vertical = params->PaintType == dxBarPaintVertical;
  const int length = vertical ? r.bottom - r.top : r.right - r.left;
  const int thickness = vertical ? r.right - r.left : r.bottom - r.top;
  const int clamped = std::clamp(position, minimum, maximum);
  const int filled = MulDiv(length, clamped - minimum, maximum - minimum);
  if (filled <= 0) return;
  HBRUSH brush = CreateSolidBrush(Rgb(color));
  auto block = [&](int from, int to) {
    return vertical ? RECT{r.left, r.bottom - to, r.right, r.bottom - from} : RECT{r.left + from, r.top, r.left + to, r.bottom};
  };
  if (smooth) {
    FillProgressBlock(params, block(0, filled), brush);
  } else {
    const int size = std::max(1, MulDiv(thickness, 2, 3));
    for (int from = 0; from < filled; from += size + 2) DrawProgressBlock(params, block(from, std::min(filled, from + size)), brush);
  }
  DeleteObject(brush);
}

// --- Labels, separators and in-place sub-items ---------------------------------------------------------------------------

int TdxBarPainter::GetStaticTextSize(TdxBarItemControlDrawParams* params) const {
  TCustomdxBarControl* parent = params->BarItemControl ? params->BarItemControl->Parent() : nullptr;
  return parent ? parent->TextSize() : 0;
}

bool TdxBarPainter::InPlaceShowsSelected(TdxBarItemControlDrawParams* params) const { return params->DrawSelected; }

void TdxBarPainter::DrawInPlaceExpandArrow(TdxBarItemControlDrawParams* params, int orientation, const RECT& r) const {
  const int size = GetStaticTextSize(params);
  const RECT square{r.right - size, r.top + (r.bottom - r.top - size) / 2, r.right, r.top + (r.bottom - r.top - size) / 2 + size};
  TColor emboss = clBtnText, text = clBtnText;
  GetCaptionColors(params->BarItemControl, true, params->DrawSelected, false, emboss, text);
  DrawSizedArrow(DCOf(params), square, text, false, dxBarStateNormal, params->DrawSelected, true,
                 std::max(1, size / 4), orientation);
}

void TdxBarPainter::DrawInPlaceItemBackground(TdxBarItemControlDrawParams* params, const RECT& r) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (!control) return;
  HDC dc = DCOf(params);
  TCustomdxBarControl* parent = control->Parent();
  const RECT last{r.left, r.bottom - 1, r.right, r.bottom};
  FillRect(dc, &last, parent ? parent->GetBackgroundBrush() : SysBrush(COLOR_BTNFACE));
  const RECT rest{r.left, r.top, r.right, r.bottom - 1};
  HBRUSH brush = params->DrawSelected && parent ? parent->SelectedBrush() : GetStaticBorderBrush();
  FillItemBackground(control, dc, rest, brush, true);
  if (params->DrawSelected) FrameSelection(dc, rest);
}

void TdxBarPainter::DrawInPlaceSubItem(TdxBarItemControlDrawParams* params, const RECT& r, bool expanded) const {
  DrawInPlaceItemBackground(params, r);
  RECT caption = r;
  caption.left += GetInPlaceCaptionIndent();
  DrawItemCaption(params->BarItemControl, DCOf(params), params->Caption, caption, 1,
                  InPlaceCaptionEnabled(params) && params->Enabled, InPlaceShowsSelected(params), false, true, false,
                  DT_SINGLELINE | DT_VCENTER);
  if (params->Enabled) DrawInPlaceExpandArrow(params, expanded ? 1 : 3, r);
}

void TdxBarPainter::DrawStaticBackground(TdxBarItemControlDrawParams* params, const RECT& r) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (control) FillItemBackground(control, DCOf(params), r, control->BackgroundBrush(), control->BackgroundBrush() != nullptr);
}

TdxBarBorders TdxBarPainter::GetStaticBorderWidths(TdxBarItemControl*, int style) const {
  static constexpr int widths[5]{0, 1, 1, 2, 2};
  const int w = style >= 0 && style < 5 ? widths[style] : 0;
  return {w, w, w, w};
}

void TdxBarPainter::DrawStaticBorder(TdxBarItemControlDrawParams* params, RECT& r, int style) const {
  HDC dc = DCOf(params);
  RECT edge = r;
  switch (style) {
    case 1: DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT); break;
    case 2: DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT); break;
    case 3: DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT); break;
    case 4:
      DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
      InflateRect(&edge, -1, -1);
      DrawEdge(dc, &edge, BDR_SUNKENOUTER, BF_RECT);
      break;
    default: break;
  }
  const TdxBarBorders w = GetStaticBorderWidths(params->BarItemControl, style);
  r.left += w.Left, r.top += w.Top, r.right -= w.Right, r.bottom -= w.Bottom;
}

void TdxBarPainter::DrawStaticFrame(TdxBarItemControlDrawParams* params, RECT& r, const RECT& indents,
                                    int style) const {
  TdxBarItemControl* control = params->BarItemControl;
  HDC dc = DCOf(params);
  const bool vertical = params->PaintType == dxBarPaintVertical;
  if (indents.left != 0 && control) {
    RECT lead = r;
    if (vertical) lead.bottom = lead.top + indents.left, r.top = lead.bottom;
    else lead.right = lead.left + indents.left, r.left = lead.right;
    FillItemBackground(control, dc, lead, nullptr, false);
  }
  if (indents.right != 0 && control) {
    RECT trail = r;
    if (vertical) trail.top = trail.bottom - indents.right, r.bottom = trail.top;
    else trail.left = trail.right - indents.right, r.right = trail.left;
    FillItemBackground(control, dc, trail, nullptr, false);
  }
  DrawStaticBorder(params, r, style);
}

bool TdxBarPainter::StaticIsCustomizing(TdxBarItemControlDrawParams* params) const { return params->IsCustomizing; }

void TdxBarPainter::DrawStaticControl(TdxBarItemControlDrawParams* params, const RECT& r) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (!control) return;
  DrawStaticBackground(params, r);
  HDC dc = DCOf(params);
  TCustomdxBarControl* parent = control->Parent();
  const bool glyph = (params->ViewStructure & dxBarViewIcon) != 0;
  const bool caption = (params->ViewStructure & dxBarViewText) != 0;
  const SIZE size = control->GetImageSize(params->ViewSize());
  if (glyph) {
    RECT area = r;
    if (params->PaintType == dxBarPaintMenu)
      CalcSubMenuIconRect(r, parent ? parent->IconAreaSizeValue() : 0, area);
    else if (caption && params->PaintType == dxBarPaintVertical)
      area.bottom = area.top + size.cy;
    else if (caption)
      area.right = area.left + size.cx;
    DrawControlGlyph(params, dc, area, false);
  }
  if (caption) {
    int indent = 0;
    if (!glyph)
      indent = parent ? parent->TextSize() / 4 : 0;
    else if (params->PaintType == dxBarPaintMenu)
      indent = GetSubMenuTextIndent(params);
    else if (params->PaintType == dxBarPaintVertical)
      indent = size.cy + 2;
    else
      indent = size.cx + 2;
    RECT text = r;
    if (params->PaintType == dxBarPaintVertical)
      text.top += indent;
    else
      text.left += indent;
    DrawItemCaption(control, dc, params->Caption, text, 1, params->Enabled, false,
                    params->PaintType == dxBarPaintVertical, true, false, DT_SINGLELINE | DT_LEFT);
  }
}

void TdxBarPainter::DrawSeparatorControl(TdxBarItemControlDrawParams* params, const RECT& r, bool captioned,
                                         bool topLine) const {
  TdxBarItemControl* control = params->BarItemControl;
  if (!control) return;
  HDC dc = DCOf(params);
  TCustomdxBarControl* parent = control->Parent();
  if (captioned) {
    DrawSeparatorCaption(params, r);
    const int t = GetSeparatorThickness();
    if (topLine) DrawSeparatorLine(dc, RECT{r.left, r.top, r.right, r.top + t});
    DrawSeparatorLine(dc, RECT{r.left, r.bottom - t, r.right, r.bottom});
    return;
  }
  if (params->PaintType == dxBarPaintMenu) {
    DrawSubMenuSeparator(dynamic_cast<TdxBarSubMenuControl*>(parent), control, params->Canvas, r);
    return;
  }
  if (parent)
    DrawBarSeparator(parent, dc, r, parent->GetBackgroundBrush(), params->PaintType != dxBarPaintVertical);
}

// --- Standard style ------------------------------------------------------------------------------------------

void TdxBarStandardPainter::DrawGlyphFrame(TdxBarItemControl* control, HDC dc, const TdxBarGlyphStates& states,
                                           const RECT& r) const {
  const bool menu = control->GetPaintType() == dxBarPaintMenu;
  RECT frame = r;
  if (states.Down || states.Pressed || (states.Selected && !menu)) {
    DrawEdge(dc, &frame, states.Down || states.Pressed ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    return;
  }
  const bool useBrush = control->NonRecent() || control->BackgroundBrush() != nullptr;
  FrameItemBackground(control, dc, frame, GetGlyphBrush(control, states), useBrush);
}

void TdxBarStandardPainter::DrawCheckSign(TdxBarItemControl* control, HDC dc, int y, int x, int s) const {
  const bool enabled = control ? control->IsEnabled() : true;
  auto stroke = [&](int k, COLORREF color) {
    Polyline3(dc, POINT{x + s, y + 2 * s + k}, POINT{x + 3 * s, y + 4 * s + k}, POINT{x + 8 * s, y - s + k}, color);
  };
  const bool blackFace = Sys(COLOR_BTNFACE) == RGB(0, 0, 0);
  if (enabled) {
    const COLORREF dark = blackFace ? RGB(255, 255, 255) : RGB(0, 0, 0);
    const COLORREF light = blackFace ? RGB(0, 0, 0) : RGB(255, 255, 255);
    stroke(0, RGB(192, 192, 192));
    stroke(1, dark);
    stroke(2, light);
    Line(dc, x + s - 1, y + 2 * s + 1, x + s - 1, y + 6 * s - 1, light);
    Line(dc, x + 8 * s, y - s + 2, x + 8 * s, y + 3 * s, light);
  } else {
    stroke(1, Sys(COLOR_BTNSHADOW));
    for (int c = 0; c < s; ++c) {
      Line(dc, x + 3 * s + 1, y + 7 * s - c - 1, x + 9 * s, y + s - c, Sys(COLOR_BTNHIGHLIGHT));
      Line(dc, x + 4 * s, y + 7 * s - c, x + 9 * s, y + 2 * s - c, Sys(COLOR_BTNHIGHLIGHT));
    }
  }
}

void TdxBarStandardPainter::DrawMarkChevron(TCustomdxBarControl* control, HDC dc, int state, int position) const {
  const bool vertical = control->DockingStyle() == 1 || control->DockingStyle() == 3;
  const COLORREF first = Sys(vertical ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
  const COLORREF second = Sys(vertical ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW);
  (void)state;
  if (!vertical) {
    const int x = position, y0 = 4;
    Polyline3(dc, POINT{x, y0}, POINT{x + 2, y0 + 2}, POINT{x - 1, y0 + 5}, first);
    Polyline3(dc, POINT{x + 1, y0 + 1}, POINT{x + 3, y0 + 3}, POINT{x, y0 + 6}, second);
  } else {
    const int w = control->ClientWidth(), y = position;
    Polyline3(dc, POINT{w - 8, y}, POINT{w - 6, y + 2}, POINT{w - 3, y - 1}, first);
    Polyline3(dc, POINT{w - 7, y + 1}, POINT{w - 5, y + 3}, POINT{w - 2, y}, second);
  }
}

void TdxBarStandardPainter::DrawMarkBackground(TCustomdxBarControl* control, HDC dc, const RECT& r,
                                               HBRUSH brush) const {
  DrawBarControlBackground(control, dc, r, r, brush, clNone);
}

void TdxBarStandardPainter::DrawDisabledShadow(TdxBarItemControl* control, HDC dc, const RECT& r) const {
  RECT moved = r;
  OffsetRect(&moved, 1, 1);
  FillRect(dc, &moved, SysBrush(COLOR_BTNHIGHLIGHT));
  TdxBarPainter::DrawDisabledShadow(control, dc, r);
}

void TdxBarStandardPainter::DrawButtonFace(TdxBarItemControlDrawParams* params, const RECT& r) const {
  if (params->PaintType != dxBarPaintMenu) return;
  TdxBarItemControl* control = params->BarItemControl;
  TCustomdxBarControl* parent = control->Parent();
  HDC dc = DCOf(params);
  auto* button = ButtonParams(params);
  const bool down = button && button->Down;
  RECT icon;
  CalcSubMenuIconRect(r, parent->IconAreaSizeValue(), icon);
  const bool selected = params->DrawSelected;
  HBRUSH iconBrush = selected && !(params->ViewStructure & dxBarViewIcon) && !down ? parent->SelectedBrush()
                                                                                   : GetItemBrush(params);
  FillItemBackground(control, dc, RECT{icon.right, r.top, icon.right + 1, r.bottom}, iconBrush, selected);
  RECT text{icon.right + 1, r.top, r.right, r.bottom};
  FillItemBackground(control, dc, text, selected ? parent->SelectedBrush() : GetItemBrush(params), selected);
}

void TdxBarStandardPainter::DrawItemEdge(TdxBarItemControl* control, HDC dc, const RECT& r, int, bool withEdge,
                                         int kind) const {
  RECT frame = r;
  TCustomdxBarControl* parent = control->Parent();
  HBRUSH brush = parent ? parent->GetBackgroundBrush() : SysBrush(COLOR_BTNFACE);
  if (withEdge)
    DrawEdge(dc, &frame, kind == 1 ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  else
    FrameRect(dc, &frame, brush);
}

HBRUSH TdxBarStandardPainter::GetGlyphBrush(TdxBarItemControl* control, const TdxBarGlyphStates& states) const {
  TCustomdxBarControl* parent = control->Parent();
  if (!parent) return control->BackgroundBrush();
  if (states.Down && states.Enabled) return states.Selected ? parent->DownedSelectedBrush() : parent->DownedBrush();
  if (states.Selected && control->GetPaintType() == dxBarPaintMenu) return parent->SelectedBrush();
  return control->BackgroundBrush();
}

int TdxBarStandardPainter::GetDragHandleSize(TCustomdxBarControl* control) const {
  return 2 * GetDragHandleGripWidth(control) + GetDragHandleOffset() + 1;
}

void TdxBarStandardPainter::DrawCloseButton(TCustomdxBarControl* control, HDC dc, const RECT& r) const {
  HBRUSH brush = CreateSolidBrush(Rgb(GetFloatingCaptionColor(control, true)));
  FrameRect(dc, &r, brush);
  DeleteObject(brush);
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  DrawFrameControl(dc, &inner, DFC_CAPTION, DFCS_CAPTIONCLOSE);
}

void TdxBarStandardPainter::DrawFinger(HDC dc, const RECT& r, bool horizontal, bool cornerPixel) const {
  RECT stripe = r;
  DrawEdge(dc, &stripe, BDR_RAISEDINNER, BF_RECT);
  if (cornerPixel) {
    if (horizontal)
      SetPixel(dc, r.left, r.bottom - 1, Sys(COLOR_BTNHIGHLIGHT));
    else
      SetPixel(dc, r.right - 1, r.top, Sys(COLOR_BTNHIGHLIGHT));
  }
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  FillRect(dc, &inner, SysBrush(COLOR_BTNFACE));
  ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
}

RECT TdxBarStandardPainter::DrawDockedEdge(TCustomdxBarControl* control, HDC dc, const RECT& r,
                                           bool& horizontal) const {
  RECT frame = r;
  DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT);
  horizontal = Horizontal(control->DockingStyle());
  RECT inner = r;
  InflateRect(&inner, -2, -2);
  return inner;
}

void TdxBarStandardPainter::DrawDockedBarFrame(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH) const {
  bool horizontal = true;
  const RECT inner = DrawDockedEdge(control, dc, r, horizontal);
  if (!control->CanDock()) return;
  const int grip = GetDragHandleGripWidth(control), offset = GetDragHandleOffset();
  RECT first = horizontal ? RECT{inner.left + offset, inner.top, inner.left + offset + grip, inner.bottom}
                          : RECT{inner.left, inner.top + offset, inner.right, inner.top + offset + grip};
  RECT second = first;
  if (horizontal) OffsetRect(&second, grip, 0); else OffsetRect(&second, 0, grip);
  DrawFinger(dc, first, horizontal, true);
  DrawFinger(dc, second, horizontal, true);
}

void TdxBarStandardPainter::DrawFloatingBarFrame(TCustomdxBarControl*, HDC dc, RECT& inner, const RECT& window,
                                                 HBRUSH) const {
  RECT r = window;
  DrawEdge(dc, &r, EDGE_RAISED, BF_RECT);
  InflateRect(&r, -2, -2);
  for (int i = 0; i < 2; ++i) {
    FrameRect(dc, &r, SysBrush(COLOR_BTNFACE));
    InflateRect(&r, -1, -1);
  }
  inner = r;
}

void TdxBarStandardPainter::DrawMDIButton(TCustomdxBarControl*, int button, int state, HDC dc, const RECT& r) const {
  static const UINT kinds[3]{DFCS_CAPTIONMIN, DFCS_CAPTIONRESTORE, DFCS_CAPTIONCLOSE};
  UINT flags = kinds[std::clamp(button, 0, 2)];
  if (state == 1) flags |= DFCS_INACTIVE;
  if (state == 4) flags |= DFCS_PUSHED;
  RECT box = r;
  DrawFrameControl(dc, &box, DFC_CAPTION, flags);
}

void TdxBarStandardPainter::CalcMarkRect(TCustomdxBarControl* control, RECT& r) const {
  if (control->DockingStyle() == 0) {
    r.right = std::min(r.right, r.left + 13);
    return;
  }
  TdxBarPainter::CalcMarkRect(control, r);
}

void TdxBarStandardPainter::DrawArrowPartBackground(TdxBarItemControlDrawParams* params, const RECT& r,
                                                    HBRUSH brush) const {
  TdxBarPainter::DrawArrowPartBackground(params, r, brush);
  HDC dc = DCOf(params);
  RECT part = r;
  if (params->DrawSelected) {
    DrawEdge(dc, &part, params->DroppedDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  } else if (params->PaintType == dxBarPaintMenu) {
    RECT line{r.left, r.top, r.left + 2, r.bottom};
    DrawEdge(dc, &line, EDGE_ETCHED, BF_LEFT | BF_RIGHT);
  }
}

void TdxBarStandardPainter::DrawComboButtonFace(TdxBarItemControlDrawParams* params, const RECT& r,
                                                HBRUSH brush) const {
  HDC dc = DCOf(params);
  RECT frame = r;
  TCustomdxBarControl* parent = params->BarItemControl ? params->BarItemControl->Parent() : nullptr;
  HBRUSH parentBrush = parent ? parent->GetBackgroundBrush() : SysBrush(COLOR_BTNFACE);
  if (params->DrawSelected && params->Enabled)
    DrawEdge(dc, &frame, params->DroppedDown ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
  else
    FrameRect(dc, &frame, params->Enabled ? SysBrush(COLOR_WINDOW) : parentBrush);
  RECT column{r.left - 1, r.top, r.left, r.bottom};
  FillRect(dc, &column, params->Enabled ? SysBrush(COLOR_WINDOW) : parentBrush);
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  FillRect(dc, &inner, brush ? brush : SysBrush(COLOR_BTNFACE));
}

void TdxBarStandardPainter::DrawDropDownListBorder(HDC dc, const RECT& r) const {
  RECT frame = r;
  DrawEdge(dc, &frame, EDGE_RAISED, BF_RECT);
}

// --- Enhanced style ------------------------------------------------------------------------------------------

int TdxBarEnhancedPainter::GetDragHandleSize(TCustomdxBarControl* control) const {
  return GetDragHandleGripWidth(control) + GetDragHandleOffset() + 2;
}

void TdxBarEnhancedPainter::DrawDockedBarFrame(TCustomdxBarControl* control, HDC dc, const RECT& r, HBRUSH) const {
  bool horizontal = true;
  const RECT inner = DrawDockedEdge(control, dc, r, horizontal);
  if (!control->CanDock()) return;
  const int grip = GetDragHandleGripWidth(control), offset = GetDragHandleOffset();
  RECT finger = horizontal ? RECT{inner.left + offset, inner.top + 1, inner.left + offset + grip, inner.bottom - 1}
                           : RECT{inner.left + 1, inner.top + offset, inner.right - 1, inner.top + offset + grip};
  DrawFinger(dc, finger, horizontal, false);
}

void TdxBarEnhancedPainter::DrawMarkChevron(TCustomdxBarControl* control, HDC dc, int state, int position) const {
  TdxBarPainter::DrawMarkChevron(control, dc, state, position);
}

void TdxBarEnhancedPainter::DrawMarkBackground(TCustomdxBarControl* control, HDC dc, const RECT& r,
                                               HBRUSH brush) const {
  RECT frame = r;
  switch (control->MarkState()) {
    case 1: DrawEdge(dc, &frame, BDR_RAISEDINNER, BF_RECT); break;
    case 2: DrawEdge(dc, &frame, BDR_SUNKENOUTER, BF_RECT); break;
    default: FrameRect(dc, &frame, brush ? brush : SysBrush(COLOR_BTNFACE)); break;
  }
  RECT inner = r;
  InflateRect(&inner, -1, -1);
  DrawBarControlBackground(control, dc, inner, r, brush, clNone);
}

void TdxBarStandardPainter::GetSubMenuBorderRect(TdxBarSubMenuControl* menu, TdxBarBorders& widths) const {
  TdxBarPainter::GetSubMenuBorderRect(menu, widths);
  // FIXME: with a detach caption the top width is 0; the caption joins with the submenu window.
}
