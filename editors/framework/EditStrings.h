// Helpers over the editors' resource strings (DataConsts.h, FilterConsts.h,
// EditConsts.h). Portable.
#pragma once

#include "platform/ResourceString.h"

#include <span>

// The text of `rs` with every "%s" replaced by `argument`. The text may be a
// replacement from anywhere: it is never used as a format, so "%n" or "%d"
// in it stay as they are.
AnsiString cxFormatResString(const TResourceString& rs, const AnsiString& argument);

// Every resource string of the three units, in the units' order.
std::span<const TResourceString* const> cxEditResStrings();
// The record with `id`, or null.
const TResourceString* cxFindEditResString(unsigned id);
