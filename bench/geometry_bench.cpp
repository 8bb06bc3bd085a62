// Per-ray cost of the lens directions and the stereo eye matrix. Every benchmark handles one ray per
// iteration, so the reported time is nanoseconds per ray. Each lens runs beside a loop of only the
// sqrt / sin / cos / atan2 calls that lens needs, its floor.

#include "eye_matrix_reference.h"
#include "geometry/eye_rig.h"
#include "geometry/lens.h"
#include "geometry/rotation.h"
#include "geometry/scalar_math.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

namespace orvex {
namespace {

constexpr std::size_t kSampleCount = 4096;  // a power of two: the index wraps with a mask

struct UvSample {
  Float u;
  Float v;
};

// Texture coordinates spread over the whole image, in an order that defeats branch prediction.
const std::array<UvSample, kSampleCount>& UvSamples() {
  static const auto samples = [] {
    std::array<UvSample, kSampleCount> result{};
    for (std::size_t i = 0; i < kSampleCount; ++i) {
      const std::size_t scrambled = (i * 2654435761u) % kSampleCount;
      result[i] = {static_cast<Float>(scrambled % 64) / 63.0, static_cast<Float>(scrambled / 64) / 63.0};
    }
    return result;
  }();
  return samples;
}

LensSettings MonoLens(Projection projection) {
  LensSettings lens;
  lens.projection = projection;
  lens.pixelScale = Vector(1.0 / 4096.0, 1.0 / 2048.0, 0.0);
  lens.fov = kPi;
  lens.uMin = 0.0;
  lens.uMax = 1.0;
  lens.maskMode = kMaskModeNone;  // trace the whole rectangle: no early exits
  lens.currentFace.index = 5;
  return lens;
}

void RunLens(benchmark::State& state, Projection projection) {
  const LensSettings lens = MonoLens(projection);
  const auto& samples = UvSamples();
  std::size_t i = 0;
  for (auto _ : state) {
    Float u = samples[i].u;
    Float v = samples[i].v;
    benchmark::DoNotOptimize(LensDirection(lens, u, v));
    i = (i + 1) & (kSampleCount - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

void BM_LensFisheye(benchmark::State& state) { RunLens(state, Projection::kFisheye); }
void BM_LensEquirect(benchmark::State& state) { RunLens(state, Projection::kEquirect); }
void BM_LensCylindrical(benchmark::State& state) { RunLens(state, Projection::kCylindrical); }
void BM_LensCubemap(benchmark::State& state) { RunLens(state, Projection::kCubemap); }

// Floors: the same samples through only the library calls of each lens.
template <class Trig>
void RunBareTrig(benchmark::State& state, Trig trig) {
  const auto& samples = UvSamples();
  std::size_t i = 0;
  for (auto _ : state) {
    trig(samples[i].u, samples[i].v);
    i = (i + 1) & (kSampleCount - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

// Fisheye: sqrt for the radius, sin and cos of the off-axis angle.
void BM_BareTrigFisheye(benchmark::State& state) {
  RunBareTrig(state, [](Float u, Float v) {
    const Float x = 2.0 * u - 1.0;
    const Float y = 1.0 - 2.0 * v;
    const Float theta = std::sqrt(x * x + y * y) * kHalfPi;
    benchmark::DoNotOptimize(std::sin(theta));
    benchmark::DoNotOptimize(std::cos(theta));
  });
}

// Equirect: sin and cos of the polar angle and of the azimuth.
void BM_BareTrigEquirect(benchmark::State& state) {
  RunBareTrig(state, [](Float u, Float v) {
    const Float azimuth = kTwoPi * (0.75 - u);
    benchmark::DoNotOptimize(std::sin(v * kPi));
    benchmark::DoNotOptimize(std::cos(v * kPi));
    benchmark::DoNotOptimize(std::sin(azimuth));
    benchmark::DoNotOptimize(std::cos(azimuth));
  });
}

// Cylinder: the polar angle is fixed, only the azimuth varies.
void BM_BareTrigCylindrical(benchmark::State& state) {
  RunBareTrig(state, [](Float u, Float) {
    const Float azimuth = kTwoPi * (0.75 - u);
    benchmark::DoNotOptimize(std::sin(azimuth));
    benchmark::DoNotOptimize(std::cos(azimuth));
  });
}

// Cube face: one sqrt to normalise.
void BM_BareTrigCubemap(benchmark::State& state) {
  RunBareTrig(state, [](Float u, Float v) {
    const Float a = 2.0 * u - 1.0;
    const Float b = 2.0 * v - 1.0;
    benchmark::DoNotOptimize(std::sqrt(a * a + b * b + 1.0));
  });
}

// For context: normalising also needs a reciprocal, which shares the divider with the sqrt.
void BM_BareSqrtAndReciprocalCubemap(benchmark::State& state) {
  RunBareTrig(state, [](Float u, Float v) {
    const Float a = 2.0 * u - 1.0;
    const Float b = 2.0 * v - 1.0;
    benchmark::DoNotOptimize(1.0 / std::sqrt(a * a + b * b + 1.0));
  });
}

// The machine is shared: with repetitions, the fastest run is the least disturbed one.
void WithMinimum(benchmark::internal::Benchmark* benchmark) {
  benchmark->ComputeStatistics(
      "min", [](const std::vector<double>& runs) { return *std::min_element(runs.begin(), runs.end()); });
}

BENCHMARK(BM_LensFisheye)->Apply(WithMinimum);
BENCHMARK(BM_BareTrigFisheye)->Apply(WithMinimum);
BENCHMARK(BM_LensEquirect)->Apply(WithMinimum);
BENCHMARK(BM_BareTrigEquirect)->Apply(WithMinimum);
BENCHMARK(BM_LensCylindrical)->Apply(WithMinimum);
BENCHMARK(BM_BareTrigCylindrical)->Apply(WithMinimum);
BENCHMARK(BM_LensCubemap)->Apply(WithMinimum);
BENCHMARK(BM_BareTrigCubemap)->Apply(WithMinimum);
BENCHMARK(BM_BareSqrtAndReciprocalCubemap)->Apply(WithMinimum);

// Lens directions of a full panorama: the rays a stereo render feeds the rig.
const std::array<Vector, kSampleCount>& RayDirections() {
  static const auto directions = [] {
    std::array<Vector, kSampleCount> result{};
    const LensSettings lens = MonoLens(Projection::kEquirect);
    const auto& samples = UvSamples();
    for (std::size_t i = 0; i < kSampleCount; ++i) {
      Float u = samples[i].u;
      Float v = samples[i].v;
      result[i] = LensDirection(lens, u, v);
    }
    return result;
  }();
  return directions;
}

const Matrix kCamera = Move({100.0, -20.0, 35.0}) * RotAxis({0.2, 1.0, -0.4}, 0.9);

// One stereo ray's eye matrix with convergence on, as the render computes it (eye prepared once per
// camera), for rig mode range(0); range(1) = 1 for dome stereo.
void BM_EyeMatrix(benchmark::State& state) {
  const StereoRig rig{static_cast<Int32>(state.range(0)), state.range(1) != 0, 1000.0, 6.5};
  const EyeRig leftEye = PrepareEyeRig(kCamera, kCamera * Move({-3.25, 0.0, 0.0}), 0, rig);
  const auto& directions = RayDirections();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EyeMatrixForRay(leftEye, directions[i], 1.0));
    i = (i + 1) & (kSampleCount - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

// Before: the same rays through the written chain the rig replaced (arc cosine, then sine and cosine
// of half the angle), side by side with the rig's fast path above.
void BM_EyeMatrixBefore(benchmark::State& state) {
  const StereoRig rig{static_cast<Int32>(state.range(0)), state.range(1) != 0, 1000.0, 6.5};
  const EyeRig leftEye = PrepareEyeRig(kCamera, kCamera * Move({-3.25, 0.0, 0.0}), 0, rig);
  const auto& directions = RayDirections();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(reference::EyeMatrixForRay(leftEye, directions[i], 1.0));
    i = (i + 1) & (kSampleCount - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

// The same without preparing the eye: both inverses are paid on every call.
void BM_EyeMatrixUnprepared(benchmark::State& state) {
  const StereoRig rig{static_cast<Int32>(state.range(0)), state.range(1) != 0, 1000.0, 6.5};
  const Matrix leftEye = kCamera * Move({-3.25, 0.0, 0.0});
  const auto& directions = RayDirections();
  std::size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(EyeMatrixForRay(kCamera, leftEye, 0, directions[i], rig, 1.0));
    i = (i + 1) & (kSampleCount - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

void RigModes(benchmark::internal::Benchmark* benchmark) {
  WithMinimum(benchmark);
  benchmark->ArgNames({"mode", "dome"});
  for (int dome : {0, 1}) {
    for (int mode : {0, 1, 2, 3}) benchmark->Args({mode, dome});
  }
}

BENCHMARK(BM_EyeMatrix)->Apply(RigModes);
BENCHMARK(BM_EyeMatrixBefore)->Apply(RigModes);
BENCHMARK(BM_EyeMatrixUnprepared)->Apply(WithMinimum)->Args({2, 0})->ArgNames({"mode", "dome"});

// A whole stereo ray as the render makes it: lens direction, eye matrix, world origin and direction.
void BM_StereoRayEquirect(benchmark::State& state) {
  LensSettings lens = MonoLens(Projection::kEquirect);
  lens.stereo = true;
  lens.currentEye.index = 0;
  const StereoRig rig{kRigTurnVertical, false, 1000.0, 6.5};
  const EyeRig leftEye = PrepareEyeRig(kCamera, kCamera * Move({-3.25, 0.0, 0.0}), 0, rig);
  const auto& samples = UvSamples();
  std::size_t i = 0;
  for (auto _ : state) {
    Float u = samples[i].u;
    Float v = samples[i].v;
    const Vector d = LensDirection(lens, u, v);
    const EyeMatrix eye = EyeMatrixForRay(leftEye, d, 1.0);
    benchmark::DoNotOptimize(eye.matrix.offset);
    benchmark::DoNotOptimize(eye.matrix.TransformDirection(d));
    i = (i + 1) & (kSampleCount - 1);
  }
  state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_StereoRayEquirect)->Apply(WithMinimum);

}  // namespace
}  // namespace orvex

BENCHMARK_MAIN();
