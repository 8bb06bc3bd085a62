#include "canvas/surface.h"

#include "image/srgb.h"

#include <algorithm>
#include <cstdlib>

namespace paint {

PixelRect PixelRect::Intersect(const PixelRect& other) const {
  return {std::max(x0, other.x0), std::max(y0, other.y0), std::min(x1, other.x1), std::min(y1, other.y1)};
}

// The sRGB transfer curve, both ways.
Float32 DisplayToLinear(Float32 value) { return srgb::Decode(value); }

Float32 LinearToDisplay(Float32 value) { return srgb::EncodeCurve(value); }

Float32 Convert(Float32 value, Encoding from, Encoding to) {
  if (from == to) return value;
  return to == Encoding::Linear ? DisplayToLinear(value) : LinearToDisplay(value);
}

bool Image::Allocate(Int32 width, Int32 height, Encoding encoding) {
  surface_ = Surface();
  pixels_.reset();
  if (width <= 0 || height <= 0 || static_cast<Int64>(width) * height > (Int64(1) << 31)) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height) * Surface::kChannels;
  pixels_.reset(static_cast<Float32*>(std::calloc(count, sizeof(Float32))));
  if (!pixels_) return false;
  surface_ = Surface{width, height, pixels_.get(), encoding};
  return true;
}

}  // namespace paint
