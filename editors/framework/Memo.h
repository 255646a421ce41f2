// The multi-line text editor: a text edit whose inner window is a
// multi-line EDIT (TcxCustomInnerMemo). It adds the lines, scroll bars, word
// wrap, whether Enter and Tab are typed into the text, a visible-line count
// for auto size, and a one-line display form of its value (the first line,
// at most 250 characters).
#pragma once

#include "editors/framework/TextEdit.h"
#include "platform/Memo.h"

class TcxCustomMemo;

// What a memo asks of its inner window beyond a text edit's.
class IcxInnerMemo {
public:
  // The caret's column and row (0-based).
  virtual POINT CaretPos() = 0;
  virtual TStrings* Lines() = 0;
  virtual TScrollStyle ScrollBars() = 0;
  virtual bool WantReturns() = 0;
  virtual bool WantTabs() = 0;
  virtual bool WordWrap() = 0;
  // The caret goes to the row's first character plus the column.
  virtual void SetCaretPos(POINT value) = 0;
  virtual void SetScrollBars(TScrollStyle value) = 0;
  virtual void SetWantReturns(bool value) = 0;
  virtual void SetWantTabs(bool value) = 0;
  virtual void SetWordWrap(bool value) = 0;

protected:
  ~IcxInnerMemo() = default;
};

// Replacement text for a multi-line EDIT: every LF CR pair becomes two
// CR LF breaks; CR LF pairs and lone CR or LF stay as they are.
AnsiString NormalizeMemoLineBreaks(const AnsiString& text);

// The inner multi-line EDIT: the inner text edit's key, character and
// clipboard routing, with line breaks, tabs and scroll bars of its own.
class TcxCustomInnerMemo : public TcxCustomInnerTextEdit, public IcxInnerMemo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomInnerMemo(TComponent* owner);

  bool IsMultiLine() override { return true; }
  char ImePendingByte() override { return 0; }
  void SetDefaultMargins() override;
  void ApplyFocusAlignment() override {}

  // -- IcxInnerMemo
  POINT CaretPos() override;
  TStrings* Lines() override { return &FLines; }
  TScrollStyle ScrollBars() override { return FScrollBars; }
  bool WantReturns() override { return FWantReturns; }
  bool WantTabs() override { return FWantTabs; }
  bool WordWrap() override { return FWordWrap; }
  void SetCaretPos(POINT value) override;
  void SetScrollBars(TScrollStyle value) override;
  void SetWantReturns(bool value) override { FWantReturns = value; }
  void SetWantTabs(bool value) override { FWantTabs = value; }
  void SetWordWrap(bool value) override;

  TcxCustomMemo* Memo() const;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  // Enter and Tab the memo types go to the owner and then into the text.
  void KeyPress(char& Key) override;

private:
  // The corner between two scroll bars, in the window's own coordinates
  // (empty without both bars).
  void PaintScrollBarCorner();

  TMemoStrings FLines{this};
  int FTextSetting = 0;
  TScrollStyle FScrollBars = ssNone;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

// -- Properties -------------------------------------------------------------------------------------

class TcxCustomMemoProperties : public TcxCustomTextEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomMemoProperties(TPersistent* owner);
  void CopyFrom(TPersistent* source) override;

  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value) { StoreMemo(FScrollBars, value); }
  // Lines the auto-sized memo shows; negative values become 0.
  int VisibleLineCount() const { return FVisibleLineCount; }
  void SetVisibleLineCount(int value) { StoreMemo(FVisibleLineCount, value < 0 ? 0 : value); }
  bool WantReturns() const { return FWantReturns; }
  void SetWantReturns(bool value) { StoreMemo(FWantReturns, value); }
  bool WantTabs() const { return FWantTabs; }
  void SetWantTabs(bool value) { StoreMemo(FWantTabs, value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value) { StoreMemo(FWordWrap, value); }

  // The display text; unless the full text is asked for, cut at the first
  // line break and at 250 characters.
  AnsiString MemoDisplayText(const TcxEditValue& value, bool fullText) const;

  bool IsMultiLine() const override { return true; }
  bool WantsTab() const override { return FWantTabs; }
  AnsiString DisplayTextOf(const TcxEditValue& value) const override { return MemoDisplayText(value, false); }
  // The horizontal alignment, as forms write it.
  TAlignment MemoAlignment() const { return const_cast<TcxCustomMemoProperties*>(this)->Alignment()->Horz(); }
  void SetMemoAlignment(TAlignment value) { Alignment()->SetHorz(value); }
  bool IsMemoAlignmentStored() const {
    return const_cast<TcxCustomMemoProperties*>(this)->Alignment()->HorzIsSet();
  }

private:
  template <class T>
  void StoreMemo(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }

  TScrollStyle FScrollBars = ssNone;
  int FVisibleLineCount = 0;
  bool FWantReturns = true;
  bool FWantTabs = false;
  bool FWordWrap = true;
};

class TcxMemoProperties : public TcxCustomMemoProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomMemoProperties::TcxCustomMemoProperties;
};

// -- The view ---------------------------------------------------------------------------------------

// The memo paints its text always in the text colour: it has no selection
// bar.
class TcxCustomMemoViewInfo : public TcxCustomTextEditViewInfo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  void PaintText(TcxCanvas* canvas) override;
};

class TcxCustomMemoViewData : public TcxCustomTextEditViewData {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomTextEditViewData::TcxCustomTextEditViewData;

  TcxCustomMemoProperties* MemoProperties() const { return dynamic_cast<TcxCustomMemoProperties*>(Properties); }
  // Word-broken whole rows when the lines wrap, else whole rows; tabs
  // expanded; never a single line.
  uint32_t TextDrawFlags() override;
  int MaxLineCount() override;
  SIZE DefaultContentSize(TcxCanvas* canvas) override;
};

// -- The memo ---------------------------------------------------------------------------------------

class TcxCustomMemo : public TcxCustomTextEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomMemo(TComponent* owner, bool inPlace = false);
  void AfterConstruction() override;

  TcxCustomMemoProperties* Properties() const {
    return static_cast<TcxCustomMemoProperties*>(TcxCustomEdit::Properties());
  }
  TcxCustomMemoProperties* ActiveProperties() const {
    return static_cast<TcxCustomMemoProperties*>(EffectiveProperties());
  }
  TcxCustomInnerMemo* InnerMemo() const { return dynamic_cast<TcxCustomInnerMemo*>(InnerControl()); }
  TStrings* Lines() const;
  void SetLines(TStrings* value);

  // Enter when it types a line break (WantReturns, or Ctrl held); Tab when
  // it types a tab (WantTabs, or forced).
  virtual bool IsMemoEditingKey(WORD key, TShiftState shift, bool forceTab);

  // -- Overrides of the text edit
  TClass PropertiesClass() const override { return &TcxCustomMemoProperties::ClassInfo; }
  TWinControl* CreateInnerControl() override;
  TcxCustomEditViewData* CreateViewData(TcxCustomEditProperties* p, TcxCustomEditStyle* s, bool inPlace) override;
  TcxContainerViewInfo* ViewInfoClass() override { return new TcxCustomMemoViewInfo(); }
  bool InnerEditShowsValue() override { return true; }
  bool IsEditingKey(WORD key, TShiftState shift) override;
  bool KeyStartsEditing(char key) override { return key != '\r'; }
  bool WantsTabKey() override;
  bool AutoSizeWanted() override;
  void PlaceInnerControl() override;
  void ProcessKey(WORD& key, TShiftState shift) override;
  void ApplyProperties(TcxCustomEditProperties* properties) override;
};

class TcxMemo : public TcxCustomMemo {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomMemo::TcxCustomMemo;
  TClass PropertiesClass() const override { return &TcxMemoProperties::ClassInfo; }
  TcxMemoProperties* Properties() const { return static_cast<TcxMemoProperties*>(TcxCustomEdit::Properties()); }
  void SetProperties(TcxMemoProperties* value) { TcxCustomEdit::Properties()->Assign(value); }
};

// The unit's start and end: the memo's class for forms and its properties
// class in the registry of editors' properties.
void cxMemoInit();
void cxMemoDone();
