// TMouse: what the program knows about the mouse: where it is, who holds it,
// how far it moves before a drag starts and how many lines a wheel notch
// scrolls. Tests replace the system's facts (SetFactsSource).
#pragma once

#include "platform/Object.h"
#include "platform/Win32.h"

#include <functional>

// The mouse settings the system reports.
struct TMouseFacts {
  int WheelScrollLines = 3;  // lines a wheel notch scrolls; WHEEL_PAGESCROLL: a page
  int DragThreshold = 4;     // pixels the mouse moves before a drag starts
};
using TMouseFactsSource = std::function<TMouseFacts()>;
// SPI_GETWHEELSCROLLLINES and SM_CXDRAG.
TMouseFacts SystemMouseFacts();

class TMouse : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  int WheelScrollLines() const { return Facts().WheelScrollLines; }
  int DragThreshold() const { return Facts().DragThreshold; }
  bool MousePresent() const { return GetSystemMetrics(SM_MOUSEPRESENT) != 0; }
  bool WheelPresent() const { return GetSystemMetrics(SM_MOUSEWHEELPRESENT) != 0; }
  // In screen co-ordinates.
  POINT CursorPos() const;
  void SetCursorPos(POINT point);
  // The window of this thread that captures the mouse, or null.
  HWND Capture() const { return GetCapture(); }
  void SetCapture(HWND window);

  // Replaces where the facts come from (empty: the system); answers the
  // previous source.
  TMouseFactsSource SetFactsSource(TMouseFactsSource source);

private:
  TMouseFacts Facts() const { return FSource ? FSource() : SystemMouseFacts(); }
  TMouseFactsSource FSource;
};

// The one mouse object of the process.
extern TMouse* const Mouse;
