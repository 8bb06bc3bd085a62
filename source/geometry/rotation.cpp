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

Matrix HpbToMatrix(const Vector& hpb) { return RotY(hpb.x) * RotX(hpb.y) * RotZ(hpb.z); }

Vector MatrixToHpb(const Matrix& m) {
  const Vector x = m.axisX.GetNormalized();
  const Vector y = m.axisY.GetNormalized();
  const Vector z = m.axisZ.GetNormalized();
  // The forward axis is (-sin h cos p, sin p, cos h cos p).
  const Float pitch = std::asin(std::clamp(z.y, -1.0, 1.0));
  const Float cosPitch = std::sqrt(z.x * z.x + z.z * z.z);
  if (cosPitch < 1e-9) return {std::atan2(x.z, x.x), pitch, 0.0};
  // The right axis's height is -sin b cos p, the up axis's cos b cos p.
  return {std::atan2(-z.x, z.z), pitch, std::atan2(-x.y, y.y)};
}

Matrix Inverse(const Matrix& m) {
  const Vector rowX = Cross(m.axisY, m.axisZ);
  const Float determinant = Dot(m.axisX, rowX);
  if (determinant == 0.0) return Matrix();
  const Float scale = 1.0 / determinant;
  // A denormal determinant would overflow the inverse axes.
  if (!std::isfinite(scale)) return Matrix();

  const Vector x = rowX * scale;
  const Vector y = Cross(m.axisZ, m.axisX) * scale;
  const Vector z = Cross(m.axisX, m.axisY) * scale;
  Matrix inverse(Vector(), {x.x, y.x, z.x}, {x.y, y.y, z.y}, {x.z, y.z, z.z});
  inverse.offset = -inverse.TransformDirection(m.offset);
  return inverse;
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
