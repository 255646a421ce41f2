// The system's common dialogs as components a form places: open and save
// file dialogs, their picture variants (whose filter lists the registered
// picture formats) and the colour dialog. Each Execute goes through
// ExecuteDialog (Dialogs.h), so a test answers them like message boxes.
#pragma once

#include "platform/Colors.h"
#include "platform/Component.h"
#include "platform/Dialogs.h"
#include "platform/StringList.h"

class TCommonDialog : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TComponent::TComponent;

  // Shows the dialog; true when the user confirmed it.
  virtual bool Execute() = 0;

  TNotifyEvent OnShow;
  TNotifyEvent OnClose;

protected:
  // Runs the request through the dialog service with OnShow before and
  // OnClose after; answers whether it was confirmed.
  bool Run(TDialogRequest& request);
};

class TOpenDialog : public TCommonDialog {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TOpenDialog(TComponent* AOwner);

  bool Execute() override;

  const AnsiString& FileName() const { return FFileName; }
  void SetFileName(const AnsiString& value) { FFileName = value; }
  // "Text files (*.txt)|*.txt|All files (*.*)|*.*": description and pattern
  // pairs separated by "|".
  const AnsiString& Filter() const { return FFilter; }
  void SetFilter(const AnsiString& value) { FFilter = value; }
  // The chosen pair, from 1.
  int FilterIndex() const { return FFilterIndex; }
  void SetFilterIndex(int value) { FFilterIndex = value; }
  const AnsiString& InitialDir() const { return FInitialDir; }
  void SetInitialDir(const AnsiString& value) { FInitialDir = value; }
  // Added to a name typed without an extension (without the dot).
  const AnsiString& DefaultExt() const { return FDefaultExt; }
  void SetDefaultExt(const AnsiString& value) { FDefaultExt = value; }
  const AnsiString& Title() const { return FTitle; }
  void SetTitle(const AnsiString& value) { FTitle = value; }
  TFileDialogOptions Options() const { return FOptions; }
  void SetOptions(TFileDialogOptions value) { FOptions = value; }
  // Every chosen file (one unless ofAllowMultiSelect); FileName is the first.
  TStrings* Files() { return &FFiles; }

protected:
  TOpenDialog(TComponent* AOwner, TDialogKind kind);

private:
  TDialogKind FKind;
  AnsiString FFileName;
  AnsiString FFilter;
  int FFilterIndex = 1;
  AnsiString FInitialDir;
  AnsiString FDefaultExt;
  AnsiString FTitle;
  TFileDialogOptions FOptions{ofHideReadOnly};
  TStringList FFiles;
};

class TSaveDialog : public TOpenDialog {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TSaveDialog(TComponent* AOwner) : TOpenDialog(AOwner, dkSaveFile) {}

protected:
  TSaveDialog(TComponent* AOwner, TDialogKind kind) : TOpenDialog(AOwner, kind) {}
};

// Opens a picture: the filter starts as every registered picture format.
class TOpenPictureDialog : public TOpenDialog {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TOpenPictureDialog(TComponent* AOwner);
};

// Saves a picture: the filter starts as every registered picture format.
class TSavePictureDialog : public TSaveDialog {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TSavePictureDialog(TComponent* AOwner);
};

class TColorDialog : public TCommonDialog {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TColorDialog(TComponent* AOwner);

  bool Execute() override;

  TColor Color() const { return FColor; }
  void SetColor(TColor value) { FColor = value; }
  TColorDialogOptions Options() const { return FOptions; }
  void SetOptions(TColorDialogOptions value) { FOptions = value; }
  // The sixteen custom colours as "ColorA=RRGGBB" .. "ColorP=RRGGBB"
  // (hexadecimal, blue first as the system stores a colour); missing
  // entries are white.
  TStrings* CustomColors() { return &FCustomColors; }
  void SetCustomColors(TStrings* value) { FCustomColors.Assign(value); }

private:
  TColor FColor = clBlack;
  TColorDialogOptions FOptions;
  TStringList FCustomColors;
};
