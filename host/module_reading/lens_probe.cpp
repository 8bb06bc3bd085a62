#include "lens_probe.h"

#include "render/camera_image.h"
#include "render/camera_plan.h"
#include "render/pinhole_camera.h"
#include "render/render_record.h"
#include "render/renderer.h"
#include "render/scene_walk.h"
#include "runtime/console.h"
#include "runtime/host_state.h"

#include <string>

namespace {
using LookAtCamera = std::function<void(Int32 camera, Int32 count, const LensRays& rays)>;

// The render's camera phases without tracing: each camera placed as a render places it, its rays
// handed to `look`.
void Probe(VideoPostChain& effects, HostRender& render, BaseDocument* doc, Int32 width, Int32 height,
           Float fps, const LookAtCamera& look) {
  effects.GatherRenderInfo();
  const CameraPlan plan(effects, doc, render.record.settings, false);
  VideoPostStruct vps;
  vps.doc = doc;
  vps.render = &render;
  vps.time = doc->GetTime();
  vps.frame = vps.time.GetFrame(fps);
  effects.Execute(vps, VIDEOPOSTCALL_FRAMESEQUENCE, true);
  effects.Execute(vps, VIDEOPOSTCALL_FRAME, true);
  for (Int32 index = 0; index < plan.Count(); ++index) {
    effects.Execute(vps, VIDEOPOSTCALL_RENDER, true);
    PinholeCamera camera(FindRenderCamera(doc), width, height);
    if (const auto placement = plan.Placement(doc, index)) camera.SetPlacement(*placement);
    CameraPass pass;
    pass.effects = &effects;
    pass.camera = &camera;
    look(index, plan.Count(), [&pass](Float x, Float y) { return PrimaryRay(pass, x, y); });
  }
  effects.Execute(vps, VIDEOPOSTCALL_FRAME, false);
  effects.Execute(vps, VIDEOPOSTCALL_FRAMESEQUENCE, false);
}
}  // namespace

bool ProbeLens(BaseDocument* doc,
               const std::function<void(Int32 camera, Int32 count, const LensRays& rays)>& look,
               std::string& error) {
  RenderData* renderData = doc ? doc->GetActiveRenderData() : nullptr;
  if (!renderData) {
    error = "the document has no render settings";
    return false;
  }
  Int32 width = 0;
  Int32 height = 0;
  if (!ReadResolution(*renderData->GetDataInstance(), width, height, error)) return false;
  const console::ScopedMute mute;
  const Float fps = renderData->GetDataInstance()->GetFloat(RDATA_FRAMERATE, 30.0);
  VideoPostChain effects(renderData);
  HostRender render(renderData->GetData());
  host_state::SetRendering(CHECKISRUNNING_EXTERNALRENDERING, true);
  bool probed = doc->ExecutePasses(nullptr, true, true, true);
  if (!probed) error = "the scene could not be evaluated";
  effects.Notify(doc, true, true);
  probed = probed && effects.AllocateBuffers(&render, doc, error);
  if (probed) Probe(effects, render, doc, width, height, fps, look);
  effects.FreeBuffers();
  effects.Notify(doc, false, true);
  host_state::SetRendering(CHECKISRUNNING_EXTERNALRENDERING, false);
  if (probed && !effects.Failure().empty()) {
    error = effects.Failure();
    probed = false;
  }
  return probed;
}
