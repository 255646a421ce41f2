#include "tests/platform/ole/FakeBrowser.h"

#include <exdispid.h>
#include <olectl.h>

#include <cstring>
#include <cwctype>

namespace fake_browser {

namespace {

int Live = 0;
FakeBrowser* LastBrowser = nullptr;

const wchar_t kWindowClass[] = L"MevraFakeBrowserWindow";

// The in-place window records the keys that reach it.
LRESULT CALLBACK FakeWindowProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN)
    if (auto* browser = reinterpret_cast<FakeBrowser*>(GetWindowLongPtrW(wnd, GWLP_USERDATA)))
      browser->WindowKeys.push_back(wp);
  return DefWindowProcW(wnd, msg, wp, lp);
}

ATOM RegisterWindowClass() {
  static ATOM atom = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = FakeWindowProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = kWindowClass;
    return RegisterClassW(&wc);
  }();
  return atom;
}

std::wstring BStrText(BSTR s) { return s ? std::wstring(s, SysStringLen(s)) : std::wstring(); }

// The real control passes most arguments as references to VARIANTs.
VARIANT ByRef(VARIANT* inner) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BYREF | VT_VARIANT;
  v.pvarVal = inner;
  return v;
}

VARIANT Text(const std::wstring& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return v;
}

}  // namespace

int LiveObjects() { return Live; }

// -- The HTML document and its parts -------------------------------------------

namespace {

enum : DISPID { idDesignMode = 1, idCharset, idBody, idWrite, idClose, idClear, idExecCommand, idParentWindow,
                idOuterHTML, idOuterText, idFocus };

struct MemberName {
  const wchar_t* Name;
  DISPID Id;
};

DISPID FindMember(const MemberName* members, size_t count, const wchar_t* name) {
  for (size_t i = 0; i < count; ++i)
    if (_wcsicmp(members[i].Name, name) == 0) return members[i].Id;
  return DISPID_UNKNOWN;
}

HRESULT NamesToIds(const MemberName* members, size_t count, LPOLESTR* names, UINT nameCount, DISPID* ids) {
  if (!names || !ids || nameCount == 0) return E_INVALIDARG;
  ids[0] = FindMember(members, count, names[0]);
  for (UINT i = 1; i < nameCount; ++i) ids[i] = DISPID_UNKNOWN;
  return ids[0] == DISPID_UNKNOWN || nameCount > 1 ? DISP_E_UNKNOWNNAME : S_OK;
}

// An argument as the fake records it.
std::wstring ArgumentText(const VARIANT& v) {
  const VARIANT& value = v.vt == (VT_BYREF | VT_VARIANT) ? *v.pvarVal : v;
  switch (value.vt) {
    case VT_BSTR: return BStrText(value.bstrVal);
    case VT_BOOL: return value.boolVal ? L"true" : L"false";
    case VT_I4: return std::to_wstring(value.lVal);
    default: return L"<type " + std::to_wstring(value.vt) + L">";
  }
}

void SetText(VARIANT* result, const std::wstring& text) {
  if (result) *result = Text(text);
}

std::wstring Lower(std::wstring text) {
  for (wchar_t& ch : text) ch = static_cast<wchar_t>(towlower(ch));
  return text;
}

// One part of the document reached through it (the body, the window).
class FakeDocumentPart : public TInterfacedObject<IDispatch> {
public:
  FakeDocumentPart(FakeDocument* document, bool window) : FDocument(document), FWindow(window) { ++Live; }
  ~FakeDocumentPart() override { --Live; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    static const MemberName kBody[] = {{L"outerHTML", idOuterHTML}, {L"outerText", idOuterText}};
    static const MemberName kWindow[] = {{L"focus", idFocus}};
    return FWindow ? NamesToIds(kWindow, 1, names, count, ids) : NamesToIds(kBody, 2, names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
    if (result) VariantInit(result);
    switch (id) {
      case idOuterHTML: SetText(result, FDocument->BodyHTML()); return S_OK;
      case idOuterText: SetText(result, FDocument->BodyText()); return S_OK;
      case idFocus: FDocument->Calls.push_back(L"focus"); return S_OK;
      default: return DISP_E_MEMBERNOTFOUND;
    }
  }

private:
  TComPtr<FakeDocument> FDocument;
  bool FWindow;
};

}  // namespace

FakeDocument::FakeDocument() { ++Live; }
FakeDocument::~FakeDocument() { --Live; }

HRESULT FakeDocument::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT FakeDocument::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  static const MemberName kMembers[] = {
      {L"designMode", idDesignMode}, {L"charset", idCharset}, {L"body", idBody}, {L"write", idWrite},
      {L"close", idClose}, {L"clear", idClear}, {L"execCommand", idExecCommand}, {L"parentWindow", idParentWindow},
  };
  return NamesToIds(kMembers, sizeof kMembers / sizeof kMembers[0], names, count, ids);
}

HRESULT FakeDocument::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* error, UINT*) {
  if (result) VariantInit(result);
  if (Failure != S_OK) {
    if (error) {
      *error = EXCEPINFO{};
      error->scode = Failure;
      error->bstrDescription = SysAllocString(L"The document refused the call");
    }
    return DISP_E_EXCEPTION;
  }
  // Arguments first to last.
  std::vector<std::wstring> args;
  if (params)
    for (UINT i = params->cArgs; i-- > 0;) args.push_back(ArgumentText(params->rgvarg[i]));
  const bool put = (flags & DISPATCH_PROPERTYPUT) != 0;
  switch (id) {
    case idDesignMode:
    case idCharset: {
      std::wstring& value = id == idDesignMode ? DesignMode : Charset;
      if (!put) {
        SetText(result, value);
        return S_OK;
      }
      if (args.size() != 1) return DISP_E_BADPARAMCOUNT;
      value = args[0];
      Calls.push_back(std::wstring(id == idDesignMode ? L"put designMode " : L"put charset ") + value);
      return S_OK;
    }
    case idBody:
    case idParentWindow:
      if (result) {
        result->vt = VT_DISPATCH;
        result->pdispVal = new FakeDocumentPart(this, id == idParentWindow);
        result->pdispVal->AddRef();
      }
      return S_OK;
    case idWrite: {
      std::wstring text;
      for (const std::wstring& arg : args) text += arg;
      if (!Open) Source.clear();
      Open = true;
      Source += text;
      Calls.push_back(L"write " + text);
      return S_OK;
    }
    case idClose:
      Open = false;
      Calls.push_back(L"close");
      return S_OK;
    case idClear:
      Calls.push_back(L"clear");
      return S_OK;
    case idExecCommand: {
      std::wstring call = L"execCommand";
      for (const std::wstring& arg : args) call += L" " + arg;
      Calls.push_back(call);
      if (result) {
        result->vt = VT_BOOL;
        result->boolVal = VARIANT_TRUE;
      }
      return S_OK;
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

std::wstring FakeDocument::BodyHTML() const {
  const std::wstring lower = Lower(Source);
  const size_t start = lower.find(L"<body");
  const size_t end = lower.find(L"</body>", start == std::wstring::npos ? 0 : start);
  if (start == std::wstring::npos || end == std::wstring::npos) return L"<BODY></BODY>";
  return Source.substr(start, end + 7 - start);
}

std::wstring FakeDocument::BodyText() const {
  const std::wstring html = BodyHTML();
  std::wstring text;
  bool inTag = false;
  for (wchar_t ch : html) {
    if (ch == L'<') inTag = true;
    else if (ch == L'>') inTag = false;
    else if (!inTag) text += ch;
  }
  const size_t first = text.find_first_not_of(L" \r\n\t");
  if (first == std::wstring::npos) return {};
  return text.substr(first, text.find_last_not_of(L" \r\n\t") - first + 1);
}

// The DWebBrowserEvents2 connection point: one sink at a time.
class FakeConnectionPoint : public TInterfacedObject<IConnectionPoint> {
public:
  explicit FakeConnectionPoint(FakeBrowser* browser) : FBrowser(browser) { ++Live; }
  ~FakeConnectionPoint() override { --Live; }
  void Detach() { FBrowser = nullptr; }

  STDMETHODIMP GetConnectionInterface(IID* iid) override {
    *iid = DIID_DWebBrowserEvents2;
    return S_OK;
  }
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override {
    *container = FBrowser;
    if (!FBrowser) return E_UNEXPECTED;
    FBrowser->AddRef();
    return S_OK;
  }
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override {
    if (!sink || !cookie) return E_POINTER;
    if (Sink) return CONNECT_E_ADVISELIMIT;
    // The sink must answer as the events interface.
    IDispatch* events = nullptr;
    if (FAILED(sink->QueryInterface(DIID_DWebBrowserEvents2, reinterpret_cast<void**>(&events))))
      return CONNECT_E_CANNOTCONNECT;
    Sink.Attach(events);
    *cookie = 7;
    if (FBrowser) FBrowser->Calls.push_back("Advise");
    return S_OK;
  }
  STDMETHODIMP Unadvise(DWORD cookie) override {
    if (cookie != 7 || !Sink) return CONNECT_E_NOCONNECTION;
    Sink.Clear();
    if (FBrowser) FBrowser->Calls.push_back("Unadvise");
    return S_OK;
  }
  STDMETHODIMP EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

  TComPtr<IDispatch> Sink;

private:
  FakeBrowser* FBrowser;
};

// -- FakeBrowser --------------------------------------------------------------

FakeBrowser::FakeBrowser() {
  ++Live;
  LastBrowser = this;
  FConnectionPoint = TComPtr<FakeConnectionPoint>(new FakeConnectionPoint(this));
  FDocument = TComPtr<FakeDocument>(new FakeDocument);
}

FakeBrowser::~FakeBrowser() {
  FConnectionPoint->Detach();
  if (Window) {
    SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
    DestroyWindow(Window);
  }
  if (LastBrowser == this) LastBrowser = nullptr;
  --Live;
}

FakeBrowser* FakeBrowser::Last() { return LastBrowser; }

bool FakeBrowser::HasEventSink() const { return FConnectionPoint->Sink.operator bool(); }

IDispatch* FakeBrowser::DocumentObject() const { return FDocument.Get(); }

HRESULT FakeBrowser::QueryOther(REFIID riid, void** object) {
  if (riid == IID_IOleWindow) {
    *object = static_cast<IOleInPlaceObject*>(this);
  } else if (riid == IID_IDispatch || riid == IID_IWebBrowser || riid == IID_IWebBrowserApp) {
    *object = static_cast<IWebBrowser2*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

HRESULT FakeBrowser::Fire(DISPID id, std::vector<VARIANT> args) {
  TComPtr<IDispatch> sink = FConnectionPoint->Sink;
  if (!sink) return S_FALSE;
  // A handler may release the host, and with it this browser.
  TComPtr<IUnknown> self(static_cast<IOleObject*>(this));
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  const HRESULT hr = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr,
                                  nullptr);
  EventResults.push_back(hr);
  return hr;
}

HRESULT FakeBrowser::FireBeforeNavigate2(const std::wstring& url, long flags, const std::wstring& frame,
                                         const std::string* postData, const std::wstring& headers, bool& cancel) {
  VARIANT vUrl = Text(url), vFlags, vFrame = Text(frame), vPost, vHeaders = Text(headers);
  VariantInit(&vFlags);
  vFlags.vt = VT_I4;
  vFlags.lVal = flags;
  VariantInit(&vPost);
  if (postData) {
    vPost.vt = VT_ARRAY | VT_UI1;
    vPost.parray = SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(postData->size()));
    void* data = nullptr;
    SafeArrayAccessData(vPost.parray, &data);
    if (!postData->empty()) memcpy(data, postData->data(), postData->size());
    SafeArrayUnaccessData(vPost.parray);
  }
  VARIANT_BOOL vbCancel = cancel ? VARIANT_TRUE : VARIANT_FALSE;
  VARIANT disp, cancelArg;
  VariantInit(&disp);
  disp.vt = VT_DISPATCH;
  disp.pdispVal = static_cast<IWebBrowser2*>(this);
  VariantInit(&cancelArg);
  cancelArg.vt = VT_BYREF | VT_BOOL;
  cancelArg.pboolVal = &vbCancel;
  const HRESULT hr = Fire(DISPID_BEFORENAVIGATE2, {disp, ByRef(&vUrl), ByRef(&vFlags), ByRef(&vFrame), ByRef(&vPost),
                                                   ByRef(&vHeaders), cancelArg});
  cancel = vbCancel != VARIANT_FALSE;
  VariantClear(&vUrl);
  VariantClear(&vFrame);
  VariantClear(&vPost);
  VariantClear(&vHeaders);
  return hr;
}

HRESULT FakeBrowser::FireUrlEvent(DISPID id, const std::wstring& url) {
  VARIANT vUrl = Text(url), disp;
  VariantInit(&disp);
  disp.vt = VT_DISPATCH;
  disp.pdispVal = static_cast<IWebBrowser2*>(this);
  const HRESULT hr = Fire(id, {disp, ByRef(&vUrl)});
  VariantClear(&vUrl);
  return hr;
}

HRESULT FakeBrowser::FireNavigateComplete2(const std::wstring& url) { return FireUrlEvent(DISPID_NAVIGATECOMPLETE2, url); }
HRESULT FakeBrowser::FireDocumentComplete(const std::wstring& url) { return FireUrlEvent(DISPID_DOCUMENTCOMPLETE, url); }
HRESULT FakeBrowser::FireDownloadBegin() { return Fire(DISPID_DOWNLOADBEGIN, {}); }
HRESULT FakeBrowser::FireDownloadComplete() { return Fire(DISPID_DOWNLOADCOMPLETE, {}); }

// -- IOleObject ------------------------------------------------------------------

HRESULT FakeBrowser::SetClientSite(IOleClientSite* site) {
  Calls.push_back(site ? "SetClientSite" : "SetClientSite(null)");
  FSite = TComPtr<IOleClientSite>(site);
  return S_OK;
}

HRESULT FakeBrowser::GetClientSite(IOleClientSite** site) {
  *site = FSite.Get();
  if (*site) (*site)->AddRef();
  return S_OK;
}

HRESULT FakeBrowser::Close(DWORD) {
  Calls.push_back("Close");
  if (FInPlaceSite) InPlaceDeactivate();
  return S_OK;
}

HRESULT FakeBrowser::GetUserClassID(CLSID* id) {
  *id = CLSID_WebBrowser;
  return S_OK;
}

HRESULT FakeBrowser::GetMiscStatus(DWORD, DWORD* status) {
  *status = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_INSIDEOUT | OLEMISC_CANTLINKINSIDE |
            OLEMISC_RECOMPOSEONRESIZE;
  return S_OK;
}

HRESULT FakeBrowser::ActivateInPlace(HWND parent) {
  if (FInPlaceSite) return S_OK;
  if (!FSite) return E_UNEXPECTED;
  FInPlaceSite = FSite.As<IOleInPlaceSite>();
  if (!FInPlaceSite) return E_NOINTERFACE;
  if (FInPlaceSite->CanInPlaceActivate() != S_OK) {
    FInPlaceSite.Clear();
    return E_FAIL;
  }
  FInPlaceSite->OnInPlaceActivate();
  FInPlaceSite->GetWindow(&ParentWindow);
  if (ParentWindow != parent) Calls.push_back("parent differs from the site's window");
  RECT pos{}, clip{};
  OLEINPLACEFRAMEINFO info{};
  info.cb = sizeof(info);
  const HRESULT hr = FInPlaceSite->GetWindowContext(FFrame.Put(), FDocumentWindow.Put(), &pos, &clip, &info);
  if (FAILED(hr)) return hr;
  FrameWindow = info.hwndFrame;
  LastObjectRect = pos;
  RegisterWindowClass();
  Window = CreateWindowExW(0, kWindowClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, pos.left, pos.top,
                           pos.right - pos.left, pos.bottom - pos.top, ParentWindow, nullptr,
                           GetModuleHandleW(nullptr), nullptr);
  if (Window) SetWindowLongPtrW(Window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  return Window ? S_OK : E_FAIL;
}

HRESULT FakeBrowser::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
  Calls.push_back("DoVerb " + std::to_string(verb));
  if (site && site != FSite.Get()) Calls.push_back("DoVerb with another site");
  switch (verb) {
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_SHOW:
      return ActivateInPlace(parent);
    case OLEIVERB_UIACTIVATE: {
      const HRESULT hr = ActivateInPlace(parent);
      if (FAILED(hr) || UIActive) return hr;
      UIActive = true;
      FInPlaceSite->OnUIActivate();
      if (FFrame) FFrame->SetActiveObject(this, L"Fake browser");
      SetFocus(Window);
      return S_OK;
    }
    default:
      return OLEOBJ_E_INVALIDVERB;
  }
}

// -- In place ------------------------------------------------------------------------

HRESULT FakeBrowser::GetWindow(HWND* wnd) {
  *wnd = Window;
  return Window ? S_OK : E_FAIL;
}

HRESULT FakeBrowser::InPlaceDeactivate() {
  Calls.push_back("InPlaceDeactivate");
  if (!FInPlaceSite) return S_OK;
  if (UIActive) UIDeactivate();
  if (Window) {
    SetWindowLongPtrW(Window, GWLP_USERDATA, 0);
    DestroyWindow(Window);
  }
  Window = nullptr;
  TComPtr<IOleInPlaceSite> site = std::move(FInPlaceSite);
  FFrame.Clear();
  FDocumentWindow.Clear();
  site->OnInPlaceDeactivate();
  return S_OK;
}

HRESULT FakeBrowser::UIDeactivate() {
  if (!UIActive) return S_OK;
  UIActive = false;
  if (FFrame) FFrame->SetActiveObject(nullptr, nullptr);
  if (FInPlaceSite) FInPlaceSite->OnUIDeactivate(FALSE);
  return S_OK;
}

HRESULT FakeBrowser::SetObjectRects(LPCRECT pos, LPCRECT) {
  if (!pos) return E_POINTER;
  LastObjectRect = *pos;
  if (Window) MoveWindow(Window, pos->left, pos->top, pos->right - pos->left, pos->bottom - pos->top, TRUE);
  return S_OK;
}

HRESULT FakeBrowser::TranslateAccelerator(LPMSG msg) {
  if (!msg) return E_POINTER;
  if (msg->message == WM_KEYDOWN) AcceleratorKeys.push_back(msg->wParam);
  return msg->message == WM_KEYDOWN && msg->wParam == VK_TAB ? S_OK : S_FALSE;
}

// -- Automation ------------------------------------------------------------------------

HRESULT FakeBrowser::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT FakeBrowser::Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                              VARIANT* Headers) {
  NavigateCall call;
  call.URL = BStrText(URL);
  if (Flags) {
    call.FlagsType = Flags->vt;
    if (Flags->vt == VT_I4) call.Flags = Flags->lVal;
  }
  if (TargetFrameName) {
    call.FrameType = TargetFrameName->vt;
    if (TargetFrameName->vt == VT_BSTR) call.Frame = BStrText(TargetFrameName->bstrVal);
  }
  if (PostData) {
    call.PostDataType = PostData->vt;
    if (PostData->vt == (VT_ARRAY | VT_UI1) && SafeArrayGetDim(PostData->parray) == 1) {
      LONG low = 0, high = -1;
      SafeArrayGetLBound(PostData->parray, 1, &low);
      SafeArrayGetUBound(PostData->parray, 1, &high);
      call.PostDataLowerBound = low;
      void* data = nullptr;
      SafeArrayAccessData(PostData->parray, &data);
      call.PostData.assign(static_cast<const char*>(data), static_cast<size_t>(high - low + 1));
      SafeArrayUnaccessData(PostData->parray);
    }
  }
  if (Headers) {
    call.HeadersType = Headers->vt;
    if (Headers->vt == VT_BSTR) call.Headers = BStrText(Headers->bstrVal);
  }
  Navigations.push_back(call);
  if (!CompleteNavigations) return S_OK;
  // Nothing of this browser is touched after an event: a handler may free
  // the host and with it the last reference.
  TComPtr<IUnknown> self(static_cast<IOleObject*>(this));
  bool cancel = false;
  FireBeforeNavigate2(call.URL, call.Flags, call.Frame,
                      call.PostDataType == (VT_ARRAY | VT_UI1) ? &call.PostData : nullptr, call.Headers, cancel);
  if (cancel) {
    Calls.push_back("cancelled");
    return S_OK;
  }
  FLocation = call.URL;
  if (NewDocumentPerNavigation) FDocument = TComPtr<FakeDocument>(new FakeDocument);
  FireDownloadBegin();
  FireNavigateComplete2(call.URL);
  FireDocumentComplete(call.URL);
  FireDownloadComplete();
  return S_OK;
}

HRESULT FakeBrowser::get_Document(IDispatch** document) {
  if (!document) return E_POINTER;
  *document = nullptr;
  if (!ShowsDocument) return E_FAIL;
  *document = FDocument.Get();
  FDocument->AddRef();
  return S_OK;
}

HRESULT FakeBrowser::get_LocationURL(BSTR* url) {
  if (!url) return E_POINTER;
  *url = SysAllocStringLen(FLocation.data(), static_cast<UINT>(FLocation.size()));
  return S_OK;
}

HRESULT FakeBrowser::get_Silent(VARIANT_BOOL* silent) {
  if (!silent) return E_POINTER;
  *silent = SilentMode ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

HRESULT FakeBrowser::put_Silent(VARIANT_BOOL silent) {
  SilentMode = silent != VARIANT_FALSE;
  Calls.push_back(SilentMode ? "Silent on" : "Silent off");
  return S_OK;
}

HRESULT FakeBrowser::FindConnectionPoint(REFIID riid, IConnectionPoint** point) {
  if (!point) return E_POINTER;
  *point = nullptr;
  if (riid != DIID_DWebBrowserEvents2) return CONNECT_E_NOCONNECTION;
  *point = FConnectionPoint.Get();
  (*point)->AddRef();
  return S_OK;
}

// -- The factory ------------------------------------------------------------------

FakeBrowserFactory::FakeBrowserFactory() { ++Live; }
FakeBrowserFactory::~FakeBrowserFactory() { --Live; }

HRESULT FakeBrowserFactory::CreateInstance(IUnknown* outer, REFIID riid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  if (FAILED(Refusal)) return Refusal;
  TComPtr<FakeBrowser> browser(new FakeBrowser);
  browser->ShowsDocument = !HideDocuments;
  ++Created;
  return browser->QueryInterface(riid, object);
}

}  // namespace fake_browser
