// Colour tables: lookups, limits and sorting by use.
#include "tests/gif/GIFTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

using namespace giftest;

namespace {

TGIFColor Grey(int v) { return {uint8_t(v), uint8_t(v), uint8_t(v)}; }

std::string MessageOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const GIFException& e) {
    return e.Message();
  }
  return "";
}

TEST(GIFColorMap, LimitsAndLookups) {
  TGIFContainer image;
  IssueLog log;
  log.Attach(image);
  TGIFColorMap& map = image.Header().ColorMap();
  EXPECT_EQ(MessageOf([&] { map.ColorAt(0); }), "Color table is empty");
  for (int i = 0; i < 256; ++i) EXPECT_EQ(map.AppendColor(Grey(i % 128)), i);
  EXPECT_EQ(MessageOf([&] { map.AppendColor(Grey(1)); }), "Color table overflow");
  EXPECT_EQ(map.ColorAt(300), Grey(0));
  EXPECT_TRUE(log.Has("Invalid color index"));
  // Grey 5 is at 5 and 133: unsorted tables answer the later one.
  EXPECT_EQ(map.FindColor(Grey(5)), 133);
  map.SetIsSorted(true);
  EXPECT_EQ(map.FindColor(Grey(5)), 5);
  EXPECT_EQ(map.FindColor(Grey(200)), -1);
  EXPECT_EQ(MessageOf([&] { map.RemoveColor(256); }), "Invalid color index");
  map.RemoveColor(0);
  EXPECT_EQ(map.Count(), 255);
  EXPECT_EQ(map.ColorAt(0), Grey(1));
  EXPECT_FALSE(map.IsSorted());
}

TEST(GIFColorMap, BitsNeeded) {
  const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 1}, {3, 2}, {4, 2}, {5, 3}, {16, 4}, {17, 5}, {129, 8}, {256, 8}};
  for (auto [count, bits] : cases) EXPECT_EQ(BitsForColors(count), bits) << count;
}

TEST(GIFColorMap, SortByUse) {
  const struct {
    const char* Name;
    std::vector<uint8_t> Pixels;
    int Entries;
    std::vector<uint8_t> SortedPixels;
    int SortedEntries;
  } cases[] = {
      {"all used", {2, 2, 2, 1, 1, 0}, 3, {0, 0, 0, 1, 1, 2}, 3},
      {"unused entries dropped", {3, 3, 1, 3}, 4, {0, 0, 1, 0}, 2},
      {"already in order", {0, 0, 0, 1, 1, 2}, 3, {0, 0, 0, 1, 1, 2}, 3},
  };
  for (const auto& c : cases) {
    TGIFContainer image;
    for (int i = 0; i < c.Entries; ++i) image.Header().ColorMap().AppendColor(Grey(10 * i));
    TGIFSubImage* frame = AddFrame(image, static_cast<int>(c.Pixels.size()), 1, c.Pixels);
    // A frame with a table of its own keeps its pixels.
    TGIFSubImage* other = AddFrame(image, 2, 1, {1, 0});
    other->ColorMap().AppendColor(Grey(1));
    other->ColorMap().AppendColor(Grey(2));
    EXPECT_TRUE(image.Header().ColorMap().SortUsage()) << c.Name;
    EXPECT_TRUE(image.Header().ColorMap().IsSorted()) << c.Name;
    EXPECT_EQ(std::vector<uint8_t>(frame->Data(), frame->Data() + frame->DataSize()), c.SortedPixels) << c.Name;
    EXPECT_EQ(other->Data()[0], 1) << c.Name;
    ASSERT_EQ(image.Header().ColorMap().Count(), c.SortedEntries) << c.Name;
    // Each pixel still shows the colour it showed.
    for (size_t i = 0; i < c.Pixels.size(); ++i)
      EXPECT_EQ(image.Header().ColorMap().ColorAt(frame->Data()[i]), Grey(10 * c.Pixels[i])) << c.Name;
  }
  TGIFContainer empty;
  empty.Header().ColorMap().AppendColor(Grey(1));
  empty.Header().ColorMap().AppendColor(Grey(2));
  EXPECT_FALSE(empty.Header().ColorMap().SortUsage());
}

TEST(GIFColorMap, SortingMovesTheTransparentIndex) {
  TGIFContainer image;
  TGIFSubImage* frame = AddFrame(image, 4, 1, {1, 1, 1, 0});
  for (int i = 0; i < 2; ++i) frame->ColorMap().AppendColor(Grey(i));
  auto* control = new TGIFGraphicControlExtension(frame);
  frame->Extensions().Add(control);
  control->SetTransparent(true);
  control->SetTransparentColorIndex(0);
  EXPECT_TRUE(frame->ColorMap().SortUsage());
  EXPECT_EQ(control->TransparentColorIndex(), 1);
  EXPECT_EQ(frame->Data()[0], 0);
}

}  // namespace
