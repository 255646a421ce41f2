// The text properties without a window: the maximum length, value limits,
// password masking, normalising, thousand separators and copying.
#include "editors/framework/TextEditProperties.h"
#include "platform/FormatSettings.h"
#include "tests/editors/framework/EditorFixture.h"

#include <gtest/gtest.h>

namespace {

class TListStyleProperties : public TcxTextEditProperties {
public:
  using TcxTextEditProperties::TcxTextEditProperties;
  int EditingStyle() const override { return Style; }
  int Style = 0;
};

struct TextEditProperties : ::testing::Test {
  void SetUp() override { editor_test::StartEditorUnits(); }
  void TearDown() override { editor_test::FinishEditorUnits(); }
};

TFormatSettings CommaAndPoint() {
  TFormatSettings s = FormatSettings();
  s.ThousandSeparator = ',';
  s.DecimalSeparator = '.';
  return s;
}

TEST_F(TextEditProperties, ANegativeMaxLengthStoresZeroAndMarksItAssigned) {
  std::unique_ptr<TcxTextEditProperties> p(New<TcxTextEditProperties>(nullptr));
  EXPECT_FALSE(p->TextValues()->MaxLength());
  p->SetMaxLength(-5);
  EXPECT_TRUE(p->TextValues()->MaxLength());
  EXPECT_EQ(p->MaxLength(), 0);
  p->SetMaxLength(3);
  EXPECT_EQ(p->MaxLength(), 3);
}

TEST_F(TextEditProperties, ValueLimitsFollowTheAssignedFlags) {
  struct TCase {
    const char* Name;
    bool SetMin, SetMax;
    double Min, Max;
    double Value;
    bool OutOfBounds;
  };
  const TCase cases[] = {
      {"only the minimum, below", true, false, 10, 0, 5, true},
      {"only the minimum, far above", true, false, 10, 0, 1000, false},
      {"neither, both zero", false, false, 0, 0, -50, false},
      {"both, above", true, true, 1, 9, 10, true},
      {"both, inside", true, true, 1, 9, 5, false},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TcxTextEditProperties> p(New<TcxTextEditProperties>(nullptr));
    if (c.SetMin) p->SetMinValue(c.Min);
    if (c.SetMax) p->SetMaxValue(c.Max);
    AnsiString error;
    bool failed = false;
    p->CheckDisplayNumber(Variant(c.Value), error, failed);
    EXPECT_EQ(failed, c.OutOfBounds);
    if (c.OutOfBounds) {
      EXPECT_EQ(error, "Value out of bounds");
    }
  }
}

TEST_F(TextEditProperties, PasswordTextIsMaskedPerByte) {
  std::unique_ptr<TcxTextEditProperties> p(New<TcxTextEditProperties>(nullptr));
  p->SetEchoMode(eemPassword);
  struct TCase {
    const char* Name;
    AnsiString Text;
    char PasswordChar;
    AnsiString Expected;
  };
  const TCase cases[] = {
      {"two double-byte characters", "中文", 0, "****"},
      {"plain", "abc", '#', "###"},
      {"empty", "", 0, ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    p->SetPasswordChar(c.PasswordChar);
    AnsiString text = c.Text;
    p->MaskPasswordText(text);
    EXPECT_EQ(text, c.Expected);
  }
}

TEST_F(TextEditProperties, NormalisingRefusesTextsOutsideTheListAndConvertsCase) {
  struct TCase {
    const char* Name;
    int Style;
    TEditCharCase Case;
    AnsiString Text;
    bool Accepted;
    AnsiString Result;
  };
  const TCase cases[] = {
      {"plain edit takes anything", 0, ecNormal, "xyz", true, "xyz"},
      {"fixed list refuses a stranger", 2, ecNormal, "xyz", false, "xyz"},
      {"fixed list takes an item in any case", 2, ecNormal, "beta", true, "beta"},
      {"editable list takes empty", 1, ecNormal, "", true, ""},
      {"upper case", 0, ecUpperCase, "Beta", true, "BETA"},
      {"lower case", 1, ecLowerCase, "ALPHA", true, "alpha"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    std::unique_ptr<TListStyleProperties> p(New<TListStyleProperties>(nullptr));
    p->Style = c.Style;
    p->LookupItems()->Add("Alpha");
    p->LookupItems()->Add("Beta");
    p->SetCharCase(c.Case);
    TcxEditValue value(c.Text);
    EXPECT_EQ(p->NormalizeDisplayValue(value, true), c.Accepted);
    EXPECT_EQ(VarToStr(value), c.Result);
  }
}

TEST_F(TextEditProperties, ThousandSeparators) {
  const TFormatSettings s = CommaAndPoint();
  struct TCase {
    AnsiString Text, Expected;
  };
  const TCase cases[] = {
      {"12345", "12,345"}, {"-1234.5", "-1,234.5"}, {"123", "123"},         {"12E5", "12E5"},
      {"  1234  ", "  1,234  "}, {"1,2,3,4", "1,234"}, {"1234567.891", "1,234,567.891"}, {"", ""},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(InsertThousandSeparators(c.Text, s), c.Expected);
  }
  EXPECT_EQ(RemoveThousandSeparators("1,234,567", s), "1234567");
  EXPECT_TRUE(IsNumberText("1,234.5", s));
  EXPECT_FALSE(IsNumberText("12a", s));
  EXPECT_FALSE(IsNumberText("", s));
  AnsiString text;
  int caret = 0;
  ASSERT_TRUE(RegroupNumberText("12345", 4, text, caret, s));
  EXPECT_EQ(text, "12,345");
  EXPECT_EQ(caret, 5) << "after the fourth digit";
}

TEST_F(TextEditProperties, CopyingKeepsTheSourceOrderThenSorts) {
  std::unique_ptr<TcxTextEditProperties> source(New<TcxTextEditProperties>(nullptr));
  source->LookupItems()->Add("c");
  source->LookupItems()->Add("a");
  source->SetMaxLength(7);
  source->SetEchoMode(eemPassword);
  source->SetLookupItemsSorted(true);
  std::unique_ptr<TcxTextEditProperties> copy(New<TcxTextEditProperties>(nullptr));
  copy->Assign(source.get());
  EXPECT_TRUE(copy->LookupItemsSorted());
  ASSERT_EQ(copy->LookupItems()->Count(), 2);
  EXPECT_EQ(copy->LookupItems()->Strings(0), "a");
  EXPECT_EQ(copy->MaxLength(), 7);
  EXPECT_TRUE(copy->TextValues()->MaxLength());
  EXPECT_EQ(copy->EchoMode(), eemPassword);
}

TEST_F(TextEditProperties, TheEditingStyleFollowsTheHiddenCaret) {
  std::unique_ptr<TcxTextEditProperties> p(New<TcxTextEditProperties>(nullptr));
  EXPECT_EQ(p->EditingStyle(), tesPlain);
  EXPECT_TRUE(p->CanRevertValue());
  p->SetHiddenCaret(true);
  EXPECT_EQ(p->EditingStyle(), tesNoEdit);
  EXPECT_FALSE(p->CanRevertValue());
  EXPECT_EQ(p->Capabilities() & 0x15Eu, 0x15Eu);
}

TEST_F(TextEditProperties, TheRegistryKnowsTheTextEditWhileItsUnitRuns) {
  cxTextEditInit();
  EXPECT_GE(RegisteredPropertiesClasses()->IndexOfClass(&TcxTextEditProperties::ClassInfo), 0);
  cxTextEditDone();
  EXPECT_LT(RegisteredPropertiesClasses()->IndexOfClass(&TcxTextEditProperties::ClassInfo), 0);
}

}  // namespace
