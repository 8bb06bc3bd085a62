#pragma once

// The eye matrix of one ray as the rig computed it before its fast path, kept as the reference the
// tests compare against and the benchmark's "before": the turn angle by arc cosine, the rotation by
// sine and cosine of half of it.

#include "geometry/eye_rig.h"
#include "geometry/frame_change.h"
#include "geometry/rotation.h"
#include "geometry/scalar_math.h"

#include <cmath>

namespace orvex::reference {

inline Vector TurnedMove(const StereoRig& rig, const Vector& d, const Vector& e, Float k) {
  const Vector scaled = e * k;
  const auto aboutY = [](Float c, Float s, const Vector& v) {
    return Vector(c * v.x - s * v.z, v.y, s * v.x + c * v.z);
  };
  const auto aboutZ = [](Float c, Float s, const Vector& v) {
    return Vector(c * v.x + s * v.y, c * v.y - s * v.x, v.z);
  };
  const bool omni = rig.rigMode == kRigOmni;
  if (!omni && rig.rigMode != kRigTurnVertical && rig.rigMode != kRigTurnViewAxis) return -e * (1.0 - k);
  const Float a = omni ? std::atan2(d.z, d.x) - kHalfPi : -d.x * kHalfPi;
  const Float c = std::cos(a), s = std::sin(a);
  if (rig.rigMode == kRigTurnViewAxis) return (rig.dome ? aboutY(c, s, scaled) : aboutZ(c, -s, scaled)) - e;
  return (rig.dome ? aboutZ(c, s, scaled) : aboutY(c, s, scaled)) - e;
}

inline EyeMatrix EyeMatrixForRay(const EyeRig& eyeRig, const Vector& d, Float k) {
  EyeMatrix result;
  result.matrix = WithLocalMove(eyeRig.eye, TurnedMove(eyeRig.rig, d, eyeRig.eyeOffset, k));
  if (eyeRig.rig.dome) result.matrix = WithInverseFrameChange(result.matrix);
  if (!eyeRig.convergingEye || k <= 0.0) return result;
  const Vector zeroParallaxPoint = d * eyeRig.rig.zeroParallax;
  const Float w = Angle((zeroParallaxPoint - eyeRig.eyeOffset).GetNormalized(), d);
  const Matrix& head = eyeRig.head;
  const Vector eyeOrigin = result.matrix.offset;
  const Vector alongRay = head.offset + head.TransformDirection(d);
  const Vector worldAxis = Cross(head.offset - eyeOrigin, alongRay - eyeOrigin).GetNormalized();
  const Vector axis = eyeRig.headInverse.TransformDirection(worldAxis);
  result.matrix = result.matrix * RotAxis(axis, w);
  result.zeroParallaxPoint = zeroParallaxPoint;
  result.convergenceAxis = axis;
  return result;
}

}  // namespace orvex::reference
