// The header bar of a tree: it owns the columns, the header font and the
// limits of the fixed area, lays out its height and shares width changes out
// over columns. Painting and the mouse come with the tree window.
#pragma once

#include "platform/Graphics.h"
#include "platform/UtilWindow.h"
#include "vtree/VirtualTreeColumns.h"

class TCustomImageList;
class TChangeLink;
class TPopupMenu;
class TVTDragImage;

enum class TVTHeaderOption {
  hoAutoResize, hoColumnResize, hoDblClickResize, hoDrag, hoHotTrack, hoOwnerDraw, hoRestrictDrag, hoShowHint,
  hoShowImages, hoShowSortGlyphs, hoVisible, hoAutoSpring, hoFullRepaintOnResize, hoDisableAnimatedResize,
  hoHeightResize, hoHeightDblClickResize
};
using TVTHeaderOptions = TSet<TVTHeaderOption, 16>;
constexpr unsigned DefaultHeaderOptions = 0x020A;

enum class THeaderState {
  hdsAutoSizing, hdsDragging, hdsDragPending, hdsLoading, hdsWidthTracking, hdsWidthTrackPending,
  hdsHeightTracking, hdsHeightTrackPending, hdsResizing, hdsScaling, hdsNeedScaling
};
using THeaderStates = TSet<THeaderState, 16>;

enum class TVTHeaderStyle { hsThickButtons, hsFlatButtons, hsPlates, hsXPStyle };
enum class TSmartAutoFitType { smaAllColumns, smaNoColumn, smaUseColumnOption };

class TVTHeader;

// Limits of the fixed columns' width and of the header's height, in percent
// of the tree (0: no limit).
class TVTFixedAreaConstraints : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TVTFixedAreaConstraints(TVTHeader* AOwner) : FHeader(AOwner) {}
  void Assign(TPersistent* Source) override;

  int32_t MaxHeightPercent() const { return FMaxHeightPercent; }
  int32_t MaxWidthPercent() const { return FMaxWidthPercent; }
  int32_t MinHeightPercent() const { return FMinHeightPercent; }
  int32_t MinWidthPercent() const { return FMinWidthPercent; }
  void SetMaxHeightPercent(int32_t Value);
  void SetMaxWidthPercent(int32_t Value);
  void SetMinHeightPercent(int32_t Value);
  void SetMinWidthPercent(int32_t Value);

private:
  friend class TVTHeader;
  void SetLimit(int32_t& Max, int32_t& Min, int32_t Value, bool SettingMax);
  void Change();

  TVTHeader* FHeader;
  int32_t FMaxHeightPercent = 0;
  int32_t FMaxWidthPercent = 0;
  int32_t FMinHeightPercent = 0;
  int32_t FMinWidthPercent = 0;
};

class TVTHeader : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TVTHeader(TBaseVirtualTree* AOwner);
  ~TVTHeader() override;

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;
  TBaseVirtualTree* Tree() const { return FOwner; }

  // --- properties -------------------------------------------------------------
  TColumnIndex AutoSizeIndex() const { return FAutoSizeIndex; }
  void SetAutoSizeIndex(TColumnIndex Value);
  TColor Background() const { return FBackground; }
  void SetBackground(TColor Value);
  TVirtualTreeColumns* Columns() const { return FColumns; }
  void SetColumns(TVirtualTreeColumns* Value) { FColumns->Assign(Value); }
  int32_t DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int32_t Value);
  TFont* Font() { return &FFont; }
  void SetFont(TFont* Value) { FFont.Assign(Value); }
  TVTFixedAreaConstraints* FixedAreaConstraints() { return &FFixedAreaConstraints; }
  void SetFixedAreaConstraints(TVTFixedAreaConstraints* Value) { FFixedAreaConstraints.Assign(Value); }
  int32_t Height() const { return FHeight; }
  void SetHeight(int32_t Value);
  TCustomImageList* Images() const { return FImages; }
  void SetImages(TCustomImageList* Value);
  // -1 while there are no columns.
  TColumnIndex MainColumn() const;
  void SetMainColumn(TColumnIndex Value);
  int32_t MaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int32_t Value);
  int32_t MinHeight() const { return FMinHeight; }
  void SetMinHeight(int32_t Value);
  const TVTHeaderOptions& Options() const { return FOptions; }
  void SetOptions(const TVTHeaderOptions& Value);
  bool ParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }
  TColumnIndex SortColumn() const { return FSortColumn; }
  void SetSortColumn(TColumnIndex Value);
  TSortDirection SortDirection() const { return FSortDirection; }
  void SetSortDirection(TSortDirection Value);
  TVTHeaderStyle Style() const { return FStyle; }
  void SetStyle(TVTHeaderStyle Value);
  const THeaderStates& States() const { return FStates; }
  bool IsFontStored() const { return !FParentFont; }

  // --- layout -------------------------------------------------------------------
  void RecalcHeaderLayout();
  void FitColumnsToContent(bool Animated = true, TSmartAutoFitType SmartAutoFitType = TSmartAutoFitType::smaUseColumnOption,
                           TColumnPosition RangeStart = 0, int32_t RangeEnd = -1);
  // Shares ChangeBy out over the columns RangeStart..RangeEnd (collection
  // indexes) that carry every option of Mask; answers the change applied.
  int32_t ShareWidthChange(int32_t ChangeBy, TColumnIndex RangeStart, TColumnIndex RangeEnd, const TVTColumnOptions& Mask);
  void AdjustSprings();
  void RestorePreviousWidths();
  bool IsUsableColumn(TColumnIndex Column) const;
  bool HasColumns() const { return FColumns->Count() > 0; }
  // The main column within the columns (0 when there are columns, -1 without).
  void ClampMainColumn();
  // The tree recomputes its frame, the header's place in it.
  void UpdateTreeFrame();
  void InvalidateHeader();
  // The point lies in the header (client coordinates of the tree, header above 0).
  bool PointInHeader(POINT P) const;
  // Within two pixels of the header's bottom edge (client coordinates).
  bool PointOnHeightSplitter(POINT P) const;
  // A column whose right edge lies at P (header coordinates) and may be
  // resized there becomes the tracked column; answers whether there is one.
  bool FindSplitter(POINT P);
  // The header's share of the tree's messages: splitters, the height edge,
  // column dragging, clicks and cursors. True when the tree must not
  // handle the message further.
  virtual bool HandleHeaderMessage(TMessage& Message);
  // A column is being dragged to another place.
  bool Dragging() const { return FDragging; }
  // The picture of the dragged column that follows the mouse (nil until a
  // column drag has begun).
  TVTDragImage* DragImage() const { return FDragImage; }
  // A column drag from the press at P (client co-ordinates): the column
  // under it becomes the dragged one and its picture is shown.
  void PrepareColumnDrag(POINT P);
  // The dragged column's drop target and side follow the mouse at P (screen).
  void MoveColumnDrag(POINT P);
  // Redraws a column's cell (NoColumn: the whole header); ExpandToBorder
  // takes the area up to the header's end along.
  void InvalidateHeader(TColumnIndex Column, bool ExpandToBorder);

  // --- the header stream ----------------------------------------------------------
  virtual void LoadFromStream(TStream& Stream);
  virtual void SaveToStream(TStream& Stream);

  // --- operations firing the tree's header events ------------------------------------
  virtual bool StoresColumns() const { return true; }
  virtual void ScaleFont(int M, int D);
  virtual void FireAfterAutoFitColumn(TColumnIndex Column);
  virtual void FireAfterColumnWidthTracking(TColumnIndex Column);
  virtual void FireAfterHeaderHeightTracking();
  virtual bool FireBeforeAutoFitColumn(TColumnIndex Column, TSmartAutoFitType SmartAutoFitType);
  virtual void FireBeforeColumnWidthTracking(TColumnIndex Column, TShiftState Shift);
  virtual void FireBeforeHeaderHeightTracking(TShiftState Shift);
  virtual bool FireColumnWidthDblClickResize(TColumnIndex Column, TShiftState Shift, POINT P);
  virtual bool FireColumnWidthTracking(TColumnIndex Column, TShiftState Shift, POINT& TrackPoint, POINT P);
  virtual TPopupMenu* FireGetHeaderPopupMenu(TColumnIndex Column, POINT P);
  virtual bool FireHeaderHeightTracking(POINT& P, TShiftState Shift);
  virtual bool FireHeaderHeightDblClickResize(POINT& P, TShiftState Shift);
  virtual void ApplySortColumn(TColumnIndex Value);
  virtual TClass ColumnsClass() const;

  // Called by the tree.
  void FontChanged(TObject* Sender);
  void ConstraintsChanged();
  void BeginLoading() { FStates.Include(THeaderState::hdsLoading); }
  void EndLoading() { FStates.Exclude(THeaderState::hdsLoading); }
  void ImagesFreed() { FImages = nullptr; }
  void PopupMenuFreed() { FPopupMenu = nullptr; }

private:
  friend class TVirtualTreeColumns;
  friend class TVirtualTreeColumn;
  void ImageListChange(TObject* Sender);
  void EndColumnDrag();
  bool FDragging = false;
  TVTDragImage* FDragImage = nullptr;  // owned
  // The height rule: clamped by the limits and the fixed-area constraints.
  int32_t ClampHeight(int32_t Value);

  TBaseVirtualTree* FOwner;
  TVirtualTreeColumns* FColumns = nullptr;
  int32_t FHeight = 17;
  int32_t FDefaultHeight = 17;
  int32_t FMinHeight = 10;
  int32_t FMaxHeight = 10000;
  TFont FFont;
  bool FParentFont = false;
  TVTHeaderOptions FOptions = TVTHeaderOptions::FromBits(DefaultHeaderOptions);
  TVTHeaderStyle FStyle = TVTHeaderStyle::hsThickButtons;
  THeaderStates FStates;
  TColor FBackground = clBtnFace;
  TColumnIndex FAutoSizeIndex = 0;
  TPopupMenu* FPopupMenu = nullptr;
  TColumnIndex FMainColumn = 0;
  TColumnIndex FSortColumn = NoColumn;
  TSortDirection FSortDirection = TSortDirection::sdAscending;
  TCustomImageList* FImages = nullptr;
  TChangeLink* FImageChangeLink = nullptr;
  POINT FTrackPoint{};   // origin while a column width is tracked
  POINT FDragStart{};    // screen point of a press that may start a column drag
  POINT FTrackStart{};   // client point where width or height tracking began
  int32_t FLastWidth = -1;  // header width at the last spring adjustment; -1 unknown
  TVTFixedAreaConstraints FFixedAreaConstraints{this};
};
