#pragma once

#include <string>

// `orvex360 info` for a video file: what a player reads from it (codec, size, frame rate, frame
// count, projection with a cropped panorama's bounds, stereo layout). Returns the exit code.
int PrintVideoInfo(const std::string& path);

// `orvex360 info --verify` for a video file: decodes every frame and says how many, or where the file
// breaks. Returns the exit code.
int VerifyVideo(const std::string& path);
