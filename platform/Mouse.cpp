#include "platform/Mouse.h"

#include <utility>

namespace {

// Never destroyed, as the screen: controls ask it while static objects go.
TMouse& TheMouse = *new TMouse;

}  // namespace

TMouse* const Mouse = &TheMouse;

const TClassInfo TMouse::ClassInfo = {"TMouse", &TObject::ClassInfo, nullptr};

TMouseFacts SystemMouseFacts() {
  TMouseFacts facts;
  UINT lines = 0;
  if (SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0)) facts.WheelScrollLines = static_cast<int>(lines);
  const int drag = GetSystemMetrics(SM_CXDRAG);
  if (drag > 0) facts.DragThreshold = drag;
  return facts;
}

POINT TMouse::CursorPos() const {
  POINT p{};
  GetCursorPos(&p);
  return p;
}

void TMouse::SetCursorPos(POINT point) { ::SetCursorPos(point.x, point.y); }

void TMouse::SetCapture(HWND window) {
  if (window) ::SetCapture(window);
  else ReleaseCapture();
}

TMouseFactsSource TMouse::SetFactsSource(TMouseFactsSource source) { return std::exchange(FSource, std::move(source)); }
