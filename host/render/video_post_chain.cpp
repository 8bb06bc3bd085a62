#include "video_post_chain.h"

namespace {
// The engine ID the stand-in host's renderer announces to effects.
constexpr Int32 kRenderEngineId = 0;

std::string ResultWords(RENDERRESULT result) {
  switch (result) {
    case RENDERRESULT_OUTOFMEMORY:
      return "out of memory";
    case RENDERRESULT_USERBREAK:
      return "stopped by the user";
    default:
      return "result " + std::to_string(static_cast<Int32>(result));
  }
}

std::string EffectName(const BaseVideoPost* node) {
  return "the effect \"" + node->GetName().GetStdString() + "\"";
}
}  // namespace

VideoPostChain::VideoPostChain(RenderData* renderData) {
  if (!renderData) return;
  for (BaseVideoPost* node = renderData->GetFirstVideoPost(); node; node = node->GetNext()) {
    auto* data = dynamic_cast<VideoPostData*>(node->GetNodeData());
    if (!data || node->GetBit(BIT_VPDISABLED) || !data->RenderEngineCheck(node, kRenderEngineId)) continue;
    effects_.push_back({node, data, 0});
  }
}

void VideoPostChain::Notify(BaseDocument* doc, Bool start, Bool external) const {
  RenderNotificationData notification{doc, start, external};
  for (const Effect& effect : effects_) effect.node->Message(MSG_MULTI_RENDERNOTIFICATION, &notification);
}

bool VideoPostChain::AllocateBuffers(Render* render, BaseDocument* doc, std::string& error) const {
  for (const Effect& effect : effects_) {
    const RENDERRESULT result = effect.data->AllocateBuffers(effect.node, render, doc);
    if (result == RENDERRESULT_OK) continue;
    error = EffectName(effect.node) + " refused to start the render (" + ResultWords(result) + ")";
    return false;
  }
  return true;
}

void VideoPostChain::FreeBuffers() const {
  for (const Effect& effect : effects_) effect.data->FreeBuffers(effect.node);
}

void VideoPostChain::GatherRenderInfo() {
  lens_ = nullptr;
  pixelPosts_.clear();
  linePosts_.clear();
  for (Effect& effect : effects_) {
    effect.info = effect.data->GetRenderInfo(effect.node);
    if (!lens_ && (effect.info & VIDEOPOSTINFO_CUSTOMLENS)) lens_ = &effect;
    if (effect.info & VIDEOPOSTINFO_EXECUTEPIXEL) pixelPosts_.push_back(&effect);
    if (effect.info & VIDEOPOSTINFO_EXECUTELINE) linePosts_.push_back(&effect);
  }
}

void VideoPostChain::Execute(VideoPostStruct& vps, VIDEOPOSTCALL call, Bool open) const {
  vps.vp = call;
  vps.open = open;
  for (const Effect& effect : effects_) {
    const RENDERRESULT result = effect.data->Execute(effect.node, &vps);
    if (result != RENDERRESULT_OK && failure_.empty())
      failure_ = EffectName(effect.node) + " refused frame " + std::to_string(vps.frame) + " (" +
                 ResultWords(result) + ")";
  }
}

Int32 VideoPostChain::CameraCount(BaseDocument* doc, RenderData* renderData, const Effect** answering) const {
  for (const Effect& effect : effects_) {
    const Int32 count = effect.data->StereoGetCameraCountRenderer(effect.node, doc, renderData);
    if (count <= 0) continue;
    if (answering) *answering = &effect;
    return count;
  }
  return 0;
}
