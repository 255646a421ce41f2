#include "vtree/TreeDataObject.h"

#include "vtree/TreeStreamFormat.h"
#include "vtree/VirtualTree.h"

#include <cstring>

const TClassInfo TVTDataObject::ClassInfo{"TVTDataObject", &TObject::ClassInfo, nullptr};
const TClassInfo TEnumFormatEtc::ClassInfo{"TEnumFormatEtc", &TObject::ClassInfo, nullptr};

bool SameFormatEtc(const FORMATETC& A, const FORMATETC& B) {
  return A.cfFormat == B.cfFormat && A.ptd == B.ptd && A.dwAspect == B.dwAspect && A.lindex == B.lindex &&
         (A.tymed & B.tymed) != 0;
}

namespace {

HGLOBAL CloneGlobal(HGLOBAL Source) {
  const SIZE_T size = GlobalSize(Source);
  HGLOBAL copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE, size);
  if (!copy) return nullptr;
  const void* from = GlobalLock(Source);
  void* to = GlobalLock(copy);
  if (from && to && size) std::memcpy(to, from, size);
  if (to) GlobalUnlock(copy);
  if (from) GlobalUnlock(Source);
  return copy;
}

}  // namespace

HRESULT StgMediumCopy(const STGMEDIUM& Source, STGMEDIUM& Destination, IUnknown* ReleaseObject, bool Deep) {
  Destination = Source;
  switch (Source.tymed) {
    case TYMED_HGLOBAL:
      if (Deep) {
        Destination.hGlobal = CloneGlobal(Source.hGlobal);
        if (!Destination.hGlobal) return E_OUTOFMEMORY;
        Destination.pUnkForRelease = nullptr;
      } else {
        Destination.pUnkForRelease = ReleaseObject;
      }
      break;
    case TYMED_FILE: {
      const size_t length = Source.lpszFileName ? wcslen(Source.lpszFileName) + 1 : 1;
      Destination.lpszFileName = static_cast<LPOLESTR>(CoTaskMemAlloc(length * sizeof(wchar_t)));
      if (!Destination.lpszFileName) return E_OUTOFMEMORY;
      if (Source.lpszFileName) std::memcpy(Destination.lpszFileName, Source.lpszFileName, length * sizeof(wchar_t));
      else Destination.lpszFileName[0] = 0;
      break;
    }
    case TYMED_ISTREAM:
      if (Destination.pstm) Destination.pstm->AddRef();
      break;
    case TYMED_ISTORAGE:
      if (Destination.pstg) Destination.pstg->AddRef();
      break;
    case TYMED_GDI:
    case TYMED_MFPICT:
    case TYMED_ENHMF:
      if (Deep) return DV_E_TYMED;
      Destination.pUnkForRelease = ReleaseObject;
      break;
    default:
      return DV_E_TYMED;
  }
  if (Destination.pUnkForRelease) Destination.pUnkForRelease->AddRef();
  return S_OK;
}

// --- the data object --------------------------------------------------------------------------

TVTDataObject::TVTDataObject(TBaseVirtualTree* AOwner, bool ForClipboard) : FOwner(AOwner), FForClipboard(ForClipboard) {
  if (AOwner) AOwner->CollectClipboardFormats(FFormatEtcArray);
}

TVTDataObject::~TVTDataObject() {
  TBaseVirtualTree* owner = FOwner.Get();
  if (FForClipboard && owner && !owner->TreeStates().Contains(TVirtualTreeState::tsClipboardFlushing))
    GuardCallback([owner] { owner->FlushClipboard(); });
  for (TStoredMedium& stored : FInternalStgMediumArray)
    if (stored.Medium.tymed != TYMED_NULL) ReleaseStgMedium(&stored.Medium);
}

HRESULT TVTDataObject::RenderStoredMedium(const FORMATETC& Format, STGMEDIUM& Medium) {
  for (TStoredMedium& stored : FInternalStgMediumArray)
    if (stored.Format == Format.cfFormat && stored.Medium.tymed != TYMED_NULL)
      return StgMediumCopy(stored.Medium, Medium, static_cast<IDataObject*>(this), false);
  return DV_E_FORMATETC;
}

STDMETHODIMP TVTDataObject::GetData(FORMATETC* FormatEtcIn, STGMEDIUM* Medium) {
  if (!FormatEtcIn || !Medium) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    *Medium = STGMEDIUM{};
    TBaseVirtualTree* owner = FOwner.Get();
    if (FormatEtcIn->cfFormat == VirtualTreeReferenceFormat()) {
      if (!owner || owner->TreeStates().Contains(TVirtualTreeState::tsClipboardFlushing)) return E_FAIL;
      const std::vector<uint8_t> block = MakeTreeReferenceBlock(GetCurrentProcessId(), owner);
      HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, block.size());
      if (!global) return E_OUTOFMEMORY;
      std::memcpy(GlobalLock(global), block.data(), block.size());
      GlobalUnlock(global);
      Medium->tymed = TYMED_HGLOBAL;
      Medium->hGlobal = global;
      return S_OK;
    }
    const HRESULT query = QueryGetData(FormatEtcIn);
    if (query != S_OK) return query;
    for (const FORMATETC& format : FFormatEtcArray) {
      if (!SameFormatEtc(format, *FormatEtcIn)) continue;
      for (const TStoredMedium& stored : FInternalStgMediumArray)
        if (stored.Format == format.cfFormat && stored.Medium.tymed != TYMED_NULL)
          return RenderStoredMedium(*FormatEtcIn, *Medium);
      if (!owner) return E_FAIL;
      const HRESULT result = owner->RenderOLEData(*FormatEtcIn, *Medium, FForClipboard);
      if (FAILED(result)) *Medium = STGMEDIUM{};
      return result;
    }
    return DV_E_FORMATETC;
  }, this);
}

STDMETHODIMP TVTDataObject::GetDataHere(FORMATETC*, STGMEDIUM*) { return E_NOTIMPL; }

STDMETHODIMP TVTDataObject::QueryGetData(FORMATETC* FormatEtc) {
  if (!FormatEtc) return E_POINTER;
  HRESULT result = DV_E_CLIPFORMAT;
  for (const FORMATETC& format : FFormatEtcArray) {
    if (format.cfFormat != FormatEtc->cfFormat) continue;
    if ((format.tymed & FormatEtc->tymed) == 0) result = DV_E_TYMED;
    else if (format.dwAspect != FormatEtc->dwAspect) result = DV_E_DVASPECT;
    else if (format.lindex != FormatEtc->lindex) result = DV_E_LINDEX;
    else return S_OK;
  }
  return result;
}

STDMETHODIMP TVTDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) { return DATA_S_SAMEFORMATETC; }

STDMETHODIMP TVTDataObject::SetData(FORMATETC* FormatEtc, STGMEDIUM* Medium, BOOL Release) {
  if (!FormatEtc || !Medium) return E_POINTER;
  return GuardComCall([&]() -> HRESULT {
    bool listed = false;
    for (const FORMATETC& format : FFormatEtcArray)
      if (SameFormatEtc(format, *FormatEtc)) listed = true;
    TStoredMedium* entry = nullptr;
    for (TStoredMedium& stored : FInternalStgMediumArray)
      if (stored.Format == FormatEtc->cfFormat) entry = &stored;
    if (!listed) FFormatEtcArray.push_back(*FormatEtc);
    if (entry && entry->Medium.tymed != TYMED_NULL) ReleaseStgMedium(&entry->Medium);
    if (!entry) {
      FInternalStgMediumArray.push_back({FormatEtc->cfFormat, STGMEDIUM{}});
      entry = &FInternalStgMediumArray.back();
    }
    entry->Medium = STGMEDIUM{};
    HRESULT result = S_OK;
    if (Release) {
      entry->Medium = *Medium;
    } else {
      result = StgMediumCopy(*Medium, entry->Medium, static_cast<IDataObject*>(this), true);
      // A medium released through this object would keep it alive forever.
      if (SUCCEEDED(result) && entry->Medium.pUnkForRelease) {
        TComPtr<IUnknown> self, other;
        QueryInterface(IID_IUnknown, reinterpret_cast<void**>(self.Put()));
        entry->Medium.pUnkForRelease->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(other.Put()));
        if (self.Get() == other.Get()) {
          entry->Medium.pUnkForRelease->Release();
          entry->Medium.pUnkForRelease = nullptr;
        }
      }
      if (FAILED(result)) entry->Medium = STGMEDIUM{};
    }
    if (FAdviseHolder) FAdviseHolder->SendOnDataChange(this, 0, 0);
    return result;
  }, this);
}

STDMETHODIMP TVTDataObject::EnumFormatEtc(DWORD Direction, IEnumFORMATETC** EnumFormatEtc) {
  if (!EnumFormatEtc) return E_POINTER;
  *EnumFormatEtc = nullptr;
  if (Direction != DATADIR_GET) return OLE_S_USEREG;
  return GuardComCall([&]() -> HRESULT {
    *EnumFormatEtc = new TEnumFormatEtc(FFormatEtcArray);
    (*EnumFormatEtc)->AddRef();
    return S_OK;
  }, this);
}

STDMETHODIMP TVTDataObject::DAdvise(FORMATETC* FormatEtc, DWORD Flags, IAdviseSink* Sink, DWORD* Connection) {
  if (!FAdviseHolder) {
    const HRESULT created = CreateDataAdviseHolder(FAdviseHolder.Put());
    if (FAILED(created)) return created;
  }
  return FAdviseHolder->Advise(this, FormatEtc, Flags, Sink, Connection);
}

STDMETHODIMP TVTDataObject::DUnadvise(DWORD Connection) {
  return FAdviseHolder ? FAdviseHolder->Unadvise(Connection) : E_NOTIMPL;
}

STDMETHODIMP TVTDataObject::EnumDAdvise(IEnumSTATDATA** EnumAdvise) {
  if (!EnumAdvise) return E_POINTER;
  *EnumAdvise = nullptr;
  return FAdviseHolder ? FAdviseHolder->EnumAdvise(EnumAdvise) : OLE_E_ADVISENOTSUPPORTED;
}

// --- the enumerator ---------------------------------------------------------------------------

STDMETHODIMP TEnumFormatEtc::Next(ULONG Count, FORMATETC* Elements, ULONG* Fetched) {
  if (!Elements && Count) return E_POINTER;
  ULONG copied = 0;
  while (copied < Count && FCurrentIndex < FFormatEtcArray.size()) Elements[copied++] = FFormatEtcArray[FCurrentIndex++];
  if (Fetched) *Fetched = copied;
  return copied > 0 ? S_OK : S_FALSE;
}

STDMETHODIMP TEnumFormatEtc::Skip(ULONG Count) {
  if (FCurrentIndex + Count > FFormatEtcArray.size()) return S_FALSE;
  FCurrentIndex += Count;
  return S_OK;
}

STDMETHODIMP TEnumFormatEtc::Reset() {
  FCurrentIndex = 0;
  return S_OK;
}

STDMETHODIMP TEnumFormatEtc::Clone(IEnumFORMATETC** Enum) {
  if (!Enum) return E_POINTER;
  *Enum = nullptr;
  return GuardComCall([&]() -> HRESULT {
    *Enum = new TEnumFormatEtc(FFormatEtcArray, FCurrentIndex);
    (*Enum)->AddRef();
    return S_OK;
  }, this);
}
