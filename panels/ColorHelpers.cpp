#include "panels/ColorHelpers.h"

#include "foundation/UxTheme.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

bool FullColorDisplay = true;
uint8_t WindowsColorScheme = wcsBlue;

namespace {

constexpr TColor RgbOf(int r, int g, int b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}
int RedOf(TColor c) { return static_cast<int>(c & 0xFF); }
int GreenOf(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
int BlueOf(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

// Halves to even, as the rest of the family rounds.
int RoundEven(double v) { return static_cast<int>(std::nearbyint(v)); }

uint8_t ToByte(double v) { return static_cast<uint8_t>(std::clamp(RoundEven(v), 0, 255)); }

enum { sctSelectionFrame, sctSelectionStart, sctSelectionStop, sctPanelStart, sctPanelStop, sctPanelFrame,
       sctGroupBarStart, sctGroupBarStop, sctCount };

constexpr TColor SchemeColorTable[3][sctCount] = {
    {RgbOf(0, 0, 128), RgbOf(255, 238, 194), RgbOf(255, 217, 160), RgbOf(227, 239, 255), RgbOf(153, 187, 234),
     RgbOf(87, 127, 191), RgbOf(123, 162, 231), RgbOf(99, 117, 214)},
    {RgbOf(63, 93, 56), RgbOf(255, 238, 194), RgbOf(255, 217, 160), RgbOf(255, 255, 237), RgbOf(184, 199, 146),
     RgbOf(127, 161, 119), RgbOf(204, 217, 173), RgbOf(165, 189, 132)},
    {RgbOf(75, 75, 111), RgbOf(255, 238, 194), RgbOf(255, 217, 160), RgbOf(249, 249, 255), RgbOf(189, 188, 208),
     RgbOf(159, 159, 177), RgbOf(196, 200, 212), RgbOf(177, 179, 200)},
};

bool UseScheme(TRzGradientColorStyle style) { return style == gcsMSOffice && PanelVisualStylesEnabled(); }

const TColor* SchemeRow() { return SchemeColorTable[std::min<uint8_t>(WindowsColorScheme, 2)]; }

}  // namespace

THueSatLight SplitToHueSatLight(TColor color) {
  const TColor rgb = ColorToRGB(color);
  const double r = RedOf(rgb) / 255.0, g = GreenOf(rgb) / 255.0, b = BlueOf(rgb) / 255.0;
  const double mx = std::max({r, g, b}), mn = std::min({r, g, b});
  const double l = (mx + mn) / 2;
  double h = 0, s = 0;
  if (mx != mn) {
    const double d = mx - mn;
    s = l < 0.5 ? d / (mx + mn) : d / (2 - mx - mn);
    if (r == mx) {
      h = (g - b) / d;
    } else if (g != mx) {
      h = (r - g) / d + 4;
    } else {
      h = (b - r) / d + 2;
    }
    h /= 6;
    if (h < 0) h += 1;
  }
  return {ToByte(h * 240), ToByte(s * 240), ToByte(l * 240)};
}

TColor JoinHueSatLight(uint8_t hue, uint8_t sat, uint8_t light) {
  const double l = light / 240.0, s = sat / 240.0;
  const double m2 = l >= 0.5 ? l + s - l * s : l * (s + 1);
  if (m2 <= 0) return RgbOf(0, 0, 0);
  // The hue is divided by 239: hues 239 and 240 land on sextant 6, which is
  // red again (sextant 0).
  const double h6 = hue / 239.0 * 6;
  int sextant = static_cast<int>(h6);
  const double f = h6 - sextant;
  sextant %= 6;
  const double m1 = 2 * l - m2;
  const double rise = m1 + (m2 - m1) * f, fall = m2 - (m2 - m1) * f;
  double r = 0, g = 0, b = 0;
  switch (sextant) {
    case 0: r = m2, g = rise, b = m1; break;
    case 1: r = fall, g = m2, b = m1; break;
    case 2: r = m1, g = m2, b = rise; break;
    case 3: r = m1, g = fall, b = m2; break;
    case 4: r = rise, g = m1, b = m2; break;
    case 5: r = m2, g = m1, b = fall; break;
    default: break;
  }
  // Saturations past 240 push m1 below 0: every channel is kept in 0..1.
  auto channel = [](double v) { return RoundEven(std::clamp(v, 0.0, 1.0) * 255); };
  return RgbOf(channel(r), channel(g), channel(b));
}

TColor ShadeDarker(TColor color, uint8_t amount) {
  const THueSatLight hsl = SplitToHueSatLight(color);
  return JoinHueSatLight(hsl.Hue, hsl.Sat, static_cast<uint8_t>(std::max(0, hsl.Light - amount)));
}

TColor ShadeLighter(TColor color, uint8_t amount) {
  const THueSatLight hsl = SplitToHueSatLight(color);
  return JoinHueSatLight(hsl.Hue, hsl.Sat, static_cast<uint8_t>(std::min(255, hsl.Light + amount)));
}

TColor ShadeByAmount(TColor color, int amount) {
  if (amount < 0) return ShadeDarker(color, static_cast<uint8_t>(std::min(255, -amount)));
  if (amount == 0) return color;
  return ShadeLighter(color, static_cast<uint8_t>(std::min(255, amount)));
}

TColor MixColorAlpha(TColor fore, TColor back, uint8_t alpha) {
  const TColor f = ColorToRGB(fore), b = ColorToRGB(back);
  const float x = alpha / 255.0f;
  auto mix = [x](int fc, int bc) { return RoundEven(static_cast<double>(fc * x + bc * (1.0f - x))); };
  return RgbOf(mix(RedOf(f), RedOf(b)), mix(GreenOf(f), GreenOf(b)), mix(BlueOf(f), BlueOf(b)));
}

bool ColorsHardToTell(TColor a, TColor b) {
  const THueSatLight ha = SplitToHueSatLight(a), hb = SplitToHueSatLight(b);
  return std::abs(ha.Hue - hb.Hue) < 20 && std::abs(ha.Light - hb.Light) < 60;
}

bool DisplayHasFullColor() {
  const HDC dc = GetDC(nullptr);
  if (!dc) return true;
  const int colors = GetDeviceCaps(dc, NUMCOLORS);
  ReleaseDC(nullptr, dc);
  return colors == -1;
}

uint8_t ReadWindowsColorScheme() {
  AnsiString name;
  try {
    TRegistryIniFile ini("\\Software\\Microsoft\\Windows\\CurrentVersion", KEY_READ, HKEY_CURRENT_USER);
    name = UpperCase(ini.ReadString("ThemeManager", "ColorName", ""));
  } catch (const ERegistryException&) {
    // A value the registry cannot give as text (say, a number of the wrong
    // size) is no scheme name: the default, and the program starts.
    name.clear();
  }
  if (name == "HOMESTEAD") return wcsOlive;
  if (name == "METALLIC") return wcsSilver;
  return wcsBlue;
}

bool PanelVisualStylesEnabled() { return IsThemeLibraryBound() && UxIsThemeActive(); }

TRzSelectionColors SchemeSelectionColors(TRzGradientColorStyle style) {
  TRzSelectionColors result{};
  if (UseScheme(style)) {
    const TColor* row = SchemeRow();
    result = {row[sctSelectionFrame], row[sctSelectionStart], row[sctSelectionStop]};
  } else {
    result.Frame = clHighlight;
    result.Stop = MixColorAlpha(clHighlight, clWindow, 77);
    result.Start = ShadeLighter(result.Stop, 20);
  }
  if (!FullColorDisplay) result.Start = result.Stop;
  return result;
}

TRzGradientPair SchemePanelColors(TRzGradientColorStyle style) {
  if (UseScheme(style)) return {SchemeRow()[sctPanelStart], SchemeRow()[sctPanelStop]};
  return {clWindow, ShadeDarker(clBtnFace, 10)};
}

TColor SchemePanelFrameColor(TRzGradientColorStyle style) {
  if (UseScheme(style)) return SchemeRow()[sctPanelFrame];
  return ShadeLighter(clBtnShadow, 30);
}

TRzStatusBarColors SchemeStatusBarColors(TRzGradientColorStyle style) {
  if (UseScheme(style)) {
    const TColor start = SchemeRow()[sctPanelStop];
    return {start, SchemeRow()[sctPanelStart], start};
  }
  return {ShadeDarker(clBtnFace, 20), clWindow, ShadeDarker(clBtnFace, 40)};
}

TRzGradientPair SchemeGroupBarColors(TRzGradientColorStyle style) {
  if (UseScheme(style)) return {SchemeRow()[sctGroupBarStart], SchemeRow()[sctGroupBarStop]};
  return {MixColorAlpha(clBlack, clBtnFace, 40), MixColorAlpha(clBlack, clBtnFace, 80)};
}
