// Docks and toolbar windows on a shown form: rows at points, the row
// layout, docks fitting their rows, toolbars docked, moved between rows
// and docks, floated and docked again, dragged by their drag area with
// real input, and a screenshot of the fixture.
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemKinds.h"
#include "bars/views/BarPainter.h"
#include "bars/views/DockControl.h"
#include "tests/bars/views/DockTestSupport.h"
#include "tests/bars/views/ViewsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <climits>

using namespace testing_support;

namespace {

TEST(DockRows, RowAtPointAroundOneRowOf26Pixels) {
  TDockFixture f;
  TFixedToolbar* bar = f.Fixed(40, 120, 26);
  bar->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  ASSERT_EQ(f.Top->RowCount(), 1);
  ASSERT_EQ(f.Top->RowExtent(0), 26);
  ASSERT_EQ(f.Top->Height(), 26);
  struct Case {
    int From, To, Row;
    bool Fresh;
  } cases[] = {{0, 8, 0, false}, {9, 13, 1, true}, {14, 25, 1, true},
               {-14, -10, 0, true}, {-9, -1, 0, false}, {-23, -15, -1, false}};
  for (const Case& c : cases)
    for (int y = c.From; y <= c.To; ++y) {
      SCOPED_TRACE(y);
      bool fresh = !c.Fresh;
      EXPECT_EQ(f.Top->RowAtPoint(TDockFixture::At(f.Top, 30, y), fresh), c.Row);
      EXPECT_EQ(fresh, c.Fresh);
    }
}

TEST(DockRows, MinusOneIsRaisedToTheFirstRow) {
  TDockFixture f;
  TFixedToolbar* first = f.Fixed(40, 120);
  first->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  TFixedToolbar* second = f.Fixed(40, 120);
  second->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 300, -20));
  EXPECT_EQ(f.Top->RowCount(), 1);
  EXPECT_EQ(TDockFixture::RowOf(f.Top, second), 0);
  // A point in the band above makes a new first row.
  TFixedToolbar* third = f.Fixed(40, 120);
  third->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, -12));
  EXPECT_EQ(f.Top->RowCount(), 2);
  EXPECT_EQ(TDockFixture::RowOf(f.Top, third), 0);
  EXPECT_EQ(TDockFixture::RowOf(f.Top, first), 1);
  EXPECT_EQ(f.Top->Height(), 52);
}

TEST(DockRows, ADamagedStoredRowMakesNoMoreRowsThanBars) {
  TDockFixture f;
  TFixedToolbar* bar = f.Fixed(40, 120);
  f.NewBar("Other");
  f.NewBar("Third");
  bar->Bar()->SetRow(INT_MAX);
  bar->SetDockingStyle(2);
  bar->SetParent(f.Top);
  bar->AddLock();
  f.Host.Manager->LockUpdate();
  f.Top->InsertBarAt(bar, POINT{0, 0}, false);
  EXPECT_LE(f.Top->RowCount(), f.Host.Manager->Bars()->ItemCount());
  EXPECT_GE(f.Top->RowCount(), 1);
  f.Host.Manager->UnlockUpdate(false);
  bar->ReleaseLock();
}

TEST(DockRows, AWholeRowBarRowsAlone) {
  TDockFixture f;
  TFixedToolbar* whole = f.Fixed(40, 120);
  whole->Bar()->SetWholeRow(true);
  whole->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  EXPECT_EQ(whole->Width(), f.Top->ClientWidth());
  TFixedToolbar* other = f.Fixed(40, 120);
  other->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 300, 3));
  EXPECT_EQ(f.Top->RowCount(), 2);
  EXPECT_NE(TDockFixture::RowOf(f.Top, other), TDockFixture::RowOf(f.Top, whole));
}

TEST(DockLayout, AnOverfullRowPushesTowardsItsStart) {
  struct Case {
    const char* Name;
    int Positions[3];
    int Lefts[3], Widths[3];
    bool Truncated[3];
  } cases[] = {
      // 3 × (min 40, max 150) in 300 pixels.
      {"spread", {0, 150, 300}, {0, 150, 260}, {150, 110, 40}, {false, true, true}},
      {"all at the start", {0, 0, 0}, {0, 40, 150}, {40, 110, 150}, {true, true, false}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    TDockFixture f;
    f.Host.Form->SetClientWidth(300);
    RunMessagesUntilIdle();
    ASSERT_EQ(f.Top->ClientWidth(), 300);
    TFixedToolbar* bars[3];
    for (int i = 0; i < 3; ++i) {
      bars[i] = f.Fixed(40, 150);
      bars[i]->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 290, 3));
    }
    ASSERT_EQ(f.Top->RowCount(), 1);
    ASSERT_EQ(f.Top->Row(0)->ColumnCount(), 3);
    for (int i = 0; i < 3; ++i) f.Top->Row(0)->Column(i)->Pos = POINT{c.Positions[i], 0};
    f.Top->UpdateLayout();
    int minBefore = 0;
    for (int i = 0; i < 3; ++i) {
      SCOPED_TRACE(i);
      TdxBarControl* b = f.Top->Row(0)->Column(i)->BarControl();
      EXPECT_EQ(b->Left(), c.Lefts[i]);
      EXPECT_EQ(b->Width(), c.Widths[i]);
      EXPECT_EQ(b->Truncated(), c.Truncated[i]);
      EXPECT_GE(b->Left(), minBefore);
      minBefore += 40;
    }
    TdxBarControl* last = f.Top->Row(0)->Column(2)->BarControl();
    EXPECT_EQ(last->Left() + last->Width(), 300);
  }
}

TEST(DockLayout, ToolbarsKeepTheirPlacesWhenTheyFit) {
  TDockFixture f;
  TFixedToolbar* a = f.Fixed(40, 100);
  a->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 3));
  TFixedToolbar* b = f.Fixed(40, 100);
  b->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 250, 3));
  ASSERT_EQ(f.Top->RowCount(), 1);
  EXPECT_EQ(a->Left(), 0);
  EXPECT_EQ(b->Left(), 250);
  EXPECT_EQ(b->Width(), 100);
  EXPECT_EQ(b->Bar()->DockedLeft(), 250);
  // A point before it puts a new one between them.
  TFixedToolbar* c = f.Fixed(40, 100);
  c->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 120, 3));
  int row = 0, column = 0;
  ASSERT_TRUE(f.Top->FindControl(c, row, column));
  EXPECT_EQ(column, 1);
  EXPECT_EQ(c->Left(), 120);
}

TEST(DockLayout, FarDocksKeepTheirFarEdge) {
  TDockFixture f;
  const int formWidth = f.Host.Form->ClientWidth(), formHeight = f.Host.Form->ClientHeight();
  TFixedToolbar* r1 = f.Fixed(40, 100, 30);
  r1->MoveToDock(3, f.Right, TDockFixture::At(f.Right, 0, 0));
  EXPECT_EQ(f.Right->Width(), 30);
  EXPECT_EQ(f.Right->Left() + f.Right->Width(), formWidth);
  TFixedToolbar* r2 = f.Fixed(40, 100, 30);
  r2->MoveToDock(3, f.Right, TDockFixture::At(f.Right, -12, 0));
  EXPECT_EQ(f.Right->RowCount(), 2);
  EXPECT_EQ(f.Right->Width(), 60);
  EXPECT_EQ(f.Right->Left() + f.Right->Width(), formWidth);
  // Vertical docks transpose: the toolbar is tall, not wide.
  EXPECT_EQ(r1->Height(), 100);
  EXPECT_EQ(r1->Width(), 30);
  TFixedToolbar* b1 = f.Fixed(40, 100, 24);
  b1->MoveToDock(4, f.Bottom, TDockFixture::At(f.Bottom, 0, 0));
  TFixedToolbar* b2 = f.Fixed(40, 100, 24);
  b2->MoveToDock(4, f.Bottom, TDockFixture::At(f.Bottom, 0, -12));
  EXPECT_EQ(f.Bottom->Height(), 48);
  EXPECT_EQ(f.Bottom->Top() + f.Bottom->Height(), formHeight);
}

TEST(DockLayout, APlacedDockTurningLeftTurnsItsToolbars) {
  TDockFixture f;
  auto* placed = New<TdxBarDockControl>(f.Host.Form);
  placed->SetBarManager(f.Host.Manager);
  placed->SetParent(f.Host.Form);
  RunMessagesUntilIdle();
  TFixedToolbar* a = f.Fixed(40, 100, 26);
  a->MoveToDock(2, placed, TDockFixture::At(placed, 0, 0));
  TFixedToolbar* b = f.Fixed(40, 100, 26);
  b->MoveToDock(2, placed, TDockFixture::At(placed, 200, 0));
  placed->SetDockAlign(dalLeft);
  RunMessagesUntilIdle();
  for (TdxBarControl* c : {static_cast<TdxBarControl*>(a), static_cast<TdxBarControl*>(b)}) {
    EXPECT_EQ(c->DockingStyle(), 1);
    EXPECT_EQ(c->Bar()->DockingStyle(), dsLeft);
    EXPECT_EQ(c->Width(), 26);
  }
  EXPECT_EQ(placed->Width(), 26);
}

TEST(Toolbar, DocksMovesBetweenRowsAndDocksFloatsAndDocksAgain) {
  TDockFixture f;
  TdxBarControl* bar = f.Toolbar("Standard", 4);
  ASSERT_NE(bar, nullptr);
  bar->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  RunMessagesUntilIdle();
  EXPECT_EQ(GetParent(bar->Handle()), f.Top->Handle());
  EXPECT_TRUE(GetWindowLongA(bar->Handle(), GWL_STYLE) & WS_CHILD);
  EXPECT_EQ(bar->Bar()->DockingStyle(), dsTop);
  EXPECT_EQ(f.Top->Height(), bar->Height());
  // Every button has its place in the row, left to right.
  int right = 0;
  for (int i = 0; i < 4; ++i) {
    const RECT r = ItemRect(bar->ItemLinks()->GetShownLink(i));
    EXPECT_GT(r.right, r.left);
    EXPECT_GE(r.left, right);
    right = r.right;
  }
  EXPECT_FALSE(bar->Truncated());
  // A second toolbar in a new row below.
  TdxBarControl* other = f.Toolbar("Other", 2);
  other->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, bar->Height() + 2));
  EXPECT_EQ(f.Top->RowCount(), 2);
  EXPECT_EQ(other->Bar()->Row(), 1);
  EXPECT_EQ(other->Top(), bar->Height());
  // Into the first row, after the first toolbar.
  other->MoveToDock(2, f.Top, TDockFixture::At(f.Top, bar->Width() + 20, 2));
  EXPECT_EQ(TDockFixture::RowOf(f.Top, other), 0);
  EXPECT_EQ(other->Top(), 0);
  EXPECT_GE(other->Left(), bar->Width());
  EXPECT_EQ(f.Top->Height(), bar->Height());
  // To the left dock: turned vertical.
  bar->MoveToDock(1, f.Left, TDockFixture::At(f.Left, 0, 0));
  RunMessagesUntilIdle();
  EXPECT_EQ(GetParent(bar->Handle()), f.Left->Handle());
  EXPECT_GT(bar->Height(), bar->Width());
  EXPECT_EQ(f.Left->Width(), bar->Width());
  EXPECT_EQ(bar->Bar()->DockingStyle(), dsLeft);
  // Floating: a popup owned by the form, at least 51 pixels wide.
  bar->MoveToDock(0, nullptr, POINT{300, 300});
  RunMessagesUntilIdle();
  EXPECT_TRUE(GetWindowLongA(bar->Handle(), GWL_STYLE) & WS_POPUP);
  EXPECT_EQ(GetAncestor(bar->Handle(), GA_PARENT), GetDesktopWindow());
  RECT w{};
  GetWindowRect(bar->Handle(), &w);
  EXPECT_EQ(w.left, 300);
  EXPECT_EQ(w.top, 300);
  EXPECT_GE(w.right - w.left, 51);
  EXPECT_EQ(bar->Bar()->DockingStyle(), dsNone);
  EXPECT_EQ(bar->Bar()->FloatLeft(), 300);
  EXPECT_EQ(f.Left->Width(), 0);
  // A double click on the drag area's place docks it where it was.
  bar->ToggleDocking();
  RunMessagesUntilIdle();
  EXPECT_EQ(bar->DockingStyle(), 1);
  EXPECT_EQ(GetParent(bar->Handle()), f.Left->Handle());
}

TEST(Toolbar, ANeverDockedToolbarDocksInANewLastRowOfTheTopDock) {
  TDockFixture f;
  TdxBarControl* first = f.Toolbar("First", 2);
  first->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  TdxBarControl* bar = f.Toolbar("Floating", 3);
  bar->MoveToDock(0, nullptr, POINT{320, 260});
  RunMessagesUntilIdle();
  bar->ToggleDocking();
  RunMessagesUntilIdle();
  EXPECT_EQ(bar->DockingStyle(), 2);
  EXPECT_EQ(f.Top->RowCount(), 2);
  EXPECT_EQ(TDockFixture::RowOf(f.Top, bar), 1);
}

TEST(Toolbar, ANarrowRowShowsWhatFitsAndIsTruncated) {
  TDockFixture f;
  TdxBarControl* bar = f.Toolbar("Wide", 12);
  bar->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  const int full = bar->Width();
  f.Host.Form->SetClientWidth(full / 2);
  RunMessagesUntilIdle();
  EXPECT_LE(bar->Width(), full / 2);
  EXPECT_TRUE(bar->Truncated());
  EXPECT_TRUE(bar->HasMark());
  int placed = 0;
  for (int i = 0; i < bar->ItemLinks()->ShownLinkCount(); ++i) {
    const RECT r = ItemRect(bar->ItemLinks()->GetShownLink(i));
    if (r.right > r.left) {
      ++placed;
      EXPECT_LE(r.right, bar->ClientWidth());
    }
  }
  EXPECT_GT(placed, 0);
  EXPECT_LT(placed, 12);
}

TEST(Toolbar, FloatingWrapsWholeGroups) {
  TDockFixture f;
  TdxBarControl* bar = f.Toolbar("Groups", 6, 3);  // two groups of three
  bar->MoveToDock(0, nullptr, POINT{200, 200});
  RunMessagesUntilIdle();
  const int w1 = ItemRect(bar->ItemLinks()->GetShownLink(0)).right - ItemRect(bar->ItemLinks()->GetShownLink(0)).left;
  SIZE one{}, wide{};
  bar->CalcSizeForWidth(0, bar->CalcMaxWidth(0), wide);
  // Room for four buttons: the second group goes whole to the next row.
  bar->CalcSizeForWidth(0, 4 * w1 + 2, one);
  EXPECT_LT(one.cx, wide.cx);
  EXPECT_EQ(one.cy, 2 * wide.cy);
  EXPECT_GE(one.cx, 51);
}

TEST(Toolbar, SizingByACornerChangesNothingByAnEdgeSnaps) {
  TDockFixture f;
  TdxBarControl* bar = f.Toolbar("Sizing", 6, 3);
  bar->MoveToDock(0, nullptr, POINT{200, 200});
  RunMessagesUntilIdle();
  RECT before{};
  GetWindowRect(bar->Handle(), &before);
  RECT r = before;
  r.right += 37;
  r.bottom += 41;
  SendMessageA(bar->Handle(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&r));
  EXPECT_TRUE(EqualRect(&r, &before));
  r = before;
  r.right = r.left + (before.right - before.left) / 2;
  SendMessageA(bar->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
  EXPECT_GT(r.bottom - r.top, before.bottom - before.top);
  EXPECT_EQ(r.left, before.left);
  // Dragged above the screen's top, the rectangle stops at -15.
  r = before;
  OffsetRect(&r, 0, -before.top - 100);
  SendMessageA(bar->Handle(), WM_SIZING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&r));
  EXPECT_EQ(r.top, -15);
}

TEST(Toolbar, AFloatingBarOutsideEveryMonitorComesBack) {
  TDockFixture f;
  TdxBarControl* bar = f.Toolbar("Away", 3);
  bar->MoveToDock(0, nullptr, POINT{200, 200});
  SetCursorPos(100, 100);
  SetWindowPos(bar->Handle(), nullptr, 5000, 4000, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RECT w{};
  GetWindowRect(bar->Handle(), &w);
  MONITORINFO info{};
  info.cbSize = sizeof info;
  GetMonitorInfoA(MonitorFromPoint(POINT{100, 100}, MONITOR_DEFAULTTONEAREST), &info);
  EXPECT_EQ(w.right, info.rcWork.right);
  EXPECT_EQ(w.bottom, info.rcWork.bottom);
  SetCursorPos(0, 0);
}

TEST(Toolbar, DraggingTheDragAreaMovesItToAnotherRowAndFloats) {
  TDockFixture f;
  TdxBarControl* a = f.Toolbar("A", 3);
  a->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
  TdxBarControl* b = f.Toolbar("B", 3);
  b->MoveToDock(2, f.Top, TDockFixture::At(f.Top, a->Width() + 10, 3));
  ASSERT_EQ(f.Top->RowCount(), 1);
  SetForegroundWindow(f.Host.Form->Handle());
  RunMessagesUntilIdle();
  // The drag handle lies before the client area.
  RECT w{};
  GetWindowRect(b->Handle(), &w);
  const POINT grip{w.left + 3, (w.top + w.bottom) / 2};
  const POINT grabOffset{grip.x - w.left, grip.y - w.top};
  SendMouseMove(grip.x, grip.y);
  RunMessagesUntilIdle();
  EXPECT_EQ(SendMessageA(b->Handle(), WM_NCHITTEST, 0, MAKELPARAM(grip.x, grip.y)), HTCLIENT);
  EXPECT_EQ(b->HitTestCode(), HTCAPTION);
  INPUT down{};
  down.type = INPUT_MOUSE;
  down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  SendInput(1, &down, sizeof down);
  // The move loop runs inside the button press; the next moves and the
  // release are queued before it starts.
  // Away from the left dock's zone.
  const POINT below = TDockFixture::At(f.Top, 200 + grabOffset.x, a->Height() + 11);
  SendMouseMove(below.x, below.y);
  INPUT up{};
  up.type = INPUT_MOUSE;
  up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &up, sizeof up);
  RunMessagesUntilIdle();
  EXPECT_EQ(f.Top->RowCount(), 2);
  EXPECT_EQ(TDockFixture::RowOf(f.Top, b), 1);
  EXPECT_FALSE(b->Moving());
  EXPECT_EQ(GetCapture(), nullptr);
  EXPECT_FALSE(f.Host.Manager->Bars()->Moving());
  // Dragged far from every dock it floats, the mouse keeping its place.
  GetWindowRect(b->Handle(), &w);
  const POINT grip2{w.left + 3, (w.top + w.bottom) / 2};
  SendMouseMove(grip2.x, grip2.y);
  RunMessagesUntilIdle();
  SendMessageA(b->Handle(), WM_NCHITTEST, 0, MAKELPARAM(grip2.x, grip2.y));
  SendInput(1, &down, sizeof down);
  SendMouseMove(400, 330);
  SendInput(1, &up, sizeof up);
  RunMessagesUntilIdle();
  EXPECT_EQ(b->DockingStyle(), 0);
  GetWindowRect(b->Handle(), &w);
  EXPECT_TRUE(PtInRect(&w, POINT{400, 330}));
  EXPECT_EQ(GetCapture(), nullptr);
  SetCursorPos(0, 0);
}

TEST(Toolbar, FixtureScreenshot) {
  for (TdxBarManagerStyle style : {bmsStandard, bmsEnhanced}) {
    TDockFixture f;
    f.Host.Manager->SetStyle(style);
    TdxBarControl* a = f.Toolbar("File", 5, 2);
    a->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, 0));
    TdxBarControl* b = f.Toolbar("Edit", 3);
    b->MoveToDock(2, f.Top, TDockFixture::At(f.Top, a->Width() + 8, 2));
    TdxBarControl* c = f.Toolbar("Format", 4);
    c->MoveToDock(2, f.Top, TDockFixture::At(f.Top, 0, a->Height() + 11));
    TdxBarControl* d = f.Toolbar("Tools", 4);
    d->MoveToDock(1, f.Left, TDockFixture::At(f.Left, 0, 0));
    TdxBarControl* e = f.Toolbar("Status", 2);
    e->MoveToDock(4, f.Bottom, TDockFixture::At(f.Bottom, 0, 0));
    RECT fw{};
    GetWindowRect(f.Host.Form->Handle(), &fw);
    TdxBarControl* g = f.Toolbar("Floating", 6, 3);
    g->MoveToDock(0, nullptr, POINT{fw.left + 260, fw.top + 200});
    RunMessagesUntilIdle();
    RedrawWindow(f.Host.Form->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    RedrawWindow(g->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
    RunMessagesUntilIdle();
    // The form with its docks, and the floating toolbar on its own.
    const std::string name = style == bmsStandard ? "toolbars-standard" : "toolbars-enhanced";
    SaveScreenshot(f.Host.Form->Handle(), name);
    SaveScreenshot(g->Handle(), name + "-floating");
    // The docked toolbars' backgrounds are drawn (no black holes).
    const Image pixels = ReadWindowPixels(a->Handle());
    EXPECT_GT(pixels.Width, 0);
  }
}

}  // namespace
