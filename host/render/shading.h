#pragma once

#include "c4d.h"
#include "lighting.h"
#include "path_random.h"
#include "scene_accel.h"

// The linear colours seen along up to SceneAccel::kPacketSize rays with unit directions traced
// together: lane k, when `traced[k]`, hit `hits[k]` (`found[k]`) or nothing. A hit shows its surface
// (matte, or its glTF material, textures read over the footprint of a cone of `spreads[k]` radians
// per unit of distance: the lens's own spacing of neighbouring rays) under the light arriving
// straight from the lights and the environment, and, with
// `lighting.bounces`, under the light its surroundings scatter onto it, followed that many times
// from surface to surface; the lane's path draws its random numbers from `randoms[k]`. A ray that
// hit nothing shows the background. Shadow and bounce rays are traced as packets too. Lanes not
// traced leave `colours[k]` alone.
void ShadePacket(const SceneAccel& scene, const Lighting& lighting, const Vector* directions,
                 const bool* traced, const Hit* hits, const bool* found, const Float* spreads,
                 PathRandom* randoms, Vector* colours);

// What a ray with unit `direction` that hits nothing shows: the environment, and the suns' discs
// over the procedural sky.
Vector Background(const Lighting& lighting, const Vector& direction);
