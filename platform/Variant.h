// Variant: a value of one of several types that converts between them, as
// edit values, check-box values and typed streams hold them. Portable: no
// Windows headers; text conversions use the locale's formats
// (FormatSettings()).
//
// Conversions:
//   Empty       gives 0, "", False and the date 0; Null converts to nothing
//               (EVariantTypeCastError; VarToStr gives "").
//   numbers     convert to one another with range checks
//               (EVariantOverflowError); to integers by rounding halves to
//               even; True is -1 and False 0, any number but 0 is True.
//   strings     are read as the target's kind (integers also in hexadecimal
//               with "$" or "0x", numbers in the locale's notation, Booleans
//               as "True"/"False" or a number, dates as the system reads
//               them); unreadable text raises EVariantTypeCastError.
//   to strings  numbers as FloatToStr, CurrToStr, BcdToStr, dates (and SQL
//               time stamps) as DateTimeToStr, Booleans as "True"/"False".
//   arrays      convert to nothing but arrays.
#pragma once

#include "platform/Bcd.h"
#include "platform/DateTime.h"
#include "platform/Exceptions.h"

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

using TVarType = uint16_t;

constexpr TVarType varEmpty = 0x0000;
constexpr TVarType varNull = 0x0001;
constexpr TVarType varSmallint = 0x0002;
constexpr TVarType varInteger = 0x0003;
constexpr TVarType varSingle = 0x0004;
constexpr TVarType varDouble = 0x0005;
constexpr TVarType varCurrency = 0x0006;
constexpr TVarType varDate = 0x0007;
constexpr TVarType varOleStr = 0x0008;
constexpr TVarType varBoolean = 0x000B;
constexpr TVarType varVariant = 0x000C;
constexpr TVarType varShortInt = 0x0010;
constexpr TVarType varByte = 0x0011;
constexpr TVarType varWord = 0x0012;
constexpr TVarType varLongWord = 0x0013;
constexpr TVarType varInt64 = 0x0014;
constexpr TVarType varString = 0x0100;
// Binary-coded decimal numbers (TBcd).
constexpr TVarType varFMTBcd = 0x0110;
// Database time stamps (TSQLTimeStamp): a date everywhere but in its type.
constexpr TVarType varSQLTimeStamp = 0x0111;
constexpr TVarType varTypeMask = 0x0FFF;
constexpr TVarType varArray = 0x2000;

class EVariantError : public Exception { public: using Exception::Exception; };
// "Could not convert variant of type (String) into type (Integer)".
class EVariantTypeCastError : public EVariantError { public: using EVariantError::EVariantError; };
// "Overflow while converting variant of type (Double) into type (Byte)".
class EVariantOverflowError : public EVariantError { public: using EVariantError::EVariantError; };
// "Invalid variant operation": comparing arrays or NaN, a non-array indexed.
class EVariantInvalidOpError : public EVariantError { public: using EVariantError::EVariantError; };
// "Variant or safe array index out of bounds".
class EVariantBadIndexError : public EVariantError { public: using EVariantError::EVariantError; };
// "Invalid variant type": an array of a type no variant holds.
class EVariantBadVarTypeError : public EVariantError { public: using EVariantError::EVariantError; };

// A time stamp as databases hand it over: sixteen bytes, the fractions in
// milliseconds.
struct TSQLTimeStamp {
  int16_t Year = 0;
  uint16_t Month = 0;
  uint16_t Day = 0;
  uint16_t Hour = 0;
  uint16_t Minute = 0;
  uint16_t Second = 0;
  uint32_t Fractions = 0;
};
static_assert(sizeof(TSQLTimeStamp) == 16);
// Raises EConvertError for a stamp that is no valid date and time.
TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value);
TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value);

class Variant;

// The elements of an array variant.
struct TVarArray {
  int LowBound = 0;
  TVarType ElementType = varVariant;
  std::vector<Variant> Items;
};

class Variant {
public:
  Variant() = default;  // Empty
  Variant(const Variant& other);
  Variant(Variant&& other) noexcept;
  Variant& operator=(const Variant& other);
  Variant& operator=(Variant&& other) noexcept;
  ~Variant();

  Variant(bool value) : FType(varBoolean), FInt(value ? 1 : 0) {}
  Variant(int8_t value) : FType(varShortInt), FInt(value) {}
  Variant(uint8_t value) : FType(varByte), FInt(value) {}
  Variant(int16_t value) : FType(varSmallint), FInt(value) {}
  Variant(uint16_t value) : FType(varWord), FInt(value) {}
  Variant(int32_t value) : FType(varInteger), FInt(value) {}
  Variant(uint32_t value) : FType(varLongWord), FInt(value) {}
  Variant(int64_t value) : FType(varInt64), FInt(value) {}
  Variant(float value) : FType(varSingle), FFloat(value) {}
  Variant(double value) : FType(varDouble), FFloat(value) {}
  Variant(Currency value) : FType(varCurrency), FInt(value.Raw) {}
  Variant(const TBcd& value) : FType(varFMTBcd), FBcd(value) {}
  // Raises EConvertError for an invalid stamp.
  Variant(const TSQLTimeStamp& value);
  Variant(const AnsiString& value) : FType(varString), FString(value) {}
  Variant(const char* value) : FType(varString), FString(value) {}
  Variant(const std::wstring& value) : FType(varOleStr), FWide(value) {}
  Variant(const wchar_t* value) : FType(varOleStr), FWide(value) {}

  static Variant Null();
  static Variant FromDate(TDateTime value);

  TVarType VarType() const;
  bool IsEmpty() const { return FType == varEmpty; }
  bool IsNull() const { return FType == varNull; }
  bool IsArray() const { return FArray != nullptr; }

  // Conversions: raise EVariantTypeCastError or EVariantOverflowError.
  bool AsBoolean() const;
  int32_t AsInteger() const;
  int64_t AsInt64() const;
  double AsDouble() const;
  Currency AsCurrency() const;
  TDateTime AsDate() const;
  TBcd AsBcd() const;
  TSQLTimeStamp AsSQLTimeStamp() const;
  AnsiString AsString() const;
  std::wstring AsOleStr() const;
  // The value converted to a variant of `type` (a scalar type, or varVariant
  // for the value itself).
  Variant AsType(TVarType type) const;

  // Arrays (one dimension).
  int LowBound() const;
  int HighBound() const;
  // Raise EVariantBadIndexError outside the bounds and EVariantInvalidOpError
  // for a variant that is no array; Put converts to the element type.
  Variant Get(int index) const;
  void Put(int index, const Variant& value);

private:
  friend Variant VarArrayCreate(int, int, TVarType);
  friend int VarCompare(const Variant&, const Variant&);

  int64_t IntegerIn(int64_t low, int64_t high, TVarType target) const;

  TVarType FType = varEmpty;
  int64_t FInt = 0;     // integer types, Booleans (0, 1), currency (ten-thousandths)
  double FFloat = 0;    // single, double, date
  AnsiString FString;   // varString
  std::wstring FWide;   // varOleStr
  TBcd FBcd;            // varFMTBcd
  TSQLTimeStamp FStamp; // varSQLTimeStamp (FFloat holds its date)
  std::unique_ptr<TVarArray> FArray;
};

// A one-dimensional array low..high of `elementType` (varVariant, or any
// scalar type: elements then hold that type), each element Empty or that
// type's zero. Raises EVariantBadVarTypeError for another type and
// EVariantBadIndexError for a high bound below low - 1.
Variant VarArrayCreate(int low, int high, TVarType elementType);
// An array 0..n-1 of varVariant holding the values.
Variant VarArrayOf(std::initializer_list<Variant> values);

inline TVarType VarType(const Variant& v) { return v.VarType(); }
inline bool VarIsEmpty(const Variant& v) { return v.IsEmpty(); }
inline bool VarIsNull(const Variant& v) { return v.IsNull(); }
inline bool VarIsArray(const Variant& v) { return v.IsArray(); }
// Any string type.
bool VarIsStr(const Variant& v);
// Integer types (Booleans not), floating-point types, currency, BCD.
bool VarIsNumeric(const Variant& v);
bool VarIsOrdinal(const Variant& v);
bool VarIsFloat(const Variant& v);
inline bool VarIsFMTBcd(const Variant& v) { return v.VarType() == varFMTBcd; }
inline bool VarIsSQLTimeStamp(const Variant& v) { return v.VarType() == varSQLTimeStamp; }
// The name of a type ("Integer", "String", "Array Variant", ...).
AnsiString VarTypeAsText(TVarType type);
// "" for Empty and Null, else AsString.
AnsiString VarToStr(const Variant& v);
inline TDateTime VarToDateTime(const Variant& v) { return v.AsDate(); }
inline Variant VarAsType(const Variant& v, TVarType type) { return v.AsType(type); }

// -1, 0 or 1: Empty below Null below every other value, Empty and Null equal
// only to themselves. Numbers of any types compare by value (Booleans as -1
// and 0 against numbers, False below True); a string against a number, date,
// currency, BCD or Boolean is read as that kind first (EVariantTypeCastError
// when it cannot be); strings compare in the locale's order. Arrays and NaN
// raise EVariantInvalidOpError.
int VarCompare(const Variant& a, const Variant& b);
inline bool operator==(const Variant& a, const Variant& b) { return VarCompare(a, b) == 0; }
inline bool operator!=(const Variant& a, const Variant& b) { return VarCompare(a, b) != 0; }
inline bool operator<(const Variant& a, const Variant& b) { return VarCompare(a, b) < 0; }
inline bool operator>(const Variant& a, const Variant& b) { return VarCompare(a, b) > 0; }

// How this build reads a date from text for the variant conversions: the
// system's variant date reading on Windows (VariantWin32.cpp), which takes
// blanks as separators and month names; StrToDateTime natively.
bool VariantTextToDate(const AnsiString& text, TDateTime& value);
