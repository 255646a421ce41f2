#include "platform/CommonControls.h"

#include <commctrl.h>

void InitCommonControlClasses(DWORD classes) {
  static DWORD done = 0;
  if ((done & classes) == classes) return;
  INITCOMMONCONTROLSEX init{sizeof init, classes};
  InitCommonControlsEx(&init);
  done |= classes;
}
