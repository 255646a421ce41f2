#include "client/HtmlEdit.h"

#include "platform/CodePage.h"
#include "platform/Forms.h"
#include "platform/Properties.h"

#include <exdispid.h>

const TClassInfo THtmlEdit::ClassInfo{"THtmlEdit", &TWebBrowser::ClassInfo, [](TObject* owner) -> TObject* {
                                        return new THtmlEdit(static_cast<TComponent*>(owner));
                                      }};
const TClassInfo THistoryBase::ClassInfo{"THistoryBase", &TComponent::ClassInfo, nullptr};

namespace {

const TPublishedRegistration htmlEditRegistration(&THtmlEdit::ClassInfo, {
    Property<&THtmlEdit::CharSet, &THtmlEdit::SetCharSet>("CharSet"),
    Property<&THtmlEdit::HTML, &THtmlEdit::SetHTML>("HTML").Stored(false),
    Property<&THtmlEdit::ImageFolder, &THtmlEdit::SetImageFolder>("ImageFolder"),
    Property<&THtmlEdit::PageText>("Text"),
});
const TPublishedRegistration historyBaseRegistration(&THistoryBase::ClassInfo, {
    Property<&THistoryBase::Active, &THistoryBase::SetActive>("Active").Default(false),
});

// The empty page of a new document.
const wchar_t kNewDocument[] =
    L"<HTML>\r\n"
    L"<HEAD>\r\n"
    L"<META NAME=\"GENERATOR\" CONTENT=\"KV HTML-WRITER\">\r\n"
    L"<TITLE>NewDocument</TITLE>\r\n"
    L"</HEAD>\r\n"
    L"<BODY>\r\n"
    L"</BODY>\r\n"
    L"</HTML>\r\n";

// The system's folder for temporary files, at most 255 characters.
AnsiString GetTempFolder() {
  char folder[256] = {};
  const DWORD length = GetTempPathA(sizeof folder, folder);
  return length > 0 && length < sizeof folder ? AnsiString(folder, length) : AnsiString();
}

void FocusWindowOf(IDispatch* document) {
  const TComPtr<IDispatch> window = AutoGet(document, L"parentWindow").AsDispatch();
  AutoCall(window.Get(), L"focus");
}

int OleStarts = 0;
bool OleStarted = false;

void HtmlEditInitialize() {
  if (OleStarts++ == 0) OleStarted = SUCCEEDED(OleInitialize(nullptr));
}

void HtmlEditFinalize() {
  if (OleStarts == 0 || --OleStarts > 0) return;
  if (OleStarted) OleUninitialize();
  OleStarted = false;
}

}  // namespace

const TUnitEntry HtmlEditUnit{"HtmlEdit", &HtmlEditInitialize, &HtmlEditFinalize};

// -- TEditCommander -------------------------------------------------------------

TEditCommander::TEditCommander(IDispatch* Document) : FDocument(Document) {}

void TEditCommander::Exec(const wchar_t* Command, const TOleVariant& Value) {
  AutoCall(FDocument.Get(), L"execCommand", {TOleVariant(Command), TOleVariant(true), Value});
  FocusDocument();
}

void TEditCommander::ExecCommand(const std::wstring& Name) { Exec(Name.c_str(), TOleVariant(true)); }
void TEditCommander::ForeColor(int32_t Color) { Exec(L"ForeColor", TOleVariant(Color)); }
void TEditCommander::BackColor(int32_t Color) { Exec(L"BackColor", TOleVariant(Color)); }
void TEditCommander::FontName(const std::wstring& Name) { Exec(L"FontName", TOleVariant(L"\"" + Name + L"\"")); }

void TEditCommander::FontSize(int Size) {
  Exec(L"FontSize", TOleVariant(static_cast<int32_t>(Size >= 1 && Size <= 7 ? Size : 3)));
}

void TEditCommander::FocusDocument() { FocusWindowOf(FDocument.Get()); }

// -- THtmlEdit -----------------------------------------------------------------------

THtmlEdit::THtmlEdit(TComponent* AOwner)
    : TWebBrowser(AOwner), FCommander(std::make_unique<TEditCommander>(nullptr)), FCharSet("gb2312") {
  Navigate("about:blank");
  SetImageFolder(GetTempFolder());
  // A browser that loads the empty page later gets the settings when it
  // has (InvokeEvent).
  TakeDocument();
}

THtmlEdit::~THtmlEdit() = default;

bool THtmlEdit::TakeDocument() const {
  const TComPtr<IDispatch> current = Document();
  if (!current) {
    FDocument.Clear();
    FCommander->SetDocument(nullptr);
    return false;
  }
  if (current.As<IUnknown>().Get() != FDocument.As<IUnknown>().Get()) {
    FDocument = current;
    FCommander->SetDocument(current.Get());
    AutoPut(current.Get(), L"charset", TOleVariant(AnsiToUtf16(FCharSet)));
    AutoPut(current.Get(), L"designMode", TOleVariant(FReadOnly ? L"Off" : L"On"));
  }
  return true;
}

IDispatch* THtmlEdit::CurrentDocument() const {
  if (!TakeDocument()) throw EOleError("The browser shows no HTML document");
  return FDocument.Get();
}

void THtmlEdit::InvokeEvent(DISPID DispID, DISPPARAMS& Params) {
  TWebBrowser::InvokeEvent(DispID, Params);
  if (DispID == DISPID_DOCUMENTCOMPLETE) TakeDocument();
}

void THtmlEdit::SetCharSet(const AnsiString& Value) {
  FCharSet = Value;
  if (TakeDocument()) AutoPut(FDocument.Get(), L"charset", TOleVariant(AnsiToUtf16(Value)));
}

void THtmlEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (TakeDocument()) AutoPut(FDocument.Get(), L"designMode", TOleVariant(Value ? L"Off" : L"On"));
}

void THtmlEdit::SetImageFolder(const AnsiString& Value) {
  FImageFolder = Value;
  FCommander->SetImageFolder(Value);
}

std::wstring THtmlEdit::HTML() const {
  const TComPtr<IDispatch> body = AutoGet(CurrentDocument(), L"body").AsDispatch();
  return AutoGet(body.Get(), L"outerHTML").AsText();
}

void THtmlEdit::SetHTML(const std::wstring& Value) { AutoCall(CurrentDocument(), L"write", {TOleVariant(Value)}); }

std::wstring THtmlEdit::PageText() const {
  const TComPtr<IDispatch> body = AutoGet(CurrentDocument(), L"body").AsDispatch();
  return AutoGet(body.Get(), L"outerText").AsText();
}

void THtmlEdit::NewDocument() {
  IDispatch* document = CurrentDocument();
  AutoCall(document, L"close");
  AutoCall(document, L"clear");
  AutoCall(document, L"write", {TOleVariant(kNewDocument)});
}

void THtmlEdit::SetFocus() {
  TWebBrowser::SetFocus();
  if (TakeDocument()) FocusWindowOf(FDocument.Get());
}

bool THtmlEdit::CanFocus() {
  TCustomForm* form = GetParentForm(this);
  if (!form) return false;
  for (TControl* control = this; control; control = control->Parent()) {
    if (!control->Enabled()) return false;
    if (control == form) break;
  }
  return true;
}

// -- THistoryBase ----------------------------------------------------------------------

void THistoryBase::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (Value) Activate();
  else Deactivate();
}
