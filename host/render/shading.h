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

// The linear colours seen along up to SceneAccel::kPacketSize rays with unit directions traced
// together: lane k, when `traced[k]`, hit `hits[k]` (`found[k]`) or nothing. The shadow rays of the
// packet's hits are traced as packets too, light by light. Lanes not traced leave `colours[k]` alone.
void ShadePacket(const SceneAccel& scene, const Lighting& lighting, const Vector* directions,
                 const bool* traced, const Hit* hits, const bool* found, Vector* colours);
