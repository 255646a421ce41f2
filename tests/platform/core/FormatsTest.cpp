// The program's formats read from Windows locales, text in those formats,
// the system's reading of variant dates, the re-reading when the user
// changes the locale's settings, and shortcut text.
#include "platform/DateTime.h"
#include "platform/Forms.h"
#include "platform/LocaleFormats.h"
#include "platform/NumberText.h"
#include "platform/ShortCuts.h"
#include "platform/Variant.h"
#include "tests/native/platform/FormatRecords.h"

#include <gtest/gtest.h>

using namespace test_formats;

namespace {

LCID Locale(WORD language, WORD sublanguage) { return MAKELCID(MAKELANGID(language, sublanguage), SORT_DEFAULT); }

const LCID EnglishUS = Locale(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const LCID GermanGermany = Locale(LANG_GERMAN, SUBLANG_GERMAN);
const LCID ChineseChina = Locale(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

// Restores the thread locale the test found.
class ThreadLocaleScope {
public:
  ThreadLocaleScope() : FSaved(GetThreadLocale()) {}
  ~ThreadLocaleScope() { SetThreadLocale(FSaved); }

private:
  LCID FSaved;
};

struct LocaleCase {
  const char* Name;
  LCID Locale;
  char Decimal, Thousand, DateSeparator;
  char FirstDateLetter;  // the order of the short date: M, d or y first
  bool TwelveHours;
  const char* Number;  // 1234567.5 as ffNumber with 2 decimals
};

TEST(LocaleFormatsTest, RecordsOfThreeLocales) {
  const LocaleCase cases[] = {
      {"en-US", EnglishUS, '.', ',', '/', 'M', true, "1,234,567.50"},
      {"de-DE", GermanGermany, ',', '.', '.', 'd', false, "1.234.567,50"},
      {"zh-CN", ChineseChina, '.', ',', '/', 'y', false, "1,234,567.50"},
  };
  const TDateTime value = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 0);
  for (const LocaleCase& c : cases) {
    const TFormatSettings s = GetLocaleFormatSettings(c.Locale);
    EXPECT_EQ(s.DecimalSeparator, c.Decimal) << c.Name;
    EXPECT_EQ(s.ThousandSeparator, c.Thousand) << c.Name;
    EXPECT_EQ(s.DateSeparator, c.DateSeparator) << c.Name;
    EXPECT_EQ(s.TimeSeparator, ':') << c.Name;
    ASSERT_FALSE(s.ShortDateFormat.empty()) << c.Name;
    EXPECT_EQ(s.ShortDateFormat[0], c.FirstDateLetter) << c.Name << ": " << s.ShortDateFormat;
    EXPECT_EQ(s.LongTimeFormat.find("AMPM") != AnsiString::npos, c.TwelveHours) << c.Name << ": " << s.LongTimeFormat;
    EXPECT_EQ(FloatToStrF(1234567.5, ffNumber, 15, 2, s), c.Number) << c.Name;
    const AnsiString text = DateTimeToStr(value, s);
    EXPECT_NE(text.find(c.TwelveHours ? "2:07:09" : "14:07:09"), AnsiString::npos) << c.Name << ": " << text;
    EXPECT_EQ(StrToDateTime(text, s), value) << c.Name << ": " << text;
    EXPECT_FALSE(s.LongMonthNames[11].empty()) << c.Name;
    EXPECT_FALSE(s.ShortDayNames[0].empty()) << c.Name;
    EXPECT_FALSE(s.CurrencyString.empty()) << c.Name;
  }
  const TFormatSettings english = GetLocaleFormatSettings(EnglishUS);
  EXPECT_EQ(english.LongMonthNames[0], "January");
  EXPECT_EQ(english.ShortDayNames[0], "Sun");  // the record counts from Sunday
  EXPECT_EQ(english.LongDayNames[1], "Monday");
  EXPECT_EQ(english.TimeAMString, "AM");
  EXPECT_EQ(FloatToStrF(-5, ffCurrency, 15, 2, english), "($5.00)");
  EXPECT_EQ(FloatToStrF(-5, ffCurrency, 15, 2, GetLocaleFormatSettings(GermanGermany)).substr(0, 6), "-5,00 ");
  // Chinese designators come in the system code page.
  const TFormatSettings chinese = GetLocaleFormatSettings(ChineseChina);
  EXPECT_EQ(chinese.TimeAMString, "\xC9\xCF\xCE\xE7");
  EXPECT_EQ(chinese.LongDayNames[0], "\xD0\xC7\xC6\xDA\xC8\xD5");  // Sunday
}

TEST(LocaleFormatsTest, ProgramsFormatsFollowTheThreadLocaleWhenReadAgain) {
  ThreadLocaleScope restoreLocale;
  TFormatsScope restoreFormats;
  ASSERT_TRUE(SetThreadLocale(GermanGermany));
  GetFormatSettings();
  EXPECT_EQ(FormatSettings().DecimalSeparator, ',');
  EXPECT_EQ(FloatToStr(2.5), "2,5");
  EXPECT_EQ(Variant(2.5).AsString(), "2,5");
  ASSERT_TRUE(SetThreadLocale(EnglishUS));
  GetFormatSettings();
  EXPECT_EQ(FloatToStr(2.5), "2.5");
}

TEST(LocaleFormatsTest, SettingChangeRereadsOnlyWhenTheApplicationSaysSo) {
  TUnitScope forms{FormsUnit};  // the application object and its window
  ThreadLocaleScope restoreLocale;
  TFormatsScope restoreFormats(InvariantFormatSettings());
  ASSERT_TRUE(SetThreadLocale(GermanGermany));
  const bool saved = Application->UpdateFormatSettings();

  Application->SetUpdateFormatSettings(false);
  SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(FormatSettings().DecimalSeparator, '.') << "read again although switched off";

  Application->SetUpdateFormatSettings(true);
  SendMessageA(Application->Handle(), WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
  EXPECT_EQ(FormatSettings().DecimalSeparator, '.') << "read again for another section";
  SendMessageA(Application->Handle(), WM_SETTINGCHANGE, 0, reinterpret_cast<LPARAM>("intl"));
  EXPECT_EQ(FormatSettings().DecimalSeparator, ',');
  Application->SetUpdateFormatSettings(saved);
}

TEST(LocaleFormatsTest, VariantDatesAlsoReadTheSystemsWay) {
  ThreadLocaleScope restoreLocale;
  TFormatsScope restoreFormats(GetLocaleFormatSettings(EnglishUS));
  ASSERT_TRUE(SetThreadLocale(EnglishUS));
  const TDateTime march5 = EncodeDate(2024, 3, 5);
  struct Case {
    const char* Text;
    double Value;
  };
  const Case cases[] = {
      {"3/5/2024", march5},        // the program's own formats
      {"3 5 2024", march5},        // blanks as separators
      {"March 5, 2024", march5},   // a month name
      {"3/5/2024 2:30 PM", march5 + EncodeTime(14, 30, 0, 0)},
  };
  for (const Case& c : cases) EXPECT_NEAR(Variant(c.Text).AsDate(), c.Value, 1e-9) << c.Text;
  EXPECT_THROW(Variant("no date at all").AsDate(), EVariantTypeCastError);
}

TEST(ShortCutTextTest, BothWays) {
  struct Case {
    TShortCut ShortCut;
    const char* Text;
  };
  const Case cases[] = {
      {scCtrl | 'S', "Ctrl+S"},
      {scShift | scCtrl | VK_DELETE, "Shift+Ctrl+Del"},
      {scAlt | VK_F4, "Alt+F4"},
      {VK_F12, "F12"},
      {VK_F24, "F24"},
      {VK_RETURN, "Enter"},
      {scCtrl | VK_RETURN, "Ctrl+Enter"},
      {scCtrl | '0', "Ctrl+0"},
      {VK_BACK, "BkSp"},
      {VK_ESCAPE, "Esc"},
      {scShift | VK_TAB, "Shift+Tab"},
      {VK_SPACE, "Space"},
      {VK_PRIOR, "PgUp"},
      {VK_NEXT, "PgDn"},
      {VK_HOME, "Home"},
      {VK_END, "End"},
      {VK_LEFT, "Left"},
      {VK_UP, "Up"},
      {VK_RIGHT, "Right"},
      {VK_DOWN, "Down"},
      {VK_INSERT, "Ins"},
      {scShift | scCtrl | scAlt | 'A', "Shift+Ctrl+Alt+A"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.ShortCut), c.Text) << c.Text;
    EXPECT_EQ(TextToShortCut(c.Text), c.ShortCut) << c.Text;
  }
  EXPECT_EQ(ShortCutToText(0x400D), "Ctrl+Enter");  // the edit buttons' click key
  EXPECT_EQ(ShortCutToText(0), "");
  // Modifiers in any order and case.
  EXPECT_EQ(TextToShortCut("ctrl+s"), scCtrl | 'S');
  EXPECT_EQ(TextToShortCut("Alt+Shift+Ctrl+a"), scShift | scCtrl | scAlt | 'A');
  for (const char* nothing : {"", "Ctrl+", "Foo", "Ctrl+Foo", "Ctrl+S+"}) EXPECT_EQ(TextToShortCut(nothing), 0) << nothing;
  // A key without a name of its own takes the keyboard's, which reads back
  // (as the first key of that name).
  const AnsiString multiply = ShortCutToText(scCtrl | VK_MULTIPLY);
  if (!multiply.empty()) {
    EXPECT_EQ(ShortCutToText(TextToShortCut(multiply)), multiply);
  }
}

}  // namespace
