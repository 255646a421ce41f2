// The editors' drop-down window, TcxCustomPopupWindow, and the container
// unit's state that keeps such popups honest: the list of open popups in
// opening order, and three thread hooks of the GUI thread that close them
// when something else happens on screen (the owner hidden or destroyed, the
// application deactivated, a click elsewhere) and keep Alt key combinations
// away from the menus while one is open.
//
// A popup runs one of two ways. Capturing the focus (the default) it is a
// top-level window owned by its owner's form; showing it takes the focus
// and runs a local message loop until it closes. Not capturing, it is a
// tool window that leaves the focus where it is. Either way the form that
// opened it keeps its caption drawn active.
//
//   auto* popup = TcxCustomPopupWindow::CreateForOwnerControl(editor);
//   popup->SetOwnerBounds(editor->BoundsRect());
//   popup->SetOwnerParent(editor->Parent());
//   popup->ShowPopupFor(list);   // returns once the popup is closed
#pragma once

#include "foundation/ContainerStyle.h"
#include "foundation/PopupWindow.h"

#include <memory>

class TcxContainer;
class TcxCustomPopupWindow;

// Why a popup closed or is closing: the events pass it on untouched.
using TcxPopupCloseEvent = TEvent<void(TcxCustomPopupWindow* Sender, int Reason)>;

class TcxCustomPopupWindow : public TcxPopupWindow {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // A normal (not stay-on-top) hidden form for `ownerControl`, capturing
  // the focus, with KeyPreview and the local message loop on.
  explicit TcxCustomPopupWindow(TControl* ownerControl);
  static TcxCustomPopupWindow* CreateForOwnerControl(TControl* ownerControl) {
    return New<TcxCustomPopupWindow>(ownerControl);
  }
  // Leaves the open list, clears every weak link to it.
  ~TcxCustomPopupWindow() override;
  void AfterConstruction() override;

  TControl* OwnerControl() const { return FOwnerControl; }
  bool CaptureFocus() const { return FCaptureFocus; }
  void ChangeCaptureFocus(bool value);
  bool StayOnTop() const { return FStayOnTop; }
  void ChangeStayOnTop(bool value);
  bool ModalLoop() const { return FModalLoop; }
  void SetModalLoop(bool value) { FModalLoop = value; }
  // While above 0 the popup does not close on deactivation or a click.
  int ClosingLock() const { return FClosingLock; }
  void AdjustClosingLock(bool raise) { FClosingLock += raise ? 1 : -1; }
  // Set when a click on the owner closed the popup and the popup wanted
  // that click swallowed; the owner editor reads and clears it.
  bool ClosedByOwnerClick() const { return FClosedByOwnerClick; }
  void SetClosedByOwnerClick(bool value) { FClosedByOwnerClick = value; }
  TWinControl* ControlToFocus() const { return FControlToFocus; }
  TcxContainerStyle* Style() const { return FStyle.get(); }
  TcxContainerViewInfo* ViewInfo() const { return FViewInfo.get(); }
  // In the open list.
  bool IsOpen() const;
  // The owner has a window and it is visible.
  bool OwnerControlShowing();
  // The form of the owner control (null without one).
  TCustomForm* OwnerForm() const;
  // Open, capturing, and the focus is on the popup or inside it.
  bool PopupFocused();

  TcxPopupCloseEvent OnClosed;
  TcxPopupCloseEvent OnClosing;
  TNotifyEvent OnShown;
  TNotifyEvent OnShowing;

  // -- The virtual operations, in their order.
  virtual bool FitsToWorkArea() { return false; }
  virtual void NotifyClosed(int reason = 0);
  virtual void NotifyClosing(int reason = 0);
  virtual void NotifyShown();
  virtual void NotifyShowing();
  virtual bool ErasesBackground() { return false; }
  // The keys an Alt combination may still reach the window with: Page
  // Up/Down, End, Home, the arrows and F4.
  virtual bool AcceptsNavigationKey(WORD key);
  virtual void CloseFromModalResult() { ClosePopup(); }
  // Whether the click that closes the popup goes no further.
  virtual bool SwallowsClosingClick(HWND wnd, UINT message, POINT p, TShiftState shift) {
    (void)wnd, (void)message, (void)p, (void)shift;
    return false;
  }
  virtual void HandleStyleChange(TcxContainerStyle* style) { (void)style; }
  virtual void AdjustPopupPosition(POINT& p);
  virtual TClass StyleClass() { return &TcxContainerStyle::ClassInfo; }
  virtual TcxContainerViewInfo* ViewInfoClass() { return TcxContainerViewInfo::CreateInNormalState(); }
  virtual void ShowPopupFor(TWinControl* controlToFocus);

  // -- TcxPopupWindow's.
  void ClosePopup() override;
  RECT GetOwnerScreenBounds() override;
  void ApplyOwnerFont() override {}

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateHandle() override;
  void CreateWnd() override;
  void AdjustClientRect(RECT& Rect) override;
  void PaintWindow(HDC dc) override;
  void Dispatch(TMessage& Message) override;
  void KeyDown(WORD& Key, TShiftState Shift) override;
  void Deactivate() override;
  void DoHide() override;
  bool CanFocus() override { return Visible(); }

private:
  void StyleChanged(TcxContainerStyle* style) { HandleStyleChange(style); }
  // Focuses a control while the unit swallows the activation it causes.
  void FocusWithinPopup(TWinControl* control);
  TWinControl* FirstTabStop();

  bool FCaptureFocus = true;
  int FClosingLock = 0;
  TWinControl* FControlToFocus = nullptr;
  bool FStayOnTop = false;
  bool FClosedByOwnerClick = false;
  bool FModalLoop = true;
  TControl* FOwnerControl;  // not owned
  std::unique_ptr<TcxContainerStyle> FStyle;
  std::unique_ptr<TcxContainerViewInfo> FViewInfo;
};

// ---------------------------------------------------------------------------
// The open popups, the closing counter and the hooks (GUI thread only).

// Appends a popup; an assertion fails for null or one already listed.
void AddOpenPopup(TcxCustomPopupWindow* popup);
// Removes a popup; an assertion fails for null or one not listed.
void RemoveOpenPopup(TcxCustomPopupWindow* popup);
bool IsPopupOpen(TControl* control);
int OpenPopupCount();
// In opening order; the last is the topmost.
TcxCustomPopupWindow* OpenPopup(int index);
// Posts CM_POPUPCLOSE: the popup closes and its owner gets WM_SETFOCUS.
void PostPopupCloseRequest(TcxCustomPopupWindow* popup);
// Raised while a popup closes or moves the focus inside itself: the
// activation messages of that time are swallowed.
void AdjustClosingCounter(bool raise);
bool ClosingInProgress();
// Set while a popup is being shown, and while a click closes popups.
bool PopupShowingInProgress();

// The next message delivered to `wnd` answers 1 and goes no further; the
// window gets its own procedure back. Meant for the call-window-procedure
// hook, which runs before the window's procedure. One swallow is pending
// at a time: a new request takes the place of an undelivered one (whose
// window gets its procedure back).
void SwallowNextMessage(HWND wnd);
bool SwallowPending();

// The mouse hook's decision for a click on `wnd`: closes the popups the
// click is outside of and answers whether the click may go on.
bool CloseOpenPopupsForClick(HWND wnd, UINT message);

// The three hooks are installed (the unit's start installs them).
bool PopupHooksInstalled();
// For the throughput bench: takes the hooks off and puts them back.
void RemovePopupHooks();
void InstallPopupHooks();

// -- Window relations the hooks and editors ask.
// The window is the control's own, or (with children) within it.
bool HandleBelongsToControl(TControl* control, HWND wnd, bool withChildren);
// The window lies inside the control: a child window of it, of its window
// children, of the popups it opened (and, for a popup, of popups opened
// from controls on it).
bool IsWindowWithinControl(TControl* control, HWND wnd);
// The window is the control's form's, or inside it (for a form embedded in
// another window: inside the top of that chain).
bool IsWindowInControlForm(TControl* control, HWND wnd);
// For a popup whose owner is on an MDI child: the window is the MDI
// client, lies in the frame form, or in another MDI child. Works from the
// window relations alone.
bool IsClickInMDIFamily(TcxCustomPopupWindow* popup, HWND wnd);
// The same for the window of an MDI child: the MDI client, or in the frame
// and not in that child.
bool IsWindowInMDIFamily(HWND mdiChild, HWND wnd);

// The unit's own start and end of its popup part (the container unit's
// start calls them).
void cxContainerPopupsInit();
void cxContainerPopupsDone();
