// Times the editors' text layout: LayoutRows of 100 KB of prose, word-wrapped
// into a 400-pixel-wide rectangle with no height limit (as a memo measures
// its text), once without tabs and once with a tab every few words and tab
// expansion on. Target: each layout well under a second, so that a memo
// with such a text reflows on a resize without a visible stall.
#include "bench/BenchTiming.h"
#include "editors/framework/DrawTextUtils.h"
#include "platform/Win32.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using bench::BestMilliseconds;

// About `size` bytes of words, a paragraph break every 40 words and, when
// asked, a tab instead of a space every 7 words.
AnsiString Prose(size_t size, bool tabs) {
  static const char* const words[] = {"layout", "of", "rows", "the", "memo", "shows", "agreement", "text",
                                      "with", "a", "vertical", "scroll", "bar", "and", "wrapped", "lines"};
  AnsiString text;
  text.reserve(size + 16);
  for (int i = 0; text.size() < size; ++i) {
    text += words[(i * 7 + i / 3) % 16];
    if (i % 40 == 39) text += "\r\n";
    else text += tabs && i % 7 == 6 ? '\t' : ' ';
  }
  text.resize(size);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
  HDC dc = CreateCompatibleDC(nullptr);
  HFONT font = CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Tahoma");
  HGDIOBJ oldFont = SelectObject(dc, font);
  const RECT r{0, 0, 400, 0x7FFFFFFF};
  for (const bool tabs : {false, true}) {
    const AnsiString text = Prose(100 * 1024, tabs);
    TcxTextLayoutParams params;
    InitLayoutParams(dc, cxtfWordBreak | cxtfMeasure | (tabs ? cxtfExpandTabs : 0), params);
    TcxTextRows rows;
    int count = 0;
    const double ms = BestMilliseconds(rounds, [&] { LayoutRows(dc, text, r, params, rows, count); });
    std::printf("LayoutRows 100 KB %s tabs: %d rows, widest %d px: %.1f ms (best of %d)\n", tabs ? "with" : "without",
                count, MaxRowWidth(rows, count), ms, rounds);
  }
  SelectObject(dc, oldFont);
  DeleteObject(font);
  DeleteDC(dc);
  return 0;
}
