// The image list base: adding cells, masks, moving, drawing, change links
// and the stream form.
#include "platform/ImageList.h"
#include "tests/platform/graphics/GraphicsTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace graphics_test;
using testing_support::TestWindow;

// A strip of `count` 16 x 16 cells, cell i filled with colours[i] on a fuchsia border.
std::unique_ptr<TBitmap> Strip(std::initializer_list<TColor> colours) {
  auto strip = FilledBitmap(16 * static_cast<int>(colours.size()), 16, clFuchsia, pf24bit);
  int i = 0;
  for (TColor c : colours) {
    strip->Canvas()->Brush()->SetColor(c);
    strip->Canvas()->FillRect(RECT{i * 16 + 4, 4, i * 16 + 12, 12});
    ++i;
  }
  return strip;
}

TColor DrawnCentre(TCustomImageList& list, int index, bool enabled = true) {
  auto target = FilledBitmap(16, 16, clWhite);
  list.Draw(target->Canvas(), 0, 0, index, enabled);
  return target->Canvas()->Pixels(8, 8);
}

TEST(ImageList, AddsOneImagePerCellAndMasksAColour) {
  TCustomImageList list(nullptr);
  EXPECT_EQ(list.Width(), 16);
  EXPECT_EQ(list.AddMasked(Strip({clRed, clLime, clBlue}).get(), clFuchsia), 0);
  EXPECT_EQ(list.Count(), 3);
  EXPECT_EQ(DrawnCentre(list, 1), clLime);
  auto target = FilledBitmap(16, 16, clYellow);
  list.Draw(target->Canvas(), 0, 0, 2);
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), clYellow) << "the masked colour is transparent";
  EXPECT_EQ(target->Canvas()->Pixels(8, 8), clBlue);

  auto source = Strip({clRed});
  list.AddMasked(source.get(), clFuchsia);
  EXPECT_EQ(source->Canvas()->Pixels(1, 1), clFuchsia) << "the caller's bitmap is left alone";
  EXPECT_EQ(list.Count(), 4);
}

TEST(ImageList, MoveInsertReplaceDelete) {
  TCustomImageList list(nullptr);
  list.Add(Strip({clRed, clLime, clBlue}).get(), nullptr);
  list.Move(0, 2);
  EXPECT_EQ(DrawnCentre(list, 0), clLime);
  EXPECT_EQ(DrawnCentre(list, 1), clBlue);
  EXPECT_EQ(DrawnCentre(list, 2), clRed);
  list.Insert(0, Strip({clAqua, clNavy}).get(), nullptr);
  EXPECT_EQ(list.Count(), 5);
  EXPECT_EQ(DrawnCentre(list, 0), clAqua);
  EXPECT_EQ(DrawnCentre(list, 1), clNavy);
  EXPECT_EQ(DrawnCentre(list, 2), clLime);
  list.Replace(1, Strip({clTeal}).get(), nullptr);
  EXPECT_EQ(DrawnCentre(list, 1), clTeal);
  list.Delete(0);
  EXPECT_EQ(list.Count(), 4);
  EXPECT_EQ(DrawnCentre(list, 0), clTeal);
  EXPECT_THROW(list.Delete(4), EInvalidOperation);
  EXPECT_THROW(list.Move(0, 9), EInvalidOperation);
  list.Delete(-1);
  EXPECT_EQ(list.Count(), 0);
}

TEST(ImageList, DragImageFollowsTheMouse) {
  TestWindow window(100, 100);
  TDragImageList list(nullptr);
  list.AddMasked(Strip({clRed}).get(), clFuchsia);
  EXPECT_FALSE(list.SetDragImage(3, 0, 0));
  ASSERT_TRUE(list.SetDragImage(0, 8, 8));
  EXPECT_TRUE(list.BeginDrag(window.Handle(), 50, 50));
  EXPECT_TRUE(list.Dragging());
  EXPECT_TRUE(list.DragMove(60, 60));
  EXPECT_TRUE(list.EndDrag());
  EXPECT_FALSE(list.Dragging());
  EXPECT_FALSE(list.DragMove(10, 10));
}

TEST(ImageList, DisabledImagesAreEmbossed) {
  TCustomImageList list(nullptr);
  list.AddMasked(Strip({clRed}).get(), clFuchsia);
  TColor centre = DrawnCentre(list, 0, false);
  EXPECT_NE(centre, clRed);
  EXPECT_EQ(centre, ColorToRGB(clBtnShadow));
  auto target = FilledBitmap(16, 16, clWhite);
  list.Draw(target->Canvas(), 0, 0, 0, false);
  EXPECT_EQ(target->Canvas()->Pixels(1, 1), clWhite);
}

TEST(ImageList, ChangeLinksHearEveryChange) {
  auto list = std::make_unique<TCustomImageList>(nullptr);
  int heard = 0;
  TObject* sender = nullptr;
  TChangeLink link;
  link.OnChange = TNotifyEvent::Lambda([&](TObject* s) { ++heard; sender = s; });
  list->RegisterChanges(&link);
  list->Add(Strip({clRed}).get(), nullptr);
  EXPECT_EQ(heard, 1);
  EXPECT_EQ(sender, list.get());
  list->SetBkColor(clWhite);
  list->SetSize(24, 24);
  EXPECT_EQ(heard, 3);
  EXPECT_EQ(list->Count(), 0) << "a new size empties the list";
  {
    TChangeLink shortLived;
    list->RegisterChanges(&shortLived);
  }  // unregisters itself
  list->Clear();
  EXPECT_EQ(heard, 4);
  list.reset();
  EXPECT_EQ(link.Sender(), nullptr) << "the list's end clears its links";
}

TEST(ImageList, StreamFormRoundTrips) {
  TCustomImageList list(nullptr);
  list.AddMasked(Strip({clRed, clLime}).get(), clFuchsia);
  TMemoryStream data;
  list.WriteData(data);
  EXPECT_GT(data.Size(), 0);
  data.SetPosition(0);
  TCustomImageList loaded(nullptr);
  loaded.ReadData(data);
  EXPECT_EQ(loaded.Count(), 2);
  EXPECT_EQ(DrawnCentre(loaded, 1), clLime);
  TStringStream garbage(std::string(40, 'x'));
  EXPECT_THROW(loaded.ReadData(garbage), EReadError);

  TCustomImageList copy(nullptr);
  copy.Assign(&list);
  EXPECT_EQ(copy.Count(), 2);
  EXPECT_NE(copy.Handle(), list.Handle());
}

}  // namespace
