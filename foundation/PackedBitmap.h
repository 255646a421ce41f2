// The packed form of a bitmap's stream data: a ten-byte header (packed
// length, the magic "XDBM", version 1) and byte runs. A control byte with
// bit 7 set is followed by (c & 0x7F) bytes copied as they are; otherwise the
// one next byte repeats (c & 0x7F) times. Runs hold at most 125 bytes.
// Portable: no Windows header; the reader is fuzzed natively.
#pragma once

#include "platform/Stream.h"

#include <cstdint>
#include <string>

constexpr int cxPackedBitmapHeaderSize = 10;
constexpr int cxPackedBitmapMaxRun = 125;

// The runs of `plain` (without header).
std::string PackBitmapRuns(const uint8_t* plain, size_t size);
inline std::string PackBitmapRuns(const std::string& plain) {
  return PackBitmapRuns(reinterpret_cast<const uint8_t*>(plain.data()), plain.size());
}

// Writes the header and the runs of `plain` at the stream's position.
void WritePackedBitmap(TStream& target, const std::string& plain);

// Reads ten bytes at the stream's position; when they carry the magic, the
// runs that follow are expanded and the plain form answered with `packed`
// set; otherwise the stream goes back to where it was and `packed` is false.
//
// The reader trusts no length: a negative packed length reads as nothing;
// runs stop at the packed length and at the end of the stream; expansion
// stops once the plain form's own length (its first four bytes, a byte
// count, plus those four) is reached or `limit` bytes are out; memory grows
// only with the runs actually read.
std::string ReadPackedBitmap(TStream& source, bool& packed, size_t limit = SIZE_MAX);
