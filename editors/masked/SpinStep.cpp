// The spin edit's step arithmetic.
#include "editors/masked/SpinStep.h"

#include <cmath>
#include <limits>

namespace {

// a - b, or the type's limit in the direction of the difference when it
// would overflow.
int64_t SafeDifference(int64_t a, int64_t b) {
  int64_t d = 0;
  if (__builtin_sub_overflow(a, b, &d)) return a < b ? std::numeric_limits<int64_t>::min() : std::numeric_limits<int64_t>::max();
  return d;
}

}  // namespace

int64_t cxSpinRoundToInt(double value) {
  if (!(value >= -9223372036854775808.0 && value < 9223372036854775808.0)) return std::numeric_limits<int64_t>::min();
  return static_cast<int64_t>(std::nearbyint(value));
}

bool cxSpinApplyStep(int64_t value, int64_t step, int64_t min, int64_t max, TcxSpinLimitMode mode, int64_t& result) {
  const int64_t down = SafeDifference(min, value);  // <= 0
  const int64_t up = SafeDifference(max, value);    // >= 0
  if (down <= step && step <= up) {
    result = value + step;
    return true;
  }
  switch (mode) {
    case slmRefuse: return false;
    case slmClamp:
      result = step > 0 ? max : min;
      return true;
    default: break;
  }
  // Wrap: the overshoot past the limit, reduced modulo the range's size,
  // counted from the other limit. Unsigned arithmetic keeps every
  // intermediate inside 64 bits.
  const uint64_t size = static_cast<uint64_t>(max) - static_cast<uint64_t>(min) + 1u;  // 0: the whole type
  if (step > 0) {
    uint64_t over = static_cast<uint64_t>(step) - static_cast<uint64_t>(up) - 1u;  // steps past max, from min
    if (size != 0) over %= size;
    result = static_cast<int64_t>(static_cast<uint64_t>(min) + over);
  } else {
    uint64_t over = static_cast<uint64_t>(down) - static_cast<uint64_t>(step) - 1u;  // steps below min, from max
    if (size != 0) over %= size;
    result = static_cast<int64_t>(static_cast<uint64_t>(max) - over);
  }
  return true;
}

bool cxSpinApplyStep(double value, double step, double min, double max, TcxSpinLimitMode mode, double& result) {
  const double down = min - value;
  const double up = max - value;
  if (down <= step && step <= up) {
    result = value + step;
    return true;
  }
  switch (mode) {
    case slmRefuse: return false;
    case slmClamp:
      result = step > 0 ? max : min;
      return true;
    default: break;
  }
  const double size = max - min + 1;
  if (step > 0) {
    double over = step - up - 1;
    if (std::isfinite(size) && size > 0) over = std::fmod(over, size);
    result = min + over;
  } else {
    double over = down - step - 1;
    if (std::isfinite(size) && size > 0) over = std::fmod(over, size);
    result = max - over;
  }
  if (!(result >= min && result <= max)) result = step > 0 ? min : max;
  return true;
}
