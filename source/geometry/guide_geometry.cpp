#include "geometry/guide_geometry.h"

#include "geometry/frame_change.h"
#include "geometry/rotation.h"
#include "geometry/scalar_math.h"

#include <algorithm>
#include <cmath>

namespace orvex {
namespace {

// Enough points for any walk over at most one turn by the finest step, with room to spare.
constexpr size_t kMaxWalkLength = 4096;

void AddPolyline(std::vector<Vector>& lines, const std::vector<Vector>& points) {
  for (size_t i = 1; i < points.size(); ++i) {
    if (points[i - 1] == points[i]) continue;
    lines.push_back(points[i - 1]);
    lines.push_back(points[i]);
  }
}

void AddQuad(GuideCache& cache, const Vector (&corners)[4], const Vector (&normals)[4]) {
  for (int i = 0; i < 4; ++i) {
    cache.quads.push_back(corners[i]);
    cache.colours.push_back(kGuideColour);
    cache.normals.push_back(normals[i]);
  }
}

// A circle of latitude `lat` over the longitudes.
std::vector<Vector> LatitudeLine(Float radius, Float lat, const std::vector<Float>& lons) {
  std::vector<Vector> points;
  for (Float lon : lons) points.push_back(DirOf(lat, lon) * radius);
  return points;
}

void BuildSphereGeometry(GuideCache& cache, Float radius, Float span, Float latMin, Float latMax) {
  const Float a = std::max(latMin, -kHalfPi);
  const Float b = std::min(latMax, kHalfPi);
  const Float h = std::min(span, kTwoPi);
  if (!(h > 0.0) || !(a < b)) return;
  const Float l0 = -kHalfPi - h * 0.5;
  const Float l1 = -kHalfPi + h * 0.5;

  const std::vector<Float> lats = GuideWalk(a, b, kFineStep, true);
  for (Float lon : GuideWalk(l0, l1, kCoarseStep, true)) {
    std::vector<Vector> meridian;
    for (Float lat : lats) meridian.push_back(DirOf(lat, lon) * radius);
    AddPolyline(cache.lines, meridian);
  }
  const std::vector<Float> edgeLons = GuideWalk(l0, l1, kFineStep, true);
  if (b < kHalfPi) AddPolyline(cache.lines, LatitudeLine(radius, b, edgeLons));
  if (a > -kHalfPi) AddPolyline(cache.lines, LatitudeLine(radius, a, edgeLons));

  const std::vector<Float> cellLons = GuideWalk(l0, l1, kFineStep, false);
  for (Float lat : GuideWalk(a, b, kFineStep, false)) {
    const Float lat2 = GuideStep(lat, a, b, kFineStep);
    for (Float lon : cellLons) {
      const Float lon2 = GuideStep(lon, l0, l1, kFineStep);
      const Vector corners[4] = {DirOf(lat, lon) * radius, DirOf(lat, lon2) * radius,
                                 DirOf(lat2, lon2) * radius, DirOf(lat2, lon) * radius};
      const Vector normals[4] = {corners[0].GetNormalized(), corners[1].GetNormalized(),
                                 corners[2].GetNormalized(), corners[3].GetNormalized()};
      AddQuad(cache, corners, normals);
    }
  }
}

}  // namespace

Vector DirOf(Float lat, Float lon) {
  return {std::cos(lat) * std::cos(lon), std::cos(lat) * std::sin(lon), std::sin(lat)};
}

Float GuideStep(Float x, Float start, Float end, Float inc) {
  Float next = x + inc;
  if (x == start) {
    const Float m = std::fabs(std::fmod(x, inc));
    if (m >= 0.001) next = x < 0.0 ? x + m : x + (inc - m);
  } else if (x == end) {
    return x + inc;
  }
  return std::min(next, end);
}

std::vector<Float> GuideWalk(Float start, Float end, Float inc, bool inclusive) {
  std::vector<Float> values;
  for (Float x = start; inclusive ? x <= end : x < end;) {
    values.push_back(x);
    const Float next = GuideStep(x, start, end, inc);
    if (!(next > x) || values.size() >= kMaxWalkLength) break;
    x = next;
  }
  return values;
}

void GuideCache::Clear() {
  lines.clear();
  quads.clear();
  colours.clear();
  normals.clear();
}

void BuildSphereSection(GuideCache& cache, Float radius, Float span, Float latMin, Float latMax) {
  if (cache.kind == GuideKind::SphereSection && cache.radius == radius && cache.span == span &&
      cache.latMin == latMin && cache.latMax == latMax)
    return;
  cache.Clear();
  cache.kind = GuideKind::SphereSection;
  cache.radius = radius;
  cache.span = span;
  cache.latMin = latMin;
  cache.latMax = latMax;
  BuildSphereGeometry(cache, radius, span, latMin, latMax);
}

void BuildCylinder(GuideCache& cache, Float radius, Float angle, Float height) {
  cache.Clear();
  cache.kind = GuideKind::Cylinder;
  const Float h = std::min(angle, kTwoPi);
  if (!(h > 0.0) || !(height != 0.0)) return;
  const Float half = height * 0.5;
  const Float l0 = -kHalfPi - h * 0.5;
  const Float l1 = -kHalfPi + h * 0.5;
  const auto rim = [radius](Float lon) { return Vector(std::cos(lon), std::sin(lon), 0.0) * radius; };
  const Vector up(0.0, 0.0, half);

  for (Float lon : GuideWalk(l0, l1, kCoarseStep, true))
    AddPolyline(cache.lines, {rim(lon) - up, rim(lon) + up});
  const std::vector<Float> lons = GuideWalk(l0, l1, kFineStep, true);
  // The bottom circle, then the top one: z walks from -half by the height while z <= half.
  for (const Float z : {-half, -half + height}) {
    if (!(z <= half)) break;
    std::vector<Vector> circle;
    for (Float lon : lons) circle.push_back(rim(lon) + Vector(0.0, 0.0, z));
    AddPolyline(cache.lines, circle);
  }
  for (Float lon : GuideWalk(l0, l1, kFineStep, false)) {
    const Float lon2 = GuideStep(lon, l0, l1, kFineStep);
    const Vector corners[4] = {rim(lon) - up, rim(lon2) - up, rim(lon2) + up, rim(lon) + up};
    const auto flat = [](const Vector& v) { return Vector(v.x, v.y, 0.0).GetNormalized(); };
    const Vector normals[4] = {flat(corners[0]), flat(corners[1]), flat(corners[2]), flat(corners[3])};
    AddQuad(cache, corners, normals);
  }
}

Matrix GuideDrawMatrix(const Matrix& camera, bool upright, bool alongX) {
  Matrix m = camera;
  if (upright) m = m * kFrameChangeMatrix;
  if (upright && alongX) m = m * RotY(kHalfPi);
  return m;
}

}  // namespace orvex
