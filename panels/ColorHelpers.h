// Colour arithmetic of the panel family: hue/saturation/lightness on the
// 0-240 scale of the system's colour dialog, shades of a face colour,
// blends, and the gradient colours chosen by the Windows colour scheme
// ("Office" look). Every function resolves system colours to RGB before
// it computes; nothing here touches the registry except
// ReadWindowsColorScheme.
#pragma once

#include "platform/Colors.h"

#include <cstdint>

struct THueSatLight {
  uint8_t Hue = 0;
  uint8_t Sat = 0;
  uint8_t Light = 0;
};

enum class TRzGradientColorStyle { gcsSystem, gcsMSOffice, gcsCustom };
using enum TRzGradientColorStyle;

THueSatLight SplitToHueSatLight(TColor color);
// Never fails: hue 239 and 240 wrap to red, and every channel is kept within
// 0..255 whatever the saturation and lightness bytes hold.
TColor JoinHueSatLight(uint8_t hue, uint8_t sat, uint8_t light);
TColor ShadeDarker(TColor color, uint8_t amount);
// Lightness may rise to 255 (the byte's ceiling, past 240): a light colour
// made lighter becomes white.
TColor ShadeLighter(TColor color, uint8_t amount);
// Below 0 darker, above 0 lighter; 0 answers the colour itself (a system
// colour stays one).
TColor ShadeByAmount(TColor color, int amount);
// Alpha 255 gives `fore`, 0 gives `back`.
TColor MixColorAlpha(TColor fore, TColor back, uint8_t alpha);
// Hues closer than 20 and lightnesses closer than 60.
bool ColorsHardToTell(TColor a, TColor b);
// The screen shows more than 256 colours.
bool DisplayHasFullColor();

// The scheme table's rows.
enum : uint8_t { wcsBlue = 0, wcsOlive = 1, wcsSilver = 2 };

// Set when the panels' unit starts (panels/PanelsUnits.h); a panel that sees
// WM_THEMECHANGED reads the scheme again.
extern bool FullColorDisplay;
extern uint8_t WindowsColorScheme;

// The selected colour scheme from the current user's "ThemeManager" key:
// 1 "HOMESTEAD", 2 "METALLIC", 0 anything else (missing included).
uint8_t ReadWindowsColorScheme();

// Visual styles are on: the library is bound and reports its theme active.
bool PanelVisualStylesEnabled();

struct TRzSelectionColors {
  TColor Frame, Start, Stop;
};
struct TRzGradientPair {
  TColor Start, Stop;
};
struct TRzStatusBarColors {
  TColor Start, Stop, Divider;
};

// The scheme's colours for gcsMSOffice while visual styles are on, else
// colours derived from the system colours.
TRzSelectionColors SchemeSelectionColors(TRzGradientColorStyle style);
TRzGradientPair SchemePanelColors(TRzGradientColorStyle style);
TColor SchemePanelFrameColor(TRzGradientColorStyle style);
TRzStatusBarColors SchemeStatusBarColors(TRzGradientColorStyle style);
TRzGradientPair SchemeGroupBarColors(TRzGradientColorStyle style);
