#include "foundation/Office11.h"

#include "foundation/Geometry.h"
#include "foundation/Graphics.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "platform/Bitmap.h"
#include "platform/SysUtils.h"

#include <algorithm>
#include <memory>

TGradientFillProc dxGradientFill = nullptr;

namespace {

// One row per scheme (blue, olive, silver) of 49 cells, plus the scheme's
// split-gradient percentage. Cells 6 to 9, 13, 20, 22 to 25, 27, 28, 30, 31,
// 33, 40 to 45 and 48 are the same in every scheme: the hot, pressed and
// checked oranges, white, and the black and grey of text.
struct TOffice11SchemeRow {
  COLORREF Cells[49];
  int SplitPercent;
};

const TOffice11SchemeRow SchemeTable[3] = {
    // Blue.
    {{RGB(221, 236, 254), RGB(129, 169, 226), RGB(158, 190, 245), RGB(196, 218, 250), RGB(0, 53, 145),
      RGB(117, 166, 241), RGB(255, 193, 118), RGB(255, 244, 204), RGB(254, 128, 62), RGB(255, 211, 142),
      RGB(59, 97, 156), RGB(123, 164, 224), RGB(39, 65, 118), RGB(255, 255, 255), RGB(106, 140, 203),
      RGB(241, 249, 255), RGB(59, 97, 156), RGB(165, 195, 239), RGB(0, 45, 150), RGB(246, 246, 246),
      RGB(255, 238, 194), RGB(0, 0, 128), RGB(255, 244, 204), RGB(255, 208, 145), RGB(254, 145, 78),
      RGB(255, 211, 142), RGB(203, 225, 252), RGB(255, 192, 111), RGB(254, 128, 62), RGB(169, 199, 240),
      RGB(0, 0, 0), RGB(141, 141, 141), RGB(195, 218, 249), RGB(251, 230, 148), RGB(158, 190, 245),
      RGB(59, 97, 156), RGB(42, 102, 201), RGB(0, 45, 150), RGB(227, 239, 255), RGB(123, 164, 224),
      RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 192, 111), RGB(254, 145, 78), RGB(254, 128, 62),
      RGB(255, 211, 142), RGB(89, 135, 214), RGB(3, 56, 148), RGB(255, 255, 255)},
     41},
    // Olive.
    {{RGB(244, 247, 222), RGB(183, 198, 145), RGB(217, 217, 167), RGB(242, 241, 228), RGB(96, 119, 66),
      RGB(176, 194, 140), RGB(255, 193, 118), RGB(255, 244, 204), RGB(254, 128, 62), RGB(255, 211, 142),
      RGB(96, 128, 88), RGB(197, 212, 159), RGB(81, 94, 51), RGB(255, 255, 255), RGB(96, 128, 88),
      RGB(244, 247, 222), RGB(96, 119, 66), RGB(204, 217, 173), RGB(117, 141, 94), RGB(244, 244, 238),
      RGB(255, 238, 194), RGB(63, 93, 56), RGB(255, 244, 204), RGB(255, 208, 145), RGB(254, 145, 78),
      RGB(255, 211, 142), RGB(235, 240, 214), RGB(255, 192, 111), RGB(254, 128, 62), RGB(200, 212, 172),
      RGB(0, 0, 0), RGB(141, 141, 141), RGB(217, 217, 167), RGB(251, 230, 148), RGB(217, 217, 167),
      RGB(96, 128, 88), RGB(116, 134, 94), RGB(117, 141, 94), RGB(241, 244, 226), RGB(190, 204, 160),
      RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 192, 111), RGB(254, 145, 78), RGB(254, 128, 62),
      RGB(255, 211, 142), RGB(165, 180, 124), RGB(81, 94, 51), RGB(255, 255, 255)},
     125},
    // Silver.
    {{RGB(243, 244, 250), RGB(153, 151, 181), RGB(215, 215, 229), RGB(243, 243, 247), RGB(112, 111, 145),
      RGB(186, 185, 206), RGB(255, 193, 118), RGB(255, 244, 204), RGB(254, 128, 62), RGB(255, 211, 142),
      RGB(124, 124, 148), RGB(190, 190, 213), RGB(84, 84, 117), RGB(255, 255, 255), RGB(110, 109, 143),
      RGB(255, 255, 255), RGB(124, 124, 148), RGB(212, 212, 226), RGB(124, 124, 148), RGB(253, 250, 255),
      RGB(255, 238, 194), RGB(75, 75, 111), RGB(255, 244, 204), RGB(255, 208, 145), RGB(254, 145, 78),
      RGB(255, 211, 142), RGB(232, 233, 242), RGB(255, 192, 111), RGB(254, 128, 62), RGB(196, 195, 215),
      RGB(0, 0, 0), RGB(141, 141, 141), RGB(215, 215, 229), RGB(251, 230, 148), RGB(215, 215, 229),
      RGB(124, 124, 148), RGB(124, 124, 148), RGB(124, 124, 148), RGB(240, 240, 245), RGB(181, 180, 202),
      RGB(255, 244, 204), RGB(255, 208, 145), RGB(255, 192, 111), RGB(254, 145, 78), RGB(254, 128, 62),
      RGB(255, 211, 142), RGB(143, 142, 170), RGB(84, 84, 117), RGB(255, 255, 255)},
     40},
};

// The brush cells and the palette entry each is made of; cells of one entry
// share one brush.
const int BrushEntries[Office11BrushCount] = {18, 19, 20, 21, 31, 41, 40, 46, 47, 48, 38, 31, 49, 40, 38, 55};

TColor Palette[Office11PaletteSize] = {};
TOffice11Scheme Scheme = schNone;
bool SchemeColors = false;
int SplitPercent = 75;
int UserCount = 0;
HBRUSH Brushes[Office11BrushCount] = {};
std::unique_ptr<TBitmap> SubMenuExpand;
std::unique_ptr<TBitmap> ExpandMinus;
std::unique_ptr<TBitmap> ExpandPlus;
HMODULE GradientLibrary = nullptr;

TColor Rgb(TColor color) { return ColorToRGB(color); }

int Channel(TColor c, int shift) { return static_cast<int>((c >> shift) & 0xFF); }

TColor FromChannels(int r, int g, int b) {
  return static_cast<TColor>(RGB(ClampByte(r), ClampByte(g), ClampByte(b)));
}

AnsiString UpperWide(const std::wstring& text) {
  std::wstring upper = text;
  if (!upper.empty()) CharUpperBuffW(upper.data(), static_cast<DWORD>(upper.size()));
  std::string result;
  for (wchar_t ch : upper) result.push_back(ch < 0x80 ? static_cast<char>(ch) : '?');
  return result;
}

void ComputePalette() {
  Scheme = DetectOffice11Scheme();
  SchemeColors = CanUseVisualStyles() && Scheme != schNone;
  TColor* p = Palette;
  const TColor face = Rgb(clBtnFace), window = Rgb(clWindow), shadow = Rgb(clBtnShadow);
  if (Scheme != schNone) {
    const TOffice11SchemeRow& row = SchemeTable[Scheme - 1];
    auto c = [&](int cell) { return static_cast<TColor>(row.Cells[cell]); };
    p[0] = c(2);
    p[1] = c(3);
    p[2] = c(0);
    p[3] = c(1);
    p[4] = c(5);
    p[5] = c(7);
    p[6] = c(9);
    p[7] = c(4);
    p[8] = c(6);
    p[9] = c(8);
    p[10] = c(10);
    p[11] = c(11);
    for (int i = 0; i < 3; ++i) p[12 + i] = MixColors(p[4 + i], p[2], 90);
    for (int i = 0; i < 3; ++i) p[15 + i] = MixColors(p[7 + i], p[11], 50);
    p[18] = c(12);
    p[19] = c(13);
    p[20] = c(14);
    p[21] = c(15);
    p[22] = clBlack;
    p[23] = clWhite;
    p[24] = c(16);
    p[25] = c(17);
    p[28] = clWhite;
    p[29] = clBlack;
    p[30] = clBlack;
    p[31] = c(19);
    p[38] = c(18);
    for (int i = 0; i < 10; ++i) p[40 + i] = c(20 + i);
    p[51] = c(30);
    p[52] = c(31);
    p[58] = c(32);
    p[59] = c(33);
    p[60] = c(35);
    p[61] = c(34);
    p[62] = static_cast<TColor>(RGB(253, 238, 201));
    p[63] = c(36);
    p[64] = p[11];
    p[65] = c(37);
    for (int i = 0; i < 10; ++i) p[66 + i] = c(38 + i);
    p[76] = c(48);
    p[77] = p[74];
    p[78] = p[75];
    SplitPercent = row.SplitPercent;
  } else {
    p[0] = face;
    p[1] = MixColors(face, window, 20);
    p[2] = MixColors(face, window, 22);
    p[3] = MixColors(face, window, 96);
    p[4] = MixColors(shadow, window, 74);
    p[5] = NearestScreenColor(BlendSystemTint(-15, 29, 86));
    p[6] = NearestScreenColor(BlendSystemTint(42, 11, 47));
    p[7] = shadow;
    p[8] = p[5];
    p[9] = p[6];
    p[10] = MixColors(face, window, 85);
    p[11] = face;
    for (int i = 0; i < 3; ++i) p[12 + i] = MixColors(p[7 + i], window, 50);
    for (int i = 0; i < 3; ++i) p[15 + i] = MixColors(p[7 + i], p[11], 50);
    p[18] = MixColors(shadow, window, 76);
    p[19] = window;
    p[20] = MixColors(shadow, window, 70);
    p[21] = clWhite;
    p[22] = Rgb(clBtnText);
    p[23] = window;
    p[24] = shadow;
    p[25] = p[3];
    p[28] = Rgb(clBtnHighlight);
    p[29] = Rgb(clBtnText);
    p[30] = Rgb(clBtnText);
    p[31] = window;
    p[38] = shadow;
    p[40] = NearestScreenColor(BlendSystemTint(-2, 30, 72));
    p[41] = Rgb(clHighlight);
    p[48] = NearestScreenColor(BlendSystemTint(14, 44, 40));
    p[42] = p[43] = p[40];
    p[44] = p[45] = p[48];
    p[46] = p[3];
    p[47] = BlendSystemTint(41, 11, 48);
    p[49] = p[46];
    p[51] = Rgb(clBtnText);
    p[52] = Rgb(clGrayText);
    p[58] = face;
    p[59] = p[47];
    p[60] = p[38];
    p[61] = p[0];
    p[62] = face;
    p[63] = shadow;
    p[64] = shadow;
    p[65] = NearestScreenColor(shadow);
    p[66] = GroupCaptionTint(true);
    p[67] = GroupCaptionTint(false);
    p[68] = p[42];
    p[69] = p[43];
    p[70] = p[71] = p[47];
    p[72] = p[73] = p[48];
    p[74] = p[75] = p[65];
    p[76] = Rgb(clHighlightText);
    p[77] = NearestScreenColor(face);
    p[78] = p[65];
    SplitPercent = 75;
  }
  p[26] = p[2];
  p[27] = p[24];
  p[39] = p[31];
  p[32] = p[34] = p[2];
  p[33] = p[35] = p[3];
  p[36] = MixColors(p[2], clBlack, 92);
  p[37] = MixColors(p[35], clBlack, 92);
  p[50] = p[40];
  p[53] = p[38];
  p[54] = p[0];
  p[55] = p[15];
  p[56] = p[28];
  p[57] = p[38];
}

// The submenu glyph in the scheme's toolbar gradient: each grey pixel takes
// the mix of the gradient's ends that its red component's place between the
// lightest and the darkest grey gives it.
void RecolorToScheme(TBitmap* bitmap) {
  const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (w == 0 || h == 0) return;
  TCanvas* canvas = bitmap->Canvas();
  const TColor background = canvas->Pixels(0, 0);
  auto counts = [&](TColor c) { return c != background && c != clBlack; };
  int lowest = 255, highest = 1;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor c = canvas->Pixels(x, y);
      if (!counts(c)) continue;
      lowest = std::min(lowest, Channel(c, 0));
      highest = std::max(highest, Channel(c, 0));
    }
  const TColor a = Palette[2];
  TColor b = Palette[3];
  if (a == b) b = a == clBlack ? clWhite : clBlack;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const TColor c = canvas->Pixels(x, y);
      if (!counts(c)) continue;
      // A glyph of one grey has no span to place its pixels in: they take A.
      const int percent = highest > lowest ? MulDiv(Channel(c, 0) - lowest, 100, highest - lowest) : 100;
      canvas->SetPixels(x, y, MixColors(a, b, percent));
    }
}

std::unique_ptr<TBitmap> LoadGlyph(const char* name) {
  auto bitmap = std::make_unique<TBitmap>();
  try {
    bitmap->LoadFromResourceName(GetModuleHandleA(nullptr), name);
  } catch (const Exception&) {
    // A program without the library's bitmaps draws without the glyph.
    bitmap->SetSize(0, 0);
    return bitmap;
  }
  // Their pixels take blended colours, which a palette would not hold.
  bitmap->SetPixelFormat(pf32bit);
  return bitmap;
}

void BuildBrushes() {
  for (int i = 0; i < Office11BrushCount; ++i) {
    HBRUSH shared = nullptr;
    for (int j = 0; j < i && !shared; ++j)
      if (BrushEntries[j] == BrushEntries[i]) shared = Brushes[j];
    if (shared) {
      Brushes[i] = shared;
    } else {
      Brushes[i] = CreateSolidBrush(Palette[BrushEntries[i]]);
      HandleCreated(hkGdiObject);
    }
  }
  SubMenuExpand = LoadGlyph("DXSUBMENUEXPAND");
  RecolorToScheme(SubMenuExpand.get());
  ExpandMinus = LoadGlyph("DXEXPANDBUTTON_MINUS");
  ExpandPlus = LoadGlyph("DXEXPANDBUTTON_PLUS");
  Palette[79] = static_cast<TColor>(RGB(158, 174, 191));
  Palette[80] = static_cast<TColor>(RGB(46, 70, 95));
}

void FreeBrushes() {
  SubMenuExpand.reset();
  ExpandMinus.reset();
  ExpandPlus.reset();
  for (int i = 0; i < Office11BrushCount; ++i) {
    if (!Brushes[i]) continue;
    bool seen = false;
    for (int j = 0; j < i && !seen; ++j) seen = Brushes[j] == Brushes[i];
    if (!seen) {
      DeleteObject(Brushes[i]);
      HandleDeleted(hkGdiObject);
    }
  }
  for (int i = Office11BrushCount - 1; i >= 0; --i) Brushes[i] = nullptr;
}

}  // namespace

// --- palette -------------------------------------------------------------------------------------------

TColor Office11Color(int entry) {
  return entry >= 0 && entry < Office11PaletteSize ? Palette[entry] : clBlack;
}
TOffice11Scheme CurrentOffice11Scheme() { return Scheme; }
bool UsesOffice11SchemeColors() { return SchemeColors; }
int SplitGradientPercent() { return SplitPercent; }
HBRUSH Office11Brush(int cell) { return cell >= 0 && cell < Office11BrushCount ? Brushes[cell] : nullptr; }
TBitmap* Office11SubMenuExpandBitmap() { return SubMenuExpand.get(); }
TBitmap* Office11ExpandButtonBitmap(bool expanded) { return expanded ? ExpandMinus.get() : ExpandPlus.get(); }
int Office11PaletteUserCount() { return UserCount; }

void AddOffice11PaletteUser() {
  if (UserCount == 0) {
    ComputePalette();
    BuildBrushes();
  }
  ++UserCount;
}

void RemoveOffice11PaletteUser() {
  if (UserCount == 0) return;
  if (--UserCount == 0) FreeBrushes();
}

void RecomputeOffice11Palette() {
  ComputePalette();
  if (UserCount > 0) {
    FreeBrushes();
    BuildBrushes();
  }
}

TOffice11Scheme Office11SchemeFromThemeName(const std::wstring& themeFile, const std::wstring& colorName,
                                            int majorVersion) {
  const size_t slash = themeFile.find_last_of(L"\\/");
  const std::wstring file = slash == std::wstring::npos ? themeFile : themeFile.substr(slash + 1);
  if (UpperWide(file) != "LUNA.MSSTYLES" && majorVersion <= 5) return schNone;
  const AnsiString color = UpperWide(colorName);
  if (color == "NORMALCOLOR") return schBlue;
  if (color == "HOMESTEAD") return schOlive;
  if (color == "METALLIC") return schSilver;
  return schNone;
}

TOffice11Scheme DetectOffice11Scheme() {
  if (!CanUseVisualStyles()) return schNone;
  std::wstring file(1024, L'\0'), color(1024, L'\0'), size(1024, L'\0');
  if (FAILED(UxGetCurrentThemeName(file.data(), 1024, color.data(), 1024, size.data(), 1024))) return schNone;
  file.resize(wcsnlen(file.c_str(), 1024));
  color.resize(wcsnlen(color.c_str(), 1024));
  return Office11SchemeFromThemeName(file, color, Win32MajorVersion);
}

bool ButtonFaceIsBlack() { return GetSysColor(COLOR_BTNFACE) == RGB(0, 0, 0); }
bool ButtonFaceIsWhite() { return GetSysColor(COLOR_BTNFACE) == RGB(255, 255, 255); }
bool IsBlackFaceNonWhiteText() { return ButtonFaceIsBlack() && GetSysColor(COLOR_BTNTEXT) != RGB(255, 255, 255); }

// --- colour arithmetic ---------------------------------------------------------------------------------

TColor MixColors(TColor a, TColor b, int percent) {
  const TColor ra = Rgb(a), rb = Rgb(b);
  auto mix = [&](int shift) {
    return std::min(255, MulDiv(Channel(rb, shift), 100 - percent, 100) + MulDiv(Channel(ra, shift), percent, 100));
  };
  return NearestScreenColor(FromChannels(mix(0), mix(8), mix(16)));
}

TColor BlendTint(TColor face, TColor highlight, TColor window, int faceWeight, int highlightWeight,
                 int windowWeight) {
  if (face == RGB(0, 0, 0) || face == RGB(255, 255, 255)) return highlight;
  auto mix = [&](int shift) {
    return MulDiv(Channel(face, shift), faceWeight, 100) + MulDiv(Channel(highlight, shift), highlightWeight, 100) +
           MulDiv(Channel(window, shift), windowWeight, 100);
  };
  return FromChannels(mix(0), mix(8), mix(16));
}

TColor BlendSystemTint(int faceWeight, int highlightWeight, int windowWeight) {
  return BlendTint(GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_WINDOW), faceWeight,
                   highlightWeight, windowWeight);
}

TColor GroupCaptionTint(bool lighter) {
  const TColor face = Rgb(clBtnFace);
  auto tint = [&](int shift) {
    const int c = Channel(face, shift);
    return lighter ? c * 127 / 255 + 128 : (c - c * 4 / 255 + 4) % 256;
  };
  return NearestScreenColor(FromChannels(tint(0), tint(8), tint(16)));
}

TColor GradientColorAt(const RECT& r, int position, TColor color1, TColor color2, bool horizontal) {
  const TColor c1 = Rgb(color1), c2 = Rgb(color2);
  const int start = horizontal ? r.left : r.top;
  const int extent = horizontal ? WidthOfRect(r) : HeightOfRect(r);
  if (extent <= 0) return c1;
  const int steps = std::min(extent, 256);
  if (steps < 2) return c1;
  // The band the banded fill paints over the position: band i covers
  // [start + i * extent / steps, start + (i + 1) * extent / steps).
  const int offset = std::clamp(position - start, 0, extent - 1);
  int i = std::clamp(MulDiv(offset, steps, extent), 0, steps - 1);
  while (i > 0 && MulDiv(i, extent, steps) > offset) --i;
  while (i < steps - 1 && MulDiv(i + 1, extent, steps) <= offset) ++i;
  auto channel = [&](int shift) {
    return Channel(c1, shift) + MulDiv(i, Channel(c2, shift) - Channel(c1, shift), steps - 1);
  };
  return FromChannels(channel(0), channel(8), channel(16));
}

// --- fills ---------------------------------------------------------------------------------------------

void FillRectWithColor(HDC dc, const RECT& r, TColor color) {
  TGdiObject brush(CreateSolidBrush(Rgb(color)));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

void FrameRectWithColor(HDC dc, const RECT& r, TColor color) {
  TGdiObject brush(CreateSolidBrush(Rgb(color)));
  FrameRect(dc, &r, static_cast<HBRUSH>(brush.Get()));
}

void FrameWithOffice11Border(HDC dc, const RECT& r) {
  if (ButtonFaceIsBlack()) {
    FrameRectWithColor(dc, r, clHighlightText);
  } else if (Brushes[5]) {
    FrameRect(dc, &r, Brushes[5]);
  } else {
    FrameRectWithColor(dc, r, Palette[41]);
  }
}

void PaintSoftwareGradient(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal) {
  const TColor c1 = Rgb(color1), c2 = Rgb(color2);
  const int start = horizontal ? r.left : r.top;
  const int extent = horizontal ? WidthOfRect(r) : HeightOfRect(r);
  if (extent <= 0 || (horizontal ? HeightOfRect(r) : WidthOfRect(r)) <= 0) return;
  const int steps = std::min(extent, 256);
  int bandStart = start;
  for (int i = 0; i < steps; ++i) {
    const int bandEnd = start + MulDiv(i + 1, extent, steps);
    if (bandEnd > bandStart) {
      auto channel = [&](int shift) {
        return steps < 2 ? Channel(c1, shift)
                         : Channel(c1, shift) + MulDiv(i, Channel(c2, shift) - Channel(c1, shift), steps - 1);
      };
      const RECT band = horizontal ? RECT{bandStart, r.top, bandEnd, r.bottom} : RECT{r.left, bandStart, r.right, bandEnd};
      FillRectWithColor(dc, band, FromChannels(channel(0), channel(8), channel(16)));
      bandStart = bandEnd;
    }
    if (bandEnd >= start + extent) break;
  }
}

void PaintGradientRect(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal) {
  const TColor c1 = Rgb(color1), c2 = Rgb(color2);
  if (c1 == c2) {
    FillRectWithColor(dc, r, c1);
    return;
  }
  if (!dxGradientFill) {
    PaintSoftwareGradient(dc, r, c1, c2, horizontal);
    return;
  }
  TRIVERTEX vertices[2];
  auto vertex = [](TRIVERTEX& v, LONG x, LONG y, TColor c) {
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(Channel(c, 0) << 8);
    v.Green = static_cast<COLOR16>(Channel(c, 8) << 8);
    v.Blue = static_cast<COLOR16>(Channel(c, 16) << 8);
    v.Alpha = 0;
  };
  vertex(vertices[0], r.left, r.top, c1);
  vertex(vertices[1], r.right, r.bottom, c2);
  GRADIENT_RECT mesh{0, 1};
  dxGradientFill(dc, vertices, 2, &mesh, 1, horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

void PaintSplitGradient(HDC dc, const RECT& r, TColor color1, TColor color2, bool horizontal) {
  const TColor c1 = Rgb(color1), c2 = Rgb(color2);
  if (c1 == c2) {
    FillRectWithColor(dc, r, c1);
    return;
  }
  const int extent = horizontal ? WidthOfRect(r) : HeightOfRect(r);
  if (extent <= 0) return;
  int mid[3], from[3], to[3];
  for (int k = 0; k < 3; ++k) {
    from[k] = Channel(c1, 8 * k);
    to[k] = Channel(c2, 8 * k);
    mid[k] = from[k] - MulDiv(from[k] - to[k], SplitPercent, 200);
  }
  const int half = extent / 2;
  for (int line = 0; line < extent; ++line) {
    int channel[3];
    for (int k = 0; k < 3; ++k) {
      if (line <= half)
        channel[k] = half > 0 ? from[k] + MulDiv(mid[k] - from[k], line, half) : from[k];
      else
        channel[k] = extent - 1 > half ? mid[k] + MulDiv(to[k] - mid[k], line - half, extent - 1 - half) : to[k];
    }
    const RECT strip = horizontal ? RECT{r.left + line, r.top, r.left + line + 1, r.bottom}
                                  : RECT{r.left, r.top + line, r.right, r.top + line + 1};
    FillRectWithColor(dc, strip, FromChannels(channel[0], channel[1], channel[2]));
  }
}

void PaintGripDots(HDC dc, const RECT& r, bool vertical, HBRUSH dotBrush, HBRUSH shadowBrush) {
  // Without users there are no palette brushes: the grip colours are made
  // for the call.
  TGdiObject ownDot, ownShadow;
  if (!shadowBrush) shadowBrush = Brushes[1];
  if (!shadowBrush) {
    ownShadow.Reset(CreateSolidBrush(Palette[19]));
    shadowBrush = static_cast<HBRUSH>(ownShadow.Get());
  }
  if (!dotBrush) dotBrush = Brushes[0];
  if (!dotBrush) {
    ownDot.Reset(CreateSolidBrush(Palette[18]));
    dotBrush = static_cast<HBRUSH>(ownDot.Get());
  }
  const int run = vertical ? HeightOfRect(r) : WidthOfRect(r);
  const int remainder = run % 4;
  const int shift = remainder <= 1 ? remainder : remainder / 2;
  int x = r.left + (vertical ? 0 : shift);
  int y = r.top + (vertical ? shift : 0);
  bool first = true;
  while (first || (vertical ? y + 4 <= r.bottom : x + 4 <= r.right)) {
    const RECT shadow{x + 1, y + 1, x + 3, y + 3};
    FillRect(dc, &shadow, shadowBrush);
    const RECT dot{x, y, x + 2, y + 2};
    FillRect(dc, &dot, dotBrush);
    first = false;
    if (vertical) y += 4;
    else x += 4;
  }
}

void PaintSizeGripDots(HDC dc, const RECT& r, TColor dotColor, TColor shadowColor) {
  TGdiObject dot, shadow;
  if (dotColor != clDefault) dot.Reset(CreateSolidBrush(Rgb(dotColor)));
  if (shadowColor != clDefault) shadow.Reset(CreateSolidBrush(Rgb(shadowColor)));
  RECT run{r.right - 12, r.bottom - 3, r.right, r.bottom};
  for (int i = 0; i < 3; ++i) {
    PaintGripDots(dc, run, false, static_cast<HBRUSH>(dot.Get()), static_cast<HBRUSH>(shadow.Get()));
    run = RECT{run.left + 4, run.top - 4, run.right, run.bottom - 4};
  }
}

void PaintArrowTriangle(HDC dc, const RECT& r, int size, TcxArrowDirection direction, TColor color,
                        bool enabled, bool highlighted) {
  if (color == clDefault) {
    if (!enabled) color = Palette[52];
    else if (highlighted && ButtonFaceIsWhite()) color = clWhite;
    else color = Palette[51];
  }
  const int s = size;
  POINT points[3];
  switch (direction) {
    case adDown:
    case adUp: {
      const int x0 = (r.left + r.right - 2 * s + 1) / 2;
      const int y0 = (r.top + r.bottom - s) / 2;
      if (direction == adDown) {
        points[0] = {x0, y0};
        points[1] = {x0 + 2 * s - 2, y0};
        points[2] = {x0 + s - 1, y0 + s - 1};
      } else {
        points[0] = {x0, y0 + s - 1};
        points[1] = {x0 + 2 * s - 2, y0 + s - 1};
        points[2] = {x0 + s - 1, y0};
      }
      break;
    }
    default: {
      const int x0 = (r.left + r.right - s) / 2;
      const int y0 = (r.top + r.bottom - 2 * s + 1) / 2;
      if (direction == adRight) {
        points[0] = {x0, y0};
        points[1] = {x0, y0 + 2 * s - 2};
        points[2] = {x0 + s - 1, y0 + s - 1};
      } else {
        points[0] = {x0 + s - 1, y0};
        points[1] = {x0 + s - 1, y0 + 2 * s - 2};
        points[2] = {x0, y0 + s - 1};
      }
      break;
    }
  }
  TGdiObject brush(CreateSolidBrush(Rgb(color)));
  TGdiObject pen(CreatePen(PS_SOLID, 1, Rgb(color)));
  TSelectObjectGuard brushSelection(dc, brush.Get());
  TSelectObjectGuard penSelection(dc, pen.Get());
  Polygon(dc, points, 3);
}

int FittedArrowTriangleSize(const RECT& r, TcxArrowDirection direction) {
  const bool pointsDown =
      direction == adDown || direction == adUp;
  const int e = pointsDown ? WidthOfRect(r) - 8 : HeightOfRect(r) - 6;
  int s = (e - 1) / 2;
  if (e % 2 != 0) ++s;
  return std::max(s, 3);
}

void PaintFittedArrowTriangle(HDC dc, const RECT& r, TcxArrowDirection direction, TColor color,
                              bool enabled, bool highlighted) {
  PaintArrowTriangle(dc, r, FittedArrowTriangleSize(r, direction), direction, color, enabled, highlighted);
}

// --- unit ----------------------------------------------------------------------------------------------

void dxOffice11Init() {
  GradientLibrary = LoadLibraryA("msimg32.dll");
  if (GradientLibrary)
    dxGradientFill = reinterpret_cast<TGradientFillProc>(
        reinterpret_cast<void*>(GetProcAddress(GradientLibrary, "GradientFill")));
}

void dxOffice11Done() {
  if (UserCount > 0) {
    UserCount = 0;
    FreeBrushes();
  }
  dxGradientFill = nullptr;
  if (GradientLibrary) FreeLibrary(GradientLibrary);
  GradientLibrary = nullptr;
}
