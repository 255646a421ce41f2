// The format settings of a Windows locale (GetLocaleInfoA, in the system code
// page). The program's own record (FormatSettings()) is read from the thread
// locale; tests read a named locale (en-US 0x0409, de-DE 0x0407, zh-CN 0x0804)
// and assign it.
#pragma once

#include "platform/FormatSettings.h"
#include "platform/Win32.h"

TFormatSettings GetLocaleFormatSettings(LCID locale);
