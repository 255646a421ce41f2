// The canvas over a device context: colours, fills, lines, text, copies, and
// the font/pen/brush objects with their shared handles.
#include "platform/Canvas.h"
#include "tests/platform/graphics/GraphicsTestUtil.h"

#include <gtest/gtest.h>

#include <thread>

namespace {

using namespace graphics_test;

TEST(Colors, ColorToRGBResolvesOnlySystemColours) {
  struct Case {
    TColor Color;
    TColor Expected;
  } cases[] = {
      {clBtnFace, GetSysColor(COLOR_BTNFACE)},
      {clWindowText, GetSysColor(COLOR_WINDOWTEXT)},
      {clHighlight, GetSysColor(COLOR_HIGHLIGHT)},
      {clRed, 0x0000FF},
      {0x123456, 0x123456},
      {clNone, clNone},
      {clDefault, clDefault},
  };
  for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.Color), c.Expected) << std::hex << c.Color;
}

TEST(Colors, IdentsRoundTrip) {
  for (TColor color : {clBtnFace, clNone, clDefault, clFuchsia, cl3DDkShadow}) {
    AnsiString name;
    ASSERT_TRUE(ColorToIdent(color, name));
    TColor back = 0;
    ASSERT_TRUE(IdentToColor(name, back));
    EXPECT_EQ(back, color) << name;
  }
  AnsiString name;
  EXPECT_FALSE(ColorToIdent(0x123456, name));
  TColor unused;
  EXPECT_FALSE(IdentToColor("clNoSuchColour", unused));
}

TEST(Canvas, FillRectWithClNoneOrClearBrushTouchesNothing) {
  auto bitmap = FilledBitmap(20, 20, clRed);
  TCanvas* canvas = bitmap->Canvas();
  RECT r{2, 2, 18, 18};
  canvas->Brush()->SetColor(clNone);
  canvas->FillRect(r);
  canvas->FrameRect(r);
  EXPECT_EQ(CountNot(canvas, RECT{0, 0, 20, 20}, clRed), 0);
  canvas->Brush()->SetColor(clBlue);
  canvas->Brush()->SetStyle(bsClear);
  canvas->FillRect(r);
  EXPECT_EQ(CountNot(canvas, RECT{0, 0, 20, 20}, clRed), 0);
}

TEST(Canvas, SystemColourFillsWithTheSystemValue) {
  auto bitmap = FilledBitmap(8, 8, clBtnFace);
  EXPECT_EQ(bitmap->Canvas()->Pixels(3, 3), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(GetPixel(bitmap->Canvas()->Handle(), 7, 7), GetSysColor(COLOR_BTNFACE));
}

TEST(Canvas, ShapesUsePenAndBrush) {
  auto bitmap = FilledBitmap(40, 40, clWhite);
  TCanvas* c = bitmap->Canvas();
  c->Pen()->SetColor(clBlue);
  c->Brush()->SetColor(clLime);
  c->Rectangle(5, 5, 15, 15);
  EXPECT_EQ(c->Pixels(5, 5), clBlue);    // outline
  EXPECT_EQ(c->Pixels(14, 10), clBlue);  // right edge is inside (right - 1)
  EXPECT_EQ(c->Pixels(10, 10), clLime);  // interior
  EXPECT_EQ(c->Pixels(15, 10), clWhite);

  c->MoveTo(20, 2);
  c->LineTo(30, 2);
  EXPECT_EQ(c->Pixels(25, 2), clBlue);
  EXPECT_EQ(c->Pixels(30, 2), clWhite);  // the end point is not drawn
  EXPECT_EQ(c->PenPos().x, 30);

  POINT triangle[] = {{20, 20}, {38, 20}, {29, 38}};
  c->Brush()->SetColor(clRed);
  c->Polygon(triangle, 3);
  EXPECT_EQ(c->Pixels(29, 25), clRed);
  EXPECT_EQ(c->Pixels(21, 36), clWhite);

  c->Pen()->SetColor(clNone);  // no outline at all
  c->Brush()->SetColor(clYellow);
  c->Ellipse(0, 20, 16, 36);
  EXPECT_EQ(c->Pixels(8, 28), clYellow);
  EXPECT_EQ(c->Pixels(0, 20), clWhite);
}

TEST(Canvas, XorPenTwiceRestores) {
  auto bitmap = FilledBitmap(20, 20, clTeal);
  TCanvas* c = bitmap->Canvas();
  c->Pen()->SetMode(pmXor);
  c->Pen()->SetColor(clWhite);
  for (int pass = 0; pass < 2; ++pass) {
    c->MoveTo(0, 10);
    c->LineTo(20, 10);
    EXPECT_EQ(c->Pixels(5, 10), pass == 0 ? (clTeal ^ 0xFFFFFF) : clTeal);
  }
  RECT focus{2, 2, 18, 18};
  c->DrawFocusRect(focus);
  EXPECT_GT(CountNot(c, RECT{0, 0, 20, 9}, clTeal), 0);
  c->DrawFocusRect(focus);
  EXPECT_EQ(CountNot(c, RECT{0, 0, 20, 9}, clTeal), 0);
}

TEST(Canvas, PixelsReadAndWrite) {
  auto bitmap = FilledBitmap(4, 4, clBlack);
  TCanvas* c = bitmap->Canvas();
  c->SetPixels(1, 2, clBtnShadow);
  c->SetPixels(2, 2, clNone);  // nothing drawn
  EXPECT_EQ(c->Pixels(1, 2), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(c->Pixels(2, 2), clBlack);
  EXPECT_EQ(c->Pixels(100, 100), clNone);  // outside
}

TEST(Canvas, TextDrawsInFontColourAndIsMeasured) {
  auto bitmap = FilledBitmap(120, 40, clWhite);
  TCanvas* c = bitmap->Canvas();
  c->Font()->SetColor(clRed);
  c->Brush()->SetStyle(bsClear);
  AnsiString chinese = "今日日志";
  SIZE latin = c->TextExtent("Hello");
  SIZE wide = c->TextExtent(chinese);
  EXPECT_GT(latin.cx, 0);
  EXPECT_GT(latin.cy, 0);
  EXPECT_GT(wide.cx, 0);
  EXPECT_EQ(c->TextWidth("Hello"), latin.cx);
  c->TextOut(2, 2, chinese);
  EXPECT_EQ(c->PenPos().x, 2 + wide.cx);
  // Glyph edges may be smoothed: count reddish pixels, not exact ones.
  int red = 0, other = 0;
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 120; ++x) {
      TColor p = c->Pixels(x, y);
      if (p == clWhite) continue;
      bool reddish = (p & 0xFF) >= 0x80 && ((p >> 8) & 0xFF) < 0x80 && ((p >> 16) & 0xFF) < 0x80;
      (reddish ? red : other)++;
    }
  EXPECT_GT(red, 0);
  EXPECT_GT(red + other, 20);

  // A clNone font draws no text; TextRect still paints its background.
  auto blank = FilledBitmap(60, 30, clWhite);
  blank->Canvas()->Font()->SetColor(clNone);
  blank->Canvas()->Brush()->SetColor(clAqua);
  blank->Canvas()->TextRect(RECT{0, 0, 30, 30}, 0, 0, "WWW");
  EXPECT_EQ(CountNot(blank->Canvas(), RECT{0, 0, 30, 30}, clAqua), 0);
  EXPECT_EQ(CountNot(blank->Canvas(), RECT{30, 0, 60, 30}, clWhite), 0);
}

TEST(Canvas, TextRectClipsToItsRectangle) {
  auto bitmap = FilledBitmap(100, 30, clWhite);
  TCanvas* c = bitmap->Canvas();
  c->Font()->SetColor(clBlack);
  c->Brush()->SetColor(clWhite);
  c->TextRect(RECT{0, 0, 10, 30}, 0, 0, "MMMMMMMMMM");
  EXPECT_GT(CountNot(c, RECT{0, 0, 10, 30}, clWhite), 0);
  EXPECT_EQ(CountNot(c, RECT{10, 0, 100, 30}, clWhite), 0);
}

TEST(Canvas, CopyRectUsesCopyMode) {
  auto source = FilledBitmap(10, 10, clBlue);
  auto target = FilledBitmap(20, 10, clWhite);
  target->Canvas()->CopyRect(RECT{0, 0, 10, 10}, source->Canvas(), RECT{0, 0, 10, 10});
  EXPECT_EQ(target->Canvas()->Pixels(5, 5), clBlue);
  target->Canvas()->SetCopyMode(NOTSRCCOPY);
  target->Canvas()->CopyRect(RECT{10, 0, 20, 10}, source->Canvas(), RECT{0, 0, 10, 10});
  EXPECT_EQ(target->Canvas()->Pixels(15, 5), clYellow);  // NOT blue
}

TEST(Canvas, BrushCopyReplacesTheKeyColour) {
  auto glyph = FilledBitmap(8, 8, clFuchsia, pf24bit);
  glyph->Canvas()->Brush()->SetColor(clNavy);
  glyph->Canvas()->FillRect(RECT{2, 2, 6, 6});
  auto target = FilledBitmap(16, 8, clWhite);
  TCanvas* c = target->Canvas();
  c->Brush()->SetColor(clLime);
  c->BrushCopy(RECT{0, 0, 8, 8}, glyph.get(), RECT{0, 0, 8, 8}, clFuchsia);
  EXPECT_EQ(c->Pixels(0, 0), clLime);
  EXPECT_EQ(c->Pixels(3, 3), clNavy);
  c->Brush()->SetStyle(bsClear);  // hollow: the key colour leaves the target alone
  c->BrushCopy(RECT{8, 0, 16, 8}, glyph.get(), RECT{0, 0, 8, 8}, clFuchsia);
  EXPECT_EQ(c->Pixels(8, 0), clWhite);
  EXPECT_EQ(c->Pixels(11, 3), clNavy);
}

TEST(Canvas, DrawingWithoutDeviceContextRaises) {
  TCanvas canvas;
  EXPECT_THROW(canvas.FillRect(RECT{0, 0, 1, 1}), EInvalidOperation);
  EXPECT_FALSE(canvas.HandleAllocated());
}

TEST(Canvas, LockKeepsOtherThreadsOut) {
  TCanvas canvas;
  canvas.Lock();
  EXPECT_EQ(canvas.LockCount(), 1);
  bool otherGotIt = true;
  std::thread([&] { otherGotIt = canvas.TryLock(); }).join();
  EXPECT_FALSE(otherGotIt);
  canvas.Unlock();
  std::thread([&] {
    otherGotIt = canvas.TryLock();
    if (otherGotIt) canvas.Unlock();
  }).join();
  EXPECT_TRUE(otherGotIt);
}

TEST(GraphicsObjects, EqualDescriptionsShareOneHandle) {
  TFont a, b;
  a.SetName("Arial");
  b.SetName("Arial");
  a.SetSize(12);
  b.SetSize(12);
  HFONT shared = a.Handle();
  EXPECT_EQ(b.Handle(), shared);
  b.SetStyle({fsBold});
  EXPECT_NE(b.Handle(), shared);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));

  HPEN pen;
  {
    TPen p1, p2;
    p1.SetColor(clMaroon);
    p2.SetColor(clMaroon);
    pen = p1.Handle();
    EXPECT_EQ(p2.Handle(), pen);
  }
  EXPECT_EQ(GetObjectType(pen), 0u) << "the last user's end deletes the handle";
}

TEST(GraphicsObjects, ChangingASelectedObjectReselectsIt) {
  auto bitmap = FilledBitmap(10, 10, clWhite);
  TCanvas* c = bitmap->Canvas();
  c->Brush()->SetColor(clRed);
  c->FillRect(RECT{0, 0, 5, 10});
  HBRUSH old = c->Brush()->Handle();
  c->Brush()->SetColor(clGreen);  // the red brush leaves the DC before it is freed
  c->FillRect(RECT{5, 0, 10, 10});
  EXPECT_EQ(c->Pixels(2, 2), clRed);
  EXPECT_EQ(c->Pixels(7, 2), clGreen);
  EXPECT_EQ(GetObjectType(old), 0u);
  EXPECT_EQ(GetCurrentObject(c->Handle(), OBJ_BRUSH), c->Brush()->Handle());
}

TEST(GraphicsObjects, FontSizeAndHeightFollowPixelsPerInch) {
  TFont font;
  font.SetPixelsPerInch(96);
  font.SetSize(9);
  EXPECT_EQ(font.Height(), -12);
  EXPECT_EQ(font.Size(), 9);
  LOGFONTA data = font.LogFont();
  EXPECT_EQ(data.lfHeight, -12);
  font.SetStyle({fsItalic, fsUnderline});
  data = font.LogFont();
  EXPECT_TRUE(data.lfItalic);
  EXPECT_TRUE(data.lfUnderline);
  EXPECT_EQ(data.lfWeight, FW_NORMAL);

  TFont copy;
  copy.SetHandle(CreateFontIndirectA(&data));
  EXPECT_EQ(copy.Height(), -12);
  EXPECT_TRUE(copy.Style().Contains(fsItalic));
}

TEST(GraphicsObjects, HatchedAndPatternBrushes) {
  auto bitmap = FilledBitmap(16, 16, clWhite);
  TCanvas* c = bitmap->Canvas();
  c->Brush()->SetColor(clBlack);
  c->Brush()->SetStyle(bsCross);
  c->FillRect(RECT{0, 0, 16, 16});
  int black = 16 * 16 - CountNot(c, RECT{0, 0, 16, 16}, clBlack);
  EXPECT_GT(black, 0);
  EXPECT_LT(black, 16 * 16);

  auto pattern = FilledBitmap(8, 8, clPurple);
  auto target = FilledBitmap(16, 16, clWhite);
  target->Canvas()->Brush()->SetBitmap(pattern.get());
  target->Canvas()->FillRect(RECT{0, 0, 16, 16});
  EXPECT_EQ(target->Canvas()->Pixels(12, 12), clPurple);
  target->Canvas()->Brush()->SetBitmap(nullptr);
}

}  // namespace
