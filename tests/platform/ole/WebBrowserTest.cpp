// The OLE control host and the browser control, against a fake control
// behind the browser's interfaces: in-place activation inside a real
// window, navigation arguments, silent mode, the document, events with
// their arguments, focus and keys, and every reference and handle given
// back when the host goes. One test creates the system's own browser.
#include "platform/StdCtrls.h"
#include "platform/WebBrowser.h"
#include "tests/platform/controls/ControlTestUtil.h"
#include "tests/platform/hooks/HookTestUtil.h"
#include "tests/platform/ole/FakeBrowserHost.h"

#include <exdispid.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <iostream>

namespace {

using namespace testing_support;
using namespace control_tests;
using namespace fake_browser;

const auto* const kUnansweredDialogsFail = ::testing::AddGlobalTestEnvironment(new UnansweredDialogsFail);

// The fake browser behind the host, with rectangles to compare.
class BrowserHost : public FakeBrowserHost {
protected:
  static RECT RectIn(HWND wnd, HWND parent) {
    RECT r{};
    GetWindowRect(wnd, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }
  static std::wstring Wide(const RECT& r) {
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L"," + std::to_wstring(r.right) + L"," +
           std::to_wstring(r.bottom);
  }
};

TEST_F(BrowserHost, ActivatesInPlaceInItsWindowAndTheObjectFollowsResizes) {
  ShownForm form(40, 40, 420, 320, "Browser");
  auto* browser = Place<TWebBrowser>(form.Form, 10, 12, 300, 200);
  FakeBrowser* fake = FakeBrowser::Last();
  ASSERT_NE(fake, nullptr);
  // Site first (the control asks for it), events connected, no window yet.
  EXPECT_EQ(fake->Calls, (std::vector<std::string>{"SetClientSite", "Advise"}));
  EXPECT_FALSE(browser->InPlaceActive());

  form.Show();
  ASSERT_TRUE(browser->InPlaceActive());
  ASSERT_TRUE(IsWindow(fake->Window));
  EXPECT_EQ(GetParent(fake->Window), browser->Handle());
  EXPECT_EQ(fake->ParentWindow, browser->Handle());
  EXPECT_EQ(fake->FrameWindow, form->Handle()) << "the frame is the form";
  EXPECT_TRUE(IsWindowVisible(fake->Window));
  EXPECT_EQ(Wide(RectIn(fake->Window, browser->Handle())), L"0,0,300,200");

  browser->SetBounds(10, 12, 360, 240);
  EXPECT_EQ(Wide(RectIn(fake->Window, browser->Handle())), L"0,0,360,240");
  browser->SetAlign(alClient);
  form->SetClientSize(380, 260);
  RunMessagesUntilIdle();
  EXPECT_EQ(Wide(RectIn(fake->Window, browser->Handle())), L"0,0,380,260") << "aligned to the form's client";
  EXPECT_EQ(Wide(fake->LastObjectRect), L"0,0,380,260");

  // A new window (style change) re-activates the object inside it.
  const HWND old = browser->Handle();
  browser->RecreateWnd();
  ASSERT_TRUE(browser->InPlaceActive());
  EXPECT_NE(browser->Handle(), old);
  EXPECT_EQ(GetParent(fake->Window), browser->Handle());
  EXPECT_EQ(Wide(RectIn(fake->Window, browser->Handle())), L"0,0,380,260");
}

TEST_F(BrowserHost, AnswersAmbientProperties) {
  TWebBrowser* browser = New<TWebBrowser>(nullptr);
  browser->SetColor(clRed);
  TComPtr<IOleClientSite> site;
  ASSERT_EQ(FakeBrowser::Last()->GetClientSite(site.Put()), S_OK);
  auto ambient = site.As<IDispatch>();
  ASSERT_TRUE(ambient);
  struct Case {
    const char* Name;
    DISPID Id;
    VARTYPE Type;
    long Value;  // VT_BOOL as 0 / -1
  };
  const Case cases[] = {
      {"user mode", DISPID_AMBIENT_USERMODE, VT_BOOL, -1},
      {"no hatching", DISPID_AMBIENT_SHOWHATCHING, VT_BOOL, 0},
      {"no grab handles", DISPID_AMBIENT_SHOWGRABHANDLES, VT_BOOL, 0},
      {"UI alive", DISPID_AMBIENT_UIDEAD, VT_BOOL, 0},
      {"messages not reflected", DISPID_AMBIENT_MESSAGEREFLECT, VT_BOOL, 0},
      {"back colour", DISPID_AMBIENT_BACKCOLOR, VT_I4, 0x0000FF},
      {"locale", DISPID_AMBIENT_LOCALEID, VT_I4, static_cast<long>(GetThreadLocale())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    VARIANT v;
    VariantInit(&v);
    DISPPARAMS none{};
    ASSERT_EQ(ambient->Invoke(c.Id, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr), S_OK);
    EXPECT_EQ(v.vt, c.Type);
    EXPECT_EQ(c.Type == VT_BOOL ? static_cast<long>(v.boolVal) : v.lVal, c.Value);
  }
  VARIANT v;
  VariantInit(&v);
  DISPPARAMS none{};
  EXPECT_EQ(ambient->Invoke(12345, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  Free(browser);
  // The site outlives the control here: it refuses what needs the control.
  EXPECT_EQ(ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);
  auto inPlace = site.As<IOleInPlaceSite>();
  ASSERT_TRUE(inPlace);
  EXPECT_EQ(inPlace->CanInPlaceActivate(), S_FALSE);
}

TEST_F(BrowserHost, NavigatePassesUrlPostBytesAndHeadersExactly) {
  struct Case {
    const char* Name;
    std::wstring URL;
    TNavigateOptions Options;
  };
  // Bytes of every kind: a zero, high bytes, a GBK character.
  const std::string body("uid=12&dm=s\x00k\xff\x80&ti=\xbd\xf1", 21);
  const Case cases[] = {
      {"a plain get", L"http://127.0.0.1:8090/h.html", {}},
      {"a post with its header",
       L"http://127.0.0.1:8090/ri.php?cid=7",
       {0, L"", body, L"Content-Type: application/x-www-form-urlencoded"}},
      {"a post with an empty body", L"http://127.0.0.1:8090/in.php", {0, L"", std::string(), L""}},
      {"flags and a target frame", L"about:blank", {navNoHistory, L"_self", std::nullopt, L""}},
  };
  TWebBrowser* browser = New<TWebBrowser>(nullptr);
  FakeBrowser* fake = FakeBrowser::Last();
  std::wstring seenURL, seenFrame, seenHeaders;
  std::string seenPost;
  long seenFlags = -1;
  browser->OnBeforeNavigate2 = TWebBrowserBeforeNavigate2Event::Lambda(
      [&](TObject*, IDispatch*, const std::wstring& url, long flags, const std::wstring& frame,
          const std::string& post, const std::wstring& headers, bool&) {
        seenURL = url;
        seenFlags = flags;
        seenFrame = frame;
        seenPost = post;
        seenHeaders = headers;
      });
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    browser->Navigate(c.URL, c.Options);
    ASSERT_FALSE(fake->Navigations.empty());
    const NavigateCall& call = fake->Navigations.back();
    EXPECT_EQ(call.URL, c.URL);
    EXPECT_EQ(call.FlagsType, VT_I4);
    EXPECT_EQ(call.Flags, c.Options.Flags);
    EXPECT_EQ(call.FrameType, c.Options.TargetFrameName.empty() ? VT_EMPTY : VT_BSTR);
    EXPECT_EQ(call.Frame, c.Options.TargetFrameName);
    if (c.Options.PostData) {
      EXPECT_EQ(call.PostDataType, VT_ARRAY | VT_UI1);
      EXPECT_EQ(call.PostData, *c.Options.PostData);
      EXPECT_EQ(call.PostDataLowerBound, 0);
    } else {
      EXPECT_EQ(call.PostDataType, VT_EMPTY) << "a get sends no body";
    }
    EXPECT_EQ(call.HeadersType, c.Options.Headers.empty() ? VT_EMPTY : VT_BSTR);
    EXPECT_EQ(call.Headers, c.Options.Headers);
    // The event brings the same arguments back.
    EXPECT_EQ(seenURL, c.URL);
    EXPECT_EQ(seenFlags, c.Options.Flags);
    EXPECT_EQ(seenFrame, c.Options.TargetFrameName);
    EXPECT_EQ(seenPost, c.Options.PostData.value_or(""));
    EXPECT_EQ(seenHeaders, c.Options.Headers);
  }
  // An 8-bit URL is text in the system code page.
  browser->Navigate("\xb0\xef\xd6\xfa.html");
  EXPECT_EQ(fake->Navigations.back().URL, L"\u5e2e\u52a9.html");
  EXPECT_EQ(browser->LocationURL(), L"\u5e2e\u52a9.html");
  Free(browser);
}

TEST_F(BrowserHost, SilentModeReachesTheControl) {
  TWebBrowser* browser = New<TWebBrowser>(nullptr);
  FakeBrowser* fake = FakeBrowser::Last();
  EXPECT_FALSE(browser->Silent());
  browser->SetSilent(true);
  EXPECT_TRUE(fake->SilentMode);
  EXPECT_TRUE(browser->Silent());
  browser->SetSilent(false);
  EXPECT_FALSE(fake->SilentMode);
  EXPECT_FALSE(browser->Silent());
  Free(browser);
}

TEST_F(BrowserHost, DocumentIsTheControlsDocument) {
  TWebBrowser* browser = New<TWebBrowser>(nullptr);
  FakeBrowser* fake = FakeBrowser::Last();
  TComPtr<IDispatch> document = browser->Document();
  ASSERT_TRUE(document);
  EXPECT_EQ(document.As<IUnknown>().Get(), TComPtr<IDispatch>(fake->DocumentObject()).As<IUnknown>().Get());
  document.Clear();
  Free(browser);
}

TEST_F(BrowserHost, EventsReachTheirHandlersWithTheirArguments) {
  TWebBrowser* browser = New<TWebBrowser>(nullptr);
  FakeBrowser* fake = FakeBrowser::Last();
  IDispatch* fakeDispatch = static_cast<IWebBrowser2*>(fake);
  std::vector<std::wstring> log;
  bool cancelNext = false;
  browser->OnBeforeNavigate2 = TWebBrowserBeforeNavigate2Event::Lambda(
      [&](TObject* sender, IDispatch* disp, const std::wstring& url, long, const std::wstring&, const std::string&,
          const std::wstring&, bool& cancel) {
        EXPECT_EQ(sender, browser);
        EXPECT_EQ(disp, fakeDispatch);
        EXPECT_FALSE(cancel);
        log.push_back(L"before " + url);
        cancel = cancelNext;
      });
  browser->OnDownloadBegin = TNotifyEvent::Lambda([&](TObject* sender) {
    EXPECT_EQ(sender, browser);
    log.push_back(L"download begin");
  });
  browser->OnNavigateComplete2 = TWebBrowserNavigateEvent::Lambda([&](TObject*, IDispatch* disp, const std::wstring& url) {
    EXPECT_EQ(disp, fakeDispatch);
    log.push_back(L"navigated " + url);
  });
  browser->OnDocumentComplete = TWebBrowserNavigateEvent::Lambda([&](TObject*, IDispatch* disp, const std::wstring& url) {
    EXPECT_EQ(disp, fakeDispatch);
    log.push_back(L"document " + url);
  });
  browser->OnDownloadComplete = TNotifyEvent::Lambda([&](TObject*) { log.push_back(L"download complete"); });

  browser->Navigate(L"http://127.0.0.1:8090/h.html");
  EXPECT_EQ(log, (std::vector<std::wstring>{L"before http://127.0.0.1:8090/h.html", L"download begin",
                                            L"navigated http://127.0.0.1:8090/h.html",
                                            L"document http://127.0.0.1:8090/h.html", L"download complete"}));
  for (HRESULT hr : fake->EventResults) EXPECT_EQ(hr, S_OK);

  // A handler that cancels stops the navigation in the control.
  log.clear();
  cancelNext = true;
  browser->Navigate(L"http://127.0.0.1:8090/other.html");
  EXPECT_EQ(log, (std::vector<std::wstring>{L"before http://127.0.0.1:8090/other.html"}));
  EXPECT_EQ(fake->Calls.back(), "cancelled");

  // Plain (not by reference) arguments are read as well; missing ones
  // leave the handler alone.
  log.clear();
  VARIANT disp, url;
  VariantInit(&disp);
  disp.vt = VT_DISPATCH;
  disp.pdispVal = fakeDispatch;
  VariantInit(&url);
  url.vt = VT_BSTR;
  url.bstrVal = SysAllocString(L"about:blank");
  EXPECT_EQ(fake->Fire(DISPID_DOCUMENTCOMPLETE, {disp, url}), S_OK);
  EXPECT_EQ(fake->Fire(DISPID_NAVIGATECOMPLETE2, {disp}), S_OK);
  EXPECT_EQ(fake->Fire(DISPID_BEFORENAVIGATE2, {disp, url}), S_OK);
  EXPECT_EQ(fake->Fire(DISPID_PROGRESSCHANGE, {url, url}), S_OK) << "events nobody handles";
  VariantClear(&url);
  EXPECT_EQ(log, (std::vector<std::wstring>{L"document about:blank"}));
  Free(browser);
}

TEST_F(BrowserHost, ARaisingHandlerDoesNotCrossIntoTheControl) {
  hook_tests::CaughtExceptions caught;
  TWebBrowser* browser = New<TWebBrowser>(nullptr);
  FakeBrowser* fake = FakeBrowser::Last();
  browser->OnDownloadBegin = TNotifyEvent::Lambda([](TObject*) { throw Exception("the handler failed"); });
  browser->OnBeforeNavigate2 = TWebBrowserBeforeNavigate2Event::Lambda(
      [](TObject*, IDispatch*, const std::wstring&, long, const std::wstring&, const std::string&,
         const std::wstring&, bool& cancel) {
        cancel = true;
        throw EAbort("quietly");
      });
  HRESULT hr = S_OK;
  EXPECT_NO_THROW(hr = fake->FireDownloadBegin());
  EXPECT_TRUE(FAILED(hr));
  EXPECT_EQ(caught.Messages, (std::vector<std::string>{"the handler failed"}));
  bool cancel = false;
  EXPECT_NO_THROW(hr = fake->FireBeforeNavigate2(L"about:blank", 0, L"", nullptr, L"", cancel));
  EXPECT_EQ(hr, E_ABORT);
  EXPECT_EQ(caught.Messages.size(), 1u) << "an abort is silent";
  Free(browser);
}

TEST_F(BrowserHost, AHandlerMayFreeTheBrowser) {
  ShownForm form(40, 40, 420, 320, "Browser");
  TWebBrowser* browser = Place<TWebBrowser>(form.Form, 0, 0, 300, 200);
  form.Show();
  FakeBrowser* fake = FakeBrowser::Last();
  TComPtr<IUnknown> keep(static_cast<IOleObject*>(fake));
  int completes = 0;
  browser->OnDocumentComplete = TWebBrowserNavigateEvent::Lambda([&](TObject*, IDispatch*, const std::wstring&) {
    Free(browser);
    browser = nullptr;
  });
  browser->OnDownloadComplete = TNotifyEvent::Lambda([&](TObject*) { ++completes; });
  browser->Navigate(L"http://127.0.0.1:8090/h.html");
  EXPECT_EQ(browser, nullptr);
  EXPECT_EQ(completes, 0) << "no events after the browser went";
  EXPECT_FALSE(fake->HasEventSink());
  EXPECT_EQ(fake->Window, nullptr);
  EXPECT_EQ(fake->RefCount(), 1) << "only the test's reference is left";
}

TEST_F(BrowserHost, FreeingTheHostReleasesEveryReference) {
  ShownForm form(40, 40, 420, 320, "Browser");
  TWebBrowser* browser = Place<TWebBrowser>(form.Form, 0, 0, 300, 200);
  form.Show();
  FakeBrowser* fake = FakeBrowser::Last();
  TComPtr<IUnknown> keep(static_cast<IOleObject*>(fake));
  browser->SetFocus();
  ASSERT_TRUE(RunMessagesUntil([&] { return fake->UIActive; }, 2000));
  browser->Navigate(L"about:blank");
  TComPtr<IDispatch> document = browser->Document();
  document.Clear();
  const HWND window = fake->Window;
  fake->Calls.clear();
  Free(browser);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(fake->Calls, (std::vector<std::string>{"InPlaceDeactivate", "Unadvise", "Close", "SetClientSite(null)"}));
  EXPECT_FALSE(fake->HasEventSink());
  EXPECT_EQ(fake->RefCount(), 1) << "only the test's reference is left";
}

TEST_F(BrowserHost, FreeingTheFormTakesTheObjectsWindowsFirst) {
  auto* form = New<TForm>(nullptr);
  form->SetBounds(40, 40, 300, 200);
  Place<TWebBrowser>(form, 0, 0, 200, 100);
  form->Show();
  FakeBrowser* fake = FakeBrowser::Last();
  TComPtr<IUnknown> keep(static_cast<IOleObject*>(fake));
  ASSERT_TRUE(IsWindow(fake->Window));
  Free(form);
  EXPECT_EQ(fake->Window, nullptr) << "deactivated before its parent window went";
  EXPECT_EQ(fake->RefCount(), 1);
}

TEST_F(BrowserHost, FocusActivatesTheObjectsUserInterfaceAndItHearsKeysFirst) {
  ShownForm form(40, 40, 420, 320, "Browser");
  TWebBrowser* browser = Place<TWebBrowser>(form.Form, 0, 0, 300, 200);
  TEdit* edit = Place<TEdit>(form.Form, 0, 210, 120, 22);
  form.Show();
  FakeBrowser* fake = FakeBrowser::Last();
  browser->SetFocus();
  ASSERT_TRUE(RunMessagesUntil([&] { return fake->UIActive; }, 2000));
  EXPECT_EQ(GetFocus(), fake->Window);
  EXPECT_TRUE(browser->UIActive());

  // Keys reach the active object before the window: Tab is taken, a
  // letter goes on to the window.
  PostMessageA(fake->Window, WM_KEYDOWN, VK_TAB, 0);
  PostMessageA(fake->Window, WM_KEYDOWN, 'A', 0);
  Application->ProcessMessages();
  EXPECT_EQ(fake->AcceleratorKeys, (std::vector<WPARAM>{VK_TAB, 'A'}));
  EXPECT_EQ(fake->WindowKeys, (std::vector<WPARAM>{'A'}));
  // Keys of our own controls are not offered to it.
  PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RIGHT, 0);
  Application->ProcessMessages();
  EXPECT_EQ(fake->AcceleratorKeys.size(), 2u);

  // The object gives the UI up when told so; its window stays.
  TComPtr<IOleInPlaceObject>(static_cast<IOleInPlaceObject*>(fake))->UIDeactivate();
  EXPECT_FALSE(browser->UIActive());
  EXPECT_TRUE(browser->InPlaceActive());
}

TEST_F(BrowserHost, AControlThatCannotBeMadeIsReportedByItsClass) {
  Factory->Refusal = REGDB_E_CLASSNOTREG;
  try {
    New<TWebBrowser>(nullptr);
    FAIL() << "created";
  } catch (const EOleSysError& e) {
    EXPECT_EQ(e.ErrorCode(), REGDB_E_CLASSNOTREG);
    EXPECT_NE(e.Message().find("{8856F961-340A-11D0-A96B-00C04FD705A2}"), std::string::npos) << e.Message();
    EXPECT_NE(e.Message().find("80040154"), std::string::npos) << e.Message();
  }
}

// The system's own browser: under Wine without its HTML engine it may be
// made or refused, but either way at once and with a clear message.
TEST(SystemBrowser, IsCreatedOrRefusedClearly) {
  const THandleCounts before = HandleCounts();
  const TOleClassSource old = SetOleClassSource({});
  try {
    ShownForm form(40, 40, 300, 200, "System browser");
    TWebBrowser* browser = Place<TWebBrowser>(form.Form, 0, 0, 200, 100);
    EXPECT_NE(browser->DefaultInterface(), nullptr);
    std::cout << "the system's browser control was created\n";
    try {
      form.Show();
      std::cout << "and activated in place: " << browser->InPlaceActive() << "\n";
    } catch (const EOleError& e) {
      std::cout << "and refused activation: " << e.Message() << "\n";
    }
  } catch (const EOleError& e) {
    EXPECT_NE(e.Message().find("{8856F961-340A-11D0-A96B-00C04FD705A2}"), std::string::npos) << e.Message();
    std::cout << "the system's browser control was refused: " << e.Message() << "\n";
  }
  SetOleClassSource(old);
  EXPECT_EQ(HandleCounts(), before);
}

}  // namespace
