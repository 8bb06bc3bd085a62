#pragma once

#include "c4d.h"

// The frame an animation's last key needs at `fps`: the frame at that time, or the next one when
// the time falls between two frames, so that the last pose is rendered. Files keep key times as
// single-precision floats (glTF), so a key meant for frame 59 at 30 fps is stored as 1.96666658 s,
// a hair off 59/30; a time within a thousandth of a frame (or the float's own precision at long
// times) of a whole frame counts as that frame.
Int32 LastKeyedFrame(double seconds, double fps);
