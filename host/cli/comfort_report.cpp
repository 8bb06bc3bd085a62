#include "comfort_report.h"

#include "files/atomic_file.h"
#include "image/image_output.h"
#include "module_reading/comfort_rig.h"
#include "render/stereo_comfort.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
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

// What every report and a shot's summary begin with.
nlohmann::json RigJson(const ComfortRig& rig) {
  return {{"stereo", true},
          {"limit", {{"disparityDegrees", kComfortLimitDegrees}, {"source", kLimitSource}}},
          {"rig",
           {{"eyeSeparation", rig.separation},
            {"zeroParallaxDistance", rig.zeroParallax},
            {"rigMode", rig.rigMode}}}};
}

nlohmann::json SummaryJson(const ComfortSummary& summary, const ComfortRig& rig) {
  const double pixels = std::max<long long>(summary.pixels, 1);
  nlohmann::json json = RigJson(rig);
  json.update({{"pixels", summary.pixels},
               {"disparityDegrees",
                {{"mostCrossed", summary.maxCrossedDegrees}, {"mostUncrossed", summary.maxUncrossedDegrees}}},
               {"beyondLimit",
                {{"share", (summary.crossedBeyond + summary.uncrossedBeyond) / pixels},
                 {"crossedShare", summary.crossedBeyond / pixels},
                 {"uncrossedShare", summary.uncrossedBeyond / pixels}}}});
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

bool EncodeHeatMap(const std::string& path, const FloatImage& image, const DisparityMap& map,
                   std::vector<unsigned char>& bytes, std::string& error) {
  FloatImage heat;
  if (!heat.Allocate(map.width, map.height)) {
    error = "no memory for the heat map " + path;
    return false;
  }
  for (Int32 y = 0; y < map.height; ++y)
    for (Int32 x = 0; x < map.width; ++x) HeatPixel(image.Pixel(x, y), map.At(x, y), heat.Pixel(x, y));
  if (image_output::EncodePng(heat, {}, bytes, error)) return true;
  error = "cannot write \"" + path + "\": " + error;
  return false;
}

// The report and its heat map belong together: both are written or neither.
bool WriteReport(const std::string& path, const nlohmann::json& json, const FloatImage& image,
                 const DisparityMap& map, std::string& error) {
  std::vector<unsigned char> heat;
  if (!EncodeHeatMap(HeatMapPath(path), image, map, heat, error)) return false;
  const std::string text = json.dump(2) + "\n";
  return atomic_file::WriteTogether(
      {{HeatMapPath(path), heat},
       {path, std::span(reinterpret_cast<const unsigned char*>(text.data()), text.size())}},
      error);
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

// The part of the frame with an eye, as x0, y0, x1, y1 (end exclusive).
std::array<Int32, 4> EyeRect(const std::string& area, Int32 width, Int32 height) {
  if (area == "left") return {0, 0, width / 2, height};
  if (area == "right") return {width / 2, 0, width, height};
  if (area == "top") return {0, 0, width, height / 2};
  if (area == "bottom") return {0, height / 2, width, height};
  return {0, 0, width, height};
}

// The grid cell of the eye's part (`area`) that holds the middle of the face's rays; a lens also
// traces a margin into the neighbouring cells, which belong to other faces.
std::array<Int32, 4> FaceCell(const ComfortRig& rig, const std::string& area, const PrimaryHits& face) {
  double sumX = 0.0;
  double sumY = 0.0;
  long long count = 0;
  for (Int32 y = 0; y < face.height; ++y)
    for (Int32 x = 0; x < face.width; ++x)
      if (face.HasRay(x, y)) {
        sumX += x;
        sumY += y;
        ++count;
      }
  const auto [left, top, right, bottom] = EyeRect(area, face.width, face.height);
  const auto cellOf = [count](double sum, Int32 start, Int32 end, Int32 cells) {
    const double middle = count ? sum / count : start;
    return std::clamp(static_cast<Int32>((middle - start) * cells / std::max(end - start, 1)), 0, cells - 1);
  };
  const Int32 column = cellOf(sumX, left, right, rig.gridColumns);
  const Int32 row = cellOf(sumY, top, bottom, rig.gridRows);
  const auto edge = [](Int32 start, Int32 end, Int32 index, Int32 cells) {
    return start + static_cast<Int32>(static_cast<long long>(end - start) * index / cells);
  };
  return {edge(left, right, column, rig.gridColumns), edge(top, bottom, row, rig.gridRows),
          edge(left, right, column + 1, rig.gridColumns), edge(top, bottom, row + 1, rig.gridRows)};
}

// The hit at (x, y) to (x - dx, y - dy): the other eye's part moved onto the first eye's.
void CopyHit(const PrimaryHits& from, Int32 x, Int32 y, Int32 dx, Int32 dy, PrimaryHits& to) {
  const size_t i = static_cast<size_t>(y) * from.width + x;
  const size_t j = static_cast<size_t>(y - dy) * from.width + (x - dx);
  std::copy_n(&from.origins[3 * i], 3, &to.origins[3 * j]);
  std::copy_n(&from.directions[3 * i], 3, &to.directions[3 * j]);
  to.distances[j] = from.distances[i];
}

}  // namespace

void ComfortReporter::Gather(Int32 frame, Int32 camera, const FloatImage& image, const PrimaryHits& hits) {
  const Int32 eye = camera / rig_.facesPerEye;
  if (eye > 1) return;
  if (camera == 0 &&
      (!eyeImage_.Allocate(image.width, image.height) || !eyeHits_[0].Allocate(hits.width, hits.height) ||
       !eyeHits_[1].Allocate(hits.width, hits.height))) {
    failure_ = "no memory for the comfort report of frame " + std::to_string(frame);
    return;
  }
  const std::string& area = eye == 0 ? rig_.area : rig_.otherArea;
  const auto [left, top, right, bottom] = FaceCell(rig_, area, hits);
  const auto first = EyeRect(rig_.area, hits.width, hits.height);
  const auto [eyeLeft, eyeTop, eyeRight, eyeBottom] = EyeRect(area, hits.width, hits.height);
  const Int32 dx = eyeLeft - first[0];
  const Int32 dy = eyeTop - first[1];
  for (Int32 y = top; y < bottom; ++y)
    for (Int32 x = left; x < right; ++x) {
      const bool inside = x - dx >= 0 && x - dx < hits.width && y - dy >= 0 && y - dy < hits.height;
      if (!hits.HasRay(x, y) || !inside) continue;
      CopyHit(hits, x, y, dx, dy, eyeHits_[eye]);
      if (eye == 0) std::copy_n(image.Pixel(x, y), FloatImage::kChannels, eyeImage_.Pixel(x, y));
    }
  if (camera == 2 * rig_.facesPerEye - 1) Report(frame);
}

bool ComfortReporter::Prepare(BaseDocument* doc, BaseObject* camera, RenderOptions& options,
                              std::string& error) {
  if (fs::path(path_).extension() != ".json") {
    error = "--comfort takes a .json file (the heat map goes beside it as .png): " + path_;
    return false;
  }
  if (!atomic_file::FolderTakesFiles(path_, error)) return false;
  camera_ = camera;
  // Without stereo the reason stays, and only the "no stereo" report is written.
  if (!ReadComfortRig(doc, camera, options.editor, rig_, noStereo_)) return true;
  // Both eyes' rays: where each eye's ray starts is where that eye is.
  options.primaryHitsCamera = -1;
  options.primaryHits = [this](Int32 frame, Int32 camera, const FloatImage& image, const PrimaryHits& hits) {
    if (failure_.empty()) Gather(frame, camera, image, hits);
  };
  return true;
}

bool ComfortReporter::Start(std::string& error) {
  if (noStereo_.empty()) return true;
  std::printf("orvex360: comfort: %s\n", noStereo_.c_str());
  return WriteJson(path_, {{"stereo", false}, {"reason", noStereo_}}, error);
}

std::string ComfortReporter::ReportPath(Int32 frame) const {
  return noStereo_.empty() ? image_output::CompanionFramePath(path_, images_, frame, numbered_) : path_;
}

std::string ComfortReporter::HeatMapPathAt(Int32 frame) const {
  return noStereo_.empty() ? HeatMapPath(ReportPath(frame)) : std::string();
}

void ComfortReporter::Report(Int32 frame) {
  // The rig as read before the render (its output facts ask the module's lens, which is busy
  // rendering now), the camera where it stands at this frame.
  ComfortRig rig = rig_;
  rig.camera = camera_->GetMg();
  DisparityMap map;
  MeasureDisparity(eyeHits_[0], eyeHits_[1], rig, map);
  const ComfortSummary summary = SummarizeComfort(map);
  const std::string path = ReportPath(frame);
  nlohmann::json json = SummaryJson(summary, rig);
  json["format"] = "orvex360 comfort report";
  json["frame"] = frame;
  json["heatMap"] = fs::path(HeatMapPath(path)).filename().string();
  if (!WriteReport(path, json, eyeImage_, map, failure_)) return;
  if (ShotPath().empty())
    PrintLine(path, summary);
  else
    shot_.Add(frame, summary, path);
}

std::string ComfortReporter::ShotPath() const {
  if (!numbered_ || !noStereo_.empty()) return {};
  std::string path = path_;
  const size_t run = path.find('#');
  if (run != std::string::npos) path.replace(run, path.find_first_not_of('#', run) - run, "shot");
  return path;
}

void ComfortReporter::Finish() {
  if (shot_.Empty() || !failure_.empty()) return;
  nlohmann::json json = RigJson(rig_);
  json.update(shot_.Json(rig_));
  json["format"] = "orvex360 comfort shot summary";
  if (!WriteJson(ShotPath(), json, failure_)) return;
  // As a frame's line: a warning on stderr, all well on stdout.
  std::fprintf(shot_.WithinLimit() ? stdout : stderr, "%s\n", shot_.Line(rig_, ShotPath()).c_str());
}
