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

// A light at a position: a point light, or a spot shining along `axis` within a cone.
struct Lamp {
  Vector position;
  Vector intensity;  // irradiance one scene unit away, facing the lamp
  bool spot = false;
  Vector axis;  // unit length
  Float cosInner = 1.0;
  Float cosOuter = 0.0;
};

// Everything that lights the scene: the suns and lamps (hard shadows) and the environment
// (background and sky light).
struct Lighting {
  std::vector<Sun> suns;
  std::vector<Lamp> lamps;
  Environment environment;
};

// The suns of the document: every rendered sun light object, shining along its own +Z axis.
std::vector<Sun> CollectSuns(BaseDocument* doc);
// The point and spot lights of the document.
std::vector<Lamp> CollectLamps(BaseDocument* doc);

// Linear colour seen along a ray with unit direction.
Vector Shade(const SceneAccel& scene, const Lighting& lighting, const Vector& origin,
             const Vector& direction);
// The same colour for a ray whose nearest surface is already known (`hit`), or that hit nothing (null).
Vector ShadeTraced(const SceneAccel& scene, const Lighting& lighting, const Vector& direction,
                   const Hit* hit);
