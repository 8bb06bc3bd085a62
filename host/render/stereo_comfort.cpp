#include "stereo_comfort.h"

#include "geometry/frame_change.h"
#include "geometry/rotation.h"
#include "geometry/scalar_math.h"
#include "orvex360camvp/orvex360camvp_params.h"
#include "orvextag/orvextag.h"
#include "orvextag/orvextag_params.h"
#include "output_metadata.h"
#include "runtime/parallel_for.h"
#include "scene/camera_kinds.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <map>

namespace {

constexpr Float kDegrees = 180.0 / orvex::kPi;
constexpr Float kCellDegrees = 15.0;
constexpr size_t kWorstCount = 5;

// Angle at `point` between the lines of sight of the two eyes, in degrees.
Float Vergence(const Vector& left, const Vector& right, const Vector& point) {
  const Vector a = left - point;
  const Vector b = right - point;
  const Float lengths = a.GetLength() * b.GetLength();
  if (!(lengths > 0.0)) return 0.0;
  return std::acos(std::clamp(Dot(a, b) / lengths, -1.0, 1.0)) * kDegrees;
}

// Everything that stays the same for every pixel.
struct RigFrame {
  const ComfortRig& settings;
  Matrix head;  // the camera, turned back from the dome for dome stereo
  Matrix headInverse;
  Matrix cameraInverse;
  orvex::EyeRig eyes[2];
  bool converging = false;

  explicit RigFrame(const ComfortRig& rig) : settings(rig) {
    head = rig.rig.dome ? orvex::WithInverseFrameChange(rig.camera) : rig.camera;
    headInverse = Inverse(head.GetRotationPart());
    cameraInverse = Inverse(rig.camera.GetRotationPart());
    for (Int32 eye = 0; eye < 2; ++eye) {
      orvex::SubView view;
      if (!orvex::PlaceEye(rig.camera, eye, rig.rig.separation, view)) continue;
      eyes[eye] = orvex::PrepareEyeRig(rig.camera, view.matrix, eye, rig.rig);
    }
    converging = rig.rig.zeroParallax > 0.0 && rig.rig.separation > 0.0;
  }

  // The mono view direction (world) of an eye ray: towards the point where it crosses the
  // zero-parallax sphere, or the ray's own direction without convergence.
  Vector MonoDirection(const Vector& origin, const Vector& direction) const {
    if (!converging) return direction;
    const Vector fromCentre = origin - head.offset;
    const Float b = Dot(direction, fromCentre);
    const Float c = fromCentre.GetSquaredLength() - settings.rig.zeroParallax * settings.rig.zeroParallax;
    const Float discriminant = b * b - c;
    if (discriminant < 0.0) return direction;
    const Vector crossing = fromCentre + direction * (-b + std::sqrt(discriminant));
    return crossing.GetLength() > 0.0 ? crossing.GetNormalized() : direction;
  }

  // The separation factor the ray was made with: its eye's distance from the camera over half the
  // separation (the rig turns the eye offset, never changes its length).
  Float SeparationFactor(const Vector& origin) const {
    if (!settings.separationMap || !(settings.rig.separation > 0.0)) return 1.0;
    return std::min(2.0 * (origin - settings.camera.offset).GetLength() / settings.rig.separation,
                    orvex::kMaxSeparationFactor);
  }
};

DisparityPixel MeasurePixel(const RigFrame& frame, const Vector& origin, const Vector& direction,
                            Float distance) {
  const Vector mono = frame.MonoDirection(origin, direction);
  const Vector lens = frame.headInverse.TransformDirection(mono);
  const Float k = frame.SeparationFactor(origin);
  Vector left = orvex::EyeMatrixForRay(frame.eyes[0], lens, k).matrix.offset;
  Vector right = orvex::EyeMatrixForRay(frame.eyes[1], lens, k).matrix.offset;
  // Whatever else moved the ray's origin (a cylinder's offset along its axis) moves both eyes.
  const Vector shift = origin - (frame.settings.eyeOfFirstCamera == 0 ? left : right);
  left = left + shift;
  right = right + shift;
  const Vector centre = frame.settings.camera.offset + shift;
  const Float screen =
      frame.converging ? Vergence(left, right, centre + mono * frame.settings.rig.zeroParallax) : 0.0;
  const bool hit = std::isfinite(distance);
  const Vector point = origin + direction * (hit ? distance : 0.0);
  const Vector view = frame.cameraInverse.TransformDirection(mono);
  DisparityPixel pixel;
  pixel.degrees = static_cast<Float32>((hit ? Vergence(left, right, point) : 0.0) - screen);
  pixel.distance =
      hit ? static_cast<Float32>((point - centre).GetLength()) : std::numeric_limits<Float32>::infinity();
  pixel.yawDegrees = static_cast<Float32>(std::atan2(view.x, view.z) * kDegrees);
  pixel.pitchDegrees = static_cast<Float32>(std::asin(std::clamp(view.y, -1.0, 1.0)) * kDegrees);
  return pixel;
}

}  // namespace

bool ReadComfortRig(BaseDocument* doc, BaseObject* camera, bool editor, ComfortRig& rig,
                    std::string& reason) {
  reason = "no stereo";
  const ImageMetadata metadata = DescribeOutput(doc, camera, editor);
  const MetadataProperty* stereo = metadata.Find("orvex360", "Stereo");
  const MetadataProperty* projection = metadata.Find("orvex360", "Projection");
  if (!stereo || stereo->value == "mono" || stereo->value == "single-eye" || !projection) return false;
  const BaseTag* tag = camera->GetTag(ID_ORVEXTAG);
  const BaseVideoPost* effect = FindOrvexEffect(doc);
  if (!tag || !effect) return false;
  const BaseContainer& data = *tag->GetDataInstance();
  rig.rig.rigMode = data.GetInt32(ORVEXTAG_STEREO_RIG);
  rig.rig.dome = data.GetInt32(ORVEXTAG_PROJECTION) == ORVEXTAG_PROJECTION_FISHEYE &&
                 data.GetInt32(ORVEXTAG_FISHEYE_TYPE) == ORVEXTAG_FISHEYE_TYPE_DOME;
  rig.rig.zeroParallax =
      data.GetInt32(ORVEXTAG_ZERO_PARALLAX_MODE) != 0 ? data.GetFloat(ORVEXTAG_ZERO_PARALLAX) : 0.0;
  rig.rig.separation = data.GetFloat(ORVEXTAG_EYE_SEPARATION);
  rig.separationMap = data.GetBool(ORVEXTAG_SEPARATION_MAP);
  rig.eyeOfFirstCamera = effect->GetDataInstance()->GetBool(ORVEXVP_SWAP_EYES) ? 1 : 0;
  rig.camera = camera->GetMg();
  const MetadataProperty* half =
      metadata.Find("orvex360", rig.eyeOfFirstCamera == 0 ? "LeftEye" : "RightEye");
  rig.area = half ? half->value : "whole";
  if (const MetadataProperty* grid = metadata.Find("orvex360", "CubemapGrid")) {
    const MetadataProperty* layout = metadata.Find("orvex360", "CubemapLayout");
    rig.facesPerEye = layout && layout->value == "single-face" ? 1 : 6;
    if (std::sscanf(grid->value.c_str(), "%dx%d", &rig.gridColumns, &rig.gridRows) != 2 ||
        rig.gridColumns < 1 || rig.gridRows < 1)
      rig.gridColumns = rig.gridRows = 1;
  }
  reason.clear();
  return true;
}

namespace {

bool InsideArea(const std::string& area, Int32 x, Int32 y, Int32 width, Int32 height) {
  if (area == "left") return 2 * x < width;
  if (area == "right") return 2 * x >= width;
  if (area == "top") return 2 * y < height;
  if (area == "bottom") return 2 * y >= height;
  return true;
}

}  // namespace

void MeasureDisparity(const PrimaryHits& hits, const ComfortRig& rig, DisparityMap& map) {
  const RigFrame frame(rig);
  map.width = hits.width;
  map.height = hits.height;
  map.pixels.assign(static_cast<size_t>(hits.width) * hits.height, DisparityPixel{});
  // Rows on all cores; each pixel is written by its own row only.
  parallel::For(Int32{0}, hits.height, [&](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      for (Int32 x = 0; x < hits.width; ++x) {
        DisparityPixel& pixel = map.pixels[static_cast<size_t>(y) * hits.width + x];
        if (!hits.HasRay(x, y) || !InsideArea(rig.area, x, y, hits.width, hits.height)) {
          pixel.degrees = std::numeric_limits<Float32>::quiet_NaN();
          continue;
        }
        pixel = MeasurePixel(frame, hits.Origin(x, y), hits.Direction(x, y), hits.Distance(x, y));
      }
    }
  });
}

ComfortSummary SummarizeComfort(const DisparityMap& map, Float limitDegrees) {
  ComfortSummary summary;
  struct Cell {
    long long pixels = 0;
    long long beyond = 0;
    Float worst = 0.0;
  };
  std::map<std::pair<int, int>, Cell> cells;
  for (const DisparityPixel& pixel : map.pixels) {
    if (std::isnan(pixel.degrees)) continue;
    ++summary.pixels;
    const bool beyond = std::abs(pixel.degrees) > limitDegrees;
    summary.crossedBeyond += beyond && pixel.degrees > 0.0f;
    summary.uncrossedBeyond += beyond && pixel.degrees < 0.0f;
    summary.maxCrossedDegrees = std::max<Float>(summary.maxCrossedDegrees, pixel.degrees);
    summary.maxUncrossedDegrees = std::min<Float>(summary.maxUncrossedDegrees, pixel.degrees);
    if (std::isfinite(pixel.distance) && (!summary.hasNearest || pixel.distance < summary.nearest.distance)) {
      summary.nearest = pixel;
      summary.hasNearest = true;
    }
    Cell& cell = cells[{static_cast<int>(std::floor(pixel.yawDegrees / kCellDegrees)),
                        static_cast<int>(std::floor(pixel.pitchDegrees / kCellDegrees))}];
    ++cell.pixels;
    cell.beyond += beyond;
    if (std::abs(pixel.degrees) > std::abs(cell.worst)) cell.worst = pixel.degrees;
  }
  for (const auto& [key, cell] : cells)
    summary.worst.push_back({(key.first + 0.5) * kCellDegrees, (key.second + 0.5) * kCellDegrees, cell.worst,
                             static_cast<Float>(cell.beyond) / cell.pixels});
  std::stable_sort(summary.worst.begin(), summary.worst.end(),
                   [](const ComfortDirection& a, const ComfortDirection& b) {
                     return std::abs(a.disparityDegrees) > std::abs(b.disparityDegrees);
                   });
  if (summary.worst.size() > kWorstCount) summary.worst.resize(kWorstCount);
  return summary;
}
