#pragma once

#include "c4d.h"

#include <string>
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
  // False with `error` when an effect refuses its buffers; the effects after it are not asked.
  [[nodiscard]] bool AllocateBuffers(Render* render, BaseDocument* doc, std::string& error) const;
  void FreeBuffers() const;
  // Asks every effect what it needs; afterwards Lens() and the pixel and line posts are known.
  void GatherRenderInfo();
  // Every effect is called for every phase; the first refusal is kept (Failure()), and the
  // renderer stops at the end of that frame.
  void Execute(VideoPostStruct& vps, VIDEOPOSTCALL call, Bool open) const;
  const std::string& Failure() const { return failure_; }

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
  mutable std::string failure_;  // the first phase an effect refused, said as the render's error
};
