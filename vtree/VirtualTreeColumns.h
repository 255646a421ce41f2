// The tree's columns: each column is an item of the collection the header
// owns. The collection keeps the display order apart from the collection
// order, computes every column's left edge, finds the column under a point,
// fits the auto-size column and reads and writes itself in the header stream.
#pragma once

#include "platform/Collection.h"
#include "platform/Graphics.h"
#include "platform/Control.h"
#include "platform/StdCtrls.h"
#include "vtree/VirtualNode.h"

#include <string>
#include <vector>

class TBaseVirtualTree;
class TStream;
class TVTHeader;
class TVirtualTreeColumns;

// Column options, bit n = value n.
enum class TVTColumnOption {
  coAllowClick, coDraggable, coEnabled, coParentBidiMode, coParentColor, coResizable, coShowDropMark,
  coVisible, coAutoSpring, coFixed, coSmartResize, coAllowFocus, coDisableAnimatedResize, coWrapCaption,
  coUseCaptionAlignment
};
using TVTColumnOptions = TSet<TVTColumnOption, 16>;
constexpr unsigned DefaultColumnOptions = 0x08FF;

enum class TVirtualTreeColumnStyle { vsText, vsOwnerDraw };
enum class TVTHeaderColumnLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
using TColumnPosition = uint32_t;
using TIndexArray = std::vector<TColumnIndex>;
// "No valid column at this place"; NoColumn (-1) stands for the whole row.
constexpr TColumnIndex InvalidColumn = -2;

// Where a header click landed: nowhere 1, on a column 2, on its image 4, on its check box 8.
enum class TVTHeaderHitPosition { hhiNoWhere, hhiOnColumn, hhiOnIcon, hhiOnCheckbox };
using TVTHeaderHitPositions = TSet<TVTHeaderHitPosition, 8>;

struct TVTHeaderHitInfo {
  int X = 0, Y = 0;
  TMouseButton Button = TMouseButton::mbLeft;
  TShiftState Shift;
  TColumnIndex Column = InvalidColumn;
  TVTHeaderHitPositions HitPosition;
};

// Header painting: where a column's drop mark goes, the elements an
// application may paint itself and what it is told about a cell.
enum class TVTDropMarkMode { dmmNone, dmmLeft, dmmRight };
enum class THeaderPaintElement { hpeBackground, hpeDropMark, hpeHeaderGlyph, hpeSortGlyph, hpeText };
using THeaderPaintElements = TSet<THeaderPaintElement, 8>;
class TVirtualTreeColumn;
class TCanvas;

struct THeaderPaintInfo {
  TCanvas* TargetCanvas = nullptr;
  TVirtualTreeColumn* Column = nullptr;  // nil while the background is painted
  RECT PaintRectangle{};
  RECT TextRectangle{};
  bool IsHoverIndex = false;
  bool IsDownIndex = false;
  bool IsEnabled = false;
  bool ShowHeaderGlyph = false;
  bool ShowSortGlyph = false;
  bool ShowRightBorder = false;
  TVTDropMarkMode DropMark = TVTDropMarkMode::dmmNone;
  POINT GlyphPos{};
  POINT SortGlyphPos{};
};

// One column: the look of its header cell, its cells' colour and alignment,
// its width limits and its place in the display order.
class TVirtualTreeColumn : public TCollectionItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Joins `Collection` (a TVirtualTreeColumns) once the column is complete.
  explicit TVirtualTreeColumn(TCollection* Collection);

  void Assign(TPersistent* Source) override;
  // The caption when every character fits in 8 bits, else "Column N".
  AnsiString DisplayName() const override;
  void DefineProperties(TFiler* Filer) override;
  // The column's rectangle in the header.
  virtual RECT GetColumnRect() const;
  bool SameAs(TPersistent* Other) const;
  void RestorePreviousWidth();
  bool ReadsRightToLeft() const { return FBiDiMode != TBiDiMode::bdLeftToRight; }
  void TakeParentBiDiMode();
  void TakeParentColor();
  // The column record of the header stream (Version selects the fields read).
  void LoadFromStream(TStream& Stream, int32_t Version);
  void SaveToStream(TStream& Stream) const;

  TVirtualTreeColumns* Owner() const;
  TBaseVirtualTree* Tree() const;

  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value);
  TBiDiMode BiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value);
  // Reads as Alignment unless coUseCaptionAlignment is set.
  TAlignment CaptionAlignment() const;
  void SetCaptionAlignment(TAlignment Value);
  const std::wstring& CaptionText() const { return FCaptionText; }
  bool CheckBox() const { return FCheckBox; }
  void SetCheckBox(bool Value);
  TCheckState CheckState() const { return FCheckState; }
  void SetCheckState(TCheckState Value);
  TCheckType CheckType() const { return FCheckType; }
  void SetCheckType(TCheckType Value);
  TColor Color() const { return FColor; }
  void SetColor(TColor Value);
  const std::wstring& Hint() const { return FHint; }
  void SetHint(const std::wstring& Value) { FHint = Value; }
  int32_t ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int32_t Value);
  TVTHeaderColumnLayout Layout() const { return FLayout; }
  void SetLayout(TVTHeaderColumnLayout Value);
  int32_t Margin() const { return FMargin; }
  void SetMargin(int32_t Value);
  int32_t MaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int32_t Value);
  int32_t MinWidth() const { return FMinWidth; }
  void SetMinWidth(int32_t Value);
  const TVTColumnOptions& Options() const { return FOptions; }
  void SetOptions(const TVTColumnOptions& Value);
  TColumnPosition Position() const { return FPosition; }
  void SetPosition(TColumnPosition Value);
  int32_t Spacing() const { return FSpacing; }
  void SetSpacing(int32_t Value);
  TVirtualTreeColumnStyle Style() const { return FStyle; }
  void SetStyle(TVirtualTreeColumnStyle Value);
  int32_t Tag() const { return FTag; }
  void SetTag(int32_t Value) { FTag = Value; }
  const std::wstring& Text() const { return FText; }
  void SetText(const std::wstring& Value);
  int32_t Width() const { return FWidth; }
  void SetWidth(int32_t Value);

  // Pixels from the first visible column's left edge (display order).
  int32_t Left() const { return FLeft; }
  int32_t PreviousWidth() const { return FPreviousWidth; }
  bool IsFixed() const;
  bool IsVisible() const { return FOptions.Contains(TVTColumnOption::coVisible); }

  // Stored-property predicates of the form table.
  bool IsBiDiModeStored() const { return !FOptions.Contains(TVTColumnOption::coParentBidiMode); }
  bool IsCaptionAlignmentStored() const { return FOptions.Contains(TVTColumnOption::coUseCaptionAlignment); }
  bool IsColorStored() const { return !FOptions.Contains(TVTColumnOption::coParentColor); }

protected:
  // A change of this column (all columns with AllItems).
  void ColumnChanged(bool AllItems) { Changed(AllItems); }

private:
  friend class TVirtualTreeColumns;
  friend class TVTHeader;
  void InvalidateHeaderCell();
  void StoreWidth(int32_t Value);  // stores without limits or notifications

  TAlignment FAlignment = TAlignment::taLeftJustify;
  TBiDiMode FBiDiMode = TBiDiMode::bdLeftToRight;
  TAlignment FCaptionAlignment = TAlignment::taLeftJustify;
  std::wstring FCaptionText;
  bool FCheckBox = false;
  TCheckState FCheckState = TCheckState::csUncheckedNormal;
  TCheckType FCheckType = TCheckType::ctCheckBox;
  TColor FColor = clWindow;
  std::wstring FHint;
  int32_t FImageIndex = -1;
  TVTHeaderColumnLayout FLayout = TVTHeaderColumnLayout::blGlyphLeft;
  int32_t FMargin = 4;
  int32_t FMaxWidth = 10000;
  int32_t FMinWidth = 10;
  TVTColumnOptions FOptions = TVTColumnOptions::FromBits(DefaultColumnOptions);
  TColumnPosition FPosition = 0;
  int32_t FSpacing = 4;
  TVirtualTreeColumnStyle FStyle = TVirtualTreeColumnStyle::vsText;
  int32_t FTag = 0;
  std::wstring FText;
  int32_t FWidth = 50;
  int32_t FLeft = 0;           // pixels, display coordinates
  int32_t FPreviousWidth = 0;  // pixels, for RestorePreviousWidth
  bool FBonusPixel = false;    // took the odd pixel of the last shared change
  float FSpringRest = 0;       // fraction of a pixel not yet given by spring sharing
  bool FHasImage = false;      // the header cell painted an image at FImageRect
  RECT FImageRect{};
  bool FFresh = true;          // takes its position and width when it joins
};

// The columns of one header, in collection order, with the display order
// kept in a position array.
class TVirtualTreeColumns : public TCollection {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TVirtualTreeColumns(TVTHeader* AOwner, TClass ItemClass);

  void Assign(TPersistent* Source) override;
  TPersistent* GetOwner() override;

  TVirtualTreeColumn* Add() { return static_cast<TVirtualTreeColumn*>(TCollection::Add()); }
  TVirtualTreeColumn* Items(int Index) const { return static_cast<TVirtualTreeColumn*>(TCollection::Items(Index)); }
  TVirtualTreeColumn* operator[](int Index) const { return Items(Index); }
  bool IsColumnIndex(TColumnIndex Index) const { return Index >= 0 && Index < Count(); }
  TVTHeader* Header() const { return FHeader; }
  TBaseVirtualTree* Tree() const;

  virtual void HandleHeaderClick(POINT P, TMouseButton Button, bool Force, bool DblClick);
  virtual void ClearColumns();
  // The column under P (header coordinates), InvalidColumn when none.
  virtual TColumnIndex ColumnAtPoint(POINT P, bool Relative = true);
  // The column at a display position, NoColumn beyond the last.
  virtual TColumnIndex ColumnAtPosition(TColumnPosition Position) const;
  // Paints the part R (window co-ordinates) of the header onto DC through
  // the columns' 32-bit bitmap; HOffset (the negative horizontal scroll
  // position) moves the columns that are not fixed.
  virtual void PaintColumnHeaders(HDC DC, RECT R, int32_t HOffset);

  TColumnIndex FirstShownColumn(bool OnlyFocusable = false) const;
  TColumnIndex LastShownColumn(bool OnlyFocusable = false) const;
  TColumnIndex ColumnAfter(TColumnIndex Column) const;
  TColumnIndex ColumnBefore(TColumnIndex Column) const;
  TColumnIndex ShownColumnAfter(TColumnIndex Column, bool OnlyFocusable = false) const;
  TColumnIndex ShownColumnBefore(TColumnIndex Column, bool OnlyFocusable = false) const;
  std::vector<TColumnIndex> ShownColumns() const;
  // Horizontal extent of a column in client coordinates (scrolled unless
  // fixed); a negative column spans the client width.
  void ColumnExtent(TColumnIndex Column, int32_t& Left, int32_t& Right);
  int32_t FixedAreaWidth() const;
  // Right edge of the last visible column in display order.
  int32_t ShownWidth() const;
  int32_t HorizontalScrollStep() const;
  void FitAutoSizeColumn(bool Force);
  void SlideToWidth(TColumnIndex Column, int32_t NewWidth);
  void ResetDisplayOrder(bool RightToLeft);
  bool SameAs(TVirtualTreeColumns* Other) const;
  const TIndexArray& PositionToIndex() const { return FPositionToIndex; }
  int32_t DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int32_t Value) { FDefaultWidth = Value; }

  void TrackHoverColumn(POINT P);
  void TrackPressedColumn(POINT P);
  // No column is pressed any more (the button went up).
  void ReleasePressedColumn();
  TColumnIndex HoverIndex() const { return FHoverIndex; }
  TColumnIndex DownIndex() const { return FDownIndex; }
  TColumnIndex ClickIndex() const { return FClickIndex; }
  TColumnIndex TrackIndex() const { return FTrackIndex; }

  void LoadFromStream(TStream& Stream, int32_t Version);
  void SaveToStream(TStream& Stream) const;
  // Rebuilds the display order from the columns' stored positions (after loading).
  void FixPositions();

protected:
  void Update(TCollectionItem* Item) override;
  void Notify(TCollectionItem* Item, TCollectionNotification Action) override;

private:
  friend class TVirtualTreeColumn;
  friend class TVTHeader;
  friend class TBaseVirtualTree;
  void FitPositions();
  void MoveColumn(TColumnIndex Index, TColumnPosition Position);
  void RemoveIndex(TColumnIndex Index);
  void RecomputePositions(bool Force = false);
  void InvalidateColumn(TColumnIndex Column);
  bool TreeLoading() const;

  TVTHeader* FHeader;
  TColumnIndex FHoverIndex = NoColumn;
  TColumnIndex FDownIndex = NoColumn;
  TColumnIndex FTrackIndex = NoColumn;
  TColumnIndex FClickIndex = NoColumn;
  TColumnIndex FDropTarget = NoColumn;
  TColumnIndex FDragIndex = NoColumn;
  bool FDropBefore = false;
  TIndexArray FPositionToIndex;  // display position -> collection index
  TGdiObject FHeaderBitmap;      // 32-bit surface the header is painted on
  SIZE FHeaderBitmapSize{};
  int32_t FDefaultWidth = 50;
  bool FNeedPositionsFix = false;
  bool FClearing = false;
};
