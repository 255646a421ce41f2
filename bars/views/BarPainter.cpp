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
  parts[0].right = parts[1].left - GetEditFrameMargins(params->PaintType).Left;
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
