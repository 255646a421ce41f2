// Bars and the bar collection: names and captions, docking refusals, the
// main menu, rows, merging (the bar side and where merged links go) and
// finding the dock a moved bar lands on, over real windows.
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/SubItems.h"
#include "platform/Exceptions.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(Bars, NewBarsAreNamedAfterTheManager) {
  THostedManager host;
  host.Manager->SetName("Menus");
  TdxBar* first = host.Manager->Bars()->AddBar();
  TdxBar* second = host.Manager->Bars()->AddBar();
  EXPECT_EQ(first->Name(), "MenusBar1");
  EXPECT_EQ(second->Name(), "MenusBar2");
  EXPECT_EQ(first->NextBar(), second);
  EXPECT_EQ(second->NextBar(), first);
  EXPECT_EQ(first->OwningManager(), host.Manager);
}

TEST(Bars, ADuplicateCaptionIsIgnored) {
  THostedManager host;
  TdxBar* a = host.Manager->Bars()->AddBar();
  TdxBar* b = host.Manager->Bars()->AddBar();
  a->SetCaption("Standard");
  b->SetCaption("Format");
  b->SetCaption("Standard");
  EXPECT_EQ(b->Caption(), "Format");
  b->SetCaption("standard");  // the comparison sees case
  EXPECT_EQ(b->Caption(), "standard");
}

TEST(Bars, RefusingEveryDockingStyleMakesABarImmovable) {
  THostedManager host;
  TdxBar* bar = host.Manager->Bars()->AddBar();
  EXPECT_TRUE(bar->IsDockable());
  bar->SetNotDocking({dsLeft, dsTop, dsRight, dsBottom});
  EXPECT_TRUE(bar->IsDockable());
  bar->SetNotDocking(dxBarAllDockingStyles);
  EXPECT_FALSE(bar->IsDockable());
  // An immovable bar has no move loop: the capture is never taken.
  bool moved = false;
  host.Manager->Bars()->TrackBarMove(bar, host.Form->Handle(),
                                     TEvent<void(POINT)>::Lambda([&](POINT) { moved = true; }));
  EXPECT_FALSE(moved);
  EXPECT_NE(GetCapture(), host.Form->Handle());
}

TEST(Bars, OneMainMenuWithMultiLineAndWholeRow) {
  THostedManager host;
  TdxBar* a = host.Manager->Bars()->AddBar();
  TdxBar* b = host.Manager->Bars()->AddBar();
  a->SetIsMainMenu(true);
  EXPECT_EQ(host.Manager->Bars()->MainMenuBar(), a);
  EXPECT_FALSE(a->CanClose());
  b->SetIsMainMenu(true);
  EXPECT_FALSE(a->IsMainMenu());
  EXPECT_FALSE(a->MultiLine());
  EXPECT_FALSE(a->WholeRow());
  EXPECT_TRUE(b->IsMainMenu());
  EXPECT_TRUE(b->MultiLine());
  EXPECT_TRUE(b->WholeRow());
  EXPECT_EQ(host.Manager->Bars()->MainMenuBar(), b);
  b->SetMultiLine(false);
  EXPECT_TRUE(b->MultiLine());
  EXPECT_EQ(host.Manager->LockUpdateCount(), 0);
  Free(b);
  EXPECT_EQ(host.Manager->Bars()->MainMenuBar(), nullptr);
}

TEST(Bars, NegativePlacesBecomeZero) {
  THostedManager host;
  TdxBar* bar = host.Manager->Bars()->AddBar();
  bar->SetDockedLeft(-5);
  bar->SetDockedTop(-1);
  bar->SetRow(-2);
  EXPECT_EQ(bar->DockedLeft(), 0);
  EXPECT_EQ(bar->DockedTop(), 0);
  EXPECT_EQ(bar->Row(), 0);
  bar->SetDockedLeft(12);
  EXPECT_EQ(bar->DockedLeft(), 12);
}

TEST(Bars, ADamagedRowAppendsNoMoreRowsThanThereAreBars) {
  THostedManager host;
  TdxBars* bars = host.Manager->Bars();
  bars->AddBar();
  bars->AddBar();
  bars->AddBar();
  struct Case {
    const char* Name;
    bool Locked;
    int Rows, Row, Appended;
  } cases[] = {
      {"an existing row", false, 2, 1, 0},     {"one past, unlocked", false, 1, 5, 1},
      {"loading, a few", true, 1, 2, 2},       {"loading, a damaged row", true, 1, 0x7FFFFFFF, 2},
      {"loading, rows full", true, 3, 40, 0},  {"unlocked, rows full", false, 3, 3, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.Locked) host.Manager->LockUpdate();
    EXPECT_EQ(bars->RowsToAppend(c.Rows, c.Row), c.Appended);
    if (c.Locked) host.Manager->UnlockUpdate();
  }
}

TEST(BarMerging, WhereAnAddedLinkGoes) {
  struct Case {
    const char* Name;
    std::vector<int> Orders;
    int Source, Position;
  } cases[] = {
      {"after the highest order not above", {0, 5, 3}, 5, 2},
      {"every order higher", {10, 10, 10}, 5, 0},
      {"after the later of equal orders", {0, 5, 5, 3}, 5, 3},
      {"an empty destination", {}, 0, 0},
      {"after all lower orders", {1, 2, 3}, 9, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    EXPECT_EQ(dxBarMergeAddPosition(c.Orders, c.Source), c.Position);
  }
  EXPECT_FALSE(dxBarMergeAddPositionValid(4, 3));
  EXPECT_FALSE(dxBarMergeAddPositionValid(-1, 3));
  EXPECT_TRUE(dxBarMergeAddPositionValid(3, 3));
}

TEST(BarMerging, TheSixErrorsNameTheBars) {
  THostedManager host;
  TdxBars* bars = host.Manager->Bars();
  TdxBar* host1 = bars->AddBar();
  TdxBar* child = bars->AddBar();
  TdxBar* third = bars->AddBar();
  TdxBar* fourth = bars->AddBar();
  host1->SetCaption("Main");
  child->SetCaption("Child");
  third->SetCaption("Third");
  fourth->SetCaption("Fourth");
  host1->Merge(child);
  third->Merge(fourth);
  struct Case {
    const char* Name;
    std::function<void()> Run;
    const char* Message;
  } cases[] = {
      {"into a merged bar", [&] { child->Merge(fourth); },
       "You cannot merge a toolbar with a toolbar that is already merged"},
      {"with nothing", [&] { host1->Merge(nullptr); }, "You cannot merge with the specified toolbar"},
      {"with itself", [&] { host1->Merge(host1); }, "You cannot merge with the specified toolbar"},
      {"twice", [&] { host1->Merge(child); }, "The 'Child' toolbar is already merged with the 'Main' toolbar"},
      {"a bar with merged bars", [&] { host1->Merge(third); }, "The 'Third' toolbar has merged toolbars"},
      {"unmerge itself", [&] { host1->Unmerge(host1); }, "You cannot unmerge the specified toolbar"},
      {"unmerge from the wrong bar", [&] { third->Unmerge(child); },
       "The 'Child' toolbar is not merged with the 'Third' toolbar"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    try {
      c.Run();
      ADD_FAILURE() << "no error";
    } catch (const Exception& e) {
      EXPECT_STREQ(e.what(), c.Message);
    }
    EXPECT_EQ(child->MergedWith(), host1);
    EXPECT_EQ(fourth->MergedWith(), third);
  }
  // A bar merged nowhere is ignored.
  third->Unmerge(host1);
  EXPECT_EQ(host1->MergedBarCount(), 1);
}

TEST(BarMerging, ABarMergedElsewhereMovesAndKeepsItsFirstVisibility) {
  THostedManager host;
  TdxBars* bars = host.Manager->Bars();
  TdxBar* a = bars->AddBar();
  TdxBar* b = bars->AddBar();
  TdxBar* child = bars->AddBar();
  child->SetVisible(true);
  a->Merge(child);
  EXPECT_FALSE(child->Visible());
  EXPECT_TRUE(child->VisibleBeforeMerge());
  b->Merge(child);
  EXPECT_EQ(child->MergedWith(), b);
  EXPECT_EQ(a->MergedBarCount(), 0);
  EXPECT_EQ(b->MergedBarCount(), 1);
  EXPECT_TRUE(child->VisibleBeforeMerge());
  EXPECT_FALSE(child->Visible());
  b->Unmerge(nullptr);
  EXPECT_EQ(child->MergedWith(), nullptr);
  EXPECT_TRUE(child->Visible());
  // Freeing a host lets its merged bars go.
  a->Merge(child);
  Free(a);
  EXPECT_EQ(child->MergedWith(), nullptr);
}

// A plain window for the dock tests.
HWND MakeWindow(DWORD style, HWND parent, int x, int y, int w, int h, DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, "STATIC", "", style | WS_VISIBLE, x, y, w, h, parent, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

void Pump() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

TEST(BarDocking, FindDockTargetOverRealWindows) {
  THostedManager host;
  TdxBars* bars = host.Manager->Bars();
  // A dock straight on a top-level window, and one on a panel of another.
  HWND form = MakeWindow(WS_POPUP, nullptr, 100, 100, 300, 200);
  HWND topDock = MakeWindow(WS_CHILD, form, 0, 0, 300, 30);
  HWND other = MakeWindow(WS_POPUP, nullptr, 500, 100, 300, 200);
  HWND panel = MakeWindow(WS_CHILD, other, 0, 50, 300, 150);
  HWND leftDock = MakeWindow(WS_CHILD, panel, 0, 0, 30, 150);
  Pump();
  const std::vector<TdxBarDockCandidate> docks = {
      {dsTop, topDock, RECT{100, 100, 400, 130}, true},
      {dsLeft, leftDock, RECT{500, 150, 530, 300}, true},
      {dsBottom, topDock, RECT{100, 100, 400, 300}, false},
  };
  struct Case {
    const char* Name;
    POINT Point;
    HWND Dock;
  } cases[] = {
      {"the dock on a top-level window", {150, 110}, topDock},
      {"the dock inside a panel", {510, 200}, leftDock},
      {"outside every zone", {150, 250}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    const TdxBarDockCandidate* found = bars->FindDockTarget(docks, c.Point);
    EXPECT_EQ(found ? found->Window : nullptr, c.Dock);
  }
  // A window over the form hides its dock.
  HWND cover = MakeWindow(WS_POPUP, nullptr, 140, 100, 40, 40, WS_EX_TOPMOST);
  Pump();
  EXPECT_EQ(bars->FindDockTarget(docks, POINT{150, 110}), nullptr);
  EXPECT_NE(bars->FindDockTarget(docks, POINT{250, 110}), nullptr);
  DestroyWindow(cover);
  // While moving, the point less the grab offset is tried as well.
  bars->SetMoving(true);
  bars->SetGrabOffset(POINT{0, 100});
  const TdxBarDockCandidate* found = bars->FindDockTarget(docks, POINT{150, 210});
  EXPECT_EQ(found ? found->Window : nullptr, topDock);
  bars->SetMoving(false);
  DestroyWindow(other);
  DestroyWindow(form);
}

TEST(BarDocking, TheDockingWaitFiresOnceWithTheGrabOffset) {
  THostedManager host;
  TdxBars* bars = host.Manager->Bars();
  bars->SetGrabOffset(POINT{3, 4});
  int fired = 0;
  bool firing = false;
  bars->StartDockingTimer(1, TEvent<void(POINT)>::Lambda([&](POINT) {
                            ++fired;
                            firing = bars->DockingTimerFiring();
                          }));
  MSG msg;
  while (fired == 0 && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  EXPECT_EQ(fired, 1);
  EXPECT_TRUE(firing);
  EXPECT_FALSE(bars->DockingTimerFiring());
  bars->StartDockingTimer(1, TEvent<void(POINT)>::Lambda([&](POINT) { ++fired; }));
  bars->KillDockingTimer();
  Pump();
  EXPECT_EQ(fired, 1);
}

}  // namespace

namespace {

// A sub-item of the File kind, merged by caption, with one command in it.
TdxBarSubItem* FileMenu(TComponent* owner, const char* caption, const char* command) {
  auto* file = New<TdxBarSubItem>(owner);
  file->SetCaption(caption);
  file->SetMergeKind(mkMergeByCaption);
  auto* button = New<TdxBarButton>(owner);
  button->SetCaption(command);
  file->ItemLinks()->AddItem(button);
  return file;
}

AnsiString Captions(TdxBarItemLinks* links) {
  AnsiString s;
  for (int i = 0; i < links->Count(); ++i) s += (i ? "," : "") + links->LinkAt(i)->DisplayCaption();
  return s;
}

TEST(BarMerging, SubMenusOfTheSameCaptionMerge) {
  struct Case {
    const char* Name;
    const char* ChildCaption;
    const char* HostBar;
    const char* HostFile;
  } cases[] = {
      {"the same caption", "&File", "&File", "Open,Close"},
      {"without the accelerator mark", "File", "&File,File", "Open"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    THostedManager host;
    TdxBar* main = host.Manager->Bars()->AddBar();
    TdxBar* child = host.Manager->Bars()->AddBar();
    TdxBarSubItem* hostFile = FileMenu(host.Form, "&File", "Open");
    main->ItemLinks()->AddItem(hostFile);
    child->ItemLinks()->AddItem(FileMenu(host.Form, c.ChildCaption, "Close"));
    main->Merge(child);
    EXPECT_EQ(Captions(main->ItemLinks()), c.HostBar);
    EXPECT_EQ(Captions(hostFile->ItemLinks()), c.HostFile);
    // Unmerging takes the merged links out of nested sub-menus too.
    main->Unmerge(child);
    EXPECT_EQ(Captions(main->ItemLinks()), "&File");
    EXPECT_EQ(Captions(hostFile->ItemLinks()), "Open");
    EXPECT_EQ(host.Manager->LockUpdateCount(), 0);
  }
}

TdxBarButton* Ordered(TComponent* owner, const char* caption, int order) {
  auto* button = New<TdxBarButton>(owner);
  button->SetCaption(caption);
  button->SetMergeOrder(order);
  return button;
}

TEST(BarMerging, MergeOrdersAndTheHandlersPosition) {
  struct Case {
    const char* Name;
    std::vector<int> HostOrders;
    int HandlerPosition;  // -2: no handler
    const char* Result;
  } cases[] = {
      {"after the 5, before the 3", {0, 5, 3}, -2, "h0,h1,x,y,h2"},
      {"every host order higher", {10, 10, 10}, -2, "x,y,h0,h1,h2"},
      {"a handler's position past the end skips", {0, 5, 3}, 9, "h0,h1,h2"},
      {"a fixed position puts each link there in turn", {0, 5, 3}, 3, "h0,h1,h2,y,x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    THostedManager host;
    TdxBar* main = host.Manager->Bars()->AddBar();
    TdxBar* child = host.Manager->Bars()->AddBar();
    for (size_t i = 0; i < c.HostOrders.size(); ++i)
      main->ItemLinks()->AddItem(Ordered(host.Form, ("h" + std::to_string(i)).c_str(), c.HostOrders[i]));
    child->ItemLinks()->AddItem(Ordered(host.Form, "x", 5));
    child->ItemLinks()->AddItem(Ordered(host.Form, "y", 5));
    if (c.HandlerPosition != -2)
      host.Manager->OnMergeItemLink = TdxBarMergeItemLinkEvent::Lambda(
          [&](TObject*, TdxBarItemLinks*, TdxBarItemLinks*, TdxBarItemLink*, TdxBarItemMergeKind&, int& position) {
            position = c.HandlerPosition;
          });
    main->Merge(child);
    EXPECT_EQ(Captions(main->ItemLinks()), c.Result);
    main->Unmerge(nullptr);
    EXPECT_EQ(main->ItemLinks()->Count(), static_cast<int>(c.HostOrders.size()));
  }
}

}  // namespace
