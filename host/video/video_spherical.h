#pragma once

#include "image/image_metadata.h"
#include "video_codec.h"

#include <string>
#include <vector>

// What a video tells players about the sphere, read from the render's image metadata (the one
// description of projection, crop and stereo layout that the image files carry too).
struct VideoSphericalPlan {
  video_codec::Spherical spherical;
  // One line each for what players will not see as the render meant it (a fisheye shown flat, a
  // cubemap in a layout players do not know, eyes the container cannot place).
  std::vector<std::string> notes;
};

VideoSphericalPlan PlanVideoSpherical(const ImageMetadata& metadata, video_codec::Container container);

// The standard 3x2 cubemap of 360 video in the image metadata's words (rows split by "/", a turned
// face with its degrees): right, left and up above down, front and back, the up face's top towards
// the front and the down face's top towards the back, each half a turn from how the renderer
// draws them.
inline constexpr const char* kStandardCubemapFaces = "right,left,up:180/down:180,front,back";
