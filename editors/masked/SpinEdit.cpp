// The spin edit, its buttons and properties.
#include "editors/masked/SpinEdit.h"

#include "editors/framework/EditConsts.h"
#include "editors/framework/EditStrings.h"
#include "platform/ControlsProperties.h"
#include "platform/FormatSettings.h"
#include "platform/Properties.h"
#include "platform/NumberText.h"
#include "platform/ResourceString.h"
#include "platform/Seams.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

constexpr double MaxDouble = 1.7976931348623157E308;

bool IsNumber(const Variant& v) {
  switch (v.VarType()) {
    case varSmallint: case varInteger: case varSingle: case varDouble: case varCurrency: case varShortInt:
    case varByte: case varWord: case varLongWord: case varInt64:
      return true;
    default:
      return false;
  }
}

bool IsIntegral(const Variant& v) { return IsNumber(v) && v.VarType() != varDouble && v.VarType() != varSingle && v.VarType() != varCurrency; }

bool TryReadInt64(const AnsiString& text, int64_t& value) {
  if (text.empty()) return false;
  size_t i = 0;
  if (text[0] == '+' || text[0] == '-') i = 1;
  if (i >= text.size()) return false;
  for (size_t j = i; j < text.size(); ++j)
    if (text[j] < '0' || text[j] > '9') return false;
  errno = 0;
  char* end = nullptr;
  const long long v = std::strtoll(text.c_str(), &end, 10);
  if (errno == ERANGE || !end || *end != 0) return false;
  value = v;
  return true;
}

// Compares two numbers of the value type.
int Compare(const Variant& a, const Variant& b) {
  if (IsIntegral(a) && IsIntegral(b)) {
    const int64_t x = a.AsInt64(), y = b.AsInt64();
    return x < y ? -1 : x > y ? 1 : 0;
  }
  const double x = a.AsDouble(), y = b.AsDouble();
  return x < y ? -1 : x > y ? 1 : 0;
}

AnsiString PlainText(const Variant& v) {
  if (IsIntegral(v)) return IntToStr(v.AsInt64());
  if (IsNumber(v)) return FloatToStr(v.AsDouble());
  return VarToStr(v);
}

}  // namespace

// -- TcxSpinEditButtons -----------------------------------------------------------------------------

const TClassInfo TcxSpinEditButtons::ClassInfo{"TcxSpinEditButtons", &TPersistent::ClassInfo, nullptr};

void TcxSpinEditButtons::Changed() {
  if (FOwner) FOwner->NotifyChanged();
}

void TcxSpinEditButtons::SetPosition(TcxSpinEditButtonsPosition value) {
  if (FPosition == value) return;
  FPosition = value;
  Changed();
}

void TcxSpinEditButtons::SetShowFastButtons(bool value) {
  if (FShowFastButtons == value) return;
  FShowFastButtons = value;
  Changed();
}

void TcxSpinEditButtons::SetVisible(bool value) {
  if (FVisible == value) return;
  FVisible = value;
  Changed();
}

void TcxSpinEditButtons::Assign(TPersistent* source) {
  auto* other = ObjectAs<TcxSpinEditButtons>(source);
  if (!other) {
    TPersistent::Assign(source);
    return;
  }
  if (FOwner) FOwner->LockChanges();
  SetPosition(other->FPosition);
  SetShowFastButtons(other->FShowFastButtons);
  SetVisible(other->FVisible);
  if (FOwner) FOwner->UnlockChanges();
}

// -- TcxCustomSpinEditProperties --------------------------------------------------------------------

const TClassInfo TcxCustomSpinEditProperties::ClassInfo{
    "TcxCustomSpinEditProperties", &TcxCustomMaskEditProperties::ClassInfo, [](TObject* owner) -> TObject* {
      return new TcxCustomSpinEditProperties(static_cast<TPersistent*>(owner));
    }};

const TClassInfo TcxSpinEditProperties::ClassInfo{
    "TcxSpinEditProperties", &TcxCustomSpinEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxSpinEditProperties(static_cast<TPersistent*>(owner)); }};

TcxCustomSpinEditProperties::TcxCustomSpinEditProperties(TPersistent* owner)
    : TcxCustomMaskEditProperties(owner), FSpinButtons(std::make_unique<TcxSpinEditButtons>(this)) {
  SyncButtons();
}

TcxCustomSpinEditProperties::~TcxCustomSpinEditProperties() = default;

void TcxCustomSpinEditProperties::SyncButtons() {
  if (FSyncingButtons || !FSpinButtons) return;
  const int wanted = !FSpinButtons->Visible() ? 0 : FSpinButtons->ShowFastButtons() ? 4 : 2;
  if (Buttons()->Count() == wanted) return;
  bool guard = true;
  std::swap(guard, FSyncingButtons);
  LockChanges();
  while (Buttons()->Count() > wanted) Buttons()->Delete(0);
  while (Buttons()->Count() < wanted) Buttons()->AddButton();
  UnlockChanges();
  FSyncingButtons = false;
}

void TcxCustomSpinEditProperties::NotifyChanged() {
  SyncButtons();
  TcxCustomMaskEditProperties::NotifyChanged();
}

TcxSpinEditValueType TcxCustomSpinEditProperties::ValueType() const {
  if (FValueTypeAssigned) return FValueType;
  if (ValuesProvider()) return ValuesProvider()->ProvidedFloatFlag() ? vtFloat : vtInt;
  return vtFloat;
}

void TcxCustomSpinEditProperties::SetValueType(TcxSpinEditValueType value) {
  if (FValueTypeAssigned && FValueType == value) return;
  FValueType = value;
  FValueTypeAssigned = true;
  NotifyChanged();
}

double TcxCustomSpinEditProperties::RoundToValueType(double value) const {
  return ValueType() == vtInt ? static_cast<double>(cxSpinRoundToInt(value)) : value;
}

Variant TcxCustomSpinEditProperties::CastToValueType(const Variant& value) const {
  if (!IsNumber(value)) return value;
  if (ValueType() == vtInt) return IsIntegral(value) ? Variant(value.AsInt64()) : Variant(cxSpinRoundToInt(value.AsDouble()));
  return Variant(value.AsDouble());
}

Variant TcxCustomSpinEditProperties::MaxAsValue() const {
  if (HasValueLimit(1)) return CastToValueType(Variant(RoundToValueType(EffectiveMaxValue())));
  return ValueType() == vtInt ? Variant(std::numeric_limits<int64_t>::max()) : Variant(MaxDouble);
}

Variant TcxCustomSpinEditProperties::MinAsValue() const {
  if (HasValueLimit(0)) return CastToValueType(Variant(RoundToValueType(EffectiveMinValue())));
  return ValueType() == vtInt ? Variant(std::numeric_limits<int64_t>::min()) : Variant(-MaxDouble);
}

Variant TcxCustomSpinEditProperties::ClampToAssignedLimits(const Variant& value) const {
  if (!IsNumber(value)) return value;
  if (HasValueLimit(0) && value.AsDouble() < EffectiveMinValue()) return Variant(EffectiveMinValue());
  if (HasValueLimit(1) && value.AsDouble() > EffectiveMaxValue()) return Variant(EffectiveMaxValue());
  return value;
}

Variant TcxCustomSpinEditProperties::PrepareValue(const Variant& value) const {
  if (value.IsNull() || value.IsEmpty() || (value.VarType() == varString && VarToStr(value).empty()))
    return CastToValueType(Variant(int64_t{0}));
  return CastToValueType(value);
}

bool TcxCustomSpinEditProperties::ParseNumber(const AnsiString& text, Variant& value) const {
  if (ValueType() == vtInt) {
    int64_t v = 0;
    if (!TryReadInt64(text, v)) return false;
    value = Variant(v);
    return true;
  }
  double d = 0;
  if (!TryStrToFloat(text, d) || !(d >= -MaxDouble && d <= MaxDouble)) return false;
  value = Variant(d);
  return true;
}

bool TcxCustomSpinEditProperties::AcceptsValue(const TcxEditValue& value) const {
  if (value.IsNull() || value.IsEmpty() || value.VarType() == varDate) return true;
  if (value.VarType() == varString || IsNumber(value)) {
    const AnsiString text = PlainText(value);
    if (text.empty()) return true;
    Variant parsed;
    return ParseNumber(text, parsed);
  }
  return false;
}

bool TcxCustomSpinEditProperties::NormalizeDisplayValue(TcxEditValue& value, bool editing) const {
  if (!TcxCustomMaskEditProperties::NormalizeDisplayValue(value, editing)) return false;
  AnsiString text = VarToStr(value);
  while (!text.empty() && text.front() == ' ') text.erase(0, 1);
  while (!text.empty() && text.back() == ' ') text.pop_back();
  if (text.empty()) return true;
  Variant number;
  if (!ParseNumber(text, number)) return false;
  if (Compare(number, MinAsValue()) < 0 || Compare(number, MaxAsValue()) > 0) value = Variant(PlainText(number));
  return true;
}

void TcxCustomSpinEditProperties::ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText,
                                                       IcxEditValidationTarget* edit, bool& error) {
  auto* spin = dynamic_cast<TcxCustomSpinEdit*>(edit);
  Variant value;
  if (spin) {
    AnsiString text;
    if (!spin->TextToValue(VarToStr(displayValue), false, text, value)) {
      error = true;
      errorText = text.empty() ? LoadResString(cxSSpinEditInvalidNumericValue) : text;
      if (!FExceptionOnInvalidInput) {
        error = false;
        value = spin->LastValidValue();
      }
    }
  } else {
    Variant parsed;
    value = ParseNumber(VarToStr(displayValue), parsed) ? parsed : Variant();
  }
  if (!error) {
    if (value.IsNull() || value.IsEmpty()) value = CastToValueType(ClampToAssignedLimits(Variant(int64_t{0})));
    value = CastToValueType(value);
    if (!FExceptionOnInvalidInput) {
      if (Compare(value, MinAsValue()) < 0) value = MinAsValue();
      if (Compare(value, MaxAsValue()) > 0) value = MaxAsValue();
      displayValue = Variant(PlainText(value));
    } else if (Compare(value, MinAsValue()) < 0 || Compare(value, MaxAsValue()) > 0) {
      error = true;
      errorText = LoadResString(cxSEditValueOutOfBounds);
    }
  }
  if (!error) {
    bool valueChanged = false;
    ValidateByEvent(displayValue, errorText, valueChanged, edit, error);
  }
}

void TcxCustomSpinEditProperties::CopyFrom(TPersistent* source) {
  auto* other = ObjectAs<TcxCustomSpinEditProperties>(source);
  if (!other) {
    TcxCustomMaskEditProperties::CopyFrom(source);
    return;
  }
  LockChanges();
  FValueType = other->FValueType;
  FValueTypeAssigned = other->FValueTypeAssigned;
  TcxCustomMaskEditProperties::CopyFrom(source);
  FCanEdit = other->FCanEdit;
  FCircular = other->FCircular;
  FExceptionOnInvalidInput = other->FExceptionOnInvalidInput;
  FIncrement = other->FIncrement;
  FLargeIncrement = other->FLargeIncrement;
  FSpinButtons->Assign(other->FSpinButtons.get());
  FUseCtrlIncrement = other->FUseCtrlIncrement;
  NotifyChanged();
  UnlockChanges();
}

// -- TcxSpinEditViewData ---------------------------------------------------------------------------

void TcxSpinEditViewData::ButtonRects(TcxCustomEditViewInfo* viewInfo, RECT& area, int index) {
  // The buttons are placed from the last to the first.
  const int count = viewInfo->ButtonCount();
  if (index == count - 1) FFullArea = area;
  TcxCustomTextEditViewData::ButtonRects(viewInfo, area, index);
  auto* p = dynamic_cast<TcxCustomSpinEditProperties*>(Properties);
  if (!p || index != 0 || (count != 2 && count != 4)) return;
  // The whole layout at once, when the last button is placed.
  RECT full = FFullArea;
  const RECT& first = viewInfo->Button(0).ButtonRect;
  const int w = first.right - first.left;
  const int fast = MulDiv(w, 3, 2);
  TcxEditButtonViewInfo* byIndex[4] = {nullptr, nullptr, nullptr, nullptr};
  for (int i = 0; i < count; ++i) {
    const int c = viewInfo->Button(i).CollectionIndex;
    if (c >= 0 && c < 4) byIndex[c] = &viewInfo->Button(i);
  }
  auto put = [](TcxEditButtonViewInfo* b, const RECT& r) {
    if (!b) return;
    b->ButtonRect = b->VisibleRect = r;
  };
  // Takes `width` from the right or the left of `full`.
  auto fromRight = [&full](int width) {
    const RECT r{std::max<LONG>(full.left, full.right - width), full.top, full.right, full.bottom};
    full.right = r.left;
    return r;
  };
  auto fromLeft = [&full](int width) {
    const RECT r{full.left, full.top, std::min<LONG>(full.right, full.left + width), full.bottom};
    full.left = r.right;
    return r;
  };
  const bool fastShown = count == 4;
  switch (p->SpinButtons()->Position()) {
    case sbpHorzLeftRight:
      if (fastShown) put(byIndex[2], fromLeft(fast));
      put(byIndex[0], fromLeft(w));
      if (fastShown) put(byIndex[3], fromRight(fast));
      put(byIndex[1], fromRight(w));
      break;
    case sbpHorzRight:
      if (fastShown) put(byIndex[3], fromRight(fast));
      put(byIndex[1], fromRight(w));
      put(byIndex[0], fromRight(w));
      if (fastShown) put(byIndex[2], fromRight(fast));
      break;
    default: {
      if (fastShown) put(byIndex[3], fromRight(fast));
      const RECT column = fromRight(w);
      const LONG middle = column.top + (column.bottom - column.top) / 2;
      put(byIndex[1], RECT{column.left, column.top, column.right, middle});
      put(byIndex[0], RECT{column.left, middle, column.right, column.bottom});
      if (fastShown) put(byIndex[2], fromRight(fast));
      break;
    }
  }
  for (int i = 0; i < count; ++i) viewInfo->Button(i).AtLeftSide = viewInfo->Button(i).ButtonRect.right <= full.left;
  area = full;
}

// -- TcxCustomSpinEdit ------------------------------------------------------------------------------

const TClassInfo TcxCustomSpinEdit::ClassInfo{"TcxCustomSpinEdit", &TcxCustomMaskEdit::ClassInfo, nullptr};
const TClassInfo TcxSpinEdit::ClassInfo{"TcxSpinEdit", &TcxCustomSpinEdit::ClassInfo, [](TObject* owner) -> TObject* {
                                          return new TcxSpinEdit(static_cast<TComponent*>(owner));
                                        }};

TcxCustomSpinEdit::TcxCustomSpinEdit(TComponent* owner, bool inPlace) : TcxCustomMaskEdit(owner, inPlace) {}

void TcxCustomSpinEdit::AfterConstruction() {
  TcxCustomMaskEdit::AfterConstruction();
  SetEditValue(Variant(int64_t{0}));
}

double TcxCustomSpinEdit::IncrementFor(int index) {
  TcxCustomSpinEditProperties* p = ActiveProperties();
  double step = index >= 2 ? p->LargeIncrement() : p->Increment();
  if (p->ValueType() == vtInt) step = static_cast<double>(cxSpinRoundToInt(step));
  return index == 0 || index == 2 ? -step : step;
}

bool TcxCustomSpinEdit::TextToValue(const AnsiString& text, bool raise, AnsiString& errorText, Variant& value) {
  TcxCustomSpinEditProperties* p = ActiveProperties();
  AnsiString trimmed = text;
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.erase(0, 1);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.pop_back();
  if (trimmed.empty()) {
    value = p->CastToValueType(p->ClampToAssignedLimits(Variant(int64_t{0})));
    return true;
  }
  Variant parsed;
  if (!p->ParseNumber(trimmed, parsed)) {
    errorText = LoadResString(cxSSpinEditInvalidNumericValue);
    if (raise && p->ExceptionOnInvalidInput()) throw EcxEditError(errorText);
    if (!p->ExceptionOnInvalidInput()) errorText.clear();
    value = FLastValidValue;
    return false;
  }
  value = p->CastToValueType(parsed);
  return true;
}

Variant TcxCustomSpinEdit::Value() {
  TcxCustomSpinEditProperties* p = ActiveProperties();
  Variant result;
  if (HandleAllocated() && Focused()) {
    if (FTyped) {
      AnsiString error;
      TextToValue(InnerTextEdit() ? InnerTextEdit()->Text() : AnsiString(), true, error, result);
    } else {
      result = FLastValidValue;
    }
  } else {
    const Variant v = EditValue();
    if (IsNumber(v)) {
      result = v;
    } else if (v.VarType() == varString && !VarToStr(v).empty()) {
      if (!p->ParseNumber(VarToStr(v), result)) result = Variant();
    }
  }
  if (!IsNumber(result)) result = p->ClampToAssignedLimits(Variant(int64_t{0}));
  return p->CastToValueType(result);
}

void TcxCustomSpinEdit::SetValue(const Variant& value) {
  if (!IsNumber(value) || !ActiveProperties()->AcceptsValue(value)) return;
  const Variant cast = ActiveProperties()->CastToValueType(value);
  FLastValidValue = cast;
  FTyped = false;
  AssignEditValue(cast);
}

Variant TcxCustomSpinEdit::ComputeSpinValue(int index) {
  TcxCustomSpinEditProperties* p = ActiveProperties();
  const Variant v = Value();
  const Variant min = p->MinAsValue(), max = p->MaxAsValue();
  const TcxSpinLimitMode mode = p->LimitMode();
  const bool up = index == 1 || index == 3;
  if (Compare(v, min) < 0) return up ? min : mode == slmWrap ? max : Variant();
  if (Compare(v, max) > 0) return !up ? max : mode == slmWrap ? min : Variant();
  const double step = IncrementFor(index);
  if (p->ValueType() == vtInt) {
    int64_t result = 0;
    const int64_t s = cxSpinRoundToInt(step);
    if (!cxSpinApplyStep(v.AsInt64(), s, min.AsInt64(), max.AsInt64(), mode, result)) return Variant();
    return Variant(result);
  }
  double result = 0;
  if (!cxSpinApplyStep(v.AsDouble(), step, min.AsDouble(), max.AsDouble(), mode, result)) return Variant();
  return Variant(result);
}

bool TcxCustomSpinEdit::SpinBy(int index) {
  LockChangeEvents(true);
  TWeakLink<TControl> self(this);
  bool changed = false;
  try {
    if (StartEditing()) {
      const Variant value = ComputeSpinValue(index);
      if (IsNumber(value)) {
        const AnsiString before = InnerTextEdit() ? InnerTextEdit()->Text() : AnsiString();
        const AnsiString text = PlainText(value);
        FLastValidValue = value;
        FTyped = false;
        PutDisplayText(Variant(text));
        if (self.Get() && text != before) {
          changed = true;
          MarkModified(true);
          SelectRange(static_cast<int>(text.size()), 0);
          if (ActiveProperties()->ImmediatePost() && CanStoreToData() && CheckEditValue(false)) StoreEditValue(false);
        }
      }
    }
  } catch (...) {
    if (self.Get()) LockChangeEvents(false);
    throw;
  }
  if (self.Get()) LockChangeEvents(false);
  return changed;
}

void TcxCustomSpinEdit::EndSpinning() {
  FRepeatTimer.reset();
  if (FSpinPressed == 0) return;
  FSpinPressed = 0;
  RefreshView();
}

void TcxCustomSpinEdit::StartAutoRepeat() {
  if (ActiveProperties()->GetReadOnly()) return;
  FRepeatTimer = std::make_unique<TcxTimer>();
  FRepeatTimer->SetInterval(400);
  FRepeatTimer->SetOnTimer(TNotifyEvent::Bind<&TcxCustomSpinEdit::RepeatTick>(this));
}

void TcxCustomSpinEdit::RepeatTick(TObject*) {
  if (!FRepeatTimer) return;
  if (FRepeatTimer->Interval() == 400) FRepeatTimer->SetInterval(100);
  const int pressed = EditViewInfo() ? EditViewInfo()->PressedIndex : -1;
  if (pressed >= 0 && pressed < 4) SpinBy(pressed);
}

void TcxCustomSpinEdit::EditButtonReleased(int index) {
  TcxCustomMaskEdit::EditButtonReleased(index);
  EndSpinning();
}

void TcxCustomSpinEdit::ProcessKey(WORD& key, TShiftState shift) {
  TcxCustomSpinEditProperties* p = ActiveProperties();
  const bool spinKey = key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT;
  if (spinKey && (!p->UseCtrlIncrement() || shift.Contains(ssCtrl))) {
    if (!StartEditing()) return;
    const int index = key == VK_UP ? 1 : key == VK_DOWN ? 0 : key == VK_PRIOR ? 3 : 2;
    FSpinPressed = index + 1;
    key = 0;
    SpinBy(index);
    return;
  }
  EndSpinning();
  if (key != VK_ESCAPE) FTyped = true;
  if (!p->CanEdit() && IsEditingKey(key, shift)) {
    FireKeyEvent(key, shift);
    key = 0;
    return;
  }
  if (key != 0) TcxCustomMaskEdit::ProcessKey(key, shift);
}

void TcxCustomSpinEdit::AfterKeyUp(WORD& key, TShiftState shift) {
  TcxCustomMaskEdit::AfterKeyUp(key, shift);
  if (key == VK_UP || key == VK_DOWN || key == VK_PRIOR || key == VK_NEXT) EndSpinning();
}

bool TcxCustomSpinEdit::KeyAllowedByProvider(char key) {
  TcxCustomSpinEditProperties* p = ActiveProperties();
  const auto c = static_cast<unsigned char>(key);
  if (!p->CanEdit()) return !(c == 8 || c >= 32);
  if (c < 32) return true;
  if (key >= '0' && key <= '9') return true;
  if (key == '+' || key == '-' || key == 'e' || key == 'E') return true;
  if (p->ValueType() == vtFloat && key == FormatSettings().DecimalSeparator) return true;
  return p->AlwaysAllowedChars().find(key) != std::string::npos;
}

void TcxCustomSpinEdit::ProcessChar(char& key) {
  if (key == '.' || key == ',') key = FormatSettings().DecimalSeparator;
  const auto c = static_cast<unsigned char>(key);
  if (c >= 32 || c == 8) {
    if (!KeyAllowedByProvider(key)) {
      key = 0;
      SystemBeep(0);
      return;
    }
    FTyped = true;
  }
  TcxCustomMaskEdit::ProcessChar(key);
}

void TcxCustomSpinEdit::EditButtonPressed(int index) {
  TcxCustomMaskEdit::EditButtonPressed(index);
  if (FSpinPressed != 0 || index < 0) return;
  if (index >= 4) return;
  TWeakLink<TControl> self(this);
  SpinBy(index);
  if (self.Get()) StartAutoRepeat();
}

void TcxCustomSpinEdit::RefreshDisplayText() {
  const Variant v = EditValue();
  TcxCustomSpinEditProperties* p = ActiveProperties();
  FLastValidValue = p->AcceptsValue(v) ? p->PrepareValue(v) : p->CastToValueType(p->ClampToAssignedLimits(Variant(int64_t{0})));
  TcxCustomMaskEdit::RefreshDisplayText();
}

TcxEditValue TcxCustomSpinEdit::ConvertDisplayValue(const TcxEditValue& value) {
  AnsiString error;
  Variant result;
  TextToValue(VarToStr(value), true, error, result);
  return result;
}

void TcxCustomSpinEdit::WndProc(TMessage& Message) {
  if (Message.Msg == WM_MOUSEWHEEL && ActiveProperties()->MouseWheelEnabled()) {
    const short delta = static_cast<short>(HIWORD(Message.WParam));
    if (delta != 0) SpinBy(delta > 0 ? 1 : 0);
    Message.Result = 1;
    return;
  }
  TcxCustomMaskEdit::WndProc(Message);
}

void TcxCustomSpinEdit::PasteText() {
  if (HandleAllocated() && Focused() && !ActiveProperties()->CanEdit()) return;
  FTyped = true;
  TcxCustomMaskEdit::PasteText();
}

void TcxCustomSpinEdit::CutSelection() {
  if (HandleAllocated() && Focused() && !ActiveProperties()->CanEdit()) return;
  FTyped = true;
  TcxCustomMaskEdit::CutSelection();
}

void TcxCustomSpinEdit::DeleteSelection() {
  if (HandleAllocated() && Focused() && !ActiveProperties()->CanEdit()) return;
  FTyped = true;
  TcxCustomMaskEdit::DeleteSelection();
}

// -- Registration ---------------------------------------------------------------------------------

namespace {

const TEnumInfo ValueTypes{"TcxSpinEditValueType", {"vtInt", "vtFloat"}};

using P = TcxCustomSpinEditProperties;
bool IncrementStored(TObject* o) { return static_cast<P*>(o)->Increment() != 1.0 && static_cast<P*>(o)->Increment() != 0; }
bool LargeIncrementStored(TObject* o) {
  return static_cast<P*>(o)->LargeIncrement() != 10.0 && static_cast<P*>(o)->LargeIncrement() != 0;
}
bool ZeroIncrementStored(TObject* o) { return static_cast<P*>(o)->Increment() == 0; }
bool ZeroLargeIncrementStored(TObject* o) { return static_cast<P*>(o)->LargeIncrement() == 0; }
bool ValueTypeStored(TObject* o) { return static_cast<P*>(o)->ValueTypeAssigned(); }

const TPublishedRegistration spinPropertiesRegistration(&TcxSpinEditProperties::ClassInfo, {
    Property<&P::CanEdit, &P::SetCanEdit>("CanEdit").Default(true),
    Property<&P::ExceptionOnInvalidInput, &P::SetExceptionOnInvalidInput>("ExceptionOnInvalidInput").Default(false),
    StoredWhen(Property<&P::Increment, &P::SetIncrement>("Increment"), IncrementStored),
    StoredWhen(Property<&P::LargeIncrement, &P::SetLargeIncrement>("LargeIncrement"), LargeIncrementStored),
    Property<&P::UseCtrlIncrement, &P::SetUseCtrlIncrement>("UseCtrlIncrement").Default(false),
    StoredWhen(Property<&P::ValueType, &P::SetValueType>("ValueType", ValueTypes), ValueTypeStored),
    StoredWhen(Property<&P::ZeroIncrement, &P::SetZeroIncrement>("ZeroIncrement"), ZeroIncrementStored),
    StoredWhen(Property<&P::ZeroLargeIncrement, &P::SetZeroLargeIncrement>("ZeroLargeIncrement"),
               ZeroLargeIncrementStored),
    cxEditPublished::ReadOnly(),
    cxEditPublished::OnChange(),
});

using E = TcxSpinEdit;
const TPublishedRegistration spinEditRegistration(&TcxSpinEdit::ClassInfo, {
    Property<&E::Properties, &E::SetProperties>("Properties"),
});

}  // namespace

// -- The filter-row helper --------------------------------------------------------------------------

const TClassInfo TcxFilterSpinEditHelper::ClassInfo{
    "TcxFilterSpinEditHelper", &TcxFilterMaskEditHelper::ClassInfo,
    [](TObject*) -> TObject* { return new TcxFilterSpinEditHelper(); }};

TClass TcxFilterSpinEditHelper::FilterEditorClass() const { return &TcxSpinEdit::ClassInfo; }

TcxFilterOperators TcxFilterSpinEditHelper::AllowedOperators(TObject*, const TcxValueType*, bool extended) const {
  TcxFilterOperators operators{1, 2, 3, 4, 5, 6, 9, 10};
  if (extended) operators.Include(11).Include(12).Include(13).Include(14);
  return operators;
}

void TcxFilterSpinEditHelper::ConfigureProperties(TcxCustomEditProperties* properties,
                                                  TcxCustomEditProperties* source, int kind) const {
  TcxFilterMaskEditHelper::ConfigureProperties(properties, source, kind);
  if (auto* spin = dynamic_cast<TcxCustomSpinEditProperties*>(properties)) spin->SetCanEdit(true);
}

// -- The unit ---------------------------------------------------------------------------------------

namespace {
int SpinEditUnitStarts = 0;
}

void cxSpinEditInit() {
  if (SpinEditUnitStarts++ > 0) return;
  RegisterClass(&TcxSpinEdit::ClassInfo);
  RegisteredPropertiesClasses()->EnrolClass(&TcxSpinEditProperties::ClassInfo,
                                            LoadResString(cxSEditRepositorySpinItem));
  FilterEditsController()->AddPair(&TcxSpinEditProperties::ClassInfo, &TcxFilterSpinEditHelper::ClassInfo);
}

void cxSpinEditDone() {
  if (SpinEditUnitStarts == 0 || --SpinEditUnitStarts > 0) return;
  if (FilterEditsControllerExists())
    FilterEditsController()->RemovePair(&TcxSpinEditProperties::ClassInfo, &TcxFilterSpinEditHelper::ClassInfo);
  UnRegisterClass(&TcxSpinEdit::ClassInfo);
  RegisteredPropertiesClasses()->WithdrawClass(&TcxSpinEditProperties::ClassInfo);
}
