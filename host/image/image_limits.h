#pragma once

#include "image_codec.h"

#include <string>

// Input images are bounded before their pixels are decoded, so that a huge (or a tiny file
// claiming a huge) image is refused with a message instead of taking all memory.
namespace image_limits {

// The largest input read: a 16K panorama (16384 x 8192).
constexpr double kMaxPixels = 16384.0 * 8192.0;

// Checks the `header` of the image `path` before its pixels are read: at most kMaxPixels, and
// the decode (floats of every channel plus the kept copy) must fit into memory. False with `error`
// naming the file and its size.
bool CheckBeforeDecode(const std::string& path, const image_codec::Header& header, std::string& error);

// Opens only the header of `path` and checks it; false with `error` when it cannot be read or is
// too large.
bool CheckFile(const std::string& path, std::string& error);

}  // namespace image_limits
