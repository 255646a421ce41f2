#include "editors/framework/Variants.h"

#include "editors/framework/DataConsts.h"

#include <cmath>
#include <cstring>

namespace {

[[noreturn]] void ReadError() { throw EReadError(LoadResString(cxSDataReadError)); }
[[noreturn]] void WriteError() { throw EWriteError(LoadResString(cxSDataWriteError)); }

int64_t BytesLeft(TStream& stream) {
  const int64_t left = stream.Size() - stream.Position();
  return left > 0 ? left : 0;
}

void ReadExact(TStream& stream, void* buffer, int64_t count) {
  if (count < 0 || count > BytesLeft(stream)) ReadError();
  try {
    stream.ReadBuffer(buffer, count);
  } catch (const EReadError&) {
    ReadError();
  }
}

void WriteExact(TStream& stream, const void* buffer, int64_t count) {
  try {
    stream.WriteBuffer(buffer, count);
  } catch (const EWriteError&) {
    WriteError();
  }
}

template <class T>
T ReadLittle(TStream& stream) {
  uint8_t bytes[sizeof(T)];
  ReadExact(stream, bytes, sizeof bytes);
  uint64_t value = 0;
  for (size_t i = 0; i < sizeof(T); ++i) value |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  return static_cast<T>(value);
}

template <class T>
void WriteLittle(TStream& stream, T value) {
  uint8_t bytes[sizeof(T)];
  const uint64_t bits = static_cast<uint64_t>(value);
  for (size_t i = 0; i < sizeof(T); ++i) bytes[i] = static_cast<uint8_t>(bits >> (8 * i));
  WriteExact(stream, bytes, sizeof bytes);
}

int64_t DoubleBits(double value) {
  int64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double BitsDouble(int64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

// A length or count read from the stream: at least `unit` bytes each must
// still be there.
int64_t CheckedLength(TStream& stream, int64_t length, int64_t unit) {
  if (length < 0 || length > BytesLeft(stream) / unit) ReadError();
  return length;
}

void WriteTaggedInteger(TStream& stream, int64_t value) {
  if (value >= INT8_MIN && value <= INT8_MAX) {
    WriteByte(stream, 2);
    WriteShortInt(stream, static_cast<int8_t>(value));
  } else if (value >= INT16_MIN && value <= INT16_MAX) {
    WriteByte(stream, 3);
    WriteSmallInt(stream, static_cast<int16_t>(value));
  } else if (value >= INT32_MIN && value <= INT32_MAX) {
    WriteByte(stream, 4);
    WriteInteger(stream, static_cast<int32_t>(value));
  } else {
    WriteByte(stream, 19);
    WriteInt64(stream, value);
  }
}

int64_t ReadTaggedCount(TStream& stream) {
  switch (ReadByte(stream)) {
    case 2: return ReadShortInt(stream);
    case 3: return ReadSmallInt(stream);
    case 4: return ReadInteger(stream);
    default: return ReadInt64(stream);
  }
}

void WriteString(TStream& stream, const AnsiString& text) {
  if (text.size() > 255) {
    if (text.size() > static_cast<size_t>(INT32_MAX)) WriteError();
    WriteByte(stream, 12);
    WriteInteger(stream, static_cast<int32_t>(text.size()));
  } else {
    WriteByte(stream, 6);
    WriteByte(stream, static_cast<uint8_t>(text.size()));
  }
  WriteExact(stream, text.data(), static_cast<int64_t>(text.size()));
}

AnsiString ReadBytes(TStream& stream, int64_t length) {
  AnsiString text(static_cast<size_t>(CheckedLength(stream, length, 1)), '\0');
  if (length) ReadExact(stream, text.data(), length);
  return text;
}

std::wstring ReadWideChars(TStream& stream, int64_t length) {
  CheckedLength(stream, length, 2);
  std::wstring text(static_cast<size_t>(length), L'\0');
  for (auto& ch : text) ch = static_cast<wchar_t>(ReadWord(stream));
  return text;
}

void WriteWideChars(TStream& stream, const std::wstring& text) {
  if (text.size() > static_cast<size_t>(INT32_MAX / 2)) WriteError();
  WriteInteger(stream, static_cast<int32_t>(text.size()));
  for (wchar_t ch : text) WriteWord(stream, static_cast<uint16_t>(ch));
}

void WriteScalarAs(TStream& stream, const Variant& v) {
  if (VarIsOrdinal(v)) {
    WriteTaggedInteger(stream, v.AsInt64());
    return;
  }
  switch (v.VarType()) {
    case varEmpty: WriteByte(stream, 13); return;
    case varNull: WriteByte(stream, 0); return;
    case varSingle: {
      const float value = static_cast<float>(v.AsDouble());
      uint32_t bits;
      std::memcpy(&bits, &value, sizeof bits);
      WriteByte(stream, 15);
      WriteLittle<uint32_t>(stream, bits);
      return;
    }
    case varDouble:
      WriteByte(stream, 5);
      WriteExtended(stream, v.AsDouble());
      return;
    case varCurrency:
      WriteByte(stream, 16);
      WriteRaw8(stream, v.AsCurrency().Raw);
      return;
    case varDate:
      // The stored number as it is (a date read from a stream may be no
      // valid date).
      WriteByte(stream, 17);
      WriteDouble(stream, v.AsDouble());
      return;
    case varSQLTimeStamp:
      WriteByte(stream, 17);
      WriteDouble(stream, v.AsDate());
      return;
    case varOleStr:
      WriteByte(stream, 18);
      WriteWideChars(stream, v.AsOleStr());
      return;
    case varBoolean: WriteByte(stream, v.AsBoolean() ? 9 : 8); return;
    case varString: WriteString(stream, v.AsString()); return;
    default: {
      AnsiString text;
      try {
        text = v.AsString();
      } catch (const EVariantError&) {
        WriteError();
      }
      WriteString(stream, text);
    }
  }
}

void WriteScalar(TStream& stream, const Variant& v) {
  try {
    WriteScalarAs(stream, v);
  } catch (const EVariantError&) {
    WriteError();
  }
}

Variant ReadTagged(TStream& stream, int depth) {
  switch (ReadByte(stream)) {
    case 0: return Variant::Null();
    case 1: {
      if (depth >= cxMaxStreamedVariantDepth) ReadError();
      // Every element takes at least its tag byte.
      const int64_t count = CheckedLength(stream, ReadTaggedCount(stream), 1);
      if (count > INT32_MAX) ReadError();
      Variant array = VarArrayCreate(0, static_cast<int>(count) - 1, varVariant);
      for (int64_t i = 0; i < count; ++i) array.Put(static_cast<int>(i), ReadTagged(stream, depth + 1));
      return array;
    }
    case 2: return Variant(ReadShortInt(stream));
    case 3: return Variant(ReadSmallInt(stream));
    case 4: return Variant(ReadInteger(stream));
    case 5: return Variant(ReadExtended(stream));
    case 6: return Variant(ReadBytes(stream, ReadByte(stream)));
    case 8: return Variant(false);
    case 9: return Variant(true);
    case 12: return Variant(ReadBytes(stream, ReadInteger(stream)));
    case 13: return Variant();
    case 15: {
      const uint32_t bits = ReadLittle<uint32_t>(stream);
      float value;
      std::memcpy(&value, &bits, sizeof value);
      return Variant(value);
    }
    case 16: return Variant(Currency::FromRaw(ReadRaw8(stream)));
    case 17: return Variant::FromDate(ReadDouble(stream));
    case 18: return Variant(ReadWideChars(stream, ReadInteger(stream)));
    case 19: return Variant(ReadInt64(stream));
    default: ReadError();
  }
}

// A scalar compare through the platform; Empty and Null by rank.
int CompareScalarVariants(const Variant& a, const Variant& b) {
  if (a.IsEmpty()) return b.IsEmpty() ? 0 : -1;
  if (b.IsEmpty()) return 1;
  try {
    const int result = VarCompare(a, b);
    if (result == 0) return 0;
    if (a.IsNull()) return -1;
    if (b.IsNull()) return 1;
    return result < 0 ? -1 : 1;
  } catch (const EVariantError&) {
    return -1;
  } catch (const EConvertError&) {
    return -1;
  }
}

int CompareVariantArrays(const Variant& a, const Variant& b) {
  if (a.IsArray() && !b.IsArray()) return 1;
  if (b.IsArray() && !a.IsArray()) return -1;
  if (a.HighBound() != b.HighBound()) return a.HighBound() - b.HighBound();
  for (int i = 0; i <= a.HighBound(); ++i) {
    const int result = CompareVariants(a.Get(i), b.Get(i));
    if (result != 0) return result;
  }
  return 0;
}

}  // namespace

int CompareVariants(const Variant& a, const Variant& b) {
  if (a.IsArray() || b.IsArray()) return CompareVariantArrays(a, b);
  return CompareScalarVariants(a, b);
}

bool VariantsEqual(const Variant& a, const Variant& b) {
  if (a.IsNull() || b.IsNull() || (a.VarType() != varBoolean && b.VarType() != varBoolean))
    return VariantsCompareEqual(a, b);
  try {
    return a.AsString() == b.AsString();
  } catch (const EVariantError&) {
    return false;
  }
}

bool IsDateVarType(TVarType type) { return type == varDate || type == varSQLTimeStamp; }
bool IsDateVariant(const Variant& v) { return IsDateVarType(v.VarType()); }
bool IsNumberVariant(const Variant& v) { return VarIsNumeric(v); }

bool IsNullOrEmptyText(const Variant& v) {
  if (v.IsNull()) return true;
  return VarIsStr(v) && v.AsString().empty();
}

bool EditValuesEqual(const Variant& a, const Variant& b) {
  const bool comparable = (IsNumberVariant(a) && IsNumberVariant(b)) || a.VarType() == b.VarType();
  return comparable && VariantsEqual(a, b);
}

bool VariantsIdentical(const Variant& a, const Variant& b) { return a.VarType() == b.VarType() && VariantsEqual(a, b); }

Variant ReadVariant(TStream& stream) { return ReadTagged(stream, 0); }

void WriteVariant(TStream& stream, const Variant& value) {
  if (value.IsArray()) {
    WriteByte(stream, 1);
    WriteTaggedInteger(stream, static_cast<int64_t>(value.HighBound()) - value.LowBound() + 1);
    for (int i = value.LowBound(); i <= value.HighBound(); ++i) WriteVariant(stream, value.Get(i));
    return;
  }
  WriteScalar(stream, value);
}

AnsiString ReadAnsiText(TStream& stream) { return ReadBytes(stream, ReadInteger(stream)); }

void WriteAnsiText(TStream& stream, const AnsiString& text) {
  if (text.size() > static_cast<size_t>(INT32_MAX)) WriteError();
  WriteInteger(stream, static_cast<int32_t>(text.size()));
  WriteExact(stream, text.data(), static_cast<int64_t>(text.size()));
}

std::wstring ReadWideText(TStream& stream) { return ReadWideChars(stream, ReadInteger(stream)); }
void WriteWideText(TStream& stream, const std::wstring& text) { WriteWideChars(stream, text); }

uint8_t ReadByte(TStream& stream) { return ReadLittle<uint8_t>(stream); }
int8_t ReadShortInt(TStream& stream) { return static_cast<int8_t>(ReadLittle<uint8_t>(stream)); }
int16_t ReadSmallInt(TStream& stream) { return static_cast<int16_t>(ReadLittle<uint16_t>(stream)); }
uint16_t ReadWord(TStream& stream) { return ReadLittle<uint16_t>(stream); }
int32_t ReadInteger(TStream& stream) { return static_cast<int32_t>(ReadLittle<uint32_t>(stream)); }
int64_t ReadInt64(TStream& stream) { return static_cast<int64_t>(ReadLittle<uint64_t>(stream)); }
int64_t ReadRaw8(TStream& stream) { return ReadInt64(stream); }
double ReadDouble(TStream& stream) { return BitsDouble(ReadInt64(stream)); }

double ReadExtended(TStream& stream) {
  uint8_t bytes[10];
  ReadExact(stream, bytes, sizeof bytes);
  return ExtendedToDouble(bytes);
}

void WriteByte(TStream& stream, uint8_t value) { WriteLittle(stream, value); }
void WriteShortInt(TStream& stream, int8_t value) { WriteLittle(stream, static_cast<uint8_t>(value)); }
void WriteSmallInt(TStream& stream, int16_t value) { WriteLittle(stream, static_cast<uint16_t>(value)); }
void WriteWord(TStream& stream, uint16_t value) { WriteLittle(stream, value); }
void WriteInteger(TStream& stream, int32_t value) { WriteLittle(stream, static_cast<uint32_t>(value)); }
void WriteInt64(TStream& stream, int64_t value) { WriteLittle(stream, static_cast<uint64_t>(value)); }
void WriteRaw8(TStream& stream, int64_t value) { WriteInt64(stream, value); }
void WriteDouble(TStream& stream, double value) { WriteInt64(stream, DoubleBits(value)); }

void WriteExtended(TStream& stream, double value) {
  uint8_t bytes[10];
  DoubleToExtended(value, bytes);
  WriteExact(stream, bytes, sizeof bytes);
}

void DoubleToExtended(double value, uint8_t bytes[10]) {
  uint64_t mantissa = 0;
  unsigned exponent = 0;
  const bool negative = std::signbit(value);
  if (std::isnan(value)) {
    exponent = 0x7FFF;
    mantissa = 0xC000000000000000ull;
  } else if (std::isinf(value)) {
    exponent = 0x7FFF;
    mantissa = 0x8000000000000000ull;
  } else if (value != 0) {
    int e = 0;
    const double fraction = std::frexp(std::fabs(value), &e);  // [0.5, 1)
    mantissa = static_cast<uint64_t>(std::ldexp(fraction, 64));
    exponent = static_cast<unsigned>(e - 1 + 16383);
  }
  for (int i = 0; i < 8; ++i) bytes[i] = static_cast<uint8_t>(mantissa >> (8 * i));
  const unsigned top = exponent | (negative ? 0x8000u : 0u);
  bytes[8] = static_cast<uint8_t>(top);
  bytes[9] = static_cast<uint8_t>(top >> 8);
}

double ExtendedToDouble(const uint8_t bytes[10]) {
  uint64_t mantissa = 0;
  for (int i = 0; i < 8; ++i) mantissa |= static_cast<uint64_t>(bytes[i]) << (8 * i);
  const unsigned top = bytes[8] | (static_cast<unsigned>(bytes[9]) << 8);
  const bool negative = (top & 0x8000) != 0;
  const int exponent = static_cast<int>(top & 0x7FFF);
  double value;
  if (exponent == 0x7FFF)
    value = (mantissa << 1) == 0 ? HUGE_VAL : std::nan("");
  else
    value = std::ldexp(static_cast<double>(mantissa), exponent - 16383 - 63);
  return negative ? -value : value;
}
