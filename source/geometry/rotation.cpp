#include "geometry/rotation.h"

#include "geometry/scalar_math.h"

#include <algorithm>

namespace orvex {

Matrix RotAxis(const Vector& axis, Float w) {
  const Vector a = axis.GetNormalized();
  const Float sinHalf = std::sin(w * 0.5);
  const Float s = std::cos(w * 0.5);
  const Float x = a.x * sinHalf;
  const Float y = a.y * sinHalf;
  const Float z = a.z * sinHalf;
  return {Vector(),
          {1.0 - 2.0 * (y * y + z * z), 2.0 * (x * y - z * s), 2.0 * (x * z + y * s)},
          {2.0 * (x * y + z * s), 1.0 - 2.0 * (x * x + z * z), 2.0 * (y * z - x * s)},
          {2.0 * (x * z - y * s), 2.0 * (y * z + x * s), 1.0 - 2.0 * (x * x + y * y)}};
}

namespace {
// The cosine of the angle between p and q; 0 (a right angle) for a zero length, and for products
// that overflowed, which leave no usable cosine.
Float CosineBetween(const Vector& p, const Vector& q) {
  const Float lengths = std::sqrt(p.GetSquaredLength() * q.GetSquaredLength());
  const Float scale = lengths > 0.0 ? 1.0 / lengths : 0.0;
  const Float cosine = Dot(p, q) * scale;
  return std::isnan(cosine) ? 0.0 : cosine;
}
}  // namespace

Float Angle(const Vector& p, const Vector& q) { return LimitedArcCos(CosineBetween(p, q)); }

Turn AngleTurn(const Vector& p, const Vector& q) {
  const Float cosine = CosineBetween(p, q);
  if (cosine >= 1.0) return {1.0, 0.0};
  // Opposite vectors: Angle's single-precision pi.
  if (cosine <= -1.0) return {std::cos(kPiSingle), std::sin(kPiSingle)};
  return {cosine, std::sqrt((1.0 - cosine) * (1.0 + cosine))};
}

}  // namespace orvex
