// The mask edit: the text edit with its input constrained by a mask. The
// mask text is EditMask; MaskKind says how it is read: a standard edit mask
// (a fixed template typed in overwrite fashion), a regular expression that
// refuses characters which cannot continue a match, or a regular expression
// that also types the literals the pattern forces. A mode object does the
// mask work; while the mask is blank every operation falls back to the text
// edit (the password boxes are such edits).
#pragma once

#include "editors/framework/EditError.h"
#include "editors/framework/FilterEditHelpers.h"
#include "editors/framework/TextEdit.h"
#include "editors/masked/RegExpr.h"
#include "editors/masked/StandardMask.h"

#include <memory>

enum TcxEditMaskKind : uint8_t { emkStandard, emkRegExpr, emkRegExprEx };

// A mask that does not compile; the message lists every error.
class EcxMaskEditError : public EcxEditError {
public:
  using EcxEditError::EcxEditError;
};

class TcxCustomMaskEdit;
class TcxCustomMaskEditProperties;

// Whether a mask text is blank: empty or whitespace only.
bool IsMaskBlank(const AnsiString& mask);

// -- Modes ----------------------------------------------------------------------------------------

// The mask work of one edit (or, without edit, the display conversion of
// its properties). Boolean key results: true lets the key or character go
// on to the inner edit's own handling.
class TcxMaskEditCustomMode : public TObject {
public:
  TcxMaskEditCustomMode(TcxCustomMaskEdit* edit, TcxCustomMaskEditProperties* properties);
  virtual int MaskKindOf() const { return emkStandard; }
  virtual void AfterInsertion() = 0;
  virtual void CompileMask(const AnsiString& mask) = 0;
  virtual AnsiString EmptyText() = 0;
  virtual AnsiString FormatText(const AnsiString& text, bool textHasLiterals) = 0;
  virtual void SelectAllHook() = 0;
  virtual bool CaretAtStart() = 0;
  virtual bool CaretAtEnd() = 0;
  virtual bool IsValidText(const AnsiString& text) = 0;
  virtual void CaretMoved() = 0;
  virtual void BeforeInsertion() = 0;
  virtual bool HandleBackspace() = 0;
  virtual bool HandleDelete() = 0;
  virtual bool HandleEnd() = 0;
  virtual bool HandleHome() = 0;
  virtual bool HandleLeft() = 0;
  virtual bool HandleRight() = 0;
  virtual bool HandleChar(char& ch) = 0;
  virtual void TextAssigned(const AnsiString& text) = 0;
  virtual void ReloadShownText();
  virtual void ApplyPendingValue() = 0;
  virtual AnsiString ValueText(const AnsiString& text, bool textHasLiterals) = 0;

  const AnsiString& Mask() const { return FMask; }
  TcxCustomMaskEdit* Edit() const { return FEdit; }
  TcxCustomMaskEditProperties* Props() const;
  void Beep();
  void SetInsertLength(int value) { FInsertLength = value; }
  TEditCharCase RecordedCharCase = ecNormal;
  TcxEditEchoMode RecordedEchoMode = eemNormal;

protected:
  // Whether the mode drives a real window.
  bool HasUsableEdit() const;
  AnsiString Shown() const;
  int SelStart() const;
  int SelLength() const;
  void Select(int start, int length) const;
  // Writes the shown text and puts a plain caret.
  void WriteText(const AnsiString& text, int caret) const;

  AnsiString FMask;
  TcxCustomMaskEditProperties* FProperties = nullptr;
  int FInsertLength = 0;
  TcxCustomMaskEdit* FEdit = nullptr;
  bool FPendingEmptyValue = false;
};

// The standard mask typed in overwrite fashion over its template.
class TcxMaskEditStandardMode : public TcxMaskEditCustomMode {
public:
  using TcxMaskEditCustomMode::TcxMaskEditCustomMode;
  int MaskKindOf() const override { return emkStandard; }
  void AfterInsertion() override;
  void CompileMask(const AnsiString& mask) override;
  AnsiString EmptyText() override { return FStandardMask.EmptyValue(); }
  AnsiString FormatText(const AnsiString& text, bool textHasLiterals) override {
    return FStandardMask.FitText(text, true, textHasLiterals);
  }
  void SelectAllHook() override {}
  bool CaretAtStart() override;
  bool CaretAtEnd() override { return SelStart() == static_cast<int>(Shown().size()); }
  bool IsValidText(const AnsiString& text) override;
  void CaretMoved() override;
  void BeforeInsertion() override;
  bool HandleBackspace() override;
  bool HandleDelete() override;
  bool HandleEnd() override;
  bool HandleHome() override;
  bool HandleLeft() override;
  bool HandleRight() override;
  bool HandleChar(char& ch) override;
  void TextAssigned(const AnsiString&) override { CaretMoved(); }
  void ReloadShownText() override;
  void ApplyPendingValue() override;
  AnsiString ValueText(const AnsiString& text, bool textHasLiterals) override;
  // The character written when a position is blanked; 0 leaves it.
  virtual char BlankChar(int position) { (void)position; return FStandardMask.BlankChar(); }
  const TcxStandardMask& StandardMask() const { return FStandardMask; }

private:
  bool IsLiteralAt(int index) const {
    return index >= 0 && index < FStandardMask.Count() && FStandardMask.Items(index).IsLiteral();
  }
  int FirstEditable() const;
  // The Right key's move from a caret: over the literals that follow.
  void MoveRight();
  TcxStandardMask FStandardMask;
  int FSavedSelStart = 0;
};

// A regular expression: refuses characters that cannot continue a match.
// Every key rebuilds the split of the text at the caret from the text
// itself (head: left of the caret, fed to the engine; tail: the rest), so
// head + tail is always the shown text.
class TcxMaskEditRegExprMode : public TcxMaskEditCustomMode {
public:
  TcxMaskEditRegExprMode(TcxCustomMaskEdit* edit, TcxCustomMaskEditProperties* properties);
  int MaskKindOf() const override { return emkRegExpr; }
  void AfterInsertion() override {}
  void CompileMask(const AnsiString& mask) override;
  AnsiString EmptyText() override { return AnsiString(); }
  AnsiString FormatText(const AnsiString& text, bool textHasLiterals) override;
  void SelectAllHook() override {}
  bool CaretAtStart() override { return SelStart() == 0; }
  bool CaretAtEnd() override { return SelStart() == static_cast<int>(Shown().size()); }
  bool IsValidText(const AnsiString& text) override;
  void CaretMoved() override {}
  void BeforeInsertion() override {}
  bool HandleBackspace() override;
  bool HandleDelete() override;
  bool HandleEnd() override { return true; }
  bool HandleHome() override { return true; }
  bool HandleLeft() override { return true; }
  bool HandleRight() override { return true; }
  bool HandleChar(char& ch) override;
  void TextAssigned(const AnsiString&) override {}
  void ReloadShownText() override;
  void ApplyPendingValue() override {}
  AnsiString ValueText(const AnsiString& text, bool) override { return text; }
  TcxRegExpr* Engine() { return FEngine.get(); }

protected:
  // Feeds `text` from the start; refused characters are skipped. Answers
  // what was accepted, in the pattern's case.
  AnsiString Feed(const AnsiString& text);
  // Whether `tail` can follow what the engine holds (the engine is left as
  // it was).
  bool TailFits(const AnsiString& tail);
  // A fresh engine compiled from this mode's source.
  std::unique_ptr<TcxRegExpr> ProbeEngine();
  void Edited(const AnsiString& head, const AnsiString& tail);

  std::unique_ptr<TcxRegExpr> FEngine;
  AnsiString FHead, FTail;
};

// The regular expression that types the literals its pattern forces. The
// text is made of groups (a typed character and the literals forced after
// it, plus the literals forced at the start); the caret stays on group
// boundaries and the leading literals are never deleted.
class TcxMaskEditRegExprExMode : public TcxMaskEditRegExprMode {
public:
  TcxMaskEditRegExprExMode(TcxCustomMaskEdit* edit, TcxCustomMaskEditProperties* properties);
  int MaskKindOf() const override { return emkRegExprEx; }
  void CompileMask(const AnsiString& mask) override;
  AnsiString EmptyText() override;
  AnsiString FormatText(const AnsiString& text, bool textHasLiterals) override;
  bool IsValidText(const AnsiString& text) override;
  void AfterInsertion() override;
  bool HandleBackspace() override;
  bool HandleDelete() override;
  bool HandleEnd() override;
  bool HandleHome() override;
  bool HandleLeft() override;
  bool HandleRight() override;
  bool HandleChar(char& ch) override;
  void TextAssigned(const AnsiString& text) override;
  void ReloadShownText() override;
  void ApplyPendingValue() override;

private:
  // The group boundaries of `text` (0 and the end included); `fitted` gets
  // the part of the text the pattern takes, with the literals forced after
  // it.
  std::vector<int> Boundaries(const AnsiString& text, AnsiString* fitted = nullptr);
  // Puts `head` and refits `tail` after it: kept when it fits, else cut.
  void Rebuild(const AnsiString& head, const AnsiString& tail);
  int SnapCaret(const std::vector<int>& bounds, int caret, bool forward) const;
  AnsiString FLeading;
  AnsiString FInserted;
};

// -- Properties -----------------------------------------------------------------------------------

class TcxCustomMaskEditProperties : public TcxCustomTextEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomMaskEditProperties(TPersistent* owner);
  ~TcxCustomMaskEditProperties() override;
  void CopyFrom(TPersistent* source) override;

  bool AlwaysShowBlanksAndLiterals() const { return FAlwaysShowBlanksAndLiterals; }
  void SetAlwaysShowBlanksAndLiterals(bool value);
  bool CaseInsensitive() const { return FCaseInsensitive; }
  void SetCaseInsensitive(bool value);
  AnsiString EditMask() const;
  // Compiles first: a mask that does not compile raises and is not stored.
  void SetEditMask(const AnsiString& value);
  const AnsiString& StoredEditMask() const { return FEditMask; }
  void RestoreStoredEditMask(const AnsiString& value) { FEditMask = value; }
  bool IgnoreMaskBlank() const { return FIgnoreMaskBlank; }
  void SetIgnoreMaskBlank(bool value);
  TcxEditMaskKind MaskKind() const { return FMaskKind; }
  void SetMaskKind(TcxEditMaskKind value);
  bool HasMask() const { return !IsMaskBlank(EditMask()); }
  const AnsiString& EmptyMaskText() const { return FEmptyMaskText; }
  void SetEmptyMaskText(const AnsiString& value) { FEmptyMaskText = value; }

  virtual TcxMaskEditCustomMode* CreateMode(TcxCustomMaskEdit* edit, TcxEditMaskKind kind);

  // -- Overrides
  void SetCharCase(TEditCharCase value) override;
  void NotifyChanged() override;
  bool AcceptsValue(const TcxEditValue& value) const override;
  void ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool editing) const override;
  void ValidateDisplayValue(TcxEditValue& displayValue, AnsiString& errorText, IcxEditValidationTarget* edit,
                            bool& error) override;
  void MaxLengthChanged() override;
  int DefaultMaxLength() const override;
  bool HasLookupDataClass() const override { return !HasMask(); }
  unsigned EditOptionFlags() const override { return HasMask() ? 0u : 1u; }
  bool NormalizeDisplayValue(TcxEditValue& value, bool editing) const override;

private:
  TcxMaskEditCustomMode* DisplayMode() const;

  bool FAlwaysShowBlanksAndLiterals = false;
  bool FCaseInsensitive = true;
  AnsiString FEditMask;
  AnsiString FEmptyMaskText;
  bool FIgnoreMaskBlank = false;
  TcxEditMaskKind FMaskKind = emkStandard;
  mutable std::unique_ptr<TcxMaskEditCustomMode> FDisplayMode;
  bool FResettingMaxLength = false;
};

class TcxMaskEditProperties : public TcxCustomMaskEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomMaskEditProperties::TcxCustomMaskEditProperties;
};

// -- The edit -------------------------------------------------------------------------------------

class TcxCustomMaskEdit : public TcxCustomTextEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomMaskEdit(TComponent* owner, bool inPlace = false);
  ~TcxCustomMaskEdit() override;

  TcxCustomMaskEditProperties* ActiveProperties() const {
    return static_cast<TcxCustomMaskEditProperties*>(EffectiveProperties());
  }
  TcxCustomMaskEditProperties* Properties() const {
    return static_cast<TcxCustomMaskEditProperties*>(TcxCustomEdit::Properties());
  }
  TcxMaskEditCustomMode* Mode();
  bool HasMask() const { return ActiveProperties()->HasMask(); }
  // The Shift state of the key being handled.
  bool ShiftFlag() const { return FShiftFlag; }
  void SetShiftFlag(bool value) { FShiftFlag = value; }
  bool SendingKeys() const { return FSendingKeys; }
  // Keys and characters sent to the inner edit bypass the mask handling.
  void SendKey(WORD key);
  void SendChar(char ch);
  // The text the edit reports while a mask is in force.
  AnsiString MaskedText();
  // A check of a character typed into a standard mask at a 1-based
  // position; it may rewrite it (0 refuses with a beep).
  virtual bool CheckStandardChar(char& ch, int position) { (void)ch, (void)position; return true; }

  // -- Overrides
  TClass PropertiesClass() const override { return &TcxCustomMaskEditProperties::ClassInfo; }
  void ApplyProperties(TcxCustomEditProperties* properties) override;
  void ProcessKey(WORD& key, TShiftState shift) override;
  void ProcessChar(char& key) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyPress(char& Key) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void PasteText() override;
  void InsertText(const AnsiString& text) override;
  void CutSelection() override;
  AnsiString ReadText() override;
  bool AssignText(const AnsiString& text) override;
  void ApplyDisplayValue(const Variant& value) override;
  void RefreshDisplayText() override;
  TcxEditValue ConvertDisplayValue(const TcxEditValue& value) override;
  Variant DisplayToEditValue() override;
  void WndProc(TMessage& Message) override;

private:
  void RecreateMode();
  std::unique_ptr<TcxMaskEditCustomMode> FMode;
  bool FSendingKeys = false;
  bool FShiftFlag = false;
  bool FApplying = false;
};

class TcxMaskEdit : public TcxCustomMaskEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomMaskEdit::TcxCustomMaskEdit;
  TClass PropertiesClass() const override { return &TcxMaskEditProperties::ClassInfo; }
  TcxMaskEditProperties* Properties() const {
    return static_cast<TcxMaskEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxMaskEditProperties* value) { TcxCustomEdit::Properties()->Assign(value); }
};

// The mask edit's filter-row helper: a mask edit; the comparison operators
// of text (7 and 8) only while no mask is in force and the value type is a
// string; a plain regular expression becomes the one that types its
// literals; select-all on entry only without a mask.
class TcxFilterMaskEditHelper : public TcxFilterTextEditHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TClass FilterEditorClass() const override;
  // `context` is the properties the row edits with (or null).
  TcxFilterOperators AllowedOperators(TObject* context, const TcxValueType* valueType, bool extended) const override;
  void ConfigureProperties(TcxCustomEditProperties* properties, TcxCustomEditProperties* source,
                           int kind) const override;
};

// The unit's start and end: the mask edit for forms, its properties class
// in the registry of editors' properties and its filter helper in the
// filter-edit registry.
void cxMaskEditInit();
void cxMaskEditDone();
