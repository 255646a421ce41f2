// Numbers as text in the locale's formats: floating-point and currency values
// to text (general, exponent, fixed, number and currency forms, and format
// pictures with sections, thousands and exponents) and back. Portable: no
// Windows headers. Each conversion reads FormatSettings() unless given a
// record.
#pragma once

#include "platform/FormatSettings.h"

#include <compare>
#include <cstdint>

enum class TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };
using enum TFloatFormat;

// A finite number as decimal digits: 0.Digits x 10^Exponent, the sign apart.
// Digits has no leading or trailing zeros; zero has no digits. The common
// form of doubles, currency values and BCD numbers for formatting.
struct TDecimalDigits {
  bool Negative = false;
  AnsiString Digits;
  int Exponent = 0;
  bool IsZero() const { return Digits.empty(); }
};

// The digits of a finite double, exact to 31 significant digits.
TDecimalDigits DoubleDigits(double value);
// The digits of value x 10^-scale.
TDecimalDigits ScaledDigits(int64_t value, int scale);
// Rounds half away from zero to `count` significant digits (none: zero).
void RoundDigits(TDecimalDigits& number, int count);

// General: the shortest of fixed and scientific notation in `precision`
// significant digits (scientific when the integer part needs more, or below
// 0.0001); `digits` is the least number of exponent digits. Exponent:
// d.dddE+dd with `precision` digits and at least `digits` exponent digits.
// Fixed: `digits` decimals (general when the integer part needs more than
// `precision` digits). Number: fixed with thousand separators. Currency:
// number with the currency symbol placed as the locale says. Precision is
// 1-18 (DigitsToStrF: 1-64) and digits 0-18 (4 for exponents); NaN and
// infinities are "NAN", "INF" and "-INF".
AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits);
AnsiString FloatToStrF(double value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);
// General with 15 digits.
AnsiString FloatToStr(double value);
AnsiString FloatToStr(double value, const TFormatSettings& settings);

// Formats with a picture of up to three sections separated by ";" (positive,
// negative, zero; an empty or missing section takes the positive one, which
// then shows the minus sign): "0" a digit always shown, "#" a digit shown
// when significant, "." the decimal separator (first one), "," anywhere
// thousand separators, "E+0", "E-0" (or "e") scientific notation with at
// least as many exponent digits as zeros ("+" always shows the sign), text
// in single or double quotes as it is, any other character as it is. An
// empty picture formats as FloatToStr. A value that rounds to zero takes
// the zero section and shows no sign.
AnsiString FormatFloat(const AnsiString& format, double value);
AnsiString FormatFloat(const AnsiString& format, double value, const TFormatSettings& settings);
// The same for any decimal digits (doubles, currency and BCD numbers).
AnsiString FormatDigits(const AnsiString& format, const TDecimalDigits& number, const TFormatSettings& settings);
AnsiString DigitsToStrF(const TDecimalDigits& number, TFloatFormat format, int precision, int digits,
                        const TFormatSettings& settings);

// Text to a double: blanks around, a sign, digits with at most one decimal
// separator of the locale, an exponent ("E" or "e", a sign, digits); no
// thousand separators. Values beyond the double range are refused.
bool TryStrToFloat(const AnsiString& text, double& value);
bool TryStrToFloat(const AnsiString& text, double& value, const TFormatSettings& settings);
// The same text read exactly.
bool TryStrToDigits(const AnsiString& text, TDecimalDigits& number, const TFormatSettings& settings);
// Raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const AnsiString& text);
double StrToFloat(const AnsiString& text, const TFormatSettings& settings);
double StrToFloatDef(const AnsiString& text, double fallback);

// A currency amount: a 64-bit count of ten-thousandths, exact in decimal.
struct Currency {
  int64_t Raw = 0;

  static constexpr Currency FromRaw(int64_t raw) { return Currency{raw}; }
  static constexpr Currency FromInt(int32_t units) { return Currency{static_cast<int64_t>(units) * 10000}; }
  double ToDouble() const { return static_cast<double>(Raw) / 10000.0; }
  auto operator<=>(const Currency&) const = default;
};

constexpr int64_t CurrencyScale = 10000;
// The nearest amount (halves to even); false outside the currency range or
// for NaN.
bool TryFloatToCurr(double value, Currency& amount);
// Raises EConvertError when the value does not fit.
Currency FloatToCurr(double value);

// All digits of the amount, no exponent, no thousand separators.
AnsiString CurrToStr(Currency value);
AnsiString CurrToStr(Currency value, const TFormatSettings& settings);
AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits);
AnsiString CurrToStrF(Currency value, TFloatFormat format, int digits, const TFormatSettings& settings);
AnsiString FormatCurr(const AnsiString& format, Currency value);
AnsiString FormatCurr(const AnsiString& format, Currency value, const TFormatSettings& settings);
// Text as for TryStrToFloat, read exactly and rounded (halves to even) to
// four decimals; false beyond the currency range.
bool TryDigitsToCurr(const TDecimalDigits& number, Currency& value);
bool TryStrToCurr(const AnsiString& text, Currency& value);
bool TryStrToCurr(const AnsiString& text, Currency& value, const TFormatSettings& settings);
Currency StrToCurr(const AnsiString& text);
Currency StrToCurr(const AnsiString& text, const TFormatSettings& settings);
