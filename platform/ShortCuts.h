// Shortcuts as text: "Ctrl+S", "Shift+Ctrl+Del", "Alt+F4", as menus show
// them and as text settings hold them.
#pragma once

#include "platform/Menus.h"
#include "platform/Text.h"

// The modifiers ("Shift+", "Ctrl+", "Alt+", in that order) and the key: its
// letter or digit, "F1"-"F24", the names of the editing and moving keys
// ("BkSp", "Tab", "Enter", "Esc", "Space", "PgUp", "PgDn", "End", "Home",
// "Left", "Up", "Right", "Down", "Ins", "Del"), else the keyboard's name
// of the key. Empty for 0 and for keys without a name.
AnsiString ShortCutToText(TShortCut shortCut);
// The shortcut a text names, modifiers in any order and any case; 0 when it
// names none.
TShortCut TextToShortCut(const AnsiString& text);
