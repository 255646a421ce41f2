// The standard mask: parsing the template, fitting texts into it, values and
// completeness. Portable: the same file runs under Wine and natively under
// the sanitizers.
#include "editors/masked/RegExprConsts.h"
#include "editors/masked/StandardMask.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Separators as a German locale writes them, installed for one test.
TcxRegExprLocaleChars GermanLocale() { return {'.', ':', ','}; }
TcxRegExprLocaleChars UsLocale() { return {'/', ':', '.'}; }
TcxRegExprLocaleChars NoSeparatorsLocale() { return {0, 0, '.'}; }

class LocaleSourceScope {
public:
  explicit LocaleSourceScope(TcxRegExprLocaleSource source) { cxSetRegExprLocaleSource(source); }
  ~LocaleSourceScope() { cxSetRegExprLocaleSource(nullptr); }
};

// The template as the edit shows it before anything is typed, and what the
// parse decided.
struct ParseCase {
  const char* name;
  const char* mask;
  const char* shown;
  bool leading;
  bool saveLiterals;
  char blank;
};

const ParseCase kParseCases[] = {
    {"PhoneWithSuffix", "!(999)000-0000;0;*", "(***)***-****", true, false, '*'},
    {"OnlySuffix", ";1;_", "", false, true, '_'},
    {"ShortSuffix", "000;0", "___", false, false, '_'},
    {"NoSuffix", "LL-00", "__-__", false, true, '_'},
    {"TrailingBackslashDropped", "00\\", "__", false, true, '_'},
    {"EscapedMaskLetter", "\\00", "0_", false, true, '_'},
    {"SemicolonNotASuffix", "0;2", "_;2", false, true, '_'},
    {"SemicolonTooLongToBeASuffix", "0;1;_x", "_;1;_x", false, true, '_'},
    {"SecondBangIsLiteral", "!!0", "!_", true, true, '_'},
    {"CaseMarksTakeNoPosition", ">L<l<>c", "___", false, true, '_'},
    {"DateSeparatorsFromTheLocale", "00/00/0000", "__/__/____", false, true, '_'},
    {"SpaceAndUnderscoreAreLiterals", "0 _0", "_ __", false, true, '_'},
};

class StandardMaskParse : public testing::TestWithParam<ParseCase> {};

TEST_P(StandardMaskParse, ShowsTheTemplate) {
  LocaleSourceScope locale(UsLocale);
  const ParseCase& c = GetParam();
  TcxStandardMask mask;
  mask.Compile(c.mask);
  EXPECT_EQ(mask.EmptyShownText(), c.shown);
  EXPECT_EQ(mask.Count(), static_cast<int>(std::string(c.shown).size()));
  EXPECT_EQ(mask.Leading(), c.leading);
  EXPECT_EQ(mask.SaveLiteralCharacters(), c.saveLiterals);
  EXPECT_EQ(mask.BlankChar(), c.blank);
  EXPECT_EQ(mask.Mask(), c.mask);
}

INSTANTIATE_TEST_SUITE_P(Cases, StandardMaskParse, testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StandardMask, SeparatorsAreTheLocalesAtParseTime) {
  TcxStandardMask mask;
  {
    LocaleSourceScope locale(GermanLocale);
    mask.Compile("00/00/0000 00:00");
  }
  LocaleSourceScope locale(UsLocale);
  EXPECT_EQ(mask.EmptyShownText(), "__.__.____ __:__");
  EXPECT_EQ(mask.FitText("24121999", true, false), "24.12.1999 __:__");
}

TEST(StandardMask, ALocaleWithoutSeparatorsGivesThemNoPosition) {
  LocaleSourceScope locale(NoSeparatorsLocale);
  TcxStandardMask mask;
  mask.Compile("00/00");
  EXPECT_EQ(mask.EmptyShownText(), "____");
}

TEST(StandardMask, RecompilingResetsTheSettings) {
  TcxStandardMask mask;
  mask.Compile("!000;0;*");
  mask.Compile("00");
  EXPECT_FALSE(mask.Leading());
  EXPECT_TRUE(mask.SaveLiteralCharacters());
  EXPECT_EQ(mask.BlankChar(), '_');
  EXPECT_EQ(mask.EmptyShownText(), "__");
}

struct FitCase {
  const char* name;
  const char* mask;
  const char* text;
  bool useConverted;
  bool textHasLiterals;
  const char* fitted;
};

const FitCase kFitCases[] = {
    {"BareDigits", "(000)000-0000", "5551234567", true, true, "(555)123-4567"},
    {"WithLiterals", "(000)000-0000", "(555)123-4567", true, true, "(555)123-4567"},
    {"UnsavedLiteralsSkippedForBareText", "(000)000-0000;0", "5551234567", true, false, "(555)123-4567"},
    {"UnsavedLiteralsMatchedWhenTextHasThem", "(000)000-0000;0", "(555)123-4567", true, true, "(555)123-4567"},
    {"BlankKeepsPositionBlank", "000", "1_3", true, true, "1_3"},
    {"SpaceKeepsPositionBlank", "000", "1 3", true, true, "1_3"},
    {"RefusedCharacterDropped", "000", "1x23", true, true, "123"},
    {"TooLongTextCut", "00", "12345", true, true, "12"},
    {"ShortTextLeavesBlanks", "0000", "12", true, true, "12__"},
    {"LeadingFitsFromTheRight", "!0000", "12", true, true, "__12"},
    {"LeadingKeepsTheLastCharacters", "!00", "12345", true, true, "45"},
    {"UpperCaseConverted", ">LL", "ab", true, true, "AB"},
    {"UpperCaseAsTyped", ">LL", "ab", false, true, "ab"},
    {"LowerCase", "<LL", "AB", true, true, "ab"},
    {"CaseOffAgain", ">L<>L", "ab", true, true, "Ab"},
    {"AnyCharacter", "CC", "?!", true, true, "?!"},
    {"SignsOnHash", "#00", "-12", true, true, "-12"},
    {"LetterDigit", "AA", "a1", true, true, "a1"},
    {"OwnBlankCharacter", "00;1;*", "1*", true, true, "1*"},
};

class StandardMaskFit : public testing::TestWithParam<FitCase> {};

TEST_P(StandardMaskFit, FitsTheText) {
  const FitCase& c = GetParam();
  TcxStandardMask mask;
  mask.Compile(c.mask);
  EXPECT_EQ(mask.FitText(c.text, c.useConverted, c.textHasLiterals), c.fitted);
}

INSTANTIATE_TEST_SUITE_P(Cases, StandardMaskFit, testing::ValuesIn(kFitCases),
                         [](const auto& info) { return std::string(info.param.name); });

struct ValueCase {
  const char* name;
  const char* mask;
  const char* shown;
  const char* value;
};

const ValueCase kValueCases[] = {
    {"UnsavedLiteralsGiveTheDigitsAlone", "(000)000-0000;0", "(555)123-4567", "5551234567"},
    {"SavedLiterals", "(000)000-0000;1", "(555)123-4567", "(555)123-4567"},
    {"LiteralsSavedByDefault", "(000)000-0000", "(555)123-4567", "(555)123-4567"},
    {"UntypedPositionIsASpace", "(000)000-0000", "(555)1_3-4567", "(555)1 3-4567"},
    {"ShortTextGivesItsPositionsOnly", "00-00", "12", "12"},
    {"SavedLiteralIsTheMasksEvenIfTheTextDiffers", "0-0", "1x2", "1-2"},
};

class StandardMaskValue : public testing::TestWithParam<ValueCase> {};

TEST_P(StandardMaskValue, GivesTheValue) {
  const ValueCase& c = GetParam();
  TcxStandardMask mask;
  mask.Compile(c.mask);
  EXPECT_EQ(mask.TextToValue(c.shown), c.value);
}

INSTANTIATE_TEST_SUITE_P(Cases, StandardMaskValue, testing::ValuesIn(kValueCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StandardMask, EmptyValueHasASpacePerEditablePosition) {
  TcxStandardMask mask;
  mask.Compile("(000)00");
  EXPECT_EQ(mask.EmptyValue(), "(   )  ");
  mask.Compile("(000)00;0");
  EXPECT_EQ(mask.EmptyValue(), "     ");
}

struct CompleteCase {
  const char* name;
  const char* mask;
  const char* text;
  bool complete;
};

const CompleteCase kCompleteCases[] = {
    {"AllTyped", "(000)", "(123)", true},
    {"BlankRequiredPosition", "(000)", "(1_3)", false},
    {"BlankOptionalPosition", "(999)", "(1_3)", true},
    {"SpaceOnOptionalPosition", "(999)", "(1 3)", true},
    {"WrongLiteral", "(000)", "[123]", false},
    {"TooShort", "(000)", "(12", false},
    {"TooLong", "(000)", "(123)4", false},
    {"RefusedCharacter", "LL", "a1", false},
    {"OptionalLetterBlank", "Ll", "a_", true},
    {"EmptyMaskEmptyText", ";1;_", "", true},
    {"OwnBlankOnOptional", "99;1;*", "1*", true},
};

class StandardMaskComplete : public testing::TestWithParam<CompleteCase> {};

TEST_P(StandardMaskComplete, TellsCompleteness) {
  const CompleteCase& c = GetParam();
  TcxStandardMask mask;
  mask.Compile(c.mask);
  EXPECT_EQ(mask.IsComplete(c.text), c.complete);
}

INSTANTIATE_TEST_SUITE_P(Cases, StandardMaskComplete, testing::ValuesIn(kCompleteCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StandardMask, ItemsConvertCaseWhetherTheyPassOrNot) {
  TcxStandardMask mask;
  mask.Compile(">0");
  char ch = 'q';
  EXPECT_FALSE(mask.Items(0).Check(ch));
  EXPECT_EQ(ch, 'Q');
  // Only ASCII letters change.
  ch = static_cast<char>(0xE4);
  EXPECT_FALSE(mask.Items(0).Check(ch));
  EXPECT_EQ(ch, static_cast<char>(0xE4));
}

}  // namespace
