#pragma once

#include "c4d.h"

// Writes the settings of a fresh tag, in the order the tag has always written them.
void WriteTagDefaults(BaseContainer& data);

// Dome stereo: a fisheye projection whose lens axis is treated as pointing up.
Bool isDomeStereo(const BaseContainer& tagData);

// How the eye offset turns with the view direction (0 to 3).
Int32 stereoRig(const BaseContainer& tagData);
