#include "camera_merge.h"

#include "runtime/console.h"

#include <algorithm>

namespace {

bool Merge(const VideoPostChain::Effect& merger, const BaseContainer& settings,
           const CameraBitmaps& cameras) {
  return merger.data->StereoMergeImages(merger.node, cameras.Destination(), cameras.Sources(),
                                        cameras.Count(), settings, COLORSPACETRANSFORMATION_NONE);
}

void MakeOpaque(FloatImage& frame) {
  for (size_t i = FloatImage::kChannels - 1; i < frame.rgba.size(); i += FloatImage::kChannels)
    frame.rgba[i] = 1.0f;
}

}  // namespace

void MergeCameraImages(const VideoPostChain::Effect& merger, const BaseContainer& settings,
                       CameraBitmaps& cameras, FloatImage& frame) {
  if (!Merge(merger, settings, cameras)) {
    console::Print("[host] merge failed: writing camera 0's image");
    cameras.Load(0, frame);
    return;
  }
  cameras.LoadMergedColour(frame);
  cameras.ReplaceColourByAlpha();
  if (Merge(merger, settings, cameras)) {
    cameras.LoadMergedAlpha(frame);
    return;
  }
  // The colour merge took these very images; should the alpha merge still refuse, keep the
  // frame visible rather than guess coverage.
  MakeOpaque(frame);
}
