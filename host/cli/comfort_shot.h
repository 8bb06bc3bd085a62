#pragma once

#include "render/stereo_comfort.h"

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

// What the comfort reports of a sequence's frames add up to, so that a shot is judged once: the
// frames beyond the limit, the worst of them and its share, the most crossed and uncrossed
// disparity and the nearest object over the shot, and the changes that would bring the shot within
// the limit (a smaller eye separation, a zero-parallax distance nearer or farther, less separation
// towards the poles).
class ComfortShot {
 public:
  // One frame's summary, as its report (at `reportPath`) holds it.
  void Add(Int32 frame, const ComfortSummary& summary, const std::string& reportPath);
  bool Empty() const { return frames_.empty(); }
  bool WithinLimit() const { return FramesBeyond() == 0; }

  // The shot's part of its summary file (the file adds the limit and the rig).
  nlohmann::json Json(const ComfortRig& rig) const;
  // The one console line for the shot, naming the summary file at `path`.
  std::string Line(const ComfortRig& rig, const std::string& path) const;

 private:
  struct Frame {
    Int32 frame = 0;
    double share = 0.0;  // of the pixels beyond the limit
    std::string report;
    Float worstPitchDegrees = 0.0;  // of the frame's worst direction
  };
  struct Suggestion {
    std::string parameter;  // the tag's parameter, or the option, to change
    double value = 0.0;     // what to set it to; 0 for an option
    double now = 0.0;
    std::string why;
  };
  std::vector<Suggestion> Suggestions(const ComfortRig& rig) const;
  const Frame* Worst() const;
  Int32 FramesBeyond() const;

  std::vector<Frame> frames_;
  Float mostCrossed_ = 0.0;
  Int32 mostCrossedFrame_ = 0;
  Float mostUncrossed_ = 0.0;  // negative
  Int32 mostUncrossedFrame_ = 0;
  bool hasNearest_ = false;
  DisparityPixel nearest_;
  Int32 nearestFrame_ = 0;
};
