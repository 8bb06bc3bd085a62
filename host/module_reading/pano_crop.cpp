#include "pano_crop.h"

#include <numbers>

#include <algorithm>
#include <cmath>

PanoCrop CropOfPanorama(Int32 width, Int32 height, Float span, Float latMin, Float latMax) {
  const Float halfPi = std::numbers::pi / 2.0;
  const Float horizontal =
      std::isfinite(span) && span > 0.0 ? std::min(span, (2.0 * std::numbers::pi)) : (2.0 * std::numbers::pi);
  Float top = std::isfinite(latMax) ? std::clamp(latMax, -halfPi, halfPi) : halfPi;
  Float bottom = std::isfinite(latMin) ? std::clamp(latMin, -halfPi, halfPi) : -halfPi;
  if (top <= bottom) {
    top = halfPi;
    bottom = -halfPi;
  }
  PanoCrop crop;
  crop.width = width;
  crop.height = height;
  crop.fullWidth =
      std::max(width, static_cast<Int32>(std::lround(width * (2.0 * std::numbers::pi) / horizontal)));
  crop.fullHeight =
      std::max(height, static_cast<Int32>(std::lround(height * std::numbers::pi / (top - bottom))));
  // The image is centred on the view direction, which is the full panorama's centre column.
  crop.left = static_cast<Int32>(std::lround((crop.fullWidth - width) / 2.0));
  crop.top = std::min(crop.fullHeight - height,
                      static_cast<Int32>(std::lround(crop.fullHeight * (halfPi - top) / std::numbers::pi)));
  return crop;
}
