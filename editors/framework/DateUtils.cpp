#include "editors/framework/DateUtils.h"

#include "editors/framework/FilterConsts.h"

#include "platform/DateTime.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

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

TDateTime TimePart(TDateTime value) { return value - std::trunc(value); }
TDateTime DatePart(TDateTime value) { return std::trunc(value); }

int DayIndexInWeek(TDateTime value, int weekStartDay) {
  int result = DayOfWeek(value) - weekStartDay - 1;
  if (result < 0) result += 7;
  return result;
}

int DateOrderOf(const AnsiString& format) {
  for (char c : format) {
    switch (c) {
      case 'M': case 'm': return 0;
      case 'D': case 'd': return 1;
      case 'E': case 'e': case 'Y': case 'y': return 2;
      default: break;
    }
  }
  return 0;
}

namespace {

TcxSmartInputHook gSmartInputHook = nullptr;

// An optional sign and decimal digits fitting 32 bits, nothing else.
bool ReadOffset(const AnsiString& text, int& value) {
  if (text.empty()) return false;
  size_t i = 0;
  bool negative = false;
  if (text[0] == '+' || text[0] == '-') {
    negative = text[0] == '-';
    i = 1;
  }
  if (i >= text.size()) return false;
  int64_t n = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    n = n * 10 + (text[i] - '0');
    if (n > 2147483648LL) return false;
  }
  if (negative) n = -n;
  if (n > 2147483647LL) return false;
  value = static_cast<int>(n);
  return true;
}

}  // namespace

TcxSmartInputHook SetSmartInputHook(TcxSmartInputHook hook) {
  TcxSmartInputHook old = gSmartInputHook;
  gSmartInputHook = hook;
  return old;
}

bool SmartTextToDateFrom(const AnsiString& text, TDateTime& value, int weekStartDay) {
  const std::vector<AnsiString> keywords = cxSmartInputKeywords();
  std::vector<int> order(keywords.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  // Longest first; equal lengths in descending order.
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    if (keywords[a].size() != keywords[b].size()) return keywords[a].size() > keywords[b].size();
    return CompareText(keywords[a], keywords[b]) > 0;
  });
  const AnsiString s = Trim(text);
  int chosen = -1;
  for (int k : order) {
    const AnsiString& word = keywords[k];
    if (word.empty() || word.size() > s.size()) continue;
    if (SameText(s.substr(0, word.size()), word)) {
      chosen = k;
      break;
    }
  }
  if (chosen < 0) return gSmartInputHook ? gSmartInputHook(text, value) : false;

  const TDateTime now = Now();
  const TDateTime today = std::floor(now);
  TDateTime result = today;
  switch (chosen) {
    case sikToday: break;
    case sikYesterday: result = today - 1; break;
    case sikTomorrow: result = today + 1; break;
    case sikSunday: case sikMonday: case sikTuesday: case sikWednesday:
    case sikThursday: case sikFriday: case sikSaturday: {
      const int wanted = chosen - sikSunday + 1;  // 1 Sunday .. 7 Saturday
      result = today + ((wanted - DayOfWeek(today)) + 7) % 7;
      break;
    }
    case sikFirst: case sikSecond: case sikThird: case sikFourth:
    case sikFifth: case sikSixth: case sikSeventh:
      result = today - DayIndexInWeek(today, weekStartDay) + (chosen - sikFirst);
      break;
    case sikBom: case sikEom: {
      int y = 0, m = 0, d = 0;
      DecodeDate(today, y, m, d);
      TDateTime first = today;
      if (TryEncodeDate(y, m, 1, first)) {
        result = chosen == sikBom ? first : first + DaysInAMonth(y, m) - 1;
      }
      break;
    }
    case sikNow: result = now; break;
    default: break;
  }
  const AnsiString rest = Trim(Copy(s, static_cast<int>(keywords[chosen].size()) + 1, static_cast<int>(s.size())));
  if (rest.size() > 1 && (rest[0] == '+' || rest[0] == '-')) {
    int offset = 0;
    if (ReadOffset(Trim(rest.substr(1)), offset)) result += rest[0] == '+' ? offset : -static_cast<double>(offset);
  }
  value = result;
  return true;
}
