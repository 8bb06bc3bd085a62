#pragma once

#include "c4d_math.h"

#include <vector>

// The viewport guides of the camera tag: the part of a sphere a projection covers, or the covered
// cylinder, as line segments (wire frame) and quadrilaterals (translucent surface). In the guide's
// own frame z is the axis of the cap and of the cylinder; GuideDrawMatrix places that frame on the
// camera.
namespace orvex {

inline constexpr Vector kGuideColour{0.8, 0.7, 0.0};
// Radius of the fisheye, panorama and cubemap guides (scene units).
inline constexpr Float kGuideRadius = 70.0;
// One degree as the grid steps use it (the rounded single-precision factor).
inline constexpr Float kGuideDegree = 0.01745329238474369;
inline constexpr Float kFineStep = 10.0 * kGuideDegree;
inline constexpr Float kCoarseStep = 45.0 * kGuideDegree;

// (cos lat cos lon, cos lat sin lon, sin lat).
Vector DirOf(Float lat, Float lon);

// The next value of a walk from `start` to `end` by `inc`: the first step snaps to a multiple of
// inc, a step at `end` leaves the range, and no step passes `end`.
Float GuideStep(Float x, Float start, Float end, Float inc);

// Every value of an inclusive walk (start, GuideStep(start), ... while <= end), or of a walk while
// below end. A walk that stops making progress ends.
std::vector<Float> GuideWalk(Float start, Float end, Float inc, bool inclusive);

enum class GuideKind { None, SphereSection, Cylinder };

// What the last build made and from which inputs.
struct GuideCache {
  GuideKind kind = GuideKind::None;
  Float radius = 0.0;
  Float span = 0.0;
  Float latMin = 0.0;
  Float latMax = 0.0;
  std::vector<Vector> lines;    // points in pairs, one segment each
  std::vector<Vector> quads;    // vertices in fours, one quadrilateral each
  std::vector<Vector> colours;  // one per quad vertex
  std::vector<Vector> normals;  // one per quad vertex

  void Clear();
};

// The sphere section of radius R, horizontal span H, latitudes a to b, centred on longitude -pi/2;
// kept as it is when the last build had the same inputs. Latitudes are limited to the sphere and the
// span to one turn, so that no input can make the walks endless.
void BuildSphereSection(GuideCache& cache, Float radius, Float span, Float latMin, Float latMax);

// The cylinder of radius R over angle H and height h (rebuilt at every call).
void BuildCylinder(GuideCache& cache, Float radius, Float angle, Float height);

// The guide's draw matrix on a camera with global matrix G: `upright` stands the panorama band and
// the cylinder about the camera's up axis, `alongX` then lays the cylinder along the camera's X axis.
Matrix GuideDrawMatrix(const Matrix& camera, bool upright, bool alongX);

}  // namespace orvex
