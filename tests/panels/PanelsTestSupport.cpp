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

TProbeDIB::TProbeDIB(int width, int height, COLORREF fill) : FWidth(width), FHeight(height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  FBitmap.Reset(CreateDIBSection(FDC.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  FBits = static_cast<uint32_t*>(bits);
  FSelected.Select(FDC.Get(), FBitmap.Get());
  FCanvas.SetHandle(FDC.Get());
  const RECT all{0, 0, width, height};
  const TGdiObject brush(CreateSolidBrush(fill));
  FillRect(FDC.Get(), &all, static_cast<HBRUSH>(brush.Get()));
}

TProbeDIB::~TProbeDIB() { FCanvas.SetHandle(nullptr); }

COLORREF TProbeDIB::At(int x, int y) {
  GdiFlush();
  const uint32_t p = FBits[static_cast<size_t>(y) * FWidth + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

void TProbeDIB::Save(const std::string& name) {
  GdiFlush();
  testing_support::Image image;
  image.Width = FWidth;
  image.Height = FHeight;
  image.Pixels.assign(FBits, FBits + static_cast<size_t>(FWidth) * FHeight);
  for (uint32_t& p : image.Pixels) p &= 0xFFFFFF;
  testing_support::SaveArtefact(image, name);
}

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
