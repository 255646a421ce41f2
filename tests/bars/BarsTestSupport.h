// What the toolbar framework's tests share: the units started around them
// (the control foundation's, then the framework's) and pixel counting in a
// probe bitmap.
#pragma once

#include "bars/model/BarManager.h"
#include "platform/Forms.h"
#include "tests/support/ProbeDIB.h"

// The pixels of `color` in the rectangle.
int CountPixels(TProbeDIB& dib, const RECT& r, COLORREF color);

// A bar manager on a form of its own (not shown); both go with the holder.
struct THostedManager {
  THostedManager() : Form(New<TForm>(nullptr)), Manager(New<TdxBarManager>(Form)) {}
  ~THostedManager() { Free(Form); }
  THostedManager(const THostedManager&) = delete;
  THostedManager& operator=(const THostedManager&) = delete;
  TForm* Form;
  TdxBarManager* Manager;
};
