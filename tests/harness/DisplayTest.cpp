// A real window on the virtual display paints, and its pixels read back.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace testing_support;

TEST(Display, PaintedColourReadsBack) {
  const COLORREF colour = RGB(0x12, 0x9A, 0xE4);
  int paints = 0;
  TestWindow window(120, 80, [&](HWND wnd, UINT msg, WPARAM, LPARAM, LRESULT& result) {
    if (msg != WM_PAINT) return false;
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT r{10, 10, 60, 40};
    FillRect(dc, &r, brush);
    DeleteObject(brush);
    EndPaint(wnd, &ps);
    ++paints;
    result = 0;
    return true;
  });
  ASSERT_TRUE(IsWindow(window.Handle()));
  ASSERT_TRUE(RunMessagesUntil([&] { return paints > 0; }));
  const Image shot = ReadClientPixels(window.Handle());
  ASSERT_EQ(shot.Width, 120);
  ASSERT_EQ(shot.Height, 80);
  EXPECT_EQ(shot.At(10, 10), Rgb(colour));
  EXPECT_EQ(shot.At(59, 39), Rgb(colour));
  EXPECT_NE(shot.At(60, 40), Rgb(colour));
  EXPECT_NE(shot.At(5, 5), Rgb(colour));
  EXPECT_FALSE(SaveArtefact(shot, "harness-display").empty());
}

TEST(Display, PostedInputReachesTheWindow) {
  std::string typed;
  bool clicked = false;
  TestWindow window(100, 60, [&](HWND, UINT msg, WPARAM wp, LPARAM lp, LRESULT&) {
    if (msg == WM_CHAR) typed += static_cast<char>(wp);
    if (msg == WM_LBUTTONUP && LOWORD(lp) == 7 && HIWORD(lp) == 9) clicked = true;
    return false;
  });
  PostChar(window.Handle(), 'o');
  PostChar(window.Handle(), 'k');
  PostClick(window.Handle(), 7, 9);
  EXPECT_TRUE(RunMessagesUntil([&] { return clicked && typed == "ok"; }));
}

}  // namespace
