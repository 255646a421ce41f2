// Dates and times as TDateTime (days since 30 December 1899, the fraction
// the time of day; before that day the whole part counts back and the
// fraction still counts forward), encoded, decoded and written and read as
// text in the locale's formats. Portable: no Windows headers. Conversions
// without an explicit record read FormatSettings().
#pragma once

#include "platform/FormatSettings.h"

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 24 * 60;
constexpr int SecsPerDay = 24 * 60 * 60;
constexpr int MSecsPerDay = SecsPerDay * 1000;
// Days from 1 January of year 1 to 30 December 1899.
constexpr int DateDelta = 693594;
// 1 January 100 and 31 December 9999 23:59:59.999.
constexpr TDateTime MinDateTime = -657434.0;
constexpr TDateTime MaxDateTime = 2958465.99999999;

bool IsLeapYear(int year);
// Days in a month of a year (0 for a month outside 1-12).
int DaysInAMonth(int year, int month);

// Years 1-9999, months 1-12, days of the month; false otherwise.
bool TryEncodeDate(int year, int month, int day, TDateTime& date);
// Raises EConvertError "Invalid argument to date encode".
TDateTime EncodeDate(int year, int month, int day);
// Hours 0-23, minutes and seconds 0-59, milliseconds 0-999.
bool TryEncodeTime(int hour, int minute, int second, int msec, TDateTime& time);
// Raises EConvertError "Invalid argument to time encode".
TDateTime EncodeTime(int hour, int minute, int second, int msec);
// A time that rounds to midnight belongs to the next day. Values before
// 1 January of year 1 (and NaN or infinities) decode as 0, 0, 0.
void DecodeDate(TDateTime value, int& year, int& month, int& day);
void DecodeTime(TDateTime value, int& hour, int& minute, int& second, int& msec);
// 1 Sunday .. 7 Saturday.
int DayOfWeek(TDateTime value);

// The current date and time, the date alone (midnight) and the time alone,
// from the clock tests can replace (Seams.h).
TDateTime Now();
TDateTime Date();
TDateTime Time();

// Writes `value` by a picture (letters in any case):
//   c        short date, a space and long time (no time at midnight)
//   d dd     day (with a leading zero); ddd dddd short and long day name;
//            ddddd short date; dddddd long date
//   m mm     month, or the minute right after an hour; mmm mmmm month names
//   yy yyyy  two- and four-digit year
//   h hh     hour (12-hour when the picture holds am/pm, a/p or ampm)
//   n nn     minute; s ss second; z zzz milliseconds
//   t tt     short and long time
//   am/pm a/p  the designator in the case written; ampm  the locale's
//   /  :     the locale's date and time separators
//   'x' "x"  text as it is; any other character as it is
AnsiString FormatDateTime(const AnsiString& format, TDateTime value);
AnsiString FormatDateTime(const AnsiString& format, TDateTime value, const TFormatSettings& settings);
// Short date; long time; FormatDateTime("c").
AnsiString DateToStr(TDateTime value);
AnsiString DateToStr(TDateTime value, const TFormatSettings& settings);
AnsiString TimeToStr(TDateTime value);
AnsiString TimeToStr(TDateTime value, const TFormatSettings& settings);
AnsiString DateTimeToStr(TDateTime value);
AnsiString DateTimeToStr(TDateTime value, const TFormatSettings& settings);

// Text to dates: two or three numbers separated by the date separator, in
// the order of the short date format (two: day and month of the current
// year); a year of one or two digits falls in the century window. Times:
// hour[:minute[:second[.msec]]] with an optional designator before or after
// (the locale's or "AM"/"PM"). A date and a time may follow each other, and
// a time may stand alone. Blanks around are allowed.
bool TryStrToDate(const AnsiString& text, TDateTime& value);
bool TryStrToDate(const AnsiString& text, TDateTime& value, const TFormatSettings& settings);
bool TryStrToTime(const AnsiString& text, TDateTime& value);
bool TryStrToTime(const AnsiString& text, TDateTime& value, const TFormatSettings& settings);
bool TryStrToDateTime(const AnsiString& text, TDateTime& value);
bool TryStrToDateTime(const AnsiString& text, TDateTime& value, const TFormatSettings& settings);
// Raise EConvertError "'<text>' is not a valid date" / "time" / "date and time".
TDateTime StrToDate(const AnsiString& text);
TDateTime StrToDate(const AnsiString& text, const TFormatSettings& settings);
TDateTime StrToTime(const AnsiString& text);
TDateTime StrToTime(const AnsiString& text, const TFormatSettings& settings);
TDateTime StrToDateTime(const AnsiString& text);
TDateTime StrToDateTime(const AnsiString& text, const TFormatSettings& settings);
