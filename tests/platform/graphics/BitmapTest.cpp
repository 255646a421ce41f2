// TBitmap over a bitmap section: scan lines, formats, transparency, resizing,
// handles, dormancy and resources.
#include "platform/Bitmap.h"
#include "platform/HandleCounts.h"
#include "tests/platform/graphics/GraphicsTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace graphics_test;

TEST(Bitmap, ScanLineWritesShowInGetPixel) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetSize(6, 4);
  for (int y = 0; y < 4; ++y) {
    auto* row = static_cast<uint32_t*>(bitmap.ScanLine(y));
    for (int x = 0; x < 6; ++x) row[x] = 0xFF000000u | (x * 40u) << 16 | (y * 60u);  // BGRA: red = x, blue = y
  }
  HDC dc = bitmap.Canvas()->Handle();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(GetPixel(dc, x, y), RGB(x * 40, 0, y * 60)) << x << "," << y;
  // And the other way: canvas drawing shows in the scan lines.
  bitmap.Canvas()->SetPixels(5, 0, clLime);
  EXPECT_EQ(static_cast<uint32_t*>(bitmap.ScanLine(0))[5] & 0xFFFFFF, 0x00FF00u);
}

TEST(Bitmap, ScanLineOutsideRaises) {
  TBitmap bitmap;
  bitmap.SetSize(2, 2);
  EXPECT_THROW(bitmap.ScanLine(2), EInvalidGraphicOperation);
  EXPECT_THROW(bitmap.ScanLine(-1), EInvalidGraphicOperation);
  TBitmap empty;
  EXPECT_THROW(empty.ScanLine(0), EInvalidGraphicOperation);
}

TEST(Bitmap, TransparentDrawLeavesTheBackground) {
  // The automatic transparent colour is the bottom-left pixel.
  auto glyph = FilledBitmap(10, 10, clFuchsia, pf24bit);
  glyph->Canvas()->Brush()->SetColor(clBlue);
  glyph->Canvas()->FillRect(RECT{3, 3, 7, 7});
  glyph->SetTransparent(true);
  EXPECT_EQ(glyph->TransparentMode(), tmAuto);
  EXPECT_EQ(glyph->TransparentColor(), clFuchsia);

  auto target = FilledBitmap(20, 20, clGreen);
  target->Canvas()->Draw(5, 5, glyph.get());
  TCanvas* c = target->Canvas();
  EXPECT_EQ(c->Pixels(6, 6), clGreen);    // was magenta
  EXPECT_EQ(c->Pixels(10, 10), clBlue);   // glyph pixel
  EXPECT_EQ(c->Pixels(0, 0), clGreen);    // outside

  // A fixed colour: now blue is the hole and magenta is drawn.
  glyph->SetTransparentColor(clBlue);
  EXPECT_EQ(glyph->TransparentMode(), tmFixed);
  auto second = FilledBitmap(20, 20, clGreen);
  second->Canvas()->Draw(0, 0, glyph.get());
  EXPECT_EQ(second->Canvas()->Pixels(1, 1), clFuchsia);
  EXPECT_EQ(second->Canvas()->Pixels(5, 5), clGreen);

  // Opaque drawing copies everything.
  glyph->SetTransparent(false);
  auto third = FilledBitmap(20, 20, clGreen);
  third->Canvas()->Draw(0, 0, glyph.get());
  EXPECT_EQ(third->Canvas()->Pixels(1, 1), clFuchsia);
}

// One bit of a monochrome bitmap (1 = white), read from its word-aligned rows.
bool MaskBit(HBITMAP mask, int x, int y) {
  BITMAP info{};
  GetObjectA(mask, sizeof info, &info);
  std::vector<uint8_t> bits(static_cast<size_t>(info.bmWidthBytes) * info.bmHeight);
  GetBitmapBits(mask, static_cast<LONG>(bits.size()), bits.data());
  return bits[static_cast<size_t>(y) * info.bmWidthBytes + x / 8] & (0x80 >> (x % 8));
}

TEST(Bitmap, MaskIsWhiteWhereTransparent) {
  auto bitmap = FilledBitmap(20, 6, clFuchsia, pf24bit);
  bitmap->Canvas()->SetPixels(2, 2, clGreen);
  bitmap->Canvas()->SetPixels(17, 1, clGreen);
  HBITMAP mask = bitmap->MaskHandle();
  ASSERT_NE(mask, nullptr);
  BITMAP info{};
  ASSERT_TRUE(GetObjectA(mask, sizeof info, &info));
  EXPECT_EQ(info.bmBitsPixel, 1);
  EXPECT_EQ(info.bmWidth, 20);
  EXPECT_TRUE(MaskBit(mask, 0, 0));
  EXPECT_FALSE(MaskBit(mask, 2, 2));
  EXPECT_FALSE(MaskBit(mask, 17, 1));
  EXPECT_TRUE(MaskBit(mask, 19, 5));
  bitmap->Canvas()->SetPixels(0, 0, clGreen);  // a change makes a new mask
  HBITMAP second = bitmap->MaskHandle();
  EXPECT_FALSE(MaskBit(second, 0, 0));
  EXPECT_TRUE(MaskBit(second, 0, 5)) << "the bottom-left pixel is still the key";
}

TEST(Bitmap, StretchDrawScales) {
  auto small = FilledBitmap(2, 2, clRed);
  auto target = FilledBitmap(20, 20, clWhite);
  target->Canvas()->StretchDraw(RECT{0, 0, 10, 10}, small.get());
  EXPECT_EQ(target->Canvas()->Pixels(9, 9), clRed);
  EXPECT_EQ(target->Canvas()->Pixels(10, 10), clWhite);
}

TEST(Bitmap, ResizingKeepsPixelsAndFillsWhite) {
  auto bitmap = FilledBitmap(4, 4, clNavy);
  bitmap->SetSize(8, 6);
  EXPECT_EQ(bitmap->Width(), 8);
  EXPECT_EQ(bitmap->Height(), 6);
  EXPECT_EQ(bitmap->Canvas()->Pixels(3, 3), clNavy);
  EXPECT_EQ(bitmap->Canvas()->Pixels(7, 5), clWhite);
  bitmap->SetWidth(2);
  EXPECT_EQ(bitmap->Canvas()->Pixels(1, 1), clNavy);
  bitmap->SetSize(0, 0);
  EXPECT_TRUE(bitmap->Empty());
  EXPECT_EQ(bitmap->Handle(), nullptr);
}

TEST(Bitmap, RefusedSizeKeepsThePicture) {
  // A size the bitmap refuses must leave the old picture whole and usable.
  struct Case {
    const char* Name;
    int Width, Height;
  } cases[] = {
      {"negative width", -1, 4},
      {"negative height", 4, -7},
      {"more pixels than allowed", 0x10000, 0x10001},
  };
  for (const Case& c : cases) {
    auto bitmap = FilledBitmap(4, 3, clTeal);
    EXPECT_ANY_THROW(bitmap->SetSize(c.Width, c.Height)) << c.Name;
    EXPECT_EQ(bitmap->Width(), 4) << c.Name;
    EXPECT_EQ(bitmap->Height(), 3) << c.Name;
    EXPECT_NE(bitmap->Handle(), nullptr) << c.Name;
    static_cast<uint32_t*>(bitmap->ScanLine(2))[3] = 0x00FF0000;  // red
    EXPECT_EQ(bitmap->Canvas()->Pixels(3, 2), clRed) << c.Name;
    EXPECT_EQ(bitmap->Canvas()->Pixels(0, 0), clTeal) << c.Name;
  }
}

TEST(Bitmap, PixelFormatsConvert) {
  struct Case {
    TPixelFormat Format;
    int Bits;
    TColor Color;     // drawn before the conversion
    TColor Expected;  // read back after it
  } cases[] = {
      {pf1bit, 1, clWhite, clWhite},   {pf4bit, 4, clRed, clRed},       {pf8bit, 8, clRed, clRed},
      {pf15bit, 16, clBlue, clBlue},   {pf16bit, 16, clLime, clLime},   {pf24bit, 24, 0x123456, 0x123456},
      {pf32bit, 32, 0x654321, 0x654321},
  };
  for (const Case& c : cases) {
    auto bitmap = FilledBitmap(5, 3, c.Color, pf32bit);
    bitmap->SetPixelFormat(c.Format);
    EXPECT_EQ(bitmap->PixelFormat(), c.Format);
    EXPECT_EQ(bitmap->BitsPerPixel(), c.Bits);
    EXPECT_EQ(bitmap->Canvas()->Pixels(4, 2), c.Expected) << c.Bits;
    EXPECT_EQ(bitmap->Monochrome(), c.Bits == 1);
    EXPECT_EQ(bitmap->GetPalette() != nullptr, c.Bits <= 8);
  }
}

// A guard moved into a new one kept the handle but counted it as deleted.
TEST(Bitmap, ConvertingThePixelFormatKeepsTheHandleCount) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(pf4bit);
  bitmap.SetSize(5, 5);
  const THandleCounts before = HandleCounts();
  bitmap.SetPixelFormat(pf32bit);
  bitmap.SetPixelFormat(pf8bit);
  EXPECT_EQ(HandleCounts(), before);
  TGdiObject first(CreateSolidBrush(RGB(1, 2, 3)));
  TGdiObject second(std::move(first));
  EXPECT_EQ(HandleCounts().GdiObjects, before.GdiObjects + 1);
}

TEST(Bitmap, DormantKeepsThePixels) {
  auto bitmap = FilledBitmap(5, 5, clOlive);
  bitmap->Canvas()->SetPixels(2, 2, clAqua);
  bitmap->Dormant();
  EXPECT_FALSE(bitmap->HandleAllocated());
  EXPECT_EQ(bitmap->Width(), 5);
  EXPECT_EQ(bitmap->Canvas()->Pixels(2, 2), clAqua);
  EXPECT_EQ(bitmap->Canvas()->Pixels(0, 0), clOlive);
  EXPECT_TRUE(bitmap->HandleAllocated());
}

TEST(Bitmap, AdoptsSectionsAndCopiesDeviceBitmaps) {
  HDC screen = GetDC(nullptr);
  HBITMAP ddb = CreateCompatibleBitmap(screen, 7, 3);
  ReleaseDC(nullptr, screen);
  {
    TMemoryDC dc;
    TSelectObjectGuard selected(dc.Get(), ddb);
    TGdiObject brush(CreateSolidBrush(RGB(1, 2, 3)));
    RECT r{0, 0, 7, 3};
    ::FillRect(dc.Get(), &r, static_cast<HBRUSH>(brush.Get()));
  }
  TBitmap bitmap;
  bitmap.SetHandle(ddb);
  EXPECT_EQ(bitmap.Width(), 7);
  EXPECT_EQ(bitmap.Height(), 3);
  EXPECT_NE(bitmap.Handle(), ddb);
  EXPECT_EQ(GetObjectType(ddb), 0u) << "the device bitmap was taken over and freed";
  EXPECT_EQ(bitmap.Canvas()->Pixels(6, 2), RGB(1, 2, 3));

  TBitmap other;
  HBITMAP section = bitmap.ReleaseHandle();
  EXPECT_TRUE(bitmap.Empty());
  other.SetHandle(section);
  EXPECT_EQ(other.Handle(), section);
  EXPECT_EQ(other.PixelFormat(), pf32bit);
  EXPECT_EQ(other.Canvas()->Pixels(0, 0), RGB(1, 2, 3));
}

TEST(Bitmap, AssignCopiesPixelsAndSettings) {
  auto source = FilledBitmap(3, 3, clMaroon, pf24bit);
  source->SetTransparent(true);
  source->SetTransparentColor(clMaroon);
  TBitmap copy;
  copy.Assign(source.get());
  EXPECT_EQ(copy.PixelFormat(), pf24bit);
  EXPECT_EQ(copy.Canvas()->Pixels(1, 1), clMaroon);
  EXPECT_NE(copy.Handle(), source->Handle());
  EXPECT_TRUE(copy.Transparent());
  EXPECT_EQ(copy.TransparentColor(), clMaroon);
  source->Canvas()->SetPixels(1, 1, clWhite);
  EXPECT_EQ(copy.Canvas()->Pixels(1, 1), clMaroon);
}

TEST(Bitmap, ChangesAreSignalled) {
  TBitmap bitmap;
  int changes = 0;
  bitmap.OnChange = TNotifyEvent::Lambda([&](TObject*) { ++changes; });
  bitmap.SetSize(4, 4);
  EXPECT_EQ(changes, 1);
  bitmap.Canvas()->FillRect(RECT{0, 0, 2, 2});
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(bitmap.Modified());
}

TEST(Bitmap, LoadsFromAModuleResource) {
  // comctl32 carries the standard tool-bar bitmaps as resources.
  HMODULE module = LoadLibraryA("comctl32.dll");
  ASSERT_NE(module, nullptr);
  TBitmap bitmap;
  bitmap.LoadFromResourceID(module, 120);
  EXPECT_GT(bitmap.Width(), 0);
  EXPECT_GT(bitmap.Height(), 0);
  EXPECT_THROW(bitmap.LoadFromResourceName(module, "NO_SUCH_BITMAP"), EInvalidGraphic);
  EXPECT_GT(bitmap.Width(), 0) << "a failed load keeps the picture";
  FreeLibrary(module);
}

}  // namespace
