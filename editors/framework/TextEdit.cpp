// The text edit: its value and text, keys and characters with lookup
// completion, insertions checked against the maximum length, the clipboard
// and the text messages of its window.
#include "editors/framework/TextEdit.h"

#include "foundation/Graphics.h"
#include "platform/Clipboard.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/ControlsProperties.h"
#include "platform/Forms.h"

#include <algorithm>
#include <cstring>

const TClassInfo TcxCustomTextEdit::ClassInfo{"TcxCustomTextEdit", &TcxCustomEdit::ClassInfo, nullptr};
const TClassInfo TcxTextEdit::ClassInfo{"TcxTextEdit", &TcxCustomTextEdit::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TcxTextEdit(static_cast<TComponent*>(owner));
                                        }};

namespace {

// The number of characters (not bytes) of a text in the system code page.
int WideLength(const AnsiString& text) { return CharCount(text); }

// The bytes of the character starting at byte `i` (a lead byte cut off at
// the end counts alone).
size_t CharBytesAt(const AnsiString& text, size_t i) {
  return IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// The bytes of the first `count` characters.
size_t BytesOfChars(const AnsiString& text, int count) {
  size_t i = 0;
  for (int seen = 0; i < text.size() && seen < count; ++seen) i += CharBytesAt(text, i);
  return i;
}

// The text without its last whole character.
AnsiString WithoutLastChar(const AnsiString& text) {
  size_t last = 0;
  for (size_t i = 0; i < text.size(); i += CharBytesAt(text, i)) last = i;
  return text.substr(0, last);
}

// Whether the text ends in a lead byte without its second half.
bool EndsInHalfChar(const AnsiString& text) {
  size_t i = 0;
  while (i < text.size()) {
    if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 == text.size()) return true;
    i += CharBytesAt(text, i);
  }
  return false;
}

}  // namespace

TcxCustomTextEdit::TcxCustomTextEdit(TComponent* owner, bool inPlace) : TcxCustomEdit(owner, inPlace) {}

void TcxCustomTextEdit::AfterConstruction() {
  TcxCustomEdit::AfterConstruction();
  FBeepOnEnter = true;
  FCaretShown = false;
  if (TcxCustomInnerTextEdit* inner = InnerTextEdit()) {
    inner->SetColor(clWindow);
    inner->SetSelectionChangeCallback(TNotifyEvent::Bind<&TcxCustomTextEdit::ResetEditing>(this));
  }
  SetBounds(Left(), Top(), 121, 21);
  if (ActiveProperties()->HasLookupDataClass()) {
    FLookupData.reset(NewLookupData());
    FLookupData->OnSelectItem = TNotifyEvent::Bind<&TcxCustomTextEdit::ApplyLookupSelection>(this);
  }
  ApplyProperties(ActiveProperties());
}

void TcxCustomTextEdit::BeforeDestruction() {
  FKeptText = ReadShownText();
  FLookupData.reset();
  TcxCustomEdit::BeforeDestruction();
}

TcxCustomTextEdit::~TcxCustomTextEdit() = default;

TWinControl* TcxCustomTextEdit::CreateInnerControl() {
  auto* inner = New<TcxCustomInnerTextEdit>(this);
  inner->SetParent(this);
  return inner;
}

TcxCustomEditViewData* TcxCustomTextEdit::CreateViewData(TcxCustomEditProperties* p, TcxCustomEditStyle* s,
                                                         bool inPlace) {
  return new TcxCustomTextEditViewData(p, s, inPlace);
}

void TcxCustomTextEdit::FillViewDataState(TcxCustomEditViewData* viewData) {
  TcxCustomEdit::FillViewDataState(viewData);
  auto* data = dynamic_cast<TcxCustomTextEditViewData*>(viewData);
  if (!data) return;
  data->DisplayValue = Variant(ReadShownText());
  data->SelStart = SelStart();
  data->SelLength = SelLength();
  // The fixed-list selection: the typed prefix or the real selection.
  const int style = EditingStyle();
  if (style == tesFixedList || style == tesNoEdit) {
    if (style == tesNoEdit || !FCaretShown || !ActiveProperties()->FixedListSelection()) {
      data->SelStart = data->SelLength = 0;
    } else {
      data->SelTextColor = clHighlightText;
      data->SelBackgroundColor = clHighlight;
    }
  } else if (InnerEditShowsValue()) {
    data->SelStart = data->SelLength = 0;
  }
}

// -- Text and selection ----------------------------------------------------------------------

AnsiString TcxCustomTextEdit::ReadShownText() {
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  return inner ? inner->Text() : AnsiString();
}

AnsiString TcxCustomTextEdit::ReadText() {
  if (IsBeingDestroyed() || !InnerTextEdit()) return FKeptText;
  return ReadShownText();
}

void TcxCustomTextEdit::SetText(const AnsiString& value) { AssignText(value); }

void TcxCustomTextEdit::PutDisplayText(const Variant& value) {
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (!inner) return;
  const AnsiString text = value.IsEmpty() || value.IsNull() ? AnsiString() : value.AsString();
  if (inner->Text() != text) inner->SetText(text);
}

int TcxCustomTextEdit::SelStart() {
  const int style = EditingStyle();
  if (style == tesNoEdit || (style == tesFixedList && !FCaretShown) || !InnerTextEdit()) return 0;
  return InnerTextEdit()->SelectionStart();
}

int TcxCustomTextEdit::SelLength() {
  const int style = EditingStyle();
  if (style == tesNoEdit || (style == tesFixedList && !FCaretShown) || !InnerTextEdit()) return 0;
  return InnerTextEdit()->SelectionLength();
}

void TcxCustomTextEdit::SetSelStart(int value) {
  if (EditingStyle() != tesNoEdit && InnerTextEdit()) InnerTextEdit()->SetSelectionStart(value);
}

void TcxCustomTextEdit::SetSelLength(int value) {
  if (EditingStyle() != tesNoEdit && InnerTextEdit()) InnerTextEdit()->SetSelectionLength(value);
}

AnsiString TcxCustomTextEdit::SelText() { return InnerTextEdit() ? InnerTextEdit()->SelectedText() : AnsiString(); }

void TcxCustomTextEdit::SelectRange(int start, int length) {
  SetSelStart(start);
  SetSelLength(length);
}

void TcxCustomTextEdit::SelectAllText() {
  if (InnerTextEdit()) InnerTextEdit()->SelectAllText();
}

bool TcxCustomTextEdit::InnerEditShowsValue() {
  const int style = EditingStyle();
  return !(style == tesFixedList || style == tesNoEdit || IsInnerControlPending() || IsDesigning());
}

void TcxCustomTextEdit::SetCaretShown(bool value) {
  if (!HandleAllocated() || value == FCaretShown || FCaretStateLock) return;
  FCaretShown = value;
  RecheckMouseAtCursor();
  RefreshView();
}

void TcxCustomTextEdit::ResetCaretState() {
  if (ActiveProperties()->HasLookupDataClass()) SetCaretShown(false);
}

// -- Properties and the view -----------------------------------------------------------------

void TcxCustomTextEdit::RefreshAfterPropertiesChange() {
  ActiveProperties()->NotifyChanged();
  RefreshDisplayText();
}

void TcxCustomTextEdit::ApplyProperties(TcxCustomEditProperties* properties) {
  auto* p = ObjectAs<TcxCustomTextEditProperties>(properties);
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (!p || !inner) {
    TcxCustomEdit::ApplyProperties(properties);
    return;
  }
  inner->SetInnerAlignment(p->Alignment()->Horz());
  if (FLookupData && !FTypedLookup) FLookupData->SyncListToText();
  inner->SetImeMode(p->ImeMode());
  inner->SetImeName(p->ImeName());
  inner->SetAutoSelect(p->AutoSelect() && !InPlace());
  inner->SetCharCase(p->CharCase());
  inner->SetEchoMode(p->EchoMode());
  inner->SetHideSelection(p->HideSelection());
  inner->SetMaxLength(p->MaxLength());
  inner->SetOEMConvert(p->OEMConvert());
  inner->SetInnerPasswordChar(p->PasswordChar());
  RevertInvalidListText();
  RefreshView();
  TcxCustomEdit::ApplyProperties(properties);
  inner->Invalidate();
}

int TcxCustomTextEdit::InnerFontHeight() {
  TcxCanvas* canvas = SharedScreenCanvas();
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  canvas->SetFont(inner ? inner->Font() : CurrentStyle()->GetFont());
  return canvas->HeightOfText("Zg");
}

void TcxCustomTextEdit::PlaceInnerControl() {
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (!inner || FPlacing) return;
  TcxFlagGuard placing(FPlacing, true);
  const int h = InnerFontHeight();
  const RECT r = EditViewInfo()->ClientRect;
  const int height = r.bottom - r.top;
  int top = r.top;
  switch (ActiveProperties()->Alignment()->Vert()) {
    case taBottomJustify: top = r.bottom - h; break;
    case taVCenter: top = r.top + (height - h) / 2; break;
    default: break;
  }
  top = std::max<int>(top, r.top);
  const RECT wanted{r.left, top, r.right, top + std::min(h, height)};
  const RECT current = inner->BoundsRect();
  if (!EqualRect(&current, &wanted)) inner->SetBoundsRect(wanted);
}

void TcxCustomTextEdit::ApplyInnerLook() {
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (!inner || ComponentState().Contains(csLoading)) return;
  inner->LockBounds(true);
  inner->SetColor(EditViewInfo()->BackgroundColor);
  inner->Font()->Assign(CurrentStyle()->EffectiveFont());
  inner->Font()->SetColor(EditViewInfo()->PaintTextColor);
  inner->LockBounds(false);
}

void TcxCustomTextEdit::RefreshView() {
  if (!HandleAllocated() || IsBeingDestroyed()) return;
  RecheckMouseAtCursor();
  ApplyInnerLook();
  InvalidateRect(Handle(), nullptr, FALSE);
}

// -- Value ---------------------------------------------------------------------------------------

void TcxCustomTextEdit::RefreshDisplayText() {
  TcxCustomTextEditProperties* p = ActiveProperties();
  const Variant value = EditValue();
  TcxEditValue display;
  try {
    if (p->AcceptsValue(value))
      display = p->PrepareDisplayValue(value, InEditingLook());
    else if (HandleAllocated() && Focused())
      display = p->EmptyDisplayValue();
    else
      display = Variant(VarToStr(value));
  } catch (const EVariantError&) {
    display = Variant(AnsiString());
  }
  PushModifiedState();
  {
    TcxFlagGuard formatting(FDisplayFormatting, true);
    DataBinding()->PassDisplayValue(display);
  }
  PopModifiedState();
  ResetCaretState();
  RefreshView();
}

void TcxCustomTextEdit::SyncEditValueFromText() { StoreInternalEditValue(ConvertDisplayValue(Variant(ReadShownText()))); }

void TcxCustomTextEdit::ApplyDisplayValue(const Variant& value) {
  if (UserAction()) {
    DataBinding()->PassDisplayValue(value);
    return;
  }
  PushModifiedState();
  DataBinding()->PassDisplayValue(value);
  PopModifiedState();
  ResetCaretState();
  SyncEditValueFromText();
  SetChangedSinceEnter(false);
}

bool TcxCustomTextEdit::StoreText(const AnsiString& text) {
  TcxEditValue value(text);
  if (!ActiveProperties()->NormalizeDisplayValue(value, InEditingLook())) return false;
  if (UserAction() && !StartEditing()) return false;
  ApplyDisplayValue(value);
  return true;
}

void TcxCustomTextEdit::AcceptDisplayValue(const Variant& value) {
  if (EditingStyle() == tesPlain && FLookupData && !FLookupData->IsEmpty()) {
    const AnsiString text = VarToStr(value);
    if (!FLookupData->CanFindText(text)) FireNewLookupDisplayText(text);
  }
  TcxCustomEdit::AcceptDisplayValue(value);
}

void TcxCustomTextEdit::FireNewLookupDisplayText(const AnsiString& text) {
  TWeakLink<TControl> self(this);
  FireEvent(Properties()->OnNewLookupDisplayText, this, text);
  if (self.Get() && RepositoryItem()) FireEvent(ActiveProperties()->OnNewLookupDisplayText, this, text);
}

void TcxCustomTextEdit::ReloadFromData(TObject* sender) {
  LockChangeEvents(true);
  TWeakLink<TControl> self(this);
  try {
    TcxCustomEdit::ReloadFromData(sender);
  } catch (...) {
    if (self.Get()) LockChangeEvents(false);
    throw;
  }
  if (!self.Get()) return;
  LockChangeEvents(false);
  if (self.Get() && !InnerEditShowsValue()) RefreshView();
}

void TcxCustomTextEdit::RevertInvalidListText() {
  if (IsInnerControlPending()) return;
  TcxCustomTextEditProperties* p = ActiveProperties();
  if (!p->IsListStyle()) {
    if (!Modified()) DataBinding()->RefreshEditDisplay();
    return;
  }
  TcxEditValue value(ReadShownText());
  if (!p->NormalizeDisplayValue(value, true)) {
    PushModifiedState();
    DataBinding()->PassDisplayValue(p->EmptyDisplayValue());
    PopModifiedState();
    if (!Modified()) SyncEditValueFromText();
  }
}

TcxEditValue TcxCustomTextEdit::LookupValueOfKey(int key) {
  return FLookupData ? Variant(FLookupData->TextOfKey(key)) : Variant(AnsiString());
}

void TcxCustomTextEdit::ApplyLookupSelection(TObject*) {
  if (!FLookupData) return;
  const TcxEditValue value = LookupValueOfKey(FLookupData->CurrentKey());
  const Variant old = EditValue();
  if (VarToStr(value) != VarToStr(old) && !StartEditing()) return;
  PushModifiedState();
  {
    TcxFlagGuard typed(FTypedLookup, true);
    AssignEditValue(value);
  }
  PopModifiedState();
  if (VarToStr(value) != VarToStr(old)) MarkModified(true);
  SelectAllText();
  RecheckMouseAtCursor();
}

void TcxCustomTextEdit::SetItemIndex(int index) {
  if (!FLookupData) return;
  LockClick(true);
  const int old = FLookupData->CurrentKey();
  FLookupData->SetCurrentKey(index);
  LockClick(false);
  if (FLookupData->CurrentKey() != old) {
    SetChangedSinceEnter(false);
    Click();
  }
}

// -- Insertions ------------------------------------------------------------------------------------

bool TcxCustomTextEdit::CheckInsertion(const AnsiString& text, AnsiString& newText, int& caret) {
  const int style = EditingStyle();
  if (style == tesNoEdit && UserAction()) return false;
  if (style == tesFixedList || style == tesNoEdit) SelectAllText();
  const AnsiString shown = ReadShownText();
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  const int start = inner ? std::min<int>(inner->SelectionStart(), static_cast<int>(shown.size())) : 0;
  const int length = inner ? std::min<int>(inner->SelectionLength(), static_cast<int>(shown.size()) - start) : 0;
  const AnsiString before = shown.substr(0, static_cast<size_t>(start));
  const AnsiString after = shown.substr(static_cast<size_t>(start + length));
  const int maxLength = ActiveProperties()->MaxLength();
  if (UserAction() && (style == tesPlain || style == tesNoEdit) && maxLength > 0) {
    // The maximum length counts characters: a double-byte one counts once.
    AnsiString head = before + text;
    const int chars = std::min(WideLength(head), maxLength);
    caret = static_cast<int>(BytesOfChars(head, chars));
    if (caret < start) return false;
    newText = head + after;
    if (WideLength(newText) > maxLength) newText.resize(BytesOfChars(newText, maxLength));
  } else {
    newText = style == tesFixedList ? text : before + text + after;
    caret = start + static_cast<int>(text.size());
  }
  TcxEditValue value(newText);
  if (!ActiveProperties()->NormalizeDisplayValue(value, true)) return false;
  if (UserAction() && !StartEditing()) return false;
  newText = VarToStr(value);
  caret = std::min<int>(caret, static_cast<int>(newText.size()));
  return true;
}

void TcxCustomTextEdit::InsertText(const AnsiString& text) {
  TcxUserActionScope userAction(this, HandleAllocated() && Focused());
  AnsiString newText;
  int caret = 0;
  if (!CheckInsertion(text, newText, caret)) return;
  ApplyDisplayValue(Variant(newText));
  SelectRange(caret, 0);
}

void TcxCustomTextEdit::DeleteSelection() {
  if (SelLength() == 0) return;
  TcxUserActionScope userAction(this, HandleAllocated() && Focused());
  const int start = SelStart();
  AnsiString text = ReadShownText();
  text.erase(static_cast<size_t>(std::min<int>(start, static_cast<int>(text.size()))),
             static_cast<size_t>(SelLength()));
  if (StoreText(text)) SelectRange(start, 0);
}

void TcxCustomTextEdit::CopySelection() {
  const int style = EditingStyle();
  if (style == tesFixedList || style == tesNoEdit) SelectAllText();
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (inner && inner->SelectionLength() > 0) inner->CopyToClipboard();
}

void TcxCustomTextEdit::CutSelection() {
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (!inner || inner->SelectionLength() == 0) return;
  if (HandleAllocated() && Focused()) {
    TcxUserActionScope userAction(this, true);
    AnsiString newText;
    int caret = 0;
    if (CheckInsertion(AnsiString(), newText, caret)) inner->CallDefault(WM_CUT, 0, 0);
    return;
  }
  inner->CopyToClipboard();
  InsertText(AnsiString());
}

AnsiString TcxCustomTextEdit::ClipboardText() {
  // Read within the block's size, no terminator trusted; a lone lead byte
  // at the end (half a character) is dropped.
  AnsiString text = Clipboard()->AsText();
  if (EndsInHalfChar(text)) text.pop_back();
  return text;
}

void TcxCustomTextEdit::PasteText() {
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  const AnsiString text = ClipboardText();
  if (HandleAllocated() && Focused()) {
    TcxUserActionScope userAction(this, true);
    AnsiString newText;
    int caret = 0;
    if (!CheckInsertion(text, newText, caret)) return;
    // The checked text goes in as it is; the window never reads the
    // clipboard itself.
    DataBinding()->PassDisplayValue(Variant(newText));
    SelectRange(caret, 0);
    return;
  }
  InsertText(text);
}

// -- Keys and characters ------------------------------------------------------------------------

bool TcxCustomTextEdit::KeyAllowedByProvider(char key) {
  if (ActiveProperties()->AlwaysAllowedChars().find(key) != std::string::npos) return true;
  return TcxCustomEdit::KeyAllowedByProvider(key);
}

bool TcxCustomTextEdit::IsEditingKey(WORD key, TShiftState shift) {
  if (key == VK_DELETE) return true;
  if (FLookupData && !FLookupData->IsEmpty() && AllowsLookupNavigation(false)) {
    if (key == VK_PRIOR || key == VK_NEXT) return true;
    if ((key == VK_UP || key == VK_DOWN) && !shift.Contains(ssAlt)) return true;
  }
  return false;
}

bool TcxCustomTextEdit::IsEditingChar(char key) {
  const auto c = static_cast<unsigned char>(key);
  return c == 8 || c == 22 || c == 24 || c >= 32;
}

bool TcxCustomTextEdit::StepLookup(TcxLookupStep step) {
  const int old = FLookupData->CurrentKey();
  LockChangeEvents(true);
  LockClick(true);
  TWeakLink<TControl> self(this);
  try {
    TcxFlagGuard navigating(FLookupNavigating, true);
    FLookupData->Step(step, false);
  } catch (...) {
    if (self.Get()) {
      LockClick(false);
      LockChangeEvents(false);
    }
    throw;
  }
  if (!self.Get()) return false;
  LockClick(false);
  const bool changed = FLookupData->CurrentKey() != old;
  if (changed) {
    ModifyAndClick();
    if (self.Get() && ActiveProperties()->ImmediatePost() && CanStoreToData() && CheckEditValue(false))
      StoreEditValue(false);
  }
  if (self.Get()) LockChangeEvents(false);
  return changed;
}

void TcxCustomTextEdit::ProcessKey(WORD& key, TShiftState shift) {
  const int style = EditingStyle();
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  if (style == tesFixedList && !IsClearOrClickShortcut(key, shift) &&
      (key == VK_LEFT || key == VK_RIGHT || key == VK_DELETE)) {
    SetCaretShown(false);
    FireKeyEvent(key, shift);
    key = 0;
    return;
  }
  if (inner) inner->SetOwnerHandled(true);
  const bool caretWasShown = FCaretShown;
  TWeakLink<TControl> self(this);
  const WORD original = key;
  TcxCustomEdit::ProcessKey(key, shift);
  if (!self.Get()) return;
  if (original == VK_RETURN && caretWasShown) SelectAllText();
  if (key >= VK_PRIOR && key <= VK_DELETE) {
    switch (key) {
      case VK_LEFT:
      case VK_RIGHT:
        if (!shift.Contains(ssShift) && SelLength() > 0 && inner) {
          const int start = SelStart(), end = start + SelLength();
          SelectRange(key == VK_RIGHT ? end : start, 0);
          key = 0;
        }
        SetCaretShown(false);
        break;
      case VK_SELECT:
      case VK_PRINT:
      case VK_EXECUTE:
      case VK_SNAPSHOT:
      case VK_INSERT:
        break;
      case VK_DELETE:
        if (style == tesEditList) {
          FireKeyEvent(key, shift);
          key = 0;
        } else {
          SetCaretShown(false);
        }
        break;
      default: {
        const bool homeEnd = key == VK_HOME || key == VK_END;
        if (homeEnd && style != tesFixedList) break;
        if (FLookupData && AllowsLookupNavigation(false) && !FLookupData->IsEmpty()) {
          const bool ctrl = shift.Contains(ssCtrl);
          TcxLookupStep step = lsNext;
          switch (key) {
            case VK_PRIOR: step = ctrl ? lsFirst : lsPageUp; break;
            case VK_NEXT: step = ctrl ? lsLast : lsPageDown; break;
            case VK_HOME: step = lsFirst; break;
            case VK_END: step = lsLast; break;
            case VK_UP: step = lsPrevious; break;
            default: step = lsNext; break;
          }
          StepLookup(step);
          if (!self.Get()) return;
          key = 0;
        } else if (!homeEnd && !(inner && inner->IsMultiLine())) {
          FireKeyEvent(key, shift);
          key = 0;
        }
        break;
      }
    }
  }
  if (key == VK_END && SelLength() == 0 && style != tesFixedList) SetCaretShown(false);
  if (key != 0 && inner) inner->SetOwnerHandled(false);
}

bool TcxCustomTextEdit::LookupSearch(AnsiString candidate, char& key) {
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  const char pending = inner ? inner->ImePendingByte() : 0;
  if (pending) candidate += pending;
  AnsiString tail;
  const bool found = FLookupData->LocateText(candidate, tail, false, false);
  if (pending && !candidate.empty()) {
    candidate.pop_back();
    tail.insert(tail.begin(), pending);
  }
  FCaretShown = found;
  if (candidate.empty()) {
    FCaretShown = false;
    if (EditingStyle() != tesFixedList) DataBinding()->PassDisplayValue(ActiveProperties()->EmptyDisplayValue());
  }
  if (found) {
    DataBinding()->PassDisplayValue(Variant(candidate + tail));
    if (inner) {
      inner->SetSelectionStart(static_cast<int>(candidate.size()));
      inner->SetSelectionLength(static_cast<int>(tail.size()));
    }
  }
  RefreshView();
  if (found) key = 0;
  return found;
}

void TcxCustomTextEdit::ProcessChar(char& key) {
  TWeakLink<TControl> self(this);
  TcxCustomEdit::ProcessChar(key);
  if (!self.Get() || key == 0) return;
  FTypedLookup = false;
  TcxUserActionScope userAction(this, true);
  const int oldKey = ItemIndex();
  LockClick(true);
  TcxCustomTextEditProperties* p = ActiveProperties();
  const int style = EditingStyle();
  TcxCustomInnerTextEdit* inner = InnerTextEdit();
  const bool searching = FLookupData && p->HasLookupDataClass() && p->LookupSearchActive();
  try {
    if (key == '\b' && style == tesFixedList && !p->FixedListSelection()) {
      SetCaretShown(false);
      key = 0;
    } else if (key == '\b' && searching) {
      const AnsiString text = ReadShownText();
      if (style == tesEditList && !text.empty() && !FCaretShown && inner) {
        const int caret = inner->SelectionStart();
        inner->SetSelectionStart(caret);
        inner->SetSelectionLength(static_cast<int>(text.size()) - caret);
        SetCaretShown(true);
      }
      bool found = false;
      if (FCaretShown && inner) {
        FTypedLookup = true;
        const AnsiString prefix = text.substr(0, text.size() - static_cast<size_t>(inner->SelectionLength()));
        char dummy = key;
        found = LookupSearch(WithoutLastChar(prefix), dummy);
      }
      if (style == tesFixedList || found) key = 0;
    } else if (static_cast<unsigned char>(key) >= 32 && searching && inner) {
      const AnsiString text = ReadShownText();
      const int start = inner->SelectionStart(), length = inner->SelectionLength();
      const bool atEnd = length == 0 && start == static_cast<int>(text.size());
      const bool caretWasShown = FCaretShown;
      if (p->IsListStyle() || atEnd || length > 0 || FCaretShown) {
        FTypedLookup = true;
        const AnsiString typed(1, key);
        char c = key;
        bool found;
        if (length > 0) {
          found = LookupSearch(text.substr(0, static_cast<size_t>(start)) + typed, c);
        } else if (style != tesFixedList) {
          AnsiString candidate = text;
          candidate.insert(static_cast<size_t>(std::min<int>(start, static_cast<int>(text.size()))), typed);
          found = LookupSearch(candidate, c);
        } else if (caretWasShown) {
          found = LookupSearch(text + typed, c);
          if (!found) found = LookupSearch(typed, c);
        } else {
          found = LookupSearch(typed, c);
        }
        if (!found && style == tesFixedList && !p->FixedListSelection()) found = LookupSearch(typed, c);
        if (found) {
          key = 0;
        } else if (p->IsListStyle()) {
          key = 0;
          if (style == tesEditList) SetCaretShown(!ReadShownText().empty());
          if (style == tesFixedList && p->FixedListSelection() && caretWasShown) SetCaretShown(true);
        }
      }
    }
  } catch (...) {
    if (self.Get()) LockClick(false);
    throw;
  }
  if (!self.Get()) return;
  LockClick(false);
  if (ItemIndex() != oldKey) ModifyAndClick();
}

void TcxCustomTextEdit::DoExit() {
  TcxCustomEdit::DoExit();
  SetCaretShown(false);
}

// -- Messages ---------------------------------------------------------------------------------

void TcxCustomTextEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_SETTEXT: {
      if (FSetTextGuard) break;
      TcxFlagGuard guard(FSetTextGuard, true);
      const char* text = reinterpret_cast<const char*>(Message.LParam);
      Message.Result = AssignText(text ? AnsiString(text) : AnsiString()) ? 1 : 0;
      return;
    }
    case WM_GETTEXT: {
      char* buffer = reinterpret_cast<char*>(Message.LParam);
      const int size = static_cast<int>(Message.WParam);
      if (size < 1 || !buffer) {
        Message.Result = 0;
        return;
      }
      const AnsiString text = ReadText();
      const size_t count = std::min(text.size(), static_cast<size_t>(size - 1));
      std::memcpy(buffer, text.data(), count);
      buffer[count] = 0;
      Message.Result = static_cast<LRESULT>(count);
      return;
    }
    case WM_GETTEXTLENGTH:
      Message.Result = static_cast<LRESULT>(ReadText().size());
      return;
    case WM_CLEAR:
      if (UserAction() && !ActiveProperties()->GetReadOnly() && DataBinding()->IsDataAvailable()) DeleteSelection();
      Message.Result = 0;
      return;
    default:
      break;
  }
  TcxCustomEdit::WndProc(Message);
}

// -- Published entries --------------------------------------------------------------------------

namespace {

bool TextStored(TObject* o) { return !static_cast<TcxCustomTextEdit*>(o)->Text().empty(); }

using E = TcxTextEdit;
const TPublishedRegistration textEditRegistration(&TcxTextEdit::ClassInfo, {
    Property<&E::BeepOnEnter, &E::SetBeepOnEnter>("BeepOnEnter").Default(true),
    Property<&E::Properties, &E::SetProperties>("Properties"),
    StoredWhen(Property<&E::Text, &E::SetText>("Text"), TextStored),
});

}  // namespace
