// Check states written into edit values and read back in the four formats.
// Portable: runs natively too (tests/native/editors/framework).
#include "editors/framework/CheckStates.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class Items : public IcxCheckItemsSource {
public:
  explicit Items(std::vector<AnsiString> captions) : FCaptions(std::move(captions)) {}
  AnsiString GetCaption(int index) const override { return FCaptions.at(size_t(index)); }
  int GetCount() const override { return int(FCaptions.size()); }

private:
  std::vector<AnsiString> FCaptions;
};

Items ItemsOfCount(int count) {
  std::vector<AnsiString> captions;
  for (int i = 0; i < count; ++i) captions.push_back("item" + std::to_string(i));
  return Items(captions);
}

// The states written as one character each: U unchecked, C checked, G grayed.
std::string Letters(const TcxCheckStates& states) {
  std::string text;
  for (const TcxCheckBoxState state : states) text += state == cbsChecked ? 'C' : state == cbsGrayed ? 'G' : 'U';
  return text;
}

TcxCheckStates FromLetters(const std::string& letters) {
  TcxCheckStates states;
  for (const char c : letters) states.push_back(c == 'C' ? cbsChecked : c == 'G' ? cbsGrayed : cbsUnchecked);
  return states;
}

struct WriteCase {
  const char* Name;
  TcxCheckStatesValueFormat Format;
  Variant Expect;
};

class WriteExample : public testing::TestWithParam<WriteCase> {};

// Items A, Bb and C checked, grayed and checked, in each format and back.
TEST_P(WriteExample, WritesAndReadsBack) {
  const WriteCase& c = GetParam();
  const Items items({"A", "Bb", "C"});
  Variant value;
  CheckStatesToValue(FromLetters("CGC"), items, c.Format, value);
  EXPECT_EQ(value.VarType(), c.Expect.VarType());
  EXPECT_EQ(VarToStr(value), VarToStr(c.Expect));
  TcxCheckStates states;
  ASSERT_TRUE(ValueToCheckStates(value, items, c.Format, states));
  EXPECT_EQ(Letters(states), c.Format == cvfInteger ? "CUC" : "CGC");
}

INSTANTIATE_TEST_SUITE_P(Cases, WriteExample,
                         testing::Values(WriteCase{"Captions", cvfCaptions, Variant("2:Bb;1:A1:C")},
                                         WriteCase{"Indices", cvfIndices, Variant("1;0,2")},
                                         WriteCase{"Integer", cvfInteger, Variant(int64_t(5))},
                                         WriteCase{"StatesString", cvfStatesString, Variant("121")}),
                         [](const auto& info) { return info.param.Name; });

struct ReadCase {
  const char* Name;
  TcxCheckStatesValueFormat Format;
  std::vector<AnsiString> Captions;
  Variant Value;
  bool Expect;
  std::string States;
};

class ReadValue : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadValue, GivesStatesOrFailsWithAllUnchecked) {
  const ReadCase& c = GetParam();
  const Items items(c.Captions);
  TcxCheckStates states(3, cbsChecked);
  EXPECT_EQ(ValueToCheckStates(c.Value, items, c.Format, states), c.Expect);
  EXPECT_EQ(Letters(states), c.States);
}

const std::vector<AnsiString> ABC{"A", "Bb", "C"};
const std::vector<AnsiString> ThreeItems{"x", "y", "z"};
const std::vector<AnsiString> FourItems{"w", "x", "y", "z"};

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadValue,
    testing::Values(
        ReadCase{"CaptionWithoutSemicolonIsGrayed", cvfCaptions, ABC, Variant("1:A"), true, "GUU"},
        ReadCase{"CaptionAfterSemicolonIsChecked", cvfCaptions, ABC, Variant(";1:A"), true, "CUU"},
        ReadCase{"UnknownCaptionFails", cvfCaptions, ABC, Variant(";1:X"), false, "UUU"},
        ReadCase{"CaptionsMatchInAnyCase", cvfCaptions, ABC, Variant(";1:a2:bB"), true, "CCU"},
        ReadCase{"TwoEntriesForTwoEqualCaptions", cvfCaptions, {"A", "A", "B"}, Variant(";1:A1:A"), true, "CCU"},
        ReadCase{"OneEntryForTheFirstOfTwo", cvfCaptions, {"A", "A", "B"}, Variant(";1:A"), true, "CUU"},
        ReadCase{"CaptionLongerThanTheText", cvfCaptions, ABC, Variant("5:A"), false, "UUU"},
        ReadCase{"CaptionLengthWithoutColon", cvfCaptions, ABC, Variant("1A"), false, "UUU"},
        ReadCase{"CaptionLengthMissing", cvfCaptions, ABC, Variant(":A"), false, "UUU"},
        ReadCase{"SecondSemicolonFails", cvfCaptions, ABC, Variant(";1:A;1:C"), false, "UUU"},
        ReadCase{"HugeCaptionLengthFails", cvfCaptions, ABC, Variant("2147483648:A"), false, "UUU"},
        ReadCase{"EmptyCaptionsText", cvfCaptions, ABC, Variant(""), true, "UUU"},
        ReadCase{"NullCaptions", cvfCaptions, ABC, Variant::Null(), true, "UUU"},
        ReadCase{"CaptionsFromANumberFail", cvfCaptions, ABC, Variant(int32_t(5)), false, "UUU"},
        ReadCase{"IndicesGray", cvfIndices, ThreeItems, Variant("0,2"), true, "GUG"},
        ReadCase{"IndicesCheck", cvfIndices, ThreeItems, Variant(";0,2"), true, "CUC"},
        ReadCase{"IndexBeyondTheItemsFails", cvfIndices, ThreeItems, Variant("0,5"), false, "UUU"},
        ReadCase{"TrailingCommaIsAllowed", cvfIndices, ThreeItems, Variant("0,2,"), true, "GUG"},
        ReadCase{"HugeIndexFails", cvfIndices, ThreeItems, Variant("2147483648"), false, "UUU"},
        ReadCase{"OtherCharacterFails", cvfIndices, ThreeItems, Variant("0;1x"), false, "UUU"},
        ReadCase{"NegativeIndexFails", cvfIndices, ThreeItems, Variant("-1"), false, "UUU"},
        ReadCase{"SemicolonAloneFails", cvfIndices, ThreeItems, Variant(";"), false, "UUU"},
        ReadCase{"EmptyIndices", cvfIndices, ThreeItems, Variant(""), true, "UUU"},
        ReadCase{"IntegerBits", cvfInteger, ThreeItems, Variant(int32_t(5)), true, "CUC"},
        ReadCase{"IntegerFromText", cvfInteger, ThreeItems, Variant("5"), true, "CUC"},
        ReadCase{"IntegerFromADouble", cvfInteger, ThreeItems, Variant(2.0), true, "UCU"},
        ReadCase{"IntegerTextThatIsNoNumber", cvfInteger, ThreeItems, Variant("5x"), false, "UUU"},
        ReadCase{"IntegerNull", cvfInteger, ThreeItems, Variant::Null(), true, "UUU"},
        ReadCase{"IntegerFromEmptyFails", cvfInteger, ThreeItems, Variant(), false, "UUU"},
        ReadCase{"IntegerFromABooleanFails", cvfInteger, ThreeItems, Variant(true), false, "UUU"},
        ReadCase{"IntegerOutOfRangeFails", cvfInteger, ThreeItems, Variant(1e30), false, "UUU"},
        ReadCase{"StatesString", cvfStatesString, FourItems, Variant("12"), true, "CGUU"},
        ReadCase{"StatesStringBadCharacter", cvfStatesString, ThreeItems, Variant("13"), false, "UUU"},
        ReadCase{"StatesStringLongerThanTheItems", cvfStatesString, ThreeItems, Variant("1201"), true, "CGU"},
        ReadCase{"StatesStringFromANumberFails", cvfStatesString, ThreeItems, Variant(int32_t(12)), false, "UUU"},
        ReadCase{"UnknownFormatFails", TcxCheckStatesValueFormat(7), ThreeItems, Variant("1"), false, "UUU"}),
    [](const auto& info) { return info.param.Name; });

TEST(CheckStates, ItemsFrom64OnHaveNoBit) {
  const Items items = ItemsOfCount(66);
  TcxCheckStates all(66, cbsChecked);
  Variant value;
  CheckStatesToValue(all, items, cvfInteger, value);
  EXPECT_EQ(value.VarType(), varInt64);
  EXPECT_EQ(value.AsInt64(), int64_t(-1));  // all 64 bits
  TcxCheckStates states;
  ASSERT_TRUE(ValueToCheckStates(value, items, cvfInteger, states));
  ASSERT_EQ(states.size(), 66u);
  EXPECT_EQ(states[63], cbsChecked);
  EXPECT_EQ(states[64], cbsUnchecked);
  EXPECT_EQ(states[65], cbsUnchecked);
  // Only the 65th item checked writes nothing.
  TcxCheckStates only65(66, cbsUnchecked);
  only65[64] = cbsChecked;
  CheckStatesToValue(only65, items, cvfInteger, value);
  EXPECT_EQ(value.AsInt64(), 0);
}

TEST(CheckStates, WritingEmptiesTheValueFirst) {
  const Items items({"A"});
  Variant value("old");
  CheckStatesToValue({}, items, cvfCaptions, value);
  EXPECT_EQ(value.VarType(), varString);
  EXPECT_EQ(value.AsString(), "");
  CheckStatesToValue({cbsChecked}, items, TcxCheckStatesValueFormat(9), value);
  EXPECT_TRUE(value.IsEmpty());
  // Missing states count as unchecked; all checked has an empty grayed part.
  CheckStatesToValue({cbsChecked}, Items({"A", "Bb", "C"}), cvfCaptions, value);
  EXPECT_EQ(value.AsString(), ";1:A");
  CheckStatesToValue(FromLetters("CCC"), Items({"A", "Bb", "C"}), cvfCaptions, value);
  EXPECT_EQ(value.AsString(), ";1:A2:Bb1:C");
}

TEST(CheckStates, ReadingSizesTheStatesToTheItems) {
  TcxCheckStates states(10, cbsGrayed);
  EXPECT_TRUE(ValueToCheckStates(Variant("1"), ItemsOfCount(2), cvfStatesString, states));
  EXPECT_EQ(Letters(states), "CU");
}

}  // namespace
