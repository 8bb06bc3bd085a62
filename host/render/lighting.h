#pragma once

#include "environment.h"
#include "environment_sampler.h"
#include "lights.h"

#include <vector>

// Everything that lights the scene: the suns and lamps (hard shadows), the environment (background
// and light from every direction: an image's drawn with shadows through its sampler, the procedural
// sky's as a soft fill), and how many times light is followed from surface to surface.
struct Lighting {
  std::vector<Sun> suns;
  std::vector<Lamp> lamps;
  Environment environment;
  EnvironmentSampler environmentSampler;  // built for an image environment around geometry
  Int32 bounces = 0;

  // Whether a path draws random numbers: only bounces and an image's light do.
  bool UsesRandomNumbers() const { return bounces > 0 || !environmentSampler.IsEmpty(); }
};
