// Glyph drawing and the graphics helpers: transparency by colour and by
// alpha, the six looks, both compositing paths (the system's alpha
// blending and the software blend) agreeing, text layout by rows and lines,
// the cursor's size, and a screenshot of the looks.
#include "foundation/Graphics.h"
#include "foundation/Controls.h"
#include "foundation/Geometry.h"
#include "platform/ExtCtrls.h"
#include "platform/Forms.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>
#include <cmath>
#include <gtest/gtest.h>

using namespace testing_support;

namespace {

class GraphicsUnit : public ::testing::Environment {
public:
  void SetUp() override { cxGraphicsInit(); }
  void TearDown() override { cxGraphicsDone(); }
};
const auto* const unitEnvironment = ::testing::AddGlobalTestEnvironment(new GraphicsUnit);

// Runs `body` once with the system's alpha blending and once with the
// software path (the entry cleared).
void ForBothPaths(const std::function<void(const char* path)>& body) {
  ASSERT_NE(cxAlphaBlend, nullptr) << "msimg32's AlphaBlend is bound at unit start";
  body("system alpha blending");
  const TAlphaBlendProc saved = cxAlphaBlend;
  cxAlphaBlend = nullptr;
  body("software blending");
  cxAlphaBlend = saved;
}

// A 32-bit surface filled with one colour.
std::unique_ptr<TBitmap> Surface(int w, int h, TColor color) {
  auto b = std::make_unique<TBitmap>();
  b->SetPixelFormat(pf32bit);
  b->SetSize(w, h);
  b->Canvas()->Brush()->SetColor(color);
  b->Canvas()->FillRect(RECT{0, 0, w, h});
  return b;
}

uint32_t At(TBitmap* b, int x, int y) { return Rgb(GetPixel(b->Canvas()->Handle(), x, y)); }

// A keyed glyph: magenta, with a blue square in its middle.
std::unique_ptr<TBitmap> KeyedGlyph() {
  auto g = std::make_unique<TBitmap>();
  g->SetPixelFormat(pf24bit);
  g->SetSize(16, 16);
  g->Canvas()->Brush()->SetColor(clFuchsia);
  g->Canvas()->FillRect(RECT{0, 0, 16, 16});
  g->Canvas()->Brush()->SetColor(clBlue);
  g->Canvas()->FillRect(RECT{4, 4, 12, 12});
  return g;
}

// An alpha glyph: a disc whose opacity falls from the centre, premultiplied.
std::unique_ptr<TcxBitmap> AlphaGlyph() {
  auto g = std::make_unique<TcxBitmap>(16, 16);
  TRGBColors pixels(16 * 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) {
      const double d = std::hypot(x - 7.5, y - 7.5);
      const int a = d > 8 ? 0 : static_cast<int>(255 * (1 - d / 8));
      pixels[static_cast<size_t>(y) * 16 + x] = MakePixel(a * 30 / 255, a * 160 / 255, a * 230 / 255, a);
    }
  StoreBitmapColors(g.get(), pixels, true);
  return g;
}

// The largest difference of one colour channel between two pictures of one size.
int WorstChannelDifference(const Image& a, const Image& b) {
  int worst = 0;
  for (size_t i = 0; i < a.Pixels.size() && i < b.Pixels.size(); ++i)
    for (int shift = 0; shift < 24; shift += 8)
      worst = std::max(worst, std::abs(static_cast<int>((a.Pixels[i] >> shift) & 0xFF) -
                                       static_cast<int>((b.Pixels[i] >> shift) & 0xFF)));
  return worst;
}

TEST(Glyphs, KeyedMagentaShowsTheBackground) {
  auto glyph = KeyedGlyph();
  ForBothPaths([&](const char* path) {
    auto surface = Surface(20, 20, clRed);
    const RECT r{2, 2, 18, 18};
    DrawImageOverBackground(surface->Canvas()->Handle(), r, r, glyph.get(), nullptr, -1, idmNormal, false, nullptr,
                            clFuchsia, false);
    EXPECT_EQ(At(surface.get(), 3, 3), 0xFF0000u) << path;
    EXPECT_EQ(At(surface.get(), 10, 10), 0x0000FFu) << path;
    EXPECT_EQ(At(surface.get(), 0, 0), 0xFF0000u) << path;
  });
}

TEST(Glyphs, NothingWithoutAGlyph) {
  auto surface = Surface(4, 4, clRed);
  TBitmap empty;
  DrawImageOverBackground(surface->Canvas()->Handle(), RECT{0, 0, 4, 4}, RECT{0, 0, 4, 4}, &empty, nullptr, 0,
                          idmNormal);
  EXPECT_EQ(At(surface.get(), 1, 1), 0xFF0000u);
}

// A 32-bit image list whose entry 0 holds two grey pixels at full and half
// opacity (premultiplied) and is transparent elsewhere.
struct TAlphaList {
  TCustomImageList List{nullptr};
  TAlphaList() {
    List.SetHandle(ImageList_Create(4, 1, ILC_COLOR32 | ILC_MASK, 1, 1));
    TcxBitmap image(4, 1);
    TRGBColors pixels{MakePixel(200, 200, 200, 255), MakePixel(100, 100, 100, 128), 0, 0};
    StoreBitmapColors(&image, pixels, true);
    HBITMAP handle = image.Handle();
    image.FreeContext();
    ImageList_Add(List.Handle(), handle, nullptr);
  }
};

TEST(Glyphs, FadedImageListEntryKeepsA64thOfItsAlpha) {
  TAlphaList alpha;
  ASSERT_EQ(NativePixelFormat(alpha.List.Handle()), 32);
  TGdiObject white(CreateSolidBrush(RGB(255, 255, 255)));
  ForBothPaths([&](const char* path) {
    auto surface = Surface(4, 1, clBlack);
    DrawImageOverBackground(surface->Canvas()->Handle(), RECT{0, 0, 4, 1}, RECT{0, 0, 4, 1}, nullptr, &alpha.List, 0,
                            idmFaded, false, static_cast<HBRUSH>(white.Get()));
    // Over white: 64/255 of the grey plus what its scaled opacity leaves.
    const double c = 64.0 / 255;
    const int full = static_cast<int>(c * 200 + (1 - c) * 255 + 0.5);
    const int half = static_cast<int>(c * 100 + (1 - c * 128 / 255) * 255 + 0.5);
    EXPECT_NEAR(static_cast<int>(At(surface.get(), 0, 0) & 0xFF), full, 1) << path;
    EXPECT_NEAR(static_cast<int>(At(surface.get(), 1, 0) & 0xFF), half, 1) << path;
    EXPECT_EQ(At(surface.get(), 2, 0), 0xFFFFFFu) << path;
  });
}

TEST(Glyphs, BothCompositingPathsAgree) {
  auto glyph = AlphaGlyph();
  for (uint8_t mode = idmNormal; mode <= idmShadowed; ++mode) {
    std::vector<Image> results;
    ForBothPaths([&](const char*) {
      auto surface = Surface(24, 24, clWhite);
      for (int i = 0; i < 24; i += 3) {  // a pattern to blend over
        surface->Canvas()->Brush()->SetColor(static_cast<TColor>(RGB(i * 10, 255 - i * 10, 128)));
        surface->Canvas()->FillRect(RECT{i, 0, i + 2, 24});
      }
      DrawImageOverBackground(surface->Canvas()->Handle(), RECT{4, 4, 20, 20}, RECT{0, 0, 24, 24}, glyph.get(),
                              nullptr, -1, mode);
      results.push_back(ReadPixels(surface->Canvas()->Handle(), RECT{0, 0, 24, 24}));
    });
    ASSERT_EQ(results.size(), 2u);
    EXPECT_LE(WorstChannelDifference(results[0], results[1]), 1) << "mode " << int(mode);
  }
}

BOOL WINAPI RefusingAlphaBlend(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION) { return FALSE; }

// An entry that refuses the blend draws what the software path draws.
TEST(Glyphs, ARefusedSystemBlendFallsToTheSoftwarePath) {
  auto glyph = AlphaGlyph();
  const TAlphaBlendProc saved = cxAlphaBlend;
  std::vector<Image> results;
  for (const TAlphaBlendProc entry : {TAlphaBlendProc{nullptr}, TAlphaBlendProc{&RefusingAlphaBlend}}) {
    cxAlphaBlend = entry;
    auto surface = Surface(24, 24, clWhite);
    DrawImageOverBackground(surface->Canvas()->Handle(), RECT{4, 4, 20, 20}, RECT{0, 0, 24, 24}, glyph.get(), nullptr,
                            -1, idmNormal);
    results.push_back(ReadPixels(surface->Canvas()->Handle(), RECT{0, 0, 24, 24}));
  }
  cxAlphaBlend = saved;
  ASSERT_EQ(results.size(), 2u);
  EXPECT_NE(results[1].Pixels[12 * 24 + 12] & 0xFFFFFF, 0xFFFFFFu) << "the glyph is drawn";
  EXPECT_LE(WorstChannelDifference(results[0], results[1]), 1);
}

// On Windows 9x the alpha-blending entry is not trusted (the software path
// composites) and a bitmap of fewer than 32 bits goes to a 32-bit device
// context through a 32-bit copy whose alpha is cleared.
TEST(Glyphs, Windows9xBranches) {
  TcxOSFlags flags = cxOSFlags();
  flags.Win9x = true;
  const TcxOSFlags previous = SetOSFlags(flags);
  auto glyph = AlphaGlyph();
  std::vector<Image> results;
  ForBothPaths([&](const char*) {
    auto surface = Surface(24, 24, clWhite);
    DrawImageOverBackground(surface->Canvas()->Handle(), RECT{4, 4, 20, 20}, RECT{0, 0, 24, 24}, glyph.get(), nullptr,
                            -1, idmNormal);
    results.push_back(ReadPixels(surface->Canvas()->Handle(), RECT{0, 0, 24, 24}));
  });
  auto keyed = KeyedGlyph();
  TcxBitmap target(16, 16);
  DrawBitmapToDC(target.Canvas()->Handle(), keyed.get(), RECT{0, 0, 16, 16}, POINT{0, 0});
  SetOSFlags(previous);
  ASSERT_EQ(results.size(), 2u);
  EXPECT_TRUE(results[0] == results[1]) << "the same software path either way";
  TRGBColors pixels;
  ReadBitmapPixels(&target, true, pixels);
  EXPECT_EQ(pixels[0], 0x00FF00FFu) << "magenta, alpha cleared";
  EXPECT_EQ(pixels[8 * 16 + 8], 0x000000FFu);
}

// On Windows 9x a 32-bit list bitmap is copied pixel by pixel (the
// system's copy loses the alpha bytes there): the entry and the whole list
// bitmap come out as on the NT family.
TEST(ImageLists, Windows9xExtractionKeepsTheAlpha) {
  TAlphaList alpha;
  IMAGEINFO info{};
  ASSERT_TRUE(ImageList_GetImageInfo(alpha.List.Handle(), 0, &info));
  DIBSECTION section{};
  ASSERT_EQ(GetObjectA(info.hbmImage, sizeof section, &section), static_cast<int>(sizeof section))
      << "the list's bitmap is a bitmap section";
  ASSERT_EQ(section.dsBm.bmBitsPixel, 32);
  for (const int index : {0, -1}) {
    std::vector<TRGBColors> results;
    for (const bool win9x : {false, true}) {
      TcxOSFlags flags = cxOSFlags();
      flags.Win9x = win9x;
      const TcxOSFlags previous = SetOSFlags(flags);
      TBitmap image, mask;
      ExtractImageAndMask(alpha.List.Handle(), index, &mask, &image);
      SetOSFlags(previous);
      if (index == 0) {
        ASSERT_EQ(image.GetWidth(), 4);
        ASSERT_EQ(image.GetHeight(), 1);
      } else {
        ASSERT_GE(image.GetWidth(), 4) << "the whole list bitmap, entry 0 at its top left";
      }
      EXPECT_EQ(image.BitsPerPixel(), 32) << index;
      EXPECT_FALSE(mask.GetEmpty()) << index;
      TRGBColors pixels;
      ReadBitmapPixels(&image, true, pixels);
      pixels.resize(4);
      results.push_back(pixels);
    }
    EXPECT_EQ(results[0][0], MakePixel(200, 200, 200, 255)) << index;
    EXPECT_EQ(results[0][1], MakePixel(100, 100, 100, 128)) << index;
    EXPECT_EQ(results[1], results[0]) << index;
  }
}

TEST(Glyphs, SmoothStretchResamples) {
  auto glyph = KeyedGlyph();
  auto surface = Surface(40, 40, clWhite);
  DrawImageOverBackground(surface->Canvas()->Handle(), RECT{4, 4, 36, 36}, RECT{0, 0, 40, 40}, glyph.get(), nullptr,
                          -1, idmNormal, true, nullptr, clFuchsia, false);
  EXPECT_EQ(At(surface.get(), 20, 20), 0x0000FFu) << "the middle of the doubled glyph";
  EXPECT_EQ(At(surface.get(), 1, 1), 0xFFFFFFu);
}

TEST(TextLayout, RowsAndLines) {
  TcxScreenCanvas canvas;
  HDC dc = canvas.GetDeviceContext();
  (void)canvas.WidthOfText("x");  // the font selected
  const AnsiString word = "Workbench";
  const RECT two = CalcTextRectForRows(dc, "Workbench Workbench", 2);
  SIZE wg;
  MeasureTextExtent(dc, "Wg", wg);
  SIZE one;
  MeasureTextExtent(dc, word, one);
  EXPECT_EQ(HeightOfRect(two), 2 * wg.cy);
  EXPECT_GE(WidthOfRect(two), one.cx);
  EXPECT_LE(WidthOfRect(two), one.cx + 2);
  EXPECT_TRUE(SameRect(CalcTextRectForRows(dc, word, 0), RECT{0, 0, 0, 0}));
  const RECT fixed = CalcTextRectForRows(dc, word, 3, true);
  EXPECT_EQ(fixed.bottom, 3 * wg.cy);

  TStringList lines;
  const RECT narrow{0, 0, canvas.WidthOfText("ab cd"), 20};
  SplitTextIntoLines("Extraordinarily ab cd  ef", &canvas, narrow, &lines);
  ASSERT_GE(lines.Count(), 2);
  EXPECT_EQ(lines[0].substr(0, 15), "Extraordinarily") << "the wide word alone on the first line";
  EXPECT_EQ(lines[1], "ab cd ");
  EXPECT_EQ(lines[lines.Count() - 1], " ef") << "runs of spaces survive";
}

TEST(TextLayout, SpecialCharsets) {
  EXPECT_FALSE(IsSpecialCharsetText(GB2312_CHARSET, "Abc"));
  EXPECT_TRUE(IsSpecialCharsetText(GB2312_CHARSET, "\xC4\xE3"));
  EXPECT_TRUE(IsSpecialCharsetText(GB2312_CHARSET, ""));
  EXPECT_FALSE(IsSpecialCharsetText(ANSI_CHARSET, "\xC4\xE3"));
}

TEST(Helpers, MixedColoursAndBitmaps) {
  const DWORD face = GetSysColor(COLOR_BTNFACE);
  if (face != RGB(255, 255, 255) && face != RGB(0, 0, 0)) {
    const COLORREF h = GetSysColor(COLOR_HIGHLIGHT);
    const COLORREF w = GetSysColor(COLOR_WINDOW);
    const COLORREF mixed = static_cast<COLORREF>(MixSystemColors(14, 44, 40));
    EXPECT_EQ(GetRValue(mixed), ClampByte(GetRValue(face) * 14 / 100 + GetRValue(h) * 44 / 100 + GetRValue(w) * 40 / 100));
  }
  std::unique_ptr<TBitmap> b(CreateBitmapForRect(RECT{1, 1, 5, 4}, pf24bit));
  EXPECT_EQ(b->GetWidth(), 4);
  EXPECT_EQ(BitmapColorDepth(b.get()), 24);
  EXPECT_TRUE(IsBitmapUsable(b.get()));
  EXPECT_FALSE(IsBitmapUsable(nullptr));
  RECT r{0, 0, 10, 10};
  DeflateRectByMargins(r, RECT{1, 2, 3, 4});
  EXPECT_TRUE(SameRect(r, RECT{1, 2, 7, 6}));
}

TEST(Helpers, CheckerOverlayAndMask) {
  // The checker over a device context's area, cells counted from the area's
  // bottom-left corner.
  auto surface = Surface(12, 10, clWhite);
  OverlayCheckerPattern(surface->Canvas()->Handle(), RECT{2, 1, 10, 9}, clRed, clBlue, 4, 255, 255);
  for (int y = 1; y < 9; ++y)
    for (int x = 2; x < 10; ++x) {
      const bool first = ((x - 2) / 4 + (8 - y) / 4) % 2 == 0;
      ASSERT_EQ(At(surface.get(), x, y), first ? 0xFF0000u : 0x0000FFu) << x << "," << y;
    }
  EXPECT_EQ(At(surface.get(), 1, 1), 0xFFFFFFu) << "nothing outside the area";

  // A mask from a bitmap without alpha: its transparent colour (the
  // bottom-left pixel's) white, the rest black.
  TcxBitmap source(3, 1);
  TRGBColors pixels{0x00FF00FFu, 0x000000FFu, 0x00FF00FFu};
  StoreBitmapColors(&source, pixels, true);
  TBitmap mask;
  mask.SetPixelFormat(pf1bit);
  mask.SetSize(3, 1);
  RenderMaskBitmap(&source, &mask);
  EXPECT_EQ(At(&mask, 0, 0), 0xFFFFFFu);
  EXPECT_EQ(At(&mask, 1, 0), 0u);
  EXPECT_EQ(At(&mask, 2, 0), 0xFFFFFFu);
}

// A monochrome cursor mask of the given rows (AND part first, then XOR).
HBITMAP MaskBitmap(int w, int h, const std::vector<uint32_t>& rows) {
  std::vector<uint8_t> bits(static_cast<size_t>((w + 15) / 16 * 2) * h, 0xFF);
  const size_t stride = static_cast<size_t>((w + 15) / 16 * 2);
  for (int y = 0; y < h && y < static_cast<int>(rows.size()); ++y)
    for (size_t i = 0; i < stride && i < 4; ++i) bits[y * stride + i] = static_cast<uint8_t>(rows[y] >> (24 - 8 * i));
  return CreateBitmap(w, h, 1, 1, bits.data());
}

TEST(CursorSize, ScansOnlyTheMasksBytes) {
  const SIZE system{32, 32};
  const struct { const char* Name; int W; int H; int Hot; std::vector<uint32_t> Rows; int Height; } cases[] = {
      // Opaque rows 0 to 9 of the AND part: the lowest visible row is 9.
      {"AND part", 32, 64, 2, std::vector<uint32_t>(10, 0x00000000u), 7},
      {"shorter than it is wide", 32, 8, 0, std::vector<uint32_t>(3, 0x00000000u), 2},
      {"hot spot below the shape", 32, 64, 20, std::vector<uint32_t>(5, 0x00000000u), 0},
  };
  for (const auto& c : cases) {
    std::vector<uint32_t> rows(static_cast<size_t>(c.H), 0xFFFFFFFFu);
    for (size_t i = 0; i < c.Rows.size(); ++i) rows[i] = c.Rows[i];
    if (c.H >= 2 * c.W)
      for (int y = c.W; y < c.H; ++y) rows[static_cast<size_t>(y)] = 0;  // XOR part: nothing
    ICONINFO info{};
    info.fIcon = FALSE;
    info.yHotspot = static_cast<DWORD>(c.Hot);
    info.hbmMask = MaskBitmap(c.W, c.H, rows);
    const SIZE size = CursorSizeFromIconInfo(info, system);
    DeleteObject(info.hbmMask);
    EXPECT_EQ(size.cx, c.W) << c.Name;
    EXPECT_EQ(size.cy, c.Height) << c.Name;
  }
}

// A windowed control painting columns, column x in (x * 5 mod 256, green,
// 0), that notes whether it was painting a copy.
class TColumns : public TCustomControl {
public:
  TColumns(TComponent* owner, int green) : TCustomControl(owner), FGreen(green) {}
  void Paint() override {
    PaintedCopy = ControlState().Contains(csPaintCopy);
    const RECT client = ClientRect();
    for (int x = 0; x < client.right; ++x) {
      Canvas()->Brush()->SetColor(Column(x));
      Canvas()->FillRect(RECT{x, 0, x + 1, client.bottom});
    }
  }
  TColor Column(int x) const { return static_cast<TColor>(RGB((x * 5) & 0xFF, FGreen, 0)); }
  bool PaintedCopy = false;

private:
  int FGreen;
};

// The parent paints at its own co-ordinates behind the control: a control
// at (30, 20) gets the parent's column x + 30; with children, a sibling
// before it in z-order at (50, 25) is painted over that at its place.
TEST(ParentBackground, PaintsTheParentAndTheChildrenBeforeTheControl) {
  TForm* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 300, 200);
  auto* parent = New<TColumns>(form, 0);
  parent->SetParent(form);
  parent->SetBounds(10, 10, 200, 100);
  auto* sibling = New<TColumns>(form, 200);
  sibling->SetParent(parent);
  sibling->SetBounds(50, 25, 30, 30);
  auto* control = New<TPanel>(form);
  control->SetParent(parent);
  control->SetBounds(30, 20, 40, 30);
  control->HandleNeeded();
  sibling->HandleNeeded();
  const struct { const char* Name; bool WithChildren; bool DrawBackground; bool DoubleBuffered; } cases[] = {
      {"the parent alone", false, false, false},
      {"with the children before the control", true, false, false},
      {"the background of a double-buffered parent", false, true, true},
  };
  for (const auto& c : cases) {
    parent->SetDoubleBuffered(c.DoubleBuffered);
    auto surface = Surface(40, 30, clWhite);
    TcxCanvas canvas(surface->Canvas());
    if (c.DrawBackground)
      DrawParentBackground(control, &canvas, RECT{0, 0, 40, 30});
    else
      PaintParentInto(control, &canvas, RECT{0, 0, 40, 30}, c.WithChildren);
    EXPECT_TRUE(parent->PaintedCopy) << c.Name << ": the parent knew it painted a copy";
    EXPECT_FALSE(parent->ControlState().Contains(csPaintCopy)) << c.Name;
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 40; ++x) {
        const bool overSibling = c.WithChildren && x >= 20 && y >= 5;
        const TColor expected = overSibling ? sibling->Column(x - 20) : parent->Column(x + 30);
        ASSERT_EQ(At(surface.get(), x, y), Rgb(static_cast<COLORREF>(expected))) << c.Name << " at " << x << "," << y;
      }
  }
  PaintParentInto(form, nullptr, RECT{0, 0, 1, 1}, true);  // no parent: nothing
  Free(form);
}

TEST(Screenshot, LooksFramesEdgesAndText) {
  const int cell = 40;
  auto surface = Surface(6 * cell + 20, 2 * cell + 100, clBtnFace);
  TCanvas* canvas = surface->Canvas();
  std::unique_ptr<TcxCanvas> cx(TcxCanvas::CreateWrapping(canvas));
  auto keyed = KeyedGlyph();
  auto alpha = AlphaGlyph();
  // Cells in the button face (where the disabled look's embossing shows),
  // framed in the button shadow.
  const TcxViewParams face{nullptr, clBtnFace};
  for (int mode = 0; mode <= 5; ++mode) {
    const int x = 10 + mode * cell;
    RECT dest{x, 10, x + cell - 4, 10 + cell - 4};
    cx->FrameAndFillWithParams(dest, face, cxBordersAll, clBtnShadow, 1);
    RECT glyph = CenterExtentInRect(dest, 16, 16);
    DrawImageOverBackground(canvas->Handle(), glyph, dest, keyed.get(), nullptr, -1, static_cast<uint8_t>(mode),
                            false, nullptr, clFuchsia, false);
    dest = ShiftRect(dest, 0, cell);
    cx->FrameAndFillWithParams(dest, face, cxBordersAll, clBtnShadow, 1);
    glyph = CenterExtentInRect(dest, 16, 16);
    DrawImageOverBackground(canvas->Handle(), glyph, dest, alpha.get(), nullptr, -1, static_cast<uint8_t>(mode));
  }
  const int y = 10 + 2 * cell;
  cx->DrawSideFrame(RECT{10, y, 60, y + 30}, clNavy, 3, cxBordersAll);
  cx->Draw3DEdge(RECT{70, y, 120, y + 30}, false, false);
  cx->Draw3DEdge(RECT{72, y + 2, 118, y + 28}, false, true);
  cx->Draw3DEdge(RECT{130, y, 180, y + 30}, true, false);
  cx->Draw3DEdge(RECT{132, y + 2, 178, y + 28}, true, true);
  cx->DrawTwoToneFrame(RECT{190, y, 240, y + 30}, clRed, clBlue, cxBordersAll, 2);
  cx->GetBrush()->SetStyle(bsClear);
  cx->DrawTextInState("Disabled text", RECT{10, y + 40, 250, y + 60}, cxSingleLine | cxAlignLeft, false);
  cx->DrawTextInState("Enabled text", RECT{10, y + 60, 250, y + 80}, cxSingleLine | cxAlignLeft, true);
  const std::string path =
      SaveArtefact(ReadPixels(canvas->Handle(), RECT{0, 0, surface->GetWidth(), surface->GetHeight()}),
                   "foundation-glyphs");
  EXPECT_FALSE(path.empty());
}

}  // namespace
