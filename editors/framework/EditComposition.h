// Whether desktop composition is on, as the editors ask it: through one
// substitutable entry, so that the composition paths can be exercised on
// systems (and under Wine) that have no composition.
#pragma once

using TcxCompositionQuery = bool (*)();
// The foundation's DesktopCompositionActive unless replaced.
extern TcxCompositionQuery cxEditCompositionQuery;
inline bool EditCompositionActive() { return cxEditCompositionQuery && cxEditCompositionQuery(); }
