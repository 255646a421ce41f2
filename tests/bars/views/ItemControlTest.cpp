// Item controls: view levels and their errors, the width cache, the hot
// part, image sizes, and the 400 ms pending open and close of sub-items
// driven through the timer procedures.
#include "bars/model/BarGlobals.h"
#include "bars/model/BarRoutines.h"
#include "bars/views/BarPainter.h"
#include "platform/Bitmap.h"
#include "platform/Exceptions.h"
#include "tests/bars/views/ViewsTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

#include <gtest/gtest.h>

namespace {

TBitmap* NewGlyph(COLORREF color) {
  auto* bitmap = new TBitmap;
  bitmap->SetSize(16, 16);
  RECT r{0, 0, 16, 16};
  HBRUSH brush = CreateSolidBrush(color);
  FillRect(bitmap->Canvas()->Handle(), &r, brush);
  DeleteObject(brush);
  return bitmap;
}

struct TItemsFixture {
  explicit TItemsFixture(bool menu) : Owner(Host.Manager, menu) { RegisterTestItemClasses(); }
  ~TItemsFixture() { FocusedBarControlRef = nullptr; }
  TdxBarItemLink* Add(TdxBarItem* item) { return Owner.Links()->AddItem(item); }
  TTestBar* Show() {
    TTestBar* bar = Owner.Bar();
    bar->ShowAt(120, 120);
    return bar;
  }
  THostedManager Host;
  TTestLinksOwner Owner;
};

TEST(ItemControlLevels, PossibleAndAllowedSets) {
  using L = TdxBarItemViewLevels;
  struct Case {
    const char* Name;
    bool SubItem, Glyph;
    L LinkLevels;
    L Possible, Allowed;
  } cases[] = {
      {"button without image", false, false, L{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly},
       L{ivlSmallIconWithText}, L{ivlSmallIconWithText}},
      {"button with glyph", false, true, L{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly},
       L{ivlSmallIconWithText, ivlSmallIcon}, L{ivlSmallIconWithText, ivlSmallIcon}},
      {"the link narrows the set", false, true, L{ivlSmallIcon}, L{ivlSmallIconWithText, ivlSmallIcon}, L{ivlSmallIcon}},
      {"a disjoint link set leaves the possible one", false, true, L{ivlControlOnly},
       L{ivlSmallIconWithText, ivlSmallIcon}, L{ivlSmallIconWithText, ivlSmallIcon}},
      {"sub-item adds the large level", true, false, L{ivlLargeIconWithText, ivlSmallIconWithText, ivlSmallIcon, ivlControlOnly},
       L{ivlLargeIconWithText, ivlSmallIconWithText}, L{ivlLargeIconWithText, ivlSmallIconWithText}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TItemsFixture f(false);
    TdxBarItem* item = c.SubItem ? static_cast<TdxBarItem*>(New<TTestSubItem>(f.Host.Form))
                                 : static_cast<TdxBarItem*>(New<TdxBarButton>(f.Host.Form));
    item->SetCaption("Item");
    if (c.Glyph) {
      TBitmap* glyph = NewGlyph(RGB(200, 0, 0));
      item->SetGlyph(glyph);
      Free(glyph);
    }
    TdxBarItemLink* link = f.Add(item);
    link->SetViewLevels(c.LinkLevels);
    f.Show();
    TdxBarItemControl* control = ControlOf(link);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->PossibleViewLevels(), c.Possible);
    EXPECT_EQ(control->AllowedViewLevels(), c.Allowed);
    EXPECT_EQ(control->ViewInfo()->AllowedViewLevels(), c.Allowed);
  }
}

class TLevelLessControl : public TdxBarButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  TdxBarItemViewLevels GetPossibleViewLevels() const override { return {}; }
};
const TClassInfo TLevelLessControl::ClassInfo{"TLevelLessControl", &TdxBarButtonControl::ClassInfo, nullptr};

TEST(ItemControlLevels, ProgrammingErrorsRaise) {
  TLevelLessControl levelLess;
  try {
    levelLess.PossibleViewLevels();
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(AnsiString(e.Message()), "TLevelLessControl.GetPossibleViewLevels = []");
  }
  TItemsFixture f(false);
  auto* button = New<TdxBarButton>(f.Host.Form);
  button->SetCaption("Plain");
  TdxBarItemLink* link = f.Add(button);
  f.Show();
  try {
    ControlOf(link)->ViewInfo()->GetWidthForLevel(static_cast<int>(ivlLargeIconWithText));
    FAIL() << "no exception";
  } catch (const Exception& e) {
    EXPECT_EQ(AnsiString(e.Message()), "Testing! The level is not allowed");
  }
}

TEST(ItemControlLevels, TheWidthCacheSurvivesEnablingAndGoesWithTheGlyph) {
  TItemsFixture f(false);
  auto* button = New<TdxBarButton>(f.Host.Form);
  button->SetCaption("Cached");
  TBitmap* red = NewGlyph(RGB(200, 0, 0));
  button->SetGlyph(red);
  TdxBarItemLink* link = f.Add(button);
  f.Show();
  TdxBarItemControl* control = ControlOf(link);
  const int level = static_cast<int>(ivlSmallIconWithText);
  const int width = control->ViewInfo()->GetWidthForLevel(level);
  EXPECT_GT(width, 0);
  EXPECT_TRUE(control->ViewInfo()->WidthCached(level));
  button->SetEnabled(false);
  ASSERT_EQ(ControlOf(link), control);
  EXPECT_TRUE(control->ViewInfo()->WidthCached(level));
  button->SetEnabled(true);
  TBitmap* blue = NewGlyph(RGB(0, 0, 200));
  button->SetGlyph(blue);
  ASSERT_EQ(ControlOf(link), control);
  EXPECT_FALSE(control->ViewInfo()->WidthCached(level));
  EXPECT_EQ(control->ViewInfo()->GetWidthForLevel(level), width);
  Free(red);
  Free(blue);
}

class TPartLessControl : public TdxBarButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  int GetPartCount() const override { return 0; }
};
const TClassInfo TPartLessControl::ClassInfo{"TPartLessControl", &TdxBarButtonControl::ClassInfo,
                                             [](TObject*) -> TObject* { return new TPartLessControl; }};
class TPartLessButton : public TdxBarButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarButton::TdxBarButton;
};
const TClassInfo TPartLessButton::ClassInfo{"TPartLessButton", &TdxBarButton::ClassInfo, nullptr};

TEST(ItemControlMouse, HotPartsByPointAndState) {
  RegisterItemControlPair(&TPartLessButton::ClassInfo, &TPartLessControl::ClassInfo, true);
  TItemsFixture f(false);
  auto* plain = New<TdxBarButton>(f.Host.Form);
  plain->SetCaption("Plain");
  auto* partless = new TPartLessButton(f.Host.Form);
  partless->SetCaption("Partless");
  TdxBarItemLink* a = f.Add(plain);
  TdxBarItemLink* b = f.Add(partless);
  f.Show();
  const POINT inA = Centre(ItemRect(a)), inB = Centre(ItemRect(b));
  struct Case {
    const char* Name;
    TdxBarItemLink* Link;
    POINT Point;
    bool Enabled;
    int Expected;
  } cases[] = {
      {"inside the part", a, inA, true, 0},
      {"outside the item", a, POINT{-5, -5}, true, -1},
      {"inside the item, in no part", b, inB, true, 100},
      {"disabled inside", a, inA, false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    c.Link->Item()->SetEnabled(c.Enabled);
    TdxBarItemControl* control = ControlOf(c.Link);
    control->UpdateHotPart(POINT{-1, -1});
    control->UpdateHotPart(c.Point);
    EXPECT_EQ(control->HotPartIndex(), c.Expected);
    c.Link->Item()->SetEnabled(true);
  }
}

TEST(ItemControlMeasure, WithoutImageTheLargeSizeIs20By20) {
  TItemsFixture f(false);
  auto* button = New<TdxBarButton>(f.Host.Form);
  button->SetCaption("No image");
  TdxBarItemLink* link = f.Add(button);
  f.Show();
  const SIZE large = ControlOf(link)->GetImageSize(2), small = ControlOf(link)->GetImageSize(0);
  EXPECT_EQ(large.cx, 20);
  EXPECT_EQ(large.cy, 20);
  EXPECT_EQ(small.cx, 16);
  EXPECT_EQ(small.cy, 16);
  EXPECT_EQ(ControlOf(link)->GetViewStructure() & dxBarViewIcon, 0u);
}

// --- Pending open and close -----------------------------------------------------------

struct TMenuFixture : TItemsFixture {
  explicit TMenuFixture(bool menu) : TItemsFixture(menu) {
    First = New<TdxBarButton>(Host.Form);
    First->SetCaption("First");
    Sub = New<TTestSubItem>(Host.Form);
    Sub->SetCaption("Sub");
    Inner = New<TdxBarButton>(Host.Form);
    Inner->SetCaption("Inner");
    Sub->ItemLinks()->AddItem(Inner);
    FirstLink = Add(First);
    SubLink = Add(Sub);
    Bar = Show();
  }
  ~TMenuFixture() {
    if (auto* control = SubControl()) control->ControlInactivate(true);
  }
  TdxBarSubItemControl* SubControl() { return dynamic_cast<TdxBarSubItemControl*>(ControlOf(SubLink)); }
  TdxBarButton* First;
  TTestSubItem* Sub;
  TdxBarButton* Inner;
  TdxBarItemLink* FirstLink;
  TdxBarItemLink* SubLink;
  TTestBar* Bar;
};

void FireOpen() { TdxBarButtonLikeControl::PendingOpenTimerProc(nullptr, WM_TIMER, 0, 0); }
void FireClose() { TdxBarButtonLikeControl::PendingCloseTimerProc(nullptr, WM_TIMER, 0, 0); }

TEST(SubItemTiming, InAMenuItOpensAfterTheDelayAndClosesAfterLeaving) {
  TMenuFixture f(true);
  TdxBarSubItemControl* control = f.SubControl();
  ASSERT_NE(control, nullptr);
  PostMouse(f.Bar, WM_MOUSEMOVE, Centre(ItemRect(f.SubLink)));
  EXPECT_EQ(f.Bar->SelectedControl(), control);
  EXPECT_EQ(TdxBarButtonLikeControl::PendingOpenControl(), control);
  EXPECT_FALSE(control->IsDroppedDown());
  FireOpen();
  EXPECT_TRUE(control->IsDroppedDown());
  EXPECT_EQ(TdxBarButtonLikeControl::PendingOpenControl(), nullptr);
  // Leaving for another item schedules the close; coming back cancels it.
  PostMouse(f.Bar, WM_MOUSEMOVE, Centre(ItemRect(f.FirstLink)));
  EXPECT_EQ(TdxBarButtonLikeControl::PendingCloseControl(), control);
  EXPECT_TRUE(control->IsDroppedDown());
  PostMouse(f.Bar, WM_MOUSEMOVE, Centre(ItemRect(f.SubLink)));
  EXPECT_EQ(TdxBarButtonLikeControl::PendingCloseControl(), nullptr);
  EXPECT_TRUE(control->IsDroppedDown());
  // Leaving again, and the close fires.
  PostMouse(f.Bar, WM_MOUSEMOVE, Centre(ItemRect(f.FirstLink)));
  ASSERT_EQ(TdxBarButtonLikeControl::PendingCloseControl(), control);
  FireClose();
  EXPECT_FALSE(control->IsDroppedDown());
}

TEST(SubItemTiming, OnAToolbarOutsideMenuModeHoveringOpensNothing) {
  TMenuFixture f(false);
  TdxBarSubItemControl* control = f.SubControl();
  ASSERT_NE(control, nullptr);
  PostMouse(f.Bar, WM_MOUSEMOVE, Centre(ItemRect(f.SubLink)));
  EXPECT_EQ(f.Bar->SelectedControl(), control);
  EXPECT_EQ(TdxBarButtonLikeControl::PendingOpenControl(), nullptr);
  EXPECT_FALSE(control->IsDroppedDown());
}

TEST(SubItemTiming, AClickOnAnOpenSubItemClosesItOnlyInTheStandardStyle) {
  struct Case {
    TdxBarManagerStyle Style;
    bool StaysOpen;
  } cases[] = {{bmsStandard, false}, {bmsEnhanced, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.Style));
    TMenuFixture f(true);
    f.Host.Manager->SetStyle(c.Style);
    TdxBarSubItemControl* control = f.SubControl();
    const POINT p = Centre(ItemRect(f.SubLink));
    PostMouse(f.Bar, WM_MOUSEMOVE, p);
    FireOpen();
    ASSERT_TRUE(control->IsDroppedDown());
    PostMouse(f.Bar, WM_LBUTTONDOWN, p, MK_LBUTTON);
    PostMouse(f.Bar, WM_LBUTTONUP, p);
    EXPECT_EQ(control->IsDroppedDown(), c.StaysOpen);
  }
}

}  // namespace
