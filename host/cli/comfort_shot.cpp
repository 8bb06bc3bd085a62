#include "comfort_shot.h"
#include "module_reading/module_parameters.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>

namespace {

// A worst direction this far from the horizon is the ground under the rig or the sky above it,
// where the eyes of an omni-directional rig meet at the poles.
constexpr Float kPolarPitchDegrees = 45.0;

std::string Number(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.3g", value);
  return text;
}

constexpr double kRadiansPerDegree = std::numbers::pi / 180.0;
// Changes are worked out for a limit a little inside the real one, so that the values printed,
// rounded to three digits, keep within it.
constexpr double kTargetDegrees = 0.98 * kComfortLimitDegrees;

// The angle in degrees between two eyes `separation` apart looking at a point `distance` ahead.
double VergenceDegrees(double separation, double distance) {
  return 2.0 * std::atan(separation / (2.0 * distance)) / kRadiansPerDegree;
}

// The zero-parallax distance that brings the shot within the limit, or 0 when none does. A hit's
// disparity is its vergence less the zero-parallax point's, so the shot's vergences run from the
// point's less the most uncrossed to the point's plus the most crossed; a new point within the limit
// of both ends exists when they lie less than twice the limit apart. The nearest change wins.
double ZeroParallaxWithinLimit(double separation, double zeroParallax, double crossed, double uncrossed) {
  const double now = VergenceDegrees(separation, zeroParallax);
  const double lowest = now + crossed - kTargetDegrees;
  const double highest = now - uncrossed + kTargetDegrees;
  const double vergence = std::clamp(now, lowest, std::max(lowest, highest));
  if (lowest > highest || vergence <= 0.0) return 0.0;
  return separation / (2.0 * std::tan(vergence * kRadiansPerDegree / 2.0));
}

}  // namespace

void ComfortShot::Add(Int32 frame, const ComfortSummary& summary, const std::string& reportPath) {
  const double pixels = static_cast<double>(std::max<long long>(summary.pixels, 1));
  const Float pitch = summary.worst.empty() ? 0.0 : summary.worst.front().pitchDegrees;
  frames_.push_back({frame, (summary.crossedBeyond + summary.uncrossedBeyond) / pixels,
                     std::filesystem::path(reportPath).filename().string(), pitch});
  if (frames_.size() == 1 || summary.maxCrossedDegrees > mostCrossed_) {
    mostCrossed_ = summary.maxCrossedDegrees;
    mostCrossedFrame_ = frame;
  }
  if (frames_.size() == 1 || summary.maxUncrossedDegrees < mostUncrossed_) {
    mostUncrossed_ = summary.maxUncrossedDegrees;
    mostUncrossedFrame_ = frame;
  }
  if (summary.hasNearest && (!hasNearest_ || summary.nearest.distance < nearest_.distance)) {
    hasNearest_ = true;
    nearest_ = summary.nearest;
    nearestFrame_ = frame;
  }
}

const ComfortShot::Frame* ComfortShot::Worst() const {
  const auto worst = std::max_element(frames_.begin(), frames_.end(),
                                      [](const Frame& a, const Frame& b) { return a.share < b.share; });
  return worst == frames_.end() ? nullptr : &*worst;
}

Int32 ComfortShot::FramesBeyond() const {
  return static_cast<Int32>(
      std::count_if(frames_.begin(), frames_.end(), [](const Frame& frame) { return frame.share > 0.0; }));
}

// Disparity grows about in proportion to the eye separation, so the separation scaled by the limit
// over the worst disparity brings every frame within it; where moving the zero-parallax point would
// do it alone, that too; and separation that fades towards the poles where the worst lies there.
std::vector<ComfortShot::Suggestion> ComfortShot::Suggestions(const ComfortRig& rig) const {
  std::vector<Suggestion> suggestions;
  const Frame* worst = Worst();
  if (!worst || worst->share <= 0.0) return suggestions;
  const double most = std::max<double>(mostCrossed_, -mostUncrossed_);
  if (most > 0.0 && rig.separation > 0.0)
    suggestions.push_back({tag_parameter::kEyeSeparation, rig.separation * kTargetDegrees / most,
                           rig.separation, "disparity shrinks with the eye separation"});
  if (rig.zeroParallax > 0.0 && rig.separation > 0.0)
    if (const double distance =
            ZeroParallaxWithinLimit(rig.separation, rig.zeroParallax, mostCrossed_, -mostUncrossed_);
        distance > 0.0)
      suggestions.push_back({tag_parameter::kZeroParallax, distance, rig.zeroParallax,
                             distance < rig.zeroParallax
                                 ? "nearer, the nearest objects come forward less"
                                 : "farther, the distance lies behind the screen by less"});
  if (std::abs(worst->worstPitchDegrees) >= kPolarPitchDegrees)
    suggestions.push_back({"--separation-gradient or --separation-map", 0.0, 0.0,
                           "the worst lies towards a pole (the ground under the rig, the sky above): less "
                           "separation there"});
  return suggestions;
}

nlohmann::json ComfortShot::Json(const ComfortRig& rig) const {
  nlohmann::json beyond = nlohmann::json::array();
  for (const Frame& frame : frames_)
    if (frame.share > 0.0) beyond.push_back(frame.frame);
  nlohmann::json json = {
      {"frames",
       {{"first", frames_.front().frame}, {"last", frames_.back().frame}, {"count", frames_.size()}}},
      {"framesBeyondLimit", {{"count", beyond.size()}, {"frames", beyond}}},
      {"disparityDegrees",
       {{"mostCrossed", mostCrossed_},
        {"mostCrossedFrame", mostCrossedFrame_},
        {"mostUncrossed", mostUncrossed_},
        {"mostUncrossedFrame", mostUncrossedFrame_}}}};
  const Frame* worst = Worst();
  json["worstFrame"] = {
      {"frame", worst->frame}, {"beyondLimitShare", worst->share}, {"report", worst->report}};
  json["nearestObject"] = nullptr;
  if (hasNearest_)
    json["nearestObject"] = {{"frame", nearestFrame_},
                             {"distance", nearest_.distance},
                             {"yawDegrees", nearest_.yawDegrees},
                             {"pitchDegrees", nearest_.pitchDegrees},
                             {"disparityDegrees", nearest_.degrees}};
  json["suggestions"] = nlohmann::json::array();
  for (const Suggestion& suggestion : Suggestions(rig)) {
    nlohmann::json entry = {{"change", suggestion.parameter}, {"why", suggestion.why}};
    if (suggestion.now > 0.0) {
      entry["to"] = suggestion.value;
      entry["now"] = suggestion.now;
    }
    json["suggestions"].push_back(entry);
  }
  return json;
}

std::string ComfortShot::Line(const ComfortRig& rig, const std::string& path) const {
  const Frame* worst = Worst();
  const std::string count = std::to_string(frames_.size());
  if (!worst || worst->share <= 0.0)
    return "orvex360: comfort: all " + count + " frames within the " + Number(kComfortLimitDegrees) +
           " degree disparity limit (" + path + ")";
  std::string changes;
  for (const Suggestion& suggestion : Suggestions(rig))
    changes +=
        (changes.empty() ? "" : ", or ") + suggestion.parameter +
        (suggestion.now > 0.0 ? "=" + Number(suggestion.value) + " (now " + Number(suggestion.now) + ")"
                              : "");
  char share[32];
  std::snprintf(share, sizeof(share), "%.1f%%", 100.0 * worst->share);
  return "orvex360: comfort warning: " + std::to_string(FramesBeyond()) + " of " + count +
         " frames beyond the " + Number(kComfortLimitDegrees) + " degree disparity limit; the worst, frame " +
         std::to_string(worst->frame) + ", " + share + " of the image; up to " + Number(mostCrossed_) +
         " degrees in front, " + Number(-mostUncrossed_) + " behind" +
         (changes.empty() ? "" : "; try " + changes) + " (" + path + ")";
}
