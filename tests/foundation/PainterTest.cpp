// The painters' operations that controls call, checked by the pixels they
// draw into a memory bitmap: the Standard push button, arrows, clock and
// scroll bar; the UltraFlat and Flat differences; Office 2003 colours in the
// blue scheme; the themed painter's parts, states and fallbacks (with
// stand-ins for the theme library); and the radio-button images.
#include "foundation/FlatPainter.h"
#include "foundation/Office11Painter.h"
#include "foundation/WinXPPainter.h"
#include "platform/DateTime.h"
#include "tests/foundation/LookAndFeelFixture.h"

using namespace lookandfeel_test;
using namespace testing_support;

namespace {

using Painters = PainterUnits;

const TcxCustomLookAndFeelPainter& Standard = TcxStandardLookAndFeelPainter::Instance;
const TcxCustomLookAndFeelPainter& Flat = TcxFlatLookAndFeelPainter::Instance;
const TcxCustomLookAndFeelPainter& UltraFlat = TcxUltraFlatLookAndFeelPainter::Instance;
const TcxCustomLookAndFeelPainter& Office11 = TcxOffice11LookAndFeelPainter::Instance;
const TcxCustomLookAndFeelPainter& WinXP = TcxWinXPLookAndFeelPainter::Instance;

// --- Standard ---

TEST_F(Painters, AButtonCaptionIsDrawnInARectangleOfEvenHeightAtLeast18High) {
  struct TCase {
    int Height;
    int CaptionTop, CaptionBottom;  // where the caption's rectangle ends up
  };
  const TCase cases[] = {{17, -1, 16}, {16, -1, 16}, {18, 0, 18}, {19, 0, 18}, {21, 0, 20}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Height);
    TestSurface button(60, 24, clRed);
    Standard.PaintButton(button.Canvas(), RECT{0, 0, 60, c.Height}, "Ag", cxbsNormal, false, RGB(200, 200, 200),
                         clBlack);
    TestSurface expected(60, 24, clRed);
    expected.Canvas()->FillWithColor(RECT{0, 0, 60, c.Height}, RGB(200, 200, 200));
    expected.Canvas()->GetBrush()->SetStyle(bsClear);
    expected.Canvas()->GetFont()->SetColor(clBlack);
    expected.Canvas()->DrawTextInState("Ag", RECT{0, c.CaptionTop, 60, c.CaptionBottom}, 612, true);
    EXPECT_EQ(button.Read(), expected.Read());
    // The whole rectangle is filled, its last row too.
    EXPECT_EQ(button.Pixel(0, c.Height - 1), RGB(200, 200, 200));
  }
}

TEST_F(Painters, AButtonWithDefaultColoursTakesTheStatesColoursAndEmbossesWhenDisabled) {
  TestSurface normal(60, 20);
  Standard.PaintButton(normal.Canvas(), RECT{0, 0, 60, 20}, "W", cxbsNormal, false);
  EXPECT_EQ(normal.Pixel(1, 1), ColorToRGB(clBtnFace));
  TestSurface disabled(60, 20);
  Standard.PaintButton(disabled.Canvas(), RECT{0, 0, 60, 20}, "W", cxbsDisabled, false);
  bool shadow = false, highlight = false, text = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 60; ++x) {
      shadow |= disabled.Pixel(x, y) == ColorToRGB(clBtnShadow);
      highlight |= disabled.Pixel(x, y) == ColorToRGB(clBtnHighlight);
      text |= disabled.Pixel(x, y) == ColorToRGB(clBtnText);
    }
  EXPECT_TRUE(shadow);
  EXPECT_TRUE(highlight);
  EXPECT_FALSE(text);
}

TEST_F(Painters, TheStandardButtonFrameIsTwoPixelsAndThreeForTheDefaultButton) {
  struct TCase {
    TcxButtonState State;
    int Width;
    TColor Outer, Inner;
  };
  const TCase cases[] = {
      {cxbsNormal, 2, clBtnHighlight, cl3DLight},
      {cxbsDefault, 3, clBlack, clBtnHighlight},
      {cxbsPressed, 2, clBlack, clBtnShadow},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.State));
    EXPECT_EQ(Standard.ButtonFrameWidth(c.State), c.Width);
    TestSurface surface(30, 20);
    Standard.PaintButton(surface.Canvas(), RECT{0, 0, 30, 20}, "", c.State);
    EXPECT_EQ(surface.Pixel(0, 5), ColorToRGB(c.Outer));
    EXPECT_EQ(surface.Pixel(1, 5), ColorToRGB(c.Inner));
    EXPECT_EQ(surface.Pixel(c.Width, 5), ColorToRGB(clBtnFace));
  }
}

TEST_F(Painters, TheDropArrowIsNineByFiveInASixteenPixelRectangle) {
  TestSurface surface(16, 16);
  Standard.PaintDropArrowGlyph(surface.Canvas(), RECT{0, 0, 16, 16}, clBlack);
  const RECT ink = InkBounds(surface, clWhite);
  EXPECT_EQ(ink.right - ink.left, 9);
  EXPECT_EQ(ink.bottom - ink.top, 5);
}

TEST_F(Painters, ArrowTrianglesHaveABaseOfTwiceTheirDepthLessOne) {
  struct TCase {
    RECT Bounds;
    TcxArrowDirection Direction;
    bool Proportional;
    int Size;
    int Base, Depth;
  };
  const TCase cases[] = {
      {{0, 0, 15, 15}, adDown, false, 0, 7, 4}, {{0, 0, 15, 15}, adUp, false, 0, 7, 4},
      {{0, 0, 15, 15}, adLeft, false, 0, 7, 4}, {{0, 0, 15, 15}, adRight, false, 0, 7, 4},
      {{0, 0, 40, 15}, adDown, true, 0, 7, 4},  {{0, 0, 40, 15}, adDown, false, 0, 19, 10},
      {{0, 0, 15, 15}, adDown, false, 3, 5, 3},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << int(c.Direction) << " " << c.Bounds.right);
    POINT p[3];
    TcxCustomLookAndFeelPainter::ComputeArrowTriangle(c.Bounds, c.Size, c.Proportional, c.Direction, p);
    const bool vertical = c.Direction == adUp || c.Direction == adDown;
    const int base = vertical ? std::abs(p[0].x - p[2].x) + 1 : std::abs(p[0].y - p[2].y) + 1;
    const int depth = vertical ? std::abs(p[1].y - p[0].y) + 1 : std::abs(p[1].x - p[0].x) + 1;
    EXPECT_EQ(base, c.Base);
    EXPECT_EQ(depth, c.Depth);
  }
  // The glyph drawn is that triangle, filled.
  TestSurface surface(15, 15);
  Standard.PaintArrowGlyph(surface.Canvas(), RECT{0, 0, 15, 15}, adDown, clBlack);
  const RECT ink = InkBounds(surface, clWhite);
  EXPECT_EQ(ink.right - ink.left, 7);
  EXPECT_EQ(ink.bottom - ink.top, 4);
}

TEST_F(Painters, AtTwelveOClockEveryHandPointsUp) {
  TestSurface surface(101, 101);
  TDateTime noon;
  ASSERT_TRUE(TryEncodeTime(12, 0, 0, 0, noon));
  Standard.PaintClockFace(surface.Canvas(), RECT{0, 0, 101, 101}, noon, clWhite);
  const int c = 50;
  EXPECT_EQ(surface.Pixel(c, c - 40), RGB(255, 0, 0));  // the second hand, drawn last
  EXPECT_EQ(surface.Pixel(c - 2, c - 10), RGB(0, 128, 128));
  EXPECT_EQ(surface.Pixel(c + 2, c - 10), RGB(0, 128, 128));
  for (POINT p : {POINT{c, c + 20}, POINT{c - 20, c}, POINT{c + 20, c}, POINT{c - 10, c - 30}})
    EXPECT_EQ(surface.Pixel(p.x, p.y), RGB(255, 255, 255)) << p.x << "," << p.y;
  // The twelve marks stay: the one at 12 o'clock sits on the face's edge.
  EXPECT_EQ(surface.Pixel(c, 2), RGB(0, 128, 128));
  EXPECT_EQ(surface.Pixel(c - 1, 2), RGB(0, 255, 255));
  // The caller's clip area is as it was.
  surface.Canvas()->FillWithColor(RECT{0, 0, 101, 101}, clBlack);
  EXPECT_EQ(surface.Pixel(c, 2), RGB(0, 0, 0));
}

TEST_F(Painters, TheStandardThumbIsNotDrawnWhenDisabledAndPageAreasAreCheckered) {
  TestSurface thumb(17, 40, clRed);
  Standard.PaintScrollBarPart(thumb.Canvas(), false, RECT{0, 0, 17, 40}, sbpThumbnail, cxbsDisabled);
  EXPECT_EQ(InkBounds(thumb, clRed).right, -1);
  struct TCase {
    TcxButtonState State;
    TColor Even, Odd;
  };
  for (const TCase& c : {TCase{cxbsNormal, clBtnFace, clBtnHighlight}, TCase{cxbsHot, clBtnFace, clBtnHighlight},
                         TCase{cxbsPressed, clBlack, cl3DDkShadow}}) {
    SCOPED_TRACE(int(c.State));
    TestSurface page(16, 16);
    Standard.PaintScrollBarPart(page.Canvas(), false, RECT{0, 0, 16, 16}, sbpPageDown, c.State);
    EXPECT_EQ(page.Pixel(4, 6), ColorToRGB(c.Even));
    EXPECT_EQ(page.Pixel(5, 6), ColorToRGB(c.Odd));
  }
}

// --- the flat looks ---

// The caption's place in a pressed button against a normal one.
TEST_F(Painters, APressedCaptionMovesByThePaintersShift) {
  struct TCase {
    const TcxCustomLookAndFeelPainter* Painter;
    int Shift;
  };
  SetVisualStyles(false);
  for (const TCase& c : {TCase{&Standard, 1}, TCase{&Flat, 1}, TCase{&UltraFlat, 0}, TCase{&Office11, 0},
                         TCase{&WinXP, 0}}) {
    SCOPED_TRACE(c.Painter->PainterName());
    EXPECT_EQ(c.Painter->PressedTextShift(), c.Shift);
    RECT ink[2];
    int i = 0;
    for (TcxButtonState state : {cxbsNormal, cxbsPressed}) {
      TestSurface surface(40, 24);
      c.Painter->PaintButton(surface.Canvas(), RECT{0, 0, 40, 24}, "X", state, false, clWhite, clBlack);
      ink[i++] = InkBounds(surface, clWhite);
    }
    EXPECT_EQ(ink[1].left - ink[0].left, c.Shift);
    EXPECT_EQ(ink[1].top - ink[0].top, c.Shift);
  }
}

TEST_F(Painters, UltraFlatButtonsLightUpUnderTheMouseAndWhenPressed) {
  TestSurface hot(40, 20);
  UltraFlat.PaintButton(hot.Canvas(), RECT{0, 0, 40, 20}, "", cxbsHot);
  EXPECT_EQ(hot.Pixel(0, 0), ColorToRGB(clHighlight));
  EXPECT_EQ(hot.Pixel(5, 5), ColorToRGB(HotHighlightColor()));
  TestSurface pressed(40, 20);
  UltraFlat.PaintButton(pressed.Canvas(), RECT{0, 0, 40, 20}, "W", cxbsPressed);
  EXPECT_EQ(pressed.Pixel(5, 5), ColorToRGB(PressedHighlightColor()));
  bool highlightText = false;
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) highlightText |= pressed.Pixel(x, y) == ColorToRGB(clHighlightText);
  EXPECT_TRUE(highlightText);
}

TEST_F(Painters, AScrollArrowUnderTheMouseIsHotInUltraFlatAndNormalInFlat) {
  struct TCase {
    const TcxCustomLookAndFeelPainter* Painter;
    TColor Fill;
  };
  for (const TCase& c : {TCase{&UltraFlat, HotHighlightColor()}, TCase{&Flat, clBtnFace}}) {
    SCOPED_TRACE(c.Painter->PainterName());
    TestSurface surface(17, 17);
    c.Painter->PaintScrollBarPart(surface.Canvas(), false, RECT{0, 0, 17, 17}, sbpLineUp, cxbsHot);
    EXPECT_EQ(surface.Pixel(2, 2), ColorToRGB(c.Fill));
  }
  EXPECT_TRUE(UltraFlat.ButtonHotTracks());
  EXPECT_FALSE(Flat.ButtonHotTracks());
}

// --- Office 2003 ---

TEST_F(Painters, Office11ButtonsTakeTheBlueSchemesColours) {
  fake::ThemeFile = L"Luna.msstyles";
  fake::ColorName = L"NormalColor";
  SetVisualStyles(true);
  ASSERT_EQ(CurrentOffice11Scheme(), schBlue);
  TestSurface hot(40, 20);
  Office11.PaintButton(hot.Canvas(), RECT{0, 0, 40, 20}, "", cxbsHot);
  EXPECT_EQ(hot.Pixel(0, 0), RGB(0, 0, 128));
  EXPECT_EQ(hot.Pixel(5, 5), Office11Color(42));
  EXPECT_EQ(Office11Color(42), RGB(255, 244, 204));
  TestSurface normal(40, 20);
  Office11.PaintButton(normal.Canvas(), RECT{0, 0, 40, 20}, "", cxbsNormal);
  EXPECT_EQ(normal.Pixel(0, 0), ColorToRGB(clBtnText));
  EXPECT_EQ(normal.Pixel(5, 5), Office11Color(0));
  // With scheme colours a pressed symbol keeps entry 51.
  EXPECT_EQ(Office11.ButtonSymbolColor(cxbsPressed), Office11Color(51));
}

TEST_F(Painters, AnOffice11HeaderBlendsItsCornerPixels) {
  const auto& painter = TcxOffice11LookAndFeelPainter::Instance;
  const TColor c1 = painter.HeaderUpperColor(), c2 = painter.HeaderLowerColor();
  const TColor light = painter.HeaderLightEdgeColor(), shadow = painter.HeaderShadowEdgeColor();
  struct TPixel {
    int X, Y;
    TColor Color;
  };
  TestSurface both(40, 20);
  painter.PaintHeaderFrame(both.Canvas(), RECT{0, 0, 40, 20}, {nLeft, nRight}, cxBordersAll);
  for (const TPixel& p : {TPixel{0, 0, c1}, TPixel{0, 1, c1}, TPixel{0, 2, c1}, TPixel{0, 10, light},
                          TPixel{0, 17, MixColors(c1, c2, 25)}, TPixel{0, 18, c2}, TPixel{0, 19, shadow},
                          TPixel{39, 1, c1}, TPixel{39, 2, c1}, TPixel{39, 10, shadow},
                          TPixel{39, 17, MixColors(c1, c2, 25)}, TPixel{39, 18, c2}})
    EXPECT_EQ(both.Pixel(p.X, p.Y), p.Color) << p.X << "," << p.Y;
  TestSurface alone(40, 20);
  painter.PaintHeaderFrame(alone.Canvas(), RECT{0, 0, 40, 20}, {}, cxBordersAll);
  for (const TPixel& p : {TPixel{0, 1, c1}, TPixel{0, 2, light}, TPixel{0, 18, c2},
                          TPixel{39, 0, MixColors(c1, shadow, 50)}, TPixel{39, 1, shadow},
                          TPixel{39, 18, MixColors(c2, shadow, 50)}})
    EXPECT_EQ(alone.Pixel(p.X, p.Y), p.Color) << p.X << "," << p.Y;
}

TEST_F(Painters, AnOffice11ExpandButtonIsTheGlyphWithBlendedCorners) {
  TestSurface surface(11, 11, RGB(255, 0, 0));
  Office11.PaintExpandButton(surface.Canvas(), RECT{0, 0, 11, 11}, false);
  EXPECT_EQ(surface.Pixel(0, 0), MixColors(Office11Color(79), RGB(255, 0, 0), 25));
  EXPECT_EQ(surface.Pixel(10, 10), MixColors(Office11Color(80), RGB(255, 0, 0), 25));
  EXPECT_EQ(surface.Pixel(5, 3), RGB(0, 0, 0));  // the plus's upright
  TestSurface minus(11, 11, RGB(255, 0, 0));
  Office11.PaintExpandButton(minus.Canvas(), RECT{0, 0, 11, 11}, true);
  EXPECT_NE(minus.Pixel(5, 3), RGB(0, 0, 0));
  EXPECT_EQ(minus.Pixel(5, 5), RGB(0, 0, 0));
}

// --- the themed painter ---

TEST_F(Painters, WithThemesOffTheThemedScrollBarAndFrameAreTheStandardOnes) {
  SetVisualStyles(false);
  for (bool horizontal : {false, true})
    for (int part = sbpLineUp; part <= sbpPageDown; ++part)
      for (int state = cxbsDefault; state <= cxbsDisabled; ++state) {
        SCOPED_TRACE(::testing::Message() << horizontal << " part " << part << " state " << state);
        TestSurface themed(30, 17, clRed), standard(30, 17, clRed);
        const RECT r{0, 0, 30, 17};
        const auto p = static_cast<TcxScrollBarPart>(part);
        const auto s = static_cast<TcxButtonState>(state);
        WinXP.PaintScrollBarPart(themed.Canvas(), horizontal, r, p, s);
        Standard.PaintScrollBarPart(standard.Canvas(), horizontal, r, p, s);
        EXPECT_EQ(themed.Read(), standard.Read());
      }
  TestSurface themed(30, 20), standard(30, 20);
  WinXP.PaintFrame(themed.Canvas(), RECT{0, 0, 30, 20});
  Standard.PaintFrame(standard.Canvas(), RECT{0, 0, 30, 20});
  EXPECT_EQ(themed.Read(), standard.Read());
  EXPECT_EQ(WinXP.FrameThickness(), 2);
  EXPECT_EQ(WinXP.ButtonFrameWidth(cxbsDefault), 3);
  EXPECT_TRUE(WinXP.ButtonHotTracks());
}

TEST_F(Painters, TheCheckFrameIsTheThemesWhileTheButtonThemeOpens) {
  UxThemeEntries[uxeOpenThemeData] = AsProc(&fake::OpenThemeData);
  fake::RealOpenThemeData = GetProcAddress(GetModuleHandleA("uxtheme.dll"), "OpenThemeData");
  SetVisualStyles(true);
  EXPECT_EQ(WinXP.CheckFrameWidth(), 0);
  fake::Refused = {L"Button"};
  SendThemeChanged();
  EXPECT_EQ(WinXP.CheckFrameWidth(), 2);
  EXPECT_EQ(WinXP.ButtonFrameWidth(cxbsNormal), 2);
  EXPECT_EQ(WinXP.CheckBoxGlyphSize().cx, SystemCheckBoxGlyphSize().cx);
}

TEST_F(Painters, TheThumbsMinimalSizeIsNeverBelowEight) {
  struct TCase {
    const char* Name;
    bool MinFails, TrueFails;
    SIZE Min, True;
    bool Vertical;
    int Expected;
  };
  const TCase cases[] = {
      {"no sizes", true, true, {0, 0}, {0, 0}, true, 8},
      {"a small minimum", false, true, {3, 3}, {0, 0}, true, 8},
      {"the minimum alone", false, true, {5, 12}, {0, 0}, true, 12},
      {"the true size", false, false, {5, 5}, {4, 20}, true, 20},
      {"the minimum and four", false, false, {5, 5}, {4, 20}, false, 9},
  };
  UxThemeEntries[uxeGetThemePartSize] = AsProc(&fake::GetThemePartSize);
  SetVisualStyles(true);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    fake::MinSizeFails = c.MinFails;
    fake::TrueSizeFails = c.TrueFails;
    fake::MinSize = c.Min;
    fake::TrueSize = c.True;
    EXPECT_EQ(WinXP.ScrollThumbMinSize(c.Vertical), c.Expected);
  }
  SetVisualStyles(false);
  EXPECT_EQ(WinXP.ScrollThumbMinSize(true), 8);
}

TEST_F(Painters, ThemedScrollBarPartsAskTheirPartAndState) {
  struct TCase {
    bool Horizontal;
    TcxScrollBarPart Part;
    TcxButtonState State;
    std::vector<std::pair<int, int>> Drawn;
  };
  const TCase cases[] = {
      {true, sbpLineUp, cxbsPressed, {{1, 11}}},
      {true, sbpLineDown, cxbsHot, {{1, 14}}},
      {false, sbpLineUp, cxbsDisabled, {{1, 4}}},
      {false, sbpLineDown, cxbsDefault, {{1, 5}}},
      {false, sbpThumbnail, cxbsHot, {{3, 2}, {9, 0}}},
      {true, sbpThumbnail, cxbsNormal, {{2, 1}, {8, 0}}},
      {true, sbpPageUp, cxbsPressed, {{4, 3}}},
      {true, sbpPageDown, cxbsNormal, {{5, 1}}},
      {false, sbpPageUp, cxbsDisabled, {{6, 4}}},
      {false, sbpPageDown, cxbsHot, {{7, 2}}},
  };
  UxThemeEntries[uxeDrawThemeBackground] = AsProc(&fake::DrawThemeBackground);
  SetVisualStyles(true);
  TestSurface surface(20, 20);
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.Horizontal << " part " << int(c.Part) << " state " << int(c.State));
    fake::Drawn.clear();
    WinXP.PaintScrollBarPart(surface.Canvas(), c.Horizontal, RECT{0, 0, 20, 20}, c.Part, c.State);
    std::vector<std::pair<int, int>> drawn;
    for (const fake::TDrawn& d : fake::Drawn) drawn.emplace_back(d.Part, d.State);
    EXPECT_EQ(drawn, c.Drawn);
  }
}

// --- radio buttons ---

// The pixel at the middle of the check dot of an image drawn at (0, 0).
POINT DotMiddle() {
  TcxRadioButtonImageList* images = RadioButtonImageList();
  const RECT dot = images->DotBounds();
  const RECT glyph = images->GlyphBounds();
  return POINT{(dot.left + dot.right) / 2 - glyph.left, (dot.top + dot.bottom) / 2 - glyph.top};
}

// A pixel of the outer ring's upper-left half.
POINT OuterRingPixel() {
  TcxRadioButtonImageList* images = RadioButtonImageList();
  const SIZE size = images->GetSize();
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x)
      if (images->PixelClass(x, y) == 1) return POINT{x, y};
  return POINT{-1, -1};
}

TEST_F(Painters, TheRadioPatternIsMeasuredFromTheSystemsRadioButton) {
  TcxRadioButtonImageList* images = RadioButtonImageList();
  const SIZE size = images->GetSize();
  ASSERT_GE(size.cx, 6);
  ASSERT_GE(size.cy, 6);
  EXPECT_LE(size.cx, SystemCheckBoxGlyphSize().cx);
  EXPECT_EQ(TcxUltraFlatLookAndFeelPainter::Instance.RadioButtonExtent().cx, size.cx);
  int counts[7] = {};
  for (int y = 0; y < size.cy; ++y)
    for (int x = 0; x < size.cx; ++x) ++counts[images->PixelClass(x, y)];
  for (int pixelClass = 1; pixelClass <= 6; ++pixelClass) EXPECT_GT(counts[pixelClass], 0) << pixelClass;
  const POINT middle = DotMiddle();
  EXPECT_EQ(images->PixelClass(middle.x, middle.y), 6);
  // The corners are outside the glyph.
  EXPECT_EQ(images->PixelClass(0, 0), 0);
  EXPECT_EQ(images->PixelClass(size.cx - 1, size.cy - 1), 0);
}

TEST_F(Painters, ADisabledCheckedRadioDotTakesItsLooksDisabledColour) {
  struct TCase {
    const TcxCustomLookAndFeelPainter* Painter;
    TColor Dot;
  };
  for (const TCase& c : {TCase{&Office11, Office11Color(52)}, TCase{&Standard, ColorToRGB(clBtnShadow)},
                         TCase{&Flat, ColorToRGB(clBtnShadow)}, TCase{&UltraFlat, ColorToRGB(clBtnShadow)}}) {
    SCOPED_TRACE(c.Painter->PainterName());
    TestSurface surface(20, 20);
    c.Painter->PaintRadioButton(surface.Canvas(), 0, 0, cxbsDisabled, true, false, clDefault);
    const POINT middle = DotMiddle();
    EXPECT_EQ(surface.Pixel(middle.x, middle.y), c.Dot);
    TestSurface enabled(20, 20);
    c.Painter->PaintRadioButton(enabled.Canvas(), 0, 0, cxbsNormal, true, false, clDefault);
    EXPECT_EQ(enabled.Pixel(middle.x, middle.y), ColorToRGB(clWindowText));
  }
}

TEST_F(Painters, AFocusedUltraFlatRadioButtonRingsInTheHighlightColour) {
  const POINT ring = OuterRingPixel();
  ASSERT_GE(ring.x, 0);
  TestSurface focused(20, 20), plain(20, 20);
  UltraFlat.PaintRadioButton(focused.Canvas(), 0, 0, cxbsNormal, false, true, clDefault);
  UltraFlat.PaintRadioButton(plain.Canvas(), 0, 0, cxbsNormal, false, false, clDefault);
  EXPECT_EQ(focused.Pixel(ring.x, ring.y), ColorToRGB(clHighlight));
  EXPECT_EQ(plain.Pixel(ring.x, ring.y), ColorToRGB(clBtnShadow));
  // The default state draws as normal; the corners keep what was beneath.
  TestSurface byDefault(20, 20);
  UltraFlat.PaintRadioButton(byDefault.Canvas(), 0, 0, cxbsDefault, false, false, clDefault);
  EXPECT_EQ(byDefault.Read(), plain.Read());
  EXPECT_EQ(plain.Pixel(0, 0), RGB(255, 255, 255));
  TestSurface onBrush(20, 20);
  UltraFlat.PaintRadioButton(onBrush.Canvas(), 0, 0, cxbsNormal, false, false, RGB(0, 255, 0));
  EXPECT_EQ(onBrush.Pixel(0, 0), RGB(0, 255, 0));
}

TEST_F(Painters, RadioImagesAreDrawnAgainAfterAColourChange) {
  const POINT ring = OuterRingPixel();
  ASSERT_GE(ring.x, 0);
  TestSurface before(20, 20);
  UltraFlat.PaintRadioButton(before.Canvas(), 0, 0, cxbsNormal, false, true, clDefault);
  const int indices[] = {COLOR_HIGHLIGHT};
  const COLORREF saved[] = {GetSysColor(COLOR_HIGHLIGHT)};
  const COLORREF green[] = {RGB(10, 200, 30)};
  // The system tells every top-level window, the palette listener too.
  SetSysColors(1, indices, green);
  TestSurface after(20, 20);
  UltraFlat.PaintRadioButton(after.Canvas(), 0, 0, cxbsNormal, false, true, clDefault);
  SetSysColors(1, indices, saved);
  EXPECT_EQ(after.Pixel(ring.x, ring.y), RGB(10, 200, 30));
  EXPECT_NE(before.Pixel(ring.x, ring.y), RGB(10, 200, 30));
}

}  // namespace
