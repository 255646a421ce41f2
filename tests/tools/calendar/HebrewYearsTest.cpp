// The Hebrew year table the calendar tables carry is what the generator
// works out from the calendar's rules, byte for byte, and agrees with the
// table compiled into the framework. Portable: runs natively too.
#include "editors/framework/CalendarTables.h"
#include "tools/calendar/HebrewYears.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(HebrewYearTable, CommittedTableIsWhatTheGeneratorMakes) {
  const std::string committed =
      ReadFile(std::filesystem::path(MEVRA_SOURCE_ROOT) / "editors/framework/HebrewYears.inc");
  ASSERT_FALSE(committed.empty()) << "no table under " << MEVRA_SOURCE_ROOT;
  EXPECT_EQ(committed, HebrewYearTableText(cxHebrewTableFirstYear, cxHebrewTableLastYear))
      << "run hebrewtable editors/framework/HebrewYears.inc";
}

TEST(HebrewYearTable, CompiledTableMatchesTheRules) {
  for (const THebrewYearRow& row : MakeHebrewYearRows(cxHebrewTableFirstYear, cxHebrewTableLastYear)) {
    const TcxHebrewYearEntry* entry = HebrewYearEntry(row.GregorianYear);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->JanuaryFirst, row.JanuaryFirst) << row.GregorianYear;
    EXPECT_EQ(entry->YearType, row.YearType) << row.GregorianYear;
  }
}

struct NewYearCase {
  int HebrewYear, Year, Month, Day;
};

class HebrewNewYears : public testing::TestWithParam<NewYearCase> {};

// Rosh Hashanah of years whose dates are well known.
TEST_P(HebrewNewYears, FallOnTheirGregorianDay) {
  const NewYearCase& c = GetParam();
  EXPECT_EQ(HebrewNewYearDay(c.HebrewYear), GregorianDayNumber(c.Year, c.Month, c.Day));
}

INSTANTIATE_TEST_SUITE_P(Cases, HebrewNewYears,
                         testing::Values(NewYearCase{5784, 2023, 9, 16}, NewYearCase{5785, 2024, 10, 3},
                                         NewYearCase{5760, 1999, 9, 11}, NewYearCase{5661, 1900, 9, 24}),
                         [](const auto& info) { return "Year" + std::to_string(info.param.HebrewYear); });

TEST(HebrewYearTable, EveryYearIsOfALengthTheCalendarAllows) {
  for (int year = 5343; year <= 6000; ++year) {
    const int64_t length = HebrewNewYearDay(year + 1) - HebrewNewYearDay(year);
    EXPECT_TRUE((length >= 353 && length <= 355) || (length >= 383 && length <= 385)) << year;
  }
}

}  // namespace
