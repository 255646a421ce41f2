// The bar windows: the base, toolbars, submenus and the application menu.
#pragma once

#include "bars/model/DockingStyles.h"
#include "platform/Control.h"

class IdxBarAccessibilityHelper;
class TcxCanvas;
class TcxScreenCanvas;
class TCustomdxBarControlViewInfo;
class TdxBar;
class TdxBarItemControl;
class TdxBarItemLink;
class TdxBarItemLinks;
class TdxBarManager;
class TdxBarPainter;

// State bits of a bar control.
constexpr unsigned dxBarStateBuilding = 0x01, dxBarStateClearing = 0x02, dxBarStateClosing = 0x08,
                   dxBarStatePaintingItem = 0x10, dxBarStateRebuilding = 0x20, dxBarStateApplyingFont = 0x40;

// The base of bar windows: it shows a links collection, asks each link for
// its item control while the window exists, lays the controls out, tracks
// the mouse and the keyboard over them, keeps one selected, takes part in
// the chain of open menus and draws through its painter. Toolbars and
// submenus fill in the layout and the frame.
class TCustomdxBarControl : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // The owner is the manager.
  explicit TCustomdxBarControl(TComponent* AOwner);
  ~TCustomdxBarControl() override;
  void BeforeDestruction() override;

  TdxBarManager* OwnerBarManager() const { return FOwnerBarManager; }
  // The bar window that opened this one, null for a root.
  TCustomdxBarControl* ParentBar() const { return FParentBar; }
  TCustomdxBarControl* ChildBar() const { return FChildBar; }
  void SetChildBar(TCustomdxBarControl* bar);
  void SetParentBar(TCustomdxBarControl* bar);
  // A detached submenu keeps no chain to the bar that opened it.
  virtual bool IsDetachedKind() const { return false; }

  // The links the window shows, and the object that owns them.
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }
  virtual void SetItemLinks(TdxBarItemLinks* value) { FItemLinks = value; }
  TObject* LinksOwnerObject() const;
  // 0 a toolbar, 1 the quick-customizing popup, 2 a submenu.
  virtual int ControlKind() const { return 0; }
  // In the active (menu-mode) chain.
  bool IsActive() const { return FActive; }
  // Entered with a click (menu mode of a toolbar).
  bool Downed() const { return FDowned; }
  void SetDowned(bool value) { FDowned = value; }
  TdxBarItemControl* SelectedControl() const;
  TdxBarItemLink* SelectedLink() const { return FSelectedLink; }
  int RebuildCount() const { return FRebuildCount; }
  unsigned State() const { return FState; }
  // The window's helper, made on first demand of the class below.
  IdxBarAccessibilityHelper* AcquireAccessibilityHelper();
  virtual TClass AccessibilityHelperClass() const;
  TCustomdxBarControlViewInfo* ViewInfo() const { return FViewInfo; }

  // --- Metrics ----------------------------------------------------------
  int TextSize() const { return FTextSize; }
  int EditTextSize() const { return FEditTextSize; }
  int MarkSizeValue() const { return FMarkSize; }
  int MenuArrowHeight() const { return FMenuArrowHeight; }
  int MenuArrowWidth() const { return FMenuArrowWidth; }
  int ComboArrowWidth() const { return FComboArrowWidth; }
  int IconAreaSizeValue() const { return FIconAreaSize; }
  double Ratio() const { return FRatio; }
  const RECT& ItemsRect() const { return FItemsRect; }
  const RECT& VisibleItemsRect() const { return FVisibleItemsRect; }
  int DockingStyle() const { return FDockingStyle; }
  virtual void SetDockingStyle(int style);
  int MarkState() const { return FMarkState; }
  int ViewState() const { return FViewState; }
  POINT LastMousePosition() const { return FLastMousePos; }
  HBRUSH BackgroundBrush() const { return FBackgroundBrush; }
  TcxCanvas* PaintCanvas();
  TdxBarPainter* Painter() const { return GetPainter(); }
  void SetPainter(TdxBarPainter* value) { FPainter = value; }

  // --- The operations toolbars and submenus fill in ---------------------
  virtual void PopupPointBelow(POINT& point, int height);
  virtual void SelectOrCancel(TdxBarItemControl* control);
  virtual void TrackMousePosition(TShiftState shift, int x, int y);
  virtual bool GetExtraPaneScreenRect(RECT&) { return false; }
  virtual void CalcLayout() { CalcItemsRect(); }
  virtual void CalcDropPosition(POINT point, TdxBarItemLink*& link, bool& vertical, bool& before, bool& separator);
  virtual void CalcMetrics();
  virtual void CalcItemsRect();
  virtual void SizeItems(int start, int& bottom);
  virtual void PlaceItems() {}
  // kind 1 stacks the items as a menu; 0 and 2 place them in a row.
  virtual void CalcVisibleArea(int kind, int start);
  virtual void RebuildViewInfo();
  virtual void BuildControls();
  virtual void ClearControls();
  virtual void ScheduleRebuild() { ++FRebuildCount; }
  virtual bool CanActivate();
  virtual bool AllowsItemAlign(TdxBarItemControl*) const { return false; }
  virtual bool ItemsUseBarStyle() const { return true; }
  virtual bool NeedsItemPaint(TdxBarItemControl* control);
  virtual bool HitTestWhileCustomizing();
  virtual bool AcceptsDeactivation(TdxBarManager* manager, HWND window);
  virtual bool ShowsPartialLastItem(RECT&) { return false; }
  bool IsInActiveChain() const;
  bool RightClickOpensOn(bool down) const;
  virtual bool IsInactive() const { return !FActive; }
  virtual bool IsUpdateLocked() const;
  virtual bool IsFlatBar() const;
  virtual void BeforeLayout() {}
  virtual void AfterLayout() {}
  virtual void BeginLinkDrag(POINT point);
  virtual void EnterFocus(TdxBarItemControl* control);
  virtual void LeaveFocus();
  virtual void MouseEnterBar(TShiftState shift, POINT point, TdxBarItemControl* control);
  virtual void MouseDownOn(TMouseButton button, TShiftState shift, bool client, TdxBarItemControl* control,
                           POINT point);
  virtual void MouseLeaveBar();
  virtual void MouseMoveOn(TShiftState shift, POINT point, TdxBarItemControl* control);
  virtual void MouseUpOn(TMouseButton button, TShiftState shift, bool client, TdxBarItemControl* control,
                         POINT point);
  virtual void CreateLinkControls();
  virtual void NotifyDestroying();
  virtual void DestroyLinkControls();
  virtual void CloseUp();
  virtual void PaintItem(TdxBarItemControl* control, TcxCanvas* canvas, const RECT& r);
  virtual void RebuildControls(bool recreate);
  virtual void SetActiveState(bool active);
  virtual void PaintItems();
  virtual TdxBarItemLink* LinkForKey(WORD key, TShiftState shift, TdxBarItemLink* start);
  TdxBarItemLink* FindLinkByAccel(WORD key, TShiftState shift, bool& shared, TdxBarItemLink* start);
  virtual void PressItem(TdxBarItemControl* control);
  virtual TBitmap* BackgroundBitmap() { return nullptr; }
  virtual int SeparatorSize();
  virtual unsigned OptionFlags() const;
  virtual int ItemLineHeight(TdxBarItemControl* control);
  virtual TBitmap* ItemBackgroundBitmap() { return nullptr; }
  virtual TFont* ItemsFont();
  virtual void GetItemDropRect(TdxBarItemControl* control, RECT& r);
  virtual bool IsCustomizing() const;
  virtual bool IsMainMenu() const { return false; }
  virtual bool ShadowVisible() { return false; }
  virtual bool IsStatusBar() const { return false; }
  virtual int ItemViewInfoKind() const { return 4; }
  virtual int SeparatorBefore(TdxBarItemLink* link);
  virtual HRGN CreateItemRegion(TdxBarItemControl* control);
  virtual int GetMarkState() const { return FMarkState; }
  int GetMarkSize() const;
  virtual int GetBaseLineHeight() const;
  virtual TdxBarPainter* GetPainter() const;
  virtual int ItemPaintKind() const { return IsTextRotated() ? 2 : 0; }
  virtual TdxBar* GetBar() const { return nullptr; }
  virtual HBRUSH GetBackgroundBrush();
  HBRUSH DownedBrush();
  HBRUSH DownedSelectedBrush();
  HBRUSH SelectedBrush();
  virtual void ScrollIntoView(TdxBarItemControl*) {}
  virtual int BarIndent() const;
  virtual int IconAreaSize();
  virtual int MeasureTextSize();
  virtual void CancelByEscape();
  virtual bool IsTransientBar() const { return false; }
  bool IsAncestorOf(TCustomdxBarControl* control) const;
  bool HasItemControl(TdxBarItemControl* control) const;
  virtual bool IsPopup() const { return false; }
  virtual bool UsesVerticalDropMarks() const { return IsVertical(); }
  bool IsWindowEnabledChain();
  virtual void ItemSelectedHook(TdxBarItemControl*) {}
  virtual bool HasMark() const { return false; }
  // Some links did not fit and are hidden behind the mark.
  virtual bool HasHiddenItems() const { return false; }
  virtual void GetMarkRect(RECT& r) { r = RECT{0, 0, 0, 0}; }
  virtual void SetMarkState(int state) { FMarkState = state; }
  virtual bool IsMouseIgnored(bool check);
  virtual void PaintItemWithBackground(TcxCanvas* canvas, TdxBarItemControl* control);
  virtual void ApplyBarFont();
  virtual void DesignClick(TdxBarItemControl* control, int operation, TShiftState shift);
  virtual void AccelSelect(TdxBarItemControl* control, bool shared);
  virtual void SelectItemControl(TdxBarItemControl* control);
  virtual void HotTrackItemControl(TdxBarItemControl* control);
  virtual void SetSelectedControl(TdxBarItemControl* control);
  // Asks the window to redraw the control's rectangle.
  virtual void InvalidateItem(TdxBarItemControl* control);
  virtual void ViewStateChanged(int) {}
  virtual void DesignPopup() {}
  virtual bool PainterDrawsFrame() const { return true; }
  virtual void ClearBackgroundCache() {}
  // Hides the window (a submenu closes; its owner frees it).
  virtual void HideWindow();
  // Shows the window at the screen point without activation (submenus;
  // the owner's extent along the opening edge is kept for the frame).
  virtual void PrepareAndShow(POINT screenPoint, int ownerWidth, int ownerHeight);
  // Closes the chain from here (reentrance-safe).
  void Close();
  virtual bool IsVertical() const { return false; }
  virtual bool IsTextRotated() const { return false; }
  // Makes the item controls again and lays them out (now, or at the next
  // chance).
  virtual void RebuildItems();

  // --- Floating and docked frame questions the painters ask --------------
  // A floating window shows its caption.
  virtual bool ShowsCaption() const { return false; }
  // 0 none, 1 single.
  virtual int BarBorderStyle() const { return 1; }
  // Docked: a drag handle is shown.
  virtual bool CanDock() const { return false; }

  // --- Helpers other parts call --------------------------------------------
  bool IsDestroying() const { return TComponent::IsDestroying(); }
  RECT GetItemControlRect(TdxBarItemControl* control) const;
  TdxBarItemControl* ItemControlAtPoint(POINT client) const;
  bool ContainsScreenPoint(POINT screen);
  void EnterFocusAt(TdxBarItemControl* control) { EnterFocus(control); }
  void DropFocusIfFocused();
  void RecreateItemControls();
  void RebuildKeepingSelection(bool recreate);
  void RepaintAll();
  void ShowNoActivate();
  // The activation request of a click, the keyboard or EnterFocus.
  void RequestActivation(bool active);
  TCustomdxBarControl* ChainParent() const;
  bool CanLeaveChain();
  void DeactivateItemControls();
  // An item control goes: the window forgets its link and the control.
  void ItemControlGone(TdxBarItemControl* control);
  // The item control that opened this window as its submenu.
  TdxBarItemControl* OwnerItemControl() const { return FOwnerItemControl; }
  void SetOwnerItemControl(TdxBarItemControl* value) { FOwnerItemControl = value; }
  bool ClosedByEscape() const { return FClosedByEscape; }
  bool DragPending() const { return FDragPending; }
  // How many link drags left their drag rectangle.
  int LinkDragCount() const { return FLinkDragCount; }
  // Called with the control as sender when it goes.
  TNotifyEvent OnDestroying;

protected:
  void CreateWindowHandle(const TCreateParams& Params) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void Resize() override;

  // The message handlers of the window procedure.
  void HandleKeyDown(TMessage& Message);
  void HandleMouseDownMessage(TMessage& Message, TMouseButton button);
  void HandleMouseMoveMessage(TMessage& Message);
  void HandleMouseUpMessage(TMessage& Message, TMouseButton button);
  void HandleLeftButtonUp(TMessage& Message);
  void TrackLink(TdxBarItemLink* link, POINT point, TShiftState shift);
  void MouseLeft();
  void SelectNeighbour(bool next, bool fromTab);
  void MoveToNextToolbar(bool backward);

  IdxBarAccessibilityHelper* FAccessibilityHelper = nullptr;
  TdxBarManager* FOwnerBarManager = nullptr;
  TCustomdxBarControl* FParentBar = nullptr;
  TCustomdxBarControl* FChildBar = nullptr;
  TCustomdxBarControl* FPreviousActive = nullptr;
  TdxBarItemLinks* FItemLinks = nullptr;
  TdxBarItemLink* FSelectedLink = nullptr;
  TdxBarItemLink* FPreviousTrackedLink = nullptr;
  TdxBarItemControl* FClickedControl = nullptr;
  TdxBarItemControl* FOwnerItemControl = nullptr;
  TdxBarPainter* FPainter = nullptr;
  TCustomdxBarControlViewInfo* FViewInfo = nullptr;
  TcxCanvas* FCanvas = nullptr;
  TcxScreenCanvas* FScreenCanvas = nullptr;
  HBRUSH FBackgroundBrush = nullptr;
  bool FActive = false;
  bool FDowned = false;
  bool FClosedByEscape = false;
  bool FIgnoreNextClick = false;
  bool FDragPending = false;
  POINT FDragPoint{0, 0};
  int FDockingStyle = 0;
  int FTextSize = 0;
  int FEditTextSize = 0;
  int FMarkSize = 0;
  int FMenuArrowHeight = 4;
  int FMenuArrowWidth = 0;
  int FComboArrowWidth = 0;
  int FIconAreaSize = 0;
  double FRatio = 1.0;
  RECT FItemsRect{0, 0, 0, 0};
  RECT FVisibleItemsRect{0, 0, 0, 0};
  POINT FLastMousePos{-1, -1};
  int FMarkState = 0;
  int FViewState = 0;
  unsigned FState = 0;
  int FRebuildCount = 0;
  int FLinkDragCount = 0;
};

class TdxDockControl;
class TdxFadingObjectHelper;
struct TdxBarBorders;

// The window of a toolbar or menu bar, docked (a child of its dock) or
// floating (a popup owned by the manager's form). Lengths along run
// horizontally for the top and bottom docking styles (2, 4) and floating
// (0), vertically for left and right (1, 3).
class TdxBarControl : public TCustomdxBarControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarControl::TCustomdxBarControl;
  ~TdxBarControl() override;
  // The window of a bar, made for it on first demand.
  static TdxBarControl* ForBar(TdxBar* bar);

  TdxBar* Bar() const { return FBar; }
  void SetBar(TdxBar* bar) { FBar = bar; }
  TdxBar* GetBar() const override { return FBar; }
  TdxDockControl* Dock() const { return FDock; }
  // The dock goes first: the window forgets it.
  void ForgetDock(TdxDockControl* dock);

  // Docks at the screen point (or floats there for style 0 / no dock):
  // the window is made again as a child of the dock or as a popup.
  void MoveToDock(int style, TdxDockControl* dock, POINT screenPoint);
  // Writes the place into the bar.
  void StorePositionInBar();
  // Toggles between docked and floating, as a double click on the drag
  // area does; a bar never docked goes to a new last row of the top dock.
  void ToggleDocking();

  // --- Dock layout ------------------------------------------------------------------
  virtual bool IsMultiLineLayout() const;
  virtual int CalcMinWidth(int style);
  virtual int CalcMinHeight(int style);
  virtual int CalcMaxWidth(int style);
  virtual int CalcMaxHeight(int style);
  virtual void CalcSizeForWidth(int style, int width, SIZE& size);
  void CalcSizeForHeight(int style, int height, SIZE& size);
  void ShowAllLinks();
  // The borders the painter puts round the client area.
  virtual TdxBarBorders BorderSizes();
  // Moves the window to the new bounds when they differ.
  void ApplyNewBounds();
  void RecalcFrame();
  int NewLeft = 0, NewTop = 0, NewWidth = 0, NewHeight = 0;
  int MinSize = 0, MaxSize = 0;
  bool Truncated() const { return FTruncated; }
  void SetTruncated(bool value) { FTruncated = value; }
  bool OneOnRow() const { return FOneOnRow; }
  void SetOneOnRow(bool value) { FOneOnRow = value; }

  // --- Moving ---------------------------------------------------------------------------
  void AddLock() { ++FLockCount; }
  void ReleaseLock() {
    if (FLockCount > 0) --FLockCount;
  }
  bool IsLocked() const { return FLockCount > 0; }
  bool Moving() const { return FMoving; }
  // Where the mouse holds the toolbar for a docking style: the grab
  // offset scaled to the size the toolbar has in that style.
  POINT GripOffsetFor(TdxBarDockingStyle style);
  // The mouse-down on the drag area: the interactive move.
  void BeginMove(POINT screenCursor);
  // The remembered non-client code of the last hit test.
  int HitTestCode() const { return FHitTest; }

  // --- The base's questions ---------------------------------------------------------------
  void SetDockingStyle(int style) override;
  bool IsVertical() const override { return DockingStyle() == 1 || DockingStyle() == 3; }
  // Captions of a vertical toolbar run downwards.
  bool IsTextRotated() const override;
  bool ShowsCaption() const override { return DockingStyle() == 0; }
  bool CanDock() const override;
  bool HasMark() const override;
  bool HasHiddenItems() const override { return FTruncated; }
  void GetMarkRect(RECT& r) override;
  void CalcLayout() override;
  void PlaceItems() override;
  bool IsMainMenu() const override;

  // --- The mark ------------------------------------------------------------------------------
  // The painter lets the mark open its popup and the toolbar has one.
  bool IsMarkUsable() const;
  // 0 normal, 1 hot, 2 pressed (its popup open).
  void SetMarkState(int state) override;
  // A press on the mark opens its popup, another closes it.
  void ToggleMark(POINT client);
  RECT GetMarkScreenRect();
  RECT GetMarkRectInWindow();
  void RepaintMark();
  static AnsiString GetMarkHint();
  // The 50 ms poll of a floating toolbar's hot mark runs.
  bool MoreButtonsTimerRunning() const { return FMoreButtonsTimer; }
  // The popup the mark opened, null while none is open.
  TdxBarControl* QuickPopup() const { return FQuickPopup; }
  // The links of the toolbar that are not on show, for the mark's popup.
  void FillHiddenLinksPopup(TdxBarItemLinks* links);

  // --- MDI buttons and the main menu's close button ---------------------------------------
  // A main menu with a maximized MDI child that has a system menu.
  bool HasMDIButtons() const;
  // MDI buttons, or the main menu's close button of the manager.
  bool HasMDIOrClose() const;
  // Client rectangle of button 0 minimize, 1 restore, 2 close.
  RECT MDIButtonRect(int index);
  // None of `mask`'s bits is set in the child's system-menu entry.
  bool IsMDIButtonEnabled(int index, UINT mask);
  // Draws the buttons whose bits (1, 2, 4) are in `mask`; `exclude` takes
  // them out of the clip afterwards.
  void DrawMDIButtons(HDC dc, int mask, bool exclude);
  void RedrawMDIButtons();
  // The extent of the buttons along the toolbar, 0 without.
  int MDIExtentAlong();
  int MDIExtentAcross();
  // The painter fades and a fader is there.
  bool CanFade() const;
  TdxFadingObjectHelper* MarkFadingHelper() const { return FMarkFadingHelper; }
  TdxFadingObjectHelper* MDIButtonFadingHelper(int index) const { return FMDIFadingHelpers[index]; }

  // --- The floating caption's close button ------------------------------------------------
  // Floating and the bar may be closed.
  bool ShowsCloseButton() const;
  RECT GetCloseButtonRect();
  int CloseButtonState() const { return FCloseButtonState; }
  void SetCloseButtonState(int state);

  // --- Popup bars -------------------------------------------------------------------------------
  // A toolbar window shown as a popup of another bar window, on a hidden
  // bar of its own that it frees with itself.
  static TdxBarControl* CreateAsPopupBar(TCustomdxBarControl* parent);
  bool IsPopup() const override { return FPopupBar; }
  // Shows the popup beside (vertical parent) or below the owner
  // rectangle (screen), kept on the work area; align 0 right-aligns it to
  // the owner, 1 left-aligns.
  void ShowPopupAt(const RECT& owner, int align);
  void CloseUp() override;
  // The toolbar's mark popup closed: the mark goes back to normal.
  void CloseParentMark();

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void Paint() override;
  void MouseDownOn(TMouseButton button, TShiftState shift, bool client, TdxBarItemControl* control,
                   POINT point) override;
  void MouseMoveOn(TShiftState shift, POINT point, TdxBarItemControl* control) override;
  void MouseLeaveBar() override;
  // Handles the MDI buttons' messages; true when one was taken.
  bool MDIButtonMessage(TMessage& Message);
  void StopMoreButtonsTimer();
  // Holds the mouse while the close button is pressed; a release on it
  // hides the bar.
  void TrackCloseButton();
  void EnsureFadingHelpers();

private:
  int Along(int style, TdxBarItemControl* control, bool along);
  // Walks the shown links along `length`: single row (stopping at the
  // first that does not fit) or wrapping whole groups; stores the item
  // rectangles when `place`. Answers the extent used (along, across).
  SIZE Flow(int style, int length, bool multiLine, bool place, const RECT& area);
  void PaintNonClient();
  int HitTest(POINT screen, int windows);
  // A floating window outside every monitor's work area comes back onto
  // the work area under the cursor.
  void KeepOnScreen(WINDOWPOS& pos);

  TdxBar* FBar = nullptr;
  TdxDockControl* FDock = nullptr;
  bool FTruncated = false;
  bool FOneOnRow = false;
  int FLockCount = 0;
  bool FMoving = false;
  int FHitTest = 0;
  POINT FGripX{0, 0}, FGripY{0, 0};
  bool FInMove = false;
  int FMoveStartStyle = 0;
  // Where a floating toolbar docks again on a double click.
  TdxDockControl* FLastDock = nullptr;
  int FLastDockedStyle = 0;
  UINT_PTR FMoreButtonsTimer = 0;
  // The last flow stopped at a link that did not fit.
  bool FFlowCut = false;
  int FCloseButtonState = 0;
  TdxBarControl* FQuickPopup = nullptr;
  // A popup bar's own hidden bar.
  TdxBar* FPopupBar = nullptr;
  TdxFadingObjectHelper* FMarkFadingHelper = nullptr;
  TdxFadingObjectHelper* FMDIFadingHelpers[3] = {nullptr, nullptr, nullptr};
};

// Until MDI forms join, the main menu asks this stand-in whether an MDI
// child is maximized and which one is active.
struct TdxBarMDIStandIn {
  HWND ActiveChild = nullptr;
  bool ChildMaximized = false;
};
TdxBarMDIStandIn& dxBarMDIState();
// Shared by every toolbar: the MDI button pressed and the one the mouse is
// over (0 minimize, 1 restore, 2 close).
struct TdxBarMDIButtonState {
  bool Pressed = false, Hot = false;
  int PressedIndex = -1, HotIndex = -1;
};
TdxBarMDIButtonState& dxBarMDIButtons();
// Where a popup of `size` goes for an owner rectangle: beside it at its top
// for a vertical parent (flipping left at the work area's right edge, the
// top kept on the work area), else below it (align 0 right-aligned, 1
// left-aligned; the left kept on the work area; above it when the bottom
// would pass the work area's).
POINT dxBarPopupPlace(const RECT& owner, SIZE size, bool besideVertical, int align, const RECT& work);

// The popup window of a submenu.
class TdxBarSubMenuControl : public TCustomdxBarControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TCustomdxBarControl::TCustomdxBarControl;
  int ControlKind() const override { return 2; }
  int ItemPaintKind() const override { return 1; }
};

// The popup window of the application menu.
class TdxBarApplicationMenuControl : public TdxBarSubMenuControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarSubMenuControl::TdxBarSubMenuControl;
};
