#include "editors/framework/DataStorage.h"

#include "editors/framework/Variants.h"
#include "platform/Text.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>

#define CX_CLASS_INFO(name, base) const TClassInfo name::ClassInfo{#name, &base::ClassInfo, nullptr};
CX_CLASS_INFO(TcxValueType, TObject)
CX_CLASS_INFO(TcxStringValueType, TcxValueType)
CX_CLASS_INFO(TcxWideStringValueType, TcxStringValueType)
CX_CLASS_INFO(TcxSmallintValueType, TcxValueType)
CX_CLASS_INFO(TcxIntegerValueType, TcxValueType)
CX_CLASS_INFO(TcxWordValueType, TcxValueType)
CX_CLASS_INFO(TcxBooleanValueType, TcxValueType)
CX_CLASS_INFO(TcxFloatValueType, TcxValueType)
CX_CLASS_INFO(TcxCurrencyValueType, TcxValueType)
CX_CLASS_INFO(TcxDateTimeValueType, TcxValueType)
CX_CLASS_INFO(TcxLargeIntValueType, TcxValueType)
CX_CLASS_INFO(TcxFMTBcdValueType, TcxValueType)
CX_CLASS_INFO(TcxSQLTimeStampValueType, TcxValueType)
CX_CLASS_INFO(TcxVariantValueType, TcxValueType)
CX_CLASS_INFO(TcxObjectValueType, TcxIntegerValueType)
CX_CLASS_INFO(TcxValueTypeClassList, TObject)
#undef CX_CLASS_INFO

namespace {

template <class T>
T Get(const void* buffer) {
  T value;
  std::memcpy(&value, buffer, sizeof value);
  return value;
}

template <class T>
void Put(void* buffer, const T& value) {
  std::memcpy(buffer, &value, sizeof value);
}

template <class T>
T* CellOf(const void* buffer) {
  return Get<T*>(buffer);
}

// The cell of a reference type, made at the first store.
template <class T>
T& MakeCell(void* buffer) {
  T* cell = CellOf<T>(buffer);
  if (!cell) {
    cell = new T();
    Put(buffer, cell);
  }
  return *cell;
}

template <class T>
void FreeCell(void* buffer) {
  delete CellOf<T>(buffer);
  Put<T*>(buffer, nullptr);
}

template <class T>
int Difference(const void* a, const void* b) {
  return static_cast<int>(Get<T>(a)) - static_cast<int>(Get<T>(b));
}

int Sign(int value) { return value < 0 ? -1 : value > 0 ? 1 : 0; }

}  // namespace

// -- TcxValueType -----------------------------------------------------------------------

void TcxValueType::ReleaseBuffer(void* buffer) const { (void)buffer; }
void TcxValueType::ReleaseTextBuffer(void* textBuffer) const { FreeCell<AnsiString>(textBuffer); }
Variant TcxValueType::LoadValue(const void* buffer) const {
  (void)buffer;
  return Variant();
}
void TcxValueType::StoreValue(void* buffer, const Variant& value) const {
  (void)buffer;
  (void)value;
}

AnsiString TcxValueType::ValueDisplayText(const void* buffer) const {
  try {
    return VarToStr(LoadValue(buffer));
  } catch (const EVariantError&) {
    return AnsiString();
  }
}

AnsiString TcxValueType::StoredText(const void* textBuffer) const {
  const AnsiString* cell = CellOf<AnsiString>(textBuffer);
  return cell ? *cell : AnsiString();
}

void TcxValueType::ReadValueFrom(TStream& stream, void* buffer) const { StoreValue(buffer, ReadVariant(stream)); }
void TcxValueType::ReadTextFrom(TStream& stream, void* textBuffer) const { StoreText(textBuffer, ReadAnsiText(stream)); }
void TcxValueType::StoreText(void* textBuffer, const AnsiString& text) const { MakeCell<AnsiString>(textBuffer) = text; }
void TcxValueType::WriteValueTo(TStream& stream, const void* buffer) const { WriteVariant(stream, LoadValue(buffer)); }
void TcxValueType::WriteTextTo(TStream& stream, const void* textBuffer) const {
  WriteAnsiText(stream, StoredText(textBuffer));
}

AnsiString TcxValueType::ShortTypeName() const {
  AnsiString name = ClassName();
  if (name.rfind("Tcx", 0) == 0) name.erase(0, 3);
  return StringReplaceAll(name, "ValueType", "");
}

int TcxValueType::CompareStored(const void* a, const void* b) const {
  return CompareVariants(LoadValue(a), LoadValue(b));
}

bool TcxValueType::AcceptsValue(Variant& value) const {
  if (value.IsNull() || TypeCode() == varVariant) return true;
  try {
    value = value.AsType(TypeCode());
    return true;
  } catch (const EVariantError&) {
    return false;
  } catch (const EConvertError&) {
    return false;
  }
}

// -- Strings ----------------------------------------------------------------------------

void TcxStringValueType::ReleaseBuffer(void* buffer) const { FreeCell<AnsiString>(buffer); }
const void* TcxStringValueType::PrepareBuffer(const void* buffer) const { return CellOf<AnsiString>(buffer); }
Variant TcxStringValueType::LoadValue(const void* buffer) const {
  const AnsiString* cell = CellOf<AnsiString>(buffer);
  return Variant(cell ? *cell : AnsiString());
}
void TcxStringValueType::StoreValue(void* buffer, const Variant& value) const {
  MakeCell<AnsiString>(buffer) = value.AsString();
}
void TcxStringValueType::ReadValueFrom(TStream& stream, void* buffer) const {
  MakeCell<AnsiString>(buffer) = ReadAnsiText(stream);
}
void TcxStringValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  const AnsiString* cell = CellOf<AnsiString>(buffer);
  WriteAnsiText(stream, cell ? *cell : AnsiString());
}
int TcxStringValueType::CompareStored(const void* a, const void* b) const {
  const AnsiString* x = CellOf<AnsiString>(a);
  const AnsiString* y = CellOf<AnsiString>(b);
  if (!x || !y) return (x ? 1 : 0) - (y ? 1 : 0);
  return Sign(AnsiCompareStr(*x, *y));
}

void TcxWideStringValueType::ReleaseBuffer(void* buffer) const { FreeCell<std::wstring>(buffer); }
const void* TcxWideStringValueType::PrepareBuffer(const void* buffer) const { return CellOf<std::wstring>(buffer); }
Variant TcxWideStringValueType::LoadValue(const void* buffer) const {
  const std::wstring* cell = CellOf<std::wstring>(buffer);
  return Variant(cell ? *cell : std::wstring());
}
void TcxWideStringValueType::StoreValue(void* buffer, const Variant& value) const {
  MakeCell<std::wstring>(buffer) = value.AsOleStr();
}
void TcxWideStringValueType::ReadValueFrom(TStream& stream, void* buffer) const {
  MakeCell<std::wstring>(buffer) = ReadWideText(stream);
}
void TcxWideStringValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  const std::wstring* cell = CellOf<std::wstring>(buffer);
  WriteWideText(stream, cell ? *cell : std::wstring());
}
int TcxWideStringValueType::CompareStored(const void* a, const void* b) const {
  const std::wstring* x = CellOf<std::wstring>(a);
  const std::wstring* y = CellOf<std::wstring>(b);
  if (!x || !y) return (x ? 1 : 0) - (y ? 1 : 0);
  return Sign(x->compare(*y));
}

// -- Fixed-size numbers -----------------------------------------------------------------

Variant TcxSmallintValueType::LoadValue(const void* buffer) const { return Variant(Get<int16_t>(buffer)); }
void TcxSmallintValueType::StoreValue(void* buffer, const Variant& value) const {
  Put(buffer, static_cast<int16_t>(value.AsType(varSmallint).AsInteger()));
}
void TcxSmallintValueType::ReadValueFrom(TStream& stream, void* buffer) const { Put(buffer, ReadSmallInt(stream)); }
void TcxSmallintValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  WriteSmallInt(stream, Get<int16_t>(buffer));
}
int TcxSmallintValueType::CompareStored(const void* a, const void* b) const { return Difference<int16_t>(a, b); }

Variant TcxIntegerValueType::LoadValue(const void* buffer) const { return Variant(Get<int32_t>(buffer)); }
void TcxIntegerValueType::StoreValue(void* buffer, const Variant& value) const { Put(buffer, value.AsInteger()); }
void TcxIntegerValueType::ReadValueFrom(TStream& stream, void* buffer) const { Put(buffer, ReadInteger(stream)); }
void TcxIntegerValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  WriteInteger(stream, Get<int32_t>(buffer));
}
int TcxIntegerValueType::CompareStored(const void* a, const void* b) const {
  // The difference, kept from overflowing: only its sign is read.
  const int64_t d = static_cast<int64_t>(Get<int32_t>(a)) - Get<int32_t>(b);
  return d < 0 ? -1 : d > 0 ? 1 : 0;
}

Variant TcxWordValueType::LoadValue(const void* buffer) const { return Variant(Get<uint16_t>(buffer)); }
void TcxWordValueType::StoreValue(void* buffer, const Variant& value) const {
  Put(buffer, static_cast<uint16_t>(value.AsType(varWord).AsInteger()));
}
void TcxWordValueType::ReadValueFrom(TStream& stream, void* buffer) const { Put(buffer, ReadWord(stream)); }
void TcxWordValueType::WriteValueTo(TStream& stream, const void* buffer) const { WriteWord(stream, Get<uint16_t>(buffer)); }
int TcxWordValueType::CompareStored(const void* a, const void* b) const { return Difference<uint16_t>(a, b); }

Variant TcxBooleanValueType::LoadValue(const void* buffer) const { return Variant(Get<uint8_t>(buffer) != 0); }
AnsiString TcxBooleanValueType::ValueDisplayText(const void* buffer) const {
  return Get<uint8_t>(buffer) != 0 ? "True" : "False";
}
void TcxBooleanValueType::StoreValue(void* buffer, const Variant& value) const {
  Put(buffer, static_cast<uint8_t>(value.AsBoolean() ? 1 : 0));
}
void TcxBooleanValueType::ReadValueFrom(TStream& stream, void* buffer) const {
  Put(buffer, static_cast<uint8_t>(ReadByte(stream) != 0 ? 1 : 0));
}
void TcxBooleanValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  WriteByte(stream, Get<uint8_t>(buffer));
}
int TcxBooleanValueType::CompareStored(const void* a, const void* b) const { return Difference<uint8_t>(a, b); }

Variant TcxFloatValueType::LoadValue(const void* buffer) const { return Variant(Get<double>(buffer)); }
void TcxFloatValueType::StoreValue(void* buffer, const Variant& value) const { Put(buffer, value.AsDouble()); }
void TcxFloatValueType::ReadValueFrom(TStream& stream, void* buffer) const { Put(buffer, ReadExtended(stream)); }
void TcxFloatValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  WriteExtended(stream, Get<double>(buffer));
}
int TcxFloatValueType::CompareStored(const void* a, const void* b) const {
  const double x = Get<double>(a), y = Get<double>(b);
  return x == y ? 0 : x > y ? 1 : -1;
}

Variant TcxCurrencyValueType::LoadValue(const void* buffer) const {
  return Variant(Currency::FromRaw(Get<int64_t>(buffer)));
}
void TcxCurrencyValueType::StoreValue(void* buffer, const Variant& value) const { Put(buffer, value.AsCurrency().Raw); }
void TcxCurrencyValueType::ReadValueFrom(TStream& stream, void* buffer) const { Put(buffer, ReadRaw8(stream)); }
void TcxCurrencyValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  WriteRaw8(stream, Get<int64_t>(buffer));
}
int TcxCurrencyValueType::CompareStored(const void* a, const void* b) const {
  const int64_t x = Get<int64_t>(a), y = Get<int64_t>(b);
  return x == y ? 0 : x < y ? -1 : 1;
}

Variant TcxDateTimeValueType::LoadValue(const void* buffer) const { return Variant::FromDate(Get<double>(buffer)); }
AnsiString TcxDateTimeValueType::ValueDisplayText(const void* buffer) const {
  try {
    return LoadValue(buffer).AsString();
  } catch (const Exception&) {
    return DateTimeToStr(Get<double>(buffer));
  }
}
void TcxDateTimeValueType::StoreValue(void* buffer, const Variant& value) const { Put(buffer, value.AsDate()); }
void TcxDateTimeValueType::ReadValueFrom(TStream& stream, void* buffer) const { Put(buffer, ReadDouble(stream)); }
void TcxDateTimeValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  WriteDouble(stream, Get<double>(buffer));
}
int TcxDateTimeValueType::CompareStored(const void* a, const void* b) const {
  return cxValueType<TcxFloatValueType>()->CompareStored(a, b);
}

Variant TcxLargeIntValueType::LoadValue(const void* buffer) const { return Variant(Get<int64_t>(buffer)); }
void TcxLargeIntValueType::StoreValue(void* buffer, const Variant& value) const { Put(buffer, value.AsInt64()); }
void TcxLargeIntValueType::ReadValueFrom(TStream& stream, void* buffer) const { Put(buffer, ReadInt64(stream)); }
void TcxLargeIntValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  WriteInt64(stream, Get<int64_t>(buffer));
}
int TcxLargeIntValueType::CompareStored(const void* a, const void* b) const {
  // High halves signed, then low halves unsigned: the 64-bit order.
  const int64_t x = Get<int64_t>(a), y = Get<int64_t>(b);
  return x == y ? 0 : x < y ? -1 : 1;
}

Variant TcxFMTBcdValueType::LoadValue(const void* buffer) const { return Variant(Get<TBcd>(buffer)); }
AnsiString TcxFMTBcdValueType::ValueDisplayText(const void* buffer) const { return BcdToStr(Get<TBcd>(buffer)); }
void TcxFMTBcdValueType::StoreValue(void* buffer, const Variant& value) const { Put(buffer, value.AsBcd()); }
int TcxFMTBcdValueType::CompareStored(const void* a, const void* b) const {
  return Sign(BcdCompare(Get<TBcd>(a), Get<TBcd>(b)));
}

Variant TcxSQLTimeStampValueType::LoadValue(const void* buffer) const { return Variant(Get<TSQLTimeStamp>(buffer)); }
void TcxSQLTimeStampValueType::StoreValue(void* buffer, const Variant& value) const {
  Put(buffer, value.AsSQLTimeStamp());
}
int TcxSQLTimeStampValueType::CompareStored(const void* a, const void* b) const {
  const TSQLTimeStamp x = Get<TSQLTimeStamp>(a), y = Get<TSQLTimeStamp>(b);
  const int fx[] = {x.Year, x.Month, x.Day, x.Hour, x.Minute, x.Second};
  const int fy[] = {y.Year, y.Month, y.Day, y.Hour, y.Minute, y.Second};
  for (size_t i = 0; i < std::size(fx); ++i)
    if (fx[i] != fy[i]) return fx[i] < fy[i] ? -1 : 1;
  return x.Fractions == y.Fractions ? 0 : x.Fractions < y.Fractions ? -1 : 1;
}

void TcxVariantValueType::ReleaseBuffer(void* buffer) const { FreeCell<Variant>(buffer); }
const void* TcxVariantValueType::PrepareBuffer(const void* buffer) const { return CellOf<Variant>(buffer); }
Variant TcxVariantValueType::LoadValue(const void* buffer) const {
  const Variant* cell = CellOf<Variant>(buffer);
  return cell ? *cell : Variant();
}
void TcxVariantValueType::StoreValue(void* buffer, const Variant& value) const { MakeCell<Variant>(buffer) = value; }
void TcxVariantValueType::ReadValueFrom(TStream& stream, void* buffer) const {
  MakeCell<Variant>(buffer) = ReadVariant(stream);
}
int TcxVariantValueType::CompareStored(const void* a, const void* b) const {
  const Variant* x = CellOf<Variant>(a);
  const Variant* y = CellOf<Variant>(b);
  if (!x || !y) return (x ? 1 : 0) - (y ? 1 : 0);
  return CompareVariants(*x, *y);
}

void TcxObjectValueType::ReleaseBuffer(void* buffer) const {
  TObject* object = Get<TObject*>(buffer);
  Put<TObject*>(buffer, nullptr);
  Free(object);
}
Variant TcxObjectValueType::LoadValue(const void* buffer) const {
  const intptr_t address = Get<intptr_t>(buffer);
  if constexpr (sizeof(void*) == 4) return Variant(static_cast<int32_t>(address));
  else return Variant(static_cast<int64_t>(address));
}
void TcxObjectValueType::StoreValue(void* buffer, const Variant& value) const {
  Put(buffer, static_cast<intptr_t>(value.AsInt64()));
}
void TcxObjectValueType::ReadValueFrom(TStream& stream, void* buffer) const {
  (void)stream;
  (void)buffer;
}
void TcxObjectValueType::WriteValueTo(TStream& stream, const void* buffer) const {
  (void)stream;
  (void)buffer;
}
int TcxObjectValueType::CompareStored(const void* a, const void* b) const {
  const intptr_t x = Get<intptr_t>(a), y = Get<intptr_t>(b);
  return x == y ? 0 : x < y ? -1 : 1;
}

// -- The registry -----------------------------------------------------------------------

TcxValueTypeClass TcxValueTypeClassList::ItemByShortName(const AnsiString& name) const {
  for (TcxValueTypeClass type : FItems)
    if (SameText(type->ShortTypeName(), name)) return type;
  return nullptr;
}

void TcxValueTypeClassList::Register(TcxValueTypeClass type) {
  if (type && std::find(FItems.begin(), FItems.end(), type) == FItems.end()) FItems.push_back(type);
}

void TcxValueTypeClassList::Unregister(TcxValueTypeClass type) {
  FItems.erase(std::remove(FItems.begin(), FItems.end(), type), FItems.end());
}

namespace {

std::unique_ptr<TcxValueTypeClassList>& ListHolder() {
  static std::unique_ptr<TcxValueTypeClassList> list;
  return list;
}

TcxValueTypeClass UnitTypes[14];

}  // namespace

TcxValueTypeClassList& ValueTypeClasses() {
  auto& list = ListHolder();
  if (!list) list = std::make_unique<TcxValueTypeClassList>();
  return *list;
}

void cxDataStorageInit() {
  const TcxValueTypeClass types[] = {
      cxValueType<TcxStringValueType>(),   cxValueType<TcxWideStringValueType>(), cxValueType<TcxSmallintValueType>(),
      cxValueType<TcxIntegerValueType>(),  cxValueType<TcxWordValueType>(),       cxValueType<TcxBooleanValueType>(),
      cxValueType<TcxFloatValueType>(),    cxValueType<TcxCurrencyValueType>(),   cxValueType<TcxDateTimeValueType>(),
      cxValueType<TcxLargeIntValueType>(), cxValueType<TcxFMTBcdValueType>(),     cxValueType<TcxSQLTimeStampValueType>(),
      cxValueType<TcxVariantValueType>(),  cxValueType<TcxObjectValueType>()};
  std::copy(std::begin(types), std::end(types), UnitTypes);
  for (TcxValueTypeClass type : types) ValueTypeClasses().Register(type);
}

void cxDataStorageDone() {
  for (TcxValueTypeClass type : UnitTypes)
    if (ListHolder()) ListHolder()->Unregister(type);
  ListHolder().reset();
}
