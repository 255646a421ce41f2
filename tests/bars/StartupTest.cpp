// The framework's start-up and shut-down: the item-class registry, the
// manager list and its hooks, the shared objects, the cursors, the start-up
// chain and the system window's wake-up of the GUI thread.
#include "bars/model/BarCanvas.h"
#include "bars/model/BarGlobals.h"
#include "bars/model/BarManager.h"
#include "bars/model/DesignController.h"
#include "bars/model/ItemKinds.h"
#include "bars/views/BarControl.h"
#include "bars/views/BarHint.h"
#include "bars/views/BarPainter.h"
#include "bars/views/ItemControl.h"
#include "platform/Forms.h"
#include "platform/Properties.h"
#include "platform/Screen.h"
#include "platform/Thread.h"
#include "tests/bars/BarsTestSupport.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace {

// A button class with no registry entry of its own.
class TDerivedButton : public TdxBarButton {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  using TdxBarButton::TdxBarButton;
};
const TClassInfo TDerivedButton::ClassInfo{"TDerivedButton", &TdxBarButton::ClassInfo, nullptr};

TEST(BarStartup, TheRegistryHoldsTheFifteenPairsInOrder) {
  TdxBarItemList* registry = ItemClassRegistry();
  ASSERT_NE(registry, nullptr);
  const char* const expected[15][2] = {
      {"TdxBarButton", "TdxBarButtonControl"},
      {"TdxBarEdit", "TdxBarEditControl"},
      {"TCustomdxBarCombo", "TCustomdxBarComboControl"},
      {"TdxBarCombo", "TdxBarComboControl"},
      {"TdxBarSubItem", "TdxBarSubItemControl"},
      {"TdxBarListItem", "TdxBarContainerItemControl"},
      {"TdxBarContainerItem", "TdxBarContainerItemControl"},
      {"TdxBarExtraPaneListItem", "TdxBarContainerItemControl"},
      {"TdxBarLabel", "TdxBarCustomStaticControl"},
      {"TdxBarSeparator", "TdxBarSeparatorControl"},
      {"TdxBarApplicationMenuButtonItem", "TdxBarApplicationMenuButtonControl"},
      {"TdxBarQuickCustExtButton", "TdxBarQuickCustExtButtonControl"},
      {"TdxBarQuickCustItem", "TdxBarQuickCustItemControl"},
      {"TdxBarQuickAccessItem", "TdxBarSubItemControl"},
      {"TSystemMenuSubItem", "TSystemMenuSubItemControl"},
  };
  ASSERT_EQ(registry->Count(), 15);
  for (int i = 0; i < 15; ++i) {
    SCOPED_TRACE(i);
    EXPECT_STREQ(registry->ItemClassAt(i)->Name, expected[i][0]);
    EXPECT_STREQ(registry->EntryAt(i)->ItemControlClass->Name, expected[i][1]);
    // Forms can stream every registered item class.
    EXPECT_EQ(GetClass(expected[i][0]), registry->ItemClassAt(i));
  }
  EXPECT_EQ(registry->VisibleCount(), 8);
  EXPECT_EQ(registry->VisibleItemClassAt(0), &TdxBarButton::ClassInfo);
  EXPECT_EQ(registry->VisibleItemClassAt(7), &TdxBarSeparator::ClassInfo);
  EXPECT_EQ(registry->VisibleItemClassAt(8), nullptr);
  EXPECT_EQ(registry->VisibleItemClassAt(-1), nullptr);
  EXPECT_NE(GetClass("TdxBar"), nullptr);
  EXPECT_NE(GetClass("TdxBarApplicationMenuButton"), nullptr);
}

TEST(BarStartup, AnItemControlClassComesOnlyFromTheItemsOwnClassEntry) {
  TdxBarButton* button = New<TdxBarButton>(nullptr);
  TDerivedButton* derived = New<TDerivedButton>(nullptr);
  EXPECT_EQ(button->ItemControlClass(), &TdxBarButtonControl::ClassInfo);
  EXPECT_EQ(derived->ItemControlClass(), nullptr);
  RegisterItemControlPair(&TDerivedButton::ClassInfo, &TdxBarButtonControl::ClassInfo, false);
  EXPECT_EQ(derived->ItemControlClass(), &TdxBarButtonControl::ClassInfo);
  EXPECT_EQ(ItemClassRegistry()->VisibleCount(), 8);
  ItemClassRegistry()->RemovePairAt(ItemClassRegistry()->Count() - 1);
  EXPECT_EQ(GetClass("TDerivedButton"), nullptr);
  Free(derived);
  Free(button);
}

TEST(BarStartup, TheDesignControllerHasItsEditorsAndHelpers) {
  TdxBarDesignController* design = BarDesignController();
  ASSERT_NE(design, nullptr);
  ASSERT_EQ(design->EditorCount(), 3);
  EXPECT_EQ(design->EditorAt(0), &TdxAddSubItemEditor::ClassInfo);
  EXPECT_EQ(design->EditorAt(1), &TdxAddButtonEditor::ClassInfo);
  EXPECT_EQ(design->EditorAt(2), &TdxItemsEditorEx::ClassInfo);
  EXPECT_EQ(design->DesignHelperCount(), 3);
  EXPECT_EQ(design->DesignHelperOf(&TdxBarSubMenuControl::ClassInfo), &TdxBarSubMenuControlDesignHelper::ClassInfo);
}

TEST(BarStartup, OneManagerInstallsTheThreeHooksAndTwoInstallThemOnce) {
  ASSERT_EQ(BarManagerList()->Count(), 0);
  EXPECT_EQ(BarKeyboardHook(), nullptr);
  EXPECT_EQ(SharedHintWindow(), nullptr);
  TForm* formA = New<TForm>(nullptr);
  TForm* formB = New<TForm>(nullptr);
  TdxBarManager* first = New<TdxBarManager>(formA);
  const HHOOK keyboard = BarKeyboardHook(), mouse = BarMouseHook(), callWnd = BarCallWndProcHook();
  EXPECT_NE(keyboard, nullptr);
  EXPECT_NE(mouse, nullptr);
  EXPECT_NE(callWnd, nullptr);
  ASSERT_NE(SharedHintWindow(), nullptr);
  EXPECT_STREQ(SharedHintWindow()->ClassName(), "TdxBarHintWindow");
  TdxBarManager* second = New<TdxBarManager>(formB);
  EXPECT_EQ(BarKeyboardHook(), keyboard);
  EXPECT_EQ(BarMouseHook(), mouse);
  EXPECT_EQ(BarCallWndProcHook(), callWnd);
  EXPECT_EQ(BarManagerList()->Count(), 2);
  EXPECT_EQ(BarManagerList()->ManagerAt(1), second);
  EXPECT_EQ(BarManagerList()->ManagerAt(2), nullptr);
  Free(first);
  EXPECT_EQ(BarKeyboardHook(), keyboard);
  // The hooks chain on: messages still reach a window while they are in.
  bool received = false;
  testing_support::TestWindow window(100, 50, [&](HWND, UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg == WM_USER + 7) received = true;
    return false;
  });
  EXPECT_TRUE(PostMessageA(window.Handle(), WM_USER + 7, 0, 0));
  EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return received; }));
  Free(second);
  EXPECT_EQ(BarKeyboardHook(), nullptr);
  EXPECT_EQ(BarMouseHook(), nullptr);
  EXPECT_EQ(BarCallWndProcHook(), nullptr);
  EXPECT_EQ(SharedHintWindow(), nullptr);
  Free(formB);
  Free(formA);
}

TEST(BarStartup, SharedObjectsAreMadeOnFirstUseAndNotOnceFinalizing) {
  TdxBarCanvas* canvas = SharedBarCanvas();
  ASSERT_NE(canvas, nullptr);
  EXPECT_EQ(SharedBarCanvas(), canvas);
  EXPECT_NE(SharedFlatPainter(), nullptr);
  EXPECT_NE(NavigationControllerInstance(), nullptr);
  EXPECT_NE(SystemControllerInstance(), nullptr);
  EXPECT_NE(CheckerBrush(), nullptr);
  EXPECT_GT(ScreenColorDepth(), 0);
  EXPECT_NE(ClassNameBuffer(), nullptr);
  EXPECT_NE(AnimateWindowProc, nullptr);
  EXPECT_NE(SetLayeredWindowAttributesProc, nullptr);

  dxBarDone();
  EXPECT_TRUE(FinalizingFlag);
  EXPECT_EQ(ItemClassRegistry(), nullptr);
  EXPECT_EQ(BarDesignController(), nullptr);
  EXPECT_EQ(SharedBarCanvas(), nullptr);
  EXPECT_EQ(BarManagerList(), nullptr);
  EXPECT_EQ(GetClass("TdxBarButton"), nullptr);
  EXPECT_EQ(GetClass("TdxBar"), nullptr);
  // A manager made after the shut-down finds no list and installs nothing.
  TForm* form = New<TForm>(nullptr);
  TdxBarManager* late = New<TdxBarManager>(form);
  EXPECT_EQ(BarKeyboardHook(), nullptr);
  Free(late);
  Free(form);
  EXPECT_EQ(SharedHintWindow(), nullptr);
  dxBarInit();
  EXPECT_FALSE(FinalizingFlag);
  EXPECT_EQ(ItemClassRegistry()->Count(), 15);
}

TEST(BarStartup, TheOperatingSystemFlags) {
  struct Case {
    DWORD Platform, Major, Minor;
    bool Win9x, Win95, Extended;
  } cases[] = {
      {VER_PLATFORM_WIN32_WINDOWS, 4, 0, true, true, false},
      {VER_PLATFORM_WIN32_WINDOWS, 4, 10, true, false, true},
      {VER_PLATFORM_WIN32_NT, 5, 1, false, false, true},
      {VER_PLATFORM_WIN32_NT, 6, 1, false, false, false},
      {VER_PLATFORM_WIN32_NT, 4, 0, false, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.Platform << " " << c.Major << "." << c.Minor);
    ProbeWindowsVersion(c.Platform, c.Major, c.Minor);
    EXPECT_EQ(IsWin9xPlatform, c.Win9x);
    EXPECT_EQ(IsWin95, c.Win95);
    EXPECT_EQ(HasExtendedMenuItemInfo, c.Extended);
  }
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExA(&version);
#pragma GCC diagnostic pop
  ProbeWindowsVersion(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion);
  EXPECT_FALSE(IsWin9xPlatform);
}

TEST(BarStartup, TheFourCursorsLoadFromTheProgramsResources) {
  const char* const names[4] = {"DXBARDRAGCURSOR", "DXBARDRAGCOPYCURSOR", "DXBARDRAGNODROPCURSOR",
                                "DXBAREDITSIZINGCURSOR"};
  const int ids[4] = {crdxBarDrag, crdxBarDragCopy, crdxBarDragNoDrop, crdxBarEditSizing};
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(names[i]);
    HCURSOR own = LoadCursorA(GetModuleHandleA(nullptr), names[i]);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(Screen->Cursors(ids[i]), own);
    EXPECT_NE(Screen->Cursors(ids[i]), Screen->Cursors(crDefault));
  }
  EXPECT_EQ(ids[0], 1041);
  EXPECT_EQ(ids[3], 1044);
}

TEST(BarStartup, TheStartUpChainCallsTheKeptLinkFirst) {
  // In a program the framework's link is in the chain, ahead of the links
  // installed before it.
  EXPECT_EQ(InitProc, &InitProcHook);
  static int kept = 0;
  dxBarDone();
  const TInitProc before = InitProc;
  InitProc = [] { ++kept; };
  dxBarInit();
  EXPECT_EQ(InitProc, &InitProcHook);
  InitProcHook();
  EXPECT_EQ(kept, 1);
  dxBarDone();
  EXPECT_NE(InitProc, &InitProcHook);
  InitProc = before;
  dxBarInit();
  EXPECT_FALSE(dxBarModuleIsLibrary());
}

TEST(BarStartup, TheSystemWindowWakesTheGuiThreadOnlyWhenHooked) {
  TdxBarSystemController* controller = SystemControllerInstance();
  ASSERT_NE(controller, nullptr);
  // In a program nothing is hooked.
  EXPECT_FALSE(controller->HooksThreadWakeUp());
  EXPECT_FALSE(WakeMainThread());

  // A library's controller: workers post 0x8066 to its window, which runs
  // their calls.
  TdxBarSystemController* library = New<TdxBarSystemController>();
  library->HookThreadWakeUp();
  EXPECT_TRUE(library->HooksThreadWakeUp());
  EXPECT_TRUE(WakeMainThread());
  int ran = 0;
  struct TQueueOnce : TThread {
    explicit TQueueOnce(int& ran) : TThread(false), Ran(ran) {}
    void Execute() override {
      Queue(TThreadMethod::Lambda([&ran = Ran] { ++ran; }));
    }
    int& Ran;
  };
  TQueueOnce* worker = New<TQueueOnce>(ran);
  WaitForSingleObject(worker->Handle(), INFINITE);
  MSG msg;
  EXPECT_TRUE(PeekMessageA(&msg, library->Handle(), 0x8066, 0x8066, PM_NOREMOVE));
  EXPECT_TRUE(testing_support::RunMessagesUntil([&] { return ran == 1; }));
  Free(worker);
  library->UnhookThreadWakeUp();
  EXPECT_FALSE(WakeMainThread());
  // Hooked again, freeing it puts the previous wake-up back.
  library->HookThreadWakeUp();
  Free(library);
  EXPECT_FALSE(WakeMainThread());
}

}  // namespace
