// Date helpers shared by the date editors. For now the words of smart date
// input ("today", "tomorrow", a weekday, "first" ... "seventh", "bom", "eom",
// "now") as they extend the regular-expression date masks. Portable: no
// Windows headers.
#pragma once

#include "platform/Text.h"

#include <vector>

// Index of each smart-input keyword in cxSmartInputKeywords().
enum TcxSmartInputKeyword : int {
  sikToday, sikYesterday, sikTomorrow, sikSunday, sikMonday, sikTuesday, sikWednesday, sikThursday, sikFriday,
  sikSaturday, sikFirst, sikSecond, sikThird, sikFourth, sikFifth, sikSixth, sikSeventh, sikBom, sikEom, sikNow,
};
constexpr int cxSmartInputKeywordCount = 20;

// The 20 keywords, read from the editors' resource strings at each call (a
// replaced string shows at once).
std::vector<AnsiString> cxSmartInputKeywords();

// Appends `keyword` to a regular expression as literal text: each apostrophe
// as "\'", every other run in single quotes. Nothing for an empty keyword.
void AppendQuotedKeyword(AnsiString& expression, const AnsiString& keyword);

// Lets a date mask also take a keyword ("today" ... "eom", and "now" when
// asked) with an optional signed offset of up to four digits:
//   (expression)|(keyword|...)((\+|-)\d(\d(\d\d?)?)?)?
// An empty expression gives the keywords alone.
void AddSmartInputToRegExpr(AnsiString& expression, bool withNow);

// -- Date arithmetic the date editors share.
using TDateTime = double;
// The editors' earliest date, 1 January 100 (the null date they show as an
// empty text, cxNullDate, comes with the calendar tables).
inline constexpr TDateTime cxMinSupportedDate = -657434.0;
// The fraction of a value; the value truncated toward zero.
TDateTime TimePart(TDateTime value);
TDateTime DatePart(TDateTime value);
// 0 for the week's first day (`weekStartDay` 0 Sunday .. 6 Saturday) .. 6.
int DayIndexInWeek(TDateTime value, int weekStartDay);
// 0 when the first of the letters D, E, Y, M (any case) is M or none is
// there, 1 for D, 2 for E or Y.
int DateOrderOf(const AnsiString& format);

// -- Smart input: a keyword ("today", "Monday", "first", "eom", ...) with
// an optional signed day offset ("today+3", "now - 1").
//
// Reads `text` at the clock's current time (DateTime.h's Now, which tests
// replace). The keywords are tried longest first, case-insensitively,
// against the text's beginning. Weekday names give the next such day, today
// included; "first" .. "seventh" the days of the current week counted from
// `weekStartDay`; "bom"/"eom" the month's first and last day; "now" the date
// and time. A rest starting with "+" or "-" and holding an integer moves by
// that many days; any other rest is ignored. True when a keyword matched;
// otherwise the hook decides when one is set.
using TcxSmartInputHook = bool (*)(const AnsiString& text, TDateTime& value);
TcxSmartInputHook SetSmartInputHook(TcxSmartInputHook hook);  // answers the one replaced
bool SmartTextToDateFrom(const AnsiString& text, TDateTime& value, int weekStartDay);
