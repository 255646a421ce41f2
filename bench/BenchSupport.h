// Timing and memory figures for the Windows benchmarks. The performance
// counter is read directly: <chrono> does not compile with the GBK execution
// character set.
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

// Committed private memory of the process, summed over its address space.
// Wine answers 0 for the private-usage counter of GetProcessMemoryInfo, so
// the regions are walked instead (the same figure on Windows).
inline size_t PrivateBytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION info;
  for (auto address = static_cast<const char*>(nullptr); VirtualQuery(address, &info, sizeof(info)) == sizeof(info);) {
    if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) total += info.RegionSize;
    const char* next = static_cast<const char*>(info.BaseAddress) + info.RegionSize;
    if (next <= address) break;
    address = next;
  }
  return total;
}

}  // namespace bench
