// The editor unit's start and shut-down: the mouse-wheel cursor, the
// default style controller and the registry of properties classes.
#pragma once

// The screen cursor of the editors' mouse wheel.
inline constexpr int crcxEditMouseWheel = 4101;

// Start: the cursor "CXEDIT_MOUSEWHEEL" of the program becomes screen cursor
// crcxEditMouseWheel; the default edit style controller is made and answered
// to container styles. Shut-down frees the registry of properties classes,
// then the controller (styles then have no default one).
void cxEditInit();
void cxEditDone();
