// Rays per second of the demo scene as a 4096 x 2048 panorama at one sample per pixel: the host's
// whole render (lens, packets, shading, shadows), beside a bare rtcIntersect16 loop over the same
// primary rays (equirectangular directions from the render camera) in the same scene.
//
//   build/release/bench/trace_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only
#include "base/parallel_for.h"
#include "module_reading/camera_kinds.h"
#include "render/renderer.h"
#include "render/scene_accel.h"
#include "render/scene_walk.h"
#include "runtime/console.h"
#include "runtime/plugin_loader.h"
#include "scene/scene_library.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <vector>

namespace {

constexpr Int32 kWidth = 4096;
constexpr Int32 kHeight = 2048;

BaseDocument* MakeDocument(std::string& error) {
  BaseDocument* doc = scene_library::NewDocument();
  if (!doc || !scene_library::Build("demo", doc, error)) return doc;
  if (!AddCamera(doc, CameraKind::Panorama, scene_library::Viewpoint("demo"), error)) return doc;
  BaseContainer& settings = *doc->GetActiveRenderData()->GetDataInstance();
  settings.SetFloat(RDATA_XRES, kWidth);
  settings.SetFloat(RDATA_YRES, kHeight);
  return doc;
}

void SetRays(benchmark::State& state) {
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kWidth * kHeight);
  state.counters["rays/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kWidth * kHeight,
                                                benchmark::Counter::kIsRate);
}

void BM_HostRender(benchmark::State& state) {
  console::SetEcho(false);
  std::string error;
  static std::unique_ptr<LoadedModule> module = LoadedModule::Load(ORVEX_PLUGIN_DIR, error);
  if (!module) return state.SkipWithError(error.c_str());
  BaseDocument* doc = MakeDocument(error);
  if (!error.empty()) return state.SkipWithError(error.c_str());
  RenderOptions options;
  options.samples = 1;
  const FrameSink discard = [](const FloatImage&, Int32, std::string&) { return true; };
  for (auto _ : state) {
    if (!RenderDocument(doc, options, discard, error)) state.SkipWithError(error.c_str());
  }
  SetRays(state);
  BaseDocument::Free(doc);
}
BENCHMARK(BM_HostRender)->Unit(benchmark::kMillisecond)->UseRealTime();

// Equirectangular direction of a pixel centre in the camera's frame.
Vector PanoramaDirection(const Matrix& camera, Int32 x, Int32 y) {
  const Float longitude = ((x + 0.5) / kWidth - 0.5) * 2.0 * std::numbers::pi;
  const Float latitude = (0.5 - (y + 0.5) / kHeight) * std::numbers::pi;
  const Vector local(std::cos(latitude) * std::sin(longitude), std::sin(latitude),
                     std::cos(latitude) * std::cos(longitude));
  return camera.TransformDirection(local).GetNormalized();
}

void BM_BareIntersect16(benchmark::State& state) {
  std::string error;
  BaseDocument* doc = MakeDocument(error);
  SceneAccel scene;
  if (!error.empty() || !scene.Build(doc, error)) return state.SkipWithError(error.c_str());
  const Matrix camera = FindRenderCamera(doc)->GetMg();
  // The rays made beforehand, so that only the tracing is timed.
  std::vector<Vector> directions(static_cast<size_t>(kWidth) * kHeight);
  for (Int32 y = 0; y < kHeight; ++y)
    for (Int32 x = 0; x < kWidth; ++x)
      directions[static_cast<size_t>(y) * kWidth + x] = PanoramaDirection(camera, x, y);
  constexpr int kPacket = SceneAccel::kPacketSize;
  for (auto _ : state) {
    parallel::For(Int32{0}, kHeight, [&](const tbb::blocked_range<Int32>& rows) {
      Vector origins[kPacket];
      bool active[kPacket];
      Hit hits[kPacket];
      bool found[kPacket];
      for (int k = 0; k < kPacket; ++k) origins[k] = camera.offset, active[k] = true;
      for (Int32 y = rows.begin(); y != rows.end(); ++y)
        for (Int32 x = 0; x < kWidth; x += kPacket) {
          scene.Intersect16(origins, &directions[static_cast<size_t>(y) * kWidth + x], active, hits, found);
          benchmark::DoNotOptimize(found);
        }
    });
  }
  SetRays(state);
  BaseDocument::Free(doc);
}
BENCHMARK(BM_BareIntersect16)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
