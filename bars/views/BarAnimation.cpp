#include "bars/views/BarAnimation.h"

#include <algorithm>

const TClassInfo TdxBarAnimationThread::ClassInfo{"TdxBarAnimationThread", &TThread::ClassInfo, nullptr};

std::atomic<int> TdxBarAnimationThread::FLive{0};

namespace {
DWORD SystemTicks() { return GetTickCount(); }
std::atomic<DWORD (*)()> TickSource{&SystemTicks};
}  // namespace

void TdxBarAnimationThread::SetTickSource(DWORD (*source)()) { TickSource = source ? source : &SystemTicks; }

TdxBarAnimationStep dxBarAnimationStepAt(const TdxBarAnimationRecord& r, int step) {
  const int d = step * r.Step;
  int w = 0, h = 0;
  if (r.FirstValue < 0) {
    w = d - r.FirstValue;
    h = d;
  } else {
    w = d;
    h = d + r.FirstValue;
    if (r.Kind == dxBarAnimationSlide) w = r.ClientWidth;
  }
  w = std::clamp(w, 0, r.ClientWidth);
  h = std::clamp(h, 0, r.ClientHeight);
  TdxBarAnimationStep s;
  // The place comes from the record's copies, never from the window.
  const int left = r.FromRight ? r.FinalLeft + r.ClientWidth - w : r.FinalLeft;
  const int top = r.FromBottom ? r.FinalTop + r.ClientHeight - h : r.FinalTop;
  s.Bounds = RECT{left, top, left + r.BorderWidth + w, top + r.BorderHeight + h};
  s.Shown = SIZE{w, h};
  if (r.FromBottom)
    s.Source = POINT{0, 0};
  else if (r.FromRight)
    s.Source = POINT{r.ClientWidth - w, r.ClientHeight - h};
  else
    s.Source = POINT{0, r.ClientHeight - h};
  return s;
}

TdxBarAnimationThread::TdxBarAnimationThread(const TdxBarAnimationRecord& record, const std::function<void(HDC)>& paint,
                                             const std::function<bool()>& closing)
    : TThread(true), FRecord(record), FClosing(closing) {
  ++FLive;
  if (FRecord.Step <= 0) FRecord.Step = 1;
  HDC screen = GetDC(FRecord.Window);
  FMemoryDC = CreateCompatibleDC(screen);
  FBitmap = CreateCompatibleBitmap(screen, std::max(FRecord.ClientWidth, 1), std::max(FRecord.ClientHeight, 1));
  ReleaseDC(FRecord.Window, screen);
  FOldObject = SelectObject(FMemoryDC, FBitmap);
  if (paint) paint(FMemoryDC);
}

TdxBarAnimationThread::~TdxBarAnimationThread() {
  if (FMemoryDC) {
    SelectObject(FMemoryDC, FOldObject);
    DeleteDC(FMemoryDC);
  }
  if (FBitmap) DeleteObject(FBitmap);
  --FLive;
}

void TdxBarAnimationThread::Execute() {
  const int steps = FRecord.Total / FRecord.Step;
  for (int i = 1; i <= steps && !Terminated(); ++i) {
    const DWORD t = TickSource.load()();
    DrawStep(i);
    Sleep(1);
    // Each step lasts until the tick count has changed once.
    while (!Terminated() && TickSource.load()() == t) {
    }
  }
}

void TdxBarAnimationThread::DrawStep(int i) {
  const TdxBarAnimationStep s = dxBarAnimationStepAt(FRecord, i);
  const RECT& b = s.Bounds;
  SetWindowPos(FRecord.Window, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOZORDER);
  if (HDC dc = GetDC(FRecord.Window)) {
    BitBlt(dc, 0, 0, s.Shown.cx, s.Shown.cy, FMemoryDC, s.Source.x, s.Source.y, SRCCOPY);
    ReleaseDC(FRecord.Window, dc);
  }
  ++FSteps;
}

void TdxBarAnimationThread::DoTerminate() {
  Synchronize(TThreadMethod::Lambda([this] { FinishAnimation(); }));
  TThread::DoTerminate();
}

void TdxBarAnimationThread::FinishAnimation() {
  // A window that closes (or dies) meanwhile is not shown again.
  if ((FClosing && FClosing()) || !IsWindow(FRecord.Window)) return;
  const RECT b{FRecord.FinalLeft, FRecord.FinalTop, FRecord.FinalLeft + FRecord.BorderWidth + FRecord.ClientWidth,
               FRecord.FinalTop + FRecord.BorderHeight + FRecord.ClientHeight};
  SetWindowPos(FRecord.Window, nullptr, b.left, b.top, b.right - b.left, b.bottom - b.top,
               SWP_SHOWWINDOW | SWP_FRAMECHANGED | SWP_NOACTIVATE | SWP_NOZORDER);
  RedrawWindow(FRecord.Window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW);
  FFinishedPlacement = true;
}

void dxBarStopAnimation(TdxBarAnimationThread*& thread) {
  if (!thread) return;
  TdxBarAnimationThread* t = thread;
  thread = nullptr;
  t->SetFreeOnTerminate(false);
  t->Terminate();
  try {
    if (!t->Suspended()) t->WaitFor();
  } catch (...) {
    Free(t);
    throw;
  }
  Free(t);
}
