// LZ-Huffman decoding of skin packages: LZSS over a 4096-byte ring whose
// literals and match lengths are sent with an adaptive Huffman code and whose
// match distances with a fixed prefix code. Portable: no Windows headers.
#pragma once

#include "platform/Exceptions.h"
#include "platform/Object.h"
#include "platform/Stream.h"

#include <cstdint>
#include <memory>

class ElzhException : public Exception { public: using Exception::Exception; };

// Sizes of the scheme; the project's compressor (tools/skin) uses them too.
namespace lzh {
constexpr int N = 4096;                      // ring size
constexpr int F = 60;                        // longest match
constexpr int Threshold = 2;                 // matches this short go as literals
constexpr int NChar = 256 - Threshold + F;   // 314 symbols: 256 bytes, lengths 3..60
constexpr int T = NChar * 2 - 1;             // 627 tree nodes
constexpr int R = T - 1;                     // the root
constexpr unsigned MaxFreq = 0x8000;         // root frequency that forces a rebuild
constexpr int FirstPosition = N - F;         // where the first byte is written

// Match distances are sent as a prefix code of the upper six bits followed
// by the lower six bits verbatim. These answer, for the first byte of such a
// code, the upper six bits and the code's length in bits (3..8).
int LeadUpper(unsigned lead);
int LeadLength(unsigned lead);
}  // namespace lzh

// The adaptive Huffman tree that encoder and decoder keep in step.
struct TLZHTables {
  uint16_t freq[lzh::T + 1];        // node frequencies; freq[T] is a 0xFFFF sentinel
  int16_t son[lzh::T];              // first child of a node, or symbol + T for a leaf
  int16_t prnt[lzh::T + lzh::NChar];  // parent of a node; [T..] parents of the leaves

  void StartHuff();
  // Counts one more occurrence of `symbol` and keeps the tree ordered.
  void Update(int symbol);

private:
  void Reconst();
};

// One decoding of a package body: reads a bit stream from `input` and writes
// the unpacked bytes to `output` (neither is owned).
class TLZH : public TObject {
public:
  static const TClassInfo ClassInfo;
  TClass ClassType() const override { return &ClassInfo; }

  TLZH(TStream& input, TStream& output) : FInput(input), FOutput(output) {}

  // Decodes the symbols needed for at least `size` bytes (a final match is
  // copied whole). Raises ElzhException when the bit stream ends too early.
  void Decode(int32_t size);
  // The byte-level callbacks of the decoder.
  void ReadInput(uint8_t* buffer, uint16_t count, uint16_t& actual);
  void WriteOutput(const uint8_t* buffer, uint16_t count, uint16_t& actual);

private:
  unsigned GetBit();
  unsigned GetByte();
  void TakeBits(int count);
  int DecodeChar();
  int DecodePosition();

  TStream& FInput;
  TStream& FOutput;
  uint16_t FBitBuffer = 0;   // bits are taken from the top end
  uint8_t FBitCount = 0;     // valid bits in FBitBuffer
  int64_t FBitsLeft = 0;     // bits of real input not yet consumed (negative: padding used)
  std::unique_ptr<TLZHTables> FTables;
};
