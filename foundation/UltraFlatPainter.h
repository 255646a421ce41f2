// The UltraFlat look: single-colour one-pixel frames and the highlight
// colours on hover and press. The root look and feel's kind, so it draws
// every control that does not ask for another look.
#pragma once

#include "foundation/LookAndFeelPainter.h"

class TcxUltraFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  static const TcxUltraFlatLookAndFeelPainter Instance;
  constexpr TcxUltraFlatLookAndFeelPainter() = default;

  const char* PainterName() const override;
  TcxLookAndFeelPainterClass ParentPainter() const override;

  uint8_t StyleCode() const override;
  TColor PlannerFrameColor() const override;
  int FrameThickness() const override;
  void PaintFrame(TcxCanvas* canvas, const RECT& r) const override;
  int ButtonFrameWidth(TcxButtonState state) const override;
  TColor ButtonFillColor(TcxButtonState state) const override;
  bool ButtonFocusRectangle(TcxCanvas* canvas, const RECT& buttonRect, RECT& focusRect) const override;
  RECT ButtonGroupFrameSizes(int count, int index) const override;
  int ButtonTextIndent() const override;
  int PressedTextShift() const override;
  TColor ButtonSymbolColor(TcxButtonState state, TColor defaultColor = clDefault) const override;
  TcxButtonState ButtonSymbolState(TcxButtonState state) const override;
  void PaintButtonFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintGroupedButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state, int count, int index,
                          TColor backgroundColor) const override;
  void PaintButtonGroupFrame(TcxCanvas* canvas, const RECT& r, bool first, bool second) const override;
  void PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color = clDefault) const override;
  int ExpandButtonExtent() const override;
  bool ButtonHotTracks() const override;
  void PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
  void PaintHeaderCellFramed(TcxCanvas* canvas, const RECT& r, const RECT& textRect, TcxNeighbors neighbors,
                             TcxBorders borders, TcxButtonState state, const TcxContentText& content,
                             const TcxCustomDrawBackgroundEvent& onCustomDraw = {},
                             bool isLast = false) const override;
  void PaintHeaderSectionFrame(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                               TcxButtonState state) const override;
  void PaintHeaderSectionContent(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                 const TcxContentText& content) const override;
  void PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const override;
  POINT SortMarkSize() const override;
  TcxBorders HeaderOpenSides(TcxNeighbors neighbors) const override;
  int HeaderFrameWidth() const override;
  TcxBorders FooterSides() const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellSpacing() const override;
  void PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintFooterCellFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintFilterDropButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  SIZE FilterCloseButtonSize() const override;
  void PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool selected, bool vertical) const override;
  void PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const override;
  int TabFrameWidth() const override;
  // As the Flat look, but a part under the mouse is drawn hot and the arrow
  // is not moved inside the frame.
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintNavButtonFace(TcxCanvas* canvas, const RECT& r, const RECT& arrowRect, bool isNext,
                          TcxButtonState state) const override;
  void PaintPlannerNavigatorButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const override;

  // --- the look's own colours ---
  // The frame of a filter drop button in a state.
  virtual TColor FilterButtonFrameColor(TcxButtonState state) const;
  virtual TColor TabEdgeLightColor() const;
  virtual TColor TabEdgeDarkColor() const;
  // The frame of a hot or pressed element.
  virtual TColor FrameHighlightColor() const;
};
