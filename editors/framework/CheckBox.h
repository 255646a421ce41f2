// The check box editor: a glyph and a caption; its edit value maps to one
// of three states through three configurable values (True, Null and False
// by default). A click, Space or the caption's hot key moves it on:
// unchecked, checked, unchecked, or with AllowGrayed unchecked, grayed,
// checked. The glyph is a cell of a custom bitmap strip, the themed check
// box, or drawn by hand in the style's border style.
#pragma once

#include "editors/framework/CheckStates.h"
#include "editors/framework/EditControl.h"
#include "editors/framework/EditStyle.h"
#include "editors/framework/FilterEditHelpers.h"
#include "platform/ActnList.h"
#include "platform/Bitmap.h"

#include <memory>

enum TcxCheckBoxNullValueShowingStyle : int { nssUnchecked, nssInactive, nssGrayedChecked };
// The glyph's button state.
enum : uint8_t { cxcbNormal = 0, cxcbHot = 1, cxcbPressed = 2, cxcbDisabled = 3 };

class TcxCustomCheckBoxProperties : public TcxCustomEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomCheckBoxProperties(TPersistent* owner);
  ~TcxCustomCheckBoxProperties() override;
  void CopyFrom(TPersistent* source) override;

  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool value) { FAllowGrayed = value; }
  const AnsiString& DisplayChecked() const { return FDisplayChecked; }
  void SetDisplayChecked(const AnsiString& value) { Change(FDisplayChecked, value); }
  const AnsiString& DisplayGrayed() const { return FDisplayGrayed; }
  void SetDisplayGrayed(const AnsiString& value) { Change(FDisplayGrayed, value); }
  const AnsiString& DisplayUnchecked() const { return FDisplayUnchecked; }
  void SetDisplayUnchecked(const AnsiString& value) { Change(FDisplayUnchecked, value); }
  bool FullFocusRect() const { return FFullFocusRect; }
  void SetFullFocusRect(bool value) { Change(FFullFocusRect, value); }
  // Created on first use; its changes count as changes of the properties.
  virtual TBitmap* Glyph();
  bool HasGlyph() const { return FGlyph != nullptr; }
  // Copies the bitmap; null frees the glyph.
  void SetGlyph(TBitmap* value);
  int GlyphCount() const { return FGlyphCount; }
  void SetGlyphCount(int value);
  bool MultiLine() const { return FMultiLine; }
  void SetMultiLine(bool value) { Change(FMultiLine, value); }
  TcxCheckBoxNullValueShowingStyle NullStyle() const { return FNullStyle; }
  void SetNullStyle(TcxCheckBoxNullValueShowingStyle value) { Change(FNullStyle, value); }
  bool UseAlignmentWhenInplace() const { return FUseAlignmentWhenInplace; }
  void SetUseAlignmentWhenInplace(bool value) { Change(FUseAlignmentWhenInplace, value); }
  // Outside loading a value equal to one in use is ignored (and Null for
  // the checked and unchecked values).
  const Variant& ValueChecked() const { return FValueChecked; }
  void SetValueChecked(const Variant& value) { SetValue(FValueChecked, value, false); }
  const Variant& ValueGrayed() const { return FValueGrayed; }
  void SetValueGrayed(const Variant& value) { SetValue(FValueGrayed, value, true); }
  const Variant& ValueUnchecked() const { return FValueUnchecked; }
  void SetValueUnchecked(const Variant& value) { SetValue(FValueUnchecked, value, false); }
  // Where the glyph sits: left, right or centred.
  TAlignment GlyphAlignment() const;
  virtual bool UsesHostLayout() const { return false; }

  TcxCheckBoxState StateOf(const Variant& value) const;
  Variant ValueOf(TcxCheckBoxState state) const;

  bool ValidatesDisplayValue() const override { return true; }
  bool ChangeFiredByEditor() const override { return true; }
  bool ComparesValues() const override { return true; }
  bool SameDisplayValues(const TcxEditValue& a, const TcxEditValue& b) const override {
    return StateOf(a) == StateOf(b);
  }
  AnsiString DisplayTextOf(const TcxEditValue& value) const override;
  unsigned ExtraCapabilities() const override { return TcxCustomEditProperties::ExtraCapabilities() | (1u << 2); }
  unsigned Capabilities() const override { return 1453; }
  bool IsActivationChar(char c) const override { return c == ' '; }
  bool AcceptsValue(const TcxEditValue& value) const override;
  bool CanRevertValue() const override { return true; }
  void ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool editing) const override;

private:
  template <class T>
  void Change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }
  void SetValue(Variant& field, const Variant& value, bool nullAllowed);
  void GlyphChanged(TObject*) { NotifyChanged(); }
  bool OwnerLoading() const;

  bool FAllowGrayed = false;
  AnsiString FDisplayChecked, FDisplayGrayed, FDisplayUnchecked;
  bool FFullFocusRect = false;
  std::unique_ptr<TBitmap> FGlyph;
  int FGlyphCount = 6;
  bool FMultiLine = false;
  TcxCheckBoxNullValueShowingStyle FNullStyle = nssGrayedChecked;
  bool FUseAlignmentWhenInplace = false;
  Variant FValueChecked, FValueGrayed, FValueUnchecked;
};

class TcxCheckBoxProperties : public TcxCustomCheckBoxProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomCheckBoxProperties::TcxCustomCheckBoxProperties;
};

// What drawing a glyph needs.
struct TcxCheckBoxGlyphParams {
  TcxCheckBoxState State = cbsUnchecked;
  uint8_t ButtonState = cxcbNormal;
  TcxEditBorderStyle BorderStyle = ebs3D;
  TcxCheckBoxNullValueShowingStyle NullStyle = nssGrayedChecked;
  TBitmap* Glyph = nullptr;  // a usable custom strip, or null
  int GlyphCount = 0;
  bool Native = false;       // the themed check box
  bool DrawBackground = true;
  TColor BackgroundColor = clWindow;
  TColor BorderColor = clBtnShadow;
  bool Focused = false;
  bool Designing = false;
  bool Office = false;
};
// The cell of a custom strip drawn for a state and button state.
int CheckBoxGlyphCell(TcxCheckBoxState state, uint8_t buttonState, int glyphCount);
// The themed state id (1..12) of a state and button state.
int CheckBoxThemeState(TcxCheckBoxState state, uint8_t buttonState);
// Draws the glyph into the check rectangle.
void DrawCheckBoxGlyph(TcxCanvas* canvas, const RECT& r, const TcxCheckBoxGlyphParams& params);
// The glyph size without a custom glyph: the theme's or the painter's.
SIZE CheckBoxDefaultGlyphSize(bool native, HDC dc);
// The check mark: black where the system check box's checked cell differs
// from its unchecked cell; built at unit start, null outside the unit's life.
TBitmap* CheckMarkMask();
// Stamps the mark in `color` with its top-left at (x, y).
void StampCheckMark(TcxCanvas* canvas, int x, int y, TColor color);

class TcxCustomCheckBox : public TcxCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomCheckBox(TComponent* owner, bool inPlace = false);
  // The value starts as ValueUnchecked.
  void AfterConstruction() override;

  TcxCustomCheckBoxProperties* Properties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(TcxCustomEdit::Properties());
  }
  TcxCustomCheckBoxProperties* ActiveProperties() const {
    return static_cast<TcxCustomCheckBoxProperties*>(EffectiveProperties());
  }
  TcxCheckBoxState State();
  void SetState(TcxCheckBoxState value);
  bool Checked() { return State() == cbsChecked; }
  void SetChecked(bool value) { SetState(value ? cbsChecked : cbsUnchecked); }
  virtual void AdvanceState();
  void ResetToDefault() override { SetChecked(false); }

  // The layout of the last paint (client coordinates) and the glyph's
  // button state.
  RECT CheckRect() const { return FCheckRect; }
  RECT TextRect() const { return FTextRect; }
  RECT FocusRect() const { return FFocusRect; }
  uint8_t ButtonState() const { return FButtonState; }
  // Computes the layout for the client rectangle.
  void CalculateLayout(TcxCanvas* canvas);

  TClass PropertiesClass() const override { return &TcxCheckBoxProperties::ClassInfo; }
  Variant DefaultEditValue() override { return ActiveProperties()->ValueUnchecked(); }
  void StoreInternalEditValue(const Variant& value) override;
  RECT BorderMargins() override { return RECT{0, 0, 0, 0}; }
  // The check box keeps the bounds it is given.
  bool AutoSizeWanted() override { return false; }
  bool DrawsOwnBorder(TcxCanvas*) override { return true; }
  void WndProc(TMessage& Message) override;
  // The click event comes from a changed state only, never from the mouse
  // release itself.
  void Click() override;

protected:
  // Takes the action's Checked too (not while loading; with `CheckDefaults`
  // only when the box is unchecked).
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  TClass GetActionLinkClass() const override;
  void Paint() override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void KeyUp(WORD& Key, TShiftState Shift) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void DoExit() override;

private:
  friend class TcxCheckBoxActionLink;
  // Shows the action's state: change events locked, and no click, which
  // would execute the action again.
  void SetCheckedFromAction(bool value);
  void UpdateButtonState(TShiftState shift, bool leftEvent);
  unsigned CaptionFlags();
  bool MouseWithin();
  TcxEditBorderStyle CheckBorderStyle();

  bool FSpacePressed = false;
  bool FStateClick = false;
  bool FCycling = false;
  bool FShowingAction = false;
  bool FPressedByMouse = false;
  TcxCheckBoxState FShownState = cbsUnchecked;
  uint8_t FButtonState = cxcbNormal;
  RECT FCheckRect{}, FTextRect{}, FFocusRect{};
};

class TcxCheckBox : public TcxCustomCheckBox {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomCheckBox::TcxCustomCheckBox;
};

// Links a check box to an action's Checked while the box is not grayed and
// shows the same.
class TcxCheckBoxActionLink : public TControlActionLink {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCheckBoxActionLink(TObject* client) : TControlActionLink(client) {}

  bool IsCheckedLinked() override;
  void SetChecked(bool value) override;

private:
  TcxCustomCheckBox* CheckBox() const;
};

// The check box's filter-row helper: a filter value is checked or unchecked
// (the display texts of ValueChecked and ValueUnchecked) or none; the
// operators are equal, not equal, blank and not blank; rows filter by
// display values. Its value editor is the text edit's for now.
class TcxFilterCheckBoxHelper : public TcxFilterTextEditHelper {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // The edit's text: the checked or unchecked display text gives that value,
  // anything else Null with an empty text.
  void FilterValueText(TcxCustomEdit* edit, TcxCustomEditProperties* properties, AnsiString& text,
                       Variant& value) const override;
  TcxFilterOperators AllowedOperators(TObject* context, const TcxValueType* valueType, bool extended) const override;
  // Shows the checked or unchecked display text; a grayed value shows none.
  void PutFilterValue(TcxCustomEdit* edit, TcxCustomEditProperties* properties, const Variant& value) const override;
  bool FilterByDisplayValue() const override { return true; }
};

// Unit start: the properties class with its description, the filter helper
// and the check mark.
void cxCheckBoxInit();
void cxCheckBoxDone();
