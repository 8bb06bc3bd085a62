#pragma once

#include "image_codec.h"

#include <string>
#include <vector>

// The image seam's encode requests for 8-bit PNG files, answered by the PNG writer of the host.
namespace png_codec {

// True when `request` names a PNG file of 8-bit samples with one to four channels.
bool TakesRequest(const image_codec::EncodeRequest& request);

// Encodes such a request: float samples are clamped to [0, 1] and rounded to bytes as the image
// library rounds them; an "oiio:ColorSpace" of sRGB gives the sRGB chunks, "DateTime" the time.
bool EncodeRequest(const image_codec::EncodeRequest& request, std::vector<unsigned char>& bytes,
                   std::string& error);

}  // namespace png_codec
