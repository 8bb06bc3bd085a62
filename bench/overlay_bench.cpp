// A 4096 x 4096 fulldome master of the demo scene, one sample per pixel, with every overlay element
// on beside the same render with the overlays off: what the overlay pass costs. Through the loaded
// plugin folder, as the orvex360 command renders.
//
//   build/release/bench/overlay_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only
#include "module_reading/camera_kinds.h"
#include "render/renderer.h"
#include "runtime/console.h"
#include "runtime/plugin_loader.h"
#include "scene/scene_library.h"
#include "settings/orvex360camvp_params.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr Int32 kSize = 4096;

void SetEffect(BaseDocument* doc, Int32 id, const GeData& value) {
  FindOrvexEffect(doc)->SetParameter(DescID(id), value, DESCFLAGS_SET_0);
}

// The demo scene through a fulldome camera, its overlays all on or all off.
BaseDocument* MakeDocument(bool overlays, std::string& error) {
  BaseDocument* doc = scene_library::NewDocument();
  if (!doc || !scene_library::Build("demo", doc, error)) return doc;
  if (!AddCamera(doc, CameraKind::Fulldome, scene_library::Viewpoint("demo"), error)) return doc;
  BaseContainer& settings = *doc->GetActiveRenderData()->GetDataInstance();
  settings.SetFloat(RDATA_XRES, kSize);
  settings.SetFloat(RDATA_YRES, kSize);
  SetEffect(doc, ORVEXVP_OVERLAY, GeData(overlays));
  for (Int32 id : {ORVEXVP_SHOW_INFO, ORVEXVP_SHOW_TIME, ORVEXVP_SHOW_FRAME, ORVEXVP_SHOW_TEXT})
    SetEffect(doc, id, GeData(true));
  return doc;
}

void BM_FulldomeRender(benchmark::State& state) {
  console::SetEcho(false);
  std::string error;
  static std::unique_ptr<LoadedModule> module = LoadedModule::Load(ORVEX_PLUGIN_DIR, error);
  if (!module) return state.SkipWithError(error.c_str());
  BaseDocument* doc = MakeDocument(state.range(0) != 0, error);
  if (!error.empty()) return state.SkipWithError(error.c_str());
  RenderOptions options;
  const FrameSink discard = [](const FloatImage&, Int32, std::string&) { return true; };
  for (auto _ : state) {
    if (!RenderDocument(doc, options, discard, error)) state.SkipWithError(error.c_str());
  }
  BaseDocument::Free(doc);
}
BENCHMARK(BM_FulldomeRender)
    ->ArgName("overlays")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
