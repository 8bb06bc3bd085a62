#pragma once

#include "c4d.h"

// The plain camera of a render that no effect gives a lens: a pinhole looking along the camera's
// +Z axis, its horizontal field of view set by focal length and film width, square pixels.
class PinholeCamera {
 public:
  // The camera object's placement and lens; without one, a default camera at the origin.
  PinholeCamera(const BaseObject* camera, Int32 width, Int32 height);

  // Moves the camera, keeping its lens (a stereo camera beside the scene camera).
  void SetPlacement(const Matrix& placement) { matrix_ = placement; }

  // The ray through continuous pixel position (x, y), where (0, 0) is the first pixel's centre.
  // Inline: the renderer asks it for every sample before the lens answers.
  Ray RayThrough(Float x, Float y) const {
    const Vector local((x + 0.5 - halfWidth_) * tangentPerPixel_, (halfHeight_ - y - 0.5) * tangentPerPixel_,
                       1.0);
    return {matrix_.offset, matrix_.TransformDirection(local)};
  }

 private:
  Matrix matrix_;
  Float halfWidth_ = 0.0;
  Float halfHeight_ = 0.0;
  Float tangentPerPixel_ = 0.0;
};
