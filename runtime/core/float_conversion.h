// Float to 32-bit integer conversion by truncation toward zero, defined for
// every input: NaN and values outside the int32 range give INT_MIN, which is
// what the x86 conversion instruction produces (the "integer indefinite").
#pragma once

#include <climits>
#include <cstdint>

inline std::int32_t float_to_int32(double value) {
  // Both bounds are exact doubles; NaN fails both comparisons.
  if (value > -2147483649.0 && value < 2147483648.0) return static_cast<std::int32_t>(value);
  return INT32_MIN;
}
