// Painting of the tree window: rows rendered through WM_PRINTCLIENT into a
// 32-bit DIB and probed pixel by pixel.
#include "tests/vtree/TreeChecker.h"

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "foundation/UxTheme.h"
#include "platform/ImageList.h"
#include "vtree/VirtualTree.h"
#include "vtree/VirtualTreeColumns.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vssym32.h>

namespace {
using PO = TVTPaintOption;
using IPO = TVTInternalPaintOption;
using testing_support::Image;
using testing_support::Rgb;

constexpr COLORREF Red = RGB(255, 0, 0);
constexpr COLORREF Green = RGB(0, 160, 0);
constexpr COLORREF Blue = RGB(0, 0, 255);
constexpr COLORREF White = RGB(255, 255, 255);

// Stands in for the string tree: each cell shows "r<row>c<column>".
class TTextTree : public TBaseVirtualTree {
public:
  using TBaseVirtualTree::TBaseVirtualTree;
  static std::string CellText(TBaseVirtualTree* tree, PVirtualNode node, TColumnIndex column) {
    return NodePath(node, *tree) + "/" + std::to_string(column < 0 ? 0 : column);
  }
  // The width the painting gives a node's selection (text and text margins).
  int32_t SelectionWidth(PVirtualNode node) {
    TMemoryDC dc(nullptr);
    TCanvas canvas;
    canvas.SetHandle(dc.Get());
    canvas.Font()->Assign(Font());
    const int32_t width = NodeContentWidth(node, NoColumn, &canvas);
    canvas.SetHandle(nullptr);
    return width;
  }

protected:
  void RenderNodeContent(TVTPaintInfo& info) override {
    const std::string text = CellText(this, info.Node, info.Column);
    RECT r = info.ContentRect;
    r.left += TextMargin();
    info.Canvas->Font()->SetColor(info.Node->StateBits.Contains(TVirtualNodeState::nsSelected) ? clHighlightText
                                                                                                 : clWindowText);
    DrawTextA(info.Canvas->Handle(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  int32_t NodeContentWidth(PVirtualNode node, TColumnIndex column, TCanvas* canvas) override {
    return canvas->TextWidth(CellText(this, node, column).c_str()) + 2 * TextMargin();
  }
};

// A 32-bit DIB section the tree prints its client area into.
class Dib {
public:
  Dib(int width, int height, COLORREF fill = RGB(1, 2, 3)) : FWidth(width), FHeight(height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    FBitmap.Reset(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    FSelect.Select(FDC.Get(), FBitmap.Get());
    const RECT all{0, 0, width, height};
    TGdiObject brush(CreateSolidBrush(fill));
    FillRect(FDC.Get(), &all, static_cast<HBRUSH>(brush.Get()));
  }
  HDC DC() const { return FDC.Get(); }
  Image Read() const { return testing_support::ReadPixels(FDC.Get(), RECT{0, 0, FWidth, FHeight}); }

private:
  int FWidth, FHeight;
  TMemoryDC FDC;
  TGdiObject FBitmap;
  TSelectObjectGuard FSelect;
};

Image Print(TBaseVirtualTree& tree) {
  Dib dib(tree.ClientWidth(), tree.ClientHeight());
  SendMessageA(tree.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), PRF_CLIENT);
  return dib.Read();
}

class PaintTest : public ::testing::Test {
protected:
  void SetUp() override {
    Tree.SetBorderStyle(bsNone);  // the client area is the whole window the tests give the tree
    Tree.SetColor(static_cast<TColor>(White));
    TVTPaintOptions paint = Tree.TreeOptions()->PaintOptions();
    paint.Exclude(PO::toThemeAware);
    Tree.TreeOptions()->SetPaintOptions(paint);
  }
  void SetPaint(std::initializer_list<PO> on, std::initializer_list<PO> off = {}) {
    TVTPaintOptions paint = Tree.TreeOptions()->PaintOptions();
    for (PO o : on) paint.Include(o);
    for (PO o : off) paint.Exclude(o);
    Tree.TreeOptions()->SetPaintOptions(paint);
  }
  void TwoColumns(int width0 = 100, int width1 = 100) {
    TVirtualTreeColumns* columns = Tree.Header()->Columns();
    columns->Add()->SetWidth(width0);
    columns->Add()->SetWidth(width1);
  }
  TreeHost Host;
  TTextTree Tree{nullptr};
};

TEST_F(PaintTest, GridLinesTakeEachCellsLastRowAndColumn) {
  TwoColumns(100, 100);
  SetPaint({PO::toShowHorzGridLines, PO::toShowVertGridLines});
  Tree.SetLineStyle(TVTLineStyle::lsSolid);
  Tree.Colors()->SetColor(TVTColors::GridLineColorIndex, static_cast<TColor>(Red));
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 300, 100);
  const Image image = Print(Tree);
  // The last row of each node and the last column of each column.
  EXPECT_EQ(image.At(50, 17), Rgb(Red));
  EXPECT_EQ(image.At(150, 35), Rgb(Red));
  EXPECT_EQ(image.At(99, 5), Rgb(Red));
  EXPECT_EQ(image.At(199, 5), Rgb(Red));
  EXPECT_NE(image.At(150, 16), Rgb(Red));
  // Below the last node no horizontal lines; vertical ones only with toFullVertGridLines.
  EXPECT_EQ(image.At(99, 80), Rgb(White));
  SetPaint({PO::toFullVertGridLines});
  EXPECT_EQ(Print(Tree).At(99, 80), Rgb(Red));
}

TEST_F(PaintTest, DottedTreeLinesJoinAcrossOddAndEvenRowHeights) {
  SetPaint({PO::toShowTreeLines, PO::toShowRoot}, {PO::toShowButtons});
  Tree.Colors()->SetColor(TVTColors::TreeLineColorIndex, static_cast<TColor>(Red));
  Tree.SetRootNodeCount(4);
  PVirtualNode first = Tree.FirstNode();
  Tree.SetNodeHeight(first, 17);
  Tree.SetNodeHeight(Tree.NextNode(first), 18);
  Tree.SetNodeHeight(Tree.NextNode(Tree.NextNode(first)), 19);
  Host.Place(Tree, 200, 100);
  const Image image = Print(Tree);
  const int x = static_cast<int>(Tree.Indent()) / 2;
  // The vertical line through the first three rows (17 + 18 + 19 pixels):
  // every other pixel, with no two neighbours alike across row borders.
  int shown = 0;
  for (int y = 9; y < 17 + 18 + 19; ++y) {
    EXPECT_NE(image.At(x, y) == Rgb(Red), image.At(x, y + 1) == Rgb(Red)) << "at y " << y;
    shown += image.At(x, y) == Rgb(Red);
  }
  EXPECT_GT(shown, 20);
  // Solid lines show every pixel.
  Tree.SetLineStyle(TVTLineStyle::lsSolid);
  const Image solid = Print(Tree);
  for (int y = 9; y < 17 + 18 + 19; ++y) EXPECT_EQ(solid.At(x, y), Rgb(Red)) << "at y " << y;
}

TEST_F(PaintTest, SelectionUsesFocusedOrUnfocusedColours) {
  Tree.Colors()->SetColor(TVTColors::FocusedSelectionColorIndex, static_cast<TColor>(Blue));
  Tree.Colors()->SetColor(TVTColors::FocusedSelectionBorderColorIndex, static_cast<TColor>(Blue));
  Tree.Colors()->SetColor(TVTColors::UnfocusedSelectionColorIndex, static_cast<TColor>(Green));
  Tree.Colors()->SetColor(TVTColors::UnfocusedSelectionBorderColorIndex, static_cast<TColor>(Green));
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot});
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode second = Tree.NextNode(Tree.FirstNode());
  Tree.SetSelected(second, true);
  // Inside the content rectangle, past the margin, near the top of the row.
  const int x = Tree.Margin() + 1, y = 18 + 1;
  EXPECT_EQ(Print(Tree).At(x, y), Rgb(Green));
  SetPaint({PO::toPopupMode});
  EXPECT_EQ(Print(Tree).At(x, y), Rgb(Blue));
  SetPaint({PO::toAlwaysHideSelection});
  EXPECT_EQ(Print(Tree).At(x, y), Rgb(White));
}

TEST_F(PaintTest, EraseActions) {
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons});
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode second = Tree.NextNode(Tree.FirstNode());
  Tree.OnBeforeItemErase = TVTBeforeItemEraseEvent::Lambda(
      [&](TBaseVirtualTree*, TCanvas*, PVirtualNode node, RECT, TColor& color, TItemEraseAction& action) {
        if (node == second) action = TItemEraseAction::eaNone;
        else {
          color = static_cast<TColor>(Green);
          action = TItemEraseAction::eaColor;
        }
      });
  const Image image = Print(Tree);
  EXPECT_EQ(image.At(190, 5), Rgb(Green));
  // eaNone leaves the row bitmap as the row before left it.
  EXPECT_EQ(image.At(190, 18 + 5), Rgb(Green));
  EXPECT_EQ(image.At(190, 36 + 5), Rgb(Green));
  Tree.OnBeforeItemErase.Clear();
  EXPECT_EQ(Print(Tree).At(190, 18 + 5), Rgb(White));
}

TEST_F(PaintTest, SelectedOnlyPaintsSelectedNodesAndTheirDescendants) {
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons});
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode first = Tree.FirstNode();
  Tree.SetChildCount(first, 1);
  Tree.SetExpanded(first, true);
  Tree.SetSelected(first, true);
  Dib dib(200, 100, Blue);
  TCanvas canvas;
  canvas.SetHandle(dib.DC());
  Tree.RenderTree(&canvas, RECT{0, 0, 200, 72}, POINT{0, 0}, TVTInternalPaintOptions{IPO::ppSelectedOnly});
  canvas.SetHandle(nullptr);
  const Image image = dib.Read();
  EXPECT_EQ(image.At(190, 5), Rgb(White));        // the selected node
  EXPECT_EQ(image.At(190, 18 + 5), Rgb(White));   // its child
  EXPECT_EQ(image.At(190, 36 + 5), Rgb(Blue));    // not selected: not painted
  EXPECT_EQ(image.At(190, 54 + 5), Rgb(Blue));
}

TEST_F(PaintTest, AreaBelowTheLastNodeInColumnColours) {
  TwoColumns(60, 60);
  Tree.Header()->Columns()->Items(1)->SetColor(static_cast<TColor>(Green));
  Tree.SetRootNodeCount(2);
  Host.Place(Tree, 200, 100);
  const Image image = Print(Tree);
  EXPECT_EQ(image.At(30, 80), Rgb(White));
  EXPECT_EQ(image.At(90, 80), Rgb(Green));
  EXPECT_EQ(image.At(150, 80), Rgb(White));  // right of the last column: the tree's colour
  EXPECT_EQ(image.At(110, 10), Rgb(Green));  // column colours under the nodes too
}

TEST_F(PaintTest, TriangleButtons) {
  Tree.SetButtonStyle(TVTButtonStyle::bsTriangle);
  SetPaint({PO::toShowButtons, PO::toShowRoot}, {PO::toShowTreeLines});
  Tree.SetRootNodeCount(2);
  PVirtualNode first = Tree.FirstNode();
  PVirtualNode second = Tree.NextSiblingNode(first);
  Tree.SetChildCount(first, 1);
  Tree.SetChildCount(second, 1);
  Host.Place(Tree, 200, 100);
  Tree.SetExpanded(first, true);
  const Image image = Print(Tree);
  // Button at x 4 (half of Indent - 9, halves to even), y = 9 - 4.
  const int bx = 4, by = 9 - 4;
  const uint32_t black = 0;
  // Expanded: pointing down, the top edge is the long one.
  EXPECT_EQ(image.At(bx + 0, by + 2), black);
  EXPECT_EQ(image.At(bx + 8, by + 2), black);
  EXPECT_EQ(image.At(bx + 4, by + 6), black);
  EXPECT_EQ(image.At(bx + 0, by + 6), Rgb(White));
  // Collapsed (third row: the child of the first is the second row): pointing right.
  const int cy = 36 + by;
  EXPECT_EQ(image.At(bx + 2, cy + 0), black);
  EXPECT_EQ(image.At(bx + 2, cy + 8), black);
  EXPECT_EQ(image.At(bx + 6, cy + 4), black);
  EXPECT_EQ(image.At(bx + 8, cy + 2), Rgb(White));
}

struct CheckCase {
  const char* Name;
  TCheckType Type;
  TCheckState State;
  bool Enabled;
  bool Hot;
  int32_t Index;
};

TEST(CheckImageIndexTest, Table) {
  const CheckCase cases[] = {
      {"unchecked box disabled", TCheckType::ctCheckBox, TCheckState::csUncheckedNormal, false, false, 12},
      {"checked box disabled", TCheckType::ctCheckBox, TCheckState::csCheckedNormal, false, false, 16},
      {"unchecked box hot", TCheckType::ctCheckBox, TCheckState::csUncheckedNormal, true, true, 10},
      {"checked radio hot", TCheckType::ctRadioButton, TCheckState::csCheckedNormal, true, true, 6},
      {"pressed stays pressed when hot", TCheckType::ctCheckBox, TCheckState::csCheckedPressed, true, true, 15},
      {"tri-state uses the box row", TCheckType::ctTriStateCheckBox, TCheckState::csMixedNormal, true, false, 17},
      {"mixed radio disabled", TCheckType::ctRadioButton, TCheckState::csMixedPressed, false, false, 20},
      {"button checked", TCheckType::ctButton, TCheckState::csCheckedNormal, true, false, 21},
      {"button pressed disabled", TCheckType::ctButton, TCheckState::csUncheckedPressed, false, false, 24},
      {"none", TCheckType::ctNone, TCheckState::csCheckedNormal, true, false, -1},
  };
  for (const CheckCase& c : cases)
    EXPECT_EQ(TBaseVirtualTree::CheckImageIndexFor(c.Type, c.State, c.Enabled, c.Hot), c.Index) << c.Name;
}

TEST_F(PaintTest, CheckImagesFollowDisabledAndHotNodes) {
  TVTMiscOptions misc = Tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toCheckSupport);
  Tree.TreeOptions()->SetMiscOptions(misc);
  Tree.SetRootNodeCount(2);
  PVirtualNode first = Tree.FirstNode();
  PVirtualNode second = Tree.NextSiblingNode(first);
  Tree.SetCheckType(first, TCheckType::ctCheckBox);
  Tree.SetCheckType(second, TCheckType::ctRadioButton);
  Tree.SetCheckState(second, TCheckState::csCheckedNormal);
  first->StateBits.Include(TVirtualNodeState::nsDisabled);
  EXPECT_EQ(Tree.CheckImageIndexFor(first), 12);
  Tree.SetHotNode(second);
  EXPECT_EQ(Tree.CheckImageIndexFor(second), 6);
  // What is drawn is the image of that index.
  SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot});
  Host.Place(Tree, 200, 100);
  TCustomImageList* images = Tree.CheckImages();
  ASSERT_NE(images, nullptr);
  const int w = images->Width(), h = images->Height();
  const Image image = Print(Tree);
  for (auto [node, top, index] : {std::tuple{first, 0, 12}, std::tuple{second, 18, 6}}) {
    Dib expected(w, h, White);
    ImageList_DrawEx(images->Handle(), index, expected.DC(), 0, 0, 0, 0, CLR_DEFAULT, CLR_DEFAULT, ILD_TRANSPARENT);
    const Image want = expected.Read();
    const int x0 = Tree.Margin(), y0 = top + 9 - h / 2;
    int differ = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) differ += image.At(x0 + x, y0 + y) != want.At(x, y);
    EXPECT_EQ(differ, 0) << "check image " << index;
  }
}

TEST_F(PaintTest, DropMarkBelowLiesInTheLastEightRows) {
  SetPaint({PO::toShowDropmark}, {PO::toShowTreeLines, PO::toShowButtons});
  Tree.Colors()->SetColor(TVTColors::DropMarkColorIndex, static_cast<TColor>(Red));
  Tree.SetRootNodeCount(3);
  Host.Place(Tree, 200, 100);
  PVirtualNode first = Tree.FirstNode();
  Tree.SetDropTarget(first, TVTDropMode::dmBelow);
  const Image image = Print(Tree);
  int top = 100, bottom = -1;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x)
      if (image.At(x, y) == Rgb(Red)) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  // A polygon without outline leaves out its right and bottom edges.
  EXPECT_GE(top, 18 - 8);
  EXPECT_LE(bottom, 18 - 1);
  EXPECT_GE(bottom - top, 4);
  Tree.SetDropTarget(first, TVTDropMode::dmAbove);
  EXPECT_EQ(Print(Tree).At(100, 0), Rgb(Red));
}

// The whole window as it shows on the screen: frame, header and rows.
TEST(PaintScreenshot, TreeWindow) {
  TreeHost host(true);
  TTextTree tree{nullptr};
  tree.SetColor(static_cast<TColor>(White));
  TVTPaintOptions paint = tree.TreeOptions()->PaintOptions();
  paint.Exclude(PO::toThemeAware);
  for (PO o : {PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot, PO::toShowHorzGridLines,
               PO::toShowVertGridLines, PO::toPopupMode})
    paint.Include(o);
  tree.TreeOptions()->SetPaintOptions(paint);
  TVTMiscOptions misc = tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toCheckSupport);
  tree.TreeOptions()->SetMiscOptions(misc);
  TCustomImageList images(nullptr);
  images.SetSize(16, 16);
  {
    TBitmap picture;
    picture.SetSize(16, 16);
    picture.Canvas()->Brush()->SetColor(static_cast<TColor>(White));
    picture.Canvas()->FillRect(RECT{0, 0, 16, 16});
    picture.Canvas()->Brush()->SetColor(static_cast<TColor>(Blue));
    picture.Canvas()->Pen()->SetColor(static_cast<TColor>(Blue));
    picture.Canvas()->Ellipse(2, 2, 14, 14);
    images.Add(&picture, nullptr);
  }
  TVTHeader* header = tree.Header();
  header->SetImages(&images);
  TVirtualTreeColumns* columns = header->Columns();
  TVirtualTreeColumn* name = columns->Add();
  name->SetWidth(180);
  name->SetText(L"Name");
  TVirtualTreeColumn* value = columns->Add();
  value->SetWidth(120);
  value->SetText(L"Value");
  value->SetImageIndex(0);
  TVTHeaderOptions options = header->Options();
  for (TVTHeaderOption o : {TVTHeaderOption::hoVisible, TVTHeaderOption::hoShowImages, TVTHeaderOption::hoShowSortGlyphs})
    options.Include(o);
  header->SetOptions(options);
  header->SetHeight(20);
  tree.SetRootNodeCount(3);
  host.Place(tree, 320, 200);
  header->SetSortColumn(0);
  for (PVirtualNode top = tree.FirstNode(); top; top = tree.NextSiblingNode(top)) {
    tree.SetCheckType(top, TCheckType::ctTriStateCheckBox);
    tree.SetChildCount(top, 2);
  }
  PVirtualNode first = tree.FirstNode();
  tree.SetExpanded(first, true);
  PVirtualNode child = tree.FirstChildNode(first);
  tree.SetChildCount(child, 2);
  tree.SetExpanded(child, true);
  for (PVirtualNode run = tree.FirstChildNode(child); run; run = tree.NextSiblingNode(run))
    tree.SetCheckType(run, TCheckType::ctCheckBox);
  tree.SetCheckState(tree.FirstChildNode(child), TCheckState::csCheckedNormal);
  tree.SetSelected(child, true);
  tree.SetFocusedNode(child);
  tree.SetFocusedColumn(0);
  RedrawWindow(tree.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  const Image window = testing_support::ReadWindowPixels(tree.Handle());
  // The header's image shows in the second column.
  int blue = 0;
  for (int y = 0; y < 22; ++y)
    for (int x = 182; x < 304 && x < window.Width; ++x) blue += window.At(x, y) == Rgb(Blue);
  EXPECT_GT(blue, 20);
  const std::string path = testing_support::SaveArtefact(window, "vtree-window");
  EXPECT_FALSE(path.empty());
  header->SetImages(nullptr);
}

}  // namespace

namespace {
// The header as the window frame paints it, in window co-ordinates.
Image PrintHeader(TBaseVirtualTree& tree) {
  RECT w;
  GetWindowRect(tree.Handle(), &w);
  Dib dib(w.right - w.left, w.bottom - w.top);
  tree.PaintHeader(dib.DC());
  return dib.Read();
}

// The part of an image inside R.
Image Crop(const Image& image, const RECT& r) {
  Image out;
  out.Width = r.right - r.left;
  out.Height = r.bottom - r.top;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) out.Pixels.push_back(image.At(x, y));
  return out;
}

bool Dark(uint32_t pixel) { return ((pixel >> 16) & 0xFF) < 0x50 && ((pixel >> 8) & 0xFF) < 0x50 && (pixel & 0xFF) < 0x50; }

// The smallest rectangle holding every dark pixel of R; empty when none.
RECT InkBounds(const Image& image, const RECT& r, int* count = nullptr) {
  RECT ink{r.right, r.bottom, r.left, r.top};
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x)
      if (Dark(image.At(x, y))) {
        ++n;
        ink.left = std::min<LONG>(ink.left, x);
        ink.top = std::min<LONG>(ink.top, y);
        ink.right = std::max<LONG>(ink.right, x + 1);
        ink.bottom = std::max<LONG>(ink.bottom, y + 1);
      }
  if (count) *count = n;
  return n ? ink : RECT{};
}

class HeaderPaintTest : public PaintTest {
protected:
  void SetUp() override {
    PaintTest::SetUp();
    Tree.SetBorderStyle(bsNone);  // the header starts at the window's corner
    TVTHeaderOptions options = Tree.Header()->Options();
    options.Include(TVTHeaderOption::hoVisible);
    Tree.Header()->SetOptions(options);
    Tree.Header()->SetHeight(20);
  }
  TVirtualTreeColumn* Column(int width, const wchar_t* text = L"") {
    TVirtualTreeColumn* column = Tree.Header()->Columns()->Add();
    column->SetWidth(width);
    column->SetText(text);
    return column;
  }
  // Presses the column under header point (x, 5).
  void Press(int x) { Tree.Header()->Columns()->TrackPressedColumn(POINT{x, 5}); }
};
}  // namespace

TEST_F(HeaderPaintTest, TheHeaderTakesTheTopOfTheWindow) {
  Column(80);
  Host.Place(Tree, 300, 100);
  EXPECT_EQ(Tree.ClientHeight(), 100 - 20);
  RECT window;
  GetWindowRect(Tree.Handle(), &window);
  const LRESULT hit = SendMessageA(Tree.Handle(), WM_NCHITTEST, 0, MAKELPARAM(window.left + 10, window.top + 5));
  EXPECT_EQ(hit, HTBORDER);
  EXPECT_EQ(SendMessageA(Tree.Handle(), WM_NCHITTEST, 0, MAKELPARAM(window.left + 10, window.top + 30)), HTCLIENT);
}

// Every style's edges, normal and pressed, are DrawEdge's with the style's
// parameters and the right edge.
TEST_F(HeaderPaintTest, EdgesPerStyle) {
  struct Case {
    TVTHeaderStyle Style;
    bool Pressed;
    UINT Edge, Flags;
  } cases[] = {
      {TVTHeaderStyle::hsThickButtons, false, EDGE_RAISED, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_SOFT | BF_RIGHT},
      {TVTHeaderStyle::hsThickButtons, true, EDGE_RAISED, BF_RECT | BF_MIDDLE | BF_SOFT | BF_FLAT},
      {TVTHeaderStyle::hsFlatButtons, false, BDR_RAISEDINNER, BF_LEFT | BF_TOP | BF_BOTTOM | BF_MIDDLE | BF_RIGHT},
      {TVTHeaderStyle::hsFlatButtons, true, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE},
      {TVTHeaderStyle::hsPlates, false, BDR_RAISEDINNER, BF_RECT | BF_MIDDLE | BF_SOFT | BF_RIGHT},
      {TVTHeaderStyle::hsPlates, true, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE},
  };
  Column(80);
  Column(80);
  Host.Place(Tree, 300, 100);
  const RECT cell{0, 0, 80, 20};
  for (const Case& c : cases) {
    Tree.Header()->SetStyle(c.Style);
    if (c.Pressed) Press(10);
    const Image header = PrintHeader(Tree);
    Dib reference(300, 20, GetSysColor(COLOR_BTNFACE));
    RECT r = cell;
    DrawEdge(reference.DC(), &r, c.Edge, c.Flags);
    EXPECT_EQ(Crop(header, cell), Crop(reference.Read(), cell))
        << "style " << static_cast<int>(c.Style) << (c.Pressed ? " pressed" : " normal");
    Tree.Header()->Columns()->ReleasePressedColumn();
  }
}

TEST_F(HeaderPaintTest, APressedCellShiftsItsContentByOnePixel) {
  Column(100, L"Name");
  Host.Place(Tree, 300, 100);
  const RECT inside{4, 4, 96, 16};
  const RECT normal = InkBounds(PrintHeader(Tree), inside);
  ASSERT_FALSE(IsRectEmpty(&normal));
  Press(10);
  const RECT pressed = InkBounds(PrintHeader(Tree), inside);
  EXPECT_EQ(pressed.left, normal.left + 1);
  EXPECT_EQ(pressed.top, normal.top + 1);
  EXPECT_EQ(pressed.right, normal.right + 1);
  EXPECT_EQ(pressed.bottom, normal.bottom + 1);
}

// A caption wider than its cell is shortened to a prefix and "...", down to
// "..." alone or nothing at all.
TEST_F(HeaderPaintTest, NarrowColumnsShortenTheirCaption) {
  Column(20, L"A rather long caption");
  Column(70, L"A rather long caption");
  Host.Place(Tree, 300, 100);
  const Image header = PrintHeader(Tree);
  Dib dots(40, 20, RGB(255, 255, 255));
  {
    TCanvas canvas;
    canvas.SetHandle(dots.DC());
    canvas.Font()->Assign(Tree.Header()->Font());
    RECT r{0, 0, 40, 20};
    DrawTextW(dots.DC(), L"...", 3, &r, DT_NOPREFIX);
    canvas.SetHandle(nullptr);
  }
  int dotsInk = 0, narrowInk = 0, wideInk = 0;
  InkBounds(dots.Read(), RECT{0, 0, 40, 20}, &dotsInk);
  ASSERT_GT(dotsInk, 0);
  InkBounds(header, RECT{3, 3, 17, 17}, &narrowInk);
  EXPECT_LE(narrowInk, dotsInk);  // "..." or nothing
  const RECT wide = InkBounds(header, RECT{23, 3, 87, 17}, &wideInk);
  EXPECT_GT(wideInk, dotsInk);  // a prefix before the dots
  EXPECT_LE(wide.right, 20 + 70 - 2 - 4);  // within the margin
}

// The column's image stands left of the sort glyph; where the glyph would
// cover it, the image is left out.
TEST_F(HeaderPaintTest, TheImageIsLeftOutUnderTheSortGlyph) {
  TCustomImageList images(nullptr);
  images.SetSize(16, 16);
  {
    TBitmap red;
    red.SetSize(16, 16);
    red.Canvas()->Brush()->SetColor(static_cast<TColor>(Red));
    red.Canvas()->FillRect(RECT{0, 0, 16, 16});
    images.Add(&red, nullptr);
  }
  Tree.Header()->SetImages(&images);
  TVTHeaderOptions options = Tree.Header()->Options();
  options.Include(TVTHeaderOption::hoShowImages);
  options.Include(TVTHeaderOption::hoShowSortGlyphs);
  Tree.Header()->SetOptions(options);
  TVirtualTreeColumn* column = Column(120, L"Name");
  column->SetImageIndex(0);
  Host.Place(Tree, 300, 100);
  Tree.Header()->SetSortColumn(0);
  auto redPixels = [&](const Image& image) {
    int n = 0;
    for (int y = 0; y < 20; ++y)
      for (int x = 0; x < column->Width(); ++x) n += image.At(x, y) == Rgb(Red);
    return n;
  };
  EXPECT_EQ(redPixels(PrintHeader(Tree)), 16 * 16);
  column->SetWidth(30);
  EXPECT_EQ(redPixels(PrintHeader(Tree)), 0);
  Tree.Header()->SetImages(nullptr);
}

namespace {
// A white text tree without a border, with the visual styles bound: a
// program's unit list binds them before the tree's unit; here the tests do.
struct ThemedTree {
  // Bound before the tree exists, unbound after it is gone.
  struct Binding {
    Binding() : Bound(IsThemeLibraryBound()) {
      if (!Bound) dxUxThemeInit();
    }
    ~Binding() {
      if (!Bound) dxUxThemeDone();
    }
    bool Bound;
  } Themes;
  TreeHost Host;
  TTextTree Tree{nullptr};
  ThemedTree() {
    Tree.SetBorderStyle(bsNone);
    Tree.SetColor(static_cast<TColor>(White));
  }
};
}  // namespace

// With toThemeAware (on by default) and the system's visual styles the tree
// draws check boxes and header cells as the theme's parts.
TEST(ThemedPaint, ChecksAndHeaderCellsComeFromTheTheme) {
  ThemedTree themed;
  TreeHost& host = themed.Host;
  TTextTree& tree = themed.Tree;
  TVTMiscOptions misc = tree.TreeOptions()->MiscOptions();
  misc.Include(TVTMiscOption::toCheckSupport);
  tree.TreeOptions()->SetMiscOptions(misc);
  TVTPaintOptions paint = tree.TreeOptions()->PaintOptions();
  paint.Exclude(PO::toShowTreeLines);
  paint.Exclude(PO::toShowRoot);
  tree.TreeOptions()->SetPaintOptions(paint);
  tree.Header()->Columns()->Add()->SetWidth(150);
  TVTHeaderOptions options = tree.Header()->Options();
  options.Include(TVTHeaderOption::hoVisible);
  tree.Header()->SetOptions(options);
  tree.Header()->SetHeight(20);
  tree.SetRootNodeCount(1);
  host.Place(tree, 200, 120);
  ASSERT_TRUE(tree.TreeStates().Contains(TVirtualTreeState::tsUseThemes)) << "the test prefix has a visual style";
  PVirtualNode node = tree.FirstNode();
  tree.SetCheckType(node, TCheckType::ctCheckBox);
  const Image image = Print(tree);

  // The check box: the "BUTTON" theme's unchecked box, one pixel left of the image place.
  TCustomImageList* checks = tree.CheckImages();
  ASSERT_NE(checks, nullptr);
  const int x = tree.Margin(), y = 9 - checks->Height() / 2;
  Dib box(17, 16, White);
  HTHEME theme = UxOpenThemeData(tree.Handle(), L"BUTTON");
  ASSERT_NE(theme, nullptr);
  UxDrawThemeBackground(theme, box.DC(), BP_CHECKBOX, CBS_UNCHECKEDNORMAL, RECT{0, 0, 17, 16}, nullptr);
  UxCloseThemeData(theme);
  const Image want = box.Read();
  int differ = 0;
  for (int dy = 0; dy < 16; ++dy)
    for (int dx = 0; dx < 17; ++dx) differ += image.At(x - 1 + dx, y + dy) != want.At(dx, dy);
  EXPECT_EQ(differ, 0);

  // The header cell: the "HEADER" theme's item on its background.
  const Image header = PrintHeader(tree);
  Dib cell(200, 20, RGB(1, 2, 3));
  theme = UxOpenThemeData(tree.Handle(), L"HEADER");
  ASSERT_NE(theme, nullptr);
  UxDrawThemeBackground(theme, cell.DC(), HP_HEADERITEMRIGHT, HIS_NORMAL, RECT{0, 0, 200, 20}, nullptr);
  UxDrawThemeBackground(theme, cell.DC(), HP_HEADERITEM, HIS_NORMAL, RECT{0, 0, 150, 20}, nullptr);
  UxCloseThemeData(theme);
  EXPECT_EQ(Crop(header, RECT{0, 0, 200, 20}), Crop(cell.Read(), RECT{0, 0, 200, 20}));

  // Without toThemeAware the tree draws its own.
  paint.Exclude(PO::toThemeAware);
  tree.TreeOptions()->SetPaintOptions(paint);
  tree.RecreateWnd();
  EXPECT_FALSE(tree.TreeStates().Contains(TVirtualTreeState::tsUseThemes));
}

// The shaded buttons are the program's "VT_XPBUTTONPLUS" and "VT_XPBUTTONMINUS"
// pictures, their magenta left out.
TEST_F(PaintTest, ShadedButtonsAreThePrograms) {
  Tree.SetButtonFillMode(TVTButtonFillMode::fmShaded);
  SetPaint({PO::toShowButtons, PO::toShowRoot}, {PO::toShowTreeLines});
  Tree.SetRootNodeCount(2);
  PVirtualNode first = Tree.FirstNode();
  Tree.SetChildCount(first, 1);
  Tree.SetChildCount(Tree.NextSiblingNode(first), 1);
  Host.Place(Tree, 200, 100);
  Tree.SetExpanded(first, true);
  const Image image = Print(Tree);
  const int bx = 4, by = 9 - 4;
  for (auto [name, top] : {std::pair{"VT_XPBUTTONMINUS", 0}, std::pair{"VT_XPBUTTONPLUS", 36}}) {
    TGdiObject bitmap(LoadBitmapA(GetModuleHandleA(nullptr), name));
    ASSERT_TRUE(bitmap) << name;
    TMemoryDC dc(nullptr);
    TSelectObjectGuard select(dc.Get(), bitmap.Get());
    const Image want = testing_support::ReadPixels(dc.Get(), RECT{0, 0, 9, 9});
    int compared = 0, differ = 0;
    for (int y = 0; y < 9; ++y)
      for (int x = 0; x < 9; ++x) {
        if (want.At(x, y) == Rgb(RGB(255, 0, 255))) continue;
        ++compared;
        differ += image.At(bx + x, top + by + y) != want.At(x, y);
      }
    EXPECT_GT(compared, 40) << name;
    EXPECT_EQ(differ, 0) << name;
  }
}

namespace {
// Opens the tree's protected painting and state operations to the tests.
class TOpenTree : public TTextTree {
public:
  using TTextTree::TTextTree;
  using TBaseVirtualTree::ChangeStates;
  using TBaseVirtualTree::RenderBorder;
};

class FramePaintTest : public PaintTest {
protected:
  // Three rows of text in a 200 x 100 window, white, without lines or buttons.
  void SetUp() override {
    PaintTest::SetUp();
    SetPaint({}, {PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot});
  }
};

// A channel of a 0x00RRGGBB pixel.
int Channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 0xFF); }
}  // namespace

// The rectangle selection's frame is drawn over the rows and the area below
// them while a rectangle selection is under way: blended with its colour and
// framed, or as a dotted focus frame.
TEST_F(FramePaintTest, TheSelectionFrameCoversRowsAndTheAreaBelow) {
  TOpenTree tree{nullptr};
  tree.SetBorderStyle(bsNone);
  tree.SetColor(static_cast<TColor>(White));
  TVTPaintOptions paint = tree.TreeOptions()->PaintOptions();
  for (PO o : {PO::toThemeAware, PO::toShowTreeLines, PO::toShowButtons, PO::toShowRoot}) paint.Exclude(o);
  tree.TreeOptions()->SetPaintOptions(paint);
  tree.SetRootNodeCount(3);  // rows end at 54
  Host.Place(tree, 200, 100);
  tree.Colors()->SetColor(TVTColors::SelectionRectangleBlendColorIndex, static_cast<TColor>(Blue));
  tree.Colors()->SetColor(TVTColors::SelectionRectangleBorderColorIndex, static_cast<TColor>(Red));
  tree.SetSelectionBlendFactor(128);
  tree.SetDrawSelectionMode(TVTDrawSelectionMode::smBlendedRectangle);
  // Given from the lower right to the upper left, as a drag upwards leaves it.
  tree.SetSelectionRect(RECT{180, 70, 80, 10});
  // Only while the selection is drawn.
  EXPECT_EQ(Print(tree).At(120, 30), Rgb(White));
  tree.ChangeStates({TVirtualTreeState::tsDrawSelecting}, {});
  Image image = Print(tree);
  for (auto [x, y] : {std::pair{80, 30}, std::pair{179, 30}, std::pair{120, 10}, std::pair{120, 69}, std::pair{80, 60}})
    EXPECT_EQ(image.At(x, y), Rgb(Red)) << x << "," << y;
  for (auto [x, y] : {std::pair{120, 30}, std::pair{120, 60}, std::pair{150, 50}}) {
    const uint32_t pixel = image.At(x, y);
    EXPECT_NEAR(Channel(pixel, 16), 127, 2) << x << "," << y;
    EXPECT_NEAR(Channel(pixel, 8), 127, 2) << x << "," << y;
    EXPECT_EQ(Channel(pixel, 0), 255) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{190, 30}, std::pair{120, 5}, std::pair{120, 80}, std::pair{60, 60}})
    EXPECT_EQ(image.At(x, y), Rgb(White)) << x << "," << y;

  // Dotted: every other pixel of the frame's left edge, within the rows and below them.
  tree.SetDrawSelectionMode(TVTDrawSelectionMode::smDottedRectangle);
  image = Print(tree);
  int black = 0;
  for (int y = 12; y < 66; ++y) {
    EXPECT_NE(image.At(80, y), image.At(80, y + 1)) << "at y " << y;
    black += image.At(80, y) == 0;
  }
  EXPECT_GE(black, 27);
  EXPECT_EQ(image.At(120, 30), Rgb(White));

  tree.ChangeStates({TVirtualTreeState::tsDrawSelPending}, {TVirtualTreeState::tsDrawSelecting});
  image = Print(tree);
  EXPECT_TRUE(image.At(80, 13) == 0 || image.At(80, 14) == 0);
  tree.ChangeStates({}, {TVirtualTreeState::tsDrawSelPending});
  image = Print(tree);
  for (int y = 12; y < 68; ++y) EXPECT_EQ(image.At(80, y), Rgb(White)) << "at y " << y;
}

namespace {
// A 16 x 16 picture whose pixel (x, y) is RGB(16 x, 16 y, 0x50).
uint32_t PicturePixel(int x, int y) { return Rgb(RGB(16 * x, 16 * y, 0x50)); }

void SetPicture(TBaseVirtualTree& tree) {
  TBitmap bitmap;
  bitmap.SetPixelFormat(TPixelFormat::pf32bit);
  bitmap.SetSize(16, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 16; ++x) SetPixel(bitmap.Canvas()->Handle(), x, y, RGB(16 * x, 16 * y, 0x50));
  bitmap.FreeContext();
  tree.Background()->SetGraphic(&bitmap);
}
}  // namespace

// The background picture lies behind the rows and the area below them:
// tiled from the background offsets, fixed to the window when the rows
// scroll up or down, or once at the offsets when static.
TEST_F(FramePaintTest, TheBackgroundPictureIsTiledOrStatic) {
  SetPicture(Tree);
  Tree.SetBackgroundOffsetX(100);
  Tree.SetBackgroundOffsetY(5);
  Tree.SetRootNodeCount(20);  // rows down to 360: the window scrolls
  TreeHost shown(true);        // update regions only on screen
  shown.Place(Tree, 200, 100);
  ASSERT_LT(Tree.ClientWidth(), 190);  // the vertical scroll bar takes the right edge
  // Without toShowBackground the picture is not used.
  EXPECT_EQ(Print(Tree).At(150, 30), Rgb(White));
  SetPaint({PO::toShowBackground});
  const auto tiled = [](int x, int y) { return PicturePixel((x + 100) % 16, (y + 5) % 16); };
  const std::pair<int, int> probes[] = {{150, 0}, {151, 17}, {175, 18}, {160, 40}, {180, 99}, {120, 63}};
  Image image = Print(Tree);
  for (auto [x, y] : probes) EXPECT_EQ(image.At(x, y), tiled(x, y)) << x << "," << y;
  // A page down leaves the picture where it was and repaints the whole client area.
  UpdateWindow(Tree.Handle());
  SendMessageA(Tree.Handle(), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  RECT update{};
  GetUpdateRect(Tree.Handle(), &update, FALSE);
  EXPECT_EQ(update.bottom - update.top, Tree.ClientHeight());
  ASSERT_NE(Tree.OffsetY(), 0);
  image = Print(Tree);
  for (auto [x, y] : probes) EXPECT_EQ(image.At(x, y), tiled(x, y)) << x << "," << y;
  // The area below the last node too.
  SendMessageA(Tree.Handle(), WM_VSCROLL, MAKEWPARAM(SB_TOP, 0), 0);
  Tree.SetRootNodeCount(2);
  image = Print(Tree);
  for (auto [x, y] : {std::pair{40, 50}, std::pair{7, 99}, std::pair{150, 36}}) EXPECT_EQ(image.At(x, y), tiled(x, y)) << x << "," << y;

  // Static: once, at (100, 5) of the window, the tree's colour elsewhere.
  SetPaint({PO::toStaticBackground});
  Tree.SetRootNodeCount(3);
  image = Print(Tree);
  EXPECT_EQ(image.At(100 + 15, 5 + 15), PicturePixel(15, 15));
  EXPECT_EQ(image.At(100 + 2, 5 + 12), PicturePixel(2, 12));  // across the first row's end
  EXPECT_EQ(image.At(100 + 2, 5 + 13), PicturePixel(2, 13));
  EXPECT_EQ(image.At(150, 30), Rgb(White));
  EXPECT_EQ(image.At(100 + 16, 5 + 3), Rgb(White));
  EXPECT_EQ(image.At(99, 5 + 3), Rgb(White));
  EXPECT_EQ(image.At(100 + 3, 5 + 16), Rgb(White));
}

// Inside the window border: the bevel, then BorderWidth pixels in
// BorderColor around the header and the client area, which stay as they were.
TEST_F(FramePaintTest, TheBorderIsDrawnInItsColourAroundHeaderAndClient) {
  TOpenTree tree{nullptr};
  tree.SetBorderStyle(bsNone);
  tree.SetBevelKind(bkFlat);
  tree.SetBevelInner(bvNone);
  tree.SetBevelOuter(bvRaised);
  tree.SetBevelWidth(1);
  tree.SetBorderWidth(3);
  tree.Colors()->SetColor(TVTColors::BorderColorIndex, static_cast<TColor>(Red));
  tree.Header()->Columns()->Add()->SetWidth(100);
  TVTHeaderOptions options = tree.Header()->Options();
  options.Include(TVTHeaderOption::hoVisible);
  tree.Header()->SetOptions(options);
  tree.Header()->SetHeight(20);
  Host.Place(tree, 200, 100);
  ASSERT_EQ(tree.ClientWidth(), 200 - 2 * 4);
  ASSERT_EQ(tree.ClientHeight(), 100 - 2 * 4 - 20);
  constexpr COLORREF Untouched = RGB(1, 2, 3);
  Dib dib(200, 100, Untouched);
  tree.RenderBorder(dib.DC());
  const Image image = dib.Read();
  // The border width on every side.
  for (auto [x, y] : {std::pair{1, 50}, std::pair{3, 50}, std::pair{50, 1}, std::pair{50, 3}, std::pair{196, 50},
                      std::pair{198, 50}, std::pair{50, 96}, std::pair{50, 98}, std::pair{2, 2}, std::pair{197, 97}})
    EXPECT_EQ(image.At(x, y), Rgb(Red)) << x << "," << y;
  // The bevel outside it.
  for (auto [x, y] : {std::pair{0, 50}, std::pair{50, 0}, std::pair{199, 50}, std::pair{50, 99}}) {
    EXPECT_NE(image.At(x, y), Rgb(Red)) << x << "," << y;
    EXPECT_NE(image.At(x, y), Rgb(Untouched)) << x << "," << y;
  }
  // The header and the client area are left alone.
  for (auto [x, y] : {std::pair{4, 4}, std::pair{50, 10}, std::pair{195, 23}, std::pair{4, 24}, std::pair{100, 60},
                      std::pair{195, 95}})
    EXPECT_EQ(image.At(x, y), Rgb(Untouched)) << x << "," << y;

  // On screen the window's frame painting draws it, under the header.
  TreeHost shown(true);
  shown.Place(tree, 200, 100);
  RedrawWindow(tree.Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  const Image screen = testing_support::ReadWindowPixels(tree.Handle());
  for (auto [x, y] : {std::pair{2, 50}, std::pair{50, 2}, std::pair{197, 50}, std::pair{50, 97}})
    EXPECT_EQ(screen.At(x, y), Rgb(Red)) << x << "," << y;
  EXPECT_NE(screen.At(50, 10), Rgb(Red));  // the header
}

// Printing the client area with PRF_CHECKVISIBLE paints only a visible window.
TEST_F(FramePaintTest, PrintingOnlyVisibleWindowsLeavesHiddenOnesOut) {
  Tree.SetRootNodeCount(2);
  Host.Place(Tree, 200, 100);  // the host is hidden
  ASSERT_FALSE(IsWindowVisible(Tree.Handle()));
  const auto print = [&](LPARAM flags) {
    Dib dib(200, 100, Blue);
    SendMessageA(Tree.Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib.DC()), flags);
    return dib.Read().At(150, 80);
  };
  EXPECT_EQ(print(PRF_CLIENT | PRF_CHECKVISIBLE), Rgb(Blue));
  EXPECT_EQ(print(PRF_CLIENT), Rgb(White));
  TreeHost shown(true);
  shown.Place(Tree, 200, 100);
  ASSERT_TRUE(IsWindowVisible(Tree.Handle()));
  EXPECT_EQ(print(PRF_CLIENT | PRF_CHECKVISIBLE), Rgb(White));
}

// In the explorer look the expand buttons are the theme's glyphs made on the
// main column's colour: the soft edges of a glyph blend into that colour,
// never into the magenta that marks the other looks' transparent ground.
TEST(ThemedPaint, TheExplorerLooksButtonsSitOnTheMainColumnsColour) {
  ThemedTree themed;
  TTextTree& tree = themed.Tree;
  TVTPaintOptions paint = tree.TreeOptions()->PaintOptions();
  paint.Exclude(PO::toShowTreeLines);
  for (PO o : {PO::toUseExplorerTheme, PO::toShowButtons, PO::toShowRoot}) paint.Include(o);
  tree.TreeOptions()->SetPaintOptions(paint);
  const COLORREF ground = RGB(40, 120, 60);
  tree.Header()->Columns()->Add()->SetWidth(150);
  tree.Header()->Columns()->Items(0)->SetColor(static_cast<TColor>(ground));
  tree.SetRootNodeCount(2);
  tree.SetChildCount(tree.FirstNode(), 1);
  themed.Host.Place(tree, 200, 100);
  ASSERT_TRUE(tree.UsesExplorerLook()) << "the test prefix has a visual style";
  const auto buttonPixels = [&] {
    const Image image = Print(tree);
    int glyph = 0, tinted = 0;
    for (int y = 0; y < 18; ++y)
      for (int x = 0; x < static_cast<int>(tree.Indent()); ++x) {
        const uint32_t p = image.At(x, y);
        const int r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, b = p & 0xFF;
        glyph += p != Rgb(ground);
        tinted += r > g + 60 && b > g + 60;  // magenta or a blend with it
      }
    return std::pair{glyph, tinted};
  };
  const auto [glyph, tinted] = buttonPixels();
  EXPECT_GT(glyph, 0) << "the first node has a button";
  EXPECT_EQ(tinted, 0);
  // A new column colour makes the buttons anew.
  tree.Header()->Columns()->Items(0)->SetColor(static_cast<TColor>(RGB(200, 40, 40)));
  EXPECT_EQ(buttonPixels().second, 0);
}

// In the explorer look selected and hot rows are the system's tree items
// (the "TREEVIEW" theme) instead of the selection colours; with full-row
// selection they span the row.
TEST(ThemedPaint, TheExplorerLookDrawsTheSystemsTreeItems) {
  ThemedTree themed;
  TreeHost& host = themed.Host;
  TTextTree& tree = themed.Tree;
  tree.Colors()->SetColor(TVTColors::FocusedSelectionColorIndex, static_cast<TColor>(Blue));
  tree.Colors()->SetColor(TVTColors::FocusedSelectionBorderColorIndex, static_cast<TColor>(Blue));
  TVTPaintOptions paint = tree.TreeOptions()->PaintOptions();
  for (PO o : {PO::toShowTreeLines, PO::toShowRoot, PO::toShowButtons}) paint.Exclude(o);
  for (PO o : {PO::toUseExplorerTheme, PO::toPopupMode, PO::toHotTrack}) paint.Include(o);
  tree.TreeOptions()->SetPaintOptions(paint);
  tree.SetRootNodeCount(3);
  host.Place(tree, 200, 100);
  ASSERT_TRUE(tree.UsesExplorerLook()) << "the test prefix has a visual style";
  PVirtualNode second = tree.NextNode(tree.FirstNode());
  tree.SetSelected(second, true);

  HTHEME theme = UxOpenThemeData(tree.Handle(), L"TREEVIEW");
  ASSERT_NE(theme, nullptr);
  // The item as the theme draws it over the tree's colour at R of a row.
  const auto item = [&](int state, const RECT& r) {
    Dib row(200, 18, White);
    UxDrawThemeBackground(theme, row.DC(), TVP_TREEITEM, state, r, nullptr);
    return row.Read();
  };
  // Compares the columns [left, right) of the row at top, and counts the blue pixels.
  const auto compare = [](const Image& image, int top, const Image& want, int left, int right) {
    int differ = 0, blue = 0;
    for (int y = 0; y < 18; ++y)
      for (int x = left; x < right; ++x) {
        differ += image.At(x, top + y) != want.At(x, y);
        blue += image.At(x, top + y) == Rgb(Blue);
      }
    return std::pair{differ, blue};
  };

  // The selection rectangle starts at the margin and is as wide as the text.
  const int left = tree.Margin();
  const int width = tree.SelectionWidth(second);
  const Image selected = item(TREIS_SELECTED, RECT{left, 0, left + width, 18});
  ASSERT_NE(selected.At(left + 1, 9), Rgb(White)) << "the style draws selected tree items";
  Image image = Print(tree);
  // Left of the text, which starts at the text margin.
  EXPECT_EQ(compare(image, 18, selected, left, left + tree.TextMargin()), (std::pair{0, 0}));
  EXPECT_EQ(image.At(left + width + 2, 18 + 9), Rgb(White));

  // Full-row selection: the item spans the row.
  TVTSelectionOptions selection = tree.TreeOptions()->SelectionOptions();
  selection.Include(TVTSelectionOption::toFullRowSelect);
  tree.TreeOptions()->SetSelectionOptions(selection);
  const Image row = item(TREIS_SELECTED, RECT{0, 0, 200, 18});
  image = Print(tree);
  EXPECT_EQ(compare(image, 18, row, 0, left + tree.TextMargin()), (std::pair{0, 0}));
  EXPECT_EQ(compare(image, 18, row, 150, 200), (std::pair{0, 0}));
  // The focused row's focus frame runs around the whole row, one pixel inside it.
  tree.SetFocusedNode(second);
  image = Print(tree);
  int dotted = 0;
  for (int x = 150; x < 190; ++x) {
    dotted += image.At(x, 18 + 1) != row.At(x, 1);
    EXPECT_EQ(image.At(x, 18), row.At(x, 0)) << x;
    EXPECT_EQ(image.At(x, 18 + 9), row.At(x, 9)) << x;
  }
  EXPECT_GE(dotted, 20);
  EXPECT_NE(image.At(198, 18 + 9), row.At(198, 9));
  tree.SetFocusedNode(nullptr);

  // A hot row that is not selected: the hot item.
  tree.SetHotNode(tree.FirstNode());
  const Image hot = item(TREIS_HOT, RECT{0, 0, 200, 18});
  EXPECT_NE(hot.At(175, 9), Rgb(White));
  image = Print(tree);
  EXPECT_EQ(compare(image, 0, hot, 150, 200), (std::pair{0, 0}));
  // Hot and selected.
  tree.SetHotNode(second);
  const Image hotSelected = item(TREIS_HOTSELECTED, RECT{0, 0, 200, 18});
  EXPECT_NE(hotSelected.At(175, 9), row.At(175, 9));
  image = Print(tree);
  EXPECT_EQ(compare(image, 18, hotSelected, 150, 200), (std::pair{0, 0}));
  UxCloseThemeData(theme);

  // Without the explorer look the selection colours come back.
  paint.Exclude(PO::toUseExplorerTheme);
  tree.TreeOptions()->SetPaintOptions(paint);
  EXPECT_FALSE(tree.UsesExplorerLook());
  EXPECT_EQ(Print(tree).At(190, 18 + 9), Rgb(Blue));
}
