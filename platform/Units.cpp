#include "platform/Units.h"

#include "platform/CallbackGuard.h"
#include "platform/Exceptions.h"

#include <vector>

namespace {

// The units initialized so far, in order.
std::vector<TUnitEntry>& Initialized() {
  static std::vector<TUnitEntry> units;
  return units;
}

bool Running = false;

}  // namespace

void InitializeUnits(const TUnitEntry* units, size_t count) {
  if (Running) throw EInvalidOperation("Units are already initialized");
  Running = true;
  try {
    for (size_t i = 0; i < count; ++i) {
      if (units[i].Initialization) units[i].Initialization();
      Initialized().push_back(units[i]);
    }
  } catch (...) {
    FinalizeUnits();
    throw;
  }
}

void InitializeUnits(std::initializer_list<TUnitEntry> units) { InitializeUnits(units.begin(), units.size()); }

void FinalizeUnits() {
  auto& units = Initialized();
  while (!units.empty()) {
    const TUnitEntry unit = units.back();
    units.pop_back();
    // The process is ending; the remaining units still need their turn, and
    // the failure goes where every stopped exception goes (a GUI program
    // has no console to read standard error on).
    GuardCallback([&] {
      if (unit.Finalization) unit.Finalization();
    });
  }
  Running = false;
}

size_t InitializedUnitCount() { return Initialized().size(); }
