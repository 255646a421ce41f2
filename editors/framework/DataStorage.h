// Value types: how a value of one type is held in a raw buffer, compared,
// shown and streamed, and the registry that holds them. Portable.
//
// A value type is used as a class, never as an object of its own: each type
// has one shared instance (cxValueType<T>()) whose virtual operations act on
// buffers the caller provides. `TcxValueTypeClass` is that instance's address
// and plays the part of the class reference. A value buffer has BufferSize()
// bytes; the string, wide-string and variant types hold a pointer to a cell
// they allocate at the first StoreValue and free in ReleaseBuffer; a text
// buffer (StoreText, ReadTextFrom) is one pointer to a text cell, freed by
// ReleaseTextBuffer. Buffers start zeroed.
#pragma once

#include "platform/Bcd.h"
#include "platform/Object.h"
#include "platform/Stream.h"
#include "platform/Variant.h"

#include <vector>

class TcxValueType : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // The order of two value buffers (CompareStored by default).
  virtual int CompareBuffers(const void* a, const void* b) const { return CompareStored(a, b); }
  virtual void ReleaseBuffer(void* buffer) const;
  virtual void ReleaseTextBuffer(void* textBuffer) const;
  virtual int BufferSize() const { return 0; }
  virtual Variant LoadValue(const void* buffer) const;
  virtual AnsiString ValueDisplayText(const void* buffer) const;
  virtual AnsiString StoredText(const void* textBuffer) const;
  virtual void ReadValueFrom(TStream& stream, void* buffer) const;
  virtual void ReadTextFrom(TStream& stream, void* textBuffer) const;
  virtual void StoreValue(void* buffer, const Variant& value) const;
  virtual void StoreText(void* textBuffer, const AnsiString& text) const;
  virtual void WriteValueTo(TStream& stream, const void* buffer) const;
  virtual void WriteTextTo(TStream& stream, const void* textBuffer) const;
  // The class name without a leading "Tcx" and without "ValueType".
  virtual AnsiString ShortTypeName() const;
  virtual int CompareStored(const void* a, const void* b) const;
  virtual TVarType TypeCode() const { return varVariant; }
  // Null and any value for the variant type; else whether the value casts to
  // TypeCode (it is cast in place).
  virtual bool AcceptsValue(Variant& value) const;
  virtual bool IsStringType() const { return false; }
  // Where the value's data lies: the cell of a reference type, else the buffer.
  virtual const void* PrepareBuffer(const void* buffer) const { return buffer; }

protected:
  TcxValueType() = default;
  template <class T>
  friend const T* cxValueType();
};

using TcxValueTypeClass = const TcxValueType*;

// The one instance of a value type.
template <class T>
const T* cxValueType() {
  static const T instance;
  return &instance;
}

#define CX_VALUE_TYPE(name, base)                                 \
  class name : public base {                                      \
  public:                                                         \
    static const TClassInfo ClassInfo;                            \
    TClass ClassType() const override { return &ClassInfo; }      \
                                                                  \
  protected:                                                      \
    name() = default;                                             \
    template <class T>                                            \
    friend const T* cxValueType();                                \
                                                                  \
  public:
// The operations every fixed-size type defines.
#define CX_FIXED_VALUE_OPERATIONS(size, code)                             \
  int BufferSize() const override { return size; }                       \
  Variant LoadValue(const void* buffer) const override;                  \
  void ReadValueFrom(TStream& stream, void* buffer) const override;      \
  void StoreValue(void* buffer, const Variant& value) const override;    \
  void WriteValueTo(TStream& stream, const void* buffer) const override; \
  int CompareStored(const void* a, const void* b) const override;        \
  TVarType TypeCode() const override { return code; }
// Strings: a reference to a text cell; nil lowest, then byte order.
CX_VALUE_TYPE(TcxStringValueType, TcxValueType)
  void ReleaseBuffer(void* buffer) const override;
  int BufferSize() const override { return sizeof(void*); }
  Variant LoadValue(const void* buffer) const override;
  void ReadValueFrom(TStream& stream, void* buffer) const override;
  void StoreValue(void* buffer, const Variant& value) const override;
  void WriteValueTo(TStream& stream, const void* buffer) const override;
  int CompareStored(const void* a, const void* b) const override;
  TVarType TypeCode() const override { return varString; }
  bool IsStringType() const override { return true; }
  const void* PrepareBuffer(const void* buffer) const override;
};
CX_VALUE_TYPE(TcxWideStringValueType, TcxStringValueType)
  void ReleaseBuffer(void* buffer) const override;
  Variant LoadValue(const void* buffer) const override;
  void ReadValueFrom(TStream& stream, void* buffer) const override;
  void StoreValue(void* buffer, const Variant& value) const override;
  void WriteValueTo(TStream& stream, const void* buffer) const override;
  int CompareStored(const void* a, const void* b) const override;
  TVarType TypeCode() const override { return varOleStr; }
  const void* PrepareBuffer(const void* buffer) const override;
};
// Fixed-size values: compared by difference, streamed as their bytes.
CX_VALUE_TYPE(TcxSmallintValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(2, varSmallint)
};
CX_VALUE_TYPE(TcxIntegerValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(4, varInteger)
};
CX_VALUE_TYPE(TcxWordValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(2, varWord)
};
// "True" or "False".
CX_VALUE_TYPE(TcxBooleanValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(1, varBoolean)
  AnsiString ValueDisplayText(const void* buffer) const override;
};
// A double, streamed as a 10-byte extended.
CX_VALUE_TYPE(TcxFloatValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(8, varDouble)
};
CX_VALUE_TYPE(TcxCurrencyValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(8, varCurrency)
};
// A date compared as a float, shown as the variant's text or DateTimeToStr.
CX_VALUE_TYPE(TcxDateTimeValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(8, varDate)
  AnsiString ValueDisplayText(const void* buffer) const override;
};
CX_VALUE_TYPE(TcxLargeIntValueType, TcxValueType)
  CX_FIXED_VALUE_OPERATIONS(8, varInt64)
};
// The BCD record; streamed as a tagged variant (its text).
CX_VALUE_TYPE(TcxFMTBcdValueType, TcxValueType)
  int BufferSize() const override { return sizeof(TBcd); }
  Variant LoadValue(const void* buffer) const override;
  AnsiString ValueDisplayText(const void* buffer) const override;
  void StoreValue(void* buffer, const Variant& value) const override;
  int CompareStored(const void* a, const void* b) const override;
  TVarType TypeCode() const override { return varFMTBcd; }
};
// The 16-byte stamp; streamed as a tagged variant (a date).
CX_VALUE_TYPE(TcxSQLTimeStampValueType, TcxValueType)
  int BufferSize() const override { return sizeof(TSQLTimeStamp); }
  Variant LoadValue(const void* buffer) const override;
  void StoreValue(void* buffer, const Variant& value) const override;
  int CompareStored(const void* a, const void* b) const override;
  TVarType TypeCode() const override { return varSQLTimeStamp; }
};
// A reference to a variant cell; nil lowest, then CompareVariants.
CX_VALUE_TYPE(TcxVariantValueType, TcxValueType)
  void ReleaseBuffer(void* buffer) const override;
  int BufferSize() const override { return sizeof(void*); }
  Variant LoadValue(const void* buffer) const override;
  void ReadValueFrom(TStream& stream, void* buffer) const override;
  void StoreValue(void* buffer, const Variant& value) const override;
  int CompareStored(const void* a, const void* b) const override;
  const void* PrepareBuffer(const void* buffer) const override;
};
// An owned object, held as a pointer-sized integer (the integer type's
// comparison); freed by ReleaseBuffer; never streamed.
CX_VALUE_TYPE(TcxObjectValueType, TcxIntegerValueType)
  void ReleaseBuffer(void* buffer) const override;
  int BufferSize() const override { return sizeof(void*); }
  Variant LoadValue(const void* buffer) const override;
  void ReadValueFrom(TStream& stream, void* buffer) const override;
  void StoreValue(void* buffer, const Variant& value) const override;
  void WriteValueTo(TStream& stream, const void* buffer) const override;
  int CompareStored(const void* a, const void* b) const override;
  TVarType TypeCode() const override { return sizeof(void*) == 4 ? varInteger : varInt64; }
};
#undef CX_VALUE_TYPE
#undef CX_FIXED_VALUE_OPERATIONS

// A list of value types, each at most once.
class TcxValueTypeClassList : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  int Count() const { return static_cast<int>(FItems.size()); }
  TcxValueTypeClass Items(int index) const { return FItems.at(static_cast<size_t>(index)); }
  // Null when none has this short name (case-insensitive).
  TcxValueTypeClass ItemByShortName(const AnsiString& name) const;
  void Register(TcxValueTypeClass type);
  void Unregister(TcxValueTypeClass type);

private:
  std::vector<TcxValueTypeClass> FItems;
};

// The program's list, made at first use.
TcxValueTypeClassList& ValueTypeClasses();

// Unit start: registers the fourteen types (string, wide string, smallint,
// integer, word, Boolean, float, currency, date-time, large integer, BCD, SQL
// time stamp, variant, object); shut-down unregisters them and frees the list.
void cxDataStorageInit();
void cxDataStorageDone();
