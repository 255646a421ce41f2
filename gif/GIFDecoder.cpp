// LZW decoding of a frame's image data into its pixel buffer.
#include "gif/GIFContainer.h"
#include "gif/GIFExtension.h"
#include "gif/GIFSubImage.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <memory>

namespace {

// Four bytes from any address as a little-endian number.
inline uint32_t LoadLE32(const uint8_t* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  if constexpr (std::endian::native == std::endian::big)
    v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
  return v;
}

// Copies a string the frame already holds to where the next one goes,
// forward and byte by byte in effect, so a string that runs into its own
// copy (a code defined by its own use) repeats as it should. Whole 16-byte
// blocks are moved when the source lies that far back and the destination
// has room, writing up to 15 bytes beyond the string (the caller's slack).
inline void CopyForward(uint8_t* to, const uint8_t* from, size_t length, const uint8_t* limit) {
  if (static_cast<size_t>(to - from) >= 16 && static_cast<size_t>(limit - to) >= length + 15) {
    for (size_t i = 0; i < length; i += 16) std::memcpy(to + i, from + i, 16);
    return;
  }
  for (size_t i = 0; i < length; ++i) to[i] = from[i];
}

// Variable-width LZW with 12-bit codes at most and a 4096-entry string
// table, codes read least significant bit first, a word at a time, from a
// bit buffer refilled one data sub-block at a time (only when a code needs
// it, so warnings and the stream position come where they always came).
// Lives for one frame.
//
// A string is written by copying it from where it was last written: every
// entry keeps the position and length of that copy (an entry is the string
// of the code before it plus one character, which the output holds right
// there, the character being the first of the next string). Data that uses
// a code beyond the one being defined, or follows a clear code with
// anything but a literal, makes the table refer to entries that hold no
// string; from then on the frame is decoded by walking each code's prefix
// chain onto a stack, which gives such data the pixels and errors it has
// always given.
class TLZWDecoder {
public:
  TLZWDecoder(TGIFSubImage& frame, TStream& stream, int minimumCodeSize, uint8_t fill)
      : FFrame(frame), FStream(stream), FMinimumCodeSize(minimumCodeSize), FFill(fill) {
    FClearCode = 1 << minimumCodeSize;
    FEndCode = FClearCode + 1;
    FFirstFreeCode = FClearCode + 2;
    FCodeWidth = minimumCodeSize + 1;
    FThreshold = 2 * FClearCode;
    FNextFreeCode = FFirstFreeCode;
    std::memset(FBuffer, 0, sizeof FBuffer);
  }

  // Writes up to `count` pixels to `out` in the order the data gives them
  // and answers how many it wrote; fewer when the data ends first. `out`
  // has 15 bytes of slack beyond `count` when `slack` is set; otherwise
  // what lies beyond the pixels written keeps the fill value.
  size_t Decode(uint8_t* out, size_t count, bool slack);
  // Pixels written so far, also when decoding raised.
  size_t Written() const { return FWritten; }

  // Reads past what follows the last pixel, so the stream is left after
  // the image data's terminator, also when the data holds more codes than
  // the frame has pixels.
  void Finish();

private:
  static constexpr int TableSize = 4096;
  static constexpr int StackSize = 8192;

  // Where an entry's string was written, and what it is.
  struct TEntry {
    uint32_t Position;
    uint16_t Length;
    uint16_t First;  // the value of its first character
  };

  int ReadCode(int width) {
    if (FBitCursor + width <= FBitLimit) {
      const uint32_t bits = LoadLE32(FBuffer + (FBitCursor >> 3));
      const int value = static_cast<int>((bits >> (FBitCursor & 7)) & ((1u << width) - 1));
      FBitCursor += width;
      return value;
    }
    return ReadCodeRefilling(width);
  }
  int ReadCodeRefilling(int width);
  // Skips the remaining data sub-blocks up to and including the terminator.
  void SkipRest();
  void EndOfData() {
    if (!FTerminatorSeen) SkipRest();
  }

  // Decoding by prefix chains.
  void EnterChainMode();
  size_t DecodeStrings(uint8_t* out, size_t count, bool slack);
  size_t DecodeByChains(uint8_t* out, size_t done, size_t count, int code, bool afterClear, bool slack);
  int NextValue();
  int DecodeCode(int code);
  void ResetTable();
  void Push(int value) {
    // A valid string is at most one table's worth plus one character; a
    // longer chain can only come from a cycle through several entries.
    if (FTop >= StackSize) RaiseGIFError("Circular decoder table entry");
    FStack[FTop++] = static_cast<uint16_t>(value);
  }

  TGIFSubImage& FFrame;
  TStream& FStream;
  int FMinimumCodeSize;
  uint8_t FFill;
  size_t FWritten = 0;
  int FClearCode;
  int FEndCode;
  int FFirstFreeCode;
  int FCodeWidth;
  int FThreshold;
  int FNextFreeCode;
  int FHighWater = 0;  // chains: one past the highest entry defined since the table was zeroed
  int FFirstCode = 0;  // the first character of the last string
  int FOldCode = 0;    // the last code
  bool FChains = false;
  bool FPending = false;  // a string did not fit the frame: its rest waits
  // Bit buffer: two bytes carried from the previous sub-block, the latest
  // sub-block, and slack for reading whole words.
  uint8_t FBuffer[2 + 255 + 8];
  int FBitCursor = 0;  // bits
  int FBitLimit = 0;   // bits
  int FLastByte = 2;
  bool FDataEnded = false;
  bool FTerminatorSeen = false;
  bool FStreamEnded = false;
  bool FFresh = true;
  TEntry FEntries[TableSize];
  uint16_t FPrefix[TableSize];
  uint16_t FSuffix[TableSize];
  uint16_t FStack[StackSize];
  int FTop = 0;
};

int TLZWDecoder::ReadCodeRefilling(int width) {
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
  // At most 12 bits from any bit offset fit in four bytes; bytes past the
  // valid ones (the slack) are masked off.
  const uint32_t bits = LoadLE32(FBuffer + (FBitCursor >> 3));
  const int value = static_cast<int>((bits >> (FBitCursor & 7)) & ((1u << width) - 1));
  FBitCursor += width;
  return value;
}

void TLZWDecoder::SkipRest() {
  uint8_t length = 0;
  while (ReadOptionalByte(FStream, length) && length != 0) SkipBytes(FStream, length);
  FTerminatorSeen = true;
  FDataEnded = true;
}

size_t TLZWDecoder::Decode(uint8_t* out, size_t count, bool slack) {
  const size_t done = DecodeStrings(out, count, slack);
  FWritten = done;
  // Whole-block copies may have written a little beyond the last string.
  if (!slack && done < count) std::memset(out + done, FFill, std::min<size_t>(15, count - done));
  return done;
}

size_t TLZWDecoder::DecodeStrings(uint8_t* out, size_t count, bool slack) {
  const uint8_t* limit = out + count + (slack ? 15 : 0);
  size_t done = 0;
  size_t previous = 0;      // where the last string starts
  size_t previousSize = 0;  // and its length
  // Kept in locals: stores through the byte pointer could otherwise change
  // any member, as far as the compiler can tell.
  int width = FCodeWidth;
  int next = FNextFreeCode;
  int threshold = FThreshold;
  int oldCode = FOldCode;
  int firstCode = FFirstCode;
  TEntry* const entries = FEntries;
  const int clear = FClearCode;
  const int firstFree = FFirstFreeCode;
  // Before anything that may raise (reading the stream, reporting): what
  // was decoded is in place and what lies beyond it holds the fill value.
  auto checkpoint = [&] {
    FWritten = done;
    if (!slack && done < count) std::memset(out + done, FFill, std::min<size_t>(15, count - done));
  };
  auto read = [&](int bits) {
    if (FBitCursor + bits <= FBitLimit) return ReadCode(bits);
    checkpoint();
    return ReadCodeRefilling(bits);
  };
  auto store = [&] {
    FCodeWidth = width;
    FNextFreeCode = next;
    FThreshold = threshold;
    FOldCode = oldCode;
    FFirstCode = firstCode;
  };
  while (done < count) {
    int code = read(width);
    size_t size;
    int first;
    if (code >= firstFree && code < next) {
      const TEntry& e = entries[code];
      size = e.Length;
      first = e.First;
      if (size > count - done) {
        std::memcpy(out + done, out + e.Position, count - done);
        FPending = true;
      } else {
        CopyForward(out + done, out + e.Position, size, limit);
      }
    } else if (code < clear) {
      if (code < 0) break;  // the data has ended
      out[done] = static_cast<uint8_t>(code);
      size = 1;
      first = code;
    } else if (code == next) {
      // Defined by this very use: the last string and its own first character.
      size = previousSize + 1;
      first = firstCode;
      if (size > count - done) {
        for (size_t i = 0; i < count - done; ++i) out[done + i] = out[previous + i];
        FPending = true;
      } else {
        CopyForward(out + done, out + previous, size, limit);
      }
    } else if (code == clear) {
      // Entries are overwritten as they are defined again: nothing to zero.
      width = FMinimumCodeSize + 1;
      threshold = 2 * clear;
      next = firstFree;
      do code = read(width);
      while (code == clear);
      if (code == FEndCode) {
        checkpoint();
        EndOfData();
        break;
      }
      if (code < 0) break;
      firstCode = oldCode = code;
      if (code >= clear) {
        // A string that is not in the table yet: answered as it is.
        store();
        return DecodeByChains(out, done, count, code, true, slack);
      }
      out[done] = static_cast<uint8_t>(code);
      previous = done;
      previousSize = 1;
      ++done;
      continue;
    } else if (code == FEndCode) {
      checkpoint();
      EndOfData();
      break;
    } else {
      // Beyond the entry being defined.
      store();
      return DecodeByChains(out, done, count, code, false, slack);
    }
    if (next < TableSize) {
      FPrefix[next] = static_cast<uint16_t>(oldCode);
      FSuffix[next] = static_cast<uint16_t>(first);
      entries[next] = TEntry{static_cast<uint32_t>(previous), static_cast<uint16_t>(previousSize + 1),
                             static_cast<uint16_t>(firstCode)};
      ++next;
      if (next >= threshold && threshold < TableSize) {
        threshold *= 2;
        ++width;
      }
    }
    oldCode = code;
    firstCode = first;
    previous = done;
    previousSize = size;
    done += size;
  }
  store();
  return done < count ? done : count;
}

void TLZWDecoder::EnterChainMode() {
  // The chain walk reads literal entries and zeroes, as the table holds
  // them after a clear, for every entry not defined since.
  for (int i = 0; i < FClearCode; ++i) {
    FPrefix[i] = 0;
    FSuffix[i] = static_cast<uint16_t>(i);
  }
  for (int i = FClearCode; i < FFirstFreeCode; ++i) FPrefix[i] = FSuffix[i] = 0;
  for (int i = FNextFreeCode; i < TableSize; ++i) FPrefix[i] = FSuffix[i] = 0;
  FHighWater = FNextFreeCode;
  FTop = 0;
  FChains = true;
}

size_t TLZWDecoder::DecodeByChains(uint8_t* out, size_t done, size_t count, int code, bool afterClear,
                                   bool slack) {
  EnterChainMode();
  FWritten = done;
  if (!slack) std::memset(out + done, FFill, std::min<size_t>(15, count - done));
  int value = afterClear ? code : DecodeCode(code);
  while (value >= 0) {
    out[done++] = static_cast<uint8_t>(value);
    FWritten = done;
    if (done == count) break;
    value = NextValue();
  }
  FPending = FTop > 0;
  return done;
}

int TLZWDecoder::NextValue() {
  if (FTop > 0) return FStack[--FTop];
  return DecodeCode(ReadCode(FCodeWidth));
}

void TLZWDecoder::ResetTable() {
  // Entries from the clear code up were zero before they were defined, so
  // only those defined since the last reset need zeroing again.
  for (int i = FClearCode; i < FHighWater && i < TableSize; ++i) FPrefix[i] = FSuffix[i] = 0;
  FCodeWidth = FMinimumCodeSize + 1;
  FThreshold = 2 * FClearCode;
  FNextFreeCode = FFirstFreeCode;
  FHighWater = FNextFreeCode;
  FTop = 0;
}

// One code by its prefix chain: the string goes onto the stack, last
// character first; answers the first, or -1 or -2 at the end of the data.
int TLZWDecoder::DecodeCode(int code) {
  if (code < 0) return code;
  if (code == FClearCode) {
    ResetTable();
    do code = ReadCode(FCodeWidth);
    while (code == FClearCode);
    // An end code straight after a clear ends the data like any end code
    // (it is what an encoder writes for an image without pixels).
    if (code == FEndCode) {
      EndOfData();
      return -2;
    }
    FFirstCode = FOldCode = code;
    return code;
  }
  if (code == FEndCode) {
    EndOfData();
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

void TLZWDecoder::Finish() {
  if (FChains) {
    (void)NextValue();
  } else if (!FPending) {
    // One more code, read as the chain walk would read it; its pixels are
    // not wanted, and with a table that never refers to itself it can
    // raise nothing.
    int code = ReadCode(FCodeWidth);
    if (code == FClearCode) {
      FCodeWidth = FMinimumCodeSize + 1;
      do code = ReadCode(FCodeWidth);
      while (code == FClearCode);
    }
    if (code == FEndCode) EndOfData();
  }
  if (!FTerminatorSeen && !FStreamEnded) SkipRest();
}

}  // namespace

void TGIFSubImage::DecodePixels(TStream& stream) {
  AllocatePixels();
  const uint8_t fill = IsTransparent() && GraphicControl() ? GraphicControl()->TransparentColorIndex() : 0;
  if (!FData.empty() && fill != 0) std::memset(FData.data(), fill, FData.size());

  uint8_t minimumCodeSize = 0;
  if (!ReadOptionalByte(stream, minimumCodeSize)) return;
  // Larger sizes would put the clear code beyond the 4096-entry table.
  if (minimumCodeSize > 11) RaiseGIFError("Invalid LZW code size");

  auto decoder = std::make_unique<TLZWDecoder>(*this, stream, minimumCodeSize, fill);
  const size_t count = FData.size();
  if (!IsInterlaced()) {
    decoder->Decode(FData.data(), count, false);
  } else if (count > 0) {
    // Decoded in file order, then each row put in its place (also the rows
    // decoded before an error): every 8th row from 0, every 8th from 4,
    // every 4th from 2, every 2nd from 1.
    std::unique_ptr<uint8_t[]> rows(new uint8_t[count + 15]);
    const auto place = [&](size_t done) {
      const size_t width = static_cast<size_t>(FWidth);
      const int height = FHeight;
      int row = 0;
      int step = 8;
      int pass = 0;
      for (size_t from = 0; from < done; from += width) {
        std::memcpy(FData.data() + static_cast<size_t>(row) * width, rows.get() + from, std::min(width, done - from));
        if (from + width >= count) break;
        row += step;
        while (row >= height) {
          if (pass > 0) step /= 2;
          ++pass;
          row = step / 2;
        }
      }
    };
    try {
      place(decoder->Decode(rows.get(), count, true));
    } catch (...) {
      place(decoder->Written());
      throw;
    }
  }
  decoder->Finish();
}
