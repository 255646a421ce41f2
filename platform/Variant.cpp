#include "platform/Variant.h"

#include "platform/CodePage.h"
#include "platform/Numbers.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

enum class TKind { Empty, Null, Integer, Float, Currency, Date, Bcd, Boolean, String, Array };

TKind KindOf(TVarType type) {
  if (type & varArray) return TKind::Array;
  switch (type) {
    case varEmpty: return TKind::Empty;
    case varNull: return TKind::Null;
    case varSmallint:
    case varInteger:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64: return TKind::Integer;
    case varSingle:
    case varDouble: return TKind::Float;
    case varCurrency: return TKind::Currency;
    case varDate:
    case varSQLTimeStamp: return TKind::Date;
    case varFMTBcd: return TKind::Bcd;
    case varBoolean: return TKind::Boolean;
    default: return TKind::String;
  }
}

bool IsScalarType(TVarType type) {
  switch (type) {
    case varEmpty:
    case varNull:
    case varSmallint:
    case varInteger:
    case varSingle:
    case varDouble:
    case varCurrency:
    case varDate:
    case varOleStr:
    case varBoolean:
    case varShortInt:
    case varByte:
    case varWord:
    case varLongWord:
    case varInt64:
    case varString:
    case varFMTBcd:
    case varSQLTimeStamp: return true;
    default: return false;
  }
}

[[noreturn]] void CastError(TVarType from, TVarType to) {
  throw EVariantTypeCastError("Could not convert variant of type (" + VarTypeAsText(from) + ") into type (" +
                              VarTypeAsText(to) + ")");
}

[[noreturn]] void OverflowError(TVarType from, TVarType to) {
  throw EVariantOverflowError("Overflow while converting variant of type (" + VarTypeAsText(from) + ") into type (" +
                              VarTypeAsText(to) + ")");
}

[[noreturn]] void InvalidOp() { throw EVariantInvalidOpError("Invalid variant operation"); }

bool TextToBoolean(const AnsiString& text, bool& value) {
  const AnsiString trimmed = Trim(text);
  if (SameText(trimmed, "True")) value = true;
  else if (SameText(trimmed, "False")) value = false;
  else {
    double number;
    if (!TryStrToFloat(trimmed, number)) return false;
    value = number != 0;
  }
  return true;
}

bool TextToInteger(const AnsiString& text, int64_t& value, bool& overflow) {
  overflow = false;
  const AnsiString trimmed = Trim(text);
  try {
    value = StrToInt64(trimmed);
    return true;
  } catch (const EConvertError&) {
  }
  double number;
  if (!TryStrToFloat(trimmed, number)) return false;
  if (!(number >= -9223372036854775808.0 && number < 9223372036854775808.0)) {
    overflow = true;
    return false;
  }
  value = Round(number);
  return true;
}

template <class T>
int Compare3(const T& a, const T& b) {
  return a < b ? -1 : b < a ? 1 : 0;
}

int CompareDoubles(double a, double b) {
  if (std::isnan(a) || std::isnan(b)) InvalidOp();
  return Compare3(a, b);
}

}  // namespace

Variant::Variant(const Variant& other)
    : FType(other.FType), FInt(other.FInt), FFloat(other.FFloat), FString(other.FString), FWide(other.FWide),
      FBcd(other.FBcd), FStamp(other.FStamp),
      FArray(other.FArray ? std::make_unique<TVarArray>(*other.FArray) : nullptr) {}

Variant::Variant(Variant&& other) noexcept = default;

Variant& Variant::operator=(const Variant& other) {
  if (this != &other) {
    Variant copy(other);
    *this = std::move(copy);
  }
  return *this;
}

Variant& Variant::operator=(Variant&& other) noexcept = default;

Variant::~Variant() = default;

Variant Variant::Null() {
  Variant v;
  v.FType = varNull;
  return v;
}

TDateTime SQLTimeStampToDateTime(const TSQLTimeStamp& value) {
  TDateTime date = 0, time = 0;
  if (value.Fractions > 999 || !TryEncodeDate(value.Year, value.Month, value.Day, date) ||
      !TryEncodeTime(value.Hour, value.Minute, value.Second, static_cast<int>(value.Fractions), time))
    throw EConvertError("Invalid SQL time stamp");
  return date >= 0 ? date + time : date - time;
}

TSQLTimeStamp DateTimeToSQLTimeStamp(TDateTime value) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, msec = 0;
  DecodeDate(value, year, month, day);
  DecodeTime(value, hour, minute, second, msec);
  TSQLTimeStamp stamp;
  stamp.Year = static_cast<int16_t>(year);
  stamp.Month = static_cast<uint16_t>(month);
  stamp.Day = static_cast<uint16_t>(day);
  stamp.Hour = static_cast<uint16_t>(hour);
  stamp.Minute = static_cast<uint16_t>(minute);
  stamp.Second = static_cast<uint16_t>(second);
  stamp.Fractions = static_cast<uint32_t>(msec);
  return stamp;
}

Variant::Variant(const TSQLTimeStamp& value)
    : FType(varSQLTimeStamp), FFloat(SQLTimeStampToDateTime(value)), FStamp(value) {}

TSQLTimeStamp Variant::AsSQLTimeStamp() const {
  if (FType == varSQLTimeStamp) return FStamp;
  return DateTimeToSQLTimeStamp(AsDate());
}

Variant Variant::FromDate(TDateTime value) {
  Variant v;
  v.FType = varDate;
  v.FFloat = value;
  return v;
}

TVarType Variant::VarType() const { return FArray ? static_cast<TVarType>(varArray | FArray->ElementType) : FType; }

int64_t Variant::IntegerIn(int64_t low, int64_t high, TVarType target) const {
  int64_t value = 0;
  switch (KindOf(FType)) {
    case TKind::Empty: return 0;
    case TKind::Integer:
      value = FInt;
      break;
    case TKind::Boolean: return FInt ? -1 : 0;
    case TKind::Float:
    case TKind::Date:
      if (!(FFloat >= -9223372036854775808.0 && FFloat < 9223372036854775808.0)) OverflowError(FType, target);
      value = Round(FFloat);
      break;
    case TKind::Currency: {
      // Ten-thousandths to units, halves to even.
      const int64_t units = FInt / CurrencyScale, rest = FInt % CurrencyScale;
      value = units;
      if (rest > 5000 || (rest == 5000 && units % 2 != 0)) ++value;
      if (rest < -5000 || (rest == -5000 && units % 2 != 0)) --value;
      break;
    }
    case TKind::Bcd: {
      const double d = BcdToDouble(FBcd);
      if (!(d >= -9223372036854775808.0 && d < 9223372036854775808.0)) OverflowError(FType, target);
      value = Round(d);
      break;
    }
    case TKind::String: {
      bool overflow;
      if (!TextToInteger(AsString(), value, overflow)) {
        if (overflow) OverflowError(FType, target);
        CastError(FType, target);
      }
      break;
    }
    default: CastError(VarType(), target);
  }
  if (value < low || value > high) OverflowError(FType, target);
  return value;
}

bool Variant::AsBoolean() const {
  switch (KindOf(FType)) {
    case TKind::Empty: return false;
    case TKind::Boolean:
    case TKind::Integer:
    case TKind::Currency: return FInt != 0;
    case TKind::Float:
    case TKind::Date: return FFloat != 0;
    case TKind::Bcd: return !BcdDigits(FBcd).IsZero();
    case TKind::String: {
      bool value;
      if (!TextToBoolean(AsString(), value)) CastError(FType, varBoolean);
      return value;
    }
    default: CastError(VarType(), varBoolean);
  }
}

int32_t Variant::AsInteger() const {
  return static_cast<int32_t>(IntegerIn(std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max(), varInteger));
}

int64_t Variant::AsInt64() const {
  return IntegerIn(std::numeric_limits<int64_t>::min(), std::numeric_limits<int64_t>::max(), varInt64);
}

double Variant::AsDouble() const {
  switch (KindOf(FType)) {
    case TKind::Empty: return 0;
    case TKind::Integer: return static_cast<double>(FInt);
    case TKind::Boolean: return FInt ? -1.0 : 0.0;
    case TKind::Float:
    case TKind::Date: return FFloat;
    case TKind::Currency: return Currency::FromRaw(FInt).ToDouble();
    case TKind::Bcd: return BcdToDouble(FBcd);
    case TKind::String: {
      double value;
      if (!TryStrToFloat(AsString(), value)) CastError(FType, varDouble);
      return value;
    }
    default: CastError(VarType(), varDouble);
  }
}

Currency Variant::AsCurrency() const {
  Currency value;
  switch (KindOf(FType)) {
    case TKind::Empty: return value;
    case TKind::Currency: return Currency::FromRaw(FInt);
    case TKind::Boolean: return Currency::FromInt(FInt ? -1 : 0);
    case TKind::Integer:
      if (FInt > INT64_MAX / CurrencyScale || FInt < INT64_MIN / CurrencyScale) OverflowError(FType, varCurrency);
      return Currency::FromRaw(FInt * CurrencyScale);
    case TKind::Float:
    case TKind::Date:
      if (std::isnan(FFloat)) CastError(FType, varCurrency);
      if (!TryFloatToCurr(FFloat, value)) OverflowError(FType, varCurrency);
      return value;
    case TKind::Bcd:
      if (!TryDigitsToCurr(BcdDigits(FBcd), value)) OverflowError(FType, varCurrency);
      return value;
    case TKind::String: {
      TDecimalDigits number;
      if (!TryStrToDigits(AsString(), number, FormatSettings())) CastError(FType, varCurrency);
      if (!TryDigitsToCurr(number, value)) OverflowError(FType, varCurrency);
      return value;
    }
    default: CastError(VarType(), varCurrency);
  }
}

TDateTime Variant::AsDate() const {
  switch (KindOf(FType)) {
    case TKind::Empty: return 0;
    case TKind::String: {
      TDateTime value;
      if (!VariantTextToDate(AsString(), value)) CastError(FType, varDate);
      return value;
    }
    case TKind::Null:
    case TKind::Array: CastError(VarType(), varDate);
    default: {
      const double value = AsDouble();
      if (!std::isfinite(value)) CastError(FType, varDate);
      return value;
    }
  }
}

TBcd Variant::AsBcd() const {
  TBcd value;
  switch (KindOf(FType)) {
    case TKind::Empty: return value;
    case TKind::Bcd: return FBcd;
    case TKind::Integer: return IntegerToBcd(FInt);
    case TKind::Boolean: return IntegerToBcd(FInt ? -1 : 0);
    case TKind::Currency: return CurrToBcd(Currency::FromRaw(FInt));
    case TKind::Float:
    case TKind::Date:
      if (!std::isfinite(FFloat)) CastError(FType, varFMTBcd);
      return DoubleToBcd(FFloat);
    case TKind::String:
      if (!TryStrToBcd(AsString(), value)) CastError(FType, varFMTBcd);
      return value;
    default: CastError(VarType(), varFMTBcd);
  }
}

AnsiString Variant::AsString() const {
  switch (FType) {
    case varEmpty: return AnsiString();
    case varString: return FString;
    case varOleStr: return Utf16ToAnsi(FWide);
    case varBoolean: return FInt ? "True" : "False";
    case varSingle: return FloatToStrF(FFloat, ffGeneral, 7, 0);
    case varDouble: return FloatToStr(FFloat);
    case varDate:
    case varSQLTimeStamp: return DateTimeToStr(FFloat);
    case varCurrency: return CurrToStr(Currency::FromRaw(FInt));
    case varFMTBcd: return BcdToStr(FBcd);
    default:
      if (KindOf(FType) == TKind::Integer && !FArray) return IntToStr(FInt);
      CastError(VarType(), varString);
  }
}

std::wstring Variant::AsOleStr() const {
  if (FType == varOleStr) return FWide;
  try {
    return AnsiToUtf16(AsString());
  } catch (const EVariantTypeCastError&) {
    CastError(VarType(), varOleStr);
  }
}

Variant Variant::AsType(TVarType type) const {
  if (type == varVariant || type == VarType()) return *this;
  switch (type) {
    case varEmpty: return Variant();
    case varNull: return Null();
    case varSmallint: return Variant(static_cast<int16_t>(IntegerIn(INT16_MIN, INT16_MAX, type)));
    case varInteger: return Variant(static_cast<int32_t>(IntegerIn(INT32_MIN, INT32_MAX, type)));
    case varShortInt: return Variant(static_cast<int8_t>(IntegerIn(INT8_MIN, INT8_MAX, type)));
    case varByte: return Variant(static_cast<uint8_t>(IntegerIn(0, UINT8_MAX, type)));
    case varWord: return Variant(static_cast<uint16_t>(IntegerIn(0, UINT16_MAX, type)));
    case varLongWord: return Variant(static_cast<uint32_t>(IntegerIn(0, UINT32_MAX, type)));
    case varInt64: return Variant(AsInt64());
    case varSingle: {
      const double value = AsDouble();
      if (std::isfinite(value) && std::fabs(value) > std::numeric_limits<float>::max()) OverflowError(VarType(), type);
      return Variant(static_cast<float>(value));
    }
    case varDouble: return Variant(AsDouble());
    case varCurrency: return Variant(AsCurrency());
    case varDate: return FromDate(AsDate());
    case varBoolean: return Variant(AsBoolean());
    case varString: return Variant(AsString());
    case varOleStr: return Variant(AsOleStr());
    case varFMTBcd: return Variant(AsBcd());
    case varSQLTimeStamp: return Variant(AsSQLTimeStamp());
    default: CastError(VarType(), type);
  }
}

int Variant::LowBound() const {
  if (!FArray) InvalidOp();
  return FArray->LowBound;
}

int Variant::HighBound() const {
  if (!FArray) InvalidOp();
  return FArray->LowBound + static_cast<int>(FArray->Items.size()) - 1;
}

Variant Variant::Get(int index) const {
  if (!FArray) InvalidOp();
  const int64_t at = static_cast<int64_t>(index) - FArray->LowBound;
  if (at < 0 || at >= static_cast<int64_t>(FArray->Items.size()))
    throw EVariantBadIndexError("Variant or safe array index out of bounds");
  return FArray->Items[static_cast<size_t>(at)];
}

void Variant::Put(int index, const Variant& value) {
  if (!FArray) InvalidOp();
  const int64_t at = static_cast<int64_t>(index) - FArray->LowBound;
  if (at < 0 || at >= static_cast<int64_t>(FArray->Items.size()))
    throw EVariantBadIndexError("Variant or safe array index out of bounds");
  FArray->Items[static_cast<size_t>(at)] = value.AsType(FArray->ElementType);
}

Variant VarArrayCreate(int low, int high, TVarType elementType) {
  if (elementType != varVariant && (!IsScalarType(elementType) || elementType == varEmpty || elementType == varNull))
    throw EVariantBadVarTypeError("Invalid variant type");
  const int64_t count = static_cast<int64_t>(high) - low + 1;
  if (count < 0 || count > 0x1000000) throw EVariantBadIndexError("Variant or safe array index out of bounds");
  Variant v;
  v.FType = varArray | elementType;
  v.FArray = std::make_unique<TVarArray>();
  v.FArray->LowBound = low;
  v.FArray->ElementType = elementType;
  const Variant zero = elementType == varVariant ? Variant() : Variant().AsType(elementType);
  v.FArray->Items.assign(static_cast<size_t>(count), zero);
  return v;
}

Variant VarArrayOf(std::initializer_list<Variant> values) {
  Variant v = VarArrayCreate(0, static_cast<int>(values.size()) - 1, varVariant);
  int i = 0;
  for (const Variant& value : values) v.Put(i++, value);
  return v;
}

bool VarIsStr(const Variant& v) { return v.VarType() == varString || v.VarType() == varOleStr; }

bool VarIsOrdinal(const Variant& v) { return !v.IsArray() && KindOf(v.VarType()) == TKind::Integer; }

bool VarIsFloat(const Variant& v) {
  const TVarType t = v.VarType();
  return t == varSingle || t == varDouble || t == varCurrency;
}

bool VarIsNumeric(const Variant& v) { return VarIsOrdinal(v) || VarIsFloat(v) || VarIsFMTBcd(v); }

AnsiString VarTypeAsText(TVarType type) {
  static const char* const names[] = {"Empty",  "Null",   "Smallint", "Integer", "Single",   "Double", "Currency",
                                      "Date",   "OleStr", "Dispatch", "Error",   "Boolean",  "Variant", "Unknown",
                                      "Decimal", "0x000F", "ShortInt", "Byte",   "Word",     "LongWord", "Int64"};
  const TVarType base = type & varTypeMask;
  AnsiString name;
  if (base < sizeof names / sizeof names[0]) name = names[base];
  else if (base == varString) name = "String";
  else if (base == varFMTBcd) name = "FMTBcd";
  else if (base == varSQLTimeStamp) name = "SQLTimeStamp";
  else name = "0x" + IntToHex(base, 4);
  return type & varArray ? "Array " + name : name;
}

AnsiString VarToStr(const Variant& v) { return v.IsNull() ? AnsiString() : v.AsString(); }

int VarCompare(const Variant& a, const Variant& b) {
  const TKind ka = KindOf(a.VarType()), kb = KindOf(b.VarType());
  if (ka == TKind::Array || kb == TKind::Array) InvalidOp();
  // Empty, then Null, then every value.
  auto rank = [](TKind k) { return k == TKind::Empty ? 0 : k == TKind::Null ? 1 : 2; };
  if (rank(ka) != 2 || rank(kb) != 2) return Compare3(rank(ka), rank(kb));

  if (ka == TKind::String && kb == TKind::String) {
    if (a.FType == varOleStr && b.FType == varOleStr) return Compare3(a.FWide.compare(b.FWide), 0);
    if (a.FType == varOleStr || b.FType == varOleStr) {
      const std::wstring x = a.AsOleStr(), y = b.AsOleStr();
      if (x == y) return 0;
    }
    return Compare3(AnsiCompareStr(a.AsString(), b.AsString()), 0);
  }
  if (ka == TKind::Boolean && kb == TKind::Boolean) return Compare3(a.FInt, b.FInt);
  // A string meets another kind: read it as that kind.
  if (ka == TKind::String || kb == TKind::String) {
    const Variant& text = ka == TKind::String ? a : b;
    const Variant& other = ka == TKind::String ? b : a;
    const TVarType as = KindOf(other.FType) == TKind::Integer ? varDouble : other.FType;
    const Variant read = text.AsType(as);
    return ka == TKind::String ? VarCompare(read, other) : VarCompare(other, read);
  }
  // Numbers, dates and Booleans.
  auto exact = [](TKind k) { return k == TKind::Integer || k == TKind::Boolean; };
  if (exact(ka) && exact(kb)) return Compare3(a.AsInt64(), b.AsInt64());
  if ((ka == TKind::Currency || exact(ka)) && (kb == TKind::Currency || exact(kb))) {
    if (ka == TKind::Currency && kb == TKind::Currency) return Compare3(a.FInt, b.FInt);
    // An integer beyond the currency range compares by its sign.
    const Variant& c = ka == TKind::Currency ? a : b;
    const Variant& n = ka == TKind::Currency ? b : a;
    const int64_t units = n.AsInt64();
    int result;
    if (units > INT64_MAX / CurrencyScale) result = -1;
    else if (units < INT64_MIN / CurrencyScale) result = 1;
    else result = Compare3(c.FInt, units * CurrencyScale);
    return ka == TKind::Currency ? result : -result;
  }
  if ((ka == TKind::Bcd || kb == TKind::Bcd) && ka != TKind::Float && kb != TKind::Float && ka != TKind::Date &&
      kb != TKind::Date)
    return BcdCompare(a.AsBcd(), b.AsBcd());
  return CompareDoubles(a.AsDouble(), b.AsDouble());
}
