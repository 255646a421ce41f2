// The Standard look: the classic raised and sunken 3-D elements drawn from
// the system colours.
#pragma once

#include "foundation/LookAndFeelPainter.h"

class TcxStandardLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  static const TcxStandardLookAndFeelPainter Instance;
  constexpr TcxStandardLookAndFeelPainter() = default;

  const char* PainterName() const override;
  TcxLookAndFeelPainterClass ParentPainter() const override;

  TColor PlannerViewFillColor() const override;
  int FrameThickness() const override;
  // Sunken: button shadow and highlight outside, dark shadow and light inside.
  void PaintFrame(TcxCanvas* canvas, const RECT& r) const override;
  int ButtonFrameWidth(TcxButtonState state) const override;
  int ButtonTextIndent() const override;
  int PressedTextShift() const override;
  void PaintButtonFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color = clDefault) const override;
  void PaintGroupExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TcxButtonState state) const override;
  int ExpandButtonExtent() const override;
  bool ButtonHotTracks() const override;
  void PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                               TcxButtonState state) const override;
  void PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const override;
  int HeaderFrameWidth() const override;
  int HeaderSectionFrameWidth(TcxButtonState state) const override;
  POINT SortMarkSize() const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellSpacing() const override;
  void PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintFooterCellFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintFilterDropButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintTab(TcxCanvas* canvas, const RECT& r, const AnsiString& caption, TcxButtonState state, bool selected,
                bool vertical) const override;
  void PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool selected, bool vertical) const override;
  void PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const override;
  int TabFrameWidth() const override;
  // Page areas in the checker bitmaps, the thumb and the system's arrows
  // in a two-pixel border; a disabled thumb is not drawn.
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintMonthHeader(TcxCanvas* canvas, const RECT& r, const AnsiString& text, TcxBorders borders,
                        const TcxViewParams& viewParams, TcxHeaderArrows arrows, int arrowAreaWidth,
                        const TcxCustomDrawBackgroundEvent& onCustomDraw = {}) const override;
  void PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const override;

private:
  static void PaintScrollButtonBorder(TcxCanvas* canvas, const RECT& r, TcxButtonState state,
                                      TcxScrollBarPart part);
};
