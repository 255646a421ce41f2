#include "platform/DateTime.h"

#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/Seams.h"

#include <cmath>
#include <cstdint>

namespace {

constexpr int MonthLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// A date-time as whole days since 1 January of year 1 (that day is 1) and
// milliseconds into the day; a time that rounds to midnight moves on a day.
struct TStamp {
  int64_t Days = 0;
  int64_t MSecs = 0;
};

TStamp StampOf(TDateTime value) {
  TStamp stamp;
  if (!std::isfinite(value) || std::fabs(value) > 1e12) return stamp;
  const double whole = std::trunc(value);
  stamp.Days = static_cast<int64_t>(whole) + DateDelta;
  stamp.MSecs = static_cast<int64_t>(std::nearbyint(std::fabs(value - whole) * MSecsPerDay));
  if (stamp.MSecs >= MSecsPerDay) {
    stamp.MSecs -= MSecsPerDay;
    ++stamp.Days;
  }
  return stamp;
}

void DecodeDays(int64_t days, int& year, int& month, int& day) {
  if (days <= 0) {
    year = month = day = 0;
    return;
  }
  int64_t t = days - 1;
  int64_t y = 1 + t / 146097 * 400;
  t %= 146097;
  int64_t i = t / 36524, d = t % 36524;
  if (i == 4) {
    --i;
    d += 36524;
  }
  y += i * 100;
  y += d / 1461 * 4;
  d %= 1461;
  i = d / 365;
  d %= 365;
  if (i == 4) {
    --i;
    d += 365;
  }
  y += i;
  year = static_cast<int>(y);
  month = 1;
  for (;;) {
    const int length = DaysInAMonth(year, month);
    if (d < length) break;
    d -= length;
    ++month;
  }
  day = static_cast<int>(d) + 1;
}

TDateTime Combine(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

// --- Writing ---------------------------------------------------------------

AnsiString Padded(int value, int width) {
  AnsiString text = std::to_string(value);
  if (static_cast<int>(text.size()) < width) text.insert(0, static_cast<size_t>(width) - text.size(), '0');
  return text;
}

bool StartsWithText(const AnsiString& s, size_t at, const char* word) {
  for (size_t k = 0; word[k]; ++k) {
    if (at + k >= s.size()) return false;
    char a = s[at + k], b = word[k];
    if (a >= 'a' && a <= 'z') a = static_cast<char>(a - 32);
    if (a != b) return false;
  }
  return true;
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

class TDateWriter {
public:
  TDateWriter(TDateTime value, const TFormatSettings& settings) : FSettings(settings) {
    const TStamp stamp = StampOf(value);
    DecodeDays(stamp.Days, FYear, FMonth, FDay);
    FDayOfWeek = stamp.Days > 0 ? static_cast<int>(stamp.Days % 7) + 1 : 0;
    const int64_t ms = stamp.MSecs;
    FHour = static_cast<int>(ms / 3600000);
    FMinute = static_cast<int>(ms / 60000 % 60);
    FSecond = static_cast<int>(ms / 1000 % 60);
    FMSec = static_cast<int>(ms % 1000);
  }

  AnsiString Write(const AnsiString& format) {
    Append(format.empty() ? AnsiString("C") : format, 0);
    return FOut;
  }

private:
  void Append(const AnsiString& format, int level) {
    if (level > 2) return;
    char lastToken = ' ';
    size_t i = 0;
    const size_t n = format.size();
    while (i < n) {
      const char c = format[i];
      if (static_cast<unsigned char>(c) >= 0x80 && IsLeadByte(static_cast<unsigned char>(c)) && i + 1 < n) {
        FOut.append(format, i, 2);
        i += 2;
        continue;
      }
      size_t count = 1;
      while (i + count < n && format[i + count] == c) ++count;
      char token = Upper(c);
      if (IsLetter(c)) {
        if (token == 'M' && lastToken == 'H') token = 'N';
        lastToken = token;
      }
      switch (token) {
        case 'Y':
          FOut += count <= 2 ? Padded(FYear % 100, 2) : Padded(FYear, 4);
          break;
        case 'M':
          if (count <= 2) FOut += Padded(FMonth, static_cast<int>(count));
          else if (FMonth >= 1) FOut += (count == 3 ? FSettings.ShortMonthNames : FSettings.LongMonthNames)[FMonth - 1];
          break;
        case 'D':
          if (count <= 2) FOut += Padded(FDay, static_cast<int>(count));
          else if (count <= 4) AppendDayName(count == 3);
          else Append(count == 5 ? FSettings.ShortDateFormat : FSettings.LongDateFormat, level + 1);
          break;
        case 'H': {
          int hour = FHour;
          if (TwelveHoursAhead(format, i + count)) hour = hour % 12 == 0 ? 12 : hour % 12;
          FOut += Padded(hour, count >= 2 ? 2 : 1);
          break;
        }
        case 'N': FOut += Padded(FMinute, count >= 2 ? 2 : 1); break;
        case 'S': FOut += Padded(FSecond, count >= 2 ? 2 : 1); break;
        case 'Z': FOut += Padded(FMSec, count >= 2 ? 3 : 1); break;
        case 'T': Append(count == 1 ? FSettings.ShortTimeFormat : FSettings.LongTimeFormat, level + 1); break;
        case 'C':
          Append(FSettings.ShortDateFormat, level + 1);
          if (FHour != 0 || FMinute != 0 || FSecond != 0) {
            FOut += ' ';
            Append(FSettings.LongTimeFormat, level + 1);
          }
          break;
        case 'A':
          count = AppendDesignator(format, i);
          break;
        case '/':
          FOut.append(count, FSettings.DateSeparator);
          break;
        case ':':
          FOut.append(count, FSettings.TimeSeparator);
          break;
        case '\'':
        case '"': {
          const size_t close = format.find(c, i + 1);
          const size_t end = close == AnsiString::npos ? n : close;
          FOut.append(format, i + 1, end - i - 1);
          count = end - i + (close == AnsiString::npos ? 0 : 1);
          break;
        }
        default:
          FOut.append(count, c);
          break;
      }
      i += count;
    }
  }

  void AppendDayName(bool shortName) {
    if (FDayOfWeek >= 1) FOut += (shortName ? FSettings.ShortDayNames : FSettings.LongDayNames)[FDayOfWeek - 1];
  }

  // Whether a designator follows before the next hour (outside quotes).
  static bool TwelveHoursAhead(const AnsiString& format, size_t from) {
    char quote = 0;
    for (size_t k = from; k < format.size(); ++k) {
      const char c = format[k];
      if (quote) {
        if (c == quote) quote = 0;
      } else if (c == '\'' || c == '"') {
        quote = c;
      } else if (c == 'h' || c == 'H') {
        return false;
      } else if ((c == 'a' || c == 'A') &&
                 (StartsWithText(format, k, "AM/PM") || StartsWithText(format, k, "A/P") || StartsWithText(format, k, "AMPM"))) {
        return true;
      }
    }
    return false;
  }

  // Writes the designator or day name at `at`; answers the characters used.
  size_t AppendDesignator(const AnsiString& format, size_t at) {
    const bool pm = FHour >= 12;
    if (StartsWithText(format, at, "AM/PM")) {
      FOut.append(format, at + (pm ? 3 : 0), 2);
      return 5;
    }
    if (StartsWithText(format, at, "A/P")) {
      FOut += format[at + (pm ? 2 : 0)];
      return 3;
    }
    if (StartsWithText(format, at, "AMPM")) {
      FOut += pm ? FSettings.TimePMString : FSettings.TimeAMString;
      return 4;
    }
    if (StartsWithText(format, at, "AAAA")) {
      AppendDayName(false);
      return 4;
    }
    if (StartsWithText(format, at, "AAA")) {
      AppendDayName(true);
      return 3;
    }
    FOut += format[at];
    return 1;
  }

  const TFormatSettings& FSettings;
  AnsiString FOut;
  int FYear = 0, FMonth = 0, FDay = 0, FDayOfWeek = 0;
  int FHour = 0, FMinute = 0, FSecond = 0, FMSec = 0;
};

// --- Reading ---------------------------------------------------------------

class TDateScanner {
public:
  TDateScanner(const AnsiString& text, const TFormatSettings& settings) : FText(text), FSettings(settings) {}

  bool AtEnd() {
    SkipBlanks();
    return FAt >= FText.size();
  }
  size_t Position() const { return FAt; }
  void SetPosition(size_t at) { FAt = at; }

  bool ScanDate(TDateTime& date) {
    int n1, n2, n3, l1, l2, l3;
    if (!ScanNumber(n1, l1) || !ScanChar(FSettings.DateSeparator) || !ScanNumber(n2, l2)) return false;
    int year, month, day;
    const int order = DateOrder();
    if (ScanChar(FSettings.DateSeparator)) {
      if (!ScanNumber(n3, l3)) return false;
      int yearLength;
      switch (order) {
        case 1: year = n3; yearLength = l3; month = n2; day = n1; break;   // day first
        case 2: year = n1; yearLength = l1; month = n2; day = n3; break;   // year first
        default: year = n3; yearLength = l3; month = n1; day = n2; break;  // month first
      }
      if (yearLength <= 2) year = InCenturyWindow(year);
    } else {
      int unused;
      DecodeDate(Date(), year, unused, unused);
      if (order == 1) {
        day = n1;
        month = n2;
      } else {
        month = n1;
        day = n2;
      }
    }
    ScanChar(FSettings.DateSeparator);
    SkipBlanks();
    return TryEncodeDate(year, month, day, date);
  }

  bool ScanTime(TDateTime& time) {
    int baseHour = ScanDesignator();
    int hour, minute = 0, second = 0, msec = 0, length;
    if (!ScanNumber(hour, length)) return false;
    if (ScanChar(FSettings.TimeSeparator)) {
      if (!ScanNumber(minute, length)) return false;
      if (ScanChar(FSettings.TimeSeparator)) {
        if (!ScanNumber(second, length)) return false;
        if (ScanChar(FSettings.DecimalSeparator) && !ScanNumber(msec, length)) return false;
      }
    }
    if (baseHour < 0) baseHour = ScanDesignator();
    if (baseHour >= 0) {
      if (hour == 0 || hour > 12) return false;
      if (hour == 12) hour = 0;
      hour += baseHour;
    }
    SkipBlanks();
    return TryEncodeTime(hour, minute, second, msec, time);
  }

private:
  void SkipBlanks() {
    while (FAt < FText.size() && static_cast<unsigned char>(FText[FAt]) <= 0x20) ++FAt;
  }

  bool ScanNumber(int& value, int& length) {
    SkipBlanks();
    value = 0;
    length = 0;
    while (FAt < FText.size() && FText[FAt] >= '0' && FText[FAt] <= '9' && value < 1000) {
      value = value * 10 + (FText[FAt++] - '0');
      ++length;
    }
    return length > 0;
  }

  bool ScanChar(char c) {
    if (static_cast<unsigned char>(c) <= 0x20) {
      const size_t start = FAt;
      SkipBlanks();
      return FAt > start;
    }
    SkipBlanks();
    if (FAt < FText.size() && FText[FAt] == c) {
      ++FAt;
      return true;
    }
    return false;
  }

  bool ScanWord(const AnsiString& word) {
    if (word.empty()) return false;
    SkipBlanks();
    if (FText.size() - FAt < word.size() || !SameText(FText.substr(FAt, word.size()), word)) return false;
    FAt += word.size();
    return true;
  }

  // 0 for a morning designator, 12 for an afternoon one, -1 for none.
  int ScanDesignator() {
    if (ScanWord(FSettings.TimeAMString) || ScanWord("AM")) return 0;
    if (ScanWord(FSettings.TimePMString) || ScanWord("PM")) return 12;
    return -1;
  }

  // 0 month first, 1 day first, 2 year first: the first of the letters of
  // the short date format.
  int DateOrder() const {
    for (char c : FSettings.ShortDateFormat) {
      switch (Upper(c)) {
        case 'E':
        case 'Y': return 2;
        case 'M': return 0;
        case 'D': return 1;
        default: break;
      }
    }
    return 0;
  }

  int InCenturyWindow(int year) const {
    int currentYear, unused;
    DecodeDate(Date(), currentYear, unused, unused);
    const int window = FSettings.TwoDigitYearCenturyWindow;
    const int pivot = currentYear - window;
    year += pivot / 100 * 100;
    if (window > 0 && year < pivot) year += 100;
    return year;
  }

  const AnsiString& FText;
  const TFormatSettings& FSettings;
  size_t FAt = 0;
};

}  // namespace

bool IsLeapYear(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int DaysInAMonth(int year, int month) {
  if (month < 1 || month > 12) return 0;
  return MonthLengths[month - 1] + (month == 2 && IsLeapYear(year) ? 1 : 0);
}

bool TryEncodeDate(int year, int month, int day, TDateTime& date) {
  if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > DaysInAMonth(year, month)) return false;
  int days = day;
  for (int m = 1; m < month; ++m) days += DaysInAMonth(year, m);
  const int i = year - 1;
  date = static_cast<TDateTime>(i * 365 + i / 4 - i / 100 + i / 400 + days - DateDelta);
  return true;
}

TDateTime EncodeDate(int year, int month, int day) {
  TDateTime date;
  if (!TryEncodeDate(year, month, day, date)) throw EConvertError("Invalid argument to date encode");
  return date;
}

bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time) {
  if (hour < 0 || hour >= 24 || minute < 0 || minute >= 60 || second < 0 || second >= 60 || msec < 0 || msec >= 1000)
    return false;
  time = static_cast<TDateTime>(hour * 3600000 + minute * 60000 + second * 1000 + msec) / MSecsPerDay;
  return true;
}

TDateTime EncodeTime(int hour, int minute, int second, int msec) {
  TDateTime time;
  if (!TryEncodeTime(hour, minute, second, msec, time)) throw EConvertError("Invalid argument to time encode");
  return time;
}

void DecodeDate(TDateTime value, int& year, int& month, int& day) {
  DecodeDays(StampOf(value).Days, year, month, day);
}

void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec) {
  const int64_t ms = StampOf(value).MSecs;
  hour = static_cast<int>(ms / 3600000);
  minute = static_cast<int>(ms / 60000 % 60);
  second = static_cast<int>(ms / 1000 % 60);
  msec = static_cast<int>(ms % 1000);
}

int DayOfWeek(TDateTime value) {
  const int64_t days = StampOf(value).Days;
  return days > 0 ? static_cast<int>(days % 7) + 1 : 0;
}

TDateTime Now() { return ClockNow(); }

TDateTime Date() { return std::trunc(Now()); }

TDateTime Time() {
  const TDateTime now = Now();
  return std::fabs(now - std::trunc(now));
}

AnsiString FormatDateTime(const AnsiString& format, TDateTime value, const TFormatSettings& settings) {
  return TDateWriter(value, settings).Write(format);
}

AnsiString FormatDateTime(const AnsiString& format, TDateTime value) {
  return FormatDateTime(format, value, FormatSettings());
}

AnsiString DateToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime("ddddd", value, settings); }
AnsiString DateToStr(TDateTime value) { return DateToStr(value, FormatSettings()); }
AnsiString TimeToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime("tt", value, settings); }
AnsiString TimeToStr(TDateTime value) { return TimeToStr(value, FormatSettings()); }
AnsiString DateTimeToStr(TDateTime value, const TFormatSettings& settings) { return FormatDateTime("c", value, settings); }
AnsiString DateTimeToStr(TDateTime value) { return DateTimeToStr(value, FormatSettings()); }

bool TryStrToDate(const AnsiString& text, TDateTime& value, const TFormatSettings& settings) {
  TDateScanner scanner(text, settings);
  TDateTime date;
  if (!scanner.ScanDate(date) || !scanner.AtEnd()) return false;
  value = date;
  return true;
}

bool TryStrToDate(const AnsiString& text, TDateTime& value) { return TryStrToDate(text, value, FormatSettings()); }

bool TryStrToTime(const AnsiString& text, TDateTime& value, const TFormatSettings& settings) {
  TDateScanner scanner(text, settings);
  TDateTime time;
  if (!scanner.ScanTime(time) || !scanner.AtEnd()) return false;
  value = time;
  return true;
}

bool TryStrToTime(const AnsiString& text, TDateTime& value) { return TryStrToTime(text, value, FormatSettings()); }

bool TryStrToDateTime(const AnsiString& text, TDateTime& value, const TFormatSettings& settings) {
  TDateScanner scanner(text, settings);
  TDateTime date, time = 0;
  if (scanner.ScanDate(date) && (scanner.AtEnd() || (scanner.ScanTime(time) && scanner.AtEnd()))) {
    value = Combine(date, time);
    return true;
  }
  return TryStrToTime(text, value, settings);
}

bool TryStrToDateTime(const AnsiString& text, TDateTime& value) {
  return TryStrToDateTime(text, value, FormatSettings());
}

TDateTime StrToDate(const AnsiString& text, const TFormatSettings& settings) {
  TDateTime value;
  if (!TryStrToDate(text, value, settings)) throw EConvertError("'" + text + "' is not a valid date");
  return value;
}

TDateTime StrToDate(const AnsiString& text) { return StrToDate(text, FormatSettings()); }

TDateTime StrToTime(const AnsiString& text, const TFormatSettings& settings) {
  TDateTime value;
  if (!TryStrToTime(text, value, settings)) throw EConvertError("'" + text + "' is not a valid time");
  return value;
}

TDateTime StrToTime(const AnsiString& text) { return StrToTime(text, FormatSettings()); }

TDateTime StrToDateTime(const AnsiString& text, const TFormatSettings& settings) {
  TDateTime value;
  if (!TryStrToDateTime(text, value, settings)) throw EConvertError("'" + text + "' is not a valid date and time");
  return value;
}

TDateTime StrToDateTime(const AnsiString& text) { return StrToDateTime(text, FormatSettings()); }
