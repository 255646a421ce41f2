// Message boxes, message dialogs and input dialogs. Every one of them goes
// through one replaceable point, ExecuteDialog: tests (and any caller that
// must not block in a modal loop) install a handler that sees the request
// and answers it.
#pragma once

#include "platform/Colors.h"
#include "platform/Event.h"
#include "platform/Set.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <vector>

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
using enum TMsgDlgType;
enum class TMsgDlgBtn { mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp };
using enum TMsgDlgBtn;
using TMsgDlgButtons = TSet<TMsgDlgBtn, 16>;

enum class TDialogKind {
  dkMessageBox, dkMessageDlg, dkInputQuery, dkOpenFile, dkSaveFile, dkOpenPicture, dkSavePicture, dkColor
};
using enum TDialogKind;

enum class TFileDialogOption {
  ofReadOnly, ofOverwritePrompt, ofHideReadOnly, ofNoChangeDir, ofAllowMultiSelect, ofPathMustExist,
  ofFileMustExist, ofCreatePrompt, ofNoReadOnlyReturn, ofEnableSizing
};
using enum TFileDialogOption;
using TFileDialogOptions = TSet<TFileDialogOption, 16>;

enum class TColorDialogOption { cdFullOpen, cdPreventFullOpen, cdSolidColor, cdAnyColor };
using enum TColorDialogOption;
using TColorDialogOptions = TSet<TColorDialogOption, 8>;

// One dialog to show. The answer is the button pressed: an ID of the
// system's message box (IDOK...) for message boxes, a modal result for the
// others (the same numbers); an input dialog also leaves the text in Value,
// a file dialog the chosen files, a colour dialog the colours. Caption is
// the title of file and colour dialogs (empty: the system's).
struct TDialogRequest {
  TDialogKind Kind = dkMessageBox;
  AnsiString Caption;
  AnsiString Text;          // the message, or the input dialog's prompt
  UINT Flags = MB_OK;       // message boxes: the system's MB_ flags
  TMsgDlgType DlgType = mtInformation;
  TMsgDlgButtons Buttons;
  AnsiString Value;         // input dialogs: the text shown and answered

  // File dialogs (open, save and their picture variants).
  AnsiString FileName;      // proposed, and the first file chosen
  AnsiString Filter;        // "Description|*.ext|..." pairs
  int FilterIndex = 1;      // from 1, also answered
  AnsiString InitialDir;
  AnsiString DefaultExt;    // without the dot
  TFileDialogOptions FileOptions;
  std::vector<AnsiString> Files;  // every file chosen

  // The colour dialog: plain colours (0x00BBGGRR).
  TColor Color = 0;
  TColor CustomColors[16] = {};
  TColorDialogOptions ColorOptions;
};

using TDialogHandler = TEvent<int(TDialogRequest& Request)>;

// Installs the handler every dialog goes through; an unassigned one brings
// back the real dialogs. Answers the previous handler.
TDialogHandler SetDialogHandler(const TDialogHandler& handler);
// Shows a dialog through the installed handler (or for real).
int ExecuteDialog(TDialogRequest& request);
// The real dialogs, for handlers that pass some requests on.
int ShowSystemDialog(TDialogRequest& request);

int MessageDlg(const AnsiString& message, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);
void ShowMessage(const AnsiString& message);
// Answers true with the typed text in `value` when OK is pressed.
bool InputQuery(const AnsiString& caption, const AnsiString& prompt, AnsiString& value);
AnsiString InputBox(const AnsiString& caption, const AnsiString& prompt, const AnsiString& defaultValue);
