// The text editors' properties: character case, echo mode and password
// character, the maximum length in characters, IME settings, the lookup
// items with incremental search, and the display and edit formats that turn
// numbers into text. One properties object may serve many edits, so every
// operation here works on the text it is given; the text edit asks them to
// normalise, mask, format and check its text. The unit's number helpers
// (thousand separators, the number test) live here too.
#pragma once

#include "editors/framework/EditProperties.h"
#include "editors/framework/Formats.h"
#include "platform/FormatSettings.h"
#include "platform/StringList.h"

#include <string>

class TcxCustomTextEditProperties;

enum class TcxEditEchoMode : uint8_t { eemNormal, eemPassword };
using enum TcxEditEchoMode;

// The editing styles of a text editor.
enum TcxTextEditingStyle : uint8_t {
  tesPlain = 0,      // a plain edit
  tesEditList = 1,   // an editable list: typing completes from the lookup items
  tesFixedList = 2,  // a fixed list: only lookup items can be chosen
  tesNoEdit = 3      // the text cannot be edited
};

using TcxNewLookupDisplayTextEvent = TEvent<void(TObject* Sender, const AnsiString& AText)>;

// The assigned flags of the text properties: the display and edit formats
// and the maximum length.
class TcxTextEditPropertiesValues : public TcxCustomEditPropertiesValues {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEditPropertiesValues::TcxCustomEditPropertiesValues;
  void Assign(TPersistent* source) override;

  bool DisplayFormat() const { return FDisplayFormat; }
  void SetDisplayFormat(bool value);
  bool EditFormat() const { return FEditFormat; }
  void SetEditFormat(bool value);
  bool MaxLength() const { return FMaxLength; }
  void SetMaxLength(bool value);
  // The inherited flags and these three, under one change lock.
  void ClearAll();
  // Whether the format flags are written: only while the owner's own text
  // is empty.
  bool IsDisplayFormatStored() const;
  bool IsEditFormatStored() const;

private:
  TcxCustomTextEditProperties* TextOwner() const;
  bool FDisplayFormat = false;
  bool FEditFormat = false;
  bool FMaxLength = false;
};

// What the formats of a number come from.
struct TcxResolvedFormats {
  bool Currency = false;      // written with the locale's currency decimals
  bool ProviderText = false;  // the value provider writes the text itself
  AnsiString Format;          // a FormatFloat format, or empty
};

// Listens to the shared format controller for as long as it lives: a
// change of the locale's formats runs FormatChanged.
class TcxCustomTextEditProperties : public TcxCustomEditProperties, public IcxLocaleFormatListener {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomTextEditProperties(TPersistent* owner);
  ~TcxCustomTextEditProperties() override;
  void CopyFrom(TPersistent* source) override;

  // -- Settings
  TEditCharCase CharCase() const { return FCharCase; }
  virtual void SetCharCase(TEditCharCase value);
  TcxEditEchoMode EchoMode() const { return FEchoMode; }
  void SetEchoMode(TcxEditEchoMode value) { StoreValue(FEchoMode, value); }
  char PasswordChar() const { return FPasswordChar; }
  void SetPasswordChar(char value) { StoreValue(FPasswordChar, value); }
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value) { StoreValue(FHideSelection, value); }
  TImeMode ImeMode() const { return FImeMode; }
  void SetImeMode(TImeMode value) { StoreValue(FImeMode, value); }
  const TImeName& ImeName() const { return FImeName; }
  void SetImeName(const TImeName& value) { StoreValue(FImeName, value); }
  bool OEMConvert() const { return FOEMConvert; }
  void SetOEMConvert(bool value) { StoreValue(FOEMConvert, value); }
  bool IncrementalSearch() const { return FIncrementalSearch; }
  void SetIncrementalSearch(bool value) { StoreValue(FIncrementalSearch, value); }
  bool ImmediateUpdateText() const { return FImmediateUpdateText; }
  void SetImmediateUpdateText(bool value) { FImmediateUpdateText = value; }
  bool UseDisplayFormatWhenEditing() const { return FUseDisplayFormatWhenEditing; }
  void SetUseDisplayFormatWhenEditing(bool value) { StoreValue(FUseDisplayFormatWhenEditing, value); }
  // Editing style 2 shows the typed prefix as a selection; a change
  // notifies only in that style.
  bool FixedListSelection() const { return FFixedListSelection; }
  void SetFixedListSelection(bool value);
  // Makes the editing style 3.
  bool HiddenCaret() const { return FHiddenCaret; }
  void SetHiddenCaret(bool value) { StoreValue(FHiddenCaret, value); }
  // A search for an exact match compares whole items only.
  bool ExactLookup() const { return FExactLookup; }
  void SetExactLookup(bool value) { StoreValue(FExactLookup, value); }
  // Characters the edit's character filter always lets through.
  const std::string& AlwaysAllowedChars() const { return FAlwaysAllowedChars; }
  void SetAlwaysAllowedChars(const std::string& value) { FAlwaysAllowedChars = value; }

  TStringList* LookupItems() const { return FLookupItems.get(); }
  void SetLookupItems(TStrings* value) { FLookupItems->Assign(value); }
  bool LookupItemsSorted() const { return FLookupItems->Sorted(); }
  void SetLookupItemsSorted(bool value) { FLookupItems->SetSorted(value); }

  // The maximum length in characters (0: none). A negative value stores 0;
  // the getter answers the default maximum length when none is assigned.
  int MaxLength() const;
  void SetMaxLength(int value);
  bool IsMaxLengthStored() const { return TextValues()->MaxLength(); }
  AnsiString DisplayFormat() const;
  void SetDisplayFormat(const AnsiString& value);
  bool IsDisplayFormatStored() const { return TextValues()->DisplayFormat(); }
  // The format used for editing (ResolveFormats' format).
  AnsiString EditFormat() const;
  void SetEditFormat(const AnsiString& value);
  bool IsEditFormatStored() const { return TextValues()->EditFormat(); }
  const AnsiString& OwnDisplayFormat() const { return FDisplayFormat; }
  const AnsiString& OwnEditFormat() const { return FEditFormat; }
  TcxTextEditPropertiesValues* TextValues() const {
    return static_cast<TcxTextEditPropertiesValues*>(AssignedValues());
  }
  bool FormatChanging() const { return FFormatChanging; }

  // -- The operations a text editor's properties refine
  virtual void FormatChanged();
  void LocaleFormatsChanged() override { FormatChanged(); }
  virtual void CheckDisplayNumber(const TcxEditValue& displayValue, AnsiString& errorText, bool& error) const;
  virtual TcxEditValue EmptyDisplayValue() const { return Variant(AnsiString()); }
  virtual bool FindLookupText(const AnsiString& text) const;
  virtual AnsiString DefaultText() const { return AnsiString(); }
  virtual int DefaultMaxLength() const;
  virtual int DefaultListRows() const { return 8; }
  virtual int EditingStyle() const { return FHiddenCaret ? tesNoEdit : tesPlain; }
  virtual bool FormatFlagFor(bool displayForm) const { (void)displayForm; return false; }
  virtual TcxResolvedFormats ResolveFormats(bool inPlaceEdit) const;
  virtual bool UsesDisplayFormat() const { return false; }
  virtual bool IsDropDownKind() const { return false; }
  virtual bool IsMultiLine() const { return false; }
  virtual bool KeyGoesToPopupList(WORD key, TShiftState shift) const { (void)key, (void)shift; return false; }
  // 0: the minimum, 1: the maximum.
  virtual bool HasValueLimit(int which) const;
  bool HasValueLimits() const { return HasValueLimit(0) || HasValueLimit(1); }
  virtual void ValuesChanged() { NotifyChanged(); }
  virtual void MaxLengthChanged() { NotifyChanged(); }
  virtual bool HasLookupDataClass() const { return true; }
  virtual void MaskPasswordText(AnsiString& text) const;
  // Answers whether the text is acceptable; an accepted text gets the case
  // conversion.
  virtual bool NormalizeDisplayValue(TcxEditValue& value, bool editing) const;
  bool LookupSearchActive() const;
  bool IsListStyle() const { const int s = EditingStyle(); return s == tesEditList || s == tesFixedList; }
  AnsiString ConvertCase(const AnsiString& text) const;

  // A number's text: in editing form through the resolved formats, in
  // display form through the display format.
  AnsiString FormatNumber(const TcxEditValue& value, bool editing) const;
  // The text shown for a value (the display text before masking).
  TcxEditValue PrepareDisplayValue(const TcxEditValue& value, bool editing) const;

  // -- Overrides of the edit properties
  bool ValidatesDisplayValue() const override { return true; }
  bool ComparesValues() const override { return true; }
  bool ChangeFiredByEditor() const override { return true; }
  int IsTextValueEditor(bool) const override { return 1; }
  unsigned EditOptionFlags() const override { return 1; }
  unsigned Capabilities() const override { return TcxCustomEditProperties::Capabilities() | 0x15Eu; }
  bool CanRevertValue() const override { return EditingStyle() != tesNoEdit; }
  AnsiString ValidationErrorText(int kind) const override;
  void ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText, IcxEditValidationTarget* edit,
                            bool& error) override;
  void ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool editing) const override;
  bool SameDisplayValues(const TcxEditValue& a, const TcxEditValue& b) const override;
  AnsiString DisplayTextOf(const TcxEditValue& value) const override { return DisplayTextOf(value, true); }
  AnsiString DisplayTextOf(const TcxEditValue& value, bool displayForm) const;
  bool AcceptsValue(const TcxEditValue& value) const override;
  void SetAlignment(TcxEditAlignment* value) override;

  TcxNewLookupDisplayTextEvent OnNewLookupDisplayText;

private:
  template <class T>
  void StoreValue(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }
  void LookupItemsChanged(TObject*) { NotifyChanged(); }

  TEditCharCase FCharCase = ecNormal;
  AnsiString FDisplayFormat;
  TcxEditEchoMode FEchoMode = eemNormal;
  AnsiString FEditFormat;
  bool FFixedListSelection = true;
  bool FFormatChanging = false;
  bool FHiddenCaret = false;
  bool FHideSelection = true;
  TImeMode FImeMode = imDontCare;
  TImeName FImeName;
  bool FImmediateUpdateText = false;
  bool FIncrementalSearch = true;
  std::unique_ptr<TStringList> FLookupItems;
  int FMaxLength = 0;
  bool FExactLookup = false;
  bool FOEMConvert = false;
  char FPasswordChar = 0;
  bool FUseDisplayFormatWhenEditing = false;
  std::string FAlwaysAllowedChars;
};

// The published text edit properties.
class TcxTextEditProperties : public TcxCustomTextEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomTextEditProperties::TcxCustomTextEditProperties;
};

// -- The unit's number helpers (the locale's separators)

// Inserts thousand separators: blanks around the number and an exponent
// part are kept; existing separators are dropped first.
AnsiString InsertThousandSeparators(const AnsiString& text, const TFormatSettings& settings);
AnsiString InsertThousandSeparators(const AnsiString& text);
AnsiString RemoveThousandSeparators(const AnsiString& text, const TFormatSettings& settings);
// Whether the text without separators is a number.
bool IsNumberText(const AnsiString& text, const TFormatSettings& settings);
// The text regrouped for an edit that holds `caret` bytes before its caret:
// answers the new text and the new caret (unchanged without digits before it).
bool RegroupNumberText(const AnsiString& text, int caret, AnsiString& newText, int& newCaret,
                       const TFormatSettings& settings);

// The unit's start and end: the text edit's properties class in the
// registry of editors' properties.
void cxTextEditInit();
void cxTextEditDone();
