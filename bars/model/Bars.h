// Bars and the bar collection.
#pragma once

#include <vector>

#include "bars/model/DockingStyles.h"
#include "bars/model/ItemLinks.h"
#include "foundation/ComponentCollection.h"
#include "platform/Set.h"
#include "platform/Win32.h"

class TdxBarManager;
class TdxBars;


// What a bar remembers of merging: the bar it is merged into, the bars
// merged into it and its visibility before its first merge.
struct TdxBarMergeState {
  class TdxBar* MergedWith = nullptr;
  std::vector<class TdxBar*> MergedBars;
  bool VisibleBeforeMerge = false;
  // The bars saved to be merged in again, and the bars whose saved lists
  // hold this one (so a bar that goes leaves every list it is in).
  std::vector<class TdxBar*> SavedBars;
  std::vector<class TdxBar*> SavedIn;
};

// A toolbar or menu bar of a manager: its caption and options, where it
// docks or floats and whether it shows. The window that draws it and the
// links it shows join with the bar windows.
class TdxBar : public TcxComponentCollectionItem, public IdxBarLinksOwner {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBar(TComponent* AOwner);
  ~TdxBar() override;
  // Joining a manager gives the bar its links.
  void SetParentComponent(TComponent* parent) override;
  // A bar is always read as a child of its manager.
  bool HasParent() const override { return true; }
  // While the manager loads, DockingStyle and Visible only record the values
  // read; the manager's loading end applies them and marks the bar
  // predefined.
  void ApplyLoadedState();
  bool Predefined() const { return FPredefined; }
  bool AllowReset() const { return FAllowReset; }
  void SetAllowReset(bool value) { FAllowReset = value; }
  // Predefined and AllowReset.
  bool CanReset() const { return FPredefined && FAllowReset; }
  // The links the bar shows; null until it joins a manager.
  TdxBarItemLinks* ItemLinks() const { return FItemLinks; }

  // IdxBarLinksOwner: the toolbar window, owned by the manager.
  TCustomdxBarControl* CreateBarControl() override;
  TObject* LinksOwnerObject() override { return this; }
  // An item the toolbar takes (a separator refuses toolbars).
  bool CanContainItem(TdxBarItem* item, AnsiString& message) override;
  bool IsMenuOwner() override { return false; }
  // Leaves merges and the main-menu place while the collection still holds it.
  void BeforeDestruction() override;

  // A bar belongs to its manager's collection.
  TcxComponentCollection* CollectionOfParent(TComponent* parent) override;
  TdxBars* ManagerBars() const;
  TdxBarManager* OwningManager() const;
  // The next bar of the collection, cyclically; null when this is the only one.
  TdxBar* NextBar() const;

  const AnsiString& Caption() const { return FCaption; }
  // Ignored when another bar of the manager has exactly this caption.
  void SetCaption(const AnsiString& value);

  TdxBarDockingStyles NotDocking() const { return FNotDocking; }
  void SetNotDocking(TdxBarDockingStyles value);
  // Neither the bar nor its manager refuses every docking style.
  bool IsDockable() const;

  bool IsMainMenu() const { return FIsMainMenu; }
  // A main menu turns the manager's previous one off and keeps MultiLine
  // and WholeRow on.
  void SetIsMainMenu(bool value);
  bool MultiLine() const { return FMultiLine; }
  // Turning it off on the main menu is refused.
  void SetMultiLine(bool value);
  bool WholeRow() const { return FWholeRow; }
  void SetWholeRow(bool value) { FWholeRow = value; }
  // Docked, the toolbar moves up to its predecessor and stretches to the
  // next one (or the dock's end).
  bool UseRestSpace() const { return FUseRestSpace; }
  // The docked toolbar shows its mark (the customize button) also when
  // every link fits.
  bool AllowQuickCustomizing() const { return FAllowQuickCustomizing; }
  void SetAllowQuickCustomizing(bool value) { FAllowQuickCustomizing = value; }
  void SetUseRestSpace(bool value) { FUseRestSpace = value; }
  bool AllowClose() const { return FAllowClose; }
  void SetAllowClose(bool value) { FAllowClose = value; }
  // AllowClose and not the main menu.
  bool CanClose() const { return FAllowClose && !FIsMainMenu; }
  // The toolbar may show its mark at all.
  bool ShowMark() const { return FShowMark; }
  void SetShowMark(bool value) { FShowMark = value; }
  // Docked at the left or right, captions run downwards.
  bool RotateWhenVertical() const { return FRotateWhenVertical; }
  void SetRotateWhenVertical(bool value) { FRotateWhenVertical = value; }

  TdxBarDockingStyle DockingStyle() const { return FDockingStyle; }
  void SetDockingStyle(TdxBarDockingStyle value);
  // Negative values become 0.
  int DockedLeft() const { return FDockedLeft; }
  void SetDockedLeft(int value) { SetDockedValue(FDockedLeft, value); }
  int DockedTop() const { return FDockedTop; }
  void SetDockedTop(int value) { SetDockedValue(FDockedTop, value); }
  int FloatLeft() const { return FFloatLeft; }
  void SetFloatLeft(int value) { FFloatLeft = value; }
  int FloatTop() const { return FFloatTop; }
  void SetFloatTop(int value) { FFloatTop = value; }

  int Row() const { return FRow; }
  // Negative values become 0.
  void SetRow(int value);

  bool Visible() const { return FVisible; }
  // A change forgets that the bar hid because its links emptied.
  void SetVisible(bool value);
  // Hidden by the manager because a category left it without visible links.
  bool InternallyHidden() const { return FInternallyHidden; }
  void SetInternallyHidden(bool value) { FInternallyHidden = value; }
  // Some link of the bar is shown outside customizing.
  bool HasVisibleLinks() const;
  // Set when the bar's window changed its layout; the end of a manager-wide
  // update clears it.
  bool ChangedMark() const { return FChangedMark; }
  void SetChangedMark(bool value) { FChangedMark = value; }
  // Visible, keeping an MDI child owner form where it is.
  void SetVisibleKeepingOwnerBounds(bool value);

  // Merging: this bar takes in the links of another, which is hidden; the
  // errors are raised before anything changes.
  void Merge(TdxBar* bar) { MergeBar(bar, true); }
  // Null unmerges every bar merged into this one.
  void Unmerge(TdxBar* bar) { UnmergeBar(bar, true); }
  void MergeBar(TdxBar* bar, bool saveVisibility);
  void UnmergeBar(TdxBar* bar, bool restoreVisibility);
  // Every bar merged into this one from the manager (every one for null),
  // from the last to the first.
  void UnmergeBarsOf(TdxBarManager* manager, bool restoreVisibility);
  TdxBar* MergedWith() const { return FMerge.MergedWith; }
  int MergedBarCount() const { return static_cast<int>(FMerge.MergedBars.size()); }
  bool VisibleBeforeMerge() const { return FMerge.VisibleBeforeMerge; }
  // Remembers the bars merged into this one, to merge them in again later.
  void SaveMerges();
  // Merges the saved bars in again (a bar of the same manager saving its
  // visibility) and forgets them; a saved bar that went is not among them.
  void RemergeSaved();
  int SavedMergeCount() const { return static_cast<int>(FMerge.SavedBars.size()); }

private:
  void SetDockedValue(int& field, int value);
  bool ManagerLoading() const;
  void ForgetSavedMerges();

  TdxBarItemLinks* FItemLinks = nullptr;
  AnsiString FCaption;
  TdxBarDockingStyles FNotDocking;
  bool FIsMainMenu = false;
  bool FMultiLine = false;
  bool FWholeRow = false;
  bool FUseRestSpace = false;
  bool FAllowQuickCustomizing = true;
  bool FAllowClose = true;
  bool FShowMark = true;
  bool FRotateWhenVertical = true;
  TdxBarDockingStyle FDockingStyle = dsNone;
  int FDockedLeft = 0;
  int FDockedTop = 0;
  int FFloatLeft = 0;
  int FFloatTop = 0;
  int FRow = 0;
  bool FVisible = false;
  bool FInternallyHidden = false;
  bool FPredefined = false;
  bool FAllowReset = true;
  TdxBarDockingStyle FLoadedDockingStyle = dsNone;
  bool FLoadedVisible = false;
  bool FChangedMark = false;
  TdxBarMergeState FMerge;
};

// Where a merged link of MergeOrder `sourceOrder` is added among links of
// the given orders: one past the last link of the highest order not above
// it (equal orders: the later link), or 0 when every order is higher.
int dxBarMergeAddPosition(const std::vector<int>& orders, int sourceOrder);
// Whether an added link's position (as a merge handler may have changed it)
// is taken: not negative and not past the end.
inline bool dxBarMergeAddPositionValid(int position, int count) { return position >= 0 && position <= count; }

// Merges the source links into `dest`, recursively into sub-menus of the
// same caption and kind; the links added remember `mergingBar`. The
// manager's OnMergeItemLink sees each decision first; a position it makes
// invalid skips the link.
void dxBarMergeItemLinks(TdxBarItemLinks* dest, TdxBarItemLinks* source, TdxBar* mergingBar);
// Frees the links a merge with `bar` (any bar for null) added, at any depth.
void dxBarUnmergeItemLinks(TdxBarItemLinks* links, TdxBar* bar);

// A dock a dragged bar may go to, as the move loop sees it.
struct TdxBarDockCandidate {
  TdxBarDockingStyle Style = dsNone;
  HWND Window = nullptr;     // the dock's window
  RECT DockingZone{};        // screen co-ordinates
  bool CanTakeIt = true;     // can take the focus (or design mode) and docking is allowed
};

// A manager's bars, with the docking zone around docks and the moving of a
// bar with the mouse.
class TdxBars : public TcxComponentCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBars(TComponent* parentComponent, TClass itemClass);

  TdxBarManager* BarManager() const;
  TdxBar* BarAt(int index) const { return static_cast<TdxBar*>(ItemByIndex(index)); }
  TdxBar* AddBar() { return static_cast<TdxBar*>(AppendNewItem()); }
  // The width of the area around a dock where a dragged bar docks.
  int DockingZoneSize() const { return 23; }
  // The manager's main-menu bar, null when none.
  TdxBar* MainMenuBar() const { return FMainMenuBar; }
  // The first free name of the manager's name, "Bar" and a number from 1.
  AnsiString UniqueBarName() const;

  // How many empty rows a dock of `rowCount` rows appends to reach row
  // `row`: all while a layout load holds the manager, else one; never
  // beyond the number of bars (a damaged row value cannot make more).
  int RowsToAppend(int rowCount, int row) const;

  // Whether a point (screen co-ordinates) lands on a dock whose window
  // stands inside `dockParent`: the window there, among the children of
  // the parent's parent, is the dock's parent; a parent that is a top-level
  // window is looked for on the desktop.
  static bool DockParentAtPoint(HWND dockWindow, POINT point);
  // The floating window of the bar being moved: it follows the cursor, so
  // it is never the place a dock is looked for under.
  static void SetMovedWindow(HWND value) { MovedWindow = value; }
  // The dock a dragged bar goes to, among the candidates in the order left,
  // right, top, bottom; floating (no candidate) when Ctrl is held while
  // moving. When nothing takes the point while moving, the point less the
  // grab offset is tried again.
  const TdxBarDockCandidate* FindDockTarget(const std::vector<TdxBarDockCandidate>& docks, POINT point) const;
  bool Moving() const { return FMoving; }
  void SetMoving(bool value) { FMoving = value; }
  POINT GrabOffset() const { return FGrabOffset; }
  void SetGrabOffset(POINT value) { FGrabOffset = value; }

  // Interactive moving with the mouse: a message loop while the capture
  // window keeps the capture; `moveTo` runs for each new cursor place (plus
  // the grab offset), Ctrl re-evaluates at once, Esc or the button's release
  // ends it. The capture is released in any case.
  void TrackBarMove(TdxBar* bar, HWND captureWindow, const TEvent<void(POINT)>& moveTo);
  // The docking wait: a thread timer of `milliseconds` that runs `fire`
  // once with the cursor plus the grab offset; a new wait kills the old.
  void StartDockingTimer(unsigned milliseconds, const TEvent<void(POINT)>& fire);
  void KillDockingTimer();
  bool DockingTimerFiring() const { return FTimerFiring; }

protected:
  void ItemAddedHook(TcxComponentCollectionItem* item) override;

private:
  friend class TdxBar;
  static void CALLBACK DockingTimerProc(HWND, UINT, UINT_PTR, DWORD);
  TdxBar* FMainMenuBar = nullptr;
  bool FMoving = false;
  POINT FGrabOffset{};
  UINT_PTR FDockingTimer = 0;
  static inline HWND MovedWindow = nullptr;
  bool FTimerFiring = false;
  TEvent<void(POINT)> FTimerEvent;
};
