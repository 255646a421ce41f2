#include "tools/calendar/HebrewYears.h"

#include <cstdio>
#include <stdexcept>

namespace {

// Floor division: the counts below are positive in the years we need, but
// the rules are written for any year.
int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }
int64_t FloorMod(int64_t a, int64_t b) { return a - b * FloorDiv(a, b); }

// The first day of the calendar, 7 October 3761 BCE (Julian), as a rata die.
constexpr int64_t HebrewEpoch = -1373427;


// Days from the epoch to the molad of Tishri of `year`, with the
// postponements that depend on the molad alone: a molad at or after noon
// (18 hours counted from 6 pm) and one falling on Sunday, Wednesday or
// Friday move the new year by one day.
int64_t ElapsedDays(int year) {
  const int64_t months = FloorDiv(235 * int64_t(year) - 234, 19);
  // Parts (1/1080 hour) of the molad, counted from the epoch's molad.
  const int64_t parts = 12084 + 13753 * months;
  int64_t day = 29 * months + FloorDiv(parts, 25920);
  if (FloorMod(3 * (day + 1), 7) < 3) ++day;
  return day;
}

// The postponements that keep every year 353-355 or 383-385 days long.
int YearLengthCorrection(int year) {
  const int64_t before = ElapsedDays(year - 1), now = ElapsedDays(year), next = ElapsedDays(year + 1);
  if (next - now == 356) return 2;
  if (now - before == 382) return 1;
  return 0;
}

int YearType(int64_t length) {
  switch (length) {
    case 353: return 1;
    case 354: return 2;
    case 355: return 3;
    case 383: return 4;
    case 384: return 5;
    case 385: return 6;
  }
  throw std::runtime_error("impossible Hebrew year length " + std::to_string(length));
}

}  // namespace

int64_t HebrewNewYearDay(int hebrewYear) {
  return HebrewEpoch + ElapsedDays(hebrewYear) + YearLengthCorrection(hebrewYear);
}

int64_t GregorianDayNumber(int year, int month, int day) {
  const int64_t y = year - 1;
  int64_t n = 365 * y + FloorDiv(y, 4) - FloorDiv(y, 100) + FloorDiv(y, 400) + FloorDiv(367 * int64_t(month) - 362, 12);
  if (month > 2) n -= (year % 4 == 0 && (year % 100 != 0 || year % 400 == 0)) ? 1 : 2;
  return n + day;
}

std::vector<THebrewYearRow> MakeHebrewYearRows(int first, int last) {
  std::vector<THebrewYearRow> rows;
  for (int g = first; g <= last; ++g) {
    // 1 January always lies in the Hebrew year that began the autumn before.
    const int year = g + 3760;
    const int64_t newYear = HebrewNewYearDay(year);
    const int64_t length = HebrewNewYearDay(year + 1) - newYear;
    const int type = YearType(length);
    // Marheshvan (2) and Kislev (3) are 29 or 30 days by the year's length;
    // Tishri has 30; 1 January falls in Kislev, Tevet or Shevat.
    const int marheshvan = (type == 3 || type == 6) ? 30 : 29;
    const int kislev = (type == 1 || type == 4) ? 29 : 30;
    int64_t dayOfYear = GregorianDayNumber(g, 1, 1) - newYear;  // 0 = 1 Tishri
    int month = 1;
    const int lengths[] = {30, marheshvan, kislev, 29};
    while (month <= 4 && dayOfYear >= lengths[month - 1]) dayOfYear -= lengths[month++ - 1];
    const int day = int(dayOfYear) + 1;
    int code;
    if (month == 4) code = day;
    else if (month == 3 && day == 30) code = 30;
    else if (month == 3 && day == 29) code = 33;
    else if (month == 5 && day == 1) code = 0;
    else if (month == 5 && day == 2) code = 31;
    else if (month == 5 && day == 3) code = 32;
    else throw std::runtime_error("1 January " + std::to_string(g) + " falls on day " + std::to_string(day) + " of month " +
                                  std::to_string(month) + ", which the table cannot encode");
    rows.push_back({g, code, type});
  }
  return rows;
}

std::string HebrewYearTableText(int first, int last) {
  std::string text =
      "// Made by tools/calendar (hebrewtable OUT): do not edit. One row per\n"
      "// Gregorian year from " + std::to_string(first) + " to " + std::to_string(last) +
      ": the encoded Hebrew date of 1 January and the\n"
      "// type of the Hebrew year that holds it.\n";
  for (const THebrewYearRow& row : MakeHebrewYearRows(first, last)) {
    char line[64];
    std::snprintf(line, sizeof line, "{%d, %d},  // %d (%d)\n", row.JanuaryFirst, row.YearType, row.GregorianYear,
                  row.GregorianYear + 3760);
    text += line;
  }
  return text;
}
