// Dates as the locale writes them and typed text read back, with the clock
// set by the test: smart input words with offsets, the range check and the
// locale's texts.
#include "editors/framework/DateTexts.h"

#include "editors/framework/Formats.h"
#include "platform/DateTime.h"
#include "platform/Seams.h"
#include "platform/Win32.h"

#include <gtest/gtest.h>

namespace {

// Sets the clock and the week's first day for a test and puts them back.
class FixedClock {
public:
  FixedClock(TDateTime now, int weekStartDay = 0)
      : FOld(SetClockSource([now] { return now; })), FOldWeekStart(SharedFormatController()->WeekStartDay()) {
    SharedFormatController()->SetWeekStartDay(static_cast<uint8_t>(weekStartDay));
  }
  ~FixedClock() {
    SetClockSource(FOld);
    SharedFormatController()->SetWeekStartDay(FOldWeekStart);
  }

private:
  TClockSource FOld;
  uint8_t FOldWeekStart;
};

struct SmartCase {
  const char* text;
  int clockYear, clockMonth, clockDay;
  int weekStartDay;
  int year, month, day;  // 0: the word is not taken
};

// 12 February 2024 is a Monday.
const SmartCase kSmartCases[] = {
    {"today+3", 2024, 2, 14, 0, 2024, 2, 17},
    {"TODAY+3", 2024, 2, 14, 0, 2024, 2, 17},
    {"ToDay + 3", 2024, 2, 14, 0, 2024, 2, 17},
    {"today-20", 2024, 2, 14, 0, 2024, 1, 25},
    {"today+x", 2024, 2, 14, 0, 2024, 2, 14},
    {"today+", 2024, 2, 14, 0, 2024, 2, 14},
    {"today+99999999999", 2024, 2, 14, 0, 2024, 2, 14},
    {"today 3", 2024, 2, 14, 0, 2024, 2, 14},
    {"yesterday", 2024, 3, 1, 0, 2024, 2, 29},
    {"tomorrow", 2024, 2, 14, 0, 2024, 2, 15},
    {"Monday", 2024, 2, 12, 0, 2024, 2, 12},
    {"Monday", 2024, 2, 13, 0, 2024, 2, 19},
    {"sunday", 2024, 2, 13, 0, 2024, 2, 18},
    {"eom", 2024, 2, 14, 0, 2024, 2, 29},
    {"eom", 2023, 2, 14, 0, 2023, 2, 28},
    {"bom+1", 2024, 2, 14, 0, 2024, 2, 2},
    {"first", 2024, 2, 14, 1, 2024, 2, 12},
    {"seventh", 2024, 2, 14, 1, 2024, 2, 18},
    {"first", 2024, 2, 14, 0, 2024, 2, 11},
    {"third", 2024, 2, 12, 3, 2024, 2, 9},
    {"someday", 2024, 2, 14, 0, 0, 0, 0},
    {"", 2024, 2, 14, 0, 0, 0, 0},
};

TEST(SmartInput, WordsAndOffsetsFromTheClock) {
  for (const SmartCase& c : kSmartCases) {
    SCOPED_TRACE(c.text);
    FixedClock clock(EncodeDate(c.clockYear, c.clockMonth, c.clockDay) + 0.25, c.weekStartDay);
    TDateTime value = 12345;
    const bool taken = SmartTextToDate(c.text, value);
    EXPECT_EQ(taken, c.year != 0);
    if (taken) {
      EXPECT_DOUBLE_EQ(value, EncodeDate(c.year, c.month, c.day));
    } else {
      EXPECT_EQ(value, 12345);
    }
  }
}

TEST(SmartInput, NowKeepsTheTime) {
  const TDateTime now = EncodeDate(2024, 2, 14) + 0.75;
  FixedClock clock(now);
  TDateTime value = 0;
  ASSERT_TRUE(SmartTextToDate("now-1", value));
  EXPECT_DOUBLE_EQ(value, now - 1);
  ASSERT_TRUE(TextToDateTime("NOW", value));
  EXPECT_DOUBLE_EQ(value, now);
}

TEST(SmartInput, TheHookDecidesWhenNoWordMatches) {
  FixedClock clock(EncodeDate(2024, 2, 14));
  const TcxSmartInputHook old = SetSmartInputHook([](const AnsiString& text, TDateTime& value) {
    if (!SameText(text, "xmas")) return false;
    value = EncodeDate(2024, 12, 25);
    return true;
  });
  TDateTime value = 0;
  EXPECT_TRUE(SmartTextToDate("xmas", value));
  EXPECT_DOUBLE_EQ(value, EncodeDate(2024, 12, 25));
  EXPECT_FALSE(SmartTextToDate("easter", value));
  // A word still comes first.
  EXPECT_TRUE(SmartTextToDate("today", value));
  EXPECT_DOUBLE_EQ(value, EncodeDate(2024, 2, 14));
  SetSmartInputHook(old);
}

TEST(TextToDate, BlankGarbageAndOutOfRangeGiveTheNullDate) {
  FixedClock clock(EncodeDate(2024, 2, 14));
  const char* const bad[] = {"", "   ", "\t", "no date here", "today+3000000", "today-800000", "13/45/xx"};
  for (const char* text : bad) {
    SCOPED_TRACE(text);
    TDateTime value = 5;
    EXPECT_FALSE(TextToDateTime(text, value));
    EXPECT_EQ(value, cxNullDate);
  }
  TDateTime value = 5;
  EXPECT_FALSE(ParseDateText("no date here", true, value));
  EXPECT_EQ(value, cxNullDate);
  EXPECT_FALSE(ParseDateText("no date here", false, value));
  EXPECT_EQ(value, cxNullDate);
}

TEST(TextToDate, TypedDatesReadBackOnBothPaths) {
  FixedClock clock(EncodeDate(2024, 2, 14));
  TcxFormatController* controller = SharedFormatController();
  const bool oldRuntime = controller->RuntimeFormatsOnly();
  const TDateTime dates[] = {EncodeDate(2024, 2, 29), EncodeDate(1999, 12, 31), EncodeDate(2030, 7, 4)};
  for (bool runtime : {true, false}) {
    controller->SetRuntimeFormatsOnly(runtime);
    for (TDateTime date : dates) {
      const AnsiString text = DateToStr(date);
      SCOPED_TRACE(text);
      TDateTime value = 0;
      ASSERT_TRUE(TextToDateTime("  " + text + " ", value));
      EXPECT_DOUBLE_EQ(value, date);
      ASSERT_TRUE(ParseDateText(text, !runtime, value));
      EXPECT_DOUBLE_EQ(value, date);
    }
    TDateTime value = 0;
    ASSERT_TRUE(TextToDateTime("today+3", value));
    EXPECT_DOUBLE_EQ(value, EncodeDate(2024, 2, 17));
  }
  controller->SetRuntimeFormatsOnly(oldRuntime);
}

TEST(DateTexts, DayTextLeavesTheProgramsFormatAlone) {
  const AnsiString before = FormatSettings().ShortDateFormat;
  EXPECT_EQ(DayText(EncodeDate(2024, 2, 9)), "9");
  EXPECT_EQ(FormatSettings().ShortDateFormat, before);
}

TEST(DateTexts, DayInitialsByCharset) {
  const LCID saved = GetThreadLocale();
  SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT));
  EXPECT_EQ(LocaleDayName(1, ANSI_CHARSET), "M");
  EXPECT_EQ(LocaleDayName(7, ANSI_CHARSET), "S");
  EXPECT_EQ(LocaleDayName(0, ANSI_CHARSET), "");
  EXPECT_EQ(LocaleDayName(8, ANSI_CHARSET), "");
  // A Chinese name: its last character, whole.
  SetThreadLocale(MAKELCID(MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), SORT_DEFAULT));
  const AnsiString name = LocaleInfoText(LOCALE_SSHORTESTDAYNAME1, "");
  ASSERT_FALSE(name.empty());
  const AnsiString initial = LocaleDayName(1, GB2312_CHARSET);
  ASSERT_FALSE(initial.empty());
  EXPECT_EQ(name.substr(name.size() - initial.size()), initial);
  if (static_cast<unsigned char>(name.back()) >= 0x40 && name.size() >= 2 &&
      IsDBCSLeadByte(static_cast<BYTE>(name[name.size() - 2]))) {
    EXPECT_EQ(initial.size(), 2u);
  }
  SetThreadLocale(saved);
}

TEST(DateTexts, FourDigitYearFormats) {
  TFormatSettings& fs = FormatSettings();
  const TFormatSettings saved = fs;
  fs.ShortDateFormat = "d/M/yy";
  EXPECT_EQ(DisplayFormatFor(true, true, EncodeDate(2024, 2, 9)), "d/M/yyyy");
  EXPECT_EQ(DisplayFormatFor(false, true, EncodeDate(2024, 2, 9)), "d/M/yy");
  fs.ShortDateFormat = "d/M/yyy";
  EXPECT_EQ(DisplayFormatFor(true, true, EncodeDate(2024, 2, 9)), "d/M/yyy");
  fs.ShortDateFormat = "d/M/yyyy";
  EXPECT_EQ(DateToLocaleText(true, true, EncodeDate(2024, 2, 9)), "9/2/2024");
  EXPECT_EQ(DateToLocaleText(true, true, cxNullDate), "");
  fs = saved;
}

TEST(DateTexts, GregorianCalendarsAndCaptions) {
  const auto gregorian = CalendarTableFor(1);
  EXPECT_TRUE(IsGregorianCalendar(gregorian.get()));
  const auto hebrew = CalendarTableFor(8);
  EXPECT_FALSE(IsGregorianCalendar(hebrew.get()));
  EXPECT_FALSE(MonthYearCaption(gregorian.get(), EncodeDate(2024, 2, 9)).empty());
  EXPECT_EQ(MonthNameOf(2024, 13, *gregorian), "");
}

}  // namespace
