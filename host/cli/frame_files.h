#pragma once

#include "c4d.h"
#include "image/float_image.h"
#include "image/image_metadata.h"

#include <string>

// The frames of a rendered sequence on disk, named by a pattern whose "#" run is the frame number
// ("shot/frame_####.png"), as render and farm write them.
namespace frame_files {

// The frames the pattern's folder holds: the lowest and highest number whose file is there, every
// number between them required. False with `error` naming the first missing frame, or when there
// is none at all or the name has no "#".
bool FindRange(const std::string& pattern, Int32& first, Int32& last, std::string& error);

// One frame as the renderer made it: linear colour, premultiplied by its alpha. Display-encoded
// files (PNG, JPEG, TIFF of 8 or 16 bits) are decoded through the sRGB curve, float files (EXR)
// taken as they are. Every pixel must decode; `metadata` gets what the file says about itself.
bool Read(const std::string& path, FloatImage& image, ImageMetadata& metadata, std::string& error);

// Whether two frames describe the same picture: every property but the dates and the tool.
bool SamePicture(const ImageMetadata& a, const ImageMetadata& b);

}  // namespace frame_files
