// A small data object for the format tests: it offers blocks in the medium a
// test chooses, records what it was asked and keeps what it was given.
#pragma once

#include "platform/Win32.h"

#include <ole2.h>

#include <cstdint>
#include <string>
#include <vector>

enum class FakeMedium { Global, Stream, Storage };

class FakeDataObject : public IDataObject {
public:
  struct Entry {
    CLIPFORMAT Format;
    LONG Index;
    FakeMedium Medium;
    std::string Bytes;
    // For streams: what Stat reports (the real size when 0).
    uint64_t ClaimedSize;
    // For streams: left at the end, as many producers do.
    bool AtEnd;
  };

  FakeDataObject() = default;
  virtual ~FakeDataObject() = default;

  void Offer(CLIPFORMAT format, const std::string& bytes, FakeMedium medium = FakeMedium::Global, LONG index = -1,
             uint64_t claimedSize = 0);
  // What SetData handed over, by format.
  std::string ReceivedBytes(CLIPFORMAT format) const;
  bool Received(CLIPFORMAT format) const;

  std::vector<Entry> Entries;
  std::vector<std::pair<CLIPFORMAT, std::string>> ReceivedData;
  std::vector<DWORD> QueriedMedia;  // tymed of every QueryGetData
  std::vector<LONG> RequestedIndexes;  // lindex of every GetData
  LONG RefCount = 1;
  bool CanEnumerate = true;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++RefCount); }
  ULONG STDMETHODCALLTYPE Release() override { return static_cast<ULONG>(--RefCount); }
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  // Lists the offered formats (the drop targets ask before reading) unless
  // CanEnumerate is off.
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
  const Entry* Find(const FORMATETC& format) const;
};

// The bytes of a stream, read from its start.
std::string ReadAllOfStream(IStream* stream);
// The bytes of the stream "Contents" inside a compound file held in `bytes`.
std::string ContentsOfCompoundFile(const std::string& bytes);
// A compound file (as a storage) with one stream "Contents" holding `bytes`.
IStorage* MakeStorage(const std::string& bytes);
