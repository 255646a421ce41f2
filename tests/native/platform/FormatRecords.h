// Format settings records for tests: the locales the program meets, written
// out by hand so that native and Windows runs see the same formats, and a
// scope that puts the program's formats and clock back.
#pragma once

#include "platform/FormatSettings.h"
#include "platform/Seams.h"

#include <utility>

namespace test_formats {

// German: "," decimals, "." thousands and dates, 24-hour times.
inline TFormatSettings German() {
  TFormatSettings s = InvariantFormatSettings();
  s.DecimalSeparator = ',';
  s.ThousandSeparator = '.';
  s.DateSeparator = '.';
  s.ShortDateFormat = "dd.MM.yyyy";
  s.LongDateFormat = "dddd, d. MMMM yyyy";
  s.ShortTimeFormat = "hh:mm";
  s.LongTimeFormat = "hh:mm:ss";
  s.TimeAMString = "";
  s.TimePMString = "";
  s.CurrencyString = "EUR";
  s.CurrencyFormat = 3;  // "1 EUR"
  s.NegCurrFormat = 8;   // "-1 EUR"
  s.ListSeparator = ';';
  return s;
}

// Chinese (GBK text): year first, 24-hour times with designators for
// 12-hour text ("\xC9\xCF\xCE\xE7" morning, "\xCF\xC2\xCE\xE7" afternoon).
inline TFormatSettings Chinese() {
  TFormatSettings s = InvariantFormatSettings();
  s.ShortDateFormat = "yyyy/M/d";
  s.LongDateFormat = "yyyy'\xC4\xEA'M'\xD4\xC2'd'\xC8\xD5'";
  s.ShortTimeFormat = "H:mm";
  s.LongTimeFormat = "H:mm:ss";
  s.TimeAMString = "\xC9\xCF\xCE\xE7";
  s.TimePMString = "\xCF\xC2\xCE\xE7";
  s.CurrencyString = "\xA3\xA4";
  s.CurrencyFormat = 0;  // "S1"
  s.NegCurrFormat = 2;   // "S-1"
  return s;
}

// Puts back the program's formats and clock when the test ends.
class TFormatsScope {
public:
  TFormatsScope() : FSettings(FormatSettings()) {}
  explicit TFormatsScope(const TFormatSettings& settings) : TFormatsScope() { FormatSettings() = settings; }
  ~TFormatsScope() {
    FormatSettings() = FSettings;
    SetClockSource(std::move(FClock));
  }
  // Fixes the clock at `now` (a TDateTime).
  void SetNow(double now) {
    TClockSource previous = SetClockSource([now] { return now; });
    if (!FClockSet) FClock = std::move(previous);
    FClockSet = true;
  }

private:
  TFormatSettings FSettings;
  TClockSource FClock;
  bool FClockSet = false;
};

}  // namespace test_formats
