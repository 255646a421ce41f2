#include "platform/Metafile.h"

#include <cstring>

const TClassInfo TMetafile::ClassInfo = {"TMetafile", &TGraphic::ClassInfo,
                                         [](TObject*) -> TObject* { return new TMetafile(); }};

TMetafile::~TMetafile() { Clear(); }

void TMetafile::Clear() {
  if (FHandle) {
    DeleteEnhMetaFile(FHandle);
    HandleDeleted(hkGdiObject);
  }
  FHandle = nullptr;
  FWidth = FHeight = 0;
}

void TMetafile::SetWidth(int value) {
  if (value == FWidth) return;
  FWidth = value;
  Changed(this);
}

void TMetafile::SetHeight(int value) {
  if (value == FHeight) return;
  FHeight = value;
  Changed(this);
}

void TMetafile::SetHandle(HENHMETAFILE metafile) {
  if (metafile == FHandle) return;
  Clear();
  FHandle = metafile;
  if (metafile) HandleCreated(hkGdiObject);
  ENHMETAHEADER header{};
  if (metafile && GetEnhMetaFileHeader(metafile, sizeof header, &header) && header.szlMillimeters.cx > 0 &&
      header.szlMillimeters.cy > 0) {
    // The frame is in hundredths of a millimetre of the recording device.
    FWidth = MulDiv(header.rclFrame.right - header.rclFrame.left, header.szlDevice.cx, header.szlMillimeters.cx * 100);
    FHeight = MulDiv(header.rclFrame.bottom - header.rclFrame.top, header.szlDevice.cy, header.szlMillimeters.cy * 100);
  }
  Changed(this);
}

HENHMETAFILE TMetafile::ReleaseHandle() {
  HENHMETAFILE metafile = FHandle;
  FHandle = nullptr;
  if (metafile) HandleDeleted(hkGdiObject);
  Clear();
  return metafile;
}

void TMetafile::LoadFromStream(TStream& stream) {
  int64_t available = stream.Size() - stream.Position();
  if (available < static_cast<int64_t>(sizeof(ENHMETAHEADER)) || available > 0x10000000)
    throw EInvalidGraphic("Metafile is not valid");
  std::vector<uint8_t> data(static_cast<size_t>(available));
  stream.ReadBuffer(data.data(), available);
  ENHMETAHEADER header;
  std::memcpy(&header, data.data(), sizeof header);
  if (header.iType != EMR_HEADER || header.dSignature != ENHMETA_SIGNATURE || header.nBytes < sizeof header ||
      header.nBytes > data.size())
    throw EInvalidGraphic("Metafile is not valid");
  HENHMETAFILE metafile = SetEnhMetaFileBits(header.nBytes, data.data());
  if (!metafile) throw EInvalidGraphic("Metafile is not valid");
  SetHandle(metafile);
}

void TMetafile::SaveToStream(TStream& stream) {
  if (!FHandle) return;
  UINT size = GetEnhMetaFileBits(FHandle, 0, nullptr);
  std::vector<uint8_t> data(size);
  if (size == 0 || GetEnhMetaFileBits(FHandle, size, data.data()) != size) throw EInvalidGraphic("Metafile is not valid");
  stream.WriteBuffer(data.data(), size);
}

void TMetafile::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE) {
  if (!data) throw EInvalidGraphic("Unsupported clipboard format");
  if (format == CF_ENHMETAFILE) {
    HENHMETAFILE copy = CopyEnhMetaFileA(static_cast<HENHMETAFILE>(data), nullptr);
    if (!copy) throw EInvalidGraphic("Metafile is not valid");
    SetHandle(copy);
    return;
  }
  if (format != CF_METAFILEPICT) throw EInvalidGraphic("Unsupported clipboard format");
  auto* picture = static_cast<METAFILEPICT*>(GlobalLock(data));
  if (!picture) throw EInvalidGraphic("Metafile is not valid");
  METAFILEPICT description = *picture;
  GlobalUnlock(data);
  UINT size = GetMetaFileBitsEx(description.hMF, 0, nullptr);
  std::vector<uint8_t> bits(size);
  if (size == 0 || GetMetaFileBitsEx(description.hMF, size, bits.data()) != size)
    throw EInvalidGraphic("Metafile is not valid");
  HENHMETAFILE converted = SetWinMetaFileBits(size, bits.data(), nullptr, &description);
  if (!converted) throw EInvalidGraphic("Metafile is not valid");
  SetHandle(converted);
}

void TMetafile::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  format = CF_ENHMETAFILE;
  data = FHandle ? CopyEnhMetaFileA(FHandle, nullptr) : nullptr;
  palette = nullptr;
}

void TMetafile::Assign(TPersistent* source) {
  if (auto* metafile = ObjectAs<TMetafile>(source)) {
    if (metafile == this) return;
    int width = metafile->FWidth, height = metafile->FHeight;
    SetHandle(metafile->FHandle ? CopyEnhMetaFileA(metafile->FHandle, nullptr) : nullptr);
    FWidth = width;
    FHeight = height;
    return;
  }
  if (!source) {
    SetHandle(nullptr);
    return;
  }
  TGraphic::Assign(source);
}

void TMetafile::Draw(TCanvas* canvas, const RECT& r) {
  if (!canvas || !FHandle) return;
  PlayEnhMetaFile(canvas->Handle(), FHandle, &r);
}

TMetafileCanvas::TMetafileCanvas(TMetafile* metafile, HDC reference) : FMetafile(metafile) {
  SetHandle(CheckGDI(CreateEnhMetaFileA(reference, nullptr, nullptr, nullptr)));
  HandleCreated(hkDeviceContext);
}

TMetafileCanvas::~TMetafileCanvas() {
  HDC dc = Handle();
  SetHandle(nullptr);  // deselects the font, pen and brush before the recording ends
  HENHMETAFILE recorded = CloseEnhMetaFile(dc);
  HandleDeleted(hkDeviceContext);
  if (FMetafile)
    FMetafile->SetHandle(recorded);
  else if (recorded)
    DeleteEnhMetaFile(recorded);
}
