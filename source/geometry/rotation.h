#pragma once

#include "c4d_tools.h"

#include <cmath>

namespace orvex {

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

// Angle between p and q in [0, pi]. Parallel vectors give 0, opposite ones pi in single precision;
// a zero-length vector gives pi / 2.
Float Angle(const Vector& p, const Vector& q);

// The cosine and sine of Angle(p, q), without its arc cosine.
Turn AngleTurn(const Vector& p, const Vector& q);

}  // namespace orvex
