#pragma once

#include <string>

// `orvex360 info` for a video file: what a player reads from it (codec, size, frame rate, frame
// count, projection with a cropped panorama's bounds, stereo layout). Returns the exit code.
int PrintVideoInfo(const std::string& path);
