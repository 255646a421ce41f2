// Types shared by every part of the GIF codec: its exception, colour triples,
// the checked reads that every block reader goes through, and the limits that
// keep a hostile file from making the codec allocate without bound.
// Portable: no Windows headers (the codec's stream code also builds natively).
#pragma once

#include "platform/GraphicsErrors.h"
#include "platform/Stream.h"

#include <cstdint>

// The codec's error: a GIF that cannot be read or written. Reading gives up
// and the picture keeps what was read before the failure.
class GIFException : public EInvalidGraphic {
public:
  using EInvalidGraphic::EInvalidGraphic;
};

[[noreturn]] void RaiseGIFError(const AnsiString& message);

// One colour table entry, stored in the file as red, green, blue.
struct TGIFColor {
  uint8_t Red = 0;
  uint8_t Green = 0;
  uint8_t Blue = 0;
  bool operator==(const TGIFColor&) const = default;
};

// How image data is compressed when written: the full LZW dictionary, or
// codes for runs of equal pixels that any GIF decoder reads back.
enum class TGIFEncoding : uint8_t { enRunLength, enLZW };

// Block bytes of the file.
constexpr uint8_t bsExtensionIntroducer = 0x21;  // '!'
constexpr uint8_t bsImageSeparator = 0x2C;       // ','
constexpr uint8_t bsTrailer = 0x3B;              // ';'

// A frame's pixel buffer is width x height bytes whatever the image data
// holds, so a descriptor alone could ask for 4 GB. These bound what a file
// can make the codec allocate: one frame (8192 x 8192) and all frames of a
// picture together. They are a picture's default budget (TGIFContainer).
constexpr uint64_t GIFMaxFramePixels = uint64_t(1) << 26;
constexpr uint64_t GIFMaxPicturePixels = uint64_t(1) << 27;

// Reads exactly `count` bytes or raises "Premature end of data".
void ReadChecked(TStream& stream, void* buffer, int32_t count);
// Reads one byte; false at the end of the stream.
bool ReadOptionalByte(TStream& stream, uint8_t& value);
// Bytes left after the current position (0 when positioned past the end).
int64_t BytesLeft(TStream& stream);
// Writes `count` bytes as data sub-blocks of at most 255 bytes (nothing for
// 0 bytes; the terminator is the caller's).
void WriteSubBlocks(TStream& stream, const void* data, size_t count);
// Moves forward by `count` bytes, stopping at the end of the stream.
void SkipBytes(TStream& stream, int64_t count);
