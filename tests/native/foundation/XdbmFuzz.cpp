// Fuzz target for the packed bitmap stream: the input is a bitmap's stream
// data (packed or plain); the unpacked plain form (a byte count, then a BMP
// file) goes to the BMP reader. Small budgets keep the fuzzer exploring
// instead of allocating.
#include "foundation/PackedBitmap.h"
#include "platform/BmpCodec.h"
#include "platform/Exceptions.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TMemoryStream stream;
  stream.WriteBuffer(data, static_cast<int64_t>(size));
  stream.SetPosition(0);
  bool packed = false;
  std::string plain = ReadPackedBitmap(stream, packed, 1 << 20);
  if (!packed) plain.assign(reinterpret_cast<const char*>(data), size);
  if (stream.Position() > stream.Size()) __builtin_trap();
  if (plain.size() < 4) return 0;
  uint32_t count;
  std::memcpy(&count, plain.data(), 4);
  if (count > plain.size() - 4) return 0;  // the bitmap's reader refuses this too
  try {
    DecodeBmp(reinterpret_cast<const uint8_t*>(plain.data()) + 4, count, true, 1 << 16);
  } catch (const Exception&) {
  }
  return 0;
}
