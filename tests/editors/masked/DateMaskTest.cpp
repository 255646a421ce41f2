// The date and date-time masks the format controller builds from a locale
// compile with the engine, and take the dates, times and smart-input words
// the locale writes.
#include "editors/framework/DateUtils.h"
#include "editors/framework/Formats.h"
#include "editors/masked/RegExpr.h"
#include "editors/masked/StandardMask.h"
#include "platform/DateTime.h"
#include "platform/LocaleFormats.h"

#include <gtest/gtest.h>

namespace {

class FormatsScope {
public:
  FormatsScope() : FSettings(FormatSettings()) {}
  ~FormatsScope() { FormatSettings() = FSettings; }

private:
  TFormatSettings FSettings;
};

void Compile(TcxRegExpr& engine, const AnsiString& pattern) {
  TStringStream source(pattern);
  try {
    engine.compilePatternStream(&source);
  } catch (const EcxRegExprError& e) {
    AnsiString text;
    for (int i = 0; i < e.Errors().Count(); ++i) text += TcxRegExpr::regExprErrorText(e.Errors().Item(i)) + "\n";
    ADD_FAILURE() << "does not compile: " << pattern << "\n" << text;
  }
}

// Whether the engine takes the whole text and ends in a final state.
bool Accepts(TcxRegExpr& engine, const AnsiString& text) {
  engine.restartAutomaton();
  for (char c : text) {
    char ch = c;
    if (!engine.stepForward(ch)) return false;
  }
  return engine.atFinalState();
}

struct LocaleCase {
  const char* name;
  LANGID language;
  // Texts the date mask takes and one it refuses, and a date-time text.
  const char* date;
  const char* refused;
  const char* dateTime;
};

const LocaleCase LocaleCases[] = {
    {"UnitedStates", MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), "12/31/2024", "12-31-2024", "1/2/2024 3:04:05 PM"},
    {"Germany", MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), "31.12.2024", "31/12/2024", "01.02.2024 13:04:05"},
    {"China", MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED), "2024/12/31", "2024.12.31", "2024/1/2 13:04:05"},
};

class LocaleDateMasks : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleDateMasks, CompileAndTakeTheLocalesDates) {
  const LocaleCase& c = GetParam();
  FormatsScope restore;
  FormatSettings() = GetLocaleFormatSettings(MAKELCID(c.language, SORT_DEFAULT));
  TcxFormatController controller;
  SCOPED_TRACE(std::string(FormatSettings().ShortDateFormat) + " / " + FormatSettings().LongTimeFormat);
  TcxRegExpr date;
  Compile(date, controller.DateRegExprMask());
  ASSERT_TRUE(date.isCompiled()) << controller.DateRegExprMask();
  EXPECT_TRUE(Accepts(date, c.date));
  EXPECT_FALSE(Accepts(date, c.refused));
  EXPECT_TRUE(Accepts(date, "today"));
  EXPECT_TRUE(Accepts(date, "tomorrow+3"));
  EXPECT_TRUE(Accepts(date, "eom-1234"));
  EXPECT_FALSE(Accepts(date, "now")) << "the date mask has no \"now\"";
  EXPECT_FALSE(Accepts(date, "today+12345"));
  // Every day of a leap year as the locale writes it.
  int refusedDays = 0;
  for (TDateTime day = EncodeDate(2024, 1, 1); day < EncodeDate(2025, 1, 1); day += 1) {
    const AnsiString text = DateToStr(day);
    if (!Accepts(date, text)) {
      if (++refusedDays <= 3) ADD_FAILURE() << "refused: " << text;
    }
  }
  EXPECT_EQ(refusedDays, 0);
  // Every smart-input keyword but "now", which only the date-time mask has.
  const std::vector<AnsiString> keywords = cxSmartInputKeywords();
  for (size_t i = 0; i + 1 < keywords.size(); ++i) EXPECT_TRUE(Accepts(date, keywords[i])) << keywords[i];
  TcxRegExpr dateTime;
  Compile(dateTime, controller.DateTimeRegExprMask());
  ASSERT_TRUE(dateTime.isCompiled()) << controller.DateTimeRegExprMask();
  // The blank after the date is part of the date-time mask; the time is optional.
  EXPECT_TRUE(Accepts(dateTime, AnsiString(c.date) + " "));
  EXPECT_TRUE(Accepts(dateTime, c.dateTime));
  EXPECT_TRUE(Accepts(dateTime, "now-1"));
  // The standard masks give one template position per character of edit text.
  TcxStandardMask standard;
  standard.Compile(controller.DateStandardMask());
  EXPECT_EQ(standard.Count(), TcxFormatController::FormatTextLength(controller.DateInfo()))
      << controller.DateStandardMask();
  TcxStandardMask time;
  time.Compile(TcxFormatController::BuildStandardMask(controller.TimeInfo(), cxMaskTime));
  EXPECT_EQ(time.Count(), TcxFormatController::FormatTextLength(controller.TimeInfo()));
}

INSTANTIATE_TEST_SUITE_P(Locales, LocaleDateMasks, ::testing::ValuesIn(LocaleCases),
                         [](const auto& info) { return std::string(info.param.name); });

// Month names and literals with apostrophes, spaces as separators and
// designators of the locale's own: every mask still compiles.
TEST(DateMasks, QuotedNamesAndLiteralsCompile) {
  FormatsScope restore;
  TFormatSettings& s = FormatSettings();
  s = InvariantFormatSettings();
  s.ShortDateFormat = "d MMMM \"o'clock\" yyyy";
  s.LongTimeFormat = "h:mm AMPM";
  s.DateSeparator = ' ';
  s.TimeAMString = "a'm";
  s.TimePMString = "";
  for (AnsiString& name : s.LongMonthNames) name = "d'aout";
  s.LongMonthNames[0] = "janv";
  TcxFormatController controller;
  TcxRegExpr date, dateTime;
  Compile(date, controller.DateRegExprMask());
  Compile(dateTime, controller.DateTimeRegExprMask());
  ASSERT_TRUE(date.isCompiled()) << controller.DateRegExprMask();
  ASSERT_TRUE(dateTime.isCompiled()) << controller.DateTimeRegExprMask();
  EXPECT_TRUE(Accepts(date, "3 janv o'clock 2024"));
  EXPECT_TRUE(Accepts(date, "3 d'aout o'clock 2024"));
  EXPECT_TRUE(Accepts(dateTime, "3 1 o'clock 2024 4:05 a'm"));
}

}  // namespace
