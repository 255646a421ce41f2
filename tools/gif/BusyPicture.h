// The busy picture the client's windows show while a request runs: 24 x 24
// pixels, an 8-colour global table, eight frames of a ring of dots whose
// dark head turns one step per frame, delay 10, looping forever, with a
// transparent background. Made from code so the committed file can be
// checked against its source.
#pragma once

#include "platform/Text.h"

// The picture as GIF file bytes.
AnsiString BusyPictureBytes();
