#pragma once

#include "image_codec.h"
#include "plain_image.h"

#include <string>
#include <vector>

// 8-bit RGB and palette PNG files without transparency or colour-space chunks (the module's maps
// and buttons) read through libpng alone, so that registering plugins does not load the image
// library. Pixels come out exactly as the image library gives them: bytes times 1/255.
namespace plain_png {

// NotPlain for any other file: read it through the image library. Damaged with `error` for a plain
// PNG that does not decode. `pixels` gets width x height x 3 floats.
PlainRead Read(const std::string& path, image_codec::Header& header, std::vector<float>& pixels,
               std::string& error);

}  // namespace plain_png
