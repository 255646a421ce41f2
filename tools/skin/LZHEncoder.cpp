#include "tools/skin/LZHEncoder.h"

#include "skin/package/LZH.h"

#include <algorithm>
#include <memory>
#include <vector>

using namespace lzh;

namespace {
constexpr int kHashBits = 14;
constexpr int kChainDepth = 128;    // candidates tried per position
constexpr int kMaxDistance = N - 1; // the decoder's ring keeps 4095 earlier bytes intact

class TBitWriter {
public:
  // Appends the low `count` bits of `code`, most significant first.
  void Put(uint32_t code, int count) {
    for (int i = count - 1; i >= 0; --i) {
      FByte = static_cast<uint8_t>((FByte << 1) | ((code >> i) & 1));
      if (++FUsed == 8) {
        FOut.push_back(static_cast<char>(FByte));
        FByte = 0;
        FUsed = 0;
      }
    }
  }
  AnsiString Finish() {
    if (FUsed > 0) FOut.push_back(static_cast<char>(FByte << (8 - FUsed)));
    FUsed = 0;
    return FOut;
  }

private:
  AnsiString FOut;
  uint8_t FByte = 0;
  int FUsed = 0;
};

class TEncoder {
public:
  explicit TEncoder(TBitWriter& out) : FOut(out) {
    FTables->StartHuff();
    // The code of each upper-six-bit group is the top bits of its first lead byte.
    for (int lead = 255; lead >= 0; --lead) {
      const int upper = LeadUpper(static_cast<unsigned>(lead));
      FPositionLength[upper] = LeadLength(static_cast<unsigned>(lead));
      FPositionCode[upper] = static_cast<uint32_t>(lead) >> (8 - FPositionLength[upper]);
    }
  }

  void EncodeChar(int symbol) {
    TLZHTables& t = *FTables;
    // Walk from the node holding the leaf up to the root; each step records
    // which of its parent's two children the node is. The decoder reads them
    // root first.
    uint8_t path[T];
    int depth = 0;
    for (int k = t.prnt[symbol + T]; k != R; k = t.prnt[k]) path[depth++] = static_cast<uint8_t>(k - t.son[t.prnt[k]]);
    for (int i = depth - 1; i >= 0; --i) FOut.Put(path[i], 1);
    t.Update(symbol);
  }

  void EncodePosition(int position) {
    const int upper = position >> 6;
    FOut.Put(FPositionCode[upper], FPositionLength[upper]);
    FOut.Put(static_cast<uint32_t>(position & 0x3F), 6);
  }

private:
  TBitWriter& FOut;
  std::unique_ptr<TLZHTables> FTables = std::make_unique<TLZHTables>();
  uint32_t FPositionCode[64] = {};
  int FPositionLength[64] = {};
};
}  // namespace

AnsiString LZHCompress(const AnsiString& text) {
  const auto* data = reinterpret_cast<const uint8_t*>(text.data());
  const int64_t size = static_cast<int64_t>(text.size());
  TBitWriter bits;
  TEncoder encoder(bits);
  std::vector<int64_t> head(size_t{1} << kHashBits, -1);
  std::vector<int64_t> previous(static_cast<size_t>(size), -1);
  auto hashAt = [&](int64_t i) {
    const uint32_t v = (static_cast<uint32_t>(data[i]) << 16) | (static_cast<uint32_t>(data[i + 1]) << 8) | data[i + 2];
    return (v * 2654435761u) >> (32 - kHashBits);
  };
  auto insert = [&](int64_t i) {
    if (i + 2 >= size) return;
    const uint32_t h = hashAt(i);
    previous[static_cast<size_t>(i)] = head[h];
    head[h] = i;
  };

  for (int64_t i = 0; i < size;) {
    int bestLength = 0;
    int64_t bestFrom = 0;
    if (i + 2 < size) {
      const int64_t limit = std::min<int64_t>(F, size - i);
      int tries = kChainDepth;
      for (int64_t from = head[hashAt(i)]; from >= 0 && i - from <= kMaxDistance && tries-- > 0;
           from = previous[static_cast<size_t>(from)]) {
        int length = 0;
        while (length < limit && data[from + length] == data[i + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestFrom = from;
          if (length == limit) break;
        }
      }
    }
    if (bestLength > Threshold) {
      encoder.EncodeChar(255 - Threshold + bestLength);
      encoder.EncodePosition(static_cast<int>(i - bestFrom - 1));
      for (int k = 0; k < bestLength; ++k) insert(i + k);
      i += bestLength;
    } else {
      encoder.EncodeChar(data[i]);
      insert(i);
      ++i;
    }
  }
  return bits.Finish();
}
