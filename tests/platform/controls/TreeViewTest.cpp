// The tree view on a real window: what the nodes say is what the window
// holds (read back through its own messages), after adding, inserting,
// moving, deleting, sorting, expanding and making the window again; the
// events ask and report once, whether the change comes from code or from
// the window.
#include "platform/ImageList.h"
#include "platform/TreeView.h"
#include "tests/platform/controls/ControlTestUtil.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

using namespace testing_support;
using namespace control_tests;

// The window's tree as text: siblings separated by ",", children in
// parentheses, "+" after an expanded node, "*" after the selected one.
std::string WindowTree(HWND wnd, HTREEITEM parent) {
  std::string text;
  HTREEITEM item = reinterpret_cast<HTREEITEM>(
      SendMessageA(wnd, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
  const auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_CARET, 0));
  for (; item; item = reinterpret_cast<HTREEITEM>(
                   SendMessageA(wnd, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    char buffer[64] = {};
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_STATE | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    tv.stateMask = TVIS_EXPANDED;
    SendMessageA(wnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
    if (!text.empty()) text += ",";
    text += buffer;
    if (tv.state & TVIS_EXPANDED) text += "+";
    if (item == selected) text += "*";
    const std::string children = WindowTree(wnd, item);
    if (!children.empty()) text += "(" + children + ")";
  }
  return text;
}

// The same text from the nodes themselves.
std::string NodeTree(TTreeNode* first) {
  std::string text;
  for (TTreeNode* node = first; node; node = node->GetNextSibling()) {
    if (!text.empty()) text += ",";
    text += node->Text();
    if (node->Expanded()) text += "+";
    if (node->Selected()) text += "*";
    if (node->Count() > 0) text += "(" + NodeTree(node->GetFirstChild()) + ")";
  }
  return text;
}

struct TreeForm {
  ShownForm Form{40, 40, 320, 300, "Tree"};
  TTreeView* Tree = Place<TTreeView>(Form.Form, 8, 8, 280, 240);
  TTreeNode* A = nullptr;
  TTreeNode* B = nullptr;
  TreeForm() {
    Form.Show();
    A = Tree->Items()->Add(nullptr, "a");
    B = Tree->Items()->Add(nullptr, "b");
    Tree->Items()->AddChild(A, "a1");
    Tree->Items()->AddChild(A, "a2");
  }
  std::string Window() const { return WindowTree(Tree->Handle(), nullptr); }
};

TEST(TreeView, TheWindowHoldsWhatTheNodesSay) {
  const struct {
    const char* name;
    std::function<void(TreeForm&)> change;
    const char* expected;
  } cases[] = {
      {"added", [](TreeForm&) {}, "a(a1,a2),b"},
      {"first child and first sibling",
       [](TreeForm& f) {
         f.Tree->Items()->AddChildFirst(f.A, "a0");
         f.Tree->Items()->AddFirst(f.B, "0");
       },
       "0,a(a0,a1,a2),b"},
      {"inserted before", [](TreeForm& f) { f.Tree->Items()->Insert(f.B, "ab"); }, "a(a1,a2),ab,b"},
      {"child of a child", [](TreeForm& f) { f.Tree->Items()->AddChild(f.A->Item(1), "deep"); },
       "a(a1,a2(deep)),b"},
      {"deleted with its children", [](TreeForm& f) { f.A->Delete(); }, "b"},
      {"children deleted", [](TreeForm& f) { f.A->DeleteChildren(); }, "a,b"},
      {"cleared", [](TreeForm& f) { f.Tree->Items()->Clear(); }, ""},
      {"expanded", [](TreeForm& f) { f.A->Expand(false); }, "a+(a1,a2),b"},
      {"expanded and collapsed", [](TreeForm& f) { f.A->Expand(false); f.A->Collapse(false); }, "a(a1,a2),b"},
      {"selected", [](TreeForm& f) { f.Tree->SetSelected(f.B); }, "a(a1,a2),b*"},
      {"selected child shown", [](TreeForm& f) { f.A->Item(1)->MakeVisible(); f.A->Item(1)->SetSelected(true); },
       "a+(a1,a2*),b"},
      {"text changed", [](TreeForm& f) { f.A->Item(0)->SetText("first"); }, "a(first,a2),b"},
      {"moved under another", [](TreeForm& f) { f.A->Item(0)->MoveTo(f.B, naAddChild); }, "a(a2),b(a1)"},
      {"moved before", [](TreeForm& f) { f.B->MoveTo(f.A, naInsert); }, "b,a(a1,a2)"},
      {"moved with its children and expansion",
       [](TreeForm& f) {
         f.A->Expand(false);
         f.A->MoveTo(f.B, naAddChild);
       },
       "b(a+(a1,a2))"},
      {"sorted by text",
       [](TreeForm& f) {
         f.Tree->Items()->AddChild(f.A, "a0");
         f.Tree->Items()->Add(nullptr, "C");
         f.Tree->Items()->Add(nullptr, "B2");
         f.Tree->SetSortType(stText);
         f.Tree->Items()->Add(nullptr, "0");
       },
       "0,a(a0,a1,a2),b,B2,C"},
      {"sorted by the handler",
       [](TreeForm& f) {
         f.Tree->OnCompare = TTVCompareEvent::Lambda([](TObject*, TTreeNode* x, TTreeNode* y, int, int& c) {
           c = -AnsiCompareText(x->Text(), y->Text());
         });
         f.Tree->SetSortType(stData);
       },
       "b,a(a2,a1)"},
      {"window made again",
       [](TreeForm& f) {
         f.A->Expand(false);
         f.A->Item(1)->SetSelected(true);
         f.Tree->SetShowLines(false);
       },
       "a+(a1,a2*),b"},
      {"assigned from another tree",
       [](TreeForm& f) {
         auto* other = New<TTreeView>(nullptr);
         TTreeNode* x = other->Items()->Add(nullptr, "x");
         other->Items()->AddChild(other->Items()->AddChild(x, "y"), "z");
         f.Tree->Items()->Assign(other->Items());
         Free(other);
       },
       "x(y(z))"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TreeForm f;
    c.change(f);
    EXPECT_EQ(c.expected, f.Window());
    EXPECT_EQ(c.expected, NodeTree(f.Tree->Items()->GetFirstNode()));
    int count = 0;
    for (TTreeNode* n = f.Tree->Items()->GetFirstNode(); n; n = n->GetNext()) {
      EXPECT_EQ(count, n->AbsoluteIndex());
      EXPECT_EQ(n, f.Tree->Items()->Item(count));
      ++count;
    }
    EXPECT_EQ(count, f.Tree->Items()->Count());
    EXPECT_EQ(count, static_cast<int>(SendMessageA(f.Tree->Handle(), TVM_GETCOUNT, 0, 0)));
  }
}

TEST(TreeView, NodesLiveWithoutAWindowAndMoveIntoOne) {
  auto* tree = New<TTreeView>(nullptr);
  TTreeNode* a = tree->Items()->Add(nullptr, "a");
  tree->Items()->AddChild(a, "a1");
  a->Expand(false);
  tree->SetSelected(a->Item(0));
  EXPECT_TRUE(a->Expanded());
  EXPECT_EQ(a->Item(0), tree->Selected());
  ShownForm form(40, 40, 240, 200);
  tree->SetParent(form.Form);
  tree->SetBounds(8, 8, 200, 150);
  form.Show();
  EXPECT_EQ("a+(a1*)", WindowTree(tree->Handle(), nullptr));
  Free(tree);
}

TEST(TreeView, AMoveIntoItsOwnSubtreeIsRefused) {
  TreeForm f;
  TTreeNode* a1 = f.A->Item(0);
  EXPECT_THROW(f.A->MoveTo(a1, naAddChild), EInvalidOperation);
  EXPECT_EQ("a(a1,a2),b", f.Window());
}

TEST(TreeView, EventsAskOnceAndAreObeyed) {
  TreeForm f;
  std::vector<std::string> log;
  bool allowExpand = false;
  bool allowChange = false;
  f.Tree->OnExpanding = TTVExpandingEvent::Lambda([&](TObject*, TTreeNode* n, bool& allow) {
    log.push_back("expanding " + n->Text());
    allow = allowExpand;
  });
  f.Tree->OnExpanded = TTVExpandedEvent::Lambda([&](TObject*, TTreeNode* n) { log.push_back("expanded " + n->Text()); });
  f.Tree->OnCollapsed = TTVExpandedEvent::Lambda([&](TObject*, TTreeNode* n) { log.push_back("collapsed " + n->Text()); });
  f.Tree->OnChanging = TTVChangingEvent::Lambda([&](TObject*, TTreeNode* n, bool& allow) {
    log.push_back("changing " + n->Text());
    allow = allowChange;
  });
  f.Tree->OnChange = TTVChangedEvent::Lambda([&](TObject*, TTreeNode* n) { log.push_back("change " + (n ? n->Text() : "none")); });
  f.Tree->OnDeletion = TTVChangedEvent::Lambda([&](TObject*, TTreeNode* n) { log.push_back("deletion " + n->Text()); });

  // From code: refused, then allowed.
  f.A->Expand(false);
  EXPECT_EQ("a(a1,a2),b", f.Window());
  allowExpand = true;
  f.A->Expand(false);
  EXPECT_EQ("a+(a1,a2),b", f.Window());
  f.Tree->SetSelected(f.B);
  EXPECT_EQ("a+(a1,a2),b", f.Window());
  allowChange = true;
  f.Tree->SetSelected(f.B);
  EXPECT_EQ("a+(a1,a2),b*", f.Window());
  EXPECT_EQ((std::vector<std::string>{"expanding a", "expanding a", "expanded a", "changing b", "changing b", "change b"}), log);

  // From the window: the keyboard collapses and moves the selection.
  log.clear();
  f.Tree->SetSelected(f.A);
  log.clear();
  f.Tree->SetFocus();
  PostKey(f.Tree->Handle(), VK_LEFT);
  RunMessagesUntilIdle();
  PostKey(f.Tree->Handle(), VK_DOWN);
  RunMessagesUntilIdle();
  EXPECT_EQ("a(a1,a2),b*", f.Window());
  EXPECT_EQ((std::vector<std::string>{"collapsed a", "changing b", "change b"}), log);

  // Children are reported before their parent; the selection leaving a
  // deleted node is reported.
  log.clear();
  f.Tree->SetSelected(f.A->Item(0));
  log.clear();
  f.A->Delete();
  EXPECT_EQ((std::vector<std::string>{"deletion a2", "deletion a1", "deletion a", "change b"}), log);
  EXPECT_EQ(1, f.Tree->Items()->Count());
}

TEST(TreeView, NodesCarryImagesAndAnswerTheirRectangles) {
  TreeForm f;
  auto* images = New<TCustomImageList>(f.Form.Form);
  images->SetSize(16, 16);
  f.Tree->SetImages(images);
  EXPECT_EQ(reinterpret_cast<LPARAM>(images->Handle()),
            SendMessageA(f.Tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
  f.B->SetImageIndex(3);
  f.B->SetSelectedIndex(4);
  TVITEMA tv{};
  tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
  tv.hItem = f.B->ItemId();
  SendMessageA(f.Tree->Handle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv));
  EXPECT_EQ(3, tv.iImage);
  EXPECT_EQ(4, tv.iSelectedImage);
  const RECT rect = f.B->DisplayRect(true);
  EXPECT_GT(rect.bottom, rect.top);
  EXPECT_EQ(f.B, f.Tree->GetNodeAt(rect.left + 2, (rect.top + rect.bottom) / 2));
  const RECT hidden = f.A->Item(0)->DisplayRect(false);
  EXPECT_TRUE(IsRectEmpty(&hidden)) << "hidden under a collapsed node";
  Free(images);
  EXPECT_EQ(nullptr, f.Tree->Images());
  EXPECT_EQ(0, SendMessageA(f.Tree->Handle(), TVM_GETIMAGELIST, TVSIL_NORMAL, 0));
}

}  // namespace
