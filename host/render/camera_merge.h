#pragma once

#include "camera_bitmaps.h"
#include "image/float_image.h"
#include "video_post_chain.h"

// Merges one frame's camera images into `frame` through the effect that asked for the cameras, in
// one call of its merge. Colour is the effect's merge; alpha is carried along with it, so every
// pixel is as opaque as the camera image its colour came from, and a pixel that no camera fills
// (a cross layout's corners) stays transparent black. When the effect refuses the merge, the
// console says so, the frame is camera 0's image, and the answer is false. `frame` may come without
// pixels (freed while the merge needs memory): it is allocated again, and left empty when that
// memory cannot be had.
bool MergeCameraImages(const VideoPostChain::Effect& merger, const BaseContainer& settings,
                       CameraBitmaps& cameras, FloatImage& frame);
