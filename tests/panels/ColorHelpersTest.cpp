// Colour arithmetic on the 0-240 scale, the scheme getters in both columns
// and the colour scheme read from the registry.
#include "foundation/UxTheme.h"
#include "panels/ColorHelpers.h"
#include "tests/panels/PanelsTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

int Diff(COLORREF a, COLORREF b) {
  return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                   std::abs(GetBValue(a) - GetBValue(b))});
}

struct RoundTripCase {
  const char* Name;
  COLORREF Color;
};

TEST(ColorHelpers, HueSatLightRoundTripsWithinQuantization) {
  const RoundTripCase cases[] = {
      {"red", RGB(255, 0, 0)},          {"hue 239", RGB(255, 0, 4)},     {"hue 240", RGB(255, 0, 1)},
      {"grey", RGB(128, 128, 128)},     {"sky blue", RGB(0, 204, 255)},  {"olive", RGB(128, 128, 0)},
      {"dark teal", RGB(0, 51, 102)},   {"lavender", RGB(204, 153, 255)}, {"near white", RGB(250, 251, 252)},
  };
  for (const auto& c : cases) {
    const THueSatLight hsl = SplitToHueSatLight(c.Color);
    const COLORREF back = JoinHueSatLight(hsl.Hue, hsl.Sat, hsl.Light);
    EXPECT_LE(Diff(back, c.Color), 7) << c.Name << " hue " << int(hsl.Hue) << " back " << std::hex << back;
  }
}

// Hues 239 and 240 (which splitting produces for reds with a little blue)
// are red again, and saturations past 240 keep every channel within 0..255.
TEST(ColorHelpers, JoinWrapsTheLastSextantAndClampsChannels) {
  EXPECT_EQ(SplitToHueSatLight(RGB(255, 0, 1)).Hue, 240);
  EXPECT_EQ(SplitToHueSatLight(RGB(255, 0, 4)).Hue, 239);
  EXPECT_LE(Diff(JoinHueSatLight(240, 240, 120), RGB(255, 0, 0)), 7);
  EXPECT_LE(Diff(JoinHueSatLight(239, 240, 120), RGB(255, 0, 0)), 7);
  EXPECT_EQ(JoinHueSatLight(0, 255, 120), RGB(255, 0, 0));
  EXPECT_EQ(JoinHueSatLight(80, 255, 120), RGB(0, 255, 0));
  const COLORREF over = JoinHueSatLight(160, 255, 120);
  EXPECT_EQ(GetRValue(over), 0);
  EXPECT_EQ(GetGValue(over), 0);
  EXPECT_EQ(GetBValue(over), 255);
}

TEST(ColorHelpers, ShadesAndBlends) {
  EXPECT_EQ(ShadeByAmount(clBtnFace, 0), clBtnFace);
  EXPECT_EQ(ShadeByAmount(RGB(10, 20, 30), 0), RGB(10, 20, 30));
  EXPECT_FALSE(IsSystemColor(ShadeByAmount(clBtnFace, 1)));
  EXPECT_FALSE(IsSystemColor(ShadeByAmount(clBtnFace, -1)));
  EXPECT_EQ(ShadeByAmount(RGB(0, 0, 255), -30), ShadeDarker(RGB(0, 0, 255), 30));
  EXPECT_EQ(ShadeByAmount(RGB(0, 0, 255), 30), ShadeLighter(RGB(0, 0, 255), 30));
  // Lightness 240 made 30 lighter passes 255 on and comes back white.
  ASSERT_EQ(SplitToHueSatLight(clWhite).Light, 240);
  EXPECT_EQ(ShadeLighter(clWhite, 30), clWhite);
  EXPECT_GE(GetRValue(ShadeLighter(RGB(255, 250, 240), 30)), 250);
  EXPECT_EQ(ShadeDarker(RGB(40, 40, 40), 200), RGB(0, 0, 0));
  EXPECT_EQ(MixColorAlpha(clRed, clBlue, 255), clRed);
  EXPECT_EQ(MixColorAlpha(clRed, clBlue, 0), clBlue);
  EXPECT_EQ(MixColorAlpha(RGB(200, 0, 0), RGB(0, 0, 100), 128), RGB(100, 0, 50));
  EXPECT_EQ(MixColorAlpha(clWindow, clWindow, 77), ColorToRGB(clWindow));
}

struct HardToTellCase {
  const char* Name;
  COLORREF A, B;
  bool Expected;
};

TEST(ColorHelpers, ColorsHardToTellIsSymmetricAndStrictAtItsBounds) {
  ASSERT_EQ(SplitToHueSatLight(RGB(255, 128, 0)).Hue, 20);
  ASSERT_EQ(SplitToHueSatLight(RGB(255, 121, 0)).Hue, 19);
  ASSERT_EQ(SplitToHueSatLight(RGB(64, 64, 64)).Light, 60);
  ASSERT_EQ(SplitToHueSatLight(RGB(63, 63, 63)).Light, 59);
  const HardToTellCase cases[] = {
      {"hue 20 apart", RGB(255, 0, 0), RGB(255, 128, 0), false},
      {"hue 19 apart", RGB(255, 0, 0), RGB(255, 121, 0), true},
      {"lightness 60 apart", RGB(0, 0, 0), RGB(64, 64, 64), false},
      {"lightness 59 apart", RGB(0, 0, 0), RGB(63, 63, 63), true},
      {"same", RGB(9, 9, 200), RGB(9, 9, 200), true},
      {"black and white", clBlack, clWhite, false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ColorsHardToTell(c.A, c.B), c.Expected) << c.Name;
    EXPECT_EQ(ColorsHardToTell(c.B, c.A), c.Expected) << c.Name << " (swapped)";
  }
}

void ExpectSystemColumn(TRzGradientColorStyle style, const char* label) {
  SCOPED_TRACE(label);
  const TRzSelectionColors selection = SchemeSelectionColors(style);
  EXPECT_EQ(selection.Frame, clHighlight);
  EXPECT_EQ(selection.Stop, MixColorAlpha(clHighlight, clWindow, 77));
  EXPECT_EQ(selection.Start, ShadeLighter(selection.Stop, 20));
  EXPECT_EQ(SchemePanelColors(style).Start, clWindow);
  EXPECT_EQ(SchemePanelColors(style).Stop, ShadeDarker(clBtnFace, 10));
  EXPECT_EQ(SchemePanelFrameColor(style), ShadeLighter(clBtnShadow, 30));
  const TRzStatusBarColors status = SchemeStatusBarColors(style);
  EXPECT_EQ(status.Start, ShadeDarker(clBtnFace, 20));
  EXPECT_EQ(status.Stop, clWindow);
  EXPECT_EQ(status.Divider, ShadeDarker(clBtnFace, 40));
  EXPECT_EQ(SchemeGroupBarColors(style).Start, MixColorAlpha(clBlack, clBtnFace, 40));
  EXPECT_EQ(SchemeGroupBarColors(style).Stop, MixColorAlpha(clBlack, clBtnFace, 80));
}

TEST(ColorHelpers, SchemeGettersUseTheTableOnlyForOfficeWithStylesOn) {
  ASSERT_TRUE(PanelVisualStylesEnabled()) << "the prefix runs a visual style";
  const uint8_t saved = WindowsColorScheme;
  WindowsColorScheme = wcsSilver;
  const TRzSelectionColors selection = SchemeSelectionColors(gcsMSOffice);
  EXPECT_EQ(selection.Frame, RGB(75, 75, 111));
  EXPECT_EQ(selection.Start, RGB(255, 238, 194));
  EXPECT_EQ(selection.Stop, RGB(255, 217, 160));
  EXPECT_EQ(SchemePanelColors(gcsMSOffice).Start, RGB(249, 249, 255));
  EXPECT_EQ(SchemePanelColors(gcsMSOffice).Stop, RGB(189, 188, 208));
  EXPECT_EQ(SchemePanelFrameColor(gcsMSOffice), RGB(159, 159, 177));
  const TRzStatusBarColors status = SchemeStatusBarColors(gcsMSOffice);
  EXPECT_EQ(status.Start, RGB(189, 188, 208));
  EXPECT_EQ(status.Stop, RGB(249, 249, 255));
  EXPECT_EQ(status.Divider, RGB(189, 188, 208));
  EXPECT_EQ(SchemeGroupBarColors(gcsMSOffice).Start, RGB(196, 200, 212));
  WindowsColorScheme = wcsBlue;
  EXPECT_EQ(SchemeGroupBarColors(gcsMSOffice).Stop, RGB(99, 117, 214));
  WindowsColorScheme = wcsOlive;
  EXPECT_EQ(SchemePanelFrameColor(gcsMSOffice), RGB(127, 161, 119));
  ExpectSystemColumn(gcsSystem, "system style, styles on");
  {
    const StylesOff off;
    ASSERT_FALSE(PanelVisualStylesEnabled());
    ExpectSystemColumn(gcsMSOffice, "office style, styles off");
  }
  WindowsColorScheme = saved;
}

TEST(ColorHelpers, WithoutFullColorTheSelectionIsFlat) {
  const bool saved = FullColorDisplay;
  FullColorDisplay = false;
  for (TRzGradientColorStyle style : {gcsSystem, gcsMSOffice}) {
    const TRzSelectionColors selection = SchemeSelectionColors(style);
    EXPECT_EQ(selection.Start, selection.Stop);
  }
  FullColorDisplay = saved;
  EXPECT_TRUE(FullColorDisplay) << "the virtual display has more than 256 colours";
}

// The scheme name under the current user's ThemeManager key, upper-cased.
class ThemeManagerKey : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager", 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey, nullptr),
              ERROR_SUCCESS);
    char buffer[256]{};
    DWORD size = sizeof(buffer), type = 0;
    FHad = RegQueryValueExA(FKey, "ColorName", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
           ERROR_SUCCESS;
    if (FHad) FOld = buffer;
  }
  void TearDown() override {
    if (FHad) {
      Write(FOld.c_str());
    } else {
      RegDeleteValueA(FKey, "ColorName");
    }
    RegCloseKey(FKey);
  }
  void Write(const char* name) {
    RegSetValueExA(FKey, "ColorName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name),
                   static_cast<DWORD>(strlen(name) + 1));
  }
  HKEY FKey = nullptr;
  bool FHad = false;
  std::string FOld;
};

TEST_F(ThemeManagerKey, SchemeNamesSelectTheirRows) {
  RecordProperty("PrefixColorName", FHad ? FOld : "(none)");
  const struct {
    const char* Value;
    uint8_t Scheme;
  } cases[] = {{"metallic", wcsSilver}, {"METALLIC", wcsSilver}, {"HomeStead", wcsOlive},
               {"NormalColor", wcsBlue}, {"Blue", wcsBlue},      {"", wcsBlue}};
  for (const auto& c : cases) {
    Write(c.Value);
    EXPECT_EQ(ReadWindowsColorScheme(), c.Scheme) << c.Value;
  }
  RegDeleteValueA(FKey, "ColorName");
  EXPECT_EQ(ReadWindowsColorScheme(), wcsBlue) << "missing value";
}

// A value that cannot be read as a name is no error: the start-up read gives
// the default scheme and the program starts.
TEST_F(ThemeManagerKey, AValueThatIsNoNameGivesTheDefault) {
  const struct {
    const char* Name;
    DWORD Type;
    std::string Data;
  } cases[] = {{"two-byte number", REG_DWORD, std::string("\x02\x00", 2)},
               {"binary", REG_BINARY, "METALLIC"},
               {"number", REG_DWORD, std::string("\x02\x00\x00\x00", 4)}};
  for (const auto& c : cases) {
    ASSERT_EQ(RegSetValueExA(FKey, "ColorName", 0, c.Type, reinterpret_cast<const BYTE*>(c.Data.data()),
                             static_cast<DWORD>(c.Data.size())),
              ERROR_SUCCESS);
    uint8_t scheme = 99;
    EXPECT_NO_THROW(scheme = ReadWindowsColorScheme()) << c.Name;
    EXPECT_EQ(scheme, wcsBlue) << c.Name;
  }
}

}  // namespace
