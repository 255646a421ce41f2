// The standard controls: label, static text, button, check box, radio
// button, group box, edit (and the masked edit's base), list box, combo box
// and scroll bar (the memo is in Memo.h). The windowed ones are the system's
// controls under the control's own class name; their notifications come
// back reflected.
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
  // Gives the button the default look (the thick frame Enter presses) or
  // takes it away; called as the focus moves on the form: the focused button
  // looks default, else the Default button does. A button that draws itself
  // overrides this and keeps the look as its own state.
  virtual void SetButtonStyle(bool ADefault);

private:
  bool IsActive();
  bool FDefault = false;
  bool FDefaultLook = false;
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
// What the input method does while a control has the focus: nothing of its
// own (imDontCare), kept away (imDisable), closed or opened, or opened in a
// conversion mode (single- or double-width letters, the native script,
// katakana).
enum class TImeMode {
  imDisable, imClose, imOpen, imDontCare, imSAlpha, imAlpha, imHira, imSKata, imKata, imChinese, imSHanguel, imHanguel
};
using enum TImeMode;
using TImeName = AnsiString;

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
  // Typed characters go through the OEM code page and back, so that file
  // names typed in the system's code page survive.
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value);
  // False keeps the selection shown while another control has the focus.
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  // Applied each time the edit takes the focus and undone when it leaves.
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode value);
  // The description of the input method (keyboard layout) to switch to on
  // focus; empty keeps the current one.
  const TImeName& ImeName() const { return FImeName; }
  void SetImeName(const TImeName& value);

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
  void ApplyIme();
  void RestoreIme();

private:
  bool FOEMConvert = false;
  bool FHideSelection = true;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  // While the focus is here: the input context taken away by imDisable and
  // the keyboard layout active before ImeName's.
  HIMC FSavedImeContext = nullptr;
  bool FImeContextTaken = false;
  HKL FSavedLayout = nullptr;
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

// The edit error: input an edit refuses when it is validated.
class EDBEditError : public Exception {
public:
  using Exception::Exception;
};

// The base of masked edits, without masks of its own: the operations a
// masked edit overrides. Its text is the edit's text; validation (when the
// edit is left after a change) finds nothing wrong unless a descendant says
// otherwise.
class TCustomMaskEdit : public TCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomEdit::TCustomEdit;

  // Whether a mask is in force: never here.
  virtual bool IsMasked() const { return false; }
  // The text with a mask's literals; the text itself here.
  AnsiString EditText() const { return Text(); }
  void SetEditText(const AnsiString& value) { SetText(value); }
  // Checks the text; calls ValidateError when it is refused.
  virtual void ValidateEdit();

protected:
  // Beeps and raises EDBEditError.
  virtual void ValidateError();
  // Whether ValidateEdit refuses the text (a descendant's rule; none here).
  virtual bool IsTextRefused() const { return false; }
  void Dispatch(TMessage& Message) override;
};

class TMaskEdit : public TCustomMaskEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomMaskEdit::TCustomMaskEdit;
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
  virtual int ItemIndex();
  virtual void SetItemIndex(int value);
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

// How a list box shows its items: the system draws the strings
// (lbStandard); OnDrawItem draws them at one height (lbOwnerDrawFixed) or at
// the height OnMeasureItem gives each (lbOwnerDrawVariable); or the list
// holds only a Count and asks OnData for each item's text as it is drawn
// (lbVirtual), or leaves drawing to OnDrawItem (lbVirtualOwnerDraw).
enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
using enum TListBoxStyle;

enum class TOwnerDrawStateItem {
  odSelected, odGrayed, odDisabled, odChecked, odFocused, odDefault, odHotLight, odInactive, odNoAccel,
  odNoFocusRect, odReserved1, odReserved2, odComboBoxEdit
};
using enum TOwnerDrawStateItem;
using TOwnerDrawState = TSet<TOwnerDrawStateItem, 16>;

// Rect is in the list's client co-ordinates; draw on the list's Canvas.
using TDrawItemEvent = TEvent<void(TWinControl* Control, int Index, const RECT& Rect, TOwnerDrawState State)>;
// Height starts as ItemHeight.
using TMeasureItemEvent = TEvent<void(TWinControl* Control, int Index, int& Height)>;
using TLBGetDataEvent = TEvent<void(TWinControl* Control, int Index, AnsiString& Data)>;
// A virtual list's search: the index of the first item whose text starts
// with FindString (case-insensitive), or -1.
using TLBFindDataEvent = TEvent<int(TWinControl* Control, const AnsiString& FindString)>;

class TCustomListBox : public TCustomListControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomListBox(TComponent* AOwner);

  TListBoxStyle Style() const { return FStyle; }
  void SetStyle(TListBoxStyle value);
  bool IsVirtual() const { return FStyle == lbVirtual || FStyle == lbVirtualOwnerDraw; }
  // Pixels; the row height of owner-drawn lists and where measuring starts.
  int ItemHeight() const;
  void SetItemHeight(int value);
  // Several items selected at once: by clicks that toggle (MultiSelect), or
  // as the system's extended selection with Shift and Ctrl (both on).
  bool MultiSelect() const { return FMultiSelect; }
  void SetMultiSelect(bool value);
  bool ExtendedSelect() const { return FExtendedSelect; }
  void SetExtendedSelect(bool value);
  bool Selected(int index);
  void SetSelected(int index, bool value);
  // Items selected; -1 for a list without multiple selection.
  int SelCount();
  void ClearSelection();
  // The first item shown.
  int TopIndex();
  void SetTopIndex(int value);
  // Items of the list: the strings, or the virtual count.
  int Count() const;
  void SetCount(int value);
  int ItemIndex() override;
  void SetItemIndex(int value) override;
  // The item at a client point; -1 outside every item.
  int ItemAtPos(POINT pos, bool existing);
  RECT ItemRect(int index);
  // The first item from the top whose text starts with `prefix`
  // (case-insensitive), or -1: the system's search, or for a virtual list
  // (whose items the system does not hold) OnDataFind's answer.
  int FindItemStartingWith(const AnsiString& prefix);
  // Owner drawing paints here, the list's window device context lent for
  // each item.
  TCanvas* Canvas() { return &FCanvas; }

  TDrawItemEvent OnDrawItem;
  TMeasureItemEvent OnMeasureItem;
  TLBGetDataEvent OnData;
  TLBFindDataEvent OnDataFind;

protected:
  TListMessages ListMessages() const override { return {LB_ADDSTRING, LB_RESETCONTENT, LB_GETCURSEL, LB_SETCURSEL}; }
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void BeforeDestroyWnd() override;
  void Dispatch(TMessage& Message) override;
  // Draws an item (OnDrawItem, else the item's text with the system's
  // selection colours).
  virtual void DrawItem(int Index, const RECT& Rect, TOwnerDrawState State);
  virtual void MeasureItem(int Index, int& Height);
  // A virtual list's item text (OnData).
  virtual AnsiString DoGetData(int Index);
  // A virtual list's search (OnDataFind; -1 without it).
  virtual int DoFindData(const AnsiString& FindString);
  // The text an item shows.
  AnsiString ItemText(int Index);

private:
  void HandleDrawItem(const DRAWITEMSTRUCT& item);
  TControlCanvas FCanvas;
  TListBoxStyle FStyle = lbStandard;
  int FItemHeight = 16;
  bool FMultiSelect = false;
  bool FExtendedSelect = true;
  int FCount = 0;      // virtual lists
  int FTopIndex = 0;   // kept while there is no window
  std::vector<int> FSelection;  // selected items kept while there is no window
};

class TListBox : public TCustomListBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomListBox::TCustomListBox;
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

// A radio button: checking one unchecks the other radio buttons of the same
// parent; it becomes checked when clicked (OnClick fires then) and only code
// unchecks it.
class TRadioButton : public TButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRadioButton(TComponent* AOwner);

  bool Checked() const override { return FChecked; }
  // Checking fires OnClick (not while a form is read, nor for an action's
  // state) and unchecks the siblings.
  void SetChecked(bool value) override;
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  bool FChecked = false;
  TAlignment FAlignment = taRightJustify;
};

// A captioned etched frame around a group of controls (its children).
class TCustomGroupBox : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomGroupBox(TComponent* AOwner);

protected:
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  // The caption's height in the control's font (pixels).
  int CaptionHeight();
};

class TGroupBox : public TCustomGroupBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomGroupBox::TCustomGroupBox;
};

enum class TScrollBarKind { sbHorizontal, sbVertical };
using enum TScrollBarKind;
enum class TScrollCode { scLineUp, scLineDown, scPageUp, scPageDown, scPosition, scTrack, scTop, scBottom, scEndScroll };
using enum TScrollCode;
// Which scroll bars a control shows.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
using enum TScrollStyle;

// ScrollPos is where the scroll goes; the handler may change it.
using TScrollEvent = TEvent<void(TObject* Sender, TScrollCode ScrollCode, int& ScrollPos)>;

// The system's scroll bar as a control: the user's scrolling reaches
// OnScroll (which may change where it goes), then moves Position, and a
// moved Position fires OnChange.
class TScrollBar : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TScrollBar(TComponent* AOwner);

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind value);
  int Position() const { return FPosition; }
  void SetPosition(int value) { SetParams(value, FMin, FMax); }
  int Min() const { return FMin; }
  void SetMin(int value) { SetParams(FPosition, value, FMax); }
  int Max() const { return FMax; }
  void SetMax(int value) { SetParams(FPosition, FMin, value); }
  // The proportional thumb's size in positions; 0 for the square thumb.
  int PageSize() const { return FPageSize; }
  void SetPageSize(int value);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int value) { FSmallChange = value; }
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int value) { FLargeChange = value; }
  // Sets the range and the position at once; raises EInvalidOperation for
  // Max < Min. Position is kept inside the range.
  void SetParams(int APosition, int AMin, int AMax);

  TNotifyEvent OnChange;
  TScrollEvent OnScroll;

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void Dispatch(TMessage& Message) override;
  virtual void Change() { FireEvent(OnChange, this); }
  virtual void Scroll(TScrollCode ScrollCode, int& ScrollPos) { FireEvent(OnScroll, this, ScrollCode, ScrollPos); }
  void DoScroll(WPARAM wParam);

private:
  void ApplyScrollInfo();
  // The highest position the thumb can reach.
  int TopPosition() const;

  TScrollBarKind FKind = sbHorizontal;
  int FPosition = 0;
  int FMin = 0;
  int FMax = 100;
  int FPageSize = 0;
  int FSmallChange = 1;
  int FLargeChange = 1;
};
