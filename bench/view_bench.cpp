// Drawing the camera tag's guide into a 1920 x 1080 editor view of the demo scene, per camera kind
// (each with the stereo diagram), beside the same view with the tag switched off: what the guide
// adds to a viewport redraw. Through the loaded plugin folder, as `orvex360 view` draws.
//
//   build/release/bench/view_bench --benchmark_repetitions=3 --benchmark_report_aggregates_only
#include "module_reading/camera_kinds.h"
#include "paint/view_pass.h"
#include "runtime/console.h"
#include "runtime/plugin_loader.h"
#include "scene/scene_library.h"
#include "settings/orvextag_params.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr Int32 kWidth = 1920;
constexpr Int32 kHeight = 1080;
constexpr Int32 kTagType = 1035138;
constexpr CameraKind kKinds[] = {CameraKind::Panorama, CameraKind::Fisheye, CameraKind::Cylindrical,
                                 CameraKind::Cubemap};

// The demo scene with a camera of `kind`, seen from beside the camera; the tag on or off.
BaseDocument* MakeDocument(CameraKind kind, bool tagOn, std::string& error) {
  BaseDocument* doc = scene_library::NewDocument();
  if (!doc || !scene_library::Build("demo", doc, error)) return doc;
  BaseObject* camera = AddCamera(doc, kind, scene_library::Viewpoint("demo"), error);
  if (!camera) return doc;
  BaseTag* tag = camera->GetTag(kTagType);
  tag->SetParameter(DescID(ORVEXTAG_STEREO), GeData(true), DESCFLAGS_SET_0);
  tag->SetParameter(DescID(ORVEXTAG_ENABLE), GeData(tagOn), DESCFLAGS_SET_0);
  BaseDraw* view = doc->GetActiveBaseDraw();
  Matrix placement;
  const Vector at = camera->GetMg().offset;
  view_pass::LookAt(at + Vector(220.0, 160.0, -260.0), at, placement);
  view_pass::SetEditorCamera(view, placement, paint::ViewCamera().horizontalFov);
  view_pass::SetViewSize(view, kWidth, kHeight);
  return doc;
}

void BM_ViewRedraw(benchmark::State& state) {
  console::SetEcho(false);
  std::string error;
  static std::unique_ptr<LoadedModule> module = LoadedModule::Load(ORVEX_PLUGIN_DIR, error);
  if (!module) return state.SkipWithError(error.c_str());
  BaseDocument* doc = MakeDocument(kKinds[state.range(0)], state.range(1) != 0, error);
  if (!error.empty()) return state.SkipWithError(error.c_str());
  FloatImage image;
  for (auto _ : state) {
    if (!view_pass::Redraw(doc, image, nullptr, error)) state.SkipWithError(error.c_str());
  }
  BaseDocument::Free(doc);
}
BENCHMARK(BM_ViewRedraw)
    ->ArgNames({"kind", "tag"})
    ->ArgsProduct({{0, 1, 2, 3}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
