#include "vtree/ClipboardFormats.h"

#include "platform/CodePage.h"

#include <algorithm>

const TClassInfo TClipboardFormatList::ClassInfo{"TClipboardFormatList", &TObject::ClassInfo, nullptr};

namespace {
std::unique_ptr<TClipboardFormatList> gFormats;

const char* const StandardNames[] = {"Plain text",   "Windows bitmap", "Windows metafile", "Symbolic link",
                                     "Data interchange format", "Tiff image", "OEM text", "DIB image",
                                     "Palette data", "Pen data", "Riff audio data", "Wav audio data",
                                     "Unicode text", "Enhanced metafile image", "File name(s)", "Locale descriptor"};

bool TreeClassInheritsFrom(TClass cls, TClass ancestor) {
  for (; cls; cls = cls->Parent)
    if (cls == ancestor) return true;
  return false;
}

TClipboardFormatList& Formats() {
  if (!gFormats) gFormats = std::make_unique<TClipboardFormatList>();
  return *gFormats;
}
}  // namespace

TClipboardFormatList* ClipboardFormats() { return gFormats.get(); }

void FreeClipboardFormats() { gFormats.reset(); }

// Equal priorities keep no particular order.
void TClipboardFormatList::Add(const TClipboardFormatListEntry& Entry) {
  FEntries.push_back(Entry);
  std::stable_sort(FEntries.begin(), FEntries.end(),
                   [](const TClipboardFormatListEntry& a, const TClipboardFormatListEntry& b) { return a.Priority < b.Priority; });
}

std::vector<FORMATETC> TClipboardFormatList::EnumerateFormats(TClass TreeClass, const std::vector<AnsiString>* AllowedNames) const {
  std::vector<FORMATETC> formats;
  for (const TClipboardFormatListEntry& entry : FEntries) {
    if (!TreeClassInheritsFrom(TreeClass, entry.TreeClass)) continue;
    if (AllowedNames && std::find(AllowedNames->begin(), AllowedNames->end(), entry.Description) == AllowedNames->end())
      continue;
    formats.push_back(entry.FormatEtc);
  }
  return formats;
}

const TClipboardFormatListEntry* TClipboardFormatList::FindFormat(const AnsiString& Description) const {
  const AnsiString wanted = AnsiLowerCase(Description);
  for (auto it = FEntries.rbegin(); it != FEntries.rend(); ++it)
    if (AnsiLowerCase(it->Description) == wanted) return &*it;
  return nullptr;
}

CLIPFORMAT RegisterTreeClipboardFormat(const AnsiString& Description, TClass TreeClass, int32_t Priority, LONG Index,
                                       DWORD Aspect, DVTARGETDEVICE* TargetDevice, DWORD Medium) {
  TClipboardFormatListEntry entry;
  entry.Description = Description;
  entry.TreeClass = TreeClass;
  entry.Priority = Priority;
  entry.FormatEtc.cfFormat = static_cast<CLIPFORMAT>(RegisterClipboardFormatA(Description.c_str()));
  entry.FormatEtc.ptd = TargetDevice;
  entry.FormatEtc.dwAspect = Aspect;
  entry.FormatEtc.lindex = Index;
  entry.FormatEtc.tymed = Medium;
  Formats().Add(entry);
  return entry.FormatEtc.cfFormat;
}

AnsiString StandardClipboardFormatName(CLIPFORMAT Format) {
  return Format >= 1 && Format <= 16 ? AnsiString(StandardNames[Format - 1]) : AnsiString();
}

bool RegisterTreeClipboardFormat(CLIPFORMAT Format, TClass TreeClass, int32_t Priority) {
  AnsiString description;
  if (Format > 16) {
    char name[2049] = {};
    const int length = GetClipboardFormatNameA(Format, name, 2048);
    if (length <= 0) return false;
    description.assign(name, static_cast<size_t>(length));
  } else {
    description = StandardClipboardFormatName(Format);
    if (description.empty()) return false;
  }
  TClipboardFormatListEntry entry;
  entry.Description = description;
  entry.TreeClass = TreeClass;
  entry.Priority = Priority;
  entry.FormatEtc.cfFormat = Format;
  entry.FormatEtc.dwAspect = DVASPECT_CONTENT;
  entry.FormatEtc.lindex = -1;
  entry.FormatEtc.tymed = TYMED_HGLOBAL;
  Formats().Add(entry);
  return true;
}
