// The skin engine's unit: what it prepares at program start and gives back
// at the end. At start it binds the user32 entries the engine calls when
// present, registers the control atom, makes the shared work bitmap and
// hooks window creation on the GUI thread (the hook acts once a skin data
// has loaded and made the manager); at the end it frees the manager with
// every skinner, the hook, the work bitmap and the gradient cache.
#pragma once

#include "platform/Units.h"

void SkinUnitInit();
void SkinUnitDone();
inline constexpr TUnitEntry SkinUnit{"WinSkinData", &SkinUnitInit, &SkinUnitDone};
