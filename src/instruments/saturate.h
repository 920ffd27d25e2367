#pragma once
#include <cmath>
#include <cstdint>
#include <limits>

// Float-to-int conversion that is defined for every input: truncates toward
// zero like a cast, NaN gives 0, values beyond the range give its ends.
inline std::int32_t truncToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

// Same rule for a multiplication by a window scale or similar factor.
inline std::int32_t scaleTrunc(std::int32_t v, double factor) { return truncToInt32(double(v) * factor); }
