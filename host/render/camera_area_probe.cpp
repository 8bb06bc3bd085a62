#include "camera_area_probe.h"

#include "sample_pattern.h"

#include "base/parallel_for.h"

#include <algorithm>
#include <vector>

namespace {

// Whether the lens answers any sample of pixel (x, y), as the render would ask it.
bool PixelAnswers(const CameraPass& pass, Int32 x, Int32 y) {
  for (Int32 sample = 0; sample < pass.samples; ++sample) {
    const Vector offset = SampleOffset(x, y, sample, pass.samples);
    if (PrimaryRay(pass, x + offset.x, y + offset.y).v != Vector()) return true;
  }
  return false;
}

// The first and last answering column of one row of grid points; first > last when none answers.
struct GridRow {
  Int32 first = 0;
  Int32 last = -1;
};

// The rectangle around every answering grid point; empty when none answers.
PixelWindow AnsweringGridPoints(const CameraPass& pass, Int32 width, Int32 height) {
  const Int32 rows = (height + kProbePitch - 1) / kProbePitch;
  std::vector<GridRow> found(static_cast<size_t>(rows));
  parallel::For(Int32{0}, rows, [&](const tbb::blocked_range<Int32>& range) {
    for (Int32 row = range.begin(); row != range.end(); ++row) {
      GridRow& result = found[static_cast<size_t>(row)];
      for (Int32 x = 0; x < width; x += kProbePitch) {
        if (!PixelAnswers(pass, x, row * kProbePitch)) continue;
        if (result.first > result.last) result.first = x;
        result.last = x;
      }
    }
  });
  Int32 left = width, right = -1, top = -1, bottom = -1;
  for (Int32 row = 0; row < rows; ++row) {
    const GridRow& result = found[static_cast<size_t>(row)];
    if (result.first > result.last) continue;
    left = std::min(left, result.first);
    right = std::max(right, result.last);
    if (top < 0) top = row * kProbePitch;
    bottom = row * kProbePitch;
  }
  if (right < 0) return {};
  return {left, top, right - left + 1, bottom - top + 1};
}

// `window` grown by `band` pixels on every side, clipped to the frame.
PixelWindow Grown(const PixelWindow& window, Int32 band, Int32 width, Int32 height) {
  const Int32 left = std::max(0, window.left - band);
  const Int32 top = std::max(0, window.top - band);
  const Int32 right = std::min(width, window.left + window.width + band);
  const Int32 bottom = std::min(height, window.top + window.height + band);
  return {left, top, right - left, bottom - top};
}

// Whether any pixel of the frame just outside `window` (its one-pixel ring) answers: the whole row
// above and below it, the column left and right of it.
bool RingAnswers(const CameraPass& pass, const PixelWindow& window, Int32 width, Int32 height) {
  const PixelWindow ring = Grown(window, 1, width, height);
  for (Int32 y = ring.top; y < ring.top + ring.height; ++y) {
    const bool insideRows = y >= window.top && y < window.top + window.height;
    const Int32 step = insideRows ? std::max(1, ring.width - 1) : 1;
    for (Int32 x = ring.left; x < ring.left + ring.width; x += step) {
      const bool insideColumns = x >= window.left && x < window.left + window.width;
      if (!(insideRows && insideColumns) && PixelAnswers(pass, x, y)) return true;
    }
  }
  return false;
}

}  // namespace

PixelWindow ProbeAnsweredWindow(const CameraPass& pass, Int32 width, Int32 height) {
  const PixelWindow frame{0, 0, width, height};
  const PixelWindow grid = AnsweringGridPoints(pass, width, height);
  if (grid.IsEmpty()) return frame;
  const PixelWindow window = Grown(grid, kProbePitch, width, height);
  if (window.width == width && window.height == height) return frame;
  return RingAnswers(pass, window, width, height) ? frame : window;
}
