#pragma once

#include "scene_accel.h"

#include <embree3/rtcore.h>

// Whether a glTF surface needs a say in which of its hits count: a material that is not opaque
// (its cut-out and transparent parts let rays through, camera rays and shadow rays alike), or one
// that is drawn from the front only (its back faces let camera and bounce rays through).
bool NeedsSurfaceFilter(const Surface& surface);

// Attaches the filters that decide it to `geometry`, whose user data must be the SceneAccel that
// holds the surface at the geometry's ID.
void AttachSurfaceFilters(RTCGeometry geometry);
