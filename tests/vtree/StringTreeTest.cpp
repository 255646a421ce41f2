// The string tree: cell texts, their measured widths and the cache of them,
// shortening to the cell, the clipboard formats it offers, its form data.
#include "tests/vtree/TreeChecker.h"

#include "platform/Filer.h"
#include "platform/FormResource.h"
#include "platform/Stream.h"
#include "vtree/ClipboardFormats.h"
#include "vtree/StringTree.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

int TextWidth(TFont* font, const std::wstring& text) {
  TMemoryDC dc;
  TSelectObjectGuard select(dc.Get(), font->Handle());
  SIZE size{};
  GetTextExtentPoint32W(dc.Get(), text.c_str(), static_cast<int>(text.size()), &size);
  return size.cx;
}

class StringTreeTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);
    Tree.OnGetText = TVSTGetTextEvent::Lambda(
        [this](TBaseVirtualTree*, PVirtualNode node, TColumnIndex column, TVSTTextType type, std::wstring& text) {
          if (type != TVSTTextType::ttNormal) return;
          auto it = Texts.find({node->IndexInParent, column});
          if (it != Texts.end()) text = it->second;
        });
    Tree.OnDrawText = TVTDrawTextEvent::Lambda([this](TBaseVirtualTree*, TCanvas*, PVirtualNode node, TColumnIndex column,
                                                      const std::wstring& text, RECT, bool&) {
      Drawn[{node->IndexInParent, column}] = text;
    });
  }
  // Renders the client area into a bitmap, as printing does.
  void Paint() {
    Drawn.clear();
    TMemoryDC dc;
    TGdiObject bitmap(CreateCompatibleBitmap(dc.Get(), Tree.ClientWidth(), Tree.ClientHeight()));
    TSelectObjectGuard select(dc.Get(), bitmap.Get());
    SendMessageA(Tree.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
  }
  TreeHost Host;
  TVirtualStringTree Tree{nullptr};
  std::map<std::pair<uint32_t, TColumnIndex>, std::wstring> Texts;
  std::map<std::pair<uint32_t, TColumnIndex>, std::wstring> Drawn;
};

TEST_F(StringTreeTest, ANodeWithoutTextShowsTheDefaultText) {
  Tree.OnGetText = {};
  Tree.SetRootNodeCount(2);
  Host.Place(Tree, 200, 100);
  EXPECT_EQ(Tree.TextOfCell(Tree.FirstNode(), NoColumn), L"Node");
  Paint();
  EXPECT_EQ((Drawn[{0, NoColumn}]), L"Node");
  EXPECT_EQ((Drawn[{1, NoColumn}]), L"Node");
  Tree.SetDefaultText(L"Item");
  Paint();
  EXPECT_EQ((Drawn[{0, NoColumn}]), L"Item");
  EXPECT_TRUE(TreeIsConsistent(Tree));
}

// The second column's text has its cell less the margin and both text
// margins: exactly that much shows whole, a pixel less gets the ellipsis.
TEST_F(StringTreeTest, OnlyTextWiderThanItsCellIsShortened) {
  const std::wstring text = L"abcdefghij";
  const int width = TextWidth(Tree.Font(), text);
  struct Case {
    const char* Name;
    int Spare;
    bool Whole;
  } cases[] = {{"exactly as wide", 0, true}, {"one pixel more", -1, false}, {"room to spare", 7, true}};
  TVirtualTreeColumns* columns = Tree.Header()->Columns();
  columns->Add()->SetWidth(100);
  columns->Add()->SetWidth(100);
  Tree.SetRootNodeCount(1);
  Texts[{0, 1}] = text;
  Host.Place(Tree, 400, 100);
  for (const Case& c : cases) {
    columns->Items(1)->SetWidth(width + Tree.Margin() + 2 * Tree.TextMargin() + c.Spare);
    Paint();
    const std::wstring shown = Drawn[{0, 1}];
    if (c.Whole) {
      EXPECT_EQ(shown, text) << c.Name;
    } else {
      ASSERT_GE(shown.size(), 3u) << c.Name;
      EXPECT_EQ(shown.substr(shown.size() - 3), L"...") << c.Name;
      EXPECT_LT(TextWidth(Tree.Font(), shown), width + 1) << c.Name;
    }
  }
}

// With toAutoSpanColumns the first cell's text runs on over the empty second
// cell: shortened, and wrapped when measured, only at the second's end.
class TSpanProbe : public TVirtualStringTree {
public:
  using TVirtualStringTree::TVirtualStringTree;
  using TCustomVirtualStringTree::MeasureTextHeight;
};

TEST(StringTreeSpan, ASpanningTextEndsWhereTheCellsItSpansEnd) {
  const std::wstring text = L"abcdefghij klmnopqrst";
  const std::wstring last = L"end of the row";
  TreeHost host;
  TSpanProbe tree(nullptr);
  tree.SetBorderStyle(bsNone);
  std::wstring drawn;
  tree.OnGetText = TVSTGetTextEvent::Lambda(
      [&](TBaseVirtualTree*, PVirtualNode, TColumnIndex column, TVSTTextType type, std::wstring& out) {
        if (type != TVSTTextType::ttNormal) return;
        if (column == 0) out = text;
        else if (column == 2) out = last;
        else out.clear();
      });
  tree.OnDrawText = TVTDrawTextEvent::Lambda([&](TBaseVirtualTree*, TCanvas*, PVirtualNode, TColumnIndex column,
                                                 const std::wstring& shown, RECT, bool&) {
    if (column == 0) drawn = shown;
  });
  TVirtualTreeColumns* columns = tree.Header()->Columns();
  for (int width : {40, 400, 60}) columns->Add()->SetWidth(width);
  tree.SetRootNodeCount(1);
  host.Place(tree, 600, 100);
  int32_t heights[2] = {};
  for (bool span : {false, true}) {
    SCOPED_TRACE(span ? "spanning" : "not spanning");
    TVTAutoOptions options = tree.TreeOptions()->AutoOptions();
    tree.TreeOptions()->SetAutoOptions(span ? options + TVTAutoOption::toAutoSpanColumns
                                            : options - TVTAutoOption::toAutoSpanColumns);
    drawn.clear();
    TMemoryDC dc;
    TGdiObject bitmap(CreateCompatibleBitmap(dc.Get(), tree.ClientWidth(), tree.ClientHeight()));
    TSelectObjectGuard select(dc.Get(), bitmap.Get());
    SendMessageA(tree.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    EXPECT_EQ(drawn == text, span) << "drawn: " << std::string(drawn.begin(), drawn.end());
    const std::wstring cellText;  // empty: the cell's own text is measured
    heights[span] = tree.MeasureTextHeight(nullptr, tree.FirstNode(), cellText, 0);
  }
  EXPECT_LT(heights[1], heights[0]) << "the spanning text wrapped as in its own column";
}

TEST_F(StringTreeTest, AFontChangeForgetsTheMeasuredWidthsAColumnResizeDoesNot) {
  TVirtualTreeColumns* columns = Tree.Header()->Columns();
  columns->Add()->SetWidth(150);
  columns->Add()->SetWidth(100);
  Tree.SetRootNodeCount(3);
  for (uint32_t i = 0; i < 3; ++i) Texts[{i, 0}] = std::wstring(i + 2, L'w');
  Host.Place(Tree, 300, 100);
  std::vector<int32_t> measured;
  for (PVirtualNode node = Tree.FirstNode(); node; node = Tree.NextNode(node)) {
    Tree.NodeDisplayRect(node, 0, true);
    measured.push_back(Tree.CachedTextWidth(node));
    EXPECT_EQ(measured.back(), TextWidth(Tree.Font(), Texts[{node->IndexInParent, 0}]) + 2 * Tree.TextMargin());
  }
  columns->Items(0)->SetWidth(120);
  columns->Items(1)->SetWidth(60);
  size_t i = 0;
  for (PVirtualNode node = Tree.FirstNode(); node; node = Tree.NextNode(node)) EXPECT_EQ(Tree.CachedTextWidth(node), measured[i++]);
  Tree.Font()->SetSize(Tree.Font()->Size() * 2);
  for (PVirtualNode node = Tree.FirstNode(); node; node = Tree.NextNode(node)) EXPECT_EQ(Tree.CachedTextWidth(node), 0);
  PVirtualNode first = Tree.FirstNode();
  Tree.NodeDisplayRect(first, 0, true);
  EXPECT_GT(Tree.CachedTextWidth(first), measured[0]);
}

TEST_F(StringTreeTest, OnMeasureTextWidthWidensTheNode) {
  Tree.SetRootNodeCount(1);
  Texts[{0, NoColumn}] = L"measured";
  Host.Place(Tree, 300, 100);
  PVirtualNode node = Tree.FirstNode();
  const RECT plain = Tree.NodeDisplayRect(node, NoColumn, true);
  const int32_t width = Tree.CachedTextWidth(node);
  Tree.OnMeasureTextWidth = TVTMeasureTextEvent::Lambda(
      [](TBaseVirtualTree*, TCanvas*, PVirtualNode, TColumnIndex, const std::wstring&, int32_t& w) { w += 50; });
  Tree.InvalidateNode(node);
  const RECT wide = Tree.NodeDisplayRect(node, NoColumn, true);
  EXPECT_EQ(Tree.CachedTextWidth(node), width + 50);
  EXPECT_EQ(wide.right - wide.left, plain.right - plain.left + 50);
}

TEST_F(StringTreeTest, OffersItsSevenFormatsInPriorityOrder) {
  const std::vector<FORMATETC> formats = ClipboardFormats()->EnumerateFormats(&TVirtualStringTree::ClassInfo);
  std::vector<std::string> names;
  for (const FORMATETC& f : formats) {
    for (const TClipboardFormatListEntry& entry : ClipboardFormats()->Entries())
      if (entry.FormatEtc.cfFormat == f.cfFormat && Tree.InheritsFrom(entry.TreeClass)) {
        names.push_back(entry.Description);
        break;
      }
  }
  const std::vector<std::string> expected{"Virtual Tree Data", "HTML Format", "Rich Text Format Without Objects",
                                          "Rich Text Format", "CSV", "Unicode text", "Plain text"};
  EXPECT_EQ(names, expected);
  EXPECT_EQ(ClipboardFormats()->EnumerateFormats(&TBaseVirtualTree::ClassInfo).size(), 1u);
}

TEST_F(StringTreeTest, ClipboardFormatNamesMustBeRegisteredForTheClass) {
  EXPECT_GE(Tree.ClipboardFormats()->Add("CSV"), 0);
  EXPECT_EQ(Tree.ClipboardFormats()->Add("Comma Separated Nonsense"), -1);
  EXPECT_EQ(Tree.ClipboardFormats()->Count(), 1);
  TBaseVirtualTree base(nullptr);
  EXPECT_EQ(base.ClipboardFormats()->Add("CSV"), -1);
}

class TSearchProbe : public TVirtualStringTree {
public:
  using TVirtualStringTree::TVirtualStringTree;
  using TCustomVirtualStringTree::FireIncrementalSearch;
};

TEST(StringTreeSearch, ComparesTheStartOfTheFocusedColumnsText) {
  TSearchProbe tree(nullptr);
  tree.OnGetText = TVSTGetTextEvent::Lambda(
      [](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVSTTextType, std::wstring& text) { text = L"Apple"; });
  tree.SetRootNodeCount(1);
  PVirtualNode node = tree.FirstNode();
  EXPECT_EQ(tree.FireIncrementalSearch(node, L"App"), 0);
  EXPECT_EQ(tree.FireIncrementalSearch(node, L"app"), 1);
  EXPECT_EQ(tree.FireIncrementalSearch(node, L"Apples"), 1);
  tree.OnIncrementalSearch = TVTIncrementalSearchEvent::Lambda(
      [](TBaseVirtualTree*, PVirtualNode, const std::wstring&, int32_t& result) { result = 0; });
  EXPECT_EQ(tree.FireIncrementalSearch(node, L"zzz"), 0);
}

TEST_F(StringTreeTest, TooltipTextIsTheCellsTextUnlessOnGetHintSpeaks) {
  Tree.SetRootNodeCount(1);
  Texts[{0, NoColumn}] = L"cell";
  Tree.SetHint("tree hint");
  PVirtualNode node = Tree.FirstNode();
  TVTTooltipLineBreakStyle style = TVTTooltipLineBreakStyle::hlbForceMultiLine;
  EXPECT_EQ(Tree.DefaultTooltipText(node, NoColumn, style), L"cell");
  EXPECT_EQ(Tree.DefaultHintText(node, NoColumn, style), L"tree hint");
  Tree.OnGetHint = TVSTGetHintEvent::Lambda([](TBaseVirtualTree*, PVirtualNode, TColumnIndex, TVTTooltipLineBreakStyle& s,
                                               std::wstring& text) {
    text += L"!";
    s = TVTTooltipLineBreakStyle::hlbForceSingleLine;
  });
  EXPECT_EQ(Tree.DefaultTooltipText(node, NoColumn, style), L"tree hint!");
  EXPECT_EQ(style, TVTTooltipLineBreakStyle::hlbForceSingleLine);
}

// DefaultText and the string options travel with the form; the option set
// of earlier forms, stored on the tree, is read into the options.
TEST(StringTreeForms, DefaultTextAndStringOptionsTravelWithTheForm) {
  const AnsiString text =
      "object Tree: TVirtualStringTree\r\n"
      "  StringOptions = [soShowStaticText]\r\n"
      "  WideDefaultText = 'Unnamed'\r\n"
      "end\r\n";
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TVirtualStringTree tree(nullptr);
  ReadComponentFromStream(binary, &tree);
  EXPECT_EQ(tree.DefaultText(), L"Unnamed");
  EXPECT_TRUE(tree.TreeOptions()->StringOptions().Contains(TVTStringOption::toShowStaticText));
  EXPECT_TRUE(tree.TreeOptions()->StringOptions().Contains(TVTStringOption::toAutoAcceptEditChange));  // the default stays
  TMemoryStream written;
  WriteComponentToStream(written, &tree);
  written.SetPosition(0);
  const std::string out = ObjectBinaryToText(written).c_str();
  EXPECT_NE(out.find("WideDefaultText = 'Unnamed'"), std::string::npos) << out;
  EXPECT_NE(out.find("TreeOptions.StringOptions = [toSaveCaptions, toShowStaticText, toAutoAcceptEditChange]"),
            std::string::npos)
      << out;
  EXPECT_EQ(out.find("  StringOptions"), std::string::npos) << out;
  // The default text is not written.
  TVirtualStringTree plain(nullptr);
  TMemoryStream none;
  WriteComponentToStream(none, &plain);
  none.SetPosition(0);
  EXPECT_EQ(std::string(ObjectBinaryToText(none).c_str()).find("WideDefaultText"), std::string::npos);
}

}  // namespace
