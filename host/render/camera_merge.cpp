#include "camera_merge.h"

#include "runtime/console.h"
#include "runtime/merge_alpha_trace.h"

bool MergeCameraImages(const VideoPostChain::Effect& merger, const BaseContainer& settings,
                       CameraBitmaps& cameras, FloatImage& frame) {
  bool merged = false;
  {
    // One merge call; the host carries each camera's alpha along with the colour it moves.
    const MergeAlphaTrace alpha(*cameras.Destination());
    merged = merger.data->StereoMergeImages(merger.node, cameras.Destination(), cameras.Sources(),
                                            cameras.Count(), settings, COLORSPACETRANSFORMATION_NONE);
  }
  if (merged) {
    // The camera images are done with before the frame takes its memory again.
    cameras.ReleaseSources();
    if (!cameras.LoadMerged(frame)) frame = FloatImage();
    return true;
  }
  console::Print("[host] merge failed: writing camera 0's image");
  if (!cameras.Load(0, frame)) frame = FloatImage();
  return false;
}
