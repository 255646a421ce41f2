// The opening animation of a popup bar window (unfold or slide), played on
// a thread of its own: the window's pre-painted image is revealed step by
// step, each step lasting at least one change of the system tick count.
#pragma once

#include <atomic>
#include <functional>

#include "platform/Thread.h"
#include "platform/Win32.h"

// How a popup opens: 2 unfolds (both sizes grow), 3 slides (the full width
// from the start, the height grows).
constexpr int dxBarAnimationUnfold = 2, dxBarAnimationSlide = 3;

// What the thread needs of the window, copied when it starts: the worker
// never asks the window for its place.
struct TdxBarAnimationRecord {
  HWND Window = nullptr;
  int Kind = dxBarAnimationUnfold;
  bool FromRight = false, FromBottom = false;
  int FinalLeft = 0, FinalTop = 0;
  int ClientWidth = 0, ClientHeight = 0;
  int BorderWidth = 0, BorderHeight = 0;
  // Negative: the width starts ahead of the height by its amount; else the
  // height by it.
  int FirstValue = 0;
  int Total = 0, Step = 1;
};

// The window's bounds (screen) and the shown client size at step i.
struct TdxBarAnimationStep {
  RECT Bounds{};
  SIZE Shown{};
  POINT Source{};  // where the shown part lies in the full image
};
TdxBarAnimationStep dxBarAnimationStepAt(const TdxBarAnimationRecord& record, int step);

class TdxBarAnimationThread : public TThread {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }
  // `paint` draws the window's whole content into the memory DC (on the
  // calling thread); `closing` tells, on the GUI thread, whether the window
  // is closing or dying, when the final placement is then skipped. The
  // thread starts suspended.
  TdxBarAnimationThread(const TdxBarAnimationRecord& record, const std::function<void(HDC)>& paint,
                        const std::function<bool()>& closing);
  ~TdxBarAnimationThread() override;
  int StepCount() const { return FSteps; }
  // The final placement ran.
  bool PlacedAtEnd() const { return FFinishedPlacement; }
  // Threads of this class alive now.
  static int LiveCount() { return FLive; }
  // The tick source the steps wait on (GetTickCount unless a test sets one).
  static void SetTickSource(DWORD (*source)());

protected:
  void Execute() override;
  void DoTerminate() override;

private:
  void DrawStep(int i);
  void FinishAnimation();
  TdxBarAnimationRecord FRecord;
  std::function<bool()> FClosing;
  HDC FMemoryDC = nullptr;
  HBITMAP FBitmap = nullptr;
  HGDIOBJ FOldObject = nullptr;
  std::atomic<int> FSteps{0};
  bool FFinishedPlacement = false;
  static std::atomic<int> FLive;
};

// Stops a running animation and frees it (also after an error).
void dxBarStopAnimation(TdxBarAnimationThread*& thread);
