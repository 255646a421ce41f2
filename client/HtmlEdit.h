// The viewer/editor's HTML editing component: the system's web browser
// control switched between browsing and the HTML engine's design mode, with
// the page's HTML and text to read and write and formatting commands
// applied through the document's command interface (TEditCommander).
//
// The document is reached through its automation interface, by member name
// (platform/Automation.h); the component always works on the page the
// browser shows now, and gives a new page its character set and design mode
// when it has loaded.
#pragma once

#include "platform/Automation.h"
#include "platform/Component.h"
#include "platform/Units.h"
#include "platform/WebBrowser.h"

#include <memory>
#include <string>

// Formatting commands on a document. Each focuses the document's window
// afterwards, so typing goes on where it was.
class TEditCommander : public TObject {
public:
  explicit TEditCommander(IDispatch* Document);

  // The document's execCommand with the user interface shown and the value
  // true.
  void ExecCommand(const std::wstring& Name);
  void Bold() { ExecCommand(L"Bold"); }
  void Italic() { ExecCommand(L"Italic"); }
  void Underline() { ExecCommand(L"Underline"); }
  void CreateLink() { ExecCommand(L"CreateLink"); }
  virtual void InsertImage() { ExecCommand(L"InsertImage"); }
  // Colours as COLORREF values.
  void ForeColor(int32_t Color);
  void BackColor(int32_t Color);
  // The name is passed in double quotes, as the engine expects a font list.
  void FontName(const std::wstring& Name);
  // Sizes 1 to 7; anything else sets 3.
  void FontSize(int Size);
  void FocusDocument();

  void SetDocument(IDispatch* Document) { FDocument = TComPtr<IDispatch>(Document); }
  const AnsiString& ImageFolder() const { return FImageFolder; }
  void SetImageFolder(const AnsiString& Value) { FImageFolder = Value; }

private:
  void Exec(const wchar_t* Command, const TOleVariant& Value);

  TComPtr<IDispatch> FDocument;
  AnsiString FImageFolder;
};

class THtmlEdit : public TWebBrowser {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Shows an empty page ("about:blank"), editable, in the character set
  // "gb2312", with images kept in the system's temporary folder.
  explicit THtmlEdit(TComponent* AOwner);
  ~THtmlEdit() override;

  TEditCommander& Commander() { return *FCommander; }

  const AnsiString& CharSet() const { return FCharSet; }
  void SetCharSet(const AnsiString& Value);
  // The outer HTML of the page's body; assigning writes the text into the
  // document, which replaces a page that has finished loading.
  std::wstring HTML() const;
  void SetHTML(const std::wstring& Value);
  // The outer text of the page's body; published as "Text" (the control's
  // own Text is its window text).
  std::wstring PageText() const;
  const AnsiString& ImageFolder() const { return FImageFolder; }
  void SetImageFolder(const AnsiString& Value);
  // Read-only: browsing; else design mode.
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool Value);

  void Clear() { NewDocument(); }
  // Replaces the page with an empty document of the editor's own template.
  void NewDocument();

  // The control's focus, then the focus of the document's window.
  void SetFocus() override;
  // Needs a parent form and every control up to it enabled; unlike other
  // controls, not visibility.
  bool CanFocus() override;

protected:
  void InvokeEvent(DISPID DispID, DISPPARAMS& Params) override;

private:
  // The document of the page shown now; raises EOleError when the browser
  // shows none.
  IDispatch* CurrentDocument() const;
  // Takes the browser's document when it changed, giving it the character
  // set and design mode; answers whether there is one.
  bool TakeDocument() const;

  std::unique_ptr<TEditCommander> FCommander;
  mutable TComPtr<IDispatch> FDocument;
  AnsiString FImageFolder;
  AnsiString FCharSet;
  bool FReadOnly = false;
};

// A history of a component's states that can be switched on and off.
// Nothing in the program derives from it yet.
class THistoryBase : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;

  bool Active() const { return FActive; }
  // Switching on calls Activate, switching off Deactivate.
  void SetActive(bool Value);

protected:
  virtual void Deactivate() = 0;
  virtual void Activate() = 0;
  virtual void Reset() = 0;

private:
  bool FActive = false;
};

// Starts OLE on the GUI thread for the editing component; nested starts
// are counted, so only the first start and the last stop reach the system.
extern const TUnitEntry HtmlEditUnit;
