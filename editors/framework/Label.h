// The editors' static text: the caption (or edit value) with optional
// effects: depth copies of the text in a chosen direction (stepped, blended
// or one shadow), a raised, lowered or outlined style, rotation by any angle
// for TrueType fonts, a bitmap texture filling the letters, word wrap, and an
// accelerator character that moves the focus to a linked control. The
// rendered text is kept in a cache bitmap and drawn again only after a
// move, a colour change or a change of what it shows.
#pragma once

#include "editors/framework/EditControl.h"
#include "platform/Bitmap.h"

#include <memory>

enum TcxLabelEffect : uint8_t { cxleNormal, cxleFun, cxleExtrude, cxleCool };
enum TcxLabelStyle : uint8_t { cxlsNormal, cxlsRaised, cxlsLowered, cxlsOutLine };
// The side on which the depth copies lie.
enum TcxLabelOrientation : uint8_t {
  cxoLeft, cxoRight, cxoTop, cxoBottom, cxoLeftTop, cxoLeftBottom, cxoRightTop, cxoRightBottom
};

class TcxCustomLabelProperties : public TcxCustomEditProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomLabelProperties(TPersistent* owner);
  ~TcxCustomLabelProperties() override;
  void CopyFrom(TPersistent* source) override;

  TcxLabelEffect LabelEffect() const { return FLabelEffect; }
  void SetLabelEffect(TcxLabelEffect value) { Change(FLabelEffect, value); }
  TcxLabelStyle LabelStyle() const { return FLabelStyle; }
  void SetLabelStyle(TcxLabelStyle value) { Change(FLabelStyle, value); }
  TcxLabelOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TcxLabelOrientation value) { Change(FOrientation, value); }
  uint16_t Depth() const { return FDepth; }
  void SetDepth(uint16_t value) { Change(FDepth, value); }
  TColor ShadowedColor() const { return FShadowedColor; }
  void SetShadowedColor(TColor value) { Change(FShadowedColor, value); }
  bool ShowAccelChar() const { return FShowAccelChar; }
  void SetShowAccelChar(bool value) { Change(FShowAccelChar, value); }
  bool ShowEndEllipsis() const { return FShowEndEllipsis; }
  void SetShowEndEllipsis(bool value) { Change(FShowEndEllipsis, value); }
  int Angle() const { return FAngle; }
  void SetAngle(int value) { Change(FAngle, value); }
  int PenWidth() const { return FPenWidth; }
  void SetPenWidth(int value) { Change(FPenWidth, value); }
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool value) { Change(FWordWrap, value); }
  // Created on first read; its changes count as changes of the properties.
  TBitmap* Glyph();
  bool HasGlyph() const { return FGlyph && !FGlyph->Empty(); }
  // Copies the bitmap; null frees it.
  void SetGlyph(TBitmap* value);

  // (0, 0) for the normal effect; else Depth in x, in y or in both by the
  // orientation.
  virtual void DepthOffsets(int& dx, int& dy) const;

  bool ChangeFiredByEditor() const override { return true; }
  bool ComparesValues() const override { return true; }
  int IsTextValueEditor(bool) const override { return 1; }
  unsigned Capabilities() const override { return (1u << 1) | (1u << 3) | (1u << 7) | (1u << 8) | (1u << 10); }
  void ValueToDisplay(const TcxEditValue& value, TcxEditValue& display, bool editing) const override;
  AnsiString DisplayTextOf(const TcxEditValue& value) const override;

private:
  template <class T>
  void Change(T& field, const T& value) {
    if (field == value) return;
    field = value;
    NotifyChanged();
  }
  void GlyphChanged(TObject*) { NotifyChanged(); }

  TcxLabelEffect FLabelEffect = cxleNormal;
  TcxLabelStyle FLabelStyle = cxlsNormal;
  TcxLabelOrientation FOrientation = cxoRightBottom;
  uint16_t FDepth = 0;
  TColor FShadowedColor = clGrayText;
  bool FShowAccelChar = true;
  bool FShowEndEllipsis = false;
  int FAngle = 0;
  int FPenWidth = 1;
  bool FWordWrap = false;
  std::unique_ptr<TBitmap> FGlyph;
};

class TcxLabelProperties : public TcxCustomLabelProperties {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomLabelProperties::TcxCustomLabelProperties;
};

// Per RGB channel: background + (shadowed - background) x i / n, truncated.
TColor BlendColor(TColor background, TColor shadowed, int i, int n);

// What drawing a label needs.
struct TcxLabelDrawParams {
  const TcxCustomLabelProperties* Properties = nullptr;
  AnsiString Text;
  TFont* Font = nullptr;
  TColor TextColor = clWindowText;
  TColor BackgroundColor = clBtnFace;
  bool Transparent = false;  // the canvas's pixels stay under the text
};
// Draws the label's text with its effects into `r` of the canvas.
void DrawLabel(TcxCanvas* canvas, const RECT& r, const TcxLabelDrawParams& params);
// The size the text with its effects takes; a negative width is unbounded.
SIZE MeasureLabelText(TcxCanvas* canvas, int width, const TcxLabelDrawParams& params);
// The effective angle of a font: Angle in 0..359 for a TrueType font, else 0.
int EffectiveLabelAngle(TcxCanvas* canvas, TFont* font, int angle);

class TcxCustomLabel : public TcxCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TcxCustomLabel(TComponent* owner, bool inPlace = false);

  TcxCustomLabelProperties* Properties() const {
    return static_cast<TcxCustomLabelProperties*>(TcxCustomEdit::Properties());
  }
  TcxCustomLabelProperties* ActiveProperties() const {
    return static_cast<TcxCustomLabelProperties*>(EffectiveProperties());
  }
  TWinControl* FocusControl() const { return FFocusControl; }
  // The label itself is refused; a control freed later is forgotten.
  void SetFocusControl(TWinControl* value);
  // Times the text was rendered into the cache.
  int RenderCount() const { return FRenderCount; }
  // The size the caption with its effects takes at the current width.
  SIZE ContentSize();

  TClass PropertiesClass() const override { return &TcxLabelProperties::ClassInfo; }
  void StoreInternalEditValue(const Variant& value) override;
  RECT BorderMargins() override { return RECT{0, 0, 0, 0}; }
  // The label keeps the bounds it is given.
  bool AutoSizeWanted() override { return false; }
  bool DrawsOwnBorder(TcxCanvas*) override { return true; }
  void ApplyProperties(TcxCustomEditProperties* properties) override;
  void WndProc(TMessage& Message) override;

protected:
  void Paint() override;
  void Notification(TComponent* component, TOperation operation) override;

private:
  TcxLabelDrawParams DrawParams();
  TWinControl* FFocusControl = nullptr;
  bool FSettingCaption = false;
  std::unique_ptr<TBitmap> FCache;
  POINT FRenderedAt{0x7FFFFFFF, 0x7FFFFFFF};
  TColor FRenderedColor = clNone;
  bool FNeedsRender = true;
  int FRenderCount = 0;
};

class TcxLabel : public TcxCustomLabel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TcxCustomLabel::TcxCustomLabel;
};

// Unit start: the properties class with its description ("Label|...").
void cxLabelInit();
void cxLabelDone();
