// The visual-styles binding and the theme manager: the handle cache, theme
// changes and their notifications, and visual styles switched off. The cache
// tests put counting functions in place of OpenThemeData, CloseThemeData and
// IsThemeActive, so that they do not depend on the theme of the prefix.
#include "foundation/ThemeManager.h"
#include "foundation/UxTheme.h"
#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ThemeUnits : public ::testing::Test {
protected:
  void SetUp() override {
    dxUxThemeInit();
    dxThemeManagerInit();
  }
  void TearDown() override {
    dxThemeManagerDone();
    dxUxThemeDone();
  }
  static void SendThemeChanged() {
    ASSERT_NE(ThemeChangeReceiverWindow(), nullptr);
    SendMessageA(ThemeChangeReceiverWindow(), WM_THEMECHANGED, 0, 0);
  }
};

TEST_F(ThemeUnits, BindsTheSystemLibraryAndCachesRealHandles) {
  ASSERT_TRUE(IsOSAtLeastXP());
  ASSERT_TRUE(IsThemeLibraryBound());
  for (TdxUxEntry e : {uxeOpenThemeData, uxeCloseThemeData, uxeIsThemeActive, uxeDrawThemeBackground})
    EXPECT_NE(UxThemeEntries[e], nullptr) << UxThemeEntryNames[e];
  EXPECT_EQ(VisualStylesActive(), UxIsThemeActive());
  // The receiver is a top-level window: the system broadcasts theme changes
  // to top-level windows only.
  EXPECT_EQ(GetAncestor(ThemeChangeReceiverWindow(), GA_PARENT), GetDesktopWindow());
  const HTHEME button = AcquireThemeHandle(totButton);
  RecordProperty("VisualStylesActive", VisualStylesActive() ? "yes" : "no");
  if (VisualStylesActive()) {
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(AcquireThemeHandle(totButton), button);
    EXPECT_EQ(AcquireThemeHandle(totButton, L"button"), button);
    EXPECT_TRUE(CanUseVisualStyle(totButton));
  } else {
    EXPECT_EQ(button, nullptr);
    EXPECT_FALSE(CanUseVisualStyle(totButton));
  }
}

// Counting stand-ins for the theme library.
namespace fake {
bool Active = true;
int Opens = 0;
int Closes = 0;
std::vector<std::wstring> Opened;
std::wstring Refused;  // a class list that does not open

HTHEME WINAPI OpenThemeData(HWND, LPCWSTR classList) {
  if (Refused == classList) return nullptr;
  ++Opens;
  Opened.emplace_back(classList);
  return reinterpret_cast<HTHEME>(static_cast<INT_PTR>(0x1000 + Opens));
}
HRESULT WINAPI CloseThemeData(HTHEME) {
  ++Closes;
  return S_OK;
}
BOOL WINAPI IsThemeActive() { return Active; }
HRESULT WINAPI GetThemeColor(HTHEME, int, int, int, COLORREF* color) {
  *color = 0x123456;  // a failing call may scribble on its output
  return E_FAIL;
}
}  // namespace fake

template <class F>
FARPROC AsProc(F* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

class FakeTheme : public ThemeUnits {
protected:
  void SetUp() override {
    ThemeUnits::SetUp();
    fake::Active = true;
    fake::Opens = fake::Closes = 0;
    fake::Opened.clear();
    fake::Refused.clear();
    UxThemeEntries[uxeOpenThemeData] = AsProc(&fake::OpenThemeData);
    UxThemeEntries[uxeCloseThemeData] = AsProc(&fake::CloseThemeData);
    UxThemeEntries[uxeIsThemeActive] = AsProc(&fake::IsThemeActive);
    UxThemeEntries[uxeGetThemeColor] = AsProc(&fake::GetThemeColor);
    // The manager reads the active state again at a theme change.
    SendThemeChanged();
    ASSERT_TRUE(VisualStylesActive());
  }
};

TEST_F(FakeTheme, ButtonHandleIsCachedAndReusedAcrossClassListCase) {
  const HTHEME button = AcquireThemeHandle(totButton);
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(AcquireThemeHandle(totButton), button);
  EXPECT_EQ(AcquireThemeHandle(totButton, L"button"), button);
  EXPECT_EQ(AcquireThemeHandle(totButton, L"BUTTON"), button);
  EXPECT_EQ(fake::Opens, 1);
  EXPECT_EQ(fake::Opened, std::vector<std::wstring>{L"Button"});
  EXPECT_EQ(fake::Closes, 0);
}

TEST_F(FakeTheme, ADifferentClassListReplacesTheKindsHandle) {
  const HTHEME first = AcquireThemeHandle(totEdit);
  const HTHEME second = AcquireThemeHandle(totEdit, L"Edit;ComboBox");
  EXPECT_NE(second, first);
  EXPECT_EQ(fake::Closes, 1);
  EXPECT_EQ(AcquireThemeHandle(totEdit), second);  // now the kind's handle
  EXPECT_EQ(ThemeDataOf(totEdit).ClassList, L"Edit;ComboBox");
  // After a theme change it reopens lazily with the class list it had.
  SendThemeChanged();
  EXPECT_EQ(ThemeDataOf(totEdit).Theme, nullptr);
  EXPECT_NE(AcquireThemeHandle(totEdit), nullptr);
  EXPECT_EQ(fake::Opened.back(), L"Edit;ComboBox");
  // A class list that does not open leaves the kind without a handle and forgets the list.
  fake::Refused = L"NoSuchClass";
  EXPECT_EQ(AcquireThemeHandle(totEdit, L"NoSuchClass"), nullptr);
  EXPECT_TRUE(ThemeDataOf(totEdit).ClassList.empty());
  EXPECT_NE(AcquireThemeHandle(totEdit), nullptr);
  EXPECT_EQ(fake::Opened.back(), L"Edit");
}

TEST_F(FakeTheme, SetsOfKindsOpenEveryMemberAndAnEmptySetNone) {
  EXPECT_TRUE(CanUseVisualStyles());
  EXPECT_EQ(fake::Opens, 0);
  EXPECT_TRUE(CanUseVisualStyles({totComboBox, totWindow}));
  EXPECT_EQ(fake::Opened, (std::vector<std::wstring>{L"ComboBox", L"Window"}));
  fake::Refused = L"Status";
  EXPECT_FALSE(CanUseVisualStyles({totProgress, totStatus, totToolBar}));
  // Tried from the lowest kind up, stopping at the first that does not open.
  EXPECT_EQ(fake::Opened.back(), L"Progress");
  EXPECT_FALSE(CanUseVisualStyle(totStatus));
  EXPECT_TRUE(CanUseVisualStyle(totToolBar));
  EXPECT_EQ(ReleaseThemeHandle(totToolBar), S_OK);
  EXPECT_EQ(ReleaseThemeHandle(totToolBar), 0);  // none open
}

TEST_F(FakeTheme, ThemeChangeClosesEveryHandleAndTellsTheNotificatorsInOrder) {
  for (TdxThemedObjectType kind : {totButton, totHeader, totTreeView}) AcquireThemeHandle(kind);
  std::vector<std::string> heard;
  auto* first = new TdxThemeChangedNotificator;
  auto* second = new TdxThemeChangedNotificator;
  auto* third = new TdxThemeChangedNotificator;
  first->OnVisualStyleChange = TNotifyEvent::Lambda([&](TObject* sender) {
    heard.push_back(sender == first ? "first" : "?");
    // Freeing a later notificator while they are being told.
    delete third;
    third = nullptr;
  });
  second->OnVisualStyleChange = TNotifyEvent::Lambda([&](TObject*) {
    heard.push_back("second");
    EXPECT_EQ(ThemeDataOf(totButton).Theme, nullptr);  // closed before anyone hears
  });
  third->OnVisualStyleChange = TNotifyEvent::Lambda([&](TObject*) { heard.push_back("third"); });
  SendThemeChanged();
  EXPECT_EQ(heard, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(fake::Closes, 3);
  delete first;
  delete second;
}

TEST_F(FakeTheme, AHandlerThatRaisesDoesNotEscapeTheWindowProcedure) {
  std::vector<std::string> errors;
  const TExceptionEvent old = SetCallbackExceptionHandler(
      TExceptionEvent::Lambda([&](TObject*, Exception& e) { errors.push_back(e.Message()); }));
  TdxThemeChangedNotificator n;
  n.OnVisualStyleChange = TNotifyEvent::Lambda([](TObject*) { throw EInvalidOperation("handler failed"); });
  const LRESULT result = SendMessageA(ThemeChangeReceiverWindow(), WM_THEMECHANGED, 0, 0);
  SetCallbackExceptionHandler(old);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(errors, std::vector<std::string>{"handler failed"});
}

TEST_F(FakeTheme, WithVisualStylesSwitchedOffEveryQueryAnswersFalse) {
  for (int i = 0; i < ThemedObjectTypeCount; ++i) AcquireThemeHandle(static_cast<TdxThemedObjectType>(i));
  ASSERT_EQ(fake::Opens, ThemedObjectTypeCount);
  fake::Active = false;
  SendThemeChanged();
  EXPECT_FALSE(VisualStylesActive());
  EXPECT_EQ(fake::Closes, ThemedObjectTypeCount);
  for (int i = 0; i < ThemedObjectTypeCount; ++i) {
    const auto kind = static_cast<TdxThemedObjectType>(i);
    EXPECT_FALSE(CanUseVisualStyle(kind)) << i;
    EXPECT_EQ(AcquireThemeHandle(kind), nullptr) << i;
    EXPECT_EQ(ReleaseThemeHandle(kind), 1) << i;
    EXPECT_EQ(ThemeDataOf(kind).Theme, nullptr) << i;
  }
  EXPECT_FALSE(CanUseVisualStyles());
  EXPECT_FALSE(CanUseVisualStyles({totButton}));
  EXPECT_EQ(fake::Opens, ThemedObjectTypeCount);  // nothing opened meanwhile
  // Switched on again, handles reopen on demand.
  fake::Active = true;
  SendThemeChanged();
  EXPECT_TRUE(CanUseVisualStyle(totButton));
}

TEST_F(FakeTheme, ColourQueriesLeaveTheColourAloneOnFailure) {
  COLORREF color = 0xABCDEF;
  EXPECT_EQ(UxGetThemeColor(AcquireThemeHandle(totButton), 1, 1, 3803, color), E_FAIL);
  EXPECT_EQ(color, 0xABCDEFu);
}

TEST_F(ThemeUnits, ANotificatorCreatedWhileTheLibraryIsUnboundNeverHears) {
  dxThemeManagerDone();
  dxUxThemeDone();
  ASSERT_FALSE(IsThemeLibraryBound());
  EXPECT_FALSE(UxIsThemeActive());
  EXPECT_FALSE(CanUseVisualStyles());
  TdxThemeChangedNotificator early;
  int heard = 0;
  early.OnVisualStyleChange = TNotifyEvent::Lambda([&](TObject*) { ++heard; });
  dxUxThemeInit();
  dxThemeManagerInit();
  TdxThemeChangedNotificator later;
  int laterHeard = 0;
  later.OnVisualStyleChange = TNotifyEvent::Lambda([&](TObject*) { ++laterHeard; });
  SendThemeChanged();
  EXPECT_EQ(heard, 0);
  EXPECT_EQ(laterHeard, 1);
}

}  // namespace
