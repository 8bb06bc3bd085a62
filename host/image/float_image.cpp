#include "float_image.h"

#include <algorithm>
#include <new>

bool FloatImage::Allocate(Int32 newWidth, Int32 newHeight) {
  if (!AllocateUncleared(newWidth, newHeight)) return false;
  Clear();
  return true;
}

bool FloatImage::AllocateUncleared(Int32 newWidth, Int32 newHeight) {
  if (newWidth <= 0 || newHeight <= 0) return false;
  try {
    rgba.resize(static_cast<size_t>(newWidth) * newHeight * kChannels);
  } catch (const std::bad_alloc&) {
    rgba.clear();
    width = height = 0;
    return false;
  }
  width = newWidth;
  height = newHeight;
  return true;
}

void FloatImage::Clear() { std::fill(rgba.begin(), rgba.end(), 0.0f); }
