#include "editors/framework/EditComposition.h"

#include "foundation/GdiPlusApi.h"

TcxCompositionQuery cxEditCompositionQuery = &DesktopCompositionActive;
