// The framework's texts (resource strings, replaceable at run time).
#pragma once

#include "platform/ResourceString.h"

inline constexpr TResourceString dxSBAR_RECURSIVEGROUPS{0xE900, "You cannot create recursive groups"};
inline constexpr TResourceString dxSBAR_INVALIDCAST{0xE901, "Invalid class typecast"};
inline constexpr TResourceString dxSBAR_OWNERNOTWINCONTROL{0xE902, "TdxBarManager should have TWinControl as its Owner"};
inline constexpr TResourceString dxSBAR_ONEMANAGER{0xE903, "A control should contain only a single TdxBarManager"};
inline constexpr TResourceString dxSBAR_CUSTOMTOOLBAR{0xE904, "Custom "};
