// The extension blocks of a GIF: graphic control, plain text, comment and
// application extensions (the animation loop block among them), with the
// registries that map a label or an application identification to a class.
// Portable: no Windows headers.
#pragma once

#include "gif/GIFSubImage.h"

#include <string>

// An extension block preceding a frame's image. Destroying it takes it out
// of its frame's list.
class TGIFExtension : public TGIFItem {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFExtension(TGIFSubImage* frame);
  ~TGIFExtension() override;
  TGIFSubImage* SubImage() const { return FSubImage; }

  virtual uint8_t Label() const = 0;
  int FormatVersion() override { return 2; }
  // Reads the introducer and label and checks them against the class.
  void LoadFromStream(TStream& stream) override;
  // Writes the introducer and the label.
  void SaveToStream(TStream& stream) override;

private:
  TGIFSubImage* FSubImage;
};

// Timing, disposal and transparency of the frame that follows.
class TGIFGraphicControlExtension : public TGIFExtension {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  // Becomes the frame's GraphicControl when it has none yet.
  explicit TGIFGraphicControlExtension(TGIFSubImage* frame);
  ~TGIFGraphicControlExtension() override;
  uint8_t Label() const override { return 0xF9; }
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  // Disposal method (bits 2-4): 0 none, 1 keep, 2 background, 3 previous.
  int Disposal() const { return (FPacked >> 2) & 7; }
  void SetDisposal(int value);
  bool Transparent() const { return (FPacked & 1) != 0; }
  void SetTransparent(bool value);
  bool UserInput() const { return (FPacked & 2) != 0; }
  void SetUserInput(bool value);
  // Delay in hundredths of a second.
  uint16_t Delay() const { return FDelay; }
  void SetDelay(uint16_t value) { FDelay = value; }
  uint8_t TransparentColorIndex() const { return FTransparentColorIndex; }
  // An index beyond the frame's colours warns "Invalid color index" and stores 0.
  void SetTransparentColorIndex(uint8_t value);
  uint8_t Packed() const { return FPacked; }

private:
  uint8_t FPacked = 0;
  uint16_t FDelay = 0;
  uint8_t FTransparentColorIndex = 0;
};

// Text kept as data sub-blocks, one string per sub-block.
using TGIFStrings = std::vector<AnsiString>;

class TGIFTextExtension : public TGIFExtension {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFExtension::TGIFExtension;
  uint8_t Label() const override { return 0x01; }
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  // The 13 stored bytes: block size 12, grid left, top, width, height (2
  // bytes each), cell width, cell height, foreground and background index.
  uint8_t Header[13] = {12};
  TGIFStrings Text;
};

class TGIFCommentExtension : public TGIFExtension {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFExtension::TGIFExtension;
  uint8_t Label() const override { return 0xFE; }
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  TGIFStrings Text;
};

// An application extension: an 11-byte identification (8-byte identifier,
// 3-byte authentication code) and a payload the refined classes read.
class TGIFApplicationExtension : public TGIFExtension {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFExtension::TGIFExtension;
  uint8_t Label() const override { return 0xFF; }
  void LoadFromStream(TStream& stream) override;
  void SaveToStream(TStream& stream) override;

  // From just after the label: the class that should read this block
  // (refined by the identification); the stream is left where it was found
  // only by FindExtensionClass, which restores it.
  static TClass ResolveClass(TStream& stream);

  const uint8_t* Identification() const { return FIdentification; }
  void SetIdentification(const char* ident11);

protected:
  // Without a refined class there is no payload reader: an identification
  // of a size other than 10 or 11 cannot be read.
  virtual void LoadPayload(TStream& stream);
  virtual void SavePayload(TStream& stream);

private:
  uint8_t FIdentification[11] = {};
};

// A data sub-block kept as it was read.
struct TGIFBlock {
  std::vector<uint8_t> Data;
};

// An application extension the codec does not interpret: its sub-blocks are
// kept and written back unchanged.
class TGIFUnknownAppExtension : public TGIFApplicationExtension {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFApplicationExtension::TGIFApplicationExtension;
  std::vector<TGIFBlock> Blocks;

protected:
  void LoadPayload(TStream& stream) override;
  void SavePayload(TStream& stream) override;
};

// The animation loop block ("NETSCAPE2.0", also read as "ANIMEXTS1.0").
class TGIFAppExtNSLoop : public TGIFApplicationExtension {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFAppExtNSLoop(TGIFSubImage* frame);
  // Passes to play; 0 plays forever.
  uint16_t Loops = 0;
  // Buffer size hint; written only when not 0.
  uint32_t BufferSize = 0;

protected:
  void LoadPayload(TStream& stream) override;
  void SavePayload(TStream& stream) override;
};

// From just after an introducer: the class that reads the extension, or
// null; the stream is left where it was.
TClass FindExtensionClass(TStream& stream);
// Registries (scanned from the last entry, so a later registration wins).
void RegisterExtensionClass(uint8_t label, TClass cls);
void RegisterAppExtensionClass(const char* ident11, TClass cls);

void ReadStringBlocks(TStream& stream, TGIFStrings& strings);
void WriteStringBlocks(TStream& stream, const TGIFStrings& strings);
