#pragma once

#include "c4d_bitmap.h"

#include <vector>

// Pixels as floats: three colour channels interleaved, alpha kept apart (empty when absent).
// Values of 8-bit sources (images of 8 or 16 bits per channel, bitmaps made by Init) are
// display-encoded; those of float image files are linear.
struct BitmapRecord {
  Int32 width = 0;
  Int32 height = 0;
  std::vector<Float32> rgb;
  std::vector<Float32> alpha;
  bool linear = false;
  Vector pen;  // the colour Line draws with, 0..1

  bool Inside(Int32 x, Int32 y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  size_t Index(Int32 x, Int32 y) const { return static_cast<size_t>(y) * width + x; }
};
