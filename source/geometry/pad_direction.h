#pragma once

#include "c4d_math.h"

namespace orvex {

// A position on the XY pad: x and y in [0, 1] over the projection's map (y = 0 at the top).
struct PadPosition {
  Float u = 0.5;
  Float v = 0.5;
};

// The preferred stereo direction as latitude in [-pi/2, pi/2] and longitude in (-pi, pi].
struct PadDirection {
  Float lat = 0.0;
  Float lon = 0.0;
};

// (-1, -1) exactly is the pad's request to go back to its default position.
inline bool IsPadResetRequest(const PadPosition& pad) { return pad.u == -1.0 && pad.v == -1.0; }

// Where a reset puts the marker: the zenith of the dome map, else the map's centre.
inline PadPosition PadResetPosition(bool dome) { return {0.5, dome ? 1.0 : 0.5}; }

// The direction a pad position points at. Fisheye maps are read as a fisheye image of `fisheyeFov`
// (forward lens, or a lens that looks up for the dome); every other projection as an equirect map.
// Non-finite coordinates count as the centre; others are kept inside the map.
PadDirection PadToDirection(PadPosition pad, bool fisheye, bool dome, Float fisheyeFov);

}  // namespace orvex
