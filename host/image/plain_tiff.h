#pragma once

#include "image_codec.h"
#include "plain_image.h"

#include <string>
#include <vector>

// Uncompressed 8-bit RGB and RGBA TIFF files (the module's icons) read without the image library,
// so that registering plugins with icons does not load it. Pixels come out exactly as the image
// library gives them: bytes times 1/255, unassociated alpha multiplied into the colour.
namespace plain_tiff {

// NotPlain for any other file (compressed, other depths or layouts, not a TIFF): read it through
// the image library. Damaged with `error` for a plain TIFF whose strips lie outside the file.
// `pixels` gets width x height x channels floats.
PlainRead Read(const std::string& path, image_codec::Header& header, std::vector<float>& pixels,
               std::string& error);

// The same for a file's bytes in memory; `name` is what the error calls the file.
PlainRead Decode(const std::vector<unsigned char>& bytes, const std::string& name,
                 image_codec::Header& header, std::vector<float>& pixels, std::string& error);

}  // namespace plain_tiff
