// The bar windows' shared drawing canvas, the layout record of a bar window
// and the record of one drag of an item or a link while customizing.
#pragma once

#include <vector>

#include "foundation/Canvas.h"
#include "platform/Screen.h"

class TCustomdxBarControl;
class TdxBarItem;
class TdxBarItemControl;
class TdxBarManager;

// The one canvas every bar window draws with. Device contexts and other
// canvases are lent to it one after another (nested); each push is undone
// by one pop, which puts back the objects the device context had selected.
class TdxBarCanvas : public TcxCanvas {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarCanvas();
  ~TdxBarCanvas() override;  // frees the canvas it made

  // Draws on dc from now on with the font, brush and pen selected in it.
  void PushDeviceContext(HDC dc);
  // Draws on another canvas from now on (its clip region and state kept).
  void PushCanvas(TCanvas* canvas);
  // Undoes the last push; nothing at depth 0.
  void PopDeviceContext();
  int Depth() const { return static_cast<int>(FStack.size()); }
  // The canvas the bar canvas made for itself (the one device contexts go to).
  TCanvas* OwnCanvas() const { return FOwnCanvas; }

private:
  struct TEntry {
    TCanvas* SavedCanvas = nullptr;  // the current canvas before; null for a device context
    TCanvas* CanvasBefore = nullptr; // for a device context: the current canvas when it was not the own one
    HDC SavedHandle = nullptr;       // the own canvas's handle before
    HDC DC = nullptr;
    int SavedIndex = 0;              // SaveDC of DC
  };
  TCanvas* FOwnCanvas;
  std::vector<TEntry> FStack;
};

// One separator of a bar window's layout.
struct TdxBarSeparatorInfo {
  TdxBarItemControl* ItemControl = nullptr;
  RECT Bounds{};
  bool Kind = false;
};

// The layout record of a bar window: the view infos of its item controls
// (not owned) and its separators. Toolbars and submenus fill it in their
// own descendants.
class TCustomdxBarControlViewInfo : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TCustomdxBarControlViewInfo(TCustomdxBarControl* barControl) : FBarControl(barControl) {}

  TCustomdxBarControl* BarControl() const { return FBarControl; }
  virtual void ClearViewInfos();
  // The base only clears.
  virtual void Rebuild() { ClearViewInfos(); }

  // Item-control view infos are the item controls themselves.
  void AddItemViewInfo(TdxBarItemControl* viewInfo);
  void RemoveItemViewInfo(TdxBarItemControl* viewInfo);
  bool HasViewInfoOfItemControl(TdxBarItemControl* control) const;
  int ItemViewInfoCount() const { return static_cast<int>(FItemViewInfos.size()); }
  TdxBarItemControl* GetItemViewInfo(int index) const { return FItemViewInfos.at(static_cast<size_t>(index)); }

  void AddSeparatorInfo(const RECT& bounds, bool kind, TdxBarItemControl* control);
  int SeparatorCount() const { return static_cast<int>(FSeparators.size()); }
  // Answers the kind.
  bool GetSeparatorInfo(int index, RECT& bounds) const;
  bool FindSeparatorOfItemControl(TdxBarItemControl* control, int& index) const;

private:
  TCustomdxBarControl* FBarControl;
  std::vector<TdxBarItemControl*> FItemViewInfos;
  std::vector<TdxBarSeparatorInfo> FSeparators;
};

// The states of a drag of an item or a link.
enum class TdxBarDragState {
  dsNoDrag,         // no drag
  dsNoDrop,         // nothing can be dropped here: a dropped link is deleted
  dsOwnPlace,       // the link is over its own place: sideways sets or clears its group break
  dsOverCategory,   // over a category of the customizing window's list
  dsCopy,           // Ctrl held, or an item from the customizing window
  dsMove
};

// What a drop at the current place would do, against the dragged link.
struct TdxBarDropCase {
  bool HasDropTarget = true;
  bool ItemDragged = false;         // an item from the customizing window, no link
  bool UnderMouseIsDragged = false; // the link under the mouse is the dragged one
  bool UnderMouseIsPrevious = false;
  bool UnderMouseIsNext = false;
  bool DraggedIsLast = false;
  bool DraggedBeginGroup = false;
  bool UnderMouseBeginGroup = false;
  bool BeginsGroup = false;         // the drop position
  bool FirstPart = false;
};

// One straight line of the insertion mark.
struct TdxBarMarkLine {
  POINT From;
  POINT To;
};

// The drag of an item or a link while the bars are customized: states,
// cursors and the insertion mark. One per manager.
class TdxBarDragInfo : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarDragInfo() = default;
  explicit TdxBarDragInfo(TdxBarManager* manager) : FManager(manager) {}

  TdxBarManager* Manager() const { return FManager; }
  TdxBarDragState State() const { return FState; }
  // Applies the state's cursor and mark at once, or at the last unlock.
  void SetState(TdxBarDragState value);
  void LockRefresh() { ++FLockCount; }
  void UnlockRefresh();
  bool RefreshPending() const { return FRefreshPending; }
  // The cursor shown in a state (no drag: the cursor found at the start).
  TCursor CursorOfState(TdxBarDragState state) const;
  // Whether the insertion mark shows in a state ("unchanged" over a
  // category answers the current visibility).
  bool MarkShownInState(TdxBarDragState state, bool dropChangesNothing) const;
  // Whether dropping at the described place would leave the links as they are.
  static bool DropChangesNothing(const TdxBarDropCase& drop);

  // The six lines of the I-beam at the start (first part) or the end of r,
  // across a vertical run or a horizontal one.
  static std::vector<TdxBarMarkLine> InsertionMarkLines(const RECT& r, bool firstPart, bool vertical);
  // Draws the mark inverted, so drawing it again erases it.
  static void DrawInsertionMark(HDC dc, const RECT& r, bool firstPart, bool vertical);
  // Shows the mark on a bar window (the window's client co-ordinates), or
  // erases what showing drew, when that window still exists.
  void ShowMark(HWND window, const RECT& r, bool firstPart, bool vertical);
  void HideMark();
  bool MarkVisible() const { return FMarkVisible; }

  // The cursor found when the drag began (shown again in state 0).
  void SetStartCursor(TCursor value) { FStartCursor = value; }
  // Ends the drag: the capture released, the state back to no drag.
  void EndDrag();

private:
  void Refresh();

  TdxBarManager* FManager = nullptr;
  TdxBarDragState FState = TdxBarDragState::dsNoDrag;
  int FLockCount = 0;
  bool FRefreshPending = false;
  bool FDropChangesNothing = false;
  HWND FCaptureWindow = nullptr;
  TCursor FStartCursor = 0;
  HWND FMarkWindow = nullptr;
  bool FMarkVisible = false;
  RECT FMarkRect{};
  bool FMarkFirstPart = false;
  bool FMarkVertical = false;
};
