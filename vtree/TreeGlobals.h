// What all trees of the process share: processor and platform flags, OLE,
// the timer resolution, the tree's clipboard formats, the check image lists,
// the utility images and two cursors. The first tree built sets them up;
// the unit's finalization tears them down.
#pragma once

#include "platform/Units.h"
#include "platform/Win32.h"
#include "platform/Screen.h"
#include "platform/Text.h"

class TCustomImageList;
class TCriticalSection;

// Which image list check boxes and radio buttons come from.
enum class TCheckImageKind { ckLightCheck, ckDarkCheck, ckLightTick, ckDarkTick, ckFlat, ckXP, ckCustom, ckSystemFlat, ckSystemDefault };

// Screen cursor slots of the header splitter and the node height splitter.
constexpr TCursor crHeaderSplit = 63;
constexpr TCursor crVertSplit = 62;

// The processor has MMX (the blending routines need it).
bool MMXAvailable();
bool IsWinNT();
bool IsWin2K();
bool IsWinXP();
bool IsWinVistaOrAbove();

// Runs the set-up once; every tree constructor calls it.
void InitializeTreeGlobals();
bool TreeGlobalsInitialized();
// "Virtual Tree Reference", registered by the set-up (0 before).
uint16_t VirtualTreeReferenceFormat();
// "Virtual Tree Data", registered by the set-up for TBaseVirtualTree.
uint16_t VirtualTreeDataFormat();

// A shared check image list; null for ckCustom or before the set-up.
TCustomImageList* CheckImageList(TCheckImageKind Kind);
// The header's utility images: drop marks, sort glyphs, hot underline.
TCustomImageList* UtilityImages();
// Loads the colour-mapped lists again with the current system colours.
void ReloadMappedImages();
// The unit's critical section, held while image lists load.
TCriticalSection& TreeUnitLock();

// Raises EVirtualTreeError with the message and the code as help context.
[[noreturn]] void ShowError(const AnsiString& Message, int HelpContext);

// The unit's entries for the program's unit list.
void VirtualTreesInit();
void VirtualTreesDone();
inline constexpr TUnitEntry VirtualTreesUnit{"VirtualTrees", &VirtualTreesInit, &VirtualTreesDone};
