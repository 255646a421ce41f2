// Panel, image and timer.
#pragma once

#include "platform/Control.h"
#include "platform/Picture.h"
#include "platform/StdCtrls.h"


// A container with raised or lowered bevels and a centred caption. Its
// border width lies between its bevels, inside the client area; it is a
// dock site's usual home (UseDockManager is on).
class TCustomPanel : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomPanel(TComponent* AOwner);

  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  // Whether a resize repaints the whole panel (descendants that draw their
  // borders themselves may repaint only the strips that move when off).
  bool FullRepaint() const { return FFullRepaint; }
  void SetFullRepaint(bool value) { FFullRepaint = value; }
  // A locked panel stays where it is when an embedded object would take
  // its place; no object here does, so it is only kept.
  bool Locked() const { return FLocked; }
  void SetLocked(bool value) { FLocked = value; }

protected:
  void AdjustClientRect(RECT& Rect) override;
  bool BorderWidthInClient() const override { return true; }
  void Paint() override;
  void Dispatch(TMessage& Message) override;

private:
  void Rebevel();
  TBevelCut FBevelInner = bvNone;
  TBevelCut FBevelOuter = bvRaised;
  int FBevelWidth = 1;
  TAlignment FAlignment = taCenter;
  bool FFullRepaint = true;
  bool FLocked = false;
};

class TPanel : public TCustomPanel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomPanel::TCustomPanel;
};

// Shows a picture. Graphics that animate report each frame as a change and
// the image repaints, so they keep playing.
class TImage : public TGraphicControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TImage(TComponent* AOwner);

  TPicture* Picture() { return &FPicture; }
  void SetPicture(TPicture* value) { FPicture.Assign(value); }
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value);
  bool Stretch() const { return FStretch; }
  void SetStretch(bool value);
  bool Center() const { return FCenter; }
  void SetCenter(bool value);
  bool Proportional() const { return FProportional; }
  void SetProportional(bool value);
  // The rectangle the picture is drawn in.
  RECT DestRect();

protected:
  void Paint() override;

private:
  void PictureChanged(TObject* Sender);
  TPicture FPicture;
  bool FAutoSize = false;
  bool FStretch = false;
  bool FCenter = false;
  bool FProportional = false;
};

// Fires OnTimer every Interval milliseconds while Enabled (and assigned).
class TTimer : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;

  bool Enabled() const { return FEnabled; }
  void SetEnabled(bool value);
  unsigned Interval() const { return FInterval; }
  void SetInterval(unsigned value);
  void SetOnTimer(const TNotifyEvent& value);
  const TNotifyEvent& OnTimer() const { return FOnTimer; }

protected:
  virtual void Timer() { FireEvent(FOnTimer, this); }

private:
  void UpdateTimer();
  void WndProc(TMessage& Message);
  HWND FWindowHandle = nullptr;
  bool FEnabled = true;
  unsigned FInterval = 1000;
  TNotifyEvent FOnTimer;
};
