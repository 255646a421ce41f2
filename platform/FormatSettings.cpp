#include "platform/FormatSettings.h"

TFormatSettings InvariantFormatSettings() {
  static const char* const shortMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  static const char* const longMonths[12] = {"January", "February", "March",     "April",   "May",      "June",
                                             "July",    "August",   "September", "October", "November", "December"};
  static const char* const shortDays[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const longDays[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
  TFormatSettings s;
  s.CurrencyString = "$";
  s.CurrencyFormat = 0;
  s.NegCurrFormat = 0;
  s.ShortDateFormat = "M/d/yyyy";
  s.LongDateFormat = "dddd, MMMM d, yyyy";
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  s.ShortTimeFormat = "h:mm AMPM";
  s.LongTimeFormat = "h:mm:ss AMPM";
  for (int i = 0; i < 12; ++i) {
    s.ShortMonthNames[i] = shortMonths[i];
    s.LongMonthNames[i] = longMonths[i];
  }
  for (int i = 0; i < 7; ++i) {
    s.ShortDayNames[i] = shortDays[i];
    s.LongDayNames[i] = longDays[i];
  }
  return s;
}

TFormatSettings& FormatSettings() {
  static TFormatSettings settings = SystemFormatSettings();
  return settings;
}

void GetFormatSettings() { FormatSettings() = SystemFormatSettings(); }
