// Variant helpers, the tagged stream form and the value types. Portable: runs
// natively too (tests/native/editors/framework).
#include "editors/framework/DataStorage.h"
#include "editors/framework/Variants.h"

#include "platform/FormatSettings.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

AnsiString Written(const Variant& v) {
  TMemoryStream stream;
  WriteVariant(stream, v);
  AnsiString bytes(static_cast<size_t>(stream.Size()), '\0');
  stream.SetPosition(0);
  if (!bytes.empty()) stream.ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  return bytes;
}

Variant Bcd(const char* text) { return Variant(StrToBcd(text, InvariantFormatSettings())); }

Variant ReadBack(const AnsiString& bytes) {
  TStringStream stream(bytes);
  return ReadVariant(stream);
}

AnsiString Bytes(std::initializer_list<int> values) {
  AnsiString text;
  for (int v : values) text += static_cast<char>(v);
  return text;
}

}  // namespace

TEST(Variants, OrderPutsEmptyThenNullThenValues) {
  const Variant empty, null = Variant::Null();
  const struct {
    const char* Name;
    Variant A, B;
    int Result;
  } cases[] = {
      {"Empty = Empty", empty, empty, 0},
      {"Empty < Null", empty, null, -1},
      {"Null > Empty", null, empty, 1},
      {"Null = Null", null, null, 0},
      {"Empty < value", empty, Variant(0), -1},
      {"Null < value", null, Variant(-5), -1},
      {"value > Null", Variant("a"), null, 1},
      {"numbers by value", Variant(5), Variant(5.0), 0},
      {"smaller", Variant(2), Variant(int64_t{3}), -1},
      {"texts", Variant("b"), Variant("a"), 1},
      {"incomparable gives -1", Variant("x"), Variant(5), -1},
      {"arrays: high bounds", VarArrayOf({1, 2, 3}), VarArrayOf({1}), 2},
      {"arrays: elements", VarArrayOf({1, 2}), VarArrayOf({1, 3}), -1},
      {"arrays equal", VarArrayOf({1, "a"}), VarArrayOf({1, "a"}), 0},
      {"array above a value", VarArrayOf({1}), Variant(1), 1},
      {"value below an array", Variant(1), VarArrayOf({1}), -1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(CompareVariants(c.A, c.B), c.Result);
    EXPECT_EQ(VariantsCompareEqual(c.A, c.B), c.Result == 0);
  }
}

TEST(Variants, EqualityOfEditValues) {
  const struct {
    const char* Name;
    Variant A, B;
    bool Equal, EditEqual, Identical;
  } cases[] = {
      {"Null and Empty differ", Variant::Null(), Variant(), false, false, false},
      {"True equals \"True\"", Variant(true), Variant("True"), true, false, false},
      {"False against \"True\"", Variant(false), Variant("True"), false, false, false},
      {"Boolean against a number as texts", Variant(true), Variant(-1), false, false, false},
      {"5 and 5.0", Variant(5), Variant(5.0), true, true, false},
      {"5 and 5", Variant(5), Variant(5), true, true, true},
      {"\"5\" and 5", Variant("5"), Variant(5), true, false, false},
      {"currency and integer", Variant(Currency::FromInt(2)), Variant(int16_t{2}), true, true, false},
      {"BCD and double", Bcd("1.5"), Variant(1.5), true, true, false},
      {"Null and Null", Variant::Null(), Variant::Null(), true, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(VariantsEqual(c.A, c.B), c.Equal);
    EXPECT_EQ(EditValuesEqual(c.A, c.B), c.EditEqual);
    EXPECT_EQ(VariantsIdentical(c.A, c.B), c.Identical);
  }
}

TEST(Variants, Classification) {
  TSQLTimeStamp stamp;
  stamp.Year = 2020;
  stamp.Month = 1;
  stamp.Day = 2;
  EXPECT_TRUE(IsDateVariant(Variant::FromDate(1)));
  EXPECT_TRUE(IsDateVariant(Variant(stamp)));
  EXPECT_FALSE(IsDateVariant(Variant(1.0)));
  EXPECT_TRUE(IsDateVarType(varDate));
  EXPECT_FALSE(IsDateVarType(varDouble));
  EXPECT_TRUE(IsNumberVariant(Variant(uint8_t{1})));
  EXPECT_TRUE(IsNumberVariant(Bcd("1")));
  EXPECT_TRUE(IsNumberVariant(Variant(Currency{})));
  EXPECT_FALSE(IsNumberVariant(Variant(true)));
  EXPECT_FALSE(IsNumberVariant(Variant("1")));
  EXPECT_TRUE(IsNullOrEmptyText(Variant::Null()));
  EXPECT_TRUE(IsNullOrEmptyText(Variant("")));
  EXPECT_TRUE(IsNullOrEmptyText(Variant(std::wstring())));
  EXPECT_FALSE(IsNullOrEmptyText(Variant()));
  EXPECT_FALSE(IsNullOrEmptyText(Variant(" ")));
}

TEST(VariantStream, TagsAndPayloads) {
  const struct {
    const char* Name;
    Variant Value;
    AnsiString Bytes;
  } cases[] = {
      {"Null", Variant::Null(), Bytes({0})},
      {"Empty", Variant(), Bytes({13})},
      {"100", Variant(100), Bytes({2, 100})},
      {"-128", Variant(-128), Bytes({2, 0x80})},
      {"1000", Variant(1000), Bytes({3, 0xE8, 0x03})},
      {"100000", Variant(100000), Bytes({4, 0xA0, 0x86, 0x01, 0x00})},
      {"2^40", Variant(int64_t{1} << 40), Bytes({19, 0, 0, 0, 0, 0, 1, 0, 0})},
      {"a byte", Variant(uint8_t{200}), Bytes({3, 200, 0})},
      {"True", Variant(true), Bytes({9})},
      {"False", Variant(false), Bytes({8})},
      {"1.0", Variant(1.0), Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F})},
      {"-2.0", Variant(-2.0), Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x00, 0xC0})},
      {"currency 1", Variant(Currency::FromInt(1)), Bytes({16, 0x10, 0x27, 0, 0, 0, 0, 0, 0})},
      {"single 1", Variant(1.0f), Bytes({15, 0, 0, 0x80, 0x3F})},
      {"wide", Variant(L"ab"), Bytes({18, 2, 0, 0, 0, 'a', 0, 'b', 0})},
      {"text", Variant("ab"), Bytes({6, 2, 'a', 'b'})},
      {"array", VarArrayOf({1, Variant::Null()}), Bytes({1, 2, 2, 2, 1, 0})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(Written(c.Value), c.Bytes);
    const Variant back = ReadBack(c.Bytes);
    EXPECT_TRUE(VariantsEqual(back, c.Value));
  }
  // 255 bytes take a 1-byte length, 256 a 4-byte one.
  EXPECT_EQ(Written(Variant(AnsiString(255, 'x')))[0], 6);
  EXPECT_EQ(Written(Variant(AnsiString(255, 'x'))).size(), 257u);
  EXPECT_EQ(Written(Variant(AnsiString(256, 'x')))[0], 12);
  EXPECT_EQ(Written(Variant(AnsiString(256, 'x'))).size(), 261u);
  EXPECT_EQ(ReadBack(Written(Variant(AnsiString(256, 'x')))).AsString(), AnsiString(256, 'x'));
  // Read back as their own types.
  EXPECT_EQ(ReadBack(Bytes({2, 5})).VarType(), varShortInt);
  EXPECT_EQ(ReadBack(Bytes({17, 0, 0, 0, 0, 0, 0, 0xF0, 0x3F})).VarType(), varDate);
  EXPECT_EQ(ReadBack(Bytes({1, 2, 0})).VarType(), varArray | varVariant);
}

TEST(VariantStream, DoublesRoundTrip) {
  const double values[] = {0.0, -0.0, 1.0, 0.1, -123456.789, 1e300, -1e-300, 4.9e-324,
                           std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                           std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity()};
  for (double value : values) {
    SCOPED_TRACE(value);
    const Variant back = ReadBack(Written(Variant(value)));
    EXPECT_EQ(back.VarType(), varDouble);
    EXPECT_EQ(back.AsDouble(), value);
    EXPECT_EQ(std::signbit(back.AsDouble()), std::signbit(value));
  }
  EXPECT_TRUE(std::isnan(ReadBack(Written(Variant(std::nan("")))).AsDouble()));
  // A date that is no valid date writes back as it was read.
  const AnsiString nanDate = Bytes({17, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
  EXPECT_EQ(Written(ReadBack(nanDate)), nanDate);
  // An extended beyond the double range reads as infinity, a tiny one as 0.
  EXPECT_TRUE(std::isinf(ReadBack(Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFE, 0x7F})).AsDouble()));
  EXPECT_EQ(ReadBack(Bytes({5, 0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00})).AsDouble(), 0.0);
}

TEST(VariantStream, BadInputRaisesTheReadError) {
  const struct {
    const char* Name;
    AnsiString Bytes;
  } cases[] = {
      {"nothing", AnsiString()},
      {"tag 7", Bytes({7})},
      {"tag 10", Bytes({10})},
      {"tag 11", Bytes({11})},
      {"tag 14", Bytes({14})},
      {"tag 20", Bytes({20})},
      {"tag 255", Bytes({255})},
      {"short integer", Bytes({4, 1, 2})},
      {"short text", Bytes({6, 5, 'a', 'b'})},
      {"long text beyond the stream", Bytes({12, 0xFF, 0xFF, 0xFF, 0x7F, 'a'})},
      {"negative length", Bytes({12, 0xFF, 0xFF, 0xFF, 0xFF})},
      {"negative wide length", Bytes({18, 0xFE, 0xFF, 0xFF, 0xFF})},
      {"wide text beyond the stream", Bytes({18, 2, 0, 0, 0, 'a', 0})},
      {"count 2^40", Bytes({1, 19, 0, 0, 0, 0, 0, 1, 0, 0, 13})},
      {"negative count", Bytes({1, 2, 0xFF})},
      {"count beyond the elements", Bytes({1, 2, 3, 13, 13})},
      {"short extended", Bytes({5, 0, 0, 0})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      ReadBack(c.Bytes);
      ADD_FAILURE() << "no exception";
    } catch (const EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
  }
  // Arrays nested beyond the limit.
  AnsiString deep;
  for (int i = 0; i <= cxMaxStreamedVariantDepth; ++i) deep += Bytes({1, 2, 1});
  deep += Bytes({13});
  EXPECT_THROW(ReadBack(deep), EReadError);
  AnsiString allowed;
  for (int i = 0; i < cxMaxStreamedVariantDepth; ++i) allowed += Bytes({1, 2, 1});
  allowed += Bytes({13});
  EXPECT_NO_THROW(ReadBack(allowed));
}

TEST(VariantStream, TextsAndFixedValues) {
  TMemoryStream stream;
  WriteAnsiText(stream, "abc");
  WriteWideText(stream, L"xy");
  WriteSmallInt(stream, -2);
  WriteExtended(stream, 2.5);
  stream.SetPosition(0);
  EXPECT_EQ(ReadAnsiText(stream), "abc");
  EXPECT_EQ(ReadWideText(stream), L"xy");
  EXPECT_EQ(ReadSmallInt(stream), -2);
  EXPECT_EQ(ReadExtended(stream), 2.5);
  EXPECT_THROW(ReadByte(stream), EReadError);
}

// -- Value types -------------------------------------------------------------------------

namespace {

struct Buffer {
  explicit Buffer(TcxValueTypeClass type) : Type(type), Data(static_cast<size_t>(type->BufferSize()) + 1, 0) {}
  ~Buffer() {
    Type->ReleaseBuffer(Data.data());
    Type->ReleaseTextBuffer(Text);
  }
  TcxValueTypeClass Type;
  std::vector<uint8_t> Data;
  alignas(void*) uint8_t Text[sizeof(void*)] = {};
};

}  // namespace

TEST(ValueTypes, TheRegistryHoldsTheFourteenInOrder) {
  cxDataStorageInit();
  const char* names[] = {"String",   "WideString", "Smallint", "Integer",      "Word",    "Boolean", "Float",
                         "Currency", "DateTime",   "LargeInt", "FMTBcd",       "SQLTimeStamp", "Variant", "Object"};
  ASSERT_EQ(ValueTypeClasses().Count(), 14);
  for (int i = 0; i < 14; ++i) EXPECT_EQ(ValueTypeClasses().Items(i)->ShortTypeName(), names[i]);
  ValueTypeClasses().Register(cxValueType<TcxIntegerValueType>());
  EXPECT_EQ(ValueTypeClasses().Count(), 14) << "registered once";
  EXPECT_EQ(ValueTypeClasses().ItemByShortName("integer"), cxValueType<TcxIntegerValueType>());
  ValueTypeClasses().Unregister(cxValueType<TcxIntegerValueType>());
  EXPECT_EQ(ValueTypeClasses().Count(), 13);
  cxDataStorageDone();
  EXPECT_EQ(ValueTypeClasses().Count(), 0);
  cxDataStorageDone();
}

TEST(ValueTypes, SizesCodesAndStringKinds) {
  const struct {
    TcxValueTypeClass Type;
    int Size;
    TVarType Code;
    bool IsString;
  } cases[] = {
      {cxValueType<TcxStringValueType>(), int(sizeof(void*)), varString, true},
      {cxValueType<TcxWideStringValueType>(), int(sizeof(void*)), varOleStr, true},
      {cxValueType<TcxSmallintValueType>(), 2, varSmallint, false},
      {cxValueType<TcxIntegerValueType>(), 4, varInteger, false},
      {cxValueType<TcxWordValueType>(), 2, varWord, false},
      {cxValueType<TcxBooleanValueType>(), 1, varBoolean, false},
      {cxValueType<TcxFloatValueType>(), 8, varDouble, false},
      {cxValueType<TcxCurrencyValueType>(), 8, varCurrency, false},
      {cxValueType<TcxDateTimeValueType>(), 8, varDate, false},
      {cxValueType<TcxLargeIntValueType>(), 8, varInt64, false},
      {cxValueType<TcxFMTBcdValueType>(), 34, varFMTBcd, false},
      {cxValueType<TcxSQLTimeStampValueType>(), 16, varSQLTimeStamp, false},
      {cxValueType<TcxVariantValueType>(), int(sizeof(void*)), varVariant, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Type->ShortTypeName());
    EXPECT_EQ(c.Type->BufferSize(), c.Size);
    EXPECT_EQ(c.Type->TypeCode(), c.Code);
    EXPECT_EQ(c.Type->IsStringType(), c.IsString);
  }
}

TEST(ValueTypes, StoreCompareShowAndStream) {
  TSQLTimeStamp early, late;
  early.Year = late.Year = 2021;
  early.Month = late.Month = 3;
  early.Day = late.Day = 4;
  early.Second = 1;
  late.Minute = 1;
  const struct {
    TcxValueTypeClass Type;
    Variant Small, Large;
    const char* SmallText;
  } cases[] = {
      {cxValueType<TcxStringValueType>(), Variant("abc"), Variant("abd"), "abc"},
      {cxValueType<TcxWideStringValueType>(), Variant(L"a"), Variant(L"b"), "a"},
      {cxValueType<TcxSmallintValueType>(), Variant(-3), Variant(7), "-3"},
      {cxValueType<TcxIntegerValueType>(), Variant(INT32_MIN), Variant(INT32_MAX), "-2147483648"},
      {cxValueType<TcxWordValueType>(), Variant(1), Variant(65535), "1"},
      {cxValueType<TcxBooleanValueType>(), Variant(false), Variant(true), "False"},
      {cxValueType<TcxFloatValueType>(), Variant(-0.5), Variant(0.25), "-0.5"},
      {cxValueType<TcxCurrencyValueType>(), Variant(Currency::FromInt(-1)), Variant(Currency::FromInt(1)), "-1"},
      {cxValueType<TcxLargeIntValueType>(), Variant(int64_t{-1}), Variant(int64_t{1} << 33), "-1"},
      {cxValueType<TcxFMTBcdValueType>(), Bcd("-1.5"), Bcd("2"), "-1.5"},
      {cxValueType<TcxSQLTimeStampValueType>(), Variant(early), Variant(late), nullptr},
      {cxValueType<TcxVariantValueType>(), Variant::Null(), Variant("x"), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Type->ShortTypeName());
    Buffer a(c.Type), b(c.Type);
    c.Type->StoreValue(a.Data.data(), c.Small);
    c.Type->StoreValue(b.Data.data(), c.Large);
    EXPECT_TRUE(VariantsEqual(c.Type->LoadValue(a.Data.data()), c.Small));
    EXPECT_LT(c.Type->CompareStored(a.Data.data(), b.Data.data()), 0);
    EXPECT_GT(c.Type->CompareStored(b.Data.data(), a.Data.data()), 0);
    EXPECT_EQ(c.Type->CompareStored(a.Data.data(), a.Data.data()), 0);
    if (c.SmallText) {
      EXPECT_EQ(c.Type->ValueDisplayText(a.Data.data()), c.SmallText);
    }
    // Stream out and into a fresh buffer.
    TMemoryStream stream;
    c.Type->WriteValueTo(stream, b.Data.data());
    stream.SetPosition(0);
    Buffer copy(c.Type);
    c.Type->ReadValueFrom(stream, copy.Data.data());
    EXPECT_EQ(c.Type->CompareStored(copy.Data.data(), b.Data.data()), 0);
    EXPECT_EQ(stream.Position(), stream.Size());
    // Texts are kept beside the values.
    c.Type->StoreText(a.Text, "shown");
    EXPECT_EQ(c.Type->StoredText(a.Text), "shown");
  }
}

TEST(ValueTypes, ReferenceTypesPutNothingFirst) {
  for (TcxValueTypeClass type : {static_cast<TcxValueTypeClass>(cxValueType<TcxStringValueType>()),
                                 static_cast<TcxValueTypeClass>(cxValueType<TcxVariantValueType>())}) {
    Buffer none(type), some(type);
    type->StoreValue(some.Data.data(), Variant(""));
    EXPECT_EQ(type->PrepareBuffer(none.Data.data()), nullptr);
    EXPECT_NE(type->PrepareBuffer(some.Data.data()), nullptr);
    EXPECT_EQ(type->CompareStored(none.Data.data(), some.Data.data()), -1);
    EXPECT_EQ(type->CompareStored(none.Data.data(), none.Data.data()), 0);
  }
}

TEST(ValueTypes, AcceptsValueCastsInPlace) {
  const struct {
    TcxValueTypeClass Type;
    Variant Value;
    bool Accepted;
    TVarType After;
  } cases[] = {
      {cxValueType<TcxIntegerValueType>(), Variant("12"), true, varInteger},
      {cxValueType<TcxIntegerValueType>(), Variant("abc"), false, varString},
      {cxValueType<TcxIntegerValueType>(), Variant::Null(), true, varNull},
      {cxValueType<TcxSmallintValueType>(), Variant(100000), false, varInteger},
      {cxValueType<TcxVariantValueType>(), Variant("x"), true, varString},
      {cxValueType<TcxBooleanValueType>(), Variant("True"), true, varBoolean},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Type->ShortTypeName());
    Variant value = c.Value;
    EXPECT_EQ(c.Type->AcceptsValue(value), c.Accepted);
    EXPECT_EQ(value.VarType(), c.After);
  }
}

TEST(ValueTypes, TheObjectTypeFreesItsObjectAndStreamsNothing) {
  TcxValueTypeClass type = cxValueType<TcxObjectValueType>();
  Buffer buffer(type);
  bool freed = false;
  struct Watched : TObject {
    explicit Watched(bool& flag) : Flag(flag) {}
    ~Watched() override { Flag = true; }
    bool& Flag;
  };
  auto* object = New<Watched>(freed);
  type->StoreValue(buffer.Data.data(), Variant(static_cast<int64_t>(reinterpret_cast<intptr_t>(object))));
  TMemoryStream stream;
  type->WriteValueTo(stream, buffer.Data.data());
  EXPECT_EQ(stream.Size(), 0);
  type->ReleaseBuffer(buffer.Data.data());
  EXPECT_TRUE(freed);
  EXPECT_EQ(type->LoadValue(buffer.Data.data()).AsInt64(), 0);
}
