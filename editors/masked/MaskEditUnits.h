// The start-up entries of the masked editors' units. The program lists them
// after the editor framework's (editors/framework/EditorUnits.h): the mask
// edit unit (the mask edit for forms, its properties class and its filter
// helper), then the spin edit unit (the same for the spin edit). Shut-down
// runs in reverse.
#pragma once

#include "editors/masked/MaskEdit.h"
#include "editors/masked/SpinEdit.h"
#include "platform/Units.h"

inline constexpr TUnitEntry cxMaskEditUnit{"cxMaskEdit", &cxMaskEditInit, &cxMaskEditDone};
inline constexpr TUnitEntry cxSpinEditUnit{"cxSpinEdit", &cxSpinEditInit, &cxSpinEditDone};
