// What the published tables of the controls share: the names of the
// enumerations several control families store, and stored predicates that
// are not member functions.
#pragma once

#include "platform/Properties.h"

extern const TEnumInfo AlignNames;        // TAlign
extern const TEnumInfo AnchorNames;       // TAnchors
extern const TEnumInfo AlignmentNames;    // TAlignment
extern const TEnumInfo DragModeNames;     // TDragMode
extern const TEnumInfo ButtonLayoutNames; // TButtonLayout

// `info` written only when `predicate` answers true for the instance.
TPropInfo StoredWhen(TPropInfo info, bool (*predicate)(TObject* instance));
