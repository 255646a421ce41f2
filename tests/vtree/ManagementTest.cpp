// Two string trees laid out as the program's management window has them: a
// category tree with tinted odd rows and a green row under the mouse, and a
// two-level article list whose second column fills the width. A category is
// renamed in place; the window is saved as a screenshot.
#include "tests/vtree/TreeChecker.h"

#include "vtree/StringEditLink.h"
#include "vtree/StringTree.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using PO = TVTPaintOption;
using HO = TVTHeaderOption;
using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;

constexpr TColor OddRowColor = static_cast<TColor>(0xFFEEEE);
constexpr TColor HotRowColor = static_cast<TColor>(0x008000);

void ShowHeader(TVirtualStringTree& tree, std::initializer_list<std::pair<const wchar_t*, int>> columns) {
  TVTHeader* header = tree.Header();
  for (const auto& [caption, width] : columns) {
    TVirtualTreeColumn* column = header->Columns()->Add();
    column->SetText(caption);
    column->SetWidth(width);
  }
  TVTHeaderOptions options = header->Options();
  options.Include(HO::hoVisible);
  header->SetOptions(options);
}

void ShowLines(TVirtualStringTree& tree) {
  TVTPaintOptions paint = tree.TreeOptions()->PaintOptions();
  for (PO o : {PO::toShowHorzGridLines, PO::toShowVertGridLines, PO::toShowRoot, PO::toShowTreeLines,
               PO::toFullVertGridLines, PO::toShowButtons})
    paint.Include(o);
  paint.Exclude(PO::toThemeAware);
  tree.TreeOptions()->SetPaintOptions(paint);
  TVTSelectionOptions selection = tree.TreeOptions()->SelectionOptions();
  selection.Include(TVTSelectionOption::toFullRowSelect);
  selection.Include(TVTSelectionOption::toRightClickSelect);
  tree.TreeOptions()->SetSelectionOptions(selection);
}

TEST(ManagementWindow, CategoriesAndArticlesRenameACategory) {
  testing_support::TestWindow window(660, 320, {}, "Management");
  std::vector<std::pair<std::wstring, int>> categories{
      {L"工作笔记", 12}, {L"读书摘录", 7}, {L"网页收藏", 31}, {L"项目资料", 4}, {L"日常记录", 19}};
  struct Article {
    std::wstring Title, Date;
    std::vector<std::wstring> Replies;
  };
  std::vector<Article> articles{{L"季度计划", L"2026-12-01", {L"补充说明", L"修订意见"}},
                                {L"会议纪要", L"2026-12-03", {}},
                                {L"读书笔记：设计模式", L"2026-12-05", {L"第二章"}},
                                {L"网络收藏整理", L"2026-12-08", {}}};

  TVirtualStringTree categoryTree(nullptr);
  categoryTree.SetBorderStyle(bsNone);
  categoryTree.SetColor(static_cast<TColor>(0xFFFFFF));
  categoryTree.Font()->SetName("SimSun");
  categoryTree.Font()->SetHeight(-15);
  ShowHeader(categoryTree, {{L"索引名称", 180}, {L"篇数", 60}});
  ShowLines(categoryTree);
  categoryTree.OnGetText = TVSTGetTextEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex column, TVSTTextType, std::wstring& text) {
        const auto& c = categories[node->IndexInParent];
        text = column == 1 ? std::to_wstring(c.second) : c.first;
      });
  bool moveMode = false;
  categoryTree.OnBeforeItemErase = TVTBeforeItemEraseEvent::Lambda(
      [&](TBaseVirtualTree* sender, TCanvas*, PVirtualNode node, RECT, TColor& color, TItemEraseAction& action) {
        if (moveMode && node == sender->HotNode()) {
          color = HotRowColor;
          action = TItemEraseAction::eaColor;
        } else if (node->IndexInParent % 2 == 1) {
          color = OddRowColor;
          action = TItemEraseAction::eaColor;
        }
      });
  categoryTree.OnMouseMove = TMouseMoveEvent::Lambda([&](TObject*, TShiftState, int, int) { categoryTree.Invalidate(); });
  std::vector<std::wstring> renamed;
  categoryTree.OnNewText = TVSTNewTextEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex column, const std::wstring& text) {
        if (column == 0) categories[node->IndexInParent].first = text;
        renamed.push_back(text);
      });
  categoryTree.SetParentWindow(window.Handle());
  categoryTree.SetBounds(0, 0, 260, 300);
  categoryTree.SetRootNodeCount(static_cast<uint32_t>(categories.size()));

  TVirtualStringTree articleList(nullptr);
  articleList.SetBorderStyle(bsNone);
  articleList.SetColor(static_cast<TColor>(0xFFFFFF));
  ShowHeader(articleList, {{L"标题", 200}, {L"日期", 120}});
  ShowLines(articleList);
  articleList.Header()->SetAutoSizeIndex(1);
  TVTHeaderOptions listHeader = articleList.Header()->Options();
  listHeader.Include(HO::hoAutoResize);
  articleList.Header()->SetOptions(listHeader);
  articleList.OnGetText = TVSTGetTextEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode node, TColumnIndex column, TVSTTextType, std::wstring& text) {
        if (node->Parent == articleList.RootNode()) {
          const Article& a = articles[node->IndexInParent];
          text = column == 1 ? a.Date : a.Title;
        } else {
          const Article& a = articles[node->Parent->IndexInParent];
          text = column == 1 ? a.Date : a.Replies[node->IndexInParent];
        }
      });
  articleList.SetParentWindow(window.Handle());
  articleList.SetBounds(265, 0, 380, 300);
  articleList.SetRootNodeCount(static_cast<uint32_t>(articles.size()));
  for (PVirtualNode node = articleList.FirstNode(); node; node = articleList.NextSiblingNode(node)) {
    const auto replies = static_cast<uint32_t>(articles[node->IndexInParent].Replies.size());
    if (replies == 0) continue;
    articleList.SetChildCount(node, replies);
    articleList.SetExpanded(node, true);
  }
  categoryTree.HandleNeeded();
  articleList.HandleNeeded();
  ShowWindow(window.Handle(), SW_SHOW);
  SetForegroundWindow(window.Handle());

  // The auto-size column takes what the first one leaves (less a vertical
  // scroll bar shown while the window was laid out).
  TVirtualTreeColumns* listColumns = articleList.Header()->Columns();
  EXPECT_EQ(listColumns->Items(0)->Width(), 200);
  EXPECT_LE(listColumns->Items(1)->Width(), articleList.ClientWidth() - 200);
  EXPECT_GE(listColumns->Items(1)->Width(), articleList.ClientWidth() - 200 - GetSystemMetrics(SM_CXVSCROLL));
  // Odd rows are tinted.
  RedrawWindow(categoryTree.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  const RECT second = categoryTree.NodeDisplayRect(categoryTree.NextNode(categoryTree.FirstNode()), 0, false);
  const testing_support::Image tinted = testing_support::ReadWindowPixels(categoryTree.Handle());
  const int headerHeight = static_cast<int>(categoryTree.Header()->Height());
  EXPECT_EQ(tinted.At(200, headerHeight + (second.top + second.bottom) / 2), testing_support::Rgb(0xFFEEEE));

  // Renaming a category: the editable option goes on and the edit starts in column 0.
  PVirtualNode third = categoryTree.NextNode(categoryTree.NextNode(categoryTree.FirstNode()));
  TVTMiscOptions misc = categoryTree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toEditable);
  categoryTree.TreeOptions()->SetMiscOptions(misc);
  categoryTree.SetFocus();
  ASSERT_TRUE(categoryTree.EditNode(third, 0));
  auto* link = static_cast<TStringEditLink*>(categoryTree.EditLink());
  ASSERT_NE(link, nullptr);
  TVTEdit* edit = link->Edit();
  ASSERT_NE(edit, nullptr);
  EXPECT_EQ(edit->WideText(), L"网页收藏");
  const std::wstring name = L"网页收藏（已整理）";
  SendMessageW(edit->Handle(), EM_SETSEL, 0, -1);
  SendMessageW(edit->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(name.c_str()));

  // The move mode's green row follows the mouse.
  moveMode = true;
  const RECT hotRow = categoryTree.NodeDisplayRect(categoryTree.FirstNode(), 0, false);
  SendMessageA(categoryTree.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(20, (hotRow.top + hotRow.bottom) / 2));
  EXPECT_EQ(categoryTree.HotNode(), categoryTree.FirstNode());
  RunMessagesUntilIdle();
  RedrawWindow(window.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
  const testing_support::Image hot = testing_support::ReadWindowPixels(categoryTree.Handle());
  // Green, as the hot row's highlight blends over it.
  const uint32_t green = hot.At(200, headerHeight + (hotRow.top + hotRow.bottom) / 2);
  EXPECT_LT(green >> 16, 0x20u);
  EXPECT_GT((green >> 8) & 0xFF, 0x50u);
  EXPECT_LT(green & 0xFF, 0x20u);
  testing_support::SaveScreenshot(window.Handle(), "vtree-management");

  PostMessageA(edit->Handle(), WM_KEYDOWN, VK_RETURN, 1);
  ASSERT_TRUE(RunMessagesUntil([&] { return !categoryTree.IsEditing(); }));
  EXPECT_EQ(categories[2].first, name);
  EXPECT_EQ(renamed, std::vector<std::wstring>{name});
  EXPECT_EQ(categoryTree.TextOfCell(third, 0), name);
}

}  // namespace
