// The locale's texts of dates (day, month name, year, caption of a month,
// weekday initials, the display text of a date edit) and typed text read
// back into a date-time: Gregorian locales through the program's
// conversions after the format's literal words are blanked, other locales
// through the locale's calendar table; smart input ("today+3") comes first.
// Date-time values hold whole days since 30 December 1899; cxNullDate is
// the empty date. Windows only (the locale functions).
#pragma once

#include "editors/framework/CalendarTables.h"
#include "editors/framework/DateUtils.h"
#include "platform/FormatSettings.h"

#include <cstdint>

// GetLocaleInfoA of the thread locale; `fallback` when it cannot be read.
AnsiString LocaleInfoText(uint32_t item, const AnsiString& fallback);
char LocaleInfoFirstChar(uint32_t item, char fallback);
// GetDateFormatA of the thread locale with `picture` (the locale default
// for an empty one); false and an empty text when it fails.
bool LocaleDateText(uint32_t flags, const AnsiString& picture, TDateTime value, AnsiString& text);
// The user's short date, then a space and the time when there is one.
AnsiString DateTimeToLocaleText(TDateTime value);
// The day number as the locale writes it; without the locale, the program's
// conversion with a "d" picture in a copy of the settings (the program's
// own short date format is never touched).
AnsiString DayText(TDateTime value);
// One character of the weekday name of `index` (1 Monday .. 7 Sunday): the
// last one for a charset whose texts read from the right end (Chinese,
// Japanese, Korean), else the first; empty for another index.
AnsiString LocaleDayName(int index, uint8_t charset);
// Whether a calendar table (the locale's when none is given) is Gregorian.
bool IsGregorianCalendar(const TcxCustomCalendarTable* table = nullptr);
// The month name of a value in a table's calendar; the month and year texts.
AnsiString LongMonthName(const TcxCustomCalendarTable& table, TDateTime value);
AnsiString MonthNameOf(int year, int month, const TcxCustomCalendarTable& table);
AnsiString YearText(const TcxCustomCalendarTable* table, TDateTime value);
AnsiString MonthYearCaption(const TcxCustomCalendarTable* table, TDateTime value);

// The display text of a date edit; empty for the null date.
AnsiString DisplayFormatFor(bool fourDigitYear, bool runtimeFormats, TDateTime value);
AnsiString DateToLocaleText(bool fourDigitYear, bool runtimeFormats, TDateTime value);

// Blanks every literal word of the program's date and time formats that is
// not a separator or a day-half designator, collapses blanks; on the
// variant path the locale's date separator becomes a blank too.
AnsiString NormalizeDateText(const AnsiString& text, bool variantPath);
// The settings a non-Gregorian date is read with.
TFormatSettings CalendarFormatSettings();
// Takes a date (and a time after it) typed in a calendar's terms apart and
// composes it; raises on text it cannot read.
TDateTime ParseCalendarText(const AnsiString& text, const TFormatSettings& settings,
                            const TcxCustomCalendarTable& table);
TDateTime TextToCalendarDate(const AnsiString& text);
// Never raises: false with cxNullDate for text that is no date.
bool ParseDateText(const AnsiString& text, bool variantPath, TDateTime& value);
// Smart input with the format controller's first day of the week.
bool SmartTextToDate(const AnsiString& text, TDateTime& value);
// Typed text to a date-time: blank text, text that is no date and a date
// past the year 9999 (also one smart input reached) give false and
// cxNullDate. Never raises.
bool TextToDateTime(const AnsiString& text, TDateTime& value);
