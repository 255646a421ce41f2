// Small helpers the editors share: blank characters, shift flags of mouse
// buttons, keys and characters sent to an editor's window, and the component
// that owns a persistent object.
#pragma once

#include "platform/Component.h"
#include "platform/Control.h"

class TWinControl;

// A mouse button, or none (the drop-down edit's tracking).
enum class TcxMouseButton : uint8_t { cxmbNone, cxmbLeft, cxmbRight, cxmbMiddle };
using enum TcxMouseButton;

// Character codes 0, 9, 10, 12, 13 and the space.
bool IsBlankChar(char c);
// ssLeft, ssRight or ssMiddle.
TShiftState ShiftFlagOfMouseButton(TMouseButton button);
// The same flags; none for cxmbNone.
TShiftState ShiftStateOfButton(TcxMouseButton button);
// WM_KEYDOWN (lParam 0) / WM_CHAR (lParam 0) sent to the control's window.
void SendKeyDown(TWinControl* edit, unsigned short key);
void SendChar(TWinControl* edit, char c);
// Follows the persistent owners up to the first component; null when none.
TComponent* OwnerComponentOf(TPersistent* persistent);
