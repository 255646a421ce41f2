#include "editors/framework/DateUtils.h"

#include "editors/framework/FilterConsts.h"

#include <algorithm>

std::vector<AnsiString> cxSmartInputKeywords() {
  static const TResourceString* const strings[cxSmartInputKeywordCount] = {
      &cxSFilterOperatorToday, &cxSFilterOperatorYesterday, &cxSFilterOperatorTomorrow,
      &cxSFilterBoxSunday, &cxSFilterBoxMonday, &cxSFilterBoxTuesday, &cxSFilterBoxWednesday,
      &cxSFilterBoxThursday, &cxSFilterBoxFriday, &cxSFilterBoxSaturday,
      &cxSFilterFirst, &cxSFilterSecond, &cxSFilterThird, &cxSFilterFourth, &cxSFilterFifth,
      &cxSFilterSixth, &cxSFilterSeventh, &cxSFilterBeginningOfMonth, &cxSFilterEndOfMonth, &cxSFilterNow,
  };
  std::vector<AnsiString> result;
  result.reserve(cxSmartInputKeywordCount);
  for (const TResourceString* s : strings) result.push_back(LoadResString(*s));
  return result;
}

void AppendQuotedKeyword(AnsiString& expression, const AnsiString& keyword) {
  size_t i = 0;
  bool escaped = false;  // the expression ends with our own "\'"
  while (i < keyword.size()) {
    if (keyword[i] == '\'') {
      expression += "\\'";
      escaped = true;
      ++i;
      continue;
    }
    const size_t end = std::min(keyword.find('\'', i), keyword.size());
    // Two quoted runs back to back would read as one run holding a quote:
    // a blank (skipped between lexemes) keeps them apart.
    if (!escaped && !expression.empty() && expression.back() == '\'') expression += ' ';
    expression += "'" + keyword.substr(i, end - i) + "'";
    escaped = false;
    i = end;
  }
}

void AddSmartInputToRegExpr(AnsiString& expression, bool withNow) {
  const std::vector<AnsiString> keywords = cxSmartInputKeywords();
  AnsiString words;
  const int last = withNow ? sikNow : sikEom;
  for (int k = sikToday; k <= last; ++k) {
    if (k > sikToday) words += "|";
    AppendQuotedKeyword(words, keywords[k]);
  }
  // No empty group for an empty expression: the engine refuses one.
  const AnsiString dates = expression.empty() ? AnsiString() : "(" + expression + ")|";
  expression = dates + "(" + words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}
