// The bar manager: its owner, the recent use count of personalized menus,
// the painter its style chooses, and new toolbars' captions.
#include "bars/model/BarManager.h"
#include "bars/model/Bars.h"
#include "bars/views/BarPainter.h"
#include "foundation/LookAndFeel.h"
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "tests/bars/BarsTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(BarManager, TheOwnerMustBeAWindowedControlWithNoOtherManager) {
  TComponent* plain = New<TComponent>(nullptr);
  try {
    New<TdxBarManager>(plain);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "TdxBarManager should have TWinControl as its Owner");
  }
  EXPECT_EQ(plain->ComponentCount(), 0);
  Free(plain);
  // Without a main form, no owner is no windowed control either.
  EXPECT_THROW(New<TdxBarManager>(nullptr), EComponentError);
  THostedManager host;
  try {
    New<TdxBarManager>(host.Form);
    ADD_FAILURE() << "no error";
  } catch (const Exception& e) {
    EXPECT_STREQ(e.what(), "A control should contain only a single TdxBarManager");
  }
  EXPECT_EQ(host.Form->ComponentCount(), 1);
}

TEST(BarManager, TheRecentUseCountFollowsThePercentage) {
  THostedManager host;
  EXPECT_EQ(host.Manager->MostRecentItemsPercents(), 95);
  struct Case {
    int Percents, Stored, Count;
  } cases[] = {{95, 95, 20}, {100, 100, 0}, {99, 99, 100}, {0, 0, 1}, {50, 50, 2}, {150, 100, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Percents);
    host.Manager->SetMostRecentItemsPercents(c.Percents);
    EXPECT_EQ(host.Manager->MostRecentItemsPercents(), c.Stored);
    EXPECT_EQ(host.Manager->RecentUseCount(), c.Count);
  }
}

TEST(BarManager, ThePainterByStyle) {
  THostedManager host;
  TdxBarManager* m = host.Manager;
  EXPECT_EQ(m->Style(), bmsEnhanced);
  const bool themes = TdxBarManager::IsThemeAvailable();
  struct Case {
    const char* Name;
    TdxBarManagerStyle Style;
    TcxLookAndFeelKind Kind;
    TdxBarManagerStyle Effective;
    TClass Painter;
  } cases[] = {
      {"standard", bmsStandard, lfUltraFlat, bmsStandard, &TdxBarStandardPainter::ClassInfo},
      {"enhanced", bmsEnhanced, lfUltraFlat, bmsEnhanced, &TdxBarEnhancedPainter::ClassInfo},
      {"flat", bmsFlat, lfUltraFlat, bmsFlat, &TdxBarFlatPainter::ClassInfo},
      {"office11", bmsOffice11, lfUltraFlat, bmsOffice11, &TdxBarOffice11Painter::ClassInfo},
      {"XP", bmsXP, lfUltraFlat, bmsXP,
       themes ? &TdxBarXPPainter::ClassInfo : &TdxBarEnhancedPainter::ClassInfo},
      {"look and feel, ultra-flat", bmsUseLookAndFeel, lfUltraFlat, bmsFlat, &TdxBarFlatPainter::ClassInfo},
      {"look and feel, flat", bmsUseLookAndFeel, lfFlat, bmsEnhanced, &TdxBarEnhancedPainter::ClassInfo},
      {"look and feel, standard", bmsUseLookAndFeel, lfStandard, bmsStandard, &TdxBarStandardPainter::ClassInfo},
      {"look and feel, office11", bmsUseLookAndFeel, lfOffice11, bmsOffice11, &TdxBarOffice11Painter::ClassInfo},
  };
  m->LookAndFeel()->SetNativeStyle(false);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    m->SetStyle(c.Style);
    m->LookAndFeel()->SetKind(c.Kind);
    EXPECT_EQ(m->EffectiveStyle(), c.Effective);
    EXPECT_EQ(m->PainterClass(), c.Painter);
  }
}

TEST(BarManager, NewToolbarsAreNamedCustomOneTwo) {
  THostedManager host;
  TdxBar* first = host.Manager->AddToolbar();
  TdxBar* second = host.Manager->AddToolbar();
  EXPECT_EQ(first->Caption(), "Custom 1");
  EXPECT_EQ(second->Caption(), "Custom 2");
  EXPECT_EQ(host.Manager->Bars()->ItemCount(), 2);
  first->SetCaption("Mine");
  EXPECT_EQ(host.Manager->AddToolbar()->Caption(), "Custom 1");
  EXPECT_EQ(host.Manager->LockUpdateCount(), 0);
}

TEST(BarManager, NewToolbarsDockAtTheTopAndFloatBesideTheOwner) {
  RECT work{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  struct Case {
    const char* Name;
    int Left, Top;
    bool MainMenu;
    int FloatLeft, FloatTop;  // relative to the work area
  } cases[] = {
      {"left of the owner", 300, 200, false, 250, 200},
      {"right of an owner at the work area's edge", 20, 200, false, 20 + 400 + 10, 200},
      {"an owner above the work area", 300, -100, false, 250, 10},
      {"the main menu", 300, 200, true, 250, 200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    THostedManager host;
    host.Form->SetBounds(work.left + c.Left, work.top + c.Top, 400, 300);
    TdxBar* other = host.Manager->AddToolbar();
    TdxBar* bar = host.Manager->AddToolbar(c.MainMenu);
    EXPECT_EQ(bar->FloatLeft(), work.left + c.FloatLeft);
    EXPECT_EQ(bar->FloatTop(), work.top + c.FloatTop);
    EXPECT_EQ(bar->DockingStyle(), dsTop);
    EXPECT_TRUE(bar->Visible());
    EXPECT_EQ(bar->IsMainMenu(), c.MainMenu);
    EXPECT_EQ(other->Row(), 0);
    EXPECT_EQ(bar->Row(), c.MainMenu ? 0 : 1);
  }
}

}  // namespace
