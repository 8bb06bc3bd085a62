#pragma once

#include "geometry/scalar_math.h"

#include <algorithm>
#include <cmath>

namespace orvex {

// Linear map of x from [a0, a1] to [b0, b1]. A source interval of (nearly) zero length maps
// everything to b0; with clamp the result stays between b0 and b1, whichever is larger.
inline Float RangeMap(Float x, Float a0, Float a1, Float b0, Float b1, Bool clamp) {
  if (std::abs(a0 - a1) < kFloatEpsilon) return b0;
  const Float y = (x - a0) / (a1 - a0) * (b1 - b0) + b0;
  return clamp ? std::clamp(y, std::min(b0, b1), std::max(b0, b1)) : y;
}

}  // namespace orvex
