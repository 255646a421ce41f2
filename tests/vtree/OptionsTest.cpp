// The tree's option sets: defaults, copying, the legacy list and the
// switches the model reacts to.
#include "tests/vtree/TreeChecker.h"

namespace {
TEST(TreeOptions, DefaultsOfANewOptionsObject) {
  TBaseVirtualTree tree;
  TStringTreeOptions options(&tree);
  EXPECT_EQ(options.PaintOptions().Bits(), 0x1B60u);
  EXPECT_EQ(options.AutoOptions().Bits(), 0x0149u);
  EXPECT_EQ(options.MiscOptions().Bits(), 0x41A9u);
  EXPECT_TRUE(options.SelectionOptions().Empty());
  EXPECT_TRUE(options.AnimationOptions().Empty());
  EXPECT_EQ(options.StringOptions().Bits(), 0x05u);
  EXPECT_EQ(options.ExportMode(), TVTExportMode::emAll);
  EXPECT_TRUE(options.PaintOptions().Contains(TVTPaintOption::toShowRoot));
  EXPECT_TRUE(options.MiscOptions().Contains(TVTMiscOption::toEditOnClick));
  EXPECT_EQ(tree.TreeOptions()->ClassType(), &TCustomVirtualTreeOptions::ClassInfo);
  EXPECT_EQ(tree.TreeOptions()->Owner(), &tree);
}

TEST(TreeOptions, LegacyListSetsOnlyTheNamedSwitches) {
  TBaseVirtualTree tree;
  TCustomVirtualTreeOptions& options = *tree.TreeOptions();
  options.ReadLegacyOptions({"voMultiSelect", "voShowRoot", "voNoSuchOption"});
  EXPECT_EQ(options.SelectionOptions(), TVTSelectionOptions({TVTSelectionOption::toMultiSelect}));
  EXPECT_EQ(options.PaintOptions(), TVTPaintOptions({TVTPaintOption::toShowRoot}));
  EXPECT_TRUE(options.AutoOptions().Empty());
  EXPECT_TRUE(options.MiscOptions().Empty());
  EXPECT_TRUE(options.AnimationOptions().Empty());
  options.ReadLegacyOptions({"voAnimatedToggle", "voAutoSort", "voInitOnSave"});
  EXPECT_TRUE(options.AnimationOptions().Contains(TVTAnimationOption::toAnimatedToggle));
  EXPECT_EQ(options.AutoOptions(), TVTAutoOptions({TVTAutoOption::toAutoSort}));
  EXPECT_EQ(options.MiscOptions(), TVTMiscOptions({TVTMiscOption::toInitOnSave}));
  EXPECT_TRUE(options.SelectionOptions().Empty());
}

TEST(TreeOptions, AssigningCopiesEverySet) {
  TBaseVirtualTree tree;
  TStringTreeOptions source(&tree), target(&tree);
  source.SetPaintOptions({TVTPaintOption::toHotTrack});
  source.SetMiscOptions({TVTMiscOption::toReadOnly});
  source.SetStringOptions({TVTStringOption::toShowStaticText});
  target.Assign(&source);
  EXPECT_EQ(target.PaintOptions(), source.PaintOptions());
  EXPECT_EQ(target.MiscOptions(), source.MiscOptions());
  EXPECT_EQ(target.StringOptions(), source.StringOptions());
  // A plain options object takes the common sets from a string tree's.
  tree.SetTreeOptions(&source);
  EXPECT_EQ(tree.TreeOptions()->MiscOptions(), source.MiscOptions());
  TPersistent other;
  EXPECT_THROW(target.Assign(&other), EConvertError);
}

TEST(TreeOptions, AnimationDurationSwitchesAnimatedToggle) {
  TBaseVirtualTree tree;
  EXPECT_EQ(tree.AnimationDuration(), 200u);
  tree.SetAnimationDuration(0);
  EXPECT_FALSE(tree.TreeOptions()->AnimationOptions().Contains(TVTAnimationOption::toAnimatedToggle));
  tree.SetAnimationDuration(150);
  EXPECT_TRUE(tree.TreeOptions()->AnimationOptions().Contains(TVTAnimationOption::toAnimatedToggle));
}

// Filtered nodes below filtered or collapsed nodes: switching them on display
// and off again keeps every counter right.
TEST(TreeOptions, ShowingHiddenNodesRecountsTheRows) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(3);
  tree.SetChildCount(NodeAt(tree, {0}), 3);
  tree.SetChildCount(NodeAt(tree, {0, 1}), 2);
  ExpandAll(tree);
  tree.ChangeNodeFiltered(NodeAt(tree, {0}), true);
  tree.ChangeNodeFiltered(NodeAt(tree, {0, 1}), true);
  tree.ChangeNodeExpanded(NodeAt(tree, {0, 1}), false);
  EXPECT_EQ(tree.VisibleNodeCount(), 2u);
  TCustomVirtualTreeOptions& options = *tree.TreeOptions();
  options.SetPaintOptions(options.PaintOptions() + TVTPaintOption::toShowHiddenNodes);
  EXPECT_EQ(tree.VisibleNodeCount(), 6u);
  EXPECT_TRUE(TreeIsConsistent(tree));
  options.SetPaintOptions(options.PaintOptions() - TVTPaintOption::toShowHiddenNodes);
  EXPECT_EQ(tree.VisibleNodeCount(), 2u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}
}  // namespace
