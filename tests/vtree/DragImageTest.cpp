// The tree's own drag image on the screen: what it draws, what it puts back
// as it moves or ends, its alpha channel, and the picture of a column
// dragged in the header. Pixels are read back from the screen.
#include "tests/vtree/TreeChecker.h"

#include "vtree/DragImage.h"
#include "vtree/StringTree.h"
#include "vtree/TreeDragManager.h"
#include "vtree/TreeGlobals.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <shlguid.h>
#include <shlobj.h>
#include <string>

namespace {
using testing_support::ReadPixels;
using testing_support::Rgb;
using testing_support::RunMessagesUntil;
using testing_support::RunMessagesUntilIdle;

uint32_t ScreenPixel(POINT p) {
  HDC screen = GetDC(nullptr);
  const uint32_t pixel = ReadPixels(screen, RECT{p.x, p.y, p.x + 1, p.y + 1}).At(0, 0);
  ReleaseDC(nullptr, screen);
  return pixel;
}

// A 40 x 20 picture in one colour.
struct SolidBitmap {
  explicit SolidBitmap(COLORREF color) {
    HDC screen = GetDC(nullptr);
    Bitmap = CreateCompatibleBitmap(screen, 40, 20);
    HDC dc = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(dc, Bitmap);
    HBRUSH brush = CreateSolidBrush(color);
    const RECT all{0, 0, 40, 20};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
  }
  ~SolidBitmap() { DeleteObject(Bitmap); }
  HBITMAP Bitmap;
};

// An empty tree painted in one colour on a shown window: the screen under
// the image is known.
class DragImageTest : public ::testing::Test {
protected:
  void SetUp() override {
    if (!MMXAvailable()) GTEST_SKIP() << "no MMX: the tree's own drag image is off";
    Tree.SetBorderStyle(bsNone);
    Tree.SetColor(static_cast<TColor>(Red));
    Host.Place(Tree, 300, 200);
    ShowWindow(Host.Handle(), SW_SHOW);
    SetForegroundWindow(Host.Handle());
    RunMessagesUntilIdle();
    Origin = POINT{100, 100};
    ClientToScreen(Tree.Handle(), &Origin);
    ASSERT_TRUE(RunMessagesUntil([&] { return ScreenPixel(Origin) == Rgb(Red); }));
  }
  static constexpr COLORREF Red = RGB(255, 0, 0);
  TreeHost Host{true};
  TVirtualStringTree Tree{nullptr};
  POINT Origin{};
};

TEST_F(DragImageTest, ShowsBlendedRestoresWhenHiddenAndMoves) {
  SolidBitmap blue(RGB(0, 0, 255));
  TVTDragImage image(&Tree);
  image.SetImageTransparency(128);
  image.PrepareImage(blue.Bitmap, Origin, nullptr, Origin);
  EXPECT_FALSE(image.ImageVisible()) << "prepared hidden";
  image.RevealImage();
  ASSERT_TRUE(image.ImageVisible());
  EXPECT_EQ(image.ImageRect().left, Origin.x);
  EXPECT_EQ(image.ImageRect().right, Origin.x + 40);
  const POINT middle{Origin.x + 20, Origin.y + 10};
  const uint32_t shown = ScreenPixel(middle);
  EXPECT_NE(shown, Rgb(Red));
  EXPECT_NE(shown, Rgb(RGB(0, 0, 255)));
  EXPECT_GT(shown & 0xFF, 0x40u) << std::hex << shown << ": blue mixed in";
  EXPECT_GT((shown >> 16) & 0xFF, 0x40u) << std::hex << shown << ": red kept in part";

  struct Case {
    const char* Name;
    int Dx;
    bool Full;
  } cases[] = {{"a small move scrolls", 10, false}, {"a move by the width redraws", 40, true},
               {"back by less than the width", -25, false}};
  POINT mouse = Origin;
  for (const Case& c : cases) {
    const RECT before = image.ImageRect();
    mouse.x += c.Dx;
    EXPECT_TRUE(image.MoveImageTo(mouse, false)) << c.Name;
    EXPECT_EQ(image.LastMoveWasFull(), c.Full) << c.Name;
    const RECT after = image.ImageRect();
    EXPECT_EQ(after.left, before.left + c.Dx) << c.Name;
    // The area left behind shows the tree again; the new area the image.
    const POINT left = c.Dx > 0 ? POINT{before.left + 2, before.top + 10} : POINT{before.right - 2, before.top + 10};
    EXPECT_EQ(ScreenPixel(left), Rgb(Red)) << c.Name;
    EXPECT_EQ(ScreenPixel(POINT{after.left + 20, after.top + 10}), shown) << c.Name;
  }
  EXPECT_FALSE(image.MoveImageTo(mouse, false)) << "no move";
  image.HideImage();
  EXPECT_FALSE(image.ImageVisible());
  EXPECT_TRUE(IsRectEmpty(&static_cast<const RECT&>(image.ImageRect())));
  for (int x = Origin.x - 20; x < Origin.x + 100; x += 5)
    EXPECT_EQ(ScreenPixel(POINT{x, Origin.y + 10}), Rgb(Red)) << "restored at " << x - Origin.x;
  image.EndImage();
}

TEST_F(DragImageTest, RestrictionsKeepTheImageOnItsAxis) {
  SolidBitmap blue(RGB(0, 0, 255));
  struct Case {
    const char* Name;
    TVTImageMoveRestriction Restriction;
    POINT By;
    bool Moves;
    POINT Shift;
  } cases[] = {
      {"free", TVTImageMoveRestriction::imrNone, {5, 7}, true, {5, 7}},
      {"horizontal only, moved down", TVTImageMoveRestriction::imrHorizontalOnly, {0, 9}, false, {0, 0}},
      {"horizontal only, moved aslant", TVTImageMoveRestriction::imrHorizontalOnly, {6, 9}, true, {6, 0}},
      {"vertical only, moved sideways", TVTImageMoveRestriction::imrVerticalOnly, {9, 0}, false, {0, 0}},
  };
  for (const Case& c : cases) {
    TVTDragImage image(&Tree);
    image.SetMoveRestriction(c.Restriction);
    image.PrepareImage(blue.Bitmap, Origin, nullptr, Origin);
    image.RevealImage();
    const POINT to{Origin.x + c.By.x, Origin.y + c.By.y};
    EXPECT_EQ(image.ImageWillMove(to), c.Moves) << c.Name;
    EXPECT_EQ(image.MoveImageTo(to, false), c.Moves) << c.Name;
    EXPECT_EQ(image.ImagePosition().x, Origin.x + c.Shift.x) << c.Name;
    EXPECT_EQ(image.ImagePosition().y, Origin.y + c.Shift.y) << c.Name;
    image.EndImage();
    EXPECT_EQ(ScreenPixel(POINT{Origin.x + 20, Origin.y + 10}), Rgb(Red)) << c.Name;
  }
}

TEST(TreeDragImage, AlphaFallsOffFromTheCentreAndTheKeyIsClear) {
  constexpr int W = 21, H = 11;
  uint32_t source[W * H], image[W * H];
  for (uint32_t& p : source) p = 0x00336699;
  source[0] = 0x00FF00FF;  // the key colour in blue-green-red order: magenta
  for (uint32_t& p : image) p = 0x00123456;
  TVTDragImage::BuildAlphaChannel(source, image, W, H, static_cast<TColor>(RGB(255, 0, 255)));
  struct Case {
    const char* Name;
    int X, Y;
  } cases[] = {{"centre", 10, 5}, {"right end", 20, 5}, {"bottom right", 20, 10}, {"top", 10, 0}};
  for (const Case& c : cases) {
    const double r = std::hypot(c.X - W / 2, c.Y - H / 2) / double(W);
    const uint32_t alpha = static_cast<uint32_t>(std::lround(255 * std::exp(-8 * r)));
    EXPECT_EQ(image[c.Y * W + c.X] >> 24, alpha) << c.Name;
    EXPECT_EQ(image[c.Y * W + c.X] & 0xFFFFFF, 0x123456u) << c.Name << ": colour kept";
  }
  EXPECT_EQ(image[0] >> 24, 0u) << "key colour";
}

// The dragged column's picture follows the mouse in the header and is gone
// once the column is dropped.
TEST_F(DragImageTest, TheDraggedColumnsPictureFollowsTheMouse) {
  TVTHeader* header = Tree.Header();
  for (const wchar_t* caption : {L"zero", L"one", L"two"}) {
    TVirtualTreeColumn* column = header->Columns()->Add();
    column->SetText(caption);
    column->SetWidth(80);
  }
  header->SetOptions(header->Options() + TVTHeaderOption::hoVisible + TVTHeaderOption::hoDrag);
  RunMessagesUntilIdle();
  const int32_t height = header->Height();
  auto screen = [&](POINT p) {
    ClientToScreen(Tree.Handle(), &p);
    return p;
  };
  const POINT face = screen(POINT{40, -height / 2 + 2});
  const uint32_t before = ScreenPixel(face);
  auto send = [&](UINT msg, POINT client) {
    if (msg == WM_NCLBUTTONDOWN) {
      const POINT s = screen(client);
      SendMessageA(Tree.Handle(), msg, HTBORDER, MAKELPARAM(s.x, s.y));
    } else {
      SendMessageA(Tree.Handle(), msg, msg == WM_MOUSEMOVE ? MK_LBUTTON : 0, MAKELPARAM(client.x, client.y));
    }
  };
  struct Case {
    const char* Name;
    bool Restrict;
    POINT By;     // the mouse's move from the press
    POINT Moved;  // the image's
  } cases[] = {{"free", false, {60, 8}, {60, 8}}, {"restricted to the header's line", true, {60, 8}, {60, 0}}};
  for (const Case& c : cases) {
    TVTHeaderOptions options = header->Options();
    if (c.Restrict) options.Include(TVTHeaderOption::hoRestrictDrag);
    else options.Exclude(TVTHeaderOption::hoRestrictDrag);
    header->SetOptions(options);
    send(WM_NCLBUTTONDOWN, POINT{30, -5});
    send(WM_MOUSEMOVE, POINT{36, -5});
    ASSERT_TRUE(header->Dragging()) << c.Name;
    TVTDragImage* image = header->DragImage();
    ASSERT_NE(image, nullptr) << c.Name;
    ASSERT_TRUE(image->ImageVisible()) << c.Name;
    const POINT cell = screen(POINT{0, -height});
    EXPECT_EQ(image->ImageRect().left, cell.x) << c.Name;
    EXPECT_EQ(image->ImageRect().top, cell.y) << c.Name;
    EXPECT_EQ(image->ImageSize().cx, 80) << c.Name;
    EXPECT_EQ(image->ImageSize().cy, height) << c.Name;
    // The picture is the cell darkened and laid over what is there.
    EXPECT_NE(ScreenPixel(face), before) << c.Name;
    const POINT to{30 + c.By.x, -5 + c.By.y};
    send(WM_MOUSEMOVE, to);
    EXPECT_EQ(image->ImageRect().left, cell.x + c.Moved.x) << c.Name;
    EXPECT_EQ(image->ImageRect().top, cell.y + c.Moved.y) << c.Name;
    send(WM_LBUTTONUP, to);
    EXPECT_FALSE(header->Dragging()) << c.Name;
    EXPECT_FALSE(image->ImageVisible()) << c.Name;
    EXPECT_TRUE(RunMessagesUntil([&] { return ScreenPixel(face) == before; })) << c.Name;
  }
}

// The picture of an OLE drag: the selected nodes around the press point,
// the rest of the tree left out through the colour key.
TEST_F(DragImageTest, AnOleDragCarriesThePictureOfTheSelectedNodesOnly) {
  Tree.SetRootNodeCount(6);
  Tree.SetSelected(NodeAt(Tree, {1}), true);
  RunMessagesUntilIdle();
  const RECT selected = Tree.NodeDisplayRect(NodeAt(Tree, {1}), NoColumn, true);
  const RECT other = Tree.NodeDisplayRect(NodeAt(Tree, {3}), NoColumn, true);
  const POINT press{selected.left + 6, (selected.top + selected.bottom) / 2};
  TComPtr<IDataObject> data = Tree.DragManager()->ActiveDataObject();
  TVTDragManager::SetSystemImagesAllowed(false);
  Tree.PrepareDragImage(press, data.Get());
  TVTDragManager::SetSystemImagesAllowed(true);
  TVTDragImage* image = Tree.NodeDragImage();
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->States().Contains(TVTDragImageState::disPrepared));
  EXPECT_FALSE(image->States().Contains(TVTDragImageState::disSystemSupport));
  EXPECT_EQ(image->ImageColorKey(), Tree.Color());
  // The area is cut at the content's origin.
  const SIZE size = image->ImageSize();
  EXPECT_EQ(size.cx, press.x + Tree.DragWidth() / 2);
  EXPECT_EQ(size.cy, press.y + Tree.DragHeight() / 2);
  POINT corner{0, 0};
  ClientToScreen(Tree.Handle(), &corner);
  EXPECT_EQ(image->ImagePosition().x, corner.x);
  EXPECT_EQ(image->ImagePosition().y, corner.y);

  // The selected row's label is drawn over the screen; the other rows are
  // keyed out and leave it as it was.
  auto strip = [&](const RECT& label) {
    RECT r = label;
    r.right = std::min<LONG>(r.right, press.x + 40);
    POINT topLeft{r.left, r.top}, bottomRight{r.right, r.bottom};
    ClientToScreen(Tree.Handle(), &topLeft);
    ClientToScreen(Tree.Handle(), &bottomRight);
    HDC screen = GetDC(nullptr);
    const auto pixels = ReadPixels(screen, RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
    ReleaseDC(nullptr, screen);
    return pixels;
  };
  // Moved two rows down, the selected row's picture lies over row 3, and the
  // keyed-out row 3 over row 5, which stays as it was.
  const RECT last = Tree.NodeDisplayRect(NodeAt(Tree, {5}), NoColumn, true);
  const auto underBefore = strip(other), lastBefore = strip(last);
  image->RevealImage();
  ASSERT_TRUE(image->ImageVisible());
  POINT to = press;
  to.y += other.top - selected.top;
  ClientToScreen(Tree.Handle(), &to);
  EXPECT_TRUE(image->MoveImageTo(to, false));
  EXPECT_FALSE(strip(other) == underBefore);
  EXPECT_TRUE(strip(last) == lastBefore);
  image->EndImage();
  EXPECT_FALSE(image->ImageVisible());
}

// Where the system serves its drag image, it takes the picture instead.
TEST_F(DragImageTest, TheSystemsDragImageTakesThePictureWhereServed) {
  TComPtr<IDragSourceHelper> helper;
  if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDragSourceHelper,
                              reinterpret_cast<void**>(helper.Put()))))
    GTEST_SKIP() << "the system serves no drag image";
  Tree.SetRootNodeCount(2);
  Tree.SetSelected(NodeAt(Tree, {0}), true);
  TComPtr<IDataObject> data = Tree.DragManager()->ActiveDataObject();
  const RECT r = Tree.NodeDisplayRect(NodeAt(Tree, {0}), NoColumn, true);
  Tree.PrepareDragImage(POINT{r.left + 2, r.top + 2}, data.Get());
  TVTDragImage* image = Tree.NodeDragImage();
  ASSERT_NE(image, nullptr);
  if (image->States().Contains(TVTDragImageState::disSystemSupport)) {
    EXPECT_FALSE(image->States().Contains(TVTDragImageState::disPrepared));
    image->RevealImage();
    EXPECT_FALSE(image->ImageVisible());
  } else {
    // The system refused the picture: the tree draws its own.
    EXPECT_TRUE(image->States().Contains(TVTDragImageState::disPrepared));
  }
  image->EndImage();
}
}  // namespace
