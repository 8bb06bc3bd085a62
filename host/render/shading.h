#pragma once

#include "c4d.h"
#include "environment.h"
#include "scene_accel.h"

#include <vector>

// A distant light: where it shines from and how strongly it lights a surface facing it.
struct Sun {
  Vector towardSun;  // unit length
  Vector irradiance;
};

// Everything that lights the scene: the suns (hard shadows) and the environment (background and sky
// light).
struct Lighting {
  std::vector<Sun> suns;
  Environment environment;
};

// The suns of the document: every rendered light object, shining along its own +Z axis.
std::vector<Sun> CollectSuns(BaseDocument* doc);

// Linear colour seen along a ray with unit direction.
Vector Shade(const SceneAccel& scene, const Lighting& lighting, const Vector& origin,
             const Vector& direction);
