// The bar window base on a small concrete window: metrics, border sizes,
// the menu stacking, keys on an active bar and the roads of the mouse
// (posted messages to real windows).
#include "bars/model/BarGlobals.h"
#include "bars/model/BarRoutines.h"
#include "bars/views/BarPainter.h"
#include "foundation/Canvas.h"
#include "tests/bars/views/ViewsTestSupport.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

// A manager with a row of buttons (or a menu of them) on a shown test bar.
struct TBarFixture {
  explicit TBarFixture(bool menu, std::initializer_list<const char*> captions = {"&Alpha", "&Beta", "&Gamma"})
      : Owner(Host.Manager, menu) {
    RegisterTestItemClasses();
    for (const char* caption : captions) {
      auto* button = New<TdxBarButton>(Host.Form);
      button->SetCaption(caption);
      Buttons.push_back(button);
      Owner.Links()->AddItem(button);
    }
    Bar = Owner.Bar();
    Bar->ShowAt(100, 100);
  }
  ~TBarFixture() {
    if (FocusedBarControlRef) FocusedBarControlRef = nullptr;
  }
  TdxBarItemLink* Link(int i) { return Owner.Links()->GetShownLink(i); }
  TdxBarItemControl* Control(int i) { return ControlOf(Link(i)); }
  THostedManager Host;
  TTestLinksOwner Owner;
  std::vector<TdxBarButton*> Buttons;
  TTestBar* Bar = nullptr;
};

TEST(BarControlMetrics, FollowTheTextSizeOfTheFont) {
  for (int points : {6, 8, 14, 30}) {
    SCOPED_TRACE(points);
    TBarFixture f(false);
    f.Host.Manager->Font()->SetSize(points);
    f.Bar->Font()->Assign(f.Host.Manager->Font());
    f.Bar->CalcMetrics();
    const int text = f.Bar->TextSize();
    EXPECT_EQ(f.Bar->MenuArrowHeight(), std::max(text / 5, 4));
    EXPECT_DOUBLE_EQ(f.Bar->Ratio(), std::max(static_cast<double>(text) / 19, 1.0));
    // The "0" measured in the items' font.
    TcxScreenCanvas screen;
    screen.Canvas()->Font()->Assign(f.Host.Manager->Font());
    SIZE zero{0, 0};
    screen.MeasureTextSize("0", zero);
    EXPECT_EQ(f.Bar->ComboArrowWidth(), 2 * zero.cx - 1);
  }
}

TEST(BarControlMetrics, BorderSizesByDockingAndStyle) {
  const int frameX = GetSystemMetrics(SM_CXFRAME), frameY = GetSystemMetrics(SM_CYFRAME);
  struct Case {
    const char* Name;
    TdxBarManagerStyle Style;
    int Docking;
    int BorderStyle;
    bool Dockable, StatusBar, Grip;
    TdxBarBorders Expected;
  } cases[] = {
      {"floating without caption", bmsEnhanced, 0, 1, false, false, false, {frameX, frameY, frameX, frameY}},
      {"docked without border", bmsEnhanced, 2, 0, true, false, true, {0, 0, 0, 0}},
      {"status bar with grip", bmsEnhanced, 4, 0, false, true, true, {0, 2, GetSystemMetrics(SM_CXHSCROLL), 0}},
      {"status bar without grip", bmsEnhanced, 4, 0, false, true, false, {0, 2, 0, 0}},
      {"standard docked with handle", bmsStandard, 2, 1, true, false, false, {2 + 9, 2, 2, 2}},
      {"enhanced docked with handle", bmsEnhanced, 2, 1, true, false, false, {2 + 6, 2, 2, 2}},
      {"enhanced docked left with handle", bmsEnhanced, 1, 1, true, false, false, {2, 2 + 6, 2, 2}},
      {"docked without handle", bmsEnhanced, 2, 1, false, false, false, {2, 2, 2, 2}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TBarFixture f(false);
    f.Host.Manager->SetStyle(c.Style);
    f.Bar->BorderStyleValue = c.BorderStyle;
    f.Bar->Dockable = c.Dockable;
    f.Bar->StatusBar = c.StatusBar;
    TdxBarBorders b{-1, -1, -1, -1};
    f.Bar->GetPainter()->GetBarBorderSizes(f.Bar, c.Docking, c.Grip, b);
    EXPECT_EQ(b.Left, c.Expected.Left);
    EXPECT_EQ(b.Top, c.Expected.Top);
    EXPECT_EQ(b.Right, c.Expected.Right);
    EXPECT_EQ(b.Bottom, c.Expected.Bottom);
  }
}

TEST(BarControlLayout, AMenuWithoutLinksLeavesBottomAtTheTop) {
  TBarFixture f(true, {});
  int bottom = -1;
  f.Bar->SizeItems(0, bottom);
  EXPECT_EQ(bottom, f.Bar->VisibleItemsRect().top);
}

TEST(BarControlLayout, AMenuStacksItsItemsDownwards) {
  TBarFixture f(true);
  for (int i = 0; i < 3; ++i) {
    const RECT r = ItemRect(f.Link(i));
    EXPECT_EQ(r.left, 0);
    EXPECT_GT(r.bottom, r.top);
    if (i > 0) {
      EXPECT_EQ(r.top, ItemRect(f.Link(i - 1)).bottom);
    }
  }
}

// --- Keys ---------------------------------------------------------------------------------

TEST(BarControlKeys, ArrowsWrapAndStartAtTheFirst) {
  struct Case {
    const char* Name;
    bool Vertical;
    int Start;  // -1: nothing selected
    UINT Key;
    int Expected;
  } cases[] = {
      {"left on the first wraps to the last", false, 0, VK_LEFT, 2},
      {"right on the last wraps to the first", false, 2, VK_RIGHT, 0},
      {"left with nothing selected takes the first", false, -1, VK_LEFT, 0},
      {"right with nothing selected takes the first", false, -1, VK_RIGHT, 0},
      {"right moves on", false, 0, VK_RIGHT, 1},
      {"home", false, 2, VK_HOME, 0},
      {"end", false, 0, VK_END, 2},
      {"a vertical bar turns up into left", true, 0, VK_UP, 2},
      {"a vertical bar turns down into right", true, 1, VK_DOWN, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TBarFixture f(false);
    f.Bar->Vertical = c.Vertical;
    if (c.Vertical) f.Bar->SetBounds(100, 100, 40, 300);
    f.Bar->CalcLayout();
    f.Bar->EnterFocus(c.Start >= 0 ? f.Control(c.Start) : nullptr);
    ASSERT_TRUE(f.Bar->IsActive());
    PostKeyDown(f.Bar, c.Key);
    EXPECT_EQ(f.Bar->SelectedControl(), f.Control(c.Expected));
  }
}

TEST(BarControlKeys, AcceleratorsSelectAndPressWhenUnique) {
  TBarFixture f(false, {"&Open", "&Save", "&Send", "Close"});
  int clicks[4] = {};
  for (int i = 0; i < 4; ++i)
    f.Buttons[static_cast<size_t>(i)]->OnClick = TNotifyEvent::Lambda([&clicks, i](TObject*) { ++clicks[i]; });
  f.Bar->EnterFocus(nullptr);
  // Two links share S: the key selects the next one without pressing it.
  PostKeyDown(f.Bar, 'S');
  EXPECT_EQ(f.Bar->SelectedControl(), f.Control(1));
  PostKeyDown(f.Bar, 'S');
  EXPECT_EQ(f.Bar->SelectedControl(), f.Control(2));
  EXPECT_EQ(clicks[1] + clicks[2], 0);
  // A key that is no digit or letter selects nothing.
  PostKeyDown(f.Bar, VK_OEM_COMMA);
  EXPECT_EQ(f.Bar->SelectedControl(), f.Control(2));
  // A unique accelerator selects and presses.
  PostKeyDown(f.Bar, 'O');
  EXPECT_EQ(clicks[0], 1);
  EXPECT_FALSE(f.Bar->IsActive());
}

TEST(BarControlKeys, F10ClosesTheChainOnlyWhenTheManagerUsesIt) {
  for (bool use : {true, false}) {
    SCOPED_TRACE(use);
    TBarFixture f(false);
    f.Host.Manager->SetUseF10ForMenu(use);
    f.Bar->EnterFocus(f.Control(0));
    PostKeyDown(f.Bar, VK_F10);
    EXPECT_EQ(f.Bar->IsActive(), !use);
    f.Bar->LeaveFocus();
  }
}

// --- Mouse -------------------------------------------------------------------------------------

void ClickAt(TCustomdxBarControl* bar, POINT p) {
  PostMouse(bar, WM_MOUSEMOVE, p);
  PostMouse(bar, WM_LBUTTONDOWN, p, MK_LBUTTON);
  PostMouse(bar, WM_LBUTTONUP, p);
}

TEST(BarControlMouse, AClickFiresTheManagerThenTheItemOnce) {
  TBarFixture f(false);
  std::string order;
  f.Host.Manager->OnClickItem = TdxBarClickItemEvent::Lambda([&](TdxBarManager*, TdxBarItem*) { order += "M"; });
  f.Buttons[1]->OnClick = TNotifyEvent::Lambda([&](TObject*) { order += "I"; });
  ClickAt(f.Bar, Centre(ItemRect(f.Link(1))));
  EXPECT_EQ(order, "MI");
  EXPECT_FALSE(f.Bar->IsActive());
}

TEST(BarControlMouse, ACheckedButtonTogglesOnItsGlyphPartAndTheArrowOpensItsMenu) {
  TBarFixture f(false);
  TdxBarButton* button = f.Buttons[0];
  button->SetButtonStyle(bsCheckedDropDown);
  auto* menu = New<TdxBarPopupMenu>(f.Host.Form);
  button->SetDropDownMenu(menu);
  f.Bar->RebuildItems();
  auto* control = dynamic_cast<TdxBarButtonControl*>(f.Control(0));
  ASSERT_NE(control, nullptr);
  ASSERT_EQ(control->PartCount(), 2);
  const RECT glyph = control->Part(0), arrow = control->Part(1);
  ASSERT_GT(arrow.right, arrow.left);
  // The arrow part opens the drop-down and does not toggle.
  ClickAt(f.Bar, Centre(arrow));
  EXPECT_EQ(menu->PopupCount(), 1);
  EXPECT_FALSE(button->Down());
  f.Bar->LeaveFocus();
  if (TdxBarButtonControl* c = dynamic_cast<TdxBarButtonControl*>(f.Control(0))) c->CloseUp(false);
  // The glyph part toggles, every click.
  ClickAt(f.Bar, Centre(glyph));
  EXPECT_TRUE(button->Down());
  ClickAt(f.Bar, Centre(glyph));
  EXPECT_FALSE(button->Down());
  EXPECT_EQ(menu->PopupCount(), 1);
}

TEST(BarControlMouse, APressThatCapturedTheMouseClosesTheChainWhereverItEnds) {
  TBarFixture f(false);
  int clicks = 0;
  f.Buttons[0]->OnClick = TNotifyEvent::Lambda([&](TObject*) { ++clicks; });
  const POINT p = Centre(ItemRect(f.Link(0)));
  PostMouse(f.Bar, WM_MOUSEMOVE, p);
  PostMouse(f.Bar, WM_LBUTTONDOWN, p, MK_LBUTTON);
  EXPECT_TRUE(f.Bar->IsActive());
  EXPECT_EQ(GetCapture(), f.Bar->Handle());
  PostMouse(f.Bar, WM_LBUTTONUP, POINT{-50, 300});
  EXPECT_FALSE(f.Bar->IsActive());
  EXPECT_EQ(FocusedBarControl(), nullptr);
  EXPECT_EQ(clicks, 0);
}

TEST(BarControlMouse, ALinkDragStartsOnlyBeyondTheDragRectangle) {
  TBarFixture f(false);
  const POINT p = Centre(ItemRect(f.Link(1)));
  f.Host.Manager->SetSelectedItemControl(f.Control(1));
  f.Bar->BeginLinkDrag(p);
  ASSERT_TRUE(f.Bar->DragPending());
  const int cx = GetSystemMetrics(SM_CXDRAG), cy = GetSystemMetrics(SM_CYDRAG);
  PostMouse(f.Bar, WM_MOUSEMOVE, POINT{p.x + cx - 1, p.y + cy - 1});
  EXPECT_TRUE(f.Bar->DragPending());
  EXPECT_EQ(f.Bar->LinkDragCount(), 0);
  PostMouse(f.Bar, WM_MOUSEMOVE, POINT{p.x + cx + 1, p.y});
  EXPECT_FALSE(f.Bar->DragPending());
  EXPECT_EQ(f.Bar->LinkDragCount(), 1);
  f.Host.Manager->SetSelectedItemControl(nullptr);
}

TEST(BarControlMouse, AnOpenChainKeepsHotTrackingFromOtherBars) {
  for (bool chainOpen : {false, true}) {
    SCOPED_TRACE(chainOpen);
    TBarFixture a(false), b(false);
    b.Bar->ShowAt(100, 200);
    if (chainOpen) a.Bar->EnterFocus(a.Control(0));
    PostMouse(b.Bar, WM_MOUSEMOVE, Centre(ItemRect(b.Link(1))));
    EXPECT_EQ(b.Bar->SelectedControl() != nullptr, !chainOpen);
    a.Bar->LeaveFocus();
  }
}

// An item and a control that poison their memory when freed and keep it,
// so any later access through a stale pointer reads the poison.
class TPoisonedButton : public TdxBarButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarButton::TdxBarButton;
  static void operator delete(void* p, size_t size) { std::memset(p, 0xDD, size); }
};
class TPoisonedButtonControl : public TdxBarButtonControl {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  static void operator delete(void* p, size_t size) { std::memset(p, 0xDD, size); }
};
const TClassInfo TPoisonedButton::ClassInfo{"TPoisonedButton", &TdxBarButton::ClassInfo,
                                            [](TObject* owner) -> TObject* {
                                              return new TPoisonedButton(static_cast<TComponent*>(owner));
                                            }};
const TClassInfo TPoisonedButtonControl::ClassInfo{"TPoisonedButtonControl", &TdxBarButtonControl::ClassInfo,
                                                   [](TObject*) -> TObject* { return new TPoisonedButtonControl; }};

TEST(BarControlMouse, AClickHandlerThatFreesItsItemLeavesNothingStale) {
  RegisterItemControlPair(&TPoisonedButton::ClassInfo, &TPoisonedButtonControl::ClassInfo, true);
  TBarFixture f(false, {"&Keep"});
  auto* doomed = new TPoisonedButton(f.Host.Form);
  doomed->SetCaption("&Free me");
  f.Owner.Links()->AddItem(doomed);
  f.Bar->RebuildItems();
  ASSERT_NE(dynamic_cast<TPoisonedButtonControl*>(f.Control(1)), nullptr);
  bool freed = false;
  doomed->OnClick = TNotifyEvent::Lambda([&](TObject* sender) {
    Free(sender);
    freed = true;
  });
  ClickAt(f.Bar, Centre(ItemRect(f.Link(1))));
  EXPECT_TRUE(freed);
  EXPECT_EQ(f.Owner.Links()->ShownLinkCount(), 1);
  // The bar still works afterwards.
  PostMouse(f.Bar, WM_MOUSEMOVE, Centre(ItemRect(f.Link(0))));
  EXPECT_EQ(f.Bar->SelectedControl(), f.Control(0));
}

}  // namespace
