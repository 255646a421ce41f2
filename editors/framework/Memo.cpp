#include "editors/framework/Memo.h"

#include "editors/framework/EditConsts.h"
#include "editors/framework/EditStrings.h"
#include "editors/framework/FilterEditHelpers.h"
#include "platform/CodePage.h"
#include "platform/ControlsProperties.h"
#include "platform/Properties.h"

#include <algorithm>

const TClassInfo TcxCustomInnerMemo::ClassInfo{"TcxCustomInnerMemo", &TcxCustomInnerTextEdit::ClassInfo, nullptr};
const TClassInfo TcxCustomMemoProperties::ClassInfo{
    "TcxCustomMemoProperties", &TcxCustomTextEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxCustomMemoProperties(static_cast<TPersistent*>(owner)); }};
const TClassInfo TcxMemoProperties::ClassInfo{
    "TcxMemoProperties", &TcxCustomMemoProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxMemoProperties(static_cast<TPersistent*>(owner)); }};
const TClassInfo TcxCustomMemoViewInfo::ClassInfo{"TcxCustomMemoViewInfo", &TcxCustomTextEditViewInfo::ClassInfo,
                                                  nullptr};
const TClassInfo TcxCustomMemoViewData::ClassInfo{"TcxCustomMemoViewData", &TcxCustomTextEditViewData::ClassInfo,
                                                  nullptr};
const TClassInfo TcxCustomMemo::ClassInfo{"TcxCustomMemo", &TcxCustomTextEdit::ClassInfo, nullptr};
const TClassInfo TcxMemo::ClassInfo{"TcxMemo", &TcxCustomMemo::ClassInfo, [](TObject* owner) -> TObject* {
                                      return new TcxMemo(static_cast<TComponent*>(owner));
                                    }};

namespace {

// The one-line display form's limit, in characters.
constexpr int kOneLineLimit = 250;

bool HasHorzBar(TScrollStyle bars) { return bars == ssHorizontal || bars == ssBoth; }
bool HasVertBar(TScrollStyle bars) { return bars == ssVertical || bars == ssBoth; }

}  // namespace

AnsiString NormalizeMemoLineBreaks(const AnsiString& text) {
  AnsiString result;
  result.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    const bool hasNext = i + 1 < text.size();
    if (c == '\n' && hasNext && text[i + 1] == '\r') {
      result += "\r\n\r\n";
      ++i;
    } else if (c == '\r' && hasNext && text[i + 1] == '\n') {
      result += "\r\n";
      ++i;
    } else {
      result += c;
    }
  }
  return result;
}

// -- Inner memo -------------------------------------------------------------------------------------

TcxCustomInnerMemo::TcxCustomInnerMemo(TComponent* owner) : TcxCustomInnerTextEdit(owner) {}

TcxCustomMemo* TcxCustomInnerMemo::Memo() const { return dynamic_cast<TcxCustomMemo*>(Owner()); }

void TcxCustomInnerMemo::CreateParams(TCreateParams& Params) {
  TcxCustomInnerTextEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (FWordWrap && !HasHorzBar(FScrollBars)) Params.Style &= ~static_cast<DWORD>(ES_AUTOHSCROLL);
  if (HasHorzBar(FScrollBars)) Params.Style |= WS_HSCROLL;
  if (HasVertBar(FScrollBars)) Params.Style |= WS_VSCROLL;
  // Only what changed is painted again when the memo is resized.
  Params.WindowClass.style &= ~static_cast<UINT>(CS_VREDRAW);
  if (HasHorzBar(FScrollBars) || !FWordWrap) Params.WindowClass.style &= ~static_cast<UINT>(CS_HREDRAW);
}

void TcxCustomInnerMemo::SetDefaultMargins() {
  if (HandleAllocated()) SendMessageA(Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

POINT TcxCustomInnerMemo::CaretPos() {
  if (!HandleAllocated()) return POINT{0, 0};
  DWORD start = 0, end = 0;
  SendMessageA(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const LRESULT row = SendMessageA(Handle(), EM_LINEFROMCHAR, end, 0);
  const LRESULT first = SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(row), 0);
  return POINT{static_cast<LONG>(end) - static_cast<LONG>(first), static_cast<LONG>(row)};
}

void TcxCustomInnerMemo::SetCaretPos(POINT value) {
  if (!HandleAllocated()) return;
  const LRESULT first = SendMessageA(Handle(), EM_LINEINDEX, static_cast<WPARAM>(std::max<LONG>(value.y, 0)), 0);
  if (first < 0) return;
  const WPARAM at = static_cast<WPARAM>(first + std::max<LONG>(value.x, 0));
  SendMessageA(Handle(), EM_SETSEL, at, static_cast<LPARAM>(at));
  SendMessageA(Handle(), EM_SCROLLCARET, 0, 0);
}

void TcxCustomInnerMemo::KeyPress(char& Key) {
  // The characters the window procedure let through: they are the memo's.
  if ((Key != '\r' && Key != '\n' && Key != '\t') || !Owner()) {
    TcxCustomInnerTextEdit::KeyPress(Key);
    return;
  }
  TWeakLink<TControl> self(this);
  SetOwnerHandled(false);
  Owner()->InnerKeyPress(Key);
  if (!self.Get()) return;
  if (Key == 0) {
    SetOwnerHandled(true);
    return;
  }
  TCustomEdit::KeyPress(Key);
}

void TcxCustomInnerMemo::SetScrollBars(TScrollStyle value) {
  if (FScrollBars == value) return;
  FScrollBars = value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomInnerMemo::SetWordWrap(bool value) {
  if (FWordWrap == value) return;
  FWordWrap = value;
  if (HandleAllocated()) RecreateWnd();
}

void TcxCustomInnerMemo::PaintScrollBarCorner() {
  if (FScrollBars != ssBoth || !HandleAllocated()) return;
  SCROLLBARINFO horz{}, vert{};
  horz.cbSize = vert.cbSize = sizeof(SCROLLBARINFO);
  if (!GetScrollBarInfo(Handle(), OBJID_HSCROLL, &horz) || !GetScrollBarInfo(Handle(), OBJID_VSCROLL, &vert)) return;
  RECT window{};
  GetWindowRect(Handle(), &window);
  RECT corner{vert.rcScrollBar.left, horz.rcScrollBar.top, vert.rcScrollBar.right, horz.rcScrollBar.bottom};
  OffsetRect(&corner, -window.left, -window.top);
  if (IsRectEmpty(&corner)) return;
  HDC dc = GetWindowDC(Handle());
  if (!dc) return;
  HBRUSH brush = CreateSolidBrush(ColorToRGB(clBtnFace));
  FillRect(dc, &corner, brush);
  DeleteObject(brush);
  ReleaseDC(Handle(), dc);
}

void TcxCustomInnerMemo::WndProc(TMessage& Message) {
  TWeakLink<TControl> self(this);
  TcxCustomMemo* memo = Memo();
  switch (Message.Msg) {
    case CM_WANTSPECIALKEY:
      // Enter types a line break when the memo wants returns or Ctrl is
      // held; otherwise it goes to the form (its default button).
      if (Message.WParam == VK_RETURN) {
        Message.Result = FWantReturns || GetKeyState(VK_CONTROL) < 0 ? 1 : 0;
        return;
      }
      break;
    case WM_GETDLGCODE: {
      // Asked without the key message: told of one, the EDIT would take
      // itself for a dialog's.
      Message.Result = CallDefault(WM_GETDLGCODE, Message.WParam, 0);
      Message.Result &= ~static_cast<LRESULT>(DLGC_WANTALLKEYS | DLGC_WANTTAB);
      Message.Result |= DLGC_WANTCHARS;
      if (memo && memo->WantsTabKey() && GetKeyState(VK_CONTROL) >= 0) Message.Result |= DLGC_WANTTAB;
      if (memo && memo->InPlace()) Message.Result |= DLGC_WANTALLKEYS;
      return;
    }
    case WM_CHAR: {
      const char ch = static_cast<char>(Message.WParam);
      const bool ctrl = GetKeyState(VK_CONTROL) < 0;
      // A return the memo does not want, and a tab it does not type.
      if ((ch == '\r' && !FWantReturns && !ctrl) || (ch == '\t' && !FWantTabs && !ctrl)) {
        Message.Result = 0;
        return;
      }
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP:
      if (Message.WParam == VK_TAB && !FWantTabs) {
        Message.Result = 0;
        return;
      }
      break;
    case EM_REPLACESEL: {
      const char* text = reinterpret_cast<const char*>(Message.LParam);
      const AnsiString normalized = NormalizeMemoLineBreaks(text ? AnsiString(text) : AnsiString());
      Message.Result = CallDefault(EM_REPLACESEL, Message.WParam, reinterpret_cast<LPARAM>(normalized.c_str()));
      if (self.Get() && memo) memo->SyncEditValueFromText();
      return;
    }
    case WM_NCPAINT:
      // The EDIT has no border of its own; its scroll bars are painted by
      // the system, the corner between two of them here.
      Message.Result = CallDefault(WM_NCPAINT, Message.WParam, Message.LParam);
      if (self.Get()) PaintScrollBarCorner();
      return;
    case CM_TEXTCHANGED:
      // Lines set before the window exists (a form being read) become the
      // value; with a window the value is read from it.
      TcxCustomInnerTextEdit::WndProc(Message);
      if (self.Get() && memo && !HandleAllocated() && FTextSetting == 0) {
        ++FTextSetting;
        memo->SyncEditValueFromText();
        if (self.Get()) --FTextSetting;
      }
      return;
    case WM_SETFONT:
      TcxCustomInnerTextEdit::WndProc(Message);
      if (self.Get()) SetDefaultMargins();
      return;
    case WM_WINDOWPOSCHANGED:
      TcxCustomInnerTextEdit::WndProc(Message);
      if (self.Get() && HandleAllocated() && FScrollBars != ssNone)
        RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return;
    default:
      break;
  }
  TcxCustomInnerTextEdit::WndProc(Message);
}

// -- Properties -------------------------------------------------------------------------------------

TcxCustomMemoProperties::TcxCustomMemoProperties(TPersistent* owner) : TcxCustomTextEditProperties(owner) {
  LockChanges();
  Alignment()->SetVert(taTopJustify);
  SetAutoSelect(false);
  UnlockChanges(false);
}

void TcxCustomMemoProperties::CopyFrom(TPersistent* source) {
  TcxCustomTextEditProperties::CopyFrom(source);
  auto* s = ObjectAs<TcxCustomMemoProperties>(source);
  if (!s) return;
  LockChanges();
  try {
    SetScrollBars(s->FScrollBars);
    SetVisibleLineCount(s->FVisibleLineCount);
    SetWantReturns(s->FWantReturns);
    SetWantTabs(s->FWantTabs);
    SetWordWrap(s->FWordWrap);
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

AnsiString TcxCustomMemoProperties::MemoDisplayText(const TcxEditValue& value, bool fullText) const {
  AnsiString text = TcxCustomTextEditProperties::DisplayTextOf(value, true);
  if (fullText) return text;
  const size_t lineEnd = text.find_first_of("\r\n");
  if (lineEnd != AnsiString::npos) text.erase(lineEnd);
  // At most the limit in characters: a double-byte character counts once.
  size_t i = 0;
  for (int seen = 0; i < text.size() && seen < kOneLineLimit; ++seen)
    i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  text.erase(i);
  return text;
}

// -- View -------------------------------------------------------------------------------------------

void TcxCustomMemoViewInfo::PaintText(TcxCanvas* canvas) {
  // No selection bar: the text colour always.
  const bool bar = SelectionBar;
  SelectionBar = false;
  TcxCustomTextEditViewInfo::PaintText(canvas);
  SelectionBar = bar;
}

uint32_t TcxCustomMemoViewData::TextDrawFlags() {
  TcxCustomMemoProperties* p = MemoProperties();
  const bool wraps = p && !HasHorzBar(p->ScrollBars()) && p->WordWrap();
  uint32_t flags = wraps ? cxtfWordBreak | cxtfWholeRows | cxtfCharBreak : cxtfWholeRows;
  if (p) {
    if (p->Alignment()->Horz() == taRightJustify) flags |= cxtfRight;
    else if (p->Alignment()->Horz() == taCenter) flags |= cxtfCenterHorz;
  }
  return flags | cxtfExpandTabs | cxtfLeftBound;
}

int TcxCustomMemoViewData::MaxLineCount() {
  TcxCustomMemoProperties* p = MemoProperties();
  return p && p->VisibleLineCount() > 0 ? p->VisibleLineCount() : 0;
}

SIZE TcxCustomMemoViewData::DefaultContentSize(TcxCanvas* canvas) {
  SIZE size = TcxCustomTextEditViewData::DefaultContentSize(canvas);
  TcxCustomMemoProperties* p = MemoProperties();
  if (!canvas || !p) return size;
  if (Edit && HasHorzBar(p->ScrollBars())) size.cy += GetSystemMetrics(SM_CYHSCROLL);
  if (p->VisibleLineCount() > 0) {
    canvas->SetFont(Style->GetFont());
    const RECT margins = TextOffsets();
    size.cy = std::max<LONG>(size.cy, margins.top + margins.bottom + p->VisibleLineCount() * canvas->HeightOfText("Zg"));
  }
  return size;
}

// -- Memo -------------------------------------------------------------------------------------------

TcxCustomMemo::TcxCustomMemo(TComponent* owner, bool inPlace) : TcxCustomTextEdit(owner, inPlace) {}

void TcxCustomMemo::AfterConstruction() {
  TcxCustomTextEdit::AfterConstruction();
  SetBeepOnEnter(false);
  SetBounds(Left(), Top(), 185, 89);
}

TWinControl* TcxCustomMemo::CreateInnerControl() {
  auto* inner = New<TcxCustomInnerMemo>(this);
  inner->SetParent(this);
  return inner;
}

TcxCustomEditViewData* TcxCustomMemo::CreateViewData(TcxCustomEditProperties* p, TcxCustomEditStyle* s,
                                                     bool inPlace) {
  return new TcxCustomMemoViewData(p, s, inPlace);
}

TStrings* TcxCustomMemo::Lines() const {
  TcxCustomInnerMemo* inner = InnerMemo();
  return inner ? inner->Lines() : nullptr;
}

void TcxCustomMemo::SetLines(TStrings* value) {
  if (TStrings* lines = Lines()) lines->Assign(value);
}

bool TcxCustomMemo::IsMemoEditingKey(WORD key, TShiftState shift, bool forceTab) {
  TcxCustomMemoProperties* p = ActiveProperties();
  if (key == VK_RETURN) return p->WantReturns() || shift.Contains(ssCtrl);
  if (key == VK_TAB) return p->WantTabs() || forceTab;
  return false;
}

bool TcxCustomMemo::IsEditingKey(WORD key, TShiftState shift) {
  return TcxCustomTextEdit::IsEditingKey(key, shift) || IsMemoEditingKey(key, shift, false);
}

bool TcxCustomMemo::WantsTabKey() { return TcxCustomTextEdit::WantsTabKey() || ActiveProperties()->WantTabs(); }

bool TcxCustomMemo::AutoSizeWanted() {
  return TcxCustomTextEdit::AutoSizeWanted() && ActiveProperties()->VisibleLineCount() >= 1;
}

void TcxCustomMemo::PlaceInnerControl() {
  TcxCustomInnerMemo* inner = InnerMemo();
  if (!inner) return;
  // The EDIT's own edge falls outside the visible area.
  RECT wanted = EditViewInfo()->ClientRect;
  InflateRect(&wanted, 2, 2);
  const RECT current = inner->BoundsRect();
  if (!EqualRect(&current, &wanted)) inner->SetBoundsRect(wanted);
}

void TcxCustomMemo::ProcessKey(WORD& key, TShiftState shift) {
  TcxCustomTextEdit::ProcessKey(key, shift);
  if (key != 'A' || !shift.Contains(ssCtrl) || shift.Contains(ssShift) || shift.Contains(ssAlt)) return;
  TStrings* lines = Lines();
  if (!lines || lines->Count() < 1) return;
  SelectAllText();
  FireKeyEvent(key, shift);
  key = 0;
  if (HandleAllocated()) DiscardPendingMessages(InnerMemo()->Handle(), WM_CHAR, WM_CHAR, true);
}

void TcxCustomMemo::ApplyProperties(TcxCustomEditProperties* properties) {
  auto* p = ObjectAs<TcxCustomMemoProperties>(properties);
  TcxCustomInnerMemo* inner = InnerMemo();
  if (p && inner) {
    inner->SetScrollBars(p->ScrollBars());
    inner->SetWantReturns(p->WantReturns());
    inner->SetWantTabs(p->WantTabs());
    inner->SetWordWrap(p->WordWrap());
  }
  TcxCustomTextEdit::ApplyProperties(properties);
  if (AutoSizeWanted()) AlignInnerControl();
}

// -- Published entries and the unit -----------------------------------------------------------------

namespace {

const TEnumInfo MemoScrollStyleNames{"TScrollStyle", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
const TEnumInfo MemoCharCaseNames{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
const TEnumInfo MemoImeModes{"TImeMode",
                             {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira",
                              "imSKata", "imKata", "imChinese", "imSHanguel", "imHanguel"}};

using P = TcxCustomMemoProperties;
const TPublishedRegistration memoPropertiesRegistration(&TcxMemoProperties::ClassInfo, {
    Property<&P::MemoAlignment, &P::SetMemoAlignment>("Alignment", AlignmentNames)
        .Stored<&P::IsMemoAlignmentStored>(),
    cxEditPublished::AssignedValues(),
    Property<&P::AutoSelect, &P::SetAutoSelect>("AutoSelect").Default(false),
    Property<&P::CharCase, &P::SetCharCase>("CharCase", MemoCharCaseNames).Default(ecNormal),
    cxEditPublished::ClearKey(),
    Property<&P::HideSelection, &P::SetHideSelection>("HideSelection").Default(true),
    Property<&P::ImeMode, &P::SetImeMode>("ImeMode", MemoImeModes).Default(imDontCare),
    Property<&P::ImeName, &P::SetImeName>("ImeName"),
    Property<&P::MaxLength, &P::SetMaxLength>("MaxLength").NoDefault().Stored<&P::IsMaxLengthStored>(),
    Property<&P::OEMConvert, &P::SetOEMConvert>("OEMConvert").Default(false),
    cxEditPublished::ReadOnly(),
    Property<&P::ScrollBars, &P::SetScrollBars>("ScrollBars", MemoScrollStyleNames).Default(ssNone),
    Property<&P::VisibleLineCount, &P::SetVisibleLineCount>("VisibleLineCount").Default(0),
    Property<&P::WantReturns, &P::SetWantReturns>("WantReturns").Default(true),
    Property<&P::WantTabs, &P::SetWantTabs>("WantTabs").Default(false),
    Property<&P::WordWrap, &P::SetWordWrap>("WordWrap").Default(true),
    cxEditPublished::OnChange(),
    cxEditPublished::OnEditValueChanged(),
    cxEditPublished::OnValidate(),
});

bool LinesStored(TObject* o) {
  TStrings* lines = static_cast<TcxMemo*>(o)->Lines();
  return lines && lines->Count() > 0;
}

using M = TcxMemo;
const TPublishedRegistration memoRegistration(&TcxMemo::ClassInfo, {
    Property<&M::Properties, &M::SetProperties>("Properties"),
    StoredWhen(Property<&M::Lines, &M::SetLines>("Lines"), LinesStored),
});

const bool memoClassesRegistered = [] {
  RegisterEditPropertiesClasses(&TcxCustomMemoProperties::ClassInfo,
                                TcxEditPropertiesClasses{&TcxMemo::ClassInfo, &TcxCustomMemoViewData::ClassInfo,
                                                         &TcxCustomMemoViewInfo::ClassInfo, nullptr, nullptr,
                                                         nullptr});
  return true;
}();

}  // namespace

void cxMemoInit() {
  (void)memoClassesRegistered;
  RegisterClass(&TcxMemo::ClassInfo);
  RegisteredPropertiesClasses()->EnrolClass(&TcxMemoProperties::ClassInfo, LoadResString(cxSEditRepositoryMemoItem));
  FilterEditsController()->AddPair(&TcxMemoProperties::ClassInfo, &TcxFilterMemoHelper::ClassInfo);
}

void cxMemoDone() {
  if (FilterEditsControllerExists())
    FilterEditsController()->RemovePair(&TcxMemoProperties::ClassInfo, &TcxFilterMemoHelper::ClassInfo);
  UnRegisterClass(&TcxMemo::ClassInfo);
  RegisteredPropertiesClasses()->WithdrawClass(&TcxMemoProperties::ClassInfo);
}
