// Calendar tables: the date editors and the calendar control work in the
// calendar of the user's locale. Each Windows calendar has a table class
// that converts between a TDateTime and calendar parts (era, year, month,
// day, time), does calendar arithmetic and answers validity, leap and week
// questions; `CalendarTableFor` picks the class by Windows calendar id and
// `LocaleCalendarTable` (CalendarLocale.h) by the user's locale. The caller
// owns a table; a table holds no state beyond its eras. Portable: the
// locale's numbers and names are asked through CalendarLocale.h.
#pragma once

#include "platform/DateTime.h"
#include "platform/Persistent.h"

#include <cstdint>
#include <memory>
#include <vector>

struct TcxCalendarDate {
  int32_t Era = -1;  // index in the table's era list; -1 the table's default era
  int32_t Year = 0;
  int32_t Month = 0;
  int32_t Day = 0;
};

struct TcxCalendarDateTime {
  int32_t Era = -1;
  int32_t Year = 0;
  int32_t Month = 0;
  int32_t Day = 0;
  uint8_t Hours = 0;
  uint8_t Minutes = 0;
  uint8_t Seconds = 0;
  uint16_t Milliseconds = 0;
};

// One era of a calendar: Gregorian year = era year + YearShift.
class TcxEra : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxEra() = default;
  TcxEra(int32_t eraNumber, int32_t yearShift, int32_t firstEraYear, int32_t lastEraYear, TDateTime eraStart);
  // Copies all five fields from another era.
  void Assign(TPersistent* source) override;

  int32_t EraNumber = 0;
  int32_t LastEraYear = 0;
  int32_t FirstEraYear = 0;
  TDateTime EraStart = 0;
  int32_t YearShift = 0;
};

// An owning list of eras, in the order the table searches them.
using TcxEras = std::vector<std::unique_ptr<TcxEra>>;

// The null date of the editors and the value invalid parts compose to
// below a table's own earliest date.
inline constexpr TDateTime cxNullDate = -700000;

class TcxCustomCalendarTable : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxCustomCalendarTable() = default;
  TcxCustomCalendarTable(const TcxCustomCalendarTable&) = delete;
  TcxCustomCalendarTable& operator=(const TcxCustomCalendarTable&) = delete;

  const TcxEras& Eras() const { return FEras; }

  // Year and era to the era that holds 1 January (or month/day) of the year:
  // the year becomes Gregorian, then the era found and the year in it.
  virtual void NormalizeYearEra(int& year, int& era) const;
  virtual void NormalizeYearEraAt(int& year, int& era, int month, int day) const;
  // 1 the Gregorian family, 2 Hijri, 3 Hebrew.
  virtual int AlgorithmKind() const = 0;
  // The Windows calendar id (CAL_GREGORIAN ...).
  virtual uint32_t CalendarId() const = 0;
  // The era used for era index -1.
  virtual const TcxEra& DefaultEra() const = 0;
  virtual TDateTime LatestDate() const = 0;
  virtual TDateTime EarliestDate() const = 0;
  // Moves a value outside EarliestDate..LatestDate to the nearer end.
  virtual void ClampDate(TDateTime& value) const;
  virtual int LatestYear() const = 0;
  virtual int EarliestYear() const = 0;

  // Calendar arithmetic; results are clamped to the supported range and
  // invalid parts give EarliestDate.
  virtual TDateTime ShiftDays(const TcxCalendarDateTime& parts, int n) const;
  virtual TDateTime ShiftMonthsOfValue(TDateTime value, int n) const;
  virtual TDateTime ShiftMonths(const TcxCalendarDateTime& parts, int n) const;
  virtual TDateTime ShiftYearsOfValue(TDateTime value, int n) const;
  virtual TDateTime ShiftYears(const TcxCalendarDateTime& parts, int n) const;
  virtual TDateTime ShiftWeeksOfValue(TDateTime value, int n) const;
  virtual TDateTime ShiftWeeks(const TcxCalendarDateTime& parts, int n) const;

  virtual TcxCalendarDateTime DecodeValue(TDateTime value) const = 0;
  // The parts of a Gregorian date (and time) given as numbers.
  virtual TcxCalendarDateTime DecodeYmd(int year, int month, int day) const;
  virtual TcxCalendarDateTime DecodeYmdHms(int year, int month, int day, int hour, int minute, int second,
                                           int msec) const;
  // 1 for the first day of the year.
  virtual int DayIndexInYearOfValue(TDateTime value) const;
  virtual int DayIndexInYear(const TcxCalendarDateTime& parts) const;
  virtual int MonthLengthOf(int year, int month) const;
  virtual int MonthLength(int era, int year, int month) const = 0;
  virtual int YearLengthOf(int year) const;
  virtual int YearLength(int era, int year) const = 0;
  virtual int EraIndexOfYear(int year) const;
  // The last era in list order that starts on or before the Gregorian
  // date; -1 when none does or the table has no eras.
  virtual int EraIndexAt(int year, int month, int day) const;
  virtual TDateTime WeekStartOfValue(TDateTime value) const;
  // The latest day on or before `value` that falls on `weekday` (0 Sunday).
  virtual TDateTime WeekStartBefore(int weekday, TDateTime value) const;
  virtual void WeekStart(const TcxCalendarDateTime& parts, TcxCalendarDateTime& result) const;
  virtual void WeekStartFrom(const TcxCalendarDateTime& parts, int weekday, TcxCalendarDateTime& result) const;
  // 0 Sunday .. 6 Saturday.
  virtual int WeekFirstDay() const = 0;
  virtual int WholeWeeksInYear(int year) const = 0;
  virtual int MonthCountOf(int year) const;
  virtual int MonthCount(int era, int year) const = 0;
  virtual int YearOfValue(TDateTime value) const;
  virtual int YearOfDate(const TcxCalendarDate& date) const;
  virtual int YearOfDateTime(const TcxCalendarDateTime& parts) const;
  // 0 Sunday .. 6 Saturday.
  virtual int WeekdayOfValue(TDateTime value) const;
  virtual int Weekday(const TcxCalendarDateTime& parts) const;
  // Rule 0 the locale's first week of the year; 1 the week of 1 January,
  // 2 the first full week, 3 the first week with four days.
  virtual int WeekNumberOfValue(TDateTime value, int firstWeekday, int rule) const;
  virtual int WeekNumber(const TcxCalendarDateTime& parts, int firstWeekday, int rule) const = 0;
  virtual bool DayIsLeapOf(int year, int month, int day) const;
  virtual bool DayIsLeap(int era, int year, int month, int day) const = 0;
  virtual bool MonthIsLeapOf(int year, int month) const;
  virtual bool MonthIsLeap(int era, int year, int month) const = 0;
  virtual bool YearIsLeapOf(int year) const;
  virtual bool YearIsLeap(int era, int year) const = 0;
  // EarliestYear <= year <= LatestYear; the era is not consulted.
  virtual bool YearIsValidOf(int year) const;
  virtual bool YearIsValid(int era, int year) const;
  virtual bool MonthIsValidOf(int year, int month) const;
  virtual bool MonthIsValid(int era, int year, int month) const;
  virtual bool DayIsValidOf(int year, int month, int day) const;
  virtual bool DayIsValid(int era, int year, int month, int day) const;
  virtual bool ValueIsValid(TDateTime value) const;
  virtual TDateTime ComposeDate(const TcxCalendarDate& date) const;
  virtual TDateTime ComposeYmd(int year, int month, int day) const;
  virtual TDateTime ComposeYmdHms(int year, int month, int day, int hour, int minute, int second, int msec) const;
  virtual TDateTime Compose(const TcxCalendarDateTime& parts) const = 0;
  // Typed parts of a date; a text that is no number raises EConvertError.
  virtual int ParseDayText(const AnsiString& text) const;
  virtual int ParseMonthText(int year, const AnsiString& text) const;
  // A text of one or two characters falls in the calendar's century window.
  virtual int ParseYearText(const AnsiString& text) const;

  // Adds the shift of the era at `era` (DefaultEra for -1; nothing for an
  // index outside the list).
  void EraYearToGregorian(int& year, int era) const;
  // True, with EarliestDate as the value, when the parts are no valid day.
  bool RejectInvalid(const TcxCalendarDateTime& parts, TDateTime& value) const;

protected:
  TcxEras FEras;
  // The week rule used by WeekNumber for rule 0.
  static int ResolveWeekRule(int rule);
  // WeekNumber with the week starting on `weekday`.
  int WeekNumberFrom(const TcxCalendarDateTime& parts, int weekday, int rule) const;
};

class TcxGregorianCalendarTable : public TcxCustomCalendarTable {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxGregorianCalendarTable();
  // 1 unless the factory gives another Gregorian id (2, 9-12).
  uint32_t GregorianCalendarId = 1;

  int AlgorithmKind() const override { return 1; }
  uint32_t CalendarId() const override { return GregorianCalendarId; }
  const TcxEra& DefaultEra() const override { return FDefaultEraObject; }
  TDateTime LatestDate() const override;
  TDateTime EarliestDate() const override;
  int LatestYear() const override { return 9999; }
  int EarliestYear() const override { return 1; }
  TcxCalendarDateTime DecodeValue(TDateTime value) const override;
  int MonthLength(int era, int year, int month) const override;
  int YearLength(int era, int year) const override;
  int WeekFirstDay() const override;
  int WholeWeeksInYear(int year) const override;
  int MonthCount(int era, int year) const override;
  int WeekNumber(const TcxCalendarDateTime& parts, int firstWeekday, int rule) const override;
  bool DayIsLeap(int era, int year, int month, int day) const override;
  bool MonthIsLeap(int era, int year, int month) const override;
  bool YearIsLeap(int era, int year) const override;
  TDateTime Compose(const TcxCalendarDateTime& parts) const override;

protected:
  TcxEra FDefaultEraObject;
};

// Japanese eras; the latest era is the default.
class TcxJapaneseCalendarTable : public TcxGregorianCalendarTable {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxJapaneseCalendarTable();
  uint32_t CalendarId() const override { return 3; }
  const TcxEra& DefaultEra() const override;
  TDateTime EarliestDate() const override;
  int LatestYear() const override { return 8011; }
  int EarliestYear() const override { return 1; }
  int WeekFirstDay() const override { return 0; }
  TcxCalendarDateTime DecodeValue(TDateTime value) const override;
  TDateTime Compose(const TcxCalendarDateTime& parts) const override;

protected:
  // For the one-era descendants: the list holds just that era.
  explicit TcxJapaneseCalendarTable(const TcxEra& onlyEra);
};

class TcxTaiwanCalendarTable : public TcxJapaneseCalendarTable {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxTaiwanCalendarTable();
  uint32_t CalendarId() const override { return 4; }
  int LatestYear() const override { return 8088; }
  int EarliestYear() const override { return 1; }
};

class TcxKoreanCalendarTable : public TcxJapaneseCalendarTable {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxKoreanCalendarTable();
  uint32_t CalendarId() const override { return 5; }
  int LatestYear() const override { return 12332; }
  int EarliestYear() const override { return 2334; }
};

class TcxThaiCalendarTable : public TcxJapaneseCalendarTable {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TcxThaiCalendarTable();
  uint32_t CalendarId() const override { return 7; }
  int LatestYear() const override { return 10542; }
  int EarliestYear() const override { return 544; }
};

// The tabular Islamic calendar (30-year cycle of 11 leap years).
class TcxHijriCalendarTable : public TcxCustomCalendarTable {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxHijriCalendarTable();
  int AlgorithmKind() const override { return 2; }
  uint32_t CalendarId() const override { return 6; }
  const TcxEra& DefaultEra() const override { return FDefaultEraObject; }
  TDateTime LatestDate() const override;
  TDateTime EarliestDate() const override;
  int LatestYear() const override { return 9666; }
  int EarliestYear() const override { return 1; }
  TcxCalendarDateTime DecodeValue(TDateTime value) const override;
  int MonthLength(int era, int year, int month) const override;
  int YearLength(int era, int year) const override;
  int WeekFirstDay() const override { return 6; }
  int WholeWeeksInYear(int year) const override;
  int MonthCount(int era, int year) const override;
  int WeekNumber(const TcxCalendarDateTime& parts, int firstWeekday, int rule) const override;
  bool DayIsLeap(int era, int year, int month, int day) const override;
  bool MonthIsLeap(int era, int year, int month) const override;
  bool YearIsLeap(int era, int year) const override;
  TDateTime Compose(const TcxCalendarDateTime& parts) const override;
  int ParseMonthText(int year, const AnsiString& text) const override;

private:
  TcxEra FDefaultEraObject;
};

// The Hebrew calendar for 1 January 1583 to 29 September 2239 (years
// 5343-5999), from the year table in HebrewYears.inc. Months run from
// Tishri (1) to Elul (12, or 13 in leap years, when 7 is the inserted month).
class TcxHebrewCalendarTable : public TcxCustomCalendarTable {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TcxHebrewCalendarTable();
  int AlgorithmKind() const override { return 3; }
  uint32_t CalendarId() const override { return 8; }
  const TcxEra& DefaultEra() const override { return FDefaultEraObject; }
  TDateTime LatestDate() const override;
  TDateTime EarliestDate() const override;
  int LatestYear() const override { return 5999; }
  int EarliestYear() const override { return 5343; }
  TcxCalendarDateTime DecodeValue(TDateTime value) const override;
  int MonthLength(int era, int year, int month) const override;
  int YearLength(int era, int year) const override;
  int WeekFirstDay() const override { return 0; }
  int WholeWeeksInYear(int year) const override;
  int MonthCount(int era, int year) const override;
  int WeekNumber(const TcxCalendarDateTime& parts, int firstWeekday, int rule) const override;
  bool DayIsLeap(int era, int year, int month, int day) const override;
  bool MonthIsLeap(int era, int year, int month) const override;
  bool YearIsLeap(int era, int year) const override;
  TDateTime Compose(const TcxCalendarDateTime& parts) const override;
  int ParseDayText(const AnsiString& text) const override;
  int ParseMonthText(int year, const AnsiString& text) const override;
  int ParseYearText(const AnsiString& text) const override;

private:
  TcxEra FDefaultEraObject;
};

// A table for a Windows calendar id: 1, 2 and 9-12 Gregorian with that id,
// 3 Japanese, 4 Taiwan, 5 Korean, 6 Hijri, 7 Thai, 8 Hebrew; any other id
// Gregorian with id 1.
std::unique_ptr<TcxCustomCalendarTable> CalendarTableFor(uint32_t calendarId);
std::unique_ptr<TcxEra> CreateEra(int32_t eraNumber, int32_t yearShift, int32_t firstEraYear, int32_t lastEraYear,
                                  TDateTime eraStart);

// The Hebrew year table: for Gregorian years 1583-2240 (Hebrew 5343-6000)
// the Hebrew date of 1 January (n 1-29 day n of month 4; 30 day 30 and 33
// day 29 of month 3; 0, 31, 32 days 1, 2, 3 of month 5) and the year type
// (1-3 common years of 353-355 days, 4-6 leap years of 383-385).
struct TcxHebrewYearEntry {
  int32_t JanuaryFirst;
  int32_t YearType;
};
inline constexpr int cxHebrewTableFirstYear = 1583;
inline constexpr int cxHebrewTableLastYear = 2240;
const TcxHebrewYearEntry* HebrewYearEntry(int gregorianYear);  // null outside the table
// Month lengths by stored year type (rows 1-6) and month (1-13).
int HebrewMonthLengthEntry(int yearType, int month);
// The Hebrew month and day of 1 January of a Gregorian year in the table.
void HebrewJanuaryFirst(int gregorianYear, int& month, int& day);
// Days from (fromMonth, fromDay) to (toMonth, toDay) in a Hebrew year of
// the stored type; negative when the second lies before the first.
int HebrewDayDistance(int yearType, int fromMonth, int fromDay, int toMonth, int toDay);
// The sum of the Hebrew letters of a Windows-1255 text (final forms as
// their base letters; other characters 0).
int HebrewLetterValue(const AnsiString& text);
