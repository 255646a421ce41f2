#include "editors/framework/DateTexts.h"

#include "editors/framework/CalendarLocale.h"
#include "editors/framework/Formats.h"
#include "foundation/Graphics.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/SysUtils.h"
#include "platform/Variant.h"
#include "platform/Win32.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

AnsiString LocaleInfoText(uint32_t item, const AnsiString& fallback) {
  char buffer[256] = {};
  const int n = GetLocaleInfoA(GetThreadLocale(), item, buffer, sizeof buffer);
  return n > 0 ? AnsiString(buffer) : fallback;
}

char LocaleInfoFirstChar(uint32_t item, char fallback) {
  const AnsiString s = LocaleInfoText(item, AnsiString(1, fallback));
  return s.empty() ? fallback : s[0];
}

namespace {

bool ToSystemTime(TDateTime value, SYSTEMTIME& st) {
  int y = 0, m = 0, d = 0, h = 0, n = 0, s = 0, ms = 0;
  DecodeDate(value, y, m, d);
  if (y == 0) return false;
  DecodeTime(value, h, n, s, ms);
  st = SYSTEMTIME{};
  st.wYear = static_cast<WORD>(y);
  st.wMonth = static_cast<WORD>(m);
  st.wDay = static_cast<WORD>(d);
  st.wDayOfWeek = static_cast<WORD>(DayOfWeek(value) - 1);
  st.wHour = static_cast<WORD>(h);
  st.wMinute = static_cast<WORD>(n);
  st.wSecond = static_cast<WORD>(s);
  st.wMilliseconds = static_cast<WORD>(ms);
  return true;
}

std::unique_ptr<TcxCustomCalendarTable> TableOrLocale(const TcxCustomCalendarTable*& table) {
  std::unique_ptr<TcxCustomCalendarTable> own;
  if (!table) {
    own = LocaleCalendarTable();
    table = own.get();
  }
  return own;
}

TDateTime FirstOfMonth(const TcxCustomCalendarTable& table, TDateTime value) {
  TcxCalendarDateTime parts = table.DecodeValue(value);
  parts.Day = 1;
  parts.Hours = parts.Minutes = parts.Seconds = 0;
  parts.Milliseconds = 0;
  return table.Compose(parts);
}

}  // namespace

bool LocaleDateText(uint32_t flags, const AnsiString& picture, TDateTime value, AnsiString& text) {
  text.clear();
  SYSTEMTIME st;
  if (!ToSystemTime(value, st)) return false;
  char buffer[256] = {};
  const int n = GetDateFormatA(GetThreadLocale(), flags, &st, picture.empty() ? nullptr : picture.c_str(), buffer,
                               sizeof buffer);
  if (n <= 0) return false;
  text = buffer;
  return true;
}

AnsiString DateTimeToLocaleText(TDateTime value) {
  AnsiString text;
  char format[100] = {};
  GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, format, sizeof format);
  LocaleDateText(0, format, value, text);
  if (TimePart(value) > 0) text += " " + TimeToStr(TimePart(value));
  return text;
}

AnsiString DayText(TDateTime value) {
  AnsiString text;
  if (LocaleDateText(0, "d", value, text)) return text;
  // A copy of the settings: the program's short date format stays as it is.
  TFormatSettings settings = FormatSettings();
  settings.ShortDateFormat = "d";
  try {
    return DateToStr(value, settings);
  } catch (const Exception&) {
    return AnsiString();
  }
}

AnsiString LocaleDayName(int index, uint8_t charset) {
  if (index < 1 || index > 7) return AnsiString();
  const uint32_t item = Win32MajorVersion >= 6 ? LOCALE_SSHORTESTDAYNAME1 + static_cast<uint32_t>(index - 1)
                                               : LOCALE_SABBREVDAYNAME1 + static_cast<uint32_t>(index - 1);
  AnsiString name = LocaleInfoText(item, AnsiString());
  if (name.empty()) {
    // Index 1 is Monday; the settings list Sunday first.
    name = FormatSettings().ShortDayNames[index % 7];
  }
  if (name.empty()) return name;
  // Whole characters of the system code page (a double-byte one stays whole).
  std::vector<size_t> starts;
  for (size_t i = 0; i < name.size(); ++i) {
    starts.push_back(i);
    if (IsDBCSLeadByte(static_cast<BYTE>(name[i])) && i + 1 < name.size()) ++i;
  }
  const size_t k = IsSpecialCharsetText(charset, name) ? starts.size() - 1 : 0;
  const size_t end = k + 1 < starts.size() ? starts[k + 1] : name.size();
  return name.substr(starts[k], end - starts[k]);
}

bool IsGregorianCalendar(const TcxCustomCalendarTable* table) {
  const uint32_t id = table ? table->CalendarId() : LocaleCalendarId();
  return id == 1 || id == 2 || (id >= 9 && id <= 12);
}

AnsiString LongMonthName(const TcxCustomCalendarTable& table, TDateTime value) {
  AnsiString text;
  if (LocaleDateText(0, "MMMM", FirstOfMonth(table, value), text)) return text;
  const TcxCalendarDateTime parts = table.DecodeValue(value);
  return parts.Month >= 1 && parts.Month <= 12 ? FormatSettings().LongMonthNames[parts.Month - 1] : AnsiString();
}

AnsiString MonthNameOf(int year, int month, const TcxCustomCalendarTable& table) {
  if (!table.MonthIsValidOf(year, month)) return AnsiString();
  return LongMonthName(table, table.ComposeYmd(year, month, 1));
}

AnsiString YearText(const TcxCustomCalendarTable* table, TDateTime value) {
  const auto own = TableOrLocale(table);
  const TDateTime first = FirstOfMonth(*table, value);
  AnsiString text;
  if (LocaleDateText(0, "yyyy", first, text)) return text;
  return IntToStr(table->DecodeValue(value).Year);
}

AnsiString MonthYearCaption(const TcxCustomCalendarTable* table, TDateTime value) {
  const auto own = TableOrLocale(table);
  const AnsiString picture = CalendarInfoText(table->CalendarId(), cxCalYearMonth);
  const TDateTime first = FirstOfMonth(*table, value);
  AnsiString text;
  if (!picture.empty() && LocaleDateText(0, picture, first, text)) return text;
  const TcxCalendarDateTime parts = table->DecodeValue(value);
  return MonthNameOf(parts.Year, parts.Month, *table) + " " + YearText(table, value);
}

AnsiString DisplayFormatFor(bool fourDigitYear, bool runtimeFormats, TDateTime value) {
  AnsiString format;
  if (runtimeFormats) {
    format = FormatSettings().ShortDateFormat;
    if (TimePart(value) != 0) format += " " + FormatSettings().LongTimeFormat;
  } else {
    format = LocaleInfoText(LOCALE_SSHORTDATE, FormatSettings().ShortDateFormat);
  }
  if (fourDigitYear) {
    const AnsiString upper = UpperCase(format);
    const int at = Pos("YY", upper);
    if (at > 0 && Pos("YYY", upper) == 0) format.insert(static_cast<size_t>(at - 1), format.substr(at - 1, 2));
  }
  return format;
}

AnsiString DateToLocaleText(bool fourDigitYear, bool runtimeFormats, TDateTime value) {
  if (value == cxNullDate) return AnsiString();
  const AnsiString format = DisplayFormatFor(fourDigitYear, runtimeFormats, value);
  try {
    if (runtimeFormats) return FormatDateTime(format, value);
    AnsiString text;
    SYSTEMTIME st;
    char buffer[100] = {};
    if (!ToSystemTime(value, st) ||
        GetDateFormatA(GetThreadLocale(), 0, &st, format.c_str(), buffer, sizeof buffer) <= 0) {
      return Variant(value).AsString();
    }
    text = buffer;
    if (TimePart(value) != 0) {
      char time[100] = {};
      if (GetTimeFormatA(GetThreadLocale(), 0, &st, nullptr, time, sizeof time) > 0) text += AnsiString(" ") + time;
    }
    return text;
  } catch (const Exception&) {
    return AnsiString();
  }
}

AnsiString NormalizeDateText(const AnsiString& text, bool variantPath) {
  const TFormatSettings& fs = FormatSettings();
  std::vector<AnsiString> separators;
  if (variantPath) {
    separators = {AnsiString(1, LocaleInfoFirstChar(LOCALE_SDATE, '/')),
                  AnsiString(1, LocaleInfoFirstChar(LOCALE_STIME, ':')), LocaleInfoText(LOCALE_S1159, "am"),
                  LocaleInfoText(LOCALE_S2359, "pm")};
  } else {
    separators = {AnsiString(1, fs.DateSeparator), AnsiString(1, fs.TimeSeparator), fs.TimeAMString,
                  fs.TimePMString};
  }
  for (AnsiString& s : separators) s = UpperCase(Trim(s));
  AnsiString result = text;
  auto blank = [&](const TcxDateTimeFormatInfo& info) {
    for (const TcxDateTimeFormatItem& item : info.Items) {
      if (item.Kind != fikLiteral) continue;
      const AnsiString word = UpperCase(Trim(item.Data));
      if (word.empty() || std::find(separators.begin(), separators.end(), word) != separators.end()) continue;
      for (;;) {
        const int at = Pos(word, UpperCase(result));
        if (at == 0) break;
        result.replace(static_cast<size_t>(at - 1), word.size(), word.size(), ' ');
      }
    }
  };
  blank(SharedFormatController()->DateInfo());
  blank(SharedFormatController()->TimeInfo());
  result = Trim(result);
  AnsiString collapsed;
  for (char c : result) {
    if (static_cast<unsigned char>(c) <= ' ') {
      if (!collapsed.empty() && collapsed.back() == ' ') continue;
      c = ' ';
    }
    collapsed += c;
  }
  if (variantPath) {
    const char sep = LocaleInfoFirstChar(LOCALE_SDATE, '/');
    for (char& c : collapsed) {
      if (c == sep) c = ' ';
    }
  }
  return collapsed;
}

TFormatSettings CalendarFormatSettings() {
  TFormatSettings settings = FormatSettings();
  settings.ShortDateFormat = LocaleInfoText(LOCALE_SSHORTDATE, settings.ShortDateFormat);
  return settings;
}

namespace {

// The text up to `stop` from `position` (0-based), which moves past it.
AnsiString CutTo(const AnsiString& text, size_t& position, char stop) {
  const size_t end = std::min(text.find(stop, position), text.size());
  AnsiString part = Trim(text.substr(position, end - position));
  position = end < text.size() ? end + 1 : end;
  return part;
}

}  // namespace

TDateTime ParseCalendarText(const AnsiString& text, const TFormatSettings& settings,
                            const TcxCustomCalendarTable& table) {
  const AnsiString& format = settings.ShortDateFormat;
  AnsiString s = Trim(text);
  int offset = 0;
  if (!format.empty() && (format[0] == 'g' || format[0] == 'G')) {
    // The era's name before the first digit: the program keeps no era
    // names, so the table's default era stands.
    size_t digit = 0;
    while (digit < s.size() && (s[digit] < '0' || s[digit] > '9')) ++digit;
    s = s.substr(digit);
  }
  const char sep = settings.DateSeparator;
  size_t position = 0;
  AnsiString parts[3];
  parts[0] = CutTo(s, position, sep);
  parts[1] = CutTo(s, position, sep);
  parts[2] = CutTo(s, position, ' ');
  const int order = DateOrderOf(format);
  if (sep == ' ') {
    size_t next = position;
    while (next < s.size() && s[next] == ' ') ++next;
    if (next < s.size() && (s[next] < '0' || s[next] > '9') && order == 0) {
      parts[0] += " " + parts[1];
      parts[1] = parts[2];
      parts[2] = CutTo(s, position, ' ');
    } else if (next < s.size() && (s[next] < '0' || s[next] > '9')) {
      parts[1] += " " + parts[2];
      parts[2] = CutTo(s, position, ' ');
    }
  }
  AnsiString yearText, monthText, dayText;
  switch (order) {
    case 0: yearText = parts[2]; monthText = parts[0]; dayText = parts[1]; break;
    case 1: yearText = parts[2]; monthText = parts[1]; dayText = parts[0]; break;
    default: yearText = parts[0]; monthText = parts[1]; dayText = parts[2]; break;
  }
  TcxCalendarDate date;
  date.Year = table.ParseYearText(yearText);
  date.Month = table.ParseMonthText(date.Year, monthText);
  date.Day = table.ParseDayText(dayText);
  date.Era = table.EraIndexOfYear(offset + 1);
  if (!table.DayIsValidOf(date.Year, date.Month, date.Day)) {
    throw EConvertError("'" + text + "' is not a valid date");
  }
  TDateTime result = table.ComposeDate(date);
  const AnsiString rest = Trim(s.substr(std::min(position, s.size())));
  if (!rest.empty()) result += StrToTime(rest, settings);
  return result;
}

TDateTime TextToCalendarDate(const AnsiString& text) {
  const auto table = LocaleCalendarTable();
  return ParseCalendarText(text, CalendarFormatSettings(), *table);
}

bool ParseDateText(const AnsiString& text, bool variantPath, TDateTime& value) {
  value = cxNullDate;
  try {
    TDateTime result = cxNullDate;
    if (IsGregorianCalendar()) {
      const AnsiString normal = NormalizeDateText(text, variantPath);
      result = variantPath ? VarToDateTime(Variant(normal)) : StrToDateTime(normal);
    } else {
      result = TextToCalendarDate(text);
    }
    value = result;
    return true;
  } catch (...) {
    value = cxNullDate;
    return false;
  }
}

bool SmartTextToDate(const AnsiString& text, TDateTime& value) {
  return SmartTextToDateFrom(text, value, SharedFormatController()->WeekStartDay());
}

bool TextToDateTime(const AnsiString& text, TDateTime& value) {
  const AnsiString s = Trim(text);
  value = cxNullDate;
  if (s.empty()) return false;
  try {
    TDateTime result = cxNullDate;
    if (!IsGregorianCalendar()) {
      value = TextToCalendarDate(s);
      return true;
    }
    if (!SmartTextToDate(s, result)) {
      const bool runtime = SharedFormatController()->RuntimeFormatsOnly();
      const AnsiString normal = NormalizeDateText(s, !runtime);
      result = runtime ? StrToDateTime(normal) : VarToDateTime(Variant(normal));
    }
    // The same range for typed and smart dates: a huge offset fails too.
    if (!(result > -2147483648.0 && result < 2147483647.0)) return false;
    int y = 0, m = 0, d = 0;
    DecodeDate(result, y, m, d);
    if (d == 0 || y > 9999) return false;
    value = result;
    return true;
  } catch (...) {
    value = cxNullDate;
    return false;
  }
}
