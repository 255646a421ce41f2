#include "foundation/Office11Painter.h"

#include "foundation/Geometry.h"
#include "foundation/Graphics.h"
#include "foundation/Office11.h"
#include "foundation/StandardPainter.h"
#include "foundation/ThemeManager.h"
#include "foundation/WinXPPainter.h"

namespace {
RECT Deflate(const RECT& r, int d) { return GrowRect(r, -d, -d); }
TColor Entry(int n) { return Office11Color(n); }
}  // namespace

const TcxOffice11LookAndFeelPainter TcxOffice11LookAndFeelPainter::Instance{};

const char* TcxOffice11LookAndFeelPainter::PainterName() const { return "TcxOffice11LookAndFeelPainter"; }
TcxLookAndFeelPainterClass TcxOffice11LookAndFeelPainter::ParentPainter() const {
  return &TcxUltraFlatLookAndFeelPainter::Instance;
}

uint8_t TcxOffice11LookAndFeelPainter::StyleCode() const { return cxStyleCodeOffice11; }

void TcxOffice11LookAndFeelPainter::PaintContentArea(TcxCanvas* canvas, const RECT& r, const RECT& textRect,
                                                     TcxButtonState state, const TcxContentText& content,
                                                     const TcxCustomDrawBackgroundEvent& onCustomDraw,
                                                     bool fullFill) const {
  HDC dc = canvas->GetDeviceContext();
  if (!(onCustomDraw && onCustomDraw(canvas, r))) {
    const TColor color1 = state == cxbsHot ? Entry(2) : HeaderUpperColor();
    const TColor color2 = state == cxbsHot ? Entry(2) : HeaderLowerColor();
    if (fullFill) {
      FillRectWithColor(dc, r, color1);
    } else {
      FillRectWithColor(dc, RECT{r.left, r.top, r.right, r.bottom - 3}, color1);
      PaintGradientRect(dc, RECT{r.left, r.bottom - 4, r.right, r.bottom}, color1, color2, false);
    }
  }
  TcxContentText text = content;
  text.FillColor = clNone;
  TcxCustomLookAndFeelPainter::PaintContentArea(canvas, r, textRect, state, text, TcxCustomDrawBackgroundEvent{},
                                                fullFill);
  if (state == cxbsHot)
    PaintGradientRect(dc, RECT{r.left - 1, r.bottom - 2, r.right, r.bottom + 1}, Entry(42), Entry(43), false);
}

TColor TcxOffice11LookAndFeelPainter::FilterBarFillColor() const { return Entry(24); }
TColor TcxOffice11LookAndFeelPainter::FilterBarTextColor() const { return Entry(28); }
TColor TcxOffice11LookAndFeelPainter::FooterFillColor() const { return Entry(0); }
TColor TcxOffice11LookAndFeelPainter::FooterTextColor() const { return HeaderTextColor(); }
TColor TcxOffice11LookAndFeelPainter::GroupingPanelFillColor() const { return Entry(55); }
TColor TcxOffice11LookAndFeelPainter::GroupingPanelTextColor() const { return Entry(2); }
TColor TcxOffice11LookAndFeelPainter::GroupRowFillColor() const { return Entry(58); }
TColor TcxOffice11LookAndFeelPainter::HeaderStripFillColor() const { return GroupingPanelFillColor(); }
TColor TcxOffice11LookAndFeelPainter::HeaderFillColor() const { return HeaderUpperColor(); }
TColor TcxOffice11LookAndFeelPainter::CalendarHeaderFillColor() const { return Entry(0); }
TColor TcxOffice11LookAndFeelPainter::CalendarSelectionFillColor() const { return Entry(59); }
TColor TcxOffice11LookAndFeelPainter::CalendarSelectionTextColor() const { return clWindowText; }
TColor TcxOffice11LookAndFeelPainter::PlannerFrameColor() const { return Entry(60); }
TColor TcxOffice11LookAndFeelPainter::PlannerControlFillColor() const { return Entry(61); }
TColor TcxOffice11LookAndFeelPainter::TabFillColor() const { return Entry(1); }
TColor TcxOffice11LookAndFeelPainter::TabAreaFillColor() const { return TabFillColor(); }
TColor TcxOffice11LookAndFeelPainter::TimeRulerMinorColor() const { return Entry(0); }
TColor TcxOffice11LookAndFeelPainter::TimeSelectionBarColor() const { return PlannerControlFillColor(); }

void TcxOffice11LookAndFeelPainter::PaintFrame(TcxCanvas* canvas, const RECT& r) const {
  FrameWithColor(canvas, r, Entry(57));
}

TColor TcxOffice11LookAndFeelPainter::ButtonFillColor(TcxButtonState state) const {
  switch (state) {
    case cxbsHot: return Entry(42);
    case cxbsPressed: return Entry(44);
    case cxbsDisabled: return clBtnFace;
    default: return Entry(0);
  }
}

TColor TcxOffice11LookAndFeelPainter::ButtonSymbolColor(TcxButtonState state, TColor) const {
  if (state == cxbsPressed && !UsesOffice11SchemeColors()) return clHighlightText;
  return state == cxbsDisabled ? Entry(52) : Entry(51);
}

void TcxOffice11LookAndFeelPainter::PaintButtonFrame(TcxCanvas* canvas, const RECT& r,
                                                     TcxButtonState state) const {
  switch (state) {
    case cxbsDefault: TcxUltraFlatLookAndFeelPainter::PaintButtonFrame(canvas, r, state); break;
    case cxbsNormal: FrameWithColor(canvas, r, clBtnText); break;
    case cxbsDisabled: FrameWithColor(canvas, r, Entry(52)); break;
    default: FrameWithColor(canvas, r, Entry(41)); break;
  }
}

void TcxOffice11LookAndFeelPainter::PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                      TColor color) const {
  TBitmap* glyph = Office11ExpandButtonBitmap(expanded);
  if (!glyph || glyph->GetEmpty()) {
    // Without palette users there are no glyphs: the UltraFlat box.
    TcxUltraFlatLookAndFeelPainter::PaintExpandButton(canvas, r, expanded, color);
    return;
  }
  TCanvas* target = canvas->Canvas();
  TCanvas* source = glyph->Canvas();
  const int last = glyph->GetWidth() - 1;
  const TColor underTopLeft = target->Pixels(r.left, r.top);
  const TColor underBottomRight = target->Pixels(r.right - 1, r.bottom - 1);
  source->SetPixels(0, 0, MixColors(Entry(79), underTopLeft, 25));
  const TColor dark = MixColors(Entry(80), underBottomRight, 25);
  source->SetPixels(last, last, dark);
  source->SetPixels(0, last, dark);
  source->SetPixels(last, 0, dark);
  target->Draw(r.left, r.top, glyph);
}

bool TcxOffice11LookAndFeelPainter::ExpandButtonGoesFirst() const { return false; }

void TcxOffice11LookAndFeelPainter::PaintSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded,
                                                           TColor, TColor) const {
  PaintExpandButton(canvas, r, expanded);
}

int TcxOffice11LookAndFeelPainter::ExpandButtonExtent() const { return 11; }
int TcxOffice11LookAndFeelPainter::SmallExpandButtonExtent() const { return ExpandButtonExtent(); }

TColor TcxOffice11LookAndFeelPainter::CheckFillColor(TcxButtonState state) const {
  if (state == cxbsHot || state == cxbsPressed || state == cxbsDisabled) return ButtonFillColor(state);
  return TcxUltraFlatLookAndFeelPainter::CheckFillColor(state);
}

void TcxOffice11LookAndFeelPainter::PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors,
                                                     TcxBorders borders) const {
  const TColor c1 = HeaderUpperColor();
  const TColor c2 = HeaderLowerColor();
  const TColor shadow = HeaderShadowEdgeColor();
  const TColor light = HeaderLightEdgeColor();
  auto column = [&](int x, int fromY, int toY, TColor color) {
    // The rows strictly between the two.
    if (toY - fromY > 1) canvas->FillWithColor(RECT{x, fromY + 1, x + 1, toY}, color);
  };
  if (borders.Contains(bTop)) canvas->FillWithColor(RECT{r.left, r.top, r.right, r.top + 1}, c1);
  if (borders.Contains(bBottom)) canvas->FillWithColor(RECT{r.left, r.bottom - 1, r.right, r.bottom}, shadow);
  if (borders.Contains(bLeft)) {
    const int x = r.left;
    canvas->SetPixelColor(x, r.top + 1, c1);
    if (neighbors.Contains(nLeft)) {
      canvas->SetPixelColor(x, r.top + 2, c1);
      canvas->SetPixelColor(x, r.bottom - 3, MixColors(c1, c2, 25));
      canvas->SetPixelColor(x, r.bottom - 2, c2);
      column(x, r.top + 2, r.bottom - 3, light);
    } else {
      canvas->SetPixelColor(x, r.bottom - 2, c2);
      column(x, r.top + 1, r.bottom - 2, light);
    }
  }
  if (borders.Contains(bRight)) {
    const int x = r.right - 1;
    if (neighbors.Contains(nRight)) {
      canvas->SetPixelColor(x, r.top + 1, c1);
      canvas->SetPixelColor(x, r.top + 2, c1);
      canvas->SetPixelColor(x, r.bottom - 3, MixColors(c1, c2, 25));
      canvas->SetPixelColor(x, r.bottom - 2, c2);
      column(x, r.top + 2, r.bottom - 3, shadow);
    } else {
      canvas->SetPixelColor(x, r.top, MixColors(c1, shadow, 50));
      canvas->SetPixelColor(x, r.bottom - 2, MixColors(c2, shadow, 50));
      // Down from just below the top pixel, so the edge has no gap.
      column(x, r.top, r.bottom - 2, shadow);
    }
  }
}

void TcxOffice11LookAndFeelPainter::PaintHeaderSection(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                                       TcxButtonState state, const TcxContentText& content) const {
  PaintHeaderCell(canvas, r, r, {}, borders, state, content);
  if (state == cxbsPressed) PaintHeaderPressed(canvas, r);
}

void TcxOffice11LookAndFeelPainter::PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const {
  PaintSortArrow(canvas, r, ascending, SortMarkSize(), HeaderLightEdgeColor(), HeaderShadowEdgeColor());
}

TcxBorders TcxOffice11LookAndFeelPainter::HeaderOpenSides(TcxNeighbors) const { return cxBordersAll; }
int TcxOffice11LookAndFeelPainter::HeaderFrameWidth() const { return 1; }
bool TcxOffice11LookAndFeelPainter::HeaderHotTracks() const { return true; }
TColor TcxOffice11LookAndFeelPainter::FooterSeparatorColor() const { return HeaderShadowEdgeColor(); }

void TcxOffice11LookAndFeelPainter::PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r,
                                                       TcxScrollBarPart part, TcxButtonState state) const {
  if (CanUseVisualStyles({totScrollBar}))
    TcxWinXPLookAndFeelPainter::Instance.PaintScrollBarPart(canvas, horizontal, r, part, state);
  else
    TcxStandardLookAndFeelPainter::Instance.PaintScrollBarPart(canvas, horizontal, r, part, state);
}

void TcxOffice11LookAndFeelPainter::PaintSizeGrip(TcxCanvas* canvas, const RECT& r, TColor backgroundColor) const {
  canvas->FillWithColor(r, backgroundColor);
  PaintSizeGripDots(canvas->GetDeviceContext(), r);
}

void TcxOffice11LookAndFeelPainter::PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text,
                                                     TcxBorders, const TcxViewParams& viewParams,
                                                     TcxHeaderArrows arrows, int arrowAreaWidth,
                                                     const TcxCustomDrawBackgroundEvent& onCustomDraw) const {
  const RECT content = Deflate(r, 1);
  if (!(onCustomDraw && onCustomDraw(canvas, content))) {
    canvas->SetBrushColor(viewParams.Color);
    canvas->FillRectOrTile(content, viewParams.Bitmap);
  }
  canvas->GetBrush()->SetStyle(bsClear);
  canvas->DrawTextInState(text, content, cxAlignHCenter | cxAlignVCenter | cxSingleLine, true);
  canvas->GetBrush()->SetStyle(bsSolid);
  PaintMonthArrows(canvas, content, arrows, arrowAreaWidth, clWindowText);
}

void TcxOffice11LookAndFeelPainter::PaintPlannerFrame(TcxCanvas* canvas, const RECT& r) const {
  FrameWithColor(canvas, r, PlannerFrameColor());
}

void TcxOffice11LookAndFeelPainter::PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r,
                                                                TcxButtonState state) const {
  TcxWinXPLookAndFeelPainter::Instance.PaintPlannerNavigatorButton(canvas, r, state);
}

void TcxOffice11LookAndFeelPainter::PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect,
                                                       bool isNext, TcxButtonState state) const {
  canvas->FillWithColor(r, state == cxbsHot ? Entry(42) : state == cxbsPressed ? Entry(44) : Entry(0));
  FrameWithColor(canvas, r, Entry(60));
  PaintNavButtonArrow(canvas, arrowRect, isNext, state);
}

void TcxOffice11LookAndFeelPainter::PaintPanelBackdrop(TcxCanvas* canvas, TControl* control, const RECT& r,
                                                       TColor colorFrom, TColor colorTo) const {
  if (colorFrom == clDefault) PaintParentInto(control, canvas, r, false);
  else if (colorTo == clDefault) canvas->FillWithColor(r, colorFrom);
  else PaintGradientRect(canvas->GetDeviceContext(), r, colorFrom, colorTo, false);
}

TColor TcxOffice11LookAndFeelPainter::FilterButtonFrameColor(TcxButtonState state) const {
  return state == cxbsNormal ? HeaderShadowEdgeColor() : Entry(41);
}

TColor TcxOffice11LookAndFeelPainter::TabEdgeLightColor() const { return HeaderShadowEdgeColor(); }
TColor TcxOffice11LookAndFeelPainter::TabEdgeDarkColor() const { return clBtnText; }
TColor TcxOffice11LookAndFeelPainter::FrameHighlightColor() const { return Entry(41); }
TColor TcxOffice11LookAndFeelPainter::HeaderLowerColor() const { return Entry(3); }
TColor TcxOffice11LookAndFeelPainter::HeaderShadowEdgeColor() const { return Entry(20); }
TColor TcxOffice11LookAndFeelPainter::HeaderLightEdgeColor() const { return Entry(21); }
TColor TcxOffice11LookAndFeelPainter::HeaderUpperColor() const { return MixColors(Entry(2), Entry(3), 50); }
