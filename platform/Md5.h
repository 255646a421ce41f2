// The MD5 message digest (RFC 1321). Passwords travel and are stored only as
// the lowercase hexadecimal digest of their bytes. Portable: no Windows headers.
#pragma once

#include "platform/Text.h"

#include <array>
#include <cstddef>
#include <cstdint>

class TStream;

using TMD5Digest = std::array<uint8_t, 16>;

// Incremental digest: Update any number of times, then Final once.
class TMD5 {
public:
  TMD5();
  void Update(const void* data, size_t size);
  TMD5Digest Final();

private:
  void Transform(const uint8_t* block);

  uint32_t FState[4];
  uint64_t FLength = 0;  // bytes hashed so far
  uint8_t FBuffer[64];
  size_t FBuffered = 0;
};

// Lowercase hexadecimal of a digest.
AnsiString DigestToHex(const TMD5Digest& digest);
// Lowercase hexadecimal MD5 of the bytes of `s`.
AnsiString MD5String(const AnsiString& s);
// Lowercase hexadecimal MD5 of a stream from its position to its end.
AnsiString MD5Stream(TStream& stream);
