// Date and time pictures come from the locale and from programs: any picture
// must parse or be refused cleanly, and what is built from a parse must hold
// together: one item per kind, edit positions that map back to items, and
// regular-expression masks that the mask engine compiles.
// Input, fields separated by NUL: the picture, the short date format, the
// long time format, the AM text, the PM text, the date and time separators
// (one byte each), a month name (every month gets it).
#include "editors/framework/DateTimeFormat.h"
#include "editors/framework/DateUtils.h"
#include "editors/masked/RegExpr.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

void MustCompile(const AnsiString& pattern) {
  TcxRegExpr engine;
  TStringStream source(pattern);
  try {
    engine.compilePatternStream(&source);
  } catch (const EcxRegExprError& e) {
    std::fprintf(stderr, "does not compile: %s\n", pattern.c_str());
    for (int i = 0; i < e.Errors().Count(); ++i)
      std::fprintf(stderr, "%s\n", TcxRegExpr::regExprErrorText(e.Errors().Item(i)).c_str());
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 1024) return 0;
  std::vector<std::string> fields(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0) fields.emplace_back();
    else fields.back() += static_cast<char>(data[i]);
  }
  fields.resize(std::max<size_t>(fields.size(), 7));
  TFormatSettings settings = InvariantFormatSettings();
  settings.ShortDateFormat = fields[1];
  settings.LongTimeFormat = fields[2];
  settings.LongDateFormat = fields[2] + fields[1];
  settings.ShortTimeFormat = fields[1] + fields[2];
  settings.TimeAMString = fields[3];
  settings.TimePMString = fields[4];
  settings.DateSeparator = fields[5].size() > 0 ? fields[5][0] : 0;
  settings.TimeSeparator = fields[5].size() > 1 ? fields[5][1] : 0;
  if (!fields[6].empty())
    for (int m = 0; m < 12; ++m) settings.ShortMonthNames[m] = settings.LongMonthNames[m] = fields[6];

  TcxDateTimeFormatInfo info;
  const bool parsed = ParseDateTimeFormat(fields[0], info, settings);
  if (!parsed && !info.Items.empty()) std::abort();
  for (int kind = fikYear; kind <= fikAmPm; ++kind) {
    int count = 0;
    for (const TcxDateTimeFormatItem& item : info.Items) count += item.Kind == kind;
    if (count > 1 || info.DefinedItems[kind] != (count == 1)) std::abort();
  }
  for (const TcxDateTimeFormatItem& item : info.Items) {
    if (item.Kind >= cxDateTimeFormatItemKindCount) std::abort();
    if (item.Kind == fikHour && !item.Data.starts_with("12") && !item.Data.starts_with("24")) std::abort();
    if (item.Kind == fikLiteral && item.Data.empty()) std::abort();
  }
  if (BuildStandardMask(info, cxMaskDate, settings).empty() != info.Items.empty()) std::abort();
  (void)BuildStandardMask(info, cxMaskTime, settings);
  (void)BuildMaskedDisplayFormat(info);

  // Every character of the edit text belongs to the item that starts at
  // or before it; one past the end belongs to none.
  const int length = FormatTextLength(info, settings);
  for (int position = 1; position <= length; ++position) {
    TcxFormatPart part;
    if (!FindFormatPartAt(info, position, part, settings)) std::abort();
    if (part.Start > position || part.Start + part.Length <= position) std::abort();
  }
  TcxFormatPart part;
  if (FindFormatPartAt(info, length + 1, part, settings) || FindFormatPartAt(info, 0, part, settings)) std::abort();

  TcxDateTimeFormatInfo timeInfo;
  ParseDateTimeFormat(settings.LongTimeFormat, timeInfo, settings);
  MustCompile(BuildDateRegExprMask(info, settings));
  MustCompile(BuildDateTimeRegExprMask(info, timeInfo, settings));
  MustCompile(BuildDateTimeRegExprMask(info, info, settings));

  (void)BuildDateEditPattern(settings, true);
  (void)BuildCurrencyFormat(settings);
  return 0;
}
