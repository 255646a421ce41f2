// The project's own skin ("house" skin): every bitmap drawn here and the INI
// that names them, covering every section and key the skin engine reads.
// Portable: the same bytes on every build.
#pragma once

#include "tools/skin/SkinPackageWriter.h"

#include <vector>

constexpr int32_t kHouseSkinVersion = 70000;

// The entries in package order: the bitmaps, then "house.ini".
std::vector<TSkinPackageEntry> HouseSkinEntries();
// The package (a skin file's content, as skin/data/house.skin holds it).
AnsiString HouseSkinPackage();

// The bitmaps every program linking the skin engine carries as resources
// (skin/res, named after the files): "SKARVOMENU" (the replacement system
// menu's four 16x16 glyphs on white: restore, maximize, minimize, close),
// "TRACK" (16x4) and "TRACKVERT" (4x16), the track-bar channels of a skin
// without its own.
std::vector<TSkinPackageEntry> SkinEngineBitmaps();
