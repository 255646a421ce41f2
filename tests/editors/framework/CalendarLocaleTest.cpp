// The calendar tables' locale facts from Windows: GetCalendarInfoA bound by
// name, the user's calendar and what the Gregorian table makes of them.
#include "editors/framework/CalendarLocale.h"

#include "platform/Text.h"
#include "platform/Win32.h"

#include <gtest/gtest.h>

namespace {

AnsiString LocaleText(LCTYPE item) {
  char buffer[256] = {};
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, int(sizeof buffer));
  return n > 1 ? AnsiString(buffer, size_t(n - 1)) : AnsiString();
}

TEST(CalendarLocale, CalendarInfoAnswersThroughTheSystem) {
  uint32_t maximum = 0;
  ASSERT_NE(CalendarInfo(cxLocaleUserDefault, 1, cxCalTwoDigitYearMax | cxCalReturnNumber, nullptr, 0, &maximum), 0);
  EXPECT_GE(maximum, 2000u);
  EXPECT_LE(maximum, 9999u);
  EXPECT_EQ(CalendarInfoText(1, cxCalMonthName1), LocaleText(LOCALE_SMONTHNAME1));
}

TEST(CalendarLocale, TwoDigitYearsFollowTheSystemsWindow) {
  int maximum = 0;
  ASSERT_TRUE(CalendarInfoNumber(1, cxCalTwoDigitYearMax, maximum));
  TcxGregorianCalendarTable table;
  const int last = maximum % 100;
  EXPECT_EQ(table.ParseYearText(IntToStr(last)), maximum);
  EXPECT_EQ(table.ParseYearText(IntToStr((last + 1) % 100)), maximum - 99);
}

TEST(CalendarLocale, LocaleCalendarIsTheUsersCalendarType) {
  int id = 0;
  ASSERT_TRUE(TryStrToInt(LocaleText(LOCALE_ICALENDARTYPE), id));
  EXPECT_EQ(LocaleCalendarId(), uint32_t(id));
  EXPECT_EQ(LocaleCalendarTable()->CalendarId(), CalendarTableFor(uint32_t(id))->CalendarId());
}

}  // namespace
