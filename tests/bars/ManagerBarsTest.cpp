// What the manager decides for its bars: whether a bar may dock where it is
// dragged, which bars hide when a category leaves them empty, the end of a
// manager-wide update, the theme's toolbar brush, and bars saved to be
// merged in again.
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/model/ItemKinds.h"
#include "bars/model/QuickCustomizing.h"
#include "bars/model/BarRoutines.h"
#include "bars/views/DockControl.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(BarManagerDocking, RefusingEveryStyleOnTheManagerMakesBarsImmovable) {
  THostedManager host;
  TdxBar* bar = host.Manager->Bars()->AddBar();
  const int styled = host.Manager->ApplyStyleCount();
  host.Manager->SetNotDocking({dsLeft, dsTop, dsRight, dsBottom});
  EXPECT_EQ(host.Manager->ApplyStyleCount(), styled + 1);
  EXPECT_TRUE(bar->IsDockable());
  // The bar refusing the one style left completes the set.
  bar->SetNotDocking({dsNone});
  EXPECT_FALSE(bar->IsDockable());
  bar->SetNotDocking({});
  host.Manager->SetNotDocking(dxBarAllDockingStyles);
  EXPECT_FALSE(bar->IsDockable());
  host.Manager->SetNotDocking(dxBarAllDockingStyles);
  EXPECT_EQ(host.Manager->ApplyStyleCount(), styled + 2);
}

TEST(BarManagerDocking, WhoDecidesWhetherABarDocks) {
  THostedManager host;
  TdxBarManager* m = host.Manager;
  TdxBar* bar = m->Bars()->AddBar();
  auto* edge = New<TdxDockControl>(host.Form);
  edge->SetStoredDockingStyle(dsTop);
  auto* placed = New<TdxBarDockControl>(host.Form);
  bool vetoed = false;
  m->OnDocking = TdxBarCanDockingEvent::Lambda([&](TdxBar*, TdxBarDockingStyle, TdxDockControl*, bool& can) {
    if (vetoed) can = !can;
  });
  struct Case {
    const char* Name;
    TdxBarDockingStyles BarRefuses, ManagerRefuses;
    TdxBarDockingStyle Style;
    TdxDockControl* Dock;
    bool PlacedAllows, Veto, Expected;
  } cases[] = {
      {"nothing refused, no dock", {}, {}, dsTop, nullptr, true, false, true},
      {"the bar refuses the style", {dsTop}, {}, dsTop, nullptr, true, false, false},
      {"the bar refuses it at a placed dock too", {dsTop}, {}, dsTop, placed, true, false, false},
      {"the manager refuses it without a dock", {}, {dsTop}, dsTop, nullptr, true, false, false},
      {"the manager refuses it at its own edge", {}, {dsTop}, dsTop, edge, true, false, false},
      {"a placed dock decides for itself", {}, {dsTop}, dsTop, placed, true, false, true},
      {"a placed dock that takes no bars", {}, {}, dsTop, placed, false, false, false},
      {"the manager refuses floating", {}, {dsNone}, dsNone, nullptr, true, false, false},
      {"the handler turns a yes into a no", {}, {}, dsLeft, nullptr, true, true, false},
      {"the handler turns a no into a yes", {}, {dsLeft}, dsLeft, nullptr, true, true, true},
      {"the bar's own refusal is final", {dsLeft}, {}, dsLeft, nullptr, true, true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    bar->SetNotDocking(c.BarRefuses);
    m->SetNotDocking(c.ManagerRefuses);
    placed->SetAllowDocking(c.PlacedAllows);
    vetoed = c.Veto;
    EXPECT_EQ(m->DoDocking(bar, c.Style, c.Dock), c.Expected);
  }
}

// A category of two buttons and another of one; the first bar shows only
// the first category, the second both, the third nothing.
struct TCategoryBars {
  THostedManager Host;
  TdxBarButton* A;
  TdxBarButton* B;
  TdxBarButton* C;
  TdxBar* OnlyFirst;
  TdxBar* Both;
  TdxBar* Empty;
  TCategoryBars() {
    TdxBarManager* m = Host.Manager;
    m->Categories()->Add("File");
    m->Categories()->Add("Edit");
    A = Button("A", 0);
    B = Button("B", 0);
    C = Button("C", 1);
    OnlyFirst = Bar("Only first");
    OnlyFirst->ItemLinks()->AddItem(A);
    OnlyFirst->ItemLinks()->AddItem(B);
    Both = Bar("Both");
    Both->ItemLinks()->AddItem(A);
    Both->ItemLinks()->AddItem(C);
    Empty = Bar("Empty");
  }
  TdxBarButton* Button(const char* caption, int category) {
    auto* button = New<TdxBarButton>(Host.Form);
    button->SetCaption(caption);
    button->SetCategory(category);
    return button;
  }
  TdxBar* Bar(const char* caption) {
    TdxBar* bar = Host.Manager->Bars()->AddBar();
    bar->SetCaption(caption);
    bar->SetVisible(true);
    return bar;
  }
};

TEST(BarManagerCategories, BarsACategoryEmptiesHideAndShowAgain) {
  TCategoryBars f;
  TdxBarManager* m = f.Host.Manager;
  m->SetAutoHideEmptyBars(true);
  ASSERT_TRUE(f.OnlyFirst->HasVisibleLinks());
  ASSERT_FALSE(f.Empty->HasVisibleLinks());
  m->SetCategoryItemsVisible(0, ivNever);
  EXPECT_EQ(f.A->Visible(), ivNever);
  EXPECT_FALSE(f.OnlyFirst->HasVisibleLinks());
  EXPECT_FALSE(f.OnlyFirst->Visible());
  EXPECT_TRUE(f.OnlyFirst->InternallyHidden());
  // Still one visible link, and empty already before: both stay.
  EXPECT_TRUE(f.Both->Visible());
  EXPECT_FALSE(f.Both->InternallyHidden());
  EXPECT_TRUE(f.Empty->Visible());
  EXPECT_FALSE(f.Empty->InternallyHidden());
  m->SetCategoryItemsVisible(0, ivAlways);
  EXPECT_TRUE(f.OnlyFirst->Visible());
  EXPECT_FALSE(f.OnlyFirst->InternallyHidden());
  EXPECT_EQ(m->LockUpdateCount(), 0);
}

TEST(BarManagerCategories, ABarTheUserHidOrShowedIsLeftAsTheUserSetIt) {
  TCategoryBars f;
  TdxBarManager* m = f.Host.Manager;
  m->SetAutoHideEmptyBars(true);
  m->SetCategoryItemsVisible(0, ivNever);
  ASSERT_TRUE(f.OnlyFirst->InternallyHidden());
  // Shown by hand while empty: it no longer counts as hidden by the manager.
  f.OnlyFirst->SetVisible(true);
  EXPECT_FALSE(f.OnlyFirst->InternallyHidden());
  f.OnlyFirst->SetVisible(false);
  m->SetCategoryItemsVisible(0, ivAlways);
  EXPECT_FALSE(f.OnlyFirst->Visible());
}

TEST(BarManagerCategories, WithoutAutoHideBarsKeepTheirVisibility) {
  TCategoryBars f;
  TdxBarManager* m = f.Host.Manager;
  m->SetCategoryItemsVisible(0, ivNever);
  EXPECT_TRUE(f.OnlyFirst->Visible());
  EXPECT_FALSE(f.OnlyFirst->InternallyHidden());
  m->SetCategoryItemsVisible(0, ivAlways);
  // Switching the option off forgets which bars the manager hid.
  m->SetAutoHideEmptyBars(true);
  m->SetCategoryItemsVisible(0, ivNever);
  ASSERT_TRUE(f.OnlyFirst->InternallyHidden());
  m->SetAutoHideEmptyBars(false);
  EXPECT_FALSE(f.OnlyFirst->InternallyHidden());
  m->SetAutoHideEmptyBars(true);
  m->SetCategoryItemsVisible(0, ivAlways);
  EXPECT_FALSE(f.OnlyFirst->Visible());
}

// A dock that counts its layout passes and the redraw switches it is sent.
class TCountingDock : public TdxDockControl {
public:
  using TdxDockControl::TdxDockControl;
  void UpdateLayout() override { ++Layouts; }
  int Layouts = 0;
  std::vector<WPARAM> Redraws;

protected:
  void WndProc(TMessage& message) override {
    if (message.Msg == WM_SETREDRAW) Redraws.push_back(message.WParam);
    TdxDockControl::WndProc(message);
  }
};

TEST(BarManagerUpdate, OnlyTheOutermostLockStopsAndRestartsTheDocks) {
  THostedManager host;
  TdxBarManager* m = host.Manager;
  auto* dock = New<TCountingDock>(host.Form);
  dock->SetParent(host.Form);
  dock->HandleNeeded();
  m->AddDockControl(dock);
  TdxBar* bar = m->Bars()->AddBar();
  m->LockUpdate();
  bar->SetChangedMark(true);  // what a bar window marks while the update runs
  m->LockUpdate();
  EXPECT_EQ(dock->Redraws, std::vector<WPARAM>{FALSE});
  m->UnlockUpdate();
  EXPECT_EQ(dock->Layouts, 0);
  EXPECT_TRUE(bar->ChangedMark());
  m->UnlockUpdate(true);
  EXPECT_EQ(dock->Redraws, (std::vector<WPARAM>{FALSE, TRUE}));
  EXPECT_EQ(dock->Layouts, 1);
  EXPECT_FALSE(bar->ChangedMark());
  // An unlock too many changes nothing.
  m->UnlockUpdate();
  EXPECT_EQ(m->LockUpdateCount(), 0);
  EXPECT_EQ(dock->Layouts, 1);
  // A hidden dock is left alone.
  dock->SetVisible(false);
  m->LockUpdate();
  m->UnlockUpdate();
  EXPECT_EQ(dock->Layouts, 1);
  m->RemoveDockControl(dock);
}

TEST(BarManagerDrawing, TheThemesToolbarBrushOnlyWithVisualStyles) {
  THostedManager host;
  TdxBarManager* m = host.Manager;
  for (int pass = 0; pass < 2; ++pass) {
    SCOPED_TRACE(pass ? "after a system colour change" : "as made");
    if (!TdxBarManager::IsThemeAvailable()) {
      EXPECT_EQ(m->ThemeToolbarBrush(), nullptr);
    } else {
      ASSERT_NE(m->ThemeToolbarBrush(), nullptr);
      LOGBRUSH lb{};
      ASSERT_EQ(GetObjectA(m->ThemeToolbarBrush(), sizeof lb, &lb), static_cast<int>(sizeof lb));
      EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
      EXPECT_EQ(lb.lbColor, ThemedWindowFillColor());
    }
    m->RefreshDrawingResources();
  }
}

TEST(BarMerging, SavedMergesMergeAgain) {
  THostedManager host;
  TdxBar* main = host.Manager->Bars()->AddBar();
  TdxBar* child = host.Manager->Bars()->AddBar();
  main->SetCaption("Main");
  child->SetCaption("Child");
  child->SetVisible(true);
  child->ItemLinks()->AddItem(New<TdxBarButton>(host.Form));
  main->Merge(child);
  main->SaveMerges();
  main->SaveMerges();
  EXPECT_EQ(main->SavedMergeCount(), 1);
  main->Unmerge(child);
  EXPECT_TRUE(child->Visible());
  EXPECT_EQ(main->ItemLinks()->Count(), 0);
  main->RemergeSaved();
  EXPECT_EQ(child->MergedWith(), main);
  EXPECT_FALSE(child->Visible());
  EXPECT_EQ(main->ItemLinks()->Count(), 1);
  EXPECT_EQ(main->SavedMergeCount(), 0);
  // Remerging a bar still merged here raises nothing.
  main->SaveMerges();
  main->RemergeSaved();
  EXPECT_EQ(main->MergedBarCount(), 1);
  EXPECT_EQ(main->ItemLinks()->Count(), 1);
  main->Unmerge(nullptr);
  EXPECT_TRUE(child->Visible());
}

TEST(BarMerging, ASavedBarThatGoesIsForgotten) {
  THostedManager host;
  TdxBar* main = host.Manager->Bars()->AddBar();
  TdxBar* child = host.Manager->Bars()->AddBar();
  main->Merge(child);
  main->SaveMerges();
  main->Unmerge(child);
  Free(child);
  EXPECT_EQ(main->SavedMergeCount(), 0);
  main->RemergeSaved();
  EXPECT_EQ(main->MergedBarCount(), 0);
  // And a host that goes leaves no trace in the bars it saved.
  TdxBar* other = host.Manager->Bars()->AddBar();
  main->Merge(other);
  main->SaveMerges();
  main->Unmerge(other);
  Free(main);
  Free(other);
}

}  // namespace
