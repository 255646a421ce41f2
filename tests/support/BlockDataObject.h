// A data object for drag, drop and clipboard tests: it offers fixed blocks,
// one a format, in HGLOBAL form, lists them, and keeps what SetData hands it.
#pragma once

#include "platform/Interfaced.h"

#include <ole2.h>

#include <map>
#include <string>

namespace testing_support {

class TBlockDataObject : public TInterfacedObject<IDataObject> {
public:
  std::map<CLIPFORMAT, std::string> Blocks;
  // What SetData handed over, by format.
  std::map<CLIPFORMAT, std::string> Received;

  STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
  STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  STDMETHODIMP QueryGetData(FORMATETC* format) override;
  STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
    if (out) out->ptd = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
  STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
};

// The bytes of an HGLOBAL, all of it.
std::string GlobalBytes(HGLOBAL global);

}  // namespace testing_support
