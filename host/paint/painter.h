#pragma once

#include "paint/surface.h"

#include <algorithm>
#include <cstdint>
#include <utility>

namespace paint {

// Pens, pixels, lines and rectangles on a surface, clipped to a rectangle of it (see surface.h
// for the conventions). The pen is a straight colour in the surface's encoding.
class Painter {
 public:
  explicit Painter(const Surface& surface) : surface_(surface), clip_(surface.Bounds()) {}

  const Surface& GetSurface() const { return surface_; }
  // Painting stays inside this rectangle (always within the surface).
  void SetClip(const PixelRect& clip) { clip_ = clip.Intersect(surface_.Bounds()); }
  const PixelRect& GetClip() const { return clip_; }
  void SetPen(const Colour& pen) { pen_ = pen; }
  const Colour& GetPen() const { return pen_; }

  // The pen over one pixel with a coverage of 0..1.
  void Blend(Int32 x, Int32 y, Float32 coverage) const;
  // Writes the pen's values into one pixel as they are (premultiplied), replacing what was there.
  void Put(Int32 x, Int32 y) const;
  // Fills the pixels of an inclusive rectangle with the pen.
  void FillRect(const PixelRect& rect) const;
  // A one-pixel line from pixel (x0, y0) to pixel (x1, y1), both ends included; the pixels are
  // those of Bresenham's line, also when the ends lie far outside the clip rectangle.
  void DrawLine(Int32 x0, Int32 y0, Int32 x1, Int32 y1) const;
  // The pixels of that line inside the clip rectangle, in order from (x0, y0): visit(x, y, t) with t
  // the fraction of the way along the line's major axis (0 at the first end, 1 at the last).
  template <typename Visit>
  void WalkLine(Int32 x0, Int32 y0, Int32 x1, Int32 y1, Visit&& visit) const;

 private:
  bool Inside(Int32 x, Int32 y) const {
    return x >= clip_.x0 && x <= clip_.x1 && y >= clip_.y0 && y <= clip_.y1;
  }

  Surface surface_;
  PixelRect clip_;
  Colour pen_;
};

namespace line_detail {
// Bresenham's minor coordinate at major step `step` of a line with deltas (major, minor), major > 0:
// the rounded exact value, ties rounded up as Bresenham's error term does.
inline Int64 MinorAt(Int64 step, Int64 major, Int64 minor) {
  const Int64 numerator = 2 * step * (minor < 0 ? -minor : minor) + major;
  const Int64 offset = numerator / (2 * major);
  return minor < 0 ? -offset : offset;
}
}  // namespace line_detail

template <typename Visit>
void Painter::WalkLine(Int32 x0, Int32 y0, Int32 x1, Int32 y1, Visit&& visit) const {
  if (clip_.IsEmpty()) return;
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
  // Only the steps whose major coordinate lies in the clip rectangle can reach a pixel.
  const Int64 first = std::max<Int64>(a0, steep ? clip_.y0 : clip_.x0);
  const Int64 last = std::min<Int64>(a1, steep ? clip_.y1 : clip_.x1);
  for (Int64 i = 0; i <= last - first; ++i) {
    const Int64 a = reversed ? last - i : first + i;
    const Int64 b = major == 0 ? b0 : b0 + line_detail::MinorAt(a - a0, major, minor);
    const Int64 x = steep ? b : a;
    const Int64 y = steep ? a : b;
    if (!Inside(static_cast<Int32>(std::clamp<Int64>(x, INT32_MIN, INT32_MAX)),
                static_cast<Int32>(std::clamp<Int64>(y, INT32_MIN, INT32_MAX))))
      continue;
    const Float32 along = major == 0 ? 0.0f : static_cast<Float32>(a - a0) / static_cast<Float32>(major);
    visit(static_cast<Int32>(x), static_cast<Int32>(y), reversed ? 1.0f - along : along);
  }
}

}  // namespace paint
