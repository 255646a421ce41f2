#include "tests/dragdrop/FakeDataObject.h"

#include "dragdrop/DragDropFormats.h"

#include <shlobj.h>

#include <cstring>

namespace {

// A stream that reports `claimed` bytes in Stat whatever it holds.
class ClaimingStream : public TFixedStreamAdapter {
public:
  ClaimingStream(TStream* stream, uint64_t claimed) : TFixedStreamAdapter(stream, soOwned), FClaimed(claimed) {}
  HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override {
    const HRESULT hr = TFixedStreamAdapter::Stat(stat, flags);
    if (SUCCEEDED(hr) && FClaimed) stat->cbSize.QuadPart = FClaimed;
    return hr;
  }

private:
  uint64_t FClaimed;
};

DWORD TymedOf(FakeMedium medium) {
  switch (medium) {
    case FakeMedium::Global: return TYMED_HGLOBAL;
    case FakeMedium::Stream: return TYMED_ISTREAM;
    case FakeMedium::Storage: return TYMED_ISTORAGE;
  }
  return 0;
}

std::string BytesOfMedium(const STGMEDIUM& medium) {
  if (medium.tymed == TYMED_HGLOBAL) {
    const SIZE_T size = GlobalSize(medium.hGlobal);
    const auto* data = static_cast<const char*>(GlobalLock(medium.hGlobal));
    std::string bytes(data, size);
    GlobalUnlock(medium.hGlobal);
    return bytes;
  }
  if (medium.tymed == TYMED_ISTREAM) return ReadAllOfStream(medium.pstm);
  return std::string();
}

}  // namespace

void FakeDataObject::Offer(CLIPFORMAT format, const std::string& bytes, FakeMedium medium, LONG index,
                           uint64_t claimedSize) {
  Entries.push_back(Entry{format, index, medium, bytes, claimedSize, true});
}

const FakeDataObject::Entry* FakeDataObject::Find(const FORMATETC& format) const {
  for (const Entry& e : Entries)
    if (e.Format == format.cfFormat && e.Index == format.lindex && (format.tymed & TymedOf(e.Medium))) return &e;
  return nullptr;
}

HRESULT STDMETHODCALLTYPE FakeDataObject::QueryInterface(REFIID riid, void** object) {
  if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
    *object = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE FakeDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!CanEnumerate || direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (const Entry& e : Entries)
    formats.push_back(FORMATETC{e.Format, nullptr, DVASPECT_CONTENT, e.Index, TymedOf(e.Medium)});
  return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
}

HRESULT STDMETHODCALLTYPE FakeDataObject::QueryGetData(FORMATETC* format) {
  QueriedMedia.push_back(format->tymed);
  return Find(*format) ? S_OK : DV_E_FORMATETC;
}

HRESULT STDMETHODCALLTYPE FakeDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  RequestedIndexes.push_back(format->lindex);
  const Entry* e = Find(*format);
  if (!e) return DV_E_FORMATETC;
  *medium = STGMEDIUM{};
  switch (e->Medium) {
    case FakeMedium::Global: {
      HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, e->Bytes.size());
      if (!e->Bytes.empty()) {
        std::memcpy(GlobalLock(handle), e->Bytes.data(), e->Bytes.size());
        GlobalUnlock(handle);
      }
      medium->tymed = TYMED_HGLOBAL;
      medium->hGlobal = handle;
      return S_OK;
    }
    case FakeMedium::Stream: {
      auto* stream = new TMemoryStream;
      stream->WriteBuffer(e->Bytes.data(), static_cast<int64_t>(e->Bytes.size()));
      IStream* adapter = new ClaimingStream(stream, e->ClaimedSize);
      adapter->AddRef();
      LARGE_INTEGER zero{};
      adapter->Seek(zero, e->AtEnd ? STREAM_SEEK_END : STREAM_SEEK_SET, nullptr);
      medium->tymed = TYMED_ISTREAM;
      medium->pstm = adapter;
      return S_OK;
    }
    case FakeMedium::Storage:
      medium->tymed = TYMED_ISTORAGE;
      medium->pstg = MakeStorage(e->Bytes);
      return medium->pstg ? S_OK : E_FAIL;
  }
  return E_FAIL;
}

HRESULT STDMETHODCALLTYPE FakeDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
  ReceivedData.emplace_back(format->cfFormat, BytesOfMedium(*medium));
  if (release) ReleaseStgMedium(medium);
  return S_OK;
}

std::string FakeDataObject::ReceivedBytes(CLIPFORMAT format) const {
  for (const auto& [f, bytes] : ReceivedData)
    if (f == format) return bytes;
  return std::string();
}

bool FakeDataObject::Received(CLIPFORMAT format) const {
  for (const auto& entry : ReceivedData)
    if (entry.first == format) return true;
  return false;
}

std::string ReadAllOfStream(IStream* stream) {
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  std::string bytes;
  char buffer[4096];
  for (;;) {
    ULONG got = 0;
    if (FAILED(stream->Read(buffer, sizeof(buffer), &got)) || got == 0) break;
    bytes.append(buffer, got);
  }
  return bytes;
}

IStorage* MakeStorage(const std::string& bytes) {
  ILockBytes* lockBytes = nullptr;
  IStorage* storage = nullptr;
  if (FAILED(CreateILockBytesOnHGlobal(nullptr, TRUE, &lockBytes))) return nullptr;
  if (SUCCEEDED(StgCreateDocfileOnILockBytes(lockBytes, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                             &storage))) {
    IStream* stream = nullptr;
    if (SUCCEEDED(storage->CreateStream(L"Contents", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                        &stream))) {
      ULONG written = 0;
      stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
      stream->Release();
    }
    storage->Commit(STGC_DEFAULT);
  }
  lockBytes->Release();
  return storage;
}

std::string ContentsOfCompoundFile(const std::string& bytes) {
  HGLOBAL handle = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  std::memcpy(GlobalLock(handle), bytes.data(), bytes.size());
  GlobalUnlock(handle);
  ILockBytes* lockBytes = nullptr;
  std::string contents;
  if (SUCCEEDED(CreateILockBytesOnHGlobal(handle, TRUE, &lockBytes))) {
    IStorage* storage = nullptr;
    if (SUCCEEDED(StgOpenStorageOnILockBytes(lockBytes, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0,
                                             &storage))) {
      IStream* stream = nullptr;
      if (SUCCEEDED(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream))) {
        contents = ReadAllOfStream(stream);
        stream->Release();
      }
      storage->Release();
    }
    lockBytes->Release();
  } else {
    GlobalFree(handle);
  }
  return contents;
}
