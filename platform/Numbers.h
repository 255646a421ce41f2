// Number helpers with the system's rounding rules. Portable: no Windows headers.
#pragma once

#include <cstdint>

// Rounds half to even (banker's rounding): Round(2.5) = 2, Round(3.5) = 4,
// Round(-2.5) = -2. Values beyond the 64-bit range raise EInvalidOperation.
int64_t Round(double value);
// Truncates toward zero.
int64_t Trunc(double value);
#ifndef _WIN32
// a * b / c with a 64-bit intermediate, rounded half away from zero; -1 when
// c is 0 or the result does not fit 32 bits: the rule of the Windows MulDiv,
// which the Windows build uses itself.
int MulDiv(int a, int b, int c);
#endif
