// The separators of the thread locale, read at every call so that a change of
// the user's settings takes effect at the next keystroke (masks are typed one
// character at a time, so the cost of three locale queries does not show).
#include "editors/masked/RegExprConsts.h"

#include "platform/Win32.h"

namespace {

char FirstCharOf(LCTYPE item, char fallback) {
  char buffer[8] = {};
  if (GetLocaleInfoA(GetThreadLocale(), item, buffer, sizeof buffer) <= 0) return fallback;
  return buffer[0];
}

}  // namespace

TcxRegExprLocaleChars cxRegExprSystemLocale() {
  return {FirstCharOf(LOCALE_SDATE, '/'), FirstCharOf(LOCALE_STIME, ':'), FirstCharOf(LOCALE_SDECIMAL, '.')};
}
