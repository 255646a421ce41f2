// The standard controls: label, static text, button, check box, edit, list
// box and combo box. The windowed ones are the system's controls under the
// control's own class name; their notifications come back reflected.
#pragma once

#include "platform/Control.h"
#include "platform/StringList.h"

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
using enum TAlignment;
enum class TTextLayout { tlTop, tlCenter, tlBottom };
using enum TTextLayout;

// True when `text` marks `ch` as its accelerator ("&Save" for S).
bool IsAccel(WPARAM ch, const AnsiString& text);

class TCustomLabel : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomLabel(TComponent* AOwner);

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TTextLayout Layout() const { return FLayout; }
  void SetLayout(TTextLayout value);
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value);
  bool Transparent() const { return !FControlStyle.Contains(csOpaque); }
  void SetTransparent(bool value);
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value);
  TWinControl* FocusControl() const { return FFocusControl; }
  void SetFocusControl(TWinControl* value);

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  void AdjustBounds();
  UINT DrawFlags() const;

private:
  TAlignment FAlignment = taLeftJustify;
  TTextLayout FLayout = tlTop;
  bool FAutoSize = true;
  bool FWordWrap = false;
  bool FShowAccelChar = true;
  TWinControl* FFocusControl = nullptr;
};

class TLabel : public TCustomLabel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomLabel::TCustomLabel;
};

enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
using enum TStaticBorderStyle;

class TStaticText : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TStaticText(TComponent* AOwner);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TStaticBorderStyle value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  TAlignment FAlignment = taLeftJustify;
  TStaticBorderStyle FBorderStyle = sbsNone;
};

// The base of push buttons and check boxes: what an action link needs of
// them (Checked), and a switch that keeps a state change made for an action
// from clicking the control (and running the action) again.
class TButtonControl : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TWinControl::TWinControl;

  virtual bool Checked() const { return false; }
  virtual void SetChecked(bool value) { (void)value; }
  bool ClicksDisabled() const { return FClicksDisabled; }
  void SetClicksDisabled(bool value) { FClicksDisabled = value; }

protected:
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TClass GetActionLinkClass() const override;

private:
  bool FClicksDisabled = false;
};

class TButton : public TButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TButton(TComponent* AOwner);

  // Enter presses the default button unless another button has the focus;
  // Escape presses the cancel button.
  bool Default() const { return FDefault; }
  void SetDefault(bool value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool value) { FCancel = value; }
  // Pressing the button sets its form's ModalResult to this (when not none).
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int value) { FModalResult = value; }
  void Click() override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  bool IsActive();
  bool FDefault = false;
  bool FCancel = false;
  int FModalResult = 0;
};

enum class TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
using enum TCheckBoxState;

class TCheckBox : public TButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCheckBox(TComponent* AOwner);

  bool Checked() const override { return State() == cbChecked; }
  void SetChecked(bool value) override { SetState(value ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const;
  // A change of state (by the user or by code, not by a form being read)
  // fires OnClick.
  void SetState(TCheckBoxState value);
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  TCheckBoxState FState = cbUnchecked;
  bool FAllowGrayed = false;
  TAlignment FAlignment = taRightJustify;
};

enum class TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
using enum TEditCharCase;

class TCustomEdit : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomEdit(TComponent* AOwner);

  int MaxLength() const { return FMaxLength; }
  void SetMaxLength(int value);
  // A non-zero character hides what is typed.
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value);
  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool value);
  bool AutoSelect() const { return FAutoSelect; }
  void SetAutoSelect(bool value) { FAutoSelect = value; }
  TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(TEditCharCase value);
  bool Modified() const;
  void SetModified(bool value);

  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  AnsiString SelText();
  void SetSelText(const AnsiString& value);
  void SelectAll();
  void Clear() { SetText(""); }

  TNotifyEvent OnChange;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void Change() { FireEvent(OnChange, this); }

private:
  int FMaxLength = 0;
  char FPasswordChar = 0;
  bool FReadOnly = false;
  bool FAutoSelect = true;
  TEditCharCase FCharCase = ecNormal;
  int FSelStart = 0;
  int FSelLength = 0;
};

class TEdit : public TCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomEdit::TCustomEdit;
};

// The base of the list box and the combo box: a list of strings kept by
// the control and copied into its window.
class TCustomListControl : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomListControl(TComponent* AOwner);

  TStrings* Items() { return &FItems; }
  void SetItems(TStrings* value) { FItems.Assign(value); }
  // -1 for none.
  int ItemIndex();
  void SetItemIndex(int value);
  bool Sorted() const { return FItems.Sorted(); }
  void SetSorted(bool value) { FItems.SetSorted(value); }

protected:
  // The window's messages for adding, clearing and selecting.
  struct TListMessages {
    UINT Add, Reset, GetCurSel, SetCurSel;
  };
  virtual TListMessages ListMessages() const = 0;
  void InitializeWnd() override;
  void BeforeDestroyWnd() override;
  void ItemsChanged(TObject* Sender);

  TStringList FItems;
  int FItemIndex = -1;
};

class TListBox : public TCustomListControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TListBox(TComponent* AOwner);

protected:
  TListMessages ListMessages() const override { return {LB_ADDSTRING, LB_RESETCONTENT, LB_GETCURSEL, LB_SETCURSEL}; }
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;
};

enum class TComboBoxStyle { csDropDown, csSimple, csDropDownList };
using enum TComboBoxStyle;

class TComboBox : public TCustomListControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TComboBox(TComponent* AOwner);

  TComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TComboBoxStyle value);
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int value) { FDropDownCount = value; }
  bool DroppedDown();
  void SetDroppedDown(bool value);

  TNotifyEvent OnChange;
  TNotifyEvent OnSelect;
  TNotifyEvent OnDropDown;
  TNotifyEvent OnCloseUp;

protected:
  TListMessages ListMessages() const override { return {CB_ADDSTRING, CB_RESETCONTENT, CB_GETCURSEL, CB_SETCURSEL}; }
  void CreateParams(TCreateParams& Params) override;
  void Dispatch(TMessage& Message) override;

private:
  TComboBoxStyle FStyle = csDropDown;
  int FDropDownCount = 8;
};
