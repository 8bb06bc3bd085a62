#include "comfort_report.h"

#include "render/image_output.h"
#include "render/stereo_comfort.h"
#include "runtime/atomic_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr const char* kLimitSource =
    "about 1 degree of angular disparity, crossed or uncrossed (Lambooij et al. 2009, \"Visual discomfort "
    "and "
    "visual fatigue of stereoscopic displays: a review\")";

std::string HeatMapPath(const std::string& report) {
  return fs::path(report).replace_extension(".png").string();
}

bool WriteJson(const std::string& path, const nlohmann::json& json, std::string& error) {
  const std::string text = json.dump(2) + "\n";
  return atomic_file::Write(path, std::vector<unsigned char>(text.begin(), text.end()), error);
}

nlohmann::json DirectionJson(Float yaw, Float pitch, Float disparity) {
  return {{"yawDegrees", yaw}, {"pitchDegrees", pitch}, {"disparityDegrees", disparity}};
}

nlohmann::json SummaryJson(const ComfortSummary& summary, const ComfortRig& rig) {
  const double pixels = std::max<long long>(summary.pixels, 1);
  nlohmann::json json = {
      {"stereo", true},
      {"limit", {{"disparityDegrees", kComfortLimitDegrees}, {"source", kLimitSource}}},
      {"rig",
       {{"eyeSeparation", rig.rig.separation},
        {"zeroParallaxDistance", rig.rig.zeroParallax},
        {"rigMode", rig.rig.rigMode}}},
      {"pixels", summary.pixels},
      {"disparityDegrees",
       {{"mostCrossed", summary.maxCrossedDegrees}, {"mostUncrossed", summary.maxUncrossedDegrees}}},
      {"beyondLimit",
       {{"share", (summary.crossedBeyond + summary.uncrossedBeyond) / pixels},
        {"crossedShare", summary.crossedBeyond / pixels},
        {"uncrossedShare", summary.uncrossedBeyond / pixels}}}};
  json["nearestObject"] = nullptr;
  if (summary.hasNearest) {
    json["nearestObject"] =
        DirectionJson(summary.nearest.yawDegrees, summary.nearest.pitchDegrees, summary.nearest.degrees);
    json["nearestObject"]["distance"] = summary.nearest.distance;
  }
  json["worstDirections"] = nlohmann::json::array();
  for (const ComfortDirection& direction : summary.worst) {
    nlohmann::json entry =
        DirectionJson(direction.yawDegrees, direction.pitchDegrees, direction.disparityDegrees);
    entry["beyondLimitShare"] = direction.beyondShare;
    json["worstDirections"].push_back(entry);
  }
  return json;
}

Float Mix(Float a, Float b, Float t) { return a + (b - a) * std::clamp(t, 0.0, 1.0); }

// The render dimmed to grey, tinted where the disparity nears and passes the limit: yellow to red
// in front of the zero-parallax distance, cyan to blue behind it; no ray: transparent.
void HeatPixel(const Float32* render, const DisparityPixel& pixel, Float32* out) {
  if (std::isnan(pixel.degrees)) {
    std::fill(out, out + 4, 0.0f);
    return;
  }
  const Float grey = 0.5 * (0.2126 * render[0] + 0.7152 * render[1] + 0.0722 * render[2]);
  const Float a = std::abs(pixel.degrees) / kComfortLimitDegrees;
  const bool crossed = pixel.degrees > 0.0f;
  const Float near[3] = {crossed ? 1.0 : 0.0, 1.0, crossed ? 0.0 : 1.0};  // at the limit
  const Float far[3] = {crossed ? 1.0 : 0.0, 0.0, crossed ? 0.0 : 1.0};   // at twice the limit
  for (int c = 0; c < 3; ++c)
    out[c] =
        static_cast<Float32>(a <= 1.0 ? Mix(grey, near[c], (a - 0.5) / 0.5) : Mix(near[c], far[c], a - 1.0));
  out[3] = 1.0f;
}

bool WriteHeatMap(const std::string& path, const FloatImage& image, const DisparityMap& map,
                  std::string& error) {
  FloatImage heat;
  if (!heat.Allocate(map.width, map.height)) {
    error = "no memory for the heat map " + path;
    return false;
  }
  for (Int32 y = 0; y < map.height; ++y)
    for (Int32 x = 0; x < map.width; ++x) HeatPixel(image.Pixel(x, y), map.At(x, y), heat.Pixel(x, y));
  return image_output::Write(heat, path, error);
}

void PrintLine(const std::string& path, const ComfortSummary& summary) {
  const double share =
      100.0 * (summary.crossedBeyond + summary.uncrossedBeyond) / std::max<long long>(summary.pixels, 1);
  std::string nearest = "nothing hit";
  if (summary.hasNearest) {
    char text[128];
    std::snprintf(text, sizeof(text), "nearest object %.4g units away at yaw %.0f, pitch %.0f",
                  summary.nearest.distance, summary.nearest.yawDegrees, summary.nearest.pitchDegrees);
    nearest = text;
  }
  if (summary.crossedBeyond + summary.uncrossedBeyond > 0)
    std::fprintf(
        stderr,
        "orvex360: comfort warning: %.1f%% of the image beyond the %g degree disparity limit (up to %.2f "
        "degrees in front, %.2f behind); %s (%s)\n",
        share, kComfortLimitDegrees, summary.maxCrossedDegrees, -summary.maxUncrossedDegrees, nearest.c_str(),
        path.c_str());
  else
    std::printf("orvex360: comfort: within the %g degree disparity limit; %s (%s)\n", kComfortLimitDegrees,
                nearest.c_str(), path.c_str());
}

}  // namespace

bool ComfortReporter::Prepare(BaseDocument* doc, BaseObject* camera, RenderOptions& options,
                              std::string& error) {
  if (fs::path(path_).extension() != ".json") {
    error = "--comfort takes a .json file (the heat map goes beside it as .png): " + path_;
    return false;
  }
  if (!atomic_file::FolderTakesFiles(path_, error)) return false;
  doc_ = doc;
  camera_ = camera;
  editor_ = options.editor;
  ComfortRig rig;
  // Without stereo the reason stays, and only the "no stereo" report is written.
  if (!ReadComfortRig(doc, camera, editor_, rig, noStereo_)) return true;
  options.primaryHitsCamera = 0;
  options.primaryHits = [this](Int32 frame, Int32, const FloatImage& image, const PrimaryHits& hits) {
    if (failure_.empty()) Report(frame, image, hits);
  };
  return true;
}

bool ComfortReporter::Start(std::string& error) {
  if (noStereo_.empty()) return true;
  std::printf("orvex360: comfort: %s\n", noStereo_.c_str());
  return WriteJson(path_, {{"stereo", false}, {"reason", noStereo_}}, error);
}

std::string ComfortReporter::ReportPath(Int32 frame) const {
  return noStereo_.empty() ? image_output::FramePath(path_, frame, numbered_) : path_;
}

std::string ComfortReporter::HeatMapPathAt(Int32 frame) const {
  return noStereo_.empty() ? HeatMapPath(ReportPath(frame)) : std::string();
}

void ComfortReporter::Report(Int32 frame, const FloatImage& image, const PrimaryHits& hits) {
  ComfortRig rig;
  std::string reason;
  if (!ReadComfortRig(doc_, camera_, editor_, rig, reason)) {
    failure_ = "the comfort report of frame " + std::to_string(frame) + ": " + reason;
    return;
  }
  DisparityMap map;
  MeasureDisparity(hits, rig, map);
  const ComfortSummary summary = SummarizeComfort(map);
  const std::string path = ReportPath(frame);
  nlohmann::json json = SummaryJson(summary, rig);
  json["format"] = "orvex360 comfort report";
  json["frame"] = frame;
  json["heatMap"] = fs::path(HeatMapPathAt(frame)).filename().string();
  if (WriteHeatMap(HeatMapPathAt(frame), image, map, failure_) && WriteJson(path, json, failure_))
    PrintLine(path, summary);
}
