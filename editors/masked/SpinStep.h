// The step arithmetic of the spin edit: a value moved by a step within
// limits, clamping at them or wrapping around them, without overflowing the
// value's type. Portable: no Windows headers.
#pragma once

#include <cstdint>

// How a step beyond the limits ends: refused, clamped or wrapped.
enum TcxSpinLimitMode : uint8_t { slmRefuse = 0, slmClamp = 1, slmWrap = 2 };

// `value` moved by `step` within [min, max] (min <= value <= max). False
// when the step is refused. A wrapping step larger than the range is
// reduced modulo the range's size first, so it always lands inside.
bool cxSpinApplyStep(int64_t value, int64_t step, int64_t min, int64_t max, TcxSpinLimitMode mode, int64_t& result);
bool cxSpinApplyStep(double value, double step, double min, double max, TcxSpinLimitMode mode, double& result);

// Rounded to the nearest integer, halves to even; out of the Int64 range
// the smallest Int64.
int64_t cxSpinRoundToInt(double value);
