// The three states of a check box, shared by the painters and the editors'
// check-state value formats. Portable: no Windows headers.
#pragma once

#include <cstdint>

enum TcxCheckBoxState : uint8_t { cbsUnchecked, cbsChecked, cbsGrayed };
