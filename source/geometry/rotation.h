#pragma once

#include "geometry/matrix.h"

#include <cmath>

namespace orvex {

// Translation by t; the axes stay those of the identity.
constexpr Matrix Move(const Vector& t) { return {t, {1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}}; }

// m x Move(t), by moving the offset instead of multiplying the identity axes.
constexpr Matrix WithLocalMove(const Matrix& m, const Vector& t) {
  return {m.TransformPoint(t), m.axisX, m.axisY, m.axisZ};
}

// Rotations by w radians about the camera axes; RotAxis of a unit axis gives the same matrices.
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
Matrix HpbToMatrix(const Vector& hpb);

// The heading, pitch and bank of a rotation (axes may carry a scale, which is ignored): pitch in
// [-pi/2, pi/2], heading and bank in [-pi, pi]. Looking straight up or down, bank is 0 and the
// whole turn about the vertical goes into heading.
Vector MatrixToHpb(const Matrix& m);

// Rotation by w about axis (normalised here) built from a unit quaternion; a zero axis or w = 0
// gives the identity.
Matrix RotAxis(const Vector& axis, Float w);

// The cosine and sine of a rotation angle.
struct Turn {
  Float cosine = 1.0;
  Float sine = 0.0;
};

// RotAxis for an axis already of unit length, by the angle's cosine and sine: no trigonometry and
// no normalising per call. A zero axis is the caller's to handle (RotAxis gives the identity).
// Inline: it sits on every converging stereo ray.
inline Matrix RotUnitAxis(const Vector& a, const Turn& turn) {
  // RotAxis's quaternion terms with 2 sin^2(w/2) = 1 - cos w and 2 sin(w/2) cos(w/2) = sin w.
  const Float t = 1.0 - turn.cosine;
  const Float s = turn.sine;
  const Float xy = t * a.x * a.y;
  const Float xz = t * a.x * a.z;
  const Float yz = t * a.y * a.z;
  return {Vector(),
          {1.0 - t * (a.y * a.y + a.z * a.z), xy - s * a.z, xz + s * a.y},
          {xy + s * a.z, 1.0 - t * (a.x * a.x + a.z * a.z), yz - s * a.x},
          {xz - s * a.y, yz + s * a.x, 1.0 - t * (a.x * a.x + a.y * a.y)}};
}

// Full affine inverse. Axes without volume (zero determinant) invert to the identity.
Matrix Inverse(const Matrix& m);

// Angle between p and q in [0, pi]. Parallel vectors give 0, opposite ones pi in single precision;
// a zero-length vector gives pi / 2.
Float Angle(const Vector& p, const Vector& q);

// The cosine and sine of Angle(p, q), without its arc cosine.
Turn AngleTurn(const Vector& p, const Vector& q);

}  // namespace orvex
