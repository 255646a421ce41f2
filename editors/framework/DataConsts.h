// The data units' texts: the typed streams' read and write errors.
// Each is a resource string: kept in the program's string table
// (EditStrings.rc) and read at each use with LoadResString, so a replacement
// set at run time shows at the next read. Portable.
#pragma once

#include "platform/ResourceString.h"

#define CX_STRING(name, id, text) inline constexpr TResourceString name{id, text};
#include "editors/framework/DataConsts.inc"
#undef CX_STRING
