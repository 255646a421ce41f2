// Date and time pictures taken apart into items, and the masks, display
// formats, edit pattern and currency format built from them, with the
// locale's formats injected. Portable: also runs natively.
#include "editors/framework/DateTimeFormat.h"
#include "editors/framework/DateUtils.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace {

TFormatSettings Settings() {
  TFormatSettings s = InvariantFormatSettings();
  s.ShortDateFormat = "M/d/yyyy";
  s.LongDateFormat = "dddd, MMMM d, yyyy";
  s.ShortTimeFormat = "h:mm AMPM";
  s.LongTimeFormat = "h:mm:ss AMPM";
  s.TimeAMString = "AM";
  s.TimePMString = "PM";
  s.DateSeparator = '/';
  s.TimeSeparator = ':';
  s.CurrencyString = "$";
  s.CurrencyDecimals = 2;
  return s;
}

// "kind:data" per item, joined by spaces: "3:D 9: 2:M".
std::string Items(const TcxDateTimeFormatInfo& info) {
  std::string result;
  for (const TcxDateTimeFormatItem& item : info.Items) {
    if (!result.empty()) result += ' ';
    result += std::to_string(item.Kind) + ":" + item.Data;
  }
  return result;
}

struct ParseCase {
  const char* name;
  const char* format;
  const char* items;
};

const ParseCase ParseCases[] = {
    {"LoneDayMonthAndLongYear", "d/M/yyyy", "3:D 9: 2:M 9: 1:YYYY"},
    {"TwelveHourTimeWithDesignator", "hh:mm:ss AMPM", "4:12HH 10: 5:NN 10: 6:SS 0:  8:AMPM"},
    {"TwentyFourHourTime", "HH:nn", "4:24HH 10: 5:NN"},
    {"NIsTheMinute", "d n", "3:D 0:  5:N"},
    {"MonthAfterAnHourIsAMinuteAcrossNonLetters", "h.m", "4:24H 0:. 5:N"},
    {"MonthAfterADayStaysAMonth", "d.m", "3:D 0:. 2:M"},
    {"SecondDayRunIsDroppedTheSpaceStays", "dd dd", "3:DD 0: "},
    {"DesignatorWithoutAnHourIsRemoved", "d/M/yyyy AMPM", "3:D 9: 2:M 9: 1:YYYY 0: "},
    {"DesignatorKeepsItsCase", "h am/pm", "4:12H 0:  8:am/pm"},
    {"ShortDesignator", "h A/P", "4:12H 0:  8:A/P"},
    {"QuotedTextIsALiteral", "d 'de' MMMM", "3:D 0: de  2:MMMM"},
    {"DoubleQuotes", "yy\"x\"M", "1:YY 0:x 2:M"},
    {"UnclosedQuoteRunsToTheEnd", "d'abc", "3:D 0:abc"},
    {"EraLetterYIsAYear", "ee", "1:YY"},
    {"MonthRunCappedAtFour", "MMMMMM", "2:MMMM"},
    {"MillisecondsCappedAtThree", "zzzz", "7:ZZZ"},
    {"AAAAIsTheWeekdayName", "AAAA", "3:DDDD"},
    {"AAAIsTheShortWeekdayName", "AAA", "3:DDD"},
    {"LoneAIsALiteral", "d a", "3:D 0: a"},
    {"OtherLettersAreLiterals", "dxq", "3:D 0:xq"},
    {"FiveDaysIsTheShortDate", "ddddd", "2:M 9: 3:D 9: 1:YYYY"},
    {"SixDaysIsTheLongDate", "dddddd", "3:DDDD 0:,  2:MMMM 0: ,  1:YYYY"},
    {"TIsTheShortTime", "t", "4:12H 10: 5:NN 0:  8:AMPM"},
    {"TTIsTheLongTime", "tt", "4:12H 10: 5:NN 10: 6:SS 0:  8:AMPM"},
    {"CIsDateAndTime", "c", "2:M 9: 3:D 9: 1:YYYY 0:  4:12H 10: 5:NN 10: 6:SS 0:  8:AMPM"},
    {"AnEmptyFormatReadsAsC", "", "2:M 9: 3:D 9: 1:YYYY 0:  4:12H 10: 5:NN 10: 6:SS 0:  8:AMPM"},
    {"EraFails", "gg yyyy", ""},
    {"LowerCaseEraFails", "yyyy g", ""},
};

class ParseFormat : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseFormat, Items) {
  const ParseCase& c = GetParam();
  TcxDateTimeFormatInfo info;
  const bool ok = ParseDateTimeFormat(c.format, info, Settings());
  EXPECT_EQ(Items(info), c.items) << c.format;
  EXPECT_EQ(ok, std::string(c.items) != "" || std::string(c.format).empty());
  for (int kind = fikYear; kind <= fikAmPm; ++kind) {
    int count = 0;
    for (const auto& item : info.Items) count += item.Kind == kind;
    EXPECT_LE(count, 1) << "kind " << kind;
    EXPECT_EQ(info.DefinedItems[kind], count == 1) << "kind " << kind;
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ParseFormat, ::testing::ValuesIn(ParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ParseFormatExpansion, ReachesOneLevelOnly) {
  TFormatSettings s = Settings();
  // A short date that names itself again expands nothing the second time.
  s.ShortDateFormat = "ddddd/M";
  TcxDateTimeFormatInfo info;
  ASSERT_TRUE(ParseDateTimeFormat("ddddd", info, s));
  EXPECT_EQ(Items(info), "9: 2:M");
}

TEST(ParseFormatExpansion, AFailedExpansionFailsTheParse) {
  TFormatSettings s = Settings();
  s.LongTimeFormat = "gg h";
  TcxDateTimeFormatInfo info;
  EXPECT_FALSE(ParseDateTimeFormat("d tt", info, s));
  EXPECT_TRUE(info.Items.empty());
}

TEST(ParseFormatExpansion, DoubleByteCharactersAreLiterals) {
  // Code page 936: 0xC4EA is one character, whatever its trail byte spells.
  TcxDateTimeFormatInfo info;
  ASSERT_TRUE(ParseDateTimeFormat("yyyy\xC4\xEAM\xD4\xC2", info, Settings()));
  if (IsLeadByte(0xC4)) {
    EXPECT_EQ(Items(info), "1:YYYY 0:\xC4\xEA 2:M 0:\xD4\xC2");
  }
}

struct MaskCase {
  const char* name;
  const char* format;
  int mode;
  const char* standard;
  const char* display;
};

const MaskCase MaskCases[] = {
    {"DayMonthYear", "d/M/yyyy", cxMaskDate, "!99/99/9999;1; ", "dd/mm/yyyy"},
    {"TwelveHourTime", "hh:mm:ss AMPM", cxMaskTime, "00:00:00\\ cc;1;0", "hh:nn:ss' 'ampm"},
    {"ShortDesignator", "h:mm a/p", cxMaskTime, "00:00\\ c;1;0", "hh:nn' 'a/p"},
    {"LongDesignator", "h:mm AM/PM", cxMaskTime, "00:00\\ cc;1;0", "hh:nn' 'am/pm"},
    {"MonthNamesAndTwoDigitYear", "dd-MMM-yy", cxMaskDate, "!99\\-lll\\-99;1; ", "dd'-'mmm'-'yy"},
    {"DateTime", "d/M/yyyy h:mm", cxMaskDateTime, "!99/99/9999\\ 99:99;1; ", "dd/mm/yyyy' 'hh:nn"},
    {"MillisecondsTakeNothing", "ss.zzz", cxMaskTime, "00\\.;1;0", "ss'.'"},
    {"EraGivesNothing", "G", cxMaskDate, "", ""},
};

class FormatMasks : public ::testing::TestWithParam<MaskCase> {};

TEST_P(FormatMasks, StandardMaskAndDisplayFormat) {
  const MaskCase& c = GetParam();
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat(c.format, info, Settings());
  EXPECT_EQ(BuildStandardMask(info, c.mode, Settings()), c.standard);
  EXPECT_EQ(BuildMaskedDisplayFormat(info), c.display);
}

INSTANTIATE_TEST_SUITE_P(Formats, FormatMasks, ::testing::ValuesIn(MaskCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatMasks, AnOtherDesignatorTakesTheLongerLocaleText) {
  TFormatSettings s = Settings();
  s.TimeAMString = "\xC9\xCF\xCE\xE7";  // two double-byte characters: four bytes
  s.TimePMString = "PM";
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat("h AMPM", info, s);
  EXPECT_EQ(BuildStandardMask(info, cxMaskTime, s), "00\\ cccc;1;0");
  ASSERT_EQ(info.Items.size(), 3u);
  EXPECT_EQ(ItemTextLength(info.Items[2], s), 4);
}

TEST(RegExprMasks, DateItems) {
  TFormatSettings s = Settings();
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat("d/M/yy", info, s);
  EXPECT_EQ(BuildRegExprMask(info, cxMaskDate, s),
            "([012]?[1-9]|[123]0|31)\\/((0?[1-9]|1[012])|('Jan'|'Feb'|'Mar'|'Apr'|'May'|'Jun'|'Jul'|'Aug'|'Sep'|"
            "'Oct'|'Nov'|'Dec'))\\/\\d\\d");
  EXPECT_EQ(BuildRegExprMask(info, cxMaskDateTime, s), "") << "mode 2 builds nothing";
}

TEST(RegExprMasks, LongMonthNamesAreQuotedLikeKeywords) {
  TFormatSettings s = Settings();
  for (AnsiString& name : s.LongMonthNames) name = "M";
  s.LongMonthNames[0] = "Jan'y";
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat("MMMM", info, s);
  EXPECT_EQ(BuildRegExprMask(info, cxMaskDate, s),
            "((0?[1-9]|1[012])|('Jan'\\''y'|'M'|'M'|'M'|'M'|'M'|'M'|'M'|'M'|'M'|'M'|'M'))");
}

TEST(RegExprMasks, ASpaceSeparatorIsQuoted) {
  TFormatSettings s = Settings();
  s.DateSeparator = ' ';
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat("yyyy/dd", info, s);
  EXPECT_EQ(BuildRegExprMask(info, cxMaskDate, s), "\\d\\d\\d\\d' '([012]?[1-9]|[123]0|31)");
  s.DateSeparator = 0;
  EXPECT_EQ(BuildRegExprMask(info, cxMaskDate, s), "\\d\\d\\d\\d([012]?[1-9]|[123]0|31)");
}

struct TimeRegExprCase {
  const char* name;
  const char* format;
  const char* am;
  const char* pm;
  const char* expression;
};

const TimeRegExprCase TimeRegExprCases[] = {
    {"TwelveHour", "h:mm:ss AMPM", "AM", "PM", "(0?[1-9]|1[012])\\:[0-5]?\\d\\:[0-5]?\\d' '('AM'|'PM')?"},
    {"TwentyFourHour", "HH:mm", "AM", "PM", "([01]?\\d|2[0-3])\\:[0-5]?\\d"},
    {"ShortDesignator", "h a/p", "AM", "PM", "(0?[1-9]|1[012])' '(A|P)?"},
    {"LongDesignator", "h AM/PM", "AM", "PM", "(0?[1-9]|1[012])' '(AM|PM)?"},
    {"OnlyAnAmText", "h AMPM", "am", "", "(0?[1-9]|1[012])' '('am')?"},
    {"OnlyAPmText", "h AMPM", "", "pm", "(0?[1-9]|1[012])' '('pm')?"},
    {"NoDesignatorTexts", "h AMPM", "", "", "(0?[1-9]|1[012])' '"},
};

class TimeRegExprMasks : public ::testing::TestWithParam<TimeRegExprCase> {};

TEST_P(TimeRegExprMasks, Expression) {
  const TimeRegExprCase& c = GetParam();
  TFormatSettings s = Settings();
  s.TimeAMString = c.am;
  s.TimePMString = c.pm;
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat(c.format, info, s);
  EXPECT_EQ(BuildRegExprMask(info, cxMaskTime, s), c.expression);
}

INSTANTIATE_TEST_SUITE_P(Formats, TimeRegExprMasks, ::testing::ValuesIn(TimeRegExprCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatParts, PositionsAcrossTheItems) {
  TFormatSettings s = Settings();
  TcxDateTimeFormatInfo info;
  ParseDateTimeFormat("dd/MMM/yyyy hh:mm A/P", info, s);
  EXPECT_EQ(FormatTextLength(info, s), 2 + 1 + 3 + 1 + 4 + 1 + 2 + 1 + 2 + 1 + 1);
  struct Row {
    int position;
    bool found;
    uint8_t kind;
    int start, length;
  };
  const Row rows[] = {
      {0, false, 0, 0, 0},      {1, true, fikDay, 1, 2},    {2, true, fikDay, 1, 2},
      {3, true, fikDateSeparator, 3, 1}, {4, true, fikMonth, 4, 3}, {8, true, fikYear, 8, 4},
      {12, true, fikLiteral, 12, 1},     {13, true, fikHour, 13, 2}, {19, true, fikAmPm, 19, 1},
      {20, false, 0, 0, 0},     {-3, false, 0, 0, 0},
  };
  for (const Row& row : rows) {
    TcxFormatPart part;
    EXPECT_EQ(FindFormatPartAt(info, row.position, part, s), row.found) << row.position;
    if (!row.found) continue;
    EXPECT_EQ(part.Kind, row.kind) << row.position;
    EXPECT_EQ(part.Start, row.start) << row.position;
    EXPECT_EQ(part.Length, row.length) << row.position;
  }
  TcxFormatPart part;
  ASSERT_TRUE(FindFormatPartAt(info, 19, part, s));
  EXPECT_EQ(part.AmPmKind, 0);
  EXPECT_EQ(AmPmKind("am/pm"), 1);
  EXPECT_EQ(AmPmKind("AMPM"), 2);
}

struct PatternCase {
  const char* shortDate;
  const char* pattern;
};

TEST(DateEditPattern, LoneDayAndMonthLettersAreDoubled) {
  const PatternCase cases[] = {
      {"d/M/yyyy", "dd/MM/yyyy"}, {"dd/MM/yy", "dd/MM/yy"}, {"yyyy-M-d", "yyyy-MM-dd"},
      {"d MMM yyyy", "dd MMM yyyy"}, {"D/m/y", "D/m/y"},
  };
  for (const PatternCase& c : cases) {
    TFormatSettings s = Settings();
    s.ShortDateFormat = c.shortDate;
    EXPECT_EQ(BuildDateEditPattern(s), c.pattern) << c.shortDate;
  }
  EXPECT_EQ(LimitMonthRun("dd MMMM yyyy"), "dd MMM yyyy");
  EXPECT_EQ(LimitMonthRun("dd MM yyyy"), "dd MM yyyy");
}

TEST(CurrencyFormat, EverySectionPlacement) {
  const char* negatives[16] = {
      "($,0.00)", "-$,0.00", "$-,0.00", "$,0.00-", "(,0.00$)", "-,0.00$", ",0.00-$", ",0.00$-",
      "-,0.00 $", "-$ ,0.00", ",0.00 $-", "$ ,0.00-", "$ -,0.00", ",0.00- $", "($ ,0.00)", "(,0.00 $)",
  };
  const char* positives[4] = {"$,0.00", ",0.00$", "$ ,0.00", ",0.00 $"};
  TFormatSettings s = Settings();
  for (int p = 0; p < 4; ++p) {
    s.CurrencyFormat = static_cast<uint8_t>(p);
    s.NegCurrFormat = 0;
    EXPECT_EQ(BuildCurrencyFormat(s), std::string(positives[p]) + ";($,0.00)") << p;
  }
  s.CurrencyFormat = 0;
  for (int n = 0; n < 16; ++n) {
    s.NegCurrFormat = static_cast<uint8_t>(n);
    EXPECT_EQ(BuildCurrencyFormat(s), std::string("$,0.00;") + negatives[n]) << n;
  }
}

TEST(CurrencyFormat, SeparatorsInTheSymbolAreQuotedAndDecimalsCount) {
  TFormatSettings s = Settings();
  s.CurrencyString = "S.F,";
  s.CurrencyDecimals = 0;
  s.CurrencyFormat = 3;
  s.NegCurrFormat = 8;
  EXPECT_EQ(BuildCurrencyFormat(s), ",0. S'.'F',';-,0. S'.'F','");
}

struct QuoteCase {
  const char* keyword;
  const char* quoted;
};

TEST(SmartInputKeywords, QuotedWithApostrophesEscaped) {
  const QuoteCase cases[] = {
      {"today", "'today'"}, {"", ""}, {"'", "\\'"}, {"don't", "'don'\\''t'"}, {"''a", "\\'\\''a'"}, {"a b", "'a b'"},
  };
  for (const QuoteCase& c : cases) {
    AnsiString expression = "x";
    AppendQuotedKeyword(expression, c.keyword);
    EXPECT_EQ(expression, std::string("x") + c.quoted) << c.keyword;
  }
}

TEST(SmartInputKeywords, ExtendAnExpression) {
  ASSERT_EQ(cxSmartInputKeywords().size(), 20u);
  EXPECT_EQ(cxSmartInputKeywords()[sikNow], "now");
  AnsiString expression = "\\d";
  AddSmartInputToRegExpr(expression, false);
  const char* words =
      "'today'|'yesterday'|'tomorrow'|'Sunday'|'Monday'|'Tuesday'|'Wednesday'|'Thursday'|'Friday'|'Saturday'|"
      "'first'|'second'|'third'|'fourth'|'fifth'|'sixth'|'seventh'|'bom'|'eom'";
  EXPECT_EQ(expression, std::string("(\\d)|(") + words + ")((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
  expression = "\\d";
  AddSmartInputToRegExpr(expression, true);
  EXPECT_EQ(expression, std::string("(\\d)|(") + words + "|'now')((\\+|-)\\d(\\d(\\d\\d?)?)?)?");
}

}  // namespace
