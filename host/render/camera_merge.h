#pragma once

#include "camera_bitmaps.h"
#include "float_image.h"
#include "video_post_chain.h"

// Merges one frame's camera images into `frame` through the effect that asked for the cameras.
// Colour is the effect's merge of the camera images. Alpha is the same merge run over the cameras'
// alphas, so every pixel is as opaque as the camera image its colour came from, and a pixel that no
// camera fills (a cross layout's corners, the odd column of a side-by-side frame) stays transparent
// black. When the effect refuses the merge, the console says so and the frame is camera 0's image.
// The stored camera images are used up: afterwards they hold alphas.
void MergeCameraImages(const VideoPostChain::Effect& merger, const BaseContainer& settings,
                       CameraBitmaps& cameras, FloatImage& frame);
