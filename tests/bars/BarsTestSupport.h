// What the toolbar framework's tests share: the units started around them
// (the control foundation's, then the framework's) and pixel counting in a
// probe bitmap.
#pragma once

#include "tests/support/ProbeDIB.h"

// The pixels of `color` in the rectangle.
int CountPixels(TProbeDIB& dib, const RECT& r, COLORREF color);
