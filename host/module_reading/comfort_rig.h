#pragma once

#include "c4d.h"
#include "render/stereo_comfort.h"

#include <string>

// The rig of a stereo render of `camera`; false with `reason` ("no stereo") for mono, editor and
// single-eye renders, and renders without the tag or the effect.
bool ReadComfortRig(BaseDocument* doc, BaseObject* camera, bool editor, ComfortRig& rig, std::string& reason);
