// Adapters between our streams and COM IStream, both ways.
#pragma once

#include "platform/Interfaced.h"
#include "platform/Stream.h"

#include <objidl.h>

enum class TStreamOwnership { soReference, soOwned };
using enum TStreamOwnership;

// Our stream seen as an IStream (for OLE data transfer, GDI+, MSXML). With
// soOwned the adapter frees the stream with itself. A short read answers S_OK
// with the count read; exceptions become HRESULTs at every method.
class TStreamAdapter : public TInterfacedObject<IStream> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TStreamAdapter(TStream* stream, TStreamOwnership ownership = soReference);
  ~TStreamAdapter() override;
  TStream* Stream() const { return FStream; }

  STDMETHODIMP Read(void* pv, ULONG cb, ULONG* pcbRead) override;
  STDMETHODIMP Write(const void* pv, ULONG cb, ULONG* pcbWritten) override;
  STDMETHODIMP Seek(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override;
  STDMETHODIMP SetSize(ULARGE_INTEGER libNewSize) override;
  STDMETHODIMP CopyTo(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead, ULARGE_INTEGER* pcbWritten) override;
  STDMETHODIMP Commit(DWORD grfCommitFlags) override;
  STDMETHODIMP Revert() override;
  STDMETHODIMP LockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) override;
  STDMETHODIMP UnlockRegion(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) override;
  STDMETHODIMP Stat(STATSTG* pstatstg, DWORD grfStatFlag) override;
  STDMETHODIMP Clone(IStream** ppstm) override;

private:
  TStream* FStream;
  TStreamOwnership FOwnership;
};

// An IStream seen as our stream. Failed calls raise EOleSysError with the
// HRESULT; a short read is just a short read (ReadBuffer raises on it).
class TOleStream : public TStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TOleStream(IStream* stream) : FStream(stream) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  void SetSize(int64_t size) override;
  IStream* GetIStream() const { return FStream.Get(); }

private:
  TComPtr<IStream> FStream;
};
