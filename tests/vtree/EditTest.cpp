// In-place editing of the string tree: starting an edit, the editor's keys,
// focus loss, multi-line nodes, where the editor goes, and a tree that has
// no editor to offer.
#include "tests/vtree/TreeChecker.h"

#include "vtree/StringEditLink.h"
#include "vtree/StringTree.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using testing_support::PostKey;
using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;

// Holds a key down in the thread's keyboard state for posted messages.
class HeldKey {
public:
  explicit HeldKey(BYTE vk) : FKey(vk) { Set(0x80); }
  ~HeldKey() { Set(0); }

private:
  void Set(BYTE value) {
    BYTE state[256];
    GetKeyboardState(state);
    state[FKey] = value;
    SetKeyboardState(state);
  }
  BYTE FKey;
};

class EditTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);
    Names = {L"alpha", L"beta", L"gamma"};
    Tree.OnGetText = TVSTGetTextEvent::Lambda(
        [this](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, TVSTTextType, std::wstring& text) {
          text = Names[node->IndexInParent];
        });
    Tree.OnNewText = TVSTNewTextEvent::Lambda(
        [this](TBaseVirtualTree*, PVirtualNode node, TColumnIndex column, const std::wstring& text) {
          Log.push_back("new text " + std::to_string(node->IndexInParent) + "/" + std::to_string(column));
          Names[node->IndexInParent] = text;
        });
    Tree.OnEdited = TVTEditChangeEvent::Lambda([this](TBaseVirtualTree*, PVirtualNode node, TColumnIndex) {
      Log.push_back("edited " + std::to_string(node->IndexInParent));
    });
    Tree.OnEditCancelled =
        TVTEditCancelEvent::Lambda([this](TBaseVirtualTree*, TColumnIndex) { Log.push_back("cancelled"); });
    TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
    misc.Include(TVTMiscOption::toEditable);
    Tree.TreeOptions()->SetMiscOptions(misc);
    Tree.SetRootNodeCount(3);
  }
  void Show(int width = 300) {
    Host.Place(Tree, width, 200);
    ShowWindow(Host.Handle(), SW_SHOW);
    SetForegroundWindow(Host.Handle());
    Tree.SetFocus();
  }
  void SetAutoAccept(bool on) {
    TVTStringOptions options = Tree.TreeOptions()->StringOptions();
    if (on) options.Include(TVTStringOption::toAutoAcceptEditChange);
    else options.Exclude(TVTStringOption::toAutoAcceptEditChange);
    Tree.TreeOptions()->SetStringOptions(options);
  }
  TVTEdit* Editor() {
    auto* link = static_cast<TStringEditLink*>(Tree.EditLink());
    return link ? link->Edit() : nullptr;
  }
  // Types as the keyboard would: replaces the selection, marking the edit modified.
  void Type(const std::wstring& text) {
    ASSERT_NE(Editor(), nullptr);
    SendMessageW(Editor()->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
  }
  TreeHost Host;
  TVirtualStringTree Tree{nullptr};
  std::vector<std::wstring> Names;
  std::vector<std::string> Log;
};

TEST_F(EditTest, EnterHandsTheTypedTextToOnNewText) {
  Show();
  PVirtualNode node = Tree.FirstNode()->NextSibling;
  ASSERT_TRUE(Tree.EditNode(node, NoColumn));
  EXPECT_EQ(Tree.FocusedNode(), node);
  TVTEdit* edit = Editor();
  ASSERT_NE(edit, nullptr);
  EXPECT_TRUE(IsWindowVisible(edit->Handle()));
  EXPECT_EQ(GetFocus(), edit->Handle());
  EXPECT_EQ(edit->WideText(), L"beta");
  TWeakLink<TVTEdit> watch(edit);
  Type(L"新分类");
  PostKey(edit->Handle(), VK_RETURN);
  ASSERT_TRUE(RunMessagesUntil([&] { return !Tree.IsEditing(); }));
  EXPECT_EQ(Names[1], L"新分类");
  EXPECT_EQ(Log, (std::vector<std::string>{"new text 1/-1", "edited 1"}));
  EXPECT_EQ(GetFocus(), Tree.Handle());
  // The edit frees itself once its link has gone.
  EXPECT_TRUE(RunMessagesUntil([&] { return watch.Get() == nullptr; }));
  EXPECT_EQ(Tree.EditLink(), nullptr);
}

TEST_F(EditTest, EscapeDiscardsTheText) {
  Show();
  ASSERT_TRUE(Tree.EditNode(Tree.FirstNode(), NoColumn));
  Type(L"discarded");
  PostKey(Editor()->Handle(), VK_ESCAPE);
  ASSERT_TRUE(RunMessagesUntil([&] { return !Tree.IsEditing(); }));
  EXPECT_EQ(Names[0], L"alpha");
  EXPECT_EQ(Log, (std::vector<std::string>{"cancelled"}));
}

// The focus going elsewhere takes the text only with toAutoAcceptEditChange.
TEST_F(EditTest, FocusLossTakesTheTextOnlyWhenAutoAccepting) {
  struct Case {
    bool AutoAccept;
    std::wstring Name;
    std::vector<std::string> Log;
  } cases[] = {{false, L"alpha", {"cancelled"}}, {true, L"typed", {"new text 0/-1", "edited 0"}}};
  Show();
  for (const Case& c : cases) {
    Names[0] = L"alpha";
    Log.clear();
    SetAutoAccept(c.AutoAccept);
    ASSERT_TRUE(Tree.EditNode(Tree.FirstNode(), NoColumn));
    Type(L"typed");
    Tree.SetFocus();
    ASSERT_TRUE(RunMessagesUntil([&] { return !Tree.IsEditing(); }));
    EXPECT_EQ(Names[0], c.Name) << c.AutoAccept;
    EXPECT_EQ(Log, c.Log) << c.AutoAccept;
    RunMessagesUntilIdle();
  }
}

TEST_F(EditTest, EnterBreaksALineOfAMultilineNodeCtrlEnterEnds) {
  Tree.OnInitNode = TVTInitNodeEvent::Lambda(
      [](TBaseVirtualTree*, PVirtualNode, PVirtualNode, TVirtualNodeInitStates& states) {
        states.Include(TVirtualNodeInitState::ivsMultiline);
      });
  Tree.SetRootNodeCount(0);
  Tree.SetRootNodeCount(3);
  Show();
  ASSERT_TRUE(Tree.EditNode(Tree.FirstNode(), NoColumn));
  TVTEdit* edit = Editor();
  EXPECT_TRUE(GetWindowLongA(edit->Handle(), GWL_STYLE) & WS_VSCROLL);
  SendMessageW(edit->Handle(), EM_SETSEL, 5, 5);
  PostKey(edit->Handle(), VK_RETURN);
  RunMessagesUntilIdle();
  EXPECT_TRUE(Tree.IsEditing());
  EXPECT_EQ(edit->WideText(), L"alpha\r\n");
  {
    HeldKey ctrl(VK_CONTROL);
    PostKey(edit->Handle(), VK_RETURN);
    ASSERT_TRUE(RunMessagesUntil([&] { return !Tree.IsEditing(); }));
  }
  EXPECT_EQ(Names[0], L"alpha\r\n");
}

// A cell too narrow for an editor gets 30 pixels, grown away from the side
// its text keeps to.
TEST_F(EditTest, ANarrowRightAlignedCellGetsThirtyPixelsEndingAtItsRightEdge) {
  TVirtualTreeColumns* columns = Tree.Header()->Columns();
  columns->Add()->SetWidth(100);
  columns->Add()->SetWidth(100);
  columns->Items(1)->SetAlignment(TAlignment::taRightJustify);
  Show();
  ASSERT_TRUE(Tree.EditNode(Tree.FirstNode(), 1));
  EXPECT_TRUE(GetWindowLongA(Editor()->Handle(), GWL_STYLE) & ES_RIGHT);
  IVTEditLink* link = Tree.EditLink();
  link->ApplyEditorBounds(RECT{150, 0, 160, 18});
  EXPECT_EQ(link->EditorBounds(), (RECT{130, 0, 160, 18}));
  link->ApplyEditorBounds(RECT{-5, 0, 60, 18});
  EXPECT_EQ(link->EditorBounds(), (RECT{0, 0, 60, 18}));
  columns->Items(1)->SetAlignment(TAlignment::taLeftJustify);
  Tree.CancelNodeEdit();
  ASSERT_TRUE(Tree.EditNode(Tree.FirstNode(), 1));
  Tree.EditLink()->ApplyEditorBounds(RECT{150, 0, 160, 18});
  EXPECT_EQ(Tree.EditLink()->EditorBounds(), (RECT{150, 0, 180, 18}));
}

TEST_F(EditTest, TheEditorCoversTheCellsText) {
  Show();
  PVirtualNode node = Tree.FirstNode()->NextSibling;
  ASSERT_TRUE(Tree.EditNode(node, NoColumn));
  const RECT text = Tree.NodeDisplayRect(node, NoColumn, true, true);
  const RECT bounds = Tree.EditLink()->EditorBounds();
  EXPECT_EQ(bounds.left, text.left);
  EXPECT_GE(bounds.right - bounds.left, 30);
  EXPECT_LE(bounds.top, text.top + 1);
  EXPECT_GE(bounds.bottom, text.bottom - 1);
}

TEST_F(EditTest, NoEditWhereTheTreeOrOnEditingRefuses) {
  Show();
  Tree.OnEditing = TVTEditChangingEvent::Lambda(
      [](TBaseVirtualTree*, PVirtualNode node, TColumnIndex, bool& allowed) { allowed = node->IndexInParent != 2; });
  EXPECT_FALSE(Tree.EditNode(Tree.LastNode(), NoColumn));
  EXPECT_EQ(Tree.FocusedNode(), Tree.LastNode());  // focused all the same
  TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
  misc.Exclude(TVTMiscOption::toEditable);
  Tree.TreeOptions()->SetMiscOptions(misc);
  EXPECT_FALSE(Tree.EditNode(Tree.FirstNode(), NoColumn));
  misc.Include(TVTMiscOption::toEditable);
  Tree.TreeOptions()->SetMiscOptions(misc);
  EXPECT_TRUE(Tree.EditNode(Tree.FirstNode(), NoColumn));
  EXPECT_TRUE(Tree.EditNode(Tree.LastNode(), NoColumn));  // editing already: the running edit answers
  EXPECT_EQ(Tree.FocusedNode(), Tree.FirstNode());
}

// The tree destroyed while its editor is open takes the editor with it.
TEST_F(EditTest, DestroyingTheTreeEndsTheEdit) {
  Show();
  auto* tree = new TVirtualStringTree(nullptr);
  tree->OnGetText = Tree.OnGetText;
  TVTMiscOptions misc = tree->TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toEditable);
  tree->TreeOptions()->SetMiscOptions(misc);
  tree->SetRootNodeCount(2);
  Host.Place(*tree, 200, 100);
  ASSERT_TRUE(tree->EditNode(tree->FirstNode(), NoColumn));
  TWeakLink<TVTEdit> watch(static_cast<TStringEditLink*>(tree->EditLink())->Edit());
  Free(tree);
  RunMessagesUntilIdle();
  EXPECT_EQ(watch.Get(), nullptr);
}

// A tree that offers no editor of its own needs OnCreateEditor.
TEST(EditWithoutEditor, AMissingEditLinkRaisesError2000) {
  TreeHost host(true);
  TBaseVirtualTree tree(nullptr);
  TVTMiscOptions misc = tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toEditable);
  tree.TreeOptions()->SetMiscOptions(misc);
  tree.SetRootNodeCount(1);
  host.Place(tree, 100, 100);
  try {
    tree.EditNode(tree.FirstNode(), NoColumn);
    FAIL() << "no error";
  } catch (const EVirtualTreeError& e) {
    EXPECT_EQ(e.Code(), 2000);
    EXPECT_EQ(e.Message(), "Edit link must not be nil.");
  }
  EXPECT_FALSE(tree.IsEditing());
}

}  // namespace
