// LZW decoding of a frame's image data into its pixel buffer.
#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"

#include <cstring>
#include <memory>

namespace {

// Variable-width LZW with 12-bit codes at most: a 4096-entry string table
// and an expansion stack, codes read least significant bit first from a bit
// buffer refilled one data sub-block at a time. Lives for one frame.
class TLZWDecoder {
public:
  TLZWDecoder(TGIFSubImage& frame, TStream& stream, int minimumCodeSize)
      : FFrame(frame), FStream(stream), FMinimumCodeSize(minimumCodeSize) {
    FClearCode = 1 << minimumCodeSize;
    FEndCode = FClearCode + 1;
    FCodeWidth = minimumCodeSize + 1;
    FThreshold = 2 * FClearCode;
    FNextFreeCode = FClearCode + 2;
    FHighWater = FNextFreeCode;
    for (int i = 0; i < FClearCode; ++i) FSuffix[i] = static_cast<uint16_t>(i);
  }

  // The next pixel value; negative when the data has ended (-1) or the end
  // code was read (-2).
  int NextValue() {
    if (FTop > 0) return FStack[--FTop];
    return DecodeCode();
  }

  // Leaves the stream after the image data's terminator, also when the data
  // holds more codes than the frame has pixels.
  void Finish() {
    (void)NextValue();
    if (!FTerminatorSeen && !FStreamEnded) SkipRest();
  }

private:
  static constexpr int TableSize = 4096;
  static constexpr int StackSize = 8192;

  void Push(int value) {
    // A valid string is at most one table's worth plus one character; a
    // longer chain can only come from a cycle through several entries.
    if (FTop >= StackSize) RaiseGIFError("Circular decoder table entry");
    FStack[FTop++] = static_cast<uint16_t>(value);
  }

  void ResetTable() {
    // Entries from the clear code up were zero before they were defined, so
    // only those defined since the last reset need zeroing again.
    for (int i = FClearCode; i < FHighWater && i < TableSize; ++i) FPrefix[i] = FSuffix[i] = 0;
    FCodeWidth = FMinimumCodeSize + 1;
    FThreshold = 2 * FClearCode;
    FNextFreeCode = FClearCode + 2;
    FHighWater = FNextFreeCode;
    FTop = 0;
  }

  // Skips the remaining data sub-blocks up to and including the terminator.
  void SkipRest() {
    uint8_t length = 0;
    while (ReadOptionalByte(FStream, length) && length != 0) SkipBytes(FStream, length);
    FTerminatorSeen = true;
    FDataEnded = true;
  }

  int DecodeCode() {
    int code = ReadCode(FCodeWidth);
    if (code < 0) return code;
    if (code == FClearCode) {
      ResetTable();
      do code = ReadCode(FCodeWidth);
      while (code == FClearCode);
      // An end code straight after a clear ends the data like any end code
      // (it is what an encoder writes for an image without pixels).
      if (code == FEndCode) {
        if (!FTerminatorSeen) SkipRest();
        return -2;
      }
      FFirstCode = FOldCode = code;
      return code;
    }
    if (code == FEndCode) {
      if (!FTerminatorSeen) SkipRest();
      return -2;
    }
    const int incoming = code;
    if (code >= FNextFreeCode) {
      // Not defined yet: the previous string plus its own first character.
      Push(FFirstCode);
      code = FOldCode;
    }
    while (code >= FClearCode) {
      Push(FSuffix[code]);
      if (FPrefix[code] == code) RaiseGIFError("Circular decoder table entry");
      code = FPrefix[code];
    }
    FFirstCode = FSuffix[code];
    Push(FFirstCode);
    if (FNextFreeCode < TableSize) {
      FPrefix[FNextFreeCode] = static_cast<uint16_t>(FOldCode);
      FSuffix[FNextFreeCode] = static_cast<uint16_t>(FFirstCode);
      ++FNextFreeCode;
      if (FNextFreeCode > FHighWater) FHighWater = FNextFreeCode;
      if (FNextFreeCode >= FThreshold && FThreshold < TableSize) {
        FThreshold *= 2;
        ++FCodeWidth;
      }
    }
    FOldCode = incoming;
    return FStack[--FTop];
  }

  int ReadCode(int width) {
    if (FFresh) {
      // Data that does not begin with a clear code decodes as if it did.
      FFresh = false;
      return FClearCode;
    }
    // A code is taken as soon as its last bit is in the buffer; sub-blocks
    // shorter than a code are chained until it is.
    while (FBitCursor + width > FBitLimit) {
      if (FDataEnded || FStreamEnded) {
        if (FDataEnded && FBitCursor >= FBitLimit) FFrame.ReportIssue(1, "Decoder bit buffer under-run");
        return -1;
      }
      FBuffer[0] = FBuffer[FLastByte - 2];
      FBuffer[1] = FBuffer[FLastByte - 1];
      uint8_t length = 0;
      if (!ReadOptionalByte(FStream, length)) {
        FStreamEnded = true;
        return -1;
      }
      int count = length;
      if (count == 0) {
        FDataEnded = true;
        FTerminatorSeen = true;
      } else {
        const int64_t left = BytesLeft(FStream);
        if (left < count) {
          FFrame.ReportIssue(1, "Premature end of data");
          count = static_cast<int>(left);
          FStreamEnded = true;
        }
        if (count > 0) ReadChecked(FStream, FBuffer + 2, count);
      }
      FLastByte = count + 2;
      FBitCursor = FBitCursor - FBitLimit + 16;
      FBitLimit = FLastByte * 8;
    }
    // At most 12 bits from any bit offset fit in three bytes; bytes past the
    // valid ones are masked off (the buffer has slack for them).
    const int i = FBitCursor >> 3;
    const uint32_t bits = FBuffer[i] | (FBuffer[i + 1] << 8) | (FBuffer[i + 2] << 16);
    FBitCursor += width;
    return static_cast<int>((bits >> ((FBitCursor - width) & 7)) & ((1u << width) - 1));
  }

  TGIFSubImage& FFrame;
  TStream& FStream;
  int FMinimumCodeSize;
  int FClearCode;
  int FEndCode;
  int FCodeWidth;
  int FThreshold;
  int FNextFreeCode;
  int FHighWater;  // one past the highest entry defined since the table was zeroed
  int FFirstCode = 0;
  int FOldCode = 0;
  uint16_t FPrefix[TableSize] = {};
  uint16_t FSuffix[TableSize] = {};
  uint16_t FStack[StackSize] = {};
  int FTop = 0;
  uint8_t FBuffer[2 + 255 + 3] = {};  // two carried bytes, one sub-block, slack
  int FBitCursor = 0;                 // bits
  int FBitLimit = 0;                  // bits
  int FLastByte = 2;
  bool FDataEnded = false;
  bool FTerminatorSeen = false;
  bool FStreamEnded = false;
  bool FFresh = true;
};

}  // namespace

void TGIFSubImage::DecodePixels(TStream& stream) {
  AllocatePixels();
  const uint8_t fill = IsTransparent() && GraphicControl() ? GraphicControl()->TransparentColorIndex() : 0;
  if (!FData.empty()) std::memset(FData.data(), fill, FData.size());

  uint8_t minimumCodeSize = 0;
  if (!ReadOptionalByte(stream, minimumCodeSize)) return;
  // Larger sizes would put the clear code beyond the 4096-entry table.
  if (minimumCodeSize > 11) RaiseGIFError("Invalid LZW code size");

  auto decoder = std::make_unique<TLZWDecoder>(*this, stream, minimumCodeSize);
  uint8_t* out = FData.data();
  const int width = FWidth;
  const int height = FHeight;
  if (!IsInterlaced()) {
    const size_t count = FData.size();
    for (size_t i = 0; i < count; ++i) {
      const int value = decoder->NextValue();
      if (value < 0) break;
      out[i] = static_cast<uint8_t>(value);
    }
  } else {
    // Passes: every 8th row from 0, every 8th from 4, every 4th from 2,
    // every 2nd from 1; passes that start below the last row are skipped.
    int row = 0;
    int step = 8;
    int pass = 0;
    for (int done = 0; done < height; ++done) {
      uint8_t* p = out + static_cast<size_t>(row) * width;
      for (int x = 0; x < width; ++x) {
        const int value = decoder->NextValue();
        if (value < 0) goto finished;
        p[x] = static_cast<uint8_t>(value);
      }
      if (done + 1 == height) break;
      row += step;
      while (row >= height) {
        if (pass > 0) step /= 2;
        ++pass;
        row = step / 2;
      }
    }
  }
finished:
  decoder->Finish();
}
