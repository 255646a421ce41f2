// Gradients, frames, the drop arrow, rotated fonts and the platform queries,
// drawn into a 32-bit DIB and read back pixel by pixel; and the gallery
// screenshot of frames, gradients, a group bar and drop arrows.
#include "panels/DrawingHelpers.h"
#include "panels/Gradients.h"
#include "platform/HandleCounts.h"
#include "tests/panels/PanelsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

constexpr COLORREF Background = RGB(1, 2, 3);
constexpr COLORREF StartColor = RGB(200, 40, 10);
constexpr COLORREF EndColor = RGB(20, 100, 240);

bool Between(COLORREF c, COLORREF a, COLORREF b) {
  auto in = [](int v, int x, int y) { return v > std::min(x, y) && v < std::max(x, y); };
  return in(GetRValue(c), GetRValue(a), GetRValue(b)) && in(GetGValue(c), GetGValue(a), GetGValue(b)) &&
         in(GetBValue(c), GetBValue(a), GetBValue(b));
}

struct Probe {
  int X, Y;
  enum { Start, End, Mid } Expect;
};

struct GradientCase {
  const char* Name;
  TGradientDirection Direction;
  std::vector<Probe> Probes;  // in the gradient's own coordinates (W = 41, H = 31)
};

TEST(Gradients, EdgesAndMiddleHoldTheirColours) {
  constexpr int W = 41, H = 31, L = 5, T = 4;
  const GradientCase cases[] = {
      {"horizontal end", gdHorizontalEnd, {{0, 0, Probe::Start}, {40, 0, Probe::Start}, {20, 30, Probe::End},
                                           {7, 15, Probe::Mid}}},
      {"horizontal center", gdHorizontalCenter, {{3, 0, Probe::Start}, {3, 30, Probe::Start}, {30, 15, Probe::End},
                                                 {9, 7, Probe::Mid}, {9, 23, Probe::Mid}}},
      {"vertical end", gdVerticalEnd, {{0, 3, Probe::Start}, {40, 3, Probe::End}, {20, 29, Probe::Mid}}},
      {"vertical center", gdVerticalCenter, {{0, 9, Probe::Start}, {40, 9, Probe::Start}, {20, 9, Probe::End},
                                             {10, 9, Probe::Mid}, {30, 9, Probe::Mid}}},
      {"horizontal box", gdHorizontalBox, {{0, 0, Probe::Start}, {40, 30, Probe::Start}, {0, 15, Probe::Start},
                                           {20, 15, Probe::End}, {12, 15, Probe::End}, {20, 7, Probe::Mid}}},
      {"vertical box", gdVerticalBox, {{0, 0, Probe::Start}, {40, 0, Probe::Start}, {20, 30, Probe::Start},
                                       {20, 15, Probe::End}, {20, 10, Probe::End}, {10, 15, Probe::Mid}}},
      {"square box", gdSquareBox, {{0, 0, Probe::Start}, {40, 30, Probe::Start}, {0, 30, Probe::Start},
                                   {20, 15, Probe::End}, {10, 15, Probe::Mid}, {30, 15, Probe::Mid}}},
      {"big square box", gdBigSquareBox, {{0, 0, Probe::Start}, {40, 0, Probe::Start}, {40, 30, Probe::Start},
                                          {20, 15, Probe::End}, {15, 12, Probe::End}, {5, 15, Probe::Mid}}},
      {"diagonal down", gdDiagonalDown, {{0, 0, Probe::Start}, {40, 30, Probe::End}, {20, 15, Probe::Mid}}},
      {"diagonal up", gdDiagonalUp, {{0, 30, Probe::Start}, {40, 0, Probe::End}, {20, 15, Probe::Mid}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const THandleCounts before = HandleCounts();
    {
      TProbeDIB dib(W + 10, H + 10, Background);
      FillGradient(dib.Canvas(), RECT{L, T, L + W, T + H}, c.Direction, StartColor, EndColor);
      for (const Probe& p : c.Probes) {
        const COLORREF got = dib.At(L + p.X, T + p.Y);
        if (p.Expect == Probe::Start) {
          EXPECT_EQ(got, StartColor) << "start at " << p.X << "," << p.Y;
        } else if (p.Expect == Probe::End) {
          EXPECT_EQ(got, EndColor) << "end at " << p.X << "," << p.Y;
        } else {
          EXPECT_TRUE(Between(got, StartColor, EndColor)) << "between at " << p.X << "," << p.Y << ": " << std::hex
                                                          << got;
        }
      }
      // Nothing outside the rectangle.
      EXPECT_EQ(dib.At(L - 1, T), Background);
      EXPECT_EQ(dib.At(L + W, T + H - 1), Background);
      EXPECT_EQ(dib.At(L, T + H), Background);
      EXPECT_EQ(dib.At(L, T - 1), Background);
    }
    EXPECT_EQ(HandleCounts(), before);
  }
}

TEST(Gradients, EmptyReversedAndSolid) {
  for (int d = 0; d < 10; ++d) {
    const auto direction = static_cast<TGradientDirection>(d);
    SCOPED_TRACE(d);
    TProbeDIB dib(60, 40, Background);
    FillGradient(dib.Canvas(), RECT{10, 10, 10, 30}, direction, StartColor, EndColor);
    FillGradient(dib.Canvas(), RECT{10, 10, 30, 10}, direction, StartColor, EndColor);
    EXPECT_EQ(dib.At(10, 10), Background) << "zero width or height paints nothing";
    // A reversed rectangle paints its absolute size at its Left, Top.
    FillGradient(dib.Canvas(), RECT{40, 20, 20, 10}, direction, clLime, clLime);
    EXPECT_EQ(dib.At(40, 20), RGB(0, 255, 0));
    EXPECT_EQ(dib.At(59, 29), RGB(0, 255, 0));
    EXPECT_EQ(dib.At(39, 20), Background);
    EXPECT_EQ(dib.At(40, 30), Background);
    // Equal colours are solid everywhere.
    TProbeDIB solid(23, 17, Background);
    FillGradient(solid.Canvas(), RECT{0, 0, 23, 17}, direction, RGB(9, 80, 7), RGB(9, 80, 7));
    for (int y = 0; y < 17; y += 4)
      for (int x = 0; x < 23; x += 3) ASSERT_EQ(solid.At(x, y), RGB(9, 80, 7)) << x << "," << y;
  }
}

TEST(Frames, GrooveOnTheBottomSideOnly) {
  TProbeDIB dib(30, 20, Background);
  const RECT r{2, 2, 22, 12};
  const RECT inside = PaintFrameSides(dib.Canvas(), r, fsGroove, TSides{sdBottom});
  EXPECT_EQ(inside.left, 2);
  EXPECT_EQ(inside.top, 2);
  EXPECT_EQ(inside.right, 22);
  EXPECT_EQ(inside.bottom, 10);
  for (int x = 2; x < 22; ++x) {
    EXPECT_EQ(dib.At(x, 10), Sys(COLOR_BTNSHADOW)) << x;
    EXPECT_EQ(dib.At(x, 11), Sys(COLOR_BTNHIGHLIGHT)) << x;
    EXPECT_EQ(dib.At(x, 9), Background) << x;
    EXPECT_EQ(dib.At(x, 12), Background) << x;
  }
  EXPECT_EQ(dib.At(1, 10), Background);
  EXPECT_EQ(dib.At(22, 11), Background);
  EXPECT_EQ(dib.At(2, 2), Background);
  EXPECT_EQ(dib.At(21, 2), Background);
}

TEST(Frames, SidesWithoutColourShrinkOnly) {
  TProbeDIB dib(20, 20, Background);
  const RECT inside = PaintSides(dib.Canvas(), RECT{2, 3, 15, 16}, clNone, clNone, TSides{sdLeft, sdBottom});
  EXPECT_EQ(inside.left, 3);
  EXPECT_EQ(inside.top, 3);
  EXPECT_EQ(inside.right, 15);
  EXPECT_EQ(inside.bottom, 15);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(dib.At(x, y), Background) << x << "," << y;
}

struct FrameCase {
  const char* Name;
  TFrameStyle Style;
  int Inset;
  COLORREF TopLeft, BottomRight;  // the outer ring's top and bottom lines
};

TEST(Frames, StylesPaintTheirRingsAndAnswerTheInside) {
  const FrameCase cases[] = {
      {"none", fsNone, 0, Background, Background},
      {"flat", fsFlat, 1, Sys(COLOR_3DDKSHADOW), Sys(COLOR_3DDKSHADOW)},
      {"groove", fsGroove, 2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)},
      {"bump", fsBump, 2, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)},
      {"lowered", fsLowered, 2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)},
      {"button down", fsButtonDown, 2, Sys(COLOR_BTNTEXT), Sys(COLOR_BTNTEXT)},
      {"raised", fsRaised, 2, Sys(COLOR_3DLIGHT), Sys(COLOR_3DDKSHADOW)},
      {"button up", fsButtonUp, 2, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DDKSHADOW)},
      {"status", fsStatus, 1, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT)},
      {"popup", fsPopup, 1, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW)},
      {"flat bold", fsFlatBold, 2, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNSHADOW)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(30, 20, Background);
    const RECT inside = PaintStyleFrame(dib.Canvas(), RECT{0, 0, 30, 20}, c.Style);
    EXPECT_EQ(inside.left, c.Inset);
    EXPECT_EQ(inside.bottom, 20 - c.Inset);
    EXPECT_EQ(dib.At(10, 0), c.TopLeft);
    EXPECT_EQ(dib.At(10, 19), c.BottomRight);
    EXPECT_EQ(dib.At(15, 10), Background);
  }
}

TEST(Frames, TintedFramesUseShadesOfTheFace) {
  const COLORREF face = RGB(120, 160, 220);
  TProbeDIB dib(30, 20, Background);
  PaintTintedFrame(dib.Canvas(), RECT{0, 0, 30, 20}, face, fsLowered);
  EXPECT_EQ(dib.At(10, 0), ShadeDarker(face, 50));
  EXPECT_EQ(dib.At(10, 19), ShadeLighter(face, 100));
  EXPECT_EQ(dib.At(10, 1), ShadeDarker(face, 100));
  EXPECT_EQ(dib.At(10, 18), ShadeLighter(face, 50));
  // A control frame on the window colour uses the system frame colours.
  TProbeDIB plain(30, 20, Background);
  PaintControlFrame(plain.Canvas(), 30, 20, fsStatus, clWindow, clBlack, sdAllSides, false);
  EXPECT_EQ(plain.At(10, 0), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(plain.At(10, 1), Sys(COLOR_WINDOW));
}

struct PixelProbe {
  int X, Y;
  COLORREF Color;
};

void ExpectPixels(TProbeDIB& dib, const std::vector<PixelProbe>& probes) {
  for (const PixelProbe& p : probes)
    EXPECT_EQ(dib.At(p.X, p.Y), p.Color) << "at " << p.X << "," << p.Y << std::hex << " got " << dib.At(p.X, p.Y);
}

// The rows of the top and the bottom edge at the middle column of a 40 x 30
// frame, from the edge inward.
std::vector<PixelProbe> EdgeRows(std::vector<COLORREF> top, std::vector<COLORREF> bottom) {
  std::vector<PixelProbe> probes;
  for (size_t i = 0; i < top.size(); ++i) probes.push_back({20, static_cast<int>(i), top[i]});
  for (size_t i = 0; i < bottom.size(); ++i) probes.push_back({20, 29 - static_cast<int>(i), bottom[i]});
  return probes;
}

std::vector<PixelProbe> operator+(std::vector<PixelProbe> a, const std::vector<PixelProbe>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

struct BorderCase {
  const char* Name;
  TRzInnerOuterFrame Frame;
  int Inset;
  std::vector<PixelProbe> Probes;
};

TRzInnerOuterFrame Border(TFrameStyle outer, TFrameStyle inner, int borderWidth = 0, bool transparent = false) {
  TRzInnerOuterFrame f;
  f.Outer = outer;
  f.Inner = inner;
  f.BorderWidth = borderWidth;
  f.Transparent = transparent;
  f.ParentColor = RGB(0, 200, 0);
  f.Color = RGB(0, 0, 200);
  f.FlatColor = RGB(100, 110, 120);
  f.FlatColorAdjustment = 0;
  f.BorderColor = RGB(200, 0, 0);
  f.BorderHighlight = RGB(250, 250, 0);
  f.BorderShadow = RGB(0, 0, 90);
  return f;
}

TRzInnerOuterFrame WithAdjustment(TRzInnerOuterFrame f, int adjustment) {
  f.FlatColorAdjustment = adjustment;
  return f;
}

TRzInnerOuterFrame WithBevel(TRzInnerOuterFrame f, int bevel) {
  f.BevelWidth = bevel;
  return f;
}

TEST(Frames, PanelBordersPaintOuterBorderWidthAndInner) {
  const COLORREF flat = RGB(100, 110, 120), parent = RGB(0, 200, 0), own = RGB(0, 0, 200), border = RGB(200, 0, 0);
  const COLORREF light = RGB(250, 250, 0), shadow = RGB(0, 0, 90), bg = Background;
  const BorderCase cases[] = {
      {"flat", Border(fsFlat, fsNone), 1, EdgeRows({flat, bg}, {flat, bg})},
      {"flat lightened by its adjustment", WithAdjustment(Border(fsFlat, fsNone), 30), 1,
       EdgeRows({ShadeLighter(flat, 30), bg}, {ShadeLighter(flat, 30), bg})},
      {"flat bold", Border(fsFlatBold, fsNone), 2, EdgeRows({flat, flat, bg}, {flat, flat, bg})},
      {"raised, border width 2, lowered", Border(fsRaised, fsLowered, 2), 6,
       EdgeRows({Sys(COLOR_3DLIGHT), Sys(COLOR_BTNHIGHLIGHT), border, border, Sys(COLOR_BTNSHADOW),
                 Sys(COLOR_3DDKSHADOW), bg},
                {Sys(COLOR_3DDKSHADOW), Sys(COLOR_BTNSHADOW), border, border, Sys(COLOR_BTNHIGHLIGHT),
                 Sys(COLOR_3DLIGHT), bg})},
      {"popup, bevel width 2", WithBevel(Border(fsPopup, fsNone), 2), 2,
       EdgeRows({light, light, bg}, {shadow, shadow, bg})},
      {"status", Border(fsStatus, fsNone), 1, EdgeRows({shadow, bg}, {light, bg})},
      {"inner groove inside a border", Border(fsNone, fsGroove, 1), 3,
       EdgeRows({border, Sys(COLOR_BTNSHADOW), Sys(COLOR_BTNHIGHLIGHT), bg},
                {border, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_BTNSHADOW), bg})},
      // Rounded: the parent colour outside the rounded corners, the own
      // colour inside the line, one pixel set diagonally in each corner.
      {"rounded", Border(fsFlatRounded, fsNone), 2,
       EdgeRows({flat, own, bg}, {flat, own, bg}) +
           std::vector<PixelProbe>{{0, 0, parent}, {1, 0, parent}, {0, 1, parent}, {1, 1, flat}, {2, 0, flat},
                                   {0, 2, flat}, {39, 29, parent}, {38, 28, flat}, {38, 1, flat}, {1, 28, flat},
                                   {1, 15, own}}},
      {"rounded with an inner style: the border colour inside", Border(fsFlatRounded, fsLowered), 4,
       EdgeRows({flat, border, Sys(COLOR_BTNSHADOW), Sys(COLOR_3DDKSHADOW), bg},
                {flat, border, Sys(COLOR_BTNHIGHLIGHT), Sys(COLOR_3DLIGHT), bg})},
      {"rounded, transparent", Border(fsFlatRounded, fsNone, 0, true), 2,
       EdgeRows({flat, bg}, {flat, bg}) + std::vector<PixelProbe>{{0, 0, bg}, {1, 1, flat}, {1, 15, bg}}},
      {"rounded, transparent, border width 1", Border(fsFlatRounded, fsNone, 1, true), 3,
       EdgeRows({flat, border, border, bg}, {flat, border, border, bg}) +
           std::vector<PixelProbe>{{0, 0, bg}, {1, 15, border}}},
      {"rounded inside", Border(fsNone, fsFlatRounded), 2,
       EdgeRows({flat, own, bg}, {flat, own, bg}) + std::vector<PixelProbe>{{0, 0, border}, {1, 1, flat}}},
      {"rounded inside, transparent", Border(fsNone, fsFlatRounded, 0, true), 2,
       EdgeRows({flat, bg}, {flat, bg}) + std::vector<PixelProbe>{{0, 0, border}, {1, 15, bg}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(40, 30, Background);
    const RECT inside = PaintInnerOuterFrames(dib.Canvas(), RECT{0, 0, 40, 30}, c.Frame);
    EXPECT_EQ(inside.left, c.Inset);
    EXPECT_EQ(inside.top, c.Inset);
    EXPECT_EQ(inside.right, 40 - c.Inset);
    EXPECT_EQ(inside.bottom, 30 - c.Inset);
    ExpectPixels(dib, c.Probes);
  }
}

TEST(Frames, RoundedFlatFrameLeavesTheCornersOut) {
  const COLORREF red = RGB(255, 0, 0);
  const struct {
    const char* Name;
    TSides Sides;
    RECT Inside;
    std::vector<PixelProbe> Probes;
  } cases[] = {
      {"all sides", sdAllSides, RECT{4, 4, 20, 10},
       {{2, 4, red}, {2, 3, Background}, {3, 3, red}, {3, 2, Background}, {4, 2, red}, {19, 2, red},
        {20, 2, Background}, {21, 4, red}, {20, 3, red}, {20, 10, red}, {3, 10, red}, {21, 11, Background},
        {19, 11, red}, {2, 9, red}, {2, 10, Background}}},
      {"left and top", TSides{sdLeft, sdTop}, RECT{4, 4, 22, 12},
       {{2, 11, red}, {21, 2, red}, {3, 3, red}, {21, 11, Background}, {20, 10, Background},
        {21, 4, Background}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(30, 20, Background);
    const RECT inside = PaintRoundedFlatFrame(dib.Canvas(), RECT{2, 2, 22, 12}, red, c.Sides);
    EXPECT_EQ(inside.left, c.Inside.left);
    EXPECT_EQ(inside.top, c.Inside.top);
    EXPECT_EQ(inside.right, c.Inside.right);
    EXPECT_EQ(inside.bottom, c.Inside.bottom);
    ExpectPixels(dib, c.Probes);
  }
}

TEST(Frames, BoxOutlineAndCornerArms) {
  const COLORREF red = RGB(255, 0, 0);
  TProbeDIB box(30, 20, Background);
  const RECT inside = PaintBox(box.Canvas(), RECT{2, 2, 22, 12}, red);
  EXPECT_EQ(inside.left, 3);
  EXPECT_EQ(inside.top, 3);
  EXPECT_EQ(inside.right, 21);
  EXPECT_EQ(inside.bottom, 11);
  ExpectPixels(box, {{2, 2, red}, {21, 2, red}, {21, 11, red}, {2, 11, red}, {12, 2, red}, {12, 11, red},
                     {2, 7, red}, {21, 7, red}, {12, 7, Background}, {22, 2, Background}, {2, 12, Background}});
  TProbeDIB corners(30, 20, Background);
  PaintBoxCorners(corners.Canvas(), RECT{2, 2, 22, 12}, red, 3);
  ExpectPixels(corners, {// top left
                         {2, 2, red}, {4, 2, red}, {5, 2, Background}, {2, 4, red}, {2, 5, Background},
                         // top right
                         {21, 2, red}, {19, 2, red}, {18, 2, Background}, {21, 4, red}, {21, 5, Background},
                         // bottom right
                         {21, 11, red}, {19, 11, red}, {18, 11, Background}, {21, 9, red}, {21, 8, Background},
                         // bottom left
                         {2, 11, red}, {4, 11, red}, {5, 11, Background}, {2, 9, red}, {2, 8, Background},
                         {12, 2, Background}, {12, 11, Background}});
}

TEST(Frames, ControlFramesClearWithTheFaceAndFrameTheChosenSides) {
  const COLORREF face = RGB(120, 160, 220), red = RGB(255, 0, 0), bg = Background;
  const struct {
    const char* Name;
    TFrameStyle Style;
    TSides Sides;
    bool NoClear;
    std::vector<PixelProbe> Probes;
  } cases[] = {
      {"tinted groove", fsGroove, sdAllSides, false,
       EdgeRows({ShadeDarker(face, 50), ShadeLighter(face, 100), bg},
                {ShadeLighter(face, 100), ShadeDarker(face, 50), bg})},
      {"flat on the top side, cleared", fsFlat, TSides{sdTop}, false,
       EdgeRows({red, face, bg}, {face, face, bg}) + std::vector<PixelProbe>{{0, 15, face}, {1, 15, face}}},
      {"flat, not cleared", fsFlat, sdAllSides, true, EdgeRows({red, bg}, {red, bg})},
      {"flat bold, not cleared", fsFlatBold, sdAllSides, true,
       EdgeRows({red, red, bg}, {red, red, bg}) + std::vector<PixelProbe>{{0, 15, red}, {1, 15, red}, {2, 15, bg}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    TProbeDIB dib(40, 30, Background);
    PaintControlFrame(dib.Canvas(), 40, 30, c.Style, face, red, c.Sides, c.NoClear);
    ExpectPixels(dib, c.Probes);
  }
}

TEST(GroupBar, GradientFromTheChosenColoursAlongThePath) {
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255);
  const TRzGradientPair system = SchemeGroupBarColors(gcsSystem);
  const struct {
    const char* Name;
    TRzVisualStyle Visual;
    TRzGradientColorStyle Colors;
    TRzGroupBarGradientPath Path;
    bool StylesOn;
    bool FullColor;
    COLORREF Top, Bottom;  // Background: nothing painted
  } cases[] = {
      {"classic", vsClassic, gcsCustom, gpTopToBottom, true, true, Background, Background},
      {"custom, top to bottom", vsGradient, gcsCustom, gpTopToBottom, true, true, red, blue},
      {"custom, bottom to top", vsGradient, gcsCustom, gpBottomToTop, true, true, blue, red},
      {"system colours", vsGradient, gcsSystem, gpTopToBottom, true, true, ColorToRGB(system.Start),
       ColorToRGB(system.Stop)},
      {"XP look without visual styles", vsWinXP, gcsCustom, gpTopToBottom, false, true, red, blue},
      {"256 colours", vsGradient, gcsCustom, gpTopToBottom, true, false, Background, Background},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const bool savedFull = FullColorDisplay;
    FullColorDisplay = c.FullColor;
    {
      std::optional<StylesOff> off;
      if (!c.StylesOn) off.emplace();
      TProbeDIB dib(60, 40, Background);
      PaintGroupBarBackground(dib.Canvas(), RECT{5, 5, 55, 35}, c.Visual, c.Colors, c.Path, red, blue);
      EXPECT_EQ(dib.At(30, 5), c.Top);
      EXPECT_EQ(dib.At(30, 34), c.Bottom);
      EXPECT_EQ(dib.At(30, 4), Background);
      EXPECT_EQ(dib.At(30, 35), Background);
    }
    FullColorDisplay = savedFull;
  }
}

TEST(DropArrow, FlatTriangleOnWindowsSeven) {
  ASSERT_TRUE(WindowsLevelReached(7));
  TProbeDIB dib(20, 20, RGB(255, 255, 255));
  dib.Canvas()->Brush()->SetColor(clWhite);
  PaintDropArrow(dib.Canvas(), RECT{0, 0, 20, 20}, 1, true);
  // Centre (10, 9) for an even height, plus 2: the point is at (10, 11).
  EXPECT_EQ(dib.At(10, 11), RGB(0, 0, 0));
  EXPECT_EQ(dib.At(9, 10), RGB(0, 0, 0));
  EXPECT_EQ(dib.At(7, 8), RGB(0, 0, 0));
  EXPECT_EQ(dib.At(13, 8), RGB(0, 0, 0));
  EXPECT_EQ(dib.At(14, 8), RGB(255, 255, 255));
  EXPECT_EQ(dib.At(10, 12), RGB(255, 255, 255));
  EXPECT_EQ(dib.At(10, 7), RGB(255, 255, 255));
  EXPECT_EQ(dib.Canvas()->Brush()->Color(), clWhite) << "brush colour put back";
  TProbeDIB disabled(20, 20, RGB(255, 255, 255));
  PaintDropArrow(disabled.Canvas(), RECT{0, 0, 20, 20}, 0, false);
  EXPECT_EQ(disabled.At(10, 11), Sys(COLOR_BTNSHADOW));
  // On a brush hard to tell from black the arrow is dark grey; an odd
  // height centres it one row lower.
  TProbeDIB dark(20, 21, RGB(10, 10, 10));
  dark.Canvas()->Brush()->SetColor(RGB(10, 10, 10));
  PaintDropArrow(dark.Canvas(), RECT{0, 0, 20, 21}, 0, true);
  EXPECT_EQ(dark.At(10, 12), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(dark.At(7, 9), Sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(dark.At(10, 13), RGB(10, 10, 10));
  EXPECT_EQ(dark.Canvas()->Brush()->Color(), static_cast<TColor>(RGB(10, 10, 10)));
}

TEST(AngledFont, EscapementWeightAndCrossedPitch) {
  const struct {
    TFontPitch Pitch;
    int Expected;
  } pitches[] = {{fpDefault, DEFAULT_PITCH}, {fpFixed, FIXED_PITCH}, {fpVariable, VARIABLE_PITCH}};
  for (const auto& p : pitches) {
    TFont font;
    font.SetName("Tahoma");
    font.SetHeight(-14);
    font.SetStyle(TFontStyles{fsBold, fsItalic});
    font.SetPitch(p.Pitch);
    const TGdiObject angled(CreateAngledFont(&font, 45));
    ASSERT_TRUE(angled);
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(angled.Get(), sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfEscapement, 450);
    EXPECT_EQ(lf.lfOrientation, 0);
    EXPECT_EQ(lf.lfHeight, -14);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_FALSE(lf.lfUnderline);
    EXPECT_EQ(lf.lfPitchAndFamily & 3, p.Expected);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  }
}

TEST(PlatformQueries, WindowsLevelsOnWindowsSeven) {
  // Windows 6.1: level 2 asks for a minor version of 10 or more, so only it fails.
  for (int level : {0, 1, 3, 4, 5, 6, 7}) EXPECT_TRUE(WindowsLevelReached(level)) << level;
  EXPECT_FALSE(WindowsLevelReached(2));
  EXPECT_FALSE(WindowsLevelReached(8));
  EXPECT_FALSE(WindowsLevelReached(-1));
  const RECT work = ActiveMonitorWorkArea(GetDesktopWindow());
  EXPECT_GT(ActiveMonitorWorkAreaWidth(GetDesktopWindow()), 0);
  TMonitor* monitor = MonitorAtPoint(POINT{work.left, work.top});
  ASSERT_NE(monitor, nullptr);
  EXPECT_GE(MonitorFullRect(monitor).right, MonitorWorkRect(monitor).right);
  EXPECT_EQ(MonitorAtPoint(POINT{-100000, -100000}), nullptr);
  const RECT centered = RectCenteredIn(RECT{0, 0, 11, 20}, 4, 6);
  EXPECT_EQ(centered.left, 3);
  EXPECT_EQ(centered.top, 7);
}

TEST(Gallery, FramesGradientsGroupBarAndArrows) {
  TProbeDIB dib(620, 330, GetSysColor(COLOR_BTNFACE));
  TCanvas* canvas = dib.Canvas();
  const TFrameStyle styles[] = {fsFlat, fsGroove, fsBump, fsLowered, fsButtonDown, fsRaised,
                                fsButtonUp, fsStatus, fsPopup, fsFlatBold, fsFlatRounded};
  for (int i = 0; i < 11; ++i) {
    const RECT r{10 + i * 55, 10, 10 + i * 55 + 48, 40};
    PaintStyleFrame(canvas, r, styles[i]);
    PaintTintedFrame(canvas, RECT{r.left, 50, r.right, 80}, RGB(120, 160, 220), styles[i]);
    if (styles[i] == fsFlatRounded) PaintRoundedFlatFrame(canvas, r, clBtnShadow, sdAllSides);
  }
  for (int d = 0; d < 10; ++d) {
    const RECT r{10 + (d % 5) * 120, 95 + (d / 5) * 75, 10 + (d % 5) * 120 + 110, 95 + (d / 5) * 75 + 65};
    FillGradient(canvas, r, static_cast<TGradientDirection>(d), RGB(255, 255, 255), RGB(60, 110, 200));
  }
  PaintGroupBarBackground(canvas, RECT{10, 250, 300, 280}, vsGradient, gcsMSOffice, gpTopToBottom, clNone, clNone);
  PaintGroupBarBackground(canvas, RECT{10, 290, 300, 320}, vsGradient, gcsSystem, gpBottomToTop, clNone, clNone);
  for (int i = 0; i < 3; ++i) {
    const RECT r{320 + i * 30, 255, 340 + i * 30, 275};
    canvas->Brush()->SetColor(clBtnFace);
    PaintDropArrow(canvas, r, i, i != 2);
  }
  TRzInnerOuterFrame frame;
  frame.Outer = fsFlatRounded;
  frame.Inner = fsNone;
  frame.ParentColor = clBtnFace;
  frame.Color = clWindow;
  PaintInnerOuterFrames(canvas, RECT{420, 250, 520, 320}, frame);
  frame.Outer = fsRaised;
  frame.Inner = fsLowered;
  frame.BorderWidth = 2;
  PaintInnerOuterFrames(canvas, RECT{530, 250, 610, 320}, frame);
  dib.Save("panels-gallery");
}

}  // namespace
