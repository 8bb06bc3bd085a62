#include "stereo_comfort.h"

#include <numbers>
#include "base/parallel_for.h"
#include "c4d_tools.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace {

constexpr Float kDegrees = 180.0 / std::numbers::pi;
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

// Where the two eyes' rays through one pixel cross: the zero-parallax point; false when they run
// parallel or apart (the eyes do not converge there).
bool Crossing(const Vector& o0, const Vector& d0, const Vector& o1, const Vector& d1, Vector& point) {
  const Vector w = o0 - o1;
  const Float b = Dot(d0, d1);
  const Float denominator = Dot(d0, d0) * Dot(d1, d1) - b * b;
  if (!(denominator > 1e-12)) return false;
  const Float t0 = (b * Dot(d1, w) - Dot(d1, d1) * Dot(d0, w)) / denominator;
  const Float t1 = (Dot(d0, d0) * Dot(d1, w) - b * Dot(d0, w)) / denominator;
  if (!(t0 > 0.0 && t1 > 0.0)) return false;
  point = (o0 + d0 * t0 + o1 + d1 * t1) * 0.5;
  return true;
}

DisparityPixel MeasurePixel(const Matrix& cameraInverse, const Vector& origin, const Vector& direction,
                            Float distance, const Vector& otherOrigin, const Vector& otherDirection) {
  const Vector centre = (origin + otherOrigin) * 0.5;
  Vector zeroParallax;
  const bool converging = Crossing(origin, direction, otherOrigin, otherDirection, zeroParallax) &&
                          (zeroParallax - centre).GetLength() > 0.0;
  const Vector mono = converging ? (zeroParallax - centre).GetNormalized() : direction;
  const Float screen = converging ? Vergence(origin, otherOrigin, zeroParallax) : 0.0;
  const bool hit = std::isfinite(distance);
  const Vector point = origin + direction * (hit ? distance : 0.0);
  const Vector view = cameraInverse.TransformDirection(mono);
  DisparityPixel pixel;
  pixel.degrees = static_cast<Float32>((hit ? Vergence(origin, otherOrigin, point) : 0.0) - screen);
  pixel.distance =
      hit ? static_cast<Float32>((point - centre).GetLength()) : std::numeric_limits<Float32>::infinity();
  pixel.yawDegrees = static_cast<Float32>(std::atan2(view.x, view.z) * kDegrees);
  pixel.pitchDegrees = static_cast<Float32>(std::asin(std::clamp(view.y, -1.0, 1.0)) * kDegrees);
  return pixel;
}

bool InsideArea(const std::string& area, Int32 x, Int32 y, Int32 width, Int32 height) {
  if (area == "left") return 2 * x < width;
  if (area == "right") return 2 * x >= width;
  if (area == "top") return 2 * y < height;
  if (area == "bottom") return 2 * y >= height;
  return true;
}

}  // namespace

void MeasureDisparity(const PrimaryHits& hits, const PrimaryHits& other, const ComfortRig& rig,
                      DisparityMap& map) {
  const Matrix cameraInverse = Inverse(rig.camera.GetRotationPart());
  map.width = hits.width;
  map.height = hits.height;
  map.pixels.assign(static_cast<size_t>(hits.width) * hits.height, DisparityPixel{});
  // Rows on all cores; each pixel is written by its own row only.
  parallel::For(Int32{0}, hits.height, [&](const tbb::blocked_range<Int32>& rows) {
    for (Int32 y = rows.begin(); y != rows.end(); ++y) {
      for (Int32 x = 0; x < hits.width; ++x) {
        DisparityPixel& pixel = map.pixels[static_cast<size_t>(y) * hits.width + x];
        if (!hits.HasRay(x, y) || !other.HasRay(x, y) ||
            !InsideArea(rig.area, x, y, hits.width, hits.height)) {
          pixel.degrees = std::numeric_limits<Float32>::quiet_NaN();
          continue;
        }
        pixel = MeasurePixel(cameraInverse, hits.Origin(x, y), hits.Direction(x, y), hits.Distance(x, y),
                             other.Origin(x, y), other.Direction(x, y));
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
