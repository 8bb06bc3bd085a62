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

namespace {
// Bresenham's minor coordinate at major step `step` of a line with deltas (major, minor), major > 0:
// the rounded exact value, ties rounded up as Bresenham's error term does.
Int64 MinorAt(Int64 step, Int64 major, Int64 minor) {
  const Int64 numerator = 2 * step * std::abs(minor) + major;
  const Int64 offset = numerator / (2 * major);
  return minor < 0 ? -offset : offset;
}
}  // namespace

void Painter::DrawLine(Int32 x0, Int32 y0, Int32 x1, Int32 y1) const {
  if (clip_.IsEmpty()) return;
  const bool steep = std::abs(Int64(y1) - y0) > std::abs(Int64(x1) - x0);
  // Walk the major axis; (a, b) are (major, minor) coordinates.
  Int64 a0 = steep ? y0 : x0, b0 = steep ? x0 : y0, a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
  if (a0 > a1) {
    std::swap(a0, a1);
    std::swap(b0, b1);
  }
  const Int64 major = a1 - a0;
  const Int64 minor = b1 - b0;
  // Only the steps whose major coordinate lies in the clip rectangle can draw a pixel.
  const Int64 clipLow = steep ? clip_.y0 : clip_.x0;
  const Int64 clipHigh = steep ? clip_.y1 : clip_.x1;
  const Int64 first = std::max(a0, clipLow);
  const Int64 last = std::min(a1, clipHigh);
  for (Int64 a = first; a <= last; ++a) {
    const Int64 b = major == 0 ? b0 : b0 + MinorAt(a - a0, major, minor);
    const Int64 x = steep ? b : a;
    const Int64 y = steep ? a : b;
    if (x >= clip_.x0 && x <= clip_.x1 && y >= clip_.y0 && y <= clip_.y1)
      Blend(static_cast<Int32>(x), static_cast<Int32>(y), 1.0f);
  }
}

}  // namespace paint
