#pragma once

#include "lighting.h"
#include "path_random.h"
#include "pbr_brdf.h"
#include "scene_accel.h"

// The hits of one packet and how their surfaces take light: lane k has a hit to light when
// `lit[k]`; its surface reflects as `points[k]` says when `shaded[k]` (a glTF material), else it is
// matte.
struct PacketSurfaces {
  static constexpr int kLanes = SceneAccel::kPacketSize;
  const Hit* hits = nullptr;
  bool lit[kLanes] = {};
  bool shaded[kLanes] = {};
  ShadingPoint points[kLanes];
};

// The light arriving straight from the lights and the environment at the packet's lit hits, shadows
// included: every sun and lamp by a shadow ray per hit, traced as packets light by light; an image
// environment by one direction per hit, chosen by `randoms[k]`; the procedural sky unshadowed, from
// its whole sphere. For a matte lane `light[k]` is the irradiance on its surface; for a shaded lane
// the radiance the surface reflects towards the viewer. Lanes not lit are left alone.
void GatherDirectLight(const SceneAccel& scene, const Lighting& lighting, const PacketSurfaces& surfaces,
                       PathRandom* randoms, Vector* light);

// A start for rays leaving the hit's surface on the side its normal faces, moved off by an amount
// that grows with the distance from the origin, where single-precision positions get coarse.
Vector OffsetFromSurface(const Hit& hit);
