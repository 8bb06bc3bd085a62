#pragma once

#include "c4d.h"

// Where an equirectangular image sits in the full 360 x 180 degree panorama, in pixels of the image's
// own scale: the photo-sphere crop properties. The image spans `span` radians centred on the view
// direction (the full panorama's centre column) and the latitudes from `latMin` to `latMax`.
struct PanoCrop {
  Int32 fullWidth = 0;
  Int32 fullHeight = 0;
  Int32 left = 0;
  Int32 top = 0;
  Int32 width = 0;
  Int32 height = 0;
};

// Spans beyond a full turn count as a full turn, latitudes beyond the poles as the poles; a
// latitude range that is empty or reversed counts as pole to pole.
PanoCrop CropOfPanorama(Int32 width, Int32 height, Float span, Float latMin, Float latMax);
