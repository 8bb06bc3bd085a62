#include "sequence_progress.h"

#include <cmath>
#include <cstdio>

namespace {

double SecondsBetween(std::chrono::steady_clock::time_point from, std::chrono::steady_clock::time_point to) {
  return std::chrono::duration<double>(to - from).count();
}

}  // namespace

std::string ClockText(double seconds) {
  const long long whole = std::isfinite(seconds) && seconds > 0.0 ? std::llround(seconds) : 0;
  char text[48];
  if (whole >= 3600)
    std::snprintf(text, sizeof(text), "%lld:%02lld:%02lld", whole / 3600, whole / 60 % 60, whole % 60);
  else
    std::snprintf(text, sizeof(text), "%lld:%02lld", whole / 60, whole % 60);
  return text;
}

SequenceProgress::SequenceProgress(Int32 firstFrame, Int32 lastFrame, bool logLines)
    : first_(firstFrame), count_(lastFrame - firstFrame + 1), logLines_(logLines && lastFrame > firstFrame) {}

std::string SequenceProgress::Times() const {
  const double elapsed = SecondsBetween(start_, Clock::now());
  std::string text = ClockText(elapsed) + " elapsed";
  if (done_ > 0) {
    const double perFrame = SecondsBetween(start_, lastDone_) / done_;
    text += ", about " + ClockText(perFrame * (count_ - done_)) + " left";
  }
  return text;
}

std::string SequenceProgress::Label(Int32 frame) const {
  if (count_ <= 1) return "Frame " + std::to_string(frame);
  return "Frame " + std::to_string(frame) + " (" + std::to_string(frame - first_ + 1) + " of " +
         std::to_string(count_) + "), " + Times();
}

void SequenceProgress::FrameDone(Int32 frame) {
  const Clock::time_point now = Clock::now();
  const double took = SecondsBetween(lastDone_, now);
  lastDone_ = now;
  ++done_;
  if (!logLines_) return;
  std::fprintf(stderr, "orvex360: frame %d done (%d of %d) in %.1f s; %s\n", frame, frame - first_ + 1,
               count_, took, Times().c_str());
  std::fflush(stderr);
}
