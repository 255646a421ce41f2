// Calendar tables: arithmetic, eras, the Hebrew year table and typed parts.
// Portable: runs natively too (tests/native/editors/framework).
#include "editors/framework/CalendarLocale.h"
#include "editors/framework/CalendarTables.h"

#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <memory>

namespace {

TcxCalendarDateTime Parts(int era, int year, int month, int day) {
  TcxCalendarDateTime parts;
  parts.Era = era;
  parts.Year = year;
  parts.Month = month;
  parts.Day = day;
  return parts;
}

// Replaces the calendar information for one test: a two-digit-year maximum.
class TwoDigitYearMax {
public:
  explicit TwoDigitYearMax(int maximum) {
    s_maximum = maximum;
    FPrevious = SetCalendarInfoSource(&Answer);
  }
  ~TwoDigitYearMax() { SetCalendarInfoSource(FPrevious); }

private:
  static int Answer(uint32_t, uint32_t, uint32_t infoType, char*, int, uint32_t* number) {
    if (infoType != (cxCalTwoDigitYearMax | cxCalReturnNumber) || !number) return 0;
    *number = uint32_t(s_maximum);
    return 2;
  }
  static inline int s_maximum = 0;
  TcxCalendarInfoSource FPrevious;
};

struct ShiftMonthsCase {
  const char* Name;
  int Year, Month, Day, Shift;
  int ExpectYear, ExpectMonth, ExpectDay;
};

class GregorianShiftMonths : public testing::TestWithParam<ShiftMonthsCase> {};

TEST_P(GregorianShiftMonths, LandsOnTheDayOrTheMonthsLast) {
  const ShiftMonthsCase& c = GetParam();
  TcxGregorianCalendarTable table;
  const TDateTime result = table.ShiftMonths(table.DecodeYmd(c.Year, c.Month, c.Day), c.Shift);
  EXPECT_EQ(result, EncodeDate(c.ExpectYear, c.ExpectMonth, c.ExpectDay));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GregorianShiftMonths,
    testing::Values(ShiftMonthsCase{"JanuaryEndToCommonFebruary", 2023, 1, 31, 1, 2023, 2, 28},
                    ShiftMonthsCase{"JanuaryEndToLeapFebruary", 2024, 1, 31, 1, 2024, 2, 29},
                    ShiftMonthsCase{"MarchEndBackToFebruary", 2024, 3, 31, -1, 2024, 2, 29},
                    ShiftMonthsCase{"AcrossTheYearForward", 2023, 11, 15, 3, 2024, 2, 15},
                    ShiftMonthsCase{"AcrossTheYearBack", 2024, 2, 15, -3, 2023, 11, 15},
                    ShiftMonthsCase{"WholeYears", 2020, 2, 29, 48, 2024, 2, 29}),
    [](const auto& info) { return info.param.Name; });

TEST(CalendarTables, ShiftsAwayFromTheRangeGiveTheEarliestDate) {
  TcxGregorianCalendarTable table;
  const TcxCalendarDateTime day = table.DecodeYmd(2024, 6, 15);
  EXPECT_EQ(table.ShiftMonths(day, INT_MAX), table.EarliestDate());
  EXPECT_EQ(table.ShiftMonths(day, INT_MIN), table.EarliestDate());
  EXPECT_EQ(table.ShiftYears(day, 8000), table.EarliestDate());
  EXPECT_EQ(table.ShiftYears(day, INT_MAX), table.EarliestDate());
  EXPECT_EQ(table.ShiftYears(table.DecodeYmd(2024, 2, 29), 1), EncodeDate(2025, 2, 28));
  EXPECT_EQ(table.ShiftWeeks(day, INT_MAX), table.LatestDate());
  EXPECT_EQ(table.Compose(Parts(-1, 2023, 2, 29)), table.EarliestDate());
  TcxCalendarDateTime badTime = day;
  badTime.Hours = 24;
  EXPECT_EQ(table.Compose(badTime), table.EarliestDate());
}

TEST(CalendarTables, TimeOfDayTravelsWithTheDate) {
  TcxHebrewCalendarTable hebrew;
  // Before 30 December 1899 the fraction still counts forward.
  const TDateTime value = EncodeDate(1700, 3, 4) - EncodeTime(6, 30, 0, 0);
  const TcxCalendarDateTime parts = hebrew.DecodeValue(value);
  EXPECT_EQ(parts.Hours, 6);
  EXPECT_EQ(parts.Minutes, 30);
  EXPECT_DOUBLE_EQ(hebrew.Compose(parts), value);
  TcxGregorianCalendarTable gregorian;
  EXPECT_DOUBLE_EQ(gregorian.ComposeYmdHms(2024, 1, 2, 12, 0, 0, 0), EncodeDate(2024, 1, 2) + 0.5);
}

TEST(CalendarTables, Hebrew5784IsALeapYear) {
  TcxHebrewCalendarTable table;
  EXPECT_TRUE(table.YearIsLeapOf(5784));
  EXPECT_EQ(table.MonthCountOf(5784), 13);
  EXPECT_EQ(table.MonthLengthOf(5784, 6), 30);
  EXPECT_EQ(table.MonthLengthOf(5784, 7), 29);
  EXPECT_TRUE(table.MonthIsLeapOf(5784, 7));
  EXPECT_FALSE(table.MonthIsLeapOf(5783, 7));
  EXPECT_EQ(table.MonthCountOf(5783), 12);
  EXPECT_EQ(table.MonthLengthOf(5783, 13), 0);
  EXPECT_EQ(table.YearLengthOf(5784), 383);
  EXPECT_EQ(table.YearLengthOf(5783), 355);
  EXPECT_EQ(table.YearLengthOf(6000), 0);
  EXPECT_EQ(table.WholeWeeksInYear(5784), 383 / 7);
}

struct HebrewDayCase {
  const char* Name;
  int GYear, GMonth, GDay;
  int Year, Month, Day;
};

class HebrewDays : public testing::TestWithParam<HebrewDayCase> {};

TEST_P(HebrewDays, DecodeAndComposeBack) {
  const HebrewDayCase& c = GetParam();
  TcxHebrewCalendarTable table;
  const TDateTime value = EncodeDate(c.GYear, c.GMonth, c.GDay);
  const TcxCalendarDateTime parts = table.DecodeValue(value);
  EXPECT_EQ(parts.Year, c.Year);
  EXPECT_EQ(parts.Month, c.Month);
  EXPECT_EQ(parts.Day, c.Day);
  EXPECT_EQ(table.ComposeYmd(c.Year, c.Month, c.Day), value);
}

INSTANTIATE_TEST_SUITE_P(Cases, HebrewDays,
                         testing::Values(HebrewDayCase{"NewYearsDay2024", 2024, 1, 1, 5784, 4, 20},
                                         HebrewDayCase{"NewYear5784", 2023, 9, 16, 5784, 1, 1},
                                         HebrewDayCase{"FirstDayOfTheRange", 1583, 1, 1, 5343, 4, 7},
                                         HebrewDayCase{"LastDayOfTheRange", 2239, 9, 29, 5999, 13, 29}),
                         [](const auto& info) { return info.param.Name; });

struct YearRowCase {
  int GregorianYear, JanuaryFirst, YearType;
};

class HebrewYearRows : public testing::TestWithParam<YearRowCase> {};

TEST_P(HebrewYearRows, HoldTheCalendarsValues) {
  const YearRowCase& c = GetParam();
  const TcxHebrewYearEntry* entry = HebrewYearEntry(c.GregorianYear);
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->JanuaryFirst, c.JanuaryFirst);
  EXPECT_EQ(entry->YearType, c.YearType);
}

INSTANTIATE_TEST_SUITE_P(Cases, HebrewYearRows,
                         testing::Values(YearRowCase{1583, 7, 3}, YearRowCase{1584, 17, 3}, YearRowCase{2023, 8, 3},
                                         YearRowCase{2024, 20, 4}, YearRowCase{2240, 6, 1}),
                         [](const auto& info) { return "Year" + std::to_string(info.param.GregorianYear); });

TEST(CalendarTables, HebrewTableEndsAtItsYears) {
  EXPECT_EQ(HebrewYearEntry(1582), nullptr);
  EXPECT_EQ(HebrewYearEntry(2241), nullptr);
}

TEST(CalendarTables, EveryHebrewDayDecodesAndComposesBack) {
  TcxHebrewCalendarTable table;
  const int64_t first = int64_t(table.EarliestDate());
  const int64_t last = int64_t(std::trunc(table.LatestDate()));
  TcxCalendarDateTime previous = table.DecodeValue(TDateTime(first));
  for (int64_t day = first; day <= last; ++day) {
    const TcxCalendarDateTime parts = table.DecodeValue(TDateTime(day));
    ASSERT_TRUE(table.DayIsValid(parts.Era, parts.Year, parts.Month, parts.Day)) << day;
    ASSERT_EQ(table.Compose(parts), TDateTime(day)) << parts.Year << "/" << parts.Month << "/" << parts.Day;
    if (day > first) {
      // The day after the previous one: next day, next month or next year.
      const bool nextDay = parts.Year == previous.Year && parts.Month == previous.Month && parts.Day == previous.Day + 1;
      const bool nextMonth = parts.Year == previous.Year && parts.Month == previous.Month + 1 && parts.Day == 1 &&
                             previous.Day == table.MonthLength(-1, previous.Year, previous.Month);
      const bool nextYear = parts.Year == previous.Year + 1 && parts.Month == 1 && parts.Day == 1 &&
                            previous.Month == table.MonthCount(-1, previous.Year);
      ASSERT_TRUE(nextDay || nextMonth || nextYear) << day;
    }
    previous = parts;
  }
  // Each year is as long as its months.
  for (int year = 5344; year < 5999; ++year)
    ASSERT_EQ(table.ComposeYmd(year + 1, 1, 1) - table.ComposeYmd(year, 1, 1), table.YearLengthOf(year)) << year;
}

TEST(CalendarTables, HebrewValuesOutsideTheRangeDecodeAsItsEnds) {
  TcxHebrewCalendarTable table;
  const TcxCalendarDateTime before = table.DecodeValue(EncodeDate(1500, 1, 1));
  EXPECT_EQ(table.Compose(before), table.EarliestDate());
  const TcxCalendarDateTime after = table.DecodeValue(EncodeDate(2300, 1, 1));
  EXPECT_EQ(after.Year, 5999);
  EXPECT_EQ(after.Hours, 23);
  const TcxCalendarDateTime nan = table.DecodeValue(std::nan(""));
  EXPECT_EQ(table.Compose(nan), table.EarliestDate());
}

TEST(CalendarTables, HijriLeapYears) {
  TcxHijriCalendarTable table;
  EXPECT_TRUE(table.YearIsLeapOf(15));
  EXPECT_FALSE(table.YearIsLeapOf(16));
  EXPECT_EQ(table.YearLengthOf(15), 355);
  EXPECT_EQ(table.YearLengthOf(16), 354);
  EXPECT_EQ(table.MonthLengthOf(15, 12), 30);
  EXPECT_EQ(table.MonthLengthOf(16, 12), 29);
  EXPECT_TRUE(table.DayIsLeapOf(15, 12, 30));
  EXPECT_FALSE(table.DayIsValidOf(16, 12, 30));
}

TEST(CalendarTables, HijriDaysDecodeAndComposeBack) {
  TcxHijriCalendarTable table;
  const int64_t first = int64_t(table.ComposeYmd(1, 1, 1));
  const int64_t last = int64_t(std::trunc(table.LatestDate()));
  // Every 13th day covers every position in month and year many times over.
  for (int64_t day = first; day <= last; day += 13) {
    const TcxCalendarDateTime parts = table.DecodeValue(TDateTime(day));
    ASSERT_TRUE(table.DayIsValid(parts.Era, parts.Year, parts.Month, parts.Day)) << day;
    ASSERT_EQ(table.Compose(parts), TDateTime(day)) << parts.Year << "/" << parts.Month << "/" << parts.Day;
  }
  for (int year = 1; year < 9666; ++year)
    ASSERT_EQ(table.ComposeYmd(year + 1, 1, 1) - table.ComposeYmd(year, 1, 1), table.YearLengthOf(year)) << year;
  // The last Gregorian day lies in the table's last year.
  EXPECT_EQ(table.YearOfValue(table.LatestDate()), 9666);
}

struct EraCase {
  const char* Name;
  uint32_t CalendarId;
  int GYear, GMonth, GDay;
  int Era, Year;
};

class EraDates : public testing::TestWithParam<EraCase> {};

TEST_P(EraDates, DecodeToTheEraAndComposeBack) {
  const EraCase& c = GetParam();
  const std::unique_ptr<TcxCustomCalendarTable> table = CalendarTableFor(c.CalendarId);
  const TDateTime value = EncodeDate(c.GYear, c.GMonth, c.GDay);
  const TcxCalendarDateTime parts = table->DecodeValue(value);
  EXPECT_EQ(parts.Era, c.Era);
  EXPECT_EQ(parts.Year, c.Year);
  EXPECT_EQ(parts.Month, c.GMonth);
  EXPECT_EQ(parts.Day, c.GDay);
  EXPECT_EQ(table->Compose(parts), value);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EraDates,
    testing::Values(EraCase{"MeijiStart", 3, 1868, 9, 8, 0, 1}, EraCase{"ShowaLastDay", 3, 1989, 1, 7, 2, 64},
                    EraCase{"HeiseiFirstDay", 3, 1989, 1, 8, 3, 1}, EraCase{"HeiseiLastDay", 3, 2019, 4, 30, 3, 31},
                    EraCase{"ReiwaFirstDay", 3, 2019, 5, 1, 4, 1}, EraCase{"Reiwa2026", 3, 2026, 12, 11, 4, 8},
                    EraCase{"Taiwan", 4, 2024, 3, 1, 0, 113}, EraCase{"Korean", 5, 2024, 3, 1, 0, 4357},
                    EraCase{"Thai", 7, 2024, 3, 1, 0, 2567}),
    [](const auto& info) { return info.param.Name; });

TEST(CalendarTables, JapaneseYearsFollowTheirEra) {
  TcxJapaneseCalendarTable table;
  ASSERT_EQ(table.Eras().size(), 5u);
  EXPECT_EQ(table.DefaultEra().EraNumber, 5);
  EXPECT_EQ(table.Eras()[3]->LastEraYear, 31);
  // Era -1 is the default era: Reiwa 1 is 2019.
  EXPECT_EQ(table.ComposeYmd(1, 5, 1), EncodeDate(2019, 5, 1));
  int year = 64, era = 2;
  table.NormalizeYearEraAt(year, era, 1, 8);
  EXPECT_EQ(era, 3);
  EXPECT_EQ(year, 1);
  // A year before the first era is told in the default era, not added twice.
  year = -300, era = -1;  // 1718
  table.NormalizeYearEra(year, era);
  EXPECT_EQ(era, -1);
  EXPECT_EQ(year, -300);
  EXPECT_EQ(table.ShiftYears(table.DecodeYmd(2019, 5, 1), -200), table.EarliestDate());
  // Shifting across an era boundary lands in the era of the result.
  const TDateTime shifted = table.ShiftYears(table.DecodeYmd(1988, 3, 1), 2);
  EXPECT_EQ(shifted, EncodeDate(1990, 3, 1));
  EXPECT_EQ(table.DecodeValue(shifted).Era, 3);
  EXPECT_EQ(table.DecodeValue(shifted).Year, 2);
}

TEST(CalendarTables, EraAssignCopiesAllFields) {
  TcxEra source(4, 1988, 1, 31, EncodeDate(1989, 1, 8));
  TcxEra copy;
  copy.Assign(&source);
  EXPECT_EQ(copy.EraNumber, 4);
  EXPECT_EQ(copy.YearShift, 1988);
  EXPECT_EQ(copy.FirstEraYear, 1);
  EXPECT_EQ(copy.LastEraYear, 31);
  EXPECT_EQ(copy.EraStart, EncodeDate(1989, 1, 8));
}

struct FactoryCase {
  uint32_t Id;
  const char* ClassName;
  uint32_t CalendarId;
  int Kind, WeekFirstDay;
};

class Factory : public testing::TestWithParam<FactoryCase> {};

TEST_P(Factory, PicksTheTableById) {
  const FactoryCase& c = GetParam();
  const std::unique_ptr<TcxCustomCalendarTable> table = CalendarTableFor(c.Id);
  EXPECT_STREQ(table->ClassType()->Name, c.ClassName);
  EXPECT_EQ(table->CalendarId(), c.CalendarId);
  EXPECT_EQ(table->AlgorithmKind(), c.Kind);
  EXPECT_EQ(table->WeekFirstDay(), c.WeekFirstDay);
}

INSTANTIATE_TEST_SUITE_P(Cases, Factory,
                         testing::Values(FactoryCase{1, "TcxGregorianCalendarTable", 1, 1, 0},
                                         FactoryCase{2, "TcxGregorianCalendarTable", 2, 1, 0},
                                         FactoryCase{9, "TcxGregorianCalendarTable", 9, 1, 1},
                                         FactoryCase{10, "TcxGregorianCalendarTable", 10, 1, 6},
                                         FactoryCase{12, "TcxGregorianCalendarTable", 12, 1, 1},
                                         FactoryCase{3, "TcxJapaneseCalendarTable", 3, 1, 0},
                                         FactoryCase{4, "TcxTaiwanCalendarTable", 4, 1, 0},
                                         FactoryCase{5, "TcxKoreanCalendarTable", 5, 1, 0},
                                         FactoryCase{6, "TcxHijriCalendarTable", 6, 2, 6},
                                         FactoryCase{7, "TcxThaiCalendarTable", 7, 1, 0},
                                         FactoryCase{8, "TcxHebrewCalendarTable", 8, 3, 0},
                                         FactoryCase{0, "TcxGregorianCalendarTable", 1, 1, 0},
                                         FactoryCase{99, "TcxGregorianCalendarTable", 1, 1, 0}),
                         [](const auto& info) { return "Id" + std::to_string(info.param.Id); });

TEST(CalendarTables, LocaleTableIsTheFactorysForTheLocaleId) {
  EXPECT_EQ(LocaleCalendarTable()->CalendarId(), CalendarTableFor(LocaleCalendarId())->CalendarId());
}

struct WeekCase {
  const char* Name;
  int Year, Month, Day, FirstWeekday, Rule, Expect;
};

class GregorianWeeks : public testing::TestWithParam<WeekCase> {};

TEST_P(GregorianWeeks, CountFromTheRulesFirstWeek) {
  const WeekCase& c = GetParam();
  TcxGregorianCalendarTable table;
  EXPECT_EQ(table.WeekNumber(table.DecodeYmd(c.Year, c.Month, c.Day), c.FirstWeekday, c.Rule), c.Expect);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GregorianWeeks,
    testing::Values(WeekCase{"WeekOfJanuaryFirst", 2024, 1, 15, 0, 1, 3},
                    WeekCase{"FirstFullWeek", 2024, 12, 31, 1, 2, 53},
                    WeekCase{"FourDaysIntoTheNextYear", 2024, 12, 31, 1, 3, 1},
                    WeekCase{"WeekOfJanuaryFirstAtYearEnd", 2024, 12, 31, 0, 1, 1},
                    WeekCase{"DaysBeforeTheFirstWeekCountAsOne", 2021, 1, 1, 1, 3, 1},
                    WeekCase{"FourDaysRuleMidYear", 2021, 6, 30, 1, 3, 26}),
    [](const auto& info) { return info.param.Name; });

TEST(CalendarTables, WholeWeeksAndWeekStarts) {
  TcxGregorianCalendarTable table;
  EXPECT_EQ(table.WholeWeeksInYear(2022), 53);  // 1 January a Saturday
  EXPECT_EQ(table.WholeWeeksInYear(2026), 52);
  EXPECT_EQ(table.WeekdayOfValue(EncodeDate(2024, 1, 1)), 1);
  EXPECT_EQ(table.WeekStartOfValue(EncodeDate(2024, 1, 3)), EncodeDate(2023, 12, 31));
  EXPECT_EQ(table.WeekStartBefore(1, EncodeDate(2024, 1, 3)), EncodeDate(2024, 1, 1));
  TcxCalendarDateTime start;
  table.WeekStartFrom(table.DecodeYmd(2024, 1, 3), 3, start);
  EXPECT_EQ(start.Day, 3);
  EXPECT_EQ(table.DayIndexInYearOfValue(EncodeDate(2024, 3, 1)), 61);
}

struct YearTextCase {
  const char* Text;
  int Expect;
};

class YearTexts : public testing::TestWithParam<YearTextCase> {};

TEST_P(YearTexts, FallInTheCenturyWindow) {
  const TwoDigitYearMax window(2029);
  TcxGregorianCalendarTable table;
  EXPECT_EQ(table.ParseYearText(GetParam().Text), GetParam().Expect);
}

INSTANTIATE_TEST_SUITE_P(Cases, YearTexts,
                         testing::Values(YearTextCase{"5", 2005}, YearTextCase{"45", 1945}, YearTextCase{"123", 123},
                                         YearTextCase{"29", 2029}, YearTextCase{"30", 1930}, YearTextCase{"05", 2005},
                                         YearTextCase{"2024", 2024}),
                         [](const auto& info) { return std::string("Text") + info.param.Text; });

TEST(CalendarTables, TypedPartsThatAreNoNumbersRaise) {
  TcxGregorianCalendarTable table;
  EXPECT_THROW(table.ParseDayText("x"), EConvertError);
  EXPECT_THROW(table.ParseYearText(""), EConvertError);
  EXPECT_EQ(table.ParseMonthText(2024, "12"), 12);
  EXPECT_EQ(table.ParseMonthText(2024, FormatSettings().LongMonthNames[2]), 3);
  EXPECT_EQ(table.ParseMonthText(2024, UpperCase(FormatSettings().ShortMonthNames[10])), 11);
  EXPECT_THROW(table.ParseMonthText(2024, "Smarch"), EConvertError);
}

struct HebrewTextCase {
  const char* Name;
  const char* Text;  // Windows-1255
  int Value;
};

class HebrewTexts : public testing::TestWithParam<HebrewTextCase> {};

TEST_P(HebrewTexts, SumTheirLetters) { EXPECT_EQ(HebrewLetterValue(GetParam().Text), GetParam().Value); }

INSTANTIATE_TEST_SUITE_P(Cases, HebrewTexts,
                         testing::Values(HebrewTextCase{"Alef", "\xE0", 1}, HebrewTextCase{"TetVav", "\xE8\xE5", 15},
                                         HebrewTextCase{"Kaf", "\xEB", 20}, HebrewTextCase{"FinalKaf", "\xEA", 20},
                                         HebrewTextCase{"FinalMem", "\xED", 40}, HebrewTextCase{"FinalNun", "\xEF", 50},
                                         HebrewTextCase{"FinalPe", "\xF3", 80}, HebrewTextCase{"FinalTsadi", "\xF5", 90},
                                         HebrewTextCase{"TavShinPeDalet", "\xFA\xF9\xF4\xE3", 784},
                                         HebrewTextCase{"OtherCharacters", "a1 ", 0}),
                         [](const auto& info) { return info.param.Name; });

TEST(CalendarTables, HebrewTypedParts) {
  TcxHebrewCalendarTable table;
  EXPECT_EQ(table.ParseDayText("\xEA"), 20);  // a final letter counts as its base
  EXPECT_EQ(table.ParseDayText("\xEB"), 20);
  EXPECT_EQ(table.ParseDayText("12"), 12);
  EXPECT_EQ(table.ParseYearText("\xFA\xF9\xF4\xE3"), 5784);
  EXPECT_EQ(table.ParseMonthText(5784, "\xE6"), 7);  // zayin: a month of the leap year
  EXPECT_EQ(table.ParseMonthText(5783, "\xE9\xE1"), 12);
  EXPECT_EQ(table.ParseMonthText(5783, "13"), 13);  // not a month of 5783, but the number stands
}

TEST(CalendarTables, HebrewMonthTextsComeFromTheLocaleTexts) {
  TcxCalendarLocaleTexts texts;
  texts.LongMonthName = [](const TcxCustomCalendarTable& table, TDateTime value) -> AnsiString {
    return "month" + IntToStr(table.DecodeValue(value).Month);
  };
  texts.DayText = [](TDateTime) -> AnsiString { return "none"; };
  const TcxCalendarLocaleTexts previous = SetCalendarLocaleTexts(texts);
  TcxHebrewCalendarTable table;
  EXPECT_EQ(table.ParseMonthText(5784, "MONTH13"), 13);
  EXPECT_EQ(table.ParseMonthText(5784, "month6"), 6);
  SetCalendarLocaleTexts(previous);
}

}  // namespace
