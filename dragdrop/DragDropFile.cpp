#include "dragdrop/DragDropFile.h"

#include "dragdrop/DropBlocks.h"
#include "platform/CodePage.h"

#include <shlobj.h>

#include <cstring>

namespace {

CLIPFORMAT CFFilename = 0;
CLIPFORMAT CFFilenameW = 0;
CLIPFORMAT CFFilenameMap = 0;
CLIPFORMAT CFFilenameMapW = 0;
CLIPFORMAT CFIDList = 0;

AnsiString Narrow(const TWideBlockText& text) {
  return Utf16ToAnsi(std::wstring(reinterpret_cast<const wchar_t*>(text.data()), text.size()));
}

std::vector<AnsiString> ToVector(const TStrings& strings) {
  std::vector<AnsiString> out;
  for (int i = 0; i < strings.Count(); ++i) out.push_back(strings.Get(i));
  return out;
}

void SetLines(TStrings& strings, const std::vector<AnsiString>& lines) {
  strings.BeginUpdate();
  strings.Clear();
  for (const AnsiString& line : lines) strings.Add(line);
  strings.EndUpdate();
}

bool CopyBlock(const AnsiString& block, uint8_t* target, uint64_t size) {
  if (size != block.size()) return false;
  std::memcpy(target, block.data(), block.size());
  return true;
}

// The path up to and including its last backslash (a trail byte of a
// double-byte character is not a separator).
AnsiString FolderOf(const AnsiString& path) {
  size_t cut = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
      ++i;
      continue;
    }
    if (path[i] == '\\' || path[i] == '/' || path[i] == ':') cut = i + 1;
  }
  return path.substr(0, cut);
}

uint16_t ItemSize(const AnsiString& list, size_t at) {
  uint16_t size = 0;
  std::memcpy(&size, list.data() + at, 2);
  return size;
}

// The byte length of the first `count` items of a well-formed list, or npos
// when it has fewer.
size_t ItemsLength(const AnsiString& list, size_t count) {
  size_t at = 0;
  for (; count > 0; --count) {
    if (at + 2 > list.size()) return AnsiString::npos;
    const uint16_t size = ItemSize(list, at);
    if (size < 2 || at + size > list.size()) return AnsiString::npos;
    at += size;
  }
  return at;
}

// Whether two absolute lists name the same shell item. Items carry the
// folder's times, and reading a folder can change its access time between two
// parses, so equal bytes are not asked for: the desktop folder compares them.
bool SameItem(IShellFolder* desktop, const AnsiString& a, const AnsiString& b) {
  if (a == b) return true;
  const HRESULT hr = desktop->CompareIDs(0, reinterpret_cast<PCUIDLIST_RELATIVE>(a.data()),
                                         reinterpret_cast<PCUIDLIST_RELATIVE>(b.data()));
  return SUCCEEDED(hr) && static_cast<short>(HRESULT_CODE(hr)) == 0;
}

// The first `length` bytes of a list, terminated.
AnsiString Leading(const AnsiString& list, size_t length) {
  return list.substr(0, length) + AnsiString(2, '\0');
}

// The leading items `a` and `b` share, `a`'s bytes with a terminator.
AnsiString CommonItems(IShellFolder* desktop, const AnsiString& a, const AnsiString& b) {
  size_t shared = 0;
  for (size_t count = 1;; ++count) {
    const size_t lengthA = ItemsLength(a, count), lengthB = ItemsLength(b, count);
    if (lengthA == AnsiString::npos || lengthB == AnsiString::npos) break;
    if (!SameItem(desktop, Leading(a, lengthA), Leading(b, lengthB))) break;
    shared = lengthA;
  }
  return Leading(a, shared);
}

AnsiString ParsePath(IShellFolder* desktop, const AnsiString& path) {
  std::wstring wide = AnsiToUtf16(path);
  ULONG eaten = 0;
  PIDLIST_RELATIVE pidl = nullptr;
  if (FAILED(desktop->ParseDisplayName(nullptr, nullptr, wide.data(), &eaten, &pidl, nullptr)) || !pidl)
    return AnsiString();
  // The shell's own list: walk it to its terminator.
  const auto* bytes = reinterpret_cast<const uint8_t*>(pidl);
  size_t size = 0;
  for (uint16_t item; std::memcpy(&item, bytes + size, 2), item != 0;) size += item;
  AnsiString result(reinterpret_cast<const char*>(bytes), size + 2);
  CoTaskMemFree(pidl);
  return result;
}

class TDesktopFolder {
public:
  TDesktopFolder() {
    if (FAILED(SHGetDesktopFolder(&FFolder))) FFolder = nullptr;
  }
  ~TDesktopFolder() {
    if (FFolder) FFolder->Release();
  }
  TDesktopFolder(const TDesktopFolder&) = delete;
  TDesktopFolder& operator=(const TDesktopFolder&) = delete;
  IShellFolder* Get() const { return FFolder; }

private:
  IShellFolder* FFolder = nullptr;
};

}  // namespace

const TClassInfo TFileClipboardFormat::ClassInfo{"TFileClipboardFormat", &TCustomSimpleClipboardFormat::ClassInfo,
                                                 CreateClipboardFormat<TFileClipboardFormat>};
const TClassInfo TFilenameClipboardFormat::ClassInfo{"TFilenameClipboardFormat", &TCustomTextClipboardFormat::ClassInfo,
                                                     CreateClipboardFormat<TFilenameClipboardFormat>};
const TClassInfo TFilenameWClipboardFormat::ClassInfo{"TFilenameWClipboardFormat",
                                                      &TCustomWideTextClipboardFormat::ClassInfo,
                                                      CreateClipboardFormat<TFilenameWClipboardFormat>};
const TClassInfo TFilenameMapClipboardFormat::ClassInfo{"TFilenameMapClipboardFormat",
                                                        &TCustomStringListClipboardFormat::ClassInfo,
                                                        CreateClipboardFormat<TFilenameMapClipboardFormat>};
const TClassInfo TFilenameMapWClipboardFormat::ClassInfo{"TFilenameMapWClipboardFormat",
                                                         &TFilenameMapClipboardFormat::ClassInfo,
                                                         CreateClipboardFormat<TFilenameMapWClipboardFormat>};
const TClassInfo TPIDLClipboardFormat::ClassInfo{"TPIDLClipboardFormat", &TCustomSimpleClipboardFormat::ClassInfo,
                                                 CreateClipboardFormat<TPIDLClipboardFormat>};
const TClassInfo TStringListDataFormat::ClassInfo{"TStringListDataFormat", &TCustomDataFormat::ClassInfo, nullptr};
const TClassInfo TFileDataFormat::ClassInfo{"TFileDataFormat", &TStringListDataFormat::ClassInfo,
                                            CreateDataFormat<TFileDataFormat>};
const TClassInfo TFileMapDataFormat::ClassInfo{"TFileMapDataFormat", &TStringListDataFormat::ClassInfo,
                                               CreateDataFormat<TFileMapDataFormat>};
const TClassInfo TPIDLDataFormat::ClassInfo{"TPIDLDataFormat", &TStringListDataFormat::ClassInfo,
                                            CreateDataFormat<TPIDLDataFormat>};

// ---------------------------------------------------------------------------
// Clipboard formats

bool TFileClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  const TDropFilesBlock files = ReadDropFilesBlock(block, size);
  if (!files.Wide) {
    SetLines(FFiles, files.Names);
    return true;
  }
  std::vector<AnsiString> names;
  for (const TWideBlockText& name : files.WideNames) names.push_back(Narrow(name));
  SetLines(FFiles, names);
  return true;
}

bool TFileClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  return CopyBlock(MakeDropFilesBlock(ToVector(FFiles)), block, size);
}

uint64_t TFileClipboardFormat::ByteSize() {
  if (FFiles.Count() == 0) return 0;
  uint64_t size = DropFilesHeaderSize + 1;
  for (int i = 0; i < FFiles.Count(); ++i) size += FFiles.Get(i).size() + 1;
  return size;
}

CLIPFORMAT TFilenameClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFFilename, "FileName"); }

CLIPFORMAT TFilenameWClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFFilenameW, "FileNameW"); }

std::wstring TFilenameWClipboardFormat::Filename() const {
  const std::wstring& text = Text();
  return text.substr(0, text.find(L'\0'));
}

CLIPFORMAT TFilenameMapClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFFilenameMap, "FileNameMap");
}

bool TFilenameMapClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  SetLines(Lines(), ReadNameListBlock(block, size));
  return true;
}

bool TFilenameMapClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  return CopyBlock(MakeNameListBlock(ToVector(Lines())), block, size);
}

uint64_t TFilenameMapClipboardFormat::ByteSize() {
  if (Lines().Count() == 0) return 0;
  uint64_t size = static_cast<uint64_t>(Lines().Count()) + 1;
  for (int i = 0; i < Lines().Count(); ++i) size += Lines().Get(i).size();
  return size;
}

CLIPFORMAT TFilenameMapWClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFFilenameMapW, "FileNameMapW");
}

bool TFilenameMapWClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  std::vector<AnsiString> names;
  for (const TWideBlockText& name : ReadWideNameListBlock(block, size)) names.push_back(Narrow(name));
  SetLines(Lines(), names);
  return true;
}

namespace {
std::vector<TWideBlockText> WideLines(const TStrings& lines) {
  std::vector<TWideBlockText> names;
  for (int i = 0; i < lines.Count(); ++i) {
    const std::wstring wide = AnsiToUtf16(lines.Get(i));
    names.emplace_back(reinterpret_cast<const char16_t*>(wide.data()), wide.size());
  }
  return names;
}
}  // namespace

bool TFilenameMapWClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  return CopyBlock(MakeWideNameListBlock(WideLines(Lines())), block, size);
}

uint64_t TFilenameMapWClipboardFormat::ByteSize() {
  if (Lines().Count() == 0) return 0;
  uint64_t size = 2 * (static_cast<uint64_t>(Lines().Count()) + 1);
  for (const TWideBlockText& name : WideLines(Lines())) size += 2 * name.size();
  return size;
}

CLIPFORMAT TPIDLClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFIDList, "Shell IDList Array"); }

bool TPIDLClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  const std::vector<AnsiString> lists = ReadIDListArrayBlock(block, size);
  // A parent without items is no value.
  if (lists.size() < 2) return false;
  SetLines(FPIDLs, lists);
  return true;
}

bool TPIDLClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  if (FPIDLs.Count() == 0) return false;
  return CopyBlock(MakeIDListArrayBlock(ToVector(FPIDLs)), block, size);
}

uint64_t TPIDLClipboardFormat::ByteSize() {
  if (FPIDLs.Count() == 0) return 0;
  uint64_t size = 4 * (static_cast<uint64_t>(FPIDLs.Count()) + 1);
  for (int i = 0; i < FPIDLs.Count(); ++i) size += FPIDLs.Get(i).size();
  return size;
}

AnsiString TPIDLsToFilenamesStrings::Get(int index) const {
  if (index < 0 || index >= Count()) throw EStringListError("Filename index out of range");
  return PathFromIDList(JoinIDLists(FPIDLs.Get(0), FPIDLs.Get(index + 1)));
}

void TPIDLsToFilenamesStrings::Assign(TPersistent* source) {
  if (auto* files = ObjectAs<TStrings>(source)) {
    IDListsFromFiles(*files, FPIDLs);
    return;
  }
  TStrings::Assign(source);
}

// ---------------------------------------------------------------------------
// Data formats

TStringListDataFormat::TStringListDataFormat(TObject* owner, TClass cls) : TCustomDataFormat(owner, cls) {
  FList.OnChanging = TNotifyEvent::Lambda([this](TObject*) { NotifyChanging(); });
}

bool TFileDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* files = ObjectAs<TFileClipboardFormat>(clipboardFormat)) {
    FList.Assign(&files->Files());
    return true;
  }
  if (auto* pidls = ObjectAs<TPIDLClipboardFormat>(clipboardFormat)) {
    FList.Assign(&pidls->Filenames());
    return true;
  }
  if (auto* name = ObjectAs<TFilenameClipboardFormat>(clipboardFormat)) {
    FList.Add(name->Filename());
    return true;
  }
  if (auto* name = ObjectAs<TFilenameWClipboardFormat>(clipboardFormat)) {
    FList.Add(Utf16ToAnsi(name->Filename()));
    return true;
  }
  return TCustomDataFormat::TakeFromClipboardFormat(clipboardFormat);
}

bool TFileDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* files = ObjectAs<TFileClipboardFormat>(clipboardFormat)) {
    files->Files().Assign(&FList);
    return true;
  }
  if (auto* pidls = ObjectAs<TPIDLClipboardFormat>(clipboardFormat)) {
    pidls->Filenames().Assign(&FList);
    return pidls->PIDLs().Count() > 0;
  }
  if (auto* name = ObjectAs<TFilenameClipboardFormat>(clipboardFormat)) {
    if (FList.Count() == 0) return false;
    name->SetFilename(FList.Get(0));
    return true;
  }
  if (auto* name = ObjectAs<TFilenameWClipboardFormat>(clipboardFormat)) {
    if (FList.Count() == 0) return false;
    name->SetFilename(AnsiToUtf16(FList.Get(0)));
    return true;
  }
  return TCustomDataFormat::GiveToClipboardFormat(clipboardFormat);
}

bool TFileMapDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* maps = ObjectAs<TFilenameMapClipboardFormat>(clipboardFormat)) {
    FList.Assign(&maps->FileMaps());
    return true;
  }
  return TCustomDataFormat::TakeFromClipboardFormat(clipboardFormat);
}

bool TFileMapDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* maps = ObjectAs<TFilenameMapClipboardFormat>(clipboardFormat)) {
    maps->FileMaps().Assign(&FList);
    return true;
  }
  return TCustomDataFormat::GiveToClipboardFormat(clipboardFormat);
}

bool TPIDLDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* pidls = ObjectAs<TPIDLClipboardFormat>(clipboardFormat)) {
    FList.Assign(&pidls->PIDLs());
    return true;
  }
  if (auto* files = ObjectAs<TFileClipboardFormat>(clipboardFormat)) return IDListsFromFiles(files->Files(), FList);
  return TCustomDataFormat::TakeFromClipboardFormat(clipboardFormat);
}

bool TPIDLDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* pidls = ObjectAs<TPIDLClipboardFormat>(clipboardFormat)) {
    pidls->PIDLs().Assign(&FList);
    return true;
  }
  if (auto* files = ObjectAs<TFileClipboardFormat>(clipboardFormat)) {
    files->Files().Assign(&FFilenames);
    return true;
  }
  return TCustomDataFormat::GiveToClipboardFormat(clipboardFormat);
}

// ---------------------------------------------------------------------------
// ID-list helpers

uint64_t IDListSize(const AnsiString& idList) {
  if (idList.empty()) return 0;
  return CheckedIDListSize(reinterpret_cast<const uint8_t*>(idList.data()), idList.size());
}

AnsiString JoinIDLists(const AnsiString& parent, const AnsiString& child) {
  const uint64_t size = IDListSize(parent);
  return (size >= 2 ? parent.substr(0, static_cast<size_t>(size - 2)) : AnsiString()) + child;
}

AnsiString IDListFromPath(const AnsiString& path) {
  TDesktopFolder desktop;
  return desktop.Get() ? ParsePath(desktop.Get(), path) : AnsiString();
}

AnsiString PathFromIDList(const AnsiString& idList) {
  // Only well-formed lists go to the shell.
  if (IDListSize(idList) == 0) return AnsiString();
  char path[MAX_PATH + 1] = {};
  if (!SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(idList.data()), path)) return AnsiString();
  return AnsiString(path, strnlen(path, MAX_PATH));
}

AnsiString CommonIDListItems(const AnsiString& a, const AnsiString& b) {
  TDesktopFolder desktop;
  if (!desktop.Get()) throw EDataFormatError("Failed to get interface to Desktop");
  return CommonItems(desktop.Get(), a, b);
}

AnsiString CommonParentIDList(const TStrings& files) {
  if (files.Count() == 0) return AnsiString();
  TDesktopFolder desktop;
  if (!desktop.Get()) throw EDataFormatError("Failed to get interface to Desktop");
  AnsiString common;
  for (int i = 0; i < files.Count(); ++i) {
    const AnsiString file = files.Get(i);
    const AnsiString folder = ParsePath(desktop.Get(), FolderOf(file));
    if (folder.empty()) throw EDataFormatError(Format("Invalid filename: %s", file.c_str()));
    common = i == 0 ? folder : CommonItems(desktop.Get(), common, folder);
    if (common.size() == 2) break;  // only the desktop is shared
  }
  return common;
}

bool IDListsFromFiles(const TStrings& files, TStrings& list) {
  list.Clear();
  if (files.Count() == 0) return false;
  AnsiString parent;
  try {
    parent = CommonParentIDList(files);
  } catch (const EDataFormatError&) {
    return false;
  }
  if (parent.size() <= 2) return false;
  size_t items = 0;
  for (size_t at = 0; at + 2 < parent.size(); at += ItemSize(parent, at)) ++items;
  TDesktopFolder desktop;
  if (!desktop.Get()) return false;
  std::vector<AnsiString> lists{parent};
  for (int i = 0; i < files.Count(); ++i) {
    const AnsiString absolute = ParsePath(desktop.Get(), files.Get(i));
    const size_t prefix = ItemsLength(absolute, items);
    if (prefix == AnsiString::npos || prefix + 2 >= absolute.size() ||
        !SameItem(desktop.Get(), Leading(absolute, prefix), parent))
      return false;
    lists.push_back(absolute.substr(prefix));
  }
  SetLines(list, lists);
  return true;
}

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void FileInitialize() {
  DragDropFormatsUnit.Start();
  const TFormatDirections both{TFormatDirection::fdWrite, TFormatDirection::fdRead};
  const TFormatDirections write{TFormatDirection::fdWrite};
  TClass files = &TFileDataFormat::ClassInfo;
  TClass maps = &TFileMapDataFormat::ClassInfo;
  TClass pidls = &TPIDLDataFormat::ClassInfo;
  AddDataFormatClass(files);
  AddDataFormatClass(maps);
  AddFormatPair(files, &TFileClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(files, &TPIDLClipboardFormat::ClassInfo, 1, both, write);
  AddFormatPair(files, &TFilenameClipboardFormat::ClassInfo, 2, both, write);
  AddFormatPair(files, &TFilenameWClipboardFormat::ClassInfo, 2, both, write);
  AddFormatPair(maps, &TFilenameMapClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(maps, &TFilenameMapWClipboardFormat::ClassInfo, 0, both, write);
  // The shell ID-list rows come after the file rows.
  AddDataFormatClass(pidls);
  AddFormatPair(pidls, &TPIDLClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(pidls, &TFileClipboardFormat::ClassInfo, 1, both, write);
}

void FileFinalize() {
  for (TClass cls : {&TFileDataFormat::ClassInfo, &TFileMapDataFormat::ClassInfo, &TPIDLDataFormat::ClassInfo})
    ForgetDataFormatClass(cls);
  for (TClass cls : {&TFileClipboardFormat::ClassInfo, &TFilenameClipboardFormat::ClassInfo,
                     &TFilenameWClipboardFormat::ClassInfo, &TFilenameMapClipboardFormat::ClassInfo,
                     &TPIDLClipboardFormat::ClassInfo})
    ForgetClipboardFormatClass(cls);
  DragDropFormatsUnit.Stop();
}

TDragDropUnitStarter FileStarter(DragDropFileUnit);

}  // namespace

constinit TDragDropUnit DragDropFileUnit(FileInitialize, FileFinalize);
