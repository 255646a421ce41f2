// The data object a tree hands to the clipboard (and, later, to OLE drags):
// it offers the tree's clipboard formats, renders each on request through the
// tree, answers "Virtual Tree Reference" itself and keeps what others store
// into it. It holds its tree weakly: once the tree is gone it renders nothing.
#pragma once

#include "platform/Interfaced.h"
#include "platform/Object.h"
#include "platform/Win32.h"

#include <ole2.h>

#include <vector>

class TBaseVirtualTree;

using TFormatEtcArray = std::vector<FORMATETC>;

// Same id, device, aspect and index, and a medium kind in common.
bool SameFormatEtc(const FORMATETC& A, const FORMATETC& B);
// Copies a medium: HGLOBAL blocks cloned with Deep, else shared with
// ReleaseObject as their release object; streams and storages referenced.
HRESULT StgMediumCopy(const STGMEDIUM& Source, STGMEDIUM& Destination, IUnknown* ReleaseObject, bool Deep);

class TVTDataObject : public TInterfacedObject<IDataObject> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TVTDataObject(TBaseVirtualTree* AOwner, bool ForClipboard);
  ~TVTDataObject() override;

  TBaseVirtualTree* Owner() const { return FOwner.Get(); }
  bool ForClipboard() const { return FForClipboard; }
  const TFormatEtcArray& Formats() const { return FFormatEtcArray; }

  STDMETHODIMP GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) override;
  STDMETHODIMP GetDataHere(FORMATETC* FormatEtc, STGMEDIUM* Medium) override;
  STDMETHODIMP QueryGetData(FORMATETC* FormatEtc) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC* FormatEtc, FORMATETC* FormatEtcOut) override;
  STDMETHODIMP SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL Release) override;
  STDMETHODIMP EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) override;
  STDMETHODIMP DAdvise(FORMATETC* FormatEtc, DWORD Flags, IAdviseSink* Sink, DWORD* Connection) override;
  STDMETHODIMP DUnadvise(DWORD Connection) override;
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA** EnumAdvise) override;

private:
  struct TStoredMedium {
    CLIPFORMAT Format;
    STGMEDIUM Medium;
  };
  HRESULT RenderStoredMedium(const FORMATETC& Format, STGMEDIUM& Medium);

  TWeakLink<TBaseVirtualTree> FOwner;
  bool FForClipboard;
  TFormatEtcArray FFormatEtcArray;
  std::vector<TStoredMedium> FInternalStgMediumArray;
  TComPtr<IDataAdviseHolder> FAdviseHolder;
};

// Enumerates a copy of a data object's formats.
class TEnumFormatEtc : public TInterfacedObject<IEnumFORMATETC> {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TEnumFormatEtc(TFormatEtcArray Formats, size_t Index = 0) : FFormatEtcArray(std::move(Formats)), FCurrentIndex(Index) {}

  STDMETHODIMP Next(ULONG Count, FORMATETC* Elements, ULONG* Fetched) override;
  STDMETHODIMP Skip(ULONG Count) override;
  STDMETHODIMP Reset() override;
  STDMETHODIMP Clone(IEnumFORMATETC** Enum) override;

private:
  TFormatEtcArray FFormatEtcArray;
  size_t FCurrentIndex;
};
