// Long random sequences of structure changes, with every counter recomputed
// and compared after each one.
#include "tests/vtree/TreeChecker.h"

#include <random>

namespace {
using AM = TVTNodeAttachMode;

class RandomTrees {
public:
  explicit RandomTrees(uint32_t seed) : FRandom(seed) {
    for (TBaseVirtualTree* tree : {&FOne, &FTwo}) {
      tree->SetNodeDataSize(4);
      tree->TreeOptions()->SetSelectionOptions(tree->TreeOptions()->SelectionOptions() + TVTSelectionOption::toMultiSelect);
      tree->OnCompareNodes = TVTCompareEvent::Lambda([](TBaseVirtualTree* t, PVirtualNode a, PVirtualNode b, TColumnIndex, int32_t& r) {
        r = static_cast<int32_t>(*t->NodeData<uint32_t>(a) % 5) - static_cast<int32_t>(*t->NodeData<uint32_t>(b) % 5);
      });
      tree->OnInitNode = TVTInitNodeEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& s) {
        if (Pick(4) == 0) s.Include(TVirtualNodeInitState::ivsHasChildren);
        if (Pick(6) == 0) s.Include(TVirtualNodeInitState::ivsExpanded);
      });
      tree->OnInitChildren = TVTInitChildrenEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode, uint32_t& count) { count = Pick(4); });
    }
  }

  uint32_t Pick(uint32_t n) { return n ? std::uniform_int_distribution<uint32_t>(0, n - 1)(FRandom) : 0; }

  // Any node of the tree, or nil now and then.
  PVirtualNode AnyNode(TBaseVirtualTree& tree) {
    const uint32_t total = tree.TotalCount();
    if (total == 0 || Pick(12) == 0) return nullptr;
    uint32_t steps = Pick(total);
    PVirtualNode run = tree.FirstNodeRaw(false);
    while (steps--) run = tree.NextNodeRaw(run, false);
    return run;
  }

  AM AnyMode() { return static_cast<AM>(1 + Pick(4)); }

  void Step(TBaseVirtualTree& tree, TBaseVirtualTree& other) {
    PVirtualNode node = AnyNode(tree);
    FLastKind = Pick(29);
    switch (FLastKind) {
      case 0: case 1: case 18: case 19: tree.AppendChildNode(node, ++FKey); break;
      case 2: case 3: case 20: tree.InsertNode(node, AnyMode(), ++FKey); break;
      case 4: tree.RemoveNode(node); break;
      case 5: if (tree.TotalCount() < 400) tree.SetChildCount(node, Pick(8)); break;
      case 6: tree.ChangeNodeExpanded(node, Pick(4) != 0); break;
      case 7: tree.ChangeNodeVisible(node, Pick(4) != 0); break;
      case 8: tree.ChangeNodeFiltered(node, Pick(4) == 0); break;
      case 21: if (Pick(3) == 0) ExpandAll(tree); break;
      case 9: tree.SortChildren(node, NoColumn, Pick(2) ? TSortDirection::sdAscending : TSortDirection::sdDescending, Pick(2)); break;
      case 10: {
        PVirtualNode target = AnyNode(tree);
        if (node && target && target != node && tree.IsAncestorOf(target, node)) {
          EXPECT_THROW(tree.MoveNodeTo(node, target, AnyMode(), false), EVirtualTreeError);
          break;
        }
        tree.MoveNodeTo(node, target, AnyMode(), false);
        break;
      }
      case 11: if (node && node->FirstChild) tree.MoveNodeTo(node, AnyNode(other), AnyMode(), Pick(2)); break;
      case 12: if (node && tree.TotalCount() < 400) tree.CopyNodeTo(node, AnyNode(Pick(2) ? tree : other), AnyMode(), Pick(2)); break;
      case 13: tree.SetNodeHeight(node, 1 + Pick(40)); break;
      case 14: if (Pick(8) == 0) tree.ClearAllNodes(); break;
      case 15: tree.InitializeSubtree(node, Pick(2)); break;
      case 16: {
        TCustomVirtualTreeOptions& options = *tree.TreeOptions();
        TVTPaintOption option = Pick(2) ? TVTPaintOption::toShowHiddenNodes : TVTPaintOption::toChildrenAbove;
        options.SetPaintOptions(Pick(2) ? options.PaintOptions() + option : options.PaintOptions() - option);
        break;
      }
      case 22: if (node) tree.ToggleNodeExpansion(node); break;
      case 23: tree.SetSelected(node, Pick(3) != 0); break;
      case 24: tree.SetFocusedNode(node); break;
      case 25: if (Pick(4) == 0) tree.RemoveSelectedNodes(); break;
      case 26: if (Pick(3) == 0) tree.SelectAllNodes(Pick(2) != 0); else tree.ClearAllSelection(); break;
      case 27:
        tree.SetCheckType(node, static_cast<TCheckType>(Pick(5)));
        tree.SetCheckState(node, static_cast<TCheckState>(2 * Pick(3)));
        break;
      case 28:
        if (Pick(2) && tree.TotalCount() < 400) tree.ExpandAllNodes(node);
        else tree.CollapseAllNodes(node);
        break;
      case 17:
        // A bracket around several changes: the counters hold at its end.
        tree.BeginTreeUpdate();
        for (int i = 0; i < 3; ++i) tree.AppendChildNode(AnyNode(tree), ++FKey);
        tree.RemoveNode(AnyNode(tree));
        tree.EndTreeUpdate();
        break;
    }
  }

  void Run(int steps) {
    for (int i = 0; i < steps; ++i) {
      const bool first = Pick(3) != 0;
      Step(first ? FOne : FTwo, first ? FTwo : FOne);
      ASSERT_TRUE(TreeIsConsistent(FOne)) << "after step " << i << " of kind " << FLastKind;
      ASSERT_TRUE(TreeIsConsistent(FTwo)) << "after step " << i << " of kind " << FLastKind;
    }
  }

private:
  std::mt19937 FRandom;
  TBaseVirtualTree FOne, FTwo;
  uint32_t FKey = 0;
  uint32_t FLastKind = 0;
};

TEST(TreeRandom, CountersHoldThroughLongSequences) {
  for (uint32_t seed : {1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u}) {
    SCOPED_TRACE(seed);
    RandomTrees trees(seed);
    trees.Run(4000);
    if (HasFatalFailure()) return;
  }
}
}  // namespace
