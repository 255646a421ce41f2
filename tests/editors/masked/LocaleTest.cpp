// The separators of the engine are the program's format settings at the
// moment of each test: formats read again from the locale show at the next
// keystroke.
#include "editors/masked/RegExpr.h"
#include "platform/LocaleFormats.h"

#include <gtest/gtest.h>

namespace {

// Restores the thread locale and the program's formats the test found.
class LocaleScope {
public:
  LocaleScope() : FLocale(GetThreadLocale()), FSettings(FormatSettings()) {}
  ~LocaleScope() {
    SetThreadLocale(FLocale);
    FormatSettings() = FSettings;
  }

private:
  LCID FLocale;
  TFormatSettings FSettings;
};

TEST(RegExprLocale, SeparatorsFollowTheProgramsFormats) {
  LocaleScope restore;
  TcxRegExpr engine;
  TStringStream source("\\d/\\d:\\d");
  engine.compilePatternStream(&source);
  // German: "." between date parts and ":" in times.
  FormatSettings() = GetLocaleFormatSettings(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT));
  EXPECT_EQ(engine.filterThrough("1/.2:3"), "1.2:3");
  // The same engine, after the formats are read again from a United States
  // English thread locale: "/".
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)));
  GetFormatSettings();
  engine.restartAutomaton();
  EXPECT_EQ(engine.filterThrough("1./2:3"), "1/2:3");
}

}  // namespace
