// The tree's colours and the small types its painting passes around.
#pragma once

#include "platform/Control.h"
#include "platform/Persistent.h"
#include "platform/StdCtrls.h"
#include "platform/Colors.h"
#include "platform/Set.h"
#include "platform/Win32.h"
#include "vtree/VirtualNode.h"

#include <cstdint>
#include <vector>

class TBaseVirtualTree;
class TCanvas;
class TCustomImageList;

// The fifteen colours a tree paints with besides its own Color; published
// as the tree's Colors.
class TVTColors : public TPersistent {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  enum Index {
    DisabledColorIndex, DropMarkColorIndex, DropTargetColorIndex, FocusedSelectionColorIndex, GridLineColorIndex,
    TreeLineColorIndex, UnfocusedSelectionColorIndex, BorderColorIndex, HotColorIndex,
    FocusedSelectionBorderColorIndex, UnfocusedSelectionBorderColorIndex, DropTargetBorderColorIndex,
    SelectionRectangleBlendColorIndex, SelectionRectangleBorderColorIndex, HeaderHotColorIndex, ColorCount
  };

  explicit TVTColors(TBaseVirtualTree* AOwner = nullptr);
  void Assign(TPersistent* Source) override;

  TColor Color(int Index) const { return FColors[Index]; }
  // Stores the colour; a tree with a window then repaints what shows it.
  void SetColor(int Index, TColor Value);
  static TColor DefaultColor(int Index);
  // One accessor pair per colour, for the form table.
  template <int I>
  TColor IndexedColor() const { return FColors[I]; }
  template <int I>
  void SetIndexedColor(TColor Value) { SetColor(I, Value); }

  TColor DisabledColor() const { return FColors[DisabledColorIndex]; }
  TColor DropMarkColor() const { return FColors[DropMarkColorIndex]; }
  TColor DropTargetColor() const { return FColors[DropTargetColorIndex]; }
  TColor FocusedSelectionColor() const { return FColors[FocusedSelectionColorIndex]; }
  TColor GridLineColor() const { return FColors[GridLineColorIndex]; }
  TColor TreeLineColor() const { return FColors[TreeLineColorIndex]; }
  TColor UnfocusedSelectionColor() const { return FColors[UnfocusedSelectionColorIndex]; }
  TColor BorderColor() const { return FColors[BorderColorIndex]; }
  TColor HotColor() const { return FColors[HotColorIndex]; }
  TColor FocusedSelectionBorderColor() const { return FColors[FocusedSelectionBorderColorIndex]; }
  TColor UnfocusedSelectionBorderColor() const { return FColors[UnfocusedSelectionBorderColorIndex]; }
  TColor DropTargetBorderColor() const { return FColors[DropTargetBorderColorIndex]; }
  TColor SelectionRectangleBlendColor() const { return FColors[SelectionRectangleBlendColorIndex]; }
  TColor SelectionRectangleBorderColor() const { return FColors[SelectionRectangleBorderColorIndex]; }
  TColor HeaderHotColor() const { return FColors[HeaderHotColorIndex]; }

private:
  TBaseVirtualTree* FOwner;
  TColor FColors[ColorCount];
};

// What one RenderTree call paints.
enum class TVTInternalPaintOption {
  ppBackground, ppColumnColors, ppFocusRect, ppSelection, ppDropMark, ppGridLines, ppMainColumnOnly, ppSelectedOnly
};
using TVTInternalPaintOptions = TSet<TVTInternalPaintOption, 8>;
// What the window paints with: everything up to the grid lines.
inline const TVTInternalPaintOptions WindowPaintOptions = TVTInternalPaintOptions::FromBits(63);

enum class TVTLineType { ltNone, ltBottomRight, ltTopDown, ltTopDownRight, ltRight, ltTopRight, ltLeft, ltLeftBottom };
using TLineImage = std::vector<TVTLineType>;

enum class TItemEraseAction { eaColor, eaDefault, eaNone };
enum class TVTDropMode { dmNowhere, dmAbove, dmOnNode, dmBelow };

// One image of a cell: where it comes from and where it goes (row co-ordinates).
struct TVTImageInfo {
  int32_t Index = -1;
  TCustomImageList* Images = nullptr;
  bool Ghosted = false;
  int32_t XPos = 0;
  int32_t YPos = 0;
};
enum TVTImageInfoIndex { iiNormal, iiState, iiCheck, iiOverlay };

// What painting one cell knows: built per node and column.
struct TVTPaintInfo {
  TCanvas* Canvas = nullptr;
  TVTInternalPaintOptions PaintOptions;
  PVirtualNode Node = nullptr;
  int32_t Column = -1;
  uint32_t Position = 0;
  RECT CellRect{};
  RECT ContentRect{};
  int32_t NodeWidth = 0;
  TAlignment Alignment = TAlignment::taLeftJustify;
  TBiDiMode BidiMode = TBiDiMode::bdLeftToRight;
  int32_t VAlign = 0;   // the alignment line, pixels from the row's top
  int32_t ButtonX = 0;  // the expand button's left from the cell's leading edge
  int32_t ButtonY = 0;  // the expand button's top in the row
  TVTImageInfo ImageInfo[4];
};

// Where a point lies relative to the tree's rows (bit numbers as stored).
enum class THitPosition {
  hpAbove, hpBelow, hpNowhere, hpOnNode, hpOnButton, hpOnButtonExact, hpOnCheckBox, hpOnIndent, hpOnLabel,
  hpLeftOfLabel, hpRightOfLabel, hpOnNormalImage, hpOnStateImage, hpToLeft, hpToRight, hpUpperEdge, hpLowerEdge
};
using THitPositions = TSet<THitPosition, 32>;

// What lies at a point: the node, the parts of its row and the column
// (-1 without columns, -2 where no column lies).
struct THitInfo {
  PVirtualNode HitNode = nullptr;
  THitPositions HitPositions;
  int32_t HitColumn = -1;
};
