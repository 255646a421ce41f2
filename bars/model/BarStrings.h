// The framework's texts (resource strings, replaceable at run time).
#pragma once

#include "platform/ResourceString.h"

inline constexpr TResourceString dxSBAR_RECURSIVEGROUPS{0xE900, "You cannot create recursive groups"};
inline constexpr TResourceString dxSBAR_INVALIDCAST{0xE901, "Invalid class typecast"};
inline constexpr TResourceString dxSBAR_OWNERNOTWINCONTROL{0xE902, "TdxBarManager should have TWinControl as its Owner"};
inline constexpr TResourceString dxSBAR_ONEMANAGER{0xE903, "A control should contain only a single TdxBarManager"};
inline constexpr TResourceString dxSBAR_CUSTOMTOOLBAR{0xE904, "Custom "};
inline constexpr TResourceString dxSBAR_NEWITEMCAPTION{0xE905, "New Item"};
inline constexpr TResourceString dxSBAR_RESETUSAGEDATA{
    0xE906,
    "This will delete the record of the commands you've used in this application and restore the default set of "
    "visible commands to the menus and toolbars. It will not undo any explicit customizations.   Are you sure you "
    "want to proceed?"};
inline constexpr TResourceString dxSBAR_NOBARMANAGERS{0xE907, "There are no TdxBarManagers available"};
inline constexpr TResourceString dxSBAR_RECURSIVEMENUS{0xE908, "You cannot create recursive menus"};
