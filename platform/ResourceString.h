// Message texts kept in the program's string table: an id and the default
// text used when the program carries no table entry for it. A program may
// replace any text at run time (the control libraries let it localize or
// reword their messages). Portable: the string table is read through
// ReadStringTableText, which the native build answers with nothing.
#pragma once

#include "platform/Event.h"
#include "platform/Text.h"

// Declared once per text, usually as
//     inline constexpr TResourceString scxInvalidValue{0xE101, "Invalid value"};
// Ids: each library takes its own block of 256 (see ARCHITECTURE.md).
struct TResourceString {
  unsigned Id;
  const char* Default;
};

// The text of `rs`: a replacement when one is set, else the string-table
// entry of the program (converted to the system code page), else the default.
AnsiString LoadResString(const TResourceString& rs);

// Replaces the text of `rs` until RestoreResString (keyed by the
// declaration's address). Thread-safe.
void ReplaceResString(const TResourceString& rs, const AnsiString& text);
void RestoreResString(const TResourceString& rs);

// A hook asked before the replacements: answer true with the text to use.
using TResStringHook = TEvent<bool(const TResourceString& rs, AnsiString& text)>;
TResStringHook SetResStringHook(const TResStringHook& hook);

// How this build reads the program's string table: the entry of `id` in the
// system code page, false when the program has none (ResourceStringWin32.cpp;
// natively never).
bool ReadStringTableText(unsigned id, AnsiString& text);
