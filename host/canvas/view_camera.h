#pragma once

#include "c4d.h"

// How a view looks at the scene: a perspective camera and the image it fills.
//
// The camera looks along its +Z axis with +Y up and +X right (left-handed world); its horizontal
// field of view spans the image's width, pixels are square. Screen coordinates are the surface's
// continuous ones (pixel (i, j) covers [i, i+1) x [j, j+1), rows top down), so the optical axis meets
// the image at (width / 2, height / 2). Depth is the distance along the view axis; nothing nearer
// than kNearPlane is drawn.
namespace paint {

inline constexpr Float kNearPlane = 1.0;

struct ViewCamera {
  Matrix matrix;                 // global placement
  Float horizontalFov = 0.8575;  // radians; the default is a 36 mm lens on a 36 mm film
  Int32 width = 0;
  Int32 height = 0;
};

// A point on the screen with its depth.
struct ScreenPoint {
  Float x = 0.0;
  Float y = 0.0;
  Float depth = 0.0;
};

// World to camera to screen for one view camera.
class ViewProjection {
 public:
  explicit ViewProjection(const ViewCamera& camera);

  // The point in the camera's frame (z = depth).
  Vector ToCamera(const Vector& world) const;
  // A camera-frame point with depth >= kNearPlane on the screen.
  ScreenPoint ToScreen(const Vector& cameraPoint) const;
  // The direction from the camera towards a world point, in the world (unit length; zero at the eye).
  Vector ViewDirection(const Vector& world) const;

 private:
  Matrix inverse_;
  Vector eye_;
  Float pixelsPerTangent_ = 0.0;
  Float centreX_ = 0.0;
  Float centreY_ = 0.0;
};

}  // namespace paint
