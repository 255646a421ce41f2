// The editors' texts: messages, captions, menu items and the descriptions the
// registry of properties classes keeps (a name, a bar and a description).
// Each is a resource string: kept in the program's string table
// (EditStrings.rc) and read at each use with LoadResString, so a replacement
// set at run time shows at the next read. Portable.
#pragma once

#include "platform/ResourceString.h"

#define CX_STRING(name, id, text) inline constexpr TResourceString name{id, text};
#include "editors/framework/EditConsts.inc"
#undef CX_STRING
