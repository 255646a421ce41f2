// The start-up order of the program's modules. C++ fixes no order for
// initialization across source files, so every module that must prepare
// global state (registering classes and picture formats, installing hooks,
// creating global objects) exports an initialization and a finalization
// function, and the program lists them in one explicit order. Start-up runs
// the list in order; shut-down finalizes in reverse what was initialized.
// Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <initializer_list>

struct TUnitEntry {
  const char* Name;
  void (*Initialization)();  // may be null
  void (*Finalization)();    // may be null
};

// Runs the initializations of `units` in order. When one raises, the units
// already initialized are finalized in reverse and the exception passes on.
// Raises EInvalidOperation when units are already initialized.
void InitializeUnits(const TUnitEntry* units, size_t count);
void InitializeUnits(std::initializer_list<TUnitEntry> units);
// Finalizes, in reverse order, every unit InitializeUnits initialized; a
// finalization that raises is reported through the callback guard's handler
// and the rest still run. Does nothing when nothing is initialized.
void FinalizeUnits();
// The number of units initialized and not yet finalized.
size_t InitializedUnitCount();

// Holds the program's units for the life of main():
//     TUnitScope units{{"cxClasses", &cxClassesInit, &cxClassesDone}, ...};
class TUnitScope {
public:
  TUnitScope(std::initializer_list<TUnitEntry> units) { InitializeUnits(units); }
  ~TUnitScope() { FinalizeUnits(); }
  TUnitScope(const TUnitScope&) = delete;
  TUnitScope& operator=(const TUnitScope&) = delete;
};
