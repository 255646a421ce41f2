// Dates and times: encoding, decoding, pictures and text read back per
// locale, and the replaceable clock. Built natively and, through
// tests/platform/core/PortableTests.cpp, under Wine.
#include "platform/DateTime.h"
#include "platform/Exceptions.h"
#include "platform/Seams.h"
#include "tests/native/platform/FormatRecords.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace test_formats;

namespace {

struct Ymd {
  int Year, Month, Day;
};

Ymd DateOf(TDateTime value) {
  Ymd d;
  DecodeDate(value, d.Year, d.Month, d.Day);
  return d;
}

TEST(DateTimeTest, EncodeAndDecodeDays) {
  struct Case {
    int Year, Month, Day;
    double Value;
  };
  const Case cases[] = {
      {1899, 12, 30, 0},    {1899, 12, 29, -1},         {1900, 1, 1, 2},           {2000, 1, 1, 36526},
      {2024, 1, 15, 45306}, {2024, 2, 29, 45351},       {100, 1, 1, MinDateTime},  {9999, 12, 31, 2958465},
      {1, 1, 1, -693593},   {1600, 2, 29, -109512},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Value) << c.Year << "-" << c.Month << "-" << c.Day;
    const Ymd back = DateOf(c.Value);
    EXPECT_EQ(back.Year, c.Year);
    EXPECT_EQ(back.Month, c.Month);
    EXPECT_EQ(back.Day, c.Day);
  }
  TDateTime scratch;
  const Ymd invalid[] = {{2023, 2, 29}, {0, 1, 1}, {10000, 1, 1}, {2024, 13, 1}, {2024, 4, 31}, {2024, 1, 0}};
  for (const Ymd& d : invalid) EXPECT_FALSE(TryEncodeDate(d.Year, d.Month, d.Day, scratch)) << d.Year << "-" << d.Month;
  EXPECT_THROW(EncodeDate(2023, 2, 29), EConvertError);
  EXPECT_EQ(DayOfWeek(EncodeDate(2024, 1, 15)), 2);  // a Monday
  EXPECT_EQ(DayOfWeek(EncodeDate(1899, 12, 30)), 7);  // a Saturday
  EXPECT_TRUE(IsLeapYear(2000));
  EXPECT_FALSE(IsLeapYear(1900));
  EXPECT_EQ(DaysInAMonth(2024, 2), 29);
  EXPECT_EQ(DaysInAMonth(2024, 13), 0);
}

TEST(DateTimeTest, TimesBeforeTheEpochCountForwardWithinTheirDay) {
  int h, n, s, ms;
  const TDateTime value = -1.25;  // 29 December 1899, 06:00
  const Ymd d = DateOf(value);
  EXPECT_EQ(d.Day, 29);
  DecodeTime(value, h, n, s, ms);
  EXPECT_EQ(h, 6);
  EXPECT_EQ(EncodeTime(6, 0, 0, 0), 0.25);
  EXPECT_THROW(EncodeTime(24, 0, 0, 0), EConvertError);
  TDateTime scratch;
  EXPECT_FALSE(TryEncodeTime(0, 60, 0, 0, scratch));
  EXPECT_FALSE(TryEncodeTime(0, 0, 0, 1000, scratch));
}

TEST(DateTimeTest, TimeRoundingToMidnightMovesToTheNextDay) {
  const TDateTime almost = 1 - 1e-11;  // 0.9 microseconds before midnight of 31 December 1899
  int h, n, s, ms;
  DecodeTime(almost, h, n, s, ms);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(ms, 0);
  EXPECT_EQ(DateOf(almost).Day, 31);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn:ss.zzz", almost, InvariantFormatSettings()), "1899-12-31 00:00:00.000");
}

TEST(DateTimeTest, ValuesOutsideTheCalendarDecodeAsZero) {
  for (double value : {-700000.0, std::nan(""), 1e300}) {
    const Ymd d = DateOf(value);
    EXPECT_EQ(d.Year, 0) << value;
    EXPECT_EQ(d.Month, 0) << value;
  }
  EXPECT_EQ(FormatDateTime("yyyy/m/d", -700000.0, InvariantFormatSettings()), "0000/0/0");
}

struct DatePictureCase {
  const char* Name;
  const char* Format;
  const char* Text;
};

TEST(DateTimeTest, FormatDateTimePictures) {
  const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);
  const DatePictureCase cases[] = {
      {"Numbers", "yyyy-mm-dd hh:nn:ss.zzz", "2024-03-05 14:07:09.045"},
      {"Short", "d/m/yy", "5/3/24"},
      {"Names", "dddd, mmmm d", "Tuesday, March 5"},
      {"ShortNames", "ddd mmm", "Tue Mar"},
      {"DayNamesByA", "aaaa aaa", "Tuesday Tue"},
      {"MinuteAfterHour", "hh:mm", "14:07"},
      {"MonthNotAfterHour", "mm/dd", "03/05"},
      {"LowerDesignator", "h:mm am/pm", "2:07 pm"},
      {"UpperDesignator", "h:mm AM/PM", "2:07 PM"},
      {"LetterDesignator", "hh:mm a/p", "02:07 p"},
      {"LocaleDesignator", "h:mm ampm", "2:07 PM"},
      {"DesignatorOnlyAfterItsHour", "h ampm h", "2 PM 14"},
      {"Milliseconds", "s.z", "9.45"},
      {"CombinedC", "c", "3/5/2024 2:07:09 PM"},
      {"ShortDate", "ddddd", "3/5/2024"},
      {"LongDate", "dddddd", "Tuesday, March 5, 2024"},
      {"ShortTime", "t", "2:07 PM"},
      {"LongTime", "tt", "2:07:09 PM"},
      {"Separators", "yyyy/mm/dd hh:nn", "2024/03/05 14:07"},
      {"SingleQuoted", "'year' yyyy", "year 2024"},
      {"DoubleQuoted", "\"at\" h", "at 14"},
      {"OtherCharacters", "[yyyy]", "[2024]"},
      {"EmptyIsC", "", "3/5/2024 2:07:09 PM"},
  };
  for (const DatePictureCase& c : cases) EXPECT_EQ(FormatDateTime(c.Format, value, InvariantFormatSettings()), c.Text) << c.Name;

  const TFormatSettings german = German();
  EXPECT_EQ(FormatDateTime("c", value, german), "05.03.2024 14:07:09");
  EXPECT_EQ(FormatDateTime("yyyy/mm/dd", value, german), "2024.03.05");
  EXPECT_EQ(FormatDateTime("dddddd", value, Chinese()), "2024\xC4\xEA" "3\xD4\xC2" "5\xC8\xD5");
  EXPECT_EQ(FormatDateTime("tt", value, Chinese()), "14:07:09");
}

TEST(DateTimeTest, TwelveHourClockAroundMidnightAndNoon) {
  const TFormatSettings inv = InvariantFormatSettings();
  EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(0, 30, 0, 0), inv), "12:30 am");
  EXPECT_EQ(FormatDateTime("h:nn am/pm", EncodeTime(12, 0, 0, 0), inv), "12:00 pm");
  EXPECT_EQ(FormatDateTime("hh:nn:ss AMPM", 1.5, inv), "12:00:00 PM");
  EXPECT_EQ(FormatDateTime("c", EncodeDate(2024, 3, 5), inv), "3/5/2024");  // no time at midnight
}

TEST(DateTimeTest, NestedFormatsEnd) {
  TFormatSettings looping = InvariantFormatSettings();
  looping.ShortDateFormat = "ddddd";
  looping.LongTimeFormat = "tt x";
  EXPECT_EQ(FormatDateTime("ddddd", 1.5, looping), "");
  EXPECT_EQ(FormatDateTime("tt", 1.5, looping), " x x");
}

TEST(DateTimeTest, DateTextPerLocale) {
  const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  EXPECT_EQ(DateToStr(value, InvariantFormatSettings()), "3/5/2024");
  EXPECT_EQ(TimeToStr(value, InvariantFormatSettings()), "2:07:09 PM");
  EXPECT_EQ(DateTimeToStr(value, InvariantFormatSettings()), "3/5/2024 2:07:09 PM");
  EXPECT_EQ(DateToStr(value, German()), "05.03.2024");
  EXPECT_EQ(TimeToStr(value, German()), "14:07:09");
  EXPECT_EQ(DateToStr(value, Chinese()), "2024/3/5");
  EXPECT_EQ(DateTimeToStr(value, Chinese()), "2024/3/5 14:07:09");
}

struct DateReadCase {
  const char* Name;
  const char* Text;
  bool Ok;
  double Value;
};

void CheckReads(const char* kind, bool (*read)(const AnsiString&, TDateTime&, const TFormatSettings&),
                const TFormatSettings& settings, const DateReadCase* cases, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const DateReadCase& c = cases[i];
    TDateTime value = -99;
    EXPECT_EQ(read(c.Text, value, settings), c.Ok) << kind << " " << c.Name;
    if (c.Ok) {
      EXPECT_NEAR(value, c.Value, 1e-9) << kind << " " << c.Name;
    }
  }
}

TEST(DateTimeTest, TextToDatePerLocale) {
  TFormatsScope scope;
  scope.SetNow(EncodeDate(2024, 6, 15) + 0.5);
  const double march5 = EncodeDate(2024, 3, 5);
  const DateReadCase invariant[] = {
      {"Full", "3/5/2024", true, march5},
      {"Blanks", "  3/5/2024  ", true, march5},
      {"CurrentYear", "3/5", true, march5},
      {"TrailingSeparator", "3/5/2024/", true, march5},
      {"TwoDigitYear", "3/5/24", true, march5},
      {"InTheWindow", "3/5/75", true, EncodeDate(1975, 3, 5)},
      {"BeforeTheWindow", "3/5/73", true, EncodeDate(2073, 3, 5)},
      {"FourDigitEarlyYear", "3/5/0024", true, EncodeDate(24, 3, 5)},
      {"NoSuchDay", "2/30/2024", false, 0},
      {"NoSuchMonth", "13/1/2024", false, 0},
      {"OtherSeparator", "3-5-2024", false, 0},
      {"Empty", "", false, 0},
      {"OneNumber", "3", false, 0},
      {"Trailing", "3/5/2024x", false, 0},
      {"WithTime", "3/5/2024 10:30", false, 0},
      {"LongNumber", "3/5/20245", false, 0},
  };
  CheckReads("date", TryStrToDate, InvariantFormatSettings(), invariant, std::size(invariant));
  const DateReadCase german[] = {
      {"DayFirst", "05.03.2024", true, march5},
      {"DayFirstCurrentYear", "5.3", true, march5},
      {"Slashes", "05/03/2024", false, 0},
  };
  CheckReads("date", TryStrToDate, German(), german, std::size(german));
  const DateReadCase chinese[] = {
      {"YearFirst", "2024/3/5", true, march5},
      {"MonthDayCurrentYear", "3/5", true, march5},
  };
  CheckReads("date", TryStrToDate, Chinese(), chinese, std::size(chinese));
  try {
    StrToDate("x", InvariantFormatSettings());
    ADD_FAILURE() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'x' is not a valid date");
  }
}

TEST(DateTimeTest, TextToTimePerLocale) {
  const DateReadCase invariant[] = {
      {"HourMinute", "14:07", true, EncodeTime(14, 7, 0, 0)},
      {"Afternoon", "2:07 PM", true, EncodeTime(14, 7, 0, 0)},
      {"LowerCase", "2:07:09.045 pm", true, EncodeTime(14, 7, 9, 45)},
      {"DesignatorFirst", "AM 10:00", true, EncodeTime(10, 0, 0, 0)},
      {"MidnightHour", "12:00 AM", true, 0},
      {"NoonHour", "12:30 PM", true, EncodeTime(12, 30, 0, 0)},
      {"HourAlone", "10", true, EncodeTime(10, 0, 0, 0)},
      {"ThirteenPm", "13:00 PM", false, 0},
      {"ZeroAm", "0:00 AM", false, 0},
      {"Hour24", "24:00", false, 0},
      {"Minute60", "10:60", false, 0},
      {"Letters", "abc", false, 0},
      {"Empty", "", false, 0},
      {"Dangling", "10:", false, 0},
  };
  CheckReads("time", TryStrToTime, InvariantFormatSettings(), invariant, std::size(invariant));
  const DateReadCase chinese[] = {
      {"LocaleAfternoonFirst", "\xCF\xC2\xCE\xE7 3:00", true, EncodeTime(15, 0, 0, 0)},
      {"LocaleMorningAfter", "11:15 \xC9\xCF\xCE\xE7", true, EncodeTime(11, 15, 0, 0)},
      {"TwentyFourHours", "23:59:59", true, EncodeTime(23, 59, 59, 0)},
  };
  CheckReads("time", TryStrToTime, Chinese(), chinese, std::size(chinese));
  EXPECT_THROW(StrToTime("x", InvariantFormatSettings()), EConvertError);
}

TEST(DateTimeTest, TextToDateAndTime) {
  TFormatsScope scope;
  scope.SetNow(EncodeDate(2024, 6, 15));
  const DateReadCase cases[] = {
      {"Both", "3/5/2024 2:07 PM", true, EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 0, 0)},
      {"DateAlone", "3/5/2024", true, EncodeDate(2024, 3, 5)},
      {"TimeAlone", "2:07 PM", true, EncodeTime(14, 7, 0, 0)},
      {"BeforeTheEpoch", "12/29/1899 6:00", true, -1.25},
      {"DateAndJunk", "3/5/2024 x", false, 0},
  };
  CheckReads("date and time", TryStrToDateTime, InvariantFormatSettings(), cases, std::size(cases));
  try {
    StrToDateTime("3/5/2024 x", InvariantFormatSettings());
    ADD_FAILURE() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'3/5/2024 x' is not a valid date and time");
  }
}

TEST(DateTimeTest, TextRoundTripsPerLocale) {
  const TDateTime value = EncodeDate(1987, 11, 23) + EncodeTime(9, 41, 5, 0);
  for (const TFormatSettings& settings : {InvariantFormatSettings(), German(), Chinese()})
    EXPECT_NEAR(StrToDateTime(DateTimeToStr(value, settings), settings), value, 1e-9) << settings.ShortDateFormat;
}

TEST(SeamsTest, ClockTicksAndBeepsAreReplaceable) {
  TFormatsScope scope;
  scope.SetNow(EncodeDate(2024, 6, 15) + EncodeTime(18, 0, 0, 0));
  EXPECT_EQ(Now(), EncodeDate(2024, 6, 15) + 0.75);
  EXPECT_EQ(Date(), EncodeDate(2024, 6, 15));
  EXPECT_EQ(Time(), 0.75);

  uint32_t ticks = 1000;
  TTickSource previousTicks = SetTickSource([&] { return ticks += 10; });
  EXPECT_EQ(TickCount(), 1010u);
  EXPECT_EQ(TickCount(), 1020u);
  SetTickSource(std::move(previousTicks));

  std::vector<unsigned> beeps;
  TBeepSink previousBeep = SetBeepSink([&](unsigned type) { beeps.push_back(type); });
  SystemBeep();
  SystemBeep(0x10);
  SetBeepSink(std::move(previousBeep));
  EXPECT_EQ(beeps, (std::vector<unsigned>{0, 0x10}));
}

}  // namespace
