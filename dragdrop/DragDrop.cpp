#include "dragdrop/DragDrop.h"

#include <shlobj.h>

#include <algorithm>
#include <exception>

const TClassInfo TClipboardFormat::ClassInfo{"TClipboardFormat", &TObject::ClassInfo, nullptr};
const TClassInfo TCustomDataFormat::ClassInfo{"TCustomDataFormat", &TObject::ClassInfo, nullptr};

namespace {

TDataFormatMap* Map = nullptr;
TDataFormatClasses* Classes = nullptr;
IMalloc* Malloc = nullptr;
bool OleStarted = false;

void CoreInitialize() {
  OleStarted = SUCCEEDED(OleInitialize(nullptr));
  if (FAILED(SHGetMalloc(&Malloc))) Malloc = nullptr;
}

void CoreFinalize() {
  FreeAndNil(Map);
  FreeAndNil(Classes);
  if (Malloc) Malloc->Release();
  Malloc = nullptr;
  if (OleStarted) OleUninitialize();
  OleStarted = false;
}

}  // namespace

constinit TDragDropUnit DragDropCoreUnit(CoreInitialize, CoreFinalize);

void TDragDropUnit::Start() {
  if (FCount++ == 0) FInitialize();
}

void TDragDropUnit::Stop() {
  if (FCount > 0 && --FCount == 0) FFinalize();
}

IMalloc* ShellMalloc() { return Malloc; }

CLIPFORMAT RegisteredFormat(CLIPFORMAT& cache, const char* name) {
  if (cache == 0) cache = static_cast<CLIPFORMAT>(RegisterClipboardFormatA(name));
  return cache;
}

// ---------------------------------------------------------------------------
// TClipboardFormat

TClipboardFormat::TClipboardFormat(DWORD media) {
  FFormatEtc.cfFormat = 0;
  FFormatEtc.ptd = nullptr;
  FFormatEtc.dwAspect = DVASPECT_CONTENT;
  FFormatEtc.lindex = -1;
  FFormatEtc.tymed = media;
}

TClipboardFormat::TClipboardFormat(const FORMATETC& formatEtc) : FFormatEtc(formatEtc) {}

bool TClipboardFormat::ReadFromMedium(IDataObject*, const STGMEDIUM&) { return false; }

bool TClipboardFormat::WriteToMedium(const FORMATETC&, STGMEDIUM&) { return false; }

CLIPFORMAT TClipboardFormat::GetClipboardFormat() {
  throw EDataFormatError(Format("Internal error: %s.%s needs implementation", ClassName(), "GetClipboardFormat"));
}

void TClipboardFormat::StoreFormatId(CLIPFORMAT id) { FFormatEtc.cfFormat = id; }

AnsiString TClipboardFormat::ReadFormatName() {
  char buffer[256];
  const int n = GetClipboardFormatNameA(ClipboardFormat(), buffer, 255);
  return AnsiString(buffer, n > 0 ? static_cast<size_t>(n) : 0);
}

void TClipboardFormat::RenameFormat(const AnsiString&) {
  throw EDataFormatError(Format("%s.ClipboardFormat is read-only", ClassName()));
}

CLIPFORMAT TClipboardFormat::ClipboardFormat() {
  if (FFormatEtc.cfFormat == 0) StoreFormatId(GetClipboardFormat());
  return FFormatEtc.cfFormat;
}

const FORMATETC& TClipboardFormat::FormatEtc() {
  ClipboardFormat();
  return FFormatEtc;
}

bool TClipboardFormat::IsOfferedBy(IDataObject* dataObject) {
  FORMATETC fe = FormatEtc();
  for (DWORD medium = TYMED_ENHMF; medium != 0; medium >>= 1) {
    if (!(FFormatEtc.tymed & medium)) continue;
    fe.tymed = medium;
    if (dataObject->QueryGetData(&fe) == S_OK) return true;
  }
  return false;
}

bool TClipboardFormat::MatchesFormatEtc(const FORMATETC& formatEtc) {
  return formatEtc.cfFormat == ClipboardFormat() && formatEtc.ptd == nullptr &&
         formatEtc.dwAspect == FFormatEtc.dwAspect && (formatEtc.tymed & FFormatEtc.tymed) != 0;
}

bool TClipboardFormat::ReadFrom(IDataObject* dataObject) {
  ResetValue();
  STGMEDIUM medium{};
  FORMATETC fe = FormatEtc();
  if (dataObject->GetData(&fe, &medium) != S_OK) return false;
  return ReadFromStorage(dataObject, medium);
}

bool TClipboardFormat::ReadFromStorage(IDataObject* dataObject, STGMEDIUM& medium) {
  FLastError.clear();
  bool result = false;
  try {
    ResetValue();
    if (medium.tymed & FFormatEtc.tymed) result = ReadFromMedium(dataObject, medium);
  } catch (const Exception& e) {
    // A malformed block from another program is refused, not fatal.
    FLastError = e.Message();
    ResetValue();
  } catch (const std::exception& e) {
    // Out of memory for a block that claims too much, and the like.
    FLastError = e.what();
    ResetValue();
  }
  ReleaseStgMedium(&medium);
  return result;
}

bool TClipboardFormat::WriteTo(IDataObject* dataObject, const FORMATETC& formatEtc, STGMEDIUM& medium) {
  medium = STGMEDIUM{};
  bool result = false;
  try {
    if (formatEtc.cfFormat == ClipboardFormat() && formatEtc.dwAspect == FFormatEtc.dwAspect &&
        (formatEtc.tymed & FFormatEtc.tymed) != 0 && WriteToMedium(formatEtc, medium)) {
      FORMATETC fe = formatEtc;
      result = dataObject->SetData(&fe, &medium, TRUE) == S_OK;
    }
  } catch (...) {
    result = false;
  }
  if (!result) {
    ReleaseStgMedium(&medium);
    medium = STGMEDIUM{};
  }
  return result;
}

bool TClipboardFormat::TakeFromDataFormat(TCustomDataFormat*) { return false; }

bool TClipboardFormat::GiveToDataFormat(TCustomDataFormat*) { return false; }

bool TClipboardFormat::HasValue() { return true; }

// ---------------------------------------------------------------------------
// TClipboardFormats

TClipboardFormats::TClipboardFormats(TCustomDataFormat* dataFormat, bool ownsObjects)
    : FDataFormat(dataFormat), FOwnsObjects(ownsObjects) {}

TClipboardFormats::~TClipboardFormats() { Clear(); }

int TClipboardFormats::Add(TClipboardFormat* format) {
  FList.push_back(format);
  if (FOwnsObjects && FDataFormat) format->SetDataFormat(FDataFormat);
  return Count() - 1;
}

void TClipboardFormats::Clear() {
  if (FOwnsObjects)
    for (size_t i = FList.size(); i-- > 0;) delete FList[i];
  FList.clear();
}

// ---------------------------------------------------------------------------
// TCustomDataFormat (construction lives with the component bases)

void TCustomDataFormat::NotifyChanging() { FireEvent(OnValueChanging, this); }

bool TCustomDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  return clipboardFormat->GiveToDataFormat(this);
}

bool TCustomDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  return clipboardFormat->TakeFromDataFormat(this);
}

bool TCustomDataFormat::ReadFrom(IDataObject* dataObject) {
  bool result = false;
  for (int i = 0; i < FCompatibleFormats.Count() && NeedsValue(); ++i) {
    TClipboardFormat* format = FCompatibleFormats.Items(i);
    format->ResetValue();
    if (format->ReadFrom(dataObject) && format->HasValue() && TakeFromClipboardFormat(format)) result = true;
    // The value now lives in the data format (or was not wanted).
    format->ResetValue();
  }
  return result;
}

bool TCustomDataFormat::NeedsValue() { return !HasValue(); }

bool TCustomDataFormat::IsOfferedBy(IDataObject* dataObject) {
  for (int i = 0; i < FCompatibleFormats.Count(); ++i)
    if (FCompatibleFormats.Items(i)->IsOfferedBy(dataObject)) return true;
  return false;
}

bool TCustomDataFormat::AcceptsFormatEtc(const FORMATETC& formatEtc) {
  for (int i = 0; i < FCompatibleFormats.Count(); ++i)
    if (FCompatibleFormats.Items(i)->MatchesFormatEtc(formatEtc)) return true;
  return false;
}

// ---------------------------------------------------------------------------
// Lists and the map

TDataFormats::~TDataFormats() {
  while (!FList.empty()) Remove(FList.back());
}

int TDataFormats::Add(TCustomDataFormat* dataFormat) {
  const int index = IndexOf(dataFormat);
  if (index >= 0) return index;
  FList.push_back(dataFormat);
  return Count() - 1;
}

int TDataFormats::IndexOf(TCustomDataFormat* dataFormat) const {
  const auto it = std::find(FList.begin(), FList.end(), dataFormat);
  return it == FList.end() ? -1 : static_cast<int>(it - FList.begin());
}

void TDataFormats::Remove(TCustomDataFormat* dataFormat) {
  const int index = IndexOf(dataFormat);
  if (index >= 0) FList.erase(FList.begin() + index);
}

void TDataFormatClasses::Add(TClass dataFormatClass) {
  if (std::find(FList.begin(), FList.end(), dataFormatClass) == FList.end()) FList.push_back(dataFormatClass);
}

void TDataFormatClasses::Remove(TClass dataFormatClass) {
  FList.erase(std::remove(FList.begin(), FList.end(), dataFormatClass), FList.end());
}

void TDataFormatMap::Add(TClass dataFormatClass, TClass clipboardFormatClass, int32_t priority,
                         TFormatDirections directions, TFormatDirections formatDirections) {
  const auto existing = std::find_if(FRows.begin(), FRows.end(), [&](const TDataFormatMapRow& row) {
    return TObject::ClassInheritsFrom(row.DataFormatClass, dataFormatClass) &&
           TObject::ClassInheritsFrom(row.ClipboardFormatClass, clipboardFormatClass);
  });
  TDataFormatMapRow row{dataFormatClass, clipboardFormatClass, priority, directions, formatDirections};
  if (existing != FRows.end()) {
    // Registering again widens the row and moves it by its new priority.
    row.Directions += existing->Directions;
    row.FormatDirections += existing->FormatDirections;
    FRows.erase(existing);
  }
  // Rows of one data format stay together in ascending priority; a new row
  // goes before rows of equal priority.
  int k = -1;
  for (int i = static_cast<int>(FRows.size()) - 1; i >= 0; --i)
    if (FRows[static_cast<size_t>(i)].DataFormatClass == dataFormatClass) {
      k = i;
      break;
    }
  if (k < 0) {
    FRows.push_back(row);
    return;
  }
  while (k >= 0 && FRows[static_cast<size_t>(k)].DataFormatClass == dataFormatClass &&
         FRows[static_cast<size_t>(k)].Priority >= priority)
    --k;
  FRows.insert(FRows.begin() + (k + 1), row);
}

void TDataFormatMap::DeleteByDataFormat(TClass cls) {
  std::erase_if(FRows, [&](const TDataFormatMapRow& row) { return TObject::ClassInheritsFrom(row.DataFormatClass, cls); });
}

void TDataFormatMap::DeleteByClipboardFormat(TClass cls) {
  std::erase_if(FRows,
                [&](const TDataFormatMapRow& row) { return TObject::ClassInheritsFrom(row.ClipboardFormatClass, cls); });
}

void TDataFormatMap::FillCompatibleFormats(TClass dataFormatClass, TClipboardFormats& list,
                                           TFormatDirection direction) {
  list.Clear();
  for (const TDataFormatMapRow& row : FRows) {
    if (!row.Directions.Contains(direction) || !TObject::ClassInheritsFrom(row.DataFormatClass, dataFormatClass))
      continue;
    TClipboardFormat* format = static_cast<TClipboardFormat*>(CreateObject(row.ClipboardFormatClass));
    format->SetDirections(row.FormatDirections);
    list.Add(format);
  }
}

TDataFormatMap& DataFormatMap() {
  if (!Map) Map = new TDataFormatMap;
  return *Map;
}

TDataFormatClasses& DataFormatClasses() {
  if (!Classes) Classes = new TDataFormatClasses;
  return *Classes;
}

void AddDataFormatClass(TClass dataFormatClass) { DataFormatClasses().Add(dataFormatClass); }

void AddFormatPair(TClass dataFormatClass, TClass clipboardFormatClass, int32_t priority,
                   TFormatDirections directions, TFormatDirections formatDirections) {
  DataFormatMap().Add(dataFormatClass, clipboardFormatClass, priority, directions, formatDirections);
}

void ForgetDataFormatClass(TClass dataFormatClass) {
  if (Map) Map->DeleteByDataFormat(dataFormatClass);
  if (Classes) Classes->Remove(dataFormatClass);
}

void ForgetClipboardFormatClass(TClass clipboardFormatClass) {
  if (Map) Map->DeleteByClipboardFormat(clipboardFormatClass);
}

namespace {
TDragDropUnitStarter CoreStarter(DragDropCoreUnit);
}  // namespace
