// TWebBrowser: the system's web browser control (CLSID_WebBrowser) hosted
// in a windowed control. It navigates (with POST data and extra headers
// when asked), keeps script error dialogs away in silent mode, hands out
// the document of the page it shows and reports navigation and download
// events with their arguments.
#pragma once

#include "platform/OleControl.h"
#include "platform/Text.h"

#include <exdisp.h>

#include <optional>
#include <string>

// How a navigation goes beyond its URL. No PostData means a GET; PostData
// (even empty) is sent as the body of a POST, byte for byte.
struct TNavigateOptions {
  long Flags = 0;                     // navOpenInNewWindow, navNoHistory...
  std::wstring TargetFrameName;       // empty: the browser's own frame
  std::optional<std::string> PostData;
  std::wstring Headers;               // extra headers, each ending in CR LF
};

// BeforeNavigate2: a handler may cancel the navigation. pDisp is the
// browser object (or frame) navigating; the text arguments are as the
// browser gives them (PostData the bytes of the body, empty for a GET).
using TWebBrowserBeforeNavigate2Event =
    TEvent<void(TObject* Sender, IDispatch* pDisp, const std::wstring& URL, long Flags,
                const std::wstring& TargetFrameName, const std::string& PostData, const std::wstring& Headers,
                bool& Cancel)>;
// NavigateComplete2 and DocumentComplete: the browser object (or frame) and
// the URL it reached.
using TWebBrowserNavigateEvent = TEvent<void(TObject* Sender, IDispatch* pDisp, const std::wstring& URL)>;

class TWebBrowser : public TOleControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Creates the browser object; raises EOleError when the system has none.
  explicit TWebBrowser(TComponent* AOwner);

  // The browser's automation interface.
  IWebBrowser2* DefaultInterface() const { return FBrowser.Get(); }

  // Navigates to URL (the 8-bit form is in the system code page). Failures
  // the browser answers at once raise EOleSysError; later ones come as
  // events.
  void Navigate(const std::wstring& URL, const TNavigateOptions& Options = {});
  void Navigate(const AnsiString& URL, const TNavigateOptions& Options = {});
  void Navigate(const char* URL, const TNavigateOptions& Options = {}) { Navigate(AnsiString(URL), Options); }

  // Silent: no dialogs from the page (script errors and the like).
  bool Silent() const;
  void SetSilent(bool value);

  // The document of the page shown (an HTML document's IDispatch; ask it
  // for IHTMLDocument2), or null before any page has loaded.
  TComPtr<IDispatch> Document() const;
  // The URL of the page shown.
  std::wstring LocationURL() const;

  TWebBrowserBeforeNavigate2Event OnBeforeNavigate2;
  TWebBrowserNavigateEvent OnNavigateComplete2;
  TWebBrowserNavigateEvent OnDocumentComplete;
  TNotifyEvent OnDownloadBegin;
  TNotifyEvent OnDownloadComplete;

protected:
  void InvokeEvent(DISPID DispID, DISPPARAMS& Params) override;

private:
  TComPtr<IWebBrowser2> FBrowser;
};
