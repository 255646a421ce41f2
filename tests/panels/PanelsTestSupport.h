// Shared by the panel tests: the units the panels need (the visual-styles
// binding, the theme manager and the panels' common unit) started for the
// whole program, and a 32-bit DIB canvas to draw in and read back.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/Graphics.h"
#include "platform/Win32.h"

#include <cstdint>
#include <functional>
#include <string>

// A top-down 32-bit DIB selected into a memory DC with a canvas on it.
class TProbeDIB {
public:
  TProbeDIB(int width, int height, COLORREF fill = RGB(1, 2, 3));
  ~TProbeDIB();
  TCanvas* Canvas() { return &FCanvas; }
  HDC DC() const { return FDC.Get(); }
  // The pixel as a COLORREF (red low).
  COLORREF At(int x, int y);
  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  void Save(const std::string& name);

private:
  TMemoryDC FDC;
  TGdiObject FBitmap;
  TSelectObjectGuard FSelected;
  uint32_t* FBits = nullptr;
  int FWidth, FHeight;
  TCanvas FCanvas;
};

COLORREF Sys(int index);

// Visual styles switched off, while it lives, through the foundation
// binding's entry for IsThemeActive.
class StylesOff {
public:
  StylesOff();
  ~StylesOff();
  StylesOff(const StylesOff&) = delete;
  StylesOff& operator=(const StylesOff&) = delete;

private:
  FARPROC FSaved;
};

// Runs `step` from a thread timer every 20 ms until it answers true: tests
// act through it while a modal loop (a menu, a popup) runs, as the loop
// dispatches the timer.
class TimerSteps {
public:
  explicit TimerSteps(std::function<bool()> step);
  ~TimerSteps();
  TimerSteps(const TimerSteps&) = delete;
  TimerSteps& operator=(const TimerSteps&) = delete;
  bool Done = false;

private:
  static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
  static TimerSteps* Current;
  std::function<bool()> FStep;
  UINT_PTR FId = 0;
};
