// Binary-coded decimal numbers: up to 64 exact decimal digits, as values of
// the edit framework and its streams hold them. Portable: no Windows headers.
#pragma once

#include "platform/Exceptions.h"
#include "platform/NumberText.h"

#include <cstdint>

// The 34-byte record: the number of digits, the sign (bit 7) and the count
// of decimals (bits 0-5), then the digits two to a byte, high nibble first.
struct TBcd {
  uint8_t Precision = 1;          // digits held, 1-64
  uint8_t SignSpecialPlaces = 0;  // bit 7 negative, bits 0-5 decimals
  uint8_t Fraction[32] = {};

  bool IsNegative() const { return (SignSpecialPlaces & 0x80) != 0; }
  int Scale() const { return SignSpecialPlaces & 0x3F; }
};
static_assert(sizeof(TBcd) == 34);

constexpr int MaxBcdDigits = 64;

class EBcdException : public Exception { public: using Exception::Exception; };
class EBcdOverflowException : public EBcdException { public: using EBcdException::EBcdException; };

// The number a record holds as decimal digits; raises EBcdException for a
// record whose precision, scale or digits are out of range.
TDecimalDigits BcdDigits(const TBcd& value);
// The record of a number; false when it needs more than 64 digits.
bool DigitsToBcd(const TDecimalDigits& number, TBcd& value);

// Text as for TryStrToFloat, read exactly: at most 64 significant digits.
bool TryStrToBcd(const AnsiString& text, TBcd& value);
bool TryStrToBcd(const AnsiString& text, TBcd& value, const TFormatSettings& settings);
// Raises EBcdException "'<text>' is not a valid BCD value".
TBcd StrToBcd(const AnsiString& text);
TBcd StrToBcd(const AnsiString& text, const TFormatSettings& settings);
// Every digit, no exponent.
AnsiString BcdToStr(const TBcd& value);
AnsiString BcdToStr(const TBcd& value, const TFormatSettings& settings);
// As FloatToStrF, exact (precision up to 64).
AnsiString BcdToStrF(const TBcd& value, TFloatFormat format, int precision, int digits);
AnsiString BcdToStrF(const TBcd& value, TFloatFormat format, int precision, int digits, const TFormatSettings& settings);

TBcd IntegerToBcd(int64_t value);
// The nearest double; 15 significant digits of a double.
double BcdToDouble(const TBcd& value);
TBcd DoubleToBcd(double value);
// Raises EBcdOverflowException beyond the currency range; rounds to four
// decimals (halves to even).
Currency BcdToCurr(const TBcd& value);
TBcd CurrToBcd(Currency value);
// -1, 0 or 1 by value (any precision and scale).
int BcdCompare(const TBcd& a, const TBcd& b);
