// Rectangle and point arithmetic, and the rectangle property.
#include "foundation/Classes.h"
#include "foundation/Geometry.h"

#include <gtest/gtest.h>

namespace {

std::string Str(const RECT& r) {
  return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
         std::to_string(r.bottom) + ")";
}

TEST(Geometry, RectangleResults) {
  const RECT r{10, 20, 50, 80};
  const struct { const char* Name; RECT Result; RECT Expected; } cases[] = {
      {"united with an empty first", UniteRects({0, 0, 0, 0}, {10, 10, 20, 20}), {0, 0, 20, 20}},
      {"united with a second without width", UniteRects({0, 0, 5, 5}, {10, 10, 10, 20}), {0, 0, 5, 5}},
      {"united with a second without height", UniteRects({0, 0, 5, 5}, {10, 10, 20, 9}), {0, 0, 5, 5}},
      {"united, overlapping", UniteRects({0, 5, 10, 10}, {-5, 0, 8, 20}), {-5, 0, 10, 20}},
      {"centred 3 x 3", CenterExtentInRect({0, 0, 10, 10}, 3, 3), {3, 3, 6, 6}},
      {"centred wider than the rectangle", CenterExtentInRect({0, 0, 10, 10}, 13, 3), {-1, 3, 12, 6}},
      {"centred size", CenterSizeInRect({0, 0, 10, 20}, SIZE{4, 6}), {3, 7, 7, 13}},
      {"grown", GrowRect(r, 2, -3), {8, 23, 52, 77}},
      {"grown per side", GrowRectSides(r, 1, 2, 3, 4), {9, 18, 53, 84}},
      {"inner by margins", InnerRectByMargins(r, {1, 2, 3, 4}), {11, 22, 47, 76}},
      {"shifted", ShiftRect(r, -10, 5), {0, 25, 40, 85}},
      {"shifted by point", ShiftRectByPoint(r, POINT{1, 1}), {11, 21, 51, 81}},
      {"shifted horizontally", ShiftRectHorz(r, 4), {14, 20, 54, 80}},
      {"placed left", PlaceRectLeft(r, 0, 5), {0, 20, 5, 80}},
      {"moved left keeps the width", MoveRectLeft(r, 0), {0, 20, 40, 80}},
      {"placed right", PlaceRectRight(r, 100, 5), {95, 20, 100, 80}},
      {"placed top", PlaceRectTop(r, 0, 5), {10, 0, 50, 5}},
      {"placed bottom", PlaceRectBottom(r, 100, 5), {10, 95, 50, 100}},
      {"top strip", PlaceRectTop(r, 5), {10, 20, 50, 25}},
      {"bottom strip", PlaceRectBottom(r, 5), {10, 75, 50, 80}},
      {"left strip", PlaceRectLeft(r, 5), {10, 20, 15, 80}},
      {"width set", SetRectWidth(r, 1), {10, 20, 11, 80}},
      {"height set", SetRectHeight(r, 0), {10, 20, 50, 20}},
      {"from size", BuildRectFromSize(1, 2, 3, 4), {1, 2, 4, 6}},
  };
  for (const auto& c : cases) EXPECT_TRUE(SameRect(c.Result, c.Expected)) << c.Name << ": " << Str(c.Result);
}

TEST(Geometry, Predicates) {
  const RECT r{0, 0, 10, 10};
  EXPECT_TRUE(RectContainsXY(r, 0, 0));
  EXPECT_FALSE(RectContainsXY(r, 10, 5));
  EXPECT_FALSE(RectContainsXY(r, 5, 10));
  EXPECT_TRUE(RectContainsPoint(r, POINT{9, 9}));
  EXPECT_TRUE(RectIsEmpty({5, 0, 4, 10}));  // Right left of Left
  EXPECT_TRUE(RectIsEmpty({0, 0, 10, 0}));
  EXPECT_FALSE(RectIsEmpty(r));
  EXPECT_EQ(WidthOfRect({3, 0, -2, 0}), -5);
  EXPECT_EQ(HeightOfRect({0, 3, 0, 10}), 7);
  const POINT centre = RectCenterPoint({-3, -3, 0, 0});
  EXPECT_TRUE(SamePoint(centre, POINT{-1, -1}));
  EXPECT_TRUE(SamePoint(NegatePoint(POINT{2, -3}), POINT{-2, 3}));
  EXPECT_TRUE(SamePoint(ShiftPoint(POINT{1, 1}, 2, 3), BuildPoint(3, 4)));
  EXPECT_TRUE(SamePoint(ShiftPointByPoint(POINT{1, 1}, POINT{-1, -1}), POINT{0, 0}));
  EXPECT_TRUE(SameSize(BuildSize(1, 2), SIZE{1, 2}));
  EXPECT_FALSE(SameSize(SIZE{1, 2}, SIZE{2, 1}));
}

TEST(CxRect, FiresOnChangeOncePerChange) {
  TcxRect rect(nullptr);
  int changes = 0;
  rect.OnChange = TNotifyEvent::Lambda([&](TObject* sender) {
    EXPECT_EQ(sender, &rect);
    ++changes;
  });
  rect.SetLeft(0);  // the current value: nothing
  EXPECT_EQ(changes, 0);
  rect.SetRight(10);
  rect.SetBottom(5);
  EXPECT_EQ(changes, 2);
  EXPECT_TRUE(rect.IsEqual({0, 0, 10, 5}));
  rect.SetRect({0, 0, 10, 5});
  EXPECT_EQ(changes, 2);
  rect.SetRect({1, 2, 3, 4});  // four edges at once: one change
  EXPECT_EQ(changes, 3);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(rect.GetValue(i), i + 1);

  TcxRect other(&rect);
  EXPECT_EQ(other.GetOwner(), &rect);
  other.SetRect({7, 7, 8, 8});
  rect.Assign(&other);
  EXPECT_EQ(changes, 4);
  rect.Assign(&other);
  EXPECT_EQ(changes, 4);
  TComponent foreign(nullptr);
  rect.Assign(&foreign);  // ignored, no error
  EXPECT_TRUE(rect.IsEqual({7, 7, 8, 8}));
}

TEST(CxRect, IsStreamableWhileItsUnitRuns) {
  cxGeometryInit();
  EXPECT_EQ(FindStreamableClass("TcxRect"), &TcxRect::ClassInfo);
  TcxRect* made = static_cast<TcxRect*>(CreateObject(FindStreamableClass("TcxRect")));
  EXPECT_TRUE(made->IsEqual({0, 0, 0, 0}));
  Free(made);
  cxGeometryDone();
  EXPECT_EQ(FindStreamableClass("TcxRect"), nullptr);
}

}  // namespace
