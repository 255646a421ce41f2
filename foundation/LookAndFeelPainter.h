// The painter interface: one stateless class per visual style that draws the
// standard elements of the library's controls (buttons, arrows, frames,
// check boxes, headers, footers, scroll-bar parts, size grips, editor
// buttons, calendar parts) and answers their metrics and colours. A painter
// is never created by its user: each class has one static instance, and a
// painter reference is a `const TcxCustomLookAndFeelPainter*` that a control
// asks its look and feel for whenever it draws. The base class gives every
// operation a neutral default; the looks (Standard, Flat, UltraFlat, Office
// 2003, WinXP) override what they draw differently.
#pragma once

#include "foundation/Canvas.h"
#include "foundation/LookAndFeelTypes.h"
#include "platform/Control.h"
#include "platform/ImageList.h"

class TcxCustomLookAndFeelPainter;
// Days since 30 December 1899 (as platform/DateTime.h, which this header
// leaves out: its Now() would clash with its includers' own).
using TDateTime = double;
// A painter reference: the static instance of a painter class.
using TcxLookAndFeelPainterClass = const TcxCustomLookAndFeelPainter*;

// The two arrows a month header may show.
using TcxHeaderArrows = TSet<TcxArrowDirection, 4>;

class TcxCustomLookAndFeelPainter {
public:
  static const TcxCustomLookAndFeelPainter Instance;

  constexpr TcxCustomLookAndFeelPainter() = default;
  TcxCustomLookAndFeelPainter(const TcxCustomLookAndFeelPainter&) = delete;
  TcxCustomLookAndFeelPainter& operator=(const TcxCustomLookAndFeelPainter&) = delete;
  virtual ~TcxCustomLookAndFeelPainter() = default;

  // The painter class's name ("TcxStandardLookAndFeelPainter").
  virtual const char* PainterName() const;
  // The instance of the class this painter's class derives from (null for the base).
  virtual TcxLookAndFeelPainterClass ParentPainter() const;
  // Whether this painter is `painter` or one of its descendants.
  bool InheritsFrom(TcxLookAndFeelPainterClass painter) const;

  // The three corners of an arrow triangle in `r`: with `proportional` the
  // rectangle is first made square around its centre; an arrow size of 0
  // takes a quarter of the rectangle's breadth.
  static void ComputeArrowTriangle(const RECT& r, int arrowSize, bool proportional, TcxArrowDirection direction,
                                   POINT (&points)[3]);

  // --- backgrounds and content ---
  // A solid fill in the colour, or the bitmap tiled when transparent.
  virtual void PaintBackdrop(TcxCanvas* canvas, const RECT& r, bool transparent, TColor color, TBitmap* bitmap) const;
  // A small filled triangle pointing down, centred in the rectangle.
  virtual void PaintDropArrowGlyph(TcxCanvas* canvas, const RECT& r, TColor color) const;
  // The fill (unless the handler draws it) and the text in `textRect`.
  virtual void PaintContentArea(TcxCanvas* canvas, const RECT& r, const RECT& textRect, TcxButtonState state,
                                const TcxContentText& content, const TcxCustomDrawBackgroundEvent& onCustomDraw,
                                bool fullFill) const;
  // The face of a navigation button with its arrow.
  virtual void PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect, bool isNext,
                                  TcxButtonState state) const;
  virtual RECT FooterCellInnerBounds(const RECT& bounds) const;
  virtual RECT FooterCellTextBounds(const RECT& bounds) const;
  // The look's code: 0 flat, 1 standard, 2 ultra-flat, 3 native, 4 Office 2003.
  virtual uint8_t StyleCode() const;

  // --- colours ---
  virtual TColor ContentFillColor() const;
  virtual TColor EvenRowFillColor() const;
  virtual TColor OddRowFillColor() const;
  virtual TColor ContentTextColor() const;
  virtual TColor EditorFillColor(bool disabled) const;
  virtual TColor EditorFontColor(bool disabled) const;
  virtual TColor FilterBarFillColor() const;
  virtual TColor FilterBarTextColor() const;
  virtual TColor FixedLineColor() const;
  virtual TColor FooterFillColor() const;
  virtual TColor FooterTextColor() const;
  virtual TColor DetailAreaFillColor() const;
  virtual TColor GridLinePenColor() const;
  virtual TColor GroupingPanelFillColor() const;
  virtual TColor GroupingPanelTextColor() const;
  virtual TColor GroupRowFillColor() const;
  virtual TColor GroupRowTextColor() const;
  virtual TColor HeaderStripFillColor() const;
  virtual TColor HeaderStripTextColor() const;
  virtual TColor HeaderFillColor() const;
  virtual TColor HeaderTextColor() const;
  virtual TColor LinkTextColor() const;
  virtual TColor InactiveFillColor() const;
  virtual TColor InactiveTextColor() const;
  virtual TColor PreviewTextColor() const;
  virtual TColor RecordDividerColor() const;
  // The corner between two scroll bars.
  virtual TColor SizeGripFillColor() const;
  virtual TColor CategoryRowFillColor() const;
  virtual TColor CategoryRowTextColor() const;
  virtual TColor CellLineColor() const;
  virtual TColor BandLineColor() const;
  // The date navigator's header.
  virtual TColor CalendarHeaderFillColor() const;
  virtual TColor CalendarSelectionFillColor() const;
  virtual TColor CalendarSelectionTextColor() const;
  virtual TColor PlannerFillColor() const;
  virtual TColor PlannerTextColor() const;
  virtual TColor PlannerFrameColor() const;
  virtual TColor PlannerControlFillColor() const;
  virtual TColor PlannerHeaderFillColor() const;
  virtual TColor PlannerViewFillColor() const;
  // Text on a selected planner item: what PlannerSelectionTextColor answers.
  virtual TColor PlannerItemSelectionTextColor(bool selected, bool focused) const;
  virtual TColor PlannerContentTextColor() const;
  virtual TColor PlannerSelectionFillColor() const;
  virtual TColor PlannerSelectionTextColor(bool selected, bool focused) const;
  virtual TColor PlannerHeaderBorderColor() const;
  virtual TColor TabFillColor() const;
  virtual TColor TabTextColor() const;
  virtual TColor TabAreaFillColor() const;
  virtual TColor TabBorderLightColor() const;
  virtual TColor TabBorderDarkColor() const;
  virtual TColor TimeRulerMinorColor() const;
  virtual TColor TimeRulerTextColor() const;
  virtual TColor TimeSelectionBarColor() const;
  virtual TColor TimeMarkerColor() const;
  virtual TColor TimeRulerLineColor() const;
  virtual TColor TimeRulerMajorColor() const;
  virtual TColor ChartGridColor() const;
  virtual TColor ChartBackgroundColor() const;
  virtual TColor ChartInfoFrameColor() const;
  virtual TColor ChartSelectionFillColor() const;
  virtual TColor ChartSelectionFrameColor() const;
  virtual TColor ChartAxisColor() const;
  virtual TColor ChartLegendFrameColor() const;

  // --- arrows ---
  // A filled triangle (proportional, size from the rectangle).
  virtual void PaintArrowGlyph(TcxCanvas* canvas, const RECT& r, TcxArrowDirection direction, TColor color) const;
  // An arrow on a button face, with the button's frame when `withFrame`.
  virtual void PaintArrowWithFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                   TcxArrowDirection direction, bool withFrame) const;
  // A button face and frame for an arrow.
  virtual void PaintArrowFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
  // A bare arrow in the state's look: shifted when pressed, embossed when disabled.
  virtual void PaintStateArrow(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                               TcxArrowDirection direction) const;

  // --- frames ---
  virtual int FrameThickness() const;
  virtual void PaintFrame(TcxCanvas* canvas, const RECT& r) const;
  // A button's painted extent, which may exceed its rectangle.
  virtual RECT ButtonOuterBounds(const RECT& r) const;

  // --- buttons ---
  // The width of the frame PaintButtonFrame draws.
  virtual int ButtonFrameWidth(TcxButtonState state) const;
  virtual TColor ButtonFillColor(TcxButtonState state) const;
  // A push button's focus rectangle; answers true when it fell back to the
  // whole button.
  virtual bool ButtonFocusRectangle(TcxCanvas* canvas, const RECT& buttonRect, RECT& focusRect) const;
  // The frame widths of button `index` of `count` in a group (left, top,
  // right, bottom).
  virtual RECT ButtonGroupFrameSizes(int count, int index) const;
  virtual int ButtonTextIndent() const;
  // How far a pressed button's content moves right and down.
  virtual int PressedTextShift() const;
  // The colour of a button's caption and symbols; clDefault takes clBtnText.
  virtual TColor ButtonSymbolColor(TcxButtonState state, TColor defaultColor = clDefault) const;
  virtual TcxButtonState ButtonSymbolState(TcxButtonState state) const;
  // A push button: frame, face and caption.
  virtual void PaintButton(TcxCanvas* canvas, const RECT& r, const AnsiString& caption, TcxButtonState state,
                           bool withFrame = true, TColor fillColor = clDefault, TColor textColor = clDefault,
                           bool wordWrap = false) const;
  // One button of a group.
  virtual void PaintGroupedButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state, int count, int index,
                                  TColor backgroundColor) const;
  virtual void PaintButtonFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
  // The frame around a group of buttons.
  virtual void PaintButtonGroupFrame(TcxCanvas* canvas, const RECT& r, bool first, bool second) const;

  // --- expand buttons ---
  // A tree's plus/minus box; its rectangle is then excluded from the clip area.
  virtual void PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color = clDefault) const;
  virtual bool ExpandButtonGoesFirst() const;
  // A group's chevron button.
  virtual void PaintGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TcxButtonState state) const;
  virtual void PaintSmallExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor frameColor,
                                      TColor fillColor = clDefault) const;
  virtual int ExpandButtonExtent() const;
  virtual int GroupExpandButtonExtent() const;
  // Whether buttons change their look under the mouse.
  virtual bool ButtonHotTracks() const;
  virtual bool IsPointOnGroupExpandButton(const RECT& r, POINT p) const;
  virtual int SmallExpandButtonExtent() const;

  // --- check boxes and radio buttons ---
  virtual int CheckFrameWidth() const;
  virtual TColor CheckFillColor(TcxButtonState state) const;
  // The system check box's glyph size, measured at start-up.
  virtual SIZE CheckBoxGlyphSize() const;
  virtual void PaintCheckMark(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked,
                              TColor color) const;
  virtual void PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
  virtual void PaintCheckBoxChecked(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked) const;
  // A check-box glyph: frame, background and mark.
  virtual void PaintCheckBox(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                             TcxCheckBoxState checkState) const;
  // A radio button's image at (x, y) over the brush colour (clDefault: the
  // canvas's own pixels).
  virtual void PaintRadioButton(TcxCanvas* canvas, int x, int y, TcxButtonState state, bool checked, bool focused,
                                TColor brushColor, bool designing = false) const;
  virtual SIZE RadioButtonExtent() const;

  // --- headers ---
  // A header cell: frame, fill and text. `isLast` marks a cell at the right edge.
  virtual void PaintHeaderCell(TcxCanvas* canvas, const RECT& r, const RECT& textRect, TcxNeighbors neighbors,
                               TcxBorders borders, TcxButtonState state, const TcxContentText& content,
                               const TcxCustomDrawBackgroundEvent& onCustomDraw = {}, bool isLast = false) const;
  virtual void PaintHeaderCellFramed(TcxCanvas* canvas, const RECT& r, const RECT& textRect, TcxNeighbors neighbors,
                                     TcxBorders borders, TcxButtonState state, const TcxContentText& content,
                                     const TcxCustomDrawBackgroundEvent& onCustomDraw = {},
                                     bool isLast = false) const;
  virtual void PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const;
  virtual void PaintHeaderPressed(TcxCanvas* canvas, const RECT& r) const;
  // A header section: frame, content and text.
  virtual void PaintHeaderSection(TcxCanvas* canvas, const RECT& r, TcxBorders borders, TcxButtonState state,
                                  const TcxContentText& content) const;
  virtual void PaintHeaderSectionFrame(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                                       TcxButtonState state) const;
  virtual void PaintHeaderSectionContent(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                         const TcxContentText& content) const;
  virtual void PaintHeaderSectionText(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                      const TcxContentText& content) const;
  // A horizontal separator: indent strips in the view parameters, the middle in the colour.
  virtual void PaintHeaderSeparator(TcxCanvas* canvas, const RECT& r, int indent, TColor color,
                                    const TcxViewParams& viewParams) const;
  virtual void PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const;
  // The borders a cell with these neighbours draws itself.
  virtual TcxBorders HeaderOpenSides(TcxNeighbors neighbors) const;
  virtual int HeaderFrameWidth() const;
  virtual RECT HeaderOuterBounds(const RECT& bounds, TcxNeighbors neighbors, TcxBorders borders) const;
  virtual RECT HeaderContentBounds(const RECT& bounds, TcxBorders borders) const;
  virtual bool HeaderCellsGoFirst() const;
  virtual int HeaderHeightFor(int fontHeight) const;
  virtual int HeaderSectionFrameWidth(TcxButtonState state) const;
  virtual RECT HeaderSectionTextBounds(const RECT& bounds, TcxButtonState state) const;
  virtual RECT HeaderSectionContentBounds(const RECT& bounds, TcxButtonState state) const;
  virtual int HeaderWidthFor(TcxCanvas* canvas, TcxBorders borders, const AnsiString& text, TFont* font) const;
  virtual bool HeaderHotTracks() const;
  virtual POINT SortMarkAreaSize() const;
  virtual POINT SortMarkSize() const;

  // --- grouping panel, footer and filter ---
  virtual void PaintGroupingPanel(TcxCanvas* canvas, const RECT& r, bool transparent, TColor color,
                                  TBitmap* bitmap) const;
  virtual TcxBorders FooterSides() const;
  virtual int FooterFrameWidth() const;
  virtual int FooterCellFrameWidth() const;
  virtual int FooterCellSpacing() const;
  virtual bool FooterCellsGoFirst() const;
  virtual TColor FooterSeparatorColor() const;
  virtual int FooterSeparatorWidth() const;
  virtual void PaintFooterCell(TcxCanvas* canvas, const RECT& r, const TcxContentText& content) const;
  virtual void PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const;
  virtual void PaintFooterCellFrame(TcxCanvas* canvas, const RECT& r) const;
  virtual void PaintFooterContent(TcxCanvas* canvas, const RECT& r, const TcxViewParams& viewParams) const;
  virtual void PaintFooterSeparator(TcxCanvas* canvas, const RECT& r) const;
  virtual void PaintFilterActivator(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool checked) const;
  // The close button of a filter bar or a date navigator.
  virtual void PaintFilterCloseButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
  virtual void PaintFilterDropButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
  virtual void PaintFilterPanel(TcxCanvas* canvas, const RECT& r, bool transparent, TColor color,
                                TBitmap* bitmap) const;
  virtual SIZE FilterActivatorSize() const;
  virtual SIZE FilterCloseButtonSize() const;
  virtual SIZE FilterDropButtonSize() const;

  // --- windows, tabs and indicators ---
  virtual void PaintWindowArea(TcxCanvas* canvas, const RECT& r) const;
  virtual bool PopupFrameIsFlat() const;
  // A tab with its caption.
  virtual void PaintTab(TcxCanvas* canvas, const RECT& r, const AnsiString& caption, TcxButtonState state,
                        bool selected, bool vertical) const;
  virtual void PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool selected, bool vertical) const;
  // The pane under the tabs, framed on its borders.
  virtual void PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const;
  virtual bool IsTabPaintingSupported() const;
  virtual bool TabHotTracks() const;
  virtual int TabFrameWidth() const;
  virtual void PaintIndicatorMark(TcxCanvas* canvas, const RECT& r, TColor color) const;
  // Glyph kind 1 to 6 (0 none): arrow, edit, insert, multi-dot, multi-arrow, filter.
  virtual void PaintIndicatorGlyph(TcxCanvas* canvas, const RECT& r, int kind) const;
  virtual void PaintIndicatorCell(TcxCanvas* canvas, const RECT& r, int kind, TcxNeighbors neighbors,
                                  TcxBorders borders, TColor fillColor) const;
  virtual void PaintIndicatorCellFramed(TcxCanvas* canvas, const RECT& r, int kind, TcxNeighbors neighbors,
                                        TcxBorders borders, TColor fillColor) const;
  virtual bool IndicatorCellsGoFirst() const;

  // --- scroll bar and size grip ---
  virtual int ScrollThumbMinSize(bool vertical) const;
  virtual void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                                  TcxButtonState state) const;
  virtual SIZE SizeGripExtent() const;
  virtual void PaintSizeGrip(TcxCanvas* canvas, const RECT& r, TColor backgroundColor) const;

  // --- planner, calendar and clock ---
  // A navigation button placed at the left (previous) or right (next) of
  // the bounds, and its arrow's rectangle inside it.
  virtual void PlannerNavButtonRects(const RECT& bounds, bool isNext, RECT& buttonRect, RECT& arrowRect) const;
  virtual void NavButtonSizes(SIZE& buttonSize, SIZE& arrowSize) const;
  virtual void PaintNavButtonText(TcxCanvas* canvas, const RECT& r, const AnsiString& text) const;
  virtual void PaintNavButtonArrow(TcxCanvas* canvas, const RECT& r, bool isNext, TcxButtonState state) const;
  // A calendar month's title with its arrows in areas of `arrowAreaWidth` at either side.
  virtual void PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text, TcxBorders borders,
                                const TcxViewParams& viewParams, TcxHeaderArrows arrows, int arrowAreaWidth,
                                const TcxCustomDrawBackgroundEvent& onCustomDraw = {}) const;
  virtual void PaintPlannerFrame(TcxCanvas* canvas, const RECT& r) const;
  // A progress bar filled to `percent`.
  virtual void PaintProgressMark(TcxCanvas* canvas, const RECT& r, int percent) const;
  virtual int ProgressMarkInsets() const;
  virtual void PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
  virtual void PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const;
  virtual int ChartInfoFrameWidth() const;
  // An analogue clock showing `time` over the background colour.
  virtual void PaintClockFace(TcxCanvas* canvas, const RECT& r, TDateTime time, TColor backgroundColor) const;

  // --- editor buttons and containers ---
  virtual void PaintEditorButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const;
  virtual int EditorButtonTextIndent() const;
  virtual SIZE EditorButtonExtent() const;
  virtual TColor EditorButtonTextColor() const;
  // An editor container's frame colour; clDefault lets the container choose.
  virtual TColor ContainerFrameColor(bool highlighted) const;
  virtual void PaintNavigatorGlyph(TcxCanvas* canvas, TCustomImageList* images, int index, const RECT& r,
                                   bool enabled) const;
  virtual SIZE NavigatorGlyphSize() const;

  // --- progress bars, group boxes, panels, track bars and splitters ---
  virtual void PaintProgressFrame(TcxCanvas* canvas, const RECT& r, bool vertical) const;
  virtual void PaintProgressChunk(TcxCanvas* canvas, const RECT& r, bool vertical) const;
  virtual RECT ProgressFrameWidths(bool vertical) const;
  virtual TColor ProgressTextColor() const;
  virtual void PaintGroupBoxBackdrop(TcxCanvas* canvas, TControl* control, const RECT& r, TColor colorFrom,
                                     TColor colorTo) const;
  virtual void PaintGroupBoxCaption(TcxCanvas* canvas, const RECT& r, const AnsiString& caption) const;
  virtual void PaintGroupBoxContent(TcxCanvas* canvas, const RECT& r) const;
  virtual RECT GroupBoxFrameWidths() const;
  virtual TColor GroupBoxTextColor() const;
  virtual bool GroupBoxIsTransparent() const;
  // A panel's background: the parent's picture, a fill or a vertical gradient.
  virtual void PaintPanelBackdrop(TcxCanvas* canvas, TControl* control, const RECT& r, TColor colorFrom,
                                  TColor colorTo = clDefault) const;
  virtual void PaintPanelFrame(TcxCanvas* canvas, const RECT& r) const;
  virtual void PaintPanelCaption(TcxCanvas* canvas, const RECT& r, const AnsiString& caption) const;
  virtual void PaintPanelContent(TcxCanvas* canvas, const RECT& r) const;
  virtual RECT PanelFrameWidths() const;
  virtual TColor PanelTextColor() const;
  virtual void PaintTrackBar(TcxCanvas* canvas, const RECT& r, bool horizontal) const;
  virtual void PaintTrackBarThumb(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool horizontal) const;
  virtual SIZE TrackBarThumbSize(bool horizontal) const;
  virtual TColor TrackBarTickColor() const;
  virtual int TrackBarTrackWidth() const;
  virtual void PaintSplitter(TcxCanvas* canvas, const RECT& r, TcxButtonState state, bool horizontal) const;
  virtual SIZE SplitterSize(bool horizontal) const;

protected:
  // A filled triangle from ComputeArrowTriangle in one colour.
  static void FillTriangle(TcxCanvas* canvas, const POINT (&points)[3], TColor color);
  // The plus or minus sign of an expand button in `color`.
  static void PaintExpandSign(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color);
  // The month arrows of a calendar header in `color`.
  void PaintMonthArrows(TcxCanvas* canvas, const RECT& r, TcxHeaderArrows arrows, int arrowAreaWidth,
                        TColor color) const;
  // A one-pixel frame in one colour.
  static void FrameWithColor(TcxCanvas* canvas, const RECT& r, TColor color);
  // A page area of a scroll bar: the checker bitmap, darker when pressed.
  static void PaintScrollBarPageArea(TcxCanvas* canvas, const RECT& r, bool pressed);
  // Scroll-bar arrows and thumbs as push buttons with a bare arrow: the flat
  // looks' way. `hotTracks` draws a hot part hot; `shrinkBeforeArrow` puts
  // the arrow inside the button's frame.
  void PaintButtonScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                                TcxButtonState state, bool hotTracks, bool shrinkBeforeArrow) const;
  // A sort mark of `size` centred in `r`: a triangle outlined with its lit
  // edges in `lightColor` and its shaded ones in `shadowColor`.
  static void PaintSortArrow(TcxCanvas* canvas, const RECT& r, bool ascending, POINT size, TColor lightColor,
                             TColor shadowColor);
};
