#include "platform/Picture.h"

#include "platform/Bitmap.h"
#include "platform/Icon.h"
#include "platform/Jpeg.h"
#include "platform/Metafile.h"

#include <memory>
#include <mutex>

// ---------------------------------------------------------------------------
// TGraphic

const TClassInfo TGraphic::ClassInfo = {"TGraphic", &TPersistent::ClassInfo, nullptr};

void TGraphic::Assign(TPersistent* source) {
  auto* graphic = ObjectAs<TGraphic>(source);
  if (graphic && graphic->ClassType() == ClassType()) {
    if (graphic == this) return;
    TMemoryStream data;
    graphic->WriteData(data);
    data.SetPosition(0);
    ReadData(data);
    return;
  }
  TPersistent::Assign(source);
}

void TGraphic::SetTransparent(bool value) {
  if (FTransparent == value) return;
  FTransparent = value;
  Changed(this);
}

bool TGraphic::Equals(TGraphic* other) {
  if (other == this) return true;
  if (!other || other->ClassType() != ClassType()) return false;
  if (Empty() != other->Empty()) return false;
  if (Empty()) return true;
  TMemoryStream mine, theirs;
  WriteData(mine);
  other->WriteData(theirs);
  return mine.DataString() == theirs.DataString();
}

void TGraphic::SetModified(bool value) {
  if (value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  FireEvent(OnChange, this);
}

void TGraphic::Progress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow, const RECT& r,
                        const AnsiString& message) {
  FireEvent(OnProgress, sender, stage, percentDone, redrawNow, r, message);
}

void TGraphic::LoadFromClipboardFormat(UINT, HANDLE, HPALETTE) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::SaveToClipboardFormat(UINT&, HANDLE&, HPALETTE&) {
  throw EInvalidGraphic("Unsupported clipboard format");
}

void TGraphic::AssignTo(TPersistent* dest) {
  if (auto* bitmap = ObjectAs<TBitmap>(dest)) {
    if (Empty()) {
      bitmap->SetSize(0, 0);
      return;
    }
    bitmap->SetSize(Width(), Height());
    TCanvas* canvas = bitmap->Canvas();
    canvas->Brush()->SetColor(clWhite);
    canvas->Brush()->SetStyle(TBrushStyle::bsSolid);
    RECT all{0, 0, Width(), Height()};
    canvas->FillRect(all);
    canvas->Draw(0, 0, this);
    return;
  }
  TPersistent::AssignTo(dest);
}

namespace {

// Files are read whole: pictures are small, and the decoders want the bytes.
void ReadWholeFile(const AnsiString& fileName, TMemoryStream& into) {
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw EFOpenError(Format("Cannot open file \"%s\"", fileName.c_str()));
  LARGE_INTEGER size{};
  bool ok = GetFileSizeEx(file, &size) && size.QuadPart < 0x40000000;
  if (ok) {
    into.SetSize(size.QuadPart);
    DWORD read = 0;
    ok = size.QuadPart == 0 || (ReadFile(file, into.Memory(), static_cast<DWORD>(size.QuadPart), &read, nullptr) &&
                                read == size.QuadPart);
  }
  CloseHandle(file);
  if (!ok) throw EReadError(Format("Cannot read file \"%s\"", fileName.c_str()));
  into.SetPosition(0);
}

void WriteWholeFile(const AnsiString& fileName, TMemoryStream& from) {
  HANDLE file = CreateFileA(fileName.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw EFCreateError(Format("Cannot create file \"%s\"", fileName.c_str()));
  DWORD written = 0;
  bool ok = from.Size() == 0 ||
            (WriteFile(file, from.Memory(), static_cast<DWORD>(from.Size()), &written, nullptr) && written == from.Size());
  CloseHandle(file);
  if (!ok) throw EWriteError(Format("Cannot write file \"%s\"", fileName.c_str()));
}

AnsiString ExtensionOf(const AnsiString& fileName) {
  size_t dot = fileName.find_last_of('.');
  size_t slash = fileName.find_last_of("\\/:");
  if (dot == AnsiString::npos || (slash != AnsiString::npos && slash > dot)) return AnsiString();
  return LowerCase(fileName.substr(dot + 1));
}

}  // namespace

void TGraphic::LoadFromFile(const AnsiString& fileName) {
  TMemoryStream data;
  ReadWholeFile(fileName, data);
  LoadFromStream(data);
}

void TGraphic::SaveToFile(const AnsiString& fileName) {
  TMemoryStream data;
  SaveToStream(data);
  WriteWholeFile(fileName, data);
}

TGraphic* CreateGraphic(TClass graphicClass) {
  if (!graphicClass || !TObject::ClassInheritsFrom(graphicClass, &TGraphic::ClassInfo) || !graphicClass->Create)
    throw EInvalidGraphic(Format("%s is not a picture class", graphicClass ? graphicClass->Name : "(none)"));
  return static_cast<TGraphic*>(CreateObject(graphicClass));
}

// ---------------------------------------------------------------------------
// The registry of picture formats.

namespace {

struct TClipboardFormatEntry {
  UINT Format;
  TClass GraphicClass;
};

struct TFormatRegistry {
  std::mutex Lock;
  std::vector<TFileFormat> Files;
  std::vector<TClipboardFormatEntry> Clipboard;

  TFormatRegistry() {
    // The built-in formats, registered like any other: the latest first.
    const TFileFormat builtIn[] = {
        {"bmp", "Bitmaps", &TBitmap::ClassInfo},
        {"ico", "Icons", &TIcon::ClassInfo},
        {"emf", "Enhanced Metafiles", &TMetafile::ClassInfo},
        {"jpg", "JPEG Image File", &TJPEGImage::ClassInfo},
        {"jpeg", "JPEG Image File", &TJPEGImage::ClassInfo},
    };
    for (const TFileFormat& format : builtIn) Files.insert(Files.begin(), format);
    Clipboard.push_back({CF_BITMAP, &TBitmap::ClassInfo});
    Clipboard.push_back({CF_DIB, &TBitmap::ClassInfo});
    Clipboard.push_back({CF_ENHMETAFILE, &TMetafile::ClassInfo});
    Clipboard.push_back({CF_METAFILEPICT, &TMetafile::ClassInfo});
  }
};

TFormatRegistry& Registry() {
  static auto* registry = new TFormatRegistry();  // formats unregister during shut-down
  return *registry;
}

}  // namespace

void TPicture::RegisterFileFormat(const AnsiString& extension, const AnsiString& description, TClass graphicClass) {
  AnsiString ext = LowerCase(extension);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  // A later registration of the same extension takes precedence.
  registry.Files.insert(registry.Files.begin(), TFileFormat{ext, description, graphicClass});
}

void TPicture::RegisterClipboardFormat(UINT format, TClass graphicClass) {
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  registry.Clipboard.insert(registry.Clipboard.begin(), TClipboardFormatEntry{format, graphicClass});
}

void TPicture::UnregisterGraphicClass(TClass graphicClass) {
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  std::erase_if(registry.Files, [&](const TFileFormat& f) { return f.GraphicClass == graphicClass; });
  std::erase_if(registry.Clipboard, [&](const TClipboardFormatEntry& f) { return f.GraphicClass == graphicClass; });
}

bool TPicture::SupportsClipboardFormat(UINT format) {
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  for (const auto& entry : registry.Clipboard)
    if (entry.Format == format) return true;
  return false;
}

bool TGraphic::ReadsClipboardFormat(UINT format) {
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  for (const auto& entry : registry.Clipboard)
    if (entry.Format == format && entry.GraphicClass == ClassType()) return true;
  return false;
}

TClass TPicture::FindGraphicClassByExtension(const AnsiString& extension) {
  AnsiString ext = LowerCase(extension);
  if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  for (const auto& entry : registry.Files)
    if (entry.Extension == ext) return entry.GraphicClass;
  return nullptr;
}

TClass TPicture::FindGraphicClassByName(const AnsiString& className) {
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  for (const auto& entry : registry.Files)
    if (className == entry.GraphicClass->Name) return entry.GraphicClass;
  for (const auto& entry : registry.Clipboard)
    if (className == entry.GraphicClass->Name) return entry.GraphicClass;
  return nullptr;
}

std::vector<TFileFormat> TPicture::FileFormats() {
  auto& registry = Registry();
  std::lock_guard<std::mutex> guard(registry.Lock);
  return registry.Files;
}

AnsiString TPicture::GraphicFilter(TClass graphicClass) {
  AnsiString all, each;
  for (const TFileFormat& f : FileFormats()) {
    if (graphicClass && !TObject::ClassInheritsFrom(f.GraphicClass, graphicClass)) continue;
    AnsiString mask = "*." + f.Extension;
    all += (all.empty() ? "" : ";") + mask;
    each += "|" + f.Description + " (" + mask + ")|" + mask;
  }
  if (all.empty()) return AnsiString();
  return "All (" + all + ")|" + all + each;
}

AnsiString TPicture::GraphicExtension(TClass graphicClass) {
  AnsiString found;
  // The registry keeps the latest registration first; the first one made is the class's own.
  for (const TFileFormat& f : FileFormats())
    if (f.GraphicClass == graphicClass) found = f.Extension;
  return found;
}

// ---------------------------------------------------------------------------
// TPicture

const TClassInfo TPicture::ClassInfo = {"TPicture", &TPersistent::ClassInfo,
                                        [](TObject*) -> TObject* { return new TPicture(); }};

TPicture::~TPicture() { delete FGraphic; }

void TPicture::TakeGraphic(TGraphic* graphic) {
  TGraphic* previous = FGraphic;
  FGraphic = graphic;
  if (FGraphic) {
    FGraphic->OnChange = TNotifyEvent::Bind<&TPicture::GraphicChanged>(this);
    FGraphic->OnProgress = TProgressEvent::Bind<&TPicture::GraphicProgress>(this);
  }
  delete previous;
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* graphic) {
  if (!graphic) {
    TakeGraphic(nullptr);
    return;
  }
  if (graphic == FGraphic) return;
  std::unique_ptr<TGraphic> copy(CreateGraphic(graphic->ClassType()));
  copy->Assign(graphic);
  TakeGraphic(copy.release());
}

template <class T>
T* TPicture::ForceType() {
  if (auto* graphic = ObjectAs<T>(FGraphic)) return graphic;
  TakeGraphic(new T());
  return static_cast<T*>(FGraphic);
}

TBitmap* TPicture::Bitmap() { return ForceType<TBitmap>(); }
TIcon* TPicture::Icon() { return ForceType<TIcon>(); }
TMetafile* TPicture::Metafile() { return ForceType<TMetafile>(); }

int TPicture::Width() const { return FGraphic ? FGraphic->Width() : 0; }
int TPicture::Height() const { return FGraphic ? FGraphic->Height() : 0; }

void TPicture::LoadFromFile(const AnsiString& fileName) {
  AnsiString ext = ExtensionOf(fileName);
  TClass cls = FindGraphicClassByExtension(ext);
  if (!cls) throw EInvalidGraphic(Format("Unknown picture file extension (.%s)", ext.c_str()));
  std::unique_ptr<TGraphic> graphic(CreateGraphic(cls));
  graphic->LoadFromFile(fileName);
  TakeGraphic(graphic.release());
}

void TPicture::SaveToFile(const AnsiString& fileName) {
  if (FGraphic) FGraphic->SaveToFile(fileName);
}

void TPicture::LoadFromClipboardFormat(UINT format, HANDLE data, HPALETTE palette) {
  TClass cls = nullptr;
  {
    auto& registry = Registry();
    std::lock_guard<std::mutex> guard(registry.Lock);
    for (const auto& entry : registry.Clipboard)
      if (entry.Format == format) {
        cls = entry.GraphicClass;
        break;
      }
  }
  if (!cls) throw EInvalidGraphic("Unsupported clipboard format");
  std::unique_ptr<TGraphic> graphic(CreateGraphic(cls));
  graphic->LoadFromClipboardFormat(format, data, palette);
  TakeGraphic(graphic.release());
}

void TPicture::SaveToClipboardFormat(UINT& format, HANDLE& data, HPALETTE& palette) {
  if (FGraphic) FGraphic->SaveToClipboardFormat(format, data, palette);
}

void TPicture::Assign(TPersistent* source) {
  if (!source) {
    SetGraphic(nullptr);
  } else if (auto* picture = ObjectAs<TPicture>(source)) {
    if (picture != this) SetGraphic(picture->Graphic());
  } else if (auto* graphic = ObjectAs<TGraphic>(source)) {
    SetGraphic(graphic);
  } else {
    TPersistent::Assign(source);
  }
}

void TPicture::ReadData(TStream& stream) {
  uint8_t length = stream.ReadByte();
  AnsiString name(length, '\0');
  stream.ReadBuffer(name.data(), length);
  if (name.empty()) {
    TakeGraphic(nullptr);
    return;
  }
  TClass cls = FindGraphicClassByName(name);
  if (!cls) {
    // The name comes from outside: show it only when it is plain text.
    bool printable = true;
    for (unsigned char c : name) printable = printable && c >= 0x20 && c < 0x7F;
    throw EUnknownGraphicClass(printable ? Format("Unknown picture class \"%s\"", name.c_str())
                                         : AnsiString("Unknown picture class (unreadable name)"));
  }
  std::unique_ptr<TGraphic> graphic(CreateGraphic(cls));
  graphic->ReadData(stream);
  TakeGraphic(graphic.release());
}

void TPicture::WriteData(TStream& stream) {
  AnsiString name = FGraphic ? FGraphic->ClassName() : "";
  if (name.size() > 255) throw EWriteError("Picture class name too long");
  stream.WriteByte(static_cast<uint8_t>(name.size()));
  stream.WriteString(name);
  if (FGraphic) FGraphic->WriteData(stream);
}

void TPicture::Changed(TObject*) { FireEvent(OnChange, this); }

void TPicture::GraphicChanged(TObject* sender) { Changed(sender); }

void TPicture::GraphicProgress(TObject* sender, TProgressStage stage, uint8_t percentDone, bool redrawNow,
                               const RECT& r, const AnsiString& message) {
  FireEvent(OnProgress, sender, stage, percentDone, redrawNow, r, message);
}
