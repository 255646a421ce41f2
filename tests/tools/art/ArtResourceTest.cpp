// The images a library carries reach the program that uses it, beside the
// program's own resources, and Windows loads them as drawn in the art.
#include "platform/Graphics.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/art/ArtSample.h"

#include <gtest/gtest.h>

using namespace testing_support;

namespace {

HINSTANCE Module() { return GetModuleHandleA(nullptr); }

// Draws `draw` into a white memory picture and reads it back.
Image Render(int width, int height, const std::function<void(HDC)>& draw) {
  TScreenDC screen;
  TMemoryDC dc(screen.Get());
  TGdiObject bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
  TSelectObjectGuard select(dc.Get(), bitmap.Get());
  RECT r{0, 0, width, height};
  FillRect(dc.Get(), &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  draw(dc.Get());
  return ReadPixels(dc.Get(), r);
}

}  // namespace

TEST(ArtResourceTest, LibraryResourcesJoinTheProgramsOwn) {
  HRSRC own = FindResourceA(Module(), "ART_OWN_DATA", MAKEINTRESOURCEA(10));  // RT_RCDATA
  ASSERT_NE(own, nullptr);
  EXPECT_STREQ(static_cast<const char*>(LockResource(LoadResource(Module(), own))), "own");
  EXPECT_NE(FindResourceA(Module(), ArtSampleCursor, MAKEINTRESOURCEA(12)), nullptr);  // RT_GROUP_CURSOR
  EXPECT_NE(FindResourceA(Module(), "ART_SAMPLE_STRIP", MAKEINTRESOURCEA(2)), nullptr);   // RT_BITMAP
  EXPECT_NE(FindResourceA(Module(), "ART_SAMPLE_ICON", MAKEINTRESOURCEA(14)), nullptr);   // RT_GROUP_ICON
}

TEST(ArtResourceTest, CursorKeepsItsHotspotAndMask) {
  HCURSOR cursor = LoadCursorA(Module(), ArtSampleCursor);
  ASSERT_NE(cursor, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(cursor, &info));
  EXPECT_FALSE(info.fIcon);
  EXPECT_EQ(info.xHotspot, 3u);
  EXPECT_EQ(info.yHotspot, 5u);
  TGdiObject colour(info.hbmColor), mask(info.hbmMask);
  // Over white: transparent stays white, the cross is black, the inverted
  // square turns white into black.
  const Image image = Render(32, 32, [&](HDC dc) { DrawIconEx(dc, 0, 0, cursor, 32, 32, 0, nullptr, DI_NORMAL); });
  EXPECT_EQ(image.At(20, 0), 0xFFFFFFu);
  EXPECT_EQ(image.At(3, 5), 0x000000u);
  EXPECT_EQ(image.At(28, 28), 0x000000u);
}

TEST(ArtResourceTest, BitmapStripLoadsWithItsColours) {
  TGdiObject owned(LoadBitmapA(Module(), "ART_SAMPLE_STRIP"));
  const HBITMAP bitmap = static_cast<HBITMAP>(owned.Get());
  ASSERT_NE(bitmap, nullptr);
  BITMAP bm{};
  GetObjectA(bitmap, sizeof bm, &bm);
  EXPECT_EQ(bm.bmWidth, 8);
  EXPECT_EQ(bm.bmHeight, 3);
  const Image image = Render(8, 3, [&](HDC dc) {
    TMemoryDC source(dc);
    TSelectObjectGuard select(source.Get(), bitmap);
    BitBlt(dc, 0, 0, 8, 3, source.Get(), 0, 0, SRCCOPY);
  });
  EXPECT_EQ(image.At(0, 0), 0xFF0000u);
  EXPECT_EQ(image.At(3, 2), 0x00FF00u);
  EXPECT_EQ(image.At(4, 0), 0x0000FFu);
  EXPECT_EQ(image.At(7, 2), 0xFFFF00u);
}

TEST(ArtResourceTest, IconOffersEachSize) {
  struct Case { int Size; uint32_t Inside; };
  const Case cases[] = {{16, 0xFF0000u}, {32, 0x00FF00u}};
  for (const Case& c : cases) {
    HICON icon = static_cast<HICON>(LoadImageA(Module(), "ART_SAMPLE_ICON", IMAGE_ICON, c.Size, c.Size, 0));
    ASSERT_NE(icon, nullptr) << c.Size;
    const Image image =
        Render(c.Size, c.Size, [&](HDC dc) { DrawIconEx(dc, 0, 0, icon, c.Size, c.Size, 0, nullptr, DI_NORMAL); });
    DestroyIcon(icon);
    EXPECT_EQ(image.At(0, 0), 0xFFFFFFu) << c.Size;
    EXPECT_EQ(image.At(c.Size / 4 + 1, c.Size / 4 + 1), c.Inside) << c.Size;
  }
}
