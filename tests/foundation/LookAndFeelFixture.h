// Shared by the look-and-feel tests and the painter gallery: the units the
// painters need, started in the program's order around each test; a 32-bit
// drawing surface whose pixels are read back; and stand-ins for the theme
// library's entries, so that a test decides whether visual styles are on,
// which theme is current and what the theme answers.
#pragma once

#include "foundation/FoundationUnits.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace lookandfeel_test {

// The units from the theme binding to the painters.
inline void StartPainterUnits() {
  InitializeUnits({cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit, dxOffice11Unit, cxGeometryUnit,
                   cxLookAndFeelsUnit, cxLookAndFeelPaintersUnit, cxControlsUnit, cxGraphicsUnit});
}

// The same and the units after them up to the container unit.
inline void StartContainerUnits() {
  InitializeUnits({dxGDIPlusAPIUnit, cxClassesUnit, dxUxThemeUnit, dxThemeManagerUnit, dxOffice11Unit, cxGeometryUnit,
                   cxLookAndFeelsUnit, cxLookAndFeelPaintersUnit, cxControlsUnit, cxGraphicsUnit, cxDWMApiUnit,
                   cxContainerUnit});
}

// A white 32-bit bitmap with a library canvas over it.
class TestSurface {
public:
  TestSurface(int width, int height, TColor fill = clWhite) : FWidth(width), FHeight(height) {
    FBitmap.SetPixelFormat(pf32bit);
    FBitmap.SetSize(width, height);
    FCanvas = std::make_unique<TcxCanvas>(FBitmap.Canvas());
    FCanvas->FillWithColor(RECT{0, 0, width, height}, fill);
  }
  TcxCanvas* Canvas() { return FCanvas.get(); }
  TBitmap* Bitmap() { return &FBitmap; }
  // The pixel as 0x00BBGGRR.
  TColor Pixel(int x, int y) {
    GdiFlush();
    return FBitmap.Canvas()->Pixels(x, y);
  }
  testing_support::Image Read() {
    GdiFlush();
    return testing_support::ReadPixels(FBitmap.Canvas()->Handle(), RECT{0, 0, FWidth, FHeight});
  }
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }

private:
  int FWidth, FHeight;
  TBitmap FBitmap;
  std::unique_ptr<TcxCanvas> FCanvas;
};

// The bounding box of the pixels that differ from `background`.
inline RECT InkBounds(TestSurface& surface, TColor background) {
  RECT r{surface.Width(), surface.Height(), -1, -1};
  for (int y = 0; y < surface.Height(); ++y)
    for (int x = 0; x < surface.Width(); ++x)
      if (surface.Pixel(x, y) != ColorToRGB(background)) {
        r.left = std::min<LONG>(r.left, x);
        r.top = std::min<LONG>(r.top, y);
        r.right = std::max<LONG>(r.right, x + 1);
        r.bottom = std::max<LONG>(r.bottom, y + 1);
      }
  return r;
}

// Stand-ins for the theme library.
namespace fake {
inline bool Active = true;
inline std::wstring ThemeFile;   // empty: GetCurrentThemeName fails
inline std::wstring ColorName;
inline std::vector<std::wstring> Refused;  // class lists that do not open
struct TDrawn {
  int Part, State;
};
inline std::vector<TDrawn> Drawn;
inline SIZE MinSize{0, 0};
inline bool MinSizeFails = false;
inline bool TrueSizeFails = false;
inline SIZE TrueSize{0, 0};
inline FARPROC RealOpenThemeData = nullptr;

inline BOOL WINAPI IsThemeActive() { return Active; }
inline HRESULT WINAPI GetCurrentThemeName(LPWSTR file, int fileLength, LPWSTR color, int colorLength, LPWSTR size,
                                          int sizeLength) {
  if (ThemeFile.empty()) return E_FAIL;
  lstrcpynW(file, ThemeFile.c_str(), fileLength);
  lstrcpynW(color, ColorName.c_str(), colorLength);
  lstrcpynW(size, L"NormalSize", sizeLength);
  return S_OK;
}
inline HTHEME WINAPI OpenThemeData(HWND wnd, LPCWSTR classList) {
  for (const std::wstring& refused : Refused)
    if (lstrcmpiW(refused.c_str(), classList) == 0) return nullptr;
  using TOpen = HTHEME(WINAPI*)(HWND, LPCWSTR);
  HTHEME theme = reinterpret_cast<TOpen>(reinterpret_cast<void*>(RealOpenThemeData))(wnd, classList);
  // A class Wine's theme lacks still opens: the painters must not care.
  return theme ? theme : reinterpret_cast<HTHEME>(static_cast<INT_PTR>(0x5EED));
}
inline HRESULT WINAPI DrawThemeBackground(HTHEME, HDC, int part, int state, const RECT*, const RECT*) {
  Drawn.push_back({part, state});
  return S_OK;
}
inline HRESULT WINAPI GetThemePartSize(HTHEME, HDC, int, int, const RECT*, THEMESIZE kind, SIZE* size) {
  if (kind == TS_MIN) {
    if (MinSizeFails) return E_FAIL;
    *size = MinSize;
    return S_OK;
  }
  if (TrueSizeFails) return E_FAIL;
  *size = TrueSize;
  return S_OK;
}
}  // namespace fake

template <class F>
FARPROC AsProc(F* function) {
  return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(function));
}

// Tells the theme manager (and through it the palette listener) that the
// theme changed, so it reads the active state again.
inline void SendThemeChanged() {
  ASSERT_NE(ThemeChangeReceiverWindow(), nullptr);
  SendMessageA(ThemeChangeReceiverWindow(), WM_THEMECHANGED, 0, 0);
}

// Visual styles switched on or off for the painters through the stand-in
// of IsThemeActive; the theme name is the stand-in's.
inline void SetVisualStyles(bool active) {
  fake::Active = active;
  UxThemeEntries[uxeIsThemeActive] = AsProc(&fake::IsThemeActive);
  UxThemeEntries[uxeGetCurrentThemeName] = AsProc(&fake::GetCurrentThemeName);
  SendThemeChanged();
}

// The units for every test, and the stand-ins reset.
class PainterUnits : public ::testing::Test {
protected:
  void SetUp() override {
    fake::Active = true;
    fake::ThemeFile.clear();
    fake::ColorName.clear();
    fake::Refused.clear();
    fake::Drawn.clear();
    fake::MinSizeFails = fake::TrueSizeFails = false;
    StartPainterUnits();
  }
  void TearDown() override { FinalizeUnits(); }
};

}  // namespace lookandfeel_test
