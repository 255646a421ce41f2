// The themed look: the painter interface's elements drawn with the system's
// visual styles. Each themed operation asks the theme manager for the theme
// of one themed object kind and, when there is none (themes switched off
// after the painter was chosen, or a class the theme lacks), does exactly
// what the Standard look (or the base, where Standard keeps it) does; its
// fixed values (no pressed shift, hot tracking) still apply.
#pragma once

#include "foundation/StandardPainter.h"
#include "foundation/ThemeManager.h"

class TcxWinXPLookAndFeelPainter : public TcxStandardLookAndFeelPainter {
public:
  static const TcxWinXPLookAndFeelPainter Instance;
  constexpr TcxWinXPLookAndFeelPainter() = default;

  const char* PainterName() const override;
  TcxLookAndFeelPainterClass ParentPainter() const override;

  uint8_t StyleCode() const override;
  void PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect, bool isNext,
                          TcxButtonState state) const override;
  TColor PlannerFrameColor() const override;
  TColor PlannerViewFillColor() const override;
  void PaintArrowGlyph(TcxCanvas* canvas, const RECT& r, TcxArrowDirection direction, TColor color) const override;
  void PaintArrowWithFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state, TcxArrowDirection direction,
                           bool withFrame) const override;
  void PaintArrowFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  int FrameThickness() const override;
  void PaintFrame(TcxCanvas* canvas, const RECT& r) const override;
  RECT ButtonOuterBounds(const RECT& r) const override;
  int ButtonFrameWidth(TcxButtonState state) const override;
  TColor ButtonFillColor(TcxButtonState state) const override;
  bool ButtonFocusRectangle(TcxCanvas* canvas, const RECT& buttonRect, RECT& focusRect) const override;
  RECT ButtonGroupFrameSizes(int count, int index) const override;
  TColor ButtonSymbolColor(TcxButtonState state, TColor defaultColor = clDefault) const override;
  int ButtonTextIndent() const override;
  int PressedTextShift() const override;
  // The themed push button; its colours and word wrapping are not used.
  void PaintButton(TcxCanvas* canvas, const RECT& r, const AnsiString& caption, TcxButtonState state,
                   bool withFrame = true, TColor fillColor = clDefault, TColor textColor = clDefault,
                   bool wordWrap = false) const override;
  void PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color = clDefault) const override;
  bool ExpandButtonGoesFirst() const override;
  void PaintGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TcxButtonState state) const override;
  void PaintSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor frameColor,
                              TColor fillColor = clDefault) const override;
  int ExpandButtonExtent() const override;
  int GroupExpandButtonExtent() const override;
  int SmallExpandButtonExtent() const override;
  bool ButtonHotTracks() const override;
  bool IsPointOnGroupExpandButton(const RECT& r, POINT p) const override;
  int CheckFrameWidth() const override;
  SIZE CheckBoxGlyphSize() const override;
  void PaintCheckMark(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked,
                      TColor color) const override;
  void PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state, bool checked, bool focused,
                        TColor brushColor, bool designing = false) const override;
  SIZE RadioButtonExtent() const override;
  void PaintHeaderCell(TcxCanvas* canvas, const RECT& r, const RECT& textRect, TcxNeighbors neighbors,
                       TcxBorders borders, TcxButtonState state, const TcxContentText& content,
                       const TcxCustomDrawBackgroundEvent& onCustomDraw = {}, bool isLast = false) const override;
  void PaintHeaderPressed(TcxCanvas* canvas, const RECT& r) const override;
  void PaintHeaderSection(TcxCanvas* canvas, const RECT& r, TcxBorders borders, TcxButtonState state,
                          const TcxContentText& content) const override;
  void PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const override;
  POINT SortMarkSize() const override;
  int HeaderFrameWidth() const override;
  int HeaderSectionFrameWidth(TcxButtonState state) const override;
  RECT HeaderSectionContentBounds(const RECT& bounds, TcxButtonState state) const override;
  bool HeaderHotTracks() const override;
  void PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintFooterCell(TcxCanvas* canvas, const RECT& r, const TcxContentText& content) const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellSpacing() const override;
  bool FooterCellsGoFirst() const override;
  void PaintFilterCloseButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintFilterDropButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  SIZE FilterActivatorSize() const override;
  SIZE FilterCloseButtonSize() const override;
  void PaintTab(TcxCanvas* canvas, const RECT& r, const AnsiString& caption, TcxButtonState state, bool selected,
                bool vertical) const override;
  void PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool selected, bool vertical) const override;
  void PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const override;
  bool IsTabPaintingSupported() const override;
  bool TabHotTracks() const override;
  int TabFrameWidth() const override;
  void PaintIndicatorCellFramed(TcxCanvas* canvas, const RECT& r, int kind, TcxNeighbors neighbors,
                                TcxBorders borders, TColor fillColor) const override;
  // The gripper's size, never below 8.
  int ScrollThumbMinSize(bool vertical) const override;
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text, TcxBorders borders,
                        const TcxViewParams& viewParams, TcxHeaderArrows arrows, int arrowAreaWidth,
                        const TcxCustomDrawBackgroundEvent& onCustomDraw = {}) const override;
  void PaintProgressMark(TcxCanvas* canvas, const RECT& r, int percent) const override;
  int ProgressMarkInsets() const override;
  void PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintSizeGrip(TcxCanvas* canvas, const RECT& r, TColor backgroundColor) const override;
  void PaintPanelBackdrop(TcxCanvas* canvas, TControl* control, const RECT& r, TColor colorFrom,
                          TColor colorTo = clDefault) const override;

  // Text through the theme's text drawing in the font and colour given;
  // nothing without text.
  virtual void PaintThemedText(TcxCanvas* canvas, HTHEME theme, int part, int state, const RECT& r,
                               const TcxContentText& content, bool showPrefix) const;

  // The state maps of the themed parts.
  static int PushButtonState(TcxButtonState state);
  static int ScrollPartState(TcxButtonState state);
  static int ScrollArrowState(TcxArrowDirection direction, TcxButtonState state);
  static int HeaderItemState(TcxButtonState state);
  static int CheckPartState(TcxButtonState state, bool checked);
};
