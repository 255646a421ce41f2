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
void AddSmartInputToRegExpr(AnsiString& expression, bool withNow);
