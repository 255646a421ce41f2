#include "tests/support/BlockDataObject.h"

#include <cstring>
#include <vector>

namespace testing_support {
namespace {
// Lists the offered formats, each in HGLOBAL form.
class TBlockFormats : public TInterfacedObject<IEnumFORMATETC> {
public:
  explicit TBlockFormats(std::vector<FORMATETC> formats, size_t at = 0) : FFormats(std::move(formats)), FAt(at) {}
  STDMETHODIMP Next(ULONG count, FORMATETC* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    ULONG given = 0;
    while (given < count && FAt < FFormats.size()) out[given++] = FFormats[FAt++];
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = FFormats.size() - FAt;
    FAt += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    FAt = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(IEnumFORMATETC** out) override {
    if (!out) return E_POINTER;
    *out = new TBlockFormats(FFormats, FAt);
    (*out)->AddRef();
    return S_OK;
  }

private:
  std::vector<FORMATETC> FFormats;
  size_t FAt;
};
}  // namespace

std::string GlobalBytes(HGLOBAL global) {
  const auto* bytes = static_cast<const char*>(GlobalLock(global));
  std::string result(bytes ? bytes : "", bytes ? GlobalSize(global) : 0);
  GlobalUnlock(global);
  return result;
}

STDMETHODIMP TBlockDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_POINTER;
  auto it = Blocks.find(format->cfFormat);
  if (it == Blocks.end() || !(format->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
  HGLOBAL global = GlobalAlloc(GMEM_MOVEABLE, it->second.empty() ? 1 : it->second.size());
  if (!global) return E_OUTOFMEMORY;
  std::memcpy(GlobalLock(global), it->second.data(), it->second.size());
  GlobalUnlock(global);
  *medium = STGMEDIUM{};
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = global;
  return S_OK;
}

STDMETHODIMP TBlockDataObject::QueryGetData(FORMATETC* format) {
  if (!format) return E_POINTER;
  return Blocks.count(format->cfFormat) && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
}

STDMETHODIMP TBlockDataObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
  if (!format || !medium) return E_POINTER;
  if (medium->tymed != TYMED_HGLOBAL) return DV_E_TYMED;
  Received[format->cfFormat] = GlobalBytes(medium->hGlobal);
  if (release) ReleaseStgMedium(medium);
  return S_OK;
}

STDMETHODIMP TBlockDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  if (direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (const auto& entry : Blocks) formats.push_back({entry.first, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  *out = new TBlockFormats(std::move(formats));
  (*out)->AddRef();
  return S_OK;
}

}  // namespace testing_support
