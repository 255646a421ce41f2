// Times the editors' text layout: LayoutRows of 100 KB of prose, word-wrapped
// into a 400-pixel-wide rectangle with no height limit (as a memo measures
// its text), once without tabs and once with a tab every few words and tab
// expansion on. Target: each layout well under a second, so that a memo
// with such a text reflows on a resize without a visible stall.
//
// Then the incremental search of a text edit's lookup data over 10,000
// items: one search per typed key (the typed text growing a character at a
// time), the wanted item last in the list. Target: a few milliseconds per
// key at most (well inside one frame), so that typing into a long list never
// lags.
#include "bench/BenchSupport.h"
#include "editors/framework/DrawTextUtils.h"
#include "editors/framework/EditorUnits.h"
#include "editors/framework/TextEdit.h"
#include "foundation/FoundationUnits.h"
#include "platform/Forms.h"
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

// Incremental search over 10,000 items, one search per typed key.
void SearchBench(int rounds) {
  TUnitScope units{dxGDIPlusAPIUnit, cxClassesUnit,          dxUxThemeUnit,  dxThemeManagerUnit, dxOffice11Unit,
                   cxGeometryUnit,   cxLookAndFeelsUnit,     cxLookAndFeelPaintersUnit,            cxControlsUnit,
                   cxGraphicsUnit,   cxDWMApiUnit,           cxContainerUnit, cxEditPaintUtilsUnit, cxEditUtilsUnit,
                   cxEditUnit,       cxFormatsUnit,          cxTextEditUnit};
  auto* edit = New<TcxTextEdit>(nullptr);
  TStringList* items = edit->Properties()->LookupItems();
  items->BeginUpdate();
  for (int i = 0; i < 10000; ++i) items->Add(AnsiString("item ") + std::to_string(100000 + i * 7));
  items->EndUpdate();
  // The last item's text, typed one key at a time.
  const AnsiString wanted = items->Strings(items->Count() - 1);
  int found = 0;
  const double ms = BestMilliseconds(rounds, [&] {
    found = 0;
    for (size_t n = 1; n <= wanted.size(); ++n) {
      AnsiString text = wanted.substr(0, n), tail;
      if (edit->LookupData()->LocateText(text, tail, false, false)) ++found;
    }
  });
  std::printf("Incremental search over %d items: %zu keys, %d found: %.3f ms per key (best of %d)\n",
              items->Count(), wanted.size(), found, ms / double(wanted.size()), rounds);
  Free(edit);
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
  SearchBench(rounds);
  return 0;
}
