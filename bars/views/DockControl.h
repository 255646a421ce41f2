// Dock sites: the four edges of a form and placed docks.
#pragma once

#include <memory>
#include <vector>

#include "bars/model/DockingStyles.h"
#include "platform/Control.h"

class TdxBar;
class TdxBarControl;
class TdxBarManager;
class TdxBarPainter;
class TdxDockControl;
class TdxDockRow;

// One toolbar window placed in a row: where it wants to stand (client
// co-ordinates of the dock; only the part along the dock is used).
class TdxDockCol {
public:
  TdxDockCol(TdxDockRow* row, TdxBarControl* control) : FRow(row), FControl(control) {}
  TdxDockRow* Row() const { return FRow; }
  TdxBarControl* BarControl() const { return FControl; }
  POINT Pos{0, 0};
  // Takes the position from the window's place.
  void UpdatePos();

private:
  TdxDockRow* FRow;
  TdxBarControl* FControl;
};

// A row of a dock: one column per toolbar window placed in it.
class TdxDockRow {
public:
  explicit TdxDockRow(TdxDockControl* dock) : FDock(dock) {}
  TdxDockControl* Dock() const { return FDock; }
  int ColumnCount() const { return static_cast<int>(FCols.size()); }
  // Null outside the columns.
  TdxDockCol* Column(int index) const;
  TdxDockCol* AddColumn(TdxBarControl* control);
  TdxDockCol* InsertColumn(int index, TdxBarControl* control);
  void DeleteColumn(int index);
  int IndexOfControl(const TdxBarControl* control) const;
  // Some column holds a docked toolbar window.
  bool HasDockedControl() const;
  // Every toolbar of the row learns whether it is alone in it.
  void UpdateOneOnRow();

private:
  TdxDockControl* FDock;
  std::vector<std::unique_ptr<TdxDockCol>> FCols;
};

// A dock site that lays out toolbars in rows and columns. Along is the
// direction the dock is long in, across the other; vertical docks compute
// in transposed co-ordinates.
class TdxDockControl : public TCustomControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxDockControl(TComponent* AOwner);
  ~TdxDockControl() override;
  // One of a manager's four own docks, aligned to its edge.
  static TdxDockControl* CreateForStyle(TComponent* owner, TdxBarDockingStyle style, TdxBarManager* manager);

  // The edge of one of a manager's four own docks; dsNone for a dock placed
  // on a form.
  TdxBarDockingStyle StoredDockingStyle() const { return FDockingStyle; }
  void SetStoredDockingStyle(TdxBarDockingStyle value) { FDockingStyle = value; }
  // One of a manager's own four docks.
  bool IsManagerDock() const { return FDockingStyle != dsNone; }
  bool AllowDocking() const { return FAllowDocking; }
  void SetAllowDocking(bool value) { FAllowDocking = value; }
  // The dock's own word on whether a dragged bar may dock here.
  virtual bool AllowsDocking(TdxBar* bar) const {
    (void)bar;
    return FAllowDocking;
  }
  TdxBarManager* BarManager() const { return FBarManager; }
  void SetBarManager(TdxBarManager* value);

  // The docking style toolbars get here, from the alignment.
  TdxBarDockingStyle DockingStyle() const;
  bool IsHorizontalDock() const;
  bool IsVerticalDock() const { return !IsHorizontalDock(); }
  // Rows grow away from the form's left or top edge.
  bool IsNearSideDock() const;

  // --- Rows ------------------------------------------------------------------
  int RowCount() const { return static_cast<int>(FRows.size()); }
  // Null outside the rows.
  TdxDockRow* Row(int index) const;
  TdxDockRow* InsertRow(int index);
  // The thickness of a row across the dock: 0 without docked toolbars.
  int RowExtent(int index);
  // A row's rectangle in client co-ordinates; empty outside the rows.
  RECT RowRect(int index);
  // The sum of every row's extent.
  virtual int CalcRowsSize();
  int RowsSizeWithBorder();
  virtual bool GetSunkenBorder() const;
  // The row and column of a toolbar window; false when it is not here.
  bool FindControl(const TdxBarControl* control, int& row, int& column) const;

  // --- Placing -----------------------------------------------------------------
  // Places the toolbar window at a screen point: in the row there (a new
  // one in a row band or beyond the rows), at the column the point is
  // before; with `layout` the dock lays out at once.
  void InsertBarAt(TdxBarControl* control, POINT screenPoint, bool layout);
  // Takes the window's column out; empty rows stay.
  void RemoveBarControl(TdxBarControl* control, bool update);
  // Removes the window and places it again at the screen point.
  void MoveBarTo(TdxBarControl* control, POINT screenPoint);
  void UpdateAllColumns();
  virtual void UpdateLayout();
  // Lays out every row holding toolbars, then fits the dock to its rows.
  void ArrangeRows();
  void UpdateRowSizes();
  virtual void LayOutRow(int row, int length);
  // Sizes the dock to its rows; a right or bottom dock keeps its far edge.
  virtual void FitToRows();
  // New frames for the dock and every toolbar in it, then a layout.
  void RefreshFrames();
  // Every docked toolbar window redraws.
  void RepaintBars();

  // --- The interactive move's questions ------------------------------------------
  // Screen rectangle around the dock where a dragged toolbar docks.
  RECT GetDockingZoneRect();
  // The span across the dock of row `row` (-1 before the first, RowCount
  // after the last) split in three: 0 before the band, 1 the band, 2 after.
  void ZoneRange(int row, int part, int& low, int& high);
  // The row a screen point lands in; `fresh` when a new row goes there.
  int RowAtPoint(POINT screenPoint, bool& fresh);
  // The column a screen point is before in a row.
  int ColumnIndexAt(int row, POINT screenPoint);
  // Moves a screen point across the dock to where `row` would go.
  void RowInsertPoint(int row, bool keep, POINT& screenPoint);

  TdxBarPainter* GetPainter() const;
  void DrawBackground(HDC dc, const RECT& r);
  // The docked window of a toolbar is being destroyed.
  bool BarWindowDying() const { return FBarWindowDying; }
  void SetBarWindowDying(bool value) { FBarWindowDying = value; }

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
  void AlignControls(TControl* AControl, RECT& Rect) override;

private:
  int CrossCoord(POINT client) const { return IsVerticalDock() ? client.x : client.y; }
  int AlongCoord(POINT client) const { return IsVerticalDock() ? client.y : client.x; }
  int FarSide();
  void CalcCrossSize(TdxBarControl* control, int width, int& height);

  TdxBarManager* FBarManager = nullptr;
  TdxBarDockingStyle FDockingStyle = dsNone;
  bool FAllowDocking = true;
  bool FBarWindowDying = false;
  bool FArranging = false;
  std::vector<std::unique_ptr<TdxDockRow>> FRows;
};

// Placed docks' alignments and the docking style they give their toolbars.
enum class TdxBarDockAlign { dalNone, dalTop, dalBottom, dalLeft, dalRight };
using enum TdxBarDockAlign;

// A dock placed on a form by the program.
class TdxBarDockControl : public TdxDockControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  explicit TdxBarDockControl(TComponent* AOwner);
  TdxBarDockAlign DockAlign() const { return FDockAlign; }
  // Every docked toolbar turns to the new alignment's docking style.
  void SetDockAlign(TdxBarDockAlign value);
  int CalcRowsSize() override;

private:
  TdxBarDockAlign FDockAlign = dalTop;
};

// The docking style toolbars take in a dock of the given alignment.
TdxBarDockingStyle dxBarDockingStyleOfAlign(TAlign align);
