// What all trees share: the set-up the first tree runs, the check images and
// cursors loaded by name, the clipboard-format registry, blending, wide text
// drawing without DrawTextW, shortening and wrapping, text buffers.
#include "tests/vtree/TreeChecker.h"

#include "platform/Graphics.h"
#include "platform/ImageList.h"
#include "vtree/BufferedString.h"
#include "vtree/ClipboardFormats.h"
#include "vtree/TreeDrawing.h"

#include <commctrl.h>

namespace {
using testing_support::Rgb;

// A 32-bit DIB section selected into a memory DC, pixels as 0xAARRGGBB.
class Dib {
public:
  Dib(int width, int height, bool bottomUp = true) : FWidth(width), FHeight(height), FBottomUp(bottomUp) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = bottomUp ? height : -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    FBitmap.Reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0));
    FSelect.Select(FDC.Get(), FBitmap.Get());
  }
  HDC DC() const { return FDC.Get(); }
  uint32_t& At(int x, int y) {
    GdiFlush();
    return FBits[(FBottomUp ? FHeight - 1 - y : y) * FWidth + x];
  }
  void Fill(uint32_t value) {
    GdiFlush();
    std::fill(FBits, FBits + FWidth * FHeight, value);
  }

private:
  int FWidth, FHeight;
  bool FBottomUp;
  uint32_t* FBits = nullptr;
  TMemoryDC FDC;
  TGdiObject FBitmap;
  TSelectObjectGuard FSelect;
};

TEST(TreeGlobals, TheFirstTreeSetsUpOnce) {
  TBaseVirtualTree first;
  ASSERT_TRUE(TreeGlobalsInitialized());
  TCustomImageList* light = CheckImageList(TCheckImageKind::ckLightCheck);
  ASSERT_NE(light, nullptr);
  const uint16_t reference = VirtualTreeReferenceFormat();
  EXPECT_NE(reference, 0);
  TBaseVirtualTree second;
  EXPECT_EQ(CheckImageList(TCheckImageKind::ckLightCheck), light);
  EXPECT_EQ(VirtualTreeReferenceFormat(), reference);
  int data = 0;
  for (const TClipboardFormatListEntry& entry : ClipboardFormats()->Entries())
    if (entry.Description == "Virtual Tree Data") ++data;
  EXPECT_EQ(data, 1);
  EXPECT_EQ(CheckImageList(TCheckImageKind::ckCustom), nullptr);
}

// Each strip is cut into 25 squares as high as it is, masked by pixel (0, 0).
TEST(TreeGlobals, CheckImagesComeFromTheStrips) {
  TBaseVirtualTree tree;
  for (TCheckImageKind kind : {TCheckImageKind::ckLightCheck, TCheckImageKind::ckDarkCheck, TCheckImageKind::ckLightTick,
                               TCheckImageKind::ckDarkTick, TCheckImageKind::ckFlat, TCheckImageKind::ckXP}) {
    SCOPED_TRACE(static_cast<int>(kind));
    TCustomImageList* list = CheckImageList(kind);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->Width(), 16);
    EXPECT_EQ(list->Height(), 16);
    EXPECT_EQ(list->Count(), 25);
  }
  // A checked light box on white: the mask leaves the corner white, the frame
  // and the mark are drawn.
  Dib dib(16, 16);
  dib.Fill(0xFFFFFF);
  ImageList_Draw(CheckImageList(TCheckImageKind::ckLightCheck)->Handle(), 13, dib.DC(), 0, 0, ILD_TRANSPARENT);
  EXPECT_EQ(dib.At(0, 0) & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(dib.At(2, 8) & 0xFFFFFF, Rgb(GetSysColor(COLOR_BTNSHADOW)) & 0xFFFFFF);
  EXPECT_EQ(dib.At(6, 10) & 0xFFFFFF, Rgb(GetSysColor(COLOR_BTNTEXT)) & 0xFFFFFF);
  TCustomImageList* system = CheckImageList(TCheckImageKind::ckSystemDefault);
  EXPECT_EQ(system->Width(), GetSystemMetrics(SM_CXMENUCHECK) + 3);
  EXPECT_EQ(system->Count(), 25);
  EXPECT_EQ(tree.CheckImages(), system);
  EXPECT_EQ(UtilityImages()->Count(), 9);
  EXPECT_NE(Screen->Cursors(crHeaderSplit), Screen->Cursors(crDefault));
  EXPECT_NE(Screen->Cursors(crVertSplit), Screen->Cursors(crDefault));
  for (const char* name : {"VT_MOVEALL", "VT_MOVEEW", "VT_MOVENS", "VT_XPBUTTONPLUS", "VT_XPBUTTONMINUS"}) {
    TGdiObject bitmap(LoadImageA(GetModuleHandleA(nullptr), name, IMAGE_BITMAP, 0, 0, 0));
    EXPECT_NE(bitmap.Get(), nullptr) << name;
  }
  for (const char* name : {"VT_MOVEN", "VT_MOVES", "VT_MOVEE", "VT_MOVEW", "VT_MOVENE", "VT_MOVENW", "VT_MOVESE", "VT_MOVESW",
                           "VT_MOVEALL", "VT_MOVEEW", "VT_MOVENS"})
    EXPECT_NE(LoadCursorA(GetModuleHandleA(nullptr), name), nullptr) << name;
}

struct FormatTree : TBaseVirtualTree {
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
};
const TClassInfo FormatTree::ClassInfo{"FormatTree", &TBaseVirtualTree::ClassInfo, nullptr};

TEST(TreeGlobals, ClipboardFormatRegistry) {
  TBaseVirtualTree tree;
  EXPECT_EQ(StandardClipboardFormatName(CF_TEXT), "Plain text");
  EXPECT_EQ(StandardClipboardFormatName(CF_UNICODETEXT), "Unicode text");
  EXPECT_TRUE(RegisterTreeClipboardFormat(CF_TEXT, &FormatTree::ClassInfo, 100));
  const size_t count = ClipboardFormats()->Entries().size();
  EXPECT_FALSE(RegisterTreeClipboardFormat(CLIPFORMAT(0), &FormatTree::ClassInfo, 100));
  EXPECT_EQ(ClipboardFormats()->Entries().size(), count);
  const TClipboardFormatListEntry* text = ClipboardFormats()->FindFormat("plain TEXT");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->FormatEtc.cfFormat, CF_TEXT);
  EXPECT_EQ(text->FormatEtc.tymed, static_cast<DWORD>(TYMED_HGLOBAL));
  EXPECT_EQ(text->FormatEtc.lindex, -1);
  // The base class offers only its own format; a descendant its own too.
  const std::vector<FORMATETC> base = ClipboardFormats()->EnumerateFormats(&TBaseVirtualTree::ClassInfo);
  ASSERT_EQ(base.size(), 1u);
  EXPECT_EQ(base[0].cfFormat, VirtualTreeDataFormat());
  const std::vector<FORMATETC> derived = ClipboardFormats()->EnumerateFormats(&FormatTree::ClassInfo);
  ASSERT_EQ(derived.size(), 2u);
  EXPECT_EQ(derived[0].cfFormat, VirtualTreeDataFormat());  // priority 50 before 100
  EXPECT_EQ(derived[1].cfFormat, CF_TEXT);
  const std::vector<AnsiString> allowed{"Plain text"};
  EXPECT_EQ(ClipboardFormats()->EnumerateFormats(&FormatTree::ClassInfo, &allowed).size(), 1u);
}

// Expected lanes: t = (((S - D) * A + 256 * D) mod 65536) >> 8, then
// biased around 128 with saturation.
TEST(TreeGlobals, BlendModesFollowTheirFormulas) {
  if (!MMXAvailable()) GTEST_SKIP() << "no MMX: blending is off";
  struct Case {
    const char* name;
    TBlendMode mode;
    int alpha, bias;
    uint32_t source, destination, expected;  // 0xAARRGGBB
  };
  const Case cases[] = {
      // blue: S 200 D 100 A 128 -> 150; green S 50 D 200 -> 125; red 0; alpha S 255 D 0 -> 127
      {"constant alpha", TBlendMode::bmConstantAlpha, 128, 0, 0xFF0032C8, 0x0000C864, 0x7F007D96},
      // blue 150 + 200 saturates at 255; the zero lanes become 0 + 200
      {"bias saturates up", TBlendMode::bmConstantAlpha, 128, 200, 0x000000C8, 0x00000064, 0xC8C8C8FF},
      {"bias saturates down", TBlendMode::bmConstantAlpha, 128, -300, 0xFFFFFFC8, 0x00000064, 0x00000000},
      // A = the source alpha 64: blue 125, green 162, alpha 16
      {"per-pixel alpha", TBlendMode::bmPerPixelAlpha, 0, 0, 0x400032C8, 0x0000C864, 0x1000A27D},
      // A = (128 * 128) >> 8 = 64: blue 125, alpha 32
      {"master alpha", TBlendMode::bmMasterAlpha, 128, 0, 0x800000C8, 0x00000064, 0x2000007D},
      // (64 * C + 192 * D) >> 8 with the colour red: red 159, green and blue 96
      {"constant alpha and colour", TBlendMode::bmConstantAlphaAndColor, 64, 0x0000FF, 0, 0x00808080, 0x009F6060},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Dib source(2, 2), destination(2, 2, false);
    source.Fill(c.source);
    destination.Fill(c.destination);
    BlendRect(source.DC(), destination.DC(), RECT{0, 0, 1, 2}, POINT{1, 0}, c.mode, c.alpha, c.bias);
    EXPECT_EQ(destination.At(1, 0), c.expected) << std::hex << destination.At(1, 0);
    EXPECT_EQ(destination.At(1, 1), c.expected);
    EXPECT_EQ(destination.At(0, 0), c.destination);  // outside the target
  }
  // Rows are found where GDI shows them, in top-down and bottom-up bitmaps alike.
  for (bool bottomUp : {true, false}) {
    SCOPED_TRACE(bottomUp ? "bottom-up" : "top-down");
    Dib rows(3, 4, bottomUp);
    rows.Fill(0x00808080);
    BlendRect(rows.DC(), rows.DC(), RECT{1, 0, 2, 1}, POINT{1, 0}, TBlendMode::bmConstantAlphaAndColor, 64, 0x0000FF);
    EXPECT_EQ(rows.At(1, 0), 0x009F6060u) << std::hex << rows.At(1, 0);
    EXPECT_EQ(rows.At(1, 3), 0x00808080u);
    EXPECT_EQ(rows.At(0, 0), 0x00808080u);
    EXPECT_EQ(GetPixel(rows.DC(), 1, 0), RGB(0x9F, 0x60, 0x60));
  }
  Dib source(2, 2), destination(2, 2);
  destination.Fill(0x11223344);
  BlendRect(source.DC(), destination.DC(), RECT{0, 0, 0, 0}, POINT{0, 0}, TBlendMode::bmConstantAlpha, 128, 0);
  EXPECT_EQ(destination.At(0, 0), 0x11223344u);
  // Only 32-bit DIBs take part.
  TMemoryDC plain;
  try {
    BlendRect(plain.Get(), destination.DC(), RECT{0, 0, 1, 1}, POINT{0, 0}, TBlendMode::bmConstantAlpha, 128, 0);
    ADD_FAILURE() << "no assertion";
  } catch (const EAssertionFailed& e) {
    EXPECT_THAT_MESSAGE(e, "Alpha blending error: bitmap must use 32 bpp.");
  }
}

TEST(TreeGlobals, HelpersForColoursAndRectangles) {
  EXPECT_EQ(ColorForBlending(clNone), 0xFFFFFFFFu);
  EXPECT_EQ(ColorForBlending(clDefault), 0xFF000000u);
  EXPECT_EQ(ColorForBlending(static_cast<TColor>(0x123456)), 0x123456u);
  const RECT r = OrderRect(RECT{10, 20, 5, 2});
  EXPECT_EQ(r, (RECT{5, 2, 10, 20}));
  try {
    ShowError("Clipboard operation failed.", 2007);
  } catch (const EVirtualTreeError& e) {
    EXPECT_EQ(e.Code(), 2007);
    EXPECT_EQ(e.Message(), "Clipboard operation failed.");
  }
}

// The drawing path for systems without DrawTextW, called directly (Wine has it).
TEST(TreeGlobals, WideTextWithoutDrawTextW) {
  Dib dib(200, 60, false);
  dib.Fill(0xFFFFFF);
  TGdiObject font(GetStockObject(DEFAULT_GUI_FONT));
  TSelectObjectGuard select(dib.DC(), font.Release());
  SetBkMode(dib.DC(), TRANSPARENT);
  TEXTMETRICW metrics{};
  GetTextMetricsW(dib.DC(), &metrics);
  SIZE wide{};
  GetTextExtentPoint32W(dib.DC(), L"abcdef", 6, &wide);
  RECT calc{0, 0, 0, 0};
  EXPECT_EQ(DrawTextWithoutDrawTextW(dib.DC(), L"abc\r\nabcdef\x2028x", calc, DT_CALCRECT, false), 3 * metrics.tmHeight);
  EXPECT_EQ(calc, (RECT{0, 0, wide.cx, 3 * metrics.tmHeight}));
  RECT single{0, 0, 0, 0};
  DrawTextWithoutDrawTextW(dib.DC(), L"abc\nabcdef", single, DT_CALCRECT | DT_SINGLELINE, false);
  EXPECT_EQ(single.bottom, metrics.tmHeight);
  // Right-aligned: ink only in the right part of the rectangle.
  RECT bounds{0, 0, 200, 60};
  DrawTextWithoutDrawTextW(dib.DC(), L"Wide", bounds, DT_RIGHT | DT_SINGLELINE, false);
  auto ink = [&](int from, int to) {
    for (int y = 0; y < 60; ++y)
      for (int x = from; x < to; ++x)
        if ((dib.At(x, y) & 0xFFFFFF) != 0xFFFFFF) return true;
    return false;
  };
  EXPECT_FALSE(ink(0, 150));
  EXPECT_TRUE(ink(150, 200));
  dib.Fill(0xFFFFFF);
  DrawTextWithoutDrawTextW(dib.DC(), L"Wide", bounds, DT_CENTER | DT_SINGLELINE | DT_VCENTER, false);
  EXPECT_FALSE(ink(0, 70));
  EXPECT_TRUE(ink(70, 130));
  EXPECT_FALSE(ink(130, 200));
}

TEST(TreeGlobals, ShorteningAndWrapping) {
  TScreenDC screen;
  TMemoryDC dc(screen.Get());
  // Every character of this font is equally wide.
  TSelectObjectGuard font(dc.Get(), GetStockObject(ANSI_FIXED_FONT));
  auto width = [&](const wchar_t* text) {
    SIZE size{};
    GetTextExtentPoint32W(dc.Get(), text, static_cast<int>(wcslen(text)), &size);
    return static_cast<int>(size.cx);
  };
  const int exact = width(L"abc") + width(L"...");
  EXPECT_EQ(ShortenString(dc.Get(), L"abcdef", exact), L"abc...");
  EXPECT_EQ(ShortenString(dc.Get(), L"abcdef", exact, width(L"...")), L"abc...");
  EXPECT_EQ(ShortenString(dc.Get(), L"abcdef", width(L"...") - 1), std::wstring());
  EXPECT_EQ(ShortenString(dc.Get(), std::wstring(), 100), std::wstring());
  EXPECT_EQ(ShortenString(dc.Get(), L"abc", 0), std::wstring());
  const RECT twoWords{0, 0, width(L"one two") + 1, 100};
  EXPECT_EQ(WrapString(dc.Get(), L"  one two three ", twoWords, 0, false), L"one two\r\nthree");
  const RECT narrow{0, 0, width(L"abcd"), 100};
  EXPECT_EQ(WrapString(dc.Get(), L"abcdefgh ij", narrow, 0, false), L"abcd\r\nefgh\r\nij");
}

TEST(TreeGlobals, TextBuffersGrowInBlocks) {
  TBufferedAnsiString ansi;
  ansi.Add(std::string(5000, 'x'));
  EXPECT_EQ(ansi.Capacity(), 8192u);
  TWideBufferedString wide;
  wide.Add(std::wstring(5000, L'x'));
  EXPECT_EQ(wide.Capacity(), 8192u);
  wide.Add(std::wstring(3189, L'y'));  // 3 left: a line break needs more room
  wide.AddNewLine();
  EXPECT_EQ(wide.Capacity(), 8192u + 4096);
  EXPECT_EQ(wide.AsString().substr(8189), L"\r\n");
  ansi.AddNewLine();
  const std::string text = ansi.AsString();
  EXPECT_EQ(text.size(), 5002u);
  EXPECT_EQ(text.substr(4999), "x\r\n");
}
}  // namespace
