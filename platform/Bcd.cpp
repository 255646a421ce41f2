#include "platform/Bcd.h"

#include <algorithm>
#include <cstdlib>

namespace {

int NibbleAt(const TBcd& value, int index) {
  const uint8_t byte = value.Fraction[index / 2];
  return index % 2 ? byte & 0x0F : byte >> 4;
}

int CompareMagnitude(const TDecimalDigits& a, const TDecimalDigits& b) {
  if (a.IsZero() || b.IsZero()) return a.IsZero() ? (b.IsZero() ? 0 : -1) : 1;
  if (a.Exponent != b.Exponent) return a.Exponent < b.Exponent ? -1 : 1;
  const int c = a.Digits.compare(b.Digits);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

TDecimalDigits BcdDigits(const TBcd& value) {
  const int precision = value.Precision;
  const int scale = value.Scale();
  if (precision < 1 || precision > MaxBcdDigits || scale > precision) throw EBcdException("Invalid BCD value");
  AnsiString digits;
  for (int i = 0; i < precision; ++i) {
    const int nibble = NibbleAt(value, i);
    if (nibble > 9) throw EBcdException("Invalid BCD value");
    digits += static_cast<char>('0' + nibble);
  }
  TDecimalDigits number;
  number.Negative = value.IsNegative();
  const size_t first = digits.find_first_not_of('0');
  if (first == AnsiString::npos) return number;
  number.Digits = digits.substr(first);
  number.Exponent = precision - scale - static_cast<int>(first);
  while (number.Digits.back() == '0') number.Digits.pop_back();
  return number;
}

bool DigitsToBcd(const TDecimalDigits& number, TBcd& value) {
  TBcd result;
  if (number.IsZero()) {
    value = result;
    return true;
  }
  const int size = static_cast<int>(number.Digits.size());
  AnsiString whole, fraction;
  if (number.Exponent > 0) {
    whole = number.Digits.substr(0, static_cast<size_t>(std::min(number.Exponent, size)));
    if (number.Exponent > size) whole.append(static_cast<size_t>(number.Exponent - size), '0');
    if (number.Exponent < size) fraction = number.Digits.substr(static_cast<size_t>(number.Exponent));
  } else {
    fraction = AnsiString(static_cast<size_t>(-static_cast<int64_t>(number.Exponent) > MaxBcdDigits ? MaxBcdDigits + 1 : -number.Exponent), '0') + number.Digits;
  }
  const AnsiString all = whole + fraction;
  if (all.size() > static_cast<size_t>(MaxBcdDigits) || fraction.size() > 63) return false;
  result.Precision = static_cast<uint8_t>(all.size());
  result.SignSpecialPlaces = static_cast<uint8_t>(fraction.size() | (number.Negative ? 0x80 : 0));
  for (size_t i = 0; i < all.size(); ++i) {
    const uint8_t nibble = static_cast<uint8_t>(all[i] - '0');
    result.Fraction[i / 2] = static_cast<uint8_t>(result.Fraction[i / 2] | (i % 2 ? nibble : nibble << 4));
  }
  value = result;
  return true;
}

bool TryStrToBcd(const AnsiString& text, TBcd& value, const TFormatSettings& settings) {
  TDecimalDigits number;
  return TryStrToDigits(text, number, settings) && DigitsToBcd(number, value);
}

bool TryStrToBcd(const AnsiString& text, TBcd& value) { return TryStrToBcd(text, value, FormatSettings()); }

TBcd StrToBcd(const AnsiString& text, const TFormatSettings& settings) {
  TBcd value;
  if (!TryStrToBcd(text, value, settings)) throw EBcdException("'" + text + "' is not a valid BCD value");
  return value;
}

TBcd StrToBcd(const AnsiString& text) { return StrToBcd(text, FormatSettings()); }

AnsiString BcdToStr(const TBcd& value, const TFormatSettings& settings) {
  const TDecimalDigits number = BcdDigits(value);
  const int decimals = std::max(0, static_cast<int>(number.Digits.size()) - number.Exponent);
  return DigitsToStrF(number, ffFixed, MaxBcdDigits, decimals, settings);
}

AnsiString BcdToStr(const TBcd& value) { return BcdToStr(value, FormatSettings()); }

AnsiString BcdToStrF(const TBcd& value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings) {
  return DigitsToStrF(BcdDigits(value), format, precision, digits, settings);
}

AnsiString BcdToStrF(const TBcd& value, TFloatFormat format, int precision, int digits) {
  return BcdToStrF(value, format, precision, digits, FormatSettings());
}

TBcd IntegerToBcd(int64_t value) {
  TBcd result;
  DigitsToBcd(ScaledDigits(value, 0), result);
  return result;
}

double BcdToDouble(const TBcd& value) {
  const TDecimalDigits number = BcdDigits(value);
  if (number.IsZero()) return 0.0;
  const AnsiString plain = (number.Negative ? "-0." : "0.") + number.Digits + "e" + std::to_string(number.Exponent);
  return std::strtod(plain.c_str(), nullptr);
}

TBcd DoubleToBcd(double value) {
  TDecimalDigits number = DoubleDigits(value);
  RoundDigits(number, 15);
  TBcd result;
  if (!DigitsToBcd(number, result)) throw EBcdOverflowException("BCD overflow");
  return result;
}

Currency BcdToCurr(const TBcd& value) {
  Currency amount;
  if (!TryDigitsToCurr(BcdDigits(value), amount)) throw EBcdOverflowException("BCD overflow");
  return amount;
}

TBcd CurrToBcd(Currency value) {
  TBcd result;
  DigitsToBcd(ScaledDigits(value.Raw, 4), result);
  return result;
}

int BcdCompare(const TBcd& a, const TBcd& b) {
  const TDecimalDigits x = BcdDigits(a), y = BcdDigits(b);
  const bool xNegative = x.Negative && !x.IsZero(), yNegative = y.Negative && !y.IsZero();
  if (xNegative != yNegative) return xNegative ? -1 : 1;
  const int magnitude = CompareMagnitude(x, y);
  return xNegative ? -magnitude : magnitude;
}
