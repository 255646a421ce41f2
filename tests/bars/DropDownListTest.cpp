// A combo's drop-down list over a real window: a topmost tool window of its
// own sized for its lines, the line an edit text stands for, hot tracking
// and the release that picks a line.
#include "bars/model/DropDownListBox.h"
#include "bars/model/ItemKinds.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

namespace {

struct TComboList {
  THostedManager Host;
  TdxBarCombo* Combo;
  TdxBarDropDownListBox* List;
  TComboList() {
    Combo = New<TdxBarCombo>(Host.Form);
    for (const char* line : {"Apple", "Apricot", "Banana"}) Combo->Items()->Add(line);
    Combo->SetItemHeight(15);
    Combo->SetDropDownCount(2);
    List = Combo->ListBox();
    List->SetParent(Host.Form);
    Combo->PrepareDropDown(0);
  }
  void Over(int index, UINT message) {
    const RECT r = List->ItemRect(index);
    SendMessageA(List->Handle(), message, 0, MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
  }
};

TEST(ComboDropDown, TheListIsATopmostToolWindowSizedForItsLines) {
  TComboList f;
  const HWND h = f.List->Handle();
  EXPECT_EQ(f.Combo->GetDropDownWindow(), h);
  EXPECT_EQ(f.List->Combo(), f.Combo);
  const LONG_PTR ex = GetWindowLongPtrA(h, GWL_EXSTYLE);
  EXPECT_TRUE(ex & WS_EX_TOPMOST);
  EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongPtrA(h, GWL_STYLE) & WS_BORDER);
  EXPECT_NE(GetAncestor(h, GA_PARENT), f.Host.Form->Handle());
  EXPECT_FALSE(IsWindowVisible(h));
  ASSERT_EQ(f.List->Count(), 3);
  EXPECT_EQ(f.List->Items()->Strings(2), "Banana");
  RECT r{};
  GetWindowRect(h, &r);
  EXPECT_EQ(r.right - r.left, f.Combo->DropDownWidthInEffect(0));
  EXPECT_EQ(r.bottom - r.top, 4 + 2 * 15);
  // An own drop-down window comes first.
  f.Combo->OnGetDropDownWindow =
      TdxBarGetDropDownWindowEvent::Lambda([&](TCustomdxBarCombo*, HWND& w) { w = f.Host.Form->Handle(); });
  EXPECT_EQ(f.Combo->GetDropDownWindow(), f.Host.Form->Handle());
}

TEST(ComboDropDown, TheLineAnEditTextStandsFor) {
  TComboList f;
  ShowWindow(f.List->Handle(), SW_SHOWNA);
  struct Case {
    const char* Name;
    const char* Text;
    int Remembered, Index, Selected;
  } cases[] = {
      {"the whole line ignoring case", "apricot", -1, 1, 1},
      {"a prefix scrolls without selecting", "Apr", -1, 1, -1},
      {"a remembered line that no longer matches", "Banana", 0, 2, 2},
      {"a remembered line that matches", "Apple", 0, 0, 0},
      {"a remembered line kept over an earlier equal one", "Apple", 5, 0, 0},
      {"no line", "zz", -1, -1, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(f.Combo->SyncListWithText(c.Text, c.Remembered), c.Index);
    EXPECT_EQ(f.List->ItemIndex(), c.Selected);
  }
  ShowWindow(f.List->Handle(), SW_HIDE);
  // A hidden list is left as it is.
  f.List->SetItemIndex(2);
  EXPECT_EQ(f.Combo->SyncListWithText("Apple", -1), 0);
  EXPECT_EQ(f.List->ItemIndex(), 2);
}

TEST(ComboDropDown, HotTrackingAndTheReleasePickALine) {
  TComboList f;
  ShowWindow(f.List->Handle(), SW_SHOWNA);
  f.Over(1, WM_MOUSEMOVE);
  EXPECT_EQ(f.List->ItemIndex(), 1);
  EXPECT_EQ(f.Combo->ItemIndex(), -1);
  f.Over(1, WM_LBUTTONUP);
  EXPECT_EQ(f.Combo->ItemIndex(), 1);
  EXPECT_EQ(f.Combo->Text(), "Apricot");
  // Dropped while the button was down elsewhere: the release picks nothing.
  f.Over(0, WM_MOUSEMOVE);
  f.List->SetPressedOutside(true);
  f.Over(0, WM_LBUTTONUP);
  EXPECT_EQ(f.Combo->ItemIndex(), 1);
  // A key with nothing selected starts from the first line shown.
  f.List->SetItemIndex(-1);
  SendMessageA(f.List->Handle(), WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_GE(f.List->ItemIndex(), f.List->TopIndex());
  ShowWindow(f.List->Handle(), SW_HIDE);
}

}  // namespace
