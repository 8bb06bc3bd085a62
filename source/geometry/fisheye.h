#pragma once

#include "c4d_math.h"

#include <cmath>

namespace orvex {

// Beyond this radius a cut-off fisheye traces no ray; the small allowance keeps the circle's edge
// pixels fully covered.
inline constexpr Float kFisheyeCutOffRadius = 1.01;

// Unit direction through (u, v) of a fisheye with full opening angle fov, in the lens frame
// (centre along +Z, image up along +Y). Radius 1 reaches fov / 2 off axis; with cutOff the lens
// gives no ray (a zero vector) beyond kFisheyeCutOffRadius, otherwise it keeps going to the corners.
inline Vector FisheyeDirection(Float u, Float v, Float fov, Bool cutOff) {
  const Float x = 2.0 * u - 1.0;
  const Float y = 2.0 * (1.0 - v) - 1.0;
  const Float r = std::sqrt(x * x + y * y);
  if (cutOff && r > kFisheyeCutOffRadius) return {};
  // cos and sin of the polar angle straight from (x, y) / r, without an atan2 round trip; the
  // reciprocal is formed first so that it runs alongside the sine and cosine.
  const Float inverseR = r > 0.0 ? 1.0 / r : 0.0;
  const Float theta = r * (fov * 0.5);  // halving is exact: the same angle, one multiply after the root
  const Float sinThetaOverR = std::sin(theta) * inverseR;
  return {x * sinThetaOverR, y * sinThetaOverR, std::cos(theta)};
}

// Inverse of FisheyeDirection inside the circle: lens-frame direction to dome texture coordinates
// (u, v, 0), with v growing upwards (unflipped). A zero opening angle puts the axis at the centre
// and every other direction far outside, never at infinity.
Vector DomeUvFromDirection(const Vector& d, Float fov);

// True for texture coordinates strictly outside the dome circle inscribed in the image.
inline Bool IsOutsideDomeCircle(Float u, Float v) {
  const Float x = 2.0 * u - 1.0;
  const Float y = 2.0 * (1.0 - v) - 1.0;
  return std::sqrt(x * x + y * y) > 1.0;
}

}  // namespace orvex
