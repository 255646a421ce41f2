#include "platform/StdCtrls.h"

#include "platform/ActnList.h"
#include "platform/ControlsProperties.h"
#include "platform/Forms.h"

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
const TClassInfo TCustomListControl::ClassInfo{"TCustomListControl", &TWinControl::ClassInfo, nullptr};
MEVRA_CLASS(TListBox, TCustomListControl);
MEVRA_CLASS(TComboBox, TCustomListControl);

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
}

void TButton::SetDefault(bool value) {
  if (FDefault == value) return;
  FDefault = value;
  if (HandleAllocated()) SendMessageA(FHandle, BM_SETSTYLE, value ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON, TRUE);
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
  Params.ExStyle |= WS_EX_CLIENTEDGE;
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
      if (FAutoSelect && !(GetKeyState(VK_LBUTTON) < 0)) SelectAll();
      break;
    case CM_TEXTCHANGED:
      return;  // the window's own EN_CHANGE reports it
    default:
      break;
  }
  TWinControl::Dispatch(Message);
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
  FItemIndex = ItemIndex();
  if (FItemIndex >= FItems.Count()) FItemIndex = -1;
  SendMessageA(FHandle, WM_SETREDRAW, FALSE, 0);
  InitializeWnd();
  SendMessageA(FHandle, WM_SETREDRAW, TRUE, 0);
  Invalidate();
}

TListBox::TListBox(TComponent* AOwner) : TCustomListControl(AOwner) {
  FControlStyle = {csSetCaption, csDoubleClicks};
  FWidth = 121;
  FHeight = 97;
}

void TListBox::CreateParams(TCreateParams& Params) {
  TCustomListControl::CreateParams(Params);
  CreateSubClass(Params, "LISTBOX");
  Params.Style |= LBS_NOTIFY | LBS_HASSTRINGS | WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
  Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TListBox::Dispatch(TMessage& Message) {
  if (Message.Msg == CN_COMMAND) {
    if (HIWORD(Message.WParam) == LBN_SELCHANGE) Click();
    if (HIWORD(Message.WParam) == LBN_DBLCLK) DblClick();
    return;
  }
  TCustomListControl::Dispatch(Message);
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

// -- Published properties -------------------------------------------------------

namespace {

const TEnumInfo TextLayoutNames{"TTextLayout", {"tlTop", "tlCenter", "tlBottom"}};
const TEnumInfo StaticBorderStyleNames{"TStaticBorderStyle", {"sbsNone", "sbsSingle", "sbsSunken"}};
const TEnumInfo CheckBoxStateNames{"TCheckBoxState", {"cbUnchecked", "cbChecked", "cbGrayed"}};
const TEnumInfo EditCharCaseNames{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
const TEnumInfo ComboBoxStyleNames{"TComboBoxStyle", {"csDropDown", "csSimple", "csDropDownList"}};

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

const TPublishedRegistration customEditRegistration(&TCustomEdit::ClassInfo, {
    TextProperty(),
    FocusedByTab(),
    Property<&TCustomEdit::MaxLength, &TCustomEdit::SetMaxLength>("MaxLength").Default(0),
    Property<&TCustomEdit::PasswordChar, &TCustomEdit::SetPasswordChar>("PasswordChar").Default(0),
    Property<&TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly>("ReadOnly").Default(false),
    Property<&TCustomEdit::AutoSelect, &TCustomEdit::SetAutoSelect>("AutoSelect").Default(true),
    Property<&TCustomEdit::CharCase, &TCustomEdit::SetCharCase>("CharCase", EditCharCaseNames).Default(ecNormal),
    Event<&TCustomEdit::OnChange>("OnChange"),
});
const TPublishedRegistration editRegistration(&TEdit::ClassInfo, {});

// Items before ItemIndex: the index is read once there is something to select.
const TPublishedRegistration listControlRegistration(&TCustomListControl::ClassInfo, {
    FocusedByTab(),
    Property<&TCustomListControl::Sorted, &TCustomListControl::SetSorted>("Sorted").Default(false),
    Property<&TCustomListControl::Items>("Items"),
    Property<&TCustomListControl::ItemIndex, &TCustomListControl::SetItemIndex>("ItemIndex").Default(-1),
});
const TPublishedRegistration listBoxRegistration(&TListBox::ClassInfo, {});

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
