#include "paint/painter.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace paint {

void Painter::Blend(Int32 x, Int32 y, Float32 coverage) const {
  if (!Inside(x, y) || coverage <= 0.0f) return;
  const Float32 alpha = pen_.a * std::min(coverage, 1.0f);
  Float32* pixel = surface_.Pixel(x, y);
  const Float32 keep = 1.0f - alpha;
  pixel[0] = pen_.r * alpha + pixel[0] * keep;
  pixel[1] = pen_.g * alpha + pixel[1] * keep;
  pixel[2] = pen_.b * alpha + pixel[2] * keep;
  pixel[3] = alpha + pixel[3] * keep;
}

void Painter::Put(Int32 x, Int32 y) const {
  if (!Inside(x, y)) return;
  Float32* pixel = surface_.Pixel(x, y);
  pixel[0] = pen_.r * pen_.a;
  pixel[1] = pen_.g * pen_.a;
  pixel[2] = pen_.b * pen_.a;
  pixel[3] = pen_.a;
}

void Painter::FillRect(const PixelRect& rect) const {
  const PixelRect inside = rect.Intersect(clip_);
  for (Int32 y = inside.y0; y <= inside.y1; ++y)
    for (Int32 x = inside.x0; x <= inside.x1; ++x) Blend(x, y, 1.0f);
}

void Painter::DrawLine(Int32 x0, Int32 y0, Int32 x1, Int32 y1) const {
  WalkLine(x0, y0, x1, y1, [this](Int32 x, Int32 y, Float32) { Blend(x, y, 1.0f); });
}

}  // namespace paint
