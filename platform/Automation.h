// Late-bound automation: reading and writing properties and calling methods
// of an IDispatch object by member name, with arguments and results held in
// VARIANTs that free their content. Used where an object is reached only
// through its automation interface (a browser's HTML document).
#pragma once

#include "platform/Interfaced.h"

#include <oaidl.h>

#include <cstdint>
#include <initializer_list>
#include <string>

// A VARIANT that owns what it holds.
class TOleVariant {
public:
  TOleVariant() { VariantInit(&FValue); }
  TOleVariant(const std::wstring& text);
  TOleVariant(const wchar_t* text) : TOleVariant(std::wstring(text)) {}
  TOleVariant(bool value);
  TOleVariant(int32_t value);
  TOleVariant(const TOleVariant& other);
  TOleVariant& operator=(const TOleVariant& other);
  ~TOleVariant() { VariantClear(&FValue); }

  const VARIANT& Value() const { return FValue; }
  VARTYPE Type() const { return FValue.vt; }
  // Cleared, for out parameters.
  VARIANT* Put();
  // The value as text (numbers and Booleans converted as the system does);
  // raises EOleSysError when it has none.
  std::wstring AsText() const;
  // The object held (VT_DISPATCH, or VT_UNKNOWN answering IDispatch); null
  // for an empty or null value; raises EOleSysError for any other value.
  TComPtr<IDispatch> AsDispatch() const;

private:
  VARIANT FValue;
};

// Each raises EOleSysError naming the member when the object is null, does
// not know the member or the call fails (with the object's own description
// of the failure when it gives one).
TOleVariant AutoGet(IDispatch* object, const wchar_t* member);
void AutoPut(IDispatch* object, const wchar_t* member, const TOleVariant& value);
// Arguments first to last.
TOleVariant AutoCall(IDispatch* object, const wchar_t* member, std::initializer_list<TOleVariant> args = {});
