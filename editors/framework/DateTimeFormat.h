// Date and time format pictures taken apart into items (year, month, day,
// hour, ..., literals and separators), and what the editors build from the
// items: standard masks, regular-expression masks, display formats that
// match them, the date edit pattern and the currency display format.
// Portable: no Windows headers. Every routine reads the locale from the
// format settings it is given (the program's by default), so tests and the
// fuzz target inject their own. The format controller (Formats.h) keeps the
// results for the locale in force.
#pragma once

#include "platform/FormatSettings.h"
#include "platform/Text.h"

#include <cstdint>
#include <vector>

// Kinds of format items.
enum TcxDateTimeFormatItemKind : uint8_t {
  fikLiteral,        // the literal characters
  fikYear,           // "YY" or "YYYY"
  fikMonth,          // "M", "MM", "MMM" or "MMMM"
  fikDay,            // "D", "DD", "DDD" or "DDDD" (3 and 4: weekday names)
  fikHour,           // "12" or "24" followed by "H" or "HH"
  fikMinute,         // "N" or "NN"
  fikSecond,         // "S" or "SS"
  fikMillisecond,    // "Z", "ZZ" or "ZZZ"
  fikAmPm,           // "AM/PM" or "A/P" as written, or "AMPM"
  fikDateSeparator,  // empty
  fikTimeSeparator,  // empty
};
constexpr int cxDateTimeFormatItemKindCount = 11;

struct TcxDateTimeFormatItem {
  uint8_t Kind = fikLiteral;
  AnsiString Data;
};

// A parsed format: each kind 1-8 appears at most once.
struct TcxDateTimeFormatInfo {
  bool DefinedItems[cxDateTimeFormatItemKindCount] = {};
  std::vector<TcxDateTimeFormatItem> Items;
};

// Takes a format picture apart (an empty picture reads as "C"): quoted
// parts are literals, "/" and ":" separators; letter runs are items, the
// letters "C", "T", "DDDDD" and "DDDDDD" expand the locale's formats (one
// level deep). An era letter ("G") fails: the info is left empty and the
// answer is false.
bool ParseDateTimeFormat(const AnsiString& format, TcxDateTimeFormatInfo& info);
bool ParseDateTimeFormat(const AnsiString& format, TcxDateTimeFormatInfo& info, const TFormatSettings& settings);

// Mask modes of BuildStandardMask and BuildRegExprMask.
enum : int { cxMaskDate = 0, cxMaskTime = 1, cxMaskDateTime = 2 };

// A standard mask ("!99/99/9999;1; "); empty for no items.
AnsiString BuildStandardMask(const TcxDateTimeFormatInfo& info, int mode, const TFormatSettings& settings);
// A regular expression for the date items (mode 0) or the time items (1);
// mode 2 gives an empty text. Literals and month names are quoted.
AnsiString BuildRegExprMask(const TcxDateTimeFormatInfo& info, int mode, const TFormatSettings& settings);
// A FormatDateTime picture that shows a value as the mask edits it.
AnsiString BuildMaskedDisplayFormat(const TcxDateTimeFormatInfo& info);

// Characters an item takes in edit text; the sum over the items.
int ItemTextLength(const TcxDateTimeFormatItem& item, const TFormatSettings& settings);
int FormatTextLength(const TcxDateTimeFormatInfo& info, const TFormatSettings& settings);

// The kind of an AM/PM item's text: 0 "A/P", 1 "AM/PM", 2 other.
int AmPmKind(const AnsiString& text);

// The item that holds a character of edit text.
struct TcxFormatPart {
  uint8_t Kind = fikLiteral;
  int Start = 0;   // 1-based
  int Length = 0;
  int AmPmKind = 0;
};
// False when `position` (1-based) is not positive or lies beyond the items.
bool FindFormatPartAt(const TcxDateTimeFormatInfo& info, int position, TcxFormatPart& part,
                      const TFormatSettings& settings);

// The short date format with every lone "d" written "dd" and every lone "M"
// written "MM".
AnsiString BuildDateEditPattern(const TFormatSettings& settings, bool limitMonthRun = false);
// The first run of "M" cut to three letters.
AnsiString LimitMonthRun(const AnsiString& pattern);
// The currency display format: positive section ";" negative section, the
// number as ",0." and CurrencyDecimals zeros, the symbol's "," and "." quoted.
AnsiString BuildCurrencyFormat(const TFormatSettings& settings);
