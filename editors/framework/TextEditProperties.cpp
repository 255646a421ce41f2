// The text editors' properties, their assigned flags and the unit's number
// helpers.
#include "editors/framework/TextEditProperties.h"

#include "editors/framework/TextEdit.h"

#include "editors/framework/EditConsts.h"
#include "editors/framework/EditStrings.h"
#include "editors/framework/FilterEditHelpers.h"
#include "editors/framework/Formats.h"
#include "platform/Bcd.h"
#include "platform/CodePage.h"
#include "platform/Exceptions.h"
#include "platform/NumberText.h"
#include "platform/ControlsProperties.h"
#include "platform/DateTime.h"
#include "platform/Text.h"

#include <cctype>

// -- TcxTextEditPropertiesValues ---------------------------------------------------------------

const TClassInfo TcxTextEditPropertiesValues::ClassInfo{
    "TcxTextEditPropertiesValues", &TcxCustomEditPropertiesValues::ClassInfo, [](TObject* owner) -> TObject* {
      return new TcxTextEditPropertiesValues(ObjectAs<TcxCustomEditProperties>(owner));
    }};

TcxCustomTextEditProperties* TcxTextEditPropertiesValues::TextOwner() const {
  return ObjectAs<TcxCustomTextEditProperties>(Properties());
}

void TcxTextEditPropertiesValues::SetDisplayFormat(bool value) {
  if (FDisplayFormat == value) return;
  FDisplayFormat = value;
  if (Properties()) Properties()->NotifyChanged();
}

void TcxTextEditPropertiesValues::SetEditFormat(bool value) {
  if (FEditFormat == value) return;
  FEditFormat = value;
  if (Properties()) Properties()->NotifyChanged();
}

void TcxTextEditPropertiesValues::SetMaxLength(bool value) {
  if (FMaxLength == value) return;
  FMaxLength = value;
  if (TcxCustomTextEditProperties* owner = TextOwner()) owner->MaxLengthChanged();
}

void TcxTextEditPropertiesValues::ClearAll() {
  if (Properties()) Properties()->LockChanges();
  ClearAssigned();
  SetDisplayFormat(false);
  SetEditFormat(false);
  SetMaxLength(false);
  if (Properties()) Properties()->UnlockChanges();
}

bool TcxTextEditPropertiesValues::IsDisplayFormatStored() const {
  TcxCustomTextEditProperties* owner = TextOwner();
  return FDisplayFormat && owner && owner->OwnDisplayFormat().empty();
}

bool TcxTextEditPropertiesValues::IsEditFormatStored() const {
  TcxCustomTextEditProperties* owner = TextOwner();
  return FEditFormat && owner && owner->OwnEditFormat().empty();
}

void TcxTextEditPropertiesValues::Assign(TPersistent* source) {
  auto* other = ObjectAs<TcxTextEditPropertiesValues>(source);
  if (!other) {
    TcxCustomEditPropertiesValues::Assign(source);
    return;
  }
  if (Properties()) Properties()->LockChanges();
  TcxCustomEditPropertiesValues::Assign(source);
  SetDisplayFormat(other->FDisplayFormat);
  SetEditFormat(other->FEditFormat);
  SetMaxLength(other->FMaxLength);
  if (Properties()) Properties()->UnlockChanges();
}

// -- TcxCustomTextEditProperties ---------------------------------------------------------------

const TClassInfo TcxCustomTextEditProperties::ClassInfo{
    "TcxCustomTextEditProperties", &TcxCustomEditProperties::ClassInfo, [](TObject* owner) -> TObject* {
      return new TcxCustomTextEditProperties(static_cast<TPersistent*>(owner));
    }};

const TClassInfo TcxTextEditProperties::ClassInfo{
    "TcxTextEditProperties", &TcxCustomTextEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TcxTextEditProperties(static_cast<TPersistent*>(owner)); }};

namespace {
const bool textClassesRegistered = [] {
  RegisterEditPropertiesClasses(&TcxCustomTextEditProperties::ClassInfo,
                                TcxEditPropertiesClasses{nullptr, nullptr, nullptr, nullptr, nullptr,
                                                         &TcxTextEditPropertiesValues::ClassInfo});
  return true;
}();
}  // namespace

TcxCustomTextEditProperties::TcxCustomTextEditProperties(TPersistent* owner) : TcxCustomEditProperties(owner) {
  (void)textClassesRegistered;
  FLookupItems = std::make_unique<TStringList>();
  FLookupItems->SetDuplicates(dupAccept);
  FLookupItems->OnChange = TNotifyEvent::Bind<&TcxCustomTextEditProperties::LookupItemsChanged>(this);
  SharedFormatController()->AddListener(this);
}

TcxCustomTextEditProperties::~TcxCustomTextEditProperties() {
  if (TcxFormatController* controller = ExistingFormatController()) controller->RemoveListener(this);
  if (FLookupItems) FLookupItems->OnChange = TNotifyEvent();
}

void TcxCustomTextEditProperties::SetCharCase(TEditCharCase value) { StoreValue(FCharCase, value); }

void TcxCustomTextEditProperties::SetFixedListSelection(bool value) {
  if (FFixedListSelection == value) return;
  FFixedListSelection = value;
  if (EditingStyle() == tesFixedList) NotifyChanged();
}

int TcxCustomTextEditProperties::MaxLength() const {
  return TextValues()->MaxLength() ? FMaxLength : DefaultMaxLength();
}

void TcxCustomTextEditProperties::SetMaxLength(int value) {
  if (value < 0) value = 0;
  if (TextValues()->MaxLength() && value == FMaxLength) return;
  LockChanges();
  FMaxLength = value;
  TextValues()->SetMaxLength(true);
  MaxLengthChanged();
  UnlockChanges();
}

int TcxCustomTextEditProperties::DefaultMaxLength() const {
  return ValuesProvider() ? ValuesProvider()->ProvidedMaxLength() : 0;
}

AnsiString TcxCustomTextEditProperties::DisplayFormat() const {
  if (TextValues()->DisplayFormat()) return FDisplayFormat;
  if (ValuesProvider()) {
    const AnsiString provided = ValuesProvider()->ProvidedDisplayFormat();
    if (!provided.empty()) return provided;
  }
  return DefaultText();
}

void TcxCustomTextEditProperties::SetDisplayFormat(const AnsiString& value) {
  if (TextValues()->DisplayFormat() && value == FDisplayFormat) return;
  LockChanges();
  FDisplayFormat = value;
  TextValues()->SetDisplayFormat(true);
  NotifyChanged();
  UnlockChanges();
}

AnsiString TcxCustomTextEditProperties::EditFormat() const { return ResolveFormats(false).Format; }

void TcxCustomTextEditProperties::SetEditFormat(const AnsiString& value) {
  if (TextValues()->EditFormat() && value == FEditFormat) return;
  LockChanges();
  FEditFormat = value;
  TextValues()->SetEditFormat(true);
  NotifyChanged();
  UnlockChanges();
}

void TcxCustomTextEditProperties::FormatChanged() {
  const bool saved = FFormatChanging;
  FFormatChanging = true;
  try {
    NotifyChanged();
  } catch (...) {
    FFormatChanging = saved;
    throw;
  }
  FFormatChanging = saved;
}

bool TcxCustomTextEditProperties::FindLookupText(const AnsiString& text) const {
  for (int i = 0; i < FLookupItems->Count(); ++i)
    if (AnsiCompareText(FLookupItems->Strings(i), text) == 0) return true;
  return false;
}

TcxResolvedFormats TcxCustomTextEditProperties::ResolveFormats(bool inPlaceEdit) const {
  TcxResolvedFormats result;
  if (TextValues()->EditFormat()) {
    result.Format = FEditFormat;
    return result;
  }
  IcxEditDefaultValuesProvider* provider = ValuesProvider();
  if (!inPlaceEdit && provider && provider->HasGetTextHandler()) {
    result.ProviderText = true;
    return result;
  }
  if (provider) {
    const AnsiString editFormat = provider->ProvidedEditFormat();
    if (!editFormat.empty()) {
      result.Format = editFormat;
      return result;
    }
  }
  if (TextValues()->DisplayFormat()) {
    result.Format = FDisplayFormat;
  } else if (provider && !provider->ProvidedDisplayFormat().empty()) {
    result.Format = provider->ProvidedDisplayFormat();
  } else if (!DefaultText().empty()) {
    result.Format = DefaultText();
  } else if (provider) {
    result.Currency = (EditOptionFlags() & 2u) == 0 && provider->HoldsCurrency();
  }
  if (!FUseDisplayFormatWhenEditing) result.Format.clear();
  return result;
}

bool TcxCustomTextEditProperties::HasValueLimit(int which) const {
  const bool minAssigned = AssignedValues()->MinValue();
  const bool maxAssigned = AssignedValues()->MaxValue();
  if (minAssigned != maxAssigned) return which == 0 ? minAssigned : maxAssigned;
  return EffectiveMaxValue() > EffectiveMinValue();
}

void TcxCustomTextEditProperties::CheckDisplayNumber(const TcxEditValue& displayValue, AnsiString& errorText,
                                                     bool& error) const {
  // A text editor's display value is its edit value as it is; numbers and
  // dates are checked against the limits.
  const TVarType type = displayValue.VarType();
  if (!VarIsNumeric(displayValue) && type != varDate) return;
  const double value = displayValue.AsDouble();
  if ((HasValueLimit(0) && value < EffectiveMinValue()) || (HasValueLimit(1) && value > EffectiveMaxValue())) {
    error = true;
    errorText = ValidationErrorText(1);
  }
}

AnsiString TcxCustomTextEditProperties::ValidationErrorText(int kind) const {
  if (kind == 1) return LoadResString(cxSEditValueOutOfBounds);
  return TcxCustomEditProperties::ValidationErrorText(kind);
}

void TcxCustomTextEditProperties::ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText,
                                                       IcxEditValidationTarget* edit, bool& error) {
  if (UsesDisplayFormat() && HasValueLimits()) {
    CheckDisplayNumber(displayValue, errorText, error);
    if (error) return;
  }
  TcxCustomEditProperties::ValidateDisplayValue(displayValue, errorText, edit, error);
}

bool TcxCustomTextEditProperties::LookupSearchActive() const {
  const int style = EditingStyle();
  return style == tesEditList || style == tesFixedList || (style == tesPlain && FIncrementalSearch);
}

AnsiString TcxCustomTextEditProperties::ConvertCase(const AnsiString& text) const {
  switch (FCharCase) {
    case ecUpperCase: return AnsiUpperCase(text);
    case ecLowerCase: return AnsiLowerCase(text);
    default: return text;
  }
}

void TcxCustomTextEditProperties::MaskPasswordText(AnsiString& text) const {
  if (FEchoMode == eemPassword) {
    // One mask character per byte: a double-byte character shows as two.
    text.assign(text.size(), FPasswordChar ? FPasswordChar : '*');
  } else if (FCharCase != ecNormal) {
    text = ConvertCase(text);
  }
}

bool TcxCustomTextEditProperties::NormalizeDisplayValue(TcxEditValue& value, bool) const {
  const AnsiString text = value.IsEmpty() || value.IsNull() ? AnsiString() : value.AsString();
  bool accepted = true;
  if (!text.empty() && IsListStyle() && HasLookupDataClass()) accepted = FindLookupText(text);
  if (accepted) value = Variant(ConvertCase(text));
  return accepted;
}

AnsiString TcxCustomTextEditProperties::FormatNumber(const TcxEditValue& value, bool editing) const {
  const TFormatSettings& settings = FormatSettings();
  if (editing) {
    const TcxResolvedFormats formats = ResolveFormats(false);
    int precision = ValuesProvider() ? ValuesProvider()->ProvidedPrecision() : 0;
    if (precision <= 0) precision = 15;
    const AnsiString text = value.AsString();
    TBcd bcd;
    if (formats.Currency) {
      if (TryStrToBcd(text, bcd, settings))
        return BcdToStrF(bcd, ffFixed, precision, settings.CurrencyDecimals, settings);
      return text;
    }
    if (!formats.Format.empty()) return FormatFloat(formats.Format, value.AsDouble(), settings);
    AnsiString result = text;
    if (TryStrToBcd(text, bcd, settings)) result = BcdToStrF(bcd, ffGeneral, precision, 0, settings);
    if (FormatFlagFor(false)) result = InsertThousandSeparators(result, settings);
    return result;
  }
  const AnsiString format = DisplayFormat();
  if (!format.empty()) return FormatFloat(format, value.AsDouble(), settings);
  return value.AsString();
}

void TcxCustomTextEditProperties::ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool editing) const {
  if (UsesDisplayFormat()) {
    if (value.IsNull() || value.IsEmpty() || (VarIsStr(value) && value.AsString().empty())) {
      display = Variant(AnsiString());
      return;
    }
    if (!VarIsNumeric(value) && !VarIsStr(value) && !VarIsFMTBcd(value))
      throw EConvertError(LoadResString(cxSEditNumericValueConvertError));
    display = Variant(FormatNumber(value, editing));
    return;
  }
  if (value.IsArray()) {
    display = Variant(AnsiString());
    return;
  }
  display = Variant(VarToStr(value));
}

TcxEditValue TcxCustomTextEditProperties::PrepareDisplayValue(const TcxEditValue& value, bool editing) const {
  if (AcceptsValue(value)) {
    TcxEditValue display;
    ValueToDisplay(value, display, editing);
    return display;
  }
  if (value.VarType() == varDate) return Variant(DateTimeToStr(value.AsDate()));
  return Variant(VarToStr(value));
}

AnsiString TcxCustomTextEditProperties::DisplayTextOf(const TcxEditValue& value, bool displayForm) const {
  AnsiString text;
  try {
    const bool editing = !displayForm && !HasUnfocusedDisplayForm();
    const TcxEditValue display = PrepareDisplayValue(value, editing);
    text = display.IsEmpty() || display.IsNull() ? AnsiString() : display.AsString();
  } catch (...) {
    MaskPasswordText(text);
    throw;
  }
  MaskPasswordText(text);
  return text;
}

bool TcxCustomTextEditProperties::SameDisplayValues(const TcxEditValue& a, const TcxEditValue& b) const {
  return DisplayTextOf(a, true) == DisplayTextOf(b, true);
}

bool TcxCustomTextEditProperties::AcceptsValue(const TcxEditValue& value) const {
  if (value.IsNull() || !VarIsStr(value)) return true;
  TcxEditValue copy = value;
  return NormalizeDisplayValue(copy, false);
}

void TcxCustomTextEditProperties::SetAlignment(TcxEditAlignment* value) {
  LockChanges();
  try {
    TcxCustomEditProperties::SetAlignment(value);
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

void TcxCustomTextEditProperties::CopyFrom(TPersistent* source) {
  auto* s = ObjectAs<TcxCustomTextEditProperties>(source);
  if (!s) {
    TcxCustomEditProperties::CopyFrom(source);
    return;
  }
  LockChanges();
  try {
    TcxCustomEditProperties::CopyFrom(source);
    SetCharCase(s->FCharCase);
    SetEchoMode(s->FEchoMode);
    FFixedListSelection = s->FFixedListSelection;
    SetHiddenCaret(s->FHiddenCaret);
    SetHideSelection(s->FHideSelection);
    FImmediateUpdateText = s->FImmediateUpdateText;
    SetIncrementalSearch(s->FIncrementalSearch);
    FExactLookup = s->FExactLookup;
    FAlwaysAllowedChars = s->FAlwaysAllowedChars;
    // Unsorted while copying, so the source's order survives.
    SetLookupItemsSorted(false);
    FLookupItems->Assign(s->FLookupItems.get());
    SetLookupItemsSorted(s->LookupItemsSorted());
    TextValues()->SetDisplayFormat(false);
    if (s->TextValues()->DisplayFormat()) SetDisplayFormat(s->FDisplayFormat);
    TextValues()->SetEditFormat(false);
    if (s->TextValues()->EditFormat()) SetEditFormat(s->FEditFormat);
    TextValues()->SetMaxLength(false);
    if (s->TextValues()->MaxLength()) SetMaxLength(s->FMaxLength);
    SetOEMConvert(s->FOEMConvert);
    SetImeMode(s->FImeMode);
    SetImeName(s->FImeName);
    SetPasswordChar(s->FPasswordChar);
    SetUseDisplayFormatWhenEditing(s->FUseDisplayFormatWhenEditing);
    OnNewLookupDisplayText = s->OnNewLookupDisplayText;
  } catch (...) {
    UnlockChanges();
    throw;
  }
  UnlockChanges();
}

// -- Number helpers -------------------------------------------------------------------------------

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

AnsiString RemoveThousandSeparators(const AnsiString& text, const TFormatSettings& settings) {
  AnsiString result;
  result.reserve(text.size());
  for (char c : text)
    if (c != settings.ThousandSeparator) result += c;
  return result;
}

AnsiString InsertThousandSeparators(const AnsiString& text, const TFormatSettings& settings) {
  size_t begin = 0, end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  const AnsiString leading = text.substr(0, begin), trailing = text.substr(end);
  AnsiString number = text.substr(begin, end - begin);
  AnsiString exponent;
  for (size_t i = 0; i < number.size(); ++i) {
    if (number[i] == 'E' || number[i] == 'e') {
      exponent = number.substr(i);
      number.resize(i);
      break;
    }
  }
  number = RemoveThousandSeparators(number, settings);
  size_t p = number.find(settings.DecimalSeparator);
  if (p == AnsiString::npos) p = number.size();
  int count = 0;
  while (p > 0 && IsDigit(number[p - 1])) {
    if (count == 3) {
      number.insert(p, 1, settings.ThousandSeparator);
      count = 0;
    }
    --p;
    ++count;
  }
  return leading + number + exponent + trailing;
}

AnsiString InsertThousandSeparators(const AnsiString& text) { return InsertThousandSeparators(text, FormatSettings()); }

bool IsNumberText(const AnsiString& text, const TFormatSettings& settings) {
  const AnsiString plain = RemoveThousandSeparators(text, settings);
  double value = 0;
  return !plain.empty() && TryStrToFloat(plain, value, settings);
}

bool RegroupNumberText(const AnsiString& text, int caret, AnsiString& newText, int& newCaret,
                       const TFormatSettings& settings) {
  newText = InsertThousandSeparators(text, settings);
  newCaret = caret;
  if (!IsNumberText(newText, settings)) return false;
  int n = 0;
  for (int i = 0; i < caret && i < static_cast<int>(text.size()); ++i)
    if (text[i] != settings.ThousandSeparator) ++n;
  if (n == 0) return true;
  int seen = 0;
  for (int i = 0; i < static_cast<int>(newText.size()); ++i) {
    if (newText[i] != settings.ThousandSeparator && ++seen == n) {
      newCaret = i + 1;
      break;
    }
  }
  return true;
}

// -- Published entries --------------------------------------------------------------------------

namespace {

const TEnumInfo EchoModeNames{"TcxEditEchoMode", {"eemNormal", "eemPassword"}};
const TEnumInfo CharCaseNames{"TEditCharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}};
const TEnumInfo ImeModes{"TImeMode",
                         {"imDisable", "imClose", "imOpen", "imDontCare", "imSAlpha", "imAlpha", "imHira", "imSKata",
                          "imKata", "imChinese", "imSHanguel", "imHanguel"}};

using V = TcxTextEditPropertiesValues;
const TPublishedRegistration textValuesRegistration(&TcxTextEditPropertiesValues::ClassInfo, {
    Property<&V::DisplayFormat, &V::SetDisplayFormat>("DisplayFormat").Stored<&V::IsDisplayFormatStored>(),
    Property<&V::EditFormat, &V::SetEditFormat>("EditFormat").Stored<&V::IsEditFormatStored>(),
    // The mark comes back with the value itself.
    Property<&V::MaxLength, &V::SetMaxLength>("MaxLength").Stored(false),
});

using P = TcxCustomTextEditProperties;
const TPublishedRegistration textPropertiesRegistration(&TcxTextEditProperties::ClassInfo, {
    cxEditPublished::Alignment(),
    cxEditPublished::AssignedValues(),
    cxEditPublished::AutoSelect(),
    cxEditPublished::BeepOnError(),
    Property<&P::CharCase, &P::SetCharCase>("CharCase", CharCaseNames).Default(ecNormal),
    cxEditPublished::ClearKey(),
    Property<&P::EchoMode, &P::SetEchoMode>("EchoMode", EchoModeNames).Default(eemNormal),
    Property<&P::HideSelection, &P::SetHideSelection>("HideSelection").Default(true),
    Property<&P::ImeMode, &P::SetImeMode>("ImeMode", ImeModes).Default(imDontCare),
    Property<&P::ImeName, &P::SetImeName>("ImeName"),
    Property<&P::IncrementalSearch, &P::SetIncrementalSearch>("IncrementalSearch").Default(true),
    Property<&P::LookupItems, &P::SetLookupItems>("LookupItems"),
    Property<&P::LookupItemsSorted, &P::SetLookupItemsSorted>("LookupItemsSorted").Default(false),
    Property<&P::MaxLength, &P::SetMaxLength>("MaxLength").NoDefault().Stored<&P::IsMaxLengthStored>(),
    Property<&P::OEMConvert, &P::SetOEMConvert>("OEMConvert").Default(false),
    Property<&P::PasswordChar, &P::SetPasswordChar>("PasswordChar").Default(0),
    cxEditPublished::ReadOnly(),
    cxEditPublished::UseLeftAlignmentOnEditing(),
    cxEditPublished::ValidateOnEnter(),
    cxEditPublished::OnChange(),
    cxEditPublished::OnEditValueChanged(),
    Event<&P::OnNewLookupDisplayText>("OnNewLookupDisplayText"),
    cxEditPublished::OnValidate(),
});

}  // namespace

namespace {
int TextEditUnitStarts = 0;
}

void cxTextEditInit() {
  if (TextEditUnitStarts++ > 0) return;
  RegisterClass(&TcxTextEdit::ClassInfo);
  RegisteredPropertiesClasses()->EnrolClass(&TcxTextEditProperties::ClassInfo,
                                            LoadResString(cxSEditRepositoryTextItem));
  FilterEditsController()->AddPair(&TcxTextEditProperties::ClassInfo, &TcxFilterTextEditHelper::ClassInfo);
}

void cxTextEditDone() {
  if (TextEditUnitStarts == 0 || --TextEditUnitStarts > 0) return;
  if (FilterEditsControllerExists())
    FilterEditsController()->RemovePair(&TcxTextEditProperties::ClassInfo, &TcxFilterTextEditHelper::ClassInfo);
  UnRegisterClass(&TcxTextEdit::ClassInfo);
  RegisteredPropertiesClasses()->WithdrawClass(&TcxTextEditProperties::ClassInfo);
}
