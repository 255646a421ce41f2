// Numbers as text per locale: floating-point, currency and BCD values in
// every form, format pictures, and text read back. Built natively and,
// through tests/platform/core/PortableTests.cpp, under Wine.
#include "platform/Bcd.h"
#include "platform/Exceptions.h"
#include "platform/NumberText.h"
#include "tests/native/platform/FormatRecords.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace test_formats;

namespace {

struct FloatTextCase {
  const char* Name;
  double Value;
  const char* Invariant;
  const char* German;
};

TEST(FloatTextTest, FloatToStrPerLocale) {
  const double inf = std::numeric_limits<double>::infinity();
  const FloatTextCase cases[] = {
      {"Zero", 0, "0", "0"},
      {"NegativeZero", -0.0, "0", "0"},
      {"One", 1, "1", "1"},
      {"Fraction", -1.5, "-1.5", "-1,5"},
      {"Tenth", 0.1, "0.1", "0,1"},
      {"Third", 1.0 / 3, "0.333333333333333", "0,333333333333333"},
      {"TwoThirdsRounded", 2.0 / 3, "0.666666666666667", "0,666666666666667"},
      {"FifteenDigits", 123456789012345.0, "123456789012345", "123456789012345"},
      {"SixteenDigitsGoScientific", 1234567890123456.0, "1.23456789012346E15", "1,23456789012346E15"},
      {"Power", 1e15, "1E15", "1E15"},
      {"TenThousandth", 0.0001, "0.0001", "0,0001"},
      {"SmallGoesScientific", 0.00001, "1E-5", "1E-5"},
      {"SmallFraction", 1.5e-10, "1.5E-10", "1,5E-10"},
      {"Huge", 1e100, "1E100", "1E100"},
      {"NaN", std::nan(""), "NAN", "NAN"},
      {"Infinity", inf, "INF", "INF"},
      {"NegativeInfinity", -inf, "-INF", "-INF"},
  };
  for (const FloatTextCase& c : cases) {
    EXPECT_EQ(FloatToStr(c.Value, InvariantFormatSettings()), c.Invariant) << c.Name;
    EXPECT_EQ(FloatToStr(c.Value, German()), c.German) << c.Name;
  }
}

struct FloatFormatCase {
  const char* Name;
  double Value;
  TFloatFormat Format;
  int Precision;
  int Digits;
  const char* Invariant;
  const char* German;
};

TEST(FloatTextTest, FloatToStrFForms) {
  const FloatFormatCase cases[] = {
      {"Fixed", 1234.5678, ffFixed, 15, 2, "1234.57", "1234,57"},
      {"FixedHalfAwayFromZero", 0.125, ffFixed, 15, 2, "0.13", "0,13"},
      {"FixedNegativeRoundsToZero", -0.001, ffFixed, 15, 2, "0.00", "0,00"},
      {"FixedPrecisionLimitsDigits", 1.0 / 3, ffFixed, 4, 6, "0.333300", "0,333300"},
      {"FixedTooLargeGoesGeneral", 1e20, ffFixed, 15, 2, "1E20", "1E20"},
      {"Number", 1234567.891, ffNumber, 15, 2, "1,234,567.89", "1.234.567,89"},
      {"NumberRoundsUp", -1234.5, ffNumber, 15, 0, "-1,235", "-1.235"},
      {"NumberSmall", 12.3, ffNumber, 15, 1, "12.3", "12,3"},
      {"Exponent", 1234.5678, ffExponent, 4, 2, "1.235E+03", "1,235E+03"},
      {"ExponentNegative", 0.000123, ffExponent, 3, 0, "1.23E-4", "1,23E-4"},
      {"ExponentZero", 0, ffExponent, 3, 2, "0.00E+00", "0,00E+00"},
      {"GeneralPrecision", 3.14159, ffGeneral, 3, 0, "3.14", "3,14"},
      {"GeneralExponentDigits", 1e20, ffGeneral, 15, 3, "1E020", "1E020"},
      {"Currency", 1234.5, ffCurrency, 15, 2, "$1,234.50", "1.234,50 EUR"},
      {"CurrencyNegative", -1234.5, ffCurrency, 15, 2, "($1,234.50)", "-1.234,50 EUR"},
      {"CurrencyNoDecimals", 7, ffCurrency, 15, 0, "$7", "7 EUR"},
  };
  for (const FloatFormatCase& c : cases) {
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, InvariantFormatSettings()), c.Invariant) << c.Name;
    EXPECT_EQ(FloatToStrF(c.Value, c.Format, c.Precision, c.Digits, German()), c.German) << c.Name;
  }
}

TEST(FloatTextTest, CurrencyPlacesSymbolAndSignAsTheLocaleSays) {
  const char* const negative[16] = {"($1.00)", "-$1.00", "$-1.00", "$1.00-", "(1.00$)", "-1.00$", "1.00-$", "1.00$-",
                                    "-1.00 $", "-$ 1.00", "1.00 $-", "$ 1.00-", "$ -1.00", "1.00- $", "($ 1.00)", "(1.00 $)"};
  TFormatSettings s = InvariantFormatSettings();
  for (int format = 0; format < 16; ++format) {
    s.NegCurrFormat = static_cast<uint8_t>(format);
    EXPECT_EQ(FloatToStrF(-1, ffCurrency, 15, 2, s), negative[format]) << "negative format " << format;
  }
  const char* const positive[4] = {"$1.00", "1.00$", "$ 1.00", "1.00 $"};
  for (int format = 0; format < 4; ++format) {
    s.CurrencyFormat = static_cast<uint8_t>(format);
    EXPECT_EQ(FloatToStrF(1, ffCurrency, 15, 2, s), positive[format]) << "positive format " << format;
  }
  EXPECT_EQ(FloatToStrF(-3.5, ffCurrency, 15, 1, Chinese()), "\xA3\xA4-3.5");
}

struct FloatPictureCase {
  const char* Name;
  const char* Format;
  double Value;
  const char* Invariant;
  const char* German;
};

TEST(FloatTextTest, FormatFloatPictures) {
  const FloatPictureCase cases[] = {
      {"Decimals", "0.00", 3.14159, "3.14", "3,14"},
      {"Thousands", "#,##0.00", 1234567.891, "1,234,567.89", "1.234.567,89"},
      {"ThousandsCarry", "#,##0", 999.5, "1,000", "1.000"},
      {"ThousandsNegative", "#,##0.00", -1234.5, "-1,234.50", "-1.234,50"},
      {"OptionalDecimalsNone", "0.##", 1, "1", "1"},
      {"OptionalDecimalsSome", "0.##", 1.5, "1.5", "1,5"},
      {"MixedDecimals", "0.0#", 1, "1.0", "1,0"},
      {"MixedDecimalsBoth", "0.0#", 1.25, "1.25", "1,25"},
      {"LeadingZeros", "00000", 42, "00042", "00042"},
      {"HashZero", "#", 0, "", ""},
      {"ZeroZero", "0", 0, "0", "0"},
      {"NoIntegerPlaces", ".00", 12.5, "12.50", "12,50"},
      {"DigitsBetweenText", "000-000", 123456, "123-456", "123-456"},
      {"ExtraDigitsGoFirst", "0", 98765, "98765", "98765"},
      {"Scientific", "0.00E+00", 12345, "1.23E+04", "1,23E+04"},
      {"ScientificNoPlus", "0.00E-00", 12345, "1.23E04", "1,23E04"},
      {"ScientificNegativeExponent", "0.00E-00", 0.00012345, "1.23E-04", "1,23E-04"},
      {"ScientificTwoIntegerPlaces", "00.0E+0", 12345, "12.3E+3", "12,3E+3"},
      {"ScientificLowerCase", "0.0e+0", 1500, "1.5e+3", "1,5e+3"},
      {"SectionNegative", "0.00;(0.00);zero", -5, "(5.00)", "(5,00)"},
      {"SectionZero", "0.00;(0.00);zero", 0, "zero", "zero"},
      {"SectionPositive", "0.00;(0.00);zero", 5, "5.00", "5,00"},
      {"EmptyNegativeSectionShowsMinus", "0.00;;zero", -5, "-5.00", "-5,00"},
      {"RoundsToZeroTakesZeroSection", "0.0;(0.0);'nil'", -0.01, "nil", "nil"},
      {"RoundsToZeroShowsNoMinus", "0.0", -0.01, "0.0", "0,0"},
      {"QuotedText", "'$'#,##0.00", 1234.5, "$1,234.50", "$1.234,50"},
      {"DoubleQuotedText", "\"x\"0", 5, "x5", "x5"},
      {"QuotedPlaceholdersAreText", "0 '0.#'", 7, "7 0.#", "7 0.#"},
      {"EmptyPicture", "", 1.5, "1.5", "1,5"},
      {"HugeGoesGeneral", "0.00", 1e20, "1E20", "1E20"},
      {"HalfAwayFromZero", "0", 2.5, "3", "3"},
  };
  for (const FloatPictureCase& c : cases) {
    EXPECT_EQ(FormatFloat(c.Format, c.Value, InvariantFormatSettings()), c.Invariant) << c.Name;
    EXPECT_EQ(FormatFloat(c.Format, c.Value, German()), c.German) << c.Name;
  }
}

struct FloatReadCase {
  const char* Name;
  const char* Text;
  bool Invariant;
  bool German;
  double Value;
};

TEST(FloatTextTest, TextToFloatPerLocale) {
  const FloatReadCase cases[] = {
      {"Plain", "1.5", true, false, 1.5},
      {"GermanComma", "1,5", false, true, 1.5},
      {"Blanks", "  2  ", true, true, 2},
      {"Negative", "-3", true, true, -3},
      {"Plus", "+4", true, true, 4},
      {"Exponent", "1e3", true, true, 1000},
      {"NegativeExponent", "25E-2", true, true, 0.25},
      {"NoIntegerDigits", "-.5", true, false, -0.5},
      {"NoFractionDigits", "5.", true, false, 5},
      {"Empty", "", false, false, 0},
      {"OnlyPoint", ".", false, false, 0},
      {"OnlySign", "-", false, false, 0},
      {"ExponentWithoutDigits", "1e", false, false, 0},
      {"TooLarge", "1e400", false, false, 0},
      {"Letters", "abc", false, false, 0},
      {"InnerBlank", "1 2", false, false, 0},
      {"TwoPoints", "1.2.3", false, false, 0},
      {"Thousands", "1,234.5", false, false, 0},
  };
  for (const FloatReadCase& c : cases) {
    double value = -99;
    EXPECT_EQ(TryStrToFloat(c.Text, value, InvariantFormatSettings()), c.Invariant) << c.Name;
    if (c.Invariant) {
      EXPECT_DOUBLE_EQ(value, c.Value) << c.Name;
    }
    value = -99;
    EXPECT_EQ(TryStrToFloat(c.Text, value, German()), c.German) << c.Name;
    if (c.German) {
      EXPECT_DOUBLE_EQ(value, c.Value) << c.Name;
    }
  }
  double tiny;
  ASSERT_TRUE(TryStrToFloat("1e-400", tiny, InvariantFormatSettings()));
  EXPECT_EQ(tiny, 0.0);
  try {
    StrToFloat("abc", InvariantFormatSettings());
    ADD_FAILURE() << "accepted";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'abc' is not a valid floating point value");
  }
}

TEST(FloatTextTest, TextRoundTripsThroughTheProgramsFormats) {
  TFormatsScope scope(German());
  EXPECT_EQ(FloatToStr(2.25), "2,25");
  EXPECT_EQ(StrToFloat("2,25"), 2.25);
  EXPECT_EQ(StrToFloatDef("2.25", -1), -1);
  for (double value : {0.1, 1.0 / 7, 123456.789, -9.87654321e-7}) EXPECT_EQ(StrToFloat(FloatToStrF(value, ffGeneral, 17, 0)), value);
}

TEST(CurrencyTextTest, ExactDigitsAndRounding) {
  const TFormatSettings inv = InvariantFormatSettings();
  EXPECT_EQ(CurrToStr(Currency::FromRaw(12345), inv), "1.2345");
  EXPECT_EQ(CurrToStr(Currency::FromInt(5), inv), "5");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(INT64_MAX), inv), "922337203685477.5807");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(INT64_MIN), inv), "-922337203685477.5808");
  EXPECT_EQ(CurrToStr(Currency::FromRaw(-5), German()), "-0,0005");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345000), ffCurrency, 2, inv), "$1,234.50");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(12345000), ffCurrency, 2, German()), "1.234,50 EUR");
  EXPECT_EQ(CurrToStrF(Currency::FromRaw(INT64_MAX), ffNumber, 4, inv), "922,337,203,685,477.5807");
  EXPECT_EQ(FormatCurr("#,##0.00", Currency::FromRaw(-12345), inv), "-1.23");

  struct Case {
    const char* Text;
    bool Ok;
    int64_t Raw;
  };
  const Case cases[] = {
      {"1.23456", true, 12346},   {"0.00005", true, 0},          {"0.00015", true, 2},
      {"-0.00015", true, -2},     {"1e3", true, 10000000},       {"922337203685477.5807", true, INT64_MAX},
      {"922337203685477.5808", false, 0}, {"-922337203685477.5808", true, INT64_MIN}, {"1e20", false, 0},
      {"x", false, 0},
  };
  for (const Case& c : cases) {
    Currency value;
    EXPECT_EQ(TryStrToCurr(c.Text, value, inv), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(value.Raw, c.Raw) << c.Text;
    }
  }
  Currency amount;
  EXPECT_TRUE(TryFloatToCurr(1.23456, amount));
  EXPECT_EQ(amount.Raw, 12346);
  EXPECT_FALSE(TryFloatToCurr(1e300, amount));
  EXPECT_FALSE(TryFloatToCurr(std::nan(""), amount));
  EXPECT_THROW(FloatToCurr(-1e19), EConvertError);
}

TEST(BcdTextTest, ExactDigitsCompareAndConvert) {
  const TFormatSettings inv = InvariantFormatSettings();
  const TBcd value = StrToBcd("123.4500", inv);
  EXPECT_EQ(BcdToStr(value, inv), "123.45");
  EXPECT_EQ(BcdToStr(value, German()), "123,45");
  EXPECT_EQ(BcdToStrF(value, ffFixed, 18, 4, inv), "123.4500");
  EXPECT_EQ(BcdToStrF(StrToBcd("123.45678", inv), ffGeneral, 5, 0, inv), "123.46");
  EXPECT_EQ(BcdToStrF(StrToBcd("-1234567.5", inv), ffNumber, 20, 1, inv), "-1,234,567.5");

  const AnsiString longest = "1234567890123456789012345678901234567890.123456789012345678901234";
  EXPECT_EQ(BcdToStr(StrToBcd(longest, inv), inv), longest);
  TBcd scratch;
  EXPECT_FALSE(TryStrToBcd(longest + "5", scratch, inv));
  EXPECT_FALSE(TryStrToBcd("1e-70", scratch, inv));
  EXPECT_FALSE(TryStrToBcd("1.2.3", scratch, inv));
  EXPECT_THROW(StrToBcd("x", inv), EBcdException);

  EXPECT_EQ(BcdCompare(StrToBcd("1.10", inv), StrToBcd("1.1", inv)), 0);
  EXPECT_EQ(BcdCompare(StrToBcd("-2", inv), StrToBcd("1", inv)), -1);
  EXPECT_EQ(BcdCompare(StrToBcd("-2", inv), StrToBcd("-3", inv)), 1);
  EXPECT_EQ(BcdCompare(StrToBcd("0", inv), StrToBcd("-0", inv)), 0);
  EXPECT_EQ(BcdCompare(StrToBcd("100", inv), StrToBcd("99.999", inv)), 1);

  EXPECT_EQ(BcdToDouble(StrToBcd("0.5", inv)), 0.5);
  EXPECT_EQ(BcdToStr(DoubleToBcd(0.1), inv), "0.1");
  EXPECT_EQ(BcdToCurr(StrToBcd("1.23455", inv)).Raw, 12346);
  EXPECT_THROW(BcdToCurr(StrToBcd("1e20", inv)), EBcdOverflowException);
  EXPECT_EQ(BcdToStr(IntegerToBcd(-42), inv), "-42");
  EXPECT_EQ(BcdToStr(IntegerToBcd(INT64_MIN), inv), "-9223372036854775808");
  EXPECT_EQ(BcdToStr(CurrToBcd(Currency::FromRaw(15000)), inv), "1.5");
}

TEST(BcdTextTest, DamagedRecordsAreRefused) {
  TBcd value = IntegerToBcd(12);
  value.Fraction[0] = 0xA1;  // a nibble above 9
  EXPECT_THROW(BcdToStr(value), EBcdException);
  value = IntegerToBcd(12);
  value.Precision = 0;
  EXPECT_THROW(BcdToDouble(value), EBcdException);
  value = IntegerToBcd(12);
  value.Precision = 65;
  EXPECT_THROW(BcdToStr(value), EBcdException);
  value = IntegerToBcd(12);
  value.SignSpecialPlaces = 3;  // more decimals than digits
  EXPECT_THROW(BcdToStr(value), EBcdException);
}

}  // namespace
