// The start-up entries of the editor framework's units. The program lists
// them after the control foundation's (platform/Units.h): the value types'
// registry. The string units need no start-up: their texts are read at each
// use. Shut-down runs in reverse.
#pragma once

#include "editors/framework/DataStorage.h"
#include "platform/Units.h"

inline constexpr TUnitEntry cxDataStorageUnit{"cxDataStorage", &cxDataStorageInit, &cxDataStorageDone};
