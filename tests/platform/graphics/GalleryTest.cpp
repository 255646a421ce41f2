// The gallery: a real window painted through the canvas with text (Chinese
// included), lines, frames, shapes and a bitmap; its screenshot is saved.
#include "platform/Bitmap.h"
#include "tests/platform/graphics/GraphicsTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace graphics_test;
using namespace testing_support;

void PaintGallery(TCanvas* c, TBitmap* picture) {
  c->Brush()->SetColor(clBtnFace);
  c->FillRect(RECT{0, 0, 320, 200});
  c->Font()->SetName("宋体");
  c->Font()->SetHeight(-14);
  c->Font()->SetColor(clWindowText);
  c->Brush()->SetStyle(bsClear);
  c->TextOut(10, 10, "Mevra canvas gallery");
  c->TextOut(10, 30, "今日日志 拖入保存");
  c->Font()->SetStyle({fsBold});
  c->Font()->SetColor(clNavy);
  c->TextOut(10, 50, "Bold navy text");

  c->Pen()->SetColor(clRed);
  c->Pen()->SetWidth(2);
  c->MoveTo(10, 80);
  c->LineTo(150, 80);
  c->Pen()->SetWidth(1);
  c->Pen()->SetStyle(psDot);
  c->MoveTo(10, 90);
  c->LineTo(150, 90);
  c->Pen()->SetStyle(psSolid);

  c->Brush()->SetColor(clBlue);
  c->FrameRect(RECT{10, 100, 70, 150});
  c->Brush()->SetColor(clYellow);
  c->Pen()->SetColor(clGreen);
  c->Ellipse(80, 100, 140, 150);
  c->DrawFocusRect(RECT{8, 160, 150, 185});

  c->Draw(180, 20, picture);
  c->StretchDraw(RECT{180, 100, 300, 180}, picture);
}

TEST(Gallery, PaintsAWindowThroughTheCanvas) {
  auto picture = FilledBitmap(48, 48, clWhite, pf24bit);
  TCanvas* p = picture->Canvas();
  p->Brush()->SetColor(clTeal);
  p->FillRect(RECT{4, 4, 44, 44});
  p->Pen()->SetColor(clMaroon);
  p->MoveTo(0, 0);
  p->LineTo(48, 48);

  // WM_PAINT shows the gallery on the display (for the screenshot);
  // WM_PRINTCLIENT paints it into a bitmap, which other test programs'
  // windows on the shared display cannot cover, for the pixel checks.
  int paints = 0;
  auto paint = [&](HDC dc) {
    TCanvas canvas;
    canvas.SetHandle(dc);
    PaintGallery(&canvas, picture.get());
    canvas.SetHandle(nullptr);
  };
  TestWindow window(320, 200, [&](HWND wnd, UINT msg, WPARAM wp, LPARAM, LRESULT& result) {
    if (msg == WM_PRINTCLIENT) {
      paint(reinterpret_cast<HDC>(wp));
    } else if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      paint(BeginPaint(wnd, &ps));
      EndPaint(wnd, &ps);
      ++paints;
    } else {
      return false;
    }
    result = 0;
    return true;
  }, "Mevra canvas gallery");
  ASSERT_TRUE(RunMessagesUntil([&] { return paints > 0; }));
  EXPECT_FALSE(SaveScreenshot(window.Handle(), "platform-graphics-gallery").empty());

  auto shot = FilledBitmap(320, 200, clBlack);
  SendMessageA(window.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(shot->Canvas()->Handle()), PRF_CLIENT);
  TCanvas* c = shot->Canvas();
  EXPECT_EQ(c->Pixels(300, 5), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(c->Pixels(50, 80), clRed);      // the thick red line
  EXPECT_EQ(c->Pixels(10, 120), clBlue);    // the frame's left side
  EXPECT_EQ(c->Pixels(110, 125), clYellow); // inside the ellipse
  EXPECT_EQ(c->Pixels(200, 30), clTeal);    // the bitmap
  EXPECT_EQ(c->Pixels(200, 150), clTeal);   // the stretched bitmap
  int textPixels = 0;
  for (int y = 30; y < 48; ++y)
    for (int x = 10; x < 150; ++x) textPixels += c->Pixels(x, y) != GetSysColor(COLOR_BTNFACE);
  EXPECT_GT(textPixels, 20) << "the Chinese line is drawn";
}

}  // namespace
