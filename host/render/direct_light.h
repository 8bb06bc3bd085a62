#pragma once

#include "lighting.h"
#include "path_random.h"
#include "scene_accel.h"

// The light arriving straight from the lights and the environment at the hits of one packet (lane
// k when `lit[k]`), as the irradiance it gives each surface, shadows included: every sun and lamp by
// a shadow ray per hit, traced as packets light by light; an image environment by one direction per
// hit, chosen by `randoms[k]`; the procedural sky unshadowed, from its whole sphere. Lanes not lit
// are left alone.
void GatherDirectLight(const SceneAccel& scene, const Lighting& lighting, const Hit* hits, const bool* lit,
                       PathRandom* randoms, Vector* irradiance);

// A start for rays leaving the hit's surface on the side its normal faces, moved off by an amount
// that grows with the distance from the origin, where single-precision positions get coarse.
Vector OffsetFromSurface(const Hit& hit);
