#include "platform/Numbers.h"

#include "platform/Exceptions.h"

#include <cmath>
#include <cstdlib>

namespace {

void CheckRange(double value) {
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0))
    throw EInvalidOperation("Invalid floating point operation");
}

}  // namespace

int64_t Round(double value) {
  CheckRange(value);
  // Explicit ties-to-even, independent of the floating-point rounding mode.
  const double floor = std::floor(value);
  const double diff = value - floor;
  double r = floor;
  if (diff > 0.5) r = floor + 1;
  else if (diff == 0.5) r = std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
  CheckRange(r);
  return static_cast<int64_t>(r);
}

int64_t Trunc(double value) {
  CheckRange(value);
  return static_cast<int64_t>(value);
}

#ifndef _WIN32
int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  const int64_t product = static_cast<int64_t>(a) * b;
  const bool negative = (product < 0) != (c < 0);
  const uint64_t n = static_cast<uint64_t>(product < 0 ? -product : product);
  const uint64_t d = static_cast<uint64_t>(c < 0 ? -static_cast<int64_t>(c) : c);
  const uint64_t q = (n + d / 2) / d;
  if (q > 0x7FFFFFFFull) return -1;
  return negative ? -static_cast<int>(q) : static_cast<int>(q);
}
#endif
