#pragma once

#include "canvas/view_camera.h"
#include "paint/painter.h"

#include <vector>

// The views' 3D rasterizer: world-space lines, points and triangles through a perspective view
// camera into a surface, with a depth buffer (conventions in view_camera.h and surface.h).
//
// - Depth is kept as 1 / depth per pixel (0: nothing drawn), interpolated linearly over the screen,
//   so that it is exact along lines and triangles in perspective; nearer wins, equal depth passes.
// - Lines and triangles are clipped at the near plane; anything with a coordinate that is not
//   finite is not drawn.
// - Colours are straight, alpha is the opacity: opaque fragments write depth, translucent ones only
//   blend (so a translucent surface never hides what is drawn behind it later).
// - Triangles cover the pixels whose centres lie inside (top-left rule on edges), in either winding.
namespace paint {

struct RasterStyle {
  Colour colour;           // pen of lines and points
  bool depthTest = true;   // compare with the depth buffer
  bool depthWrite = true;  // opaque fragments store their depth
  Int32 lineWidth = 1;     // pixels across a line (a square brush)
  // Lines only: steps towards (negative) or away from the viewer in the depth test, a ten-thousandth
  // of the depth each (limited to 100 steps), so a line on or just behind a surface can stay in front.
  Int32 lineZOffset = 0;
};

// A triangle corner: its world position and straight colour.
struct RasterVertex {
  Vector position;
  Colour colour;
};

class Raster3D {
 public:
  // Draws into `surface` as `camera` sees it; false (nothing drawn later) when the depth buffer
  // cannot be had.
  bool Begin(const Surface& surface, const ViewCamera& camera);

  void Line(const Vector& from, const Vector& to, const RasterStyle& style);
  // A square of `size` pixels centred on the point.
  void Point(const Vector& at, Float size, const RasterStyle& style);
  void Triangle(const RasterVertex (&corners)[3], const RasterStyle& style);

  const ViewProjection& Projection() const { return projection_; }

 private:
  // Depth-tests and paints one pixel at 1/depth `inverseDepth` with `colour`.
  void Fragment(Int32 x, Int32 y, Float32 inverseDepth, const Colour& colour, const RasterStyle& style);
  // A triangle already in the camera frame, in front of the near plane.
  void CameraTriangle(const Vector (&p)[3], const Colour (&c)[3], const RasterStyle& style);

  Surface surface_;
  Painter painter_{Surface()};
  ViewProjection projection_{ViewCamera()};
  std::vector<Float32> inverseDepth_;
};

}  // namespace paint
