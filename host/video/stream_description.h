#pragma once

#include "image/image_metadata.h"
#include "video_codec.h"

// What a video's spherical side data says, in the words of the image metadata (the one description
// the preview and the renders share): the projection, a tile's place in the full panorama, the
// stereo layout and which half each eye is in. A video that says nothing gives no properties.
ImageMetadata DescribeStream(const video_codec::StreamFacts& facts);
