// What the calendar tables ask of the locale: calendar information
// (GetCalendarInfoA, bound by name at each call), the user's calendar and
// first week of the year, and the locale's month and day texts. The
// declarations are portable; CalendarLocale.cpp answers from Windows and
// native/CalendarLocale.cpp, in the native build, answers "unknown". Tests
// replace the calendar information and the texts through the Set…
// functions, on both.
#pragma once

#include "editors/framework/CalendarTables.h"

#include <cstdint>
#include <memory>

// The Windows values of the few locale and calendar constants used here
// (CalendarLocale.cpp checks them against the system headers).
inline constexpr uint32_t cxLocaleUserDefault = 0x0400;         // LOCALE_USER_DEFAULT
inline constexpr uint32_t cxCalReturnNumber = 0x20000000;       // CAL_RETURN_NUMBER
inline constexpr uint32_t cxCalTwoDigitYearMax = 0x00000030;    // CAL_ITWODIGITYEARMAX
inline constexpr uint32_t cxCalMonthName1 = 0x00000015;         // CAL_SMONTHNAME1 (… 13 follow)
inline constexpr uint32_t cxCalYearMonth = 0x0000002F;          // CAL_SYEARMONTH

// GetCalendarInfoA looked up in Kernel32 at each call (the library is
// loaded and freed around it): the characters written (with the number in
// `number` for CAL_RETURN_NUMBER), or 0 when the call fails or the function
// is missing. Natively always 0.
int CalendarInfo(uint32_t locale, uint32_t calendarId, uint32_t infoType, char* buffer, int size, uint32_t* number);
// The user's calendar id (LOCALE_ICALENDARTYPE of the user default locale;
// 1 when it cannot be read).
uint32_t LocaleCalendarId();
// CalendarTableFor(LocaleCalendarId()); the caller owns the table.
std::unique_ptr<TcxCustomCalendarTable> LocaleCalendarTable();
// LOCALE_IFIRSTWEEKOFYEAR of the user default locale: 0 the week of
// 1 January, 1 the first full week, 2 the first week with four days; 0 when
// it cannot be read.
int LocaleFirstWeekOfYear();

// What the tables use of CalendarInfo goes through this source: the system
// (CalendarInfo) unless a test sets another. Returns the previous source;
// null restores the system.
using TcxCalendarInfoSource = int (*)(uint32_t locale, uint32_t calendarId, uint32_t infoType, char* buffer, int size,
                                      uint32_t* number);
TcxCalendarInfoSource SetCalendarInfoSource(TcxCalendarInfoSource source);
int QueryCalendarInfo(uint32_t locale, uint32_t calendarId, uint32_t infoType, char* buffer, int size,
                      uint32_t* number);
// A number (CAL_RETURN_NUMBER) of the user default locale for `calendarId`;
// false when the source gives none.
bool CalendarInfoNumber(uint32_t calendarId, uint32_t infoType, int& number);
// A text of the user default locale for `calendarId`; empty when none.
AnsiString CalendarInfoText(uint32_t calendarId, uint32_t infoType);

// The locale's long month name of a date in a table's calendar, and the
// locale's text of a date's day number, as the Hebrew table compares typed
// month texts with them. Without a source set, the platform's format
// settings answer: the long month name of the month number and the Gregorian
// day number ("d").
struct TcxCalendarLocaleTexts {
  AnsiString (*LongMonthName)(const TcxCustomCalendarTable& table, TDateTime value) = nullptr;
  AnsiString (*DayText)(TDateTime value) = nullptr;
};
TcxCalendarLocaleTexts SetCalendarLocaleTexts(const TcxCalendarLocaleTexts& texts);
AnsiString CalendarLongMonthName(const TcxCustomCalendarTable& table, TDateTime value);
AnsiString CalendarDayText(TDateTime value);
