// Painting of the tree window: rows rendered through WM_PRINTCLIENT into a
// 32-bit DIB and probed pixel by pixel.
#include "tests/vtree/TreeChecker.h"

#include "platform/Canvas.h"
#include "platform/ImageList.h"
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeColumns.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace {
using PO = TVTPaintOption;
using IPO = TVTInternalPaintOption;
using testing_support::Image;
using testing_support::Rgb;

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 160, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF White = RGB(255, 255, 255);

// Stands in for the string tree: each cell shows "r<row>c<column>".
class TTextTree : public TBaseVirtualTree {
public:
  using TBaseVirtualTree::TBaseVirtualTree;
  static std::string CellText(TBaseVirtualTree* tree, PVirtualNode node, TColumnIndex column) {
    return NodePath(node, *tree) + "/" + std::to_string(column < 0 ? 0 : column);
  }

protected:
  void RenderNodeContent(TVTPaintInfo& info) override {
    const std::string text = CellText(this, info.Node, info.Column);
    RECT r = info.ContentRect;
    r.left += TextMargin();
    info.Canvas->Font()->SetColor(info.Node->StateBits.Contains(TVirtualNodeState::nsSelected) ? clHighlightText
                                                                                                 : clWindowText);
    DrawTextA(info.Canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  int32_t NodeContentWidth(PVirtualNode node, TColumnIndex column, TCanvas* canvas) override {
    return canvas->TextWidth(CellText(this, node, column).c_str()) + 2 * TextMargin();
  }
};

// A 32-bit DIB section the tree prints its client area into.
class Dib {
public:
  Dib(int width, int height, COLORREF fill = RGB(1, 2, 3)) : FWidth(width), FHeight(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    FBitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    FSelect.Select(FDC.Get(), FBitmap.Get());
    const RECT all{0, 0, width, height};
    TGdiObject brush(CreateSolidBrush(fill));
    FillRect(FDC.Get(), &all, static_cast<HBRUSH>(brush.Get()));
  }
  HDC DC() const { return FDC.Get(); }
  Image Read() const { return testing_support::ReadPixels(FDC.Get(), RECT{0, 0, FWidth, FHeight}); }

private:
  int FWidth, FHeight;
  TMemoryDC FDC;
  TGdiObject FBitmap;
  TSelectObjectGuard FSelect;
};

Image Print(TBaseVirtualTree& tree) {
  Dib dib(tree.ClientWidth(), tree.ClientHeight());
  SendMessageA(tree.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT);
  return dib.Read();
}

class PaintTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetColor(static_cast<TColor>(White));
    TVTPaintOptions paint = Tree.TreeOptions()->PaintOptions();
    paint.Exclude(PO::toThemeAware);
    Tree.TreeOptions()->SetPaintOptions(paint);
  }
  void SetPaint(std::initializer_list<PO> on, std::initializer_list<PO> off = {}) {
    TVTPaintOptions paint = Tree.TreeOptions()->PaintOptions();
    for (PO o : on) paint.Include(o);
    for (PO o : off) paint.Exclude(o);
    Tree.TreeOptions()->SetPaintOptions(paint);
  }
  void TwoColumns(int width0 = 100, int width1 = 100) {
    TVirtualTreeColumns* columns = Tree.Header()->Columns();
    columns->Add()->SetWidth(width0);
    columns->Add()->SetWidth(width1);
  }
  TreeHost Host;
  TTextTree Tree{nullptr};
};

TEST_F(PaintTest, GridLinesTakeEachCellsLastRowAndColumn) {
  TwoColumns(100, 100);
  SetPaint({PO::toShowHorzGridLines, PO::toShowVertGridLines});
  Tree.SetLineStyle(TVTLineStyle::lsSolid);
  Tree.Colors()->SetColor(TVTColors::GridLineColorIndex, static_cast<TColor>(Red));
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 300, 100);
  const Image image = Print(Tree);
  // The last row of each node and the last column of each column.
  EXPECT_EQ(image.At(50, 17), Rgb(Red));
  EXPECT_EQ(image.At(150, 35), Rgb(Red));
  EXPECT_EQ(image.At(99, 5), Rgb(Red));
  EXPECT_EQ(image.At(199, 5), Rgb(Red));
  EXPECT_NE(image.At(150, 16), Rgb(Red));
  // Below the last node no horizontal lines; vertical ones only with toFullVertGridLines.
  EXPECT_EQ(image.At(99, 80), Rgb(White));
  SetPaint({PO::toFullVertGridLines});
  EXPECT_EQ(Print(Tree).At(99, 80), Rgb(Red));
}

TEST_F(PaintTest, DottedTreeLinesJoinAcrossOddAndEvenRowHeights) {
  SetPaint({PO::toShowTreeLines, PO::toShowRoot}, {PO::toShowButtons});
  Tree.Colors()->SetColor(TVTColors::TreeLineColorIndex, static_cast<TColor>(Red));
  Tree.SetRootNodeCount(4);
  PVirtualNode first = Tree.FirstNode();
  Tree.SetNodeHeight(first, 17);
  Tree.SetNodeHeight(Tree.NextNode(first), 18);
  Tree.SetNodeHeight(Tree.NextNode(Tree.NextNode(first)), 19);
  Host.Place(Tree, 200, 100);
  const Image image = Print(Tree);
  const int x = static_cast<int>(Tree.Indent()) / 2;
  // The vertical line through the first three rows (17 + 18 + 19 pixels):
  // every other pixel, with no two neighbours alike across row borders.
  int shown = 0;
  for (int y = 9; y < 17 + 18 + 19; ++y) {
    EXPECT_NE(image.At(x, y) == Rgb(Red), image.At(x, y + 1) == Rgb(Red)) << "at y " << y;
    shown += image.At(x, y) == Rgb(Red);
  }
  EXPECT_GT(shown, 20);
  // Solid lines show every pixel.
  Tree.SetLineStyle(TVTLineStyle::lsSolid);
  const Image solid = Print(Tree);
  for (int y = 9; y < 17 + 18 + 19; ++y) EXPECT_EQ(solid.At(x, y), Rgb(Red)) << "at y " << y;
}

TEST_F(PaintTest, SelectionUsesFocusedOrUnfocusedColours) {
  Tree.Colors()->SetColor(TVTColors::FocusedSelectionColorIndex, static_cast<TColor>(Blue));
  Tree.Colors()->SetColor(TVTColors::FocusedSelectionBorderColorIndex, static_cast<TColor>(Blue));
  Tree.Colors()->SetColor(TVTColors::UnfocusedSelectionColorIndex, static_cast<TColor>(Green));
  Tree.Colors()->SetColor(TVTColors::UnfocusedSelectionBorderColorIndex, static_cast<TColor>(Green));
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot});
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode second = Tree.NextNode(Tree.FirstNode());
  Tree.SetSelected(second, true);
  // Inside the content rectangle, past the margin, near the top of the row.
  const int x = Tree.Margin() + 1, y = 18 + 1;
  EXPECT_EQ(Print(Tree).At(x, y), Rgb(Green));
  SetPaint({PO::toPopupMode});
  EXPECT_EQ(Print(Tree).At(x, y), Rgb(Blue));
  SetPaint({PO::toAlwaysHideSelection});
  EXPECT_EQ(Print(Tree).At(x, y), Rgb(White));
}

TEST_F(PaintTest, EraseActions) {
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons});
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode second = Tree.NextNode(Tree.FirstNode());
  Tree.OnBeforeItemErase = TVTBeforeItemEraseEvent::Lambda(
      [&](TBaseVirtualTree*, TCanvas*, PVirtualNode node, RECT, TColor& color, TItemEraseAction& action) {
        if (node == second) action = TItemEraseAction::eaNone;
        else {
          color = static_cast<TColor>(Green);
          action = TItemEraseAction::eaColor;
        }
      });
  const Image image = Print(Tree);
  EXPECT_EQ(image.At(190, 5), Rgb(Green));
  // eaNone leaves the row bitmap as the row before left it.
  EXPECT_EQ(image.At(190, 18 + 5), Rgb(Green));
  EXPECT_EQ(image.At(190, 36 + 5), Rgb(Green));
  Tree.OnBeforeItemErase.Clear();
  EXPECT_EQ(Print(Tree).At(190, 18 + 5), Rgb(White));
}

TEST_F(PaintTest, SelectedOnlyPaintsSelectedNodesAndTheirDescendants) {
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons});
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode first = Tree.FirstNode();
  Tree.SetChildCount(first, 1);
  Tree.SetExpanded(first, true);
  Tree.SetSelected(first, true);
  Dib dib(200, 100, Blue);
  TCanvas canvas;
  canvas.SetHandle(dib.DC());
  Tree.RenderTree(&canvas, RECT{0, 0, 200, 72}, POINT{0, 0}, TVTInternalPaintOptions{IPO::ppSelectedOnly});
  canvas.SetHandle(nullptr);
  const Image image = dib.Read();
  EXPECT_EQ(image.At(190, 5), Rgb(White));        // the selected node
  EXPECT_EQ(image.At(190, 18 + 5), Rgb(White));   // its child
  EXPECT_EQ(image.At(190, 36 + 5), Rgb(Blue));    // not selected: not painted
  EXPECT_EQ(image.At(190, 54 + 5), Rgb(Blue));
}

TEST_F(PaintTest, AreaBelowTheLastNodeInColumnColours) {
  TwoColumns(60, 60);
  Tree.Header()->Columns()->Items(1)->SetColor(static_cast<TColor>(Green));
  Tree.SetRootNodeCount(2);
  Host.Place(Tree, 200, 100);
  const Image image = Print(Tree);
  EXPECT_EQ(image.At(30, 80), Rgb(White));
  EXPECT_EQ(image.At(90, 80), Rgb(Green));
  EXPECT_EQ(image.At(150, 80), Rgb(White));  // right of the last column: the tree's colour
  EXPECT_EQ(image.At(110, 10), Rgb(Green));  // column colours under the nodes too
}

TEST_F(PaintTest, TriangleButtons) {
  Tree.SetButtonStyle(TVTButtonStyle::bsTriangle);
  SetPaint({PO::toShowButtons, PO::toShowRoot}, {PO::toShowTreeLines});
  Tree.SetRootNodeCount(2);
  PVirtualNode first = Tree.FirstNode();
  PVirtualNode second = Tree.NextSiblingNode(first);
  Tree.SetChildCount(first, 1);
  Tree.SetChildCount(second, 1);
  Host.Place(Tree, 200, 100);
  Tree.SetExpanded(first, true);
  const Image image = Print(Tree);
  // Button at x 4 (half of Indent - 9, halves to even), y = 9 - 4.
  const int bx = 4, by = 9 - 4;
  const uint32_t black = 0;
  // Expanded: pointing down, the top edge is the long one.
  EXPECT_EQ(image.At(bx + 0, by + 2), black);
  EXPECT_EQ(image.At(bx + 8, by + 2), black);
  EXPECT_EQ(image.At(bx + 4, by + 6), black);
  EXPECT_EQ(image.At(bx + 0, by + 6), Rgb(White));
  // Collapsed (third row: the child of the first is the second row): pointing right.
  const int cy = 36 + by;
  EXPECT_EQ(image.At(bx + 2, cy + 0), black);
  EXPECT_EQ(image.At(bx + 2, cy + 8), black);
  EXPECT_EQ(image.At(bx + 6, cy + 4), black);
  EXPECT_EQ(image.At(bx + 8, cy + 2), Rgb(White));
}

struct CheckCase {
  const char* Name;
  TCheckType Type;
  TCheckState State;
  bool Enabled;
  bool Hot;
  int32_t Index;
};

TEST(CheckImageIndexTest, Table) {
  const CheckCase cases[] = {
      {"unchecked box disabled", TCheckType::ctCheckBox, TCheckState::csUncheckedNormal, false, false, 12},
      {"checked box disabled", TCheckType::ctCheckBox, TCheckState::csCheckedNormal, false, false, 16},
      {"unchecked box hot", TCheckType::ctCheckBox, TCheckState::csUncheckedNormal, true, true, 10},
      {"checked radio hot", TCheckType::ctRadioButton, TCheckState::csCheckedNormal, true, true, 6},
      {"pressed stays pressed when hot", TCheckType::ctCheckBox, TCheckState::csCheckedPressed, true, true, 15},
      {"tri-state uses the box row", TCheckType::ctTriStateCheckBox, TCheckState::csMixedNormal, true, false, 17},
      {"mixed radio disabled", TCheckType::ctRadioButton, TCheckState::csMixedPressed, false, false, 20},
      {"button checked", TCheckType::ctButton, TCheckState::csCheckedNormal, true, false, 21},
      {"button pressed disabled", TCheckType::ctButton, TCheckState::csUncheckedPressed, false, false, 24},
      {"none", TCheckType::ctNone, TCheckState::csCheckedNormal, true, false, -1},
  };
  for (const CheckCase& c : cases)
    EXPECT_EQ(TBaseVirtualTree::CheckImageIndexFor(c.Type, c.State, c.Enabled, c.Hot), c.Index) << c.Name;
}

TEST_F(PaintTest, CheckImagesFollowDisabledAndHotNodes) {
  TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toCheckSupport);
  Tree.TreeOptions()->SetMiscOptions(misc);
  Tree.SetRootNodeCount(2);
  PVirtualNode first = Tree.FirstNode();
  PVirtualNode second = Tree.NextSiblingNode(first);
  Tree.SetCheckType(first, TCheckType::ctCheckBox);
  Tree.SetCheckType(second, TCheckType::ctRadioButton);
  Tree.SetCheckState(second, TCheckState::csCheckedNormal);
  first->StateBits.Include(TVirtualNodeState::nsDisabled);
  EXPECT_EQ(Tree.CheckImageIndexFor(first), 12);
  Tree.SetHotNode(second);
  EXPECT_EQ(Tree.CheckImageIndexFor(second), 6);
  // What is drawn is the image of that index.
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot});
  Host.Place(Tree, 200, 100);
  TCustomImageList* images = Tree.CheckImages();
  ASSERT_NE(images, nullptr);
  const int w = images->Width(), h = images->Height();
  const Image image = Print(Tree);
  for (auto [node, top, index] : {std::tuple{first, 0, 12}, std::tuple{second, 18, 6}}) {
    Dib expected(w, h, White);
    ImageList_DrawEx(images->Handle(), index, expected.DC(), 0, 0, 0, 0, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT);
    const Image want = expected.Read();
    const int x0 = Tree.Margin(), y0 = top + 9 - h / 2;
    int differ = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) differ += image.At(x0 + x, y0 + y) != want.At(x, y);
    EXPECT_EQ(differ, 0) << "check image " << index;
  }
}

TEST_F(PaintTest, DropMarkBelowLiesInTheLastEightRows) {
  SetPaint({PO::toShowDropmark}, {PO::toShowTreeLines, PO::toShowButtons});
  Tree.Colors()->SetColor(TVTColors::DropMarkColorIndex, static_cast<TColor>(Red));
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode first = Tree.FirstNode();
  Tree.SetDropTarget(first, TVTDropMode::dmBelow);
  const Image image = Print(Tree);
  int top = 100, bottom = -1;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x)
      if (image.At(x, y) == Rgb(Red)) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  // A polygon without outline leaves out its right and bottom edges.
  EXPECT_GE(top, 18 - 8);
  EXPECT_LE(bottom, 18 - 1);
  EXPECT_GE(bottom - top, 4);
  Tree.SetDropTarget(first, TVTDropMode::dmAbove);
  EXPECT_EQ(Print(Tree).At(100, 0), Rgb(Red));
}

TEST_F(PaintTest, Screenshot) {
  TwoColumns(180, 120);
  SetPaint({PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot, PO::toShowHorzGridLines, PO::toShowVertGridLines,
            PO::toPopupMode});
  TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toCheckSupport);
  Tree.TreeOptions()->SetMiscOptions(misc);
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 320, 200);
  for (PVirtualNode top = Tree.FirstNode(); top; top = Tree.NextSiblingNode(top)) {
    Tree.SetCheckType(top, TCheckType::ctTriStateCheckBox);
    Tree.SetChildCount(top, 2);
  }
  PVirtualNode first = Tree.FirstNode();
  Tree.SetExpanded(first, true);
  PVirtualNode child = Tree.FirstChildNode(first);
  Tree.SetChildCount(child, 2);
  Tree.SetExpanded(child, true);
  for (PVirtualNode run = Tree.FirstChildNode(child); run; run = Tree.NextSiblingNode(run))
    Tree.SetCheckType(run, TCheckType::ctCheckBox);
  Tree.SetCheckState(Tree.FirstChildNode(child), TCheckState::csCheckedNormal);
  Tree.SetSelected(child, true);
  Tree.SetFocusedNode(child);
  Tree.SetFocusedColumn(0);
  const std::string path = testing_support::SaveArtefact(Print(Tree), "vtree-window");
  EXPECT_FALSE(path.empty());
}

}  // namespace
