// The Windows build's clock, tick count and beep.
#include "platform/DateTime.h"
#include "platform/Seams.h"
#include "platform/Win32.h"

double SystemClockNow() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return EncodeDate(t.wYear, t.wMonth, t.wDay) + EncodeTime(t.wHour, t.wMinute, t.wSecond, t.wMilliseconds);
}

uint32_t SystemTickCount() { return GetTickCount(); }

void SystemMessageBeep(unsigned type) { MessageBeep(type); }
