#include "paint/raster3d.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace paint {
namespace {

// Depths within this fraction of each other count as equal, so lines on a surface stay visible.
constexpr Float32 kDepthTolerance = 1e-5f;
// One step of a line's z offset, as a fraction of its depth, and the most steps taken.
constexpr Float32 kLineZStep = 1e-4f;
constexpr Int32 kMaxLineZSteps = 100;

bool IsFinite(const Vector& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

Vector Lerp(const Vector& a, const Vector& b, Float t) { return a + (b - a) * t; }

Colour Lerp(const Colour& a, const Colour& b, Float32 t) {
  return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

// Clips the screen segment a..b to the rectangle [lo, hi] (both axes) by line parameters t0..t1;
// false when nothing of it is inside.
bool ClipToRect(const ScreenPoint& a, const ScreenPoint& b, Float loX, Float loY, Float hiX, Float hiY,
                Float& t0, Float& t1) {
  t0 = 0.0;
  t1 = 1.0;
  const Float d[2] = {b.x - a.x, b.y - a.y};
  const Float p0[2] = {a.x, a.y};
  const Float lo[2] = {loX, loY};
  const Float hi[2] = {hiX, hiY};
  for (int axis = 0; axis < 2; ++axis) {
    if (d[axis] == 0.0) {
      if (p0[axis] < lo[axis] || p0[axis] > hi[axis]) return false;
      continue;
    }
    Float enter = (lo[axis] - p0[axis]) / d[axis];
    Float leave = (hi[axis] - p0[axis]) / d[axis];
    if (enter > leave) std::swap(enter, leave);
    t0 = std::max(t0, enter);
    t1 = std::min(t1, leave);
  }
  return t0 <= t1;
}

Int32 PixelIndex(Float coordinate) { return static_cast<Int32>(std::floor(coordinate)); }

// Exactly one of two triangles sharing an edge owns pixel centres on it.
bool OwnsEdge(const ScreenPoint& from, const ScreenPoint& to) {
  const Float dy = to.y - from.y;
  return dy > 0.0 || (dy == 0.0 && to.x - from.x < 0.0);
}

Float EdgeFunction(const ScreenPoint& a, const ScreenPoint& b, Float px, Float py) {
  return (b.x - a.x) * (py - a.y) - (b.y - a.y) * (px - a.x);
}

}  // namespace

bool Raster3D::Begin(const Surface& surface, const ViewCamera& camera) {
  surface_ = surface;
  painter_ = Painter(surface);
  projection_ = ViewProjection(camera);
  inverseDepth_.clear();
  if (surface.IsEmpty()) return false;
  try {
    inverseDepth_.assign(static_cast<size_t>(surface.width) * static_cast<size_t>(surface.height), 0.0f);
  } catch (const std::bad_alloc&) {
    surface_ = Surface();
    painter_ = Painter(surface_);
    return false;
  }
  return true;
}

void Raster3D::Fragment(Int32 x, Int32 y, Float32 inverseDepth, const Colour& colour,
                        const RasterStyle& style) {
  if (x < 0 || y < 0 || x >= surface_.width || y >= surface_.height) return;
  Float32& stored = inverseDepth_[static_cast<size_t>(y) * static_cast<size_t>(surface_.width) + x];
  if (style.depthTest && inverseDepth < stored * (1.0f - kDepthTolerance)) return;
  painter_.SetPen(colour);
  painter_.Blend(x, y, 1.0f);
  if (style.depthWrite && colour.a >= 1.0f) stored = std::max(stored, inverseDepth);
}

void Raster3D::Line(const Vector& from, const Vector& to, const RasterStyle& style) {
  if (surface_.IsEmpty()) return;
  Vector a = projection_.ToCamera(from);
  Vector b = projection_.ToCamera(to);
  if (!IsFinite(a) || !IsFinite(b) || (a.z < kNearPlane && b.z < kNearPlane)) return;
  if (a.z < kNearPlane) a = Lerp(a, b, (kNearPlane - a.z) / (b.z - a.z));
  if (b.z < kNearPlane) b = Lerp(b, a, (kNearPlane - b.z) / (a.z - b.z));
  const ScreenPoint sa = projection_.ToScreen(a);
  const ScreenPoint sb = projection_.ToScreen(b);
  if (!std::isfinite(sa.x + sa.y + sb.x + sb.y)) return;  // beyond what the screen can hold
  // Only the part near the surface is walked; 1/depth is linear on the screen, so it follows the cut.
  const Float margin = style.lineWidth + 2.0;
  Float t0 = 0.0;
  Float t1 = 1.0;
  if (!ClipToRect(sa, sb, -margin, -margin, surface_.width + margin, surface_.height + margin, t0, t1))
    return;
  const Float inverseA = 1.0 / sa.depth;
  const Float inverseB = 1.0 / sb.depth;
  // A negative offset brings the line nearer: a larger 1/depth.
  const Float32 offset = 1.0f - kLineZStep * static_cast<Float32>(std::clamp(
                                                 style.lineZOffset, -kMaxLineZSteps, kMaxLineZSteps));
  const Float32 i0 = static_cast<Float32>(inverseA + (inverseB - inverseA) * t0) * offset;
  const Float32 i1 = static_cast<Float32>(inverseA + (inverseB - inverseA) * t1) * offset;
  const Int32 low = -(style.lineWidth - 1) / 2;
  const Int32 high = style.lineWidth / 2;
  painter_.WalkLine(PixelIndex(sa.x + (sb.x - sa.x) * t0), PixelIndex(sa.y + (sb.y - sa.y) * t0),
                    PixelIndex(sa.x + (sb.x - sa.x) * t1), PixelIndex(sa.y + (sb.y - sa.y) * t1),
                    [&](Int32 x, Int32 y, Float32 t) {
                      const Float32 inverseDepth = i0 + (i1 - i0) * t;
                      for (Int32 dy = low; dy <= high; ++dy)
                        for (Int32 dx = low; dx <= high; ++dx)
                          Fragment(x + dx, y + dy, inverseDepth, style.colour, style);
                    });
}

void Raster3D::Point(const Vector& at, Float size, const RasterStyle& style) {
  if (surface_.IsEmpty()) return;
  const Vector p = projection_.ToCamera(at);
  if (!IsFinite(p) || p.z < kNearPlane || !(size > 0.0)) return;
  const ScreenPoint s = projection_.ToScreen(p);
  const Float half = std::min(size, 256.0) * 0.5;
  if (!(std::fabs(s.x) < 1e9 && std::fabs(s.y) < 1e9)) return;
  const Float32 inverseDepth = static_cast<Float32>(1.0 / s.depth);
  for (Int32 y = PixelIndex(s.y - half + 0.5); y < PixelIndex(s.y + half + 0.5); ++y)
    for (Int32 x = PixelIndex(s.x - half + 0.5); x < PixelIndex(s.x + half + 0.5); ++x)
      Fragment(x, y, inverseDepth, style.colour, style);
}

void Raster3D::Triangle(const RasterVertex (&corners)[3], const RasterStyle& style) {
  if (surface_.IsEmpty()) return;
  // Clip the triangle at the near plane (Sutherland-Hodgman), then draw it as a fan.
  Vector in[3];
  for (int i = 0; i < 3; ++i) {
    in[i] = projection_.ToCamera(corners[i].position);
    if (!IsFinite(in[i])) return;
  }
  Vector points[4];
  Colour colours[4];
  int count = 0;
  for (int i = 0; i < 3; ++i) {
    const int j = (i + 1) % 3;
    const bool inside = in[i].z >= kNearPlane;
    if (inside) {
      points[count] = in[i];
      colours[count++] = corners[i].colour;
    }
    if (inside != (in[j].z >= kNearPlane)) {
      const Float t = (kNearPlane - in[i].z) / (in[j].z - in[i].z);
      points[count] = Lerp(in[i], in[j], t);
      colours[count++] = Lerp(corners[i].colour, corners[j].colour, static_cast<Float32>(t));
    }
  }
  for (int i = 1; i + 1 < count; ++i)
    CameraTriangle({points[0], points[i], points[i + 1]}, {colours[0], colours[i], colours[i + 1]}, style);
}

void Raster3D::CameraTriangle(const Vector (&p)[3], const Colour (&c)[3], const RasterStyle& style) {
  ScreenPoint s[3];
  for (int i = 0; i < 3; ++i) s[i] = projection_.ToScreen(p[i]);
  int order[3] = {0, 1, 2};
  Float area = EdgeFunction(s[0], s[1], s[2].x, s[2].y);
  if (!(area != 0.0) || !std::isfinite(area)) return;
  if (area < 0.0) {
    std::swap(order[1], order[2]);
    area = -area;
  }
  const ScreenPoint& a = s[order[0]];
  const ScreenPoint& b = s[order[1]];
  const ScreenPoint& d = s[order[2]];
  const Float xMin = std::max(0.0, std::floor(std::min({a.x, b.x, d.x})));
  const Float yMin = std::max(0.0, std::floor(std::min({a.y, b.y, d.y})));
  const Float xMax = std::min<Float>(surface_.width - 1, std::ceil(std::max({a.x, b.x, d.x})));
  const Float yMax = std::min<Float>(surface_.height - 1, std::ceil(std::max({a.y, b.y, d.y})));
  if (xMin > xMax || yMin > yMax) return;
  const Float inverse[3] = {1.0 / a.depth, 1.0 / b.depth, 1.0 / d.depth};
  const Colour& ca = c[order[0]];
  const Colour& cb = c[order[1]];
  const Colour& cd = c[order[2]];
  const bool owns[3] = {OwnsEdge(b, d), OwnsEdge(d, a), OwnsEdge(a, b)};
  for (Int32 y = static_cast<Int32>(yMin); y <= static_cast<Int32>(yMax); ++y) {
    for (Int32 x = static_cast<Int32>(xMin); x <= static_cast<Int32>(xMax); ++x) {
      const Float px = x + 0.5;
      const Float py = y + 0.5;
      const Float w[3] = {EdgeFunction(b, d, px, py), EdgeFunction(d, a, px, py), EdgeFunction(a, b, px, py)};
      bool inside = true;
      for (int i = 0; i < 3 && inside; ++i) inside = w[i] > 0.0 || (w[i] == 0.0 && owns[i]);
      if (!inside) continue;
      // Perspective-correct colour: weights by 1/depth, normalised by the interpolated 1/depth.
      const Float wa = w[0] / area * inverse[0];
      const Float wb = w[1] / area * inverse[1];
      const Float wd = w[2] / area * inverse[2];
      const Float inverseDepth = wa + wb + wd;
      const auto mix = [&](Float32 va, Float32 vb, Float32 vd) {
        return static_cast<Float32>((va * wa + vb * wb + vd * wd) / inverseDepth);
      };
      const Colour colour{mix(ca.r, cb.r, cd.r), mix(ca.g, cb.g, cd.g), mix(ca.b, cb.b, cd.b),
                          mix(ca.a, cb.a, cd.a)};
      Fragment(x, y, static_cast<Float32>(inverseDepth), colour, style);
    }
  }
}

}  // namespace paint
