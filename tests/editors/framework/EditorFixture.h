// The units an editor needs, started around each test as the program's
// unit list does: the container's, the paint helpers and the editor unit.
#pragma once

#include "editors/framework/EditPaintUtils.h"
#include "editors/framework/EditUnit.h"
#include "editors/framework/EditUtils.h"
#include "tests/foundation/LookAndFeelFixture.h"

namespace editor_test {

inline void StartEditorUnits() {
  lookandfeel_test::StartContainerUnits();
  cxEditPaintUtilsInit();
  DetectHotLightColor();
  cxEditInit();
}

inline void FinishEditorUnits() {
  cxEditDone();
  cxEditPaintUtilsDone();
  FinalizeUnits();
}

}  // namespace editor_test
