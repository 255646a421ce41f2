#include "editors/framework/CalendarLocale.h"

#include "platform/Text.h"
#include "platform/Win32.h"

static_assert(cxLocaleUserDefault == LOCALE_USER_DEFAULT);
static_assert(cxCalReturnNumber == CAL_RETURN_NUMBER);
static_assert(cxCalTwoDigitYearMax == CAL_ITWODIGITYEARMAX);
static_assert(cxCalMonthName1 == CAL_SMONTHNAME1);
static_assert(cxCalYearMonth == CAL_SYEARMONTH);

namespace {

int LocaleNumber(LCTYPE item, int fallback) {
  char buffer[16] = {};
  const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, item, buffer, int(sizeof buffer));
  int value = 0;
  if (n <= 1 || !TryStrToInt(AnsiString(buffer, size_t(n - 1)), value)) return fallback;
  return value;
}

}  // namespace

int CalendarInfo(uint32_t locale, uint32_t calendarId, uint32_t infoType, char* buffer, int size, uint32_t* number) {
  using TGetCalendarInfoA = int(WINAPI*)(LCID, CALID, CALTYPE, LPSTR, int, LPDWORD);
  // Bound by name at each call: systems without the function answer 0.
  HMODULE kernel = LoadLibraryA("Kernel32");
  if (!kernel) return 0;
  int result = 0;
  if (auto proc = reinterpret_cast<TGetCalendarInfoA>(reinterpret_cast<void*>(GetProcAddress(kernel, "GetCalendarInfoA")))) {
    DWORD value = 0;
    result = proc(locale, calendarId, infoType, buffer, size, number ? &value : nullptr);
    if (number) *number = value;
  }
  FreeLibrary(kernel);
  return result;
}

uint32_t LocaleCalendarId() {
  const int id = LocaleNumber(LOCALE_ICALENDARTYPE, 1);
  return id > 0 ? uint32_t(id) : 1;
}

int LocaleFirstWeekOfYear() {
  const int rule = LocaleNumber(LOCALE_IFIRSTWEEKOFYEAR, 0);
  return rule >= 0 && rule <= 2 ? rule : 0;
}
