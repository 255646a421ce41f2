// Where a bar docks: floating or one of the four edges (the same numbers in
// bars, bar windows and docks), and sets of them.
#pragma once

#include "platform/Set.h"

enum class TdxBarDockingStyle { dsNone, dsLeft, dsTop, dsRight, dsBottom };
using enum TdxBarDockingStyle;
using TdxBarDockingStyles = TSet<TdxBarDockingStyle, 5>;
inline const TdxBarDockingStyles dxBarAllDockingStyles{dsNone, dsLeft, dsTop, dsRight, dsBottom};
