// The string tree's text exports: the exact HTML, RTF, 8-bit and UTF-16
// text of small trees, quoting, levels, the export mode, empty exports, the
// CF_HTML block, escaping, and the formats rendered for data objects.
#include "tests/vtree/TreeChecker.h"

#include "vtree/StringTree.h"
#include "vtree/VirtualTreeColumns.h"

#include <map>

namespace {
using TST = TVSTTextSourceType;

// A string tree with fixed fonts and colour whose texts come from a table
// by node path ("0", "0.1"...); a missing path shows "Node".
class ExportTest : public ::testing::Test {
protected:
  TVirtualStringTree Tree;
  std::map<std::string, std::vector<std::wstring>> Texts;

  void SetUp() override {
    for (TFont* font : {Tree.Font(), Tree.Header()->Font()}) {
      font->SetName("Arial");
      font->SetSize(9);
      font->SetColor(clBlack);
    }
    Tree.SetColor(clWhite);
    Tree.OnGetText = TVSTGetTextEvent::Lambda(
        [this](TBaseVirtualTree*, PVirtualNode n, TColumnIndex c, TVSTTextType, std::wstring& text) {
          auto it = Texts.find(NodePath(n, Tree));
          if (it != Texts.end()) text = it->second[std::max(c, 0)];
        });
  }
  void AddColumns(std::initializer_list<const wchar_t*> captions) {
    for (const wchar_t* caption : captions) {
      TVirtualTreeColumn* column = Tree.Header()->Columns()->Add();
      column->SetText(caption);
      column->SetWidth(100);
    }
  }
};

TEST_F(ExportTest, WithoutColumnsEachNodeIsOneFieldIndentedBySeparators) {
  Tree.SetRootNodeCount(2);
  Tree.SetChildCount(NodeAt(Tree, {0}), 1);
  Texts = {{"0", {L"A"}}, {"0.0", {L"B"}}, {"1", {L"C"}}};
  EXPECT_EQ(Tree.TextOfContent(TST::tstAll, "\t"), "A\r\n\tB\r\nC\r\n");
  EXPECT_EQ(Tree.UnicodeTextOfContent(TST::tstAll, L";"), L"A\r\n;B\r\nC\r\n");
}

TEST_F(ExportTest, EightBitTextQuotesSeparatorsAndQuotesUnicodeOnlySeparators) {
  AddColumns({L"Name", L"Note"});
  Tree.SetRootNodeCount(1);
  Texts = {{"0", {L"a\tb", L"say \"hi\""}}};
  EXPECT_EQ(Tree.TextOfContent(TST::tstAll, "\t"), "Name\tNote\r\n\"a\tb\"\t\"say \"\"hi\"\"\"\r\n");
  EXPECT_EQ(Tree.UnicodeTextOfContent(TST::tstAll, L"\t"), L"Name\tNote\r\n\"a\tb\"\tsay \"hi\"\r\n");
}

TEST_F(ExportTest, AWholeHTMLExportOfOneNode) {
  Tree.SetRootNodeCount(1);
  const std::string expected =
      "<META http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\"><style type=\"text/css\">\r\n"
      ".default{font: 9pt \"Arial\";color:#000000;}\r\n"
      ".header{font: 9pt \"Arial\";color:#000000;}\r\n"
      ".noborder{border-style:none;padding-left:4px;padding-right:4px;}\r\n"
      ".normalborder {border-top:none; border-left:none; vertical-align:top;border-right:none;border-bottom:none;"
      "padding-left:4px;padding-right:4px;}</style>\r\n"
      "<table class=\"default\" bgcolor=#FFFFFF  border=\"1\" frame=box cellspacing=\"0\" cellpadding=4>\r\n"
      " <tr class=\"default\">\r\n"
      " <td class=\"normalborder\"  height=\"18px\" align=left>Node</td> </tr>\r\n"
      "</table>";
  EXPECT_EQ(Tree.HTMLOfContent(TST::tstAll), expected);
}

TEST_F(ExportTest, HTMLOfANodeAtLevelTwoOfThreeHasTwoIndentCellsAndColspanTwo) {
  Tree.SetRootNodeCount(1);
  PVirtualNode run = NodeAt(Tree, {0});
  for (int level = 1; level <= 3; ++level) {
    Tree.SetChildCount(run, 1);
    run = run->FirstChild;
  }
  Texts = {{"0.0.0", {L"level two"}}};
  const std::string html = Tree.HTMLOfContent(TST::tstAll);
  const std::string row = " <td height=\"18px\">&nbsp;</td> <td>&nbsp;</td> <td class=\"normalborder\"  height=\"18px\" "
                          "align=left colspan=\"2\">level two</td>";
  EXPECT_NE(html.find(row), std::string::npos) << html;
}

TEST_F(ExportTest, RTFWritesCharactersAboveTheSignedRangeAsNegative) {
  Tree.SetRootNodeCount(1);
  Texts = {{"0", {L"A\x9C40"}}};
  const std::string rtf = Tree.RTFOfContent(TST::tstAll);
  const std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red0\\green0\\blue0;}";
  EXPECT_EQ(rtf.substr(0, head.size()), head);
  EXPECT_NE(rtf.find("\\f0\\cf1\\fs18 \\u65\\'3f\\u-25536\\'3f\\cell\\row\\pard\\par}"), std::string::npos) << rtf;
}

TEST_F(ExportTest, OnlyCheckedNodesWithEmChecked) {
  Tree.SetRootNodeCount(3);
  Texts = {{"0", {L"one"}}, {"1", {L"two"}}, {"2", {L"three"}}};
  Tree.SetCheckType(NodeAt(Tree, {1}), TCheckType::ctCheckBox);
  Tree.SetCheckState(NodeAt(Tree, {1}), TCheckState::csCheckedNormal);
  Tree.TreeOptions()->SetExportMode(TVTExportMode::emChecked);
  EXPECT_EQ(Tree.TextOfContent(TST::tstAll, "\t"), "two\r\n");
  const std::string html = Tree.HTMLOfContent(TST::tstAll);
  EXPECT_EQ(html.find(">one<"), std::string::npos);
  EXPECT_NE(html.find(">two<"), std::string::npos);
  EXPECT_EQ(Tree.RTFOfContent(TST::tstAll).find("\\u110\\'3f\\u101\\'3f"), std::string::npos);  // the "ne" of one
  EXPECT_EQ(Tree.UnicodeTextOfContent(TST::tstAll, L"\t"), L"one\r\ntwo\r\nthree\r\n");
}

TEST_F(ExportTest, EmptyExportsKeepTheirFramesAndRenderNothing) {
  Tree.SetRootNodeCount(2);
  const std::string html = Tree.HTMLOfContent(TST::tstSelected);
  EXPECT_EQ(html.substr(0, 6), "<META ");
  EXPECT_EQ(html.substr(html.size() - 8), "</table>");
  EXPECT_EQ(html.find("<tr"), std::string::npos);
  const std::string rtf = Tree.RTFOfContent(TST::tstSelected);
  const std::string head = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1043{\\fonttbl}{\\colortbl;}\\uc1\\trowd\\trgaph70\\cellx";
  EXPECT_EQ(rtf.substr(0, head.size()), head);
  EXPECT_EQ(rtf.substr(rtf.size() - 10), "\\pard\\par}");
  EXPECT_EQ(rtf.find("\\row"), std::string::npos);
  for (CLIPFORMAT format : {CLIPFORMAT(CF_TEXT), CLIPFORMAT(CF_UNICODETEXT)}) {
    FORMATETC request{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    EXPECT_EQ(Tree.RenderOLEData(request, medium, false), E_FAIL);
  }
}

TEST_F(ExportTest, TheCFHTMLBlockPlacesItsFragmentAt269) {
  const std::string html = "<b>x</b>";
  const std::string block = TCustomVirtualStringTree::WrapTreeCFHTML(html);
  EXPECT_EQ(block.substr(0, 97),
            "Version:1.0\r\nStartHTML:00000097\r\nEndHTML:00000309\r\nStartFragment:00000269\r\nEndFragment:00000277\r\n");
  EXPECT_EQ(block.substr(97, 9), "<!DOCTYPE");
  EXPECT_EQ(block.substr(269, html.size()), html);
  EXPECT_EQ(block.substr(277, 17), "<!--EndFragment--");
  EXPECT_EQ(block.size(), 309u);
}

TEST_F(ExportTest, TextsAndFontNamesAreEscapedForTheirMarkup) {
  AddColumns({L"<th>"});
  Tree.SetRootNodeCount(1);
  Texts = {{"0", {L"a<b>&\"c\""}}};
  Tree.Font()->SetName("Odd{\\}Font");
  const std::string html = Tree.HTMLOfContent(TST::tstAll, L"\"cap\"");
  EXPECT_NE(html.find(">a&lt;b&gt;&amp;&quot;c&quot;</td>"), std::string::npos) << html;
  EXPECT_NE(html.find(">&lt;th&gt;</th>"), std::string::npos);
  EXPECT_NE(html.find("caption=\"&quot;cap&quot;\""), std::string::npos);
  EXPECT_EQ(html.find("<b>"), std::string::npos);
  const std::string rtf = Tree.RTFOfContent(TST::tstAll);
  EXPECT_NE(rtf.find(" Odd\\{\\\\\\}Font;}"), std::string::npos) << rtf;
}

TEST_F(ExportTest, NodeEventsSkipAndFollowTheirNodes) {
  Tree.SetRootNodeCount(3);
  std::vector<std::string> events;
  Tree.OnBeforeNodeExport = TVTNodeExportEvent::Lambda([&](TBaseVirtualTree*, TVTExportType, PVirtualNode n) {
    events.push_back("before " + NodePath(n, Tree));
    return n->IndexInParent != 1;
  });
  Tree.OnAfterNodeExport = TVTNodeExportedEvent::Lambda(
      [&](TBaseVirtualTree*, TVTExportType, PVirtualNode n) { events.push_back("after " + NodePath(n, Tree)); });
  EXPECT_EQ(Tree.TextOfContent(TST::tstAll, ","), "Node\r\nNode\r\n");
  EXPECT_EQ(events, (std::vector<std::string>{"before 0", "after 0", "before 1", "before 2", "after 2"}));
}

TEST_F(ExportTest, TheSelectedNodesRenderAsEveryTextFormat) {
  Tree.SetRootNodeCount(2);
  Texts = {{"0", {L"first"}}, {"1", {L"second"}}};
  Tree.SetSelected(NodeAt(Tree, {1}), true);
  struct Case {
    const char* name;
    std::string expected;  // the rendered block begins so
  } cases[] = {
      {"CSV", "second\r\n"},
      {"Rich Text Format", "{\\rtf1"},
      {"Rich Text Format Without Objects", "{\\rtf1"},
      {"HTML Format", "Version:1.0\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FORMATETC request{static_cast<CLIPFORMAT>(RegisterClipboardFormatA(c.name)), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium{};
    ASSERT_EQ(Tree.RenderOLEData(request, medium, false), S_OK);
    const auto* bytes = static_cast<const char*>(GlobalLock(medium.hGlobal));
    const std::string block(bytes, GlobalSize(medium.hGlobal));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    EXPECT_EQ(block.substr(0, c.expected.size()), c.expected);
    EXPECT_EQ(block.back(), '\0');
  }
  FORMATETC text{CF_TEXT, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
  STGMEDIUM medium{};
  ASSERT_EQ(Tree.RenderOLEData(text, medium, false), S_OK);
  EXPECT_EQ(GlobalSize(medium.hGlobal), 9u);
  ReleaseStgMedium(&medium);
}
}  // namespace
