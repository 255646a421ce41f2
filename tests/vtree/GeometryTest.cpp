// Display rectangles of rows, cells and content, and the content width of a
// column, with a descendant whose nodes are 30 pixels wide.
#include "tests/vtree/TreeChecker.h"

namespace {
struct WideTree : TBaseVirtualTree {
  int32_t NodeContentWidth(PVirtualNode, TColumnIndex, TCanvas*) override { return 30; }
};

TEST(TreeGeometry, DisplayRectanglesOfRowsCellsAndContent) {
  WideTree tree;
  tree.SetBounds(0, 0, 300, 200);
  tree.SetRootNodeCount(2);
  tree.SetChildCount(NodeAt(tree, {0}), 2);
  tree.SetExpanded(NodeAt(tree, {0}), true);
  PVirtualNode child = NodeAt(tree, {0, 1});
  // Row 2: the whole row, then the content after margin and two indents.
  EXPECT_EQ(tree.NodeDisplayRect(child, NoColumn, false), (RECT{0, 36, 300, 54}));
  EXPECT_EQ(tree.NodeDisplayRect(child, NoColumn, true), (RECT{40, 36, 70, 54}));
  // Check boxes take their width and two pixels.
  tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOption::toCheckSupport);
  tree.SetCheckType(child, TCheckType::ctCheckBox);
  EXPECT_EQ(tree.NodeDisplayRect(child, NoColumn, true), (RECT{58, 36, 88, 54}));
  tree.SetCheckType(child, TCheckType::ctNone);

  TVirtualTreeColumns& columns = *tree.Header()->Columns();
  columns.Add()->SetWidth(100);
  columns.Add()->SetWidth(80);
  // A cell ends one pixel before the next; margin and indent belong to the
  // main column only.
  EXPECT_EQ(tree.NodeDisplayRect(child, 1, false), (RECT{100, 36, 179, 54}));
  EXPECT_EQ(tree.NodeDisplayRect(child, 1, true), (RECT{100, 36, 130, 54}));
  EXPECT_EQ(tree.NodeDisplayRect(child, 0, true), (RECT{40, 36, 70, 54}));
  columns[1]->SetAlignment(TAlignment::taRightJustify);
  EXPECT_EQ(tree.NodeDisplayRect(child, 1, true), (RECT{149, 36, 179, 54}));
  columns[1]->SetAlignment(TAlignment::taCenter);
  EXPECT_EQ(tree.NodeDisplayRect(child, 1, true), (RECT{124, 36, 154, 54}));
  // Scrolled content moves along; collapsed children have no place.
  tree.SetExpanded(NodeAt(tree, {0}), false);
  EXPECT_EQ(tree.NodeDisplayRect(child, NoColumn, false), (RECT{}));

  EXPECT_EQ(tree.GetMaxColumnWidth(0), 4 + 18 + 30);
  tree.SetExpanded(NodeAt(tree, {0}), true);
  EXPECT_EQ(tree.GetMaxColumnWidth(0), 4 + 36 + 30);
  EXPECT_EQ(tree.GetMaxColumnWidth(1), 4 + 30);
  tree.TreeOptions()->SetPaintOptions(tree.TreeOptions()->PaintOptions() + TVTPaintOption::toShowVertGridLines);
  EXPECT_EQ(tree.GetMaxColumnWidth(1), 4 + 30 + 1);
  // Fitting columns to their content uses the same widths.
  tree.Header()->FitColumnsToContent(false);
  EXPECT_EQ(columns[0]->Width(), 4 + 36 + 30 + 1);
  EXPECT_EQ(columns[1]->Width(), 4 + 30 + 1);
}
}  // namespace
