#include "geometry/fisheye.h"

namespace orvex {
namespace {

// Radius given to directions a zero-angle lens cannot see: far outside the unit circle, finite.
constexpr Float kFarOutsideRadius = 1.0e9;

Float DomeRadius(Float theta, Float fov) {
  const Float r = theta / (fov * 0.5);
  if (std::isnan(r)) return 0.0;  // 0 / 0: the axis of a zero-angle lens
  if (std::isinf(r)) return std::copysign(kFarOutsideRadius, r);
  return r;
}

}  // namespace

Vector DomeUvFromDirection(const Vector& d, Float fov) {
  const Float theta = std::atan2(std::sqrt(d.x * d.x + d.y * d.y), d.z);
  const Float phi = std::atan2(d.y, d.x);
  const Float r = DomeRadius(theta, fov);
  return {(r * std::cos(phi) + 1.0) * 0.5, (r * std::sin(phi) + 1.0) * 0.5, 0.0};
}

}  // namespace orvex
