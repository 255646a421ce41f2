// The panel family's single-line edit: its background follows its state
// (disabled, focused, read-only), it can replace the system's 3-D border
// with a frame of any frame style drawn in the non-client area (a "hot"
// frame while it has the focus or the mouse), shows a cue text while empty
// and can move the focus on with Enter.
#pragma once

#include "panels/DrawingHelpers.h"
#include "panels/FrameController.h"
#include "panels/FrameSettings.h"
#include "platform/StdCtrls.h"

class TRzCustomEdit : public TCustomMaskEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzCustomEdit(TComponent* AOwner);
  ~TRzCustomEdit() override;

  TColor DisabledColor() const { return FDisabledColor; }
  virtual void SetDisabledColor(TColor value);
  TColor ReadOnlyColor() const { return FReadOnlyColor; }
  virtual void SetReadOnlyColor(TColor value);
  bool ReadOnlyColorOnFocus() const { return FReadOnlyColorOnFocus; }
  void SetReadOnlyColorOnFocus(bool value);
  TColor FocusColor() const { return FFocusColor; }
  virtual void SetFocusColor(TColor value);
  // The colour while neither disabled, focused nor read-only.
  TColor NormalColor() const { return FNormalColor; }
  TColor FrameColor() const { return FFrameColor; }
  virtual void SetFrameColor(TColor value);
  TRzFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TRzFrameController* value);
  TRzFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TRzFrameControllerNotifications value) {
    FFrameControllerNotifications = value;
  }
  TColor FrameHotColor() const { return FFrameHotColor; }
  virtual void SetFrameHotColor(TColor value);
  bool FrameHotTrack() const { return FFrameHotTrack; }
  virtual void SetFrameHotTrack(bool value);
  TFrameStyle FrameHotStyle() const { return FFrameHotStyle; }
  virtual void SetFrameHotStyle(TFrameStyle value);
  TSides FrameSides() const { return FFrameSides; }
  virtual void SetFrameSides(TSides value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle value);
  bool FrameVisible() const { return FFrameVisible; }
  virtual void SetFrameVisible(bool value);
  TFramingPreference FramingPreference() const { return FFramingPreference; }
  virtual void SetFramingPreference(TFramingPreference value);
  const AnsiString& TextHint() const { return FTextHint; }
  void SetTextHint(const AnsiString& value);
  bool TextHintVisibleOnFocus() const { return FTextHintVisibleOnFocus; }
  void SetTextHintVisibleOnFocus(bool value);
  bool TabOnEnter() const { return FTabOnEnter; }
  void SetTabOnEnter(bool value) { FTabOnEnter = value; }
  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment value);
  // Read-only: the colours follow.
  void SetReadOnly(bool value);
  bool InControl() const { return FInControl; }
  bool OverControl() const { return FOverControl; }

  virtual void ApplyTextHint(const AnsiString& text);
  virtual void UpdateColors();
  virtual void UpdateHotState(bool mouse, bool value);
  virtual void RedrawFrame();
  virtual bool IsReadOnly() const { return ReadOnly(); }
  virtual void ReadOnlyChanged();
  // Visual styles draw the border themselves: no custom frame then.
  virtual bool UsesThemedFrame() const;
  bool ShowsCustomFrame() const { return FFrameVisible && !UsesThemedFrame(); }

  void Loaded() override;
  void DefineProperties(TFiler* filer) override;

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void KeyPress(char& Key) override;
  void Notification(TComponent* component, TOperation operation) override;
  void Dispatch(TMessage& Message) override;
  void PaintCustomFrame();

  TColor FDisabledColor = clBtnFace;
  TColor FReadOnlyColor = clInfoBk;
  bool FReadOnlyColorOnFocus = false;
  TColor FFocusColor = clWindow;
  TColor FNormalColor = clWindow;
  bool FUpdatingColor = false;
  TColor FFrameColor = clBtnShadow;
  TRzFrameController* FFrameController = nullptr;
  TRzFrameControllerNotifications FFrameControllerNotifications = fcpAllNotifications;
  TColor FFrameHotColor = clBtnShadow;
  bool FFrameHotTrack = false;
  TFrameStyle FFrameHotStyle = fsFlatBold;
  TSides FFrameSides = sdAllSides;
  TFrameStyle FFrameStyle = fsFlat;
  bool FFrameVisible = false;
  TFramingPreference FFramingPreference = fpXPThemes;
  AnsiString FTextHint;
  bool FTextHintVisibleOnFocus = false;
  bool FTabOnEnter = false;
  TAlignment FAlignment = taLeftJustify;
  bool FInControl = false;
  bool FOverControl = false;
};

class TRzEdit : public TRzCustomEdit {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TRzCustomEdit::TRzCustomEdit;
};
