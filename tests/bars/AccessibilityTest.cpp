// The accessibility lookups of the bar objects and the caption buttons of
// floating toolbars.
#include "bars/model/Accessibility.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/CaptionButtons.h"
#include "bars/model/NavigationController.h"
#include "bars/views/BarControl.h"
#include "platform/Bitmap.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

// A helper whose key-tip parent and container flag a test sets.
class TTipHelper : public TdxBarAccessibilityHelper {
public:
  using TdxBarAccessibilityHelper::TdxBarAccessibilityHelper;
  TdxBarAccessibilityHelper* KeyTipParent() override { return Parent; }
  bool IsKeyTipContainer() override { return Container; }
  void LeaveKeyTipLevel() override { ++Left; }
  TdxBarAccessibilityHelper* Parent = nullptr;
  bool Container = false;
  int Left = 0;
};

TEST(BarAccessibility, TheKeyTipContainerIsTheFirstContainerAbove) {
  std::vector<TTipHelper*> chain;
  for (int i = 0; i < 4; ++i) {
    chain.push_back(new TTipHelper(nullptr));
    chain.back()->AddRef();
  }
  // 0 -> 1 -> 2 -> 3 (the key-tip parents).
  for (int i = 0; i < 3; ++i) chain[static_cast<size_t>(i)]->Parent = chain[static_cast<size_t>(i + 1)];
  struct Case {
    const char* Name;
    int From;
    int ContainerAt;  // -1 for none
    int Expected;     // -1 for null
  } cases[] = {
      {"no container: the last helper with no parent", 0, -1, 3},
      {"the first container above", 0, 2, 2},
      {"the parent itself", 0, 1, 1},
      {"the helper itself does not count", 1, 1, 3},
      {"no parent at all", 3, 3, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    for (TTipHelper* h : chain) h->Container = false;
    if (c.ContainerAt >= 0) chain[static_cast<size_t>(c.ContainerAt)]->Container = true;
    IdxBarAccessibilityHelper* found = KeyTipContainerOf(chain[static_cast<size_t>(c.From)]);
    IdxBarAccessibilityHelper* expected =
        c.Expected < 0 ? nullptr : static_cast<IdxBarAccessibilityHelper*>(chain[static_cast<size_t>(c.Expected)]);
    EXPECT_EQ(found, expected);
  }
  EXPECT_EQ(KeyTipContainerOf(nullptr), nullptr);
  EscapeKeyTipLevel(chain[2]);
  EXPECT_EQ(chain[2]->Left, 1);
  EXPECT_EQ(QueryAccessibilityHelper(chain[0]), static_cast<IdxBarAccessibilityHelper*>(chain[0]));
  TBitmap notAHelper;
  EXPECT_EQ(QueryAccessibilityHelper(&notAHelper), nullptr);
  for (TTipHelper* h : chain) {
    IdxBarAccessibilityHelper* held = h;
    ReleaseAccessibilityHelper(held);
    EXPECT_EQ(held, nullptr);
  }
}

TEST(BarAccessibility, AWindowsRootComesFromTheHookFirst) {
  THostedManager host;
  HWND wnd = host.Form->Handle();
  EXPECT_EQ(RootAccessibleOfWindow(wnd), nullptr);  // no main menu bar
  static TTipHelper* given = nullptr;
  given = new TTipHelper(nullptr);
  given->AddRef();
  RootAccessibleHook = [](HWND, IdxBarAccessibilityHelper*& helper) { helper = given; };
  EXPECT_EQ(RootAccessibleOfWindow(wnd), static_cast<IdxBarAccessibilityHelper*>(given));
  RootAccessibleHook = nullptr;
  given->Release();
}

TEST(BarAccessibility, ABarWindowsHelperIsMadeOnceAndLetGo) {
  THostedManager host;
  TdxBarSubMenuControl* control = New<TdxBarSubMenuControl>(host.Form);
  IdxBarAccessibilityHelper* helper = control->AcquireAccessibilityHelper();
  ASSERT_NE(helper, nullptr);
  EXPECT_EQ(control->AcquireAccessibilityHelper(), helper);
  helper->HelperObject()->AddRef();  // outlives the window
  Free(control);
  EXPECT_FALSE(helper->HelperObject()->OwnerAlive());
  helper->HelperObject()->Release();
}

TEST(CaptionButtons, StatesFollowTheMouseAndTheKeyboard) {
  TdxBarCaptionButtons buttons(nullptr);
  int changes = 0;
  buttons.OnButtonsChanged =
      TdxBarCaptionButtonsChangedEvent::Lambda([&](TdxBarCaptionButtons*, TCollectionItem*) { ++changes; });
  TdxBarCaptionButton* front = buttons.Add();
  TdxBarCaptionButton* behind = buttons.Add();
  TdxBarCaptionButton* other = buttons.Add();
  front->SetRect(RECT{10, 2, 26, 18});
  behind->SetRect(RECT{10, 2, 26, 18});
  other->SetRect(RECT{30, 2, 46, 18});
  EXPECT_EQ(buttons.ButtonIndexAtPoint(POINT{12, 5}), 0);
  front->SetEnabled(false);
  EXPECT_EQ(front->State(), cbsDisabled);
  // A disabled button is skipped: the one behind it is found.
  EXPECT_EQ(buttons.ButtonIndexAtPoint(POINT{12, 5}), 1);
  struct Case {
    const char* Name;
    POINT At;
    bool Pressed;
    int Front, Behind, Other;
  } cases[] = {
      {"over two", {12, 5}, false, cbsDisabled, cbsHot, cbsNormal},
      {"pressed", {12, 5}, true, cbsDisabled, cbsPressed, cbsNormal},
      {"over the other", {35, 5}, false, cbsDisabled, cbsNormal, cbsHot},
      {"outside", {-1, -1}, false, cbsDisabled, cbsNormal, cbsNormal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    buttons.UpdateButtonStates(c.At, c.Pressed);
    EXPECT_EQ(front->State(), c.Front);
    EXPECT_EQ(behind->State(), c.Behind);
    EXPECT_EQ(other->State(), c.Other);
  }
  // The keyboard's selection stays hot while the mouse is elsewhere.
  TdxBarNavigationController* navigation = NavigationControllerInstance();
  ASSERT_NE(navigation, nullptr);
  navigation->SetSelectedObject(other->AcquireAccessibilityHelper());
  buttons.UpdateButtonStates(POINT{-1, -1}, false);
  EXPECT_EQ(other->State(), cbsHot);
  navigation->SetSelectedObject(nullptr);
  // Setting Enabled again resets a hot button.
  other->SetEnabled(true);
  EXPECT_EQ(other->State(), cbsNormal);
  bool flag = true;
  AnsiString text = "x", second = "y";
  other->SetHint("Pin");
  EXPECT_FALSE(other->TipText(flag, text, second));
  EXPECT_EQ(text, "");
  other->SetState(cbsHot);
  EXPECT_TRUE(other->TipText(flag, text, second));
  EXPECT_EQ(text, "Pin");
  EXPECT_GT(changes, 0);
}

TEST(CaptionButtons, BoundsAndAssign) {
  TdxBarCaptionButtons buttons(nullptr);
  TdxBarCaptionButton* a = buttons.Add();
  TdxBarCaptionButton* b = buttons.Add();
  RECT r = buttons.BoundsOfButtons();
  EXPECT_TRUE(IsRectEmpty(&r));
  a->SetRect(RECT{10, 2, 20, 12});
  b->SetRect(RECT{30, 4, 40, 14});
  r = buttons.BoundsOfButtons();
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 2);
  EXPECT_EQ(r.right, 40);
  EXPECT_EQ(r.bottom, 14);
  int clicks = 0, whole = 0;
  buttons.OnButtonsChanged = TdxBarCaptionButtonsChangedEvent::Lambda(
      [&](TdxBarCaptionButtons*, TCollectionItem* item) { whole += item == nullptr; });
  a->SetOnClick(TNotifyEvent::Lambda([&](TObject* sender) { clicks += sender == b ? 10 : 1; }));
  a->SetHint("Pin");
  a->SetEnabled(false);
  b->Assign(a);
  EXPECT_GE(whole, 2);
  EXPECT_EQ(b->Hint(), "Pin");
  EXPECT_FALSE(b->Enabled());
  EXPECT_EQ(b->Rect().left, 10);
  b->FireClick();
  EXPECT_EQ(clicks, 10);
}

}  // namespace

#include "bars/views/ItemControl.h"
#include "foundation/Bitmaps.h"
#include "foundation/Graphics.h"

namespace {

TEST(ItemControl, TheGlyphCacheKeepsTheLastImageUntilReset) {
  TdxBarItemControl control;
  TdxCachedImageOptions* cache = control.CachedImage();
  TBitmap glyph, other;
  glyph.SetSize(4, 4);
  other.SetSize(4, 4);
  {
    HDC dc = glyph.Canvas()->Handle();
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT all{0, 0, 4, 4};
    FillRect(dc, &all, red);
    DeleteObject(red);
    SetPixel(dc, 0, 3, RGB(0, 0, 255));  // the transparent corner
  }
  cache->StoreImage(RECT{10, 10, 18, 18}, &glyph, idmNormal, -1, 1, nullptr, clWhite);
  ASSERT_TRUE(cache->Valid());
  EXPECT_EQ(cache->Glyph()->Width(), 8);
  HDC dc = cache->Glyph()->Canvas()->Handle();
  int red = 0, white = 0;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const COLORREF c = GetPixel(dc, x, y) & 0xFFFFFF;
      red += c == RGB(255, 0, 0);
      white += c == RGB(255, 255, 255);
    }
  EXPECT_GT(red, 0);
  EXPECT_GT(white, 0);  // the background, and the transparent corner
  struct Case {
    const char* Name;
    int State;
    TBitmap* Source;
    bool Matches;
  } cases[] = {
      {"same state and bitmap", 1, &glyph, true},
      {"another state", 2, &glyph, false},
      {"another bitmap", 1, &other, false},
      {"no bitmap: the image list decides, and the cache came from a bitmap", 1, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(cache->MatchesImage(c.State, c.Source, nullptr), c.Matches);
  }
  control.ResetImageCache(false);
  EXPECT_FALSE(cache->MatchesImage(1, &glyph, nullptr));
}

}  // namespace
