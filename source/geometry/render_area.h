#pragma once

#include "c4d_math.h"

#include <array>

namespace orvex {

// An axis-aligned, inclusive pixel rectangle of the output image. Every change of start or end
// recomputes the derived measures, so they always describe the current corners.
class RenderArea {
 public:
  // All zeros, derived measures included.
  constexpr RenderArea() = default;
  RenderArea(const Vector& start, const Vector& end);

  // An area of size (w, h) pixels whose first pixel is start.
  static RenderArea FromStartAndSize(const Vector& start, const Vector& size);

  const Vector& GetStart() const { return start_; }
  const Vector& GetEnd() const { return end_; }
  const Vector& GetSize() const { return size_; }
  const Vector& GetCentre() const { return centre_; }
  Int32 GetWidth() const { return width_; }
  Int32 GetHeight() const { return height_; }
  Float GetAspect() const { return aspect_; }
  Float GetRadius() const { return radius_; }
  Int32 GetMinSide() const { return minSide_; }

  void SetStart(const Vector& start);
  void SetEnd(const Vector& end);
  void SetStartX(Float x);
  void SetStartY(Float y);
  void SetEndX(Float x);
  void SetEndY(Float y);
  // Shifts both corners by delta.
  void MoveBy(const Vector& delta);

  bool operator==(const RenderArea& other) const = default;

 private:
  void Recompute();

  Vector start_;
  Vector end_;
  Vector size_;
  Vector centre_;
  Int32 width_ = 0;
  Int32 height_ = 0;
  Float aspect_ = 0.0;
  Float radius_ = 0.0;
  Int32 minSide_ = 0;
};

// Texture coordinates (u, v, 0) of pixel (x, y): 0 at the first pixel, 1 at the last. An area
// one pixel wide (or high) has no span to divide, so its single column (or row) sits at 0.5.
inline Vector PixelToUv(const RenderArea& area, Float x, Float y) {
  const Int32 width = area.GetWidth();
  const Int32 height = area.GetHeight();
  const Float u = width > 1 ? (x - area.GetStart().x) / static_cast<Float>(width - 1) : 0.5;
  const Float v = height > 1 ? (y - area.GetStart().y) / static_cast<Float>(height - 1) : 0.5;
  return {u, v, 0.0};
}

// Corners for drawing the area as a quad, in the order of texture coordinates (0,0), (1,0), (1,1),
// (0,1).
std::array<Vector, 4> AreaCorners(const RenderArea& area);

}  // namespace orvex
