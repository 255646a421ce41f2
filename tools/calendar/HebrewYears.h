// The Hebrew calendar worked out from its rules (the molad of Tishri and the
// four postponements), for the year table the calendar tables carry: for
// each Gregorian year, the Hebrew date of its 1 January and the type of the
// Hebrew year that holds it. Portable: no Windows header.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct THebrewYearRow {
  int GregorianYear;
  int JanuaryFirst;  // the encoded Hebrew date of 1 January (see the table's header)
  int YearType;      // 1-3 common years of 353, 354, 355 days; 4-6 leap years of 383, 384, 385
};

// Days from the calendar's epoch to 1 Tishri of `hebrewYear`, shifted so that
// the difference of two years is the length of the first.
int64_t HebrewNewYearDay(int hebrewYear);
// Rata die (1 January of year 1 is day 1) of a proleptic Gregorian date.
int64_t GregorianDayNumber(int year, int month, int day);
// The rows for Gregorian years first..last; raises std::runtime_error when a
// 1 January falls on a Hebrew date the encoding cannot hold.
std::vector<THebrewYearRow> MakeHebrewYearRows(int first, int last);
// The committed include file's text for those rows.
std::string HebrewYearTableText(int first, int last);
