// Check states: tri-state propagation both ways, radio buttons, read-only
// trees, handlers that change or refuse a state, and pressed boxes.
#include "tests/vtree/TreeChecker.h"

namespace {
using NS = TVirtualNodeState;
using CS = TCheckState;
using CT = TCheckType;

// A tri-state parent with `children` check-box children.
PVirtualNode Family(TBaseVirtualTree& tree, uint32_t children) {
  tree.SetRootNodeCount(1);
  PVirtualNode parent = tree.FirstNode();
  tree.SetCheckType(parent, CT::ctTriStateCheckBox);
  tree.SetChildCount(parent, children);
  for (PVirtualNode child = tree.FirstChildNode(parent); child; child = tree.NextSiblingNode(child))
    tree.SetCheckType(child, CT::ctCheckBox);
  return parent;
}

std::vector<CS> States(TBaseVirtualTree& tree, PVirtualNode parent) {
  std::vector<CS> states;
  for (PVirtualNode child = parent->FirstChild; child; child = child->NextSibling) states.push_back(tree.CheckState(child));
  return states;
}

TEST(TreeChecks, NextStates) {
  TBaseVirtualTree tree;
  EXPECT_EQ(tree.NextCheckState(CT::ctCheckBox, CS::csCheckedNormal), CS::csUncheckedNormal);
  EXPECT_EQ(tree.NextCheckState(CT::ctTriStateCheckBox, CS::csMixedNormal), CS::csCheckedNormal);
  EXPECT_EQ(tree.NextCheckState(CT::ctCheckBox, CS::csUncheckedPressed), CS::csCheckedNormal);
  EXPECT_EQ(tree.NextCheckState(CT::ctRadioButton, CS::csCheckedNormal), CS::csCheckedNormal);
  EXPECT_EQ(tree.NextCheckState(CT::ctButton, CS::csCheckedNormal), CS::csUncheckedNormal);
}

// Checking the parent checks the children that may follow; a disabled one
// keeps its state, so the parent shows mixed.
TEST(TreeChecks, TriStateParentWithADisabledChild) {
  TBaseVirtualTree tree;
  PVirtualNode parent = Family(tree, 3);
  NodeAt(tree, {0, 1})->StateBits.Include(NS::nsDisabled);
  std::vector<std::string> log;
  tree.OnChecked = TVTChangeEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n) { log.push_back(NodePath(n, *t)); });
  tree.SetCheckState(parent, CS::csCheckedNormal);
  EXPECT_EQ(States(tree, parent), (std::vector<CS>{CS::csCheckedNormal, CS::csUncheckedNormal, CS::csCheckedNormal}));
  EXPECT_EQ(tree.CheckState(parent), CS::csMixedNormal);
  EXPECT_EQ(log, (std::vector<std::string>{"0.0", "0.2", "0"}));
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsCheckPropagation));
  EXPECT_TRUE(TreeIsConsistent(tree));
}

// Children decide the parent's state.
TEST(TreeChecks, ChildrenDecideTheParent) {
  for (uint32_t children : {1u, 3u}) {
    SCOPED_TRACE(children);
    TBaseVirtualTree tree;
    PVirtualNode parent = Family(tree, children);
    PVirtualNode last = parent->LastChild;
    tree.SetCheckState(last, CS::csCheckedNormal);
    EXPECT_EQ(tree.CheckState(parent), children == 1 ? CS::csCheckedNormal : CS::csMixedNormal);
    tree.SetCheckState(last, CS::csUncheckedNormal);
    EXPECT_EQ(tree.CheckState(parent), CS::csUncheckedNormal);
  }
  // Two levels: the grandparent hears of it through its child, once.
  TBaseVirtualTree tree;
  PVirtualNode top = Family(tree, 2);
  PVirtualNode middle = top->FirstChild;
  tree.SetCheckType(middle, CT::ctTriStateCheckBox);
  tree.SetChildCount(middle, 2);
  for (PVirtualNode child = tree.FirstChildNode(middle); child; child = tree.NextSiblingNode(child))
    tree.SetCheckType(child, CT::ctCheckBox);
  int checkingTop = 0;
  tree.OnChecking = TVTCheckChangingEvent::Lambda([&](TBaseVirtualTree*, PVirtualNode n, CS&, bool&) {
    if (n == top) ++checkingTop;
  });
  tree.SetCheckState(middle->FirstChild, CS::csCheckedNormal);
  tree.SetCheckState(middle->LastChild, CS::csCheckedNormal);
  EXPECT_EQ(tree.CheckState(middle), CS::csCheckedNormal);
  EXPECT_EQ(tree.CheckState(top), CS::csMixedNormal);
  tree.SetCheckState(top->LastChild, CS::csCheckedNormal);
  EXPECT_EQ(tree.CheckState(top), CS::csCheckedNormal);
  EXPECT_EQ(checkingTop, 3);
}

TEST(TreeChecks, RadioButtonsExcludeTheirSiblingsQuietly) {
  TBaseVirtualTree tree;
  tree.SetRootNodeCount(3);
  for (PVirtualNode node = tree.FirstNode(); node; node = tree.NextSiblingNode(node)) tree.SetCheckType(node, CT::ctRadioButton);
  std::vector<std::string> asked;
  tree.OnChecking = TVTCheckChangingEvent::Lambda([&](TBaseVirtualTree* t, PVirtualNode n, CS&, bool&) { asked.push_back(NodePath(n, *t)); });
  tree.SetCheckState(NodeAt(tree, {0}), CS::csCheckedNormal);
  tree.SetCheckState(NodeAt(tree, {2}), CS::csCheckedNormal);
  EXPECT_EQ(tree.CheckState(NodeAt(tree, {0})), CS::csUncheckedNormal);
  EXPECT_EQ(tree.CheckState(NodeAt(tree, {2})), CS::csCheckedNormal);
  EXPECT_EQ(asked, (std::vector<std::string>{"0", "2"}));
}

TEST(TreeChecks, HandlersChangeOrRefuseStates) {
  TBaseVirtualTree tree;
  PVirtualNode parent = Family(tree, 2);
  PVirtualNode child = parent->FirstChild;
  tree.OnChecking = TVTCheckChangingEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, CS& state, bool&) { state = CS::csMixedNormal; });
  tree.SetCheckState(child, CS::csCheckedNormal);
  EXPECT_EQ(tree.CheckState(child), CS::csMixedNormal);
  EXPECT_EQ(tree.CheckState(parent), CS::csMixedNormal);
  tree.OnChecking = TVTCheckChangingEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, CS&, bool& allowed) { allowed = false; });
  tree.SetCheckState(child, CS::csUncheckedNormal);
  EXPECT_EQ(tree.CheckState(child), CS::csMixedNormal);
  EXPECT_FALSE(tree.PressCheckBox(child, false));
}

TEST(TreeChecks, ReadOnlyTreesChangeNothing) {
  TBaseVirtualTree tree;
  PVirtualNode parent = Family(tree, 2);
  tree.TreeOptions()->SetMiscOptions(tree.TreeOptions()->MiscOptions() + TVTMiscOption::toReadOnly);
  tree.SetCheckState(parent, CS::csCheckedNormal);
  EXPECT_EQ(tree.CheckState(parent), CS::csUncheckedNormal);
  EXPECT_FALSE(tree.PressCheckBox(parent->FirstChild, false));
  EXPECT_EQ(tree.CheckState(parent->FirstChild), CS::csUncheckedNormal);
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsMouseCheckPending));
}

// A press shows the pressed state; a release elsewhere puts the old one back,
// a release on the node applies the next state.
TEST(TreeChecks, PressedBoxes) {
  TBaseVirtualTree tree;
  PVirtualNode parent = Family(tree, 2);
  PVirtualNode child = parent->FirstChild;
  ASSERT_TRUE(tree.PressCheckBox(child, false));
  EXPECT_EQ(tree.CheckState(child), CS::csUncheckedPressed);
  EXPECT_EQ(tree.PendingCheckNode(), child);
  EXPECT_FALSE(tree.PressCheckBox(parent, true));  // one press at a time
  tree.ReleaseCheckBox(false);
  EXPECT_EQ(tree.CheckState(child), CS::csUncheckedNormal);
  EXPECT_EQ(tree.PendingCheckNode(), nullptr);
  ASSERT_TRUE(tree.PressCheckBox(child, true));
  EXPECT_TRUE(tree.TreeStates().Contains(TVirtualTreeState::tsKeyCheckPending));
  tree.ReleaseCheckBox(true);
  EXPECT_EQ(tree.CheckState(child), CS::csCheckedNormal);
  EXPECT_EQ(tree.CheckState(parent), CS::csMixedNormal);
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsKeyCheckPending));
  // A pressed node that goes leaves nothing pending.
  ASSERT_TRUE(tree.PressCheckBox(parent->LastChild, false));
  tree.RemoveNode(parent->LastChild);
  EXPECT_EQ(tree.PendingCheckNode(), nullptr);
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsMouseCheckPending));
}
}  // namespace
