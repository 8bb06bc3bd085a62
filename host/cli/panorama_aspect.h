#pragma once

#include "c4d.h"
#include "image/image_metadata.h"

#include <string>

// An equirectangular image holds as many pixels per degree across as down: a full 360 x 180 degree
// panorama is 2:1, a 180-degree span from -45 to 45 degrees is 2:1 too, a 180 x 180 one 1:1. A
// mono panorama rendered at another aspect is squashed and still says it spans its degrees;
// an easy slip when a top-bottom stereo size is reused. The warning names the size that keeps the
// width (empty: the aspect fits, or the render is no mono panorama). The image's size is read from
// the description too (the photo-sphere properties' cropped area).
std::string PanoramaAspectWarning(const ImageMetadata& output);
