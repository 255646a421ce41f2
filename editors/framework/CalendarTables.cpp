#include "editors/framework/CalendarTables.h"

#include "editors/framework/CalendarLocale.h"
#include "platform/Exceptions.h"
#include "platform/Text.h"

#include <cmath>
#include <cstdint>
#include <limits>

const TClassInfo TcxEra::ClassInfo{"TcxEra", &TPersistent::ClassInfo, nullptr};
const TClassInfo TcxCustomCalendarTable::ClassInfo{"TcxCustomCalendarTable", &TObject::ClassInfo, nullptr};
const TClassInfo TcxGregorianCalendarTable::ClassInfo{"TcxGregorianCalendarTable", &TcxCustomCalendarTable::ClassInfo,
                                                      nullptr};
const TClassInfo TcxJapaneseCalendarTable::ClassInfo{"TcxJapaneseCalendarTable", &TcxGregorianCalendarTable::ClassInfo,
                                                     nullptr};
const TClassInfo TcxTaiwanCalendarTable::ClassInfo{"TcxTaiwanCalendarTable", &TcxJapaneseCalendarTable::ClassInfo,
                                                   nullptr};
const TClassInfo TcxKoreanCalendarTable::ClassInfo{"TcxKoreanCalendarTable", &TcxJapaneseCalendarTable::ClassInfo,
                                                   nullptr};
const TClassInfo TcxThaiCalendarTable::ClassInfo{"TcxThaiCalendarTable", &TcxJapaneseCalendarTable::ClassInfo, nullptr};
const TClassInfo TcxHijriCalendarTable::ClassInfo{"TcxHijriCalendarTable", &TcxCustomCalendarTable::ClassInfo, nullptr};
const TClassInfo TcxHebrewCalendarTable::ClassInfo{"TcxHebrewCalendarTable", &TcxCustomCalendarTable::ClassInfo,
                                                   nullptr};

namespace {

int PositiveMod(int64_t a, int b) { return int(((a % b) + b) % b); }

// The whole days of a value: before 30 December 1899 the whole part counts
// back and the fraction forward, so truncation gives the day either way.
int64_t WholeDays(TDateTime value) { return int64_t(std::trunc(value)); }

// A day and a time of day as one value, the fraction counting forward.
TDateTime CombineDateTime(TDateTime date, TDateTime time) { return date < 0 ? date - time : date + time; }

// The time of day of parts, or false when a field is out of range.
bool PartsTime(const TcxCalendarDateTime& parts, TDateTime& time) {
  return TryEncodeTime(parts.Hours, parts.Minutes, parts.Seconds, parts.Milliseconds, time);
}

void SetPartsTime(TcxCalendarDateTime& parts, TDateTime value) {
  int h = 0, n = 0, s = 0, ms = 0;
  DecodeTime(value, h, n, s, ms);
  parts.Hours = uint8_t(h);
  parts.Minutes = uint8_t(n);
  parts.Seconds = uint8_t(s);
  parts.Milliseconds = uint16_t(ms);
}

TDateTime DateOf(int year, int month, int day) {
  TDateTime value = 0;
  return TryEncodeDate(year, month, day, value) ? value : cxNullDate;
}

// 31 December 9999 23:59:59.999.
TDateTime GregorianLatest() { return MaxDateTime; }

// 0 Sunday .. 6 Saturday; 30 December 1899 was a Saturday.
int WeekdayOfDays(int64_t days) { return PositiveMod(days + 6, 7); }

// The era's start as a comparable number yyyymmdd.
int64_t DateKey(int year, int month, int day) { return int64_t(year) * 10000 + month * 100 + day; }

int64_t EraStartKey(const TcxEra& era) {
  int y = 0, m = 0, d = 0;
  DecodeDate(era.EraStart, y, m, d);
  return DateKey(y, m, d);
}

bool InIntRange(int64_t value) {
  return value >= std::numeric_limits<int>::min() && value <= std::numeric_limits<int>::max();
}

}  // namespace

// ---- eras ----

TcxEra::TcxEra(int32_t eraNumber, int32_t yearShift, int32_t firstEraYear, int32_t lastEraYear, TDateTime eraStart)
    : EraNumber(eraNumber), LastEraYear(lastEraYear), FirstEraYear(firstEraYear), EraStart(eraStart),
      YearShift(yearShift) {}

void TcxEra::Assign(TPersistent* source) {
  if (auto* era = dynamic_cast<TcxEra*>(source)) {
    EraNumber = era->EraNumber;
    LastEraYear = era->LastEraYear;
    FirstEraYear = era->FirstEraYear;
    EraStart = era->EraStart;
    YearShift = era->YearShift;
    return;
  }
  TPersistent::Assign(source);
}

std::unique_ptr<TcxEra> CreateEra(int32_t eraNumber, int32_t yearShift, int32_t firstEraYear, int32_t lastEraYear,
                                  TDateTime eraStart) {
  return std::make_unique<TcxEra>(eraNumber, yearShift, firstEraYear, lastEraYear, eraStart);
}

// ---- the common operations ----

void TcxCustomCalendarTable::NormalizeYearEra(int& year, int& era) const { NormalizeYearEraAt(year, era, 1, 1); }

void TcxCustomCalendarTable::NormalizeYearEraAt(int& year, int& era, int month, int day) const {
  EraYearToGregorian(year, era);
  era = EraIndexAt(year, month, day);
  // A year no era holds is told in the default era (era -1), so that
  // composing it adds back the shift taken off here.
  const TcxEra& found = era >= 0 ? *FEras[size_t(era)] : DefaultEra();
  year -= found.YearShift;
}

void TcxCustomCalendarTable::ClampDate(TDateTime& value) const {
  if (value < EarliestDate()) value = EarliestDate();
  if (value > LatestDate()) value = LatestDate();
}

TDateTime TcxCustomCalendarTable::ShiftDays(const TcxCalendarDateTime& parts, int n) const {
  TDateTime value = Compose(parts) + n;
  ClampDate(value);
  return value;
}

TDateTime TcxCustomCalendarTable::ShiftMonthsOfValue(TDateTime value, int n) const {
  return ShiftMonths(DecodeValue(value), n);
}

TDateTime TcxCustomCalendarTable::ShiftMonths(const TcxCalendarDateTime& parts, int n) const {
  TDateTime value = 0;
  if (RejectInvalid(parts, value)) return value;
  TcxCalendarDateTime result = parts;
  int64_t m = int64_t(parts.Month) + n;
  int year = parts.Year;
  const int step = m > MonthCount(result.Era, year) ? -1 : 1;
  while (m > MonthCount(result.Era, year) || m <= 0) {
    // A year the calendar does not hold has no months: the shift left it.
    if (year < EarliestYear() - 1 || year > LatestYear() + 1 || MonthCount(result.Era, year) <= 0)
      return EarliestDate();
    if (step < 0) {
      m -= MonthCount(result.Era, year);
      ++year;
    } else {
      --year;
      m += MonthCount(result.Era, year);
    }
  }
  result.Year = year;
  result.Month = int(m);
  if (!DayIsValid(result.Era, result.Year, result.Month, result.Day))
    result.Day = MonthLength(result.Era, result.Year, result.Month);
  int era = result.Era;
  NormalizeYearEraAt(result.Year, era, result.Month, result.Day);
  result.Era = era;
  if (!DayIsValid(result.Era, result.Year, result.Month, result.Day)) return EarliestDate();
  value = Compose(result);
  ClampDate(value);
  return value;
}

TDateTime TcxCustomCalendarTable::ShiftYearsOfValue(TDateTime value, int n) const {
  return ShiftYears(DecodeValue(value), n);
}

TDateTime TcxCustomCalendarTable::ShiftYears(const TcxCalendarDateTime& parts, int n) const {
  TDateTime value = 0;
  if (RejectInvalid(parts, value)) return value;
  const int64_t shifted = int64_t(parts.Year) + n;
  if (!InIntRange(shifted)) return EarliestDate();
  TcxCalendarDateTime result = parts;
  result.Year = int(shifted);
  int era = result.Era;
  NormalizeYearEra(result.Year, era);
  result.Era = era;
  if (!YearIsValid(result.Era, result.Year)) return EarliestDate();
  if (!MonthIsValid(result.Era, result.Year, result.Month)) result.Month = MonthCount(result.Era, result.Year);
  if (!DayIsValid(result.Era, result.Year, result.Month, result.Day))
    result.Day = MonthLength(result.Era, result.Year, result.Month);
  NormalizeYearEraAt(result.Year, era, result.Month, result.Day);
  result.Era = era;
  value = Compose(result);
  ClampDate(value);
  return value;
}

TDateTime TcxCustomCalendarTable::ShiftWeeksOfValue(TDateTime value, int n) const {
  return ShiftWeeks(DecodeValue(value), n);
}

TDateTime TcxCustomCalendarTable::ShiftWeeks(const TcxCalendarDateTime& parts, int n) const {
  const int64_t days = int64_t(n) * 7;
  if (!InIntRange(days)) return n < 0 ? EarliestDate() : LatestDate();
  return ShiftDays(parts, int(days));
}

TcxCalendarDateTime TcxCustomCalendarTable::DecodeYmd(int year, int month, int day) const {
  return DecodeValue(DateOf(year, month, day));
}

TcxCalendarDateTime TcxCustomCalendarTable::DecodeYmdHms(int year, int month, int day, int hour, int minute,
                                                         int second, int msec) const {
  TDateTime time = 0;
  if (!TryEncodeTime(hour, minute, second, msec, time)) time = 0;
  return DecodeValue(CombineDateTime(DateOf(year, month, day), time));
}

int TcxCustomCalendarTable::DayIndexInYearOfValue(TDateTime value) const { return DayIndexInYear(DecodeValue(value)); }

int TcxCustomCalendarTable::DayIndexInYear(const TcxCalendarDateTime& parts) const {
  int index = parts.Day;
  for (int month = 1; month < parts.Month; ++month) index += MonthLength(parts.Era, parts.Year, month);
  return index;
}

int TcxCustomCalendarTable::MonthLengthOf(int year, int month) const { return MonthLength(-1, year, month); }
int TcxCustomCalendarTable::YearLengthOf(int year) const { return YearLength(-1, year); }
int TcxCustomCalendarTable::EraIndexOfYear(int year) const { return EraIndexAt(year, 1, 1); }

int TcxCustomCalendarTable::EraIndexAt(int year, int month, int day) const {
  const int64_t key = DateKey(year, month, day);
  int found = -1;
  for (size_t i = 0; i < FEras.size(); ++i)
    if (EraStartKey(*FEras[i]) <= key) found = int(i);
  return found;
}

TDateTime TcxCustomCalendarTable::WeekStartOfValue(TDateTime value) const {
  TcxCalendarDateTime start;
  WeekStart(DecodeValue(value), start);
  return Compose(start);
}

TDateTime TcxCustomCalendarTable::WeekStartBefore(int weekday, TDateTime value) const {
  return value - PositiveMod(int64_t(WeekdayOfValue(value)) - weekday, 7);
}

void TcxCustomCalendarTable::WeekStart(const TcxCalendarDateTime& parts, TcxCalendarDateTime& result) const {
  WeekStartFrom(parts, WeekFirstDay(), result);
}

void TcxCustomCalendarTable::WeekStartFrom(const TcxCalendarDateTime& parts, int weekday,
                                           TcxCalendarDateTime& result) const {
  result = DecodeValue(ShiftDays(parts, -PositiveMod(int64_t(Weekday(parts)) - weekday, 7)));
}

int TcxCustomCalendarTable::MonthCountOf(int year) const { return MonthCount(-1, year); }
int TcxCustomCalendarTable::YearOfValue(TDateTime value) const { return DecodeValue(value).Year; }
int TcxCustomCalendarTable::YearOfDate(const TcxCalendarDate& date) const { return date.Year; }
int TcxCustomCalendarTable::YearOfDateTime(const TcxCalendarDateTime& parts) const { return parts.Year; }
int TcxCustomCalendarTable::WeekdayOfValue(TDateTime value) const { return WeekdayOfDays(WholeDays(value)); }
int TcxCustomCalendarTable::Weekday(const TcxCalendarDateTime& parts) const { return WeekdayOfValue(Compose(parts)); }

int TcxCustomCalendarTable::WeekNumberOfValue(TDateTime value, int firstWeekday, int rule) const {
  return WeekNumber(DecodeValue(value), firstWeekday, rule);
}

int TcxCustomCalendarTable::ResolveWeekRule(int rule) {
  if (rule == 0) rule = LocaleFirstWeekOfYear() + 1;
  return rule >= 1 && rule <= 3 ? rule : 1;
}

int TcxCustomCalendarTable::WeekNumberFrom(const TcxCalendarDateTime& parts, int weekday, int rule) const {
  rule = ResolveWeekRule(rule);
  TcxCalendarDateTime first = parts;
  first.Month = 1;
  first.Day = 1;
  first.Hours = first.Minutes = first.Seconds = 0;
  first.Milliseconds = 0;
  const int64_t january = WholeDays(Compose(first));
  int64_t w = january - PositiveMod(int64_t(WeekdayOfDays(january)) - weekday, 7);
  if (rule == 2 && w < january) w += 7;
  if (rule == 3 && w + 3 < january) w += 7;
  const int64_t day = WholeDays(Compose(parts));
  const int result = int((day - w) / 7 + 1);
  if (parts.Month == MonthCount(parts.Era, parts.Year) && (rule == 1 || rule == 3)) {
    const int64_t start = day - PositiveMod(int64_t(WeekdayOfDays(day)) - weekday, 7);
    const TDateTime probe = TDateTime(start + (rule == 1 ? 6 : 3));
    if (probe <= LatestDate() && DecodeValue(probe).Month == 1) return 1;
  }
  return result;
}

bool TcxCustomCalendarTable::DayIsLeapOf(int year, int month, int day) const { return DayIsLeap(-1, year, month, day); }
bool TcxCustomCalendarTable::MonthIsLeapOf(int year, int month) const { return MonthIsLeap(-1, year, month); }
bool TcxCustomCalendarTable::YearIsLeapOf(int year) const { return YearIsLeap(-1, year); }
bool TcxCustomCalendarTable::YearIsValidOf(int year) const { return YearIsValid(-1, year); }

bool TcxCustomCalendarTable::YearIsValid(int /*era*/, int year) const {
  return year >= EarliestYear() && year <= LatestYear();
}

bool TcxCustomCalendarTable::MonthIsValidOf(int year, int month) const { return MonthIsValid(-1, year, month); }

bool TcxCustomCalendarTable::MonthIsValid(int era, int year, int month) const {
  return YearIsValid(era, year) && month >= 1 && month <= MonthCount(era, year);
}

bool TcxCustomCalendarTable::DayIsValidOf(int year, int month, int day) const { return DayIsValid(-1, year, month, day); }

bool TcxCustomCalendarTable::DayIsValid(int era, int year, int month, int day) const {
  return MonthIsValid(era, year, month) && day >= 1 && day <= MonthLength(era, year, month);
}

bool TcxCustomCalendarTable::ValueIsValid(TDateTime value) const {
  const TcxCalendarDateTime parts = DecodeValue(value);
  return DayIsValid(parts.Era, parts.Year, parts.Month, parts.Day);
}

TDateTime TcxCustomCalendarTable::ComposeDate(const TcxCalendarDate& date) const {
  TcxCalendarDateTime parts;
  parts.Era = date.Era;
  parts.Year = date.Year;
  parts.Month = date.Month;
  parts.Day = date.Day;
  return Compose(parts);
}

TDateTime TcxCustomCalendarTable::ComposeYmd(int year, int month, int day) const {
  return ComposeDate({-1, year, month, day});
}

TDateTime TcxCustomCalendarTable::ComposeYmdHms(int year, int month, int day, int hour, int minute, int second,
                                                int msec) const {
  TcxCalendarDateTime parts;
  parts.Year = year;
  parts.Month = month;
  parts.Day = day;
  // Fields that do not fit the parts make the time invalid, and so the value.
  const bool fits = hour >= 0 && hour < 256 && minute >= 0 && minute < 256 && second >= 0 && second < 256 &&
                    msec >= 0 && msec < 65536;
  if (!fits) return EarliestDate();
  parts.Hours = uint8_t(hour);
  parts.Minutes = uint8_t(minute);
  parts.Seconds = uint8_t(second);
  parts.Milliseconds = uint16_t(msec);
  return Compose(parts);
}

int TcxCustomCalendarTable::ParseDayText(const AnsiString& text) const { return StrToInt(text); }

int TcxCustomCalendarTable::ParseMonthText(int /*year*/, const AnsiString& text) const {
  const TFormatSettings& settings = FormatSettings();
  for (int month = 1; month <= 12; ++month)
    if (AnsiSameText(text, settings.LongMonthNames[month - 1]) || AnsiSameText(text, settings.ShortMonthNames[month - 1]))
      return month;
  return StrToInt(text);
}

int TcxCustomCalendarTable::ParseYearText(const AnsiString& text) const {
  const int value = StrToInt(text);
  if (text.size() != 1 && text.size() != 2) return value;
  int maximum = 0;
  // Without the calendar's window the year is taken as typed.
  if (!CalendarInfoNumber(CalendarId(), cxCalTwoDigitYearMax, maximum)) return value;
  const int century = maximum / 100;
  return value <= maximum % 100 ? value + century * 100 : value + (century - 1) * 100;
}

void TcxCustomCalendarTable::EraYearToGregorian(int& year, int era) const {
  if (era == -1) year += DefaultEra().YearShift;
  else if (era >= 0 && size_t(era) < FEras.size()) year += FEras[size_t(era)]->YearShift;
}

bool TcxCustomCalendarTable::RejectInvalid(const TcxCalendarDateTime& parts, TDateTime& value) const {
  TDateTime time = 0;
  if (DayIsValid(parts.Era, parts.Year, parts.Month, parts.Day) && PartsTime(parts, time)) return false;
  value = EarliestDate();
  return true;
}

// ---- Gregorian ----

TcxGregorianCalendarTable::TcxGregorianCalendarTable() : FDefaultEraObject(-1, 0, 1, 9999, cxNullDate) {}

TDateTime TcxGregorianCalendarTable::LatestDate() const { return GregorianLatest(); }
TDateTime TcxGregorianCalendarTable::EarliestDate() const { return MinDateTime; }

TcxCalendarDateTime TcxGregorianCalendarTable::DecodeValue(TDateTime value) const {
  TcxCalendarDateTime parts;
  int y = 0, m = 0, d = 0;
  DecodeDate(value, y, m, d);
  parts.Year = y;
  parts.Month = m;
  parts.Day = d;
  SetPartsTime(parts, value);
  return parts;
}

int TcxGregorianCalendarTable::MonthLength(int era, int year, int month) const {
  EraYearToGregorian(year, era);
  if (month < 1 || month > 12) return 0;
  if (month == 2) return ::IsLeapYear(year) ? 29 : 28;
  return (month == 4 || month == 6 || month == 9 || month == 11) ? 30 : 31;
}

int TcxGregorianCalendarTable::YearLength(int era, int year) const { return YearIsLeap(era, year) ? 366 : 365; }

int TcxGregorianCalendarTable::WeekFirstDay() const {
  switch (GregorianCalendarId) {
    case 9:
    case 11:
    case 12: return 1;
    case 10: return 6;
    default: return 0;
  }
}

int TcxGregorianCalendarTable::WholeWeeksInYear(int year) const {
  EraYearToGregorian(year, -1);
  TDateTime january = 0;
  if (!TryEncodeDate(year, 1, 1, january)) return 52;
  const int d = PositiveMod(int64_t(WeekdayOfValue(january)) - WeekFirstDay(), 7);
  const bool leap = ::IsLeapYear(year);
  return ((leap && d > 4) || d > 5) ? 53 : 52;
}

int TcxGregorianCalendarTable::MonthCount(int /*era*/, int /*year*/) const { return 12; }

int TcxGregorianCalendarTable::WeekNumber(const TcxCalendarDateTime& parts, int firstWeekday, int rule) const {
  return WeekNumberFrom(parts, firstWeekday, rule);
}

bool TcxGregorianCalendarTable::DayIsLeap(int era, int year, int month, int day) const {
  return MonthIsLeap(era, year, month) && day == 29;
}

bool TcxGregorianCalendarTable::MonthIsLeap(int era, int year, int month) const {
  return YearIsLeap(era, year) && month == 2;
}

bool TcxGregorianCalendarTable::YearIsLeap(int era, int year) const {
  EraYearToGregorian(year, era);
  return ::IsLeapYear(year);
}

TDateTime TcxGregorianCalendarTable::Compose(const TcxCalendarDateTime& parts) const {
  TDateTime value = 0;
  if (RejectInvalid(parts, value)) return value;
  int year = parts.Year;
  EraYearToGregorian(year, parts.Era);
  TDateTime date = 0, time = 0;
  if (!TryEncodeDate(year, parts.Month, parts.Day, date)) return EarliestDate();
  PartsTime(parts, time);
  return CombineDateTime(date, time);
}

// ---- Japanese and the one-era tables ----

TcxJapaneseCalendarTable::TcxJapaneseCalendarTable() {
  FEras.push_back(CreateEra(1, 1867, 1, 45, EncodeDate(1868, 9, 8)));
  FEras.push_back(CreateEra(2, 1911, 1, 15, EncodeDate(1912, 7, 30)));
  FEras.push_back(CreateEra(3, 1925, 1, 64, EncodeDate(1926, 12, 25)));
  // Heisei ended with its 31st year, on 30 April 2019.
  FEras.push_back(CreateEra(4, 1988, 1, 31, EncodeDate(1989, 1, 8)));
  FEras.push_back(CreateEra(5, 2018, 1, 7981, EncodeDate(2019, 5, 1)));
}

TcxJapaneseCalendarTable::TcxJapaneseCalendarTable(const TcxEra& onlyEra) {
  FEras.push_back(CreateEra(onlyEra.EraNumber, onlyEra.YearShift, onlyEra.FirstEraYear, onlyEra.LastEraYear,
                            onlyEra.EraStart));
}

const TcxEra& TcxJapaneseCalendarTable::DefaultEra() const { return *FEras.back(); }
TDateTime TcxJapaneseCalendarTable::EarliestDate() const { return FEras.front()->EraStart; }

TcxCalendarDateTime TcxJapaneseCalendarTable::DecodeValue(TDateTime value) const {
  TcxCalendarDateTime parts = TcxGregorianCalendarTable::DecodeValue(value);
  parts.Era = EraIndexAt(parts.Year, parts.Month, parts.Day);
  parts.Year -= (parts.Era >= 0 ? *FEras[size_t(parts.Era)] : DefaultEra()).YearShift;
  return parts;
}

TDateTime TcxJapaneseCalendarTable::Compose(const TcxCalendarDateTime& parts) const {
  return TcxGregorianCalendarTable::Compose(parts);
}

TcxTaiwanCalendarTable::TcxTaiwanCalendarTable()
    : TcxJapaneseCalendarTable(TcxEra(1, 1911, 1, 8088, EncodeDate(1912, 1, 1))) {}

TcxKoreanCalendarTable::TcxKoreanCalendarTable()
    : TcxJapaneseCalendarTable(TcxEra(0, -2333, 2334, 12332, EncodeDate(1, 1, 1))) {}

TcxThaiCalendarTable::TcxThaiCalendarTable() : TcxJapaneseCalendarTable(TcxEra(0, -543, 544, 10542, EncodeDate(1, 1, 1))) {}

// ---- Hijri ----

namespace {

// Days before 1 Muharram of year 1, counted so that adding the day index in
// the year and the rata die of 1 January of year 1, less one, gives the day.
constexpr int64_t HijriEpochDays = 227013;
// The rata die of a TDateTime's day: 1 January of year 1 is day 1.
constexpr int64_t RataDieOfZero = 693594;

bool HijriLeap(int64_t year) {
  switch (PositiveMod(year, 30)) {
    case 2: case 5: case 7: case 10: case 13: case 15: case 18: case 21: case 24: case 26: case 29: return true;
    default: return false;
  }
}

// Leap years among the cycle years 1..k (0 <= k < 30).
int HijriLeapsUpTo(int k) {
  int n = 0;
  for (int year = 1; year <= k; ++year) n += HijriLeap(year) ? 1 : 0;
  return n;
}

// Days from the epoch to 1 Muharram of `year` (0 for year 1).
int64_t HijriYearStart(int64_t year) {
  const int64_t before = year - 1;
  const int64_t cycles = before >= 0 ? before / 30 : -((-before + 29) / 30);
  return 354 * before + 11 * cycles + HijriLeapsUpTo(PositiveMod(before, 30));
}

}  // namespace

TcxHijriCalendarTable::TcxHijriCalendarTable() : FDefaultEraObject(-1, 0, 1, 9999, cxNullDate) {}

TDateTime TcxHijriCalendarTable::EarliestDate() const { return DateOf(622, 7, 16); }
TDateTime TcxHijriCalendarTable::LatestDate() const { return GregorianLatest(); }

TcxCalendarDateTime TcxHijriCalendarTable::DecodeValue(TDateTime value) const {
  TcxCalendarDateTime parts;
  SetPartsTime(parts, value);
  const int64_t d = WholeDays(value) + RataDieOfZero;
  const int64_t estimate = d * 30 - HijriEpochDays * 30;
  int64_t n = estimate >= 0 ? estimate / 10631 : -((-estimate + 10630) / 10631);
  int64_t rest = d - HijriEpochDays - HijriYearStart(n + 1);
  int64_t year = n + 1;
  // The estimate can be a year out either way: step to the year that holds it.
  while (rest <= 0) {
    --year;
    rest += HijriLeap(year) ? 355 : 354;
  }
  int month = 1;
  for (;;) {
    const int length = (month == 12 && HijriLeap(year)) ? 30 : (month % 2 == 0 ? 29 : 30);
    if (rest <= length) break;
    rest -= length;
    if (++month > 12) {
      month = 1;
      ++year;
    }
  }
  parts.Year = int(year);
  parts.Month = month;
  parts.Day = int(rest);
  return parts;
}

int TcxHijriCalendarTable::MonthLength(int /*era*/, int year, int month) const {
  if (month < 1 || month > 12) return 0;
  if (month == 12 && HijriLeap(year)) return 30;
  return month % 2 == 0 ? 29 : 30;
}

int TcxHijriCalendarTable::YearLength(int era, int year) const { return YearIsLeap(era, year) ? 355 : 354; }
int TcxHijriCalendarTable::WholeWeeksInYear(int /*year*/) const { return 50; }
int TcxHijriCalendarTable::MonthCount(int /*era*/, int /*year*/) const { return 12; }

int TcxHijriCalendarTable::WeekNumber(const TcxCalendarDateTime& parts, int /*firstWeekday*/, int rule) const {
  return WeekNumberFrom(parts, WeekFirstDay(), rule);
}

bool TcxHijriCalendarTable::DayIsLeap(int era, int year, int month, int day) const {
  return MonthIsLeap(era, year, month) && day == 30;
}

bool TcxHijriCalendarTable::MonthIsLeap(int era, int year, int month) const {
  return YearIsLeap(era, year) && month == 12;
}

bool TcxHijriCalendarTable::YearIsLeap(int /*era*/, int year) const { return HijriLeap(year); }

TDateTime TcxHijriCalendarTable::Compose(const TcxCalendarDateTime& parts) const {
  TDateTime value = 0;
  if (RejectInvalid(parts, value)) return value;
  const int64_t days = HijriEpochDays + HijriYearStart(parts.Year) + DayIndexInYear(parts) - RataDieOfZero;
  TDateTime time = 0;
  PartsTime(parts, time);
  return CombineDateTime(TDateTime(days), time);
}

int TcxHijriCalendarTable::ParseMonthText(int year, const AnsiString& text) const {
  for (int month = 1; month <= 12; ++month) {
    const AnsiString name = CalendarInfoText(CalendarId(), cxCalMonthName1 + uint32_t(month - 1));
    if (!name.empty() && AnsiSameText(text, name)) return month;
  }
  return TcxCustomCalendarTable::ParseMonthText(year, text);
}

// ---- Hebrew ----

namespace {

const TcxHebrewYearEntry HebrewYears[] = {
#include "editors/framework/HebrewYears.inc"
};
static_assert(sizeof(HebrewYears) / sizeof(HebrewYears[0]) == cxHebrewTableLastYear - cxHebrewTableFirstYear + 1);

// Month lengths by stored year type; row 0 and column 0 are unused.
constexpr int HebrewMonthLengths[7][14] = {
    {0},
    {0, 30, 29, 29, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 30, 30, 29, 30, 29, 30, 29, 30, 29, 30, 29, 0},
    {0, 30, 29, 29, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
    {0, 30, 29, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
    {0, 30, 30, 30, 29, 30, 30, 29, 30, 29, 30, 29, 30, 29},
};

constexpr int HebrewYearOffset = 3760;
constexpr int HebrewFirstYear = 5343;
constexpr int HebrewLastYear = 5999;

// The stored type of a Hebrew year, 0 outside the table.
int HebrewStoredType(int hebrewYear) {
  const int64_t g = int64_t(hebrewYear) - HebrewYearOffset;
  if (g < cxHebrewTableFirstYear || g > cxHebrewTableLastYear) return 0;
  return HebrewYearEntry(int(g))->YearType;
}

bool HebrewYearInRange(int year) { return year >= HebrewFirstYear && year <= HebrewLastYear; }

}  // namespace

const TcxHebrewYearEntry* HebrewYearEntry(int gregorianYear) {
  if (gregorianYear < cxHebrewTableFirstYear || gregorianYear > cxHebrewTableLastYear) return nullptr;
  return &HebrewYears[gregorianYear - cxHebrewTableFirstYear];
}

int HebrewMonthLengthEntry(int yearType, int month) {
  if (yearType < 0 || yearType > 6 || month < 0 || month > 13) return 0;
  return HebrewMonthLengths[yearType][month];
}

void HebrewJanuaryFirst(int gregorianYear, int& month, int& day) {
  month = 0;
  day = 0;
  const TcxHebrewYearEntry* entry = HebrewYearEntry(gregorianYear);
  if (!entry) return;
  const int n = entry->JanuaryFirst;
  if (n >= 1 && n <= 29) month = 4, day = n;
  else if (n == 30) month = 3, day = 30;
  else if (n == 33) month = 3, day = 29;
  else if (n == 0) month = 5, day = 1;
  else if (n == 31) month = 5, day = 2;
  else if (n == 32) month = 5, day = 3;
}

int HebrewDayDistance(int yearType, int fromMonth, int fromDay, int toMonth, int toDay) {
  if (fromMonth == toMonth) return toDay - fromDay;
  const bool backwards = toMonth < fromMonth;
  const int firstMonth = backwards ? toMonth : fromMonth, firstDay = backwards ? toDay : fromDay;
  const int lastMonth = backwards ? fromMonth : toMonth, lastDay = backwards ? fromDay : toDay;
  // The rest of the first month, the whole months between, the day in the last.
  int distance = HebrewMonthLengthEntry(yearType, firstMonth) - firstDay;
  for (int month = firstMonth + 1; month < lastMonth; ++month) distance += HebrewMonthLengthEntry(yearType, month);
  distance += lastDay;
  return backwards ? -distance : distance;
}

int HebrewLetterValue(const AnsiString& text) {
  int sum = 0;
  for (const char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    int value = 0;
    if (b >= 0xE0 && b <= 0xE9) value = b - 0xE0 + 1;  // alef .. yod
    else switch (b) {
        case 0xEA: case 0xEB: value = 20; break;   // final kaf, kaf
        case 0xEC: value = 30; break;              // lamed
        case 0xED: case 0xEE: value = 40; break;   // final mem, mem
        case 0xEF: case 0xF0: value = 50; break;   // final nun, nun
        case 0xF1: value = 60; break;              // samekh
        case 0xF2: value = 70; break;              // ayin
        case 0xF3: case 0xF4: value = 80; break;   // final pe, pe
        case 0xF5: case 0xF6: value = 90; break;   // final tsadi, tsadi
        case 0xF7: value = 100; break;             // qof
        case 0xF8: value = 200; break;             // resh
        case 0xF9: value = 300; break;             // shin
        case 0xFA: value = 400; break;             // tav
        default: break;
      }
    sum += value;
  }
  return sum;
}

TcxHebrewCalendarTable::TcxHebrewCalendarTable() : FDefaultEraObject(-1, 0, 1, 9999, cxNullDate) {}

TDateTime TcxHebrewCalendarTable::EarliestDate() const { return EncodeDate(1583, 1, 1); }

TDateTime TcxHebrewCalendarTable::LatestDate() const {
  return CombineDateTime(EncodeDate(2239, 9, 29), EncodeTime(23, 59, 59, 999));
}

TcxCalendarDateTime TcxHebrewCalendarTable::DecodeValue(TDateTime value) const {
  if (!(value >= EarliestDate())) value = EarliestDate();  // NaN as well
  if (value > LatestDate()) value = LatestDate();
  TcxCalendarDateTime parts;
  SetPartsTime(parts, value);
  int gy = 0, gm = 0, gd = 0;
  DecodeDate(value, gy, gm, gd);
  int year = gy + HebrewYearOffset, month = 1;
  int64_t offset = WholeDays(value) - WholeDays(ComposeYmd(year, 1, 1));
  for (;;) {
    const int length = MonthLength(-1, year, month);
    if (length <= 0 || offset < length) break;
    offset -= length;
    if (++month > MonthCount(-1, year)) {
      month = 1;
      ++year;
    }
  }
  parts.Year = year;
  parts.Month = month;
  parts.Day = int(offset) + 1;
  return parts;
}

int TcxHebrewCalendarTable::MonthLength(int era, int year, int month) const {
  if (!MonthIsValid(era, year, month)) return 0;
  return HebrewMonthLengthEntry(HebrewStoredType(year), month);
}

int TcxHebrewCalendarTable::YearLength(int era, int year) const {
  if (!HebrewYearInRange(year)) return 0;
  const int type = HebrewStoredType(year);
  const bool leap = YearIsLeap(era, year);
  return 352 + (leap ? type - 3 : type) + (leap ? 30 : 0);
}

int TcxHebrewCalendarTable::WholeWeeksInYear(int year) const { return YearLength(-1, year) / 7; }
int TcxHebrewCalendarTable::MonthCount(int era, int year) const { return YearIsLeap(era, year) ? 13 : 12; }

int TcxHebrewCalendarTable::WeekNumber(const TcxCalendarDateTime& parts, int /*firstWeekday*/, int rule) const {
  return WeekNumberFrom(parts, WeekFirstDay(), rule);
}

bool TcxHebrewCalendarTable::DayIsLeap(int era, int year, int month, int day) const {
  return DayIsValid(era, year, month, day) && MonthIsLeap(era, year, month);
}

bool TcxHebrewCalendarTable::MonthIsLeap(int era, int year, int month) const {
  return MonthIsValid(era, year, month) && YearIsLeap(era, year) && month == 7;
}

bool TcxHebrewCalendarTable::YearIsLeap(int /*era*/, int year) const { return HebrewStoredType(year) > 3; }

TDateTime TcxHebrewCalendarTable::Compose(const TcxCalendarDateTime& parts) const {
  TDateTime value = 0;
  if (RejectInvalid(parts, value)) return value;
  const int g = parts.Year - HebrewYearOffset;
  int month = 0, day = 0;
  HebrewJanuaryFirst(g, month, day);
  const int distance = HebrewDayDistance(HebrewStoredType(parts.Year), month, day, parts.Month, parts.Day);
  TDateTime time = 0;
  PartsTime(parts, time);
  return CombineDateTime(EncodeDate(g, 1, 1) + distance, time);
}

int TcxHebrewCalendarTable::ParseDayText(const AnsiString& text) const {
  const int value = HebrewLetterValue(text);
  return value != 0 ? value : TcxCustomCalendarTable::ParseDayText(text);
}

int TcxHebrewCalendarTable::ParseYearText(const AnsiString& text) const {
  const int value = HebrewLetterValue(text);
  return value != 0 ? value + 5000 : TcxCustomCalendarTable::ParseYearText(text);
}

int TcxHebrewCalendarTable::ParseMonthText(int year, const AnsiString& text) const {
  const int value = HebrewLetterValue(text);
  if (value != 0 && MonthIsValidOf(year, value)) return value;
  for (int n = 1; n <= 13; ++n) {
    if (MonthIsValidOf(year, n) && AnsiSameText(text, CalendarLongMonthName(*this, ComposeYmd(year, n, 1)))) return n;
    const TDateTime dayValue = ComposeYmd(EarliestYear(), 1, n);
    if (AnsiSameText(text, CalendarDayText(dayValue))) return n;
  }
  return TcxCustomCalendarTable::ParseMonthText(year, text);
}

// ---- the factory and the sources of locale facts ----

std::unique_ptr<TcxCustomCalendarTable> CalendarTableFor(uint32_t calendarId) {
  switch (calendarId) {
    case 1: case 2: case 9: case 10: case 11: case 12: {
      auto table = std::make_unique<TcxGregorianCalendarTable>();
      table->GregorianCalendarId = calendarId;
      return table;
    }
    case 3: return std::make_unique<TcxJapaneseCalendarTable>();
    case 4: return std::make_unique<TcxTaiwanCalendarTable>();
    case 5: return std::make_unique<TcxKoreanCalendarTable>();
    case 6: return std::make_unique<TcxHijriCalendarTable>();
    case 7: return std::make_unique<TcxThaiCalendarTable>();
    case 8: return std::make_unique<TcxHebrewCalendarTable>();
    default: return std::make_unique<TcxGregorianCalendarTable>();
  }
}

std::unique_ptr<TcxCustomCalendarTable> LocaleCalendarTable() { return CalendarTableFor(LocaleCalendarId()); }

namespace {
TcxCalendarInfoSource g_calendarInfoSource = nullptr;
TcxCalendarLocaleTexts g_localeTexts;
}  // namespace

TcxCalendarInfoSource SetCalendarInfoSource(TcxCalendarInfoSource source) {
  const TcxCalendarInfoSource previous = g_calendarInfoSource;
  g_calendarInfoSource = source;
  return previous;
}

int QueryCalendarInfo(uint32_t locale, uint32_t calendarId, uint32_t infoType, char* buffer, int size,
                      uint32_t* number) {
  return g_calendarInfoSource ? g_calendarInfoSource(locale, calendarId, infoType, buffer, size, number)
                              : CalendarInfo(locale, calendarId, infoType, buffer, size, number);
}

bool CalendarInfoNumber(uint32_t calendarId, uint32_t infoType, int& number) {
  uint32_t value = 0;
  if (QueryCalendarInfo(cxLocaleUserDefault, calendarId, infoType | cxCalReturnNumber, nullptr, 0, &value) == 0)
    return false;
  if (value > uint32_t(std::numeric_limits<int>::max())) return false;
  number = int(value);
  return true;
}

AnsiString CalendarInfoText(uint32_t calendarId, uint32_t infoType) {
  char buffer[256] = {};
  const int n = QueryCalendarInfo(cxLocaleUserDefault, calendarId, infoType, buffer, int(sizeof buffer), nullptr);
  if (n <= 0 || n > int(sizeof buffer)) return AnsiString();
  // The count includes the terminating zero.
  return AnsiString(buffer, size_t(n - 1));
}

TcxCalendarLocaleTexts SetCalendarLocaleTexts(const TcxCalendarLocaleTexts& texts) {
  const TcxCalendarLocaleTexts previous = g_localeTexts;
  g_localeTexts = texts;
  return previous;
}

AnsiString CalendarLongMonthName(const TcxCustomCalendarTable& table, TDateTime value) {
  if (g_localeTexts.LongMonthName) return g_localeTexts.LongMonthName(table, value);
  const int month = table.DecodeValue(value).Month;
  return month >= 1 && month <= 12 ? FormatSettings().LongMonthNames[month - 1] : AnsiString();
}

AnsiString CalendarDayText(TDateTime value) {
  if (g_localeTexts.DayText) return g_localeTexts.DayText(value);
  return FormatDateTime("d", value);
}
