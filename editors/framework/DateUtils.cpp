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
  while (i < keyword.size()) {
    if (keyword[i] == '\'') {
      expression += "\\'";
      ++i;
      continue;
    }
    const size_t end = std::min(keyword.find('\'', i), keyword.size());
    expression += "'" + keyword.substr(i, end - i) + "'";
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
  expression = "(" + expression + ")|(" + words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?";
}
