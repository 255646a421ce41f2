// The look-and-feel settings: following the root and a master, what each
// change reports, the painter chosen, controllers of the root, style codes,
// and system colour changes reaching the radio images before any look and
// feel.
#include "foundation/FlatPainter.h"
#include "foundation/Office11Painter.h"
#include "foundation/WinXPPainter.h"
#include "platform/Properties.h"
#include "tests/foundation/LookAndFeelFixture.h"

#include <string>
#include <vector>

using namespace lookandfeel_test;

namespace {

// Records what a look and feel reports.
struct TReports {
  std::vector<TcxLookAndFeelValues> Changes;
  explicit TReports(TcxLookAndFeel& lookAndFeel) {
    lookAndFeel.OnSettingsChanged = TcxLookAndFeelChangedEvent::Lambda(
        [this](TcxLookAndFeel*, TcxLookAndFeelValues values) { Changes.push_back(values); });
  }
};

using LookAndFeel = PainterUnits;

TEST_F(LookAndFeel, ANewOneFollowsTheRoot) {
  TcxLookAndFeel lookAndFeel(nullptr);
  EXPECT_EQ(lookAndFeel.Kind(), lfUltraFlat);
  EXPECT_FALSE(lookAndFeel.NativeStyle());
  EXPECT_EQ(lookAndFeel.SkinName(), "");
  EXPECT_TRUE(lookAndFeel.AssignedValues().Empty());
  EXPECT_EQ(lookAndFeel.ActivePainter(), &TcxUltraFlatLookAndFeelPainter::Instance);
  EXPECT_EQ(lookAndFeel.EffectiveMaster(), SharedRootLookAndFeel());
  EXPECT_TRUE(SharedRootLookAndFeel()->HasWatcher(&lookAndFeel));
  EXPECT_EQ(SharedRootLookAndFeel()->EffectiveMaster(), nullptr);
}

TEST_F(LookAndFeel, SettingTheInheritedKindMarksItAssignedAndReportsNothing) {
  TcxLookAndFeel lookAndFeel(nullptr);
  TReports reports(lookAndFeel);
  lookAndFeel.SetKind(lfUltraFlat);
  EXPECT_TRUE(lookAndFeel.AssignedValues().Contains(lfvKind));
  EXPECT_TRUE(lookAndFeel.IsKindStored());
  EXPECT_TRUE(reports.Changes.empty());
  // Now it no longer follows the root's kind.
  SharedRootLookAndFeel()->SetKind(lfFlat);
  EXPECT_EQ(lookAndFeel.Kind(), lfUltraFlat);
  EXPECT_TRUE(reports.Changes.empty());
  lookAndFeel.SetKind(lfOffice11);
  EXPECT_EQ(reports.Changes, std::vector<TcxLookAndFeelValues>{{lfvKind}});
  EXPECT_EQ(lookAndFeel.ActivePainter(), &TcxOffice11LookAndFeelPainter::Instance);
}

TEST_F(LookAndFeel, NativeStyleChoosesTheThemedPainterOnlyWithVisualStyles) {
  SetVisualStyles(false);
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetKind(lfFlat);
  lookAndFeel.SetNativeStyle(true);
  EXPECT_TRUE(lookAndFeel.NativeStyle());
  EXPECT_EQ(lookAndFeel.ActivePainter(), &TcxFlatLookAndFeelPainter::Instance);
  // Visual styles coming on: the palette listener hears the theme change
  // and every look and feel chooses again.
  SetVisualStyles(true);
  EXPECT_EQ(lookAndFeel.ActivePainter(), &TcxWinXPLookAndFeelPainter::Instance);
  EXPECT_EQ(lookAndFeel.ChoosePainterForObject(totScrollBar), &TcxWinXPLookAndFeelPainter::Instance);
  fake::Refused = {L"Spin"};
  UxThemeEntries[uxeOpenThemeData] = AsProc(&fake::OpenThemeData);
  SendThemeChanged();
  EXPECT_EQ(lookAndFeel.ChoosePainterForObject(totSpin), &TcxFlatLookAndFeelPainter::Instance);
  EXPECT_FALSE(lookAndFeel.UsesNativePainting(totSpin));
  EXPECT_TRUE(lookAndFeel.UsesNativePainting(totButton));
}

TEST_F(LookAndFeel, AMastersChangeReachesFollowersThatInheritIt) {
  struct TCase {
    const char* Name;
    bool FollowerAssignsKind;
    std::vector<TcxLookAndFeelValues> Expected;
  };
  const TCase cases[] = {
      {"inherits the kind", false, {{lfvKind}}},
      {"assigned its own kind", true, {}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TcxLookAndFeel master(nullptr);
    TcxLookAndFeel follower(nullptr);
    if (c.FollowerAssignsKind) follower.SetKind(lfStandard);
    follower.AttachToMaster(&master);
    EXPECT_EQ(follower.EffectiveMaster(), &master);
    EXPECT_FALSE(SharedRootLookAndFeel()->HasWatcher(&follower));
    TReports reports(follower);
    master.SetKind(lfOffice11);
    EXPECT_EQ(reports.Changes, c.Expected);
    EXPECT_EQ(follower.Kind(), c.FollowerAssignsKind ? lfStandard : lfOffice11);
  }
}

TEST_F(LookAndFeel, ADestroyedMastersFollowersGoBackToTheRootWithWhatDiffers) {
  SharedRootLookAndFeel()->SetKind(lfFlat);
  auto* master = new TcxLookAndFeel(nullptr);
  master->SetKind(lfOffice11);
  master->SetSkinName("Caramel");
  TcxLookAndFeel first(nullptr), second(nullptr);
  second.SetSkinName("Caramel");
  first.AttachToMaster(master);
  second.AttachToMaster(master);
  TReports firstReports(first), secondReports(second);
  delete master;
  EXPECT_EQ(first.EffectiveMaster(), SharedRootLookAndFeel());
  EXPECT_EQ(second.EffectiveMaster(), SharedRootLookAndFeel());
  EXPECT_EQ(first.Kind(), lfFlat);
  EXPECT_EQ(firstReports.Changes, (std::vector<TcxLookAndFeelValues>{{lfvKind, lfvSkinName}}));
  EXPECT_EQ(secondReports.Changes, std::vector<TcxLookAndFeelValues>{{lfvKind}});
  EXPECT_TRUE(SharedRootLookAndFeel()->HasWatcher(&first));
  EXPECT_TRUE(SharedRootLookAndFeel()->HasWatcher(&second));
}

TEST_F(LookAndFeel, ControllersEditTheRootAndTheLastOneLeavingClearsIt) {
  TcxLookAndFeel follower(nullptr);
  auto* first = new TcxLookAndFeelController(nullptr);
  auto* second = new TcxLookAndFeelController(nullptr);
  EXPECT_EQ(LookAndFeelControllerCount(), 2);
  first->SetKind(lfOffice11);
  second->SetNativeStyle(true);
  EXPECT_EQ(second->Kind(), lfOffice11);
  EXPECT_EQ(follower.Kind(), lfOffice11);
  delete first;
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
  EXPECT_EQ(SharedRootLookAndFeel()->AssignedValues(), (TcxLookAndFeelValues{lfvKind, lfvNativeStyle}));
  TReports reports(follower);
  delete second;
  EXPECT_EQ(LookAndFeelControllerCount(), 0);
  EXPECT_TRUE(SharedRootLookAndFeel()->AssignedValues().Empty());
  EXPECT_EQ(SharedRootLookAndFeel()->Kind(), lfUltraFlat);
  EXPECT_EQ(follower.Kind(), lfUltraFlat);
  EXPECT_EQ(reports.Changes, (std::vector<TcxLookAndFeelValues>{{lfvKind, lfvNativeStyle}}));
}

TEST_F(LookAndFeel, AControllerIsIgnoredByALookAndFeelThatIsNotTheRoot) {
  TcxLookAndFeel lookAndFeel(nullptr);
  TcxLookAndFeelController controller(nullptr);
  lookAndFeel.AddWatcher(&controller);
  EXPECT_FALSE(lookAndFeel.HasWatcher(&controller));
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
  lookAndFeel.RemoveWatcher(&controller);
  EXPECT_EQ(LookAndFeelControllerCount(), 1);
}

TEST_F(LookAndFeel, ApplyStyleCodeSetsNativeStyleOrTheKind) {
  struct TCase {
    uint8_t Code;
    bool NativeStyle;
    TcxLookAndFeelKind Kind;
  };
  // Native painting leaves the kind as it was (Office 2003 here).
  const TCase cases[] = {
      {0, false, lfFlat}, {1, false, lfStandard}, {2, false, lfUltraFlat}, {3, true, lfOffice11},
      {4, false, lfOffice11}, {7, false, lfStandard},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(int(c.Code));
    TcxLookAndFeel lookAndFeel(nullptr);
    lookAndFeel.SetKind(lfOffice11);
    lookAndFeel.SetNativeStyle(true);
    lookAndFeel.ApplyStyleCode(c.Code);
    EXPECT_EQ(lookAndFeel.NativeStyle(), c.NativeStyle);
    EXPECT_EQ(lookAndFeel.Kind(), c.Kind);
  }
}

TEST_F(LookAndFeel, EveryPainterAnswersItsStyleCodeAndTheCodeMapsBackToItsKind) {
  struct TCase {
    TcxLookAndFeelPainterClass Painter;
    uint8_t Code;
    TcxLookAndFeelKind Kind;
  };
  const TCase cases[] = {
      {&TcxCustomLookAndFeelPainter::Instance, 1, lfStandard},
      {&TcxStandardLookAndFeelPainter::Instance, 1, lfStandard},
      {&TcxFlatLookAndFeelPainter::Instance, 0, lfFlat},
      {&TcxUltraFlatLookAndFeelPainter::Instance, 2, lfUltraFlat},
      {&TcxOffice11LookAndFeelPainter::Instance, 4, lfOffice11},
      {&TcxWinXPLookAndFeelPainter::Instance, 3, lfStandard},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Painter->PainterName());
    EXPECT_EQ(c.Painter->StyleCode(), c.Code);
    EXPECT_EQ(StyleCodeToKind(c.Painter->StyleCode()), c.Kind);
  }
  EXPECT_TRUE(TcxWinXPLookAndFeelPainter::Instance.InheritsFrom(&TcxStandardLookAndFeelPainter::Instance));
  EXPECT_TRUE(TcxOffice11LookAndFeelPainter::Instance.InheritsFrom(&TcxUltraFlatLookAndFeelPainter::Instance));
  EXPECT_FALSE(TcxFlatLookAndFeelPainter::Instance.InheritsFrom(&TcxStandardLookAndFeelPainter::Instance));
}

TEST_F(LookAndFeel, AssignCopiesOwnValuesAndMasterInOneReport) {
  TcxLookAndFeel master(nullptr), source(nullptr), target(nullptr);
  master.SetKind(lfFlat);
  source.SetNativeStyle(false);
  source.AttachToMaster(&master);
  TReports reports(target);
  target.Assign(&source);
  EXPECT_EQ(target.EffectiveMaster(), &master);
  EXPECT_EQ(target.AssignedValues(), TcxLookAndFeelValues{lfvNativeStyle});
  EXPECT_EQ(target.Kind(), lfFlat);
  EXPECT_EQ(reports.Changes, std::vector<TcxLookAndFeelValues>{{lfvKind}});
}

TEST_F(LookAndFeel, AMasterThatFollowsTheFollowerIsRefused) {
  TcxLookAndFeel a(nullptr), b(nullptr), c(nullptr);
  b.AttachToMaster(&a);
  c.AttachToMaster(&b);
  a.AttachToMaster(&c);
  EXPECT_EQ(a.EffectiveMaster(), SharedRootLookAndFeel());
  a.SetKind(lfStandard);
  EXPECT_EQ(c.Kind(), lfStandard);
  SharedRootLookAndFeel()->AttachToMaster(&a);
  EXPECT_EQ(SharedRootLookAndFeel()->EffectiveMaster(), nullptr);
}

TEST_F(LookAndFeel, AWatcherThatLeavesWhileHearingDoesNotMakeTheNextOneMissed) {
  TcxLookAndFeel master(nullptr);
  TcxLookAndFeel first(nullptr), second(nullptr);
  first.AttachToMaster(&master);
  second.AttachToMaster(&master);
  first.OnSettingsChanged = TcxLookAndFeelChangedEvent::Lambda(
      [&](TcxLookAndFeel*, TcxLookAndFeelValues) { first.AttachToMaster(nullptr); });
  TReports secondReports(second);
  master.SetKind(lfStandard);
  EXPECT_EQ(secondReports.Changes, std::vector<TcxLookAndFeelValues>{{lfvKind}});
  EXPECT_FALSE(master.HasWatcher(&first));
}

TEST_F(LookAndFeel, ASkinNameIsKeptButChoosesNothingUntilAPainterOfThatNameExists) {
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetKind(lfFlat);
  lookAndFeel.SetSkinName("Lilian");
  EXPECT_EQ(lookAndFeel.SkinName(), "Lilian");
  EXPECT_EQ(lookAndFeel.SkinPainter(), nullptr);
  EXPECT_EQ(lookAndFeel.ActivePainter(), &TcxFlatLookAndFeelPainter::Instance);
  ASSERT_NE(ExtendedStylePainterList, nullptr);
  EXPECT_EQ(ExtendedStylePainterList->Count(), 0);
  TReports reports(lookAndFeel);
  ExtendedStylePainterList->Register("LILIAN", &TcxOffice11LookAndFeelPainter::Instance);
  // The registry does not know who might want a new name: a look and feel
  // that had none hears only when its SkinName changes again.
  lookAndFeel.SetSkinName("lilian");
  EXPECT_EQ(lookAndFeel.SkinPainter(), &TcxOffice11LookAndFeelPainter::Instance);
  EXPECT_EQ(lookAndFeel.ActivePainter(), &TcxOffice11LookAndFeelPainter::Instance);
  EXPECT_EQ(ExtendedStylePainterList->WatcherCount(), 1);
  ExtendedStylePainterList->Unregister("Lilian");
  EXPECT_EQ(lookAndFeel.ActivePainter(), &TcxFlatLookAndFeelPainter::Instance);
  EXPECT_EQ(ExtendedStylePainterList->WatcherCount(), 0);
  EXPECT_EQ(reports.Changes.back(), cxLookAndFeelValuesAll);
}

TEST_F(LookAndFeel, AColourChangeReachesTheRadioImagesBeforeAnyLookAndFeel) {
  TcxLookAndFeel lookAndFeel(nullptr);
  TestSurface surface(20, 20);
  TcxUltraFlatLookAndFeelPainter::Instance.PaintRadioButton(surface.Canvas(), 0, 0, cxbsNormal, true, false,
                                                            clDefault);
  ASSERT_GT(RadioButtonImageList()->ImageList()->Count(), 0);
  int imagesWhenHeard = -1;
  lookAndFeel.OnSettingsChanged = TcxLookAndFeelChangedEvent::Lambda([&](TcxLookAndFeel*, TcxLookAndFeelValues v) {
    EXPECT_EQ(v, TcxLookAndFeelValues{lfvNativeStyle});
    imagesWhenHeard = RadioButtonImageList()->ImageList()->Count();
  });
  ASSERT_NE(SystemPaletteChangedListener(), nullptr);
  SendMessageA(SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(imagesWhenHeard, 0);
}

TEST_F(LookAndFeel, ALookAndFeelFreedWhileAColourChangeIsHeardIsNotToldAgain) {
  auto* first = new TcxLookAndFeel(nullptr);
  auto* second = new TcxLookAndFeel(nullptr);
  int firstHeard = 0, secondHeard = 0;
  // Notifiers are told from the last made: the second frees the first.
  second->OnSettingsChanged = TcxLookAndFeelChangedEvent::Lambda([&](TcxLookAndFeel*, TcxLookAndFeelValues) {
    ++secondHeard;
    delete first;
    first = nullptr;
  });
  first->OnSettingsChanged =
      TcxLookAndFeelChangedEvent::Lambda([&](TcxLookAndFeel*, TcxLookAndFeelValues) { ++firstHeard; });
  SendMessageA(SystemPaletteChangedListener()->WindowHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(first, nullptr);
  EXPECT_EQ(firstHeard, 0);
  // Its own notifier, then the root's report passed on to its followers.
  EXPECT_EQ(secondHeard, 2);
  delete second;
}

TEST_F(LookAndFeel, ThePaletteListenerIsATopLevelWindowThatLivesWithItsNotifiers) {
  const HWND wnd = SystemPaletteChangedListener()->WindowHandle();
  ASSERT_NE(wnd, nullptr);
  // Broadcasts reach top-level windows only.
  EXPECT_EQ(GetAncestor(wnd, GA_PARENT), GetDesktopWindow());
  EXPECT_GE(Office11PaletteUserCount(), 1);
  FinalizeUnits();
  EXPECT_EQ(SystemPaletteChangedListener(), nullptr);
  EXPECT_FALSE(IsWindow(wnd));
  EXPECT_EQ(Office11PaletteUserCount(), 0);
  StartPainterUnits();
}

TEST_F(LookAndFeel, TheFormTableStoresOnlyAssignedValues) {
  TcxLookAndFeel lookAndFeel(nullptr);
  lookAndFeel.SetNativeStyle(true);
  for (const char* name : {"Kind", "NativeStyle", "SkinName", "AssignedValues"}) {
    const TPropInfo* info = GetPropInfo(&TcxLookAndFeel::ClassInfo, name);
    ASSERT_NE(info, nullptr) << name;
    EXPECT_EQ(IsStoredProp(&lookAndFeel, info), std::string(name) == "NativeStyle") << name;
  }
  EXPECT_EQ(GetPropValue(&lookAndFeel, "Kind"), "lfUltraFlat");
  SetPropValue(&lookAndFeel, "Kind", "lfOffice11");
  EXPECT_EQ(lookAndFeel.Kind(), lfOffice11);
  EXPECT_EQ(GetPropValue(&lookAndFeel, "AssignedValues"), "[lfvKind,lfvNativeStyle]");
}

}  // namespace
