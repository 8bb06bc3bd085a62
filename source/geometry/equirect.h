#pragma once

#include "geometry/scalar_math.h"
#include "geometry/vector.h"

#include <cmath>

namespace orvex {

// Unit direction through (u, v) of a full equirectangular panorama, in the lens frame. After the
// frame change v = 0 looks straight up, v = 1 straight down, u = 0.5 forward and u = 0.75 right;
// columns u = 0 and u = 1 meet behind the camera.
inline Vector EquirectDirection(Float u, Float v) {
  const Float azimuth = kTwoPi * ((1.0 - u) - 0.25);
  const Float polar = v * kPi;
  const Float sinPolar = std::sin(polar);
  return {sinPolar * std::cos(azimuth), -sinPolar * std::sin(azimuth), std::cos(polar)};
}

// Lens-frame direction to panorama texture coordinates (u, v, 0), u in (0, 1]. Not the plain inverse
// of EquirectDirection: u comes out a quarter turn further round and v flipped (1 looks up), the
// frame in which the separation map is sampled.
Vector EquirectUvFromDirection(const Vector& d);

}  // namespace orvex
