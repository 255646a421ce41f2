#include "platform/Dialogs.h"

#include "platform/Forms.h"
#include "platform/CodePage.h"
#include "platform/StdCtrls.h"
#include "platform/SysUtils.h"

#include <commdlg.h>

#include <algorithm>
#include <cstring>

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

// The system's open and save dialogs. The filter's "|" separators become
// the zero bytes the system wants; several chosen files come back as the
// folder and then each name.
int SystemFileDialog(TDialogRequest& request) {
  const bool save = request.Kind == dkSaveFile || request.Kind == dkSavePicture;
  const TFileDialogOptions& o = request.FileOptions;
  // A "|" byte may be the second half of a double-byte character.
  std::string filter = request.Filter;
  for (size_t i = 0; i < filter.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(filter[i])) && i + 1 < filter.size()) {
      ++i;
    } else if (filter[i] == '|') {
      filter[i] = '\0';
    }
  }
  filter.append(2, '\0');
  std::vector<char> files(o.Contains(ofAllowMultiSelect) ? 0x10000 : MAX_PATH * 2, '\0');
  std::copy_n(request.FileName.begin(), std::min(request.FileName.size(), files.size() - 1), files.begin());
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = DialogOwner();
  ofn.lpstrFilter = request.Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(std::max(request.FilterIndex, 0));
  ofn.lpstrFile = files.data();
  ofn.nMaxFile = static_cast<DWORD>(files.size());
  ofn.lpstrInitialDir = request.InitialDir.empty() ? nullptr : request.InitialDir.c_str();
  ofn.lpstrTitle = request.Caption.empty() ? nullptr : request.Caption.c_str();
  ofn.lpstrDefExt = request.DefaultExt.empty() ? nullptr : request.DefaultExt.c_str();
  ofn.Flags = OFN_EXPLORER;
  const std::pair<TFileDialogOption, DWORD> flags[] = {
      {ofReadOnly, OFN_READONLY},           {ofOverwritePrompt, OFN_OVERWRITEPROMPT},
      {ofHideReadOnly, OFN_HIDEREADONLY},   {ofNoChangeDir, OFN_NOCHANGEDIR},
      {ofAllowMultiSelect, OFN_ALLOWMULTISELECT}, {ofPathMustExist, OFN_PATHMUSTEXIST},
      {ofFileMustExist, OFN_FILEMUSTEXIST}, {ofCreatePrompt, OFN_CREATEPROMPT},
      {ofNoReadOnlyReturn, OFN_NOREADONLYRETURN}, {ofEnableSizing, OFN_ENABLESIZING}};
  for (const auto& [option, flag] : flags)
    if (o.Contains(option)) ofn.Flags |= flag;
  const BOOL confirmed = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
  if (!confirmed) return IDCANCEL;
  request.FilterIndex = static_cast<int>(ofn.nFilterIndex);
  request.Files.clear();
  files.back() = '\0';
  const AnsiString first(files.data());
  const char* next = files.data() + first.size() + 1;
  if (o.Contains(ofAllowMultiSelect) && next < files.data() + files.size() && *next) {
    const AnsiString folder = IncludeTrailingPathDelimiter(first);
    for (; next < files.data() + files.size() && *next; next += std::strlen(next) + 1)
      request.Files.push_back(folder + next);
  } else {
    request.Files.push_back(first);
  }
  request.FileName = request.Files.front();
  return IDOK;
}

int SystemColorDialog(TDialogRequest& request) {
  COLORREF custom[16];
  std::copy(std::begin(request.CustomColors), std::end(request.CustomColors), custom);
  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = DialogOwner();
  cc.rgbResult = request.Color & 0xFFFFFF;
  cc.lpCustColors = custom;
  cc.Flags = CC_RGBINIT;
  const TColorDialogOptions& o = request.ColorOptions;
  if (o.Contains(cdFullOpen)) cc.Flags |= CC_FULLOPEN;
  if (o.Contains(cdPreventFullOpen)) cc.Flags |= CC_PREVENTFULLOPEN;
  if (o.Contains(cdSolidColor)) cc.Flags |= CC_SOLIDCOLOR;
  if (o.Contains(cdAnyColor)) cc.Flags |= CC_ANYCOLOR;
  if (!ChooseColorA(&cc)) return IDCANCEL;
  request.Color = cc.rgbResult;
  std::copy(std::begin(custom), std::end(custom), request.CustomColors);
  return IDOK;
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
    case dkOpenFile:
    case dkSaveFile:
    case dkOpenPicture:
    case dkSavePicture:
      return SystemFileDialog(request);
    case dkColor:
      return SystemColorDialog(request);
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
