// The locale's number, currency, date and time formats in one record, which
// the text conversions (NumberText.h, DateTime.h), the variant conversions and
// the mask engine read. Portable: no Windows headers; the Windows build fills
// the record from the thread locale (LocaleFormats.h), the native build from
// the invariant formats.
#pragma once

#include "platform/Text.h"

#include <cstdint>

struct TFormatSettings {
  AnsiString CurrencyString;            // "$", "\x80", ...
  uint8_t CurrencyFormat = 0;           // 0 "$1", 1 "1$", 2 "$ 1", 3 "1 $"
  uint8_t NegCurrFormat = 0;            // 0-15: where sign and symbol go (FloatToStrF ffCurrency)
  char ThousandSeparator = ',';
  char DecimalSeparator = '.';
  uint8_t CurrencyDecimals = 2;
  char DateSeparator = '/';
  char TimeSeparator = ':';
  char ListSeparator = ',';
  AnsiString ShortDateFormat;           // FormatDateTime picture: "M/d/yyyy"
  AnsiString LongDateFormat;
  AnsiString TimeAMString;
  AnsiString TimePMString;
  AnsiString ShortTimeFormat;           // "h:mm AMPM"
  AnsiString LongTimeFormat;            // "h:mm:ss AMPM"
  AnsiString ShortMonthNames[12];       // [0] January
  AnsiString LongMonthNames[12];
  AnsiString ShortDayNames[7];          // [0] Sunday
  AnsiString LongDayNames[7];
  // Two-digit years read as the century that puts them within this many
  // years before the current year (0: the current century).
  uint16_t TwoDigitYearCenturyWindow = 50;
};

// The formats of no particular locale: English names, "." decimals, "M/d/yyyy"
// dates, 12-hour times with "AM"/"PM", "$" with 2 decimals.
TFormatSettings InvariantFormatSettings();

// The program's formats: read from the system at first use and again by
// GetFormatSettings (the application does that when the user changes the
// locale, unless told not to). Text conversions without an explicit record
// use these. Tests assign their own record and put the previous one back.
TFormatSettings& FormatSettings();
// Reads the program's formats from the system again.
void GetFormatSettings();
// The system's formats: the thread locale on Windows, the invariant formats
// natively. Each build supplies its own (LocaleFormats.cpp, native/).
TFormatSettings SystemFormatSettings();
