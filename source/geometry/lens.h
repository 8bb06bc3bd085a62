#pragma once

#include "geometry/cube_face.h"
#include "geometry/equirect.h"
#include "geometry/fisheye.h"
#include "geometry/frame_change.h"
#include "geometry/range_map.h"
#include "geometry/render_area.h"
#include "geometry/scalar_math.h"
#include "geometry/sub_view.h"

#include <limits>

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

// A cropped panorama spans part of the sphere: u and v each mapped on their own.
inline void EquirectSpan(const LensSettings& lens, Float& u, Float& v) {
  if (!lens.equirectCustom) return;
  u = RangeMap(u, 0.0, 1.0, lens.uMin, lens.uMax, false);
  v = 1.0 - RangeMap(1.0 - v, 0.0, 1.0, lens.vMin, lens.vMax, false);
}

namespace lens_detail {

// One branch for the four comparisons: every ray takes it the same way, so it costs no more than
// the comparisons themselves.
inline bool InsideRayMargin(const LensSettings& lens, Float u, Float v) {
  const Float g = static_cast<Float>(lens.marginPixels);
  const Float marginU = g * lens.pixelScale.x;
  const Float marginV = g * lens.pixelScale.y;
  return (-marginU <= u) & (u <= 1.0 + marginU) & (-marginV <= v) & (v <= 1.0 + marginV);
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
  EquirectSpan(lens, u, v);
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

// The pixels of a camera around which the lens may trace, as a rectangle in the frame's pixel
// coordinates: the area and its ray margin, one pixel wider on every side so that rounding in the
// pixel-to-uv mapping can never make the exact margin test trace a pixel outside. Most pixels of a
// cube face's or an eye's camera lie outside and are refused by four comparisons.
struct RayPixelBounds {
  static constexpr Float kNone = std::numeric_limits<Float>::infinity();
  Float left = -kNone;
  Float right = kNone;
  Float top = -kNone;
  Float bottom = kNone;

  bool Contains(Float x, Float y) const { return left <= x && x <= right && top <= y && y <= bottom; }
};

inline RayPixelBounds RayBoundsOf(const RenderArea& area, const LensSettings& lens) {
  RayPixelBounds bounds;
  const Float g = static_cast<Float>(lens.marginPixels);
  // An area one pixel wide or high maps every pixel to its centre: no bound on that axis.
  const auto bound = [g](Float start, Int32 size, Float scale, Float& low, Float& high) {
    if (size <= 1) return;
    const Float span = static_cast<Float>(size - 1);
    const Float margin = g * scale * span;
    low = start - margin - 1.0;
    high = start + span + margin + 1.0;
  };
  bound(area.GetStart().x, area.GetWidth(), lens.pixelScale.x, bounds.left, bounds.right);
  bound(area.GetStart().y, area.GetHeight(), lens.pixelScale.y, bounds.top, bounds.bottom);
  return bounds;
}

// The first steps of the lens: (u, v) of the current area checked against the ray margin (false
// outside), then the eye shift and the face's and eye's flips and turns.
[[nodiscard]] inline bool LensViewCoordinates(const LensSettings& lens, Float& u, Float& v) {
  if (!lens_detail::InsideRayMargin(lens, u, v)) return false;
  // Eye shift moves panoramas round their seam; a fisheye has no seam, and the panel greys it out.
  if (lens.stereo && lens.eyeShift != 0 && lens.projection != Projection::kFisheye)
    lens_detail::ShiftForEye(lens, u);
  ApplyViewTransform(lens.currentFace, u, v);
  ApplyViewTransform(lens.currentEye, u, v);
  return true;
}

// Camera-frame direction of the ray through texture coordinates (u, v) of the current area, or a
// zero vector where no ray is traced. Rewrites u and v to the coordinates the projection used
// (after eye shift, view transforms and span mapping); the cylinder offset is placed from them.
inline Vector LensDirection(const LensSettings& lens, Float& u, Float& v) {
  Float localU = u;
  Float localV = v;
  if (!LensViewCoordinates(lens, localU, localV)) return {};

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
