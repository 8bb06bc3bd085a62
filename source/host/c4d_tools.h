#pragma once

#include "c4d_math.h"

#include <algorithm>
#include <cmath>

// The interface's matrix tools: moves, turns about the axes, the heading/pitch/bank convention of
// objects and the matrix inverse. Header-only, so the module's mathematics needs no host library.

// Translation by t; the axes stay those of the identity.
constexpr Matrix Move(const Vector& t) { return {t, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}; }

// m x Move(t), by moving the offset instead of multiplying the identity axes.
constexpr Matrix WithLocalMove(const Matrix& m, const Vector& t) {
  return {m.TransformPoint(t), m.axisX, m.axisY, m.axisZ};
}

// Rotations by w radians about the camera axes.
inline Matrix RotX(Float w) {
  const Float c = std::cos(w);
  const Float s = std::sin(w);
  return {Vector(), {1.0, 0.0, 0.0}, {0.0, c, -s}, {0.0, s, c}};
}
inline Matrix RotY(Float w) {
  const Float c = std::cos(w);
  const Float s = std::sin(w);
  return {Vector(), {c, 0.0, s}, {0.0, 1.0, 0.0}, {-s, 0.0, c}};
}
inline Matrix RotZ(Float w) {
  const Float c = std::cos(w);
  const Float s = std::sin(w);
  return {Vector(), {c, -s, 0.0}, {s, c, 0.0}, {0.0, 0.0, 1.0}};
}

// The one heading/pitch/bank convention of objects, the renderer and the command line, in radians:
// heading turns about +Y (positive turns the forward axis +Z towards -X, to the left), pitch about
// +X (positive looks up), bank about +Z (positive tips +Y towards +X); bank applies first, heading
// last: HpbToMatrix(h, p, b) = RotY(h) x RotX(p) x RotZ(b).
inline Matrix HpbToMatrix(const Vector& hpb) { return RotY(hpb.x) * RotX(hpb.y) * RotZ(hpb.z); }

// The heading, pitch and bank of a rotation (axes may carry a scale, which is ignored): pitch in
// [-pi/2, pi/2], heading and bank in [-pi, pi]. Looking straight up or down, bank is 0 and the
// whole turn about the vertical goes into heading.
inline Vector MatrixToHpb(const Matrix& m) {
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

// Full affine inverse. Axes without volume (zero determinant) invert to the identity.
inline Matrix Inverse(const Matrix& m) {
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
