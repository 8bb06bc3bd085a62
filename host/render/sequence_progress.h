#pragma once

#include "c4d.h"

#include <chrono>
#include <string>

// Where a sequence of frames stands: which frame of how many, the time so far and an estimate of
// the time left (the frames to go at the mean of those done). A one-frame render is just "Frame N".
// The labels name the frame in the progress bars of its camera images (on a terminal); the lines,
// one per finished frame, are what a log gets instead of bars.
class SequenceProgress {
 public:
  // `logLines`: print a line per finished frame of a sequence (stderr is no terminal).
  SequenceProgress(Int32 firstFrame, Int32 lastFrame, bool logLines);

  // "Frame 11 (12 of 61), 0:14 elapsed, about 1:05 left" for a camera image of `frame`.
  std::string Label(Int32 frame) const;
  // "orvex360: frame 11 done (12 of 61) in 1.2 s; 0:14 elapsed, about 1:05 left", when lines are on.
  void FrameDone(Int32 frame);

 private:
  using Clock = std::chrono::steady_clock;
  // The elapsed time and, once a frame is done, the estimate of the time left.
  std::string Times() const;

  Int32 first_;
  Int32 count_;
  bool logLines_;
  Int32 done_ = 0;
  Clock::time_point start_ = Clock::now();
  Clock::time_point lastDone_ = start_;
};

// A duration in whole seconds as the progress prints it: "0:14", "1:05", "2:03:04".
std::string ClockText(double seconds);
