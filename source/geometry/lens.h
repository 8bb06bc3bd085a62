#pragma once

#include "geometry/cube_face.h"
#include "geometry/equirect.h"
#include "geometry/fisheye.h"
#include "geometry/frame_change.h"
#include "geometry/range_map.h"
#include "geometry/scalar_math.h"
#include "geometry/sub_view.h"

namespace orvex {

// Projection kinds, numbered as the camera tag stores them.
enum class Projection : Int32 {
  kEquirect = 0,
  kFisheye = 1,
  kCylindrical = 2,
  kCubemap = 3,
};

// Mask modes of the fulldome output; only kMaskModeNone lets the fisheye trace past its circle.
inline constexpr Int32 kMaskModeCircle = 0;
inline constexpr Int32 kMaskModeImage = 1;
inline constexpr Int32 kMaskModeNone = 2;

// Everything the lens needs to turn (u, v) into a direction for the camera being rendered,
// fixed once per sequence and per camera and only read per ray.
struct LensSettings {
  Projection projection = Projection::kEquirect;  // any other value traces no rays
  Vector pixelScale;                              // (1 / width, 1 / height, 0) of the current area
  Int32 marginPixels = 10;                        // rays reach this many pixels beyond each side
  Bool stereo = false;
  Int32 eyeShift = 0;   // pixels the two eyes' panoramas are shifted apart
  SubView currentFace;  // a reset view (index -1, no flips, no rotation) leaves (u, v) as they are
  SubView currentEye;
  Float fov = kPi;  // fisheye opening angle, or horizontal span of panorama and cylinder
  Float uMin = 0.0;
  Float uMax = 1.0;
  Float vMin = 0.0;
  Float vMax = 1.0;
  Bool equirectCustom = false;
  Bool cylinderTurned = false;
  Int32 maskMode = kMaskModeCircle;
  Bool domeStereo = false;
};

namespace lens_detail {

inline bool InsideRayMargin(const LensSettings& lens, Float u, Float v) {
  const Float g = static_cast<Float>(lens.marginPixels);
  const Float marginU = g * lens.pixelScale.x;
  const Float marginV = g * lens.pixelScale.y;
  return -marginU <= u && u <= 1.0 + marginU && -marginV <= v && v <= 1.0 + marginV;
}

// Shifts the two eyes' panoramas half the eye shift apart, wrapping once round the seam.
inline void ShiftForEye(const LensSettings& lens, Float& u) {
  const Float half = lens.currentEye.index != 0 ? 0.5 : -0.5;
  u += half * static_cast<Float>(lens.eyeShift) * lens.pixelScale.x;
  if (u < 0.0) {
    u += 1.0;
  } else if (u > 1.0) {
    u -= 1.0;
  }
}

inline Vector FisheyeLens(const LensSettings& lens, Float u, Float v) {
  const Vector d = FisheyeDirection(u, v, lens.fov, lens.maskMode != kMaskModeNone);
  // Dome stereo turns the lens up here; the eye rig turns it back after offsetting the eyes.
  return lens.stereo && lens.domeStereo ? FrameChange(d) : d;
}

inline Vector EquirectLens(const LensSettings& lens, Float& u, Float& v) {
  if (lens.equirectCustom) {
    u = RangeMap(u, 0.0, 1.0, lens.uMin, lens.uMax, false);
    v = 1.0 - RangeMap(1.0 - v, 0.0, 1.0, lens.vMin, lens.vMax, false);
  }
  return FrameChange(EquirectDirection(u, v));
}

// The cylinder covers its span around one axis only; along the axis the ray origin moves instead.
inline Vector CylindricalLens(const LensSettings& lens, Float& u, Float& v) {
  if (lens.cylinderTurned) {
    v = RangeMap(v, 0.0, 1.0, 2.0 * lens.uMin, 2.0 * lens.uMax, false) - 0.5;
    return FrameChange(EquirectDirection(0.5, v));
  }
  u = RangeMap(u, 0.0, 1.0, lens.uMin, lens.uMax, false);
  return FrameChange(EquirectDirection(u, 0.5));
}

}  // namespace lens_detail

// Camera-frame direction of the ray through texture coordinates (u, v) of the current area, or a
// zero vector where no ray is traced. Rewrites u and v to the coordinates the projection used
// (after eye shift, view transforms and span mapping); the cylinder offset is placed from them.
inline Vector LensDirection(const LensSettings& lens, Float& u, Float& v) {
  Float localU = u;
  Float localV = v;
  if (!lens_detail::InsideRayMargin(lens, localU, localV)) return {};
  // Eye shift moves panoramas round their seam; a fisheye has no seam, and the panel greys it out.
  if (lens.stereo && lens.eyeShift != 0 && lens.projection != Projection::kFisheye)
    lens_detail::ShiftForEye(lens, localU);
  ApplyViewTransform(lens.currentFace, localU, localV);
  ApplyViewTransform(lens.currentEye, localU, localV);

  Vector d;
  switch (lens.projection) {
    case Projection::kFisheye:
      d = lens_detail::FisheyeLens(lens, localU, localV);
      break;
    case Projection::kEquirect:
      d = lens_detail::EquirectLens(lens, localU, localV);
      break;
    case Projection::kCylindrical:
      d = lens_detail::CylindricalLens(lens, localU, localV);
      break;
    case Projection::kCubemap:
      d = FrameChange(CubeFaceDirection(lens.currentFace.index, localU, localV));
      break;
  }
  u = localU;
  v = localV;
  return d;
}

}  // namespace orvex
