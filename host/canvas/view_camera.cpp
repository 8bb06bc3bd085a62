#include "canvas/view_camera.h"

#include "c4d_tools.h"

#include <algorithm>
#include <cmath>

namespace paint {

ViewProjection::ViewProjection(const ViewCamera& camera)
    : inverse_(Inverse(camera.matrix)),
      eye_(camera.matrix.offset),
      centreX_(camera.width * 0.5),
      centreY_(camera.height * 0.5) {
  // Fields of view at or beyond half a turn have no finite tangent: they are limited just short of it.
  const Float fov = std::clamp(camera.horizontalFov, 1e-6, 3.1);
  pixelsPerTangent_ = centreX_ / std::tan(fov * 0.5);
}

Vector ViewProjection::ToCamera(const Vector& world) const { return inverse_.TransformPoint(world); }

ScreenPoint ViewProjection::ToScreen(const Vector& p) const {
  return {centreX_ + p.x / p.z * pixelsPerTangent_, centreY_ - p.y / p.z * pixelsPerTangent_, p.z};
}

Vector ViewProjection::ViewDirection(const Vector& world) const { return (world - eye_).GetNormalized(); }

}  // namespace paint
