// The format controller: masks and formats of injected format settings,
// values a program sets kept over the locale's, the hidden window that lives
// while anyone listens, and the locale and clock changes it passes on.
#include "editors/framework/Formats.h"
#include "platform/Forms.h"
#include "platform/HandleCounts.h"

#include <gtest/gtest.h>

namespace {

// Injects formats for one test and puts the program's back afterwards.
class FormatController : public ::testing::Test {
protected:
  void SetUp() override {
    FSaved = FormatSettings();
    TFormatSettings& s = FormatSettings();
    s = InvariantFormatSettings();
    s.ShortDateFormat = "d/M/yyyy";
    s.LongTimeFormat = "hh:mm:ss AMPM";
    s.TimeAMString = "AM";
    s.TimePMString = "PM";
    s.CurrencyString = "$";
    s.CurrencyFormat = 0;
    s.NegCurrFormat = 1;
    s.CurrencyDecimals = 2;
  }
  void TearDown() override {
    FormatSettings() = FSaved;
    if (Application) Application->SetUpdateFormatSettings(true);
  }

private:
  TFormatSettings FSaved;
};

class Listener : public IcxLocaleFormatListener {
public:
  void LocaleFormatsChanged() override { ++Formats; }
  int Formats = 0;
};

class ClockListener : public Listener, public IcxTimeChangeListener {
public:
  void SystemTimeChanged() override { ++Times; }
  int Times = 0;
};

TEST_F(FormatController, BuildsTheMasksOfTheFormats) {
  TcxFormatController controller;
  EXPECT_EQ(controller.LocaleDateMask(), "!99/99/9999;1; ");
  EXPECT_EQ(controller.DateStandardMask(), "!99/99/9999;1; ");
  EXPECT_EQ(controller.DateEditPattern(), "dd/MM/yyyy");
  EXPECT_EQ(controller.DateDisplayFormat(), "dd/mm/yyyy");
  EXPECT_EQ(controller.DateTimeDisplayFormat(), "dd/mm/yyyy' 'hh:nn:ss' 'ampm");
  EXPECT_EQ(controller.DateTimeStandardMask(), "!99/99/9999\\ 99:99:99\\ cc;1; ");
  EXPECT_EQ(TcxFormatController::BuildStandardMask(controller.TimeInfo(), cxMaskTime), "00:00:00\\ cc;1;0");
  EXPECT_EQ(controller.CurrencyDisplayFormat(), "$,0.00;-$,0.00");
  EXPECT_EQ(TcxFormatController::FormatTextLength(controller.DateInfo()), 10);
  EXPECT_TRUE(controller.DateRegExprMask().starts_with("(([012]?[1-9]|[123]0|31)\\/"));
  EXPECT_NE(controller.DateRegExprMask().find("'eom')((\\+|-)"), AnsiString::npos);
  EXPECT_EQ(controller.DateRegExprMask().find("'now'"), AnsiString::npos);
  EXPECT_NE(controller.DateTimeRegExprMask().find(" ' '((0?[1-9]|1[012])\\:"), AnsiString::npos);
  EXPECT_NE(controller.DateTimeRegExprMask().find("'now')"), AnsiString::npos);
  EXPECT_LE(controller.WeekStartDay(), 6);
  EXPECT_EQ(controller.WeekStartDay(), TcxFormatController::LocaleStartOfWeek());
  EXPECT_FALSE(controller.RuntimeFormatsOnly());
  EXPECT_EQ(controller.YearFirstWeekRule(), 0);
}

TEST_F(FormatController, AnEraInTheDateFormatGivesNoMasks) {
  FormatSettings().ShortDateFormat = "gg yyyy/M/d";
  TcxFormatController controller;
  EXPECT_EQ(controller.DateStandardMask(), "");
  EXPECT_EQ(controller.DateDisplayFormat(), "");
  EXPECT_TRUE(controller.DateInfo().Items.empty());
}

TEST_F(FormatController, ValuesAProgramSetsAreKeptOverTheLocales) {
  TcxFormatController controller;
  controller.SetDateStandardMask("!9999;1; ");
  controller.SetDateRegExprMask("\\d+");
  controller.SetCurrencyDisplayFormat("0.0");
  controller.SetWeekStartDay(3);
  FormatSettings().ShortDateFormat = "yyyy-MM-dd";
  controller.ReadLocaleFormats();
  EXPECT_EQ(controller.DateStandardMask(), "!9999;1; ");
  EXPECT_EQ(controller.DateRegExprMask(), "\\d+");
  EXPECT_EQ(controller.CurrencyDisplayFormat(), "0.0");
  EXPECT_EQ(controller.WeekStartDay(), 3);
  EXPECT_EQ(controller.LocaleDateMask(), "!9999\\-99\\-99;1; ") << "the locale's own mask follows";
  EXPECT_EQ(controller.DateTimeStandardMask(), "!9999\\-99\\-99\\ 99:99:99\\ cc;1; ");
}

TEST_F(FormatController, SetValuesTellTheListenersOnceAfterAnUpdate) {
  TcxFormatController controller;
  Listener listener;
  controller.AddListener(&listener);
  controller.SetDateStandardMask("!99;1; ");
  EXPECT_EQ(listener.Formats, 1);
  controller.SetDateStandardMask("!99;1; ");
  EXPECT_EQ(listener.Formats, 1) << "no change";
  controller.BeginUpdate();
  controller.SetDateTimeStandardMask("!9;1; ");
  controller.SetWeekStartDay(5);
  EXPECT_EQ(listener.Formats, 1);
  controller.EndUpdate();
  EXPECT_EQ(listener.Formats, 2);
  controller.RemoveListener(&listener);
}

TEST_F(FormatController, TheFirstListenerMakesTheWindowTheLastReleasesIt) {
  TcxFormatController controller;
  EXPECT_EQ(controller.WindowHandle(), nullptr);
  const THandleCounts before = HandleCounts();
  Listener a, b;
  controller.AddListener(&a);
  HWND window = controller.WindowHandle();
  ASSERT_NE(window, nullptr);
  EXPECT_TRUE(IsWindow(window));
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ(GetParent(window), nullptr) << "a top-level window hears broadcasts";
  controller.AddListener(&b);
  controller.AddListener(&a);
  EXPECT_EQ(controller.ListenerCount(), 2) << "added once";
  EXPECT_EQ(controller.WindowHandle(), window);
  controller.RemoveListener(&a);
  EXPECT_TRUE(IsWindow(window));
  controller.RemoveListener(&b);
  EXPECT_EQ(controller.WindowHandle(), nullptr);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(HandleCounts(), before);
}

TEST_F(FormatController, IntlReachesListenersOnlyWhenTheApplicationUpdatesFormats) {
  ASSERT_NE(Application, nullptr);
  TcxFormatController controller;
  Listener listener;
  controller.AddListener(&listener);
  static char intl[] = "intl";
  static char other[] = "windows";
  Application->SetUpdateFormatSettings(false);
  SendMessageA(controller.WindowHandle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(intl));
  EXPECT_EQ(listener.Formats, 0);
  EXPECT_EQ(controller.DateStandardMask(), "!99/99/9999;1; ") << "the injected formats stay";
  Application->SetUpdateFormatSettings(true);
  SendMessageA(controller.WindowHandle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(other));
  SendMessageA(controller.WindowHandle(), WM_WININICHANGE, 1, reinterpret_cast<LPARAM>(intl));
  EXPECT_EQ(listener.Formats, 0) << "another section, or a non-zero wParam";
  EXPECT_EQ(SendMessageA(controller.WindowHandle(), WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(intl)), 0);
  EXPECT_EQ(listener.Formats, 1);
  // The formats were read again from the system, and the masks with them.
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat(FormatSettings().ShortDateFormat, info);
  EXPECT_EQ(controller.LocaleDateMask(), TcxFormatController::BuildStandardMask(info, cxMaskDate));
  controller.RemoveListener(&listener);
}

TEST_F(FormatController, ClockChangesReachTimeListenersOnly) {
  TcxFormatController controller;
  Listener plain;
  ClockListener clock;
  controller.AddListener(&plain);
  controller.AddListener(&clock);
  EXPECT_EQ(SendMessageA(controller.WindowHandle(), WM_TIMECHANGE, 0, 0), 0);
  EXPECT_EQ(clock.Times, 1);
  EXPECT_EQ(clock.Formats, 0);
  EXPECT_EQ(plain.Formats, 0);
  controller.RemoveListener(&plain);
  controller.RemoveListener(&clock);
}

TEST_F(FormatController, TheSharedControllerIsMadeOnceAndFreedAtShutDown) {
  TcxFormatController* shared = SharedFormatController();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(SharedFormatController(), shared);
  cxFormatsDone();
  TcxFormatController* again = SharedFormatController();
  ASSERT_NE(again, nullptr);
  cxFormatsDone();
}

}  // namespace
