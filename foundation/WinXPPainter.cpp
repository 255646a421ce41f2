#include "foundation/WinXPPainter.h"

#include "foundation/Bitmaps.h"
#include "foundation/FlatPainter.h"
#include "foundation/Geometry.h"
#include "foundation/Graphics.h"
#include "foundation/Office11.h"
#include "foundation/UltraFlatPainter.h"
#include "foundation/UxTheme.h"

namespace {

RECT Deflate(const RECT& r, int d) { return GrowRect(r, -d, -d); }

HTHEME Theme(TdxThemedObjectType kind) { return AcquireThemeHandle(kind); }

bool PartSize(HTHEME theme, int part, int state, THEMESIZE kind, SIZE& size) {
  return SUCCEEDED(UxGetThemePartSizeNoRect(theme, nullptr, part, state, kind, size));
}

// The content rectangle of a part inside a 100 x 100 rectangle: its
// insets tell the part's frame widths.
bool ContentInsets(HTHEME theme, int part, int state, RECT& content) {
  TScreenDC dc;
  return SUCCEEDED(UxGetThemeBackgroundContentRect(theme, dc.Get(), part, state, RECT{0, 0, 100, 100}, content));
}

// A horizontal part drawn for a vertical place: the area is copied into a
// bitmap turned a quarter, the part is drawn there, and the bitmap turned
// back onto the area.
void DrawRotatedPart(TcxCanvas* canvas, HTHEME theme, int part, int state, const RECT& r) {
  const int w = WidthOfRect(r), h = HeightOfRect(r);
  if (w <= 0 || h <= 0) return;
  TcxCustomBitmap bitmap(w, h, pf32bit);
  BitBlt(bitmap.Canvas()->Handle(), 0, 0, w, h, canvas->GetDeviceContext(), r.left, r.top, SRCCOPY);
  bitmap.RotateOrFlip(2, false);
  UxDrawThemeBackground(theme, bitmap.Canvas()->Handle(), part, state, RECT{0, 0, h, w}, nullptr);
  bitmap.RotateOrFlip(1, false);
  BitBlt(canvas->GetDeviceContext(), r.left, r.top, w, h, bitmap.Canvas()->Handle(), 0, 0, SRCCOPY);
}

}  // namespace

const TcxWinXPLookAndFeelPainter TcxWinXPLookAndFeelPainter::Instance{};

const char* TcxWinXPLookAndFeelPainter::PainterName() const { return "TcxWinXPLookAndFeelPainter"; }
TcxLookAndFeelPainterClass TcxWinXPLookAndFeelPainter::ParentPainter() const {
  return &TcxStandardLookAndFeelPainter::Instance;
}

// --- state maps ---

int TcxWinXPLookAndFeelPainter::PushButtonState(TcxButtonState state) {
  static const int map[] = {5, 1, 2, 3, 4};
  return map[state];
}

int TcxWinXPLookAndFeelPainter::ScrollPartState(TcxButtonState state) {
  static const int map[] = {1, 1, 2, 3, 4};
  return map[state];
}

int TcxWinXPLookAndFeelPainter::ScrollArrowState(TcxArrowDirection direction, TcxButtonState state) {
  return static_cast<int>(direction) * 4 + ScrollPartState(state);
}

int TcxWinXPLookAndFeelPainter::HeaderItemState(TcxButtonState state) {
  static const int map[] = {1, 1, 2, 3, 1};
  return map[state];
}

int TcxWinXPLookAndFeelPainter::CheckPartState(TcxButtonState state, bool checked) {
  static const int map[] = {1, 1, 2, 3, 4};
  return map[state] + (checked ? 4 : 0);
}

// --- operations ---

uint8_t TcxWinXPLookAndFeelPainter::StyleCode() const { return cxStyleCodeNative; }

void TcxWinXPLookAndFeelPainter::PaintThemedText(TcxCanvas* canvas, HTHEME theme, int part, int state,
                                                 const RECT& r, const TcxContentText& content,
                                                 bool showPrefix) const {
  if (content.Text.empty()) return;
  if (content.Font) canvas->SetFont(content.Font);
  if (content.TextColor != clDefault) canvas->GetFont()->SetColor(content.TextColor);
  RECT textRect = r;
  if (content.MultiLine && content.AlignVert != vaTop)
    canvas->AlignMultiLineText(textRect, content.Text, false, true, showPrefix, true,
                               content.AlignVert == vaBottom ? 1 : 2);
  DWORD flags = DT_EDITCONTROL;
  if (content.AlignHorz == TAlignment::taRightJustify) flags |= DT_RIGHT;
  else if (content.AlignHorz == TAlignment::taCenter) flags |= DT_CENTER;
  if (content.AlignVert == vaBottom) flags |= DT_BOTTOM;
  else if (content.AlignVert == vaCenter) flags |= DT_VCENTER;
  if (content.ShowEndEllipsis) flags |= DT_END_ELLIPSIS;
  if (!showPrefix) flags |= DT_NOPREFIX;
  flags |= content.MultiLine ? DT_WORDBREAK : DT_SINGLELINE;
  UxDrawThemeTextAnsi(theme, canvas->GetDeviceContext(), part, state, content.Text, flags, 0, textRect);
}

void TcxWinXPLookAndFeelPainter::PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect,
                                                    bool isNext, TcxButtonState state) const {
  const HTHEME theme = Theme(totTab);
  if (!theme) {
    TcxCustomLookAndFeelPainter::PaintNavButtonFace(canvas, r, arrowRect, isNext, state);
    return;
  }
  DrawRotatedPart(canvas, theme, 1, HeaderItemState(state), r);
  PaintNavButtonArrow(canvas, arrowRect, isNext, state);
}

TColor TcxWinXPLookAndFeelPainter::PlannerFrameColor() const {
  COLORREF color;
  const HTHEME theme = Theme(totComboBox);
  if (theme && SUCCEEDED(UxGetThemeColor(theme, 1, 1, 3801, color))) return color;
  return TcxStandardLookAndFeelPainter::PlannerFrameColor();
}

TColor TcxWinXPLookAndFeelPainter::PlannerViewFillColor() const { return RGB(255, 255, 213); }

void TcxWinXPLookAndFeelPainter::PaintArrowGlyph(TcxCanvas* canvas, const RECT& r, TcxArrowDirection direction,
                                                 TColor color) const {
  TcxCustomLookAndFeelPainter::PaintArrowGlyph(canvas, r, direction, color);
}

void TcxWinXPLookAndFeelPainter::PaintArrowWithFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                     TcxArrowDirection direction, bool withFrame) const {
  const HTHEME theme = Theme(totScrollBar);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintArrowWithFrame(canvas, r, state, direction, withFrame);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 1, ScrollArrowState(direction, state), r, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintArrowFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const {
  const HTHEME theme = Theme(totButton);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintArrowFrame(canvas, r, state);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 1, PushButtonState(state), r, nullptr);
}

int TcxWinXPLookAndFeelPainter::FrameThickness() const {
  return Theme(totListView) ? 1 : TcxStandardLookAndFeelPainter::FrameThickness();
}

void TcxWinXPLookAndFeelPainter::PaintFrame(TcxCanvas* canvas, const RECT& r) const {
  const HTHEME theme = Theme(totListView);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintFrame(canvas, r);
    return;
  }
  HDC dc = canvas->GetDeviceContext();
  TSavedDCGuard saved(dc);
  const RECT inner = Deflate(r, 1);
  ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
  UxDrawThemeBackground(theme, dc, 5, 0, r, nullptr);
}

RECT TcxWinXPLookAndFeelPainter::ButtonOuterBounds(const RECT& r) const {
  const HTHEME theme = Theme(totButton);
  if (theme && UxIsThemeBackgroundPartiallyTransparent(theme, 1, 1)) return GrowRect(r, 1, 1);
  return TcxStandardLookAndFeelPainter::ButtonOuterBounds(r);
}

int TcxWinXPLookAndFeelPainter::ButtonFrameWidth(TcxButtonState state) const {
  RECT content;
  const HTHEME theme = Theme(totButton);
  if (theme && ContentInsets(theme, 1, PushButtonState(state), content)) return content.left;
  return TcxStandardLookAndFeelPainter::ButtonFrameWidth(state);
}

TColor TcxWinXPLookAndFeelPainter::ButtonFillColor(TcxButtonState state) const {
  COLORREF color;
  const HTHEME theme = Theme(totButton);
  if (theme && SUCCEEDED(UxGetThemeColor(theme, 1, PushButtonState(state), 204, color))) return color;
  return TcxStandardLookAndFeelPainter::ButtonFillColor(state);
}

bool TcxWinXPLookAndFeelPainter::ButtonFocusRectangle(TcxCanvas* canvas, const RECT& buttonRect,
                                                      RECT& focusRect) const {
  const HTHEME theme = Theme(totButton);
  if (theme &&
      SUCCEEDED(UxGetThemeBackgroundContentRect(theme, canvas->GetDeviceContext(), 1, 1, buttonRect, focusRect)))
    return false;
  return TcxStandardLookAndFeelPainter::ButtonFocusRectangle(canvas, buttonRect, focusRect);
}

RECT TcxWinXPLookAndFeelPainter::ButtonGroupFrameSizes(int count, int index) const {
  RECT content;
  const HTHEME theme = Theme(totButton);
  if (!theme || !ContentInsets(theme, 1, 1, content))
    return TcxStandardLookAndFeelPainter::ButtonGroupFrameSizes(count, index);
  RECT sizes{content.left, content.top, 100 - content.right, 100 - content.bottom};
  if (UxIsThemeBackgroundPartiallyTransparent(theme, 1, 1)) {
    --sizes.left;
    --sizes.top;
    --sizes.right;
    --sizes.bottom;
  }
  return sizes;
}

TColor TcxWinXPLookAndFeelPainter::ButtonSymbolColor(TcxButtonState state, TColor defaultColor) const {
  COLORREF color;
  const HTHEME theme = Theme(totButton);
  if (theme && SUCCEEDED(UxGetThemeColor(theme, 1, PushButtonState(state), 3803, color))) return color;
  return TcxStandardLookAndFeelPainter::ButtonSymbolColor(state, defaultColor);
}

int TcxWinXPLookAndFeelPainter::ButtonTextIndent() const { return 2; }
int TcxWinXPLookAndFeelPainter::PressedTextShift() const { return 0; }

void TcxWinXPLookAndFeelPainter::PaintButton(TcxCanvas* canvas, const RECT& r, const AnsiString& caption,
                                             TcxButtonState state, bool withFrame, TColor fillColor,
                                             TColor textColor, bool wordWrap) const {
  const HTHEME theme = Theme(totButton);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintButton(canvas, r, caption, state, withFrame, fillColor, textColor,
                                               wordWrap);
    return;
  }
  HDC dc = canvas->GetDeviceContext();
  UxDrawThemeBackground(theme, dc, 1, PushButtonState(state), r, nullptr);
  if (!caption.empty())
    UxDrawThemeTextAnsi(theme, dc, 1, PushButtonState(state), caption, DT_CENTER | DT_VCENTER | DT_SINGLELINE, 0,
                        r);
}

void TcxWinXPLookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                   TColor color) const {
  const HTHEME theme = Theme(totTreeView);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintExpandButton(canvas, r, expanded, color);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 2, expanded ? 2 : 1, r, nullptr);
  canvas->ExcludeRectFromClip(r);
}

bool TcxWinXPLookAndFeelPainter::ExpandButtonGoesFirst() const { return false; }

void TcxWinXPLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                        TcxButtonState state) const {
  const HTHEME theme = Theme(totExplorerBar);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintGroupExpandButton(canvas, r, expanded, state);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), expanded ? 6 : 7, HeaderItemState(state), r, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                        TColor frameColor, TColor fillColor) const {
  if (!Theme(totTreeView)) {
    TcxCustomLookAndFeelPainter::PaintSmallExpandButton(canvas, r, expanded, frameColor, fillColor);
    return;
  }
  PaintExpandButton(canvas, r, expanded, clDefault);
}

int TcxWinXPLookAndFeelPainter::ExpandButtonExtent() const {
  SIZE size;
  const HTHEME theme = Theme(totTreeView);
  if (theme && PartSize(theme, 2, 2, TS_TRUE, size)) return size.cx;
  return TcxStandardLookAndFeelPainter::ExpandButtonExtent();
}

int TcxWinXPLookAndFeelPainter::GroupExpandButtonExtent() const {
  SIZE size;
  const HTHEME theme = Theme(totExplorerBar);
  if (theme && PartSize(theme, 7, 1, TS_TRUE, size)) return size.cx;
  return TcxStandardLookAndFeelPainter::GroupExpandButtonExtent();
}

int TcxWinXPLookAndFeelPainter::SmallExpandButtonExtent() const {
  if (Theme(totTreeView)) return ExpandButtonExtent();
  return TcxStandardLookAndFeelPainter::SmallExpandButtonExtent();
}

bool TcxWinXPLookAndFeelPainter::ButtonHotTracks() const { return true; }

bool TcxWinXPLookAndFeelPainter::IsPointOnGroupExpandButton(const RECT& r, POINT p) const {
  const HTHEME theme = Theme(totExplorerBar);
  HRGN region = nullptr;
  if (theme && SUCCEEDED(UxGetThemeBackgroundRegion(theme, nullptr, 7, 1, r, region)) && region) {
    TGdiObject owned(region);
    return PtInRegion(region, p.x, p.y) != FALSE;
  }
  return TcxStandardLookAndFeelPainter::IsPointOnGroupExpandButton(r, p);
}

int TcxWinXPLookAndFeelPainter::CheckFrameWidth() const {
  return Theme(totButton) ? 0 : TcxStandardLookAndFeelPainter::CheckFrameWidth();
}

SIZE TcxWinXPLookAndFeelPainter::CheckBoxGlyphSize() const {
  SIZE size;
  const HTHEME theme = Theme(totButton);
  if (theme && PartSize(theme, 3, 5, TS_TRUE, size)) return size;
  return TcxStandardLookAndFeelPainter::CheckBoxGlyphSize();
}

void TcxWinXPLookAndFeelPainter::PaintCheckMark(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                bool checked, TColor color) const {
  const HTHEME theme = Theme(totButton);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintCheckMark(canvas, r, state, checked, color);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 3, CheckPartState(state, checked), r, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const {
  if (!Theme(totButton)) TcxStandardLookAndFeelPainter::PaintCheckFrame(canvas, r, state);
}

void TcxWinXPLookAndFeelPainter::PaintRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state,
                                                  bool checked, bool focused, TColor brushColor,
                                                  bool designing) const {
  const HTHEME theme = Theme(totButton);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintRadioButton(canvas, x, y, state, checked, focused, brushColor, designing);
    return;
  }
  const SIZE size = RadioButtonExtent();
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 2, CheckPartState(state, checked),
                        RECT{x, y, x + size.cx, y + size.cy}, nullptr);
}

SIZE TcxWinXPLookAndFeelPainter::RadioButtonExtent() const {
  SIZE size;
  const HTHEME theme = Theme(totButton);
  if (theme && PartSize(theme, 2, 1, TS_TRUE, size)) return size;
  return TcxStandardLookAndFeelPainter::RadioButtonExtent();
}

void TcxWinXPLookAndFeelPainter::PaintHeaderCell(TcxCanvas* canvas, const RECT& r, const RECT& textRect,
                                                 TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                                 const TcxContentText& content,
                                                 const TcxCustomDrawBackgroundEvent& onCustomDraw,
                                                 bool isLast) const {
  const HTHEME theme = Theme(totHeader);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintHeaderCell(canvas, r, textRect, neighbors, borders, state, content,
                                                   onCustomDraw, isLast);
    return;
  }
  const int themeState = HeaderItemState(state);
  const TOffice11Scheme scheme = CurrentOffice11Scheme();
  const int part = isLast && themeState == 1 && (scheme == schBlue || scheme == schOlive) ? 3 : 1;
  if (!(onCustomDraw && onCustomDraw(canvas, r)))
    UxDrawThemeBackground(theme, canvas->GetDeviceContext(), part, themeState, r, nullptr);
  RECT text = textRect;
  if (state == cxbsPressed) text = ShiftRect(text, PressedTextShift(), PressedTextShift());
  PaintThemedText(canvas, theme, part, themeState, text, content, false);
}

void TcxWinXPLookAndFeelPainter::PaintHeaderPressed(TcxCanvas*, const RECT&) const {}

void TcxWinXPLookAndFeelPainter::PaintHeaderSection(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                    TcxButtonState state, const TcxContentText& content) const {
  canvas->FillWithColor(r, clBtnFace);
  PaintHeaderCell(canvas, r, r, {}, borders, state, content);
}

void TcxWinXPLookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const {
  TcxUltraFlatLookAndFeelPainter::Instance.PaintSortMark(canvas, r, ascending);
}

POINT TcxWinXPLookAndFeelPainter::SortMarkSize() const {
  return TcxUltraFlatLookAndFeelPainter::Instance.SortMarkSize();
}

int TcxWinXPLookAndFeelPainter::HeaderFrameWidth() const {
  RECT content;
  const HTHEME theme = Theme(totHeader);
  if (theme && ContentInsets(theme, 1, 1, content)) return (content.left + content.top) / 2;
  return TcxStandardLookAndFeelPainter::HeaderFrameWidth();
}

int TcxWinXPLookAndFeelPainter::HeaderSectionFrameWidth(TcxButtonState) const { return HeaderFrameWidth(); }

RECT TcxWinXPLookAndFeelPainter::HeaderSectionContentBounds(const RECT& bounds, TcxButtonState) const {
  return Deflate(bounds, HeaderFrameWidth());
}

bool TcxWinXPLookAndFeelPainter::HeaderHotTracks() const { return true; }

void TcxWinXPLookAndFeelPainter::PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const {
  const HTHEME theme = Theme(totEdit);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintFooterFrame(canvas, r);
    return;
  }
  UxDrawThemeEdge(theme, canvas->GetDeviceContext(), 0, 0, r, BDR_RAISEDINNER, BF_RECT, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintFooterCell(TcxCanvas* canvas, const RECT& r,
                                                 const TcxContentText& content) const {
  const HTHEME theme = Theme(totTrackBar);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintFooterCell(canvas, r, content);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 1, 1, r, nullptr);
  PaintThemedText(canvas, theme, 1, 1, FooterCellTextBounds(r), content, false);
}

int TcxWinXPLookAndFeelPainter::FooterFrameWidth() const { return 1; }

int TcxWinXPLookAndFeelPainter::FooterCellFrameWidth() const {
  RECT content;
  const HTHEME theme = Theme(totTrackBar);
  if (theme && ContentInsets(theme, 1, 1, content)) return content.left;
  return TcxStandardLookAndFeelPainter::FooterCellFrameWidth();
}

int TcxWinXPLookAndFeelPainter::FooterCellSpacing() const { return 1; }
bool TcxWinXPLookAndFeelPainter::FooterCellsGoFirst() const { return false; }

void TcxWinXPLookAndFeelPainter::PaintFilterCloseButton(TcxCanvas* canvas, const RECT& r,
                                                        TcxButtonState state) const {
  const HTHEME theme = Theme(totWindow);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintFilterCloseButton(canvas, r, state);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 19, ScrollPartState(state), r, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintFilterDropButton(TcxCanvas* canvas, const RECT& r,
                                                       TcxButtonState state) const {
  const HTHEME theme = Theme(totComboBox);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintFilterDropButton(canvas, r, state);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 1, ScrollPartState(state), r, nullptr);
}

SIZE TcxWinXPLookAndFeelPainter::FilterActivatorSize() const {
  SIZE size;
  const HTHEME theme = Theme(totButton);
  if (theme && PartSize(theme, 3, 5, TS_TRUE, size)) return size;
  return TcxStandardLookAndFeelPainter::FilterActivatorSize();
}

SIZE TcxWinXPLookAndFeelPainter::FilterCloseButtonSize() const {
  SIZE size;
  const HTHEME theme = Theme(totWindow);
  if (theme && PartSize(theme, 19, 1, TS_TRUE, size)) return SIZE{size.cx + 4, size.cy + 4};
  return TcxStandardLookAndFeelPainter::FilterCloseButtonSize();
}

void TcxWinXPLookAndFeelPainter::PaintTab(TcxCanvas* canvas, const RECT& r, const AnsiString& caption,
                                          TcxButtonState state, bool selected, bool vertical) const {
  const HTHEME theme = Theme(totTab);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintTab(canvas, r, caption, state, selected, vertical);
    return;
  }
  // Tab item states: normal 1, hot 2, selected 3, disabled 4.
  const int themeState = selected ? 3 : state == cxbsDisabled ? 4 : state == cxbsHot ? 2 : 1;
  if (vertical) DrawRotatedPart(canvas, theme, 1, themeState, r);
  else UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 1, themeState, r, nullptr);
  TcxContentText content;
  content.Text = caption;
  content.AlignHorz = TAlignment::taCenter;
  PaintThemedText(canvas, theme, 1, themeState, r, content, true);
}

void TcxWinXPLookAndFeelPainter::PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool selected,
                                               bool vertical) const {
  if (!Theme(totTab)) TcxStandardLookAndFeelPainter::PaintTabFrame(canvas, r, selected, vertical);
}

void TcxWinXPLookAndFeelPainter::PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const {
  const HTHEME theme = Theme(totTab);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintTabArea(canvas, r, borders);
    return;
  }
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 9, 1, r, nullptr);
}

bool TcxWinXPLookAndFeelPainter::IsTabPaintingSupported() const { return true; }
bool TcxWinXPLookAndFeelPainter::TabHotTracks() const { return true; }
int TcxWinXPLookAndFeelPainter::TabFrameWidth() const { return 1; }

void TcxWinXPLookAndFeelPainter::PaintIndicatorCellFramed(TcxCanvas* canvas, const RECT& r, int kind,
                                                          TcxNeighbors neighbors, TcxBorders borders,
                                                          TColor fillColor) const {
  TcxFlatLookAndFeelPainter::Instance.PaintIndicatorCellFramed(canvas, r, kind, neighbors, borders, fillColor);
}

int TcxWinXPLookAndFeelPainter::ScrollThumbMinSize(bool vertical) const {
  const HTHEME theme = Theme(totScrollBar);
  const int part = vertical ? 9 : 8;
  SIZE minimal;
  if (!theme || !PartSize(theme, part, 1, TS_MIN, minimal)) return 8;
  const int minimalExtent = static_cast<int>(vertical ? minimal.cy : minimal.cx);
  SIZE trueSize;
  int result;
  if (!PartSize(theme, part, 1, TS_TRUE, trueSize)) result = minimalExtent;
  else result = std::max<int>(vertical ? trueSize.cy : trueSize.cx, minimalExtent + 4);
  return std::max(result, 8);
}

void TcxWinXPLookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                    TcxScrollBarPart part, TcxButtonState state) const {
  if (RectIsEmpty(r)) return;
  const HTHEME theme = Theme(totScrollBar);
  if (theme) {
    HDC dc = canvas->GetDeviceContext();
    switch (part) {
      case sbpLineUp:
      case sbpLineDown:
        PaintArrowWithFrame(canvas, r, state, ArrowDirectionForPart(horizontal, part), true);
        return;
      case sbpThumbnail:
        UxDrawThemeBackground(theme, dc, horizontal ? 2 : 3, ScrollPartState(state), r, nullptr);
        UxDrawThemeBackground(theme, dc, horizontal ? 8 : 9, 0, r, nullptr);
        return;
      case sbpPageUp:
      case sbpPageDown: {
        const int track = (horizontal ? 4 : 6) + (part == sbpPageDown ? 1 : 0);
        UxDrawThemeBackground(theme, dc, track, ScrollPartState(state), r, nullptr);
        return;
      }
      default:
        break;
    }
  }
  TcxStandardLookAndFeelPainter::PaintScrollBarPart(canvas, horizontal, r, part, state);
}

void TcxWinXPLookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text,
                                                  TcxBorders borders, const TcxViewParams& viewParams,
                                                  TcxHeaderArrows arrows, int arrowAreaWidth,
                                                  const TcxCustomDrawBackgroundEvent& onCustomDraw) const {
  TcxContentText content;
  content.Text = text;
  content.FillColor = viewParams.Color;
  content.AlignHorz = TAlignment::taCenter;
  const RECT textRect{r.left + arrowAreaWidth, r.top, r.right - arrowAreaWidth, r.bottom};
  PaintHeaderCell(canvas, r, textRect, {}, borders, cxbsNormal, content, onCustomDraw, !borders.Contains(bRight));
  PaintMonthArrows(canvas, HeaderContentBounds(r, borders), arrows, arrowAreaWidth, clWindowText);
}

void TcxWinXPLookAndFeelPainter::PaintProgressMark(TcxCanvas* canvas, const RECT& r, int percent) const {
  const HTHEME theme = Theme(totProgress);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintProgressMark(canvas, r, percent);
    return;
  }
  HDC dc = canvas->GetDeviceContext();
  UxDrawThemeBackground(theme, dc, 1, 1, r, nullptr);
  const RECT inner = Deflate(r, ProgressMarkInsets());
  if (RectIsEmpty(inner)) return;
  const int width = MulDiv(WidthOfRect(inner), std::clamp(percent, 0, 100), 100);
  if (width > 0) UxDrawThemeBackground(theme, dc, 3, 1, RECT{inner.left, inner.top, inner.left + width, inner.bottom}, nullptr);
}

int TcxWinXPLookAndFeelPainter::ProgressMarkInsets() const {
  return Theme(totProgress) ? 3 : TcxStandardLookAndFeelPainter::ProgressMarkInsets();
}

void TcxWinXPLookAndFeelPainter::PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r,
                                                             TcxButtonState state) const {
  const HTHEME theme = Theme(totToolBar);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintPlannerNavigatorButton(canvas, r, state);
    return;
  }
  static const int map[] = {2, 2, 5, 3, 4};
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 1, map[state], r, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const {
  const HTHEME theme = Theme(totWindow);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintPlannerSplitterFrame(canvas, r);
    return;
  }
  UxDrawThemeEdge(theme, canvas->GetDeviceContext(), 0, 0, r, EDGE_RAISED, BF_RECT, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintSizeGrip(TcxCanvas* canvas, const RECT& r, TColor backgroundColor) const {
  const HTHEME theme = Theme(totScrollBar);
  if (!theme) {
    TcxStandardLookAndFeelPainter::PaintSizeGrip(canvas, r, backgroundColor);
    return;
  }
  canvas->FillWithColor(r, backgroundColor);
  UxDrawThemeBackground(theme, canvas->GetDeviceContext(), 10, 1, r, nullptr);
}

void TcxWinXPLookAndFeelPainter::PaintPanelBackdrop(TcxCanvas* canvas, TControl* control, const RECT& r,
                                                    TColor colorFrom, TColor) const {
  if (colorFrom == clDefault) PaintParentInto(control, canvas, r, false);
  else canvas->FillWithColor(r, colorFrom);
}
