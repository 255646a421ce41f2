// The mask edit, its properties and its three modes.
#include "editors/masked/MaskEdit.h"

#include "editors/framework/DataStorage.h"
#include "editors/framework/EditConsts.h"
#include "editors/framework/EditStrings.h"
#include "platform/Clipboard.h"
#include "platform/ControlsProperties.h"
#include "platform/Properties.h"
#include "platform/ResourceString.h"
#include "platform/Seams.h"

#include <algorithm>

bool IsMaskBlank(const AnsiString& mask) {
  return std::all_of(mask.begin(), mask.end(), [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; });
}

namespace {

int Len(const AnsiString& s) { return static_cast<int>(s.size()); }

// Sets a flag for a scope.
class TFlagScope {
public:
  TFlagScope(bool& flag, bool value) : FFlag(flag), FSaved(flag) { flag = value; }
  ~TFlagScope() { FFlag = FSaved; }
  TFlagScope(const TFlagScope&) = delete;
  TFlagScope& operator=(const TFlagScope&) = delete;

private:
  bool& FFlag;
  bool FSaved;
};

void CompileEngine(TcxRegExpr& engine, const AnsiString& mask) {
  TMemoryStream stream;
  stream.Write(mask.data(), static_cast<int32_t>(mask.size()));
  stream.SetPosition(0);
  try {
    engine.compilePatternStream(&stream);
  } catch (const EcxRegExprError& e) {
    AnsiString message = LoadResString(cxSMaskEditRegExprError);
    for (int i = 0; i < e.Errors().Count(); ++i) message += "\r\n" + TcxRegExpr::regExprErrorText(e.Errors().Item(i));
    throw EcxMaskEditError(message);
  }
}

}  // namespace

// -- TcxMaskEditCustomMode --------------------------------------------------------------------------

TcxMaskEditCustomMode::TcxMaskEditCustomMode(TcxCustomMaskEdit* edit, TcxCustomMaskEditProperties* properties)
    : FProperties(edit ? nullptr : properties), FEdit(edit) {}

TcxCustomMaskEditProperties* TcxMaskEditCustomMode::Props() const {
  return FEdit ? FEdit->ActiveProperties() : FProperties;
}

void TcxMaskEditCustomMode::Beep() {
  if (Props()->BeepOnError()) SystemBeep(0);
}

bool TcxMaskEditCustomMode::HasUsableEdit() const { return FEdit && !FEdit->IsInnerControlPending(); }

AnsiString TcxMaskEditCustomMode::Shown() const {
  return FEdit && FEdit->InnerTextEdit() ? FEdit->InnerTextEdit()->Text() : AnsiString();
}

int TcxMaskEditCustomMode::SelStart() const { return FEdit ? FEdit->SelStart() : 0; }
int TcxMaskEditCustomMode::SelLength() const { return FEdit ? FEdit->SelLength() : 0; }

void TcxMaskEditCustomMode::Select(int start, int length) const {
  if (FEdit && FEdit->HandleAllocated()) FEdit->SelectRange(start, length);
}

void TcxMaskEditCustomMode::WriteText(const AnsiString& text, int caret) const {
  if (!FEdit) return;
  if (Shown() != text) FEdit->PutDisplayText(Variant(text));
  Select(std::clamp(caret, 0, Len(text)), 0);
}

void TcxMaskEditCustomMode::ReloadShownText() {
  if (!HasUsableEdit()) return;
  AnsiString text;
  if (FEdit->Modified()) {
    text = FormatText(Shown(), true);
  } else {
    TcxEditValue display;
    Props()->ValueToDisplay(FEdit->EditValue(), display, FEdit->InEditingLook());
    text = display.IsEmpty() || display.IsNull() ? AnsiString() : display.AsString();
  }
  FEdit->PutDisplayText(Variant(text));
}

// -- TcxMaskEditStandardMode ------------------------------------------------------------------------

void TcxMaskEditStandardMode::CompileMask(const AnsiString& mask) {
  FMask = mask;
  if (IsMaskBlank(mask)) return;
  FStandardMask.Compile(mask);
  if (!HasUsableEdit()) FPendingEmptyValue = true;
}

AnsiString TcxMaskEditStandardMode::ValueText(const AnsiString& text, bool textHasLiterals) {
  if (FStandardMask.Count() == 0) return text;
  return FStandardMask.TextToValue(FStandardMask.FitText(text, Props()->CharCase() == ecNormal, textHasLiterals));
}

bool TcxMaskEditStandardMode::IsValidText(const AnsiString& text) {
  if (FStandardMask.IsComplete(text)) return true;
  return Props()->IgnoreMaskBlank() && text == FormatText(AnsiString(), true);
}

void TcxMaskEditStandardMode::ApplyPendingValue() {
  if (FPendingEmptyValue && FEdit) FEdit->SetEditValue(Variant(FStandardMask.EmptyValue()));
  FPendingEmptyValue = false;
}

int TcxMaskEditStandardMode::FirstEditable() const {
  for (int i = 0; i < FStandardMask.Count(); ++i)
    if (!FStandardMask.Items(i).IsLiteral()) return i;
  return FStandardMask.Count();
}

bool TcxMaskEditStandardMode::CaretAtStart() {
  const int start = SelStart(), length = SelLength();
  return start <= FirstEditable() && length < 2;
}

void TcxMaskEditStandardMode::CaretMoved() {
  if (!FEdit || !FEdit->HandleAllocated() || !FEdit->HasMask() || SelLength() != 0) return;
  const int start = SelStart();
  if (start < Len(Shown())) Select(start, 1);
}

void TcxMaskEditStandardMode::ReloadShownText() {
  TcxMaskEditCustomMode::ReloadShownText();
  CaretMoved();
}

void TcxMaskEditStandardMode::MoveRight() {
  const int length = Len(Shown());
  const int caret = SelStart();
  int count = 0;
  while (IsLiteralAt(caret + 1 + count)) ++count;
  const int target = caret + count + 1;
  Select(target > length ? caret : target, 0);
  if (target > length && caret < length) Select(length, 0);
}

bool TcxMaskEditStandardMode::HandleChar(char& ch) {
  AnsiString text = Shown();
  for (int guard = 0; guard <= FStandardMask.Count(); ++guard) {
    const int caret = SelStart();
    if (text.empty() || caret >= Len(text) || caret >= FStandardMask.Count()) return false;
    const TcxStandardMaskCustomItem& item = FStandardMask.Items(caret);
    if (item.IsLiteral()) {
      FEdit->SetShiftFlag(false);
      if (SelLength() >= 2) {
        HandleDelete();
        text = Shown();
      }
      const int before = SelStart();
      MoveRight();
      if (SelStart() == before) return false;
      continue;
    }
    char converted = ch;
    if (!item.Check(converted)) return false;  // ignored, no beep
    if (!FEdit->CheckStandardChar(converted, caret + 1)) return false;
    if (converted == 0) {
      Beep();
      return false;
    }
    if (SelLength() >= 2) {
      HandleDelete();
      text = Shown();
    }
    text[static_cast<size_t>(caret)] = converted;
    WriteText(text, caret);
    FEdit->SetShiftFlag(false);
    MoveRight();
    return false;
  }
  return false;
}

bool TcxMaskEditStandardMode::HandleDelete() {
  AnsiString text = Shown();
  const int start = SelStart();
  const int length = std::max(SelLength(), 1);
  for (int i = start; i < start + length && i < Len(text) && i < FStandardMask.Count(); ++i) {
    if (FStandardMask.Items(i).IsLiteral()) continue;
    const char blank = BlankChar(i + 1);
    if (blank != 0) text[static_cast<size_t>(i)] = blank;
  }
  WriteText(text, start);
  return false;
}

bool TcxMaskEditStandardMode::HandleBackspace() {
  if (SelLength() < 2) {
    const int before = SelStart();
    HandleLeft();
    if (SelStart() == before) return false;  // nothing before the caret to blank
    Select(SelStart(), 0);
  }
  return HandleDelete();
}

bool TcxMaskEditStandardMode::HandleHome() {
  if (FEdit->ShiftFlag()) return true;
  Select(0, 0);
  if (IsLiteralAt(0)) MoveRight();
  return false;
}

bool TcxMaskEditStandardMode::HandleEnd() {
  if (FEdit->ShiftFlag()) return true;
  Select(Len(Shown()), 0);
  return false;
}

bool TcxMaskEditStandardMode::HandleLeft() {
  if (FEdit->ShiftFlag()) return true;
  const int start = SelStart(), length = SelLength();
  const int textLength = Len(Shown());
  if (length >= 2) {
    int caret = start;
    while (caret < start + length && IsLiteralAt(caret)) ++caret;
    if (caret == start + length) caret = start + length >= textLength ? start + length : start;
    Select(caret, 0);
    return false;
  }
  int count = 0;
  while (IsLiteralAt(start - 1 - count)) ++count;
  const int target = start - count - 1;
  Select(target >= 0 ? target : start, 0);
  return false;
}

bool TcxMaskEditStandardMode::HandleRight() {
  const int start = SelStart(), length = SelLength();
  if (FEdit->ShiftFlag()) {
    if (length == 1) Select(start, 0);
    return true;
  }
  const int textLength = Len(Shown());
  if (length < 2) {
    Select(start, 0);
    MoveRight();
    return false;
  }
  if (start + length >= textLength) {
    Select(textLength, 0);
    return false;
  }
  int caret = start + length - 1;
  while (caret > start && IsLiteralAt(caret)) --caret;
  Select(caret, 0);
  return false;
}

void TcxMaskEditStandardMode::BeforeInsertion() {
  FSavedSelStart = SelStart();
  Select(FSavedSelStart, FInsertLength);
}

void TcxMaskEditStandardMode::AfterInsertion() {
  const int length = Len(Shown());
  const int caret = std::max(0, std::min(FSavedSelStart + FInsertLength, length - 1));
  Select(caret, 0);
  if (IsLiteralAt(caret)) {
    FEdit->SetShiftFlag(false);
    MoveRight();
  }
}

// -- TcxMaskEditRegExprMode -------------------------------------------------------------------------

TcxMaskEditRegExprMode::TcxMaskEditRegExprMode(TcxCustomMaskEdit* edit, TcxCustomMaskEditProperties* properties)
    : TcxMaskEditCustomMode(edit, properties), FEngine(std::make_unique<TcxRegExpr>()) {
  FEngine->CaseInsensitive = Props()->CaseInsensitive();
}

void TcxMaskEditRegExprMode::CompileMask(const AnsiString& mask) {
  FMask = mask;
  if (IsMaskBlank(mask)) return;
  CompileEngine(*FEngine, mask);
}

std::unique_ptr<TcxRegExpr> TcxMaskEditRegExprMode::ProbeEngine() {
  auto engine = std::make_unique<TcxRegExpr>();
  engine->CaseInsensitive = Props()->CaseInsensitive();
  if (!FEngine->isCompiled()) return engine;
  try {
    CompileEngine(*engine, FMask);
  } catch (const EcxEditError&) {
  }
  return engine;
}

AnsiString TcxMaskEditRegExprMode::Feed(const AnsiString& text) {
  FEngine->CaseInsensitive = Props()->CaseInsensitive();
  FEngine->restartAutomaton();
  AnsiString accepted;
  for (char c : text) {
    char copy = c;
    if (FEngine->stepForward(copy)) accepted += copy;
  }
  return accepted;
}

bool TcxMaskEditRegExprMode::TailFits(const AnsiString& tail) {
  int fed = 0;
  bool fits = true;
  for (char c : tail) {
    char copy = c;
    if (!FEngine->stepForward(copy)) {
      fits = false;
      break;
    }
    ++fed;
  }
  for (int i = 0; i < fed; ++i) FEngine->stepBack();
  return fits;
}

AnsiString TcxMaskEditRegExprMode::FormatText(const AnsiString& text, bool) {
  if (!FEngine->isCompiled()) return AnsiString();
  return Feed(text);
}

bool TcxMaskEditRegExprMode::IsValidText(const AnsiString& text) {
  if (text.empty()) return true;
  std::unique_ptr<TcxRegExpr> engine = ProbeEngine();
  if (!engine->isCompiled()) return false;
  for (char c : text) {
    char copy = c;
    if (!engine->stepForward(copy)) return false;
  }
  return Props()->IgnoreMaskBlank() || engine->atFinalState();
}

void TcxMaskEditRegExprMode::ReloadShownText() {
  TcxMaskEditCustomMode::ReloadShownText();
  if (!HasUsableEdit() || !FEngine->isCompiled()) return;
  const AnsiString text = Shown();
  Select(Len(text), 0);
  FHead = text;
  FTail.clear();
  Feed(FHead);
}

void TcxMaskEditRegExprMode::Edited(const AnsiString& head, const AnsiString& tail) {
  // The head is what the engine holds; a tail that cannot follow it is cut.
  const AnsiString accepted = Feed(head);
  FHead = head;
  FTail = TailFits(tail) ? tail : AnsiString();
  (void)accepted;
  WriteText(FHead + FTail, Len(FHead));
}

bool TcxMaskEditRegExprMode::HandleChar(char& ch) {
  if (!FEngine->isCompiled()) return true;
  const AnsiString text = Shown();
  const int start = std::min(SelStart(), Len(text));
  const int end = std::min(start + SelLength(), Len(text));
  const AnsiString head = text.substr(0, static_cast<size_t>(start));
  const AnsiString tail = text.substr(static_cast<size_t>(end));
  Feed(head);
  char typed = ch;
  if (!FEngine->stepForward(typed)) {
    Beep();
    return false;
  }
  FEngine->stepBack();
  Edited(head + AnsiString(1, typed), tail);
  return false;
}

bool TcxMaskEditRegExprMode::HandleBackspace() {
  if (!FEngine->isCompiled()) return true;
  const AnsiString text = Shown();
  int start = std::min(SelStart(), Len(text));
  const int end = std::min(start + SelLength(), Len(text));
  if (start == end) {
    if (start == 0) return false;
    --start;
  }
  Edited(text.substr(0, static_cast<size_t>(start)), text.substr(static_cast<size_t>(end)));
  return false;
}

bool TcxMaskEditRegExprMode::HandleDelete() {
  if (!FEngine->isCompiled()) return true;
  const AnsiString text = Shown();
  const int start = std::min(SelStart(), Len(text));
  int end = std::min(start + SelLength(), Len(text));
  if (start == end) {
    if (end >= Len(text)) return false;
    ++end;
  }
  Edited(text.substr(0, static_cast<size_t>(start)), text.substr(static_cast<size_t>(end)));
  return false;
}

// -- TcxMaskEditRegExprExMode -----------------------------------------------------------------------

TcxMaskEditRegExprExMode::TcxMaskEditRegExprExMode(TcxCustomMaskEdit* edit, TcxCustomMaskEditProperties* properties)
    : TcxMaskEditRegExprMode(edit, properties) {
  FEngine->onLiteralAdded = TEvent<void(char)>::Lambda([this](char c) { FInserted += c; });
}

void TcxMaskEditRegExprExMode::CompileMask(const AnsiString& mask) {
  FInserted.clear();
  FLeading.clear();
  FMask = mask;
  if (IsMaskBlank(mask)) return;
  FEngine->setAutoComplete(false);
  CompileEngine(*FEngine, mask);
  FLeading = EmptyText();
  if (!HasUsableEdit()) FPendingEmptyValue = true;
}

AnsiString TcxMaskEditRegExprExMode::EmptyText() {
  std::unique_ptr<TcxRegExpr> engine = ProbeEngine();
  if (!engine->isCompiled()) return AnsiString();
  AnsiString literals;
  engine->onLiteralAdded = TEvent<void(char)>::Lambda([&literals](char c) { literals += c; });
  engine->setAutoComplete(true);
  engine->onLiteralAdded = {};
  return literals;
}

std::vector<int> TcxMaskEditRegExprExMode::Boundaries(const AnsiString& text, AnsiString* fitted) {
  // Fed with auto-completion on: a text character equal to the next literal
  // the engine typed itself is that literal; any other is a typed one.
  std::vector<int> bounds;
  AnsiString result;
  FEngine->CaseInsensitive = Props()->CaseInsensitive();
  FEngine->setAutoComplete(false);
  FEngine->restartAutomaton();
  FInserted.clear();
  FEngine->setAutoComplete(true);
  AnsiString pending = FInserted;
  result = pending;
  bounds.push_back(0);
  size_t i = 0;
  while (i < text.size() && !pending.empty() && text[i] == pending[0]) {
    pending.erase(0, 1);
    ++i;
  }
  if (!FInserted.empty()) bounds.push_back(Len(FInserted));
  pending.clear();
  for (; i < text.size(); ++i) {
    if (!pending.empty()) {
      if (text[i] == pending[0]) {
        pending.erase(0, 1);
        if (pending.empty()) bounds.back() = static_cast<int>(i) + 1;
        continue;
      }
      // The text breaks off the forced literals: it ends here.
      break;
    }
    char copy = text[i];
    FInserted.clear();
    if (!FEngine->stepForward(copy)) break;
    result += copy;
    result += FInserted;
    pending = FInserted;
    bounds.push_back(static_cast<int>(i) + 1 + (pending.empty() ? 0 : 0));
    if (pending.empty()) continue;
  }
  if (!pending.empty()) {
    // Literals forced after the text that it does not show yet.
    (void)0;
  }
  FEngine->setAutoComplete(false);
  if (fitted) *fitted = result;
  // Boundaries inside a pending literal run were moved to its end above;
  // keep them sorted and unique.
  std::sort(bounds.begin(), bounds.end());
  bounds.erase(std::unique(bounds.begin(), bounds.end()), bounds.end());
  return bounds;
}

AnsiString TcxMaskEditRegExprExMode::FormatText(const AnsiString& text, bool) {
  if (!FEngine->isCompiled()) return AnsiString();
  // The accepted characters in the pattern's case, with the literals the
  // pattern forces after each (those the text shows itself are not doubled).
  AnsiString fitted;
  FEngine->CaseInsensitive = Props()->CaseInsensitive();
  FEngine->setAutoComplete(false);
  FEngine->restartAutomaton();
  FInserted.clear();
  FEngine->setAutoComplete(true);
  fitted = FInserted;
  AnsiString pending = FInserted;
  for (char c : text) {
    if (!pending.empty() && c == pending[0]) {
      pending.erase(0, 1);
      continue;
    }
    char copy = c;
    FInserted.clear();
    if (!FEngine->stepForward(copy)) continue;
    fitted += copy;
    fitted += FInserted;
    pending = FInserted;
  }
  FEngine->setAutoComplete(false);
  return fitted;
}

bool TcxMaskEditRegExprExMode::IsValidText(const AnsiString& text) {
  if (text.empty()) return FLeading.empty();
  if (text == FLeading) return true;
  std::unique_ptr<TcxRegExpr> engine = ProbeEngine();
  if (!engine->isCompiled()) return false;
  for (char c : text) {
    char copy = c;
    if (!engine->stepForward(copy)) return false;
  }
  return Props()->IgnoreMaskBlank() || engine->atFinalState();
}

int TcxMaskEditRegExprExMode::SnapCaret(const std::vector<int>& bounds, int caret, bool forward) const {
  if (bounds.empty()) return 0;
  const int first = std::min<int>(Len(FLeading), bounds.back());
  caret = std::max(caret, first);
  if (forward) {
    for (int b : bounds)
      if (b >= caret) return b;
    return bounds.back();
  }
  int result = bounds.front();
  for (int b : bounds)
    if (b <= caret) result = b;
  return std::max(result, first);
}

void TcxMaskEditRegExprExMode::Rebuild(const AnsiString& head, const AnsiString& tail) {
  AnsiString fittedHead;
  Boundaries(head, &fittedHead);
  AnsiString fittedAll;
  const AnsiString whole = fittedHead + tail;
  Boundaries(whole, &fittedAll);
  // The tail stays when all of it fits after the head, else it is cut.
  AnsiString text = fittedAll.size() >= whole.size() && fittedAll.compare(0, whole.size(), whole) == 0 ? fittedAll
                                                                                                        : fittedHead;
  FHead = fittedHead;
  FTail = text.substr(std::min(fittedHead.size(), text.size()));
  WriteText(text, Len(fittedHead));
}

bool TcxMaskEditRegExprExMode::HandleChar(char& ch) {
  if (!FEngine->isCompiled()) return true;
  const AnsiString text = Shown();
  const std::vector<int> bounds = Boundaries(text);
  int start = std::min(SelStart(), Len(text));
  int end = std::min(start + SelLength(), Len(text));
  start = SnapCaret(bounds, start, false);
  end = std::max(start, SnapCaret(bounds, end, true));
  const AnsiString head = text.substr(0, static_cast<size_t>(start));
  AnsiString fittedHead;
  Boundaries(head, &fittedHead);
  // Feed the head again and try the character with auto-completion on.
  FEngine->setAutoComplete(false);
  FEngine->restartAutomaton();
  FInserted.clear();
  FEngine->setAutoComplete(true);
  AnsiString pending = FInserted;
  for (char c : head) {
    if (!pending.empty() && c == pending[0]) {
      pending.erase(0, 1);
      continue;
    }
    char copy = c;
    FInserted.clear();
    FEngine->stepForward(copy);
    pending = FInserted;
  }
  FInserted.clear();
  char typed = ch;
  const bool accepted = FEngine->stepForward(typed);
  const AnsiString literals = FInserted;
  FEngine->setAutoComplete(false);
  if (!accepted) {
    Beep();
    return false;
  }
  Rebuild(fittedHead + AnsiString(1, typed) + literals, text.substr(static_cast<size_t>(end)));
  return false;
}

bool TcxMaskEditRegExprExMode::HandleBackspace() {
  if (!FEngine->isCompiled()) return true;
  const AnsiString text = Shown();
  const std::vector<int> bounds = Boundaries(text);
  int start = std::min(SelStart(), Len(text));
  int end = std::min(start + SelLength(), Len(text));
  start = SnapCaret(bounds, start, false);
  end = std::max(start, SnapCaret(bounds, end, true));
  if (start == end) {
    // The group before the caret; the leading literals stay.
    if (start <= Len(FLeading)) {
      Beep();
      return false;
    }
    start = SnapCaret(bounds, start - 1, false);
  }
  Rebuild(text.substr(0, static_cast<size_t>(start)), text.substr(static_cast<size_t>(end)));
  return false;
}

bool TcxMaskEditRegExprExMode::HandleDelete() {
  if (!FEngine->isCompiled()) return true;
  const AnsiString text = Shown();
  const std::vector<int> bounds = Boundaries(text);
  const int rawStart = std::min(SelStart(), Len(text));
  int start = rawStart;
  int end = std::min(start + SelLength(), Len(text));
  if (start == end && start < Len(FLeading) && !FLeading.empty()) {
    Beep();
    return false;
  }
  start = SnapCaret(bounds, start, false);
  end = std::max(start, SnapCaret(bounds, end, true));
  if (start == end) {
    if (end >= Len(text)) return false;
    end = SnapCaret(bounds, end + 1, true);
  }
  Rebuild(text.substr(0, static_cast<size_t>(start)), text.substr(static_cast<size_t>(end)));
  return false;
}

bool TcxMaskEditRegExprExMode::HandleLeft() {
  if (!FEngine->isCompiled() || FEdit->ShiftFlag()) return true;
  const AnsiString text = Shown();
  const std::vector<int> bounds = Boundaries(text);
  const int start = SelStart(), length = SelLength();
  if (length > 0) {
    Select(SnapCaret(bounds, start, false), 0);
    return false;
  }
  Select(SnapCaret(bounds, std::max(0, start - 1), false), 0);
  return false;
}

bool TcxMaskEditRegExprExMode::HandleRight() {
  if (!FEngine->isCompiled() || FEdit->ShiftFlag()) return true;
  const AnsiString text = Shown();
  const std::vector<int> bounds = Boundaries(text);
  const int start = SelStart(), length = SelLength();
  if (length > 0) {
    Select(SnapCaret(bounds, std::min(start + length, Len(text)), true), 0);
    return false;
  }
  Select(SnapCaret(bounds, std::min(start + 1, Len(text)), true), 0);
  return false;
}

bool TcxMaskEditRegExprExMode::HandleHome() {
  if (!FEngine->isCompiled() || FEdit->ShiftFlag()) return true;
  Select(std::min(Len(FLeading), Len(Shown())), 0);
  return false;
}

bool TcxMaskEditRegExprExMode::HandleEnd() {
  if (!FEngine->isCompiled() || FEdit->ShiftFlag()) return true;
  Select(Len(Shown()), 0);
  return false;
}

void TcxMaskEditRegExprExMode::AfterInsertion() {
  if (!FEngine->isCompiled() || !FEdit) return;
  const AnsiString text = Shown();
  const int caret = SelStart();
  Rebuild(text.substr(0, static_cast<size_t>(std::min(caret, Len(text)))),
          text.substr(static_cast<size_t>(std::min(caret, Len(text)))));
}

void TcxMaskEditRegExprExMode::TextAssigned(const AnsiString&) {
  FInsertLength = 0;
}

void TcxMaskEditRegExprExMode::ReloadShownText() {
  TcxMaskEditCustomMode::ReloadShownText();
  if (!HasUsableEdit() || !FEngine->isCompiled()) return;
  const AnsiString text = Shown();
  AnsiString fitted;
  Boundaries(text, &fitted);
  if (fitted != text) FEdit->PutDisplayText(Variant(fitted));
  Select(Len(fitted), 0);
  FHead = fitted;
  FTail.clear();
}

void TcxMaskEditRegExprExMode::ApplyPendingValue() {
  if (FPendingEmptyValue && FEdit) FEdit->SetEditValue(Variant(FLeading));
  FPendingEmptyValue = false;
}

// -- TcxCustomMaskEditProperties --------------------------------------------------------------------

const TClassInfo TcxCustomMaskEditProperties::ClassInfo{
    "TcxCustomMaskEditProperties", &TcxCustomTextEditProperties::ClassInfo, [](TObject* owner) -> TObject* {
      return new TcxCustomMaskEditProperties(static_cast<TPersistent*>(owner));
    }};

const TClassInfo TcxMaskEditProperties::ClassInfo{
    "TcxMaskEditProperties", &TcxCustomMaskEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxMaskEditProperties(static_cast<TPersistent*>(owner)); }};

TcxCustomMaskEditProperties::TcxCustomMaskEditProperties(TPersistent* owner) : TcxCustomTextEditProperties(owner) {
  SetValidateOnEnter(true);
}

TcxCustomMaskEditProperties::~TcxCustomMaskEditProperties() = default;

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::CreateMode(TcxCustomMaskEdit* edit, TcxEditMaskKind kind) {
  switch (kind) {
    case emkRegExpr: return new TcxMaskEditRegExprMode(edit, this);
    case emkRegExprEx: return new TcxMaskEditRegExprExMode(edit, this);
    default: return new TcxMaskEditStandardMode(edit, this);
  }
}

AnsiString TcxCustomMaskEditProperties::EditMask() const {
  if (FMaskKind == emkStandard && IsMaskBlank(FEditMask))
    return ValuesProvider() ? ValuesProvider()->ProvidedEditMask() : AnsiString();
  return FEditMask;
}

void TcxCustomMaskEditProperties::SetEditMask(const AnsiString& value) {
  if (value == EditMask()) {
    FEditMask = value;
    return;
  }
  {
    std::unique_ptr<TcxMaskEditCustomMode> probe(CreateMode(nullptr, FMaskKind));
    probe->CompileMask(value);  // raises for a mask that does not compile
  }
  FEditMask = value;
  NotifyChanged();
  if (HasMask() && TextValues()->MaxLength()) MaxLengthChanged();
}

void TcxCustomMaskEditProperties::SetAlwaysShowBlanksAndLiterals(bool value) {
  if (FAlwaysShowBlanksAndLiterals == value) return;
  FAlwaysShowBlanksAndLiterals = value;
  NotifyChanged();
}

void TcxCustomMaskEditProperties::SetCaseInsensitive(bool value) {
  FCaseInsensitive = CharCase() != ecNormal ? true : value;
  NotifyChanged();
}

void TcxCustomMaskEditProperties::SetIgnoreMaskBlank(bool value) {
  if (FIgnoreMaskBlank == value) return;
  FIgnoreMaskBlank = value;
  NotifyChanged();
}

void TcxCustomMaskEditProperties::SetMaskKind(TcxEditMaskKind value) {
  if (FMaskKind == value) return;
  FMaskKind = value;
  NotifyChanged();
}

void TcxCustomMaskEditProperties::SetCharCase(TEditCharCase value) {
  if (value == ecUpperCase || value == ecLowerCase) FCaseInsensitive = true;
  TcxCustomTextEditProperties::SetCharCase(value);
}

void TcxCustomMaskEditProperties::NotifyChanged() {
  FDisplayMode.reset();
  TcxCustomTextEditProperties::NotifyChanged();
}

void TcxCustomMaskEditProperties::MaxLengthChanged() {
  if (HasMask() && !FResettingMaxLength && TextValues()->MaxLength()) {
    TFlagScope guard(FResettingMaxLength, true);
    LockChanges();
    SetMaxLength(0);
    UnlockChanges();
    return;
  }
  TcxCustomTextEditProperties::MaxLengthChanged();
}

int TcxCustomMaskEditProperties::DefaultMaxLength() const {
  return HasMask() ? 0 : TcxCustomTextEditProperties::DefaultMaxLength();
}

bool TcxCustomMaskEditProperties::AcceptsValue(const TcxEditValue& value) const {
  return HasMask() || TcxCustomTextEditProperties::AcceptsValue(value);
}

bool TcxCustomMaskEditProperties::NormalizeDisplayValue(TcxEditValue& value, bool editing) const {
  // The mode has shaped a masked text already; the case is the mask's.
  if (HasMask()) return true;
  return TcxCustomTextEditProperties::NormalizeDisplayValue(value, editing);
}

TcxMaskEditCustomMode* TcxCustomMaskEditProperties::DisplayMode() const {
  const AnsiString mask = EditMask();
  if (!FDisplayMode || FDisplayMode->MaskKindOf() != FMaskKind || FDisplayMode->Mask() != mask) {
    FDisplayMode.reset(const_cast<TcxCustomMaskEditProperties*>(this)->CreateMode(nullptr, FMaskKind));
    try {
      FDisplayMode->CompileMask(mask);
    } catch (const EcxEditError&) {
      FDisplayMode.reset(const_cast<TcxCustomMaskEditProperties*>(this)->CreateMode(nullptr, FMaskKind));
    }
  }
  return FDisplayMode.get();
}

void TcxCustomMaskEditProperties::ValueToDisplay(const TcxEditValue& value, TcxEditValue& display,
                                                 bool editing) const {
  if (!HasMask() || (!editing && ValuesProvider() && ValuesProvider()->HasDisplayFormatFor(editing))) {
    TcxCustomTextEditProperties::ValueToDisplay(value, display, editing);
    return;
  }
  const AnsiString text = value.IsEmpty() || value.IsNull() ? AnsiString() : VarToStr(value);
  TcxMaskEditCustomMode* mode = DisplayMode();
  if (editing || mode->MaskKindOf() != emkStandard || FAlwaysShowBlanksAndLiterals)
    display = Variant(mode->FormatText(text, false));
  else
    display = Variant(mode->ValueText(text, false));
}

void TcxCustomMaskEditProperties::ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText,
                                                       IcxEditValidationTarget* edit, bool& error) {
  if (!error && HasMask()) {
    auto* maskEdit = dynamic_cast<TcxCustomMaskEdit*>(edit);
    TcxMaskEditCustomMode* mode = maskEdit ? maskEdit->Mode() : DisplayMode();
    const AnsiString text = displayValue.IsEmpty() || displayValue.IsNull() ? AnsiString() : VarToStr(displayValue);
    if (!mode->IsValidText(text)) {
      error = true;
      errorText = LoadResString(cxSMaskEditInvalidEditValue);
    }
  }
  TcxCustomTextEditProperties::ValidateDisplayValue(displayValue, errorText, edit, error);
}

void TcxCustomMaskEditProperties::CopyFrom(TPersistent* source) {
  auto* other = ObjectAs<TcxCustomMaskEditProperties>(source);
  if (!other) {
    TcxCustomTextEditProperties::CopyFrom(source);
    return;
  }
  LockChanges();
  try {
    TcxCustomTextEditProperties::CopyFrom(source);
    FMaskKind = other->FMaskKind;
    FEditMask = other->FEditMask;
    FCaseInsensitive = other->FCaseInsensitive;
    FIgnoreMaskBlank = other->FIgnoreMaskBlank;
    FAlwaysShowBlanksAndLiterals = other->FAlwaysShowBlanksAndLiterals;
    NotifyChanged();
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

// -- TcxCustomMaskEdit ------------------------------------------------------------------------------

const TClassInfo TcxCustomMaskEdit::ClassInfo{"TcxCustomMaskEdit", &TcxCustomTextEdit::ClassInfo, nullptr};
const TClassInfo TcxMaskEdit::ClassInfo{"TcxMaskEdit", &TcxCustomMaskEdit::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TcxMaskEdit(static_cast<TComponent*>(owner));
                                        }};

TcxCustomMaskEdit::TcxCustomMaskEdit(TComponent* owner, bool inPlace) : TcxCustomTextEdit(owner, inPlace) {}

TcxCustomMaskEdit::~TcxCustomMaskEdit() = default;

TcxMaskEditCustomMode* TcxCustomMaskEdit::Mode() {
  if (!FMode || FMode->MaskKindOf() != ActiveProperties()->MaskKind()) RecreateMode();
  return FMode.get();
}

void TcxCustomMaskEdit::RecreateMode() {
  TcxCustomMaskEditProperties* p = ActiveProperties();
  FMode.reset(p->CreateMode(this, p->MaskKind()));
  FMode->RecordedCharCase = p->CharCase();
  FMode->RecordedEchoMode = p->EchoMode();
  try {
    FMode->CompileMask(p->EditMask());
  } catch (const EcxEditError&) {
    // The properties never store a mask that does not compile.
  }
  p->SetEmptyMaskText(p->HasMask() ? FMode->EmptyText() : AnsiString());
}

void TcxCustomMaskEdit::ApplyProperties(TcxCustomEditProperties* properties) {
  auto* p = ObjectAs<TcxCustomMaskEditProperties>(properties);
  if (!p || FApplying) {
    TcxCustomTextEdit::ApplyProperties(properties);
    return;
  }
  TFlagScope applying(FApplying, true);
  const bool kindChanged = !FMode || FMode->MaskKindOf() != p->MaskKind();
  if (kindChanged && FMode) {
    // A mask of one syntax is never read as the other; between the two
    // regular-expression kinds it is kept.
    const bool standardBefore = FMode->MaskKindOf() == emkStandard;
    const bool standardNow = p->MaskKind() == emkStandard;
    if (standardBefore != standardNow && FMode->Mask() == p->StoredEditMask()) p->RestoreStoredEditMask(AnsiString());
  }
  const bool maskChanged = kindChanged || FMode->Mask() != p->EditMask() || p->FormatChanging();
  const bool caseChanged = FMode && FMode->RecordedCharCase != p->CharCase();
  if (kindChanged || maskChanged) {
    RecreateMode();
    if (p->HasMask() && p->TextValues()->MaxLength()) p->SetMaxLength(0);
  }
  FMode->RecordedCharCase = p->CharCase();
  if (FMode->MaskKindOf() != emkStandard) static_cast<TcxMaskEditRegExprMode*>(FMode.get())->Engine()->CaseInsensitive = p->CaseInsensitive();
  TcxCustomTextEdit::ApplyProperties(properties);
  if (!IsInnerControlPending() && p->HasMask() && (kindChanged || maskChanged || caseChanged)) {
    FMode->ApplyPendingValue();
    FMode->ReloadShownText();
  }
}

void TcxCustomMaskEdit::SendKey(WORD key) {
  if (!InnerTextEdit() || !InnerTextEdit()->HandleAllocated()) return;
  TFlagScope sending(FSendingKeys, true);
  SendMessageA(InnerTextEdit()->Handle(), WM_KEYDOWN, key, 0);
}

void TcxCustomMaskEdit::SendChar(char ch) {
  if (!InnerTextEdit() || !InnerTextEdit()->HandleAllocated()) return;
  TFlagScope sending(FSendingKeys, true);
  SendMessageA(InnerTextEdit()->Handle(), WM_CHAR, static_cast<unsigned char>(ch), 0);
}

void TcxCustomMaskEdit::KeyDown(WORD& Key, TShiftState Shift) {
  if (FSendingKeys) return;
  TcxCustomTextEdit::KeyDown(Key, Shift);
}

void TcxCustomMaskEdit::KeyPress(char& Key) {
  if (FSendingKeys) return;
  TcxCustomTextEdit::KeyPress(Key);
}

void TcxCustomMaskEdit::KeyUp(WORD& Key, TShiftState Shift) {
  if (FSendingKeys) return;
  TcxCustomTextEdit::KeyUp(Key, Shift);
}

void TcxCustomMaskEdit::ProcessKey(WORD& key, TShiftState shift) {
  if (!HasMask() || key == 0 || IsClearOrClickShortcut(key, shift)) {
    TcxCustomTextEdit::ProcessKey(key, shift);
    return;
  }
  if (!KeyMayProceed(key, shift)) {
    FireKeyEvent(key, shift);
    key = 0;
    return;
  }
  if (key == VK_TAB) {
    TcxCustomTextEdit::ProcessKey(key, shift);
    return;
  }
  FShiftFlag = shift.Contains(ssShift);
  TcxMaskEditCustomMode* mode = Mode();
  TWeakLink<TControl> self(this);
  switch (key) {
    case VK_UP:
    case VK_DOWN:
      if (!HasPopupOpen()) {
        FireKeyEvent(key, shift);
        key = 0;
      }
      break;
    case VK_LEFT:
    case VK_RIGHT: {
      const bool left = key == VK_LEFT;
      if (shift.Contains(ssCtrl)) {
        if (!(left ? mode->HandleHome() : mode->HandleEnd())) key = 0;
        break;
      }
      const bool atEdge = left ? mode->CaretAtStart() : mode->CaretAtEnd();
      if (!(left ? mode->HandleLeft() : mode->HandleRight())) {
        if (atEdge && self.Get()) FireKeyEvent(key, shift);
        key = 0;
      }
      break;
    }
    case VK_DELETE:
      if (!shift.Contains(ssShift)) {
        if (!mode->HandleDelete()) key = 0;
      } else if (SelLength() == 0) {
        if (!mode->HandleBackspace()) key = 0;
      }
      break;
    case VK_HOME:
      if (!mode->HandleHome()) key = 0;
      break;
    case VK_END:
      if (!mode->HandleEnd()) key = 0;
      break;
    default:
      break;
  }
  if (self.Get() && key != 0) TcxCustomTextEdit::ProcessKey(key, shift);
}

void TcxCustomMaskEdit::ProcessChar(char& key) {
  if (!HasMask()) {
    TcxCustomTextEdit::ProcessChar(key);
    return;
  }
  if (key == '\t' || key == 0x1B) {
    key = 0;
    return;
  }
  FilterChar(key);
  if (key == 0 || key == '\r') return;
  if (key == 3 || key == 22 || key == 24) {
    TcxCustomTextEdit::ProcessChar(key);
    return;
  }
  TcxMaskEditCustomMode* mode = Mode();
  const bool proceed = key == '\b' ? mode->HandleBackspace() : mode->HandleChar(key);
  if (!proceed) key = 0;
}

void TcxCustomMaskEdit::InsertText(const AnsiString& text) {
  if (!HasMask()) {
    TcxCustomTextEdit::InsertText(text);
    return;
  }
  TcxMaskEditCustomMode* mode = Mode();
  if (mode->MaskKindOf() == emkStandard) {
    mode->SetInsertLength(static_cast<int>(text.size()));
    mode->BeforeInsertion();
    // The inserted text overwrites the template from the caret.
    const AnsiString shown = InnerTextEdit() ? InnerTextEdit()->Text() : AnsiString();
    const int start = std::min<int>(SelStart(), static_cast<int>(shown.size()));
    AnsiString merged = shown.substr(0, static_cast<size_t>(start)) + text;
    if (merged.size() < shown.size()) merged += shown.substr(merged.size());
    const AnsiString fitted = mode->FormatText(merged, true);
    if (!StoreText(fitted)) return;
    mode->AfterInsertion();
    mode->SetInsertLength(0);
    return;
  }
  mode->SetInsertLength(static_cast<int>(text.size()));
  mode->BeforeInsertion();
  const AnsiString shown = InnerTextEdit() ? InnerTextEdit()->Text() : AnsiString();
  const int start = std::min<int>(SelStart(), static_cast<int>(shown.size()));
  const int end = std::min<int>(start + SelLength(), static_cast<int>(shown.size()));
  // The pasted characters the pattern refuses are dropped; the rest of the
  // text stays when it can still follow.
  const AnsiString head = shown.substr(0, static_cast<size_t>(start)) + text;
  const AnsiString fittedHead = mode->FormatText(head, true);
  AnsiString whole = mode->FormatText(fittedHead + shown.substr(static_cast<size_t>(end)), true);
  if (whole.compare(0, fittedHead.size(), fittedHead) != 0) whole = fittedHead;
  if (!StoreText(whole)) return;
  SelectRange(static_cast<int>(std::min(fittedHead.size(), whole.size())), 0);
  mode->AfterInsertion();
  mode->SetInsertLength(0);
}

void TcxCustomMaskEdit::PasteText() {
  if (!HasMask()) {
    TcxCustomTextEdit::PasteText();
    return;
  }
  if (!Clipboard()->HasFormat(CF_TEXT)) return;
  TcxUserActionScope userAction(this, true);
  InsertText(Clipboard()->AsText());
}

void TcxCustomMaskEdit::CutSelection() {
  if (!HasMask()) {
    TcxCustomTextEdit::CutSelection();
    return;
  }
  if (SelLength() == 0) return;
  CopySelection();
  TcxUserActionScope userAction(this, true);
  if (!StartEditing()) return;
  Mode()->HandleDelete();
}

AnsiString TcxCustomMaskEdit::MaskedText() {
  const AnsiString shown = TcxCustomTextEdit::ReadText();
  return Mode()->ValueText(shown, true);
}

AnsiString TcxCustomMaskEdit::ReadText() {
  if (IsBeingDestroyed() || !HasMask()) return TcxCustomTextEdit::ReadText();
  return MaskedText();
}

bool TcxCustomMaskEdit::AssignText(const AnsiString& text) {
  if (!HasMask()) return TcxCustomTextEdit::AssignText(text);
  AssignEditValue(Variant(Mode()->ValueText(Mode()->FormatText(text, true), true)));
  return true;
}

void TcxCustomMaskEdit::ApplyDisplayValue(const Variant& value) {
  if (!HasMask() || ComponentState().Contains(csLoading)) {
    TcxCustomTextEdit::ApplyDisplayValue(value);
    return;
  }
  TcxMaskEditCustomMode* mode = Mode();
  const AnsiString text = value.IsEmpty() || value.IsNull() ? AnsiString() : VarToStr(value);
  const bool focused = HandleAllocated() && Focused();
  const AnsiString shown = focused || mode->MaskKindOf() != emkStandard ||
                                   ActiveProperties()->AlwaysShowBlanksAndLiterals()
                               ? mode->FormatText(text, true)
                               : mode->ValueText(text, true);
  TcxCustomTextEdit::ApplyDisplayValue(Variant(shown));
  mode->TextAssigned(shown);
}

void TcxCustomMaskEdit::RefreshDisplayText() {
  TcxCustomTextEdit::RefreshDisplayText();
  if (HasMask() && InnerTextEdit()) Mode()->TextAssigned(InnerTextEdit()->Text());
}

TcxEditValue TcxCustomMaskEdit::ConvertDisplayValue(const TcxEditValue& value) {
  if (!HasMask()) return TcxCustomTextEdit::ConvertDisplayValue(value);
  const AnsiString text = value.IsEmpty() || value.IsNull() ? AnsiString() : VarToStr(value);
  return Variant(Mode()->ValueText(text, true));
}

Variant TcxCustomMaskEdit::DisplayToEditValue() {
  if (!HasMask()) return TcxCustomTextEdit::DisplayToEditValue();
  return Variant(MaskedText());
}

void TcxCustomMaskEdit::WndProc(TMessage& Message) {
  TcxCustomTextEdit::WndProc(Message);
}

// -- Registration ---------------------------------------------------------------------------------

namespace {

const TEnumInfo EchoModes{"TcxEditEchoMode", {"eemNormal", "eemPassword"}};
const TEnumInfo CharCases{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
const TEnumInfo MaskKinds{"TcxEditMaskKind", {"emkStandard", "emkRegExpr", "emkRegExprEx"}};

using P = TcxCustomMaskEditProperties;
const TPublishedRegistration maskPropertiesRegistration(&TcxMaskEditProperties::ClassInfo, {
    Property<&P::AlwaysShowBlanksAndLiterals, &P::SetAlwaysShowBlanksAndLiterals>("AlwaysShowBlanksAndLiterals")
        .Default(false),
    Property<&P::CaseInsensitive, &P::SetCaseInsensitive>("CaseInsensitive").Default(true),
    Property<&P::IgnoreMaskBlank, &P::SetIgnoreMaskBlank>("IgnoreMaskBlank").Default(false),
    Property<&P::MaskKind, &P::SetMaskKind>("MaskKind", MaskKinds).Default(emkStandard),
    Property<&P::StoredEditMask, &P::SetEditMask>("EditMask"),
    Property<&P::EchoMode, &P::SetEchoMode>("EchoMode", EchoModes).Default(eemNormal),
    Property<&P::PasswordChar, &P::SetPasswordChar>("PasswordChar").Default(0),
    Property<&P::MaxLength, &P::SetMaxLength>("MaxLength").NoDefault().Stored<&P::IsMaxLengthStored>(),
    Property<&P::CharCase, &P::SetCharCase>("CharCase", CharCases).Default(ecNormal),
    cxEditPublished::BeepOnError(),
    cxEditPublished::ReadOnly(),
    cxEditPublished::ValidateOnEnter(),
    cxEditPublished::OnChange(),
    cxEditPublished::OnValidate(),
});

using E = TcxMaskEdit;
bool MaskTextStored(TObject* o) { return !static_cast<TcxMaskEdit*>(o)->Text().empty(); }
const TPublishedRegistration maskEditRegistration(&TcxMaskEdit::ClassInfo, {
    Property<&E::Properties, &E::SetProperties>("Properties"),
    StoredWhen(Property<&E::Text, &E::SetText>("Text"), MaskTextStored),
});

}  // namespace

// -- The filter-row helper --------------------------------------------------------------------------

const TClassInfo TcxFilterMaskEditHelper::ClassInfo{
    "TcxFilterMaskEditHelper", &TcxFilterTextEditHelper::ClassInfo,
    [](TObject*) -> TObject* { return new TcxFilterMaskEditHelper(); }};

TClass TcxFilterMaskEditHelper::FilterEditorClass() const { return &TcxMaskEdit::ClassInfo; }

TcxFilterOperators TcxFilterMaskEditHelper::AllowedOperators(TObject* context, const TcxValueType* valueType,
                                                             bool extended) const {
  TcxFilterOperators operators{1, 2, 3, 4, 5, 6, 9, 10};
  const auto* mask = dynamic_cast<const TcxCustomMaskEditProperties*>(context);
  if (!(mask && mask->HasMask()) && valueType && valueType->IsStringType()) operators.Include(7).Include(8);
  if (extended) operators.Include(11).Include(12).Include(13).Include(14);
  return operators;
}

void TcxFilterMaskEditHelper::ConfigureProperties(TcxCustomEditProperties* properties,
                                                  TcxCustomEditProperties* source, int kind) const {
  TcxFilterTextEditHelper::ConfigureProperties(properties, source, kind);
  auto* mask = dynamic_cast<TcxCustomMaskEditProperties*>(properties);
  if (!mask) return;
  // The mask survives this change: both kinds read it as a regular expression.
  if (mask->MaskKind() == emkRegExpr) mask->SetMaskKind(emkRegExprEx);
  mask->SetAutoSelect(!mask->HasMask());
}

// -- The unit ---------------------------------------------------------------------------------------

namespace {
int MaskEditUnitStarts = 0;
}

void cxMaskEditInit() {
  if (MaskEditUnitStarts++ > 0) return;
  RegisterClass(&TcxMaskEdit::ClassInfo);
  RegisteredPropertiesClasses()->EnrolClass(&TcxMaskEditProperties::ClassInfo,
                                            LoadResString(cxSEditRepositoryMaskItem));
  FilterEditsController()->AddPair(&TcxMaskEditProperties::ClassInfo, &TcxFilterMaskEditHelper::ClassInfo);
}

void cxMaskEditDone() {
  if (MaskEditUnitStarts == 0 || --MaskEditUnitStarts > 0) return;
  if (FilterEditsControllerExists())
    FilterEditsController()->RemovePair(&TcxMaskEditProperties::ClassInfo, &TcxFilterMaskEditHelper::ClassInfo);
  UnRegisterClass(&TcxMaskEdit::ClassInfo);
  RegisteredPropertiesClasses()->WithdrawClass(&TcxMaskEditProperties::ClassInfo);
}
