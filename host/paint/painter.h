#pragma once

#include "canvas/line_walk.h"
#include "canvas/surface.h"

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

template <typename Visit>
void Painter::WalkLine(Int32 x0, Int32 y0, Int32 x1, Int32 y1, Visit&& visit) const {
  paint::WalkLine(x0, y0, x1, y1, clip_, std::forward<Visit>(visit));
}

}  // namespace paint
