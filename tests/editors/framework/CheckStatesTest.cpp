// Check states written into edit values and read back in the four formats.
// Portable: runs natively too (tests/native/editors/framework).
#include "editors/framework/CheckStates.h"
#include "platform/Text.h"

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

// The captions format read the plain way: each item in turn takes the first
// unused entry whose caption equals its own in any case. The routine must
// pick exactly the same entries.
bool ReadCaptionsPlainly(const std::vector<AnsiString>& captions, const AnsiString& text, std::string& letters) {
  struct Entry {
    AnsiString Caption;
    char State;
    bool Used;
  };
  std::vector<Entry> entries;
  char part = 'G';
  size_t pos = 0;
  letters.assign(captions.size(), 'U');
  while (pos < text.size()) {
    if (text[pos] == ';' && part == 'G') {
      part = 'C';
      ++pos;
    }
    const size_t colon = text.find(':', pos);
    if (colon == AnsiString::npos || colon == pos) return false;
    const size_t length = std::stoul(text.substr(pos, colon - pos));
    entries.push_back({text.substr(colon + 1, length), part, false});
    pos = colon + 1 + length;
  }
  for (size_t i = 0; i < captions.size(); ++i)
    for (Entry& entry : entries)
      if (!entry.Used && AnsiSameText(entry.Caption, captions[i])) {
        entry.Used = true;
        letters[i] = entry.State;
        break;
      }
  for (const Entry& entry : entries)
    if (!entry.Used) {
      letters.assign(captions.size(), 'U');
      return false;
    }
  return true;
}

AnsiString Entry(const AnsiString& caption) { return std::to_string(caption.size()) + ":" + caption; }

struct CaptionsCase {
  const char* Name;
  std::vector<AnsiString> Captions;
  AnsiString Value;
  bool Expect;
  std::string States;
};

class ReadCaptionsAsPlainly : public testing::TestWithParam<CaptionsCase> {};

TEST_P(ReadCaptionsAsPlainly, PicksTheSameEntries) {
  const CaptionsCase& c = GetParam();
  std::string plain;
  const bool plainRead = ReadCaptionsPlainly(c.Captions, c.Value, plain);
  TcxCheckStates states;
  EXPECT_EQ(ValueToCheckStates(Variant(c.Value), Items(c.Captions), cvfCaptions, states), plainRead);
  EXPECT_EQ(Letters(states), plain);
  EXPECT_EQ(plainRead, c.Expect);
  EXPECT_EQ(plain, c.States);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadCaptionsAsPlainly,
    testing::Values(
        // Captions that differ only in case share the entries in the text's order.
        CaptionsCase{"CaseOnlyDifferencesInTextOrder", {"abc", "ABC", "Abc"}, "3:aBc;3:ABC3:abc", true, "GCC"},
        CaptionsCase{"FirstItemsTakeTheEntries", {"Go", "GO", "go"}, ";2:gO", true, "CUU"},
        CaptionsCase{"LaterEntryForTheSecondDuplicate", {"x", "y", "X", "Y"}, "1:Y1:x;1:X1:y", true, "GGCC"},
        CaptionsCase{"MoreEntriesThanEqualItemsFail", {"a", "b", "A"}, ";1:A1:a1:a", false, "UUU"},
        CaptionsCase{"DuplicatesAmongOthers",
                     {"one", "Two", "ONE", "three", "two", "One"},
                     "3:ONE3:TWO;3:one5:three3:two",
                     true,
                     "GGCCCU"},
        CaptionsCase{"PrefixIsNoMatch", {"ab", "a"}, ";1:A", true, "UC"},
        CaptionsCase{"EmptyCaptions", {"", "a", ""}, "0:;0:", true, "GUC"},
        CaptionsCase{"NoItems", {}, ";1:a", false, ""}),
    [](const auto& info) { return info.param.Name; });

// Many items whose captions repeat in every case, against entries drawn from
// them in a scrambled order.
TEST(CheckStates, ManyCaptionsReadAsPlainly) {
  const char* const words[] = {"alpha", "Alpha", "ALPHA", "beta", "BETA", "gamma", "Gamma", "delta", "a", "A", ""};
  std::vector<AnsiString> captions;
  for (int i = 0; i < 600; ++i) captions.push_back(words[(i * 7 + i / 5) % 11]);
  for (const int stride : {1, 3, 7}) {
    AnsiString grayed, checked;
    unsigned seed = 12345u + unsigned(stride);
    for (size_t i = 0; i < captions.size(); i += size_t(stride)) {
      seed = seed * 1103515245u + 12345u;
      const AnsiString& caption = captions[(seed >> 8) % captions.size()];
      ((seed >> 4) & 1 ? grayed : checked) += Entry((seed >> 5) & 1 ? caption : UpperCase(caption));
    }
    const AnsiString text = grayed + ";" + checked;
    std::string plain;
    const bool plainRead = ReadCaptionsPlainly(captions, text, plain);
    TcxCheckStates states;
    EXPECT_EQ(ValueToCheckStates(Variant(text), Items(captions), cvfCaptions, states), plainRead) << stride;
    EXPECT_EQ(Letters(states), plain) << stride;
  }
}

}  // namespace
