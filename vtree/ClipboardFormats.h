// The process-wide registry of the clipboard formats tree classes can
// render: each entry names a format, the tree class that renders it and its
// priority (lower first). A tree offers the formats registered for its class
// and its ancestors.
#pragma once

#include "platform/Object.h"
#include "platform/Text.h"
#include "platform/Win32.h"

#include <ole2.h>

#include <memory>
#include <vector>

struct TClipboardFormatListEntry {
  AnsiString Description;
  TClass TreeClass = nullptr;
  int32_t Priority = 0;
  FORMATETC FormatEtc{};
};

class TClipboardFormatList : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Adds an entry and keeps the list in ascending priority.
  void Add(const TClipboardFormatListEntry& Entry);
  void Clear() { FEntries.clear(); }
  // The formats of TreeClass and its ancestors in priority order; with
  // AllowedNames, only those whose description is listed.
  std::vector<FORMATETC> EnumerateFormats(TClass TreeClass, const std::vector<AnsiString>* AllowedNames = nullptr) const;
  // The entry with the description (case-insensitive), searching from the
  // highest priority value down; null when none.
  const TClipboardFormatListEntry* FindFormat(const AnsiString& Description) const;
  const std::vector<TClipboardFormatListEntry>& Entries() const { return FEntries; }

private:
  std::vector<TClipboardFormatListEntry> FEntries;
};

// The registry, made at the first registration; null before.
TClipboardFormatList* ClipboardFormats();
// Frees the registry (the unit's tear-down).
void FreeClipboardFormats();

// Registers a format by its name; answers the clipboard id.
CLIPFORMAT RegisterTreeClipboardFormat(const AnsiString& Description, TClass TreeClass, int32_t Priority,
                                       LONG Index = -1, DWORD Aspect = DVASPECT_CONTENT, DVTARGETDEVICE* TargetDevice = nullptr,
                                       DWORD Medium = TYMED_HGLOBAL);
// Registers a format by its id: the standard formats 1..16 by the system's
// description, registered ones by their name; other ids register nothing.
// Answers whether it was registered.
bool RegisterTreeClipboardFormat(CLIPFORMAT Format, TClass TreeClass, int32_t Priority);
// The description of a standard clipboard format (1..16), empty otherwise.
AnsiString StandardClipboardFormatName(CLIPFORMAT Format);
