// The single-line text editor: an editor control whose inner window is a
// real EDIT (TcxCustomInnerTextEdit). The container owns the value, the
// properties, the lookup data and the painting of the text while the EDIT
// does not show it; the EDIT does the caret, the selection and the typing.
// Every key and character is offered to the container first, which may
// consume it, turn it into a lookup step, or check the text it would make.
#pragma once

#include "editors/framework/DrawTextUtils.h"
#include "editors/framework/EditControl.h"
#include "editors/framework/InnerTextEdit.h"
#include "editors/framework/TextEditLookup.h"
#include "editors/framework/TextEditProperties.h"

#include <memory>

class TcxCustomTextEdit;

// Sets the edit's user-input flag for a scope.
class TcxUserActionScope {
public:
  TcxUserActionScope(TcxCustomEdit* edit, bool value) : FEdit(edit), FSaved(edit->UserAction()) {
    edit->SetUserAction(value);
  }
  ~TcxUserActionScope() { FEdit->SetUserAction(FSaved); }
  TcxUserActionScope(const TcxUserActionScope&) = delete;
  TcxUserActionScope& operator=(const TcxUserActionScope&) = delete;

private:
  TcxCustomEdit* FEdit;
  bool FSaved;
};

// -- The text view --------------------------------------------------------------------------------


class TcxCustomTextEditViewInfo : public TcxCustomEditViewInfo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  void PaintContent(TcxCanvas* canvas) override;
  virtual void PaintText(TcxCanvas* canvas);
  void ShiftRects(int dx, int dy) override;
  void TakeOverFrom(TObject* other) override;

  bool ComboStyle = false;
  TcxEditPaintEvent OwnerDrawEvent;
  bool SelectionBar = false;
  uint32_t TextFlags = 0;
  int EditingStyle = 0;
  bool PopupOpen = false;
  bool EditShowsValue = false;
  int MaxLineCount = 1;
  int SelStart = 0, SelLength = 0;
  TColor SelTextColor = clHighlightText, SelBackgroundColor = clHighlight;
  AnsiString Text;
  RECT TextRect{};
  // The laid-out text: rows kept from the first paint after a view
  // calculation until the next one (they point into Text).
  TcxTextLayoutParams TextParams;
  TcxTextRows TextRows;
  int TextRowCount = 0;
  RECT TextOutRect{};
  bool TextOutInitialized = false;
  bool ForceEndEllipsis = false;

protected:
  void LayoutTextOut(HDC dc);
};

class TcxCustomTextEditViewData : public TcxCustomEditViewData {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEditViewData::TcxCustomEditViewData;

  virtual bool EditShowsValueItself();
  virtual int MaxLineCount() { return 1; }
  virtual bool IsComboFamily() { return false; }
  virtual uint32_t TextDrawFlags();
  virtual RECT TextMarginsRect();
  void FillViewInfo(TcxCanvas* canvas, const RECT& bounds, bool keepPressed, TcxCustomEditViewInfo* viewInfo,
                    TShiftState shift, TcxEditMouseEvent mouseEvent, POINT p) override;
  // Text, selection and its colours from the edit.
  virtual void FillTextInfo(TcxCustomTextEditViewInfo* viewInfo);
  SIZE DefaultContentSize(TcxCanvas* canvas) override;
  TcxCustomTextEditProperties* TextProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(Properties);
  }

  // What the edit hands the view (the selection to draw, its colours).
  int SelStart = 0, SelLength = 0;
  TColor SelTextColor = clDefault, SelBackgroundColor = clDefault;
  bool HideText = false;
  TcxEditValue DisplayValue;
};

// -- The text edit --------------------------------------------------------------------------------

class TcxCustomTextEdit : public TcxCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomTextEdit(TComponent* owner, bool inPlace = false);
  ~TcxCustomTextEdit() override;
  void AfterConstruction() override;
  void BeforeDestruction() override;

  TcxCustomTextEditProperties* Properties() const {
    return static_cast<TcxCustomTextEditProperties*>(TcxCustomEdit::Properties());
  }
  TcxCustomTextEditProperties* ActiveProperties() const {
    return static_cast<TcxCustomTextEditProperties*>(EffectiveProperties());
  }
  TcxCustomInnerTextEdit* InnerTextEdit() const { return dynamic_cast<TcxCustomInnerTextEdit*>(InnerControl()); }
  TcxCustomTextEditLookupData* LookupData() const { return FLookupData.get(); }
  int EditingStyle() const { return ActiveProperties()->EditingStyle(); }

  bool BeepOnEnter() const { return FBeepOnEnter; }
  void SetBeepOnEnter(bool value) { FBeepOnEnter = value; }
  bool PendingCloseKey() const { return FPendingCloseKey; }
  void SetPendingCloseKey(bool value) { FPendingCloseKey = value; }
  bool CaretShown() const { return FCaretShown; }
  void SetCaretShown(bool value);
  void ClearTypedLookup() { FTypedLookup = false; }
  bool TypedLookup() const { return FTypedLookup; }
  void SetTypedLookup(bool value) { FTypedLookup = value; }

  // The text: what the inner edit shows.
  AnsiString Text() { return ReadText(); }
  void SetText(const AnsiString& value);
  int SelStart();
  void SetSelStart(int value);
  int SelLength();
  void SetSelLength(int value);
  AnsiString SelText();
  void SelectRange(int start, int length);
  int ItemIndex() { return FLookupData ? FLookupData->CurrentKey() : -1; }
  virtual void SetItemIndex(int index);

  // -- The operations the text editors refine
  virtual void RefreshAfterPropertiesChange();
  virtual void ApplyInnerLook();
  // Whether `text` may replace the selection; answers the new text and caret.
  virtual bool CheckInsertion(const AnsiString& text, AnsiString& newText, int& caret);
  virtual void FireNewLookupDisplayText(const AnsiString& text);
  virtual int InnerFontHeight();
  virtual bool AllowsLookupNavigation(bool wheel) { (void)wheel; return false; }
  virtual void ApplyLookupSelection(TObject* sender);
  virtual AnsiString ReadText();
  virtual bool AssignText(const AnsiString& text) { return StoreText(text); }
  virtual TcxEditValue LookupValueOfKey(int key);
  virtual void ResetCaretState();
  virtual void ResetEditing(TObject*) {}
  virtual void InsertText(const AnsiString& text);
  virtual void TextHook() {}
  virtual void RevertInvalidListText();
  virtual void DeleteSelection();
  // The text as a value, normalised; refused texts leave the value as it was.
  virtual bool StoreText(const AnsiString& text);
  virtual TcxEditValue ConvertDisplayValue(const TcxEditValue& value) { return value; }
  void InnerClick() { Click(); }
  void InnerDblClick() { DblClick(); }

  // -- Overrides of the editor control
  TClass PropertiesClass() const override { return &TcxCustomTextEditProperties::ClassInfo; }
  bool WantsInnerControl() override { return true; }
  TWinControl* CreateInnerControl() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditProperties* p, TcxCustomEditStyle* s, bool inPlace) override;
  TcxContainerViewInfo* ViewInfoClass() override { return new TcxCustomTextEditViewInfo(); }
  void FillViewDataState(TcxCustomEditViewData* viewData) override;
  bool EditingAllowed() override { return EditingStyle() != tesNoEdit; }
  bool TextEditing() override { return true; }
  bool InnerEditShowsValue() override;
  AnsiString ReadShownText() override;
  Variant DisplayToEditValue() override { return Variant(Text()); }
  void PutDisplayText(const Variant& value) override;
  bool KeyAllowedByProvider(char key) override;
  void SelectAllText() override;
  void CopySelection() override;
  void CutSelection() override;
  void PasteText() override;
  void ApplyProperties(TcxCustomEditProperties* properties) override;
  void PlaceInnerControl() override;
  void ProcessKey(WORD& key, TShiftState shift) override;
  void ProcessChar(char& key) override;
  bool IsEditingKey(WORD key, TShiftState shift) override;
  bool IsEditingChar(char key) override;
  void RefreshDisplayText() override;
  void ApplyDisplayValue(const Variant& value) override;
  void AcceptDisplayValue(const Variant& value) override;
  void ReloadFromData(TObject* sender) override;
  void RefreshView() override;
  Variant DefaultEditValue() override { return Variant(AnsiString()); }
  void WndProc(TMessage& Message) override;

protected:
  void DoExit() override;

private:
  friend class TcxCustomInnerMemo;
  void SyncEditValueFromText();
  bool LookupSearch(AnsiString candidate, char& key);
  bool StepLookup(TcxLookupStep step);
  AnsiString ClipboardText();

  bool FBeepOnEnter = true;
  bool FCaretStateLock = false;
  bool FCaretShown = false;
  bool FSetTextGuard = false;
  bool FDisplayFormatting = false;
  bool FLookupNavigating = false;
  AnsiString FKeptText;
  bool FPlacing = false;
  std::unique_ptr<TcxCustomTextEditLookupData> FLookupData;
  bool FTypedLookup = false;
  bool FPendingCloseKey = false;
};

class TcxTextEdit : public TcxCustomTextEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomTextEdit::TcxCustomTextEdit;
  TClass PropertiesClass() const override { return &TcxTextEditProperties::ClassInfo; }
  TcxTextEditProperties* Properties() const {
    return static_cast<TcxTextEditProperties*>(TcxCustomEdit::Properties());
  }
  void SetProperties(TcxTextEditProperties* value) { TcxCustomEdit::Properties()->Assign(value); }
};
