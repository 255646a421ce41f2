// The natively built runtime's clock and tick count come from the C++
// clocks; it has no sound. (The Windows build uses SeamsWin32.cpp.)
#include "platform/DateTime.h"
#include "platform/Seams.h"

#include <chrono>
#include <ctime>

double SystemClockNow() {
  const auto now = std::chrono::system_clock::now();
  const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
  std::tm local{};
  localtime_r(&seconds, &local);
  const int ms = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return EncodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday) +
         EncodeTime(local.tm_hour, local.tm_min, local.tm_sec < 60 ? local.tm_sec : 59, ms);
}

uint32_t SystemTickCount() {
  return static_cast<uint32_t>(
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count());
}

void SystemMessageBeep(unsigned) {}
