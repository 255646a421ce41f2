// How many system handles the class library holds right now, by kind. Every
// class that owns a handle counts it when it takes it and uncounts it when it
// lets go: GDI objects through TGdiObject and the handle classes (fonts, pens,
// brushes, bitmaps, palettes, icons, metafiles, image lists), device contexts
// through their guards and canvases (memory, screen, window and paint DCs,
// metafile recordings), windows through the window procedures (controls,
// forms, utility windows), menus through TMenu. The system's own count
// (GetGuiResources) answers 0 under Wine, so a test proves that making and
// freeing something gives everything back by comparing two snapshots:
//     const THandleCounts before = HandleCounts(); ...; EXPECT_EQ(HandleCounts(), before);
// A new owner of a handle calls HandleCreated/HandleDeleted (or holds the
// handle in one of the guards, which do). Portable: no Windows headers.
#pragma once

#include <string>

enum class THandleKind { hkGdiObject, hkDeviceContext, hkWindow, hkMenu };
using enum THandleKind;

struct THandleCounts {
  long GdiObjects = 0;
  long DeviceContexts = 0;
  long Windows = 0;
  long Menus = 0;
  bool operator==(const THandleCounts&) const = default;
};

// A snapshot of the counts, safe from any thread.
THandleCounts HandleCounts();
// "GDI objects 3, DCs 0, windows 2, menus 0", for test messages.
std::string HandleCountsText(const THandleCounts& counts);

// The class library took one handle of `kind` into its care, or let one go
// (deleted it or handed it to an owner outside the class library).
void HandleCreated(THandleKind kind);
void HandleDeleted(THandleKind kind);
