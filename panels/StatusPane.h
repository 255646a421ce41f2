// Status panes: light windowless controls that show one line of text in a
// frame on their parent's canvas. Panes can blink; all blinking panes of the
// process share one timer owned by BlinkingControls, which alternates them
// between their normal text colour and BlinkColor. A field pane puts a
// fixed label before its text.
#pragma once

#include "panels/DrawingHelpers.h"
#include "panels/FrameSettings.h"
#include "platform/Control.h"
#include "platform/ExtCtrls.h"
#include "platform/StdCtrls.h"

#include <cstdint>
#include <vector>

class TRzFrameController;

// Each blink tick sends every listed control CM_BLINKQUERY (answer 1 when
// blinking) and then, to those blinking, CM_BLINKSTATE (wParam 1 blink colour,
// 0 normal colour), both with Perform (platform/Messages.h).

// The shared blink timer and the controls it asks. It exists while any pane
// exists: the first pane creates it, the last one frees it.
class TRzBlinkingControlsList : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TRzBlinkingControlsList();
  ~TRzBlinkingControlsList() override;

  virtual int ControlCount() const { return static_cast<int>(FControls.size()); }
  void Add(TControl* control);
  void Remove(TControl* control);
  // The timer's event: flips the state, sets the next interval and tells the
  // blinking controls.
  void TimerFired(TObject* sender);

  uint8_t BlinkState() const { return FBlinkState; }
  TTimer* Timer() const { return FTimer; }
  uint16_t IntervalOff = 500;  // milliseconds
  uint16_t IntervalOn = 500;   // milliseconds

private:
  uint8_t FBlinkState = 1;
  std::vector<TControl*> FControls;
  TTimer* FTimer = nullptr;
};

extern TRzBlinkingControlsList* BlinkingControls;
// Frees the list (and its timer) when no control remains.
void ReleaseBlinkingControlsIfEmpty();

class TRzCustomStatusPane : public TGraphicControl, public IFrameSettingsReceiver {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TRzCustomStatusPane(TComponent* AOwner);
  ~TRzCustomStatusPane() override;

  void ApplyFrameSettings() override { UpdateFromFrameController(); }

  TAlignment Alignment() const { return FAlignment; }
  virtual void SetAlignment(TAlignment value);
  bool AutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool value);
  bool AutoHint() const { return FAutoHint; }
  void SetAutoHint(bool value) { FAutoHint = value; }
  int DefaultWidth() const { return FDefaultWidth; }
  virtual void SetDefaultWidth(int value);
  bool Blinking() const { return FBlinking; }
  virtual void SetBlinking(bool value);
  TColor BlinkColor() const { return FBlinkColor; }
  virtual void SetBlinkColor(TColor value);
  // Of the shared list: the last value written by any pane holds for all.
  virtual uint16_t BlinkIntervalOff() const;
  virtual void SetBlinkIntervalOff(uint16_t value);
  virtual uint16_t BlinkIntervalOn() const;
  virtual void SetBlinkIntervalOn(uint16_t value);
  int BorderWidth() const { return FBorderWidth; }
  virtual void SetBorderWidth(int value);
  const AnsiString& Caption() const { return FCaption; }
  virtual void SetCaption(const AnsiString& value);
  int CaptionOffset() const { return FCaptionOffset; }
  virtual void SetCaptionOffset(int value);
  TColor FillColor() const { return FFillColor; }
  virtual void SetFillColor(TColor value);
  bool ParentFillColor() const { return FParentFillColor; }
  virtual void SetParentFillColor(bool value);
  TColor FlatColor() const { return FFlatColor; }
  virtual void SetFlatColor(TColor value);
  int FlatColorAdjustment() const { return FFlatColorAdjustment; }
  virtual void SetFlatColorAdjustment(int value);
  TFrameStyle FrameStyle() const { return FFrameStyle; }
  virtual void SetFrameStyle(TFrameStyle value);
  TRzFrameController* FrameController() const { return FFrameController; }
  virtual void SetFrameController(TRzFrameController* value);
  TRzFrameControllerNotifications FrameControllerNotifications() const { return FFrameControllerNotifications; }
  void SetFrameControllerNotifications(TRzFrameControllerNotifications value) {
    FFrameControllerNotifications = value;
  }
  bool Transparent() const { return FTransparent; }
  virtual void SetTransparent(bool value);
  TColor NormalTextColor() const { return FNormalTextColor; }
  TColor CurrentTextColor() const { return FCurrentTextColor; }

  void Loaded() override;
  bool ExecuteAction(TBasicAction* Action) override;

  virtual int GetAutoWidth();
  virtual RECT GetTextRect();
  virtual void DrawCaption(const AnsiString& text);
  virtual void DrawFrame();
  virtual void UpdateFromFrameController();
  virtual void BlinkStateChanged(int state);

protected:
  void Paint() override;
  void Dispatch(TMessage& Message) override;
  void Notification(TComponent* component, TOperation operation) override;
  virtual void AdjustSize();
  // The text height the caption is centred by ("Pp" in the canvas font).
  int CaptionTextHeight();
  // The alignment after right-to-left mirroring: left and right swap for a
  // control that aligns right to left.
  TAlignment DrawAlignment() const;

  TAlignment FAlignment = taLeftJustify;
  bool FAutoSize = false;
  bool FAutoHint = false;
  int FDefaultWidth = 40;
  TColor FBlinkColor = clHighlight;
  bool FBlinking = false;
  TColor FNormalTextColor = clWindowText;
  int FBorderWidth = 1;
  AnsiString FCaption;
  int FCaptionOffset = 2;
  bool FParentFillColor = true;
  TColor FFillColor = clBtnFace;
  TColor FFlatColor = clBtnShadow;
  int FFlatColorAdjustment = 30;
  TFrameStyle FFrameStyle = fsFlat;
  TRzFrameController* FFrameController = nullptr;
  TRzFrameControllerNotifications FFrameControllerNotifications = fcpAllNotifications;
  bool FTransparent = true;
  TColor FCurrentTextColor = clWindowText;
};

class TRzStatusPane : public TRzCustomStatusPane {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TRzCustomStatusPane::TRzCustomStatusPane;
};

class TRzCustomFieldStatus : public TRzCustomStatusPane {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TRzCustomStatusPane::TRzCustomStatusPane;

  const AnsiString& FieldLabel() const { return FFieldLabel; }
  virtual void SetFieldLabel(const AnsiString& value);
  TColor FieldLabelColor() const { return FFieldLabelColor; }
  virtual void SetFieldLabelColor(TColor value);

  int GetAutoWidth() override;
  RECT GetTextRect() override;
  void DrawCaption(const AnsiString& text) override;

protected:
  int LabelWidth();

  AnsiString FFieldLabel;
  TColor FFieldLabelColor = clHighlight;
};

class TRzFieldStatus : public TRzCustomFieldStatus {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TRzCustomFieldStatus::TRzCustomFieldStatus;
};
