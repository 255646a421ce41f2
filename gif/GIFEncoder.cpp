#include "gif/GIFEncoder.h"

#include "gif/GIFContainer.h"
#include "gif/GIFSubImage.h"

#include <algorithm>
#include <cstring>
#include <memory>

const TClassInfo TGIFStream::ClassInfo{"TGIFStream", &TStream::ClassInfo, nullptr};
const TClassInfo TGIFWriter::ClassInfo{"TGIFWriter", &TGIFStream::ClassInfo, nullptr};

namespace {

[[noreturn]] void InvalidStreamOperation() { throw Exception("Invalid stream operation"); }

constexpr uint32_t Mask(int bits) { return (1u << bits) - 1; }

}  // namespace

// ---- streams ----

int32_t TGIFStream::Read(void*, int32_t) { InvalidStreamOperation(); }
int32_t TGIFStream::Write(const void*, int32_t) { InvalidStreamOperation(); }
int64_t TGIFStream::Seek(int64_t, TSeekOrigin) { InvalidStreamOperation(); }
int64_t TGIFStream::Size() { InvalidStreamOperation(); }

int32_t TGIFWriter::Write(const void* buffer, int32_t count) {
  if (count <= 0) return 0;
  FDirty = true;
  const auto* p = static_cast<const uint8_t*>(buffer);
  int32_t left = count;
  while (left > 0) {
    const int32_t n = std::min<int32_t>(left, 256 - FFill);
    std::memcpy(FBuffer.data() + FFill, p, static_cast<size_t>(n));
    FFill += n;
    p += n;
    left -= n;
    if (FFill > 255) FlushBlock();
  }
  return count;
}

void TGIFWriter::FlushBlock() {
  // An empty sub-block would be read as the terminator: nothing pending,
  // nothing written.
  if (FFill > 1) {
    FBuffer[0] = static_cast<uint8_t>(FFill - 1);
    FTarget.WriteBuffer(FBuffer.data(), FFill);
  }
  FFill = 1;
  FDirty = false;
}

// ---- hash table ----

void THashTable::Store(uint32_t key, int code) {
  int slot = static_cast<int>((key ^ (key >> 4)) % Size);
  const int step = slot == 0 ? 1 : Size - slot;
  while ((FSlots[slot] >> 12) != 0xFFFFFu) {
    slot -= step;
    if (slot < 0) slot += Size;
  }
  FSlots[slot] = (key << 12) | (static_cast<uint32_t>(code) & 0xFFF);
}

int THashTable::Find(uint32_t key) const {
  int slot = static_cast<int>((key ^ (key >> 4)) % Size);
  const int step = slot == 0 ? 1 : Size - slot;
  for (;;) {
    const uint32_t entry = FSlots[slot];
    if ((entry >> 12) == 0xFFFFFu) return -1;
    if ((entry >> 12) == key) return static_cast<int>(entry & 0xFFF);
    slot -= step;
    if (slot < 0) slot += Size;
  }
}

// ---- encoder base ----

void TGIFEncoder::EncodeFrame(TStream& stream, int bitsPerPixel, int colorLimit, const uint8_t* pixels,
                              bool interlaced, int height, int width) {
  FColorLimit = colorLimit;
  FBitsPerPixel = std::clamp(bitsPerPixel, 2, 8);
  FWidth = width;
  FHeight = height;
  FInterlaced = interlaced;
  FPixels = pixels;
  FInitialCodeWidth = FBitsPerPixel + 1;
  stream.WriteByte(static_cast<uint8_t>(FBitsPerPixel));

  FCodeWidth = FInitialCodeWidth;
  FLargestCode = static_cast<int>(Mask(FCodeWidth));
  FClearCode = 1 << FBitsPerPixel;
  FEndCode = FClearCode + 1;
  FFirstFreeCode = FClearCode + 2;
  FAccumulator = 0;
  FBitCount = 0;
  FPixelsLeft = interlaced ? width : static_cast<int64_t>(width) * height;
  FRow = 0;
  FPass = 0;
  FCurrent = pixels;
  FClearFlag = false;

  TGIFWriter writer(stream);
  writer.OnWarning = OnWarning;
  FWriter = &writer;
  try {
    if (pixels && width > 0 && height > 0) EncodeAll();
    EmitCode(FEndCode);
    if (writer.Dirty()) writer.FlushBlock();
  } catch (...) {
    FWriter = nullptr;
    throw;
  }
  FWriter = nullptr;
  stream.WriteByte(0);
}

void TGIFEncoder::EmitCode(int code) {
  if (FBitCount == 0) FAccumulator = static_cast<uint32_t>(code);
  else FAccumulator = (static_cast<uint32_t>(code) << FBitCount) | (FAccumulator & Mask(FBitCount));
  FBitCount += FCodeWidth;
  while (FBitCount > 7) {
    FWriter->PutByte(static_cast<uint8_t>(FAccumulator));
    FAccumulator >>= 8;
    FBitCount -= 8;
  }
  if (code == FEndCode) {
    while (FBitCount > 0) {
      FWriter->PutByte(static_cast<uint8_t>(FAccumulator));
      FAccumulator >>= 8;
      FBitCount -= 8;
    }
    FBitCount = 0;
  }
}

void TGIFEncoder::EmitClear() {
  FClearFlag = true;
  EmitCode(FClearCode);
}

int TGIFEncoder::CurrentPixel() const {
  const int pixel = *FCurrent;
  if (pixel >= FColorLimit) RaiseGIFError("Color not in color table");
  return pixel;
}

bool TGIFEncoder::NextPixel() {
  if (--FPixelsLeft > 0) {
    ++FCurrent;
    return true;
  }
  if (!FInterlaced) return false;
  // The next row in interlace order: passes step 8 from 0, 8 from 4, 4 from
  // 2 and 2 from 1; a pass whose first row is beyond the last is skipped.
  static constexpr int Step[4] = {8, 8, 4, 2};
  static constexpr int FirstRow[4] = {0, 4, 2, 1};
  FPixelsLeft = FWidth;
  FRow += Step[FPass];
  while (FRow >= FHeight && FPass < 3) {
    ++FPass;
    FRow = FirstRow[FPass];
  }
  if (FRow >= FHeight) return false;
  FCurrent = FPixels + static_cast<size_t>(FRow) * FWidth;
  return true;
}

bool TGIFEncoder::NextStretch(const uint8_t*& pixels, size_t& count) {
  if (!FInterlaced) {
    if (FPixelsLeft <= 0) return false;
    pixels = FCurrent;
    count = static_cast<size_t>(FPixelsLeft);
    FPixelsLeft = 0;
    return true;
  }
  if (FRow >= FHeight) return false;
  pixels = FPixels + static_cast<size_t>(FRow) * FWidth;
  count = static_cast<size_t>(FWidth);
  // The next row as NextPixel finds it.
  static constexpr int Step[4] = {8, 8, 4, 2};
  static constexpr int FirstRow[4] = {0, 4, 2, 1};
  FRow += Step[FPass];
  while (FRow >= FHeight && FPass < 3) {
    ++FPass;
    FRow = FirstRow[FPass];
  }
  return true;
}

// ---- LZW ----

void TLZWEncoder::EmitCode(int code) {
  TGIFEncoder::EmitCode(code);
  if (FClearFlag) {
    FCodeWidth = FInitialCodeWidth;
    FLargestCode = static_cast<int>(Mask(FCodeWidth));
    FClearFlag = false;
  } else if (FNextFreeCode > FLargestCode) {
    // The decoder widens its codes as its table reaches each power of two,
    // never beyond 12 bits.
    ++FCodeWidth;
    FLargestCode = FCodeWidth >= 12 ? 4096 : static_cast<int>(Mask(FCodeWidth));
  }
}

void TLZWEncoder::EmitClear() {
  TGIFEncoder::EmitClear();
  FHashTable->Clear();
  FNextFreeCode = FClearCode + 2;
}

void TLZWEncoder::EncodeAll() {
  auto table = std::make_unique<THashTable>();
  FHashTable = table.get();
  // In front of the dictionary, each prefix code remembers the last pixel
  // looked up after it and the code found or made for the pair: pictures
  // repeat the same continuations, and this lookup needs no hashing. An
  // entry holds generation << 20 | pixel << 12 | code; a clear starts a
  // new generation, which invalidates all entries at once.
  auto recent = std::make_unique<uint32_t[]>(4096);
  uint32_t generation = 1;
  EmitClear();
  const int limit = FColorLimit;
  int prefix = -1;
  int next = FNextFreeCode;
  const uint8_t* stretch = nullptr;
  size_t count = 0;
  while (NextStretch(stretch, count)) {
    size_t i = 0;
    if (prefix < 0) {
      prefix = stretch[0];
      if (prefix >= limit) RaiseGIFError("Color not in color table");
      i = 1;
    }
    for (; i < count; ++i) {
      const int pixel = stretch[i];
      if (pixel >= limit) RaiseGIFError("Color not in color table");
      const uint32_t tag = generation << 20 | static_cast<uint32_t>(pixel) << 12;
      const uint32_t seen = recent[prefix];
      if ((seen & ~0xFFFu) == tag) {
        prefix = static_cast<int>(seen & 0xFFF);
        continue;
      }
      const uint32_t key = (static_cast<uint32_t>(prefix) << 8) | static_cast<uint32_t>(pixel);
      const int slot = table->Locate(key);
      if (!table->IsEmpty(slot)) {
        const int code = table->CodeAt(slot);
        recent[prefix] = tag | static_cast<uint32_t>(code);
        prefix = code;
        continue;
      }
      FNextFreeCode = next;
      EmitCode(prefix);
      // Clear before the decoder's table would pass 4095 entries.
      if (next > 4094) {
        EmitClear();
        next = FNextFreeCode;
        if (++generation == 4096) {
          std::fill_n(recent.get(), 4096, 0u);
          generation = 1;
        }
      } else {
        recent[prefix] = tag | static_cast<uint32_t>(next);
        table->StoreAt(slot, key, next++);
      }
      prefix = pixel;
    }
  }
  FNextFreeCode = next;
  EmitCode(prefix);
  FHashTable = nullptr;
}

// ---- run-length ----

int64_t IntegerSqrt(int64_t x) {
  if (x < 2) return x;
  int digits = 0;
  for (int64_t v = x; v > 0; v >>= 2) ++digits;
  int64_t r = int64_t(1) << digits;
  for (;;) {
    const int64_t next = (x / r + r) / 2;
    if (next == r || next == r + 1) return r;
    r = next;
  }
}

void TRLEEncoder::EmitClear() {
  FBumpPoint = FBumpInitial;
  FClearPoint = FClearInitial;
  FOutputCount = 0;
  FLongestRun = 0;
  TGIFEncoder::EmitClear();
  FCodeWidth = FInitialCodeWidth;
}

void TRLEEncoder::EncodeAll() {
  FBumpInitial = FClearCode - 1;
  FClearInitial = FBitsPerPixel > 3 ? FClearCode - 2 : 9;
  FLargestCount = 4095 - FFirstFreeCode;
  EmitClear();
  FRunPixel = -1;
  FRunLength = 0;
  do {
    const int pixel = CurrentPixel();
    if (FRunLength > 0 && pixel == FRunPixel) {
      ++FRunLength;
    } else {
      if (FRunLength > 0) FlushRun(FRunLength);
      FRunPixel = pixel;
      FRunLength = 1;
    }
  } while (NextPixel());
  if (FRunLength > 0) FlushRun(FRunLength);
}

void TRLEEncoder::OutputPlain(int code) {
  FClearFlag = false;
  EmitCode(code);
  ++FOutputCount;
  // The decoder adds one entry per code after the first following a clear,
  // so its width grows after clear - 1 codes, then after each doubling.
  if (FOutputCount == FBumpPoint) {
    FBumpPoint += 1 << FCodeWidth;
    ++FCodeWidth;
  }
  if (FOutputCount >= FClearPoint) EmitClear();
}

void TRLEEncoder::FlushRun(int64_t count) {
  if (count == 1) OutputPlain(FRunPixel);
  else if (FClearFlag) FillFromClear(count);
  else if (FLongestRun > 1 && FTablePixel == FRunPixel) FlushWithTable(count);
  else ClearOrRepeat(count);
}

void TRLEEncoder::FillFromClear(int64_t count) {
  // Right after a clear, each code the decoder has just defined is one
  // longer run of the pixel: the pixel, then first free code + k - 2 for a
  // run of k.
  FClearPoint = FLargestCount;
  FTablePixel = FRunPixel;
  int64_t k = 1;
  while (count > 0) {
    if (k == 1) {
      FLongestRun = 1;
      OutputPlain(FRunPixel);
      count -= 1;
    } else if (count >= k) {
      FLongestRun = k;
      OutputPlain(static_cast<int>(FFirstFreeCode + k - 2));
      count -= k;
    } else if (count == 1) {
      ++FLongestRun;
      OutputPlain(FRunPixel);
      count = 0;
    } else {
      ++FLongestRun;
      OutputPlain(static_cast<int>(FFirstFreeCode + count - 2));
      count = 0;
    }
    k = FOutputCount == 0 ? 1 : k + 1;
  }
  FClearPoint = FClearInitial;
  if (FOutputCount >= FClearPoint) EmitClear();
}

void TRLEEncoder::FlushWithTable(int64_t count) {
  int64_t repeats = count / FLongestRun;
  int64_t leftover = count % FLongestRun;
  int64_t extra = leftover > 0 ? 1 : 0;
  if (FOutputCount + repeats + extra > FLargestCount) {
    repeats = FLargestCount - FOutputCount;
    leftover = count - repeats * FLongestRun;
    extra = 1 + TriangleCost(leftover);
  }
  if (1 + TriangleCost(count) < repeats + extra) {
    EmitClear();
    FillFromClear(count);
    return;
  }
  FClearPoint = FLargestCount;
  for (int64_t i = 0; i < repeats; ++i) OutputPlain(static_cast<int>(FFirstFreeCode + FLongestRun - 2));
  if (leftover > 0) {
    if (FClearFlag) FillFromClear(leftover);
    else if (leftover == 1) OutputPlain(FRunPixel);
    else OutputPlain(static_cast<int>(FFirstFreeCode + leftover - 2));
  }
  FClearPoint = FClearInitial;
  if (FOutputCount >= FClearPoint) EmitClear();
}

void TRLEEncoder::ClearOrRepeat(int64_t count) {
  if (1 + TriangleCost(count) < count) {
    EmitClear();
    FillFromClear(count);
  } else {
    for (int64_t i = 0; i < count; ++i) OutputPlain(FRunPixel);
  }
}

int64_t TRLEEncoder::TriangleCost(int64_t count) const {
  // Codes a fill from clear needs for `count` pixels: runs of 1, 2, 3, ...
  // up to a table's worth, then again.
  const int64_t r = FLargestCount;
  const int64_t perTable = r * (r + 1) / 2;
  int64_t cost = 0;
  while (count >= perTable) {
    cost += r;
    count -= perTable;
  }
  if (count > 0) {
    int64_t m = IntegerSqrt(2 * count);
    while (m > 0 && m * (m + 1) >= 2 * count) --m;
    while (m * (m + 1) < 2 * count) ++m;
    cost += m;
  }
  return cost;
}

// ---- frames ----

void TGIFSubImage::EncodePixels(TStream& stream) {
  int bitsPerPixel;
  int colorLimit;
  if (FColorMap.Count() > 0) {
    bitsPerPixel = FColorMap.BitsNeeded();
    colorLimit = FColorMap.Count();
  } else {
    bitsPerPixel = Image() ? Image()->BitsPerPixel() : 8;
    colorLimit = 1 << bitsPerPixel;
  }
  std::unique_ptr<TGIFEncoder> encoder;
  if (Image() && Image()->Encoding == TGIFEncoding::enRunLength) encoder = std::make_unique<TRLEEncoder>();
  else encoder = std::make_unique<TLZWEncoder>();
  if (TGIFContainer* image = Image())
    encoder->OnWarning = TEvent<void(TObject*, int, const AnsiString&)>::Lambda(
        [image](TObject* sender, int severity, const AnsiString& message) { image->ReportIssue(sender, severity, message); });
  encoder->EncodeFrame(stream, bitsPerPixel, colorLimit, FData.empty() ? nullptr : FData.data(), IsInterlaced(),
                       FHeight, FWidth);
}
