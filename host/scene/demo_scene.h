#pragma once

#include "c4d.h"

// The embedded demo scene: a floor grid around the viewpoint, a differently coloured and shaped
// landmark in each direction (front +Z red box, right +X green cylinder, back -Z blue sphere, left
// -X yellow pillar, a magenta ball straight up, a cyan disc straight down), small objects close
// by and towers far away for stereo depth, a sun casting hard shadows.
void BuildDemoScene(BaseDocument* doc);

// The viewpoint the demo scene is laid out around: slightly above the floor, so that a dome looking
// up sees the landmarks rise above its horizon.
inline constexpr Vector kDemoViewpoint{0.0, 60.0, 0.0};
