// The inner EDIT window of the text editors.
#include "editors/framework/InnerTextEdit.h"

#include "editors/framework/TextEdit.h"
#include "platform/Clipboard.h"
#include "platform/CodePage.h"

#include <algorithm>

const TClassInfo TcxCustomInnerTextEdit::ClassInfo{
    "TcxCustomInnerTextEdit", &TCustomEdit::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCustomInnerTextEdit(static_cast<TComponent*>(owner)); }};

TcxCustomInnerTextEdit::TcxCustomInnerTextEdit(TComponent* owner) : TCustomEdit(owner) {
  FCreating = true;
  FDoubleClickTimer = New<TcxTimer>(this);
  FDoubleClickTimer->SetEnabled(false);
  FDoubleClickTimer->SetInterval(GetDoubleClickTime());
  FDoubleClickTimer->SetOnTimer(TNotifyEvent::Bind<&TcxCustomInnerTextEdit::DoubleClickTimerTick>(this));
  SetControlStyle(ControlStyle() + TControlStyle{TControlStyleItem::csDoubleClicks});
  SetParentColor(true);
  SetParentFont(false);
  FAlignment = taLeftJustify;
  FOwnerHandled = false;
  FEchoMode = eemNormal;
  ApplyPasswordChar();
  FCreating = false;
}

TcxCustomInnerTextEdit::~TcxCustomInnerTextEdit() { FOwner = nullptr; }

void TcxCustomInnerTextEdit::SetContainer(TcxCustomEdit* edit) { FOwner = dynamic_cast<TcxCustomTextEdit*>(edit); }

void TcxCustomInnerTextEdit::SafelySetFocus() {
  const bool saved = AutoSelect();
  SetAutoSelect(false);
  if (CanFocus()) SetFocus();
  SetAutoSelect(saved);
}

void TcxCustomInnerTextEdit::DoubleClickTimerTick(TObject*) { FDoubleClickTimer->SetEnabled(false); }

// -- Window ------------------------------------------------------------------------------------

void TcxCustomInnerTextEdit::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(ES_LEFT | ES_RIGHT | ES_CENTER);
  switch (FAlignment) {
    case taRightJustify: Params.Style |= ES_RIGHT; break;
    case taCenter: Params.Style |= ES_CENTER; break;
    default: break;
  }
  Params.Style |= ES_AUTOHSCROLL;
  Params.Style &= ~static_cast<DWORD>(WS_BORDER | WS_DLGFRAME | WS_THICKFRAME);
  Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
}

void TcxCustomInnerTextEdit::InitializeWnd() {
  TCustomEdit::InitializeWnd();
  SetDefaultMargins();
}

void TcxCustomInnerTextEdit::SetDefaultMargins() {
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(0, 1));
}

void TcxCustomInnerTextEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
  if (FCreating || FBoundsLock > 0) return;
  TCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TcxCustomInnerTextEdit::LockBounds(bool lock) {
  if (lock)
    ++FBoundsLock;
  else if (FBoundsLock > 0)
    --FBoundsLock;
}

LRESULT TcxCustomInnerTextEdit::CallDefault(UINT msg, WPARAM wParam, LPARAM lParam) {
  TMessage message{msg, wParam, lParam, 0};
  DefaultHandler(message);
  return message.Result;
}

// -- Echo mode and alignment ----------------------------------------------------------------

void TcxCustomInnerTextEdit::ApplyPasswordChar() {
  if (FEchoMode == eemNormal)
    SetPasswordChar(0);
  else
    SetPasswordChar(FPasswordChar ? FPasswordChar : '*');
}

void TcxCustomInnerTextEdit::SetEchoMode(TcxEditEchoMode value) {
  if (FEchoMode == value) return;
  FEchoMode = value;
  ApplyPasswordChar();
}

void TcxCustomInnerTextEdit::SetInnerPasswordChar(char value) {
  if (FPasswordChar == value) return;
  FPasswordChar = value;
  if (FEchoMode == eemPassword) ApplyPasswordChar();
}

void TcxCustomInnerTextEdit::SetInnerAlignment(TAlignment value) { ChangeAlignment(value); }

void TcxCustomInnerTextEdit::ChangeAlignment(TAlignment value) {
  if (FAlignmentLock) return;
  if (FOwner && FOwner->InPlace() && FOwner->EffectiveProperties()->UseLeftAlignmentOnEditing()) value = taLeftJustify;
  if (value == FAlignment) return;
  FAlignment = value;
  TcxFlagGuard lock(FAlignmentLock, true);
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomInnerTextEdit::ApplyFocusAlignment() {
  if (!FOwner) return;
  TcxCustomEditProperties* properties = FOwner->EffectiveProperties();
  if (!properties->UseLeftAlignmentOnEditing() || properties->Alignment()->Horz() == taLeftJustify) return;
  const bool focused = HandleAllocated() && GetFocus() == Handle();
  ChangeAlignment(focused ? taLeftJustify : properties->Alignment()->Horz());
  FOwner->RecheckMouseAtCursor();
}

// -- Selection ------------------------------------------------------------------------------------

namespace {

// Byte offsets of a text and the positions of its window: an EDIT that
// keeps its text in wide characters counts a double-byte character once.
int CharsToBytes(const AnsiString& text, int chars) {
  size_t i = 0;
  for (int seen = 0; i < text.size() && seen < chars; ++seen)
    i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  return static_cast<int>(i);
}

int BytesToChars(const AnsiString& text, int bytes) {
  int chars = 0;
  for (size_t i = 0; i < text.size() && static_cast<int>(i) < bytes; ++chars)
    i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  return chars;
}

}  // namespace

bool TcxCustomInnerTextEdit::CountsCharacters(const AnsiString& text) {
  if (!HandleAllocated()) return false;
  const auto length = static_cast<int>(SendMessageA(Handle(), EM_LINELENGTH, 0, 0));
  return length != static_cast<int>(text.size()) && length == CharCount(text);
}

void TcxCustomInnerTextEdit::ReadSelection(int& start, int& length) {
  DWORD first = 0, last = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&first), reinterpret_cast<LPARAM>(&last));
  const AnsiString text = Text();
  if (CountsCharacters(text)) {
    first = static_cast<DWORD>(CharsToBytes(text, static_cast<int>(first)));
    last = static_cast<DWORD>(CharsToBytes(text, static_cast<int>(last)));
  }
  start = static_cast<int>(first);
  length = static_cast<int>(last) - static_cast<int>(first);
}

void TcxCustomInnerTextEdit::WriteSelection(int start, int length) {
  const AnsiString text = Text();
  int first = std::clamp(start, 0, static_cast<int>(text.size()));
  int last = std::clamp(start + length, first, static_cast<int>(text.size()));
  if (CountsCharacters(text)) {
    first = BytesToChars(text, first);
    last = BytesToChars(text, last);
  }
  Perform(EM_SETSEL, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
}

int TcxCustomInnerTextEdit::SelectionStart() {
  if (FImeState > 0) return FKeptSelStart;
  if (!HandleAllocated()) return 0;
  int start = 0, length = 0;
  ReadSelection(start, length);
  return start;
}

int TcxCustomInnerTextEdit::SelectionLength() {
  if (FImeState > 0) return FKeptSelLength;
  if (!HandleAllocated()) return 0;
  int start = 0, length = 0;
  ReadSelection(start, length);
  return length;
}

void TcxCustomInnerTextEdit::SetSelectionStart(int value) {
  if (!HandleAllocated()) return;
  if (FImeState > 0) {
    FKeptSelStart = value;
    return;
  }
  WriteSelection(value, 0);
}

void TcxCustomInnerTextEdit::SetSelectionLength(int value) {
  if (!HandleAllocated()) return;
  if (FImeState > 0) {
    FKeptSelLength = value;
    return;
  }
  WriteSelection(SelectionStart(), value);
}

AnsiString TcxCustomInnerTextEdit::SelectedText() {
  if (!HandleAllocated()) return AnsiString();
  int start = 0, length = 0;
  ReadSelection(start, length);
  return Text().substr(static_cast<size_t>(start), static_cast<size_t>(length));
}

void TcxCustomInnerTextEdit::SetSelectedText(const AnsiString& value) {
  if (HandleAllocated()) SetSelText(value);
}

void TcxCustomInnerTextEdit::ClearSelection() {
  if (HandleAllocated()) CallDefault(WM_CLEAR, 0, 0);
}

void TcxCustomInnerTextEdit::CopyToClipboard() {
  if (HandleAllocated()) CallDefault(WM_COPY, 0, 0);
}

void TcxCustomInnerTextEdit::SelectAllText() {
  if (HandleAllocated()) SelectAll();
}

// -- Keys -------------------------------------------------------------------------------------------

void TcxCustomInnerTextEdit::KeyDown(WORD& Key, TShiftState Shift) {
  FDoubleClickTimer->SetEnabled(false);
  FOwnerHandled = false;
  if (FOwner) {
    TWeakLink<TControl> self(this);
    FOwner->InnerKeyDown(Key, Shift);
    if (!self.Get()) return;
    if (Key == 0) FOwnerHandled = true;
  }
  if (Key != 0) TCustomEdit::KeyDown(Key, Shift);
}

void TcxCustomInnerTextEdit::KeyPress(char& Key) {
  FOwnerHandled = false;
  if (Key == '\t') Key = 0;
  if (Key != 0 && FOwner) {
    TWeakLink<TControl> self(this);
    FOwner->InnerKeyPress(Key);
    if (!self.Get()) return;
    if (Key == 0) FOwnerHandled = true;
  }
  if (Key == '\r' || Key == 0x1B) {
    if (FOwner && (FOwner->InPlace() || FOwner->PendingCloseKey() || (Key == '\r' && !FOwner->BeepOnEnter()))) {
      FOwner->SetPendingCloseKey(false);
      Key = 0;
    }
  }
  if (Key != 0) TCustomEdit::KeyPress(Key);
}

void TcxCustomInnerTextEdit::KeyUp(WORD& Key, TShiftState Shift) {
  FOwnerHandled = false;
  if (Key == VK_TAB) Key = 0;
  if (Key != 0 && FOwner) {
    TWeakLink<TControl> self(this);
    FOwner->InnerKeyUp(Key, Shift);
    if (!self.Get()) return;
    if (Key == 0) FOwnerHandled = true;
  }
  if (Key != 0) TCustomEdit::KeyUp(Key, Shift);
}

void TcxCustomInnerTextEdit::Click() {
  TCustomEdit::Click();
  if (FOwner) FOwner->InnerClick();
}

void TcxCustomInnerTextEdit::DblClick() {
  TCustomEdit::DblClick();
  if (FOwner) FOwner->InnerDblClick();
}

TcxCustomInnerTextEdit::TPreviousState TcxCustomInnerTextEdit::RecordState(bool withText) {
  TPreviousState state;
  if (!HandleAllocated()) return state;
  state.Start = SelStart();
  state.Length = SelLength();
  if (withText) {
    state.Text = Text();
    state.HasText = true;
  }
  return state;
}

bool TcxCustomInnerTextEdit::StateChanged(const TPreviousState& state) {
  if (!HandleAllocated()) return true;
  if (SelStart() != state.Start || SelLength() != state.Length) return true;
  if (!state.HasText) return false;
  return AnsiCompareText(Text(), state.Text) != 0;
}

void TcxCustomInnerTextEdit::AfterCharacter(const TPreviousState& before) {
  if (!FOwner) return;
  FOwner->ClearTypedLookup();
  if (!FOwnerHandled && StateChanged(before)) FOwner->SetCaretShown(false);
}

// -- Messages ------------------------------------------------------------------------------------

void TcxCustomInnerTextEdit::WndProc(TMessage& Message) {
  TWeakLink<TControl> self(this);
  switch (Message.Msg) {
    case WM_KEYDOWN: {
      const TPreviousState before = RecordState(true);
      FOwnerHandled = false;
      TCustomEdit::WndProc(Message);
      if (!self.Get()) return;
      WORD key = static_cast<WORD>(Message.WParam);
      if (key != 0 && !FOwnerHandled && FOwner && !StateChanged(before)) {
        FOwner->FireKeyEvent(key, KeyboardShiftState());
        Message.WParam = key;
      }
      return;
    }
    case WM_CHAR: {
      const TPreviousState before = RecordState(true);
      FOwnerHandled = false;
      const char ch = static_cast<char>(Message.WParam);
      if (ch == '\r' || ch == 0x1B) {
        // Enter and Escape reach the owner's key handling (OnKeyPress
        // included) even when the form does not leave them to the edit.
        char key = ch;
        KeyPress(key);
        if (!self.Get()) return;
        if (key != 0) DefaultHandler(Message);
      } else {
        TCustomEdit::WndProc(Message);
      }
      if (!self.Get()) return;
      AfterCharacter(before);
      return;
    }
    case WM_IME_CHAR: {
      // The EDIT takes an IME character whole; the owner sees its first
      // byte, with the second one pending, before it goes in.
      const TPreviousState before = RecordState(true);
      const bool doubleByte = (Message.WParam & 0xFF00) != 0;
      FImeState = doubleByte ? 2 : 1;
      FImePendingByte = doubleByte ? static_cast<char>(Message.WParam & 0xFF) : 0;
      if (HandleAllocated()) ReadSelection(FKeptSelStart, FKeptSelLength);
      FOwnerHandled = false;
      char key = static_cast<char>(doubleByte ? (Message.WParam >> 8) & 0xFF : Message.WParam & 0xFF);
      KeyPress(key);
      if (!self.Get()) return;
      const int state = FImeState;
      FImeState = 0;
      if (key != 0) {
        // Whole, through the EDIT's own replacement (which keeps its limit).
        char text[3] = {static_cast<char>(doubleByte ? (Message.WParam >> 8) & 0xFF : Message.WParam & 0xFF),
                        static_cast<char>(doubleByte ? Message.WParam & 0xFF : 0), 0};
        CallDefault(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
      }
      if (!self.Get()) return;
      if (state > 0 && FOwner && FOwner->CaretShown() && FOwnerHandled) {
        WriteSelection(FKeptSelStart, FKeptSelLength);
      }
      AfterCharacter(before);
      return;
    }
    case WM_IME_COMPOSITION:
      if (FOwner && !FOwner->StartEditing()) return;
      break;
    case WM_CUT:
      if (FOwner) {
        TcxUserActionScope userAction(FOwner, true);
        if (ReadOnly())
          FOwner->CopySelection();
        else
          FOwner->CutSelection();
      }
      return;
    case WM_PASTE:
      if (ReadOnly() || !FOwner) return;
      {
        TcxUserActionScope userAction(FOwner, true);
        FOwner->PasteText();
      }
      return;
    case WM_CLEAR:
      if (ReadOnly() || !FOwner) return;
      {
        TcxUserActionScope userAction(FOwner, true);
        FOwner->DeleteSelection();
      }
      return;
    case WM_UNDO:
      TCustomEdit::WndProc(Message);
      if (self.Get() && FOwner) FOwner->TextHook();
      return;
    case EM_SETSEL:
      TCustomEdit::WndProc(Message);
      if (self.Get() && FSelectionChanged) FSelectionChanged(this);
      return;
    case WM_GETDLGCODE:
      TCustomEdit::WndProc(Message);
      Message.Result |= DLGC_WANTCHARS;
      if (FOwner && FOwner->WantsTabKey() && GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      if (FOwner && FOwner->InPlace()) Message.Result |= DLGC_WANTALLKEYS;
      return;
    case WM_SETFOCUS:
      if (!ComponentState().Contains(csDestroying)) ApplyFocusAlignment();
      if (!self.Get()) return;
      break;
    case WM_KILLFOCUS:
      TCustomEdit::WndProc(Message);
      if (!self.Get() || ComponentState().Contains(csDestroying)) return;
      FDoubleClickTimer->SetEnabled(false);
      ApplyFocusAlignment();
      return;
    case WM_SIZE:
      TCustomEdit::WndProc(Message);
      if (self.Get()) SetDefaultMargins();
      return;
    case WM_ERASEBKGND:
      Message.Result = 1;
      return;
    case WM_NCPAINT:
      Message.Result = 0;
      return;
    case WM_LBUTTONDOWN:
      if (FOwner && FOwner->EffectiveProperties()->UseLeftAlignmentOnEditing() &&
          FOwner->EffectiveProperties()->Alignment()->Horz() != taLeftJustify && FAlignment != taLeftJustify) {
        // Focusing recreates the window left-aligned; a second click soon
        // after is a double click.
        SetFocus();
        if (!self.Get()) return;
        TCustomEdit::WndProc(Message);
        if (!self.Get()) return;
        FDoubleClickTimer->SetEnabled(true);
        FClickRealigned = true;
        return;
      }
      if (FDoubleClickTimer->Enabled()) {
        Message.Msg = WM_LBUTTONDBLCLK;
        FDoubleClickTimer->SetEnabled(false);
        FDoubleClickTimer->SetEnabled(true);
      }
      FClickRealigned = false;
      break;
    case WM_LBUTTONDBLCLK:
      if (FDoubleClickTimer->Enabled()) return;
      break;
    default:
      break;
  }
  TCustomEdit::WndProc(Message);
}
