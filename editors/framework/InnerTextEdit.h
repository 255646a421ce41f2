// The real EDIT window inside a text editor. It owns no value and no look
// of its own: no border, no background erase; every key, character and
// clipboard command goes to its owner (the text edit) first, and the owner
// drives it through IcxInnerTextEdit.
#pragma once

#include "editors/framework/EditControl.h"
#include "editors/framework/TextEditProperties.h"
#include "platform/StdCtrls.h"

class TcxCustomTextEdit;

// What a text editor asks of its inner edit window.
class IcxInnerTextEdit {
public:
  // -- actions
  virtual void ClearSelection() = 0;
  virtual void CopyToClipboard() = 0;
  virtual void SelectAllText() = 0;
  // -- state
  virtual TAlignment InnerAlignment() = 0;
  virtual void SetInnerAlignment(TAlignment value) = 0;
  virtual TcxEditEchoMode EchoMode() = 0;
  virtual void SetEchoMode(TcxEditEchoMode value) = 0;
  virtual char InnerPasswordChar() = 0;
  virtual void SetInnerPasswordChar(char value) = 0;
  // The second byte of a double-byte IME character while its first byte is
  // delivered, else 0.
  virtual char ImePendingByte() = 0;
  virtual bool OwnerHandled() = 0;
  virtual void SetOwnerHandled(bool value) = 0;
  virtual bool IsMultiLine() = 0;
  virtual int SelectionStart() = 0;
  virtual void SetSelectionStart(int value) = 0;
  virtual int SelectionLength() = 0;
  virtual void SetSelectionLength(int value) = 0;
  virtual AnsiString SelectedText() = 0;
  virtual void SetSelectedText(const AnsiString& value) = 0;
  virtual TNotifyEvent SelectionChangeCallback() = 0;
  virtual void SetSelectionChangeCallback(const TNotifyEvent& value) = 0;
  // Bounds changes are ignored while locked.
  virtual void LockBounds(bool lock) = 0;
  // Calls the EDIT's own window procedure.
  virtual LRESULT CallDefault(UINT msg, WPARAM wParam, LPARAM lParam) = 0;

protected:
  ~IcxInnerTextEdit() = default;
};

class TcxCustomInnerTextEdit : public TCustomEdit, public IcxCustomInnerEdit, public IcxInnerTextEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomInnerTextEdit(TComponent* owner);
  ~TcxCustomInnerTextEdit() override;

  // -- IcxCustomInnerEdit
  void SetContainer(TcxCustomEdit* edit) override;
  void SetReadOnly(bool value) override { TCustomEdit::SetReadOnly(value); }
  void SetOnChange(const TNotifyEvent& handler) override { OnChange = handler; }
  TWinControl* Control() override { return this; }
  void SafelySetFocus() override;

  // -- IcxInnerTextEdit
  void ClearSelection() override;
  void CopyToClipboard() override;
  void SelectAllText() override;
  TAlignment InnerAlignment() override { return FAlignment; }
  void SetInnerAlignment(TAlignment value) override;
  TcxEditEchoMode EchoMode() override { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode value) override;
  char InnerPasswordChar() override { return FPasswordChar; }
  void SetInnerPasswordChar(char value) override;
  char ImePendingByte() override { return FImeState == 2 ? FImePendingByte : 0; }
  bool OwnerHandled() override { return FOwnerHandled; }
  void SetOwnerHandled(bool value) override { FOwnerHandled = value; }
  bool IsMultiLine() override { return false; }
  int SelectionStart() override;
  void SetSelectionStart(int value) override;
  int SelectionLength() override;
  void SetSelectionLength(int value) override;
  AnsiString SelectedText() override;
  void SetSelectedText(const AnsiString& value) override;
  TNotifyEvent SelectionChangeCallback() override { return FSelectionChanged; }
  void SetSelectionChangeCallback(const TNotifyEvent& value) override { FSelectionChanged = value; }
  void LockBounds(bool lock) override;
  LRESULT CallDefault(UINT msg, WPARAM wParam, LPARAM lParam) override;

  TcxCustomTextEdit* Owner() const { return FOwner; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  // The password character the EDIT shows: none in normal echo mode, the
  // stored one or '*' in password mode.
  void ApplyPasswordChar();
  // EM_SETMARGINS: no left margin, one pixel on the right.
  virtual void SetDefaultMargins();
  // Left alignment while focused when the owner's properties ask for it.
  virtual void ApplyFocusAlignment();

protected:
  void CreateParams(TCreateParams& Params) override;
  void InitializeWnd() override;
  void WndProc(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void Click() override;
  void DblClick() override;

private:
  struct TPreviousState {
    AnsiString Text;
    int Start = 0, Length = 0;
    bool HasText = false;
  };
  TPreviousState RecordState(bool withText);
  bool StateChanged(const TPreviousState& state);
  // After a character: the typed-lookup flag cleared, the fixed-list
  // caret hidden when the EDIT itself changed text or selection.
  void AfterCharacter(const TPreviousState& before);
  void ChangeAlignment(TAlignment value);
  // Whether the window counts positions in characters rather than bytes.
  bool CountsCharacters(const AnsiString& text);
  // The selection in bytes of the text.
  void ReadSelection(int& start, int& length);
  void WriteSelection(int start, int length);
  void DoubleClickTimerTick(TObject*);

  TcxCustomTextEdit* FOwner = nullptr;
  TAlignment FAlignment = taLeftJustify;
  TcxEditEchoMode FEchoMode = eemNormal;
  bool FClickRealigned = false;
  TcxTimer* FDoubleClickTimer = nullptr;  // owned as a component
  int FImeState = 0;
  char FImePendingByte = 0;
  bool FOwnerHandled = false;
  bool FCreating = true;
  int FBoundsLock = 0;
  char FPasswordChar = 0;
  TNotifyEvent FSelectionChanged;
  // The selection kept while an IME character is delivered.
  int FKeptSelStart = 0, FKeptSelLength = 0;
  bool FAlignmentLock = false;
};
