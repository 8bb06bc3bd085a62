#include "geometry/equirect_grid.h"

#include <cmath>
#include <new>

namespace orvex {
namespace {

bool TurnsAQuarter(const SubView& view) { return view.rotation == 90 || view.rotation == 270; }

// Whole pixels from the first at or after `low` to the last at or before `high`.
bool WholePixels(Float low, Float high, Int32& first, Int32& count) {
  // Larger than any frame: the bounds of an area one pixel wide are open.
  constexpr Float kMostPixels = 1 << 20;
  if (!(std::abs(low) < kMostPixels && std::abs(high) < kMostPixels)) return false;
  first = static_cast<Int32>(std::ceil(low));
  count = static_cast<Int32>(std::floor(high)) - first + 1;
  return count > 0;
}

// The (u, v) the panorama's projection uses at pixel (x, y): LensDirection's steps before the
// direction; `traced` false where the lens refuses the pixel.
Vector ProjectionCoordinates(const LensSettings& lens, const RenderArea& area, Float x, Float y,
                             bool& traced) {
  const Vector uv = PixelToUv(area, x, y);
  Float u = uv.x;
  Float v = uv.y;
  traced = LensViewCoordinates(lens, u, v);
  EquirectSpan(lens, u, v);
  return {u, v, 0.0};
}

}  // namespace

void EquirectGrid::Prepare(const LensSettings& lens, const RenderArea& area,
                           const RayPixelBounds& bounds) noexcept {
  columns_.clear();
  rows_.clear();
  if (lens.projection != Projection::kEquirect || TurnsAQuarter(lens.currentFace) ||
      TurnsAQuarter(lens.currentEye))
    return;
  Int32 columnCount = 0;
  Int32 rowCount = 0;
  if (!WholePixels(bounds.left, bounds.right, firstColumn_, columnCount) ||
      !WholePixels(bounds.top, bounds.bottom, firstRow_, rowCount))
    return;
  // The other coordinate held in the middle of the area, where the margin test passes, while each
  // column (row) takes the steps LensDirection takes.
  const Float middleY = area.GetStart().y + 0.5 * (area.GetHeight() - 1);
  const Float middleX = area.GetStart().x + 0.5 * (area.GetWidth() - 1);
  try {
    columns_.resize(static_cast<size_t>(columnCount));
    rows_.resize(static_cast<size_t>(rowCount));
  } catch (const std::bad_alloc&) {
    // Without memory for the grid every pixel asks the lens itself.
    columns_.clear();
    rows_.clear();
    return;
  }
  for (Int32 k = 0; k < columnCount; ++k) {
    Line& line = columns_[static_cast<size_t>(k)];
    line.coordinate = ProjectionCoordinates(lens, area, firstColumn_ + k, middleY, line.traced).x;
    line.angle = SineCosineOf(EquirectAzimuth(line.coordinate));
  }
  for (Int32 k = 0; k < rowCount; ++k) {
    Line& line = rows_[static_cast<size_t>(k)];
    line.coordinate = ProjectionCoordinates(lens, area, middleX, firstRow_ + k, line.traced).y;
    line.angle = SineCosineOf(EquirectPolar(line.coordinate));
  }
}

}  // namespace orvex
