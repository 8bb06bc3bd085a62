#pragma once

#include "c4d_math.h"

#include <cmath>
#include <numbers>

namespace orvex {

inline constexpr Float kPi = std::numbers::pi;
inline constexpr Float kTwoPi = 2.0 * std::numbers::pi;
inline constexpr Float kHalfPi = 0.5 * std::numbers::pi;

// Pi rounded to single precision: what the limited arc cosine gives at -1 (straight down a
// panorama, opposite vectors).
inline constexpr Float kPiSingle = static_cast<Float>(static_cast<Float32>(std::numbers::pi));

// Single-precision epsilon: interval ends closer than this count as equal.
inline constexpr Float kFloatEpsilon = 1.1920928955078125e-7;

// Arc cosine that never sees an argument outside [-1, 1]: 0 at or above 1, kPiSingle at or below -1.
inline Float LimitedArcCos(Float cosine) {
  if (cosine >= 1.0) return 0.0;
  if (cosine <= -1.0) return kPiSingle;
  return std::acos(cosine);
}

}  // namespace orvex
