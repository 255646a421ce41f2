// Two small editors that prove the framework: one without an inner window
// (it keeps and paints its own text) and one whose typing is done by an
// inner EDIT window. Both compare values and revert on Escape.
#pragma once

#include "editors/framework/EditControl.h"
#include "platform/StdCtrls.h"

#include <vector>

namespace test_editors {

class TTestEditProperties : public TcxCustomEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEditProperties::TcxCustomEditProperties;
  bool ComparesValues() const override { return true; }
  bool CanRevertValue() const override { return true; }
  bool ValidatesDisplayValue() const override { return true; }
};
inline const TClassInfo TTestEditProperties::ClassInfo{
    "TTestEditProperties", &TcxCustomEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TTestEditProperties(static_cast<TPersistent*>(owner)); }};

// The inner window's properties: its text changes report themselves.
class TTestTextProperties : public TTestEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TTestEditProperties::TTestEditProperties;
  bool ChangeFiredByEditor() const override { return true; }
};
inline const TClassInfo TTestTextProperties::ClassInfo{
    "TTestTextProperties", &TTestEditProperties::ClassInfo,
    [](TObject* owner) -> TObject* { return new TTestTextProperties(static_cast<TPersistent*>(owner)); }};

// What a form stores of the test properties.
inline const TPublishedRegistration testEditPropertiesRegistration(&TTestEditProperties::ClassInfo, {
    cxEditPublished::Buttons(),
    cxEditPublished::ClearKey(),
    cxEditPublished::ReadOnly(),
    cxEditPublished::ValidateOnEnter(),
    cxEditPublished::OnChange(),
});

inline AnsiString TextOf(const Variant& v) { return v.IsEmpty() || v.IsNull() ? AnsiString() : v.AsString(); }

// A text editor's content height: the text offsets and one line of text.
class TTestViewData : public TcxCustomEditViewData {
public:
  using TcxCustomEditViewData::TcxCustomEditViewData;
  SIZE DefaultContentSize(TcxCanvas* canvas) override {
    if (!canvas) return SIZE{0, 0};
    canvas->SetFont(StyleInUse()->GetFont());
    const RECT offsets = TextOffsets();
    return SIZE{0, offsets.top + offsets.bottom + canvas->HeightOfText("Zg")};
  }
  // Records what it was asked to show.
  void FillTextInfo(TcxCanvas*, const Variant& value, TcxCustomEditViewInfo*) override {
    FilledValues().push_back(value);
  }
  static std::vector<Variant>& FilledValues() {
    static std::vector<Variant> values;
    return values;
  }
};

// Without an inner window: typed characters append to its own text.
class TTestPlainEdit : public TcxCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomEdit::TcxCustomEdit;
  TClass PropertiesClass() const override { return &TTestEditProperties::ClassInfo; }
  TcxCustomEditViewData* CreateViewData(TcxCustomEditProperties* p, TcxCustomEditStyle* s, bool inPlace) override {
    return new TTestViewData(p, s, inPlace);
  }
  AnsiString ReadShownText() override { return Text; }
  void PutDisplayText(const Variant& value) override { Text = TextOf(value); }
  void RefreshDisplayText() override { Text = TextOf(EditValue()); }
  void ApplyDisplayValue(const Variant& value) override { StoreInternalEditValue(value); }
  void SelectAllText() override { ++SelectAllCount; }
  bool IsEditingChar(char key) override { return static_cast<unsigned char>(key) >= 32 || key == '\b'; }
  Variant DefaultEditValue() override { return Variant(AnsiString()); }
  // A stored value clicks, as a check box does.
  void StoreInternalEditValue(const Variant& value) override {
    TcxCustomEdit::StoreInternalEditValue(value);
    Click();
  }
  void ProcessChar(char& key) override {
    TcxCustomEdit::ProcessChar(key);
    if (key == 0) return;
    if (key == '\b') {
      if (!Text.empty()) Text.pop_back();
    } else if (static_cast<unsigned char>(key) >= 32) {
      Text += key;
    } else {
      return;
    }
    key = 0;
    ReloadFromData(this);
    Invalidate();
  }
  AnsiString Text;
  int SelectAllCount = 0;

protected:
  void Paint() override {
    TcxCustomEdit::Paint();
    RECT r = EditViewInfo()->ClientRect;
    InflateRect(&r, -1, 0);
    cxCanvas()->GetFont()->SetColor(EditViewInfo()->PaintTextColor);
    cxCanvas()->GetBrush()->SetStyle(TBrushStyle::bsClear);
    cxCanvas()->DrawTextInState(Text, r, cxAlignLeft | cxAlignVCenter | cxSingleLine);
  }
};

inline const TClassInfo TTestPlainEdit::ClassInfo{
    "TTestPlainEdit", &TcxCustomEdit::ClassInfo,
    [](TObject* owner) -> TObject* { return new TTestPlainEdit(static_cast<TComponent*>(owner)); }};
inline const TPublishedRegistration testPlainEditRegistration(&TTestPlainEdit::ClassInfo, {
    cxEditControlPublished::AutoSize(),
    cxEditControlPublished::EditValue(),
    cxEditControlPublished::Properties(),
    cxEditControlPublished::Style(),
    cxEditControlPublished::StyleDisabled(),
    cxEditControlPublished::StyleFocused(),
    cxEditControlPublished::StyleHot(),
    cxEditControlPublished::Transparent(),
    cxEditControlPublished::OnEditing(),
});

class TTestInnerEdit;

// The inner EDIT window: hands every key and character to its edit first.
class TTestInnerWindow : public TEdit, public IcxCustomInnerEdit {
public:
  explicit TTestInnerWindow(TComponent* owner) : TEdit(owner) {}
  void SetContainer(TcxCustomEdit* edit) override { FEdit = edit; }
  void SetReadOnly(bool value) override { TEdit::SetReadOnly(value); }
  void SetOnChange(const TNotifyEvent& handler) override { OnChange = handler; }
  TWinControl* Control() override { return this; }
  void SafelySetFocus() override {
    if (CanFocus()) SetFocus();
  }

protected:
  void KeyDown(WORD& Key, TShiftState Shift) override {
    if (FEdit) FEdit->InnerKeyDown(Key, Shift);
    if (Key != 0) TEdit::KeyDown(Key, Shift);
  }
  void KeyPress(char& Key) override {
    if (FEdit) FEdit->InnerKeyPress(Key);
    if (Key != 0) TEdit::KeyPress(Key);
  }
  void KeyUp(WORD& Key, TShiftState Shift) override {
    if (FEdit) FEdit->InnerKeyUp(Key, Shift);
    if (Key != 0) TEdit::KeyUp(Key, Shift);
  }
  void CreateParams(TCreateParams& Params) override {
    TEdit::CreateParams(Params);
    Params.Style &= ~static_cast<DWORD>(WS_BORDER);
    Params.ExStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
  }

private:
  TcxCustomEdit* FEdit = nullptr;
};

class TTestInnerEdit : public TcxCustomEdit {
public:
  using TcxCustomEdit::TcxCustomEdit;
  TClass PropertiesClass() const override { return &TTestTextProperties::ClassInfo; }
  bool WantsInnerControl() override { return true; }
  TcxCustomEditViewData* CreateViewData(TcxCustomEditProperties* p, TcxCustomEditStyle* s, bool inPlace) override {
    return new TTestViewData(p, s, inPlace);
  }
  TWinControl* CreateInnerControl() override {
    auto* inner = New<TTestInnerWindow>(this);
    inner->SetParent(this);
    return inner;
  }
  TTestInnerWindow* Inner() { return static_cast<TTestInnerWindow*>(InnerControl()); }
  AnsiString ReadShownText() override { return Inner() ? Inner()->Text() : AnsiString(); }
  void PutDisplayText(const Variant& value) override {
    if (Inner()) Inner()->SetText(TextOf(value));
  }
  void RefreshDisplayText() override {
    if (!Inner()) return;
    LockChangeEvents(true);
    Inner()->SetText(TextOf(EditValue()));
    LockChangeEvents(false, false);
  }
  void ApplyDisplayValue(const Variant& value) override { StoreInternalEditValue(value); }
  void SelectAllText() override {
    if (Inner() && Inner()->HandleAllocated()) Inner()->SelectAll();
  }
  bool IsEditingChar(char key) override { return static_cast<unsigned char>(key) >= 32 || key == '\b'; }
  bool TextEditing() override { return true; }
  bool InnerEditShowsValue() override { return true; }
};

}  // namespace test_editors
