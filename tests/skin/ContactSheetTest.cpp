// The house skin's bitmap entries decoded by GDI and laid out on one sheet,
// saved as a test artefact for a person to look at.
#include "skin/package/SkinReader.h"
#include "tests/support/TestSupport.h"

#include <fstream>
#include <sstream>

namespace {
using namespace testing_support;

constexpr int kZoom = 2;
constexpr int kSheetWidth = 1200;
constexpr int kLabelHeight = 16;

struct TDib {
  HDC Dc = nullptr;
  HBITMAP Bitmap = nullptr;
  HGDIOBJ Old = nullptr;
  uint32_t* Bits = nullptr;
  TDib(HDC screen, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    Dc = CreateCompatibleDC(screen);
    Bitmap = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&Bits), nullptr, 0);
    Old = SelectObject(Dc, Bitmap);
  }
  ~TDib() {
    SelectObject(Dc, Old);
    DeleteObject(Bitmap);
    DeleteDC(Dc);
  }
};

// The pixel at (x, y) of a bottom-up 24-bit BMP file, as 0xRRGGBB.
uint32_t BmpPixel(const AnsiString& bmp, int x, int y) {
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(bmp.data() + sizeof(BITMAPFILEHEADER));
  const auto* file = reinterpret_cast<const BITMAPFILEHEADER*>(bmp.data());
  const int stride = (info->biWidth * 3 + 3) & ~3;
  const auto* p = reinterpret_cast<const uint8_t*>(bmp.data()) + file->bfOffBits +
                  static_cast<size_t>(info->biHeight - 1 - y) * stride + static_cast<size_t>(x) * 3;
  return (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[1]) << 8) | p[0];
}

TEST(HouseSkinSheetTest, EveryBitmapEntryDecodesAndIsSaved) {
  std::ifstream in(MEVRA_HOUSE_SKIN_FILE, std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  TMemoryStream package;
  package.WriteString(bytes.str());
  TSkinReader reader;
  ASSERT_TRUE(reader.LoadPackage(package));

  struct Tile {
    AnsiString Name, Bmp;
    int X, Y, W, H;
  };
  std::vector<Tile> tiles;
  int x = 8, y = 8, rowHeight = 0;
  for (int i = 0; i < reader.Count(); ++i) {
    if (reader.Names(i).find(".bmp") == AnsiString::npos) continue;
    TMemoryStream entry;
    reader.GetEntry(reader.Names(i), entry);
    Tile t{reader.Names(i), entry.DataString(), 0, 0, 0, 0};
    ASSERT_GE(t.Bmp.size(), sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)) << t.Name;
    const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(t.Bmp.data() + sizeof(BITMAPFILEHEADER));
    t.W = info->biWidth * kZoom;
    t.H = info->biHeight * kZoom;
    const int cellWidth = std::max(t.W, 130);
    if (x + cellWidth > kSheetWidth - 8) {
      x = 8;
      y += rowHeight + kLabelHeight + 12;
      rowHeight = 0;
    }
    t.X = x;
    t.Y = y + kLabelHeight;
    x += cellWidth + 12;
    rowHeight = std::max(rowHeight, t.H);
    tiles.push_back(t);
  }
  ASSERT_GT(tiles.size(), 40u);
  const int sheetHeight = y + rowHeight + kLabelHeight + 8;

  HDC screen = GetDC(nullptr);
  {
    TDib sheet(screen, kSheetWidth, sheetHeight);
    RECT all{0, 0, kSheetWidth, sheetHeight};
    HBRUSH grey = CreateSolidBrush(RGB(0x80, 0x80, 0x80));
    FillRect(sheet.Dc, &all, grey);
    DeleteObject(grey);
    SetBkMode(sheet.Dc, TRANSPARENT);
    SetTextColor(sheet.Dc, RGB(255, 255, 255));
    SetStretchBltMode(sheet.Dc, COLORONCOLOR);
    for (const Tile& t : tiles) {
      TextOutA(sheet.Dc, t.X, t.Y - kLabelHeight, t.Name.c_str(), static_cast<int>(t.Name.size()));
      const auto* file = reinterpret_cast<const BITMAPFILEHEADER*>(t.Bmp.data());
      const auto* info = reinterpret_cast<const BITMAPINFO*>(t.Bmp.data() + sizeof(BITMAPFILEHEADER));
      const int lines = StretchDIBits(sheet.Dc, t.X, t.Y, t.W, t.H, 0, 0, info->bmiHeader.biWidth,
                                      info->bmiHeader.biHeight, t.Bmp.data() + file->bfOffBits, info,
                                      DIB_RGB_COLORS, SRCCOPY);
      EXPECT_EQ(lines, info->bmiHeader.biHeight) << t.Name;
    }
    GdiFlush();
    const Image picture = ReadPixels(sheet.Dc, all);
    // GDI shows each entry as the BMP holds it: sample corners and centres.
    for (const Tile& t : tiles) {
      const int w = t.W / kZoom, h = t.H / kZoom;
      for (const POINT p : {POINT{0, 0}, POINT{w - 1, h - 1}, POINT{w / 2, h / 2}, POINT{w / 3, h - 1}})
        EXPECT_EQ(picture.At(t.X + p.x * kZoom, t.Y + p.y * kZoom), BmpPixel(t.Bmp, p.x, p.y))
            << t.Name << " at " << p.x << "," << p.y;
    }
    EXPECT_FALSE(SaveArtefact(picture, "skin-house-contact-sheet").empty());
  }
  ReleaseDC(nullptr, screen);
}

}  // namespace
