// Times the editors' text layout, the calendar tables' decodes and the
// check-state value formats. The text layout: LayoutRows of 100 KB of prose, word-wrapped
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
#include "editors/framework/CalendarTables.h"
#include "editors/framework/CheckStates.h"
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
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // each figure shows as it is made
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

  // Calendar decodes: every day of 1900-2100 through the Hijri and the
  // Hebrew tables (a calendar control decodes each day it shows).
  const TDateTime first = EncodeDate(1900, 1, 1), last = EncodeDate(2100, 12, 31);
  const int days = int(last - first) + 1;
  for (const uint32_t id : {6u, 8u}) {
    const auto table = CalendarTableFor(id);
    int sum = 0;
    const double ms = BestMilliseconds(rounds, [&] {
      for (TDateTime d = first; d <= last; d += 1) sum += table->DecodeValue(d).Day;
    });
    std::printf("%s decodes: %d days in %.1f ms: %.0f per second (best of %d; check %d)\n",
                id == 6 ? "Hijri" : "Hebrew", days, ms, days / (ms / 1000.0), rounds, sum & 1);
  }

  // Check states: 10,000 items read from each value format.
  struct TItems : IcxCheckItemsSource {
    AnsiString GetCaption(int index) const override { return "Item " + IntToStr(index); }
    int GetCount() const override { return 10000; }
  } items;
  TcxCheckStates states(10000);
  for (int i = 0; i < 10000; ++i) states[i] = TcxCheckBoxState(i % 3);
  const char* const names[] = {"captions", "indices", "integer", "states string"};
  for (const TcxCheckStatesValueFormat format : {cvfCaptions, cvfIndices, cvfInteger, cvfStatesString}) {
    Variant value;
    CheckStatesToValue(states, items, format, value);
    TcxCheckStates read;
    bool ok = false;
    const double ms = BestMilliseconds(rounds, [&] { ok = ValueToCheckStates(value, items, format, read); });
    std::printf("ValueToCheckStates 10,000 items, %s: %.2f ms (best of %d)%s\n", names[format], ms, rounds,
                ok ? "" : " FAILED");
  }
  return 0;
}
