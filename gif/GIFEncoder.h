// Writing image data: the sub-block writer, the LZW encoder with its hash
// table, and the run-length encoder whose codes any GIF decoder reads back
// without the encoder building a dictionary.
// Portable: no Windows headers.
#pragma once

#include "gif/GIFTypes.h"
#include "platform/Event.h"

#include <array>

// A write-only wrapper over a target stream: reading, seeking and asking the
// size raise "Invalid stream operation".
class TGIFStream : public TStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  explicit TGIFStream(TStream& target) : FTarget(target) {}
  int32_t Read(void* buffer, int32_t count) override;
  int32_t Write(const void* buffer, int32_t count) override;
  int64_t Seek(int64_t offset, TSeekOrigin origin) override;
  int64_t Size() override;

  TEvent<void(TObject*, int, const AnsiString&)> OnWarning;

protected:
  TStream& FTarget;
};

// Cuts what is written into data sub-blocks: every block but the last holds
// 255 bytes, and the target sees one write per block.
class TGIFWriter : public TGIFStream {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  using TGIFStream::TGIFStream;
  int32_t Write(const void* buffer, int32_t count) override;
  // Write of one byte, for the encoders' code packing.
  void PutByte(uint8_t value) {
    FDirty = true;
    FBuffer[FFill++] = value;
    if (FFill > 255) FlushBlock();
  }
  // Writes the pending bytes as one sub-block (nothing when none are pending).
  void FlushBlock();
  bool Dirty() const { return FDirty; }

private:
  std::array<uint8_t, 256> FBuffer{};  // byte 0 is the sub-block length
  int FFill = 1;
  bool FDirty = false;
};

// LZW dictionary of the encoder: open addressing over a prime number of
// 32-bit slots, each holding key << 12 | code with key = prefix << 8 | pixel.
class THashTable {
public:
  THashTable() { Clear(); }
  void Clear() { FSlots.fill(0xFFFFFFFFu); }
  void Store(uint32_t key, int code);
  // The code stored for `key`, or -1.
  int Find(uint32_t key) const;

  // Where `key` is stored, or the empty slot where it would be stored:
  // one probe sequence serves the lookup and the store that follows a miss.
  int Locate(uint32_t key) const {
    int slot = static_cast<int>((key ^ (key >> 4)) % Size);
    const int step = slot == 0 ? 1 : Size - slot;
    for (;;) {
      const uint32_t entry = FSlots[slot] >> 12;
      if (entry == key || entry == 0xFFFFFu) return slot;
      slot -= step;
      if (slot < 0) slot += Size;
    }
  }
  bool IsEmpty(int slot) const { return (FSlots[slot] >> 12) == 0xFFFFFu; }
  int CodeAt(int slot) const { return static_cast<int>(FSlots[slot] & 0xFFF); }
  void StoreAt(int slot, uint32_t key, int code) { FSlots[slot] = (key << 12) | (static_cast<uint32_t>(code) & 0xFFF); }

private:
  static constexpr int Size = 8009;
  std::array<uint32_t, Size> FSlots;
};

// What both encoders share: the frame scan, code packing and the writer.
class TGIFEncoder {
public:
  virtual ~TGIFEncoder() = default;

  TEvent<void(TObject*, int, const AnsiString&)> OnWarning;

  // Writes the minimum code size, the data sub-blocks and the terminator.
  // A pixel at or above `colorLimit` raises "Color not in color table".
  void EncodeFrame(TStream& stream, int bitsPerPixel, int colorLimit, const uint8_t* pixels,
                   bool interlaced, int height, int width);

protected:
  virtual void EmitCode(int code);
  virtual void EmitClear();
  virtual void EncodeAll() = 0;

  // The current pixel, checked against the colour limit.
  int CurrentPixel() const;
  // Advances the scan (rows in interlace order when interlaced); false at the end.
  bool NextPixel();
  // The scan a stretch at a time: all pixels of a frame that is not
  // interlaced, else its rows in interlace order; false at the end.
  bool NextStretch(const uint8_t*& pixels, size_t& count);

  TGIFWriter* FWriter = nullptr;
  int FColorLimit = 0;
  int FBitsPerPixel = 0;
  int FWidth = 0;
  int FHeight = 0;
  bool FInterlaced = false;
  const uint8_t* FPixels = nullptr;
  int FInitialCodeWidth = 0;
  int FCodeWidth = 0;
  int FLargestCode = 0;
  int FClearCode = 0;
  int FEndCode = 0;
  int FFirstFreeCode = 0;
  uint32_t FAccumulator = 0;
  int FBitCount = 0;
  int64_t FPixelsLeft = 0;
  int FRow = 0;
  int FPass = 0;
  const uint8_t* FCurrent = nullptr;
  bool FClearFlag = false;
};

// Classic LZW with a clear code before the dictionary passes 4094 entries;
// codes are never wider than 12 bits.
class TLZWEncoder : public TGIFEncoder {
protected:
  void EmitCode(int code) override;
  void EmitClear() override;
  void EncodeAll() override;

private:
  THashTable* FHashTable = nullptr;
  int FNextFreeCode = 0;
};

// Run-length encoding in GIF codes: each code is a pixel value or a code
// the decoder has just defined as a run of the current pixel.
class TRLEEncoder : public TGIFEncoder {
protected:
  void EmitClear() override;
  void EncodeAll() override;

private:
  void OutputPlain(int code);
  void FlushRun(int64_t count);
  void FillFromClear(int64_t count);
  void FlushWithTable(int64_t count);
  void ClearOrRepeat(int64_t count);
  int64_t TriangleCost(int64_t count) const;

  int FRunPixel = -1;
  int64_t FRunLength = 0;
  int FOutputCount = 0;
  int FBumpPoint = 0;
  int FBumpInitial = 0;
  int FClearPoint = 0;
  int FClearInitial = 0;
  int FLargestCount = 0;
  int64_t FLongestRun = 0;
  int FTablePixel = -1;
};

// Integer square root (rounded down).
int64_t IntegerSqrt(int64_t x);
