#include "editors/framework/EditUnit.h"

#include "editors/framework/EditProperties.h"
#include "editors/framework/EditStyle.h"
#include "platform/Screen.h"
#include "platform/Win32.h"

void cxEditInit() {
  if (Screen) Screen->SetCursors(crcxEditMouseWheel, LoadCursorA(GetModuleHandleA(nullptr), "CXEDIT_MOUSEWHEEL"));
  cxEditStylesInit();
}

void cxEditDone() {
  FreeRegisteredPropertiesClasses();
  cxEditStylesDone();
}
