#include "platform/Dialogs.h"

#include "platform/Forms.h"
#include "platform/StdCtrls.h"

namespace {

TDialogHandler& Handler() {
  static TDialogHandler handler;
  return handler;
}

AnsiString ApplicationTitle() { return Application ? Application->Title() : AnsiString(); }

HWND DialogOwner() {
  HWND active = GetActiveWindow();
  return active ? active : (Application ? Application->Handle() : nullptr);
}

// The message dialog as the system's message box: the closest button set
// and the type's icon.
int SystemMessageDlg(const TDialogRequest& request) {
  const TMsgDlgButtons& b = request.Buttons;
  UINT flags = MB_OK;
  if (b.Contains(mbYes) && b.Contains(mbNo)) {
    flags = b.Contains(mbCancel) ? MB_YESNOCANCEL : MB_YESNO;
  } else if (b.Contains(mbAbort) || b.Contains(mbIgnore)) {
    flags = MB_ABORTRETRYIGNORE;
  } else if (b.Contains(mbRetry)) {
    flags = MB_RETRYCANCEL;
  } else if (b.Contains(mbOK) && b.Contains(mbCancel)) {
    flags = MB_OKCANCEL;
  }
  switch (request.DlgType) {
    case mtWarning:
      flags |= MB_ICONWARNING;
      break;
    case mtError:
      flags |= MB_ICONERROR;
      break;
    case mtInformation:
      flags |= MB_ICONINFORMATION;
      break;
    case mtConfirmation:
      flags |= MB_ICONQUESTION;
      break;
    default:
      break;
  }
  return MessageBoxA(DialogOwner(), request.Text.c_str(), request.Caption.c_str(), flags | MB_TASKMODAL);
}

// A small modal form with the prompt, an edit and OK/Cancel.
int SystemInputQuery(TDialogRequest& request) {
  TForm* form = New<TForm>(nullptr);
  try {
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(request.Caption);
    form->SetClientSize(300, 100);
    auto* prompt = New<TLabel>(form);
    prompt->SetParent(form);
    prompt->SetBounds(8, 8, 284, 16);
    prompt->SetCaption(request.Text);
    auto* edit = New<TEdit>(form);
    edit->SetParent(form);
    edit->SetBounds(8, 28, 284, 21);
    edit->SetText(request.Value);
    auto* ok = New<TButton>(form);
    ok->SetParent(form);
    ok->SetBounds(136, 64, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->SetModalResult(mrOk);
    auto* cancel = New<TButton>(form);
    cancel->SetParent(form);
    cancel->SetBounds(217, 64, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(mrCancel);
    form->SetActiveControl(edit);
    const int result = form->ShowModal();
    if (result == mrOk) request.Value = edit->Text();
    Free(form);
    return result;
  } catch (...) {
    Free(form);
    throw;
  }
}

}  // namespace

TDialogHandler SetDialogHandler(const TDialogHandler& handler) {
  TDialogHandler old = Handler();
  Handler() = handler;
  return old;
}

int ShowSystemDialog(TDialogRequest& request) {
  switch (request.Kind) {
    case dkMessageBox:
      return MessageBoxA(DialogOwner(), request.Text.c_str(), request.Caption.c_str(), request.Flags);
    case dkMessageDlg:
      return SystemMessageDlg(request);
    case dkInputQuery:
      return SystemInputQuery(request);
  }
  return 0;
}

int ExecuteDialog(TDialogRequest& request) {
  // A copy: the handler may replace itself.
  const TDialogHandler handler = Handler();
  if (handler) return handler(request);
  return ShowSystemDialog(request);
}

int MessageDlg(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons, int) {
  static const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};
  TDialogRequest request;
  request.Kind = dkMessageDlg;
  request.Text = message;
  request.DlgType = type;
  request.Buttons = buttons;
  request.Caption = type == mtCustom ? ApplicationTitle() : AnsiString(Captions[static_cast<int>(type)]);
  return ExecuteDialog(request);
}

void ShowMessage(const AnsiString& message) {
  TDialogRequest request;
  request.Kind = dkMessageDlg;
  request.Text = message;
  request.DlgType = mtCustom;
  request.Buttons = {mbOK};
  request.Caption = ApplicationTitle();
  ExecuteDialog(request);
}

bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value) {
  TDialogRequest request;
  request.Kind = dkInputQuery;
  request.Caption = caption;
  request.Text = prompt;
  request.Value = value;
  request.Buttons = {mbOK, mbCancel};
  if (ExecuteDialog(request) != mrOk) return false;
  value = request.Value;
  return true;
}

AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue) {
  AnsiString value = defaultValue;
  InputQuery(caption, prompt, value);
  return value;
}
