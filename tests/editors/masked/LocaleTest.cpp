// The separators of the Windows build come from the thread locale at the
// moment of each test, so a change of locale shows at the next keystroke.
#include "editors/masked/RegExpr.h"
#include "platform/Win32.h"

#include <gtest/gtest.h>

namespace {

// Restores the thread locale the test found.
class ThreadLocaleScope {
public:
  ThreadLocaleScope() : FSaved(GetThreadLocale()) {}
  ~ThreadLocaleScope() { SetThreadLocale(FSaved); }

private:
  LCID FSaved;
};

TEST(RegExprLocale, SeparatorsFollowTheThreadLocale) {
  ThreadLocaleScope restore;
  TcxRegExpr engine;
  TStringStream source("\\d/\\d:\\d");
  engine.compilePatternStream(&source);
  // German: "." between date parts and ":" in times.
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT)));
  EXPECT_EQ(engine.filterThrough("1/.2:3"), "1.2:3");
  // The same engine, after a switch to United States English: "/".
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), SORT_DEFAULT)));
  engine.restartAutomaton();
  EXPECT_EQ(engine.filterThrough("1./2:3"), "1/2:3");
}

}  // namespace
