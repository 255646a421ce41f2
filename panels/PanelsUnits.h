// The start-up entries of the panel family's units, in program order: the
// shell environment (COM for the GUI thread), the environment versions, then
// the common unit (display depth and the Windows colour scheme), after the
// control foundation's visual-styles binding and theme manager.
#pragma once

#include "panels/ColorHelpers.h"
#include "panels/ShellUnits.h"
#include "platform/Units.h"

void RzCommonInit();
void RzCommonDone();

inline constexpr TUnitEntry RzShellUnit{"RzShell", &RzShellInit, &RzShellDone};
inline constexpr TUnitEntry RzShellUtilsUnit{"RzShellUtils", &RzShellUtilsInit, &RzShellUtilsDone};
inline constexpr TUnitEntry RzCommonUnit{"RzCommon", &RzCommonInit, &RzCommonDone};
