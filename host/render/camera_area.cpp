#include "camera_area.h"

#include <algorithm>

void CameraArea::Reset(Int32 width, Int32 height) {
  answered_.assign(static_cast<size_t>(std::max(height, 0)), Columns{});
  width_ = width;
  bounds_ = {0, 0, width, height};
  learning_ = bounds_;
  learned_ = false;
}

void CameraArea::FinishLearning() {
  if (learned_) return;
  learned_ = true;
  Int32 left = width_, right = 0, top = -1, bottom = -1;
  for (size_t y = 0; y < answered_.size(); ++y) {
    const Columns& row = answered_[y];
    if (row.begin >= row.end) continue;
    left = std::min(left, row.begin);
    right = std::max(right, row.end);
    if (top < 0) top = static_cast<Int32>(y);
    bottom = static_cast<Int32>(y) + 1;
  }
  bounds_ = top < 0 ? PixelWindow{} : PixelWindow{left, top, right - left, bottom - top};
}
