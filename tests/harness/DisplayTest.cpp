// A real window on the virtual display paints, and its pixels read back.
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

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

TEST(Display, AScreenshotShowsOnlyItsWindow) {
  // Test programs run side by side on one display: a window that another one
  // covers must still be captured as it drew itself.
  const COLORREF below = RGB(0x20, 0x40, 0xC0), above = RGB(0x30, 0xB0, 0x30);
  auto painter = [](COLORREF colour) {
    return [colour](HWND wnd, UINT msg, WPARAM, LPARAM, LRESULT& result) {
      if (msg != WM_ERASEBKGND) return false;
      RECT r;
      GetClientRect(wnd, &r);
      HDC dc = GetDC(wnd);
      HBRUSH brush = CreateSolidBrush(colour);
      FillRect(dc, &r, brush);
      DeleteObject(brush);
      ReleaseDC(wnd, dc);
      result = 1;
      return true;
    };
  };
  TestWindow covered(200, 150, painter(below), "Covered");
  TestWindow cover(80, 60, painter(above), "Cover", WS_POPUP | WS_VISIBLE);
  SetWindowPos(cover.Handle(), HWND_TOPMOST, 100, 100, 80, 60, SWP_NOACTIVATE);
  ASSERT_TRUE(RunMessagesUntilIdle());
  const Image shot = ReadWindowPixels(covered.Handle());
  RECT frame;
  GetWindowRect(covered.Handle(), &frame);
  ASSERT_EQ(shot.Width, frame.right - frame.left);
  ASSERT_EQ(shot.Height, frame.bottom - frame.top);
  POINT client{0, 0};
  ClientToScreen(covered.Handle(), &client);
  // The cover sits over the covered window's client area from (100, 100) on
  // the screen; underneath, the covered window's own colour is read.
  EXPECT_EQ(shot.At(120 - frame.left, 120 - frame.top), Rgb(below));
  int coverPixels = 0;
  for (uint32_t pixel : shot.Pixels) coverPixels += pixel == Rgb(above);
  EXPECT_EQ(coverPixels, 0);
  EXPECT_EQ(shot.At(client.x - frame.left + 5, client.y - frame.top + 5), Rgb(below));
  EXPECT_FALSE(SaveArtefact(shot, "harness-covered-window").empty());
}

TEST(Display, CaptionGlyphsComeFromTheSymbolFont) {
  // Without Wine's own fonts, the frame's glyphs are drawn as letters of
  // another font: the close button shows an "r".
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT button{0, 0, 32, 32};
  DrawFrameControl(dc, &button, DFC_CAPTION, DFCS_CAPTIONCLOSE);
  const Image glyph = ReadPixels(dc, button);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  // The glyph's dark pixels, inside the button's edges.
  const uint32_t ink = Rgb(GetSysColor(COLOR_BTNTEXT));
  std::vector<std::pair<int, int>> dark;
  for (int y = 4; y < 28; ++y)
    for (int x = 4; x < 28; ++x)
      if (glyph.At(x, y) == ink) dark.emplace_back(x, y);
  ASSERT_GT(dark.size(), 20u) << "no glyph drawn";
  // A cross is the same mirrored left to right; an "r" is not.
  int minX = 32, maxX = 0;
  for (const auto& [x, y] : dark) {
    minX = std::min(minX, x);
    maxX = std::max(maxX, x);
  }
  int unmatched = 0;
  for (const auto& [x, y] : dark) {
    const int mirrored = minX + maxX - x;
    bool found = false;
    for (int dx = -1; dx <= 1 && !found; ++dx) found = glyph.At(mirrored + dx, y) == ink;
    unmatched += !found;
  }
  EXPECT_LE(unmatched, static_cast<int>(dark.size()) / 10) << "the close glyph is not a cross";
  // A cross has ink in every quarter of its box; an "r" leaves the lower
  // right one empty.
  int minY = 32, maxY = 0;
  for (const auto& [x, y] : dark) {
    minY = std::min(minY, y);
    maxY = std::max(maxY, y);
  }
  int quarters[2][2] = {};
  for (const auto& [x, y] : dark) ++quarters[2 * (y - minY) > maxY - minY][2 * (x - minX) > maxX - minX];
  for (const auto& row : quarters)
    for (int count : row) EXPECT_GT(count, 0) << "the close glyph is not a cross";
  SaveArtefact(glyph, "harness-caption-close-glyph");
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
