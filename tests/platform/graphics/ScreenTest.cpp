// The screen object: resolution, work area and the cursor table.
#include "platform/Screen.h"

#include <gtest/gtest.h>

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

}  // namespace
