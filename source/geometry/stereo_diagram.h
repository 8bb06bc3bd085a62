#pragma once

#include "geometry/eye_rig.h"

// The stereo set-up the camera tag draws in the viewport: the viewer's head looking in the preferred
// direction, and one marker per eye where the rig puts it.
namespace orvex {

// Length of the head's and each eye's direction line, and of the convergence tick (scene units).
inline constexpr Float kDirectionLineLength = 20.0;
inline constexpr Float kConvergenceTickLength = 35.0;

// The preferred direction of latitude `lat` and longitude `lon` in the camera frame:
// (cos lat sin lon, sin lat, cos lat cos lon); longitude 0 looks forward, positive turns right.
Vector PreferredDirection(Float lat, Float lon);

// Where the head sits and how it is turned: the camera, turned back from the dome for dome stereo.
Matrix HeadFrame(const Matrix& camera, Bool dome);

// One eye of the diagram.
struct EyeMarker {
  Matrix eye;                // the eye's matrix for the preferred direction (world)
  Float zeroParallaxLength;  // from the eye to the zero-parallax point
  Vector tickFrom;           // the convergence tick in the head frame: at the zero-parallax point,
  Vector tickTo;             // across the convergence axis
};

// The marker of eye `eyeIndex` (0 or 1) placed at `eyePlacement`, for direction d and separation
// factor k; computed without touching any render state.
EyeMarker EyeMarkerOf(const Matrix& camera, const Matrix& eyePlacement, Int32 eyeIndex, const Vector& d,
                      const StereoRig& rig, Float k);

}  // namespace orvex
