#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace sonatra {

// Nearest integer, ties to even (the processor's default rounding mode).
inline std::int64_t RoundHalfEven(double value) {
#if defined(__SSE2__) && defined(__x86_64__)
  return _mm_cvtsd_si64(_mm_set_sd(value));
#else
  return static_cast<std::int64_t>(std::nearbyint(value));
#endif
}

}  // namespace sonatra
