#include "geometry/stereo_diagram.h"

#include "geometry/frame_change.h"
#include "geometry/rotation.h"
#include "geometry/scalar_math.h"

#include <cmath>

namespace orvex {

Vector PreferredDirection(Float lat, Float lon) {
  return {std::cos(lat) * std::sin(lon), std::sin(lat), std::cos(lat) * std::cos(lon)};
}

Matrix HeadFrame(const Matrix& camera, Bool dome) { return dome ? WithInverseFrameChange(camera) : camera; }

EyeMarker EyeMarkerOf(const Matrix& camera, const Matrix& eyePlacement, Int32 eyeIndex, const Vector& d,
                      const StereoRig& rig, Float k) {
  const EyeMatrix eye = EyeMatrixForRay(camera, eyePlacement, eyeIndex, d, rig, k);
  const Vector q = eye.zeroParallaxPoint;
  const Vector across = RotAxis(q, kHalfPi).TransformDirection(eye.convergenceAxis).GetNormalized();
  EyeMarker marker;
  marker.eye = eye.matrix;
  marker.zeroParallaxLength = (camera.TransformPoint(q) - eye.matrix.offset).GetLength();
  marker.tickFrom = q;
  marker.tickTo = q + across * kConvergenceTickLength;
  return marker;
}

}  // namespace orvex
