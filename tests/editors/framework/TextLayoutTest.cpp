// Text layout against measured widths: fitting, breaking into rows, placing,
// drawing with the selection and the end ellipsis, clipping and the flag
// converters, on a memory device context with a real font.
#include "editors/framework/DrawTextUtils.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <vector>

namespace {

// A memory device context with a 32-bit DIB and a proportional font.
class LayoutDC {
public:
  LayoutDC(int width = 400, int height = 200) : FWidth(width), FHeight(height) {
    FDC = CreateCompatibleDC(nullptr);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    FBitmap = CreateDIBSection(FDC, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&FBits), nullptr, 0);
    FOldBitmap = SelectObject(FDC, FBitmap);
    FFont = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
    FOldFont = SelectObject(FDC, FFont);
    Clear();
  }
  ~LayoutDC() {
    SelectObject(FDC, FOldFont);
    DeleteObject(FFont);
    SelectObject(FDC, FOldBitmap);
    DeleteObject(FBitmap);
    DeleteDC(FDC);
  }
  HDC dc() const { return FDC; }
  void Clear() {
    RECT r{0, 0, FWidth, FHeight};
    FillRect(FDC, &r, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  uint32_t Pixel(int x, int y) const { return FBits[y * FWidth + x] & 0xFFFFFF; }
  int Width(const std::string& text) const {
    SIZE s{};
    GetTextExtentPoint32A(FDC, text.data(), static_cast<int>(text.size()), &s);
    return s.cx;
  }
  // Whether any pixel of the rectangle differs from white.
  bool Inked(const RECT& r) const {
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, FHeight); ++y)
      for (int x = std::max<int>(r.left, 0); x < std::min<int>(r.right, FWidth); ++x)
        if (Pixel(x, y) != 0xFFFFFF) return true;
    return false;
  }

private:
  int FWidth, FHeight;
  HDC FDC;
  HBITMAP FBitmap;
  HGDIOBJ FOldBitmap, FOldFont;
  HFONT FFont;
  uint32_t* FBits = nullptr;
};

std::vector<std::string> RowTexts(const TcxTextRows& rows, int count) {
  std::vector<std::string> result;
  for (int i = 0; i < count; ++i) result.emplace_back(rows[i].Text, rows[i].TextLength);
  return result;
}

struct Layout {
  TcxTextRows rows;
  int count = 0;
  bool result = false;
  std::vector<std::string> texts;
};

Layout LayOut(const LayoutDC& dc, const AnsiString& text, const RECT& r, TcxTextLayoutParams& params,
              int maxRows = 0) {
  Layout layout;
  layout.result = LayoutRows(dc.dc(), text, r, params, layout.rows, layout.count, maxRows);
  layout.texts = RowTexts(layout.rows, layout.count);
  for (int i = 0; i < layout.count; ++i)
    EXPECT_EQ(layout.rows[i].TextOffset, layout.rows[i].Text - text.data()) << "row " << i;
  return layout;
}

TcxTextLayoutParams Params(const LayoutDC& dc, uint32_t flags, bool charBreak) {
  TcxTextLayoutParams params;
  InitLayoutParams(dc.dc(), flags, params);
  // Far-east systems always break between characters; the cases below
  // choose it themselves.
  params.CharBreak = charBreak;
  return params;
}

using Rows = std::vector<std::string>;

struct BreakCase {
  const char* name;
  const char* text;
  const char* widthOf;  // the rectangle is as wide as this text (empty: 1 pixel)
  uint32_t flags;
  bool charBreak;
  Rows rows;
};

const BreakCase BreakCases[] = {
    {"OneLetterWordsInAOneLetterRectangle", "a b c", "m", cxtfWordBreak, false, {"a", "b", "c"}},
    {"AWordWiderThanTheRowStaysWhole", "abcdefgh ij", "abc", cxtfWordBreak, false, {"abcdefgh", "ij"}},
    {"CharacterBreakCutsTheWord", "abcdefgh", "abcd", cxtfWordBreak, true, {"abcd", "efgh"}},
    {"AFirstCharacterWiderThanTheRowIsARow", "WWW", "", cxtfWordBreak, true, {"W", "W", "W"}},
    {"HardBreakKeepsLeadingSpaces", "first\r\n  second", "first second line", cxtfWordBreak, false,
     {"first", "  second"}},
    {"LoneLineFeedsBreakToo", "a\nb\n\nc", "a b c d", cxtfWordBreak, false, {"a", "b", "", "c"}},
    {"WithoutWordBreakRowsEndOnlyAtLineBreaks", "aaaa bbbb cccc\r\ndd", "aa", 0, false, {"aaaa bbbb cccc", "dd"}},
    {"SingleLineKeepsLineBreaksAsCharacters", "ab\r\ncd", "abcdefghijk", cxtfSingleLine, false, {"ab\r\ncd"}},
    {"SpacesAfterASoftBreakAreSkipped", "ab    cd", "ab", cxtfWordBreak, false, {"ab", "cd"}},
    {"JustifyBreaksWithoutWordBreak", "aa bb cc", "aa bb", cxtfJustify, false, {"aa bb", "cc"}},
};

class BreakRows : public ::testing::TestWithParam<BreakCase> {};

TEST_P(BreakRows, Rows) {
  const BreakCase& c = GetParam();
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, c.flags, c.charBreak);
  const int width = *c.widthOf ? dc.Width(c.widthOf) : 1;
  const AnsiString text = c.text;
  const Layout layout = LayOut(dc, text, RECT{0, 0, width, 10000}, params);
  EXPECT_TRUE(layout.result);
  EXPECT_EQ(layout.texts, c.rows);
}

INSTANTIATE_TEST_SUITE_P(Layout, BreakRows, ::testing::ValuesIn(BreakCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextLayout, CharacterBreakCutsOneCharacterShortOfOverflowing) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, cxtfWordBreak, true);
  const AnsiString text = "abcdefghijklmnopqrstuvwxyz";
  const int width = dc.Width("abcdefg") + 1;
  const Layout layout = LayOut(dc, text, RECT{0, 0, width, 1000}, params);
  ASSERT_GE(layout.count, 2);
  const std::string& first = layout.texts[0];
  EXPECT_LE(dc.Width(first), width);
  EXPECT_GT(dc.Width(text.substr(0, first.size() + 1)), width) << first;
  for (int i = 0; i < layout.count; ++i) EXPECT_LE(layout.rows[i].Width, width) << i;
}

// A text far wider than the row: the fit answers its first character with
// that character's width, so the row sees its overflow at once.
TEST(TextLayout, FitOfAFarTooWideTextIsTheFirstCharacterWithItsWidth) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, 0, false);
  const std::string text(100, 'W');
  int width = -1;
  EXPECT_EQ(FitCharCount(dc.dc(), params, text.data(), 100, 1, width), 1);
  EXPECT_EQ(width, dc.Width("W"));
}

TEST(TextLayout, FitAgreesWithMeasuredWidths) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, 0, false);
  const std::string text = "The quick brown fox jumps over the lazy dog";
  for (int maxWidth : {1, 5, 20, 37, 60, 100, 150, 1000}) {
    int width = 0;
    const int fit = FitCharCount(dc.dc(), params, text.data(), static_cast<int>(text.size()), maxWidth, width);
    ASSERT_GE(fit, 1);
    EXPECT_EQ(width, dc.Width(text.substr(0, fit))) << maxWidth;
    if (dc.Width(text) / static_cast<double>(maxWidth) > 8.0) continue;  // the quick answer
    if (fit > 1) {
      EXPECT_LE(width, maxWidth) << maxWidth;
    }
    if (fit < static_cast<int>(text.size()) && dc.Width(text.substr(0, 1)) <= maxWidth) {
      EXPECT_GT(dc.Width(text.substr(0, fit + 1)), maxWidth) << maxWidth;
    }
  }
}

TEST(TextLayout, JustifiedParagraphEndsAreNotSpreadDistributedOnesAre) {
  LayoutDC dc;
  const AnsiString text = "aa bb cc dd\r\nee ff gg hh";
  const int width = dc.Width("aa bb");
  for (uint32_t align : {cxtfJustify, cxtfDistribute}) {
    TcxTextLayoutParams params = Params(dc, align, false);
    const Layout layout = LayOut(dc, text, RECT{0, 0, width, 1000}, params);
    ASSERT_EQ(layout.texts, (Rows{"aa bb", "cc dd", "ee ff", "gg hh"})) << align;
    EXPECT_EQ(layout.rows[0].BreakCount, 1);
    EXPECT_EQ(layout.rows[2].BreakCount, 1);
    const int ends = align == cxtfJustify ? 0 : 1;
    EXPECT_EQ(layout.rows[1].BreakCount, ends) << "end of the first paragraph, " << align;
    EXPECT_EQ(layout.rows[3].BreakCount, ends) << "end of the text, " << align;
  }
}

TEST(TextLayout, TheRowCountLimitReportsACutUnlessMeasuring) {
  LayoutDC dc;
  const AnsiString text = "one two three four five";
  const int width = dc.Width("three");
  TcxTextLayoutParams params = Params(dc, cxtfWordBreak, false);
  Layout layout = LayOut(dc, text, RECT{0, 0, width, 10000}, params, 2);
  EXPECT_FALSE(layout.result);
  EXPECT_EQ(layout.count, 2);
  params = Params(dc, cxtfWordBreak | cxtfMeasure, false);
  layout = LayOut(dc, text, RECT{0, 0, width, 0x7FFFFFFF}, params, 2);
  EXPECT_TRUE(layout.result);
  EXPECT_EQ(layout.count, 2);
  layout = LayOut(dc, text, RECT{0, 0, width, 0x7FFFFFFF}, params);
  EXPECT_EQ(layout.count, 5);
  ASSERT_EQ(layout.texts, (Rows{"one", "two", "three", "four", "five"}));
  int widest = 0;
  for (const std::string& row : layout.texts) widest = std::max(widest, dc.Width(row));
  EXPECT_EQ(MaxRowWidth(layout.rows, layout.count), widest);
  EXPECT_EQ(MaxRowWidth(layout.rows, 2), std::max(dc.Width("one"), dc.Width("two")));
  EXPECT_EQ(MaxRowWidth(layout.rows, 0), 0);
  EXPECT_EQ(MaxRowWidth(layout.rows, 99), widest);
}

TEST(TextLayout, MeasuringOneLineTakesTheWholeText) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, cxtfSingleLine | cxtfMeasure, false);
  const AnsiString text = "a\r\nb c";
  const Layout layout = LayOut(dc, text, RECT{0, 0, 1, 1}, params);
  ASSERT_EQ(layout.count, 1);
  EXPECT_EQ(layout.texts[0], text);
  EXPECT_EQ(layout.rows[0].Width, dc.Width(text));
}

TEST(TextLayout, AnEmptyTextHasNoRows) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, cxtfWordBreak, false);
  const Layout layout = LayOut(dc, AnsiString(), RECT{0, 0, 100, 100}, params);
  EXPECT_TRUE(layout.result);
  EXPECT_EQ(layout.count, 0);
  EXPECT_TRUE(layout.rows.empty());
}

TEST(TextLayout, WholeRowsLeaveOutAPartlyVisibleRow) {
  LayoutDC dc;
  const AnsiString text = "a\r\nb\r\nc\r\nd\r\ne";
  for (const bool whole : {true, false}) {
    TcxTextLayoutParams params = Params(dc, cxtfWordBreak | (whole ? cxtfWholeRows : 0), false);
    const int height = params.RowHeight * 5 / 2;
    const Layout layout = LayOut(dc, text, RECT{0, 0, 100, height}, params);
    EXPECT_EQ(layout.count, whole ? 2 : 3) << whole;
  }
}

TEST(TextLayout, LongTabbedTextsAreMeasuredWhole) {
  LayoutDC dc;
  // 5000 tabs are far wider than a 16-bit width: measured by DrawTextA.
  const std::string tabs(5000, '\t');
  SIZE size{};
  ASSERT_TRUE(TextExtent(dc.dc(), tabs.data(), 5000, size, true));
  RECT r{0, 0, 0, 0};
  DrawTextA(dc.dc(), tabs.data(), 5000, &r, DT_NOPREFIX | DT_CALCRECT | DT_EXPANDTABS | DT_SINGLELINE);
  EXPECT_EQ(size.cx, r.right);
  EXPECT_GT(size.cx, 0xFFFF);
  // Up to 4096 characters: the tabbed extent.
  ASSERT_TRUE(TextExtent(dc.dc(), tabs.data(), 100, size, true));
  EXPECT_EQ(size.cx, static_cast<int>(LOWORD(GetTabbedTextExtentA(dc.dc(), tabs.data(), 100, 0, nullptr))));
  ASSERT_TRUE(TextExtent(dc.dc(), "a\tb", 3, size, false));
  EXPECT_EQ(size.cx, dc.Width("a\tb"));
}

TEST(TextLayout, PlacingAlignsRowsAndTheBlock) {
  LayoutDC dc;
  const AnsiString text = "a\r\nbbbb";
  const RECT r{10, 20, 110, 220};
  struct Case {
    uint32_t flags;
    int x0, x1;  // expected x of the two rows; -1: computed below
    int top;
  };
  TcxTextLayoutParams probe = Params(dc, 0, false);
  const int pitch = probe.RowHeight;
  const int wa = dc.Width("a"), wb = dc.Width("bbbb");
  const Case cases[] = {
      {0, 10, 10, 20},
      {cxtfCenterHorz, 10 + (100 - wa) / 2, 10 + (100 - wb) / 2, 20},
      {cxtfRight, 110 - wa, 110 - wb, 20},
      {cxtfCenterVert, 10, 10, 20 + (200 - 2 * pitch) / 2},
      {cxtfBottom, 10, 10, 220 - 2 * pitch},
  };
  for (const Case& c : cases) {
    TcxTextLayoutParams params = Params(dc, c.flags, false);
    Layout layout = LayOut(dc, text, r, params);
    ASSERT_EQ(layout.count, 2);
    PlaceRows(dc.dc(), r, params, layout.count, layout.rows);
    EXPECT_EQ(layout.rows[0].X, c.x0) << c.flags;
    EXPECT_EQ(layout.rows[1].X, c.x1) << c.flags;
    EXPECT_EQ(layout.rows[0].Y, c.top) << c.flags;
    EXPECT_EQ(layout.rows[1].Y, c.top + pitch) << c.flags;
  }
}

TEST(TextLayout, BoundsKeepRowsInsideTheRectangle) {
  LayoutDC dc;
  const AnsiString text = "a very long row of text\r\nb\r\nc\r\nd";
  const RECT r{10, 20, 40, 30};
  TcxTextLayoutParams params = Params(dc, cxtfCenterHorz | cxtfCenterVert | cxtfLeftBound | cxtfTopBound, false);
  Layout layout = LayOut(dc, text, r, params, 4);
  ASSERT_EQ(layout.count, 4);
  PlaceRows(dc.dc(), r, params, layout.count, layout.rows);
  EXPECT_EQ(layout.rows[0].X, 10) << "centred it would start left of the rectangle";
  EXPECT_EQ(layout.rows[0].Y, 20) << "centred the block would start above it";
}

TEST(TextLayout, VerticalDistributionGivesTheRemainderToTheFirstRows) {
  LayoutDC dc;
  const AnsiString text = "a\r\nb\r\nc";
  TcxTextLayoutParams params = Params(dc, cxtfDistributeVert, false);
  const int height = params.TextHeight + 2 * 50 + 1;  // gap 101 over 2 steps: 50 each, one spare
  const RECT r{0, 5, 100, 5 + height};
  Layout layout = LayOut(dc, text, r, params, 3);
  ASSERT_EQ(layout.count, 3);
  PlaceRows(dc.dc(), r, params, layout.count, layout.rows);
  EXPECT_EQ(params.RowHeight, 50);
  EXPECT_EQ(layout.rows[0].Y, 5);
  EXPECT_EQ(layout.rows[1].Y, 5 + 51);
  EXPECT_EQ(layout.rows[2].Y, 5 + 101);
}

TEST(TextLayout, IndentRect) {
  const RECT r = IndentRect(RECT{10, 20, 110, 40}, 3, 4);
  EXPECT_EQ(r.left, 13);
  EXPECT_EQ(r.right, 106);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(r.bottom, 40);
}

// Under code page 936 a row never ends inside a double-byte character,
// whatever the widths and the mixture of texts.
TEST(TextLayout, DoubleByteRowsEndOnCharacterBoundaries) {
  if (SystemCodePage() != 936) GTEST_SKIP() << "the system code page is " << SystemCodePage();
  LayoutDC dc;
  const char* pieces[] = {"\xD6\xD0", "\xCE\xC4", "\xB2\xE2", "\xCA\xD4", "a", "W", " ", "\t", "\r\n", "\xA1\xA1"};
  std::mt19937 random(25);
  for (int round = 0; round < 60; ++round) {
    AnsiString text;
    std::set<size_t> boundaries{0};
    const int n = 5 + static_cast<int>(random() % 60);
    for (int i = 0; i < n; ++i) {
      text += pieces[random() % std::size(pieces)];
      boundaries.insert(text.size());
    }
    const uint32_t flags = cxtfWordBreak | (round % 3 == 0 ? cxtfExpandTabs : 0) | (round % 4 == 0 ? cxtfJustify : 0);
    TcxTextLayoutParams params;
    InitLayoutParams(dc.dc(), flags, params);
    EXPECT_TRUE(params.CharBreak) << "far-east systems break between characters";
    const int width = 1 + static_cast<int>(random() % 80);
    const Layout layout = LayOut(dc, text, RECT{0, 0, width, 100000}, params);
    for (int i = 0; i < layout.count; ++i) {
      const size_t start = layout.rows[i].TextOffset;
      const size_t end = start + layout.rows[i].TextLength;
      EXPECT_TRUE(boundaries.count(start) || text[start - 1] == '\r' || text[start - 1] == '\n')
          << "round " << round << " row " << i;
      // A row ends on a boundary or just before the line feed of a CR LF pair.
      EXPECT_TRUE(boundaries.count(end) || text[end] == '\r' || text[end] == '\n')
          << "round " << round << " row " << i << " ends at " << end;
      if (end > 0) {
        EXPECT_NE(ByteType(text, static_cast<int>(end)), mbLeadByte) << "round " << round << " row " << i;
      }
    }
    int width2 = 0;
    const int fit = FitCharCount(dc.dc(), params, text.data(), static_cast<int>(text.size()), width, width2);
    EXPECT_TRUE(boundaries.count(fit) || text[fit - 1] == '\r' || text[fit] == '\n') << "fit " << fit;
  }
}

TEST(TextDrawing, TheSelectionIsFilledAndTheClipIsLeftAsItWas) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, 0, false);
  const AnsiString text = "abcdef";
  const RECT r{10, 10, 300, 40};
  Layout layout = LayOut(dc, text, r, params);
  PlaceRows(dc.dc(), r, params, layout.count, layout.rows);
  DrawRows(dc.dc(), r, params, false, clWhite, static_cast<TColor>(0x0000FF), 2, 2, layout.count, layout.rows);
  const int selLeft = 10 + dc.Width("ab"), selRight = 10 + dc.Width("abcd");
  const int y = 10 + params.TextHeight - 2;
  EXPECT_EQ(dc.Pixel(selLeft + 1, 11), 0xFF0000u) << "the selection background (BGR in the DIB)";
  EXPECT_EQ(dc.Pixel(selRight - 1, y), 0xFF0000u);
  EXPECT_EQ(dc.Pixel(selRight + 2, 11), 0xFFFFFFu) << "right of the selection";
  EXPECT_EQ(dc.Pixel(selLeft - 2, 11), 0xFFFFFFu) << "left of the selection";
  EXPECT_TRUE(dc.Inked(RECT{10, 10, selLeft, 40})) << "the unselected text is drawn";
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc.dc(), region), 0) << "no clip left behind";
  DeleteObject(region);
}

TEST(TextDrawing, TheEndEllipsisStaysInsideTheRectangle) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, cxtfEndEllipsis | cxtfSingleLine, false);
  const AnsiString text = "A rather long text that does not fit";
  const RECT r{10, 10, 10 + dc.Width("A rather"), 40};
  Layout layout = LayOut(dc, text, r, params);
  ASSERT_EQ(layout.count, 1);
  PlaceRows(dc.dc(), r, params, layout.count, layout.rows);
  DrawRows(dc.dc(), r, params, false, clWhite, clNone, 0, 0, layout.count, layout.rows);
  EXPECT_TRUE(dc.Inked(RECT{r.right - params.EllipsisWidth - params.MaxCharWidth, 10, r.right, 40}))
      << "the ellipsis";
  EXPECT_FALSE(dc.Inked(RECT{r.right, 0, 400, 200})) << "nothing past the rectangle";
  EXPECT_GT(params.EllipsisWidth, 0);
}

TEST(TextDrawing, AnEmptyLastRowShowsOnlyAForcedEllipsis) {
  LayoutDC dc;
  TcxTextLayoutParams params = Params(dc, cxtfEndEllipsis, false);
  TcxTextRows rows(1);
  rows[0].Y = 10;
  DrawRows(dc.dc(), RECT{10, 10, 200, 40}, params, false, clWhite, clNone, 0, 0, 1, rows);
  EXPECT_FALSE(dc.Inked(RECT{0, 0, 400, 200}));
  DrawRows(dc.dc(), RECT{10, 10, 200, 40}, params, true, clWhite, clNone, 0, 0, 1, rows);
  EXPECT_TRUE(dc.Inked(RECT{10, 10, 10 + params.EllipsisWidth, 40}));
}

TEST(TextDrawing, ClipIsIntersectedAndRestored) {
  LayoutDC dc;
  HRGN previous = IntersectClip(dc.dc(), RECT{0, 0, 10, 10});
  EXPECT_EQ(previous, nullptr) << "no clip before";
  HRGN inner = IntersectClip(dc.dc(), RECT{5, 5, 20, 20});
  ASSERT_NE(inner, nullptr);
  RECT box;
  GetClipBox(dc.dc(), &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.right, 10);
  RestoreClip(dc.dc(), inner);
  EXPECT_EQ(inner, nullptr);
  GetClipBox(dc.dc(), &box);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.right, 10);
  RestoreClip(dc.dc(), previous);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(dc.dc(), region), 0);
  DeleteObject(region);
}

TEST(TextFlags, ConvertToAndFromCanvasFlags) {
  struct Case {
    uint32_t text;
    unsigned canvas;
  };
  const Case cases[] = {
      {0, 0},
      {cxtfCenterHorz, cxAlignHCenter},
      {cxtfRight, cxAlignRight},
      {cxtfCenterVert, cxAlignVCenter},
      {cxtfBottom, cxAlignBottom},
      {cxtfSingleLine, cxSingleLine},
      {cxtfWordBreak, cxWordBreak},
      {cxtfRight | cxtfBottom | cxtfWordBreak, cxAlignRight | cxAlignBottom | cxWordBreak},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(TextFlagsToCanvasFlags(c.text), c.canvas) << c.text;
    EXPECT_EQ(CanvasFlagsToTextFlags(c.canvas), c.text) << c.canvas;
  }
  // Nothing else crosses.
  EXPECT_EQ(TextFlagsToCanvasFlags(cxtfExpandTabs | cxtfEndEllipsis | cxtfJustify | cxtfNoClip), 0u);
  EXPECT_EQ(CanvasFlagsToTextFlags(cxAlignLeft | cxAlignTop | cxExpandTabs | cxShowEndEllipsis), 0u);
}

TEST(TextFlags, ParametersRecordTheFlags) {
  LayoutDC dc;
  TcxTextLayoutParams params;
  InitLayoutParams(dc.dc(), cxtfDistribute | cxtfDistributeVert | cxtfExternalLeading | cxtfRecordedFlag |
                                cxtfRowCount | cxtfNoClip, params);
  TEXTMETRICA tm;
  GetTextMetricsA(dc.dc(), &tm);
  EXPECT_EQ(params.HorzAlignment, cxtaDistribute);
  EXPECT_EQ(params.VertAlignment, cxtaDistributeVert);
  EXPECT_EQ(params.TextHeight, tm.tmHeight);
  EXPECT_EQ(params.Leading, tm.tmExternalLeading);
  EXPECT_EQ(params.RowHeight, tm.tmHeight + tm.tmExternalLeading);
  EXPECT_EQ(params.EllipsisWidth, 0);
  EXPECT_TRUE(params.RecordedFlag);
  EXPECT_TRUE(params.RowCountMode);
  EXPECT_TRUE(params.NoClip);
  EXPECT_FALSE(params.WordBreak);
  EXPECT_EQ(params.CharBreak, cxIsFarEastCodePage());
  EXPECT_EQ(params.MaxCharWidth, tm.tmMaxCharWidth);
}

}  // namespace
