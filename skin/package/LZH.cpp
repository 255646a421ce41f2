#include "skin/package/LZH.h"

#include <cstring>
#include <new>

using namespace lzh;

namespace {
// A stream may stop a little before the decoder's last refill: the decoder
// reads ahead up to two bytes, and an encoder that keeps its last partial code
// in a buffer leaves it short. More missing input than that means the package
// was cut off; going on would only invent bytes.
constexpr int64_t kPaddingBits = 16;
}  // namespace

const TClassInfo TLZH::ClassInfo = {"TLZH", &TObject::ClassInfo, nullptr};

int lzh::LeadUpper(unsigned lead) {
  lead &= 0xFF;
  if (lead < 0x20) return 0;
  if (lead < 0x50) return 1 + static_cast<int>(lead - 0x20) / 16;
  if (lead < 0x90) return 4 + static_cast<int>(lead - 0x50) / 8;
  if (lead < 0xC0) return 12 + static_cast<int>(lead - 0x90) / 4;
  if (lead < 0xF0) return 24 + static_cast<int>(lead - 0xC0) / 2;
  return 48 + static_cast<int>(lead - 0xF0);
}

int lzh::LeadLength(unsigned lead) {
  lead &= 0xFF;
  if (lead < 0x20) return 3;
  if (lead < 0x50) return 4;
  if (lead < 0x90) return 5;
  if (lead < 0xC0) return 6;
  if (lead < 0xF0) return 7;
  return 8;
}

void TLZHTables::StartHuff() {
  for (int i = 0; i < NChar; ++i) {
    freq[i] = 1;
    son[i] = static_cast<int16_t>(i + T);
    prnt[i + T] = static_cast<int16_t>(i);
  }
  for (int i = 0, j = NChar; j <= R; i += 2, ++j) {
    freq[j] = static_cast<uint16_t>(freq[i] + freq[i + 1]);
    son[j] = static_cast<int16_t>(i);
    prnt[i] = prnt[i + 1] = static_cast<int16_t>(j);
  }
  freq[T] = 0xFFFF;
  prnt[R] = 0;
}

// Halves every leaf count and builds the tree again, so that counts stay
// within 16 bits and old statistics fade.
void TLZHTables::Reconst() {
  int j = 0;
  for (int i = 0; i < T; ++i) {
    if (son[i] >= T) {
      freq[j] = static_cast<uint16_t>((freq[i] + 1) / 2);
      son[j] = son[i];
      ++j;
    }
  }
  for (int i = 0, node = NChar; node < T; i += 2, ++node) {
    const unsigned f = freq[i] + freq[i + 1];
    int k = node - 1;
    while (f < freq[k]) --k;
    ++k;
    const size_t moved = static_cast<size_t>(node - k);
    std::memmove(&freq[k + 1], &freq[k], moved * sizeof freq[0]);
    std::memmove(&son[k + 1], &son[k], moved * sizeof son[0]);
    freq[k] = static_cast<uint16_t>(f);
    son[k] = static_cast<int16_t>(i);
  }
  for (int i = 0; i < T; ++i) {
    const int k = son[i];
    if (k >= T) {
      prnt[k] = static_cast<int16_t>(i);
    } else {
      prnt[k] = prnt[k + 1] = static_cast<int16_t>(i);
    }
  }
}

void TLZHTables::Update(int symbol) {
  if (freq[R] == MaxFreq) Reconst();
  int c = prnt[symbol + T];
  do {
    const unsigned k = ++freq[c];
    // Keep frequencies ascending: swap the node with the last one it now outgrows.
    if (k > freq[c + 1]) {
      int l = c + 1;
      while (k > freq[l + 1]) ++l;
      freq[c] = freq[l];
      freq[l] = static_cast<uint16_t>(k);
      const int i = son[c];
      prnt[i] = static_cast<int16_t>(l);
      if (i < T) prnt[i + 1] = static_cast<int16_t>(l);
      const int j = son[l];
      son[l] = static_cast<int16_t>(i);
      prnt[j] = static_cast<int16_t>(c);
      if (j < T) prnt[j + 1] = static_cast<int16_t>(c);
      son[c] = static_cast<int16_t>(j);
      c = l;
    }
    c = prnt[c];
  } while (c != 0);
}

void TLZH::ReadInput(uint8_t* buffer, uint16_t count, uint16_t& actual) {
  const int64_t left = FInput.Size() - FInput.Position();
  const int32_t wanted = static_cast<int32_t>(left < count ? (left > 0 ? left : 0) : count);
  actual = static_cast<uint16_t>(wanted > 0 ? FInput.Read(buffer, wanted) : 0);
}

void TLZH::WriteOutput(const uint8_t* buffer, uint16_t count, uint16_t& actual) {
  FOutput.WriteBuffer(buffer, count);
  actual = count;
}

void TLZH::TakeBits(int count) {
  while (FBitCount <= 8) {
    uint8_t byte = 0;
    uint16_t got = 0;
    ReadInput(&byte, 1, got);
    if (got == 0) byte = 0;
    FBitBuffer = static_cast<uint16_t>(FBitBuffer | (byte << (8 - FBitCount)));
    FBitCount = static_cast<uint8_t>(FBitCount + 8);
  }
  FBitsLeft -= count;
  if (FBitsLeft < -kPaddingBits) throw ElzhException("LZH : Compressed data ends before the unpacked size is reached");
}

unsigned TLZH::GetBit() {
  TakeBits(1);
  const unsigned bit = FBitBuffer >> 15;
  FBitBuffer = static_cast<uint16_t>(FBitBuffer << 1);
  --FBitCount;
  return bit;
}

unsigned TLZH::GetByte() {
  TakeBits(8);
  const unsigned byte = FBitBuffer >> 8;
  FBitBuffer = static_cast<uint16_t>(FBitBuffer << 8);
  FBitCount = static_cast<uint8_t>(FBitCount - 8);
  return byte;
}

int TLZH::DecodeChar() {
  TLZHTables& t = *FTables;
  int c = t.son[R];
  while (c < T) c = t.son[c + static_cast<int>(GetBit())];
  c -= T;
  t.Update(c);
  return c;
}

int TLZH::DecodePosition() {
  unsigned b = GetByte();
  const int upper = LeadUpper(b);
  for (int d = LeadLength(b) - 2; d > 0; --d) b = (b << 1) + GetBit();
  return (upper << 6) | static_cast<int>(b & 0x3F);
}

void TLZH::Decode(int32_t size) {
  FBitBuffer = 0;
  FBitCount = 0;
  FBitsLeft = 8 * (FInput.Size() - FInput.Position());
  FTables.reset(new (std::nothrow) TLZHTables);
  std::unique_ptr<uint8_t[]> ring(new (std::nothrow) uint8_t[N + F - 1]);
  if (!FTables || !ring) {
    FTables.reset();
    throw ElzhException("LZH : Cannot get memory for dictionary tables");
  }
  struct TablesGuard {
    std::unique_ptr<TLZHTables>& Tables;
    ~TablesGuard() { Tables.reset(); }
  } guard{FTables};

  FTables->StartHuff();
  std::memset(ring.get(), ' ', FirstPosition);
  std::memset(ring.get() + FirstPosition, 0, N + F - 1 - FirstPosition);
  int r = FirstPosition;
  uint16_t written = 0;
  for (int64_t produced = 0; produced < size;) {
    const int c = DecodeChar();
    if (c < 256) {
      const uint8_t byte = static_cast<uint8_t>(c);
      WriteOutput(&byte, 1, written);
      ring[r] = byte;
      r = (r + 1) & (N - 1);
      ++produced;
    } else {
      const int from = (r - DecodePosition() - 1) & (N - 1);
      const int length = c - 255 + Threshold;
      for (int k = 0; k < length; ++k) {
        const uint8_t byte = ring[(from + k) & (N - 1)];
        WriteOutput(&byte, 1, written);
        ring[r] = byte;
        r = (r + 1) & (N - 1);
        ++produced;
      }
    }
  }
}
