#pragma once

#include "c4d_bitmap.h"
#include "image/uninitialized_allocator.h"

#include <algorithm>
#include <vector>

// Pixels as floats: three colour channels interleaved, alpha kept apart (empty when absent).
// Values of 8-bit sources (images of 8 or 16 bits per channel, bitmaps made by Init) are
// display-encoded; those of float image files are linear.
struct BitmapRecord {
  Int32 width = 0;  // of the pixels stored
  Int32 height = 0;
  // A window bitmap (a camera image of a multi-camera frame) stores only the rectangle at (left, top)
  // of an image of frameWidth x frameHeight; the rest reads as transparent black. 0: no window.
  Int32 left = 0;
  Int32 top = 0;
  Int32 frameWidth = 0;
  Int32 frameHeight = 0;
  // Resizing leaves new values undefined: whoever sizes the pixels clears or writes them.
  std::vector<Float32, UninitializedAllocator<Float32>> rgb;
  std::vector<Float32, UninitializedAllocator<Float32>> alpha;
  bool linear = false;
  Vector pen;  // the colour Line draws with, 0..1

  // Stored-pixel coordinates: (x, y) without the window's offset.
  bool Inside(Int32 x, Int32 y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  size_t Index(Int32 x, Int32 y) const { return static_cast<size_t>(y) * width + x; }

  // The bitmap's size as its users see it.
  Int32 ShownWidth() const { return frameWidth > 0 ? frameWidth : width; }
  Int32 ShownHeight() const { return frameHeight > 0 ? frameHeight : height; }
  bool IsShown(Int32 x, Int32 y) const { return x >= 0 && y >= 0 && x < ShownWidth() && y < ShownHeight(); }

  // The columns [begin, end) of the run of `count` pixels from (x, y), in shown coordinates, that
  // are stored; empty (begin == end) where the run misses the window.
  struct StoredRun {
    Int32 begin = 0;
    Int32 end = 0;
  };
  StoredRun StoredPart(Int32 x, Int32 y, Int32 count) const {
    const Int32 storedY = y - top;
    if (storedY < 0 || storedY >= height) return {};
    const Int32 begin = std::max(x, left);
    const Int32 end = std::min(x + count, left + width);
    return begin < end ? StoredRun{begin, end} : StoredRun{};
  }
};
