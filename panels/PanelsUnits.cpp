#include "panels/PanelsUnits.h"

namespace {
int RzCommonStarts = 0;
}

void RzCommonInit() {
  if (RzCommonStarts++ != 0) return;
  FullColorDisplay = DisplayHasFullColor();
  WindowsColorScheme = ReadWindowsColorScheme();
}

void RzCommonDone() {
  if (RzCommonStarts > 0) --RzCommonStarts;
}
