#pragma once

#include "c4d.h"
#include "video_post_chain.h"

#include <memory>
#include <optional>

// The host's multi-camera questions of a render: how many camera images a frame needs, and where
// each camera stands. They are asked with the running render's settings, so that a stereo switch
// an effect turned on at render start (for cubemaps) applies to this render.
class CameraPlan {
 public:
  // Editor renders and renders whose stereo switch (8000) is off have one camera; otherwise the
  // first effect that asks for cameras decides how many.
  CameraPlan(const VideoPostChain& effects, BaseDocument* doc, const BaseContainer& runningSettings,
             bool editor);

  Int32 Count() const { return count_; }
  // Several camera images, merged by the effect that asked for them.
  bool IsMultiCamera() const { return count_ > 1 && merger_ != nullptr; }
  const VideoPostChain::Effect* Merger() const { return merger_; }

  // Where camera `index` stands, from the effect's camera information; empty when the effect
  // refuses the index (normal from index 3 on), and the scene camera is used.
  std::optional<Matrix> Placement(BaseDocument* doc, Int32 index) const;

 private:
  struct RenderDataDeleter {
    void operator()(RenderData* renderData) const { RenderData::Free(renderData); }
  };

  std::unique_ptr<RenderData, RenderDataDeleter> running_;  // the running settings as render data
  Int32 count_ = 1;
  const VideoPostChain::Effect* merger_ = nullptr;
};
