// The texts of item kinds, sub-items, bars and merging (resource strings,
// replaceable at run time).
#pragma once

#include "bars/model/BarStrings.h"
#include "platform/ResourceString.h"

inline constexpr TResourceString dxSBAR_CANTPLACESEPARATOR{0xE961,
                                                          "A separator item cannot be placed on the specified toolbar"};
inline constexpr TResourceString dxSBAR_NEWBUTTONCAPTION{0xE962, "New Button"};
inline constexpr TResourceString dxSBAR_NEWSEPARATORCAPTION{0xE963, "New Separator"};
inline constexpr TResourceString dxSBAR_NEWSUBITEMCAPTION{0xE964, "New SubItem"};
inline constexpr TResourceString dxSBAR_CANTMERGEBAR{0xE965,
                                                    "You cannot merge a toolbar with a toolbar that is already merged"};
inline constexpr TResourceString dxSBAR_CANTMERGETOOLBAR{0xE966, "You cannot merge with the specified toolbar"};
inline constexpr TResourceString dxSBAR_TOOLBARHASMERGEDTOOLBARS{0xE967, "The '%s' toolbar has merged toolbars"};
inline constexpr TResourceString dxSBAR_TOOLBARSALREADYMERGED{0xE968,
                                                             "The '%s' toolbar is already merged with the '%s' toolbar"};
inline constexpr TResourceString dxSBAR_CANTUNMERGETOOLBAR{0xE969, "You cannot unmerge the specified toolbar"};
inline constexpr TResourceString dxSBAR_TOOLBARSARENOTMERGED{0xE96A,
                                                            "The '%s' toolbar is not merged with the '%s' toolbar"};
