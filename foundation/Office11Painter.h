// The Office 2003 look: the UltraFlat shapes in the shared Office 2003
// palette (foundation/Office11.h), with gradient headers and the themed
// scroll bar when visual styles are on. "entry n" below is palette entry n.
#pragma once

#include "foundation/UltraFlatPainter.h"

class TcxOffice11LookAndFeelPainter : public TcxUltraFlatLookAndFeelPainter {
public:
  static const TcxOffice11LookAndFeelPainter Instance;
  constexpr TcxOffice11LookAndFeelPainter() = default;

  const char* PainterName() const override;
  TcxLookAndFeelPainterClass ParentPainter() const override;

  uint8_t StyleCode() const override;
  // The header gradient (entry 2 when hot), a hot underline in entries 42 to 43.
  void PaintContentArea(TcxCanvas* canvas, const RECT& r, const RECT& textRect, TcxButtonState state,
                        const TcxContentText& content, const TcxCustomDrawBackgroundEvent& onCustomDraw,
                        bool fullFill) const override;
  TColor FilterBarFillColor() const override;
  TColor FilterBarTextColor() const override;
  TColor FooterFillColor() const override;
  TColor FooterTextColor() const override;
  TColor GroupingPanelFillColor() const override;
  TColor GroupingPanelTextColor() const override;
  TColor GroupRowFillColor() const override;
  TColor HeaderStripFillColor() const override;
  TColor HeaderFillColor() const override;
  TColor CalendarHeaderFillColor() const override;
  TColor CalendarSelectionFillColor() const override;
  TColor CalendarSelectionTextColor() const override;
  TColor PlannerFrameColor() const override;
  TColor PlannerControlFillColor() const override;
  TColor TabFillColor() const override;
  TColor TabAreaFillColor() const override;
  TColor TimeRulerMinorColor() const override;
  TColor TimeSelectionBarColor() const override;
  void PaintFrame(TcxCanvas* canvas, const RECT& r) const override;
  TColor ButtonFillColor(TcxButtonState state) const override;
  TColor ButtonSymbolColor(TcxButtonState state, TColor defaultColor = clDefault) const override;
  void PaintButtonFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  // The scheme's 11 x 11 plus or minus glyph with its corners blended into
  // what lies beneath.
  void PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color = clDefault) const override;
  bool ExpandButtonGoesFirst() const override;
  void PaintSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor frameColor,
                              TColor fillColor = clDefault) const override;
  int ExpandButtonExtent() const override;
  int SmallExpandButtonExtent() const override;
  TColor CheckFillColor(TcxButtonState state) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
  void PaintHeaderSection(TcxCanvas* canvas, const RECT& r, TcxBorders borders, TcxButtonState state,
                          const TcxContentText& content) const override;
  void PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const override;
  TcxBorders HeaderOpenSides(TcxNeighbors neighbors) const override;
  int HeaderFrameWidth() const override;
  bool HeaderHotTracks() const override;
  TColor FooterSeparatorColor() const override;
  // The themed scroll bar when visual styles can be used for it, else the
  // Standard one.
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintSizeGrip(TcxCanvas* canvas, const RECT& r, TColor backgroundColor) const override;
  void PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text, TcxBorders borders,
                        const TcxViewParams& viewParams, TcxHeaderArrows arrows, int arrowAreaWidth,
                        const TcxCustomDrawBackgroundEvent& onCustomDraw = {}) const override;
  void PaintPlannerFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect, bool isNext,
                          TcxButtonState state) const override;
  // The parent's picture (colorFrom clDefault), a fill (colorTo clDefault)
  // or a vertical gradient.
  void PaintPanelBackdrop(TcxCanvas* canvas, TControl* control, const RECT& r, TColor colorFrom,
                          TColor colorTo = clDefault) const override;
  TColor FilterButtonFrameColor(TcxButtonState state) const override;
  TColor TabEdgeLightColor() const override;
  TColor TabEdgeDarkColor() const override;
  TColor FrameHighlightColor() const override;

  // --- the header's colours ---
  virtual TColor HeaderLowerColor() const;
  virtual TColor HeaderShadowEdgeColor() const;
  virtual TColor HeaderLightEdgeColor() const;
  virtual TColor HeaderUpperColor() const;
};
