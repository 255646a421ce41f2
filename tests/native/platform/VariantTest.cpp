// Variants: the conversion table, the comparison table (Empty below Null
// below values, strings against numbers, Booleans), overflow and cast
// errors, and one-dimensional arrays. Built natively and, through
// tests/platform/core/PortableTests.cpp, under Wine.
#include "platform/Variant.h"
#include "tests/native/platform/FormatRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

using namespace test_formats;

namespace {

enum class TOutcome { Value, Cast, Overflow };

struct ConversionCase {
  const char* Name;
  Variant Source;
  TVarType Target;
  TOutcome Outcome;
  Variant Expected;
};

Variant Bcd(const char* text) { return Variant(StrToBcd(text, InvariantFormatSettings())); }

TEST(VariantTest, ConversionTable) {
  TFormatsScope scope(InvariantFormatSettings());
  const TDateTime march5 = EncodeDate(2024, 3, 5);
  const Variant array = VarArrayOf({1, 2});
  const ConversionCase cases[] = {
      // Empty reads as zero, nothing, False; Null converts to nothing.
      {"EmptyToInteger", Variant(), varInteger, TOutcome::Value, Variant(0)},
      {"EmptyToString", Variant(), varString, TOutcome::Value, Variant("")},
      {"EmptyToBoolean", Variant(), varBoolean, TOutcome::Value, Variant(false)},
      {"EmptyToDouble", Variant(), varDouble, TOutcome::Value, Variant(0.0)},
      {"NullToInteger", Variant::Null(), varInteger, TOutcome::Cast, Variant()},
      {"NullToString", Variant::Null(), varString, TOutcome::Cast, Variant()},
      {"NullToBoolean", Variant::Null(), varBoolean, TOutcome::Cast, Variant()},
      // To text.
      {"IntegerToString", Variant(5), varString, TOutcome::Value, Variant("5")},
      {"Int64ToString", Variant(int64_t{-9000000000}), varString, TOutcome::Value, Variant("-9000000000")},
      {"DoubleToString", Variant(1.5), varString, TOutcome::Value, Variant("1.5")},
      {"SingleToString", Variant(0.1f), varString, TOutcome::Value, Variant("0.1")},
      {"TrueToString", Variant(true), varString, TOutcome::Value, Variant("True")},
      {"FalseToString", Variant(false), varString, TOutcome::Value, Variant("False")},
      {"CurrencyToString", Variant(Currency::FromRaw(15000)), varString, TOutcome::Value, Variant("1.5")},
      {"DateToString", Variant::FromDate(march5), varString, TOutcome::Value, Variant("3/5/2024")},
      {"BcdToString", Bcd("123.45"), varString, TOutcome::Value, Variant("123.45")},
      {"OleStrToString", Variant(L"abc"), varString, TOutcome::Value, Variant("abc")},
      {"StringToOleStr", Variant("abc"), varOleStr, TOutcome::Value, Variant(L"abc")},
      // From text.
      {"StringToInteger", Variant("5"), varInteger, TOutcome::Value, Variant(5)},
      {"BlanksAroundANumber", Variant(" 5 "), varInteger, TOutcome::Value, Variant(5)},
      {"HexadecimalText", Variant("$1F"), varInteger, TOutcome::Value, Variant(31)},
      {"FractionTextRoundsToEven", Variant("2.5"), varInteger, TOutcome::Value, Variant(2)},
      {"ExponentText", Variant("1e3"), varInteger, TOutcome::Value, Variant(1000)},
      {"WordsToInteger", Variant("abc"), varInteger, TOutcome::Cast, Variant()},
      {"EmptyTextToInteger", Variant(""), varInteger, TOutcome::Cast, Variant()},
      {"LargeTextToInteger", Variant("99999999999"), varInteger, TOutcome::Overflow, Variant()},
      {"HugeTextToInt64", Variant("1e30"), varInt64, TOutcome::Overflow, Variant()},
      {"TextToDouble", Variant("2.25"), varDouble, TOutcome::Value, Variant(2.25)},
      {"TrueText", Variant("True"), varBoolean, TOutcome::Value, Variant(true)},
      {"FalseTextAnyCase", Variant("fALSE"), varBoolean, TOutcome::Value, Variant(false)},
      {"NumberTextToBoolean", Variant("0"), varBoolean, TOutcome::Value, Variant(false)},
      {"WordsToBoolean", Variant("yes"), varBoolean, TOutcome::Cast, Variant()},
      {"TextToCurrency", Variant("1.23456"), varCurrency, TOutcome::Value, Variant(Currency::FromRaw(12346))},
      {"HugeTextToCurrency", Variant("1e20"), varCurrency, TOutcome::Overflow, Variant()},
      {"TextToDate", Variant("3/5/2024"), varDate, TOutcome::Value, Variant::FromDate(march5)},
      {"WordsToDate", Variant("garbage"), varDate, TOutcome::Cast, Variant()},
      {"TextToBcd", Variant("0.1"), varFMTBcd, TOutcome::Value, Bcd("0.1")},
      // Between numbers.
      {"DoubleRoundsHalfToEven", Variant(2.5), varInteger, TOutcome::Value, Variant(2)},
      {"DoubleRoundsUpToEven", Variant(3.5), varInteger, TOutcome::Value, Variant(4)},
      {"NegativeHalf", Variant(-2.5), varInteger, TOutcome::Value, Variant(-2)},
      {"DoubleBeyondInteger", Variant(1e10), varInteger, TOutcome::Overflow, Variant()},
      {"DoubleToInt64", Variant(1e10), varInt64, TOutcome::Value, Variant(int64_t{10000000000})},
      {"NaNToInteger", Variant(std::nan("")), varInteger, TOutcome::Overflow, Variant()},
      {"ByteTop", Variant(255), varByte, TOutcome::Value, Variant(uint8_t{255})},
      {"ByteBeyond", Variant(300), varByte, TOutcome::Overflow, Variant()},
      {"ByteNegative", Variant(-1), varByte, TOutcome::Overflow, Variant()},
      {"SmallintBeyond", Variant(70000), varSmallint, TOutcome::Overflow, Variant()},
      {"ShortIntBeyond", Variant(-129), varShortInt, TOutcome::Overflow, Variant()},
      {"WordTop", Variant(65535), varWord, TOutcome::Value, Variant(uint16_t{65535})},
      {"LongWordNegative", Variant(-1), varLongWord, TOutcome::Overflow, Variant()},
      {"LongWordTop", Variant(int64_t{4294967295}), varLongWord, TOutcome::Value, Variant(uint32_t{4294967295u})},
      {"DoubleBeyondSingle", Variant(1e39), varSingle, TOutcome::Overflow, Variant()},
      {"DoubleToCurrency", Variant(1.23456), varCurrency, TOutcome::Value, Variant(Currency::FromRaw(12346))},
      {"DoubleBeyondCurrency", Variant(1e300), varCurrency, TOutcome::Overflow, Variant()},
      {"Int64BeyondCurrency", Variant(INT64_MAX), varCurrency, TOutcome::Overflow, Variant()},
      {"CurrencyToIntegerHalfToEven", Variant(Currency::FromRaw(25000)), varInteger, TOutcome::Value, Variant(2)},
      {"BcdToIntegerHalfToEven", Bcd("123.5"), varInteger, TOutcome::Value, Variant(124)},
      {"BcdToDouble", Bcd("0.25"), varDouble, TOutcome::Value, Variant(0.25)},
      {"DoubleToDate", Variant(45306.5), varDate, TOutcome::Value, Variant::FromDate(45306.5)},
      // Booleans and numbers.
      {"TrueIsMinusOne", Variant(true), varInteger, TOutcome::Value, Variant(-1)},
      {"FalseIsZero", Variant(false), varDouble, TOutcome::Value, Variant(0.0)},
      {"NumberToTrue", Variant(5), varBoolean, TOutcome::Value, Variant(true)},
      {"ZeroToFalse", Variant(0), varBoolean, TOutcome::Value, Variant(false)},
      {"FractionToTrue", Variant(0.5), varBoolean, TOutcome::Value, Variant(true)},
      // Arrays convert to nothing else.
      {"ArrayToInteger", array, varInteger, TOutcome::Cast, Variant()},
      {"ArrayToString", array, varString, TOutcome::Cast, Variant()},
  };
  for (const ConversionCase& c : cases) {
    try {
      const Variant result = c.Source.AsType(c.Target);
      ASSERT_EQ(c.Outcome, TOutcome::Value) << c.Name << ": converted";
      EXPECT_EQ(result.VarType(), c.Expected.VarType()) << c.Name;
      EXPECT_EQ(VarCompare(result, c.Expected), 0) << c.Name << ": " << VarToStr(result);
    } catch (const EVariantOverflowError& e) {
      EXPECT_EQ(c.Outcome, TOutcome::Overflow) << c.Name << ": " << e.Message();
    } catch (const EVariantTypeCastError& e) {
      EXPECT_EQ(c.Outcome, TOutcome::Cast) << c.Name << ": " << e.Message();
    }
  }
}

TEST(VariantTest, ErrorsNameBothTypes) {
  try {
    Variant("abc").AsInteger();
    ADD_FAILURE() << "converted";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(), "Could not convert variant of type (String) into type (Integer)");
  }
  try {
    Variant(300).AsType(varByte);
    ADD_FAILURE() << "converted";
  } catch (const EVariantOverflowError& e) {
    EXPECT_EQ(e.Message(), "Overflow while converting variant of type (Integer) into type (Byte)");
  }
  try {
    VarArrayOf({1}).AsString();
    ADD_FAILURE() << "converted";
  } catch (const EVariantTypeCastError& e) {
    EXPECT_EQ(e.Message(), "Could not convert variant of type (Array Variant) into type (String)");
  }
  EXPECT_EQ(VarTypeAsText(varFMTBcd), "FMTBcd");
  EXPECT_EQ(VarTypeAsText(varLongWord), "LongWord");
}

TEST(VariantTest, TextFollowsTheProgramsFormats) {
  TFormatsScope scope(German());
  EXPECT_EQ(Variant(1.5).AsString(), "1,5");
  EXPECT_EQ(Variant("2,5").AsDouble(), 2.5);
  EXPECT_EQ(Variant::FromDate(EncodeDate(2024, 3, 5)).AsString(), "05.03.2024");
  EXPECT_EQ(Variant("05.03.2024").AsDate(), EncodeDate(2024, 3, 5));
  EXPECT_EQ(VarToStr(Variant::Null()), "");
  EXPECT_EQ(VarToStr(Variant()), "");
}

enum class TOrder { Less = -1, Equal = 0, Greater = 1, Cast, Invalid };

struct CompareCase {
  const char* Name;
  Variant A;
  Variant B;
  TOrder Order;
};

TEST(VariantTest, ComparisonTable) {
  TFormatsScope scope(InvariantFormatSettings());
  const CompareCase cases[] = {
      // Empty below Null below every value.
      {"EmptyEmpty", Variant(), Variant(), TOrder::Equal},
      {"EmptyNull", Variant(), Variant::Null(), TOrder::Less},
      {"NullEmpty", Variant::Null(), Variant(), TOrder::Greater},
      {"NullNull", Variant::Null(), Variant::Null(), TOrder::Equal},
      {"EmptyZero", Variant(), Variant(0), TOrder::Less},
      {"EmptyEmptyText", Variant(), Variant(""), TOrder::Less},
      {"NullZero", Variant::Null(), Variant(0), TOrder::Less},
      {"NullFalse", Variant::Null(), Variant(false), TOrder::Less},
      {"ValueNull", Variant(5), Variant::Null(), TOrder::Greater},
      // Text against numbers reads the text as a number.
      {"TextFiveIntegerFive", Variant("5"), Variant(5), TOrder::Equal},
      {"TextFiveIntegerSix", Variant("5"), Variant(6), TOrder::Less},
      {"NumbersNotText", Variant("10"), Variant(9), TOrder::Greater},
      {"TextWithDecimals", Variant("5.0"), Variant(5), TOrder::Equal},
      {"IntegerAgainstText", Variant(5), Variant("4.5"), TOrder::Greater},
      {"WordsAgainstNumber", Variant("abc"), Variant(5), TOrder::Cast},
      {"TextAgainstCurrency", Variant("1.5"), Variant(Currency::FromRaw(15000)), TOrder::Equal},
      {"TextAgainstDate", Variant("3/5/2024"), Variant::FromDate(EncodeDate(2024, 3, 5)), TOrder::Equal},
      // Numbers of any types by value.
      {"IntegerDouble", Variant(5), Variant(5.0), TOrder::Equal},
      {"ByteInt64", Variant(uint8_t{5}), Variant(int64_t{5}), TOrder::Equal},
      {"LongWordAboveInteger", Variant(uint32_t{4000000000u}), Variant(-1), TOrder::Greater},
      {"CurrencyDouble", Variant(Currency::FromRaw(15000)), Variant(1.5), TOrder::Equal},
      {"CurrencyInteger", Variant(Currency::FromInt(2)), Variant(2), TOrder::Equal},
      {"CurrencyBelowInteger", Variant(Currency::FromRaw(15000)), Variant(2), TOrder::Less},
      {"IntegerBeyondCurrency", Variant(INT64_MAX), Variant(Currency::FromInt(1)), TOrder::Greater},
      {"BcdCurrency", Bcd("1.50"), Variant(Currency::FromRaw(15000)), TOrder::Equal},
      {"BcdInteger", Bcd("-3"), Variant(-2), TOrder::Less},
      {"BcdDouble", Bcd("0.1"), Variant(0.1), TOrder::Equal},
      {"DateDouble", Variant::FromDate(45306.5), Variant(45306.5), TOrder::Equal},
      {"NaN", Variant(std::nan("")), Variant(1), TOrder::Invalid},
      // Booleans.
      {"TrueTrue", Variant(true), Variant(true), TOrder::Equal},
      {"FalseTrue", Variant(false), Variant(true), TOrder::Less},
      {"TrueMinusOne", Variant(true), Variant(-1), TOrder::Equal},
      {"TrueOne", Variant(true), Variant(1), TOrder::Less},
      {"TextTrue", Variant("True"), Variant(true), TOrder::Equal},
      {"TextFalseAgainstTrue", Variant("false"), Variant(true), TOrder::Less},
      {"WordsAgainstTrue", Variant("yes"), Variant(true), TOrder::Cast},
      // Text in the locale's order.
      {"TextLess", Variant("abc"), Variant("abd"), TOrder::Less},
      {"TextSame", Variant("abc"), Variant("abc"), TOrder::Equal},
      {"OleStrString", Variant(L"abc"), Variant("abc"), TOrder::Equal},
      {"OleStrOleStr", Variant(L"b"), Variant(L"a"), TOrder::Greater},
      // Arrays are compared element by element by their users, never here.
      {"Array", VarArrayOf({1}), Variant(1), TOrder::Invalid},
  };
  for (const CompareCase& c : cases) {
    try {
      const int order = VarCompare(c.A, c.B);
      ASSERT_LE(static_cast<int>(c.Order), 1) << c.Name << ": compared";
      EXPECT_EQ(order, static_cast<int>(c.Order)) << c.Name;
      EXPECT_EQ(c.A == c.B, c.Order == TOrder::Equal) << c.Name;
      EXPECT_EQ(c.A < c.B, c.Order == TOrder::Less) << c.Name;
    } catch (const EVariantTypeCastError& e) {
      EXPECT_EQ(c.Order, TOrder::Cast) << c.Name << ": " << e.Message();
    } catch (const EVariantInvalidOpError& e) {
      EXPECT_EQ(c.Order, TOrder::Invalid) << c.Name << ": " << e.Message();
    }
  }
}

TEST(VariantTest, OneDimensionalArrays) {
  Variant a = VarArrayCreate(1, 3, varVariant);
  EXPECT_TRUE(VarIsArray(a));
  EXPECT_EQ(a.VarType(), varArray | varVariant);
  EXPECT_EQ(a.LowBound(), 1);
  EXPECT_EQ(a.HighBound(), 3);
  EXPECT_TRUE(a.Get(2).IsEmpty());
  a.Put(2, "x");
  EXPECT_EQ(a.Get(2).AsString(), "x");
  EXPECT_THROW(a.Get(0), EVariantBadIndexError);
  EXPECT_THROW(a.Put(4, 1), EVariantBadIndexError);

  // Copies are values of their own.
  Variant copy = a;
  copy.Put(2, "y");
  EXPECT_EQ(a.Get(2).AsString(), "x");

  // A typed array converts what it is given.
  Variant numbers = VarArrayCreate(0, 1, varInteger);
  EXPECT_EQ(numbers.Get(0).VarType(), varInteger);
  numbers.Put(0, "5");
  EXPECT_EQ(numbers.Get(0).VarType(), varInteger);
  EXPECT_EQ(numbers.Get(0).AsInteger(), 5);
  EXPECT_THROW(numbers.Put(1, "x"), EVariantTypeCastError);

  const Variant empty = VarArrayCreate(0, -1, varVariant);
  EXPECT_EQ(empty.HighBound(), -1);
  EXPECT_THROW(VarArrayCreate(5, 3, varVariant), EVariantBadIndexError);
  EXPECT_THROW(VarArrayCreate(0, 1, varNull), EVariantBadVarTypeError);
  EXPECT_THROW(Variant(1).Get(0), EVariantInvalidOpError);
  EXPECT_THROW(Variant(1).LowBound(), EVariantInvalidOpError);

  const Variant of = VarArrayOf({1, "a", Variant::Null()});
  EXPECT_EQ(of.HighBound(), 2);
  EXPECT_EQ(of.Get(1).VarType(), varString);
  EXPECT_TRUE(of.Get(2).IsNull());
}

TEST(VariantTest, Classification) {
  EXPECT_TRUE(VarIsNumeric(Variant(1)));
  EXPECT_TRUE(VarIsNumeric(Variant(Currency{})));
  EXPECT_TRUE(VarIsNumeric(Bcd("1")));
  EXPECT_FALSE(VarIsNumeric(Variant(true)));
  EXPECT_FALSE(VarIsNumeric(Variant("1")));
  EXPECT_FALSE(VarIsNumeric(Variant::FromDate(1)));
  EXPECT_TRUE(VarIsOrdinal(Variant(uint8_t{1})));
  EXPECT_FALSE(VarIsOrdinal(Variant(1.0)));
  EXPECT_TRUE(VarIsFloat(Variant(1.0f)));
  EXPECT_TRUE(VarIsStr(Variant(L"x")));
  EXPECT_TRUE(VarIsFMTBcd(Bcd("2")));
  EXPECT_TRUE(Variant::Null().AsType(varNull).IsNull());
  EXPECT_TRUE(Variant(5).AsType(varEmpty).IsEmpty());
  EXPECT_EQ(Variant(5).AsType(varVariant).VarType(), varInteger);
}

TEST(VariantTest, SQLTimeStampsAreDatesOfTheirOwnType) {
  TSQLTimeStamp stamp;
  stamp.Year = 2024;
  stamp.Month = 2;
  stamp.Day = 29;
  stamp.Hour = 13;
  stamp.Minute = 5;
  stamp.Second = 9;
  stamp.Fractions = 250;
  const Variant v(stamp);
  EXPECT_EQ(v.VarType(), varSQLTimeStamp);
  EXPECT_TRUE(VarIsSQLTimeStamp(v));
  EXPECT_FALSE(VarIsNumeric(v));
  const TDateTime expected = EncodeDate(2024, 2, 29) + EncodeTime(13, 5, 9, 250);
  EXPECT_DOUBLE_EQ(v.AsDate(), expected);
  EXPECT_EQ(VarCompare(v, Variant::FromDate(expected)), 0);
  EXPECT_EQ(VarCompare(v, Variant::FromDate(expected + 1)), -1);
  EXPECT_EQ(v.AsString(), DateTimeToStr(expected));
  const Variant copy = v;
  EXPECT_EQ(copy.AsSQLTimeStamp().Fractions, 250u);
  EXPECT_EQ(Variant::FromDate(expected).AsType(varSQLTimeStamp).AsSQLTimeStamp().Day, 29);
  EXPECT_EQ(VarTypeAsText(varSQLTimeStamp), "SQLTimeStamp");
  TSQLTimeStamp bad = stamp;
  bad.Month = 13;
  EXPECT_THROW(Variant{bad}, EConvertError);
  bad = stamp;
  bad.Fractions = 1000;
  EXPECT_THROW(Variant{bad}, EConvertError);
}

}  // namespace
