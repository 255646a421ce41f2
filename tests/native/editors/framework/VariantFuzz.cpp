// Edit values are read back from streams others wrote: any bytes must read as
// a variant or be refused with the read error, and what was read must write
// out and read back the same. Input: the stream, at most 4096 bytes.
#include "editors/framework/Variants.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > 4096) return 0;
  TStringStream source(std::string(reinterpret_cast<const char*>(data), size));
  Variant value;
  try {
    value = ReadVariant(source);
  } catch (const EReadError&) {
    return 0;
  }
  (void)IsNullOrEmptyText(value);
  (void)IsNumberVariant(value);
  TMemoryStream again;
  WriteVariant(again, value);
  again.SetPosition(0);
  const Variant back = ReadVariant(again);
  // NaN is the one value unequal to itself.
  if (CompareVariants(back, value) != 0 && CompareVariants(value, value) == 0) std::abort();
  return 0;
}
