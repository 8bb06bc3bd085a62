#pragma once

#include "geometry/lens.h"
#include "geometry/render_area.h"

#include <vector>

namespace orvex {

// The equirectangular lens at whole pixel positions, from sines and cosines worked out once per
// camera: where neither the face nor the eye turns the image a quarter, u depends on the column
// alone and v on the row alone, so a ray of one sample per pixel needs no trigonometry of its own.
// Directions and coordinates are those LensDirection gives, to the bit.
class EquirectGrid {
 public:
  // For the lens over the area, within the pixel bounds the lens traces; empty (every Find false)
  // when the lens is no equirectangular panorama, a view turns a quarter, the bounds are open or
  // there is no memory for it.
  void Prepare(const LensSettings& lens, const RenderArea& area, const RayPixelBounds& bounds) noexcept;

  // At a whole pixel position inside the bounds: true, with the direction (zero where the lens
  // traces no ray) and the projection's coordinates. False elsewhere: ask LensDirection.
  [[nodiscard]] bool Find(Float x, Float y, Vector& direction, Float& u, Float& v) const {
    const Float column = x - firstColumn_;
    const Float row = y - firstRow_;
    if (!(column >= 0.0 && row >= 0.0 && column < static_cast<Float>(columns_.size()) &&
          row < static_cast<Float>(rows_.size())))
      return false;
    const auto c = static_cast<size_t>(column);
    const auto r = static_cast<size_t>(row);
    if (static_cast<Float>(c) != column || static_cast<Float>(r) != row) return false;
    const Line& across = columns_[c];
    const Line& down = rows_[r];
    direction =
        across.traced && down.traced ? FrameChange(EquirectDirectionOf(across.angle, down.angle)) : Vector();
    u = across.coordinate;
    v = down.coordinate;
    return true;
  }

 private:
  // A column's azimuth or a row's polar angle, and whether the lens traces there at all.
  struct Line {
    Float coordinate = 0.0;
    SineCosine angle;
    bool traced = false;
  };
  std::vector<Line> columns_;
  std::vector<Line> rows_;
  Int32 firstColumn_ = 0;
  Int32 firstRow_ = 0;
};

}  // namespace orvex
