#include "platform/Seams.h"

#include <utility>

namespace {

// Set from the GUI thread by tests; read by every thread.
TClockSource ClockSource;
TTickSource TickSource;
TBeepSink BeepSink;

}  // namespace

double ClockNow() { return ClockSource ? ClockSource() : SystemClockNow(); }

uint32_t TickCount() { return TickSource ? TickSource() : SystemTickCount(); }

void SystemBeep(unsigned type) {
  if (BeepSink) BeepSink(type);
  else SystemMessageBeep(type);
}

TClockSource SetClockSource(TClockSource source) { return std::exchange(ClockSource, std::move(source)); }
TTickSource SetTickSource(TTickSource source) { return std::exchange(TickSource, std::move(source)); }
TBeepSink SetBeepSink(TBeepSink sink) { return std::exchange(BeepSink, std::move(sink)); }
