// The system services tests replace: the clock (Now, Date, Time), the tick
// count and the beep. Everything in the program reads them through these
// entries, so a test can set the time, step the ticks and count the beeps
// that stand for refused input. Portable: each build supplies the system's
// own services (SeamsWin32.cpp: GetLocalTime, GetTickCount, MessageBeep;
// natively the C++ clocks and a silent beep).
#pragma once

#include <cstdint>
#include <functional>

// The local date and time as a TDateTime (DateTime.h); DateTime.h's Now()
// answers this.
double ClockNow();
// Milliseconds since an arbitrary start, wrapping after 2^32.
uint32_t TickCount();
// A beep of a message-box type (0 the default sound, 0x10 the error sound,
// ... as MessageBeep takes); refused input beeps through here.
void SystemBeep(unsigned type = 0);

using TClockSource = std::function<double()>;
using TTickSource = std::function<uint32_t()>;
using TBeepSink = std::function<void(unsigned type)>;
// Each setter installs a replacement (empty: the system's own) and answers
// the one it replaces, so a test can put it back.
TClockSource SetClockSource(TClockSource source);
TTickSource SetTickSource(TTickSource source);
TBeepSink SetBeepSink(TBeepSink sink);

// The system's own services, supplied by each build.
double SystemClockNow();
uint32_t SystemTickCount();
void SystemMessageBeep(unsigned type);
