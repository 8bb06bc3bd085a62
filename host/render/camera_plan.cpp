#include "camera_plan.h"

CameraPlan::CameraPlan(const VideoPostChain& effects, BaseDocument* doc, const BaseContainer& runningSettings,
                       bool editor) {
  if (editor || !runningSettings.GetBool(RDATA_STEREO)) return;
  running_.reset(RenderData::Alloc());
  if (!running_) return;
  running_->SetData(runningSettings, false);
  const Int32 asked = effects.CameraCount(doc, running_.get(), &merger_);
  count_ = asked > 1 ? asked : 1;
}

std::optional<Matrix> CameraPlan::Placement(BaseDocument* doc, Int32 index) const {
  if (!merger_) return std::nullopt;
  StereoCameraInfo info;
  BaseDraw* view = doc ? doc->GetActiveBaseDraw() : nullptr;
  if (!merger_->data->StereoGetCameraInfo(merger_->node, doc, view, running_.get(), index, info))
    return std::nullopt;
  return info.m;
}
