// The framework's texts (resource strings, replaceable at run time).
#pragma once

#include "platform/ResourceString.h"

inline constexpr TResourceString dxSBAR_RECURSIVEGROUPS{0xE900, "You cannot create recursive groups"};
inline constexpr TResourceString dxSBAR_INVALIDCAST{0xE901, "Invalid class typecast"};
