#include "animation_frames.h"

#include <algorithm>
#include <cmath>
#include <limits>

Int32 LastKeyedFrame(double seconds, double fps) {
  const double frames = seconds * fps;
  if (!std::isfinite(frames) || frames <= 0.0) return 0;
  // A float's rounding is at most half its step (epsilon relative); eight steps leave room for an
  // exporter's own arithmetic before it stored the time.
  const double tolerance = std::max(1e-3, frames * 8.0 * std::numeric_limits<float>::epsilon());
  const double nearest = std::round(frames);
  const double frame = std::abs(frames - nearest) <= tolerance ? nearest : std::ceil(frames);
  return static_cast<Int32>(std::min(frame, double(std::numeric_limits<Int32>::max())));
}
