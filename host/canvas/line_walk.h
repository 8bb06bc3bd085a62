#pragma once

#include "canvas/surface.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace paint {

namespace line_detail {
// Bresenham's minor coordinate at major step `step` of a line with deltas (major, minor), major > 0:
// the rounded exact value, ties rounded up as Bresenham's error term does.
inline Int64 MinorAt(Int64 step, Int64 major, Int64 minor) {
  const Int64 numerator = 2 * step * (minor < 0 ? -minor : minor) + major;
  const Int64 offset = numerator / (2 * major);
  return minor < 0 ? -offset : offset;
}
}  // namespace line_detail

// The pixels of Bresenham's line from pixel (x0, y0) to pixel (x1, y1), both ends included, that lie
// inside `clip`, in order from (x0, y0): visit(x, y, t) with t the fraction of the way along the
// line's major axis (0 at the first end, 1 at the last). Only the steps whose major coordinate falls
// inside the clip are walked, so a line with ends far outside costs no more than the clip is wide.
template <typename Visit>
void WalkLine(Int32 x0, Int32 y0, Int32 x1, Int32 y1, const PixelRect& clip, Visit&& visit) {
  if (clip.IsEmpty()) return;
  const Int64 dx = Int64(x1) - x0;
  const Int64 dy = Int64(y1) - y0;
  const bool steep = (dy < 0 ? -dy : dy) > (dx < 0 ? -dx : dx);
  // Walk the major axis; (a, b) are (major, minor) coordinates, from the lower major end.
  Int64 a0 = steep ? y0 : x0, b0 = steep ? x0 : y0, a1 = steep ? y1 : x1, b1 = steep ? x1 : y1;
  const bool reversed = a0 > a1;
  if (reversed) {
    std::swap(a0, a1);
    std::swap(b0, b1);
  }
  const Int64 major = a1 - a0;
  const Int64 minor = b1 - b0;
  const Int64 first = std::max<Int64>(a0, steep ? clip.y0 : clip.x0);
  const Int64 last = std::min<Int64>(a1, steep ? clip.y1 : clip.x1);
  for (Int64 i = 0; i <= last - first; ++i) {
    const Int64 a = reversed ? last - i : first + i;
    const Int64 b = major == 0 ? b0 : b0 + line_detail::MinorAt(a - a0, major, minor);
    const Int64 x = steep ? b : a;
    const Int64 y = steep ? a : b;
    if (x < clip.x0 || x > clip.x1 || y < clip.y0 || y > clip.y1) continue;
    const Float32 along = major == 0 ? 0.0f : static_cast<Float32>(a - a0) / static_cast<Float32>(major);
    visit(static_cast<Int32>(x), static_cast<Int32>(y), reversed ? 1.0f - along : along);
  }
}

}  // namespace paint
