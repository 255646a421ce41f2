// The screen object: resolution, work area, the cursor table, the monitors
// and the menu font (from the system or from a test), and the mouse's facts.
#include "platform/Graphics.h"
#include "platform/HandleCounts.h"
#include "platform/Mouse.h"
#include "platform/Screen.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(Screen, DescribesTheDisplay) {
  EXPECT_GE(Screen->PixelsPerInch(), 72);
  RECT work = Screen->WorkAreaRect();
  EXPECT_GT(work.right - work.left, 0);
  EXPECT_LE(Screen->WorkAreaHeight(), Screen->Height());
  std::vector<AnsiString> fonts = Screen->Fonts();
  EXPECT_FALSE(fonts.empty());
}

TEST(Screen, CursorTableHoldsSystemAndOwnCursors) {
  EXPECT_EQ(Screen->Cursors(crArrow), LoadCursorA(nullptr, IDC_ARROW));
  EXPECT_EQ(Screen->Cursors(crIBeam), LoadCursorA(nullptr, IDC_IBEAM));
  EXPECT_EQ(Screen->Cursors(crNone), nullptr);
  EXPECT_EQ(Screen->Cursors(12345), LoadCursorA(nullptr, IDC_ARROW));

  BYTE andMask[32 * 4], xorMask[32 * 4];
  memset(andMask, 0xFF, sizeof andMask);
  memset(xorMask, 0, sizeof xorMask);
  HCURSOR own = CreateCursor(GetModuleHandleA(nullptr), 0, 0, 32, 32, andMask, xorMask);
  ASSERT_NE(own, nullptr);
  Screen->SetCursors(1, own);
  EXPECT_EQ(Screen->Cursors(1), own);
  Screen->SetCursors(1, nullptr);  // removed and destroyed
  EXPECT_EQ(Screen->Cursors(1), LoadCursorA(nullptr, IDC_ARROW));
}

TEST(Screen, SystemMonitorsAndMenuFont) {
  ASSERT_GE(Screen->MonitorCount(), 1);
  TMonitor* primary = Screen->PrimaryMonitor();
  ASSERT_NE(primary, nullptr);
  EXPECT_TRUE(primary->Primary());
  EXPECT_EQ(primary->Width(), Screen->Width());
  EXPECT_EQ(primary->Height(), Screen->Height());
  const RECT work = primary->WorkareaRect();
  const RECT bounds = primary->BoundsRect();
  RECT inside;
  EXPECT_TRUE(IntersectRect(&inside, &work, &bounds));
  EXPECT_TRUE(EqualRect(&inside, &work)) << "the work area lies on its monitor";
  EXPECT_EQ(Screen->MonitorFromPoint({10, 10}), primary);
  EXPECT_EQ(Screen->MonitorFromWindow(GetDesktopWindow()), primary);
  EXPECT_FALSE(Screen->MenuFont()->Name().empty());
}

// Two monitors side by side, the second one primary, and a large menu font.
class ScreenSeamTest : public ::testing::Test {
protected:
  void SetUp() override {
    FPrevious = Screen->SetDisplaySource([] {
      TDisplayFacts facts;
      facts.Monitors.push_back({nullptr, {-1024, 0, 0, 768}, {-1024, 0, 0, 740}, false});
      facts.Monitors.push_back({nullptr, {0, 0, 1280, 1024}, {0, 30, 1280, 1024}, true});
      facts.MenuFont.lfHeight = -20;
      facts.MenuFont.lfWeight = FW_BOLD;
      std::strcpy(facts.MenuFont.lfFaceName, "Tahoma");
      return facts;
    });
  }
  void TearDown() override { Screen->SetDisplaySource(std::move(FPrevious)); }
  TDisplaySource FPrevious;
};

TEST_F(ScreenSeamTest, MonitorsComeInTheirOrderWithBothRectangles) {
  ASSERT_EQ(Screen->MonitorCount(), 2);
  TMonitor* left = Screen->Monitors(0);
  TMonitor* right = Screen->Monitors(1);
  EXPECT_EQ(left->MonitorNum(), 0);
  EXPECT_EQ(left->Left(), -1024);
  EXPECT_EQ(left->WorkareaRect().bottom, 740);
  EXPECT_EQ(right->WorkareaRect().top, 30);
  EXPECT_EQ(Screen->PrimaryMonitor(), right);
  EXPECT_EQ(Screen->WorkAreaRect().top, 30);
  const RECT desktop = Screen->DesktopRect();
  EXPECT_EQ(desktop.left, -1024);
  EXPECT_EQ(desktop.right, 1280);
  EXPECT_EQ(desktop.bottom, 1024);
}

TEST_F(ScreenSeamTest, MonitorOfAPointOrRectangle) {
  TMonitor* left = Screen->Monitors(0);
  TMonitor* right = Screen->Monitors(1);
  struct Case {
    const char* Name;
    POINT Point;
    TMonitorDefaultTo DefaultTo;
    TMonitor* Expected;
  };
  const Case cases[] = {
      {"OnTheLeft", {-10, 100}, mdNearest, left},
      {"OnTheRight", {0, 0}, mdNearest, right},
      {"BelowTheLeftNearest", {-500, 900}, mdNearest, left},
      {"FarRightNearest", {5000, 10}, mdNearest, right},
      {"OutsideNull", {-500, 900}, mdNull, nullptr},
      {"OutsidePrimary", {-500, 900}, mdPrimary, right},
  };
  for (const Case& c : cases) EXPECT_EQ(Screen->MonitorFromPoint(c.Point, c.DefaultTo), c.Expected) << c.Name;
  EXPECT_EQ(Screen->MonitorFromRect({-100, 0, 20, 50}), left) << "more of it on the left";
  EXPECT_EQ(Screen->MonitorFromRect({-20, 0, 100, 50}), right);
  EXPECT_EQ(Screen->MonitorFromRect({3000, 0, 3100, 50}, mdNull), nullptr);
}

TEST_F(ScreenSeamTest, MenuFontAndDisplayChanges) {
  EXPECT_EQ(Screen->MenuFont()->Name(), "Tahoma");
  EXPECT_EQ(Screen->MenuFont()->Height(), -20);
  EXPECT_TRUE(Screen->MenuFont()->Style().Contains(TFontStyle::fsBold));
  // Reading the displays again makes no handle.
  const THandleCounts before = HandleCounts();
  Screen->DisplayChanged();
  EXPECT_EQ(Screen->MenuFont()->Name(), "Tahoma");
  EXPECT_EQ(HandleCounts(), before) << HandleCountsText(HandleCounts());
  // The system's displays come back once the test's source is gone.
  Screen->SetDisplaySource(nullptr);
  EXPECT_EQ(Screen->MonitorCount(), static_cast<int>(SystemDisplayFacts().Monitors.size()));
}

TEST(MouseTest, FactsFromTheSystemOrATest) {
  const TMouseFacts system = SystemMouseFacts();
  EXPECT_EQ(Mouse->WheelScrollLines(), system.WheelScrollLines);
  EXPECT_EQ(Mouse->DragThreshold(), system.DragThreshold);
  EXPECT_GT(Mouse->DragThreshold(), 0);
  TMouseFactsSource previous = Mouse->SetFactsSource([] { return TMouseFacts{7, 12}; });
  EXPECT_EQ(Mouse->WheelScrollLines(), 7);
  EXPECT_EQ(Mouse->DragThreshold(), 12);
  Mouse->SetFactsSource(std::move(previous));
  EXPECT_EQ(Mouse->DragThreshold(), system.DragThreshold);
}

}  // namespace
