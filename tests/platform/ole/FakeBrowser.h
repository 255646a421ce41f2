// A stand-in for the system's web browser control, behind the same
// interfaces (IOleObject, the in-place object interfaces, IWebBrowser2 and
// a connection point firing DWebBrowserEvents2 through IDispatch::Invoke),
// so the host is tested where the real one cannot render. It makes a child
// window of its own when activated in place, records what the host asks of
// it, and counts its living objects so a test sees every reference go.
#pragma once

#include "platform/Interfaced.h"
#include "platform/Win32.h"

#include <exdisp.h>
#include <ocidl.h>
#include <oleidl.h>

#include <string>
#include <vector>

namespace fake_browser {

// Living objects of the fake (browsers, their connection points and
// documents, factories): zero once everything was released.
int LiveObjects();

// What one call of Navigate passed, each argument as its VARIANT type and
// value.
struct NavigateCall {
  std::wstring URL;
  VARTYPE FlagsType = VT_EMPTY;
  long Flags = 0;
  VARTYPE FrameType = VT_EMPTY;
  std::wstring Frame;
  VARTYPE PostDataType = VT_EMPTY;
  std::string PostData;  // the array's bytes
  LONG PostDataLowerBound = 0;
  VARTYPE HeadersType = VT_EMPTY;
  std::wstring Headers;
};

class FakeConnectionPoint;

// The page's HTML document behind its automation interface, by member name
// as the HTML engine answers them (case-insensitively): designMode and
// charset to read and write; body (outerHTML, outerText); write, close,
// clear and execCommand; parentWindow (focus). It records each call, keeps
// what was written as its source and can be made to fail every call.
class FakeDocument : public TInterfacedObject<IDispatch> {
public:
  FakeDocument();
  ~FakeDocument() override;

  // "put designMode On", "write <text>", "execCommand FontName true \"x\"",
  // "close", "clear", "focus" (the parent window's); reads are not recorded.
  std::vector<std::wstring> Calls;
  std::wstring DesignMode = L"Inherit";
  std::wstring Charset = L"utf-8";
  // The page's source: a write after the document was closed (or on the
  // loaded page) starts it afresh, further writes append until close.
  std::wstring Source = L"<html><head></head><body></body></html>";
  bool Open = false;
  // A failing code: every call answers DISP_E_EXCEPTION with it and the
  // description "The document refused the call".
  HRESULT Failure = S_OK;

  // The body element of the source, tags and all ("<BODY></BODY>" when it
  // has none), and its text without tags.
  std::wstring BodyHTML() const;
  std::wstring BodyText() const;

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result, EXCEPINFO* error,
                      UINT*) override;
};

class FakeBrowser : public TInterfacedObject<IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject, IWebBrowser2,
                                             IConnectionPointContainer> {
public:
  FakeBrowser();
  ~FakeBrowser() override;
  // The browser made last (null once it is gone).
  static FakeBrowser* Last();

  // -- What the host did, for the test.
  std::vector<std::string> Calls;  // "SetClientSite", "DoVerb -5", ...
  std::vector<NavigateCall> Navigations;
  std::vector<HRESULT> EventResults;  // what each event's Invoke answered
  HWND Window = nullptr;              // the in-place window while active
  HWND ParentWindow = nullptr;        // the site's window at activation
  HWND FrameWindow = nullptr;         // the frame information's window
  RECT LastObjectRect{};
  bool UIActive = false;
  bool SilentMode = false;
  // Keys offered through TranslateAccelerator; VK_TAB key-downs are taken.
  std::vector<WPARAM> AcceleratorKeys;
  std::vector<WPARAM> WindowKeys;  // key-downs that reached the window
  bool HasEventSink() const;
  IDispatch* DocumentObject() const;
  FakeDocument* Html() const { return FDocument.Get(); }
  // False: the browser has no HTML engine and shows no document.
  bool ShowsDocument = true;
  // Each completed navigation shows a new document, as the real control does.
  bool NewDocumentPerNavigation = false;
  // Navigate fires BeforeNavigate2 and, unless cancelled, the rest of a
  // navigation at once: DownloadBegin, NavigateComplete2, DocumentComplete,
  // DownloadComplete.
  bool CompleteNavigations = true;

  // -- Events fired as the real control fires them.
  HRESULT FireBeforeNavigate2(const std::wstring& url, long flags, const std::wstring& frame,
                              const std::string* postData, const std::wstring& headers, bool& cancel);
  HRESULT FireNavigateComplete2(const std::wstring& url);
  HRESULT FireDocumentComplete(const std::wstring& url);
  HRESULT FireDownloadBegin();
  HRESULT FireDownloadComplete();
  // Any event with arguments given first to last (copied in as they are).
  HRESULT Fire(DISPID id, std::vector<VARIANT> args);

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** site) override;
  STDMETHODIMP SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  STDMETHODIMP Close(DWORD) override;
  STDMETHODIMP SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetClipboardData(DWORD, IDataObject**) override { return E_NOTIMPL; }
  STDMETHODIMP DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT rect) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB**) override { return E_NOTIMPL; }
  STDMETHODIMP Update() override { return S_OK; }
  STDMETHODIMP IsUpToDate() override { return S_OK; }
  STDMETHODIMP GetUserClassID(CLSID* id) override;
  STDMETHODIMP GetUserType(DWORD, LPOLESTR*) override { return E_NOTIMPL; }
  STDMETHODIMP SetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP GetExtent(DWORD, SIZEL*) override { return E_NOTIMPL; }
  STDMETHODIMP Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP Unadvise(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP EnumAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
  STDMETHODIMP GetMiscStatus(DWORD, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  STDMETHODIMP GetWindow(HWND* wnd) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT pos, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return S_OK; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

  // IDispatch of the automation interface: nothing by name.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

  // IWebBrowser: what the host uses, the rest refused.
  STDMETHODIMP GoBack() override { return E_NOTIMPL; }
  STDMETHODIMP GoForward() override { return E_NOTIMPL; }
  STDMETHODIMP GoHome() override { return E_NOTIMPL; }
  STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
  STDMETHODIMP Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                        VARIANT* Headers) override;
  STDMETHODIMP Refresh() override { return E_NOTIMPL; }
  STDMETHODIMP Refresh2(VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP Stop() override { return E_NOTIMPL; }
  STDMETHODIMP get_Application(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_Parent(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_Container(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP get_Document(IDispatch** document) override;
  STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Type(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Left(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Left(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_Top(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Top(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_Width(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Width(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_Height(LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Height(LONG) override { return E_NOTIMPL; }
  STDMETHODIMP get_LocationName(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_LocationURL(BSTR* url) override;
  STDMETHODIMP get_Busy(VARIANT_BOOL*) override { return E_NOTIMPL; }
  // IWebBrowserApp
  STDMETHODIMP Quit() override { return E_NOTIMPL; }
  STDMETHODIMP ClientToWindow(int*, int*) override { return E_NOTIMPL; }
  STDMETHODIMP PutProperty(BSTR, VARIANT) override { return E_NOTIMPL; }
  STDMETHODIMP GetProperty(BSTR, VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Name(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_HWND(SHANDLE_PTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_FullName(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Path(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Visible(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Visible(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_StatusBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_StatusBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_StatusText(BSTR*) override { return E_NOTIMPL; }
  STDMETHODIMP put_StatusText(BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP get_ToolBar(int*) override { return E_NOTIMPL; }
  STDMETHODIMP put_ToolBar(int) override { return E_NOTIMPL; }
  STDMETHODIMP get_MenuBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_MenuBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_FullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_FullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
  // IWebBrowser2
  STDMETHODIMP Navigate2(VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryStatusWB(OLECMDID, OLECMDF*) override { return E_NOTIMPL; }
  STDMETHODIMP ExecWB(OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP ShowBrowserBar(VARIANT*, VARIANT*, VARIANT*) override { return E_NOTIMPL; }
  STDMETHODIMP get_ReadyState(READYSTATE*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Offline(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Offline(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_Silent(VARIANT_BOOL* silent) override;
  STDMETHODIMP put_Silent(VARIANT_BOOL silent) override;
  STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_TheaterMode(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_TheaterMode(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_AddressBar(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_AddressBar(VARIANT_BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP get_Resizable(VARIANT_BOOL*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Resizable(VARIANT_BOOL) override { return E_NOTIMPL; }

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
  STDMETHODIMP FindConnectionPoint(REFIID riid, IConnectionPoint** point) override;

protected:
  HRESULT QueryOther(REFIID riid, void** object) override;

private:
  friend class FakeConnectionPoint;
  HRESULT ActivateInPlace(HWND parent);
  // An event whose arguments are the browser and a URL.
  HRESULT FireUrlEvent(DISPID id, const std::wstring& url);
  TComPtr<IOleClientSite> FSite;
  TComPtr<IOleInPlaceSite> FInPlaceSite;
  TComPtr<IOleInPlaceFrame> FFrame;
  TComPtr<IOleInPlaceUIWindow> FDocumentWindow;
  TComPtr<FakeConnectionPoint> FConnectionPoint;
  TComPtr<FakeDocument> FDocument;
  std::wstring FLocation;
};

// The factory tests point the host at (SetOleClassSource); it counts its
// creations and can be made to refuse.
class FakeBrowserFactory : public TInterfacedObject<IClassFactory> {
public:
  FakeBrowserFactory();
  ~FakeBrowserFactory() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** object) override;
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
  HRESULT Refusal = S_OK;  // a failing code: CreateInstance answers it
  bool HideDocuments = false;  // the browsers made show no document
  int Created = 0;
};

}  // namespace fake_browser
