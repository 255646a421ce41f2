// Controls: the visual components a form is made of. TControl is anything
// placed on a parent (position, visibility, colour, font, mouse); a
// TWinControl has a window of its own (focus, keyboard, children); a
// TGraphicControl draws on its parent's window and a TCustomControl paints
// its own window with a canvas.
#pragma once

#include "platform/Canvas.h"
#include "platform/Component.h"
#include "platform/Messages.h"
#include "platform/Screen.h"
#include "platform/UtilWindow.h"

#include <memory>
#include <vector>

class TControl;
class TWinControl;
class TPopupMenu;
class TDragObject;
class TCustomForm;
class TBasicAction;
class TControlActionLink;
class TDragDockObject;
class TDockTree;

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
using enum TAlign;
// Reading order of a control's text and where it aligns.
enum class TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
using enum TBiDiMode;
// The frame of a window: forms use every value; other windowed controls
// have none (bsNone) or a single line (bsSingle, sunken when Ctl3D).
enum class TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using enum TFormBorderStyle;
using TBorderStyle = TFormBorderStyle;
// Bevels: how each line of a bevel is cut, which kind a windowed control
// draws in its frame, and on which edges.
enum class TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using enum TBevelCut;
enum class TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
using enum TBevelKind;
enum class TBevelEdge { beLeft, beTop, beRight, beBottom };
using enum TBevelEdge;
using TBevelEdges = TSet<TBevelEdge, 4>;
// Help topics are numbered; 0 is none.
using THelpContext = int;
enum class TAnchorKind { akLeft, akTop, akRight, akBottom };
using enum TAnchorKind;
using TAnchors = TSet<TAnchorKind, 4>;

enum class TControlStyleItem {
  csAcceptsControls, csCaptureMouse, csDesignInteractive, csClickEvents, csFramed, csSetCaption, csOpaque,
  csDoubleClicks, csFixedWidth, csFixedHeight, csNoDesignVisible, csReplicatable, csNoStdEvents,
  csDisplayDragImage, csReflector, csActionClient, csMenuEvents, csNeedsBorderPaint, csParentBackground
};
using enum TControlStyleItem;
using TControlStyle = TSet<TControlStyleItem, 32>;

enum class TControlStateItem {
  csLButtonDown, csClicked, csPalette, csReadingState, csAlignmentNeeded, csFocusing, csCreating, csPaintCopy,
  csCustomPaint, csDestroyingHandle, csDocking
};
using enum TControlStateItem;
using TControlState = TSet<TControlStateItem, 16>;

enum class TMouseButton { mbLeft, mbRight, mbMiddle };
using enum TMouseButton;
enum class TShiftStateItem { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using enum TShiftStateItem;
using TShiftState = TSet<TShiftStateItem, 8>;

enum class TDragMode { dmManual, dmAutomatic };
using enum TDragMode;
enum class TDragState { dsDragEnter, dsDragLeave, dsDragMove };
using enum TDragState;
// Whether dragging the control moves data (dkDrag) or docks the control.
enum class TDragKind { dkDrag, dkDock };
using enum TDragKind;

using TMouseEvent = TEvent<void(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TMouseMoveEvent = TEvent<void(TObject* Sender, TShiftState Shift, int X, int Y)>;
using TMouseWheelEvent =
    TEvent<void(TObject* Sender, TShiftState Shift, int WheelDelta, POINT MousePos, bool& Handled)>;
using TKeyEvent = TEvent<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using TKeyPressEvent = TEvent<void(TObject* Sender, char& Key)>;
using TDragOverEvent =
    TEvent<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = TEvent<void(TObject* Sender, TObject* Source, int X, int Y)>;
using TEndDragEvent = TEvent<void(TObject* Sender, TObject* Target, int X, int Y)>;
using TStartDragEvent = TEvent<void(TObject* Sender, TDragObject*& DragObject)>;
using TConstrainedResizeEvent =
    TEvent<void(TObject* Sender, int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight)>;
using TDockDropEvent = TEvent<void(TObject* Sender, TDragDockObject* Source, int X, int Y)>;
// A dock site asked to let a client go to NewTarget (null: nowhere).
using TUnDockEvent = TEvent<void(TObject* Sender, TControl* Client, TWinControl* NewTarget, bool& Allow)>;
// MousePos is in the control's client co-ordinates, (-1, -1) from the keyboard.
using TContextPopupEvent = TEvent<void(TObject* Sender, POINT MousePos, bool& Handled)>;

// The shift state of the keyboard now, or of a mouse message's key flags.
TShiftState KeyboardShiftState();
TShiftState KeysToShiftState(WPARAM keys);

// What a control's window is created with; CreateParams fills it in.
struct TCreateParams {
  AnsiString Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0, Y = 0, Width = 0, Height = 0;
  HWND WndParent = nullptr;
  WNDCLASSA WindowClass{};
  AnsiString WinClassName;
};

// The information CM_HINTSHOW carries in its LParam; a control may change
// the text or position, or answer 1 to show no hint.
struct THintInfo {
  class TControl* HintControl = nullptr;
  // The hint window's class (a THintWindow or a descendant); a control may
  // name its own, which then shows HintData.
  TClass HintWindowClass = nullptr;
  POINT HintPos{};
  int HintMaxWidth = 0;
  AnsiString HintStr;
  // Where the cursor may move (control's client co-ordinates) without the
  // hint being asked for again.
  RECT CursorRect{};
  // The cursor, in the control's client co-ordinates.
  POINT CursorPos{};
  int HideTimeout = 0;  // 0: the application's hide pause
  void* HintData = nullptr;
};

// The smallest and largest size a control may take (0: no limit); every
// change of the control's bounds is clamped to them.
class TSizeConstraints : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TSizeConstraints(class TControl* control = nullptr) : FControl(control) {}
  void Assign(TPersistent* source) override;

  int MinWidth() const { return FMinWidth; }
  void SetMinWidth(int value);
  int MinHeight() const { return FMinHeight; }
  void SetMinHeight(int value);
  int MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int value);
  int MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int value);
  bool IsEmpty() const { return !FMinWidth && !FMinHeight && !FMaxWidth && !FMaxHeight; }
  TNotifyEvent OnChange;

protected:
  TPersistent* GetOwner() override;
  virtual void Change();

private:
  friend class TControl;
  class TControl* FControl;
  int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

// A canvas on a control: its own window's device context, or its parent's
// moved and clipped to the control for graphic controls. Outside painting
// the canvas takes a device context on demand and lets go of it at
// FreeHandle.
class TControlCanvas : public TCanvas {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  ~TControlCanvas() override;
  class TControl* Control() const { return FControl; }
  void SetControl(class TControl* value);
  void FreeHandle();

protected:
  void CreateHandle() override;

private:
  class TControl* FControl = nullptr;
  std::unique_ptr<TWindowDC> FDeviceContext;
};

// Lends a device context to a canvas for one paint (locked meanwhile) and
// takes it back at the end of the scope, also when painting raises.
class TCanvasPaintScope {
public:
  TCanvasPaintScope(TCanvas& canvas, HDC dc) : FCanvas(canvas) {
    FCanvas.Lock();
    FCanvas.SetHandle(dc);
  }
  ~TCanvasPaintScope() {
    FCanvas.SetHandle(nullptr);
    FCanvas.Unlock();
  }
  TCanvasPaintScope(const TCanvasPaintScope&) = delete;
  TCanvasPaintScope& operator=(const TCanvasPaintScope&) = delete;

private:
  TCanvas& FCanvas;
};

class TControl : public TComponent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TControl(TComponent* AOwner);
  ~TControl() override;
  void BeforeDestruction() override;

  // -- Parent and placement.
  TWinControl* Parent() const { return FParent; }
  virtual void SetParent(TWinControl* value);
  TComponent* GetParentComponent() const override;
  bool HasParent() const override { return true; }
  void SetParentComponent(TComponent* parent) override;

  int Left() const { return FLeft; }
  int Top() const { return FTop; }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void SetLeft(int value) { SetBounds(value, FTop, FWidth, FHeight); }
  void SetTop(int value) { SetBounds(FLeft, value, FWidth, FHeight); }
  void SetWidth(int value) { SetBounds(FLeft, FTop, value, FHeight); }
  void SetHeight(int value) { SetBounds(FLeft, FTop, FWidth, value); }
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  RECT BoundsRect() const { return RECT{FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }
  void SetBoundsRect(const RECT& r) { SetBounds(r.left, r.top, r.right - r.left, r.bottom - r.top); }
  virtual RECT ClientRect();
  int ClientWidth() { return ClientRect().right; }
  int ClientHeight() { return ClientRect().bottom; }
  void SetClientWidth(int value) { SetClientSize(value, ClientHeight()); }
  void SetClientHeight(int value) { SetClientSize(ClientWidth(), value); }
  virtual void SetClientSize(int width, int height);
  // The screen position of the client area's origin.
  virtual POINT ClientOrigin();
  POINT ClientToScreen(POINT p);
  POINT ScreenToClient(POINT p);
  TAlign Align() const { return FAlign; }
  void SetAlign(TAlign value);
  TAnchors Anchors() const { return FAnchors; }
  void SetAnchors(TAnchors value);
  void BringToFront();
  void SendToBack();

  // -- Appearance.
  bool Visible() const { return FVisible; }
  void SetVisible(bool value);
  void Show() { SetVisible(true); }
  void Hide() { SetVisible(false); }
  // Visible with every parent up to a top-level window visible.
  bool IsControlVisible() const;
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool value);
  // Enabled with every parent enabled: what input and focus go by.
  bool IsControlEnabled() const;
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  bool ParentColor() const { return FParentColor; }
  void SetParentColor(bool value);
  TFont* Font() { return &FFont; }
  void SetFont(TFont* value) { FFont.Assign(value); }
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool value);
  TCursor Cursor() const { return FCursor; }
  void SetCursor(TCursor value);
  const AnsiString& Hint() const { return FHint; }
  void SetHint(const AnsiString& value) { FHint = value; }
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool value);
  bool ParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* value);
  // The help topic of the control; F1 or a help request on a control asks
  // the application for the first non-zero one from the control up.
  THelpContext HelpContext() const { return FHelpContext; }
  void SetHelpContext(THelpContext value) { FHelpContext = value; }
  // Reading order. With ParentBiDiMode the control takes its parent's; a
  // windowed control shows it in its window's extended styles.
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode value);
  bool ParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool value);
  bool IsRightToLeft() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftReading() const { return FBiDiMode != bdLeftToRight; }
  bool UseRightToLeftAlignment() const { return FBiDiMode == bdRightToLeft; }
  bool UseRightToLeftScrollBar() const { return FBiDiMode == bdRightToLeft || FBiDiMode == bdRightToLeftNoAlign; }
  // The sunken 3-D look of a single border (else a flat line); with
  // ParentCtl3D the control takes its parent's.
  bool Ctl3D() const { return FCtl3D; }
  void SetCtl3D(bool value);
  bool ParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool value);
  TSizeConstraints* Constraints() { return &FConstraints; }
  void SetConstraints(TSizeConstraints* value) { FConstraints.Assign(value); }
  TControlStyle ControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle value) { FControlStyle = value; }
  TControlState ControlState() const { return FControlState; }
  void SetControlState(TControlState value) { FControlState = value; }

  // The caption or text: the window's text while it has one.
  virtual AnsiString Text() const { return FText; }
  void SetText(const AnsiString& value);
  AnsiString Caption() const { return Text(); }
  void SetCaption(const AnsiString& value) { SetText(value); }

  // -- Messages.
  // The message handler: WndProc unless replaced (a subclass keeps the old
  // one and calls it for what it leaves).
  TWndMethod WindowProc;
  LRESULT Perform(UINT msg, WPARAM wp = 0, LPARAM lp = 0);
  virtual void WndProc(TMessage& Message);
  // Sends a message to its handler by number; what no class handles goes to
  // DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  virtual void Invalidate();
  virtual void Update();
  void Repaint();
  void Refresh() { Repaint(); }

  // -- Drag and drop of the class library.
  TDragMode DragMode() const { return FDragMode; }
  void SetDragMode(TDragMode value) { FDragMode = value; }
  TCursor DragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor value) { FDragCursor = value; }
  // Starts a drag at once, or once the mouse has moved `threshold` pixels
  // (the system's drag distance when negative).
  void BeginDrag(bool immediate, int threshold = -1);
  void EndDrag(bool drop);
  bool Dragging() const;
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  virtual void DragDrop(TObject* Source, int X, int Y);
  virtual void DoEndDrag(TObject* Target, int X, int Y);
  virtual void DoStartDrag(TDragObject*& DragObject);

  // -- Docking (DockTree.h).
  TDragKind DragKind() const { return FDragKind; }
  void SetDragKind(TDragKind value) { FDragKind = value; }
  // The dock site the control is docked in, or null.
  TWinControl* HostDockSite() const { return FHostDockSite; }
  // Docks the control into NewDockSite (beside DropControl on ControlSide,
  // when given) without the mouse: the old site is asked first (OnUnDock)
  // and may refuse; the new one takes the control (OnDockDrop, its dock
  // tree places it) and the control hears OnEndDock. A null site only
  // takes the control out of its old one. Answers whether it moved.
  bool ManualDock(TWinControl* NewDockSite, TControl* DropControl = nullptr, TAlign ControlSide = alNone);

  // OnClick, or the action when OnClick is the action's handler (or not
  // assigned).
  virtual void Click();
  virtual void DblClick();

  // -- Actions (ActnList.h).
  // The action the control shows and runs; assigning one makes the control
  // an action client (updated when the application is idle).
  TBasicAction* Action() const;
  void SetAction(TBasicAction* value);
  TControlActionLink* ActionLink() const { return FActionLink; }
  // Lets the action update the control (idle time).
  virtual void InitiateAction();
  // Asked by the application for an action nobody handled: answer true
  // when the control dealt with it (by default, when the action handles
  // the control as its target).
  virtual bool ExecuteAction(TBasicAction* Action);
  virtual bool UpdateAction(TBasicAction* Action);

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TNotifyEvent OnResize;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseEvent OnMouseDown;
  TMouseEvent OnMouseUp;
  TMouseMoveEvent OnMouseMove;
  TMouseWheelEvent OnMouseWheel;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;
  TStartDragEvent OnStartDrag;
  TContextPopupEvent OnContextPopup;
  TConstrainedResizeEvent OnConstrainedResize;
  TEndDragEvent OnEndDock;

protected:
  friend class TWinControl;
  friend class TSizeConstraints;
  // Scales the bounds (and the font unless it is the parent's) by M/D.
  virtual void ChangeScale(int M, int D);
  // The limits in force for a resize: the constraints, then
  // OnConstrainedResize may change them.
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
  // Clamps a new size to the limits.
  void ConstrainSize(int& width, int& height);
  virtual void ConstraintsChanged();
  virtual void DoEndDock(TObject* Target, int X, int Y) { FireEvent(OnEndDock, this, Target, X, Y); }
  friend class TDragManager;
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, POINT MousePos);
  // Before the popup menu: a control (or its handler) that shows a menu of
  // its own sets Handled, and the popup menu stays closed.
  virtual void DoContextPopup(POINT MousePos, bool& Handled) { FireEvent(OnContextPopup, this, MousePos, Handled); }
  virtual void Resize() { FireEvent(OnResize, this); }
  virtual void Paint() {}
  // A change that the parent's alignment must hear about.
  void RequestAlign();
  void Changed() { Perform(CM_CHANGED, 0, reinterpret_cast<LPARAM>(this)); }
  void Notification(TComponent* component, TOperation operation) override;
  // Takes the action's values: all of them, or with CheckDefaults only
  // those the control still has at their defaults (while a form loads).
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // The class of the link SetAction makes (a TControlActionLink).
  virtual TClass GetActionLinkClass() const;
  virtual void SetTextBuf(const AnsiString& value) { FText = value; }
  TCustomForm* ParentForm() const;
  virtual void UpdateAnchorRules() {}
  // Takes new bounds (already checked) and tells whoever must know.
  void ApplyBounds(int ALeft, int ATop, int AWidth, int AHeight);
  virtual void BoundsResized() { Resize(); }

  int FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
  TWinControl* FParent = nullptr;
  TControlStyle FControlStyle;
  TControlState FControlState;
  AnsiString FText;
  TFont FFont;
  TColor FColor = clWindow;
  bool FVisible = true;
  bool FEnabled = true;
  bool FParentColor = true;
  bool FParentFont = true;
  bool FMouseInControl = false;
  // Distances kept from the parent's right and bottom edges by the anchors.
  int FAnchorRight = 0, FAnchorBottom = 0, FAnchorWidthBase = 0, FAnchorHeightBase = 0;

private:
  void FontChanged(TObject* Sender);
  void HandleMouseDown(TMessage& Message, TMouseButton Button, TShiftState Extra);
  void HandleMouseUp(TMessage& Message, TMouseButton Button);
  void DoActionChange(TObject* Sender);

  TAlign FAlign = alNone;
  TAnchors FAnchors{akLeft, akTop};
  TCursor FCursor = crDefault;
  AnsiString FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  bool FUpdatingParentFont = false;
  TPopupMenu* FPopupMenu = nullptr;
  TDragMode FDragMode = dmManual;
  TCursor FDragCursor = crDrag;
  TControlActionLink* FActionLink = nullptr;
  THelpContext FHelpContext = 0;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  TSizeConstraints FConstraints{this};
  TDragKind FDragKind = dkDrag;
  TWinControl* FHostDockSite = nullptr;
};

class TWinControl : public TControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TWinControl(TComponent* AOwner);
  ~TWinControl() override;
  void BeforeDestruction() override;
  // A control living in a window the class library did not make (a host
  // window of another program or a plain Win32 window).
  static TWinControl* CreateParented(HWND parentWindow);

  // -- The window.
  HWND Handle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded() { Handle(); }
  HWND ParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND value);
  // Destroys and creates the window again (style changes that need it).
  void RecreateWnd();
  void DestroyHandle();
  // The control of a window made by the class library (null otherwise):
  // read from the window itself, no table.
  static TWinControl* FindControl(HWND wnd);
  // The control a window of the class library is being created for, from
  // the creation data a CBT hook sees before the window's first message
  // (FindControl answers null until WM_NCCREATE); null for other windows.
  static TWinControl* FindCreatingControl(HWND wnd, const CREATESTRUCTA* create);
  // True while the window is visible on the screen with its parents.
  bool Showing() const { return FHandle && IsWindowVisible(FHandle); }

  // -- Children.
  int ControlCount() const { return static_cast<int>(FControls.size()); }
  TControl* Controls(int index) const { return FControls.at(index); }
  void InsertControl(TControl* control);
  void RemoveControl(TControl* control);
  bool ContainsControl(TControl* control) const;
  // The child under a client point: visible (and enabled unless
  // `allowDisabled`) graphic children, windowed ones too with `allWinControls`.
  TControl* ControlAtPos(POINT pos, bool allowDisabled, bool allWinControls = false);
  // Sends a message to every child until one answers non-zero.
  void Broadcast(TMessage& Message);
  void NotifyControls(UINT msg);
  void Realign();
  void DisableAlign() { ++FAlignLevel; }
  void EnableAlign();

  // -- Focus and tab order.
  virtual bool CanFocus();
  bool Focused() const;
  virtual void SetFocus();
  int TabOrder() const;
  void SetTabOrder(int value);
  bool TabStop() const { return FTabStop; }
  void SetTabStop(bool value) { FTabStop = value; }
  // The windowed descendants in tab order, depth first (a control may take
  // entries out, as an editor standing in for its host does).
  virtual void GetTabOrderList(std::vector<TWinControl*>& list);
  TWinControl* FindNextControl(TWinControl* current, bool goForward, bool checkTabStop, bool checkParent);
  void SelectNext(TWinControl* current, bool goForward, bool checkTabStop);

  // Scales the control and its children by M/D (bounds, fonts that are
  // not their parent's, constraints).
  void ScaleBy(int M, int D);

  // -- The frame: BorderStyle bsSingle is a line (sunken with Ctl3D); a
  // bevel of BevelKind is drawn inside it on BevelEdges, each cut
  // (BevelInner, BevelOuter) BevelWidth wide; BorderWidth pixels of the
  // control's colour lie inside the bevel. All of it is taken from the
  // client area.
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);
  int BorderWidth() const { return FBorderWidth; }
  void SetBorderWidth(int value);
  TBevelKind BevelKind() const { return FBevelKind; }
  void SetBevelKind(TBevelKind value);
  TBevelCut BevelInner() const { return FBevelInner; }
  void SetBevelInner(TBevelCut value);
  TBevelCut BevelOuter() const { return FBevelOuter; }
  void SetBevelOuter(TBevelCut value);
  TBevelEdges BevelEdges() const { return FBevelEdges; }
  void SetBevelEdges(TBevelEdges value);
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int value);

  // -- Docking (DockTree.h): a dock site takes controls docked into it;
  // with UseDockManager its dock tree lays them out and paints their
  // grabbers.
  bool DockSite() const { return FDockSite; }
  void SetDockSite(bool value);
  bool UseDockManager() const { return FUseDockManager; }
  void SetUseDockManager(bool value);
  TDockTree* DockManager() const { return FDockManager; }
  int DockClientCount() const { return static_cast<int>(FDockClients.size()); }
  TControl* DockClients(int index) const { return FDockClients.at(index); }
  // Takes the control of a dock drag object: it becomes a child and a
  // dock client, the dock tree places it, OnDockDrop fires.
  virtual void DockDrop(TDragDockObject* Source, int X, int Y);
  // Asks OnUnDock whether Client may leave for NewTarget; when it may, the
  // dock tree lets it go. Answers the permission.
  virtual bool DoUnDock(TWinControl* NewTarget, TControl* Client);
  TDockDropEvent OnDockDrop;
  TUnDockEvent OnUnDock;

  TBrush* Brush() { return &FBrush; }
  bool DoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool value) { FDoubleBuffered = value; }
  bool ParentBackground() const { return FControlStyle.Contains(csParentBackground); }
  void SetParentBackground(bool value);

  AnsiString Text() const override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  RECT ClientRect() override;
  void SetClientSize(int width, int height) override;
  POINT ClientOrigin() override;
  void Invalidate() override;
  void Update() override;
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  void BoundsResized() override {
    Realign();
    Resize();
  }

  // Paints this window and its graphic children into `dc`.
  void PaintTo(HDC dc, int x, int y);

  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TKeyPressEvent OnKeyPress;
  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;

protected:
  friend class TControl;
  friend class TDockTree;
  friend LRESULT CALLBACK ControlWindowProc(HWND, UINT, WPARAM, LPARAM);
  virtual void CreateParams(TCreateParams& Params);
  // Makes the window a descendant of a system control class (EDIT,
  // BUTTON...): the class keeps the control's class name and calls the
  // system's window procedure for what the control leaves.
  void CreateSubClass(TCreateParams& Params, const char* systemClass);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  // Lets go of the window without destroying it (a DestroyWnd that keeps
  // the window for later): windowed children lose theirs, the window stops
  // reaching the control and belongs to the caller, who gives it back
  // through AdoptWindowHandle or destroys it. Answers the window.
  HWND DetachWindowHandle();
  // In CreateWindowHandle: takes a window that a control of this class let
  // go of as this control's window instead of making one; it is moved
  // under Params.WndParent, to the bounds and styles of Params.
  void AdoptWindowHandle(HWND wnd, const TCreateParams& Params);
  // The dock tree the control uses as a dock site: a new TDockTree when
  // it has none and is a dock site with UseDockManager, else the one it has.
  virtual TDockTree* CreateDockManager();
  // The space of the frame (bevel and border width) on each side.
  RECT FrameInsets() const;
  // The window's whole client area, whatever ClientRect a descendant
  // answers (a panel leaves its borders out of it): what erasing and
  // double-buffered painting cover.
  RECT WindowClientRect();
  // Panels keep their border width inside the client area (they paint it
  // themselves between their bevels).
  virtual bool BorderWidthInClient() const { return false; }
  virtual void DestroyWnd();
  virtual void CreateHandle();
  // Runs once the window exists (fonts, texts and items are given to it).
  virtual void InitializeWnd() {}
  // Runs before the window is destroyed (to keep what only it holds).
  virtual void BeforeDestroyWnd() {}
  virtual void AlignControls(TControl* AControl, RECT& Rect);
  virtual void AdjustClientRect(RECT& Rect) { (void)Rect; }
  virtual void PaintWindow(HDC dc);
  void PaintHandler(HDC dc);
  void PaintControls(HDC dc, TControl* first = nullptr);
  virtual bool DoKeyDown(TMessage& Message);
  virtual bool DoKeyPress(TMessage& Message);
  virtual bool DoKeyUp(TMessage& Message);
  virtual void KeyDown(WORD& Key, TShiftState Shift) { FireEvent(OnKeyDown, this, Key, Shift); }
  virtual void KeyUp(WORD& Key, TShiftState Shift) { FireEvent(OnKeyUp, this, Key, Shift); }
  virtual void KeyPress(char& Key) { FireEvent(OnKeyPress, this, Key); }
  virtual void DoEnter() { FireEvent(OnEnter, this); }
  virtual void DoExit() { FireEvent(OnExit, this); }
  // Whether a key of the dialog set (Tab, arrows, Enter, Escape) is this
  // control's own rather than the form's navigation.
  bool WantsKey(WPARAM key);
  void UpdateShowing();
  void SetTextBuf(const AnsiString& value) override;
  void UpdateBoundsFromWindow();
  void ApplyFont();
  void ReflectToChild(TMessage& Message, HWND child);
  // True when a CN_NOTIFY's LParam is a header from this control's own
  // window that its parent is reflecting now. Anyone may send CN_NOTIFY (its
  // number is CN_BASE + WM_NOTIFY) with any LParam: a handler reads the
  // header only when this says yes.
  bool IsReflectedNotify(LPARAM header) const;

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  HWND FParentWindow = nullptr;
  TBrush FBrush;
  std::vector<TControl*> FControls;      // every child, in z-order (bottom first)
  std::vector<TWinControl*> FTabList;   // windowed children in tab order
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FOwnClass = false;        // our own window class, not a system control's
  bool FTrackingLeave = false;   // asked the system for WM_MOUSELEAVE
  int FAlignLevel = 0;
  TControl* FCaptureControl = nullptr;  // graphic child holding the mouse
  TWeakLink<TControl> FMouseControl;    // graphic child under the mouse
  SIZE FAlignedClientSize{-1, -1};
  TBorderStyle FBorderStyle = bsNone;
  int FBorderWidth = 0;
  TBevelKind FBevelKind = bkNone;
  TBevelCut FBevelInner = bvRaised;
  TBevelCut FBevelOuter = bvLowered;
  TBevelEdges FBevelEdges{beLeft, beTop, beRight, beBottom};
  int FBevelWidth = 1;
  bool FDockSite = false;
  bool FUseDockManager = false;
  TDockTree* FDockManager = nullptr;
  std::vector<TControl*> FDockClients;

  void ChangeScale(int M, int D) override;
  // Scales every child (ChangeScale).
  void ScaleControls(int M, int D);
  // The frame around `inner` (window co-ordinates of `dc`, the whole
  // window's): the frame's space filled with `fill`, the bevel drawn over it.
  void PaintFrame(HDC dc, const RECT& inner, TColor fill);

private:
  // The frame and reading-order styles of the window, from the properties.
  void ApplyFrameStyles();
  void FrameChanged();
  void PaintFrame();
  void UpdateDockManager();
  void ForgetActiveControl(TControl* control);
  void RemoveDockClient(TControl* control);
  void DoAlign(TAlign alignment, std::vector<TControl*>& list, RECT& rect);
  void EraseBackground(HDC dc);
  void HandleKeyMessage(TMessage& Message);
  bool IsControlMouseMsg(TMessage& Message);
  void TrackMouse(TMessage& Message);
  void UpdateEnabledWindows();
  void HandlePaint(TMessage& Message);
  bool HandleSetCursor(TMessage& Message);
  void CheckMouseLeft();
};

// A windowed control that paints itself on a canvas.
class TCustomControl : public TWinControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomControl(TComponent* AOwner);
  TCanvas* Canvas() { return &FCanvas; }

protected:
  void PaintWindow(HDC dc) override;
  TControlCanvas FCanvas;
};

// A control without a window of its own: it paints on its parent's. The
// parent sends it WM_PAINT with its device context (moved and clipped to
// the control), so a replaced WindowProc can paint instead.
class TGraphicControl : public TControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TGraphicControl(TComponent* AOwner);
  TCanvas* Canvas() { return &FCanvas; }

protected:
  friend class TWinControl;
  void Dispatch(TMessage& Message) override;
  TControlCanvas FCanvas;
};

// The form (or other top-level control) a control sits on; null when it is
// on none.
TCustomForm* GetParentForm(TControl* control);
