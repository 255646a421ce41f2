// A panel that is never shown in place: PopupAt lends its controls to a
// borderless popup window under a control, runs a loop of its own until the
// popup closes, and takes the controls back. A click outside the popup,
// Escape, a system command, the focus leaving for a window outside it and
// the program losing the activation close it, answering false; ClosePopup
// (a choice made) closes it answering true.
#pragma once

#include "panels/Panel.h"

class TRzPopupPanel;

class TRzCustomPopup : public TRzCustomPanel {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzCustomPopup(TComponent* AOwner);

protected:
  // The panel's rectangle, less the frames once more.
  void AdjustClientRect(RECT& Rect) override;
  void Paint() override;
};

// The window that is shown: a plain WS_POPUP that never takes the
// activation. Keys the popup loop hands it go to its key target (the first
// enabled, visible windowed control), Escape and system commands close it.
class TRzPopup : public TRzCustomPopup {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzPopup(TComponent* AOwner) : TRzCustomPopup(AOwner) {}

  bool AwaitingChoice() const { return FAwaitingChoice; }
  // WM_POPUPCLOSE reached the window: the loop ends at its next step.
  bool CloseRequested() const { return FCloseRequested; }
  // Posts WM_POPUPCLOSE to the window.
  void PostClose();

protected:
  friend class TRzPopupPanel;
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

  TRzPopupPanel* FPopupPanel = nullptr;
  TControl* FPopupControl = nullptr;
  TWinControl* FKeyTarget = nullptr;
  bool FAwaitingChoice = false;
  bool FCloseRequested = false;
};

class TRzPopupPanel : public TRzCustomPopup {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TRzPopupPanel(TComponent* AOwner);
  ~TRzPopupPanel() override;

  // PopupAt (control, -1, -1): under the control, placed by Alignment.
  bool Popup(TControl* control) { return PopupAt(control, -1, -1); }
  // Shows the controls in a popup at (x, y) from the control's top-left
  // corner (both -1: under it) and answers, once it closed, whether a
  // choice closed it (ClosePopup). False at once while a popup is open.
  bool PopupAt(TControl* control, int x, int y);
  void ClosePopup();
  bool IsPoppedUp() const { return FPopup != nullptr; }
  TRzPopup* PopupWindow() const { return FPopup; }
  TControl* PopupControl() const { return FPopupControl; }
  // With AutoSize: the size that holds the controls where they are, with
  // the frames around them.
  void FitToControls();
  // Where the controls lie: the client area less border width and frames.
  RECT ContentRect();
  bool AutoSize() const { return FAutoSize; }
  void SetAutoSize(bool value) { FAutoSize = value; }

  TNotifyEvent OnClose;
  TNotifyEvent OnPopup;

protected:
  virtual void DoClose() { FireEvent(OnClose, this); }
  virtual void DoPopup() { FireEvent(OnPopup, this); }
  void DestroyWnd() override;
  void Dispatch(TMessage& Message) override;

private:
  bool ShowPopupWindow(int x, int y);
  void RunPopupLoop();
  void RestoreFromPopup();
  bool IsWindowInside(HWND wnd) const;
  void FormWndProc(TMessage& Message);
  void ClosePopupWindow();

  TControl* FPopupControl = nullptr;
  TRzPopup* FPopup = nullptr;
  HWND FPopupHandle = nullptr;
  bool FInLoop = false;
  bool FRestored = true;
  bool FAutoSize = true;
  // The form's handler while the loop listens to its activation.
  TCustomForm* FHookedForm = nullptr;
  TWndMethod FFormWndProc;
};
