#pragma once

#include "c4d.h"

// The stereo rules read from the tag's settings, one place each, for the render and the viewport.

// Dome stereo: a fisheye projection whose lens axis is treated as pointing up.
Bool IsDomeStereo(const BaseContainer& tag);

// How the eye offset turns with the view direction (0 to 3).
Int32 StereoRigOf(const BaseContainer& tag);

// The distance between the eyes, in scene units.
Float EyeSeparation(const BaseContainer& tag);

// The distance the eyes converge at: the tag's distance while its mode is on and the eyes stand
// apart; 0 (parallel eyes) otherwise.
Float ZeroParallaxDistance(const BaseContainer& tag);
