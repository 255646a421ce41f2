// The panel family's frames, drop arrow, rotated fonts, parent background for
// transparent controls and small platform queries. Every frame painter
// answers the rectangle left inside what it drew.
#pragma once

#include "panels/ColorHelpers.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"
#include "platform/Set.h"
#include "platform/Win32.h"

class TControl;
class TWinControl;
class TFont;
class TMonitor;

enum class TFrameStyle {
  fsNone, fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised, fsButtonUp, fsStatus, fsPopup, fsFlatBold,
  fsFlatRounded
};
using enum TFrameStyle;
// The panels' BorderOuter/BorderInner type: the same twelve values.
using TFrameStyleEx = TFrameStyle;

enum class TSide { sdLeft, sdTop, sdRight, sdBottom };
using enum TSide;
using TSides = TSet<TSide, 4>;
inline const TSides sdAllSides{sdLeft, sdTop, sdRight, sdBottom};

enum class TRzVisualStyle { vsClassic, vsWinXP, vsGradient };
using enum TRzVisualStyle;
enum class TRzGroupBarGradientPath { gpTopToBottom, gpBottomToTop };
using enum TRzGroupBarGradientPath;

enum class TRzEdge3D { e3dRaised, e3dLowered };
using enum TRzEdge3D;
enum class TRzButtonEdge { beUp, beDown };
using enum TRzButtonEdge;

// One-pixel sides: left and top in `ulColor`, right and bottom (at Right - 1,
// Bottom - 1) in `lrColor`. clNone draws nothing; the rectangle still shrinks
// by one on each side named.
RECT PaintSides(TCanvas* canvas, RECT r, TColor ulColor, TColor lrColor, TSides sides);
RECT PaintBevelRings(TCanvas* canvas, RECT r, TColor ulColor, TColor lrColor, int count, TSides sides);
RECT Paint3DEdge(TCanvas* canvas, RECT r, TRzEdge3D edge, TSides sides);
RECT PaintButtonEdge(TCanvas* canvas, RECT r, TRzButtonEdge edge, TSides sides);
RECT PaintFrameSides(TCanvas* canvas, RECT r, TFrameStyle style, TSides sides);
RECT PaintStyleFrame(TCanvas* canvas, RECT r, TFrameStyle style);
RECT PaintTintedFrameSides(TCanvas* canvas, RECT r, TColor faceColor, TFrameStyle style, TSides sides);
RECT PaintTintedFrame(TCanvas* canvas, RECT r, TColor faceColor, TFrameStyle style);
RECT PaintBox(TCanvas* canvas, RECT r, TColor color);
void PaintBoxCorners(TCanvas* canvas, RECT r, TColor color, int armLength);
RECT PaintRoundedFlatFrame(TCanvas* canvas, RECT r, TColor color, TSides sides);

// The border of every panel: outer style, border-width rings, inner style.
struct TRzInnerOuterFrame {
  TFrameStyle Outer = fsNone;
  TFrameStyle Inner = fsNone;
  TSides Sides = sdAllSides;
  bool Transparent = false;
  TColor ParentColor = clBtnFace;
  TColor Color = clBtnFace;
  TColor FlatColor = clBtnShadow;
  int FlatColorAdjustment = 30;
  TColor BorderColor = clBtnFace;
  TColor BorderHighlight = clBtnHighlight;
  TColor BorderShadow = clBtnShadow;
  int BevelWidth = 1;
  int BorderWidth = 0;
};
RECT PaintInnerOuterFrames(TCanvas* canvas, RECT r, const TRzInnerOuterFrame& frame);

// Frames the whole window rectangle (0, 0, width, height) of a control.
void PaintControlFrame(TCanvas* canvas, int width, int height, TFrameStyle style, TColor faceColor,
                       TColor frameColor, TSides sides, bool noClear);

void PaintGroupBarBackground(TCanvas* canvas, const RECT& r, TRzVisualStyle visualStyle,
                             TRzGradientColorStyle colorStyle, TRzGroupBarGradientPath path, TColor customStart,
                             TColor customStop);

// UI style 0 classic, 1 themed, 2 flat (forced on Windows 6 and later).
void PaintDropArrow(TCanvas* canvas, const RECT& r, int uiStyle, bool enabled);

// A new font turned by `angle` degrees; the caller owns the handle (keep it
// in a TGdiObject).
HFONT CreateAngledFont(TFont* font, int angle);

// Lets a transparent control show its parent: the parent erases and paints
// its client area into `dc`, shifted to the control's position.
void PaintParentBackground(TControl* control, HDC dc, bool invalidate);

// The 8 x 8 pattern of alternating pixels as a brush (the caller owns it):
// drawn in the DC's text colour and background colour.
TGdiObject CreateDotPatternBrush();
// Fills `r` with that pattern in two colours.
void FillDotPattern(HDC dc, const RECT& r, TColor first, TColor second);

RECT RectCenteredIn(const RECT& outer, int width, int height);
int DrawTextOnCanvas(TCanvas* canvas, const AnsiString& text, RECT& r, UINT flags);

// 0 any 32-bit Windows, 1 NT 4, 2 Windows 98, 3 Me or 2000, 4 NT 5, 5 XP,
// 6 Server 2003, 7 Vista and later; any other level is false.
bool WindowsLevelReached(int level);
RECT ActiveMonitorWorkArea(HWND wnd);
int ActiveMonitorWorkAreaWidth(HWND wnd);
RECT MonitorWorkRect(TMonitor* monitor);
RECT MonitorFullRect(TMonitor* monitor);
// The first of the screen's monitors that holds the point; null when none.
TMonitor* MonitorAtPoint(POINT p);
void RedrawFrameIfVisible(HWND wnd, const RECT& r);
// Invalidates each child that publishes Transparent and has it True.
void InvalidateTransparentChildren(TWinControl* container);
// Tells the designer of the control's form that the form changed: only at
// design time, and not while the control loads, reads, writes, is destroyed,
// updates or fixes up references.
void NotifyDesignerModified(TControl* control);
