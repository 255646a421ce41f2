#include "tests/panels/PanelsTestSupport.h"

#include "foundation/FoundationUnits.h"
#include "foundation/UxTheme.h"
#include "panels/PanelsUnits.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

namespace {

class PanelsUnitsEnvironment : public ::testing::Environment {
public:
  void SetUp() override {
    InitializeUnits({cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit, RzCommonUnit});
  }
  void TearDown() override { FinalizeUnits(); }
};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new PanelsUnitsEnvironment);

}  // namespace

COLORREF Sys(int index) { return GetSysColor(index); }

namespace {
BOOL WINAPI ThemeInactive() { return FALSE; }
}  // namespace

StylesOff::StylesOff() : FSaved(UxThemeEntries[uxeIsThemeActive]) {
  UxThemeEntries[uxeIsThemeActive] = reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&ThemeInactive));
}

StylesOff::~StylesOff() { UxThemeEntries[uxeIsThemeActive] = FSaved; }

TimerSteps* TimerSteps::Current = nullptr;

TimerSteps::TimerSteps(std::function<bool()> step) : FStep(std::move(step)) {
  Current = this;
  FId = SetTimer(nullptr, 0, 20, &TimerSteps::Tick);
}

TimerSteps::~TimerSteps() {
  KillTimer(nullptr, FId);
  Current = nullptr;
}

void CALLBACK TimerSteps::Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (Current && !Current->Done) Current->Done = Current->FStep();
}
