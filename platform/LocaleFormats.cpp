#include "platform/LocaleFormats.h"

namespace {

AnsiString LocaleText(LCID locale, LCTYPE item, const char* fallback) {
  char buffer[256];
  const int n = GetLocaleInfoA(locale, item, buffer, sizeof buffer);
  return n > 1 ? AnsiString(buffer, static_cast<size_t>(n - 1)) : AnsiString(fallback);
}

char LocaleChar(LCID locale, LCTYPE item, char fallback) {
  const AnsiString text = LocaleText(locale, item, "");
  return text.empty() ? fallback : text[0];
}

int LocaleNumber(LCID locale, LCTYPE item, int fallback, int low, int high) {
  int value;
  if (!TryStrToInt(LocaleText(locale, item, ""), value) || value < low || value > high) return fallback;
  return value;
}

}  // namespace

TFormatSettings GetLocaleFormatSettings(LCID locale) {
  TFormatSettings s = InvariantFormatSettings();
  s.CurrencyString = LocaleText(locale, LOCALE_SCURRENCY, "");
  s.CurrencyFormat = static_cast<uint8_t>(LocaleNumber(locale, LOCALE_ICURRENCY, 0, 0, 3));
  s.NegCurrFormat = static_cast<uint8_t>(LocaleNumber(locale, LOCALE_INEGCURR, 0, 0, 15));
  s.ThousandSeparator = LocaleChar(locale, LOCALE_STHOUSAND, ',');
  s.DecimalSeparator = LocaleChar(locale, LOCALE_SDECIMAL, '.');
  s.CurrencyDecimals = static_cast<uint8_t>(LocaleNumber(locale, LOCALE_ICURRDIGITS, 2, 0, 9));
  s.DateSeparator = LocaleChar(locale, LOCALE_SDATE, '/');
  s.TimeSeparator = LocaleChar(locale, LOCALE_STIME, ':');
  s.ListSeparator = LocaleChar(locale, LOCALE_SLIST, ',');
  s.ShortDateFormat = LocaleText(locale, LOCALE_SSHORTDATE, "M/d/yyyy");
  s.LongDateFormat = LocaleText(locale, LOCALE_SLONGDATE, "dddd, MMMM d, yyyy");
  s.TimeAMString = LocaleText(locale, LOCALE_S1159, "am");
  s.TimePMString = LocaleText(locale, LOCALE_S2359, "pm");
  // The time pictures follow the locale's clock (12 or 24 hours), its
  // leading zero and where the designator goes.
  const bool twelveHours = LocaleNumber(locale, LOCALE_ITIME, 0, 0, 1) == 0;
  const AnsiString hour = LocaleNumber(locale, LOCALE_ITLZERO, 0, 0, 1) == 0 ? "h" : "hh";
  AnsiString prefix, postfix;
  if (twelveHours) {
    if (LocaleNumber(locale, LOCALE_ITIMEMARKPOSN, 0, 0, 1) == 0) postfix = " AMPM";
    else prefix = "AMPM ";
  }
  s.ShortTimeFormat = prefix + hour + ":mm" + postfix;
  s.LongTimeFormat = prefix + hour + ":mm:ss" + postfix;
  for (int i = 0; i < 12; ++i) {
    s.ShortMonthNames[i] = LocaleText(locale, static_cast<LCTYPE>(LOCALE_SABBREVMONTHNAME1 + i), s.ShortMonthNames[i].c_str());
    s.LongMonthNames[i] = LocaleText(locale, static_cast<LCTYPE>(LOCALE_SMONTHNAME1 + i), s.LongMonthNames[i].c_str());
  }
  // The locale counts days from Monday (1) to Sunday (7); the record from Sunday.
  for (int i = 0; i < 7; ++i) {
    const int day = (i + 6) % 7;
    s.ShortDayNames[i] = LocaleText(locale, static_cast<LCTYPE>(LOCALE_SABBREVDAYNAME1 + day), s.ShortDayNames[i].c_str());
    s.LongDayNames[i] = LocaleText(locale, static_cast<LCTYPE>(LOCALE_SDAYNAME1 + day), s.LongDayNames[i].c_str());
  }
  return s;
}

TFormatSettings SystemFormatSettings() { return GetLocaleFormatSettings(GetThreadLocale()); }
