#pragma once

#include "c4d.h"

#include <vector>

// The video-post effects of the render settings that take part in a render, and the host's calls
// to them, each in list order.
class VideoPostChain {
 public:
  struct Effect {
    BaseVideoPost* node = nullptr;
    VideoPostData* data = nullptr;
    Int32 info = 0;  // what GetRenderInfo asked for
  };

  // Every effect of the settings that is switched on and accepts the renderer.
  explicit VideoPostChain(RenderData* renderData);

  // The render notification: at start (with whether the render is external) and at the end.
  void Notify(BaseDocument* doc, Bool start, Bool external) const;
  void AllocateBuffers(Render* render, BaseDocument* doc) const;
  void FreeBuffers() const;
  // Asks every effect what it needs; afterwards Lens() and the pixel and line posts are known.
  void GatherRenderInfo();
  void Execute(VideoPostStruct& vps, VIDEOPOSTCALL call, Bool open) const;

  // Cameras of a multi-camera render: the first nonzero answer of an effect, 0 when none asks.
  // `answering` (when given) receives that effect, which also places and merges the cameras.
  Int32 CameraCount(BaseDocument* doc, RenderData* renderData, const Effect** answering = nullptr) const;

  // The effect that makes the primary rays, or null for the plain camera.
  const Effect* Lens() const { return lens_; }
  const std::vector<const Effect*>& PixelPosts() const { return pixelPosts_; }
  const std::vector<const Effect*>& LinePosts() const { return linePosts_; }

 private:
  std::vector<Effect> effects_;
  const Effect* lens_ = nullptr;
  std::vector<const Effect*> pixelPosts_;
  std::vector<const Effect*> linePosts_;
};
