#include "platform/StdCtrls.h"

#include "platform/ActnList.h"
#include "platform/ControlsProperties.h"
#include "platform/Forms.h"
#include "platform/Memo.h"
#include "platform/Seams.h"

#include <algorithm>

#define MEVRA_CLASS(T, Parent)                                                               \
  const TClassInfo T::ClassInfo{#T, &Parent::ClassInfo, [](TObject* owner) -> TObject* { \
                                  return new T(static_cast<TComponent*>(owner));           \
                                }}

MEVRA_CLASS(TCustomLabel, TGraphicControl);
MEVRA_CLASS(TLabel, TCustomLabel);
MEVRA_CLASS(TStaticText, TWinControl);
const TClassInfo TButtonControl::ClassInfo{"TButtonControl", &TWinControl::ClassInfo, nullptr};
MEVRA_CLASS(TButton, TButtonControl);
MEVRA_CLASS(TCheckBox, TButtonControl);
MEVRA_CLASS(TCustomEdit, TWinControl);
MEVRA_CLASS(TEdit, TCustomEdit);
MEVRA_CLASS(TCustomMaskEdit, TCustomEdit);
MEVRA_CLASS(TMaskEdit, TCustomMaskEdit);
const TClassInfo TCustomListControl::ClassInfo{"TCustomListControl", &TWinControl::ClassInfo, nullptr};
MEVRA_CLASS(TComboBox, TCustomListControl);
MEVRA_CLASS(TRadioButton, TButtonControl);
MEVRA_CLASS(TCustomGroupBox, TCustomControl);
MEVRA_CLASS(TGroupBox, TCustomGroupBox);
MEVRA_CLASS(TScrollBar, TWinControl);

bool IsAccel(WPARAM ch, const AnsiString& text) {
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '&') continue;
    if (text[i + 1] == '&') {
      ++i;
      continue;
    }
    return CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(static_cast<unsigned char>(text[i + 1])))) ==
           CharUpperA(reinterpret_cast<LPSTR>(static_cast<UINT_PTR>(ch & 0xFF)));
  }
  return false;
}

// -- TCustomLabel -----------------------------------------------------------------

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  FControlStyle = {csSetCaption, csReplicatable, csClickEvents, csDoubleClicks, csCaptureMouse};
  FWidth = 65;
  FHeight = 17;
}

UINT TCustomLabel::DrawFlags() const {
  UINT flags = DT_EXPANDTABS;
  flags |= FAlignment == taCenter ? DT_CENTER : FAlignment == taRightJustify ? DT_RIGHT : DT_LEFT;
  flags |= FWordWrap ? DT_WORDBREAK : DT_SINGLELINE;
  if (!FShowAccelChar) flags |= DT_NOPREFIX;
  return flags;
}

void TCustomLabel::Paint() {
  TCanvas* canvas = Canvas();
  RECT r = ClientRect();
  if (!Transparent()) {
    canvas->Brush()->SetColor(FColor);
    canvas->Brush()->SetStyle(bsSolid);
    canvas->FillRect(r);
  }
  canvas->Font()->Assign(&FFont);
  HDC dc = canvas->Handle();
  SetBkMode(dc, TRANSPARENT);
  const AnsiString text = Text();
  UINT flags = DrawFlags();
  if (FLayout != tlTop) {
    RECT calc = r;
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &calc, flags | DT_CALCRECT);
    const int h = calc.bottom - calc.top;
    r.top = FLayout == tlCenter ? (r.bottom - h) / 2 : r.bottom - h;
  }
  if (!IsControlEnabled()) {
    OffsetRect(&r, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
    OffsetRect(&r, -1, -1);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    SetTextColor(dc, ColorToRGB(FFont.Color()));
  }
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
}

void TCustomLabel::AdjustBounds() {
  if (!FAutoSize || ComponentState().Contains(csLoading)) return;
  RECT r{0, 0, FWordWrap ? FWidth : 0, 0};
  {
    const TScreenDC dc;
    const TSelectObjectGuard font(dc.Get(), FFont.Handle());
    const AnsiString text = Text().empty() ? AnsiString(" ") : Text();
    DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r, DrawFlags() | DT_CALCRECT);
  }
  int left = FLeft;
  if (FAlignment == taRightJustify) left += FWidth - r.right;
  SetBounds(left, FTop, r.right, r.bottom);
}

void TCustomLabel::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout value) {
  if (FLayout == value) return;
  FLayout = value;
  Invalidate();
}

void TCustomLabel::SetAutoSize(bool value) {
  FAutoSize = value;
  AdjustBounds();
}

void TCustomLabel::SetWordWrap(bool value) {
  if (FWordWrap == value) return;
  FWordWrap = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool value) {
  if (value) {
    FControlStyle.Exclude(csOpaque);
  } else {
    FControlStyle.Include(csOpaque);
  }
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool value) {
  FShowAccelChar = value;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* value) {
  if (FFocusControl) FFocusControl->RemoveFreeNotification(this);
  FFocusControl = value;
  if (value) value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* component, TOperation operation) {
  TGraphicControl::Notification(component, operation);
  if (operation == opRemove && component == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
    case CM_FONTCHANGED:
      AdjustBounds();
      Invalidate();
      return;
    case CM_DIALOGCHAR:
      if (FFocusControl && FShowAccelChar && IsAccel(Message.WParam, FText) && FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result = 1;
      }
      return;
    default:
      break;
  }
  TGraphicControl::Dispatch(Message);
}

// -- TStaticText --------------------------------------------------------------------

TStaticText::TStaticText(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csCaptureMouse, csClickEvents, csSetCaption, csReplicatable, csDoubleClicks};
  FColor = clBtnFace;
  FWidth = 65;
  FHeight = 17;
}

void TStaticText::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "STATIC");
  Params.Style |= SS_NOTIFY | (FAlignment == taCenter ? SS_CENTER : FAlignment == taRightJustify ? SS_RIGHT : SS_LEFT);
  if (FBorderStyle == sbsSingle) Params.Style |= WS_BORDER;
  if (FBorderStyle == sbsSunken) Params.Style |= SS_SUNKEN;
}

void TStaticText::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  RecreateWnd();
}

void TStaticText::SetBorderStyle(TStaticBorderStyle value) {
  if (FBorderStyle == value) return;
  FBorderStyle = value;
  RecreateWnd();
}

void TStaticText::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_DIALOGCHAR) {
    if (IsAccel(Message.WParam, Text()) && CanFocus()) {
      Click();
      Message.Result = 1;
    }
    return;
  }
  TWinControl::Dispatch(Message);
}

// -- TButtonControl --------------------------------------------------------------------

TClass TButtonControl::GetActionLinkClass() const { return &TButtonActionLink::ClassInfo; }

void TButtonControl::ActionChange(TObject* Sender, bool CheckDefaults) {
  TWinControl::ActionChange(Sender, CheckDefaults);
  auto* action = ObjectAs<TCustomAction>(Sender);
  if (!action || (CheckDefaults && Checked())) return;
  // The action's state is shown, not clicked.
  const bool disabled = FClicksDisabled;
  FClicksDisabled = true;
  try {
    SetChecked(action->Checked());
  } catch (...) {
    FClicksDisabled = disabled;
    throw;
  }
  FClicksDisabled = disabled;
}

// -- TButton ---------------------------------------------------------------------------

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FTabStop = true;
  FColor = clBtnFace;
  FWidth = 75;
  FHeight = 25;
}

void TButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  Params.Style |= FDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
  FDefaultLook = FDefault;
}

void TButton::SetDefault(bool value) {
  if (FDefault == value) return;
  FDefault = value;
  if (!HandleAllocated()) return;
  TWinControl* focused = nullptr;
  if (TCustomForm* form = GetParentForm(this)) focused = form->ActiveControl();
  if (!ObjectAs<TButton>(focused)) SetButtonStyle(value);
}

void TButton::SetButtonStyle(bool ADefault) {
  if (!HandleAllocated() || ADefault == FDefaultLook) return;
  FDefaultLook = ADefault;
  SendMessageA(FHandle, BM_SETSTYLE, ADefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
}

bool TButton::IsActive() {
  HWND focus = GetFocus();
  if (HandleAllocated() && focus == FHandle) return true;
  // The default button is active while no other button has the focus.
  return FDefault && !ObjectAs<TButton>(FindControl(focus));
}

void TButton::Click() {
  if (FModalResult != 0)
    if (TCustomForm* form = GetParentForm(this)) form->SetModalResult(FModalResult);
  TButtonControl::Click();
}

void TButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == BN_CLICKED) Click();
      return;
    case CM_DIALOGKEY:
      if (((Message.WParam == VK_RETURN && IsActive()) || (Message.WParam == VK_ESCAPE && FCancel)) &&
          KeyboardShiftState().Empty() && CanFocus()) {
        Click();
        Message.Result = 1;
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Text()) && CanFocus()) {
        Click();
        Message.Result = 1;
      }
      return;
    case CM_FOCUSCHANGED: {
      TWinControl* focused = reinterpret_cast<TWinControl*>(Message.LParam);
      SetButtonStyle(ObjectAs<TButton>(focused) ? focused == this : FDefault);
      Message.Result = 0;
      return;
    }
    default:
      break;
  }
  TButtonControl::Dispatch(Message);
}

// -- TCheckBox ---------------------------------------------------------------------------

TCheckBox::TCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FTabStop = true;
  FColor = clBtnFace;
  FWidth = 97;
  FHeight = 17;
}

void TCheckBox::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  // A three-state button the control toggles itself, so that code and the
  // user change the state in one place.
  Params.Style |= BS_3STATE;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TCheckBox::InitializeWnd() { SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(FState), 0); }

TCheckBoxState TCheckBox::State() const { return FState; }

void TCheckBox::SetState(TCheckBoxState value) {
  if (FState == value) return;
  FState = value;
  if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  // A form being read sets the state, nobody clicked: the handler (bound
  // before or after it in the form) would meet a half-read form.
  if (!ComponentState().Contains(csLoading) && !ClicksDisabled()) Click();
}

void TCheckBox::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  RecreateWnd();
}

void TCheckBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == BN_CLICKED) {
        switch (FState) {
          case cbUnchecked:
            SetState(FAllowGrayed ? cbGrayed : cbChecked);
            break;
          case cbGrayed:
            SetState(cbChecked);
            break;
          case cbChecked:
            SetState(cbUnchecked);
            break;
        }
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Text()) && CanFocus()) {
        SetFocus();
        SetChecked(!Checked());
        Message.Result = 1;
      }
      return;
    default:
      break;
  }
  TButtonControl::Dispatch(Message);
}

// -- TCustomEdit -------------------------------------------------------------------------

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csClickEvents, csSetCaption, csDoubleClicks};
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush.SetColor(FColor);
  FWidth = 121;
  FHeight = 21;
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomEdit::SetOEMConvert(bool value) {
  if (FOEMConvert == value) return;
  FOEMConvert = value;
  RecreateWnd();
}

void TCustomEdit::SetHideSelection(bool value) {
  if (FHideSelection == value) return;
  FHideSelection = value;
  RecreateWnd();
}

void TCustomEdit::SetImeMode(TImeMode value) {
  if (FImeMode == value) return;
  FImeMode = value;
  if (Focused()) {
    RestoreIme();
    ApplyIme();
  }
}

void TCustomEdit::SetImeName(const TImeName& value) {
  if (FImeName == value) return;
  FImeName = value;
  if (Focused()) {
    RestoreIme();
    ApplyIme();
  }
}

namespace {

// The conversion mode each opening mode asks for.
DWORD ImeConversion(TImeMode mode) {
  switch (mode) {
    case imSAlpha:
      return IME_CMODE_ALPHANUMERIC;
    case imAlpha:
      return IME_CMODE_ALPHANUMERIC | IME_CMODE_FULLSHAPE;
    case imHira:
      return IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    case imSKata:
      return IME_CMODE_NATIVE | IME_CMODE_KATAKANA;
    case imKata:
      return IME_CMODE_NATIVE | IME_CMODE_KATAKANA | IME_CMODE_FULLSHAPE;
    case imChinese:
    case imHanguel:
      return IME_CMODE_NATIVE | IME_CMODE_FULLSHAPE;
    case imSHanguel:
      return IME_CMODE_NATIVE;
    default:
      return 0;
  }
}

// The installed keyboard layout whose input method has this description.
HKL FindImeLayout(const AnsiString& name) {
  HKL layouts[64];
  const int count = GetKeyboardLayoutList(64, layouts);
  for (int i = 0; i < count; ++i) {
    char description[256] = {};
    if (ImmGetDescriptionA(layouts[i], description, sizeof description - 1) > 0 &&
        lstrcmpiA(description, name.c_str()) == 0)
      return layouts[i];
  }
  return nullptr;
}

}  // namespace

// Runs as the edit takes the focus; RestoreIme undoes it as the focus goes.
void TCustomEdit::ApplyIme() {
  if (!FHandle) return;
  if (!FImeName.empty()) {
    if (HKL layout = FindImeLayout(FImeName); layout && layout != GetKeyboardLayout(0)) {
      FSavedLayout = GetKeyboardLayout(0);
      ActivateKeyboardLayout(layout, 0);
    }
  }
  if (FImeMode == imDisable) {
    FSavedImeContext = ImmAssociateContext(FHandle, nullptr);
    FImeContextTaken = true;
    return;
  }
  if (FImeMode == imDontCare) return;
  HIMC context = ImmGetContext(FHandle);
  if (!context) return;
  if (FImeMode == imClose) {
    ImmSetOpenStatus(context, FALSE);
  } else {
    ImmSetOpenStatus(context, TRUE);
    if (FImeMode != imOpen) {
      DWORD conversion = 0, sentence = 0;
      ImmGetConversionStatus(context, &conversion, &sentence);
      ImmSetConversionStatus(context, ImeConversion(FImeMode), sentence);
    }
  }
  ImmReleaseContext(FHandle, context);
}

void TCustomEdit::RestoreIme() {
  if (FImeContextTaken) {
    FImeContextTaken = false;
    if (FHandle) ImmAssociateContext(FHandle, FSavedImeContext);
    FSavedImeContext = nullptr;
  }
  if (FSavedLayout) {
    ActivateKeyboardLayout(FSavedLayout, 0);
    FSavedLayout = nullptr;
  }
}

void TCustomEdit::InitializeWnd() {
  SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
  if (FPasswordChar) SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
  SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(FSelStart), static_cast<LPARAM>(FSelStart + FSelLength));
}

void TCustomEdit::SetMaxLength(int value) {
  FMaxLength = std::max(value, 0);
  if (HandleAllocated()) SendMessageA(FHandle, EM_LIMITTEXT, static_cast<WPARAM>(FMaxLength), 0);
}

void TCustomEdit::SetPasswordChar(char value) {
  if (FPasswordChar == value) return;
  const bool recreate = (FPasswordChar == 0) != (value == 0);
  FPasswordChar = value;
  if (!HandleAllocated()) return;
  if (recreate) {
    RecreateWnd();
  } else {
    SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(value), 0);
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool value) {
  FReadOnly = value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETREADONLY, value, 0);
}

void TCustomEdit::SetCharCase(TEditCharCase value) {
  if (FCharCase == value) return;
  FCharCase = value;
  RecreateWnd();
}

bool TCustomEdit::Modified() const {
  return FHandle && SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
}

void TCustomEdit::SetModified(bool value) {
  if (FHandle) SendMessageA(FHandle, EM_SETMODIFY, value, 0);
}

int TCustomEdit::SelStart() {
  if (!HandleAllocated()) return FSelStart;
  DWORD start = 0, end = 0;
  SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(start);
}

int TCustomEdit::SelLength() {
  if (!HandleAllocated()) return FSelLength;
  DWORD start = 0, end = 0;
  SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  return static_cast<int>(end - start);
}

void TCustomEdit::SetSelStart(int value) {
  FSelStart = std::max(value, 0);
  FSelLength = 0;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(FSelStart), FSelStart);
}

void TCustomEdit::SetSelLength(int value) {
  const int start = SelStart();
  FSelStart = start;
  FSelLength = std::max(value, 0);
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(start), start + FSelLength);
}

AnsiString TCustomEdit::SelText() {
  const AnsiString text = Text();
  const size_t start = std::min<size_t>(static_cast<size_t>(SelStart()), text.size());
  return text.substr(start, static_cast<size_t>(SelLength()));
}

void TCustomEdit::SetSelText(const AnsiString& value) {
  SendMessageA(Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(value.c_str()));
}

void TCustomEdit::SelectAll() {
  FSelStart = 0;
  FSelLength = static_cast<int>(Text().size());
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETSEL, 0, -1);
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == EN_CHANGE) Change();
      return;
    case CM_ENTER:
      // A memo keeps its caret where it was.
      if (FAutoSelect && !(GetKeyState(VK_LBUTTON) < 0) && !(GetWindowLongPtrA(FHandle, GWL_STYLE) & ES_MULTILINE))
        SelectAll();
      break;
    case CM_TEXTCHANGED:
      return;  // the window's own EN_CHANGE reports it
    case WM_SETFOCUS:
      TWinControl::Dispatch(Message);
      ApplyIme();
      return;
    case WM_KILLFOCUS:
      RestoreIme();
      break;
    case WM_DESTROY:
      RestoreIme();
      break;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// -- TCustomMaskEdit ----------------------------------------------------------------------

void TCustomMaskEdit::ValidateEdit() {
  if (IsTextRefused()) ValidateError();
}

void TCustomMaskEdit::ValidateError() {
  SystemBeep();
  throw EDBEditError("Invalid input value");
}

void TCustomMaskEdit::Dispatch(TMessage& Message) {
  if (Message.Msg == CM_EXIT) {
    // A refused text keeps the focus here, with the error shown.
    if (Modified()) {
      try {
        ValidateEdit();
      } catch (...) {
        SetFocus();
        throw;
      }
    }
  }
  TCustomEdit::Dispatch(Message);
}

// -- List controls ------------------------------------------------------------------------

TCustomListControl::TCustomListControl(TComponent* AOwner) : TWinControl(AOwner) {
  FTabStop = true;
  FParentColor = false;
  FColor = clWindow;
  FBrush.SetColor(FColor);
  FItems.OnChange = TNotifyEvent::Bind<&TCustomListControl::ItemsChanged>(this);
}

int TCustomListControl::ItemIndex() {
  if (!HandleAllocated()) return FItemIndex;
  return static_cast<int>(SendMessageA(FHandle, ListMessages().GetCurSel, 0, 0));
}

void TCustomListControl::SetItemIndex(int value) {
  if (value < -1 || value >= FItems.Count()) value = -1;
  FItemIndex = value;
  if (HandleAllocated()) SendMessageA(FHandle, ListMessages().SetCurSel, static_cast<WPARAM>(value), 0);
}

void TCustomListControl::InitializeWnd() {
  const TListMessages m = ListMessages();
  SendMessageA(FHandle, m.Reset, 0, 0);
  for (int i = 0; i < FItems.Count(); ++i)
    SendMessageA(FHandle, m.Add, 0, reinterpret_cast<LPARAM>(FItems.Get(i).c_str()));
  SendMessageA(FHandle, m.SetCurSel, static_cast<WPARAM>(FItemIndex), 0);
}

void TCustomListControl::BeforeDestroyWnd() { FItemIndex = ItemIndex(); }

void TCustomListControl::ItemsChanged(TObject*) {
  if (!HandleAllocated()) {
    if (FItemIndex >= FItems.Count()) FItemIndex = -1;
    return;
  }
  // What the window holds beyond the items (the current item, a list box's
  // selection and top row) is kept as for a new window.
  BeforeDestroyWnd();
  if (FItemIndex >= FItems.Count()) FItemIndex = -1;
  SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  InitializeWnd();
  SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
  Invalidate();
}

TComboBox::TComboBox(TComponent* AOwner) : TCustomListControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 145;
  FHeight = 21;
}

void TComboBox::CreateParams(TCreateParams& Params) {
  TCustomListControl::CreateParams(Params);
  CreateSubClass(Params, "COMBOBOX");
  Params.Style |= WS_VSCROLL | CBS_AUTOHSCROLL | CBS_HASSTRINGS;
  Params.Style |= FStyle == csSimple ? CBS_SIMPLE : FStyle == csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN;
  // The drop-down list hangs below the edit inside the window's height.
  if (FStyle != csSimple) Params.Height = FHeight + FDropDownCount * 16;
}

void TComboBox::SetStyle(TComboBoxStyle value) {
  if (FStyle == value) return;
  FStyle = value;
  RecreateWnd();
}

bool TComboBox::DroppedDown() { return HandleAllocated() && SendMessageA(FHandle, CB_GETDROPPEDSTATE, 0, 0) != 0; }

void TComboBox::SetDroppedDown(bool value) { SendMessageA(Handle(), CB_SHOWDROPDOWN, value, 0); }

void TComboBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    switch (HIWORD(Message.WParam)) {
      case CBN_SELCHANGE:
        FireEvent(OnSelect, this);
        Click();
        FireEvent(OnChange, this);
        break;
      case CBN_EDITCHANGE:
        FireEvent(OnChange, this);
        break;
      case CBN_DROPDOWN:
        FireEvent(OnDropDown, this);
        break;
      case CBN_CLOSEUP:
        FireEvent(OnCloseUp, this);
        break;
      default:
        break;
    }
    return;
  }
  if (Message.Msg == WM_WINDOWPOSCHANGED || Message.Msg == WM_SIZE) {
    // The window is taller than the control (its list); keep the height the
    // control was given.
    DefaultHandler(Message);
    RECT r;
    GetWindowRect(FHandle, &r);
    MapWindowPoints(nullptr, GetParent(FHandle), reinterpret_cast<POINT*>(&r), 2);
    FLeft = r.left;
    FTop = r.top;
    FWidth = r.right - r.left;
    return;
  }
  TCustomListControl::Dispatch(Message);
}

// -- TRadioButton ------------------------------------------------------------------------

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FColor = clBtnFace;
  FWidth = 113;
  FHeight = 17;
}

void TRadioButton::CreateParams(TCreateParams& Params) {
  TButtonControl::CreateParams(Params);
  CreateSubClass(Params, "BUTTON");
  // Not the automatic kind: the control checks itself and its siblings, so
  // code and clicks take one path.
  Params.Style |= BS_RADIOBUTTON;
  if (FAlignment == taLeftJustify) Params.Style |= BS_LEFTTEXT;
}

void TRadioButton::InitializeWnd() { SendMessageA(FHandle, BM_SETCHECK, FChecked ? BST_CHECKED : BST_UNCHECKED, 0); }

void TRadioButton::SetChecked(bool value) {
  if (FChecked == value) return;
  FChecked = value;
  // The checked button of a group is the one Tab reaches.
  FTabStop = value;
  if (HandleAllocated()) SendMessageA(FHandle, BM_SETCHECK, value ? BST_CHECKED : BST_UNCHECKED, 0);
  if (!value) return;
  if (FParent) {
    // A handler below may free siblings: walk a copy, and only the living.
    std::vector<TWeakLink<TRadioButton>> siblings;
    for (int i = 0; i < FParent->ControlCount(); ++i)
      if (auto* radio = ObjectAs<TRadioButton>(FParent->Controls(i)); radio && radio != this)
        siblings.emplace_back(radio);
    for (auto& sibling : siblings)
      if (TRadioButton* radio = sibling.Get()) radio->SetChecked(false);
  }
  if (!ComponentState().Contains(csLoading) && !ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment value) {
  if (FAlignment == value) return;
  FAlignment = value;
  RecreateWnd();
}

void TRadioButton::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      switch (HIWORD(Message.WParam)) {
        case BN_CLICKED:
          SetChecked(true);
          break;
        case BN_DOUBLECLICKED:
          DblClick();
          break;
        default:
          break;
      }
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(Message.WParam, Text()) && CanFocus()) {
        SetFocus();
        SetChecked(true);
        Message.Result = 1;
      }
      return;
    default:
      break;
  }
  TButtonControl::Dispatch(Message);
}

// -- TCustomGroupBox ---------------------------------------------------------------------

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
  FControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks, csReplicatable,
                   csParentBackground};
  FColor = clBtnFace;
  FWidth = 185;
  FHeight = 105;
}

int TCustomGroupBox::CaptionHeight() {
  const TScreenDC dc;
  const TSelectObjectGuard font(dc.Get(), FFont.Handle());
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc.Get(), &metrics);
  return metrics.tmHeight;
}

void TCustomGroupBox::AdjustClientRect(RECT& Rect) {
  TCustomControl::AdjustClientRect(Rect);
  Rect.top += CaptionHeight();
  InflateRect(&Rect, -1, -1);
}

void TCustomGroupBox::Paint() {
  TCanvas* canvas = Canvas();
  canvas->Font()->Assign(&FFont);
  HDC dc = canvas->Handle();
  const int height = CaptionHeight();
  RECT frame = ClientRect();
  frame.top += height / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  const AnsiString text = Text();
  if (text.empty()) return;
  RECT caption{0, 0, 0, height};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &caption, DT_SINGLELINE | DT_CALCRECT);
  // The caption sits on the frame's top line, on the box's own colour.
  OffsetRect(&caption, 8, 0);
  caption.right = std::min(caption.right, static_cast<LONG>(ClientWidth() - 8));
  canvas->Brush()->SetColor(FColor);
  canvas->Brush()->SetStyle(bsSolid);
  canvas->FillRect(caption);
  SetBkMode(dc, TRANSPARENT);
  UINT flags = DT_SINGLELINE | DT_LEFT;
  if (!IsControlEnabled()) {
    RECT shifted = caption;
    OffsetRect(&shifted, 1, 1);
    SetTextColor(dc, ColorToRGB(clBtnHighlight));
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &shifted, flags);
    SetTextColor(dc, ColorToRGB(clBtnShadow));
  } else {
    SetTextColor(dc, ColorToRGB(FFont.Color()));
  }
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &caption, flags);
}

void TCustomGroupBox::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CM_TEXTCHANGED:
      Invalidate();
      return;
    case CM_FONTCHANGED:
      TCustomControl::Dispatch(Message);
      Realign();
      return;
    case CM_DIALOGCHAR:
      // The accelerator of the caption moves to the first control inside.
      if (IsAccel(Message.WParam, Text()) && CanFocus()) {
        SelectNext(this, true, true);
        Message.Result = 1;
        return;
      }
      break;
    default:
      break;
  }
  TCustomControl::Dispatch(Message);
}

// -- TScrollBar ---------------------------------------------------------------------------

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = {csFramed, csDoubleClicks, csOpaque};
  FTabStop = true;
  FColor = clBtnFace;
  FWidth = 121;
  FHeight = GetSystemMetrics(SM_CYHSCROLL);
}

void TScrollBar::CreateParams(TCreateParams& Params) {
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "SCROLLBAR");
  Params.Style |= FKind == sbHorizontal ? SBS_HORZ : SBS_VERT;
}

void TScrollBar::InitializeWnd() { ApplyScrollInfo(); }

void TScrollBar::ApplyScrollInfo() {
  if (!FHandle) return;
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  info.nMin = FMin;
  info.nMax = FMax;
  info.nPage = static_cast<UINT>(FPageSize);
  info.nPos = FPosition;
  SetScrollInfo(FHandle, SB_CTL, &info, TRUE);
}

int TScrollBar::TopPosition() const { return FPageSize > 0 ? std::max(FMin, FMax - FPageSize + 1) : FMax; }

void TScrollBar::SetKind(TScrollBarKind value) {
  if (FKind == value) return;
  FKind = value;
  // A bar turned on its side keeps its shape: width and height change places.
  if (!ComponentState().Contains(csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
  RecreateWnd();
}

void TScrollBar::SetPageSize(int value) {
  value = std::max(value, 0);
  if (value > FMax - FMin + 1) throw EInvalidOperation("Property value out of range");
  if (FPageSize == value) return;
  FPageSize = value;
  FPosition = std::clamp(FPosition, FMin, TopPosition());
  ApplyScrollInfo();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
  if (AMax < AMin) throw EInvalidOperation("Property value out of range");
  FMin = AMin;
  FMax = AMax;
  if (FPageSize > FMax - FMin + 1) FPageSize = FMax - FMin + 1;
  const int position = std::clamp(APosition, FMin, TopPosition());
  const bool moved = position != FPosition;
  FPosition = position;
  ApplyScrollInfo();
  if (moved) Change();
}

void TScrollBar::DoScroll(WPARAM wParam) {
  const int code = LOWORD(wParam);
  int pos = FPosition;
  TScrollCode scrollCode = scEndScroll;
  switch (code) {
    case SB_LINEUP:
      scrollCode = scLineUp;
      pos -= FSmallChange;
      break;
    case SB_LINEDOWN:
      scrollCode = scLineDown;
      pos += FSmallChange;
      break;
    case SB_PAGEUP:
      scrollCode = scPageUp;
      pos -= FLargeChange;
      break;
    case SB_PAGEDOWN:
      scrollCode = scPageDown;
      pos += FLargeChange;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: {
      scrollCode = code == SB_THUMBTRACK ? scTrack : scPosition;
      // The 16 bits of the message would cut long ranges: the bar knows all 32.
      SCROLLINFO info{};
      info.cbSize = sizeof info;
      info.fMask = SIF_TRACKPOS;
      pos = GetScrollInfo(FHandle, SB_CTL, &info) ? info.nTrackPos : static_cast<int>(HIWORD(wParam));
      break;
    }
    case SB_TOP:
      scrollCode = scTop;
      pos = FMin;
      break;
    case SB_BOTTOM:
      scrollCode = scBottom;
      pos = FMax;
      break;
    case SB_ENDSCROLL:
      break;
    default:
      return;
  }
  pos = std::clamp(pos, FMin, TopPosition());
  TWeakLink<TScrollBar> alive(this);
  Scroll(scrollCode, pos);
  if (!alive.Get()) return;
  SetPosition(pos);
}

void TScrollBar::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_HSCROLL:
    case CN_VSCROLL:
      DoScroll(Message.WParam);
      Message.Result = 0;
      return;
    case CN_CTLCOLORSCROLLBAR:
      Message.Result = CallWindowProcA(DefWindowProcA, FHandle, WM_CTLCOLORSCROLLBAR, Message.WParam, Message.LParam);
      return;
    default:
      break;
  }
  TWinControl::Dispatch(Message);
}

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo TextLayoutNames{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
const TEnumInfo StaticBorderStyleNames{"TStaticBorderStyle", {"sbsNone", "sbsSingle", "sbsSunken"}};
const TEnumInfo CheckBoxStateNames{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
const TEnumInfo EditCharCaseNames{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
const TEnumInfo ComboBoxStyleNames{"TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"}};
const TEnumInfo ImeModeNames{"TImeMode",
                             {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
                              "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"}};
const TEnumInfo ScrollBarKindNames{"TScrollBarKind", {"sbHorizontal", "sbVertical"}};

TPropInfo CaptionProperty() { return Property<&TControl::Caption, &TControl::SetCaption>("Caption"); }
TPropInfo TextProperty() { return Property<&TControl::Text, &TControl::SetText>("Text"); }
// The controls that take the focus by Tab unless told otherwise.
TPropInfo FocusedByTab() { return Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(true); }

// Checked says all for two states; State is kept for the third.
bool CheckBoxStateStored(TObject* o) { return static_cast<TCheckBox*>(o)->State() == cbGrayed; }

const TPublishedRegistration labelRegistration(&TCustomLabel::ClassInfo, {
    CaptionProperty(),
    Property<&TCustomLabel::Alignment, &TCustomLabel::SetAlignment>("Alignment", AlignmentNames)
        .Default(taLeftJustify),
    Property<&TCustomLabel::Layout, &TCustomLabel::SetLayout>("Layout", TextLayoutNames).Default(tlTop),
    Property<&TCustomLabel::AutoSize, &TCustomLabel::SetAutoSize>("AutoSize").Default(true),
    Property<&TCustomLabel::WordWrap, &TCustomLabel::SetWordWrap>("WordWrap").Default(false),
    Property<&TCustomLabel::Transparent, &TCustomLabel::SetTransparent>("Transparent").Default(true),
    Property<&TCustomLabel::ShowAccelChar, &TCustomLabel::SetShowAccelChar>("ShowAccelChar").Default(true),
    Property<&TCustomLabel::FocusControl, &TCustomLabel::SetFocusControl>("FocusControl"),
});
const TPublishedRegistration labelClassRegistration(&TLabel::ClassInfo, {});

const TPublishedRegistration staticTextRegistration(&TStaticText::ClassInfo, {
    CaptionProperty(),
    Property<&TStaticText::Alignment, &TStaticText::SetAlignment>("Alignment", AlignmentNames)
        .Default(taLeftJustify),
    Property<&TStaticText::BorderStyle, &TStaticText::SetBorderStyle>("BorderStyle", StaticBorderStyleNames)
        .Default(sbsNone),
});

const TPublishedRegistration buttonRegistration(&TButton::ClassInfo, {
    CaptionProperty(),
    FocusedByTab(),
    Property<&TButton::Default, &TButton::SetDefault>("Default").Default(false),
    Property<&TButton::Cancel, &TButton::SetCancel>("Cancel").Default(false),
    Property<&TButton::ModalResult, &TButton::SetModalResult>("ModalResult").Default(mrNone),
});

const TPublishedRegistration checkBoxRegistration(&TCheckBox::ClassInfo, {
    CaptionProperty(),
    FocusedByTab(),
    Property<&TCheckBox::AllowGrayed, &TCheckBox::SetAllowGrayed>("AllowGrayed").Default(false),
    Property<&TCheckBox::Alignment, &TCheckBox::SetAlignment>("Alignment", AlignmentNames).Default(taRightJustify),
    Property<&TCheckBox::Checked, &TCheckBox::SetChecked>("Checked").Default(false),
    StoredWhen(Property<&TCheckBox::State, &TCheckBox::SetState>("State", CheckBoxStateNames), CheckBoxStateStored),
});

// A memo's text is its lines.
bool EditTextStored(TObject* o) { return !o->InheritsFrom(&TCustomMemo::ClassInfo); }

const TPublishedRegistration customEditRegistration(&TCustomEdit::ClassInfo, {
    StoredWhen(TextProperty(), EditTextStored),
    FocusedByTab(),
    Property<&TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength>("MaxLength").Default(0),
    Property<&TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar>("PasswordChar").Default(0),
    Property<&TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly>("ReadOnly").Default(false),
    Property<&TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect>("AutoSelect").Default(true),
    Property<&TCustomEdit::CharCase, &TCustomEdit::SetCharCase>("CharCase", EditCharCaseNames).Default(ecNormal),
    Property<&TCustomEdit::OEMConvert, &TCustomEdit::SetOEMConvert>("OEMConvert").Default(false),
    Property<&TCustomEdit::HideSelection, &TCustomEdit::SetHideSelection>("HideSelection").Default(true),
    Property<&TCustomEdit::ImeMode, &TCustomEdit::SetImeMode>("ImeMode", ImeModeNames).Default(imDontCare),
    Property<&TCustomEdit::ImeName, &TCustomEdit::SetImeName>("ImeName"),
    Event<&TCustomEdit::OnChange>("OnChange"),
});
const TPublishedRegistration editRegistration(&TEdit::ClassInfo, {});
const TPublishedRegistration customMaskEditRegistration(&TCustomMaskEdit::ClassInfo, {});
const TPublishedRegistration maskEditRegistration(&TMaskEdit::ClassInfo, {});

const TPublishedRegistration radioButtonRegistration(&TRadioButton::ClassInfo, {
    CaptionProperty(),
    Property<&TRadioButton::Alignment, &TRadioButton::SetAlignment>("Alignment", AlignmentNames)
        .Default(taRightJustify),
    Property<&TRadioButton::Checked, &TRadioButton::SetChecked>("Checked").Default(false),
    // The checked button of a group is the one Tab reaches: written as set.
    Property<&TWinControl::TabStop, &TWinControl::SetTabStop>("TabStop").Default(false),
});

const TPublishedRegistration customGroupBoxRegistration(&TCustomGroupBox::ClassInfo, {
    CaptionProperty(),
});
const TPublishedRegistration groupBoxRegistration(&TGroupBox::ClassInfo, {});

// Kind before the range and position: turning the bar swaps its sides.
const TPublishedRegistration scrollBarRegistration(&TScrollBar::ClassInfo, {
    FocusedByTab(),
    Property<&TScrollBar::Kind, &TScrollBar::SetKind>("Kind", ScrollBarKindNames).Default(sbHorizontal),
    Property<&TScrollBar::Max, &TScrollBar::SetMax>("Max").Default(100),
    Property<&TScrollBar::Min, &TScrollBar::SetMin>("Min").Default(0),
    Property<&TScrollBar::PageSize, &TScrollBar::SetPageSize>("PageSize").Default(0),
    Property<&TScrollBar::Position, &TScrollBar::SetPosition>("Position").Default(0),
    Property<&TScrollBar::SmallChange, &TScrollBar::SetSmallChange>("SmallChange").Default(1),
    Property<&TScrollBar::LargeChange, &TScrollBar::SetLargeChange>("LargeChange").Default(1),
    Event<&TScrollBar::OnChange>("OnChange"),
    Event<&TScrollBar::OnScroll>("OnScroll"),
});

// Items before ItemIndex: the index is read once there is something to select.
const TPublishedRegistration listControlRegistration(&TCustomListControl::ClassInfo, {
    FocusedByTab(),
    Property<&TCustomListControl::Sorted, &TCustomListControl::SetSorted>("Sorted").Default(false),
    Property<&TCustomListControl::Items>("Items"),
    Property<&TCustomListControl::ItemIndex, &TCustomListControl::SetItemIndex>("ItemIndex").Default(-1),
});

const TPublishedRegistration comboBoxRegistration(&TComboBox::ClassInfo, {
    Property<&TComboBox::Style, &TComboBox::SetStyle>("Style", ComboBoxStyleNames).Default(csDropDown),
    Property<&TComboBox::DropDownCount, &TComboBox::SetDropDownCount>("DropDownCount").Default(8),
    TextProperty(),
    Event<&TComboBox::OnChange>("OnChange"),
    Event<&TComboBox::OnSelect>("OnSelect"),
    Event<&TComboBox::OnDropDown>("OnDropDown"),
    Event<&TComboBox::OnCloseUp>("OnCloseUp"),
});

}  // namespace
