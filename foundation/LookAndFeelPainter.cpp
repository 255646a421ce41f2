#include "foundation/LookAndFeelPainter.h"

#include "foundation/Geometry.h"
#include "foundation/Graphics.h"
#include "foundation/PainterResources.h"
#include "platform/DateTime.h"

#include <cmath>
#include <numbers>

// --- shared values -----------------------------------------------------------------------------------

TcxLookAndFeelKind StyleCodeToKind(uint8_t code) {
  switch (code) {
    case cxStyleCodeFlat: return lfFlat;
    case cxStyleCodeUltraFlat: return lfUltraFlat;
    case cxStyleCodeOffice11: return lfOffice11;
    default: return lfStandard;
  }
}

TcxArrowDirection ArrowDirectionForPart(bool horizontal, TcxScrollBarPart part) {
  if (horizontal) return part == sbpLineUp ? adLeft : adRight;
  return part == sbpLineUp ? adUp : adDown;
}

unsigned TextPlacementFlags(TAlignment alignHorz, TcxAlignmentVert alignVert, bool multiLine, bool showEndEllipsis) {
  unsigned flags = 0;
  switch (alignHorz) {
    case TAlignment::taLeftJustify: flags |= cxAlignLeft; break;
    case TAlignment::taRightJustify: flags |= cxAlignRight; break;
    case TAlignment::taCenter: flags |= cxAlignHCenter; break;
  }
  switch (alignVert) {
    case vaTop: flags |= cxAlignTop; break;
    case vaBottom: flags |= cxAlignBottom; break;
    case vaCenter: flags |= cxAlignVCenter; break;
  }
  flags |= multiLine ? cxWordBreak : cxSingleLine;
  if (showEndEllipsis) flags |= cxShowEndEllipsis;
  return flags;
}

namespace {

unsigned ContentFlags(const TcxContentText& content) {
  return TextPlacementFlags(content.AlignHorz, content.AlignVert, content.MultiLine, content.ShowEndEllipsis);
}

// Text of a content area in its font and colour over whatever is painted.
void DrawContentText(TcxCanvas* canvas, const RECT& textRect, const TcxContentText& content, bool enabled) {
  if (content.Text.empty()) return;
  canvas->GetBrush()->SetStyle(bsClear);
  if (content.Font) canvas->SetFont(content.Font);
  if (content.TextColor != clDefault) canvas->GetFont()->SetColor(content.TextColor);
  canvas->DrawTextInState(content.Text, textRect, ContentFlags(content), enabled);
  canvas->GetBrush()->SetStyle(bsSolid);
}

RECT Deflate(const RECT& r, int d) { return GrowRect(r, -d, -d); }

}  // namespace

// --- the base painter ----------------------------------------------------------------------------------

const TcxCustomLookAndFeelPainter TcxCustomLookAndFeelPainter::Instance{};

const char* TcxCustomLookAndFeelPainter::PainterName() const { return "TcxCustomLookAndFeelPainter"; }

TcxLookAndFeelPainterClass TcxCustomLookAndFeelPainter::ParentPainter() const { return nullptr; }

bool TcxCustomLookAndFeelPainter::InheritsFrom(TcxLookAndFeelPainterClass painter) const {
  for (TcxLookAndFeelPainterClass p = this; p; p = p->ParentPainter())
    if (p == painter) return true;
  return false;
}

void TcxCustomLookAndFeelPainter::ComputeArrowTriangle(const RECT& bounds, int arrowSize, bool proportional,
                                                       TcxArrowDirection direction, POINT (&points)[3]) {
  RECT r = bounds;
  if (proportional) {
    const int d = WidthOfRect(r) - HeightOfRect(r);
    if (d > 0) {
      r.left += d / 2;
      r.right -= d / 2;
    } else if (d < 0) {
      r.top += -d / 2;
      r.bottom -= -d / 2;
    }
  }
  const bool vertical = direction == adUp || direction == adDown;
  int s = arrowSize;
  if (s == 0) s = (vertical ? WidthOfRect(r) - 1 : HeightOfRect(r) - 1) / 4 + 1;
  const int extentX = vertical ? 2 * s - 1 : s;
  const int extentY = vertical ? s : 2 * s - 1;
  const int x0 = (r.left + r.right - extentX) / 2;
  const int y0 = MulDiv(r.top + r.bottom - extentY, 1, 2);
  switch (direction) {
    case adUp:
      points[0] = {x0, y0 + s - 1};
      points[1] = {(r.left + r.right - 1) / 2, y0};
      points[2] = {x0 + 2 * s - 2, y0 + s - 1};
      break;
    case adDown:
      points[0] = {x0 + 2 * s - 2, y0};
      points[1] = {(r.left + r.right - 1) / 2, y0 + s - 1};
      points[2] = {x0, y0};
      break;
    case adLeft:
      points[0] = {x0 + s - 1, y0 + 2 * s - 2};
      points[1] = {x0, (r.top + r.bottom) / 2};
      points[2] = {x0 + s - 1, y0};
      break;
    case adRight:
      points[0] = {x0, y0};
      points[1] = {x0 + s - 1, (r.top + r.bottom) / 2};
      points[2] = {x0, y0 + 2 * s - 2};
      break;
  }
}

void TcxCustomLookAndFeelPainter::FillTriangle(TcxCanvas* canvas, const POINT (&points)[3], TColor color) {
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->SetBrushColor(color);
  canvas->GetPen()->SetStyle(psSolid);
  canvas->GetPen()->SetColor(color);
  canvas->DrawPolygon(points, 2);
}

void TcxCustomLookAndFeelPainter::PaintExpandSign(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color) {
  const POINT c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  const int h = (WidthOfRect(r) - 4) / 2;
  canvas->FillWithColor(RECT{c.x - h, c.y, c.x + h + 1, c.y + 1}, color);
  if (!expanded) canvas->FillWithColor(RECT{c.x, c.y - h, c.x + 1, c.y + h + 1}, color);
}

void TcxCustomLookAndFeelPainter::FrameWithColor(TcxCanvas* canvas, const RECT& r, TColor color) {
  canvas->DrawSideFrame(r, color, 1, cxBordersAll);
}

void TcxCustomLookAndFeelPainter::PaintMonthArrows(TcxCanvas* canvas, const RECT& r, TcxHeaderArrows arrows,
                                                   int arrowAreaWidth, TColor color) const {
  POINT points[3];
  if (arrows.Contains(adLeft)) {
    ComputeArrowTriangle(RECT{r.left, r.top, r.left + arrowAreaWidth, r.bottom}, 0, true, adLeft, points);
    FillTriangle(canvas, points, color);
  }
  if (arrows.Contains(adRight)) {
    ComputeArrowTriangle(RECT{r.right - arrowAreaWidth, r.top, r.right, r.bottom}, 0, true, adRight, points);
    FillTriangle(canvas, points, color);
  }
}

// --- backgrounds and content ---

void TcxCustomLookAndFeelPainter::PaintBackdrop(TcxCanvas* canvas, const RECT& r, bool transparent, TColor color,
                                                TBitmap* bitmap) const {
  if (!transparent) {
    canvas->FillWithColor(r, color);
  } else if (IsBitmapUsable(bitmap)) {
    canvas->FillRectOrTile(r, bitmap);
  }
}

void TcxCustomLookAndFeelPainter::PaintDropArrowGlyph(TcxCanvas* canvas, const RECT& r, TColor color) const {
  int w = WidthOfRect(r) / 2;
  if (w % 2 == 0) ++w;
  const int h = w / 2 + 1;
  const int x0 = (r.left + r.right - w) / 2;
  const int y0 = MulDiv(r.top + r.bottom - h, 1, 2);
  const POINT points[3] = {{x0, y0}, {x0 + w - 1, y0}, {x0 + w / 2, y0 + h - 1}};
  FillTriangle(canvas, points, color);
}

void TcxCustomLookAndFeelPainter::PaintContentArea(TcxCanvas* canvas, const RECT& r, const RECT& textRect,
                                                   TcxButtonState state, const TcxContentText& content,
                                                   const TcxCustomDrawBackgroundEvent& onCustomDraw,
                                                   bool fullFill) const {
  (void)state;
  (void)fullFill;
  if (!(onCustomDraw && onCustomDraw(canvas, r))) canvas->FillWithColor(r, content.FillColor);
  DrawContentText(canvas, textRect, content, true);
}

void TcxCustomLookAndFeelPainter::PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect,
                                                     bool isNext, TcxButtonState state) const {
  canvas->FillWithColor(r, clBtnFace);
  canvas->DrawTwoToneFrame(r, clBtnHighlight, cl3DDkShadow, cxBordersAll, 1);
  canvas->DrawTwoToneFrame(Deflate(r, 1), cl3DLight, clBtnShadow, cxBordersAll, 1);
  PaintNavButtonArrow(canvas, arrowRect, isNext, state);
}

RECT TcxCustomLookAndFeelPainter::FooterCellInnerBounds(const RECT& bounds) const {
  return Deflate(bounds, FooterCellFrameWidth());
}

RECT TcxCustomLookAndFeelPainter::FooterCellTextBounds(const RECT& bounds) const {
  return Deflate(FooterCellInnerBounds(bounds), 2);
}

uint8_t TcxCustomLookAndFeelPainter::StyleCode() const { return cxStyleCodeStandard; }

// --- colours ---

TColor TcxCustomLookAndFeelPainter::ContentFillColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::EvenRowFillColor() const { return ContentFillColor(); }
TColor TcxCustomLookAndFeelPainter::OddRowFillColor() const { return ContentFillColor(); }
TColor TcxCustomLookAndFeelPainter::ContentTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::EditorFillColor(bool) const { return clDefault; }
TColor TcxCustomLookAndFeelPainter::EditorFontColor(bool) const { return clDefault; }
TColor TcxCustomLookAndFeelPainter::FilterBarFillColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::FilterBarTextColor() const { return clBtnHighlight; }
TColor TcxCustomLookAndFeelPainter::FixedLineColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::FooterFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::FooterTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::DetailAreaFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::GridLinePenColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::GroupingPanelFillColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::GroupingPanelTextColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::GroupRowFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::GroupRowTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::HeaderStripFillColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::HeaderStripTextColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::HeaderFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::HeaderTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::LinkTextColor() const { return RGB(0, 0, 255); }
TColor TcxCustomLookAndFeelPainter::InactiveFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::InactiveTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::PreviewTextColor() const { return RGB(0, 0, 255); }
TColor TcxCustomLookAndFeelPainter::RecordDividerColor() const { return GridLinePenColor(); }
TColor TcxCustomLookAndFeelPainter::SizeGripFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::CategoryRowFillColor() const { return HeaderFillColor(); }
TColor TcxCustomLookAndFeelPainter::CategoryRowTextColor() const { return clDefault; }
TColor TcxCustomLookAndFeelPainter::CellLineColor() const { return clBlack; }
TColor TcxCustomLookAndFeelPainter::BandLineColor() const { return CellLineColor(); }
TColor TcxCustomLookAndFeelPainter::CalendarHeaderFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::CalendarSelectionFillColor() const { return clHighlight; }
TColor TcxCustomLookAndFeelPainter::CalendarSelectionTextColor() const { return clHighlightText; }
TColor TcxCustomLookAndFeelPainter::PlannerFillColor() const { return clWindow; }
TColor TcxCustomLookAndFeelPainter::PlannerTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::PlannerFrameColor() const { return RGB(161, 157, 157); }
TColor TcxCustomLookAndFeelPainter::PlannerControlFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::PlannerHeaderFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::PlannerViewFillColor() const { return RGB(255, 255, 213); }
TColor TcxCustomLookAndFeelPainter::PlannerItemSelectionTextColor(bool selected, bool focused) const {
  return PlannerSelectionTextColor(selected, focused);
}
TColor TcxCustomLookAndFeelPainter::PlannerContentTextColor() const { return clWindowText; }
TColor TcxCustomLookAndFeelPainter::PlannerSelectionFillColor() const { return clHighlight; }
TColor TcxCustomLookAndFeelPainter::PlannerSelectionTextColor(bool, bool) const { return clHighlightText; }
TColor TcxCustomLookAndFeelPainter::PlannerHeaderBorderColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::TabFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::TabTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::TabAreaFillColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::TabBorderLightColor() const { return clWhite; }
TColor TcxCustomLookAndFeelPainter::TabBorderDarkColor() const { return clBlack; }
TColor TcxCustomLookAndFeelPainter::TimeRulerMinorColor() const { return clBtnFace; }
TColor TcxCustomLookAndFeelPainter::TimeRulerTextColor() const { return clBtnText; }
TColor TcxCustomLookAndFeelPainter::TimeSelectionBarColor() const { return clWhite; }
TColor TcxCustomLookAndFeelPainter::TimeMarkerColor() const { return clBlack; }
TColor TcxCustomLookAndFeelPainter::TimeRulerLineColor() const { return clBlack; }
TColor TcxCustomLookAndFeelPainter::TimeRulerMajorColor() const { return clBlack; }
TColor TcxCustomLookAndFeelPainter::ChartGridColor() const { return RGB(207, 207, 207); }
TColor TcxCustomLookAndFeelPainter::ChartBackgroundColor() const { return clWhite; }
TColor TcxCustomLookAndFeelPainter::ChartInfoFrameColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::ChartSelectionFillColor() const { return RGB(166, 202, 240); }
TColor TcxCustomLookAndFeelPainter::ChartSelectionFrameColor() const { return RGB(0, 0, 128); }
TColor TcxCustomLookAndFeelPainter::ChartAxisColor() const { return clBtnShadow; }
TColor TcxCustomLookAndFeelPainter::ChartLegendFrameColor() const { return clBtnShadow; }

// --- arrows ---

void TcxCustomLookAndFeelPainter::PaintArrowGlyph(TcxCanvas* canvas, const RECT& r, TcxArrowDirection direction,
                                                  TColor color) const {
  POINT points[3];
  ComputeArrowTriangle(r, 0, true, direction, points);
  FillTriangle(canvas, points, color);
}

void TcxCustomLookAndFeelPainter::PaintArrowWithFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                      TcxArrowDirection direction, bool withFrame) const {
  POINT points[3];
  ComputeArrowTriangle(r, 0, false, direction, points);
  if (withFrame) PaintArrowFrame(canvas, r, state);
  else canvas->FillWithColor(r, ButtonFillColor(state));
  FillTriangle(canvas, points, ButtonSymbolColor(state));
}

void TcxCustomLookAndFeelPainter::PaintArrowFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const {
  canvas->FillWithColor(r, ButtonFillColor(state));
  PaintButtonFrame(canvas, r, state);
}

void TcxCustomLookAndFeelPainter::PaintStateArrow(TcxCanvas* canvas, const RECT& bounds, TcxButtonState state,
                                                  TcxArrowDirection direction) const {
  RECT r = bounds;
  if (state == cxbsPressed) r = ShiftRect(r, PressedTextShift(), PressedTextShift());
  POINT points[3];
  ComputeArrowTriangle(r, 0, true, direction, points);
  if (state == cxbsDisabled) {
    POINT shifted[3];
    for (int i = 0; i < 3; ++i) shifted[i] = ShiftPoint(points[i], 1, 1);
    FillTriangle(canvas, shifted, clBtnHighlight);
    FillTriangle(canvas, points, clBtnShadow);
  } else {
    FillTriangle(canvas, points, ButtonSymbolColor(state, clDefault));
  }
}

// --- frames ---

int TcxCustomLookAndFeelPainter::FrameThickness() const { return 0; }
void TcxCustomLookAndFeelPainter::PaintFrame(TcxCanvas*, const RECT&) const {}
RECT TcxCustomLookAndFeelPainter::ButtonOuterBounds(const RECT& r) const { return r; }

// --- buttons ---

int TcxCustomLookAndFeelPainter::ButtonFrameWidth(TcxButtonState) const { return 0; }
TColor TcxCustomLookAndFeelPainter::ButtonFillColor(TcxButtonState) const { return clBtnFace; }

bool TcxCustomLookAndFeelPainter::ButtonFocusRectangle(TcxCanvas*, const RECT& buttonRect, RECT& focusRect) const {
  focusRect = Deflate(buttonRect, 4);
  if (!RectIsEmpty(focusRect)) return false;
  focusRect = buttonRect;
  return true;
}

RECT TcxCustomLookAndFeelPainter::ButtonGroupFrameSizes(int, int) const {
  const int w = ButtonFrameWidth(cxbsNormal);
  return RECT{w, w, w, w};
}

int TcxCustomLookAndFeelPainter::ButtonTextIndent() const { return 0; }
int TcxCustomLookAndFeelPainter::PressedTextShift() const { return 0; }

TColor TcxCustomLookAndFeelPainter::ButtonSymbolColor(TcxButtonState state, TColor defaultColor) const {
  if (state == cxbsDisabled) return clBtnShadow;
  return defaultColor == clDefault ? clBtnText : defaultColor;
}

TcxButtonState TcxCustomLookAndFeelPainter::ButtonSymbolState(TcxButtonState state) const { return state; }

void TcxCustomLookAndFeelPainter::PaintButton(TcxCanvas* canvas, const RECT& bounds, const AnsiString& caption,
                                              TcxButtonState state, bool withFrame, TColor fillColor,
                                              TColor textColor, bool wordWrap) const {
  RECT r = bounds;
  if (withFrame) {
    PaintButtonFrame(canvas, r, state);
    r = Deflate(r, ButtonFrameWidth(state));
  }
  if (fillColor == clDefault) fillColor = ButtonFillColor(state);
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillWithColor(r, fillColor);
  if (textColor == clDefault) textColor = ButtonSymbolColor(state, clDefault);
  canvas->GetFont()->SetColor(textColor);
  canvas->GetBrush()->SetStyle(bsClear);
  if (HeightOfRect(r) % 2 != 0) --r.bottom;
  if (HeightOfRect(r) < 18) --r.top;
  if (state == cxbsPressed) r = ShiftRect(r, PressedTextShift(), PressedTextShift());
  if (!caption.empty()) {
    const unsigned flags = cxShowPrefix | cxAlignHCenter | cxAlignVCenter | (wordWrap ? cxWordBreak : cxSingleLine);
    canvas->DrawTextInState(caption, r, flags, state != cxbsDisabled);
  }
  canvas->GetBrush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::PaintGroupedButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state, int,
                                                     int, TColor) const {
  PaintButton(canvas, r, "", state, true);
}

void TcxCustomLookAndFeelPainter::PaintButtonFrame(TcxCanvas*, const RECT&, TcxButtonState) const {}
void TcxCustomLookAndFeelPainter::PaintButtonGroupFrame(TcxCanvas*, const RECT&, bool, bool) const {}

// --- expand buttons ---

void TcxCustomLookAndFeelPainter::PaintExpandButton(TcxCanvas*, const RECT&, bool, TColor) const {}
bool TcxCustomLookAndFeelPainter::ExpandButtonGoesFirst() const { return true; }

void TcxCustomLookAndFeelPainter::PaintGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                         TcxButtonState state) const {
  PaintButton(canvas, r, "", state, true);
  // Two chevrons, each of two lines, pointing up when expanded (the button
  // folds the group) and down when collapsed.
  const TColor color = ButtonSymbolColor(state);
  const POINT c = RectCenterPoint(r);
  const int half = 3;
  for (int chevron = 0; chevron < 2; ++chevron) {
    for (int line = 0; line < 2; ++line) {
      const int y = c.y - 4 + chevron * 4 + line;
      for (int i = -half; i <= half; ++i) {
        const int dy = expanded ? (half - std::abs(i)) : std::abs(i) - half;
        canvas->FillWithColor(RECT{c.x + i, y + dy + (expanded ? 0 : half), c.x + i + 1,
                                   y + dy + (expanded ? 0 : half) + 1},
                              color);
      }
    }
  }
}

void TcxCustomLookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                         TColor frameColor, TColor fillColor) const {
  FrameWithColor(canvas, r, frameColor);
  if (fillColor != clDefault) canvas->FillWithColor(Deflate(r, 1), fillColor);
  PaintExpandSign(canvas, r, expanded, clBtnText);
}

int TcxCustomLookAndFeelPainter::ExpandButtonExtent() const { return 0; }
int TcxCustomLookAndFeelPainter::GroupExpandButtonExtent() const { return 15; }
bool TcxCustomLookAndFeelPainter::ButtonHotTracks() const { return false; }
bool TcxCustomLookAndFeelPainter::IsPointOnGroupExpandButton(const RECT& r, POINT p) const {
  return RectContainsPoint(r, p);
}
int TcxCustomLookAndFeelPainter::SmallExpandButtonExtent() const { return 9; }

// --- check boxes and radio buttons ---

int TcxCustomLookAndFeelPainter::CheckFrameWidth() const { return 2; }

TColor TcxCustomLookAndFeelPainter::CheckFillColor(TcxButtonState state) const {
  return state == cxbsPressed || state == cxbsDisabled ? clBtnFace : clWindow;
}

SIZE TcxCustomLookAndFeelPainter::CheckBoxGlyphSize() const { return SystemCheckBoxGlyphSize(); }

void TcxCustomLookAndFeelPainter::PaintCheckMark(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                 bool checked, TColor color) const {
  if (canvas->GetBrush()->Style() == bsSolid) canvas->FillWithColor(r, CheckFillColor(state));
  if (!checked) return;
  // The classic mark: three strokes of a 7 x 7 tick, one pixel apart.
  const int x0 = (r.left + r.right - 7) / 2;
  const int y0 = (r.top + r.bottom - 7) / 2;
  canvas->GetPen()->SetStyle(psSolid);
  canvas->GetPen()->SetColor(color);
  for (int i = 0; i < 3; ++i) {
    const POINT stroke[3] = {{x0, y0 + 2 + i}, {x0 + 2, y0 + 4 + i}, {x0 + 7, y0 - 1 + i}};
    canvas->DrawPolyline(stroke, 2);
  }
}

void TcxCustomLookAndFeelPainter::PaintCheckFrame(TcxCanvas*, const RECT&, TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::PaintCheckBoxChecked(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                       bool checked) const {
  PaintCheckBox(canvas, r, state, checked ? cbsChecked : cbsUnchecked);
}

void TcxCustomLookAndFeelPainter::PaintCheckBox(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                TcxCheckBoxState checkState) const {
  PaintCheckFrame(canvas, r, state);
  const RECT inner = Deflate(r, CheckFrameWidth());
  const TColor color = state == cxbsDisabled || checkState == cbsGrayed ? clGrayText : clBtnText;
  PaintCheckMark(canvas, inner, state, checkState == cbsChecked, color);
}

void TcxCustomLookAndFeelPainter::PaintRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state,
                                                   bool checked, bool focused, TColor brushColor,
                                                   bool designing) const {
  RadioButtonImageList()->Draw(canvas, x, y, brushColor, StyleCodeToKind(StyleCode()), state, checked, focused,
                               designing);
}

SIZE TcxCustomLookAndFeelPainter::RadioButtonExtent() const { return RadioButtonImageList()->GetSize(); }

// --- headers ---

void TcxCustomLookAndFeelPainter::PaintHeaderCell(TcxCanvas* canvas, const RECT& r, const RECT& textRect,
                                                  TcxNeighbors neighbors, TcxBorders borders, TcxButtonState state,
                                                  const TcxContentText& content,
                                                  const TcxCustomDrawBackgroundEvent& onCustomDraw, bool) const {
  PaintHeaderFrame(canvas, r, neighbors, borders);
  PaintContentArea(canvas, HeaderContentBounds(r, borders), textRect, state, content, onCustomDraw, false);
}

void TcxCustomLookAndFeelPainter::PaintHeaderCellFramed(TcxCanvas* canvas, const RECT& r, const RECT& textRect,
                                                        TcxNeighbors neighbors, TcxBorders borders,
                                                        TcxButtonState state, const TcxContentText& content,
                                                        const TcxCustomDrawBackgroundEvent& onCustomDraw,
                                                        bool isLast) const {
  PaintHeaderCell(canvas, r, textRect, neighbors, borders, state, content, onCustomDraw, isLast);
}

void TcxCustomLookAndFeelPainter::PaintHeaderFrame(TcxCanvas*, const RECT&, TcxNeighbors, TcxBorders) const {}

void TcxCustomLookAndFeelPainter::PaintHeaderPressed(TcxCanvas* canvas, const RECT& r) const {
  canvas->InvertRect(r);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSection(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                     TcxButtonState state, const TcxContentText& content) const {
  PaintHeaderSectionFrame(canvas, r, borders, state);
  PaintHeaderSectionContent(canvas, HeaderSectionContentBounds(r, state), state, content);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionFrame(TcxCanvas*, const RECT&, TcxBorders,
                                                          TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionContent(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                            const TcxContentText& content) const {
  canvas->FillWithColor(r, content.FillColor);
  PaintHeaderSectionText(canvas, HeaderSectionTextBounds(r, state), state, content);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSectionText(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                         const TcxContentText& content) const {
  DrawContentText(canvas, r, content, state != cxbsDisabled);
}

void TcxCustomLookAndFeelPainter::PaintHeaderSeparator(TcxCanvas* canvas, const RECT& r, int indent, TColor color,
                                                       const TcxViewParams& viewParams) const {
  if (indent > 0) {
    canvas->SetBrushColor(viewParams.Color);
    canvas->FillRectOrTile(RECT{r.left, r.top, r.left + indent, r.bottom}, viewParams.Bitmap);
    canvas->FillRectOrTile(RECT{r.right - indent, r.top, r.right, r.bottom}, viewParams.Bitmap);
  }
  canvas->FillWithColor(RECT{r.left + indent, r.top, r.right - indent, r.bottom}, color);
}

void TcxCustomLookAndFeelPainter::PaintSortMark(TcxCanvas*, const RECT&, bool) const {}
TcxBorders TcxCustomLookAndFeelPainter::HeaderOpenSides(TcxNeighbors) const { return cxBordersAll; }
int TcxCustomLookAndFeelPainter::HeaderFrameWidth() const { return 0; }

RECT TcxCustomLookAndFeelPainter::HeaderOuterBounds(const RECT& bounds, TcxNeighbors neighbors,
                                                    TcxBorders borders) const {
  const TcxBorders grown = borders - HeaderOpenSides(neighbors);
  const int w = HeaderFrameWidth();
  RECT r = bounds;
  if (grown.Contains(bLeft)) r.left -= w;
  if (grown.Contains(bTop)) r.top -= w;
  if (grown.Contains(bRight)) r.right += w;
  if (grown.Contains(bBottom)) r.bottom += w;
  return r;
}

RECT TcxCustomLookAndFeelPainter::HeaderContentBounds(const RECT& bounds, TcxBorders borders) const {
  const int w = HeaderFrameWidth();
  RECT r = bounds;
  if (borders.Contains(bLeft)) r.left += w;
  if (borders.Contains(bTop)) r.top += w;
  if (borders.Contains(bRight)) r.right -= w;
  if (borders.Contains(bBottom)) r.bottom -= w;
  return r;
}

bool TcxCustomLookAndFeelPainter::HeaderCellsGoFirst() const { return true; }
int TcxCustomLookAndFeelPainter::HeaderHeightFor(int fontHeight) const {
  return fontHeight + 2 * HeaderFrameWidth() + 4;
}
int TcxCustomLookAndFeelPainter::HeaderSectionFrameWidth(TcxButtonState) const { return 1; }

RECT TcxCustomLookAndFeelPainter::HeaderSectionTextBounds(const RECT& bounds, TcxButtonState state) const {
  return state == cxbsPressed ? ShiftRect(bounds, 1, 1) : bounds;
}

RECT TcxCustomLookAndFeelPainter::HeaderSectionContentBounds(const RECT& bounds, TcxButtonState state) const {
  return Deflate(bounds, HeaderSectionFrameWidth(state));
}

int TcxCustomLookAndFeelPainter::HeaderWidthFor(TcxCanvas* canvas, TcxBorders borders, const AnsiString& text,
                                                TFont* font) const {
  if (font) canvas->SetFont(font);
  int width = canvas->WidthOfText(text) + 4;
  if (borders.Contains(bLeft)) width += HeaderFrameWidth();
  if (borders.Contains(bRight)) width -= HeaderFrameWidth();
  return width;
}

bool TcxCustomLookAndFeelPainter::HeaderHotTracks() const { return false; }
POINT TcxCustomLookAndFeelPainter::SortMarkAreaSize() const { return POINT{16, SortMarkSize().y}; }
POINT TcxCustomLookAndFeelPainter::SortMarkSize() const { return POINT{0, 0}; }

// --- grouping panel, footer and filter ---

void TcxCustomLookAndFeelPainter::PaintGroupingPanel(TcxCanvas* canvas, const RECT& r, bool transparent,
                                                     TColor color, TBitmap* bitmap) const {
  PaintBackdrop(canvas, r, transparent, color, bitmap);
}

TcxBorders TcxCustomLookAndFeelPainter::FooterSides() const { return cxBordersAll; }
int TcxCustomLookAndFeelPainter::FooterFrameWidth() const { return 0; }
int TcxCustomLookAndFeelPainter::FooterCellFrameWidth() const { return 0; }
int TcxCustomLookAndFeelPainter::FooterCellSpacing() const { return 0; }
bool TcxCustomLookAndFeelPainter::FooterCellsGoFirst() const { return true; }
TColor TcxCustomLookAndFeelPainter::FooterSeparatorColor() const { return clBtnShadow; }
int TcxCustomLookAndFeelPainter::FooterSeparatorWidth() const { return 1; }

void TcxCustomLookAndFeelPainter::PaintFooterCell(TcxCanvas* canvas, const RECT& r,
                                                  const TcxContentText& content) const {
  PaintFooterCellFrame(canvas, r);
  PaintContentArea(canvas, FooterCellInnerBounds(r), FooterCellTextBounds(r), cxbsNormal, content, {}, true);
}

void TcxCustomLookAndFeelPainter::PaintFooterFrame(TcxCanvas*, const RECT&) const {}
void TcxCustomLookAndFeelPainter::PaintFooterCellFrame(TcxCanvas*, const RECT&) const {}

void TcxCustomLookAndFeelPainter::PaintFooterContent(TcxCanvas* canvas, const RECT& r,
                                                     const TcxViewParams& viewParams) const {
  if (RectIsEmpty(r)) return;
  canvas->SetBrushColor(viewParams.Color);
  canvas->FillRectOrTile(r, viewParams.Bitmap);
}

void TcxCustomLookAndFeelPainter::PaintFooterSeparator(TcxCanvas* canvas, const RECT& r) const {
  canvas->FillWithColor(r, FooterSeparatorColor());
}

void TcxCustomLookAndFeelPainter::PaintFilterActivator(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                                       bool checked) const {
  PaintCheckBoxChecked(canvas, r, state, checked);
}

void TcxCustomLookAndFeelPainter::PaintFilterCloseButton(TcxCanvas* canvas, const RECT& r,
                                                         TcxButtonState state) const {
  PaintButtonFrame(canvas, r, state);
  const RECT inner = Deflate(r, ButtonFrameWidth(state));
  canvas->FillWithColor(inner, ButtonFillColor(state));
  // A cross of two-pixel strokes in a 7 x 7 square at the centre.
  const TColor color = ButtonSymbolColor(state);
  const int x0 = (inner.left + inner.right - 7) / 2;
  const int y0 = (inner.top + inner.bottom - 7) / 2;
  for (int i = 0; i < 7; ++i) {
    canvas->FillWithColor(RECT{x0 + i, y0 + i, x0 + i + 1, y0 + i + 1}, color);
    canvas->FillWithColor(RECT{x0 + 6 - i, y0 + i, x0 + 7 - i, y0 + i + 1}, color);
    if (i < 6) {
      canvas->FillWithColor(RECT{x0 + i + 1, y0 + i, x0 + i + 2, y0 + i + 1}, color);
      canvas->FillWithColor(RECT{x0 + 5 - i, y0 + i, x0 + 6 - i, y0 + i + 1}, color);
    }
  }
}

void TcxCustomLookAndFeelPainter::PaintFilterDropButton(TcxCanvas*, const RECT&, TcxButtonState) const {}

void TcxCustomLookAndFeelPainter::PaintFilterPanel(TcxCanvas* canvas, const RECT& r, bool transparent, TColor color,
                                                   TBitmap* bitmap) const {
  PaintBackdrop(canvas, r, transparent, color, bitmap);
}

SIZE TcxCustomLookAndFeelPainter::FilterActivatorSize() const { return SIZE{13, 13}; }
SIZE TcxCustomLookAndFeelPainter::FilterCloseButtonSize() const { return SIZE{16, 14}; }
SIZE TcxCustomLookAndFeelPainter::FilterDropButtonSize() const { return SIZE{15, 0}; }

// --- windows, tabs and indicators ---

void TcxCustomLookAndFeelPainter::PaintWindowArea(TcxCanvas* canvas, const RECT& r) const {
  canvas->FillWithColor(r, clBtnFace);
}

bool TcxCustomLookAndFeelPainter::PopupFrameIsFlat() const { return true; }
void TcxCustomLookAndFeelPainter::PaintTab(TcxCanvas*, const RECT&, const AnsiString&, TcxButtonState, bool,
                                           bool) const {}
void TcxCustomLookAndFeelPainter::PaintTabFrame(TcxCanvas*, const RECT&, bool, bool) const {}
void TcxCustomLookAndFeelPainter::PaintTabArea(TcxCanvas*, const RECT&, TcxBorders) const {}
bool TcxCustomLookAndFeelPainter::IsTabPaintingSupported() const { return false; }
bool TcxCustomLookAndFeelPainter::TabHotTracks() const { return false; }
int TcxCustomLookAndFeelPainter::TabFrameWidth() const { return 0; }

void TcxCustomLookAndFeelPainter::PaintIndicatorMark(TcxCanvas* canvas, const RECT& r, TColor color) const {
  // Five short lines two pixels apart, centred.
  const int x0 = (r.left + r.right - 4) / 2;
  const int y0 = (r.top + r.bottom - 9) / 2;
  for (int i = 0; i < 5; ++i) canvas->FillWithColor(RECT{x0, y0 + 2 * i, x0 + 4, y0 + 2 * i + 1}, color);
}

void TcxCustomLookAndFeelPainter::PaintIndicatorGlyph(TcxCanvas* canvas, const RECT& r, int kind) const {
  TCustomImageList* images = IndicatorImages();
  if (kind <= 0 || !images || kind > images->Count()) return;
  const int x = (r.left + r.right - images->Width()) / 2;
  const int y = (r.top + r.bottom - images->Height()) / 2;
  images->Draw(canvas->Canvas(), x, y, kind - 1);
}

void TcxCustomLookAndFeelPainter::PaintIndicatorCell(TcxCanvas* canvas, const RECT& r, int kind,
                                                     TcxNeighbors neighbors, TcxBorders borders,
                                                     TColor fillColor) const {
  TcxContentText content;
  content.FillColor = fillColor;
  PaintHeaderCell(canvas, r, r, neighbors, borders, cxbsNormal, content);
  PaintIndicatorGlyph(canvas, HeaderContentBounds(r, borders), kind);
}

void TcxCustomLookAndFeelPainter::PaintIndicatorCellFramed(TcxCanvas* canvas, const RECT& r, int kind,
                                                           TcxNeighbors neighbors, TcxBorders borders,
                                                           TColor fillColor) const {
  TcxContentText content;
  content.FillColor = fillColor;
  PaintHeaderCellFramed(canvas, r, r, neighbors, borders, cxbsNormal, content);
  PaintIndicatorGlyph(canvas, HeaderContentBounds(r, borders), kind);
}

bool TcxCustomLookAndFeelPainter::IndicatorCellsGoFirst() const { return true; }

// --- scroll bar and size grip ---

int TcxCustomLookAndFeelPainter::ScrollThumbMinSize(bool) const { return 8; }
void TcxCustomLookAndFeelPainter::PaintScrollBarPart(TcxCanvas*, bool, const RECT&, TcxScrollBarPart,
                                                     TcxButtonState) const {}

SIZE TcxCustomLookAndFeelPainter::SizeGripExtent() const {
  return SIZE{GetSystemMetrics(SM_CXVSCROLL), GetSystemMetrics(SM_CYHSCROLL)};
}

void TcxCustomLookAndFeelPainter::PaintSizeGrip(TcxCanvas* canvas, const RECT& r, TColor backgroundColor) const {
  canvas->FillWithColor(r, backgroundColor);
  RECT grip = r;
  DrawFrameControl(canvas->GetDeviceContext(), &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
}

// --- planner, calendar and clock ---

void TcxCustomLookAndFeelPainter::PlannerNavButtonRects(const RECT& bounds, bool isNext, RECT& buttonRect,
                                                        RECT& arrowRect) const {
  SIZE button, arrow;
  NavButtonSizes(button, arrow);
  const int top = (bounds.top + bounds.bottom - button.cy) / 2;
  const int left = isNext ? bounds.right - button.cx : bounds.left;
  buttonRect = RECT{left, top, left + button.cx, top + button.cy};
  arrowRect = CenterExtentInRect(buttonRect, arrow.cx, arrow.cy);
}

void TcxCustomLookAndFeelPainter::NavButtonSizes(SIZE& buttonSize, SIZE& arrowSize) const {
  arrowSize = SIZE{7, 7};
  buttonSize = SIZE{arrowSize.cx + 8, 3 * arrowSize.cy};
}

void TcxCustomLookAndFeelPainter::PaintNavButtonText(TcxCanvas* canvas, const RECT& r,
                                                     const AnsiString& text) const {
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->GetFont()->SetColor(clBtnText);
  canvas->DrawTextInState(text, r, cxAlignHCenter | cxAlignVCenter | cxSingleLine, true);
  canvas->GetBrush()->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::PaintNavButtonArrow(TcxCanvas* canvas, const RECT& r, bool isNext,
                                                      TcxButtonState state) const {
  POINT points[3];
  ComputeArrowTriangle(r, 0, true, isNext ? adRight : adLeft, points);
  FillTriangle(canvas, points, ButtonSymbolColor(state));
}

void TcxCustomLookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text,
                                                   TcxBorders borders, const TcxViewParams& viewParams,
                                                   TcxHeaderArrows arrows, int arrowAreaWidth,
                                                   const TcxCustomDrawBackgroundEvent& onCustomDraw) const {
  TcxContentText content;
  content.Text = text;
  content.FillColor = viewParams.Color;
  content.AlignHorz = TAlignment::taCenter;
  const RECT textRect{r.left + arrowAreaWidth, r.top, r.right - arrowAreaWidth, r.bottom};
  PaintHeaderCell(canvas, r, textRect, {}, borders, cxbsNormal, content, onCustomDraw);
  PaintMonthArrows(canvas, HeaderContentBounds(r, borders), arrows, arrowAreaWidth, clBtnText);
}

void TcxCustomLookAndFeelPainter::PaintPlannerFrame(TcxCanvas* canvas, const RECT& r) const {
  PaintFrame(canvas, r);
}

void TcxCustomLookAndFeelPainter::PaintProgressMark(TcxCanvas* canvas, const RECT& r, int percent) const {
  FrameWithColor(canvas, r, RGB(128, 128, 128));
  const RECT inner = Deflate(r, ProgressMarkInsets());
  if (RectIsEmpty(inner)) return;
  const int width = MulDiv(WidthOfRect(inner), std::clamp(percent, 0, 100), 100);
  canvas->FillWithColor(RECT{inner.left, inner.top, inner.left + width, inner.bottom}, RGB(0, 0, 128));
}

int TcxCustomLookAndFeelPainter::ProgressMarkInsets() const { return 2; }

void TcxCustomLookAndFeelPainter::PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r,
                                                              TcxButtonState state) const {
  PaintButton(canvas, r, "", state, true);
}

void TcxCustomLookAndFeelPainter::PaintPlannerSplitterFrame(TcxCanvas*, const RECT&) const {}
int TcxCustomLookAndFeelPainter::ChartInfoFrameWidth() const { return 1; }

void TcxCustomLookAndFeelPainter::PaintClockFace(TcxCanvas* canvas, const RECT& r, TDateTime time,
                                                 TColor backgroundColor) const {
  using std::numbers::pi;
  const int cx = (r.left + r.right) / 2;
  const int cy = (r.top + r.bottom) / 2;
  const double rx = WidthOfRect(r) / 2.0 - 2;
  const double ry = HeightOfRect(r) / 2.0 - 2;
  auto round = [](double v) { return static_cast<int>(std::nearbyint(v)); };
  // The marks stay under the fill: their squares leave the clip area while
  // the face is painted, and the caller's clip area comes back afterwards.
  canvas->PushClipRegion();
  TPen* pen = canvas->GetPen();
  pen->SetStyle(psSolid);
  for (int i = 0; i < 60; i += 5) {
    const int x = round(rx * std::cos(2 * pi * i / 60) + cx);
    const int y = round(ry * std::sin(2 * pi * i / 60) + cy);
    canvas->SetPixelColor(x, y, RGB(0, 128, 128));
    pen->SetColor(RGB(0, 255, 255));
    const POINT light[3] = {{x - 1, y + 1}, {x - 1, y - 1}, {x, y - 1}};
    canvas->DrawPolyline(light, 2);
    pen->SetColor(clBtnText);
    const POINT dark[3] = {{x, y + 1}, {x + 1, y + 1}, {x + 1, y - 1}};
    canvas->DrawPolyline(dark, 2);
    canvas->ExcludeRectFromClip(RECT{x - 1, y - 1, x + 2, y + 2});
  }
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillWithColor(r, backgroundColor);

  int hour, minute, second, msec;
  DecodeTime(time, hour, minute, second, msec);
  auto hand = [&](double a, double w, double back, double tip) {
    const POINT points[4] = {
        {round(cx + tip * rx * std::cos(a)), round(cy + tip * ry * std::sin(a))},
        {round(cx + w / 2 * std::cos(a + pi / 2)), round(cy + w / 2 * std::sin(a + pi / 2))},
        {round(cx + back * rx * std::cos(a + pi)), round(cy + back * ry * std::sin(a + pi))},
        {round(cx + w / 2 * std::cos(a + 3 * pi / 2)), round(cy + w / 2 * std::sin(a + 3 * pi / 2))}};
    canvas->SetBrushColor(RGB(0, 128, 128));
    pen->SetColor(RGB(0, 128, 128));
    canvas->DrawPolygon(points, 3);
    canvas->SetPixelColor(points[0].x, points[0].y, RGB(0, 128, 128));
  };
  hand(((hour % 12) * 3600 + minute * 60 + second - 10800) * 2 * pi / 43200, 9, 0.15, 0.75);
  hand((minute * 60 + second - 900) * 2 * pi / 3600, 7, 0.2, 0.85);
  const double a = (second - 15) * 2 * pi / 60;
  pen->SetColor(RGB(255, 0, 0));
  canvas->MovePenTo(cx, cy);
  canvas->DrawLineTo(round(cx + 0.9 * rx * std::cos(a)), round(cy + 0.9 * ry * std::sin(a)));
  canvas->PopClipRegion();
}

// --- editor buttons and containers ---

void TcxCustomLookAndFeelPainter::PaintEditorButton(TcxCanvas*, const RECT&, TcxButtonState) const {}
int TcxCustomLookAndFeelPainter::EditorButtonTextIndent() const { return 0; }
SIZE TcxCustomLookAndFeelPainter::EditorButtonExtent() const { return SIZE{0, 0}; }
TColor TcxCustomLookAndFeelPainter::EditorButtonTextColor() const { return clDefault; }
TColor TcxCustomLookAndFeelPainter::ContainerFrameColor(bool) const { return clDefault; }

void TcxCustomLookAndFeelPainter::PaintNavigatorGlyph(TcxCanvas* canvas, TCustomImageList* images, int index,
                                                      const RECT& r, bool enabled) const {
  if (!IsValidImageIndex(images, index)) return;
  images->Draw(canvas->Canvas(), (r.left + r.right - images->Width()) / 2,
               (r.top + r.bottom - images->Height()) / 2, index, enabled);
}

SIZE TcxCustomLookAndFeelPainter::NavigatorGlyphSize() const { return SIZE{0, 0}; }

// --- progress bars, group boxes, panels, track bars and splitters ---

void TcxCustomLookAndFeelPainter::PaintProgressFrame(TcxCanvas*, const RECT&, bool) const {}
void TcxCustomLookAndFeelPainter::PaintProgressChunk(TcxCanvas*, const RECT&, bool) const {}
RECT TcxCustomLookAndFeelPainter::ProgressFrameWidths(bool) const { return RECT{}; }
TColor TcxCustomLookAndFeelPainter::ProgressTextColor() const { return clDefault; }
void TcxCustomLookAndFeelPainter::PaintGroupBoxBackdrop(TcxCanvas*, TControl*, const RECT&, TColor, TColor) const {}
void TcxCustomLookAndFeelPainter::PaintGroupBoxCaption(TcxCanvas*, const RECT&, const AnsiString&) const {}
void TcxCustomLookAndFeelPainter::PaintGroupBoxContent(TcxCanvas*, const RECT&) const {}
RECT TcxCustomLookAndFeelPainter::GroupBoxFrameWidths() const { return RECT{}; }
TColor TcxCustomLookAndFeelPainter::GroupBoxTextColor() const { return clDefault; }
bool TcxCustomLookAndFeelPainter::GroupBoxIsTransparent() const { return false; }

void TcxCustomLookAndFeelPainter::PaintPanelBackdrop(TcxCanvas* canvas, TControl* control, const RECT& r,
                                                     TColor colorFrom, TColor colorTo) const {
  PaintGroupBoxBackdrop(canvas, control, r, colorFrom, colorTo);
}

void TcxCustomLookAndFeelPainter::PaintPanelFrame(TcxCanvas*, const RECT&) const {}

void TcxCustomLookAndFeelPainter::PaintPanelCaption(TcxCanvas* canvas, const RECT& r,
                                                    const AnsiString& caption) const {
  PaintGroupBoxCaption(canvas, r, caption);
}

void TcxCustomLookAndFeelPainter::PaintPanelContent(TcxCanvas*, const RECT&) const {}
RECT TcxCustomLookAndFeelPainter::PanelFrameWidths() const { return RECT{}; }
TColor TcxCustomLookAndFeelPainter::PanelTextColor() const { return clDefault; }
void TcxCustomLookAndFeelPainter::PaintTrackBar(TcxCanvas*, const RECT&, bool) const {}
void TcxCustomLookAndFeelPainter::PaintTrackBarThumb(TcxCanvas*, const RECT&, TcxButtonState, bool) const {}
SIZE TcxCustomLookAndFeelPainter::TrackBarThumbSize(bool) const { return SIZE{0, 0}; }
TColor TcxCustomLookAndFeelPainter::TrackBarTickColor() const { return clDefault; }
int TcxCustomLookAndFeelPainter::TrackBarTrackWidth() const { return 0; }
void TcxCustomLookAndFeelPainter::PaintSplitter(TcxCanvas*, const RECT&, TcxButtonState, bool) const {}
SIZE TcxCustomLookAndFeelPainter::SplitterSize(bool) const { return SIZE{0, 0}; }

// --- helpers of the looks ---

void TcxCustomLookAndFeelPainter::PaintScrollBarPageArea(TcxCanvas* canvas, const RECT& r, bool pressed) {
  TBitmap* pattern = ScrollPageBitmap(pressed);
  TBrush* brush = canvas->GetBrush();
  brush->SetStyle(bsSolid);
  if (pattern) brush->SetBitmap(pattern);
  else brush->SetColor(pressed ? clBlack : clBtnFace);
  canvas->Canvas()->FillRect(r);
  brush->SetBitmap(nullptr);
  brush->SetStyle(bsSolid);
}

void TcxCustomLookAndFeelPainter::PaintButtonScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& bounds,
                                                           TcxScrollBarPart part, TcxButtonState state,
                                                           bool hotTracks, bool shrinkBeforeArrow) const {
  if (RectIsEmpty(bounds) || (part == sbpThumbnail && state == cxbsDisabled)) return;
  if (state == cxbsHot && !hotTracks) state = cxbsNormal;
  switch (part) {
    case sbpPageUp:
    case sbpPageDown:
      PaintScrollBarPageArea(canvas, bounds, state == cxbsPressed);
      break;
    case sbpThumbnail:
    case sbpLineUp:
    case sbpLineDown: {
      PaintButton(canvas, bounds, "", state, true);
      if (part == sbpThumbnail) break;
      const RECT r = shrinkBeforeArrow ? Deflate(bounds, ButtonFrameWidth(cxbsNormal)) : bounds;
      PaintStateArrow(canvas, r, state, ArrowDirectionForPart(horizontal, part));
      break;
    }
    default:
      break;
  }
}

void TcxCustomLookAndFeelPainter::PaintSortArrow(TcxCanvas* canvas, const RECT& r, bool ascending, POINT size,
                                                 TColor lightColor, TColor shadowColor) {
  const RECT mark = CenterExtentInRect(r, size.x, size.y);
  const int mid = (mark.left + mark.right - 1) / 2;
  TPen* pen = canvas->GetPen();
  pen->SetStyle(psSolid);
  // The edges towards the top left are in shadow, the others lit.
  if (ascending) {
    pen->SetColor(shadowColor);
    canvas->MovePenTo(mid, mark.top);
    canvas->DrawLineTo(mark.left - 1, mark.bottom);
    pen->SetColor(lightColor);
    canvas->MovePenTo(mid, mark.top);
    canvas->DrawLineTo(mark.right, mark.bottom);
    canvas->MovePenTo(mark.left, mark.bottom - 1);
    canvas->DrawLineTo(mark.right, mark.bottom - 1);
  } else {
    pen->SetColor(shadowColor);
    canvas->MovePenTo(mark.left, mark.top);
    canvas->DrawLineTo(mark.right, mark.top);
    canvas->MovePenTo(mark.left, mark.top);
    canvas->DrawLineTo(mid + 1, mark.bottom);
    pen->SetColor(lightColor);
    canvas->MovePenTo(mark.right - 1, mark.top + 1);
    canvas->DrawLineTo(mid, mark.bottom);
  }
}
