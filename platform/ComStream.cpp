#include "platform/ComStream.h"

#include "platform/Exceptions.h"

#include <algorithm>
#include <vector>

const TClassInfo TStreamAdapter::ClassInfo{"TStreamAdapter", &TObject::ClassInfo, nullptr};
const TClassInfo TOleStream::ClassInfo{"TOleStream", &TStream::ClassInfo, nullptr};

TStreamAdapter::TStreamAdapter(TStream* stream, TStreamOwnership ownership) : FStream(stream), FOwnership(ownership) {}

TStreamAdapter::~TStreamAdapter() {
  if (FOwnership == soOwned) Free(FStream);
}

STDMETHODIMP TStreamAdapter::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  return GuardComCall([&]() -> HRESULT {
    const int32_t n = FStream->Read(pv, static_cast<int32_t>(std::min<ULONG>(cb, 0x7FFFFFFF)));
    if (pcbRead) *pcbRead = static_cast<ULONG>(std::max(n, 0));
    // A short read is still a success, as with the system's own streams;
    // readers that mind compare the count.
    return S_OK;
  }, this);
}

STDMETHODIMP TStreamAdapter::Write(const void* pv, ULONG cb, ULONG* pcbWritten) {
  if (pcbWritten) *pcbWritten = 0;
  if (!pv) return STG_E_INVALIDPOINTER;
  return GuardComCall([&]() -> HRESULT {
    const int32_t n = FStream->Write(pv, static_cast<int32_t>(std::min<ULONG>(cb, 0x7FFFFFFF)));
    if (pcbWritten) *pcbWritten = static_cast<ULONG>(std::max(n, 0));
    return static_cast<ULONG>(std::max(n, 0)) == cb ? S_OK : STG_E_CANTSAVE;
  }, this);
}

STDMETHODIMP TStreamAdapter::Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) {
  if (dwOrigin > STREAM_SEEK_END) return STG_E_INVALIDFUNCTION;
  return GuardComCall([&]() -> HRESULT {
    const TSeekOrigin origin = dwOrigin == STREAM_SEEK_SET   ? TSeekOrigin::soBeginning
                               : dwOrigin == STREAM_SEEK_CUR ? TSeekOrigin::soCurrent
                                                             : TSeekOrigin::soEnd;
    const int64_t position = FStream->Seek(dlibMove.QuadPart, origin);
    if (position < 0) return STG_E_INVALIDFUNCTION;
    if (plibNewPosition) plibNewPosition->QuadPart = static_cast<ULONGLONG>(position);
    return S_OK;
  }, this);
}

STDMETHODIMP TStreamAdapter::SetSize(ULARGE_INTEGER libNewSize) {
  return GuardComCall([&]() -> HRESULT {
    FStream->SetSize(static_cast<int64_t>(libNewSize.QuadPart));
    return FStream->Size() == static_cast<int64_t>(libNewSize.QuadPart) ? S_OK : E_FAIL;
  }, this);
}

STDMETHODIMP TStreamAdapter::CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                                    ULARGE_INTEGER* pcbWritten) {
  if (pcbRead) pcbRead->QuadPart = 0;
  if (pcbWritten) pcbWritten->QuadPart = 0;
  if (!pstm) return STG_E_INVALIDPOINTER;
  return GuardComCall([&]() -> HRESULT {
    std::vector<uint8_t> buffer(0x10000);
    uint64_t left = cb.QuadPart, read = 0, written = 0;
    HRESULT result = S_OK;
    while (left > 0) {
      const int32_t n = FStream->Read(buffer.data(), static_cast<int32_t>(std::min<uint64_t>(left, buffer.size())));
      if (n <= 0) break;
      read += static_cast<uint64_t>(n);
      left -= static_cast<uint64_t>(n);
      ULONG w = 0;
      result = pstm->Write(buffer.data(), static_cast<ULONG>(n), &w);
      written += w;
      if (FAILED(result) || w != static_cast<ULONG>(n)) {
        if (SUCCEEDED(result)) result = STG_E_MEDIUMFULL;
        break;
      }
    }
    if (pcbRead) pcbRead->QuadPart = read;
    if (pcbWritten) pcbWritten->QuadPart = written;
    return result;
  }, this);
}

STDMETHODIMP TStreamAdapter::Commit(DWORD) { return S_OK; }

STDMETHODIMP TStreamAdapter::Revert() { return STG_E_REVERTED; }

STDMETHODIMP TStreamAdapter::LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

STDMETHODIMP TStreamAdapter::UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) { return STG_E_INVALIDFUNCTION; }

STDMETHODIMP TStreamAdapter::Stat(STATSTG* pstatstg, DWORD) {
  if (!pstatstg) return STG_E_INVALIDPOINTER;
  return GuardComCall([&]() -> HRESULT {
    ZeroMemory(pstatstg, sizeof *pstatstg);
    pstatstg->type = STGTY_STREAM;
    pstatstg->cbSize.QuadPart = static_cast<ULONGLONG>(FStream->Size());
    pstatstg->grfMode = STGM_READWRITE;
    pstatstg->grfLocksSupported = 0;
    return S_OK;
  }, this);
}

STDMETHODIMP TStreamAdapter::Clone(IStream** ppstm) {
  if (ppstm) *ppstm = nullptr;
  return E_NOTIMPL;
}

int32_t TOleStream::Read(void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ULONG n = 0;
  OleCheck(FStream->Read(buffer, static_cast<ULONG>(count), &n));
  // A foreign stream's count is not trusted past the buffer it was given.
  return static_cast<int32_t>(std::min<ULONG>(n, static_cast<ULONG>(count)));
}

int32_t TOleStream::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  ULONG n = 0;
  OleCheck(FStream->Write(buffer, static_cast<ULONG>(count), &n));
  return static_cast<int32_t>(std::min<ULONG>(n, static_cast<ULONG>(count)));
}

int64_t TOleStream::Seek(int64_t offset, TSeekOrigin origin) {
  LARGE_INTEGER move;
  move.QuadPart = offset;
  ULARGE_INTEGER position{};
  const DWORD how = origin == TSeekOrigin::soBeginning ? STREAM_SEEK_SET
                    : origin == TSeekOrigin::soCurrent ? STREAM_SEEK_CUR
                                                       : STREAM_SEEK_END;
  OleCheck(FStream->Seek(move, how, &position));
  return static_cast<int64_t>(position.QuadPart);
}

void TOleStream::SetSize(int64_t size) {
  ULARGE_INTEGER s;
  s.QuadPart = static_cast<ULONGLONG>(size < 0 ? 0 : size);
  OleCheck(FStream->SetSize(s));
}
