// The Office 2003 look's colours and fills: one palette of 81 colours shared
// by every painter of that look, taken from a fixed table when the system
// runs the standard visual-styles theme in its blue, olive or silver colour
// scheme and mixed from the system colours otherwise; solid brushes of some
// of its entries and three small glyph bitmaps while the palette has users;
// gradient and split-gradient fills, grip dots and small arrow triangles.
// Colours given to these routines may be system colours; palette entries are
// plain RGB values.
#pragma once

#include "foundation/Canvas.h"
#include "foundation/LookAndFeelTypes.h"
#include "platform/Colors.h"
#include "platform/Win32.h"

#include <string>

// The standard theme's colour scheme in force: 0 none, 1 blue, 2 olive, 3 silver.
enum TOffice11Scheme { schNone, schBlue, schOlive, schSilver };

constexpr int Office11PaletteSize = 81;
constexpr int Office11BrushCount = 16;

// The palette's entries by role. The toolbar and menu framework reaches the
// set's colours through these names; the control painters use the same
// entries through the numbers they document.
enum TOffice11ColorRole : int {
  o11DockGradientStart = 0,
  o11DockGradientEnd = 1,
  o11ToolbarGradientLight = 2,
  o11ToolbarGradientDark = 3,
  o11MarkLightNormal = 4,
  o11MarkLightHot = 5,
  o11MarkLightPressed = 6,
  o11MarkDarkNormal = 7,
  o11MarkDarkHot = 8,
  o11MarkDarkPressed = 9,
  o11ToolbarEdge = 10,
  o11ToolbarCorner = 11,
  o11MarkEdgeNormal = 12,
  o11MarkEdgeHot = 13,
  o11MarkEdgePressed = 14,
  o11MarkMiddleNormal = 15,
  o11MarkMiddleHot = 16,
  o11MarkMiddlePressed = 17,
  o11GripDot = 18,
  o11GripShadow = 19,
  o11SeparatorDark = 20,
  o11SeparatorLight = 21,
  o11MarkArrow = 22,
  o11MarkArrowShadow = 23,
  o11FloatingFrame = 24,
  o11FloatingFrameInner = 25,
  o11DetachCaption = 26,
  o11DetachCaptionFrame = 27,
  o11FloatingCaptionText = 28,
  o11DockCaptionText = 29,
  o11DockCaptionTextDisabled = 30,
  o11MenuBackground = 31,
  o11HeaderGradientLight = 32,
  o11HeaderGradientDark = 33,
  o11HeaderHotGradientLight = 34,
  o11HeaderHotGradientDark = 35,
  o11HeaderPressedGradientLight = 36,
  o11HeaderPressedGradientDark = 37,
  o11OwnerFrame = 38,
  o11MenuBackgroundCopy = 39,
  o11Selected = 40,
  o11SelectedFrame = 41,
  o11HotGradientLight = 42,
  o11HotGradientDark = 43,
  o11PressedGradientLight = 44,
  o11PressedGradientDark = 45,
  o11IconColumn = 46,
  o11Checked = 47,
  o11Pressed = 48,
  o11IconColumnLight = 49,
  o11SelectedCopy = 50,
  o11Text = 51,
  o11DisabledText = 52,
  o11OwnerFrameCopy = 53,
  o11DockGradientStartCopy = 54,
  o11GroupingPanel = 55,
  o11FloatingCaptionTextCopy = 56,
  o11ContentFrame = 57,
  o11GroupRow = 58,
  o11CalendarSelection = 59,
  o11PlannerFrame = 60,
  o11PlannerControl = 61,
  o11ScreenTipBackground = 62,
  o11Shadow = 63,
  o11ShadowCorner = 64,
  o11PopupFrame = 65,
  o11GroupCaptionLight = 66,
  o11GroupCaptionDark = 67,
  o11ToggleHotLight = 68,
  o11ToggleHotDark = 69,
  o11CheckedLight = 70,
  o11CheckedDark = 71,
  o11PressedLight = 72,
  o11PressedDark = 73,
  o11DetachFrameLight = 74,
  o11DetachFrameDark = 75,
  o11SelectedText = 76,
  o11DetachFrameLightCopy = 77,
  o11DetachFrameDarkCopy = 78,
  o11ExpandButtonCornerLight = 79,
  o11ExpandButtonCornerDark = 80,
};

// The palette as last computed (entries keep their values after the last
// user has gone).
TColor Office11Color(int entry);
inline TColor Office11Color(TOffice11ColorRole role) { return Office11Color(static_cast<int>(role)); }
TOffice11Scheme CurrentOffice11Scheme();
// Visual styles can be used and a scheme is in force.
bool UsesOffice11SchemeColors();
// The percentage of the split gradient's middle colour (41 blue, 125 olive,
// 40 silver, 75 without a scheme).
int SplitGradientPercent();
// A solid brush of the palette (cell 0 to 15); null while nobody uses it.
HBRUSH Office11Brush(int cell);
// The three glyphs, while the palette has users (else null):
// "DXSUBMENUEXPAND" recoloured to the scheme, and the 11 x 11 expand
// buttons "DXEXPANDBUTTON_MINUS" and "DXEXPANDBUTTON_PLUS".
TBitmap* Office11SubMenuExpandBitmap();
TBitmap* Office11ExpandButtonBitmap(bool expanded);

// Counted use: the first user computes the palette and builds the brushes
// and bitmaps, the last frees them. Recomputing reads the theme and the
// system colours again (and rebuilds the brushes while in use).
void AddOffice11PaletteUser();
void RemoveOffice11PaletteUser();
void RecomputeOffice11Palette();
int Office11PaletteUserCount();

// The scheme of a theme file (with or without its folder) and colour name on
// a system of the given major version: the file must be "LUNA.MSSTYLES"
// before version 6; then "NORMALCOLOR" is blue, "HOMESTEAD" olive and
// "METALLIC" silver (case-insensitive).
TOffice11Scheme Office11SchemeFromThemeName(const std::wstring& themeFile, const std::wstring& colorName,
                                            int majorVersion);
// The scheme of the running system: none when visual styles cannot be used
// or the theme name cannot be read.
TOffice11Scheme DetectOffice11Scheme();

// System button-face tests (high-contrast schemes).
bool ButtonFaceIsBlack();
bool ButtonFaceIsWhite();
bool IsBlackFaceNonWhiteText();

// Colour arithmetic. MixColors: per channel b * (100 - p) / 100 + a * p / 100,
// capped at 255, then the nearest screen colour.
TColor MixColors(TColor a, TColor b, int percent);
// Per channel face * f / 100 + highlight * h / 100 + window * w / 100 of the
// system colours, clamped; the highlight colour when the face is black or
// white. BlendTint is the same over given colours (plain RGB).
TColor BlendSystemTint(int faceWeight, int highlightWeight, int windowWeight);
TColor BlendTint(TColor face, TColor highlight, TColor window, int faceWeight, int highlightWeight,
                 int windowWeight);
TColor GroupCaptionTint(bool lighter);
// The colour the software gradient gives the band holding `position` (an x
// when horizontal, else a y).
TColor GradientColorAt(const RECT& r, int position, TColor color1, TColor color2, bool horizontal);

// Fills on a device context. A colour may be a system colour.
void FillRectWithColor(HDC dc, const RECT& r, TColor color);
void FrameRectWithColor(HDC dc, const RECT& r, TColor color);
// A one-pixel frame in the selected-frame colour, or in the highlight-text
// colour when the button face is black.
void FrameWithOffice11Border(HDC dc, const RECT& r);
// A linear gradient from color1 to color2, along x when horizontal.
void PaintGradientRect(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal);
// The same through the system's GradientFill when bound, else in bands:
// at most 256 of them (exposed for tests).
void PaintSoftwareGradient(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal);
// Line by line from color1 through a middle colour (SplitGradientPercent)
// to color2.
void PaintSplitGradient(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal);
// Grip dots in 4 x 4 cells along the rectangle: right when not `vertical`,
// down when `vertical`. Null brushes take the palette's grip brushes.
void PaintGripDots(HDC dc, const RECT& r, bool vertical, HBRUSH dotBrush = nullptr, HBRUSH shadowBrush = nullptr);
// Three runs of 3, 2 and 1 dots in the bottom-right corner; clDefault takes
// the palette's grip colours.
void PaintSizeGripDots(HDC dc, const RECT& r, TColor dotColor = clDefault, TColor shadowColor = clDefault);

// A filled triangle of size `size` centred in the rectangle (down and right are the
// look's own directions; up and left mirror them). clDefault takes
// the state colours: disabled entry 52, enabled entry 51, white when enabled,
// highlighted and the button face is white.
void PaintArrowTriangle(HDC dc, const RECT& r, int size, TcxArrowDirection direction, TColor color,
                        bool enabled, bool highlighted);
// The size the fitted triangle takes from the rectangle (at least 3).
int FittedArrowTriangleSize(const RECT& r, TcxArrowDirection direction);
void PaintFittedArrowTriangle(HDC dc, const RECT& r, TcxArrowDirection direction, TColor color,
                              bool enabled, bool highlighted);

// The system's GradientFill (msimg32), bound at unit start; null selects the
// banded fill. Tests clear it.
using TGradientFillProc = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);
extern TGradientFillProc dxGradientFill;

// Unit start and end: binds and frees GradientFill; the end also frees the
// brushes and glyphs of users that never left.
void dxOffice11Init();
void dxOffice11Done();
