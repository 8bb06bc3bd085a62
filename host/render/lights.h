#pragma once

#include "c4d.h"

#include <vector>

// A distant light: where it shines from and how strongly it lights a surface facing it.
struct Sun {
  Vector towardSun;  // unit length
  Vector irradiance;
};

// A light at a position: a point light, or a spot shining along `axis` within a cone.
struct Lamp {
  Vector position;
  Vector intensity;   // irradiance one scene unit away, facing the lamp
  Float range = 0.0;  // beyond this distance the lamp lights nothing; 0: no limit
  bool spot = false;
  Vector axis;  // unit length
  Float cosInner = 1.0;
  Float cosOuter = 0.0;
};

// The suns of the document: every rendered sun light object, shining along its own +Z axis.
std::vector<Sun> CollectSuns(BaseDocument* doc);
// The point and spot lights of the document.
std::vector<Lamp> CollectLamps(BaseDocument* doc);

// The share of a lamp's intensity that arrives `distance` away along `fromLamp` (unit length, from
// the lamp towards the lit point): the inverse square of the distance, a window that takes it
// smoothly to 0 at the lamp's range, and a spot's cone, full inside the inner angle and fading
// smoothly to 0 at the outer one.
Float LampFalloff(const Lamp& lamp, const Vector& fromLamp, Float distance);
