// The tree's window: scroll bars and scroll messages, the wheel, re-creating
// and moving the window, the defaults of a new tree and its small option
// objects.
#include "tests/vtree/TreeChecker.h"

#include "platform/Filer.h"
#include "platform/FormResource.h"
#include "platform/ImageList.h"
#include "platform/Stream.h"
#include "vtree/ClipboardFormats.h"
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeColumns.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

class WindowTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);
    Tree.OnScroll = TVTScrollEvent::Lambda([this](TBaseVirtualTree*, int dx, int dy) { Scrolls.emplace_back(dx, dy); });
  }
  // 100 rows of 18 pixels in a 200 x 100 window.
  void Fill(uint32_t count = 100) {
    Tree.SetRootNodeCount(count);
    Host.Place(Tree, 200, 100);
    EXPECT_TRUE(TreeIsConsistent(Tree));
  }
  void Scroll(UINT msg, int code) { SendMessageA(Tree.Handle(), msg, MAKEWPARAM(code, 0), 0); }
  int ScrollPos(int bar) { return GetScrollPos(Tree.Handle(), bar); }
  TreeHost Host;
  TBaseVirtualTree Tree{nullptr};
  std::vector<std::pair<int, int>> Scrolls;
};

TEST_F(WindowTest, ScrollBarCodesMoveTheContent) {
  Fill();
  const int client = Tree.ClientHeight();
  const int range = 100 * 18;
  EXPECT_EQ(Tree.RangeY(), range);
  EXPECT_TRUE(GetWindowLongA(Tree.Handle(), GWL_STYLE) & WS_VSCROLL);
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  GetScrollInfo(Tree.Handle(), SB_VERT, &info);
  EXPECT_EQ(info.nMax, range);
  EXPECT_EQ(info.nPage, static_cast<UINT>(client + 1));
  struct Case {
    const char* Name;
    int Code;
    int Offset;
  } cases[] = {
      {"bottom", SB_BOTTOM, client - range},
      {"top", SB_TOP, 0},
      {"line down", SB_LINEDOWN, -20},
      {"page down", SB_PAGEDOWN, -20 - client},
      {"page up", SB_PAGEUP, -20},
      {"line up", SB_LINEUP, 0},
      {"line up at the top", SB_LINEUP, 0},
  };
  for (const Case& c : cases) {
    Scroll(WM_VSCROLL, c.Code);
    EXPECT_EQ(Tree.OffsetY(), c.Offset) << c.Name;
    EXPECT_EQ(ScrollPos(SB_VERT), -c.Offset) << c.Name;
    EXPECT_TRUE(TreeIsConsistent(Tree));
  }
  // The thumb takes the bar's track position.
  SetScrollPos(Tree.Handle(), SB_VERT, 300, FALSE);
  SendMessageA(Tree.Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 300), 0);
  EXPECT_TRUE(Tree.TreeStates().Contains(TVirtualTreeState::tsThumbTracking));
  Scroll(WM_VSCROLL, SB_ENDSCROLL);
  EXPECT_FALSE(Tree.TreeStates().Contains(TVirtualTreeState::tsThumbTracking));
}

TEST_F(WindowTest, HorizontalScrollingFollowsTheColumns) {
  TVirtualTreeColumns* columns = Tree.Header()->Columns();
  columns->Add()->SetWidth(150);
  columns->Add()->SetWidth(150);
  TVTHeaderOptions options = Tree.Header()->Options();
  options.Include(TVTHeaderOption::hoVisible);
  Tree.Header()->SetOptions(options);
  Fill();
  EXPECT_EQ(Tree.RangeX(), 300);
  Scroll(WM_HSCROLL, SB_RIGHT);
  EXPECT_EQ(Tree.OffsetX(), Tree.ClientWidth() - 300);
  EXPECT_EQ(ScrollPos(SB_HORZ), 300 - Tree.ClientWidth());
  Scroll(WM_HSCROLL, SB_LEFT);
  EXPECT_EQ(Tree.OffsetX(), 0);
  Scroll(WM_HSCROLL, SB_LINERIGHT);
  EXPECT_EQ(Tree.OffsetX(), -20);
}

// A notch of the wheel scrolls as many rows as the system says lines.
TEST_F(WindowTest, WheelNotchScrollsTheSystemsLines) {
  Fill();
  UINT lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
  ASSERT_EQ(lines, 3u);
  RECT window;
  GetWindowRect(Tree.Handle(), &window);
  SendMessageA(Tree.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)),
               MAKELPARAM(window.left + 10, window.top + 10));
  EXPECT_EQ(Tree.OffsetY(), -3 * 18);
  SendMessageA(Tree.Handle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(window.left + 10, window.top + 10));
  EXPECT_EQ(Tree.OffsetY(), 0);
}

// A request beyond the content stops at its end and reports what moved,
// once; a request that moves nothing reports nothing.
TEST_F(WindowTest, OnScrollReportsTheActualDeltasOnce) {
  Fill();
  const int last = Tree.ClientHeight() - Tree.RangeY();
  Tree.SetOffsetY(-100000);
  ASSERT_EQ(Scrolls.size(), 1u);
  EXPECT_EQ(Scrolls[0], std::make_pair(0, last));
  EXPECT_EQ(Tree.OffsetY(), last);
  Tree.SetOffsetY(-100000);
  Tree.SetOffsetY(last);
  EXPECT_EQ(Scrolls.size(), 1u);
  Tree.SetOffsetY(100);
  ASSERT_EQ(Scrolls.size(), 2u);
  EXPECT_EQ(Scrolls[1], std::make_pair(0, -last));
}

TEST_F(WindowTest, ScrollBarsAppearWithTheContentAndReportIt) {
  std::vector<std::pair<int, bool>> shown;
  Tree.OnShowScrollbar = TVTScrollBarShowEvent::Lambda([&](TBaseVirtualTree*, int bar, bool show) { shown.emplace_back(bar, show); });
  Fill(2);
  EXPECT_FALSE(GetWindowLongA(Tree.Handle(), GWL_STYLE) & WS_VSCROLL);
  Tree.SetRootNodeCount(50);
  EXPECT_TRUE(GetWindowLongA(Tree.Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_NE(std::find(shown.begin(), shown.end(), std::make_pair(int{SB_VERT}, true)), shown.end());
  Tree.SetRootNodeCount(1);
  EXPECT_FALSE(GetWindowLongA(Tree.Handle(), GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(Tree.OffsetY(), 0);
  // AlwaysVisible keeps the bar, disabled.
  Tree.ScrollBarOptions()->SetAlwaysVisible(true);
  EXPECT_TRUE(GetWindowLongA(Tree.Handle(), GWL_STYLE) & WS_VSCROLL);
}

// Which bars a tree has is a window style: changing it makes the window anew.
TEST_F(WindowTest, ChangingScrollBarsRecreatesTheWindow) {
  Fill();
  Tree.SetSelected(Tree.FirstNode(), true);
  Scroll(WM_VSCROLL, SB_PAGEDOWN);
  const HWND before = Tree.Handle();
  Tree.ScrollBarOptions()->SetScrollBars(TScrollStyle::ssHorizontal);
  const HWND after = Tree.Handle();
  EXPECT_NE(before, after);
  EXPECT_FALSE(IsWindow(before));
  EXPECT_FALSE(GetWindowLongA(after, GWL_STYLE) & WS_VSCROLL);
  EXPECT_EQ(Tree.SelectedCount(), 1u);
  EXPECT_EQ(Tree.RootNodeCount(), 100u);
  EXPECT_TRUE(TreeIsConsistent(Tree));
}

// Moving a tree to another parent (as between two pages of a page control)
// keeps its nodes, selection and offsets.
TEST_F(WindowTest, MovingToAnotherParentKeepsNodesSelectionAndOffsets) {
  Fill();
  PVirtualNode third = Tree.NextSiblingNode(Tree.NextSiblingNode(Tree.FirstNode()));
  Tree.SetSelected(third, true);
  Tree.SetFocusedNode(third);
  Scroll(WM_VSCROLL, SB_PAGEDOWN);
  const int32_t offset = Tree.OffsetY();
  ASSERT_LT(offset, 0);
  TreeHost other;
  other.Place(Tree, 200, 100);
  EXPECT_EQ(GetParent(Tree.Handle()), other.Handle());
  EXPECT_EQ(Tree.RootNodeCount(), 100u);
  EXPECT_TRUE(Tree.Selected(third));
  EXPECT_EQ(Tree.FocusedNode(), third);
  EXPECT_EQ(Tree.OffsetY(), offset);
  EXPECT_EQ(ScrollPos(SB_VERT), -offset);
  EXPECT_TRUE(TreeIsConsistent(Tree));
}

TEST(TreeDefaults, ANewTree) {
  int sizeAsked = 0;
  TBaseVirtualTree tree(nullptr);
  tree.OnGetNodeDataSize = TVTGetNodeDataSizeEvent::Lambda([&](TBaseVirtualTree*, int32_t& size) {
    ++sizeAsked;
    size = 8;
  });
  EXPECT_EQ(tree.Width(), 200);
  EXPECT_EQ(tree.Height(), 100);
  EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
  EXPECT_EQ(tree.Indent(), 18u);
  EXPECT_EQ(tree.BorderStyle(), bsSingle);
  EXPECT_EQ(tree.ScrollBarOptions()->ScrollBars(), TScrollStyle::ssBoth);
  EXPECT_EQ(tree.ScrollBarOptions()->VerticalIncrement(), 20);
  EXPECT_EQ(tree.NodeDataSize(), -1);
  EXPECT_EQ(sizeAsked, 0);
  tree.SetRootNodeCount(1);
  EXPECT_EQ(sizeAsked, 1);
  EXPECT_EQ(tree.NodeDataSize(), 8);
  tree.SetRootNodeCount(2);
  EXPECT_EQ(sizeAsked, 1);
  tree.SetDefaultNodeHeight(0);
  EXPECT_EQ(tree.DefaultNodeHeight(), 18u);
  EXPECT_TRUE(TreeIsConsistent(tree));
}

TEST(TreeDefaults, AFreedImageListLeavesNoImages) {
  TBaseVirtualTree tree(nullptr);
  auto* images = new TCustomImageList(nullptr);
  auto* states = new TCustomImageList(nullptr);
  tree.SetImages(images);
  tree.SetStateImages(states);
  delete images;
  EXPECT_EQ(tree.Images(), nullptr);
  EXPECT_EQ(tree.StateImages(), states);
  delete states;
  EXPECT_EQ(tree.StateImages(), nullptr);
}

TEST(TreeClipboardFormats, OnlyRegisteredNamesAreKept) {
  TBaseVirtualTree tree(nullptr);
  TClipboardFormats* formats = tree.ClipboardFormats();
  EXPECT_EQ(formats->Add("Virtual Tree Data"), 0);
  EXPECT_EQ(formats->Add("virtual tree data"), 0);  // no duplicates
  EXPECT_EQ(formats->Count(), 1);
  // "CSV" belongs to the string tree, not to this class.
  EXPECT_EQ(formats->Add("CSV"), -1);
  EXPECT_EQ(formats->Add("No such format"), -1);
  EXPECT_EQ(formats->Count(), 1);
}

TEST(TreeWindowStyles, ScrollBarsBordersAndRepaintOnResize) {
  struct Case {
    TScrollStyle Bars;
    bool Ctl3D;
    DWORD Style, ExStyle;
  } cases[] = {
      {TScrollStyle::ssBoth, true, WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CLIENTEDGE},
      {TScrollStyle::ssNone, false, WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_BORDER, 0},
  };
  for (const Case& c : cases) {
    TreeHost host;
    TBaseVirtualTree tree(nullptr);
    tree.ScrollBarOptions()->SetScrollBars(c.Bars);
    tree.SetCtl3D(c.Ctl3D);
    host.Place(tree, 200, 100);
    const DWORD style = GetWindowLongA(tree.Handle(), GWL_STYLE);
    const DWORD ex = GetWindowLongA(tree.Handle(), GWL_EXSTYLE);
    EXPECT_EQ(style & c.Style, c.Style);
    EXPECT_EQ(ex & WS_EX_CLIENTEDGE, c.ExStyle);
    if (c.Bars == TScrollStyle::ssNone) {
      EXPECT_FALSE(style & (WS_VSCROLL | WS_HSCROLL));
    }
    // toFullRepaintOnResize is on by default: the whole window repaints on resizing.
    EXPECT_EQ(GetClassLongA(tree.Handle(), GCL_STYLE) & (CS_HREDRAW | CS_VREDRAW), CS_HREDRAW | CS_VREDRAW);
  }
}

// A tree as a form stores it: header, columns, options, colours and the
// clipboard formats, read and written back unchanged.
TEST(TreeForms, ATreeLoadsAndWritesBackUnchanged) {
  const AnsiString text =
      "object Tree: TBaseVirtualTree\r\n"
      "  Left = 8\r\n"
      "  Top = 16\r\n"
      "  Width = 320\r\n"
      "  Height = 240\r\n"
      "  BorderStyle = bsNone\r\n"
      "  ButtonStyle = bsTriangle\r\n"
      "  ClipboardFormats.Strings = (\r\n"
      "    'Virtual Tree Data')\r\n"
      "  Colors.BorderColor = clRed\r\n"
      "  Colors.GridLineColor = clSilver\r\n"
      "  DefaultNodeHeight = 20\r\n"
      "  Header.AutoSizeIndex = 1\r\n"
      "  Header.Height = 21\r\n"
      "  Header.Options = [hoColumnResize, hoDrag, hoShowSortGlyphs, hoVisible]\r\n"
      "  Header.SortColumn = 0\r\n"
      "  Header.Style = hsFlatButtons\r\n"
      "  Indent = 16\r\n"
      "  RootNodeCount = 5\r\n"
      "  ScrollBarOptions.ScrollBars = ssVertical\r\n"
      "  TabOrder = 0\r\n"
      "  TabStop = True\r\n"
      "  TreeOptions.MiscOptions = [toAcceptOLEDrop, toCheckSupport, toFullRepaintOnResize, toInitOnSave, "
      "toToggleOnDblClick, toWheelPanning, toEditOnClick]\r\n"
      "  TreeOptions.PaintOptions = [toShowButtons, toShowDropmark, toShowHorzGridLines, toShowRoot, toShowTreeLines, "
      "toThemeAware, toUseBlendedImages]\r\n"
      "  TreeOptions.SelectionOptions = [toFullRowSelect, toMultiSelect]\r\n"
      "  Columns = <\r\n"
      "    item\r\n"
      "      Position = 0\r\n"
      "      Width = 120\r\n"
      "      WideText = 'Title'\r\n"
      "    end\r\n"
      "    item\r\n"
      "      Position = 1\r\n"
      "      Width = 80\r\n"
      "      WideText = 'Date'\r\n"
      "    end>\r\n"
      "end\r\n";
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TBaseVirtualTree tree(nullptr);
  ReadComponentFromStream(binary, &tree);
  EXPECT_EQ(tree.RootNodeCount(), 5u);
  EXPECT_EQ(tree.DefaultNodeHeight(), 20u);
  EXPECT_EQ(tree.Indent(), 16u);
  EXPECT_EQ(tree.BorderStyle(), bsNone);
  EXPECT_EQ(tree.ButtonStyle(), TVTButtonStyle::bsTriangle);
  EXPECT_EQ(tree.Colors()->BorderColor(), clRed);
  EXPECT_EQ(tree.ScrollBarOptions()->ScrollBars(), TScrollStyle::ssVertical);
  EXPECT_EQ(tree.ClipboardFormats()->Count(), 1);
  EXPECT_EQ(tree.Header()->Columns()->Count(), 2);
  EXPECT_EQ(tree.Header()->Columns()->Items(1)->Text(), L"Date");
  EXPECT_EQ(tree.Header()->Style(), TVTHeaderStyle::hsFlatButtons);
  EXPECT_TRUE(tree.TreeOptions()->SelectionOptions().Contains(TVTSelectionOption::toMultiSelect));
  EXPECT_TRUE(TreeIsConsistent(tree));
  EXPECT_EQ(tree.Header()->AutoSizeIndex(), 1);  // read before the columns, kept by them
  EXPECT_EQ(tree.Header()->SortColumn(), 0);
  // What it writes reads back into a tree that writes the same.
  TMemoryStream written;
  WriteComponentToStream(written, &tree);
  written.SetPosition(0);
  const AnsiString first = ObjectBinaryToText(written);
  for (const char* line : {"Header.AutoSizeIndex = 1", "Header.SortColumn = 0", "Colors.BorderColor = clRed",
                           "ClipboardFormats.Strings = ('Virtual Tree Data')", "ScrollBarOptions.ScrollBars = ssVertical",
                           "TreeOptions.SelectionOptions = [toFullRowSelect, toMultiSelect]", "WideText = 'Date'"})
    EXPECT_NE(std::string(first.c_str()).find(line), std::string::npos) << line;
  written.SetPosition(0);
  TBaseVirtualTree again(nullptr);
  ReadComponentFromStream(written, &again);
  TMemoryStream rewritten;
  WriteComponentToStream(rewritten, &again);
  rewritten.SetPosition(0);
  EXPECT_EQ(ObjectBinaryToText(rewritten), first);
}

// Once loaded, the main column names one of the columns read and the
// auto-size column fills what the others leave.
TEST(TreeForms, LoadingClampsTheMainColumnAndFitsTheAutoSizeColumn) {
  const AnsiString text =
      "object Tree: TBaseVirtualTree\r\n"
      "  Width = 300\r\n"
      "  Header.AutoSizeIndex = 0\r\n"
      "  Header.MainColumn = 5\r\n"
      "  Header.Options = [hoAutoResize, hoColumnResize, hoDrag, hoShowSortGlyphs, hoVisible]\r\n"
      "  Columns = <\r\n"
      "    item\r\n"
      "      Position = 0\r\n"
      "      Width = 50\r\n"
      "    end\r\n"
      "    item\r\n"
      "      Position = 1\r\n"
      "      Width = 80\r\n"
      "    end>\r\n"
      "end\r\n";
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TBaseVirtualTree tree(nullptr);
  ReadComponentFromStream(binary, &tree);
  EXPECT_EQ(tree.Header()->MainColumn(), 1);
  // Without a window the control's width counts: 300 less the other column.
  EXPECT_EQ(tree.Header()->Columns()->Items(0)->Width(), 300 - 80);
}

// Forms of earlier versions hold one set of options; it is read into the
// five sets and never written.
TEST(TreeForms, TheOldSingleOptionSetIsRead) {
  const AnsiString text =
      "object Tree: TBaseVirtualTree\r\n"
      "  Options = [voCheckSupport, voMultiSelect, voShowRoot]\r\n"
      "end\r\n";
  TMemoryStream binary;
  ObjectTextToBinary(text, binary);
  binary.SetPosition(0);
  TBaseVirtualTree tree(nullptr);
  ReadComponentFromStream(binary, &tree);
  TCustomVirtualTreeOptions* options = tree.TreeOptions();
  EXPECT_TRUE(options->MiscOptions().Contains(TVTMiscOption::toCheckSupport));
  EXPECT_TRUE(options->SelectionOptions().Contains(TVTSelectionOption::toMultiSelect));
  EXPECT_TRUE(options->PaintOptions().Contains(TVTPaintOption::toShowRoot));
  EXPECT_FALSE(options->PaintOptions().Contains(TVTPaintOption::toShowButtons));  // every set cleared first
}

}  // namespace

// Turning the reading order round keeps the content where it is, counts the
// horizontal position from the other side, hands the mode to the columns
// that follow the tree and, with toAutoBidiColumnOrdering, reverses the
// columns' display order.
TEST_F(WindowTest, ChangingTheReadingOrderLaysTheColumnsOutAgain) {
  TVirtualTreeColumns* columns = Tree.Header()->Columns();
  for (int i = 0; i < 3; ++i) columns->Add()->SetWidth(200);
  columns->Items(2)->SetOptions(columns->Items(2)->Options() - TVTColumnOption::coParentBidiMode);
  TVTHeaderOptions options = Tree.Header()->Options();
  options.Include(TVTHeaderOption::hoVisible);
  Tree.Header()->SetOptions(options);
  TVTAutoOptions autoOptions = Tree.TreeOptions()->AutoOptions();
  autoOptions.Include(TVTAutoOption::toAutoBidiColumnOrdering);
  Tree.TreeOptions()->SetAutoOptions(autoOptions);
  Tree.SetRootNodeCount(2);
  Host.Place(Tree, 200, 100);
  const int client = Tree.ClientWidth();
  Tree.SetEffectiveOffsetX(100);
  ASSERT_EQ(Tree.OffsetX(), -100);
  ASSERT_EQ(ScrollPos(SB_HORZ), 100);

  Tree.SetBiDiMode(bdRightToLeft);
  EXPECT_EQ(Tree.OffsetX(), -100);
  EXPECT_EQ(Tree.EffectiveOffsetX(), 600 - 100 - client);
  EXPECT_EQ(ScrollPos(SB_HORZ), 600 - 100 - client);
  EXPECT_EQ(columns->Items(0)->Position(), 2u);
  EXPECT_EQ(columns->Items(1)->Position(), 1u);
  EXPECT_EQ(columns->Items(2)->Position(), 0u);
  EXPECT_EQ(columns->Items(0)->BiDiMode(), bdRightToLeft);
  EXPECT_EQ(columns->Items(2)->BiDiMode(), bdLeftToRight);  // it has its own
  EXPECT_TRUE(GetWindowLongA(Tree.Handle(), GWL_EXSTYLE) & WS_EX_RTLREADING);

  Tree.SetBiDiMode(bdLeftToRight);
  EXPECT_EQ(Tree.EffectiveOffsetX(), 100);
  EXPECT_EQ(ScrollPos(SB_HORZ), 100);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(columns->Items(i)->Position(), static_cast<TColumnPosition>(i));
  EXPECT_EQ(columns->Items(0)->BiDiMode(), bdLeftToRight);

  // Without the option the order stays.
  autoOptions.Exclude(TVTAutoOption::toAutoBidiColumnOrdering);
  Tree.TreeOptions()->SetAutoOptions(autoOptions);
  Tree.SetBiDiMode(bdRightToLeft);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(columns->Items(i)->Position(), static_cast<TColumnPosition>(i));
}

namespace {
// With hoAutoResize the auto-size column fills what the others leave of the
// client width, also when the vertical scroll bar comes or goes.
TEST(TreeAutoResize, TheAutoSizeColumnFollowsTheVerticalScrollBar) {
  TreeHost host;
  TBaseVirtualTree tree{nullptr};
  tree.SetBorderStyle(bsNone);
  TVTHeader* header = tree.Header();
  for (int width : {60, 60}) header->Columns()->Add()->SetWidth(width);
  header->SetAutoSizeIndex(1);
  header->SetOptions(header->Options() + TVTHeaderOption::hoVisible + TVTHeaderOption::hoAutoResize);
  tree.SetRootNodeCount(3);
  host.Place(tree, 200, 120);
  auto columnsWidth = [&] { return header->Columns()->Items(0)->Width() + header->Columns()->Items(1)->Width(); };
  auto barShown = [&] { return (GetWindowLongA(tree.Handle(), GWL_STYLE) & WS_VSCROLL) != 0; };
  struct Case {
    const char* Name;
    uint32_t Rows;
    bool Bar;
  } cases[] = {{"rows fit", 3, false}, {"rows overflow: the bar comes", 100, true}, {"the bar goes", 2, false},
               {"the bar comes again", 50, true}};
  for (const Case& c : cases) {
    tree.SetRootNodeCount(c.Rows);
    EXPECT_EQ(barShown(), c.Bar) << c.Name;
    EXPECT_EQ(columnsWidth(), tree.ClientWidth()) << c.Name;
  }
  // A window resized while the bar goes away at the same time.
  tree.SetRootNodeCount(8);
  SetWindowPos(tree.Handle(), nullptr, 0, 0, 220, 100, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(barShown());
  EXPECT_EQ(columnsWidth(), tree.ClientWidth());
  SetWindowPos(tree.Handle(), nullptr, 0, 0, 240, 300, SWP_NOMOVE | SWP_NOZORDER);
  EXPECT_FALSE(barShown());
  EXPECT_EQ(columnsWidth(), tree.ClientWidth());
}
}  // namespace
