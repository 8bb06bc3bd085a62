#pragma once

#include "c4d.h"

#include <cstdlib>
#include <memory>

// The stand-in host's 2D painting core, shared by overlays, GUI areas and views.
//
// Pixel conventions (the one place they are defined):
// - Rows run top to bottom. Pixel (i, j) is the unit square [i, i+1) x [j, j+1) of the surface's
//   continuous coordinates; its centre is (i + 0.5, j + 0.5). Calls that take whole numbers (pixel
//   rectangles, lines, single pixels) take pixel indices.
// - Surfaces hold four floats per pixel, colour premultiplied by alpha; painting composites
//   "source over": result = source + destination * (1 - source alpha).
// - The numbers are in the surface's own encoding, which painting never changes: display-encoded
//   (sRGB, as 8-bit bitmaps, clip maps and GUI areas hold them) or scene-linear (render images).
//   Only where an image crosses from one encoding into the other is it converted, per texel, on
//   its straight (not premultiplied) colour.
namespace paint {

enum class Encoding { Display, Linear };

// A straight (not premultiplied) colour with alpha.
struct Colour {
  Float32 r = 0.0f;
  Float32 g = 0.0f;
  Float32 b = 0.0f;
  Float32 a = 1.0f;
};

// An inclusive rectangle of pixel indices; empty when an end lies before its start.
struct PixelRect {
  Int32 x0 = 0;
  Int32 y0 = 0;
  Int32 x1 = -1;
  Int32 y1 = -1;

  bool IsEmpty() const { return x1 < x0 || y1 < y0; }
  PixelRect Intersect(const PixelRect& other) const;
};

Float32 DisplayToLinear(Float32 value);
Float32 LinearToDisplay(Float32 value);
// A straight colour value in `from` converted into `to`.
Float32 Convert(Float32 value, Encoding from, Encoding to);

// Pixels someone else owns (a render image, a clip map's storage), painted in place.
struct Surface {
  static constexpr Int32 kChannels = 4;

  Int32 width = 0;
  Int32 height = 0;
  Float32* rgba = nullptr;  // width * height * 4, premultiplied
  Encoding encoding = Encoding::Display;

  bool IsEmpty() const { return width <= 0 || height <= 0 || !rgba; }
  PixelRect Bounds() const { return {0, 0, width - 1, height - 1}; }
  Float32* Pixel(Int32 x, Int32 y) const {
    return rgba + (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * kChannels;
  }
};

// A surface that owns its pixels, cleared to transparent black.
class Image {
 public:
  // False (and empty) when the size is not positive or the memory cannot be had.
  bool Allocate(Int32 width, Int32 height, Encoding encoding);
  const Surface& GetSurface() const { return surface_; }

 private:
  struct Release {
    void operator()(Float32* pixels) const { std::free(pixels); }
  };
  // Zeroed by the system page by page as first touched: large, mostly empty surfaces (a dome of
  // text) cost only the pages painted on.
  std::unique_ptr<Float32[], Release> pixels_;
  Surface surface_;
};

}  // namespace paint
