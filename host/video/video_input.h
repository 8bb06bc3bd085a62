#pragma once

#include "video_codec.h"

#include <string>

// How the host reads a video file: a regular file only (a FIFO or a device is refused before
// anything opens it, as for images), recognised by its content rather than its name, and read
// through the video seam. Errors name the file.
namespace video_input {

// Whether the file is to be read as a video: by its first bytes (those of MP4 and its kin, or of
// Matroska) whatever its name says, or, when it is no regular file to look into, by its name.
bool IsVideoFile(const std::string& path);

// What the file's first video stream says; false with `error` when it is no regular file, is no
// video, or is cut short of the frames its container promises.
bool Probe(const std::string& path, video_codec::StreamFacts& facts, std::string& error);

// Decodes every frame; `frames` is how many did. False with `error` saying where the file breaks.
bool Verify(const std::string& path, long long& frames, std::string& error);

}  // namespace video_input
