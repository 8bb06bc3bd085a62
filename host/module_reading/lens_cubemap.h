#pragma once

#include "c4d.h"

#include <string>

// A cubemap as the module's lens lays it out: its grid, and the faces row by row ("/" between
// rows, "," between cells, "-" for an empty cell, a turned face with ":" and its degrees).
struct LensCubemap {
  Int32 columns = 0;
  Int32 rows = 0;
  std::string faces;  // empty: the lens's faces could not be told apart
};

// Asks the lens of each face camera of camera 0's eye (the frame's first `eyeWidth` x `eyeHeight`
// pixels) where it looks, and finds the grid and the faces from that (see lens_cubemap.cpp).
// `stereo`: the render settings' stereo switch, the other eye's cameras following the first's.
LensCubemap CubemapOfLens(BaseDocument* doc, BaseObject* camera, bool stereo, Int32 eyeWidth,
                          Int32 eyeHeight);
