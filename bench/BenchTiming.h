// Timing for the Windows benchmarks. The performance counter is read
// directly: <chrono> does not compile with the GBK execution character set.
#pragma once

#include "platform/Win32.h"

namespace bench {

inline LONGLONG Now() {
  LARGE_INTEGER value;
  QueryPerformanceCounter(&value);
  return value.QuadPart;
}

inline double SecondsSince(LONGLONG since) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return double(Now() - since) / double(frequency.QuadPart);
}

inline double MillisecondsSince(LONGLONG since) { return SecondsSince(since) * 1000.0; }

// The best of `rounds` runs of `work`, in milliseconds: the figure least
// disturbed by other work on the machine. GDI's batch is flushed inside the
// timing so that queued drawing counts against the run that queued it.
template <class F>
double BestMilliseconds(int rounds, F&& work) {
  double best = 1e30;
  for (int i = 0; i < rounds; ++i) {
    const LONGLONG start = Now();
    work();
    GdiFlush();
    const double ms = MillisecondsSince(start);
    if (ms < best) best = ms;
  }
  return best;
}

}  // namespace bench
