#include "gif/GIFExtension.h"

#include "gif/GIFContainer.h"

#include <cstring>
#include <utility>

namespace {

template <class T>
TObject* CreateExtension(TObject* owner) {
  return new T(ObjectAs<TGIFSubImage>(owner));
}

}  // namespace

const TClassInfo TGIFExtension::ClassInfo{"TGIFExtension", &TGIFItem::ClassInfo, nullptr};
const TClassInfo TGIFGraphicControlExtension::ClassInfo{"TGIFGraphicControlExtension", &TGIFExtension::ClassInfo,
                                                        CreateExtension<TGIFGraphicControlExtension>};
const TClassInfo TGIFTextExtension::ClassInfo{"TGIFTextExtension", &TGIFExtension::ClassInfo,
                                              CreateExtension<TGIFTextExtension>};
const TClassInfo TGIFCommentExtension::ClassInfo{"TGIFCommentExtension", &TGIFExtension::ClassInfo,
                                                 CreateExtension<TGIFCommentExtension>};
const TClassInfo TGIFApplicationExtension::ClassInfo{"TGIFApplicationExtension", &TGIFExtension::ClassInfo,
                                                     CreateExtension<TGIFApplicationExtension>};
const TClassInfo TGIFUnknownAppExtension::ClassInfo{"TGIFUnknownAppExtension", &TGIFApplicationExtension::ClassInfo,
                                                    CreateExtension<TGIFUnknownAppExtension>};
const TClassInfo TGIFAppExtNSLoop::ClassInfo{"TGIFAppExtNSLoop", &TGIFApplicationExtension::ClassInfo,
                                             CreateExtension<TGIFAppExtNSLoop>};

// ---- registries ----

namespace {

struct TLabelEntry {
  uint8_t Label;
  TClass Class;
};

struct TIdentEntry {
  uint8_t Ident[11];
  TClass Class;
};

std::vector<TLabelEntry>& ExtensionClassRegistry() {
  static std::vector<TLabelEntry> registry{{0x01, &TGIFTextExtension::ClassInfo},
                                           {0xF9, &TGIFGraphicControlExtension::ClassInfo},
                                           {0xFE, &TGIFCommentExtension::ClassInfo},
                                           {0xFF, &TGIFApplicationExtension::ClassInfo}};
  return registry;
}

std::vector<TIdentEntry>& AppExtensionClassRegistry() {
  static std::vector<TIdentEntry> registry = [] {
    std::vector<TIdentEntry> r(2);
    std::memcpy(r[0].Ident, "NETSCAPE2.0", 11);
    r[0].Class = &TGIFAppExtNSLoop::ClassInfo;
    std::memcpy(r[1].Ident, "ANIMEXTS1.0", 11);
    r[1].Class = &TGIFAppExtNSLoop::ClassInfo;
    return r;
  }();
  return registry;
}

TClass LookUpLabel(uint8_t label) {
  const auto& registry = ExtensionClassRegistry();
  for (auto it = registry.rbegin(); it != registry.rend(); ++it)
    if (it->Label == label) return it->Class;
  return nullptr;
}

TClass LookUpIdent(const uint8_t* ident) {
  const auto& registry = AppExtensionClassRegistry();
  for (auto it = registry.rbegin(); it != registry.rend(); ++it)
    if (std::memcmp(it->Ident, ident, 11) == 0) return it->Class;
  return nullptr;
}

// Reads up to `count` bytes; answers how many arrived.
int32_t ReadUpTo(TStream& stream, void* buffer, int32_t count) {
  auto* p = static_cast<uint8_t*>(buffer);
  int32_t total = 0;
  while (total < count) {
    const int32_t n = stream.Read(p + total, count - total);
    if (n <= 0) break;
    total += n;
  }
  return total;
}

}  // namespace

void RegisterExtensionClass(uint8_t label, TClass cls) { ExtensionClassRegistry().push_back({label, cls}); }

void RegisterAppExtensionClass(const char* ident11, TClass cls) {
  TIdentEntry entry{};
  std::memcpy(entry.Ident, ident11, 11);
  entry.Class = cls;
  AppExtensionClassRegistry().push_back(entry);
}

TClass FindExtensionClass(TStream& stream) {
  const int64_t start = stream.Position();
  uint8_t label = 0;
  TClass cls = ReadOptionalByte(stream, label) ? LookUpLabel(label) : nullptr;
  const int64_t afterLabel = stream.Position();
  // Only the plain application class refines itself (by its identification);
  // every refined class and every other extension answers itself.
  while (cls == &TGIFApplicationExtension::ClassInfo) {
    stream.SetPosition(afterLabel);
    TClass refined = TGIFApplicationExtension::ResolveClass(stream);
    if (refined == cls) break;
    cls = refined;
  }
  stream.SetPosition(start);
  return cls;
}

// ---- sub-block strings ----

void ReadStringBlocks(TStream& stream, TGIFStrings& strings) {
  strings.clear();
  uint8_t length = 0;
  while (ReadOptionalByte(stream, length) && length != 0) {
    AnsiString s(length, '\0');
    ReadChecked(stream, s.data(), length);
    strings.push_back(std::move(s));
  }
}

void WriteStringBlocks(TStream& stream, const TGIFStrings& strings) {
  for (const AnsiString& s : strings) WriteSubBlocks(stream, s.data(), s.size());
  stream.WriteByte(0);
}

// ---- TGIFExtension ----

TGIFExtension::TGIFExtension(TGIFSubImage* frame) : TGIFItem(frame ? frame->Image() : nullptr), FSubImage(frame) {}

TGIFExtension::~TGIFExtension() {
  if (FSubImage) FSubImage->Extensions().Remove(this);
}

void TGIFExtension::LoadFromStream(TStream& stream) {
  uint8_t b[2];
  ReadChecked(stream, b, 2);
  if (b[0] != bsExtensionIntroducer) RaiseGIFError("Invalid extension introducer");
  if (b[1] != Label()) RaiseGIFError("Internal error: Extension Instance does not match Extension Label");
}

void TGIFExtension::SaveToStream(TStream& stream) {
  const uint8_t b[2] = {bsExtensionIntroducer, Label()};
  stream.WriteBuffer(b, 2);
}

// ---- graphic control ----

TGIFGraphicControlExtension::TGIFGraphicControlExtension(TGIFSubImage* frame) : TGIFExtension(frame) {
  if (frame && !frame->GraphicControl()) frame->SetGraphicControl(this);
}

TGIFGraphicControlExtension::~TGIFGraphicControlExtension() {
  if (TGIFSubImage* frame = SubImage()) {
    if (Transparent()) frame->SetIsTransparent(false);
    if (frame->GraphicControl() == this) frame->SetGraphicControl(nullptr);
  }
}

void TGIFGraphicControlExtension::LoadFromStream(TStream& stream) {
  TGIFExtension::LoadFromStream(stream);
  uint8_t b[6];
  if (ReadUpTo(stream, b, 6) < 6) {
    ReportIssue(1, "Premature end of data");
    return;
  }
  // b[0] (the block size) and b[5] (the terminator) are not checked.
  FPacked = b[1];
  FDelay = static_cast<uint16_t>(b[2] | (b[3] << 8));
  FTransparentColorIndex = b[4];
  // Any graphic control of the frame can make it transparent, not only the
  // first one (which alone becomes its GraphicControl).
  if ((FPacked & 1) && SubImage()) SubImage()->SetIsTransparent(true);
}

void TGIFGraphicControlExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  // A file may carry another block size or terminator (neither is checked
  // when reading); what is written is always the well-formed 4 and 0.
  const uint8_t b[6] = {4, FPacked, static_cast<uint8_t>(FDelay), static_cast<uint8_t>(FDelay >> 8),
                        FTransparentColorIndex, 0};
  stream.WriteBuffer(b, 6);
}

void TGIFGraphicControlExtension::SetDisposal(int value) {
  FPacked = static_cast<uint8_t>((FPacked & ~0x1C) | ((value & 7) << 2));
}

void TGIFGraphicControlExtension::SetTransparent(bool value) {
  FPacked = value ? (FPacked | 1) : (FPacked & ~1);
  if (SubImage()) SubImage()->SetIsTransparent(value);
}

void TGIFGraphicControlExtension::SetUserInput(bool value) { FPacked = value ? (FPacked | 2) : (FPacked & ~2); }

void TGIFGraphicControlExtension::SetTransparentColorIndex(uint8_t value) {
  if (SubImage()) {
    TGIFColorMap& map = SubImage()->EffectiveColorMap();
    if (map.Count() > 0 && value >= map.Count()) {
      ReportIssue(1, "Invalid color index");
      value = 0;
    }
  }
  FTransparentColorIndex = value;
}

// ---- plain text and comment ----

void TGIFTextExtension::LoadFromStream(TStream& stream) {
  TGIFExtension::LoadFromStream(stream);
  ReadChecked(stream, Header, 13);
  ReadStringBlocks(stream, Text);
}

void TGIFTextExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  stream.WriteBuffer(Header, 13);
  WriteStringBlocks(stream, Text);
}

void TGIFCommentExtension::LoadFromStream(TStream& stream) {
  TGIFExtension::LoadFromStream(stream);
  ReadStringBlocks(stream, Text);
}

void TGIFCommentExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  WriteStringBlocks(stream, Text);
}

// ---- application extensions ----

void TGIFApplicationExtension::SetIdentification(const char* ident11) { std::memcpy(FIdentification, ident11, 11); }

TClass TGIFApplicationExtension::ResolveClass(TStream& stream) {
  // An exhausted stream ends the block: the plain class answers, and its
  // reader reports what is missing.
  uint8_t size = 0;
  if (!ReadOptionalByte(stream, size)) return &ClassInfo;
  uint8_t ident[11];
  if (size == 10) {
    if (ReadUpTo(stream, ident, 10) < 10) return nullptr;
    return &TGIFUnknownAppExtension::ClassInfo;
  }
  if (size == 11) {
    if (ReadUpTo(stream, ident, 11) < 11) return &ClassInfo;
    TClass cls = LookUpIdent(ident);
    return cls ? cls : &TGIFUnknownAppExtension::ClassInfo;
  }
  return &ClassInfo;
}

void TGIFApplicationExtension::LoadFromStream(TStream& stream) {
  TGIFExtension::LoadFromStream(stream);
  uint8_t size = 0;
  ReadChecked(stream, &size, 1);
  if (size < 10) RaiseGIFError("Unsupported Application Extension block size");
  if (size == 10) {
    ReadChecked(stream, FIdentification, 10);
    FIdentification[10] = 0;
  } else {
    ReadChecked(stream, FIdentification, 11);
    SkipBytes(stream, size - 11);
  }
  LoadPayload(stream);
}

void TGIFApplicationExtension::SaveToStream(TStream& stream) {
  TGIFExtension::SaveToStream(stream);
  stream.WriteByte(11);
  stream.WriteBuffer(FIdentification, 11);
  SavePayload(stream);
}

void TGIFApplicationExtension::LoadPayload(TStream& stream) {
  (void)stream;
  RaiseGIFError("Unsupported Application Extension block size");
}

void TGIFApplicationExtension::SavePayload(TStream& stream) { stream.WriteByte(0); }

void TGIFUnknownAppExtension::LoadPayload(TStream& stream) {
  Blocks.clear();
  uint8_t length = 0;
  while (ReadOptionalByte(stream, length) && length != 0) {
    TGIFBlock block;
    block.Data.resize(length);
    ReadChecked(stream, block.Data.data(), length);
    Blocks.push_back(std::move(block));
  }
}

void TGIFUnknownAppExtension::SavePayload(TStream& stream) {
  // Blocks read from a file are 1 to 255 bytes and go back unchanged.
  for (const TGIFBlock& block : Blocks) WriteSubBlocks(stream, block.Data.data(), block.Data.size());
  stream.WriteByte(0);
}

TGIFAppExtNSLoop::TGIFAppExtNSLoop(TGIFSubImage* frame) : TGIFApplicationExtension(frame) {
  SetIdentification("NETSCAPE2.0");
}

void TGIFAppExtNSLoop::LoadPayload(TStream& stream) {
  // An exhausted stream ends the block (no length or id byte to read).
  uint8_t length = 0;
  uint8_t id = 0;
  while (ReadOptionalByte(stream, length) && length != 0 && ReadOptionalByte(stream, id)) {
    switch (id & 7) {
      case 1: {
        if (length < 3) RaiseGIFError("Invalid GIF data");
        uint8_t b[2];
        ReadChecked(stream, b, 2);
        Loops = static_cast<uint16_t>(b[0] | (b[1] << 8));
        SkipBytes(stream, length - 3);
        break;
      }
      case 2: {
        if (length < 5) RaiseGIFError("Invalid GIF data");
        uint8_t b[4];
        ReadChecked(stream, b, 4);
        BufferSize = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
        SkipBytes(stream, length - 5);
        break;
      }
      default:
        SkipBytes(stream, length - 1);
        break;
    }
  }
}

void TGIFAppExtNSLoop::SavePayload(TStream& stream) {
  const uint8_t loop[4] = {3, 1, static_cast<uint8_t>(Loops), static_cast<uint8_t>(Loops >> 8)};
  stream.WriteBuffer(loop, 4);
  if (BufferSize != 0) {
    const uint8_t buffer[6] = {5, 2, static_cast<uint8_t>(BufferSize), static_cast<uint8_t>(BufferSize >> 8),
                               static_cast<uint8_t>(BufferSize >> 16), static_cast<uint8_t>(BufferSize >> 24)};
    stream.WriteBuffer(buffer, 6);
  }
  stream.WriteByte(0);
}
