#include "editors/framework/EditHelpers.h"

#include "platform/Win32.h"

bool IsBlankChar(char c) {
  switch (static_cast<unsigned char>(c)) {
    case 0: case 9: case 10: case 12: case 13: case ' ': return true;
    default: return false;
  }
}

TShiftState ShiftFlagOfMouseButton(TMouseButton button) {
  switch (button) {
    case mbLeft: return TShiftState{ssLeft};
    case mbRight: return TShiftState{ssRight};
    case mbMiddle: return TShiftState{ssMiddle};
  }
  return TShiftState{};
}

TShiftState ShiftStateOfButton(TcxMouseButton button) {
  switch (button) {
    case cxmbLeft: return ShiftFlagOfMouseButton(mbLeft);
    case cxmbRight: return ShiftFlagOfMouseButton(mbRight);
    case cxmbMiddle: return ShiftFlagOfMouseButton(mbMiddle);
    case cxmbNone: break;
  }
  return TShiftState{};
}

void SendKeyDown(TWinControl* edit, unsigned short key) {
  if (edit) SendMessageA(edit->Handle(), WM_KEYDOWN, key, 0);
}

void SendChar(TWinControl* edit, char c) {
  if (edit) SendMessageA(edit->Handle(), WM_CHAR, static_cast<unsigned char>(c), 0);
}

TComponent* OwnerComponentOf(TPersistent* persistent) {
  // Bounded: an ownership cycle must not hang the caller.
  for (int depth = 0; persistent && depth < 1000; ++depth) {
    if (auto* component = ObjectAs<TComponent>(persistent)) return component;
    persistent = persistent->GetOwner();
  }
  return nullptr;
}
