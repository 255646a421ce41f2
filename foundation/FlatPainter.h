// The Flat look: one-pixel 3-D edges.
#pragma once

#include "foundation/LookAndFeelPainter.h"

class TcxFlatLookAndFeelPainter : public TcxCustomLookAndFeelPainter {
public:
  static const TcxFlatLookAndFeelPainter Instance;
  constexpr TcxFlatLookAndFeelPainter() = default;

  const char* PainterName() const override;
  TcxLookAndFeelPainterClass ParentPainter() const override;

  uint8_t StyleCode() const override;
  int FrameThickness() const override;
  void PaintFrame(TcxCanvas* canvas, const RECT& r) const override;
  int ButtonFrameWidth(TcxButtonState state) const override;
  int ButtonTextIndent() const override;
  int PressedTextShift() const override;
  void PaintButtonFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintExpandButton(TcxCanvas* canvas, const RECT& r, bool expanded, TColor color = clDefault) const override;
  int ExpandButtonExtent() const override;
  bool ButtonHotTracks() const override;
  void PaintCheckFrame(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintHeaderFrame(TcxCanvas* canvas, const RECT& r, TcxNeighbors neighbors, TcxBorders borders) const override;
  void PaintHeaderSectionFrame(TcxCanvas* canvas, const RECT& r, TcxBorders borders,
                               TcxButtonState state) const override;
  void PaintSortMark(TcxCanvas* canvas, const RECT& r, bool ascending) const override;
  POINT SortMarkSize() const override;
  int HeaderFrameWidth() const override;
  int FooterFrameWidth() const override;
  int FooterCellFrameWidth() const override;
  int FooterCellSpacing() const override;
  void PaintFooterFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintFooterCellFrame(TcxCanvas* canvas, const RECT& r) const override;
  void PaintFilterDropButton(TcxCanvas* canvas, const RECT& r, TcxButtonState state) const override;
  void PaintTabFrame(TcxCanvas* canvas, const RECT& r, bool selected, bool vertical) const override;
  void PaintTabArea(TcxCanvas* canvas, const RECT& r, TcxBorders borders) const override;
  int TabFrameWidth() const override;
  // Arrows and thumb as flat push buttons (a hot part drawn normal).
  void PaintScrollBarPart(TcxCanvas* canvas, bool horizontal, const RECT& r, TcxScrollBarPart part,
                          TcxButtonState state) const override;
  void PaintPlannerSplitterFrame(TcxCanvas* canvas, const RECT& r) const override;
};
