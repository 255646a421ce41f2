// Shared by the panel tests: the units the panels need (the visual-styles
// binding, the theme manager and the panels' common unit) started for the
// whole program, and a 32-bit DIB canvas to draw in and read back.
#pragma once

#include "platform/Win32.h"
#include "tests/support/ProbeDIB.h"

#include <cstdint>
#include <functional>
#include <string>

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
