#include "platform/Automation.h"

#include "platform/CodePage.h"
#include "platform/Text.h"

#include <vector>

namespace {

[[noreturn]] void RaiseFailure(const wchar_t* member, HRESULT hr, const std::wstring& description = {}) {
  std::string message = "Automation call " + Utf16ToAnsi(member) + " failed";
  if (!description.empty()) message += ": " + Utf16ToAnsi(description);
  else message += Format(" (OLE error %08X)", static_cast<unsigned>(hr));
  throw EOleSysError(message, hr);
}

TOleVariant Invoke(IDispatch* object, const wchar_t* member, WORD flags, std::vector<VARIANT>& args) {
  if (!object) RaiseFailure(member, E_POINTER, L"no object");
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR name = const_cast<LPOLESTR>(member);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) RaiseFailure(member, hr);
  // DISPPARAMS hold the arguments last to first.
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  TOleVariant result;
  EXCEPINFO error{};
  UINT badArgument = 0;
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params,
                      flags == DISPATCH_PROPERTYPUT ? nullptr : result.Put(), &error, &badArgument);
  if (hr == DISP_E_EXCEPTION) {
    if (error.pfnDeferredFillIn) error.pfnDeferredFillIn(&error);
    const std::wstring description = error.bstrDescription ? error.bstrDescription : L"";
    const HRESULT code = error.scode ? error.scode : hr;
    SysFreeString(error.bstrSource);
    SysFreeString(error.bstrDescription);
    SysFreeString(error.bstrHelpFile);
    RaiseFailure(member, code, description);
  }
  if (FAILED(hr)) RaiseFailure(member, hr);
  return result;
}

}  // namespace

TOleVariant::TOleVariant(const std::wstring& text) {
  VariantInit(&FValue);
  FValue.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!FValue.bstrVal) throw EOutOfMemory("Out of memory");
  FValue.vt = VT_BSTR;
}

TOleVariant::TOleVariant(bool value) {
  VariantInit(&FValue);
  FValue.vt = VT_BOOL;
  FValue.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

TOleVariant::TOleVariant(int32_t value) {
  VariantInit(&FValue);
  FValue.vt = VT_I4;
  FValue.lVal = value;
}

TOleVariant::TOleVariant(const TOleVariant& other) {
  VariantInit(&FValue);
  OleCheck(VariantCopy(&FValue, const_cast<VARIANT*>(&other.FValue)));
}

TOleVariant& TOleVariant::operator=(const TOleVariant& other) {
  if (this != &other) OleCheck(VariantCopy(&FValue, const_cast<VARIANT*>(&other.FValue)));
  return *this;
}

VARIANT* TOleVariant::Put() {
  VariantClear(&FValue);
  return &FValue;
}

std::wstring TOleVariant::AsText() const {
  if (FValue.vt == VT_BSTR) return FValue.bstrVal ? std::wstring(FValue.bstrVal, SysStringLen(FValue.bstrVal)) : L"";
  TOleVariant text;
  const HRESULT hr = VariantChangeType(text.Put(), const_cast<VARIANT*>(&FValue), 0, VT_BSTR);
  if (FAILED(hr)) throw EOleSysError(Format("A value of type %d has no text (OLE error %08X)", FValue.vt,
                                            static_cast<unsigned>(hr)), hr);
  return text.AsText();
}

TComPtr<IDispatch> TOleVariant::AsDispatch() const {
  switch (FValue.vt) {
    case VT_EMPTY:
    case VT_NULL: return {};
    case VT_DISPATCH: return TComPtr<IDispatch>(FValue.pdispVal);
    case VT_UNKNOWN: {
      TComPtr<IUnknown> unknown(FValue.punkVal);
      TComPtr<IDispatch> object = unknown.As<IDispatch>();
      if (object || !unknown) return object;
      throw EOleSysError("The object has no automation interface", E_NOINTERFACE);
    }
    default:
      throw EOleSysError(Format("A value of type %d is no object", FValue.vt), DISP_E_TYPEMISMATCH);
  }
}

TOleVariant AutoGet(IDispatch* object, const wchar_t* member) {
  std::vector<VARIANT> none;
  return Invoke(object, member, DISPATCH_PROPERTYGET, none);
}

void AutoPut(IDispatch* object, const wchar_t* member, const TOleVariant& value) {
  std::vector<VARIANT> args{value.Value()};
  Invoke(object, member, DISPATCH_PROPERTYPUT, args);
}

TOleVariant AutoCall(IDispatch* object, const wchar_t* member, std::initializer_list<TOleVariant> args) {
  std::vector<VARIANT> values;
  values.reserve(args.size());
  for (const TOleVariant& arg : args) values.push_back(arg.Value());
  return Invoke(object, member, DISPATCH_METHOD | DISPATCH_PROPERTYGET, values);
}
