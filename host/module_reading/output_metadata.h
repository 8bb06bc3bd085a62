#pragma once

#include "c4d.h"
#include "image/image_metadata.h"

// What a render's images say about how they map the sphere: read from the OrvexTag on `camera`,
// the Orvex360Cam effect and the render settings of `doc` before the render starts, for images of
// the render settings' size. Equirectangular output carries the photo-sphere (GPano) properties,
// every projection its kind, field of view and layout in the "orvex360" vocabulary, stereo output
// which half or pixels hold which eye. Editor previews, plain cameras and a switched-off effect
// carry only the date.
ImageMetadata DescribeOutput(BaseDocument* doc, BaseObject* camera, bool editor);
