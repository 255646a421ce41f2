// The Office 2003 palette and fills: the scheme read from the theme's name
// (stand-ins for the theme library), the palette recomputed on colour and
// theme changes, the high-contrast faces, gradients and small triangles.
#include "tests/foundation/LookAndFeelFixture.h"

#include <set>

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

using Office11Palette = PainterUnits;

// Runs with the system colours it was given put back afterwards.
class TSysColorsScope {
public:
  TSysColorsScope(std::initializer_list<std::pair<int, COLORREF>> colors) {
    for (const auto& [index, color] : colors) {
      FIndices.push_back(index);
      FSaved.push_back(GetSysColor(index));
      FNew.push_back(color);
    }
    SetSysColors(static_cast<int>(FIndices.size()), FIndices.data(), FNew.data());
  }
  ~TSysColorsScope() { SetSysColors(static_cast<int>(FIndices.size()), FIndices.data(), FSaved.data()); }

private:
  std::vector<int> FIndices;
  std::vector<COLORREF> FSaved, FNew;
};

TEST_F(Office11Palette, TheBlueStandardThemeGivesItsTable) {
  fake::ThemeFile = L"C:\\WINDOWS\\Resources\\Themes\\Luna\\Luna.msstyles";
  fake::ColorName = L"NormalColor";
  SetVisualStyles(true);
  EXPECT_EQ(CurrentOffice11Scheme(), schBlue);
  EXPECT_TRUE(UsesOffice11SchemeColors());
  EXPECT_EQ(Office11Color(41), RGB(0, 0, 128));
  EXPECT_EQ(Office11Color(o11SelectedFrame), RGB(0, 0, 128));
  EXPECT_EQ(SplitGradientPercent(), 41);
  EXPECT_EQ(Office11Color(2), RGB(221, 236, 254));
  EXPECT_EQ(Office11Color(0), RGB(158, 190, 245));
  EXPECT_EQ(Office11Color(79), RGB(158, 174, 191));
  EXPECT_EQ(Office11Color(80), RGB(46, 70, 95));
}

TEST_F(Office11Palette, EveryTableCellTheSchemesShareIsTheSame) {
  // Entries taken straight from cells 6-9, 13, 20, 22-25, 27, 28, 30, 31, 33
  // and 40-45, 48 of the table.
  const int shared[] = {5, 6, 8, 9, 19, 40, 42, 43, 44, 45, 47, 48, 51, 52, 59, 68, 69, 70, 71, 72, 73, 76};
  const wchar_t* colors[] = {L"NormalColor", L"HomeStead", L"Metallic"};
  std::vector<std::vector<TColor>> palettes;
  fake::ThemeFile = L"luna.msstyles";
  for (const wchar_t* color : colors) {
    fake::ColorName = color;
    SetVisualStyles(true);
    std::vector<TColor> entries;
    for (int entry : shared) entries.push_back(Office11Color(entry));
    palettes.push_back(entries);
  }
  EXPECT_EQ(palettes[0], palettes[1]);
  EXPECT_EQ(palettes[0], palettes[2]);
  EXPECT_EQ(Office11Color(8), RGB(255, 193, 118));
  EXPECT_EQ(CurrentOffice11Scheme(), schSilver);
  EXPECT_EQ(SplitGradientPercent(), 40);
  EXPECT_EQ(Office11Color(41), RGB(75, 75, 111));
}

TEST_F(Office11Palette, WithoutASchemeTheColoursComeFromTheSystem) {
  fake::ThemeFile = L"C:\\Themes\\Luna.msstyles";
  fake::ColorName = L"NormalColor";
  SetVisualStyles(true);
  ASSERT_EQ(Office11Color(41), RGB(0, 0, 128));
  // The classic look: the theme name cannot be read; a colour change
  // recomputes the palette.
  fake::ThemeFile.clear();
  SendMessageA(SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(CurrentOffice11Scheme(), schNone);
  EXPECT_FALSE(UsesOffice11SchemeColors());
  EXPECT_EQ(Office11Color(41), ColorToRGB(clHighlight));
  EXPECT_EQ(Office11Color(0), ColorToRGB(clBtnFace));
  EXPECT_EQ(Office11Color(52), ColorToRGB(clGrayText));
  EXPECT_EQ(SplitGradientPercent(), 75);
  // So does a theme change: the blue theme again, then visual styles off.
  fake::ThemeFile = L"C:\\Themes\\Luna.msstyles";
  SendThemeChanged();
  EXPECT_EQ(Office11Color(41), RGB(0, 0, 128));
  SetVisualStyles(false);
  EXPECT_EQ(Office11Color(41), ColorToRGB(clHighlight));
}

TEST_F(Office11Palette, TheSchemeFollowsTheThemeFileAndColourName) {
  struct TCase {
    const wchar_t* File;
    const wchar_t* Color;
    int Major;
    TOffice11Scheme Scheme;
  };
  const TCase cases[] = {
      {L"C:\\Windows\\Resources\\Themes\\Luna\\LUNA.MSSTYLES", L"NormalColor", 5, schBlue},
      {L"luna.msstyles", L"homestead", 5, schOlive},
      {L"Luna.msstyles", L"Metallic", 5, schSilver},
      {L"Luna.msstyles", L"Royale", 5, schNone},
      {L"C:\\Themes\\Royale.msstyles", L"NormalColor", 5, schNone},
      {L"C:\\Themes\\Royale.msstyles", L"NormalColor", 6, schBlue},
      {L"C:\\windows\\resources\\themes\\light\\light.msstyles", L"Blue", 6, schNone},
      {L"aero.msstyles", L"Metallic", 10, schSilver},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::string(Utf16ToAnsi(c.File)) + " " + Utf16ToAnsi(c.Color));
    EXPECT_EQ(Office11SchemeFromThemeName(c.File, c.Color, c.Major), c.Scheme);
  }
}

TEST_F(Office11Palette, ABlackFaceTakesTheHighlightColours) {
  TSysColorsScope colors{{COLOR_BTNFACE, RGB(0, 0, 0)}, {COLOR_HIGHLIGHT, RGB(0, 128, 255)},
                         {COLOR_HIGHLIGHTTEXT, RGB(255, 255, 0)}};
  ASSERT_TRUE(ButtonFaceIsBlack());
  EXPECT_EQ(BlendSystemTint(-2, 30, 72), RGB(0, 128, 255));
  EXPECT_EQ(BlendTint(RGB(255, 255, 255), RGB(1, 2, 3), RGB(9, 9, 9), 50, 50, 50), RGB(1, 2, 3));
  TestSurface surface(10, 10);
  FrameWithOffice11Border(surface.Canvas()->GetDeviceContext(), RECT{0, 0, 10, 10});
  EXPECT_EQ(surface.Pixel(0, 0), RGB(255, 255, 0));
  EXPECT_EQ(surface.Pixel(9, 5), RGB(255, 255, 0));
  EXPECT_EQ(surface.Pixel(5, 5), RGB(255, 255, 255));
}

TEST_F(Office11Palette, TintsMixTheWeightedSystemColours) {
  // (200, 100, 50) * 50% + (0, 0, 200) * 50% + (100, 100, 100) * -20%.
  EXPECT_EQ(BlendTint(RGB(200, 100, 50), RGB(0, 0, 200), RGB(100, 100, 100), 50, 50, -20), RGB(80, 30, 105));
  // Channels are clamped.
  EXPECT_EQ(BlendTint(RGB(200, 200, 200), RGB(200, 200, 200), RGB(0, 0, 0), 100, 100, 0), RGB(255, 255, 255));
  EXPECT_EQ(MixColors(RGB(255, 255, 255), RGB(0, 0, 0), 100), RGB(255, 255, 255));
  EXPECT_EQ(MixColors(RGB(200, 0, 100), RGB(0, 200, 100), 25), RGB(50, 150, 100));
}

TEST_F(Office11Palette, AnEqualGradientIsOneFillAndALongOneHasAtMost256Bands) {
  dxGradientFill = nullptr;
  TestSurface surface(1000, 2);
  HDC dc = surface.Canvas()->GetDeviceContext();
  PaintGradientRect(dc, RECT{0, 0, 1000, 2}, RGB(0, 0, 0), RGB(255, 255, 255), true);
  std::set<TColor> bands;
  int runs = 1;
  for (int x = 0; x < 1000; ++x) {
    bands.insert(surface.Pixel(x, 0));
    if (x > 0 && surface.Pixel(x, 0) != surface.Pixel(x - 1, 0)) ++runs;
  }
  EXPECT_EQ(bands.size(), 256u);
  EXPECT_EQ(runs, 256);
  EXPECT_EQ(surface.Pixel(0, 1), RGB(0, 0, 0));
  EXPECT_EQ(surface.Pixel(999, 1), RGB(255, 255, 255));
  // The colour GradientColorAt names is the band's.
  for (int x : {0, 3, 4, 500, 995, 999})
    EXPECT_EQ(GradientColorAt(RECT{0, 0, 1000, 2}, x, RGB(0, 0, 0), RGB(255, 255, 255), true), surface.Pixel(x, 0))
        << x;
  PaintGradientRect(dc, RECT{0, 0, 1000, 2}, clBtnFace, ColorToRGB(clBtnFace), false);
  for (int x : {0, 500, 999}) EXPECT_EQ(surface.Pixel(x, 1), ColorToRGB(clBtnFace)) << x;
}

TEST_F(Office11Palette, TheSystemGradientRunsBetweenTheTwoColours) {
  ASSERT_NE(dxGradientFill, nullptr);
  TestSurface surface(4, 100);
  PaintGradientRect(surface.Canvas()->GetDeviceContext(), RECT{0, 0, 4, 100}, RGB(255, 0, 0), RGB(0, 0, 255),
                    false);
  EXPECT_GT(GetRValue(surface.Pixel(1, 2)), 240);
  EXPECT_GT(GetBValue(surface.Pixel(1, 97)), 240);
  EXPECT_EQ(surface.Pixel(0, 50), surface.Pixel(3, 50));
}

TEST_F(Office11Palette, FittedArrowsTakeTheirSizeFromTheRectangle) {
  struct TCase {
    RECT Bounds;
    TcxArrowDirection Direction;
    int Size;
  };
  const TCase cases[] = {
      {{0, 0, 20, 20}, adDown, 5}, {{0, 0, 10, 10}, adDown, 3}, {{0, 0, 20, 20}, adRight, 6},
      {{0, 0, 21, 8}, adDown, 7},  {{0, 0, 8, 6}, adRight, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Bounds.right);
    EXPECT_EQ(FittedArrowTriangleSize(c.Bounds, c.Direction), c.Size);
  }
  // Drawn: a down arrow of size 5 is 9 wide and 5 high, in entry 51.
  TestSurface surface(20, 20);
  PaintFittedArrowTriangle(surface.Canvas()->GetDeviceContext(), RECT{0, 0, 20, 20}, adDown, clDefault, true, false);
  const RECT ink = InkBounds(surface, clWhite);
  EXPECT_EQ(ink.right - ink.left, 9);
  EXPECT_EQ(ink.bottom - ink.top, 5);
  EXPECT_EQ(surface.Pixel(10, ink.top), Office11Color(51));
}

TEST_F(Office11Palette, GripDotsSitInFourPixelCells) {
  TestSurface surface(12, 4);
  PaintGripDots(surface.Canvas()->GetDeviceContext(), RECT{0, 0, 12, 4}, false);
  for (int cell = 0; cell < 3; ++cell) {
    EXPECT_EQ(surface.Pixel(cell * 4, 0), Office11Color(o11GripDot)) << cell;
    EXPECT_EQ(surface.Pixel(cell * 4 + 2, 2), Office11Color(o11GripShadow)) << cell;
  }
  TestSurface grip(16, 16);
  PaintSizeGripDots(grip.Canvas()->GetDeviceContext(), RECT{0, 0, 16, 16}, RGB(255, 0, 0), RGB(0, 0, 255));
  // 3, 2 and 1 dots up the bottom-right corner.
  EXPECT_EQ(grip.Pixel(4, 13), RGB(255, 0, 0));
  EXPECT_EQ(grip.Pixel(12, 13), RGB(255, 0, 0));
  EXPECT_EQ(grip.Pixel(8, 9), RGB(255, 0, 0));
  EXPECT_EQ(grip.Pixel(4, 9), RGB(255, 255, 255));
  EXPECT_EQ(grip.Pixel(12, 5), RGB(255, 0, 0));
  EXPECT_EQ(grip.Pixel(13, 14), RGB(255, 0, 0));
  EXPECT_EQ(grip.Pixel(14, 15), RGB(0, 0, 255));
}

TEST_F(Office11Palette, TheGlyphsLiveWhileThePaletteHasUsers) {
  ASSERT_GE(Office11PaletteUserCount(), 1);
  for (bool expanded : {false, true}) {
    TBitmap* glyph = Office11ExpandButtonBitmap(expanded);
    ASSERT_NE(glyph, nullptr);
    EXPECT_EQ(glyph->GetWidth(), 11);
    EXPECT_EQ(glyph->GetHeight(), 11);
  }
  TBitmap* chevrons = Office11SubMenuExpandBitmap();
  ASSERT_NE(chevrons, nullptr);
  ASSERT_FALSE(chevrons->GetEmpty());
  // Recoloured: its greys now lie between the scheme's toolbar colours.
  EXPECT_EQ(chevrons->Canvas()->Pixels(1, 1), MixColors(Office11Color(2), Office11Color(3), 0));
  for (int cell = 0; cell < Office11BrushCount; ++cell) EXPECT_NE(Office11Brush(cell), nullptr) << cell;
  EXPECT_EQ(Office11Brush(4), Office11Brush(11));
  const THandleCounts before = HandleCounts();
  AddOffice11PaletteUser();
  RecomputeOffice11Palette();
  RemoveOffice11PaletteUser();
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
