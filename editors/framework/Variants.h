// Variant helpers of the editors: ordering and equality of edit values, their
// classification, and a tagged binary form of values and texts on streams.
// Portable.
//
// Stream form: one tag byte, then the payload, numbers little-endian:
//   0 Null; 1 array (count as a tagged integer, then the elements);
//   2/3/4/19 signed integers of 1/2/4/8 bytes; 5 a 10-byte extended float
//   (read back as a double); 6 a string with a 1-byte length; 8/9 False/True;
//   12 a string with a 4-byte length; 13 Empty; 15 a single; 16 a currency
//   (raw 64 bits); 17 a date (double); 18 a wide string (4-byte length in
//   characters, 16-bit characters).
// Every other tag, a length or count that is negative or longer than the bytes
// left, arrays nested deeper than cxMaxStreamedVariantDepth and a short stream
// raise EReadError "Stream read error" before anything is allocated for them.
#pragma once

#include "platform/Stream.h"
#include "platform/Variant.h"

#include <cstdint>
#include <string>

// How deep arrays may nest in a stream that is read.
inline constexpr int cxMaxStreamedVariantDepth = 64;

// -1, 0 or 1; Empty below Null below every value; arrays against arrays by
// their high bounds, then element by element (the difference of the high
// bounds, when they differ). Values the platform cannot compare give -1.
int CompareVariants(const Variant& a, const Variant& b);
inline bool VariantsCompareEqual(const Variant& a, const Variant& b) { return CompareVariants(a, b) == 0; }
// The equality editors decide a change by: a Boolean against a value that is
// neither Null nor Boolean compares as two texts ("True" = True); otherwise
// VariantsCompareEqual. Never raises.
bool VariantsEqual(const Variant& a, const Variant& b);

bool IsDateVarType(TVarType type);
// A date or an SQL time stamp.
bool IsDateVariant(const Variant& v);
// Any numeric type or BCD.
bool IsNumberVariant(const Variant& v);
// Null, or a string equal to "" (Empty is not).
bool IsNullOrEmptyText(const Variant& v);

// Whether a new edit value is a change: numbers of any numeric types (BCD
// included) compare by value, other values must have the same type; then
// VariantsEqual.
bool EditValuesEqual(const Variant& a, const Variant& b);
// The same type, and VariantsEqual.
bool VariantsIdentical(const Variant& a, const Variant& b);

// The tagged form (above). WriteVariant raises EWriteError "Stream write
// error" for what it cannot write (an array of more dimensions cannot occur
// here; a value with no text form can).
Variant ReadVariant(TStream& stream);
void WriteVariant(TStream& stream, const Variant& value);

// Texts: a 4-byte length, then the bytes or 16-bit characters.
AnsiString ReadAnsiText(TStream& stream);
void WriteAnsiText(TStream& stream, const AnsiString& text);
std::wstring ReadWideText(TStream& stream);
void WriteWideText(TStream& stream, const std::wstring& text);

// Fixed-size values, little-endian; short streams raise EReadError.
uint8_t ReadByte(TStream& stream);
int8_t ReadShortInt(TStream& stream);
int16_t ReadSmallInt(TStream& stream);
uint16_t ReadWord(TStream& stream);
int32_t ReadInteger(TStream& stream);
int64_t ReadInt64(TStream& stream);
double ReadExtended(TStream& stream);
double ReadDouble(TStream& stream);
int64_t ReadRaw8(TStream& stream);
void WriteByte(TStream& stream, uint8_t value);
void WriteShortInt(TStream& stream, int8_t value);
void WriteSmallInt(TStream& stream, int16_t value);
void WriteWord(TStream& stream, uint16_t value);
void WriteInteger(TStream& stream, int32_t value);
void WriteInt64(TStream& stream, int64_t value);
void WriteExtended(TStream& stream, double value);
void WriteDouble(TStream& stream, double value);
void WriteRaw8(TStream& stream, int64_t value);

// The 10-byte extended form of a double and back (portable: no long double).
void DoubleToExtended(double value, uint8_t bytes[10]);
double ExtendedToDouble(const uint8_t bytes[10]);
