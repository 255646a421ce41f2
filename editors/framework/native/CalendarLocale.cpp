// The native build's locale for the calendar tables: no calendar
// information, the Gregorian calendar and weeks from the week of 1 January.
#include "editors/framework/CalendarLocale.h"

int CalendarInfo(uint32_t, uint32_t, uint32_t, char*, int, uint32_t*) { return 0; }
uint32_t LocaleCalendarId() { return 1; }
int LocaleFirstWeekOfYear() { return 0; }
