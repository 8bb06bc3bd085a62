#include "geometry/equirect.h"

namespace orvex {

Vector EquirectUvFromDirection(const Vector& d) {
  const Float a = -0.25 + std::atan2(d.x, d.y) / kTwoPi;
  const Float b = LimitedArcCos(d.z) / kPi;
  Float u = 1.0 - a;
  if (u > 1.0) u -= 1.0;
  return {u, 1.0 - b, 0.0};
}

}  // namespace orvex
