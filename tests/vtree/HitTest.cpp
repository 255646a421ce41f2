// Hit testing of the tree window and the tree-view queries.
#include "tests/vtree/TreeChecker.h"

#include "platform/Canvas.h"
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeColumns.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <cstring>

namespace {
using PO = TVTPaintOption;
using HP = THitPosition;

// Every cell's content is 40 pixels wide.
class TFixedWidthTree : public TBaseVirtualTree {
public:
  using TBaseVirtualTree::TBaseVirtualTree;

protected:
  int32_t NodeContentWidth(PVirtualNode, TColumnIndex, TCanvas*) override { return 40; }
};

class HitTestTest : public ::testing::Test {
protected:
  void SetUp() override {
    TVTPaintOptions paint = Tree.TreeOptions()->PaintOptions();
    paint.Include(PO::toShowRoot);
    paint.Include(PO::toShowButtons);
    Tree.TreeOptions()->SetPaintOptions(paint);
    Tree.SetRootNodeCount(2);
    First = Tree.FirstNode();
    Tree.SetChildCount(First, 2);
    Tree.SetExpanded(First, true);
    Leaf = Tree.FirstChildNode(First);
  }
  void Place() { Host.Place(Tree, 300, 200); }
  TreeHost Host;
  TFixedWidthTree Tree{nullptr};
  PVirtualNode First = nullptr;
  PVirtualNode Leaf = nullptr;
};

std::string Describe(const THitPositions& positions) {
  static const char* const names[] = {"Above", "Below", "Nowhere", "OnNode", "OnButton", "OnButtonExact", "OnCheckBox",
                                      "OnIndent", "OnLabel", "LeftOfLabel", "RightOfLabel", "OnNormalImage",
                                      "OnStateImage", "ToLeft", "ToRight", "UpperEdge", "LowerEdge"};
  std::string text;
  for (int i = 0; i <= static_cast<int>(HP::hpLowerEdge); ++i)
    if (positions.Contains(static_cast<HP>(i))) text += (text.empty() ? "" : " ") + std::string(names[i]);
  return text;
}

struct HitCase {
  const char* Name;
  int X, Y;
  const char* Positions;
  int Row;  // -1: no node
};

TEST_F(HitTestTest, TreeWithoutColumns) {
  Place();
  // Rows: 0 First (has children), 1 Leaf, 2 its sibling, 3 the second top-level node.
  const HitCase cases[] = {
      {"left of the tree", -1, 5, "ToLeft", -1},
      {"below the last node", 50, 150, "Nowhere", -1},
      {"button area, off the glyph", 1, 9, "OnNode OnButton", 0},
      {"on the button glyph", 8, 9, "OnNode OnButton OnButtonExact", 0},
      {"indent of a leaf", 20, 18 + 9, "OnNode OnIndent", 1},
      {"parent's level of a leaf", 5, 18 + 9, "OnNode OnIndent", 1},
      {"margin of a leaf", 36 + 2, 18 + 9, "OnNode", 1},
      {"label of a leaf", 36 + 4 + 10, 18 + 9, "OnNode OnLabel", 1},
      {"right of a label", 36 + 4 + 50, 18 + 9, "OnNode RightOfLabel", 1},
  };
  PVirtualNode rows[] = {First, Leaf, Tree.NextSiblingNode(Leaf), Tree.NextSiblingNode(First)};
  for (const HitCase& c : cases) {
    const THitInfo hit = Tree.HitTestAt(c.X, c.Y);
    EXPECT_EQ(Describe(hit.HitPositions), c.Positions) << c.Name;
    EXPECT_EQ(hit.HitNode, c.Row < 0 ? nullptr : rows[c.Row]) << c.Name;
    EXPECT_EQ(hit.HitColumn, NoColumn) << c.Name;
  }
}

TEST_F(HitTestTest, UpperAndLowerEdgesWithNodeHeightResize) {
  TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toNodeHeightResize);
  Tree.TreeOptions()->SetMiscOptions(misc);
  Place();
  const int label = 36 + 4 + 10;
  EXPECT_EQ(Describe(Tree.HitTestAt(label, 18 + 1).HitPositions), "OnNode OnLabel UpperEdge");
  EXPECT_EQ(Describe(Tree.HitTestAt(label, 18 + 2).HitPositions), "OnNode OnLabel");
  EXPECT_EQ(Describe(Tree.HitTestAt(label, 18 + 14).HitPositions), "OnNode OnLabel");
  EXPECT_EQ(Describe(Tree.HitTestAt(label, 18 + 15).HitPositions), "OnNode OnLabel LowerEdge");
}

TEST_F(HitTestTest, ColumnsRightAlignmentAndReportMode) {
  TVirtualTreeColumns* columns = Tree.Header()->Columns();
  columns->Add()->SetWidth(100);
  columns->Add()->SetWidth(150);
  columns->Items(1)->SetAlignment(TAlignment::taRightJustify);
  Place();
  THitInfo hit = Tree.HitTestAt(100 + 10, 9);
  EXPECT_EQ(hit.HitColumn, 1);
  EXPECT_EQ(Describe(hit.HitPositions), "OnNode LeftOfLabel");
  EXPECT_EQ(Describe(Tree.HitTestAt(100 + 140, 9).HitPositions), "OnNode OnLabel");
  // Right of the last column: no column.
  hit = Tree.HitTestAt(260, 9);
  EXPECT_EQ(hit.HitColumn, InvalidColumn);
  EXPECT_EQ(Describe(hit.HitPositions), "Nowhere");
  TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toReportMode);
  Tree.TreeOptions()->SetMiscOptions(misc);
  EXPECT_EQ(Describe(Tree.HitTestAt(100 + 140, 9).HitPositions), "OnNode");
  EXPECT_EQ(Describe(Tree.HitTestAt(18 + 4 + 10, 9).HitPositions), "OnNode OnLabel");  // the main column still classifies
}

TEST_F(HitTestTest, HotTrackingFollowsTheLabel) {
  Place();
  std::vector<std::pair<PVirtualNode, PVirtualNode>> changes;
  Tree.OnHotChange = TVTHotNodeChangeEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode from, PVirtualNode to) { changes.emplace_back(from, to); });
  Tree.TrackHotNode(36 + 4 + 10, 18 + 9);
  EXPECT_EQ(Tree.HotNode(), Leaf);
  Tree.TrackHotNode(36 + 4 + 10, 18 + 10);
  Tree.TrackHotNode(5, 18 + 9);  // the indent is not hot
  EXPECT_EQ(Tree.HotNode(), nullptr);
  ASSERT_EQ(changes.size(), 2u);
  EXPECT_EQ(changes[0], std::make_pair(PVirtualNode{nullptr}, Leaf));
  EXPECT_EQ(changes[1], std::make_pair(Leaf, PVirtualNode{nullptr}));
}

// --- tree-view queries ---------------------------------------------------------------------

LRESULT NextItem(TBaseVirtualTree& tree, WPARAM code, PVirtualNode node) {
  return SendMessageA(tree.Handle(), TVM_GETNEXTITEM, code, reinterpret_cast<LPARAM>(node));
}

TEST_F(HitTestTest, GetNextItemAnswersEveryCode) {
  Place();
  PVirtualNode second = Tree.NextSiblingNode(First);
  PVirtualNode leaf2 = Tree.NextSiblingNode(Leaf);
  Tree.SetFocusedNode(leaf2);
  Tree.SetDropTarget(second, TVTDropMode::dmOnNode);
  struct Case {
    const char* Name;
    WPARAM Code;
    PVirtualNode Node;
    PVirtualNode Expected;
  };
  const Case cases[] = {
      {"first", TVGN_ROOT, nullptr, First},
      {"next sibling", TVGN_NEXT, First, second},
      {"previous sibling", TVGN_PREVIOUS, second, First},
      {"parent", TVGN_PARENT, Leaf, First},
      {"no parent of a top-level node", TVGN_PARENT, First, nullptr},
      {"first child", TVGN_CHILD, First, Leaf},
      {"first visible", TVGN_FIRSTVISIBLE, nullptr, First},
      {"next visible", TVGN_NEXTVISIBLE, First, Leaf},
      {"previous visible", TVGN_PREVIOUSVISIBLE, second, leaf2},
      {"drop target", TVGN_DROPHILITE, nullptr, second},
      {"focused", TVGN_CARET, nullptr, leaf2},
      {"last visible", TVGN_LASTVISIBLE, nullptr, second},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextItem(Tree, c.Code, c.Node), reinterpret_cast<LRESULT>(c.Expected)) << c.Name;
}

TEST_F(HitTestTest, GetItemAndItemRect) {
  Place();
  Tree.SetSelected(First, true);
  TVITEMA item{};
  char text[8] = "xxxxxxx";
  item.mask = TVIF_CHILDREN | TVIF_STATE | TVIF_TEXT;
  item.hItem = reinterpret_cast<HTREEITEM>(First);
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ASSERT_EQ(SendMessageA(Tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)), 1);
  EXPECT_EQ(item.cChildren, 2);
  EXPECT_EQ(item.state, static_cast<UINT>(TVIS_SELECTED | TVIS_EXPANDED));
  EXPECT_EQ(item.stateMask, 0xFF2Fu);
  EXPECT_STREQ(text, "");

  RECT rect{};
  PVirtualNode node = First;
  std::memcpy(&rect, &node, sizeof node);
  ASSERT_EQ(SendMessageA(Tree.Handle(), TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect)), 1);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.bottom, 18);
  // A leaf has no rectangle to give.
  node = Leaf;
  std::memcpy(&rect, &node, sizeof node);
  EXPECT_EQ(SendMessageA(Tree.Handle(), TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect)), 0);
}

// Regression: the queries dereferenced whatever pointer a sender passed.
TEST_F(HitTestTest, ForeignPointersAnswerZero) {
  Place();
  TFixedWidthTree other(nullptr);
  other.SetRootNodeCount(3);
  PVirtualNode foreignNode = other.FirstNode();
  // A node of this tree that was removed (its block stays with the tree).
  Tree.SetChildCount(Tree.NextSiblingNode(First), 3);
  PVirtualNode removed = Tree.FirstChildNode(Tree.NextSiblingNode(First));
  Tree.RemoveNode(removed);
  alignas(8) unsigned char garbage[256];
  std::memset(garbage, 0xCD, sizeof garbage);
  PVirtualNode inside = reinterpret_cast<PVirtualNode>(reinterpret_cast<unsigned char*>(First) + 4);
  const PVirtualNode foreign[] = {foreignNode, removed, reinterpret_cast<PVirtualNode>(garbage), inside,
                                  Tree.RootNode(), reinterpret_cast<PVirtualNode>(uintptr_t{0x10})};
  for (PVirtualNode node : foreign) {
    for (WPARAM code : {TVGN_NEXT, TVGN_PREVIOUS, TVGN_PARENT, TVGN_CHILD, TVGN_NEXTVISIBLE, TVGN_PREVIOUSVISIBLE})
      EXPECT_EQ(NextItem(Tree, code, node), 0) << "code " << code;
    TVITEMA item{};
    item.mask = TVIF_CHILDREN | TVIF_STATE;
    item.hItem = reinterpret_cast<HTREEITEM>(node);
    EXPECT_EQ(SendMessageA(Tree.Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)), 0);
    RECT rect{};
    std::memcpy(&rect, &node, sizeof node);
    EXPECT_EQ(SendMessageA(Tree.Handle(), TVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&rect)), 0);
  }
  EXPECT_TRUE(Tree.IsNodeOfThisTree(Leaf));
  EXPECT_FALSE(Tree.IsNodeOfThisTree(foreignNode));
}

}  // namespace
