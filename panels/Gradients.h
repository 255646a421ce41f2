// The panel family's gradient painter. A gradient is painted once off screen
// and drawn on the canvas in one go: the linear kinds compute one 8-pixel
// strip and copy it across by doubling copies, the box kinds compute one
// quadrant and mirror it, and runs of one colour are filled as one band. The
// linear and box kinds are computed in memory that the painting thread keeps
// for the next gradient; the diagonal kinds draw their band polygons in a
// temporary bitmap.
#pragma once

#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "platform/Win32.h"

enum class TGradientDirection {
  gdDiagonalUp, gdDiagonalDown, gdHorizontalEnd, gdHorizontalCenter, gdHorizontalBox, gdVerticalEnd,
  gdVerticalCenter, gdVerticalBox, gdSquareBox, gdBigSquareBox
};
using enum TGradientDirection;

// The entry every control uses: RenderGradient with one band per colour step.
void FillGradient(TCanvas* canvas, const RECT& r, TGradientDirection direction, TColor startColor,
                  TColor endColor);
// Paints nothing when the rectangle is empty in either direction; a reversed
// rectangle paints its absolute size at its (Left, Top).
void RenderGradient(TCanvas* canvas, const RECT& r, TGradientDirection direction, TColor startColor,
                    TColor endColor, int bandMerge);
