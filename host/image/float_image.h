#pragma once

#include "c4d.h"
#include "uninitialized_allocator.h"

#include <vector>

// One camera image of a render: float RGBA per pixel, colour premultiplied by alpha, rows from top
// to bottom. Linear and unclamped.
struct FloatImage {
  static constexpr Int32 kChannels = 4;

  Int32 width = 0;
  Int32 height = 0;
  std::vector<Float32, UninitializedAllocator<Float32>> rgba;

  // Sizes the image and clears it to transparent black; false when the memory cannot be had.
  bool Allocate(Int32 newWidth, Int32 newHeight);
  // Sizes the image and leaves its pixels unset, for callers that write every pixel right after:
  // no clearing pass over a frame whose pages the writes touch anyway.
  bool AllocateUncleared(Int32 newWidth, Int32 newHeight);
  void Clear();

  Float32* Row(Int32 y) { return rgba.data() + static_cast<size_t>(y) * width * kChannels; }
  const Float32* Row(Int32 y) const { return rgba.data() + static_cast<size_t>(y) * width * kChannels; }
  Float32* Pixel(Int32 x, Int32 y) { return Row(y) + static_cast<size_t>(x) * kChannels; }
  const Float32* Pixel(Int32 x, Int32 y) const { return Row(y) + static_cast<size_t>(x) * kChannels; }
};
