#include "platform/WebBrowser.h"

#include "platform/CodePage.h"
#include "platform/Properties.h"

#include <exdispid.h>

#include <utility>

const TClassInfo TWebBrowser::ClassInfo{"TWebBrowser", &TOleControl::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TWebBrowser(static_cast<TComponent*>(owner));
                                        }};

namespace {

// A VARIANT that clears itself.
struct TVariantHolder {
  VARIANT V;
  TVariantHolder() { VariantInit(&V); }
  ~TVariantHolder() { VariantClear(&V); }
  TVariantHolder(const TVariantHolder&) = delete;
  TVariantHolder& operator=(const TVariantHolder&) = delete;
};

// A BSTR that frees itself.
struct TBStrHolder {
  BSTR S = nullptr;
  explicit TBStrHolder(const std::wstring& text) {
    S = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (!S) throw EOutOfMemory("Out of memory");
  }
  TBStrHolder() = default;
  ~TBStrHolder() { SysFreeString(S); }
  TBStrHolder(const TBStrHolder&) = delete;
  TBStrHolder& operator=(const TBStrHolder&) = delete;
};

void SetTextVariant(VARIANT& v, const std::wstring& text) {
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!v.bstrVal) throw EOutOfMemory("Out of memory");
  v.vt = VT_BSTR;
}

// The body of a POST: a one-dimensional array of bytes, one per byte of
// the data.
void SetBytes(VARIANT& v, const std::string& bytes) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(bytes.size()));
  if (!array) throw EOutOfMemory("Out of memory");
  if (!bytes.empty()) {
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) {
      SafeArrayDestroy(array);
      throw EOleError("Cannot fill the POST data");
    }
    memcpy(data, bytes.data(), bytes.size());
    SafeArrayUnaccessData(array);
  }
  v.vt = VT_ARRAY | VT_UI1;
  v.parray = array;
}

// The arguments of an event as IDispatch::Invoke has them: last to first,
// each possibly a reference to a VARIANT. What is missing or of another
// type reads as empty.
class TEventArgs {
public:
  explicit TEventArgs(const DISPPARAMS& params) : FParams(params) {}
  UINT Count() const { return FParams.rgvarg ? FParams.cArgs : 0; }

  const VARIANT* Arg(UINT index) const {
    if (index >= Count()) return nullptr;
    const VARIANT* v = &FParams.rgvarg[FParams.cArgs - 1 - index];
    for (int depth = 0; v && v->vt == (VT_BYREF | VT_VARIANT) && depth < 4; ++depth) v = v->pvarVal;
    return v;
  }
  IDispatch* Dispatch(UINT index) const {
    const VARIANT* v = Arg(index);
    if (!v) return nullptr;
    if (v->vt == VT_DISPATCH) return v->pdispVal;
    if (v->vt == (VT_BYREF | VT_DISPATCH) && v->ppdispVal) return *v->ppdispVal;
    return nullptr;
  }
  std::wstring Text(UINT index) const {
    const VARIANT* v = Arg(index);
    BSTR s = nullptr;
    if (v && v->vt == VT_BSTR) s = v->bstrVal;
    if (v && v->vt == (VT_BYREF | VT_BSTR) && v->pbstrVal) s = *v->pbstrVal;
    return s ? std::wstring(s, SysStringLen(s)) : std::wstring();
  }
  long Integer(UINT index) const {
    const VARIANT* v = Arg(index);
    if (!v) return 0;
    VARIANT copy;
    VariantInit(&copy);
    long result = 0;
    if (SUCCEEDED(VariantChangeType(&copy, const_cast<VARIANT*>(v), 0, VT_I4))) result = copy.lVal;
    VariantClear(&copy);
    return result;
  }
  // The bytes of a one-dimensional array of bytes.
  std::string Bytes(UINT index) const {
    const VARIANT* v = Arg(index);
    if (!v) return {};
    SAFEARRAY* array = nullptr;
    if (v->vt == (VT_ARRAY | VT_UI1)) array = v->parray;
    if (v->vt == (VT_BYREF | VT_ARRAY | VT_UI1) && v->pparray) array = *v->pparray;
    if (!array || SafeArrayGetDim(array) != 1 || SafeArrayGetElemsize(array) != 1) return {};
    LONG low = 0, high = -1;
    if (FAILED(SafeArrayGetLBound(array, 1, &low)) || FAILED(SafeArrayGetUBound(array, 1, &high)) || high < low)
      return {};
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) return {};
    std::string bytes(static_cast<const char*>(data), static_cast<size_t>(high - low) + 1);
    SafeArrayUnaccessData(array);
    return bytes;
  }
  // A Boolean the handler answers through (VARIANT_BOOL by reference).
  VARIANT_BOOL* BoolOut(UINT index) const {
    const VARIANT* v = Arg(index);
    return v && v->vt == (VT_BYREF | VT_BOOL) ? v->pboolVal : nullptr;
  }

private:
  const DISPPARAMS& FParams;
};

}  // namespace

TWebBrowser::TWebBrowser(TComponent* AOwner) : TOleControl(AOwner, CLSID_WebBrowser, DIID_DWebBrowserEvents2) {
  FBrowser = ControlInterface<IWebBrowser2>();
  if (!FBrowser) throw EOleError("The web browser control has no IWebBrowser2 interface");
}

void TWebBrowser::Navigate(const std::wstring& URL, const TNavigateOptions& Options) {
  TBStrHolder url(URL);
  TVariantHolder flags, frame, postData, headers;
  flags.V.vt = VT_I4;
  flags.V.lVal = Options.Flags;
  if (!Options.TargetFrameName.empty()) SetTextVariant(frame.V, Options.TargetFrameName);
  if (Options.PostData) SetBytes(postData.V, *Options.PostData);
  if (!Options.Headers.empty()) SetTextVariant(headers.V, Options.Headers);
  const HRESULT hr = FBrowser->Navigate(url.S, &flags.V, &frame.V, &postData.V, &headers.V);
  if (FAILED(hr))
    throw EOleSysError(Format("Cannot navigate to %s (OLE error %08X)", Utf16ToAnsi(URL).c_str(),
                              static_cast<unsigned>(hr)),
                       hr);
}

void TWebBrowser::Navigate(const AnsiString& URL, const TNavigateOptions& Options) {
  Navigate(AnsiToUtf16(URL), Options);
}

bool TWebBrowser::Silent() const {
  VARIANT_BOOL value = VARIANT_FALSE;
  OleCheck(FBrowser->get_Silent(&value));
  return value != VARIANT_FALSE;
}

void TWebBrowser::SetSilent(bool value) { OleCheck(FBrowser->put_Silent(value ? VARIANT_TRUE : VARIANT_FALSE)); }

TComPtr<IDispatch> TWebBrowser::Document() const {
  TComPtr<IDispatch> document;
  IDispatch* raw = nullptr;
  // A browser that has loaded nothing yet may answer a failure.
  if (SUCCEEDED(FBrowser->get_Document(&raw))) document.Attach(raw);
  return document;
}

std::wstring TWebBrowser::LocationURL() const {
  BSTR url = nullptr;
  if (FAILED(FBrowser->get_LocationURL(&url)) || !url) return {};
  std::wstring result(url, SysStringLen(url));
  SysFreeString(url);
  return result;
}

void TWebBrowser::InvokeEvent(DISPID DispID, DISPPARAMS& Params) {
  const TEventArgs args(Params);
  // A handler may free this control: nothing of it is touched afterwards.
  switch (DispID) {
    case DISPID_BEFORENAVIGATE2: {
      if (args.Count() < 7) return;
      VARIANT_BOOL* cancelOut = args.BoolOut(6);
      bool cancel = cancelOut && *cancelOut != VARIANT_FALSE;
      FireEvent(OnBeforeNavigate2, this, args.Dispatch(0), args.Text(1), args.Integer(2), args.Text(3), args.Bytes(4),
                args.Text(5), cancel);
      if (cancelOut) *cancelOut = cancel ? VARIANT_TRUE : VARIANT_FALSE;
      return;
    }
    case DISPID_NAVIGATECOMPLETE2:
      if (args.Count() < 2) return;
      FireEvent(OnNavigateComplete2, this, args.Dispatch(0), args.Text(1));
      return;
    case DISPID_DOCUMENTCOMPLETE:
      if (args.Count() < 2) return;
      FireEvent(OnDocumentComplete, this, args.Dispatch(0), args.Text(1));
      return;
    case DISPID_DOWNLOADBEGIN:
      FireEvent(OnDownloadBegin, this);
      return;
    case DISPID_DOWNLOADCOMPLETE:
      FireEvent(OnDownloadComplete, this);
      return;
    default:
      TOleControl::InvokeEvent(DispID, Params);
      return;
  }
}

// -- Published properties -------------------------------------------------------

namespace {

const TPublishedRegistration webBrowserRegistration(&TWebBrowser::ClassInfo, {
    Event<&TWebBrowser::OnBeforeNavigate2>("OnBeforeNavigate2"),
    Event<&TWebBrowser::OnNavigateComplete2>("OnNavigateComplete2"),
    Event<&TWebBrowser::OnDocumentComplete>("OnDocumentComplete"),
    Event<&TWebBrowser::OnDownloadBegin>("OnDownloadBegin"),
    Event<&TWebBrowser::OnDownloadComplete>("OnDownloadComplete"),
});

}  // namespace
