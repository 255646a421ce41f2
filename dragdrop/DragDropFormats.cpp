#include "dragdrop/DragDropFormats.h"

#include "dragdrop/DropBlocks.h"

#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <limits>

static_assert(sizeof(FILEDESCRIPTORA) == FileDescriptorASize);
static_assert(sizeof(FILEDESCRIPTORW) == FileDescriptorWSize);
static_assert(offsetof(FILEDESCRIPTORA, cFileName) == FileDescriptorNameOffset);
static_assert(offsetof(FILEDESCRIPTORW, cFileName) == FileDescriptorNameOffset);

namespace {

// Streams are read in pieces of at most this many bytes.
constexpr uint64_t ReadPiece = 1048576;

// Reads from the stream's position until `size` bytes arrived or a read
// delivers nothing. The buffer grows only with what really arrives, so a
// stream that claims a huge size costs nothing. False when a read fails.
bool ReadStreamBytes(IStream* stream, uint64_t size, std::vector<uint8_t>& out) {
  out.clear();
  while (out.size() < size) {
    const uint64_t piece = std::min<uint64_t>(size - out.size(), ReadPiece);
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(piece));
    ULONG got = 0;
    const HRESULT hr = stream->Read(out.data() + at, static_cast<ULONG>(piece), &got);
    out.resize(at + std::min<size_t>(got, static_cast<size_t>(piece)));
    if (FAILED(hr)) return false;
    if (got == 0) break;
  }
  return true;
}

void Rewind(IStream* stream) {
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
}

// Locks a global block for the life of the guard.
class TGlobalLock {
public:
  explicit TGlobalLock(HGLOBAL handle) : FHandle(handle), FData(static_cast<uint8_t*>(GlobalLock(handle))) {}
  ~TGlobalLock() {
    if (FData) GlobalUnlock(FHandle);
  }
  TGlobalLock(const TGlobalLock&) = delete;
  TGlobalLock& operator=(const TGlobalLock&) = delete;
  uint8_t* Data() const { return FData; }

private:
  HGLOBAL FHandle;
  uint8_t* FData;
};

CLIPFORMAT CFFileGroupDescriptor = 0;
CLIPFORMAT CFFileGroupDescriptorW = 0;
CLIPFORMAT CFFileContents = 0;
CLIPFORMAT CFPreferredDropEffect = 0;
CLIPFORMAT CFPerformedDropEffect = 0;
CLIPFORMAT CFLogicalPerformedDropEffect = 0;
CLIPFORMAT CFPasteSucceeded = 0;
CLIPFORMAT CFInShellDragLoop = 0;
CLIPFORMAT CFTargetCLSID = 0;

}  // namespace

const TClassInfo TCustomSimpleClipboardFormat::ClassInfo{"TCustomSimpleClipboardFormat", &TClipboardFormat::ClassInfo,
                                                         nullptr};
const TClassInfo TCustomStringClipboardFormat::ClassInfo{"TCustomStringClipboardFormat",
                                                         &TCustomSimpleClipboardFormat::ClassInfo, nullptr};
const TClassInfo TCustomTextClipboardFormat::ClassInfo{"TCustomTextClipboardFormat",
                                                       &TCustomStringClipboardFormat::ClassInfo, nullptr};
const TClassInfo TCustomWideTextClipboardFormat::ClassInfo{"TCustomWideTextClipboardFormat",
                                                           &TCustomSimpleClipboardFormat::ClassInfo, nullptr};
const TClassInfo TCustomStringListClipboardFormat::ClassInfo{"TCustomStringListClipboardFormat",
                                                             &TCustomSimpleClipboardFormat::ClassInfo, nullptr};
const TClassInfo TCustomDWORDClipboardFormat::ClassInfo{"TCustomDWORDClipboardFormat",
                                                        &TCustomSimpleClipboardFormat::ClassInfo, nullptr};
const TClassInfo TTextClipboardFormat::ClassInfo{"TTextClipboardFormat", &TCustomTextClipboardFormat::ClassInfo,
                                                 CreateClipboardFormat<TTextClipboardFormat>};
const TClassInfo TCustomFileGroupDescriptorClipboardFormat::ClassInfo{
    "TCustomFileGroupDescriptorClipboardFormat", &TCustomSimpleClipboardFormat::ClassInfo, nullptr};
const TClassInfo TFileGroupDescritorClipboardFormat::ClassInfo{
    "TFileGroupDescritorClipboardFormat", &TCustomFileGroupDescriptorClipboardFormat::ClassInfo,
    CreateClipboardFormat<TFileGroupDescritorClipboardFormat>};
const TClassInfo TFileGroupDescritorWClipboardFormat::ClassInfo{
    "TFileGroupDescritorWClipboardFormat", &TCustomFileGroupDescriptorClipboardFormat::ClassInfo,
    CreateClipboardFormat<TFileGroupDescritorWClipboardFormat>};
const TClassInfo TFileContentsClipboardFormat::ClassInfo{"TFileContentsClipboardFormat",
                                                         &TCustomTextClipboardFormat::ClassInfo,
                                                         CreateClipboardFormat<TFileContentsClipboardFormat>};
const TClassInfo TFileContentsStreamClipboardFormat::ClassInfo{"TFileContentsStreamClipboardFormat",
                                                               &TClipboardFormat::ClassInfo,
                                                               CreateClipboardFormat<TFileContentsStreamClipboardFormat>};
const TClassInfo TFileContentsStreamOnDemandClipboardFormat::ClassInfo{
    "TFileContentsStreamOnDemandClipboardFormat", &TClipboardFormat::ClassInfo,
    CreateClipboardFormat<TFileContentsStreamOnDemandClipboardFormat>};
const TClassInfo TCustomFeedbackClipboardFormat::ClassInfo{"TCustomFeedbackClipboardFormat",
                                                           &TCustomDWORDClipboardFormat::ClassInfo, nullptr};
const TClassInfo TPreferredDropEffectClipboardFormat::ClassInfo{"TPreferredDropEffectClipboardFormat",
                                                                &TCustomFeedbackClipboardFormat::ClassInfo,
                                                                CreateClipboardFormat<TPreferredDropEffectClipboardFormat>};
const TClassInfo TPerformedDropEffectClipboardFormat::ClassInfo{"TPerformedDropEffectClipboardFormat",
                                                                &TCustomFeedbackClipboardFormat::ClassInfo,
                                                                CreateClipboardFormat<TPerformedDropEffectClipboardFormat>};
const TClassInfo TLogicalPerformedDropEffectClipboardFormat::ClassInfo{
    "TLogicalPerformedDropEffectClipboardFormat", &TCustomFeedbackClipboardFormat::ClassInfo,
    CreateClipboardFormat<TLogicalPerformedDropEffectClipboardFormat>};
const TClassInfo TPasteSuccededClipboardFormat::ClassInfo{"TPasteSuccededClipboardFormat",
                                                          &TCustomFeedbackClipboardFormat::ClassInfo,
                                                          CreateClipboardFormat<TPasteSuccededClipboardFormat>};
const TClassInfo TInShellDragLoopClipboardFormat::ClassInfo{"TInShellDragLoopClipboardFormat",
                                                            &TCustomFeedbackClipboardFormat::ClassInfo,
                                                            CreateClipboardFormat<TInShellDragLoopClipboardFormat>};
const TClassInfo TTargetCLSIDClipboardFormat::ClassInfo{"TTargetCLSIDClipboardFormat",
                                                        &TCustomSimpleClipboardFormat::ClassInfo,
                                                        CreateClipboardFormat<TTargetCLSIDClipboardFormat>};
const TClassInfo TDataStreamDataFormat::ClassInfo{"TDataStreamDataFormat", &TCustomDataFormat::ClassInfo,
                                                  CreateDataFormat<TDataStreamDataFormat>};
const TClassInfo TVirtualFileStreamDataFormat::ClassInfo{"TVirtualFileStreamDataFormat", &TCustomDataFormat::ClassInfo,
                                                         CreateDataFormat<TVirtualFileStreamDataFormat>};
const TClassInfo TFixedStreamAdapter::ClassInfo{"TFixedStreamAdapter", &TStreamAdapter::ClassInfo, nullptr};
const TClassInfo TFeedbackDataFormat::ClassInfo{"TFeedbackDataFormat", &TCustomDataFormat::ClassInfo,
                                                CreateDataFormat<TFeedbackDataFormat>};

// ---------------------------------------------------------------------------
// Simple formats

TCustomSimpleClipboardFormat::TCustomSimpleClipboardFormat() : TClipboardFormat(TYMED_HGLOBAL | TYMED_ISTREAM) {}

bool TCustomSimpleClipboardFormat::ReadFromMedium(IDataObject* dataObject, const STGMEDIUM& medium) {
  switch (medium.tymed) {
    case TYMED_HGLOBAL: {
      const SIZE_T size = medium.hGlobal ? GlobalSize(medium.hGlobal) : 0;
      if (size == 0) return true;  // an empty block: no value, no error
      return ReadMedium(dataObject, medium, size);
    }
    case TYMED_ISTREAM: {
      if (!medium.pstm) return false;
      STATSTG stat{};
      if (FAILED(medium.pstm->Stat(&stat, STATFLAG_NONAME))) return false;
      if (stat.cbSize.QuadPart == 0) return true;
      return ReadMedium(dataObject, medium, stat.cbSize.QuadPart);
    }
    case TYMED_ISTORAGE: {
      if (!medium.pstg) return false;
      STGMEDIUM stream{};
      stream.tymed = TYMED_ISTREAM;
      stream.pstm = StorageToStream(medium.pstg);
      if (!stream.pstm) return false;
      bool result = false;
      try {
        result = ReadFromMedium(dataObject, stream);
      } catch (...) {
        stream.pstm->Release();
        throw;
      }
      stream.pstm->Release();
      return result;
    }
    default:
      return false;
  }
}

bool TCustomSimpleClipboardFormat::ReadMedium(IDataObject*, const STGMEDIUM& medium, uint64_t size) {
  if (medium.tymed == TYMED_HGLOBAL) {
    // Never trust a size beyond what the block really holds.
    size = std::min<uint64_t>(size, GlobalSize(medium.hGlobal));
    TGlobalLock lock(medium.hGlobal);
    if (!lock.Data()) return false;
    return ReadBytes(lock.Data(), size);
  }
  if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
    Rewind(medium.pstm);
    std::vector<uint8_t> buffer;
    if (!ReadStreamBytes(medium.pstm, size, buffer)) return false;
    // A stream may deliver less than its Stat promised; only what arrived is read.
    return ReadBytes(buffer.data(), buffer.size());
  }
  return false;
}

uint64_t TCustomSimpleClipboardFormat::CopyMediumBytes(const STGMEDIUM& medium, uint64_t size, uint8_t* buffer) {
  if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
    size = std::min<uint64_t>(size, GlobalSize(medium.hGlobal));
    TGlobalLock lock(medium.hGlobal);
    if (!lock.Data()) return 0;
    std::memcpy(buffer, lock.Data(), static_cast<size_t>(size));
    return size;
  }
  if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
    Rewind(medium.pstm);
    uint64_t done = 0;
    while (done < size) {
      const ULONG piece = static_cast<ULONG>(std::min<uint64_t>(size - done, ReadPiece));
      ULONG got = 0;
      if (FAILED(medium.pstm->Read(buffer + done, piece, &got)) || got == 0) break;
      done += std::min<ULONG>(got, piece);
    }
    return done;
  }
  return 0;
}

bool TCustomSimpleClipboardFormat::WriteToMedium(const FORMATETC& formatEtc, STGMEDIUM& medium) {
  const uint64_t size = ByteSize();
  if (size == 0 || size > std::numeric_limits<SIZE_T>::max() / 2) return false;
  if (formatEtc.tymed & TYMED_ISTREAM) {
    auto* stream = new TMemoryStream;
    try {
      stream->SetSize(static_cast<int64_t>(size));
      std::memset(stream->Memory(), 0, static_cast<size_t>(size));
      if (!WriteBytes(stream->Memory(), size)) {
        delete stream;
        return false;
      }
    } catch (...) {
      delete stream;
      throw;
    }
    stream->Seek(0, TSeekOrigin::soEnd);
    medium.tymed = TYMED_ISTREAM;
    medium.pstm = new TFixedStreamAdapter(stream, soOwned);
    medium.pstm->AddRef();
    medium.pUnkForRelease = nullptr;
    return true;
  }
  if (formatEtc.tymed & TYMED_HGLOBAL) {
    HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, static_cast<SIZE_T>(size));
    if (!handle) return false;
    bool written = false;
    try {
      TGlobalLock lock(handle);
      written = lock.Data() && WriteBytes(lock.Data(), size);
    } catch (...) {
      GlobalFree(handle);
      throw;
    }
    if (!written) {
      GlobalFree(handle);
      return false;
    }
    medium.tymed = TYMED_HGLOBAL;
    medium.hGlobal = handle;
    medium.pUnkForRelease = nullptr;
    return true;
  }
  return false;
}

bool TCustomStringClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  size_t length = static_cast<size_t>(size);
  if (FTrimAtNul) {
    const void* nul = std::memchr(block, 0, length);
    if (nul) length = static_cast<size_t>(static_cast<const uint8_t*>(nul) - block);
  }
  FData.assign(reinterpret_cast<const char*>(block), length);
  return true;
}

bool TCustomStringClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  if (size > FData.size() + 1) return false;
  std::memcpy(block, FData.data(), static_cast<size_t>(std::min<uint64_t>(size, FData.size())));
  return true;
}

uint64_t TCustomTextClipboardFormat::ByteSize() {
  const AnsiString& text = Data();
  if (text.empty()) return 0;
  return text.size() + (text.back() == '\0' ? 0 : 1);
}

bool TCustomWideTextClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  FText.assign(static_cast<size_t>(size / 2), L'\0');
  std::memcpy(FText.data(), block, static_cast<size_t>(size / 2) * 2);
  return true;
}

bool TCustomWideTextClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  if (size > 2 * (FText.size() + 1)) return false;
  std::memcpy(block, FText.data(), static_cast<size_t>(std::min<uint64_t>(size, 2 * FText.size())));
  return true;
}

uint64_t TCustomWideTextClipboardFormat::ByteSize() {
  if (FText.empty()) return 0;
  return 2 * FText.size() + (FText.back() == L'\0' ? 0 : 2);
}

bool TCustomStringListClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  if (size == 0) {
    FLines.Clear();
    return true;
  }
  // The last byte counts as the terminator whatever it holds.
  const size_t limit = static_cast<size_t>(size) - 1;
  const void* nul = std::memchr(block, 0, limit);
  const size_t length = nul ? static_cast<size_t>(static_cast<const uint8_t*>(nul) - block) : limit;
  FLines.SetText(AnsiString(reinterpret_cast<const char*>(block), length));
  return true;
}

bool TCustomStringListClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  const AnsiString text = FLines.Text();
  if (size != text.size() + 1) return false;
  std::memcpy(block, text.data(), text.size());
  return true;
}

uint64_t TCustomStringListClipboardFormat::ByteSize() { return FLines.Text().size() + 1; }

bool TCustomDWORDClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  if (size < 4) throw EDropBlockError("Malformed 32-bit value block: shorter than 4 bytes");
  std::memcpy(&FValue, block, 4);
  return true;
}

bool TCustomDWORDClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  if (size != 4) return false;
  std::memcpy(block, &FValue, 4);
  return true;
}

// ---------------------------------------------------------------------------
// File group descriptors and file contents

bool TCustomFileGroupDescriptorClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  const uint32_t count = CheckFileGroupBlock(block, size, FRecordSize, FExactRead);
  FBlock.assign(reinterpret_cast<const char*>(block), 4 + static_cast<size_t>(count) * FRecordSize);
  return true;
}

bool TCustomFileGroupDescriptorClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  if (size < 4 || (size - 4) / FRecordSize != Count()) return false;
  std::memcpy(block, FBlock.data(), FBlock.size());
  return true;
}

uint32_t TCustomFileGroupDescriptorClipboardFormat::Count() const {
  uint32_t count = 0;
  if (FBlock.size() >= 4) std::memcpy(&count, FBlock.data(), 4);
  return count;
}

uint8_t* TCustomFileGroupDescriptorClipboardFormat::Record(uint32_t index) {
  if (index >= Count()) throw EListError(Format("List index out of bounds (%u)", index));
  return reinterpret_cast<uint8_t*>(FBlock.data()) + 4 + static_cast<size_t>(index) * FRecordSize;
}

void TCustomFileGroupDescriptorClipboardFormat::SetCount(uint32_t count) {
  FBlock.assign(4 + static_cast<size_t>(count) * FRecordSize, '\0');
  std::memcpy(FBlock.data(), &count, 4);
}

TFileGroupDescritorClipboardFormat::TFileGroupDescritorClipboardFormat()
    : TCustomFileGroupDescriptorClipboardFormat(FileDescriptorASize, false) {}

CLIPFORMAT TFileGroupDescritorClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFFileGroupDescriptor, "FileGroupDescriptor");
}

AnsiString TFileGroupDescritorClipboardFormat::FileName(uint32_t index) {
  const char* name = reinterpret_cast<const char*>(Record(index) + FileDescriptorNameOffset);
  return AnsiString(name, strnlen(name, FileDescriptorNameChars));
}

void TFileGroupDescritorClipboardFormat::SetFileName(uint32_t index, const AnsiString& name) {
  char* target = reinterpret_cast<char*>(Record(index) + FileDescriptorNameOffset);
  std::memset(target, 0, FileDescriptorNameChars);
  std::memcpy(target, name.data(), std::min<size_t>(name.size(), FileDescriptorNameChars - 1));
}

TFileGroupDescritorWClipboardFormat::TFileGroupDescritorWClipboardFormat()
    : TCustomFileGroupDescriptorClipboardFormat(FileDescriptorWSize, true) {}

CLIPFORMAT TFileGroupDescritorWClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFFileGroupDescriptorW, "FileGroupDescriptorW");
}

std::wstring TFileGroupDescritorWClipboardFormat::FileName(uint32_t index) {
  const auto* name = reinterpret_cast<const wchar_t*>(Record(index) + FileDescriptorNameOffset);
  return std::wstring(name, wcsnlen(name, FileDescriptorNameChars));
}

void TFileGroupDescritorWClipboardFormat::SetFileName(uint32_t index, const std::wstring& name) {
  auto* target = reinterpret_cast<wchar_t*>(Record(index) + FileDescriptorNameOffset);
  std::memset(target, 0, FileDescriptorNameChars * 2);
  std::memcpy(target, name.data(), std::min<size_t>(name.size(), FileDescriptorNameChars - 1) * 2);
}

TFileContentsClipboardFormat::TFileContentsClipboardFormat() { FFormatEtc.lindex = 0; }

CLIPFORMAT TFileContentsClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFFileContents, "FileContents");
}

// ---------------------------------------------------------------------------
// Stream and memory lists

void TStreamList::AddStream(TMemoryStream* stream, const AnsiString& name) {
  FireEvent(OnValueChanging, this);
  AddObject(name, stream);
}

void TStreamList::TakeStreams(TStreamList& other) {
  ClearStreams();
  for (int i = 0; i < other.Count(); ++i) AddObject(other.Get(i), other.GetObject(i));
  other.SetOwnsObjects(false);
  other.Clear();
  other.SetOwnsObjects(true);
}

void TStreamList::ClearStreams() {
  FireEvent(OnValueChanging, this);
  Clear();
}

int TMemoryList::Add(const void* block, size_t size) {
  const auto* bytes = static_cast<const uint8_t*>(block);
  FBlocks.emplace_back(bytes, bytes + size);
  return Count() - 1;
}

void TMemoryList::Delete(int index) {
  if (index < 0 || index >= Count()) throw EListError(Format("List index out of bounds (%d)", index));
  FBlocks.erase(FBlocks.begin() + index);
}

void TMemoryList::Clear() {
  while (!FBlocks.empty()) FBlocks.pop_back();
}

// ---------------------------------------------------------------------------
// File contents as streams

TFileContentsStreamClipboardFormat::TFileContentsStreamClipboardFormat()
    : TClipboardFormat(TYMED_ISTREAM | TYMED_ISTORAGE) {}

CLIPFORMAT TFileContentsStreamClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFFileContents, "FileContents");
}

bool TFileContentsStreamClipboardFormat::ReadFrom(IDataObject* dataObject) {
  ResetValue();
  TFileGroupDescritorClipboardFormat group;
  const bool described = group.ReadFrom(dataObject) && group.HasValue();
  // Without descriptors exactly one request, for index -1, is made.
  const int64_t count = described ? group.Count() : 0;
  FORMATETC fe = FormatEtc();
  for (int64_t index = described ? 0 : -1; index < count; ++index) {
    fe.lindex = static_cast<LONG>(index);
    STGMEDIUM medium{};
    if (dataObject->GetData(&fe, &medium) != S_OK) break;
    IStream* stream = nullptr;
    if (medium.tymed == TYMED_ISTORAGE && medium.pstg) {
      stream = StorageToStream(medium.pstg);
      if (!stream) {
        ReleaseStgMedium(&medium);
        return false;
      }
    } else if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
      stream = medium.pstm;
      stream->AddRef();
    }
    ReleaseStgMedium(&medium);
    if (!stream) continue;
    STATSTG stat{};
    std::vector<uint8_t> bytes;
    bool ok = SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME));
    if (ok) {
      Rewind(stream);
      ok = ReadStreamBytes(stream, stat.cbSize.QuadPart, bytes);
    }
    stream->Release();
    if (!ok) continue;
    auto* contents = new TMemoryStream;
    contents->WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    contents->SetPosition(0);
    FStreams.AddStream(contents, index >= 0 ? group.FileName(static_cast<uint32_t>(index)) : AnsiString());
  }
  return FStreams.Count() > 0;
}

bool TFileContentsStreamClipboardFormat::GiveToDataFormat(TCustomDataFormat* dataFormat) {
  auto* target = ObjectAs<TDataStreamDataFormat>(dataFormat);
  if (!target) return TClipboardFormat::GiveToDataFormat(dataFormat);
  target->Streams().TakeStreams(FStreams);
  return true;
}

TFileContentsStreamOnDemandClipboardFormat::TFileContentsStreamOnDemandClipboardFormat()
    : TClipboardFormat(TYMED_ISTREAM) {}

CLIPFORMAT TFileContentsStreamOnDemandClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFFileContents, "FileContents");
}

bool TFileContentsStreamOnDemandClipboardFormat::ReadFrom(IDataObject*) {
  // The contents stay with the source until the application asks for them.
  FGotData = true;
  return true;
}

bool TFileContentsStreamOnDemandClipboardFormat::WriteToMedium(const FORMATETC& formatEtc, STGMEDIUM& medium) {
  const LONG index = formatEtc.lindex == -1 ? 0 : formatEtc.lindex;
  if (!OnGetStream || !(formatEtc.tymed & TYMED_ISTREAM) || index < 0) return false;
  IStream* stream = nullptr;
  OnGetStream(this, index, stream);
  if (!stream) return false;
  medium.tymed = TYMED_ISTREAM;
  medium.pstm = stream;
  medium.pUnkForRelease = nullptr;
  return true;
}

bool TFileContentsStreamOnDemandClipboardFormat::GiveToDataFormat(TCustomDataFormat* dataFormat) {
  if (ObjectAs<TVirtualFileStreamDataFormat>(dataFormat)) return true;
  return TClipboardFormat::GiveToDataFormat(dataFormat);
}

bool TFileContentsStreamOnDemandClipboardFormat::TakeFromDataFormat(TCustomDataFormat* dataFormat) {
  if (!ObjectAs<TVirtualFileStreamDataFormat>(dataFormat)) return TClipboardFormat::TakeFromDataFormat(dataFormat);
  FDataRequested = true;
  return true;
}

// ---------------------------------------------------------------------------
// Feedback formats

CLIPFORMAT TPreferredDropEffectClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFPreferredDropEffect, "Preferred DropEffect");
}
CLIPFORMAT TPerformedDropEffectClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFPerformedDropEffect, "Performed DropEffect");
}
CLIPFORMAT TLogicalPerformedDropEffectClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFLogicalPerformedDropEffect, "Logical Performed DropEffect");
}
CLIPFORMAT TPasteSuccededClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFPasteSucceeded, "Paste Succeeded");
}
CLIPFORMAT TInShellDragLoopClipboardFormat::GetClipboardFormat() {
  return RegisteredFormat(CFInShellDragLoop, "InShellDragLoop");
}
CLIPFORMAT TTargetCLSIDClipboardFormat::GetClipboardFormat() { return RegisteredFormat(CFTargetCLSID, "TargetCLSID"); }

bool TTargetCLSIDClipboardFormat::ReadBytes(const uint8_t* block, uint64_t size) {
  if (size != sizeof(GUID)) return false;
  std::memcpy(&FCLSID, block, sizeof(GUID));
  return true;
}

bool TTargetCLSIDClipboardFormat::WriteBytes(uint8_t* block, uint64_t size) {
  if (size != sizeof(GUID)) return false;
  std::memcpy(block, &FCLSID, sizeof(GUID));
  return true;
}

// ---------------------------------------------------------------------------
// Data formats

TDataStreamDataFormat::TDataStreamDataFormat(TObject* owner, TClass cls) : TCustomDataFormat(owner, cls) {
  FStreams.OnValueChanging = TNotifyEvent::Lambda([this](TObject*) { NotifyChanging(); });
}

void TDataStreamDataFormat::ResetValue() { FStreams.ClearStreams(); }

AnsiString TFileDescriptorToFilenameStrings::Get(int index) const {
  if (index < 0 || index >= Count()) Error("List index out of bounds (%d)", index);
  const char* name = reinterpret_cast<const char*>(FDescriptors.Items(index) + FileDescriptorNameOffset);
  return AnsiString(name, strnlen(name, FileDescriptorNameChars));
}

void TFileDescriptorToFilenameStrings::Insert(int index, const AnsiString& s) {
  if (index != Count()) return;
  uint8_t descriptor[FileDescriptorASize] = {};
  std::memcpy(descriptor + FileDescriptorNameOffset, s.data(), std::min<size_t>(s.size(), FileDescriptorNameChars - 1));
  FDescriptors.Add(descriptor, sizeof(descriptor));
}

void TFileDescriptorToFilenameStrings::Assign(TPersistent* source) {
  auto* strings = ObjectAs<TStrings>(source);
  if (!strings) {
    TStrings::Assign(source);
    return;
  }
  Clear();
  for (int i = 0; i < strings->Count(); ++i) Add(strings->Get(i));
}

TVirtualFileStreamDataFormat::TVirtualFileStreamDataFormat(TObject* owner, TClass cls)
    : TCustomDataFormat(owner, cls),
      FFileContentsFormat(new TFileContentsStreamOnDemandClipboardFormat),
      FFileGroupDescriptorFormat(new TFileGroupDescritorClipboardFormat) {
  // Its two clipboard formats are its own, not rows of the map.
  CompatibleFormats().Add(FFileContentsFormat);
  CompatibleFormats().Add(FFileGroupDescriptorFormat);
}

void TVirtualFileStreamDataFormat::ResetValue() {
  FDescriptors.Clear();
  FHasContents = false;
}

bool TVirtualFileStreamDataFormat::HasValue() {
  return FDescriptors.Count() > 0 && (FHasContents || FFileContentsFormat->OnGetStream.Assigned());
}

bool TVirtualFileStreamDataFormat::NeedsValue() { return !(FDescriptors.Count() > 0 && FHasContents); }

bool TVirtualFileStreamDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* contents = ObjectAs<TFileContentsStreamOnDemandClipboardFormat>(clipboardFormat)) {
    FHasContents = contents->HasValue();
    return true;
  }
  if (auto* group = ObjectAs<TFileGroupDescritorClipboardFormat>(clipboardFormat)) {
    FDescriptors.Clear();
    for (uint32_t i = 0; i < group->Count(); ++i) FDescriptors.Add(group->Record(i), FileDescriptorASize);
    return true;
  }
  return TCustomDataFormat::TakeFromClipboardFormat(clipboardFormat);
}

bool TVirtualFileStreamDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* group = ObjectAs<TFileGroupDescritorClipboardFormat>(clipboardFormat)) {
    if (FDescriptors.Count() == 0) return false;
    group->SetCount(static_cast<uint32_t>(FDescriptors.Count()));
    for (int i = 0; i < FDescriptors.Count(); ++i)
      std::memcpy(group->Record(static_cast<uint32_t>(i)), FDescriptors.Items(i), FileDescriptorASize);
    return true;
  }
  return TCustomDataFormat::GiveToClipboardFormat(clipboardFormat);
}

TFeedbackDataFormat::TFeedbackDataFormat(TObject* owner, TClass cls) : TCustomDataFormat(owner, cls) {}

void TFeedbackDataFormat::ResetValue() {
  NotifyChanging();
  // The logical effect and the target's class id survive a reset.
  PreferredDropEffect = PerformedDropEffect = PasteSucceeded = 0;
  InShellDragLoop = GotInShellDragLoop = false;
}

bool TFeedbackDataFormat::HasValue() {
  return PreferredDropEffect != 0 || PerformedDropEffect != 0 || PasteSucceeded != 0 || GotInShellDragLoop;
}

bool TFeedbackDataFormat::NeedsValue() {
  return PreferredDropEffect == 0 || PerformedDropEffect == 0 || PasteSucceeded == 0 || !GotInShellDragLoop;
}

bool TFeedbackDataFormat::TakeFromClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* loop = ObjectAs<TInShellDragLoopClipboardFormat>(clipboardFormat)) {
    InShellDragLoop = loop->Value() != 0;
    GotInShellDragLoop = true;
    return true;
  }
  if (auto* target = ObjectAs<TTargetCLSIDClipboardFormat>(clipboardFormat)) {
    TargetCLSID = target->CLSID();
    return true;
  }
  uint32_t* field = nullptr;
  if (ObjectAs<TPreferredDropEffectClipboardFormat>(clipboardFormat)) field = &PreferredDropEffect;
  else if (ObjectAs<TPerformedDropEffectClipboardFormat>(clipboardFormat)) field = &PerformedDropEffect;
  else if (ObjectAs<TLogicalPerformedDropEffectClipboardFormat>(clipboardFormat)) field = &LogicalPerformedDropEffect;
  else if (ObjectAs<TPasteSuccededClipboardFormat>(clipboardFormat)) field = &PasteSucceeded;
  if (!field) return TCustomDataFormat::TakeFromClipboardFormat(clipboardFormat);
  *field = static_cast<TCustomDWORDClipboardFormat*>(clipboardFormat)->Value();
  return true;
}

bool TFeedbackDataFormat::GiveToClipboardFormat(TClipboardFormat* clipboardFormat) {
  if (auto* loop = ObjectAs<TInShellDragLoopClipboardFormat>(clipboardFormat)) {
    loop->SetValue(InShellDragLoop ? 1 : 0);
    return true;
  }
  if (auto* target = ObjectAs<TTargetCLSIDClipboardFormat>(clipboardFormat)) {
    target->SetCLSID(TargetCLSID);
    return true;
  }
  uint32_t value = 0;
  if (ObjectAs<TPreferredDropEffectClipboardFormat>(clipboardFormat)) value = PreferredDropEffect;
  else if (ObjectAs<TPerformedDropEffectClipboardFormat>(clipboardFormat)) value = PerformedDropEffect;
  else if (ObjectAs<TLogicalPerformedDropEffectClipboardFormat>(clipboardFormat)) value = LogicalPerformedDropEffect;
  else if (ObjectAs<TPasteSuccededClipboardFormat>(clipboardFormat)) value = PasteSucceeded;
  else return TCustomDataFormat::GiveToClipboardFormat(clipboardFormat);
  static_cast<TCustomDWORDClipboardFormat*>(clipboardFormat)->SetValue(value);
  return true;
}

// ---------------------------------------------------------------------------
// Stream adapter

STDMETHODIMP TFixedStreamAdapter::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (!FSeeked) {
    // Whoever filled the stream left it at its end.
    LARGE_INTEGER start{};
    const HRESULT hr = Seek(start, STREAM_SEEK_SET, nullptr);
    if (FAILED(hr)) return hr;
  }
  return TStreamAdapter::Read(pv, cb, pcbRead);
}

STDMETHODIMP TFixedStreamAdapter::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) {
  FSeeked = true;
  return TStreamAdapter::Seek(dlibMove, dwOrigin, plibNewPosition);
}

STDMETHODIMP TFixedStreamAdapter::CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                         ULARGE_INTEGER* pcbWritten) {
  try {
    if (!pstm) return STG_E_INVALIDPOINTER;
    FSeeked = true;
    TStream& stream = *Stream();
    int64_t remaining = static_cast<int64_t>(cb.QuadPart);
    if (remaining < 0) {
      // "Everything": from the start when the stream sits at its end.
      if (stream.Position() == stream.Size()) stream.SetPosition(0);
      remaining = stream.Size() - stream.Position();
    }
    std::vector<uint8_t> buffer(static_cast<size_t>(std::clamp<int64_t>(remaining, 0, ReadPiece)));
    uint64_t totalRead = 0, totalWritten = 0;
    HRESULT result = S_OK;
    while (remaining > 0) {
      const int32_t piece = static_cast<int32_t>(std::min<int64_t>(remaining, static_cast<int64_t>(buffer.size())));
      const int32_t got = stream.Read(buffer.data(), piece);
      if (got <= 0) break;
      ULONG put = 0;
      result = pstm->Write(buffer.data(), static_cast<ULONG>(got), &put);
      totalRead += static_cast<uint64_t>(got);
      totalWritten += put;
      if (FAILED(result)) break;
      if (put < static_cast<ULONG>(got)) {
        result = E_FAIL;
        break;
      }
      remaining -= got;
    }
    if (pcbRead) pcbRead->QuadPart = totalRead;
    if (pcbWritten) pcbWritten->QuadPart = totalWritten;
    return result;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

IStream* StorageToStream(IStorage* storage) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 0);
  if (!block) return nullptr;
  ILockBytes* bytes = nullptr;
  IStorage* copy = nullptr;
  bool copied = false;
  if (SUCCEEDED(CreateILockBytesOnHGlobal(block, FALSE, &bytes)) &&
      SUCCEEDED(StgCreateDocfileOnILockBytes(bytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &copy)))
    copied = SUCCEEDED(storage->CopyTo(0, nullptr, nullptr, copy)) && SUCCEEDED(copy->Commit(STGC_DEFAULT));
  // The compound file is complete in the block once both are released.
  if (copy) copy->Release();
  if (bytes) bytes->Release();
  IStream* stream = nullptr;
  if (!copied || FAILED(CreateStreamOnHGlobal(block, TRUE, &stream))) {
    GlobalFree(block);
    return nullptr;
  }
  return stream;
}

// ---------------------------------------------------------------------------
// Unit start-up

namespace {

void FormatsInitialize() {
  DragDropCoreUnit.Start();
  AddDataFormatClass(&TDataStreamDataFormat::ClassInfo);
  AddDataFormatClass(&TVirtualFileStreamDataFormat::ClassInfo);
  const TFormatDirections both{TFormatDirection::fdWrite, TFormatDirection::fdRead};
  const TFormatDirections write{TFormatDirection::fdWrite};
  const TFormatDirections read{TFormatDirection::fdRead};
  TClass feedback = &TFeedbackDataFormat::ClassInfo;
  AddFormatPair(feedback, &TPreferredDropEffectClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(feedback, &TPerformedDropEffectClipboardFormat::ClassInfo, 0, both, read);
  AddFormatPair(feedback, &TPasteSuccededClipboardFormat::ClassInfo, 0, both, read);
  AddFormatPair(feedback, &TInShellDragLoopClipboardFormat::ClassInfo, 0, both, write);
  AddFormatPair(feedback, &TTargetCLSIDClipboardFormat::ClassInfo, 0, both, read);
  AddFormatPair(feedback, &TLogicalPerformedDropEffectClipboardFormat::ClassInfo, 0, both, read);
  AddFormatPair(&TDataStreamDataFormat::ClassInfo, &TFileContentsStreamClipboardFormat::ClassInfo, 0, read, write);
}

void FormatsFinalize() {
  for (TClass cls : {&TDataStreamDataFormat::ClassInfo, &TVirtualFileStreamDataFormat::ClassInfo,
                     &TFeedbackDataFormat::ClassInfo})
    ForgetDataFormatClass(cls);
  for (TClass cls : {&TTextClipboardFormat::ClassInfo, &TFileGroupDescritorClipboardFormat::ClassInfo,
                     &TFileGroupDescritorWClipboardFormat::ClassInfo, &TFileContentsClipboardFormat::ClassInfo,
                     &TFileContentsStreamClipboardFormat::ClassInfo,
                     &TFileContentsStreamOnDemandClipboardFormat::ClassInfo,
                     &TCustomFeedbackClipboardFormat::ClassInfo, &TTargetCLSIDClipboardFormat::ClassInfo})
    ForgetClipboardFormatClass(cls);
  DragDropCoreUnit.Stop();
}

TDragDropUnitStarter FormatsStarter(DragDropFormatsUnit);

}  // namespace

constinit TDragDropUnit DragDropFormatsUnit(FormatsInitialize, FormatsFinalize);
