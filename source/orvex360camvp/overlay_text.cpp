#include "orvex360camvp/overlay_text.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace overlay_text {
namespace {

// A whole number for printing: truncated, saturated to Int32, 0 for what is not a number.
Int32 TruncToInt32(Float value) {
  if (!std::isfinite(value)) return 0;
  constexpr Float kLowest = std::numeric_limits<Int32>::lowest();
  constexpr Float kHighest = std::numeric_limits<Int32>::max();
  return static_cast<Int32>(std::clamp(std::trunc(value), kLowest, kHighest));
}

// Frame counts land a hair below a whole number when the time was made from frames in floating
// point (7/30 s at 30 fps gives 6.999...); such a hair is not a frame less.
Float SnapToWhole(Float value) {
  const Float nearest = std::round(value);
  return std::abs(value - nearest) < 1e-6 ? nearest : value;
}

Float UsableRate(Float fps, Int32 fallbackFps) {
  if (std::isfinite(fps) && fps > 0.0) return fps;
  return fallbackFps > 0 ? fallbackFps : 0.0;
}

}  // namespace

Int32 FrameOfTime(const BaseTime& time, Float fps, Int32 fallbackFps) {
  const Float rate = UsableRate(fps, fallbackFps);
  return TruncToInt32(SnapToWhole(time.Get() * rate));
}

std::string FrameText(Int32 frame) {
  char text[16];
  std::snprintf(text, sizeof(text), "%06d", frame);
  return text;
}

std::string TimeText(const BaseTime& time, Float fps, Int32 fallbackFps) {
  const Float rate = UsableRate(fps, fallbackFps);
  const Int32 seconds = TruncToInt32(time.Get());
  const Int32 frames = TruncToInt32(SnapToWhole(FrameOfTime(time, fps, fallbackFps) - seconds * rate));
  char text[48];
  std::snprintf(text, sizeof(text), "%03d:%02d.%02d", seconds / 60, seconds % 60, frames);
  return text;
}

std::string DateText(const std::tm& when) {
  char text[64];
  std::snprintf(text, sizeof(text), "%02d/%02d/%04d %02d:%02d:%02d", when.tm_mday, when.tm_mon + 1,
                when.tm_year + 1900, when.tm_hour, when.tm_min, when.tm_sec);
  return text;
}

std::tm DateNow() {
  std::tm when{};
  const char* epoch = std::getenv("SOURCE_DATE_EPOCH");
  if (epoch && *epoch) {
    char* end = nullptr;
    errno = 0;
    const long long seconds = std::strtoll(epoch, &end, 10);
    const std::time_t stamp = static_cast<std::time_t>(seconds);
    if (errno == 0 && *end == '\0' && gmtime_r(&stamp, &when)) return when;
  }
  const std::time_t now = std::time(nullptr);
  localtime_r(&now, &when);
  return when;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (true) {
    const size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return lines;
    start = end + 1;
  }
}

}  // namespace overlay_text
