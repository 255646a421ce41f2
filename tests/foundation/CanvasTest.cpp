// The library canvas: clip regions in logical co-ordinates kept across
// moved origins, fills, frames and edges, tiling on a grid anchored at the
// origin (also left of it), and text in the disabled state.
#include "foundation/Canvas.h"
#include "foundation/Geometry.h"
#include "platform/Bitmap.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

// A 32-bit bitmap to draw on, filled white.
struct TSurface {
  TBitmap Bitmap;
  std::unique_ptr<TcxCanvas> Canvas;
  TSurface(int w, int h) {
    Bitmap.SetPixelFormat(pf32bit);
    Bitmap.SetSize(w, h);
    Bitmap.Canvas()->Brush()->SetColor(clWhite);
    Bitmap.Canvas()->FillRect(RECT{0, 0, w, h});
    Canvas.reset(TcxCanvas::CreateWrapping(Bitmap.Canvas()));
  }
  HDC DC() { return Canvas->GetDeviceContext(); }
  // A pixel at logical co-ordinates as 0x00RRGGBB.
  uint32_t At(int x, int y) { return Rgb(GetPixel(DC(), x, y)); }
};

RECT RegionBox(TcxRegion* region) {
  RECT box{};
  GetRgnBox(region->Handle(), &box);
  return box;
}

std::string Str(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

TEST(CxRegion, CombinesComparesAndMoves) {
  const THandleCounts before = HandleCounts();
  {
    std::unique_ptr<TcxRegion> a(TcxRegion::CreateFromBounds(0, 0, 10, 10));
    std::unique_ptr<TcxRegion> empty(TcxRegion::CreateEmpty());
    EXPECT_TRUE(empty->IsEmpty());
    EXPECT_FALSE(a->IsEmpty());
    EXPECT_FALSE(a->IsEqual(nullptr));
    EXPECT_TRUE(empty->IsEqual(std::unique_ptr<TcxRegion>(TcxRegion::CreateFromBounds(5, 5, 5, 9)).get()));
    a->CombineWith(TcxRegion::CreateFromRect(RECT{5, 0, 10, 10}), roSubtract);
    EXPECT_TRUE(SameRect(RegionBox(a.get()), RECT{0, 0, 5, 10}));
    a->CombineWith(TcxRegion::CreateFromRect(RECT{20, 0, 30, 10}), roAdd);
    EXPECT_TRUE(SameRect(RegionBox(a.get()), RECT{0, 0, 30, 10}));
    a->CombineWith(TcxRegion::CreateFromRect(RECT{2, 2, 25, 4}), roIntersect);
    EXPECT_TRUE(SameRect(RegionBox(a.get()), RECT{2, 2, 25, 4}));
    TcxRegion kept(RECT{1, 1, 2, 2});
    a->CombineWith(&kept, roSet, false);
    EXPECT_TRUE(a->IsEqual(&kept));
    a->OffsetBy(3, 4);
    EXPECT_TRUE(SameRect(RegionBox(a.get()), RECT{4, 5, 5, 6}));
    a->DestroyHandle();
    EXPECT_TRUE(a->IsEmpty());
  }
  EXPECT_EQ(HandleCounts(), before);
}

TEST(CxCanvas, ClipRegionsSurviveMovedOrigins) {
  TSurface s(100, 100);
  std::unique_ptr<TcxRegion> none(s.Canvas->CopyClipRegion());
  EXPECT_TRUE(SameRect(RegionBox(none.get()), RECT{0, 0, 30000, 30000})) << "no clip region";

  s.Canvas->SetWindowOrigin(POINT{10, 20});
  s.Canvas->IntersectClipWithRect(RECT{15, 25, 60, 70});
  std::unique_ptr<TcxRegion> start(s.Canvas->CopyClipRegion());
  EXPECT_TRUE(SameRect(RegionBox(start.get()), RECT{15, 25, 60, 70})) << Str(RegionBox(start.get()));

  s.Canvas->PushClipRegion();
  s.Canvas->ExcludeRectFromClip(RECT{20, 30, 40, 50});
  std::unique_ptr<TcxRegion> narrowed(s.Canvas->CopyClipRegion());
  EXPECT_FALSE(narrowed->IsEqual(start.get()));
  s.Canvas->PopClipRegion();
  std::unique_ptr<TcxRegion> restored(s.Canvas->CopyClipRegion());
  EXPECT_TRUE(restored->IsEqual(start.get())) << Str(RegionBox(restored.get()));
  EXPECT_EQ(s.Canvas->SavedClipRegionCount(), 0);
  s.Canvas->PopClipRegion();  // an empty stack: nothing

  // Intersection with a region the caller keeps leaves it where it was.
  TcxRegion mine(RECT{30, 30, 80, 80});
  s.Canvas->ApplyClipRegion(&mine, roIntersect, false);
  EXPECT_TRUE(SameRect(RegionBox(&mine), RECT{30, 30, 80, 80})) << Str(RegionBox(&mine));
  std::unique_ptr<TcxRegion> clip(s.Canvas->CopyClipRegion());
  EXPECT_TRUE(SameRect(RegionBox(clip.get()), RECT{30, 30, 60, 70})) << Str(RegionBox(clip.get()));
  // A copy-apply the caller keeps is moved back too.
  s.Canvas->ApplyClipRegion(&mine, roSet, false);
  EXPECT_TRUE(SameRect(RegionBox(&mine), RECT{30, 30, 80, 80}));
}

TEST(CxCanvas, FillsAndFrames) {
  TSurface s(20, 20);
  const TColor brush = s.Canvas->GetBrush()->Color();
  s.Canvas->FillWithColor(RECT{0, 0, 20, 20}, clNone);
  EXPECT_EQ(s.At(5, 5), 0xFFFFFFu);
  EXPECT_EQ(s.Canvas->GetBrush()->Color(), brush) << "clNone does not touch the brush";

  // Width 5 on a rectangle 3 wide: the left strip covers the rectangle, no more.
  s.Canvas->DrawSideFrame(RECT{2, 2, 5, 10}, clRed, 5, TcxBorders{bLeft});
  EXPECT_EQ(s.At(1, 5), 0xFFFFFFu);
  EXPECT_EQ(s.At(2, 5), 0xFF0000u);
  EXPECT_EQ(s.At(4, 5), 0xFF0000u);
  EXPECT_EQ(s.At(5, 5), 0xFFFFFFu);

  // The later side wins at the corners: the top-right pixel is right-bottom's.
  s.Canvas->DrawTwoToneFrame(RECT{10, 10, 18, 18}, clBlue, clLime, cxBordersAll, 1);
  EXPECT_EQ(s.At(17, 10), 0x00FF00u);
  EXPECT_EQ(s.At(10, 10), 0x0000FFu);
  EXPECT_EQ(s.At(10, 17), 0x00FF00u);
}

TEST(CxCanvas, InvertsARectangleAndPutsTheCopyModeBack) {
  TSurface s(10, 10);
  s.Canvas->FillWithColor(RECT{0, 0, 5, 10}, static_cast<TColor>(RGB(0x10, 0x20, 0x30)));
  s.Canvas->InvertRect(RECT{2, 2, 8, 8});
  EXPECT_EQ(s.At(3, 3), 0xEFDFCFu);
  EXPECT_EQ(s.At(6, 3), 0x000000u);
  EXPECT_EQ(s.At(1, 1), 0x102030u) << "outside the rectangle";
  EXPECT_EQ(s.Canvas->Canvas()->CopyMode(), static_cast<DWORD>(SRCCOPY));
}

TEST(CxCanvas, ThreeDimensionalEdgeColours) {
  const struct { const char* Name; bool Sunken; bool Second; int LeftTop; int RightBottom; } cases[] = {
      {"raised outer", false, false, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW},
      {"raised inner", false, true, COLOR_3DLIGHT, COLOR_3DDKSHADOW},
      {"sunken outer", true, false, COLOR_3DDKSHADOW, COLOR_3DLIGHT},
      {"sunken inner", true, true, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT},
  };
  for (const auto& c : cases) {
    TSurface s(10, 10);
    s.Canvas->Draw3DEdge(RECT{0, 0, 10, 10}, c.Sunken, c.Second);
    EXPECT_EQ(s.At(0, 5), Rgb(GetSysColor(c.LeftTop))) << c.Name;
    EXPECT_EQ(s.At(9, 5), Rgb(GetSysColor(c.RightBottom))) << c.Name;
  }
}

// A bitmap 16 x 4 whose column c is the colour (c * 16, 0, 255 - c).
std::unique_ptr<TBitmap> ColumnBitmap() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf32bit);
  bitmap->SetSize(16, 4);
  for (int x = 0; x < 16; ++x)
    for (int y = 0; y < 4; ++y) bitmap->Canvas()->SetPixels(x, y, static_cast<TColor>(RGB(x * 16, 0, 255 - x)));
  return bitmap;
}

uint32_t ColumnColour(int column) { return Rgb(RGB(column * 16, 0, 255 - column)); }

TEST(CxCanvas, TilesOnTheOriginsGrid) {
  auto tile = ColumnBitmap();
  const struct { const char* Name; int Left; int OriginX; } cases[] = {
      {"from x = 5", 5, 0},
      {"from x = -5 (origin moved)", -5, -20},
      {"from x = -21 across two cells left of 0", -21, -30},
  };
  for (const auto& c : cases) {
    TSurface s(80, 8);
    s.Canvas->SetWindowOrigin(POINT{c.OriginX, 0});
    s.Canvas->FillRectOrTile(RECT{c.Left, 0, c.Left + 40, 8}, tile.get());
    for (int x = c.Left; x < c.Left + 40; ++x) {
      const int column = ((x % 16) + 16) % 16;
      ASSERT_EQ(s.At(x, 1), ColumnColour(column)) << c.Name << " at x = " << x;
    }
    EXPECT_EQ(s.At(c.Left - 1, 1), 0xFFFFFFu) << c.Name << ": nothing left of the rectangle";
  }
}

TEST(CxCanvas, ExcludeFlagRemovesTheFilledRectFromTheClip) {
  TSurface s(20, 20);
  s.Canvas->SetBrushColor(clRed);
  s.Canvas->FillRectOrTile(RECT{0, 0, 10, 10}, nullptr, true);
  s.Canvas->FillWithColor(RECT{0, 0, 20, 20}, clBlue);
  EXPECT_EQ(s.At(5, 5), 0xFF0000u);
  EXPECT_EQ(s.At(15, 15), 0x0000FFu);
}

TEST(CxCanvas, DisabledTextIsEmbossedInsideTheRectangle) {
  TSurface s(120, 30);
  s.Canvas->FillWithColor(RECT{0, 0, 120, 30}, static_cast<TColor>(RGB(0, 128, 0)));
  s.Canvas->GetBrush()->SetStyle(bsClear);
  SIZE size;
  s.Canvas->MeasureTextSize("Wide", size);
  ASSERT_GT(size.cx, 0);
  const RECT r{0, 0, 100, 30};
  s.Canvas->DrawTextInState("Wide", r, cxSingleLine | cxAlignRight | cxAlignTop, false);
  const uint32_t shadow = Rgb(GetSysColor(COLOR_BTNSHADOW));
  const uint32_t highlight = Rgb(GetSysColor(COLOR_BTNHIGHLIGHT));
  // The shadow copy ends one pixel left of the right edge, the highlight
  // copy one pixel right of and below it.
  int lastShadow = -1, lastHighlight = -1;
  for (int x = 0; x < 120; ++x)
    for (int y = 0; y < 30; ++y) {
      if (s.At(x, y) == shadow) lastShadow = std::max(lastShadow, x);
      if (s.At(x, y) == highlight) lastHighlight = std::max(lastHighlight, x);
    }
  EXPECT_LE(lastShadow, 98);
  EXPECT_GE(lastShadow, 90);
  EXPECT_EQ(lastHighlight, lastShadow + 1);
  EXPECT_EQ(s.Canvas->GetBrush()->Style(), bsClear);
  EXPECT_EQ(s.Canvas->GetFont()->Color(), clWindowText) << "the font colour is put back";
}

TEST(CxCanvas, MeasuresTextRectangles) {
  TSurface s(10, 10);
  RECT r{5, 5, 5, 5};
  s.Canvas->MeasureTextRect("word word", r, cxWordBreak);
  EXPECT_EQ(r.left, 5);
  EXPECT_GT(WidthOfRect(r), 0) << "measured from a rectangle one pixel wide";
  EXPECT_GT(HeightOfRect(r), s.Canvas->HeightOfText("word")) << "one word a line";
  RECT empty{5, 5, 2, 5};
  s.Canvas->MeasureTextRect("", empty, cxWordBreak);
  EXPECT_EQ(empty.left, 5);
  EXPECT_EQ(empty.right, 5) << "collapsed to its top-left";
  EXPECT_EQ(TextFlagsToDrawTextFlags(cxWordBreak), static_cast<UINT>(DT_NOPREFIX | DT_WORDBREAK | DT_EDITCONTROL));
  EXPECT_EQ(TextFlagsToDrawTextFlags(cxWordBreak | cxDontBreakChars | cxShowPrefix), static_cast<UINT>(DT_WORDBREAK));
}

TEST(CxCanvas, StatesAndScreenCanvasLeaveNoHandles) {
  const THandleCounts before = HandleCounts();
  {
    std::unique_ptr<TcxScreenCanvas> screen(TcxScreenCanvas::CreateForScreen());
    EXPECT_GT(screen->WidthOfText("Qq"), 0);
    screen->GetFont()->SetHeight(-30);
    screen->PushState();
    screen->GetFont()->SetHeight(-10);
    screen->PushClipRegion();
    screen->IntersectClipWithRect(RECT{0, 0, 5, 5});
    screen->PopClipRegion();
    screen->PopState();
    EXPECT_EQ(screen->GetFont()->Height(), -30);
    screen->PopState();  // nothing left: ignored
  }
  EXPECT_EQ(HandleCounts(), before);
}

TEST(CxCanvas, CopiesFontBrushAndPenFromADeviceContext) {
  TSurface s(4, 4);
  TMemoryDC dc;
  TGdiObject font(CreateFontA(-17, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"));
  TGdiObject brush(CreateHatchBrush(HS_CROSS, RGB(1, 2, 3)));
  TGdiObject pen(CreatePen(PS_DOT, 1, RGB(4, 5, 6)));
  TSelectObjectGuard f(dc.Get(), font.Get()), b(dc.Get(), brush.Get()), p(dc.Get(), pen.Get());
  SetTextColor(dc.Get(), RGB(7, 8, 9));
  SetROP2(dc.Get(), R2_XORPEN);
  s.Canvas->CopyFontBrushPenFromDC(dc.Get());
  EXPECT_EQ(s.Canvas->GetFont()->Height(), -17);
  EXPECT_EQ(s.Canvas->GetFont()->Color(), static_cast<TColor>(RGB(7, 8, 9)));
  EXPECT_EQ(s.Canvas->GetBrush()->Style(), bsCross);
  EXPECT_EQ(s.Canvas->GetBrush()->Color(), static_cast<TColor>(RGB(1, 2, 3)));
  EXPECT_EQ(s.Canvas->GetPen()->Style(), psDot);
  EXPECT_EQ(s.Canvas->GetPen()->Mode(), pmXor);
}

}  // namespace
